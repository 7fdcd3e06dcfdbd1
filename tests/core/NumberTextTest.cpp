// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/NumberText.h"
#include "core/Errors.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace taonscope {
namespace {

TEST(FormatReal, GeneralFormatWithFifteenDigits) {
    const std::pair<Extended, const char*> cases[] = {
        {0.001L, "0.001"},
        {0.00005L, "5E-5"},
        {120, "120"},
        {2.5e15L, "2.5E15"},
        {0, "0"},
        {-0.0L, "0"},
        {-1.5L, "-1.5"},
        {100, "100"},
        {0.0001L, "0.0001"},
        {0.00015L, "0.00015"},
        {0.00001L, "1E-5"},
        {1e15L, "1E15"},
        {999999999999999.0L, "999999999999999"},
        {9999999999999999.0L, "1E16"},
        {999999999999999.9L, "1E15"},
        {0.99999999999999999L, "1"},
        {1.0L / 3, "0.333333333333333"},
        {-2.0L / 3, "-0.666666666666667"},
        {123456789012345678.0L, "1.23456789012346E17"},
        {1.25e-300L, "1.25E-300"},
        {LDBL_MAX, "1.18973149535723E4932"},
        {LDBL_TRUE_MIN, "3.64519953188247E-4951"},
        {std::numeric_limits<Extended>::infinity(), "INF"},
        {-std::numeric_limits<Extended>::infinity(), "-INF"},
        {std::numeric_limits<Extended>::quiet_NaN(), "NAN"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatReal(value), text) << static_cast<double>(value);
}

TEST(FormatReal, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(FormatReal(0.001L, ','), "0,001");
    EXPECT_EQ(FormatReal(-2.5e-7L, ','), "-2,5E-7");
    EXPECT_EQ(FormatReal(7, ','), "7");
}

TEST(ParseReal, AcceptsTheNumberGrammar) {
    const std::pair<const char*, Extended> cases[] = {
        {"1.5", 1.5L},     {"  1.5  ", 1.5L}, {"+2", 2},        {"-0.5", -0.5L}, {"5.", 5},
        {".5", 0.5L},      {"1e3", 1000},     {"1E-3", 0.001L}, {"1e+3", 1000},  {"007", 7},
        {"0.001", 0.001L}, {"1e-5000", 0},    {"-0", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseReal(text), value) << text;
    EXPECT_EQ(ParseReal(",5", ','), 0.5L);
    EXPECT_EQ(ParseReal(" -1,25E2", ','), -125);
}

TEST(ParseReal, RefusesEverythingElse) {
    for (const char* text : {"",    " ",   ".",       "1e", "e5",    "1.2.3", "1,5", "--1", "1 2", "0x10",
                             "inf", "NAN", "1e99999", "1d", "1e5.0", "+",     "- 1", "1\t", "\t1", "١"})
        EXPECT_FALSE(TryParseReal(text).has_value()) << '"' << text << '"';
    EXPECT_FALSE(TryParseReal("1.5", ',').has_value());
    EXPECT_FALSE(TryParseReal(std::string_view("1\0", 2)).has_value());
}

TEST(ParseReal, FailureNamesTheText) {
    try {
        ParseReal("1-3");
        FAIL();
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'1-3' is not a valid floating point value");
        EXPECT_EQ(ErrorBoxText(error.what()), "'1-3' is not a valid floating point value.");
    }
    EXPECT_THROW(ParseReal(""), ConversionError);
}

// Random finite values of every magnitude, denormals included.
std::vector<Extended> RandomValues(int count) {
    std::mt19937_64 random(42);
    std::vector<Extended> values;
    while (static_cast<int>(values.size()) < count) {
        unsigned char bytes[16] = {};
        const std::uint64_t significand = random(), top = random();
        std::memcpy(bytes, &significand, 8);
        std::uint16_t signAndExponent = static_cast<std::uint16_t>(top);
        if ((signAndExponent & 0x7FFF) == 0x7FFF) continue;
        if ((signAndExponent & 0x7FFF) != 0)
            bytes[7] |= 0x80; // normal numbers carry the integer bit
        else
            bytes[7] &= 0x7F;
        std::memcpy(bytes + 8, &signAndExponent, 2);
        Extended value;
        std::memcpy(&value, bytes, sizeof value);
        values.push_back(value);
        values.push_back(std::ldexp(value, -static_cast<int>((top >> 20) % 16000))); // small magnitudes
    }
    return values;
}

TEST(NumberText, FormattedTextReadsBackAsTheValueRoundedToFifteenDigits) {
    for (Extended value : RandomValues(20000)) {
        const std::string text = FormatReal(value);
        const Extended back = ParseReal(text);
        EXPECT_EQ(FormatReal(back), text);
        // Within half a unit of the fifteenth digit, plus the rounding of the text to the nearest extended.
        const Extended unit = std::pow(10.0L, std::floor(std::log10(std::fabs(value))) - 14);
        const Extended lastBit = std::fabs(value) * 0x1p-63L + LDBL_TRUE_MIN;
        ASSERT_LE(std::fabs(back - value), unit / 2 * (1 + 1e-15L) + lastBit) << text;
    }
}

TEST(NumberText, ParsingIsCorrectlyRounded) {
    // Twenty-one significant digits identify every extended value; reading them must give it back.
    for (Extended value : RandomValues(20000)) {
        char text[64];
        std::snprintf(text, sizeof text, "%.20Le", value);
        const Extended back = ParseReal(text);
        ASSERT_EQ(std::memcmp(&back, &value, 10), 0) << text;
    }
}

TEST(ParseInteger, ReadsSigned32BitDecimalAndHex) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"12", 12},
        {"  -7", -7},
        {"+5", 5},
        {"$FF", 255},
        {"$ff", 255},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"0", 0},
        {"00000000000000000012", 12},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseInteger(text), value) << text;
}

TEST(ParseInteger, RefusesEverythingElse) {
    for (const char* text : {"", " ", "1.5", "12 ", "abc", "$", "$G", "-", "1e3", "2147483648", "-2147483649",
                             "$100000000", "0x10", "1,000"})
        EXPECT_FALSE(TryParseInteger(text).has_value()) << '"' << text << '"';
    try {
        ParseInteger("X");
        FAIL();
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'X' is not a valid integer value");
    }
}

TEST(ErrorBoxText, AddsAFullStopUnlessTheMessageEndsLow) {
    EXPECT_EQ(ErrorBoxText("File not found"), "File not found.");
    EXPECT_EQ(ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(ErrorBoxText("odd,"), "odd,");
    EXPECT_EQ(ErrorBoxText("(x)"), "(x)");
    EXPECT_EQ(ErrorBoxText("a/"), "a/.");
    EXPECT_EQ(ErrorBoxText("value '"), "value '");
    EXPECT_EQ(ErrorBoxText("Grüße"), "Grüße.");
    EXPECT_EQ(ErrorBoxText(""), "");
}

} // namespace
} // namespace taonscope
