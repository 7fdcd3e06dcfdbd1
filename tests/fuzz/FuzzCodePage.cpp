// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as an old commentary: decoded from each code page to UTF-8 that an independent validator
// accepts, and encoded back to the same bytes; the program's own UTF-8 test agrees with the validator.
#include "FuzzSupport.h"

#include "document/TextEncoding.h"

#include <string_view>

using namespace taonscope;

namespace {

// Well-formed UTF-8 as its definition states it (shortest forms, no surrogates, at most U+10FFFF),
// written apart from the program's own test so that the two can be compared.
bool WellFormedUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
        const unsigned lead = byte(i);
        std::size_t length = 0;
        unsigned low = 0x80, high = 0xBF; // the range of the second byte
        if (lead < 0x80)
            length = 1;
        else if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
        else
            return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned next = byte(i + k);
            if (k == 1 ? (next < low || next > high) : (next < 0x80 || next > 0xBF)) return false;
        }
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::Require(IsValidUtf8(bytes) == WellFormedUtf8(bytes));
    for (const TextEncoding codePage : CodePages) {
        const std::string text = DecodeText(bytes, codePage);
        fuzz::Require(WellFormedUtf8(text));
        fuzz::Require(EncodeText(text, codePage) == std::optional<std::string>(bytes));
        const DetectedText detected = DetectAndDecode(bytes, codePage);
        fuzz::Require(detected.Encoding == (WellFormedUtf8(bytes) ? TextEncoding::Utf8 : codePage));
    }
    return 0;
}
