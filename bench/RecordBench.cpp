// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of recording a trajectory: steps of 100 taons under the fast law on one thread, without a
// recording (argument 0) and recording a frame every N steps (argument N). Compare the CPU times of
// one run (on one thread they hold all the work and are not disturbed by other programs):
//   build/bench/record_bench --benchmark_min_time=3 --benchmark_repetitions=3 --benchmark_filter=Record
// JsonObjectKeys times JSON objects of 10,000 and 40,000 keys in one run.
#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/Json.h"
#include "document/LammpsDumpFile.h"
#include "document/TrajectoryRecorder.h"
#include "document/XyzFile.h"

#include <benchmark/benchmark.h>

#include <chrono>
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

// Reading a JSON object takes a time in proportion to its keys times their logarithm: a sidecar of 40,000
// keys against one of 10,000. time_per_key_ratio was 1.82 on a quiet machine (the sort's logarithm, and
// members that no longer fit the processor's caches); 4.75 when every key was compared with every other.
void JsonObjectKeys(benchmark::State& state) {
    const auto object = [](int keys) {
        std::string text = "{";
        for (int k = 0; k < keys; ++k) text += (k ? ", \"k" : "\"k") + std::to_string(k) + "\": 1";
        return text + "}";
    };
    const std::string small = object(10000), large = object(40000);
    double smallSeconds = 1e30, largeSeconds = 1e30;
    for (auto _ : state) {
        for (const auto& [text, seconds] :
             {std::pair{&small, &smallSeconds}, std::pair{&large, &largeSeconds}}) {
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(ParseJson(*text));
            *seconds = std::min(
                *seconds, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
    }
    state.counters["time_per_key_ratio"] = (largeSeconds / 40000) / (smallSeconds / 10000);
}

BENCHMARK(JsonObjectKeys)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(FormatFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(FormatDumpFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(RecordedSteps)->Arg(0)->Arg(100)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace taonscope
