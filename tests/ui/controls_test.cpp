#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include "platform/kernel/sinks.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/controls/scrollbar.h"
#include "platform/ui/controls/services.h"
#include "platform/ui/controls/timer.h"

namespace ui {
namespace {

// Logs every message it receives through the virtual methods.
class Probe : public TCustomControl {
public:
    explicit Probe(TComponent* owner) : TCustomControl(owner) {}
    std::vector<std::string> log;
    bool throw_in_click = false;

protected:
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        log.push_back("down " + std::to_string(static_cast<int>(b)) + " " + std::to_string(x) + "," +
                      std::to_string(y) + ((s & ssShift) ? " shift" : ""));
    }
    void MouseMove(TShiftState, int x, int y) override {
        log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseUp(TMouseButton, TShiftState, int x, int y) override {
        log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    }
    void Click() override {
        log.push_back("click");
        if (throw_in_click) throw EInvalidOperation("boom");
    }
    void DblClick() override { log.push_back("dblclick"); }
    void KeyDown(int& key, TShiftState) override { log.push_back("keydown " + std::to_string(key)); }
    void KeyPress(char& key) override { log.push_back(std::string("keypress ") + key); }
    void Resize() override { log.push_back("resize " + std::to_string(Width()) + "x" + std::to_string(Height())); }
    void DoEnter() override { log.push_back("enter"); }
    void DoExit() override { log.push_back("exit"); }
    void CMMouseEnter() override { log.push_back("mouseenter"); }
    void CMMouseLeave() override { log.push_back("mouseleave"); }
    void Paint() override {
        Canvas().Brush().SetColor(clRed);
        Canvas().FillRect(TRect{0, 0, Width() / 2, Height()});
        log.push_back("paint");
    }
};

void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint p,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

TEST(Controls, MessagesReachTheVirtualMethods) {
    Probe p(nullptr);
    p.SetBounds(0, 0, 50, 40);
    EXPECT_EQ(p.log, std::vector<std::string>{"resize 50x40"});
    p.log.clear();
    QWidget* w = p.Widget();
    SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, {5, 6}, Qt::ShiftModifier);
    SendMouse(w, QEvent::MouseMove, Qt::NoButton, {7, 8});
    SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, {7, 8});
    SendMouse(w, QEvent::MouseButtonDblClick, Qt::LeftButton, {7, 8});
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(w, &letter);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(w, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(w, &in);
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(w, &out);
    EXPECT_EQ(p.log, (std::vector<std::string>{"down 0 5,6 shift", "move 7,8", "click", "up 7,8", "dblclick",
                                               "down 0 7,8", "keydown 40", "keydown 65", "keypress a", "mouseenter",
                                               "mouseleave", "enter", "exit"}));
    // The mouse position comes from the last event, so headless code sees it.
    EXPECT_EQ(Mouse().CursorPos(), p.ClientToScreen(TPoint{7, 8}));
}

TEST(Controls, PaintRunsOnlyInThePaintEventOnTheBackingImage) {
    Probe p(nullptr);
    p.SetBounds(0, 0, 20, 10);
    p.Invalidate();  // asks; does not paint
    EXPECT_EQ(std::count(p.log.begin(), p.log.end(), "paint"), 0);
    QImage image(20, 10, QImage::Format_ARGB32);
    image.fill(Qt::black);
    p.Widget()->render(&image);
    EXPECT_EQ(std::count(p.log.begin(), p.log.end(), "paint"), 1);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(9, 9), qRgb(255, 0, 0));
    EXPECT_NE(image.pixel(10, 0), qRgb(255, 0, 0));
}

TEST(Controls, ExceptionsInHandlersGoToTheErrorReport) {
    std::vector<std::string> shown;
    auto previous = kernel::SetMessageBoxSink([&](const std::string& text, const std::string&, unsigned) {
        shown.push_back(text);
        return kernel::kIdOk;
    });
    Probe p(nullptr);
    p.SetBounds(0, 0, 20, 20);
    p.throw_in_click = true;
    SendMouse(p.Widget(), QEvent::MouseButtonPress, Qt::LeftButton, {2, 2});
    SendMouse(p.Widget(), QEvent::MouseButtonRelease, Qt::LeftButton, {2, 2});
    kernel::SetMessageBoxSink(previous);
    EXPECT_EQ(shown, std::vector<std::string>{"boom."});
}

TEST(Controls, AlignmentPlacesChildren) {
    TCustomControl parent(nullptr);
    parent.SetBounds(0, 0, 100, 80);
    TCustomControl bottom(nullptr), client(nullptr);
    bottom.SetParent(&parent);
    bottom.SetHeight(17);
    bottom.SetAlign(TAlign::alBottom);
    client.SetParent(&parent);
    client.SetAlign(TAlign::alClient);
    EXPECT_EQ(bottom.BoundsRect(), (TRect{0, 63, 100, 80}));
    EXPECT_EQ(client.BoundsRect(), (TRect{0, 0, 100, 63}));
    parent.SetWidth(120);
    EXPECT_EQ(bottom.BoundsRect(), (TRect{0, 63, 120, 80}));
    bottom.SetVisible(false);
    EXPECT_EQ(client.BoundsRect(), (TRect{0, 0, 120, 80}));
}

TEST(Controls, ParentFreedBeforeChild) {
    auto child = std::make_unique<TCustomControl>(nullptr);
    {
        TCustomControl parent(nullptr);
        child->SetParent(&parent);
    }
    EXPECT_EQ(child->Parent(), nullptr);
    child->SetBounds(1, 1, 5, 5);  // still usable
}

