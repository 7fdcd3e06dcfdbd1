// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Neighbours.h"

#include <array>
#include <string>
#include <vector>

namespace taonscope {

/// A cluster: a connected component of the bond graph. A taon without bonds is a cluster of one.
struct Cluster {
    std::vector<int> Slots;        ///< its taons, ascending
    std::array<int, 3> Kinds{};    ///< how many of kind 1, 2 and 3
    Position Centre{};             ///< the mean position (every taon has unit mass)
    Position Velocity{};           ///< the mean velocity, the velocity of the centre
    Extended RadiusOfGyration = 0; ///< the root mean square distance of its taons from the centre
    Extended CentreSpeed = 0;      ///< |Velocity|
    Extended RecedingSpeed = 0;    ///< how fast its centre moves away from the centre of all other taons
                                   ///< (negative: towards it); 0 when there are no others
    std::string Shape = "none";    ///< the ideal shape of its size it matches (Shapes.h), or "none"
    Extended ShapeError = 0;       ///< the error of the nearest shape of its size; not a number when none

    /// The number of its taons.
    int Size() const { return static_cast<int>(Slots.size()); }
};

/// The clusters of the looked-at taons, largest first (equal sizes by their first slot).
std::vector<Cluster> FindClusters(const World& world, const Neighbours& neighbours);

/// The cluster count, the largest cluster and the isolated taons.
struct ClusterCount {
    int Clusters = 0; ///< clusters of two taons or more
    int Largest = 0;  ///< taons in the largest cluster; 0 when no taon is looked at
    int Isolated = 0; ///< taons without bonds
};

/// The counts of clusters found by FindClusters.
ClusterCount CountClusters(const std::vector<Cluster>& clusters);

/// The counts of clusters at a cutoff without measuring anything else: the cheap path for a run's log.
ClusterCount CountClustersWithin(const World& world, Extended cutoff);

} // namespace taonscope
