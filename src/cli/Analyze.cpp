// SPDX-License-Identifier: GPL-3.0-or-later
#include "Analysis.h"
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"

namespace taonscope {

int AnalyzeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLine a = SplitCommandLine(args, {"--format", "--cutoff"}, {"--structure"});
    const std::string input = OnePositional(a, "one input file");
    const std::string format = a.Option("--format").value_or("text");
    if (format != "text" && format != "json") throw CommandLineError{"unknown format " + format};
    const std::optional<StructureOptions> structure = StructureOption(a);
    World world;
    if (!LoadWorld(input, world, err)) return CliBadInput;
    WriteAnalysis(world, format == "json", out, structure);
    return CliOk;
}

} // namespace taonscope
