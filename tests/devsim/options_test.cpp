#include <gtest/gtest.h>

#include "tools/devsim/bus_port.h"
#include "tools/devsim/options.h"

namespace devsim_test {
namespace {

using namespace std::chrono_literals;

TEST(Options, Defaults) {
    const devsim::ParseResult r = devsim::ParseOptions({});
    ASSERT_EQ(r.error, "");
    EXPECT_TRUE(r.options.master);
    EXPECT_EQ(r.options.master_setup.assign_id, 5);
    EXPECT_EQ(r.options.master_setup.system_state, 1);
    EXPECT_EQ(r.options.master_setup.idle_state, 5);
    ASSERT_EQ(r.options.nodes.size(), 1u);
    EXPECT_EQ(r.options.nodes[0].id, 1);
    EXPECT_EQ(r.options.sdo.block_size, 127);
    EXPECT_FALSE(r.options.sdo.refuse_block);
    EXPECT_FALSE(r.options.sdo.resend_blocks);
    EXPECT_EQ(r.options.flood_per_segment, 0u);
}

TEST(Options, EveryFlagReachesItsSetting) {
    const devsim::ParseResult r = devsim::ParseOptions({"--bus",
                                                        "b1",
                                                        "--assign-id=9",
                                                        "--assign-delay-ms",
                                                        "250",
                                                        "--state",
                                                        "0x04",
                                                        "--idle-state",
                                                        "4",
                                                        "--nm-start",
                                                        "--guard-period-ms",
                                                        "100",
                                                        "--power-down-after-ms",
                                                        "700",
                                                        "--node",
                                                        "2:0x1031:5",
                                                        "--node",
                                                        "1:0x0431:3:0x0201:0x0123",
                                                        "--store-image",
                                                        "/tmp/x",
                                                        "--sections",
                                                        "s.txt",
                                                        "--fault-format",
                                                        "2",
                                                        "--refuse-block",
                                                        "0x06000002",
                                                        "--drop-segment",
                                                        "5",
                                                        "--drop-segment",
                                                        "1300",
                                                        "--delay-confirm-ms",
                                                        "40",
                                                        "--withhold-confirm",
                                                        "--abort",
                                                        "0x1019:0x08000020",
                                                        "--silent",
                                                        "--block-size",
                                                        "10",
                                                        "--resend-blocks",
                                                        "--flood",
                                                        "40",
                                                        "--fault",
                                                        "3:0502",
                                                        "--fault-period-ms",
                                                        "250",
                                                        "--conflict",
                                                        "--log"});
    ASSERT_EQ(r.error, "");
    const devsim::Options& o = r.options;
    EXPECT_EQ(o.bus, "b1");
    EXPECT_EQ(o.master_setup.assign_id, 9);
    EXPECT_EQ(o.master_setup.assign_delay, 250ms);
    EXPECT_EQ(o.master_setup.system_state, 4);
    EXPECT_EQ(o.master_setup.idle_state, 4);
    EXPECT_TRUE(o.master_setup.nm_start);
    EXPECT_EQ(o.master_setup.guard_period, 100ms);
    EXPECT_EQ(o.master_setup.power_down_after, 700ms);
    ASSERT_EQ(o.nodes.size(), 2u);
    EXPECT_EQ(o.nodes[0].profile, 0x1031);
    EXPECT_EQ(o.nodes[0].hw_revision, 5);
    EXPECT_EQ(o.nodes[1].profile_version, 0x0201);
    EXPECT_EQ(o.nodes[1].software_version, 0x0123);
    EXPECT_EQ(o.store_image, "/tmp/x");
    EXPECT_EQ(o.sections, "s.txt");
    EXPECT_EQ(o.fault_format, 2);
    EXPECT_EQ(o.sdo.refuse_block, 0x06000002u);
    EXPECT_EQ(o.sdo.drop_segments, (std::set<std::size_t>{5, 1300}));
    EXPECT_EQ(o.sdo.confirm_delay, 40ms);
    EXPECT_TRUE(o.sdo.withhold_confirm);
    EXPECT_EQ(o.sdo.aborts.at(0x1019), 0x08000020u);
    EXPECT_TRUE(o.sdo.silent);
    EXPECT_EQ(o.sdo.block_size, 10);
    EXPECT_TRUE(o.sdo.resend_blocks);
    EXPECT_EQ(o.flood_per_segment, 40u);
    ASSERT_EQ(o.faults.size(), 1u);
    EXPECT_EQ(o.faults[0].node, 3);
    EXPECT_EQ(o.faults[0].data, std::vector<std::uint8_t>({5, 2}));
    EXPECT_EQ(o.fault_period, 250ms);
    EXPECT_TRUE(o.conflict);
    EXPECT_TRUE(o.log);
}

TEST(Options, BadCommandLinesAreRefused) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},
        {"--bus"},
        {"--state", "256"},
        {"--state", "-1"},
        {"--assign-delay-ms", "soon"},
        {"--node", "0:0x1031:5"},
        {"--node", "32:0x1031:5"},
        {"--node", "2:0x1031"},
        {"--node", "2:0x10000:5"},
        {"--node", "2:1:1", "--node", "2:1:1"},
        {"--node", "5:1:1"},  // the id the master hands the library
        {"--refuse-block", "x"},
        {"--drop-segment", "0"},
        {"--abort", "0x1019"},
        {"--fault", "3:050"},
        {"--fault", "0:05"},
        {"--fault", "3:000102030405060708"},
        {"--block-size", "0"},
        {"--block-size", "128"},
        {"--flood", "0"},
        {"--flood", "10001"},
        {"--flood", "many"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.front() + (args.size() > 1 ? " " + args[1] : ""));
        EXPECT_NE(devsim::ParseOptions(args).error, "");
    }
    EXPECT_EQ(devsim::ParseOptions({"--no-master", "--node", "5:1:1"}).error, "");
}

