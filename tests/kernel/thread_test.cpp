#include "platform/kernel/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/sinks.h"
#include "platform/kernel/sync.h"
#include "tests/support/wait_until.h"

using namespace std::chrono_literals;
using test_support::kPatience;

namespace {

TEST(KernelThread, RunningThreadEndsWithItsBodysExitCode) {
    kernel::Event release(true, false);
    kernel::Thread t(
        [&] {
            release.Wait(kPatience);
            return 7u;
        },
        kernel::Thread::Start::Running);
    EXPECT_EQ(t.ExitCode(), kernel::kStillActive);
    EXPECT_FALSE(t.Join(20ms));
    release.Set();
    ASSERT_TRUE(t.Join(kPatience));
    EXPECT_TRUE(t.HasStarted());
    EXPECT_EQ(t.ExitCode(), 7u);
}

TEST(KernelThread, SuspendedThreadWaitsForResume) {
    std::atomic<bool> ran{false};
    kernel::Thread t(
        [&] {
            ran = true;
            return 0u;
        },
        kernel::Thread::Start::Suspended);
    std::this_thread::sleep_for(30ms);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(t.HasStarted());
    EXPECT_EQ(t.ExitCode(), kernel::kStillActive);  // waiting at its gate still counts as running
    t.Resume();
    t.Resume();  // a second resume changes nothing
    ASSERT_TRUE(t.Join(kPatience));
    EXPECT_TRUE(ran);
}

TEST(KernelThread, NeverResumedThreadNeverRunsItsBody) {
    std::atomic<bool> ran{false};
    {
        kernel::Thread t(
            [&] {
                ran = true;
                return 5u;
            },
            kernel::Thread::Start::Suspended);
        t.Abandon();
        ASSERT_TRUE(t.Join(kPatience));
        EXPECT_EQ(t.ExitCode(), 0u);
        EXPECT_FALSE(t.HasStarted());
        t.Resume();  // too late: the gate was opened for ending
    }
    {
        // Destroyed without Resume: the destructor abandons and joins.
        kernel::Thread t(
            [&] {
                ran = true;
                return 5u;
            },
            kernel::Thread::Start::Suspended);
    }
    EXPECT_FALSE(ran);
}

TEST(KernelThread, EscapingExceptionGivesExitCodeOneAndADebugLine) {
    std::vector<std::string> lines;
    std::mutex m;
    auto previous = kernel::SetDebugOutputSink([&](const std::string& line) {
        std::lock_guard lock(m);
        lines.push_back(line);
    });
    kernel::Thread t([]() -> std::uint32_t { throw std::runtime_error("queue broken"); },
                     kernel::Thread::Start::Running);
    ASSERT_TRUE(t.Join(kPatience));
    kernel::SetDebugOutputSink(previous);
    EXPECT_EQ(t.ExitCode(), 1u);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("queue broken"), std::string::npos);
    EXPECT_NE(lines[0].find(std::to_string(t.Id())), std::string::npos);
}

TEST(KernelThreadId, SmallStableDistinctAndMatchingTheThreadObject) {
    const kernel::ThreadId mine = kernel::CurrentThreadId();
    EXPECT_NE(mine, 0u);
    EXPECT_EQ(kernel::CurrentThreadId(), mine);
    EXPECT_LT(mine, 100000u);

    std::mutex m;
    std::set<kernel::ThreadId> seen{mine};
    std::vector<std::unique_ptr<kernel::Thread>> threads;
    std::vector<kernel::ThreadId> inside(4);
    for (int i = 0; i < 4; ++i) {
        threads.push_back(std::make_unique<kernel::Thread>(
            [&, i] {
                inside[i] = kernel::CurrentThreadId();
                std::lock_guard lock(m);
                seen.insert(inside[i]);
                return 0u;
            },
            kernel::Thread::Start::Running));
    }
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(threads[i]->Join(kPatience));
        EXPECT_EQ(inside[i], threads[i]->Id());
    }
    EXPECT_EQ(seen.size(), 5u);
}

TEST(KernelThread, JoinFromItsOwnBodyDoesNotHang) {
    std::unique_ptr<kernel::Thread> t;
    std::atomic<int> self_join{-1};
    kernel::Event created(true, false);
    t = std::make_unique<kernel::Thread>(
        [&] {
            created.Wait(kPatience);
            self_join = t->Join(10ms) ? 1 : 0;
            return 0u;
        },
        kernel::Thread::Start::Running);
    created.Set();
    ASSERT_TRUE(t->Join(kPatience));
    EXPECT_EQ(self_join, 0);
}

}  // namespace
