// SPDX-License-Identifier: GPL-3.0-or-later
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

// The names in a folder, and the bytes of every file in it, to see that nothing changed.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    if (!std::filesystem::exists(folder)) return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        files[entry.path().string()] = entry.is_regular_file() ? test::ReadAll(entry.path().string()) : "/";
    return files;
}

} // namespace

TEST(Plan, CellsRunOverTheFirstParameterSlowestAndTheRepetitionFastest) {
    const AtlasSweep sweep = ParseSweep(SmallSweep);
    const std::vector<AtlasCell> cells = PlanCells(sweep);
    ASSERT_EQ(cells.size(), 12u);
    const struct {
        int index, repetition;
        std::uint64_t seed;
        Extended a, b;
    } expected[] = {{1, 0, 5, 0.5L, 2}, {2, 1, 6, 0.5L, 2}, {3, 0, 5, 0.5L, 3},  {4, 1, 6, 0.5L, 3},
                    {5, 0, 5, 1, 2},    {8, 1, 6, 1, 3},    {11, 0, 5, 1.5L, 3}, {12, 1, 6, 1.5L, 3}};
    for (const auto& e : expected) {
        const AtlasCell& cell = cells[static_cast<std::size_t>(e.index - 1)];
        EXPECT_EQ(cell.Index, e.index);
        EXPECT_EQ(cell.Repetition, e.repetition) << e.index;
        EXPECT_EQ(cell.Seed, e.seed) << e.index;
        EXPECT_EQ(cell.Values, (std::vector<Extended>{e.a, e.b})) << e.index;
    }
    EXPECT_EQ(CellListCsv(sweep).substr(0, 40), "cell,seed,A,B1\n1,5,0.5,2\n2,6,0.5,2\n3,5,0");
}

TEST(Plan, CellsStartFromTheBaseWithTheirSeedAndValues) {
    test::TempDir dir;
    test::WriteAll(dir.File("small.atlas.json"), SmallSweep);
    const AtlasPlan plan = WritePlan(dir.File("small.atlas.json"), dir.File("atlas"));
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

TEST(Plan, RefusesBeforeWritingAnything) {
    test::TempDir dir;
    test::WriteAll(dir.File("small.atlas.json"), SmallSweep);
    test::WriteAll(dir.File("other.atlas.json"),
                   std::string(SmallSweep).replace(std::string(SmallSweep).find("20"), 2, "30"));
    test::WriteAll(
        dir.File("nofile.atlas.json"),
        R"({"base": {"file": "missing.tao"}, "vary": [{"parameter": "A1", "from": 1, "to": 2, "count": 2}],
                       "protocol": {"steps": 5}})");
    ASSERT_NO_THROW(WritePlan(dir.File("small.atlas.json"), dir.File("planned")));
    std::filesystem::create_directory(dir.path() / "busy");
    test::WriteAll(dir.File("busy/notes.txt"), "mine");
    const struct {
        std::string sweep, folder, says;
    } cases[] = {
        {"nofile.atlas.json", "new",
         "nofile.atlas.json: base.file: " + dir.File("missing.tao") + ": File not found"},
        {"absent.atlas.json", "new", "absent.atlas.json: File not found"},
        {"other.atlas.json", "planned",
         "planned belongs to another sweep: its sweep.atlas.json differs from"},
        {"small.atlas.json", "busy", "busy holds other files and no sweep"},
        {"small.atlas.json", "busy/notes.txt", "notes.txt is not a folder"},
    };
    for (const auto& c : cases) {
        const auto before = Snapshot(dir.path());
        try {
            WritePlan(dir.File(c.sweep), dir.File(c.folder));
            ADD_FAILURE() << c.sweep << " planned into " << c.folder;
        } catch (const AtlasError& error) {
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
        }
        EXPECT_EQ(Snapshot(dir.path()), before) << c.sweep;
    }
    // The same sweep again: nothing changes, and the cells done stay done.
    const AtlasPlan plan = LoadPlan(dir.File("planned"));
    ASSERT_TRUE(RunAndKeepCell(plan, 3));
    const auto before = Snapshot(dir.path());
    WritePlan(dir.File("small.atlas.json"), dir.File("planned"));
    EXPECT_EQ(Snapshot(dir.path()), before);
    EXPECT_EQ(DoneCells(plan), std::vector<int>{3});
}

