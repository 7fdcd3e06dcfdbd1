// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Canvas.h"
#include "Scene.h"
#include "ViewState.h"

#include <vector>

namespace taonscope {

/// The smallest radius of a sphere in pixels, so that a sphere is always larger than the largest dot.
inline constexpr double MinSpherePixels = 2.5;

/// The sphere sizes the View menu offers, as radii in world units; the second is the default.
inline constexpr Extended SphereRadiusChoices[3] = {0.25L, 0.5L, 1.0L};

/// Spheres: the radius in pixels of a taon's disc at the view's zoom (MinSpherePixels at least).
double SpherePixels(const ViewState& view);

/// The present slots from the farthest to the nearest as the last projection turned them (the viewer
/// sits on the side of the larger rotated y); slots at the same depth in increasing order.
std::vector<int> BackToFront(const ViewState& view, const World& world);

/// Paints the present taons where the last projection put them, in the view's style. Dots: each a
/// DotSize square in its kind's colour, in increasing slot order. Spheres: shaded discs of
/// SpherePixels in the kinds' colours, back to front, the nearest at full light, the farthest at 55%.
/// colours, when given, replaces the kinds' colours.
void PaintTaons(Canvas& canvas, const ViewState& view, const World& world,
                const TaonColours* colours = nullptr);

/// The colour a taon is painted in: colours' when given, else its kind's.
Rgb TaonColour(const World& world, int slot, const TaonColours* colours);

/// Pixels right of and below a taon's projected point at which its number is written.
int NumberOffset(const ViewState& view);

} // namespace taonscope
