// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Scene.h"
#include "view/Figures.h"

#include "support/MemoryCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace taonscope {
namespace {

using test::MemoryCanvas;

constexpr SceneArea Area{200, 120};

// A view whose origin is at (100, 60) and whose unit is 60 pixels.
ViewState CentredView() {
    ViewState view;
    UpdateSceneCentre(view, Area.width, Area.bottom);
    return view;
}

// A world whose taon j sits at pixel (x, y) of CentredView.
void Place(World& world, int j, int x, int y) {
    world.TaonPresent[j] = true;
    world.ScenePosX[j] = (x - 100) / 60.0L;
    world.ScenePosZ[j] = (y - 60) / 60.0L;
}

TEST(DrawTaons, EachKindHasItsColour) {
    World world;
    Place(world, 1, 10, 10);
    Place(world, 51, 40, 10);
    Place(world, 81, 70, 10);
    MemoryCanvas canvas(Area.width, 150);
    ViewState view = CentredView();
    DrawTaons(canvas, view, world, Area);
    EXPECT_EQ(canvas.At(10, 10), Colours::Lime);
    EXPECT_EQ(canvas.At(41, 11), Colours::Yellow);
    EXPECT_EQ(canvas.At(40, 10), Colours::Yellow);
    EXPECT_EQ(canvas.At(71, 11), Colours::Red);
    EXPECT_EQ(canvas.Count(Colours::Lime), 4);
    EXPECT_EQ(canvas.Count(Colours::Yellow), 4);
    EXPECT_EQ(canvas.Count(Colours::Red), 4);
    EXPECT_EQ(canvas.Count(Colours::Black), Area.width * Area.bottom - 12);
    EXPECT_EQ(canvas.At(5, 130), (Rgb{1, 2, 3})) << "below the scene area nothing is drawn";
    EXPECT_TRUE(canvas.texts.empty());
}

TEST(DrawTaons, NumbersComeAfterAllDotsBesideTheDot) {
    World world;
    Place(world, 7, 100, 50);
    Place(world, 60, 30, 30);
    MemoryCanvas canvas(Area.width, Area.bottom);
    ViewState view = CentredView();
    view.ShowNumbersOn = true;
    DrawTaons(canvas, view, world, Area);
    for (int x : {100, 101})
        for (int y : {50, 51}) EXPECT_EQ(canvas.At(x, y), Colours::Lime);
    ASSERT_EQ(canvas.texts.size(), 2u);
    EXPECT_EQ(canvas.texts[0].text, "7");
    EXPECT_EQ(canvas.texts[0].x, 102);
    EXPECT_EQ(canvas.texts[0].y, 52);
    EXPECT_EQ(canvas.texts[0].font, Colours::Lime);
    EXPECT_EQ(canvas.texts[0].brush, Colours::Black);
    EXPECT_EQ(canvas.texts[1].text, "60");
    EXPECT_EQ(canvas.texts[1].font, Colours::Yellow);
    EXPECT_EQ(canvas.pixelRuns.back(), Colours::Yellow)
        << "the last pixels set are the dots, before any number";
}

TEST(DrawTaons, NoTaonLeavesABlackScene) {
    World world;
    MemoryCanvas canvas(Area.width, Area.bottom);
    ViewState view = CentredView();
    DrawTaons(canvas, view, world, Area);
    EXPECT_EQ(canvas.Count(Colours::Black), Area.width * Area.bottom);
}

TEST(DrawTaons, ADotOnTheLastColumnIsClipped) {
    World world;
    Place(world, 1, Area.width - 1, 20);
    MemoryCanvas canvas(Area.width, Area.bottom);
    ViewState view = CentredView();
    DrawTaons(canvas, view, world, Area);
    EXPECT_EQ(canvas.At(Area.width - 1, 20), Colours::Lime);
    EXPECT_EQ(canvas.At(Area.width - 1, 21), Colours::Lime);
    EXPECT_EQ(canvas.Count(Colours::Lime), 2);
}

TEST(DrawTaons, TheHigherNumberWinsAtTheSamePlace) {
    World world;
    Place(world, 2, 30, 30);
    Place(world, 90, 30, 30);
    MemoryCanvas canvas(Area.width, Area.bottom);
    ViewState view = CentredView();
    DrawTaons(canvas, view, world, Area);
    EXPECT_EQ(canvas.At(30, 30), Colours::Red);
    EXPECT_EQ(canvas.Count(Colours::Lime), 0);
}

TEST(DrawTaons, ANegativeScaleMirrorsThroughTheCentre) {
    World world;
    Place(world, 1, 130, 80); // 30 right of and 20 below the centre (100, 60)
    MemoryCanvas canvas(Area.width, Area.bottom);
    ViewState view = CentredView();
    view.ViewScale = -120;
    DrawTaons(canvas, view, world, Area);
    EXPECT_EQ(canvas.At(70, 40), Colours::Lime);
    EXPECT_EQ(canvas.At(130, 80), Colours::Black);
}

TEST(DrawTaons, AbsentTaonsAreNotDrawn) {
    World world;
    Place(world, 5, 20, 20);
    world.TaonPresent[5] = false;
    MemoryCanvas canvas(Area.width, Area.bottom);
    ViewState view = CentredView();
    view.ShowNumbersOn = true;
    DrawTaons(canvas, view, world, Area);
    EXPECT_EQ(canvas.Count(Colours::Lime), 0);
    EXPECT_TRUE(canvas.texts.empty());
}

TEST(DrawTaons, LargerDotsAreCentredOnThePointAndPushTheNumberAside) {
    struct Case {
        int size, first, last, number;
    };
    for (const Case c : {Case{3, 49, 51, 52}, Case{5, 48, 52, 53}}) {
        World world;
        Place(world, 7, 50, 40);
        MemoryCanvas canvas(Area.width, Area.bottom);
        ViewState view = CentredView();
        view.DotSize = c.size;
        view.ShowNumbersOn = true;
        DrawTaons(canvas, view, world, Area);
        EXPECT_EQ(canvas.Count(Colours::Lime), c.size * c.size);
        EXPECT_EQ(canvas.At(c.first, c.first - 10), Colours::Lime);
        EXPECT_EQ(canvas.At(c.last, c.last - 10), Colours::Lime);
        EXPECT_EQ(canvas.At(c.last + 1, c.last - 10), Colours::Black);
        EXPECT_EQ(canvas.At(c.first - 1, c.first - 10), Colours::Black);
        ASSERT_EQ(canvas.texts.size(), 1u);
        EXPECT_EQ(canvas.texts[0].x, c.number);
        EXPECT_EQ(canvas.texts[0].y, c.number - 10);
    }
}

TEST(DrawTaons, DotsAtTheEndsOfThePixelRangeDoNotWrap) {
    World world;
    world.TaonPresent[1] = world.TaonPresent[2] = true;
    world.ScenePosX[1] = 1e30L, world.ScenePosZ[1] = 1e30L;   // clamps to INT32_MAX
    world.ScenePosX[2] = -1e30L, world.ScenePosZ[2] = -1e30L; // clamps to INT32_MIN
    MemoryCanvas canvas(Area.width, Area.bottom);
    ViewState view = CentredView();
    view.DotSize = 5;
    view.ShowNumbersOn = true;
    DrawTaons(canvas, view, world, Area);
    EXPECT_EQ(canvas.Count(Colours::Lime), 0);
    ASSERT_EQ(canvas.texts.size(), 1u) << "past the largest pixel no number is written";
    EXPECT_EQ(canvas.texts[0].text, "2");
    EXPECT_EQ(canvas.texts[0].x, INT32_MIN + 3);
}

TEST(DrawTaons, AxesComeLastAndTurnWithTheView) {
    World world;
    Place(world, 1, 34, 86); // right on the triad's origin (34, 86): the axes are drawn over it
    MemoryCanvas canvas(Area.width, Area.bottom);
    ViewState view = CentredView();
    DrawTaons(canvas, view, world, Area);
    EXPECT_EQ(canvas.Count(Colours::Red), 0) << "no axes unless asked for";

    view.ShowAxesOn = true;
    DrawTaons(canvas, view, world, Area);
    // Unturned: x goes right, z goes down, y is seen end on.
    const int ox = 34, oy = Area.bottom - 34;
    EXPECT_EQ(canvas.At(ox + 19, oy), Colours::Red);
    EXPECT_EQ(canvas.At(ox, oy + 19), (Rgb{0, 255, 255}));
    EXPECT_EQ(canvas.At(ox + 1, oy), Colours::Red) << "drawn over the dot";
    EXPECT_EQ(canvas.At(ox + 1, oy + 1), Colours::Lime);
    ASSERT_EQ(canvas.texts.size(), 3u);
    EXPECT_EQ(canvas.texts[0].text, "x");
    EXPECT_EQ(canvas.texts[0].x, ox + 21);
    EXPECT_EQ(canvas.texts[1].text, "y");
    EXPECT_EQ(canvas.texts[1].x, ox + 1);
    EXPECT_EQ(canvas.texts[2].y, oy + 21);

    view.ViewPhi = 3.14159265358979323846L / 2; // a quarter turn about z: x seen end on, y to the left
    MemoryCanvas turned(Area.width, Area.bottom);
    DrawTaons(turned, view, world, Area);
    EXPECT_EQ(turned.At(ox + 19, oy), Colours::Black);
    ASSERT_EQ(turned.texts.size(), 3u);
    EXPECT_EQ(turned.texts[0].x, ox + 1);
    EXPECT_EQ(turned.texts[1].x, ox - 19);
    EXPECT_EQ(turned.At(ox - 19, oy), Colours::Lime);
}

World FigureWorld(const ViewState& view) {
    World world;
    world.ShowingFigure = true;
    GenerateFigure(world, view);
    return world;
}

TEST(DrawFigure, WhiteLinesComeBeforeTheRedLinesOfTheirRow) {
    ViewState view = CentredView();
    World world = FigureWorld(view);
    MemoryCanvas canvas(Area.width, Area.bottom);
    DrawFigure(canvas, view, world, Area);
    const std::vector<Rgb> expected = {Colours::White, Colours::Red,   Colours::White,
                                       Colours::Red,   Colours::White, Colours::Red};
    EXPECT_EQ(canvas.pixelRuns, expected);
    EXPECT_GT(canvas.Count(Colours::White), 0);
    EXPECT_GT(canvas.Count(Colours::Red), 100);
    EXPECT_TRUE(canvas.texts.empty());
}

TEST(DrawFigure, NumbersAreLimeAtThePointsThemselves) {
    ViewState view = CentredView();
    view.ShowNumbersOn = true;
    World world = FigureWorld(view);
    MemoryCanvas canvas(Area.width, Area.bottom);
    Redraw(canvas, view, world, Area);
    ASSERT_EQ(canvas.texts.size(), 19u);
    for (int j = 1; j <= 19; ++j) {
        EXPECT_EQ(canvas.texts[j - 1].text, std::to_string(j));
        EXPECT_EQ(canvas.texts[j - 1].x, view.ScreenX[j]);
        EXPECT_EQ(canvas.texts[j - 1].y, view.ScreenY[j]);
        EXPECT_EQ(canvas.texts[j - 1].font, Colours::Lime);
    }
    EXPECT_EQ(view.ScreenX[2], 160); // point 2 = (1, 0, 0)
}

TEST(DrawFigure, SpinAccumulatesInTheFiguresCoordinates) {
    ViewState view = CentredView();
    World world = FigureWorld(view);
    const World start = world;
    MemoryCanvas canvas(Area.width, Area.bottom);
    DrawFigure(canvas, view, world, Area);
    EXPECT_EQ(std::memcmp(&world.ScenePosX, &start.ScenePosX, sizeof world.ScenePosX), 0)
        << "no spin, no turn";

    view.SpinTeta = 0.1L;
    DrawFigure(canvas, view, world, Area);
    DrawFigure(canvas, view, world, Area);
    for (int j = 1; j <= 19; ++j) { // turned by 0.2 about x
        const Extended c = std::cos(0.2L), s = std::sin(0.2L);
        EXPECT_NEAR(world.ScenePosX[j], start.ScenePosX[j], 1e-17L);
        EXPECT_NEAR(world.ScenePosY[j], c * start.ScenePosY[j] - s * start.ScenePosZ[j], 1e-17L);
        EXPECT_NEAR(world.ScenePosZ[j], s * start.ScenePosY[j] + c * start.ScenePosZ[j], 1e-17L);
    }
}

TEST(DrawFigure, AnotherFigureKindLeavesTheSceneBlack) {
    ViewState view = CentredView();
    World world = FigureWorld(view);
    view.FigureKind = 2;
    MemoryCanvas canvas(Area.width, Area.bottom);
    Redraw(canvas, view, world, Area);
    EXPECT_EQ(canvas.Count(Colours::Black), Area.width * Area.bottom);
}

TEST(Redraw, FollowsTheMode) {
    ViewState view = CentredView();
    World world = FigureWorld(view);
    Place(world, 1, 10, 10);
    MemoryCanvas figure(Area.width, Area.bottom);
    Redraw(figure, view, world, Area);
    EXPECT_GT(figure.Count(Colours::Red), 0);
    world.ShowingFigure = false;
    MemoryCanvas taons(Area.width, Area.bottom);
    Redraw(taons, view, world, Area);
    EXPECT_EQ(taons.Count(Colours::Red), 0);
}

} // namespace
} // namespace taonscope
