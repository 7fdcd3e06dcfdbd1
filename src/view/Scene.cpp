// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scene.h"

#include "Colouring.h"
#include "Figures.h"
#include "TaonStyle.h"
#include "Trails.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace taonscope {

namespace {

// One row of the wire frame: an optional white line, then red lines.
struct FigureRow {
    int white[2];
    int red[3][2];
};
constexpr FigureRow FigureRows[] = {
    {{1, 2}, {{2, 3}, {3, 1}, {0, 0}}},       {{0, 0}, {{1, 4}, {2, 4}, {3, 4}}},
    {{0, 0}, {{1, 5}, {2, 5}, {3, 5}}},       {{0, 0}, {{1, 6}, {2, 6}, {5, 6}}},
    {{0, 0}, {{1, 7}, {2, 7}, {6, 7}}},       {{0, 0}, {{2, 8}, {6, 8}, {7, 8}}},
    {{0, 0}, {{2, 9}, {6, 9}, {8, 9}}},       {{2, 10}, {{8, 10}, {9, 10}, {0, 0}}},
    {{0, 0}, {{2, 11}, {8, 11}, {10, 11}}},   {{0, 0}, {{2, 12}, {10, 12}, {11, 12}}},
    {{0, 0}, {{2, 13}, {10, 13}, {12, 13}}},  {{0, 0}, {{10, 14}, {12, 14}, {13, 14}}},
    {{0, 0}, {{10, 15}, {12, 15}, {14, 15}}}, {{10, 16}, {{14, 16}, {15, 16}, {0, 0}}},
    {{0, 0}, {{10, 17}, {14, 17}, {16, 17}}}, {{0, 0}, {{10, 18}, {16, 18}, {17, 18}}},
    {{0, 0}, {{10, 19}, {16, 19}, {18, 19}}},
};

void Line(Canvas& canvas, const ViewState& view, const int (&ends)[2]) {
    canvas.MoveTo(view.ScreenX[ends[0]], view.ScreenY[ends[0]]);
    canvas.LineTo(view.ScreenX[ends[1]], view.ScreenY[ends[1]]);
}

// The axis triad: its arms' length and their distance from the scene's edges, in pixels.
constexpr int AxisLength = 20;
constexpr int AxisMargin = 14; // room for a letter below an arm that points down
constexpr Rgb AxisColours[3] = {Colours::Red, Colours::Lime, Rgb{0, 255, 255}};

// The readout: light grey, small, from a corner that no taon number or axis uses.
constexpr Rgb ReadoutColour{190, 190, 190};
constexpr int ReadoutMargin = 3;
constexpr int ReadoutLineHeight = 13;
// The legend's colour squares and the room between a square and its text, in pixels.
constexpr int LegendSwatch = 8;
constexpr int LegendGap = 4;

} // namespace

