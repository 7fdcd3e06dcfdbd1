// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Measures.h"
#include "Structure.h"

#include <cstdint>
#include <optional>

namespace taonscope {

/// What a row of a trajectory's series holds of the frame's structure.
struct SeriesStructure {
    ClusterCount Counts; ///< clusters of two taons or more, isolated taons, the largest cluster
    Extended MeanQ6 = 0; ///< the mean q6 of the bonded taons; not a number when nothing is bonded
};

/// One frame of a trajectory measured as analyze measures a configuration: a row of analyze --series.
struct SeriesRow {
    int Frame = 0;   ///< the frame's number, from 1 (as import --frame counts)
    Sample Measures; ///< K, U, E, |P| and the largest speed, at the frame's step and time
    Quantity Msd;    ///< MeanSquaredDisplacement since the first frame
    std::optional<SeriesStructure> Structure; ///< when the frame's structure was measured
};

/// The mean over the taons present in both worlds of |d - D|^2, d a taon's displacement from first to
/// frame and D the mean of those displacements (the centre of mass's own); not available when no taon
/// is present in both.
Quantity MeanSquaredDisplacement(const World& frame, const World& first);

/// Measures frame number `number` of a trajectory (step and time from its stamp) against the first
/// frame; structure, when given, is AnalyzeStructure of this frame. Never throws but for want of memory.
SeriesRow MeasureFrame(const World& frame, int number, std::int64_t step, Extended time, const World& first,
                       const Structure* structure = nullptr);

} // namespace taonscope
