// SPDX-License-Identifier: GPL-3.0-or-later
// search and ground-states: the lowest structures of a few taons against the closed form, the literal law
// and the structure analysis; the same bytes whatever runs the cells; going on after a stop.
#include "cli/Cli.h"
#include "support/CliRun.h"

#include "analysis/PairFunction.h"
#include "core/Law.h"
#include "core/NumberText.h"
#include "core/Scenarios.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

namespace taonscope {
namespace {

using test::Cli;
using test::Outcome;
using test::ReadAll;
using test::TempDir;

// The rows of a table of comma-separated values, each as its fields.
std::vector<std::vector<std::string>> Rows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(csv);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, ',');) fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

// The deepest well of the figure's pair function, by golden sections between the G shell's sides.
Extended DeepestDistance() {
    const ParameterSet set = FigureParameters();
    const Extended ratio = (std::sqrt(5.0L) - 1) / 2;
    Extended low = 28, high = 32;
    for (int n = 0; n < 200; ++n) {
        const Extended a = high - ratio * (high - low), b = low + ratio * (high - low);
        (PairFunction(set, a) < PairFunction(set, b) ? high : low) =
            (PairFunction(set, a) < PairFunction(set, b) ? b : a);
    }
    return (low + high) / 2;
}

Outcome Search(const std::vector<std::string>& args) {
    std::vector<std::string> line = {"search"};
    line.insert(line.end(), args.begin(), args.end());
    return Cli(line);
}

TEST(Search, UpToFourTaonsSettleInTheSimplexWhoseEdgesSitInThePairsDeepestWell) {
    const Extended edge = DeepestDistance();
    const Extended depth = PairFunction(FigureParameters(), edge);
    const struct {
        int taons;
        const char* shape;
    } cases[] = {{2, "dimer"}, {3, "triangle"}, {4, "tetrahedron"}};
    for (const auto& c : cases) {
        TempDir dir;
        const Outcome found =
            Search({std::to_string(c.taons), dir.File("s"), "--hops", "200", "--jobs", "1"});
        ASSERT_EQ(found.status, CliOk) << found.err;
        const auto rows = Rows(ReadAll(dir.File("s/minima.csv")));
        ASSERT_GE(rows.size(), 2u);
        EXPECT_EQ(rows[0], (std::vector<std::string>{"rank", "pair_energy", "energy_per_taon", "shape",
                                                     "largest_acceleration", "hop", "file"}));
        const std::vector<std::string>& lowest = rows[1];
        ASSERT_EQ(lowest.size(), 7u);
        const Extended pairs = c.taons * (c.taons - 1) / 2;
        EXPECT_NEAR(static_cast<double>(ParseReal(lowest[1])), static_cast<double>(pairs * depth),
                    1e-15 * pairs);
        EXPECT_NEAR(static_cast<double>(ParseReal(lowest[2])), static_cast<double>(pairs * depth / c.taons),
                    1e-15);
        EXPECT_EQ(lowest[3], c.shape);
        EXPECT_EQ(lowest[6], "minimum-01.tao");

        const World minimum = test::LoadWorld(dir.File("s/minimum-01.tao"));
        Extended largest = 0;
        for (int i = 1; i <= c.taons; ++i) {
            EXPECT_EQ(minimum.VelX[i], 0);
            largest =
                std::max(largest, std::hypot(AccelX(minimum, i), AccelY(minimum, i), AccelZ(minimum, i)));
            for (int j = i + 1; j <= c.taons; ++j)
                EXPECT_NEAR(static_cast<double>(std::hypot(minimum.PosX[i] - minimum.PosX[j],
                                                           minimum.PosY[i] - minimum.PosY[j],
                                                           minimum.PosZ[i] - minimum.PosZ[j])),
                            static_cast<double>(edge), 1e-9);
        }
        EXPECT_LT(largest, 1e-10L);
        EXPECT_NEAR(static_cast<double>(ParseReal(lowest[4])), static_cast<double>(largest), 1e-14);
        for (int i = c.taons + 1; i <= MaxTaons; ++i) EXPECT_FALSE(minimum.TaonPresent[i]);
    }
}

TEST(Search, TheSameSeedGivesTheSameBytesWhateverTheJobsAndAStoppedSearchGoesOn) {
    TempDir dir;
    const std::vector<std::string> options = {"--hops", "5100", "--seed", "5", "--keep", "3"};
    const std::string one = dir.File("one"), two = dir.File("two");
    auto search = [&](const std::string& folder, const char* jobs) {
        std::vector<std::string> args = {"2", folder, "--jobs", jobs};
        args.insert(args.end(), options.begin(), options.end());
        return Search(args);
    };
    const Outcome first = search(one, "1");
    ASSERT_EQ(first.status, CliOk) << first.err;
    EXPECT_NE(first.err.find("running 3 of 3 cells on 1 process"), std::string::npos) << first.err;
    ASSERT_EQ(search(two, "2").status, CliOk);
    const std::string csv = ReadAll(one + "/minima.csv");
    EXPECT_EQ(Rows(csv).size(), 4u);
    EXPECT_EQ(ReadAll(two + "/minima.csv"), csv);
    for (const char* file : {"/minimum-01.tao", "/minimum-03.tao"})
        EXPECT_EQ(ReadAll(two + file), ReadAll(one + file)) << file;

    // A search stopped before its second cell and its merge goes on with that cell alone.
    const std::string kept = ReadAll(two + "/cells/000001.json");
    const auto written = std::filesystem::last_write_time(two + "/cells/000001.json");
    std::filesystem::remove(two + "/cells/000002.json");
    std::filesystem::remove(two + "/minima.csv");
    const Outcome again = search(two, "2");
    ASSERT_EQ(again.status, CliOk) << again.err;
    EXPECT_NE(again.err.find("running 1 of 3 cells"), std::string::npos) << again.err;
    EXPECT_EQ(ReadAll(two + "/minima.csv"), csv);
    EXPECT_EQ(ReadAll(two + "/cells/000001.json"), kept);
    EXPECT_EQ(std::filesystem::last_write_time(two + "/cells/000001.json"), written);

    // Another search is never mixed into a folder.
    const Outcome other = Search({"2", two, "--hops", "5100", "--seed", "6", "--keep", "3"});
    EXPECT_EQ(other.status, CliBadInput);
    EXPECT_NE(other.err.find("holds another search"), std::string::npos) << other.err;
    EXPECT_EQ(ReadAll(two + "/minima.csv"), csv);
}

