#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "controls/markup/markup_renderer.h"
#include "controls/panel/control_watch_list.h"
#include "controls/panel/fine_panel.h"
#include "controls/panel/panel_input.h"
#include "platform/settings/ini_file.h"
#include "platform/ui/controls/deferred_release.h"
#include "platform/ui/controls/services.h"
#include "tests/support/input.h"
#include "tests/support/render.h"
#include "tests/support/temp_folder.h"

namespace panel {
namespace {

// A host window with one 200 x 120 panel at (20, 30) whose 20-pixel caption shows.
class PanelInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::EnsureApplication();
        host_ = std::make_unique<ui::TCustomControl>(nullptr);
        host_->SetBounds(0, 0, 400, 400);
        panel_ = MakePanel();
    }
    TFinePanel* MakePanel() {
        auto* p = new TFinePanel(host_.get());
        p->SetParent(host_.get());
        p->SetBounds(20, 30, 200, 120);
        p->Caption().SetVisible(true);
        p->Caption().SetHeight(20);
        p->SetCollapsDelay(0);
        return p;
    }
    // Heights the panel takes while `action` runs.
    std::vector<int> HeightsDuring(const std::function<void()>& action) {
        std::vector<int> heights;
        panel_->OnResize = [&](ui::TPersistent*) { heights.push_back(panel_->Height()); };
        action();
        panel_->OnResize = nullptr;
        return heights;
    }
    // A point over the anchor with `value` in the body or caption; fails the test when none is.
    ui::TPoint PointOver(const std::string& value) {
        for (int y = 0; y < panel_->Height(); y += 2) {
            for (int x = 0; x < panel_->Width(); x += 2) {
                ui::TRect r;
                if (panel_->GetAnchorAt(x, y, r) == value) return ui::TPoint{x, y};
            }
        }
        ADD_FAILURE() << "no point over " << value;
        return ui::TPoint{0, 0};
    }
    std::unique_ptr<ui::TCustomControl> host_;
    TFinePanel* panel_ = nullptr;
};

