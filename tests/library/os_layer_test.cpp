#include "library/os_layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/sync.h"
#include "tests/library/stack_fixture.h"

namespace {

using namespace std::chrono_literals;
using klp_test::Seen;
using klp_test::StackTest;
using klp_test::WaitUntil;

// Runs `call` and returns the text of the FatalError it must raise.
template <typename F>
std::string FatalTextOf(F&& call) {
    try {
        call();
    } catch (const klp::FatalError& e) {
        return e.what();
    }
    return "(no fatal error)";
}

// ---------------------------------------------------------------------------------------------
// Queues (no stack needed: the buffers are the test's own)

TEST(QueueTest, FifoGivesBackInOrderThenIsEmpty) {
    std::array<klp::CANBuf, 3> bufs{};
    klp::Queue queue = nullptr;
    for (klp::CANBuf& b : bufs) klp::QUE_ToFIFO(queue, &b);
    EXPECT_EQ(queue, &bufs[2]) << "the queue points at its tail";
    EXPECT_EQ(queue->link, &bufs[0]) << "the tail links to the head";
    for (klp::CANBuf& b : bufs) {
        klp::CANBuf* got = klp::QUE_GetFIFO(queue);
        EXPECT_EQ(got, &b);
        EXPECT_EQ(got->link, nullptr);
    }
    EXPECT_EQ(queue, nullptr);
    EXPECT_EQ(klp::QUE_GetFIFO(queue), nullptr);
    // Usable again after running empty.
    klp::QUE_ToFIFO(queue, &bufs[1]);
    EXPECT_EQ(klp::QUE_GetFIFO(queue), &bufs[1]);
    EXPECT_EQ(queue, nullptr);
}

TEST(QueueTest, LifoGivesBackNewestFirst) {
    std::array<klp::CANBuf, 3> bufs{};
    klp::List list = nullptr;
    for (klp::CANBuf& b : bufs) klp::QUE_ToLIFO(list, &b);
    for (int i = 2; i >= 0; --i) EXPECT_EQ(klp::QUE_PopLIFO(list), &bufs[i]);
    EXPECT_EQ(klp::QUE_PopLIFO(list), nullptr);
}

TEST(FatalTextTest, CodeTable) {
    struct Case {
        int code;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {1, "Generic Queue Error; line: 95; M::f"},
        {2, "Message Queue empty; line: 95; M::f"},
        {3, "Pool buffer error; line: 95; M::f"},
        {4, "Timer Number out of range; line: 95; M::f"},
        {5, "Unexpected event in module NM; line: 95; M::f"},
        {6, "Operating system error; line: 95; M::f"},
        {7, "Missing message buffer in TIM_Start; line: 95; M::f"},
        {8, "Unexpected event in OS protocol stack; line: 95; M::f"},
        {9, "NM protocol fatal error; line: 95; M::f"},
        {10, "Watchdog error; line: 95; M::f"},
        {11, "Common CMM error; line: 95; M::f"},
        {12, "CAN error; line: 95; M::f"},
        {18, "Invalid state; line: 95; M::f"},
        {13, "Application error; code: 13 line: 95; M::f"},
        {0, "Application error; code: 0 line: 95; M::f"},
    };
    for (const Case& c : cases) EXPECT_EQ(klp::OS_FatalText(c.code, 95, "M::f"), c.expected) << c.code;
}

TEST(SdoTimeoutTest, IsPerThreadAndCountsTicks) {
    EXPECT_EQ(klp::OS_SetSdoTimeoutMs(0), 1);
    EXPECT_EQ(klp::OS_SetSdoTimeoutMs(2000), 41);
    EXPECT_EQ(klp::OS_SetSdoTimeoutMs(49), 1);
    EXPECT_EQ(klp::OS_SetSdoTimeoutMs(50), 2);
    EXPECT_EQ(klp::OS_SdoTimeoutTicks(), 2);
    std::int32_t other = -1;
    std::thread([&] { other = klp::OS_SdoTimeoutTicks(); }).join();
    EXPECT_EQ(other, 0) << "a thread that never set it has 0";
    EXPECT_EQ(klp::OS_SdoTimeoutTicks(), 2);
}

TEST(TokenTest, WaitBlocksUntilSentAndOverSendingIsFatal) {
    klp_test::SinkRecorder sinks;
    klp::Token token = klp::OS_CreateSemaphor(1, 1);
    klp::OS_WaitToken(*token);
    std::atomic<bool> got{false};
    std::thread waiter([&] {
        klp::OS_WaitToken(*token);
        got = true;
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(got);
    klp::OS_SendToken(*token);
    waiter.join();
    EXPECT_TRUE(got);
    klp::OS_SendToken(*token);
    EXPECT_EQ(FatalTextOf([&] { klp::OS_SendToken(*token); }),
              "KLP Library Failure: Operating system error; line: 489; OS::OS_SendToken");
    EXPECT_EQ(FatalTextOf([] { klp::OS_CreateSemaphor(1, 2); }),
              "KLP Library Failure: Operating system error; line: 469; OS::OS_CreateSemaphor");
    // Stand-alone fatal errors mark the (closed) stack broken until the next start or stop.
    klp::close_KLP();
    EXPECT_FALSE(klp::OS_Broken());
}

// ---------------------------------------------------------------------------------------------
// With the stack running

class OsLayerTest : public StackTest {
protected:
    // Returns once the test dispatcher has seen everything posted to mailbox 1 so far: a marker
    // message goes behind it. The markers are not counted by TimerMessages.
    void Drain() {
        const std::size_t seen = dispatcher_.Messages().size();
        klp::OS_Put(klp::kDispatcherMailbox, klp::msg::kNm, kMarker, nullptr);
        ASSERT_TRUE(WaitUntil([&] {
            const auto messages = dispatcher_.Messages();
            return std::any_of(messages.begin() + static_cast<std::ptrdiff_t>(seen), messages.end(),
                               [](const Seen& m) { return m.type == klp::msg::kNm && m.subtype == kMarker; });
        }));
    }
    std::vector<Seen> TimerMessages() const {
        std::vector<Seen> timers;
        for (const Seen& m : dispatcher_.Messages()) {
            if (!(m.type == klp::msg::kNm && m.subtype == kMarker)) timers.push_back(m);
        }
        return timers;
    }
    static constexpr std::uint8_t kMarker = 0x55;
};

TEST_F(OsLayerTest, The2501stBufferIsAFatalError) {
    Open();
    ASSERT_EQ(klp::POOL_FreeCount(), klp::kPoolSize);
    std::vector<klp::CANBuf*> taken;
    for (int i = 0; i < klp::kPoolSize; ++i) taken.push_back(klp::POOL_get_CANBuf());
    EXPECT_EQ(klp::POOL_FreeCount(), 0);
    const std::string expected = "KLP Library Failure: Message Queue empty; line: 79; POOL::POOL_get_CANBuf";
    EXPECT_EQ(FatalTextOf([] { klp::POOL_get_CANBuf(); }), expected);
    const auto boxes = sinks_.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, expected);
    EXPECT_EQ(boxes[0].caption, "KLP Communication Error");
    EXPECT_EQ(boxes[0].flags, static_cast<unsigned>(kernel::kMbIconError));
    EXPECT_TRUE(klp::OS_Broken());
    for (klp::CANBuf* b : taken) klp::POOL_release_CANBuf(b);
    klp::close_KLP();
    EXPECT_FALSE(klp::OS_Broken());
    ExpectNothingLeft();
}

TEST_F(OsLayerTest, PoolBuffersComeBackClearedAndLifo) {
    Open();
    klp::CANBuf* a = klp::POOL_get_CANBuf();
    a->rtr = 1;
    a->dlc = 8;
    a->cob_id = 0x123;
    klp::POOL_release_CANBuf(a);
    klp::POOL_release_CANBuf(nullptr);
    klp::CANBuf* again = klp::POOL_get_CANBuf();
    EXPECT_EQ(again, a) << "the last released buffer is the next one taken";
    EXPECT_EQ(again->rtr, 0);
    EXPECT_EQ(again->dlc, 0);
    EXPECT_EQ(again->link, nullptr);
    klp::POOL_release_CANBuf(again);
    EXPECT_EQ(klp::POOL_FreeCount(), klp::kPoolSize);
}

TEST_F(OsLayerTest, BrokenInvariantsAreFatalWithTheirTexts) {
    Open();
    klp::CANBuf* linked = klp::POOL_get_CANBuf();
    klp::CANBuf other{};
    linked->link = &other;
    klp::CANBuf foreign{};
    struct Case {
        const char* name;
        std::function<void()> call;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"fifo null",
         [] {
             klp::Queue q = nullptr;
             klp::QUE_ToFIFO(q, nullptr);
         },
         "Generic Queue Error; line: 95; QUEUE::QUE_ToFIFO"},
        {"fifo linked",
         [&] {
             klp::Queue q = nullptr;
             klp::QUE_ToFIFO(q, linked);
         },
         "Generic Queue Error; line: 95; QUEUE::QUE_ToFIFO"},
        {"lifo linked",
         [&] {
             klp::List l = nullptr;
             klp::QUE_ToLIFO(l, linked);
         },
         "Generic Queue Error; line: 153; QUEUE::QUE_ToLIFO"},
        {"release linked", [&] { klp::POOL_release_CANBuf(linked); },
         "Pool buffer error; line: 101; POOL::POOL_release_CANBuf"},
        {"release foreign", [&] { klp::POOL_release_CANBuf(&foreign); },
         "Pool buffer error; line: 101; POOL::POOL_release_CANBuf"},
        {"put linked", [&] { klp::OS_Put(klp::kDispatcherMailbox, 0, 0, linked); },
         "Operating system error; line: 391; OS::OS_Put"},
        {"timer start 3", [] { klp::TIM_Start(3, 1, 1, 4, 1, nullptr); },
         "Timer Number out of range; line: 104; Timer::TIM_Start"},
        {"timer stop 3", [] { klp::TIM_Stop(3); }, "Timer Number out of range; line: 132; Timer::TIM_Stop"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FatalTextOf(c.call), "KLP Library Failure: " + c.text) << c.name;
    }
    EXPECT_EQ(sinks_.Boxes().size(), cases.size());
    linked->link = nullptr;
    klp::POOL_release_CANBuf(linked);
    klp::close_KLP();
    ExpectNothingLeft();
}

TEST_F(OsLayerTest, MailboxIsFifoAndGetTimesOut) {
    Open();
    // Nothing posts to mailbox 0 but this test.
    std::vector<klp::CANBuf*> put;
    for (std::uint8_t i = 0; i < 3; ++i) {
        klp::CANBuf* b = klp::POOL_get_CANBuf();
        b->cob_id = i;
        put.push_back(b);
        klp::OS_Put(klp::kTimerMailbox, klp::msg::kSdoServer, i, b);
    }
    for (std::uint8_t i = 0; i < 3; ++i) {
        klp::CANBuf* got = klp::OS_Get(klp::kTimerMailbox, 1);
        ASSERT_EQ(got, put[i]);
        EXPECT_EQ(got->type, klp::msg::kSdoServer);
        EXPECT_EQ(got->subtype, i);
        EXPECT_EQ(got->link, nullptr);
        klp::POOL_release_CANBuf(got);
    }
    EXPECT_EQ(klp::OS_Get(klp::kTimerMailbox, 0), nullptr);

    // The wall clock is the subject here: five ticks of 50 ms, and no wait for ever.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(klp::OS_Get(klp::kTimerMailbox, 5), nullptr);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 240ms);
    EXPECT_LT(waited, 10s);
}

TEST_F(OsLayerTest, TimerThreadCountsFiftyMillisecondTicks) {
    Open();
    const auto start = std::chrono::steady_clock::now();
    klp::TIM_Start(klp::kSdoClientTimer, 10, klp::kDispatcherMailbox, klp::msg::kSdoClient, klp::msg::kTick, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !dispatcher_.Messages().empty(); }));
    // The first tick may come at once after the start; the other nine take 50 ms each at least.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 450ms);
}

