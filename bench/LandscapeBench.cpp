// SPDX-License-Identifier: GPL-3.0-or-later
// Basin hopping against the Cambridge Cluster Database's global minima of Lennard-Jones clusters (26, 38
// and 55 atoms: the hops each took from seed 1), and the search with the law for 13 and 38 taons: its hops
// a second, the law's evaluations each hop took, and law_share, the part of the search's time spent in
// them, which says how near the search comes to what the law's rate allows (1); beside them the steps a
// second the fast law makes of the same taons, and evaluations_per_iteration, the minimiser's cost
// (target: at most 1.5).
//   build/bench/landscape_bench
#include "landscape/BasinHopping.h"
#include "landscape/LawPotential.h"
#include "landscape/LennardJones.h"
#include "landscape/Search.h"

#include "core/Scenarios.h"
#include "core/Step.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <map>

namespace taonscope {
namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One chain from seed 1 until it finds the published global minimum (at most 20,000 hops).
void LennardJonesGlobalMinimum(benchmark::State& state) {
    static const std::map<int, Extended> published = {
        {26, -108.315616L}, {38, -173.928427L}, {55, -279.248470L}};
    const int atoms = static_cast<int>(state.range(0));
    HoppingResult result;
    for (auto _ : state) {
        LennardJones potential;
        HoppingOptions options;
        options.Particles = atoms;
        options.Hops = 20000;
        options.StopBelow = published.at(atoms) + 5e-7L;
        result = BasinHopping(potential, options);
    }
    const Extended lowest = result.Lowest.front().Energy;
    state.counters["hops"] = static_cast<double>(result.Hops);
    state.counters["found"] = std::fabs(lowest - published.at(atoms)) < 1e-6L ? 1 : 0;
    state.counters["energy"] = static_cast<double>(lowest);
    state.counters["evaluations_per_iteration"] =
        static_cast<double>(result.Gradients) / static_cast<double>(result.Iterations);
}

// The law as a cell of a search computes it, and the seconds its evaluations take.
class TimedLaw : public PairPotential {
public:
    TimedLaw(const World& world, FastLaw& law) : law_(world, law) {}
    Extended Energy(const Coordinates& x) override {
        const auto start = std::chrono::steady_clock::now();
        const Extended energy = law_.Energy(x);
        Seconds += SecondsSince(start);
        return energy;
    }
    void Gradient(const Coordinates& x, Coordinates& gradient) override {
        const auto start = std::chrono::steady_clock::now();
        law_.Gradient(x, gradient);
        Seconds += SecondsSince(start);
    }
    PairScales Scales() const override { return law_.Scales(); }
    double Seconds = 0;

private:
    LawPotential law_;
};

// A cell of 200 hops of the law's search, then steps of its random start by the fast law on one thread.
void LawSearch(benchmark::State& state) {
    SearchSettings settings;
    settings.Taons = static_cast<int>(state.range(0));
    settings.Set = FigureParameters();
    settings.Hops = 200;
    double searchSeconds = 0, lawSeconds = 0, stepSeconds = 0;
    std::int64_t hops = 0, evaluations = 0, iterations = 0, steps = 0;
    for (auto _ : state) {
        FastLaw law(1);
        TimedLaw potential(SearchWorld(settings), law);
        const HoppingOptions options = SearchCellOptions(settings, 1);
        auto start = std::chrono::steady_clock::now();
        const HoppingResult result = BasinHopping(potential, options);
        searchSeconds += SecondsSince(start);
        lawSeconds += potential.Seconds;
        hops += result.Hops + 1;
        evaluations += result.Gradients + result.Energies;
        iterations += result.Iterations;

        const Extended radius = 0.7L * potential.Scales().Deepest * std::cbrt(Extended(settings.Taons));
        World world = SearchWorld(settings, RandomStart(settings.Taons, radius, options.Seed));
        start = std::chrono::steady_clock::now();
        for (int n = 0; n < 2000; ++n) AdvanceStep(world, CoolFactor(false), law);
        stepSeconds += SecondsSince(start);
        steps += 2000;
    }
    const double hopsPerSecond = static_cast<double>(hops) / searchSeconds;
    const double evaluationsPerHop = static_cast<double>(evaluations) / static_cast<double>(hops);
    state.counters["hops_per_second"] = hopsPerSecond;
    state.counters["law_evaluations_per_hop"] = evaluationsPerHop;
    state.counters["evaluations_per_iteration"] =
        static_cast<double>(evaluations) / static_cast<double>(iterations);
    // The share of the search's time spent in the law: 1 would be all the law's rate allows.
    state.counters["law_share"] = lawSeconds / searchSeconds;
    state.counters["law_steps_per_second"] = static_cast<double>(steps) / stepSeconds;
    state.counters["law_evaluations_per_second"] = static_cast<double>(evaluations) / lawSeconds;
}

BENCHMARK(LennardJonesGlobalMinimum)->Arg(26)->Arg(38)->Arg(55)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(LawSearch)->Arg(13)->Arg(38)->Iterations(3)->Unit(benchmark::kSecond);

} // namespace
} // namespace taonscope
