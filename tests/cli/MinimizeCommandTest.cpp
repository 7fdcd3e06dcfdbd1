// SPDX-License-Identifier: GPL-3.0-or-later
// minimize: what it writes and prints against analyze and the literal law, and how it ends.
#include "cli/Cli.h"
#include "support/CliRun.h"

#include "core/Law.h"
#include "core/NumberText.h"
#include "core/Scenarios.h"
#include "landscape/BasinHopping.h"
#include "landscape/Search.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace taonscope {
namespace {

using test::Cli;
using test::Outcome;
using test::TempDir;

// Seven taons of the figure's set spread over a ball of radius 9, at rest in slots 1 to 7.
World Spread(std::uint64_t seed) {
    SearchSettings settings;
    settings.Taons = 7;
    settings.Set = FigureParameters();
    return SearchWorld(settings, RandomStart(7, 9, seed));
}

// The value after "name = " in text.
std::string Printed(const std::string& text, const std::string& name) {
    const std::size_t at = text.find(name + " = ");
    if (at == std::string::npos) return "missing";
    const std::size_t from = at + name.size() + 3;
    return text.substr(from, text.find_first_of(" \n", from) - from);
}

// The largest acceleration of a present taon by the literal law.
Extended LiteralLargestAcceleration(const World& world) {
    Extended largest = 0;
    for (int i = 1; i <= MaxTaons; ++i)
        if (world.TaonPresent[i])
            largest = std::max(largest, std::hypot(AccelX(world, i), AccelY(world, i), AccelZ(world, i)));
    return largest;
}

TEST(Minimize, WritesTheMinimumAtRestAndPrintsWhatAnalyzeAndTheLiteralLawMeasure) {
    TempDir dir;
    World start = Spread(4);
    for (int i = 1; i <= 7; ++i) start.VelX[i] = start.VelZ[i] = 0.5L;
    test::SaveWorld(dir.File("in.tao"), start);
    const Outcome made = Cli({"minimize", dir.File("in.tao"), "--output", dir.File("out.tao")});
    ASSERT_EQ(made.status, CliOk) << made.err;

    const World end = test::LoadWorld(dir.File("out.tao"));
    EXPECT_EQ(Printed(made.out, "U before"), Printed(Cli({"analyze", dir.File("in.tao")}).out, "U"));
    EXPECT_EQ(Printed(made.out, "U after"), Printed(Cli({"analyze", dir.File("out.tao")}).out, "U"));
    EXPECT_LT(ParseReal(Printed(made.out, "U after")), ParseReal(Printed(made.out, "U before")));
    const Extended literal = LiteralLargestAcceleration(end);
    EXPECT_LT(literal, 1e-10L);
    EXPECT_NEAR(static_cast<double>(ParseReal(Printed(made.out, "largest acceleration"))),
                static_cast<double>(literal), 1e-14);
    EXPECT_GT(std::stoi(Printed(made.out, "iterations")), 0);
    for (int i = 1; i <= 7; ++i) {
        EXPECT_EQ(end.VelX[i], 0);
        EXPECT_EQ(end.VelY[i], 0);
        EXPECT_EQ(end.VelZ[i], 0);
    }
    EXPECT_EQ(end.dt, start.dt);
    EXPECT_EQ(end.TaonPresent, start.TaonPresent);
}

TEST(Minimize, EndsWithTheStatusOfWhatStoppedIt) {
    TempDir dir;
    test::SaveWorld(dir.File("spread.tao"), Spread(4));
    World differentSets = CloudWorld(1, false, 14);
    test::SaveWorld(dir.File("cloud.tao"), differentSets);
    World coincident = Spread(5);
    coincident.PosX[2] = coincident.PosX[1], coincident.PosY[2] = coincident.PosY[1],
    coincident.PosZ[2] = coincident.PosZ[1];
    test::SaveWorld(dir.File("coincident.tao"), coincident);
    ASSERT_EQ(Cli({"minimize", dir.File("spread.tao"), "--output", dir.File("lbfgs.tao")}).status, CliOk);
    // The L-BFGS minimum shaken: FIRE goes back to it.
    World shaken = test::LoadWorld(dir.File("lbfgs.tao"));
    for (int i = 1; i <= 7; ++i) shaken.PosX[i] += 0.01L * (i % 3 - 1), shaken.PosY[i] += 0.01L * (i % 2);
    test::SaveWorld(dir.File("shaken.tao"), shaken);

    const struct {
        std::string input;
        std::vector<std::string> options;
        int status;
        std::string message; // in what it says on standard error
        bool written;
    } cases[] = {
        {"shaken", {"--method", "fire"}, CliOk, "", true},
        {"spread", {"--max-steps", "3"}, CliNotSettled, "after 3 iterations (--max-steps)", true},
        {"spread", {"--tolerance", "1e-300", "--max-steps", "200"}, CliNotSettled, "not below 1E-300", true},
        {"cloud", {}, CliBadInput, "kinds 1 and 2 have different parameter sets", false},
        {"cloud", {}, CliBadInput, "run --until-settled", false},
        {"coincident",
         {},
         CliLawFault,
         "coincident.tao: iteration 1: Floating point division by zero",
         false},
        {"spread", {"--method", "newton"}, CliBadInput, "--method takes lbfgs or fire, not 'newton'", false},
        {"spread", {"--tolerance", "0"}, CliBadInput, "--tolerance takes a number above 0", false},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir.File("out.tao"));
        std::vector<std::string> args = {"minimize", dir.File(c.input + ".tao"), "--output",
                                         dir.File("out.tao")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.status, c.status) << c.input << " " << outcome.err;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_EQ(std::filesystem::exists(dir.File("out.tao")), c.written) << c.input;
    }
    EXPECT_EQ(Printed(Cli({"minimize", dir.File("shaken.tao"), "--output", dir.File("fire.tao"), "--method",
                           "fire"})
                          .out,
                      "U after"),
              Printed(Cli({"analyze", dir.File("lbfgs.tao")}).out, "U"));
}

} // namespace
} // namespace taonscope
