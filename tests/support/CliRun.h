// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace taonscope::test {

/// What one run of the command line gave: its status and what it wrote.
struct Outcome {
    int status;
    std::string out, err;
};

/// Runs the command line in this process on args (without the program name).
inline Outcome Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

} // namespace taonscope::test
