// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a configuration record: its world written as an XYZ frame reads back as the same
// present taons, positions, velocities, parameters and dt (any not-a-number as not-a-number).
#include "FuzzSupport.h"

#include "document/ConfigFile.h"
#include "document/XyzFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace taonscope;

namespace {

bool Same(Extended a, Extended b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ConfigRecord record{};
    std::memcpy(record.data(), data, std::min(size, record.size()));
    World world;
    UnpackConfigRecord(record, world);
    const World back = ReadXyzText(FormatXyzFrame(world, 0, 0));
    for (std::size_t p = 0; p < ParameterFields.size(); ++p)
        fuzz::Require(Same(world.*ParameterFields[p], back.*ParameterFields[p]));
    for (int j = 1; j <= MaxTaons; ++j) {
        const bool present = j <= std::clamp(world.TaonCount, 0, MaxTaons) && world.TaonPresent[j];
        fuzz::Require(back.TaonPresent[j] == present);
        if (!present) continue;
        for (const TaonArray World::*values :
             {&World::PosX, &World::PosY, &World::PosZ, &World::VelX, &World::VelY, &World::VelZ})
            fuzz::Require(Same((world.*values)[j], (back.*values)[j]));
    }
    return 0;
}
