#include "controls/panel/markup_renderer.h"

#include <cmath>

#include "platform/ui/graphics/bitmap.h"

namespace panel {

namespace {

bool Inside(const MarkupAnchorBox& box, ui::TPoint p) {
    if (box.strict_x) {
        return p.X > box.box.Left && p.X < box.box.Right && p.Y > box.box.Top && p.Y < box.box.Bottom;
    }
    // Text runs: their whole width, edges included, within the line's band of the run.
    return p.X >= box.box.Left && p.X <= box.box.Right && p.Y > box.box.Top && p.Y < box.box.Bottom;
}

void SetSolidPen(ui::TCanvas& canvas, ui::TColor color) {
    canvas.Pen().SetColor(color);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetStyle(ui::TPenStyle::psSolid);
    canvas.Pen().SetMode(ui::TPenMode::pmCopy);
}

void SetBackground(ui::TCanvas& canvas, ui::TColor color) {
    if (color == ui::clNone) {
        canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
    } else {
        canvas.Brush().SetColor(color);
    }
}

// The error marking: a red zig-zag along the run's bottom, points 2 pixels apart, one pixel
// above and below it, the lower one where x is a multiple of 4.
void DrawZigZag(ui::TCanvas& canvas, int left, int right, int bottom) {
    SetSolidPen(canvas, ui::clRed);
    int x = left - (((left % 2) + 2) % 2);  // down to an even column
    auto y_at = [&](int px) { return (((px % 4) + 4) % 4) == 0 ? bottom + 1 : bottom - 1; };
    canvas.MoveTo(x, y_at(x));
    while (x < right) {
        x += 2;
        canvas.LineTo(x, y_at(x));
    }
}

void DrawText(ui::TCanvas& canvas, const MarkupOp& op, const MarkupRenderOptions& options) {
    op.font.ApplyTo(canvas.Font());
    if (op.shadow) {
        canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
        canvas.Font().SetColor(options.shadow_color);
        ui::TRect shadow = op.rect;
        shadow.Left += options.shadow_offset;
        shadow.Right += options.shadow_offset;
        shadow.Top += options.shadow_offset;
        shadow.Bottom += options.shadow_offset;
        ui::DrawText(canvas, op.text, shadow, op.flags);
        canvas.Font().SetColor(op.font.color);
    }
    SetBackground(canvas, op.background);
    ui::TRect r = op.rect;
    ui::DrawText(canvas, op.text, r, op.flags);
    if (op.error) DrawZigZag(canvas, op.rect.Left, op.rect.Left + op.width, op.rect.Bottom);
}

void DrawPictureAt(ui::TCanvas& canvas, const MarkupPicture& picture, const ui::TRect& rect, bool stretch,
                   const MarkupRenderOptions& options) {
    switch (picture.kind) {
        case MarkupPictureKind::None: break;
        case MarkupPictureKind::ImageList: {
            const ui::TImageList& images = *options.pictures.images;
            if (!options.print) {
                images.Draw(canvas, rect.Left, rect.Top, picture.image_index);
                break;
            }
            ui::TBitmap bitmap;
            bitmap.SetSize(images.Width(), images.Height());
            images.Draw(bitmap.Canvas(), 0, 0, picture.image_index);
            DrawScaledBitmap(canvas,
                             ui::Bounds(rect.Left, rect.Top, static_cast<int>(std::lround(images.Width() * options.factor)),
                                        static_cast<int>(std::lround(images.Height() * options.factor))),
                             bitmap);
            break;
        }
        case MarkupPictureKind::ShellIcon:
            DrawShellIcon(canvas, rect.Left, rect.Top, picture.large, true, options.print, options.factor,
                          picture.shell_name);
            break;
        case MarkupPictureKind::Picture: {
            THTMLPicture& p = *picture.picture;
            p.FrameCount();
            const int x = rect.Left + p.FrameLeft();
            const int y = rect.Top + p.FrameTop();
            if (stretch) {
                p.SetStretch(true);
                p.Draw(canvas, ui::Bounds(x, y, rect.Width(), rect.Height()));
            } else {
                // The picture's own Stretch is left as it is: the rectangle is its natural size.
                p.Draw(canvas, ui::Bounds(x, y, p.Width(), p.Height()));
            }
            break;
        }
    }
}

// A picture repeated from the rectangle's top-left over all of it, cut at its edges.
void DrawTiled(ui::TCanvas& canvas, const MarkupOp& op) {
    const ui::TRect& r = op.rect;
    const ui::TSize tile = op.picture.size;
    if (r.IsEmpty() || tile.cx <= 0 || tile.cy <= 0) return;
    // Drawn on a copy of the area, which then goes back: the copy's edges cut the last tiles.
    ui::TBitmap area;
    area.SetPixelFormat(ui::TPixelFormat::pf32bit);
    area.SetSize(r.Width(), r.Height());
    area.Canvas().CopyRect(ui::Rect(0, 0, r.Width(), r.Height()), canvas, r);
    // Each tile's rectangle is the picture's natural size, whatever its Stretch says.
    const THTMLPicture& picture = *op.picture.picture;
    for (int y = 0; y < r.Height(); y += tile.cy) {
        for (int x = 0; x < r.Width(); x += tile.cx) {
            picture.Draw(area.Canvas(), ui::Bounds(x, y, picture.Width(), picture.Height()));
        }
    }
    canvas.CopyRect(r, area.Canvas(), ui::Rect(0, 0, r.Width(), r.Height()));
}

}  // namespace

void PaintMarkup(ui::TCanvas& canvas, const MarkupLayout& layout, const MarkupRenderOptions& options,
                 int image_under_point) {
    ui::TCanvasToolsGuard saved(canvas);
    for (const MarkupOp& op : layout.ops) {
        switch (op.kind) {
            case MarkupOpKind::Fill:
                canvas.Brush().SetColor(op.color);
                canvas.FillRect(op.rect);
                break;
            case MarkupOpKind::Gradient:
                GradientFill(canvas, op.color, op.color_to, op.horizontal, op.rect, 64, ui::clNone);
                break;
            case MarkupOpKind::Text: DrawText(canvas, op, options); break;
            case MarkupOpKind::Picture: {
                if (op.image_number == image_under_point && !op.alt_source.empty()) {
                    const MarkupPicture alt = ResolveMarkupPicture(op.alt_source, options.pictures);
                    if (alt.kind != MarkupPictureKind::None) {
                        DrawPictureAt(canvas, alt, op.rect, op.stretch, options);
                        break;
                    }
                }
                DrawPictureAt(canvas, op.picture, op.rect, op.stretch, options);
                break;
            }
            case MarkupOpKind::TiledPicture: DrawTiled(canvas, op); break;
            case MarkupOpKind::Rule:
                SetSolidPen(canvas, op.color);
                canvas.MoveTo(op.rect.Left, op.rect.Top);
                canvas.LineTo(op.rect.Right, op.rect.Top);
                break;
            case MarkupOpKind::Bullet:
                canvas.Brush().SetColor(op.color);
                if (op.circle) {
                    SetSolidPen(canvas, op.color);
                    canvas.Ellipse(op.rect);
                } else {
                    canvas.FillRect(op.rect);
                }
                break;
            case MarkupOpKind::FocusRect: canvas.DrawFocusRect(op.rect); break;
        }
    }
}

bool RenderMarkup(ui::TCanvas& canvas, const std::string& text, const ui::TRect& rect,
                  const MarkupRenderOptions& options, MarkupRenderResult& result) {
    result.plain_text.clear();
    result.focus_anchor_value.clear();
    result.hit_anchor = -1;
    const MarkupLayout layout = LayoutMarkup(canvas, text, rect, options);
    result.plain_text = layout.plain_text;
    result.width = layout.width;
    result.height = layout.height;
    result.anchor_count = layout.anchor_count;

    bool hit = false;
    int image_under_point = -1;
    if (!options.check_only) {
        for (const MarkupAnchorBox& box : layout.boxes) {
            if (!Inside(box, options.point)) continue;
            hit = true;
            result.hit_anchor = box.number;
            result.anchor_value = box.value;
            result.hover_rect = layout.anchors[static_cast<std::size_t>(box.number - 1)].hover_rect;
            image_under_point = box.picture ? box.image_number : -1;
        }
    }
    if (!options.check_only && !options.check_hot_spot) {
        if (options.focus_anchor >= 0 && options.focus_anchor < static_cast<int>(layout.anchors.size())) {
            result.focus_anchor_value = layout.anchors[static_cast<std::size_t>(options.focus_anchor)].value;
        }
        PaintMarkup(canvas, layout, options, image_under_point);
    }
    return hit;
}

}  // namespace panel
