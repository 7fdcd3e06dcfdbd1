// SPDX-License-Identifier: GPL-3.0-or-later
#include "atlas/Map.h"
#include "cli/Cli.h"
#include "support/ChildProcess.h"
#include "support/CliRun.h"

#include "core/Scenarios.h"
#include "document/ConfigFile.h"
#include "document/FileIo.h"
#include "support/SystemPython.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

namespace taonscope {
namespace {

using test::Cli;
using test::Outcome;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// 8 cells of 20 taons, 200 steps each: a few milliseconds a cell.
constexpr const char* SmallSweep = R"({"title": "small",
  "base": {"scenario": "cloud", "seed": 3, "side": 9, "kinds": [12, 5, 3]},
  "vary": [{"parameter": "A", "from": 0.5, "to": 1.5, "count": 2},
           {"parameter": "B1", "from": 2, "to": 3.2, "count": 4, "spacing": "log"}],
  "protocol": {"steps": 200, "cool": true}})";

// 6 cells of 100 taons, 400 steps each: long enough to be killed while they run.
constexpr const char* SlowSweep = R"({"base": {"scenario": "cloud", "seed": 11},
  "vary": [{"parameter": "dt", "from": 0.001, "to": 0.004, "count": 3}],
  "repetitions": 2, "protocol": {"steps": 400, "cool": true}})";

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Runs the real taonscope-cli with args, its messages thrown away, and kills it (leaving its workers to die
// with it) if it has not ended after ms milliseconds; whether it was killed.
bool KilledWhileRunning(const std::vector<std::string>& args, int ms) {
    const auto run = [&] {
        std::vector<char*> argv{const_cast<char*>(TAONSCOPE_CLI_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::dup2(::open("/dev/null", O_WRONLY), STDERR_FILENO);
        ::execv(TAONSCOPE_CLI_PATH, argv.data());
        return 127;
    };
    return test::RunInChild(run, ms) == test::ChildTimedOut;
}

// Every path under a folder with the bytes of its file, to see that nothing changed.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        files[entry.path().string()] = entry.is_regular_file() ? ReadAll(entry.path().string()) : "/";
    return files;
}

std::string Plan(const TempDir& dir, const std::string& name, const char* sweep) {
    WriteAll(dir.File(name + ".atlas.json"), sweep);
    const Outcome plan = Cli({"atlas", "plan", dir.File(name + ".atlas.json"), dir.File(name)});
    EXPECT_EQ(plan.status, CliOk) << plan.err;
    return dir.File(name);
}

TEST(ScenarioCloud, WithoutOptionsIsTheBuiltInCloudAndOptionsChooseTheCloud) {
    TempDir dir;
    ASSERT_EQ(Cli({"scenario", "cloud", dir.File("cloud.tao")}).status, CliOk);
    // The bytes the cloud had before it took options (FNV-1a).
    std::uint64_t hash = 1469598103934665603ull;
    for (const unsigned char byte : ReadAll(dir.File("cloud.tao"))) hash = (hash ^ byte) * 1099511628211ull;
    EXPECT_EQ(hash, 0xbf8626a88a40b5c7ull);
    ASSERT_EQ(Cli({"scenario", "cloud", dir.File("same.tao"), "--seed", "1", "--side", "30", "--min-distance",
                   "1.5", "--kinds", "50,30,20"})
                  .status,
              CliOk);
    EXPECT_EQ(ReadAll(dir.File("same.tao")), ReadAll(dir.File("cloud.tao")));

    const Outcome made = Cli({"scenario", "cloud", dir.File("c.tao"), "--seed", "18446744073709551615",
                              "--side", "12", "--min-distance", "2.5", "--kinds", "10,0,5"});
    ASSERT_EQ(made.status, CliOk) << made.err;
    const World w = test::LoadWorld(dir.File("c.tao"));
    std::vector<int> present;
    for (int i = 1; i <= MaxTaons; ++i)
        if (w.TaonPresent[i]) present.push_back(i);
    EXPECT_EQ(present, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 81, 82, 83, 84, 85}));
    Extended least = 1e9L;
    for (const int i : present) {
        for (const TaonArray* p : {&w.PosX, &w.PosY, &w.PosZ}) EXPECT_LE(std::abs((*p)[i]), 6);
        for (const int j : present)
            if (j != i)
                least = std::min(
                    least, std::hypot(w.PosX[i] - w.PosX[j], w.PosY[i] - w.PosY[j], w.PosZ[i] - w.PosZ[j]));
    }
    EXPECT_GE(least, 2.5L);
    ASSERT_EQ(Cli({"scenario", "cloud", dir.File("d.tao"), "--seed", "2"}).status, CliOk);
    EXPECT_NE(test::LoadWorld(dir.File("d.tao")).PosX, CloudWorld().PosX);
    EXPECT_EQ(test::LoadWorld(dir.File("d.tao")).PosX, CloudWorld(2).PosX);
}

