#include "core/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

namespace taonscope {
namespace {

// Every thread of the pool runs every job exactly once, whether jobs follow one another at once (the
// threads still watching) or after a pause (the threads asleep), and Run returns only when all are done.
TEST(WorkerPool, EveryThreadRunsEveryJobOnce) {
    for (int threads : {1, 2, 3}) {
        WorkerPool pool(threads);
        ASSERT_EQ(pool.Threads(), threads);
        for (int job = 0; job < 300; ++job) {
            std::atomic<int> runs{0};
            std::atomic<int> finished{0};
            pool.Run([&] {
                runs.fetch_add(1);
                std::this_thread::yield();
                finished.fetch_add(1);
            });
            ASSERT_EQ(runs.load(), threads) << "job " << job;
            ASSERT_EQ(finished.load(), threads) << "Run returned before every thread had finished";
            if (job % 100 == 99) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
}

TEST(WorkerPool, JobsRunOnDistinctThreads) {
    WorkerPool pool(3);
    std::mutex mutex;
    std::set<std::thread::id> ids;
    pool.Run([&] {
        std::lock_guard lock(mutex);
        ids.insert(std::this_thread::get_id());
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
        EXPECT_EQ(runs.load(), 2);
    } // the destructor must join both
}

} // namespace
} // namespace taonscope
