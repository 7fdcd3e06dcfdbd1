// SPDX-License-Identifier: GPL-3.0-or-later
#include "Coordination.h"

#include <algorithm>

namespace taonscope {

CoordinationNumbers CoordinationOf(const World& w, const Neighbours& neighbours) {
    CoordinationNumbers result;
    std::size_t largest = 0;
    for (const int i : neighbours.Slots) {
        const std::size_t bonds = neighbours.Of[static_cast<std::size_t>(i)].size();
        result.BySlot[static_cast<std::size_t>(i)] = static_cast<int>(bonds);
        largest = std::max(largest, bonds);
    }
    if (neighbours.Slots.empty()) return result;
    for (std::vector<std::int64_t>& h : result.Histogram) h.assign(largest + 1, 0);
    for (const int i : neighbours.Slots) {
        const std::size_t bonds = static_cast<std::size_t>(result.BySlot[static_cast<std::size_t>(i)]);
        ++result.Histogram[0][bonds];
        ++result.Histogram[static_cast<std::size_t>(TaonKind(w, i))][bonds];
    }
    return result;
}

} // namespace taonscope
