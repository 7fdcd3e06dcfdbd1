// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "Cli.h"

#include <algorithm>

namespace taonscope {

std::optional<std::string> CommandLine::Option(const std::string& name) const {
    const auto found = options.find(name);
    if (found == options.end()) return std::nullopt;
    return found->second;
}

CommandLine SplitCommandLine(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                             const std::vector<std::string>& flags) {
    CommandLine parsed;
    auto listed = [](const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-') {
            if (listed(flags, arg)) {
                parsed.options[arg] = "";
            } else if (listed(valued, arg)) {
                if (i + 1 >= args.size()) throw CommandLineError{arg + " needs a value"};
                parsed.options[arg] = args[++i];
            } else {
                throw CommandLineError{"unknown option " + arg};
            }
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

int ReportCommandLineError(std::ostream& err, const CommandLineError& error) {
    err << "taonscope-cli: " << error.message << " (see taonscope-cli --help)\n";
    return CliBadInput;
}

} // namespace taonscope
