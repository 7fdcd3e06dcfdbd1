// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchJobs.h"

#include "Cli.h"
#include "Progress.h"

#include "atlas/Batch.h"

#include <algorithm>
#include <csignal>
#include <ctime>
#include <thread>

namespace taonscope {

namespace {

// More processes than this only wait for one another.
constexpr int MostJobs = 256;

// How far a batch is, on the progress line: redrawn in place on a terminal, else a line when a cell
// started or finished and a second has passed; the last is always shown.
class BatchProgressLine {
public:
    BatchProgressLine(std::ostream& err, bool terminal) : line_(err, terminal, true) {}
    void Show(const BatchProgress& progress, bool last = false) {
        const bool changed = progress.Done != shownDone_ || progress.Running != shownRunning_;
        if (last ? !changed : !line_.Due() || (!line_.Terminal() && !changed)) return;
        shownDone_ = progress.Done;
        shownRunning_ = progress.Running;
        line_.Show(ProgressText(progress, std::time(nullptr)));
    }
    void Finish() { line_.Finish(true); }

private:
    ProgressLine line_;
    int shownDone_ = -1, shownRunning_ = -1;
};

} // namespace

int JobsOption(const CommandLine& line) {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int jobs = WholeNumberOption(line, "--jobs", cores);
    if (jobs < 1 || jobs > MostJobs)
        throw CommandLineError{"--jobs takes a whole number from 1 to " + std::to_string(MostJobs) +
                               ", not '" + *line.Option("--jobs") + "'"};
    return jobs;
}

std::vector<int> CellsToDo(int total, const std::vector<int>& done) {
    std::vector<int> todo;
    for (int index = 1; index <= total; ++index)
        if (!std::binary_search(done.begin(), done.end(), index)) todo.push_back(index);
    return todo;
}

std::optional<int> RunCells(int total, const std::vector<int>& todo, int jobs,
                            const std::function<void(int)>& runCell, std::ostream& err, bool errIsTerminal,
                            const std::string& again) {
    if (todo.empty()) {
        err << "all " << total << " cells are done\n";
        return std::nullopt;
    }
    err << "running " << todo.size() << " of " << total << " cells on " << jobs
        << (jobs == 1 ? " process" : " processes") << '\n';
    BatchProgressLine progress(err, errIsTerminal);
    BatchProgress last;
    const BatchReport report = RunBatch(total, todo, jobs, runCell, [&](const BatchProgress& p) {
        last = p;
        progress.Show(p);
    });
    progress.Show(last, true);
    progress.Finish();
    for (const std::string& failure : report.Failures) err << "taonscope-cli: " << failure << '\n';
    if (report.Signal != 0) {
        err << "stopped by " << (report.Signal == SIGINT ? "SIGINT" : "SIGTERM") << ": " << last.Done
            << " of " << last.Total << " cells done; " << again << " goes on from there\n";
        return 128 + report.Signal;
    }
    if (!report.Failures.empty()) return CliBadInput;
    return std::nullopt;
}

} // namespace taonscope
