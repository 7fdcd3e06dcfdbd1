// SPDX-License-Identifier: GPL-3.0-or-later
// What a run costs from Python. StepsInPythonAndRunner makes world.step(1000) on the 100-taon cloud in an
// embedded interpreter, the package imported as a script imports it, and runs taonscope-cli run --steps
// 1000 on the same file, in turn in every iteration so that both meet the same load; it keeps the quickest
// of each (the host lends its cores to others too). The runner's time is the whole program's, its start
// and the loading of the file with it. Target: ratio = python_s / runner_s <= 1.05.
//   build/bench/python_bench
#include <benchmark/benchmark.h>
#include <pybind11/embed.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>

namespace taonscope {
namespace {

namespace py = pybind11;
using Clock = std::chrono::steady_clock;

constexpr int Steps = 1000;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The seconds of taonscope-cli run FILE --steps 1000, its messages left out.
double RunnerSeconds(const std::string& file) {
    const std::string steps = std::to_string(Steps);
    const char* const argv[] = {TAONSCOPE_CLI_PATH, "run", file.c_str(), "--steps", steps.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (failed != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("taonscope-cli run failed");
    return Since(start);
}

void StepsInPythonAndRunner(benchmark::State& state) {
    const py::module_ taonscope = py::module_::import("taonscope");
    const std::string file = (std::filesystem::temp_directory_path() / "python-bench-cloud.tao").string();
    taonscope.attr("scenario")("cloud").attr("save")(file);
    double python = 1e30, runner = 1e30;
    for (auto _ : state) {
        const py::object world = taonscope.attr("load")(file);
        const py::object step = world.attr("step");
        const Clock::time_point start = Clock::now();
        step(Steps);
        python = std::min(python, Since(start));
        runner = std::min(runner, RunnerSeconds(file));
    }
    std::filesystem::remove(file);
    state.counters["python_s"] = python;
    state.counters["runner_s"] = runner;
    state.counters["ratio"] = python / runner;
}

BENCHMARK(StepsInPythonAndRunner)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(5);

} // namespace
} // namespace taonscope

int main(int argc, char** argv) {
    const pybind11::scoped_interpreter python;
    pybind11::module_::import("sys").attr("path").attr("insert")(0, TAONSCOPE_PYTHON_PATH);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
