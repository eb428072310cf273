#include "platform/canapi/frame_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using canapi::Frame;

Frame Data(std::uint32_t id, std::initializer_list<std::uint8_t> bytes, bool extended = false) {
    Frame f;
    f.id = id;
    f.extended = extended;
    for (auto b : bytes) f.data[f.dlc++] = b;
    return f;
}

Frame Remote(std::uint32_t id, std::uint8_t dlc = 0) {
    Frame f;
    f.id = id;
    f.rtr = true;
    f.dlc = dlc;
    return f;
}

struct GoodCase {
    const char* text;
    Frame frame;
    const char* formatted;  // the canonical form written back
};

void PrintTo(const GoodCase& c, std::ostream* os) { *os << c.text; }

class FrameTextGood : public ::testing::TestWithParam<GoodCase> {};

TEST_P(FrameTextGood, ParsesAndFormatsCanonically) {
    const GoodCase& c = GetParam();
    const canapi::FrameParse parsed = canapi::ParseFrameText(c.text);
    ASSERT_TRUE(parsed.frame) << c.text << ": " << parsed.error;
    EXPECT_EQ(*parsed.frame, c.frame);
    EXPECT_EQ(canapi::FormatFrameText(*parsed.frame), c.formatted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameTextGood,
    ::testing::Values(GoodCase{"7E9#0105010000000000", Data(0x7E9, {1, 5, 1, 0, 0, 0, 0, 0}), "7E9#0105010000000000"},
                      GoodCase{"7ED#R", Remote(0x7ED), "7ED#R"}, GoodCase{"7ed#r3", Remote(0x7ED, 3), "7ED#R3"},
                      GoodCase{"000#", Data(0, {}), "000#"}, GoodCase{"7FF#ff", Data(0x7FF, {0xFF}), "7FF#FF"},
                      GoodCase{"123#11.22.33", Data(0x123, {0x11, 0x22, 0x33}), "123#112233"},
                      GoodCase{"  0B4#Aa\r\n", Data(0xB4, {0xAA}), "0B4#AA"},
                      GoodCase{"1FFFFFFF#0102", Data(0x1FFFFFFF, {1, 2}, true), "1FFFFFFF#0102"},
                      GoodCase{"00000123#", Data(0x123, {}, true), "00000123#"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct BadCase {
    const char* text;
    const char* error_part;
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.text; }

class FrameTextBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(FrameTextBad, RefusedWithAReason) {
    const BadCase& c = GetParam();
    const canapi::FrameParse parsed = canapi::ParseFrameText(c.text);
    EXPECT_FALSE(parsed.frame) << c.text;
    EXPECT_NE(parsed.error.find(c.error_part), std::string::npos) << c.text << " -> " << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(Cases, FrameTextBad,
                         ::testing::Values(BadCase{"", "missing '#'"}, BadCase{"7E90105", "missing '#'"},
                                           BadCase{"7E#01", "3 (standard) or 8 (extended)"},
                                           BadCase{"07E9#01", "3 (standard) or 8 (extended)"},
                                           BadCase{"7G9#01", "not hexadecimal"}, BadCase{"800#01", "out of range"},
                                           BadCase{"20000000#01", "out of range"}, BadCase{"7E9#010", "odd number"},
                                           BadCase{"7E9#0.1", "odd number"}, BadCase{"7E9#0x", "not hexadecimal"},
                                           BadCase{"7E9#010203040506070809", "more than 8"},
                                           BadCase{"7E9#R9", "one digit 0..8"}, BadCase{"7E9#R12", "one digit 0..8"},
                                           BadCase{"7E9##10011", "CAN FD"}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(FrameTextFormat, WritesOnlyTheDlcBytesAndNothingForRemoteData) {
    Frame f = Data(0x1A, {0xDE, 0xAD});
    f.data[2] = 0x77;  // beyond the DLC: not written
    EXPECT_EQ(canapi::FormatFrameText(f), "01A#DEAD");
    Frame r = Remote(0x7ED, 8);
    r.data[0] = 0x55;
    EXPECT_EQ(canapi::FormatFrameText(r), "7ED#R8");
}

}  // namespace
