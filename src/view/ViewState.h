// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

#include <array>
#include <cstdint>

namespace taonscope {

/// A per-point array of pixel coordinates, indexed like TaonArray.
using PixelArray = std::array<std::int32_t, MaxTaons + 1>;

/// How a projected taon is painted: a square dot, or a shaded disc of SphereRadius.
enum class TaonStyle { Dots, Spheres };

/// How the scene is looked at: orientation, zoom, pan, the last projection, and what is drawn.
struct ViewState {
    Extended SpinTeta = 0, SpinPsi = 0, SpinPhi = 0; ///< rotation increments about x, y, z (figure mode)
    Extended ViewTeta = 0, ViewPsi = 0, ViewPhi = 0; ///< absolute view angles about x, y, z (taon mode)
    Extended RotationMatrix[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}; ///< M11..M33, row then column
    std::int32_t CentreX = 0, CentreY = 0;                             ///< pixel of the scene origin
    Extended ViewScale = 120;                     ///< a coordinate c moves the pixel by c * ViewScale / 2
    Extended OffsetX = 0, OffsetY = 0;            ///< pan in pixels
    Extended AngleStep = 0.01L;                   ///< radians per rotation click or per pixel of drag
    Extended ScaleStep = 3;                       ///< zoom step of Back/Forward and of the right drag
    Extended PanStep = 5;                         ///< pixels per pan command
    PixelArray ScreenX{}, ScreenY{};              ///< last projected pixel of each point
    TaonArray RotatedX{}, RotatedY{}, RotatedZ{}; ///< taon mode: rotated coordinates at the last redraw
    bool ShowNumbersOn = false;                   ///< write point numbers beside the points
    std::int32_t FigureKind = 1;                  ///< the built-in figure to draw (1: the tetra-spiral)
    std::int32_t DotSize = 2;                     ///< side of a taon's square dot in pixels
    bool ShowAxesOn = false;                      ///< draw the x/y/z triad in a corner of the taon scene
    TaonStyle Style = TaonStyle::Dots;            ///< how the taons are painted
    Extended SphereRadius = 0.5L;                 ///< Spheres: radius in world units (zoomed with ViewScale)
};

/// A point of the screen in pixels, before rounding.
struct ScreenPoint {
    Extended x = 0, y = 0;
};

/// sin and cos as the view uses them: 0 for arguments of magnitude 2^63 or more.
Extended ViewSin(Extended angle);
Extended ViewCos(Extended angle); ///< see ViewSin

/// The nearest 32-bit integer, exact halves to the even neighbour; beyond the range, the nearest end
/// (a value that is not a number goes to the smallest, off every screen).
std::int32_t RoundToPixel(Extended value);

/// RotationMatrix := Rx(SpinTeta) Ry(SpinPsi) Rz(SpinPhi).
void BuildSpinMatrix(ViewState& view);

/// RotationMatrix := Rx(ViewTeta) Ry(ViewPsi) Rz(ViewPhi).
void BuildViewMatrix(ViewState& view);

/// Replaces scene points 1..n of the world by their rotation and projects them into ScreenX, ScreenY
/// (no presence test; nothing for n <= 0).
void RotateAndProject(ViewState& view, World& world, int n);

/// Rotates the scene position of every present taon into RotatedX..Z and projects it into ScreenX,
/// ScreenY; the scene positions stay as they are.
void ProjectTaons(ViewState& view, const World& world);

/// Where a scene position projects with the present RotationMatrix, zoom and pan (as ProjectTaons
/// projects a taon, before rounding to a pixel).
ScreenPoint ProjectPoint(const ViewState& view, Extended x, Extended y, Extended z);

/// CentreX := sceneWidth / 2 and CentreY := sceneBottom / 2, each rounded half to even.
void UpdateSceneCentre(ViewState& view, int sceneWidth, int sceneBottom);

} // namespace taonscope
