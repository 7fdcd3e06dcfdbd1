// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

#include <cstring>

namespace taonscope::test {

/// True when the two values have the same 80-bit pattern (NaN-safe, tells -0 from 0).
inline bool SameBits(Extended a, Extended b) {
    return std::memcmp(&a, &b, 10) == 0;
}

/// True when every field of the two worlds holds the same bits.
inline bool SameWorld(const World& a, const World& b) {
    const TaonArray World::*arrays[] = {
        &World::PosX,     &World::PosY,     &World::PosZ,      &World::VelX,      &World::VelY,
        &World::VelZ,     &World::NextPosX, &World::NextPosY,  &World::NextPosZ,  &World::NextVelX,
        &World::NextVelY, &World::NextVelZ, &World::ScenePosX, &World::ScenePosY, &World::ScenePosZ};
    for (auto array : arrays)
        for (int i = 0; i <= MaxTaons; ++i)
            if (!SameBits((a.*array)[i], (b.*array)[i])) return false;
    for (auto field : ParameterFields)
        if (!SameBits(a.*field, b.*field)) return false;
    return a.TaonPresent == b.TaonPresent && a.TaonCount == b.TaonCount && a.StepCounter == b.StepCounter &&
           a.Stopped == b.Stopped && a.ShowingFigure == b.ShowingFigure && a.ShowTime == b.ShowTime;
}

} // namespace taonscope::test
