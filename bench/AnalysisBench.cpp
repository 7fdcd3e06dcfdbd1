// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of the instruments' sampling beside the steps of a run of 100 taons. A sample every
// RunSampleEvery steps stays within 2% of the run when
//   SampleEvery100 / Step100 <= 1.02, i.e. Sample100 <= 0.02 * RunSampleEvery * Step100.
// One structure sample (bonds, clusters, shapes, coordination, g(r), q4 and q6) costs at most two steps
// when StructureInSteps100 reports steps_per_sample <= 2.
//   build/bench/analysis_bench --benchmark_min_time=2
#include "analysis/Histogram.h"
#include "analysis/Measures.h"
#include "analysis/SampleSeries.h"
#include "analysis/Structure.h"

#include "core/Scenarios.h"
#include "core/Step.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace taonscope {
namespace {

// One step of the cloud on one thread, as the fast law makes it.
void Step100(benchmark::State& state) {
    World world = CloudWorld(1, true);
    FastLaw law(1);
    for (auto _ : state) {
        AdvanceStep(world, CoolFactor(false), law);
        benchmark::DoNotOptimize(world.PosX[1]);
    }
}

// The same step followed by the sampling a running window does: a sample every RunSampleEvery steps.
void SampledStep100(benchmark::State& state) {
    World world = CloudWorld(1, true);
    FastLaw law(1);
    Sampler sampler(RunSampleEvery);
    SampleSeries series;
    for (auto _ : state) {
        AdvanceStep(world, CoolFactor(false), law);
        if (sampler.Step(world.dt)) series.Add(TakeSample(world, sampler.Steps(), sampler.Time()));
        benchmark::DoNotOptimize(world.PosX[1]);
    }
}

// One sample alone: K, U, E, |P| and the largest speed.
void Sample100(benchmark::State& state) {
    const World world = CloudWorld(1, true);
    for (auto _ : state) benchmark::DoNotOptimize(TakeSample(world, 0, 0));
}

// The six distance histograms, as the Distances tab refreshes them.
void Histograms100(benchmark::State& state) {
    const World world = CloudWorld(1, true);
    for (auto _ : state) benchmark::DoNotOptimize(PairHistograms(world));
}

// A structure sample at the cutoff the data give. The cloud of side 12 is as crowded as a cloud gets
// after cooling: about four bonds per taon.
void Structure100(benchmark::State& state) {
    const World world = CloudWorld(1, true, static_cast<Extended>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(AnalyzeStructure(world));
}

// The cheap path of a run's log: the cluster count and the largest cluster at a given cutoff.
void ClusterCount100(benchmark::State& state) {
    const World world = CloudWorld(1, true, 12);
    for (auto _ : state) benchmark::DoNotOptimize(CountClustersWithin(world, 3.0L));
}

// Steps and structure samples of the crowded cloud taken in turn in one run; the counter
// steps_per_sample is the time of a sample over the time of a step.
void StructureInSteps100(benchmark::State& state) {
    World world = CloudWorld(1, true, 12);
    FastLaw law(1);
    using Clock = std::chrono::steady_clock;
    Clock::duration stepping{}, sampling{};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        AdvanceStep(world, CoolFactor(false), law);
        const Clock::time_point stepped = Clock::now();
        benchmark::DoNotOptimize(AnalyzeStructure(world));
        sampling += Clock::now() - stepped;
        stepping += stepped - start;
    }
    state.counters["steps_per_sample"] =
        std::chrono::duration<double>(sampling).count() / std::chrono::duration<double>(stepping).count();
}

BENCHMARK(Step100)->Unit(benchmark::kMillisecond);
BENCHMARK(SampledStep100)->Unit(benchmark::kMillisecond);
BENCHMARK(Sample100)->Unit(benchmark::kMillisecond);
BENCHMARK(Histograms100)->Unit(benchmark::kMillisecond);
BENCHMARK(Structure100)->Arg(30)->Arg(12)->Unit(benchmark::kMillisecond);
BENCHMARK(ClusterCount100)->Unit(benchmark::kMillisecond);
BENCHMARK(StructureInSteps100)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace taonscope
