// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

#include <array>
#include <string>
#include <vector>

namespace taonscope {

/// core(d) = u^-(u^19), u = 4.725 d: about 1 inside d = 0.21, 0 beyond.
Extended CoreFunction(Extended d);

/// well(d) = 1.25E-12 v^(75 / v), v = 0.09 d: peaks at about 1.2 at v = e.
Extended WellFunction(Extended d);

/// shell(k d) = w^((2.5 - w^20) / (0.1 w)), w = k d: 1 at w = 1, about 1.2307 at its peak.
Extended ShellFunction(Extended k, Extended d);

/// The pair function Phi(d) = core - well - the five shells of the set, whose derivative the law uses.
/// Every intermediate is checked as the law checks it: a fault throws FloatingPointError.
Extended PairFunction(const ParameterSet& set, Extended d);

/// Phi'(d) of the set by the law's own closed forms (CoreWellSlope, ShellSlope); faults throw.
Extended PairSlope(const ParameterSet& set, Extended d);

/// The five shell parameters B, C, D, F, G of a set, the distances near which the pair prefers to sit.
std::array<Extended, 5> ShellRadii(const ParameterSet& set);

/// One kind's law sampled on a grid: Phi and the pair acceleration A Phi', or the fault that stops it.
struct LawCurve {
    int Kind = 1;                       ///< the kind 1, 2 or 3
    std::vector<Extended> Distance;     ///< the grid
    std::vector<Extended> Phi;          ///< Phi(d) at each grid point
    std::vector<Extended> Acceleration; ///< A Phi'(d): positive pulls the pair together
    std::array<Extended, 5> Shells{};   ///< the shell radii B..G
    std::string Fault;                  ///< the law's message when the set faults; no samples then

    /// True when the curve has samples.
    bool Valid() const { return Fault.empty(); }
};

/// The grid of the law's curves: points distances spread evenly from `from` to `to`.
std::vector<Extended> CurveGrid(Extended from = 0.05L, Extended to = 40, int points = 4000);

/// The curve of a kind's parameter set on a grid; never throws.
LawCurve LawCurveOf(const World& world, int kind, const std::vector<Extended>& grid);

} // namespace taonscope
