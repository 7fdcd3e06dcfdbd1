// SPDX-License-Identifier: GPL-3.0-or-later
#include "VectorKernel.h"

#include "ExtendedMathTables.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

// Only the functions marked VECTOR_TARGET use AVX2 and FMA, and the law calls them only on processors
// that have both: nothing else in the program is compiled for them.
#define VECTOR_TARGET __attribute__((target("avx2,fma")))
#define VECTOR_FUNCTION VECTOR_TARGET static inline

namespace taonscope {

namespace {

using V = __m256d;

struct DD {
    V hi, lo;
};

VECTOR_FUNCTION V Splat(double x) {
    return _mm256_set1_pd(x);
}

// a + b = s + e exactly, given |a| >= |b| or a = 0.
VECTOR_FUNCTION DD FastTwoSum(V a, V b) {
    const V s = _mm256_add_pd(a, b);
    return {s, _mm256_sub_pd(b, _mm256_sub_pd(s, a))};
}

// a + b = s + e exactly.
VECTOR_FUNCTION DD TwoSum(V a, V b) {
    const V s = _mm256_add_pd(a, b);
    const V bb = _mm256_sub_pd(s, a);
    return {s, _mm256_add_pd(_mm256_sub_pd(a, _mm256_sub_pd(s, bb)), _mm256_sub_pd(b, bb))};
}

VECTOR_FUNCTION DD Add(DD a, DD b) {
    const DD s = TwoSum(a.hi, b.hi);
    return FastTwoSum(s.hi, _mm256_add_pd(s.lo, _mm256_add_pd(a.lo, b.lo)));
}

// c - b for a double c.
VECTOR_FUNCTION DD SubtractFrom(V c, DD b) {
    const DD s = TwoSum(c, _mm256_sub_pd(_mm256_setzero_pd(), b.hi));
    return FastTwoSum(s.hi, _mm256_sub_pd(s.lo, b.lo));
}

VECTOR_FUNCTION DD Subtract(DD a, DD b) {
    return Add(a, {_mm256_sub_pd(_mm256_setzero_pd(), b.hi), _mm256_sub_pd(_mm256_setzero_pd(), b.lo)});
}

VECTOR_FUNCTION DD Multiply(DD a, DD b) {
    const V p = _mm256_mul_pd(a.hi, b.hi);
    V e = _mm256_fmsub_pd(a.hi, b.hi, p); // the rounding error of p, exactly
    e = _mm256_fmadd_pd(a.hi, b.lo, e);
    e = _mm256_fmadd_pd(a.lo, b.hi, e);
    return FastTwoSum(p, e);
}

VECTOR_FUNCTION DD Load(const double* hi, const double* lo, int i) {
    return {_mm256_load_pd(hi + i), _mm256_load_pd(lo + i)};
}

// ln2/256 in three parts, the first two of 30 bits: n times either is exact for |n| < 2^23.
constexpr double StepPart1 = 0x1.62e42fe8p-9, StepPart2 = 0x1.e8e7bcdp-39, StepPart3 = 0x1.793c7673007e6p-69;

// exp(x) = (hi + lo) 2^scale for |x| < 20000: x = n ln2/256 + r, |r| <= ln2/512 (1 + 2^-40), e^r by
// its Taylor polynomial (the terms from r^2 on in double, below 2^-19 of the result), 2^(n/256) from
// the table of 106-bit values.
VECTOR_FUNCTION DD Exp(DD x, __m128i& scale) {
    const V shifter = Splat(0x1.8p52);
    const V shifted = _mm256_fmadd_pd(x.hi, Splat(extended_math::InverseStep), shifter);
    const V n = _mm256_sub_pd(shifted, shifter);
    // The low 32 bits of each shifted value are n.
    const __m128i n32 = _mm256_castsi256_si128(
        _mm256_permutevar8x32_epi32(_mm256_castpd_si256(shifted), _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
    const __m128i j = _mm_and_si128(n32, _mm_set1_epi32(255));
    scale = _mm_srai_epi32(n32, 8);

    // r = x - n ln2/256: x.hi - n StepPart1 is exact (Sterbenz), n StepPart2 too.
    const V first = _mm256_fnmadd_pd(n, Splat(StepPart1), x.hi);
    const DD r0 = TwoSum(first, _mm256_mul_pd(n, Splat(-StepPart2)));
    const DD r = FastTwoSum(r0.hi, _mm256_add_pd(r0.lo, _mm256_fnmadd_pd(n, Splat(StepPart3), x.lo)));

    // e^r - 1 = r + q, q = r^2 (1/2 + r/6 + ... + r^4/720) + r.hi r.lo.
    V poly = _mm256_fmadd_pd(r.hi, Splat(1.0 / 720), Splat(1.0 / 120));
    poly = _mm256_fmadd_pd(r.hi, poly, Splat(1.0 / 24));
    poly = _mm256_fmadd_pd(r.hi, poly, Splat(1.0 / 6));
    poly = _mm256_fmadd_pd(r.hi, poly, Splat(0.5));
    const V q = _mm256_fmadd_pd(_mm256_mul_pd(r.hi, r.hi), poly, _mm256_mul_pd(r.hi, r.lo));

    // 2^(j/256) e^r = T + T r.hi + (T (r.lo + q) + T.lo (1 + ...)), with T r.hi's rounding error kept.
    const V all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    const V tHi = _mm256_mask_i32gather_pd(_mm256_setzero_pd(), extended_math::ExpTableHi, j, all, 8);
    const V tLo = _mm256_mask_i32gather_pd(_mm256_setzero_pd(), extended_math::ExpTableLo, j, all, 8);
    const V a = _mm256_mul_pd(tHi, r.hi);
    const V aError = _mm256_fmsub_pd(tHi, r.hi, a);
    const DD s = FastTwoSum(tHi, a);
    const V small = _mm256_add_pd(r.lo, q);
    V rest = _mm256_fmadd_pd(tHi, small, aError);
    rest = _mm256_fmadd_pd(tLo, _mm256_add_pd(Splat(1), _mm256_add_pd(r.hi, small)), rest);
    return FastTwoSum(s.hi, _mm256_add_pd(s.lo, rest));
}

VECTOR_FUNCTION DD Square(DD a) {
    const V p = _mm256_mul_pd(a.hi, a.hi);
    const V e = _mm256_fmadd_pd(_mm256_add_pd(a.hi, a.hi), a.lo, _mm256_fmsub_pd(a.hi, a.hi, p));
    return FastTwoSum(p, e);
}

// ln 2 = Ln2Part1 + Ln2Part2, the first of 40 bits: e Ln2Part1 is exact for |e| < 2^13.
constexpr double Ln2Part1 = 0x1.62e42fefa2p-1, Ln2Part2 = 0x1.9ef35793c7673p-41;

// ln x for x.hi a normal double: x.hi = 2^e m, m about in [sqrt(1/2), sqrt 2), c = j/256 next to m,
// ln x = e ln2 + ln c + log1p((m - c) / c) + x.lo / x.hi, log1p by its Taylor polynomial of degree 9
// (|u| < 2^-8.4) with u and u^2 as double-doubles and the terms from u^3 on in double.
VECTOR_FUNCTION DD Log(DD x) {
    const __m256i bits = _mm256_castpd_si256(x.hi);
    const __m256i mantissa = _mm256_and_si256(bits, _mm256_set1_epi64x(0xFFFFFFFFFFFFF));
    // e, with m below sqrt 2: one more where the significand passes sqrt 2.
    __m256i e = _mm256_sub_epi64(_mm256_srli_epi64(bits, 52), _mm256_set1_epi64x(1023));
    e = _mm256_sub_epi64(e, _mm256_cmpgt_epi64(mantissa, _mm256_set1_epi64x(0x6A09E667F3BCC)));
    const V m = _mm256_castsi256_pd(_mm256_sub_epi64(bits, _mm256_slli_epi64(e, 52)));
    const V shifter = Splat(0x1.8p52);
    const V shifted = _mm256_fmadd_pd(m, Splat(256), shifter);
    const V c = _mm256_mul_pd(_mm256_sub_pd(shifted, shifter), Splat(0x1p-8));
    const __m128i j = _mm256_castsi256_si128(
        _mm256_permutevar8x32_epi32(_mm256_castpd_si256(shifted), _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
    const __m128i e32 =
        _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(e, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
    const V eD = _mm256_cvtepi32_pd(e32);

    // u = (m - c) / c, m - c exact; then the part of log1p beyond u.
    const V f = _mm256_sub_pd(m, c);
    const V uHi = _mm256_div_pd(f, c);
    const V uLo = _mm256_div_pd(_mm256_fnmadd_pd(uHi, c, f), c);
    const V u2 = _mm256_mul_pd(uHi, uHi);
    const V u2Error = _mm256_fmsub_pd(uHi, uHi, u2);
    V poly = _mm256_fmadd_pd(uHi, Splat(1.0 / 9), Splat(-1.0 / 8));
    poly = _mm256_fmadd_pd(uHi, poly, Splat(1.0 / 7));
    poly = _mm256_fmadd_pd(uHi, poly, Splat(-1.0 / 6));
    poly = _mm256_fmadd_pd(uHi, poly, Splat(1.0 / 5));
    poly = _mm256_fmadd_pd(uHi, poly, Splat(-1.0 / 4));
    poly = _mm256_fmadd_pd(uHi, poly, Splat(1.0 / 3));
    // log1p(u) - u = -u^2/2 + u^3 poly: u^2 = u2 + u2Error + 2 uHi uLo.
    const V beyond = _mm256_fmadd_pd(_mm256_mul_pd(u2, uHi), poly,
                                     _mm256_fnmadd_pd(uHi, uLo, _mm256_mul_pd(u2Error, Splat(-0.5))));
    const DD log1p = Add({uHi, uLo}, {_mm256_mul_pd(u2, Splat(-0.5)), beyond});

    const __m128i index = _mm_sub_epi32(j, _mm_set1_epi32(extended_math::LogTableFirst));
    const V all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    const V tableHi = _mm256_mask_i32gather_pd(_mm256_setzero_pd(), extended_math::LogTableHi, index, all, 8);
    const V tableLo = _mm256_mask_i32gather_pd(_mm256_setzero_pd(), extended_math::LogTableLo, index, all, 8);
    const DD whole = TwoSum(_mm256_mul_pd(eD, Splat(Ln2Part1)), tableHi);
    const V small = _mm256_fmadd_pd(eD, Splat(Ln2Part2), _mm256_add_pd(tableLo, _mm256_div_pd(x.lo, x.hi)));
    return Add(FastTwoSum(whole.hi, _mm256_add_pd(whole.lo, small)), log1p);
}

} // namespace

VECTOR_TARGET void ComputeRowPairs(const VectorPositions& p, int row, int count, RowPairs& out) {
    const V smallest = Splat(1e-28), largest = Splat(1e28), one = Splat(1);
    const DD ax = {Splat(p.xHi[row]), Splat(p.xLo[row])}, ay = {Splat(p.yHi[row]), Splat(p.yLo[row])},
             az = {Splat(p.zHi[row]), Splat(p.zLo[row])};
    for (int i = row + 1; i < count; i += 4) {
        const DD dx = Subtract(ax, {_mm256_loadu_pd(p.xHi + i), _mm256_loadu_pd(p.xLo + i)});
        const DD dy = Subtract(ay, {_mm256_loadu_pd(p.yHi + i), _mm256_loadu_pd(p.yLo + i)});
        const DD dz = Subtract(az, {_mm256_loadu_pd(p.zHi + i), _mm256_loadu_pd(p.zLo + i)});
        DD d2 = Add(Square(dz), Add(Square(dy), Square(dx)));
        // Lanes outside the range compute with 1 instead, so that nothing overflows or divides by 0.
        const V inRange = _mm256_and_pd(_mm256_cmp_pd(d2.hi, smallest, _CMP_GE_OQ),
                                        _mm256_cmp_pd(d2.hi, largest, _CMP_LE_OQ));
        d2 = {_mm256_blendv_pd(one, d2.hi, inRange), _mm256_and_pd(d2.lo, inRange)};
        // d = sqrt(d2): the root of d2.hi corrected by (d2 - root^2) / (2 root).
        const V root = _mm256_sqrt_pd(d2.hi);
        const V residual = _mm256_add_pd(_mm256_fnmadd_pd(root, root, d2.hi), d2.lo);
        const DD d = FastTwoSum(root, _mm256_div_pd(residual, _mm256_add_pd(root, root)));
        // 1/d: q corrected by q (1 - q d).
        const V q = _mm256_div_pd(one, d.hi);
        const V error = _mm256_fnmadd_pd(q, d.lo, _mm256_fnmadd_pd(q, d.hi, one));
        const DD inverseD = FastTwoSum(q, _mm256_mul_pd(q, error));
        const DD lnD2 = Log(d2);
        const DD d4 = Square(d2), d16 = Square(Square(d4));
        const DD d18 = Multiply(d16, d2), d20 = Multiply(d16, d4);
        _mm256_storeu_pd(out.dHi + i, d.hi), _mm256_storeu_pd(out.dLo + i, d.lo);
        _mm256_storeu_pd(out.lnDHi + i, _mm256_mul_pd(lnD2.hi, Splat(0.5)));
        _mm256_storeu_pd(out.lnDLo + i, _mm256_mul_pd(lnD2.lo, Splat(0.5)));
        _mm256_storeu_pd(out.inverseDHi + i, inverseD.hi), _mm256_storeu_pd(out.inverseDLo + i, inverseD.lo);
        _mm256_storeu_pd(out.d18Hi + i, d18.hi), _mm256_storeu_pd(out.d18Lo + i, d18.lo);
        _mm256_storeu_pd(out.d20Hi + i, d20.hi), _mm256_storeu_pd(out.d20Lo + i, d20.lo);
        _mm256_storeu_pd(out.inRange + i, _mm256_and_pd(inRange, one));
    }
}

bool VectorKernelSupported() {
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

VECTOR_TARGET void ComputeTerms(TermBatch& t) {
    // The lanes past the last term repeat it, so that every lane computes with values like its own.
    for (int i = t.count; i % 4 != 0; ++i) {
        t.lnDHi[i] = t.lnDHi[i - 1], t.lnDLo[i] = t.lnDLo[i - 1];
        t.inverseDHi[i] = t.inverseDHi[i - 1], t.inverseDLo[i] = t.inverseDLo[i - 1];
        t.d18Hi[i] = t.d18Hi[i - 1], t.d18Lo[i] = t.d18Lo[i - 1];
        t.d20Hi[i] = t.d20Hi[i - 1], t.d20Lo[i] = t.d20Lo[i - 1];
        t.lnKHi[i] = t.lnKHi[i - 1], t.lnKLo[i] = t.lnKLo[i - 1];
        t.tenOverKHi[i] = t.tenOverKHi[i - 1], t.tenOverKLo[i] = t.tenOverKLo[i - 1];
        t.k19Hi[i] = t.k19Hi[i - 1], t.k19Lo[i] = t.k19Lo[i - 1];
        t.k20Hi[i] = t.k20Hi[i - 1], t.k20Lo[i] = t.k20Lo[i - 1];
    }
    const V one = Splat(1);
    for (int i = 0; i < t.count; i += 4) {
        const DD inverseD = Load(t.inverseDHi, t.inverseDLo, i);
        const DD lnW = Add(Load(t.lnKHi, t.lnKLo, i), Load(t.lnDHi, t.lnDLo, i));
        const DD w20 = Multiply(Load(t.k20Hi, t.k20Lo, i), Load(t.d20Hi, t.d20Lo, i));
        const DD outer =
            Multiply(SubtractFrom(Splat(2.5), w20), Multiply(Load(t.tenOverKHi, t.tenOverKLo, i), inverseD));
        const DD exponent = Multiply(outer, lnW);
        const DD factor =
            Subtract(Multiply(SubtractFrom(one, lnW), Multiply(outer, inverseD)),
                     Multiply(lnW, Multiply(Load(t.k19Hi, t.k19Lo, i), Load(t.d18Hi, t.d18Lo, i))));
        __m128i scale;
        const DD term = Multiply(Exp(exponent, scale), factor);
        _mm256_store_pd(t.termHi + i, term.hi);
        _mm256_store_pd(t.termLo + i, term.lo);
        _mm_store_si128(reinterpret_cast<__m128i*>(t.scale + i), scale);
    }
}

} // namespace taonscope

#else // elsewhere the law computes in extended arithmetic only

namespace taonscope {

bool VectorKernelSupported() {
    return false;
}
void ComputeRowPairs(const VectorPositions&, int, int, RowPairs&) {}
void ComputeTerms(TermBatch&) {}

} // namespace taonscope

#endif
