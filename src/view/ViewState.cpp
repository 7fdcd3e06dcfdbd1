// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace taonscope {

namespace {

constexpr Extended LargestAngle = 0x1p63L;

void BuildMatrix(ViewState& view, Extended teta, Extended psi, Extended phi) {
    const Extended cT = ViewCos(teta), sT = ViewSin(teta);
    const Extended cP = ViewCos(psi), sP = ViewSin(psi);
    const Extended cF = ViewCos(phi), sF = ViewSin(phi);
    auto& m = view.RotationMatrix;
    m[0][0] = cP * cF;
    m[0][1] = -cP * sF;
    m[0][2] = sP;
    m[1][0] = sT * sP * cF + cT * sF;
    m[1][1] = -sT * sP * sF + cT * cF;
    m[1][2] = -sT * cP;
    m[2][0] = -cT * sP * cF + sT * sF;
    m[2][1] = cT * sP * sF + sT * cF;
    m[2][2] = cT * cP;
}

struct Rotated {
    Extended x, y, z;
};

Rotated Rotate(const ViewState& view, Extended x, Extended y, Extended z) {
    const auto& m = view.RotationMatrix;
    return {m[0][0] * x + m[0][1] * y + m[0][2] * z, m[1][0] * x + m[1][1] * y + m[1][2] * z,
            m[2][0] * x + m[2][1] * y + m[2][2] * z};
}

// The screen looks along the rotated y axis: x goes right, z goes down, y (depth) is not used.
void Project(ViewState& view, int j, const Rotated& r) {
    view.ScreenX[j] = RoundToPixel(view.CentreX + (r.x * view.ViewScale) / 2 + view.OffsetX);
    view.ScreenY[j] = RoundToPixel(view.CentreY + (r.z * view.ViewScale) / 2 + view.OffsetY);
}

} // namespace

Extended ViewSin(Extended angle) {
    return std::fabs(angle) < LargestAngle ? std::sin(angle) : 0;
}
Extended ViewCos(Extended angle) {
    return std::fabs(angle) < LargestAngle ? std::cos(angle) : 0;
}

std::int32_t RoundToPixel(Extended value) {
    if (std::isnan(value)) return std::numeric_limits<std::int32_t>::min();
    const Extended lowest = std::numeric_limits<std::int32_t>::min();
    const Extended highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::nearbyint(std::clamp(value, lowest, highest)));
}

void BuildSpinMatrix(ViewState& view) {
    BuildMatrix(view, view.SpinTeta, view.SpinPsi, view.SpinPhi);
}
void BuildViewMatrix(ViewState& view) {
    BuildMatrix(view, view.ViewTeta, view.ViewPsi, view.ViewPhi);
}

void RotateAndProject(ViewState& view, World& world, int n) {
    for (int j = 1; j <= std::min(n, MaxTaons); ++j) {
        const Rotated r = Rotate(view, world.ScenePosX[j], world.ScenePosY[j], world.ScenePosZ[j]);
        world.ScenePosX[j] = r.x, world.ScenePosY[j] = r.y, world.ScenePosZ[j] = r.z;
        Project(view, j, r);
    }
}

void ProjectTaons(ViewState& view, const World& world) {
    for (int j = 1; j <= std::clamp(world.TaonCount, 0, MaxTaons); ++j) {
        if (!world.TaonPresent[j]) continue;
        const Rotated r = Rotate(view, world.ScenePosX[j], world.ScenePosY[j], world.ScenePosZ[j]);
        view.RotatedX[j] = r.x, view.RotatedY[j] = r.y, view.RotatedZ[j] = r.z;
        Project(view, j, r);
    }
}

ScreenPoint ProjectPoint(const ViewState& view, Extended x, Extended y, Extended z) {
    const Rotated r = Rotate(view, x, y, z);
    return {view.CentreX + (r.x * view.ViewScale) / 2 + view.OffsetX,
            view.CentreY + (r.z * view.ViewScale) / 2 + view.OffsetY};
}

void UpdateSceneCentre(ViewState& view, int sceneWidth, int sceneBottom) {
    view.CentreX = RoundToPixel(sceneWidth / 2.0L);
    view.CentreY = RoundToPixel(sceneBottom / 2.0L);
}

} // namespace taonscope
