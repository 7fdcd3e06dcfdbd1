// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ViewState.h"

namespace taonscope {

/// Number of points of the tetra-spiral.
inline constexpr int FigurePointCount = 19;

/// The name of the configuration the figure stands for.
inline constexpr const char* FigureName = "ThetraSpiral";

/// Clears the scene positions of every slot, then, in figure mode (world.ShowingFigure), builds the
/// tetra-spiral into scene points 1..19 when view.FigureKind is 1; in taon mode installs the easy square
/// instead (taons 1..4 with the figure's parameters). Sets no dt and no step counter.
void GenerateFigure(World& world, const ViewState& view);

} // namespace taonscope
