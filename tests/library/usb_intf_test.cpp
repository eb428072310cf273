#include "library/usb_intf.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/canapi/recorder.h"
#include "tests/library/stack_fixture.h"

namespace {

using namespace std::chrono_literals;
using klp_test::Frame;
using klp_test::StackTest;
using klp_test::WaitUntil;

using UsbIntfTest = StackTest;

canapi_recorder::Record Words(std::initializer_list<std::uint32_t> words) {
    canapi_recorder::Record r{};
    std::size_t i = 0;
    for (std::uint32_t w : words) r[i++] = w;
    return r;
}

TEST_F(UsbIntfTest, OpenAndCloseMakeTheAdapterCallsInOrder) {
    Open();
    klp::close_KLP();
    std::vector<std::string> calls;
    for (const std::string& line : canapi_recorder::Log()) {
        if (line != "ca_GetData_1(out)") calls.push_back(line);
    }
    const std::vector<std::string> expected = {
        "ca_InitApi_1(11,768)",
        "ca_ResetCanCard_1()",
        "ca_InitCanCard_1(1,0,0,0,[0,0,0,0,255,255,255,255,0,0,0,0,255,255,255,255],7,127,0,0,0)",
        "ca_Instruction_1([101,0,1,244,1,244,255,255,0,0,0,0,255,255,255,255])",
        "ca_CloseApi()",
    };
    EXPECT_EQ(calls, expected);
    ExpectNothingLeft();
}

TEST_F(UsbIntfTest, SendBuildsTheTransmitRecord) {
    Open();
    klp::USB_Send(Frame(0x7A1, {0x40, 0x00, 0x10, 0x00, 0xAA, 0xBB, 0xCC, 0xDD}));
    klp::USB_Send(Frame(0x7ED, {}, true));
    const std::vector<canapi_recorder::Record> expected = {
        Words({0x7A1, 8, 0x40, 0x00, 0x10, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0, 0, 0, 0, 0, 0}),
        Words({0x7ED, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}),
    };
    EXPECT_EQ(canapi_recorder::Transmits(), expected);
}

TEST_F(UsbIntfTest, TransmitIsTriedAtMostFourTimes) {
    struct Case {
        int failures;
        std::size_t calls;
        std::size_t accepted;
    };
    Open();
    for (const Case c : {Case{10, 4, 0}, Case{3, 4, 1}, Case{2, 3, 1}, Case{0, 1, 1}}) {
        canapi_recorder_reset();
        canapi_recorder_fail_transmits(c.failures);
        klp::USB_Send(Frame(0x123, {1, 2}));
        EXPECT_EQ(LogLinesStartingWith("ca_TransmitCanCard_1(").size(), c.calls) << c.failures << " failures";
        EXPECT_EQ(canapi_recorder::Transmits().size(), c.accepted) << c.failures << " failures";
    }
    canapi_recorder_fail_transmits(0);
}

TEST_F(UsbIntfTest, TransmitTraceLine) {
    Open();
    klp::SetTraceMask(klp::trace::kAdapterTx);
    klp::USB_Send(Frame(0x7ED, {}, true));
    EXPECT_TRUE(sinks_.HasLine("VARNHOLDzud-Tx ---- 07ED,00,00,00,00,00,00,00,00,00,00,01,00,00,00,00"));
    klp::SetTraceMask(0);
    sinks_.Clear();
    klp::USB_Send(Frame(0x7ED, {}, true));
    EXPECT_TRUE(sinks_.Lines().empty()) << "silent with the bit off";
}

TEST_F(UsbIntfTest, MissingAdapterLibraryFailsTheStartWithItsMessage) {
    setenv("QBK_MODULE_CANAPI", "/nonexistent/libcanapi-missing.so", 1);
    klp::OS_SetStackHooks(Hooks());
    EXPECT_EQ(klp::init_KLP(2000, 50), klp::StartResult::kFailed);
    EXPECT_FALSE(klp::OS_Running());
    const auto boxes = sinks_.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "TUSBIntf: loading CANAPI.DLL failed");
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[0].flags, static_cast<unsigned>(kernel::kMbOk));
    ExpectNothingLeft();
    unsetenv("QBK_MODULE_CANAPI");
    Open();
}

