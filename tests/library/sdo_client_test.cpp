// The SDO client engine, driven as the dispatcher drives it: the transfer starts on a caller
// thread, the test thread plays the dispatcher and feeds the responses of a peer, which is the
// library's own SDO server (as over the loop-back) or a scripted node.
#include "library/sdo_client.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "library/can_disp.h"
#include "library/exports.h"
#include "library/nm.h"
#include "library/object_dictionary.h"
#include "library/os_layer.h"
#include "library/sdo_server.h"
#include "library/stack_modules.h"
#include "platform/canapi/vbus.h"
#include "platform/kernel/sync.h"
#include "tests/library/stack_fixture.h"
#include "tests/support/call_on_thread.h"
#include "tests/support/protocol_bytes.h"

namespace {

using klp::CANBuf;
using klp::ObjectDictionary;
using klp::OdObject;
using klp::OdSubEntry;
using klp::SdoService;
using namespace std::chrono_literals;
namespace od_type = klp::od_type;

struct Frame {
    std::uint16_t cob = 0;
    std::array<std::uint8_t, 8> data{};
    std::uint8_t command() const { return data[0]; }
};

using test_bytes::Le32;
using test_bytes::Pattern;

// A transfer's result as the tables state it: the bytes moved, or kFailed.
constexpr std::int32_t kFailed = -1;
std::int32_t Count(const klp::SdoResult& r) { return r.ok() ? r.bytes : kFailed; }

class Bus;

// One node's server on the bus: the library's server engine over its own dictionary.
class ServerNode : public klp::SdoServerPort {
public:
    ServerNode(Bus& bus, std::uint8_t id, ObjectDictionary dictionary)
        : bus_(bus), id_(id), dictionary_(std::move(dictionary)), server_(dictionary_, *this) {}
    void Begin() { server_.Start(); }
    bool OwnNodeReady() override { return true; }
    std::uint8_t OwnNodeId() override { return id_; }
    CANBuf* TakeBuffer() override;
    void ReleaseBuffer(CANBuf* buf) override;
    void Send(CANBuf* buf) override;
    void Repost(CANBuf* buf) override;
    void ArmTimer() override {}
    klp::SdoServer& server() { return server_; }
    ObjectDictionary& dictionary() { return dictionary_; }

private:
    Bus& bus_;
    std::uint8_t id_;
    ObjectDictionary dictionary_;
    klp::SdoServer server_;
};

// The client's stack services: buffers, the frames it sends, the dispatcher queue.
class Bus : public klp::SdoClientPort {
public:
    enum class To { kPeer, kClient, kServer };
    // A scripted node: gets every frame the client sends to it (unless dropped).
    using Script = std::function<void(Bus&, const Frame&)>;

    Bus() { client.Start(); }
    ~Bus() override {
        client.Close();
        for (auto& item : queue_) ReleaseBuffer(item.buf);
    }

    // --- port
    bool OwnNodeReady() override { return ready; }
    CANBuf* TakeBuffer() override {
        std::lock_guard lock(mutex_);
        ++outstanding_;
        if (free_.empty()) {
            storage_.emplace_back();
            free_.push_back(&storage_.back());
        }
        CANBuf* b = free_.back();
        free_.pop_back();
        std::fill(std::begin(b->data), std::end(b->data), 0xEE);  // pooled buffers keep old bytes
        return b;
    }
    void ReleaseBuffer(CANBuf* buf) override {
        std::lock_guard lock(mutex_);
        --outstanding_;
        free_.push_back(buf);
    }
    void Send(CANBuf* buf) override {
        EXPECT_EQ(buf->dlc, 8);
        EXPECT_EQ(buf->cob_id & 0x7E0, 0x7A0);
        std::lock_guard lock(mutex_);
        requests_.push_back(ToFrame(*buf));
        queue_.push_back({To::kPeer, buf});
        cv_.notify_all();
    }
    void Repost(CANBuf* buf) override { Post(To::kClient, buf); }
    void ArmTimer() override { ++timer_arms; }

    // --- peers
    ServerNode& AddServer(std::uint8_t node, ObjectDictionary dictionary) {
        auto& s = servers_[node] = std::make_unique<ServerNode>(*this, node, std::move(dictionary));
        s->Begin();
        return *s;
    }
    void SetScript(Script s) { script_ = std::move(s); }
    // Frames the bus loses on the way to the peer (counted over all requests so far, from 1).
    void DropRequest(std::function<bool(std::size_t number, const Frame&)> drop) { drop_ = std::move(drop); }
    // Lets the peer's frames through a filter before the server sees them (a node that refuses
    // some requests itself).
    void SetFilter(std::function<bool(Bus&, const Frame&)> filter) { filter_ = std::move(filter); }

    // A response of a node to the client.
    void Reply(std::uint8_t node, std::array<std::uint8_t, 8> data) {
        CANBuf* b = TakeBuffer();
        b->cob_id = static_cast<std::uint16_t>(0x780 + node);
        b->dlc = 8;
        std::copy(data.begin(), data.end(), b->data);
        Post(To::kClient, b);
    }
    void Post(To to, CANBuf* buf) {
        std::lock_guard lock(mutex_);
        queue_.push_back({to, buf});
        cv_.notify_all();
    }

    // --- the dispatcher (test thread)
    // Runs queued messages until the queue is empty.
    void RunQueued() {
        for (;;) {
            Item item;
            {
                std::lock_guard lock(mutex_);
                if (queue_.empty()) return;
                item = queue_.front();
                queue_.pop_front();
            }
            Dispatch(item);
        }
    }
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            client.Handle(klp::msg::kTick, TakeBuffer());
            RunQueued();
        }
    }
    bool WaitForRequests(std::size_t n) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, 10s, [&] { return requests_.size() >= n; });
    }
    // Serves the transfer until the caller returns; a quiet bus gets timer ticks, as time passes.
    template <typename T>
    T Serve(std::future<T>& result, bool tick_when_quiet = true) {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (result.wait_for(0ms) != std::future_status::ready) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "transfer did not end";
                break;
            }
            bool quiet = false;
            {
                std::unique_lock lock(mutex_);
                quiet = !cv_.wait_for(lock, 1ms, [&] { return !queue_.empty(); });
            }
            RunQueued();
            if (quiet && tick_when_quiet && RequestCount() > 0) {
                Tick();
                ++quiet_ticks;
            }
        }
        return result.get();
    }

    std::vector<Frame> Requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    std::size_t RequestCount() {
        std::lock_guard lock(mutex_);
        return requests_.size();
    }
    int Outstanding() {
        std::lock_guard lock(mutex_);
        return outstanding_;
    }

    klp::SdoClient client{*this};
    bool ready = true;
    int timer_arms = 0;
    int quiet_ticks = 0;

