// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunLoop.h"

#include "Bindings.h"

#include "cli/RunLog.h"
#include "core/FastLaw.h"
#include "core/Step.h"
#include "core/StopSignals.h"

#include <csignal>
#include <ostream>

namespace taonscope {

Recording::Recording(const std::string& path, TrajectoryFormat format, const SpeciesNames& species, int every)
    : path_(path), file_(OnFile(path, [&] { return OpenTrajectoryWriter(path, format, species); })),
      every_(every) {}

void Recording::Write(const World& world) {
    OnFile(path_, [&] {
        if (!file_) throw TaonError("the trajectory is closed");
        file_->Append(world, world.StepCounter, static_cast<Extended>(world.StepCounter) * world.dt);
    });
    ++frames_;
    lastStep_ = world.StepCounter;
}

void Recording::WriteUnlessWritten(const World& world) {
    if (lastStep_ != world.StepCounter) Write(world);
}

void Recording::StepDone(const World& world) {
    if (world.StepCounter % every_ == 0) Write(world);
}

void Recording::Close() {
    const std::unique_ptr<TrajectoryWriter> file = std::move(file_);
    if (file) OnFile(path_, [&] { file->Close(); });
}

namespace {

// Python runs its signal handlers on its main thread only, between two of its instructions, so while
// steps run there the core's StopOnSignals holds SIGINT and SIGTERM until the step under way is whole.
// The signal then goes to the handler Python had, as if it had just arrived; a handler that raises
// nothing (or an ignored signal) lets the run go on.
class HeldSignals {
public:
    HeldSignals() {
        const py::module_ threading = py::module_::import("threading");
        if (threading.attr("current_thread")().is(threading.attr("main_thread")())) held_.emplace();
        if (PyErr_CheckSignals() != 0) throw py::error_already_set();
    }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;
    // A signal held through a step that faulted reaches Python after the fault.
    ~HeldSignals() { Release(); }

    /// True when a signal waits (called without Python's lock).
    bool Arrived() const { return held_ && StopSignal() != 0; }
    /// Gives a waiting signal to Python's handler and runs it; its exception is thrown.
    void Deliver() {
        if (Release() && PyErr_CheckSignals() != 0) throw py::error_already_set();
    }

private:
    bool Release() {
        if (!held_) return false;
        const int signal = StopSignal();
        held_.reset();
        if (signal != 0) std::raise(signal);
        return signal != 0;
    }

    std::optional<StopOnSignals> held_;
};

} // namespace

std::uint64_t RunSteps(World& world, const RunRequest& request) {
    const Extended cool = CoolFactor(request.Cool);
    std::optional<FastLaw> law;
    if (!request.Literal) law.emplace(request.Threads);
    RunRecorder settling(std::nullopt, 1, request.SettleSpeed);
    std::ostream noLog(nullptr);
    Recording* const trajectory = request.Trajectory;
    if (trajectory) trajectory->WriteUnlessWritten(world);
    std::uint64_t made = 0;
    try {
        while (made < request.Steps && !settling.Settled()) {
            HeldSignals signals;
            {
                const py::gil_scoped_release unlocked;
                while (made < request.Steps && !settling.Settled() && !signals.Arrived()) {
                    if (law)
                        AdvanceStep(world, cool, *law);
                    else
                        AdvanceStep(world, cool);
                    ++made;
                    if (trajectory) trajectory->StepDone(world);
                    settling.StepDone(world, made, noLog);
                }
            }
            signals.Deliver();
        }
    } catch (const py::error_already_set&) {
        // Interrupted: the trajectory holds the last whole step, as the runner's does.
        if (trajectory) trajectory->WriteUnlessWritten(world);
        throw;
    }
    if (trajectory) trajectory->WriteUnlessWritten(world);
    return made;
}

} // namespace taonscope
