// SPDX-License-Identifier: GPL-3.0-or-later
#include "Step.h"

#include "FpTrap.h"
#include "Law.h"

#include <algorithm>

namespace taonscope {

namespace {

struct NextCopy {
    TaonArray PosX, PosY, PosZ, VelX, VelY, VelZ;
};

NextCopy NextOf(const World& w) {
    return {w.NextPosX, w.NextPosY, w.NextPosZ, w.NextVelX, w.NextVelY, w.NextVelZ};
}

int SlotsInUse(const World& w) {
    return std::clamp(w.TaonCount, 0, MaxTaons);
}

// v := cool * v + a * dt; p := p + v * dt. CheckEach tests each result for a fault before the next one.
template <bool CheckEach>
void Advance(Extended acceleration, Extended dt, Extended cool, Extended& velocity, Extended& position) {
    auto check = [](Extended value) { return CheckEach ? Checked(value) : value; };
    const Extended a = check(acceleration * dt);
    velocity = check(cool * velocity + a);
    position = check(position + velocity * dt);
}

// Makes the advanced next copy the next, current and scene copy of every present taon; counts the step.
void Commit(World& w, const NextCopy& next) {
    w.NextPosX = next.PosX, w.NextPosY = next.PosY, w.NextPosZ = next.PosZ;
    w.NextVelX = next.VelX, w.NextVelY = next.VelY, w.NextVelZ = next.VelZ;
    for (int i = 1; i <= SlotsInUse(w); ++i) {
        if (!w.TaonPresent[i]) continue;
        w.PosX[i] = w.ScenePosX[i] = next.PosX[i];
        w.PosY[i] = w.ScenePosY[i] = next.PosY[i];
        w.PosZ[i] = w.ScenePosZ[i] = next.PosZ[i];
        w.VelX[i] = next.VelX[i];
        w.VelY[i] = next.VelY[i];
        w.VelZ[i] = next.VelZ[i];
    }
    // Wraps like the 32-bit counter it is, instead of overflowing.
    w.StepCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(w.StepCounter) + 1u);
}

} // namespace

Extended CoolFactor(bool coolTicked) {
    return coolTicked ? 0.99L : 1.0L;
}

void AdvanceStep(World& w, Extended cool) {
    NextCopy next = NextOf(w);
    ClearFpFlags();
    for (int i = 1; i <= SlotsInUse(w); ++i) {
        if (!w.TaonPresent[i]) continue;
        Advance<true>(AccelX(w, i), w.dt, cool, next.VelX[i], next.PosX[i]);
        Advance<true>(AccelY(w, i), w.dt, cool, next.VelY[i], next.PosY[i]);
        Advance<true>(AccelZ(w, i), w.dt, cool, next.VelZ[i], next.PosZ[i]);
    }
    Commit(w, next);
}

void AdvanceStep(World& w, Extended cool, FastLaw& law) {
    AdvanceStep(w, cool, [&law](const World& world, Accelerations& out) {
        return law.ComputeAccelerations(world, out);
    });
}

void AdvanceStep(World& w, Extended cool, const AccelerationSource& source) {
    Accelerations acceleration;
    if (!source(w, acceleration)) return AdvanceStep(w, cool);
    NextCopy next = NextOf(w);
    ClearFpFlags();
    for (int i = 1; i <= SlotsInUse(w); ++i) {
        if (!w.TaonPresent[i]) continue;
        Advance<false>(acceleration.X[i], w.dt, cool, next.VelX[i], next.PosX[i]);
        Advance<false>(acceleration.Y[i], w.dt, cool, next.VelY[i], next.PosY[i]);
        Advance<false>(acceleration.Z[i], w.dt, cool, next.VelZ[i], next.PosZ[i]);
    }
    if (PendingFpFault() != FpFault::None) return AdvanceStep(w, cool);
    Commit(w, next);
}

} // namespace taonscope
