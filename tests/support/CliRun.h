// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TempDir.h"

#include "cli/Cli.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <sys/wait.h>
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

#ifdef TAONSCOPE_CLI_PATH
/// Runs taonscope-cli as a program of its own, without a display and with extra environment settings
/// (render needs its own application object); its status, its output and errors in dir's cli.out and
/// cli.err.
inline int CliProgram(const std::string& args, const TempDir& dir, const std::string& environment = "") {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + environment + " " +
                                TAONSCOPE_CLI_PATH + " " + args + " > " + dir.File("cli.out") + " 2> " +
                                dir.File("cli.err");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}
#endif

} // namespace taonscope::test
