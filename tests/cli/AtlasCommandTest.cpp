// SPDX-License-Identifier: GPL-3.0-or-later
#include "atlas/Map.h"
#include "cli/Cli.h"
#include "support/CliRun.h"

#include "core/Scenarios.h"
#include "document/ConfigFile.h"
#include "support/SystemPython.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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

std::uint64_t Fnv1a(const std::string& bytes) {
    std::uint64_t hash = 1469598103934665603ull;
    for (const unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Starts the real taonscope-cli with args, its output thrown away; returns its process.
pid_t StartCli(const std::vector<std::string>& args) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(TAONSCOPE_CLI_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDERR_FILENO);
        ::execv(TAONSCOPE_CLI_PATH, argv.data());
        ::_exit(127);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Plan(const TempDir& dir, const std::string& name, const char* sweep) {
    WriteAll(dir.File(name + ".atlas.json"), sweep);
    const Outcome plan = Cli({"atlas", "plan", dir.File(name + ".atlas.json"), dir.File(name)});
    EXPECT_EQ(plan.status, CliOk) << plan.err;
    return dir.File(name);
}

TEST(ScenarioCloud, WithoutOptionsIsTheBuiltInCloudOfEveryEarlierVersion) {
    TempDir dir;
    ASSERT_EQ(Cli({"scenario", "cloud", dir.File("cloud.tao")}).status, CliOk);
    // The bytes the cloud had before it took options.
    EXPECT_EQ(Fnv1a(ReadAll(dir.File("cloud.tao"))), 0xbf8626a88a40b5c7ull);
    ASSERT_EQ(Cli({"scenario", "cloud", dir.File("same.tao"), "--seed", "1", "--side", "30", "--min-distance",
                   "1.5", "--kinds", "50,30,20"})
                  .status,
              CliOk);
    EXPECT_EQ(ReadAll(dir.File("same.tao")), ReadAll(dir.File("cloud.tao")));
}

TEST(ScenarioCloud, OptionsChooseTheSeedTheCubeTheDistanceAndTheKinds) {
    TempDir dir;
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
            if (j > i)
                least = std::min(
                    least, std::hypot(w.PosX[i] - w.PosX[j], w.PosY[i] - w.PosY[j], w.PosZ[i] - w.PosZ[j]));
    }
    EXPECT_GE(least, 2.5L);
    ASSERT_EQ(Cli({"scenario", "cloud", dir.File("d.tao"), "--seed", "2"}).status, CliOk);
    EXPECT_NE(test::LoadWorld(dir.File("d.tao")).PosX, CloudWorld().PosX);
    EXPECT_EQ(test::LoadWorld(dir.File("d.tao")).PosX, CloudWorld(2).PosX);
}

TEST(ScenarioCloud, RefusesOptionsThatMakeNoCloudAndWritesNothing) {
    TempDir dir;
    const struct {
        std::vector<std::string> options;
        std::string says;
    } cases[] = {
        {{"--kinds", "51,0,0"}, "--kinds takes N1,N2,N3: at most 50, 30 and 20"},
        {{"--kinds", "1,31,0"}, "--kinds takes N1,N2,N3"},
        {{"--kinds", "1,2"}, "--kinds takes N1,N2,N3"},
        {{"--kinds", "1,2,3,4"}, "--kinds takes N1,N2,N3"},
        {{"--kinds", "0,0,0"}, "--kinds needs at least one taon"},
        {{"--seed", "-1"}, "--seed takes a whole number from 0"},
        {{"--seed", "2x"}, "--seed takes a whole number from 0"},
        {{"--side", "0"}, "the side of a cloud must be a positive number, not 0"},
        {{"--side", "ten"}, "--side: 'ten' is not a valid floating point value"},
        {{"--min-distance", "-1"}, "the least distance of a cloud must be a number from 0"},
        {{"--side", "3", "--min-distance", "2"},
         "cannot place 100 taons at least 2 apart in a cube of side 3"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"scenario", "cloud", dir.File("x.tao")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome result = Cli(args);
        EXPECT_EQ(result.status, CliBadInput) << c.says;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_EQ(Lines(result.err), 1) << result.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("x.tao"))) << c.says;
    }
    const Outcome ring = Cli({"scenario", "ring", dir.File("x.tao"), "--seed", "4"});
    EXPECT_EQ(ring.status, CliBadInput);
    EXPECT_NE(ring.err.find("--seed goes with the cloud scenario only"), std::string::npos) << ring.err;
}

