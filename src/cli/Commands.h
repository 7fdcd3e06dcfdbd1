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

/// taonscope-cli atlas plan|run|cell|merge ...: plans a sweep into a folder, runs its cells, merges them;
/// map and slurm go to their own commands.
int AtlasCommand(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal);

/// taonscope-cli atlas map DIR OUT.png [--colour C] [--size WxH]: draws the atlas' map without a display.
int AtlasMapCommand(const std::vector<std::string>& args, std::ostream& err);

/// taonscope-cli atlas slurm DIR [--partition P] [--time T] [--cells-per-task N] [--submit]: writes the
/// Slurm scripts that run the atlas' cells as a job array and merge them, and submits them.
int AtlasSlurmCommand(const std::vector<std::string>& args, std::ostream& err);

/// taonscope-cli minimize IN.tao --output OUT.tao [--tolerance F] [--max-steps N] [--method lbfgs|fire]:
/// lowers the pair energy to a local minimum and writes it at rest.
int MinimizeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// taonscope-cli search N FOLDER [--parameters FILE.tao] [--hops H] ...: basin hopping for the lowest minima
/// of N taons, in cells run by processes of their own (a progress line on err when errIsTerminal).
int SearchCommand(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal);

/// taonscope-cli ground-states FROM TO FOLDER [search options] [--runs R] [--slurm ...], and its cell and
/// merge: the lowest minimum of every N from FROM to TO, each searched R times.
int GroundStatesCommand(const std::vector<std::string>& args, std::ostream& err, bool errIsTerminal);

} // namespace taonscope
