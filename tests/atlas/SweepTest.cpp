// SPDX-License-Identifier: GPL-3.0-or-later
#include "atlas/Sweep.h"

#include "support/SystemPython.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace taonscope {

namespace {

constexpr const char* Base = R"({"scenario": "cloud", "seed": 1})";
constexpr const char* Vary = R"([{"parameter": "A1", "from": 0.5, "to": 2, "count": 4}])";

// A sweep with one part replaced: the base, the vary list, and what follows them.
std::string SweepText(const std::string& base = Base, const std::string& vary = Vary,
                      const std::string& rest = R"("protocol": {"steps": 100})") {
    return "{\"base\": " + base + ", \"vary\": " + vary + ", " + rest + "}";
}

// A vary list of one entry per parameter, each from 1 to 2.
std::string Axes(std::vector<std::string> parameters, const std::string& count = "3",
                 const std::string& extra = "") {
    std::string list;
    for (const std::string& p : parameters)
        list += std::string(list.empty() ? "[" : ",") + R"({"parameter": ")" + p +
                R"(", "from": 1, "to": 2, "count": )" + count + extra + "}";
    return list + "]";
}

// Sweeps the reader refuses, what it says, and whether the schema in the documents refuses them too (it
// can say which keys and values there are, not how many cells they make or whether a cloud fits).
const struct Refused {
    std::string text, says;
    bool bySchema;
} RefusedSweeps[] = {
    {SweepText(Base, Vary, R"("protocol": {"steps": 10}, "seeds": 3)"), "unknown key \"seeds\"", true},
    {SweepText(R"({"scenario": "cloud", "sede": 2})"), "base: unknown key \"sede\"", true},
    {SweepText(R"({"file": "a.tao", "seed": 2})"), "base: unknown key \"seed\"", false},
    {SweepText(Base, Axes({"A1"}, "3", R"(, "spacings": "log")")), "vary[0]: unknown key \"spacings\"",
     false},
    {SweepText(Base, Vary, R"("protocol": {"steps": 10, "coool": true})"), "protocol: unknown key \"coool\"",
     false},
    {SweepText(Base, Vary, R"("protocol": {"steps": 10}, "classify": {"cut": 2})"),
     "classify: unknown key \"cut\"", false},
    {SweepText(Base, Axes({"H1"})), "vary[0].parameter: no parameter named \"H1\"", true},
    {SweepText(Base, Axes({"A1"}, "0")), "vary[0].count is not a whole number from 1 to 1000", true},
    {SweepText(Base, Axes({"A1"}, "1000000000")), "vary[0].count is not a whole number from 1 to 1000", true},
    {SweepText(Base, Axes({"A1"}, "2.5")), "vary[0].count is not a whole number", false},
    {SweepText(Base, "[]"), "vary holds 0 entries, not 1 to 3", true},
    {SweepText(Base, Axes({"A1", "B1", "C1", "D1"})), "vary holds 4 entries, not 1 to 3", false},
    {SweepText(Base, Axes({"A", "A2"})), "vary[1]: A2 varies a parameter an earlier entry", false},
    {SweepText(Base, R"([{"parameter": "B1", "from": 0, "to": 2, "count": 3, "spacing": "log"}])"),
     "vary[0]: log spacing needs from and to above 0", false},
    {SweepText(Base, Axes({"B1"}, "3", R"(, "spacing": "cubic")")),
     "vary[0].spacing: \"cubic\" is neither \"linear\" nor \"log\"", true},
    {SweepText(Base, R"([{"parameter": "B1", "to": 2, "count": 3}])"), "vary[0]: \"from\" is missing", false},
    {SweepText(Base, R"([{"parameter": "B1", "from": "one", "to": 2, "count": 3}])"),
     "vary[0].from is not a number", false},
    {SweepText(Base, Axes({"A1", "B1", "C1"}, "100")), "the sweep makes 1000000 cells, more than 100000",
     false},
    {SweepText(R"({"scenario": "ring"})", Vary, R"("repetitions": 3, "protocol": {"steps": 10})"),
     "the ring scenario has no seed, so it allows one repetition only", false},
    {SweepText(Base, Vary, R"("repetitions": 0, "protocol": {"steps": 10})"),
     "repetitions is not a whole number from 1", false},
    {SweepText(R"({"scenario": "ring", "seed": 4})"), "base.seed goes with the cloud scenario only", true},
    {SweepText(R"({"scenario": "moon"})"), "base.scenario: no scenario named \"moon\"", false},
    {SweepText(R"({"scenario": "cloud", "kinds": [51, 0, 0]})"),
     "base.kinds[0] is not a whole number from 0 to 50", true},
    {SweepText(R"({"scenario": "cloud", "kinds": [5, 5]})"), "base.kinds is not a list of three counts",
     false},
    {SweepText(R"({"scenario": "cloud", "side": 2, "min_distance": 1.5})"),
     "base: cannot place 100 taons at least 1.5 apart in a cube of side 2", false},
    {SweepText(R"({"scenario": "cloud", "side": -1})"), "base: the side of a cloud must be a positive number",
     false},
    {SweepText(Base, Vary, R"("repetitions": 2)"), "the sweep: \"protocol\" is missing", false},
    {SweepText(Base, Vary, R"("protocol": {"cool": true})"),
     "protocol: \"steps\" (or \"until_settled\") is missing", true},
    {SweepText(Base, Vary, R"("protocol": {"steps": 10, "until_settled": 1e-3})"), "both say when to stop",
     true},
    {SweepText(Base, Vary, R"("protocol": {"steps": 10, "max_steps": 30})"),
     "protocol.max_steps goes with until_settled", true},
    {SweepText(Base, Vary, R"("protocol": {"until_settled": 0})"), "protocol.until_settled is not above 0",
     false},
    {SweepText(Base, Vary, R"("protocol": {"steps": -1})"), "protocol.steps is not a whole number from 0",
     false},
    {SweepText(Base, Vary, R"("protocol": {"steps": 1}, "classify": {"cutoff": 0})"),
     "classify.cutoff is not above 0", false},
    {"{\"base\": {\"scenario\": \"cloud\"},\n \"vary\": [,]}", "line 2, column ", false},
    {"[1, 2]", "the sweep is not an object", false},
    {SweepText(Base, R"([{"parameter": "B1", "from": 1e-5000, "to": 2, "count": 3}])"),
     "vary[0].from is not a number an extended real can hold", false},
    {"{\"title\": \"Caf\xE9\", " + SweepText().substr(1), "line 1, column 15: a byte that is not UTF-8",
     false},
};

} // namespace

