// SPDX-License-Identifier: GPL-3.0-or-later
#include "Neighbours.h"

#include "PairFunction.h"

#include "core/Errors.h"
#include "core/FpTrap.h"
#include "core/Law.h"
#include "core/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace taonscope {

namespace {

// The smoothing of the pair-distance distribution, in units of the nearest-neighbour reach: bins of
// CutoffBinsPerReach, a Gaussian of two bins' width, searched up to this far.
constexpr int BinsPerReach = CutoffBinsPerReach;
constexpr int BinsPerWidth = 2;
constexpr Extended SearchRange = 2.5L;
constexpr int KernelReach = 4 * BinsPerWidth; // bins beyond which the Gaussian is left out (4 widths)
constexpr Extended FallbackFactor = 1.2L;

// The smallest distance within which three taons in four (of those with a positive finite
// nearest-neighbour distance) have their nearest neighbour; 0 when there is none.
Extended NearestNeighbourReach(const PairDistances& pairs) {
    const std::size_t n = pairs.Slots.size();
    std::vector<Extended> least(n, std::numeric_limits<Extended>::infinity());
    std::size_t index = 0;
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b, ++index) {
            const Extended d = pairs.Distance[index];
            if (!(d > 0)) continue;
            if (d < least[a]) least[a] = d;
            if (d < least[b]) least[b] = d;
        }
    std::vector<Extended> nearest;
    nearest.reserve(n);
    for (const Extended d : least)
        if (std::isfinite(d)) nearest.push_back(d);
    if (nearest.empty()) return 0;
    const std::size_t place = (3 * nearest.size() + 3) / 4 - 1;
    std::nth_element(nearest.begin(), nearest.begin() + static_cast<std::ptrdiff_t>(place), nearest.end());
    return nearest[place];
}

// The reach of a shell: the distance beyond its radius where it has fallen to 1% of its value there.
Extended ShellReach(Extended radius) {
    const Extended k = ShellScale(radius);
    const Extended target = ShellFunction(k, radius) / 100;
    Extended inside = radius, outside = 2 * radius;
    for (int n = 0; n < 80; ++n) {
        const Extended middle = (inside + outside) / 2;
        (ShellFunction(k, middle) > target ? inside : outside) = middle;
    }
    return outside;
}

} // namespace

PairDistances MeasurePairDistances(const World& w) {
    PairDistances pairs;
    const int slots = std::clamp(w.TaonCount, 0, MaxTaons);
    for (int i = 1; i <= slots; ++i)
        if (w.TaonPresent[i] && std::isfinite(w.PosX[i]) && std::isfinite(w.PosY[i]) &&
            std::isfinite(w.PosZ[i]))
            pairs.Slots.push_back(i);
    const std::size_t n = pairs.Slots.size();
    pairs.Distance.reserve(n * (n > 0 ? n - 1 : 0) / 2);
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b)
            pairs.Distance.push_back(PairDistance(w, pairs.Slots[a], pairs.Slots[b]));
    return pairs;
}

Extended PairDistance(const World& w, int i, int j) {
    const Extended dx = w.PosX[i] - w.PosX[j], dy = w.PosY[i] - w.PosY[j], dz = w.PosZ[i] - w.PosZ[j];
    return std::sqrt((dz * dz) + ((dy * dy) + (dx * dx)));
}

std::optional<std::size_t> CutoffBin(Extended d, Extended reach) {
    const Extended estimate = std::floor(d / reach * BinsPerReach);
    if (!(estimate >= 0 && estimate < Extended(1 << 30))) return std::nullopt;
    auto k = static_cast<std::size_t>(estimate);
    // Whether d lies at or above the edge: the sign of BinsPerReach d - edge reach, each product kept
    // whole as the sum of its rounded value and the exact rest.
    const auto above = [&](std::size_t edge) {
        const Extended e = static_cast<Extended>(edge);
        const Extended p = BinsPerReach * d, q = e * reach;
        const Extended pRest = std::fma(Extended(BinsPerReach), d, -p), qRest = std::fma(e, reach, -q);
        return (p - q) + (pRest - qRest) >= 0;
    };
    while (k > 0 && !above(k)) --k;
    while (above(k + 1)) ++k;
    return k;
}

std::string CutoffSourceText(CutoffSource source) {
    switch (source) {
    case CutoffSource::Given:
        return "given";
    case CutoffSource::FirstMinimum:
        return "the first minimum of the pair distances";
    case CutoffSource::NearestNeighbour:
        return "1.2 x the nearest-neighbour reach";
    case CutoffSource::None:
        break;
    }
    return "no two taons apart";
}

