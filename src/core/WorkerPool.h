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
    /// A pool of `threads` threads in all (0: one per processor core).
    explicit WorkerPool(int threads = 0);
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;
    ~WorkerPool();

    /// Number of threads that run a job, the caller included.
    int Threads() const { return static_cast<int>(workers_.size()) + 1; }

    /// Runs job once on every thread of the pool and returns when all have finished. The job shares
    /// out its work itself (for example through an atomic counter) and must not throw.
    void Run(const std::function<void()>& job);

private:
    void WorkerLoop();

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::function<void()>* job_ = nullptr; // written under mutex_ before generation_ moves on
    std::atomic<unsigned long> generation_{0};
    std::atomic<int> busy_{0};
    std::atomic<bool> quit_{false};
};

} // namespace taonscope
