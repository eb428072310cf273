// The layout of a markup text: one pass over the text that breaks it into lines, places every
// run, picture, bullet, rule and background, and records the boxes of the anchors. Drawing reads
// the layout's operations and hit-testing its anchor boxes, so what is painted is exactly what
// is hit.
//
// The markup: tags in "<...>" with names and attribute names in any letter case and attribute
// values in double quotes; text between tags forms runs; unknown tags are skipped. The tags,
// their attributes and what each does are the table in markup_tag_handlers.cpp.
//
// Where the layout pass lives: tags are read in markup_tag_reader, and what each does is in
// markup_tag_handlers, with anchors, inline pictures, lists and backgrounds in markup_anchors,
// markup_inline_pictures, markup_lists and markup_backgrounds; lines are broken, placed and
// aligned in markup_line_builder; the shared state is in markup_layouter.h.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "controls/markup/markup_pictures.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/draw_text.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/graphics.h"

namespace panel {

// What a markup text is laid out from, besides the canvas's font (the base font). A change of
// any of these moves what the text shows; the paint inputs below never do.
struct MarkupLayoutInputs {
    std::string text;
    ui::TRect rect;
    MarkupPictureSources pictures;
    int line_spacing = 0;  // added to every line's height
    bool word_wrap = false;
    // Lines that start below the rectangle are laid out too: measuring the whole text. Without
    // it the text ends with the last line that starts inside the rectangle.
    bool all_lines = false;
};

// What only decides how a laid-out text is painted: the same layout paints every hover and
// focus state.
struct MarkupPaintInputs {
    ui::TPoint point;       // an anchor picture under this point shows its ALT picture
    int focus_anchor = -1;  // counted from 0: anchor number focus_anchor + 1 gets the focus outline; -1 none
    int hover_anchor = -1;  // number of the anchor under the mouse, counted from 1 as hits are; -1 none
    int shadow_offset = 0;
    ui::TColor url_color = ui::clBlue;
    ui::TColor hover_color = ui::clNone;       // anchor background when hovered; clNone: unchanged
    ui::TColor hover_font_color = ui::clNone;  // anchor text colour when hovered; clNone: unchanged
    ui::TColor shadow_color = ui::clGray;
    double factor = 1.0;       // resolution factor of the printing path
    bool hover_style = false;  // only the hovered anchor is underlined
    bool selected = false;     // colours of the text are left alone
    bool blink = false;        // blinking text shows (false: it takes the canvas's brush colour)
    bool print = false;
};

// The place of a paint value among its layout's values; None: the operation's own field stands.
enum class MarkupValueRef : int { None = -1 };

// A colour or a yes/no of the layout that the paint inputs decide, such as the text colour in an
// anchor. Choices name earlier values only, so a layout's values are settled in one pass.
struct MarkupPaintValue {
    enum class Source { Fixed, UrlColor, HoverColor, HoverFontColor, CanvasBrush, Choice };
    enum class Test {
        Selected,
        Blink,
        Decorated,   // anchor `anchor` is drawn as hovered: no hover style, or it is the hovered one
        HoverFont,   // anchor `anchor` shows the hover font colour
        HoverBrush,  // anchor `anchor` shows the hover background
        Focused,     // anchor `anchor` has the focus outline
    };
    Source source = Source::Fixed;
    ui::TColor value = ui::clNone;  // Fixed: the colour, or 0 / 1 for a yes/no
    Test test = Test::Selected;     // Choice
    int anchor = 0;
    MarkupValueRef when_true = MarkupValueRef::None;
    MarkupValueRef when_false = MarkupValueRef::None;
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
    int width = 0;  // the run's measured width
    bool shadow = false;
    bool error = false;  // red zig-zag under the run
    // Picture
    MarkupPicture picture;
    std::string alt_source;  // shown instead while the point is over this picture
    int image_number = 0;
    bool stretch = false;
    // The layout's paint values that paint puts in place of the fields above; None keeps them.
    // Text: font colour, background, underline; any operation: whether it is drawn.
    MarkupValueRef color_value = MarkupValueRef::None;
    MarkupValueRef background_value = MarkupValueRef::None;
    MarkupValueRef underline_value = MarkupValueRef::None;
    MarkupValueRef shown_value = MarkupValueRef::None;
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

// What is under a point of a laid-out text.
struct MarkupHit {
    bool hit = false;  // the point lies over an anchor's text or picture
    int anchor = -1;   // its number, from 1; -1 for none
    std::string value;
    ui::TRect hover_rect;
    int image_under_point = -1;  // number of the anchor picture under the point, -1 for none
};

// A laid-out markup text: measured once, then asked for its extent, for what lies under a point
// and to paint with any paint inputs.
struct MarkupLayout {
    std::vector<MarkupOp> ops;  // in drawing order
    std::vector<MarkupAnchorBox> boxes;
    std::vector<MarkupAnchor> anchors;
    std::vector<MarkupPaintValue> values;
    std::string plain_text;
    int width = 0;   // widest line + 2
    int height = 0;  // all lines, at least one line of the font
    int anchor_count = 0;
    int line_count = 0;
    MarkupPictureSources sources;  // where its pictures come from
    // The picture sources as they resolved, for telling whether they still do.
    std::vector<std::pair<std::string, MarkupPicture>> resolved_pictures;

    // What lies under the point: the last anchor box it lies in; pictures are hit strictly
    // inside, text runs at their edges too (markup_hit_test.cpp).
    MarkupHit HitTest(ui::TPoint point) const;
    // The operations as `paint` paints them on a canvas whose brush colour is `canvas_brush`:
    // colours and underlines settled, those not drawn left out (markup_renderer.cpp).
    std::vector<MarkupOp> PaintedOps(const MarkupPaintInputs& paint, ui::TColor canvas_brush) const;
    // Draws the layout on the canvas it was made for; the canvas's font and brush are as on
    // entry afterwards (markup_renderer.cpp).
    void Paint(ui::TCanvas& canvas, const MarkupPaintInputs& paint) const;
    // The value of the anchor that focus_anchor (from 0) names; empty when there is none.
    std::string FocusAnchorValue(int focus_anchor) const;
    // Whether every picture source still resolves to the same picture and size, so that the
    // layout's places and picture references hold.
    bool PicturesUnchanged(const MarkupPictureSources& sources) const;
};

// Lays out `inputs.text` in `inputs.rect` with the canvas's font (restored on return); the canvas
// measures.
MarkupLayout LayoutMarkup(ui::TCanvas& canvas, const MarkupLayoutInputs& inputs);

}  // namespace panel
