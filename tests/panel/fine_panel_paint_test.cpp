// Panel painting through the real paint event: chosen pixels against the places and colours
// the painting rules give, buffered and unbuffered alike, and the themed caption through the
// test binding of the visual styles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/panel/color_scheme.h"
#include "controls/panel/fine_panel.h"
#include "platform/theme/fake_visual_styles.h"
#include "platform/ui/controls/imagelist.h"
#include "tests/pictures/picture_fixture.h"
#include "tests/support/render.h"

namespace panel {
namespace {

using test_support::PixelAt;
using ui::TColor;

constexpr TColor kBody = 0xF0F0F0;
constexpr TColor kBar = 0x804020;

class PanelPaintTest : public testing::Test {
protected:
    void SetUp() override {
        test_support::EnsureApplication();
        panel.SetBounds(0, 0, 120, 100);
        panel.SetBevelOuter(ui::TBevelCut::bvNone);
        panel.SetColor(kBody);
        panel.Caption().SetColor(kBar);
    }
    QImage Render() { return test_support::RenderControl(panel); }
    // The toolkit's application has to exist before the panel's window.
    struct ApplicationFirst {
        ApplicationFirst() { test_support::EnsureApplication(); }
    } application_first;
    TFinePanel panel{nullptr};
};

TEST_F(PanelPaintTest, FlatCaptionInItsColourAndTheCloseColourWhileCollapsed) {
    panel.Caption().SetVisible(true);
    QImage image = Render();
    // Caption bar: the first Caption.Height - 2 x BevelWidth = 18 rows; the body below.
    EXPECT_EQ(PixelAt(image, 60, 0), kBar);
    EXPECT_EQ(PixelAt(image, 60, 17), kBar);
    EXPECT_EQ(PixelAt(image, 60, 18), kBody);
    EXPECT_EQ(PixelAt(image, 60, 60), kBody);
    panel.Caption().SetCloseColor(0x00C000);
    panel.StoreCollaps(true);
    image = Render();
    EXPECT_EQ(PixelAt(image, 60, 10), 0x00C000u);
    // With a raised bevel the bar sits inside it.
    panel.StoreCollaps(false);
    panel.SetBevelOuter(ui::TBevelCut::bvRaised);
    image = Render();
    EXPECT_EQ(PixelAt(image, 60, 0), ui::ColorToRGB(ui::clBtnHighlight));
    EXPECT_EQ(PixelAt(image, 60, 1), kBar);
    EXPECT_EQ(PixelAt(image, 60, 18), kBar);
    EXPECT_EQ(PixelAt(image, 60, 19), kBody);
    EXPECT_EQ(PixelAt(image, 119, 60), ui::ColorToRGB(ui::clBtnShadow));
}

TEST_F(PanelPaintTest, BodyBackgrounds) {
    // A two-part gradient: each half its own colours.
    panel.SetColorTo(0x0000FF);
    panel.SetColor(0x0000FF);
    panel.SetColorMirror(0xFF0000);
    panel.SetColorMirrorTo(0xFF0000);
    QImage image = Render();
    EXPECT_EQ(PixelAt(image, 60, 10), 0x0000FFu);
    EXPECT_EQ(PixelAt(image, 60, 49), 0x0000FFu);
    EXPECT_EQ(PixelAt(image, 60, 50), 0xFF0000u);
    EXPECT_EQ(PixelAt(image, 60, 99), 0xFF0000u);
    // One gradient, horizontal: the first band is Color, the last ColorTo's side.
    panel.SetColorMirror(ui::clNone);
    panel.SetColor(0x000000);
    panel.SetColorTo(0xF8F8F8);
    panel.SetGradientDirection(TGradientDirection::gdHorizontal);
    image = Render();
    EXPECT_EQ(PixelAt(image, 0, 50), 0x000000u);
    EXPECT_EQ(PixelAt(image, 119, 50), 0xF0F0F0u);  // band 31 of 32: round(31 x 248 / 32) = 240.25 -> 240
}

TEST_F(PanelPaintTest, BorderAndItsTwoShadowLines) {
    panel.SetBorderColor(0x0000FF);
    panel.SetBorderWidth(1);
    panel.SetBorderShadow(true);
    const QImage image = Render();
    // The border rectangle is pulled in by 2 on the right and bottom: columns 0..117, rows 0..97.
    EXPECT_EQ(PixelAt(image, 0, 50), 0x0000FFu);
    EXPECT_EQ(PixelAt(image, 117, 50), 0x0000FFu);
    EXPECT_EQ(PixelAt(image, 60, 97), 0x0000FFu);
    // Shadows: at x = 118 and y = 98 half border and half button face, one further out a fifth.
    const TColor face = ui::ColorToRGB(ui::clBtnFace);
    auto mix = [&](int percent) {
        auto ch = [&](int shift) {
            const double a = (0x0000FF >> shift) & 0xFF, b = (face >> shift) & 0xFF;
            return static_cast<TColor>(std::nearbyint(percent / 100.0 * a + (1 - percent / 100.0) * b)) << shift;
        };
        return ch(0) | ch(8) | ch(16);
    };
    EXPECT_EQ(PixelAt(image, 118, 50), mix(50));
    EXPECT_EQ(PixelAt(image, 60, 98), mix(50));
    EXPECT_EQ(PixelAt(image, 119, 50), mix(20));
    EXPECT_EQ(PixelAt(image, 60, 99), mix(20));
    EXPECT_EQ(PixelAt(image, 116, 50), kBody);
    // The shadow starts one pixel lower (and further right) than the border, two for the outer.
    EXPECT_EQ(PixelAt(image, 118, 0), kBody);
    EXPECT_EQ(PixelAt(image, 118, 1), mix(50));
    EXPECT_EQ(PixelAt(image, 119, 1), kBody);
    EXPECT_EQ(PixelAt(image, 119, 2), mix(20));
}

TEST_F(PanelPaintTest, SizeGripLinesEndInTheCorner) {
    panel.SetCanSize(true);
    QImage image = Render();
    // From the corner (120, 100): grey lines of width 2 on the diagonals x + y = 209 and 217 and
    // from (120, 94) to (113, 100), each two pixels thick; white lines of width 1 on
    // x + y = 208, 212, 216 drawn over them.
    const TColor grey = 0x808080, white = 0xFFFFFF;
    struct Px {
        int x, y;
        TColor color;
    };
    const Px expected[] = {{110, 98, white},      {110, 99, grey},  {111, 99, grey}, {115, 97, white},
                           {116, 98, grey},       {118, 98, white}, {119, 98, grey}, {105, 99, kBody},
                           {100, 100 - 1, kBody}, {116, 97, grey},  {114, 99, grey}};
    for (const Px& p : expected) EXPECT_EQ(PixelAt(image, p.x, p.y), p.color) << p.x << "," << p.y;
    // Collapsed, or not sizable, there is no grip.
    panel.StoreCollaps(true);
    image = Render();
    EXPECT_EQ(PixelAt(image, 110, 99), kBody);
}

TEST_F(PanelPaintTest, CloseCrossAndMinMaxTriangleAtTheirOffsets) {
    panel.Caption().SetVisible(true);
    panel.Caption().SetCloseButton(true);
    panel.Caption().SetMinMaxButton(true);
    panel.Caption().SetCloseButtonColor(0x00FF00);
    panel.Caption().SetMinMaxButtonColor(0x00FFFF);
    QImage image = Render();
    // The cross: two lines of width 2 from (right - 10, top + 4) to (right - 4, top + 10) and
    // back; right = 120, top = 0.
    for (auto [x, y] : {std::pair{110, 4}, {111, 5}, {113, 7}, {115, 9}, {116, 4}, {117, 4}, {111, 9}}) {
        EXPECT_EQ(PixelAt(image, x, y), 0x00FF00u) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{113, 4}, {109, 7}, {113, 11}}) EXPECT_EQ(PixelAt(image, x, y), kBar) << x << "," << y;
    // The triangle left of it (its right edge 12 further in, at 108): pointing up while expanded.
    EXPECT_EQ(PixelAt(image, 99, 7), 0x00FFFFu);
    EXPECT_EQ(PixelAt(image, 99, 6), kBar);
    panel.StoreCollaps(true);
    image = Render();
    EXPECT_EQ(PixelAt(image, 99, 7),
              panel.Caption().CloseColor() == kBar ? kBar : ui::ColorToRGB(panel.Caption().CloseColor()));
    EXPECT_EQ(PixelAt(image, 99, 6), 0x00FFFFu);  // pointing down
    // A hot close button takes its hover colour when it has one.
    panel.StoreCollaps(false);
    panel.Caption().SetCloseButtonHoverColor(0xFF00FF);
    panel.SetCloseButtonHot(true);
    image = Render();
    EXPECT_EQ(PixelAt(image, 110, 4), 0xFF00FFu);
    // On the left end the cross starts 4 pixels in from the left.
    panel.Caption().SetButtonPosition(TCaptionButtonPosition::cbpLeft);
    panel.SetCloseButtonHot(false);
    image = Render();
    EXPECT_EQ(PixelAt(image, 4, 4), 0x00FF00u);
    EXPECT_EQ(PixelAt(image, 110, 4), kBar);
}

TEST_F(PanelPaintTest, GlyphButtonsAndTheStatusBarImage) {
    // A glyph of 10 x 8 in `color` with its bottom-left pixel (the automatic transparent colour)
    // white, and the column above it white as well.
    auto glyph = [](ui::TBitmap& b, TColor color) {
        b.SetSize(10, 8);
        b.Canvas().Brush().SetColor(color);
        b.Canvas().FillRect(ui::TRect{0, 0, 10, 8});
        b.Canvas().Brush().SetColor(0xFFFFFF);
        b.Canvas().FillRect(ui::TRect{0, 0, 1, 8});
    };
    ui::TBitmap close_min, close_max, status_image;
    glyph(close_min, 0x0000FF);
    glyph(close_max, 0x00FF00);
    glyph(status_image, 0xFF0000);
    panel.Caption().SetVisible(true);
    panel.Caption().SetCloseButton(true);
    panel.Caption().SetCloseMinGlyph(close_min);
    panel.Caption().SetCloseMaxGlyph(close_max);
    QImage image = Render();
    // Expanded: the "max" glyph flush with the right end, 2 pixels below the top.
    EXPECT_EQ(PixelAt(image, 110, 2), kBar);  // its transparent column
    EXPECT_EQ(PixelAt(image, 111, 2), 0x00FF00u);
    EXPECT_EQ(PixelAt(image, 119, 9), 0x00FF00u);
    EXPECT_EQ(PixelAt(image, 115, 1), kBar);
    EXPECT_EQ(panel.Layout().close_button.rect, ui::Bounds(110, 2, 10, 8));
    panel.StoreCollaps(true);
    image = Render();
    EXPECT_EQ(PixelAt(image, 115, 5), 0x0000FFu);

    // The status bar's image from the panel's list at (left + 1, top + 2) of the strip.
    panel.StoreCollaps(false);
    ui::TImageList images(nullptr);
    images.SetSize(10, 8);
    images.Add(status_image);
    panel.SetImages(&images);
    panel.StatusBar().SetVisible(true);
    panel.StatusBar().SetColor(0x00A0A0);
    panel.StatusBar().SetImageIndex(0);
    image = Render();
    EXPECT_EQ(PixelAt(image, 3, 84), 0xFF0000u);  // strip from (1, 81): image from (2, 83)
    EXPECT_EQ(PixelAt(image, 11, 90), 0xFF0000u);
    EXPECT_EQ(PixelAt(image, 12, 90), 0x00A0A0u);
    panel.SetImages(nullptr);
}

TEST_F(PanelPaintTest, CaptionTextGetsTheWidthTheButtonsLeave) {
    panel.Caption().SetVisible(true);
    panel.Caption().SetIndent(3);
    EXPECT_EQ(panel.Layout().caption_text, (ui::TRect{3, 0, 120, 20}));
    panel.Caption().SetCloseButton(true);
    panel.Caption().SetMinMaxButton(true);
    EXPECT_EQ(panel.Layout().caption_text, (ui::TRect{3, 0, 80, 20}));
    // The button side changes without telling the panel: the next paint lays it out.
    panel.Caption().SetButtonPosition(TCaptionButtonPosition::cbpLeft);
    Render();
    EXPECT_EQ(panel.Layout().caption_text, (ui::TRect{43, 0, 120, 20}));
    panel.Caption().SetPosition(TCaptionPosition::cpLeft);
    EXPECT_EQ(panel.Layout().caption_text, (ui::TRect{0, 0, 20, 57}));
}

TEST_F(PanelPaintTest, BufferedAndUnbufferedPaintsAreIdentical) {
    panel.SetColorTo(0xFFE0C0);
    panel.SetBorderColor(0x404040);
    panel.SetBorderWidth(1);
    panel.SetBorderShadow(true);
    panel.SetCanSize(true);
    panel.SetBevelOuter(ui::TBevelCut::bvRaised);
    panel.SetText("Some <b>body</b> text <a href=\"x\">link</a> that wraps over lines");
    panel.Caption().SetVisible(true);
    panel.Caption().SetText("Title");
    panel.Caption().SetShadeType(TShadeType::stDiagShade);
    panel.Caption().SetShape(TCaptionShape::csRounded);
    panel.Caption().SetCloseButton(true);
    panel.Caption().SetMinMaxButton(true);
    panel.StatusBar().SetVisible(true);
    panel.StatusBar().SetColorTo(0x808080);
    panel.StatusBar().SetText("status");
    int painted = 0;
    panel.OnPaint = [&](ui::TPersistent*, ui::TCanvas& canvas, const ui::TRect& rect) {
        ++painted;
        canvas.Brush().SetColor(0x00FF00);
        canvas.FillRect(ui::TRect{rect.Left + 50, 50, rect.Left + 52, 52});
    };
    const QImage buffered = Render();
    panel.SetBuffered(false);
    const QImage direct = Render();
    EXPECT_EQ(painted, 2);
    ASSERT_EQ(buffered.size(), direct.size());
    // The same pixels, but for the rounding of smoothed text edges blended in the buffer's
    // layout rather than the window's: one step in a channel at most.
    auto channel_step = [](TColor a, TColor b) {
        int most = 0;
        for (int shift : {0, 8, 16})
            most =
                std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
        return most;
    };
    int differing = 0;
    for (int y = 0; y < buffered.height(); ++y) {
        for (int x = 0; x < buffered.width(); ++x)
            differing += channel_step(PixelAt(buffered, x, y), PixelAt(direct, x, y)) > 1;
    }
    EXPECT_EQ(differing, 0);
    // The handler's drawing shows in both.
    EXPECT_EQ(PixelAt(buffered, 51, 51), 0x00FF00u);
    EXPECT_EQ(PixelAt(direct, 51, 51), 0x00FF00u);
}

TEST_F(PanelPaintTest, ShadedCaptionShapes) {
    panel.Caption().SetVisible(true);
    panel.Caption().SetShadeType(TShadeType::stHShade);
    panel.Caption().SetShadeLight(255);
    // Rectangle: white top and left lines, grey bottom and right ones, the shade inside.
    QImage image = Render();
    EXPECT_EQ(PixelAt(image, 60, 0), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 0, 10), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 60, 17), 0x808080u);
    EXPECT_EQ(PixelAt(image, 119, 10), 0x808080u);
    // Inside: the shade's column 59 (the picture drawn from (1, 1)).
    EXPECT_EQ(PixelAt(image, 60, 5), const_cast<ui::TBitmap&>(panel.CaptionShade()).Canvas().Pixels(59, 4));
    // Flat: no frame, the shade from the corner.
    panel.Caption().SetFlat(true);
    image = Render();
    EXPECT_EQ(PixelAt(image, 60, 0), const_cast<ui::TBitmap&>(panel.CaptionShade()).Canvas().Pixels(60, 0));
    // Rounded: the cut corner shows the body; the top edge is white, the bottom grey.
    panel.Caption().SetShape(TCaptionShape::csRounded);
    image = Render();
    EXPECT_EQ(PixelAt(image, 0, 0), kBody);
    EXPECT_EQ(PixelAt(image, 60, 0), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 60, 17), 0x808080u);
    // Semi-rounded: the left end is square (white edge), the right end rounded.
    panel.Caption().SetShape(TCaptionShape::csSemiRounded);
    image = Render();
    EXPECT_EQ(PixelAt(image, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 119, 0), kBody);
}

