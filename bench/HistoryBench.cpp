// SPDX-License-Identifier: GPL-3.0-or-later
// The history of a million-step run of 100 taons: the memory it keeps, and the time to reach a step
// that lies furthest from its keyframe, against the time of the steps that reach it made plainly, in
// one run; and what keeping the history adds to each step of a run.
//   build/bench/history_bench --benchmark_min_time=2
#include "core/RunHistory.h"
#include "core/Scenarios.h"
#include "core/Step.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>

namespace taonscope {
namespace {

constexpr std::size_t RunSteps = 1000000;

// A million steps kept as the window keeps them. Making a million real steps would take minutes, so
// after the first keyframe stretch the states are the cloud moved along by its velocities: the history
// keeps the same bytes, and the replay from any keyframe makes real steps of the law.
struct MillionSteps {
    RunHistory history;
    FastLaw law;
    MillionSteps() {
        World world = CloudWorld(1, false);
        for (std::size_t s = 0; s < RunSteps; ++s) {
            history.BeforeStep(world, CoolFactor(false));
            if (s < RunHistory::KeyframeSteps) {
                AdvanceStep(world, CoolFactor(false), law);
            } else {
                for (int i = 1; i <= MaxTaons; ++i) {
                    world.PosX[i] = world.NextPosX[i] = world.ScenePosX[i] =
                        world.PosX[i] + world.VelX[i] * world.dt;
                    world.PosY[i] = world.NextPosY[i] = world.ScenePosY[i] =
                        world.PosY[i] + world.VelY[i] * world.dt;
                }
                ++world.StepCounter;
            }
            history.StepDone(world);
        }
    }
};

MillionSteps& Run() {
    static const auto run = std::make_unique<MillionSteps>();
    return *run;
}

// Reaching states that lie KeyframeSteps - 1 steps after a keyframe, spread over the whole run, against
// the same steps made plainly from that keyframe's state: the ratio shows what finding and unpacking the
// keyframe adds to the replay.
void ReachFurthestStep(benchmark::State& state) {
    MillionSteps& run = Run();
    std::uint64_t pick = 12345;
    double reach = 0, plain = 0;
    for (auto _ : state) {
        pick = pick * 6364136223846793005u + 1442695040888963407u;
        const std::size_t keyframe = (pick >> 33) % (RunSteps / RunHistory::KeyframeSteps);
        const std::size_t n = keyframe * RunHistory::KeyframeSteps + RunHistory::KeyframeSteps - 1;
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(run.history.StateAt(n, run.law).PosX[1]);
        const auto reached = std::chrono::steady_clock::now();
        World world = run.history.StateAt(n + 1 - RunHistory::KeyframeSteps, run.law);
        const auto fetched = std::chrono::steady_clock::now();
        for (std::size_t s = 0; s + 1 < RunHistory::KeyframeSteps; ++s)
            AdvanceStep(world, CoolFactor(false), run.law);
        benchmark::DoNotOptimize(world.PosX[1]);
        reach += std::chrono::duration<double>(reached - start).count();
        plain += std::chrono::duration<double>(std::chrono::steady_clock::now() - fetched).count();
    }
    const double reaches = static_cast<double>(state.iterations());
    state.counters["reach_ms"] = 1e3 * reach / reaches;
    state.counters["plain_steps_ms"] = 1e3 * plain / reaches;
    state.counters["ratio"] = reach / plain;
    state.counters["history_mib"] = static_cast<double>(run.history.Bytes()) / (1 << 20);
    state.counters["states"] = static_cast<double>(run.history.States());
}

// What keeping the history adds to a run of the cloud: its two calls against the step between them.
void KeepingAStep(benchmark::State& state) {
    FastLaw law;
    RunHistory history;
    World world = CloudWorld(1, false);
    double keep = 0, step = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        history.BeforeStep(world, CoolFactor(false));
        const auto before = std::chrono::steady_clock::now();
        AdvanceStep(world, CoolFactor(false), law);
        const auto stepped = std::chrono::steady_clock::now();
        history.StepDone(world);
        const auto kept = std::chrono::steady_clock::now();
        keep += std::chrono::duration<double>((before - start) + (kept - stepped)).count();
        step += std::chrono::duration<double>(stepped - before).count();
    }
    state.counters["keep_us"] = 1e6 * keep / static_cast<double>(state.iterations());
    state.counters["step_us"] = 1e6 * step / static_cast<double>(state.iterations());
    state.counters["ratio"] = keep / step;
}

BENCHMARK(KeepingAStep)->UseRealTime();
BENCHMARK(ReachFurthestStep)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace taonscope
