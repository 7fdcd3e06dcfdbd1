// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cfloat>

namespace taonscope {

/// The extended real of every world, view and law value: the x87 80-bit format.
using Extended = long double;

static_assert(LDBL_MANT_DIG == 64, "long double must be the x87 extended format (64-bit significand)");
static_assert(LDBL_MAX_EXP == 16384, "long double must be the x87 extended format (15-bit exponent)");

} // namespace taonscope
