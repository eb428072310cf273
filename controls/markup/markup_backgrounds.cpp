// Backgrounds in the markup layout: the BODY pictures, colour and gradient over the rectangle,
// and the paragraph (P) with its alignment, indent and line band background.
#include "controls/markup/markup_layouter.h"

#include "controls/markup/markup_colors.h"
#include "controls/markup/markup_text.h"

namespace panel::markup {

void Layouter::Body(const Tag& tag, Line& line) {
    // A selected text is painted without the backgrounds.
    if (shown_unless_selected_ == MarkupValueRef::None) shown_unless_selected_ = UnlessSelected(Fixed(0), Fixed(1));
    auto picture_at = [&](const std::string& attribute, int where) {
        // where: 0 tiled, 1 top-left, 2 top-right
        const std::string source = Attribute(tag, attribute);
        if (source.empty()) return;
        const MarkupPicture picture = Resolve(source);
        if (picture.kind == MarkupPictureKind::None) return;
        PendingOp op = Pending(MarkupOpKind::Picture, Vertical::Fixed, false);
        op.op.picture = picture;
        op.op.shown_value = shown_unless_selected_;
        const bool icon = picture.kind != MarkupPictureKind::Picture;
        // Icons are not tiled, and an image-list picture in the top-left corner stands at the pen.
        if ((where == 0 && icon) || (where == 1 && picture.kind == MarkupPictureKind::ImageList)) {
            op.in_line = true;
            op.op.rect = ui::Bounds(line.pen, line.top, picture.size.cx, picture.size.cy);
        } else if (where == 0) {
            if (picture.size.cx <= 0 || picture.size.cy <= 0) return;
            op.op.kind = MarkupOpKind::TiledPicture;
            op.op.rect = rect_;
            op.op.width = picture.size.cx;
        } else {
            const int left = where == 1 ? rect_.Left : rect_.Right - picture.size.cx;
            op.op.rect = ui::Bounds(left, rect_.Top, picture.size.cx, picture.size.cy);
        }
        line.ops.push_back(std::move(op));
    };
    picture_at("BACKGROUND", 0);
    picture_at("BGTOPLEFT", 1);
    picture_at("BGTOPRIGHT", 2);
    const ui::TColor from = MarkupColor(Attribute(tag, "BGCOLOR", true));
    if (from == ui::clNone) return;
    const ui::TColor to = MarkupColor(Attribute(tag, "BGCOLORTO", true));
    PendingOp op = Pending(MarkupOpKind::Fill, Vertical::Fixed, false);
    op.op.color = from;
    op.op.shown_value = shown_unless_selected_;
    if (to == ui::clNone) {
        op.op.rect = ui::Rect(rect_.Left - 2, rect_.Top, rect_.Right, rect_.Bottom);
    } else {
        op.op.kind = MarkupOpKind::Gradient;
        op.op.rect = rect_;
        op.op.color_to = to;
        const std::string dir = Attribute(tag, "DIR", true);
        op.op.horizontal = dir.empty() || dir == "H";
    }
    line.ops.push_back(std::move(op));
}

void Layouter::Paragraph(const Tag& tag, Line& line) {
    const std::string align = Attribute(tag, "ALIGN", true);
    if (align == "LEFT")
        para_.align = ParagraphAlign::Left;
    else if (align == "RIGHT")
        para_.align = ParagraphAlign::Right;
    else if (align == "CENTER")
        para_.align = ParagraphAlign::Center;
    if (HasAttribute(tag, "INDENT")) para_.indent = MarkupNumber(Attribute(tag, "INDENT"));
    const ui::TColor from = MarkupColor(Attribute(tag, "BGCOLOR", true));
    if (from == ui::clNone) return;
    const ui::TColor to = MarkupColor(Attribute(tag, "BGCOLORTO", true));
    PendingOp band = Pending(MarkupOpKind::Fill, Vertical::Band, false);
    band.op.color = from;
    if (to != ui::clNone) {
        band.op.kind = MarkupOpKind::Gradient;
        band.op.color_to = to;
        band.vertical = Vertical::BandGradient;
    } else {
        // The text cells take the paragraph's colour too.
        if (!para_.brush_set) para_.saved_brush = brush_;
        para_.brush_set = true;
        brush_ = Fixed(from);
    }
    line.ops.push_back(band);
    para_.background = true;
    para_.color = from;
}

}  // namespace panel::markup
