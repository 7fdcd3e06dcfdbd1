// One integration step of 100 present taons, under the reference law, the fast law and the fast law
// as it was before (PreviousFastLaw), in one run so that the ratios compare like with like.
//   build/bench/law_bench --benchmark_min_time=2
#include "PreviousFastLaw.h"
#include "core/Scenarios.h"
#include "core/Step.h"

#include <benchmark/benchmark.h>

namespace taonscope {
namespace {

void ReportSteps(benchmark::State& state) {
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void LiteralStep(benchmark::State& state, bool sameSets) {
    World world = CloudWorld(1, sameSets);
    for (auto _ : state) {
        AdvanceStep(world, CoolFactor(false));
        benchmark::DoNotOptimize(world.PosX[1]);
    }
    ReportSteps(state);
}

void FastStep(benchmark::State& state, bool sameSets) {
    World world = CloudWorld(1, sameSets);
    FastLaw law(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        AdvanceStep(world, CoolFactor(false), law);
        benchmark::DoNotOptimize(world.PosX[1]);
    }
    ReportSteps(state);
}

void PreviousFastStep(benchmark::State& state, bool sameSets) {
    World world = CloudWorld(1, sameSets);
    PreviousFastLaw law(static_cast<int>(state.range(0)));
    const AccelerationSource source = [&law](const World& w, Accelerations& out) {
        return law.ComputeAccelerations(w, out);
    };
    for (auto _ : state) {
        AdvanceStep(world, CoolFactor(false), source);
        benchmark::DoNotOptimize(world.PosX[1]);
    }
    ReportSteps(state);
}

BENCHMARK_CAPTURE(LiteralStep, FigureSets, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LiteralStep, ThreeSets, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PreviousFastStep, FigureSets, true)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(PreviousFastStep, ThreeSets, false)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(FastStep, FigureSets, true)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(FastStep, ThreeSets, false)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace taonscope
