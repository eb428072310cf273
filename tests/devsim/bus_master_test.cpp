#include <gtest/gtest.h>

#include <vector>

#include "tools/devsim/bus_master.h"

namespace devsim_test {
namespace {

using namespace std::chrono_literals;
using devsim::Frame;
using devsim::MakeFrame;

const Frame kAnnounce = MakeFrame(0x7EF, {0x0F, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x01, 0x00});

class MasterHarness {
public:
    explicit MasterHarness(devsim::MasterSetup setup) : master_(setup) {}

    std::vector<Frame> Hear(const Frame& frame) {
        master_.OnFrame(frame, now_, out_);
        return Due();
    }
    std::vector<Frame> Advance(std::chrono::milliseconds by) {
        now_ += by;
        master_.Poll(now_, out_);
        return Due();
    }
    devsim::BusMaster& master() { return master_; }

private:
    std::vector<Frame> Due() {
        std::vector<Frame> frames;
        out_.TakeDue(now_, frames);
        return frames;
    }
    devsim::BusMaster master_;
    devsim::Outbox out_;
    devsim::TimePoint now_{};
};

TEST(BusMaster, AssignsTheAnnouncedIdentityAfterTheDelay) {
    devsim::MasterSetup setup;
    setup.assign_id = 7;
    setup.assign_delay = 200ms;
    MasterHarness h(setup);
    EXPECT_TRUE(h.Hear(kAnnounce).empty());
    EXPECT_TRUE(h.Advance(100ms).empty());
    EXPECT_TRUE(h.Hear(kAnnounce).empty());  // repeated while pending: still one assignment
    EXPECT_TRUE(h.Advance(99ms).empty());
    const auto assign = h.Advance(1ms);
    ASSERT_EQ(assign.size(), 1u);
    EXPECT_EQ(assign[0], MakeFrame(0x7EA, {1, 7, 0x0F, 0x00, 0x0A, 0x00, 0x00, 0x00}));
    EXPECT_FALSE(h.master().admitted());
    EXPECT_TRUE(h.Advance(1s).empty());
    // Without NM start the node stays in state 4: nothing more is sent.
    EXPECT_TRUE(h.Hear(MakeFrame(0x7E9, {1, 7, 0x01, 0x00, 0x0A, 0, 0, 0})).empty());
    EXPECT_EQ(h.master().admitted(), 7);
    EXPECT_TRUE(h.Advance(2s).empty());
}

TEST(BusMaster, StartsAndGuardsTheNodeUntilItAnnouncesAgain) {
    devsim::MasterSetup setup;
    setup.nm_start = true;
    setup.guard_period = 300ms;
    MasterHarness h(setup);
    h.Hear(kAnnounce);
    const auto start = h.Hear(MakeFrame(0x7E9, {1, 5, 0x01, 0x00, 0x0A, 0, 0, 0}));
    ASSERT_EQ(start.size(), 1u);
    EXPECT_EQ(start[0], MakeFrame(0x000, {1, 5, 0}));
    const auto guard = h.Advance(300ms);
    ASSERT_EQ(guard.size(), 1u);
    EXPECT_EQ(guard[0].id, 0x7C5);
    EXPECT_TRUE(guard[0].rtr);
    h.Hear(MakeFrame(0x7C5, {0x08}));
    h.Hear(MakeFrame(0x7C5, {0x88}));
    EXPECT_EQ(h.master().guard_replies(), 2u);
    EXPECT_EQ(h.Advance(300ms).size(), 1u);
    // The node fell back and announces again: no more guarding, a new assignment.
    const auto reassign = h.Hear(kAnnounce);
    ASSERT_EQ(reassign.size(), 1u);
    EXPECT_EQ(reassign[0].id, 0x7EA);
    EXPECT_FALSE(h.master().admitted());
    EXPECT_TRUE(h.Advance(1s).empty());
}

TEST(BusMaster, AnswersStateQueriesAndGoesIdleOnTheIdleCommand) {
    devsim::MasterSetup setup;
    setup.system_state = 1;
    setup.idle_state = 5;
    MasterHarness h(setup);
    struct Case {
        Frame query;
        std::uint8_t state;
    };
    const Case cases[] = {
        {MakeFrame(0x065, {6, 5}), 1},
        {MakeFrame(0x15F, {6, 0xFF}), 1},  // a node without id asks as 0x60 + 255
        {MakeFrame(0x065, {0x10, 5, 0, 0, 0, 0, 0, 0}), 0},
        {MakeFrame(0x065, {6, 5}), 5},
        {MakeFrame(0x07F, {6, 0x1F}), 5},
    };
    for (const Case& c : cases) {
        const auto answers = h.Hear(c.query);
        if (c.state == 0) {
            EXPECT_TRUE(answers.empty());
            continue;
        }
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(answers[0], MakeFrame(0x080, {7, 1, c.state}));
    }
    // Neither fault reports nor frames outside the query range are queries.
    EXPECT_TRUE(h.Hear(MakeFrame(0x05F, {6, 5})).empty());
    EXPECT_TRUE(h.Hear(MakeFrame(0x080, {6, 5})).empty());
}

TEST(BusMaster, ForcedPowerDownOnceAfterTheAdmission) {
    devsim::MasterSetup setup;
    setup.power_down_after = 500ms;
    MasterHarness h(setup);
    EXPECT_TRUE(h.Advance(2s).empty());
    h.Hear(MakeFrame(0x7E9, {1, 5, 0x01, 0x00, 0x0A, 0, 0, 0}));
    EXPECT_TRUE(h.Advance(499ms).empty());
    const auto power_down = h.Advance(1ms);
    ASSERT_EQ(power_down.size(), 1u);
    EXPECT_EQ(power_down[0], MakeFrame(0x080, {0x85}));
    EXPECT_TRUE(h.Advance(2s).empty());
}

}  // namespace
}  // namespace devsim_test
