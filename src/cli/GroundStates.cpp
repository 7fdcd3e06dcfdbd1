// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchJobs.h"
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "SearchBatch.h"
#include "SlurmJobs.h"

#include "core/NumberText.h"
#include "document/FileIo.h"

#include <ostream>

namespace taonscope {

namespace {

// Runs of each N unless --runs says otherwise: enough to tell how often the lowest is found.
constexpr int DefaultRuns = 4;
constexpr int MostRuns = 1000;

int Cell(const CommandLine& line, std::ostream& err) {
    if (line.positional.size() != 3 || !line.options.empty())
        throw CommandLineError{"ground-states cell takes a folder and a cell index"};
    const SearchFolder folder = GroundStateFolderOf(line.positional[1]);
    const GroundStateSettings settings = LoadGroundStates(folder);
    const int count = GroundStateCellCount(settings);
    const std::string& text = line.positional[2];
    const std::optional<std::int32_t> cell = TryParseInteger(text);
    if (!cell || *cell < 1 || *cell > count || text.find_first_not_of("0123456789") != std::string::npos)
        throw CommandLineError{"ground-states cell: the index is a whole number from 1 to " +
                               std::to_string(count) + ", not '" + text + "'"};
    if (KindOfPath(folder.CellFile(*cell, ".json")) == PathKind::File) {
        err << "cell " << *cell << " is done already\n";
        return CliOk;
    }
    RunAndKeepGroundStateCell(folder, settings, *cell);
    return CliOk;
}

int Table(const CommandLine& line, std::ostream& err, bool errIsTerminal) {
    if (line.positional.size() != 3) throw CommandLineError{"ground-states takes FROM, TO and a folder"};
    GroundStateSettings settings;
    settings.From = TaonsArgument(line.positional[0], "FROM", 2);
    settings.To = TaonsArgument(line.positional[1], "TO", settings.From);
    settings.Runs = WholeNumberOption(line, "--runs", DefaultRuns);
    if (settings.Runs < 1 || settings.Runs > MostRuns)
        throw CommandLineError{"--runs takes a whole number from 1 to " + std::to_string(MostRuns)};
    if (!SearchSettingsOf(line, settings.From, settings.Search, err)) return CliBadInput;
    const bool slurm = line.Option("--slurm").has_value();
    if (!slurm)
        for (const std::string& option : SlurmValuedOptions)
            if (line.Option(option)) throw CommandLineError{option + " goes with --slurm"};
    if (!slurm && line.Option(SlurmSubmitFlag)) throw CommandLineError{"--submit goes with --slurm"};
    const int jobs = JobsOption(line);
    const SearchFolder folder =
        GroundStateFolderOf(slurm ? AbsolutePath(line.positional[2]) : line.positional[2]);
    PlanGroundStates(folder, settings);
    const int cells = GroundStateCellCount(settings);
    if (slurm)
        return WriteAndSubmitSlurm(GroundStateSlurmBatch(folder, settings), SlurmOptionsOf(line),
                                   EstimatedGroundStateCellSeconds(folder, settings), line, err);
    const std::optional<int> stopped = RunCells(
        cells, CellsToDo(cells, folder.DoneCells(cells)), jobs,
        [&](int cell) { RunAndKeepGroundStateCell(folder, settings, cell); }, err, errIsTerminal,
        "the same ground-states command");
    if (stopped) return *stopped;
    MergeGroundStates(folder, settings, err);
    return CliOk;
}

} // namespace

int GroundStatesCommand(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal) {
    const std::string what = args.size() > 1 ? args[1] : std::string();
    std::vector<std::string> valued = SearchValuedOptions;
    valued.push_back("--runs");
    valued.insert(valued.end(), SlurmValuedOptions.begin(), SlurmValuedOptions.end());
    const CommandLine line = SplitCommandLine(args, valued, {"--slurm", SlurmSubmitFlag});
    try {
        if (what == "cell") return Cell(line, err);
        if (what == "merge") {
            if (line.positional.size() != 2 || !line.options.empty())
                throw CommandLineError{"ground-states merge takes a folder"};
            const SearchFolder folder = GroundStateFolderOf(line.positional[1]);
            MergeGroundStates(folder, LoadGroundStates(folder), err);
            return CliOk;
        }
        return Table(line, err, errIsTerminal);
    } catch (const TaonError& error) {
        err << "taonscope-cli: " << error.what() << '\n';
        return CliBadInput;
    }
}

} // namespace taonscope
