// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace taonscope {

/// A point or a vector in space.
using Position = std::array<Extended, 3>;

/// The taons a structure analysis looks at and the distance of every pair of them, measured once.
/// A taon is looked at when it is present and its position is finite.
struct PairDistances {
    std::vector<int> Slots;         ///< the taons looked at, ascending
    std::vector<Extended> Distance; ///< pair (a, b), a < b, of Slots at Index(a, b)

    /// The place in Distance of the pair of Slots[a] and Slots[b], a < b.
    std::size_t Index(std::size_t a, std::size_t b) const {
        return a * (2 * Slots.size() - a - 1) / 2 + b - a - 1;
    }
    /// The distance of Slots[a] and Slots[b], a != b.
    Extended At(std::size_t a, std::size_t b) const {
        return a < b ? Distance[Index(a, b)] : Distance[Index(b, a)];
    }
};

/// The distance of taons i and j, measured as every bond count measures it.
Extended PairDistance(const World& world, int i, int j);

/// The bond rule that every count of bonds and clusters follows: two taons are bonded when their
/// distance (PairDistance) is less than the cutoff.
inline bool Bonded(Extended distance, Extended cutoff) {
    return distance < cutoff;
}

/// Measures the distance of every pair of present taons with finite positions.
PairDistances MeasurePairDistances(const World& world);

/// Where a bond cutoff came from.
enum class CutoffSource {
    Given,            ///< the user's
    FirstMinimum,     ///< the first minimum of the pair-distance distribution after its first peak
    NearestNeighbour, ///< 1.2 x the nearest-neighbour reach: the distribution has no such minimum
    None,             ///< no two taons at a positive distance: 0, nothing is bonded
};

/// A bond cutoff and where it came from.
struct CutoffEstimate {
    Extended Value = 0;                       ///< the cutoff r_c: pairs closer than this are bonded
    CutoffSource Source = CutoffSource::None; ///< how Value was found
};

/// How a cutoff was found, in words ("the first minimum of the pair distances" ...).
std::string CutoffSourceText(CutoffSource source);

/// The bins of the distribution the data's cutoff is taken from: this many to the nearest-neighbour reach.
inline constexpr int CutoffBinsPerReach = 40;

/// The bin of that distribution that holds distance d, for the reach given: the k with
/// k reach / 40 <= d < (k + 1) reach / 40, decided exactly, so that a distance on an edge lands in the
/// bin that starts there; empty for a negative d, one that is not a number, or one beyond 2^30 bins.
std::optional<std::size_t> CutoffBin(Extended d, Extended reach);

/// The cutoff taken from the data: the first minimum, after its first peak, of the pair-distance
/// distribution smoothed and divided by r^2, the first peak being the one that holds the nearest
/// neighbours of three taons in four (see docs/INSTRUMENTS.md); else the fallbacks of CutoffSource.
CutoffEstimate DefaultCutoff(const PairDistances& pairs);

/// DefaultCutoff of the world's present taons.
CutoffEstimate DefaultCutoff(const World& world);

/// A cutoff the law suggests: the reach of one shell of one kind.
struct CutoffChoice {
    int Kind = 1;        ///< the kind 1, 2 or 3 whose set holds the shell
    char Shell = 'B';    ///< the shell parameter's letter: B, C, D, F or G
    Extended Radius = 0; ///< the shell parameter, the distance near which the pair prefers to sit
    Extended Cutoff = 0; ///< where the shell has fallen to 1% of its value at the radius
    std::string Label;   ///< "B1 = 2.718: 2.93", for a list of choices
};

/// One choice for every positive finite shell parameter of the three kinds, in the order kind 1 B..G,
/// kind 2 B..G, kind 3 B..G.
std::vector<CutoffChoice> CutoffChoices(const World& world);

/// A bond: two taons closer than the cutoff.
struct Bond {
    int First = 0, Second = 0; ///< the slots, First < Second
    Extended Distance = 0;     ///< their distance
};

/// The bond graph of the looked-at taons at one cutoff.
struct Neighbours {
    Extended Cutoff = 0;                             ///< the cutoff used
    std::vector<int> Slots;                          ///< the taons looked at, ascending
    std::vector<Bond> Bonds;                         ///< every bond once, by First then Second
    std::array<std::vector<int>, MaxTaons + 1> Of{}; ///< each slot's bonded slots, ascending
};

/// Bonds every pair of looked-at taons closer than cutoff.
Neighbours FindNeighbours(const PairDistances& pairs, Extended cutoff);

/// FindNeighbours of the world's present taons.
Neighbours FindNeighbours(const World& world, Extended cutoff);

} // namespace taonscope