TEST_F(OsLayerTest, TimerWithZeroTicksFiresOnceOnTheNextTick) {
    UseManualTicks();
    Open();
    klp::TIM_Start(klp::kSdoClientTimer, 0, klp::kDispatcherMailbox, klp::msg::kSdoClient, klp::msg::kTick, nullptr);
    klp::OS_TickForTests();
    for (int i = 0; i < 5; ++i) klp::OS_TickForTests();  // a one-shot timer must not come again
    Drain();
    const auto seen = TimerMessages();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].type, klp::msg::kSdoClient);
    EXPECT_EQ(seen[0].subtype, klp::msg::kTick);
    EXPECT_FALSE(klp::TIM_Stop(klp::kSdoClientTimer)) << "a fired timer is stopped";
}

TEST_F(OsLayerTest, RestartedTimerReleasesItsBufferAndTakesTheNewSettings) {
    UseManualTicks();
    Open();
    klp::CANBuf* first = klp::POOL_get_CANBuf();
    klp::CANBuf* second = klp::POOL_get_CANBuf();
    klp::TIM_Start(klp::kSdoServerTimer, 200, klp::kDispatcherMailbox, klp::msg::kSdoServer, 9, first);
    EXPECT_EQ(klp::POOL_FreeCount(), klp::kPoolSize - 2);
    klp::TIM_Start(klp::kSdoServerTimer, 2, klp::kDispatcherMailbox, klp::msg::kSdoServer, klp::msg::kTick, second);
    EXPECT_EQ(klp::POOL_FreeCount(), klp::kPoolSize - 1) << "the first buffer went back to the pool";
    // Re-arming with the buffer it already holds keeps it (no release of a buffer in use).
    klp::TIM_Start(klp::kSdoServerTimer, 2, klp::kDispatcherMailbox, klp::msg::kSdoServer, klp::msg::kTick, second);
    EXPECT_EQ(klp::POOL_FreeCount(), klp::kPoolSize - 1);
    klp::OS_TickForTests();
    Drain();
    EXPECT_TRUE(TimerMessages().empty()) << "two ticks, not one";
    klp::OS_TickForTests();
    Drain();
    const std::vector<Seen> seen = TimerMessages();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].buffer, second);
    EXPECT_EQ(seen[0].type, klp::msg::kSdoServer);
    EXPECT_EQ(seen[0].subtype, klp::msg::kTick);
    EXPECT_TRUE(WaitUntil([] { return klp::POOL_FreeCount() == klp::kPoolSize; }));
}

