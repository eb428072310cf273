// The main window's Office-styled menu through the real menu bar: opened by mouse, Alt+F and F10
// with arrows, running its commands and closing, and painting in the styler's colours.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/main_form.h"
#include "app/main_window_styling.h"
#include "platform/ui/forms/menu_bar.h"
#include "tests/app/window_fixture.h"
#include "tests/support/render.h"

namespace {

using app::TQuillbookForm;

class MainWindowMenu : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::EnsureApplication();
        dir_ = std::filesystem::temp_directory_path() / ("main-menu-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
        form_ = std::make_unique<TQuillbookForm>(nullptr);
        form_->FileNewAction->OnExecute = [this](ui::TPersistent*) { ran_.push_back("new"); };
        form_->AboutAction->OnExecute = [this](ui::TPersistent*) { ran_.push_back("about"); };
        form_->Show();
    }
    void TearDown() override {
        form_.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    ui::TMenuBar& Bar() { return *form_->MenuBar(); }
    void Tap(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(form_->Window(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods);
        QApplication::sendEvent(form_->Window(), &release);
    }
    static void Click(ui::TMenuWindow& window, int position) { app_test::ClickMenuWindow(window, position); }
    std::string Open() const {
        const ui::TMenuBar& bar = *form_->MenuBar();
        return bar.PopupCount() == 0 ? "" : bar.Popup(bar.PopupCount() - 1).MenuItem()->Caption();
    }

    std::filesystem::path dir_;
    std::unique_ptr<TQuillbookForm> form_;
    std::vector<std::string> ran_;
};

TEST_F(MainWindowMenu, FileAndHelpOpenByMouseAndRunTheirCommands) {
    Click(Bar().Window(), 0);
    EXPECT_EQ(Open(), "&File");
    EXPECT_EQ(Bar().Popup(0).ItemCount(), 5);
    Click(Bar().Popup(0), 0);
    EXPECT_EQ(ran_, std::vector<std::string>{"new"});
    EXPECT_EQ(Bar().PopupCount(), 0);
    Click(Bar().Window(), 1);
    EXPECT_EQ(Open(), "&Help");
    Click(Bar().Popup(0), 0);
    EXPECT_EQ(ran_, (std::vector<std::string>{"new", "about"}));
    EXPECT_FALSE(Bar().Tracking());
}

TEST_F(MainWindowMenu, AltFAndF10WithArrows) {
    Tap(Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(Open(), "&File");
    Tap(Qt::Key_Return);  // the first item
    EXPECT_EQ(ran_, std::vector<std::string>{"new"});
    Tap(Qt::Key_F10);
    Tap(Qt::Key_Right);
    Tap(Qt::Key_Down);
    EXPECT_EQ(Open(), "&Help");
    Tap(Qt::Key_Return);
    EXPECT_EQ(ran_, (std::vector<std::string>{"new", "about"}));
    Tap(Qt::Key_F10);
    Tap(Qt::Key_Down);
    Tap(Qt::Key_Escape);
    Tap(Qt::Key_Escape);
    EXPECT_EQ(Bar().PopupCount(), 0);
    EXPECT_FALSE(Bar().Tracking());
    Tap(Qt::Key_N, Qt::ControlModifier);  // the shortcut through the form
    EXPECT_EQ(ran_, (std::vector<std::string>{"new", "about", "new"}));
}

TEST_F(MainWindowMenu, DrawsInTheStoredStylerColours) {
    menus::TFineMenuOfficeStyler& styler = *form_->FineMenuOfficeStyler1;
    EXPECT_EQ(form_->FineMainMenu1->CurrentStyler(), &styler);
    EXPECT_EQ(styler.Style(), menus::TOfficeStyle::osOffice2003Silver);
    // The colours stored with the form override the values of a style set before them. The
    // window's own style gives most of them already, so another style comes first here; what it
    // leaves alone gets a sentinel, so that every row can tell a stored value that is missing.
    using menus::TFineMenuOfficeStyler;
    const struct {
        const char* name;
        ui::TColor stored;
        std::function<ui::TColor(TFineMenuOfficeStyler&)> get;
        std::function<void(TFineMenuOfficeStyler&, ui::TColor)> set;
    } rows[] = {
        {"Background.Color", 16185078, [](auto& s) { return s.Background().Color(); },
         [](auto& s, ui::TColor c) { s.Background().SetColor(c); }},
        {"Background.ColorTo", 16185078, [](auto& s) { return s.Background().ColorTo(); },
         [](auto& s, ui::TColor c) { s.Background().SetColorTo(c); }},
        {"Button.DownColor", 5149182, [](auto& s) { return s.ButtonAppearance().DownColor(); },
         [](auto& s, ui::TColor c) { s.ButtonAppearance().SetDownColor(c); }},
        {"Button.DownColorTo", 9556991, [](auto& s) { return s.ButtonAppearance().DownColorTo(); },
         [](auto& s, ui::TColor c) { s.ButtonAppearance().SetDownColorTo(c); }},
        {"Button.HoverColor", 13432063, [](auto& s) { return s.ButtonAppearance().HoverColor(); },
         [](auto& s, ui::TColor c) { s.ButtonAppearance().SetHoverColor(c); }},
        {"Button.HoverColorTo", 9556223, [](auto& s) { return s.ButtonAppearance().HoverColorTo(); },
         [](auto& s, ui::TColor c) { s.ButtonAppearance().SetHoverColorTo(c); }},
        {"Button.DownBorderColor", ui::clNavy, [](auto& s) { return s.ButtonAppearance().DownBorderColor(); },
         [](auto& s, ui::TColor c) { s.ButtonAppearance().SetDownBorderColor(c); }},
        {"Button.HoverBorderColor", ui::clNavy, [](auto& s) { return s.ButtonAppearance().HoverBorderColor(); },
         [](auto& s, ui::TColor c) { s.ButtonAppearance().SetHoverBorderColor(c); }},
        {"IconBar.ColorTo", 12164511, [](auto& s) { return s.IconBar().ColorTo(); },
         [](auto& s, ui::TColor c) { s.IconBar().SetColorTo(c); }},
        {"SelectedItem.BorderColor", 524288, [](auto& s) { return s.SelectedItem().BorderColor(); },
         [](auto& s, ui::TColor c) { s.SelectedItem().SetBorderColor(c); }},
        {"RootItem.ColorTo", 16249843, [](auto& s) { return s.RootItem().ColorTo(); },
         [](auto& s, ui::TColor c) { s.RootItem().SetColorTo(c); }},
        {"RootItem.SelectedColor", 15854056, [](auto& s) { return s.RootItem().SelectedColor(); },
         [](auto& s, ui::TColor c) { s.RootItem().SetSelectedColor(0, c); }},
        {"RootItem.SelectedColorTo", 13482426, [](auto& s) { return s.RootItem().SelectedColorTo(); },
         [](auto& s, ui::TColor c) { s.RootItem().SetSelectedColor(1, c); }},
        {"RootItem.HoverColor", 13432063, [](auto& s) { return s.RootItem().HoverColor(); },
         [](auto& s, ui::TColor c) { s.RootItem().SetHoverColor(0, c); }},
        {"RootItem.HoverColorTo", 10147583, [](auto& s) { return s.RootItem().HoverColorTo(); },
         [](auto& s, ui::TColor c) { s.RootItem().SetHoverColor(1, c); }},
        {"SideBar.SplitterColorTo", ui::clBlack, [](auto& s) { return s.SideBar().SplitterColorTo(); },
         [](auto& s, ui::TColor c) { s.SideBar().SetSplitterColorTo(c); }},
        {"MenuBorderColor", 6196597, [](auto& s) { return s.MenuBorderColor(); },
         [](auto& s, ui::TColor c) { s.SetMenuBorderColor(c); }},
    };
    for (const auto& row : rows) EXPECT_EQ(row.get(styler), row.stored) << row.name;
    const std::unique_ptr<TFineMenuOfficeStyler> other(app::CreateMainMenuStyler(nullptr));
    other->SetStyle(menus::TOfficeStyle::osOffice2010Black);
    for (const auto& row : rows) {
        if (row.get(*other) == row.stored) row.set(*other, 0x123456);
    }
    app::ApplyStoredMenuStyling(*other);
    for (const auto& row : rows) EXPECT_EQ(row.get(*other), row.stored) << row.name;
    Tap(Qt::Key_F, Qt::AltModifier);
    ui::TMenuWindow& popup = Bar().Popup(0);
    const QImage& image = popup.Render();
    // The outer frame in the menu border colour, inside it the background colour.
    EXPECT_EQ(test_support::PixelAt(image, 1, 10), styler.MenuBorderColor());
    EXPECT_EQ(test_support::PixelAt(image, 2, 10), ui::ColorToRGB(styler.Background().Color()));
    // The selected first item is filled in the selected colour and framed in its border colour.
    const ui::TRect item = popup.ItemRect(0);
    const ui::TRect w = popup.WindowRect();
    EXPECT_EQ(test_support::PixelAt(image, item.Left - w.Left + 30, item.Top - w.Top + 2),
              styler.SelectedItem().Color());
    EXPECT_EQ(test_support::PixelAt(image, item.Left - w.Left + 30, item.Top - w.Top),
              styler.SelectedItem().BorderColor());
    EXPECT_TRUE(popup.WindowRegion().has_value());
}

}  // namespace
