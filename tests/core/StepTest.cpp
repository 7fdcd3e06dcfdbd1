// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Step.h"
#include "core/FpTrap.h"
#include "core/Law.h"
#include "core/Scenarios.h"
#include "support/WorldCompare.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace taonscope {
namespace {

using test::SameWorld;

World MovingCloud() {
    World world = CloudWorld(5);
    world.TaonPresent[17] = false; // an absent slot among the present ones
    world.PosX[17] = 123;
    world.VelY[17] = 4;
    SyncCopiesFromCurrent(world);
    return world;
}

TEST(Step, ZeroTimeStepChangesOnlyTheCounterUnlessCooled) {
    World world = MovingCloud();
    world.dt = 0;
    World before = world;
    AdvanceStep(world, CoolFactor(false));
    before.StepCounter = 1;
    EXPECT_TRUE(SameWorld(world, before));

    AdvanceStep(world, CoolFactor(true));
    for (int i : {1, 50, 100}) {
        EXPECT_EQ(world.VelX[i], 0.99L * before.VelX[i]);
        EXPECT_EQ(world.PosX[i], before.PosX[i]);
    }
    EXPECT_EQ(world.StepCounter, 2);
}

TEST(Step, CoolingWithoutForcesShrinksVelocitiesAndMovesByTheNewVelocity) {
    World world = MovingCloud();
    world.A1 = world.A2 = world.A3 = 0;
    world.dt = 0.5L;
    const World before = world;
    AdvanceStep(world, CoolFactor(true));
    for (int i : {1, 51, 81}) {
        const Extended v = 0.99L * before.VelZ[i];
        EXPECT_EQ(world.VelZ[i], v);
        EXPECT_EQ(world.PosZ[i], before.PosZ[i] + v * 0.5L);
    }
}

TEST(Step, ALoneTaonDriftsByItsVelocity) {
    World world = EasySquareWorld();
    for (int j = 2; j <= 4; ++j) world.TaonPresent[j] = false;
    world.VelX[1] = world.NextVelX[1] = 1;
    world.dt = 0.01L;
    const Extended start = world.PosX[1];
    for (int n = 1; n <= 3; ++n) {
        AdvanceStep(world, CoolFactor(false));
        EXPECT_NEAR(world.PosX[1], start + n * 0.01L, 1e-17L);
    }
    EXPECT_EQ(world.StepCounter, 3);
}

TEST(Step, CopiesAgreeAfterEveryStepAndAbsentSlotsKeepTheirValues) {
    World world = MovingCloud();
    for (int n = 0; n < 3; ++n) AdvanceStep(world, CoolFactor(n == 1));
    for (int i = 1; i <= MaxTaons; ++i) {
        if (!world.TaonPresent[i]) continue;
        EXPECT_EQ(world.PosX[i], world.NextPosX[i]);
        EXPECT_EQ(world.ScenePosY[i], world.NextPosY[i]);
        EXPECT_EQ(world.VelZ[i], world.NextVelZ[i]);
    }
    EXPECT_EQ(world.PosX[17], 123);
    EXPECT_EQ(world.VelY[17], 4);
    EXPECT_EQ(world.StepCounter, 3);
}

TEST(Step, EveryTaonFeelsTheSameConfiguration) {
    // The accelerations of a step come from the positions before it, whatever the slot order.
    World world = MovingCloud();
    const World before = world;
    AdvanceStep(world, CoolFactor(false));
    for (int i : {1, 2, 99}) {
        const Extended a = AccelY(before, i) * before.dt;
        const Extended v = before.NextVelY[i] + a;
        EXPECT_EQ(world.VelY[i], v);
        EXPECT_EQ(world.PosY[i], before.NextPosY[i] + v * before.dt);
    }
}

TEST(Step, AFaultingStepChangesNothing) {
    World world = MovingCloud();
    world.PosX[60] = world.PosX[3]; // slot 3 moves first, then 60 meets its twin
    world.PosY[60] = world.PosY[3];
    world.PosZ[60] = world.PosZ[3];
    const World before = world;
    try {
        AdvanceStep(world, CoolFactor(true));
        FAIL() << "the step should fault";
    } catch (const FloatingPointError& error) {
        EXPECT_STREQ(error.what(), "Floating point division by zero");
    }
    EXPECT_TRUE(SameWorld(world, before));
    EXPECT_EQ(PendingFpFault(), FpFault::None);
}

TEST(Step, FaultsOfTheUpdateItselfAreReportedToo) {
    World world = EasySquareWorld();
    world.VelX[2] = world.NextVelX[2] = std::numeric_limits<Extended>::max();
    world.dt = 4; // the new position overflows
    const World before = world;
    EXPECT_THROW(AdvanceStep(world, CoolFactor(false)), FloatingPointError);
    EXPECT_TRUE(SameWorld(world, before));
}

TEST(Step, EasySquareStaysPut) {
    World world = EasySquareWorld();
    for (int n = 0; n < 200; ++n) AdvanceStep(world, CoolFactor(false));
    for (int j = 1; j <= 4; ++j) {
        EXPECT_NEAR(world.PosX[j], EasySquareWorld().PosX[j], 1e-12L);
        EXPECT_NEAR(world.PosY[j], 0.212L, 1e-12L);
    }
}

} // namespace
} // namespace taonscope

namespace taonscope {
namespace {

// A step from another source of accelerations (a kernel kept for comparison) follows the same rules as
// the fast law's: a source that declines hands the step to the reference law, and one that answers
// moves every present taon by its accelerations.
TEST(Step, AnotherSourceOfAccelerationsStepsLikeTheFastLaw) {
    const World start = CloudWorld(7);
    World declined = start, reference = start;
    AdvanceStep(declined, CoolFactor(true), [](const World&, Accelerations&) { return false; });
    AdvanceStep(reference, CoolFactor(true));
    EXPECT_TRUE(SameWorld(declined, reference));

    FastLaw law(1);
    World viaSource = start, viaLaw = start;
    int calls = 0;
    AdvanceStep(viaSource, CoolFactor(false), [&](const World& w, Accelerations& out) {
        ++calls;
        return law.ComputeAccelerations(w, out);
    });
    AdvanceStep(viaLaw, CoolFactor(false), law);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(SameWorld(viaSource, viaLaw));
    EXPECT_FALSE(SameWorld(viaSource, start));
}

} // namespace
} // namespace taonscope
