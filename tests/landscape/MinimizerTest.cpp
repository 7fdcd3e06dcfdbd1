// SPDX-License-Identifier: GPL-3.0-or-later
// Local minimisation: where both methods end, what an iteration costs, and how a minimisation ends early.
#include "landscape/Minimizer.h"
#include "landscape/BasinHopping.h"
#include "landscape/LawPotential.h"
#include "landscape/LennardJones.h"
#include "landscape/Search.h"

#include "core/Scenarios.h"

#include <gtest/gtest.h>

#include <cmath>

namespace taonscope {
namespace {

// The 13-atom Lennard-Jones icosahedron, each coordinate shaken by up to 0.05.
Coordinates ShakenIcosahedron() {
    const Extended t = (1 + std::sqrt(5.0L)) / 2, scale = 1.1L / std::sqrt(1 + t * t);
    Coordinates x = {0, 0, 0};
    for (const Extended a : {-1.0L, 1.0L})
        for (const Extended b : {-t, t})
            x.insert(x.end(), {0, a * scale, b * scale, a * scale, b * scale, 0, b * scale, 0, a * scale});
    Random random(3);
    for (Extended& v : x) v += random.Uniform(-0.05L, 0.05L);
    return x;
}

TEST(Minimizer, BothMethodsEndAtThePublishedMinimumWithinTheTolerance) {
    for (const MinimizeMethod method : {MinimizeMethod::Lbfgs, MinimizeMethod::Fire}) {
        LennardJones potential;
        Coordinates x = ShakenIcosahedron();
        const MinimizeResult result = Minimize(potential, x, {.Method = method, .Tolerance = 1e-10L});
        EXPECT_TRUE(result.Converged);
        Coordinates gradient;
        potential.Gradient(x, gradient);
        EXPECT_LT(LargestPerParticle(gradient), 1e-10L);
        EXPECT_EQ(LargestPerParticle(gradient), result.LargestGradient);
        EXPECT_NEAR(static_cast<double>(potential.Energy(x)), -44.326801, 5e-7);
    }
}

TEST(Minimizer, AnIterationCostsAtMostOneAndAHalfEvaluationsOfTheLaw) {
    SearchSettings settings;
    settings.Taons = 13;
    settings.Set = FigureParameters();
    FastLaw law(1);
    LawPotential potential(SearchWorld(settings), law);
    std::int64_t iterations = 0, evaluations = 0;
    for (std::uint64_t seed = 1; seed <= 5; ++seed) {
        Coordinates x = RandomStart(13, 12, seed);
        const MinimizeResult result = Minimize(potential, x);
        EXPECT_TRUE(result.Converged) << seed;
        iterations += result.Iterations, evaluations += result.Evaluations;
    }
    EXPECT_LE(static_cast<double>(evaluations), 1.5 * static_cast<double>(iterations));
}

} // namespace
} // namespace taonscope
