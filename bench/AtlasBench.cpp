// SPDX-License-Identifier: GPL-3.0-or-later
// The atlas' throughput. CellsOnOneAndTwo runs a sweep of 16 cells (100 taons of three kinds, 1000 steps
// each, every cell in a process of its own) on one process and then on two, in turn in every iteration
// so that both meet the same load, and counts the cells per minute of the quickest iteration of each;
// two must give at least 1.8 times the cells per minute of one (ratio >= 1.8).
// CellOverhead measures what a cell costs besides its steps (its process, its start, the classification
// and its four files) against a cell of 20,000 steps, whose steps it times on the same machine; the
// target is overhead_percent < 2. PlanMergeAndMapOfAnyShape shows that plans, merges and maps take a
// time in proportion to the cells, whatever the sweep's shape.
//   build/bench/atlas_bench
#include "atlas/Batch.h"
#include "atlas/Cell.h"
#include "atlas/Map.h"
#include "atlas/Merge.h"

#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/FileIo.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace taonscope {
namespace {

using Clock = std::chrono::steady_clock;

// A fresh folder holding the plan of a 16-cell sweep whose cells make `steps` steps.
class PlannedSweep {
public:
    explicit PlannedSweep(int steps) {
        std::string pattern = (std::filesystem::temp_directory_path() / "atlas-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        folder_ = pattern;
        ReplaceFileContents(folder_ + "/bench.atlas.json",
                            R"({"base": {"scenario": "cloud", "seed": 1},
                                "vary": [{"parameter": "A", "from": 0.5, "to": 2, "count": 4},
                                         {"parameter": "B", "from": 2.5, "to": 3, "count": 2}],
                                "repetitions": 2, "protocol": {"steps": )" +
                                std::to_string(steps) + "}}");
        plan_ = WritePlan(folder_ + "/bench.atlas.json", folder_ + "/atlas");
    }
    PlannedSweep(const PlannedSweep&) = delete;
    PlannedSweep& operator=(const PlannedSweep&) = delete;
    ~PlannedSweep() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    // Runs every cell on `jobs` processes; the seconds it took.
    double Run(int jobs) const {
        std::vector<int> cells(16);
        for (int i = 0; i < 16; ++i) cells[static_cast<std::size_t>(i)] = i + 1;
        const Clock::time_point start = Clock::now();
        const BatchReport report = RunAtlasBatch(plan_, cells, jobs, {});
        if (report.Finished != 16) throw std::runtime_error("a cell failed");
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

private:
    std::string folder_;
    AtlasPlan plan_;
};

// The host lends its cores to others too: each count comes from the quickest of the iterations.
void CellsOnOneAndTwo(benchmark::State& state) {
    double one = 1e30, two = 1e30;
    for (auto _ : state) {
        const PlannedSweep first(1000), second(1000);
        one = std::min(one, first.Run(1));
        two = std::min(two, second.Run(2));
    }
    state.counters["cells_per_minute_1"] = 16 * 60 / one;
    state.counters["cells_per_minute_2"] = 16 * 60 / two;
    state.counters["cells_per_hour_2"] = 16 * 3600 / two;
    state.counters["ratio"] = one / two;
}

void CellOverhead(benchmark::State& state) {
    double overhead = 0, stepping = 0;
    World world = CloudWorld();
    FastLaw law(1);
    constexpr int TimedSteps = 1000;
    for (auto _ : state) {
        const PlannedSweep empty(0);
        overhead += empty.Run(1) / 16;
        const Clock::time_point start = Clock::now();
        for (int s = 0; s < TimedSteps; ++s) AdvanceStep(world, CoolFactor(true), law);
        stepping += std::chrono::duration<double>(Clock::now() - start).count() / TimedSteps;
        benchmark::DoNotOptimize(world.PosX[1]);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["overhead_ms"] = 1000 * overhead / iterations;
    state.counters["cell_of_20000_steps_s"] = 20000 * stepping / iterations;
    state.counters["overhead_percent"] = 100 * overhead / (20000 * stepping);
}

// The work of a plan, a merge and a map grows with the cells alone, whatever the shape of the sweep:
// 20,000 cells as 1000 x 20 and as 200 x 100 (ratio_of_shapes near 1), and the most cells a sweep may
// have, 100,000 as 1000 x 100 (seconds_of_most_cells). The merge is timed from the records' texts, as
// it reads them, without 20,000 files.
double PlanMergeAndMap(int first, int second) {
    std::string pattern = (std::filesystem::temp_directory_path() / "atlas-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
    const std::string folder = pattern;
    ReplaceFileContents(
        folder + "/shape.atlas.json",
        R"({"base": {"scenario": "ring"}, "vary": [{"parameter": "A1", "from": 0.5, "to": 2, "count": )" +
            std::to_string(first) + R"(}, {"parameter": "B1", "from": 2, "to": 3, "count": )" +
            std::to_string(second) + R"(, "spacing": "log"}], "protocol": {"steps": 10}})");
    const Clock::time_point start = Clock::now();
    Atlas atlas{WritePlan(folder + "/shape.atlas.json", folder + "/atlas"), {}};
    for (int index = 1; index <= atlas.Plan.Sweep.CellCount(); ++index) {
        CellRecord record;
        record.Index = index;
        record.Values = CellOf(atlas.Plan.Sweep, index).Values;
        atlas.Records.push_back(ParseCellRecord(atlas.Plan.Sweep, CellRecordJson(atlas.Plan.Sweep, record)));
    }
    benchmark::DoNotOptimize(AtlasCsv(atlas.Plan.Sweep, atlas.Records));
    benchmark::DoNotOptimize(LayOutMap(atlas, MapColour::Outcome, 900, 600));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return seconds;
}

void PlanMergeAndMapOfAnyShape(benchmark::State& state) {
    double long_ = 1e30, square = 1e30, most = 1e30;
    for (auto _ : state) {
        long_ = std::min(long_, PlanMergeAndMap(1000, 20));
        square = std::min(square, PlanMergeAndMap(200, 100));
        most = std::min(most, PlanMergeAndMap(1000, 100));
    }
    state.counters["seconds_1000x20"] = long_;
    state.counters["seconds_200x100"] = square;
    state.counters["ratio_of_shapes"] = long_ / square;
    state.counters["seconds_of_most_cells"] = most;
}

BENCHMARK(PlanMergeAndMapOfAnyShape)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);
BENCHMARK(CellsOnOneAndTwo)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(4);
BENCHMARK(CellOverhead)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(5);

} // namespace
} // namespace taonscope
