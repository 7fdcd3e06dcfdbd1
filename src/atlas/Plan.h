// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Sweep.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace taonscope {

/// One cell of a sweep: one set of values of the varied parameters and one seed.
struct AtlasCell {
    int Index = 0;                     ///< 1 ... the sweep's CellCount, in the order of the plan
    int Repetition = 0;                ///< 0 ... Repetitions - 1
    std::optional<std::uint64_t> Seed; ///< the cloud's seed, advanced by the repetition; none for other bases
    std::vector<int> Steps;            ///< the place of each varied parameter's value among its values
    std::vector<Extended> Values;      ///< the value of each varied parameter
};

/// The cell of an index: the first varied parameter changes slowest, the repetition fastest.
AtlasCell CellOf(const AtlasSweep& sweep, int index);

/// Every cell of the sweep, in index order.
std::vector<AtlasCell> PlanCells(const AtlasSweep& sweep);

/// The files of an atlas folder.
struct AtlasFolder {
    std::string Dir; ///< the folder, as given

    /// The sweep as it was planned (its bytes, as read).
    std::string SweepFile() const { return Dir + "/sweep.atlas.json"; }
    /// The copy of a file base that every cell starts from.
    std::string BaseFile() const { return Dir + "/base.tao"; }
    /// The list of the cells: index, seed and the value of each varied parameter.
    std::string CellList() const { return Dir + "/cells.csv"; }
    /// The folder of the cells' files.
    std::string CellFolder() const { return Dir + "/cells"; }
    /// A cell's result; the cell is done when this file exists.
    std::string ResultFile(int index) const;
    /// A cell's last configuration, and its commentary beside it.
    std::string ConfigurationFile(int index) const;
    /// The seconds a cell took, which only timings.csv gathers.
    std::string SecondsFile(int index) const;
    /// The merged atlas: one row per cell.
    std::string AtlasCsv() const { return Dir + "/atlas.csv"; }
    /// The merged atlas with its axes.
    std::string AtlasJson() const { return Dir + "/atlas.json"; }
    /// The seconds of every cell.
    std::string Timings() const { return Dir + "/timings.csv"; }
};

/// The name of a cell's files without the ending ("000042"), relative to the cell folder.
std::string CellFileStem(int index);

/// A planned atlas: its folder and the sweep read from it.
struct AtlasPlan {
    AtlasFolder Folder; ///< where its files are
    AtlasSweep Sweep;   ///< what the folder's sweep file says
};

/// Checks a sweep file and its base, then writes the plan into dir (created when missing): the sweep,
/// the base's copy and the list of cells. Every fault (of the sweep, of a missing base file, of a dir
/// that holds another sweep or other files) throws AtlasError before anything is written. Planning the
/// same sweep into its own folder again changes nothing that is there.
AtlasPlan WritePlan(const std::string& sweepPath, const std::string& dir);

/// Reads the plan of an atlas folder; a folder without a complete plan throws AtlasError.
AtlasPlan LoadPlan(const std::string& dir);

/// The start of a cell: the base (with the cell's seed), with the cell's values set.
World CellStart(const AtlasPlan& plan, const AtlasCell& cell);

/// The list of cells as comma-separated values: cell,seed and one column per varied parameter.
std::string CellListCsv(const AtlasSweep& sweep);

/// The indices of the cells whose result file exists, ascending.
std::vector<int> DoneCells(const AtlasPlan& plan);

} // namespace taonscope
