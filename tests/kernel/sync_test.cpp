#include "platform/kernel/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/wait_until.h"

using namespace std::chrono_literals;
using kernel::WaitResult;
using test_support::kPatience;
using test_support::WaitUntil;

namespace {

struct ReleaseCase {
    std::int32_t initial, maximum, release;
    bool accepted;
    std::int32_t count_after;
};

void PrintTo(const ReleaseCase& c, std::ostream* os) {
    *os << "initial " << c.initial << " max " << c.maximum << " release " << c.release;
}

class KernelSemaphoreRelease : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(KernelSemaphoreRelease, RespectsMaximum) {
    const ReleaseCase c = GetParam();
    kernel::Semaphore s(c.initial, c.maximum);
    EXPECT_EQ(s.Release(c.release), c.accepted);
    EXPECT_EQ(s.Count(), c.count_after);
}

INSTANTIATE_TEST_SUITE_P(Cases, KernelSemaphoreRelease,
                         ::testing::Values(ReleaseCase{0, 1, 1, true, 1},   // token given back
                                           ReleaseCase{1, 1, 1, false, 1},  // token released twice
                                           ReleaseCase{0, 2500, 2500, true, 2500},
                                           ReleaseCase{2499, 2500, 2, false, 2499},  // past max: unchanged
                                           ReleaseCase{5, 10, 0, false, 5},          // nothing to add
                                           ReleaseCase{5, 10, -1, false, 5},
                                           ReleaseCase{1, 0x7FFFFFFF, 0x7FFFFFFF, false, 1}),  // no overflow
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(KernelSemaphore, RefusesImpossibleCounts) {
    EXPECT_THROW(kernel::Semaphore(2, 1), std::invalid_argument);
    EXPECT_THROW(kernel::Semaphore(-1, 1), std::invalid_argument);
    EXPECT_THROW(kernel::Semaphore(0, 0), std::invalid_argument);
}

TEST(KernelSemaphore, WaitTakesOneUnitAndTimesOutWhenEmpty) {
    kernel::Semaphore s(2, 5);
    EXPECT_EQ(s.Wait(0ms), WaitResult::Signaled);
    EXPECT_EQ(s.Wait(kernel::kInfinite), WaitResult::Signaled);
    EXPECT_EQ(s.Count(), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(s.Wait(60ms), WaitResult::Timeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
    EXPECT_EQ(s.Count(), 0);
}

TEST(KernelSemaphore, ReleaseWakesEveryWaiterItPaysFor) {
    kernel::Semaphore s(0, 10);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            if (s.Wait(kPatience) == WaitResult::Signaled) ++woken;
        });
    }
    std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(s.Release(3));
    for (auto& t : waiters) t.join();
    EXPECT_EQ(woken, 3);
    EXPECT_EQ(s.Count(), 0);
}

TEST(KernelEvent, ManualResetStaysSignalledUntilReset) {
    kernel::Event e(true, false);
    EXPECT_EQ(e.Wait(0ms), WaitResult::Timeout);
    e.Set();
    EXPECT_EQ(e.Wait(0ms), WaitResult::Signaled);
    EXPECT_EQ(e.Wait(0ms), WaitResult::Signaled);
    EXPECT_TRUE(e.IsSignaled());
    e.Reset();
    EXPECT_FALSE(e.IsSignaled());
    EXPECT_EQ(e.Wait(10ms), WaitResult::Timeout);
}

TEST(KernelEvent, AutoResetLetsExactlyOneWaiterThrough) {
    kernel::Event e(false, true);
    EXPECT_EQ(e.Wait(0ms), WaitResult::Signaled);
    EXPECT_FALSE(e.IsSignaled());
    EXPECT_EQ(e.Wait(0ms), WaitResult::Timeout);

    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 2; ++i) {
        waiters.emplace_back([&] {
            if (e.Wait(kPatience) == WaitResult::Signaled) ++woken;
        });
    }
    EXPECT_TRUE(WaitUntil([&] { return e.Waiting() == 2; }));
    e.Set();
    EXPECT_TRUE(WaitUntil([&] { return woken == 1; }));
    EXPECT_EQ(e.Waiting(), 1) << "the other one still waits";
    EXPECT_FALSE(e.IsSignaled());
    e.Set();  // and goes now
    for (auto& t : waiters) t.join();
    EXPECT_EQ(woken, 2);
}

