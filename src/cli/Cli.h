// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace taonscope {

/// Exit statuses of taonscope-cli.
enum CliStatus : int {
    CliOk = 0,
    CliLawFault = 1,   ///< a step of the run faulted
    CliBadInput = 2,   ///< a bad command line, or a file that cannot be read or written
    CliNotSettled = 3, ///< the step limit ended a run that waits to settle before it settled
};

/// Runs the headless runner on its arguments (without the program name); output and messages go to
/// out and err, a progress bar to err when errIsTerminal.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool errIsTerminal = false);

} // namespace taonscope
