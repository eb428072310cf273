#include "app/device_family.h"

#include <gtest/gtest.h>

#include "app/family_setting.h"
#include "platform/ui/core/exceptions.h"

namespace app {
namespace {

TEST(DeviceFamilyTest, TableRowsAsTheDevicesExpect) {
    struct Row {
        int family, variant;
        const char* name;
        std::uint32_t id;
        std::uint16_t node_type;
        std::uint8_t kind, min_hw, max_hw;
        std::uint32_t start, capacity;
        std::uint16_t w, h;
    };
    const Row rows[] = {
        {0, 0, "Rurerovirez", 0x58310009, 0x1035, 0, 4, 6, 0x401C0000, 0x40000, 176, 220},
        {0, 1, "Rurerovirez", 0x58310109, 0x1043, 0, 4, 6, 0x401C0000, 0x40000, 176, 220},
        {1, 0, "Enhanced Display", 0x58332309, 0x1031, 0, 2, 3, 0x40340000, 0xC0000, 320, 240},
        {1, 1, "Enhanced Display", 0x58332309, 0x1031, 0, 5, 5, 0x40740000, 0xC0000, 320, 240},
        {2, 0, "Enhanced Display", 0x58332303, 0x0431, 0, 4, 5, 0x40740000, 0xC0000, 320, 240},
        {2, 1, "*** Not used ***", 0, 0, 0, 0, 0, 0, 0, 320, 240},
        {3, 0, "V2-Rurerovirez", 0x58318009, 0x1054, 11, 0, 255, 0x68740000, 0xC0000, 240, 320},
        {3, 1, "V2-Rurerovirez L", 0x58318109, 0x1055, 11, 0, 255, 0x68740000, 0xC0000, 240, 320},
        {4, 0, "V2-Enhanced Display", 0x58338309, 0x1056, 11, 0, 255, 0x68740000, 0xC0000, 240, 320},
        {4, 1, "*** Not used ***", 0, 0, 0, 0, 0, 0, 0, 240, 320},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "family " << r.family << " variant " << r.variant);
        const TDeviceProperty& v = DeviceFamilyAt(r.family).Variants[static_cast<std::size_t>(r.variant)];
        EXPECT_STREQ(v.Name, r.name);
        EXPECT_EQ(v.DeviceId, r.id);
        EXPECT_EQ(v.NodeType, r.node_type);
        EXPECT_EQ(v.FileKind, r.kind);
        EXPECT_EQ(v.MinHardware, r.min_hw);
        EXPECT_EQ(v.MaxHardware, r.max_hw);
        EXPECT_EQ(v.Reserved, 0u);
        EXPECT_EQ(v.StartAddress, r.start);
        EXPECT_EQ(v.Capacity, r.capacity);
        EXPECT_EQ(v.Width, r.w);
        EXPECT_EQ(v.Height, r.h);
    }
    const int counts[] = {2, 2, 1, 2, 1};
    for (int f = 0; f < kDeviceFamilyCount; ++f) EXPECT_EQ(DeviceFamilyAt(f).Count, counts[f]) << f;
}

TEST(DeviceFamilyTest, V2AndSelectableFamilies) {
    const struct {
        int family;
        bool v2, selectable;
    } rows[] = {{-1, false, false}, {0, false, true}, {1, false, true}, {2, false, false},
                {3, true, true},    {4, true, true},  {5, false, false}};
    for (const auto& row : rows) {
        EXPECT_EQ(IsV2Family(row.family), row.v2) << row.family;
        EXPECT_EQ(IsSelectableFamily(row.family), row.selectable) << row.family;
    }
    EXPECT_EQ(kDefaultDeviceFamily, 0);
}

TEST(DeviceFamilyTest, IndexOutsideTheTableRaises) {
    EXPECT_THROW(DeviceFamilyAt(-1), ui::Exception);
    EXPECT_THROW(DeviceFamilyAt(5), ui::Exception);
    EXPECT_THROW(ScreenWidth(7), ui::Exception);
}

TEST(DeviceFamilyTest, CardWidthIsScreenWidthPlus14) {
    EXPECT_EQ(AlbumCardWidth(0), 190);
    EXPECT_EQ(AlbumCardWidth(1), 334);
    EXPECT_EQ(AlbumCardWidth(3), 254);
    EXPECT_EQ(AlbumCardWidth(4), 254);
}

TEST(DeviceFamilyTest, IdentityTextIsUpperCaseHexHalves) {
    EXPECT_EQ(IdentityText(DeviceFamilyAt(3).Variants[0]), "5831-8009");
    EXPECT_EQ(IdentityText(DeviceFamilyAt(0).Variants[1]), "5831-0109");
    TDeviceProperty odd = DeviceFamilyAt(0).Variants[0];
    odd.DeviceId = 0x00ABCDEF;
    EXPECT_EQ(IdentityText(odd), "00AB-CDEF");
}

struct FitCase {
    int w, h, W, H;
    ui::TRect expected;
};

TEST(FitPictureRectTest, WideTallAndExactAspectOnEveryScreen) {
    const FitCase cases[] = {
        // 176 x 220
        {1000, 450, 176, 220, {0, 0, 176, 79}},     // wide: top, black below
        {1000, 900, 176, 220, {-34, 0, 210, 220}},  // taller than 3:4 but wider than the screen
        {400, 300, 176, 220, {0, 0, 176, 132}},     // exactly 3:4 fits the width
        {300, 600, 176, 220, {33, 0, 143, 220}},    // tall: bars left and right
        // 320 x 240
        {640, 480, 320, 240, {0, 0, 320, 240}},
        {500, 700, 320, 240, {74, 0, 245, 240}},
        {800, 200, 320, 240, {0, 0, 320, 80}},
        // 240 x 320
        {640, 480, 240, 320, {0, 0, 240, 180}},
        {480, 640, 240, 320, {0, 0, 240, 320}},  // 3:4 portrait fills the screen
        {1000, 300, 240, 320, {0, 0, 240, 72}},
        {100, 400, 240, 320, {80, 0, 160, 320}},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " on " << c.W << "x" << c.H);
        EXPECT_EQ(FitPictureRect(c.w, c.h, c.W, c.H), c.expected);
    }
}

// Double precision rounds these quotients the other way; the device tools computed them in
// extended precision and the stored albums carry their results.
TEST(FitPictureRectTest, ExtendedPrecisionWhereDoubleDiffers) {
    const FitCase cases[] = {
        {12, 9, 320, 240, {0, 0, 320, 239}},   // double: 240
        {1, 1, 320, 240, {40, 0, 279, 240}},   // double: s = 240
        {9, 33, 176, 220, {58, 0, 117, 220}},  // double: s = 60
        {9, 12, 240, 320, {0, 0, 239, 320}},   // double: s = 240
        {50, 25, 176, 220, {0, 0, 176, 88}},   // double: 87
        {2, 1, 240, 320, {0, 0, 240, 119}},    // double: 120
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " on " << c.W << "x" << c.H);
        EXPECT_EQ(FitPictureRect(c.w, c.h, c.W, c.H), c.expected);
    }
}

TEST(FitPictureRectTest, EmptyPictureGivesEmptyRect) {
    EXPECT_TRUE(FitPictureRect(0, 10, 320, 240).IsEmpty());
    EXPECT_TRUE(FitPictureRect(10, 0, 320, 240).IsEmpty());
}

}  // namespace
}  // namespace app