TEST_F(OsLayerTest, StoppingTimers) {
    UseManualTicks();
    Open();
    EXPECT_FALSE(klp::TIM_Stop(klp::kNmTimer)) << "never started";
    klp::CANBuf* held = klp::POOL_get_CANBuf();
    klp::TIM_Start(klp::kNmTimer, 100, klp::kDispatcherMailbox, klp::msg::kNm, 3, held);
    EXPECT_TRUE(klp::TIM_Stop(klp::kNmTimer));
    EXPECT_EQ(klp::POOL_FreeCount(), klp::kPoolSize) << "the held buffer went back";
    EXPECT_FALSE(klp::TIM_Stop(klp::kNmTimer)) << "stopping a stopped timer changes nothing";
    EXPECT_EQ(klp::POOL_FreeCount(), klp::kPoolSize);
    for (int i = 0; i < 150; ++i) klp::OS_TickForTests();
    Drain();
    EXPECT_TRUE(TimerMessages().empty()) << "a stopped timer does not fire";
}

TEST_F(OsLayerTest, AfterAFatalErrorWaitersFailInsteadOfBlocking) {
    Open();
    klp::Token empty = klp::OS_CreateSemaphor(1, 0);
    EXPECT_NE(FatalTextOf([] { klp::TIM_Stop(7); }), "(no fatal error)");
    ASSERT_TRUE(klp::OS_Broken());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(klp::OS_Get(klp::kTimerMailbox, -1), nullptr);
    EXPECT_EQ(FatalTextOf([&] { klp::OS_WaitToken(*empty); }),
              "KLP Library Failure: Operating system error; line: 509; OS::OS_WaitToken");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);  // instead of for ever
    EXPECT_EQ(sinks_.Boxes().size(), 1u) << "only the fatal error itself shows a message";
    klp::close_KLP();
    EXPECT_FALSE(klp::OS_Broken());
    ExpectNothingLeft();
}

}  // namespace
