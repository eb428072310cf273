// The library node's SDO server, driven frame by frame through a port that records its answers.
#include "library/sdo_server.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "library/os_layer.h"
#include "tests/support/protocol_bytes.h"

namespace {

using klp::CANBuf;
using klp::ObjectDictionary;
using klp::OdObject;
using klp::OdSubEntry;
using klp::SdoServer;
namespace od_type = klp::od_type;

constexpr std::uint8_t kOwn = 5;

struct Frame {
    std::uint16_t cob = 0;
    std::uint8_t dlc = 0;
    std::array<std::uint8_t, 8> data{};
};

using test_bytes::Le32;

// A port with its own buffers: every frame the server answers is recorded, every buffer taken
// must come back.
class ServerRig : public klp::SdoServerPort {
public:
    explicit ServerRig(ObjectDictionary dictionary) : dictionary_(std::move(dictionary)), server_(dictionary_, *this) {
        server_.Start();
    }
    ~ServerRig() override {
        for (CANBuf* b : reposted_) ReleaseBuffer(b);
    }

    bool OwnNodeReady() override { return ready; }
    std::uint8_t OwnNodeId() override { return kOwn; }
    CANBuf* TakeBuffer() override {
        ++outstanding;
        storage_.emplace_back();
        CANBuf* b = &storage_.back();
        std::fill(std::begin(b->data), std::end(b->data), 0xEE);  // pooled buffers keep old bytes
        return b;
    }
    void ReleaseBuffer(CANBuf*) override { --outstanding; }
    void Send(CANBuf* buf) override {
        Frame f;
        f.cob = buf->cob_id;
        f.dlc = buf->dlc;
        std::copy(std::begin(buf->data), std::end(buf->data), f.data.begin());
        sent.push_back(f);
        ReleaseBuffer(buf);
    }
    void Repost(CANBuf* buf) override { reposted_.push_back(buf); }
    void ArmTimer() override { ++timer_arms; }

    // Feeds one request and every re-post it causes; returns what the server sent meanwhile.
    std::vector<Frame> Request(std::uint16_t cob, std::initializer_list<std::uint8_t> bytes) {
        std::array<std::uint8_t, 8> d{};
        std::copy(bytes.begin(), bytes.end(), d.begin());
        return Request(cob, d);
    }
    std::vector<Frame> Request(std::uint16_t cob, const std::array<std::uint8_t, 8>& d) {
        const std::size_t before = sent.size();
        CANBuf* b = TakeBuffer();
        b->cob_id = cob;
        b->dlc = 8;
        std::copy(d.begin(), d.end(), b->data);
        server_.Handle(klp::msg::kFrame, b);
        while (!reposted_.empty()) {
            CANBuf* r = reposted_.front();
            reposted_.pop_front();
            server_.Handle(klp::msg::kFrame, r);
        }
        return {sent.begin() + static_cast<std::ptrdiff_t>(before), sent.end()};
    }
    void Tick() { server_.Handle(klp::msg::kTick, TakeBuffer()); }

    SdoServer& server() { return server_; }
    ObjectDictionary& dictionary() { return dictionary_; }

