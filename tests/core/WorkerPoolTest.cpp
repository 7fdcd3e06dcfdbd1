#include "core/WorkerPool.h"

#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sys/resource.h>

namespace taonscope {
namespace {

TEST(WorkerPool, WorksWithTheThreadsItGetsWhenTheSystemRefusesMore) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    // 5000 stacks do not fit in 1 GiB of address space: thread creation fails part way.
    const int status = test::RunInChild([] {
        const rlimit limit{1ul << 30, 1ul << 30};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) return 2;
        WorkerPool pool(5000);
        std::atomic<int> ran{0};
        pool.Run([&] { ++ran; });
        return pool.Threads() >= 1 && pool.Threads() < 5000 && ran == pool.Threads() ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

} // namespace
} // namespace taonscope
