// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/Structure.h"
#include "document/TrajectoryFile.h"

#include <iosfwd>
#include <optional>

namespace taonscope {

/// What analyze writes of a trajectory: its series or its cluster events, as CSV or JSON.
struct TrajectoryReport {
    bool Events = false;                       ///< a row per cluster event instead of a row per frame
    std::optional<StructureOptions> Structure; ///< each frame's structure (events take the default)
    bool Json = false;                         ///< a JSON list of objects instead of a CSV table
};

/// Reads the trajectory frame by frame and writes the report's rows to out as they are made: analyze
/// --series (frame,step,time,kinetic,pair_energy,total_energy,momentum,largest_speed,msd, with a
/// structure also clusters,isolated,largest_cluster,q6_mean) or analyze --events
/// (step,event,clusters_before,clusters_after,sizes_before,sizes_after). The reader's failures are thrown.
void WriteTrajectoryReport(TrajectoryReader& reader, const TrajectoryReport& report, std::ostream& out);

} // namespace taonscope
