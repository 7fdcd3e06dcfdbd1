// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace taonscope {

/// A number as the unevaluated sum hi + lo of two doubles (about 106 bits).
struct DoubleDouble {
    double hi, lo;
};

/// A batch of shell terms exp(E) g of the fast law, computed four at a time in double-double
/// arithmetic with AVX2 and FMA instructions. Each term takes the values of its pair (ln d, 1/d, d^18,
/// d^20) and of its shell (ln k, 10/k, 200 k^19, k^20) and gives exp(E) g = (hi + lo) 2^scale with
///   w = k d, outer = (2.5 - k^20 d^20) (10/k) (1/d), E = outer ln w,
///   g = (1 - ln w) outer / d - ln w 200 k^19 d^18.
/// The result is within about 2^-70 of its size. The inputs must keep |E| below 2^20 and every
/// product within the normal range of doubles; the caller sees to that.
struct ShellTerms {
    static constexpr int Capacity = 128; // a multiple of 4

    alignas(32) double lnDHi[Capacity], lnDLo[Capacity], inverseDHi[Capacity], inverseDLo[Capacity];
    alignas(32) double d18Hi[Capacity], d18Lo[Capacity], d20Hi[Capacity], d20Lo[Capacity];
    alignas(32) double lnKHi[Capacity], lnKLo[Capacity], tenOverKHi[Capacity], tenOverKLo[Capacity];
    alignas(32) double k19Hi[Capacity], k19Lo[Capacity], k20Hi[Capacity], k20Lo[Capacity];
    alignas(32) double termHi[Capacity], termLo[Capacity];
    alignas(32) int scale[Capacity];
    int count = 0;
};

/// The positions of the present taons in their order, as sums of two doubles (exactly), with room
/// for the lanes past the last.
struct VectorPositions {
    static constexpr int Capacity = 104;
    alignas(32) double xHi[Capacity], xLo[Capacity], yHi[Capacity], yLo[Capacity], zHi[Capacity], zLo[Capacity];
};

/// The values a term takes from the pairs of one taon with those after it, by the partner's place in
/// the order, in double-double arithmetic (within about 2^-100): d, ln d, 1/d, d^18, d^20. `inRange`
/// is 1 where d lies between 1e-14 and 1e14; elsewhere the values are not computed.
struct RowPairs {
    static constexpr int Capacity = VectorPositions::Capacity;
    alignas(32) double dHi[Capacity], dLo[Capacity], lnDHi[Capacity], lnDLo[Capacity];
    alignas(32) double inverseDHi[Capacity], inverseDLo[Capacity];
    alignas(32) double d18Hi[Capacity], d18Lo[Capacity], d20Hi[Capacity], d20Lo[Capacity];
    alignas(32) double inRange[Capacity];
};

/// The pairs of taon `row` with taons row + 1 .. count - 1; only when ShellTermsSupported().
void ComputeRowPairs(const VectorPositions& positions, int row, int count, RowPairs& pairs);

/// True when this processor has the instructions ComputeShellTerms needs.
bool ShellTermsSupported();

/// termHi, termLo and scale of the first `count` terms; only when ShellTermsSupported().
void ComputeShellTerms(ShellTerms& terms);

} // namespace taonscope
