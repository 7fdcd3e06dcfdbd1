// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing styles on a real image: Dots as the scene has always drawn them, Spheres as shaded discs, and
// picking in both.
#include "support/WorldFiles.h"

#include "view/ImageCanvas.h"
#include "view/Pick.h"
#include "view/Scene.h"
#include "view/ScenePicture.h"
#include "view/TaonStyle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace taonscope {
namespace {

bool Black(QRgb pixel) {
    return (pixel & 0xFFFFFF) == 0;
}

int Lit(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += !Black(image.pixel(x, y));
    return n;
}

// The pictures in data/ were drawn by the scene of the release before drawing styles existed
// (taonscope-cli render with these options).
TEST(TaonStyle, DotsArePixelForPixelTheEarlierScene) {
    struct Case {
        const char *example, *picture;
        int width, height;
        Extended teta, psi, phi, scale;
        bool numbers;
    };
    for (const Case& c : {Case{"05-cloud.tao", "cloud-dots.png", 320, 240, 0.4L, 0.2L, 0.1L, 14, true},
                          Case{"03-three-kinds.tao", "three-kinds-dots.png", 200, 150, 0, 0, 0, 40, false}}) {
        const QImage earlier(QStringLiteral(TAONSCOPE_VIEW_DATA "/") + QString::fromLatin1(c.picture));
        ASSERT_FALSE(earlier.isNull()) << c.picture;
        ViewState view;
        ASSERT_EQ(view.Style, TaonStyle::Dots) << "Dots is the default";
        view.ViewTeta = c.teta, view.ViewPsi = c.psi, view.ViewPhi = c.phi, view.ViewScale = c.scale;
        view.ShowNumbersOn = c.numbers;
        const QImage now = TaonPicture(test::LoadWorld(std::string(TAONSCOPE_EXAMPLES_DIR "/") + c.example),
                                       view, c.width, c.height);
        ASSERT_EQ(now.size(), earlier.size());
        int different = 0;
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x) different += now.pixel(x, y) != earlier.pixel(x, y);
        EXPECT_EQ(different, 0) << c.picture;
        EXPECT_GT(Lit(now), 0) << c.picture;
    }
}

TEST(TaonStyle, SpheresAreShadedDiscsInTheKindsColoursLargerThanDots) {
    // Three taons of the three kinds far apart, each alone in its part of a 300 x 100 picture.
    World three;
    for (int j : {1, 51, 81}) three.TaonPresent[j] = true;
    three.ScenePosX[1] = -2, three.ScenePosX[81] = 2;
    ViewState dots;
    dots.ViewScale = 60; // 30 pixels a unit: the taons 60 pixels apart
    ViewState spheres = dots;
    spheres.Style = TaonStyle::Spheres;
    spheres.SphereRadius = 0.25L; // 7.5 pixels
    const QImage dotPicture = TaonPicture(three, dots, 300, 100),
                 spherePicture = TaonPicture(three, spheres, 300, 100);
    EXPECT_EQ(Lit(dotPicture), 3 * 4);
    const double disc = M_PI * 7.5 * 7.5;
    EXPECT_TRUE(Lit(spherePicture) > 3 * 0.85 * disc && Lit(spherePicture) < 3 * 1.2 * disc)
        << Lit(spherePicture);

    // Every dot's pixels are covered by its sphere, whose hue is the kind's: lime, yellow, red (a white
    // highlight is laid over each, so the kind's colour shows as the channels that lead). Between them, the
    // number of pixels lit says that each is a whole disc.
    for (const auto& [middle, red, green] : std::initializer_list<std::tuple<int, bool, bool>>{
             {90, false, true}, {150, true, true}, {210, true, false}}) {
        for (int y = 40; y < 60; ++y)
            for (int x = middle - 10; x < middle + 10; ++x) {
                const QRgb p = spherePicture.pixel(x, y);
                EXPECT_FALSE(Black(p) && !Black(dotPicture.pixel(x, y))) << x << "," << y;
                if (Black(p)) continue;
                const int lead = std::max({qRed(p), qGreen(p), qBlue(p)});
                EXPECT_TRUE((qRed(p) == lead) == red && (qGreen(p) == lead) == green && qBlue(p) < lead)
                    << x << "," << y;
            }
    }
    // Lit from the upper left: the upper left of a disc is brighter than its lower right.
    const QRgb upperLeft = spherePicture.pixel(147, 47), lowerRight = spherePicture.pixel(153, 53);
    EXPECT_GT(qRed(upperLeft) + qGreen(upperLeft), qRed(lowerRight) + qGreen(lowerRight));
}

// Taon 1 farther from the viewer than taon 2 (the viewer sits on the side of the larger rotated y), apart
// across the scene; both of kind 1.
World FarAndNear(Extended apart) {
    World world;
    world.TaonPresent[1] = world.TaonPresent[2] = true;
    world.ScenePosY[1] = -1, world.ScenePosY[2] = 1;
    world.ScenePosX[1] = -apart / 2, world.ScenePosX[2] = apart / 2;
    return world;
}

TEST(TaonStyle, SpheresAreDrawnBackToFrontTheNearestLightestAndPickedSo) {
    ViewState view;
    view.Style = TaonStyle::Spheres;
    view.ViewScale = 60;
    view.SphereRadius = 0.4L; // 12 pixels
    // Apart on the screen: the nearer is lighter at the same place of its disc.
    const QImage apart = TaonPicture(FarAndNear(2), view, 200, 100);
    EXPECT_GT(qGreen(apart.pixel(130, 50)), qGreen(apart.pixel(70, 50)) + 30);
    // One over the other (the far one of another kind's colour): the near one covers it, until turned round.
    World over = FarAndNear(0.2L);
    over.TaonPresent[1] = false, over.TaonPresent[81] = true;
    over.ScenePosX[81] = over.ScenePosX[1], over.ScenePosY[81] = over.ScenePosY[1];
    const QRgb middle = TaonPicture(over, view, 200, 100).pixel(100, 50);
    EXPECT_GT(qGreen(middle), qRed(middle)) << "the near lime taon is in front of the far red one";
    ViewState turned = view;
    turned.ViewPhi = 3.14159265358979L;
    const QRgb behind = TaonPicture(over, turned, 200, 100).pixel(100, 50);
    EXPECT_GT(qRed(behind), qGreen(behind));

    // Picking: 3 pixels apart, both discs cover the middle, and the nearer one (2) is the one seen; its disc
    // is picked up to 5 pixels beyond its edge, far beyond the dots' 5 pixels from their middle.
    World world = FarAndNear(0.2L);
    TaonPicture(world, view, 200, 100); // projects
    for (const auto& [x, taon] : std::initializer_list<std::pair<int, int>>{
             {100, 2}, {113, 2}, {100 + 3 + 12 + 5, 2}, {100 + 3 + 12 + 7, 0}})
        EXPECT_EQ(NearestDot(view, world, x, 50), taon) << x;
    view.Style = TaonStyle::Dots;
    EXPECT_EQ(NearestDot(view, world, 113, 50), 0);
}

} // namespace
} // namespace taonscope
