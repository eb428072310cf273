// The library's node among the bus master's services: NM start and guarding, fault reports,
// the forced power-down and the conflict check, against qbk-devsim.
#include <gtest/gtest.h>

#include <thread>

#include "app/device_objects.h"
#include "tests/e2e/session.h"

namespace e2e {
namespace {

using test_support::WaitUntil;
namespace object = app::device_object;

TEST(E2eSystem, GuardedNodeFaultsAndPowerDown) {
    Session s;
    ASSERT_TRUE(s.Open({"--node", "1:0x1031:5", "--nm-start", "--guard-period-ms", "100", "--power-down-after-ms",
                        "2500", "--fault", "3:0502AA55", "--fault-period-ms", "200", "--log"}));
    ASSERT_TRUE(s.WaitReady());
    KlpBinding& klp = s.klp();

    // NM start: operational (code 4) and kept there by the guarding (every 100 ms, a tenth of the
    // 1 s supervision, so that a loaded machine does not miss a period), well past the supervision.
    EXPECT_TRUE(WaitUntil([&] { return klp.GETNODESTATEKLP() == 4; }));
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(klp.GETNODESTATEKLP(), 4);
    EXPECT_FALSE(klp.STOPPEDKLP());
    EXPECT_TRUE(s.devsim().WaitFor([](const LogLine& l) { return l.text == "rx 7C5#08"; }, kPatience));
    EXPECT_TRUE(s.devsim().WaitFor([](const LogLine& l) { return l.text == "rx 7C5#88"; }, kPatience));

    // The fault report, decoded in format 1 (read from node 1's 0x100B): word 0x0205.
    const TFAULTRECORD* fault = nullptr;
    WaitUntil([&] { return (fault = klp.GETFAULTKLP(0)) != nullptr; });
    ASSERT_NE(fault, nullptr);
    // Packed fields are read as values: a reference to one may be misaligned.
    EXPECT_EQ(static_cast<int>(fault->node), 3);
    EXPECT_EQ(static_cast<int>(fault->code), 0x005);
    EXPECT_EQ(static_cast<int>(fault->fault_class), 1);
    EXPECT_EQ(static_cast<int>(fault->flag), 0);
    EXPECT_EQ(static_cast<int>(fault->extra), 0x55AA);
    EXPECT_GT(static_cast<std::int32_t>(fault->life_ms), 50000);
    EXPECT_EQ(klp.GETFAULTKLP(1), nullptr);  // repeated reports keep one record

    // The forced power-down: transfers fail at once and without bus traffic until it is read.
    ASSERT_TRUE(s.devsim().WaitFor([](const LogLine& l) { return l.text == "tx 080#85"; }, kPatience));
    std::this_thread::sleep_for(100ms);
    const std::size_t requests = s.LinesStarting("rx 7A1#").size();
    // At once: long before the first of its three attempts could have timed out (2 s).
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(s.Read(1, object::kDeviceProfile, 0, 2, 3).failed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(s.LinesStarting("rx 7A1#").size(), requests);
    EXPECT_NE(klp.CHECKSYSTEMPOWERDOWNREQUEST(), 0);
    EXPECT_EQ(klp.CHECKSYSTEMPOWERDOWNREQUEST(), 0);
    const ReadOutcome profile = s.Read(1, object::kDeviceProfile, 0, 2);
    ASSERT_FALSE(profile.failed);
    EXPECT_EQ(profile.data, Bytes({0x31, 0x10}));
}

TEST(E2eSystem, AnnouncementsAndFallBackWithoutGuarding) {
    Session s;
    // The master takes 1.2 s to assign, and after the start guards far too rarely.
    ASSERT_TRUE(s.Open(
        {"--node", "1:0x1031:5", "--assign-delay-ms", "1200", "--nm-start", "--guard-period-ms", "3000", "--log"}));
    const std::string announce = "rx 7EF#0F000A0000000100";
    ASSERT_GE(s.Count(announce, 3), 3u);
    // Every 500 ms, as devsim saw them: two periods, with room for a line read late and for a
    // loaded machine's slower ticks (each tick sleeps 50 ms at least, so they are never early).
    const auto first = s.LinesStarting(announce);
    const auto two_periods = first[2].at - first[0].at;
    EXPECT_GT(two_periods, 700ms);
    EXPECT_LT(two_periods, 4s);
    // Assigned and started, the node has no guard request for 1 s: it leaves and announces again.
    ASSERT_GE(s.Count("tx 000#010500", 1), 1u);
    ASSERT_GE(s.Count(announce, 4), 4u);
    const auto start = s.LinesStarting("tx 000#010500").front().at;
    std::chrono::steady_clock::time_point again{};
    for (const LogLine& line : s.LinesStarting(announce)) {
        if (line.at > start) {
            again = line.at;
            break;
        }
    }
    EXPECT_GT(again - start, 700ms);
    EXPECT_LT(again - start, 5s);
    EXPECT_EQ(s.LinesStarting("rx 7C5#").size(), 0u);  // no guard reply without a request
}

TEST(E2eSystem, SecondSdoClientIsAConflict) {
    Session s;
    std::uint8_t conflict = 0;
    ASSERT_TRUE(s.Open({"--node", "2:0x1031:5", "--conflict", "--log"}, &conflict));
    EXPECT_NE(conflict, 0);
    // The other client's traffic was real: requests and the node's answers on 0x782.
    EXPECT_GE(s.Count("tx 782#4B"), 1u);
}

TEST(E2eSystem, StateQueryWithoutMasterAndNodeNeverReady) {
    Session s;
    ASSERT_TRUE(s.Open({"--no-master", "--node", "2:0x1031:5", "--log"}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(s.klp().GETSYSTEMSTATE(), 255);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 90ms);
    EXPECT_LT(took, 10s);  // the polls' own time, not a wait for ever
    // Without an id the node asks as 0x60 + 255 and cannot transfer.
    EXPECT_GE(s.Count("rx 15F#06FF"), 1u);
    EXPECT_FALSE(s.klp().READYKLP());
    EXPECT_TRUE(s.Read(2, object::kDeviceProfile, 0, 2, 3).failed);
    EXPECT_TRUE(s.LinesStarting("rx 7A2#").empty());
}

}  // namespace
}  // namespace e2e
