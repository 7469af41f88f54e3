#include "platform/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace tb {
namespace {

using namespace std::chrono_literals;

TEST(WorkerPoolTest, NeverRunsMoreJobsThanThreadsAndRunsThemAll) {
    std::atomic<int> active{0};
    std::atomic<int> peak{0};
    std::atomic<int> done{0};
    WorkerPool pool(4);
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(pool.post([&] {
            const int now = ++active;
            int seen = peak;
            while (now > seen && !peak.compare_exchange_weak(seen, now)) {
            }
            std::this_thread::sleep_for(30ms);
            --active;
            ++done;
        }));
    }
    pool.wait_idle();
    EXPECT_EQ(done, 12);
    EXPECT_LE(peak, 4);
    EXPECT_GE(peak, 2);
    EXPECT_LE(pool.thread_count(), 4u);
}

TEST(WorkerPoolTest, AThrowingJobIsReportedWithItsTextAndTheNextOnesStillRun) {
    std::mutex mutex;
    std::vector<std::string> failures;
    WorkerPool pool(1, [&](const std::string& what) {
        std::lock_guard lock(mutex);
        failures.push_back(what);
    });
    std::atomic<int> after{0};
    pool.post([] { throw std::runtime_error("disk on fire"); });
    pool.post([] { throw 42; });
    pool.post([&] { ++after; });
    pool.wait_idle();
    EXPECT_EQ(failures, (std::vector<std::string>{"disk on fire", "unknown exception"}));
    EXPECT_EQ(after, 1);
}

TEST(WorkerPoolTest, ShutdownRunsWhatIsQueuedThenRefusesNewJobs) {
    std::atomic<int> done{0};
    WorkerPool pool(2);
    for (int i = 0; i < 6; ++i) {
        pool.post([&] {
            std::this_thread::sleep_for(5ms);
            ++done;
        });
    }
    pool.shutdown();
    EXPECT_EQ(done, 6);
    EXPECT_EQ(pool.thread_count(), 0u);
    EXPECT_FALSE(pool.post([&] { ++done; }));
    pool.wait_idle();
    EXPECT_EQ(done, 6);
}

TEST(WorkerPoolTest, NoThreadStartsBeforeTheFirstJob) {
    WorkerPool pool(4);
    EXPECT_EQ(pool.thread_count(), 0u);
    pool.post([] {});
    pool.wait_idle();
    // One job, one thread: an idle thread takes the next job instead of a new one starting.
    pool.post([] {});
    pool.wait_idle();
    EXPECT_EQ(pool.thread_count(), 1u);
}

}  // namespace
}  // namespace tb
