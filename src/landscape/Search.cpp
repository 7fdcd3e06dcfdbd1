// SPDX-License-Identifier: GPL-3.0-or-later
#include "Search.h"

#include "LawPotential.h"

#include <algorithm>

namespace taonscope {

int SearchCellCount(const SearchSettings& s) {
    return static_cast<int>((s.Hops + s.HopsPerCell - 1) / s.HopsPerCell);
}

HoppingOptions SearchCellOptions(const SearchSettings& s, int cell) {
    HoppingOptions options;
    options.Particles = s.Taons;
    // A cell's start is one of its hops.
    options.Hops = std::min(s.HopsPerCell, s.Hops - (cell - 1) * s.HopsPerCell) - 1;
    options.Temperature = s.Temperature;
    // The generator scrambles its seed, so neighbouring seeds give unrelated sequences.
    options.Seed = s.Seed * 0x9E3779B97F4A7C15u + static_cast<std::uint64_t>(cell);
    options.Keep = s.Keep;
    return options;
}

std::int64_t SearchHop(const SearchSettings& s, int cell, std::int64_t hop) {
    return (cell - 1) * s.HopsPerCell + hop + 1;
}

World SearchWorld(const SearchSettings& s, const Coordinates& x) {
    World world;
    world.TaonCount = MaxTaons;
    world.dt = s.Dt;
    for (int kind = 1; kind <= 3; ++kind) SetParameterSet(world, kind, s.Set);
    for (int i = 1; i <= s.Taons; ++i) world.TaonPresent[i] = true;
    PlaceAtRest(world, x.empty() ? Coordinates(3 * static_cast<std::size_t>(s.Taons), 0) : x);
    return world;
}

HoppingResult RunSearchCell(const SearchSettings& s, int cell, FastLaw& law) {
    LawPotential potential(SearchWorld(s), law);
    return BasinHopping(potential, SearchCellOptions(s, cell));
}

std::vector<CellMinimum> MergeMinima(std::vector<CellMinimum> minima, int keep) {
    std::stable_sort(minima.begin(), minima.end(), [](const CellMinimum& a, const CellMinimum& b) {
        return a.Minimum.Energy < b.Minimum.Energy;
    });
    std::vector<CellMinimum> merged;
    for (CellMinimum& m : minima) {
        if (!merged.empty() && SameEnergy(merged.back().Minimum.Energy, m.Minimum.Energy)) {
            merged.back().Minimum.Hop = std::min(merged.back().Minimum.Hop, m.Minimum.Hop);
            continue;
        }
        if (static_cast<int>(merged.size()) == keep) break;
        merged.push_back(std::move(m));
    }
    return merged;
}

} // namespace taonscope
