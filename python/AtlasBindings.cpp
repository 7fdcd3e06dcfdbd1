// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bindings.h"

#include "atlas/Batch.h"
#include "atlas/Merge.h"
#include "cli/Progress.h"

#include <csignal>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

namespace taonscope {

namespace {

std::vector<int> CellsToRun(const AtlasPlan& plan) {
    const std::vector<int> done = DoneCells(plan);
    std::vector<int> todo;
    for (int index = 1; index <= plan.Sweep.CellCount(); ++index)
        if (!std::binary_search(done.begin(), done.end(), index)) todo.push_back(index);
    return todo;
}

// Forking a process that has other threads leaves the child with whatever locks they held, so the
// batch runs only in a process of its own (taonscope.atlas.run starts one).
void RequireOneThread() {
    const auto tasks = std::filesystem::directory_iterator("/proc/self/task");
    if (std::distance(begin(tasks), end(tasks)) != 1)
        throw TaonError(
            "the cells are run from a process without other threads: taonscope.atlas.run starts one");
}

// Returns the signal that ended the batch (0 when none did) and "cell 5: why" for every cell that failed.
std::pair<int, std::vector<std::string>> RunCells(const std::string& dir, int jobs) {
    RequireOneThread();
    // The batch ends its cells when the Python process that started it ends.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    const AtlasPlan plan = LoadPlan(dir);
    if (jobs == 0) jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    ProgressLine line(std::cerr, ::isatty(STDERR_FILENO) != 0, false);
    const BatchReport report =
        RunAtlasBatch(plan, CellsToRun(plan), jobs, [&](const BatchProgress& progress) {
            if (line.Due()) line.Show(ProgressText(progress, std::time(nullptr)));
        });
    line.Finish();
    return {report.Signal, report.Failures};
}

} // namespace

void BindAtlas(py::module_& module) {
    module.def(
        "_plan_atlas",
        [](const std::string& sweep, const std::string& dir) {
            return WritePlan(sweep, dir).Sweep.CellCount();
        },
        py::arg("sweep"), py::arg("folder"));
    module.def(
        "_cells_to_run", [](const std::string& dir) { return CellsToRun(LoadPlan(dir)).size(); },
        py::arg("folder"));
    module.def("_run_cells", &RunCells, py::arg("folder"), py::arg("jobs"));
    module.def("_merge_atlas", &MergeAtlas, py::arg("folder"));
}

} // namespace taonscope
