// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Structure.h"

#include <cstdint>
#include <vector>

namespace taonscope {

/// How the clusters (of two taons or more) of one group changed between two frames.
enum class ClusterEventKind {
    Formed,    ///< one cluster now, none before: its taons were isolated (or not there)
    Dissolved, ///< one cluster before, none now: its taons are isolated (or gone)
    Merged,    ///< two or more clusters before, one now
    Split,     ///< one cluster before, two or more now
    Exchanged, ///< any other change of members: one before and one now with other taons, or several and
               ///< several
};

/// The event's name as analyze --events writes it: "formed", "dissolved", "merged", "split", "exchanged".
const char* ClusterEventName(ClusterEventKind kind);

/// A change of one group of clusters: the clusters before and after that share taons, linked through
/// their common taons, unless the group is one cluster with the same members in both frames.
struct ClusterEvent {
    std::int64_t Step = 0;                            ///< the step of the later frame
    ClusterEventKind Kind = ClusterEventKind::Formed; ///< what happened
    std::vector<int> Before, After; ///< the group's clusters: indices in each Structure's Clusters, ascending
    std::vector<int> SizesBefore, SizesAfter; ///< their sizes, in the same order
};

/// The events between two frames' structures (AnalyzeStructure), one per group that changed, ordered by
/// the smallest slot of the group's clusters; a group's step is the later frame's, given as step.
std::vector<ClusterEvent> ClusterEvents(const Structure& before, const Structure& after, std::int64_t step);

} // namespace taonscope
