// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/ViewState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

namespace taonscope {
namespace {

constexpr Extended Pi = std::numbers::pi_v<Extended>;

struct Projected {
    int x, y;
    bool operator==(const Projected&) const = default;
};

// Projects one point (placed in slot 1) in taon mode.
Projected ProjectPoint(ViewState& view, Extended x, Extended y, Extended z) {
    World world;
    world.TaonPresent[1] = true;
    world.ScenePosX[1] = x, world.ScenePosY[1] = y, world.ScenePosZ[1] = z;
    BuildViewMatrix(view);
    ProjectTaons(view, world);
    return {view.ScreenX[1], view.ScreenY[1]};
}

ViewState CentredAt(int x, int y) {
    ViewState view;
    view.CentreX = x, view.CentreY = y;
    return view;
}

TEST(Projection, UnturnedViewShowsXRightAndZDown) {
    ViewState view = CentredAt(300, 120);
    EXPECT_EQ(ProjectPoint(view, 1, 0, 0), (Projected{360, 120}));
    EXPECT_EQ(ProjectPoint(view, 0, 0, 1), (Projected{300, 180}));
    EXPECT_EQ(ProjectPoint(view, 0, 1, 0), (Projected{300, 120})) << "depth is not shown";
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(view.RotationMatrix[r][c], r == c ? 1 : 0);
}

TEST(Projection, QuarterTurnAboutXBringsYDown) {
    ViewState view = CentredAt(300, 120);
    view.ViewTeta = Pi / 2;
    EXPECT_EQ(ProjectPoint(view, 0, 1, 0), (Projected{300, 180}));
    EXPECT_NEAR(view.RotatedZ[1], 1, 1e-18L);
    EXPECT_NEAR(view.RotatedY[1], 0, 1e-18L);
}

TEST(Projection, OriginStaysAtTheCentreWhateverTheAngles) {
    ViewState view = CentredAt(77, 33);
    view.ViewTeta = 1.1L, view.ViewPsi = -7, view.ViewPhi = 1e10L;
    EXPECT_EQ(ProjectPoint(view, 0, 0, 0), (Projected{77, 33}));
}

TEST(Projection, MatrixIsTheProductOfTheThreeAxisRotations) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> angle(-10, 10);
    for (int n = 0; n < 20; ++n) {
        ViewState view;
        const Extended t = angle(random), p = angle(random), f = angle(random);
        view.ViewTeta = t, view.ViewPsi = p, view.ViewPhi = f;
        BuildViewMatrix(view);
        const Extended rx[3][3] = {{1, 0, 0}, {0, std::cos(t), -std::sin(t)}, {0, std::sin(t), std::cos(t)}};
        const Extended ry[3][3] = {{std::cos(p), 0, std::sin(p)}, {0, 1, 0}, {-std::sin(p), 0, std::cos(p)}};
        const Extended rz[3][3] = {{std::cos(f), -std::sin(f), 0}, {std::sin(f), std::cos(f), 0}, {0, 0, 1}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                Extended product = 0;
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b) product += rx[r][a] * ry[a][b] * rz[b][c];
                EXPECT_NEAR(view.RotationMatrix[r][c], product, 1e-17L);
            }
    }
    // The spin matrix is the same computation on the other triple.
    ViewState spin;
    spin.SpinTeta = 0.3L, spin.SpinPsi = 0.2L, spin.SpinPhi = 0.1L;
    ViewState same;
    same.ViewTeta = 0.3L, same.ViewPsi = 0.2L, same.ViewPhi = 0.1L;
    BuildSpinMatrix(spin);
    BuildViewMatrix(same);
    EXPECT_EQ(std::memcmp(spin.RotationMatrix, same.RotationMatrix, sizeof spin.RotationMatrix), 0);
}