TEST(Sweep, RefusesEveryFaultWithOneLineNamingIt) {
    for (const Refused& c : RefusedSweeps) {
        try {
            ParseSweep(c.text);
            ADD_FAILURE() << "accepted " << c.text;
        } catch (const AtlasError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(c.says), std::string::npos) << message << "\n  expected: " << c.says;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        }
    }
}

TEST(Sweep, ReadsWhatTheFileSays) {
    const AtlasSweep sweep = ParseSweep(R"({
        "$schema": "../docs/atlas.schema.json", "title": "Shells",
        "base": {"scenario": "cloud", "seed": 7, "side": 20, "min_distance": 2, "kinds": [10, 0, 5]},
        "vary": [{"parameter": "B", "from": 2, "to": 4, "count": 3},
                 {"parameter": "dt", "from": 0.001, "to": 0.1, "count": 3, "spacing": "log"}],
        "repetitions": 4,
        "protocol": {"until_settled": 1e-6, "max_steps": 5000},
        "classify": {"cutoff": 3.25}})");
    EXPECT_EQ(sweep.Title, "Shells");
    EXPECT_EQ(sweep.Base.Cloud.Seed, 7u);
    EXPECT_EQ(sweep.Base.Cloud.Side, 20);
    EXPECT_EQ(sweep.Base.Cloud.MinDistance, 2);
    EXPECT_EQ(sweep.Base.Cloud.Kinds, (std::array<int, 3>{10, 0, 5}));
    EXPECT_EQ(sweep.CellCount(), 36);
    EXPECT_EQ(sweep.Vary[1].Spacing, AxisSpacing::Log);
    EXPECT_EQ(sweep.Protocol.MaxSteps, 5000);
    // A run that waits to settle cools, and calls moving what did not settle, unless told otherwise.
    EXPECT_TRUE(sweep.Protocol.Cool);
    EXPECT_EQ(sweep.Rules.MovingSpeed, 1e-6L);
    EXPECT_EQ(*sweep.Rules.Cutoff, 3.25L);
    const AtlasSweep uncooled =
        ParseSweep(SweepText(Base, Vary, R"("protocol": {"until_settled": 0.5, "cool": false},
        "classify": {"moving_speed": 0.25})"));
    EXPECT_FALSE(uncooled.Protocol.Cool);
    EXPECT_EQ(uncooled.Rules.MovingSpeed, 0.25L);
    EXPECT_EQ(*ParseSweep(SweepText(R"({"file": "start.tao"})")).Base.File, "start.tao");
}

