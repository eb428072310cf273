// The SocketCAN backend's frame exchange over a socket pair standing in for the kernel's raw CAN
// socket: one 16-byte struct can_frame a datagram, each way. The byte layouts are written out as
// the kernel lays them on this (little-endian) machine.
#include <linux/can.h>
#include <linux/can/error.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/canapi/canapi.h"
#include "platform/canapi/receive_queue.h"
#include "platform/canapi/records.h"
#include "platform/canapi/socketcan_backend.h"
#include "platform/kernel/sinks.h"
#include "platform/kernel/sync.h"
#include "tests/support/debug_lines.h"
#include "tests/support/wait_until.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using canapi::Record;

constexpr std::chrono::milliseconds kNoWait{0};

static_assert(sizeof(can_frame) == 16);

class SocketCanExchange : public testing::Test {
protected:
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0) << std::strerror(errno);
        peer_ = canapi::UniqueFd(fds[1]);
        backend_ = canapi::SocketCanBackendOver(canapi::CanSocket::Over(canapi::UniqueFd(fds[0]), ""), queue_);
    }

    // What the kernel would deliver: one datagram of any length.
    void PeerSends(const Bytes& datagram) {
        ASSERT_EQ(send(peer_.Get(), datagram.data(), datagram.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(datagram.size()));
    }
    void PeerSends(const can_frame& frame) {
        PeerSends(Bytes(reinterpret_cast<const std::uint8_t*>(&frame),
                        reinterpret_cast<const std::uint8_t*>(&frame) + sizeof frame));
    }
    // One datagram the backend sent; a larger buffer than a frame so that any excess shows.
    Bytes PeerReceives() {
        Bytes buffer(64);
        const ssize_t size = recv(peer_.Get(), buffer.data(), buffer.size(), MSG_DONTWAIT);
        buffer.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
        return buffer;
    }

    // The next `count` records the backend queued, waiting for them.
    std::vector<Record> Records(std::size_t count) {
        std::vector<Record> records;
        test_support::WaitUntil([&] {
            Record r{};
            while (records.size() < count && queue_.Pop(r)) records.push_back(r);
            return records.size() == count;
        });
        return records;
    }

    test_support::DebugLines debug_;
    std::shared_ptr<kernel::Event> event_ = kernel::CreateEvent("", true, false);
    canapi::ReceiveQueue queue_{canapi::kReceiveQueueCapacity, event_};
    canapi::UniqueFd peer_;
    std::unique_ptr<canapi::Backend> backend_;
};

canapi::Frame MakeFrame(std::uint32_t id, std::uint8_t dlc, std::array<std::uint8_t, 8> data, bool rtr = false) {
    canapi::Frame f;
    f.id = id;
    f.dlc = dlc;
    f.data = data;
    f.rtr = rtr;
    return f;
}

Record Status(std::uint32_t code) { return canapi::StatusRecord(code); }

