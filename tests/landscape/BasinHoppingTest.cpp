// SPDX-License-Identifier: GPL-3.0-or-later
// Basin hopping against the published global minima of Lennard-Jones clusters, and the merge of minima.
#include "landscape/BasinHopping.h"
#include "landscape/LennardJones.h"
#include "landscape/Search.h"

#include <gtest/gtest.h>

namespace taonscope {
namespace {

TEST(BasinHopping, FindsThePublishedGlobalMinimaOfLennardJonesClusters) {
    // The Cambridge Cluster Database's energies, given to six decimals.
    const struct {
        int atoms;
        Extended published;
    } cases[] = {{13, -44.326801L}, {19, -72.659782L}};
    for (const auto& c : cases) {
        LennardJones potential;
        HoppingOptions options;
        options.Particles = c.atoms;
        options.Hops = 1000;
        options.Seed = 7;
        options.StopBelow = c.published + 5e-7L;
        const HoppingResult result = BasinHopping(potential, options);
        ASSERT_FALSE(result.Lowest.empty());
        const FoundMinimum& lowest = result.Lowest.front();
        EXPECT_NEAR(static_cast<double>(lowest.Energy), static_cast<double>(c.published), 5e-7) << c.atoms;
        EXPECT_LT(result.Hops, options.Hops) << c.atoms << ": the chain ran out before it found the minimum";
        EXPECT_LT(lowest.LargestGradient, options.Polish) << c.atoms;
        // Polished to the tolerance, the energy is that of the minimum to the last digits a double holds.
        EXPECT_NEAR(static_cast<double>(potential.Energy(lowest.X)), static_cast<double>(lowest.Energy),
                    1e-13);
    }
}

TEST(BasinHopping, KeepsTheLowestDistinctMinimaOnceEach) {
    // Energies within 1e-9 of each other (relative) are one minimum; the first found stays, with its hop.
    std::vector<FoundMinimum> kept;
    const struct {
        Extended energy;
        std::int64_t hop;
        bool changes;
    } steps[] = {{-10, 1, true}, {-10.000000005L, 2, false}, {-12, 3, true},          {-11, 4, true},
                 {-9, 5, false}, {-11.5L, 6, true},          {-12.00000002L, 7, true}};
    for (const auto& s : steps) EXPECT_EQ(KeepMinimum(kept, {s.energy, {}, s.hop, 0}, 3), s.changes) << s.hop;
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].Hop, 7);
    EXPECT_EQ(kept[1].Hop, 3);
    EXPECT_EQ(kept[2].Hop, 6);
}

TEST(Search, MergedMinimaAreTheLowestDistinctOnesWithTheirEarliestHop) {
    const std::vector<CellMinimum> found = {{1, 0, {-5, {}, 40, 0}},   {2, 0, {-5.000000001L, {}, 1200, 0}},
                                            {2, 1, {-3, {}, 1100, 0}}, {1, 1, {-4, {}, 7, 0}},
                                            {3, 0, {-5, {}, 2010, 0}}, {3, 1, {-4.0000000001L, {}, 2001, 0}}};
    const std::vector<CellMinimum> merged = MergeMinima(found, 2);
    ASSERT_EQ(merged.size(), 2u);
    // The lowest of the same minimum stands for it, with the first hop any cell found it at.
    EXPECT_EQ(merged[0].Cell, 2);
    EXPECT_EQ(merged[0].Minimum.Hop, 40);
    EXPECT_EQ(merged[1].Cell, 3);
    EXPECT_EQ(merged[1].Minimum.Hop, 7);
}

TEST(Search, CellsShareTheHopsOutAndNumberThemAcrossTheSearch) {
    const struct {
        std::int64_t hops;
        int cells;
        std::int64_t lastCellMoves;
    } cases[] = {{1, 1, 0}, {999, 1, 998}, {1000, 1, 999}, {1001, 2, 0}, {4500, 5, 499}};
    for (const auto& c : cases) {
        SearchSettings settings;
        settings.Hops = c.hops;
        settings.HopsPerCell = 1000;
        ASSERT_EQ(SearchCellCount(settings), c.cells) << c.hops;
        std::int64_t hops = 0;
        for (int cell = 1; cell <= c.cells; ++cell) hops += SearchCellOptions(settings, cell).Hops + 1;
        EXPECT_EQ(hops, c.hops);
        EXPECT_EQ(SearchCellOptions(settings, c.cells).Hops, c.lastCellMoves);
        EXPECT_EQ(SearchHop(settings, c.cells, c.lastCellMoves), c.hops)
            << "the last hop is the search's last";
        EXPECT_NE(SearchCellOptions(settings, 1).Seed, SearchCellOptions(settings, 2).Seed);
    }
}

} // namespace
} // namespace taonscope
