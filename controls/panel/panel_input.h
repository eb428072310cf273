// The mouse side of a panel: what its pointer state holds between events, and the places of the
// caption buttons as the mouse finds them. The handlers themselves are members of
// TCustomFinePanel (panel_input.cpp): anchors, caption buttons and clicks, moving by the caption,
// sizing at the edges, the animated collapse and expand, sizing to the text, and saving and
// restoring the position.
#pragma once

#include <string>

#include "platform/ui/controls/controls.h"
#include "platform/ui/graphics/geometry.h"

namespace panel {

class TCustomFinePanel;

// What the panel remembers of the mouse between events.
struct PanelPointerState {
    std::string hovered_anchor;  // anchor text last found under the mouse
    int previous_body_anchor = -1;
    ui::TRect body_anchor_rect;
    ui::TRect caption_anchor_rect;
    ui::TCursor restore_cursor = ui::crDefault;  // shown again when no anchor is under the mouse
    bool moving_by_caption = false;              // the last hit test made the caption a move handle
    ui::TPoint size_move_origin;                 // client origin on screen when a move or size began
    int size_move_width = 0;
    int size_move_height = 0;
};

// The buttons' rectangles within the client rectangle, as the mouse finds them (the panel's
// layout holds them, panel_layout.h).
ui::TRect CloseButtonRect(TCustomFinePanel& panel);
ui::TRect MinMaxButtonRect(TCustomFinePanel& panel);

}  // namespace panel
