// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Neighbours.h"

#include <array>
#include <string>
#include <vector>

namespace taonscope {

/// The grid of g(r): bins [n Width, (n + 1) Width) for n below Max / Width rounded.
struct RdfGrid {
    Extended Max = 15;      ///< the end of the last bin
    Extended Width = 0.05L; ///< the width of a bin
};

/// The number of g(r) curves: the six kind pairs of KindPairs, then all pairs.
inline constexpr std::size_t RdfCurves = 7;

/// The name of a g(r) curve: "1-1" ... "3-3", then "all".
std::string RdfName(std::size_t index);

/// The radial distribution g(r) of a finite open system: the pairs counted in each bin, divided by the
/// count an ideal gas of the same pairs would have there if spread evenly over the sphere with the
/// taons' radius of gyration (see docs/INSTRUMENTS.md).
struct RadialDistribution {
    std::vector<Extended> R; ///< the bins' centres
    /// g at each centre, per curve; 0 where a curve has no pairs.
    std::array<std::vector<Extended>, RdfCurves> G;
    Extended Width = 0;  ///< the width of a bin
    Extended Volume = 0; ///< the reference volume: 4/3 pi (sqrt(5/3) Rg)^3
};

/// g(r) of the looked-at taons on a grid; no bins when the grid is not positive and finite or has more
/// than a million bins.
RadialDistribution RadialDistributionOf(const World& world, const PairDistances& pairs,
                                        const RdfGrid& grid = {});

} // namespace taonscope
