// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"

#include "Analyze.h"
#include "CommandLine.h"
#include "ExchangeCommands.h"
#include "Trajectory.h"

#include "analysis/SampleSeries.h"
#include "core/FpTrap.h"
#include "core/NumberText.h"
#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/Commentary.h"
#include "document/ConfigFile.h"
#include "document/FileIo.h"
#include "document/IoError.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <map>
#include <optional>
#include <ostream>

namespace taonscope {

namespace {

// More threads than this cannot speed up a step of at most 100 taons; they only cost memory.
constexpr int MostThreads = 256;

constexpr const char* Usage = R"(Usage:
  taonscope-cli run IN.tao [--steps N] [--dt X] [--cool] [--output OUT.tao]
                    [--kernel fast|literal] [--threads N] [--trajectory OUT.xyz [--every N]]
      Loads IN.tao, runs N integration steps (default 1; 0 only loads) with the file's dt or X,
      damped by 0.99 per step with --cool, and writes the result to OUT.tao (its dt is the one used).
      The law is computed by the fast kernel on N threads (default: one per core), or by the
      literal reference kernel; both give the same results to rounding and the same faults.
      Threads: 1 to 256. OUT.tao is checked before the first step: if it cannot be written,
      nothing is run.
      A summary (steps, seconds, steps per second) goes to standard error.
      --log FILE.csv writes step,time,kinetic,pair_energy,total_energy,momentum,largest_speed at the
      start, every N steps (--every, default 100) and the last step, with 21 significant digits.
      --until-settled SPEED stops at the first step whose largest speed is below SPEED, or after
      --steps (default 1000000 then); it implies --cool unless --no-cool is given.
      --trajectory writes an extended XYZ trajectory for particle viewers: the frame before
      step 1, one every N steps (--every, default 100) and the last one; a run that faults keeps
      the frames written so far.
  taonscope-cli show IN.tao [--velocities] [--format text|csv|json]
      Prints dt, the 18 parameters and the present taons' positions (or velocities).
  taonscope-cli show IN.tao --commentary [--encoding NAME]
      Prints the commentary beside IN.tao (IN.txt) as UTF-8. A commentary that is not UTF-8 is read
      in the code page NAME: windows-1251 (default), windows-1250, windows-1252 or koi8-r. Without
      a commentary a note goes to standard error and the exit status is 0.
  taonscope-cli analyze IN.tao [--format text|json]
      Prints the kinetic, pair and total energy, the momentum, the centre of mass, the largest
      speed, the pair-distance histograms of the six kind pairs and each kind's shell radii.
  taonscope-cli scenario NAME OUT.tao
      Writes a built-in configuration: easy-square, ring (12 taons) or cloud (100 taons).
  taonscope-cli import IN.xyz OUT.tao [--frame K] [--dt X]
      Writes frame K (default: the last) of a plain or extended XYZ file as a configuration:
      species T1, T2, T3 (others are kind 1) or a slot column place the taons; velocities from a
      velo column, else zero; parameters from A1=... keys, else the figure's; dt from X, else the
      comment line, else 0.001.
  taonscope-cli render IN.tao OUT.png [--size WxH] [--angles TETA,PSI,PHI] [--scale S] [--numbers]
      Draws the taons as the window's scene does (default 640x480, angles 0,0,0 in radians,
      scale 120), with their numbers with --numbers; needs no display.
  taonscope-cli --help

Numbers are written with 15 significant digits and a full stop as decimal separator.
Exit status: 0 success, 1 a step faulted (the run stops there and OUT.tao is not written),
2 a bad command line or a file that cannot be read or written.
Taonscope is free software under the GPL-3.0-or-later licence (GNU General Public License 3 or later).
)";

// The value of a whole-number option (0 or more), or fallback when it is not given.
int WholeNumberOption(const CommandLine& a, const std::string& name, int fallback) {
    const auto text = a.Option(name);
    if (!text) return fallback;
    const auto value = TryParseInteger(*text);
    if (!value || *value < 0 || text->find('$') != std::string::npos)
        throw CommandLineError{name + " takes a whole number from 0, not '" + *text + "'"};
    return *value;
}

