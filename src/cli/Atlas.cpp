// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "Progress.h"

#include "atlas/Batch.h"
#include "atlas/Cell.h"
#include "atlas/Merge.h"
#include "document/IoError.h"

#include <charconv>
#include <chrono>
#include <csignal>
#include <ctime>
#include <iomanip>
#include <map>
#include <ostream>
#include <thread>
#include <unistd.h>

namespace taonscope {

namespace {

// More processes than this only wait for one another.
constexpr int MostJobs = 256;

void ExpectPositionals(const CommandLine& line, std::size_t count, const char* what) {
    if (line.positional.size() != count) throw CommandLineError{std::string("atlas ") + what};
}

// A cell index: decimal digits only.
std::optional<int> ParseIndex(const std::string& text) {
    int index = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return index;
}

// "20 one cluster, 8 several clusters, 4 dispersed" of the records.
std::string OutcomeCounts(const std::vector<CellRecord>& records) {
    std::map<Outcome, int> counts;
    for (const CellRecord& r : records) ++counts[r.Result.Kind];
    std::string text;
    for (const Outcome outcome : AllOutcomes)
        if (counts[outcome] > 0)
            text += (text.empty() ? "" : ", ") + std::to_string(counts[outcome]) + " " + OutcomeName(outcome);
    return text;
}

// Merges and says what the atlas holds.
int Merge(const std::string& dir, std::ostream& err) {
    MergeAtlas(dir);
    const Atlas atlas = ReadAtlas(dir);
    err << "wrote " << atlas.Plan.Folder.AtlasCsv() << " and atlas.json: " << OutcomeCounts(atlas.Records)
        << '\n';
    return CliOk;
}

int Plan(const CommandLine& line, std::ostream& err) {
    ExpectPositionals(line, 3, "plan takes a sweep file and a folder");
    const AtlasPlan plan = WritePlan(line.positional[1], line.positional[2]);
    const int done = static_cast<int>(DoneCells(plan).size());
    err << "planned " << plan.Sweep.CellCount() << " cells in " << plan.Folder.Dir;
    if (done > 0) err << " (" << done << " done already)";
    err << "; taonscope-cli atlas run " << plan.Folder.Dir << " runs them\n";
    return CliOk;
}

int Cell(const CommandLine& line, std::ostream& err) {
    ExpectPositionals(line, 3, "cell takes a folder and a cell index");
    const AtlasPlan plan = LoadPlan(line.positional[1]);
    const std::string& text = line.positional[2];
    const std::optional<int> index = ParseIndex(text);
    const int count = plan.Sweep.CellCount();
    if (!index || *index < 1 || *index > count)
        throw CommandLineError{"atlas cell: the index is a whole number from 1 to " + std::to_string(count) +
                               ", not '" + text + "'"};
    const auto start = std::chrono::steady_clock::now();
    if (!RunAndKeepCell(plan, *index)) {
        err << "cell " << *index << " is done already\n";
        return CliOk;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const CellRecord record = ReadCellRecord(plan, *index);
    err << "cell " << *index << ": " << OutcomeName(record.Result.Kind) << " after " << record.Steps
        << " steps (" << std::fixed << std::setprecision(2) << seconds << " s)\n";
    return CliOk;
}

// How far a batch is, on the progress line: redrawn in place on a terminal, else a line when a cell
// started or finished and a second has passed; the last is always shown.
class BatchProgressLine {
public:
    BatchProgressLine(std::ostream& err, bool terminal) : line_(err, terminal, true) {}
    void Show(const BatchProgress& progress, bool last = false) {
        const bool changed = progress.Done != shownDone_ || progress.Running != shownRunning_;
        if (last ? !changed : !line_.Due() || (!line_.Terminal() && !changed)) return;
        shownDone_ = progress.Done;
        shownRunning_ = progress.Running;
        line_.Show(ProgressText(progress, std::time(nullptr)));
    }
    void Finish() { line_.Finish(true); }

private:
    ProgressLine line_;
    int shownDone_ = -1, shownRunning_ = -1;
};

int Run(const CommandLine& line, std::ostream& err, bool errIsTerminal) {
    ExpectPositionals(line, 2, "run takes a folder");
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int jobs = WholeNumberOption(line, "--jobs", cores);
    if (jobs < 1 || jobs > MostJobs)
        throw CommandLineError{"--jobs takes a whole number from 1 to " + std::to_string(MostJobs) +
                               ", not '" + *line.Option("--jobs") + "'"};
    const AtlasPlan plan = LoadPlan(line.positional[1]);
    const std::vector<int> done = DoneCells(plan);
    std::vector<int> todo;
    for (int index = 1, d = 0; index <= plan.Sweep.CellCount(); ++index) {
        while (d < static_cast<int>(done.size()) && done[static_cast<std::size_t>(d)] < index) ++d;
        if (d >= static_cast<int>(done.size()) || done[static_cast<std::size_t>(d)] != index)
            todo.push_back(index);
    }
    if (todo.empty()) {
        err << "all " << plan.Sweep.CellCount() << " cells are done\n";
        return Merge(plan.Folder.Dir, err);
    }
    err << "running " << todo.size() << " of " << plan.Sweep.CellCount() << " cells on " << jobs
        << (jobs == 1 ? " process" : " processes") << '\n';
    BatchProgressLine progress(err, errIsTerminal);
    BatchProgress last;
    const BatchReport report = RunAtlasBatch(plan, todo, jobs, [&](const BatchProgress& p) {
        last = p;
        progress.Show(p);
    });
    progress.Show(last, true);
    progress.Finish();
    for (const std::string& failure : report.Failures) err << "taonscope-cli: " << failure << '\n';
    if (report.Signal != 0) {
        err << "stopped by " << (report.Signal == SIGINT ? "SIGINT" : "SIGTERM") << ": " << last.Done
            << " of " << last.Total << " cells done; atlas run " << plan.Folder.Dir
            << " goes on from there\n";
        return 128 + report.Signal;
    }
    if (!report.Failures.empty()) return CliBadInput;
    return Merge(plan.Folder.Dir, err);
}

} // namespace

int AtlasCommand(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal) {
    const std::string what = args.size() > 1 ? args[1] : std::string();
    if (what == "map") return AtlasMapCommand(args, err);
    if (what == "slurm") return AtlasSlurmCommand(args, err);
    const CommandLine line = SplitCommandLine(args, {"--jobs"}, {});
    if (line.Option("--jobs") && what != "run") throw CommandLineError{"--jobs goes with atlas run only"};
    try {
        if (what == "plan") return Plan(line, err);
        if (what == "run") return Run(line, err, errIsTerminal);
        if (what == "cell") return Cell(line, err);
        if (what == "merge") {
            ExpectPositionals(line, 2, "merge takes a folder");
            return Merge(line.positional[1], err);
        }
    } catch (const AtlasError& error) {
        err << "taonscope-cli: " << error.what() << '\n';
        return CliBadInput;
    } catch (const TaonError& error) {
        err << "taonscope-cli: " << error.what() << '\n';
        return CliBadInput;
    }
    throw CommandLineError{what.empty() ? "atlas needs plan, run, cell, merge, map or slurm"
                                        : "atlas has no command " + what};
}

} // namespace taonscope
