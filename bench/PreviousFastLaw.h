// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A copy of the earlier fast law (core/FastLaw.*), for the benchmark only.

#include "core/FastLaw.h"
#include "core/WorkerPool.h"
#include "core/World.h"

#include <vector>

namespace taonscope {

/// The fast law as it was before its own exp and log and the skipping of negligible terms: kept for
/// law_bench only, to compare the kernels in one run.
class PreviousFastLaw {
public:
    /// A law evaluated on `threads` threads (0: one per processor core).
    explicit PreviousFastLaw(int threads = 0);

    /// Number of threads the law runs on.
    int Threads() const { return pool_.Threads(); }

    /// The accelerations of every present taon from the current positions (other slots are 0).
    /// False when the configuration lies outside the range in which the reference law provably meets
    /// no arithmetic fault (zero, negative or extreme parameters, coincident or extreme positions, any
    /// value that is not a finite number), or when a fault flag rose: the reference law then decides.
    bool ComputeAccelerations(const World& world, Accelerations& out);

private:
    WorkerPool pool_;
    std::vector<Extended> coefficient_; // (MaxTaons + 1)^2: A S / d of the pair term on row from column
};

} // namespace taonscope
