// SPDX-License-Identifier: GPL-3.0-or-later
#include "World.h"

#include <algorithm>

namespace taonscope {

int TaonKind(const World& world, int j) {
    if (j <= world.TaonCount - 50) return 1;
    if (j <= world.TaonCount - 20) return 2;
    return 3;
}

ParameterSet GetParameterSet(const World& w, int kind) {
    switch (kind) {
    case 1:
        return {w.A1, w.B1, w.C1, w.D1, w.F1, w.G1};
    case 2:
        return {w.A2, w.B2, w.C2, w.D2, w.F2, w.G2};
    default:
        return {w.A3, w.B3, w.C3, w.D3, w.F3, w.G3};
    }
}

void SetParameterSet(World& w, int kind, const ParameterSet& s) {
    switch (kind) {
    case 1:
        w.A1 = s.A, w.B1 = s.B, w.C1 = s.C, w.D1 = s.D, w.F1 = s.F, w.G1 = s.G;
        break;
    case 2:
        w.A2 = s.A, w.B2 = s.B, w.C2 = s.C, w.D2 = s.D, w.F2 = s.F, w.G2 = s.G;
        break;
    default:
        w.A3 = s.A, w.B3 = s.B, w.C3 = s.C, w.D3 = s.D, w.F3 = s.F, w.G3 = s.G;
        break;
    }
}

void SyncCopiesFromCurrent(World& w, Slots slots) {
    for (int i = 1; i <= std::clamp(w.TaonCount, 0, MaxTaons); ++i) {
        if (slots == Slots::Present && !w.TaonPresent[i]) continue;
        w.ScenePosX[i] = w.NextPosX[i] = w.PosX[i];
        w.ScenePosY[i] = w.NextPosY[i] = w.PosY[i];
        w.ScenePosZ[i] = w.NextPosZ[i] = w.PosZ[i];
        w.NextVelX[i] = w.VelX[i];
        w.NextVelY[i] = w.VelY[i];
        w.NextVelZ[i] = w.VelZ[i];
    }
}

} // namespace taonscope
