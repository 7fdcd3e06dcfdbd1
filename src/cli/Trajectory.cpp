// SPDX-License-Identifier: GPL-3.0-or-later
#include "Trajectory.h"

#include "CommandLine.h"

namespace taonscope {

RunTrajectory::RunTrajectory(std::optional<std::string> path, std::uint64_t every, std::ostream& err,
                             TrajectoryFormat format, SpeciesNames species)
    : path_(std::move(path)), every_(every == 0 ? 1 : every), err_(err), format_(format),
      species_(std::move(species)) {}

bool RunTrajectory::Fail(const TaonError& error) {
    ReportFileFailure(err_, *path_, error);
    file_.reset();
    return false;
}

bool RunTrajectory::Write(const World& world, std::uint64_t done) {
    try {
        file_->Append(world, static_cast<std::int64_t>(done), static_cast<Extended>(done) * world.dt);
        lastWritten_ = done;
        return true;
    } catch (const TaonError& error) {
        return Fail(error);
    }
}

bool RunTrajectory::Open() {
    if (!path_) return true;
    try {
        file_ = OpenTrajectoryWriter(*path_, format_, species_);
        return true;
    } catch (const TaonError& error) {
        return Fail(error);
    }
}

bool RunTrajectory::Start(const World& world) {
    return !file_ || Write(world, 0);
}

bool RunTrajectory::StepDone(const World& world, std::uint64_t done) {
    if (!file_ || done % every_ != 0) return true;
    return Write(world, done);
}

bool RunTrajectory::Finish(const World& world, std::uint64_t done) {
    if (!file_) return true;
    if (lastWritten_ != done && !Write(world, done)) return false;
    try {
        file_->Close();
    } catch (const TaonError& error) {
        return Fail(error);
    }
    file_.reset();
    return true;
}

void RunTrajectory::Abandon() {
    if (!file_) return;
    try {
        file_->Close();
    } catch (const TaonError& error) {
        Fail(error);
    }
    file_.reset();
}

} // namespace taonscope
