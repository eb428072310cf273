// Network management of the library's node: announcements, id assignment, NM commands and node
// guarding, with the bus master played through the recording channel.
#include <gtest/gtest.h>

#include <vector>

#include "library/nm.h"
#include "library/os_layer.h"
#include "tests/library/protocol_fixture.h"

namespace {

using klp_test::Bytes;
using klp_test::ProtocolStackTest;
using klp_test::SentOn;
using klp_test::WaitSent;

constexpr std::uint16_t kAnnounce = 0x7EF;

// Every NM period is counted in timer ticks, which these tests give themselves: one tick is 50 ms
// of the running library.
class NmTest : public ProtocolStackTest {
protected:
    void SetUp() override {
        ProtocolStackTest::SetUp();
        UseManualTicks();
    }
    static std::size_t Announced() { return SentOn(kAnnounce).size(); }
};

constexpr int kAnnounceTicks = 10;   // 500 ms
constexpr int kSuperviseTicks = 20;  // 1 s

TEST(NmAnnounceFrame, CobIdAndDataFollowTheIdentityWord) {
    struct Case {
        std::uint16_t identity_word;
        std::uint16_t cob_id;
        std::uint8_t dlc;
        std::array<std::uint8_t, 8> data;
    };
    const Case cases[] = {
        {15, 0x7EF, 8, Bytes({0x0F, 0x00, 0x0A, 0, 0, 0, 0x01, 0x00})},
        {3, 0x7F0, 8, Bytes({0x03, 0x00, 0x0A, 0, 0, 0, 0x01, 0x00})},
        {7, 0x7EC, 0, Bytes({})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.identity_word);
        klp::CANBuf buf{};
        for (std::uint8_t& b : buf.data) b = 0xEE;
        buf.rtr = 1;
        klp::NM_BuildAnnounce(c.identity_word, buf);
        EXPECT_EQ(buf.cob_id, c.cob_id);
        EXPECT_EQ(buf.dlc, c.dlc);
        EXPECT_EQ(buf.rtr, 0);
        EXPECT_TRUE(std::equal(c.data.begin(), c.data.end(), buf.data));
    }
}

TEST_F(NmTest, AnnouncesAtOnceThenEvery500ms) {
    OpenProtocol();
    EXPECT_EQ(klp::NM_State(), klp::kNmNoId);
    EXPECT_EQ(klp::NM_OwnNodeId(), klp::kNoNodeId);
    ASSERT_TRUE(WaitSent(kAnnounce, 1)) << "the first announcement needs no tick";
    for (std::size_t announced = 1; announced < 3; ++announced) {
        Tick(kAnnounceTicks - 1);
        EXPECT_EQ(Announced(), announced);
        Tick();
        EXPECT_EQ(Announced(), announced + 1);
    }
    const klp_test::SentFrame first = SentOn(kAnnounce).front();
    EXPECT_EQ(first.dlc, 8);
    EXPECT_EQ(first.data, Bytes({0x0F, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x01, 0x00}));
}

TEST_F(NmTest, MatchingAssignmentGivesIdAndReplyAndEndsAnnouncements) {
    OpenProtocol();
    ASSERT_TRUE(WaitSent(kAnnounce, 1));
    AssignId(5);
    ASSERT_TRUE(WaitSent(0x7E9, 1));
    const klp_test::SentFrame reply = SentOn(0x7E9).front();
    EXPECT_EQ(reply.dlc, 8);
    EXPECT_EQ(reply.data, Bytes({1, 5, 0x01, 0x00, 0x0A, 0, 0, 0}));
    const std::size_t announced = Announced();
    Tick(3 * kAnnounceTicks);
    EXPECT_EQ(Announced(), announced);
}

TEST_F(NmTest, AssignmentsThatDoNotFitAreIgnored) {
    struct Case {
        const char* name;
        std::initializer_list<std::uint8_t> data;
    };
    const Case cases[] = {
        {"other identity value", {1, 5, 0x0F, 0x00, 0x0B, 0, 0, 0}},
        {"other identity word", {1, 5, 0x0E, 0x00, 0x0A, 0, 0, 0}},
        {"id 0", {1, 0, 0x0F, 0x00, 0x0A, 0, 0, 0}},
        {"id 32", {1, 32, 0x0F, 0x00, 0x0A, 0, 0, 0}},
        {"id 255", {1, 255, 0x0F, 0x00, 0x0A, 0, 0, 0}},
        {"DLC 7", {1, 5, 0x0F, 0x00, 0x0A, 0, 0}},
    };
    OpenProtocol();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Inject(0x7EA, c.data);
        Settle();
        EXPECT_EQ(klp::NM_OwnNodeId(), klp::kNoNodeId);
        EXPECT_EQ(klp::NM_State(), klp::kNmNoId);
    }
    EXPECT_TRUE(SentOn(0x7E9).empty());
}

