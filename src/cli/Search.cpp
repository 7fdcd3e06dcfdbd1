// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchJobs.h"
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "SearchBatch.h"

#include <ostream>

namespace taonscope {

int SearchCommand(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal) {
    std::vector<std::string> valued = SearchValuedOptions;
    valued.push_back("--keep");
    const CommandLine line = SplitCommandLine(args, valued, {});
    if (line.positional.size() != 2) throw CommandLineError{"search takes a number of taons and a folder"};
    SearchSettings settings;
    if (!SearchSettingsOf(line, TaonsArgument(line.positional[0], "N", 2), settings, err)) return CliBadInput;
    const int jobs = JobsOption(line);
    const SearchFolder folder = SearchFolderOf(line.positional[1]);
    try {
        PlanSearch(folder, settings);
        const int cells = SearchCellCount(settings);
        const std::optional<int> stopped = RunCells(
            cells, CellsToDo(cells, folder.DoneCells(cells)), jobs,
            [&](int cell) { RunAndKeepSearchCell(folder, settings, cell); }, err, errIsTerminal,
            "the same search command");
        if (stopped) return *stopped;
        MergeSearch(folder, settings, err);
    } catch (const TaonError& error) {
        err << "taonscope-cli: " << error.what() << '\n';
        return CliBadInput;
    }
    return CliOk;
}

} // namespace taonscope
