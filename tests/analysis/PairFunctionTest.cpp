// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PairFunction.h"

#include "core/FpTrap.h"
#include "core/Law.h"
#include "core/Scenarios.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace taonscope {
namespace {

// The pair function written independently, straight from its definition, with the C library's powl.
long double IndependentPhi(const ParameterSet& set, long double d) {
    const long double u = 4.725L * d, v = 0.09L * d;
    long double phi = std::pow(u, -std::pow(u, 19.0L)) - 1.25e-12L * std::pow(v, 75.0L / v);
    for (const long double p : {set.B, set.C, set.D, set.F, set.G}) {
        const long double w = 1.029L / p * d;
        phi -= std::pow(w, (2.5L - std::pow(w, 20.0L)) / (0.1L * w));
    }
    return phi;
}

// The largest value of shell(k d) on a fine grid around w = 1.
long double ShellPeak(long double k) {
    long double peak = 0;
    for (int n = 0; n <= 20000; ++n) peak = std::max(peak, ShellFunction(k, (0.9L + 0.2L * n / 20000) / k));
    return peak;
}

TEST(PairFunction, MeetsTheLandmarksOfItsShape) {
    EXPECT_EQ(CoreFunction(1 / 4.725L), 1);    // u = 1
    EXPECT_NEAR(CoreFunction(0.1L), 1, 1e-6L); // about 1 well inside
    EXPECT_EQ(CoreFunction(0.5L), 0);          // underflows to 0 just beyond
    EXPECT_NEAR(WellFunction(std::numbers::e_v<long double> / 0.09L), 1.2L, 0.01L); // v = e
    for (const long double p : {0.7L, 2.718L, 5.0L, 30.0L}) {
        const long double k = ShellScale(p);
        EXPECT_NEAR(ShellFunction(k, 1 / k), 1, 1e-15L) << p;
        EXPECT_NEAR(ShellPeak(k), 1.2307L, 5e-4L) << p;
        EXPECT_LT(ShellFunction(k, 0.5L * p), 1e-6L) << p; // vanishes on both sides
        EXPECT_LT(ShellFunction(k, 1.5L * p), 1e-6L) << p;
    }
}

TEST(PairFunction, AgreesWithAnIndependentTranscription) {
    const ParameterSet sets[] = {FigureParameters(), {0.5L, 3.1L, 6.2L, 11.0L, 17.0L, 26.0L}};
    for (const ParameterSet& set : sets)
        for (const long double d : {0.05L, 0.2L, 0.9L, 2.7L, 3.05L, 9.9L, 19.9L, 30.2L, 40.0L})
            EXPECT_NEAR(PairFunction(set, d), IndependentPhi(set, d), 1e-15L) << d;
}

// The law's closed-form slope is the derivative of this Phi: a central difference agrees with it.
TEST(PairFunction, TheLawsSlopeIsItsDerivative) {
    const ParameterSet set = FigureParameters();
    for (const long double d : {0.2L, 0.22L, 2.6L, 2.75L, 4.9L, 10.2L, 29.0L, 31.0L}) {
        const long double h = 1e-6L * d;
        const long double difference = (PairFunction(set, d + h) - PairFunction(set, d - h)) / (2 * h);
        EXPECT_NEAR(PairSlope(set, d), difference, 1e-6L * std::max(1.0L, std::fabs(difference))) << d;
    }
}

TEST(LawCurve, SamplesPhiAndTheAccelerationOfTheKindsSet) {
    World world = CloudWorld();
    const std::vector<Extended> grid = CurveGrid();
    ASSERT_EQ(grid.size(), 4000u);
    EXPECT_EQ(grid.front(), 0.05L);
    EXPECT_EQ(grid.back(), 40);
    const LawCurve curve = LawCurveOf(world, 2, grid);
    ASSERT_TRUE(curve.Valid()) << curve.Fault;
    const ParameterSet set = GetParameterSet(world, 2);
    EXPECT_EQ(curve.Shells[0], set.B);
    EXPECT_EQ(curve.Shells[4], set.G);
    ASSERT_EQ(curve.Phi.size(), grid.size());
    for (std::size_t n : {0u, 700u, 3999u}) {
        EXPECT_EQ(curve.Phi[n], PairFunction(set, grid[n]));
        EXPECT_EQ(curve.Acceleration[n], set.A * PairSlope(set, grid[n]));
    }
    // Far beyond every shell the core and the shells underflow to 0 without a fault; the well is left.
    const LawCurve far = LawCurveOf(world, 1, {1000});
    ASSERT_TRUE(far.Valid()) << far.Fault;
    EXPECT_EQ(far.Phi[0], -WellFunction(1000));
    EXPECT_EQ(ShellFunction(ShellScale(30), 1000), 0);
}

TEST(LawCurve, AFaultingSetHasNoCurveButTheLawsMessage) {
    World world = CloudWorld();
    world.C2 = 0;
    const LawCurve zero = LawCurveOf(world, 2, CurveGrid());
    EXPECT_FALSE(zero.Valid());
    EXPECT_EQ(zero.Fault, "Floating point division by zero");
    EXPECT_TRUE(zero.Phi.empty());
    EXPECT_TRUE(LawCurveOf(world, 1, CurveGrid()).Valid()); // the other kinds keep their curves

    world.F3 = -4;
    EXPECT_EQ(LawCurveOf(world, 3, CurveGrid()).Fault, "Invalid floating point operation");
    ClearFpFlags();
}

} // namespace
} // namespace taonscope
