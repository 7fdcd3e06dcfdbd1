// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunPace.h"

#include <algorithm>
#include <cmath>

namespace taonscope {

void RunPace::Start(double stepsPerSecond, double seconds, long long made) {
    stepsPerSecond_ = stepsPerSecond > 0 && std::isfinite(stepsPerSecond) ? stepsPerSecond : 0;
    startSeconds_ = seconds;
    startMade_ = made;
}

long long RunPace::Due(double seconds, long long made) {
    if (stepsPerSecond_ <= 0) return Full;
    const double elapsed = std::max(seconds - startSeconds_, 0.0);
    const long long owed =
        static_cast<long long>(std::floor(elapsed * stepsPerSecond_)) + 1 - (made - startMade_);
    const long long most = static_cast<long long>(std::ceil(stepsPerSecond_ / 10));
    if (owed > most) {
        // Behind by more than a tenth of a second: go on from here rather than rush.
        Start(stepsPerSecond_, seconds - (most - 1) / stepsPerSecond_, made);
        return most;
    }
    return std::max(owed, 0LL);
}

int RunPace::IntervalMs() const {
    return stepsPerSecond_ > 0 ? 1000 / FramesPerSecond : 0;
}

} // namespace taonscope
