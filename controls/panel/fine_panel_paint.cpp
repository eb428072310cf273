// How a panel draws itself: body background, border, bevels, picture and text, the caption
// bar with its shade, shape and buttons, the status bar and the size grip, in that order.
#include <algorithm>
#include <chrono>
#include <memory>
#include <random>

#include "controls/markup/markup_renderer.h"
#include "controls/panel/caption_shade.h"
#include "controls/panel/fine_panel.h"
#include "controls/panel/gradients.h"
#include "platform/theme/visual_styles.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/graphics/frames.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/graphics/rotated_text.h"

namespace panel {

using ui::TColor;
using ui::TRect;

namespace {

// Window parts of the visual style, all drawn in state 1.
constexpr int kWindowCaptionPart = 1;
constexpr int kWindowMinButtonPart = 15;
constexpr int kWindowMaxButtonPart = 17;
constexpr int kWindowCloseButtonPart = 18;
constexpr int kWindowPartState = 1;
// Corners of the rounded caption shapes.
constexpr int kCaptionCorner = 32;

// The caption text on the left runs upwards: a font turned by -270 degrees.
constexpr int kLeftCaptionEscapement = -2700;
constexpr int kLeftCaptionOrientation = 30;

void DrawThemePart(ui::TCanvas& canvas, int part, const TRect& rect) {
    std::unique_ptr<theme::ThemeData> data = theme::CurrentVisualStyles().OpenThemeData("window");
    if (data) data->DrawThemeBackground(canvas, part, kWindowPartState, rect);
}

void Line(ui::TCanvas& canvas, int x0, int y0, int x1, int y1) {
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x1, y1);
}

// A glyph drawn with its automatic transparent colour left out.
void DrawGlyph(ui::TCanvas& canvas, const ui::TBitmap& glyph, int x, int y) {
    if (glyph.Empty()) return;
    const TColor key = glyph.TransparentColor();
    canvas.CopyImage(ui::Bounds(x, y, glyph.Width(), glyph.Height()), glyph.Image(),
                     TRect{0, 0, glyph.Width(), glyph.Height()}, &key);
}

// Part `source` of `bitmap` stretched into `dest`.
void StretchPart(ui::TCanvas& canvas, const ui::TBitmap& bitmap, const TRect& dest, const TRect& source) {
    if (dest.IsEmpty() || source.IsEmpty()) return;
    canvas.CopyImage(dest, bitmap.Image(), source);
}

void FillSolid(ui::TCanvas& canvas, const TRect& r, TColor color) {
    canvas.Brush().SetStyle(ui::TBrushStyle::bsSolid);
    canvas.Brush().SetColor(ui::ColorToRGB(color));
    canvas.FillRect(r);
}

}  // namespace

