// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as an XYZ file: either an error, or a world whose frame reads back as the same record.
#include "FuzzSupport.h"

#include "core/Errors.h"
#include "document/ConfigFile.h"
#include "document/XyzFile.h"

#include <string_view>

using namespace taonscope;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    World world;
    try {
        world = ReadXyzText(text);
    } catch (const TaonError&) {
        return 0;
    }
    ConfigRecord first{}, second{};
    PackConfigRecord(world, first);
    PackConfigRecord(ReadXyzText(FormatXyzFrame(world, 0, 0)), second);
    fuzz::Require(first == second);
    return 0;
}
