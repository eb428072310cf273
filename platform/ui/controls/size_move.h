// The platform's non-client hit codes and its modal move/size loop. Before a mouse event reaches
// a control, the control is asked what part of its window the point is on (NCHitTest). A point
// on the client area goes on as a mouse event; a press on the caption or on a sizing edge starts
// the move/size loop instead: every mouse move proposes a new window rectangle (in screen
// coordinates) to WMMoving or WMSizing, which may change it, the rectangle is applied, and the
// release ends the loop with WMExitSizeMove. The loop runs from the control's own mouse events,
// so synthetic events drive it exactly as the user's do.
#pragma once

#include "platform/ui/controls/controls.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

// Non-client hit codes.
inline constexpr int HTNOWHERE = 0;
inline constexpr int HTCLIENT = 1;
inline constexpr int HTCAPTION = 2;
inline constexpr int HTLEFT = 10;
inline constexpr int HTRIGHT = 11;
inline constexpr int HTTOP = 12;
inline constexpr int HTTOPLEFT = 13;
inline constexpr int HTTOPRIGHT = 14;
inline constexpr int HTBOTTOM = 15;
inline constexpr int HTBOTTOMLEFT = 16;
inline constexpr int HTBOTTOMRIGHT = 17;

// The edge being dragged, as WMSizing receives it.
inline constexpr int WMSZ_LEFT = 1;
inline constexpr int WMSZ_RIGHT = 2;
inline constexpr int WMSZ_TOP = 3;
inline constexpr int WMSZ_TOPLEFT = 4;
inline constexpr int WMSZ_TOPRIGHT = 5;
inline constexpr int WMSZ_BOTTOM = 6;
inline constexpr int WMSZ_BOTTOMLEFT = 7;
inline constexpr int WMSZ_BOTTOMRIGHT = 8;

// The width and height of a sizing frame (the system metrics of a resizable window's border).
int SizingFrameWidth();
int SizingFrameHeight();

// The sizing edge a hit code drags; 0 for a code that does not size.
int SizingEdgeOf(int hit_code);

// Brings the control's window to the top of its siblings without moving or sizing it.
void BringWindowToTop(TControl& control);

// One running move/size loop of a control. Platform side: the control's widget owns it from the
// press that starts it to the release that ends it.
class SizeMoveLoop {
public:
    // The control's answer for a point in screen coordinates.
    static int HitTest(TControl& control, TPoint screen_pos);
    // Sets the cursor for a hit code, then lets the control change it.
    static void SetCursor(TControl& control, int hit_code);
    // Whether a press on this code starts the loop.
    static bool Starts(int hit_code) { return hit_code == HTCAPTION || SizingEdgeOf(hit_code) != 0; }

    // A press at `screen_pos` on `hit_code`: WMEnterSizeMove.
    SizeMoveLoop(TControl& control, int hit_code, TPoint screen_pos);
    // A move of the mouse to `screen_pos`: the proposed rectangle through WMMoving or WMSizing,
    // then applied.
    void Track(TPoint screen_pos);
    // The release: WMExitSizeMove.
    void Finish();

private:
    TControl& control_;
    int hit_code_;
    TPoint start_mouse_;
    TRect start_rect_;  // the window in screen coordinates when the loop started
};

}  // namespace ui
