#include "platform/canapi/vbus.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "tests/canapi/test_bus.h"

using namespace std::chrono_literals;
using canapi::Frame;
using canapi::ReceiveResult;
using canapi::SendResult;
using canapi::VirtualBus;

namespace {

std::unique_ptr<VirtualBus> MustJoin(const std::string& name) {
    canapi::JoinResult joined = VirtualBus::Join(name);
    EXPECT_TRUE(joined.bus) << joined.error;
    return std::move(joined.bus);
}

Frame MakeFrame(std::uint32_t id, std::uint8_t first) {
    Frame f;
    f.id = id;
    f.dlc = 2;
    f.data[0] = first;
    f.data[1] = 0xA5;
    return f;
}

TEST(VirtualBus, ParticipantsExchangeBothWaysAndNeverHearThemselves) {
    const std::string name = canapi_test::PrivateBusName("pair");
    auto a = MustJoin(name);
    auto b = MustJoin(name);
    ASSERT_TRUE(a && b);

    const Frame from_a = MakeFrame(0x7A1, 1);
    const SendResult sent = a->Send(from_a);
    EXPECT_EQ(sent.status, SendResult::Status::Sent);
    EXPECT_EQ(sent.delivered, 1u);
    Frame got;
    ASSERT_EQ(b->Receive(got, 2s), ReceiveResult::Frame);
    EXPECT_EQ(got, from_a);

    Frame from_b = MakeFrame(0x1FFFFFF0, 2);
    from_b.extended = true;
    ASSERT_EQ(b->Send(from_b).delivered, 1u);
    ASSERT_EQ(a->Receive(got, 2s), ReceiveResult::Frame);
    EXPECT_EQ(got, from_b);

    Frame remote;
    remote.id = 0x7ED;
    remote.rtr = true;
    ASSERT_EQ(a->Send(remote).delivered, 1u);
    ASSERT_EQ(b->Receive(got, 2s), ReceiveResult::Frame);
    EXPECT_EQ(got, remote);

    // Nobody got their own frames back.
    EXPECT_EQ(a->Receive(got, 50ms), ReceiveResult::Timeout);
    EXPECT_EQ(b->Receive(got, 50ms), ReceiveResult::Timeout);
}

TEST(VirtualBus, FramesKeepTheirOrderUnderLoad) {
    const std::string name = canapi_test::PrivateBusName("order");
    auto sender = MustJoin(name);
    auto receiver = MustJoin(name);
    constexpr int kFrames = 5000;
    std::thread reader([&] {
        Frame got;
        for (int i = 0; i < kFrames; ++i) {
            ASSERT_EQ(receiver->Receive(got, 5s), ReceiveResult::Frame) << i;
            ASSERT_EQ(got.data[0], static_cast<std::uint8_t>(i)) << i;
            ASSERT_EQ(got.data[1], static_cast<std::uint8_t>(i >> 8)) << i;
        }
    });
    for (int i = 0; i < kFrames; ++i) {
        Frame f = MakeFrame(0x581, static_cast<std::uint8_t>(i));
        f.data[1] = static_cast<std::uint8_t>(i >> 8);
        ASSERT_EQ(sender->Send(f).delivered, 1u);
    }
    reader.join();
}

TEST(VirtualBus, NewParticipantHearsTheVeryNextFrame) {
    const std::string name = canapi_test::PrivateBusName("late");
    auto a = MustJoin(name);
    auto b = MustJoin(name);
    ASSERT_EQ(a->Send(MakeFrame(0x100, 1)).delivered, 1u);  // peer list cached now
    auto late = MustJoin(name);
    EXPECT_EQ(a->Send(MakeFrame(0x100, 2)).delivered, 2u);
    Frame got;
    ASSERT_EQ(late->Receive(got, 2s), ReceiveResult::Frame);
    EXPECT_EQ(got.data[0], 2);
}

TEST(VirtualBus, DeadParticipantIsDroppedAndItsFileRemoved) {
    const std::string name = canapi_test::PrivateBusName("dead");
    auto a = MustJoin(name);
    auto b = MustJoin(name);
    // A participant that died without leaving: its socket file stays, nobody is bound to it.
    const std::string stale = VirtualBus::Folder(name) + "/999999-0";
    {
        const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, stale.c_str(), sizeof(address.sun_path) - 1);
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        close(fd);
    }
    EXPECT_EQ(a->Peers(), 2u);
    const SendResult first = a->Send(MakeFrame(0x200, 1));
    EXPECT_EQ(first.status, SendResult::Status::Sent);
    EXPECT_EQ(first.delivered, 1u);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_EQ(a->Peers(), 1u);
    Frame got;
    ASSERT_EQ(b->Receive(got, 2s), ReceiveResult::Frame);
    EXPECT_EQ(got.data[0], 1);
}

