// SPDX-License-Identifier: GPL-3.0-or-later
#include "FastLaw.h"

#include "ExtendedMath.h"
#include "FpTrap.h"
#include "Law.h"
#include "VectorKernel.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

namespace taonscope {

namespace {

// Bounds of the fast kernel's domain. Within them no intermediate of the reference law can overflow,
// divide by zero or take the logarithm of a number that is not positive.
constexpr Extended SmallestShell = 1e-30L, LargestShell = 1e30L; // shell parameters B..G
constexpr Extended LargestStrength = 1e300L;                     // |A|
constexpr Extended LargestCoordinate = 1e50L;                    // |position component|
constexpr Extended SmallestDistance = 1e-100L;

// A power whose exponent is below this is exactly 0 in extended precision (the smallest denormal is
// e^-11398.8); the distances at which a term's exponent passes it are found for -11600, which leaves a
// margin far beyond the rounding of the exponent.
constexpr Extended VanishingExponent = -11600;

// A term is skipped when it is provably below 2^-NegligibleBits of the largest term of its slope.
constexpr double NegligibleBits = 70;

constexpr int Stride = MaxTaons + 1;

// A step is computed with the double-double kernel (VectorKernel.h) when every shell's k lies between
// these (and each pair whose distance lies between them too): then every intermediate stays within the
// normal range of doubles.
constexpr double VectorSmallest = 1e-14, VectorLargest = 1e14;

// Below this many taons a step is quicker on one thread than the hand-over to the pool.
constexpr int SmallestSharedStep = 24;

// The exponents of the core, well and shell powers, as functions of u = 4.725 d, v = 0.09 d, w = k d.
Extended CoreExponent(Extended u) {
    return -Power(u, 19) * std::log(u);
}
Extended WellExponent(Extended v) {
    return (75 / v) * std::log(v);
}
Extended ShellExponent(Extended w) {
    return 10 * (2.5L - Power(w, 20)) * std::log(w) / w;
}

// The point of [low, high] where the monotonic exponent(x) crosses VanishingExponent, by bisection.
template <typename F> Extended Crossing(F exponent, Extended low, Extended high) {
    const bool rising = exponent(low) < exponent(high);
    for (int n = 0; n < 200; ++n) {
        const Extended middle = (low + high) / 2;
        if ((exponent(middle) < VanishingExponent) == rising)
            low = middle;
        else
            high = middle;
    }
    return rising ? low : high; // the exponent is below VanishingExponent beyond it, on the vanishing side
}

// Where each power vanishes: the core beyond u = CoreFarU, the well below v = WellNearV, a shell below
// w = ShellNearW and beyond w = ShellFarW.
struct VanishingPoints {
    Extended coreFarU = Crossing(CoreExponent, 1.0001L, 4);
    Extended wellNearV = Crossing(WellExponent, 1e-6L, 1);
    Extended shellNearW = Crossing(ShellExponent, 1e-6L, 0.9L);
    Extended shellFarW = Crossing(ShellExponent, 1.05L, 4);
};
const VanishingPoints& Vanishing() {
    static const VanishingPoints points;
    return points;
}

// The same as distances, in double: the core vanishes beyond CoreFarD, the well below WellNearD.
const double CoreFarD = static_cast<double>(Vanishing().coreFarU / 4.725L);
const double WellNearD = static_cast<double>(Vanishing().wellNearV / 0.09L);

constexpr Extended WellPower = 75 / 0.09L;
const Extended LnCore = std::log(4.725L), LnWell = std::log(0.09L);
const Extended WellScale = Power(10, -14) * 125 * 0.09L * 75 * (1 / (0.09L * 0.09L));

// One shell of a parameter set and the distances between which its power is not 0.
struct Shell {
    Extended k;           // 1.029 / p
    Extended lnK;         // ln k
    Extended tenOverK;    // (0.1 k)^-1
    Extended k19Times200; // 200 k k^18: 200 k w^18 = 200 k^19 d^18
    Extended k20;         // k^20: w^20 = k^20 d^20
    double nearD, farD;   // compared in double: the margin of VanishingExponent dwarfs its rounding
    DoubleDouble lnKParts, tenOverKParts, k19Times200Parts, k20Parts; // the same, exactly, for TermBatch
};

// The five shells of one parameter set.
struct ShellSet {
    Shell shell[5];
    Extended strength; // A
    bool vectorRange;  // every k between VectorSmallest and VectorLargest
};

// x as the sum of two doubles, exactly.
DoubleDouble Parts(Extended x) {
    const double hi = static_cast<double>(x);
    return {hi, static_cast<double>(x - hi)};
}

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
    const VanishingPoints& vanishing = Vanishing();
    ShellSet set{};
    const Extended shells[5] = {s.B, s.C, s.D, s.F, s.G};
    for (int n = 0; n < 5; ++n) {
        Shell& shell = set.shell[n];
        shell.k = ShellScale(shells[n]);
        shell.lnK = std::log(shell.k);
        shell.tenOverK = 1 / (0.1L * shell.k);
        const Extended k2 = shell.k * shell.k, k4 = k2 * k2, k16 = (k4 * k4) * (k4 * k4);
        shell.k19Times200 = (k16 * k2) * (200 * shell.k);
        shell.k20 = k16 * k4;
        shell.nearD = static_cast<double>(vanishing.shellNearW / shell.k);
        shell.farD = static_cast<double>(vanishing.shellFarW / shell.k);
        shell.lnKParts = Parts(shell.lnK);
        shell.tenOverKParts = Parts(shell.tenOverK);
        shell.k19Times200Parts = Parts(shell.k19Times200);
        shell.k20Parts = Parts(shell.k20);
    }
    set.strength = s.A;
    set.vectorRange = true;
    for (const Shell& shell : set.shell)
        set.vectorRange = set.vectorRange && shell.k >= VectorSmallest && shell.k <= VectorLargest;
    return set;
}

bool SameShells(const ParameterSet& a, const ParameterSet& b) {
    return a.B == b.B && a.C == b.C && a.D == b.D && a.F == b.F && a.G == b.G;
}

constexpr double Nowhere = -std::numeric_limits<double>::infinity();

// Bounds of log2 |exp(exponent) factor| from the binary exponent of the factor as a double:
// lower <= log2 |term| < upper, lower Nowhere when the factor is 0 or denormal as a double. (A factor
// beyond the double range raises the overflow flag, and the reference law makes the step.) The rounding
// of the exponent to double is far below the spare bit the threshold leaves.
struct Log2Bounds {
    double upper, lower;
    double exponent; // the exponent as a double, which ExpExtended uses too
};
inline Log2Bounds BoundsOf(Extended exponent, Extended factor) {
    const double e = static_cast<double>(exponent), f = static_cast<double>(factor);
    std::uint64_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    const int biased = static_cast<int>(bits >> 52 & 0x7FF);
    const double upper = e * 1.4426950408889634 + (biased - 1022);
    return {upper, biased == 0 ? Nowhere : upper - 1, e};
}

// What a pair's two slopes share: the distance and the core and well terms, exp(exponent) factor, with
// the bounds of their magnitudes (upper Nowhere: the power is 0 at this distance).
struct PairBase {
    Extended lnD, inverseD;
    Extended d18, d20; // d^18, d^20, for the powers of every shell's w = k d
    double roughD;
    Extended coreExponent, coreFactor, wellExponent, wellFactor;
    double coreUpper, coreLower, wellUpper, wellLower;
    double nearCoreExponent, nearWellExponent; // the exponents as doubles
};

void MakePairBase(PairBase& p, Extended d, Extended lnD2) {
    p.roughD = static_cast<double>(d);
    p.lnD = 0.5L * lnD2; // ln d from ln d^2, so that it need not wait for the square root
    p.inverseD = 1 / d;
    const Extended d2 = d * d, d4 = d2 * d2, d16 = (d4 * d4) * (d4 * d4);
    p.d18 = d16 * d2;
    p.d20 = d16 * d4;

    p.coreUpper = p.coreLower = Nowhere;
    if (p.roughD < CoreFarD) {
        const Extended u = 4.725L * d, lnU = LnCore + p.lnD;
        const Extended u2 = u * u, u4 = u2 * u2, u8 = u4 * u4, u16 = u8 * u8, u18 = u16 * u2;
        p.coreExponent = -(u18 * u) * lnU; // u^-(u^19) = exp(-u^19 ln u)
        p.coreFactor = (19 * lnU + 1) * (u18 * -4.725L);
        const Log2Bounds bounds = BoundsOf(p.coreExponent, p.coreFactor);
        p.coreUpper = bounds.upper, p.coreLower = bounds.lower, p.nearCoreExponent = bounds.exponent;
    }
    p.wellUpper = p.wellLower = Nowhere;
    if (p.roughD > WellNearD) {
        const Extended lnV = LnWell + p.lnD;             // ln v, v = 0.09 d
        p.wellExponent = (WellPower * p.inverseD) * lnV; // v^(75/v), 75/v = (75/0.09) / d
        p.wellFactor = (1 - lnV) * (WellScale * (p.inverseD * p.inverseD));
        const Log2Bounds bounds = BoundsOf(p.wellExponent, p.wellFactor);
        p.wellUpper = bounds.upper, p.wellLower = bounds.lower, p.nearWellExponent = bounds.exponent;
    }
}

// The core and well terms, each computed once per pair when either slope needs it.
struct SharedValues {
    Extended core = 0, well = 0;
    bool coreDone = false, wellDone = false;
};

// The core and well exponents and factors are read only when their bounds are finite, which are set
// together with them; GCC cannot see that, and initialising them would cost a step 5%.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
// Phi'(d) on one taon for the shells of one set: the core less the well less the five shells, leaving
// out every term provably below 2^-NegligibleBits of the largest (one more bit covers the rounding of
// the exponents).
Extended SlopeOf(const ShellSet& set, const PairBase& p, SharedValues& shared) {
    double largest = std::max(p.coreLower, p.wellLower);
    Extended shells = 0;
    for (const Shell& shell : set.shell) {
        if (!(p.roughD > shell.nearD && p.roughD < shell.farD)) continue;
        const Extended lnW = shell.lnK + p.lnD; // w = k d
        const Extended w20 = shell.k20 * p.d20;
        const Extended outer = (2.5L - w20) * (shell.tenOverK * p.inverseD); // (0.1 k d)^-1 (2.5 - w^20)
        const Extended exponent = outer * lnW;                               // w^outer = exp(outer ln w)
        const Extended factor = (1 - lnW) * (outer * p.inverseD) - lnW * (shell.k19Times200 * p.d18);
        const Log2Bounds bounds = BoundsOf(exponent, factor);
        largest = std::max(largest, bounds.lower);
        // Judged against the largest term met so far, which is at most the largest of all: a term left
        // out is below 2^-NegligibleBits of that too (the extra bit covers the rounding of the bounds).
        if (bounds.upper >= largest - (NegligibleBits + 1))
            shells += ExpExtended(exponent, bounds.exponent) * factor;
    }
    const double threshold = std::max(largest - (NegligibleBits + 1), -std::numeric_limits<double>::max());
    Extended coreWell = 0;
    if (p.coreUpper >= threshold) {
        if (!shared.coreDone)
            shared.core = ExpExtended(p.coreExponent, p.nearCoreExponent) * p.coreFactor,
            shared.coreDone = true;
        coreWell = shared.core;
    }
    if (p.wellUpper >= threshold) {
        if (!shared.wellDone)
            shared.well = ExpExtended(p.wellExponent, p.nearWellExponent) * p.wellFactor,
            shared.wellDone = true;
        coreWell -= shared.well;
    }
    return coreWell - shells;
}

// The core term where its power is not 0.
Extended CoreOf(const PairBase& p) {
    return p.coreUpper == Nowhere ? 0 : ExpExtended(p.coreExponent, p.nearCoreExponent) * p.coreFactor;
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

// The pair's values a term of the batch takes, as sums of two doubles: ln d, 1/d, d^18, d^20.
struct PairParts {
    DoubleDouble lnD, inverseD, d18, d20;
};

// Adds a term to the batch.
void AddTerm(TermBatch& terms, const Shell& shell, const PairParts& parts) {
    const int i = terms.count++;
    terms.lnDHi[i] = parts.lnD.hi, terms.lnDLo[i] = parts.lnD.lo;
    terms.inverseDHi[i] = parts.inverseD.hi, terms.inverseDLo[i] = parts.inverseD.lo;
    terms.d18Hi[i] = parts.d18.hi, terms.d18Lo[i] = parts.d18.lo;
    terms.d20Hi[i] = parts.d20.hi, terms.d20Lo[i] = parts.d20.lo;
    terms.lnKHi[i] = shell.lnKParts.hi, terms.lnKLo[i] = shell.lnKParts.lo;
    terms.tenOverKHi[i] = shell.tenOverKParts.hi, terms.tenOverKLo[i] = shell.tenOverKParts.lo;
    terms.k19Hi[i] = shell.k19Times200Parts.hi, terms.k19Lo[i] = shell.k19Times200Parts.lo;
    terms.k20Hi[i] = shell.k20Parts.hi, terms.k20Lo[i] = shell.k20Parts.lo;
}

// Adds to the batch the shell terms of one slope whose power is not 0 at this distance.
void AddShellTerms(TermBatch& terms, const ShellSet& set, double roughD, const PairParts& parts) {
    for (const Shell& shell : set.shell)
        if (roughD > shell.nearD && roughD < shell.farD) AddTerm(terms, shell, parts);
}

// The well as a shell term: with k^20 = 0 and 10/k = (75/0.09) / 2.5, the term's exponent is the
// well's, (75/0.09) (1/d) ln v, and its factor (1 - ln v) (75/0.09) / d^2, WellPower / WellScale times
// the well's.
Shell WellAsShell() {
    Shell well{};
    well.lnKParts = Parts(LnWell);
    well.tenOverKParts = Parts(WellPower / 2.5L);
    return well;
}
const Shell WellTerm = WellAsShell();
const Extended WellFromTerm = WellScale / WellPower;

// The term `i` of the batch.
Extended TermOf(const TermBatch& terms, int i) {
    return extended_math::ScaledByPowerOfTwo(static_cast<Extended>(terms.termHi[i]) + terms.termLo[i],
                                             terms.scale[i]);
}

// The sum of the terms first..last - 1, in that order.
Extended SumOfTerms(const TermBatch& terms, int first, int last) {
    Extended sum = 0;
    for (int i = first; i < last; ++i) sum += TermOf(terms, i);
    return sum;
}

} // namespace

FastLaw::FastLaw(int threads, Arithmetic arithmetic)
    : pool_(threads), coefficient_(Stride * Stride),
      vectorKernel_(arithmetic == Arithmetic::Vector && VectorKernelSupported()) {}

bool FastLaw::ComputeAccelerations(const World& w, Accelerations& out) {
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
    const bool vectorStep =
        vectorKernel_ && sets[1].vectorRange && sets[2].vectorRange && sets[3].vectorRange;
    VectorPositions positions{};
    if (vectorStep)
        for (std::size_t n = 0; n < present.size(); ++n) {
            const int i = present[n];
            DoubleDouble x = Parts(w.PosX[i]), y = Parts(w.PosY[i]), z = Parts(w.PosZ[i]);
            positions.xHi[n] = x.hi, positions.xLo[n] = x.lo;
            positions.yHi[n] = y.hi, positions.yLo[n] = y.lo;
            positions.zHi[n] = z.hi, positions.zLo[n] = z.lo;
        }
    int kind[Stride] = {};
    for (int i : present) kind[i] = TaonKind(w, i);

    const int taons = static_cast<int>(present.size());
    const bool pooled = taons >= SmallestSharedStep;
    // Each counter in a cache line of its own, as is each row's sum below: the threads write them all
    // the time, and two of them in one line would send it back and forth between the cores.
    struct alignas(64) Counter {
        std::atomic<int> value{0};
    };
    Counter nextRow, rowsDone, nextTaons;
    std::atomic<bool> failed{false};
    Extended* const c = coefficient_.data();
    struct alignas(64) Sum {
        Extended x, y, z;
    };
    Sum upper[Stride]; // each taon's terms from its partners in later slots

    auto job = [&] {
        ClearFpFlags();
        TermBatch batch;
        RowPairs rowPairs;
        // Per partner of the row's taon: where its well and shell terms stand in the batch (termsFirst
        // -1: its slopes are done; termsLast -1: both slopes are the same; wellTerm -1: no well), its core
        // and 1/d.
        int termsFirst[MaxTaons], termsMiddle[MaxTaons], termsLast[MaxTaons], wellTerm[MaxTaons];
        Extended cores[MaxTaons], inverseDs[MaxTaons];
        // Each unordered pair once: the term on a uses the set of b's kind, the term on b that of a's kind.
        // The terms on a from its partners after it are summed here, in increasing slot order.
        for (int row; (row = nextRow.value.fetch_add(1, std::memory_order_relaxed)) < taons;) {
            const int a = present[row];
            // The row's distances and logarithms first, four pairs at a time by the kernel where it
            // takes the step; the others in extended arithmetic, where, independent of one another, they
            // overlap in the processor instead of each holding up its pair.
            Extended ds[MaxTaons], lnD2[MaxTaons];
            if (vectorStep) ComputeRowPairs(positions, row, taons, rowPairs);
            for (int col = row + 1; col < taons; ++col) {
                if (vectorStep && rowPairs.inRange[col] != 0) continue;
                const int b = present[col];
                const Extended dx = w.PosX[a] - w.PosX[b], dy = w.PosY[a] - w.PosY[b],
                               dz = w.PosZ[a] - w.PosZ[b];
                const Extended d2 = (dz * dz) + ((dy * dy) + (dx * dx));
                ds[col] = std::sqrt(d2);
                lnD2[col] = LogExtended(d2);
            }
            Extended onAFactor[MaxTaons]; // A S / d of the term on a from each later partner
            // The row's pairs in blocks whose terms fit into one batch: first the pair's core and the
            // batch's well and shell terms, then the batch, then the slopes from them. A pair beyond the
            // range of the batch gets its slopes at once, in extended arithmetic.
            for (int first = row + 1; first < taons;) {
                batch.count = 0;
                int last = first;
                for (; last < taons && batch.count + 11 <= TermBatch::Capacity; ++last) {
                    const int col = last, b = present[col];
                    const ShellSet& onA = sets[kind[b]];
                    const ShellSet& onB = sets[kind[a]];
                    const bool sameSlopes = shared[kind[a]][kind[b]];
                    termsFirst[col] = -1;
                    if (vectorStep && rowPairs.inRange[col] != 0) {
                        const double roughD = rowPairs.dHi[col];
                        inverseDs[col] =
                            static_cast<Extended>(rowPairs.inverseDHi[col]) + rowPairs.inverseDLo[col];
                        cores[col] = 0;
                        if (roughD < CoreFarD) {
                            PairBase pair;
                            const Extended lnD =
                                static_cast<Extended>(rowPairs.lnDHi[col]) + rowPairs.lnDLo[col];
                            MakePairBase(pair, static_cast<Extended>(roughD) + rowPairs.dLo[col], 2 * lnD);
                            cores[col] = CoreOf(pair);
                        }
                        const PairParts parts{{rowPairs.lnDHi[col], rowPairs.lnDLo[col]},
                                              {rowPairs.inverseDHi[col], rowPairs.inverseDLo[col]},
                                              {rowPairs.d18Hi[col], rowPairs.d18Lo[col]},
                                              {rowPairs.d20Hi[col], rowPairs.d20Lo[col]}};
                        wellTerm[col] = roughD > WellNearD ? batch.count : -1;
                        if (wellTerm[col] >= 0) AddTerm(batch, WellTerm, parts);
                        termsFirst[col] = batch.count;
                        AddShellTerms(batch, onA, roughD, parts);
                        termsMiddle[col] = batch.count;
                        if (!sameSlopes) AddShellTerms(batch, onB, roughD, parts);
                        termsLast[col] = sameSlopes ? -1 : batch.count;
                        continue;
                    }
                    const Extended d = ds[col];
                    if (!(d >= SmallestDistance)) {
                        failed.store(true, std::memory_order_relaxed);
                        onAFactor[col] = 0;
                        continue;
                    }
                    PairBase pair;
                    MakePairBase(pair, d, lnD2[col]);
                    SharedValues values;
                    const Extended slopeOnA = SlopeOf(onA, pair, values);
                    const Extended slopeOnB = sameSlopes ? slopeOnA : SlopeOf(onB, pair, values);
                    onAFactor[col] = onA.strength * slopeOnA * pair.inverseD;
                    c[a * Stride + b] = onB.strength * slopeOnB * pair.inverseD;
                }
                if (batch.count > 0) ComputeTerms(batch);
                for (int col = first; col < last; ++col) {
                    if (termsFirst[col] < 0) continue;
                    const int b = present[col];
                    const Extended coreLessWell =
                        wellTerm[col] < 0 ? cores[col]
                                          : cores[col] - TermOf(batch, wellTerm[col]) * WellFromTerm;
                    const Extended slopeOnA =
                        coreLessWell - SumOfTerms(batch, termsFirst[col], termsMiddle[col]);
                    const Extended slopeOnB =
                        termsLast[col] < 0
                            ? slopeOnA
                            : coreLessWell - SumOfTerms(batch, termsMiddle[col], termsLast[col]);
                    onAFactor[col] = sets[kind[b]].strength * slopeOnA * inverseDs[col];
                    c[a * Stride + b] = sets[kind[a]].strength * slopeOnB * inverseDs[col];
                }
                first = last;
            }
            // The terms on a from its later partners, in a loop of their own, where the sums stay in
            // registers.
            Extended x = 0, y = 0, z = 0;
            for (int col = row + 1; col < taons; ++col) {
                const int b = present[col];
                x += -(w.PosX[a] - w.PosX[b]) * onAFactor[col];
                y += -(w.PosY[a] - w.PosY[b]) * onAFactor[col];
                z += -(w.PosZ[a] - w.PosZ[b]) * onAFactor[col];
            }
            upper[a] = {x, y, z};
            rowsDone.value.fetch_add(1, std::memory_order_release);
        }

        // Every pair done before any sum: wait for the rows other threads are still on (yielding, in
        // case they share a core). A thread that starts late finds no rows left and passes at once.
        for (int spin = 0; rowsDone.value.load(std::memory_order_acquire) < taons; ++spin)
            if (spin > 1000) std::this_thread::yield();

        // Each taon's terms from the partners before it, in increasing slot order, then those after it:
        // the same sums whatever thread computes them.
        // Taons are claimed eight at a time, so that the threads seldom write into the same cache line.
        constexpr int TaonsAtOnce = 8;
        for (int first; (first = nextTaons.value.fetch_add(TaonsAtOnce, std::memory_order_relaxed)) < taons;)
            for (int n = first; n < std::min(first + TaonsAtOnce, taons); ++n) {
                const int i = present[n];
                Extended x = 0, y = 0, z = 0;
                for (int m = 0; m < n; ++m) {
                    const int j = present[m];
                    const Extended f = c[j * Stride + i];
                    x += -(w.PosX[i] - w.PosX[j]) * f;
                    y += -(w.PosY[i] - w.PosY[j]) * f;
                    z += -(w.PosZ[i] - w.PosZ[j]) * f;
                }
                out.X[i] = x + upper[i].x, out.Y[i] = y + upper[i].y, out.Z[i] = z + upper[i].z;
            }
        if (PendingFpFault() != FpFault::None) failed.store(true, std::memory_order_relaxed);
    };
    if (pooled)
        pool_.Run(job);
    else
        job();
    return !failed.load();
}

} // namespace taonscope
