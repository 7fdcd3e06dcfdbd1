// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Scene.h"

namespace taonscope {

/// Pans the view so that the centre of mass of the present taons (their mean scene position: every taon
/// has the same mass) projects onto the middle of the scene area. False, and nothing changes, when no
/// taon is present or the centre is not a finite point.
bool CentreOnCentreOfMass(ViewState& view, const World& world, SceneArea area);

/// Share of the scene's width and height by which a taon may come near the edge before KeepAllInView
/// zooms out.
inline constexpr Extended KeepInViewEdge = 0.02L;

/// Zooms out about the middle of the scene area, never in, when a present taon projects outside the area
/// less KeepInViewEdge on each side: afterwards every taon lies inside it with FitMargin free on each
/// side. The point at the middle of the scene stays there. True when the view changed.
bool KeepAllInView(ViewState& view, const World& world, SceneArea area);

} // namespace taonscope
