// SPDX-License-Identifier: GPL-3.0-or-later
#include "Histogram.h"

#include "Quantity.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

namespace taonscope {

namespace {

// The bins of distances from low to high, about the square root of count of them (at most maxBins).
std::vector<Extended> Edges(Extended low, Extended high, std::size_t count, int maxBins) {
    const int bins = std::clamp(static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count)))), 1,
                                std::max(1, maxBins));
    const Extended width = (high - low) / bins;
    std::vector<Extended> edges;
    for (int n = 0; n <= bins; ++n) edges.push_back(n == bins ? high : low + width * n);
    return edges;
}

// The histogram of distances on the edges given, or on their own when none are; the last bin is closed.
Histogram Bin(const std::vector<Extended>& distances, int maxBins, const std::vector<Extended>* shared) {
    Histogram h;
    if (distances.empty()) return h;
    for (const Extended d : distances)
        if (!std::isfinite(d)) {
            h.Reason = NotFiniteReason;
            return h;
        }
    const auto [low, high] = std::minmax_element(distances.begin(), distances.end());
    h.Edges = shared ? *shared : Edges(*low, *high, distances.size(), maxBins);
    const int bins = static_cast<int>(h.Edges.size()) - 1;
    const Extended first = h.Edges.front(), width = (h.Edges.back() - first) / bins;
    h.Counts.assign(static_cast<std::size_t>(bins), 0);
    for (const Extended d : distances) {
        // Compared before the conversion, which a value out of the int range would make undefined.
        const Extended place = width > 0 ? (d - first) / width : 0;
        const int n = place >= bins - 1 ? bins - 1 : place > 0 ? static_cast<int>(place) : 0;
        ++h.Counts[static_cast<std::size_t>(n)];
    }
    return h;
}

} // namespace

std::string KindPairName(std::size_t index) {
    return std::to_string(KindPairs[index][0]) + "-" + std::to_string(KindPairs[index][1]);
}

std::size_t KindPairIndex(int a, int b) {
    if (a > b) std::swap(a, b);
    for (std::size_t n = 0; n < KindPairs.size(); ++n)
        if (KindPairs[n][0] == a && KindPairs[n][1] == b) return n;
    return 0;
}

std::int64_t Histogram::Total() const {
    return std::accumulate(Counts.begin(), Counts.end(), std::int64_t{0});
}

std::array<Histogram, 6> PairHistograms(const World& w, int maxBins, PairBins bins) {
    std::array<std::vector<Extended>, 6> distances;
    const int slots = std::clamp(w.TaonCount, 0, MaxTaons);
    for (int i = 1; i <= slots; ++i) {
        if (!w.TaonPresent[i]) continue;
        for (int j = i + 1; j <= slots; ++j) {
            if (!w.TaonPresent[j]) continue;
            const Extended dx = w.PosX[i] - w.PosX[j], dy = w.PosY[i] - w.PosY[j], dz = w.PosZ[i] - w.PosZ[j];
            distances[KindPairIndex(TaonKind(w, i), TaonKind(w, j))].push_back(
                std::sqrt((dz * dz) + ((dy * dy) + (dx * dx))));
        }
    }
    std::optional<std::vector<Extended>> shared;
    if (bins == PairBins::Shared) {
        Extended low = std::numeric_limits<Extended>::infinity(), high = -low;
        std::size_t count = 0;
        for (const std::vector<Extended>& pair : distances)
            for (const Extended d : pair) low = std::min(low, d), high = std::max(high, d), ++count;
        if (count > 0 && std::isfinite(low) && std::isfinite(high)) shared = Edges(low, high, count, maxBins);
    }
    std::array<Histogram, 6> result;
    for (std::size_t n = 0; n < 6; ++n) result[n] = Bin(distances[n], maxBins, shared ? &*shared : nullptr);
    return result;
}

} // namespace taonscope
