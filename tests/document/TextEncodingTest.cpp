// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/TextEncoding.h"
#include "document/Commentary.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace taonscope {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// "Структура из шести таонов", CR LF, "Ещё одна строка" in Windows-1251.
const std::string Cyrillic1251 =
    "\xD1\xF2\xF0\xF3\xEA\xF2\xF3\xF0\xE0\x20\xE8\xE7\x20\xF8\xE5\xF1\xF2\xE8\x20\xF2"
    "\xE0\xEE\xED\xEE\xE2\x0D\x0A\xC5\xF9\xB8\x20\xEE\xE4\xED\xE0\x20\xF1\xF2\xF0\xEE"
    "\xEA\xE0";
// "Zażółć gęślą jaźń: łąż" in Windows-1250.
const std::string Polish1250 =
    "\x5A\x61\xBF\xF3\xB3\xE6\x20\x67\xEA\x9C\x6C\xB9\x20\x6A\x61\x9F\xF1\x3A\x20\xB3\xB9\xBF";
// "Структура из шести таонов" in UTF-8.
const std::string CyrillicUtf8 =
    "\xD0\xA1\xD1\x82\xD1\x80\xD1\x83\xD0\xBA\xD1\x82\xD1\x83\xD1\x80\xD0\xB0\x20\xD0"
    "\xB8\xD0\xB7\x20\xD1\x88\xD0\xB5\xD1\x81\xD1\x82\xD0\xB8\x20\xD1\x82\xD0\xB0\xD0"
    "\xBE\xD0\xBD\xD0\xBE\xD0\xB2";
// "Grüße" in UTF-8, then "café" in Windows-1252: no encoding at all as a whole.
const std::string Mixed = "\x47\x72\xC3\xBC\xC3\x9F\x65\x20\x63\x61\x66\xE9";

TEST(TextEncoding, TellsWellFormedUtf8FromEverythingElse) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII\r\n\x7F"));
    EXPECT_TRUE(IsValidUtf8(CyrillicUtf8));
    EXPECT_TRUE(
        IsValidUtf8("\xF0\x9F\x98\x80 \xEF\xBB\xBF \xF4\x8F\xBF\xBF")); // beyond 16 bits, BOM, U+10FFFF
    EXPECT_FALSE(IsValidUtf8(Cyrillic1251));
    EXPECT_FALSE(IsValidUtf8(Polish1250));
    EXPECT_FALSE(IsValidUtf8(Mixed));
    for (const std::string bad : {"\xC0\x80", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                  "\xF5\x80\x80\x80", "\xE2\x82", "a\x80", "\xC3", "\xC3\xC3"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad.size();
}

TEST(TextEncoding, DecodesEachCodePageAndEncodesItBack) {
    EXPECT_EQ(DecodeText(Cyrillic1251, TextEncoding::Windows1251),
              "Структура из шести таонов\r\nЕщё одна строка");
    EXPECT_EQ(DecodeText(Polish1250, TextEncoding::Windows1250), "Zażółć gęślą jaźń: łąż");
    EXPECT_EQ(DecodeText("\xF0\xD2\xC9\xD7\xC5\xD4", TextEncoding::Koi8R), "Привет");
    EXPECT_EQ(DecodeText("caf\xE9 \x80", TextEncoding::Windows1252), "café €");
    EXPECT_EQ(DecodeText(Cyrillic1251, TextEncoding::Utf8), Cyrillic1251);

    EXPECT_EQ(EncodeText("Структура из шести таонов\r\nЕщё одна строка", TextEncoding::Windows1251),
              Cyrillic1251);
    EXPECT_EQ(EncodeText("Zażółć gęślą jaźń: łąż", TextEncoding::Windows1250), Polish1250);
    EXPECT_EQ(EncodeText("ё", TextEncoding::Koi8R), std::optional<std::string>("\xA3"));
    EXPECT_EQ(EncodeText(CyrillicUtf8, TextEncoding::Utf8), CyrillicUtf8);
}

TEST(TextEncoding, EveryByteOfEveryCodePageComesBack) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    for (const TextEncoding codePage : CodePages) {
        const std::string text = DecodeText(all, codePage);
        EXPECT_TRUE(IsValidUtf8(text)) << EncodingName(codePage);
        EXPECT_EQ(EncodeText(text, codePage), all) << EncodingName(codePage);
    }
    // Bytes the code page leaves undefined stand for the control character of the same number.
    EXPECT_EQ(DecodeText("\x81\x98", TextEncoding::Windows1251), "Ѓ\xC2\x98");
    EXPECT_EQ(DecodeText("\x81", TextEncoding::Windows1252), "\xC2\x81");
}

