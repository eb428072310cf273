// The line builder of the markup layout: the text cut into lines, runs measured and placed,
// words wrapped, and each line aligned and its operations, focus outlines and anchor boxes fixed
// once its height is known.
#include "controls/markup/markup_layouter.h"

#include <algorithm>

#include "controls/markup/markup_text.h"
#include "platform/ui/core/sysutils.h"

namespace panel::markup {

namespace {

// The platform's prefix rule for text drawn without the no-prefix flag: "&&" shows one "&", a
// single "&" marks the next character and is not shown.
std::string WithoutPrefixes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

}  // namespace

MarkupLayout Layouter::Run(std::string text) {
    no_prefix_ = text.find(" & ") != std::string::npos;
    while (ReplaceMarkupEntities(text)) {}
    if (const std::size_t hash = text.find("<#"); hash != std::string::npos) {
        text.erase(hash, 1);
        if (const std::size_t gt = text.find('>', hash); gt != std::string::npos) text.erase(gt, 1);
    }
    std::string lines;
    lines.reserve(text.size());
    for (char c : text) {
        if (c == '\r')
            lines += "<BR>";
        else if (c != '\n')
            lines += c;
    }
    text = std::move(lines);

    int top = rect_.Top;
    std::size_t index = 0;
    while (!text.empty()) {
        Line line;
        line.top = top;
        line.gh = LineProbeHeight();
        line.height = line.gh;
        sub_ = sup_ = false;
        const int h0 = line.gh;
        text = ui::Trim(text);
        const std::size_t before = text.size();
        LayoutLine(text, line);
        if (!text.empty() && text.size() == before) {
            // Defensive: a line always consumes something, so the loop ends.
            const std::size_t gt = text.find('>');
            text.erase(0, gt == std::string::npos ? text.size() : gt + 1);
        }
        FinishLine(line);
        ++index;
        const int advance = line.height + line.sub + line.sup;
        top += advance;
        out_.height += advance;
        if (!o_.all_lines && h0 + top > rect_.Bottom) text.clear();
    }
    out_.line_count = static_cast<int>(index);
    base_.ApplyTo(Font());
    if (out_.height == 0) out_.height = LineProbeHeight();
    out_.anchor_count = anchor_.counter;
    return std::move(out_);
}

void Layouter::LayoutLine(std::string& text, Line& line) {
    line.pen = of_offset_;
    if (para_.background) {
        PendingOp fill = Pending(MarkupOpKind::Fill, Vertical::Band, false);
        fill.op.color = para_.color;
        line.ops.push_back(fill);
    }
    if (anchor_.open) {
        line.anchor_marks.push_back({anchor_.index, 0, -1});
        line.focus_start = 1;
    }
    while (!text.empty() && !line.ends && !line.break_before) {
        std::size_t end = text.find('<');
        if (end == std::string::npos) end = text.size();
        if (o_.word_wrap) {
            const std::size_t blank = text.find(' ');
            if (blank != std::string::npos && blank < end) end = blank + 1;
        }
        if (end > 0) PlaceRun(text.substr(0, end), line, text, end);
        if (!text.empty() && text[0] == '<' && text.size() <= 2) text.clear();
        if (line.ends || text.empty() || text[0] != '<') continue;
        const std::size_t gt = text.find('>');
        const Tag tag = ParseTag(gt == std::string::npos ? text : text.substr(0, gt + 1));
        HandleTag(tag, line);
        if (line.break_before) break;  // the tag starts the next line
        text.erase(0, gt == std::string::npos ? text.size() : gt + 1);
    }
    line.width -= line.trailing_blank;
    if (out_.width < line.width) out_.width = line.width + 2;
    if (line.focus_start >= 0) line.focus.push_back({anchor_.counter, line.focus_start, line.pen});
    line.focus_start = -1;
}

void Layouter::PlaceRun(const std::string& raw_run, Line& line, std::string& text, std::size_t end) {
    const std::string run = ReplaceRunEntities(raw_run);
    const int h = canvas_.TextHeight(run);
    if (sub_) line.sub = std::max(line.sub, h / 4);
    if (sup_) line.sup = std::max(line.sup, h / 4);
    line.height = std::max(line.height, h);
    out_.plain_text += run;
    if (hidden_) {
        text.erase(0, end);
        return;
    }
    const std::string shown = no_prefix_ ? run : WithoutPrefixes(run);
    ui::TRect calc = ui::Rect(rect_.Left, line.top, rect_.Right, line.top + line.height);
    ui::DrawText(canvas_, shown, calc,
                 TDrawTextFlags::dtCalcRect | TDrawTextFlags::dtSingleLine | TDrawTextFlags::dtBottom);
    const int w = calc.Width();
    line.width += w;
    // A run that does not fit moves to the next line, unless nothing stands on this one yet:
    // then it stays alone however wide it is, so every line takes something.
    if (line.width >= Available() && o_.word_wrap && line.has_content) {
        line.ends = true;
        line.width -= w;
        return;
    }
    text.erase(0, end);
    line.has_content = true;
    line.trailing_blank = (!run.empty() && run.back() == ' ') ? canvas_.TextWidth(" ") : 0;

    PendingOp op = Pending(MarkupOpKind::Text, Vertical::Run, true, sub_, sup_);
    op.op.rect = ui::Rect(line.pen, line.top, 0, 0);
    op.op.text = shown;
    op.op.font = MarkupFont::Of(Font());
    op.op.color_value = color_;
    op.op.background_value = brush_;
    op.op.underline_value = underline_;
    op.op.width = w;
    op.op.shadow = shadow_;
    op.op.error = error_;
    op.op.flags = TDrawTextFlags::dtSingleLine | TDrawTextFlags::dtBottom;
    if (!o_.word_wrap) op.op.flags = op.op.flags | TDrawTextFlags::dtEndEllipsis;
    // Turned text leaves its line's band; cutting it there would leave nothing of it.
    if (op.op.font.orientation != 0) op.op.flags = op.op.flags | TDrawTextFlags::dtNoClip;
    line.ops.push_back(std::move(op));
    if (anchor_.open) {
        PendingBox box;
        box.box = {anchor_.counter, anchor_.value, ui::Rect(line.pen, 0, line.pen + w, 0), false, 0, false};
        box.height = h;
        box.sub = sub_;
        box.sup = sup_;
        line.boxes.push_back(std::move(box));
    }
    line.pen += w;
}

void Layouter::FinishLine(Line& line) {
    line.height += o_.line_spacing;
    int left = rect_.Left;
    if (para_.align == ParagraphAlign::Right && rect_.Right - line.width > left)
        left = rect_.Right - line.width;
    else if (para_.align == ParagraphAlign::Center && rect_.Right - left - line.width > 0)
        left += (rect_.Right - left - line.width) / 2;
    left += para_.indent;
    const int bottom = line.top + line.height + line.sub + line.sup;
    auto run_bottom = [&](bool sub, bool sup) {
        return bottom - line.sub + (sub ? line.sub : 0) - (sup ? line.sup : 0) - line.lift;
    };
    const int w_width = canvas_.TextWidth("w");
    for (PendingOp& p : line.ops) {
        MarkupOp& op = p.op;
        if (p.in_line) {
            op.rect.Left += left;
            op.rect.Right += left;
        }
        switch (p.vertical) {
        case Vertical::Fixed:
            break;
        case Vertical::Run:
            op.rect.Right = rect_.Right;
            op.rect.Bottom = run_bottom(p.sub, p.sup);
            // Without word wrap a run starting within a "w" of the right edge is not drawn.
            if (!o_.word_wrap && op.kind == MarkupOpKind::Text && op.rect.Left >= rect_.Right - w_width) continue;
            break;
        case Vertical::Rule: {
            const int y = run_bottom(false, false) + 1;
            op.rect = ui::Rect(rect_.Left, y, rect_.Right, y + 1);
            break;
        }
        case Vertical::Band:
            op.rect = ui::Rect(rect_.Left, line.top, rect_.Right, bottom);
            break;
        case Vertical::BandGradient:
            op.rect = ui::Rect(rect_.Left, line.top, rect_.Right, bottom + 2);
            break;
        }
        out_.ops.push_back(std::move(op));
    }
    for (const Line::FocusMark& mark : line.focus) {
        MarkupOp focus;
        focus.kind = MarkupOpKind::FocusRect;
        const int b = run_bottom(false, false);
        focus.rect = ui::Rect(left + mark.start - 1, b - line.gh, left + mark.end + 1, b);
        focus.shown_value = Choice(MarkupPaintValue::Test::Focused, mark.anchor, Fixed(1), Fixed(0));
        out_.ops.push_back(std::move(focus));
    }
    for (PendingBox& p : line.boxes) {
        MarkupAnchorBox box = p.box;
        box.box.Left += left;
        box.box.Right += left;
        if (p.text) {
            const int b = run_bottom(p.sub, p.sup);
            box.box.Top = b - p.height;
            box.box.Bottom = b;
        }
        out_.boxes.push_back(std::move(box));
    }
    for (const Line::AnchorMark& mark : line.anchor_marks) {
        // An anchor's hover rectangle covers its part on the line where it ends; an anchor left
        // open at the end of the text ends with its last line.
        MarkupAnchor& anchor = out_.anchors[mark.anchor];
        const int end = mark.end >= 0 ? mark.end : line.pen;
        anchor.hover_rect = ui::Rect(left + mark.start, line.top, left + end, bottom);
    }
}

}  // namespace panel::markup
