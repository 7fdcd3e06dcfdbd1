// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Scene.h"

namespace taonscope {

/// How far from a dot, in pixels, a click still picks its taon.
inline constexpr int PickRadius = 5;

/// The present taon whose dot, as the last DrawTaons projected it with the view's DotSize, is nearest
/// the pixel (x, y) and no farther than radius pixels from it; 0 when there is none. Distance is
/// measured to the nearest pixel of the dot; of equally near dots the one drawn last (the higher slot,
/// which is the one seen) wins. With Spheres, the distance is to the edge of the taon's disc, and of
/// equally near discs the nearest to the viewer wins.
int NearestDot(const ViewState& view, const World& world, int x, int y, int radius = PickRadius);

} // namespace taonscope
