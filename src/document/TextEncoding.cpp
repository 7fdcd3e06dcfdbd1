// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextEncoding.h"

#include "core/Errors.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <iconv.h>
#include <unordered_map>

namespace taonscope {

namespace {

// The 256 characters of a single-byte code page and the way back from them.
struct CodePageTable {
    std::array<char32_t, 256> characters{};
    std::unordered_map<char32_t, unsigned char> bytes;
};

const char* IconvName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Windows1251:
        return "CP1251";
    case TextEncoding::Windows1250:
        return "CP1250";
    case TextEncoding::Windows1252:
        return "CP1252";
    case TextEncoding::Koi8R:
        return "KOI8-R";
    case TextEncoding::Utf8:
        break;
    }
    return "UTF-8";
}

// The character at text[i] of well-formed UTF-8, advancing i past it; empty at a malformed sequence.
std::optional<char32_t> NextCharacter(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    // Lead bytes C0, C1 and F5 to FF begin no well-formed sequence.
    const int length = lead >= 0xC2 && lead <= 0xDF   ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
    if (length == 0) return std::nullopt;
    constexpr char32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t value = lead & (0x7F >> length);
    if (text.size() - i < static_cast<std::size_t>(length)) return std::nullopt;
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return std::nullopt;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    i += length;
    return value;
}

// Asks iconv for each byte on its own; the tables are small and built once per code page.
CodePageTable BuildTable(TextEncoding encoding) {
    const iconv_t converter = iconv_open("UTF-8", IconvName(encoding));
    if (converter == reinterpret_cast<iconv_t>(-1))
        throw TaonError("The code page " + EncodingName(encoding) + " is not available");
    CodePageTable table;
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        char out[8];
        char* inPointer = &in;
        char* outPointer = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        char32_t character = static_cast<char32_t>(b); // an undefined byte keeps its number
        if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) != static_cast<std::size_t>(-1)) {
            std::size_t i = 0;
            const std::string_view converted(out, static_cast<std::size_t>(outPointer - out));
            if (const auto decoded = NextCharacter(converted, i); decoded && i == converted.size())
                character = *decoded;
        }
        table.characters[b] = character;
    }
    iconv_close(converter);
    for (int b = 0; b < 256; ++b) table.bytes.emplace(table.characters[b], static_cast<unsigned char>(b));
    return table;
}

const CodePageTable& TableOf(TextEncoding encoding) {
    static const std::array<CodePageTable, 4> tables = {
        BuildTable(TextEncoding::Windows1251), BuildTable(TextEncoding::Windows1250),
        BuildTable(TextEncoding::Windows1252), BuildTable(TextEncoding::Koi8R)};
    return tables[static_cast<std::size_t>(encoding) - 1];
}

} // namespace

std::string EncodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Windows1251:
        return "Windows-1251";
    case TextEncoding::Windows1250:
        return "Windows-1250";
    case TextEncoding::Windows1252:
        return "Windows-1252";
    case TextEncoding::Koi8R:
        return "KOI8-R";
    }
    return "UTF-8";
}

std::optional<TextEncoding> FindEncoding(std::string_view name) {
    std::string lower;
    for (const char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const TextEncoding encoding :
         {TextEncoding::Utf8, TextEncoding::Windows1251, TextEncoding::Windows1250, TextEncoding::Windows1252,
          TextEncoding::Koi8R}) {
        std::string known = EncodingName(encoding);
        for (char& c : known) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower == known || (known.starts_with("windows-") && lower == "cp" + known.substr(8)))
            return encoding;
    }
    return std::nullopt;
}

std::size_t ValidUtf8Length(std::string_view bytes) {
    std::size_t i = 0; // NextCharacter leaves i at a malformed sequence
    while (i < bytes.size() && NextCharacter(bytes, i)) {
    }
    return i;
}

bool IsValidUtf8(std::string_view bytes) {
    return ValidUtf8Length(bytes) == bytes.size();
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string DecodeText(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) return std::string(bytes);
    const CodePageTable& table = TableOf(encoding);
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes) AppendUtf8(out, table.characters[static_cast<unsigned char>(b)]);
    return out;
}

std::optional<std::string> EncodeText(std::string_view text, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        if (!IsValidUtf8(text)) return std::nullopt;
        return std::string(text);
    }
    const CodePageTable& table = TableOf(encoding);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto character = NextCharacter(text, i);
        if (!character) return std::nullopt;
        const auto found = table.bytes.find(*character);
        if (found == table.bytes.end()) return std::nullopt;
        out += static_cast<char>(found->second);
    }
    return out;
}

DetectedText DetectAndDecode(std::string_view bytes, TextEncoding codePage) {
    if (codePage == TextEncoding::Utf8 || IsValidUtf8(bytes)) return {std::string(bytes), TextEncoding::Utf8};
    return {DecodeText(bytes, codePage), codePage};
}

} // namespace taonscope
