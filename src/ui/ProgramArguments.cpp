// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramArguments.h"

#include "core/Version.h"

namespace taonscope {

namespace {

constexpr const char* Usage = R"(Usage: taonscope [FILE]
  Opens the window. With FILE, opens it as File > Open does: a configuration (.tao), or one frame of a
  trajectory (.xyz, .lammpstrj or .dump) as File > Import XYZ does.
  taonscope --version   prints the program's name and version
  taonscope --help      prints this
)";

} // namespace

ProgramArguments ReadProgramArguments(const std::vector<std::string>& args) {
    ProgramArguments read;
    if (args.empty()) return read;
    if (args.size() == 1 && args[0] == "--version") {
        read.print = std::string("taonscope ") + ProgramVersion + "\n";
    } else if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        read.print = Usage;
    } else if (args.size() == 1 && !args[0].starts_with("-")) {
        read.file = args[0];
    } else {
        read.print = std::string("taonscope: expected one file or none, --version or --help\n") + Usage;
        read.status = 2;
    }
    return read;
}

} // namespace taonscope