TEST(ScrollBar, MaxIncludesThePage) {
    TScrollBar bar(nullptr);
    bar.SetParams(1, 1, 10);
    bar.SetPageSize(3);
    EXPECT_EQ(bar.ScrollLimit(), 8);
    std::vector<int> scrolled;
    int changes = 0;
    bar.OnScroll = [&](TPersistent*, TScrollCode, int& pos) { scrolled.push_back(pos); };
    bar.OnChange = [&](TPersistent*) { ++changes; };
    bar.UserScroll(TScrollCode::scBottom, 1000);
    EXPECT_EQ(bar.Position(), 8);
    EXPECT_EQ(scrolled, std::vector<int>{8});
    EXPECT_EQ(changes, 1);
    bar.SetPosition(10);  // a program may still set the stored range end
    EXPECT_EQ(bar.Position(), 10);
    bar.SetPosition(50);
    EXPECT_EQ(bar.Position(), 10);
    bar.SetPageSize(20);  // larger than the range: ignored
    EXPECT_EQ(bar.PageSize(), 3);
    bar.SetMax(0);  // below Min: raised
    EXPECT_EQ(bar.Max(), 1);
    EXPECT_EQ(bar.Position(), 1);
}

TEST(Timer, TicksOnlyWhileEnabled) {
    TTimer timer(nullptr);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    int ticks = 0;
    timer.OnTimer = [&](TPersistent*) { ++ticks; };
    timer.SetInterval(1);
    timer.SetEnabled(false);
    for (int i = 0; i < 20; ++i) Application().ProcessMessages();
    EXPECT_EQ(ticks, 0);
    timer.Tick();
    EXPECT_EQ(ticks, 1);
}

TEST(Services, ReplaceableUrlOpenerAndCursorWarp) {
    std::vector<std::string> urls;
    auto old_opener = SetUrlOpener([&](const std::string& url) {
        urls.push_back(url);
        return true;
    });
    TPoint warped{-1, -1};
    auto old_warp = SetCursorWarp([&](TPoint p) { warped = p; });
    EXPECT_TRUE(OpenUrl("http://example.invalid/"));
    Mouse().SetCursorPos(TPoint{12, 34});
    SetUrlOpener(old_opener);
    SetCursorWarp(old_warp);
    EXPECT_EQ(urls, std::vector<std::string>{"http://example.invalid/"});
    EXPECT_EQ(warped, (TPoint{12, 34}));
    EXPECT_EQ(Mouse().CursorPos(), (TPoint{12, 34}));
    Screen().SetCursor(crHourGlass);
    EXPECT_EQ(Screen().Cursor(), crHourGlass);
    Screen().SetCursor(crDefault);
    EXPECT_EQ(Screen().Cursor(), crDefault);
}

TEST(FocusFrame, EveryOtherPixel) {
    QImage image(6, 4, QImage::Format_ARGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    DrawFocusFrame(canvas, TRect{0, 0, 6, 4}, clBlack);
    // Walk: top row x 0..5, right column y 1..3, bottom row x 4..0, left column y 2..1.
    const std::vector<TPoint> outline = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {5, 1}, {5, 2},
                                         {5, 3}, {4, 3}, {3, 3}, {2, 3}, {1, 3}, {0, 3}, {0, 2}, {0, 1}};
    for (std::size_t i = 0; i < outline.size(); ++i) {
        EXPECT_EQ(canvas.Pixels(outline[i].X, outline[i].Y), i % 2 == 0 ? clBlack : clWhite) << i;
    }
    EXPECT_EQ(canvas.Pixels(2, 1), clWhite);
}

// The wheel reaches OnMouseWheel first, then the direction's event; an unhandled wheel is left
// ignored, so that Qt hands the user's wheel on to the parent widget (a synthetic one stays
// where it was sent). A plain control asks for no keys before the window's shortcuts.
TEST(ControlBridge, WheelEventsAndKeysBeforeShortcuts) {
    TCustomControl parent(nullptr);
    TCustomControl child(nullptr);
    child.SetParent(&parent);
    std::vector<std::string> log;
    bool handle_first = false;
    child.OnMouseWheel = [&](TPersistent*, TShiftState, int delta, TPoint, bool& handled) {
        log.push_back("wheel " + std::to_string(delta));
        handled = handle_first;
    };
    child.OnMouseWheelDown = [&](TPersistent*, TShiftState, TPoint, bool&) { log.push_back("down"); };
    child.OnMouseWheelUp = [&](TPersistent*, TShiftState, TPoint, bool& handled) {
        log.push_back("up");
        handled = true;
    };
    auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(child.Widget(), &e);
        return e.isAccepted();
    };
    EXPECT_FALSE(wheel(-120));
    EXPECT_EQ(log, (std::vector<std::string>{"wheel -120", "down"}));
    log.clear();
    EXPECT_TRUE(wheel(120));
    EXPECT_EQ(log, (std::vector<std::string>{"wheel 120", "up"}));
    log.clear();
    handle_first = true;
    EXPECT_TRUE(wheel(-120));
    EXPECT_EQ(log, (std::vector<std::string>{"wheel -120"}));

    QKeyEvent left(QEvent::ShortcutOverride, Qt::Key_Left, Qt::NoModifier);
    left.setAccepted(false);
    QCoreApplication::sendEvent(child.Widget(), &left);
    EXPECT_FALSE(left.isAccepted());
}

}  // namespace
}  // namespace ui