TEST_F(PanelPaintTest, SquareAndTinyCaptionsPaintInTheCaptionColour) {
    panel.Caption().SetVisible(true);
    panel.Caption().SetFlat(true);
    struct Case {
        TShadeType type;
        int width, caption_height;
    };
    const Case cases[] = {{TShadeType::stIRadial, 20, 20},
                          {TShadeType::stORadial, 30, 30},
                          {TShadeType::stHardBump, 5, 20},
                          {TShadeType::stHardBump, 40, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        panel.SetBounds(0, 0, c.width, 60);
        panel.Caption().SetHeight(c.caption_height);
        panel.Caption().SetShadeType(c.type);
        const QImage image = Render();
        // The shade the bar is drawn from holds the caption colour throughout ...
        auto& shade = const_cast<ui::TBitmap&>(panel.CaptionShade());
        ASSERT_EQ(shade.Width(), c.width);
        ASSERT_EQ(shade.Height(), c.caption_height);
        int other = 0;
        for (int y = 0; y < c.caption_height; ++y) {
            for (int x = 0; x < c.width; ++x) other += shade.Canvas().Pixels(x, y) == kBar ? 0 : 1;
        }
        EXPECT_EQ(other, 0);
        // ... and the bar shows it where it has rows (Caption.Height - 2 x BevelWidth); a caption
        // 1 pixel high has none, and the body shows there.
        EXPECT_EQ(PixelAt(image, c.width / 2, 0), c.caption_height > 2 ? kBar : kBody);
    }
}

TEST_F(PanelPaintTest, BitmapShadesWithoutAPictureLeaveTheBody) {
    panel.Caption().SetVisible(true);
    for (TShadeType type : {TShadeType::stBitmap, TShadeType::stBitmapRStretch, TShadeType::stBitmapLStretch}) {
        panel.Caption().SetShadeType(type);
        const QImage image = Render();
        EXPECT_EQ(PixelAt(image, 60, 8), kBody) << static_cast<int>(type);
    }
    // With a picture, stBitmap stretches it over the caption bar.
    ui::TBitmap picture;
    picture.SetSize(4, 4);
    picture.Canvas().Brush().SetColor(0x0000C0);
    picture.Canvas().FillRect(ui::TRect{0, 0, 4, 4});
    panel.Caption().SetBackground(picture);
    panel.Caption().SetShadeType(TShadeType::stBitmap);
    const QImage image = Render();
    EXPECT_EQ(PixelAt(image, 60, 8), 0x0000C0u);
    EXPECT_EQ(PixelAt(image, 60, 30), kBody);
}

TEST_F(PanelPaintTest, StatusBarStripAlongTheBottom) {
    panel.StatusBar().SetVisible(true);
    panel.StatusBar().SetColor(0x00A0A0);
    const QImage image = Render();
    // (1, height - 18 - 1, width - 1, height - 1)
    EXPECT_EQ(PixelAt(image, 1, 81), 0x00A0A0u);
    EXPECT_EQ(PixelAt(image, 118, 98), 0x00A0A0u);
    EXPECT_EQ(PixelAt(image, 60, 80), kBody);
    EXPECT_EQ(PixelAt(image, 60, 99), kBody);
    EXPECT_EQ(PixelAt(image, 0, 90), kBody);
}

TEST_F(PanelPaintTest, BodyTextFollowsItsVerticalAlignment) {
    panel.Font().SetColor(0x000000);
    panel.SetText("Xg");
    auto dark_rows = [&] {
        const QImage image = Render();
        int first = -1, last = -1;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 120; ++x) {
                // The text's dark ink (its smoothed edges aside).
                const TColor p = PixelAt(image, x, y);
                if ((p & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && ((p >> 16) & 0xFF) < 0x60) {
                    if (first < 0) first = y;
                    last = y;
                    break;
                }
            }
        }
        return std::pair{first, last};
    };
    const auto top = dark_rows();
    ASSERT_GE(top.first, 0);
    EXPECT_LT(top.second, 20);
    panel.SetTextVAlign(TTextVAlignment::tvaBottom);
    const auto bottom = dark_rows();
    EXPECT_GT(bottom.first, 80);
    EXPECT_LE(bottom.second, 98);
    panel.SetTextVAlign(TTextVAlignment::tvaCenter);
    const auto centre = dark_rows();
    EXPECT_GT(centre.first, 35);
    EXPECT_LT(centre.second, 65);
    // The layout keeps the rectangle the painting used.
    const ui::TRect text = panel.Layout().text;
    EXPECT_EQ(text.Bottom, 99);
    EXPECT_GT(text.Top, 30);

    // Below a visible caption the text centres in the body once: between the caption bar's end
    // and the bottom, the caption height not taken off a second time.
    panel.Caption().SetVisible(true);
    panel.SetTextVAlign(TTextVAlignment::tvaBottom);
    Render();
    const ui::TRect area = BodyTextArea(panel, panel.Layout().body);
    EXPECT_EQ(area.Top, 19);  // caption 20 - 2 x bevel width 1, then border width 0 and 1 more
    const int text_height = area.Bottom - panel.Layout().text.Top;
    panel.SetTextVAlign(TTextVAlignment::tvaCenter);
    Render();
    EXPECT_EQ(panel.Layout().text.Top, area.Top + (area.Height() - text_height) / 2);
}

