// SPDX-License-Identifier: GPL-3.0-or-later
// Colouring the taons by cluster, bonds or speed, the legend that says what the colours mean, and bonds
// as lines under the taons.
#include "view/Colouring.h"

#include "support/MemoryCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace taonscope {
namespace {

using test::MemoryCanvas;

// Slots 1 .. 2n + 3: n pairs (clusters 0 .. n - 1), then three taons alone; taon j moves at speed j.
World Pairs(int n, SceneStructure& s) {
    World world;
    s.Cluster.fill(-1);
    for (int j = 1; j <= 2 * n + 3; ++j) {
        world.TaonPresent[j] = true;
        world.VelZ[j] = j;
        const int cluster = j <= 2 * n ? (j - 1) / 2 : n + j - 2 * n - 1;
        s.Cluster[j] = cluster;
        s.Coordination[j] = j <= 2 * n ? 1 : 0;
    }
    s.ClusterSizes.assign(static_cast<std::size_t>(n), 2);
    s.ClusterSizes.insert(s.ClusterSizes.end(), 3, 1);
    s.Cutoff = 3.25L;
    return world;
}

std::vector<std::string> Texts(const TaonColouring& c) {
    std::vector<std::string> texts;
    for (const LegendEntry& entry : c.Legend) texts.push_back(entry.text);
    return texts;
}

TEST(Colouring, EachChoiceHasItsColoursAndLegend) {
    SceneStructure s;
    const World world = Pairs(10, s);
    const struct {
        ColourBy by;
        std::vector<std::string> legend;
    } cases[] = {
        {ColourBy::Kind, {}},
        {ColourBy::Cluster,
         {"Clusters (cutoff 3.25)", "1: 2 taons", "2: 2 taons", "3: 2 taons", "4: 2 taons", "5: 2 taons",
          "6: 2 taons", "7: 2 taons", "8: 2 taons", "and 2 more", "alone: 3 taons"}},
        {ColourBy::Coordination, {"Bonds (cutoff 3.25)", "0: 3 taons", "1: 20 taons"}},
        {ColourBy::Speed, {"Speed", "0", "5.75", "11.5", "17.2", "23"}},
    };
    for (const auto& c : cases) {
        const TaonColouring colouring = ColourTaons(c.by, world, s);
        EXPECT_EQ(Texts(colouring), c.legend);
        for (std::size_t n = 0; n < colouring.Legend.size(); ++n)
            EXPECT_EQ(colouring.Legend[n].swatch, n > 0 && colouring.Legend[n].text.rfind("and ", 0) != 0);
        const auto& colour = colouring.Colour;
        switch (c.by) {
        case ColourBy::Kind:
            EXPECT_EQ(colour[1], Colours::Lime);
            break;
        case ColourBy::Cluster: // ten colours in turn, the same for the two of a pair, grey for the lone
            EXPECT_EQ(colour[1], colour[2]);
            EXPECT_NE(colour[2], colour[3]);
            EXPECT_EQ(colour[1], ClusterColour(0));
            EXPECT_EQ(colour[19], ClusterColour(9));
            EXPECT_EQ(colour[21], LoneColour);
            EXPECT_EQ(colouring.Legend[1].colour, ClusterColour(0));
            break;
        case ColourBy::Coordination:
            EXPECT_EQ(colour[1], colour[20]);
            EXPECT_EQ(colour[21], LoneColour);
            EXPECT_NE(colour[1], LoneColour);
            break;
        case ColourBy::Speed: // from the slowest to the fastest along the scale of the legend
            EXPECT_EQ(colour[23], colouring.Legend.back().colour);
            EXPECT_NE(colour[1], colour[23]);
            break;
        }
    }
}

TEST(Colouring, TheLegendSitsInTheTopRightCornerAndBondsRunBetweenTheDots) {
    SceneStructure s;
    World world = Pairs(1, s);
    world.ScenePosX[1] = -1, world.ScenePosX[2] = 1; // 60 pixels either side of the middle
    world.ScenePosZ[3] = world.ScenePosZ[4] = world.ScenePosZ[5] = 0.5L; // 30 pixels below it
    MemoryCanvas canvas(200, 120);
    ViewState view;
    UpdateSceneCentre(view, 200, 120);
    SceneExtras extras;
    const TaonColouring colouring = ColourTaons(ColourBy::Cluster, world, s);
    const std::vector<SlotPair> bonds = {{1, 2}, {2, 7}, {1, 99}}; // 7 and 99 are not present
    extras.colours = &colouring.Colour;
    extras.bonds = &bonds;
    extras.legend = colouring.Legend;
    DrawTaons(canvas, view, world, {200, 120}, extras);
    EXPECT_EQ(canvas.At(100, 60), BondColour);
    EXPECT_EQ(canvas.Count(BondColour), 118) << "one line from dot to dot, under the dots";
    EXPECT_EQ(canvas.At(40, 60), ClusterColour(0));
    // Its longest line, 22 characters of 6 pixels, ends 3 pixels from the right edge; each line after a
    // square of 8 pixels and a gap of 4.
    ASSERT_EQ(canvas.texts.size(), 3u);
    for (const auto& text : canvas.texts) EXPECT_EQ(text.x, 200 - 3 - 6 * 22) << text.text;
    EXPECT_EQ(canvas.texts[0].y + 13, canvas.texts[1].y);
    EXPECT_EQ(canvas.At(200 - 3 - 6 * 22 - 4 - 8, 3 + 13 + 2), ClusterColour(0))
        << "the square before its text";
    EXPECT_EQ(canvas.At(200 - 3 - 6 * 22 - 4 - 8, 3 + 2), Colours::Black) << "no square before the heading";
}

} // namespace
} // namespace taonscope
