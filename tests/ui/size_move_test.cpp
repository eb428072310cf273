#include "platform/ui/controls/size_move.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <string>
#include <vector>

#include "tests/support/input.h"
#include "tests/support/render.h"

namespace ui {
namespace {

// A control with a 10-pixel caption strip and 4-pixel sizing edges on every side; it logs the
// loop's notifications and can hold its top or its width the way a handler would.
class Framed : public TCustomControl {
public:
    explicit Framed(TComponent* owner) : TCustomControl(owner) {}
    std::vector<std::string> log;
    bool fixed_top = false;
    bool fixed_width = false;
    TCursor caption_cursor = crDefault;

protected:
    int NCHitTest(TPoint screen_pos) override {
        const TPoint p = ScreenToClient(screen_pos);
        const bool left = p.X < 4, right = p.X >= Width() - 4, top = p.Y < 4, bottom = p.Y >= Height() - 4;
        if (top && left) return HTTOPLEFT;
        if (top && right) return HTTOPRIGHT;
        if (bottom && left) return HTBOTTOMLEFT;
        if (bottom && right) return HTBOTTOMRIGHT;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
        if (top) return HTTOP;
        if (bottom) return HTBOTTOM;
        return p.Y < 10 ? HTCAPTION : HTCLIENT;
    }
    void WMSetCursor(int hit_code) override {
        if (hit_code == HTCAPTION && caption_cursor != crDefault) Widget()->setCursor(Qt::SizeAllCursor);
    }
    void WMEnterSizeMove() override { log.push_back("enter"); }
    void WMMoving(TRect& r) override {
        log.push_back("moving");
        if (fixed_top) {
            const int top = ClientToScreen(TPoint{0, 0}).Y;
            r = TRect{r.Left, top, r.Right, top + r.Height()};
        }
    }
    void WMSizing(int edge, TRect& r) override {
        log.push_back("sizing " + std::to_string(edge));
        if (fixed_width) r.Right = r.Left + Width();
    }
    void WMExitSizeMove() override { log.push_back("exit"); }
    void MouseDown(TMouseButton, TShiftState, int x, int y) override {
        log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseMove(TShiftState, int x, int y) override {
        log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseUp(TMouseButton, TShiftState, int x, int y) override {
        log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    }
};

class SizeMoveTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::EnsureApplication();
        host_.SetBounds(0, 0, 400, 300);
        framed_ = new Framed(&host_);
        framed_->SetParent(&host_);
        framed_->SetBounds(50, 60, 100, 80);
    }
    void At(QEvent::Type type, TPoint screen, Qt::MouseButton button, Qt::MouseButtons held) {
        test_support::MouseAtScreen(*framed_, type, screen, button, held);
    }
    void Drag(TPoint from, int dx, int dy) { test_support::Drag(*framed_, from, dx, dy); }
    TCustomControl host_{nullptr};
    Framed* framed_ = nullptr;
};

TEST_F(SizeMoveTest, DraggingTheCaptionMovesTheControlWithoutClientEvents) {
    Drag(TPoint{50, 6}, 30, 20);
    EXPECT_EQ(framed_->BoundsRect(), (TRect{80, 80, 180, 160}));
    EXPECT_EQ(framed_->log, (std::vector<std::string>{"enter", "moving", "moving", "exit"}));
}

TEST_F(SizeMoveTest, AMovingHandlerChangesTheProposedRectangle) {
    framed_->fixed_top = true;
    Drag(TPoint{50, 6}, -20, 40);
    EXPECT_EQ(framed_->BoundsRect(), (TRect{30, 60, 130, 140}));
}

TEST_F(SizeMoveTest, EachSizingCodeDragsItsEdges) {
    const struct {
        TPoint from;
        int edge;
        TRect expected;  // after a drag by (+10, +6)
    } cases[] = {
        {{50, 78}, WMSZ_BOTTOM, {50, 60, 150, 146}},      {{98, 40}, WMSZ_RIGHT, {50, 60, 160, 140}},
        {{98, 78}, WMSZ_BOTTOMRIGHT, {50, 60, 160, 146}}, {{1, 40}, WMSZ_LEFT, {60, 60, 150, 140}},
        {{50, 1}, WMSZ_TOP, {50, 66, 150, 140}},          {{1, 1}, WMSZ_TOPLEFT, {60, 66, 150, 140}},
        {{98, 1}, WMSZ_TOPRIGHT, {50, 66, 160, 140}},     {{1, 78}, WMSZ_BOTTOMLEFT, {60, 60, 150, 146}},
    };
    for (const auto& c : cases) {
        framed_->SetBounds(50, 60, 100, 80);
        framed_->log.clear();
        Drag(c.from, 10, 6);
        EXPECT_EQ(framed_->BoundsRect(), c.expected) << "edge " << c.edge;
        const std::string sizing = "sizing " + std::to_string(c.edge);
        EXPECT_EQ(framed_->log, (std::vector<std::string>{"enter", sizing, sizing, "exit"})) << "edge " << c.edge;
    }
}

TEST_F(SizeMoveTest, ASizingHandlerKeepsTheWidth) {
    framed_->fixed_width = true;
    Drag(TPoint{98, 78}, 25, 15);
    EXPECT_EQ(framed_->BoundsRect(), (TRect{50, 60, 150, 155}));
}

TEST_F(SizeMoveTest, TheClientAreaGetsOrdinaryMouseEvents) {
    Drag(TPoint{50, 40}, 5, 0);
    EXPECT_EQ(framed_->BoundsRect(), (TRect{50, 60, 150, 140}));
    EXPECT_EQ(framed_->log, (std::vector<std::string>{"down 50,40", "move 52,40", "move 55,40", "up 55,40"}));
}

TEST_F(SizeMoveTest, OtherButtonsOutsideTheClientAreaReachNoHandler) {
    const TPoint caption = framed_->ClientToScreen(TPoint{50, 6});
    At(QEvent::MouseButtonPress, caption, Qt::RightButton, Qt::RightButton);
    At(QEvent::MouseButtonRelease, caption, Qt::RightButton, Qt::NoButton);
    EXPECT_TRUE(framed_->log.empty());
    // A client press still gets its release, wherever the mouse is let go.
    At(QEvent::MouseButtonPress, framed_->ClientToScreen(TPoint{50, 40}), Qt::LeftButton, Qt::LeftButton);
    At(QEvent::MouseButtonRelease, caption, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(framed_->log, (std::vector<std::string>{"down 50,40", "up 50,6"}));
}

TEST_F(SizeMoveTest, CursorFollowsTheHitCode) {
    QWidget* w = framed_->Widget();
    const auto hover = [&](TPoint p) {
        At(QEvent::MouseMove, framed_->ClientToScreen(p), Qt::NoButton, Qt::NoButton);
        return w->cursor().shape();
    };
    EXPECT_EQ(hover({98, 40}), Qt::SizeHorCursor);
    EXPECT_EQ(hover({50, 78}), Qt::SizeVerCursor);
    EXPECT_EQ(hover({98, 78}), Qt::SizeFDiagCursor);
    EXPECT_EQ(hover({50, 6}), Qt::ArrowCursor);
    framed_->caption_cursor = crSizeAll;  // the control's own choice comes after the platform's
    EXPECT_EQ(hover({50, 6}), Qt::SizeAllCursor);
    framed_->SetCursor(crHandPoint);
    EXPECT_EQ(hover({50, 40}), Qt::PointingHandCursor);
    // Only client points reached MouseMove.
    EXPECT_EQ(framed_->log, (std::vector<std::string>{"move 50,40"}));
}

}  // namespace
}  // namespace ui
