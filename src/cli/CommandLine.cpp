// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "Cli.h"

#include "core/NumberText.h"
#include "document/ConfigFile.h"
#include "document/IoError.h"

#include <algorithm>
#include <filesystem>

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

std::optional<Extended> RealOption(const CommandLine& line, const std::string& name) {
    const auto text = line.Option(name);
    if (!text) return std::nullopt;
    const auto value = TryParseReal(*text);
    if (!value) throw CommandLineError{name + ": '" + *text + "' is not a valid floating point value"};
    return value;
}

int WholeNumberOption(const CommandLine& line, const std::string& name, int fallback) {
    const auto text = line.Option(name);
    if (!text) return fallback;
    const auto value = TryParseInteger(*text);
    if (!value || *value < 0 || text->find('$') != std::string::npos)
        throw CommandLineError{name + " takes a whole number from 0, not '" + *text + "'"};
    return *value;
}

std::string OnePositional(const CommandLine& line, const char* what) {
    if (line.positional.size() != 1) throw CommandLineError{std::string("expected ") + what};
    return line.positional[0];
}

TrajectoryFormat TrajectoryFormatOption(const CommandLine& line, const std::string& path) {
    const auto text = line.Option("--trajectory-format");
    if (!text) return TrajectoryFormatOf(path);
    const auto format = ParseTrajectoryFormat(*text);
    if (!format) throw CommandLineError{"--trajectory-format takes lammps or xyz, not '" + *text + "'"};
    return *format;
}

std::optional<SpeciesNames> SpeciesOption(const CommandLine& line) {
    const auto text = line.Option("--species");
    if (!text) return std::nullopt;
    const auto species = ParseSpeciesNames(*text);
    if (!species)
        throw CommandLineError{"--species takes three different names of letters, digits or _ (as Ar,Kr,Xe), "
                               "not '" +
                               *text + "'"};
    return species;
}

bool LoadWorld(const std::string& path, World& world, std::ostream& err) {
    // The window reads any file as the configuration of its first bytes; the runner takes only the
    // files a configuration can be, so that a trajectory given by mistake is not read as one.
    if (const std::optional<std::string> refused = NotAConfiguration(path)) {
        err << *refused << '\n';
        return false;
    }
    return Attempt(path, err, [&] {
        ConfigRecord buffer{};
        if (const int openFailure = ReadConfigFile(path, buffer)) throw IoError(openFailure);
        UnpackConfigRecord(buffer, world);
    });
}

bool SaveWorld(const std::string& path, const World& world, std::ostream& err) {
    return Attempt(path, err, [&] {
        ConfigRecord buffer{};
        WriteConfigFile(path, world, buffer);
    });
}

std::string FileFailureText(const std::string& path, const TaonError& error) {
    // "Invalid filename" is how the window has always reported a missing folder; here it is said.
    const auto* io = dynamic_cast<const IoError*>(&error);
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (io && io->code() == InvalidFilename && !folder.empty() && KindOfPath(folder) != PathKind::Folder)
        return path + ": the folder " + folder +
               (KindOfPath(folder) == PathKind::Missing ? " does not exist" : " is not a folder");
    // A read-only file may be another than path, such as the sidecar of a dump.
    if (const auto* readOnly = dynamic_cast<const ReadOnlyFileError*>(&error))
        return readOnly->Path() + ": " + error.what() + " (--force replaces it)";
    return path + ": " + error.what();
}

void ReportFileFailure(std::ostream& err, const std::string& path, const TaonError& error) {
    err << FileFailureText(path, error) << '\n';
}

int ReportCommandLineError(std::ostream& err, const CommandLineError& error) {
    err << "taonscope-cli: " << error.message << " (see taonscope-cli --help)\n";
    return CliBadInput;
}

} // namespace taonscope
