// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

#include <iosfwd>
#include <string>

namespace taonscope {

/// A real with 21 significant digits and a full stop, as the log and the JSON output write it;
/// "INF", "-INF" or "NAN" when it is not finite.
std::string PreciseReal(Extended value);

/// Writes K, U, E, |P|, the centre of mass, the largest speed, the six distance histograms and each
/// kind's shell radii of a world, as text or as one JSON object.
void WriteAnalysis(const World& world, bool json, std::ostream& out);

} // namespace taonscope
