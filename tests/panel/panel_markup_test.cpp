// The panel's markup texts drawn with its anchor state: which hovered anchor each text shows.
#include <gtest/gtest.h>

#include "controls/panel/fine_panel.h"
#include "tests/support/render.h"

namespace panel {
namespace {

using test_support::PixelAt;

constexpr ui::TColor kStrip = 0x00A0A0;

// Some pixel of `color` inside `r`.
bool AnyPixel(const QImage& image, const ui::TRect& r, ui::TColor color) {
    for (int y = r.Top; y < r.Bottom; ++y) {
        for (int x = r.Left; x < r.Right; ++x) {
            if (PixelAt(image, x, y) == color) return true;
        }
    }
    return false;
}

TEST(PanelMarkup, TheStatusBarShowsTheHoveredCaptionAnchor) {
    test_support::EnsureApplication();
    TFinePanel panel(nullptr);
    panel.SetBounds(0, 0, 120, 100);
    panel.SetBevelOuter(ui::TBevelCut::bvNone);
    panel.SetHover(true);
    panel.SetHoverColor(ui::clYellow);
    panel.StatusBar().SetVisible(true);
    panel.StatusBar().SetColor(kStrip);
    panel.StatusBar().SetText("<a href=\"s\">link</a>");
    const ui::TRect strip = ui::Rect(1, 81, 119, 99);  // the text from its left + 2
    // Caption and status bar texts share the caption's hovered anchor; the body's is its own.
    struct Case {
        int caption_anchor;
        int body_anchor;
        bool hover_background;
    };
    const Case cases[] = {{1, -1, true}, {-1, 1, false}, {2, 1, false}, {-1, -1, false}};
    for (const Case& c : cases) {
        panel.SetCaptionAnchorIndex(c.caption_anchor);
        panel.SetBodyAnchorIndex(c.body_anchor);
        const QImage image = test_support::RenderControl(panel);
        EXPECT_EQ(AnyPixel(image, strip, ui::clYellow), c.hover_background)
            << "caption " << c.caption_anchor << ", body " << c.body_anchor;
        EXPECT_EQ(PixelAt(image, 1, 81), kStrip);  // the strip left of the text
        EXPECT_FALSE(AnyPixel(image, ui::Rect(0, 0, 120, 80), ui::clYellow));
    }
}

}  // namespace
}  // namespace panel