TEST(Atlas, OneProcessTwoAndCellByCellMakeTheSameBytesAndADoneAtlasIsLeftAlone) {
    TempDir dir;
    const std::string one = Plan(dir, "one", SmallSweep), two = Plan(dir, "two", SmallSweep),
                      cells = Plan(dir, "cells", SmallSweep);
    const Outcome runOne = Cli({"atlas", "run", one, "--jobs", "1"});
    ASSERT_EQ(runOne.status, CliOk) << runOne.err;
    EXPECT_NE(runOne.err.find("running 8 of 8 cells on 1 process"), std::string::npos) << runOne.err;
    EXPECT_NE(runOne.err.find("8 of 8 cells done"), std::string::npos) << runOne.err;
    ASSERT_EQ(Cli({"atlas", "run", two, "--jobs", "2"}).status, CliOk);
    for (int index = 8; index >= 1; --index) {
        const Outcome cell = Cli({"atlas", "cell", cells, std::to_string(index)});
        ASSERT_EQ(cell.status, CliOk) << cell.err;
        EXPECT_NE(cell.err.find("cell " + std::to_string(index) + ": "), std::string::npos) << cell.err;
    }
    ASSERT_EQ(Cli({"atlas", "merge", cells}).status, CliOk);
    const std::string csv = ReadAll(one + "/atlas.csv");
    EXPECT_EQ(Lines(csv), 9);
    EXPECT_EQ(Lines(ReadAll(one + "/timings.csv")), 9);
    for (const std::string& other : {two, cells}) {
        EXPECT_EQ(ReadAll(other + "/atlas.csv"), csv) << other;
        EXPECT_EQ(ReadAll(other + "/atlas.json"), ReadAll(one + "/atlas.json")) << other;
    }

    // Running, planning or running a cell of a done atlas again redoes nothing and changes no byte.
    const auto before = Snapshot(one);
    const auto written = std::filesystem::last_write_time(one + "/cells/000004.json");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_NE(Cli({"atlas", "run", one}).err.find("all 8 cells are done"), std::string::npos);
    EXPECT_NE(Cli({"atlas", "cell", one, "4"}).err.find("cell 4 is done already"), std::string::npos);
    EXPECT_NE(Cli({"atlas", "plan", dir.File("one.atlas.json"), one}).err.find("(8 done already)"),
              std::string::npos);
    EXPECT_EQ(std::filesystem::last_write_time(one + "/cells/000004.json"), written);
    EXPECT_EQ(Snapshot(one), before);

    const auto python =
        test::RunSystemPython(TAONSCOPE_ATLAS_ORACLE, {"check", TAONSCOPE_CLI_PATH, one}, dir);
    SKIP_WITHOUT_PYTHON_MODULES(python);
    EXPECT_EQ(python->status, 0) << python->out << python->err;
}