TEST(TextEncoding, ACharacterTheCodePageCannotHoldGivesNothing) {
    EXPECT_FALSE(EncodeText("Grüße łąż", TextEncoding::Windows1251).has_value());
    EXPECT_FALSE(EncodeText("Структура", TextEncoding::Windows1250).has_value());
    EXPECT_FALSE(EncodeText("5 €", TextEncoding::Koi8R).has_value());
    EXPECT_FALSE(EncodeText("\xF0\x9F\x98\x80", TextEncoding::Windows1252).has_value());
    EXPECT_FALSE(EncodeText("a\xFF", TextEncoding::Windows1252).has_value()); // no UTF-8 to begin with
    EXPECT_FALSE(EncodeText("a\xFF", TextEncoding::Utf8).has_value());
    EXPECT_EQ(EncodeText("", TextEncoding::Windows1250), std::optional<std::string>(""));
}

TEST(TextEncoding, NamesAndTheirSpellings) {
    for (const TextEncoding codePage : CodePages) EXPECT_EQ(FindEncoding(EncodingName(codePage)), codePage);
    EXPECT_EQ(FindEncoding("windows-1251"), TextEncoding::Windows1251);
    EXPECT_EQ(FindEncoding("CP1250"), TextEncoding::Windows1250);
    EXPECT_EQ(FindEncoding("cp1252"), TextEncoding::Windows1252);
    EXPECT_EQ(FindEncoding("koi8-r"), TextEncoding::Koi8R);
    EXPECT_EQ(FindEncoding("utf-8"), TextEncoding::Utf8);
    EXPECT_EQ(FindEncoding("latin1"), std::nullopt);
    EXPECT_EQ(FindEncoding("cp"), std::nullopt);
    EXPECT_EQ(FindEncoding(""), std::nullopt);
}

TEST(CommentaryText, ReadsUtf8AsItIsAndAnythingElseInTheChosenCodePage) {
    TempDir dir;
    EXPECT_FALSE(LoadCommentaryText(dir.File("none.tao"), TextEncoding::Windows1251).has_value());

    struct Case {
        std::string bytes;
        TextEncoding codePage;
        std::string text;
        TextEncoding encoding;
    };
    const Case cases[] = {
        {Cyrillic1251, TextEncoding::Windows1251, "Структура из шести таонов\nЕщё одна строка",
         TextEncoding::Windows1251},
        {Polish1250 + "\r\n", TextEncoding::Windows1250, "Zażółć gęślą jaźń: łąż\n",
         TextEncoding::Windows1250},
        {CyrillicUtf8, TextEncoding::Windows1250, "Структура из шести таонов", TextEncoding::Utf8},
        {"ascii\r\n", TextEncoding::Koi8R, "ascii\n", TextEncoding::Utf8},
        {"", TextEncoding::Windows1252, "", TextEncoding::Utf8},
        {Mixed, TextEncoding::Windows1252, "GrÃ¼ÃŸe café", TextEncoding::Windows1252},
    };
    for (const Case& c : cases) {
        WriteAll(dir.File("c.txt"), c.bytes);
        const auto read = LoadCommentaryText(dir.File("c.tao"), c.codePage);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->Text, c.text);
        EXPECT_EQ(read->Encoding, c.encoding);
        // Saved back as read, the file keeps every byte.
        WriteAll(dir.File("c.txt"), "overwritten");
        EXPECT_TRUE(SaveCommentaryText(dir.File("c.tao"), read->Text, read->Encoding));
        EXPECT_EQ(ReadAll(dir.File("c.txt")), c.bytes);
    }
}

TEST(CommentaryText, ASaveThatCannotBeWrittenInTheCodePageWritesNothing) {
    TempDir dir;
    WriteAll(dir.File("c.txt"), Cyrillic1251);
    EXPECT_FALSE(SaveCommentaryText(dir.File("c.tao"), "Структура łąż", TextEncoding::Windows1251));
    EXPECT_EQ(ReadAll(dir.File("c.txt")), Cyrillic1251);
    EXPECT_TRUE(SaveCommentaryText(dir.File("c.tao"), "Структура łąż\nё", TextEncoding::Utf8));
    EXPECT_EQ(ReadAll(dir.File("c.txt")), "Структура łąż\r\nё");
}

} // namespace
} // namespace taonscope
