// SPDX-License-Identifier: GPL-3.0-or-later
#include "RadialDistribution.h"

#include "Histogram.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace taonscope {

namespace {

constexpr Extended MaxBins = 1e6L;

// The radius of gyration of the looked-at taons about their centre.
Extended RadiusOfGyration(const World& w, const std::vector<int>& slots) {
    if (slots.empty()) return 0;
    Extended x = 0, y = 0, z = 0;
    for (const int i : slots) x += w.PosX[i], y += w.PosY[i], z += w.PosZ[i];
    const Extended n = static_cast<Extended>(slots.size());
    x /= n, y /= n, z /= n;
    Extended sum = 0;
    for (const int i : slots) {
        const Extended dx = w.PosX[i] - x, dy = w.PosY[i] - y, dz = w.PosZ[i] - z;
        sum += dx * dx + dy * dy + dz * dz;
    }
    return std::sqrt(sum / n);
}

} // namespace

std::string RdfName(std::size_t index) {
    return index < KindPairs.size() ? KindPairName(index) : "all";
}

RadialDistribution RadialDistributionOf(const World& w, const PairDistances& pairs, const RdfGrid& grid) {
    RadialDistribution rdf;
    const Extended places = grid.Max / grid.Width;
    if (!(grid.Width > 0 && grid.Max > 0 && std::isfinite(places) && places <= MaxBins)) return rdf;
    const std::size_t bins = static_cast<std::size_t>(std::max<Extended>(1, std::round(places)));
    rdf.Width = grid.Width;
    for (std::size_t n = 0; n < bins; ++n) rdf.R.push_back((n + 0.5L) * grid.Width);
    std::array<std::vector<Extended>, RdfCurves> counts;
    for (auto& c : counts) c.assign(bins, 0);

    const std::size_t n = pairs.Slots.size();
    std::array<Extended, 4> ofKind{};
    std::vector<int> kind(n);
    for (std::size_t a = 0; a < n; ++a)
        ++ofKind[static_cast<std::size_t>(kind[a] = TaonKind(w, pairs.Slots[a]))];
    std::array<std::array<std::size_t, 4>, 4> curveOf{};
    for (int a = 1; a <= 3; ++a)
        for (int b = 1; b <= 3; ++b)
            curveOf[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)] = KindPairIndex(a, b);
    std::size_t index = 0;
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b, ++index) {
            const Extended place = pairs.Distance[index] / grid.Width; // compared before the conversion
            if (!(place >= 0 && place < static_cast<Extended>(bins))) continue;
            const std::size_t bin = static_cast<std::size_t>(place);
            ++counts[curveOf[static_cast<std::size_t>(kind[a])][static_cast<std::size_t>(kind[b])]][bin];
            ++counts[RdfCurves - 1][bin];
        }

    constexpr Extended Pi = std::numbers::pi_v<Extended>;
    const Extended radius = std::sqrt(5.0L / 3) * RadiusOfGyration(w, pairs.Slots);
    rdf.Volume = 4 * Pi / 3 * radius * radius * radius;
    // Volume / shell volume of each bin, shared by the curves.
    std::vector<Extended> perShell(bins);
    for (std::size_t bin = 0; bin < bins; ++bin) {
        const Extended inner = bin * grid.Width, outer = (bin + 1) * grid.Width;
        perShell[bin] = rdf.Volume / (4 * Pi / 3 * (outer * outer * outer - inner * inner * inner));
    }
    for (std::size_t curve = 0; curve < RdfCurves; ++curve) {
        Extended pairCount = static_cast<Extended>(n) * (static_cast<Extended>(n) - 1) / 2;
        if (curve < KindPairs.size()) {
            const Extended a = ofKind[static_cast<std::size_t>(KindPairs[curve][0])];
            const Extended b = ofKind[static_cast<std::size_t>(KindPairs[curve][1])];
            pairCount = KindPairs[curve][0] == KindPairs[curve][1] ? a * (a - 1) / 2 : a * b;
        }
        rdf.G[curve].assign(bins, 0);
        if (!(pairCount > 0 && rdf.Volume > 0 && std::isfinite(rdf.Volume))) continue;
        for (std::size_t bin = 0; bin < bins; ++bin)
            if (counts[curve][bin] > 0) rdf.G[curve][bin] = counts[curve][bin] * perShell[bin] / pairCount;
    }
    return rdf;
}

} // namespace taonscope
