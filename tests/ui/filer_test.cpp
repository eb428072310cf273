// Properties an object streams itself: the bytes the writer puts down for each integer kind, the
// reader handing them back, and broken lists raising EReadError without touching the object.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/ui/core/filer.h"
#include "platform/ui/core/persistent.h"
#include "platform/ui/core/streams.h"

namespace ui {
namespace {

// Two integer properties, one of which is written only when it is not zero.
class TwoNumbers : public TPersistent {
public:
    std::int32_t always = 0, when_set = 0;
    void DefineProperties(TFiler& filer) override {
        filer.DefineIntegerProperty(
            "Always", [this](std::int32_t v) { always = v; }, [this] { return always; }, true);
        filer.DefineIntegerProperty(
            "WhenSet", [this](std::int32_t v) { when_set = v; }, [this] { return when_set; }, when_set != 0);
    }
};

std::vector<std::uint8_t> BytesOf(TMemoryStream& stream) {
    std::vector<std::uint8_t> bytes(static_cast<size_t>(stream.Size()));
    stream.SetPosition(0);
    stream.ReadBuffer(bytes.data(), stream.Size());
    return bytes;
}

void Put(TMemoryStream& stream, const std::vector<std::uint8_t>& bytes) {
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
}

TEST(Filer, WritesEachIntegerInItsSmallestKindAndLeavesOutPropertiesWithoutData) {
    struct Case {
        std::int32_t value;
        std::vector<std::uint8_t> value_bytes;
    };
    const Case cases[] = {
        {0, {2, 0x00}},
        {-128, {2, 0x80}},
        {127, {2, 0x7F}},
        {128, {3, 0x80, 0x00}},
        {-32768, {3, 0x00, 0x80}},
        {32768, {4, 0x00, 0x80, 0x00, 0x00}},
        {-2147483647 - 1, {4, 0x00, 0x00, 0x00, 0x80}},
    };
    for (const Case& c : cases) {
        TwoNumbers object;
        object.always = c.value;
        TMemoryStream stream;
        WriteDefinedProperties(object, stream);
        std::vector<std::uint8_t> expected = {6, 'A', 'l', 'w', 'a', 'y', 's'};
        expected.insert(expected.end(), c.value_bytes.begin(), c.value_bytes.end());
        expected.push_back(0);
        EXPECT_EQ(BytesOf(stream), expected) << c.value;

        TwoNumbers back;
        back.always = 99;
        stream.SetPosition(0);
        ReadDefinedProperties(back, stream);
        EXPECT_EQ(back.always, c.value);
        EXPECT_EQ(back.when_set, 0);
    }
}

TEST(Filer, ReadsBackEveryPropertyAndSkipsNamesNobodyDefines) {
    TMemoryStream stream;
    Put(stream, {7,   'W', 'h', 'e', 'n', 'S', 'e', 't', 3,   0x34, 0x12, 5, 'O',  't', 'h',
                 'e', 'r', 2,   5,   6,   'A', 'l', 'w', 'a', 'y',  's',  2, 0xFF, 0});
    TwoNumbers object;
    ReadDefinedProperties(object, stream);
    EXPECT_EQ(object.when_set, 0x1234);
    EXPECT_EQ(object.always, -1);
}

TEST(Filer, ABrokenListRaisesAReadErrorAndChangesNothing) {
    const std::vector<std::uint8_t> broken[] = {
        {},                                          // no end of list
        {6, 'A', 'l', 'w', 'a', 'y', 's', 2},        // value cut off
        {6, 'A', 'l', 'w'},                          // name cut off
        {6, 'A', 'l', 'w', 'a', 'y', 's', 9, 1, 0},  // a value kind that is not an integer
    };
    for (const auto& bytes : broken) {
        TMemoryStream stream;
        if (!bytes.empty()) Put(stream, bytes);
        TwoNumbers object;
        object.always = 42;
        EXPECT_THROW(ReadDefinedProperties(object, stream), EReadError) << bytes.size();
        EXPECT_EQ(object.always, 42);
    }
}

// A property of binary data, written only when there is some.
class Blob : public TPersistent {
public:
    std::vector<std::uint8_t> bytes;
    void DefineProperties(TFiler& filer) override {
        filer.DefineBinaryProperty(
            "Blob", [this](TStream& s) { bytes = ReadRemaining(s); },
            [this](TStream& s) { s.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size())); },
            !bytes.empty());
    }
};

TEST(Filer, BinaryDataIsItsLengthAndBytesAndALyingLengthIsRefused) {
    Blob object;
    object.bytes = {7, 8, 9};
    TMemoryStream stream;
    WriteDefinedProperties(object, stream);
    EXPECT_EQ(BytesOf(stream), (std::vector<std::uint8_t>{4, 'B', 'l', 'o', 'b', 10, 3, 0, 0, 0, 7, 8, 9, 0}));
    Blob back;
    stream.SetPosition(0);
    ReadDefinedProperties(back, stream);
    EXPECT_EQ(back.bytes, object.bytes);

    TMemoryStream lying;
    Put(lying, {4, 'B', 'l', 'o', 'b', 10, 0xFF, 0xFF, 0xFF, 0xFF, 7, 0});
    EXPECT_THROW(ReadDefinedProperties(back, lying), EReadError);
    EXPECT_EQ(back.bytes, object.bytes);
}

}  // namespace
}  // namespace ui
