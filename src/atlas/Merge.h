// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Cell.h"

#include <string>
#include <vector>

namespace taonscope {

/// An atlas as its folder holds it: the plan and the records of the cells that are done.
struct Atlas {
    AtlasPlan Plan;                  ///< the folder and its sweep
    std::vector<CellRecord> Records; ///< the cells done, by index
};

/// Reads an atlas folder: its plan and every cell's result file, by index. A folder without a plan,
/// or a result file that is not one of this sweep's, throws AtlasError naming it.
Atlas ReadAtlas(const std::string& dir);

/// The record of one done cell, read from its result file; a file that is missing or not this cell's
/// throws AtlasError naming it.
CellRecord ReadCellRecord(const AtlasPlan& plan, int index);

/// The columns of atlas.csv after the cell, its seed and the varied parameters.
inline constexpr const char* AtlasColumns =
    "outcome,clusters,isolated,largest_cluster,kinetic_per_taon,"
    "pair_energy_per_taon,steps,taons,shape,largest_speed,cutoff,message";

/// atlas.csv: the header cell,seed, the varied parameters and AtlasColumns, then one row per record in
/// the order given. A function of the records alone: no time and no path goes into it.
std::string AtlasCsv(const AtlasSweep& sweep, const std::vector<CellRecord>& records);

/// atlas.json: the program that wrote it ("Taonscope 1.2.0"), the title, the varied parameters with their
/// values, the protocol, the rules and one object per record with the path of its last configuration
/// (relative to the folder).
std::string AtlasJson(const AtlasSweep& sweep, const std::vector<CellRecord>& records);

/// timings.csv: cell,seconds for every cell of the plan (empty where a cell left no seconds).
std::string TimingsCsv(const AtlasPlan& plan);

/// Writes atlas.csv, atlas.json and timings.csv of a folder whose cells are all done, each whole or not
/// at all; a cell not done throws AtlasError (saying how many are missing) before anything is written.
void MergeAtlas(const std::string& dir);

} // namespace taonscope
