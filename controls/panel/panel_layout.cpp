#include "controls/panel/panel_layout.h"

#include "controls/panel/fine_panel.h"
#include "controls/panel/markup_renderer.h"

namespace panel {

namespace {

using ui::TRect;

bool AnyBevel(const TCustomFinePanel& panel) {
    return panel.BevelOuter() != ui::TBevelCut::bvNone || panel.BevelInner() != ui::TBevelCut::bvNone;
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
    if (on_top) {
        (far_end ? area.Right : area.Left) += far_end ? -size : size;
    } else {
        (far_end ? area.Top : area.Bottom) += far_end ? size : -size;
    }
    return place;
}

}  // namespace

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

    TRect ct = area;
    const int buttons = (caption.CloseButton() ? 1 : 0) + (caption.MinMaxButton() ? 1 : 0);
    const bool far_end = caption.ButtonPosition() == TCaptionButtonPosition::cbpRight;
    if (on_top) {
        (far_end ? ct.Right : ct.Left) += (far_end ? -20 : 20) * buttons;
        ct.Bottom = ct.Top + caption.Height();
        ct.Left += caption.Indent();
        ct.Top += caption.TopIndent();
    } else {
        (far_end ? ct.Top : ct.Bottom) += (far_end ? 20 : -20) * buttons;
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
