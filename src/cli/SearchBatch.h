// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandLine.h"

#include "atlas/Slurm.h"
#include "landscape/Search.h"

#include <ostream>
#include <string>
#include <vector>

namespace taonscope {

/// The options a search takes, besides its N and folder, with their values.
inline const std::vector<std::string> SearchValuedOptions = {"--parameters", "--hops", "--temperature",
                                                             "--seed", "--jobs"};

/// The search a command line asks for (--parameters, --hops, --temperature, --seed, --keep) of taons taons;
/// false after reporting on err a parameter file that cannot be read.
bool SearchSettingsOf(const CommandLine& line, int taons, SearchSettings& settings, std::ostream& err);

/// A whole number positional argument from least to most, or CommandLineError naming what it is.
int TaonsArgument(const std::string& text, const char* what, int least);

/// A table of the ground states of N = From ... To, each searched Runs times, run r with the seed
/// Search.Seed + r - 1: each run is the search `search N --seed S+r-1` of the same options.
struct GroundStateSettings {
    int From = 2, To = 2, Runs = 4; ///< the taons of the first and last row, the runs of each
    SearchSettings Search;          ///< the search of every run, its Taons and Seed aside
};

/// A folder of cells whose records say that they are done: a search's (search.json, its cells the chains
/// of SearchCellCount) or a table's (ground-states.json, a cell for each run of each N).
struct SearchFolder {
    std::string Dir;  ///< the folder, as given
    std::string Plan; ///< the name of the file inside that says what the cells are

    /// A cell's file with that ending (".json": its record, written last; ".tao", "-01.tao" ...).
    std::string CellFile(int cell, const std::string& ending) const;
    /// The cells among 1 ... total whose record exists, ascending.
    std::vector<int> DoneCells(int total) const;
};

/// The folder of a search in dir.
SearchFolder SearchFolderOf(const std::string& dir);
/// The folder of a table of ground states in dir.
SearchFolder GroundStateFolderOf(const std::string& dir);

/// Writes search.json into a new or empty folder, or finds the same there (to go on); a folder that
/// holds another search or other files throws TaonError, as does one that cannot be written.
void PlanSearch(const SearchFolder& folder, const SearchSettings& settings);

/// Runs a cell of a search with the fast law on one thread and keeps its minima, then its record.
void RunAndKeepSearchCell(const SearchFolder& folder, const SearchSettings& settings, int cell);

/// Writes minima.csv (rank,pair_energy,energy_per_taon,shape,largest_acceleration,hop,file) and
/// minimum-01.tao ... of the lowest distinct minima of the done cells; a summary of the lowest on err.
void MergeSearch(const SearchFolder& folder, const SearchSettings& settings, std::ostream& err);

/// Writes ground-states.json as PlanSearch writes search.json.
void PlanGroundStates(const SearchFolder& folder, const GroundStateSettings& settings);

/// Reads ground-states.json; throws TaonError when the folder holds none that can be read.
GroundStateSettings LoadGroundStates(const SearchFolder& folder);

/// The cells of a table: one for each run of each N, the largest N first.
int GroundStateCellCount(const GroundStateSettings& settings);

/// Runs every search cell of one run of one N in turn and keeps the lowest minimum, then the record.
void RunAndKeepGroundStateCell(const SearchFolder& folder, const GroundStateSettings& settings, int cell);

/// Writes ground-states.csv (n,pair_energy,energy_per_taon,shape,runs,runs_that_found_it) of the N whose
/// runs are all done and ground-state-02.tao ... with the lowest minimum of each; a summary on err.
void MergeGroundStates(const SearchFolder& folder, const GroundStateSettings& settings, std::ostream& err);

/// The Slurm batch of a table: `ground-states cell DIR N` for each cell, then `ground-states merge DIR`.
SlurmBatch GroundStateSlurmBatch(const SearchFolder& folder, const GroundStateSettings& settings);

/// The seconds one cell of a table is expected to take: the mean of the done cells', or an estimate.
double EstimatedGroundStateCellSeconds(const SearchFolder& folder, const GroundStateSettings& settings);

} // namespace taonscope
