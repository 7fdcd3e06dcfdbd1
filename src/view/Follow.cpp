// SPDX-License-Identifier: GPL-3.0-or-later
#include "Follow.h"

#include "Fit.h"

#include <algorithm>
#include <cmath>

namespace taonscope {

bool CentreOnCentreOfMass(ViewState& view, const World& world, SceneArea area) {
    Extended x = 0, y = 0, z = 0;
    int n = 0;
    for (int j = 1; j <= std::clamp(world.TaonCount, 0, MaxTaons); ++j)
        if (world.TaonPresent[j])
            x += world.ScenePosX[j], y += world.ScenePosY[j], z += world.ScenePosZ[j], ++n;
    if (n == 0) return false;
    const Extended mx = x / n, my = y / n, mz = z / n;
    const auto& m = view.RotationMatrix;
    const Extended across = m[0][0] * mx + m[0][1] * my + m[0][2] * mz;
    const Extended down = m[2][0] * mx + m[2][1] * my + m[2][2] * mz;
    const Extended offsetX = area.width / 2.0L - view.CentreX - across * view.ViewScale / 2;
    const Extended offsetY = area.bottom / 2.0L - view.CentreY - down * view.ViewScale / 2;
    if (!std::isfinite(offsetX) || !std::isfinite(offsetY)) return false;
    view.OffsetX = offsetX, view.OffsetY = offsetY;
    return true;
}

bool KeepAllInView(ViewState& view, const World& world, SceneArea area) {
    if (area.width <= 0 || area.bottom <= 0 || !(view.ViewScale > 0) || !std::isfinite(view.ViewScale))
        return false;
    const auto& m = view.RotationMatrix;
    const Extended half = view.ViewScale / 2;
    const Extended midX = area.width / 2.0L, midY = area.bottom / 2.0L;
    // The rotated coordinates that the middle of the scene shows now.
    const Extended middleAcross = (midX - view.CentreX - view.OffsetX) / half;
    const Extended middleDown = (midY - view.CentreY - view.OffsetY) / half;
    Extended farAcross = 0, farDown = 0; // the largest distances from the middle, in rotated units
    for (int j = 1; j <= std::clamp(world.TaonCount, 0, MaxTaons); ++j) {
        if (!world.TaonPresent[j]) continue;
        const Extended x = world.ScenePosX[j], y = world.ScenePosY[j], z = world.ScenePosZ[j];
        const Extended across = std::fabs(m[0][0] * x + m[0][1] * y + m[0][2] * z - middleAcross);
        const Extended down = std::fabs(m[2][0] * x + m[2][1] * y + m[2][2] * z - middleDown);
        if (std::isfinite(across)) farAcross = std::max(farAcross, across);
        if (std::isfinite(down)) farDown = std::max(farDown, down);
    }
    const bool leaving = farAcross * half > midX * (1 - 2 * KeepInViewEdge) ||
                         farDown * half > midY * (1 - 2 * KeepInViewEdge);
    if (!leaving) return false;
    const Extended usable = 1 - 2 * FitMargin;
    Extended scale = view.ViewScale;
    if (farAcross > 0) scale = std::min(scale, 2 * midX * usable / farAcross);
    if (farDown > 0) scale = std::min(scale, 2 * midY * usable / farDown);
    if (!(scale > 0) || !(scale < view.ViewScale)) return false;
    view.ViewScale = scale;
    view.OffsetX = midX - view.CentreX - middleAcross * scale / 2;
    view.OffsetY = midY - view.CentreY - middleDown * scale / 2;
    return true;
}

} // namespace taonscope
