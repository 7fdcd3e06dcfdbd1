// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Fit.h"

#include "core/Scenarios.h"
#include "support/WorldCompare.h"
#include "view/Figures.h"
#include "view/Follow.h"

#include <gtest/gtest.h>

namespace taonscope {
namespace {

constexpr SceneArea Area{600, 250};

// Every present taon projects inside the area less the margin, and the points reach a margin's edge.
void ExpectFitted(ViewState view, const World& world) {
    BuildViewMatrix(view);
    ProjectTaons(view, world);
    int left = Area.width, right = 0, top = Area.bottom, bottom = 0;
    for (int j = 1; j <= MaxTaons; ++j) {
        if (!world.TaonPresent[j]) continue;
        left = std::min(left, view.ScreenX[j]), right = std::max(right, view.ScreenX[j]);
        top = std::min(top, view.ScreenY[j]), bottom = std::max(bottom, view.ScreenY[j]);
    }
    EXPECT_GE(left, 0.1 * Area.width - 1);
    EXPECT_LE(right, 0.9 * Area.width + 1);
    EXPECT_GE(top, 0.1 * Area.bottom - 1);
    EXPECT_LE(bottom, 0.9 * Area.bottom + 1);
    const bool fillsWidth = left <= 0.1 * Area.width + 1 && right >= 0.9 * Area.width - 1;
    const bool fillsHeight = top <= 0.1 * Area.bottom + 1 && bottom >= 0.9 * Area.bottom - 1;
    EXPECT_TRUE(fillsWidth || fillsHeight);
}

TEST(FitAll, BringsTheWholeCloudInsideAtAnyAngleAndLeavesTheWorld) {
    const World cloud = CloudWorld();
    for (Extended angle : {0.0L, 0.7L, 2.5L}) {
        ViewState view;
        view.ViewTeta = angle, view.ViewPsi = angle / 2, view.ViewPhi = -angle;
        UpdateSceneCentre(view, Area.width, Area.bottom);
        World world = cloud;
        FitAll(view, world, Area);
        EXPECT_TRUE(test::SameWorld(world, cloud));
        EXPECT_EQ(view.ViewTeta, angle);
        ExpectFitted(view, world);
    }
}

TEST(FitAll, CentresASinglePointAtTheCurrentZoom) {
    World world;
    world.TaonPresent[7] = true;
    world.PosX[7] = world.ScenePosX[7] = 40, world.ScenePosZ[7] = world.PosZ[7] = -3;
    world.TaonPresent[9] = true;
    world.ScenePosX[9] = 40, world.ScenePosZ[9] = -3;
    ViewState view;
    view.ViewScale = 77;
    FitAll(view, world, Area);
    EXPECT_EQ(view.ViewScale, 77);
    ProjectTaons(view, world);
    EXPECT_EQ(view.ScreenX[7], Area.width / 2);
    EXPECT_EQ(view.ScreenY[7], Area.bottom / 2);
}

TEST(FitAll, FitsTheFigureInFigureModeAndIgnoresAnEmptyWorld) {
    World world;
    ViewState view;
    FitAll(view, world, Area);
    EXPECT_EQ(view.ViewScale, 120);
    EXPECT_EQ(view.OffsetX, 0);

    world.ShowingFigure = true;
    GenerateFigure(world, view);
    FitAll(view, world, Area);
    RotateAndProject(view, world, FigurePointCount); // spin 0: the identity
    for (int j = 1; j <= FigurePointCount; ++j) {
        EXPECT_GE(view.ScreenX[j], 0.1 * Area.width - 1);
        EXPECT_LE(view.ScreenX[j], 0.9 * Area.width + 1);
        EXPECT_GE(view.ScreenY[j], 0.1 * Area.bottom - 1);
        EXPECT_LE(view.ScreenY[j], 0.9 * Area.bottom + 1);
    }
}

// Following the centre of mass puts its projection, as the scene projects a point, at the middle of the
// scene: whatever the angles, and for a drift along any axis (each row of the matrix in its place).
TEST(Follow, TheCentreOfMassProjectsOntoTheMiddleOfTheScene) {
    const struct {
        Extended teta, psi, phi, dx, dy, dz;
    } cases[] = {{0, 0, 0, 0, 0, 7},
                 {0, 0, 0, 5, 0, 0},
                 {0.7L, -0.4L, 1.9L, 0, 0, 9},
                 {1.2L, 0.3L, -2.2L, 4, -6, 3},
                 {0, 1.5707963L, 0, 0, 8, 0}};
    for (const auto& c : cases) {
        World world = CloudWorld();
        for (int j = 1; j <= MaxTaons; ++j)
            world.ScenePosX[j] += c.dx, world.ScenePosY[j] += c.dy, world.ScenePosZ[j] += c.dz;
        ViewState view;
        view.ViewTeta = c.teta, view.ViewPsi = c.psi, view.ViewPhi = c.phi;
        view.ViewScale = 35;
        UpdateSceneCentre(view, Area.width, Area.bottom);
        BuildViewMatrix(view);
        ASSERT_TRUE(CentreOnCentreOfMass(view, world, Area));
        Extended x = 0, y = 0, z = 0;
        for (int j = 1; j <= MaxTaons; ++j)
            x += world.ScenePosX[j], y += world.ScenePosY[j], z += world.ScenePosZ[j];
        const ScreenPoint middle = ProjectPoint(view, x / MaxTaons, y / MaxTaons, z / MaxTaons);
        EXPECT_NEAR(static_cast<double>(middle.x), Area.width / 2.0, 1e-9) << static_cast<double>(c.teta);
        EXPECT_NEAR(static_cast<double>(middle.y), Area.bottom / 2.0, 1e-9) << static_cast<double>(c.teta);
    }
}

} // namespace
} // namespace taonscope
