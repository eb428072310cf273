// The layout pass of a panel: every rectangle its painting draws in and its mouse handling
// looks in, computed once per change of size or settings and cached by the panel, so that
// painting and hit-testing read the same geometry: the anchors under the mouse are looked for in
// `text` and `caption_text`, the rectangles the texts were drawn in. All rectangles are in
// client coordinates; an empty one means the part is not shown.
#pragma once

#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/geometry.h"

namespace panel {

class TCustomFinePanel;

// What the layout reads from outside the panel that tells the panel of no change: whether a
// visual style is active (the themed caption buttons), the size and number of the image list's
// pictures (the status bar's image, the text's image-list pictures) and the changes to the
// picture container's items (the text's named pictures).
struct PanelLayoutOutside {
    bool themed = false;
    int image_width = 0;
    int image_height = 0;
    int image_count = 0;
    unsigned picture_changes = 0;
    bool operator==(const PanelLayoutOutside&) const = default;
};

PanelLayoutOutside OutsideInputs(const TCustomFinePanel& panel);

// Where a caption button's picture goes, and which form it takes.
enum class CaptionButtonKind { None, Themed, Glyph, Drawn };

struct CaptionButtonPlace {
    CaptionButtonKind kind = CaptionButtonKind::None;
    ui::TRect rect;  // the themed part's rectangle, the glyph's, or the 6 x 6 span of the drawing
    bool operator==(const CaptionButtonPlace&) const = default;
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
    // Where the caption buttons are drawn: in the caption area, each taking its own size off
    // the free end.
    CaptionButtonPlace close_button;
    CaptionButtonPlace min_max_button;
    // Where the mouse finds the caption buttons: squares of the button size, 2 pixels in from
    // the client rectangle's corner, the min/max button past the close button's room. They are
    // not the drawn places: the mouse side counts from the client rectangle, not the caption area
    // inside the bevels and border shadow, and sizes a button by its glyph's width (16 when
    // themed) where the drawing takes the glyph's extent along the caption (14 when themed).
    ui::TRect close_button_click;
    ui::TRect min_max_button_click;
    // The caption strip a click or double click lands in: the caption's first Caption.Height
    // pixels, less the close button's room.
    ui::TRect caption_click;
    // The caption strip that moves the panel: the client rectangle less the room of all the
    // buttons, measured as the non-client hit test measures them (the min glyph's width).
    ui::TRect caption_move_strip;
    // The caption text's rectangle: each button takes 20 pixels off its side.
    ui::TRect caption_text;
    ui::TRect status_bar;
    // The status bar's image (when it shows one) and its text: on top, the rectangle the markup
    // is drawn in; on the left, the rectangle the rotated text is clipped to and its start point.
    bool show_status_image = false;
    ui::TPoint status_image_at;
    ui::TRect status_text;
    ui::TPoint status_text_at;
    // The background picture's place: the top-left corner of its one copy, or of the first tile
    // (tiles repeat in steps of the picture's size while they start inside the panel). A
    // stretched picture fills `body`.
    ui::TPoint picture_at;
    // The corner the size grip's lines end in (right, bottom); valid when show_grip.
    ui::TPoint grip_corner;
    bool show_grip = false;
    PanelLayoutOutside outside;
    bool operator==(const PanelLayout&) const = default;
};

// Computes the layout of `panel` as it is now; `measure` measures the body text for its
// vertical alignment (any canvas: only its font is used).
PanelLayout ComputePanelLayout(TCustomFinePanel& panel, ui::TCanvas& measure);

// The body text's rectangle before the vertical alignment moves its top: the body area less
// the border width and one pixel, less the indents and the status bar.
ui::TRect BodyTextArea(TCustomFinePanel& panel, const ui::TRect& body);

}  // namespace panel
