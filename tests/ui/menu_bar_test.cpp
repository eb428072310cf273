// The menu host through its real widgets: the bar and drop-down windows, their geometry and
// pixels, owner drawing, window procedures and regions, and the tracking by keys and mouse.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/controls/application.h"
#include "platform/ui/forms/actions.h"
#include "platform/ui/forms/form.h"
#include "platform/ui/forms/menu_bar.h"
#include "platform/ui/forms/stdctrls.h"
#include "tests/support/render.h"

namespace {

using namespace ui;

using test_support::PixelAt;

// A delay the test fires itself.
class ManualDelay : public TMenuDelayTimer {
public:
    explicit ManualDelay(int& started_ms) : started_ms_(started_ms) {}
    void Start(int delay_ms, std::function<void()> fire) override {
        started_ms_ = delay_ms;
        fire_ = std::move(fire);
    }
    void Stop() override { fire_ = nullptr; }
    static void Fire(std::function<void()>& fire) {
        auto f = std::move(fire);
        fire = nullptr;
        if (f) f();
    }
    std::function<void()> fire_;

private:
    int& started_ms_;
};

struct MenuBarFixture : ::testing::Test {
    TForm form{nullptr};
    TMainMenu* menu = new TMainMenu(&form);
    TMenuItem* file = nullptr;
    TMenuItem* help = nullptr;
    TMenuItem* open = nullptr;
    TMenuItem* recent = nullptr;
    TMenuItem* exit = nullptr;
    TMenuItem* about = nullptr;
    std::vector<std::string> ran;
    std::vector<int> bar_at_run;  // drop-downs still open when a command ran
    ManualDelay* delay = nullptr;
    int delay_ms = 0;

    TMenuItem* Add(TMenuItem* parent, const std::string& caption) {
        auto* item = new TMenuItem(menu);
        item->SetCaption(caption);
        item->OnClick = [this, caption](TPersistent*) {
            ran.push_back(caption);
            bar_at_run.push_back(form.MenuBar()->PopupCount());
        };
        parent->Add(item);
        return item;
    }

    void SetUp() override {
        form.SetBounds(100, 50, 400, 300);
        file = Add(menu->Items(), "&File");
        open = Add(file, "&Open");
        recent = Add(file, "&Recent");
        Add(recent, "&One");
        Add(recent, "&Two");
        Add(file, "-");
        exit = Add(file, "E&xit");
        exit->SetShortCut(ShortCut('Q', scCtrl));
        help = Add(menu->Items(), "&Help");
        about = Add(help, "&About");
        form.SetMenu(menu);
        auto timer = std::make_unique<ManualDelay>(delay_ms);
        delay = timer.get();
        Bar().SetDelayTimer(std::move(timer));
        form.Show();
    }
    void TearDown() override { Application().OnException = nullptr; }

