// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Quantity.h"

#include "core/World.h"

#include <cstdint>
#include <string>

namespace taonscope {

/// K = sum over present taons of (VelX^2 + VelY^2 + VelZ^2) / 2 (every taon has unit mass).
Quantity KineticEnergy(const World& world);

/// The largest speed of a present taon (0 when none is present).
Quantity LargestSpeed(const World& world);

/// The mean position of the present taons; not available when none is present.
VectorQuantity CentreOfMass(const World& world);

/// The total momentum: the sum of the present taons' velocities.
VectorQuantity TotalMomentum(const World& world);

/// The length |P| of the total momentum.
Quantity MomentumLength(const World& world);

/// U = 1/2 sum over ordered pairs (i, j) of present taons, i != j, of A(kind j) Phi(kind j, d).
Quantity PairEnergy(const World& world);

/// True when the three parameter sets are equal: only then is the law reciprocal for every pair, and
/// E = K + U conserved by exact motion.
bool EnergyConserved(const World& world);

/// The conservation case in words: "E is conserved: all sets equal" or "E is not conserved: the sets differ".
std::string ConservationText(const World& world);

/// The run quantities of one moment.
struct Sample {
    std::int64_t Step = 0; ///< steps made when the sample was taken
    Extended Time = 0;     ///< simulated time when the sample was taken
    Quantity Kinetic;      ///< K
    Quantity PairEnergy;   ///< U
    Quantity TotalEnergy;  ///< E = K + U
    Quantity Momentum;     ///< |P|
    Quantity LargestSpeed; ///< the largest speed
};

/// Measures K, U, E, |P| and the largest speed of the world; never throws.
Sample TakeSample(const World& world, std::int64_t step, Extended time);

} // namespace taonscope
