// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Neighbours.h"

#include <complex>
#include <vector>

namespace taonscope {

/// The spherical harmonics Y_lm, m = 0 .. l, of the direction of a vector (the negative m follow from
/// Y_l,-m = (-1)^m conj(Y_lm)); orthonormal on the sphere, with the Condon-Shortley phase.
std::vector<std::complex<Extended>> SphericalHarmonics(int l, const Position& direction);

/// Steinhardt's q_l of one taon whose bonds point along the given vectors: sqrt(4 pi / (2l + 1)
/// sum over m of |q_lm|^2), q_lm the mean of Y_lm over the bonds; 0 without bonds.
Extended SteinhardtOrder(int l, const std::vector<Position>& bonds);

/// Steinhardt bond order q4 and q6 of every bonded taon, and their averages over each taon and its
/// neighbours (Lechner and Dellago): the q_lm are averaged before the sum over m.
struct BondOrder {
    TaonArray Q4{}, Q6{};                 ///< q4 and q6 of each bonded taon; 0 elsewhere
    TaonArray Q4Averaged{}, Q6Averaged{}; ///< the averaged q4 and q6 of each bonded taon; 0 elsewhere
    TaonFlags Defined{};                  ///< true for the taons with at least one bond
    Extended MeanQ4 = 0, MeanQ6 = 0;      ///< means over the bonded taons; not a number when there are none
    Extended MeanQ4Averaged = 0, MeanQ6Averaged = 0; ///< the same means of the averaged values
};

/// The bond order of the world's taons bonded as neighbours says.
BondOrder BondOrderOf(const World& world, const Neighbours& neighbours);

} // namespace taonscope