TEST_F(UsbIntfTest, AdapterFailuresDuringTheStartLeaveNothingBehind) {
    struct Case {
        const char* function;
        const char* box;  // null: no message
    };
    const std::vector<Case> cases = {
        {"ca_ResetCanCard_1", "USB CAN Adapter: unable to reset USB adapter"},
        {"ca_InitCanCard_1", nullptr},
        {"ca_Instruction_1", nullptr},
    };
    for (const Case& c : cases) {
        sinks_.Clear();
        canapi_recorder_reset();
        ASSERT_EQ(canapi_recorder_fail_calls(c.function, 1), 1);
        // The dispatcher is resumed only once the adapter runs, so here it never starts.
        std::atomic<int> dispatcher_runs{0};
        klp::StackHooks hooks;
        hooks.dispatcher_task = [&] { ++dispatcher_runs; };
        klp::OS_SetStackHooks(hooks);
        EXPECT_EQ(klp::init_KLP(2000, 50), klp::StartResult::kFailed) << c.function;
        const auto boxes = sinks_.Boxes();
        if (c.box != nullptr) {
            ASSERT_EQ(boxes.size(), 1u) << c.function;
            EXPECT_EQ(boxes[0].text, c.box);
        } else {
            EXPECT_TRUE(boxes.empty()) << c.function;
        }
        EXPECT_EQ(LogLinesStartingWith("ca_CloseApi").size(), 1u) << c.function << ": the API is closed again";
        EXPECT_EQ(dispatcher_runs, 0) << c.function;
        ExpectNothingLeft();
    }
    // The next start begins from scratch and works.
    Open();
    klp::USB_Send(Frame(0x100, {1}));
    EXPECT_EQ(canapi_recorder::Transmits().size(), 1u);
}

TEST_F(UsbIntfTest, ReceivedFramesOutsideTheDroppedRangeReachTheDispatcher) {
    Open();
    const std::vector<std::uint16_t> ids = {0x000, 0x0B3, 0x0B4, 0x200, 0x6E0, 0x6E1, 0x7FF};
    for (std::uint16_t id : ids) ASSERT_TRUE(canapi_recorder::Inject(canapi_recorder::ReceiveRecord(id, {0x11, 0x22})));
    ASSERT_TRUE(dispatcher_.WaitForCobId(0x7FF));
    const std::vector<std::uint16_t> expected = {0x000, 0x0B3, 0x6E1, 0x7FF};
    EXPECT_EQ(dispatcher_.ReceivedCobIds(), expected);
    const auto seen = dispatcher_.Messages();
    EXPECT_EQ(seen[1].dlc, 2);
    EXPECT_EQ(seen[1].data[0], 0x11);
    EXPECT_EQ(seen[1].data[1], 0x22);
}

TEST_F(UsbIntfTest, ReceiveTraceLine) {
    Open();
    klp::SetTraceMask(klp::trace::kAdapterRx);
    ASSERT_TRUE(canapi_recorder::Inject(canapi_recorder::ReceiveRecord(0x085, {1, 2, 3})));
    ASSERT_TRUE(dispatcher_.WaitForCobId(0x085));
    EXPECT_TRUE(sinks_.HasLine("VARNHOLDzud-Rx 7001,0085,03,01,02,03,00,00,00,00,00,00,00,00,00,00"))
        << ::testing::PrintToString(sinks_.Lines());
}

TEST_F(UsbIntfTest, RemoteDataSetUpSendsTheRemoteFrameOnEverySecondCall) {
    Open();
    klp::SetTraceMask(klp::trace::kAdapterTx);
    for (int i = 0; i < 3; ++i) klp::USB_SetupRemoteData(Frame(0x7ED, {}, true));
    const auto remote = Words({0x7ED, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0});
    EXPECT_EQ(canapi_recorder::Transmits(), (std::vector<canapi_recorder::Record>{remote, remote}));
    EXPECT_TRUE(sinks_.HasLine("VARNHOLDzud-RTR-Tx ---- 07ED,00,00,00,00,00,00,00,00,00,00,01,00,00,00,00"));
    // Other identifiers are only remembered.
    canapi_recorder_reset();
    klp::USB_SetupRemoteData(Frame(0x7EC, {}, true));  // toggle back to 0
    klp::USB_SetupRemoteData(Frame(0x7EC, {}, true));
    EXPECT_TRUE(canapi_recorder::Transmits().empty());
}

