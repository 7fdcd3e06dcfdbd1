// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/MemoryCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

namespace taonscope {
namespace {

using test::MemoryCanvas;
constexpr Rgb Background{1, 2, 3};

TEST(Canvas, LinesIncludeTheStartAndExcludeTheEndPixel) {
    MemoryCanvas canvas(20, 20);
    canvas.SetPenColor(Colours::Red);
    canvas.MoveTo(2, 3);
    canvas.LineTo(8, 3);
    for (int x = 2; x < 8; ++x) EXPECT_EQ(canvas.At(x, 3), Colours::Red) << x;
    EXPECT_EQ(canvas.At(8, 3), Background);
    EXPECT_EQ(canvas.Count(Colours::Red), 6);

    canvas.LineTo(8, 9); // continues from the end of the last line
    EXPECT_EQ(canvas.At(8, 3), Colours::Red);
    EXPECT_EQ(canvas.At(8, 8), Colours::Red);
    EXPECT_EQ(canvas.At(8, 9), Background);
}

TEST(Canvas, DiagonalAndSteepLinesAreOnePixelWide) {
    MemoryCanvas canvas(20, 20);
    canvas.SetPenColor(Colours::White);
    canvas.MoveTo(0, 0);
    canvas.LineTo(5, 5);
    EXPECT_EQ(canvas.Count(Colours::White), 5);
    for (int n = 0; n < 5; ++n) EXPECT_EQ(canvas.At(n, n), Colours::White);

    MemoryCanvas steep(20, 20);
    steep.SetPenColor(Colours::White);
    steep.MoveTo(10, 19);
    steep.LineTo(7, 1); // one pixel per row
    EXPECT_EQ(steep.Count(Colours::White), 18);
    EXPECT_EQ(steep.At(10, 19), Colours::White);
    EXPECT_EQ(steep.At(7, 1), Background);
}

TEST(Canvas, AtHalfASlopeTheTieStepsAcrossAsTheLineGoes) {
    using Pixels = std::vector<std::pair<int, int>>;
    for (const auto& [from, to, expected] :
         {std::tuple{std::pair{0, 0}, std::pair{4, 2}, Pixels{{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
          std::tuple{std::pair{4, 2}, std::pair{0, 0}, Pixels{{4, 2}, {3, 1}, {2, 1}, {1, 0}}}}) {
        MemoryCanvas canvas(6, 4);
        canvas.SetPenColor(Colours::White);
        canvas.MoveTo(from.first, from.second);
        canvas.LineTo(to.first, to.second);
        Pixels drawn;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                if (canvas.At(x, y) == Colours::White) drawn.push_back({x, y});
        std::sort(drawn.begin(), drawn.end());
        Pixels sorted = expected;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(drawn, sorted) << from.first << "," << from.second;
    }
}

TEST(Canvas, AZeroLengthLineDrawsNothing) {
    MemoryCanvas canvas(5, 5);
    canvas.SetPenColor(Colours::Red);
    canvas.MoveTo(2, 2);
    canvas.LineTo(2, 2);
    EXPECT_EQ(canvas.Count(Colours::Red), 0);
}

TEST(Canvas, LinesReachingFarOutsideDrawTheirVisiblePart) {
    MemoryCanvas canvas(100, 50);
    canvas.SetPenColor(Colours::Red);
    canvas.MoveTo(-2000000000, 10);
    canvas.LineTo(2000000000, 10);
    for (int x = 0; x < 100; ++x) EXPECT_EQ(canvas.At(x, 10), Colours::Red) << x;
    canvas.MoveTo(50, -2000000000);
    canvas.LineTo(50, 40);
    EXPECT_EQ(canvas.At(50, 0), Colours::Red);
    EXPECT_EQ(canvas.At(50, 39), Colours::Red);
    EXPECT_EQ(canvas.At(50, 40), Background);
}

TEST(Canvas, RectangleFillsWithTheBrushAndOutlinesWithThePen) {
    MemoryCanvas canvas(10, 10);
    canvas.SetBrushColor(Colours::Yellow);
    canvas.SetPenColor(Colours::Red);
    canvas.Rectangle(2, 2, 7, 6);
    EXPECT_EQ(canvas.At(2, 2), Colours::Red);
    EXPECT_EQ(canvas.At(6, 5), Colours::Red);
    EXPECT_EQ(canvas.At(4, 3), Colours::Yellow);
    EXPECT_EQ(canvas.At(7, 6), Background);
    EXPECT_EQ(canvas.Count(Colours::Yellow), 3 * 2);
    canvas.Rectangle(-5, -5, 100, 100); // clipped, no fault
    EXPECT_EQ(canvas.At(0, 0), Colours::Yellow);
}

} // namespace
} // namespace taonscope