    bool ready = true;
    int outstanding = 0;
    int timer_arms = 0;
    std::vector<Frame> sent;

private:
    ObjectDictionary dictionary_;
    SdoServer server_;
    std::deque<CANBuf> storage_;
    std::deque<CANBuf*> reposted_;
};

std::array<std::uint8_t, 8> Mux(std::uint8_t command, std::uint16_t index, std::uint8_t sub,
                                std::array<std::uint8_t, 4> tail = {}) {
    return {command,
            static_cast<std::uint8_t>(index),
            static_cast<std::uint8_t>(index >> 8),
            sub,
            tail[0],
            tail[1],
            tail[2],
            tail[3]};
}

constexpr std::uint16_t kSdo5 = 0x7A0 + kOwn;

// Reads an object by block upload (client side played by the test) and returns the bytes.
std::vector<std::uint8_t> BlockUpload(ServerRig& rig, std::uint16_t index, std::uint8_t sub, std::uint8_t block_size,
                                      std::uint32_t* announced = nullptr) {
    auto init = rig.Request(kSdo5, Mux(0xA0, index, sub, {block_size, 0, 0, 0}));
    EXPECT_EQ(init.size(), 1u);
    if (init.size() != 1 || init[0].data[0] != 0xC2) return {};
    const std::uint32_t size = Le32(init[0].data, 4);
    if (announced) *announced = size;
    std::vector<std::uint8_t> got;
    auto segs = rig.Request(kSdo5, {0xA3});
    for (int guard = 0; guard < 1000 && !segs.empty(); ++guard) {
        std::uint8_t last_seq = 0;
        bool last = false;
        for (const Frame& f : segs) {
            EXPECT_EQ(f.cob, 0x780 + kOwn);
            last_seq = f.data[0] & 0x7F;
            last = (f.data[0] & 0x80) != 0;
            const std::size_t n = last ? size - got.size() : 7;
            EXPECT_LE(n, 7u);
            got.insert(got.end(), f.data.begin() + 1,
                       f.data.begin() + 1 + static_cast<std::ptrdiff_t>(std::min<std::size_t>(n, 7)));
        }
        segs = rig.Request(kSdo5, {0xA2, last_seq, block_size});
        if (last) break;
    }
    EXPECT_TRUE(segs.empty());
    EXPECT_EQ(rig.server().ChannelState(4), 0);
    return got;
}

// ---------------------------------------------------------------------------------------------

TEST(SdoServerTest, AnswersUploadsOfTheNodeDictionaryOnEveryChannel) {
    struct Case {
        std::uint16_t request_base;
        std::uint16_t index;
        std::uint8_t sub;
        std::uint16_t response_base;
        std::array<std::uint8_t, 8> answer;
    };
    const Case cases[] = {
        {0x700, 0x1000, 0, 0x680, {0x4B, 0x00, 0x10, 0, 0x0F, 0x00, 0, 0}},
        {0x720, 0x1000, 0, 0x6A0, {0x4B, 0x00, 0x10, 0, 0x0F, 0x00, 0, 0}},
        {0x740, 0x1006, 0, 0x6C0, {0x43, 0x06, 0x10, 0, 0x0A, 0x00, 0x00, 0x00}},
        {0x760, 0x1009, 0, 0x6E0, {0x4B, 0x09, 0x10, 0, 0x01, 0x00, 0, 0}},
        {0x7A0, 0x1004, 0, 0x780, {0x43, 0x04, 0x10, 0, 0x00, 0x00, 0x00, 0x80}},
        {0x7A0, 0x100B, 0, 0x780, {0x4B, 0x0B, 0x10, 0, 0x00, 0x01, 0, 0}},
        {0x700, 0x100F, 13, 0x680, {0x4B, 0x0F, 0x10, 13, 0, 0, 0, 0}},
        // Missing object, missing sub-index: 0x06020002.
        {0x700, 0x1001, 0, 0x680, {0x80, 0x01, 0x10, 0, 0x02, 0x00, 0x02, 0x06}},
        {0x700, 0x1000, 1, 0x680, {0x80, 0x00, 0x10, 1, 0x02, 0x00, 0x02, 0x06}},
    };
    for (const Case& c : cases) {
        ServerRig rig(ObjectDictionary::LibraryNode());
        SCOPED_TRACE(testing::Message() << std::hex << "index 0x" << c.index << " via 0x" << c.request_base);
        auto out = rig.Request(static_cast<std::uint16_t>(c.request_base + kOwn), Mux(0x40, c.index, c.sub));
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].cob, c.response_base + kOwn);
        EXPECT_EQ(out[0].dlc, 8);
        EXPECT_EQ(out[0].data, c.answer);
        EXPECT_EQ(rig.outstanding, 0);
    }
}

