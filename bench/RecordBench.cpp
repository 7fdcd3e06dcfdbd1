// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of recording a trajectory: steps of 100 taons under the fast law on one thread, without a
// recording (argument 0) and recording a frame every N steps (argument N). Compare the CPU times of
// one run (on one thread they hold all the work and are not disturbed by other programs):
//   build/bench/record_bench --benchmark_min_time=3 --benchmark_repetitions=3
#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/LammpsDumpFile.h"
#include "document/TrajectoryRecorder.h"
#include "document/XyzFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

namespace taonscope {
namespace {

void RecordedSteps(benchmark::State& state) {
    World world = CloudWorld(1);
    FastLaw law(1);
    const int every = static_cast<int>(state.range(0));
    const std::string path = (std::filesystem::temp_directory_path() / "taonscope-record-bench.xyz").string();
    TrajectoryRecorder recorder;
    if (every > 0) recorder.Start(path, every, world);
    for (auto _ : state) {
        AdvanceStep(world, CoolFactor(false), law);
        if (recorder.StepDone(world)) state.SkipWithError("the trajectory could not be written");
        // A long run drifts the cloud apart; start again from the same cloud, as a new run would.
        if (world.StepCounter == 2000) world = CloudWorld(1);
    }
    recorder.Stop();
    std::remove(path.c_str());
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// One frame of 100 taons, the work recording adds once every N steps.
void FormatFrame(benchmark::State& state) {
    const World world = CloudWorld(1);
    for (auto _ : state) benchmark::DoNotOptimize(FormatXyzFrame(world, 100, 0.1L));
}

// The same frame as a LAMMPS dump frame: the same reals, and the bounds of the taons.
void FormatDumpFrame(benchmark::State& state) {
    const World world = CloudWorld(1);
    for (auto _ : state) benchmark::DoNotOptimize(FormatLammpsFrame(world, 100));
}

BENCHMARK(FormatFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(FormatDumpFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(RecordedSteps)->Arg(0)->Arg(100)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace taonscope
