#include <gtest/gtest.h>

#include <algorithm>

#include "app/device_objects.h"
#include "tests/devsim/server_harness.h"
#include "tools/devsim/bus_master.h"
#include "tools/devsim/display_node.h"

namespace devsim_test {
namespace {

using namespace std::chrono_literals;
namespace object = app::device_object;

constexpr std::uint16_t kStore = 0x2000;

// What a block download brought, run the way the interface library runs one: segments numbered
// from where it (re-)starts inside the block; a confirmation that acknowledges less makes it go
// on behind the acknowledged segment; a missing confirmation makes it send the block again.
struct BlockRun {
    bool done = false;
    int confirmations = 0;
    int resends = 0;
};

BlockRun RunBlockDownload(ServerHarness& h, std::uint16_t index, const Bytes& data) {
    BlockRun run;
    auto init = h.Send(Request(0xC2, index, 0, static_cast<std::uint32_t>(data.size())));
    if (init.size() != 1 || init[0].data[0] != 0xA0) return run;
    std::uint8_t block_size = init[0].data[4];
    std::size_t pos = 0;
    std::uint8_t start = 1;
    for (int rounds = 0; rounds < 100000; ++rounds) {
        const std::size_t saved_pos = pos;
        const std::uint8_t saved_start = start;
        std::uint8_t last_sent = 0;
        std::vector<Frame> answers;
        for (std::uint8_t s = start; s <= block_size; ++s) {
            const std::size_t n = std::min<std::size_t>(7, data.size() - pos);
            Frame segment = Request({s});
            std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(pos), n, segment.data.begin() + 1);
            pos += n;
            last_sent = s;
            if (pos == data.size()) segment.data[0] |= 0x80;
            for (const Frame& f : h.Send(segment)) answers.push_back(f);
            if (pos == data.size()) break;
        }
        if (answers.empty()) answers = h.Advance(5s);
        if (answers.empty()) {
            if (++run.resends > 3) return run;
            pos = saved_pos;
            start = saved_start;
            continue;
        }
        const Frame& confirm = answers.back();
        if (confirm.data[0] != 0xA2) return run;
        ++run.confirmations;
        const std::uint8_t ack = confirm.data[1];
        if (ack == last_sent) {
            if (pos == data.size()) {
                run.done = true;
                return run;
            }
            start = 1;
            block_size = confirm.data[2];
        } else {
            pos = saved_pos + static_cast<std::size_t>(ack + 1 - saved_start) * 7;
            start = static_cast<std::uint8_t>(ack + 1);
        }
    }
    return run;
}

TEST(SdoServer, ExpeditedDownloadsOfOneToFourBytes) {
    for (std::uint8_t n = 1; n <= 4; ++n) {
        SCOPED_TRACE(static_cast<int>(n));
        ServerHarness h;
        Bytes written;
        h.AddStore(kStore, 1, 16, &written);
        const auto answers = h.Send(Request(static_cast<std::uint8_t>(0x23 | (4 - n) << 2), kStore, 1, 0x44332211));
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(answers[0].data[0], 0x60);
        EXPECT_EQ(devsim::Get16(answers[0], 1), kStore);
        EXPECT_EQ(answers[0].data[3], 1);
        const Bytes all{0x11, 0x22, 0x33, 0x44};
        EXPECT_EQ(written, Bytes(all.begin(), all.begin() + n));
    }
}

TEST(SdoServer, RefusedRequestsCarryTheirAbortCode) {
    struct Case {
        const char* what;
        Frame request;
        std::uint32_t code;
    };
    ServerHarness h;
    h.dictionary().AddValue(object::kDeviceProfile, 0, {0x31, 0x10});
    devsim::ObjectEntry fixed;
    fixed.readable = false;
    fixed.writable = true;
    fixed.write_size = 4;
    h.dictionary().Add(sdo::kUnlockIndex, 0, fixed);
    const Case cases[] = {
        {"upload of an unknown object", Request(0x40, 0x1234, 0), 0x06020000},
        {"download to a read-only object", Request(0x2B, object::kDeviceProfile, 0, 7), 0x06010002},
        {"upload of a write-only object", Request(0x40, sdo::kUnlockIndex, 0), 0x06010001},
        {"download of the wrong length", Request(0x2B, sdo::kUnlockIndex, 0, 7), 0x06070010},
        {"block download of the wrong length", Request(0xC2, sdo::kUnlockIndex, 0, 9), 0x06070010},
        {"unknown command", Request(0xE0, object::kDeviceProfile, 0), 0x05040001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto answers = h.Send(c.request);
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(AbortCodeOf(answers[0]), c.code);
        EXPECT_EQ(devsim::Get16(answers[0], 1), devsim::Get16(c.request, 1));
        EXPECT_EQ(h.server().state(), devsim::SdoServer::State::kIdle);
    }
}

TEST(SdoServer, SegmentedDownloadChecksToggleAndLength) {
    ServerHarness h;
    Bytes written;
    h.AddStore(kStore, 0, 64, &written);
    ASSERT_EQ(h.Send(Request(0x21, kStore, 0, 10)).at(0).data[0], 0x60);
    EXPECT_EQ(h.Send(Request({0x00, 1, 2, 3, 4, 5, 6, 7})).at(0).data[0], 0x20);
    // 3 bytes, toggle 1, last: 4 unused bytes.
    EXPECT_EQ(h.Send(Request({0x10 | 4 << 1 | 1, 8, 9, 10})).at(0).data[0], 0x30);
    EXPECT_EQ(written, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    ASSERT_EQ(h.Send(Request(0x21, kStore, 0, 10)).at(0).data[0], 0x60);
    EXPECT_EQ(AbortCodeOf(h.Send(Request({0x10, 1, 2, 3, 4, 5, 6, 7})).at(0)), 0x05030000u);
    ASSERT_EQ(h.Send(Request(0x21, kStore, 0, 10)).at(0).data[0], 0x60);
    // A last segment that ends short of the announced size.
    EXPECT_EQ(AbortCodeOf(h.Send(Request({0x00 | 1, 1, 2, 3, 4, 5, 6, 7})).at(0)), 0x06070010u);
    EXPECT_EQ(h.server().stats().downloads_completed, 1u);
}

TEST(SdoServer, UploadsExpeditedAndSegmentedWithToggles) {
    ServerHarness h;
    const Bytes value = Pattern(20);
    h.dictionary().AddValue(object::kDeviceProfile, 0, {0x31, 0x10});
    h.dictionary().AddValue(object::kDataSections, 3, value);

    const auto expedited = h.Send(Request(0x40, object::kDeviceProfile, 0));
    ASSERT_EQ(expedited.size(), 1u);
    EXPECT_EQ(expedited[0].data[0], 0x4B);  // 2 bytes, 2 unused
    EXPECT_EQ(devsim::Get16(expedited[0], 4), 0x1031);

    const auto initiate = h.Send(Request(0x40, object::kDataSections, 3));
    ASSERT_EQ(initiate.at(0).data[0], 0x41);
    EXPECT_EQ(devsim::Get32(initiate[0], 4), 20u);
    Bytes got;
    const std::uint8_t expected_commands[] = {0x00, 0x10, 0x00 | 1 << 1 | 1};
    std::uint8_t toggle = 0;
    for (std::uint8_t command : expected_commands) {
        const auto segment = h.Send(Request({static_cast<std::uint8_t>(0x60 | toggle)}));
        ASSERT_EQ(segment.size(), 1u);
        EXPECT_EQ(segment[0].data[0], command);
        const std::size_t n = 7 - ((segment[0].data[0] >> 1) & 7);
        got.insert(got.end(), segment[0].data.begin() + 1,
                   segment[0].data.begin() + 1 + static_cast<std::ptrdiff_t>(n));
        toggle ^= 0x10;
    }
    EXPECT_EQ(got, value);
    EXPECT_EQ(h.server().state(), devsim::SdoServer::State::kIdle);
}

TEST(SdoServer, BlockUploadInTheClientsBlockSize) {
    ServerHarness h;
    const Bytes value = Pattern(100);
    h.dictionary().AddValue(object::kDataSections, 3, value);
    // Capacity 100: the client asks for blocks of 10 and a switch threshold of 7.
    const auto initiate = h.Send(Request({0xA0, 0x1F, 0x10, 3, 10, 7}));
    ASSERT_EQ(initiate.size(), 1u);
    EXPECT_EQ(initiate[0].data[0], 0xC2);
    EXPECT_EQ(devsim::Get32(initiate[0], 4), 100u);

    Bytes got;
    auto take = [&got](const std::vector<Frame>& segments, std::uint8_t count, bool ends) {
        ASSERT_EQ(segments.size(), count);
        for (std::uint8_t i = 0; i < count; ++i) {
            const bool last = i + 1 == count && ends;
            EXPECT_EQ(segments[i].data[0], (i + 1) | (last ? 0x80 : 0));
            const std::size_t n = std::min<std::size_t>(7, 100 - got.size());
            got.insert(got.end(), segments[i].data.begin() + 1,
                       segments[i].data.begin() + 1 + static_cast<std::ptrdiff_t>(n));
        }
    };
    take(h.Send(Request({0xA3})), 10, false);
    take(h.Send(Request({0xA2, 10, 10})), 5, true);
    EXPECT_TRUE(h.Send(Request({0xA2, 5, 0})).empty());
    EXPECT_EQ(got, value);
    EXPECT_EQ(h.server().state(), devsim::SdoServer::State::kIdle);
    EXPECT_EQ(h.server().stats().uploads_completed, 1u);

    // Objects within the switch threshold go the plain way.
    h.dictionary().AddValue(object::kDeviceProfile, 0, {0x31, 0x10});
    const auto small = h.Send(Request({0xA0, 0x00, 0x10, 0, 1, 7}));
    ASSERT_EQ(small.size(), 1u);
    EXPECT_EQ(small[0].data[0], 0x4B);
}

TEST(SdoServer, BlockDownloadsArriveByteExactDespiteLostSegments) {
    constexpr std::size_t kBlock = 127 * 7;
    struct Case {
        const char* what;
        std::size_t size;
        std::set<std::size_t> drops;
        int resends;  // block ends that were lost
    };
    const Case cases[] = {
        {"five bytes in one segment", 5, {}, 0},
        {"exactly one full block", kBlock, {}, 0},
        {"one byte into a second block", kBlock + 1, {}, 0},
        {"lost segment inside a full block", 3 * kBlock + 100, {5}, 0},
        {"lost segment in the short last block", 3 * kBlock + 100, {3 * 127 + 8}, 0},
        {"lost first segment of a block", 2 * kBlock + 30, {128}, 0},
        {"lost block end", 2 * kBlock + 30, {127}, 1},
        {"lost final segment", 2 * kBlock + 30, {2 * 127 + 5}, 1},
        {"several losses", 4 * kBlock, {1, 2, 200, 254, 508}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        devsim::SdoBehaviour behaviour;
        behaviour.drop_segments = c.drops;
        ServerHarness h(behaviour);
        Bytes written;
        h.AddStore(kStore, 0, 1 << 20, &written);
        const Bytes data = Pattern(c.size);
        const BlockRun run = RunBlockDownload(h, kStore, data);
        EXPECT_TRUE(run.done);
        EXPECT_EQ(run.resends, c.resends);
        EXPECT_EQ(written, data);
        EXPECT_EQ(h.server().stats().segments_dropped, c.drops.size());
        EXPECT_EQ(h.server().state(), devsim::SdoServer::State::kIdle);
    }
}

TEST(SdoServer, ConfirmationsLateOrWithheld) {
    devsim::SdoBehaviour late;
    late.confirm_delay = 300ms;
    ServerHarness h(late);
    Bytes written;
    h.AddStore(kStore, 0, 64, &written);
    ASSERT_EQ(h.Send(Request(0xC2, kStore, 0, 10)).at(0).data[0], 0xA0);
    EXPECT_TRUE(h.Send(Request({0x01, 1, 2, 3, 4, 5, 6, 7})).empty());
    EXPECT_TRUE(h.Send(Request({0x82, 8, 9, 10})).empty());
    EXPECT_TRUE(h.Advance(299ms).empty());
    const auto confirm = h.Advance(1ms);
    ASSERT_EQ(confirm.size(), 1u);
    EXPECT_EQ(confirm[0].data[0], 0xA2);
    EXPECT_EQ(confirm[0].data[1], 2);
    EXPECT_EQ(written, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    devsim::SdoBehaviour withheld;
    withheld.withhold_confirm = true;
    ServerHarness w(withheld);
    w.AddStore(kStore, 0, 64, &written);
    w.dictionary().AddValue(object::kDeviceProfile, 0, {0x31, 0x10});
    ASSERT_EQ(w.Send(Request(0xC2, kStore, 0, 10)).at(0).data[0], 0xA0);
    EXPECT_TRUE(w.Send(Request({0x01, 1, 2, 3, 4, 5, 6, 7})).empty());
    EXPECT_TRUE(w.Send(Request({0x82, 8, 9, 10})).empty());
    EXPECT_TRUE(w.Advance(10s).empty());
    // The same block again: still no answer.
    EXPECT_TRUE(w.Send(Request({0x01, 1, 2, 3, 4, 5, 6, 7})).empty());
    EXPECT_TRUE(w.Send(Request({0x82, 8, 9, 10})).empty());
    // The client gave up without an abort; its next request (0x40 would fit as segment 64) is served.
    const auto upload = w.Send(Request(0x40, object::kDeviceProfile, 0));
    ASSERT_EQ(upload.size(), 1u);
    EXPECT_EQ(upload[0].data[0], 0x4B);
}

TEST(SdoServer, InjectedAbortsSilenceAndClientAborts) {
    devsim::SdoBehaviour aborting;
    aborting.aborts[object::kSoftwareImage] = 0x08000020;
    ServerHarness a(aborting);
    Bytes written;
    a.AddStore(object::kSoftwareImage, 0, 64, &written);
    EXPECT_EQ(AbortCodeOf(a.Send(Request(0xC2, object::kSoftwareImage, 0, 10)).at(0)), 0x08000020u);
    EXPECT_EQ(AbortCodeOf(a.Send(Request(0x2F, object::kSoftwareImage, 0, 1)).at(0)), 0x08000020u);

    devsim::SdoBehaviour silent;
    silent.silent = true;
    ServerHarness s(silent);
    s.dictionary().AddValue(object::kDeviceProfile, 0, {0x31, 0x10});
    EXPECT_TRUE(s.Send(Request(0x40, object::kDeviceProfile, 0)).empty());
    EXPECT_TRUE(s.Advance(5s).empty());

    // A client abort ends a segmented transfer without an answer; the next request is served.
    ServerHarness c;
    c.AddStore(kStore, 0, 64, &written);
    ASSERT_EQ(c.Send(Request(0x21, kStore, 0, 10)).at(0).data[0], 0x60);
    EXPECT_TRUE(c.Send(Request(0x80, kStore, 0, 0x05040000)).empty());
    EXPECT_EQ(c.server().state(), devsim::SdoServer::State::kIdle);
    EXPECT_EQ(c.Send(Request(0x2F, kStore, 0, 9)).at(0).data[0], 0x60);
    EXPECT_EQ(written, Bytes({9}));
}

// A node that asks for every block again: each block end is confirmed with last good segment 0,
// the block sent again is taken as a new try of the same block, nothing is ever written, and the
// client's abort when it gives up leaves the node serving again.
TEST(SdoServer, ANodeThatAsksForEveryBlockAgain) {
    devsim::SdoBehaviour behaviour;
    behaviour.resend_blocks = true;
    behaviour.block_size = 2;
    ServerHarness h(behaviour);
    Bytes written;
    bool stored = false;
    devsim::ObjectEntry store;
    store.writable = true;
    store.max_write_size = 64;
    store.on_written = [&](const Bytes& bytes) {
        written = bytes;
        stored = true;
    };
    h.dictionary().Add(kStore, 0, std::move(store));
    h.dictionary().AddValue(object::kDeviceProfile, 0, {0x31, 0x10});
    ASSERT_EQ(h.Send(Request(0xC2, kStore, 0, 20)).at(0).data[0], 0xA0);
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        EXPECT_TRUE(h.Send(Request({0x01, 1, 2, 3, 4, 5, 6, 7})).empty());
        const auto confirm = h.Send(Request({0x02, 8, 9, 10, 11, 12, 13, 14}));
        ASSERT_EQ(confirm.size(), 1u);
        EXPECT_EQ(confirm[0].data[0], 0xA2);
        EXPECT_EQ(confirm[0].data[1], 0) << "the block counts as not received";
        EXPECT_EQ(confirm[0].data[2], 2);
        EXPECT_EQ(h.server().state(), devsim::SdoServer::State::kBlockDownload);
    }
    EXPECT_EQ(h.server().stats().blocks_asked_again, 3u);
    EXPECT_EQ(h.server().stats().segments_received, 6u);
    EXPECT_FALSE(stored);
    // The client gives up with an abort; the node serves the next request.
    EXPECT_TRUE(h.Send(Request(0x80, kStore, 0, 0x05040000)).empty());
    EXPECT_EQ(h.server().state(), devsim::SdoServer::State::kIdle);
    EXPECT_EQ(h.Send(Request(0x40, object::kDeviceProfile, 0)).at(0).data[0], 0x4B);
    EXPECT_FALSE(stored);
}

// A display node of the test's setup that answers one request at a time, at one moment: what it
// sends for a request is taken at once.
class AskedNode {
public:
    explicit AskedNode(const devsim::NodeSetup& setup) : node_(setup) {}
    std::vector<Frame> Ask(const Frame& request) {
        node_.OnFrame(request, now_, out_);
        std::vector<Frame> frames;
        out_.TakeDue(now_, frames);
        return frames;
    }
    devsim::DisplayNode& node() { return node_; }

private:
    devsim::DisplayNode node_;
    devsim::Outbox out_;
    const devsim::TimePoint now_{};
};

// A flooding node sends its own frames on 0x7C0 + id, a running count in them, for every
// block-download segment it receives, and for nothing else.
TEST(DisplayNode, FloodsTheBusForEverySegmentItReceives) {
    devsim::NodeSetup setup;
    setup.spec = {kNode, 0x1031, 5, 0x0100, 0x0100};
    setup.flood_per_segment = 3;
    Bytes image;
    setup.on_image = [&image](const Bytes& bytes) { image = bytes; };
    AskedNode asked(setup);
    const auto ask = [&asked](const Frame& request) { return asked.Ask(request); };
    const auto flood_count = [](const std::vector<Frame>& frames) {
        return std::count_if(frames.begin(), frames.end(),
                             [](const Frame& f) { return f.id == devsim::kGuardBase + kNode; });
    };
    EXPECT_EQ(flood_count(ask(Request(0x40, object::kDeviceProfile, 0))), 0);
    EXPECT_EQ(flood_count(ask(Request(0xC2, object::kSoftwareImage, 0, 10))), 0);
    const auto first = ask(Request({0x01, 1, 2, 3, 4, 5, 6, 7}));
    ASSERT_EQ(first.size(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(first[i].id, devsim::kGuardBase + kNode);
        EXPECT_EQ(first[i].dlc, 8);
        EXPECT_EQ(devsim::Get32(first[i], 0), i);
    }
    const auto last = ask(Request({0x82, 8, 9, 10}));
    EXPECT_EQ(flood_count(last), 3);
    EXPECT_EQ(last.size(), 4u) << "the block's confirmation as well";
    EXPECT_EQ(asked.node().flood_sent(), 6u);
    EXPECT_EQ(image, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(DisplayNode, RefusesBlocksUntilUnlocked) {
    for (std::uint32_t code : {0x05020000u, 0x05040000u, 0x06000002u}) {
        SCOPED_TRACE(code);
        devsim::NodeSetup setup;
        setup.spec = {kNode, 0x1031, 5, 0x0100, 0x0100};
        setup.sdo.refuse_block = code;
        Bytes image;
        setup.on_image = [&image](const Bytes& bytes) { image = bytes; };
        AskedNode asked(setup);
        const auto ask = [&asked](const Frame& request) { return asked.Ask(request); };
        EXPECT_EQ(AbortCodeOf(ask(Request(0xC2, object::kSoftwareImage, 0, 5)).at(0)), code);
        EXPECT_EQ(AbortCodeOf(ask(Request({0xA0, 0x00, 0x10, 0, 1, 7})).at(0)), code);
        // Another value is taken but does not unlock.
        EXPECT_EQ(ask(Request(0x23, sdo::kUnlockIndex, 0, 0x12345678)).at(0).data[0], 0x60);
        EXPECT_EQ(AbortCodeOf(ask(Request(0xC2, object::kSoftwareImage, 0, 5)).at(0)), code);
        EXPECT_EQ(ask(Request(0x23, sdo::kUnlockIndex, 0, sdo::kUnlockValue)).at(0).data[0], 0x60);
        EXPECT_EQ(asked.node().unlock_value(), sdo::kUnlockValue);
        const auto accepted = ask(Request(0xC2, object::kSoftwareImage, 0, 5));
        ASSERT_EQ(accepted.size(), 1u);
        EXPECT_EQ(accepted[0].data[0], 0xA0);
        EXPECT_EQ(accepted[0].data[4], 127);
        const auto confirm = ask(Request({0x81, 1, 2, 3, 4, 5}));
        ASSERT_EQ(confirm.size(), 1u);
        EXPECT_EQ(confirm[0].data[1], 1);
        EXPECT_EQ(image, Bytes({1, 2, 3, 4, 5}));
    }
}

TEST(DisplayNode, DictionaryFromItsSetup) {
    devsim::NodeSetup setup;
    setup.spec = {1, 0x0431, 5, 0x0201, 0x0123};
    setup.node_mask = 0b110;
    setup.fault_format = 2;
    setup.sections = {{6, 9, Pattern(12)}, {2, 1, {0xAA}}};
    devsim::DisplayNode node(setup);
    struct Case {
        std::uint16_t index;
        std::uint8_t sub;
        Bytes value;
    };
    // The addresses as the devices have them, spelled out rather than named: this table holds the
    // shared names of app/device_objects.h to the devices' numbers.
    const Case cases[] = {
        {0x1000, 0, {0x31, 0x04}},    {0x1009, 0xFF, {0x00, 0x05}},
        {0x100C, 0xFF, {0x01, 0x02}}, {0x100A, 0xFF, {0x23, 0x01}},
        {0x1023, 0, {0x23, 0x01}},    {0x1017, 0xFF, {0b110, 0, 0, 0}},
        {0x100B, 0, {0, 2}},          {0x101F, 0, {7}},
        {0x101F, 1, {9, 6}},          {0x101F, 2, {12, 0, 0, 0}},
        {0x101F, 3, Pattern(12)},     {0x101F, 4, {1, 2}},
        {0x101F, 6, {0xAA}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index * 256 + c.sub);
        const devsim::ReadResult read = node.dictionary().Read(c.index, c.sub);
        EXPECT_EQ(read.abort, devsim::AbortCode::kNone);
        EXPECT_EQ(read.data, c.value);
    }
    // Only node 1 carries the node mask and the fault format.
    setup.spec.id = 2;
    devsim::DisplayNode other(setup);
    EXPECT_FALSE(other.dictionary().Contains(0x1017, 0xFF));
    EXPECT_FALSE(other.dictionary().Contains(0x100B, 0));
}

}  // namespace
}  // namespace devsim_test