TEST_F(PanelPaintTest, BackgroundPictureAtEachPosition) {
    panel_test::LoadPicture(panel.Background(), panel_test::PngFile(10, 10, 0x0000FF));
    ASSERT_FALSE(panel.Background().Empty());
    struct Case {
        TBackGroundPosition position;
        int x, y;  // where the picture's top-left pixel lands
    };
    // Body (0, 0, 120, 100), bevel width 1: the right place is max(0, 120 - 0 - 10 - 1) = 109,
    // the bottom one max(0, 100 - 10 - 1) = 89, the centre half of each.
    const Case cases[] = {{TBackGroundPosition::bpTopLeft, 0, 0},
                          {TBackGroundPosition::bpTopRight, 109, 0},
                          {TBackGroundPosition::bpBottomLeft, 0, 89},
                          {TBackGroundPosition::bpBottomRight, 109, 89},
                          {TBackGroundPosition::bpCenter, 54, 44}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.position));
        panel.SetBackgroundPosition(c.position);
        const QImage image = Render();
        EXPECT_EQ(PixelAt(image, c.x, c.y), 0x0000FFu);
        EXPECT_EQ(PixelAt(image, c.x + 9, c.y + 9), 0x0000FFu);
        if (c.x > 0) {
            EXPECT_EQ(PixelAt(image, c.x - 1, c.y), kBody);
        }
        if (c.y > 0) {
            EXPECT_EQ(PixelAt(image, c.x, c.y - 1), kBody);
        }
    }
    panel.SetBackgroundPosition(TBackGroundPosition::bpTiled);
    QImage image = Render();
    for (auto [x, y] : {std::pair{0, 0}, {15, 25}, {119, 99}}) EXPECT_EQ(PixelAt(image, x, y), 0x0000FFu);
    panel.SetBackgroundPosition(TBackGroundPosition::bpStretched);
    image = Render();
    for (auto [x, y] : {std::pair{0, 0}, {60, 50}, {119, 99}}) EXPECT_EQ(PixelAt(image, x, y), 0x0000FFu);
    // Below a visible caption the picture is clipped to the body.
    panel.Caption().SetVisible(true);
    panel.SetBackgroundPosition(TBackGroundPosition::bpTopLeft);
    image = Render();
    EXPECT_EQ(PixelAt(image, 5, 5), kBar);
    EXPECT_EQ(PixelAt(image, 5, 18), 0x0000FFu);
}

