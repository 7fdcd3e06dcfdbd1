// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Cli.h"
#include "support/CliRun.h"

#include "core/Scenarios.h"
#include "core/Step.h"
#include "core/Version.h"
#include "document/ConfigFile.h"
#include "document/XyzFile.h"
#include "support/ChildProcess.h"
#include "support/FileSizeLimit.h"
#include "support/JsonChecker.h"
#include "support/SyncCalls.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

namespace taonscope {
namespace {

using test::LoadWorld;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

using test::Cli;
using test::Outcome;

TEST(Cli, RunsAHundredTaonFileAndShowsTheResult) {
    TempDir dir;
    ASSERT_EQ(Cli({"scenario", "cloud", dir.File("cloud.tao")}).status, CliOk);
    const Outcome run = Cli({"run", dir.File("cloud.tao"), "--steps", "2", "--kernel", "literal", "--output",
                             dir.File("out.tao")});
    ASSERT_EQ(run.status, CliOk) << run.err;
    EXPECT_NE(run.err.find("2 steps in"), std::string::npos);
    EXPECT_NE(run.err.find("steps/s)"), std::string::npos);

    World expected = CloudWorld();
    AdvanceStep(expected, CoolFactor(false));
    AdvanceStep(expected, CoolFactor(false));
    const World result = LoadWorld(dir.File("out.tao"));
    EXPECT_EQ(result.PosX, expected.PosX);
    EXPECT_EQ(result.VelZ, expected.VelZ);

    const Outcome show = Cli({"show", dir.File("out.tao")});
    ASSERT_EQ(show.status, CliOk);
    EXPECT_NE(show.out.find("dt = 0.001\n"), std::string::npos);
    EXPECT_NE(show.out.find("B2 = 3.1\n"), std::string::npos);
    EXPECT_NE(show.out.find("taon\tX\tY\tZ\n"), std::string::npos);
    EXPECT_NE(show.out.find("\n100\t"), std::string::npos);
}

TEST(Cli, TheFastKernelIsTheDefaultOnAnyNumberOfThreads) {
    TempDir dir;
    ASSERT_EQ(Cli({"scenario", "cloud", dir.File("cloud.tao")}).status, CliOk);
    ASSERT_EQ(Cli({"run", dir.File("cloud.tao"), "--steps", "3", "--output", dir.File("default.tao")}).status,
              CliOk);
    ASSERT_EQ(Cli({"run", dir.File("cloud.tao"), "--steps", "3", "--kernel", "fast", "--threads", "1",
                   "--output", dir.File("one.tao")})
                  .status,
              CliOk);
    World expected = CloudWorld();
    FastLaw law(3);
    for (int n = 0; n < 3; ++n) AdvanceStep(expected, CoolFactor(false), law);
    EXPECT_EQ(LoadWorld(dir.File("default.tao")).PosY, expected.PosY);
    EXPECT_EQ(ReadAll(dir.File("one.tao")), ReadAll(dir.File("default.tao")));
}

TEST(Cli, DtAndCoolAreUsedAndTheDtWrittenIsTheOneUsed) {
    TempDir dir;
    World lone;
    SetParameterSet(lone, 1, FigureParameters());
    SetParameterSet(lone, 2, FigureParameters());
    SetParameterSet(lone, 3, FigureParameters());
    lone.TaonPresent[1] = true;
    lone.VelX[1] = 1;
    lone.dt = 0.001L;
    ConfigRecord buffer{};
    WriteConfigFile(dir.File("lone.tao"), lone, buffer);

    ASSERT_EQ(Cli({"run", dir.File("lone.tao"), "--steps", "3", "--dt", "0.5", "--cool", "--output",
                   dir.File("out.tao")})
                  .status,
              CliOk);
    const World result = LoadWorld(dir.File("out.tao"));
    EXPECT_EQ(result.dt, 0.5L);
    const Extended v = 0.99L * 0.99L * 0.99L;
    EXPECT_EQ(result.VelX[1], v);
    EXPECT_NEAR(result.PosX[1], 0.5L * (0.99L + 0.99L * 0.99L + v), 1e-18L);
}

TEST(Cli, ZeroStepsWritesTheFileBack) {
    TempDir dir;
    ASSERT_EQ(Cli({"scenario", "ring", dir.File("ring.tao")}).status, CliOk);
    ASSERT_EQ(Cli({"run", dir.File("ring.tao"), "--steps", "0", "--output", dir.File("copy.tao")}).status,
              CliOk);
    EXPECT_EQ(ReadAll(dir.File("copy.tao")), ReadAll(dir.File("ring.tao")));
}

TEST(Cli, ShowsVelocitiesAsCsvAndJson) {
    TempDir dir;
    ASSERT_EQ(Cli({"scenario", "easy-square", dir.File("sq.tao")}).status, CliOk);
    const Outcome csv = Cli({"show", dir.File("sq.tao"), "--velocities", "--format", "csv"});
    EXPECT_EQ(csv.out.rfind("slot,kind,x,y,z,vx,vy,vz\n1,1,", 0), 0u);
    EXPECT_NE(csv.out.find(",0.00000000000000000000e+00\n2,1,"), std::string::npos);
    const Outcome parameters = Cli({"show", dir.File("sq.tao"), "--format", "csv", "--parameters"});
    EXPECT_EQ(parameters.out.rfind("parameter,value\ndt,9.99999999999999999958e-04\nA1,1.000", 0), 0u);
    EXPECT_NE(parameters.out.find("\nB1,2.71799999999999999998e+00\n"), std::string::npos);
    // JSON: every taon with its slot, kind, position and velocity to the last bit (21 digits), read back
    // here by the C library.
    World moving = CloudWorld();
    test::SaveWorld(dir.File("cloud.tao"), moving);
    const Outcome json = Cli({"show", dir.File("cloud.tao"), "--format", "json"});
    EXPECT_NE(json.out.find("\"G3\": 2.40000000000000000000e+01}"), std::string::npos)
        << json.out.substr(0, 400);
    const std::regex taon(R"re(\{"slot": (\d+), "kind": (\d), "x": (\S+), "y": (\S+), "z": (\S+), )re"
                          R"re("vx": (\S+), "vy": (\S+), "vz": (\S+)\})re");
    int taons = 0;
    for (std::sregex_iterator m(json.out.begin(), json.out.end(), taon), end; m != end; ++m, ++taons) {
        const int slot = std::stoi((*m)[1]);
        EXPECT_EQ(std::stoi((*m)[2]), TaonKind(moving, slot));
        const TaonArray* values[6] = {&moving.PosX, &moving.PosY, &moving.PosZ,
                                      &moving.VelX, &moving.VelY, &moving.VelZ};
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(std::strtold((*m)[3 + c].str().c_str(), nullptr), (*values[c])[slot])
                << slot << " " << c;
    }
    EXPECT_EQ(taons, 100);
}

TEST(Cli, TheCsvTableIsOneTableThatNumpyReads) {
    const std::string python = "/usr/bin/python3";
    if (!std::filesystem::exists(python)) GTEST_SKIP() << "numpy check skipped: " << python << " is missing";
    TempDir dir;
    World world = CloudWorld();
    world.TaonPresent[7] = false;
    test::SaveWorld(dir.File("cloud.tao"), world);
    WriteAll(dir.File("cloud.csv"), Cli({"show", dir.File("cloud.tao"), "--format", "csv"}).out);
    const std::string script = "import numpy; t = numpy.genfromtxt('" + dir.File("cloud.csv") +
                               "', delimiter=',', names=True)\nprint(*t.dtype.names)\n"
                               "for row in t: print(*(repr(float(v)) for v in row))";
    const std::string command = python + " -c \"" + script + "\" > " + dir.File("seen.txt") + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadAll(dir.File("seen.txt"));
    std::istringstream seen(ReadAll(dir.File("seen.txt")));
    std::string header;
    std::getline(seen, header);
    EXPECT_EQ(header, "slot kind x y z vx vy vz");
    int rows = 0;
    for (double slot, kind, values[6];
         seen >> slot >> kind >> values[0] >> values[1] >> values[2] >> values[3] >> values[4] >> values[5];
         ++rows) {
        const auto j = static_cast<std::size_t>(slot);
        EXPECT_EQ(kind, TaonKind(world, static_cast<int>(j)));
        // numpy rounds the decimal, not the extended value: where that lies on a midpoint, they part by an
        // ulp.
        EXPECT_DOUBLE_EQ(values[0], static_cast<double>(world.PosX[j]));
        EXPECT_DOUBLE_EQ(values[5], static_cast<double>(world.VelZ[j]));
    }
    EXPECT_EQ(rows, 99);
}

TEST(JsonChecker, TellsValidJsonFromInvalid) {
    EXPECT_TRUE(test::JsonChecker::Valid(R"( {"a": [1, -0.5, 2E-5, "x\"y", true, null], "b": {}} )"));
    for (const char* bad : {"{\"a\": INF}", "{\"a\": NAN}", "[1,]", "{\"a\" 1}", "01", "1.", "[1] 2",
                            "\"open", "{\"a\": -INF}", "[.5]"})
        EXPECT_FALSE(test::JsonChecker::Valid(bad)) << bad;
}

TEST(Cli, JsonOfInfinitiesAndNotANumberIsValid) {
    TempDir dir;
    World world = EasySquareWorld();
    world.A1 = -INFINITY;
    world.dt = NAN;
    world.PosX[2] = INFINITY;
    world.PosY[3] = NAN;
    world.VelZ[4] = -INFINITY;
    ConfigRecord buffer{};
    WriteConfigFile(dir.File("odd.tao"), world, buffer);
    const Outcome positions = Cli({"show", dir.File("odd.tao"), "--format", "json"});
    ASSERT_EQ(positions.status, CliOk) << positions.err;
    EXPECT_TRUE(test::JsonChecker::Valid(positions.out)) << positions.out;
    EXPECT_NE(positions.out.find("\"dt\": \"nan\", \"A1\": \"-inf\", \"B1\": 2.71799999999999999998e+00"),
              std::string::npos);
    EXPECT_NE(
        positions.out.find("{\"slot\": 2, \"kind\": 1, \"x\": \"inf\", \"y\": 2.11999999999999999995e-01"),
        std::string::npos);
    EXPECT_NE(positions.out.find("\"y\": \"nan\""), std::string::npos);
    EXPECT_NE(positions.out.find("\"vz\": \"-inf\"}"), std::string::npos);
}

// A file that is no configuration (not 6296 bytes) is refused with a hint, and a missing folder is named:
// before the first step, with status 2 and the one line.
TEST(Cli, FileErrorsNameTheFileAndWhatIsWrongWithIt) {
    TempDir dir;
    WriteAll(dir.File("short.tao"), std::string(100, '\0'));
    WriteAll(dir.File("long.tao"), std::string(12345, '\0'));
    ASSERT_EQ(Cli({"scenario", "ring", dir.File("ok.tao")}).status, CliOk);
    ASSERT_EQ(Cli({"run", dir.File("ok.tao"), "--trajectory", dir.File("ring.xyz")}).status, CliOk);
    WriteAll(dir.File("file"), "");
    const std::string xyzSize = std::to_string(std::filesystem::file_size(dir.File("ring.xyz")));
    const std::string hint = "; a configuration has 6296): taonscope-cli import reads coordinates";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"run", dir.File("short.tao")}, dir.File("short.tao") + " is not a configuration (100 bytes" + hint},
        {{"show", dir.File("long.tao")},
         dir.File("long.tao") + " is not a configuration (12,345 bytes" + hint},
        {{"analyze", dir.File("ring.xyz")},
         dir.File("ring.xyz") + " is not a configuration (" + xyzSize.substr(0, xyzSize.size() - 3) + "," +
             xyzSize.substr(xyzSize.size() - 3) + " bytes" + hint},
        {{"show", dir.File("none.tao")}, dir.File("none.tao") + ": File not found"},
        {{"run", dir.File("ok.tao"), "--output", dir.File("no/dir.tao")},
         dir.File("no/dir.tao") + ": the folder " + dir.File("no") + " does not exist"},
        {{"run", dir.File("ok.tao"), "--log", dir.File("no/l.csv")},
         dir.File("no/l.csv") + ": the folder " + dir.File("no") + " does not exist"},
        {{"run", dir.File("ok.tao"), "--output", "no/dir.tao"}, "no/dir.tao: the folder no does not exist"},
    };
    for (const auto& [args, message] : cases) {
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.status, CliBadInput) << message;
        EXPECT_EQ(outcome.err, message + "\n");
    }
}

