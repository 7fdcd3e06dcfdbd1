#include "WorkerPool.h"

#include <algorithm>
#include <system_error>

namespace taonscope {

WorkerPool::WorkerPool(int threads) {
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // The system may refuse threads (limits, memory): the pool then works with those it got.
    try {
        for (int n = 1; n < threads; ++n) workers_.emplace_back([this] { WorkerLoop(); });
    } catch (const std::system_error&) {
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void WorkerPool::Run(const std::function<void()>& job) {
    if (workers_.empty()) return job();
    {
        std::lock_guard lock(mutex_);
        job_ = &job;
        busy_ = static_cast<int>(workers_.size());
        ++generation_;
    }
    wake_.notify_all();
    job();
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    job_ = nullptr;
}

void WorkerPool::WorkerLoop() {
    unsigned long seen = 0;
    for (;;) {
        const std::function<void()>* job = nullptr;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quit_ || generation_ != seen; });
            if (quit_) return;
            seen = generation_;
            job = job_;
        }
        (*job)();
        {
            std::lock_guard lock(mutex_);
            --busy_;
        }
        done_.notify_one();
    }
}

} // namespace taonscope