TEST(Sweep, TheSchemaInTheDocumentsAcceptsWhatTheReaderAccepts) {
    std::vector<std::string> sweeps = {
        test::ReadAll(TAONSCOPE_EXAMPLES_DIR "/strength-and-step.atlas.json"),
        SweepText(),
        SweepText(R"({"file": "start.tao"})"),
        SweepText(R"({"scenario": "ring"})", Axes({"dt", "B"}, "5", R"(, "spacing": "log")")),
        SweepText(Base, Vary, R"("protocol": {"until_settled": 1e-6, "max_steps": 9, "cool": false},
                  "classify": {"cutoff": 3, "moving_speed": 0.1}, "title": "t", "repetitions": 3)"),
    };
    for (const Refused& c : RefusedSweeps)
        if (c.bySchema) sweeps.push_back(c.text);
    test::TempDir dir;
    std::vector<std::string> args{"schema", TAONSCOPE_SCHEMA};
    for (std::size_t n = 0; n < sweeps.size(); ++n) {
        args.push_back(dir.File(std::to_string(n) + ".atlas.json"));
        test::WriteAll(args.back(), sweeps[n]);
    }
    const auto python = test::RunSystemPython(TAONSCOPE_ATLAS_ORACLE, args, dir);
    SKIP_WITHOUT_PYTHON_MODULES(python);
    ASSERT_EQ(python->status, 0) << python->err;
    std::istringstream verdicts(python->out);
    for (const std::string& sweep : sweeps) {
        std::string verdict;
        std::getline(verdicts, verdict);
        bool accepted = true;
        try {
            ParseSweep(sweep);
        } catch (const AtlasError&) {
            accepted = false;
        }
        EXPECT_EQ(verdict == "valid", accepted) << verdict << "\n" << sweep;
    }
}

TEST(Sweep, ValuesRunFromTheFirstToTheLastEvenlyOrByEqualRatiosAsTyped) {
    const struct {
        Extended from, to;
        int count;
        AxisSpacing spacing;
        std::vector<Extended> values;
    } cases[] = {
        {0.5L, 2.0L, 4, AxisSpacing::Linear, {0.5L, 1.0L, 1.5L, 2.0L}},
        {0.1L, 0.3L, 3, AxisSpacing::Linear, {0.1L, 0.2L, 0.3L}}, // not 0.1 + 2 x 0.1 at the end
        {4.0L, 2.0L, 3, AxisSpacing::Linear, {4.0L, 3.0L, 2.0L}},
        {0.001L, 1.0L, 4, AxisSpacing::Log, {0.001L, 0.01L, 0.1L, 1.0L}},   // not exp(log(0.001) + ...)
        {1.0L, 2.0L, 3, AxisSpacing::Log, {1.0L, 1.41421356237310L, 2.0L}}, // 15 significant digits
        {3.0L, 9.0L, 1, AxisSpacing::Log, {3.0L}},
        {-1e4932L, 1e4932L, 3, AxisSpacing::Linear, {-1e4932L, 0, 1e4932L}}, // their difference overflows
    };
    for (const auto& c : cases)
        EXPECT_EQ((SpreadValues(SweepAxis{"A1", c.from, c.to, c.count, c.spacing, {}})), c.values)
            << c.from << " " << c.to;
}

TEST(Sweep, ParameterNamesStandForTheirFields) {
    EXPECT_EQ(ParameterFieldsNamed("dt"), std::vector<Extended World::*>{&World::dt});
    EXPECT_EQ(ParameterFieldsNamed("G3"), std::vector<Extended World::*>{&World::G3});
    EXPECT_EQ(ParameterFieldsNamed("F"),
              (std::vector<Extended World::*>{&World::F1, &World::F2, &World::F3}));
    for (const char* none : {"", "E", "E1", "A0", "A4", "dt1", "AB", "a"})
        EXPECT_TRUE(ParameterFieldsNamed(none).empty()) << none;
}

} // namespace taonscope
