// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunLog.h"

#include "Analysis.h"
#include "CommandLine.h"

#include "analysis/Measures.h"
#include "core/NumberText.h"
#include "document/CsvTable.h"

#include <ostream>

namespace taonscope {

RunRecorder::RunRecorder(std::optional<std::string> logPath, int every, std::optional<Extended> settleSpeed,
                         std::optional<StructureOptions> structure)
    : logPath_(std::move(logPath)), every_(every < 1 ? 1 : every), settleSpeed_(settleSpeed),
      structure_(std::move(structure)) {}

bool RunRecorder::Open(std::ostream& err) {
    if (!logPath_) return true;
    try {
        log_ = std::make_unique<OutputFile>(*logPath_);
        return true;
    } catch (const TaonError& error) {
        ReportFileFailure(err, *logPath_, error);
        return false;
    }
}

bool RunRecorder::AddRow(const World& world, std::uint64_t steps, std::ostream& err) {
    std::string row = RunTableRow(
        TakeSample(world, static_cast<std::int64_t>(steps), world.dt * static_cast<Extended>(steps)));
    row.pop_back(); // the line end, after any further columns
    if (structure_) {
        const ClusterCount count = CountClusters(world, *structure_);
        for (const int value : {count.Clusters, count.Isolated, count.Largest})
            row += ',' + std::to_string(value);
    }
    row += "\n";
    lastRow_ = steps;
    try {
        log_->Write(row);
        return true;
    } catch (const TaonError& error) {
        ReportFileFailure(err, *logPath_, error);
        log_.reset();
        return false;
    }
}

bool RunRecorder::Start(const World& world, std::ostream& err) {
    if (!log_) return true;
    try {
        std::string header(RunTableHeader);
        if (structure_) header.insert(header.size() - 1, ",clusters,isolated,largest_cluster");
        log_->Write(header);
    } catch (const TaonError& error) {
        ReportFileFailure(err, *logPath_, error);
        log_.reset();
        return false;
    }
    return AddRow(world, 0, err);
}

bool RunRecorder::StepDone(const World& world, std::uint64_t steps, std::ostream& err) {
    if (settleSpeed_) {
        const Quantity speed = LargestSpeed(world);
        lastSpeed_ = speed.Value;
        if (speed.Valid() && speed.Value < *settleSpeed_) settledAt_ = steps;
    }
    if (log_ && steps % static_cast<std::uint64_t>(every_) == 0) return AddRow(world, steps, err);
    return true;
}

bool RunRecorder::Finish(const World& world, std::uint64_t steps, std::ostream& err) {
    if (!log_) return true;
    if (lastRow_ != steps && !AddRow(world, steps, err)) return false;
    try {
        log_->Close();
        log_.reset();
        return true;
    } catch (const TaonError& error) {
        ReportFileFailure(err, *logPath_, error);
        log_.reset();
        return false;
    }
}

std::string RunRecorder::SettleSummary(std::uint64_t steps) const {
    if (!settleSpeed_) return "";
    if (settledAt_)
        return "settled at step " + std::to_string(*settledAt_) + ": largest speed " +
               FormatReal(lastSpeed_) + " below " + FormatReal(*settleSpeed_);
    return "not settled within " + std::to_string(steps) + " steps: largest speed " + FormatReal(lastSpeed_);
}

} // namespace taonscope
