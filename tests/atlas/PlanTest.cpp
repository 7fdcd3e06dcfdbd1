// SPDX-License-Identifier: GPL-3.0-or-later
// The plan, the cells and the merge through the library; the refusals, the order of the cells and the
// determinism of the whole through the command line: tests/cli/AtlasCommandTest.cpp.
#include "atlas/Cell.h"
#include "atlas/Merge.h"

#include "document/FileIo.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace taonscope {

namespace {

constexpr const char* SmallSweep =
    R"({"base": {"scenario": "cloud", "seed": 5, "side": 8, "kinds": [6, 4, 2]},
  "vary": [{"parameter": "A", "from": 0.5, "to": 1.5, "count": 3},
           {"parameter": "B1", "from": 2, "to": 3, "count": 2}],
  "repetitions": 2, "protocol": {"steps": 20, "cool": true}})";

// The plan of SmallSweep in dir/name.
AtlasPlan Planned(const test::TempDir& dir, const std::string& name) {
    test::WriteAll(dir.File("s.atlas.json"), SmallSweep);
    return WritePlan(dir.File("s.atlas.json"), dir.File(name));
}

} // namespace

TEST(Plan, CellsStartFromTheBaseWithTheirSeedAndValues) {
    test::TempDir dir;
    const AtlasPlan plan = Planned(dir, "atlas");
    EXPECT_EQ(test::ReadAll(dir.File("atlas/cells.csv")).substr(0, 40),
              "cell,seed,A,B1\n1,5,0.5,2\n2,6,0.5,2\n3,5,0");
    const World first = CellStart(plan, CellOf(plan.Sweep, 11));
    const World second = CellStart(plan, CellOf(plan.Sweep, 12));
    for (const World* w : {&first, &second}) {
        EXPECT_EQ(w->A1, 1.5L);
        EXPECT_EQ(w->A2, 1.5L);
        EXPECT_EQ(w->A3, 1.5L);
        EXPECT_EQ(w->B1, 3);
        EXPECT_EQ(w->B2, 3.1L); // the cloud's own, not varied
    }
    CloudOptions options = plan.Sweep.Base.Cloud;
    EXPECT_EQ(first.PosX, CloudWorld(options).PosX);
    options.Seed = 6;
    EXPECT_EQ(second.PosX, CloudWorld(options).PosX);
    EXPECT_NE(first.PosX, second.PosX);
}

TEST(Plan, AFileBaseIsCopiedAndReadBesideTheSweep) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "sweeps");
    World start = RingWorld();
    start.dt = 0.002L;
    test::SaveWorld(dir.File("sweeps/ring.tao"), start);
    test::WriteAll(dir.File("sweeps/ring.atlas.json"), R"({"base": {"file": "ring.tao"},
        "vary": [{"parameter": "C1", "from": 4, "to": 6, "count": 2}], "protocol": {"steps": 5}})");
    const AtlasPlan plan = WritePlan(dir.File("sweeps/ring.atlas.json"), dir.File("out"));
    EXPECT_EQ(test::ReadAll(dir.File("out/base.tao")), test::ReadAll(dir.File("sweeps/ring.tao")));
    std::filesystem::remove(dir.File("sweeps/ring.tao")); // the cells need only the folder
    const World cell = CellStart(LoadPlan(dir.File("out")), CellOf(plan.Sweep, 2));
    EXPECT_EQ(cell.PosX, start.PosX);
    EXPECT_EQ(cell.dt, 0.002L);
    EXPECT_EQ(cell.C1, 6);
    EXPECT_FALSE(CellOf(plan.Sweep, 1).Seed);
}

TEST(Plan, APlanCutShortIsPlannedAgain) {
    test::TempDir dir;
    Planned(dir, "cut");
    std::filesystem::remove(dir.File("cut/cells.csv")); // as a plan killed before its last file
    EXPECT_THROW(LoadPlan(dir.File("cut")), AtlasError);
    Planned(dir, "cut");
    EXPECT_NO_THROW(LoadPlan(dir.File("cut")));
}

TEST(Plan, TheMergeIsAFunctionOfTheCellFilesAlone) {
    test::TempDir dir;
    const AtlasPlan plan = Planned(dir, "a");
    for (const int index : {12, 3, 1, 5}) RunAndKeepCell(plan, index);
    EXPECT_THROW(MergeAtlas(dir.File("a")), AtlasError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("a/atlas.csv")));
    const Atlas partial = ReadAtlas(dir.File("a"));
    ASSERT_EQ(partial.Records.size(), 4u);
    EXPECT_EQ(partial.Records[0].Index, 1);
    EXPECT_EQ(partial.Records[3].Index, 12);
    EXPECT_EQ(partial.Records[3].Steps, 20);
    // A result of another cell, or of no cell of this sweep, is not this cell's.
    std::string result = test::ReadAll(plan.Folder.ResultFile(12));
    EXPECT_THROW(ParseCellRecord(plan.Sweep, result.replace(result.find("\"cell\": 12"), 10, "\"cell\": 11")),
                 AtlasError);
    EXPECT_THROW(ParseCellRecord(plan.Sweep, "{\"cell\": 99}"), AtlasError);

    for (int index = 1; index <= 12; ++index) RunAndKeepCell(plan, index);
    MergeAtlas(dir.File("a"));
    const std::string csv = test::ReadAll(dir.File("a/atlas.csv"));
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "cell,seed,A,B1,outcome,clusters,isolated,largest_cluster,"
                                             "kinetic_per_taon,pair_energy_per_taon,steps,"
                                             "taons,shape,"
                                             "largest_speed,cutoff,message");
    // Without the timings, and whatever was written before, the same cell files make the same bytes.
    std::filesystem::remove_all(dir.File("a/atlas.csv"));
    for (int index = 1; index <= 12; ++index) std::filesystem::remove(plan.Folder.SecondsFile(index));
    MergeAtlas(dir.File("a"));
    EXPECT_EQ(test::ReadAll(dir.File("a/atlas.csv")), csv);
    EXPECT_EQ(test::ReadAll(dir.File("a/timings.csv")).substr(0, 20), "cell,seconds\n1,\n2,\n3");
}

} // namespace taonscope