TEST_F(NmTest, AssignmentFramePushesNextAnnouncementToOneSecond) {
    OpenProtocol();
    ASSERT_TRUE(WaitSent(kAnnounce, 1));
    Tick(2);
    Inject(0x7EA, {1, 5, 0x0F, 0x00, 0x0B, 0, 0, 0});
    Settle();
    Tick(kSuperviseTicks - 1);
    EXPECT_EQ(Announced(), 1u);
    Tick();
    EXPECT_EQ(Announced(), 2u);
    // Then every 500 ms again.
    Tick(kAnnounceTicks);
    EXPECT_EQ(Announced(), 3u);
}

TEST_F(NmTest, RangeAndBoundQueriesAnswerOnlyForTheIdentity) {
    struct Case {
        const char* name;
        std::vector<std::array<std::uint8_t, 8>> frames;
        std::size_t answers;
    };
    const Case cases[] = {
        {"range holding 15", {Bytes({6, 0x0F, 0, 0x0F, 0})}, 1},
        {"range below", {Bytes({6, 0x00, 0, 0x0E, 0})}, 0},
        {"range above", {Bytes({6, 0x10, 0, 0xFF, 0})}, 0},
        {"bounds around 10", {Bytes({7, 0x0F, 0, 5, 0, 0, 0}), Bytes({8, 0x0F, 0, 0x20, 0, 0, 0})}, 1},
        {"lower bound above 10", {Bytes({7, 0x0F, 0, 11, 0, 0, 0}), Bytes({8, 0x0F, 0, 0x20, 0, 0, 0})}, 0},
        {"upper bound below 10", {Bytes({7, 0x0F, 0, 5, 0, 0, 0}), Bytes({8, 0x0F, 0, 9, 0, 0, 0})}, 0},
        {"upper bound without lower", {Bytes({8, 0x0F, 0, 0x20, 0, 0, 0})}, 0},
        {"lower bound of another word", {Bytes({7, 0x0E, 0, 5, 0, 0, 0}), Bytes({8, 0x0F, 0, 0x20, 0, 0, 0})}, 0},
        {"upper bound used up",
         {Bytes({7, 0x0F, 0, 5, 0, 0, 0}), Bytes({8, 0x0F, 0, 0x20, 0, 0, 0}), Bytes({8, 0x0F, 0, 0x20, 0, 0, 0})},
         1},
    };
    OpenProtocol();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = SentOn(0x7E6).size();
        for (const auto& f : c.frames) {
            ASSERT_TRUE(canapi_recorder::Inject(
                canapi_recorder::ReceiveRecord(0x7EA, {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]})));
        }
        Settle();
        const std::vector<klp_test::SentFrame> answers = SentOn(0x7E6);
        ASSERT_EQ(answers.size() - before, c.answers);
        for (std::size_t i = before; i < answers.size(); ++i) EXPECT_EQ(answers[i].dlc, 0);
    }
}

