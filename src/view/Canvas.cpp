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

} // namespace taonscope
