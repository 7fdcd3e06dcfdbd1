// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Plan.h"

#include <string>
#include <string_view>
#include <vector>

namespace taonscope {

/// What the Slurm scripts of a batch are asked for.
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

/// A batch of numbered cells that Slurm runs as a job array, each cell by one command of the program,
/// and merges by one more command once every task succeeded.
struct SlurmBatch {
    std::string Name;                      ///< the jobs are named NAME-cells and NAME-merge
    std::string Folder;                    ///< the batch's absolute folder; the scripts go to FOLDER/slurm
    int Cells = 0;                         ///< the cells are 1 ... Cells
    std::vector<std::string> CellCommand;  ///< the program's arguments that run a cell, before its number
    std::vector<std::string> MergeCommand; ///< the program's arguments that merge the cells
};

/// The Slurm scripts of a batch.
struct SlurmScripts {
    std::string Cells;    ///< the job array: task T runs the cells (T-1) G + 1 ... T G
    std::string Merge;    ///< the job that merges the cells, run after every task of the array succeeded
    std::string Submit;   ///< a shell script that submits both, the merge depending on the array
    int Tasks = 0;        ///< the array's tasks
    int CellsPerTask = 0; ///< G
    std::string Time;     ///< the time limit of a task
};

/// Text as one word for the shell, whatever characters it holds: as it is when it holds only letters,
/// digits and _ . / , : = + - @, else in single quotes with a quote in it written '\''. Every path and
/// argument a script names goes through this.
std::string ShellWord(std::string_view text);

/// The folder of a batch's Slurm scripts and of what its jobs print: FOLDER/slurm. The scripts are
/// submitted from it, and the jobs' output files are named relative to it.
std::string SlurmFolder(const std::string& folder);

/// The scripts that run the batch on Slurm with the options, each cell expected to take cellSeconds.
/// The folder's path must be absolute (AtlasError otherwise); it may hold any character.
SlurmScripts MakeSlurmScripts(const SlurmBatch& batch, const SlurmOptions& options, double cellSeconds);

/// Writes the scripts into the batch's Slurm folder (created when missing) and returns their paths:
/// the job array's, the merge's and submit.sh. Failures throw AtlasError naming the file.
std::vector<std::string> WriteSlurmScripts(const SlurmBatch& batch, const SlurmScripts& scripts);

/// The batch of an atlas: `atlas cell DIR N` for every cell, then `atlas merge DIR`.
SlurmBatch AtlasSlurmBatch(const AtlasPlan& plan);

/// The seconds one cell of an atlas is expected to take: the mean of the cells' seconds where some
/// are done, else from the protocol's steps and the base's taons.
double EstimatedCellSeconds(const AtlasPlan& plan);

/// The file names of the scripts inside a Slurm folder.
inline constexpr const char* SlurmCellsScript = "cells.sbatch";
inline constexpr const char* SlurmMergeScript = "merge.sbatch";
inline constexpr const char* SlurmSubmitScript = "submit.sh";

} // namespace taonscope
