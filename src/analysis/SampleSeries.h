// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Measures.h"

#include <cstddef>
#include <deque>
#include <iterator>

namespace taonscope {

/// Relative energy drift per 1000 steps above which the step dt is too large for the configuration.
inline constexpr Extended DriftWarningLimit = 1e-3L;

/// The warning shown when the drift exceeds DriftWarningLimit.
inline constexpr const char* DriftWarning =
    "The energy drifts by more than 1E-3 per 1000 steps: the step dt is too large for this configuration";

/// The relative change of E per 1000 steps between the first and the last of the samples
/// [first, last); not available with fewer than two samples, no steps between them, E = 0 at the
/// start or a sample whose E is not available.
template <typename Iterator> Quantity EnergyDrift(Iterator first, Iterator last) {
    if (first == last || std::next(first) == last) return {0, "Too few samples"};
    const Sample& start = *first;
    const Sample& end = *std::prev(last);
    if (!start.TotalEnergy.Valid()) return {0, start.TotalEnergy.Reason};
    if (!end.TotalEnergy.Valid()) return {0, end.TotalEnergy.Reason};
    if (end.Step <= start.Step) return {0, "Too few samples"};
    if (start.TotalEnergy.Value == 0) return {0, "E is 0 at the start of the window"};
    return Measure([&] {
        return (end.TotalEnergy.Value - start.TotalEnergy.Value) / std::fabs(start.TotalEnergy.Value) * 1000 /
               static_cast<Extended>(end.Step - start.Step);
    });
}

/// True when a drift is available and larger in size than DriftWarningLimit.
bool DriftTooLarge(const Quantity& drift);

/// The samples of a run, the newest last, keeping at most a fixed number of them.
class SampleSeries {
public:
    /// A series that keeps the last `capacity` samples.
    explicit SampleSeries(std::size_t capacity = 20000) : capacity_(capacity) {}

    /// Appends a sample, dropping the oldest one when the series is full.
    void Add(const Sample& sample);
    /// Forgets every sample.
    void Clear() { samples_.clear(); }
    /// The samples kept, oldest first.
    const std::deque<Sample>& Samples() const { return samples_; }
    /// The energy drift over the last `window` samples.
    Quantity Drift(std::size_t window = 100) const;

private:
    std::size_t capacity_;
    std::deque<Sample> samples_;
};

/// Decides when a run takes its samples: at its start, then every `every` steps.
class Sampler {
public:
    /// A sampler that samples every `every` steps (at least 1).
    explicit Sampler(int every) : every_(every < 1 ? 1 : every) {}
    /// Starts counting again from a new start.
    void Restart(Extended time = 0) { steps_ = 0, time_ = time; }
    /// Counts one step of length dt; true when this step is one to sample.
    bool Step(Extended dt);
    /// Steps counted since the start.
    std::int64_t Steps() const { return steps_; }
    /// Time elapsed since the start.
    Extended Time() const { return time_; }

private:
    int every_;
    std::int64_t steps_ = 0;
    Extended time_ = 0;
};

/// Steps between two samples of a running window: sampling then costs at most 2% of a run of 100 taons
/// (see bench/AnalysisBench.cpp: a sample costs about 1.3 steps).
inline constexpr int RunSampleEvery = 200;

} // namespace taonscope
