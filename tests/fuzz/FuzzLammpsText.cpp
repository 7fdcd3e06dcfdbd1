// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a LAMMPS dump: either an error, or a world whose frame and sidecar read back as the same
// record (after one round, which makes values that are not numbers the one "nan" a frame writes).
#include "FuzzSupport.h"

#include "core/Errors.h"
#include "document/ConfigFile.h"
#include "document/LammpsDumpFile.h"

#include <string_view>

using namespace taonscope;

namespace {

World RoundTrip(const World& world) {
    return ReadLammpsText(FormatLammpsFrame(world, 0), {}, nullptr, FormatLammpsSidecar(world));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    World world;
    try {
        world = ReadLammpsText(text);
    } catch (const TaonError&) {
        return 0;
    }
    const World once = RoundTrip(world);
    ConfigRecord first{}, second{};
    PackConfigRecord(once, first);
    PackConfigRecord(RoundTrip(once), second);
    fuzz::Require(first == second);
    return 0;
}
