// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Errors.h"
#include "core/World.h"
#include "document/TrajectoryFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace taonscope {

/// The trajectory of a run (run --trajectory OUT.xyz --every N): the frame before step 1, one after
/// every N steps, and the frame after the last step, never the same step twice, in extended XYZ (kinds
/// named by species) or as a LAMMPS dump. Without a path it writes nothing. Each call reports a failure
/// on err and returns false; the file is closed then.
class RunTrajectory {
public:
    RunTrajectory(std::optional<std::string> path, std::uint64_t every, std::ostream& err,
                  TrajectoryFormat format = TrajectoryFormat::Xyz, SpeciesNames species = {});

    /// Opens the file without changing it, as a check before the run.
    bool Open();
    /// Writes the frame before step 1.
    bool Start(const World& world);
    /// After step done of the run.
    bool StepDone(const World& world, std::uint64_t done);
    /// After the last step (done steps in all): writes the last frame unless it is there, closes the file.
    bool Finish(const World& world, std::uint64_t done);
    /// After a step that faulted: closes the file with the frames written so far.
    void Abandon();

private:
    bool Write(const World& world, std::uint64_t done);
    bool Fail(const TaonError& error);

    std::optional<std::string> path_;
    std::uint64_t every_;
    std::ostream& err_;
    TrajectoryFormat format_;
    SpeciesNames species_;
    std::unique_ptr<TrajectoryWriter> file_;
    std::optional<std::uint64_t> lastWritten_;
};

} // namespace taonscope