TEST(Cli, AnOutputThatCannotBeWrittenStopsTheRunBeforeItStarts) {
    test::TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    ASSERT_EQ(Cli({"scenario", "ring", dir.File("ring.tao")}).status, CliOk);
    ASSERT_EQ(::mkfifo(dir.File("pipe.tao").c_str(), 0666), 0);
    ::chmod(dir.File("pipe.tao").c_str(), 0666);
    WriteAll(dir.File("protected.tao"), "keep");
    ::chmod(dir.File("protected.tao").c_str(), 0444);
    ::chmod(dir.File("ring.tao").c_str(), 0444);
    auto statusOf = [&](const std::string& output, const std::string& message) {
        return test::RunAsOrdinaryUser([&] {
            const Outcome outcome =
                Cli({"run", dir.File("ring.tao"), "--steps", "100000", "--output", output});
            return outcome.status == CliBadInput && outcome.err == output + ": " + message + "\n" ? 0 : 1;
        });
    };
    EXPECT_EQ(statusOf(dir.File("pipe.tao"), "no reader on the FIFO"), 0) << "a FIFO without a reader";
    EXPECT_EQ(statusOf(dir.File("protected.tao"), "File access denied"), 0)
        << "a file the user may not write";
    EXPECT_EQ(ReadAll(dir.File("protected.tao")), "keep");
}

