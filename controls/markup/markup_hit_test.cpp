// What lies under a point of a laid-out markup text: the anchor, its value and hover rectangle,
// and the anchor picture; read from the same boxes the layout places, so what is hit is what is
// painted.
#include "controls/markup/markup_layout.h"

namespace panel {

namespace {

bool Inside(const MarkupAnchorBox& box, ui::TPoint p) {
    if (box.strict_x) {
        return p.X > box.box.Left && p.X < box.box.Right && p.Y > box.box.Top && p.Y < box.box.Bottom;
    }
    // Text runs: their whole width, edges included, within the line's band of the run.
    return p.X >= box.box.Left && p.X <= box.box.Right && p.Y > box.box.Top && p.Y < box.box.Bottom;
}

}  // namespace

MarkupHit MarkupLayout::HitTest(ui::TPoint point) const {
    MarkupHit hit;
    for (const MarkupAnchorBox& box : boxes) {
        if (!Inside(box, point)) continue;
        hit.hit = true;
        hit.anchor = box.number;
        hit.value = box.value;
        hit.hover_rect = anchors[static_cast<std::size_t>(box.number - 1)].hover_rect;
        hit.image_under_point = box.picture ? box.image_number : -1;
    }
    return hit;
}

std::string MarkupLayout::FocusAnchorValue(int focus_anchor) const {
    if (focus_anchor < 0 || focus_anchor >= static_cast<int>(anchors.size())) return {};
    return anchors[static_cast<std::size_t>(focus_anchor)].value;
}

}  // namespace panel