TEST(KernelEvent, AutoResetTwoSetsReleaseTwoWaitersEvenBeforeTheyWake) {
    kernel::Event e(false, false);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            if (e.Wait(kPatience) == WaitResult::Signaled) ++woken;
        });
    }
    EXPECT_TRUE(WaitUntil([&] { return e.Waiting() == 3; }));
    e.Set();
    e.Set();  // back to back: the first already went to a waiter
    EXPECT_TRUE(WaitUntil([&] { return woken == 2; }));
    EXPECT_EQ(e.Waiting(), 1) << "the third one still waits";
    EXPECT_FALSE(e.IsSignaled());
    e.Set();
    for (auto& t : waiters) t.join();
    EXPECT_EQ(woken, 3);
}

TEST(KernelEvent, SetWakesAWaitingThread) {
    kernel::Event e(true, false);
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        e.Set();
    });
    EXPECT_EQ(e.Wait(kPatience), WaitResult::Signaled);
    setter.join();
}

TEST(KernelNamedEvent, OneObjectPerNameWhileHeld) {
    auto created = kernel::CreateEvent("Global\\KernelTestEvent", true, false);
    // A second create keeps the first one's mode and state.
    auto again = kernel::CreateEvent("Global\\KernelTestEvent", false, true);
    auto opened = kernel::OpenEvent("Global\\KernelTestEvent");
    ASSERT_TRUE(created && again && opened);
    EXPECT_EQ(created.get(), again.get());
    EXPECT_EQ(created.get(), opened.get());
    EXPECT_FALSE(opened->IsSignaled());
    created->Set();
    EXPECT_EQ(opened->Wait(0ms), WaitResult::Signaled);
    EXPECT_EQ(opened->Wait(0ms), WaitResult::Signaled);  // still manual reset

    created.reset();
    again.reset();
    opened.reset();
    EXPECT_EQ(kernel::OpenEvent("Global\\KernelTestEvent"), nullptr);
    auto fresh = kernel::CreateEvent("Global\\KernelTestEvent", false, false);
    fresh->Set();
    EXPECT_EQ(fresh->Wait(0ms), WaitResult::Signaled);
    EXPECT_EQ(fresh->Wait(0ms), WaitResult::Timeout);  // the new one's own (auto) mode
}

TEST(KernelNamedEvent, UnknownAndUnnamed) {
    EXPECT_EQ(kernel::OpenEvent("Global\\NobodyMadeThis"), nullptr);
    auto a = kernel::CreateEvent("", true, false);
    auto b = kernel::CreateEvent("", true, false);
    EXPECT_NE(a.get(), b.get());
    EXPECT_EQ(kernel::OpenEvent(""), nullptr);
}

TEST(KernelCriticalSection, ReentrantForOwnerExclusiveForOthers) {
    kernel::CriticalSection cs;
    cs.Enter();
    cs.Enter();
    bool other_got_it = true;
    std::thread([&] { other_got_it = cs.TryEnter(); }).join();
    EXPECT_FALSE(other_got_it);
    cs.Leave();
    std::thread([&] { other_got_it = cs.TryEnter(); }).join();
    EXPECT_FALSE(other_got_it);  // still held once
    cs.Leave();
    std::thread([&] {
        other_got_it = cs.TryEnter();
        if (other_got_it) cs.Leave();
    }).join();
    EXPECT_TRUE(other_got_it);
}

}  // namespace
