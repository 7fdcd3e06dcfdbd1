// SPDX-License-Identifier: GPL-3.0-or-later
#include "Law.h"

#include "FpTrap.h"

#include <array>
#include <cmath>

namespace taonscope {

namespace {

enum class Axis { X, Y, Z };

const TaonArray& Coordinates(const World& w, Axis axis) {
    switch (axis) {
    case Axis::X:
        return w.PosX;
    case Axis::Y:
        return w.PosY;
    default:
        return w.PosZ;
    }
}

Extended Accel(const World& w, int i, Axis axis) {
    // Step 1: the fifteen shell scales, B1..G1, B2..G2, B3..G3.
    std::array<std::array<Extended, 5>, 4> scale{};
    for (int kind = 1; kind <= 3; ++kind) {
        const ParameterSet set = GetParameterSet(w, kind);
        const Extended shells[5] = {set.B, set.C, set.D, set.F, set.G};
        for (int s = 0; s < 5; ++s) scale[kind][s] = Checked(ShellScale(shells[s]));
    }

    const TaonArray& coordinate = Coordinates(w, axis);
    Extended sum = 0;
    for (int j = 1; j <= w.TaonCount; ++j) {
        if (!w.TaonPresent[j] || j == i) continue;
        const Extended dx = w.PosX[i] - w.PosX[j];
        const Extended dy = w.PosY[i] - w.PosY[j];
        const Extended dz = w.PosZ[i] - w.PosZ[j];
        const Extended d = Checked(std::sqrt((dz * dz) + ((dy * dy) + (dx * dx))));

        const int m = TaonKind(w, j);
        const Extended t0 = CoreWellSlope(d);
        const auto& k = scale[m];
        const Extended slopeB = ShellSlope(k[0], d);
        const Extended slopeC = ShellSlope(k[1], d);
        const Extended slopeD = ShellSlope(k[2], d);
        const Extended slopeF = ShellSlope(k[3], d);
        const Extended slopeG = ShellSlope(k[4], d);
        const Extended s = Checked((t0 - slopeB) + ((((-slopeC) - slopeD) - slopeF) - slopeG));

        const Extended difference = Checked(coordinate[i] - coordinate[j]);
        sum = Checked(sum + (((difference * (-1)) / d) * GetParameterSet(w, m).A) * s);
    }
    return sum;
}

} // namespace

Extended Power(Extended base, Extended exponent) {
    return std::exp(exponent * std::log(base));
}

Extended ShellScale(Extended p) {
    return 1.029L / p;
}

Extended CoreWellSlope(Extended d) {
    const Extended u = Checked(4.725L * d);
    const Extended t1 = Checked(Power(u, 18) * (-4.725L));
    const Extended t2 = Checked((19 * std::log(u) + 1) * t1);
    const Extended t3 = Checked(Power(u, -Checked(Power(u, 19))) * t2);

    const Extended k = Checked(Power(10, -14) * 125 * 0.09L * 75);
    const Extended v = Checked(0.09L * d);
    const Extended t4 = Checked(Power(v, -2) * k);
    const Extended t5 = Checked((1 - std::log(v)) * t4);
    return Checked(t3 - Checked(Power(v, Checked(Power(v, -1)) * 75)) * t5);
}

Extended ShellSlope(Extended k, Extended d) {
    const Extended w = Checked(k * d);
    const Extended s1 = Checked(Power(0.1L * k, -1));
    const Extended s2 = Checked(Power(d, -2) * s1);
    const Extended s3 = Checked((2.5L - Checked(Power(w, 20))) * s2);
    const Extended s4 = Checked((1 - std::log(w)) * s3);
    const Extended s5 = Checked(Power(w, 18) * (200 * k));
    const Extended g = Checked(s4 - std::log(w) * s5);
    const Extended e = Checked(Checked(Power((0.1L * k) * d, -1)) * (2.5L - Checked(Power(w, 20))));
    return Checked(Power(w, e) * g);
}

Extended AccelX(const World& world, int i) {
    return Accel(world, i, Axis::X);
}
Extended AccelY(const World& world, int i) {
    return Accel(world, i, Axis::Y);
}
Extended AccelZ(const World& world, int i) {
    return Accel(world, i, Axis::Z);
}

} // namespace taonscope