private:
    struct Item {
        To to = To::kPeer;
        CANBuf* buf = nullptr;
    };
    static Frame ToFrame(const CANBuf& b) {
        Frame f;
        f.cob = b.cob_id;
        std::copy(std::begin(b.data), std::end(b.data), f.data.begin());
        return f;
    }
    void Dispatch(const Item& item) {
        const Frame f = ToFrame(*item.buf);
        const std::uint8_t node = item.buf->cob_id & 0x1F;
        switch (item.to) {
        case To::kClient:
            client.Handle(klp::msg::kFrame, item.buf);
            return;
        case To::kServer:
            servers_.at(node)->server().Handle(klp::msg::kFrame, item.buf);
            return;
        case To::kPeer: {
            const std::size_t number = ++delivered_;
            if (drop_ && drop_(number, f)) {
                ReleaseBuffer(item.buf);
                return;
            }
            if (filter_ && !filter_(*this, f)) {
                ReleaseBuffer(item.buf);
                return;
            }
            auto it = servers_.find(node);
            if (it != servers_.end()) {
                it->second->server().Handle(klp::msg::kFrame, item.buf);
                return;
            }
            ReleaseBuffer(item.buf);
            if (script_) script_(*this, f);
            return;
        }
        }
    }

    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Item> queue_;
    std::deque<CANBuf> storage_;
    std::vector<CANBuf*> free_;
    int outstanding_ = 0;
    std::vector<Frame> requests_;
    std::size_t delivered_ = 0;
    std::map<std::uint8_t, std::unique_ptr<ServerNode>> servers_;
    Script script_;
    std::function<bool(std::size_t, const Frame&)> drop_;
    std::function<bool(Bus&, const Frame&)> filter_;
};

CANBuf* ServerNode::TakeBuffer() { return bus_.TakeBuffer(); }
void ServerNode::ReleaseBuffer(CANBuf* buf) { bus_.ReleaseBuffer(buf); }
void ServerNode::Send(CANBuf* buf) {
    EXPECT_EQ(buf->cob_id, 0x780 + id_);
    bus_.Post(Bus::To::kClient, buf);
}
void ServerNode::Repost(CANBuf* buf) { bus_.Post(Bus::To::kServer, buf); }

// Starts a transfer on its own caller thread, with that thread's SDO timeout (0 = not set).
std::future<klp::SdoResult> StartTyped(Bus& bus, std::uint8_t node, std::uint16_t index, std::uint8_t sub,
                                       std::vector<std::uint8_t>& data, std::int32_t length, SdoService service,
                                       std::uint32_t timeout_ms = 0) {
    return std::async(std::launch::async, [&bus, node, index, sub, &data, length, service, timeout_ms] {
        if (timeout_ms != 0) klp::OS_SetSdoTimeoutMs(timeout_ms);
        return bus.client.Communicate(node, index, sub, data.data(), length, service);
    });
}

// The same, with the result as the tables state it: the bytes moved, or kFailed.
std::future<std::int32_t> Start(Bus& bus, std::uint8_t node, std::uint16_t index, std::uint8_t sub,
                                std::vector<std::uint8_t>& data, std::int32_t length, SdoService service,
                                std::uint32_t timeout_ms = 0) {
    return std::async(std::launch::async, [&bus, node, index, sub, &data, length, service, timeout_ms] {
        if (timeout_ms != 0) klp::OS_SetSdoTimeoutMs(timeout_ms);
        return Count(bus.client.Communicate(node, index, sub, data.data(), length, service));
    });
}

std::int32_t Transfer(Bus& bus, std::uint8_t node, std::uint16_t index, std::uint8_t sub,
                      std::vector<std::uint8_t>& data, std::int32_t length, SdoService service,
                      std::uint32_t timeout_ms = 0) {
    auto f = Start(bus, node, index, sub, data, length, service, timeout_ms);
    return bus.Serve(f);
}

constexpr std::uint8_t kNode = 7;
constexpr std::uint16_t kWritable = 0x2100;
constexpr std::uint16_t kUnlock = 0x1018;
constexpr std::uint16_t kMulti = 0x2000;

// The node's own dictionary plus a writable object of `size` bytes, the unlock object and a
// multi-entry object of non-zero values.
ObjectDictionary PeerDictionary(std::size_t size) {
    ObjectDictionary d = ObjectDictionary::LibraryNode();
    d.Add(kWritable, OdObject{{OdSubEntry::Pointer(od_type::kDomain, std::vector<std::uint8_t>(size, 0), true)}});
    d.Add(kUnlock, OdObject{{OdSubEntry::Pointer(od_type::kUnsigned32, {0, 0, 0, 0}, true)}});
    OdObject multi;
    for (int i = 0; i < 9; ++i) {
        multi.subs.push_back(
            OdSubEntry::Inline(od_type::kUnsigned32, Pattern(4, static_cast<std::uint8_t>(0x10 * i + 1))));
    }
    d.Add(kMulti, std::move(multi));
    return d;
}

std::vector<std::uint8_t>& Stored(ServerNode& s, std::uint16_t index = kWritable) {
    return s.dictionary().Find(index)->subs[0].value;
}

// ---------------------------------------------------------------------------------------------

TEST(SdoClientTest, ExpeditedWritesOfOneToFourBytes) {
    const std::uint8_t commands[] = {0x2F, 0x2B, 0x27, 0x23};
    for (std::int32_t length = 1; length <= 4; ++length) {
        SCOPED_TRACE(length);
        Bus bus;
        ServerNode& node = bus.AddServer(kNode, PeerDictionary(static_cast<std::size_t>(length)));
        auto data = Pattern(static_cast<std::size_t>(length), 0x50);
        EXPECT_EQ(Transfer(bus, kNode, kWritable, 0, data, length, SdoService::kDownload), length);
        const auto req = bus.Requests();
        ASSERT_EQ(req.size(), 1u);
        EXPECT_EQ(req[0].cob, 0x7A0 + kNode);
        EXPECT_EQ(req[0].command(), commands[length - 1]);
        EXPECT_EQ(req[0].data[1], 0x00);
        EXPECT_EQ(req[0].data[2], 0x21);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), req[0].data.begin() + 4));
        EXPECT_EQ(Stored(node), data);
        const auto progress = bus.client.Progress(kNode);
        EXPECT_TRUE(progress.download);
        EXPECT_EQ(progress.total, length);
        EXPECT_EQ(progress.remaining, 0);
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

