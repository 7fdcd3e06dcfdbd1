// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Trails.h"
#include "view/Scene.h"

#include "support/MemoryCanvas.h"

#include <gtest/gtest.h>

namespace taonscope {
namespace {

// Taon 1 (kind 1) at x = frame number; taon 90 (kind 3) present only in frames 0 and 1.
World Frame(int n) {
    World world;
    world.TaonPresent[1] = true;
    world.ScenePosX[1] = n;
    world.TaonPresent[90] = n < 2;
    world.ScenePosZ[90] = 1 + n;
    return world;
}

TEST(Trails, FadeFromTheKindsColourToBlackAndBreakWhereATaonIsAbsent) {
    TrailHistory trails(10);
    for (int n = -2; n < 4; ++n) trails.Add(Frame(n));
    trails.SetLength(4); // the newest stay: frames 0 to 3
    ViewState view;
    view.ViewScale = 20; // 10 pixels a unit
    UpdateSceneCentre(view, 100, 60);
    BuildViewMatrix(view);
    World now = Frame(3);
    for (const bool present : {true, false}) {
        now.TaonPresent[90] = present; // present now, but only in the first two frames of its trail
        test::MemoryCanvas canvas(100, 60, Colours::Black);
        DrawTrails(canvas, view, now, trails);
        // Taon 1's trail runs from x = 50 (oldest) to 80 (newest) in lime, each segment brighter than the one
        // before.
        const int oldest = canvas.At(55, 30).g, middle = canvas.At(65, 30).g, newest = canvas.At(75, 30).g;
        EXPECT_TRUE(0 < oldest && oldest < middle && middle < newest && newest < 255);
        EXPECT_EQ(canvas.At(75, 30).r, 0);
        // Taon 90 has a red segment from frame 0 to 1 only (y 40 to 50), and none when it is absent now.
        EXPECT_EQ(canvas.At(50, 45).r > 0, present);
        EXPECT_EQ(canvas.At(50, 45).g, 0);
        EXPECT_EQ(canvas.At(50, 55), Colours::Black) << "no trail where it was absent";
    }
}

// Drawn with the scene, a dot stands out of its trail: it has its kind's full colour, the trail at most 60%
// of it, and a black pixel around the dot parts them.
TEST(Trails, TheDotsAreDrawnOverTheirTrailsWithRoomAroundThem) {
    TrailHistory trails(20);
    for (int n = 0; n <= 20; ++n) trails.Add(Frame(n)); // taon 1 from x = 1 to 20; the newest is now
    ViewState view;
    view.ViewScale = 8; // 4 pixels a unit
    UpdateSceneCentre(view, 120, 60);
    SceneExtras extras;
    extras.trails = &trails;
    for (const int size : {2, 3}) {
        view.DotSize = size;
        test::MemoryCanvas canvas(200, 60, Colours::Black);
        DrawTaons(canvas, view, Frame(20), {200, 60}, extras);
        const int x = view.ScreenX[1], y = view.ScreenY[1];
        const DotSpan dot = DotOf(view);
        for (int d = 0; d < size * size; ++d)
            EXPECT_EQ(canvas.At(x + dot.offset + d % size, y + dot.offset + d / size), Colours::Lime) << size;
        EXPECT_EQ(canvas.At(x + dot.offset - 1, y), Colours::Black)
            << "the pixel before the dot, on the trail";
        const Rgb newest = canvas.At(x + dot.offset - 3, y);
        EXPECT_TRUE(newest.g > 100 && newest.g <= 153 && newest.r == 0) << int(newest.g);
    }
}

} // namespace
} // namespace taonscope
