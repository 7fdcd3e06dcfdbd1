// SPDX-License-Identifier: GPL-3.0-or-later
#include "atlas/Map.h"

#include <gtest/gtest.h>

#include <set>

namespace taonscope {

namespace {

// An atlas of a sweep whose records are made up here: cell i has i - 1 clusters, and cells listed in
// faulted have faulted; cells in missing are not done.
Atlas MadeUpAtlas(const std::string& vary, int repetitions, const std::set<int>& missing = {},
                  const std::set<int>& faulted = {}) {
    Atlas atlas;
    atlas.Plan.Folder.Dir = "made-up";
    atlas.Plan.Sweep =
        ParseSweep(R"({"base": {"scenario": "cloud"}, "vary": )" + vary + R"(, "repetitions": )" +
                   std::to_string(repetitions) + R"(, "protocol": {"steps": 1}})");
    for (const AtlasCell& cell : PlanCells(atlas.Plan.Sweep)) {
        if (missing.count(cell.Index)) continue;
        CellRecord record;
        record.Index = cell.Index;
        record.Seed = cell.Seed;
        record.Values = cell.Values;
        record.Result.Clusters = cell.Index - 1;
        record.Result.Kind = faulted.count(cell.Index) ? Outcome::Faulted : Outcome::SeveralClusters;
        atlas.Records.push_back(record);
    }
    return atlas;
}

const MapTile& TileOf(const MapLayout& map, int cell) {
    for (const MapTile& tile : map.Tiles)
        if (tile.Cell == cell) return tile;
    throw std::runtime_error("no tile of cell " + std::to_string(cell));
}

} // namespace

TEST(Map, EveryCellHasOneTileThatItsPixelsPointTo) {
    const struct {
        std::string vary;
        int repetitions;
        std::size_t panels;
    } cases[] = {
        {R"([{"parameter": "A", "from": 1, "to": 2, "count": 5}])", 3, 1},
        {R"([{"parameter": "A", "from": 1, "to": 2, "count": 4}, {"parameter": "dt", "from": 0.001, "to": 0.01,
             "count": 3}])",
         2, 1},
        {R"([{"parameter": "A", "from": 1, "to": 2, "count": 3}, {"parameter": "B", "from": 2, "to": 3, "count": 2},
             {"parameter": "C1", "from": 4, "to": 6, "count": 5}])",
         1, 5},
        {R"([{"parameter": "A", "from": 1, "to": 2, "count": 40}, {"parameter": "B", "from": 2, "to": 3,
             "count": 30}])",
         1, 1},
    };
    for (const auto& c : cases) {
        const Atlas atlas = MadeUpAtlas(c.vary, c.repetitions);
        const MapLayout map = LayOutMap(atlas, MapColour::Outcome, 900, 600);
        const int cells = atlas.Plan.Sweep.CellCount();
        ASSERT_EQ(map.Tiles.size(), static_cast<std::size_t>(cells)) << c.vary;
        EXPECT_EQ(map.Panels.size(), c.panels) << c.vary;
        std::set<int> seen;
        for (const MapTile& tile : map.Tiles) {
            seen.insert(tile.Cell);
            const MapRect& box = tile.Box;
            EXPECT_TRUE(box.Width >= 1 && box.X >= 0 && box.X + box.Width <= map.Width &&
                        box.Y + box.Height <= map.Height)
                << "cell " << tile.Cell;
            const MapTile* found = map.TileAt(box.X + box.Width / 2, box.Y + box.Height / 2);
            ASSERT_NE(found, nullptr) << "cell " << tile.Cell;
            EXPECT_EQ(found->Cell, tile.Cell);
            EXPECT_EQ(atlas.Records[static_cast<std::size_t>(tile.Record)].Index, tile.Cell);
        }
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(cells));
        EXPECT_EQ(map.TileAt(0, 0), nullptr);
    }
}

TEST(Map, TheFirstParameterRunsRightTheSecondUpAndRepetitionsSideBySide) {
    const Atlas atlas = MadeUpAtlas(R"([{"parameter": "A", "from": 1, "to": 3, "count": 3},
        {"parameter": "B", "from": 2, "to": 3, "count": 2}])",
                                    2);
    const MapLayout map = LayOutMap(atlas, MapColour::Outcome, 800, 500);
    // Cell 1: A 1, B 2, seed 1; cell 2 its repetition; cell 3: A 1, B 3; cell 5: A 2, B 2.
    EXPECT_EQ(TileOf(map, 2).Box.X, TileOf(map, 1).Box.X + TileOf(map, 1).Box.Width);
    EXPECT_EQ(TileOf(map, 2).Box.Y, TileOf(map, 1).Box.Y);
    EXPECT_LT(TileOf(map, 3).Box.Y, TileOf(map, 1).Box.Y);
    EXPECT_EQ(TileOf(map, 3).Box.X, TileOf(map, 1).Box.X);
    EXPECT_GT(TileOf(map, 5).Box.X, TileOf(map, 2).Box.X);
    EXPECT_EQ(TileOf(map, 5).Box.Y, TileOf(map, 1).Box.Y);
    // The values label their columns and rows.
    std::set<std::string> labels;
    for (const MapLabel& label : map.Labels) labels.insert(label.Text);
    for (const char* text : {"1", "2", "3", "A", "B"}) EXPECT_TRUE(labels.count(text)) << text;
}

TEST(Map, ColoursTellOutcomesNumbersAndCellsNotDone) {
    const std::string vary = R"([{"parameter": "dt", "from": 0.001, "to": 0.004, "count": 4}])";
    const Atlas atlas = MadeUpAtlas(vary, 1, {3}, {2});
    const MapLayout outcomes = LayOutMap(atlas, MapColour::Outcome, 600, 400);
    EXPECT_EQ(TileOf(outcomes, 1).Colour, OutcomeColour(Outcome::SeveralClusters));
    EXPECT_EQ(TileOf(outcomes, 2).Colour, OutcomeColour(Outcome::Faulted));
    EXPECT_EQ(TileOf(outcomes, 3).Colour, NoColour);
    EXPECT_EQ(TileOf(outcomes, 3).Record, -1);
    std::set<std::string> legend;
    for (const MapLegendEntry& entry : outcomes.Legend) legend.insert(entry.Text);
    for (const Outcome outcome : AllOutcomes) EXPECT_TRUE(legend.count(OutcomeName(outcome)));
    EXPECT_TRUE(legend.count("not done"));

    // Clusters 0, 1 and 3: the least and the most take the ends of the scale, each its own colour.
    const MapLayout clusters = LayOutMap(atlas, MapColour::Clusters, 600, 400);
    std::set<std::tuple<int, int, int>> colours;
    for (const int cell : {1, 2, 4}) {
        const MapRgb c = TileOf(clusters, cell).Colour;
        colours.insert({c.R, c.G, c.B});
    }
    EXPECT_EQ(colours.size(), 3u);
    EXPECT_EQ(clusters.Legend.front().Text, "3");
    EXPECT_EQ(clusters.Legend.front().Colour, TileOf(clusters, 4).Colour);
    EXPECT_EQ(TileOf(clusters, 3).Colour, NoColour);
}

TEST(Map, LabelsWriteAtMostFourDigits) {
    EXPECT_EQ(MapNumber(0.5L), "0.5");
    EXPECT_EQ(MapNumber(2.718281828L), "2.718");
    EXPECT_EQ(MapNumber(0.0063245553L), "0.006325");
    EXPECT_EQ(MapNumber(1.25e-5L), "1.25E-5");
    EXPECT_EQ(MapNumber(3e12L), "3E12");
}

} // namespace taonscope
