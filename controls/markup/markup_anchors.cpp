// Anchors (A) in the markup layout: their numbers, values, hover rectangles and focus outline
// segments, and the paint values of their colours and underline.
#include "controls/markup/markup_layouter.h"

namespace panel::markup {

void Layouter::OpenAnchor(const Tag& tag, Line& line) {
    using Test = MarkupPaintValue::Test;
    using Source = MarkupPaintValue::Source;
    if (anchor_.open) CloseAnchor(line);  // anchors do not nest
    const int n = ++anchor_.counter;
    // Without hover style every anchor is drawn as a hovered one (underlined, on the hover
    // background), but in the URL colour: only hover style shows the hover font colour.
    underline_ = Choice(Test::Decorated, n, Fixed(1), underline_);
    anchor_.saved_brush = brush_;
    brush_ = Choice(Test::HoverBrush, n, FromPaint(Source::HoverColor), brush_);
    color_ = UnlessSelected(color_,
                            Choice(Test::HoverFont, n, FromPaint(Source::HoverFontColor), FromPaint(Source::UrlColor)));
    anchor_.value = FirstQuoted(tag.raw);
    anchor_.open = true;
    anchor_.index = out_.anchors.size();
    out_.anchors.push_back({anchor_.counter, anchor_.value, {}});
    line.anchor_marks.push_back({anchor_.index, line.pen, -1});
    line.focus_start = line.pen;
}

void Layouter::CloseAnchor(Line& line) {
    using Test = MarkupPaintValue::Test;
    if (!anchor_.open) return;
    const int n = anchor_.counter;
    underline_ = Choice(Test::Decorated, n, Fixed(0), underline_);
    brush_ = Choice(Test::HoverBrush, n, anchor_.saved_brush, brush_);
    color_ = UnlessSelected(color_, base_color_);
    anchor_.open = false;
    for (Line::AnchorMark& mark : line.anchor_marks) {
        if (mark.anchor == anchor_.index && mark.end < 0) mark.end = line.pen;
    }
    if (line.focus_start >= 0) {
        line.focus.push_back({n, line.focus_start, line.pen});
        line.focus_start = -1;
    }
}

}  // namespace panel::markup
