#include <gtest/gtest.h>
#include <linux/can.h>
#include <linux/can/raw.h>
#include <net/if.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/canapi/canapi.h"
#include "platform/canapi/vbus.h"
#include "platform/kernel/sinks.h"
#include "platform/kernel/sync.h"
#include "tests/canapi/test_bus.h"

using namespace std::chrono_literals;
using Record = std::array<std::uint32_t, 16>;

namespace {

const Record kInitBlock = {0, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255, 255, 255, 255};

// Opens the adapter API the way the interface library does.
void OpenAdapter() {
    ASSERT_EQ(ca_InitApi_1(11, 0x300), 1);
    ASSERT_EQ(ca_ResetCanCard_1(), 1);
    ASSERT_EQ(ca_InitCanCard_1(1, 0, 0, 0, kInitBlock.data(), 7, 0x7F, 0, 0, 0), 1);
}

// Waits on the adapter event and takes one record, as the library's receive thread does.
bool NextRecord(kernel::Event& event, Record& record) {
    const auto end = std::chrono::steady_clock::now() + test_support::kPatience;
    while (std::chrono::steady_clock::now() < end) {
        if (ca_GetData_1(record.data()) != 0) return true;
        if (event.Wait(50ms) == kernel::WaitResult::Signaled) event.Reset();
    }
    return false;
}

class CanapiVirtualBus : public ::testing::Test {
protected:
    void SetUp() override {
        bus_name_ = canapi_test::PrivateBusName("api");
        setenv("CANAPI_CHANNEL", ("vbus:" + bus_name_).c_str(), 1);
        auto joined = canapi::VirtualBus::Join(bus_name_);
        ASSERT_TRUE(joined.bus) << joined.error;
        peer_ = std::move(joined.bus);
    }
    void TearDown() override {
        ca_CloseApi();
        unsetenv("CANAPI_CHANNEL");
    }
    std::string bus_name_;
    std::unique_ptr<canapi::VirtualBus> peer_;
};

TEST_F(CanapiVirtualBus, ReceivedFramesBecomeRecordsAndSetTheEvent) {
    OpenAdapter();
    auto event = kernel::OpenEvent(CANAPI_INPUT_EVENT_NAME);
    ASSERT_NE(event, nullptr);
    ASSERT_EQ(peer_->Peers(), 1u);

    canapi::Frame data;
    data.id = 0x581;
    data.dlc = 8;
    data.data = {0x43, 0x00, 0x10, 0x00, 0x91, 0x01, 0x0F, 0x00};
    canapi::Frame remote;
    remote.id = 0x7ED;
    remote.rtr = true;
    canapi::Frame extended;
    extended.id = 0x18FF0001;
    extended.extended = true;
    extended.dlc = 1;
    extended.data[0] = 0xEE;
    for (const auto& f : {data, remote, extended}) ASSERT_EQ(peer_->Send(f).delivered, 1u);

    EXPECT_EQ(event->Wait(5s), kernel::WaitResult::Signaled);
    Record r{};
    ASSERT_TRUE(NextRecord(*event, r));
    EXPECT_EQ(r, (Record{0x7001, 0x581, 8, 0x43, 0x00, 0x10, 0x00, 0x91, 0x01, 0x0F, 0x00}));
    ASSERT_TRUE(NextRecord(*event, r));
    EXPECT_EQ(r, (Record{0x7002, 0x7ED, 0}));
    ASSERT_TRUE(NextRecord(*event, r));
    EXPECT_EQ(r, (Record{0x7003, 0x18FF0001, 1, 0xEE}));
}

TEST_F(CanapiVirtualBus, TransmittedRecordsReachThePeer) {
    OpenAdapter();
    Record data{0x7A1, 3, 0x40, 0x18, 0x10};
    Record remote{0x7ED, 0};
    remote[11] = 1;
    ASSERT_EQ(ca_TransmitCanCard_1(1, 0, data.data()), 1);
    ASSERT_EQ(ca_TransmitCanCard_1(1, 0, remote.data()), 1);
    canapi::Frame got;
    ASSERT_EQ(peer_->Receive(got, 5s), canapi::ReceiveResult::Frame);
    EXPECT_EQ(got.id, 0x7A1u);
    EXPECT_EQ(got.dlc, 3);
    EXPECT_FALSE(got.rtr);
    EXPECT_EQ(got.data, (std::array<std::uint8_t, 8>{0x40, 0x18, 0x10, 0, 0, 0, 0, 0}));
    ASSERT_EQ(peer_->Receive(got, 5s), canapi::ReceiveResult::Frame);
    EXPECT_EQ(got.id, 0x7EDu);
    EXPECT_TRUE(got.rtr);
    // The adapter's own frames do not come back to it.
    Record r{};
    EXPECT_EQ(ca_GetData_1(r.data()), 0);
}

TEST_F(CanapiVirtualBus, CloseLeavesTheBusAndDropsTheEvent) {
    OpenAdapter();
    EXPECT_EQ(peer_->Peers(), 1u);
    ASSERT_EQ(ca_CloseApi(), 1);
    EXPECT_EQ(peer_->Peers(), 0u);
    EXPECT_EQ(kernel::OpenEvent(CANAPI_INPUT_EVENT_NAME), nullptr);
    Record r{};
    EXPECT_EQ(ca_GetData_1(r.data()), 0);
    EXPECT_EQ(ca_TransmitCanCard_1(1, 0, r.data()), 0);
    // A second session works like the first.
    OpenAdapter();
    EXPECT_EQ(peer_->Peers(), 1u);
}

TEST(CanapiChannels, UnusableChannelFailsResetAndInitWithAReason) {
    struct Case {
        const char* channel;
        const char* reason;
    } cases[] = {
        {"socketcan:qbknosuch0", "qbknosuch0"},
        {"vbus:bad/name", "invalid bus name"},
        {"serial:ttyS0", "is not vbus:<name>"},
    };
    for (const Case& c : cases) {
        setenv("CANAPI_CHANNEL", c.channel, 1);
        std::vector<std::string> debug;
        std::mutex m;
        kernel::SetDebugOutputSink([&](const std::string& line) {
            std::lock_guard lock(m);
            debug.push_back(line);
        });
        EXPECT_EQ(ca_InitApi_1(11, 0x300), 1) << c.channel;  // its result is not relied on
        EXPECT_EQ(ca_ResetCanCard_1(), 0) << c.channel;
        EXPECT_EQ(ca_InitCanCard_1(1, 0, 0, 0, kInitBlock.data(), 7, 0x7F, 0, 0, 0), 0) << c.channel;
        Record r{0x100, 0};
        EXPECT_EQ(ca_TransmitCanCard_1(1, 0, r.data()), 0) << c.channel;
        EXPECT_EQ(ca_CloseApi(), 1);
        kernel::SetDebugOutputSink({});
        ASSERT_EQ(debug.size(), 1u) << c.channel;
        EXPECT_NE(debug[0].find(c.reason), std::string::npos) << debug[0];
    }
    unsetenv("CANAPI_CHANNEL");
}

// Needs a virtual CAN interface: an existing one named by QBK_TEST_VCAN (default vcan0), or one
// this test may create (root and the vcan kernel module).
TEST(CanapiSocketCan, FramesPassThroughAVirtualCanInterface) {
    const char* named = std::getenv("QBK_TEST_VCAN");
    std::string interface = named != nullptr ? named : "vcan0";
    bool created = false;
    if (if_nametoindex(interface.c_str()) == 0) {
        interface = "qbkvcan" + std::to_string(getpid() % 1000);
        const std::string add = "ip link add dev " + interface + " type vcan >/dev/null 2>&1 && ip link set up " +
                                interface + " >/dev/null 2>&1";
        created = std::system(add.c_str()) == 0;
        if (!created)
            GTEST_SKIP() << "no vcan interface here (the kernel lacks the vcan module or we may not add links)";
    }
    setenv("CANAPI_CHANNEL", ("socketcan:" + interface).c_str(), 1);
    OpenAdapter();
    auto event = kernel::OpenEvent(CANAPI_INPUT_EVENT_NAME);
    ASSERT_NE(event, nullptr);

    // Another node on the interface: a raw socket of our own.
    const int node = socket(PF_CAN, SOCK_RAW, CAN_RAW);
    ASSERT_GE(node, 0);
    sockaddr_can address{};
    address.can_family = AF_CAN;
    address.can_ifindex = static_cast<int>(if_nametoindex(interface.c_str()));
    ASSERT_EQ(bind(node, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

    can_frame to_adapter{};
    to_adapter.can_id = 0x581;
    to_adapter.can_dlc = 2;
    to_adapter.data[0] = 0x60;
    to_adapter.data[1] = 0x01;
    ASSERT_EQ(write(node, &to_adapter, sizeof(to_adapter)), static_cast<ssize_t>(sizeof(to_adapter)));
    Record r{};
    ASSERT_TRUE(NextRecord(*event, r));
    EXPECT_EQ(r, (Record{0x7001, 0x581, 2, 0x60, 0x01}));

    Record data{0x123, 2, 0xAB, 0xCD};
    ASSERT_EQ(ca_TransmitCanCard_1(1, 0, data.data()), 1);
    can_frame from_adapter{};
    ASSERT_EQ(read(node, &from_adapter, sizeof(from_adapter)), static_cast<ssize_t>(sizeof(from_adapter)));
    EXPECT_EQ(from_adapter.can_id, 0x123u);
    EXPECT_EQ(from_adapter.can_dlc, 2);
    EXPECT_EQ(from_adapter.data[0], 0xAB);
    close(node);
    ca_CloseApi();
    unsetenv("CANAPI_CHANNEL");
    if (created) std::system(("ip link del dev " + interface + " >/dev/null 2>&1").c_str());
}

}  // namespace