TEST_F(PanelPaintTest, CaptionOnTheLeftRunsItsTextUpwards) {
    panel.Caption().SetVisible(true);
    panel.Caption().SetPosition(TCaptionPosition::cpLeft);
    panel.Caption().SetText("<b>Caption</b>");
    panel.Caption().Font().SetColor(0xFFFFFF);
    panel.StatusBar().SetVisible(true);
    panel.StatusBar().SetColor(0x00A0A0);
    const QImage image = Render();
    // The bar is the first 18 columns; the text is white inside it, taller than wide.
    int top = 100, bottom = -1, left = 120, right = -1;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (PixelAt(image, x, y) != 0xFFFFFFu) continue;
            top = std::min(top, y), bottom = std::max(bottom, y);
            left = std::min(left, x), right = std::max(right, x);
        }
    }
    ASSERT_GE(right, 0);
    EXPECT_LT(right, 18);
    EXPECT_GT(bottom - top, 2 * (right - left));
    EXPECT_EQ(PixelAt(image, 60, 10), kBody);
    // The status bar stands at the right edge: (width - 18 - 1, 1, width - 1, height - 1).
    EXPECT_EQ(PixelAt(image, 101, 50), 0x00A0A0u);
    EXPECT_EQ(PixelAt(image, 100, 50), kBody);
}