// Runs taonscope-cli with args in a process of its own, its standard error going to errPath; its
// process number.
pid_t StartCli(const std::vector<std::string>& args, const std::string& errPath) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(TAONSCOPE_CLI_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        if (std::freopen(errPath.c_str(), "w", stderr)) ::execv(TAONSCOPE_CLI_PATH, argv.data());
        ::_exit(127);
    }
    return pid;
}

int ExitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Waits until the file at path holds at least lines lines (at most 30 s).
bool WaitForLines(const std::string& path, std::size_t lines) {
    for (int waited = 0; waited < 3000; ++waited) {
        const std::string text = ReadAll(path);
        if (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= lines) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(CliRun, LongRunsShowProgressLogAsTheyGoAndEndAtAWholeStepOnASignal) {
    TempDir dir;
    ASSERT_EQ(Cli({"scenario", "ring", dir.File("ring.tao")}).status, CliOk);
    for (const int signal : {SIGTERM, SIGINT}) {
        for (const char* name : {"err.txt", "log.csv", "run.xyz"}) std::filesystem::remove(dir.File(name));
        const pid_t pid = StartCli({"run", dir.File("ring.tao"), "--steps", "2000000000", "--every", "1000",
                                    "--progress", "--log", dir.File("log.csv"), "--trajectory",
                                    dir.File("run.xyz"), "--output", dir.File("out.tao")},
                                   dir.File("err.txt"));
        // Rows reach the log while the run goes on; the progress line comes once a second.
        EXPECT_TRUE(WaitForLines(dir.File("log.csv"), 4));
        EXPECT_TRUE(WaitForLines(dir.File("err.txt"), 1));
        ::kill(pid, signal);
        EXPECT_EQ(ExitStatus(pid), 128 + signal);
        const std::string err = ReadAll(dir.File("err.txt"));
        EXPECT_NE(err.find("largest speed "), std::string::npos) << err;
        EXPECT_NE(err.find(" steps/s\n"), std::string::npos) << err;
        // The output, the last row and the last frame are the same whole step.
        const std::string log = ReadAll(dir.File("log.csv"));
        const std::string lastRow = log.substr(log.rfind('\n', log.size() - 2) + 1);
        const std::string frames = ReadAll(dir.File("run.xyz"));
        const std::string lastStep = frames.substr(frames.rfind(" Step=") + 6);
        EXPECT_EQ(lastRow.substr(0, lastRow.find(',')), lastStep.substr(0, lastStep.find(' ')));
        const World out = test::LoadWorld(dir.File("out.tao"));
        EXPECT_EQ(out.PosX, ReadXyzFile(dir.File("run.xyz")).PosX);
        EXPECT_NE(err.find("stopped by " + std::string(signal == SIGINT ? "SIGINT" : "SIGTERM") +
                           " after step " + lastRow.substr(0, lastRow.find(','))),
                  std::string::npos)
            << err;
    }
}

TEST(CliRun, FilesAreCheckedBeforeTheRunAndAFailingOneKeepsTheOutput) {
    TempDir dir;
    ASSERT_EQ(Cli({"scenario", "cloud", dir.File("cloud.tao")}).status, CliOk);
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    WriteAll(dir.File("old.csv"), "old log");
    WriteAll(dir.File("old.xyz"), "old frames");
    ::chmod(dir.File("old.xyz").c_str(), 0444);
    const std::string readOnly =
        ::geteuid() == 0 ? "the file is read-only (--force replaces it)" : "File access denied";
    // Nothing runs and no file changes when one of them cannot be written.
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--trajectory", dir.File("pipe")}, dir.File("pipe") + ": no reader on the FIFO"},
        {{"--log", dir.File("pipe")}, dir.File("pipe") + ": no reader on the FIFO"},
        {{"--log", dir.File("old.csv"), "--trajectory", dir.File("no/run.xyz")},
         dir.File("no/run.xyz") + ": the folder " + dir.File("no") + " does not exist"},
        {{"--log", dir.File("old.csv"), "--trajectory", dir.File("old.xyz")},
         dir.File("old.xyz") + ": " + readOnly},
    };
    for (const auto& [files, expected] : refused) {
        const std::string message = expected; // a lambda cannot take a structured binding everywhere
        std::vector<std::string> args{"run",      dir.File("cloud.tao"), "--steps", "5",
                                      "--output", dir.File("out.tao")};
        args.insert(args.end(), files.begin(), files.end());
        const int status = test::RunInChild(
            [&] {
                const Outcome outcome = Cli(args);
                return outcome.status == CliBadInput && outcome.err == message + "\n" ? 0 : 1;
            },
            5000);
        EXPECT_EQ(status, 0) << message;
    }
    EXPECT_EQ(ReadAll(dir.File("old.csv")), "old log");
    EXPECT_EQ(ReadAll(dir.File("old.xyz")), "old frames");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.tao")));
    if (::geteuid() == 0) {
        EXPECT_EQ(Cli({"run", dir.File("cloud.tao"), "--trajectory", dir.File("old.xyz"), "--force"}).status,
                  CliOk);
        EXPECT_NE(ReadAll(dir.File("old.xyz")), "old frames");
    }

    // A trajectory that fills the disk ends the run; the output still takes the last whole step.
    {
        const test::FileSizeLimit full(40000);
        const Outcome outcome = Cli({"run", dir.File("cloud.tao"), "--steps", "10", "--every", "1",
                                     "--trajectory", dir.File("full.xyz"), "--output", dir.File("out.tao")});
        EXPECT_EQ(outcome.status, CliBadInput);
        EXPECT_NE(outcome.err.find(dir.File("full.xyz") + ": Disk full\n"), std::string::npos) << outcome.err;
    }
    World expected = CloudWorld();
    FastLaw law;
    AdvanceStep(expected, CoolFactor(false), law);
    EXPECT_EQ(ReadXyzFile(dir.File("full.xyz")).PosX, expected.PosX); // frames 0 and 1 fit, 2 did not
    AdvanceStep(expected, CoolFactor(false), law);
    EXPECT_EQ(test::LoadWorld(dir.File("out.tao")).PosX, expected.PosX);

    // A log whose last sync fails (no sync came before it in so short a run) fails the run.
    std::filesystem::create_directory(dir.File("failing"));
    test::failSyncUnder = dir.File("failing");
    const Outcome unsynced =
        Cli({"run", dir.File("cloud.tao"), "--steps", "3", "--log", dir.File("failing/l.csv")});
    test::failSyncUnder.clear();
    EXPECT_EQ(unsynced.status, CliBadInput);
    EXPECT_EQ(unsynced.err.find(dir.File("failing/l.csv") + ": I/O error 1005\n"), 0u) << unsynced.err;

    // A folder removed while the run writes into it is reported in words, and the run ends.
    std::filesystem::create_directory(dir.File("sub"));
    const pid_t pid = StartCli({"run", dir.File("cloud.tao"), "--steps", "2000000000", "--log",
                                dir.File("sub/l.csv"), "--output", dir.File("kept.tao")},
                               dir.File("err.txt"));
    EXPECT_TRUE(WaitForLines(dir.File("sub/l.csv"), 3));
    std::filesystem::remove_all(dir.File("sub"));
    EXPECT_EQ(ExitStatus(pid), CliBadInput);
    EXPECT_NE(ReadAll(dir.File("err.txt"))
                  .find("l.csv: the folder was removed; what was written to the file is lost"),
              std::string::npos)
        << ReadAll(dir.File("err.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir.File("kept.tao")));
}

TEST(Cli, ThreadCountsHaveABound) {
    TempDir dir;
    ASSERT_EQ(Cli({"scenario", "easy-square", dir.File("sq.tao")}).status, CliOk);
    for (const char* count : {"257", "100000", "2147483647"}) {
        const Outcome outcome = Cli({"run", dir.File("sq.tao"), "--threads", count});
        EXPECT_EQ(outcome.status, CliBadInput);
        EXPECT_EQ(outcome.err, std::string("taonscope-cli: --threads takes at most 256, not ") + count +
                                   " (see taonscope-cli --help)\n");
    }
    EXPECT_EQ(Cli({"run", dir.File("sq.tao"), "--threads", "256"}).status, CliOk);
}

TEST(Cli, BadCommandLinesExitWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"fly"},
             {"run"},
             {"run", "a.tao", "--bogus"},
             {"run", "a.tao", "--steps"},
             {"run", "a.tao", "--steps", "-1"},
             {"run", "a.tao", "--steps", "x"},
             {"run", "a.tao", "--steps", "$10"},
             {"run", "a.tao", "--max-steps", "5"},
             {"run", "a.tao", "--until-settled", "1e-6", "--steps", "5", "--max-steps", "5"},
             {"show", "a.tao", "--parameters"},
             {"run", "a.tao", "--dt", "1,5"},
             {"show", "a.tao", "--format", "xml"},
             {"run", "a.tao", "--kernel", "slow"},
             {"run", "a.tao", "--threads", "-2"},
             {"scenario", "moon", "x.tao"},
         }) {
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.status, CliBadInput);
        EXPECT_EQ(outcome.err.rfind("taonscope-cli: ", 0), 0u) << outcome.err;
    }
}

