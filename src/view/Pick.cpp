// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pick.h"

#include <algorithm>
#include <cstdint>

namespace taonscope {

namespace {

// Distance along one axis from v to the span first .. first + size - 1 (0 inside it).
std::int64_t Gap(std::int64_t v, std::int64_t first, int size) {
    if (v < first) return first - v;
    const std::int64_t last = first + size - 1;
    return v > last ? v - last : 0;
}

} // namespace

int NearestDot(const ViewState& view, const World& world, int x, int y, int radius) {
    if (radius < 0) return 0;
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
