// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TrajectoryFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace taonscope {

/// Records the steps of every run into a trajectory (extended XYZ or LAMMPS dump): a frame when
/// recording starts, one after every step whose count (StepCounter) is a multiple of N and one at the
/// end of every run, until Stop or a write failure.
class TrajectoryRecorder {
public:
    /// Creates the file at path in that format (species naming the kinds of XYZ frames) and writes the
    /// frame of world as it is now (none while it shows the figure); throws IoError, leaving the recorder
    /// stopped.
    void Start(const std::string& path, int every, const World& world,
               TrajectoryFormat format = TrajectoryFormat::Xyz, const SpeciesNames& species = {});
    /// After a completed step. A write failure stops the recording and returns its message.
    std::optional<std::string> StepDone(const World& world);
    /// At the end of a run: its last step is a frame, as the runner's trajectories end, unless it is one
    /// already. A write failure stops the recording and returns its message.
    std::optional<std::string> RunEnded(const World& world);
    /// Stops recording and closes the file; a failure to close throws IoError.
    void Stop();
    /// True while recording.
    bool Recording() const { return file_ != nullptr; }
    /// The steps between two frames.
    int Every() const { return every_; }
    /// The path recorded into.
    const std::string& Path() const { return path_; }

private:
    std::optional<std::string> Append(const World& world);

    std::unique_ptr<TrajectoryWriter> file_;
    std::string path_;
    int every_ = 100;
    std::optional<std::int32_t> framed_; // the step of the last frame written
};

} // namespace taonscope
