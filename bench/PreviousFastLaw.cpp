// SPDX-License-Identifier: GPL-3.0-or-later
#include "PreviousFastLaw.h"

#include "core/FpTrap.h"
#include "core/Law.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace taonscope {

namespace {

// Bounds of the fast kernel's domain. Within them no intermediate of the reference law can overflow,
// divide by zero or take the logarithm of a number that is not positive.
constexpr Extended SmallestShell = 1e-30L, LargestShell = 1e30L; // shell parameters B..G
constexpr Extended LargestStrength = 1e300L;                     // |A|
constexpr Extended LargestCoordinate = 1e50L;                    // |position component|
constexpr Extended SmallestDistance = 1e-100L;

// exp of anything below this is exactly 0 in extended precision (the smallest denormal is e^-11398.8).
constexpr Extended VanishingExponent = -11500;

constexpr int Stride = MaxTaons + 1;

// Below this many taons a step is quicker on one thread than the hand-over to the pool.
constexpr int SmallestSharedStep = 24;

// The five shells of one parameter set.
struct ShellSet {
    Extended k[5];        // 1.029 / p
    Extended lnK[5];      // ln k
    Extended tenOverK[5]; // (0.1 k)^-1
    Extended kTimes200[5];
    Extended strength; // A
};

bool InShellRange(Extended p) {
    return p >= SmallestShell && p <= LargestShell;
}

bool InDomain(const World& w, const std::vector<int>& present) {
    for (int kind = 1; kind <= 3; ++kind) {
        const ParameterSet s = GetParameterSet(w, kind);
        if (!(InShellRange(s.B) && InShellRange(s.C) && InShellRange(s.D) && InShellRange(s.F) &&
              InShellRange(s.G)))
            return false;
        if (!(std::fabs(s.A) <= LargestStrength)) return false;
    }
    for (int i : present)
        if (!(std::fabs(w.PosX[i]) <= LargestCoordinate && std::fabs(w.PosY[i]) <= LargestCoordinate &&
              std::fabs(w.PosZ[i]) <= LargestCoordinate))
            return false;
    return true;
}

ShellSet MakeShellSet(const ParameterSet& s) {
    ShellSet set{};
    const Extended shells[5] = {s.B, s.C, s.D, s.F, s.G};
    for (int n = 0; n < 5; ++n) {
        set.k[n] = ShellScale(shells[n]);
        set.lnK[n] = std::log(set.k[n]);
        set.tenOverK[n] = 1 / (0.1L * set.k[n]);
        set.kTimes200[n] = 200 * set.k[n];
    }
    set.strength = s.A;
    return set;
}

bool SameShells(const ParameterSet& a, const ParameterSet& b) {
    return a.B == b.B && a.C == b.C && a.D == b.D && a.F == b.F && a.G == b.G;
}

// d/dd of core(d) - well(d), from d, its logarithm and 1 / d^2.
Extended CoreWellSlopeAt(Extended d, Extended lnD, Extended inverseD2) {
    static const Extended lnCore = std::log(4.725L), lnWell = std::log(0.09L);
    static const Extended wellScale = Power(10, -14) * 125 * 0.09L * 75;

    Extended slope = 0;
    const Extended u = 4.725L * d, lnU = lnCore + lnD;
    const Extended u2 = u * u, u4 = u2 * u2, u8 = u4 * u4, u16 = u8 * u8, u18 = u16 * u2;
    const Extended coreExponent = -(u18 * u) * lnU; // u^-(u^19) = exp(-u^19 ln u)
    if (coreExponent > VanishingExponent) slope = std::exp(coreExponent) * ((19 * lnU + 1) * (u18 * -4.725L));

    const Extended v = 0.09L * d, lnV = lnWell + lnD;
    const Extended wellExponent = (75 / v) * lnV; // v^(75/v)
    if (wellExponent > VanishingExponent) {
        const Extended t5 = (1 - lnV) * (wellScale * inverseD2 * (1 / (0.09L * 0.09L)));
        slope -= std::exp(wellExponent) * t5;
    }
    return slope;
}

// Phi'(d) for the shells of one set: the core and well slope less the five shell slopes.
Extended PairSlope(const ShellSet& set, Extended coreWell, Extended d, Extended lnD, Extended inverseD,
                   Extended inverseD2) {
    Extended shells = 0;
    for (int n = 0; n < 5; ++n) {
        const Extended w = set.k[n] * d, lnW = set.lnK[n] + lnD;
        const Extended w2 = w * w, w4 = w2 * w2, w8 = w4 * w4, w16 = w8 * w8;
        const Extended w18 = w16 * w2, w20 = w16 * w4;
        const Extended outer = 2.5L - w20;
        const Extended exponent =
            set.tenOverK[n] * inverseD * outer * lnW; // w^e, e = (0.1 k d)^-1 (2.5 - w^20)
        if (exponent < VanishingExponent) continue;
        const Extended g =
            (1 - lnW) * (outer * (inverseD2 * set.tenOverK[n])) - lnW * (w18 * set.kTimes200[n]);
        shells += std::exp(exponent) * g;
    }
    return coreWell - shells;
}

} // namespace

