// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"

#include "core/NumberText.h"
#include "document/Commentary.h"
#include "document/CsvTable.h"
#include "document/TextEncoding.h"
#include "document/XyzFile.h"

#include <cmath>
#include <ostream>

namespace taonscope {

namespace {

// A value as a JSON token with 21 significant digits, as the CSV has it; "nan", "inf" or "-inf" as a
// string.
std::string JsonValue(Extended value) {
    const std::string text = XyzRealText(value);
    return std::isfinite(value) ? text : "\"" + text + "\"";
}

// The commentary beside input as UTF-8; the configuration itself is not read.
int ShowCommentary(const std::string& input, const CommandLine& a, std::ostream& out, std::ostream& err) {
    if (a.Option("--format") || a.Option("--velocities"))
        throw CommandLineError{"--commentary takes no --format or --velocities"};
    TextEncoding encoding = DefaultCodePage;
    if (const auto name = a.Option("--encoding")) {
        const auto found = FindEncoding(*name);
        if (!found)
            throw CommandLineError{"unknown encoding " + *name +
                                   " (UTF-8, windows-1251, windows-1250, windows-1252 or koi8-r)"};
        encoding = *found;
    }
    const std::string commentPath = CommentFileName(input);
    try {
        const std::optional<DetectedText> commentary = LoadCommentaryText(input, encoding);
        if (!commentary) {
            err << input << ": no commentary (" << commentPath << ")\n";
            return CliOk;
        }
        if (encoding == TextEncoding::Utf8 && !IsValidUtf8(commentary->Text)) {
            err << commentPath << ": not UTF-8; --encoding names the code page it was written in\n";
            return CliBadInput;
        }
        if (commentary->Encoding != TextEncoding::Utf8)
            err << commentPath << ": read as " << EncodingName(commentary->Encoding) << '\n';
        out << commentary->Text;
        if (!commentary->Text.empty() && commentary->Text.back() != '\n') out << '\n';
        return CliOk;
    } catch (const TaonError& error) {
        err << input << ": " << error.what() << '\n';
        return CliBadInput;
    }
}

} // namespace

int ShowCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLine a =
        SplitCommandLine(args, {"--format", "--encoding"}, {"--velocities", "--commentary", "--parameters"});
    const std::string input = OnePositional(a, "one input file");
    if (a.Option("--commentary")) return ShowCommentary(input, a, out, err);
    if (a.Option("--encoding")) throw CommandLineError{"--encoding goes with --commentary"};
    const std::string format = a.Option("--format").value_or("text");
    if (format != "text" && format != "csv" && format != "json")
        throw CommandLineError{"unknown format " + format};
    const bool velocities = a.Option("--velocities").has_value();
    if (a.Option("--parameters") && format != "csv")
        throw CommandLineError{"--parameters goes with --format csv"};

    World world;
    if (!LoadWorld(input, world, err)) return CliBadInput;
    const TaonArray& x = velocities ? world.VelX : world.PosX;
    const TaonArray& y = velocities ? world.VelY : world.PosY;
    const TaonArray& z = velocities ? world.VelZ : world.PosZ;
    const char* const headers[3] = {velocities ? "u(x)" : "X", velocities ? "u(y)" : "Y",
                                    velocities ? "u(z)" : "Z"};

    if (format == "json") {
        out << "{\n  \"parameters\": {";
        for (std::size_t p = 0; p < ParameterFields.size(); ++p)
            out << (p ? ", " : "") << '"' << ParameterNames[p]
                << "\": " << JsonValue(world.*ParameterFields[p]);
        out << "},\n  \"taons\": [";
        bool first = true;
        for (int i = 1; i <= MaxTaons; ++i) {
            if (!world.TaonPresent[i]) continue;
            out << (first ? "\n" : ",\n") << "    {\"slot\": " << i << ", \"kind\": " << TaonKind(world, i);
            const char* names[6] = {"x", "y", "z", "vx", "vy", "vz"};
            const TaonArray* values[6] = {&world.PosX, &world.PosY, &world.PosZ,
                                          &world.VelX, &world.VelY, &world.VelZ};
            for (int c = 0; c < 6; ++c) out << ", \"" << names[c] << "\": " << JsonValue((*values[c])[i]);
            out << '}';
            first = false;
        }
        out << (first ? "" : "\n  ") << "]\n}\n";
        return CliOk;
    }

    if (format == "csv") {
        out << (a.Option("--parameters") ? ParameterTableCsv(world) : TaonTableCsv(world));
        return CliOk;
    }
    for (std::size_t p = 0; p < ParameterFields.size(); ++p)
        out << ParameterNames[p] << " = " << FormatReal(world.*ParameterFields[p]) << '\n';
    out << '\n' << "taon\t" << headers[0] << '\t' << headers[1] << '\t' << headers[2] << '\n';
    for (int i = 1; i <= MaxTaons; ++i)
        if (world.TaonPresent[i])
            out << i << '\t' << FormatReal(x[i]) << '\t' << FormatReal(y[i]) << '\t' << FormatReal(z[i])
                << '\n';
    return CliOk;
}

} // namespace taonscope