TEST(GroundStates, EachRowIsTheLowestOfItsRunsAsSearchFindsThemHereOrCellByCellOnACluster) {
    TempDir dir;
    const std::vector<std::string> options = {"--hops", "150", "--runs", "2", "--seed", "3"};
    std::vector<std::string> args = {"ground-states", "3", "4", dir.File("table")};
    args.insert(args.end(), options.begin(), options.end());
    const Outcome made = Cli(args);
    ASSERT_EQ(made.status, CliOk) << made.err;
    const auto rows = Rows(ReadAll(dir.File("table/ground-states.csv")));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"n", "pair_energy", "energy_per_taon", "shape", "runs",
                                                 "runs_that_found_it"}));
    for (int taons = 3; taons <= 4; ++taons) {
        // Run r is the search of the same options with the seed 3 + r - 1.
        std::vector<std::vector<std::string>> best;
        std::vector<std::string> files;
        for (const char* seed : {"3", "4"}) {
            const std::string folder = dir.File("search-" + std::to_string(taons) + "-" + seed);
            ASSERT_EQ(Search({std::to_string(taons), folder, "--hops", "150", "--seed", seed, "--keep", "1"})
                          .status,
                      CliOk);
            best.push_back(Rows(ReadAll(folder + "/minima.csv"))[1]);
            files.push_back(ReadAll(folder + "/minimum-01.tao"));
        }
        const std::size_t lower = ParseReal(best[1][1]) < ParseReal(best[0][1]) ? 1 : 0;
        const Extended u = ParseReal(best[lower][1]);
        int found = 0;
        for (const auto& row : best)
            found += std::fabs(ParseReal(row[1]) - u) <= 1e-9L * std::fabs(u) ? 1 : 0;
        const std::vector<std::string>& row = rows[static_cast<std::size_t>(taons - 2)];
        EXPECT_EQ(row, (std::vector<std::string>{std::to_string(taons), best[lower][1], best[lower][2],
                                                 best[lower][3], "2", std::to_string(found)}));
        EXPECT_EQ(ReadAll(dir.File("table/ground-state-0" + std::to_string(taons) + ".tao")), files[lower]);
    }

    // The same table as a Slurm job array, its cells run one by one as its tasks would, then its merge.
    args[3] = dir.File("cluster");
    args.push_back("--slurm");
    const Outcome scripts = Cli(args);
    ASSERT_EQ(scripts.status, CliOk) << scripts.err;
    const std::string cluster = dir.File("cluster");
    const std::string array = ReadAll(cluster + "/slurm/cells.sbatch");
    EXPECT_NE(array.find("ground-states cell " + cluster + " \"$cell\""), std::string::npos) << array;
    EXPECT_NE(ReadAll(cluster + "/slurm/merge.sbatch").find("ground-states merge " + cluster),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(cluster + "/ground-states.csv"));
    for (int cell = 4; cell >= 1; --cell)
        ASSERT_EQ(Cli({"ground-states", "cell", cluster, std::to_string(cell)}).status, CliOk) << cell;
    ASSERT_EQ(Cli({"ground-states", "merge", cluster}).status, CliOk);
    EXPECT_EQ(ReadAll(cluster + "/ground-states.csv"), ReadAll(dir.File("table/ground-states.csv")));
}

TEST(Search, RefusesBadCommandLinesBeforeWritingAnything) {
    TempDir dir;
    const std::string folder = dir.File("f");
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"search", "1", folder}, "N is a whole number from 2 to 100, not '1'"},
        {{"search", "101", folder}, "N is a whole number from 2 to 100, not '101'"},
        {{"search", "3", folder, "--keep", "100"}, "--keep takes a whole number from 1 to 99"},
        {{"search", "3", folder, "--hops", "0"}, "--hops takes a whole number from 1"},
        {{"search", "3", folder, "--temperature", "-1"}, "--temperature takes a number from 0"},
        {{"search", "3", folder, "--jobs", "0"}, "--jobs takes a whole number from 1 to 256, not '0'"},
        {{"search", "3", folder, "--parameters", dir.File("missing.tao")}, "missing.tao: File not found"},
        {{"ground-states", "5", "3", folder}, "TO is a whole number from 5 to 100, not '3'"},
        {{"ground-states", "3", "5", folder, "--runs", "0"}, "--runs takes a whole number from 1 to 1000"},
        {{"ground-states", "3", "5", folder, "--partition", "p"}, "--partition goes with --slurm"},
        {{"ground-states", "3", "5", folder, "--keep", "2"}, "--keep"},
        {{"ground-states", "cell", folder, "1"}, "ground-states.json: File not found"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Cli(c.args);
        EXPECT_EQ(outcome.status, CliBadInput) << c.message;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_FALSE(std::filesystem::exists(folder)) << c.message;
    }
}

} // namespace
} // namespace taonscope
