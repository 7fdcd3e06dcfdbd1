// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"

#include "core/Scenarios.h"

namespace taonscope {

int ScenarioCommand(const std::vector<std::string>& args, std::ostream& err) {
    const CommandLine a = SplitCommandLine(args, {}, {"--force"});
    const ForceOption force(a);
    if (a.positional.size() != 2) throw CommandLineError{"expected a scenario name and an output file"};
    World world;
    if (!BuildScenario(a.positional[0], world)) throw CommandLineError{"unknown scenario " + a.positional[0]};
    return SaveWorld(a.positional[1], world, err) ? CliOk : CliBadInput;
}

} // namespace taonscope
