// The caption bar's settings and the position settings: defaults, which setters notify and how,
// and what Assign copies.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/panel/panel_caption.h"
#include "controls/panel/panel_position.h"
#include "platform/ui/core/exceptions.h"
#include "tests/support/render.h"

namespace panel {
namespace {

// Counts each of the caption's four events.
struct CaptionEvents {
    explicit CaptionEvents(TPanelCaption& caption) {
        caption.OnChange = [this](ui::TPersistent*) { ++change; };
        caption.OnShadeChange = [this](ui::TPersistent*) { ++shade; };
        caption.OnStateChange = [this](ui::TPersistent*) { ++state; };
        caption.OnPositionChange = [this](ui::TPersistent*) { ++position; };
    }
    void Reset() { change = shade = state = position = 0; }
    int change = 0;
    int shade = 0;
    int state = 0;
    int position = 0;
};

std::unique_ptr<ui::TBitmap> Bitmap(int w, int h) {
    auto b = std::make_unique<ui::TBitmap>();
    b->SetSize(w, h);
    return b;
}

TEST(PanelCaption, StartsWithTheDocumentedValues) {
    TPanelCaption c;
    EXPECT_TRUE(c.Background().Empty());
    EXPECT_EQ(c.ButtonPosition(), TCaptionButtonPosition::cbpRight);
    EXPECT_EQ(c.Color(), 0xFF00000Du);
    EXPECT_EQ(c.ColorTo(), 0x1FFFFFFFu);
    EXPECT_EQ(c.CloseColor(), 0xFF00000Fu);
    EXPECT_FALSE(c.CloseButton());
    EXPECT_EQ(c.CloseButtonColor(), 0xFFFFFFu);
    EXPECT_EQ(c.CloseButtonHoverColor(), 0x1FFFFFFFu);
    EXPECT_FALSE(c.Flat());
    EXPECT_EQ(c.Font().Color(), 0xFF00000Eu);
    EXPECT_EQ(c.GradientDirection(), TGradientDirection::gdHorizontal);
    EXPECT_EQ(c.Height(), 20);
    EXPECT_EQ(c.Indent(), 0);
    EXPECT_EQ(c.TopIndent(), 0);
    EXPECT_FALSE(c.MinMaxButton());
    EXPECT_EQ(c.MinMaxButtonColor(), 0xFFFFFFu);
    EXPECT_EQ(c.MinMaxButtonHoverColor(), 0x1FFFFFFFu);
    EXPECT_FALSE(c.MinMaxCaption());
    EXPECT_EQ(c.Position(), TCaptionPosition::cpTop);
    EXPECT_EQ(c.ShadeLight(), 200);
    EXPECT_EQ(c.ShadeGrain(), 32);
    EXPECT_EQ(c.ShadeType(), TShadeType::stNormal);
    EXPECT_EQ(c.Shape(), TCaptionShape::csRectangle);
    EXPECT_EQ(c.Text(), "");
    EXPECT_FALSE(c.Visible());
}

// One setter call on a fresh caption, the events it raises, then the same call again (the
// current value by then) and the events of that second call.
struct SetterCase {
    const char* name;
    std::function<void(TPanelCaption&)> set;
    int change, shade;              // first call
    int change_again, shade_again;  // repeated with the value now current
};

class PanelCaptionSetters : public ::testing::TestWithParam<SetterCase> {};

TEST_P(PanelCaptionSetters, NotifyAsTheirKindSays) {
    test_support::EnsureApplication();
    const SetterCase& s = GetParam();
    TPanelCaption c;
    CaptionEvents events(c);
    s.set(c);
    EXPECT_EQ(events.change, s.change) << s.name;
    EXPECT_EQ(events.shade, s.shade) << s.name;
    events.Reset();
    s.set(c);
    EXPECT_EQ(events.change, s.change_again) << s.name << " again";
    EXPECT_EQ(events.shade, s.shade_again) << s.name << " again";
    EXPECT_EQ(events.state, 0) << s.name;
    EXPECT_EQ(events.position, 0) << s.name;
}

const ui::TBitmap& Glyph() {
    static const auto glyph = Bitmap(3, 2);
    return *glyph;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PanelCaptionSetters,
    ::testing::Values(
        // shade changes: the shade event, then the change
        SetterCase{"Background", [](TPanelCaption& c) { c.SetBackground(Glyph()); }, 1, 1, 1, 1},
        SetterCase{"Color", [](TPanelCaption& c) { c.SetColor(ui::clRed); }, 1, 1, 0, 0},
        SetterCase{"Flat", [](TPanelCaption& c) { c.SetFlat(true); }, 1, 1, 1, 1},
        SetterCase{"ShadeLight", [](TPanelCaption& c) { c.SetShadeLight(240); }, 1, 1, 1, 1},
        SetterCase{"ShadeGrain", [](TPanelCaption& c) { c.SetShadeGrain(8); }, 1, 1, 1, 1},
        SetterCase{"ShadeType", [](TPanelCaption& c) { c.SetShadeType(TShadeType::stHBump); }, 1, 1, 1, 1},
        SetterCase{"Shape", [](TPanelCaption& c) { c.SetShape(TCaptionShape::csRounded); }, 1, 1, 1, 1},
        // changes on every call
        SetterCase{"ColorTo", [](TPanelCaption& c) { c.SetColorTo(ui::clRed); }, 1, 0, 1, 0},
        SetterCase{"CloseMinGlyph", [](TPanelCaption& c) { c.SetCloseMinGlyph(Glyph()); }, 1, 0, 1, 0},
        SetterCase{"CloseMaxGlyph", [](TPanelCaption& c) { c.SetCloseMaxGlyph(Glyph()); }, 1, 0, 1, 0},
        SetterCase{"GradientDirection",
                   [](TPanelCaption& c) { c.SetGradientDirection(TGradientDirection::gdVertical); }, 1, 0, 1, 0},
        SetterCase{"Text", [](TPanelCaption& c) { c.SetText("<b>x</b>"); }, 1, 0, 1, 0},
        SetterCase{"Font",
                   [](TPanelCaption& c) {
                       ui::TFont f;
                       f.SetHeight(-15);
                       c.SetFont(f);
                   },
                   1, 0, 1, 0},
        // changes only when the value differs
        SetterCase{"CloseColor", [](TPanelCaption& c) { c.SetCloseColor(ui::clRed); }, 1, 0, 0, 0},
        SetterCase{"CloseButton", [](TPanelCaption& c) { c.SetCloseButton(true); }, 1, 0, 0, 0},
        SetterCase{"CloseButtonColor", [](TPanelCaption& c) { c.SetCloseButtonColor(ui::clRed); }, 1, 0, 0, 0},
        SetterCase{"Height", [](TPanelCaption& c) { c.SetHeight(24); }, 1, 0, 0, 0},
        SetterCase{"Indent", [](TPanelCaption& c) { c.SetIndent(3); }, 1, 0, 0, 0},
        SetterCase{"TopIndent", [](TPanelCaption& c) { c.SetTopIndent(3); }, 1, 0, 0, 0},
        SetterCase{"MinMaxButton", [](TPanelCaption& c) { c.SetMinMaxButton(true); }, 1, 0, 0, 0},
        SetterCase{"MinMaxButtonColor", [](TPanelCaption& c) { c.SetMinMaxButtonColor(ui::clRed); }, 1, 0, 0, 0},
        // stored without a word
        SetterCase{"ButtonPosition", [](TPanelCaption& c) { c.SetButtonPosition(TCaptionButtonPosition::cbpLeft); }, 0,
                   0, 0, 0},
        SetterCase{"CloseButtonHoverColor", [](TPanelCaption& c) { c.SetCloseButtonHoverColor(ui::clRed); }, 0, 0, 0,
                   0},
        SetterCase{"MinMaxButtonHoverColor", [](TPanelCaption& c) { c.SetMinMaxButtonHoverColor(ui::clRed); }, 0, 0, 0,
                   0},
        SetterCase{"MinMaxCaption", [](TPanelCaption& c) { c.SetMinMaxCaption(true); }, 0, 0, 0, 0},
        SetterCase{"MaxGlyph", [](TPanelCaption& c) { c.SetMaxGlyph(Glyph()); }, 0, 0, 0, 0},
        SetterCase{"MinGlyph", [](TPanelCaption& c) { c.SetMinGlyph(Glyph()); }, 0, 0, 0, 0},
        SetterCase{"StoreHeight", [](TPanelCaption& c) { c.StoreHeight(30); }, 0, 0, 0, 0}),
    [](const ::testing::TestParamInfo<SetterCase>& info) { return std::string(info.param.name); });

TEST(PanelCaption, ShadeLightNeverGoesBelow200) {
    TPanelCaption c;
    for (const auto& [given, stored] : {std::pair{100, 200}, {199, 200}, {200, 200}, {255, 255}, {-5, 200}}) {
        c.SetShadeLight(given);
        EXPECT_EQ(c.ShadeLight(), stored) << given;
    }
}

TEST(PanelCaption, PositionTellsOnlyItsOwnEventAndOnlyWhenItMoves) {
    TPanelCaption c;
    CaptionEvents events(c);
    c.SetPosition(TCaptionPosition::cpTop);
    EXPECT_EQ(events.position + events.change, 0);
    c.SetPosition(TCaptionPosition::cpLeft);
    EXPECT_EQ(events.position, 1);
    EXPECT_EQ(events.change, 0);
    EXPECT_EQ(c.Position(), TCaptionPosition::cpLeft);
}

TEST(PanelCaption, VisibleAlwaysReportsChangeThenState) {
    TPanelCaption c;
    std::string order;
    c.OnChange = [&](ui::TPersistent*) { order += "c"; };
    c.OnStateChange = [&](ui::TPersistent*) { order += "s"; };
    c.SetVisible(false);  // the current value
    c.SetVisible(true);
    EXPECT_EQ(order, "cscs");
    EXPECT_TRUE(c.Visible());
}

TEST(PanelCaption, ChangesMadeToItsFontNotify) {
    TPanelCaption c;
    CaptionEvents events(c);
    c.Font().SetColor(ui::clRed);
    EXPECT_EQ(events.change, 1);
}

TEST(PanelCaption, AssignCopiesTheLooksAndKeepsTextVisibilityPositionTopIndentAndMinMaxCaption) {
    test_support::EnsureApplication();
    TPanelCaption source;
    source.SetBackground(*Bitmap(4, 4));
    source.SetButtonPosition(TCaptionButtonPosition::cbpLeft);
    source.SetColor(0x112233);
    source.SetColorTo(0x445566);
    source.SetCloseColor(0x010203);
    source.SetCloseButton(true);
    source.SetCloseButtonColor(0x020304);
    source.SetCloseButtonHoverColor(0x030405);
    source.SetCloseMinGlyph(*Bitmap(5, 5));
    source.SetCloseMaxGlyph(*Bitmap(6, 6));
    source.SetFlat(true);
    source.Font().SetName("Arial");
    source.SetHeight(31);
    source.SetIndent(7);
    source.SetMaxGlyph(*Bitmap(7, 7));
    source.SetMinGlyph(*Bitmap(8, 8));
    source.SetMinMaxButton(true);
    source.SetMinMaxButtonColor(0x040506);
    source.SetMinMaxButtonHoverColor(0x050607);
    source.SetShadeLight(250);
    source.SetShadeGrain(9);
    source.SetShadeType(TShadeType::stVBump);
    source.SetShape(TCaptionShape::csSemiRounded);
    source.SetGradientDirection(TGradientDirection::gdVertical);
    source.SetText("source text");
    source.SetVisible(true);
    source.SetPosition(TCaptionPosition::cpLeft);
    source.SetTopIndent(9);
    source.SetMinMaxCaption(true);

    TPanelCaption target;
    target.SetText("target text");
    CaptionEvents events(target);
    target.Assign(&source);

    EXPECT_EQ(target.Background().Width(), 4);
    EXPECT_EQ(target.ButtonPosition(), TCaptionButtonPosition::cbpLeft);
    EXPECT_EQ(target.Color(), 0x112233u);
    EXPECT_EQ(target.ColorTo(), 0x445566u);
    EXPECT_EQ(target.CloseColor(), 0x010203u);
    EXPECT_TRUE(target.CloseButton());
    EXPECT_EQ(target.CloseButtonColor(), 0x020304u);
    EXPECT_EQ(target.CloseButtonHoverColor(), 0x030405u);
    EXPECT_EQ(target.CloseMinGlyph().Width(), 5);
    EXPECT_EQ(target.CloseMaxGlyph().Width(), 6);
    EXPECT_TRUE(target.Flat());
    EXPECT_EQ(target.Font().Name(), "Arial");
    EXPECT_EQ(target.Height(), 31);
    EXPECT_EQ(target.Indent(), 7);
    EXPECT_EQ(target.MaxGlyph().Width(), 7);
    EXPECT_EQ(target.MinGlyph().Width(), 8);
    EXPECT_TRUE(target.MinMaxButton());
    EXPECT_EQ(target.MinMaxButtonColor(), 0x040506u);
    EXPECT_EQ(target.MinMaxButtonHoverColor(), 0x050607u);
    EXPECT_EQ(target.ShadeLight(), 250);
    EXPECT_EQ(target.ShadeGrain(), 9);
    EXPECT_EQ(target.ShadeType(), TShadeType::stVBump);
    EXPECT_EQ(target.Shape(), TCaptionShape::csSemiRounded);
    EXPECT_EQ(target.GradientDirection(), TGradientDirection::gdVertical);
    // not copied
    EXPECT_EQ(target.Text(), "target text");
    EXPECT_FALSE(target.Visible());
    EXPECT_EQ(target.Position(), TCaptionPosition::cpTop);
    EXPECT_EQ(target.TopIndent(), 0);
    EXPECT_FALSE(target.MinMaxCaption());
    // the copy went through the setters: the shade is out of date, nothing moved or toggled
    EXPECT_GT(events.shade, 0);
    EXPECT_GT(events.change, 0);
    EXPECT_EQ(events.state, 0);
    EXPECT_EQ(events.position, 0);
}

TEST(PanelCaption, AssignFromAnythingElseIsAnInvalidCast) {
    TPanelCaption c;
    TPanelPosition other;
    EXPECT_THROW(c.Assign(&other), ui::EInvalidCast);
    EXPECT_THROW(c.Assign(nullptr), ui::EInvalidCast);
    c.Assign(&c);  // itself: nothing happens
    EXPECT_EQ(c.Height(), 20);
}

TEST(PanelPosition, StartsUnsavedInTheRegistryAndAssignCopiesEverything) {
    TPanelPosition source;
    EXPECT_FALSE(source.Save());
    EXPECT_EQ(source.Location(), TPanelPositionLocation::clRegistry);
    EXPECT_EQ(source.Key(), "");
    EXPECT_EQ(source.Section(), "");
    EXPECT_EQ(source.Panel(), nullptr);
    source.SetSave(true);
    source.SetKey("Software\\Quill");
    source.SetSection("Tools");
    source.SetLocation(TPanelPositionLocation::clInifile);

    TPanelPosition target;
    target.Assign(&source);
    EXPECT_TRUE(target.Save());
    EXPECT_EQ(target.Key(), "Software\\Quill");
    EXPECT_EQ(target.Section(), "Tools");
    EXPECT_EQ(target.Location(), TPanelPositionLocation::clInifile);

    TPanelCaption caption;
    EXPECT_THROW(target.Assign(&caption), ui::EInvalidCast);
    EXPECT_EQ(target.Key(), "Software\\Quill");
}

}  // namespace
}  // namespace panel
