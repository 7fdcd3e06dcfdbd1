// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Canvas.h"
#include "ViewState.h"

#include <array>
#include <string>
#include <vector>

namespace taonscope {

/// The scene area: from (0, 0) to (width, bottom), above the bottom panel.
struct SceneArea {
    int width = 0;
    int bottom = 0;
};

/// The drawing colour of a taon kind: 1 lime, 2 yellow, 3 red.
Rgb KindColour(int kind);

/// Paints the whole scene area black (pen and brush black).
void ClearScene(Canvas& canvas, SceneArea area);

/// The pixels a dot of the view's DotSize covers around a projected point (x, y): columns
/// x + offset .. x + offset + size - 1, rows likewise (size 2 covers x, x + 1).
struct DotSpan {
    int offset = 0;
    int size = 2;
};
/// The dot of view.DotSize, clamped to 1..15.
DotSpan DotOf(const ViewState& view);

/// True when a pixel coordinate fits a canvas's int (a taon far off the scene may not).
bool FitsPixel(std::int64_t v);

class TrailHistory;

/// Each slot's colour, for a scene that colours the taons otherwise than by kind.
using TaonColours = std::array<Rgb, MaxTaons + 1>;

/// A pair of bonded slots.
using SlotPair = std::array<int, 2>;

/// One line of a legend: a square of its colour (unless it is a heading) and its text.
struct LegendEntry {
    Rgb colour;         ///< the square's colour
    std::string text;   ///< what the colour means
    bool swatch = true; ///< false: a heading, text only
};

/// What the taon scene may show beside the taons.
struct SceneExtras {
    const TrailHistory* trails = nullptr; ///< drawn under the taons when given
    std::vector<std::string> readout;     ///< lines written small in the top left corner, over everything
    const TaonColours* colours = nullptr; ///< each taon's colour when given; else its kind's
    const std::vector<SlotPair>* bonds = nullptr; ///< drawn as thin lines under the taons when given
    std::vector<LegendEntry> legend;              ///< written in the top right corner
};

/// Taon mode: projects the present taons, clears the scene, draws the trails and the bonds of extras,
/// each taon in the view's style (Dots: a DotSize x DotSize dot, 2 x 2 by default, in its kind's colour
/// or the one extras give) and, with ShowNumbersOn, writes its number beside it in the same colour after
/// all taons ((x + 2, y + 2) for the default dot). With ShowAxesOn the axis triad follows, then the
/// legend and the readout of extras.
void DrawTaons(Canvas& canvas, ViewState& view, const World& world, SceneArea area,
               const SceneExtras& extras = {});

/// Writes lines in grey on black from the top left corner of the scene, one below the other.
void DrawReadout(Canvas& canvas, const std::vector<std::string>& lines);

/// Writes a legend in grey on black in the top right corner of the area, one entry below the other,
/// each after a small square of its colour.
void DrawLegend(Canvas& canvas, SceneArea area, const std::vector<LegendEntry>& legend);

/// Figure mode: turns the figure's 19 points by the spin increments (in the world's scene positions),
/// clears the scene and draws the wire frame, white lines before the red lines of their row, and with
/// ShowNumbersOn the point numbers in lime at the points. FigureKind other than 1 leaves it black.
void DrawFigure(Canvas& canvas, ViewState& view, World& world, SceneArea area);

/// The x/y/z triad of the view's RotationMatrix in the bottom left corner of the area: each axis a line
/// from the triad's origin (x red, y lime, z aqua) with its letter at the end.
void DrawAxes(Canvas& canvas, const ViewState& view, SceneArea area);

/// DrawFigure when the world shows the figure, else DrawTaons.
void Redraw(Canvas& canvas, ViewState& view, World& world, SceneArea area);

} // namespace taonscope