TEST(VirtualBus, LeavingRemovesTheSocketFile) {
    const std::string name = canapi_test::PrivateBusName("leave");
    auto a = MustJoin(name);
    std::string path;
    {
        auto b = MustJoin(name);
        path = b->SocketPath();
        EXPECT_TRUE(std::filesystem::exists(path));
        EXPECT_EQ(a->Peers(), 1u);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(a->Send(MakeFrame(0x300, 1)).delivered, 0u);
}

TEST(VirtualBus, StuckReaderDoesNotStallTheOthers) {
    const std::string name = canapi_test::PrivateBusName("stuck");
    auto sender = MustJoin(name);
    auto stuck = MustJoin(name);  // never reads
    auto reader = MustJoin(name);
    std::atomic<int> received{0};
    std::atomic<bool> done{false};
    std::thread drain([&] {
        Frame got;
        while (!done) {
            if (reader->Receive(got, 20ms) == ReceiveResult::Frame) ++received;
        }
    });
    constexpr int kFrames = 2000;
    std::size_t dropped = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFrames; ++i) dropped += sender->Send(MakeFrame(0x400, static_cast<std::uint8_t>(i))).dropped;
    // One wait for the stuck peer (2 s) at most, not one per frame (which would be over an hour).
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
    EXPECT_GT(dropped, 0u);
    EXPECT_TRUE(canapi_test::WaitUntil([&] { return received == kFrames; })) << received;
    done = true;
    drain.join();
}

TEST(VirtualBus, RefusesBadNamesAndFrames) {
    for (const char* bad : {"", ".", "..", "a/b", "with space", "../escape"}) {
        canapi::JoinResult joined = VirtualBus::Join(bad);
        EXPECT_FALSE(joined.bus) << bad;
        EXPECT_NE(joined.error.find("invalid bus name"), std::string::npos) << bad;
    }
    auto a = MustJoin(canapi_test::PrivateBusName("bad"));
    Frame too_long = MakeFrame(0x100, 0);
    too_long.dlc = 9;
    Frame too_high = MakeFrame(0x800, 0);
    EXPECT_EQ(a->Send(too_long).status, SendResult::Status::InvalidFrame);
    EXPECT_EQ(a->Send(too_high).status, SendResult::Status::InvalidFrame);
}

TEST(VirtualBus, StrayDatagramsAreIgnored) {
    const std::string name = canapi_test::PrivateBusName("stray");
    auto a = MustJoin(name);
    const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, a->SocketPath().c_str(), sizeof(address.sun_path) - 1);
    const char junk[] = "not a frame";
    std::uint8_t bad_dlc[16] = {0x51, 1, 0, 9};  // right header, DLC 9
    sendto(fd, junk, sizeof(junk), 0, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    sendto(fd, bad_dlc, sizeof(bad_dlc), 0, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    close(fd);
    Frame got;
    EXPECT_EQ(a->Receive(got, 100ms), ReceiveResult::Timeout);
}

}  // namespace
