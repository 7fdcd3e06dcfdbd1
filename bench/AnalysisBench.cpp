// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of the instruments' sampling beside the steps of a run of 100 taons. A sample every
// RunSampleEvery steps stays within 2% of the run when
//   SampleEvery100 / Step100 <= 1.02, i.e. Sample100 <= 0.02 * RunSampleEvery * Step100.
//   build/bench/analysis_bench --benchmark_min_time=2
#include "analysis/Histogram.h"
#include "analysis/Measures.h"
#include "analysis/SampleSeries.h"

#include "core/Scenarios.h"
#include "core/Step.h"

#include <benchmark/benchmark.h>

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

BENCHMARK(Step100)->Unit(benchmark::kMillisecond);
BENCHMARK(SampledStep100)->Unit(benchmark::kMillisecond);
BENCHMARK(Sample100)->Unit(benchmark::kMillisecond);
BENCHMARK(Histograms100)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace taonscope