class ThemedPanelPaintTest : public PanelPaintTest {
protected:
    theme::FakeVisualStyles styles;
    theme::ScopedVisualStyles scoped{styles};
};

TEST_F(ThemedPanelPaintTest, ThemedCaptionAndButtonsAreWindowParts) {
    panel.Caption().SetVisible(true);
    panel.Caption().SetShadeType(TShadeType::stXPCaption);
    panel.Caption().SetCloseButton(true);
    panel.Caption().SetMinMaxButton(true);
    ASSERT_TRUE(panel.Themed());
    QImage image = Render();
    ASSERT_EQ(styles.drawn.size(), 3u);
    EXPECT_EQ(styles.drawn[0].class_list, "window");
    EXPECT_EQ(styles.drawn[0].part, 1);
    EXPECT_EQ(styles.drawn[0].rect, (ui::TRect{-1, -1, 121, 19}));  // the bar grown by 1
    EXPECT_EQ(styles.drawn[1].part, 18);
    EXPECT_EQ(styles.drawn[1].rect, ui::Bounds(104, 4, 14, 14));
    EXPECT_EQ(styles.drawn[2].part, 15);
    EXPECT_EQ(styles.drawn[2].rect, ui::Bounds(90, 4, 14, 14));  // 14 further in
    for (const auto& d : styles.drawn) EXPECT_EQ(d.state, 1);
    EXPECT_EQ(styles.closed, 3);
    EXPECT_EQ(PixelAt(image, 60, 10), theme::FakeVisualStyles::kUncheckedColor);
    styles.drawn.clear();
    panel.StoreCollaps(true);
    Render();
    ASSERT_EQ(styles.drawn.size(), 3u);
    EXPECT_EQ(styles.drawn[2].part, 17);

    // Without an active style the caption is drawn flat and the buttons by hand.
    styles.active = false;
    styles.drawn.clear();
    panel.StoreCollaps(false);
    image = Render();
    EXPECT_TRUE(styles.drawn.empty());
    EXPECT_EQ(PixelAt(image, 60, 10), kBar);
}

TEST_F(ThemedPanelPaintTest, ColourSchemeOfTheActiveStyle) {
    const std::pair<const char*, int> rows[] = {{"NormalColor", 1}, {"HomeStead", 2}, {"Metallic", 3},
                                                {"normalcolor", 0}, {"Royale", 0},    {"", 0}};
    for (auto [scheme, expected] : rows) {
        styles.color_scheme = scheme;
        EXPECT_EQ(CurrentColorScheme(), expected) << scheme;
    }
    styles.color_scheme = "Metallic";
    styles.missing = {"GetCurrentThemeName"};
    EXPECT_EQ(CurrentColorScheme(), 0);
    styles.missing.clear();
    styles.active = false;
    EXPECT_EQ(CurrentColorScheme(), 0);
}

}  // namespace
}  // namespace panel
