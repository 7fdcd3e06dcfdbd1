// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Scene.h"

namespace taonscope {

/// Share of the scene's width and height left free on each side by FitAll.
inline constexpr Extended FitMargin = 0.1L;

/// The extent of points turned by the view's angles: across (to the right) and down the scene.
struct TurnedExtent {
    bool any = false; ///< false until a point is added
    Extended left = 0, right = 0, top = 0, bottom = 0;

    /// Widens the extent to take in a point at across, down.
    void Add(Extended across, Extended down);
    /// Widens the extent to take in another.
    void Add(const TurnedExtent& other);
};

/// The extent of the present taons (in figure mode the figure's points) for the view's angles, from
/// their scene positions; points that are not finite are left out.
TurnedExtent ExtentOf(const ViewState& view, const World& world);

/// Sets ViewScale, OffsetX and OffsetY so that the extent projects inside the scene area with FitMargin
/// free on each side. An extent of a single point is centred at the current zoom; an empty one changes
/// nothing.
void FitExtent(ViewState& view, const TurnedExtent& extent, SceneArea area);

/// Sets ViewScale, OffsetX and OffsetY so that every present taon (in figure mode the figure's points)
/// projects inside the scene area with FitMargin free on each side, for the current angles. A single
/// point, or all points at one place, is centred at the current zoom. Only the view changes.
void FitAll(ViewState& view, const World& world, SceneArea area);

} // namespace taonscope
