// SPDX-License-Identifier: GPL-3.0-or-later
// The double-double kernel against the same formulas in quadruple precision (libquadmath), from the
// same inputs, and the fast law with it against the fast law in extended arithmetic.
#include "core/VectorKernel.h"
#include "core/FastLaw.h"
#include "core/FpTrap.h"
#include "core/Scenarios.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

extern "C" {
#include <quadmath.h>
}

namespace taonscope {
namespace {

using Quad = __float128;

Quad QuadOf(double hi, double lo) {
    return static_cast<Quad>(hi) + lo;
}

double RelativeError(double hi, double lo, Quad exact) {
    return static_cast<double>(fabsq(QuadOf(hi, lo) - exact) / fabsq(exact));
}

// A double-double with a random low part, as positions, constants and powers are.
DoubleDouble RandomParts(double value, std::mt19937_64& random) {
    std::uniform_real_distribution<double> fraction(-0.5, 0.5);
    return {value, std::ldexp(fraction(random), std::ilogb(value) - 52)};
}

#define SKIP_WITHOUT_KERNEL()                                                                                \
    if (!VectorKernelSupported()) GTEST_SKIP() << "this processor has no AVX2 and FMA"

// Distances from 1e-14 to 1e14 in every direction: d and 1/d within 2^-100 of themselves, d^18 and d^20
// within 2^-98, ln d within 2^-78 of itself or of 1 where it is smaller (the terms from u^3 on of its
// series are taken in double).
TEST(VectorKernel, RowPairsAgreeWithQuadruplePrecision) {
    SKIP_WITHOUT_KERNEL();
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(-1, 1), decades(-14, 14);
    VectorPositions positions{};
    RowPairs pairs;
    double worst[5] = {};
    for (int round = 0; round < 2000; ++round) {
        const int count = 2 + round % 40; // every number of lanes past the last pair
        for (int n = 0; n < count; ++n) {
            const double scale = std::pow(10.0, decades(random)) / 2;
            const DoubleDouble x = RandomParts(unit(random) * scale, random),
                               y = RandomParts(unit(random) * scale, random),
                               z = RandomParts(unit(random) * scale, random);
            positions.xHi[n] = x.hi, positions.xLo[n] = x.lo;
            positions.yHi[n] = y.hi, positions.yLo[n] = y.lo;
            positions.zHi[n] = z.hi, positions.zLo[n] = z.lo;
        }
        ComputeRowPairs(positions, 0, count, pairs);
        for (int col = 1; col < count; ++col) {
            const Quad dx =
                QuadOf(positions.xHi[0], positions.xLo[0]) - QuadOf(positions.xHi[col], positions.xLo[col]);
            const Quad dy =
                QuadOf(positions.yHi[0], positions.yLo[0]) - QuadOf(positions.yHi[col], positions.yLo[col]);
            const Quad dz =
                QuadOf(positions.zHi[0], positions.zLo[0]) - QuadOf(positions.zHi[col], positions.zLo[col]);
            const Quad d2 = dx * dx + dy * dy + dz * dz, d = sqrtq(d2);
            const bool inRange = d2 >= static_cast<Quad>(1e-28) && d2 <= static_cast<Quad>(1e28);
            ASSERT_EQ(pairs.inRange[col], inRange ? 1 : 0) << static_cast<double>(d);
            if (!inRange) continue;
            const Quad lnD = logq(d);
            const double errors[5] = {
                RelativeError(pairs.dHi[col], pairs.dLo[col], d),
                static_cast<double>(fabsq(QuadOf(pairs.lnDHi[col], pairs.lnDLo[col]) - lnD) /
                                    fmaxq(1, fabsq(lnD))),
                RelativeError(pairs.inverseDHi[col], pairs.inverseDLo[col], 1 / d),
                RelativeError(pairs.d18Hi[col], pairs.d18Lo[col], powq(d, 18)),
                RelativeError(pairs.d20Hi[col], pairs.d20Lo[col], powq(d, 20))};
            for (int k = 0; k < 5; ++k) worst[k] = std::max(worst[k], errors[k]);
        }
    }
    const double bounds[5] = {0x1p-100, 0x1p-78, 0x1p-100, 0x1p-98, 0x1p-98};
    for (int k = 0; k < 5; ++k) EXPECT_LE(worst[k], bounds[k]) << "value " << k;
}

// Coincident taons and distances beyond the range are marked, and nothing raises a fault flag.
TEST(VectorKernel, PairsOutOfRangeRaiseNoFlag) {
    SKIP_WITHOUT_KERNEL();
    VectorPositions positions{};
    positions.xHi[1] = 0;     // coincident with taon 0
    positions.xHi[2] = 1e-15; // too near
    positions.yHi[3] = 2e14;  // too far
    positions.zHi[4] = 1e60;  // far beyond
    positions.xHi[5] = 3;
    RowPairs pairs;
    ClearFpFlags();
    ComputeRowPairs(positions, 0, 6, pairs);
    EXPECT_EQ(PendingFpFault(), FpFault::None);
    for (int col = 1; col <= 4; ++col) EXPECT_EQ(pairs.inRange[col], 0) << col;
    EXPECT_EQ(pairs.inRange[5], 1);
    EXPECT_DOUBLE_EQ(pairs.dHi[5], 3);
}

// Shell terms with exponents from -18000 to their largest, against the same formula in quadruple
// precision where the exponent is above -11000: within 2^-68 of themselves.
TEST(VectorKernel, TermsAgreeWithQuadruplePrecision) {
    SKIP_WITHOUT_KERNEL();
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> logK(std::log(0.02), std::log(30)), w(0.0075, 1.55);
    TermBatch batch;
    double worst = 0;
    int counted = 0;
    for (int round = 0; round < 8000; ++round) {
        batch.count = 0;
        const int count = 1 + round % TermBatch::Capacity;
        Quad exact[TermBatch::Capacity];
        for (int i = 0; i < count; ++i) {
            const double k = std::exp(logK(random)), d = w(random) / k;
            const DoubleDouble lnD = RandomParts(std::log(d), random), inverseD = RandomParts(1 / d, random),
                               d18 = RandomParts(std::pow(d, 18), random),
                               d20 = RandomParts(std::pow(d, 20), random),
                               lnK = RandomParts(std::log(k), random), tenOverK = RandomParts(10 / k, random),
                               k19 = RandomParts(200 * std::pow(k, 19), random),
                               k20 = RandomParts(std::pow(k, 20), random);
            batch.lnDHi[i] = lnD.hi, batch.lnDLo[i] = lnD.lo, batch.inverseDHi[i] = inverseD.hi;
            batch.inverseDLo[i] = inverseD.lo, batch.d18Hi[i] = d18.hi, batch.d18Lo[i] = d18.lo;
            batch.d20Hi[i] = d20.hi, batch.d20Lo[i] = d20.lo, batch.lnKHi[i] = lnK.hi,
            batch.lnKLo[i] = lnK.lo;
            batch.tenOverKHi[i] = tenOverK.hi, batch.tenOverKLo[i] = tenOverK.lo;
            batch.k19Hi[i] = k19.hi, batch.k19Lo[i] = k19.lo, batch.k20Hi[i] = k20.hi,
            batch.k20Lo[i] = k20.lo;
            const Quad lnW = QuadOf(lnK.hi, lnK.lo) + QuadOf(lnD.hi, lnD.lo),
                       invD = QuadOf(inverseD.hi, inverseD.lo);
            const Quad outer = (static_cast<Quad>(2.5) - QuadOf(k20.hi, k20.lo) * QuadOf(d20.hi, d20.lo)) *
                               (QuadOf(tenOverK.hi, tenOverK.lo) * invD);
            const Quad factor =
                (1 - lnW) * (outer * invD) - lnW * (QuadOf(k19.hi, k19.lo) * QuadOf(d18.hi, d18.lo));
            exact[i] = outer * lnW >= -11000 ? expq(outer * lnW) * factor : 0;
        }
        batch.count = count;
        ComputeTerms(batch);
        for (int i = 0; i < count; ++i) {
            if (exact[i] == 0) continue;
            const Quad got = ldexpq(QuadOf(batch.termHi[i], batch.termLo[i]), batch.scale[i]);
            worst = std::max(worst, static_cast<double>(fabsq(got - exact[i]) / fabsq(exact[i])));
            ++counted;
        }
    }
    EXPECT_GT(counted, 400000);
    EXPECT_LE(worst, 0x1p-68);
}

// On this processor the law uses the kernel: its results are not those of extended arithmetic, and
// within 1e-17 of the largest component.
TEST(VectorKernel, TheLawUsesItAndAgreesWithExtendedArithmetic) {
    SKIP_WITHOUT_KERNEL();
    FastLaw vector(1), extended(1, FastLaw::Arithmetic::Extended);
    EXPECT_TRUE(vector.UsesVectorKernel());
    EXPECT_FALSE(extended.UsesVectorKernel());
    for (const World& world : {CloudWorld(8, false), CloudWorld(9, true, 6, 0.3L)}) {
        Accelerations v, e;
        ASSERT_TRUE(vector.ComputeAccelerations(world, v));
        ASSERT_TRUE(extended.ComputeAccelerations(world, e));
        Extended largest = 0, difference = 0;
        for (int i = 1; i <= MaxTaons; ++i) {
            largest = std::max({largest, std::fabs(e.X[i]), std::fabs(e.Y[i]), std::fabs(e.Z[i])});
            difference = std::max({difference, std::fabs(v.X[i] - e.X[i]), std::fabs(v.Y[i] - e.Y[i]),
                                   std::fabs(v.Z[i] - e.Z[i])});
        }
        EXPECT_GT(difference, 0) << "the two arithmetics should round differently";
        EXPECT_LE(difference, 1e-17L * largest);
    }
}

} // namespace
} // namespace taonscope
