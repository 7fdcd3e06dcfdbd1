// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Pick.h"

#include <gtest/gtest.h>

namespace taonscope {
namespace {

// A view whose last projection put slot j at (x, y); the world has those slots present.
struct Projected {
    ViewState view;
    World world;
    void Put(int j, int x, int y) {
        world.TaonPresent[j] = true;
        view.ScreenX[j] = x, view.ScreenY[j] = y;
    }
};

TEST(NearestDot, PicksWithinFivePixelsOfTheDotAndNoFarther) {
    Projected p;
    p.Put(3, 100, 100); // the 2 x 2 dot covers 100..101 in both directions
    EXPECT_EQ(NearestDot(p.view, p.world, 100, 100), 3);
    EXPECT_EQ(NearestDot(p.view, p.world, 101, 101), 3);
    EXPECT_EQ(NearestDot(p.view, p.world, 106, 100), 3);
    EXPECT_EQ(NearestDot(p.view, p.world, 107, 100), 0);
    EXPECT_EQ(NearestDot(p.view, p.world, 95, 101), 3);
    EXPECT_EQ(NearestDot(p.view, p.world, 94, 101), 0);
    EXPECT_EQ(NearestDot(p.view, p.world, 104, 104), 3); // 3 and 3: 4.2 pixels away
    EXPECT_EQ(NearestDot(p.view, p.world, 105, 105), 0); // 4 and 4: 5.7 pixels away
    EXPECT_EQ(NearestDot(p.view, p.world, 100, 100, 0), 3);
    EXPECT_EQ(NearestDot(p.view, p.world, 99, 100, 0), 0);
}

TEST(NearestDot, TheNearestWinsAndATieGoesToTheDotOnTop) {
    Projected p;
    p.Put(1, 100, 100);
    p.Put(2, 107, 100); // covers 107..108
    EXPECT_EQ(NearestDot(p.view, p.world, 103, 100), 1);
    EXPECT_EQ(NearestDot(p.view, p.world, 105, 100), 2);
    EXPECT_EQ(NearestDot(p.view, p.world, 104, 100), 2) << "3 pixels from both: the later slot is drawn over";
    EXPECT_EQ(NearestDot(p.view, p.world, 104, 101), 2);
    ;
    p.Put(40, 100, 100);
    EXPECT_EQ(NearestDot(p.view, p.world, 100, 100), 40);
}

TEST(NearestDot, SkipsAbsentSlotsAndSlotsBeyondTheCount) {
    Projected p;
    p.Put(5, 50, 50);
    p.Put(9, 52, 50);
    p.world.TaonPresent[9] = false; // its last pixel is stale
    EXPECT_EQ(NearestDot(p.view, p.world, 53, 50), 5);
    p.world.TaonCount = 4;
    EXPECT_EQ(NearestDot(p.view, p.world, 50, 50), 0);
}

TEST(NearestDot, FollowsTheDotSize) {
    Projected p;
    p.Put(7, 100, 100);
    p.view.DotSize = 5; // covers 98..102
    EXPECT_EQ(NearestDot(p.view, p.world, 93, 100), 7);
    EXPECT_EQ(NearestDot(p.view, p.world, 107, 102), 7);
    EXPECT_EQ(NearestDot(p.view, p.world, 108, 100), 0);
}

TEST(NearestDot, PointsAtTheEndsOfThePixelRangeNeitherOverflowNorWrap) {
    Projected p;
    p.Put(1, INT32_MIN, INT32_MIN); // where a coordinate that is not a number goes
    p.Put(2, INT32_MAX, INT32_MAX);
    EXPECT_EQ(NearestDot(p.view, p.world, 0, 0), 0);
    EXPECT_EQ(NearestDot(p.view, p.world, INT32_MAX, INT32_MAX), 2);
    EXPECT_EQ(NearestDot(p.view, p.world, INT32_MIN + 3, INT32_MIN), 1);
}

} // namespace
} // namespace taonscope
