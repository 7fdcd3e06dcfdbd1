// SPDX-License-Identifier: GPL-3.0-or-later
// Any text through the real and integer readers, and any 10 bytes through the real writer.
#include "FuzzSupport.h"

#include "core/Errors.h"
#include "core/NumberText.h"

#include <cstring>
#include <string_view>

using namespace taonscope;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char separator : {'.', ','}) {
        if (const auto value = TryParseReal(text, separator)) {
            const std::string shown = FormatReal(*value, separator);
            const auto back = TryParseReal(shown, separator);
            fuzz::Require(back.has_value());
            fuzz::Require(FormatReal(*back, separator) == shown);
        }
    }
    if (const auto number = TryParseInteger(text))
        fuzz::Require(TryParseInteger(std::to_string(*number)) == number);

    if (size >= 10) {
        Extended value = 0;
        std::memcpy(&value, data, 10);
        fuzz::Require(!FormatReal(value).empty());
    }
    const std::string box = ErrorBoxText(text);
    fuzz::Require(box.size() == size || (box.size() == size + 1 && box.back() == '.'));
    return 0;
}
