// Lists in the markup layout: the list item (LI) with its indent and bullet.
#include "controls/markup/markup_layouter.h"

#include "controls/markup/markup_colors.h"

namespace panel::markup {

void Layouter::ListItem(const Tag& tag, Line& line) {
    list_.bullet_type = Attribute(tag, "TYPE", true);
    list_.bullet_color = MarkupColor(Attribute(tag, "COLOR", true));
    line.width += list_.level * kListIndent;
    if (line.list_item) {
        // One list item per line: the second starts the next line, where its bullet is drawn;
        // its indent still counts in this line's width.
        line.break_before = true;
        return;
    }
    line.list_item = true;
    line.pen += list_.level * kListIndent - kListIndent;
    if (!hidden_) {
        if (list_.bullet_type == "SQUARE" || list_.bullet_type == "CIRCLE") {
            // Without COLOR the shape has no colour of its own: it is not filled.
            PendingOp bullet = Pending(MarkupOpKind::Bullet, Vertical::Fixed, true);
            bullet.op.rect = ui::Bounds(line.pen, line.top + kBulletTop, kBulletSize, kBulletSize);
            bullet.op.color = list_.bullet_color;
            bullet.op.circle = list_.bullet_type == "CIRCLE";
            line.ops.push_back(bullet);
        } else if (list_.bullet_type.empty()) {
            PendingOp mark = Pending(MarkupOpKind::Text, Vertical::Run, true);
            mark.op.rect = ui::Rect(line.pen, line.top, 0, 0);
            mark.op.text = list_.level % 2 == 1 ? "\xE2\x80\xA2" : "o";
            mark.op.font = MarkupFont::Of(Font());
            mark.op.font.name = "Symbol";
            if (list_.bullet_color != ui::clNone)
                mark.op.font.color = list_.bullet_color;
            else
                mark.op.color_value = color_;
            mark.op.underline_value = underline_;
            mark.op.flags = TDrawTextFlags::dtSingleLine | TDrawTextFlags::dtBottom;
            line.ops.push_back(std::move(mark));
        }
    }
    line.pen += kListIndent;
}

}  // namespace panel::markup