TEST(Atlas, RunsKilledAtRandomMomentsResumeToTheSameAtlas) {
    TempDir dir;
    const std::string whole = Plan(dir, "whole", SlowSweep), cut = Plan(dir, "cut", SlowSweep);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Cli({"atlas", "run", whole, "--jobs", "2"}).status, CliOk);
    // Kills within the first half of what a whole run takes here, so that they fall while cells run.
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    const AtlasPlan plan = LoadPlan(cut);
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> moment(1, std::max(2, static_cast<int>(took.count() / 2)));
    int kills = 0;
    for (int round = 0; round < 8 && DoneCells(plan).size() < 6; ++round) {
        kills += KilledWhileRunning({"atlas", "run", cut, "--jobs", "2"}, moment(random));
        // Whatever is there is whole: every result reads, every configuration is a full record.
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the workers die with their parent
        EXPECT_NO_THROW(ReadAtlas(cut)) << "kill moments from seed " << seed;
        for (const auto& entry : std::filesystem::directory_iterator(cut + "/cells")) {
            if (entry.path().extension() == ".tao") {
                EXPECT_EQ(std::filesystem::file_size(entry.path()), ConfigRecordSize) << entry.path();
            }
        }
    }
    EXPECT_GT(kills, 0) << "kill moments from seed " << seed;
    const Outcome finish = Cli({"atlas", "run", cut, "--jobs", "2"});
    ASSERT_EQ(finish.status, CliOk) << finish.err;
    EXPECT_EQ(ReadAll(cut + "/atlas.csv"), ReadAll(whole + "/atlas.csv"))
        << "kill moments from seed " << seed;
    EXPECT_EQ(ReadAll(cut + "/atlas.json"), ReadAll(whole + "/atlas.json"));
}

// SIGTERM ends the cells under way, not only the batch: cells of a million steps (many seconds each)
// are ended, not waited for, so none is done.
TEST(Atlas, SigtermEndsTheCellsUnderWayAndSaysHowToGoOn) {
    TempDir dir;
    const std::string atlas = Plan(dir, "a", R"({"base": {"scenario": "ring"},
        "vary": [{"parameter": "dt", "from": 0.001, "to": 0.002, "count": 2}], "protocol": {"steps": 1000000}})");
    std::thread stop([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(::getpid(), SIGTERM);
    });
    const Outcome stopped = Cli({"atlas", "run", atlas, "--jobs", "2"});
    stop.join();
    EXPECT_EQ(stopped.status, 128 + SIGTERM);
    EXPECT_NE(stopped.err.find("stopped by SIGTERM: 0 of 2 cells done"), std::string::npos) << stopped.err;
    EXPECT_NE(stopped.err.find("atlas run " + atlas + " goes on from there"), std::string::npos)
        << stopped.err;
    EXPECT_TRUE(DoneCells(LoadPlan(atlas)).empty());
    EXPECT_NO_THROW(ReadAtlas(atlas));
}

// A cell that fails is reported with its own message; results edited by hand are refused by the merge
// when they are not the plan's, and their text fields are quoted in atlas.csv.
TEST(Atlas, FailuresAndEditedResultsSayWhatTheyAre) {
    TempDir dir;
    const std::string atlas = Plan(dir, "a", SmallSweep);
    std::filesystem::create_directory(atlas + "/cells/000003.tao");
    const Outcome failed = Cli({"atlas", "run", atlas, "--jobs", "2"});
    EXPECT_EQ(failed.status, CliBadInput);
    EXPECT_NE(failed.err.find("taonscope-cli: cell 3: " + atlas + "/cells/000003.tao: File access denied\n"),
              std::string::npos)
        << failed.err;
    std::filesystem::remove(atlas + "/cells/000003.tao");
    ASSERT_EQ(Cli({"atlas", "run", atlas}).status, CliOk);

    const std::string result = atlas + "/cells/000002.json", record = ReadAll(result);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = record;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const std::string b1 = "\"B1\": ", value = record.substr(record.find(b1) + b1.size());
    const struct {
        std::string record, says;
    } cases[] = {
        {replaced(b1 + value.substr(0, value.find('}')), b1 + "2.5"),
         "cell 2 has other values than the plan gives it"},
        {replaced("\"seed\": 3", "\"seed\": 4"), "cell 2 has other values than the plan gives it"},
        {replaced("\"message\": \"\"", "\"message\": \"a \\\"quoted\\\", noted\""), ""},
    };
    for (const auto& c : cases) {
        WriteAll(result, c.record);
        const Outcome merge = Cli({"atlas", "merge", atlas});
        if (!c.says.empty()) {
            EXPECT_EQ(merge.status, CliBadInput);
            EXPECT_EQ(merge.err, "taonscope-cli: " + result + ": " + c.says + "\n");
            continue;
        }
        ASSERT_EQ(merge.status, CliOk) << merge.err;
        const std::string csv = ReadAll(atlas + "/atlas.csv");
        EXPECT_NE(csv.find(",\"a \"\"quoted\"\", noted\"\n"), std::string::npos) << csv;
    }
}

