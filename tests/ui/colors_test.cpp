#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/graphics.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(Colors, ColorToRgbResolvesSystemColoursAndKeepsOthers) {
    struct Case {
        TColor in;
        TColor out;
    };
    const Case cases[] = {
        {clRed, 0x0000FF},
        {0x123456, 0x123456},
        {clNone, clNone},
        {clDefault, clDefault},
        {clWindow, SystemColor(5)},
        {clBtnFace, SystemColor(15)},
        {clHighlight, SystemColor(13)},
        {clSystemColor | 200, clBlack},  // outside the table
    };
    for (const Case& c : cases) EXPECT_EQ(ColorToRGB(c.in), c.out) << std::hex << c.in;
    // Every entry of the table is a fixed colour, so resolving twice changes nothing.
    for (int i = 0; i < kSystemColorCount; ++i) {
        EXPECT_FALSE(IsSystemColor(SystemColor(i))) << i;
        EXPECT_EQ(SystemColor(i) & 0xFF000000u, 0u) << i;
    }
    EXPECT_EQ(SystemColor(-1), clBlack);
}

TEST(Colors, ChannelsOfBgrLayout) {
    EXPECT_EQ(MakeColor(0x11, 0x22, 0x33), 0x332211u);
    EXPECT_EQ(RedOf(0x332211), 0x11);
    EXPECT_EQ(GreenOf(0x332211), 0x22);
    EXPECT_EQ(BlueOf(0x332211), 0x33);
}

TEST(GraphicsObjects, OnChangeFiresOnlyForRealChanges) {
    TFont font;
    int changes = 0;
    font.OnChange = [&](TPersistent* sender) {
        EXPECT_EQ(sender, &font);
        ++changes;
    };
    font.SetColor(font.Color());
    font.SetName("");
    EXPECT_EQ(changes, 0);
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -13);  // 10 pt at 96 dpi
    EXPECT_EQ(font.Size(), 10);
    font.SetStyle({TFontStyle::fsBold});
    EXPECT_EQ(changes, 2);

    TBrush brush;
    int brush_changes = 0;
    brush.OnChange = [&](TPersistent*) { ++brush_changes; };
    brush.SetStyle(TBrushStyle::bsClear);
    brush.SetColor(brush.Color());  // a colour makes a clear brush solid again
    EXPECT_EQ(brush.Style(), TBrushStyle::bsSolid);
    EXPECT_EQ(brush_changes, 2);

    TPen pen;
    pen.SetWidth(0);
    EXPECT_EQ(pen.Width(), 1);
}

TEST(GraphicsObjects, AssignCopiesValuesAndRefusesOtherClasses) {
    TFont a;
    a.SetName("Arial");
    a.SetHeight(-20);
    a.SetCharset(ANSI_CHARSET);
    TFont b;
    b.Assign(&a);
    EXPECT_EQ(b.Name(), "Arial");
    EXPECT_EQ(b.Height(), -20);
    EXPECT_EQ(b.Charset(), ANSI_CHARSET);
    TPen pen;
    try {
        b.Assign(&pen);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TPen to a TFont");
    }
}

TEST(GraphicsObjects, FontNamesMapToInstalledFamilies) {
    EXPECT_EQ(MapFontFamily("Tahoma"), "Liberation Sans");
    EXPECT_EQ(MapFontFamily("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(MapFontFamily("DejaVu Sans Mono"), "DejaVu Sans Mono");
    EXPECT_EQ(MapFontFamily("Nonexistent Face"), "DejaVu Sans");
}

}  // namespace
}  // namespace ui
