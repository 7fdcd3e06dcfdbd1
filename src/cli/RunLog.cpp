// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunLog.h"

#include "Analysis.h"

#include "analysis/Measures.h"
#include "core/NumberText.h"
#include "document/FileIo.h"

#include <ostream>

namespace taonscope {

namespace {

std::string Csv(const Quantity& q) {
    return q.Valid() ? PreciseReal(q.Value) : "n/a";
}

} // namespace

RunRecorder::RunRecorder(std::optional<std::string> logPath, int every, std::optional<Extended> settleSpeed)
    : logPath_(std::move(logPath)), every_(every < 1 ? 1 : every), settleSpeed_(settleSpeed) {}

void RunRecorder::AddRow(const World& world, std::uint64_t steps) {
    const Sample s =
        TakeSample(world, static_cast<std::int64_t>(steps), world.dt * static_cast<Extended>(steps));
    log_ += std::to_string(steps) + "," + PreciseReal(s.Time) + "," + Csv(s.Kinetic) + "," +
            Csv(s.PairEnergy) + "," + Csv(s.TotalEnergy) + "," + Csv(s.Momentum) + "," + Csv(s.LargestSpeed) +
            "\n";
    lastRow_ = steps;
}

bool RunRecorder::Write(std::ostream& err) const {
    try {
        ReplaceFileContents(*logPath_, log_);
        return true;
    } catch (const TaonError& error) {
        err << *logPath_ << ": " << error.what() << '\n';
        return false;
    }
}

bool RunRecorder::Start(const World& world, std::ostream& err) {
    if (!logPath_) return true;
    log_ = "step,time,kinetic,pair_energy,total_energy,momentum,largest_speed\n";
    AddRow(world, 0);
    return Write(err); // fails before the run when the log cannot be written
}

bool RunRecorder::StepDone(const World& world, std::uint64_t steps) {
    if (logPath_ && steps % static_cast<std::uint64_t>(every_) == 0) AddRow(world, steps);
    if (!settleSpeed_) return false;
    const Quantity speed = LargestSpeed(world);
    lastSpeed_ = speed.Value;
    if (speed.Valid() && speed.Value < *settleSpeed_) settledAt_ = steps;
    return settledAt_.has_value();
}

bool RunRecorder::Finish(const World& world, std::uint64_t steps, std::ostream& err) {
    if (!logPath_) return true;
    if (lastRow_ != steps) AddRow(world, steps);
    return Write(err);
}

std::string RunRecorder::SettleSummary(std::uint64_t steps) const {
    if (!settleSpeed_) return "";
    if (settledAt_)
        return "settled at step " + std::to_string(*settledAt_) + ": largest speed " +
               FormatReal(lastSpeed_) + " below " + FormatReal(*settleSpeed_);
    return "not settled within " + std::to_string(steps) + " steps: largest speed " + FormatReal(lastSpeed_);
}

} // namespace taonscope
