// SPDX-License-Identifier: GPL-3.0-or-later
#include "Batch.h"

#include "Cell.h"

#include "core/StopSignals.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace taonscope {

namespace {

// A running cell: its process and the pipe its message comes through.
struct Child {
    int Index = 0;
    int Pipe = -1;
};

// The child's side: runs the cell and says what went wrong through the pipe.
[[noreturn]] void RunChild(const std::function<void(int)>& runCell, int index, int pipe, pid_t parent) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(1);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    int status = 0;
    std::string message;
    try {
        runCell(index);
    } catch (const std::exception& error) {
        message = error.what();
        status = 2;
    } catch (...) {
        message = "unexpected error";
        status = 2;
    }
    for (std::size_t at = 0; at < message.size();) {
        const ssize_t wrote = ::write(pipe, message.data() + at, message.size() - at);
        if (wrote <= 0) break;
        at += static_cast<std::size_t>(wrote);
    }
    ::_exit(status);
}

std::string Drain(int pipe) {
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipe, buffer, sizeof buffer)) != 0;) {
        if (got < 0) {
            if (errno == EINTR) continue;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

} // namespace

BatchReport RunBatch(int total, const std::vector<int>& cells, int jobs,
                     const std::function<void(int)>& runCell,
                     const std::function<void(const BatchProgress&)>& progress) {
    BatchReport report;
    const StopOnSignals signals;
    const auto start = std::chrono::steady_clock::now();
    BatchProgress state;
    state.Total = total;
    state.Done = state.Total - static_cast<int>(cells.size());
    std::map<pid_t, Child> running;
    std::size_t next = 0;
    auto tell = [&] {
        state.Running = static_cast<int>(running.size());
        state.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (progress) progress(state);
    };
    const pid_t self = ::getpid();
    jobs = std::max(1, jobs);

    while ((next < cells.size() && StopSignal() == 0) || !running.empty()) {
        while (StopSignal() == 0 && next < cells.size() && static_cast<int>(running.size()) < jobs) {
            int pipe[2];
            if (::pipe2(pipe, O_CLOEXEC) != 0) {
                report.Failures.push_back("cell " + std::to_string(cells[next]) + ": no pipe to run it with");
                ++next;
                continue;
            }
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(pipe[0]);
                RunChild(runCell, cells[next], pipe[1], self);
            }
            ::close(pipe[1]);
            if (pid < 0) {
                ::close(pipe[0]);
                report.Failures.push_back("cell " + std::to_string(cells[next]) +
                                          ": no process to run it in");
                ++next;
                continue;
            }
            running[pid] = {cells[next++], pipe[0]};
        }
        // Told once the free places are filled again, so that the line counts the cells running.
        tell();
        if (StopSignal() != 0)
            for (const auto& [pid, child] : running) ::kill(pid, SIGTERM);

        // A child's pipe closes when it ends; the wait also ends once a second, or on a signal.
        std::vector<pollfd> watched;
        std::vector<pid_t> pids;
        for (const auto& [pid, child] : running) {
            watched.push_back({child.Pipe, POLLIN, 0});
            pids.push_back(pid);
        }
        if (watched.empty() || ::poll(watched.data(), watched.size(), 1000) <= 0) continue;
        for (std::size_t w = 0; w < watched.size(); ++w) {
            if (watched[w].revents == 0) continue;
            const pid_t pid = pids[w];
            const Child child = running[pid];
            running.erase(pid);
            const std::string message = Drain(child.Pipe); // to the end: the child has ended or is ending
            ::close(child.Pipe);
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
                ++report.Finished;
                ++state.Done;
                ++state.FinishedHere;
            } else if (StopSignal() != 0 && WIFSIGNALED(status)) {
                // Ended by the batch's own stop, or by Ctrl+C, which reaches the whole process group:
                // not done, and no failure.
            } else {
                report.Failures.push_back("cell " + std::to_string(child.Index) + ": " +
                                          (!message.empty() ? message
                                           : WIFSIGNALED(status)
                                               ? "ended by signal " + std::to_string(WTERMSIG(status))
                                               : "ended with status " + std::to_string(WEXITSTATUS(status))));
            }
        }
    }
    tell();
    report.Signal = StopSignal();
    return report;
}

BatchReport RunAtlasBatch(const AtlasPlan& plan, const std::vector<int>& cells, int jobs,
                          const std::function<void(const BatchProgress&)>& progress) {
    return RunBatch(
        plan.Sweep.CellCount(), cells, jobs, [&plan](int index) { RunAndKeepCell(plan, index); }, progress);
}

std::string ClockDuration(double seconds) {
    const long long whole = static_cast<long long>(seconds + 0.5);
    char text[48];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

std::string ProgressText(const BatchProgress& p, std::time_t now) {
    std::string text = std::to_string(p.Done) + " of " + std::to_string(p.Total) + " cells done, " +
                       std::to_string(p.Running) + " running, " + ClockDuration(p.Seconds) + " so far";
    const int left = p.Total - p.Done;
    if (left > 0 && p.FinishedHere > 0 && p.Seconds > 0) {
        const double toGo = p.Seconds / p.FinishedHere * left;
        const std::time_t end = now + static_cast<std::time_t>(toGo + 0.5);
        std::tm local{};
        ::localtime_r(&end, &local);
        char clock[16];
        std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
        text += ", about " + ClockDuration(toGo) + " to go (ends at " + clock + ")";
    } else if (left > 0) {
        text += ", the end is estimated once a cell is done";
    }
    return text;
}

} // namespace taonscope
