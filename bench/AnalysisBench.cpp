// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of the instruments' sampling beside the steps of a run of 100 taons. A sample every
// RunSampleEvery steps stays within 2% of the run when
//   SampleEvery100 / Step100 <= 1.02, i.e. Sample100 <= 0.02 * RunSampleEvery * Step100.
// One structure sample (bonds, clusters, shapes, coordination, g(r), q4 and q6) costs at most two steps
// when StructureInSteps100 reports steps_per_sample <= 2. analyze --series reads a trajectory of 100
// frames of 100 taons in less than twice the computation of 100 analyze calls when SeriesOf100Frames
// reports series_per_analyses < 2 (/0 plain, /1 with --structure).
//   build/bench/analysis_bench --benchmark_min_time=2
#include "analysis/Histogram.h"
#include "analysis/Measures.h"
#include "analysis/SampleSeries.h"
#include "analysis/Structure.h"

#include "cli/Analysis.h"
#include "cli/Series.h"
#include "core/Scenarios.h"
#include "core/Step.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <ostream>
#include <unistd.h>

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

// Where the rows go: formatted, then dropped.
class NullBuffer : public std::streambuf {
    int overflow(int c) override { return c; }
};

// analyze TRAJECTORY --series (one read of 100 frames of the cooling cloud, a row each) and, in turn in
// the same run, analyze --format json of the same 100 frames already in memory; the counter
// series_per_analyses is the time of the first over the time of the second.
void SeriesOf100Frames(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("taonscope-series-bench-" + std::to_string(getpid()) + ".xyz"))
                                 .string();
    std::vector<World> frames;
    {
        World world = CloudWorld(1, true);
        FastLaw law(1);
        const std::unique_ptr<TrajectoryWriter> writer = OpenTrajectoryWriter(path, TrajectoryFormat::Xyz);
        for (int k = 0; k < 100; ++k) {
            for (int n = 0; n < 20; ++n) AdvanceStep(world, CoolFactor(true), law);
            writer->Append(world, 20 * (k + 1), world.dt * 20 * (k + 1));
        }
        writer->Close();
        const std::unique_ptr<TrajectoryReader> reader = OpenTrajectoryReader(path, TrajectoryFormat::Xyz);
        while (reader->Next(world)) frames.push_back(world);
    }
    TrajectoryReport report;
    if (state.range(0)) report.Structure.emplace();
    NullBuffer nowhere;
    std::ostream sink(&nowhere);
    using Clock = std::chrono::steady_clock;
    Clock::duration series{}, analyses{};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        WriteTrajectoryReport(*OpenTrajectoryReader(path, TrajectoryFormat::Xyz), report, sink);
        const Clock::time_point read = Clock::now();
        for (const World& frame : frames) WriteAnalysis(frame, true, sink, report.Structure);
        analyses += Clock::now() - read;
        series += read - start;
    }
    std::filesystem::remove(path);
    state.counters["series_per_analyses"] =
        std::chrono::duration<double>(series).count() / std::chrono::duration<double>(analyses).count();
}

BENCHMARK(Step100)->Unit(benchmark::kMillisecond);
BENCHMARK(SampledStep100)->Unit(benchmark::kMillisecond);
BENCHMARK(Sample100)->Unit(benchmark::kMillisecond);
BENCHMARK(Histograms100)->Unit(benchmark::kMillisecond);
BENCHMARK(Structure100)->Arg(30)->Arg(12)->Unit(benchmark::kMillisecond);
BENCHMARK(ClusterCount100)->Unit(benchmark::kMillisecond);
BENCHMARK(StructureInSteps100)->Unit(benchmark::kMillisecond);
BENCHMARK(SeriesOf100Frames)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace taonscope
