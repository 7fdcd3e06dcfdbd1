// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BondOrder.h"
#include "Clusters.h"
#include "Coordination.h"
#include "Neighbours.h"
#include "RadialDistribution.h"
#include "Shapes.h"

#include <array>
#include <optional>
#include <vector>

namespace taonscope {

/// What a structure analysis is asked to do.
struct StructureOptions {
    std::optional<Extended> Cutoff; ///< the bond cutoff; empty: DefaultCutoff of the data
    RdfGrid Grid;                   ///< the grid of g(r)
};

/// Everything the structure analysis measures of one world.
struct Structure {
    CutoffEstimate Cutoff;                     ///< the cutoff used and where it came from
    Neighbours Bonds;                          ///< the bond graph at that cutoff
    std::vector<Cluster> Clusters;             ///< largest first; isolated taons are clusters of one
    std::array<int, MaxTaons + 1> ClusterOf{}; ///< each looked-at slot's index in Clusters; -1 elsewhere
    ClusterCount Counts;                       ///< cluster count, largest cluster, isolated taons
    CoordinationNumbers Coordination;          ///< bonds per taon and their histograms
    RadialDistribution Rdf;                    ///< g(r) per kind pair and of all pairs
    BondOrder Order;                           ///< q4, q6 and their averaged versions
};

/// Measures the structure of the world's present taons (those with finite positions): the pair
/// distances once, then bonds, clusters with their shapes, coordination, g(r) and bond order. Never throws
/// but for want of memory.
Structure AnalyzeStructure(const World& world, const StructureOptions& options = {});

/// Only the cluster count, the largest cluster and the isolated taons, at the options' cutoff (or the
/// default one): what a run samples often.
ClusterCount CountClusters(const World& world, const StructureOptions& options);

} // namespace taonscope
