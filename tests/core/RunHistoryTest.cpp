// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RunHistory.h"
#include "core/Scenarios.h"
#include "core/Step.h"
#include "support/WorldCompare.h"

#include <gtest/gtest.h>

#include <vector>

namespace taonscope {
namespace {

using test::SameWorld;

World SmallCloud() {
    CloudOptions options;
    options.Kinds = {6, 4, 3};
    World world = CloudWorld(options);
    world.TaonPresent[3] = false; // an absent slot among the present ones
    world.Stopped = true;
    return world;
}

// Runs `steps` steps as the window does, telling history, and keeps every state for comparison.
void RunSteps(World& world, Extended cool, int steps, RunHistory& history, FastLaw& law,
              std::vector<World>& states) {
    for (int s = 0; s < steps; ++s) {
        history.BeforeStep(world, cool);
        if (states.empty() || !SameWorld(states.back(), world)) states.push_back(world);
        AdvanceStep(world, cool, law);
        history.StepDone(world);
        states.push_back(world);
    }
}

// Three runs on one document: plain; Cool ticked after an edit of A2 mid-way (a state of its own); and,
// after a Stop that changed nothing, the same law again. Every state comes back bit for bit.
TEST(RunHistory, EveryStateOfTheRunsComesBackBitForBit) {
    FastLaw law(1);
    RunHistory history;
    World world = SmallCloud();
    std::vector<World> states;
    RunSteps(world, CoolFactor(false), 250, history, law, states);
    world.A2 *= 0.5L;
    RunSteps(world, CoolFactor(true), 130, history, law, states);
    RunSteps(world, CoolFactor(true), 30, history, law, states);
    for (World& state : states) state.Stopped = true;

    ASSERT_EQ(history.States(), states.size());
    ASSERT_EQ(states.size(), 251u + 161u);
    for (std::size_t n = 0; n < states.size(); ++n) {
        ASSERT_TRUE(SameWorld(history.StateAt(n, law), states[n])) << "state " << n;
        ASSERT_EQ(history.StepOf(n), states[n].StepCounter) << "state " << n;
    }
    EXPECT_EQ(history.CoolOf(250), CoolFactor(false));
    EXPECT_EQ(history.CoolOf(251), CoolFactor(true));
}

TEST(RunHistory, AHistoryBeyondItsBudgetForgetsItsOldestSteps) {
    FastLaw law(1);
    RunHistory unlimited;
    World world = SmallCloud();
    std::vector<World> states;
    RunSteps(world, 1, 1000, unlimited, law, states);
    RunHistory oneStep;
    world = SmallCloud();
    RunSteps(world, 1, 1, oneStep, law, states);
    // Room for about half of the keyframes.
    const std::size_t budget = oneStep.Bytes() + (unlimited.Bytes() - oneStep.Bytes()) / 2;

    RunHistory history(budget);
    world = SmallCloud();
    states.clear();
    RunSteps(world, 1, 1000, history, law, states);
    EXPECT_LE(history.Bytes(), budget);
    ASSERT_LT(history.States(), 1001u);
    ASSERT_GT(history.States(), 400u);
    const std::size_t forgotten = 1001 - history.States();
    EXPECT_EQ(forgotten % RunHistory::KeyframeSteps, 0u);
    for (std::size_t n : {std::size_t{0}, std::size_t{1}, history.States() - 1}) {
        World expected = states[forgotten + n];
        expected.Stopped = true;
        EXPECT_TRUE(SameWorld(history.StateAt(n, law), expected)) << "state " << n;
    }
    history.Clear();
    EXPECT_EQ(history.States(), 0u);
}

} // namespace
} // namespace taonscope
