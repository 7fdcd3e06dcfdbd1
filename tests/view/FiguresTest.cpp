// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Figures.h"

#include "core/Scenarios.h"

#include <gtest/gtest.h>

#include <cmath>

namespace taonscope {
namespace {

TEST(Figure, TetraSpiralPointsMatchTheTable) {
    const double table[19][3] = {
        {0.000000, 0.000000, 0.000000},   {1.000000, 0.000000, 0.000000},   {0.500000, 0.000000, 0.866025},
        {0.500000, 0.707107, 0.288675},   {0.500000, -0.707107, 0.288675},  {0.500000, -0.471405, -0.673575},
        {0.500000, 0.392837, -0.737725},  {1.333333, -0.052378, -0.940867}, {1.388889, -0.742026, -0.338570},
        {1.981481, -0.058198, -0.179382}, {1.487654, 0.668308, -0.408263},  {1.646091, 0.459118, 0.549103},
        {1.597394, -0.401028, 0.654744},  {2.483310, -0.000072, 0.682976},  {2.476528, 0.668260, 0.047054},
        {2.981456, -0.052458, -0.182004}, {2.487637, -0.742079, 0.167339},  {2.483739, -0.568418, -0.812342},
        {2.476814, 0.289363, -0.949825},
    };
    World world = CloudWorld();
    world.ShowingFigure = true;
    GenerateFigure(world, ViewState{});
    for (int j = 1; j <= 19; ++j) {
        EXPECT_NEAR(world.ScenePosX[j], table[j - 1][0], 5e-7) << "point " << j;
        EXPECT_NEAR(world.ScenePosY[j], table[j - 1][1], 5e-7) << "point " << j;
        EXPECT_NEAR(world.ScenePosZ[j], table[j - 1][2], 5e-7) << "point " << j;
    }
    for (int j = 20; j <= MaxTaons; ++j)
        EXPECT_TRUE(world.ScenePosX[j] == 0 && world.ScenePosY[j] == 0 && world.ScenePosZ[j] == 0);
    // The base triangle has sides of length 1.
    EXPECT_NEAR(std::hypot(world.ScenePosX[3], world.ScenePosZ[3]), 1, 1e-18L);
}

TEST(Figure, LeavesTheTaonsAlone) {
    World world = CloudWorld();
    const World before = world;
    world.ShowingFigure = true;
    GenerateFigure(world, ViewState{});
    EXPECT_EQ(world.TaonPresent, before.TaonPresent);
    EXPECT_EQ(world.PosX, before.PosX);
    EXPECT_EQ(world.VelZ, before.VelZ);
    EXPECT_EQ(world.NextPosY, before.NextPosY);
    EXPECT_EQ(world.B2, before.B2);
    EXPECT_EQ(world.dt, before.dt);
    EXPECT_EQ(world.TaonCount, before.TaonCount);
}

TEST(Figure, BuildingAgainRestoresTheStartOrientation) {
    World world;
    world.ShowingFigure = true;
    GenerateFigure(world, ViewState{});
    const World fresh = world;
    world.ScenePosX[7] = 42;
    GenerateFigure(world, ViewState{});
    EXPECT_EQ(world.ScenePosX, fresh.ScenePosX);
}

TEST(Figure, AnotherFigureKindBuildsNothing) {
    World world = CloudWorld();
    world.ShowingFigure = true;
    ViewState view;
    view.FigureKind = 2;
    GenerateFigure(world, view);
    for (int j = 1; j <= MaxTaons; ++j) EXPECT_EQ(world.ScenePosX[j], 0);
}

TEST(Figure, TaonModeInstallsTheEasySquareOverTheWorld) {
    World world = CloudWorld();
    world.dt = 0.25L;
    world.ShowingFigure = false;
    GenerateFigure(world, ViewState{});
    EXPECT_EQ(world.PosX[1], 0.212L);
    EXPECT_EQ(world.ScenePosZ[2], 0.212L);
    EXPECT_EQ(world.VelX[3], 0);
    EXPECT_EQ(world.A2, 1);
    EXPECT_EQ(world.G3, 30);
    EXPECT_TRUE(world.TaonPresent[50]) << "taons 5..100 stay present";
    EXPECT_EQ(world.PosX[50], CloudWorld().PosX[50]);
    EXPECT_EQ(world.ScenePosX[50], 0) << "their scene positions read 0 until copied in again";
    EXPECT_EQ(world.dt, 0.25L);
}

} // namespace
} // namespace taonscope
