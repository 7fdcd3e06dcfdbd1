// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "World.h"

namespace taonscope {

/// exp(exponent * ln(base)) in extended precision; base 0 faults with division by zero,
/// a negative base with an invalid operation.
Extended Power(Extended base, Extended exponent);

/// The shell scale 1.029 / p of a shell parameter p.
Extended ShellScale(Extended p);

/// Derivative of core(d) - well(d) at distance d, evaluated by the closed form of the law.
Extended CoreWellSlope(Extended d);

/// Derivative of shell(k d) with respect to d, for the shell of scale k, by the closed form.
Extended ShellSlope(Extended k, Extended d);

/// Reference law, written exactly as the law is stated: the x, y and z components of the
/// acceleration of present taon i caused by all other present taons. Every intermediate is tested
/// for arithmetic faults, which are thrown as FloatingPointError at the first one.
Extended AccelX(const World& world, int i);
Extended AccelY(const World& world, int i); ///< see AccelX
Extended AccelZ(const World& world, int i); ///< see AccelX

} // namespace taonscope
