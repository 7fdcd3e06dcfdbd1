// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Extended.h"

#include <vector>

namespace taonscope {

/// The coordinates of n particles, x1, y1, z1, x2, y2, z2 ...: 3n values.
using Coordinates = std::vector<Extended>;

/// The distances that set the scale of a pair potential's landscape.
struct PairScales {
    Extended Nearest = 1; ///< the distance of the pair's nearest minimum: where relocated particles go
    Extended Deepest = 1; ///< the distance of the pair's deepest minimum: the size of random starts
    Extended Width = 1;   ///< the width at half its depth of the nearest minimum: the minimiser's steps
};

/// What the minimiser and the search work on: the energy of a configuration of particles that interact
/// in pairs, and its gradient. Evaluations may throw (a fault of the law, as TaonError).
class PairPotential {
public:
    virtual ~PairPotential() = default;
    /// The energy of the configuration.
    virtual Extended Energy(const Coordinates& x) = 0;
    /// The gradient of the energy at x, 3n values, into gradient (resized to fit).
    virtual void Gradient(const Coordinates& x, Coordinates& gradient) = 0;
    /// The scales of the pair's landscape.
    virtual PairScales Scales() const = 0;
};

/// The number of particles of a configuration.
inline int ParticleCount(const Coordinates& x) {
    return static_cast<int>(x.size() / 3);
}

} // namespace taonscope
