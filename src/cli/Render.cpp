// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "Film.h"
#include "GuiApplication.h"

#include "core/NumberText.h"
#include "document/ConfigFile.h"
#include "document/FileIo.h"
#include "document/IoError.h"
#include "document/TextLines.h"
#include "view/Film.h"
#include "view/ScenePicture.h"

#include <cmath>

namespace taonscope {

namespace {

// The real that text, a part of an option's value, stands for.
Extended ParsedReal(const std::string& option, const std::string& text) {
    const auto value = TryParseReal(text);
    if (!value) throw CommandLineError{option + ": '" + text + "' is not a valid floating point value"};
    return *value;
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// --fit takes "run" or "frame" after it, or nothing (as "frame").
std::vector<std::string> WithFitValue(const std::vector<std::string>& args) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        out.push_back(args[i]);
        if (args[i] == "--fit" && (i + 1 >= args.size() || (args[i + 1] != "run" && args[i + 1] != "frame")))
            out.push_back("frame");
    }
    return out;
}

// A trajectory is named so by its extension, or by --trajectory-format.
bool IsTrajectory(const CommandLine& line, const std::string& path) {
    const auto endsWith = [&](std::string_view ending) {
        return path.size() >= ending.size() &&
               EqualNoCase(std::string_view(path).substr(path.size() - ending.size()), ending);
    };
    return line.Option("--trajectory-format") || endsWith(".xyz") || endsWith(".lammpstrj") ||
           endsWith(".dump");
}

} // namespace

int RenderCommand(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal) {
    try {
        const CommandLine line = SplitCommandLine(WithFitValue(args),
                                                  {"--size", "--angles", "--scale", "--style",
                                                   "--sphere-size", "--fit", "--fps", "--trajectory-format"},
                                                  {"--numbers", "--progress", "--force"});
        const ForceOption force(line);
        if (line.positional.size() != 2)
            throw CommandLineError{"expected a configuration and a PNG file, or a trajectory and a film"};
        int width = 640, height = 480;
        if (const auto text = line.Option("--size")) {
            const std::vector<std::string> parts = SplitAt(*text, 'x');
            const auto w = parts.size() == 2 ? TryParseInteger(parts[0]) : std::nullopt;
            const auto h = parts.size() == 2 ? TryParseInteger(parts[1]) : std::nullopt;
            if (!w || !h || *w < 1 || *h < 1 || *w > 16384 || *h > 16384 ||
                text->find('$') != std::string::npos)
                throw CommandLineError{"--size takes WxH with whole numbers from 1 to 16384, not '" + *text +
                                       "'"};
            width = *w;
            height = *h;
        }
        ViewState view;
        if (const auto text = line.Option("--angles")) {
            const std::vector<std::string> parts = SplitAt(*text, ',');
            if (parts.size() != 3) throw CommandLineError{"--angles takes TETA,PSI,PHI, not '" + *text + "'"};
            view.ViewTeta = ParsedReal("--angles", parts[0]);
            view.ViewPsi = ParsedReal("--angles", parts[1]);
            view.ViewPhi = ParsedReal("--angles", parts[2]);
        }
        if (const auto text = line.Option("--scale")) view.ViewScale = ParsedReal("--scale", *text);
        view.ShowNumbersOn = line.Option("--numbers").has_value();
        if (const auto text = line.Option("--style")) {
            if (*text != "dots" && *text != "spheres")
                throw CommandLineError{"--style takes dots or spheres, not '" + *text + "'"};
            view.Style = *text == "spheres" ? TaonStyle::Spheres : TaonStyle::Dots;
        }
        if (const auto text = line.Option("--sphere-size")) {
            view.SphereRadius = ParsedReal("--sphere-size", *text);
            if (!(view.SphereRadius > 0) || !std::isfinite(view.SphereRadius))
                throw CommandLineError{"--sphere-size takes a positive radius, not '" + *text + "'"};
        }

        std::optional<FilmFit> fit;
        if (const auto text = line.Option("--fit")) {
            if (line.Option("--scale"))
                throw CommandLineError{"--fit and --scale both set the zoom: give one"};
            fit = *text == "run" ? FilmFit::WholeRun : FilmFit::EveryFrame;
        }

        const std::string& input = line.positional[0];
        const std::string& output = line.positional[1];
        if (IsTrajectory(line, input)) {
            FilmLook look{view, fit.value_or(FilmFit::None), width, height, 25};
            if (const auto text = line.Option("--fps")) {
                const auto fps = TryParseInteger(*text);
                if (!fps || *fps < 1 || *fps > 240 || text->find('$') != std::string::npos)
                    throw CommandLineError{"--fps takes a whole number from 1 to 240, not '" + *text + "'"};
                look.fps = *fps;
            }
            const TrajectoryFormat format = TrajectoryFormatOption(line, input);
            EnsureGuiApplication();
            ProgressLine progress(err, errIsTerminal, line.Option("--progress").has_value());
            return RenderFilm(input, format, output, look, err, progress);
        }
        if (line.Option("--fps") || line.Option("--progress"))
            throw CommandLineError{"--fps and --progress go with a film of a trajectory"};
        World world;
        try {
            ConfigRecord buffer{};
            if (const int openFailure = ReadConfigFile(input, buffer)) throw IoError(openFailure);
            UnpackConfigRecord(buffer, world);
        } catch (const TaonError& error) {
            err << input << ": " << error.what() << '\n';
            return CliBadInput;
        }
        EnsureGuiApplication();
        if (fit) FitAll(view, world, {width, height});
        return Attempt(
                   output, err,
                   [&] { ReplaceFileContents(output, PngBytes(TaonPicture(world, view, width, height))); })
                   ? CliOk
                   : CliBadInput;
    } catch (const CommandLineError& error) {
        return ReportCommandLineError(err, error);
    }
}

} // namespace taonscope
