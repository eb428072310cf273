// What each markup tag does where it stands, opening and closing; the anchors, pictures, lists
// and backgrounds have files of their own.
#include "controls/markup/markup_layouter.h"

#include <algorithm>

#include "controls/markup/markup_colors.h"
#include "controls/markup/markup_text.h"

namespace panel::markup {

void Layouter::SetStyle(ui::TFontStyle style, bool on) {
    ui::TFontStyles s = Font().Style();
    if (on)
        s.Include(style);
    else
        s.Exclude(style);
    Font().SetStyle(s);
}

void Layouter::SetUnderline(bool on) {
    SetStyle(ui::TFontStyle::fsUnderline, on);
    underline_ = Fixed(on ? 1 : 0);
}

void Layouter::HandleTag(const Tag& tag, Line& line) {
    if (tag.closing)
        ClosingTag(tag, line);
    else
        OpeningTag(tag, line);
}

void Layouter::OpeningTag(const Tag& tag, Line& line) {
    const std::string& n = tag.name;
    if (n == "A") {
        OpenAnchor(tag, line);
    } else if (n == "B") {
        SetStyle(ui::TFontStyle::fsBold, true);
    } else if (n.rfind("BL", 0) == 0) {
        color_ = Choice(MarkupPaintValue::Test::Blink, 0, color_, FromPaint(MarkupPaintValue::Source::CanvasBrush));
    } else if (n == "BODY") {
        Body(tag, line);
    } else if (n == "BR") {
        line.ends = true;
        out_.plain_text += '\r';
    } else if (n == "E") {
        error_ = true;
    } else if (n == "FONT") {
        const std::string face = Attribute(tag, "FACE");
        if (!face.empty()) Font().SetName(face);
        const ui::TColor color = MarkupColor(Attribute(tag, "COLOR", true));
        if (color != ui::clNone) color_ = UnlessSelected(color_, Fixed(color));
        const ui::TColor background = MarkupColor(Attribute(tag, "BGCOLOR", true));
        if (background != ui::clNone) {
            font_saved_brush_ = brush_;
            font_brush_set_ = true;
            brush_ = UnlessSelected(brush_, Fixed(background));
        }
        if (HasAttribute(tag, "SIZE")) {
            static constexpr int kSizes[] = {8, 10, 12, 14, 16};
            const int v = MarkupNumber(Attribute(tag, "SIZE"));
            const int points = (v >= 1 && v <= 5) ? kSizes[v - 1] : v;
            // Beyond a thousand points a single letter outgrows any screen; larger sizes are
            // taken as that, so a mistyped size cannot ask the font engine for a giant face.
            // 0 points (also a value without digits) leaves the size to the font engine.
            Font().SetSize(std::min(points, kLargestPoints));
        }
    } else if (n == "HI") {
        hi_saved_brush_ = brush_;
        hi_saved_text_ = color_;
        hi_on_ = true;
        brush_ = Fixed(ui::clHighlight);
        color_ = Fixed(ui::clHighlightText);
    } else if (n == "HR") {
        line.ends = true;
        PendingOp rule = Pending(MarkupOpKind::Rule, Vertical::Rule, false);
        rule.op.color = ui::clBlack;
        line.ops.push_back(rule);
    } else if (n == "I") {
        SetStyle(ui::TFontStyle::fsItalic, true);
    } else if (n == "IND") {
        int x = 0;
        if (WholeNumber(Attribute(tag, "X"), x) && line.width < x) {
            line.width = x;
            line.pen = x;
        }
    } else if (n == "IMG") {
        Picture(tag, line);
    } else if (n == "LI") {
        ListItem(tag, line);
    } else if (n == "OF") {
        const int x = MarkupNumber(Attribute(tag, "X"));
        line.pen = x;
        line.width = x;
        of_offset_ = x;
    } else if (n == "P") {
        Paragraph(tag, line);
    } else if (n == "R") {
        saved_orientation_ = Font().Orientation();
        Font().SetOrientation(MarkupNumber(Attribute(tag, "A")) * 10);
    } else if (n == "S") {
        SetStyle(ui::TFontStyle::fsStrikeOut, true);
    } else if (n == "SHAD") {
        shadow_ = true;
    } else if (n == "SUB") {
        sub_ = true;
    } else if (n == "SUP") {
        sup_ = true;
    } else if (n == "U") {
        SetUnderline(true);
    } else if (n == "UL") {
        ++list_.level;
        line.ends = true;
    } else if (n == "Z") {
        hidden_ = true;
    }
}

void Layouter::ClosingTag(const Tag& tag, Line& line) {
    const std::string& n = tag.name;
    if (n == "A") {
        CloseAnchor(line);
    } else if (n == "B") {
        SetStyle(ui::TFontStyle::fsBold, false);
    } else if (!n.empty() && n[0] == 'B') {
        color_ = base_color_;
    } else if (n == "E") {
        error_ = false;
    } else if (n == "FONT") {
        Font().SetName(base_.name);
        Font().SetHeight(base_.height);
        color_ = UnlessSelected(color_, base_color_);
        if (font_brush_set_) brush_ = UnlessSelected(brush_, font_saved_brush_);
        font_brush_set_ = false;
    } else if (n == "HI") {
        if (hi_on_) {
            brush_ = hi_saved_brush_;
            color_ = hi_saved_text_;
        }
        hi_on_ = false;
    } else if (n == "I") {
        SetStyle(ui::TFontStyle::fsItalic, false);
    } else if (n == "LI") {
        line.ends = true;
    } else if (n == "OF") {
        of_offset_ = 0;
    } else if (n == "P") {
        line.ends = true;
        para_.background = false;
        if (para_.brush_set) brush_ = para_.saved_brush;
        para_.brush_set = false;
    } else if (n == "R") {
        Font().SetOrientation(saved_orientation_);
    } else if (n == "S") {
        SetStyle(ui::TFontStyle::fsStrikeOut, false);
    } else if (n == "SHAD") {
        shadow_ = false;
    } else if (n == "SUB" || n == "SUP") {
        sub_ = sup_ = false;
    } else if (n == "U") {
        SetUnderline(false);
    } else if (n == "UL") {
        if (list_.level > 0)
            --list_.level;
        else
            SetUnderline(false);
    } else if (n == "Z") {
        hidden_ = false;
    }
}

}  // namespace panel::markup
