// Menu drawing utilities and the text-drawing wrapper.
#include <gtest/gtest.h>

#include "controls/menus/fine_main_menu.h"
#include "controls/menus/gdip.h"
#include "controls/menus/menu_util.h"
#include "platform/ui/forms/menu_bar.h"
#include "platform/ui/graphics/bitmap.h"
#include "tests/support/render.h"

namespace {

using namespace menus;

TEST(MenuUtil, CenterRectLeavesTheOddPixelRightAndBelow) {
    const struct {
        ui::TRect in;
        int w, h;
        ui::TRect out;
    } rows[] = {
        {{0, 0, 10, 10}, 4, 4, {3, 3, 7, 7}},
        {{0, 0, 10, 10}, 3, 3, {3, 3, 6, 6}},
        {{2, 5, 26, 25}, 16, 16, {6, 7, 22, 23}},
        {{0, 0, 10, 10}, 12, 12, {-1, -1, 11, 11}},
    };
    for (const auto& row : rows) {
        ui::TRect r = row.in;
        CenterRect(r, row.w, row.h);
        EXPECT_EQ(r, row.out) << row.w;
    }
    EXPECT_EQ(RectWidth(ui::TRect{3, 0, 10, 4}), 7);
    EXPECT_EQ(RectHeight(ui::TRect{3, 1, 10, 4}), 3);
}

TEST(MenuUtil, ColoursComposeAndSplit) {
    EXPECT_EQ(MakeColor(10, 36, 106, 0), 0x006A240Au);
    EXPECT_EQ(MakeColor(1, 2, 3, 4), 0x04030201u);
    std::uint8_t r = 0, g = 0, b = 0;
    SplitColor(0x00332211, r, g, b);
    EXPECT_EQ(r, 0x11);
    EXPECT_EQ(g, 0x22);
    EXPECT_EQ(b, 0x33);
    SplitColor(ui::clBtnFace, r, g, b);  // system colours resolve first
    const ui::TColor face = ui::ColorToRGB(ui::clBtnFace);
    EXPECT_EQ(r, face & 0xFF);
    EXPECT_EQ(ColorToGdipARGB(0x00332211), 0xFF112233u);
    EXPECT_EQ(ColorToGdipARGB(ui::clBtnFace) & 0xFF000000u, 0xFF000000u);
    EXPECT_EQ(Min(-3, 2), -3);
    EXPECT_EQ(Max(-3, 2), 2);
}

TEST(MenuUtil, RotatedFontCarriesEscapementWeightAndFace) {
    ui::TFont font;
    font.SetName("Tahoma");
    font.SetSize(14);
    font.SetStyle(ui::TFontStyles{ui::TFontStyle::fsBold});
    const ui::TLogFont down = CreateRotatedFont(font, -90);
    EXPECT_EQ(down.Escapement, -900);
    EXPECT_EQ(down.Weight, 700);
    EXPECT_EQ(down.Height, font.Height());
    EXPECT_EQ(down.FaceName, "Tahoma");
    EXPECT_EQ(down.CharSet, 1);
    EXPECT_FALSE(down.Italic);
    font.SetStyle(ui::TFontStyles{ui::TFontStyle::fsItalic});
    font.SetPitch(ui::TFontPitch::fpFixed);
    const ui::TLogFont up = CreateRotatedFont(font, 90);
    EXPECT_EQ(up.Escapement, 900);
    EXPECT_EQ(up.Weight, 400);
    EXPECT_TRUE(up.Italic);
    EXPECT_EQ(up.PitchAndFamily, 1);
}

TEST(MenuUtil, BitmapRectAndTheIndexError) {
    ui::TBitmap bitmap;
    bitmap.SetSize(7, 5);
    EXPECT_EQ(BitmapRect(&bitmap), (ui::TRect{0, 0, 7, 5}));
    EXPECT_EQ(BitmapRect(nullptr), (ui::TRect{0, 0, 0, 0}));
    try {
        RaiseInvalidPropertyIndex(4);
        FAIL();
    } catch (const EInvalidPropertyIndex& e) {
        EXPECT_STREQ(e.what(), "Invalid property index 4.");
    }
}

// The wrapper draws through the canvas; wrappers start the API when it is not running.
TEST(GdipWrapper, DrawsAndMeasuresTextOnACanvas) {
    test_support::EnsureApplication();
    GdipShutdown();
    ui::TBitmap bitmap;
    bitmap.SetPixelFormat(ui::TPixelFormat::pf32bit);
    bitmap.SetSize(80, 30);
    bitmap.Canvas().Brush().SetColor(ui::clWhite);
    bitmap.Canvas().FillRect(ui::TRect{0, 0, 80, 30});
    {
        TGPGraphics graphics(&bitmap.Canvas());
        EXPECT_EQ(graphics.LastStatus(), gdiplus::Ok);
        TGPFontFamily family(u"Tahoma", nullptr);
        TGPFont font(&family, 8.0f, 0, gdiplus::UnitPoint);
        TGPStringFormat format(gdiplus::StringFormatFlagsNoWrap, 0);
        EXPECT_EQ(format.SetHotkeyPrefix(gdiplus::HotkeyPrefixShow), gdiplus::Ok);
        EXPECT_EQ(format.SetAlignment(7), gdiplus::InvalidParameter);
        EXPECT_EQ(format.LastStatus(), gdiplus::InvalidParameter);
        EXPECT_EQ(graphics.SetTextRenderingHint(4), gdiplus::Ok);
        TGPSolidBrush brush(ColorToGdipARGB(ui::clBlack));
        RectF box;
        EXPECT_EQ(graphics.MeasureString(u"gh", 2, &font, RectF{0, 0, 80, 30}, &format, box, nullptr, nullptr),
                  gdiplus::Ok);
        EXPECT_GT(box.Height, 8.0f);
        EXPECT_LT(box.Height, 20.0f);
        EXPECT_EQ(graphics.DrawString("&File", -1, &font, RectF{2, 2, 76, 26}, &format, &brush), gdiplus::Ok);
    }
    int dark = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 80; ++x) dark += (bitmap.Canvas().Pixels(x, y) & 0xFF) < 0x80 ? 1 : 0;
    }
    EXPECT_GT(dark, 10);
    // A font without a family fails and keeps the status.
    TGPFont orphan(nullptr, 8.0f, 0, gdiplus::UnitPoint);
    EXPECT_EQ(orphan.LastStatus(), gdiplus::InvalidParameter);
}

// While the menus' unit lives, menus do not animate and the text API runs; afterwards the
// animation setting is what it was, and it never leaves the process.
TEST(MenusUnit, SwitchesAnimationOffForItsLifetimeAndRunsTheTextApi) {
    for (bool before : {true, false}) {
        ui::SetMenuAnimation(before);
        GdipShutdown();
        {
            TMenusUnit unit;
            EXPECT_FALSE(ui::MenuAnimation()) << before;
            void* block = gdiplus::GdipAlloc(16);
            EXPECT_NE(block, nullptr);
            gdiplus::GdipFree(block);
        }
        EXPECT_EQ(ui::MenuAnimation(), before);
        EXPECT_EQ(gdiplus::GdipAlloc(16), nullptr);
    }
}

}  // namespace