TEST(Options, BusFromFlagChannelOrDefault) {
    using Kind = canapi::Channel::Kind;
    struct Case {
        const char* flag;
        const char* channel;
        Kind kind;
        const char* name;
    };
    const Case cases[] = {
        {"mine", "vbus:other", Kind::VirtualBus, "mine"},
        {"vbus:mine", "socketcan:can0", Kind::VirtualBus, "mine"},
        {"socketcan:can1", "vbus:other", Kind::SocketCan, "can1"},
        {"", "vbus:other", Kind::VirtualBus, "other"},
        {"", "socketcan:can0", Kind::SocketCan, "can0"},
        // What names no bus leaves the default.
        {"", "vbus:", Kind::VirtualBus, "default"},
        {"", "record", Kind::VirtualBus, "default"},
        {"", nullptr, Kind::VirtualBus, "default"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.flag) + " / " + (c.channel != nullptr ? c.channel : "unset"));
        const canapi::ChannelParse bus = devsim::ChooseBus(c.flag, c.channel);
        ASSERT_TRUE(bus.channel) << bus.error;
        EXPECT_EQ(bus.channel->kind, c.kind);
        EXPECT_EQ(bus.channel->name, c.name);
    }
    for (const char* flag : {"socketcan:", "vbus:", "can:can0"}) {
        SCOPED_TRACE(flag);
        EXPECT_FALSE(devsim::ChooseBus(flag, "vbus:other").channel);
    }
}

TEST(Options, HelpNamesEveryFlag) {
    const std::string help = devsim::HelpText();
    for (const char* flag : {"--bus",
                             "--no-master",
                             "--assign-id",
                             "--assign-delay-ms",
                             "--state",
                             "--idle-state",
                             "--nm-start",
                             "--guard-period-ms",
                             "--power-down-after-ms",
                             "--node",
                             "--store-image",
                             "--sections",
                             "--fault-format",
                             "--block-size",
                             "--refuse-block",
                             "--drop-segment",
                             "--delay-confirm-ms",
                             "--withhold-confirm",
                             "--abort",
                             "--silent",
                             "--resend-blocks",
                             "--flood",
                             "--fault",
                             "--fault-period-ms",
                             "--conflict",
                             "--log",
                             "--help"}) {
        EXPECT_NE(help.find(flag), std::string::npos) << flag;
    }
}

}  // namespace
}  // namespace devsim_test
