// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Potential.h"

#include "core/FastLaw.h"
#include "core/World.h"

#include <optional>
#include <utility>
#include <vector>

namespace taonscope {

/// The present slots 1..TaonCount of a world, ascending: the particles of its coordinates.
std::vector<int> PresentSlots(const World& world);

/// The current positions of the present taons as coordinates, in slot order.
Coordinates CoordinatesOf(const World& world);

/// Puts the present taons at x (every copy of their positions) and at rest (both copies of their
/// velocities).
void PlaceAtRest(World& world, const Coordinates& x);

/// Two kinds that have taons present and different parameter sets (the lower kind first), or none: only
/// when there is none is the law the gradient of an energy, the pair energy U.
std::optional<std::pair<int, int>> KindsWithDifferentSets(const World& world);

/// The law as a pair potential of a world's present taons, whose present kinds share one parameter set:
/// the energy is the pair energy U, the gradient minus the law's accelerations, computed by the fast law
/// and, where it does not apply, by the reference law, as a step computes them. A fault of the law
/// throws FloatingPointError (or TaonError for a value that is not finite) with the law's message.
class LawPotential : public PairPotential {
public:
    /// The law of the world's parameters for its present taons; law computes the accelerations.
    LawPotential(const World& world, FastLaw& law);

    Extended Energy(const Coordinates& x) override;
    void Gradient(const Coordinates& x, Coordinates& gradient) override;
    /// The nearest and the deepest minimum of A Phi of the set, found on a fine grid and refined, and the
    /// nearest one's width at half its depth; once.
    PairScales Scales() const override;

private:
    void Place(const Coordinates& x);

    World world_;
    FastLaw& law_;
    mutable std::optional<PairScales> scales_; // found once: a scan of the pair function
    std::vector<int> slots_;
    Accelerations accelerations_;
};

} // namespace taonscope
