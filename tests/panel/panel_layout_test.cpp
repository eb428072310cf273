// The panel's layout is kept from one paint to the next: every change that moves a part of the
// panel must reach it, or the next paint and the next hit test read the old places.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "controls/panel/fine_panel.h"
#include "controls/pictures/picture_container.h"
#include "platform/theme/fake_visual_styles.h"
#include "platform/ui/controls/imagelist.h"
#include "tests/pictures/picture_fixture.h"
#include "tests/support/input.h"
#include "tests/support/render.h"

namespace panel {
namespace {

std::unique_ptr<ui::TBitmap> Glyph(int width, int height) {
    auto glyph = std::make_unique<ui::TBitmap>();
    glyph->SetSize(width, height);
    return glyph;
}

// A panel with a caption holding both buttons and a text with an anchor and an image-list
// picture, under a visual style that is active.
struct Scene {
    Scene() {
        panel.SetBounds(0, 0, 120, 100);
        panel.SetBevelOuter(ui::TBevelCut::bvNone);
        panel.Caption().SetVisible(true);
        panel.Caption().SetCloseButton(true);
        panel.Caption().SetMinMaxButton(true);
        panel.SetText("A line of text, <a href=\"a\">an anchor</a>, <IMG src=\"IDX:0\"> and more text");
        images.Add(*Glyph(16, 16));
    }
    // The layout as the panel's state gives it now, laid out afresh.
    PanelLayout Fresh() {
        ui::TBitmap scratch;
        return ComputePanelLayout(panel, scratch.Canvas());
    }
    theme::FakeVisualStyles styles;
    theme::ScopedVisualStyles scoped{styles};
    ui::TImageList images{nullptr};
    TPictureContainer container{nullptr};
    TFinePanel panel{nullptr};
};

TEST(PanelLayout, EveryChangeThatMovesAPartReachesTheNextPaint) {
    test_support::EnsureApplication();
    struct Case {
        const char* name;
        std::function<void(Scene&)> before;  // set up before the first paint
        std::function<void(Scene&)> change;  // after it
    };
    const auto none = [](Scene&) {};
    const auto centred = [](Scene& t) { t.panel.SetTextVAlign(TTextVAlignment::tvaCenter); };
    const auto with_status_image = [](Scene& t) {
        t.panel.SetImages(&t.images);
        t.panel.StatusBar().SetVisible(true);
        t.panel.StatusBar().SetImageIndex(0);
    };
    const Case cases[] = {
        // The frame of the base panel.
        {"BevelOuter", none, [](Scene& t) { t.panel.SetBevelOuter(ui::TBevelCut::bvRaised); }},
        {"BevelInner", none, [](Scene& t) { t.panel.SetBevelInner(ui::TBevelCut::bvLowered); }},
        {"BevelWidth", [](Scene& t) { t.panel.SetBevelOuter(ui::TBevelCut::bvRaised); },
         [](Scene& t) { t.panel.SetBevelWidth(3); }},
        {"BorderWidth", none, [](Scene& t) { t.panel.SetBorderWidth(4); }},
        // The body font measures a centred text.
        {"Font size", centred, [](Scene& t) { t.panel.Font().SetSize(16); }},
        {"Font name", centred, [](Scene& t) { t.panel.Font().SetName("Courier New"); }},
        // The caption's buttons.
        {"ButtonPosition", none,
         [](Scene& t) { t.panel.Caption().SetButtonPosition(TCaptionButtonPosition::cbpLeft); }},
        {"MinGlyph", [](Scene& t) { t.panel.Caption().SetMaxGlyph(*Glyph(9, 7)); },
         [](Scene& t) { t.panel.Caption().SetMinGlyph(*Glyph(9, 7)); }},
        {"MaxGlyph", [](Scene& t) { t.panel.Caption().SetMinGlyph(*Glyph(9, 7)); },
         [](Scene& t) { t.panel.Caption().SetMaxGlyph(*Glyph(9, 7)); }},
        {"CloseMaxGlyph", [](Scene& t) { t.panel.Caption().SetCloseMinGlyph(*Glyph(9, 7)); },
         [](Scene& t) { t.panel.Caption().SetCloseMaxGlyph(*Glyph(9, 7)); }},
        {"Caption height", none, [](Scene& t) { t.panel.Caption().SetHeight(30); }},
        {"Caption position", none, [](Scene& t) { t.panel.Caption().SetPosition(TCaptionPosition::cpLeft); }},
        {"Caption hidden", none, [](Scene& t) { t.panel.Caption().SetVisible(false); }},
        {"Caption indent", none, [](Scene& t) { t.panel.Caption().SetIndent(5); }},
        // A visual style coming or going changes the buttons' form without telling the panel.
        {"Visual style", [](Scene& t) { t.panel.Caption().SetShadeType(TShadeType::stXPCaption); },
         [](Scene& t) { t.styles.active = false; }},
        // The background picture's size places it.
        {"Background picture", [](Scene& t) { t.panel.SetBackgroundPosition(TBackGroundPosition::bpBottomRight); },
         [](Scene& t) { panel_test::LoadPicture(t.panel.Background(), panel_test::PngFile(10, 10, 0xFF)); }},
        {"BackgroundPosition",
         [](Scene& t) { panel_test::LoadPicture(t.panel.Background(), panel_test::PngFile(10, 10, 0xFF)); },
         [](Scene& t) { t.panel.SetBackgroundPosition(TBackGroundPosition::bpCenter); }},
        // The image list: set, resized, grown.
        {"Images", [](Scene& t) { t.panel.StatusBar().SetVisible(true), t.panel.StatusBar().SetImageIndex(0); },
         [](Scene& t) { t.panel.SetImages(&t.images); }},
        {"Image size", with_status_image, [](Scene& t) { t.images.SetSize(24, 24); }},
        {"Image added",
         [](Scene& t) {
             t.panel.SetTextVAlign(TTextVAlignment::tvaBottom);
             t.images.SetSize(16, 40);
             t.panel.SetImages(&t.images);
         },
         [](Scene& t) { t.images.Add(*Glyph(16, 40)); }},
        // The picture container's items: a named picture loaded, an item added.
        {"Container picture",
         [](Scene& t) {
             t.panel.SetText("<IMG src=\"tall\">");
             t.panel.SetTextVAlign(TTextVAlignment::tvaBottom);
             t.container.Items().Add()->SetName("tall");
             t.panel.SetPictureContainer(&t.container);
         },
         [](Scene& t) {
             panel_test::LoadPicture(t.container.Items().Items(0)->Picture(), panel_test::PngFile(8, 40, 0xFF));
         }},
        {"Container item",
         [](Scene& t) {
             t.panel.SetText("<IMG src=\"tall\">");
             t.panel.SetTextVAlign(TTextVAlignment::tvaBottom);
             t.panel.SetPictureContainer(&t.container);
         },
         [](Scene& t) {
             TPictureItem* item = t.container.Items().Add();
             panel_test::LoadPicture(item->Picture(), panel_test::PngFile(8, 40, 0xFF));
             item->SetName("tall");
         }},
        // The status bar and what it holds.
        {"Status bar", none, [](Scene& t) { t.panel.StatusBar().SetVisible(true); }},
        {"Status height", [](Scene& t) { t.panel.StatusBar().SetVisible(true); },
         [](Scene& t) { t.panel.StatusBar().SetHeight(30); }},
        {"Status image", [](Scene& t) { t.panel.SetImages(&t.images), t.panel.StatusBar().SetVisible(true); },
         [](Scene& t) { t.panel.StatusBar().SetImageIndex(0); }},
        // The panel's own settings.
        {"Size", none, [](Scene& t) { t.panel.SetBounds(0, 0, 150, 90); }},
        {"Text", centred, [](Scene& t) { t.panel.SetText("short"); }},
        {"TextVAlign", none, [](Scene& t) { t.panel.SetTextVAlign(TTextVAlignment::tvaBottom); }},
        {"Indent", none, [](Scene& t) { t.panel.SetIndent(6); }},
        {"TopIndent", none, [](Scene& t) { t.panel.SetTopIndent(6); }},
        {"LineSpacing", centred, [](Scene& t) { t.panel.SetLineSpacing(6); }},
        {"Ellipsis", centred, [](Scene& t) { t.panel.SetEllipsis(true); }},
        {"BorderShadow", none, [](Scene& t) { t.panel.SetBorderShadow(true); }},
        {"CanSize", with_status_image, [](Scene& t) { t.panel.SetCanSize(true); }},
        {"Collaps", [](Scene& t) { t.panel.SetCanSize(true); }, [](Scene& t) { t.panel.StoreCollaps(true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene t;
        c.before(t);
        test_support::RenderControl(t.panel);
        const PanelLayout painted = t.panel.Layout();
        c.change(t);
        const PanelLayout fresh = t.Fresh();
        ASSERT_FALSE(fresh == painted) << "the change moves nothing";
        test_support::RenderControl(t.panel);
        EXPECT_TRUE(t.panel.Layout() == fresh) << "the next paint reads the old layout";
    }
}

// The mouse reads the kept layout too: a click lands on the close button where the last change
// put it.
TEST(PanelLayout, ClicksFindTheCloseButtonWhereTheLastChangePutIt) {
    test_support::EnsureApplication();
    ui::TCustomControl host(nullptr);
    host.SetBounds(0, 0, 300, 200);
    TFinePanel panel(nullptr);
    panel.SetParent(&host);
    panel.SetBounds(10, 10, 120, 100);
    panel.Caption().SetVisible(true);
    panel.Caption().SetCloseButton(true);
    int closed = 0;
    panel.OnClose = [&](ui::TPersistent*) { ++closed; };
    test_support::RenderControl(panel);
    const ui::TPoint left_corner{8, 8};
    test_support::Click(panel, left_corner);
    ASSERT_EQ(closed, 0);
    panel.Caption().SetButtonPosition(TCaptionButtonPosition::cbpLeft);
    test_support::RenderControl(panel);
    test_support::Click(panel, left_corner);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(panel.Visible());
}

}  // namespace
}  // namespace panel
