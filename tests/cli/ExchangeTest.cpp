// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that take configurations to other programs and back: run --trajectory, import, render.
#include "cli/Cli.h"
#include "support/CliRun.h"

#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/ConfigFile.h"
#include "document/XyzFile.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <regex>
#include <sstream>
#include <sys/wait.h>

#ifdef TAONSCOPE_WITH_QT
#include <QColor>
#include <QImage>
#endif

namespace taonscope {
namespace {

using test::CloudFrames;
using test::ReadAll;
using test::SaveWorld;
using test::SmallCloud;
using test::TempDir;
using test::WriteAll;

using test::Cli;
using test::Outcome;

ConfigRecord RecordOf(const World& world) {
    ConfigRecord record{};
    PackConfigRecord(world, record);
    return record;
}

ConfigRecord FileRecord(const std::string& path) {
    ConfigRecord record{};
    EXPECT_EQ(ReadConfigFile(path, record), 0);
    return record;
}

// The Step= values of the frames of a trajectory, in file order.
std::vector<int> FrameSteps(const std::string& text) {
    std::vector<int> steps;
    for (std::size_t at = text.find(" Step="); at != std::string::npos; at = text.find(" Step=", at + 1))
        steps.push_back(std::atoi(text.c_str() + at + 6));
    return steps;
}

TEST(CliTrajectory, WritesTheFirstFrameOneEveryNStepsAndTheLastOnce) {
    TempDir dir;
    SaveWorld(dir.File("ring.tao"), RingWorld());
    const Outcome run = Cli({"run", dir.File("ring.tao"), "--steps", "25", "--kernel", "literal",
                             "--trajectory", dir.File("ring.xyz"), "--every", "10"});
    ASSERT_EQ(run.status, CliOk) << run.err;
    const std::string text = ReadAll(dir.File("ring.xyz"));
    EXPECT_EQ(FrameSteps(text), (std::vector<int>{0, 10, 20, 25}));

    // Every frame holds the world after its step.
    World expected = RingWorld();
    std::string frames = FormatXyzFrame(expected, 0, 0);
    for (int step = 1; step <= 25; ++step) {
        AdvanceStep(expected, CoolFactor(false));
        if (step % 10 == 0 || step == 25) frames += FormatXyzFrame(expected, step, step * expected.dt);
    }
    EXPECT_EQ(text, frames);
    EXPECT_EQ(RecordOf(ReadXyzText(text, {.frame = 3})), [] {
        World w = RingWorld();
        for (int i = 0; i < 20; ++i) AdvanceStep(w, CoolFactor(false));
        return RecordOf(w);
    }());

    ASSERT_EQ(Cli({"run", dir.File("ring.tao"), "--steps", "20", "--trajectory", dir.File("even.xyz"),
                   "--every", "10"})
                  .status,
              CliOk);
    EXPECT_EQ(FrameSteps(ReadAll(dir.File("even.xyz"))), (std::vector<int>{0, 10, 20}));
    ASSERT_EQ(Cli({"run", dir.File("ring.tao"), "--steps", "0", "--trajectory", dir.File("none.xyz")}).status,
              CliOk);
    EXPECT_EQ(FrameSteps(ReadAll(dir.File("none.xyz"))), (std::vector<int>{0}));
    ASSERT_EQ(
        Cli({"run", dir.File("ring.tao"), "--steps", "250", "--trajectory", dir.File("default.xyz")}).status,
        CliOk);
    EXPECT_EQ(FrameSteps(ReadAll(dir.File("default.xyz"))), (std::vector<int>{0, 100, 200, 250}));

    EXPECT_EQ(Cli({"run", dir.File("ring.tao"), "--trajectory", dir.File("x.xyz"), "--every", "0"}).status,
              CliBadInput);
    const Outcome unwritable = Cli({"run", dir.File("ring.tao"), "--trajectory", dir.File("missing/x.xyz"),
                                    "--output", dir.File("o.tao")});
    EXPECT_EQ(unwritable.status, CliBadInput);
    EXPECT_EQ(unwritable.err,
              dir.File("missing/x.xyz") + ": the folder " + dir.File("missing") + " does not exist\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("o.tao")));
    const Outcome full = Cli({"run", dir.File("ring.tao"), "--trajectory", "/dev/full"});
    EXPECT_EQ(full.status, CliBadInput);
    EXPECT_NE(full.err.find("/dev/full: "), std::string::npos);
}

TEST(CliTrajectory, ARunThatFaultsKeepsTheFramesWrittenSoFar) {
    // One taon running into the end of the range: the third step overflows.
    TempDir dir;
    World world;
    for (int kind = 1; kind <= 3; ++kind) SetParameterSet(world, kind, FigureParameters());
    world.TaonPresent[1] = true;
    world.PosX[1] = 0.75L * std::numeric_limits<Extended>::max();
    world.VelX[1] = 0.1L * std::numeric_limits<Extended>::max();
    world.dt = 1;
    SyncCopiesFromCurrent(world);
    SaveWorld(dir.File("fly.tao"), world);
    const Outcome run = Cli(
        {"run", dir.File("fly.tao"), "--steps", "9", "--trajectory", dir.File("fly.xyz"), "--every", "1"});
    EXPECT_EQ(run.status, CliLawFault);
    EXPECT_NE(run.err.find(": step 3: "), std::string::npos) << run.err;
    const std::string text = ReadAll(dir.File("fly.xyz"));
    EXPECT_EQ(FrameSteps(text), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ReadXyzText(text).PosX[1], world.PosX[1] + 2 * world.VelX[1]);
}

std::string RecordCloud(const TempDir& dir) {
    SaveWorld(dir.File("cloud.tao"), SmallCloud());
    const std::string path = dir.File("cloud.xyz");
    const Outcome run = Cli({"run", dir.File("cloud.tao"), "--steps", "20", "--kernel", "literal",
                             "--trajectory", path, "--every", "10"});
    EXPECT_EQ(run.status, CliOk) << run.err;
    return path;
}

// T1, T2 or T3: the species of a slot's kind.
std::string SpeciesOf(const World& world, int j) {
    const char species[3] = {'T', static_cast<char>('0' + TaonKind(world, j)), '\0'};
    return species;
}

Extended Real(const std::string& text) {
    const auto value = ParseXyzReal(text);
    EXPECT_TRUE(value.has_value()) << text;
    return value.value_or(0);
}

TEST(CliTrajectory, EveryFrameFollowsTheExtendedFormatToTheLetter) {
    TempDir dir;
    const std::string text = ReadAll(RecordCloud(dir));
    const std::vector<World> expected = CloudFrames();
    const std::regex comment(
        R"re(Properties=species:S:1:pos:R:3:velo:R:3:slot:I:1 Time=(\S+) Step=(\d+) )re"
        R"re(dt=(\S+) pbc="F F F" program="Taonscope \d+\.\d+\.\d+"((?: [A-DFG][123]=\S+){18}))re");
    const std::regex parameter(R"re( ([A-DFG][123])=(\S+))re");
    const std::regex taon(R"re((T[123])((?: \S+){6}) (\d+))re");
    std::istringstream lines(text);
    std::string line;
    for (std::size_t f = 0; f < expected.size(); ++f) {
        const World& world = expected[f];
        ASSERT_TRUE(std::getline(lines, line));
        ASSERT_EQ(line, "15");
        ASSERT_TRUE(std::getline(lines, line));
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, comment)) << line;
        EXPECT_EQ(match[2].str(), std::to_string(10 * f));
        EXPECT_EQ(Real(match[3]), world.dt);
        EXPECT_EQ(Real(match[1]), static_cast<Extended>(10 * f) * world.dt);
        const std::string parameters = match[4].str();
        std::size_t p = 1;
        for (std::sregex_iterator it(parameters.begin(), parameters.end(), parameter), end; it != end;
             ++it, ++p) {
            EXPECT_EQ((*it)[1].str(), ParameterNames[p]);
            EXPECT_EQ(Real((*it)[2]), world.*ParameterFields[p]);
        }
        EXPECT_EQ(p, ParameterFields.size());
        for (int j = 1; j <= MaxTaons; ++j) {
            if (!world.TaonPresent[j]) continue;
            ASSERT_TRUE(std::getline(lines, line));
            ASSERT_TRUE(std::regex_match(line, match, taon)) << line;
            EXPECT_EQ(match[1].str(), SpeciesOf(world, j));
            EXPECT_EQ(match[3].str(), std::to_string(j)); // the slot column
            std::istringstream values(match[2].str());
            std::string x, y, z, u, v, w;
            values >> x >> y >> z >> u >> v >> w;
            EXPECT_EQ(Real(x), world.PosX[j]);
            EXPECT_EQ(Real(z), world.PosZ[j]);
            EXPECT_EQ(Real(u), world.VelX[j]); // the velo columns
            EXPECT_EQ(Real(v), world.VelY[j]);
            EXPECT_EQ(Real(w), world.VelZ[j]);
        }
    }
    EXPECT_FALSE(std::getline(lines, line));
}

TEST(CliTrajectory, MDAnalysisReadsTheFramesNamesAndPositions) {
    TempDir dir;
    const std::string path = RecordCloud(dir);
    const std::string python = "/usr/bin/python3"; // the system's, with the Debian package
    if (!std::filesystem::exists(python))
        GTEST_SKIP() << "MDAnalysis check skipped: " << python << " is missing";
    const std::string command = python + " " + TAONSCOPE_MDA_SCRIPT + " " + path + " > " +
                                dir.File("seen.txt") + " 2> " + dir.File("err.txt");
    const int status = WEXITSTATUS(std::system(command.c_str()));
    if (status == 3) GTEST_SKIP() << "MDAnalysis check skipped: " << ReadAll(dir.File("err.txt"));
    ASSERT_EQ(status, 0) << ReadAll(dir.File("err.txt"));

    std::istringstream seen(ReadAll(dir.File("seen.txt")));
    const std::vector<World> expected = CloudFrames();
    std::size_t frames = 0;
    seen >> frames;
    ASSERT_EQ(frames, expected.size());
    for (const World& world : expected)
        for (int j = 1; j <= MaxTaons; ++j) {
            if (!world.TaonPresent[j]) continue;
            std::string name;
            double xyz[3] = {};
            ASSERT_TRUE(seen >> name >> xyz[0] >> xyz[1] >> xyz[2]);
            EXPECT_EQ(name, SpeciesOf(world, j));
            const Extended position[3] = {world.PosX[j], world.PosY[j], world.PosZ[j]};
            for (int c = 0; c < 3; ++c) // single precision
                EXPECT_NEAR(xyz[c], static_cast<double>(position[c]), 1e-6 * (1 + std::fabs(xyz[c]))) << j;
        }
}

TEST(CliImport, WritesTheFrameAskedForAndNothingWhenItCannotBeRead) {
    TempDir dir;
    World first = EasySquareWorld(), second = CloudWorld(3);
    second.dt = 0.004L;
    WriteAll(dir.File("two.xyz"), FormatXyzFrame(first, 0, 0) + FormatXyzFrame(second, 5, 0.02L));

    ASSERT_EQ(Cli({"import", dir.File("two.xyz"), dir.File("last.tao")}).status, CliOk);
    EXPECT_EQ(FileRecord(dir.File("last.tao")), RecordOf(second));
    ASSERT_EQ(
        Cli({"import", dir.File("two.xyz"), dir.File("first.tao"), "--frame", "1", "--dt", "0.5"}).status,
        CliOk);
    first.dt = 0.5L;
    EXPECT_EQ(FileRecord(dir.File("first.tao")), RecordOf(first));

    WriteAll(dir.File("bad.xyz"), "2\n\nT1 0 0 0\nT2 0 zero 0\n");
    const Outcome bad = Cli({"import", dir.File("bad.xyz"), dir.File("bad.tao")});
    EXPECT_EQ(bad.status, CliBadInput);
    EXPECT_EQ(bad.err, dir.File("bad.xyz") + ": line 4: 'zero' is not a number\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("bad.tao")));

    const Outcome missing = Cli({"import", dir.File("none.xyz"), dir.File("none.tao")});
    EXPECT_EQ(missing.err, dir.File("none.xyz") + ": File not found\n");
    EXPECT_EQ(Cli({"import", dir.File("two.xyz"), dir.File("x.tao"), "--frame", "3"}).err,
              dir.File("two.xyz") + ": the file holds 2 frames, not 3\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"import", dir.File("two.xyz")},
          {"import", dir.File("two.xyz"), dir.File("x.tao"), "--frame", "0"},
          {"import", dir.File("two.xyz"), dir.File("x.tao"), "--dt", "fast"},
          {"import", dir.File("two.xyz"), dir.File("x.tao"), "--steps", "1"}}) {
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.status, CliBadInput);
        EXPECT_EQ(outcome.err.rfind("taonscope-cli: ", 0), 0u) << outcome.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.tao")));
}

TEST(CliHelp, ListsTheExchangeCommands) {
    const std::string help = Cli({"--help"}).out;
    for (const char* text :
         {"[--trajectory OUT.xyz [--every N]]", "taonscope-cli import IN.xyz OUT.tao [--frame K] [--dt X]",
          "taonscope-cli render IN.tao OUT.png [--size WxH] [--angles TETA,PSI,PHI] [--scale S] "
          "[--numbers]"})
        EXPECT_NE(help.find(text), std::string::npos) << text;
}

#ifdef TAONSCOPE_WITH_QT
// Where a point lands on a picture of width x height at the angles and scale, worked out here from the
// rotation Rx Ry Rz and the projection (x to the right, z down, one unit scale / 2 pixels), rounded half
// to even.
std::pair<int, int> Pixel(const std::array<long double, 3>& angles, long double scale, int width, int height,
                          const std::array<long double, 3>& p) {
    const long double cT = std::cos(angles[0]), sT = std::sin(angles[0]), cP = std::cos(angles[1]),
                      sP = std::sin(angles[1]), cF = std::cos(angles[2]), sF = std::sin(angles[2]);
    const long double rx = cP * cF * p[0] - cP * sF * p[1] + sP * p[2];
    const long double rz =
        (-cT * sP * cF + sT * sF) * p[0] + (cT * sP * sF + sT * cF) * p[1] + cT * cP * p[2];
    return {static_cast<int>(std::nearbyint(std::nearbyint(width / 2.0L) + rx * scale / 2)),
            static_cast<int>(std::nearbyint(std::nearbyint(height / 2.0L) + rz * scale / 2))};
}

// render draws a known scene without a display, pixel for pixel where the projection puts its taons:
// 2 x 2 dots in the kinds' colours, or discs of the sphere size (0.5, or --sphere-size) times scale / 2.
TEST(CliRender, DrawsKnownScenesWhereTheProjectionPutsThemWithoutADisplay) {
    TempDir dir;
    World world;
    const std::array<std::array<long double, 3>, 3> at = {{{2, 0, 0}, {0, 0, 1.5L}, {-2, 0.5L, -1.5L}}};
    const int taonSlots[3] = {1, 51, 81};
    const QRgb colours[3] = {qRgb(0, 255, 0), qRgb(255, 255, 0), qRgb(255, 0, 0)};
    for (int t = 0; t < 3; ++t) {
        world.TaonPresent[taonSlots[t]] = true;
        world.PosX[taonSlots[t]] = at[t][0], world.PosY[taonSlots[t]] = at[t][1],
        world.PosZ[taonSlots[t]] = at[t][2];
    }
    SyncCopiesFromCurrent(world);
    SaveWorld(dir.File("three.tao"), world);
    const struct {
        std::string options;
        std::array<long double, 3> angles;
        long double scale, radius; // radius 0: dots
    } cases[] = {
        {"--scale 40", {0, 0, 0}, 40, 0},
        {"--angles 0.5,-0.25,1 --scale 30 --style dots", {0.5L, -0.25L, 1}, 30, 0},
        {"--scale 40 --style spheres", {0, 0, 0}, 40, 10},
        {"--angles 0,0,1.5707963267948966 --scale 40 --style spheres --sphere-size 0.3",
         {0, 0, 1.5707963267948966L},
         40,
         6},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(test::CliProgram("render " + dir.File("three.tao") + " " + dir.File("three.png") +
                                       " --size 200x160 " + c.options,
                                   dir),
                  0)
            << c.options << test::ReadAll(dir.File("cli.err"));
        const QImage picture =
            QImage(QString::fromStdString(dir.File("three.png"))).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(picture.size(), QSize(200, 160));
        const auto lit = [&](int x, int y) { return (picture.pixel(x, y) & 0xFFFFFF) != 0; };
        int expectedLit = 0, litPixels = 0;
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 200; ++x) litPixels += lit(x, y);
        for (int t = 0; t < 3; ++t) {
            const auto [x, y] = Pixel(c.angles, c.scale, 200, 160, at[t]);
            if (c.radius == 0) {
                for (int d = 0; d < 4; ++d)
                    EXPECT_EQ(picture.pixel(x + d % 2, y + d / 2), colours[t])
                        << c.options << " taon " << taonSlots[t];
                expectedLit += 4;
                continue;
            }
            // A shaded disc: its kind's hue in the middle, lit inside the radius and dark beyond it.
            const QColor middle(picture.pixel(x, y));
            EXPECT_EQ(middle.hue() / 10, QColor(colours[t]).hue() / 10)
                << c.options << " taon " << taonSlots[t];
            const int r = static_cast<int>(c.radius);
            for (const auto& [dx, dy] : std::vector<std::pair<int, int>>{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                EXPECT_TRUE(lit(x + dx * (r - 2), y + dy * (r - 2))) << c.options << " taon " << taonSlots[t];
                EXPECT_FALSE(lit(x + dx * (r + 2), y + dy * (r + 2)))
                    << c.options << " taon " << taonSlots[t];
            }
        }
        if (c.radius == 0) {
            EXPECT_EQ(litPixels, expectedLit) << c.options;
        }
    }

    for (const std::vector<std::string>& extra : {std::vector<std::string>{"--size", "0x10"},
                                                  {"--size", "12"},
                                                  {"--angles", "1,2"},
                                                  {"--scale", "big"},
                                                  {"--style", "balls"},
                                                  {"--style", "spheres", "--sphere-size", "0"},
                                                  {"--sphere-size", "wide"}}) {
        std::vector<std::string> args = {"render", dir.File("three.tao"), dir.File("x.png")};
        args.insert(args.end(), extra.begin(), extra.end());
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.status, CliBadInput);
        EXPECT_EQ(outcome.err.rfind("taonscope-cli: ", 0), 0u) << outcome.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.png")));
    EXPECT_EQ(Cli({"render", dir.File("none.tao"), dir.File("x.png")}).err,
              dir.File("none.tao") + ": File not found\n");
}
#else
TEST(CliRender, SaysItIsNotAvailableWithoutQt) {
    const Outcome outcome = Cli({"render", "a.tao", "a.png"});
    EXPECT_EQ(outcome.status, CliBadInput);
    EXPECT_NE(outcome.err.find("not available"), std::string::npos);
}
#endif

} // namespace
} // namespace taonscope
