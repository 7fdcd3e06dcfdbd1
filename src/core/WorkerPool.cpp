// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkerPool.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace taonscope {

namespace {

// How long a thread watches for what it waits for before it sleeps.
constexpr std::chrono::microseconds SpinTime{200};

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// True as soon as done() is; false when SpinTime has passed first.
template <typename Done> bool SpinUntil(Done done) {
    const auto start = std::chrono::steady_clock::now();
    for (unsigned n = 1;; ++n) {
        if (done()) return true;
        Pause();
        if (n % 64 == 0 && std::chrono::steady_clock::now() - start > SpinTime) return done();
    }
}

} // namespace

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
        quit_.store(true, std::memory_order_release);
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void WorkerPool::Run(const std::function<void()>& job) {
    if (workers_.empty()) return job();
    {
        std::lock_guard lock(mutex_);
        job_ = &job;
        open_ = true;
        generation_.fetch_add(1, std::memory_order_release);
    }
    wake_.notify_all();
    job();
    {
        // From here no thread starts the job; those that did are counted in running_.
        std::lock_guard lock(mutex_);
        open_ = false;
    }
    const auto finished = [this] { return running_.load(std::memory_order_acquire) == 0; };
    if (SpinUntil(finished)) return;
    std::unique_lock lock(mutex_);
    done_.wait(lock, finished);
}

void WorkerPool::WorkerLoop() {
    unsigned long seen = 0;
    const auto called = [&] {
        return quit_.load(std::memory_order_acquire) || generation_.load(std::memory_order_acquire) != seen;
    };
    for (;;) {
        SpinUntil(called);
        const std::function<void()>* job = nullptr;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, called);
            if (quit_.load(std::memory_order_relaxed)) return;
            seen = generation_.load(std::memory_order_relaxed);
            if (!open_) continue; // the caller has finished this job already
            running_.fetch_add(1, std::memory_order_relaxed);
            job = job_;
        }
        (*job)();
        if (running_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            // Under the lock, so that a Run that has just decided to sleep cannot miss this.
            std::lock_guard lock(mutex_);
            done_.notify_one();
        }
    }
}

} // namespace taonscope
