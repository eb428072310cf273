// The panel's markup texts drawn with its anchor state: which hovered anchor each text shows.
#include <gtest/gtest.h>

#include <string>

#include "controls/panel/fine_panel.h"
#include "controls/pictures/picture_container.h"
#include "tests/pictures/picture_fixture.h"
#include "tests/support/input.h"
#include "tests/support/render.h"

namespace panel {
namespace {

using test_support::PixelAt;
using test_support::RenderControl;

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

// A container that counts how often its pictures are looked up by name.
class CountingContainer : public TPictureContainer {
public:
    using TPictureContainer::TPictureContainer;
    THTMLPicture* FindPicture(const std::string& name) override {
        ++lookups;
        return TPictureContainer::FindPicture(name);
    }
    int lookups = 0;
};

// A 300 x 200 panel without bevels whose body text shows the container's picture "pic" (8 x 8,
// red) twice, then two anchors; only the hovered anchor takes the yellow hover background.
class PanelMarkupCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        item_ = container_.Items().Add();
        item_->SetName("pic");
        panel_test::LoadPicture(item_->Picture(), panel_test::PngFile(8, 8, ui::clRed));
        panel_.SetBounds(0, 0, 300, 200);
        panel_.SetBevelOuter(ui::TBevelCut::bvNone);
        panel_.SetHover(true);
        panel_.SetHoverColor(ui::clYellow);
        panel_.SetPictureContainer(&container_);
        panel_.SetText("<img src=\"pic\"><img src=\"pic\"> <a href=\"one\">one</a> and <a href=\"two\">two</a>");
    }
    const bool application_ = (test_support::EnsureApplication(), true);  // before the panel
    CountingContainer container_{nullptr};
    TPictureItem* item_ = nullptr;
    TFinePanel panel_{nullptr};
};

TEST_F(PanelMarkupCacheTest, HoveringHitTestsAndRepaintsTheKeptLayout) {
    RenderControl(panel_);
    const ui::TRect text = panel_.Layout().text;
    std::string entered;
    panel_.OnAnchorEnter = [&](ui::TPersistent*, const std::string& anchor) { entered += anchor + " "; };
    // Across the text's first line and back: every move finds its anchor in the kept layout,
    // which looks no picture up again.
    const int lookups = container_.lookups;
    int first_one = -1;
    for (int x = text.Left; x < text.Right; x += 2) {
        const std::size_t before = entered.size();
        test_support::MouseMove(panel_, ui::TPoint{x, text.Top + 6});
        if (first_one < 0 && entered.size() > before && entered.compare(before, 3, "one") == 0) first_one = x;
    }
    for (int x = text.Right; x > text.Left; x -= 5) test_support::MouseMove(panel_, ui::TPoint{x, text.Top + 6});
    EXPECT_EQ(entered.substr(0, 8), "one two ");
    EXPECT_EQ(container_.lookups, lookups);

    // The hover change repaints from the same layout: a paint checks each picture source once,
    // where laying the text out looks up each of its two pictures.
    ASSERT_GE(first_one, 0);
    test_support::MouseMove(panel_, ui::TPoint{first_one + 2, text.Top + 6});
    EXPECT_EQ(panel_.BodyAnchorIndex(), 1);
    const int before_paint = container_.lookups;
    const QImage hovered = RenderControl(panel_);
    EXPECT_EQ(container_.lookups, before_paint + 1);
    EXPECT_TRUE(AnyPixel(hovered, ui::Rect(first_one, text.Top, first_one + 10, text.Top + 12), ui::clYellow));
    test_support::MouseMove(panel_, ui::TPoint{text.Left + 2, text.Top + 150});  // off the anchors
    EXPECT_FALSE(AnyPixel(RenderControl(panel_), text, ui::clYellow));
}

TEST_F(PanelMarkupCacheTest, WhatTheTextIsLaidOutFromChangedAfterAPaintShowsOnTheNextPaint) {
    // None of these changes tells the panel; the next paint shows each.
    const ui::TRect text = panel_.Layout().text;
    const ui::TRect first_picture = ui::Bounds(text.Left, text.Top, 8, 8);
    EXPECT_TRUE(AnyPixel(RenderControl(panel_), first_picture, ui::clRed));

    // A larger picture in the item moves everything after it.
    panel_test::LoadPicture(item_->Picture(), panel_test::PngFile(16, 16, ui::clLime));
    const QImage larger = RenderControl(panel_);
    EXPECT_EQ(PixelAt(larger, text.Left + 28, text.Top + 12), ui::clLime);  // inside the second picture
    EXPECT_FALSE(AnyPixel(larger, first_picture, ui::clRed));

    // The item is freed: its picture is no longer drawn (nor read).
    container_.Items().Delete(0);
    EXPECT_FALSE(AnyPixel(RenderControl(panel_), ui::Bounds(text.Left, text.Top, 32, 16), ui::clLime));

    // A larger font widens the text.
    panel_.SetText("WWWW");
    const QImage small = RenderControl(panel_);
    panel_.Font().SetHeight(-30);
    const QImage large = RenderControl(panel_);
    const ui::TRect beyond = ui::Rect(text.Left + 60, text.Top, text.Left + 100, text.Top + 30);
    EXPECT_FALSE(AnyPixel(small, beyond, ui::clBlack));
    EXPECT_TRUE(AnyPixel(large, beyond, ui::clBlack));
}

}  // namespace
}  // namespace panel
