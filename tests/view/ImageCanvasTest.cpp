// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/ImageCanvas.h"
#include "view/Figures.h"
#include "view/Scene.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace taonscope {
namespace {

QRgb ToQRgb(Rgb colour) {
    return qRgb(colour.r, colour.g, colour.b);
}

QImage Blank(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(9, 9, 9));
    return image;
}

TEST(ImageCanvas, DrawsTaonNumbersOpaqueOnBlack) {
    QImage image = Blank(200, 120);
    ImageCanvas canvas(image);
    World world;
    world.TaonPresent[7] = true;
    world.ScenePosZ[7] = -10 / 60.0L; // pixel (100, 50) of a 200 x 120 scene
    ViewState view;
    UpdateSceneCentre(view, 200, 120);
    view.ShowNumbersOn = true;
    DrawTaons(canvas, view, world, {200, 120});

    for (int x : {100, 101})
        for (int y : {50, 51}) EXPECT_EQ(image.pixel(x, y), ToQRgb(Colours::Lime));
    // The "7" starts at (102, 52): only lime and black there, some of each; nothing lime left of it or above.
    int lime = 0, black = 0;
    for (int y = 52; y < 52 + 11; ++y)
        for (int x = 102; x < 102 + 6; ++x) {
            lime += image.pixel(x, y) == ToQRgb(Colours::Lime);
            black += image.pixel(x, y) == ToQRgb(Colours::Black);
        }
    EXPECT_GT(lime, 3);
    EXPECT_GT(black, 3);
    EXPECT_EQ(lime + black, 6 * 11);
    for (int y = 0; y < 120; ++y) EXPECT_NE(image.pixel(99, y), ToQRgb(Colours::Lime));
    for (int x = 102; x < 110; ++x) EXPECT_NE(image.pixel(x, 49), ToQRgb(Colours::Lime));
}

TEST(ImageCanvas, ATaonNumberCoversADotOfAnotherColourBeneathIt) {
    QImage image = Blank(200, 120);
    ImageCanvas canvas(image);
    World world;
    world.TaonPresent[7] = world.TaonPresent[60] = true; // lime and yellow
    world.ScenePosZ[7] = -10 / 60.0L;                    // pixel (100, 50)
    world.ScenePosX[60] = 4 / 60.0L;
    world.ScenePosZ[60] = -5 / 60.0L;
    ViewState view;
    UpdateSceneCentre(view, 200, 120);
    view.ShowNumbersOn = true;
    DrawTaons(canvas, view, world, {200, 120});
    const int x = view.ScreenX[60], y = view.ScreenY[60];
    // The yellow dot lies inside the box of the "7" written at (102, 52), left of and above the "60".
    ASSERT_EQ(view.ScreenX[7], 100);
    ASSERT_EQ(view.ScreenY[7], 50);
    ASSERT_TRUE(x >= 102 && x + 1 < 102 + 6 && y >= 52 && y + 1 < 52 + 11) << x << ", " << y;
    int lime = 0, black = 0;
    for (int py = y; py <= y + 1; ++py)
        for (int px = x; px <= x + 1; ++px) {
            const QRgb pixel = image.pixel(px, py);
            EXPECT_NE(pixel, ToQRgb(Colours::Yellow)) << px << ", " << py;
            lime += pixel == ToQRgb(Colours::Lime);
            black += pixel == ToQRgb(Colours::Black);
        }
    EXPECT_EQ(lime + black, 4);
    EXPECT_GT(black, 0) << "the whole dot is under the strokes of the 7: move it";
}

TEST(ImageCanvas, ClipsAtTheEdges) {
    QImage image = Blank(20, 10);
    ImageCanvas canvas(image);
    canvas.SetPenColor(Colours::White);
    canvas.MoveTo(-5, 5);
    canvas.LineTo(30, 5);
    EXPECT_EQ(image.pixel(0, 5), ToQRgb(Colours::White));
    EXPECT_EQ(image.pixel(19, 5), ToQRgb(Colours::White));
    const QImage lined = image.copy();
    canvas.SetPixel(20, 5, Colours::Red);
    canvas.SetPixel(-1, -1, Colours::Red);
    EXPECT_EQ(image, lined);
    // Text that runs over the corner paints the part inside it, opaque on the brush, and nothing else.
    canvas.SetBrushColor(Colours::Black);
    canvas.TextOut(15, 8, "100");
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            if (x < 15 || y < 8)
                EXPECT_EQ(image.pixel(x, y), lined.pixel(x, y)) << x << ", " << y;
            else
                EXPECT_NE(image.pixel(x, y), qRgb(9, 9, 9)) << x << ", " << y;
}

TEST(ImageCanvas, TheFigureIsAWhiteAndRedWireFrame) {
    QImage image = Blank(300, 200);
    ImageCanvas canvas(image);
    ViewState view;
    UpdateSceneCentre(view, 300, 200);
    World world;
    world.ShowingFigure = true;
    GenerateFigure(world, view);
    Redraw(canvas, view, world, {300, 200});
    int white = 0, red = 0, other = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const QRgb pixel = image.pixel(x, y);
            white += pixel == ToQRgb(Colours::White);
            red += pixel == ToQRgb(Colours::Red);
            other += pixel != ToQRgb(Colours::Black) && pixel != ToQRgb(Colours::White) &&
                     pixel != ToQRgb(Colours::Red);
        }
    EXPECT_GT(white, 20);
    EXPECT_GT(red, 200);
    EXPECT_EQ(other, 0) << "no smoothing: every pixel is black, white or red";
}

} // namespace
} // namespace taonscope

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
