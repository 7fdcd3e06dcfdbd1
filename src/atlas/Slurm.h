// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Plan.h"

#include <string>

namespace taonscope {

/// What the Slurm scripts of an atlas are asked for.
struct SlurmOptions {
    std::string Program;   ///< the absolute path of taonscope-cli that the jobs run
    std::string Partition; ///< the partition; empty: the cluster's default
    std::string Time;      ///< the time limit of an array task (Slurm's notation); empty: estimated
    int CellsPerTask = 0;  ///< cells one array task runs; 0: enough for TaskMinutes
};

/// How long one array task is meant to run, in minutes, when the cells per task are estimated.
inline constexpr int TaskMinutes = 10;

/// The most tasks of one job array (Slurm's default MaxArraySize is 1001).
inline constexpr int MostArrayTasks = 1000;

/// The Slurm scripts of an atlas.
struct SlurmScripts {
    std::string Cells;    ///< the job array: task T runs the cells (T-1) G + 1 ... T G with atlas cell
    std::string Merge;    ///< the job that merges the cells, run after every task of the array succeeded
    std::string Submit;   ///< a shell script that submits both, the merge depending on the array
    int Tasks = 0;        ///< the array's tasks
    int CellsPerTask = 0; ///< G
    std::string Time;     ///< the time limit of a task
};

/// The seconds one cell is expected to take: the mean of the cells' seconds where some are done,
/// else from the protocol's steps and the base's taons.
double EstimatedCellSeconds(const AtlasPlan& plan);

/// The scripts that run the atlas on Slurm with the options, each cell expected to take cellSeconds.
/// The folder's path must be absolute and hold no blank or quote; AtlasError otherwise.
SlurmScripts MakeSlurmScripts(const AtlasPlan& plan, const SlurmOptions& options, double cellSeconds);

/// The file names of the scripts inside the atlas' slurm folder.
inline constexpr const char* SlurmCellsScript = "cells.sbatch";
inline constexpr const char* SlurmMergeScript = "merge.sbatch";
inline constexpr const char* SlurmSubmitScript = "submit.sh";

} // namespace taonscope
