// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrajectoryFile.h"

#include "LammpsDumpFile.h"
#include "TextLines.h"
#include "XyzFile.h"

#include <algorithm>

namespace taonscope {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && EqualNoCase(text.substr(text.size() - ending.size()), ending);
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

TrajectoryFormat TrajectoryFormatOf(std::string_view path) {
    return EndsWithNoCase(path, ".lammpstrj") || EndsWithNoCase(path, ".dump") ? TrajectoryFormat::Lammps
                                                                               : TrajectoryFormat::Xyz;
}

std::optional<TrajectoryFormat> ParseTrajectoryFormat(std::string_view name) {
    if (name == "xyz") return TrajectoryFormat::Xyz;
    if (name == "lammps") return TrajectoryFormat::Lammps;
    return std::nullopt;
}

std::optional<SpeciesNames> ParseSpeciesNames(std::string_view text) {
    SpeciesNames species;
    for (std::size_t n = 0; n < 3; ++n) {
        const std::size_t comma = text.find(',');
        if ((n < 2) != (comma != std::string_view::npos)) return std::nullopt;
        const std::string_view name = text.substr(0, comma);
        if (name.empty() || name.size() > 16 || !IsLetter(name[0])) return std::nullopt;
        if (!std::all_of(name.begin(), name.end(),
                         [](char c) { return IsLetter(c) || (c >= '0' && c <= '9') || c == '_'; }))
            return std::nullopt;
        species.Names[n] = std::string(name);
        text.remove_prefix(n < 2 ? comma + 1 : text.size());
    }
    const auto& names = species.Names;
    if (names[0] == names[1] || names[0] == names[2] || names[1] == names[2]) return std::nullopt;
    return species;
}

std::unique_ptr<TrajectoryWriter> OpenTrajectoryWriter(const std::string& path, TrajectoryFormat format,
                                                       const SpeciesNames& species) {
    if (format == TrajectoryFormat::Lammps) return std::make_unique<LammpsTrajectory>(path);
    return std::make_unique<XyzTrajectory>(path, species);
}

std::unique_ptr<TrajectoryReader> OpenTrajectoryReader(const std::string& path, TrajectoryFormat format,
                                                       const ImportOptions& options) {
    if (format == TrajectoryFormat::Lammps) return OpenLammpsReader(path, options);
    return OpenXyzReader(path, options);
}

World ReadTrajectoryFile(const std::string& path, TrajectoryFormat format, const ImportOptions& options,
                         std::string* note) {
    if (format == TrajectoryFormat::Lammps) return ReadLammpsFile(path, options, note);
    return ReadXyzFile(path, options, note);
}

} // namespace taonscope