CutoffEstimate DefaultCutoff(const PairDistances& pairs) {
    const Extended nearest = NearestNeighbourReach(pairs);
    if (!(nearest > 0)) return {};
    const Extended bin = nearest / BinsPerReach;
    const int searched = static_cast<int>(std::lround(SearchRange * BinsPerReach));
    std::vector<Extended> counts(static_cast<std::size_t>(searched + KernelReach), 0);
    for (const Extended d : pairs.Distance)
        if (const std::optional<std::size_t> k = CutoffBin(d, nearest); k && *k < counts.size()) ++counts[*k];
    // The counts smoothed by a Gaussian of BinsPerWidth bins, divided by r^2 like g(r).
    std::array<Extended, KernelReach + 1> weight{};
    for (int t = 0; t <= KernelReach; ++t)
        weight[static_cast<std::size_t>(t)] = std::exp(-Extended(t * t) / (2 * BinsPerWidth * BinsPerWidth));
    std::vector<Extended> f(static_cast<std::size_t>(searched), 0);
    for (int k = 0; k < searched; ++k) {
        Extended sum = 0;
        for (int t = -KernelReach; t <= KernelReach; ++t)
            if (k + t >= 0)
                sum +=
                    counts[static_cast<std::size_t>(k + t)] * weight[static_cast<std::size_t>(std::abs(t))];
        const Extended r = (k + 0.5L) * bin;
        f[static_cast<std::size_t>(k)] = sum / (r * r);
    }
    // The first valley beyond the nearest-neighbour reach whose floor lies below half of the highest
    // value before it; a floor that is flat (no pair within reach of it) is taken at its middle.
    const std::size_t reach = BinsPerReach;
    Extended highest = 0;
    for (std::size_t k = 0; k + 1 < f.size();) {
        highest = std::max(highest, f[k]);
        if (k < reach || !(f[k + 1] < f[k])) {
            ++k;
            continue;
        }
        std::size_t floorEnd = k + 1;
        while (floorEnd + 1 < f.size() && f[floorEnd + 1] <= f[floorEnd]) ++floorEnd;
        if (floorEnd + 1 >= f.size()) break; // it never rises again
        std::size_t floorStart = floorEnd;
        while (floorStart > k + 1 && f[floorStart - 1] == f[floorEnd]) --floorStart;
        if (f[floorEnd] <= highest / 2)
            return {(static_cast<Extended>(floorStart + floorEnd) / 2 + 0.5L) * bin,
                    CutoffSource::FirstMinimum};
        k = floorEnd;
    }
    return {FallbackFactor * nearest, CutoffSource::NearestNeighbour};
}

CutoffEstimate DefaultCutoff(const World& world) {
    return DefaultCutoff(MeasurePairDistances(world));
}

std::vector<CutoffChoice> CutoffChoices(const World& world) {
    static constexpr char Letters[] = "BCDFG";
    std::vector<CutoffChoice> choices;
    for (int kind = 1; kind <= 3; ++kind) {
        const std::array<Extended, 5> radii = ShellRadii(GetParameterSet(world, kind));
        for (std::size_t s = 0; s < radii.size(); ++s) {
            if (!(radii[s] > 0 && std::isfinite(radii[s]))) continue;
            CutoffChoice choice;
            choice.Kind = kind;
            choice.Shell = Letters[s];
            choice.Radius = radii[s];
            try {
                ClearFpFlags();
                choice.Cutoff = ShellReach(radii[s]);
            } catch (const TaonError&) {
                continue; // a radius at the end of the range: the law itself faults there
            }
            choice.Label = std::string(1, choice.Shell) + std::to_string(kind) + " = " +
                           FormatReal(choice.Radius) + ": " + FormatReal(choice.Cutoff);
            choices.push_back(choice);
        }
    }
    return choices;
}

Neighbours FindNeighbours(const PairDistances& pairs, Extended cutoff) {
    Neighbours result;
    result.Cutoff = cutoff;
    result.Slots = pairs.Slots;
    const std::size_t n = pairs.Slots.size();
    std::size_t index = 0;
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b, ++index) {
            const Extended d = pairs.Distance[index];
            if (!Bonded(d, cutoff)) continue;
            const int i = pairs.Slots[a], j = pairs.Slots[b];
            result.Bonds.push_back({i, j, d});
            result.Of[static_cast<std::size_t>(i)].push_back(j);
            result.Of[static_cast<std::size_t>(j)].push_back(i);
        }
    return result;
}

Neighbours FindNeighbours(const World& world, Extended cutoff) {
    return FindNeighbours(MeasurePairDistances(world), cutoff);
}

} // namespace taonscope
