// SPDX-License-Identifier: GPL-3.0-or-later
#include "Errors.h"

namespace taonscope {

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

} // namespace taonscope