TEST_F(SocketCanExchange, SentFramesReachThePeerByteExact) {
    struct Case {
        const char* name;
        canapi::Frame frame;
        Bytes wire;
    };
    const Case cases[] = {
        {"eight bytes",
         MakeFrame(0x601, 8, {0x40, 0x00, 0x10, 0x01, 0xAA, 0x55, 0xFF, 0x80}),
         {0x01, 0x06, 0, 0, 8, 0, 0, 0, 0x40, 0x00, 0x10, 0x01, 0xAA, 0x55, 0xFF, 0x80}},
        // Bytes beyond the DLC never reach the bus.
        {"three of eight",
         MakeFrame(0x7A1, 3, {9, 8, 7, 6, 5, 4, 3, 2}),
         {0xA1, 0x07, 0, 0, 3, 0, 0, 0, 9, 8, 7, 0, 0, 0, 0, 0}},
        {"no data", MakeFrame(0x000, 0, {1, 2, 3, 4, 5, 6, 7, 8}), {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        // A remote request carries its DLC and no data.
        {"remote request",
         MakeFrame(0x7ED, 1, {0x7F, 1, 2, 3, 4, 5, 6, 7}, true),
         {0xED, 0x07, 0, 0x40, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"remote request of none",
         MakeFrame(0x0E9, 0, {}, true),
         {0xE9, 0x00, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(backend_->Transmit(c.frame, kNoWait), canapi::TransmitResult::Accepted);
        EXPECT_EQ(PeerReceives(), c.wire);
    }
    EXPECT_TRUE(PeerReceives().empty());  // one datagram a frame, nothing more
}

TEST_F(SocketCanExchange, ReceivedFramesAndErrorFramesBecomeRecordsInOrder) {
    struct Case {
        const char* name;
        can_frame in;
        Record record;
    };
    auto frame = [](canid_t id, std::uint8_t dlc, std::array<std::uint8_t, 8> data) {
        can_frame f{};
        f.can_id = id;
        f.can_dlc = dlc;
        std::memcpy(f.data, data.data(), 8);
        return f;
    };
    auto error = [&](canid_t classes, std::uint8_t controller = 0) {
        return frame(CAN_ERR_FLAG | classes, CAN_ERR_DLC, {0, controller, 0, 0, 0, 0, 0, 0});
    };
    const Case cases[] = {
        {"data", frame(0x5A1, 8, {1, 2, 3, 4, 5, 6, 7, 8}), {0x7001, 0x5A1, 8, 1, 2, 3, 4, 5, 6, 7, 8}},
        // What lies beyond the DLC is not the frame's.
        {"short data", frame(0x1E9, 2, {0x11, 0x22, 0x33, 0x44, 0, 0, 0, 0x99}), {0x7001, 0x1E9, 2, 0x11, 0x22}},
        {"empty", frame(0x080, 0, {0xFF, 0xFF, 0, 0, 0, 0, 0, 0}), {0x7001, 0x080, 0}},
        {"remote request", frame(0x7ED | CAN_RTR_FLAG, 1, {0xAB, 0, 0, 0, 0, 0, 0, 0}), {0x7002, 0x7ED, 1}},
        {"extended", frame(0x12345678 | CAN_EFF_FLAG, 1, {0x42, 0, 0, 0, 0, 0, 0, 0}), {0x7003, 0x12345678, 1, 0x42}},
        {"extended remote", frame(0x1FFFFFFF | CAN_EFF_FLAG | CAN_RTR_FLAG, 0, {}), {0x7004, 0x1FFFFFFF, 0}},
        // A classic frame's DLC of 9..15 still means eight bytes.
        {"DLC above 8", frame(0x222, 15, {8, 7, 6, 5, 4, 3, 2, 1}), {0x7001, 0x222, 8, 8, 7, 6, 5, 4, 3, 2, 1}},
        {"bus-off", error(CAN_ERR_BUSOFF), Status(kCanapiStatusBusOff)},
        {"restarted", error(CAN_ERR_RESTARTED), Status(kCanapiStatusRestart)},
        {"transmit overflow", error(CAN_ERR_CRTL, CAN_ERR_CRTL_TX_OVERFLOW), Status(kCanapiStatusTransmitQueueFull)},
        {"receive overflow", error(CAN_ERR_CRTL, CAN_ERR_CRTL_RX_OVERFLOW), Status(kCanapiStatusOtherError)},
        {"transmit time-out", error(CAN_ERR_TX_TIMEOUT), Status(kCanapiStatusTransmitError)},
        {"no acknowledge", error(CAN_ERR_ACK), Status(kCanapiStatusTransmitError)},
        {"protocol violation", error(CAN_ERR_PROT), Status(kCanapiStatusOtherError)},
        // Bus-off outranks what comes with it.
        {"bus-off after no acknowledge", error(CAN_ERR_BUSOFF | CAN_ERR_ACK), Status(kCanapiStatusBusOff)},
    };
    for (const Case& c : cases) PeerSends(c.in);
    const std::vector<Record> records = Records(std::size(cases));
    ASSERT_EQ(records.size(), std::size(cases));
    for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i], cases[i].record) << cases[i].name;
    EXPECT_TRUE(event_->IsSignaled());
    EXPECT_EQ(queue_.Dropped(), 0u);
}

// The controller's state changes reach the debug output in words, once each, beside the status
// records every error frame gives.
TEST_F(SocketCanExchange, StateChangesAreSaidOnceOnTheDebugOutput) {
    auto error = [](canid_t classes, std::uint8_t controller = 0) {
        can_frame f{};
        f.can_id = CAN_ERR_FLAG | classes;
        f.can_dlc = CAN_ERR_DLC;
        f.data[1] = controller;
        return f;
    };
    for (int i = 0; i < 3; ++i) PeerSends(error(CAN_ERR_CRTL, CAN_ERR_CRTL_TX_PASSIVE));
    for (int i = 0; i < 3; ++i) PeerSends(error(CAN_ERR_ACK));
    for (int i = 0; i < 3; ++i) PeerSends(error(CAN_ERR_BUSOFF));
    PeerSends(error(CAN_ERR_RESTARTED));
    ASSERT_EQ(Records(10).size(), 10u);
    backend_.reset();
    const std::vector<std::string> lines = debug_.Lines();
    ASSERT_EQ(lines.size(), 4u);
    const char* says[] = {"is error-passive", "sees no acknowledgement", "is bus-off", "restarted"};
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_NE(lines[i].find(says[i]), std::string::npos) << lines[i];
}

TEST_F(SocketCanExchange, ReadsThatAreNotOneFrameAreReportedAndTheExchangeGoesOn) {
    can_frame first{};
    first.can_id = 0x181;
    first.can_dlc = 1;
    first.data[0] = 0x01;
    can_frame last = first;
    last.data[0] = 0x02;
    PeerSends(first);
    PeerSends(Bytes{0x81, 0x01, 0, 0, 1, 0, 0, 0});  // half a frame
    // A flexible-data-rate frame's 72 bytes: its first 16 look like a frame but are not one.
    Bytes fd(72, 0);
    std::memcpy(fd.data(), &first, sizeof first);
    PeerSends(fd);
    PeerSends(Bytes(17, 0));  // one byte over
    PeerSends(last);

    const std::vector<Record> records = Records(5);
    const Record expected[] = {{0x7001, 0x181, 1, 0x01},
                               Status(kCanapiStatusOtherError),
                               Status(kCanapiStatusOtherError),
                               Status(kCanapiStatusOtherError),
                               {0x7001, 0x181, 1, 0x02}};
    ASSERT_EQ(records.size(), std::size(expected));
    for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i], expected[i]) << i;
    backend_.reset();
    const std::vector<std::string> lines = debug_.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("8 bytes"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("more than"), std::string::npos) << lines[1];
}

TEST_F(SocketCanExchange, APeerThatGoesAwayEndsTheExchangeAfterItsFrames) {
    for (std::uint8_t i = 0; i < 3; ++i) {
        can_frame f{};
        f.can_id = 0x700 + i;
        f.can_dlc = 1;
        f.data[0] = i;
        PeerSends(f);
    }
    peer_.Reset();
    const std::vector<Record> records = Records(4);
    const Record expected[] = {
        {0x7001, 0x700, 1, 0}, {0x7001, 0x701, 1, 1}, {0x7001, 0x702, 1, 2}, Status(kCanapiStatusOtherError)};
    ASSERT_EQ(records.size(), std::size(expected));
    for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i], expected[i]) << i;
    // Sending to nobody fails at once instead of blocking.
    EXPECT_EQ(backend_->Transmit(MakeFrame(0x601, 1, {1}), kNoWait), canapi::TransmitResult::Failed);
    backend_.reset();              // the receive thread has ended; joining it returns
    EXPECT_EQ(queue_.Size(), 0u);  // one report of the hang-up, not one a poll
    const std::vector<std::string> lines = debug_.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("hung up"), std::string::npos) << lines[0];
}

