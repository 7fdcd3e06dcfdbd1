// SPDX-License-Identifier: GPL-3.0-or-later
#include "BondOrder.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace taonscope {

namespace {

using Complex = std::complex<Extended>;
constexpr Extended Pi = std::numbers::pi_v<Extended>;

// sqrt((2l + 1) / (4 pi) (l - m)! / (l + m)!), m = 0 .. l.
std::vector<Extended> Normalisation(int l) {
    std::vector<Extended> n;
    for (int m = 0; m <= l; ++m) {
        Extended ratio = 1;
        for (int k = l - m + 1; k <= l + m; ++k) ratio /= k;
        n.push_back(std::sqrt((2 * l + 1) / (4 * Pi) * ratio));
    }
    return n;
}

constexpr int TabulatedDegree = 12;

// The normalisation of degree l from a table made once, or computed into spare beyond it.
const std::vector<Extended>& NormalisationOf(int l, std::vector<Extended>& spare) {
    static const auto table = [] {
        std::array<std::vector<Extended>, TabulatedDegree + 1> t;
        for (int n = 0; n <= TabulatedDegree; ++n) t[static_cast<std::size_t>(n)] = Normalisation(n);
        return t;
    }();
    if (l <= TabulatedDegree) return table[static_cast<std::size_t>(l)];
    spare = Normalisation(l);
    return spare;
}

// The q_lm, m = 0 .. l, of a taon: the mean of Y_lm over its bonds.
std::vector<Complex> MeanHarmonics(int l, const World& w, int i, const std::vector<int>& bonded) {
    std::vector<Complex> q(static_cast<std::size_t>(l + 1));
    for (const int j : bonded) {
        const std::vector<Complex> y =
            SphericalHarmonics(l, {w.PosX[j] - w.PosX[i], w.PosY[j] - w.PosY[i], w.PosZ[j] - w.PosZ[i]});
        for (std::size_t m = 0; m < q.size(); ++m) q[m] += y[m];
    }
    for (Complex& c : q) c /= static_cast<Extended>(bonded.size());
    return q;
}

// sqrt(4 pi / (2l + 1) sum over m = -l .. l of |q_lm|^2), from the q_lm with m >= 0.
Extended Invariant(const std::vector<Complex>& q) {
    const int l = static_cast<int>(q.size()) - 1;
    Extended sum = std::norm(q[0]);
    for (std::size_t m = 1; m < q.size(); ++m) sum += 2 * std::norm(q[m]);
    return std::sqrt(4 * Pi / (2 * l + 1) * sum);
}

} // namespace

std::vector<Complex> SphericalHarmonics(int l, const Position& v) {
    if (l < 0) return {};
    std::vector<Complex> y(static_cast<std::size_t>(l + 1));
    const Extended r = std::sqrt((v[2] * v[2]) + ((v[1] * v[1]) + (v[0] * v[0])));
    if (!(r > 0)) return y;
    const Extended c = v[2] / r;
    // P_l^m(cos theta) e^(i m phi) = Q_l^m(cos theta) (sin theta e^(i phi))^m, and sin theta e^(i phi) = (x +
    // i y) / r.
    const Complex across(v[0] / r, v[1] / r);
    std::vector<Extended> spare;
    const std::vector<Extended>& norm = NormalisationOf(l, spare);
    Complex power = 1;
    Extended diagonal = 1; // Q_m^m = (-1)^m (2m - 1)!!
    for (int m = 0; m <= l; ++m) {
        if (m > 0) diagonal *= -(2 * m - 1), power *= across;
        Extended below = 0, q = diagonal;
        for (int k = m + 1; k <= l; ++k) {
            const Extended next = (c * (2 * k - 1) * q - (k + m - 1) * below) / (k - m);
            below = q, q = next;
        }
        y[static_cast<std::size_t>(m)] = norm[static_cast<std::size_t>(m)] * q * power;
    }
    return y;
}

Extended SteinhardtOrder(int l, const std::vector<Position>& bonds) {
    if (bonds.empty() || l < 0) return 0;
    std::vector<Complex> q(static_cast<std::size_t>(l + 1));
    for (const Position& b : bonds) {
        const std::vector<Complex> y = SphericalHarmonics(l, b);
        for (std::size_t m = 0; m < q.size(); ++m) q[m] += y[m];
    }
    for (Complex& c : q) c /= static_cast<Extended>(bonds.size());
    return Invariant(q);
}

BondOrder BondOrderOf(const World& w, const Neighbours& neighbours) {
    BondOrder order;
    std::array<std::vector<Complex>, MaxTaons + 1> q4, q6;
    for (const int i : neighbours.Slots) {
        const std::vector<int>& bonded = neighbours.Of[static_cast<std::size_t>(i)];
        if (bonded.empty()) continue;
        order.Defined[static_cast<std::size_t>(i)] = true;
        q4[static_cast<std::size_t>(i)] = MeanHarmonics(4, w, i, bonded);
        q6[static_cast<std::size_t>(i)] = MeanHarmonics(6, w, i, bonded);
        order.Q4[static_cast<std::size_t>(i)] = Invariant(q4[static_cast<std::size_t>(i)]);
        order.Q6[static_cast<std::size_t>(i)] = Invariant(q6[static_cast<std::size_t>(i)]);
    }
    Extended sums[4] = {};
    int defined = 0;
    for (const int i : neighbours.Slots) {
        const std::size_t si = static_cast<std::size_t>(i);
        if (!order.Defined[si]) continue;
        std::vector<Complex> a4 = q4[si], a6 = q6[si];
        for (const int j : neighbours.Of[si]) {
            for (std::size_t m = 0; m < a4.size(); ++m) a4[m] += q4[static_cast<std::size_t>(j)][m];
            for (std::size_t m = 0; m < a6.size(); ++m) a6[m] += q6[static_cast<std::size_t>(j)][m];
        }
        const Extended count = static_cast<Extended>(neighbours.Of[si].size() + 1);
        for (Complex& c : a4) c /= count;
        for (Complex& c : a6) c /= count;
        order.Q4Averaged[si] = Invariant(a4);
        order.Q6Averaged[si] = Invariant(a6);
        sums[0] += order.Q4[si], sums[1] += order.Q6[si], sums[2] += order.Q4Averaged[si],
            sums[3] += order.Q6Averaged[si];
        ++defined;
    }
    const Extended none = std::numeric_limits<Extended>::quiet_NaN();
    order.MeanQ4 = defined ? sums[0] / defined : none;
    order.MeanQ6 = defined ? sums[1] / defined : none;
    order.MeanQ4Averaged = defined ? sums[2] / defined : none;
    order.MeanQ6Averaged = defined ? sums[3] / defined : none;
    return order;
}

} // namespace taonscope
