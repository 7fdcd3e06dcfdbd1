// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Analysis.h"
#include "cli/Cli.h"
#include "cli/RunLog.h"
#include "support/CliRun.h"

#include "analysis/Measures.h"
#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/ConfigFile.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <variant>

namespace taonscope {
namespace {

using test::ReadAll;
using test::SaveWorld;
using test::TempDir;

using test::Cli;
using test::Outcome;

// A small strict JSON reader: enough to prove the output parses and to read its values back.
struct JsonValue {
    std::variant<std::nullptr_t, bool, long double, std::string, std::vector<JsonValue>,
                 std::map<std::string, JsonValue>>
        v;
    const JsonValue& operator[](const std::string& key) const {
        return std::get<std::map<std::string, JsonValue>>(v).at(key);
    }
    const JsonValue& operator[](std::size_t n) const { return std::get<std::vector<JsonValue>>(v).at(n); }
    long double Number() const { return std::get<long double>(v); }
    std::size_t Size() const { return std::get<std::vector<JsonValue>>(v).size(); }
};

class JsonReader {
public:
    explicit JsonReader(std::string text) : s_(std::move(text)) {}
    JsonValue Document() {
        JsonValue value = Value();
        Blank();
        if (p_ != s_.size()) throw std::runtime_error("text after the value");
        return value;
    }

private:
    void Blank() {
        while (p_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[p_]))) ++p_;
    }
    void Expect(char c) {
        Blank();
        if (p_ >= s_.size() || s_[p_] != c) throw std::runtime_error(std::string("expected ") + c);
        ++p_;
    }
    bool Next(char c) {
        Blank();
        if (p_ < s_.size() && s_[p_] == c) return ++p_, true;
        return false;
    }
    std::string String() {
        Expect('"');
        const std::size_t end = s_.find('"', p_);
        if (end == std::string::npos) throw std::runtime_error("open string");
        std::string text = s_.substr(p_, end - p_);
        p_ = end + 1;
        return text;
    }
    JsonValue Value() {
        Blank();
        if (p_ >= s_.size()) throw std::runtime_error("missing value");
        if (s_[p_] == '{') {
            ++p_;
            std::map<std::string, JsonValue> object;
            if (!Next('}')) do {
                    const std::string key = String();
                    Expect(':');
                    object[key] = Value();
                } while (Next(','));
            else
                return {object};
            Expect('}');
            return {object};
        }
        if (s_[p_] == '[') {
            ++p_;
            std::vector<JsonValue> array;
            if (Next(']')) return {array};
            do array.push_back(Value());
            while (Next(','));
            Expect(']');
            return {array};
        }
        if (s_[p_] == '"') return {String()};
        if (s_.compare(p_, 4, "true") == 0) return p_ += 4, JsonValue{true};
        if (s_.compare(p_, 5, "false") == 0) return p_ += 5, JsonValue{false};
        const std::size_t start = p_;
        if (s_[p_] == '-') ++p_;
        if (p_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[p_])))
            throw std::runtime_error("not a JSON number at " + std::to_string(start));
        while (p_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[p_])) || s_[p_] == '.' ||
                                  s_[p_] == 'e' || s_[p_] == 'E' || s_[p_] == '+' || s_[p_] == '-'))
            ++p_;
        return {std::stold(s_.substr(start, p_ - start))};
    }
    std::string s_;
    std::size_t p_ = 0;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(CliAnalyze, WritesJsonThatParsesWithTheWorldsValues) {
    TempDir dir;
    World world = CloudWorld();
    world.VelX[5] = 0.25L;
    SaveWorld(dir.File("cloud.tao"), world);

    const Outcome o = Cli({"analyze", dir.File("cloud.tao"), "--format", "json"});
    ASSERT_EQ(o.status, CliOk) << o.err;
    JsonValue json;
    ASSERT_NO_THROW(json = JsonReader(o.out).Document()) << o.out;
    EXPECT_EQ(json["kinetic"].Number(), KineticEnergy(world).Value); // 21 digits carry every bit
    EXPECT_EQ(json["pair_energy"].Number(), PairEnergy(world).Value);
    EXPECT_EQ(json["total_energy"].Number(), TakeSample(world, 0, 0).TotalEnergy.Value);
    EXPECT_EQ(std::get<bool>(json["energy_conserved"].v), false);
    EXPECT_EQ(json["momentum"].Size(), 3u);
    EXPECT_EQ(json["centre_of_mass"][2].Number(), CentreOfMass(world).Z);
    EXPECT_EQ(json["largest_speed"].Number(), LargestSpeed(world).Value);
    long double pairs = 0;
    for (const char* name : {"1-1", "1-2", "1-3", "2-2", "2-3", "3-3"}) {
        const JsonValue& h = json["histograms"][name];
        EXPECT_EQ(h["edges"].Size(), h["counts"].Size() + 1) << name;
        for (std::size_t n = 0; n < h["counts"].Size(); ++n) pairs += h["counts"][n].Number();
    }
    EXPECT_EQ(pairs, 4950);
    EXPECT_EQ(json["shells"]["2"].Size(), 5u);
    EXPECT_EQ(json["shells"]["2"][0].Number(), 3.1L);

    const Outcome text = Cli({"analyze", dir.File("cloud.tao")});
    EXPECT_NE(text.out.find("E is not conserved: the sets differ\n"), std::string::npos);
    EXPECT_NE(text.out.find("distances 2-3: 600 pairs\n"), std::string::npos);
    EXPECT_EQ(Cli({"analyze", dir.File("cloud.tao"), "--format", "csv"}).status, CliBadInput);
}