std::string OnePositional(const CommandLine& a, const char* what) {
    if (a.positional.size() != 1) throw CommandLineError{std::string("expected ") + what};
    return a.positional[0];
}

// Loads a configuration as Open does; a file that cannot be read ends the command with status 2.
bool LoadWorld(const std::string& path, World& world, std::ostream& err) {
    return Attempt(path, err, [&] {
        ConfigRecord buffer{};
        if (const int openFailure = ReadConfigFile(path, buffer)) throw IoError(openFailure);
        UnpackConfigRecord(buffer, world);
    });
}

bool SaveWorld(const std::string& path, const World& world, std::ostream& err) {
    return Attempt(path, err, [&] {
        ConfigRecord buffer{};
        WriteConfigFile(path, world, buffer);
    });
}

// Redraws a one-line progress bar on a terminal, at most a few times a second.
class ProgressBar {
public:
    ProgressBar(std::ostream& err, bool enabled, std::uint64_t total)
        : err_(err), enabled_(enabled), total_(total) {}
    void Update(std::uint64_t done) {
        if (!enabled_) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - lastDraw_ < std::chrono::milliseconds(250)) return;
        lastDraw_ = now;
        const int filled = static_cast<int>(40 * done / total_);
        err_ << "\r[" << std::string(filled, '#') << std::string(40 - filled, ' ') << "] " << done << '/'
             << total_ << std::flush;
        drawn_ = true;
    }
    void Finish() {
        if (drawn_) err_ << '\r' << std::string(60 + 2 * std::to_string(total_).size(), ' ') << '\r';
    }

private:
    std::ostream& err_;
    bool enabled_;
    std::uint64_t total_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
};

// Steps of a run without --steps: 1, or 1,000,000 for a run that waits to settle.
int DefaultSteps(const CommandLine& a) {
    return a.Option("--until-settled") ? 1000000 : 1;
}

// Cool is on with --cool, and for a run that waits to settle unless --no-cool says otherwise.
bool CoolRequested(const CommandLine& a) {
    return a.Option("--cool") || (a.Option("--until-settled") && !a.Option("--no-cool"));
}

RunRecorder MakeRecorder(const CommandLine& a, int every) {
    std::optional<Extended> settleSpeed;
    if (const auto text = a.Option("--until-settled")) {
        settleSpeed = TryParseReal(*text);
        if (!settleSpeed)
            throw CommandLineError{"--until-settled: '" + *text + "' is not a valid floating point value"};
    }
    return RunRecorder(a.Option("--log"), every, settleSpeed);
}

int Analyze(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLine a = SplitCommandLine(args, {"--format"}, {});
    const std::string input = OnePositional(a, "one input file");
    const std::string format = a.Option("--format").value_or("text");
    if (format != "text" && format != "json") throw CommandLineError{"unknown format " + format};
    World world;
    if (!LoadWorld(input, world, err)) return CliBadInput;
    WriteAnalysis(world, format == "json", out);
    return CliOk;
}