TEST(Atlas, RefusesBadSweepsFoldersCloudsAndCommandLinesWithOneLineBeforeWritingAnything) {
    TempDir dir;
    test::SaveWorld(dir.File("ring.tao"), RingWorld());
    const std::string atlas = Plan(dir, "taken", SmallSweep);
    std::filesystem::create_directory(dir.path() / "busy");
    WriteAll(dir.File("busy/notes.txt"), "mine");
    const std::string bad = dir.File("bad.atlas.json"), cloud = R"({"scenario": "cloud"})";
    // A sweep varying A1 from the base, with more keys after the protocol.
    const auto sweep = [](const std::string& base, const std::string& more = "") {
        return R"({"base": )" + base +
               R"(, "vary": [{"parameter": "A1", "from": 1, "to": 2, "count": 2}], )" +
               R"("protocol": {"steps": 10})" + more + "}";
    };
    const auto plan = [&](const std::string& folder) {
        return std::vector<std::string>{"atlas", "plan", bad, dir.File(folder)};
    };
    const auto scenario = [&](const std::string& option, const std::string& value) {
        return std::vector<std::string>{"scenario", "cloud", dir.File("x.tao"), option, value};
    };
    const struct {
        std::vector<std::string> args;
        std::string says, sweep = ""; // the sweep written to bad.atlas.json first, if any
    } cases[] = {
        {plan("new"), "unknown key \"seeds\"", sweep(cloud, R"(, "seeds": 3)")},
        {plan("new"), "gone.tao: File not found", sweep(R"({"file": "gone.tao"})")},
        {plan("new"), "a file base allows one repetition only",
         sweep(R"({"file": "ring.tao"})", R"(, "repetitions": 2)")},
        {plan("taken"), "taken belongs to another sweep: its sweep.atlas.json differs from", sweep(cloud)},
        {plan("busy"), "busy holds other files and no sweep", SmallSweep},
        {plan("busy/notes.txt"), "notes.txt is not a folder", SmallSweep},
        {{"atlas", "plan", dir.File("absent.atlas.json"), dir.File("new")},
         "absent.atlas.json: File not found"},
        {scenario("--kinds", "51,0,0"), "--kinds takes N1,N2,N3: at most 50, 30 and 20"},
        {scenario("--kinds", "1,31,0"), "--kinds takes N1,N2,N3"},
        {scenario("--kinds", "0,0,0"), "--kinds needs at least one taon"},
        {scenario("--seed", "-1"), "--seed takes a whole number from 0"},
        {scenario("--side", "0"), "the side of a cloud must be a positive number, not 0"},
        {scenario("--side", "ten"), "--side: 'ten' is not a valid floating point value"},
        {scenario("--min-distance", "-1"), "the least distance of a cloud must be a number from 0"},
        {{"scenario", "cloud", dir.File("x.tao"), "--side", "3", "--min-distance", "2"},
         "cannot place 100 taons at least 2 apart in a cube of side 3"},
        {{"scenario", "ring", dir.File("x.tao"), "--seed", "4"}, "--seed goes with the cloud scenario only"},
        {{"atlas"}, "atlas needs plan, run, cell, merge, map or slurm"},
        {{"atlas", "draw", atlas}, "atlas has no command draw"},
        {{"atlas", "plan", bad}, "atlas plan takes a sweep file and a folder"},
        {{"atlas", "run", atlas, "--jobs", "0"}, "--jobs takes a whole number from 1 to 256, not '0'"},
        {{"atlas", "merge", atlas, "--jobs", "2"}, "--jobs goes with atlas run only"},
        {{"atlas", "cell", atlas, "9"}, "the index is a whole number from 1 to 8, not '9'"},
        {{"atlas", "cell", atlas, "two"}, "the index is a whole number from 1 to 8, not 'two'"},
        {{"atlas", "run", dir.File("none")}, "none: no such folder"},
        {{"atlas", "run", dir.path().string()}, "holds no atlas (no sweep.atlas.json)"},
        {{"atlas", "merge", atlas}, "8 of 8 cells are not done yet"},
        {{"atlas", "slurm", atlas, "--time", "an hour"}, "--time takes a Slurm time limit"},
        {{"atlas", "slurm", atlas, "--cells-per-task", "0"}, "--cells-per-task takes a whole number from 1"},
    };
    for (const auto& c : cases) {
        if (!c.sweep.empty()) WriteAll(bad, c.sweep);
        const auto before = Snapshot(dir.path());
        const Outcome result = Cli(c.args);
        EXPECT_EQ(result.status, CliBadInput) << c.says;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_EQ(Lines(result.err), 1) << result.err;
        EXPECT_EQ(Snapshot(dir.path()), before) << c.says;
    }
}

