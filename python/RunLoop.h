// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"
#include "document/TrajectoryFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace taonscope {

/// A trajectory that Python writes frames into, by hand or from runs: a frame's step is the world's
/// StepCounter and its time that step times dt, as the window records. Failures throw as OnFile does.
class Recording {
public:
    /// Opens the file at path (a LAMMPS dump gets its sidecar); every: the steps between two frames of a run.
    Recording(const std::string& path, TrajectoryFormat format, const SpeciesNames& species, int every);

    /// Appends the frame of the world as it is.
    void Write(const World& world);
    /// Before and after a run: appends the frame unless the last one written is of the same step.
    void WriteUnlessWritten(const World& world);
    /// After a step of a run: appends the frame when the step is a multiple of every.
    void StepDone(const World& world);
    /// Closes the file; writing after that throws.
    void Close();

    /// The steps between two frames of a run.
    int Every() const { return every_; }
    /// The frames written.
    int Frames() const { return frames_; }

private:
    std::string path_;
    std::unique_ptr<TrajectoryWriter> file_;
    int every_;
    int frames_ = 0;
    std::optional<std::int32_t> lastStep_;
};

/// What a run of steps is asked to do, as taonscope-cli run takes it.
struct RunRequest {
    std::uint64_t Steps = 1;               ///< the most steps
    bool Cool = false;                     ///< damp every velocity by CoolFactor(true) a step
    bool Literal = false;                  ///< the reference law rather than the fast one
    int Threads = 0;                       ///< the fast law's threads (0: one per core)
    std::optional<Extended> SettleSpeed{}; ///< stop after the first step whose largest speed is below it
    Recording* Trajectory = nullptr;       ///< frames before, during and after the run
};

/// Makes the steps of a request, bit for bit as taonscope-cli run makes them, with Python's lock released;
/// returns the steps made. A fault throws FloatingPointError and leaves the world as the step before
/// left it. On Python's main thread SIGINT and SIGTERM end the run after the step under way, and then
/// go to Python's handlers: Ctrl+C raises KeyboardInterrupt (pybind11::error_already_set here).
std::uint64_t RunSteps(World& world, const RunRequest& request);

} // namespace taonscope
