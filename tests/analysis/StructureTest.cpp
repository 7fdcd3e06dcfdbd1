// SPDX-License-Identifier: GPL-3.0-or-later
// The structure analysis through its own entry points: shapes against polyhedra built by the tests'
// Python, bond order against the published values of the crystals, the cutoff the data give, the cheap
// cluster count and the taons it leaves out. Every quantity against scipy: tests/cli/StructureTest.cpp.
#include "analysis/Structure.h"

#include "support/SystemPython.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include "core/Scenarios.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <sstream>

namespace taonscope {
namespace {

World Example(const std::string& name) {
    return test::LoadWorld(std::string(TAONSCOPE_EXAMPLES_DIR) + "/" + name + ".tao");
}

// A world of kind-1 taons at the points, scaled by `scale`.
World WorldOf(const std::vector<Position>& points, Extended scale = 1) {
    World world;
    for (std::size_t n = 1; n <= points.size(); ++n) {
        world.TaonPresent[n] = true;
        world.PosX[n] = scale * points[n - 1][0], world.PosY[n] = scale * points[n - 1][1],
        world.PosZ[n] = scale * points[n - 1][2];
    }
    return world;
}

const std::vector<Position>& ShapePoints(const std::string& name) {
    for (const IdealShape& shape : IdealShapes())
        if (shape.Name == name) return shape.Points;
    throw std::runtime_error("no shape " + name);
}

TEST(Shapes, NamePerfectAndPerturbedPolyhedraBuiltElsewhereAndNothingElse) {
    test::TempDir dir;
    const auto python = test::RunSystemPython(TAONSCOPE_STRUCTURE_ORACLE, {"shapes", "7"}, dir);
    SKIP_WITHOUT_PYTHON_MODULES(python);
    ASSERT_EQ(python->status, 0) << python->err;
    std::istringstream in(python->out);
    std::set<std::string> seen, perfect;
    std::string name;
    std::size_t size = 0, sets = 0;
    while (in >> name >> size) {
        std::vector<Position> points(size);
        for (Position& p : points) in >> p[0] >> p[1] >> p[2];
        for (char& c : name) c = c == '_' ? ' ' : c;
        const ShapeMatch match = MatchShape(points);
        EXPECT_EQ(match.Name, name) << "set " << sets << " of " << size << ", error " << match.Error;
        if (name != "none" && perfect.insert(name).second) {
            EXPECT_LT(match.Error, 1e-12L) << name;
        }
        seen.insert(name);
        ++sets;
    }
    ASSERT_GT(sets, 90u);
    for (const IdealShape& shape : IdealShapes())
        EXPECT_TRUE(seen.count(shape.Name)) << shape.Name << " untested";
    EXPECT_EQ(seen.size(), IdealShapes().size() + 1);
}

TEST(Shapes, OtherSizesHaveNoneAndNearlyFlatIsNotFlat) {
    std::vector<Position> fourteen(14);
    for (std::size_t n = 0; n < fourteen.size(); ++n) fourteen[n] = {Extended(n), Extended(n * n), 0};
    for (const auto& points : {std::vector<Position>{{1, 2, 3}}, fourteen})
        EXPECT_TRUE(std::isnan(MatchShape(points).Error)) << points.size(); // no shape of that size
    // A puckered ring, as taons settle on one, is still a ring; a square pyramid squashed flat is not one.
    std::vector<Position> ring = ShapePoints("dodecagon");
    for (std::size_t n = 0; n < ring.size(); ++n) ring[n][2] = n % 2 ? 0.07L : -0.07L;
    EXPECT_EQ(MatchShape(ring).Name, "dodecagon");
    std::vector<Position> flat = ShapePoints("square pyramid");
    flat.back()[2] = 0.2L;
    EXPECT_EQ(MatchShape(flat).Name, "none");
}

// The neighbours of a centre in the crystals, with the published q4 and q6 (Steinhardt, Nelson and
// Ronchetti 1983; Mickel et al. 2013).
TEST(BondOrder, CrystalNeighbourhoodsGiveThePublishedValues) {
    std::vector<Position> fcc, bcc, sc, centre; // the taxicab lengths 1, 2, 3 and 0
    for (int x = -1; x <= 1; ++x)
        for (int y = -1; y <= 1; ++y)
            for (int z = -1; z <= 1; ++z) {
                const int taxicab = std::abs(x) + std::abs(y) + std::abs(z);
                const Position p = {Extended(x), Extended(y), Extended(z)};
                (taxicab == 0 ? centre : taxicab == 1 ? sc : taxicab == 2 ? fcc : bcc).push_back(p);
            }
    std::vector<Position> hcp = ShapePoints("anticuboctahedron"), ico = ShapePoints("centred icosahedron");
    hcp.erase(hcp.begin()); // the centre
    ico.pop_back();
    const struct {
        const char* name;
        std::vector<Position> bonds;
        long double q4, q6;
    } cases[] = {{"fcc", fcc, 0.19094L, 0.57452L},
                 {"hcp", hcp, 0.09722L, 0.48476L},
                 {"bcc", bcc, 0.50918L, 0.62854L},
                 {"icosahedral", ico, 0, 0.66332L},
                 {"simple cubic", sc, 0.76376L, 0.35355L}};
    for (const auto& c : cases) {
        EXPECT_NEAR(SteinhardtOrder(4, c.bonds), c.q4, 1e-5L) << c.name;
        EXPECT_NEAR(SteinhardtOrder(6, c.bonds), c.q6, 1e-5L) << c.name;
    }
    EXPECT_EQ(SteinhardtOrder(6, {}), 0);
    EXPECT_NEAR(SteinhardtOrder(6, {{0, 0, 2.5L}}), 1, 1e-15L); // one bond: every q_l is 1
}

TEST(Cutoff, TheDataGiveOneBetweenTheFirstTwoShells) {
    std::vector<Position> twoApart = {{0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {1, 0, 0}};
    const struct {
        const char* name;
        World world;
        CutoffSource source;
        long double above, below; // the cutoff lies between the last bonded distance and the next one
    } cases[] = {
        {"01-pair", Example("01-pair"), CutoffSource::NearestNeighbour, 1.2L * 2.708L - 0.01L,
         1.2L * 2.708L + 0.01L},
        {"02-cluster", Example("02-cluster"), CutoffSource::FirstMinimum, 2.7105L, 3.3198L},
        {"04-ring", Example("04-ring"), CutoffSource::FirstMinimum, 2.72L, 4.9L},
        {"09-wheel: three bond lengths", Example("09-wheel"), CutoffSource::FirstMinimum, 2.8895L, 4.884L},
        {"octahedron", WorldOf(ShapePoints("octahedron"), 2.7L), CutoffSource::FirstMinimum, 2.7L,
         2.7L * std::sqrt(2.0L)},
        {"tetrahedron", WorldOf(ShapePoints("tetrahedron"), 3), CutoffSource::NearestNeighbour, 3.6L - 1e-15L,
         3.6L + 1e-15L},
        {"one taon", WorldOf({{1, 2, 3}}), CutoffSource::None, 0, 0},
        {"all in one place", WorldOf({{1, 1, 1}, {1, 1, 1}}), CutoffSource::None, 0, 0},
        {"two places", WorldOf(twoApart), CutoffSource::NearestNeighbour, 1.2L, 1.2L},
    };
    for (const auto& c : cases) {
        const CutoffEstimate cutoff = DefaultCutoff(c.world);
        EXPECT_EQ(cutoff.Source, c.source) << c.name;
        EXPECT_GE(cutoff.Value, c.above) << c.name;
        EXPECT_LE(cutoff.Value, c.below) << c.name;
    }
}

// A distance on a bin's edge belongs to the bin that starts there: d_nn itself starts bin 40.
TEST(Cutoff, ADistanceOnABinsEdgeLandsInTheBinThatStartsThere) {
    Random random(5);
    for (int n = 0; n < 2000; ++n) {
        const Extended reach = random.Uniform(0.5L, 8) * std::exp2(Extended(n % 7 - 3));
        for (const auto& [edge, bin] :
             std::vector<std::pair<Extended, std::size_t>>{{reach, 40}, {reach / 2, 20}, {2 * reach, 80}}) {
            ASSERT_EQ(CutoffBin(edge, reach), bin) << static_cast<double>(reach);
            ASSERT_EQ(CutoffBin(std::nextafter(edge, Extended(0)), reach), bin - 1)
                << static_cast<double>(reach);
        }
    }
    EXPECT_EQ(CutoffBin(0, 2), 0u);
    EXPECT_EQ(CutoffBin(-1, 2), std::nullopt);
    EXPECT_EQ(CutoffBin(std::nanl(""), 2), std::nullopt);
}

// Bonded means closer than the cutoff, and every count of bonds and clusters measures it alike: a pair
// at the cutoff itself is not bonded, nor one whose squared distance the squared cutoff would exceed.
TEST(Bonds, APairAtTheCutoffIsNotBondedInAnyCount) {
    World at = WorldOf({{0, 0, 0}, {3, 4, 0}});
    // A pair whose distance d, squared, rounds above the sum of its squared differences.
    World rounded = WorldOf({{0, 0, 0}, {0, 0, 0}});
    Random random(9);
    for (Extended d = 0;;) {
        rounded.PosX[2] = random.Uniform(1, 4), rounded.PosY[2] = random.Uniform(1, 4);
        d = PairDistance(rounded, 1, 2);
        if (d * d > rounded.PosY[2] * rounded.PosY[2] + rounded.PosX[2] * rounded.PosX[2]) break;
    }
    for (const World& w : {at, rounded}) {
        const Extended d = PairDistance(w, 1, 2);
        for (const auto& [cutoff, bonded] :
             std::vector<std::pair<Extended, bool>>{{d, false}, {std::nextafter(d, Extended(10)), true}}) {
            const int expected = bonded ? 2 : 1;
            EXPECT_EQ(AnalyzeStructure(w, {cutoff, {}}).Counts.Largest, expected) << static_cast<double>(d);
            EXPECT_EQ(CountClusters(w, {cutoff, {}}).Largest, expected) << static_cast<double>(d);
            EXPECT_EQ(FindNeighbours(w, cutoff).Bonds.size(), bonded ? 1u : 0u);
        }
    }
}

TEST(Cutoff, TheLawOffersTheReachOfEachShell) {
    World world = Example("03-three-kinds");
    world.D3 = 0;
    const std::vector<CutoffChoice> choices = CutoffChoices(world);
    ASSERT_EQ(choices.size(), 14u); // D3 has no shell
    EXPECT_EQ(choices[0].Label.substr(0, 11), "B1 = 2.718:");
    EXPECT_EQ(choices[9].Radius, 27); // G2
    // B's reach bonds the pair that sits in it and the cluster's first shell, not its second.
    const Extended reach = choices[0].Cutoff;
    EXPECT_EQ(AnalyzeStructure(Example("01-pair"), {reach, {}}).Counts.Largest, 2);
    EXPECT_EQ(AnalyzeStructure(Example("02-cluster"), {reach, {}}).Bonds.Bonds.size(), 10u);
}

TEST(Structure, LeavesOutAbsentTaonsAndPositionsThatAreNotFinite) {
    World world = WorldOf(ShapePoints("tetrahedron"), 2.7L);
    world.TaonPresent[5] = true; // far away, then one at infinity and one absent beside taon 1
    world.PosX[5] = 100;
    world.TaonPresent[6] = true;
    world.PosY[6] = std::numeric_limits<Extended>::infinity();
    world.TaonCount = 60; // slots 41..60 are kind 3 now, and slots beyond 60 are not looked at
    world.PosX[11] = world.PosX[1] + 1;
    for (const int slot : {45, 70}) {
        world.TaonPresent[slot] = true;
        world.PosX[slot] = world.PosX[1] + 1.5L, world.PosY[slot] = world.PosY[1],
        world.PosZ[slot] = world.PosZ[1];
    }
    const Structure s = AnalyzeStructure(world);
    EXPECT_EQ(s.Bonds.Slots, (std::vector<int>{1, 2, 3, 4, 5, 45}));
    ASSERT_EQ(s.Clusters.size(), 2u);
    EXPECT_EQ(s.Clusters[0].Slots, (std::vector<int>{1, 2, 3, 4, 45}));
    EXPECT_EQ(s.Clusters[0].Kinds, (std::array<int, 3>{4, 0, 1}));
    EXPECT_EQ(s.Clusters[1].Slots, (std::vector<int>{5}));
    EXPECT_EQ(s.ClusterOf[6], -1);
    EXPECT_EQ(s.Coordination.Histogram[3], (std::vector<std::int64_t>{0, 1, 0, 0, 0}));
    EXPECT_FALSE(s.Order.Defined[5]);
    for (std::size_t n = 0; n < s.Clusters.size(); ++n)
        for (const int i : s.Clusters[n].Slots) EXPECT_EQ(s.ClusterOf[static_cast<std::size_t>(i)], int(n));
    // The cheap count for a run's log leaves out the same taons, and counts as the full analysis.
    for (const World& w : {world, World{}, Example("05-cloud")}) {
        const ClusterCount quick = CountClusters(w, StructureOptions{}), full = AnalyzeStructure(w).Counts;
        EXPECT_TRUE(quick.Clusters == full.Clusters && quick.Largest == full.Largest &&
                    quick.Isolated == full.Isolated)
            << quick.Clusters << " " << quick.Largest << " " << quick.Isolated;
    }

    const Structure none = AnalyzeStructure(World{});
    EXPECT_TRUE(none.Coordination.Histogram[0].empty());
    EXPECT_TRUE(std::isnan(none.Order.MeanQ6));
    EXPECT_EQ(none.Rdf.G[6], std::vector<Extended>(300, 0)); // the stated grid, without pairs
    StructureOptions noGrid;
    noGrid.Grid.Width = 0;
    EXPECT_TRUE(AnalyzeStructure(world, noGrid).Rdf.R.empty());
}

} // namespace
} // namespace taonscope
