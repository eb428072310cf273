// The fault list (decoding, refreshing, ageing) and the fault thread on the running stack.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "library/can_disp.h"
#include "library/fault_monitor.h"
#include "library/os_layer.h"
#include "tests/library/protocol_fixture.h"

namespace {

using namespace std::chrono_literals;
using klp::FaultFields;
using klp::FaultList;
using klp_test::ProtocolStackTest;
using klp_test::WaitUntil;

FaultFields Fields(std::uint16_t code, std::uint16_t fault_class) {
    FaultFields f;
    f.code = code;
    f.fault_class = fault_class;
    return f;
}

TEST(FaultDecode, FieldsFollowTheReportFormat) {
    struct Case {
        const char* name;
        std::uint8_t format;
        std::uint8_t dlc;
        std::uint8_t data[8];
        FaultFields expected;
    };
    // Format 1 packs code (9 bits), class (4) and flag (1) into one word: 0x105 | 10 << 9 | 1 << 13.
    const Case cases[] = {
        {"packed", 1, 4, {0x05, 0x35, 0x34, 0x12, 0xEE, 0xEE, 0xEE, 0xEE}, {0x105, 10, 1, 0x1234}},
        {"packed, flag clear", 1, 4, {0xFF, 0x01, 0, 0}, {0x1FF, 0, 0, 0}},
        {"one field each", 2, 7, {0x34, 0x12, 0x02, 0x00, 0x01, 0xCD, 0xAB, 0xEE}, {0x1234, 2, 1, 0xABCD}},
        {"short frame: stale bytes count as 0", 2, 2, {0x34, 0x12, 0x02, 0x00, 0x01, 0xCD, 0xAB, 0}, {0x1234, 0, 0, 0}},
        {"format unknown", 0, 8, {1, 2, 3, 4, 5, 6, 7, 8}, {}},
        {"format 3", 3, 8, {1, 2, 3, 4, 5, 6, 7, 8}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FaultFields f = klp::DecodeFault(c.format, c.dlc, c.data);
        EXPECT_EQ(+f.code, +c.expected.code);
        EXPECT_EQ(+f.fault_class, +c.expected.fault_class);
        EXPECT_EQ(+f.flag, +c.expected.flag);
        EXPECT_EQ(+f.extra, +c.expected.extra);
    }
}

class FaultListTest : public ::testing::Test {
protected:
    void SetUp() override { list_.Create(); }
    void AgePasses(int passes) {
        for (int i = 0; i < passes; ++i) list_.Age(klp::kFaultAgeingStepMs);
    }
    FaultList list_;
};

TEST_F(FaultListTest, FaultReportedOnceLivesSixtySeconds) {
    list_.Report(4, Fields(0x10, 3));
    AgePasses(239);
    ASSERT_EQ(list_.Count(), 1);
    EXPECT_EQ(+list_.At(0)->life_ms, 250);
    AgePasses(1);
    EXPECT_EQ(list_.Count(), 0);
}

TEST_F(FaultListTest, RepeatedReportRefreshesLifeByClass) {
    list_.Report(4, Fields(0x10, 3));
    AgePasses(100);
    list_.Report(4, Fields(0x10, 2));  // still active
    EXPECT_EQ(+list_.At(0)->life_ms, klp::kFaultLifeMs);
    list_.Report(4, Fields(0x10, 0));  // cleared: three more seconds
    ASSERT_EQ(list_.Count(), 1);
    EXPECT_EQ(+list_.At(0)->life_ms, klp::kFaultClearedLifeMs);
    EXPECT_EQ(+list_.At(0)->fault_class, 3);  // a refresh changes only the life
    AgePasses(11);
    EXPECT_EQ(list_.Count(), 1);
    AgePasses(1);
    EXPECT_EQ(list_.Count(), 0);
}

TEST_F(FaultListTest, NewClassZeroFaultStartsWithSixtySeconds) {
    list_.Report(4, Fields(0x10, 0));
    EXPECT_EQ(+list_.At(0)->life_ms, klp::kFaultLifeMs);
}

TEST_F(FaultListTest, RecordsAreKeyedByNodeAndCode) {
    list_.Report(4, Fields(0x10, 1));
    list_.Report(4, Fields(0x11, 1));
    list_.Report(5, Fields(0x10, 1));
    list_.Report(5, Fields(0x10, 1));
    ASSERT_EQ(list_.Count(), 3);
    EXPECT_EQ(+list_.At(0)->node, 4);
    EXPECT_EQ(+list_.At(1)->code, 0x11);
    EXPECT_EQ(+list_.At(2)->node, 5);
}

TEST_F(FaultListTest, EveryRecordAgesInAPassThatRemovesOne) {
    list_.Report(1, Fields(0x10, 1));
    list_.Report(1, Fields(0x10, 0));  // first record: 3 s left
    list_.Report(2, Fields(0x20, 1));
    list_.Report(3, Fields(0x30, 1));
    AgePasses(12);
    ASSERT_EQ(list_.Count(), 2);
    EXPECT_EQ(+list_.At(0)->node, 2);
    EXPECT_EQ(+list_.At(0)->life_ms, klp::kFaultLifeMs - 12 * 250);
    EXPECT_EQ(+list_.At(1)->life_ms, klp::kFaultLifeMs - 12 * 250);
}

TEST_F(FaultListTest, LookupsOutsideTheListGiveNothing) {
    list_.Report(1, Fields(0x10, 1));
    EXPECT_TRUE(list_.At(0).has_value());
    EXPECT_FALSE(list_.At(1).has_value());
    EXPECT_FALSE(list_.At(-1).has_value());
    list_.Free();
    EXPECT_FALSE(list_.At(0).has_value());
    list_.Report(1, Fields(0x10, 1));  // no list, nothing to add to
    EXPECT_EQ(list_.Count(), 0);
}

class FaultThreadTest : public ProtocolStackTest {
protected:
    void OpenAndResume() {
        OpenProtocol();
        klp::CAN_SetSdoChannelOpen(true);
        klp::OS_ResumeFaultThread();
        ASSERT_TRUE(WaitUntil([] { return klp::FAULT_Running(); }));
    }
};

TEST_F(FaultThreadTest, ReadsReportFormatFromNodeOneAndDecodes) {
    // As node 1 the library answers the format query itself: its 0x100B holds 0x0100, format 1.
    OpenAndResume();
    AssignId(1);
    Inject(0x045, {0x05, 0x35, 0x34, 0x12});
    ASSERT_TRUE(WaitUntil([] { return klp::FAULT_List().Count() == 1; }));
    const TFAULTRECORD r = *klp::FAULT_List().At(0);
    EXPECT_EQ(+r.node, 5);
    EXPECT_EQ(+r.life_ms, klp::kFaultLifeMs);
    EXPECT_EQ(+r.code, 0x105);
    EXPECT_EQ(+r.fault_class, 10);
    EXPECT_EQ(+r.flag, 1);
    EXPECT_EQ(+r.extra, 0x1234);
    // The format query went out once, on the own node's request channel.
    EXPECT_FALSE(klp_test::SentOn(0x7A1).empty());
}

TEST_F(FaultThreadTest, AgesOnlyWhileNoFaultFrameArrives) {
    UseManualTicks();
    OpenAndResume();
    Inject(0x043, {1, 0});  // node 3; no id, so the format stays unknown and fields 0
    ASSERT_TRUE(WaitUntil([] { return klp::FAULT_List().Count() == 1; }));
    // A frame of another node after every fourth tick ends each wait before its fifth.
    for (int i = 0; i < 20; ++i) {
        for (int tick = 1; tick < klp::kFaultWaitTicks; ++tick) klp::OS_TickForTests();
        Inject(0x044, {1, 0});
        Settle();
        ASSERT_TRUE(WaitUntil([] { return klp::FAULT_Backlog() == 0; }));
    }
    EXPECT_EQ(+klp::FAULT_List().At(0)->life_ms, klp::kFaultLifeMs);
    // Quiet ticks: the wait ends at the fifth and the list ages by one step. The life is read after
    // each tick, so a second step (five more ticks into the next wait) cannot slip in unseen.
    ASSERT_TRUE(WaitUntil([] {
        klp::OS_TickForTests();
        return klp::FAULT_List().At(0)->life_ms < klp::kFaultLifeMs;
    }));
    EXPECT_EQ(+klp::FAULT_List().At(0)->life_ms, klp::kFaultLifeMs - klp::kFaultAgeingStepMs);
}

TEST_F(FaultThreadTest, BacklogOfSuspendedThreadIsCapped) {
    OpenProtocol();
    const int free_before = klp::POOL_FreeCount();
    for (int i = 0; i < klp::kFaultBacklogMax + 50; ++i) Inject(0x045, {1, 0});
    Settle();
    EXPECT_EQ(klp::FAULT_Backlog(), klp::kFaultBacklogMax);
    EXPECT_GE(klp::POOL_FreeCount(), free_before - klp::kFaultBacklogMax - 10);
    // Once resumed, the thread drains the backlog into one record.
    klp::OS_ResumeFaultThread();
    ASSERT_TRUE(WaitUntil([] { return klp::FAULT_Backlog() == 0; }));
    EXPECT_EQ(klp::FAULT_List().Count(), 1);
}

// Node 1 never answers the format query: the read would last its 41 ticks (2.05 s), longer than
// the close waits for the fault thread. The close ends the read and completes.
TEST_F(FaultThreadTest, CloseDuringAPendingFormatReadCompletes) {
    OpenAndResume();
    AssignId(5);
    Inject(0x043, {1, 0});
    ASSERT_TRUE(klp_test::WaitSent(0x7A1, 1));  // the format query is out and waits
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NO_THROW(klp::close_KLP());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    EXPECT_TRUE(sinks_.Boxes().empty());  // no fatal error shown
    EXPECT_FALSE(klp::FAULT_Running());
    ExpectNothingLeft();
}

TEST_F(FaultThreadTest, CloseFreesTheList) {
    OpenAndResume();
    Inject(0x045, {1, 0});
    ASSERT_TRUE(WaitUntil([] { return klp::FAULT_List().Count() == 1; }));
    klp::close_KLP();
    EXPECT_FALSE(klp::FAULT_List().Exists());
    EXPECT_FALSE(klp::FAULT_Running());
    ExpectNothingLeft();
}

}  // namespace
