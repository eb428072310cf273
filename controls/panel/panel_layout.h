// The layout pass of a panel: every rectangle its painting draws in, computed once per change
// of size or settings and cached by the panel, so that painting and hit-testing read the same
// geometry: the anchors under the mouse are looked for in `text` and `caption_text`, the
// rectangles the texts were drawn in. All rectangles are in client coordinates; an empty one
// means the part is not shown.
#pragma once

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace panel {

class TCustomFinePanel;

// Where a caption button's picture goes, and which form it takes.
enum class CaptionButtonKind { None, Themed, Glyph, Drawn };

struct CaptionButtonPlace {
    CaptionButtonKind kind = CaptionButtonKind::None;
    ui::TRect rect;  // the themed part's rectangle, the glyph's, or the 6 x 6 span of the drawing
};

struct PanelLayout {
    ui::TRect client;
    // The body below (or right of) the caption: the body text and the background picture are
    // clipped to it.
    ui::TRect body;
    // The body text's rectangle, its top already moved for a centred or bottom-aligned text.
    ui::TRect text;
    // The caption area before the buttons take their places (client less border shadow and
    // bevels), and the caption bar inside it: its first Caption.Height - 2 x BevelWidth pixels.
    ui::TRect caption_area;
    ui::TRect caption_bar;
    CaptionButtonPlace close_button;
    CaptionButtonPlace min_max_button;
    // The caption text's rectangle: each button takes 20 pixels off its side.
    ui::TRect caption_text;
    ui::TRect status_bar;
    // The corner the size grip's lines end in (right, bottom); valid when show_grip.
    ui::TPoint grip_corner;
    bool show_grip = false;
};

// Computes the layout of `panel` as it is now; `measure` measures the body text for its
// vertical alignment (any canvas: only its font is used).
PanelLayout ComputePanelLayout(TCustomFinePanel& panel, ui::TCanvas& measure);

// The body text's rectangle before the vertical alignment moves its top: the body area less
// the border width and one pixel, less the indents and the status bar.
ui::TRect BodyTextArea(TCustomFinePanel& panel, const ui::TRect& body);

}  // namespace panel
