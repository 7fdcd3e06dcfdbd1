// SPDX-License-Identifier: GPL-3.0-or-later
// One integration step of 100 present taons, under the reference law, the fast law, the fast law in
// extended arithmetic throughout (ExtendedStep) and the fast law as it was before its own exp and log
// (PreviousFastLaw), in one run so that the ratios compare like with like.
//   build/bench/law_bench --benchmark_min_time=1 --benchmark_report_aggregates_only=true
#include "PreviousFastLaw.h"
#include "core/Scenarios.h"
#include "core/Step.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace taonscope {
namespace {

// Steps of the cloud under `source`; besides the mean time per step, the least time one step took, as
// the counter least_ms. On a virtual machine whose cores are shared with others the mean of a second
// of steps varies by half from one second to the next, the least step time by a few per cent.
void TimeSteps(benchmark::State& state, bool sameSets, const AccelerationSource& source) {
    World world = CloudWorld(1, sameSets);
    double least = 1e30;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (source)
            AdvanceStep(world, CoolFactor(false), source);
        else
            AdvanceStep(world, CoolFactor(false));
        least = std::min(
            least,
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        benchmark::DoNotOptimize(world.PosX[1]);
    }
    state.counters["least_ms"] = least;
}

void LiteralStep(benchmark::State& state, bool sameSets) {
    TimeSteps(state, sameSets, {});
}

void FastStep(benchmark::State& state, bool sameSets) {
    FastLaw law(static_cast<int>(state.range(0)));
    TimeSteps(state, sameSets,
              [&law](const World& w, Accelerations& out) { return law.ComputeAccelerations(w, out); });
}

void ExtendedStep(benchmark::State& state, bool sameSets) {
    FastLaw law(static_cast<int>(state.range(0)), FastLaw::Arithmetic::Extended);
    TimeSteps(state, sameSets,
              [&law](const World& w, Accelerations& out) { return law.ComputeAccelerations(w, out); });
}

void PreviousFastStep(benchmark::State& state, bool sameSets) {
    PreviousFastLaw law(static_cast<int>(state.range(0)));
    TimeSteps(state, sameSets,
              [&law](const World& w, Accelerations& out) { return law.ComputeAccelerations(w, out); });
}

// Processor time of this thread in milliseconds.
double ThreadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// The accelerations alone on one thread, the earlier and the present kernel in turn so that both meet
// the same load; the least processor time of each over the run, and their ratio, as counters. On a
// machine shared with others this is steadier than the mean wall-clock time.
void KernelsInTurn(benchmark::State& state, bool sameSets) {
    const World world = CloudWorld(1, sameSets);
    PreviousFastLaw previous(1);
    FastLaw present(1);
    Accelerations out;
    double leastPrevious = 1e30, leastPresent = 1e30;
    for (auto _ : state) {
        const double start = ThreadMilliseconds();
        previous.ComputeAccelerations(world, out);
        const double middle = ThreadMilliseconds();
        present.ComputeAccelerations(world, out);
        const double end = ThreadMilliseconds();
        leastPrevious = std::min(leastPrevious, middle - start);
        leastPresent = std::min(leastPresent, end - middle);
        benchmark::DoNotOptimize(out.X[1]);
    }
    state.counters["earlier_ms"] = leastPrevious;
    state.counters["fast_ms"] = leastPresent;
    state.counters["ratio"] = leastPrevious / leastPresent;
}

// Every step benchmark is repeated five times; its "min" row holds the quickest repetition's mean time
// per step and, in least_ms, the least time of one step in all five.
void Repeated(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(5)
        ->ComputeStatistics(
            "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

BENCHMARK_CAPTURE(LiteralStep, FigureSets, true)->Apply(Repeated);
BENCHMARK_CAPTURE(LiteralStep, ThreeSets, false)->Apply(Repeated);
BENCHMARK_CAPTURE(PreviousFastStep, FigureSets, true)->Arg(1)->Arg(2)->Apply(Repeated);
BENCHMARK_CAPTURE(PreviousFastStep, ThreeSets, false)->Arg(1)->Arg(2)->Apply(Repeated);
BENCHMARK_CAPTURE(FastStep, FigureSets, true)->Arg(1)->Arg(2)->Apply(Repeated);
BENCHMARK_CAPTURE(FastStep, ThreeSets, false)->Arg(1)->Arg(2)->Apply(Repeated);
BENCHMARK_CAPTURE(ExtendedStep, FigureSets, true)->Arg(1)->Arg(2)->Apply(Repeated);
BENCHMARK_CAPTURE(ExtendedStep, ThreeSets, false)->Arg(1)->Arg(2)->Apply(Repeated);
BENCHMARK_CAPTURE(KernelsInTurn, FigureSets, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(KernelsInTurn, ThreeSets, false)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace taonscope
