// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/Measures.h"
#include "core/World.h"

#include <deque>
#include <string>
#include <string_view>

namespace taonscope {

/// The present taons as one table of comma-separated values: the header "slot,kind,x,y,z,vx,vy,vz" and
/// a line per taon with its slot, kind, position and velocity at full precision (21 significant
/// digits, as frames write them).
std::string TaonTableCsv(const World& world);

/// The law as a table of comma-separated values: the header "parameter,value", then dt and the 18
/// parameters at full precision.
std::string ParameterTableCsv(const World& world);

/// A real with 21 significant digits in its shortest form and a full stop, as the run table and the
/// runner's JSON write it; "INF", "-INF" or "NAN" when it is not finite.
std::string PreciseReal(Extended value);

/// The header of a table of run samples, the columns of run --log.
inline constexpr std::string_view RunTableHeader =
    "step,time,kinetic,pair_energy,total_energy,momentum,largest_speed\n";

/// A quantity as a cell of the run table: PreciseReal of its value, or "n/a" when it is not available.
std::string RunTableQuantity(const Quantity& quantity);

/// A sample as a row of the run table, as run --log writes it: reals with 21 significant digits in their
/// shortest form ("INF", "-INF", "NAN" when not finite), "n/a" for a quantity that is not available.
std::string RunTableRow(const Sample& sample);

/// The instruments' samples of a run as a table: RunTableHeader and a row each.
std::string RunTableCsv(const std::deque<Sample>& samples);

} // namespace taonscope