ui::TPoint Centre(const ui::TRect& r) { return ui::TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

TEST_F(PanelInputTest, CollapseAndExpandGoThroughTheirSteps) {
    panel_->SetCollapsSteps(4);
    int minimized = 0, maximized = 0, ended = 0;
    panel_->OnMinimize = [&](ui::TPersistent*) { ++minimized; };
    panel_->OnMaximize = [&](ui::TPersistent*) { ++maximized; };
    panel_->OnEndCollapsExpand = [&](ui::TPersistent*) { ++ended; };

    EXPECT_EQ(HeightsDuring([&] { panel_->SetCollaps(true); }), (std::vector<int>{95, 70, 45, 20, 18}));
    EXPECT_TRUE(panel_->Collaps());
    EXPECT_EQ(panel_->FullHeight(), 120);
    EXPECT_EQ(HeightsDuring([&] { panel_->SetCollaps(false); }), (std::vector<int>{43, 68, 93, 118, 120}));
    EXPECT_FALSE(panel_->Collaps());
    EXPECT_EQ(minimized, 1);
    EXPECT_EQ(maximized, 1);
    EXPECT_EQ(ended, 2);
}

TEST_F(PanelInputTest, CollapsColorShowsOnlyWhileAnimatedCollapsed) {
    const struct {
        int steps;
        ui::TColor collapsed_color;  // Color while collapsed
    } cases[] = {{0, ui::clBtnFace}, {3, ui::clGray}};
    for (const auto& c : cases) {
        panel_->SetCollapsSteps(c.steps);
        panel_->SetColor(ui::clBtnFace);
        panel_->SetCollapsColor(ui::clGray);
        panel_->SetCollaps(true);
        EXPECT_EQ(panel_->Height(), 18) << c.steps;  // caption height - 2
        EXPECT_EQ(panel_->Color(), c.collapsed_color) << c.steps;
        panel_->SetCollaps(false);
        EXPECT_EQ(panel_->Height(), 120) << c.steps;
        EXPECT_EQ(panel_->Color(), ui::clBtnFace) << c.steps;
    }
}

TEST_F(PanelInputTest, ANestedCollapseDuringTheAnimationIsIgnored) {
    panel_->SetCollapsSteps(2);
    int nested_minimize = 0;
    bool once = false;
    panel_->OnResize = [&](ui::TPersistent*) {
        if (once) return;
        once = true;
        panel_->OnMinimize = [&](ui::TPersistent*) { ++nested_minimize; };
        panel_->SetCollaps(false);  // expanding while collapsing: only its event fires
    };
    panel_->SetCollaps(true);
    EXPECT_TRUE(panel_->Collaps());
    EXPECT_EQ(panel_->Height(), 18);
    EXPECT_EQ(nested_minimize, 0);
}

TEST_F(PanelInputTest, APanelFreedDuringItsAnimationStopsIt) {
    panel_->SetCollapsSteps(4);
    int steps = 0;
    TFinePanel* doomed = panel_;
    panel_->OnResize = [&](ui::TPersistent*) {
        // An event waiting in the queue frees the panel while its animation lets events run.
        if (++steps == 1)
            QMetaObject::invokeMethod(
                qApp, [doomed] { delete doomed; }, Qt::QueuedConnection);
    };
    const TControlWatchList alive(panel_);
    panel_->SetCollaps(true);
    EXPECT_FALSE(alive.Contains(doomed));
    EXPECT_EQ(steps, 1);
}

// The collapse started by a click on the min/max button lets events run, and one of them frees
// the panel: the mouse-up that started it reads nothing of the panel afterwards (the caption
// click it would test next lies under the button too).
TEST_F(PanelInputTest, APanelFreedByTheCollapseItsClickStartedIsNotReadAgain) {
    panel_->Caption().SetMinMaxButton(true);
    panel_->SetCollapsSteps(4);
    TFinePanel* doomed = panel_;
    int caption_clicks = 0;
    panel_->OnCaptionClick = [&](ui::TPersistent*) { ++caption_clicks; };
    bool queued = false;
    panel_->OnResize = [&](ui::TPersistent*) {
        if (std::exchange(queued, true)) return;
        QMetaObject::invokeMethod(
            qApp, [doomed] { delete doomed; }, Qt::QueuedConnection);
    };
    const TControlWatchList alive(panel_);
    const ui::TPoint button = Centre(MinMaxButtonRect(*panel_));
    ASSERT_TRUE(ui::TRect({0, 0, panel_->Width() - 2, 20}).Contains(button));
    test_support::Click(*panel_, button);
    EXPECT_FALSE(alive.Contains(doomed));
    EXPECT_EQ(caption_clicks, 0);
    EXPECT_EQ(host_->ControlCount(), 0);
}

// A mouse event at a point on the screen, sent to a widget only while it is still there.
void MouseWhileThere(const QPointer<QWidget>& w, QEvent::Type type, ui::TPoint screen, Qt::MouseButton button,
                     Qt::MouseButtons buttons) {
    if (w.isNull()) return;
    test_support::SendMouse(w.data(), type, w->mapFromGlobal(QPoint(screen.X, screen.Y)), button, buttons);
}

// Any of the panel's events may free it (a handler that closes the page it stands on, say). What
// the panel was doing then stops, and nothing of it is read again: the sanitizer build sees any
// touch. Each case frees the panel from one event, reached as the user reaches it.
TEST_F(PanelInputTest, APanelFreedByAnyOfItsEventsIsNotReadAgain) {
    const std::string link = "<a href=\"topic\">topic</a>";
    struct Case {
        const char* event;
        // Prepares the panel and hooks `free_it` to the event.
        std::function<void(TFinePanel&, const ui::TNotifyEvent& free_it)> arm;
        std::function<void(TFinePanel&)> act;
    };
    const auto click_min_max = [](TFinePanel& p) { test_support::Click(p, Centre(MinMaxButtonRect(p))); };
    const Case cases[] = {
        {"OnMinimize",
         [](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.Caption().SetMinMaxButton(true);
             p.OnMinimize = free_it;
         },
         click_min_max},
        {"OnMaximize",
         [](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.Caption().SetMinMaxButton(true);
             p.SetCollaps(true);
             p.OnMaximize = free_it;
         },
         click_min_max},
        {"OnAnchorEnter",
         [&](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.SetText(link);
             p.OnAnchorEnter = [free_it](ui::TPersistent* sender, const std::string&) { free_it(sender); };
         },
         [&](TFinePanel& p) { test_support::MouseMove(p, PointOver("topic")); }},
        {"OnAnchorExit",
         [&](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.SetText(link);
             test_support::MouseMove(p, PointOver("topic"));
             p.OnAnchorExit = [free_it](ui::TPersistent* sender, const std::string&) { free_it(sender); };
         },
         [](TFinePanel& p) {
             test_support::MouseMove(p, ui::TPoint{190, 100});
         }},
        {"OnAnchorExit, leaving a caption anchor for the caption's move strip",
         [&](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.Caption().SetText(link);
             p.SetCanMove(true);
             test_support::MouseMove(p, PointOver("topic"));
             p.OnAnchorExit = [free_it](ui::TPersistent* sender, const std::string&) { free_it(sender); };
         },
         [](TFinePanel& p) {
             test_support::MouseMove(p, ui::TPoint{150, 8});
         }},
        {"OnAnchorHint",
         [&](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.SetText(link);
             p.SetAnchorHint(true);
             p.SetShowHint(true);
             p.OnAnchorHint = [free_it](ui::TPersistent* sender, std::string&) { free_it(sender); };
         },
         [&](TFinePanel& p) {
             const ui::TPoint at = PointOver("topic");
             const ui::TPoint screen = p.ClientToScreen(at);
             QHelpEvent help(QEvent::ToolTip, QPoint(at.X, at.Y), QPoint(screen.X, screen.Y));
             QApplication::sendEvent(p.Widget(), &help);
         }},
        {"OnMouseLeave", [](TFinePanel& p, const ui::TNotifyEvent& free_it) { p.OnMouseLeave = free_it; },
         [](TFinePanel& p) {
             QEvent leave(QEvent::Leave);
             QApplication::sendEvent(p.Widget(), &leave);
         }},
        {"OnMouseDown",
         [](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.OnMouseDown = [free_it](ui::TPersistent* sender, ui::TMouseButton, ui::TShiftState, int, int) {
                 free_it(sender);
             };
         },
         [](TFinePanel& p) {
             test_support::MousePress(p, ui::TPoint{100, 60});
         }},
        {"OnMouseMove",
         [](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.OnMouseMove = [free_it](ui::TPersistent* sender, ui::TShiftState, int, int) { free_it(sender); };
         },
         [](TFinePanel& p) {
             test_support::MouseMove(p, ui::TPoint{100, 60});
         }},
        {"OnClick", [](TFinePanel& p, const ui::TNotifyEvent& free_it) { p.OnClick = free_it; },
         [](TFinePanel& p) {
             test_support::Click(p, ui::TPoint{100, 60});
         }},
        {"OnDblClick", [](TFinePanel& p, const ui::TNotifyEvent& free_it) { p.OnDblClick = free_it; },
         [](TFinePanel& p) {
             test_support::SendMouse(p.Widget(), QEvent::MouseButtonDblClick, QPoint(40, 10), Qt::LeftButton,
                                     Qt::LeftButton);
         }},
        {"OnEndMoveSize",
         [](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.SetCanMove(true);
             p.OnEndMoveSize = free_it;
         },
         [](TFinePanel& p) {
             test_support::Drag(p, ui::TPoint{60, 8}, 30, 25);
         }},
        {"OnResize, sized by the user",
         [](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.SetCanSize(true);
             p.OnResize = free_it;
         },
         [](TFinePanel& p) {
             const QPointer<QWidget> w(p.Widget());
             const ui::TPoint edge = p.ClientToScreen(ui::TPoint{100, 119});
             MouseWhileThere(w, QEvent::MouseButtonPress, edge, Qt::LeftButton, Qt::LeftButton);
             MouseWhileThere(w, QEvent::MouseMove, ui::TPoint{edge.X, edge.Y + 20}, Qt::NoButton, Qt::LeftButton);
             MouseWhileThere(w, QEvent::MouseButtonRelease, ui::TPoint{edge.X, edge.Y + 20}, Qt::LeftButton,
                             Qt::NoButton);
         }},
        {"OnResize, collapsing",
         [](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.Caption().SetMinMaxButton(true);
             p.OnResize = free_it;
         },
         click_min_max},
        {"OnResize, sized to its text",
         [](TFinePanel& p, const ui::TNotifyEvent& free_it) {
             p.AutoSize().SetWidth(true);
             p.AutoSize().SetHeight(true);
             p.AutoSize().SetEnabled(true);
             p.OnResize = free_it;
         },
         [](TFinePanel& p) { p.SetText("A text that sizes the panel"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.event);
        delete panel_;
        panel_ = MakePanel();
        TFinePanel* doomed = panel_;
        int freed = 0;
        c.arm(*doomed, [&](ui::TPersistent* sender) {
            // The handler goes with the panel: it touches nothing of its own after the delete.
            ++freed;
            panel_ = nullptr;
            delete sender;
        });
        const TControlWatchList alive(doomed);
        c.act(*doomed);
        EXPECT_EQ(freed, 1);
        EXPECT_FALSE(alive.Contains(doomed));
        EXPECT_EQ(host_->ControlCount(), 0);
    }
}

TEST_F(PanelInputTest, HiddenChildrenStayHiddenAndFreedOnesAreForgotten) {
    auto* shown = new ui::TCustomControl(host_.get());
    auto* hidden = new ui::TCustomControl(host_.get());
    auto* doomed = new ui::TCustomControl(host_.get());
    for (auto* c : {shown, hidden, doomed}) c->SetParent(panel_);
    hidden->SetVisible(false);
    doomed->SetVisible(false);
    panel_->SetCollaps(true);
    EXPECT_FALSE(shown->Visible());
    delete doomed;  // freed while the panel is collapsed
    panel_->SetCollaps(false);
    EXPECT_TRUE(shown->Visible());
    EXPECT_FALSE(hidden->Visible());
    ASSERT_EQ(panel_->ControlCount(), 2);
}

TEST_F(PanelInputTest, CloseButtonHidesAndTellsAndFreeOnCloseFreesAfterTheEvent) {
    panel_->Caption().SetCloseButton(true);
    int closed = 0;
    panel_->OnClose = [&](ui::TPersistent*) { ++closed; };
    test_support::Click(*panel_, Centre(CloseButtonRect(*panel_)));
    EXPECT_FALSE(panel_->Visible());
    EXPECT_EQ(closed, 1);

    TFinePanel* second = MakePanel();
    second->Caption().SetCloseButton(true);
    second->SetFreeOnClose(true);
    const TControlWatchList alive(second);
    test_support::Click(*second, Centre(CloseButtonRect(*second)));
    // The mouse-up has returned: the panel is off its host, and freed with the deferred deletions.
    ASSERT_TRUE(alive.Contains(second));
    EXPECT_EQ(second->Parent(), nullptr);
    EXPECT_TRUE(ui::IsReleased(*second));
    ui::FreeReleasedControls();
    EXPECT_FALSE(alive.Contains(second));
}

// A panel without an owner belongs to whoever made it: its close button hides it and tells, and
// its holder frees it, once. The click ends with the closing, also where the close button with
// the caption's buttons on the left reaches into the caption's click area.
TEST_F(PanelInputTest, APanelWithoutAnOwnerIsClosedButLeftToItsHolder) {
    auto held = std::make_unique<TFinePanel>(nullptr);
    held->SetParent(host_.get());
    held->SetBounds(20, 200, 200, 100);
    held->Caption().SetVisible(true);
    held->Caption().SetCloseButton(true);
    held->Caption().SetButtonPosition(TCaptionButtonPosition::cbpLeft);
    held->Caption().SetMinMaxCaption(true);
    held->SetFreeOnClose(true);
    int closed = 0, caption_clicks = 0;
    held->OnClose = [&](ui::TPersistent*) { ++closed; };
    held->OnCaptionClick = [&](ui::TPersistent*) { ++caption_clicks; };
    const ui::TPoint on_both{CloseButtonRect(*held).Right - 1, 8};
    ASSERT_TRUE(CloseButtonRect(*held).Contains(on_both));
    ASSERT_TRUE(held->Layout().caption_click.Contains(on_both));
    test_support::Click(*held, on_both);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(caption_clicks, 0);
    EXPECT_FALSE(held->Collaps());
    EXPECT_FALSE(held->Visible());
    EXPECT_FALSE(ui::IsReleased(*held));
    EXPECT_EQ(held->Parent(), host_.get());
    ui::FreeReleasedControls();
    held.reset();
    EXPECT_EQ(host_->ControlCount(), 1);  // the fixture's own panel
}

TEST_F(PanelInputTest, CaptionClicksAndTheMinMaxButtonToggleOnce) {
    panel_->Caption().SetMinMaxButton(true);
    panel_->Caption().SetMinMaxCaption(true);
    int caption_clicks = 0;
    panel_->OnCaptionClick = [&](ui::TPersistent*) { ++caption_clicks; };
    test_support::Click(*panel_, Centre(MinMaxButtonRect(*panel_)));
    EXPECT_TRUE(panel_->Collaps());                    // once, not twice
    test_support::Click(*panel_, ui::TPoint{40, 10});  // the caption text area
    EXPECT_FALSE(panel_->Collaps());
    EXPECT_EQ(caption_clicks, 2);

    panel_->Caption().SetMinMaxCaption(false);
    test_support::Click(*panel_, ui::TPoint{40, 10});
    EXPECT_FALSE(panel_->Collaps());
    EXPECT_EQ(caption_clicks, 3);
    test_support::Click(*panel_, ui::TPoint{40, 60});  // the body
    EXPECT_EQ(caption_clicks, 3);
}

TEST_F(PanelInputTest, ButtonRectanglesFollowTheButtonAndCaptionSides) {
    panel_->Caption().SetCloseButton(true);
    const struct {
        TCaptionPosition position;
        TCaptionButtonPosition buttons;
        ui::TRect close, min_max;
    } cases[] = {
        {TCaptionPosition::cpTop, TCaptionButtonPosition::cbpRight, {186, 2, 198, 14}, {174, 2, 186, 14}},
        {TCaptionPosition::cpTop, TCaptionButtonPosition::cbpLeft, {2, 2, 14, 14}, {14, 2, 26, 14}},
        {TCaptionPosition::cpLeft, TCaptionButtonPosition::cbpRight, {2, 2, 14, 14}, {2, 14, 14, 26}},
        {TCaptionPosition::cpLeft, TCaptionButtonPosition::cbpLeft, {2, 106, 14, 118}, {2, 94, 14, 106}},
    };
    for (const auto& c : cases) {
        panel_->Caption().SetPosition(c.position);
        panel_->Caption().SetButtonPosition(c.buttons);
        EXPECT_EQ(CloseButtonRect(*panel_), c.close);
        EXPECT_EQ(MinMaxButtonRect(*panel_), c.min_max);
    }
}

TEST_F(PanelInputTest, AnchorsGiveTheHandCursorAndTheirEvents) {
    panel_->SetText("<a href=\"first\">first link</a><br><br><a href=\"second\">second link</a>");
    std::vector<std::string> log;
    panel_->OnAnchorEnter = [&](ui::TPersistent*, const std::string& a) { log.push_back("enter " + a); };
    panel_->OnAnchorExit = [&](ui::TPersistent*, const std::string& a) { log.push_back("exit " + a); };
    panel_->OnAnchorClick = [&](ui::TPersistent*, const std::string& a) { log.push_back("click " + a); };
    const ui::TPoint first = PointOver("first");
    const ui::TPoint second = PointOver("second");

    test_support::MouseMove(*panel_, first);
    EXPECT_EQ(panel_->Cursor(), ui::crHandPoint);
    test_support::MouseMove(*panel_, ui::TPoint{first.X + 1, first.Y});  // same anchor: nothing new
    test_support::MouseMove(*panel_, second);
    test_support::MouseMove(*panel_, ui::TPoint{190, 100});
    EXPECT_EQ(panel_->Cursor(), ui::crDefault);
    test_support::Click(*panel_, second);
    test_support::Click(*panel_, ui::TPoint{190, 100});
    EXPECT_EQ(log, (std::vector<std::string>{"enter first", "enter second", "exit second", "click second"}));
}

TEST_F(PanelInputTest, WebAndMailAnchorsGoWholeToTheOpener) {
    std::vector<std::string> opened;
    const ui::TUrlOpener previous = ui::SetUrlOpener([&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    std::vector<std::string> clicked;
    panel_->OnAnchorClick = [&](ui::TPersistent*, const std::string& a) { clicked.push_back(a); };
    const struct {
        const char* anchor;
        bool shell;
    } cases[] = {{"http://host/a b?x=1&y='2';rm -rf ~", true},
                 {"mailto:someone@host", true},
                 {"file:///tmp/x", true},
                 {"Mailto:x", false},
                 {"help topic", false}};
    for (const auto& c : cases) {
        opened.clear();
        clicked.clear();
        panel_->SetText(std::string("<a href=\"") + c.anchor + "\">link</a>");
        test_support::Click(*panel_, PointOver(c.anchor));
        EXPECT_EQ(opened, c.shell ? std::vector<std::string>{c.anchor} : std::vector<std::string>{}) << c.anchor;
        EXPECT_EQ(clicked, c.shell ? std::vector<std::string>{} : std::vector<std::string>{c.anchor}) << c.anchor;
    }
    ui::SetUrlOpener(previous);
}

TEST_F(PanelInputTest, DraggingTheCaptionWithFixedTopKeepsTop) {
    panel_->SetCanMove(true);
    int ended = 0;
    panel_->OnEndMoveSize = [&](ui::TPersistent*) { ++ended; };
    test_support::Drag(*panel_, ui::TPoint{60, 8}, 30, 25);
    EXPECT_EQ(panel_->BoundsRect(), (ui::TRect{50, 55, 250, 175}));
    panel_->SetFixedTop(true);
    test_support::Drag(*panel_, ui::TPoint{60, 8}, -10, 40);
    EXPECT_EQ(panel_->BoundsRect(), (ui::TRect{40, 55, 240, 175}));
    EXPECT_EQ(ended, 2);
    // Without CanMove the caption is client area: a drag there moves nothing.
    panel_->SetCanMove(false);
    test_support::Drag(*panel_, ui::TPoint{60, 8}, 30, 30);
    EXPECT_EQ(panel_->BoundsRect(), (ui::TRect{40, 55, 240, 175}));
}

TEST_F(PanelInputTest, SizingThroughEachEdgeHitCode) {
    panel_->SetCanSize(true);
    const struct {
        ui::TPoint from;
        bool fixed_width;
        ui::TRect expected;  // after a drag by (+15, +25)
    } cases[] = {
        {{199, 119}, false, {20, 30, 235, 175}},  // bottom-right corner
        {{100, 119}, false, {20, 30, 220, 175}},  // bottom edge
        {{199, 60}, false, {20, 30, 235, 150}},   // right edge
        {{199, 119}, true, {20, 30, 220, 175}},   // the corner is the bottom edge with a fixed width
    };
    for (const auto& c : cases) {
        panel_->SetFixedWidth(c.fixed_width);
        panel_->SetBounds(20, 30, 200, 120);
        test_support::Drag(*panel_, c.from, 15, 25);
        EXPECT_EQ(panel_->BoundsRect(), c.expected) << c.from.X << "," << c.from.Y;
        EXPECT_EQ(panel_->FullHeight(), c.expected.Height());
    }
    // A collapsed panel has no sizing edges.
    panel_->SetCollaps(true);
    const ui::TRect collapsed = panel_->BoundsRect();
    test_support::Drag(*panel_, ui::TPoint{100, collapsed.Height() - 1}, 0, 30);
    EXPECT_EQ(panel_->BoundsRect(), collapsed);
}

// Reaches the panel's hint handling the way the hint window asks for it.
class HintPanel : public TFinePanel {
public:
    using TFinePanel::CMHintShowAt;
    using TFinePanel::TFinePanel;
};

TEST_F(PanelInputTest, AnchorHintsShowTheAnchorBesideTheCursor) {
    auto* p = new HintPanel(host_.get());
    p->SetParent(host_.get());
    p->SetBounds(20, 30, 200, 120);
    p->SetText("<a href=\"topic\">topic</a>");
    panel_ = p;
    const ui::TPoint over = PointOver("topic");
    const auto hint_at = [&](ui::TPoint at, ui::TPoint& where) {
        std::string hint = "own hint";
        where = ui::TPoint{-1, -1};
        p->CMHintShowAt(hint, at.X, at.Y, where);
        return hint;
    };
    ui::TPoint where;
    EXPECT_EQ(hint_at(over, where), "own hint");  // AnchorHint off
    p->SetAnchorHint(true);
    EXPECT_EQ(hint_at(over, where), "topic");
    const ui::TPoint screen = p->ClientToScreen(over);
    EXPECT_EQ(where, (ui::TPoint{screen.X + 10, screen.Y - 10}));
    p->OnAnchorHint = [](ui::TPersistent*, std::string& anchor) { anchor = "About " + anchor; };
    EXPECT_EQ(hint_at(over, where), "About topic");
    EXPECT_EQ(hint_at(ui::TPoint{190, 110}, where), "own hint");  // no anchor there
    EXPECT_EQ(where, (ui::TPoint{-1, -1}));
}

TEST_F(PanelInputTest, ButtonsLightUpUnderTheMouseUntilItLeaves) {
    panel_->Caption().SetCloseButton(true);
    panel_->Caption().SetMinMaxButton(true);
    panel_->Caption().SetCloseButtonHoverColor(ui::clRed);  // the min/max button has no hover colour
    int left = 0;
    panel_->OnMouseLeave = [&](ui::TPersistent*) { ++left; };
    test_support::MouseMove(*panel_, Centre(MinMaxButtonRect(*panel_)));
    EXPECT_FALSE(panel_->MinMaxButtonHot());
    test_support::MouseMove(*panel_, Centre(CloseButtonRect(*panel_)));
    EXPECT_TRUE(panel_->CloseButtonHot());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(panel_->Widget(), &leave);
    EXPECT_FALSE(panel_->CloseButtonHot());
    EXPECT_EQ(left, 1);
}

TEST_F(PanelInputTest, DoubleClickOnTheCaptionFiresItsEvent) {
    int double_clicks = 0;
    panel_->OnCaptionDBlClick = [&](ui::TPersistent*) { ++double_clicks; };
    for (const ui::TPoint p : {ui::TPoint{40, 10}, ui::TPoint{40, 60}}) {
        test_support::SendMouse(panel_->Widget(), QEvent::MouseButtonDblClick, QPoint(p.X, p.Y), Qt::LeftButton,
                                Qt::LeftButton);
        test_support::MouseRelease(*panel_, p);
    }
    EXPECT_EQ(double_clicks, 1);
}

TEST_F(PanelInputTest, MovingByTheCaptionShowsTheMoveCursorWhenAsked) {
    panel_->SetCanMove(true);
    test_support::MouseMove(*panel_, ui::TPoint{60, 8});
    EXPECT_TRUE(panel_->PointerState().moving_by_caption);
    EXPECT_EQ(panel_->Cursor(), ui::crDefault);
    panel_->SetShowMoveCursor(true);
    test_support::MouseMove(*panel_, ui::TPoint{62, 8});
    EXPECT_EQ(panel_->Cursor(), ui::crSizeAll);
    test_support::MouseMove(*panel_, ui::TPoint{62, 60});  // the body: an ordinary mouse move
    EXPECT_FALSE(panel_->PointerState().moving_by_caption);
}

TEST_F(PanelInputTest, AutoSizeFitsThePanelToItsText) {
    panel_->SetText("<b>A line of text</b><br>and a second one");
    panel_->SetIndent(3);
    panel_->SetTopIndent(4);
    panel_->SetBorderWidth(2);
    // The text's extent as the renderer measures it, with no width limit.
    ui::TCanvas& canvas = panel_->Canvas();
    canvas.SetFont(panel_->Font());
    MarkupLayoutInputs inputs;
    inputs.text = panel_->Text();
    inputs.rect = ui::TRect{0, 0, 0xFFFF, 0xFFFF};
    inputs.all_lines = true;
    inputs.word_wrap = true;  // the body text wraps unless Ellipsis is set
    const MarkupLayout measured = LayoutMarkup(canvas, inputs);
    const int tw = measured.width + 4, th = measured.height + 4;  // 2 x BorderWidth

    panel_->AutoSize().SetEnabled(true);           // sizes at once
    EXPECT_EQ(panel_->Width(), 2 + tw + 3);        // 2 x BevelWidth + text + Indent
    EXPECT_EQ(panel_->Height(), 20 + th + 2 + 4);  // caption + text + 2 x BevelWidth + TopIndent
    panel_->StatusBar().SetVisible(true);
    panel_->SetText(panel_->Text() + " ");  // a text change sizes again
    EXPECT_EQ(panel_->Height(), 20 + th + 2 + 4 + panel_->StatusBar().Height() + 4);
}

class PanelPositionTest : public PanelInputTest {
protected:
    // The panels save their position when freed: before the config folder goes.
    void TearDown() override { host_.reset(); }
    static void SaveTo(TFinePanel& p, TPanelPositionLocation location) {
        p.Position().SetSave(true);
        p.Position().SetKey(location == TPanelPositionLocation::clInifile ? "panels.ini" : "Software\\Tests\\Panels");
        p.Position().SetSection("Tools");
        p.Position().SetLocation(location);
    }
    test_support::ConfigFolderScope config_{"qbk-panel-position-"};
    const std::filesystem::path& dir_ = config_.Path();
};

TEST_F(PanelPositionTest, IniFileHoldsTheSixValuesInOrder) {
    SaveTo(*panel_, TPanelPositionLocation::clInifile);
    panel_->SetBounds(11, 22, 180, 120);
    panel_->SetCollaps(true);
    delete panel_;
    std::ifstream in(dir_ / "qbk" / "panels.ini");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "[Tools]\nTop=22\nLeft=11\nHeight=18\nFullHeight=120\nWidth=180\nCollaps=1\n");
}

TEST_F(PanelPositionTest, ANewPanelRestoresGeometryAndCollapsedState) {
    for (const auto location : {TPanelPositionLocation::clInifile, TPanelPositionLocation::clRegistry}) {
        SaveTo(*panel_, location);
        panel_->SetBounds(11, 22, 180, 140);
        panel_->SetCollaps(true);
        delete panel_;

        panel_ = MakePanel();
        panel_->BeginLoading();
        SaveTo(*panel_, location);
        panel_->EndLoading();
        EXPECT_EQ(panel_->BoundsRect(), (ui::TRect{11, 22, 191, 40}));
        EXPECT_TRUE(panel_->Collaps());
        EXPECT_EQ(panel_->FullHeight(), 140);
        panel_->SetCollaps(false);
        EXPECT_EQ(panel_->Height(), 140);
    }
}

TEST_F(PanelPositionTest, MissingKeyOrSectionSkipsAndMissingValuesKeepTheCurrentOnes) {
    panel_->Position().SetSave(true);
    panel_->Position().SetLocation(TPanelPositionLocation::clInifile);
    panel_->Position().SetKey("partial.ini");
    delete panel_;  // no section: nothing written
    EXPECT_FALSE(std::filesystem::exists(dir_ / "qbk" / "partial.ini"));

    settings::TIniFile("partial.ini").WriteInteger("Tools", "Left", 5);
    panel_ = MakePanel();
    panel_->BeginLoading();
    SaveTo(*panel_, TPanelPositionLocation::clInifile);
    panel_->Position().SetKey("partial.ini");
    panel_->EndLoading();
    EXPECT_EQ(panel_->BoundsRect(), (ui::TRect{5, 30, 205, 150}));
    EXPECT_FALSE(panel_->Collaps());
}

}  // namespace
}  // namespace panel
