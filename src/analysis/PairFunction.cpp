// SPDX-License-Identifier: GPL-3.0-or-later
#include "PairFunction.h"

#include "Quantity.h"

#include "core/FpTrap.h"
#include "core/Law.h"

#include <cmath>

namespace taonscope {

namespace {

std::array<Extended, 5> Scales(const ParameterSet& set) {
    std::array<Extended, 5> scale{};
    const std::array<Extended, 5> shells = ShellRadii(set);
    for (std::size_t s = 0; s < 5; ++s) scale[s] = Checked(ShellScale(shells[s]));
    return scale;
}

} // namespace

Extended CoreFunction(Extended d) {
    const Extended u = Checked(4.725L * d);
    return Checked(Power(u, -Checked(Power(u, 19))));
}

Extended WellFunction(Extended d) {
    const Extended v = Checked(0.09L * d);
    const Extended factor = Checked(Power(10, -14) * 125);
    return Checked(factor * Checked(Power(v, Checked(Power(v, -1)) * 75)));
}

Extended ShellFunction(Extended k, Extended d) {
    const Extended w = Checked(k * d);
    // The same exponent the law's slope uses: (2.5 - w^20) / (0.1 k d).
    const Extended e = Checked(Checked(Power((0.1L * k) * d, -1)) * (2.5L - Checked(Power(w, 20))));
    return Checked(Power(w, e));
}

Extended PairFunction(const ParameterSet& set, Extended d) {
    const std::array<Extended, 5> k = Scales(set);
    Extended phi = Checked(CoreFunction(d) - WellFunction(d));
    for (const Extended scale : k) phi = Checked(phi - ShellFunction(scale, d));
    return phi;
}

Extended PairSlope(const ParameterSet& set, Extended d) {
    const std::array<Extended, 5> k = Scales(set);
    const Extended t0 = CoreWellSlope(d);
    const Extended slopeB = ShellSlope(k[0], d);
    const Extended slopeC = ShellSlope(k[1], d);
    const Extended slopeD = ShellSlope(k[2], d);
    const Extended slopeF = ShellSlope(k[3], d);
    const Extended slopeG = ShellSlope(k[4], d);
    return Checked((t0 - slopeB) + ((((-slopeC) - slopeD) - slopeF) - slopeG));
}

std::array<Extended, 5> ShellRadii(const ParameterSet& set) {
    return {set.B, set.C, set.D, set.F, set.G};
}

std::vector<Extended> CurveGrid(Extended from, Extended to, int points) {
    std::vector<Extended> grid;
    if (points < 2) return {from};
    grid.reserve(static_cast<std::size_t>(points));
    for (int n = 0; n < points; ++n) grid.push_back(from + (to - from) * n / (points - 1));
    return grid;
}

LawCurve LawCurveOf(const World& world, int kind, const std::vector<Extended>& grid) {
    LawCurve curve;
    curve.Kind = kind;
    const ParameterSet set = GetParameterSet(world, kind);
    curve.Shells = ShellRadii(set);
    try {
        ClearFpFlags();
        curve.Distance.reserve(grid.size());
        curve.Phi.reserve(grid.size());
        curve.Acceleration.reserve(grid.size());
        for (const Extended d : grid) {
            curve.Distance.push_back(d);
            curve.Phi.push_back(PairFunction(set, d));
            curve.Acceleration.push_back(Checked(set.A * PairSlope(set, d)));
            if (!std::isfinite(curve.Phi.back()) || !std::isfinite(curve.Acceleration.back()))
                throw TaonError(NotFiniteReason);
        }
    } catch (const TaonError& error) {
        curve.Fault = error.what();
        curve.Distance.clear();
        curve.Phi.clear();
        curve.Acceleration.clear();
    }
    return curve;
}

} // namespace taonscope
