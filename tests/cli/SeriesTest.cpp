// SPDX-License-Identifier: GPL-3.0-or-later
// analyze --series and --events: each row against analyze of its frame imported and numpy's displacements,
// each event against scipy's clusters of the trajectory's own numbers.
#include "cli/Cli.h"
#include "support/CliRun.h"

#include "core/Scenarios.h"
#include "document/TrajectoryFile.h"
#include "support/SystemPython.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace taonscope {
namespace {

using test::TempDir;

// Groups of slots 10 apart along x, the taons of a group 1 apart along y: at the cutoff 1.5 a group of
// two or more is a cluster, a group of one an isolated taon; every other slot is empty.
World Groups(const std::vector<std::vector<int>>& groups) {
    World world = CloudWorld();
    world.TaonPresent.fill(false);
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (std::size_t n = 0; n < groups[g].size(); ++n) {
            const auto i = static_cast<std::size_t>(groups[g][n]);
            world.TaonPresent[i] = true;
            world.PosX[i] = 10.0L * g, world.PosY[i] = n, world.PosZ[i] = 0;
            world.VelX[i] = i / 64.0L, world.VelY[i] = 0, world.VelZ[i] = 0;
        }
    return world;
}

// Every event, several at one step and several at once in one group; taon 11 leaves and comes back, two
// taons share a place (no pair energy) and nothing is bonded at the end (no q6).
std::string WriteChanges(const TempDir& dir) {
    std::vector<World> frames = {
        Groups({{1, 12}, {3, 4, 5}, {6, 7}, {8, 9}, {2}, {10}, {11}, {13}, {14}}),
        Groups({{1}, {12, 13}, {3, 4}, {5}, {6, 7, 8, 9, 10}, {2, 14}, {11}}),
        Groups({{1}, {2}, {3, 13}, {4, 14}, {5}, {6, 7}, {8, 9, 10}, {11}, {12}}),
        Groups({{1, 2}, {3, 13}, {4, 14}, {5}, {6, 7}, {8, 9, 10}, {12}}),
        Groups({{1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}, {10}, {11}, {12}, {13}, {14}}),
    };
    frames[3].PosY[2] = frames[3].PosY[1];
    const auto writer = OpenTrajectoryWriter(dir.File("changes.xyz"), TrajectoryFormat::Xyz);
    for (std::size_t k = 0; k < frames.size(); ++k) writer->Append(frames[k], 10 * k, frames[k].dt * 10 * k);
    writer->Close();
    return dir.File("changes.xyz");
}

// Runs the command line, which must succeed, and keeps what it printed in dir's file name.
std::string Keep(const TempDir& dir, const std::string& name, std::vector<std::string> args,
                 const std::vector<std::string>& more = {}) {
    args.insert(args.end(), more.begin(), more.end());
    const test::Outcome o = test::Cli(args);
    EXPECT_EQ(o.status, CliOk) << args[0] << ' ' << args[1] << ": " << o.err;
    std::ofstream(dir.File(name)) << o.out;
    return dir.File(name);
}

// A run of an example written as a trajectory.
std::string Recorded(const TempDir& dir, const char* example, const char* name,
                     std::vector<std::string> options) {
    Keep(
        dir, "run.txt",
        {"run", std::string(TAONSCOPE_EXAMPLES_DIR) + "/" + example + ".tao", "--trajectory", dir.File(name)},
        options);
    return dir.File(name);
}

void ExpectOracleAgrees(const TempDir& dir, const std::vector<std::string>& args) {
    const auto python = test::RunSystemPython(TAONSCOPE_SERIES_ORACLE, args, dir);
    SKIP_WITHOUT_PYTHON_MODULES(python);
    EXPECT_EQ(python->status, 0) << args[1] << '\n' << python->out << python->err;
}

TEST(CliSeries, EveryRowIsAnalyzeOfItsFrameImported) {
    TempDir dir;
    const struct {
        std::string trajectory;
        std::vector<std::string> options;
    } cases[] = {
        {WriteChanges(dir), {"--structure", "--cutoff", "1.5"}},
        {Recorded(dir, "05-cloud", "cloud.xyz", {"--steps", "600", "--every", "150", "--cool"}),
         {"--structure"}},
        {Recorded(dir, "07-collision", "collision.lammpstrj", {"--steps", "1600", "--every", "400"}), {}},
    };
    for (const auto& c : cases) {
        std::filesystem::create_directories(dir.File("frames"));
        for (int k = 1; k <= 5; ++k) {
            Keep(dir, "import.txt",
                 {"import", c.trajectory, dir.File("k.tao"), "--frame", std::to_string(k), "--force"});
            Keep(dir, "frames/" + std::to_string(k) + ".json",
                 {"analyze", dir.File("k.tao"), "--format", "json"}, c.options);
        }
        ExpectOracleAgrees(dir, {"series", c.trajectory,
                                 Keep(dir, "series.csv", {"analyze", c.trajectory, "--series"}, c.options),
                                 Keep(dir, "series.json",
                                      {"analyze", c.trajectory, "--series", "--format", "json"}, c.options),
                                 dir.File("frames")});
    }
}

TEST(CliSeries, EventsAreTheChangesOfScipysClusters) {
    TempDir dir;
    const struct {
        std::string trajectory, cutoff, csv;
    } cases[] = {
        {WriteChanges(dir), "1.5",
         "step,event,clusters_before,clusters_after,sizes_before,sizes_after\n"
         "10,exchanged,2,4,2,2\n10,formed,,2,,2\n10,exchanged,1,3,3,2\n10,merged,3 4,1,2 2,5\n"
         "20,exchanged,2 3 4,2 3,2 2 2,2 2\n20,split,1,1 4,5,3 2\n"
         "30,formed,,2,,2\n"
         "40,dissolved,2,,2,\n40,dissolved,3,,2,\n40,dissolved,4,,2,\n40,dissolved,5,,2,\n"
         "40,dissolved,1,,3,\n"},
        {Recorded(dir, "07-collision", "collision.lammpstrj", {"--steps", "3000", "--every", "100"}), "2.5",
         ""},
        {Recorded(dir, "05-cloud", "cloud.xyz", {"--steps", "600", "--every", "50", "--cool"}), "3", ""},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> events = {"analyze", c.trajectory, "--events", "--cutoff", c.cutoff};
        const std::string csv = test::ReadAll(Keep(dir, "events.csv", events));
        EXPECT_EQ(csv, c.csv.empty() ? csv : c.csv);
        EXPECT_GT(std::count(csv.begin(), csv.end(), '\n'), 2) << c.trajectory;
        ExpectOracleAgrees(dir, {"events", c.trajectory, c.cutoff, dir.File("events.csv"),
                                 Keep(dir, "events.json", events, {"--format", "json"})});
    }
}

TEST(CliSeries, RefusesWhatItCannotDoAndLeavesOutACutLastFrame) {
    TempDir dir;
    const std::string run = WriteChanges(dir), text = test::ReadAll(run);
    std::ofstream(dir.File("cut.xyz")) << text.substr(0, text.size() - 40);
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{run, "--series", "--events"}, "give one of them"},
        {{run, "--events", "--format", "text"}, "csv or json, not text"},
        {{run, "--trajectory-format", "xyz"}, "--trajectory-format needs --series or --events"},
        {{dir.File("cut.xyz"), "--series"}, "cut.xyz: the last frame (line 64) has no line end"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"analyze"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const test::Outcome o = test::Cli(args);
        EXPECT_NE(o.err.find(c.err), std::string::npos) << o.err;
        // Only the cut file is read, without its last frame: a header and four rows.
        EXPECT_EQ(o.status == CliOk ? std::count(o.out.begin(), o.out.end(), '\n') : 5, 5) << o.out;
        EXPECT_EQ(o.status, c.args[0] == run ? CliBadInput : CliOk) << c.err;
    }
}

} // namespace
} // namespace taonscope
