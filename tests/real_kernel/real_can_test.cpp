// The adapter path over a real Linux kernel's CAN stack. These tests run only inside the guest
// that tools/guest_kernel/run_guest.sh boots (guest_can.h: the library on can0, qbk-devsim on
// can1).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/album_transfer.h"
#include "app/mccan_interface.h"
#include "app/mccan_text.h"
#include "platform/kernel/sinks.h"
#include "tests/e2e/album_send.h"
#include "tests/e2e/devsim_process.h"
#include "tests/e2e/session.h"
#include "tests/real_kernel/guest_can.h"
#include "tests/support/debug_lines.h"
#include "tests/support/wait_until.h"

namespace {

using namespace std::chrono_literals;
using e2e::Bytes;
using ::testing::ElementsAre;

constexpr int kFamily = 1;
constexpr int kCards = 8;

void Ip(std::vector<std::string> args) {
    const std::string failed = guest::Tool("ip", std::move(args));
    ASSERT_TRUE(failed.empty()) << failed;
}

using test_support::DebugLines;

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct QueueCase {
    const char* name;
    bool modelled_bus;
};

class AlbumOverTheKernel : public testing::TestWithParam<QueueCase> {};

// The kernel's default transmit queue holds 10 frames, where a block transfer puts 127 on the bus
// back to back: the album still arrives whole.
TEST_P(AlbumOverTheKernel, ArrivesByteExactBehindTheDefaultQueue) {
    const std::string queue = guest::SetQueue(10, GetParam().modelled_bus);
    ASSERT_TRUE(queue.empty()) << queue;
    const std::string image = "/tmp/real-can-image.bin";
    std::filesystem::remove(image);
    e2e::DevsimProcess devsim(guest::kDeviceBus, {"--node", "1:0x1031:5", "--store-image", image});
    ASSERT_TRUE(devsim.WaitReady(test_support::kPatience));
    setenv("CANAPI_CHANNEL", guest::kLibraryChannel, 1);

    const e2e::Album album = e2e::Album::Textured(kCards, kFamily);
    app::TMCCANInterface link;
    e2e::Shown shown;
    app::DownloadAlbum(link, album.pages(), kFamily, shown.Ui());
    EXPECT_THAT(shown.lines, ElementsAre(std::string("information: Varnhold QBK: ") + app::text::kDownloadFinished));
    const Bytes payload = album.Payload(kFamily, 1, 1);
    EXPECT_GT(payload.size(), 20000u);  // well past what ten frames hold
    EXPECT_EQ(ReadFile(image), payload);
}

INSTANTIATE_TEST_SUITE_P(Queues, AlbumOverTheKernel,
                         testing::Values(QueueCase{"EmulatedBus", false}, QueueCase{"Modelled250kBus", true}),
                         [](const testing::TestParamInfo<QueueCase>& info) { return info.param.name; });

// One read of node 1's device profile through the library.
void ExpectTheDeviceAnswers(e2e::Session& session) {
    const e2e::ReadOutcome profile = session.Read(1, 0x1000, 0, 2);
    ASSERT_FALSE(profile.failed);
    EXPECT_EQ(profile.data, Bytes({0x31, 0x10}));
}

// The adapter's receive error reaches the library once, as its status text, and the link works
// again once the interface is back; closing still ends in its time.
void ExpectOneReceiveErrorAndACleanClose(e2e::Session& session, const DebugLines& debug) {
    ExpectTheDeviceAnswers(session);
    EXPECT_EQ(debug.Count("USB CAN Adapter: Receive error->"), 1u);
    const auto start = std::chrono::steady_clock::now();
    session.Close();
    // The library's own waits: a second for each of four threads and the adapter's 2.5 s pause.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 15s);
}

TEST(ReceptionOverTheKernel, GoesOnAfterTheInterfaceGoesDownAndUp) {
    ASSERT_EQ(guest::SetQueue(10, false), "");
    DebugLines debug;
    e2e::Session session(guest::kDeviceBus, guest::kLibraryChannel);
    ASSERT_TRUE(session.Open({"--node", "1:0x1031:5"}));
    ASSERT_TRUE(session.WaitReady());
    EXPECT_EQ(debug.Count("canapi: using SocketCAN interface \"can0\""), 1u);
    session.klp().SETTRACEFLAGS(1 << 8);  // the adapter's receive records and their errors
    ExpectTheDeviceAnswers(session);

    Ip({"link", "set", "can0", "down"});
    ASSERT_TRUE(debug.WaitFor({"SocketCAN interface \"can0\" is down"}));
    Ip({"link", "set", "can0", "up"});
    ASSERT_TRUE(debug.WaitFor({"SocketCAN interface \"can0\" is up again"}));
    ExpectOneReceiveErrorAndACleanClose(session, debug);
}

// A USB adapter pulled out and put back in comes back as a new interface of the same name.
TEST(ReceptionOverTheKernel, GoesOnAfterTheAdapterIsUnpluggedAndPluggedInAgain) {
    ASSERT_EQ(guest::SetQueue(10, false), "");
    DebugLines debug;
    e2e::Session session(guest::kDeviceBus, guest::kLibraryChannel);
    ASSERT_TRUE(session.Open({"--node", "1:0x1031:5"}));
    ASSERT_TRUE(session.WaitReady());
    session.klp().SETTRACEFLAGS(1 << 8);
    ExpectTheDeviceAnswers(session);

    const std::string device = std::filesystem::read_symlink("/sys/class/net/can0/device").filename();
    const std::string driver = std::filesystem::canonical("/sys/class/net/can0/device/driver");
    const int index_before = std::stoi(guest::ReadLine("/sys/class/net/can0/ifindex"));
    std::ofstream(driver + "/unbind") << device;
    // Unplugging takes the interface down first; which of the two the adapter reads first is the
    // kernel's timing.
    ASSERT_TRUE(debug.WaitFor({"SocketCAN interface \"can0\" is gone", "SocketCAN interface \"can0\" is down"}));
    ASSERT_FALSE(std::filesystem::exists("/sys/class/net/can0"));
    std::ofstream(driver + "/bind") << device;
    ASSERT_TRUE(test_support::WaitUntil([] { return std::filesystem::exists("/sys/class/net/can0"); }));
    EXPECT_NE(std::stoi(guest::ReadLine("/sys/class/net/can0/ifindex")), index_before);
    Ip({"link", "set", "can0", "type", "can", "bitrate", "250000"});
    Ip({"link", "set", "can0", "up"});
    ASSERT_TRUE(debug.WaitFor({"SocketCAN interface \"can0\" is up again"}));
    ExpectOneReceiveErrorAndACleanClose(session, debug);
}

// What a user sees when the interface is missing or down: the library's box, then the editor's
// driver message, and the reason on the debug output.
TEST(OpeningOverTheKernel, AMissingOrDownInterfaceIsRefusedWithItsReason) {
    ASSERT_EQ(guest::SetQueue(10, false), "");
    struct Case {
        const char* channel;
        const char* reason;
    };
    const Case cases[] = {
        {"socketcan:can7", "canapi: SocketCAN interface \"can7\": no such interface"},
        {"socketcan:can0", "canapi: SocketCAN interface \"can0\": is down (bring it up with its bit rate first)"},
    };
    Ip({"link", "set", "can0", "down"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channel);
        DebugLines debug;
        std::vector<std::string> boxes;
        const kernel::MessageBoxSink previous =
            kernel::SetMessageBoxSink([&boxes](const std::string& text, const std::string&, unsigned) {
                boxes.push_back(text);
                return kernel::kIdOk;
            });
        setenv("CANAPI_CHANNEL", c.channel, 1);
        const e2e::Album album(1);
        app::TMCCANInterface link;
        e2e::Shown shown;
        app::DownloadAlbum(link, album.pages(), kFamily, shown.Ui());
        kernel::SetMessageBoxSink(previous);
        EXPECT_THAT(boxes, ElementsAre("USB CAN Adapter: unable to reset USB adapter"));
        EXPECT_THAT(shown.lines, ElementsAre(std::string("error: ") + app::text::kOpenFailed + app::text::kE0023));
        EXPECT_EQ(debug.Count(c.reason), 1u);
    }
    Ip({"link", "set", "can0", "up"});
}

}  // namespace
