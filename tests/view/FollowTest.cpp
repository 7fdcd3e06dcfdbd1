// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Follow.h"
#include "view/Fit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace taonscope {
namespace {

constexpr SceneArea Area{400, 300};

// Taons 1, 2, 60 at (1, 0, 2), (3, 1, -2), (5, 2, 3): the centre of mass is (3, 1, 1).
World Three() {
    World world;
    world.TaonPresent[1] = world.TaonPresent[2] = world.TaonPresent[60] = true;
    world.ScenePosX[1] = 1, world.ScenePosZ[1] = 2;
    world.ScenePosX[2] = 3, world.ScenePosY[2] = 1, world.ScenePosZ[2] = -2;
    world.ScenePosX[60] = 5, world.ScenePosY[60] = 2, world.ScenePosZ[60] = 3;
    world.ScenePosX[3] = 1000; // absent: not counted
    return world;
}

TEST(Follow, TheCentreOfMassGoesToTheMiddleOfTheSceneAtAnyAngleAndZoom) {
    struct Case {
        Extended teta, psi, phi, scale;
    };
    for (const Case c : {Case{0, 0, 0, 120}, Case{0.3L, -1.2L, 2.0L, 37}, Case{1, 1, 1, -50}}) {
        ViewState view;
        UpdateSceneCentre(view, Area.width, Area.bottom);
        view.ViewTeta = c.teta, view.ViewPsi = c.psi, view.ViewPhi = c.phi, view.ViewScale = c.scale;
        view.OffsetX = 77, view.OffsetY = -12;
        BuildViewMatrix(view);
        ASSERT_TRUE(CentreOnCentreOfMass(view, Three(), Area));
        const ScreenPoint centre = ProjectPoint(view, 3, 1, 1);
        EXPECT_NEAR(static_cast<double>(centre.x), 200, 1e-9);
        EXPECT_NEAR(static_cast<double>(centre.y), 150, 1e-9);
        EXPECT_EQ(view.ViewScale, c.scale) << "following never zooms";
    }
    ViewState view;
    const ViewState before = view;
    EXPECT_FALSE(CentreOnCentreOfMass(view, World{}, Area)) << "nobody present";
    EXPECT_EQ(view.OffsetX, before.OffsetX);
}

// Pixel positions of the present taons of world under view.
std::vector<ScreenPoint> Projected(const ViewState& view, const World& world) {
    std::vector<ScreenPoint> points;
    for (int j = 1; j <= MaxTaons; ++j)
        if (world.TaonPresent[j])
            points.push_back(ProjectPoint(view, world.ScenePosX[j], world.ScenePosY[j], world.ScenePosZ[j]));
    return points;
}

TEST(Follow, KeepAllInViewZoomsOutAboutTheMiddleAndNeverIn) {
    ViewState view;
    UpdateSceneCentre(view, Area.width, Area.bottom);
    view.ViewScale = 40; // 20 pixels a unit: everybody well inside
    view.OffsetX = -60;
    BuildViewMatrix(view);
    World world = Three();
    ViewState same = view;
    EXPECT_FALSE(KeepAllInView(same, world, Area));
    EXPECT_EQ(same.ViewScale, 40) << "never zooms in";

    world.ScenePosX[60] = 30;                     // would be at pixel 200 - 60 + 600
    const auto middle = [&](const ViewState& v) { // the scene position at the middle of the scene
        return (200 - v.CentreX - v.OffsetX) / (v.ViewScale / 2);
    };
    const Extended before = middle(view);
    ASSERT_TRUE(KeepAllInView(view, world, Area));
    EXPECT_LT(view.ViewScale, 40);
    EXPECT_NEAR(static_cast<double>(middle(view)), static_cast<double>(before), 1e-9) << "the middle stays";
    double nearestEdge = 1e9;
    for (const ScreenPoint p : Projected(view, world)) {
        nearestEdge = std::min({nearestEdge, static_cast<double>(p.x), static_cast<double>(Area.width - p.x),
                                static_cast<double>(p.y), static_cast<double>(Area.bottom - p.y)});
    }
    EXPECT_NEAR(nearestEdge, static_cast<double>(FitMargin * Area.width), 1e-6) << "just inside the margin";
    EXPECT_FALSE(KeepAllInView(view, world, Area)) << "once in view it stays";
}

} // namespace
} // namespace taonscope