TEST_F(SocketCanExchange, AFullTransmitQueueRefusesAtOnceWithoutATimeOut) {
    const canapi::Frame frame = MakeFrame(0x601, 8, {1, 2, 3, 4, 5, 6, 7, 8});
    int accepted = 0;
    while (backend_->Transmit(frame, kNoWait) == canapi::TransmitResult::Accepted && accepted < 1000000) ++accepted;
    ASSERT_GT(accepted, 0);
    ASSERT_LT(accepted, 1000000);
    EXPECT_EQ(backend_->Transmit(frame, kNoWait), canapi::TransmitResult::QueueFull);
    // Every accepted frame arrives, then room for one more.
    int arrived = 0;
    while (PeerReceives().size() == sizeof(can_frame)) ++arrived;
    EXPECT_EQ(arrived, accepted);
    EXPECT_EQ(backend_->Transmit(frame, kNoWait), canapi::TransmitResult::Accepted);
}

// The adapter waits for room up to its transmit time-out: a frame is refused only when the queue
// stays full that long.
TEST_F(SocketCanExchange, AFullTransmitQueueMakesTheSenderWaitUntilThereIsRoom) {
    const canapi::Frame frame = MakeFrame(0x601, 8, {1, 2, 3, 4, 5, 6, 7, 8});
    int accepted = 0;
    while (backend_->Transmit(frame, kNoWait) == canapi::TransmitResult::Accepted && accepted < 1000000) ++accepted;
    ASSERT_LT(accepted, 1000000);

    // Nobody reads: refused once the time-out has passed, not before.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(backend_->Transmit(frame, 50ms), canapi::TransmitResult::QueueFull);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);

    // The peer reads while the sender waits: the frame goes.
    std::atomic<int> result{-1};
    std::thread sender([&] { result = static_cast<int>(backend_->Transmit(frame, 60s)); });
    std::this_thread::sleep_for(100ms);
    int arrived = 0;
    test_support::WaitUntil([&] {
        while (PeerReceives().size() == sizeof(can_frame)) ++arrived;
        return result != -1;
    });
    sender.join();
    EXPECT_EQ(result, static_cast<int>(canapi::TransmitResult::Accepted));
    while (PeerReceives().size() == sizeof(can_frame)) ++arrived;
    EXPECT_EQ(arrived, accepted + 1);
}

}  // namespace
