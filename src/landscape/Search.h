// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BasinHopping.h"

#include "core/FastLaw.h"
#include "core/World.h"

#include <cstdint>
#include <vector>

namespace taonscope {

/// A search for the lowest minima of N taons under one parameter set, made of independent cells: basin
/// hopping chains of at most HopsPerCell hops each, so that the result does not depend on how many
/// processes run them.
struct SearchSettings {
    int Taons = 2;                   ///< N: the taons in slots 1 to N
    ParameterSet Set{};              ///< the parameter set of all three kinds
    Extended Dt = 0.001L;            ///< the time step the configurations carry
    std::int64_t Hops = 10000;       ///< hops of all cells together, each cell's minimised start included
    std::int64_t HopsPerCell = 2500; ///< hops of one cell at most: long chains find more
    Extended Temperature = 0.8L;     ///< of the Metropolis acceptance
    std::uint64_t Seed = 1;          ///< fixes every cell
    int Keep = 10;                   ///< the lowest distinct minima kept
};

/// The cells of a search: its hops in cells of HopsPerCell, the last one shorter.
int SearchCellCount(const SearchSettings& settings);

/// The basin hopping of a cell (1 ... SearchCellCount): its own seed, its share of the hops.
HoppingOptions SearchCellOptions(const SearchSettings& settings, int cell);

/// The number of a cell's hop over the whole search, from 1: hop 0 of cell c (its start) is
/// (c - 1) HopsPerCell + 1.
std::int64_t SearchHop(const SearchSettings& settings, int cell, std::int64_t hop);

/// Runs a cell of the search under the law, computed by law.
HoppingResult RunSearchCell(const SearchSettings& settings, int cell, FastLaw& law);

/// A world of the search's taons at rest at x, with the set in all three kinds and the search's dt.
World SearchWorld(const SearchSettings& settings, const Coordinates& x = {});

/// A minimum found by one cell of a search, its hop counted over the whole search.
struct CellMinimum {
    int Cell = 0;         ///< the cell that found it
    int Place = 0;        ///< its place among that cell's kept minima, from 0
    FoundMinimum Minimum; ///< its energy, where it is (may be left empty), its hop and gradient
};

/// The lowest distinct minima of several cells' lists, lowest first, at most keep: of minima whose
/// energies are the same (SameEnergy), the lowest stands for all, with the earliest hop of them.
std::vector<CellMinimum> MergeMinima(std::vector<CellMinimum> minima, int keep);

} // namespace taonscope
