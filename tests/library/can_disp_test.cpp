// The dispatcher and the send layer, driven through the adapter stand-in's recording channel.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "library/can_disp.h"
#include "library/fault_monitor.h"
#include "library/nm.h"
#include "library/os_layer.h"
#include "tests/library/protocol_fixture.h"

namespace {

using namespace std::chrono_literals;
using klp_test::Bytes;
using klp_test::ProtocolStackTest;
using klp_test::Sent;
using klp_test::SentOn;
using klp_test::WaitSent;
using klp_test::WaitUntil;

class DispatcherTest : public ProtocolStackTest {};

TEST_F(DispatcherTest, MasterCommandsSetSystemStateAndPowerDown) {
    struct Case {
        const char* name;
        std::initializer_list<std::uint8_t> data;
        std::uint8_t state;
        std::uint32_t power_down;
    };
    const Case cases[] = {
        {"state 5", {7, 1, 5}, 5, 0},
        {"state without its byte", {7, 1}, 255, 0},
        {"other command", {7, 2, 5}, 255, 0},
        {"forced power-down", {0x85}, 255, 1},
    };
    OpenProtocol();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        klp::CAN_SetSystemState(255);
        klp::CAN_TakePowerDownFlag();
        const int backlog = klp::FAULT_Backlog();
        Inject(0x080, c.data);
        // A fault frame behind it (the fault thread waits at its gate) shows it was handled.
        Inject(0x045, {});
        ASSERT_TRUE(WaitUntil([&] { return klp::FAULT_Backlog() == backlog + 1; }));
        EXPECT_EQ(klp::CAN_SystemState(), c.state);
        EXPECT_EQ(klp::CAN_PowerDownFlag(), c.power_down);
    }
}

TEST_F(DispatcherTest, FaultFrameReachesFaultMailboxAsNodeId) {
    OpenProtocol();
    Inject(0x045, {1, 2, 3});
    ASSERT_TRUE(WaitUntil([] { return klp::FAULT_Backlog() == 1; }));
    // The fault thread is still at its gate; take its message directly.
    klp::CANBuf* buf = klp::OS_Get(klp::kFaultMailbox, 20);
    ASSERT_NE(buf, nullptr);
    EXPECT_EQ(buf->type, klp::msg::kCan);
    EXPECT_EQ(buf->subtype, klp::msg::kFault);
    EXPECT_EQ(buf->cob_id, 5);
    EXPECT_EQ(buf->dlc, 3);
    klp::POOL_release_CANBuf(buf);
}

TEST_F(DispatcherTest, ResponseChannelFramesCountAsConflictOnlyWhileReady) {
    OpenProtocol();
    // Not ready yet: ignored entirely.
    Inject(0x785, {0x60, 0x00, 0x10, 0x00});
    Settle();
    EXPECT_FALSE(klp::CAN_ConflictFlag());

    AssignId(3);
    // Ready, SDO channel closed: the flag is set and the frame discarded.
    Inject(0x785, {0x60, 0x00, 0x10, 0x00});
    Settle();
    EXPECT_TRUE(klp::CAN_ConflictFlag());
    EXPECT_TRUE(SentOn(0x7A0).empty());

    // With the channel open the same frame reaches the idle client, which did not ask for it and
    // sends nothing (an abort would go to node 0, the node its record kept).
    klp::CAN_SetSdoChannelOpen(true);
    Inject(0x785, {0x60, 0x00, 0x10, 0x00});
    Settle();
    EXPECT_TRUE(SentOn(0x7A0).empty());
}

TEST_F(DispatcherTest, FramesOutsideThePlanAreDiscarded) {
    OpenProtocol();
    AssignId(5);
    StartNode();
    klp::CAN_SetSdoChannelOpen(true);
    // Each would draw an answer if it were taken for a request, a guard or a response.
    Inject(0x6E5, {0x40, 0x00, 0x10, 0x00});  // server response range, own node
    Inject(0x6FF, {0x40, 0x00, 0x10, 0x00});
    Inject(0x7A0, {0x40, 0x00, 0x10, 0x00});         // client request to node 0
    Inject(0x780, {0x60, 0x00, 0x10, 0x00});         // response from node 0
    Inject(0x7C0, {}, true);                         // guard of node 0
    Inject(0x7C6, {}, true);                         // guard of another node
    Inject(0x705, {0x40, 0x00, 0x10, 0x00}, false);  // the one frame that must be answered
    ASSERT_TRUE(WaitSent(0x685, 1));
    Settle();
    std::vector<std::uint16_t> answered;
    for (const klp_test::SentFrame& f : Sent()) {
        if (f.cob_id != 0x7EF && f.cob_id != 0x7E9) answered.push_back(f.cob_id);
    }
    EXPECT_EQ(answered, std::vector<std::uint16_t>{0x685});
    EXPECT_FALSE(klp::CAN_ConflictFlag());
    klp::close_KLP();
    ExpectNothingLeft();
}

