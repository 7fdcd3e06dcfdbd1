// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a .tao record: unpack, show what the program shows, save back bit for bit, make one step.
#include "FuzzSupport.h"

#include "core/FpTrap.h"
#include "core/NumberText.h"
#include "core/Step.h"
#include "document/ConfigFile.h"

#include <algorithm>
#include <cstring>

using namespace taonscope;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ConfigRecord record{};
    std::memcpy(record.data(), data, std::min(size, record.size()));
    World world;
    UnpackConfigRecord(record, world);

    // What the program shows (the parameters, the present taons' positions and velocities) is a number,
    // "INF", "-INF" or "NAN", and a shown number reads back.
    auto shown = [](Extended value) {
        const std::string text = FormatReal(value);
        fuzz::Require(!text.empty());
        if (text != "NAN" && text != "INF" && text != "-INF") fuzz::Require(TryParseReal(text).has_value());
    };
    for (auto field : ParameterFields) shown(world.*field);
    for (int i = 1; i <= MaxTaons; ++i)
        if (world.TaonPresent[i])
            for (auto array :
                 {&World::PosX, &World::PosY, &World::PosZ, &World::VelX, &World::VelY, &World::VelZ})
                shown((world.*array)[i]);

    // Saving gives the same bytes back: the reals bit for bit, presence as 0 or 1, reserved bytes 0.
    ConfigRecord again{};
    PackConfigRecord(world, again);
    auto same = [&](std::size_t from, std::size_t to) {
        return std::memcmp(&again[from], &record[from], to - from) == 0;
    };
    static const std::uint8_t zeros[4] = {};
    fuzz::Require(same(0, 190) && same(ConfigOffset::PosX, ConfigOffset::Presence));
    fuzz::Require(std::memcmp(&again[190], zeros, 2) == 0);
    fuzz::Require(std::memcmp(&again[ConfigOffset::Presence + MaxTaons], zeros, 4) == 0);
    for (std::size_t i = 0; i < MaxTaons; ++i)
        fuzz::Require(again[ConfigOffset::Presence + i] == (record[ConfigOffset::Presence + i] != 0 ? 1 : 0));

    // A step either completes or faults and changes nothing. Up to all 100 taons on two threads; where
    // the fast law declines and the reference law would make the step, at most eight keep it quick.
    static FastLaw law(2);
    Accelerations probe;
    if (!law.ComputeAccelerations(world, probe)) {
        int present = 0;
        for (int i = 1; i <= MaxTaons; ++i)
            if (world.TaonPresent[i] && ++present > 8) world.TaonPresent[i] = false;
    }
    const World before = world;
    try {
        AdvanceStep(world, 0.99L, law);
        fuzz::Require(world.StepCounter == before.StepCounter + 1);
    } catch (const FloatingPointError&) {
        fuzz::Require(std::memcmp(&world.PosX, &before.PosX, sizeof world.PosX) == 0);
        fuzz::Require(std::memcmp(&world.NextVelY, &before.NextVelY, sizeof world.NextVelY) == 0);
        fuzz::Require(world.StepCounter == before.StepCounter);
    }
    return 0;
}
