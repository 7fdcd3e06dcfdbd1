// SPDX-License-Identifier: GPL-3.0-or-later
#include "EnergyMinimiser.h"

#include "WorldHistory.h"

#include "core/Errors.h"
#include "core/NumberText.h"
#include "landscape/LawPotential.h"
#include "landscape/Minimizer.h"

#include <QApplication>

namespace taonscope {

EnergyMinimiser::EnergyMinimiser(World& world, FastLaw& law, Questions& questions, WorldHistory& history,
                                 std::function<void()> moved)
    : world_(world), law_(law), questions_(questions), history_(history), moved_(std::move(moved)) {}

void EnergyMinimiser::Minimise() {
    if (const auto kinds = KindsWithDifferentSets(world_)) {
        questions_.Information(
            "Kinds " + std::to_string(kinds->first) + " and " + std::to_string(kinds->second) +
            " have different parameter sets: the pull of one on the other is not matched by "
            "the pull back, so the taons have no energy to lower. Instruments > Cool until "
            "settled brings them to rest instead.");
        return;
    }
    LawPotential potential(world_, law_);
    Coordinates x = CoordinatesOf(world_);
    MinimizeResult result;
    Extended before = 0, after = 0;
    {
        // The window waits for the minimisation, as it waits for a step.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restore {
            ~Restore() { QApplication::restoreOverrideCursor(); }
        } restore;
        before = potential.Energy(x);
        result = Minimize(potential, x, {.MaxIterations = MostIterations});
        if (!result.Fault.empty()) throw TaonError(result.Fault);
        after = potential.Energy(x);
    }
    const World unchanged = world_;
    PlaceAtRest(world_, x);
    history_.Record(QString::fromLatin1(Caption), unchanged);
    if (moved_) moved_();
    std::string summary = "U fell from " + FormatReal(before) + " to " + FormatReal(after) + " in " +
                          std::to_string(result.Iterations) + " iterations; the largest acceleration is " +
                          FormatReal(result.LargestGradient) + ".";
    if (!result.Converged)
        summary += " That is not yet a minimum (below 1E-10) after " + std::to_string(MostIterations) +
                   " iterations: Minimise Energy again goes on from here.";
    questions_.Information(summary);
}

} // namespace taonscope
