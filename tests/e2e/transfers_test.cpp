// SDO transfers of the real interface library against qbk-devsim, compared byte by byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "app/device_objects.h"
#include "tests/e2e/session.h"

namespace e2e {
namespace {

namespace object = app::device_object;

std::string Hex(std::initializer_list<std::uint8_t> bytes) {
    std::string text;
    char pair[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        text += pair;
    }
    return text;
}

const Bytes kUnlock{0xC4, 0xA0, 0x17, 0x5E};

TEST(E2eTransfers, PlainAndBlockTransfersWithFallBack) {
    Session s;
    const Bytes section100 = Pattern(100, 1), section14 = Pattern(14, 2), section3000 = Pattern(3000, 3);
    s.WriteFile("s100.bin", section100);
    s.WriteFile("s14.bin", section14);
    s.WriteFile("s3000.bin", section3000);
    {
        std::ofstream list(s.Path("sections.txt"));
        list << "6 1 s100.bin\n2 0 s14.bin\n7 0 s3000.bin\n";
    }
    std::uint8_t conflict = 0xFF;
    ASSERT_TRUE(s.Open({"--node", "1:0x1031:5", "--node", "2:0x1031:5", "--refuse-block", "0x05040000", "--store-image",
                        s.Path("album.bin"), "--sections", s.Path("sections.txt"), "--log"},
                       &conflict));
    EXPECT_EQ(conflict, 0);
    ASSERT_TRUE(s.WaitReady());
    EXPECT_EQ(s.klp().GETNODEIDKLP(), 5);
    EXPECT_EQ(s.klp().GETNODESTATEKLP(), 3);  // id assigned, not started
    EXPECT_EQ(s.klp().GETSYSTEMSTATE(), 1);

    // Requests the library refuses before anything goes on the bus.
    {
        EXPECT_TRUE(s.Write(2, object::kSoftwareImage, 0, {1, 2, 3}, 0));
        EXPECT_TRUE(s.Read(2, object::kDeviceProfile, 0, 2, 0).failed);
        EXPECT_TRUE(s.Read(2, object::kDeviceProfile, 0, -1).failed);
        EXPECT_TRUE(s.Write(2, object::kSoftwareImage, 0, {}));
        EXPECT_TRUE(s.Write(2, object::kSoftwareImage, 0, Bytes(0x2000001)));
        std::this_thread::sleep_for(100ms);
        EXPECT_TRUE(s.LinesStarting("rx 7A2#").empty());
    }

    // Expedited writes of 1 to 4 bytes: one request each, the command byte telling the length.
    const Bytes four{0x11, 0x22, 0x33, 0x44};
    for (std::uint8_t n = 1; n <= 4; ++n) {
        SCOPED_TRACE(static_cast<int>(n));
        const Bytes data(four.begin(), four.begin() + n);
        ASSERT_FALSE(s.Write(2, object::kSoftwareImage, 0, data));
        EXPECT_EQ(s.ReadFile("album.bin"), data);
        const std::uint8_t command = static_cast<std::uint8_t>(0x23 | (4 - n) << 2);
        EXPECT_EQ(s.Count("rx 7A2#" + Hex({command, 0x19, 0x10, 0x00})), 1u);
    }

    // Five bytes: a block initiation, refused with a fall-back code, then a segmented download.
    const Bytes five{1, 2, 3, 4, 5};
    ASSERT_FALSE(s.Write(2, object::kSoftwareImage, 0, five));
    EXPECT_EQ(s.ReadFile("album.bin"), five);
    EXPECT_EQ(s.Count("rx 7A2#" + Hex({0xC2, 0x19, 0x10, 0x00, 5, 0, 0, 0})), 1u);
    EXPECT_EQ(s.Count("tx 782#" + Hex({0x80, 0x19, 0x10, 0x00, 0x00, 0x00, 0x04, 0x05})), 1u);
    EXPECT_EQ(s.Count("rx 7A2#" + Hex({0x21, 0x19, 0x10, 0x00, 5, 0, 0, 0})), 1u);

    // The node is on plain transfers now: a segmented read larger than the capacity gives
    // exactly the capacity.
    const ReadOutcome partial = s.Read(2, object::kDataSections, 3, 30);
    ASSERT_FALSE(partial.failed);
    EXPECT_EQ(partial.data, Bytes(section100.begin(), section100.begin() + 30));
    EXPECT_EQ(s.Count("rx 7A2#" + Hex({0x40, 0x1F, 0x10, 0x03})), 1u);
    EXPECT_TRUE(s.LinesStarting("rx 7A2#" + Hex({0xA0, 0x1F, 0x10, 0x03})).empty());

    // The unlock value brings block transfers back, on both sides.
    ASSERT_FALSE(s.Write(2, sdo::kUnlockIndex, 0, kUnlock));
    ASSERT_FALSE(s.Write(1, sdo::kUnlockIndex, 0, kUnlock));
    struct BlockRead {
        std::uint8_t sub;
        const Bytes* value;
        std::uint8_t block_size;  // what the client asks for
    };
    for (const BlockRead& r : {BlockRead{3, &section100, 10}, BlockRead{6, &section14, 2}}) {
        SCOPED_TRACE(static_cast<int>(r.sub));
        const ReadOutcome read = s.Read(2, object::kDataSections, r.sub, static_cast<std::int32_t>(r.value->size()));
        ASSERT_FALSE(read.failed);
        EXPECT_EQ(read.data, *r.value);
        EXPECT_EQ(s.Count("rx 7A2#" + Hex({0xA0, 0x1F, 0x10, r.sub, r.block_size, 0x07})), 1u);
        EXPECT_EQ(s.klp().COMMPROGKLP(2), 100);
    }
    if (::testing::Test::HasFailure()) {
        for (const LogLine& line : s.devsim().Lines()) {
            if (line.text.find("#") == 6 && (line.text[3] == '7')) std::printf("%s\n", line.text.c_str());
        }
    }
    const ReadOutcome small = s.Read(1, object::kPresenceMask, object::kPresenceMaskSub, 4, 3);
    ASSERT_FALSE(small.failed);
    EXPECT_EQ(small.data, Bytes({0b110, 0, 0, 0}));

    // Two threads reading two nodes at once, each with its own time-out.
    std::atomic<int> good[2] = {0, 0};
    std::atomic<bool> overlapped{false};
    std::atomic<int> running{0};
    auto reader = [&](std::uint8_t node, int slot) {
        EXPECT_EQ(s.klp().SETKLPTIMEOUT(1000), 21);
        for (int i = 0; i < 15; ++i) {
            if (++running == 2) overlapped = true;
            const ReadOutcome read = s.Read(node, object::kDataSections, 9, 3000);
            --running;
            if (!read.failed && read.data == section3000) ++good[slot];
        }
    };
    std::thread first(reader, 1, 0), second(reader, 2, 1);
    first.join();
    second.join();
    EXPECT_EQ(good[0], 15);
    EXPECT_EQ(good[1], 15);
    EXPECT_TRUE(overlapped);

    // The idle command (as the program sends it) switches the answered system state.
    TCANRECORD idle{static_cast<std::uint16_t>(0x60 + 5), 8, {0x10, 5, 0, 0, 0, 0, 0, 0}};
    s.klp().WRITECAN(&idle);
    std::uint8_t state = 0;
    for (int i = 0; i < 20 && state != 5; ++i) state = s.klp().GETSYSTEMSTATE();
    EXPECT_EQ(state, 5);
}

TEST(E2eTransfers, MebibyteBlockDownloadWithLostSegments) {
    constexpr std::size_t kSize = 1 << 20;
    // 1 MiB is 149797 segments: 1179 full blocks of 127, then a short block of 64.
    constexpr std::size_t kLastBlockStart = 1179 * 127;
    Session s;
    ASSERT_TRUE(s.Open({"--node", "2:0x1031:5", "--store-image", s.Path("album.bin"), "--drop-segment", "5",
                        "--drop-segment", std::to_string(kLastBlockStart + 30), "--log"}));
    ASSERT_TRUE(s.WaitReady());
    const Bytes image = Pattern(kSize, 7);
    EXPECT_EQ(s.klp().SETKLPTIMEOUT(60000), 1201);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_FALSE(s.Write(2, object::kSoftwareImage, 0, image));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(s.klp().COMMPROGKLP(2), 100);
    const Bytes stored = s.ReadFile("album.bin");
    ASSERT_EQ(stored.size(), kSize);
    EXPECT_TRUE(stored == image);
    // Each loss was answered by a confirmation of less than its block, and the rest was sent again.
    EXPECT_EQ(s.Count("tx 782#" + Hex({0xA2, 4, 127})), 1u);
    EXPECT_EQ(s.Count("tx 782#" + Hex({0xA2, 29, 127})), 1u);
    EXPECT_EQ(s.Count("tx 782#A2", 1180 + 2), 1180u + 2u);
    // No block went again whole: the request, every segment once, and the re-sent tails of the
    // two blocks (127 - 4 and 64 - 29 segments).
    EXPECT_EQ(s.Count("rx 7A2#", 1 + 149797 + 123 + 35), 1u + 149797u + 123u + 35u);
    std::printf("1 MiB block download with two lost segments: %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
}

TEST(E2eTransfers, ConfirmationThatNeverComes) {
    Session s;
    ASSERT_TRUE(s.Open({"--node", "2:0x1031:5", "--withhold-confirm", "--log"}));
    ASSERT_TRUE(s.WaitReady());
    EXPECT_EQ(s.klp().SETKLPTIMEOUT(2000), 41);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(s.Write(2, object::kSoftwareImage, 0, Pattern(20, 4)));
    const auto took = std::chrono::steady_clock::now() - start;
    // 41 ticks allow one re-send: at about 5 s after the block, failure about 5 s later.
    EXPECT_GT(took, 9s);
    EXPECT_LT(took, 30s);  // a loaded machine's ticks are slower, never faster
    s.Count("rx 7A2#01", 2);
    const auto first_segments = s.LinesStarting("rx 7A2#01");
    ASSERT_EQ(first_segments.size(), 2u);
    const auto gap = first_segments[1].at - first_segments[0].at;
    EXPECT_GT(gap, 4500ms);
    EXPECT_LT(gap, 15s);
    EXPECT_EQ(s.Count("rx 7A2#C2"), 1u);
}

}  // namespace
}  // namespace e2e