TEST(Cli, UsageMessagesAreWholeLinesWithTheHint) {
    const std::string hint = " (see taonscope-cli --help)\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "expected a command"},
        {{"fly"}, "unknown command fly"},
        {{"run", "a.tao", "--x"}, "unknown option --x"},
        {{"show", "a.tao", "--bogus"}, "unknown option --bogus"},
        {{"run", "a.tao", "--output"}, "--output needs a value"},
        {{"show", "a.tao", "--format", "xml"}, "unknown format xml"},
        {{"scenario", "moon", "x.tao"}, "unknown scenario moon"},
        {{"scenario", "ring"}, "expected a scenario name and an output file"},
        {{"run", "a.tao", "--until-settled", "0"},
         "--until-settled takes a speed above 0, not '0': no largest speed falls below it"},
        {{"run", "a.tao", "--until-settled", "-1e-6"},
         "--until-settled takes a speed above 0, not '-1e-6': no largest speed falls below it"},
    };
    for (const auto& [args, message] : cases) {
        const Outcome outcome = Cli(args);
        EXPECT_EQ(outcome.status, CliBadInput);
        EXPECT_EQ(outcome.err, "taonscope-cli: " + message + hint);
        EXPECT_EQ(outcome.out, "");
    }
}

TEST(Cli, ALawFaultStopsTheRunAndWritesNothing) {
    TempDir dir;
    World world = EasySquareWorld();
    world.PosX[2] = world.PosX[1], world.PosY[2] = world.PosY[1], world.PosZ[2] = world.PosZ[1];
    SyncCopiesFromCurrent(world);
    ConfigRecord buffer{};
    WriteConfigFile(dir.File("bad.tao"), world, buffer);
    const Outcome outcome =
        Cli({"run", dir.File("bad.tao"), "--steps", "5", "--output", dir.File("out.tao")});
    EXPECT_EQ(outcome.status, CliLawFault);
    EXPECT_EQ(outcome.err, dir.File("bad.tao") + ": step 1: Floating point division by zero\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.tao")));
}