    TMenuBar& Bar() { return *form.MenuBar(); }
    void Key(int qt_key, Qt::KeyboardModifiers mods = Qt::NoModifier, QEvent::Type type = QEvent::KeyPress) {
        QKeyEvent event(type, qt_key, mods);
        QApplication::sendEvent(form.Window(), &event);
    }
    void Tap(int qt_key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Key(qt_key, mods, QEvent::KeyPress);
        Key(qt_key, mods, QEvent::KeyRelease);
    }
    void Mouse(TMenuWindow& window, QEvent::Type type, TPoint screen) {
        const TRect w = window.WindowRect();
        const QPointF local(screen.X - w.Left, screen.Y - w.Top);
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, local, QPointF(screen.X, screen.Y),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(window.Widget(), &event);
    }
    static TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
    void Click(TMenuWindow& window, int position) {
        const TPoint p = Centre(window.ItemRect(position));
        Mouse(window, QEvent::MouseMove, p);
        Mouse(window, QEvent::MouseButtonPress, p);
        Mouse(window, QEvent::MouseButtonRelease, p);
    }
    std::vector<std::string> OpenCaptions() {
        std::vector<std::string> captions;
        for (int i = 0; i < Bar().PopupCount(); ++i) captions.push_back(Bar().Popup(i).MenuItem()->Caption());
        return captions;
    }
};

TEST_F(MenuBarFixture, BarItemsStandAtTheirMeasuredWidthsOnOneSurface) {
    menu->SetOwnerDraw(true);
    file->OnMeasureItem = [](TPersistent*, TCanvas&, int& w, int& h) { w = 40, h = 21; };
    help->OnMeasureItem = [](TPersistent*, TCanvas&, int& w, int& h) {
        w = 55;
        (void)h;
    };
    std::vector<TRect> drawn;
    // The first item paints beyond its own rectangle; the second only a strip at its left.
    file->OnAdvancedDrawItem = [&](TPersistent*, TCanvas& c, const TRect& r, TOwnerDrawState) {
        drawn.push_back(r);
        c.Brush().SetColor(clRed);
        c.FillRect(TRect{r.Left, r.Top, r.Left + 80, r.Bottom});
    };
    help->OnAdvancedDrawItem = [&](TPersistent*, TCanvas& c, const TRect& r, TOwnerDrawState) {
        drawn.push_back(r);
        c.Brush().SetColor(clBlue);
        c.FillRect(TRect{r.Left, r.Top, r.Left + 5, r.Bottom});
    };
    menu->UpdateItems();
    TMenuWindow& bar = Bar().Window();
    // The platform's room around an owner-measured bar item: two average characters of the
    // 8-point menu font.
    const int room = OwnerDrawBarItemSpacing();
    EXPECT_GE(room, 8);
    EXPECT_LE(room, 14);
    EXPECT_EQ(room % 2, 0);
    EXPECT_EQ(Bar().Height(), 21);
    const TRect origin = bar.WindowRect();
    EXPECT_EQ(bar.ItemRect(0), Bounds(origin.Left, origin.Top, 40 + room, 21));
    EXPECT_EQ(bar.ItemRect(1), Bounds(origin.Left + 40 + room, origin.Top, 55 + room, 21));
    const QImage& image = bar.Render();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0], Rect(0, 0, 40 + room, 21));
    EXPECT_EQ(drawn[1], Rect(40 + room, 0, 95 + 2 * room, 21));
    EXPECT_EQ(PixelAt(image, 20, 10), clRed);
    EXPECT_EQ(PixelAt(image, 42 + room, 10), clBlue);
    EXPECT_EQ(PixelAt(image, 46 + room, 10), clRed);  // the first item's paint outside its rectangle stays
    // The form's client area starts below the bar.
    EXPECT_EQ(form.Widget()->y(), 21);
}

