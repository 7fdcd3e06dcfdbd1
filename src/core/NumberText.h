// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Extended.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace taonscope {

/// A real as the program shows it: general format, 15 significant digits, no trailing zeros,
/// fixed notation for 1E-4 <= |v| < 1E15 (after rounding), else "d.dddE-x"; "INF", "-INF", "NAN", "0".
std::string FormatReal(Extended value, char decimalSeparator = '.');

/// Reads a real: blanks, an optional sign, digits with at most one separator, an optional exponent,
/// blanks; correctly rounded. Empty when the text is anything else or beyond the extended range.
std::optional<Extended> TryParseReal(std::string_view text, char decimalSeparator = '.');

/// TryParseReal, failing with "'text' is not a valid floating point value".
Extended ParseReal(std::string_view text, char decimalSeparator = '.');

/// Reads a signed 32-bit integer: leading blanks, an optional sign, decimal digits or "$" and hex digits.
std::optional<std::int32_t> TryParseInteger(std::string_view text);

/// TryParseInteger, failing with "'text' is not a valid integer value".
std::int32_t ParseInteger(std::string_view text);

} // namespace taonscope
