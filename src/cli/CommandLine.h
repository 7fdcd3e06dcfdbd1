// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Errors.h"

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace taonscope {

/// A command line that cannot be followed; the message goes to standard error with a hint.
struct CommandLineError {
    std::string message;
};

/// The arguments after a command word: positional ones in order, options by name.
struct CommandLine {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options; ///< flags hold an empty value

    /// The value of an option, or empty when it is not given.
    std::optional<std::string> Option(const std::string& name) const;
};

/// Splits args (the command word first) into positional arguments, options that take a value and
/// flags; throws CommandLineError for an unknown option or a missing value.
CommandLine SplitCommandLine(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                             const std::vector<std::string>& flags);

/// Writes the message of a bad command line and returns the status of one.
int ReportCommandLineError(std::ostream& err, const CommandLineError& error);

/// Runs a file operation on path; a failure is reported as "path: message" and gives false.
template <typename Operation>
bool Attempt(const std::string& path, std::ostream& err, Operation&& operation) {
    try {
        operation();
        return true;
    } catch (const TaonError& error) {
        err << path << ": " << error.what() << '\n';
        return false;
    }
}

} // namespace taonscope
