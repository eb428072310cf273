// The markup renderer: measures a markup text in a rectangle, draws it on a canvas, and tells
// which anchor (link) lies under a point. Measuring, drawing and hit-testing all read one layout
// of the text (markup_layout.h).
#pragma once

#include <string>

#include "controls/panel/markup_layout.h"

namespace panel {

struct MarkupRenderResult {
    std::string plain_text;          // the text of the runs; a line break as CR
    std::string focus_anchor_value;  // value of the focused anchor (drawing only)
    int width = 0;                   // widest line + 2
    int height = 0;                  // all lines; one line of the font for an empty text
    int anchor_count = 0;
    int hit_anchor = -1;  // number of the anchor under the point, from 1; -1 for none
    // Written only when an anchor is hit: its value and hover rectangle. Callers clear them.
    std::string anchor_value;
    ui::TRect hover_rect;
};

// Lays out `text` in `rect` and, unless options.check_only or options.check_hot_spot, draws it.
// Returns true when options.point lies over an anchor's text or picture (never with
// check_only). The canvas's font and brush are as on entry afterwards.
bool RenderMarkup(ui::TCanvas& canvas, const std::string& text, const ui::TRect& rect,
                  const MarkupRenderOptions& options, MarkupRenderResult& result);

// Draws a layout made for this canvas; `image_under_point` is the number of the picture the point
// is over (its ALT source is shown instead), -1 for none.
void PaintMarkup(ui::TCanvas& canvas, const MarkupLayout& layout, const MarkupRenderOptions& options,
                 int image_under_point);

}  // namespace panel
