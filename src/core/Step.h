#pragma once

#include "World.h"

namespace taonscope {

/// Which implementation of the law a step uses.
enum class LawKernel {
    Literal, ///< AccelX, AccelY, AccelZ exactly as the law is written: the reference
};

/// The damping factor of a step: 0.99 with Cool ticked, else 1.
Extended CoolFactor(bool coolTicked);

/// One integration step: every present taon's next velocity and position advance by dt under the law
/// (damped by coolFactor), then the current and scene copies take the next copy and StepCounter grows
/// by one. A step that faults throws and changes nothing.
void AdvanceStep(World& world, Extended coolFactor, LawKernel kernel = LawKernel::Literal);

} // namespace taonscope