int Run(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal) {
    const CommandLine a = SplitCommandLine(args,
                                           {"--steps", "--dt", "--output", "--kernel", "--threads", "--log",
                                            "--every", "--until-settled", "--trajectory"},
                                           {"--cool", "--no-cool"});
    const std::string input = OnePositional(a, "one input file");

    const auto steps = static_cast<std::uint64_t>(WholeNumberOption(a, "--steps", DefaultSteps(a)));
    const int threads = WholeNumberOption(a, "--threads", 0);
    if (threads > MostThreads)
        throw CommandLineError{"--threads takes at most " + std::to_string(MostThreads) + ", not " +
                               std::to_string(threads)};
    const std::string kernel = a.Option("--kernel").value_or("fast");
    if (kernel != "fast" && kernel != "literal") throw CommandLineError{"unknown kernel " + kernel};
    std::optional<Extended> dt;
    if (const auto text = a.Option("--dt")) {
        dt = TryParseReal(*text);
        if (!dt) throw CommandLineError{"--dt: '" + *text + "' is not a valid floating point value"};
    }
    const Extended cool = CoolFactor(CoolRequested(a));
    const int every = WholeNumberOption(a, "--every", 100);
    if (every == 0) throw CommandLineError{"--every takes a whole number from 1, not '0'"};
    RunRecorder recorder = MakeRecorder(a, every);
    RunTrajectory trajectory(a.Option("--trajectory"), static_cast<std::uint64_t>(every), err);

    World world;
    if (!LoadWorld(input, world, err)) return CliBadInput;
    if (dt) world.dt = *dt;
    const std::optional<std::string> output = a.Option("--output");
    if (output && !Attempt(*output, err, [&] { CheckReplaceable(*output); })) return CliBadInput;
    if (!recorder.Start(world, err)) return CliBadInput;
    if (!trajectory.Start(world)) return CliBadInput;

    std::optional<FastLaw> fastLaw;
    if (kernel == "fast") fastLaw.emplace(threads);
    ProgressBar progress(err, errIsTerminal && steps >= 1000, steps);
    const auto start = std::chrono::steady_clock::now();
    std::uint64_t made = 0;
    for (std::uint64_t done = 0; done < steps; ++done) {
        try {
            if (fastLaw)
                AdvanceStep(world, cool, *fastLaw);
            else
                AdvanceStep(world, cool);
        } catch (const TaonError& error) {
            progress.Finish();
            trajectory.Abandon();
            err << input << ": step " << done + 1 << ": " << error.what() << '\n';
            recorder.Finish(world, done, err);
            return CliLawFault;
        }
        made = done + 1;
        if (!trajectory.StepDone(world, made)) return CliBadInput;
        progress.Update(done + 1);
        if (recorder.StepDone(world, made)) break;
    }
    progress.Finish();
    if (!trajectory.Finish(world, made)) return CliBadInput;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    err << made << " steps in " << std::fixed << std::setprecision(3) << seconds << " s ("
        << std::setprecision(1) << (seconds > 0 ? static_cast<double>(made) / seconds : 0.0) << " steps/s)\n";
    if (const std::string settled = recorder.SettleSummary(made); !settled.empty()) err << settled << '\n';
    if (!recorder.Finish(world, made, err)) return CliBadInput;

    if (output && !SaveWorld(*output, world, err)) return CliBadInput;
    return CliOk;
}

// A value as a JSON token: the program's number text where that is a JSON number, else a string.
std::string JsonValue(Extended value) {
    const std::string text = FormatReal(value);
    return std::isfinite(value) ? text : "\"" + text + "\"";
}

