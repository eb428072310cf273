// Appearance objects, the styler base and the styled menu's binding of stylers.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/menus/fine_main_menu.h"
#include "controls/menus/menu_styler.h"
#include "controls/menus/menu_util.h"
#include "platform/ui/controls/screen.h"
#include "tests/support/render.h"

namespace {

using namespace menus;
using ui::TColor;

// A styled menu that counts the rebuilds its styler asks for.
class SpyMenu : public TFineMainMenu {
public:
    explicit SpyMenu(ui::TComponent* owner) : TFineMainMenu(owner) {}
    void UpdateItems() override {
        ++rebuilds;
        TFineMainMenu::UpdateItems();
    }
    void DrawMenuBar() override { ++bar_redraws; }
    int rebuilds = 0;
    int bar_redraws = 0;
};

struct AppearanceFixture : ::testing::Test {
    bool application_ = (test_support::EnsureApplication(), true);
    ui::TComponent owner{nullptr};
    TFineMenuStyler* styler = new TFineMenuStyler(&owner);
};

TEST_F(AppearanceFixture, DefaultsOfAFreshStyler) {
    TFineMenuStyler& s = *styler;
    const struct {
        const char* name;
        TColor actual;
        TColor expected;
    } rows[] = {
        {"Separator.Color", s.Separator().Color(), 0x8F6D6E},
        {"Separator.ColorTo", s.Separator().ColorTo(), ui::clNone},
        {"Background.Color", s.Background().Color(), 0xFFFAFD},
        {"IconBar.Color", s.IconBar().Color(), 0xFFF9F9},
        {"IconBar.ColorTo", s.IconBar().ColorTo(), 0xBBA0A1},
        {"IconBar.CheckColor", s.IconBar().CheckColor(), 0x6FC0FF},
        {"IconBar.CheckBorder", s.IconBar().CheckBorder(), 0x6F4B4B},
        {"IconBar.SeparatorColor", s.IconBar().SeparatorColor(), ui::clNone},
        {"SelectedItem.Color", s.SelectedItem().Color(), 0xC2EEFF},
        {"SelectedItem.BorderColor", s.SelectedItem().BorderColor(), 0x6F4B4B},
        {"SelectedItem.CheckColor", s.SelectedItem().CheckColor(), 0x3E80FE},
        {"SelectedItem.ColorMirror", s.SelectedItem().ColorMirror(), ui::clNone},
        {"SelectedItem.Font.Color", s.SelectedItem().Font().Color(), ui::clWindowText},
        {"RootItem.Color", s.RootItem().Color(), 0xE5D7D7},
        {"RootItem.ColorTo", s.RootItem().ColorTo(), 0xF7F2F2},
        {"RootItem.SelectedColor", s.RootItem().SelectedColor(), 0xF2E8E8},
        {"RootItem.SelectedColorTo", s.RootItem().SelectedColorTo(), 0xCDB8B9},
        {"RootItem.SelectedBorderColor", s.RootItem().SelectedBorderColor(), 0x947C7C},
        {"RootItem.HoverColor", s.RootItem().HoverColor(), 0xCFF6FF},
        {"RootItem.HoverColorTo", s.RootItem().HoverColorTo(), 0x9DD8FF},
        {"RootItem.HoverBorderColor", s.RootItem().HoverBorderColor(), 0x6F4B4B},
        {"RootItem.HoverTextColor", s.RootItem().HoverTextColor(), ui::clWindowText},
        {"RootItem.HoverColorMirror", s.RootItem().HoverColorMirror(), ui::clNone},
        {"SideBar.BorderColor", s.SideBar().BorderColor(), 0xA19D9D},
        {"SideBar.SplitterColor", s.SideBar().SplitterColor(), 0x808080},
        {"SideBar.SplitterColorTo", s.SideBar().SplitterColorTo(), 0x000000},
        {"SideBar.Font.Color", s.SideBar().Font().Color(), ui::clWhite},
        {"MenuBorderColor", s.MenuBorderColor(), 0x7C7C94},
        {"NotesFont.Color", s.NotesFont().Color(), 0x808080},
        {"Button.HoverColor", s.ButtonAppearance().HoverColor(), 0xD2BDB6},
        {"Button.DownColor", s.ButtonAppearance().DownColor(), 0xB59285},
        {"Button.DownBorderColor", s.ButtonAppearance().DownBorderColor(), 0x6A240A},
        {"Button.HoverBorderColor", s.ButtonAppearance().HoverBorderColor(), 0x6A240A},
        {"Button.Color", s.ButtonAppearance().Color(), ui::clNone},
    };
    for (const auto& row : rows) EXPECT_EQ(row.actual, row.expected) << row.name;
    EXPECT_EQ(s.Separator().GradientDirection(), TGradientDirection::gdHorizontal);
    EXPECT_EQ(s.Separator().GradientType(), TGradientType::gtBoth);
    EXPECT_EQ(s.Separator().Margin(), 2);
    EXPECT_EQ(s.Separator().Width(), 1);
    EXPECT_EQ(s.Background().Position(), TBackgroundPosition::bpCenter);
    EXPECT_EQ(s.IconBar().Size(), 24);
    EXPECT_EQ(s.IconBar().GradientDirection(), TGradientDirection::gdHorizontal);
    EXPECT_EQ(s.RootItem().GradientDirection(), TGradientDirection::gdHorizontal);
    EXPECT_TRUE(s.RootItem().UseSystemFont());
    EXPECT_TRUE(s.SelectedItem().UseSystemFont());
    EXPECT_TRUE(s.UseSystemFont());
    EXPECT_EQ(s.AntiAlias(), TAntiAlias::aaNone);
    EXPECT_FALSE(s.SideBar().Visible());
    EXPECT_EQ(s.SideBar().Size(), 24);
    EXPECT_EQ(s.SideBar().SplitterWidth(), 1);
    EXPECT_EQ(s.SideBar().CaptionMargin(), 6);
    EXPECT_EQ(s.SideBar().Font().Name(), "Tahoma");
    EXPECT_EQ(s.SideBar().Font().Size(), 14);
    EXPECT_EQ(s.SideBar().VisibleIn(), TSideBarVisibleIn::viFirstVisible);
    EXPECT_EQ(s.NotesFont().Size(), ui::Screen().MenuFont().Size() - 2);
    EXPECT_EQ(s.SelectedItem().NotesFont().Size(), ui::Screen().MenuFont().Size() - 2);
    EXPECT_EQ(s.Menu(), nullptr);
    // The glyphs come from the program's resources, with their transparent backgrounds.
    EXPECT_FALSE(s.Glyphs().Check().Empty());
    EXPECT_FALSE(s.Glyphs().Radio().Empty());
    EXPECT_FALSE(s.Glyphs().SubMenu().Empty());
    EXPECT_TRUE(s.Glyphs().Check().Transparent());
}

TEST_F(AppearanceFixture, SettersThatRebuildTheMenuAndThoseThatDoNot) {
    auto* menu = new SpyMenu(&owner);
    menu->SetMenuStyler(styler);
    ui::TFont font;
    ui::TBitmap glyph;
    glyph.SetSize(4, 4);
    const struct {
        const char* name;
        std::function<void()> set;
        bool rebuilds;
    } rows[] = {
        {"SelectedItem.Color", [&] { styler->SelectedItem().SetColor(0x123456); }, false},
        {"SelectedItem.CheckColor", [&] { styler->SelectedItem().SetCheckColor(0, 0x123456); }, false},
        {"SelectedItem.Font", [&] { styler->SelectedItem().SetFont(font); }, true},
        {"SelectedItem.NotesFont", [&] { styler->SelectedItem().SetNotesFont(font); }, true},
        {"SelectedItem.UseSystemFont", [&] { styler->SelectedItem().SetUseSystemFont(false); }, true},
        {"IconBar.Size", [&] { styler->IconBar().SetSize(20); }, true},
        {"IconBar.RadioColor", [&] { styler->IconBar().SetRadioColor(1, 0x10); }, false},
        {"RootItem.SelectedColor", [&] { styler->RootItem().SetSelectedColor(2, 0x10); }, true},
        {"RootItem.HoverColor", [&] { styler->RootItem().SetHoverColor(0, 0x10); }, true},
        {"RootItem.Font", [&] { styler->RootItem().SetFont(font); }, true},
        {"RootItem.Color", [&] { styler->RootItem().SetColor(0x10); }, false},
        {"Background.Image", [&] { styler->Background().SetImage(nullptr); }, false},
        {"Glyphs.Check", [&] { styler->Glyphs().SetCheck(glyph); }, false},
        {"SideBar.Font (no menu of its own)", [&] { styler->SideBar().SetFont(font); }, false},
        {"SideBar.Image", [&] { styler->SideBar().SetImage(styler->SideBar().Image()); }, true},
        {"Styler.Font", [&] { styler->SetFont(font); }, true},
        {"Styler.UseSystemFont", [&] { styler->SetUseSystemFont(false); }, true},
        {"Styler.AntiAlias", [&] { styler->SetAntiAlias(TAntiAlias::aaAntiAlias); }, true},
        {"Styler.IconBar", [&] { styler->SetIconBar(styler->IconBar()); }, true},  // its Size setter
        {"Styler.Separator", [&] { styler->SetSeparator(styler->Separator()); }, false},
        {"Styler.MenuBorderColor", [&] { styler->SetMenuBorderColor(0x10); }, false},
    };
    for (const auto& row : rows) {
        menu->rebuilds = 0;
        row.set();
        EXPECT_EQ(menu->rebuilds > 0, row.rebuilds) << row.name;
    }
}

TEST_F(AppearanceFixture, IconBarSizeHasAFloorOfSixteen) {
    styler->IconBar().SetSize(10);
    EXPECT_EQ(styler->IconBar().Size(), 16);
    styler->IconBar().SetSize(30);
    EXPECT_EQ(styler->IconBar().Size(), 30);
}

TEST_F(AppearanceFixture, BadColourIndexRaisesAndChangesNothing) {
    const struct {
        const char* name;
        std::function<void()> set;
        int index;
    } rows[] = {
        {"GradientBar", [&] { styler->Background().SetColor(2, 0x1); }, 2},
        {"GradientBar negative", [&] { styler->Background().SetColor(-1, 0x1); }, -1},
        {"IconBar check", [&] { styler->IconBar().SetCheckColor(2, 0x1); }, 2},
        {"SelectedItem radio", [&] { styler->SelectedItem().SetRadioColor(5, 0x1); }, 5},
        {"RootItem selected", [&] { styler->RootItem().SetSelectedColor(4, 0x1); }, 4},
        {"RootItem hover", [&] { styler->RootItem().SetHoverColor(4, 0x1); }, 4},
    };
    for (const auto& row : rows) {
        const TColor before[] = {styler->Background().Color(),
                                 styler->Background().ColorTo(),
                                 styler->IconBar().CheckColor(),
                                 styler->IconBar().CheckColorTo(),
                                 styler->RootItem().SelectedColorMirrorTo(),
                                 styler->RootItem().HoverColorMirrorTo()};
        try {
            row.set();
            ADD_FAILURE() << row.name;
        } catch (const EInvalidPropertyIndex& e) {
            EXPECT_EQ(std::string(e.what()), "Invalid property index " + std::to_string(row.index) + ".") << row.name;
        }
        const TColor after[] = {styler->Background().Color(),
                                styler->Background().ColorTo(),
                                styler->IconBar().CheckColor(),
                                styler->IconBar().CheckColorTo(),
                                styler->RootItem().SelectedColorMirrorTo(),
                                styler->RootItem().HoverColorMirrorTo()};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(before[i], after[i]) << row.name;
    }
    EXPECT_THROW((void)styler->RootItem().GetHoverColor(4), EInvalidPropertyIndex);
}

TEST_F(AppearanceFixture, AssignLeavesWhatItsTableDoesNotCopy) {
    auto* source = new TFineMenuStyler(&owner);
    constexpr TColor kS = 0x0A0B0C;  // source values
    // Every value of the source differs from the target's.
    source->IconBar().SetColor(kS);
    source->IconBar().SetColorTo(kS);
    source->IconBar().SetGradientDirection(TGradientDirection::gdVertical);
    source->IconBar().SetCheckColor(0, kS);
    source->IconBar().SetSeparatorColor(kS);
    source->Background().SetGradientDirection(TGradientDirection::gdHorizontal);
    source->Background().SetMarginX(5);
    source->Background().SetOffsetX(7);
    source->Background().SetColor(kS);
    source->SelectedItem().SetColor(kS);
    source->SelectedItem().SetCheckBorder(kS);
    source->SelectedItem().SetRadioBorder(kS);
    source->SelectedItem().SetBorderColor(kS);
    source->RootItem().SetColor(kS);
    source->RootItem().SetHoverColor(2, kS);
    source->RootItem().SetSelectedColor(2, kS);
    source->RootItem().SetHoverTextColor(kS);
    source->SideBar().SetVisibleIn(TSideBarVisibleIn::viAnyLevel);
    source->SideBar().SetSplitterColor(kS);
    source->SideBar().SetBorderColor(kS);
    source->SideBar().SetCaption("Side");
    source->SetMenuBorderColor(kS);
    source->SetAntiAlias(TAntiAlias::aaClearType);
    source->ButtonAppearance().SetHoverColor(kS);
    styler->Assign(source);
    const struct {
        const char* name;
        bool copied;
        bool expected;
    } rows[] = {
        {"IconBar.Color", styler->IconBar().Color() == kS, false},
        {"IconBar.ColorTo", styler->IconBar().ColorTo() == kS, false},
        {"IconBar.GradientDirection", styler->IconBar().GradientDirection() == TGradientDirection::gdVertical, false},
        {"IconBar.CheckColor", styler->IconBar().CheckColor() == kS, true},
        {"IconBar.SeparatorColor", styler->IconBar().SeparatorColor() == kS, true},
        {"Background.GradientDirection", styler->Background().GradientDirection() == TGradientDirection::gdHorizontal,
         false},
        {"Background.MarginX", styler->Background().MarginX() == 5, false},
        {"Background.OffsetX", styler->Background().OffsetX() == 7, true},
        {"Background.Color", styler->Background().Color() == kS, true},
        {"SelectedItem.Color", styler->SelectedItem().Color() == kS, false},
        {"SelectedItem.CheckBorder", styler->SelectedItem().CheckBorder() == kS, false},
        {"SelectedItem.RadioBorder", styler->SelectedItem().RadioBorder() == kS, true},
        {"SelectedItem.BorderColor", styler->SelectedItem().BorderColor() == kS, true},
        {"RootItem.Color", styler->RootItem().Color() == kS, false},
        {"RootItem.HoverColorMirror", styler->RootItem().HoverColorMirror() == kS, false},
        {"RootItem.SelectedColorMirror", styler->RootItem().SelectedColorMirror() == kS, true},
        {"RootItem.HoverTextColor", styler->RootItem().HoverTextColor() == kS, true},
        {"SideBar.VisibleIn", styler->SideBar().VisibleIn() == TSideBarVisibleIn::viAnyLevel, false},
        {"SideBar.SplitterColor", styler->SideBar().SplitterColor() == kS, false},
        {"SideBar.BorderColor", styler->SideBar().BorderColor() == kS, true},
        {"SideBar.Caption", styler->SideBar().Caption() == "Side", true},
        {"MenuBorderColor", styler->MenuBorderColor() == kS, false},
        {"AntiAlias", styler->AntiAlias() == TAntiAlias::aaClearType, false},
        {"ButtonAppearance", styler->ButtonAppearance().HoverColor() == kS, false},
    };
    for (const auto& row : rows) EXPECT_EQ(row.copied, row.expected) << row.name;
    // A button appearance ignores other sources; the styler's parts raise the conversion error.
    TButtonAppearance button;
    EXPECT_NO_THROW(button.Assign(&styler->IconBar()));
    EXPECT_THROW(styler->IconBar().Assign(&button), ui::EConvertError);
}

TEST_F(AppearanceFixture, ButtonCaptionFontFollowsTheLocaleQuery) {
    TButtonAppearance without([](const std::string&) { return false; });
    EXPECT_EQ(without.CaptionFont().Name(), "Tahoma");
    TButtonAppearance with([](const std::string& name) { return name == "GetLocaleInfoEx"; });
    EXPECT_EQ(with.CaptionFont().Name(), "Segoe UI");
    int changes = 0;
    with.OnChange = [&](ui::TPersistent*) { ++changes; };
    with.SetHoverColor(with.HoverColor());
    EXPECT_EQ(changes, 0);
    with.SetHoverColor(0x1);
    with.SetGradientDirection(TGradientDirection::gdHorizontal);
    EXPECT_EQ(changes, 2);
}

TEST_F(AppearanceFixture, MenuBindsStylersAndFallsBackToAnInternalOne) {
    auto* menu = new TFineMainMenu(&owner);
    EXPECT_EQ(menu->Version(), "2.5.3.1");
    menu->SetVersion("9.9");
    EXPECT_EQ(menu->Version(), "2.5.3.1");
    ASSERT_NE(menu->InternalStyler(), nullptr);
    EXPECT_EQ(menu->InternalStyler()->Name(), "InternalMenuStyler");
    EXPECT_EQ(menu->CurrentStyler(), menu->InternalStyler());
    menu->SetMenuStyler(styler);
    EXPECT_EQ(menu->InternalStyler(), nullptr);
    EXPECT_EQ(menu->CurrentStyler(), styler);
    EXPECT_EQ(styler->Menu(), menu);
    EXPECT_EQ(styler->IconBar().Menu(), menu);
    EXPECT_EQ(styler->SideBar().Background().Menu(), nullptr);  // the side bar's own stay unbound
    EXPECT_EQ(GetStyledMenu(menu)->GetCurrentStyler(), styler);
    delete styler;
    styler = nullptr;
    ASSERT_NE(menu->InternalStyler(), nullptr);
    EXPECT_EQ(menu->CurrentStyler(), menu->InternalStyler());
    EXPECT_EQ(menu->MenuStyler(), nullptr);
    auto* other = new TFineMenuStyler(&owner);
    menu->SetMenuStyler(other);
    menu->SetMenuStyler(nullptr);
    EXPECT_EQ(menu->CurrentStyler()->Name(), "InternalMenuStyler");
    ui::TMainMenu plain(nullptr);
    EXPECT_EQ(GetStyledMenu(&plain), nullptr);
}

// A styler and a menu with different owners are not told of each other's end through a common
// owner: each must still let go of the other, whichever goes first, and nothing may reach the
// one that went (the sanitizer build sees any touch of it).
TEST_F(AppearanceFixture, StylerAndMenuOfDifferentOwnersLetGoOfEachOther) {
    ui::TFont other_font;
    other_font.SetName("DejaVu Sans");
    other_font.SetHeight(-15);
    {
        SCOPED_TRACE("styler freed first");
        ui::TComponent menu_owner{nullptr};
        auto* menu = new TFineMainMenu(&menu_owner);
        menu->SetMenuStyler(styler);
        delete styler;
        styler = nullptr;
        EXPECT_EQ(menu->MenuStyler(), nullptr);
        EXPECT_NE(menu->InternalStyler(), nullptr);
        EXPECT_EQ(menu->CurrentStyler(), menu->InternalStyler());
    }
    {
        SCOPED_TRACE("menu freed first");
        ui::TComponent styler_owner{nullptr};
        auto* first = new TFineMenuStyler(&styler_owner);
        auto* second = new TFineMenuStyler(&styler_owner);
        auto* menu = new TFineMainMenu(&owner);
        // One styler bound and replaced, one bound when the menu goes.
        menu->SetMenuStyler(first);
        menu->SetMenuStyler(second);
        delete menu;
        for (TFineMenuStyler* s : {first, second}) {
            EXPECT_EQ(s->Menu(), nullptr);
            EXPECT_EQ(s->IconBar().Menu(), nullptr);
            EXPECT_EQ(s->RootItem().Menu(), nullptr);
            EXPECT_EQ(s->SideBar().Menu(), nullptr);
            // Changes that refresh a bound menu find none.
            s->SetFont(other_font);
            s->RootItem().SetFont(other_font);
            s->SetSideBar(s->SideBar());
        }
    }
}

// A styler bound to one menu and then to another serves both; when it goes, each menu lets go of
// it and falls back to an internal styler (the sanitizer build sees any touch of the freed one).
TEST_F(AppearanceFixture, AStylerSharedByTwoMenusIsLetGoByBothWhenFreed) {
    ui::TComponent first_owner{nullptr}, second_owner{nullptr};
    auto* first = new TFineMainMenu(&first_owner);
    auto* second = new TFineMainMenu(&second_owner);
    first->SetMenuStyler(styler);
    second->SetMenuStyler(styler);
    EXPECT_EQ(first->CurrentStyler(), styler);
    EXPECT_EQ(styler->Menu(), second);
    delete styler;
    styler = nullptr;
    for (TFineMainMenu* menu : {first, second}) {
        EXPECT_EQ(menu->MenuStyler(), nullptr);
        ASSERT_NE(menu->CurrentStyler(), nullptr);
        EXPECT_EQ(menu->CurrentStyler(), menu->InternalStyler());
        EXPECT_EQ(menu->CurrentStyler()->Name(), "InternalMenuStyler");
    }
}

// A menu being loaded keeps its internal styler until loading ends. A styler assigned meanwhile
// and freed before then gives the menu that internal styler back (a second one could not take its
// name, and the failure would come out of the styler's destructor); so does assigning none.
TEST_F(AppearanceFixture, AStylerFreedWhileTheMenuLoadsGivesItsInternalStylerBack) {
    ui::TComponent menu_owner{nullptr};
    for (const bool freed : {true, false}) {
        SCOPED_TRACE(freed ? "styler freed" : "none assigned");
        auto* menu = new TFineMainMenu(&menu_owner);
        TCustomFineMenuStyler* internal = menu->InternalStyler();
        auto* assigned = new TFineMenuStyler(&owner);
        menu->BeginLoading();
        menu->SetMenuStyler(assigned);
        EXPECT_EQ(menu->CurrentStyler(), assigned);
        EXPECT_EQ(menu->InternalStyler(), internal);  // still being loaded
        if (freed)
            delete assigned;
        else
            menu->SetMenuStyler(nullptr);
        EXPECT_EQ(menu->MenuStyler(), nullptr);
        EXPECT_EQ(menu->CurrentStyler(), internal);
        menu->EndLoading();
        EXPECT_EQ(menu->InternalStyler(), internal);
        EXPECT_EQ(menu->CurrentStyler(), internal);
        delete menu;
        if (!freed) delete assigned;
    }
}

// The menu's own internal styler given to it as its styler changes nothing: the menu goes on
// painting with it and does not free it.
TEST_F(AppearanceFixture, AMenuGivenItsOwnInternalStylerKeepsIt) {
    auto* menu = new TFineMainMenu(&owner);
    TCustomFineMenuStyler* internal = menu->InternalStyler();
    menu->SetMenuStyler(internal);
    EXPECT_EQ(menu->InternalStyler(), internal);
    EXPECT_EQ(menu->CurrentStyler(), internal);
    EXPECT_EQ(menu->MenuStyler(), nullptr);
    EXPECT_EQ(internal->Name(), "InternalMenuStyler");
    internal->SetFont(internal->Font());  // still there to be used
    menu->SetMenuStyler(styler);
    EXPECT_EQ(menu->InternalStyler(), nullptr);
    EXPECT_EQ(menu->CurrentStyler(), styler);
}

}  // namespace
