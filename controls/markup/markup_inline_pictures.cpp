// Pictures in the markup layout: IMG placed in its line, and the picture sources as they
// resolved, for telling whether a kept layout still holds.
#include "controls/markup/markup_layouter.h"

#include <algorithm>

#include "controls/markup/markup_text.h"
#include "platform/ui/core/sysutils.h"

namespace panel::markup {

MarkupPicture Layouter::Resolve(const std::string& source) {
    const MarkupPicture picture = ResolveMarkupPicture(source, o_.pictures);
    auto& resolved = out_.resolved_pictures;
    const bool known = std::any_of(resolved.begin(), resolved.end(), [&](const auto& r) { return r.first == source; });
    if (!known) resolved.emplace_back(source, picture);
    return picture;
}

void Layouter::Picture(const Tag& tag, Line& line) {
    const int number = ++image_counter_;
    const std::string source = Attribute(tag, "SRC");
    const int width = MarkupNumber(Attribute(tag, "WIDTH"));
    const int height = MarkupNumber(Attribute(tag, "HEIGHT"));
    const MarkupPicture picture = Resolve(source);
    if (picture.kind == MarkupPictureKind::None) return;
    const bool sized = picture.kind == MarkupPictureKind::Picture && width >= 1 && height >= 1;
    const ui::TSize size = sized ? ui::TSize{ui::MulDiv(width, ui::kScreenPixelsPerInch, 96),
                                             ui::MulDiv(height, ui::kScreenPixelsPerInch, 96)}
                                 : picture.size;
    // A picture that fits an empty line but not what is left of this one starts the next line;
    // on a line with nothing on it yet it stays, so the line takes something.
    if (line.has_content && size.cx > Available() - line.width && size.cx <= Available()) {
        --image_counter_;  // counted again on the next line
        line.break_before = true;
        return;
    }
    PendingOp op = Pending(MarkupOpKind::Picture, Vertical::Fixed, true);
    op.op.rect = ui::Bounds(line.pen, line.top, size.cx, size.cy);
    op.op.picture = picture;
    op.op.stretch = sized;
    op.op.image_number = number;
    if (HasAttribute(tag, "ALT")) op.op.alt_source = Attribute(tag, "ALT");
    line.ops.push_back(std::move(op));
    if (anchor_.open) {
        PendingBox box;
        box.box = {anchor_.counter, anchor_.value, ui::Bounds(line.pen, line.top, size.cx, size.cy), true,
                   number,          true};
        box.text = false;
        line.boxes.push_back(std::move(box));
    }
    line.width += size.cx;
    line.pen += size.cx;
    line.height = std::max(line.height, size.cy);
    line.has_content = true;
    line.trailing_blank = 0;
    const int gh = LineProbeHeight();
    if (tag.upper.find("\"TOP") != std::string::npos)
        line.lift = line.height - gh;
    else if (tag.upper.find("\"MIDDLE") != std::string::npos)
        line.lift = (line.height - gh) / 2;
    if (HasAttribute(tag, "WRAP")) {
        line.height = gh;
        line.lift = 0;
    }
}

}  // namespace panel::markup

namespace panel {

bool MarkupLayout::PicturesUnchanged(const MarkupPictureSources& now) const {
    for (const auto& [source, picture] : resolved_pictures) {
        const MarkupPicture again = ResolveMarkupPicture(source, now);
        if (again.kind != picture.kind || again.image_index != picture.image_index || again.large != picture.large ||
            again.shell_name != picture.shell_name || again.picture != picture.picture || again.size != picture.size)
            return false;
    }
    return true;
}

}  // namespace panel
