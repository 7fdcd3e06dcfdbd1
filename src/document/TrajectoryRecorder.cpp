// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrajectoryRecorder.h"

#include "core/Errors.h"

namespace taonscope {

namespace {

void AppendFrame(TrajectoryWriter& file, const World& world) {
    file.Append(world, world.StepCounter, static_cast<Extended>(world.StepCounter) * world.dt);
}

} // namespace

void TrajectoryRecorder::Start(const std::string& path, int every, const World& world,
                               TrajectoryFormat format, const SpeciesNames& species) {
    file_.reset();
    auto file = OpenTrajectoryWriter(path, format, species);
    if (!world.ShowingFigure) AppendFrame(*file, world);
    file_ = std::move(file);
    path_ = path;
    every_ = every < 1 ? 1 : every;
}

std::optional<std::string> TrajectoryRecorder::StepDone(const World& world) {
    if (!file_ || world.StepCounter % every_ != 0) return std::nullopt;
    try {
        AppendFrame(*file_, world);
    } catch (const TaonError& error) {
        file_.reset(); // whole frames only were written: the file ends cleanly
        return std::string(error.what());
    }
    return std::nullopt;
}

void TrajectoryRecorder::Stop() {
    if (!file_) return;
    const std::unique_ptr<TrajectoryWriter> file = std::move(file_);
    file->Close();
}

} // namespace taonscope