void TCustomFinePanel::RenderCaptionShade() {
    const bool on_left = caption_->Position() == TCaptionPosition::cpLeft;
    CaptionShadeSpec spec;
    spec.type = caption_->ShadeType();
    spec.color = caption_->Color();
    spec.light = caption_->ShadeLight();
    spec.grain = caption_->ShadeGrain();
    spec.caption_on_left = on_left;
    // A new sequence each time: two renders of a noisy shade differ.
    std::mt19937 random(
        static_cast<std::mt19937::result_type>(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    RenderShade(shade_, on_left ? caption_->Height() : Width(), on_left ? Height() : caption_->Height(), spec, random);
    Invalidate();
}

MarkupLayoutInputs TCustomFinePanel::MarkupInputs(const std::string& text, const TRect& rect, bool word_wrap) {
    MarkupLayoutInputs inputs;
    inputs.text = text;
    inputs.rect = rect;
    inputs.pictures.images = images_;
    inputs.pictures.container = picture_container_;
    inputs.pictures.cache = &picture_cache_;
    inputs.line_spacing = line_spacing_;
    inputs.word_wrap = word_wrap;
    return inputs;
}

MarkupPaintInputs TCustomFinePanel::MarkupPaint(int hover_anchor) const {
    MarkupPaintInputs paint;
    paint.shadow_color = shadow_color_;
    paint.hover_font_color = hover_font_color_;
    paint.hover_color = hover_color_;
    paint.url_color = url_color_;
    paint.hover_style = hover_;
    paint.shadow_offset = shadow_offset_;
    paint.hover_anchor = hover_anchor;
    return paint;
}

void TCustomFinePanel::Paint() {
    ui::TCustomPanel::Paint();
    ui::TCanvas& canvas = Canvas();
    if (!buffered_) {
        PaintPanel(canvas);
        return;
    }
    // Everything goes into a picture of the client size first and reaches the screen in one copy.
    // Each paint covers the whole picture, so it is made anew only when the size changes.
    if (buffer_.Width() != Width() || buffer_.Height() != Height()) buffer_.SetSize(Width(), Height());
    buffer_.Canvas().SetFont(canvas.Font());
    PaintPanel(buffer_.Canvas());
    canvas.CopyRect(ClientRect(), buffer_.Canvas(), ClientRect());
}

void TCustomFinePanel::PaintPanel(ui::TCanvas& canvas) {
    ui::TCanvasToolsGuard tools(canvas);
    const PanelLayout& layout = Layout();
    PaintBody(canvas, layout);
    if (caption_->Visible()) {
        PaintCaption(canvas, layout);
        PaintCaptionButtons(canvas, layout);
        // The caption text.
        canvas.SetFont(caption_->Font());
        if (caption_->Position() == TCaptionPosition::cpTop) {
            caption_markup_.ForPainting(canvas, MarkupInputs(caption_->Text(), layout.caption_text, false))
                .Paint(canvas, MarkupPaint(caption_anchor_));
        } else {
            const ui::TLogFont font = ui::LogFontOf(caption_->Font(), kLeftCaptionEscapement, kLeftCaptionOrientation);
            ui::RotatedTextOut(canvas, font, layout.caption_text.Left, layout.caption_text.Bottom, layout.caption_text,
                               MarkupToPlainText(caption_->Text()), caption_->Font().Color());
        }
    }
    if (status_bar_->Visible()) PaintStatusBar(canvas, layout);
    if (layout.show_grip) PaintSizeGrip(canvas, layout);
    // The handler draws on the canvas painted on, so what it adds shows buffered or not.
    if (OnPaint) OnPaint(this, canvas, ClientRect());
}

void TCustomFinePanel::PaintBody(ui::TCanvas& canvas, const PanelLayout& layout) {
    const TRect client = layout.client;
    const bool horizontal = gradient_direction_ == TGradientDirection::gdHorizontal;
    if (color_to_ == ui::clNone) {
        FillSolid(canvas, client, Color());
    } else if (color_mirror_ == ui::clNone) {
        DrawGradient(canvas, Color(), color_to_, horizontal, client, 64);
    } else {
        DrawMirrorGradient(canvas, client, Color(), color_to_, color_mirror_, color_mirror_to_, horizontal, ui::clNone);
    }

    if (border_color_ != ui::clNone && BorderWidth() != 0) {
        TRect r = client;
        if (border_shadow_) {
            r.Right -= 2;
            r.Bottom -= 2;
        }
        canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetColor(ui::ColorToRGB(border_color_));
        canvas.Rectangle(r);
        if (border_shadow_) {
            // Two lines just outside the border's right and bottom edges, each fading further
            // into the button face, starting one pixel further along than the one inside it.
            canvas.Pen().SetColor(MixColors(border_color_, ui::clBtnFace, 50));
            Line(canvas, r.Right, r.Top + 1, r.Right, r.Bottom + 1);
            Line(canvas, r.Left + 1, r.Bottom, r.Right + 1, r.Bottom);
            canvas.Pen().SetColor(MixColors(border_color_, ui::clBtnFace, 20));
            Line(canvas, r.Right + 1, r.Top + 2, r.Right + 1, r.Bottom + 2);
            Line(canvas, r.Left + 2, r.Bottom + 1, r.Right + 2, r.Bottom + 1);
        }
    }

    TRect frame = client;
    if (BevelOuter() != ui::TBevelCut::bvNone) {
        const ui::TBevelColors c = ui::BevelColors(BevelOuter());
        ui::Frame3D(canvas, frame, ui::ColorToRGB(c.top_left), ui::ColorToRGB(c.bottom_right), BevelWidth());
        if (border_color_ == ui::clNone)
            ui::Frame3D(canvas, frame, ui::ColorToRGB(Color()), ui::ColorToRGB(Color()), 1);
    }
    if (BevelInner() != ui::TBevelCut::bvNone) {
        const ui::TBevelColors c = ui::BevelColors(BevelInner());
        ui::Frame3D(canvas, frame, ui::ColorToRGB(c.top_left), ui::ColorToRGB(c.bottom_right), BevelWidth());
    }

    ui::TClipScope clip(canvas, ui::TRegion::Rect(layout.body));
    const TRect body = layout.body;
    if (!background_->Empty()) {
        const ui::TPoint at = layout.picture_at;
        if (background_position_ == TBackGroundPosition::bpStretched) {
            canvas.StretchDraw(body, *background_);
        } else if (background_position_ == TBackGroundPosition::bpTiled) {
            const int pw = background_->Width();
            const int ph = background_->Height();
            if (pw > 0 && ph > 0) {
                for (int y = at.Y; y < Height(); y += ph) {
                    for (int x = at.X; x < Width(); x += pw) canvas.Draw(x, y, *background_);
                }
            }
        } else {
            canvas.Draw(at.X, at.Y, *background_);
        }
    }
    canvas.SetFont(Font());
    body_markup_.ForPainting(canvas, MarkupInputs(text_, layout.text, !ellipsis_))
        .Paint(canvas, MarkupPaint(body_anchor_));
}

void TCustomFinePanel::PaintCaption(ui::TCanvas& canvas, const PanelLayout& layout) {
    const TColor bar_color = ui::ColorToRGB(collaps_ ? caption_->CloseColor() : caption_->Color());
    canvas.Brush().SetStyle(ui::TBrushStyle::bsSolid);
    canvas.Brush().SetColor(bar_color);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetColor(bar_color);
    const TShadeType type = caption_->ShadeType();
    if (type != TShadeType::stNormal && (type != TShadeType::stXPCaption || Themed())) {
        PaintCaptionBar(canvas, layout.caption_bar);
        return;
    }
    TRect r = layout.caption_bar;
    if (caption_->Position() == TCaptionPosition::cpLeft && border_shadow_) r.Bottom -= 3;
    if (caption_->ColorTo() == ui::clNone) {
        canvas.Rectangle(r);
    } else {
        DrawGradient(canvas, caption_->Color(), caption_->ColorTo(),
                     caption_->GradientDirection() == TGradientDirection::gdHorizontal, r, 64);
    }
}

void TCustomFinePanel::PaintCaptionBar(ui::TCanvas& canvas, TRect rect) {
    const TShadeType type = caption_->ShadeType();
    if (type == TShadeType::stXPCaption) {
        if (Themed()) DrawThemePart(canvas, kWindowCaptionPart, ui::InflateRect(rect, 1));
        return;
    }
    const bool on_top = caption_->Position() == TCaptionPosition::cpTop;
    if (type == TShadeType::stBitmap || type == TShadeType::stBitmapRStretch || type == TShadeType::stBitmapLStretch) {
        const ui::TBitmap& picture = caption_->Background();
        if (picture.Empty()) return;
        const int pw = picture.Width();
        const int ph = picture.Height();
        if (type == TShadeType::stBitmap) {
            canvas.StretchDraw(rect, picture);
        } else if (type == TShadeType::stBitmapLStretch) {
            if (on_top) {
                const int x = std::max(0, Width() - pw);
                canvas.Draw(x, rect.Top, picture);
                StretchPart(canvas, picture, TRect{rect.Left, rect.Top, x, rect.Top + ph},
                            TRect{0, 0, std::min(2, pw), ph});
            } else {
                canvas.Draw(rect.Left, rect.Top, picture);
                StretchPart(canvas, picture, TRect{rect.Left, rect.Top + ph, rect.Left + pw, rect.Bottom},
                            TRect{0, std::max(0, ph - 3), pw, ph});
            }
        } else {
            if (on_top) {
                canvas.Draw(rect.Left, rect.Top, picture);
                StretchPart(canvas, picture, TRect{rect.Left + pw, rect.Top, rect.Right, rect.Top + ph},
                            TRect{std::max(0, pw - 3), 0, pw, ph});
            } else {
                canvas.Draw(rect.Left, rect.Bottom - ph, picture);
                StretchPart(canvas, picture, TRect{rect.Left, rect.Top, rect.Left + pw, rect.Bottom - ph},
                            TRect{0, 0, pw, std::min(3, ph)});
            }
        }
        return;
    }

    // The shades: a shaped frame, then the pre-rendered shade clipped to the inside.
    const ui::TRegion client_region = ui::TRegion::Rect(ClientRect());
    ui::TRegion clip_region;
    auto outline_halves = [&](const TRect& r) {
        const int half = r.Height() / 2;
        canvas.Pen().SetColor(ui::clGray);
        {
            ui::TClipScope lower(canvas, ui::TRegion::RoundRect(TRect{r.Left, r.Top + half, r.Right, r.Bottom},
                                                                kCaptionCorner, kCaptionCorner));
            ui::RoundRect(canvas, r, kCaptionCorner, kCaptionCorner);
        }
        canvas.Pen().SetColor(ui::clWhite);
        {
            ui::TClipScope upper(canvas, ui::TRegion::RoundRect(TRect{r.Left, r.Top, r.Right, r.Bottom - half},
                                                                kCaptionCorner, kCaptionCorner));
            ui::RoundRect(canvas, r, kCaptionCorner, kCaptionCorner);
        }
    };
    switch (caption_->Shape()) {
    case TCaptionShape::csRectangle:
        if (!caption_->Flat()) {
            canvas.Pen().SetColor(ui::clGray);
            Line(canvas, rect.Left, rect.Bottom - 1, rect.Right - 1, rect.Bottom - 1);
            Line(canvas, rect.Right - 1, rect.Top, rect.Right - 1, rect.Bottom);
            canvas.Pen().SetColor(ui::clWhite);
            Line(canvas, rect.Left, rect.Top, rect.Right - 1, rect.Top);
            Line(canvas, rect.Left, rect.Top, rect.Left, rect.Bottom - 1);
            rect = ui::InflateRect(rect, -1);
        }
        clip_region = ui::TRegion::Rect(rect);
        break;
    case TCaptionShape::csRounded:
        outline_halves(rect);
        {
            ui::TClipScope in_client(canvas, client_region);
            canvas.Pen().SetColor(ui::clGray);
            Line(canvas, rect.Left + 16, rect.Bottom - 1, rect.Right - 16, rect.Bottom - 1);
        }
        rect.Top += 1;
        clip_region = ui::TRegion::RoundRect(rect, kCaptionCorner, kCaptionCorner);
        break;
    case TCaptionShape::csSemiRounded:
        outline_halves(rect);
        {
            ui::TClipScope in_client(canvas, client_region);
            canvas.Pen().SetColor(ui::clWhite);
            canvas.MoveTo(rect.Left + rect.Width() / 2, rect.Top);
            canvas.LineTo(rect.Left, rect.Top);
            canvas.LineTo(rect.Left, rect.Bottom - 1);
            canvas.Pen().SetColor(ui::clGray);
            canvas.LineTo(rect.Right - 16, rect.Bottom - 1);
        }
        rect.Left += 1;
        rect.Top += 1;
        clip_region =
            ui::TRegion::RoundRect(rect, kCaptionCorner, kCaptionCorner)
                .Union(ui::TRegion::Rect(TRect{rect.Left, rect.Top, rect.Right - rect.Width() / 2, rect.Bottom - 1}));
        break;
    }
    ui::TClipScope clip(canvas, clip_region);
    canvas.Draw(rect.Left, rect.Top, shade_);
}

void TCustomFinePanel::PaintCaptionButtons(ui::TCanvas& canvas, const PanelLayout& layout) {
    const bool on_top = caption_->Position() == TCaptionPosition::cpTop;
    const CaptionButtonPlace& close = layout.close_button;
    switch (close.kind) {
    case CaptionButtonKind::Themed:
        DrawThemePart(canvas, kWindowCloseButtonPart, close.rect);
        break;
    case CaptionButtonKind::Glyph:
        DrawGlyph(canvas, collaps_ ? caption_->CloseMinGlyph() : caption_->CloseMaxGlyph(), close.rect.Left,
                  close.rect.Top);
        break;
    case CaptionButtonKind::Drawn: {
        const TColor hover = caption_->CloseButtonHoverColor();
        canvas.Pen().SetColor(ui::ColorToRGB(close_hot_ && hover != ui::clNone ? hover : caption_->CloseButtonColor()));
        canvas.Pen().SetWidth(2);
        const TRect& s = close.rect;
        Line(canvas, s.Left, s.Top, s.Right, s.Bottom);
        Line(canvas, s.Right, s.Top, s.Left, s.Bottom);
        canvas.Pen().SetWidth(1);
        break;
    }
    case CaptionButtonKind::None:
        break;
    }
    const CaptionButtonPlace& mm = layout.min_max_button;
    switch (mm.kind) {
    case CaptionButtonKind::Themed:
        DrawThemePart(canvas, collaps_ ? kWindowMaxButtonPart : kWindowMinButtonPart, mm.rect);
        break;
    case CaptionButtonKind::Glyph:
        DrawGlyph(canvas, collaps_ ? caption_->MaxGlyph() : caption_->MinGlyph(), mm.rect.Left, mm.rect.Top);
        break;
    case CaptionButtonKind::Drawn: {
        const TColor hover = caption_->MinMaxButtonHoverColor();
        const TColor c = ui::ColorToRGB(min_max_hot_ && hover != ui::clNone ? hover : caption_->MinMaxButtonColor());
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetColor(c);
        canvas.Brush().SetStyle(ui::TBrushStyle::bsSolid);
        canvas.Brush().SetColor(c);
        const TRect& s = mm.rect;  // 6 x 6
        std::vector<ui::TPoint> triangle;
        if (on_top) {
            // Collapsed: "expand", pointing down; expanded: "collapse", pointing up.
            triangle =
                collaps_ ? std::vector<ui::TPoint>{{s.Left, s.Top + 1}, {s.Right, s.Top + 1}, {s.Left + 3, s.Top + 4}}
                         : std::vector<ui::TPoint>{{s.Left, s.Top + 4}, {s.Right, s.Top + 4}, {s.Left + 3, s.Top + 1}};
        } else {
            // Collapsed: pointing right; expanded: pointing left.
            triangle =
                collaps_
                    ? std::vector<ui::TPoint>{{s.Left + 1, s.Top}, {s.Left + 1, s.Bottom}, {s.Left + 4, s.Top + 3}}
                    : std::vector<ui::TPoint>{{s.Left + 4, s.Top}, {s.Left + 4, s.Bottom}, {s.Left + 1, s.Top + 3}};
        }
        canvas.Polygon(triangle);
        break;
    }
    case CaptionButtonKind::None:
        break;
    }
}

void TCustomFinePanel::PaintStatusBar(ui::TCanvas& canvas, const PanelLayout& layout) {
    const TPanelStatusBar& bar = *status_bar_;
    const bool on_top = caption_->Position() == TCaptionPosition::cpTop;
    TRect r = layout.status_bar;
    if (bar.Color() != ui::clNone && bar.ColorTo() != ui::clNone) {
        DrawGradient(canvas, ui::ColorToRGB(bar.Color()), ui::ColorToRGB(bar.ColorTo()),
                     bar.GradientDirection() == TGradientDirection::gdHorizontal, r, 40);
    } else if (bar.Color() != ui::clNone) {
        FillSolid(canvas, r, bar.Color());
    }
    if (layout.show_status_image && images_ != nullptr)
        images_->Draw(canvas, layout.status_image_at.X, layout.status_image_at.Y, bar.ImageIndex());
    canvas.SetFont(bar.Font());
    const TRect text = layout.status_text;
    if (on_top) {
        status_markup_.ForPainting(canvas, MarkupInputs(bar.Text(), text, false))
            .Paint(canvas, MarkupPaint(caption_anchor_));
    } else {
        const ui::TLogFont font = ui::LogFontOf(bar.Font(), kLeftCaptionEscapement, kLeftCaptionOrientation);
        ui::RotatedTextOut(canvas, font, layout.status_text_at.X, layout.status_text_at.Y, text,
                           MarkupToPlainText(bar.Text()), bar.Font().Color());
    }
    if (bar.BorderStyle() != ui::TBorderStyle::bsNone && bar.BorderColor() != ui::clNone) {
        canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetColor(ui::ColorToRGB(bar.BorderColor()));
        canvas.Rectangle(on_top ? TRect{0, r.Top, Width(), r.Bottom} : TRect{r.Left, 0, r.Right, Height()});
    }
    if (bar.BevelInner()) {
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetColor(ui::clGray);
        Line(canvas, r.Left, r.Bottom - 1, r.Left, r.Top);
        canvas.LineTo(r.Right, r.Top);
        canvas.Pen().SetColor(ui::clWhite);
        Line(canvas, r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
        canvas.LineTo(r.Right - 1, r.Top);
    }
}

void TCustomFinePanel::PaintSizeGrip(ui::TCanvas& canvas, const PanelLayout& layout) {
    const int right = layout.grip_corner.X;
    const int bottom = layout.grip_corner.Y;
    canvas.Pen().SetColor(ui::clGray);
    canvas.Pen().SetWidth(2);
    // The middle grey line reaches one pixel further left than it rises.
    const struct { int rise, run; } grey_lines[] = {{11, 11}, {6, 7}, {3, 3}};
    for (const auto& g : grey_lines) Line(canvas, right, bottom - g.rise, right - g.run, bottom);
    canvas.Pen().SetColor(ui::clWhite);
    canvas.Pen().SetWidth(1);
    for (int d : {12, 8, 4}) Line(canvas, right, bottom - d, right - d, bottom);
}

}  // namespace panel
