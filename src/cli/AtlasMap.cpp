// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "GuiApplication.h"

#include "core/NumberText.h"
#include "document/FileIo.h"
#include "view/AtlasPicture.h"
#include "view/ScenePicture.h"

#include <ostream>

namespace taonscope {

int AtlasMapCommand(const std::vector<std::string>& args, std::ostream& err) {
    const CommandLine line = SplitCommandLine(args, {"--colour", "--size"}, {"--force"});
    const ForceOption force(line);
    if (line.positional.size() != 3) throw CommandLineError{"atlas map takes a folder and a PNG file"};
    const std::string colourName = line.Option("--colour").value_or("outcome");
    const std::optional<MapColour> colour = MapColourNamed(colourName);
    if (!colour) {
        std::string names;
        for (const std::string& name : MapColourNames()) names += (names.empty() ? "" : ", ") + name;
        throw CommandLineError{"--colour takes " + names + ", not '" + colourName + "'"};
    }
    int width = 900, height = 600;
    if (const auto text = line.Option("--size")) {
        const std::size_t x = text->find('x');
        const auto w = x == std::string::npos ? std::nullopt : TryParseInteger(text->substr(0, x));
        const auto h = x == std::string::npos ? std::nullopt : TryParseInteger(text->substr(x + 1));
        if (!w || !h || *w < 300 || *h < 200 || *w > 16384 || *h > 16384 ||
            text->find('$') != std::string::npos)
            throw CommandLineError{"--size takes WxH, W from 300 and H from 200 to 16384, not '" + *text +
                                   "'"};
        width = *w;
        height = *h;
    }
    const std::string& output = line.positional[2];
    try {
        const Atlas atlas = ReadAtlas(line.positional[1]);
        EnsureGuiApplication();
        const QImage picture = AtlasPicture(LayOutMap(atlas, *colour, width, height));
        if (!Attempt(output, err, [&] { ReplaceFileContents(output, PngBytes(picture)); }))
            return CliBadInput;
        if (static_cast<int>(atlas.Records.size()) < atlas.Plan.Sweep.CellCount())
            err << "drew " << atlas.Records.size() << " of " << atlas.Plan.Sweep.CellCount()
                << " cells: the others are not done yet\n";
        return CliOk;
    } catch (const TaonError& error) {
        err << "taonscope-cli: " << error.what() << '\n';
    }
    return CliBadInput;
}

} // namespace taonscope
