#include "controls/panel/panel_layout.h"

#include <algorithm>

#include "controls/markup/markup_renderer.h"
#include "controls/panel/fine_panel.h"
#include "controls/pictures/picture_container.h"
#include "platform/ui/controls/imagelist.h"

namespace panel {

namespace {

using ui::TRect;

bool AnyBevel(const TCustomFinePanel& panel) {
    return panel.BevelOuter() != ui::TBevelCut::bvNone || panel.BevelInner() != ui::TBevelCut::bvNone;
}

// `r` less `room` pixels at the caption's button end: its right or left end on top, its top or
// bottom end on the left. The drawn buttons, the caption text and the mouse's button places all
// give up their room this way.
TRect LessButtonRoom(const TPanelCaption& caption, TRect r, int room) {
    const bool far_end = caption.ButtonPosition() == TCaptionButtonPosition::cbpRight;  // right, or the top on the left
    if (caption.Position() == TCaptionPosition::cpTop) {
        (far_end ? r.Right : r.Left) += far_end ? -room : room;
    } else {
        (far_end ? r.Top : r.Bottom) += far_end ? room : -room;
    }
    return r;
}

// A caption button's size along the caption and its place, at the free edge of `area`, which
// then gives up that size.
struct ButtonForm {
    CaptionButtonKind kind = CaptionButtonKind::Drawn;
    int width = 12;
    int height = 12;
};

ButtonForm FormOf(const TCustomFinePanel& panel, const ui::TBitmap& glyph_a, const ui::TBitmap& glyph_b,
                  const ui::TBitmap& shown) {
    const TPanelCaption& c = panel.Caption();
    if (panel.Themed() && c.ShadeType() == TShadeType::stXPCaption)
        return ButtonForm{CaptionButtonKind::Themed, 14, 14};
    if (!glyph_a.Empty() && !glyph_b.Empty())
        return ButtonForm{CaptionButtonKind::Glyph, shown.Width(), shown.Height()};
    return ButtonForm{};
}

// Where a caption button is drawn; the mouse finds it in a square of its own (ClickSquare).
CaptionButtonPlace PlaceButton(const TCustomFinePanel& panel, const ButtonForm& form, TRect& area) {
    const TPanelCaption& c = panel.Caption();
    const bool on_top = c.Position() == TCaptionPosition::cpTop;
    const bool far_end = c.ButtonPosition() == TCaptionButtonPosition::cbpRight;  // right, or the top on the left
    CaptionButtonPlace place;
    place.kind = form.kind;
    int size = 12;
    switch (form.kind) {
    case CaptionButtonKind::Themed:
        size = 14;
        if (on_top) {
            place.rect = ui::Bounds(far_end ? area.Right - 16 : area.Left + 2, area.Top + 4, 14, 14);
        } else {
            place.rect = ui::Bounds(area.Left + 4, far_end ? area.Top + 2 : area.Bottom - 16, 14, 14);
        }
        break;
    case CaptionButtonKind::Glyph:
        if (on_top) {
            size = form.width;
            place.rect =
                ui::Bounds(far_end ? area.Right - form.width : area.Left, area.Top + 2, form.width, form.height);
        } else {
            size = form.height;
            place.rect =
                ui::Bounds(area.Left + 2, far_end ? area.Top : area.Bottom - form.height, form.width, form.height);
        }
        break;
    case CaptionButtonKind::Drawn:
    case CaptionButtonKind::None:
        // The drawing spans 6 x 6 pixels, 4 pixels in from the caption's corner.
        if (on_top) {
            place.rect = far_end ? TRect{area.Right - 10, area.Top + 4, area.Right - 4, area.Top + 10}
                                 : TRect{area.Left + 4, area.Top + 4, area.Left + 10, area.Top + 10};
        } else {
            place.rect = far_end ? TRect{area.Left + 4, area.Top + 4, area.Left + 10, area.Top + 10}
                                 : TRect{area.Left + 4, area.Bottom - 10, area.Left + 10, area.Bottom - 4};
        }
        break;
    }
    area = LessButtonRoom(c, area, size);
    return place;
}

// The side of a caption button as the mouse finds it: 12 pixels; the close glyphs' width when
// both are set; then the max glyph's width when both min/max glyphs are set (the min glyph's for
// the strip that moves the panel, as the non-client hit test measures it); 16 when themed.
int ClickButtonSize(const TCustomFinePanel& panel, bool for_move_strip) {
    const TPanelCaption& caption = panel.Caption();
    int e = 12;
    if (!caption.CloseMinGlyph().Empty() && !caption.CloseMaxGlyph().Empty()) e = caption.CloseMinGlyph().Width();
    if (!caption.MaxGlyph().Empty() && !caption.MinGlyph().Empty())
        e = for_move_strip ? caption.MinGlyph().Width() : caption.MaxGlyph().Width();
    if (caption.ShadeType() == TShadeType::stXPCaption && panel.Themed()) e = 16;
    return e;
}

// A button of side e as the mouse finds it in `r`: its corner is 2 pixels in from the caption's
// edges at the button end.
TRect ClickSquare(const TPanelCaption& caption, const TRect& r, int e) {
    const bool left_buttons = caption.ButtonPosition() == TCaptionButtonPosition::cbpLeft;
    if (caption.Position() == TCaptionPosition::cpLeft) {
        if (left_buttons) return TRect{r.Left + 2, r.Bottom - e - 2, r.Left + e + 2, r.Bottom - 2};
        return TRect{r.Left + 2, r.Top + 2, r.Left + e + 2, r.Top + e + 2};
    }
    if (left_buttons) return TRect{r.Left + 2, r.Top + 2, r.Left + e + 2, r.Top + e + 2};
    return TRect{r.Right - e - 2, r.Top + 2, r.Right - 2, r.Top + e + 2};
}

// The caption's places as the mouse finds them, all counted from the client rectangle.
void PlaceClickAreas(const TCustomFinePanel& panel, PanelLayout& layout) {
    const TPanelCaption& caption = panel.Caption();
    const TRect client = layout.client;
    const int e = ClickButtonSize(panel, false);
    const TRect past_close = LessButtonRoom(caption, client, caption.CloseButton() ? e : 0);
    layout.close_button_click = ClickSquare(caption, client, e);
    layout.min_max_button_click = ClickSquare(caption, past_close, e);
    const int h = caption.Height();
    layout.caption_click = caption.Position() == TCaptionPosition::cpTop
                               ? TRect{past_close.Left, past_close.Top, past_close.Right - 2, past_close.Top + h}
                               : TRect{past_close.Left, past_close.Top, past_close.Left + h, past_close.Bottom};
    const int buttons = (caption.CloseButton() ? 1 : 0) + (caption.MinMaxButton() ? 1 : 0);
    layout.caption_move_strip = LessButtonRoom(caption, client, ClickButtonSize(panel, true) * buttons);
}

// Where the background picture's one copy, or its first tile, goes in the body.
ui::TPoint PicturePlace(const TCustomFinePanel& panel, const TRect& body) {
    const TFineImage& picture = panel.Background();
    const int bw = panel.BevelWidth();
    const int right_x = std::max(body.Left, body.Right - body.Left - picture.Width() - bw);
    const int bottom_y = std::max(body.Top, panel.Height() - picture.Height() - bw);
    switch (panel.BackgroundPosition()) {
    case TBackGroundPosition::bpTopRight:
        return ui::TPoint{right_x, body.Top};
    case TBackGroundPosition::bpBottomLeft:
        return ui::TPoint{body.Left, bottom_y};
    case TBackGroundPosition::bpBottomRight:
        return ui::TPoint{right_x, bottom_y};
    case TBackGroundPosition::bpCenter:
        return ui::TPoint{right_x / 2, bottom_y / 2};
    case TBackGroundPosition::bpTopLeft:
    case TBackGroundPosition::bpTiled:
    case TBackGroundPosition::bpStretched:
        break;
    }
    return ui::TPoint{body.Left, body.Top};
}

// The status bar's image and text within its rectangle `r`: on top the image sits at the left
// and the text follows it; on the left the image sits at the bottom (above the size grip when
// the panel can be sized) and the rotated text ends above it.
void PlaceStatusBarParts(TCustomFinePanel& panel, PanelLayout& layout) {
    const TPanelStatusBar& bar = panel.StatusBar();
    const ui::TImageList* images = panel.Images();
    const bool on_top = panel.Caption().Position() == TCaptionPosition::cpTop;
    const bool sizable = !panel.Collaps() && panel.CanSize();
    const TRect r = layout.status_bar;
    TRect text = r;
    layout.show_status_image = bar.ImageIndex() >= 0 && images != nullptr;
    if (layout.show_status_image) {
        if (on_top) {
            layout.status_image_at = ui::TPoint{r.Left + 1, r.Top + 2};
            text.Left += images->Width() + 2;
        } else {
            const int y = sizable ? r.Bottom - images->Height() - 12 : r.Bottom - images->Height() - 1;
            layout.status_image_at = ui::TPoint{r.Left + 2, y};
            text.Bottom = y;
        }
    }
    if (on_top) {
        text.Left += 2;
    } else {
        layout.status_text_at = ui::TPoint{text.Left + 2, sizable ? text.Bottom - 16 : text.Bottom - 2};
    }
    layout.status_text = text;
}

}  // namespace

PanelLayoutOutside OutsideInputs(const TCustomFinePanel& panel) {
    PanelLayoutOutside outside;
    outside.themed = panel.Themed();
    if (const ui::TImageList* images = panel.Images()) {
        outside.image_width = images->Width();
        outside.image_height = images->Height();
        outside.image_count = images->Count();
    }
    if (const TPictureContainer* container = panel.PictureContainer())
        outside.picture_changes = container->Items().Changes();
    return outside;
}

TRect BodyTextArea(TCustomFinePanel& panel, const TRect& body) {
    TRect r = ui::InflateRect(body, -(panel.BorderWidth() + 1));
    r.Left += panel.Indent();
    r.Top += panel.TopIndent();
    if (panel.StatusBar().Visible()) {
        if (panel.Caption().Position() == TCaptionPosition::cpLeft) {
            r.Right -= panel.StatusBar().Height();
        } else {
            r.Bottom -= panel.StatusBar().Height();
        }
    }
    return r;
}

PanelLayout ComputePanelLayout(TCustomFinePanel& panel, ui::TCanvas& measure) {
    PanelLayout layout;
    layout.outside = OutsideInputs(panel);
    const TPanelCaption& caption = panel.Caption();
    const bool on_top = caption.Position() == TCaptionPosition::cpTop;
    const int bw = panel.BevelWidth();
    const bool bevel = AnyBevel(panel);
    const TRect client = panel.ClientRect();
    layout.client = client;

    TRect body = client;
    if (caption.Visible()) {
        if (on_top) {
            body.Top += caption.Height() - 2 * bw;
        } else {
            body.Left += caption.Height() - 2 * bw + 2;
        }
    }
    if (panel.BorderShadow()) {
        body.Right -= 2;
        body.Bottom -= 3;
    }
    layout.body = body;
    layout.picture_at = PicturePlace(panel, body);

    TRect text = BodyTextArea(panel, body);
    if (panel.TextVAlign() != TTextVAlignment::tvaTop) {
        ui::TCanvasToolsGuard guard(measure);
        measure.SetFont(panel.Font());
        MarkupLayoutInputs inputs;
        inputs.text = panel.Text();
        inputs.rect = text;
        inputs.word_wrap = !panel.Ellipsis();
        inputs.line_spacing = panel.LineSpacing();
        inputs.pictures.images = panel.Images();
        inputs.pictures.container = panel.PictureContainer();
        inputs.pictures.cache = &panel.PictureCache();
        const MarkupLayout result = LayoutMarkup(measure, inputs);
        if (result.height < text.Height()) {
            if (panel.TextVAlign() == TTextVAlignment::tvaCenter) {
                text.Top += (text.Height() - result.height) / 2;
            } else {
                text.Top = text.Bottom - result.height;
            }
        }
    }
    layout.text = text;

    TRect area = client;
    if (panel.BorderShadow()) {
        area.Left = panel.BorderWidth();
        area.Top = panel.BorderWidth();
        area.Right -= panel.BorderWidth() + 2;
    }
    if (bevel) area = ui::InflateRect(area, -bw);
    layout.caption_area = area;
    layout.caption_bar = on_top ? TRect{area.Left, area.Top, area.Right, area.Top + caption.Height() - 2 * bw}
                                : TRect{area.Left, area.Top, area.Left + caption.Height() - 2 * bw, area.Bottom};

    TRect free_area = area;
    if (caption.CloseButton()) {
        const ui::TBitmap& shown = panel.Collaps() ? caption.CloseMinGlyph() : caption.CloseMaxGlyph();
        layout.close_button =
            PlaceButton(panel, FormOf(panel, caption.CloseMinGlyph(), caption.CloseMaxGlyph(), shown), free_area);
    }
    if (caption.MinMaxButton()) {
        const ui::TBitmap& shown = panel.Collaps() ? caption.MaxGlyph() : caption.MinGlyph();
        layout.min_max_button =
            PlaceButton(panel, FormOf(panel, caption.MinGlyph(), caption.MaxGlyph(), shown), free_area);
    }

    PlaceClickAreas(panel, layout);

    const int buttons = (caption.CloseButton() ? 1 : 0) + (caption.MinMaxButton() ? 1 : 0);
    TRect ct = LessButtonRoom(caption, area, 20 * buttons);
    if (on_top) {
        ct.Bottom = ct.Top + caption.Height();
        ct.Left += caption.Indent();
        ct.Top += caption.TopIndent();
    } else {
        ct.Right = ct.Left + caption.Height();
        ct.Bottom -= caption.Indent();
        ct.Left += caption.TopIndent();
    }
    layout.caption_text = caption.Visible() ? ct : TRect{};

    if (panel.StatusBar().Visible()) {
        const int sh = panel.StatusBar().Height();
        const int w = panel.Width();
        const int h = panel.Height();
        layout.status_bar = on_top ? TRect{1, h - sh - 1, w - 1, h - 1} : TRect{w - sh - 1, 1, w - 1, h - 1};
        PlaceStatusBarParts(panel, layout);
    }

    layout.show_grip = panel.SizeGrip() && !panel.Collaps() && panel.CanSize();
    TRect grip = bevel ? ui::InflateRect(client, -bw) : client;
    if (panel.BorderShadow()) {
        grip.Right -= 4;
        grip.Bottom -= 4;
    }
    layout.grip_corner = ui::TPoint{grip.Right, grip.Bottom};
    return layout;
}

}  // namespace panel
