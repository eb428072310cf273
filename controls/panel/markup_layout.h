// The layout of a markup text: one pass over the text that breaks it into lines, places every
// run, picture, bullet, rule and background, and records the boxes of the anchors. Drawing reads
// the layout's operations and hit-testing its anchor boxes, so what is painted is exactly what
// is hit.
//
// The markup: tags in "<...>" with names and attribute names in any letter case and attribute
// values in double quotes; text between tags forms runs. Opening tags A (href), B, BL... (blink),
// BODY (BACKGROUND, BGTOPLEFT, BGTOPRIGHT, BGCOLOR, BGCOLORTO, DIR), BR, E (error marking),
// FONT (FACE, COLOR, BGCOLOR, SIZE), HI, HR, I, IND (x), IMG (SRC, ALT, WIDTH, HEIGHT, ALIGN,
// WRAP), LI (TYPE, COLOR), OF (x), P (ALIGN, INDENT, BGCOLOR, BGCOLORTO), R (a), S, SHAD, SUB,
// SUP, U, UL, Z (hidden text), and their closing forms; unknown tags are skipped.
#pragma once

#include <string>
#include <vector>

#include "controls/panel/markup_pictures.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/draw_text.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/graphics.h"

namespace panel {

struct MarkupRenderOptions {
    MarkupPictureSources pictures;
    int line_spacing = 0;         // added to every line's height
    ui::TPoint point;             // the point to hit-test, in the rectangle's coordinates
    int focus_anchor = -1;        // anchor drawn with a focus rectangle (numbers from 1), -1 none
    int hover_anchor = -1;        // anchor under the mouse, drawn in hover colours
    int shadow_offset = 0;
    ui::TColor url_color = ui::clBlue;
    ui::TColor hover_color = ui::clNone;       // anchor background when hovered; clNone: unchanged
    ui::TColor hover_font_color = ui::clNone;  // anchor text colour when hovered; clNone: unchanged
    ui::TColor shadow_color = ui::clGray;
    double factor = 1.0;  // resolution factor of the printing path
    bool word_wrap = false;
    bool hover_style = false;  // only the hovered anchor is underlined
    bool selected = false;     // colours of the text are left alone
    bool blink = false;        // blinking text shows (false: it takes the background colour)
    bool print = false;
    bool check_only = false;      // measure only: no hit test, no drawing
    bool check_hot_spot = false;  // measure and hit-test, no drawing
};

// The font values a run is drawn with.
struct MarkupFont {
    std::string name;
    int height = 0;
    ui::TFontStyles style;
    ui::TColor color = ui::clBlack;
    int orientation = 0;

    static MarkupFont Of(const ui::TFont& font);
    void ApplyTo(ui::TFont& font) const;
};

enum class MarkupOpKind {
    Fill,          // rect in colour
    Gradient,      // rect from colour to color_to, horizontal or vertical, 64 steps
    Text,          // text in rect (single line, bottom-aligned) with font and background
    Picture,       // picture at rect
    TiledPicture,  // picture tiled over rect
    Rule,          // one-pixel black line across rect's top row
    Bullet,        // filled square or circle of 8 x 8 in colour
    FocusRect,     // keyboard focus outline
};

struct MarkupOp {
    MarkupOpKind kind = MarkupOpKind::Fill;
    ui::TRect rect;
    ui::TColor color = ui::clNone;
    ui::TColor color_to = ui::clNone;
    bool horizontal = true;
    bool circle = false;  // Bullet
    // Text
    std::string text;
    MarkupFont font;
    ui::TColor background = ui::clNone;  // clNone: transparent
    ui::TDrawTextFlags flags = ui::TDrawTextFlags::dtLeft;
    int width = 0;                        // the run's measured width
    bool shadow = false;
    bool error = false;                   // red zig-zag under the run
    // Picture
    MarkupPicture picture;
    std::string alt_source;  // shown instead while the point is over this picture
    int image_number = 0;
    bool stretch = false;
};

struct MarkupAnchorBox {
    int number = 0;
    std::string value;
    ui::TRect box;
    bool picture = false;
    int image_number = 0;
    bool strict_x = false;  // pictures are hit strictly inside, text runs at their edges too
};

struct MarkupAnchor {
    int number = 0;
    std::string value;
    ui::TRect hover_rect;  // from its start on its first line to its end on its last
};

struct MarkupLayout {
    std::vector<MarkupOp> ops;  // in drawing order
    std::vector<MarkupAnchorBox> boxes;
    std::vector<MarkupAnchor> anchors;
    std::string plain_text;
    int width = 0;   // widest line + 2
    int height = 0;  // all lines, at least one line of the font
    int anchor_count = 0;
    int line_count = 0;
};

// Lays out `text` in `rect` with the canvas's font (restored on return); the canvas measures.
MarkupLayout LayoutMarkup(ui::TCanvas& canvas, const std::string& text, const ui::TRect& rect,
                          const MarkupRenderOptions& options);

}  // namespace panel
