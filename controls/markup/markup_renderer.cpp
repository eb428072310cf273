#include "controls/markup/markup_renderer.h"

#include <cmath>

#include "controls/markup/markup_drawing.h"
#include "controls/pictures/html_picture.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/graphics/bitmap.h"

namespace panel {

namespace {

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

void DrawText(ui::TCanvas& canvas, const MarkupOp& op, const MarkupPaintInputs& options) {
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
                   const MarkupPictureSources& sources, const MarkupPaintInputs& options) {
    switch (picture.kind) {
    case MarkupPictureKind::None:
        break;
    case MarkupPictureKind::ImageList: {
        const ui::TImageList& images = *sources.images;
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

// Every paint value of the layout with these paint inputs, in one pass: a choice names earlier
// values only.
std::vector<ui::TColor> SettledValues(const MarkupLayout& layout, const MarkupPaintInputs& paint,
                                      ui::TColor canvas_brush) {
    using Source = MarkupPaintValue::Source;
    using Test = MarkupPaintValue::Test;
    std::vector<ui::TColor> settled(layout.values.size(), ui::clNone);
    for (std::size_t i = 0; i < layout.values.size(); ++i) {
        const MarkupPaintValue& v = layout.values[i];
        const bool hovered = v.anchor == paint.hover_anchor;
        const bool decorated = !paint.hover_style || hovered;
        switch (v.source) {
        case Source::Fixed:
            settled[i] = v.value;
            break;
        case Source::UrlColor:
            settled[i] = paint.url_color;
            break;
        case Source::HoverColor:
            settled[i] = paint.hover_color;
            break;
        case Source::HoverFontColor:
            settled[i] = paint.hover_font_color;
            break;
        case Source::CanvasBrush:
            settled[i] = canvas_brush;
            break;
        case Source::Choice: {
            bool yes = false;
            switch (v.test) {
            case Test::Selected:
                yes = paint.selected;
                break;
            case Test::Blink:
                yes = paint.blink;
                break;
            case Test::Decorated:
                yes = decorated;
                break;
            case Test::HoverFont:
                yes = paint.hover_style && hovered && paint.hover_font_color != ui::clNone;
                break;
            case Test::HoverBrush:
                yes = decorated && paint.hover_color != ui::clNone;
                break;
            case Test::Focused:
                yes = paint.focus_anchor >= 0 && v.anchor == paint.focus_anchor + 1;
                break;
            }
            settled[i] = settled[static_cast<std::size_t>(yes ? v.when_true : v.when_false)];
            break;
        }
        }
    }
    return settled;
}

}  // namespace

std::vector<MarkupOp> MarkupLayout::PaintedOps(const MarkupPaintInputs& paint, ui::TColor canvas_brush) const {
    const std::vector<ui::TColor> settled = SettledValues(*this, paint, canvas_brush);
    auto value = [&](MarkupValueRef ref) { return settled[static_cast<std::size_t>(ref)]; };
    auto given = [](MarkupValueRef ref) { return ref != MarkupValueRef::None; };
    std::vector<MarkupOp> painted;
    painted.reserve(ops.size());
    for (const MarkupOp& op : ops) {
        if (given(op.shown_value) && value(op.shown_value) == 0) continue;
        MarkupOp& p = painted.emplace_back(op);
        if (given(op.color_value)) p.font.color = value(op.color_value);
        if (given(op.background_value)) p.background = value(op.background_value);
        if (given(op.underline_value)) {
            if (value(op.underline_value) != 0)
                p.font.style.Include(ui::TFontStyle::fsUnderline);
            else
                p.font.style.Exclude(ui::TFontStyle::fsUnderline);
        }
    }
    return painted;
}

void MarkupLayout::Paint(ui::TCanvas& canvas, const MarkupPaintInputs& options) const {
    ui::TCanvasToolsGuard saved(canvas);
    const MarkupHit under_point = HitTest(options.point);
    const int image_under_point = under_point.image_under_point;
    for (const MarkupOp& op : PaintedOps(options, canvas.Brush().Color())) {
        switch (op.kind) {
        case MarkupOpKind::Fill:
            canvas.Brush().SetColor(op.color);
            canvas.FillRect(op.rect);
            break;
        case MarkupOpKind::Gradient:
            GradientFill(canvas, op.color, op.color_to, op.horizontal, op.rect, 64, ui::clNone);
            break;
        case MarkupOpKind::Text:
            DrawText(canvas, op, options);
            break;
        case MarkupOpKind::Picture: {
            if (op.image_number == image_under_point && !op.alt_source.empty()) {
                const MarkupPicture alt = ResolveMarkupPicture(op.alt_source, sources);
                if (alt.kind != MarkupPictureKind::None) {
                    DrawPictureAt(canvas, alt, op.rect, op.stretch, sources, options);
                    break;
                }
            }
            DrawPictureAt(canvas, op.picture, op.rect, op.stretch, sources, options);
            break;
        }
        case MarkupOpKind::TiledPicture:
            DrawTiled(canvas, op);
            break;
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
        case MarkupOpKind::FocusRect:
            canvas.DrawFocusRect(op.rect);
            break;
        }
    }
}

}  // namespace panel
