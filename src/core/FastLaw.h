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
/// sums, integral powers by multiplication, exp and log of its own (ExtendedMath.h), terms whose power
/// is 0 or that are provably below 2^-70 of the largest term of their slope skipped, the work spread
/// over a pool of threads. Results do not depend on the number of threads.
class FastLaw {
public:
    /// How the shell terms are computed: four at a time in double-double arithmetic where the processor
    /// has the instructions (AVX2, FMA) and the values stay in its range, or always in extended arithmetic.
    enum class ShellArithmetic { Vector, Extended };

    /// A law evaluated on `threads` threads (0: one per processor core).
    explicit FastLaw(int threads = 0, ShellArithmetic arithmetic = ShellArithmetic::Vector);

    /// True when the shell terms are computed four at a time.
    bool VectorShells() const { return vectorShells_; }

    /// Number of threads the law runs on.
    int Threads() const { return pool_.Threads(); }

    /// The accelerations of every present taon from the current positions (other slots are 0).
    /// False when the configuration lies outside the range in which the reference law provably meets
    /// no arithmetic fault (zero, negative or extreme parameters, coincident or extreme positions, any
    /// value that is not a finite number), or when a fault flag rose: the reference law then decides.
    bool ComputeAccelerations(const World& world, Accelerations& out);

private:
    WorkerPool pool_;
    std::vector<Extended> coefficient_; // (MaxTaons + 1)^2: [a][b], a before b: A S / d of the term on b from a
    bool vectorShells_;
};

} // namespace taonscope