TEST(SdoClientTest, BlockDownloadsArriveByteExact) {
    // One segment, exactly one full block, one more byte, many blocks.
    for (std::size_t size : {5u, 7u, 8u, 889u, 890u, 20000u}) {
        SCOPED_TRACE(size);
        Bus bus;
        ServerNode& node = bus.AddServer(kNode, PeerDictionary(size));
        auto data = Pattern(size);
        EXPECT_EQ(Transfer(bus, kNode, kWritable, 0, data, static_cast<std::int32_t>(size), SdoService::kDownload),
                  static_cast<std::int32_t>(size));
        const auto req = bus.Requests();
        EXPECT_EQ(req[0].command(), 0xC2);
        EXPECT_EQ(Le32(req[0].data, 4), size);
        // The initiation plus one frame per 7 bytes: nothing re-sent, no closing exchange.
        EXPECT_EQ(req.size(), 1 + (size + 6) / 7);
        EXPECT_EQ(Stored(node), data);
        EXPECT_LT(bus.quiet_ticks, 100);  // never waited for a confirmation
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

TEST(SdoClientTest, BlockDownloadRecoversLostSegments) {
    constexpr std::size_t kSize = 20000;  // 2858 segments: 22 full blocks of 127 and a short one of 64
    struct Case {
        const char* what;
        std::vector<std::size_t> lost;  // numbers of the segments lost, over the data (from 1)
        int resends;                    // blocks sent again after a 5 s wait
    };
    const Case cases[] = {
        {"in a full block", {200}, 1},
        {"in the short last block", {2800}, 0},
        {"first of the short last block", {2795}, 0},
        {"both", {200, 2800}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bus bus;
        ServerNode& node = bus.AddServer(kNode, PeerDictionary(kSize));
        std::vector<std::size_t> pending = c.lost;
        // A segment is identified by its bytes: its offset in the data is where they match.
        auto data = Pattern(kSize);
        bus.DropRequest([&](std::size_t, const Frame& f) {
            if (f.command() == 0xC2) return false;
            for (auto it = pending.begin(); it != pending.end(); ++it) {
                const std::size_t offset = (*it - 1) * 7;
                const std::size_t n = std::min<std::size_t>(7, kSize - offset);
                if (std::equal(data.begin() + static_cast<std::ptrdiff_t>(offset),
                               data.begin() + static_cast<std::ptrdiff_t>(offset + n), f.data.begin() + 1) &&
                    (f.command() & 0x7F) == ((*it - 1) % 127) + 1) {
                    pending.erase(it);
                    return true;
                }
            }
            return false;
        });
        const int before = bus.quiet_ticks;
        EXPECT_EQ(Transfer(bus, kNode, kWritable, 0, data, kSize, SdoService::kDownload),
                  static_cast<std::int32_t>(kSize));
        EXPECT_TRUE(pending.empty());
        EXPECT_EQ(Stored(node), data);
        // Each re-send waits the 100 ticks of a missing confirmation.
        EXPECT_EQ((bus.quiet_ticks - before) / 100, c.resends);
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

// A node that takes block downloads and confirms the first block with a chosen sequence number.
struct ConfirmingNode {
    std::uint8_t block_size = 127;
    std::uint8_t first_ack = 0;
    bool confirmed_once = false;
    std::vector<Frame> segments;  // every segment received

    void operator()(Bus& bus, const Frame& f) {
        if (f.command() == 0xC2) {
            bus.Reply(kNode, {0xA0, f.data[1], f.data[2], f.data[3], block_size, 0, 0, 0});
            return;
        }
        segments.push_back(f);
        if ((f.command() & 0x80) == 0 && (f.command() & 0x7F) != block_size) return;
        const std::uint8_t ack = confirmed_once ? static_cast<std::uint8_t>(f.command() & 0x7F) : first_ack;
        confirmed_once = true;
        bus.Reply(kNode, {0xA2, ack, block_size, 0, 0, 0, 0, 0});
    }
};

TEST(SdoClientTest, ConfirmationBelowTheLastSegmentResumesAfterIt) {
    struct Case {
        const char* what;
        std::size_t size;
        std::uint8_t block_size;
        std::uint8_t ack;
    };
    const Case cases[] = {
        {"short block, nothing arrived", 20, 127, 0}, {"short block, first arrived", 20, 127, 1},
        {"short block, two arrived", 20, 127, 2},     {"full block", 70, 4, 2},
        {"short last of several blocks", 40, 4, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bus bus;
        auto node = std::make_shared<ConfirmingNode>();
        node->block_size = c.block_size;
        node->first_ack = c.ack;
        bus.SetScript([node](Bus& b, const Frame& f) { (*node)(b, f); });
        auto data = Pattern(c.size);
        EXPECT_EQ(Transfer(bus, kNode, kWritable, 0, data, static_cast<std::int32_t>(c.size), SdoService::kDownload),
                  static_cast<std::int32_t>(c.size));
        // Rebuild what the node received: a segment numbered s of a block starting at byte b
        // carries bytes b + (s - 1) * 7; resumed segments overwrite in place.
        std::vector<std::uint8_t> got(c.size, 0);
        std::size_t block_start = 0;
        std::uint8_t prev = 0;
        for (const Frame& s : node->segments) {
            const std::uint8_t seq = s.command() & 0x7F;
            if (seq <= prev && seq == 1 && prev == c.block_size) block_start += c.block_size * 7u;
            prev = seq;
            const std::size_t offset = block_start + (seq - 1) * 7u;
            ASSERT_LT(offset, c.size);
            const std::size_t n = std::min<std::size_t>(7, c.size - offset);
            std::copy(s.data.begin() + 1, s.data.begin() + 1 + static_cast<std::ptrdiff_t>(n),
                      got.begin() + static_cast<std::ptrdiff_t>(offset));
        }
        EXPECT_EQ(got, data);
        // The resumed part starts right after the acknowledged segment.
        const auto& segs = node->segments;
        const std::size_t first_block = std::min<std::size_t>(c.block_size, (c.size + 6) / 7);
        ASSERT_GT(segs.size(), first_block);
        EXPECT_EQ(segs[first_block].command() & 0x7F, c.ack + 1);
        EXPECT_LT(bus.quiet_ticks, 100);  // never waited for a confirmation
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

// Refuses block transfers with a code and hands every other request to the node's server.
std::function<bool(Bus&, const Frame&)> RefuseBlocks(std::uint32_t code, int* refusals = nullptr) {
    return [code, refusals](Bus& bus, const Frame& f) {
        const int ccs = f.command() >> 5;
        if (ccs != 6 && ccs != 5) return true;
        if (refusals) ++*refusals;
        bus.Reply(kNode, {0x80, f.data[1], f.data[2], f.data[3], static_cast<std::uint8_t>(code),
                          static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code >> 16),
                          static_cast<std::uint8_t>(code >> 24)});
        return false;
    };
}

// Node kNode refuses block transfers and answers every plain upload request with `answer`
// (none: it stays silent).
void AnswerPlainUploads(Bus& bus, std::optional<std::array<std::uint8_t, 8>> answer) {
    bus.SetFilter(RefuseBlocks(0x05040000));
    bus.SetScript([answer](Bus& b, const Frame& f) {
        if (f.command() == 0x40 && answer) b.Reply(kNode, *answer);
    });
}

TEST(SdoClientTest, FallBackCodesSwitchTheNodeToPlainTransfers) {
    for (std::uint32_t code : {0x05020000u, 0x05040000u, 0x06000002u}) {
        SCOPED_TRACE(testing::Message() << std::hex << code);
        Bus bus;
        ServerNode& node = bus.AddServer(kNode, PeerDictionary(5));
        int refusals = 0;
        bus.SetFilter(RefuseBlocks(code, &refusals));
        auto data = Pattern(5);
        EXPECT_EQ(Transfer(bus, kNode, kWritable, 0, data, 5, SdoService::kDownload), 5);
        EXPECT_EQ(Stored(node), data);
        auto req = bus.Requests();
        ASSERT_GE(req.size(), 2u);
        EXPECT_EQ(req[0].command(), 0xC2);
        EXPECT_EQ(req[1].command(), 0x21);
        EXPECT_EQ(Le32(req[1].data, 4), 5u);
        EXPECT_FALSE(bus.client.BlockFlag(kNode));

        // Uploads now start plain.
        std::vector<std::uint8_t> name(20, 0);
        EXPECT_EQ(Transfer(bus, kNode, 0x100D, 0, name, 20, SdoService::kUpload), 9);
        EXPECT_EQ(std::string(name.begin(), name.begin() + 9), "2579-XXXX");
        req = bus.Requests();
        const std::size_t upload_start = req.size() - 3;  // initiate and two segment requests
        EXPECT_EQ(req[upload_start].command(), 0x40);

        // The unlock value brings block transfers back.
        std::vector<std::uint8_t> unlock = {0xC4, 0xA0, 0x17, 0x5E};
        EXPECT_EQ(Transfer(bus, kNode, kUnlock, 0, unlock, 4, SdoService::kDownload), 4);
        EXPECT_TRUE(bus.client.BlockFlag(kNode));
        const std::size_t mark = bus.RequestCount();
        EXPECT_EQ(Transfer(bus, kNode, kWritable, 0, data, 5, SdoService::kDownload), 5);
        EXPECT_EQ(bus.Requests()[mark].command(), 0xC2);
        EXPECT_EQ(refusals, 2);
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

TEST(SdoClientTest, OtherAbortOfABlockInitiationEndsAtItsTimeout) {
    Bus bus;
    bus.AddServer(kNode, PeerDictionary(5));
    bus.SetFilter(RefuseBlocks(0x06010000));
    auto data = Pattern(5);
    auto result = Start(bus, kNode, kWritable, 0, data, 5, SdoService::kDownload);
    ASSERT_TRUE(bus.WaitForRequests(1));
    bus.RunQueued();
    bus.Tick(19);
    EXPECT_EQ(result.wait_for(50ms), std::future_status::timeout);
    bus.Tick();  // the 20 ticks of a block initiation
    EXPECT_EQ(result.get(), kFailed);
    EXPECT_TRUE(bus.client.BlockFlag(kNode));
    EXPECT_EQ(bus.RequestCount(), 1u);
}

TEST(SdoClientTest, MissingConfirmationIsResentThenFails) {
    struct Case {
        std::uint32_t timeout_ms;
        int resends;
    };
    // 41 ticks allow 41 / 20 - 1 = 1 re-send, 100 ticks allow 4.
    for (const Case c : {Case{0, 1}, Case{4950, 4}}) {
        SCOPED_TRACE(c.timeout_ms);
        Bus bus;
        bus.SetScript([](Bus& b, const Frame& f) {
            if (f.command() == 0xC2) b.Reply(kNode, {0xA0, f.data[1], f.data[2], f.data[3], 127, 0, 0, 0});
        });
        auto data = Pattern(20);
        auto result = Start(bus, kNode, kWritable, 0, data, 20, SdoService::kDownload, c.timeout_ms);
        ASSERT_TRUE(bus.WaitForRequests(1));
        bus.RunQueued();
        const auto first = bus.Requests();
        ASSERT_EQ(first.size(), 4u);  // initiation, three segments
        for (int round = 0; round <= c.resends; ++round) {
            SCOPED_TRACE(round);
            const std::size_t sent = bus.RequestCount();
            bus.Tick(99);
            EXPECT_EQ(bus.RequestCount(), sent);
            EXPECT_EQ(result.wait_for(0ms), std::future_status::timeout);
            bus.Tick();
            if (round < c.resends) {
                const auto now = bus.Requests();
                ASSERT_EQ(now.size(), sent + 3);
                for (int i = 0; i < 3; ++i) EXPECT_EQ(now[sent + i].data, first[1 + i].data);
            }
        }
        EXPECT_EQ(result.get(), kFailed);
        EXPECT_EQ(bus.RequestCount(), 4u + 3u * c.resends);
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

// A node that takes the block download but confirms every block with sequence number 0, so
// that nothing of it ever counts as received. Each block sent again counts against the same limit
// as a missing confirmation: (reload div 20) - 1 re-sends in the whole transfer, then it fails.
TEST(SdoClientTest, BlocksRefusedAgainAndAgainEndTheTransfer) {
    struct Case {
        const char* what;
        std::uint32_t timeout_ms;
        bool first_confirmation_missing;  // one re-send after the 100 ticks first
        int resends;                      // in all
    };
    const Case cases[] = {
        {"default 41 ticks", 0, false, 1},
        {"100 ticks", 4950, false, 4},
        {"the image write's 60 s", 60000, false, 59},
        {"a missing confirmation counts too", 4950, true, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bus bus;
        // Bounded, so that a client that never gives up ends the test by time-outs instead of
        // refusing for ever.
        constexpr int kMostRefusals = 200;
        int blocks = 0;
        int refusals = 0;
        bool skip_next = c.first_confirmation_missing;
        bus.SetScript([&](Bus& b, const Frame& f) {
            if (f.command() == 0xC2) {
                b.Reply(kNode, {0xA0, f.data[1], f.data[2], f.data[3], 127, 0, 0, 0});
                return;
            }
            if ((f.command() & 0x80) == 0) return;  // only the block's last segment is answered
            ++blocks;
            if (skip_next) {
                skip_next = false;
                return;
            }
            if (refusals == kMostRefusals) return;
            ++refusals;
            b.Reply(kNode, {0xA2, 0, 127, 0, 0, 0, 0, 0});
        });
        auto data = Pattern(20);
        auto result = StartTyped(bus, kNode, kWritable, 0, data, 20, SdoService::kDownload, c.timeout_ms);
        const klp::SdoResult outcome = bus.Serve(result);
        EXPECT_EQ(outcome.outcome, klp::SdoOutcome::kFailed);
        EXPECT_EQ(blocks, 1 + c.resends);
        // Ended by the refusals, not by waiting for confirmations (beyond the one left out).
        EXPECT_LT(bus.quiet_ticks, c.first_confirmation_missing ? 200 : 100);
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

TEST(SdoClientTest, BlockUploadsAskForBlockSizesByCapacity) {
    struct Case {
        std::uint16_t index;
        std::uint8_t sub;
        std::int32_t capacity;
        std::uint8_t block_size;
        std::int32_t result;
    };
    const Case cases[] = {
        {kMulti, 255, 100, 10, 36},
        {0x100D, 0, 14, 2, 9},
        {0x100F, 255, 28, 4, 28},
        {kMulti, 255, 14, 2, kFailed},  // 36 announced, above the capacity
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.index << std::dec << " capacity " << c.capacity);
        Bus bus;
        ServerNode& node = bus.AddServer(kNode, PeerDictionary(1));
        std::vector<std::uint8_t> area(static_cast<std::size_t>(c.capacity) + 8, 0xCC);
        EXPECT_EQ(Transfer(bus, kNode, c.index, c.sub, area, c.capacity, SdoService::kUpload), c.result);
        const auto req = bus.Requests();
        EXPECT_EQ(req[0].command(), 0xA0);
        EXPECT_EQ(req[0].data[4], c.block_size);
        EXPECT_EQ(req[0].data[5], 7);
        for (std::size_t i = static_cast<std::size_t>(c.capacity); i < area.size(); ++i) ASSERT_EQ(area[i], 0xCC);
        if (c.result > 0) {
            std::vector<std::uint8_t> want;
            for (const auto& s : node.dictionary().Find(c.index)->subs) {
                if (c.sub == 255 || &s == &node.dictionary().Find(c.index)->subs[c.sub])
                    want.insert(want.end(), s.value.begin(), s.value.end());
            }
            EXPECT_EQ(std::vector<std::uint8_t>(area.begin(), area.begin() + c.result), want);
            EXPECT_EQ(bus.client.Progress(kNode).received, c.result);
        } else {
            EXPECT_EQ(req.back().command(), 0x80);
            EXPECT_EQ(Le32(req.back().data, 4), 0x06010000u);
        }
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

TEST(SdoClientTest, SegmentedUploadLargerThanTheCapacityReturnsTheCapacity) {
    for (std::int32_t capacity : {14, 15, 27, 28, 40}) {
        SCOPED_TRACE(capacity);
        Bus bus;
        bus.AddServer(kNode, PeerDictionary(1));
        bus.SetFilter(RefuseBlocks(0x05040000));
        std::vector<std::uint8_t> area(static_cast<std::size_t>(capacity) + 8, 0xCC);
        const std::int32_t expected = std::min(capacity, 28);
        EXPECT_EQ(Transfer(bus, kNode, 0x100F, 255, area, capacity, SdoService::kUpload), expected);
        for (std::int32_t i = 0; i < expected; ++i) ASSERT_EQ(area[static_cast<std::size_t>(i)], 0);
        for (std::size_t i = static_cast<std::size_t>(expected); i < area.size(); ++i) ASSERT_EQ(area[i], 0xCC);
        // The server sends 6, 6, 6, 6, 4 bytes: the area overflows before the last segment only
        // below 24 bytes, and then the server is told to stop.
        const auto req = bus.Requests();
        const bool aborted = req.back().command() == 0x80;
        EXPECT_EQ(aborted, capacity < 24);
        if (aborted) {
            EXPECT_EQ(Le32(req.back().data, 4), 0x04000000u);
        }
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

// A block-upload node that announces `size` bytes and then sends `segments` (the last with
// bit 7) of 7 bytes each, numbered from 1.
void ScriptBlockUpload(Bus& bus, std::uint32_t size, int segments) {
    bus.SetScript([size, segments](Bus& b, const Frame& f) {
        if (f.command() == 0xA0) {
            b.Reply(kNode, {0xC2, f.data[1], f.data[2], f.data[3], static_cast<std::uint8_t>(size), 0, 0, 0});
        } else if (f.command() == 0xA3) {
            for (int s = 1; s <= segments; ++s) {
                b.Reply(kNode, {static_cast<std::uint8_t>(s | (s == segments ? 0x80 : 0)), 0x41, 0x42, 0x43, 0x44, 0x45,
                                0x46, 0x47});
            }
        }
    });
}

// A standard server closes each block upload with an end frame (scs 6, end subcommand), which
// the client does not wait for; it arrives after the next block-upload request and must not be
// taken for that request's answer.
TEST(SdoClientTest, LateEndOfBlockUploadIsIgnored) {
    Bus bus;
    int initiations = 0;
    bus.SetScript([&initiations](Bus& b, const Frame& f) {
        if (f.command() == 0xA0) {
            if (++initiations == 2) b.Reply(kNode, {0xD5, 0x12, 0x34, 0, 0, 0, 0, 0});  // end of the first
            b.Reply(kNode, {0xC2, f.data[1], f.data[2], f.data[3], 10, 0, 0, 0});
        } else if (f.command() == 0xA3) {
            b.Reply(kNode, {0x01, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47});
            b.Reply(kNode, {0x82, 0x48, 0x49, 0x4A, 0, 0, 0, 0});
        }
    });
    for (int transfer = 1; transfer <= 2; ++transfer) {
        SCOPED_TRACE(transfer);
        std::vector<std::uint8_t> area(14, 0);
        EXPECT_EQ(Transfer(bus, kNode, 0x1000, 0, area, 14, SdoService::kUpload), 10);
        EXPECT_EQ(area[9], 0x4A);
    }
    for (const Frame& f : bus.Requests()) EXPECT_NE(f.command(), 0x80) << "no abort";
    EXPECT_EQ(bus.Outstanding(), 0);
}

TEST(SdoClientTest, BlockUploadNeverStoresPastTheCallersArea) {
    struct Case {
        const char* what;
        std::uint32_t size;
        int segments;
        std::int32_t result;
    };
    const Case cases[] = {
        {"as announced", 10, 2, 10},
        {"more full segments than announced", 10, 5, 10},
        {"last segment with more than 7 outstanding", 20, 2, kFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bus bus;
        ScriptBlockUpload(bus, c.size, c.segments);
        std::vector<std::uint8_t> area(48, 0xCC);
        // Room for 40: blocks of six segments, so the node's extra segments fall inside one block.
        EXPECT_EQ(Transfer(bus, kNode, 0x2000, 0, area, 40, SdoService::kUpload), c.result);
        for (std::size_t i = c.size; i < area.size(); ++i) ASSERT_EQ(area[i], 0xCC) << i;
        if (c.result > 0) {
            const std::vector<std::uint8_t> want = {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x41, 0x42, 0x43};
            EXPECT_EQ(std::vector<std::uint8_t>(area.begin(), area.begin() + 10), want);
        }
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

TEST(SdoClientTest, RefusedAtOnceWithoutBusTraffic) {
    struct Case {
        const char* what;
        std::uint8_t node;
        std::int32_t length;
        SdoService service;
        bool ready;
    };
    const Case cases[] = {
        {"negative capacity", kNode, -1, SdoService::kUpload, true},
        {"negative length", kNode, -5, SdoService::kDownload, true},
        {"empty download", kNode, 0, SdoService::kDownload, true},
        {"node 0", 0, 4, SdoService::kUpload, true},
        {"node 32", 32, 4, SdoService::kUpload, true},
        {"own node not ready", kNode, 4, SdoService::kUpload, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bus bus;
        bus.ready = c.ready;
        std::vector<std::uint8_t> area(8, 0);
        // On a caller thread, so that a transfer started by mistake ends at its time-out.
        EXPECT_EQ(Transfer(bus, c.node, 0x1000, 0, area, c.length, c.service), kFailed);
        EXPECT_EQ(bus.RequestCount(), 0u);
    }
}

TEST(SdoClientTest, ResponsesForAnIdleNodeChangeNothing) {
    Bus bus;
    bus.AddServer(kNode, PeerDictionary(4));
    std::vector<std::uint8_t> area(4, 0);
    EXPECT_EQ(Transfer(bus, kNode, 0x1006, 0, area, 4, SdoService::kUpload), 4);
    const std::size_t mark = bus.RequestCount();

    // A server abort whose multiplexer matches the cleared record, and a stray response: the idle
    // record sends nothing for frames it did not ask for.
    bus.Reply(kNode, {0x80, 0, 0, 0, 0, 0, 0x04, 0x05});
    bus.Reply(kNode, {0x60, 0, 0, 0, 0, 0, 0, 0});
    bus.RunQueued();
    EXPECT_EQ(bus.Requests().size(), mark);

    // The next transfer waits for its own answer instead of waking at once.
    std::vector<std::uint8_t> id(4, 0);
    EXPECT_EQ(Transfer(bus, kNode, 0x1000, 0, id, 4, SdoService::kUpload), 2);
    EXPECT_EQ(id[0], 0x0F);
    EXPECT_EQ(bus.Outstanding(), 0);
}

TEST(SdoClientTest, UploadAnswersForAnotherObjectFail) {
    struct Case {
        const char* what;
        std::array<std::uint8_t, 8> answer;
        std::int32_t result;
    };
    const Case cases[] = {
        {"expedited, matching", {0x4B, 0x00, 0x10, 0x00, 0x0F, 0x00, 0, 0}, 2},
        {"expedited, another object", {0x4B, 0x01, 0x10, 0x00, 0x0F, 0x00, 0, 0}, kFailed},
        {"abort, matching", {0x80, 0x00, 0x10, 0x00, 0x02, 0x00, 0x02, 0x06}, kFailed},
        {"download answer", {0x60, 0x00, 0x10, 0x00, 0, 0, 0, 0}, kFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bus bus;
        AnswerPlainUploads(bus, c.answer);
        std::vector<std::uint8_t> area(8, 0);
        EXPECT_EQ(Transfer(bus, kNode, 0x1000, 0, area, 8, SdoService::kUpload), c.result);
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

// Every transfer state against answers it cannot take, and one it can: how the transfer ends and
// the last frame the client sent. Node kNode answers the client's requests in order, each with
// the frames of its row (index 0x2000, sub-index 0); the first request of a plain transfer is
// the block initiation it refuses.
TEST(SdoClientTest, EachStateEndsOnAnswersItCannotTake) {
    using klp::SdoOutcome;
    using Answers = std::vector<std::vector<std::array<std::uint8_t, 8>>>;  // per request
    const std::array<std::uint8_t, 8> refuse_blocks = {0x80, 0x00, 0x20, 0x00, 0x00, 0x00, 0x04, 0x05};
    const std::array<std::uint8_t, 8> plain_initiated = {0x60, 0x00, 0x20, 0x00, 0, 0, 0, 0};
    const std::array<std::uint8_t, 8> ten_bytes_follow = {0x41, 0x00, 0x20, 0x00, 10, 0, 0, 0};
    const std::array<std::uint8_t, 8> twenty_bytes_by_blocks = {0xC2, 0x00, 0x20, 0x00, 20, 0, 0, 0};
    const std::array<std::uint8_t, 8> server_abort = {0x80, 0x00, 0x20, 0x00, 0x00, 0x00, 0x02, 0x06};
    const std::array<std::uint8_t, 8> abort_of_another_object = {0x80, 0x01, 0x20, 0x00, 0x00, 0x00, 0x02, 0x06};
    struct Case {
        const char* what;
        SdoService service;  // a download of 5 bytes, an upload into room for 20
        Answers answers;
        SdoOutcome outcome;
        std::int32_t bytes;
        std::uint8_t last_request;
        std::uint32_t abort;  // the result's code
    };
    const Case cases[] = {
        // Download initiated (the plain form, 0x21 with the size).
        {"download initiated: a segment answer",
         SdoService::kDownload,
         {{refuse_blocks}, {{0x20, 0x00, 0x20, 0x00, 0, 0, 0, 0}}},
         SdoOutcome::kAborted,
         0,
         0x80,
         0x05020001},
        {"download initiated: the answer for another object",
         SdoService::kDownload,
         {{refuse_blocks}, {{0x60, 0x01, 0x20, 0x00, 0, 0, 0, 0}}},
         SdoOutcome::kFailed,
         0,
         0x21,
         0},
        // Segmented download: the one segment (0x05: 5 bytes, the last) is out.
        {"segmented download: done",
         SdoService::kDownload,
         {{refuse_blocks}, {plain_initiated}, {{0x20, 0, 0, 0, 0, 0, 0, 0}}},
         SdoOutcome::kDone,
         5,
         0x05,
         0},
        {"segmented download: toggle out of turn",
         SdoService::kDownload,
         {{refuse_blocks}, {plain_initiated}, {{0x30, 0, 0, 0, 0, 0, 0, 0}}},
         SdoOutcome::kFailed,
         0,
         0x05,
         0},
        {"segmented download: an upload segment",
         SdoService::kDownload,
         {{refuse_blocks}, {plain_initiated}, {{0x00, 0, 0, 0, 0, 0, 0, 0}}},
         SdoOutcome::kFailed,
         0,
         0x05,
         0},
        {"segmented download: the server's abort",
         SdoService::kDownload,
         {{refuse_blocks}, {plain_initiated}, {server_abort}},
         SdoOutcome::kAborted,
         0,
         0x05,
         0x06020000},
        {"segmented download: an abort about another object",
         SdoService::kDownload,
         {{refuse_blocks}, {plain_initiated}, {abort_of_another_object}},
         SdoOutcome::kTimedOut,
         0,
         0x05,
         0},
        // Block download.
        {"block download: a plain answer to the initiation",
         SdoService::kDownload,
         {{plain_initiated}},
         SdoOutcome::kFailed,
         0,
         0xC2,
         0},
        {"block download: done",
         SdoService::kDownload,
         {{{0xA0, 0x00, 0x20, 0x00, 127, 0, 0, 0}}, {{0xA2, 1, 127, 0, 0, 0, 0, 0}}},
         SdoOutcome::kDone,
         5,
         0x81,
         0},
        {"block download: the server's abort",
         SdoService::kDownload,
         {{{0xA0, 0x00, 0x20, 0x00, 127, 0, 0, 0}}, {server_abort}},
         SdoOutcome::kAborted,
         0,
         0x81,
         0x06020000},
        // Segmented upload of 10 bytes: 7, then 3 with the toggle set.
        {"segmented upload: done",
         SdoService::kUpload,
         {{refuse_blocks}, {ten_bytes_follow}, {{0x00, 1, 2, 3, 4, 5, 6, 7}}, {{0x19, 8, 9, 10, 0, 0, 0, 0}}},
         SdoOutcome::kDone,
         10,
         0x70,
         0},
        {"segmented upload: toggle out of turn",
         SdoService::kUpload,
         {{refuse_blocks}, {ten_bytes_follow}, {{0x10, 1, 2, 3, 4, 5, 6, 7}}},
         SdoOutcome::kFailed,
         0,
         0x60,
         0},
        {"segmented upload: a download segment answer",
         SdoService::kUpload,
         {{refuse_blocks}, {ten_bytes_follow}, {{0x20, 0, 0, 0, 0, 0, 0, 0}}},
         SdoOutcome::kFailed,
         0,
         0x60,
         0},
        {"segmented upload: the server's abort",
         SdoService::kUpload,
         {{refuse_blocks}, {ten_bytes_follow}, {server_abort}},
         SdoOutcome::kAborted,
         0,
         0x60,
         0x06020000},
        // Block upload: 20 bytes in a block of three segments.
        {"block upload refused for good",
         SdoService::kUpload,
         {{{0x80, 0x00, 0x20, 0x00, 0x03, 0x00, 0x00, 0x06}}},
         SdoOutcome::kAborted,
         0,
         0xA0,
         0x06000003},
        {"block upload: more than the room",
         SdoService::kUpload,
         {{{0xC2, 0x00, 0x20, 0x00, 21, 0, 0, 0}}},
         SdoOutcome::kAborted,
         0,
         0x80,
         0x06010000},
        {"block upload: done",
         SdoService::kUpload,
         {{twenty_bytes_by_blocks},
          {{0x01, 1, 2, 3, 4, 5, 6, 7}, {0x02, 8, 9, 10, 11, 12, 13, 14}, {0x83, 15, 16, 17, 18, 19, 20, 0}}},
         SdoOutcome::kDone,
         20,
         0xA2,
         0},
        {"block upload: a segment out of sequence",
         SdoService::kUpload,
         {{twenty_bytes_by_blocks}, {{0x02, 1, 2, 3, 4, 5, 6, 7}}},
         SdoOutcome::kAborted,
         0,
         0x80,
         0x05010002},
        {"block upload: the last segment out of sequence",
         SdoService::kUpload,
         {{twenty_bytes_by_blocks}, {{0x01, 1, 2, 3, 4, 5, 6, 7}, {0x83, 8, 9, 10, 11, 12, 13, 14}}},
         SdoOutcome::kAborted,
         0,
         0x80,
         0x05010001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bus bus;
        std::size_t requests = 0;
        bus.SetScript([&c, &requests](Bus& b, const Frame&) {
            if (requests < c.answers.size()) {
                for (const auto& frame : c.answers[requests]) b.Reply(kNode, frame);
            }
            ++requests;
        });
        std::vector<std::uint8_t> area = Pattern(20);
        const std::int32_t length = c.service == SdoService::kDownload ? 5 : 20;
        auto future = StartTyped(bus, kNode, 0x2000, 0, area, length, c.service);
        const klp::SdoResult result = bus.Serve(future);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.bytes, c.bytes);
        EXPECT_EQ(sdo::Value(result.abort), c.abort);
        const auto sent = bus.Requests();
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back().command(), c.last_request);
        if (c.last_request == 0x80) {
            EXPECT_EQ(Le32(sent.back().data, 4), c.abort);
        }
        if (c.outcome == SdoOutcome::kDone && c.service == SdoService::kUpload) {
            for (std::int32_t i = 0; i < c.bytes; ++i) EXPECT_EQ(area[static_cast<std::size_t>(i)], i + 1);
        }
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

// An expedited answer without the size (0x42) carries as many bytes as the object holds, up to
// four: the caller gets the four, or as many as its room takes.
TEST(SdoClientTest, ExpeditedUploadWithoutSizeFillsTheRoom) {
    for (std::int32_t room : {4, 2}) {
        SCOPED_TRACE(room);
        Bus bus;
        AnswerPlainUploads(bus, std::array<std::uint8_t, 8>{0x42, 0x00, 0x10, 0x00, 0x11, 0x22, 0x33, 0x44});
        std::vector<std::uint8_t> area(6, 0xCC);
        EXPECT_EQ(Transfer(bus, kNode, 0x1000, 0, area, room, SdoService::kUpload), room);
        const std::vector<std::uint8_t> want = room == 4
                                                   ? std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0x44, 0xCC, 0xCC}
                                                   : std::vector<std::uint8_t>{0x11, 0x22, 0xCC, 0xCC, 0xCC, 0xCC};
        EXPECT_EQ(area, want);
        // Answered by the frame, not at the time-out: the default 2 s are 41 ticks. A quiet
        // millisecond counts as a tick, so a slow machine may see a few before the answer.
        EXPECT_LT(bus.quiet_ticks, 41);
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

// The caller learns how a transfer ended and, when either side aborted it, with which code.
TEST(SdoClientTest, ResultsCarryTheOutcomeAndTheAbortCode) {
    using klp::SdoOutcome;
    using sdo::AbortCode;
    struct Case {
        const char* what;
        std::uint8_t node;
        std::optional<std::array<std::uint8_t, 8>> answer;  // none: the node stays silent
        SdoOutcome outcome;
        std::int32_t bytes;
        AbortCode abort;
    };
    const Case cases[] = {
        {"done", kNode, std::array<std::uint8_t, 8>{0x4B, 0x00, 0x10, 0x00, 0x0F, 0x00, 0, 0}, SdoOutcome::kDone, 2,
         AbortCode::kNone},
        {"server abort", kNode, std::array<std::uint8_t, 8>{0x80, 0x00, 0x10, 0x00, 0x00, 0x00, 0x02, 0x06},
         SdoOutcome::kAborted, 0, static_cast<AbortCode>(0x06020000)},
        {"client abort", kNode, std::array<std::uint8_t, 8>{0x60, 0x00, 0x10, 0x00, 0, 0, 0, 0}, SdoOutcome::kAborted,
         0, AbortCode::kUploadUnexpected},
        {"silence", kNode, std::nullopt, SdoOutcome::kTimedOut, 0, AbortCode::kNone},
        {"no such node", 0, std::nullopt, SdoOutcome::kRefused, 0, AbortCode::kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bus bus;
        AnswerPlainUploads(bus, c.answer);
        std::vector<std::uint8_t> area(8, 0);
        auto future = StartTyped(bus, c.node, 0x1000, 0, area, 8, SdoService::kUpload);
        const klp::SdoResult result = bus.Serve(future);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.bytes, c.bytes);
        EXPECT_EQ(result.abort, c.abort);
        EXPECT_EQ(bus.Outstanding(), 0);
    }
}

// The stack closes the client while a caller waits for its transfer: the caller fails at once,
// and the semaphores it waits on outlive the close until it has left. A caller that the close does
// not wake is left behind with the bus it uses, so that the test fails instead of hanging.
TEST(SdoClientTest, CloseWhileACallerWaitsFailsItCleanly) {
    const auto bus = std::make_shared<Bus>();
    const auto data = std::make_shared<std::vector<std::uint8_t>>(Pattern(5000));
    auto transfer = [bus, data] {
        return bus->client.Communicate(kNode, kWritable, 0, data->data(), 5000, SdoService::kDownload);
    };
    test_support::CallOnThread<klp::SdoResult> waiting(transfer);
    ASSERT_TRUE(bus->WaitForRequests(1));
    test_support::CallOnThread<klp::SdoResult> queued(transfer);
    bus->client.Close();
    ASSERT_TRUE(waiting.Ended()) << "the close left the caller waiting";
    ASSERT_TRUE(queued.Ended()) << "the close left the second caller waiting";
    // The caller whose request went out was stopped; the other one either waited for the node and
    // was stopped too, or came after the close and was refused.
    const klp::SdoOutcome outcomes[] = {waiting.Get().outcome, queued.Get().outcome};
    EXPECT_EQ(outcomes[0], klp::SdoOutcome::kStopped);
    EXPECT_TRUE(outcomes[1] == klp::SdoOutcome::kStopped || outcomes[1] == klp::SdoOutcome::kRefused);
    EXPECT_EQ(bus->RequestCount(), 1u);  // the other caller sent nothing
    bus->client.Start();                 // as the next stack start does
}

// A fatal error on another thread (the receive thread finding the pool empty) breaks the stack: a
// caller waiting for its block download leaves with the error, while the dispatcher goes on
// serving the frames still queued. The caller's area goes with the caller, so nothing of it may
// be read after that: the node's confirmation of the block sends no next block, and no time-out
// sends the block again.
TEST(SdoClientTest, ACallerTakenOutByAFatalErrorLeavesNothingOfItsAreaInUse) {
    klp_test::SinkRecorder sinks;
    Bus bus;
    bus.SetScript([](Bus& b, const Frame& f) {
        if (f.command() == 0xC2) b.Reply(kNode, {0xA0, f.data[1], f.data[2], f.data[3], 127, 0, 0, 0});
    });
    auto data = Pattern(2000);  // three blocks
    auto result = StartTyped(bus, kNode, kWritable, 0, data, 2000, SdoService::kDownload);
    ASSERT_TRUE(bus.WaitForRequests(1));
    bus.RunQueued();
    ASSERT_EQ(bus.RequestCount(), 1u + 127u) << "the first block went out";

    EXPECT_THROW(klp::OS_CreateSemaphor(1, 2), klp::FatalError);
    ASSERT_TRUE(klp::OS_Broken());
    EXPECT_THROW(result.get(), klp::FatalError);
    std::vector<std::uint8_t>().swap(data);  // the caller's area is gone

    bus.Reply(kNode, {0xA2, 127, 127, 0, 0, 0, 0, 0});
    bus.RunQueued();
    bus.Tick(200);
    EXPECT_EQ(bus.RequestCount(), 1u + 127u);
    EXPECT_EQ(bus.Outstanding(), 0);
    klp::close_KLP();  // as the stack's close does: no longer broken
    EXPECT_FALSE(klp::OS_Broken());
}

TEST(SdoClientTest, TwoNodesAtOnce) {
    constexpr std::size_t kSize = 30000;
    Bus bus;
    ServerNode& a = bus.AddServer(3, PeerDictionary(kSize));
    ServerNode& b = bus.AddServer(4, PeerDictionary(kSize));
    auto data_a = Pattern(kSize, 3);
    auto data_b = Pattern(kSize, 4);
    std::vector<std::uint8_t> name(20, 0);
    auto fa = Start(bus, 3, kWritable, 0, data_a, kSize, SdoService::kDownload);
    auto fb = Start(bus, 4, kWritable, 0, data_b, kSize, SdoService::kDownload);
    auto fc = Start(bus, 3, 0x100D, 0, name, 20, SdoService::kUpload);  // waits for node 3
    EXPECT_EQ(bus.Serve(fa), static_cast<std::int32_t>(kSize));
    EXPECT_EQ(bus.Serve(fb), static_cast<std::int32_t>(kSize));
    EXPECT_EQ(bus.Serve(fc), 9);
    EXPECT_EQ(Stored(a), data_a);
    EXPECT_EQ(Stored(b), data_b);
    EXPECT_EQ(std::string(name.begin(), name.begin() + 9), "2579-XXXX");
    EXPECT_LT(bus.quiet_ticks, 100);  // never waited for a confirmation
    EXPECT_EQ(bus.Outstanding(), 0);
}

TEST(SdoClientTest, EveryTickRearmsTheTimer) {
    Bus bus;
    const int arms = bus.timer_arms;
    bus.Tick(3);
    EXPECT_EQ(bus.timer_arms, arms + 3);
    EXPECT_EQ(bus.Outstanding(), 0);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The library's client through the running stack: over the loop-back to the node's own server,
// and to a remote node played by a peer on the virtual bus.

namespace {

class SdoStackTest : public klp_test::StackTest {
protected:
    static constexpr std::uint8_t kOwnId = 9;
    static constexpr std::uint8_t kRemote = 3;

    void TearDown() override {
        StopPeer();
        StackTest::TearDown();
    }
    void StopPeer() {
        stop_ = true;
        if (peer_thread_.joinable()) peer_thread_.join();
    }

    // Joins a private bus, starts the stack with every protocol module and plays the bus master
    // (assigns the id on the first announcement) and node 3, which refuses block transfers and
    // answers expedited uploads of 0x1234 with {0x34, 0x12}.
    void OpenOnBus() {
        const std::string name = "klp-sdo-test-" + std::to_string(getpid());
        setenv("CANAPI_CHANNEL", ("vbus:" + name).c_str(), 1);
        auto joined = canapi::VirtualBus::Join(name);
        ASSERT_TRUE(joined.bus) << joined.error;
        peer_ = std::move(joined.bus);
        peer_thread_ = std::thread([this] { Peer(); });
        klp::InstallProtocolHooks();
        ASSERT_EQ(klp::init_KLP(2000, 50), klp::StartResult::kStarted);
        ASSERT_TRUE(klp_test::WaitUntil([] { return klp::NM_Ready(); }));
        klp::CAN_SetSdoChannelOpen(true);
    }

    void Peer() {
        bool assigned = false;
        while (!stop_) {
            canapi::Frame f;
            if (peer_->Receive(f, 20ms) != canapi::ReceiveResult::Frame) continue;
            canapi::Frame out;
            out.dlc = 8;
            if (f.id == 0x7EF && !assigned) {
                out.id = 0x7EA;
                out.data = {1, kOwnId, 0x0F, 0x00, 0x0A, 0, 0, 0};
                assigned = true;
            } else if (f.id == 0x7A0u + kRemote) {
                out.id = 0x780u + kRemote;
                const int ccs = f.data[0] >> 5;
                if (ccs == 5 || ccs == 6) {
                    out.data = {0x80, f.data[1], f.data[2], f.data[3], 0x00, 0x00, 0x04, 0x05};
                } else if (f.data[0] == 0x40 && f.data[1] == 0x34 && f.data[2] == 0x12) {
                    out.data = {0x4B, 0x34, 0x12, f.data[3], 0x34, 0x12, 0, 0};
                } else {
                    continue;
                }
            } else {
                continue;
            }
            peer_->Send(out);
        }
    }

    std::unique_ptr<canapi::VirtualBus> peer_;
    std::thread peer_thread_;
    std::atomic<bool> stop_{false};
};

// CLOSEKLP on one thread while another writes 1 MiB to node 3 (which takes the segmented form and
// then stays silent): the writer fails, the close completes and leaves nothing running.
TEST_F(SdoStackTest, CloseDuringAWriteFailsTheWriterAndCompletes) {
    OpenOnBus();
    if (HasFatalFailure()) return;
    constexpr std::int32_t kSize = 1 << 20;
    std::vector<std::uint8_t> storage(sizeof(TSDORECORD) + kSize, 0x5A);
    auto* record = reinterpret_cast<TSDORECORD*>(storage.data());
    record->length = kSize;
    record->index = 0x2100;
    record->subindex = 0;
    record->node = kRemote;
    record->attempts = 3;
    auto writer = std::async(std::launch::async, [record] { return WRITEKLP(record); });
    ASSERT_TRUE(klp_test::WaitUntil([] {
        const klp::SdoProgress p = klp::SDOC_Progress(kRemote);
        return p.download && p.total == kSize;
    }));
    EXPECT_NO_THROW(CLOSEKLP());
    ASSERT_EQ(writer.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(writer.get());  // failed
    EXPECT_TRUE(sinks_.Boxes().empty());
    StopPeer();
    ExpectNothingLeft();
}

TEST_F(SdoStackTest, ClientReadsTheOwnNodeAndARemoteNode) {
    OpenOnBus();
    if (HasFatalFailure()) return;
    // No transfer here is meant to time out: a long timeout keeps a loaded machine from failing one.
    auto on_caller = [](auto f) {
        return Count(std::async(std::launch::async, [f] {
                         klp::OS_SetSdoTimeoutMs(30000);
                         return f();
                     }).get());
    };

    std::vector<std::uint8_t> zeros(40, 0xCC);
    EXPECT_EQ(
        on_caller([&] { return klp::SDOC_Communicate(kOwnId, 0x100F, 255, zeros.data(), 40, SdoService::kUpload); }),
        28);
    EXPECT_TRUE(std::all_of(zeros.begin(), zeros.begin() + 28, [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(zeros[28], 0xCC);

    std::vector<std::uint8_t> name(9, 0);
    EXPECT_EQ(on_caller([&] { return klp::SDOC_Communicate(kOwnId, 0x100D, 0, name.data(), 9, SdoService::kUpload); }),
              9);
    EXPECT_EQ(std::string(name.begin(), name.end()), "2579-XXXX");

    // The own dictionary is read-only.
    std::vector<std::uint8_t> one = {1};
    EXPECT_EQ(on_caller([&] { return klp::SDOC_Communicate(kOwnId, 0x1000, 0, one.data(), 1, SdoService::kDownload); }),
              kFailed);

    // Node 3 refuses the block upload; the plain upload follows at once.
    std::vector<std::uint8_t> word(8, 0);
    EXPECT_EQ(on_caller([&] { return klp::SDOC_Communicate(kRemote, 0x1234, 0, word.data(), 8, SdoService::kUpload); }),
              2);
    EXPECT_EQ(word[0], 0x34);
    EXPECT_EQ(word[1], 0x12);
    const klp::SdoProgress progress = klp::SDOC_Progress(kRemote);
    EXPECT_FALSE(progress.download);
    EXPECT_EQ(progress.received, 2);
    EXPECT_EQ(progress.total, 2);

    StopPeer();
    klp::close_KLP();
    ExpectNothingLeft();
}

}  // namespace
