// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Scene.h"

namespace taonscope {

/// Share of the scene's width and height left free on each side by FitAll.
inline constexpr Extended FitMargin = 0.1L;

/// Sets ViewScale, OffsetX and OffsetY so that every present taon (in figure mode the figure's points)
/// projects inside the scene area with FitMargin free on each side, for the current angles. A single
/// point, or all points at one place, is centred at the current zoom. Only the view changes.
void FitAll(ViewState& view, const World& world, SceneArea area);

} // namespace taonscope