TEST_F(MenuBarFixture, DropDownHasAThreePixelFrameAndItemsInClientCoordinates) {
    menu->SetOwnerDraw(true);
    std::vector<TRect> rects;
    for (int i = 0; i < file->Count(); ++i) {
        TMenuItem* item = file->Items(i);
        item->OnMeasureItem = [](TPersistent* s, TCanvas&, int& w, int& h) {
            w = 80;
            h = static_cast<TMenuItem*>(s)->IsLine() ? 6 : 20;
        };
        item->OnAdvancedDrawItem = [&rects](TPersistent*, TCanvas& c, const TRect& r, TOwnerDrawState) {
            rects.push_back(r);
            c.Brush().SetColor(clGreen);
            c.FillRect(r);
        };
    }
    menu->UpdateItems();
    Click(Bar().Window(), 0);
    ASSERT_EQ(Bar().PopupCount(), 1);
    TMenuWindow& popup = Bar().Popup(0);
    const TRect button = Bar().Window().ItemRect(0);
    const TRect window = popup.WindowRect();
    EXPECT_EQ(window, Bounds(button.Left, button.Bottom, 3 + 80 + 3, 3 + 20 * 3 + 6 + 3));
    EXPECT_EQ(popup.ItemRect(0), Bounds(window.Left + 3, window.Top + 3, 80, 20));
    EXPECT_EQ(popup.ItemRect(2), Bounds(window.Left + 3, window.Top + 43, 80, 6));
    const QImage& image = popup.Render();
    ASSERT_EQ(rects.size(), 4u);
    EXPECT_EQ(rects[0], Rect(0, 0, 80, 20));
    EXPECT_EQ(rects[3], Rect(0, 46, 80, 66));
    EXPECT_EQ(PixelAt(image, 3, 3), clGreen);
    EXPECT_EQ(PixelAt(image, 82, 68), clGreen);
    EXPECT_NE(PixelAt(image, 2, 2), clGreen);  // the frame
    EXPECT_NE(PixelAt(image, 83, 69), clGreen);
    // A region masks the window; its right and bottom edges lie outside.
    popup.SetWindowRegion(Rect(1, 1, 60, 40));
    const QRegion mask = popup.Widget()->mask();
    EXPECT_TRUE(mask.contains(QPoint(59, 39)));
    EXPECT_FALSE(mask.contains(QPoint(60, 39)));
    EXPECT_FALSE(mask.contains(QPoint(59, 40)));
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    // The canvas handed to the items belongs to the drop-down.
    TMenuWindow* found = nullptr;
    open->OnAdvancedDrawItem = [&](TPersistent*, TCanvas& c, const TRect&, TOwnerDrawState) {
        found = TMenuWindow::FromCanvas(c);
        EXPECT_NE(TMenuWindow::FromCanvas(*found->WindowCanvas()), nullptr);
    };
    popup.Render();
    EXPECT_EQ(found, &popup);
}

TEST_F(MenuBarFixture, BreaksStartColumnsOfTheWidestItem) {
    menu->SetOwnerDraw(true);
    for (int i = 0; i < file->Count(); ++i) {
        file->Items(i)->OnMeasureItem = [i](TPersistent*, TCanvas&, int& w, int& h) { w = 50 + 10 * i, h = 20; };
    }
    file->Items(2)->SetBreak(true);  // the separator starts the second column
    Click(Bar().Window(), 0);
    TMenuWindow& popup = Bar().Popup(0);
    const TRect w = popup.WindowRect();
    EXPECT_EQ(popup.ItemRect(1), Bounds(w.Left + 3, w.Top + 23, 60, 20));
    EXPECT_EQ(popup.ItemRect(0), Bounds(w.Left + 3, w.Top + 3, 60, 20));
    EXPECT_EQ(popup.ItemRect(2), Bounds(w.Left + 63, w.Top + 3, 80, 20));
    EXPECT_EQ(popup.ItemRect(3), Bounds(w.Left + 63, w.Top + 23, 80, 20));
    EXPECT_EQ(w.Width(), 3 + 60 + 80 + 3);
}

TEST_F(MenuBarFixture, AltAloneSelectsTheBarAndArrowsEnterRunAfterClosing) {
    Key(Qt::Key_Alt, Qt::AltModifier);
    Key(Qt::Key_Alt, Qt::NoModifier, QEvent::KeyRelease);
    EXPECT_TRUE(Bar().Tracking());
    EXPECT_EQ(Bar().Window().Selected(), 0);
    EXPECT_EQ(Bar().PopupCount(), 0);
    Tap(Qt::Key_Right);
    EXPECT_EQ(Bar().Window().Selected(), 1);
    Tap(Qt::Key_Left);
    Tap(Qt::Key_Down);
    ASSERT_EQ(OpenCaptions(), std::vector<std::string>{"&File"});
    EXPECT_EQ(Bar().Popup(0).Selected(), 0);
    Tap(Qt::Key_Down);
    Tap(Qt::Key_Down);  // over the separator
    EXPECT_EQ(Bar().Popup(0).Selected(), 3);
    Tap(Qt::Key_Return);
    EXPECT_EQ(ran, std::vector<std::string>{"E&xit"});
    EXPECT_EQ(bar_at_run, std::vector<int>{0});
    EXPECT_FALSE(Bar().Tracking());
}