TEST_F(UsbIntfTest, RemoteDataErrorIsTraced) {
    Open();
    klp::SetTraceMask(klp::trace::kAdapterTx);
    canapi_recorder_fail_transmits(1);
    klp::USB_SetupRemoteData(Frame(0x7ED, {}, true));
    EXPECT_EQ(LogLinesStartingWith("ca_TransmitCanCard_1(").size(), 1u) << "the remote frame is tried once";
    EXPECT_TRUE(sinks_.HasLine("[TUSBIntf::SetupRemoteData] canSend virt-RTR error!"));
}

TEST_F(UsbIntfTest, FrameOnThePendingCobIdIsAnsweredWithThePendingFrame) {
    Open();
    klp::USB_SetupRemoteData(Frame(0x6F5, {0xDE, 0xAD}, true));  // odd number of set-ups: armed
    ASSERT_TRUE(canapi_recorder::Inject(canapi_recorder::ReceiveRecord(0x6F5, {}, true)));
    ASSERT_TRUE(WaitUntil([] { return canapi_recorder::Transmits().size() == 1; }));
    EXPECT_EQ(canapi_recorder::Transmits()[0], Words({0x6F5, 2, 0xDE, 0xAD, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}))
        << "the pending frame is a data frame";
    // Disarmed by the second set-up: the frame passes on as received.
    klp::USB_SetupRemoteData(Frame(0x6F5, {0xDE, 0xAD}, true));
    ASSERT_TRUE(canapi_recorder::Inject(canapi_recorder::ReceiveRecord(0x6F5, {7})));
    ASSERT_TRUE(dispatcher_.WaitForCobId(0x6F5));
    EXPECT_EQ(dispatcher_.ReceivedCobIds(), std::vector<std::uint16_t>{0x6F5})
        << "the first one was answered, not passed on";
    EXPECT_EQ(canapi_recorder::Transmits().size(), 1u);
}

TEST_F(UsbIntfTest, StatusRecordsRaiseTheirTextsAndReceptionGoesOn) {
    // Queued before the adapter is initialised, so one wake-up must take all of them: after each
    // bad record the thread keeps draining instead of waiting for an event that does not come.
    const std::vector<std::pair<canapi_recorder::Record, std::string>> bad = {
        {canapi_recorder::StatusRecord(2), "USB CAN Adapter: Receive error->Bus-Off"},
        {canapi_recorder::StatusRecord(6), "USB CAN Adapter: Receive error->Transmit-Queue full"},
        {canapi_recorder::StatusRecord(7), "USB CAN Adapter: Receive error->Restart CAN-USB"},
        {canapi_recorder::StatusRecord(8), "USB CAN Adapter: Receive error->Transmit Error"},
        {canapi_recorder::StatusRecord(3), "USB CAN Adapter: Receive error->Unknown Error"},
        {Words({0x7003, 0x1234567, 1, 5}), "USB CAN Adapter: Receive error->Extended frame received"},
    };
    klp::StackHooks hooks = Hooks();
    hooks.clear_conflict = [&] {
        std::uint16_t id = 0x701;
        for (const auto& [record, text] : bad) {
            canapi_recorder::Inject(record);
            canapi_recorder::Inject(canapi_recorder::ReceiveRecord(id++, {1}));
        }
    };
    klp::SetTraceMask(klp::trace::kAdapterRx);
    Open(hooks);
    ASSERT_TRUE(dispatcher_.WaitForCobId(0x706)) << canapi_recorder_pending() << " records left unread";
    EXPECT_EQ(dispatcher_.ReceivedCobIds(), (std::vector<std::uint16_t>{0x701, 0x702, 0x703, 0x704, 0x705, 0x706}));
    for (const auto& [record, text] : bad) EXPECT_TRUE(sinks_.HasLine("VARNHOLDzud-Rx " + text)) << text;
    EXPECT_EQ(canapi_recorder_pending(), 0u);
}

}  // namespace
