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
constexpr int TabulatedDegree = 12;

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

const std::vector<Extended>& TabulatedNormalisation(int l) {
    static const auto table = [] {
        std::array<std::vector<Extended>, TabulatedDegree + 1> t;
        for (int n = 0; n <= TabulatedDegree; ++n) t[static_cast<std::size_t>(n)] = Normalisation(n);
        return t;
    }();
    return table[static_cast<std::size_t>(l)];
}

// Y_lm, m = 0 .. l, of the direction of v into y, scaled by norm[m]; zeros when v is zero.
// P_l^m(cos theta) e^(i m phi) = Q_l^m(cos theta) (sin theta e^(i phi))^m with sin theta e^(i phi) = (x + i
// y) / r, and Q_l^m follows the usual recurrence in l from Q_m^m = (-1)^m (2m - 1)!!.
void Harmonics(int l, const Position& v, const Extended* norm, Complex* y) {
    const Extended r = std::sqrt((v[2] * v[2]) + ((v[1] * v[1]) + (v[0] * v[0])));
    if (!(r > 0)) {
        for (int m = 0; m <= l; ++m) y[m] = 0;
        return;
    }
    const Extended c = v[2] / r, acrossRe = v[0] / r, acrossIm = v[1] / r;
    Extended powerRe = 1, powerIm = 0; // (sin theta e^(i phi))^m, multiplied out by hand: std::complex
                                       // checks every product for infinities, which costs more here
    Extended diagonal = 1;
    for (int m = 0; m <= l; ++m) {
        if (m > 0) {
            diagonal *= -(2 * m - 1);
            const Extended re = powerRe * acrossRe - powerIm * acrossIm;
            powerIm = powerRe * acrossIm + powerIm * acrossRe, powerRe = re;
        }
        Extended below = 0, q = diagonal;
        for (int k = m + 1; k <= l; ++k) {
            const Extended next = (c * (2 * k - 1) * q - (k + m - 1) * below) / (k - m);
            below = q, q = next;
        }
        y[m] = Complex(norm[m] * q * powerRe, norm[m] * q * powerIm);
    }
}

// sqrt(4 pi / (2l + 1) sum over m = -l .. l of |q_lm|^2), from the q_lm with m >= 0: |q_l,-m| = |q_lm|.
Extended Invariant(const Complex* q, int l) {
    Extended sum = std::norm(q[0]);
    for (int m = 1; m <= l; ++m) sum += 2 * std::norm(q[m]);
    return std::sqrt(4 * Pi / (2 * l + 1) * sum);
}

// The q_4m and q_6m of one taon.
struct Moments {
    std::array<Complex, 5> Four{};
    std::array<Complex, 7> Six{};

    void Add(const Moments& other, Extended scale = 1) {
        for (std::size_t m = 0; m < Four.size(); ++m) Four[m] += scale * other.Four[m];
        for (std::size_t m = 0; m < Six.size(); ++m) Six[m] += scale * other.Six[m];
    }
};

} // namespace

std::vector<Complex> SphericalHarmonics(int l, const Position& v) {
    if (l < 0) return {};
    std::vector<Complex> y(static_cast<std::size_t>(l + 1));
    const std::vector<Extended> norm = l <= TabulatedDegree ? TabulatedNormalisation(l) : Normalisation(l);
    Harmonics(l, v, norm.data(), y.data());
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
    return Invariant(q.data(), l);
}

BondOrder BondOrderOf(const World& w, const Neighbours& neighbours) {
    BondOrder order;
    // Each bond once: even l give the same harmonics from both ends.
    std::vector<Moments> q(MaxTaons + 1);
    const Extended* norm4 = TabulatedNormalisation(4).data();
    const Extended* norm6 = TabulatedNormalisation(6).data();
    for (const Bond& bond : neighbours.Bonds) {
        const int i = bond.First, j = bond.Second;
        const Position v = {w.PosX[j] - w.PosX[i], w.PosY[j] - w.PosY[i], w.PosZ[j] - w.PosZ[i]};
        Moments y;
        Harmonics(4, v, norm4, y.Four.data());
        Harmonics(6, v, norm6, y.Six.data());
        q[static_cast<std::size_t>(i)].Add(y);
        q[static_cast<std::size_t>(j)].Add(y);
    }
    for (const int i : neighbours.Slots) {
        const std::size_t si = static_cast<std::size_t>(i);
        const std::size_t bonds = neighbours.Of[si].size();
        if (bonds == 0) continue;
        Moments mean;
        mean.Add(q[si], 1 / static_cast<Extended>(bonds));
        q[si] = mean;
        order.Defined[si] = true;
        order.Q4[si] = Invariant(q[si].Four.data(), 4);
        order.Q6[si] = Invariant(q[si].Six.data(), 6);
    }
    Extended sums[4] = {};
    int defined = 0;
    for (const int i : neighbours.Slots) {
        const std::size_t si = static_cast<std::size_t>(i);
        if (!order.Defined[si]) continue;
        Moments averaged = q[si];
        for (const int j : neighbours.Of[si]) averaged.Add(q[static_cast<std::size_t>(j)]);
        Moments mean;
        mean.Add(averaged, 1 / static_cast<Extended>(neighbours.Of[si].size() + 1));
        order.Q4Averaged[si] = Invariant(mean.Four.data(), 4);
        order.Q6Averaged[si] = Invariant(mean.Six.data(), 6);
        sums[0] += order.Q4[si], sums[1] += order.Q6[si];
        sums[2] += order.Q4Averaged[si], sums[3] += order.Q6Averaged[si];
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
