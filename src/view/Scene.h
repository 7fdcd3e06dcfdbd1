#pragma once

#include "Canvas.h"
#include "ViewState.h"

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

/// Taon mode: projects the present taons, clears the scene, draws each as a 2 x 2 dot in its kind's
/// colour and, with ShowNumbersOn, writes its number at (x + 2, y + 2) after all dots.
void DrawTaons(Canvas& canvas, ViewState& view, const World& world, SceneArea area);

/// Figure mode: turns the figure's 19 points by the spin increments (in the world's scene positions),
/// clears the scene and draws the wire frame, white lines before the red lines of their row, and with
/// ShowNumbersOn the point numbers in lime at the points. FigureKind other than 1 leaves it black.
void DrawFigure(Canvas& canvas, ViewState& view, World& world, SceneArea area);

/// DrawFigure when the world shows the figure, else DrawTaons.
void Redraw(Canvas& canvas, ViewState& view, World& world, SceneArea area);

} // namespace taonscope
