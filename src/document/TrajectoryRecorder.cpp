// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrajectoryRecorder.h"

#include "core/Errors.h"

namespace taonscope {

void TrajectoryRecorder::Start(const std::string& path, int every, const World& world,
                               TrajectoryFormat format, const SpeciesNames& species) {
    file_.reset();
    framed_.reset();
    auto file = OpenTrajectoryWriter(path, format, species);
    if (!world.ShowingFigure) {
        file->Append(world, world.StepCounter, static_cast<Extended>(world.StepCounter) * world.dt);
        framed_ = world.StepCounter;
    }
    file_ = std::move(file);
    path_ = path;
    every_ = every < 1 ? 1 : every;
}

std::optional<std::string> TrajectoryRecorder::Append(const World& world) {
    try {
        file_->Append(world, world.StepCounter, static_cast<Extended>(world.StepCounter) * world.dt);
        framed_ = world.StepCounter;
    } catch (const TaonError& error) {
        file_.reset(); // whole frames only were written: the file ends cleanly
        return std::string(error.what());
    }
    return std::nullopt;
}

std::optional<std::string> TrajectoryRecorder::StepDone(const World& world) {
    if (!file_ || world.StepCounter % every_ != 0) return std::nullopt;
    return Append(world);
}

std::optional<std::string> TrajectoryRecorder::RunEnded(const World& world) {
    if (!file_ || framed_ == world.StepCounter) return std::nullopt;
    return Append(world);
}

void TrajectoryRecorder::Stop() {
    if (!file_) return;
    const std::unique_ptr<TrajectoryWriter> file = std::move(file_);
    file->Close();
}

} // namespace taonscope
