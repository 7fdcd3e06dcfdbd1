// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scenarios.h"

#include "Errors.h"
#include "NumberText.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace taonscope {

namespace {

void SetPresent(World& w, int j, Extended x, Extended y, Extended z) {
    w.TaonPresent[j] = true;
    w.PosX[j] = x, w.PosY[j] = y, w.PosZ[j] = z;
}

// Random positions drawn for one taon before a cloud is given up as too dense to place.
constexpr int MostPlacementTries = 1000000;

void SetFigureParameters(World& w) {
    for (int kind = 1; kind <= 3; ++kind) SetParameterSet(w, kind, FigureParameters());
}

} // namespace

Extended Random::Uniform(Extended lo, Extended hi) {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return lo + (hi - lo) * static_cast<Extended>(z >> 11) * 0x1p-53L;
}

ParameterSet FigureParameters() {
    return {1.0L, 2.718L, 5.0L, 10.0L, 20.0L, 30.0L};
}

void InstallEasySquare(World& w) {
    static constexpr Extended c = 0.212L;
    const Extended corners[4][3] = {{c, c, -c}, {c, c, c}, {-c, c, c}, {-c, c, -c}};
    for (int j = 1; j <= 4; ++j) {
        w.ScenePosX[j] = corners[j - 1][0];
        w.ScenePosY[j] = corners[j - 1][1];
        w.ScenePosZ[j] = corners[j - 1][2];
    }
    SetFigureParameters(w);
    for (int j = 1; j <= 4; ++j) {
        w.TaonPresent[j] = true;
        w.VelX[j] = w.VelY[j] = w.VelZ[j] = 0;
        w.NextVelX[j] = w.NextVelY[j] = w.NextVelZ[j] = 0;
        w.NextPosX[j] = w.PosX[j] = w.ScenePosX[j];
        w.NextPosY[j] = w.PosY[j] = w.ScenePosY[j];
        w.NextPosZ[j] = w.PosZ[j] = w.ScenePosZ[j];
    }
}

World EasySquareWorld() {
    World w;
    InstallEasySquare(w);
    w.dt = 0.001L;
    return w;
}

World RingWorld() {
    World w;
    constexpr int count = 12;
    constexpr Extended radius = 9.62L;
    for (int j = 1; j <= count; ++j) {
        const Extended angle = 2 * std::numbers::pi_v<Extended> * (j - 1) / count;
        SetPresent(w, j, radius * std::cos(angle), 0, radius * std::sin(angle));
    }
    SetFigureParameters(w);
    w.dt = 0.001L;
    SyncCopiesFromCurrent(w);
    return w;
}

World CloudWorld(const CloudOptions& options) {
    if (!(options.Side > 0) || !std::isfinite(options.Side))
        throw TaonError("the side of a cloud must be a positive number, not " + FormatReal(options.Side));
    if (!(options.MinDistance >= 0) || !std::isfinite(options.MinDistance))
        throw TaonError("the least distance of a cloud must be a number from 0, not " +
                        FormatReal(options.MinDistance));
    int total = 0;
    for (std::size_t kind = 0; kind < 3; ++kind) {
        if (options.Kinds[kind] < 0 || options.Kinds[kind] > MostCloudKinds[kind])
            throw TaonError("a cloud holds 0 to " + std::to_string(MostCloudKinds[kind]) + " taons of kind " +
                            std::to_string(kind + 1) + ", not " + std::to_string(options.Kinds[kind]));
        total += options.Kinds[kind];
    }
    if (total == 0) throw TaonError("a cloud needs at least one taon");

    World w;
    Random random(options.Seed);
    const Extended half = options.Side / 2, least = options.MinDistance * options.MinDistance;
    const std::array<int, 3> firstSlot{1, 51, 81};
    std::vector<int> placed;
    for (std::size_t kind = 0; kind < 3; ++kind)
        for (int j = firstSlot[kind]; j < firstSlot[kind] + options.Kinds[kind]; ++j) {
            for (int tries = 0;; ++tries) {
                // A packing this dense is out of reach: give up rather than draw for ever.
                if (tries == MostPlacementTries)
                    throw TaonError("cannot place " + std::to_string(total) + " taons at least " +
                                    FormatReal(options.MinDistance) + " apart in a cube of side " +
                                    FormatReal(options.Side));
                const Extended x = random.Uniform(-half, half), y = random.Uniform(-half, half),
                               z = random.Uniform(-half, half);
                bool clear = true;
                for (std::size_t p = 0; p < placed.size() && clear; ++p) {
                    const int k = placed[p];
                    const Extended dx = x - w.PosX[k], dy = y - w.PosY[k], dz = z - w.PosZ[k];
                    clear = dx * dx + dy * dy + dz * dz >= least;
                }
                if (!clear) continue;
                SetPresent(w, j, x, y, z);
                w.VelX[j] = random.Uniform(-0.01L, 0.01L);
                w.VelY[j] = random.Uniform(-0.01L, 0.01L);
                w.VelZ[j] = random.Uniform(-0.01L, 0.01L);
                placed.push_back(j);
                break;
            }
        }
    if (options.SameSets) {
        SetFigureParameters(w);
    } else {
        SetParameterSet(w, 1, FigureParameters());
        SetParameterSet(w, 2, {0.5L, 3.1L, 6.2L, 11.0L, 17.0L, 26.0L});
        SetParameterSet(w, 3, {1.5L, 2.2L, 4.4L, 8.8L, 14.0L, 24.0L});
    }
    w.dt = 0.001L;
    SyncCopiesFromCurrent(w);
    return w;
}

World CloudWorld(std::uint64_t seed, bool sameSets, Extended side, Extended minDistance) {
    CloudOptions options;
    options.Seed = seed;
    options.SameSets = sameSets;
    options.Side = side;
    options.MinDistance = minDistance;
    return CloudWorld(options);
}

bool BuildScenario(std::string_view name, World& world) {
    if (name == "easy-square")
        world = EasySquareWorld();
    else if (name == "ring")
        world = RingWorld();
    else if (name == "cloud")
        world = CloudWorld();
    else
        return false;
    return true;
}

} // namespace taonscope
