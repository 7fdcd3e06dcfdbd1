// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace taonscope {

/// A fixed set of threads that run one job together, the calling thread among them. Between jobs the
/// threads watch for the next one for a fraction of a millisecond before they sleep, so that jobs given
/// in quick succession (the steps of a running world) do not wait for threads to wake.
class WorkerPool {
public:
    /// A pool of `threads` threads in all (0: one per processor core), or of as many as the system
    /// grants when it refuses more.
    explicit WorkerPool(int threads = 0);
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;
    ~WorkerPool();

    /// Number of threads that run a job, the caller included.
    int Threads() const { return static_cast<int>(workers_.size()) + 1; }

    /// Runs job on the calling thread and on every pool thread that starts it before the caller has
    /// finished it, at most once on each, and returns when all that started have finished: a thread
    /// that the system has not given a processor in time is not waited for. The job therefore shares
    /// out its work itself (for example through an atomic counter), never waits for a given number of
    /// threads unless the caller is still in it, and must not throw.
    void Run(const std::function<void()>& job);

private:
    void WorkerLoop();

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::function<void()>* job_ = nullptr; // under mutex_
    bool open_ = false;                          // under mutex_: threads may still start job_
    std::atomic<unsigned long> generation_{0};   // moves on, under mutex_, with every job
    std::atomic<int> running_{0};                // pool threads in the job; grows only under mutex_
    std::atomic<bool> quit_{false};
};

} // namespace taonscope