TEST_F(NmTest, CommandsChangeStateAndStoppedFlag) {
    struct Case {
        const char* name;
        std::vector<std::vector<std::uint8_t>> commands;
        std::uint8_t state;
        bool stopped;
    };
    const Case cases[] = {
        {"start to every node", {{1, 0, 0}}, 8, false},
        {"start to own id", {{1, 5, 0}}, 8, false},
        {"start to another node", {{1, 6, 0}}, 4, false},
        {"start with DLC 2", {{1, 0}}, 4, false},
        {"stop to every node", {{1, 0, 0}, {2, 0, 0}}, 4, true},
        {"stop to own id", {{1, 0, 0}, {2, 5, 0}}, 4, false},
        {"stopped flag cleared", {{2, 0, 0}, {0x82, 0, 0}}, 4, false},
        {"reset", {{1, 0, 0}, {0x81, 0, 0}}, 2, true},
        {"unknown command", {{0x33, 0, 0}}, 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canapi_recorder_reset();
        OpenProtocol();
        AssignId(5);
        for (const auto& cmd : c.commands) {
            canapi_recorder::Record r{};
            r[0] = 0x7001;
            r[1] = 0x000;
            r[2] = static_cast<std::uint32_t>(cmd.size());
            for (std::size_t i = 0; i < cmd.size(); ++i) r[3 + i] = cmd[i];
            ASSERT_TRUE(canapi_recorder::Inject(r));
        }
        Settle();
        EXPECT_EQ(klp::NM_State(), c.state);
        EXPECT_EQ(klp::NM_Stopped(), c.stopped);
        EXPECT_EQ(klp::NM_OwnNodeId(), c.state == 2 ? klp::kNoNodeId : 5);
        if (c.state == 2) {
            // Back to announcing, the first one after 500 ms.
            const std::size_t announced = Announced();
            Tick(kAnnounceTicks - 1);
            EXPECT_EQ(Announced(), announced);
            Tick();
            EXPECT_EQ(Announced(), announced + 1);
        }
        klp::close_KLP();
    }
}

TEST_F(NmTest, CommandsBeforeAssignmentAreIgnored) {
    OpenProtocol();
    Inject(0x000, {1, 0, 0});
    Settle();
    EXPECT_EQ(klp::NM_State(), klp::kNmNoId);
}

TEST_F(NmTest, OperationalNodeAnswersGuardsWithTogglingState) {
    OpenProtocol();
    AssignId(5);
    StartNode();
    Inject(0x7C5, {}, true);
    ASSERT_TRUE(WaitSent(0x7C5, 1));
    Inject(0x7C5, {}, true);
    ASSERT_TRUE(WaitSent(0x7C5, 2));
    Inject(0x7C5, {}, true);
    ASSERT_TRUE(WaitSent(0x7C5, 3));
    Settle();
    // Three requests, three replies: the node never answers its own reply.
    const std::vector<klp_test::SentFrame> replies = SentOn(0x7C5);
    ASSERT_EQ(replies.size(), 3u);
    const std::uint8_t expected[] = {0x08, 0x88, 0x08};
    for (std::size_t i = 0; i < replies.size(); ++i) {
        EXPECT_EQ(replies[i].dlc, 1) << i;
        EXPECT_FALSE(replies[i].rtr) << i;
        EXPECT_EQ(replies[i].data[0], expected[i]) << i;
    }
}

TEST_F(NmTest, GuardsAreNotAnsweredBeforeStart) {
    OpenProtocol();
    AssignId(5);
    Inject(0x7C5, {}, true);
    Settle();
    EXPECT_TRUE(SentOn(0x7C5).empty());
    EXPECT_EQ(klp::NM_State(), klp::kNmAssigned);
}

TEST_F(NmTest, WithoutGuardingFallsBackAfterOneSecond) {
    OpenProtocol();
    AssignId(5);
    StartNode();
    const std::size_t announced = Announced();
    Tick(kSuperviseTicks - 1);
    EXPECT_EQ(klp::NM_State(), klp::kNmOperational);
    Tick();
    EXPECT_EQ(klp::NM_State(), klp::kNmNoId);
    EXPECT_EQ(klp::NM_OwnNodeId(), klp::kNoNodeId);
    EXPECT_EQ(Announced(), announced + 1) << "announces again at once";
}

TEST_F(NmTest, RegularGuardingKeepsNodeOperational) {
    OpenProtocol();
    AssignId(5);
    StartNode();
    // Each guard comes one tick before the supervision period would end.
    for (int i = 0; i < 6; ++i) {
        Inject(0x7C5, {}, true);
        Settle();
        Tick(kSuperviseTicks - 1);
        EXPECT_EQ(klp::NM_State(), klp::kNmOperational) << i;
    }
    EXPECT_EQ(SentOn(0x7C5).size(), 6u);
}

}  // namespace
