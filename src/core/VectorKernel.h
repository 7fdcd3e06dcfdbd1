// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace taonscope {

/// A number as the unevaluated sum hi + lo of two doubles (about 106 bits).
struct DoubleDouble {
    double hi, lo;
};

// The fast law's arithmetic four pairs at a time, in double-double arithmetic on AVX2 and FMA
// instructions. Call these only when VectorKernelSupported().

/// True when this processor has AVX2 and FMA.
bool VectorKernelSupported();

/// The positions of the present taons in their order, as sums of two doubles (exactly), each
/// coordinate at most 1e100 in magnitude. The lanes past the last taon read the room after it, which
/// must hold such numbers too (0 will do).
struct VectorPositions {
    static constexpr int Capacity = 104;
    alignas(32) double xHi[Capacity], xLo[Capacity], yHi[Capacity], yLo[Capacity], zHi[Capacity],
        zLo[Capacity];
};

/// The values the terms take from the pairs of one taon with the taons after it, by the partner's
/// place in the order: d and 1/d within 2^-100 of themselves, d^18 and d^20 within 2^-98, ln d within
/// 2^-78 of itself or of 1 where it is smaller. `inRange` is 1 where d^2 lies between 1e-28 and 1e28
/// and 0 elsewhere, where the values are not computed and nothing overflows or divides by zero.
struct RowPairs {
    static constexpr int Capacity = VectorPositions::Capacity;
    alignas(32) double dHi[Capacity], dLo[Capacity], lnDHi[Capacity], lnDLo[Capacity];
    alignas(32) double inverseDHi[Capacity], inverseDLo[Capacity];
    alignas(32) double d18Hi[Capacity], d18Lo[Capacity], d20Hi[Capacity], d20Lo[Capacity];
    alignas(32) double inRange[Capacity];
};

/// The pairs of taon `row` with taons row + 1 .. count - 1.
void ComputeRowPairs(const VectorPositions& positions, int row, int count, RowPairs& pairs);

/// A batch of terms exp(E) g. Each takes the values of its pair (ln d, 1/d, d^18, d^20) and of its
/// shell (ln k, 10/k, 200 k^19, k^20):
///   outer = (2.5 - k^20 d^20) (10/k) (1/d),  E = outer ln w,  g = (1 - ln w) outer / d - ln w 200 k^19 d^18
/// with ln w = ln k + ln d, and gives exp(E) g = (termHi + termLo) 2^scale, within about 2^-70 of
/// itself. (The well is the term with k^20 = 200 k^19 = 0 and 10/k = (75/0.09) / 2.5, ln k = ln 0.09.)
/// The inputs must keep |E| below 20000 and every product within the normal range of doubles.
struct TermBatch {
    static constexpr int Capacity = 128; // a multiple of 4

    alignas(32) double lnDHi[Capacity], lnDLo[Capacity], inverseDHi[Capacity], inverseDLo[Capacity];
    alignas(32) double d18Hi[Capacity], d18Lo[Capacity], d20Hi[Capacity], d20Lo[Capacity];
    alignas(32) double lnKHi[Capacity], lnKLo[Capacity], tenOverKHi[Capacity], tenOverKLo[Capacity];
    alignas(32) double k19Hi[Capacity], k19Lo[Capacity], k20Hi[Capacity], k20Lo[Capacity];
    alignas(32) double termHi[Capacity], termLo[Capacity];
    alignas(32) int scale[Capacity];
    int count = 0;
};

/// termHi, termLo and scale of the first `count` terms.
void ComputeTerms(TermBatch& terms);

} // namespace taonscope
