// SPDX-License-Identifier: GPL-3.0-or-later
#include "Analysis.h"
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "Series.h"

namespace taonscope {

namespace {

// analyze TRAJECTORY --series|--events: one read of the file, a frame at a time.
int AnalyzeTrajectory(const CommandLine& a, const std::string& input, std::ostream& out, std::ostream& err) {
    TrajectoryReport report;
    report.Events = a.Option("--events").has_value();
    if (report.Events && a.Option("--series"))
        throw CommandLineError{"--series and --events write different tables: give one of them"};
    const std::string format = a.Option("--format").value_or("csv");
    if (format != "csv" && format != "json")
        throw CommandLineError{"--series and --events write csv or json, not " + format};
    report.Json = format == "json";
    report.Structure = StructureOption(a, report.Events);
    const TrajectoryFormat trajectoryFormat = TrajectoryFormatOption(a, input);
    std::string note;
    const bool read = Attempt(input, err, [&] {
        const std::unique_ptr<TrajectoryReader> reader = OpenTrajectoryReader(input, trajectoryFormat);
        WriteTrajectoryReport(*reader, report, out);
        note = reader->Note();
    });
    if (!note.empty()) err << input << ": " << note << '\n';
    return read ? CliOk : CliBadInput;
}

} // namespace

int AnalyzeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLine a = SplitCommandLine(args, {"--format", "--cutoff", "--trajectory-format"},
                                           {"--structure", "--series", "--events"});
    const std::string input = OnePositional(a, "one input file");
    if (a.Option("--series") || a.Option("--events")) return AnalyzeTrajectory(a, input, out, err);
    if (a.Option("--trajectory-format"))
        throw CommandLineError{"--trajectory-format needs --series or --events"};
    const std::string format = a.Option("--format").value_or("text");
    if (format != "text" && format != "json") throw CommandLineError{"unknown format " + format};
    const std::optional<StructureOptions> structure = StructureOption(a);
    World world;
    if (!LoadWorld(input, world, err)) return CliBadInput;
    WriteAnalysis(world, format == "json", out, structure);
    return CliOk;
}

} // namespace taonscope
