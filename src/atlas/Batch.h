// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Plan.h"

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace taonscope {

/// How far a batch of cells is.
struct BatchProgress {
    int Total = 0;        ///< the cells of the batch
    int Done = 0;         ///< cells done, before this batch and in it
    int Running = 0;      ///< cells running now
    int FinishedHere = 0; ///< cells this batch has finished
    double Seconds = 0;   ///< since the batch started
};

/// How a batch ended.
struct BatchReport {
    int Finished = 0;                  ///< cells whose result file this batch wrote
    std::vector<std::string> Failures; ///< "cell 5: why" for every cell that wrote no result
    int Signal = 0;                    ///< SIGINT or SIGTERM when one ended the batch early, else 0
};

/// Runs the cells given (of a batch of total cells), each in a process of its own that calls
/// runCell(cell), at most jobs at a time, and calls progress when a cell starts or ends and at least
/// once a second. A cell whose runCell throws fails with the error's message. SIGINT or SIGTERM starts
/// no more cells and ends the running ones, whose files must then be either whole or absent; a process
/// whose parent dies is ended too. The calling process must have no other threads.
BatchReport RunBatch(int total, const std::vector<int>& cells, int jobs,
                     const std::function<void(int)>& runCell,
                     const std::function<void(const BatchProgress&)>& progress);

/// RunBatch of an atlas' cells, each run by RunAndKeepCell.
BatchReport RunAtlasBatch(const AtlasPlan& plan, const std::vector<int>& cells, int jobs,
                          const std::function<void(const BatchProgress&)>& progress);

/// The progress line: "12 of 32 cells done, 2 running, 0:45 so far, about 1:20 to go (ends at 10:32:05)";
/// the end is estimated from the cells this batch has finished, and the clock time from now.
std::string ProgressText(const BatchProgress& progress, std::time_t now);

/// A duration in seconds as "0:45", "12:03" or "1:02:03".
std::string ClockDuration(double seconds);

} // namespace taonscope
