// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Errors.h"
#include "core/World.h"
#include "document/FileIo.h"
#include "document/TrajectoryFile.h"

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

/// The value of a whole-number option (0 or more), or fallback when it is not given.
int WholeNumberOption(const CommandLine& line, const std::string& name, int fallback);

/// The value of a real option, or empty when it is not given; a text that is no number throws.
std::optional<Extended> RealOption(const CommandLine& line, const std::string& name);

/// The one positional argument; throws CommandLineError naming what was expected otherwise.
std::string OnePositional(const CommandLine& line, const char* what);

/// The format of the trajectory at path: --trajectory-format lammps|xyz, else the path's extension.
TrajectoryFormat TrajectoryFormatOption(const CommandLine& line, const std::string& path);

/// The names of --species N1,N2,N3, or empty when it is not given; a text that is not three names throws.
std::optional<SpeciesNames> SpeciesOption(const CommandLine& line);

/// Loads a configuration as Open does, but only from a file of exactly a configuration's size; a file
/// that cannot be read, or is no configuration, is reported on err and gives false.
bool LoadWorld(const std::string& path, World& world, std::ostream& err);

/// Saves a configuration as Save does; a failure is reported on err and gives false.
bool SaveWorld(const std::string& path, const World& world, std::ostream& err);

/// While it lives, saves replace files that nobody may write when the command line has --force.
class ForceOption {
public:
    explicit ForceOption(const CommandLine& line) {
        if (line.Option("--force")) replacing_.emplace();
    }

private:
    std::optional<ReplacingReadOnlyFiles> replacing_;
};

/// The line that reports a failed file operation on path: "path: message", naming --force for a
/// read-only file and the folder that is missing (or no folder) where the window says "Invalid filename".
std::string FileFailureText(const std::string& path, const TaonError& error);

/// Writes FileFailureText and a line end to err.
void ReportFileFailure(std::ostream& err, const std::string& path, const TaonError& error);

/// Runs a file operation on path; a failure is reported as ReportFileFailure does and gives false.
template <typename Operation>
bool Attempt(const std::string& path, std::ostream& err, Operation&& operation) {
    try {
        operation();
        return true;
    } catch (const TaonError& error) {
        ReportFileFailure(err, path, error);
        return false;
    }
}

} // namespace taonscope
