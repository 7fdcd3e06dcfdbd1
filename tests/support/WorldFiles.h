// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Scenarios.h"
#include "core/Step.h"
#include "core/World.h"
#include "document/ConfigFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace taonscope::test {

/// Writes world as a configuration file at path.
inline void SaveWorld(const std::string& path, const World& world) {
    ConfigRecord buffer{};
    WriteConfigFile(path, world, buffer);
}

/// The world of the configuration file at path, which must read without error.
inline World LoadWorld(const std::string& path) {
    ConfigRecord buffer{};
    EXPECT_EQ(ReadConfigFile(path, buffer), 0) << path;
    World world;
    UnpackConfigRecord(buffer, world);
    return world;
}

/// The record that a configuration file of world holds.
inline ConfigRecord PackedRecord(const World& world) {
    ConfigRecord record{};
    PackConfigRecord(world, record);
    return record;
}

/// Five taons of each kind from the cloud; the slots left empty are all zero, as a frame cannot hold them.
inline World SmallCloud() {
    World world = CloudWorld();
    for (int j = 1; j <= MaxTaons; ++j) {
        if (j <= 5 || (j >= 51 && j <= 55) || (j >= 81 && j <= 85)) continue;
        world.TaonPresent[j] = false;
        for (TaonArray* values :
             {&world.PosX, &world.PosY, &world.PosZ, &world.VelX, &world.VelY, &world.VelZ})
            (*values)[static_cast<std::size_t>(j)] = 0;
    }
    SyncCopiesFromCurrent(world);
    return world;
}

/// The frames of 20 steps of the small cloud, one every 10.
inline std::vector<World> CloudFrames() {
    std::vector<World> frames = {SmallCloud()};
    World world = SmallCloud();
    for (int step = 1; step <= 20; ++step) {
        AdvanceStep(world, CoolFactor(false));
        if (step % 10 == 0) frames.push_back(world);
    }
    return frames;
}

} // namespace taonscope::test