TEST(SdoServerTest, WholeObjectUploadRunsSegmentedInWholeSubEntries) {
    ServerRig rig(ObjectDictionary::LibraryNode());
    auto init = rig.Request(0x700 + kOwn, Mux(0x40, 0x100F, 255));
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(init[0].data, (std::array<std::uint8_t, 8>{0x41, 0x0F, 0x10, 0xFF, 28, 0, 0, 0}));
    // 7 bytes of room take three 2-byte sub-entries: 6, 6, 6, 6 and the last 4.
    const std::uint8_t expected_command[] = {0x02, 0x12, 0x02, 0x12, 0x07};
    std::uint8_t toggle = 0;
    for (std::uint8_t command : expected_command) {
        auto seg = rig.Request(0x700 + kOwn, {static_cast<std::uint8_t>(0x60 | toggle)});
        ASSERT_EQ(seg.size(), 1u);
        EXPECT_EQ(seg[0].cob, 0x680 + kOwn);
        EXPECT_EQ(seg[0].data[0], command);
        for (int i = 1; i < 8; ++i) EXPECT_EQ(seg[0].data[i], 0);
        toggle ^= 0x10;
    }
    EXPECT_EQ(rig.server().ChannelState(0), 0);
    EXPECT_EQ(rig.outstanding, 0);
}

TEST(SdoServerTest, RefusesDownloadsToTheReadOnlyDictionary) {
    struct Case {
        const char* what;
        std::array<std::uint8_t, 8> request;
        std::uint8_t answer0;
        std::uint32_t abort;
    };
    const Case cases[] = {
        {"expedited 1 byte", Mux(0x2F, 0x1000, 0, {1}), 0x80, 0x06020001},
        {"expedited 4 bytes", Mux(0x23, 0x1004, 0, {1, 2, 3, 4}), 0x80, 0x06020001},
        {"size given", Mux(0x21, 0x100D, 0, {9}), 0x80, 0x06020000},
        {"block", Mux(0xC2, 0x100D, 0, {9}), 0x80, 0x06000000},
        {"missing object", Mux(0x21, 0x1001, 0, {2}), 0x80, 0x06020000},
        {"no size", Mux(0x20, 0x1000, 0), 0x80, 0x05030000},
        // An empty write to an existing object passes.
        {"size 0", Mux(0x21, 0x1000, 0, {0}), 0x60, 0},
        {"block size 0", Mux(0xC2, 0x1000, 0, {0}), 0xA0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServerRig rig(ObjectDictionary::LibraryNode());
        auto out = rig.Request(kSdo5, c.request);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].cob, 0x780 + kOwn);
        EXPECT_EQ(out[0].data[0], c.answer0);
        EXPECT_EQ(out[0].data[1], c.request[1]);
        EXPECT_EQ(out[0].data[2], c.request[2]);
        if (c.answer0 == 0x80) {
            EXPECT_EQ(Le32(out[0].data, 4), c.abort);
        }
    }
}

