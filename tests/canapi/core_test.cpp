#include <gtest/gtest.h>

#include "platform/canapi/canapi.h"
#include "platform/canapi/channel.h"
#include "platform/canapi/receive_queue.h"
#include "platform/canapi/records.h"
#include "platform/kernel/sinks.h"

using namespace std::chrono_literals;

namespace {

TEST(CanapiChannel, ParsesTheSetting) {
    using Kind = canapi::Channel::Kind;
    struct Case {
        const char* value;
        bool ok;
        Kind kind;
        const char* name;
    } cases[] = {
        {"", true, Kind::VirtualBus, "default"},
        {"vbus:e2e-1", true, Kind::VirtualBus, "e2e-1"},
        {"socketcan:can0", true, Kind::SocketCan, "can0"},
        {"record", true, Kind::Record, ""},
        {"vbus:", false, Kind::VirtualBus, ""},
        {"socketcan", false, Kind::VirtualBus, ""},
        {"serial:/dev/ttyS0", false, Kind::VirtualBus, ""},
        {"recording", false, Kind::VirtualBus, ""},
    };
    for (const Case& c : cases) {
        const canapi::ChannelParse parsed = canapi::ParseChannel(c.value);
        ASSERT_EQ(parsed.channel.has_value(), c.ok) << c.value;
        if (!c.ok) {
            EXPECT_NE(parsed.error.find(c.value), std::string::npos) << parsed.error;
            continue;
        }
        EXPECT_EQ(parsed.channel->kind, c.kind) << c.value;
        EXPECT_EQ(parsed.channel->name, c.name) << c.value;
    }
}

TEST(CanapiRecords, ReceiveRecordLayoutPerKind) {
    canapi::Frame f;
    f.id = 0x5A1;
    f.dlc = 3;
    f.data = {9, 8, 7, 6, 0, 0, 0, 0};  // byte 3 lies beyond the DLC
    canapi::Record r = canapi::ReceiveRecord(f);
    EXPECT_EQ(r, (canapi::Record{0x7001, 0x5A1, 3, 9, 8, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    f.rtr = true;
    EXPECT_EQ(canapi::ReceiveRecord(f), (canapi::Record{0x7002, 0x5A1, 3}));
    f.extended = true;
    f.id = 0x12345;
    EXPECT_EQ(canapi::ReceiveRecord(f)[0], 0x7004u);
    f.rtr = false;
    EXPECT_EQ(canapi::ReceiveRecord(f)[0], 0x7003u);
    const canapi::Record status = canapi::StatusRecord(kCanapiStatusBusOff);
    EXPECT_EQ(status[0] & 0xF000u, 0x8000u);
    EXPECT_EQ(status[1], 2u);
}

TEST(CanapiRecords, TransmitRecordAcceptedOnlyWhenItIsAFrame) {
    canapi::Record data{0x7A1, 4, 0x40, 0x00, 0x10, 0x01, 0, 0, 0, 0, 0, 0};
    auto frame = canapi::TransmitFrame(data.data());
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->id, 0x7A1u);
    EXPECT_EQ(frame->dlc, 4);
    EXPECT_FALSE(frame->rtr);
    EXPECT_EQ(frame->data, (std::array<std::uint8_t, 8>{0x40, 0x00, 0x10, 0x01, 0, 0, 0, 0}));

    canapi::Record remote{0x7ED, 0};
    remote[11] = 1;
    ASSERT_TRUE(canapi::TransmitFrame(remote.data()));
    EXPECT_TRUE(canapi::TransmitFrame(remote.data())->rtr);

    canapi::Record high_id = data, long_dlc = data, wide_byte = data;
    high_id[0] = 0x800;
    long_dlc[1] = 9;
    wide_byte[3] = 0x100;
    EXPECT_FALSE(canapi::TransmitFrame(high_id.data()));
    EXPECT_FALSE(canapi::TransmitFrame(long_dlc.data()));
    EXPECT_FALSE(canapi::TransmitFrame(wide_byte.data()));
    EXPECT_FALSE(canapi::TransmitFrame(nullptr));
}

TEST(CanapiReceiveQueue, SignalsKeepsOrderAndDropsNewestWhenFull) {
    std::vector<std::string> debug;
    kernel::SetDebugOutputSink([&](const std::string& line) { debug.push_back(line); });
    auto event = kernel::CreateEvent("", true, false);
    canapi::ReceiveQueue queue(3, event);
    for (std::uint32_t i = 1; i <= 5; ++i) EXPECT_EQ(queue.Push(canapi::Record{i}), i <= 3) << i;
    EXPECT_TRUE(event->IsSignaled());
    EXPECT_EQ(queue.Dropped(), 2u);
    ASSERT_EQ(debug.size(), 1u);  // one report per overflow episode
    EXPECT_NE(debug[0].find("receive queue full"), std::string::npos);

    canapi::Record r{};
    ASSERT_TRUE(queue.Pop(r));
    EXPECT_EQ(r[0], 1u);
    EXPECT_TRUE(queue.Push(canapi::Record{6}));
    ASSERT_EQ(debug.size(), 2u);
    EXPECT_NE(debug[1].find("2 received frames were dropped"), std::string::npos) << debug[1];
    for (std::uint32_t expected : {2u, 3u, 6u}) {
        ASSERT_TRUE(queue.Pop(r));
        EXPECT_EQ(r[0], expected);
    }
    EXPECT_FALSE(queue.Pop(r));
    kernel::SetDebugOutputSink({});
}

}  // namespace
