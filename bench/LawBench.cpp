// One integration step of 100 present taons.
#include "core/Scenarios.h"
#include "core/Step.h"

#include <benchmark/benchmark.h>

namespace taonscope {
namespace {

void StepOfACloud(benchmark::State& state, LawKernel kernel, bool sameSets) {
    const World start = CloudWorld(1, sameSets);
    World world = start;
    for (auto _ : state) {
        AdvanceStep(world, CoolFactor(false), kernel);
        benchmark::DoNotOptimize(world.PosX[1]);
    }
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(StepOfACloud, Literal / FigureSets, LawKernel::Literal, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StepOfACloud, Literal / ThreeSets, LawKernel::Literal, false)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace taonscope
