// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/Structure.h"

#include <iosfwd>

namespace taonscope {

/// Writes the structure's keys of analyze's JSON object (cutoff, clusters, coordination, rdf, q4, q6 ...),
/// each after ",\n  ", so that they follow the object's other keys.
void WriteStructureJson(const Structure& structure, std::ostream& out);

/// Writes a readable summary of the structure: cutoff, clusters with their shapes, coordination,
/// bond order and the highest g(r).
void WriteStructureText(const Structure& structure, std::ostream& out);

} // namespace taonscope
