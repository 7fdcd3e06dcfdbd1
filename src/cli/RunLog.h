// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace taonscope {

/// What a run records beside its steps: a CSV log of the run quantities, and the test whether the
/// taons have settled.
class RunRecorder {
public:
    /// logPath: the CSV file (none: no log); every: steps between rows; settleSpeed: stop at the first
    /// step whose largest speed is below it (none: run all steps).
    RunRecorder(std::optional<std::string> logPath, int every, std::optional<Extended> settleSpeed);

    /// Takes the starting row and makes sure the log can be written; false (with the message on err)
    /// when it cannot.
    bool Start(const World& world, std::ostream& err);
    /// Records a completed step (the count of steps made so far); true when the run has settled.
    bool StepDone(const World& world, std::uint64_t steps);
    /// Takes the last step's row unless it has one, and writes the log; false when that fails.
    bool Finish(const World& world, std::uint64_t steps, std::ostream& err);
    /// For a run that waits to settle, the line that says whether it did; else empty.
    std::string SettleSummary(std::uint64_t steps) const;

private:
    void AddRow(const World& world, std::uint64_t steps);
    bool Write(std::ostream& err) const;

    std::optional<std::string> logPath_;
    int every_;
    std::optional<Extended> settleSpeed_;
    std::string log_;
    std::optional<std::uint64_t> lastRow_;
    std::optional<std::uint64_t> settledAt_;
    Extended lastSpeed_ = 0;
};

} // namespace taonscope
