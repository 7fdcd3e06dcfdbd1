// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/FastLaw.h"
#include "core/FpTrap.h"
#include "core/Law.h"
#include "core/Scenarios.h"
#include "core/Step.h"
#include "support/WorldCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace taonscope {
namespace {

using test::SameBits;
using test::SameWorld;

// Each of these runs with the double-double kernel (where this processor has it) and with extended
// arithmetic throughout.
class FastLawIn : public testing::TestWithParam<FastLaw::Arithmetic> {};
INSTANTIATE_TEST_SUITE_P(Arithmetics, FastLawIn,
                         testing::Values(FastLaw::Arithmetic::Vector, FastLaw::Arithmetic::Extended),
                         [](const testing::TestParamInfo<FastLaw::Arithmetic>& info) {
                             return info.param == FastLaw::Arithmetic::Vector ? "Vector" : "Extended";
                         });

// For every present taon and component, the sum of the magnitudes of its pair terms under the reference
// law: each term is the acceleration in a world where only the two taons of the pair are present.
Accelerations PairTermMagnitudes(const World& world) {
    Accelerations sums;
    World pair = world;
    pair.TaonPresent.fill(false);
    for (int i = 1; i <= MaxTaons; ++i) {
        if (!world.TaonPresent[i]) continue;
        pair.TaonPresent[i] = true;
        for (int j = 1; j <= MaxTaons; ++j) {
            if (j == i || !world.TaonPresent[j]) continue;
            pair.TaonPresent[j] = true;
            sums.X[i] += std::fabs(AccelX(pair, i));
            sums.Y[i] += std::fabs(AccelY(pair, i));
            sums.Z[i] += std::fabs(AccelZ(pair, i));
            pair.TaonPresent[j] = false;
        }
        pair.TaonPresent[i] = false;
    }
    return sums;
}

void ExpectCloseToReference(const World& world, FastLaw& law, const char* what) {
    Accelerations fast;
    ASSERT_TRUE(law.ComputeAccelerations(world, fast)) << what;
    const Accelerations bound = PairTermMagnitudes(world);
    for (int i = 1; i <= MaxTaons; ++i) {
        if (!world.TaonPresent[i]) {
            EXPECT_EQ(fast.X[i], 0);
            continue;
        }
        EXPECT_LE(std::fabs(fast.X[i] - AccelX(world, i)), 1e-14L * bound.X[i]) << what << " taon " << i;
        EXPECT_LE(std::fabs(fast.Y[i] - AccelY(world, i)), 1e-14L * bound.Y[i]) << what << " taon " << i;
        EXPECT_LE(std::fabs(fast.Z[i] - AccelZ(world, i)), 1e-14L * bound.Z[i]) << what << " taon " << i;
    }
}

TEST_P(FastLawIn, MatchesTheReferenceOnRandomClouds) {
    FastLaw law(0, GetParam());
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        ExpectCloseToReference(CloudWorld(seed, false), law, "three sets");
        ExpectCloseToReference(CloudWorld(seed + 10, true), law, "figure sets");
    }
    // Dense clouds reach the core and the inner shells.
    World dense = CloudWorld(21, false, 6, 0.2L);
    ExpectCloseToReference(dense, law, "dense");
    // Widely spread clouds reach beyond every shell, where only the well acts.
    ExpectCloseToReference(CloudWorld(22, false, 120, 1), law, "sparse");
}

TEST_P(FastLawIn, MatchesTheReferenceForTheBuiltInStructures) {
    FastLaw law(0, GetParam());
    ExpectCloseToReference(EasySquareWorld(), law, "easy square");
    ExpectCloseToReference(RingWorld(), law, "ring");
    World mixed = CloudWorld(5);
    for (int i = 1; i <= MaxTaons; i += 3) mixed.TaonPresent[i] = false;
    mixed.TaonPresent[51] = mixed.TaonPresent[81] = true;
    SetParameterSet(mixed, 3, GetParameterSet(mixed, 1)); // sets 1 and 3 share their shells, not set 2
    mixed.A3 = -0.75L;
    ExpectCloseToReference(mixed, law, "partly present, shared shells");
}

