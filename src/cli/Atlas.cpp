// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchJobs.h"
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"

#include "atlas/Cell.h"
#include "atlas/Merge.h"
#include "document/IoError.h"

#include <charconv>
#include <chrono>
#include <iomanip>
#include <map>
#include <ostream>
#include <unistd.h>

namespace taonscope {

namespace {

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

int Run(const CommandLine& line, std::ostream& err, bool errIsTerminal) {
    ExpectPositionals(line, 2, "run takes a folder");
    const int jobs = JobsOption(line);
    const AtlasPlan plan = LoadPlan(line.positional[1]);
    const std::vector<int> todo = CellsToDo(plan.Sweep.CellCount(), DoneCells(plan));
    const std::optional<int> stopped = RunCells(
        plan.Sweep.CellCount(), todo, jobs, [&plan](int index) { RunAndKeepCell(plan, index); }, err,
        errIsTerminal, "atlas run " + plan.Folder.Dir);
    if (stopped) return *stopped;
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
