// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fit.h"

#include "Figures.h"

#include <algorithm>
#include <cmath>

namespace taonscope {

void TurnedExtent::Add(Extended across, Extended down) {
    if (!any) {
        left = right = across, top = bottom = down, any = true;
    } else {
        left = std::min(left, across), right = std::max(right, across);
        top = std::min(top, down), bottom = std::max(bottom, down);
    }
}

void TurnedExtent::Add(const TurnedExtent& other) {
    if (!other.any) return;
    Add(other.left, other.top);
    Add(other.right, other.bottom);
}

TurnedExtent ExtentOf(const ViewState& view, const World& world) {
    // The figure keeps its turns in its own coordinates; taons are turned by the view angles.
    ViewState turned;
    if (!world.ShowingFigure)
        turned.ViewTeta = view.ViewTeta, turned.ViewPsi = view.ViewPsi, turned.ViewPhi = view.ViewPhi;
    BuildViewMatrix(turned);
    const auto& m = turned.RotationMatrix;

    TurnedExtent extent;
    const int points = world.ShowingFigure ? FigurePointCount : std::clamp(world.TaonCount, 0, MaxTaons);
    for (int j = 1; j <= points; ++j) {
        if (!world.ShowingFigure && !world.TaonPresent[j]) continue;
        const Extended x = world.ScenePosX[j], y = world.ScenePosY[j], z = world.ScenePosZ[j];
        const Extended across = m[0][0] * x + m[0][1] * y + m[0][2] * z;
        const Extended down = m[2][0] * x + m[2][1] * y + m[2][2] * z;
        if (std::isfinite(across) && std::isfinite(down)) extent.Add(across, down);
    }
    return extent;
}

void FitExtent(ViewState& view, const TurnedExtent& extent, SceneArea area) {
    if (!extent.any) return;
    UpdateSceneCentre(view, area.width, area.bottom);
    const Extended usable = 1 - 2 * FitMargin;
    Extended scale = view.ViewScale;
    const Extended width = extent.right - extent.left, height = extent.bottom - extent.top;
    if (width > 0 || height > 0) {
        // ViewScale / 2 pixels per unit: the larger span decides.
        const Extended byWidth = width > 0 ? 2 * usable * area.width / width : HUGE_VALL;
        const Extended byHeight = height > 0 ? 2 * usable * area.bottom / height : HUGE_VALL;
        scale = std::min(byWidth, byHeight);
        if (!std::isfinite(scale) || scale <= 0) return;
    }
    view.ViewScale = scale;
    // The middle of the points goes to the middle of the scene area.
    view.OffsetX = area.width / 2.0L - view.CentreX - (extent.left + extent.right) / 2 * scale / 2;
    view.OffsetY = area.bottom / 2.0L - view.CentreY - (extent.top + extent.bottom) / 2 * scale / 2;
}

void FitAll(ViewState& view, const World& world, SceneArea area) {
    FitExtent(view, ExtentOf(view, world), area);
}

} // namespace taonscope
