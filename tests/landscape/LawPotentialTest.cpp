// SPDX-License-Identifier: GPL-3.0-or-later
// The law as a potential: its gradient against the literal law and the slope of its energy, its energy
// against the pair function summed pair by pair, when it has one, and the scales of its landscape.
#include "landscape/LawPotential.h"
#include "landscape/BasinHopping.h"
#include "landscape/Search.h"

#include "analysis/PairFunction.h"
#include "core/Law.h"
#include "core/Scenarios.h"

#include <gtest/gtest.h>

#include <cmath>

namespace taonscope {
namespace {

// Eight taons of the figure's set a few shells apart, in slots 1 to 8.
World Cluster() {
    SearchSettings settings;
    settings.Taons = 8;
    settings.Set = FigureParameters();
    return SearchWorld(settings, RandomStart(8, 6, 11));
}

TEST(LawPotential, TheGradientIsMinusTheLiteralLawAndTheSlopeOfThePairEnergy) {
    const World world = Cluster();
    FastLaw law(1);
    LawPotential potential(world, law);
    const Coordinates x = CoordinatesOf(world);
    Coordinates gradient;
    potential.Gradient(x, gradient);

    Extended largest = 0;
    for (int i = 1; i <= 8; ++i) largest = std::max(largest, std::fabs(AccelX(world, i)));
    for (int i = 1; i <= 8; ++i) {
        const std::size_t at = 3 * static_cast<std::size_t>(i - 1);
        EXPECT_NEAR(static_cast<double>(gradient[at]), static_cast<double>(-AccelX(world, i)),
                    1e-14 * largest);
        EXPECT_NEAR(static_cast<double>(gradient[at + 1]), static_cast<double>(-AccelY(world, i)),
                    1e-14 * largest);
        EXPECT_NEAR(static_cast<double>(gradient[at + 2]), static_cast<double>(-AccelZ(world, i)),
                    1e-14 * largest);
    }

    Extended summed = 0;
    for (int i = 1; i <= 8; ++i)
        for (int j = i + 1; j <= 8; ++j)
            summed += world.A1 * PairFunction(FigureParameters(), std::hypot(world.PosX[i] - world.PosX[j],
                                                                             world.PosY[i] - world.PosY[j],
                                                                             world.PosZ[i] - world.PosZ[j]));
    EXPECT_NEAR(static_cast<double>(potential.Energy(x)), static_cast<double>(summed),
                1e-15 * std::fabs(summed));

    // Along a direction, the energy's central difference is the gradient's component.
    const Coordinates direction = RandomStart(8, 1, 5);
    const Extended h = 1e-5L;
    Coordinates ahead = x, behind = x;
    Extended slope = 0;
    for (std::size_t n = 0; n < x.size(); ++n) {
        ahead[n] += h * direction[n], behind[n] -= h * direction[n];
        slope += gradient[n] * direction[n];
    }
    const Extended difference = (potential.Energy(ahead) - potential.Energy(behind)) / (2 * h);
    EXPECT_NEAR(static_cast<double>(difference), static_cast<double>(slope), 1e-8 * std::fabs(slope));
}

TEST(LawPotential, ThereIsAnEnergyWhenThePresentKindsShareOneSet) {
    const ParameterSet other{2, 2.718L, 5, 10, 20, 30};
    const struct {
        std::vector<int> slots;
        int differentKind; // the kind whose set is other, 0: none
        std::optional<std::pair<int, int>> expected;
    } cases[] = {
        {{1, 2, 3}, 0, std::nullopt},      {{1, 2, 3}, 2, std::nullopt}, // kind 2 has no taon
        {{1, 60}, 2, std::pair{1, 2}},     {{55, 90}, 3, std::pair{2, 3}},
        {{1, 55, 90}, 1, std::pair{1, 2}}, {{55, 60, 90}, 1, std::nullopt},
    };
    for (const auto& c : cases) {
        World world;
        for (int kind = 1; kind <= 3; ++kind) SetParameterSet(world, kind, FigureParameters());
        if (c.differentKind != 0) SetParameterSet(world, c.differentKind, other);
        for (const int slot : c.slots) world.TaonPresent[slot] = true;
        EXPECT_EQ(KindsWithDifferentSets(world), c.expected) << c.slots.front() << " " << c.differentKind;
    }
}

TEST(LawPotential, ScalesAreTheNearestAndTheDeepestWellOfThePairFunction) {
    const ParameterSet set = FigureParameters();
    FastLaw law(1);
    const PairScales scales = LawPotential(Cluster(), law).Scales();
    // On a grid a thousandth apart: the first local minimum below 0, the lowest point, and where the first
    // well is below half its depth.
    constexpr Extended Step = 0.001L;
    std::optional<Extended> nearest;
    Extended deepest = 0, lowest = 0, previous = PairFunction(set, 0.3L),
             here = PairFunction(set, 0.3L + Step);
    for (Extended d = 0.3L + Step; d < 45; d += Step) {
        const Extended next = PairFunction(set, d + Step);
        if (!nearest && here < 0 && here < previous && here <= next) nearest = d;
        if (here < lowest) lowest = here, deepest = d;
        previous = here, here = next;
    }
    ASSERT_TRUE(nearest);
    EXPECT_NEAR(static_cast<double>(scales.Nearest), static_cast<double>(*nearest), 2 * Step);
    EXPECT_NEAR(static_cast<double>(scales.Deepest), static_cast<double>(deepest), 2 * Step);
    const Extended half = PairFunction(set, *nearest) / 2;
    Extended left = *nearest, right = *nearest;
    while (PairFunction(set, left) < half) left -= Step;
    while (PairFunction(set, right) < half) right += Step;
    EXPECT_NEAR(static_cast<double>(scales.Width), static_cast<double>(right - left), 2 * Step);
}

} // namespace
} // namespace taonscope
