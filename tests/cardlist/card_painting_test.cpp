// Pixels of the painted card list: background, card looks, grid lines, border, focus dots,
// items of each kind, and a hover repaint against a full repaint.
#include <gtest/gtest.h>

#include "controls/cardlist/card_bitmaps.h"
#include "platform/theme/fake_visual_styles.h"
#include "platform/ui/graphics/colors.h"
#include "tests/cardlist/card_list_fixture.h"

namespace cardlist {
namespace {

using testing::ListFixture;
using ui::ColorToRGB;
using ui::TRect;

TEST(CardPainting, BackgroundGridLinesAndBorder) {
    ListFixture f(4);
    f.list.Color().SetColor(ui::clBlack);
    f.list.Color().SetColorTo(ui::clWhite);
    auto img = f.Render();
    ui::TCanvas& c = img->Canvas();
    // Border (one pixel, BorderColor) around the area above the scroll bar.
    EXPECT_EQ(c.Pixels(0, 150), 0xB99D7Fu);
    EXPECT_EQ(c.Pixels(279, 150), 0xB99D7Fu);
    EXPECT_EQ(c.Pixels(140, 320 - ListFixture::kBar - 1), 0xB99D7Fu);
    // Horizontal black-to-white bands: dark at the left, light at the right, never decreasing.
    EXPECT_EQ(c.Pixels(1, 300), 0x000000u);
    EXPECT_EQ(c.Pixels(278, 300), 0xFEFEFEu);
    for (int x = 2; x < 278; ++x) {
        if (x >= 239 && x <= 241) continue;  // the grid line
        EXPECT_GE(c.Pixels(x, 300) & 0xFF, c.Pixels(x - 1, 300) & 0xFF) << x;
    }
    // The grid line between columns 1 and 2: two pixels wide, centred on x = 240.
    const ui::TColor grid = ColorToRGB(ui::clBtnFace);
    EXPECT_EQ(c.Pixels(239, 200), grid);
    EXPECT_EQ(c.Pixels(240, 200), grid);
    EXPECT_NE(c.Pixels(241, 200), grid);
    EXPECT_NE(c.Pixels(238, 200), grid);
}

TEST(CardPainting, CardLooksTable) {
    struct Case {
        const char* name;
        void (*apply)(TFineCard&);
        ui::TColor caption;  // caption background
        ui::TColor frame;    // the pixel just outside the card, clNone: no frame
    };
    const Case cases[] = {
        {"normal", [](TFineCard&) {}, ColorToRGB(ui::clBtnFace), ui::clNone},
        {"hover", [](TFineCard& c) { c.Hovered = true; }, ColorToRGB(ui::clBtnFace), 0xC0C0C0},
        {"selected", [](TFineCard& c) { c.SetSelected(true); }, 0x800000, ColorToRGB(ui::clBtnFace)},
        {"editing", [](TFineCard& c) { c.Editing = true; }, 0x800000, ColorToRGB(ui::clBtnFace)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ListFixture f(2);
        f.list.Color().SetColor(ui::clWhite);
        k.apply(f.Card(0));
        f.Arrange();
        auto img = f.Render();
        ui::TCanvas& c = img->Canvas();
        const TRect cap = f.Card(0).CaptionClientRect;
        ASSERT_FALSE(cap.IsEmpty());
        EXPECT_EQ(c.Pixels(cap.Right - 2, cap.Top + 1), k.caption);
        const TRect b = f.Card(0).ListRect;
        EXPECT_EQ(c.Pixels(b.Left - 1, b.Top + 30), k.frame == ui::clNone ? ui::clWhite : k.frame);
        // The caption text is drawn in the caption font's colour (black, or white when selected).
        bool text = false;
        const ui::TColor font = ColorToRGB(f.Card(0).Appearance().CaptionFont().Color());
        for (int y = cap.Top; y < cap.Bottom && !text; ++y)
            for (int x = cap.Left; x < cap.Left + 40 && !text; ++x) text = c.Pixels(x, y) == font;
        EXPECT_TRUE(text);
    }
}

TEST(CardPainting, FocusDotsOnlyWhileFocused) {
    ListFixture f(2);
    f.Card(0).SetSelected(true);
    f.Card(0).SetItemIndex(0);
    f.Arrange();
    auto count_focus = [&](bool focused) {
        f.focused = focused;
        auto img = f.Render();
        const TRect label = f.Card(0).Items().Items(0)->LabelClientRect;
        int dots = 0;
        for (int x = f.Card(0).ListRect.Left + 1; x < f.Card(0).ListRect.Right - 1; ++x) {
            if (img->Canvas().Pixels(x, label.Top - 1) == 0x808080u) ++dots;
        }
        return dots;
    };
    EXPECT_EQ(count_focus(false), 0);
    EXPECT_GT(count_focus(true), 50);  // every other pixel along ~200
}

// The focus rectangle is drawn with the class library's focus-frame pen: the dots start at the
// frame's top-left pixel wherever the frame lies, and a system colour is resolved first.
TEST(CardPainting, FocusFrameStartsAtItsCornerInTheResolvedColour) {
    for (int left : {0, 1}) {
        SCOPED_TRACE(left);
        ListFixture f(1);
        f.list.SetCardHorSpacing(20 + left);
        f.list.SetFocusColor(ui::clBtnShadow);
        f.Card(0).SetSelected(true);
        f.Card(0).SetItemIndex(0);
        f.Arrange();
        f.focused = true;
        auto img = f.Render();
        const TRect label = f.Card(0).Items().Items(0)->LabelClientRect;
        const int x0 = f.Card(0).ListRect.Left + 1;
        const ui::TColor dot = ColorToRGB(ui::clBtnShadow);
        EXPECT_EQ(img->Canvas().Pixels(x0, label.Top - 1), dot);
        EXPECT_NE(img->Canvas().Pixels(x0 + 1, label.Top - 1), dot);
        EXPECT_EQ(img->Canvas().Pixels(x0 + 2, label.Top - 1), dot);
    }
}

TEST(CardPainting, OriginalPictureIsPlacedAndClipped) {
    for (bool transparent : {false, true}) {
        SCOPED_TRACE(transparent);
        ListFixture f(1);
        f.list.Color().SetColor(ui::clWhite);
        f.list.CardNormalAppearance().Color().SetColor(ui::clWhite);
        f.item->SetDataType(TFineCardItemDataType::idtImage);
        f.item->SetTransparentImage(transparent);
        f.Arrange();
        const TRect value = f.Card(0).Items().Items(0)->ValueClientRect;
        ASSERT_GT(value.Width(), 4);
        // Blue, 6 columns wider than the value rectangle, with a red first column; its
        // bottom-left pixel is red, so with transparency the red column leaves the background.
        ui::TBitmap& pic = f.Card(0).Items().Items(0)->Picture().Bitmap();
        pic.SetSize(value.Width() + 6, value.Height());
        pic.Canvas().Brush().SetColor(ui::clBlue);
        pic.Canvas().FillRect(TRect{0, 0, pic.Width(), pic.Height()});
        pic.Canvas().Brush().SetColor(ui::clRed);
        pic.Canvas().FillRect(TRect{0, 0, 1, pic.Height()});
        f.Arrange();
        auto img = f.Render();
        ui::TCanvas& c = img->Canvas();
        const int mid = value.Top + value.Height() / 2;
        EXPECT_EQ(c.Pixels(value.Left, mid), transparent ? ui::clWhite : ui::clRed);
        EXPECT_EQ(c.Pixels(value.Left + 1, mid), ui::clBlue);
        EXPECT_EQ(c.Pixels(value.Right - 1, mid), ui::clBlue);
        EXPECT_NE(c.Pixels(value.Right, mid), ui::clBlue);  // cut at the edge, not scaled
    }
}

TEST(CardPainting, CheckBoxOwnBitmapOrThemedAndTooNarrow) {
    ListFixture f(1);
    f.item->SetDataType(TFineCardItemDataType::idtBoolean);
    f.Card(0).Items().Items(0)->SetAsBoolean(true);
    f.Arrange();
    const TRect value = f.Card(0).Items().Items(0)->ValueClientRect;
    const TRect box = CardPainter::ItemCheckBoxRect(value, TAlignment::taLeftJustify, TTextLayout::tlCenter, 13);
    {
        auto img = f.Render();
        // Our own bitmap: grey frame, black tick.
        EXPECT_EQ(img->Canvas().Pixels(box.Left, box.Top), ui::clGray);
        EXPECT_EQ(img->Canvas().Pixels(box.Left + 5, box.Top + 8), ui::clBlack);
    }
    {
        theme::FakeVisualStyles styles;
        theme::ScopedVisualStyles scope(styles);
        auto img = f.Render();
        ASSERT_EQ(styles.drawn.size(), 1u);
        EXPECT_EQ(styles.opened, (std::vector<std::string>{"button"}));
        EXPECT_EQ(styles.closed, 1);
        EXPECT_EQ(styles.drawn[0].part, theme::kCheckBoxPart);
        EXPECT_EQ(styles.drawn[0].state, theme::kCheckBoxCheckedState);
        EXPECT_EQ(img->Canvas().Pixels(box.Left + 6, box.Top + 6), theme::FakeVisualStyles::kCheckedColor);
    }
}

TEST(CardPainting, CheckBoxRectTable) {
    const TRect r{10, 20, 110, 60};
    struct Case {
        TAlignment a;
        TTextLayout l;
        int left, top;
    };
    const Case cases[] = {
        {TAlignment::taLeftJustify, TTextLayout::tlTop, 10, 20},
        {TAlignment::taRightJustify, TTextLayout::tlBottom, 97, 47},
        {TAlignment::taCenter, TTextLayout::tlCenter, 53, 33},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CardPainter::ItemCheckBoxRect(r, c.a, c.l, 13), ui::Bounds(c.left, c.top, 13, 13));
    }
}

TEST(CardPainting, ClassicProgressOverHundredShowsFullBar) {
    test_support::EnsureApplication();  // the percentage text needs fonts
    ui::TBitmap bmp;
    bmp.SetSize(120, 24);
    bmp.Canvas().Brush().SetColor(ui::clWhite);
    bmp.Canvas().FillRect(TRect{0, 0, 120, 24});
    TProgressAppearance look;
    look.SetUnCompleteColor(ui::clWhite);
    CardPainter::DrawProgress(bmp.Canvas(), TRect{0, 0, 120, 24}, 150, 100, 0, true, look);
    // The whole inner bar is the completed colour (red) apart from the text.
    int red = 0;
    for (int x = 3; x < 117; ++x) red += bmp.Canvas().Pixels(x, 4) == ui::clRed;
    EXPECT_EQ(red, 114);
}

TEST(CardPainting, HoverRepaintEqualsFullRepaint) {
    ListFixture f(6);
    f.list.Color().SetColor(ui::clBlack);
    f.list.Color().SetColorTo(ui::clWhite);
    auto before = f.Render();
    // Card 1 becomes hovered: only its frame rectangle is repainted onto the old picture.
    f.Card(1).Hovered = true;
    f.list.Cards().ApplyCardAppearance(&f.Card(1));
    const TRect hover = CardPainter(f.settings, f.list.Cards()).HoverRect(1);
    ASSERT_GT(f.Card(1).Appearance().TotalFrameWidth(), 0);
    f.PaintInto(*before, hover);
    auto full = f.Render();
    int differ = 0;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 280; ++x) differ += before->Canvas().Pixels(x, y) != full->Canvas().Pixels(x, y);
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(full->Canvas().Pixels(hover.Left, hover.Top + 20), 0xC0C0C0u);
}

}  // namespace
}  // namespace cardlist
