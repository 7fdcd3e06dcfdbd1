// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "RunLog.h"
#include "Trajectory.h"

#include "core/FastLaw.h"
#include "core/NumberText.h"
#include "core/Step.h"
#include "document/FileIo.h"

#include <chrono>
#include <cstdint>
#include <iomanip>
#include <optional>
#include <ostream>

namespace taonscope {

namespace {

// More threads than this cannot speed up a step of at most 100 taons; they only cost memory.
constexpr int MostThreads = 256;

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

} // namespace

int RunCommand(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal) {
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

} // namespace taonscope