TEST(SdoServerTest, ProtocolErrorsAreAbortedWithTheirCodes) {
    struct Case {
        const char* what;
        std::vector<std::array<std::uint8_t, 8>> requests;  // the last one is answered with the abort
        std::uint32_t abort;
    };
    const Case cases[] = {
        {"idle: ccs 0", {Mux(0x00, 0x1000, 0)}, 0x05040000},
        {"idle: ccs 3", {Mux(0x60, 0x1000, 0)}, 0x05040000},
        {"idle: ccs 7", {Mux(0xE0, 0x1000, 0)}, 0x05040000},
        {"block upload sub-command 1", {Mux(0xA1, 0x100D, 0)}, 0x05010000},
        {"upload toggle", {Mux(0x40, 0x100F, 255), Mux(0x70, 0, 0)}, 0x05040001},
        {"upload unexpected command", {Mux(0x40, 0x100F, 255), Mux(0x40, 0x1000, 0)}, 0x05040002},
        {"block upload wrong ack", {Mux(0xA0, 0x100D, 0, {10, 0}), Mux(0xA3, 0, 0), {0xA2, 1, 10}}, 0x05020001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServerRig rig(ObjectDictionary::LibraryNode());
        std::vector<Frame> out;
        for (const auto& r : c.requests) out = rig.Request(kSdo5, r);
        ASSERT_FALSE(out.empty());
        EXPECT_EQ(out.back().data[0], 0x80);
        EXPECT_EQ(Le32(out.back().data, 4), c.abort);
        EXPECT_EQ(rig.outstanding, 0);
    }
}

TEST(SdoServerTest, BlockUploadOfTheNodeName) {
    ServerRig rig(ObjectDictionary::LibraryNode());
    std::uint32_t size = 0;
    const auto got = BlockUpload(rig, 0x100D, 0, 10, &size);
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(std::string(got.begin(), got.end()), "2579-XXXX");
    EXPECT_EQ(rig.outstanding, 0);
}

TEST(SdoServerTest, SmallBlockUploadIsAnsweredAsExpedited) {
    ServerRig rig(ObjectDictionary::LibraryNode());
    auto out = rig.Request(kSdo5, Mux(0xA0, 0x1004, 0, {10, 7}));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].data, (std::array<std::uint8_t, 8>{0x43, 0x04, 0x10, 0, 0, 0, 0, 0x80}));
    EXPECT_EQ(rig.server().ChannelState(4), 0);
}

TEST(SdoServerTest, DropsFramesItDoesNotServe) {
    ServerRig rig(ObjectDictionary::LibraryNode());
    // Another node's request, a response COB-ID, a request while not ready.
    EXPECT_TRUE(rig.Request(0x700 + 6, Mux(0x40, 0x1000, 0)).empty());
    EXPECT_TRUE(rig.Request(0x780 + kOwn, Mux(0x40, 0x1000, 0)).empty());
    EXPECT_TRUE(rig.Request(0x7C0 + kOwn, Mux(0x40, 0x1000, 0)).empty());
    rig.Request(kSdo5, Mux(0x40, 0x100F, 255));
    EXPECT_EQ(rig.server().ChannelState(4), 3);
    rig.ready = false;
    const int arms = rig.timer_arms;
    EXPECT_TRUE(rig.Request(kSdo5, Mux(0x60, 0, 0)).empty());
    // Not ready: the channels start over.
    EXPECT_EQ(rig.server().ChannelState(4), 0);
    EXPECT_EQ(rig.timer_arms, arms + 1);
    EXPECT_EQ(rig.outstanding, 0);
}

TEST(SdoServerTest, TicksNeverTimeOutATransferAndRearmTheTimer) {
    ServerRig rig(ObjectDictionary::LibraryNode());
    rig.Request(kSdo5, Mux(0x40, 0x100F, 255));
    const std::size_t sent = rig.sent.size();
    const int arms = rig.timer_arms;
    for (int i = 0; i < 50; ++i) rig.Tick();
    EXPECT_EQ(rig.sent.size(), sent);
    EXPECT_EQ(rig.timer_arms, arms + 50);
    EXPECT_EQ(rig.server().ChannelState(4), 3);
    EXPECT_EQ(rig.Request(kSdo5, {0x60}).at(0).data[0], 0x02);
    EXPECT_EQ(rig.outstanding, 0);
}

// ---------------------------------------------------------------------------------------------
// A dictionary of multi-entry objects with non-zero values, where reads of fixed-size entries
// come short of what was asked for.

std::vector<std::uint8_t> Bytes(std::uint8_t first, std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(first + i);
    return v;
}

struct TestObject {
    std::uint16_t index;
    std::vector<OdSubEntry> subs;
};