// Pairs farther apart than the double-double kernel reaches, and shells beyond its range, are computed in
// extended arithmetic in the same step as the others.
TEST_P(FastLawIn, PairsAndShellsBeyondTheKernelsRangeAgree) {
    FastLaw law(2, GetParam());
    World w = CloudWorld(7);
    w.PosX[40] = 3e14L;
    w.PosY[41] = -2e20L, w.PosZ[41] = 5e19L;
    ExpectCloseToReference(w, law, "far taons");
    w.G2 = 5e15L; // k = 1.029 / 5e15, below 1e-14
    ExpectCloseToReference(w, law, "a shell beyond the kernel's range");
}

// Two taons of kind 1 alone, the second at distance d from the first along (ux, uy, uz) (unit length).
World PairWorld(const ParameterSet& set, Extended d, Extended ux, Extended uy, Extended uz) {
    World w = EasySquareWorld();
    w.TaonPresent.fill(false);
    w.TaonPresent[1] = w.TaonPresent[2] = true;
    w.PosX[1] = w.PosY[1] = w.PosZ[1] = 0;
    w.PosX[2] = d * ux, w.PosY[2] = d * uy, w.PosZ[2] = d * uz;
    for (int kind = 1; kind <= 3; ++kind) SetParameterSet(w, kind, set);
    return w;
}

// The pair slope of the reference law (core and well less the five shells) and its largest piece.
Extended ReferenceSlope(const ParameterSet& s, Extended d, Extended* largestPiece = nullptr) {
    Extended slope = CoreWellSlope(d), largest = std::fabs(slope);
    for (Extended p : {s.B, s.C, s.D, s.F, s.G}) {
        const Extended shell = ShellSlope(ShellScale(p), d);
        slope -= shell;
        largest = std::max(largest, std::fabs(shell));
    }
    if (largestPiece) *largestPiece = largest;
    return slope;
}

// Where the well and the outer shells cancel, each component of the fast law stays within 1e-16 of the
// reference law in absolute terms, with pieces (A times each term) of order one.
TEST_P(FastLawIn, AtAnEquilibriumTheCancellingPiecesAgreeAbsolutely) {
    ParameterSet set = FigureParameters();
    set.A = 10;
    Extended low = 21.4L, high = 21.55L; // the slope changes sign between these
    ASSERT_LT(ReferenceSlope(set, low) * ReferenceSlope(set, high), 0);
    for (int n = 0; n < 100; ++n) {
        const Extended middle = (low + high) / 2;
        (ReferenceSlope(set, middle) * ReferenceSlope(set, low) > 0 ? low : high) = middle;
    }
    Extended largestPiece = 0;
    ReferenceSlope(set, low, &largestPiece);
    ASSERT_GT(set.A * largestPiece, 0.3L);
    ASSERT_LT(set.A * largestPiece, 3);

    FastLaw law(2, GetParam());
    const Extended directions[][3] = {{1, 0, 0}, {0.6L, 0, -0.8L}, {2 / 3.0L, -1 / 3.0L, 2 / 3.0L}};
    for (const auto& u : directions) {
        const World w = PairWorld(set, low, u[0], u[1], u[2]);
        Accelerations fast;
        ASSERT_TRUE(law.ComputeAccelerations(w, fast));
        for (int i = 1; i <= 2; ++i) {
            EXPECT_LT(std::fabs(AccelX(w, i)), 1e-6L) << "the pieces should cancel";
            EXPECT_LE(std::fabs(fast.X[i] - AccelX(w, i)), 1e-16L) << i;
            EXPECT_LE(std::fabs(fast.Y[i] - AccelY(w, i)), 1e-16L) << i;
            EXPECT_LE(std::fabs(fast.Z[i] - AccelZ(w, i)), 1e-16L) << i;
        }
    }
}

// Near the zero of a shell's factor (1 - ln w) s3 - ln w s5, here w = 1.025 for the shell 2.9, two
// pieces of about 2.8 leave 0.002: half a unit of rounding in w = k d moves the pair term by 5e-15 of
// itself, so the laws cannot agree to 1e-14 of it. Each stays within 5e-17 of the exact value, computed
// with 300-bit arithmetic from the same 80-bit inputs (both are about 1e-17 from it), which is 5e-18 of
// the pieces.
TEST_P(FastLawIn, NearTheZeroOfAShellFactorBothLawsStayCloseToTheExactValue) {
    World w;
    w.TaonPresent.fill(false);
    w.TaonPresent[89] = w.TaonPresent[90] = true; // both of kind 3
    w.PosX[89] = -1.8125L, w.PosY[89] = -1.9375L, w.PosZ[89] = 1.984375L;
    w.PosX[90] = 0.28125L, w.PosY[90] = -1.765625L, w.PosZ[90] = 0;
    for (int kind = 1; kind <= 3; ++kind) SetParameterSet(w, kind, {-2.0L, 0.3L, 0.7L, 1.1L, 1.9L, 2.9L});
    const Extended exact[3] = {0.001752827249621642245436718L, 0.0001438888040734183932821187L,
                               -0.001661261647029466904257188L};
    FastLaw law(1, GetParam());
    Accelerations fast;
    ASSERT_TRUE(law.ComputeAccelerations(w, fast));
    const Extended fastOn90[3] = {fast.X[90], fast.Y[90], fast.Z[90]};
    const Extended referenceOn90[3] = {AccelX(w, 90), AccelY(w, 90), AccelZ(w, 90)};
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_LE(std::fabs(fastOn90[axis] - exact[axis]), 5e-17L) << axis;
        EXPECT_LE(std::fabs(referenceOn90[axis] - exact[axis]), 5e-17L) << axis;
    }
}

