#include "library/tracing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/library/sink_recorder.h"

namespace {

using klp_test::SinkRecorder;

class TracingTest : public ::testing::Test {
protected:
    void TearDown() override { klp::SetTraceMask(0); }
    SinkRecorder sinks_;
};

TEST_F(TracingTest, MaskStartsSilentAndSwitchesSingleAreas) {
    EXPECT_EQ(klp::TraceMask(), 0u);
    EXPECT_FALSE(klp::TraceOn(klp::trace::kRead));
    klp::SetTraceMask(klp::trace::kRead | klp::trace::kAdapterTx);
    EXPECT_TRUE(klp::TraceOn(klp::trace::kRead));
    EXPECT_TRUE(klp::TraceOn(klp::trace::kAdapterTx));
    EXPECT_FALSE(klp::TraceOn(klp::trace::kWrite));
    EXPECT_FALSE(klp::TraceOn(klp::trace::kAdapterRx));
}

TEST_F(TracingTest, PlainAndFormattedLinesAreWrittenAsGiven) {
    klp::TraceLine("[TUSBIntf::SetupRemoteData] canSend virt-RTR error!");
    klp::TraceFormat("VARNHOLDklp_lib: openKLP = %u  ~~~~~~", 1u);
    klp::TraceFormat("VARNHOLDklp_lib: @T:%u readKLP( node=%u idx=%06x subI=%02x )  ...", 7u, 3u, 0x1018u, 2u);
    klp::TraceFormat("VARNHOLDklp_lib: SetTraceFlags(traceFlags:%08x)", 0x30004u);
    const std::vector<std::string> expected = {
        "[TUSBIntf::SetupRemoteData] canSend virt-RTR error!",
        "VARNHOLDklp_lib: openKLP = 1  ~~~~~~",
        "VARNHOLDklp_lib: @T:7 readKLP( node=3 idx=001018 subI=02 )  ...",
        "VARNHOLDklp_lib: SetTraceFlags(traceFlags:00030004)",
    };
    EXPECT_EQ(sinks_.Lines(), expected);
}

TEST_F(TracingTest, FormattedLineIsCutAtTheBufferSize) {
    const std::string long_text(3000, 'x');
    klp::TraceFormat("VARNHOLDklp_lib: %s", long_text.c_str());
    // A following short line must not carry anything of the cut one.
    klp::TraceFormat("VARNHOLDklp_lib: %d", 5);
    const auto lines = sinks_.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 2047u);
    EXPECT_EQ(lines[0].rfind("VARNHOLDklp_lib: xxx", 0), 0u);
    EXPECT_EQ(lines[1], "VARNHOLDklp_lib: 5");
}

struct DumpCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* tail;
    std::string expected;
};

TEST_F(TracingTest, DumpWritesUpperCaseHexBytesThenTheTail) {
    std::vector<std::uint8_t> forty(40);
    for (std::size_t i = 0; i < forty.size(); ++i) forty[i] = static_cast<std::uint8_t>(0xF0 + i);
    std::string first_32;
    for (std::size_t i = 0; i < 32; ++i) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        first_32 += kHex[forty[i] >> 4];
        first_32 += kHex[forty[i] & 0xF];
        first_32 += ' ';
    }
    const std::vector<DumpCase> cases = {
        {"two bytes", {0x0A, 0x1F}, "]", "LEN=2[0A 1F ]"},
        {"no tail", {0x00, 0xFF}, nullptr, "LEN=2[00 FF "},
        {"nothing", {}, "]", "LEN=0[]"},
        {"cut at 32", forty, "...]", "LEN=40[" + first_32 + "...]"},
    };
    for (const DumpCase& c : cases) {
        sinks_.Clear();
        const std::size_t count = std::min<std::size_t>(c.bytes.size(), 32);
        klp::TraceDump(count, c.bytes.data(), c.tail, "LEN=%u[", static_cast<unsigned>(c.bytes.size()));
        const auto lines = sinks_.Lines();
        ASSERT_EQ(lines.size(), 1u) << c.name;
        EXPECT_EQ(lines[0], c.expected) << c.name;
    }
}

TEST_F(TracingTest, DumpAfterAFullBufferStaysWithinIt) {
    const std::string long_text(2100, 'y');
    const std::array<std::uint8_t, 4> bytes = {1, 2, 3, 4};
    klp::TraceDump(bytes.size(), bytes.data(), "]", "%s", long_text.c_str());
    const auto lines = sinks_.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string(2047, 'y'));
}

TEST_F(TracingTest, AdapterRecordDumps) {
    // A remote frame on 0x7ED with DLC 0, as the transmit record carries it.
    std::uint32_t remote[16] = {0x7ED, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    klp::TraceAdapterRecord("VARNHOLDzud-Tx ----", remote, false);
    // A received standard frame: kind and COB-ID both as four digits, then only low bytes.
    std::uint32_t received[16] = {0x7001, 0x185, 3, 0xAB, 0x1CD, 0x2F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x99};
    klp::TraceAdapterRecord("VARNHOLDzud-Rx", received, true);
    const std::vector<std::string> expected = {
        "VARNHOLDzud-Tx ---- 07ED,00,00,00,00,00,00,00,00,00,00,01,00,00,00,00",
        "VARNHOLDzud-Rx 7001,0185,03,AB,CD,2F,00,00,00,00,00,00,00,00,00,99",
    };
    EXPECT_EQ(sinks_.Lines(), expected);
}

TEST_F(TracingTest, LinesFromManyThreadsNeverMix) {
    constexpr int kThreads = 4;
    constexpr int kLinesPerThread = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(t), 0xEE, static_cast<std::uint8_t>(t)};
            std::uint32_t record[16] = {};
            record[0] = static_cast<std::uint32_t>(t);
            for (int i = 0; i < kLinesPerThread; ++i) {
                klp::TraceDump(3, bytes, "]", "T%d[", t);
                klp::TraceAdapterRecord("R", record, false);
            }
        });
    }
    for (std::thread& t : threads) t.join();
    const auto lines = sinks_.Lines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(2 * kThreads * kLinesPerThread));
    for (const std::string& line : lines) {
        bool known = false;
        for (int t = 0; t < kThreads; ++t) {
            char dump[32];
            std::snprintf(dump, sizeof dump, "T%d[%02X EE %02X ]", t, t, t);
            char rec[80];
            std::snprintf(rec, sizeof rec, "R %04X,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00", t);
            known = known || line == dump || line == rec;
        }
        EXPECT_TRUE(known) << line;
    }
}

}  // namespace
