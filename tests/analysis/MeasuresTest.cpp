// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/Measures.h"
#include "analysis/Histogram.h"
#include "analysis/PairFunction.h"
#include "analysis/SampleSeries.h"

#include "core/FpTrap.h"
#include "core/Scenarios.h"
#include "core/Step.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace taonscope {
namespace {

void Place(World& w, int slot, Extended x, Extended y, Extended z, Extended vx = 0, Extended vy = 0,
           Extended vz = 0) {
    w.TaonPresent[slot] = true;
    w.PosX[slot] = x, w.PosY[slot] = y, w.PosZ[slot] = z;
    w.VelX[slot] = vx, w.VelY[slot] = vy, w.VelZ[slot] = vz;
}

World WithSets(const ParameterSet& one, const ParameterSet& two, const ParameterSet& three) {
    World w;
    SetParameterSet(w, 1, one);
    SetParameterSet(w, 2, two);
    SetParameterSet(w, 3, three);
    return w;
}

const ParameterSet Other = {0.5L, 3.1L, 6.2L, 11.0L, 17.0L, 26.0L};

TEST(Measures, KineticEnergyMomentumAndCentreOfAHandMadeConfiguration) {
    World w = WithSets(FigureParameters(), FigureParameters(), FigureParameters());
    Place(w, 1, 1, 2, 3, 1, 2, 2);    // speed 3
    Place(w, 60, -1, 0, 3, -4, 0, 0); // speed 4
    Place(w, 99, 3, 1, 0, 0, 0, 0.5L);
    Place(w, 7, 100, 100, 100, 50, 50, 50);
    w.TaonPresent[7] = false; // an absent slot counts for nothing
    EXPECT_EQ(KineticEnergy(w).Value, (9 + 16 + 0.25L) / 2);
    EXPECT_EQ(LargestSpeed(w).Value, 4);
    const VectorQuantity p = TotalMomentum(w);
    EXPECT_EQ(p.X, -3);
    EXPECT_EQ(p.Y, 2);
    EXPECT_EQ(p.Z, 2.5L);
    EXPECT_NEAR(MomentumLength(w).Value, std::sqrt(9 + 4 + 6.25L), 1e-18L);
    const VectorQuantity centre = CentreOfMass(w);
    EXPECT_EQ(centre.X, 1);
    EXPECT_EQ(centre.Y, 1);
    EXPECT_EQ(centre.Z, 2);
    EXPECT_FALSE(CentreOfMass(World{}).Valid());
}

TEST(Measures, PairEnergyOfTwoTaonsUsesThePartnersSet) {
    // Two kind-1 taons 2.7 apart: U = A1 Phi1(2.7), counted once.
    World same = WithSets(FigureParameters(), Other, Other);
    Place(same, 1, 0, 0, 0);
    Place(same, 2, 1.2L, 2.4L, -0.3L); // |(1.2, 2.4, -0.3)| = 2.7
    const Extended d = std::sqrt(1.44L + 5.76L + 0.09L);
    EXPECT_NEAR(PairEnergy(same).Value, PairFunction(FigureParameters(), d), 1e-17L);
    EXPECT_LT(PairEnergy(same).Value, -1); // near the B shell the pair is bound

    // A kind-1 and a kind-3 taon: each feels the other's set, U is half the sum of the two terms.
    const ParameterSet third = {1.5L, 2.2L, 4.4L, 8.8L, 14.0L, 24.0L};
    World mixed = WithSets(FigureParameters(), Other, third);
    Place(mixed, 1, 0, 0, 0);
    Place(mixed, 100, 0, 0, 2.2L);
    const Extended expected =
        (1.5L * PairFunction(third, 2.2L) + 1 * PairFunction(FigureParameters(), 2.2L)) / 2;
    EXPECT_NEAR(PairEnergy(mixed).Value, expected, 1e-17L);
    EXPECT_NE(PairEnergy(mixed).Value, 1.5L * PairFunction(third, 2.2L));
}

// The quick sum over pairs agrees with the pair function summed term by term, with three sets.
TEST(Measures, PairEnergyOfACloudIsTheSumOfThePairFunctions) {
    World w = CloudWorld(3, false, 12, 1.0L); // dense: every shell, the core's edge and the well take part
    Extended expected = 0;
    for (int i = 1; i <= MaxTaons; ++i)
        for (int j = 1; j <= MaxTaons; ++j) {
            if (i == j) continue;
            const Extended d =
                std::hypot(w.PosX[i] - w.PosX[j], w.PosY[i] - w.PosY[j], w.PosZ[i] - w.PosZ[j]);
            const ParameterSet set = GetParameterSet(w, TaonKind(w, j));
            expected += set.A * PairFunction(set, d) / 2;
        }
    const Quantity u = PairEnergy(w);
    ASSERT_TRUE(u.Valid()) << u.Reason;
    EXPECT_NEAR(u.Value, expected, 1e-15L * std::fabs(expected));
}

TEST(Measures, FaultsAndOddValuesAreReportedNotThrown) {
    World w = EasySquareWorld();
    w.PosX[2] = w.PosX[1], w.PosY[2] = w.PosY[1], w.PosZ[2] = w.PosZ[1]; // two taons in one place
    const Quantity u = PairEnergy(w);
    EXPECT_FALSE(u.Valid());
    EXPECT_EQ(u.Reason, "Floating point division by zero");
    EXPECT_EQ(QuantityText(u), "n/a");

    World odd = EasySquareWorld();
    odd.VelX[3] = std::numeric_limits<Extended>::quiet_NaN();
    const Sample sample = TakeSample(odd, 0, 0);
    EXPECT_EQ(sample.Kinetic.Reason, NotFiniteReason);
    EXPECT_EQ(sample.LargestSpeed.Reason, NotFiniteReason);
    EXPECT_EQ(sample.TotalEnergy.Reason, NotFiniteReason);
    EXPECT_TRUE(sample.PairEnergy.Valid());

    odd.VelX[3] = 1e3000L;
    EXPECT_EQ(KineticEnergy(odd).Reason, "Floating point overflow");
    ClearFpFlags();
}

TEST(Measures, EnergyIsConservedOnlyWithEqualSets) {
    World w = CloudWorld(1, true);
    EXPECT_TRUE(EnergyConserved(w));
    EXPECT_EQ(ConservationText(w), "E is conserved: all sets equal");
    w.G3 = 30.5L;
    EXPECT_FALSE(EnergyConserved(w));
    EXPECT_EQ(ConservationText(w), "E is not conserved: the sets differ");
}

// Runs 10,000 steps at dt, sampling every 100; returns the largest relative change of E and the series.
Extended RunAndSample(World w, Extended dt, SampleSeries& series) {
    w.dt = dt;
    FastLaw law(1);
    Sampler sampler(100);
    const Sample start = TakeSample(w, 0, 0);
    series.Add(start);
    Extended largest = 0;
    for (int n = 0; n < 10000; ++n) {
        AdvanceStep(w, CoolFactor(false), law);
        if (!sampler.Step(dt)) continue;
        const Sample s = TakeSample(w, sampler.Steps(), sampler.Time());
        EXPECT_TRUE(s.TotalEnergy.Valid());
        series.Add(s);
        largest = std::max(
            largest, std::fabs((s.TotalEnergy.Value - start.TotalEnergy.Value) / start.TotalEnergy.Value));
    }
    return largest;
}

TEST(Energy, IsConservedAtASmallStepAndDriftsAtALargeOne) {
    // The easy square sits between the core and the first shell: it stays put and E does not change.
    SampleSeries square;
    EXPECT_LT(RunAndSample(EasySquareWorld(), 0.001L, square), 1e-15L);

    // The ring swings through its shells (K grows from 0 to about 5): E holds to 1E-3 of itself at
    // dt 0.001, with no warning, and drifts by more than 1E-3 per 1000 steps at dt 0.05.
    SampleSeries fine;
    EXPECT_LT(RunAndSample(RingWorld(), 0.001L, fine), 1e-3L);
    EXPECT_GT(fine.Samples().back().Kinetic.Value, 1);
    EXPECT_FALSE(DriftTooLarge(fine.Drift()));
    SampleSeries coarse;
    EXPECT_GT(RunAndSample(RingWorld(), 0.05L, coarse), 0.05L);
    EXPECT_TRUE(DriftTooLarge(coarse.Drift())) << coarse.Drift().Value;
}

TEST(Histogram, CountsEveryPresentPairOnceUnderItsKinds) {
    World w = CloudWorld();
    w.TaonPresent[10] = w.TaonPresent[55] = w.TaonPresent[90] = false; // 97 left: 50-1, 30-1, 20-1
    const std::array<Histogram, 6> h = PairHistograms(w);
    const std::int64_t expected[6] = {49 * 48 / 2, 49 * 29, 49 * 19, 29 * 28 / 2, 29 * 19, 19 * 18 / 2};
    std::int64_t total = 0;
    for (std::size_t n = 0; n < 6; ++n) {
        EXPECT_EQ(h[n].Total(), expected[n]) << KindPairName(n);
        EXPECT_EQ(h[n].Edges.size(), h[n].Counts.size() + 1);
        EXPECT_TRUE(std::is_sorted(h[n].Edges.begin(), h[n].Edges.end()));
        total += h[n].Total();
    }
    EXPECT_EQ(total, 97 * 96 / 2);
    EXPECT_EQ(KindPairName(4), "2-3");
    EXPECT_EQ(KindPairIndex(3, 1), 2u);
}

TEST(Histogram, BinsFollowTheData) {
    World w = WithSets(FigureParameters(), FigureParameters(), FigureParameters());
    Place(w, 1, 0, 0, 0);
    Place(w, 2, 1, 0, 0);
    Place(w, 3, 3, 0, 0); // distances 1, 2, 3: two bins from 1 to 3
    Place(w, 4, 3, 0, 0);
    w.TaonPresent[4] = false;
    const Histogram h = PairHistograms(w)[0];
    ASSERT_EQ(h.Counts.size(), 2u);
    EXPECT_EQ(h.Edges.front(), 1);
    EXPECT_EQ(h.Edges.back(), 3);
    EXPECT_EQ(h.Counts[0], 1); // 1
    EXPECT_EQ(h.Counts[1], 2); // 2 and 3: the last bin is closed
    EXPECT_TRUE(PairHistograms(w)[1].Counts.empty());

    w.PosY[3] = std::numeric_limits<Extended>::infinity();
    EXPECT_EQ(PairHistograms(w)[0].Reason, NotFiniteReason);
}

TEST(SampleSeries, KeepsTheNewestSamplesAndMeasuresTheDrift) {
    SampleSeries series(3);
    for (int n = 0; n < 5; ++n) {
        Sample s;
        s.Step = 100 * n;
        s.TotalEnergy.Value = 2 + 0.001L * n; // +0.001 per 100 steps: 5E-3 relative per 1000
        series.Add(s);
    }
    ASSERT_EQ(series.Samples().size(), 3u);
    EXPECT_EQ(series.Samples().front().Step, 200);
    EXPECT_NEAR(series.Drift().Value, 0.002L / 2.002L * 1000 / 200, 1e-15L);
    EXPECT_TRUE(DriftTooLarge(series.Drift()));
    EXPECT_FALSE(series.Drift(1).Valid());
    series.Clear();
    EXPECT_TRUE(series.Samples().empty());

    Sampler sampler(3);
    int taken = 0;
    for (int n = 0; n < 10; ++n) taken += sampler.Step(0.5L);
    EXPECT_EQ(taken, 3);
    EXPECT_EQ(sampler.Time(), 5);
}

} // namespace
} // namespace taonscope
