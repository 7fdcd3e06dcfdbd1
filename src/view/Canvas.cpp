// SPDX-License-Identifier: GPL-3.0-or-later
#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace taonscope {

void Canvas::Rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    Fill(left, top, right, bottom, brush_);
    Fill(left, top, right, top + 1, pen_);
    Fill(left, bottom - 1, right, bottom, pen_);
    Fill(left, top, left + 1, bottom, pen_);
    Fill(right - 1, top, right, bottom, pen_);
}

namespace {

// Lines are drawn pixel by pixel; a line reaching further than this beyond the surface is first cut
// back to this margin (an end that is cut is then drawn, since the true end lies far outside).
constexpr long long Margin = 4096;

struct Segment {
    long long x0, y0, x1, y1;
    bool drawEnd = false;
};

// Liang-Barsky: cuts the segment to the box; false when nothing of it lies inside.
bool ClipToBox(Segment& s, long long left, long long top, long long right, long long bottom) {
    const long double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    long double enter = 0, leave = 1;
    const long double p[4] = {-dx, dx, -dy, dy};
    const long double q[4] = {static_cast<long double>(s.x0 - left), static_cast<long double>(right - s.x0),
                              static_cast<long double>(s.y0 - top), static_cast<long double>(bottom - s.y0)};
    for (int n = 0; n < 4; ++n) {
        if (p[n] == 0) {
            if (q[n] < 0) return false;
            continue;
        }
        const long double t = q[n] / p[n];
        if (p[n] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave) return false;
    const Segment whole = s;
    if (enter > 0) s.x0 = std::llround(whole.x0 + enter * dx), s.y0 = std::llround(whole.y0 + enter * dy);
    if (leave < 1) {
        s.x1 = std::llround(whole.x0 + leave * dx), s.y1 = std::llround(whole.y0 + leave * dy);
        s.drawEnd = true;
    }
    return true;
}

} // namespace

void Canvas::LineTo(int x, int y) {
    Segment s{x_, y_, x, y};
    MoveTo(x, y);
    const long long left = -Margin, top = -Margin, right = Width() + Margin, bottom = Height() + Margin;
    const bool inside = s.x0 >= left && s.x0 <= right && s.x1 >= left && s.x1 <= right && s.y0 >= top &&
                        s.y0 <= bottom && s.y1 >= top && s.y1 <= bottom;
    if (!inside && !ClipToBox(s, left, top, right, bottom)) return;

    // Bresenham; the end pixel is left out unless the end was cut.
    const long long dx = std::llabs(s.x1 - s.x0), dy = -std::llabs(s.y1 - s.y0);
    const int sx = s.x0 < s.x1 ? 1 : -1, sy = s.y0 < s.y1 ? 1 : -1;
    long long error = dx + dy, px = s.x0, py = s.y0;
    while (px != s.x1 || py != s.y1) {
        SetPixel(static_cast<int>(px), static_cast<int>(py), pen_);
        const long long twice = 2 * error;
        if (twice >= dy) error += dy, px += sx;
        if (twice <= dx) error += dx, py += sy;
    }
    if (s.drawEnd) SetPixel(static_cast<int>(px), static_cast<int>(py), pen_);
}

void Canvas::Blend(int x, int y, Rgb colour, double coverage) {
    if (coverage >= 0.5) SetPixel(x, y, colour);
}

void Canvas::ShadedDisc(double x, double y, double radius, Rgb colour, double brightness) {
    if (!(radius > 0) || !std::isfinite(x) || !std::isfinite(y)) return;
    // Only the part on the surface is worked through, so a disc far outside costs nothing.
    const int left = static_cast<int>(std::max(std::floor(x - radius), 0.0));
    const int right = static_cast<int>(std::min(std::ceil(x + radius), static_cast<double>(Width() - 1)));
    const int top = static_cast<int>(std::max(std::floor(y - radius), 0.0));
    const int bottom = static_cast<int>(std::min(std::ceil(y + radius), static_cast<double>(Height() - 1)));
    // The light comes from the upper left and from the viewer's side; a little ambient light keeps the
    // shadowed side in the kind's colour.
    constexpr double Lx = -0.45, Ly = -0.55, Lz = 0.70;
    constexpr double Ambient = 0.28;
    for (int py = top; py <= bottom; ++py)
        for (int px = left; px <= right; ++px) {
            const double dx = px - x, dy = py - y; // (x, y) is the pixel the centre falls on
            const double d = std::sqrt(dx * dx + dy * dy);
            const double coverage = std::clamp(radius - d + 0.5, 0.0, 1.0);
            if (coverage <= 0) continue;
            const double nx = dx / radius, ny = dy / radius;
            const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
            const double diffuse = std::max(0.0, nx * Lx + ny * Ly + nz * Lz);
            const double highlight = std::pow(diffuse, 24) * 0.55;
            const double shade = (Ambient + (1 - Ambient) * diffuse) * brightness;
            auto channel = [&](std::uint8_t c) {
                return static_cast<std::uint8_t>(
                    std::clamp(c * shade + 255 * highlight * brightness, 0.0, 255.0));
            };
            Blend(px, py, {channel(colour.r), channel(colour.g), channel(colour.b)}, coverage);
        }
}

} // namespace taonscope
