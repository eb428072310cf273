#include "platform/kernel/ordered_work.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/system_info.h"

namespace kernel {
namespace {

TEST(OrderedWork, TakesEveryResultInOrderOnTheCallersThread) {
    struct Case {
        std::size_t count;
        int threads;
    };
    for (const Case c : {Case{0, 4}, Case{1, 4}, Case{3, 8}, Case{40, 1}, Case{40, 3}, Case{200, 8}}) {
        SCOPED_TRACE(testing::Message() << c.count << " items on " << c.threads << " threads");
        const std::thread::id caller = std::this_thread::get_id();
        std::mutex mutex;
        std::set<std::thread::id> workers;
        std::vector<std::size_t> taken;
        RunOrderedResults<std::string>(
            c.count, c.threads,
            [&](std::size_t i) {
                {
                    std::lock_guard lock(mutex);
                    workers.insert(std::this_thread::get_id());
                }
                // Later items finish first now and then, so the order must come from the pool.
                if (i % 7 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
                return "item " + std::to_string(i);
            },
            [&](std::size_t i, std::string result) {
                EXPECT_EQ(std::this_thread::get_id(), caller);
                EXPECT_EQ(result, "item " + std::to_string(i));
                taken.push_back(i);
            });
        ASSERT_EQ(taken.size(), c.count);
        for (std::size_t i = 0; i < taken.size(); ++i) EXPECT_EQ(taken[i], i);
        // The pool's threads, and the caller while it waits.
        EXPECT_LE(workers.size(), static_cast<std::size_t>(c.threads) + 1);
    }
}

TEST(OrderedWork, NeverBeginsMoreThanTheWindowAheadOfWhatIsTaken) {
    constexpr std::size_t kWindow = 5;
    std::atomic<std::size_t> taken{0};
    std::atomic<std::size_t> worst{0};
    RunOrdered(
        100, 3, kWindow,
        [&](std::size_t i) {
            // Items begun and not yet taken, this one included.
            const std::size_t ahead = i + 1 - taken.load();
            std::size_t seen = worst.load();
            while (ahead > seen && !worst.compare_exchange_weak(seen, ahead)) {}
        },
        [&](std::size_t i) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));  // a slow taker fills the window
            taken = i + 1;
        });
    EXPECT_EQ(taken.load(), 100u);
    EXPECT_LE(worst.load(), kWindow);
    EXPECT_GE(worst.load(), 2u);  // the pool did run ahead
}

TEST(OrderedWork, AFailingItemEndsTheRunAfterTheItemsBeforeIt) {
    for (const bool fail_in_take : {false, true}) {
        SCOPED_TRACE(fail_in_take ? "take throws" : "work throws");
        constexpr std::size_t kBad = 13;
        std::atomic<std::size_t> highest_begun{0};
        std::vector<std::size_t> taken;
        try {
            RunOrdered(
                60, 4, 8,
                [&](std::size_t i) {
                    std::size_t seen = highest_begun.load();
                    while (i > seen && !highest_begun.compare_exchange_weak(seen, i)) {}
                    // The items before the bad one are slow: the bad one fails while they run.
                    if (i < kBad) std::this_thread::sleep_for(std::chrono::milliseconds(2));
                    if (!fail_in_take && i == kBad) throw std::runtime_error("bad item");
                },
                [&](std::size_t i) {
                    if (fail_in_take && i == kBad) throw std::runtime_error("bad item");
                    taken.push_back(i);
                });
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "bad item");
        }
        ASSERT_EQ(taken.size(), kBad);
        for (std::size_t i = 0; i < kBad; ++i) EXPECT_EQ(taken[i], i);
        // Nothing runs on for long after the failure: at most a window beyond it had begun.
        EXPECT_LT(highest_begun.load(), kBad + 8);
    }
}

TEST(OrderedWork, ProcessorCountIsAtLeastOne) { EXPECT_GE(ProcessorCount(), 1); }

}  // namespace
}  // namespace kernel
