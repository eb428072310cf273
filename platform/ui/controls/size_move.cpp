#include "platform/ui/controls/size_move.h"

#include <algorithm>

#include "platform/ui/controls/control_widget.h"

namespace ui {

int SizingEdgeOf(int hit_code) {
    switch (hit_code) {
    case HTLEFT:
        return WMSZ_LEFT;
    case HTRIGHT:
        return WMSZ_RIGHT;
    case HTTOP:
        return WMSZ_TOP;
    case HTTOPLEFT:
        return WMSZ_TOPLEFT;
    case HTTOPRIGHT:
        return WMSZ_TOPRIGHT;
    case HTBOTTOM:
        return WMSZ_BOTTOM;
    case HTBOTTOMLEFT:
        return WMSZ_BOTTOMLEFT;
    case HTBOTTOMRIGHT:
        return WMSZ_BOTTOMRIGHT;
    default:
        return 0;
    }
}

int SizingFrameWidth() { return 4; }
int SizingFrameHeight() { return 4; }

void BringWindowToTop(TControl& control) { control.Widget()->raise(); }

namespace {

TCursor SizingCursorOf(int edge) {
    switch (edge) {
    case WMSZ_LEFT:
    case WMSZ_RIGHT:
        return crSizeWE;
    case WMSZ_TOP:
    case WMSZ_BOTTOM:
        return crSizeNS;
    case WMSZ_TOPLEFT:
    case WMSZ_BOTTOMRIGHT:
        return crSizeNWSE;
    default:
        return crSizeNESW;
    }
}

bool MovesLeft(int edge) { return edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT; }
bool MovesRight(int edge) { return edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT; }
bool MovesTop(int edge) { return edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT; }
bool MovesBottom(int edge) { return edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT; }

TRect ScreenRectOf(const TControl& control) {
    const TPoint origin = control.ClientToScreen(TPoint{0, 0});
    return TRect{origin.X, origin.Y, origin.X + control.Width(), origin.Y + control.Height()};
}

}  // namespace

// --- the defaults of TControl ----------------------------------------------------------------

int TControl::NCHitTest(TPoint screen_pos) {
    (void)screen_pos;
    return HTCLIENT;
}

void TControl::WMSetCursor(int hit_code) { (void)hit_code; }

void TControl::WMMoving(TRect& proposed) { (void)proposed; }

void TControl::WMSizing(int edge, TRect& proposed) {
    (void)edge;
    (void)proposed;
}

// --- the loop --------------------------------------------------------------------------------

int SizeMoveLoop::HitTest(TControl& control, TPoint screen_pos) { return control.NCHitTest(screen_pos); }

void SizeMoveLoop::SetCursor(TControl& control, int hit_code) {
    // The platform's own cursor first: a sizing arrow on an edge, the control's cursor elsewhere.
    const int edge = SizingEdgeOf(hit_code);
    control.Widget()->setCursor(control_detail::ShapeOf(edge != 0 ? SizingCursorOf(edge) : control.Cursor()));
    control.WMSetCursor(hit_code);
}

SizeMoveLoop::SizeMoveLoop(TControl& control, int hit_code, TPoint screen_pos)
    : control_(control), hit_code_(hit_code), start_mouse_(screen_pos), start_rect_(ScreenRectOf(control)) {
    control_.WMEnterSizeMove();
}

void SizeMoveLoop::Track(TPoint screen_pos) {
    const int dx = screen_pos.X - start_mouse_.X;
    const int dy = screen_pos.Y - start_mouse_.Y;
    TRect proposed = start_rect_;
    const int edge = SizingEdgeOf(hit_code_);
    if (edge == 0) {
        proposed = TRect{proposed.Left + dx, proposed.Top + dy, proposed.Right + dx, proposed.Bottom + dy};
        control_.WMMoving(proposed);
    } else {
        if (MovesLeft(edge)) proposed.Left = std::min(proposed.Left + dx, proposed.Right);
        if (MovesRight(edge)) proposed.Right = std::max(proposed.Right + dx, proposed.Left);
        if (MovesTop(edge)) proposed.Top = std::min(proposed.Top + dy, proposed.Bottom);
        if (MovesBottom(edge)) proposed.Bottom = std::max(proposed.Bottom + dy, proposed.Top);
        control_.WMSizing(edge, proposed);
    }
    // The rectangle is in screen coordinates; the control's bounds are in its parent's.
    const TRect now = ScreenRectOf(control_);
    control_.SetBounds(control_.Left() + proposed.Left - now.Left, control_.Top() + proposed.Top - now.Top,
                       std::max(0, proposed.Width()), std::max(0, proposed.Height()));
}

void SizeMoveLoop::Finish() { control_.WMExitSizeMove(); }

}  // namespace ui
