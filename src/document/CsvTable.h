// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

#include <string>

namespace taonscope {

/// The listing as comma-separated values: a header "taon,X,Y,Z" (or "taon,u(x),u(y),u(z)") and one
/// line per present taon with its positions (or velocities) at full precision, as frames write them.
std::string TaonTableCsv(const World& world, bool velocities);

} // namespace taonscope
