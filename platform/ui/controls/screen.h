// Screen (the cursor shown over the whole application) and Mouse (the cursor position, taken
// from the last mouse event the controls saw, so that headless tests see the positions they send).
#pragma once

#include "platform/ui/controls/controls.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

class TScreen {
public:
    TCursor Cursor() const { return cursor_; }
    // crDefault lets each control's cursor show again; anything else overrides them all.
    void SetCursor(TCursor cursor);

private:
    TCursor cursor_ = crDefault;
};

class TMouse {
public:
    // Screen coordinates.
    TPoint CursorPos() const { return pos_; }
    // Moves the cursor through the cursor-warp service (tests replace it) and records the position.
    void SetCursorPos(TPoint p);
    // Platform side: called for every mouse event.
    void Track(TPoint screen_pos) { pos_ = screen_pos; }

private:
    TPoint pos_;
};

TScreen& Screen();
TMouse& Mouse();

}  // namespace ui
