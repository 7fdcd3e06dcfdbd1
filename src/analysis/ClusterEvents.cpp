// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClusterEvents.h"

#include <map>
#include <numeric>
#include <utility>

namespace taonscope {

const char* ClusterEventName(ClusterEventKind kind) {
    switch (kind) {
    case ClusterEventKind::Formed:
        return "formed";
    case ClusterEventKind::Dissolved:
        return "dissolved";
    case ClusterEventKind::Merged:
        return "merged";
    case ClusterEventKind::Split:
        return "split";
    case ClusterEventKind::Exchanged:
        break;
    }
    return "exchanged";
}

std::vector<ClusterEvent> ClusterEvents(const Structure& before, const Structure& after, std::int64_t step) {
    // The clusters of both frames are the nodes of one graph, before's first; a taon in a cluster of
    // each frame joins the two. A group's root is its cluster with the smallest slot.
    const int earlier = before.Counts.Clusters, later = after.Counts.Clusters;
    const auto cluster = [&](int n) -> const Cluster& {
        return n < earlier ? before.Clusters[static_cast<std::size_t>(n)]
                           : after.Clusters[static_cast<std::size_t>(n - earlier)];
    };
    std::vector<int> parent(static_cast<std::size_t>(earlier + later));
    std::iota(parent.begin(), parent.end(), 0);
    const auto root = [&](int n) {
        while (parent[static_cast<std::size_t>(n)] != n) n = parent[static_cast<std::size_t>(n)];
        return n;
    };
    for (int a = earlier; a < earlier + later; ++a)
        for (const int i : cluster(a).Slots) {
            const int b = before.ClusterOf[static_cast<std::size_t>(i)];
            if (b < 0 || b >= earlier) continue;
            int x = root(a), y = root(b);
            if (cluster(y).Slots.front() < cluster(x).Slots.front()) std::swap(x, y);
            parent[static_cast<std::size_t>(y)] = x;
        }

    std::map<int, ClusterEvent> groups; // by their smallest slot
    for (int n = 0; n < earlier + later; ++n) {
        ClusterEvent& event = groups[cluster(root(n)).Slots.front()];
        const bool isBefore = n < earlier;
        (isBefore ? event.Before : event.After).push_back(isBefore ? n : n - earlier);
        (isBefore ? event.SizesBefore : event.SizesAfter).push_back(cluster(n).Size());
    }

    std::vector<ClusterEvent> events;
    for (auto& [slot, event] : groups) {
        const std::size_t was = event.Before.size(), is = event.After.size();
        if (was == 1 && is == 1 && cluster(event.Before[0]).Slots == cluster(earlier + event.After[0]).Slots)
            continue;
        event.Step = step;
        event.Kind = was == 0              ? ClusterEventKind::Formed
                     : is == 0             ? ClusterEventKind::Dissolved
                     : was >= 2 && is == 1 ? ClusterEventKind::Merged
                     : was == 1 && is >= 2 ? ClusterEventKind::Split
                                           : ClusterEventKind::Exchanged;
        events.push_back(std::move(event));
    }
    return events;
}

} // namespace taonscope
