// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/Structure.h"
#include "core/World.h"
#include "document/CsvTable.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace taonscope {

struct CommandLine;

/// The structure a command line asks for: none without --structure (unless implied), else the cutoff
/// of --cutoff R (a positive number) or the one taken from the data; throws CommandLineError for
/// --cutoff alone.
std::optional<StructureOptions> StructureOption(const CommandLine& line, bool implied = false);

/// PreciseReal as a JSON value: a number, or the string "INF", "-INF" or "NAN".
std::string JsonReal(Extended value);

/// A quantity as a JSON value: JsonReal of its value, or "NAN" when it is not available.
std::string JsonQuantity(const Quantity& quantity);

/// Writes K, U, E, |P|, the centre of mass, the largest speed, the six distance histograms and each
/// kind's shell radii of a world, as text or as one JSON object; then its structure when options are given.
void WriteAnalysis(const World& world, bool json, std::ostream& out,
                   const std::optional<StructureOptions>& structure = std::nullopt);

} // namespace taonscope
