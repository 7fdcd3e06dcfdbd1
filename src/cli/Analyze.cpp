// SPDX-License-Identifier: GPL-3.0-or-later
#include "Analysis.h"
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"

#include <cmath>

namespace taonscope {

int AnalyzeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLine a = SplitCommandLine(args, {"--format", "--cutoff"}, {"--structure"});
    const std::string input = OnePositional(a, "one input file");
    const std::string format = a.Option("--format").value_or("text");
    if (format != "text" && format != "json") throw CommandLineError{"unknown format " + format};
    std::optional<StructureOptions> structure;
    if (a.Option("--structure")) structure.emplace();
    if (const std::optional<Extended> cutoff = RealOption(a, "--cutoff")) {
        if (!structure) throw CommandLineError{"--cutoff needs --structure"};
        if (!(*cutoff > 0) || !std::isfinite(*cutoff))
            throw CommandLineError{"--cutoff must be a positive number"};
        structure->Cutoff = *cutoff;
    }
    World world;
    if (!LoadWorld(input, world, err)) return CliBadInput;
    WriteAnalysis(world, format == "json", out, structure);
    return CliOk;
}

} // namespace taonscope