TEST_F(MenuBarFixture, KeyboardPathsTable) {
    struct Row {
        const char* name;
        std::vector<std::pair<int, Qt::KeyboardModifiers>> keys;
        std::vector<std::string> open;  // drop-downs open afterwards
        std::vector<std::string> ran;
    };
    const Row rows[] = {
        {"Alt+F opens File", {{Qt::Key_F, Qt::AltModifier}}, {"&File"}, {}},
        {"Alt+H then A runs About", {{Qt::Key_H, Qt::AltModifier}, {Qt::Key_A, {}}}, {}, {"&About"}},
        {"F10, Right, Down opens Help", {{Qt::Key_F10, {}}, {Qt::Key_Right, {}}, {Qt::Key_Down, {}}}, {"&Help"}, {}},
        {"Right in File moves to Help", {{Qt::Key_F, Qt::AltModifier}, {Qt::Key_Right, {}}}, {"&Help"}, {}},
        {"Right on Recent opens it",
         {{Qt::Key_F, Qt::AltModifier}, {Qt::Key_Down, {}}, {Qt::Key_Right, {}}},
         {"&File", "&Recent"},
         {}},
        {"Left closes Recent", {{Qt::Key_F, Qt::AltModifier}, {Qt::Key_R, {}}, {Qt::Key_Left, {}}}, {"&File"}, {}},
        {"R then T runs Two", {{Qt::Key_F, Qt::AltModifier}, {Qt::Key_R, {}}, {Qt::Key_T, {}}}, {}, {"&Two"}},
        {"Esc closes one level", {{Qt::Key_F, Qt::AltModifier}, {Qt::Key_R, {}}, {Qt::Key_Escape, {}}}, {"&File"}, {}},
        {"Esc twice leaves the drop-downs", {{Qt::Key_F, Qt::AltModifier}, {Qt::Key_Escape, {}}}, {}, {}},
        {"F10 ends", {{Qt::Key_F, Qt::AltModifier}, {Qt::Key_F10, {}}}, {}, {}},
        {"Up wraps to the last item",
         {{Qt::Key_F, Qt::AltModifier}, {Qt::Key_Up, {}}, {Qt::Key_Return, {}}},
         {},
         {"E&xit"}},
        {"Ctrl+Q is the form's shortcut", {{Qt::Key_Q, Qt::ControlModifier}}, {}, {"E&xit"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bar().EndTracking();
        ran.clear();
        for (const auto& [key, mods] : row.keys) Tap(key, mods);
        EXPECT_EQ(OpenCaptions(), row.open);
        EXPECT_EQ(ran, row.ran);
    }
    // Esc in the last drop-down returns to the bar with its item still selected.
    Bar().EndTracking();
    Tap(Qt::Key_F, Qt::AltModifier);
    Tap(Qt::Key_Escape);
    EXPECT_TRUE(Bar().Tracking());
    EXPECT_EQ(Bar().Window().Selected(), 0);
}

TEST_F(MenuBarFixture, MouseHotTracksTheBarAndSwitchesOpenDropDowns) {
    menu->SetOwnerDraw(true);
    std::vector<TOwnerDrawState> help_states;
    help->OnAdvancedDrawItem = [&](TPersistent*, TCanvas&, const TRect&, TOwnerDrawState s) {
        help_states.push_back(s);
    };
    TMenuWindow& bar = Bar().Window();
    Mouse(bar, QEvent::MouseMove, Centre(bar.ItemRect(1)));
    EXPECT_EQ(Bar().HotItem(), 1);
    bar.Render();
    ASSERT_FALSE(help_states.empty());
    EXPECT_EQ(help_states.back() & (odHotLight | odSelected), odHotLight);
    Click(bar, 0);
    EXPECT_EQ(OpenCaptions(), std::vector<std::string>{"&File"});
    Mouse(bar, QEvent::MouseMove, Centre(bar.ItemRect(1)));
    EXPECT_EQ(OpenCaptions(), std::vector<std::string>{"&Help"});
    bar.Render();
    EXPECT_EQ(help_states.back() & (odHotLight | odSelected), odSelected);
    Click(Bar().Popup(0), 0);
    EXPECT_EQ(ran, std::vector<std::string>{"&About"});
    EXPECT_EQ(bar_at_run, std::vector<int>{0});
    // A second press on the open item closes it.
    Click(bar, 0);
    Mouse(bar, QEvent::MouseButtonPress, Centre(bar.ItemRect(0)));
    EXPECT_EQ(Bar().PopupCount(), 0);
}

TEST_F(MenuBarFixture, SubMenusOpenAfterTheDelayOnly) {
    Click(Bar().Window(), 0);
    TMenuWindow& popup = Bar().Popup(0);
    Mouse(popup, QEvent::MouseMove, Centre(popup.ItemRect(1)));
    EXPECT_EQ(delay_ms, kSubMenuDelayMs);
    EXPECT_EQ(Bar().PopupCount(), 1);  // not before the delay
    ManualDelay::Fire(delay->fire_);
    EXPECT_EQ(OpenCaptions(), (std::vector<std::string>{"&File", "&Recent"}));
    EXPECT_EQ(Bar().Popup(1).Level(), 2);
    // Moving on to another item closes the sub-items after the delay, not at once.
    Mouse(popup, QEvent::MouseMove, Centre(popup.ItemRect(0)));
    EXPECT_EQ(Bar().PopupCount(), 2);
    ManualDelay::Fire(delay->fire_);
    EXPECT_EQ(Bar().PopupCount(), 1);
    // Moving away again before the delay ends cancels it.
    Mouse(popup, QEvent::MouseMove, Centre(popup.ItemRect(1)));
    Mouse(popup, QEvent::MouseMove, Centre(popup.ItemRect(3)));
    EXPECT_FALSE(delay->fire_);
    EXPECT_EQ(Bar().PopupCount(), 1);
}

TEST_F(MenuBarFixture, ActionsAreUpdatedBeforeTheDropDownShows) {
    auto* action = new TAction(&form);
    action->SetCaption("&Save");
    int updates = 0;
    action->OnUpdate = [&](TPersistent*) {
        ++updates;
        EXPECT_EQ(Bar().PopupCount(), 0);
        action->SetEnabled(false);
    };
    open->SetAction(action);
    Tap(Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(updates, 1);
    ASSERT_EQ(Bar().PopupCount(), 1);
    EXPECT_EQ(Bar().Popup(0).ItemAt(0)->Caption(), "&Save");
    EXPECT_FALSE(Bar().Popup(0).ItemAt(0)->Enabled());
    Tap(Qt::Key_S);  // disabled: nothing runs
    Tap(Qt::Key_Return);
    EXPECT_TRUE(ran.empty());
}

TEST_F(MenuBarFixture, CommandErrorsGoToTheErrorReport) {
    std::vector<std::string> reported;
    Application().OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
    about->OnClick = [](TPersistent*) { throw std::runtime_error("about failed"); };
    Tap(Qt::Key_H, Qt::AltModifier);
    Tap(Qt::Key_Return);
    EXPECT_EQ(reported, std::vector<std::string>{"about failed"});
    EXPECT_FALSE(Bar().Tracking());
}

TEST_F(MenuBarFixture, AKeyWhoseCommandRaisedWasHandledAndRunsItOnce) {
    // The keys reach a control inside the window, as a user's keys do. A key nobody takes goes
    // on from the control to the controls around it, up to the window: a command that ran and
    // raised must not be run again on that way.
    std::vector<std::string> reported;
    Application().OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
    int runs = 0;
    auto raise = [&runs](TPersistent*) {
        ++runs;
        throw std::runtime_error("failed");
    };
    open->SetShortCut(ShortCut('O', scCtrl));
    open->OnClick = raise;
    about->OnClick = raise;
    auto* list = new TActionList(&form);
    auto* action = new TAction(&form);
    action->SetActionList(list);
    action->SetShortCut(ShortCut('K', scCtrl));
    action->OnExecute = raise;
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    auto* button = new TButton(&form);
    button->SetParent(panel);
    const struct {
        const char* name;
        std::vector<std::pair<int, Qt::KeyboardModifiers>> keys;
    } rows[] = {
        {"a menu item's shortcut", {{Qt::Key_O, Qt::ControlModifier}}},
        {"an action's shortcut", {{Qt::Key_K, Qt::ControlModifier}}},
        {"Enter on a drop-down's item", {{Qt::Key_H, Qt::AltModifier}, {Qt::Key_Return, {}}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        runs = 0;
        reported.clear();
        for (const auto& [key, mods] : row.keys) {
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, key, mods);
                QApplication::sendEvent(button->NativeWidget(), &event);
            }
        }
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(reported, std::vector<std::string>{"failed"});
        EXPECT_FALSE(Bar().Tracking());
    }
}

TEST_F(MenuBarFixture, WindowProcedureSeesEraseShowAndDestroy) {
    std::vector<std::pair<TMenuMessage, std::intptr_t>> seen;
    menu->SetOwnerDraw(true);
    bool hooked = false;
    open->OnAdvancedDrawItem = [&](TPersistent*, TCanvas& c, const TRect&, TOwnerDrawState) {
        TMenuWindow* w = TMenuWindow::FromCanvas(c);
        if (hooked) return;
        hooked = true;
        w->SetUserData(w->WindowProc());
        w->SetWindowProc([&seen](TMenuWindow& window, TMenuMessage m, std::intptr_t wparam) -> std::intptr_t {
            seen.emplace_back(m, wparam);
            if (m == TMenuMessage::mmEraseBackground) return 1;
            return window.UserData() ? window.UserData()(window, m, wparam) : window.DefaultProc(m, wparam);
        });
    };
    Tap(Qt::Key_F, Qt::AltModifier);
    TMenuWindow& popup = Bar().Popup(0);
    popup.Render();  // the first paint hooks the window
    ASSERT_TRUE(hooked);
    popup.Render();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().first, TMenuMessage::mmEraseBackground);
    seen.clear();
    Tap(Qt::Key_Escape);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(TMenuMessage::mmShowWindow, std::intptr_t{0}));
    EXPECT_EQ(seen[1].first, TMenuMessage::mmDestroy);
}

TEST(MenuItems, RadioItemsOfAGroupExcludeEachOther) {
    TComponent owner(nullptr);
    auto* menu = new TMainMenu(&owner);
    TMenuItem* items[3];
    for (auto*& item : items) {
        item = new TMenuItem(menu);
        item->SetRadioItem(true);
        menu->Items()->Add(item);
    }
    items[2]->SetGroupIndex(1);
    items[0]->SetChecked(true);
    items[2]->SetChecked(true);
    items[1]->SetChecked(true);
    EXPECT_FALSE(items[0]->Checked());
    EXPECT_TRUE(items[1]->Checked());
    EXPECT_TRUE(items[2]->Checked());  // another group
    EXPECT_EQ(GetHotkey("E&xit"), 'X');
    EXPECT_EQ(GetHotkey("Fish && &Chips"), 'C');
    EXPECT_EQ(GetHotkey("No"), 0);
    EXPECT_EQ(StripHotkey("Fish && &Chips"), "Fish & Chips");
}

}  // namespace
