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

std::string Axis(const std::string& parameter, const std::string& count = "3",
                 const std::string& extra = "") {
    return R"({"parameter": ")" + parameter + R"(", "from": 1, "to": 2, "count": )" + count + extra + "}";
}

} // namespace

TEST(Sweep, RefusesEveryFaultWithOneLineNamingIt) {
    const struct {
        std::string text, says;
    } cases[] = {
        {R"({"base": {"scenario": "cloud"}, "vary": [], "protocol": {"steps": 1}, "varry": 1})",
         "unknown key \"varry\""},
        {SweepText(R"({"scenario": "cloud", "sede": 2})"), "base: unknown key \"sede\""},
        {SweepText(R"({"file": "a.tao", "seed": 2})"), "base: unknown key \"seed\""},
        {SweepText(Base, std::string("[") + Axis("A1", "3", R"(, "spacings": "log")") + "]"),
         "vary[0]: unknown key \"spacings\""},
        {SweepText(Base, Vary, R"("protocol": {"steps": 10, "coool": true})"),
         "protocol: unknown key \"coool\""},
        {SweepText(Base, Vary, R"("protocol": {"steps": 10}, "classify": {"cut": 2})"),
         "classify: unknown key \"cut\""},
        {SweepText(Base, std::string("[") + Axis("H1") + "]"),
         "vary[0].parameter: no parameter named \"H1\""},
        {SweepText(Base, std::string("[") + Axis("E") + "]"), "no parameter named \"E\""},
        {SweepText(Base, std::string("[") + Axis("A4") + "]"), "no parameter named \"A4\""},
        {SweepText(Base, std::string("[") + Axis("a1") + "]"), "no parameter named \"a1\""},
        {SweepText(Base, std::string("[") + Axis("A1", "0") + "]"),
         "vary[0].count is not a whole number from 1 to 1000"},
        {SweepText(Base, std::string("[") + Axis("A1", "1000000000") + "]"),
         "vary[0].count is not a whole number from 1 to 1000"},
        {SweepText(Base, std::string("[") + Axis("A1", "1e9") + "]"),
         "vary[0].count is not a whole number from 1 to 1000"},
        {SweepText(Base, std::string("[") + Axis("A1", "2.5") + "]"), "vary[0].count is not a whole number"},
        {SweepText(Base, "[]"), "vary holds 0 entries, not 1 to 3"},
        {SweepText(Base, std::string("[") + Axis("A1") + "," + Axis("B1") + "," + Axis("C1") + "," +
                             Axis("D1") + "]"),
         "vary holds 4 entries, not 1 to 3"},
        {SweepText(Base, std::string("[") + Axis("A") + "," + Axis("A2") + "]"),
         "vary[1]: A2 varies a parameter an earlier entry"},
        {SweepText(Base, std::string("[") + Axis("dt") + "," + Axis("dt") + "]"),
         "vary[1]: dt varies a parameter"},
        {SweepText(Base, R"([{"parameter": "B1", "from": 0, "to": 2, "count": 3, "spacing": "log"}])"),
         "vary[0]: log spacing needs from and to above 0"},
        {SweepText(Base, std::string("[") + Axis("B1", "3", R"(, "spacing": "cubic")") + "]"),
         "vary[0].spacing: \"cubic\" is neither \"linear\" nor \"log\""},
        {SweepText(Base, R"([{"parameter": "B1", "to": 2, "count": 3}])"), "vary[0]: \"from\" is missing"},
        {SweepText(Base, R"([{"parameter": "B1", "from": "one", "to": 2, "count": 3}])"),
         "vary[0].from is not a number"},
        {SweepText(Base, std::string("[") + Axis("A1", "100") + "," + Axis("B1", "100") + "," +
                             Axis("C1", "100") + "]"),
         "the sweep makes 1000000 cells, more than 100000"},
        {SweepText(R"({"file": "start.tao"})", Vary, R"("repetitions": 2, "protocol": {"steps": 10})"),
         "repetitions: a file base allows one repetition only"},
        {SweepText(R"({"scenario": "ring"})", Vary, R"("repetitions": 3, "protocol": {"steps": 10})"),
         "the ring scenario has no seed, so it allows one repetition only"},
        {SweepText(Base, Vary, R"("repetitions": 0, "protocol": {"steps": 10})"),
         "repetitions is not a whole number from 1"},
        {SweepText(R"({"scenario": "ring", "seed": 4})"), "base.seed goes with the cloud scenario only"},
        {SweepText(R"({"scenario": "moon"})"), "base.scenario: no scenario named \"moon\""},
        {SweepText(R"({"scenario": "cloud", "kinds": [51, 0, 0]})"),
         "base.kinds[0] is not a whole number from 0 to 50"},
        {SweepText(R"({"scenario": "cloud", "kinds": [5, 5]})"), "base.kinds is not a list of three counts"},
        {SweepText(R"({"scenario": "cloud", "side": 2, "min_distance": 1.5})"),
         "base: cannot place 100 taons at least 1.5 apart in a cube of side 2"},
        {SweepText(R"({"scenario": "cloud", "side": -1})"),
         "base: the side of a cloud must be a positive number"},
        {SweepText(Base, Vary, R"("repetitions": 2)"), "the sweep: \"protocol\" is missing"},
        {SweepText(Base, Vary, R"("protocol": {"cool": true})"),
         "protocol: \"steps\" (or \"until_settled\") is missing"},
        {SweepText(Base, Vary, R"("protocol": {"steps": 10, "until_settled": 1e-3})"),
         "both say when to stop"},
        {SweepText(Base, Vary, R"("protocol": {"steps": 10, "max_steps": 30})"),
         "protocol.max_steps goes with until_settled"},
        {SweepText(Base, Vary, R"("protocol": {"until_settled": 0})"),
         "protocol.until_settled is not above 0"},
        {SweepText(Base, Vary, R"("protocol": {"steps": -1})"),
         "protocol.steps is not a whole number from 0"},
        {SweepText(Base, Vary, R"("protocol": {"steps": 1}, "classify": {"cutoff": 0})"),
         "classify.cutoff is not above 0"},
        {"{\"base\": {\"scenario\": \"cloud\"},\n \"vary\": [,]}", "line 2, column "},
        {"[1, 2]", "the sweep is not an object"},
    };
    for (const auto& c : cases) {
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
    EXPECT_TRUE(sweep.Seeded());
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
    const AtlasSweep file = ParseSweep(SweepText(R"({"file": "start.tao"})"));
    EXPECT_FALSE(file.Seeded());
    EXPECT_EQ(*file.Base.File, "start.tao");
}

TEST(Sweep, TheSchemaInTheDocumentsAcceptsWhatTheReaderAccepts) {
    // What the schema can say: keys, kinds of values and their ranges (not the count of cells, nor
    // whether a cloud can be made).
    const std::string example = test::ReadAll(TAONSCOPE_EXAMPLES_DIR "/strength-and-step.atlas.json");
    const std::vector<std::string> sweeps = {
        example,
        SweepText(),
        SweepText(R"({"file": "start.tao"})"),
        SweepText(R"({"scenario": "ring"})",
                  std::string("[") + Axis("dt", "5", R"(, "spacing": "log")") + "," + Axis("B") + "]"),
        SweepText(Base, Vary, R"("protocol": {"until_settled": 1e-6, "max_steps": 9, "cool": false},
                  "classify": {"cutoff": 3, "moving_speed": 0.1}, "title": "t", "repetitions": 3)"),
        SweepText(Base, Vary, R"("protocol": {"steps": 10}, "seeds": 3)"),
        SweepText(R"({"scenario": "cloud", "sede": 2})"),
        SweepText(Base, std::string("[") + Axis("H1") + "]"),
        SweepText(Base, std::string("[") + Axis("A1", "0") + "]"),
        SweepText(Base, std::string("[") + Axis("A1", "1000000000") + "]"),
        SweepText(Base, std::string("[") + Axis("A1", "3", R"(, "spacing": "cubic")") + "]"),
        SweepText(Base, "[]"),
        SweepText(R"({"scenario": "ring", "seed": 4})"),
        SweepText(R"({"scenario": "cloud", "kinds": [51, 0, 0]})"),
        SweepText(Base, Vary, R"("protocol": {"steps": 10, "until_settled": 1e-3})"),
        SweepText(Base, Vary, R"("protocol": {"steps": 10, "max_steps": 30})"),
        SweepText(Base, Vary, R"("protocol": {"cool": true})"),
    };
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

TEST(Sweep, ValuesRunFromTheFirstToTheLastEvenlyOrByEqualRatios) {
    SweepAxis axis{"A1", 0.5L, 2.0L, 4, AxisSpacing::Linear};
    EXPECT_EQ(axis.Values(), (std::vector<Extended>{0.5L, 1.0L, 1.5L, 2.0L}));
    axis = {"B1", 0.1L, 0.3L, 3, AxisSpacing::Linear};
    EXPECT_EQ(axis.Values().front(), 0.1L);
    EXPECT_EQ(axis.Values().back(), 0.3L); // the end as written, not 0.1 + 2 x 0.1
    axis = {"dt", 0.001L, 1.0L, 4, AxisSpacing::Log};
    const std::vector<Extended> log = axis.Values();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0], 0.001L);
    EXPECT_EQ(log[1], 0.01L); // as typed, not exp(log(0.001) + ...)
    EXPECT_EQ(log[2], 0.1L);
    EXPECT_EQ(log[3], 1.0L);
    axis = {"A", 0.125L, 16.0L, 8, AxisSpacing::Log};
    EXPECT_EQ(axis.Values(), (std::vector<Extended>{0.125L, 0.25L, 0.5L, 1, 2, 4, 8, 16}));
    axis = {"B", 1.0L, 2.0L, 4, AxisSpacing::Log}; // 2^(1/3): rounded to 15 digits
    EXPECT_EQ(axis.Values()[1], 1.25992104989487L);
    axis = {"C1", 3.0L, 9.0L, 1, AxisSpacing::Log};
    EXPECT_EQ(axis.Values(), std::vector<Extended>{3.0L});
    axis = {"C1", 4.0L, 2.0L, 3, AxisSpacing::Linear};
    EXPECT_EQ(axis.Values(), (std::vector<Extended>{4.0L, 3.0L, 2.0L}));
}

TEST(Sweep, ParameterNamesStandForTheirFields) {
    EXPECT_EQ(ParameterFieldsNamed("dt"), std::vector<Extended World::*>{&World::dt});
    EXPECT_EQ(ParameterFieldsNamed("G3"), std::vector<Extended World::*>{&World::G3});
    EXPECT_EQ(ParameterFieldsNamed("A"),
              (std::vector<Extended World::*>{&World::A1, &World::A2, &World::A3}));
    EXPECT_EQ(ParameterFieldsNamed("F"),
              (std::vector<Extended World::*>{&World::F1, &World::F2, &World::F3}));
    for (const char* none : {"", "E", "E1", "A0", "A4", "dt1", "AB", "a"})
        EXPECT_TRUE(ParameterFieldsNamed(none).empty()) << none;
}

} // namespace taonscope
