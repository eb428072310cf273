// The stack start and stop as a whole: threads, adapter and pool over whole open/close cycles.
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "library/os_layer.h"
#include "library/usb_intf.h"
#include "platform/canapi/recorder.h"
#include "platform/canapi/vbus.h"
#include "tests/library/stack_fixture.h"

namespace {

using namespace std::chrono_literals;
using klp_test::Frame;
using klp_test::StackTest;
using klp_test::WaitUntil;

class StackStartStopTest : public StackTest {
protected:
    std::deque<klp_test::TestDispatcher> cycle_dispatchers_;
};

TEST_F(StackStartStopTest, FiveCyclesOnTheVirtualBusPassFramesBothWays) {
    const std::string bus_name = "klp-stack-test-" + std::to_string(getpid());
    setenv("CANAPI_CHANNEL", ("vbus:" + bus_name).c_str(), 1);
    canapi::JoinResult joined = canapi::VirtualBus::Join(bus_name);
    ASSERT_TRUE(joined.bus) << joined.error;
    canapi::VirtualBus& peer = *joined.bus;

    for (int cycle = 0; cycle < 5; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        // Kept by the fixture: a failed assertion returns before the stack is closed.
        klp_test::TestDispatcher& dispatcher = cycle_dispatchers_.emplace_back();
        klp::StackHooks hooks;
        hooks.dispatcher_task = dispatcher.Body();
        const int threads_before = klp_test::ThreadCount();
        Open(hooks);
        // Timer, dispatcher, fault thread (at its gate) and the adapter's receive thread, plus
        // whatever the adapter stand-in runs for the bus.
        EXPECT_GE(klp_test::ThreadCount(), threads_before + 4);

        // Peer to stack: repeated until the stack's socket is known to the peer.
        // Above the range the adapter drops.
        const std::uint16_t in_id = static_cast<std::uint16_t>(0x6F0 + cycle);
        ASSERT_TRUE(WaitUntil([&] {
            canapi::Frame f;
            f.id = in_id;
            f.dlc = 2;
            f.data = {0xC0, static_cast<std::uint8_t>(cycle)};
            peer.Send(f);
            return dispatcher.WaitForCobId(in_id, 50ms);
        })) << peer.Peers()
            << " peers";

        // Stack to peer.
        const std::uint16_t out_id = static_cast<std::uint16_t>(0x500 + cycle);
        klp::USB_Send(Frame(out_id, {0xAB, static_cast<std::uint8_t>(cycle)}));
        bool got = false;
        for (int i = 0; i < 300 && !got; ++i) {
            canapi::Frame f;
            if (peer.Receive(f, 100ms) != canapi::ReceiveResult::Frame) continue;
            got = f.id == out_id && f.dlc == 2 && f.data[0] == 0xAB && f.data[1] == cycle && !f.rtr;
        }
        EXPECT_TRUE(got);

        klp::close_KLP();
        EXPECT_FALSE(klp::OS_Running());
        EXPECT_EQ(klp::POOL_FreeCount(), klp::kPoolSize);
        EXPECT_TRUE(WaitUntil([&] { return klp_test::ThreadCount() <= threads_before; }))
            << klp_test::ThreadCount() << " threads, " << threads_before << " before the start";
    }
}

TEST_F(StackStartStopTest, FaultThreadNeverResumedIsStillEndedAtClose) {
    std::atomic<int> fault_runs{0};
    klp::StackHooks hooks = Hooks();
    hooks.fault_task = [&] { ++fault_runs; };
    Open(hooks);
    klp::close_KLP();
    EXPECT_EQ(fault_runs, 0) << "a fault thread released at close does not run its body";
    ExpectNothingLeft();
}

TEST_F(StackStartStopTest, ResumedFaultThreadRunsUntilTheStop) {
    std::atomic<int> fault_runs{0};
    std::atomic<bool> saw_stop{false};
    klp::StackHooks hooks = Hooks();
    hooks.fault_task = [&] {
        ++fault_runs;
        while (!klp::OS_Stopping()) {
            if (klp::CANBuf* b = klp::OS_Get(klp::kFaultMailbox, 5)) klp::POOL_release_CANBuf(b);
        }
        saw_stop = true;
    };
    Open(hooks);
    klp::OS_ResumeFaultThread();
    klp::OS_ResumeFaultThread();
    ASSERT_TRUE(WaitUntil([&] { return fault_runs == 1; }));
    klp::OS_Put(klp::kFaultMailbox, klp::msg::kCan, klp::msg::kFault, nullptr);
    klp::close_KLP();
    EXPECT_TRUE(saw_stop);
    EXPECT_EQ(fault_runs, 1);
    ExpectNothingLeft();
}

TEST_F(StackStartStopTest, FirstFrameOfTheStartIsSentBecauseTheAdapterRunsFirst) {
    // As NM does at the stack start: it queues an event whose handler sends the node's first announcement.
    klp::StackHooks hooks = Hooks();
    hooks.start_nm = [] { klp::OS_Put(klp::kDispatcherMailbox, klp::msg::kNm, 3, nullptr); };
    dispatcher_.on_message = [](klp::CANBuf& buf) {
        if (buf.type == klp::msg::kNm) klp::USB_Send(Frame(0x7EF, {0x0F, 0x00}));
    };
    Open(hooks);
    ASSERT_TRUE(WaitUntil([] { return canapi_recorder::Transmits().size() == 1; }));
    EXPECT_EQ(canapi_recorder::Transmits()[0][0], 0x7EFu);
}

TEST_F(StackStartStopTest, ExceptionOnTheDispatcherBreaksTheStackButNotTheProcess) {
    dispatcher_.on_message = [](klp::CANBuf& buf) {
        if (buf.cob_id == 0x722) throw std::runtime_error("handler failed");
    };
    Open();
    ASSERT_TRUE(canapi_recorder::Inject(canapi_recorder::ReceiveRecord(0x722, {})));
    ASSERT_TRUE(WaitUntil([] { return klp::OS_Broken(); }));
    // Frames arriving now are not queued for a dispatcher that is gone.
    ASSERT_TRUE(canapi_recorder::Inject(canapi_recorder::ReceiveRecord(0x723, {})));
    ASSERT_TRUE(WaitUntil([] { return canapi_recorder_pending() == 0; }));
    klp::close_KLP();
    EXPECT_FALSE(klp::OS_Broken());
    // The buffer the failing handler held is lost to this run only: the next start refills.
    EXPECT_FALSE(klp::OS_Running());
    Open();
    EXPECT_EQ(klp::POOL_FreeCount(), klp::kPoolSize);
}

TEST_F(StackStartStopTest, DispatcherSendingDuringTheCloseIsSafe) {
    // The dispatcher goes on sending for a while after the stop flag, through the adapter's
    // destruction: those sends must find the adapter closed, not freed.
    std::atomic<int> sends{0};
    std::atomic<int> sends_after_stop{0};
    klp::StackHooks hooks;
    hooks.dispatcher_task = [&] {
        while (!klp::OS_Stopping()) {
            klp::USB_Send(Frame(0x400, {1, 2, 3}));
            ++sends;
            std::this_thread::sleep_for(200us);
        }
        const auto until = std::chrono::steady_clock::now() + 300ms;
        while (std::chrono::steady_clock::now() < until) {
            klp::USB_Send(Frame(0x401, {}));
            ++sends_after_stop;
            std::this_thread::sleep_for(200us);
        }
    };
    Open(hooks);
    ASSERT_TRUE(WaitUntil([&] { return sends > 10; }));
    klp::close_KLP();
    EXPECT_GT(sends_after_stop, 0);
    // Nothing reaches the adapter library once its API is closed.
    const std::vector<std::string> log = canapi_recorder::Log();
    const auto closed = std::find(log.begin(), log.end(), "ca_CloseApi()");
    ASSERT_NE(closed, log.end());
    EXPECT_EQ(
        std::find_if(closed, log.end(), [](const std::string& l) { return l.rfind("ca_TransmitCanCard_1", 0) == 0; }),
        log.end());
    ExpectNothingLeft();
}

TEST_F(StackStartStopTest, DispatcherThatDoesNotEndIsReportedAndTheCloseCanBeRepeated) {
    std::atomic<bool> release{false};
    klp::StackHooks hooks;
    hooks.dispatcher_task = [&] {
        while (!release) std::this_thread::sleep_for(5ms);
    };
    Open(hooks);
    std::string text;
    try {
        klp::close_KLP();
    } catch (const klp::FatalError& e) {
        text = e.what();
    }
    EXPECT_EQ(
        text,
        "KLP Library Failure: Operating system error; line: 277; OS::close_KLP -> Thread 1 not stopped within 1 sec");
    release = true;
    klp::close_KLP();
    ExpectNothingLeft();
}

TEST_F(StackStartStopTest, SecondStartOverARunningStackIsRefused) {
    Open();
    EXPECT_EQ(klp::init_KLP(2000, 50), klp::StartResult::kFailed);
    EXPECT_TRUE(klp::OS_Running());
    klp::USB_Send(Frame(0x101, {}));
    EXPECT_EQ(canapi_recorder::Transmits().size(), 1u) << "the running stack is untouched";
}

TEST_F(StackStartStopTest, CloseKeepsThePauseAfterFreeingTheAdapter) {
    klp::USB_SetReleasePauseForTests(300ms);
    Open();
    const auto start = std::chrono::steady_clock::now();
    klp::close_KLP();
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
}

}  // namespace