TEST(Atlas, OneProcessTwoAndCellByCellMakeTheSameBytes) {
    TempDir dir;
    const std::string one = Plan(dir, "one", SmallSweep), two = Plan(dir, "two", SmallSweep),
                      cells = Plan(dir, "cells", SmallSweep);
    const Outcome runOne = Cli({"atlas", "run", one, "--jobs", "1"});
    ASSERT_EQ(runOne.status, CliOk) << runOne.err;
    EXPECT_NE(runOne.err.find("running 8 of 8 cells on 1 process"), std::string::npos) << runOne.err;
    EXPECT_NE(runOne.err.find("8 of 8 cells done"), std::string::npos) << runOne.err;
    const Outcome runTwo = Cli({"atlas", "run", two, "--jobs", "2"});
    ASSERT_EQ(runTwo.status, CliOk) << runTwo.err;
    for (int index = 8; index >= 1; --index) {
        const Outcome cell = Cli({"atlas", "cell", cells, std::to_string(index)});
        ASSERT_EQ(cell.status, CliOk) << cell.err;
        EXPECT_NE(cell.err.find("cell " + std::to_string(index) + ": "), std::string::npos) << cell.err;
    }
    ASSERT_EQ(Cli({"atlas", "merge", cells}).status, CliOk);
    const std::string csv = ReadAll(one + "/atlas.csv");
    EXPECT_EQ(Lines(csv), 9);
    for (const std::string& other : {two, cells}) {
        EXPECT_EQ(ReadAll(other + "/atlas.csv"), csv) << other;
        EXPECT_EQ(ReadAll(other + "/atlas.json"), ReadAll(one + "/atlas.json")) << other;
    }
    EXPECT_EQ(Lines(ReadAll(one + "/timings.csv")), 9);

    const auto python =
        test::RunSystemPython(TAONSCOPE_ATLAS_ORACLE, {"check", TAONSCOPE_CLI_PATH, one}, dir);
    SKIP_WITHOUT_PYTHON_MODULES(python);
    EXPECT_EQ(python->status, 0) << python->out << python->err;
}

TEST(Atlas, ARunOfADoneAtlasRedoesNothing) {
    TempDir dir;
    const std::string atlas = Plan(dir, "a", SmallSweep);
    ASSERT_EQ(Cli({"atlas", "run", atlas}).status, CliOk);
    const auto written = std::filesystem::last_write_time(atlas + "/cells/000004.json");
    const std::string seconds = ReadAll(atlas + "/cells/000004.seconds");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const Outcome again = Cli({"atlas", "run", atlas});
    EXPECT_EQ(again.status, CliOk);
    EXPECT_NE(again.err.find("all 8 cells are done"), std::string::npos) << again.err;
    const Outcome cell = Cli({"atlas", "cell", atlas, "4"});
    EXPECT_NE(cell.err.find("cell 4 is done already"), std::string::npos) << cell.err;
    EXPECT_EQ(std::filesystem::last_write_time(atlas + "/cells/000004.json"), written);
    EXPECT_EQ(ReadAll(atlas + "/cells/000004.seconds"), seconds);
    // Planning the same sweep again keeps what is done.
    const Outcome plan = Cli({"atlas", "plan", dir.File("a.atlas.json"), atlas});
    EXPECT_NE(plan.err.find("(8 done already)"), std::string::npos) << plan.err;
}

