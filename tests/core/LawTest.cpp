// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Law.h"
#include "core/FpTrap.h"
#include "core/Scenarios.h"
#include "core/Step.h"

#include <gtest/gtest.h>

#include <cmath>

namespace taonscope {
namespace {

// Two kind-1 taons (slots 1 and 2) on the x axis, taon 1 at the origin and taon 2 at distance d.
World Pair(Extended d, int first = 1, int second = 2) {
    World world;
    SetParameterSet(world, 1, FigureParameters());
    SetParameterSet(world, 2, FigureParameters());
    SetParameterSet(world, 3, FigureParameters());
    world.TaonPresent[first] = world.TaonPresent[second] = true;
    world.PosX[second] = d;
    return world;
}

std::string FaultOf(const World& world, int i) {
    try {
        AccelX(world, i);
    } catch (const FloatingPointError& error) {
        return error.what();
    }
    return "";
}

TEST(Power, IsExpOfExponentTimesLn) {
    EXPECT_NEAR(Power(2, 10), 1024, 1e-15L * 1024);
    EXPECT_NEAR(Power(10, -14), 1e-14L, 1e-29L);
    EXPECT_EQ(Power(1, 1e6L), 1);
}

TEST(Power, ZeroAndNegativeBasesFault) {
    ClearFpFlags();
    Power(0, 2);
    EXPECT_EQ(PendingFpFault(), FpFault::DivisionByZero);
    ClearFpFlags();
    Power(-1, 2);
    EXPECT_EQ(PendingFpFault(), FpFault::InvalidOperation);
    ClearFpFlags();
}

TEST(Law, CoreAndWellSlopeMatchTheCheckValues) {
    EXPECT_NEAR(CoreWellSlope(0.2L), 0.13022L, 5e-6L);
    EXPECT_NEAR(CoreWellSlope(0.25L), -7.6324L, 5e-5L);
    EXPECT_NEAR(CoreWellSlope(25), -0.17294L, 5e-6L);
    EXPECT_NEAR(CoreWellSlope(30), -0.0074990L, 5e-8L);
    // At u = 1 the core slope is exactly -4.725 and the well is far below the last bit.
    EXPECT_NEAR(CoreWellSlope(1 / 4.725L), -4.725L, 1e-15L);
}

TEST(Law, ShellSlopesMatchTheCheckValues) {
    EXPECT_NEAR(ShellSlope(ShellScale(10), 9), 0.50383L, 5e-6L);
    EXPECT_NEAR(ShellSlope(ShellScale(10), 10.2L), -2.3494L, 5e-5L);
    EXPECT_NEAR(ShellSlope(ShellScale(5), 5), -0.72574L, 5e-6L);
}

TEST(Law, SlopesAgreeWithDifferencesOfThePairFunction) {
    // The closed forms are derivatives of core - well and of shell(k d): compare with central differences.
    auto core = [](Extended d) {
        const Extended u = 4.725L * d, v = 0.09L * d;
        return std::pow(u, -std::pow(u, 19)) - 1.25e-12L * std::pow(v, 75 / v);
    };
    auto shell = [](Extended k, Extended d) {
        const Extended w = k * d;
        return std::pow(w, (2.5L - std::pow(w, 20)) / (0.1L * w));
    };
    const Extended h = 1e-6L;
    for (Extended d : {0.19L, 0.21L, 1.0L, 12.0L, 30.2L, 45.0L}) {
        const Extended numeric = (core(d + h) - core(d - h)) / (2 * h);
        EXPECT_NEAR(CoreWellSlope(d), numeric, 1e-6L * (1 + std::fabs(numeric)))
            << "d = " << static_cast<double>(d);
    }
    for (Extended d : {2.0L, 2.7L, 4.0L}) {
        const Extended k = ShellScale(2.718L);
        const Extended numeric = (shell(k, d + h) - shell(k, d - h)) / (2 * h);
        EXPECT_NEAR(ShellSlope(k, d), numeric, 1e-6L * (1 + std::fabs(numeric)))
            << "d = " << static_cast<double>(d);
    }
}

TEST(Law, TwoTaonsAttractAndRepelAroundTheCShell) {
    EXPECT_NEAR(AccelX(Pair(4.9L), 1), -2.502L, 5e-4L);
    EXPECT_NEAR(AccelX(Pair(5.1L), 1), 4.699L, 5e-4L);
    // The force changes sign near 4.98, where the pair settles.
    Extended lo = 4.9L, hi = 5.1L;
    for (int n = 0; n < 40; ++n) {
        const Extended mid = (lo + hi) / 2;
        (AccelX(Pair(mid), 1) < 0 ? lo : hi) = mid;
    }
    EXPECT_NEAR(lo, 4.98L, 0.01L);
    // Same kinds: equal and opposite; only x moves.
    EXPECT_EQ(AccelX(Pair(4.9L), 2), -AccelX(Pair(4.9L), 1));
    EXPECT_EQ(AccelY(Pair(4.9L), 1), 0);
    EXPECT_EQ(AccelZ(Pair(4.9L), 1), 0);
}

TEST(Law, ComponentsFollowTheDirectionOfThePair) {
    World world = Pair(0);
    world.PosY[2] = 3;
    world.PosZ[2] = 4; // distance 5, direction (0, 0.6, 0.8)
    const Extended ay = AccelY(world, 1), az = AccelZ(world, 1);
    EXPECT_NEAR(ay / az, 0.75L, 1e-18L);
    EXPECT_NEAR(std::hypot(ay, az), std::fabs(AccelX(Pair(5), 1)), 1e-15L);
}

TEST(Law, LoneOrUnscaledTaonsFeelNothing) {
    World lone = Pair(4.9L);
    lone.TaonPresent[2] = false;
    EXPECT_EQ(AccelX(lone, 1), 0);

    World unscaled = CloudWorld(3);
    unscaled.A1 = unscaled.A2 = unscaled.A3 = 0;
    for (int i : {1, 60, 99}) {
        EXPECT_EQ(AccelX(unscaled, i), 0);
        EXPECT_EQ(AccelZ(unscaled, i), 0);
    }
}

TEST(Law, ThePartnersKindChoosesTheParameterSet) {
    World world = Pair(4.9L, 10, 90);
    const Extended fromFigureSets = AccelX(world, 10);
    world.A1 = 100; // set 1 belongs to taon 10 itself: no effect on its acceleration
    EXPECT_EQ(AccelX(world, 10), fromFigureSets);
    world.A3 = 2; // set 3 is taon 90's kind
    EXPECT_NEAR(AccelX(world, 10), 2 * fromFigureSets, 1e-15L);
    EXPECT_NEAR(AccelX(world, 90), -100 * fromFigureSets, 1e-13L);
}

TEST(LawFaults, CoincidentTaonsDivideByZero) {
    EXPECT_EQ(FaultOf(Pair(0), 1), "Floating point division by zero");
}

TEST(LawFaults, AZeroShellParameterFaultsEvenWhenNoTaonUsesItsSet) {
    World world = Pair(4.9L);
    world.G3 = 0;
    EXPECT_EQ(FaultOf(world, 1), "Floating point division by zero");
    world.TaonPresent[2] = false; // a lone taon still divides by every shell parameter
    EXPECT_EQ(FaultOf(world, 1), "Floating point division by zero");
}

TEST(LawFaults, ANegativeShellParameterFaultsOnlyWhereItsSetIsUsed) {
    World world = Pair(4.9L);
    world.C3 = -5;
    EXPECT_EQ(FaultOf(world, 1), "");
    world.C1 = -5;
    EXPECT_EQ(FaultOf(world, 1), "Invalid floating point operation");
}

TEST(LawFaults, ExtremeDistancesOverflow) {
    EXPECT_EQ(FaultOf(Pair(1e250L), 1), "Floating point overflow");
    EXPECT_EQ(FaultOf(Pair(1e200L), 1), "");
}

TEST(LawFaults, TheFirstFaultMetIsReported) {
    // Taon 1 meets a negative shell of set 1 (partner 2) before the coincident pair 81, 82.
    World negativeFirst = Pair(4.9L);
    negativeFirst.B1 = -1;
    negativeFirst.TaonPresent[81] = negativeFirst.TaonPresent[82] = true;
    negativeFirst.PosX[81] = negativeFirst.PosX[82] = 20;
    EXPECT_EQ(FaultOf(negativeFirst, 1), "Invalid floating point operation");

    // Reversed: the coincident pair is met first.
    World coincidentFirst = Pair(0);
    coincidentFirst.B3 = -1;
    coincidentFirst.TaonPresent[81] = true;
    coincidentFirst.PosX[81] = 20;
    EXPECT_EQ(FaultOf(coincidentFirst, 1), "Floating point division by zero");
}

TEST(LawFaults, UnderflowIsQuiet) {
    // Far outside every shell and well the powers underflow to zero without a fault.
    World world = Pair(400);
    EXPECT_EQ(FaultOf(world, 1), "");
    EXPECT_TRUE(std::isfinite(AccelX(world, 1)));
}

} // namespace
} // namespace taonscope
