// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WorkerPool.h"
#include "World.h"

#include <vector>

namespace taonscope {

/// The three components of the acceleration of every slot.
struct Accelerations {
    TaonArray X{}, Y{}, Z{};
};

/// The interaction law evaluated once per pair of taons for all three components and both taons,
/// with the same mathematics as the reference law (AccelX ...) rearranged: logarithms of products as
/// sums, integral powers by multiplication, terms whose power is 0 skipped, the work spread over a pool
/// of threads. Where the processor has AVX2 and FMA and the values allow, the distances, logarithms,
/// powers and the well and shell terms are computed four pairs at a time in double-double arithmetic
/// (VectorKernel.h); elsewhere in extended arithmetic with exp and log of its own (ExtendedMath.h),
/// leaving out terms provably below 2^-70 of the largest term of their slope. Results do not depend on
/// the number of threads.
class FastLaw {
public:
    /// Vector: the double-double kernel where the processor and the values allow it; Extended: extended
    /// arithmetic throughout.
    enum class Arithmetic { Vector, Extended };

    /// A law evaluated on `threads` threads (0: one per processor core).
    explicit FastLaw(int threads = 0, Arithmetic arithmetic = Arithmetic::Vector);

    /// True when the law uses the double-double kernel where the values allow it.
    bool UsesVectorKernel() const { return vectorKernel_; }

    /// Number of threads the law runs on.
    int Threads() const { return pool_.Threads(); }

    /// The accelerations of every present taon from the current positions (other slots are 0).
    /// False when the configuration lies outside the range in which the reference law provably meets
    /// no arithmetic fault (zero, negative or extreme parameters, coincident or extreme positions, any
    /// value that is not a finite number), or when a fault flag rose: the reference law then decides.
    bool ComputeAccelerations(const World& world, Accelerations& out);

private:
    WorkerPool pool_;
    std::vector<Extended>
        coefficient_; // (MaxTaons + 1)^2: [a][b], a before b: A S / d of the term on b from a
    bool vectorKernel_;
};

} // namespace taonscope
