// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Neighbours.h"

#include <array>
#include <cstdint>
#include <vector>

namespace taonscope {

/// The bonds of every taon and their histograms.
struct CoordinationNumbers {
    std::array<int, MaxTaons + 1> BySlot{}; ///< bonds of each looked-at taon; 0 elsewhere
    /// Histogram[0] for all taons, Histogram[k] for kind k: element n counts the taons with n bonds;
    /// all four run from 0 to the largest coordination.
    std::array<std::vector<std::int64_t>, 4> Histogram;
};

/// The coordination of the world's looked-at taons bonded as neighbours says.
CoordinationNumbers CoordinationOf(const World& world, const Neighbours& neighbours);

} // namespace taonscope
