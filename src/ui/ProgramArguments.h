// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace taonscope {

/// What the window program's command line asks for.
struct ProgramArguments {
    /// Text to print instead of opening the window (--version, --help, or a command line that is wrong).
    std::optional<std::string> print;
    int status = 0;                  ///< the exit status when print is given: 2 for a wrong command line
    std::optional<std::string> file; ///< a file to open in the window, as File > Open (or Import) does
};

/// Reads the arguments after the program's name, before any window exists: "--version", "--help", or
/// one file; nothing starts the program as it always has.
ProgramArguments ReadProgramArguments(const std::vector<std::string>& args);

} // namespace taonscope