TEST(Atlas, RunsKilledAtRandomMomentsResumeToTheSameAtlas) {
    TempDir dir;
    const std::string whole = Plan(dir, "whole", SlowSweep), cut = Plan(dir, "cut", SlowSweep);
    ASSERT_EQ(Cli({"atlas", "run", whole, "--jobs", "2"}).status, CliOk);
    const AtlasPlan plan = LoadPlan(cut);
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> moment(0, 700);
    int kills = 0;
    for (int round = 0; round < 8 && DoneCells(plan).size() < 6; ++round) {
        const pid_t run = StartCli({"atlas", "run", cut, "--jobs", "2"});
        std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        ::kill(run, SIGKILL);
        kills += Wait(run) == 128 + SIGKILL;
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

TEST(Atlas, SigtermEndsARunThatSaysHowToGoOn) {
    TempDir dir;
    const std::string atlas = Plan(dir, "a", SlowSweep);
    const pid_t run = StartCli({"atlas", "run", atlas, "--jobs", "1"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(run, SIGTERM);
    EXPECT_EQ(Wait(run), 128 + SIGTERM);
    EXPECT_LT(DoneCells(LoadPlan(atlas)).size(), 6u);
    EXPECT_NO_THROW(ReadAtlas(atlas));
    // In this process too, with the message.
    std::thread stop([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::kill(::getpid(), SIGTERM);
    });
    const Outcome stopped = Cli({"atlas", "run", atlas, "--jobs", "1"});
    stop.join();
    EXPECT_EQ(stopped.status, 128 + SIGTERM);
    EXPECT_NE(stopped.err.find("stopped by SIGTERM: "), std::string::npos) << stopped.err;
    EXPECT_NE(stopped.err.find("atlas run " + atlas + " goes on from there"), std::string::npos)
        << stopped.err;
}

TEST(Atlas, RefusesBadSweepsAndFoldersWithOneLineBeforeWritingAnything) {
    TempDir dir;
    World start = RingWorld();
    test::SaveWorld(dir.File("ring.tao"), start);
    const std::string axis = R"("vary": [{"parameter": "A1", "from": 1, "to": 2, "count": 2}])";
    const std::string protocol = R"("protocol": {"steps": 10})";
    const std::string cloud = R"("base": {"scenario": "cloud"})";
    Plan(dir, "taken", SmallSweep);
    const struct {
        std::string sweep, folder, says;
    } cases[] = {
        {"{" + cloud + ", " + axis + ", " + protocol + ", \"seeds\": 3}", "new", "unknown key \"seeds\""},
        {"{" + cloud + R"(, "vary": [{"parameter": "Q1", "from": 1, "to": 2, "count": 2}], )" + protocol +
             "}",
         "new", "vary[0].parameter: no parameter named \"Q1\""},
        {"{" + cloud + R"(, "vary": [{"parameter": "A1", "from": 1, "to": 2, "count": 0}], )" + protocol +
             "}",
         "new", "vary[0].count is not a whole number from 1 to 1000"},
        {"{" + cloud + R"(, "vary": [{"parameter": "A1", "from": 1, "to": 2, "count": 1000000000}], )" +
             protocol + "}",
         "new", "vary[0].count is not a whole number from 1 to 1000"},
        {R"({"base": {"file": "gone.tao"}, )" + axis + ", " + protocol + "}", "new",
         "gone.tao: File not found"},
        {R"({"base": {"file": "ring.tao"}, )" + axis + ", \"repetitions\": 2, " + protocol + "}", "new",
         "a file base allows one repetition only"},
        {"{" + cloud + ", " + axis + ", " + protocol + "}", "taken", "taken belongs to another sweep"},
    };
    for (const auto& c : cases) {
        WriteAll(dir.File("bad.atlas.json"), c.sweep);
        const std::string before = ReadAll(dir.File("taken/sweep.atlas.json"));
        const Outcome plan = Cli({"atlas", "plan", dir.File("bad.atlas.json"), dir.File(c.folder)});
        EXPECT_EQ(plan.status, CliBadInput) << c.says;
        EXPECT_NE(plan.err.find(c.says), std::string::npos) << plan.err;
        EXPECT_EQ(Lines(plan.err), 1) << plan.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("new"))) << c.says;
        EXPECT_EQ(ReadAll(dir.File("taken/sweep.atlas.json")), before);
        EXPECT_FALSE(std::filesystem::exists(dir.File("taken/cells/000001.json")));
    }
}

TEST(Atlas, RefusesCommandLinesItCannotFollow) {
    TempDir dir;
    const std::string atlas = Plan(dir, "a", SmallSweep);
    const struct {
        std::vector<std::string> args;
        std::string says;
    } cases[] = {
        {{"atlas"}, "atlas needs plan, run, cell, merge, map or slurm"},
        {{"atlas", "draw", atlas}, "atlas has no command draw"},
        {{"atlas", "plan", dir.File("a.atlas.json")}, "atlas plan takes a sweep file and a folder"},
        {{"atlas", "run", atlas, "--jobs", "0"}, "--jobs takes a whole number from 1 to 256, not '0'"},
        {{"atlas", "merge", atlas, "--jobs", "2"}, "--jobs goes with atlas run only"},
        {{"atlas", "cell", atlas, "9"}, "the index is a whole number from 1 to 8, not '9'"},
        {{"atlas", "cell", atlas, "0"}, "the index is a whole number from 1 to 8, not '0'"},
        {{"atlas", "cell", atlas, "two"}, "the index is a whole number from 1 to 8, not 'two'"},
        {{"atlas", "run", dir.File("none")}, "none: no such folder"},
        {{"atlas", "run", dir.path().string()}, "holds no atlas (no sweep.atlas.json)"},
        {{"atlas", "merge", atlas}, "8 of 8 cells are not done yet"},
        {{"atlas", "slurm", atlas, "--time", "an hour"}, "--time takes a Slurm time limit"},
        {{"atlas", "slurm", atlas, "--cells-per-task", "0"}, "--cells-per-task takes a whole number from 1"},
    };
    for (const auto& c : cases) {
        const Outcome result = Cli(c.args);
        EXPECT_EQ(result.status, CliBadInput) << c.says;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_EQ(Lines(result.err), 1) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(atlas + "/atlas.csv"));
}

TEST(Atlas, SlurmTasksRunEveryCellOnceAndTheMergeAfterThem) {
    TempDir dir;
    const std::string atlas = Plan(dir, "a", SmallSweep);
    const Outcome slurm =
        Cli({"atlas", "slurm", atlas, "--cells-per-task", "3", "--partition", "short", "--time", "20"});
    ASSERT_EQ(slurm.status, CliOk) << slurm.err;
    EXPECT_NE(slurm.err.find("3 tasks of 3 cells, at most 20 each"), std::string::npos) << slurm.err;
    const std::string cells = ReadAll(atlas + "/slurm/cells.sbatch"),
                      merge = ReadAll(atlas + "/slurm/merge.sbatch"),
                      submit = ReadAll(atlas + "/slurm/submit.sh");
    for (const char* line : {"#SBATCH --array=1-3\n", "#SBATCH --partition=short\n", "#SBATCH --time=20\n"})
        EXPECT_NE(cells.find(line), std::string::npos) << line << cells;
    EXPECT_NE(merge.find("atlas merge " + atlas + "\n"), std::string::npos) << merge;
    EXPECT_NE(submit.find("--dependency=afterok:"), std::string::npos) << submit;
    // bash runs each task's lines, the program replaced by echo: the tasks share the cells out.
    std::string ran;
    for (int task = 1; task <= 3; ++task) {
        const std::string out = dir.File("task.out");
        const std::string command = "SLURM_ARRAY_TASK_ID=" + std::to_string(task) +
                                    " TAONSCOPE_CLI=echo bash " + atlas + "/slurm/cells.sbatch > " + out;
        ASSERT_EQ(std::system(command.c_str()), 0);
        ran += ReadAll(out);
    }
    std::string expected;
    for (int cell = 1; cell <= 8; ++cell)
        expected += "atlas cell " + atlas + " " + std::to_string(cell) + "\n";
    EXPECT_EQ(ran, expected);
    // Without --cells-per-task, cells this quick all go to one task.
    ASSERT_EQ(Cli({"atlas", "slurm", atlas}).status, CliOk);
    EXPECT_NE(ReadAll(atlas + "/slurm/cells.sbatch").find("#SBATCH --array=1-1\n"), std::string::npos);
}

TEST(Atlas, SubmittingWithoutSlurmSaysSo) {
    TempDir dir;
    const std::string atlas = Plan(dir, "a", SmallSweep);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", dir.path().c_str(), 1);
    const Outcome submit = Cli({"atlas", "slurm", atlas, "--submit"});
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(submit.status, CliBadInput);
    EXPECT_NE(submit.err.find("cannot run sbatch (is Slurm installed?)"), std::string::npos) << submit.err;
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
    const std::string atlas = Plan(dir, "a", SmallSweep);
    const Outcome map = Cli({"atlas", "map", atlas, dir.File("map.png")});
    EXPECT_EQ(map.status, CliBadInput);
    EXPECT_NE(map.err.find("atlas map is not available in this build"), std::string::npos) << map.err;
}
#endif

} // namespace
} // namespace taonscope
