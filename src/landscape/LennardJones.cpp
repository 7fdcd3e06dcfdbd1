// SPDX-License-Identifier: GPL-3.0-or-later
#include "LennardJones.h"

#include <cmath>

namespace taonscope {

namespace {

// Calls pair(i, j, dx, dy, dz, r^-2, r^-6) for every pair i < j of the particles at x.
template <typename Pair> void ForEachPair(const Coordinates& x, int n, Pair&& pair) {
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const Extended dx = x[3 * i] - x[3 * j], dy = x[3 * i + 1] - x[3 * j + 1],
                           dz = x[3 * i + 2] - x[3 * j + 2];
            const Extended inverse2 = 1 / (dx * dx + dy * dy + dz * dz);
            pair(i, j, dx, dy, dz, inverse2, inverse2 * inverse2 * inverse2);
        }
}

} // namespace

Extended LennardJones::Energy(const Coordinates& x) {
    Extended sum = 0;
    ForEachPair(x, ParticleCount(x),
                [&](int, int, Extended, Extended, Extended, Extended, Extended inverse6) {
                    sum += 4 * inverse6 * (inverse6 - 1);
                });
    return sum;
}

void LennardJones::Gradient(const Coordinates& x, Coordinates& gradient) {
    gradient.assign(x.size(), 0);
    ForEachPair(
        x, ParticleCount(x),
        [&](int i, int j, Extended dx, Extended dy, Extended dz, Extended inverse2, Extended inverse6) {
            // dE/dr / r of 4 (r^-12 - r^-6)
            const Extended f = -24 * inverse6 * (2 * inverse6 - 1) * inverse2;
            gradient[3 * i] += f * dx, gradient[3 * i + 1] += f * dy, gradient[3 * i + 2] += f * dz;
            gradient[3 * j] -= f * dx, gradient[3 * j + 1] -= f * dy, gradient[3 * j + 2] -= f * dz;
        });
}

PairScales LennardJones::Scales() const {
    // Half the depth, 4 (u^2 - u) = -1/2 with u = r^-6, is met at u = (2 +- sqrt 2) / 4.
    const Extended minimum = std::pow(2.0L, 1.0L / 6), root2 = std::sqrt(2.0L);
    const Extended width = std::pow((2 - root2) / 4, -1.0L / 6) - std::pow((2 + root2) / 4, -1.0L / 6);
    return {minimum, minimum, width};
}

} // namespace taonscope