TEST_F(DispatcherTest, FrameToOwnIdIsSentThenHandledAsReceived) {
    OpenProtocol();
    AssignId(5);
    canapi_recorder_reset();
    // An upload request of 0x1000 to the own node's channel 5.
    klp::CANBuf* buf = klp::CAN_NewFrame(0x7A5, 8);
    buf->data[0] = 0x40;
    buf->data[2] = 0x10;
    klp::CAN_SendMsg(buf);
    ASSERT_TRUE(WaitSent(0x785, 1));
    // Only the SDO frames: the node's own announcements may go out in between.
    std::vector<klp_test::SentFrame> sent = Sent();
    std::erase_if(sent, [](const klp_test::SentFrame& f) { return f.cob_id != 0x7A5 && f.cob_id != 0x785; });
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].cob_id, 0x7A5);  // to the adapter first
    EXPECT_EQ(sent[1].cob_id, 0x785);
    EXPECT_EQ(sent[1].data, Bytes({0x4B, 0x00, 0x10, 0x00, 0x0F, 0x00, 0, 0}));
    // The server's answer came back too, on the response channel.
    ASSERT_TRUE(WaitUntil([] { return klp::CAN_ConflictFlag(); }));
}

TEST_F(DispatcherTest, SendLayerRefusesNullBuffer) {
    OpenProtocol();
    try {
        klp::CAN_SendMsg(nullptr);
        FAIL() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "CAN_SendMsg: NULL pointer received");
    }
    // The send token came back: a following frame still goes out.
    klp::CAN_SendMsg(klp::CAN_NewFrame(0x321, 0));
    EXPECT_EQ(SentOn(0x321).size(), 1u);
}

TEST_F(DispatcherTest, NewFrameClearsWhatThePoolBufferHeld) {
    OpenProtocol();
    klp::CANBuf* dirty = klp::POOL_get_CANBuf();
    for (std::uint8_t& b : dirty->data) b = 0xEE;
    dirty->rtr = 1;
    klp::POOL_release_CANBuf(dirty);
    // The free list is last in, first out: the same buffer comes back.
    klp::CANBuf* buf = klp::CAN_NewFrame(0x123, 2);
    ASSERT_EQ(buf, dirty);
    EXPECT_EQ(buf->cob_id, 0x123);
    EXPECT_EQ(buf->dlc, 2);
    EXPECT_EQ(buf->rtr, 0);
    for (std::uint8_t b : buf->data) EXPECT_EQ(b, 0);
    klp::POOL_release_CANBuf(buf);
}

TEST_F(DispatcherTest, UnknownMessagesAreFatalErrorsOfTheirModule) {
    struct Case {
        std::uint8_t type;
        std::uint8_t subtype;
        std::string text;
    };
    const Case cases[] = {
        {9, 0, "KLP Library Failure: Unexpected event in OS protocol stack; line: 487; CAN_DISP::CAND_Task"},
        {klp::msg::kNm, 4, "KLP Library Failure: NM protocol fatal error; line: 474; NM::NM_Evt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        sinks_.Clear();
        OpenProtocol();
        klp::OS_Put(klp::kDispatcherMailbox, c.type, c.subtype, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return !sinks_.Boxes().empty(); }));
        EXPECT_EQ(sinks_.Boxes()[0].text, c.text);
        EXPECT_EQ(sinks_.Boxes()[0].caption, "KLP Communication Error");
        EXPECT_TRUE(klp::OS_Broken());
        // The dispatcher still ends at the close.
        klp::close_KLP();
        EXPECT_FALSE(klp::OS_Running());
    }
}

// A peer reads the node's name from its main server channel: the answers on 0x780 + own loop back
// to the node's own client, whose record for the own id is idle. It must not answer them.
TEST_F(DispatcherTest, OwnServerAnswersLeaveNoFrameFromTheIdleClient) {
    OpenProtocol();
    AssignId(5);
    klp::CAN_SetSdoChannelOpen(true);
    Inject(0x7A5, {0x40, 0x0D, 0x10, 0x00, 0, 0, 0, 0});
    ASSERT_TRUE(WaitSent(0x785, 1));
    Inject(0x7A5, {0x60, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(WaitSent(0x785, 2));
    Inject(0x7A5, {0x70, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(WaitSent(0x785, 3));
    Settle();
    EXPECT_EQ(SentOn(0x785).back().data[0] & 0x01, 1);  // the name is complete
    for (const klp_test::SentFrame& f : Sent()) {
        EXPECT_FALSE(f.cob_id >= 0x7A0 && f.cob_id <= 0x7BF) << std::hex << "frame on 0x" << f.cob_id;
    }
}

}  // namespace
