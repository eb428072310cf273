// The memory budget of work running side by side: shares within the total run at once, a share
// waits while the others hold too much, a waiting share is not passed by later ones, and one
// larger than the whole total still runs, alone.
#include "platform/kernel/memory_budget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/support/wait_until.h"

namespace kernel {
namespace {

TEST(MemoryBudget, SharesWaitForRoomInTheOrderTheyAskedAndAHugeOneRunsAlone) {
    MemoryBudget budget(100);
    MemoryBudget::Share a = budget.Take(60);
    MemoryBudget::Share b = budget.Take(40);
    EXPECT_EQ(budget.PeakTaken(), 100u);

    // 50 waits for room; 10 asks after it and waits behind it though 10 fits once b goes.
    auto take = [&](std::uint64_t bytes) { return std::thread([&budget, bytes] { budget.Take(bytes); }); };
    std::thread fifty = take(50);
    ASSERT_TRUE(test_support::WaitUntil([&] { return budget.Waiting() == 1; }));
    std::thread ten = take(10);
    ASSERT_TRUE(test_support::WaitUntil([&] { return budget.Waiting() == 2; }));
    b.Release();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(budget.Waiting(), 2u);
    a.Release();
    fifty.join();
    ten.join();
    EXPECT_EQ(budget.Waiting(), 0u);

    // More than the whole budget: it takes all of it and waits until nothing else is held.
    MemoryBudget::Share small = budget.Take(1);
    std::atomic<bool> huge_ran{false};
    std::thread huge([&] {
        MemoryBudget::Share share = budget.Take(1000);
        EXPECT_EQ(share.Bytes(), 100u);
        huge_ran = true;
    });
    ASSERT_TRUE(test_support::WaitUntil([&] { return budget.Waiting() == 1; }));
    EXPECT_FALSE(huge_ran);
    small.Release();
    huge.join();
    EXPECT_TRUE(huge_ran);
    EXPECT_EQ(budget.PeakTaken(), 100u);
}

}  // namespace
}  // namespace kernel
