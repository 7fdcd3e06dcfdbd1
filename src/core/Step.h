// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FastLaw.h"
#include "World.h"

#include <functional>

namespace taonscope {

/// The damping factor of a step: 0.99 with Cool ticked, else 1.
Extended CoolFactor(bool coolTicked);

/// One integration step under the reference law (AccelX, AccelY, AccelZ): every present taon's next
/// velocity and position advance by dt, damped by coolFactor; then the current and scene copies take
/// the next copy and StepCounter grows by one. A step that meets an arithmetic fault throws
/// FloatingPointError for the first fault met and changes nothing.
void AdvanceStep(World& world, Extended coolFactor);

/// The same step with the accelerations of the fast law. Where the fast law does not apply, or any
/// fault is met, the step is made by the reference law, so the faults and their messages are the same.
void AdvanceStep(World& world, Extended coolFactor, FastLaw& law);

/// Computes the accelerations of every present taon; false hands the step to the reference law.
using AccelerationSource = std::function<bool(const World&, Accelerations&)>;

/// The same step with the accelerations of another source (a kernel kept for comparison), under the
/// same rules as the fast law's step.
void AdvanceStep(World& world, Extended coolFactor, const AccelerationSource& source);

} // namespace taonscope
