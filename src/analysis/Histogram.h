// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace taonscope {

/// The six kind pairs in their fixed order: 1-1, 1-2, 1-3, 2-2, 2-3, 3-3.
inline constexpr std::array<std::array<int, 2>, 6> KindPairs = {
    {{1, 1}, {1, 2}, {1, 3}, {2, 2}, {2, 3}, {3, 3}}};

/// The name of a kind pair ("1-1" ... "3-3") by its index in KindPairs.
std::string KindPairName(std::size_t index);

/// The index in KindPairs of the pair of kinds a and b, in either order.
std::size_t KindPairIndex(int a, int b);

/// Counts of pair distances in bins: bin n holds Edges[n] <= d < Edges[n + 1] (the last one closed).
struct Histogram {
    std::vector<Extended> Edges;      ///< Counts.size() + 1 ascending bin edges; empty without pairs
    std::vector<std::int64_t> Counts; ///< pairs per bin
    std::string Reason;               ///< why there is no histogram (a distance that is not finite)

    /// The number of pairs counted.
    std::int64_t Total() const;
};

/// Whose bins the six histograms have.
enum class PairBins {
    Own,    ///< each kind pair its own, from its smallest to its largest distance
    Shared, ///< one set for all six, from the smallest to the largest distance of all pairs, to overlay
};

/// The distance histograms of the present pairs (each unordered pair once) for the six kind pairs. Bins
/// span the smallest to the largest distance (of the kind pair, or of all pairs when Shared), about the
/// square root of the pairs counted of them (at most maxBins); the counts of all six sum to the number
/// of present pairs. Never throws.
std::array<Histogram, 6> PairHistograms(const World& world, int maxBins = 50, PairBins bins = PairBins::Own);

} // namespace taonscope
