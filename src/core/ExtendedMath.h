// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Extended.h"
#include "ExtendedMathTables.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace taonscope {

namespace extended_math {

// The significand (with its explicit integer bit) and the biased exponent of an extended number.
inline std::uint64_t SignificandOf(Extended x) {
    std::uint64_t significand = 0;
    std::memcpy(&significand, &x, sizeof significand);
    return significand;
}
inline int BiasedExponentOf(Extended x) {
    std::uint16_t exponent = 0;
    std::memcpy(&exponent, reinterpret_cast<const unsigned char*>(&x) + 8, sizeof exponent);
    return exponent & 0x7FFF;
}

/// 2^e for e in -16382..16383, built from its bits.
inline Extended PowerOfTwo(int e) {
    const std::uint64_t significand = std::uint64_t{1} << 63;
    const auto exponent = static_cast<std::uint16_t>(e + 16383);
    unsigned char bytes[sizeof(Extended)] = {};
    std::memcpy(bytes, &significand, sizeof significand);
    std::memcpy(bytes + 8, &exponent, sizeof exponent);
    Extended value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

/// 2^e for e in -1022..1023 as a double, built from its bits.
inline double DoublePowerOfTwo(int e) {
    const std::uint64_t bits = static_cast<std::uint64_t>(e + 1023) << 52;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

/// y 2^m rounded once, for y in the range of doubles and |m| <= 32000.
inline Extended ScaledByPowerOfTwo(Extended y, int m) {
    if (m >= -1022 && m <= 1023) return y * DoublePowerOfTwo(m);
    if (m >= -16382 && m <= 16383) return y * PowerOfTwo(m);
    return (y * PowerOfTwo(m / 2)) * PowerOfTwo(m - m / 2); // the first product is exact
}

// 1.5 * 2^52: adding it rounds a double below 2^51 in magnitude to an integer, which then stands in the
// low bits of the sum's significand.
inline constexpr double Shifter = 0x1.8p52;

// Above this, ExpExtended hands over to std::exp so that overflow is met exactly as there.
inline constexpr Extended ExpOwnLargest = 11356;

} // namespace extended_math

namespace extended_math {

/// The part of ExpExtended for -11400 < x < 11356, given nearX, the double nearest x.
inline Extended ExpInRange(Extended x, double nearX) {
    // n = x / (ln2/256) rounded (in double: being off by one only widens |r| a little), r = x - n ln2/256.
    const double shifted = nearX * InverseStep + Shifter;
    std::uint64_t shiftedBits;
    std::memcpy(&shiftedBits, &shifted, sizeof shiftedBits);
    const auto n = static_cast<std::int32_t>(static_cast<std::uint32_t>(shiftedBits));
    const Extended kd = shifted - Shifter;
    const Extended r = (x - kd * StepHi) - kd * StepLo;
    const int j = n & 255;
    const int m = n >> 8;
    const Extended r2 = r * r;
    const Extended p = r + r2 * ((0.5 + r * (1.0 / 6)) + r2 * ((1.0 / 24) + r * (1.0 / 120)));
    // 2^(j/256) e^r = hi + ((hi + lo) p + lo): lo p matters at this precision, as lo reaches 2^-54.
    const Extended table = static_cast<Extended>(ExpTableHi[j]) + ExpTableLo[j];
    const Extended y = ExpTableHi[j] + (table * p + ExpTableLo[j]);
    return ScaledByPowerOfTwo(y, m); // one rounding, into the denormals where the result is one
}

} // namespace extended_math

/// e^x in extended precision, within 1 ulp (error bound stated and tested in ExtendedMathTest): x is
/// reduced to n ln2/256 + r with |r| <= ln2/512 (n ln2/256 exact in two parts), e^r by a polynomial of
/// degree 5 and 2^(n/256) from a table of pairs of doubles (which load quicker than extended numbers).
/// Results below the normal range are rounded once, arguments below the smallest whose exp rounds above 0
/// give +0 (no flag raised). Arguments above 11356, infinities and NaN go to std::exp, so overflow raises the
/// same flags as there.
inline Extended ExpExtended(Extended x) {
    // Quiet comparisons: a NaN raises no flag here, as it raises none in std::exp.
    if (!std::islessequal(x, extended_math::ExpOwnLargest)) return std::exp(x);
    if (std::isless(x, -11400.0L))
        return 0; // below ExpSmallest: the rounding below gives 0 down to here as well
    return extended_math::ExpInRange(x, static_cast<double>(x));
}

/// ExpExtended(x) for a caller that has nearX, the double nearest x, at hand: the same value, with the
/// range told from nearX (strictly inside the range, x is inside it too).
inline Extended ExpExtended(Extended x, double nearX) {
    // Quiet comparisons, as in ExpExtended(x).
    if (std::isgreater(nearX, -11400.0) &&
        std::isless(nearX, static_cast<double>(extended_math::ExpOwnLargest)))
        return extended_math::ExpInRange(x, nearX);
    return ExpExtended(x);
}

namespace extended_math {

/// The part of LogExtended after e and j are chosen: ln(2^e m) with |m - j/256| <= 1/512 (1 + 2^-50).
inline Extended LogOf(int e, int j, Extended m) {
    // Near 1 the table entry is 1 itself, so that ln(j/256) and u cannot cancel.
    if (j >= 255 && j <= 257) j = 256;
    const double entry = j * 0x1p-8;
    const Extended u = (m - entry) / entry;      // m - j/256 is exact
    const auto scale = static_cast<Extended>(e); // the products and sums are taken in extended precision
    const Extended hi = scale * Ln2Hi + LogTableHi[j - LogTableFirst];
    const Extended lo = scale * Ln2Lo + LogTableLo[j - LogTableFirst];
    const Extended u2 = u * u;
    const Extended u4 = u2 * u2;
    const Extended p = ((-0.5 + u * (1.0 / 3)) + u2 * (-0.25 + u * (1.0 / 5))) +
                       u4 * (((-1.0 / 6) + u * (1.0 / 7)) + u2 * ((-1.0 / 8) + u * (1.0 / 9)));
    // hi + u with its rounding error (|hi| >= |u| unless hi = 0), so that u is rounded only once.
    const Extended sum = hi + u;
    const Extended error = (hi - sum) + u;
    return sum + (error + (u2 * p + lo));
}

/// LogExtended outside [2^-1020, 2^1020]: e and j from the bits of x itself; zero, negative, infinite
/// and NaN arguments go to std::log.
Extended LogOutsideDoubleRange(Extended x);

} // namespace extended_math

/// ln x in extended precision, within 1 ulp (tested in ExtendedMathTest): x = 2^e m with m in about
/// [sqrt(1/2), sqrt 2), ln m = ln(j/256) + log1p(u), u = (m - j/256) / (j/256) formed with one rounding,
/// ln(j/256) + u summed with its error, log1p by a polynomial of degree 9 (|u| < 0.0059), e ln2 +
/// ln(j/256) exact in their high parts. Zero, negative, infinite and NaN arguments go to std::log, so
/// the flags raised are the same as there.
inline Extended LogExtended(Extended x) {
    using namespace extended_math;
    if (!(std::isgreaterequal(x, 0x1p-1020L) && std::islessequal(x, 0x1p1020L))) // quiet: NaN raises no flag
        return LogOutsideDoubleRange(x);
    // e and j from the double nearest x, which is quicker to take apart than x itself; any e and j that
    // leave m within [0.7, 1.42) and |m - j/256| <= 1/512 (1 + 2^-50) do.
    const double rough = static_cast<double>(x);
    std::uint64_t bits;
    std::memcpy(&bits, &rough, sizeof bits);
    const int e = static_cast<int>(bits >> 52) - 1023 + ((bits & 0xFFFFFFFFFFFFFu) >= 0x6A09E667F3BCDu);
    const double scale = DoublePowerOfTwo(-e);
    const double scaled = rough * scale * 256 + Shifter;
    std::memcpy(&bits, &scaled, sizeof bits);
    return LogOf(e, static_cast<int>(static_cast<std::uint32_t>(bits)), x * scale);
}

} // namespace taonscope
