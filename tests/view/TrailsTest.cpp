// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Trails.h"
#include "view/Scene.h"

#include "support/MemoryCanvas.h"

#include <gtest/gtest.h>

namespace taonscope {
namespace {

using test::MemoryCanvas;

// Taon 1 (kind 1) at x = frame number; taon 90 (kind 3) present only in frames 0 and 1.
World Frame(int n) {
    World world;
    world.TaonPresent[1] = true;
    world.ScenePosX[1] = n;
    world.TaonPresent[90] = n < 2;
    world.ScenePosZ[90] = 1 + n;
    return world;
}

TEST(Trails, KeepTheLastPositionsUpToTheirLength) {
    TrailHistory trails(3);
    for (int n = 0; n < 5; ++n) trails.Add(Frame(n));
    ASSERT_EQ(trails.Frames(), 3);
    EXPECT_EQ(trails.At(0).x[1], 2.0f);
    EXPECT_EQ(trails.At(2).x[1], 4.0f);
    trails.SetLength(2); // the newest stay
    ASSERT_EQ(trails.Frames(), 2);
    EXPECT_EQ(trails.At(0).x[1], 3.0f);
    trails.Add(Frame(5));
    EXPECT_EQ(trails.At(1).x[1], 5.0f);
    trails.SetLength(10);
    trails.Add(Frame(6));
    EXPECT_EQ(trails.Frames(), 3);
    EXPECT_EQ(trails.At(0).x[1], 4.0f);
    trails.Clear();
    EXPECT_EQ(trails.Frames(), 0);
    EXPECT_EQ(TrailHistory(0).Length(), 2) << "a trail has two ends at least";
}

TEST(Trails, FadeFromTheKindsColourToBlackAndBreakWhereATaonIsAbsent) {
    TrailHistory trails(4);
    for (int n = 0; n < 4; ++n) trails.Add(Frame(n));
    ViewState view;
    view.ViewScale = 20; // 10 pixels a unit
    UpdateSceneCentre(view, 100, 60);
    BuildViewMatrix(view);
    MemoryCanvas canvas(100, 60, Colours::Black);
    World now = Frame(3);
    now.TaonPresent[90] = true; // present now, but only in the first two frames of its trail
    DrawTrails(canvas, view, now, trails);
    // Taon 1's trail runs from x = 50 (oldest) to 80 (newest), each segment brighter than the one before.
    const int oldest = canvas.At(55, 30).g, middle = canvas.At(65, 30).g, newest = canvas.At(75, 30).g;
    EXPECT_GT(oldest, 0);
    EXPECT_LT(oldest, middle);
    EXPECT_LT(middle, newest);
    EXPECT_EQ(canvas.At(75, 30).r, 0) << "kind 1 is lime";
    EXPECT_LT(newest, 255);
    // Taon 90 has a segment from frame 0 to 1 only (y 40 to 50), in red.
    EXPECT_GT(canvas.At(50, 45).r, 0);
    EXPECT_EQ(canvas.At(50, 45).g, 0);
    EXPECT_EQ(canvas.At(50, 55), Colours::Black) << "no trail where it was absent";
    // An absent taon has no trail even where the frames hold it.
    now.TaonPresent[90] = false;
    MemoryCanvas without(100, 60, Colours::Black);
    DrawTrails(without, view, now, trails);
    EXPECT_EQ(without.At(50, 45), Colours::Black);
}

} // namespace
} // namespace taonscope