std::vector<TestObject> TestObjects() {
    return {
        // Five 32-bit entries: a 10-byte read takes two of them (8 bytes).
        {0x2000,
         {OdSubEntry::Inline(od_type::kUnsigned32, Bytes(0x11, 4)),
          OdSubEntry::Inline(od_type::kUnsigned32, Bytes(0x21, 4)),
          OdSubEntry::Inline(od_type::kUnsigned32, Bytes(0x31, 4)),
          OdSubEntry::Inline(od_type::kUnsigned32, Bytes(0x41, 4)),
          OdSubEntry::Inline(od_type::kUnsigned32, Bytes(0x51, 4))}},
        // Mixed sizes, 7-byte entries and a text in the middle.
        {0x2001,
         {OdSubEntry::Inline(od_type::kUnsigned8, {0xA5}), OdSubEntry::Pointer(10, Bytes(0x61, 7)),
          OdSubEntry::Pointer(od_type::kVisibleString, Bytes('a', 11)), OdSubEntry::Pointer(10, Bytes(0x71, 7)),
          OdSubEntry::Inline(od_type::kUnsigned16, {0xBE, 0xEF}), OdSubEntry::Pointer(11, Bytes(0x81, 6))}},
        // Twelve 16-bit entries.
        {0x2002,
         [] {
             std::vector<OdSubEntry> v;
             for (int i = 0; i < 12; ++i)
                 v.push_back(
                     OdSubEntry::Inline(od_type::kUnsigned16, Bytes(static_cast<std::uint8_t>(0x90 + 2 * i), 2)));
             return v;
         }()},
    };
}

ObjectDictionary TestDictionary() {
    ObjectDictionary d = ObjectDictionary::LibraryNode();
    for (auto& o : TestObjects()) d.Add(o.index, OdObject{o.subs});
    return d;
}

std::vector<std::uint8_t> Concatenated(const TestObject& o) {
    std::vector<std::uint8_t> all;
    for (const auto& s : o.subs) all.insert(all.end(), s.value.begin(), s.value.end());
    return all;
}

TEST(SdoServerTest, BlockUploadOfMultiEntryObjectsKeepsEveryByte) {
    for (const TestObject& o : TestObjects()) {
        for (std::uint8_t block_size : {1, 2, 3, 10, 127}) {
            SCOPED_TRACE(testing::Message()
                         << std::hex << "object 0x" << o.index << std::dec << " block " << int(block_size));
            ServerRig rig(TestDictionary());
            std::uint32_t size = 0;
            const auto got = BlockUpload(rig, o.index, 255, block_size, &size);
            const auto want = Concatenated(o);
            EXPECT_EQ(size, want.size());
            EXPECT_EQ(got, want);
            EXPECT_EQ(rig.outstanding, 0);
        }
    }
}

// One client's block upload on one of the server's channels, driven a block at a time so that
// two of them can interleave.
class BlockReader {
public:
    BlockReader(ServerRig& rig, int channel, std::uint8_t block_size)
        : rig_(rig),
          request_(static_cast<std::uint16_t>((channel == 4 ? 0x7A0 : 0x700 + 0x20 * channel) + kOwn)),
          response_(static_cast<std::uint16_t>((channel == 4 ? 0x780 : 0x680 + 0x20 * channel) + kOwn)),
          block_size_(block_size) {}

    void Begin(std::uint16_t index) {
        auto init = rig_.Request(request_, Mux(0xA0, index, 255, {block_size_, 0, 0, 0}));
        ASSERT_EQ(init.size(), 1u);
        ASSERT_EQ(init[0].data[0], 0xC2);
        size_ = Le32(init[0].data, 4);
        pending_ = rig_.Request(request_, {0xA3});
    }
    // Takes the block the server sent and confirms it.
    void Step() {
        std::uint8_t last_seq = 0;
        bool last = false;
        for (const Frame& f : pending_) {
            EXPECT_EQ(f.cob, response_);
            last_seq = f.data[0] & 0x7F;
            last = (f.data[0] & 0x80) != 0;
            const std::size_t n = std::min<std::size_t>(last ? size_ - got_.size() : 7, 7);
            got_.insert(got_.end(), f.data.begin() + 1, f.data.begin() + 1 + static_cast<std::ptrdiff_t>(n));
        }
        pending_ = rig_.Request(request_, {0xA2, last_seq, block_size_});
        done_ = last || pending_.empty();
    }
    bool done() const { return done_; }
    const std::vector<std::uint8_t>& got() const { return got_; }

private:
    ServerRig& rig_;
    std::uint16_t request_;
    std::uint16_t response_;
    std::uint8_t block_size_;
    std::uint32_t size_ = 0;
    std::vector<Frame> pending_;
    std::vector<std::uint8_t> got_;
    bool done_ = false;
};

