// SPDX-License-Identifier: GPL-3.0-or-later
#include "Analysis.h"
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "Progress.h"
#include "RunLog.h"
#include "Trajectory.h"

#include "analysis/Measures.h"
#include "core/FastLaw.h"
#include "core/NumberText.h"
#include "core/Step.h"
#include "core/StopSignals.h"
#include "document/FileIo.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <iomanip>
#include <optional>
#include <ostream>
#include <sstream>

namespace taonscope {

namespace {

// More threads than this cannot speed up a step of at most 100 taons; they only cost memory.
constexpr int MostThreads = 256;

// The step limit of a run that waits to settle, as in the window.
constexpr int DefaultMaxSteps = 1000000;

// The steps of a run: --steps (default 1); a run that waits to settle stops after --max-steps, or
// --steps as before, at the latest.
std::uint64_t StepLimit(const CommandLine& line) {
    const bool settling = line.Option("--until-settled").has_value();
    if (line.Option("--max-steps") && !settling)
        throw CommandLineError{"--max-steps goes with --until-settled"};
    if (line.Option("--max-steps") && line.Option("--steps"))
        throw CommandLineError{"--steps and --max-steps both give the step limit: give one"};
    const int fallback = settling ? WholeNumberOption(line, "--max-steps", DefaultMaxSteps) : 1;
    return static_cast<std::uint64_t>(WholeNumberOption(line, "--steps", fallback));
}

// Cool is on with --cool, and for a run that waits to settle unless --no-cool says otherwise.
bool CoolRequested(const CommandLine& line) {
    return line.Option("--cool") || (line.Option("--until-settled") && !line.Option("--no-cool"));
}

} // namespace

int RunCommand(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal) {
    const CommandLine line = SplitCommandLine(
        args,
        {"--steps", "--max-steps", "--dt", "--output", "--kernel", "--threads", "--log", "--every",
         "--until-settled", "--trajectory", "--trajectory-format", "--species", "--cutoff"},
        {"--cool", "--no-cool", "--progress", "--force", "--structure"});
    const std::string input = OnePositional(line, "one input file");

    const std::uint64_t steps = StepLimit(line);
    const int threads = WholeNumberOption(line, "--threads", 0);
    if (threads > MostThreads)
        throw CommandLineError{"--threads takes at most " + std::to_string(MostThreads) + ", not " +
                               std::to_string(threads)};
    const std::string kernel = line.Option("--kernel").value_or("fast");
    if (kernel != "fast" && kernel != "literal") throw CommandLineError{"unknown kernel " + kernel};
    const std::optional<Extended> dt = RealOption(line, "--dt");
    const std::optional<Extended> settleSpeed = RealOption(line, "--until-settled");
    if (settleSpeed && !(*settleSpeed > 0))
        throw CommandLineError{"--until-settled takes a speed above 0, not '" +
                               *line.Option("--until-settled") + "': no largest speed falls below it"};
    const Extended cool = CoolFactor(CoolRequested(line));
    const int every = WholeNumberOption(line, "--every", 100);
    if (every == 0) throw CommandLineError{"--every takes a whole number from 1, not '0'"};
    const ForceOption force(line);
    const std::optional<std::string> trajectoryPath = line.Option("--trajectory");
    const TrajectoryFormat format = TrajectoryFormatOption(line, trajectoryPath.value_or(""));
    const std::optional<SpeciesNames> species = SpeciesOption(line);
    if (!trajectoryPath && (line.Option("--trajectory-format") || species))
        throw CommandLineError{"--trajectory-format and --species go with --trajectory"};
    if (species && format == TrajectoryFormat::Lammps)
        throw CommandLineError{"--species names the kinds of XYZ frames; a LAMMPS dump gives them as types"};
    const std::optional<StructureOptions> structure = StructureOption(line);
    if (structure && !line.Option("--log")) throw CommandLineError{"--structure goes with --log"};

    // Everything is checked before the first step, and no file is changed before the run starts.
    World world;
    if (!LoadWorld(input, world, err)) return CliBadInput;
    if (dt) world.dt = *dt;
    const std::optional<std::string> output = line.Option("--output");
    if (output && !Attempt(*output, err, [&] { CheckReplaceable(*output); })) return CliBadInput;
    RunRecorder recorder(line.Option("--log"), every, settleSpeed, structure);
    RunTrajectory trajectory(trajectoryPath, static_cast<std::uint64_t>(every), err, format,
                             species.value_or(SpeciesNames{}));
    if (!recorder.Open(err) || !trajectory.Open()) return CliBadInput;

    const StopOnSignals signals;
    bool written = recorder.Start(world, err) && trajectory.Start(world);
    std::optional<FastLaw> fastLaw;
    if (kernel == "fast") fastLaw.emplace(threads);
    ProgressLine progress(err, errIsTerminal, line.Option("--progress").has_value());
    const auto start = std::chrono::steady_clock::now();
    std::uint64_t made = 0;
    while (written && made < steps && StopSignal() == 0) {
        try {
            if (fastLaw)
                AdvanceStep(world, cool, *fastLaw);
            else
                AdvanceStep(world, cool);
        } catch (const TaonError& error) {
            progress.Finish();
            trajectory.Abandon();
            err << input << ": step " << made + 1 << ": " << error.what() << '\n';
            recorder.Finish(world, made, err);
            return CliLawFault;
        }
        ++made;
        written = trajectory.StepDone(world, made) && recorder.StepDone(world, made, err);
        if (progress.Due()) {
            const Quantity speed = LargestSpeed(world);
            std::ostringstream text;
            text << "step " << made << " of " << steps << ", largest speed "
                 << (speed.Valid() ? FormatReal(speed.Value) : "n/a") << ", " << std::fixed
                 << std::setprecision(0) << static_cast<double>(made) / progress.Seconds() << " steps/s";
            progress.Show(text.str());
        }
        if (recorder.Settled()) break;
    }
    progress.Finish();
    // A run ended by a signal or by a file that failed still keeps its last whole step.
    if (!trajectory.Finish(world, made)) written = false;
    if (!recorder.Finish(world, made, err)) written = false;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (StopSignal() != 0)
        err << "stopped by " << (StopSignal() == SIGINT ? "SIGINT" : "SIGTERM") << " after step " << made
            << '\n';
    err << made << " steps in " << std::fixed << std::setprecision(3) << seconds << " s ("
        << std::setprecision(1) << (seconds > 0 ? static_cast<double>(made) / seconds : 0.0) << " steps/s)\n";
    if (const std::string settled = recorder.SettleSummary(made); !settled.empty()) err << settled << '\n';
    if (output && !SaveWorld(*output, world, err)) return CliBadInput;
    if (!written) return CliBadInput;
    if (StopSignal() != 0) return 128 + StopSignal();
    if (settleSpeed && !recorder.Settled()) return CliNotSettled;
    return CliOk;
}

} // namespace taonscope