TEST(Atlas, SlurmTasksRunEveryCellOnceAndTheMergeAfterThem) {
    TempDir dir;
    const std::string atlas = Plan(dir, "a", SmallSweep);
    const Outcome slurm =
        Cli({"atlas", "slurm", atlas, "--cells-per-task", "3", "--partition", "short", "--time", "20"});
    ASSERT_EQ(slurm.status, CliOk) << slurm.err;
    EXPECT_NE(slurm.err.find("3 tasks of 3 cells, at most 20 each"), std::string::npos) << slurm.err;
    const std::string cells = ReadAll(atlas + "/slurm/cells.sbatch");
    for (const char* line : {"#SBATCH --array=1-3\n", "#SBATCH --partition=short\n", "#SBATCH --time=20\n"})
        EXPECT_NE(cells.find(line), std::string::npos) << line << cells;
    // bash runs each task's lines, the program replaced by echo: the tasks share the cells out.
    std::string ran, expected;
    for (int task = 1; task <= 3; ++task) {
        const std::string command = "SLURM_ARRAY_TASK_ID=" + std::to_string(task) +
                                    " TAONSCOPE_CLI=echo bash " + atlas + "/slurm/cells.sbatch > " +
                                    dir.File("task.out");
        ASSERT_EQ(std::system(command.c_str()), 0);
        ran += ReadAll(dir.File("task.out"));
    }
    for (int cell = 1; cell <= 8; ++cell)
        expected += "atlas cell " + atlas + " " + std::to_string(cell) + "\n";
    EXPECT_EQ(ran, expected);
    // Without --cells-per-task, cells this quick all go to one task.
    ASSERT_EQ(Cli({"atlas", "slurm", atlas}).status, CliOk);
    EXPECT_NE(ReadAll(atlas + "/slurm/cells.sbatch").find("#SBATCH --array=1-1\n"), std::string::npos);
    // --submit where no sbatch can be found says so.
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", dir.path().c_str(), 1);
    const Outcome submit = Cli({"atlas", "slurm", atlas, "--submit"});
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(submit.status, CliBadInput);
    EXPECT_NE(submit.err.find("cannot run sbatch (is Slurm installed?)"), std::string::npos) << submit.err;
}