bool FitsPixel(std::int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

Rgb KindColour(int kind) {
    switch (kind) {
    case 1:
        return Colours::Lime;
    case 2:
        return Colours::Yellow;
    default:
        return Colours::Red;
    }
}

void ClearScene(Canvas& canvas, SceneArea area) {
    canvas.SetPenColor(Colours::Black);
    canvas.SetBrushColor(Colours::Black);
    canvas.Rectangle(0, 0, area.width, area.bottom);
}

DotSpan DotOf(const ViewState& view) {
    const int size = std::clamp<int>(view.DotSize, 1, 15);
    return {-(size - 1) / 2, size};
}

void DrawTaons(Canvas& canvas, ViewState& view, const World& world, SceneArea area,
               const SceneExtras& extras) {
    BuildViewMatrix(view);
    ProjectTaons(view, world);
    ClearScene(canvas, area);
    if (extras.trails) DrawTrails(canvas, view, world, *extras.trails);
    if (extras.bonds) DrawBonds(canvas, view, world, *extras.bonds);
    PaintTaons(canvas, view, world, extras.colours);
    if (view.ShowNumbersOn) {
        const int slots = std::clamp(world.TaonCount, 0, MaxTaons);
        const int beside = NumberOffset(view);
        for (int j = 1; j <= slots; ++j) {
            if (!world.TaonPresent[j]) continue;
            canvas.SetFontColor(TaonColour(world, j, extras.colours));
            const std::int64_t x = view.ScreenX[j] + std::int64_t{beside};
            const std::int64_t y = view.ScreenY[j] + std::int64_t{beside};
            if (FitsPixel(x) && FitsPixel(y))
                canvas.TextOut(static_cast<int>(x), static_cast<int>(y), std::to_string(j));
        }
    }
    if (view.ShowAxesOn) DrawAxes(canvas, view, area);
    if (!extras.legend.empty()) DrawLegend(canvas, area, extras.legend);
    if (!extras.readout.empty()) DrawReadout(canvas, extras.readout);
}

void DrawReadout(Canvas& canvas, const std::vector<std::string>& lines) {
    canvas.SetBrushColor(Colours::Black);
    canvas.SetFontColor(ReadoutColour);
    for (std::size_t n = 0; n < lines.size(); ++n)
        canvas.TextOut(ReadoutMargin, ReadoutMargin + static_cast<int>(n) * ReadoutLineHeight, lines[n]);
}

void DrawLegend(Canvas& canvas, SceneArea area, const std::vector<LegendEntry>& legend) {
    int widest = 0;
    for (const LegendEntry& entry : legend) widest = std::max(widest, canvas.TextWidth(entry.text));
    const int swatchX = area.width - ReadoutMargin - widest - LegendSwatch - LegendGap;
    canvas.SetBrushColor(Colours::Black);
    canvas.SetFontColor(ReadoutColour);
    for (std::size_t n = 0; n < legend.size(); ++n) {
        const int y = ReadoutMargin + static_cast<int>(n) * ReadoutLineHeight;
        if (legend[n].swatch) {
            canvas.SetPenColor(legend[n].colour);
            canvas.SetBrushColor(legend[n].colour);
            canvas.Rectangle(swatchX, y + 2, swatchX + LegendSwatch, y + 2 + LegendSwatch);
            canvas.SetBrushColor(Colours::Black);
        }
        canvas.TextOut(swatchX + LegendSwatch + LegendGap, y, legend[n].text);
    }
}

void DrawAxes(Canvas& canvas, const ViewState& view, SceneArea area) {
    const int originX = AxisLength + AxisMargin, originY = area.bottom - AxisLength - AxisMargin;
    const auto& m = view.RotationMatrix;
    int endX[3], endY[3];
    for (int k = 0; k < 3; ++k) {
        // Column k of the matrix is where the unit vector of axis k turns to; rows 0 and 2 are the screen.
        endX[k] = originX + RoundToPixel(m[0][k] * AxisLength);
        endY[k] = originY + RoundToPixel(m[2][k] * AxisLength);
        canvas.SetPenColor(AxisColours[k]);
        canvas.MoveTo(originX, originY);
        canvas.LineTo(endX[k], endY[k]);
    }
    canvas.SetBrushColor(Colours::Black);
    for (int k = 0; k < 3; ++k) {
        canvas.SetFontColor(AxisColours[k]);
        canvas.TextOut(endX[k] + 1, endY[k] + 1, std::string(1, static_cast<char>('x' + k)));
    }
}

void DrawFigure(Canvas& canvas, ViewState& view, World& world, SceneArea area) {
    BuildSpinMatrix(view);
    ClearScene(canvas, area);
    if (view.FigureKind != 1) return;
    RotateAndProject(view, world, FigurePointCount);
    for (const FigureRow& row : FigureRows) {
        if (row.white[0] != 0) {
            canvas.SetPenColor(Colours::White);
            Line(canvas, view, row.white);
        }
        canvas.SetPenColor(Colours::Red);
        for (const auto& red : row.red)
            if (red[0] != 0) Line(canvas, view, red);
    }
    if (!view.ShowNumbersOn) return;
    canvas.SetFontColor(Colours::Lime);
    for (int j = 1; j <= FigurePointCount; ++j)
        canvas.TextOut(view.ScreenX[j], view.ScreenY[j], std::to_string(j));
}

void Redraw(Canvas& canvas, ViewState& view, World& world, SceneArea area) {
    if (world.ShowingFigure)
        DrawFigure(canvas, view, world, area);
    else
        DrawTaons(canvas, view, world, area);
}

} // namespace taonscope
