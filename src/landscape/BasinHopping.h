// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Minimizer.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace taonscope {

/// What one basin-hopping chain is asked to do.
struct HoppingOptions {
    int Particles = 2;           ///< the potential's particles
    std::int64_t Hops = 100;     ///< moves after the minimised start
    Extended Temperature = 0.8L; ///< of the Metropolis acceptance, in units of the energy
    std::uint64_t Seed = 1;      ///< fixes the start and every move
    int Keep = 10;               ///< the lowest distinct minima kept
    Extended StepSize = 0;       ///< the first moves' largest shift per coordinate; 0: 0.4 Nearest
    Extended StartRadius = 0;    ///< random starts fill a ball this large; 0: 0.7 Deepest N^(1/3)
    MinimizeOptions Local{.Tolerance = 1e-6L}; ///< the minimisation after each move
    Extended Polish = 1e-10L;                  ///< the kept minima are minimised again to this tolerance
    std::optional<Extended> StopBelow;         ///< the chain ends at the first minimum below this energy
};

/// A minimum found.
struct FoundMinimum {
    Extended Energy = 0;          ///< its energy
    Coordinates X;                ///< where it is
    std::int64_t Hop = 0;         ///< the hop that first found it (0: the start)
    Extended LargestGradient = 0; ///< the longest gradient of one particle there
};

/// What a chain found and what it cost.
struct HoppingResult {
    std::vector<FoundMinimum> Lowest; ///< the lowest distinct minima, lowest first, at most Keep
    std::int64_t Hops = 0;            ///< moves made
    std::int64_t Accepted = 0;        ///< moves the Metropolis test accepted
    std::int64_t Faulted = 0;         ///< moves whose minimisation the potential refused (rejected)
    std::int64_t Iterations = 0;      ///< iterations of the local minimisations
    std::int64_t Gradients = 0;       ///< gradients computed
    std::int64_t Energies = 0;        ///< energies computed
    Extended StepSize = 0;            ///< the step size at the end
};

/// Whether two minima count as one: their energies differ by at most 1e-9 of the larger magnitude.
bool SameEnergy(Extended a, Extended b);

/// Adds a minimum to a list of distinct minima kept lowest first, at most keep long: one of the same
/// energy already there stays (it was found first). True when the list changed.
bool KeepMinimum(std::vector<FoundMinimum>& lowest, FoundMinimum minimum, int keep);

/// A random configuration of n particles spread evenly over a ball of the radius about the origin.
Coordinates RandomStart(int n, Extended radius, std::uint64_t seed);

/// Basin hopping (Wales and Doye 1997): a random start, then moves, each followed by a local minimisation
/// and accepted by the Metropolis rule at the temperature. Half the moves, at random, shift every
/// coordinate by up to the step size, which grows or shrinks by a tenth after every ten of them to keep
/// about half of them accepted; the others put one particle at the nearest distance from another, in a
/// random direction, which lets clusters of clusters trade their members. A particle moved beyond twice
/// the start radius from the centre is put back on that sphere; a move whose minimisation the potential
/// refuses is rejected. The kept minima are polished at the end. The same options give the same result.
HoppingResult BasinHopping(PairPotential& potential, const HoppingOptions& options);

} // namespace taonscope