TEST(Cli, ShowsTheCommentaryAsUtf8WhateverItsCodePage) {
    TempDir dir;
    const std::string config = dir.File("ring.tao"); // the configuration itself is not needed
    // "Структура из шести таонов", CR LF, "Ещё" in Windows-1251.
    WriteAll(dir.File("ring.txt"),
             "\xD1\xF2\xF0\xF3\xEA\xF2\xF3\xF0\xE0\x20\xE8\xE7\x20\xF8\xE5\xF1\xF2\xE8\x20\xF2"
             "\xE0\xEE\xED\xEE\xE2\x0D\x0A\xC5\xF9\xB8");
    Outcome shown = Cli({"show", config, "--commentary"});
    EXPECT_EQ(shown.status, CliOk);
    EXPECT_EQ(shown.out, "Структура из шести таонов\nЕщё\n");
    EXPECT_EQ(shown.err, dir.File("ring.txt") + ": read as Windows-1251\n");
    EXPECT_EQ(Cli({"show", config, "--encoding", "KOI8-R", "--commentary"}).out.substr(0, 8), "яРПС");

    // "łąż" CR LF in Windows-1250: the code page has to be named.
    WriteAll(dir.File("ring.txt"), "\xB3\xB9\xBF\x0D\x0A");
    shown = Cli({"show", config, "--commentary", "--encoding", "windows-1250"});
    EXPECT_EQ(shown.out, "łąż\n");
    EXPECT_EQ(shown.err, dir.File("ring.txt") + ": read as Windows-1250\n");
    EXPECT_EQ(Cli({"show", config, "--commentary", "--encoding", "cp1252"}).out, "³¹¿\n");

    shown = Cli({"show", config, "--commentary", "--encoding", "UTF-8"}); // and the bytes are not
    EXPECT_EQ(shown.status, CliBadInput);
    EXPECT_EQ(shown.err,
              dir.File("ring.txt") + ": not UTF-8; --encoding names the code page it was written in\n");

    WriteAll(dir.File("ring.txt"), "łąż и ё");
    for (const char* encoding : {"windows-1250", "UTF-8"}) {
        shown = Cli({"show", config, "--commentary", "--encoding", encoding});
        EXPECT_EQ(shown.out, "łąż и ё\n");
        EXPECT_EQ(shown.err, "");
    }

    WriteAll(dir.File("ring.txt"), "");
    shown = Cli({"show", config, "--commentary"});
    EXPECT_EQ(shown.status, CliOk);
    EXPECT_EQ(shown.out, "");
    EXPECT_EQ(shown.err, "");
}

