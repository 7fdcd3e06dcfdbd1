// SPDX-License-Identifier: GPL-3.0-or-later
// analyze --structure: every quantity it writes against numpy and scipy, on the shipped examples and on
// random clouds; the text summary, the keys that were there before and the command line.
#include "cli/Analysis.h"
#include "cli/Cli.h"
#include "support/CliRun.h"

#include "core/Scenarios.h"
#include "document/Json.h"
#include "support/SystemPython.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>

namespace taonscope {
namespace {

using test::Cli;
using test::Outcome;
using test::TempDir;

std::string Example(const std::string& name) {
    return std::string(TAONSCOPE_EXAMPLES_DIR) + "/" + name + ".tao";
}

TEST(CliStructure, EveryQuantityAgreesWithScipy) {
    TempDir dir;
    test::SaveWorld(dir.File("cloud4.tao"), CloudWorld(4));
    test::SaveWorld(dir.File("cloud5.tao"), CloudWorld(5, true, 14));
    const struct {
        std::string path;
        std::optional<Extended> cutoff;
    } cases[] = {
        {Example("01-pair"), {}},        {Example("02-cluster"), {}},
        {Example("03-three-kinds"), {}}, {Example("04-ring"), {}},
        {Example("05-cloud"), {}},       {Example("06-swimmer"), {}},
        {Example("07-collision"), {}},   {Example("08-edge-of-stability"), {}},
        {Example("09-wheel"), {}},       {Example("02-cluster"), 5},
        {Example("05-cloud"), 2.8L},     {Example("05-cloud"), 4.5L},
        {dir.File("cloud4.tao"), {}},    {dir.File("cloud5.tao"), 3.5L},
        {dir.File("cloud5.tao"), {}},
    };
    std::vector<std::string> files = {"compare", TAONSCOPE_CLI_PATH};
    for (std::size_t n = 0; n < std::size(cases); ++n) {
        const std::string cutoff = cases[n].cutoff ? PreciseReal(*cases[n].cutoff) : "-";
        std::vector<std::string> args = {"analyze", cases[n].path, "--structure", "--format", "json"};
        if (cases[n].cutoff) args.insert(args.end(), {"--cutoff", cutoff});
        const Outcome o = Cli(args);
        ASSERT_EQ(o.status, CliOk) << cases[n].path << ": " << o.err;
        test::WriteAll(dir.File(std::to_string(n) + ".json"), o.out);
        files.insert(files.end(), {cases[n].path, cutoff, dir.File(std::to_string(n) + ".json")});
    }
    const auto python = test::RunSystemPython(TAONSCOPE_STRUCTURE_ORACLE, files, dir);
    SKIP_WITHOUT_PYTHON_MODULES(python);
    EXPECT_EQ(python->status, 0) << python->out << python->err;
    EXPECT_EQ(python->out, "");
}

TEST(CliStructure, AddsKeysAndASummaryAndChangesNothingElse) {
    const Outcome plain = Cli({"analyze", Example("04-ring"), "--format", "json"});
    const Outcome structured = Cli({"analyze", Example("04-ring"), "--format", "json", "--structure"});
    ASSERT_EQ(structured.status, CliOk) << structured.err;
    const std::string before = plain.out.substr(0, plain.out.size() - 3); // without "\n}\n"
    EXPECT_EQ(structured.out.substr(0, before.size() + 14), before + ",\n  \"cutoff\": ");
    EXPECT_EQ(structured.out.substr(structured.out.size() - 4), "}\n}\n");

    const std::string plainText = Cli({"analyze", Example("04-ring")}).out;
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> lines;
    } cases[] = {
        {{Example("01-pair")},
         {"\nstructure at cutoff 3.25014204015832 (1.2 x the nearest-neighbour reach): 1 bond\n"
          "  1 cluster, the largest of 2 taons; 0 isolated taons\n"
          "  cluster of 2 (kinds 2 0 0), shape dimer (error 0)\n    slots 1 2\n",
          "    all: 0 2\n", "  q6 mean 1, averaged 1\n"}},
        {{Example("04-ring"), "--cutoff", "2.8"},
         {plainText + "\nstructure at cutoff 2.8 (given): 12 bonds\n", ", shape dodecagon (error 0.01377",
          "    kind 2: 0 0 0\n"}},
        {{Example("04-ring"), "--cutoff", "2.7"},
         {"12 isolated taons\n  isolated: 1 2 3 4 5 6 7 8 9 10 11 12\n", "  q4, q6: n/a (no bonds)\n"}},
        {{Example("07-collision")},
         {"  2 clusters, the largest of 6 taons", "centre speed 3, receding at -6\n"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"analyze", "--structure"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome text = Cli(args);
        for (const std::string& line : c.lines)
            EXPECT_NE(text.out.find(line), std::string::npos) << line << text.out;
    }
}

// The lines of a text.
std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// "CLUSTERS,ISOLATED,LARGEST" as analyze --structure finds them in a file.
std::string AnalyzedClusters(const std::string& path, const std::optional<std::string>& cutoff) {
    std::vector<std::string> args = {"analyze", path, "--structure", "--format", "json"};
    if (cutoff) args.insert(args.end(), {"--cutoff", *cutoff});
    const Outcome o = Cli(args);
    EXPECT_EQ(o.status, CliOk) << o.err;
    const JsonValue json = ParseJson(o.out);
    return std::to_string(json.Find("cluster_count")->AsInteger("cluster_count", 0, 100)) + "," +
           std::to_string(json.Find("isolated")->AsInteger("isolated", 0, 100)) + "," +
           std::to_string(json.Find("largest_cluster")->AsInteger("largest_cluster", 0, 100));
}

TEST(CliStructure, TheRunLogCountsClustersAsAnalyzeFindsThem) {
    TempDir dir;
    const struct {
        std::string example;
        std::vector<std::string> run;
        std::optional<std::string> cutoff;
        std::size_t rows; // after the header
    } cases[] = {
        {"05-cloud", {"--steps", "300", "--cool", "--every", "150"}, {}, 3},
        {"05-cloud", {"--steps", "250", "--cool"}, "2.8", 4},
        {"07-collision", {"--steps", "1600", "--every", "800"}, {}, 3}, // the two clusters meet at about 1400
        {"04-ring", {"--steps", "0"}, "2.7", 1},
    };
    for (const auto& c : cases) {
        const std::string out = dir.File("out.tao"), plainLog = dir.File("plain.csv"),
                          log = dir.File("log.csv");
        std::vector<std::string> plain = {"run", Example(c.example), "--output", out, "--log", plainLog};
        plain.insert(plain.end(), c.run.begin(), c.run.end());
        std::vector<std::string> structured = plain;
        structured[5] = log;
        structured.push_back("--structure");
        if (c.cutoff) structured.insert(structured.end(), {"--cutoff", *c.cutoff});
        ASSERT_EQ(Cli(plain).status, CliOk);
        const Outcome run = Cli(structured);
        ASSERT_EQ(run.status, CliOk) << run.err;

        // The columns that were there stay as they were, and the new ones follow them.
        const auto rows = LinesOf(test::ReadAll(log)), plainRows = LinesOf(test::ReadAll(plainLog));
        ASSERT_EQ(rows.size(), c.rows + 1) << c.example;
        ASSERT_EQ(plainRows.size(), rows.size());
        for (std::size_t n = 0; n < rows.size(); ++n) {
            EXPECT_EQ(rows[n].substr(0, plainRows[n].size() + 1), plainRows[n] + ",") << c.example;
            EXPECT_EQ(std::count(rows[n].begin(), rows[n].end(), ','), 9) << rows[n];
        }
        EXPECT_EQ(rows[0].substr(plainRows[0].size()), ",clusters,isolated,largest_cluster");
        EXPECT_EQ(rows[1].substr(plainRows[1].size() + 1), AnalyzedClusters(Example(c.example), c.cutoff))
            << c.example << " at the start";
        EXPECT_EQ(rows.back().substr(plainRows.back().size() + 1), AnalyzedClusters(out, c.cutoff))
            << c.example << " at the end";
    }
    const std::string ring = test::ReadAll(dir.File("log.csv"));
    EXPECT_EQ(ring.substr(ring.size() - 8), ",0,12,1\n"); // the last case: twelve taons alone, no cluster
}

TEST(CliStructure, AnalyzeAndRunRefuseACutoffTheyCannotUseAndWriteNothing) {
    TempDir dir;
    const std::string pair = Example("01-pair"), log = dir.File("log.csv");
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"analyze", pair, "--cutoff", "3"}, "--cutoff needs --structure"},
        {{"analyze", pair, "--structure", "--cutoff", "0"}, "--cutoff must be a positive number"},
        {{"analyze", pair, "--structure", "--cutoff", "-2"}, "--cutoff must be a positive number"},
        {{"analyze", pair, "--structure", "--cutoff", "near"}, "'near' is not a valid floating point value"},
        {{"analyze", pair, "--structure", "--cutoff"}, "--cutoff"},
        {{"run", pair, "--structure"}, "--structure goes with --log"},
        {{"run", pair, "--log", log, "--cutoff", "3"}, "--cutoff needs --structure"},
        {{"run", pair, "--log", log, "--structure", "--cutoff", "0"}, "--cutoff must be a positive number"},
    };
    for (const auto& c : cases) {
        const Outcome o = Cli(c.args);
        EXPECT_EQ(o.status, CliBadInput) << c.message;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "");
        EXPECT_FALSE(std::filesystem::exists(log)) << c.message;
    }
    const std::string help = Cli({"--help"}).out;
    EXPECT_NE(help.find("taonscope-cli analyze IN.tao [--format text|json] [--structure [--cutoff R]]"),
              std::string::npos);
    EXPECT_NE(help.find("[--log FILE.csv [--structure [--cutoff R]]]"), std::string::npos);
}

} // namespace
} // namespace taonscope