TEST(SdoServerTest, InterleavedBlockUploadsOnTwoChannelsDeliverTheirOwnBytes) {
    const std::vector<TestObject> objects = TestObjects();
    for (std::uint8_t block_size : {1, 2}) {
        SCOPED_TRACE(int(block_size));
        ServerRig rig(TestDictionary());
        BlockReader a(rig, 0, block_size);
        BlockReader b(rig, 4, block_size);
        a.Begin(objects[0].index);
        b.Begin(objects[1].index);  // starts while a's block left bytes staged
        for (int guard = 0; guard < 100 && !(a.done() && b.done()); ++guard) {
            if (!a.done()) a.Step();
            if (!b.done()) b.Step();
        }
        EXPECT_EQ(a.got(), Concatenated(objects[0]));
        EXPECT_EQ(b.got(), Concatenated(objects[1]));
        EXPECT_EQ(rig.outstanding, 0);
    }
}

TEST(SdoServerTest, SegmentedUploadOfMultiEntryObjectsKeepsEveryByte) {
    for (const TestObject& o : TestObjects()) {
        SCOPED_TRACE(testing::Message() << std::hex << "object 0x" << o.index);
        ServerRig rig(TestDictionary());
        auto init = rig.Request(kSdo5, Mux(0x40, o.index, 255));
        ASSERT_EQ(init.at(0).data[0], 0x41);
        std::vector<std::uint8_t> got;
        std::uint8_t toggle = 0;
        for (int guard = 0; guard < 100; ++guard) {
            auto seg = rig.Request(kSdo5, {static_cast<std::uint8_t>(0x60 | toggle)});
            ASSERT_EQ(seg.size(), 1u);
            ASSERT_EQ(seg[0].data[0] & 0x10, toggle);
            const int n = 7 - ((seg[0].data[0] >> 1) & 7);
            got.insert(got.end(), seg[0].data.begin() + 1, seg[0].data.begin() + 1 + n);
            if (seg[0].data[0] & 1) break;
            toggle ^= 0x10;
        }
        EXPECT_EQ(got, Concatenated(o));
    }
}

// ---------------------------------------------------------------------------------------------
// Block download into a writable object, with segments lost on the way.

constexpr std::uint16_t kWritable = 0x2100;

ObjectDictionary WritableDictionary(std::size_t size) {
    ObjectDictionary d = ObjectDictionary::LibraryNode();
    d.Add(kWritable, OdObject{{OdSubEntry::Pointer(od_type::kDomain, std::vector<std::uint8_t>(size, 0), true)}});
    return d;
}

std::array<std::uint8_t, 8> Segment(const std::vector<std::uint8_t>& data, std::size_t offset, std::uint8_t seq) {
    std::array<std::uint8_t, 8> d{};
    const std::size_t n = std::min<std::size_t>(7, data.size() - offset);
    d[0] = static_cast<std::uint8_t>(seq | (offset + n == data.size() ? 0x80 : 0));
    std::copy(data.begin() + static_cast<std::ptrdiff_t>(offset),
              data.begin() + static_cast<std::ptrdiff_t>(offset + n), d.begin() + 1);
    return d;
}