PreviousFastLaw::PreviousFastLaw(int threads) : pool_(threads), coefficient_(Stride * Stride) {}

bool PreviousFastLaw::ComputeAccelerations(const World& w, Accelerations& out) {
    const int count = std::clamp(w.TaonCount, 0, MaxTaons);
    std::vector<int> present;
    for (int i = 1; i <= count; ++i)
        if (w.TaonPresent[i]) present.push_back(i);
    out = Accelerations{};
    if (present.empty()) return true;
    if (!InDomain(w, present)) return false;

    ShellSet sets[4];
    bool shared[4][4] = {};
    for (int m = 1; m <= 3; ++m) {
        sets[m] = MakeShellSet(GetParameterSet(w, m));
        for (int n = 1; n <= 3; ++n) shared[m][n] = SameShells(GetParameterSet(w, m), GetParameterSet(w, n));
    }
    int kind[Stride] = {};
    for (int i : present) kind[i] = TaonKind(w, i);

    const int taons = static_cast<int>(present.size());
    std::atomic<int> nextRow{0}, nextTaon{0};
    std::atomic<bool> failed{false};
    Extended* const c = coefficient_.data();

    auto run = [&](const std::function<void()>& job) {
        if (taons < SmallestSharedStep)
            job();
        else
            pool_.Run(job);
    };

    // Each unordered pair once: the term on a uses the set of b's kind, the term on b that of a's kind.
    run([&] {
        ClearFpFlags();
        for (int row; (row = nextRow.fetch_add(1, std::memory_order_relaxed)) < taons;) {
            const int a = present[row];
            for (int col = row + 1; col < taons; ++col) {
                const int b = present[col];
                const Extended dx = w.PosX[a] - w.PosX[b], dy = w.PosY[a] - w.PosY[b],
                               dz = w.PosZ[a] - w.PosZ[b];
                const Extended d = std::sqrt((dz * dz) + ((dy * dy) + (dx * dx)));
                if (!(d >= SmallestDistance)) {
                    failed.store(true, std::memory_order_relaxed);
                    continue;
                }
                const Extended lnD = std::log(d), inverseD = 1 / d, inverseD2 = inverseD * inverseD;
                const Extended coreWell = CoreWellSlopeAt(d, lnD, inverseD2);
                const ShellSet& onA = sets[kind[b]];
                const ShellSet& onB = sets[kind[a]];
                const Extended slopeOnA = PairSlope(onA, coreWell, d, lnD, inverseD, inverseD2);
                const Extended slopeOnB = shared[kind[a]][kind[b]]
                                              ? slopeOnA
                                              : PairSlope(onB, coreWell, d, lnD, inverseD, inverseD2);
                c[a * Stride + b] = onA.strength * slopeOnA * inverseD;
                c[b * Stride + a] = onB.strength * slopeOnB * inverseD;
            }
        }
        if (PendingFpFault() != FpFault::None) failed.store(true, std::memory_order_relaxed);
    });
    if (failed.load()) return false;

    // Each taon's sum over its partners in increasing slot order, whatever thread computes it.
    run([&] {
        ClearFpFlags();
        for (int n; (n = nextTaon.fetch_add(1, std::memory_order_relaxed)) < taons;) {
            const int i = present[n];
            Extended x = 0, y = 0, z = 0;
            for (int j : present) {
                if (j == i) continue;
                const Extended f = c[i * Stride + j];
                x += -(w.PosX[i] - w.PosX[j]) * f;
                y += -(w.PosY[i] - w.PosY[j]) * f;
                z += -(w.PosZ[i] - w.PosZ[j]) * f;
            }
            out.X[i] = x, out.Y[i] = y, out.Z[i] = z;
        }
        if (PendingFpFault() != FpFault::None) failed.store(true, std::memory_order_relaxed);
    });
    return !failed.load();
}

} // namespace taonscope
