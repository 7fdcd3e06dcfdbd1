// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Json.h"

#include "core/Errors.h"

#include <gtest/gtest.h>

namespace taonscope {
namespace {

std::string ErrorOf(std::string_view text) {
    try {
        ParseJson(text);
    } catch (const TaonError& error) {
        return error.what();
    }
    return "no error";
}

TEST(Json, ReadsDocumentsAndKeepsNumbersToTheLastBit) {
    const JsonValue doc = ParseJson(R"( {"a": [1, -0.5e-3, true, null, "x\u00e9\ud83d\ude00\n"],
        "third": 0.333333333333333333342, "big": 9007199254740993, "o": {}} )");
    const JsonValue::Array& a = doc.Find("a")->AsArray("a");
    ASSERT_EQ(a.size(), 5u);
    EXPECT_EQ(a[1].AsReal("a[1]"), -0.5e-3L);
    EXPECT_TRUE(a[2].AsBool("a[2]"));
    EXPECT_TRUE(a[3].IsNull());
    EXPECT_EQ(a[4].AsString("a[4]"), "x\xC3\xA9\xF0\x9F\x98\x80\n");
    EXPECT_EQ(doc.Find("third")->AsReal("third"), 0.333333333333333333342L);
    EXPECT_EQ(doc.Find("big")->AsInteger("big", 0, INT64_MAX), 9007199254740993);
    EXPECT_TRUE(doc.Find("o")->AsObject("o").empty());
    EXPECT_EQ(doc.Find("none"), nullptr);
    EXPECT_EQ(ParseJson(JsonQuoted("q\"\\\n\x01")).AsString("s"), "q\"\\\n\x01");
}

TEST(Json, FaultsNameTheirLineAndColumn) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "line 1, column 1: expected a value"},
        {"{\"a\": 1,\n \"a\": 2}", "line 2, column 2: the key \"a\" is given twice"},
        {"[1 2]", "line 1, column 4: expected ',' or ']'"},
        {"{\"a\" 1}", "line 1, column 6: expected ':'"},
        {"[01]", "line 1, column 3: expected ',' or ']'"},
        {"[1.]", "line 1, column 4: expected digits after the point"},
        {"\"\\ud800\"", "line 1, column 8: a lone surrogate"},
        {"\"a\tb\"", "line 1, column 3: a control character in a string"},
        {"[true] x", "line 1, column 8: text after the end of the document"},
        {std::string(65, '[') + std::string(65, ']'), "line 1, column 65: nested deeper than 64"},
        {"{\"title\": \"Caf\xE9\"}", "line 1, column 15: a byte that is not UTF-8"},
        {"\n[\"\xC3\xA9\", \"\xC0\xAF\"]", "line 2, column 8: a byte that is not UTF-8"},
        {"[\"a\\u0000b\"]", "line 1, column 4: a NUL character (\\u0000) in a string"},
    };
    for (const auto& [text, message] : cases) EXPECT_EQ(ErrorOf(text), message) << text;
    // Numbers an extended real cannot hold are refused, not made infinite or 0.
    for (const char* text : {"1e5000", "-1e5000", "1e-5000", "0.0000000000001e-4940"})
        EXPECT_THROW(ParseJson(text).AsReal("x"), TaonError) << text;
    EXPECT_EQ(ParseJson("0e-5000").AsReal("x"), 0);
    EXPECT_THROW(ParseJson("2.5").AsInteger("count", 0, 10), TaonError);
    EXPECT_THROW(ParseJson("11").AsInteger("count", 0, 10), TaonError);
}

} // namespace
} // namespace taonscope
