// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RunObserver.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace taonscope {

/// The run readout in the scene's top left corner: steps of this run and in all, simulated time of the
/// run, steps a second, K and the largest speed. Shown while a run goes on and for ShownAfterMs after it;
/// its numbers are worked out again at most every RefreshMs.
class RunReadout : public QObject, public RunObserver {
public:
    /// How long the readout stays after a run, and how often its numbers change.
    static constexpr int ShownAfterMs = 3000;
    static constexpr int RefreshMs = 250; ///< see ShownAfterMs

    /// A readout that calls redraw when it must disappear from a picture that is not redrawn otherwise.
    explicit RunReadout(std::function<void()> redraw, QObject* parent = nullptr);

    /// Switches the readout on or off (View > Run Readout).
    void SetEnabled(bool on) { enabled_ = on; }
    bool Enabled() const { return enabled_; } ///< see SetEnabled
    /// The lines to draw now for world; none when the readout is off or not shown.
    const std::vector<std::string>& Lines(const World& world);

    void RunStarted(const World& world) override;
    void StepDone(const World& world) override;
    void RunEnded(const World& world) override;
    void DocumentReplaced(const World& world) override;

private:
    void Compose(const World& world);

    std::function<void()> redraw_;
    QTimer* hide_;
    QElapsedTimer sinceRefresh_;
    bool enabled_ = true;
    bool shown_ = false, running_ = false, stale_ = true;
    long long runSteps_ = 0, stepsAtRefresh_ = 0;
    long double runTime_ = 0;
    double rate_ = 0;
    std::vector<std::string> lines_;
    const std::vector<std::string> none_;
};

} // namespace taonscope
