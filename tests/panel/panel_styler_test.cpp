// The panel styler: pushing its settings into the panels of its form that name it, styles by
// name and by the library-wide number, copying, loading and following the desktop theme.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "controls/panel/fine_panel.h"
#include "controls/panel/panel_styler.h"
#include "platform/theme/fake_visual_styles.h"
#include "platform/theme/visual_styles.h"
#include "platform/ui/forms/form.h"
#include "tests/support/render.h"

namespace panel {
namespace {

using S = TFinePanelStyle;

// A panel that counts the settings it is given.
class CountingPanel : public TFinePanel {
public:
    using TFinePanel::TFinePanel;
    void ApplySettings(const TFinePanelSettings& settings) override {
        ++applied;
        TFinePanel::ApplySettings(settings);
    }
    int applied = 0;
};

// A form with a styler and three panels: one styled by it, one by another styler, one by none.
struct StyledForm {
    StyledForm() {
        test_support::EnsureApplication();
        form = std::make_unique<ui::TForm>(nullptr);
        styler = new TFinePanelStyler(form.get());
        other_styler = new TFinePanelStyler(form.get());
        styled = new CountingPanel(form.get());
        styled->SetParent(form.get());
        styled->SetStyler(styler);
        foreign = new CountingPanel(form.get());
        foreign->SetParent(form.get());
        foreign->SetStyler(other_styler);
        plain = new CountingPanel(form.get());
        plain->SetParent(form.get());
        styled->applied = foreign->applied = plain->applied = 0;
    }
    std::unique_ptr<ui::TForm> form;
    TFinePanelStyler* styler;
    TFinePanelStyler* other_styler;
    CountingPanel* styled;
    CountingPanel* foreign;
    CountingPanel* plain;
};

TEST(FinePanelStyler, OneApplyGivesTheStyledPanelTheLookAndLeavesTheOthers) {
    StyledForm f;
    const ui::TColor plain_color = f.plain->Color();
    const ui::TColor foreign_caption = f.foreign->Caption().Color();

    f.styler->SetStyle(S::psOffice2003Blue);

    EXPECT_EQ(f.styled->applied, 1);
    EXPECT_EQ(f.styled->Color(), 0xFDEADAu);
    EXPECT_EQ(f.styled->ColorTo(), 0xE4AE88u);
    EXPECT_EQ(f.styled->Caption().Color(), 0xD68759u);
    EXPECT_EQ(f.styled->Caption().ColorTo(), 0x933803u);
    EXPECT_EQ(f.styled->Caption().GradientDirection(), TGradientDirection::gdVertical);
    EXPECT_EQ(f.styled->StatusBar().Color(), 0xE08F65u);

    EXPECT_EQ(f.foreign->applied, 0);
    EXPECT_EQ(f.plain->applied, 0);
    EXPECT_EQ(f.plain->Color(), plain_color);
    EXPECT_EQ(f.foreign->Caption().Color(), foreign_caption);
}

TEST(FinePanelStyler, NamingTheStylerAppliesItAtOnceAndAChangedSettingReappliesIt) {
    StyledForm f;
    f.styler->SetStyle(S::psOffice2010Black);
    f.plain->SetStyler(f.styler);
    EXPECT_EQ(f.plain->applied, 1);
    EXPECT_EQ(f.plain->Color(), 0xBFBFBFu);

    f.styled->applied = f.plain->applied = 0;
    f.styler->Settings().SetBorderColor(0x0000FF);
    EXPECT_EQ(f.styled->applied, 1);
    EXPECT_EQ(f.plain->applied, 1);
    EXPECT_EQ(f.plain->BorderColor(), 0x0000FFu);
}

TEST(FinePanelStyler, TheCustomStyleKeepsTheSettingsAndStillNotifiesOnce) {
    StyledForm f;
    f.styler->SetStyle(S::psOffice2007Luna);
    f.styler->Settings().SetColor(0x123456);  // stored only, not yet applied
    f.styled->applied = 0;

    f.styler->SetStyle(S::psCustom);

    EXPECT_EQ(f.styler->Style(), S::psCustom);
    EXPECT_EQ(f.styled->applied, 1);
    EXPECT_EQ(f.styled->Color(), 0x123456u);
    EXPECT_EQ(f.styled->Caption().Color(), 0xFFEFE3u);  // still Luna's
}

TEST(FinePanelStyler, StartsAsXPWithoutThemeAdaptation) {
    StyledForm f;
    EXPECT_EQ(f.styler->Style(), S::psXP);
    EXPECT_FALSE(f.styler->AutoThemeAdapt());
    EXPECT_EQ(f.styler->Settings().Color(), 0xFFFFFFu);
    EXPECT_EQ(f.styler->Settings().ColorTo(), 0xE3F0F2u);
    EXPECT_EQ(f.styler->Tag(), 0);
    EXPECT_EQ(f.styler->Comments(), "");
}

// The library-wide style numbers, written out from the mapping; empty: no change.
TEST(FinePanelStyler, SharedStyleNumbersMapToPanelStyles) {
    const struct {
        int shared;
        std::optional<S> style;
    } cases[] = {
        {0, S::psOffice2003Blue},    {1, S::psOffice2003Silver},  {2, S::psOffice2003Olive},
        {3, S::psOffice2003Classic}, {4, S::psOffice2007Luna},    {5, S::psOffice2007Obsidian},
        {6, S::psWindowsXP},         {7, S::psWhidbey},           {8, std::nullopt},
        {9, S::psOffice2007Silver},  {10, S::psWindowsVista},     {11, S::psWindows7},
        {12, S::psTerminal},         {13, S::psOffice2010Blue},   {14, S::psOffice2010Silver},
        {15, S::psOffice2010Black},  {16, std::nullopt},          {17, std::nullopt},
        {127, std::nullopt},         {128, S::psOffice2003Blue},  {131, S::psOffice2003Classic},
        {136, std::nullopt},         {143, S::psOffice2010Black}, {144, std::nullopt},
        {255, std::nullopt},
    };
    for (const auto& c : cases) {
        StyledForm f;
        f.styler->SetStyle(S::psFlat);
        f.styled->applied = 0;
        menus::IStyleTarget& target = *f.styler;
        target.SetSharedStyle(static_cast<menus::TSharedStyle>(c.shared));
        EXPECT_EQ(f.styler->Style(), c.style.value_or(S::psFlat)) << c.shared;
        EXPECT_EQ(f.styled->applied, c.style ? 1 : 0) << c.shared;
    }
}

TEST(FinePanelStyler, AssignCopiesFromAnotherStylerOnly) {
    StyledForm f;
    f.other_styler->SetAutoThemeAdapt(true);
    f.other_styler->SetComments("shared look");
    f.other_styler->SetTag(7);
    f.other_styler->SetStyle(S::psWindows7);
    f.other_styler->Settings().SetIndent(9);  // the settings themselves are not copied

    f.styler->Assign(f.other_styler);
    EXPECT_TRUE(f.styler->AutoThemeAdapt());
    EXPECT_EQ(f.styler->Comments(), "shared look");
    EXPECT_EQ(f.styler->Tag(), 0);
    EXPECT_EQ(f.styler->Style(), S::psWindows7);
    EXPECT_EQ(f.styler->Settings().Color(), 0xFDFBFAu);
    EXPECT_EQ(f.styler->Settings().Indent(), 0);
    EXPECT_EQ(f.styled->Color(), 0xFDFBFAu);

    f.styled->applied = 0;
    f.styler->Assign(f.styled);  // not a styler: ignored
    f.styler->Assign(nullptr);
    EXPECT_EQ(f.styler->Style(), S::psWindows7);
    EXPECT_EQ(f.styled->applied, 0);
}

TEST(FinePanelStyler, WhileLoadingNothingIsAppliedAndLoadedAppliesOnce) {
    StyledForm f;
    f.form->BeginLoading();
    f.styler->SetStyle(S::psOffice2003Olive);
    f.styler->Settings().SetIndent(3);
    EXPECT_EQ(f.styled->applied, 0);
    f.form->EndLoading();
    // once from the styler's load, once from the panel's own
    EXPECT_EQ(f.styled->applied, 2);
    EXPECT_EQ(f.styled->Color(), 0xCFF0EAu);
    EXPECT_EQ(f.styled->Indent(), 3);
    EXPECT_EQ(f.foreign->Color(), 0xFFFFFFu);  // its own styler's psXP
    EXPECT_EQ(f.plain->applied, 0);
}

// The desktop colour scheme the styler follows when it loads with AutoThemeAdapt.
TEST(FinePanelStyler, AdaptsToTheColourSchemeAtLoad) {
    const struct {
        bool active;
        const char* scheme;
        S expected;
    } cases[] = {
        {true, "NormalColor", S::psOffice2003Blue},    {true, "HomeStead", S::psOffice2003Olive},
        {true, "Metallic", S::psOffice2003Silver},     {true, "Royale", S::psOffice2003Classic},
        {true, "normalcolor", S::psOffice2003Classic}, {false, "NormalColor", S::psOffice2003Classic},
    };
    for (const auto& c : cases) {
        theme::FakeVisualStyles fake;
        fake.active = c.active;
        fake.color_scheme = c.scheme;
        theme::ScopedVisualStyles scoped(fake);
        StyledForm f;
        f.form->BeginLoading();
        f.styler->SetAutoThemeAdapt(true);
        f.form->EndLoading();
        EXPECT_EQ(f.styler->Style(), c.expected) << c.scheme << " active " << c.active;
        EXPECT_EQ(f.other_styler->Style(), S::psXP) << "without AutoThemeAdapt";
    }
}

TEST(FinePanelStyler, WithoutVisualStylesAnAdaptingStylerLoadsAsOffice2003Classic) {
    StyledForm f;  // the process's own binding: no visual style on this platform
    f.form->BeginLoading();
    f.styler->SetAutoThemeAdapt(true);
    f.form->EndLoading();
    EXPECT_EQ(f.styler->Style(), S::psOffice2003Classic);
    EXPECT_EQ(f.styled->Color(), 0xFFFFFFu);
    EXPECT_EQ(f.styled->ColorTo(), 0xC9D1D5u);
}

TEST(FinePanelStyler, AtDesignTimeLoadingDoesNotFollowTheTheme) {
    StyledForm f;
    f.form->SetDesigning(true);
    f.form->BeginLoading();
    f.styler->SetAutoThemeAdapt(true);
    f.styler->SetStyle(S::psTerminal);
    f.form->EndLoading();
    EXPECT_EQ(f.styler->Style(), S::psTerminal);
    EXPECT_EQ(f.styled->Color(), ui::clBtnFace);
    EXPECT_EQ(f.styled->Caption().Color(), 0xC0C0C0u);
}

TEST(FinePanelStyler, TheThemeBroadcastReappliesAnAdaptingStyler) {
    theme::FakeVisualStyles fake;
    fake.color_scheme = "Metallic";
    theme::ScopedVisualStyles scoped(fake);
    StyledForm f;

    TThemeNotifierWindow& window = f.styler->NotifierWindow();
    EXPECT_EQ(window.Parent(), f.form.get());
    EXPECT_FALSE(window.Visible());
    EXPECT_EQ(window.Owner(), f.styler);

    window.WndProc(theme::WM_THEMECHANGED);  // AutoThemeAdapt off: nothing
    EXPECT_EQ(f.styler->Style(), S::psXP);
    EXPECT_EQ(f.styled->applied, 0);

    f.styler->SetAutoThemeAdapt(true);
    window.WndProc(theme::WM_THEMECHANGED + 1);  // another message: nothing
    EXPECT_EQ(f.styled->applied, 0);
    window.WndProc(theme::WM_THEMECHANGED);
    EXPECT_EQ(f.styler->Style(), S::psOffice2003Silver);
    EXPECT_EQ(f.styled->applied, 1);
    EXPECT_EQ(f.styled->Color(), 0xECE2E1u);

    fake.color_scheme = "HomeStead";
    window.WndProc(theme::WM_THEMECHANGED);
    EXPECT_EQ(f.styler->Style(), S::psOffice2003Olive);
    EXPECT_EQ(f.styled->applied, 2);
}

TEST(FinePanelStyler, WithoutAWindowedOwnerTheNotifierHasNoParent) {
    test_support::EnsureApplication();
    ui::TComponent owner(nullptr);
    TFinePanelStyler styler(&owner);
    EXPECT_EQ(styler.NotifierWindow().Parent(), nullptr);
    auto nested = std::make_unique<ui::TForm>(nullptr);
    auto* holder = new ui::TComponent(nested.get());
    auto* inner = new TFinePanelStyler(holder);
    EXPECT_EQ(inner->NotifierWindow().Parent(), nested.get());
}

TEST(FinePanelStyler, FreeingTheStylerLeavesItsPanelsWithoutAStyler) {
    StyledForm f;
    delete f.styler;
    EXPECT_EQ(f.styled->Styler(), nullptr);
    EXPECT_EQ(f.foreign->Styler(), f.other_styler);
    f.other_styler->SetStyle(S::psOffice2010Blue);  // the survivors still work
    EXPECT_EQ(f.foreign->Color(), 0xFDF6EFu);
    EXPECT_EQ(f.styled->applied, 0);
}

}  // namespace
}  // namespace panel
