// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberText.h"

#include "Errors.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace taonscope {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// strtold reads the decimal point of the current locale; the normalised text always uses '.'.
locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// The value the arithmetic gives a pseudo-denormal (exponent field 0, integer bit set): the processor
// reads its exponent as 1, as for denormals, so it is the significand times 2^-16445. The C library's
// formatting reads it 2^63 times too small.
Extended AsTheArithmeticSeesIt(Extended value) {
    std::uint64_t significand = 0;
    std::uint16_t signAndExponent = 0;
    std::memcpy(&significand, &value, 8);
    std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&value) + 8, 2);
    if ((signAndExponent & 0x7FFF) != 0 || (significand >> 63) == 0) return value;
    const Extended magnitude = std::ldexp(static_cast<Extended>(significand), -16445);
    return (signAndExponent & 0x8000) ? -magnitude : magnitude;
}

} // namespace

std::string FormatReal(Extended shown, char sep) {
    const Extended value = AsTheArithmeticSeesIt(shown);
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";

    // glibc rounds correctly: "-d.dddddddddddddde+XX" holds the 15 significant digits.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14Le", value);
    std::string_view text(buffer);
    const bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    const std::size_t ePos = text.find('e');
    std::string digits;
    digits += text[0];
    digits.append(text.substr(2, ePos - 2));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int exponent = std::atoi(std::string(text.substr(ePos + 1)).c_str());

    std::string out = negative ? "-" : "";
    const int before = exponent + 1; // digits before the decimal point
    const int count = static_cast<int>(digits.size());
    if (before >= -3 && before <= 15) {
        if (before <= 0) {
            out += '0';
            out += sep;
            out.append(static_cast<std::size_t>(-before), '0');
            out += digits;
        } else if (count <= before) {
            out += digits;
            out.append(static_cast<std::size_t>(before - count), '0');
        } else {
            out.append(digits, 0, static_cast<std::size_t>(before));
            out += sep;
            out.append(digits, static_cast<std::size_t>(before));
        }
    } else {
        out += digits[0];
        if (count > 1) {
            out += sep;
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
    }
    return out;
}

std::optional<Extended> TryParseReal(std::string_view text, char sep) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);

    std::string normal;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) normal += text[i++];
    std::size_t mantissaDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) normal += text[i];
    if (i < text.size() && text[i] == sep) {
        normal += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) normal += text[i];
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) normal += text[i++];
        std::size_t exponentDigits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits) normal += text[i];
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;

    const Extended value = strtold_l(normal.c_str(), nullptr, CLocale());
    if (std::isinf(value)) return std::nullopt;
    return value;
}

Extended ParseReal(std::string_view text, char sep) {
    if (auto value = TryParseReal(text, sep)) return *value;
    throw ConversionError("'" + std::string(text) + "' is not a valid floating point value");
}

std::optional<std::int32_t> TryParseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const bool hex = i < text.size() && text[i] == '$';
    if (hex) ++i;
    if (i == text.size()) return std::nullopt;

    std::uint64_t magnitude = 0;
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    for (; i < text.size(); ++i) {
        const int digit = hex ? HexDigitValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (magnitude > limit) return std::nullopt;
    }
    // Hexadecimal digits give the 32-bit pattern, so $FFFFFFFF is -1.
    auto bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

std::int32_t ParseInteger(std::string_view text) {
    if (auto value = TryParseInteger(text)) return *value;
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

} // namespace taonscope
