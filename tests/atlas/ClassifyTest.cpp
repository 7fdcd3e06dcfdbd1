// SPDX-License-Identifier: GPL-3.0-or-later
#include "atlas/Classify.h"

#include "analysis/Measures.h"
#include "core/Scenarios.h"

#include <gtest/gtest.h>

#include <cmath>

namespace taonscope {

namespace {

// A regular tetrahedron of edge 2.7 (the figure's bond) with its first taon in slot first, centred at x.
void AddTetrahedron(World& w, int first, Extended x, Extended speed = 0) {
    const Extended h = 2.7L / std::sqrt(8.0L);
    const Extended corners[4][3] = {{h, h, h}, {h, -h, -h}, {-h, h, -h}, {-h, -h, h}};
    for (int c = 0; c < 4; ++c) {
        const int j = first + c;
        w.TaonPresent[j] = true;
        w.PosX[j] = x + corners[c][0], w.PosY[j] = corners[c][1], w.PosZ[j] = corners[c][2];
        w.VelX[j] = c == 0 ? speed : 0;
    }
}

World Figure() {
    World w;
    for (int kind = 1; kind <= 3; ++kind) SetParameterSet(w, kind, FigureParameters());
    return w;
}

// Taons in the slots from first on, in a row `gap` apart.
void AddRow(World& w, int first, int count, Extended gap) {
    for (int j = first; j < first + count; ++j) {
        w.TaonPresent[j] = true;
        w.PosX[j] = (j - first) * gap;
        w.PosY[j] = 40;
    }
}

} // namespace

TEST(Classify, NamesWhatTheTaonsMadeInOrderOfPrecedence) {
    const SweepRules rules; // the law's cutoff, moving from 0.001
    World oneCluster = Figure();
    AddTetrahedron(oneCluster, 1, 0);
    World twoClusters = oneCluster;
    AddTetrahedron(twoClusters, 5, 20);
    World moving = oneCluster;
    moving.VelX[2] = 0.002L;
    World slow = oneCluster;
    slow.VelX[2] = 0.0009L;
    World dispersed = Figure();
    AddRow(dispersed, 1, 10, 12);
    World halfBonded = Figure(); // a tetrahedron and four taons alone: half without a bond is dispersed
    AddTetrahedron(halfBonded, 1, 0);
    AddRow(halfBonded, 5, 4, 15);
    World mostlyBonded = halfBonded;
    mostlyBonded.TaonPresent[8] = false;
    World drifting = dispersed;
    drifting.VelY[3] = 5;

    const struct {
        const char* name;
        const World& world;
        std::optional<std::string> fault;
        Outcome outcome;
        int clusters, largest, isolated, taons;
    } cases[] = {
        {"one tetrahedron", oneCluster, {}, Outcome::OneCluster, 1, 4, 0, 4},
        {"two tetrahedra", twoClusters, {}, Outcome::SeveralClusters, 2, 4, 0, 8},
        {"a tetrahedron moving", moving, {}, Outcome::StillMoving, 1, 4, 0, 4},
        {"a tetrahedron nearly at rest", slow, {}, Outcome::OneCluster, 1, 4, 0, 4},
        {"a row far apart", dispersed, {}, Outcome::Dispersed, 0, 1, 10, 10},
        {"a row far apart, one moving", drifting, {}, Outcome::Dispersed, 0, 1, 10, 10},
        {"half alone", halfBonded, {}, Outcome::Dispersed, 1, 4, 4, 8},
        {"three alone of seven", mostlyBonded, {}, Outcome::OneCluster, 1, 4, 3, 7},
        {"a fault", twoClusters, std::string("Floating point overflow"), Outcome::Faulted, 2, 4, 0, 8},
    };
    for (const auto& c : cases) {
        const Classification result = Classify(c.world, rules, c.fault);
        EXPECT_EQ(OutcomeName(result.Kind), OutcomeName(c.outcome)) << c.name;
        EXPECT_EQ(result.Clusters, c.clusters) << c.name;
        EXPECT_EQ(result.Largest, c.largest) << c.name;
        EXPECT_EQ(result.Isolated, c.isolated) << c.name;
        EXPECT_EQ(result.Taons, c.taons) << c.name;
        EXPECT_EQ(result.Message, c.fault.value_or("")) << c.name;
    }
}

TEST(Classify, GivesTheNumbersBehindTheOutcomeAtTheLawsCutoffOrTheRules) {
    World w = Figure();
    AddTetrahedron(w, 1, 0, 0.3L);
    const Classification c = Classify(w, {}, {});
    EXPECT_EQ(c.Shape, "tetrahedron");
    EXPECT_EQ(c.PairEnergy, PairEnergy(w).Value / 4);
    // The law's cutoff reaches just beyond the first shell of the kinds present.
    EXPECT_EQ(c.Cutoff, LawCutoff(w));
    EXPECT_GT(c.Cutoff, 2.718L);
    EXPECT_LT(c.Cutoff, 3.3L);
    SweepRules rules;
    rules.Cutoff = 2.0L; // shorter than the edges: four taons alone
    const Classification apart = Classify(w, rules, {});
    EXPECT_EQ(apart.Cutoff, 2.0L);
    EXPECT_EQ(apart.Isolated, 4);
    EXPECT_EQ(apart.Shape, "none");
    EXPECT_EQ(apart.Kind, Outcome::Dispersed);

    w.B3 = 6; // no taon of kind 3: its shell does not count
    EXPECT_EQ(LawCutoff(w), c.Cutoff);
    AddTetrahedron(w, 90, 30);
    EXPECT_GT(LawCutoff(w), 6);
    EXPECT_LT(LawCutoff(w), 7);
}

} // namespace taonscope
