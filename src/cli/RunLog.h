// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/Structure.h"
#include "core/World.h"
#include "document/FileIo.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

namespace taonscope {

/// What a run records beside its steps: a CSV log of the run quantities, whose rows reach the file as
/// they are made, and the test whether the taons have settled.
class RunRecorder {
public:
    /// logPath: the CSV file (none: no log); every: steps between rows; settleSpeed: stop at the first
    /// step whose largest speed is below it (none: run all steps); structure: add the columns clusters
    /// (of two taons or more), isolated and largest_cluster, counted at its cutoff (none: no such columns).
    RunRecorder(std::optional<std::string> logPath, int every, std::optional<Extended> settleSpeed,
                std::optional<StructureOptions> structure = std::nullopt);

    /// Opens the log without changing it, as a check before the run; false (with the message on err)
    /// when it cannot be written.
    bool Open(std::ostream& err);
    /// Writes the header and the starting row; false (with the message on err) when that fails.
    bool Start(const World& world, std::ostream& err);
    /// Records a completed step (the count of steps made so far); settled() tells whether the run has
    /// settled. False (with the message on err) when the log cannot be written; it is closed then.
    bool StepDone(const World& world, std::uint64_t steps, std::ostream& err);
    /// Takes the last step's row unless it has one, and closes the log; false when that fails.
    bool Finish(const World& world, std::uint64_t steps, std::ostream& err);
    /// True once a step was slower than the settle speed.
    bool Settled() const { return settledAt_.has_value(); }
    /// The largest speed after the last step recorded.
    Extended LastSpeed() const { return lastSpeed_; }
    /// For a run that waits to settle, the line that says whether it did; else empty.
    std::string SettleSummary(std::uint64_t steps) const;

private:
    bool AddRow(const World& world, std::uint64_t steps, std::ostream& err);

    std::optional<std::string> logPath_;
    int every_;
    std::optional<Extended> settleSpeed_;
    std::optional<StructureOptions> structure_;
    std::unique_ptr<OutputFile> log_;
    std::optional<std::uint64_t> lastRow_;
    std::optional<std::uint64_t> settledAt_;
    Extended lastSpeed_ = 0;
};

} // namespace taonscope
