// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExtendedMath.h"

namespace taonscope::extended_math {

Extended LogOutsideDoubleRange(Extended x) {
    if (!(std::isgreater(x, 0.0L) && std::islessequal(x, LDBL_MAX))) return std::log(x);
    int bias = 0;
    if (x < LDBL_MIN) x *= 0x1p64L, bias = 64; // denormal: exact
    const std::uint64_t significand = SignificandOf(x);
    const bool below = significand >= 0xB504F333F9DE6484u; // m = significand 2^-64 in [sqrt(1/2), 1)
    const int e = BiasedExponentOf(x) - 16383 + below;
    const int j = static_cast<int>(((significand >> (below ? 55 : 54)) + 1) >> 1);
    const Extended m = x * PowerOfTwo(-e / 2) * PowerOfTwo(e / 2 - e); // in two factors: e reaches 16384
    return LogOf(e - bias, j, m);
}

} // namespace taonscope::extended_math
