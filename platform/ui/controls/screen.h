// Screen (the cursor shown over the whole application) and Mouse (the cursor position, taken
// from the last mouse event the controls saw, so that headless tests see the positions they send).
#pragma once

#include "platform/ui/controls/controls.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {

class TScreen {
public:
    TScreen() { menu_font_.SetColor(clMenuText); }
    TCursor Cursor() const { return cursor_; }
    // crDefault lets each control's cursor show again; anything else overrides them all.
    void SetCursor(TCursor cursor);
    // The font the platform draws menus in ("Tahoma", 8 points, in the menu text colour).
    TFont& MenuFont() { return menu_font_; }

private:
    TCursor cursor_ = crDefault;
    TFont menu_font_;
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
