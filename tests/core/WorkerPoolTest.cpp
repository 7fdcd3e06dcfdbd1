// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/WorkerPool.h"

#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <sys/resource.h>
#include <thread>

// GCC says it builds with the address sanitizer in a macro, clang in a feature.
#if defined(__SANITIZE_ADDRESS__)
#define AddressSanitized
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define AddressSanitized
#endif
#endif

namespace taonscope {
namespace {

// A job that waits, with the caller in it, for every thread gets every thread, once, whether jobs
// follow one another at once (the threads still watching) or after a pause (the threads asleep); Run
// returns only when every thread that started has finished.
TEST(WorkerPool, EveryThreadJoinsAJobThatWaitsForIt) {
    for (int threads : {1, 2, 3}) {
        WorkerPool pool(threads);
        ASSERT_EQ(pool.Threads(), threads);
        for (int job = 0; job < 300; ++job) {
            std::atomic<int> runs{0};
            std::atomic<int> finished{0};
            pool.Run([&] {
                runs.fetch_add(1);
                const auto start = std::chrono::steady_clock::now();
                while (runs.load() < threads &&
                       std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
                    std::this_thread::yield();
                finished.fetch_add(1);
            });
            ASSERT_EQ(runs.load(), threads) << "job " << job;
            ASSERT_EQ(finished.load(), threads) << "Run returned before every thread had finished";
            if (job % 100 == 99) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
}

// A quick job is never run twice on a thread, and Run does not wait for threads that have not started
// it: counted over many jobs, every run is accounted for when Run returns.
TEST(WorkerPool, QuickJobsRunAtMostOncePerThread) {
    WorkerPool pool(3);
    for (int job = 0; job < 2000; ++job) {
        std::atomic<int> runs{0}, finished{0};
        pool.Run([&] {
            runs.fetch_add(1);
            finished.fetch_add(1);
        });
        ASSERT_GE(runs.load(), 1);
        ASSERT_LE(runs.load(), 3);
        ASSERT_EQ(finished.load(), runs.load()) << "Run returned while a thread was still in the job";
    }
}

TEST(WorkerPool, JobsRunOnDistinctThreads) {
    WorkerPool pool(3);
    std::mutex mutex;
    std::set<std::thread::id> ids;
    std::atomic<int> arrived{0};
    pool.Run([&] {
        {
            std::lock_guard lock(mutex);
            ids.insert(std::this_thread::get_id());
        }
        arrived.fetch_add(1);
        const auto start = std::chrono::steady_clock::now();
        while (arrived.load() < 3 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
            std::this_thread::yield();
    });
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(ids.count(std::this_thread::get_id()), 1u) << "the caller is one of them";
}

TEST(WorkerPool, StopsWhileItsThreadsAreWatchingOrAsleep) {
    for (int pause : {0, 5}) {
        WorkerPool pool(2);
        std::atomic<int> runs{0};
        pool.Run([&] { runs.fetch_add(1); });
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        EXPECT_GE(runs.load(), 1);
        EXPECT_LE(runs.load(), 2);
    } // the destructor must join both
}

TEST(WorkerPool, WorksWithTheThreadsItGetsWhenTheSystemRefusesMore) {
#if defined(AddressSanitized)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    // 5000 stacks do not fit in 1 GiB of address space: thread creation fails part way.
    const int status = test::RunInChild([] {
        const rlimit limit{1ul << 30, 1ul << 30};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) return 2;
        WorkerPool pool(5000);
        std::atomic<int> ran{0};
        pool.Run([&] { ++ran; });
        return pool.Threads() >= 1 && pool.Threads() < 5000 && ran >= 1 && ran <= pool.Threads() ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

} // namespace
} // namespace taonscope