TEST(Cli, AMissingCommentaryIsANoteAndBadEncodingsAreUsageErrors) {
    TempDir dir;
    const Outcome none = Cli({"show", dir.File("bare.tao"), "--commentary"});
    EXPECT_EQ(none.status, CliOk);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, dir.File("bare.tao") + ": no commentary (" + dir.File("bare.txt") + ")\n");

    WriteAll(dir.File("bare.txt"), "x");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show", dir.File("bare.tao"), "--commentary", "--encoding", "latin1"},
          {"show", dir.File("bare.tao"), "--commentary", "--encoding"},
          {"show", dir.File("bare.tao"), "--encoding", "koi8-r"},
          {"show", dir.File("bare.tao"), "--commentary", "--format", "csv"}}) {
        const Outcome bad = Cli(args);
        EXPECT_EQ(bad.status, CliBadInput) << args.back();
        EXPECT_EQ(bad.out, "");
        EXPECT_NE(bad.err.find("(see taonscope-cli --help)"), std::string::npos);
    }
    EXPECT_NE(Cli({"--help"}).out.find("taonscope-cli show IN.tao --commentary [--encoding NAME]"),
              std::string::npos);
}

TEST(Cli, TheProgramPrintsHelpAndExitStatuses) {
    TempDir dir;
    const std::string cli = TAONSCOPE_CLI_PATH;
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " --help > " + dir.File("help.txt")).c_str())), 0);
    const std::string help = ReadAll(dir.File("help.txt"));
    EXPECT_NE(help.find("taonscope-cli run IN.tao"), std::string::npos);
    EXPECT_EQ(WEXITSTATUS(std::system((cli + " run " + dir.File("none.tao") + " 2>/dev/null").c_str())), 2);
    EXPECT_EQ(Cli({"--version"}).out, std::string("taonscope-cli ") + ProgramVersion + "\n");

    // COMMAND --help: the blocks of the usage that name COMMAND (an atlas word after atlas), the notes.
    const std::string notes = help.substr(help.find("\n\n") + 1);
    for (const auto& [args, first, blocks] :
         std::vector<std::tuple<std::vector<std::string>, std::string, int>>{
             {{"run", "--help"}, "run", 1},
             {{"show", "x.tao", "-h"}, "show", 4},
             {{"render", "--help"}, "render", 2},
             {{"atlas", "--help"}, "atlas plan", 6},
             {{"atlas", "slurm", "--help"}, "atlas slurm", 1}}) {
        const Outcome o = Cli(args);
        EXPECT_EQ(o.status, CliOk) << first;
        EXPECT_EQ(o.out.rfind("Usage:\n  taonscope-cli " + first + " ", 0), 0u) << o.out;
        EXPECT_TRUE(o.out.ends_with(notes)) << first;
        int named = 0;
        std::istringstream lines(o.out.substr(7, o.out.size() - 7 - notes.size()));
        for (std::string line; std::getline(lines, line);) {
            EXPECT_NE(help.find(line + "\n"), std::string::npos) << line; // as the whole usage has it
            if (line.starts_with("  taonscope-cli ")) {
                ++named;
                EXPECT_EQ(line.rfind("  taonscope-cli " + args[0], 0), 0u) << line;
            }
        }
        EXPECT_EQ(named, blocks) << first;
    }
}

} // namespace
} // namespace taonscope
