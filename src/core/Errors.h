// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace taonscope {

/// A failure that abandons the rest of a command; what() is the message shown in the error box.
class TaonError : public std::runtime_error {
public:
    explicit TaonError(const std::string& message) : std::runtime_error(message) {}
};

/// A text that does not read as a number.
class ConversionError : public TaonError {
public:
    using TaonError::TaonError;
};

/// The text of the error box for a message: a full stop is added unless the message
/// already ends in one or in a character that sorts before it.
std::string ErrorBoxText(std::string_view message);

} // namespace taonscope
