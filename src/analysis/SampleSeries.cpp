// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleSeries.h"

#include <algorithm>
#include <cmath>

namespace taonscope {

bool DriftTooLarge(const Quantity& drift) {
    return drift.Valid() && std::fabs(drift.Value) > DriftWarningLimit;
}

void SampleSeries::Add(const Sample& sample) {
    if (capacity_ == 0) return;
    if (samples_.size() >= capacity_) samples_.pop_front();
    samples_.push_back(sample);
}

Quantity SampleSeries::Drift(std::size_t window) const {
    const std::size_t count = std::min(window, samples_.size());
    return EnergyDrift(samples_.end() - static_cast<std::ptrdiff_t>(count), samples_.end());
}

bool Sampler::Step(Extended dt) {
    ++steps_;
    time_ += dt;
    return steps_ % every_ == 0;
}

} // namespace taonscope
