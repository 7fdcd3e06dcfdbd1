// SPDX-License-Identifier: GPL-3.0-or-later
#include "Structure.h"

namespace taonscope {

Structure AnalyzeStructure(const World& world, const StructureOptions& options) {
    Structure s;
    const PairDistances pairs = MeasurePairDistances(world);
    s.Cutoff = options.Cutoff ? CutoffEstimate{*options.Cutoff, CutoffSource::Given} : DefaultCutoff(pairs);
    s.Bonds = FindNeighbours(pairs, s.Cutoff.Value);
    s.Clusters = FindClusters(world, s.Bonds);
    s.ClusterOf.fill(-1);
    for (std::size_t c = 0; c < s.Clusters.size(); ++c)
        for (const int i : s.Clusters[c].Slots)
            s.ClusterOf[static_cast<std::size_t>(i)] = static_cast<int>(c);
    s.Counts = CountClusters(s.Clusters);
    s.Coordination = CoordinationOf(world, s.Bonds);
    s.Rdf = RadialDistributionOf(world, pairs, options.Grid);
    s.Order = BondOrderOf(world, s.Bonds);
    return s;
}

ClusterCount CountClusters(const World& world, const StructureOptions& options) {
    return CountClustersWithin(world, options.Cutoff ? *options.Cutoff : DefaultCutoff(world).Value);
}

} // namespace taonscope