TEST(CliAnalyze, NonFiniteValuesAreJsonStrings) {
    EXPECT_EQ(PreciseReal(1.0L / 3), "0.333333333333333333342");
    TempDir dir;
    World world = EasySquareWorld();
    world.VelY[2] = -std::numeric_limits<Extended>::infinity();
    world.PosX[3] = std::numeric_limits<Extended>::infinity();
    world.G2 = std::numeric_limits<Extended>::infinity();
    world.F2 = -std::numeric_limits<Extended>::infinity();
    world.D2 = std::numeric_limits<Extended>::quiet_NaN();
    SaveWorld(dir.File("odd.tao"), world);
    const Outcome o = Cli({"analyze", dir.File("odd.tao"), "--format", "json"});
    ASSERT_EQ(o.status, CliOk) << o.err;
    JsonValue json;
    ASSERT_NO_THROW(json = JsonReader(o.out).Document()) << o.out;
    EXPECT_EQ(std::get<std::string>(json["kinetic"].v), "NAN");
    EXPECT_EQ(std::get<std::string>(json["momentum"][1].v), "NAN");
    EXPECT_EQ(std::get<std::string>(json["centre_of_mass"][0].v), "NAN");
    EXPECT_EQ(std::get<std::string>(json["shells"]["2"][4].v), "INF");
    EXPECT_EQ(std::get<std::string>(json["shells"]["2"][3].v), "-INF");
    EXPECT_EQ(std::get<std::string>(json["shells"]["2"][2].v), "NAN");
    EXPECT_EQ(json["shells"]["2"][1].Number(), 5);
    const Outcome text = Cli({"analyze", dir.File("odd.tao")});
    EXPECT_NE(text.out.find("K = n/a (The value is not a finite number)\n"), std::string::npos) << text.out;
}

TEST(CliRun, LogsTheStartEveryNStepsAndTheLastStep) {
    TempDir dir;
    ASSERT_EQ(Cli({"scenario", "ring", dir.File("ring.tao")}).status, CliOk);
    const Outcome o = Cli({"run", dir.File("ring.tao"), "--steps", "250", "--log", dir.File("log.csv"),
                           "--every", "100", "--kernel", "literal"});
    ASSERT_EQ(o.status, CliOk) << o.err;
    const std::vector<std::string> lines = Lines(ReadAll(dir.File("log.csv")));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "step,time,kinetic,pair_energy,total_energy,momentum,largest_speed");
    EXPECT_EQ(lines[1].substr(0, 4), "0,0,");
    EXPECT_EQ(lines[2].substr(0, 4), "100,");
    EXPECT_EQ(lines[4].substr(0, 4), "250,");

    World world = RingWorld();
    for (int n = 0; n < 250; ++n) AdvanceStep(world, CoolFactor(false));
    const Sample s = TakeSample(world, 250, 0);
    std::istringstream row(lines[4]);
    std::vector<std::string> cells;
    for (std::string cell; std::getline(row, cell, ',');) cells.push_back(cell);
    ASSERT_EQ(cells.size(), 7u);
    // The same law, the same steps: 21 significant digits give back every bit.
    EXPECT_EQ(std::stold(cells[1]), world.dt * 250);
    EXPECT_EQ(std::stold(cells[2]), s.Kinetic.Value);
    EXPECT_EQ(std::stold(cells[3]), s.PairEnergy.Value);
    EXPECT_EQ(std::stold(cells[4]), s.TotalEnergy.Value);

    EXPECT_EQ(Cli({"run", dir.File("ring.tao"), "--log", dir.File("no/such/folder/log.csv")}).status,
              CliBadInput);
}

TEST(CliRun, UntilSettledStopsAtTheFirstSlowStepOrAtTheLimit) {
    TempDir dir;
    World moving = RingWorld();
    for (int n = 0; n < 300; ++n) AdvanceStep(moving, CoolFactor(false)); // swinging, speeds near 1
    SaveWorld(dir.File("moving.tao"), moving);

    const Outcome settled = Cli({"run", dir.File("moving.tao"), "--until-settled", "1e-3", "--output",
                                 dir.File("out.tao"), "--log", dir.File("log.csv")});
    ASSERT_EQ(settled.status, CliOk) << settled.err;
    EXPECT_NE(settled.err.find("settled at step "), std::string::npos) << settled.err;
    const std::size_t at = std::stoul(settled.err.substr(settled.err.find("settled at step ") + 16));
    EXPECT_GT(at, 10u);
    EXPECT_NE(settled.err.find(std::to_string(at) + " steps in"), std::string::npos);

    // The same run by hand, with Cool: the first step below the speed is that one, and not earlier.
    World expected = moving;
    FastLaw law;
    for (std::size_t n = 1; n <= at; ++n) {
        AdvanceStep(expected, CoolFactor(true), law);
        EXPECT_EQ(LargestSpeed(expected).Value < 1e-3L, n == at) << n;
    }
    const std::vector<std::string> lines = Lines(ReadAll(dir.File("log.csv")));
    EXPECT_EQ(lines.back().substr(0, std::to_string(at).size() + 1), std::to_string(at) + ",");

    // Without Cool the ring keeps swinging: the run ends at the step limit, says so and exits with 3.
    for (const char* limit : {"--steps", "--max-steps"}) {
        const Outcome limited =
            Cli({"run", dir.File("moving.tao"), "--until-settled", "1e-3", "--no-cool", limit, "50"});
        EXPECT_EQ(limited.status, CliNotSettled);
        EXPECT_NE(limited.err.find("not settled within 50 steps"), std::string::npos) << limited.err;
    }
    EXPECT_EQ(Cli({"run", dir.File("moving.tao"), "--until-settled", "slow"}).status, CliBadInput);
}

} // namespace
} // namespace taonscope
