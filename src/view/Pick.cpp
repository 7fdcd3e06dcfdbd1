// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pick.h"

#include "TaonStyle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace taonscope {

namespace {

// Distance along one axis from v to the span first .. first + size - 1 (0 inside it).
std::int64_t Gap(std::int64_t v, std::int64_t first, int size) {
    if (v < first) return first - v;
    const std::int64_t last = first + size - 1;
    return v > last ? v - last : 0;
}

// Spheres: the distance to a disc is the distance to its edge (0 inside); of equally near discs the one
// painted last, the nearest to the viewer, wins.
int NearestSphere(const ViewState& view, const World& world, int x, int y, int radius) {
    const double r = SpherePixels(view);
    const double centre = (DotOf(view).size - 1) / 2.0 + DotOf(view).offset;
    int nearest = 0;
    double best = radius + 0.5;
    for (const int j : BackToFront(view, world)) {
        const double dx = x - (view.ScreenX[static_cast<std::size_t>(j)] + centre);
        const double dy = y - (view.ScreenY[static_cast<std::size_t>(j)] + centre);
        const double d = std::max(0.0, std::sqrt(dx * dx + dy * dy) - r);
        if (d <= best) best = d, nearest = j;
    }
    return nearest;
}

} // namespace

int NearestDot(const ViewState& view, const World& world, int x, int y, int radius) {
    if (radius < 0) return 0;
    if (view.Style == TaonStyle::Spheres) return NearestSphere(view, world, x, y, radius);
    const DotSpan dot = DotOf(view);
    const std::int64_t limit = std::int64_t{radius} * radius;
    int nearest = 0;
    std::int64_t best = limit + 1;
    for (int j = 1; j <= std::clamp(world.TaonCount, 0, MaxTaons); ++j) {
        if (!world.TaonPresent[j]) continue;
        const std::int64_t dx = Gap(x, std::int64_t{view.ScreenX[j]} + dot.offset, dot.size);
        const std::int64_t dy = Gap(y, std::int64_t{view.ScreenY[j]} + dot.offset, dot.size);
        if (dx > radius || dy > radius) continue; // also keeps the squares below from overflowing
        const std::int64_t d = dx * dx + dy * dy;
        if (d <= limit && d <= best) best = d, nearest = j;
    }
    return nearest;
}

} // namespace taonscope
