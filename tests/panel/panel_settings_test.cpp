// The detached panel settings, the status bar settings and the auto-size switches: defaults,
// notification kinds, batching and what Assign copies.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "controls/panel/panel_auto_size.h"
#include "controls/panel/panel_settings.h"
#include "controls/panel/panel_status_bar.h"
#include "platform/ui/core/exceptions.h"

namespace panel {
namespace {

struct Counter {
    int count = 0;
    ui::TNotifyEvent Hook() {
        return [this](ui::TPersistent*) { ++count; };
    }
};

TEST(FinePanelSettings, StartsWithTheDocumentedValues) {
    TFinePanelSettings s;
    EXPECT_FALSE(s.AnchorHint());
    EXPECT_TRUE(s.AutoHideChildren());
    EXPECT_EQ(s.BevelInner(), ui::TBevelCut::bvNone);
    EXPECT_EQ(s.BevelOuter(), ui::TBevelCut::bvNone);
    EXPECT_EQ(s.BevelWidth(), 1);
    EXPECT_EQ(s.BorderColor(), 0u);
    EXPECT_FALSE(s.BorderShadow());
    EXPECT_EQ(s.BorderStyle(), ui::TBorderStyle::bsSingle);
    EXPECT_EQ(s.BorderWidth(), 0);
    EXPECT_FALSE(s.CanMove());
    EXPECT_FALSE(s.CanSize());
    EXPECT_EQ(s.Caption().Height(), 20);  // a new caption
    EXPECT_FALSE(s.Collaps());
    EXPECT_EQ(s.CollapsColor(), 0xFF00000Fu);
    EXPECT_EQ(s.CollapsDelay(), 0);
    EXPECT_EQ(s.CollapsSteps(), 0);
    EXPECT_EQ(s.Color(), 0xFF00000Fu);
    EXPECT_EQ(s.ColorTo(), 0x1FFFFFFFu);
    EXPECT_EQ(s.ColorMirror(), 0x1FFFFFFFu);
    EXPECT_EQ(s.ColorMirrorTo(), 0x1FFFFFFFu);
    EXPECT_EQ(s.Cursor(), 0);
    EXPECT_EQ(s.Font().Name(), "Tahoma");
    EXPECT_FALSE(s.FixedTop() || s.FixedLeft() || s.FixedHeight() || s.FixedWidth());
    EXPECT_EQ(s.Height(), 120);
    EXPECT_EQ(s.Width(), 0);
    EXPECT_EQ(s.Hint(), "");
    EXPECT_FALSE(s.Hover());
    EXPECT_EQ(s.HoverColor(), 0x1FFFFFFFu);
    EXPECT_EQ(s.HoverFontColor(), 0x1FFFFFFFu);
    EXPECT_EQ(s.Indent(), 0);
    EXPECT_EQ(s.TopIndent(), 0);
    EXPECT_EQ(s.Position(), nullptr);
    EXPECT_EQ(s.ShadowColor(), 0u);
    EXPECT_EQ(s.ShadowOffset(), 0);
    EXPECT_FALSE(s.ShowHint());
    EXPECT_FALSE(s.ShowMoveCursor());
    EXPECT_FALSE(s.StatusBar().Visible());  // a new status bar
    EXPECT_EQ(s.Text(), "");
    EXPECT_EQ(s.TextVAlign(), TTextVAlignment::tvaTop);
    EXPECT_EQ(s.URLColor(), 0xFF0000u);
    EXPECT_EQ(s.UpdateCount(), 0);
}

// A setter call made twice on a fresh object; the notifications of the first and the second call.
struct SettingCase {
    const char* name;
    std::function<void(TFinePanelSettings&)> set;
    int first, again;
};

class FinePanelSettingsSetters : public ::testing::TestWithParam<SettingCase> {};

TEST_P(FinePanelSettingsSetters, NotifyAsTheirKindSays) {
    const SettingCase& c = GetParam();
    TFinePanelSettings s;
    Counter changes;
    s.OnChange = changes.Hook();
    c.set(s);
    EXPECT_EQ(changes.count, c.first) << c.name;
    changes.count = 0;
    c.set(s);
    EXPECT_EQ(changes.count, c.again) << c.name << " again";
}

INSTANTIATE_TEST_SUITE_P(
    Table, FinePanelSettingsSetters,
    ::testing::Values(
        // every call notifies, the current value too
        SettingCase{"AnchorHint", [](TFinePanelSettings& s) { s.SetAnchorHint(true); }, 1, 1},
        SettingCase{"AutoHideChildren", [](TFinePanelSettings& s) { s.SetAutoHideChildren(false); }, 1, 1},
        SettingCase{"BevelInner", [](TFinePanelSettings& s) { s.SetBevelInner(ui::TBevelCut::bvRaised); }, 1, 1},
        SettingCase{"BevelOuter", [](TFinePanelSettings& s) { s.SetBevelOuter(ui::TBevelCut::bvLowered); }, 1, 1},
        SettingCase{"BevelWidth", [](TFinePanelSettings& s) { s.SetBevelWidth(2); }, 1, 1},
        SettingCase{"BorderColor", [](TFinePanelSettings& s) { s.SetBorderColor(ui::clRed); }, 1, 1},
        SettingCase{"BorderShadow", [](TFinePanelSettings& s) { s.SetBorderShadow(true); }, 1, 1},
        SettingCase{"BorderStyle", [](TFinePanelSettings& s) { s.SetBorderStyle(ui::TBorderStyle::bsNone); }, 1, 1},
        SettingCase{"BorderWidth", [](TFinePanelSettings& s) { s.SetBorderWidth(2); }, 1, 1},
        SettingCase{"CanMove", [](TFinePanelSettings& s) { s.SetCanMove(true); }, 1, 1},
        SettingCase{"CanSize", [](TFinePanelSettings& s) { s.SetCanSize(true); }, 1, 1},
        SettingCase{"Collaps", [](TFinePanelSettings& s) { s.SetCollaps(true); }, 1, 1},
        SettingCase{"CollapsColor", [](TFinePanelSettings& s) { s.SetCollapsColor(ui::clRed); }, 1, 1},
        SettingCase{"CollapsDelay", [](TFinePanelSettings& s) { s.SetCollapsDelay(5); }, 1, 1},
        SettingCase{"CollapsSteps", [](TFinePanelSettings& s) { s.SetCollapsSteps(5); }, 1, 1},
        SettingCase{"Cursor", [](TFinePanelSettings& s) { s.SetCursor(ui::crHandPoint); }, 1, 1},
        SettingCase{"Hover", [](TFinePanelSettings& s) { s.SetHover(true); }, 1, 1},
        SettingCase{"HoverColor", [](TFinePanelSettings& s) { s.SetHoverColor(ui::clRed); }, 1, 1},
        SettingCase{"HoverFontColor", [](TFinePanelSettings& s) { s.SetHoverFontColor(ui::clRed); }, 1, 1},
        SettingCase{"Indent", [](TFinePanelSettings& s) { s.SetIndent(0); }, 1, 1},
        SettingCase{"TopIndent", [](TFinePanelSettings& s) { s.SetTopIndent(4); }, 1, 1},
        SettingCase{"Text", [](TFinePanelSettings& s) { s.SetText("<i>t</i>"); }, 1, 1},
        SettingCase{"TextVAlign", [](TFinePanelSettings& s) { s.SetTextVAlign(TTextVAlignment::tvaCenter); }, 1, 1},
        SettingCase{"URLColor", [](TFinePanelSettings& s) { s.SetURLColor(ui::clRed); }, 1, 1},
        SettingCase{"Font", [](TFinePanelSettings& s) { s.SetFont(ui::TFont()); }, 1, 1},
        SettingCase{"StatusBar", [](TFinePanelSettings& s) { s.SetStatusBar(TPanelStatusBar()); }, 1, 1},
        // changes only when the value differs
        SettingCase{"ColorTo", [](TFinePanelSettings& s) { s.SetColorTo(ui::clRed); }, 1, 0},
        SettingCase{"ColorMirror", [](TFinePanelSettings& s) { s.SetColorMirror(ui::clRed); }, 1, 0},
        SettingCase{"ColorMirrorTo", [](TFinePanelSettings& s) { s.SetColorMirrorTo(ui::clRed); }, 1, 0},
        // a caption change, made through the settings' caption
        SettingCase{"Caption.Height", [](TFinePanelSettings& s) { s.Caption().SetHeight(30); }, 1, 0},
        // stored only
        SettingCase{"Color", [](TFinePanelSettings& s) { s.SetColor(ui::clRed); }, 0, 0},
        SettingCase{"FixedTop", [](TFinePanelSettings& s) { s.SetFixedTop(true); }, 0, 0},
        SettingCase{"FixedLeft", [](TFinePanelSettings& s) { s.SetFixedLeft(true); }, 0, 0},
        SettingCase{"FixedHeight", [](TFinePanelSettings& s) { s.SetFixedHeight(true); }, 0, 0},
        SettingCase{"FixedWidth", [](TFinePanelSettings& s) { s.SetFixedWidth(true); }, 0, 0},
        SettingCase{"Height", [](TFinePanelSettings& s) { s.SetHeight(50); }, 0, 0},
        SettingCase{"Width", [](TFinePanelSettings& s) { s.SetWidth(50); }, 0, 0},
        SettingCase{"Hint", [](TFinePanelSettings& s) { s.SetHint("h"); }, 0, 0},
        SettingCase{"ShadowColor", [](TFinePanelSettings& s) { s.SetShadowColor(ui::clRed); }, 0, 0},
        SettingCase{"ShadowOffset", [](TFinePanelSettings& s) { s.SetShadowOffset(3); }, 0, 0},
        SettingCase{"ShowHint", [](TFinePanelSettings& s) { s.SetShowHint(true); }, 0, 0},
        SettingCase{"ShowMoveCursor", [](TFinePanelSettings& s) { s.SetShowMoveCursor(true); }, 0, 0},
        SettingCase{"Position",
                    [](TFinePanelSettings& s) {
                        static TPanelPosition position;
                        s.SetPosition(&position);
                    },
                    0, 0},
        // the font and the status bar themselves are not watched
        SettingCase{"Font.Color", [](TFinePanelSettings& s) { s.Font().SetColor(ui::clRed); }, 0, 0},
        SettingCase{"StatusBar.Color", [](TFinePanelSettings& s) { s.StatusBar().SetColor(ui::clRed); }, 0, 0}),
    [](const ::testing::TestParamInfo<SettingCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name) {
            if (ch == '.') ch = '_';
        }
        return name;
    });

TEST(FinePanelSettings, ABatchOfChangesEndsInOneNotification) {
    TFinePanelSettings s;
    Counter changes;
    s.OnChange = changes.Hook();
    s.BeginUpdate();
    for (int i = 0; i < 10; ++i) s.SetIndent(i);
    s.Caption().SetText("inside the batch");
    EXPECT_EQ(changes.count, 0);
    s.EndUpdate();
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(s.Indent(), 9);

    // nested brackets: only the outermost end notifies
    changes.count = 0;
    s.BeginUpdate();
    s.BeginUpdate();
    s.SetHover(true);
    s.EndUpdate();
    EXPECT_EQ(changes.count, 0);
    s.EndUpdate();
    EXPECT_EQ(changes.count, 1);
}

TEST(FinePanelSettings, AnEndWithoutABeginSendsNothingAndLeavesTheCounterAtZero) {
    TFinePanelSettings s;
    Counter changes;
    s.OnChange = changes.Hook();
    s.EndUpdate();
    s.EndUpdate();
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(s.UpdateCount(), 0);
    s.SetHover(true);  // not swallowed by a counter gone negative
    EXPECT_EQ(changes.count, 1);
}

TEST(FinePanelSettings, SettingTheCaptionCopiesItIntoTheOwnedOne) {
    TFinePanelSettings s;
    TPanelCaption other;
    other.SetColor(0x123456);
    other.SetText("not copied");
    const TPanelCaption* own = &s.Caption();
    s.SetCaption(other);
    EXPECT_EQ(&s.Caption(), own);
    EXPECT_EQ(s.Caption().Color(), 0x123456u);
    EXPECT_EQ(s.Caption().Text(), "");
}

TEST(FinePanelSettings, AssignFromSettingsCopiesNothingAndFromAnythingElseFails) {
    TFinePanelSettings source;
    source.SetIndent(7);
    source.SetColor(ui::clRed);
    source.Caption().SetHeight(40);
    TFinePanelSettings target;
    Counter changes;
    target.OnChange = changes.Hook();
    target.Assign(&source);
    EXPECT_EQ(target.Indent(), 0);
    EXPECT_EQ(target.Color(), ui::clBtnFace);
    EXPECT_EQ(target.Caption().Height(), 20);
    EXPECT_EQ(changes.count, 0);

    TPanelStatusBar bar;
    EXPECT_THROW(target.Assign(&bar), ui::EConvertError);
}

TEST(PanelStatusBar, StartsWithTheDocumentedValues) {
    TPanelStatusBar b;
    EXPECT_FALSE(b.BevelInner());
    EXPECT_EQ(b.BorderColor(), 0u);
    EXPECT_EQ(b.BorderStyle(), ui::TBorderStyle::bsNone);
    EXPECT_EQ(b.ImageIndex(), -1);
    EXPECT_EQ(b.Font().Name(), "Tahoma");
    EXPECT_EQ(b.Text(), "");
    EXPECT_EQ(b.Color(), 0xFF00000Fu);
    EXPECT_EQ(b.ColorTo(), 0x1FFFFFFFu);
    EXPECT_EQ(b.GradientDirection(), TGradientDirection::gdHorizontal);
    EXPECT_EQ(b.Height(), 18);
    EXPECT_FALSE(b.Visible());
}

TEST(PanelStatusBar, EverySetterNotifiesOnlyWhenTheValueChanges) {
    const std::function<void(TPanelStatusBar&)> setters[] = {
        [](TPanelStatusBar& b) { b.SetBevelInner(true); },
        [](TPanelStatusBar& b) { b.SetBorderColor(ui::clRed); },
        [](TPanelStatusBar& b) { b.SetBorderStyle(ui::TBorderStyle::bsSingle); },
        [](TPanelStatusBar& b) { b.SetImageIndex(2); },
        [](TPanelStatusBar& b) { b.SetText("ready"); },
        [](TPanelStatusBar& b) { b.SetColor(ui::clRed); },
        [](TPanelStatusBar& b) { b.SetColorTo(ui::clRed); },
        [](TPanelStatusBar& b) { b.SetGradientDirection(TGradientDirection::gdVertical); },
        [](TPanelStatusBar& b) { b.SetHeight(22); },
        [](TPanelStatusBar& b) { b.SetVisible(true); },
        [](TPanelStatusBar& b) { b.Font().SetColor(ui::clRed); },
        [](TPanelStatusBar& b) {
            ui::TFont f;
            f.SetName("Arial");
            b.SetFont(f);
        },
    };
    int index = 0;
    for (const auto& set : setters) {
        TPanelStatusBar b;
        Counter changes;
        b.OnChange = changes.Hook();
        set(b);
        EXPECT_EQ(changes.count, 1) << "setter " << index;
        set(b);
        EXPECT_EQ(changes.count, 1) << "setter " << index << " again";
        ++index;
    }
}

TEST(PanelStatusBar, AssignCopiesTheLookAndKeepsTextVisibilityHeightImageAndBevel) {
    TPanelStatusBar source;
    source.SetColor(0x010101);
    source.SetColorTo(0x020202);
    source.SetGradientDirection(TGradientDirection::gdVertical);
    source.SetBorderStyle(ui::TBorderStyle::bsSingle);
    source.SetBorderColor(0x030303);
    source.Font().SetColor(0x040404);
    source.SetText("source");
    source.SetVisible(true);
    source.SetHeight(30);
    source.SetImageIndex(4);
    source.SetBevelInner(true);

    TPanelStatusBar target;
    target.SetText("target");
    target.Assign(&source);
    EXPECT_EQ(target.Color(), 0x010101u);
    EXPECT_EQ(target.ColorTo(), 0x020202u);
    EXPECT_EQ(target.GradientDirection(), TGradientDirection::gdVertical);
    EXPECT_EQ(target.BorderStyle(), ui::TBorderStyle::bsSingle);
    EXPECT_EQ(target.BorderColor(), 0x030303u);
    EXPECT_EQ(target.Font().Color(), 0x040404u);
    EXPECT_EQ(target.Text(), "target");
    EXPECT_FALSE(target.Visible());
    EXPECT_EQ(target.Height(), 18);
    EXPECT_EQ(target.ImageIndex(), -1);
    EXPECT_FALSE(target.BevelInner());

    TPanelCaption caption;
    target.Assign(&caption);  // ignored
    EXPECT_EQ(target.Color(), 0x010101u);
}

TEST(AutoSize, SwitchingOnResizesAtOnceAndSwitchingOffLeavesTheSize) {
    TAutoSize a;
    EXPECT_FALSE(a.Enabled());
    EXPECT_TRUE(a.Height());
    EXPECT_TRUE(a.Width());
    Counter resizes;
    a.OnResize = resizes.Hook();
    a.SetEnabled(true);
    EXPECT_EQ(resizes.count, 1);
    a.SetEnabled(true);  // asked again: resizes again
    EXPECT_EQ(resizes.count, 2);
    a.SetEnabled(false);
    EXPECT_EQ(resizes.count, 2);
    EXPECT_FALSE(a.Enabled());
}

TEST(AutoSize, AssignGoesThroughEnabledAndCopiesTheSwitches) {
    TAutoSize source;
    source.SetEnabled(true);
    source.SetWidth(false);
    TAutoSize target;
    Counter resizes;
    target.OnResize = resizes.Hook();
    target.Assign(&source);
    EXPECT_TRUE(target.Enabled());
    EXPECT_FALSE(target.Width());
    EXPECT_TRUE(target.Height());
    EXPECT_EQ(resizes.count, 1);

    TPanelStatusBar bar;
    EXPECT_THROW(target.Assign(&bar), ui::EInvalidCast);
}

}  // namespace
}  // namespace panel