// A folder named to break a shell: submitted to an sbatch that runs every task of what it is given,
// the scripts run nothing but the program, with the folder as one word.
TEST(Atlas, SlurmScriptsRunOnlyTheProgramWhateverTheFolderIsNamed) {
    TempDir dir;
    const std::string name = "a;touch MARK&b|c>d<e(f){g,h}*~#!$HOME\\`touch MARK`'\" x\ny";
    const std::string atlas = Plan(dir, name, SmallSweep);
    WriteAll(dir.File("sbatch"),
             "#!/bin/bash\nscript=${!#}\n"
             "tasks=$(sed -n 's/^#SBATCH --array=1-//p' \"$script\")\n"
             "for ((t = 1; t <= ${tasks:-1}; t++)); do\n"
             "    SLURM_ARRAY_TASK_ID=$t bash \"$script\" > /dev/null 2>&1 || exit 1\ndone\n"
             "echo 42\n");
    WriteAll(dir.File("program"), "#!/bin/bash\nprintf '%s\\0' \"$@\" >> \"$ARGS_LOG\"\n");
    std::filesystem::permissions(dir.File("sbatch"), std::filesystem::perms::owner_all);
    std::filesystem::permissions(dir.File("program"), std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (dir.path().string() + ":" + path).c_str(), 1);
    ::setenv("TAONSCOPE_CLI", dir.File("program").c_str(), 1);
    ::setenv("ARGS_LOG", dir.File("args").c_str(), 1);
    const Outcome submit = Cli({"atlas", "slurm", atlas, "--cells-per-task", "5", "--submit"});
    ::setenv("PATH", path.c_str(), 1);
    ::unsetenv("TAONSCOPE_CLI");
    ::unsetenv("ARGS_LOG");
    ASSERT_EQ(submit.status, CliOk) << submit.err;
    EXPECT_NE(submit.err.find("submitted job 42 (the cells) and job 42"), std::string::npos) << submit.err;
    std::string expected;
    for (int cell = 1; cell <= 8; ++cell)
        expected += std::string("atlas\0cell\0", 11) + atlas + '\0' + std::to_string(cell) + '\0';
    expected += std::string("atlas\0merge\0", 12) + atlas + '\0';
    EXPECT_EQ(ReadAll(dir.File("args")), expected);
    EXPECT_EQ(FolderEntries(dir.path().string()),
              (std::vector<std::string>{name, name + ".atlas.json", "args", "program", "sbatch"}));
    EXPECT_EQ(FolderEntries(atlas + "/slurm"),
              (std::vector<std::string>{"cells.sbatch", "merge.sbatch", "submit.sh"}));
}

#ifdef TAONSCOPE_WITH_QT
TEST(Atlas, TheMapIsThePictureOfItsLayout) {
    TempDir dir;
    const std::string atlas = Plan(dir, "a", SmallSweep);
    for (const char* cell : {"1", "2", "6"}) ASSERT_EQ(Cli({"atlas", "cell", atlas, cell}).status, CliOk);
    const Outcome map = Cli({"atlas", "map", atlas, dir.File("map.png"), "--size", "640x400"});
    ASSERT_EQ(map.status, CliOk) << map.err;
    EXPECT_NE(map.err.find("drew 3 of 8 cells"), std::string::npos) << map.err;
    const Outcome mood = Cli({"atlas", "map", atlas, dir.File("mood.png"), "--colour", "mood"});
    EXPECT_EQ(mood.status, CliBadInput);
    EXPECT_NE(mood.err.find("--colour takes outcome, clusters, largest"), std::string::npos) << mood.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("mood.png")));
    const MapLayout layout = LayOutMap(ReadAtlas(atlas), MapColour::Outcome, 640, 400);
    std::vector<std::string> args{"pixels", dir.File("map.png"), "640", "400"};
    for (const MapTile& tile : layout.Tiles)
        for (const int value : {tile.Box.X + tile.Box.Width / 2, tile.Box.Y + tile.Box.Height / 2,
                                int(tile.Colour.R), int(tile.Colour.G), int(tile.Colour.B)})
            args.push_back(std::to_string(value));
    const auto python = test::RunSystemPython(TAONSCOPE_ATLAS_ORACLE, args, dir);
    SKIP_WITHOUT_PYTHON_MODULES(python);
    EXPECT_EQ(python->status, 0) << python->out << python->err;
}
#else
TEST(Atlas, AMapNeedsABuildWithQt) {
    TempDir dir;
    const Outcome map = Cli({"atlas", "map", Plan(dir, "a", SmallSweep), dir.File("map.png")});
    EXPECT_EQ(map.status, CliBadInput);
    EXPECT_NE(map.err.find("atlas map is not available in this build"), std::string::npos) << map.err;
}
#endif

} // namespace
} // namespace taonscope
