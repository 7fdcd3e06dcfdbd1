// SPDX-License-Identifier: GPL-3.0-or-later
// ExpExtended and LogExtended against quadruple-precision references (libquadmath) on millions of
// arguments, and against values computed with mpmath (tests/core/make_exp_log_table.py).
#include "core/ExtendedMath.h"
#include "core/FpTrap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

extern "C" {
#include <quadmath.h>
}

namespace taonscope {
namespace {

// The error bound both functions are stated to keep, in units in the last place of the exact value.
constexpr double StatedUlps = 1.0;

struct ExactValue {
    Extended argument;
    const char* digits;
};
#include "ExpLogValues.inc"

// |got - exact| in units of the last place of exact in the extended format (denormals: 2^-16445).
double UlpError(Extended got, __float128 exact) {
    if (exact == 0) return got == 0 ? 0 : std::numeric_limits<double>::infinity();
    int e = 0;
    frexpq(fabsq(exact), &e); // exact = f 2^e, f in [1/2, 1): the ulp is 2^(e - 64)
    const __float128 ulp = ldexpq(1, std::max(e - 64, -16445));
    return static_cast<double>(fabsq(static_cast<__float128>(got) - exact) / ulp);
}

// Largest error of f against reference over the arguments drawn by next.
template <typename F, typename R, typename Next> double WorstError(F f, R reference, Next next, int count) {
    double worst = 0;
    for (int n = 0; n < count; ++n) {
        const Extended x = next();
        const double error = UlpError(f(x), reference(static_cast<__float128>(x)));
        if (!(error <= worst)) {
            worst = error;
            if (!(error <= StatedUlps))
                ADD_FAILURE() << "argument " << static_cast<double>(x) << ": " << error;
        }
    }
    return worst;
}

// Random extended numbers with every bit of the significand random, uniform in [low, high].
class Arguments {
public:
    explicit Arguments(unsigned seed) : random_(seed) {}
    Extended Uniform(Extended low, Extended high) {
        const Extended fraction = static_cast<Extended>(random_()) * 0x1p-64L;
        return low + (high - low) * fraction;
    }
    // A positive number with a random 64-bit significand and a binary exponent in [low, high].
    Extended Scattered(int low, int high) {
        const Extended m = static_cast<Extended>(random_() | std::uint64_t{1} << 63) * 0x1p-63L;
        return std::ldexp(m, std::uniform_int_distribution<int>(low, high)(random_));
    }

private:
    std::mt19937_64 random_;
};

const auto Exp = [](Extended x) { return ExpExtended(x); };
const auto Log = [](Extended x) { return LogExtended(x); };
const auto ExpQ = [](__float128 x) { return expq(x); };
const auto LogQ = [](__float128 x) { return logq(x); };

TEST(ExtendedMath, ExpKeepsItsBoundOnMillionsOfArguments) {
    Arguments a(1);
    double worst = 0;
    worst = std::max(worst, WorstError(
                                Exp, ExpQ, [&] { return a.Uniform(-11399.5L, 11356); }, 600000));
    worst = std::max(worst, WorstError(
                                Exp, ExpQ, [&] { return a.Uniform(-60, 60); }, 600000));
    worst = std::max(worst, WorstError(
                                Exp, ExpQ, [&] { return a.Uniform(-0.01L, 0.01L); }, 200000));
    // Results in the denormal range, down to the smallest denormal.
    worst = std::max(worst, WorstError(
                                Exp, ExpQ, [&] { return a.Uniform(-11399.49L, -11354); }, 300000));
    // Arguments near multiples of ln2/256, where the reduction changes its table entry.
    worst = std::max(worst, WorstError(
                                Exp, ExpQ,
                                [&] {
                                    const Extended k = std::round(a.Uniform(-4000000, 4000000));
                                    return k * (0xB17217F7D1CF79ACp-71L / 256) + a.Uniform(-1e-12L, 1e-12L);
                                },
                                300000));
    EXPECT_LE(worst, StatedUlps);
    RecordProperty("worst_exp_ulps", std::to_string(worst));
}

TEST(ExtendedMath, LogKeepsItsBoundOnMillionsOfArguments) {
    Arguments a(2);
    double worst = 0;
    worst = std::max(worst, WorstError(
                                Log, LogQ, [&] { return a.Scattered(-16382, 16383); }, 600000));
    worst = std::max(worst, WorstError(
                                Log, LogQ, [&] { return a.Scattered(-3, 3); }, 600000));
    worst = std::max(worst, WorstError(
                                Log, LogQ, [&] { return 1 + a.Uniform(-0.02L, 0.02L); }, 300000));
    worst = std::max(worst, WorstError(
                                Log, LogQ, [&] { return a.Uniform(1e-5L, 60); }, 200000)); // distances
    // Denormal arguments.
    worst = std::max(worst, WorstError(
                                Log, LogQ, [&] { return a.Scattered(-16445, -16383); }, 100000));
    EXPECT_LE(worst, StatedUlps);
    RecordProperty("worst_log_ulps", std::to_string(worst));
}

TEST(ExtendedMath, AgreesWithValuesComputedWithMpmath) {
    for (const ExactValue& v : ExpValues) {
        const __float128 exact = strtoflt128(v.digits, nullptr);
        EXPECT_LE(UlpError(ExpExtended(v.argument), exact), StatedUlps) << v.digits;
        // The quadruple-precision reference itself is far closer than the bound.
        EXPECT_LE(fabsq(expq(v.argument) - exact), fabsq(exact) * static_cast<__float128>(1e-30L))
            << v.digits;
    }
    for (const ExactValue& v : LogValues) {
        const __float128 exact = strtoflt128(v.digits, nullptr);
        EXPECT_LE(UlpError(LogExtended(v.argument), exact), StatedUlps) << v.digits;
        EXPECT_LE(fabsq(logq(v.argument) - exact),
                  fabsq(exact) * static_cast<__float128>(1e-30L) + static_cast<__float128>(1e-40L))
            << v.digits;
    }
}

TEST(ExtendedMath, ExactValuesAndPowersOfTwo) {
    EXPECT_EQ(ExpExtended(0), 1);
    EXPECT_EQ(ExpExtended(-0.0L), 1);
    EXPECT_EQ(LogExtended(1), 0);
    EXPECT_FALSE(std::signbit(LogExtended(1)));
    for (int k = -16445; k <= 16383; ++k) {
        const Extended x = std::ldexp(1.0L, k);
        const Extended got = LogExtended(x);
        ASSERT_LE(UlpError(got, k * logq(2)), StatedUlps) << "2^" << k;
    }
    // e^(k ln2) for the extended nearest to k ln2 is within the bound of 2^k times the small correction.
    EXPECT_EQ(ExpExtended(LogExtended(2)), 2);
}

TEST(ExtendedMath, UnderflowGivesDenormalsThenZero) {
    const Extended smallestDenormal = std::numeric_limits<Extended>::denorm_min();
    EXPECT_EQ(ExpExtended(extended_math::ExpSmallest), smallestDenormal);
    EXPECT_EQ(ExpExtended(std::nextafter(extended_math::ExpSmallest, -20000.0L)), 0);
    EXPECT_EQ(ExpExtended(-11500), 0);
    EXPECT_EQ(ExpExtended(-std::numeric_limits<Extended>::infinity()), 0);
    const Extended denormal = ExpExtended(-11370);
    EXPECT_GT(denormal, 0);
    EXPECT_LT(denormal, LDBL_MIN);
    EXPECT_EQ(LogExtended(smallestDenormal), -16445 * logl(2)); // within rounding of the exact value
}

// A caller that has the double nearest the argument at hand gets the same value and the same flags, on
// both sides of each end of the own range.
TEST(ExtendedMath, ExpWithTheNearestDoubleIsTheSameFunction) {
    Arguments a(3);
    std::vector<Extended> arguments = {0,
                                       -0.0L,
                                       11356,
                                       11357,
                                       -11400,
                                       -11500,
                                       extended_math::ExpSmallest,
                                       std::numeric_limits<Extended>::infinity(),
                                       -std::numeric_limits<Extended>::infinity(),
                                       std::numeric_limits<Extended>::quiet_NaN()};
    for (const Extended edge : {11356.0L, -11400.0L}) { // the 64 extended numbers on either side
        Extended above = edge, below = edge;
        for (int k = 0; k < 64; ++k) {
            above = std::nextafter(above, 20000.0L), below = std::nextafter(below, -20000.0L);
            arguments.insert(arguments.end(), {above, below});
        }
    }
    for (int n = 0; n < 100000; ++n) arguments.push_back(a.Uniform(-11500, 11400));
    for (const Extended x : arguments) {
        ClearFpFlags();
        const Extended alone = ExpExtended(x);
        const FpFault aloneFault = PendingFpFault();
        const double nearX = static_cast<double>(x);
        ClearFpFlags();
        const Extended withDouble = ExpExtended(x, nearX);
        EXPECT_EQ(PendingFpFault(), aloneFault) << static_cast<double>(x);
        EXPECT_TRUE(alone == withDouble || (std::isnan(alone) && std::isnan(withDouble)))
            << static_cast<double>(x);
    }
}

// The largest arguments and the values outside each function's range behave as the library's, flags
// included, so that a fault met there is the fault the reference law meets.
TEST(ExtendedMath, OverflowAndInvalidArgumentsRaiseTheLibrarysFlags) {
    volatile Extended largestFinite = std::nextafter(std::log(LDBL_MAX), 0.0L); // volatile: not folded
    ClearFpFlags();
    EXPECT_TRUE(std::isfinite(ExpExtended(largestFinite)));
    volatile Extended ownLargest = extended_math::ExpOwnLargest;
    EXPECT_TRUE(std::isfinite(ExpExtended(ownLargest)));
    EXPECT_LE(UlpError(ExpExtended(extended_math::ExpOwnLargest), expq(11356)), StatedUlps);
    EXPECT_EQ(PendingFpFault(), FpFault::None);

    volatile Extended tooLarge = 11357;
    EXPECT_EQ(ExpExtended(tooLarge), std::numeric_limits<Extended>::infinity());
    EXPECT_EQ(PendingFpFault(), FpFault::Overflow);
    ClearFpFlags();
    volatile Extended notANumber = std::numeric_limits<Extended>::quiet_NaN(); // not folded away
    EXPECT_TRUE(std::isnan(ExpExtended(notANumber)));
    EXPECT_TRUE(std::isnan(LogExtended(notANumber)));
    EXPECT_EQ(ExpExtended(std::numeric_limits<Extended>::infinity()),
              std::numeric_limits<Extended>::infinity());
    EXPECT_EQ(PendingFpFault(), FpFault::None);

    volatile Extended zero = 0, negative = -1;
    EXPECT_EQ(LogExtended(zero), -std::numeric_limits<Extended>::infinity());
    EXPECT_EQ(PendingFpFault(), FpFault::DivisionByZero);
    ClearFpFlags();
    EXPECT_TRUE(std::isnan(LogExtended(negative)));
    EXPECT_EQ(PendingFpFault(), FpFault::InvalidOperation);
    ClearFpFlags();
    volatile Extended largest = LDBL_MAX;
    EXPECT_EQ(LogExtended(largest), std::log(LDBL_MAX));
    EXPECT_EQ(PendingFpFault(), FpFault::None);
}

} // namespace
} // namespace taonscope