// Terms are left out only against the largest term of their own pair: where every term is minute (two
// taons deep inside the core, the well vanished) the result still agrees with the reference law.
TEST_P(FastLawIn, NegligibleTermsAreJudgedAgainstTheirOwnPair) {
    for (const Extended d : {0.3L, 0.35L, 0.4L}) {
        const World w = PairWorld(FigureParameters(), d, 0.6L, 0.8L, 0);
        Accelerations fast;
        FastLaw law(1, GetParam());
        ASSERT_TRUE(law.ComputeAccelerations(w, fast));
        const Extended reference = AccelX(w, 1);
        ASSERT_NE(reference, 0) << d;
        ASSERT_LT(std::fabs(reference), 1e-60L) << d; // far below any absolute cut-off worth having
        EXPECT_LE(std::fabs(fast.X[1] - reference), 1e-14L * std::fabs(reference)) << d;
        EXPECT_LE(std::fabs(fast.Y[2] - AccelY(w, 2)), 1e-14L * std::fabs(AccelY(w, 2))) << d;
    }
}

TEST(FastLaw, TrajectoriesOfTheEasySquareAgree) {
    FastLaw law;
    World reference = EasySquareWorld(), fast = EasySquareWorld();
    reference.VelX[1] = reference.NextVelX[1] = fast.VelX[1] = fast.NextVelX[1] = 0.3L; // make it move
    reference.dt = fast.dt = 0.01L;
    for (int n = 0; n < 1000; ++n) {
        AdvanceStep(reference, CoolFactor(n % 2 == 0));
        AdvanceStep(fast, CoolFactor(n % 2 == 0), law);
    }
    for (int j = 1; j <= 4; ++j) {
        EXPECT_NEAR(fast.PosX[j], reference.PosX[j], 1e-12L);
        EXPECT_NEAR(fast.PosY[j], reference.PosY[j], 1e-12L);
        EXPECT_NEAR(fast.VelZ[j], reference.VelZ[j], 1e-12L);
    }
    EXPECT_GT(std::fabs(fast.PosX[1] - EasySquareWorld().PosX[1]), 0.01L) << "the square should have moved";
    EXPECT_EQ(fast.StepCounter, 1000);
}

TEST_P(FastLawIn, ResultsDoNotDependOnTheThreadCount) {
    const World world = CloudWorld(9);
    Accelerations one, two, three;
    FastLaw single(1, GetParam()), pair(2, GetParam()), triple(3, GetParam());
    EXPECT_EQ(single.Threads(), 1);
    EXPECT_EQ(triple.Threads(), 3);
    ASSERT_TRUE(single.ComputeAccelerations(world, one));
    ASSERT_TRUE(pair.ComputeAccelerations(world, two));
    ASSERT_TRUE(triple.ComputeAccelerations(world, three));
    for (int i = 1; i <= MaxTaons; ++i) {
        EXPECT_TRUE(SameBits(one.X[i], two.X[i]) && SameBits(one.X[i], three.X[i])) << i;
        EXPECT_TRUE(SameBits(one.Z[i], two.Z[i]) && SameBits(one.Z[i], three.Z[i])) << i;
    }
}

