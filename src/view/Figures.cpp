// SPDX-License-Identifier: GPL-3.0-or-later
#include "Figures.h"

#include "core/Scenarios.h"

#include <cmath>
#include <numbers>

namespace taonscope {

namespace {

struct Point {
    Extended x, y, z;
};

// The point dividing the segment from p to q so that its distances from p and q are as r to 1.
Point SectionPoint(const Point& p, const Point& q, double r) {
    return {(p.x + r * q.x) / (1 + r), (p.y + r * q.y) / (1 + r), (p.z + r * q.z) / (1 + r)};
}

// Each point from 6 on mirrors point d through the centroid of the face a, b, c.
struct Construction {
    int a, b, c, d;
};
constexpr Construction Steps[] = {
    {1, 2, 5, 3},     {1, 2, 6, 5},     {2, 6, 7, 1},     {2, 6, 8, 7},     {2, 8, 9, 6},
    {2, 8, 10, 9},    {2, 10, 11, 8},   {2, 10, 12, 11},  {10, 12, 13, 2},  {10, 12, 14, 13},
    {10, 14, 15, 12}, {10, 14, 16, 15}, {10, 16, 17, 14}, {10, 16, 18, 17},
};

void BuildTetraSpiral(World& world) {
    const Extended r = 0.5L / std::sin(std::numbers::pi_v<Extended> / 3);
    const Extended h = std::sqrt(1 - 0.5L * 0.5L);
    const Extended d = std::sqrt(h * h - 0.5L * 0.5L);
    const double k = static_cast<double>((h - r) / r);

    Point points[FigurePointCount + 1] = {};
    points[1] = {0, 0, 0};
    points[2] = {1, 0, 0};
    points[3] = {0.5L, 0, h};
    points[4] = {0.5L, d, h - r};
    points[5] = {0.5L, -d, h - r};
    int j = 6;
    for (const Construction& s : Steps) {
        const Point g = SectionPoint(SectionPoint(points[s.a], points[s.b], 1), points[s.c], k);
        const Point& mirrored = points[s.d];
        points[j++] = {2 * g.x - mirrored.x, 2 * g.y - mirrored.y, 2 * g.z - mirrored.z};
    }
    for (int n = 1; n <= FigurePointCount; ++n) {
        world.ScenePosX[n] = points[n].x;
        world.ScenePosY[n] = points[n].y;
        world.ScenePosZ[n] = points[n].z;
    }
}

} // namespace

void GenerateFigure(World& world, const ViewState& view) {
    world.ScenePosX.fill(0);
    world.ScenePosY.fill(0);
    world.ScenePosZ.fill(0);
    if (!world.ShowingFigure) return InstallEasySquare(world);
    if (view.FigureKind == 1) BuildTetraSpiral(world);
}

} // namespace taonscope
