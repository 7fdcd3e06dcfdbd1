#include "Step.h"

#include "FpTrap.h"
#include "Law.h"

#include <algorithm>

namespace taonscope {

namespace {

struct NextCopy {
    TaonArray PosX, PosY, PosZ, VelX, VelY, VelZ;
};

// v := cool * v + a * dt; p := p + v * dt, each result tested before the next is computed.
void Advance(Extended acceleration, Extended dt, Extended cool, Extended& velocity, Extended& position) {
    const Extended a = Checked(acceleration * dt);
    velocity = Checked(cool * velocity + a);
    position = Checked(position + velocity * dt);
}

} // namespace

Extended CoolFactor(bool coolTicked) {
    return coolTicked ? 0.99L : 1.0L;
}

void AdvanceStep(World& w, Extended cool, LawKernel) {
    const int count = std::clamp(w.TaonCount, 0, MaxTaons);
    NextCopy next{w.NextPosX, w.NextPosY, w.NextPosZ, w.NextVelX, w.NextVelY, w.NextVelZ};

    ClearFpFlags();
    for (int i = 1; i <= count; ++i) {
        if (!w.TaonPresent[i]) continue;
        Advance(AccelX(w, i), w.dt, cool, next.VelX[i], next.PosX[i]);
        Advance(AccelY(w, i), w.dt, cool, next.VelY[i], next.PosY[i]);
        Advance(AccelZ(w, i), w.dt, cool, next.VelZ[i], next.PosZ[i]);
    }

    w.NextPosX = next.PosX, w.NextPosY = next.PosY, w.NextPosZ = next.PosZ;
    w.NextVelX = next.VelX, w.NextVelY = next.VelY, w.NextVelZ = next.VelZ;
    for (int i = 1; i <= count; ++i) {
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

} // namespace taonscope
