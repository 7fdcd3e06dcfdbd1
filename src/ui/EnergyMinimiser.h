// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Questions.h"

#include "core/FastLaw.h"
#include "core/World.h"

#include <functional>

namespace taonscope {

class WorldHistory;

/// Run > "Minimise Energy": lowers the pair energy U of the taons shown to a local minimum (L-BFGS on
/// the window's law, the largest acceleration below 1E-10), leaves them at rest, and records it as one
/// undo step named after the command; then says how far U fell. When two present kinds have different
/// parameter sets there is no energy, and the command says so and changes nothing.
class EnergyMinimiser {
public:
    /// The menu item's caption, which the undo step takes too.
    static constexpr const char* Caption = "Minimise Energy";
    /// Iterations at most: about twenty seconds of a hundred taons.
    static constexpr int MostIterations = 20000;

    /// Minimises world with law, asks through questions, records on history and calls moved once the
    /// taons have moved, before it tells how far U fell.
    EnergyMinimiser(World& world, FastLaw& law, Questions& questions, WorldHistory& history,
                    std::function<void()> moved);

    /// Minimises the world; a fault of the law throws, the world unchanged.
    void Minimise();

private:
    World& world_;
    FastLaw& law_;
    Questions& questions_;
    WorldHistory& history_;
    std::function<void()> moved_;
};

} // namespace taonscope
