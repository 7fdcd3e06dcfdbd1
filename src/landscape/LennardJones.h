// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Potential.h"

namespace taonscope {

/// The Lennard-Jones potential with epsilon = sigma = 1, 4 (r^-12 - r^-6) summed over the pairs: the
/// landscape whose global minima are published, against which the minimiser and the search are checked.
class LennardJones : public PairPotential {
public:
    Extended Energy(const Coordinates& x) override;
    void Gradient(const Coordinates& x, Coordinates& gradient) override;
    /// The pair's one minimum, 2^(1/6), and its width at half its depth.
    PairScales Scales() const override;
};

} // namespace taonscope
