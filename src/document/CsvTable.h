// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

#include <string>

namespace taonscope {

/// The present taons as one table of comma-separated values: the header "slot,kind,x,y,z,vx,vy,vz" and
/// a line per taon with its slot, kind, position and velocity at full precision (21 significant
/// digits, as frames write them).
std::string TaonTableCsv(const World& world);

/// The law as a table of comma-separated values: the header "parameter,value", then dt and the 18
/// parameters at full precision.
std::string ParameterTableCsv(const World& world);

} // namespace taonscope
