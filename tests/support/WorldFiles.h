// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"
#include "document/ConfigFile.h"

#include <gtest/gtest.h>

#include <string>

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

} // namespace taonscope::test
