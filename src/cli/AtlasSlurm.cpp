// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "SlurmJobs.h"

#include <ostream>

namespace taonscope {

int AtlasSlurmCommand(const std::vector<std::string>& args, std::ostream& err) {
    const CommandLine line = SplitCommandLine(args, SlurmValuedOptions, {SlurmSubmitFlag});
    if (line.positional.size() != 2) throw CommandLineError{"atlas slurm takes a folder"};
    const SlurmOptions options = SlurmOptionsOf(line);
    try {
        const AtlasPlan plan = LoadPlan(AbsolutePath(line.positional[1]));
        return WriteAndSubmitSlurm(AtlasSlurmBatch(plan), options, EstimatedCellSeconds(plan), line, err);
    } catch (const TaonError& error) {
        err << "taonscope-cli: " << error.what() << '\n';
        return CliBadInput;
    }
}

} // namespace taonscope
