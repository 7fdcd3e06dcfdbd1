// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scenarios.h"

#include <cmath>
#include <numbers>

namespace taonscope {

namespace {

void SetPresent(World& w, int j, Extended x, Extended y, Extended z) {
    w.TaonPresent[j] = true;
    w.PosX[j] = x, w.PosY[j] = y, w.PosZ[j] = z;
}

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

World CloudWorld(std::uint64_t seed, bool sameSets, Extended side, Extended minDistance) {
    World w;
    Random random(seed);
    const Extended half = side / 2;
    for (int j = 1; j <= MaxTaons; ++j) {
        for (;;) {
            const Extended x = random.Uniform(-half, half), y = random.Uniform(-half, half),
                           z = random.Uniform(-half, half);
            bool clear = true;
            for (int k = 1; k < j && clear; ++k) {
                const Extended dx = x - w.PosX[k], dy = y - w.PosY[k], dz = z - w.PosZ[k];
                clear = dx * dx + dy * dy + dz * dz >= minDistance * minDistance;
            }
            if (!clear) continue;
            SetPresent(w, j, x, y, z);
            w.VelX[j] = random.Uniform(-0.01L, 0.01L);
            w.VelY[j] = random.Uniform(-0.01L, 0.01L);
            w.VelZ[j] = random.Uniform(-0.01L, 0.01L);
            break;
        }
    }
    if (sameSets) {
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
