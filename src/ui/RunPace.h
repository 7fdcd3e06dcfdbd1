// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace taonscope {

/// The speeds Run > Speed offers, in steps a second; 0 is Full, as fast as the machine allows.
inline constexpr double SpeedChoices[5] = {0, 1000, 100, 10, 1};

/// How many steps a run makes at each turn of its timer so that it keeps a chosen speed: the steps due
/// by the time elapsed since the speed was set, the first one at once.
class RunPace {
public:
    /// Full speed: each turn makes steps for a batch of time.
    static constexpr long long Full = -1;
    /// Pictures a second at most, whatever the speed.
    static constexpr int FramesPerSecond = 60;

    /// Sets the speed (0: Full) at `seconds` on the run's clock, after `made` steps.
    void Start(double stepsPerSecond, double seconds, long long made);
    /// The speed set (0: Full).
    double StepsPerSecond() const { return stepsPerSecond_; }
    /// Steps to make at `seconds` after `made` steps of the run: Full at full speed, else 0 or more. A
    /// run held up (by a modal window, or a slow machine) does not catch up by more than a tenth of a second.
    long long Due(double seconds, long long made);
    /// Milliseconds between two turns of the run's timer: 0 at Full speed, else a picture's time.
    int IntervalMs() const;

private:
    double stepsPerSecond_ = 0;
    double startSeconds_ = 0;
    long long startMade_ = 0;
};

} // namespace taonscope