TEST(Plan, APlanCutShortIsPlannedAgain) {
    test::TempDir dir;
    test::WriteAll(dir.File("s.atlas.json"), SmallSweep);
    WritePlan(dir.File("s.atlas.json"), dir.File("cut"));
    std::filesystem::remove(dir.File("cut/cells.csv")); // as a plan killed before its last file
    EXPECT_THROW(LoadPlan(dir.File("cut")), AtlasError);
    WritePlan(dir.File("s.atlas.json"), dir.File("cut"));
    EXPECT_NO_THROW(LoadPlan(dir.File("cut")));
}

TEST(Plan, ACellKeepsItsResultLastAndIsDoneOnce) {
    test::TempDir dir;
    test::WriteAll(dir.File("s.atlas.json"), SmallSweep);
    const AtlasPlan plan = WritePlan(dir.File("s.atlas.json"), dir.File("a"));
    ASSERT_TRUE(RunAndKeepCell(plan, 7));
    const std::string result = test::ReadAll(plan.Folder.ResultFile(7));
    const CellRecord record = ParseCellRecord(plan.Sweep, result);
    EXPECT_EQ(record.Index, 7);
    EXPECT_EQ(record.Steps, 20);
    EXPECT_EQ(record.Seed, 5u);
    // The record is the run's, and its configuration the world where the run ended.
    const CellRun again = RunCell(plan, 7);
    EXPECT_EQ(CellRecordJson(plan.Sweep, again.Record), result);
    EXPECT_EQ(test::LoadWorld(plan.Folder.ConfigurationFile(7)).PosX, again.End.PosX);
    EXPECT_NE(test::ReadAll(dir.File("a/cells/000007.txt")).find("Atlas cell 7 of 12"), std::string::npos);
    EXPECT_FALSE(RunAndKeepCell(plan, 7));
    EXPECT_EQ(test::ReadAll(plan.Folder.ResultFile(7)), result);
    // A result of another cell, or of other values, is not this cell's.
    EXPECT_THROW(ParseCellRecord(plan.Sweep,
                                 std::string(result).replace(result.find("\"cell\": 7"), 9, "\"cell\": 8")),
                 AtlasError);
    EXPECT_THROW(ParseCellRecord(plan.Sweep, "{\"cell\": 99}"), AtlasError);
}

TEST(Plan, TheMergeIsAFunctionOfTheCellFilesAlone) {
    test::TempDir dir;
    test::WriteAll(dir.File("s.atlas.json"), SmallSweep);
    const AtlasPlan plan = WritePlan(dir.File("s.atlas.json"), dir.File("a"));
    for (const int index : {12, 3, 1, 5}) RunAndKeepCell(plan, index);
    EXPECT_THROW(MergeAtlas(dir.File("a")), AtlasError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("a/atlas.csv")));
    const Atlas partial = ReadAtlas(dir.File("a"));
    ASSERT_EQ(partial.Records.size(), 4u);
    EXPECT_EQ(partial.Records[0].Index, 1);
    EXPECT_EQ(partial.Records[3].Index, 12);
    for (int index = 1; index <= 12; ++index) RunAndKeepCell(plan, index);
    MergeAtlas(dir.File("a"));
    const std::string csv = test::ReadAll(dir.File("a/atlas.csv"));
    EXPECT_EQ(
        csv.substr(0, csv.find('\n')),
        "cell,seed,A,B1,outcome,clusters,largest_cluster,kinetic,pair_energy,steps,isolated,taons,shape,"
        "largest_speed,cutoff,message");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 13);
    // Without the timings, and whatever was written before, the same cell files make the same bytes.
    std::filesystem::remove_all(dir.File("a/atlas.csv"));
    for (int index = 1; index <= 12; ++index) std::filesystem::remove(plan.Folder.SecondsFile(index));
    MergeAtlas(dir.File("a"));
    EXPECT_EQ(test::ReadAll(dir.File("a/atlas.csv")), csv);
    EXPECT_EQ(test::ReadAll(dir.File("a/timings.csv")).substr(0, 20), "cell,seconds\n1,\n2,\n3");
}

} // namespace taonscope