TEST(Projection, HalvesGoToTheEvenPixel) {
    EXPECT_EQ(RoundToPixel(2.5L), 2);
    EXPECT_EQ(RoundToPixel(3.5L), 4);
    EXPECT_EQ(RoundToPixel(-2.5L), -2);
    EXPECT_EQ(RoundToPixel(2.5000001L), 3);
    ViewState view = CentredAt(100, 100);
    view.ViewScale = 1; // a coordinate of 1 is half a pixel
    EXPECT_EQ(ProjectPoint(view, 1, 0, 1), (Projected{100, 100}));
    EXPECT_EQ(ProjectPoint(view, 3, 0, -3), (Projected{102, 98}));
    view.OffsetX = 0.5L;
    EXPECT_EQ(ProjectPoint(view, 0, 0, 0).x, 100);
}

TEST(Projection, FarPointsAndNonNumbersStayOffScreenWithoutFault) {
    EXPECT_EQ(RoundToPixel(1e30L), INT32_MAX);
    EXPECT_EQ(RoundToPixel(-1e30L), INT32_MIN);
    EXPECT_EQ(RoundToPixel(NAN), INT32_MIN);
}

TEST(Projection, ZeroOrNegativeScaleCollapsesOrMirrors) {
    ViewState view = CentredAt(200, 100);
    view.ViewScale = 0;
    view.OffsetX = 7, view.OffsetY = -3;
    EXPECT_EQ(ProjectPoint(view, 5, 5, 5), (Projected{207, 97}));
    view = CentredAt(200, 100);
    view.ViewScale = -120;
    EXPECT_EQ(ProjectPoint(view, 1, 0, 1), (Projected{140, 40}));
}

TEST(Projection, AnglesBeyondTwoToTheSixtyThreeHaveNoSineOrCosine) {
    EXPECT_EQ(ViewSin(0x1p63L), 0);
    EXPECT_EQ(ViewCos(-0x1p64L), 0);
    EXPECT_EQ(ViewSin(INFINITY), 0);
    EXPECT_EQ(ViewSin(1), std::sin(1.0L));
    EXPECT_NE(ViewCos(0x1p62L), 0);
}

TEST(Projection, TaonModeNeverMovesTheScenePositions) {
    World world;
    world.TaonPresent[3] = true;
    world.ScenePosX[3] = 1.25L, world.ScenePosY[3] = -2, world.ScenePosZ[3] = 0.5L;
    ViewState view;
    view.ViewTeta = 0.7L, view.ViewPsi = 0.2L;
    BuildViewMatrix(view);
    ProjectTaons(view, world);
    EXPECT_EQ(world.ScenePosX[3], 1.25L);
    EXPECT_EQ(world.ScenePosY[3], -2);
    EXPECT_EQ(world.ScenePosZ[3], 0.5L);
    EXPECT_NE(view.RotatedZ[3], 0.5L);
}

TEST(Projection, RotateAndProjectTurnsThePointsInPlace) {
    World world;
    world.ScenePosX[1] = 1;
    world.ScenePosY[2] = 1;
    ViewState view = CentredAt(50, 50);
    view.SpinPhi = Pi / 2; // about z: x goes to y
    BuildSpinMatrix(view);
    RotateAndProject(view, world, 0);
    EXPECT_EQ(world.ScenePosX[1], 1) << "n = 0 does nothing";
    RotateAndProject(view, world, 2);
    EXPECT_NEAR(world.ScenePosY[1], 1, 1e-18L);
    EXPECT_NEAR(world.ScenePosX[2], -1, 1e-18L);
    EXPECT_EQ(view.ScreenX[2], -10);
}

TEST(Projection, CentreIsTheMiddleOfTheSceneArea) {
    ViewState view;
    UpdateSceneCentre(view, 604, 249);
    EXPECT_EQ(view.CentreX, 302);
    EXPECT_EQ(view.CentreY, 124); // 124.5 goes to the even neighbour
    UpdateSceneCentre(view, 603, 251);
    EXPECT_EQ(view.CentreX, 302);
    EXPECT_EQ(view.CentreY, 126);
}

} // namespace
} // namespace taonscope
