// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Potential.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace taonscope {

/// How a local minimisation steps: limited-memory BFGS (quasi-Newton) or FIRE (damped dynamics).
enum class MinimizeMethod { Lbfgs, Fire };

/// The largest length of one particle's part of a gradient (or of a displacement).
Extended LargestPerParticle(const Coordinates& v);

/// The method of a name ("lbfgs", "fire"); empty for any other.
std::optional<MinimizeMethod> MinimizeMethodNamed(std::string_view name);

/// What a local minimisation is asked to do.
struct MinimizeOptions {
    MinimizeMethod Method = MinimizeMethod::Lbfgs; ///< how it steps
    Extended Tolerance = 1e-10L;                   ///< done when no particle's gradient is this long
    std::int64_t MaxIterations = 100000;           ///< iterations at most
    Extended MaxStep = 0; ///< the farthest a particle moves in one iteration; 0: a quarter of Scales().Width
};

/// How a local minimisation ended.
struct MinimizeResult {
    bool Converged = false;       ///< the tolerance was reached
    std::int64_t Iterations = 0;  ///< steps taken
    std::int64_t Evaluations = 0; ///< gradients computed: at most 1.5 an iteration on average
    Extended LargestGradient = 0; ///< the longest gradient of one particle where it ended
    std::string Fault;            ///< why the potential refused a point, which ended the minimisation
};

/// Lowers the energy from x by following the gradient alone, until no particle's gradient is as long as
/// the tolerance or the iterations run out; x is left at the last point reached. L-BFGS accepts a step
/// when the energy change it estimates from the gradients at both ends (exact for a quadratic, and free
/// of the rounding that swamps energy differences near a minimum) is not positive, and otherwise
/// shortens it; no step moves a particle farther than the longest step, so that none leaps over a well
/// of the pair and the estimate holds. A point the potential refuses (TaonError) ends the minimisation with
/// its message, x at the last point whose gradient was computed.
MinimizeResult Minimize(PairPotential& potential, Coordinates& x, const MinimizeOptions& options = {});

} // namespace taonscope