TEST(SdoServerTest, BlockDownloadResumesAfterTheLastGoodSegment) {
    struct Case {
        const char* what;
        std::size_t size;
        std::size_t lost_segment;  // 1-based over the whole transfer
    };
    // 40 bytes: one block of 6 segments. 1000 bytes: blocks of 127 segments, 143 in all.
    const Case cases[] = {
        {"lost in the middle of the last block", 40, 3},
        {"first segment lost", 40, 1},
        {"first segment of the second block lost", 1000, 128},
        {"middle of the short last block", 1000, 135},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServerRig rig(WritableDictionary(c.size));
        std::vector<std::uint8_t> data(c.size);
        for (std::size_t i = 0; i < c.size; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + 3);
        auto init = rig.Request(
            kSdo5,
            Mux(0xC2, kWritable, 0, {static_cast<std::uint8_t>(c.size), static_cast<std::uint8_t>(c.size >> 8)}));
        ASSERT_EQ(init.size(), 1u);
        ASSERT_EQ(init[0].data[0], 0xA0);
        const std::uint8_t block = init[0].data[4];
        EXPECT_EQ(block, std::min<std::size_t>((c.size + 6) / 7, 127));

        // Plays the client: numbering within the block, resuming where the server says.
        std::size_t block_start = 0;  // byte offset of the block's segment 1
        std::uint8_t first = 1;
        std::size_t sent_segments = 0;
        bool lost_done = false;
        bool finished = false;
        for (int round = 0; round < 20 && !finished; ++round) {
            std::vector<Frame> answers;
            for (std::uint8_t seq = first; seq <= block; ++seq) {
                const std::size_t offset = block_start + (seq - 1) * 7u;
                if (offset >= c.size) break;
                const auto seg = Segment(data, offset, seq);
                ++sent_segments;
                if (!lost_done && offset / 7 + 1 == c.lost_segment) {
                    lost_done = true;
                } else {
                    auto a = rig.Request(kSdo5, seg);
                    answers.insert(answers.end(), a.begin(), a.end());
                }
                if (seg[0] & 0x80) break;
            }
            ASSERT_EQ(answers.size(), 1u) << "round " << round;
            const Frame& a = answers[0];
            ASSERT_EQ(a.data[0], 0xA2);
            const std::size_t ack_end = block_start + a.data[1] * 7u;
            if (ack_end >= c.size && rig.server().ChannelState(4) == 0) {
                finished = true;
            } else if (a.data[1] == block) {
                block_start += block * 7u;
                first = 1;
            } else {
                // Resume inside the block: the server names the block size to go on with.
                EXPECT_EQ(a.data[2], block);
                first = static_cast<std::uint8_t>(a.data[1] + 1);
            }
        }
        ASSERT_TRUE(finished);
        EXPECT_EQ(rig.dictionary().Find(kWritable)->subs[0].value, data);
        EXPECT_EQ(rig.outstanding, 0);
    }
}

TEST(SdoServerTest, SegmentedAndExpeditedDownloadsWriteAWritableObject) {
    ServerRig rig(WritableDictionary(10));
    const std::vector<std::uint8_t> data = Bytes(0x40, 10);
    auto init = rig.Request(kSdo5, Mux(0x21, kWritable, 0, {10}));
    ASSERT_EQ(init.at(0).data[0], 0x60);
    auto s1 = rig.Request(kSdo5, {0x00, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46});
    EXPECT_EQ(s1.at(0).data[0], 0x20);
    auto s2 = rig.Request(kSdo5, {0x10 | ((7 - 3) << 1) | 1, 0x47, 0x48, 0x49});
    EXPECT_EQ(s2.at(0).data[0], 0x30);
    EXPECT_EQ(rig.server().ChannelState(4), 0);
    EXPECT_EQ(rig.dictionary().Find(kWritable)->subs[0].value, data);

    // A toggle error ends the download with 0x05040003.
    rig.Request(kSdo5, Mux(0x21, kWritable, 0, {10}));
    auto bad = rig.Request(kSdo5, {0x10});
    EXPECT_EQ(Le32(bad.at(0).data, 4), 0x05040003u);
    EXPECT_EQ(rig.server().ChannelState(4), 0);
    EXPECT_EQ(rig.outstanding, 0);
}

}  // namespace
