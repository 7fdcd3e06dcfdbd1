// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/World.h"
#include "core/Scenarios.h"

#include <gtest/gtest.h>

#include <cmath>

namespace taonscope {
namespace {

TEST(World, KindsFollowTheSlotRanges) {
    World world;
    EXPECT_EQ(TaonKind(world, 1), 1);
    EXPECT_EQ(TaonKind(world, 50), 1);
    EXPECT_EQ(TaonKind(world, 51), 2);
    EXPECT_EQ(TaonKind(world, 80), 2);
    EXPECT_EQ(TaonKind(world, 81), 3);
    EXPECT_EQ(TaonKind(world, 100), 3);
}

TEST(World, ParameterSetsMapToTheirNamedFields) {
    World world;
    SetParameterSet(world, 2, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(world.A2, 1);
    EXPECT_EQ(world.B2, 2);
    EXPECT_EQ(world.C2, 3);
    EXPECT_EQ(world.D2, 4);
    EXPECT_EQ(world.F2, 5);
    EXPECT_EQ(world.G2, 6);
    EXPECT_EQ(world.A1, 0);
    EXPECT_EQ(world.G3, 0);
    EXPECT_EQ(GetParameterSet(world, 2).F, 5);
}

TEST(World, ParameterFieldsListDtThenTheSetsInOrder) {
    World world;
    for (std::size_t p = 0; p < ParameterFields.size(); ++p)
        world.*ParameterFields[p] = static_cast<Extended>(p);
    EXPECT_EQ(world.dt, 0);
    EXPECT_EQ(world.A1, 1);
    EXPECT_EQ(world.G1, 6);
    EXPECT_EQ(world.A2, 7);
    EXPECT_EQ(world.D2, 10);
    EXPECT_EQ(world.A3, 13);
    EXPECT_EQ(world.G3, 18);
}

TEST(World, EasySquareSetsOnlyItsFourTaonsAndTheParameters) {
    World world;
    world.TaonPresent[7] = true;
    world.PosX[7] = 3;
    world.dt = 0.5L;
    world.StepCounter = 9;
    InstallEasySquare(world);
    for (int j = 1; j <= 4; ++j) {
        EXPECT_TRUE(world.TaonPresent[j]);
        EXPECT_EQ(world.PosY[j], 0.212L);
        EXPECT_EQ(world.NextPosX[j], world.PosX[j]);
        EXPECT_EQ(world.ScenePosZ[j], world.PosZ[j]);
        EXPECT_EQ(world.VelX[j], 0);
    }
    EXPECT_EQ(world.PosX[1], 0.212L);
    EXPECT_EQ(world.PosZ[1], -0.212L);
    EXPECT_EQ(world.PosX[3], -0.212L);
    EXPECT_TRUE(world.TaonPresent[7]);
    EXPECT_EQ(world.PosX[7], 3);
    EXPECT_EQ(world.dt, 0.5L);
    EXPECT_EQ(world.StepCounter, 9);
    EXPECT_EQ(world.B3, 2.718L);
    EXPECT_EQ(world.G2, 30);
}

TEST(World, CloudIsReproducibleAndKeepsTaonsApart) {
    const World a = CloudWorld(7), b = CloudWorld(7), c = CloudWorld(8);
    EXPECT_EQ(a.PosX, b.PosX);
    EXPECT_NE(a.PosX, c.PosX);
    for (int i = 1; i <= MaxTaons; ++i) {
        ASSERT_TRUE(a.TaonPresent[i]);
        for (int j = 1; j < i; ++j) {
            const Extended dx = a.PosX[i] - a.PosX[j], dy = a.PosY[i] - a.PosY[j], dz = a.PosZ[i] - a.PosZ[j];
            EXPECT_GE(dx * dx + dy * dy + dz * dz, 1.5L * 1.5L);
        }
    }
    EXPECT_NE(a.B2, a.B1);
    EXPECT_EQ(CloudWorld(7, true).B2, CloudWorld(7, true).B1);
}

TEST(World, RingHasTwelveTaonsAtItsRadiusInTheXzPlane) {
    const World ring = RingWorld();
    for (int j = 1; j <= MaxTaons; ++j) {
        ASSERT_EQ(ring.TaonPresent[j], j <= 12) << j;
        if (j > 12) continue;
        EXPECT_NEAR(static_cast<double>(std::hypot(ring.PosX[j], ring.PosZ[j])), 9.62, 1e-15) << j;
        EXPECT_EQ(ring.PosY[j], 0);
    }
}

} // namespace
} // namespace taonscope
