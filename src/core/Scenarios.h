// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "World.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace taonscope {

/// A small random generator (splitmix64) whose sequence is the same on every platform, so that the
/// built-in clouds and the examples come out the same everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    /// Uniform in [lo, hi).
    Extended Uniform(Extended lo, Extended hi);

private:
    std::uint64_t state_;
};

/// The parameter set that the built-in structures install in all three kinds:
/// A 1, B 2.718, C 5, D 10, F 20, G 30.
ParameterSet FigureParameters();

/// Installs the easy square: taons 1..4 at rest at the corners of a square of side 0.424 in the plane
/// y = 0.212 (current, next and scene copies), the figure's parameters in all three sets. Other slots,
/// dt and the step counter are left alone.
void InstallEasySquare(World& world);

/// A world holding only the easy square, with dt 0.001.
World EasySquareWorld();

/// Twelve kind-1 taons at rest on a circle of radius 9.62 in the plane y = 0 (neighbours about 5 apart),
/// the figure's parameters, dt 0.001.
World RingWorld();

/// How a cloud is made. The defaults make the built-in cloud of 100 taons.
struct CloudOptions {
    std::uint64_t Seed = 1;               ///< fixes the positions and velocities
    Extended Side = 30;                   ///< the edge of the cube the taons are spread over
    Extended MinDistance = 1.5L;          ///< no two taons closer than this
    std::array<int, 3> Kinds{50, 30, 20}; ///< taons of kind 1, 2 and 3: slots 1.., 51.. and 81..
    bool SameSets = false;                ///< the figure's parameters in all three sets
};

/// The most taons of kind 1, 2 and 3 a cloud can hold: the slots of each kind.
inline constexpr std::array<int, 3> MostCloudKinds{50, 30, 20};

/// The taons a cloud's options ask for, present in the slots 1..Kinds[0], 51..50+Kinds[1] and
/// 81..80+Kinds[2], spread at random (fixed by the seed) over a cube centred on the origin with no two
/// closer than the least distance, small random velocities, dt 0.001; three different parameter sets,
/// or the figure's in all three. Throws TaonError for options that make no cloud (a side that is not
/// positive, more taons of a kind than its slots, no taon at all) or when the taons cannot be placed
/// that far apart in the cube.
World CloudWorld(const CloudOptions& options);

/// All 100 slots present, spread at random (fixed by seed) over a cube of side `side` with no two taons
/// closer than minDistance, small random velocities, dt 0.001; three different parameter sets, or the
/// figure's in all three when sameSets is true.
World CloudWorld(std::uint64_t seed = 1, bool sameSets = false, Extended side = 30,
                 Extended minDistance = 1.5L);

/// The scenario of a name ("easy-square", "ring", "cloud"); false when there is none of that name.
bool BuildScenario(std::string_view name, World& world);

} // namespace taonscope
