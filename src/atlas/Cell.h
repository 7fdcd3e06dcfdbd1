// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Classify.h"
#include "Plan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taonscope {

/// What one cell gave: the cell, the steps it made and how its end is classified. Everything in it
/// follows from the plan alone, so every machine and every order of running gives the same record.
struct CellRecord {
    int Index = 0;                     ///< the cell's index
    std::optional<std::uint64_t> Seed; ///< the cloud's seed, when the base has one
    std::vector<Extended> Values;      ///< the value of each varied parameter
    std::int64_t Steps = 0;            ///< steps made (up to the one that faulted, which is not counted)
    Classification Result;             ///< the outcome and the numbers behind it
};

/// A cell run: its record, the world where it ended and the seconds it took.
struct CellRun {
    CellRecord Record;  ///< what goes into the atlas
    World End;          ///< the world after the last step made
    double Seconds = 0; ///< wall-clock time of the start, the steps and the classification
};

/// Runs a cell of the plan from its start as the protocol says, with the fast law on one thread, and
/// classifies where it ended. A step that faults ends the run; the world stays as before that step.
CellRun RunCell(const AtlasPlan& plan, int index);

/// Runs a cell unless its result file exists, and keeps what it made: its last configuration with a
/// commentary that says what it is, its seconds, and last its result file, each written whole under
/// its name or not at all. Returns false when the cell was done already.
bool RunAndKeepCell(const AtlasPlan& plan, int index);

/// The result file's text: one JSON object holding the record.
std::string CellRecordJson(const AtlasSweep& sweep, const CellRecord& record);

/// Reads a result file's text back; a text that is not a record of this sweep throws AtlasError.
CellRecord ParseCellRecord(const AtlasSweep& sweep, std::string_view text);

/// The commentary written beside a cell's last configuration: what the cell is and what it made.
std::string CellCommentary(const AtlasSweep& sweep, const CellRecord& record);

} // namespace taonscope