// Whole trajectories, not only one evaluation: the threads hand over between steps and between the
// pair and sum passes of every step.
TEST_P(FastLawIn, TrajectoriesAreBitIdenticalForOneTwoAndThreeThreads) {
    for (const World& start : {CloudWorld(3), CloudWorld(23, true, 8, 0.4L)}) {
        FastLaw single(1, GetParam()), pair(2, GetParam()), triple(3, GetParam());
        World one = start, two = start, three = start;
        for (int n = 0; n < 25; ++n) {
            AdvanceStep(one, CoolFactor(n % 3 == 0), single);
            AdvanceStep(two, CoolFactor(n % 3 == 0), pair);
            AdvanceStep(three, CoolFactor(n % 3 == 0), triple);
        }
        EXPECT_TRUE(SameWorld(one, two));
        EXPECT_TRUE(SameWorld(one, three));
        EXPECT_FALSE(SameWorld(one, start)) << "the cloud should have moved";
    }
}

// Runs one step with each law on copies of world; both must fault alike (or not at all) and a fault must
// leave the world as it was.
void ExpectSameOutcome(const World& world, FastLaw::Arithmetic arithmetic, const char* what) {
    FastLaw law(2, arithmetic);
    World reference = world, fast = world;
    std::string referenceFault, fastFault;
    try {
        AdvanceStep(reference, CoolFactor(false));
    } catch (const FloatingPointError& error) {
        referenceFault = error.what();
        EXPECT_TRUE(SameWorld(reference, world)) << what;
    }
    try {
        AdvanceStep(fast, CoolFactor(false), law);
    } catch (const FloatingPointError& error) {
        fastFault = error.what();
        EXPECT_TRUE(SameWorld(fast, world)) << what;
    }
    EXPECT_EQ(fastFault, referenceFault) << what;
}

TEST_P(FastLawIn, FaultsAreTheReferenceLawsFaults) {
    const World base = CloudWorld(4);
    World w = base;
    w.PosX[70] = w.PosX[20], w.PosY[70] = w.PosY[20], w.PosZ[70] = w.PosZ[20];
    ExpectSameOutcome(w, GetParam(), "coincident taons");
    w = base;
    w.F3 = 0;
    ExpectSameOutcome(w, GetParam(), "zero shell parameter");
    w = base;
    w.D2 = -3;
    ExpectSameOutcome(w, GetParam(), "negative shell parameter of a used set");
    w = base;
    w.PosX[5] = 1e250L;
    ExpectSameOutcome(w, GetParam(), "overflow at an extreme distance");
    w = base;
    w.PosY[9] = std::numeric_limits<Extended>::quiet_NaN();
    ExpectSameOutcome(w, GetParam(), "a position that is not a number");
    w = base;
    w.B1 = std::numeric_limits<Extended>::infinity();
    ExpectSameOutcome(w, GetParam(), "an infinite shell parameter");
    w = base;
    w.VelX[3] = w.NextVelX[3] = std::numeric_limits<Extended>::max();
    w.dt = 3;
    ExpectSameOutcome(w, GetParam(), "an overflowing update");
    w = base;
    w.B1 = -1;                                                                 // first met at taon 1 ...
    w.PosX[99] = w.PosX[98], w.PosY[99] = w.PosY[98], w.PosZ[99] = w.PosZ[98]; // ... before this pair
    ExpectSameOutcome(w, GetParam(), "two faults: the first met is reported");
}

TEST(FastLaw, OutsideItsRangeTheStepIsTheReferenceStep) {
    FastLaw law;
    World w = CloudWorld(6);
    w.G2 = 1e31L; // beyond the fast law's range: the reference law makes the step
    Accelerations ignored;
    EXPECT_FALSE(law.ComputeAccelerations(w, ignored));
    World reference = w, fast = w;
    AdvanceStep(reference, CoolFactor(true));
    AdvanceStep(fast, CoolFactor(true), law);
    EXPECT_TRUE(SameWorld(fast, reference));

    w = CloudWorld(6);
    w.C3 = -2; // negative, but no taon of kind 3 is present: no fault, the reference law decides
    for (int i = 81; i <= MaxTaons; ++i) w.TaonPresent[i] = false;
    reference = w, fast = w;
    AdvanceStep(reference, CoolFactor(false));
    AdvanceStep(fast, CoolFactor(false), law);
    EXPECT_TRUE(SameWorld(fast, reference));
}

TEST(FastLaw, AnEmptyWorldOnlyCountsTheStep) {
    FastLaw law;
    World w;
    w.G1 = 0; // would fault if any taon asked for its acceleration
    World before = w;
    AdvanceStep(w, CoolFactor(true), law);
    before.StepCounter = 1;
    EXPECT_TRUE(SameWorld(w, before));
}

} // namespace
} // namespace taonscope
