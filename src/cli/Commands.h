// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace taonscope {

/// taonscope-cli run IN.tao ...: runs steps of a configuration, with a log, a trajectory and an output.
int RunCommand(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal);

/// taonscope-cli show IN.tao ...: prints a configuration, or the commentary beside it.
int ShowCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// taonscope-cli analyze IN.tao [--format text|json]: prints the instruments' quantities.
int AnalyzeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// taonscope-cli scenario NAME OUT.tao: writes a built-in configuration.
int ScenarioCommand(const std::vector<std::string>& args, std::ostream& err);

/// taonscope-cli import IN.xyz OUT.tao [--frame K] [--dt X]: writes one frame of an XYZ file (the last
/// by default) as a configuration; a frame that cannot be read writes nothing.
int ImportCommand(const std::vector<std::string>& args, std::ostream& err);

/// taonscope-cli render IN.tao OUT.png [--size WxH] [--angles TETA,PSI,PHI] [--scale S] [--numbers]:
/// draws the configuration's taons as the window's scene does, without a display; render TRAJECTORY
/// OUT.mp4 draws every frame of a trajectory into a film (a progress line on err when errIsTerminal).
int RenderCommand(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal);

} // namespace taonscope