// The commentary beside input as UTF-8; the configuration itself is not read.
int ShowCommentary(const std::string& input, const CommandLine& a, std::ostream& out, std::ostream& err) {
    if (a.Option("--format") || a.Option("--velocities"))
        throw CommandLineError{"--commentary takes no --format or --velocities"};
    TextEncoding codePage = DefaultCodePage;
    if (const auto name = a.Option("--encoding")) {
        const auto found = FindEncoding(*name);
        if (!found || *found == TextEncoding::Utf8)
            throw CommandLineError{"unknown encoding " + *name +
                                   " (windows-1251, windows-1250, windows-1252 or koi8-r)"};
        codePage = *found;
    }
    const std::string commentPath = CommentFileName(input);
    try {
        const std::optional<DetectedText> commentary = LoadCommentaryText(input, codePage);
        if (!commentary) {
            err << input << ": no commentary (" << commentPath << ")\n";
            return CliOk;
        }
        if (commentary->Encoding != TextEncoding::Utf8)
            err << commentPath << ": read as " << EncodingName(commentary->Encoding) << '\n';
        out << commentary->Text;
        if (!commentary->Text.empty() && commentary->Text.back() != '\n') out << '\n';
        return CliOk;
    } catch (const TaonError& error) {
        err << input << ": " << error.what() << '\n';
        return CliBadInput;
    }
}

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLine a =
        SplitCommandLine(args, {"--format", "--encoding"}, {"--velocities", "--commentary"});
    const std::string input = OnePositional(a, "one input file");
    if (a.Option("--commentary")) return ShowCommentary(input, a, out, err);
    if (a.Option("--encoding")) throw CommandLineError{"--encoding goes with --commentary"};
    const std::string format = a.Option("--format").value_or("text");
    if (format != "text" && format != "csv" && format != "json")
        throw CommandLineError{"unknown format " + format};
    const bool velocities = a.Option("--velocities").has_value();

    World world;
    if (!LoadWorld(input, world, err)) return CliBadInput;
    const TaonArray& x = velocities ? world.VelX : world.PosX;
    const TaonArray& y = velocities ? world.VelY : world.PosY;
    const TaonArray& z = velocities ? world.VelZ : world.PosZ;
    const char* const headers[3] = {velocities ? "u(x)" : "X", velocities ? "u(y)" : "Y",
                                    velocities ? "u(z)" : "Z"};

    if (format == "json") {
        out << "{\n  \"parameters\": {";
        for (std::size_t p = 0; p < ParameterFields.size(); ++p)
            out << (p ? ", " : "") << '"' << ParameterNames[p]
                << "\": " << JsonValue(world.*ParameterFields[p]);
        out << "},\n  \"" << (velocities ? "velocities" : "positions") << "\": [";
        bool first = true;
        for (int i = 1; i <= MaxTaons; ++i) {
            if (!world.TaonPresent[i]) continue;
            out << (first ? "\n" : ",\n") << "    {\"taon\": " << i << ", \"" << headers[0]
                << "\": " << JsonValue(x[i]) << ", \"" << headers[1] << "\": " << JsonValue(y[i]) << ", \""
                << headers[2] << "\": " << JsonValue(z[i]) << '}';
            first = false;
        }
        out << (first ? "" : "\n  ") << "]\n}\n";
        return CliOk;
    }

    const char* sep = format == "csv" ? "," : "\t";
    if (format == "csv") out << "parameter,value\n";
    for (std::size_t p = 0; p < ParameterFields.size(); ++p)
        out << ParameterNames[p] << (format == "csv" ? "," : " = ") << FormatReal(world.*ParameterFields[p])
            << '\n';
    out << '\n' << "taon" << sep << headers[0] << sep << headers[1] << sep << headers[2] << '\n';
    for (int i = 1; i <= MaxTaons; ++i)
        if (world.TaonPresent[i])
            out << i << sep << FormatReal(x[i]) << sep << FormatReal(y[i]) << sep << FormatReal(z[i]) << '\n';
    return CliOk;
}

int Scenario(const std::vector<std::string>& args, std::ostream& err) {
    const CommandLine a = SplitCommandLine(args, {}, {});
    if (a.positional.size() != 2) throw CommandLineError{"expected a scenario name and an output file"};
    World world;
    if (!BuildScenario(a.positional[0], world)) throw CommandLineError{"unknown scenario " + a.positional[0]};
    return SaveWorld(a.positional[1], world, err) ? CliOk : CliBadInput;
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    try {
        if (args.empty()) throw CommandLineError{"expected a command"};
        const std::string& command = args[0];
        if (command == "--help" || command == "-h" || command == "help") {
            out << Usage;
            return CliOk;
        }
        if (command == "run") return Run(args, err, errIsTerminal);
        if (command == "show") return Show(args, out, err);
        if (command == "scenario") return Scenario(args, err);
        if (command == "analyze") return Analyze(args, out, err);
        if (command == "import") return ImportCommand(args, err);
        if (command == "render") return RenderCommand(args, err);
        throw CommandLineError{"unknown command " + command};
    } catch (const CommandLineError& error) {
        return ReportCommandLineError(err, error);
    } catch (const std::bad_alloc&) {
        err << "taonscope-cli: out of memory\n";
    } catch (const std::exception& error) {
        err << "taonscope-cli: " << error.what() << '\n';
    } catch (...) {
        err << "taonscope-cli: unexpected error\n";
    }
    return CliBadInput;
}

} // namespace taonscope
