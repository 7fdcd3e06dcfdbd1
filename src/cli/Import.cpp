// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

#include "Cli.h"
#include "CommandLine.h"

#include "core/Errors.h"
#include "core/NumberText.h"
#include "document/ConfigFile.h"
#include "document/TrajectoryFile.h"

namespace taonscope {

int ImportCommand(const std::vector<std::string>& args, std::ostream& err) {
    try {
        const CommandLine line =
            SplitCommandLine(args, {"--frame", "--dt", "--trajectory-format", "--species"}, {"--force"});
        const ForceOption force(line);
        if (line.positional.size() != 2)
            throw CommandLineError{"expected a trajectory (XYZ or LAMMPS dump) and an output file"};
        const std::string& input = line.positional[0];
        const TrajectoryFormat format = TrajectoryFormatOption(line, input);
        ImportOptions options;
        options.species = SpeciesOption(line);
        if (options.species && format == TrajectoryFormat::Lammps)
            throw CommandLineError{
                "--species names the kinds of XYZ frames; a LAMMPS dump gives them as types"};
        if (const auto text = line.Option("--frame")) {
            const auto frame = TryParseInteger(*text);
            if (!frame || *frame < 1 || text->find('$') != std::string::npos)
                throw CommandLineError{"--frame takes a whole number from 1, not '" + *text + "'"};
            options.frame = *frame;
        }
        options.dt = RealOption(line, "--dt");
        World world;
        std::string note;
        const bool read =
            Attempt(input, err, [&] { world = ReadTrajectoryFile(input, format, options, &note); });
        if (!note.empty()) err << input << ": " << note << '\n';
        if (!read) return CliBadInput;
        const std::string& output = line.positional[1];
        ConfigRecord buffer{};
        return Attempt(output, err, [&] { WriteConfigFile(output, world, buffer); }) ? CliOk : CliBadInput;
    } catch (const CommandLineError& error) {
        return ReportCommandLineError(err, error);
    }
}

} // namespace taonscope
