#include "controls/cardlist/card_painting.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "controls/cardlist/card_fill_painting.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/core/sysutils.h"
#include "platform/ui/graphics/draw_text.h"
#include "platform/ui/graphics/frames.h"

namespace cardlist {

using ui::TDrawTextFlags;
using ui::TRect;

namespace {

TDrawTextFlags Horizontal(TAlignment a) {
    switch (a) {
    case TAlignment::taRightJustify:
        return TDrawTextFlags::dtRight;
    case TAlignment::taCenter:
        return TDrawTextFlags::dtCenter;
    default:
        return TDrawTextFlags::dtLeft;
    }
}

TDrawTextFlags Vertical(TTextLayout l) {
    switch (l) {
    case TTextLayout::tlCenter:
        return TDrawTextFlags::dtVCenter;
    case TTextLayout::tlBottom:
        return TDrawTextFlags::dtBottom;
    default:
        return TDrawTextFlags::dtTop;
    }
}

int AlignLeft(const TRect& r, int w, TAlignment a) {
    switch (a) {
    case TAlignment::taRightJustify:
        return r.Right - w;
    case TAlignment::taCenter:
        return r.Left + (r.Width() - w) / 2;
    default:
        return r.Left;
    }
}

int AlignTop(const TRect& r, int h, TTextLayout l) {
    switch (l) {
    case TTextLayout::tlCenter:
        return r.Top + (r.Height() - h) / 2;
    case TTextLayout::tlBottom:
        return r.Bottom - h;
    default:
        return r.Top;
    }
}

void Bevel(ui::TCanvas& canvas, TRect& r, TBevelCut cut, int width) {
    if (cut == TBevelCut::bvNone) return;
    const ui::TBevelColors colors = ui::BevelColors(cut);
    ui::Frame3D(canvas, r, colors.top_left, colors.bottom_right, width);
}

const TFineCardTemplateItem* TemplateItem(const TFineCardTemplate* t, int index) {
    if (t == nullptr || index < 0 || index >= t->Items().Count()) return nullptr;
    return t->Items().Items(index);
}

}  // namespace

void CardPainter::Paint(ui::TCanvas& canvas, const TRect& client, const std::vector<int>& view_cards,
                        const TRect& exposed) const {
    const TRect area = ui::IntersectRect(exposed, TRect{0, 0, canvas.Width(), canvas.Height()});
    if (area.IsEmpty()) return;
    if (area == TRect{0, 0, canvas.Width(), canvas.Height()}) {
        PaintArea(canvas, client, view_cards, area, 0, 0);
        return;
    }
    // A part of the control: composed in a bitmap of that part and copied once, so nothing
    // outside it is touched and the result equals the same area of a full paint.
    ui::TBitmap part;
    part.SetSize(area.Width(), area.Height());
    PaintArea(part.Canvas(), client, view_cards, area, -area.Left, -area.Top);
    canvas.CopyRect(area, part.Canvas(), TRect{0, 0, area.Width(), area.Height()});
}

void CardPainter::PaintArea(ui::TCanvas& canvas, const TRect& client, const std::vector<int>& view_cards,
                            const TRect& area, int dx, int dy) const {
    ui::TCanvasToolsGuard guard(canvas);
    if (s_.color != nullptr) PaintGradient(canvas, *s_.color, ui::OffsetRect(client, dx, dy));
    for (int index : view_cards) {
        if (index < 0 || index >= cards_.Count()) continue;
        if (ui::RectsOverlap(HoverRect(index), area)) DrawCard(canvas, index, dx, dy);
    }
    if (s_.show_grid_line && s_.grid_line_width > 0) {
        // Grid lines are filled bands centred on X, the way a wide pen centres its stroke.
        canvas.Brush().SetStyle(ui::TBrushStyle::bsSolid);
        canvas.Brush().SetColor(s_.grid_line_color);
        for (int i = 1; i <= s_.column_count; ++i) {
            const int x = i * s_.column_width + s_.scroll_offset;
            if (x < 0) continue;
            if (x > client.Right) break;
            const int left = x - s_.grid_line_width / 2;
            canvas.FillRect(
                ui::OffsetRect(TRect{left, s_.border_width, left + s_.grid_line_width, client.Bottom}, dx, dy));
        }
    }
    if (s_.border_width > 0 && s_.border_color != ui::clNone) {
        canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
        canvas.Pen().SetColor(s_.border_color);
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetStyle(ui::TPenStyle::psSolid);
        for (int k = 0; k < s_.border_width; ++k) {
            canvas.Rectangle(ui::OffsetRect(TRect{k, k, client.Right - k, client.Bottom - k}, dx, dy));
        }
    }
}

TRect CardPainter::HoverRect(int card_index) const {
    TFineCard& card = *cards_.Items(card_index);
    return ui::InflateRect(card.ListRect, card.Appearance().TotalFrameWidth());
}

void CardPainter::DrawCard(ui::TCanvas& canvas, int card_index, int dx, int dy) const {
    TFineCard& card = *cards_.Items(card_index);
    if (!card.Shown()) return;
    ui::TCanvasToolsGuard guard(canvas);
    TFineCardAppearance& look = card.Appearance();
    const TRect bounds = ui::OffsetRect(card.ListRect, dx, dy);
    const TRect caption = ui::OffsetRect(card.CaptionClientRect, dx, dy);

    PaintGradient(canvas, look.Color(), bounds);
    PaintGradient(canvas, look.CaptionColor(), caption);

    canvas.Font().Assign(&look.CaptionFont());
    canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
    std::string text = card.Caption();
    if (s_.caption_text) s_.caption_text(card_index, text);
    const int inset = look.CaptionBorderWidth() + 2;
    TRect text_rect{caption.Left + inset, caption.Top, caption.Right - inset, caption.Bottom};
    if (s_.images != nullptr && card.ImageIndex >= 0 && card.ImageIndex < s_.images->Count()) {
        const int caption_height = s_.card_template ? s_.card_template->CardCaptionHeight() : caption.Height();
        s_.images->Draw(canvas, text_rect.Left, caption.Top + std::max(0, (caption_height - s_.images->Height()) / 2),
                        card.ImageIndex);
        text_rect.Left += s_.images->Width() + 2;
    }
    const TAlignment caption_alignment =
        s_.card_template ? s_.card_template->CardCaptionAlignment() : TAlignment::taLeftJustify;
    ui::DrawText(canvas, text, text_rect,
                 TDrawTextFlags::dtSingleLine | TDrawTextFlags::dtVCenter | TDrawTextFlags::dtEndEllipsis |
                     Horizontal(caption_alignment));

    // The frame lies outside the card: outer bevel, border, inner bevel, each moving inwards.
    const int bevel = look.BevelWidth();
    int margin = look.BorderWidth();
    if (look.BevelOuter() != TBevelCut::bvNone) margin += bevel;
    if (look.BevelInner() != TBevelCut::bvNone) margin += bevel;
    TRect frame = ui::InflateRect(bounds, margin);
    Bevel(canvas, frame, look.BevelOuter(), bevel);
    ui::Frame3D(canvas, frame, look.BorderColor(), look.BorderColor(), look.BorderWidth());
    Bevel(canvas, frame, look.BevelInner(), bevel);

    if (look.CaptionBorderColor() != ui::clNone) {
        canvas.Pen().SetColor(look.CaptionBorderColor());
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetStyle(ui::TPenStyle::psSolid);
        canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
        for (int k = 0; k < look.CaptionBorderWidth(); ++k) {
            canvas.Rectangle(caption.Left + k, caption.Top + k, caption.Right - k, caption.Bottom - k);
        }
    }

    const int count = card.Items().Count();
    for (int i = 0; i < count; ++i) {
        const TFineCardTemplateItem* ti = TemplateItem(s_.card_template, i);
        TFineCardItem& item = *card.Items().Items(i);
        if (ti == nullptr || !ti->Visible() || item.Hidden) continue;
        if (!ti->CustomDraw() || s_.design_time) {
            DrawItemLabel(canvas, card, i, dx, dy);
            DrawItemValue(canvas, card, card_index, i, dx, dy);
        } else if (s_.draw_item) {
            s_.draw_item(card, item, canvas, ui::OffsetRect(item.ItemClientRect, dx, dy));
        }
    }

    int focus = -1;
    if (s_.design_time) {
        for (int i = 0; i < count && focus < 0; ++i) {
            const TFineCardTemplateItem* ti = TemplateItem(s_.card_template, i);
            if (ti != nullptr && ti->Visible()) focus = i;
        }
    } else if (count > 0 && s_.show_focus && card.ItemIndex() >= 0 && card.ItemIndex() < count) {
        focus = card.ItemIndex();
    }
    if (focus >= 0 && (s_.focused || s_.editor_open)) {
        const TRect label = ui::OffsetRect(card.Items().Items(focus)->LabelClientRect, dx, dy);
        ui::DrawFocusFrame(canvas, TRect{bounds.Left + 1, label.Top - 1, bounds.Right - 1, label.Bottom + 1},
                           s_.focus_color);
    }
}

void CardPainter::DrawItemLabel(ui::TCanvas& canvas, TFineCard& card, int item_index, int dx, int dy) const {
    const TFineCardTemplateItem* ti = TemplateItem(s_.card_template, item_index);
    if (ti == nullptr) return;
    ui::TCanvasToolsGuard guard(canvas);
    TFineCardItem& item = *card.Items().Items(item_index);
    std::string text = ti->Caption();
    if (text.empty() && s_.design_time) text = kEmptyItemCaptionText;
    TRect r = ui::OffsetRect(item.LabelClientRect, dx, dy);
    const TFineCardAppearance& look = card.Appearance();
    canvas.Font().Assign(look.ReplaceLabelFont() ? &look.ItemLabelFont() : &ti->CaptionFont());
    if (ti->CaptionColor() != ui::clNone) {
        canvas.Brush().SetColor(ti->CaptionColor());
        canvas.FillRect(r);
    }
    canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
    ui::DrawText(canvas, text, r,
                 TDrawTextFlags::dtSingleLine | TDrawTextFlags::dtEndEllipsis | Horizontal(ti->CaptionAlignment()) |
                     Vertical(ti->CaptionLayout()));
}

TRect CardPainter::ItemCheckBoxRect(const TRect& rect, TAlignment alignment, TTextLayout layout, int size) {
    const int top = AlignTop(rect, size, layout);
    const int left = AlignLeft(rect, size, alignment);
    return ui::Bounds(left, top, size, size);
}

ui::TSize RatingCellSize(const ui::TPicture* active, const ui::TPicture* inactive) {
    ui::TSize size;
    const ui::TGraphic* on = active ? active->Graphic() : nullptr;
    const ui::TGraphic* off = inactive ? inactive->Graphic() : nullptr;
    if (on != nullptr && !on->Empty()) size = ui::TSize{on->Width() + 2, on->Height()};
    if (off != nullptr && !off->Empty()) {
        size.cx = std::max(size.cx, off->Width());
        size.cy = std::max(size.cy, off->Height());
    }
    return size;
}

ui::TSize CardPainter::RatingPictureSize() const { return RatingCellSize(s_.rating_active, s_.rating_inactive); }

void CardPainter::DrawPicture(ui::TCanvas& canvas, const TFineCardTemplateItem& ti, const ui::TGraphic& graphic,
                              const TRect& value) const {
    const int pw = graphic.Width();
    const int ph = graphic.Height();
    // Draws `graphic` scaled into `target`, cut to the value rectangle. A cut picture, and a
    // transparent one, goes through a bitmap of its visible part; transparency keys on that
    // bitmap's corner pixel.
    auto draw = [&](const TRect& target, bool transparent) {
        const TRect visible = ui::IntersectRect(target, value);
        if (visible.IsEmpty()) return;
        if (visible == target && !transparent) {
            canvas.StretchDraw(target, graphic);
            return;
        }
        ui::TBitmap part;
        part.SetSize(visible.Width(), visible.Height());
        part.Canvas().StretchDraw(ui::OffsetRect(target, -visible.Left, -visible.Top), graphic);
        if (transparent) {
            part.SetTransparentMode(ui::TTransparentMode::tmAuto);
            part.SetTransparent(true);
        }
        canvas.Draw(visible.Left, visible.Top, part);
    };
    switch (ti.ImageSize()) {
    case TFineCardImageSize::isOriginal: {
        // Transparency applies only to a picture cut at the value rectangle's edge.
        const TRect target =
            ui::Bounds(AlignLeft(value, pw, ti.ValueAlignment()), AlignTop(value, ph, ti.ValueLayout()), pw, ph);
        draw(target, ti.TransparentImage() && ui::IntersectRect(target, value) != target);
        break;
    }
    case TFineCardImageSize::isStretched:
        draw(value, false);
        break;
    case TFineCardImageSize::isStretchedProp: {
        int w = value.Width();
        int h = pw != 0 ? static_cast<int>(ui::Round(static_cast<double>(w) / pw * ph)) : ph;
        int left = value.Left;
        int top = value.Top;
        if (h > value.Height()) {
            if (ph != 0) w = static_cast<int>(ui::Round(static_cast<double>(value.Height()) / ph * pw));
            h = value.Height();
            left = AlignLeft(value, w, ti.ValueAlignment());
        } else {
            top = AlignTop(value, h, ti.ValueLayout());
        }
        if (w > 0 && h > 0) draw(ui::Bounds(left, top, w, h), ti.TransparentImage());
        break;
    }
    }
}

void CardPainter::DrawItemValue(ui::TCanvas& canvas, TFineCard& card, int card_index, int item_index, int dx,
                                int dy) const {
    const TFineCardTemplateItem* ti = TemplateItem(s_.card_template, item_index);
    if (ti == nullptr) return;
    TFineCardItem& item = *card.Items().Items(item_index);
    // The open editor covers the focused value; a picture stays visible under it.
    if (card.Editing && card.ItemIndex() == item_index && item.DataType() != TFineCardItemDataType::idtImage) return;
    ui::TCanvasToolsGuard guard(canvas);
    TRect value = ui::OffsetRect(item.ValueClientRect, dx, dy);

    if (item.DataType() == TFineCardItemDataType::idtBoolean && s_.checked != nullptr && s_.unchecked != nullptr) {
        const TRect box = ItemCheckBoxRect(value, ti->ValueAlignment(), ti->ValueLayout(), s_.check_box_size);
        theme::VisualStyles& styles = s_.styles ? *s_.styles : theme::CurrentVisualStyles();
        if (styles.IsThemeActive()) {
            if (std::unique_ptr<theme::ThemeData> data = styles.OpenThemeData("button")) {
                data->DrawThemeBackground(
                    canvas, theme::kCheckBoxPart,
                    item.AsBoolean() ? theme::kCheckBoxCheckedState : theme::kCheckBoxUncheckedState, box);
            }
        } else if (value.Right >= box.Left + s_.check_box_size) {
            canvas.Draw(box.Left, box.Top, item.AsBoolean() ? *s_.checked : *s_.unchecked);
        }
        return;
    }
    if (item.DataType() == TFineCardItemDataType::idtImage) {
        const ui::TGraphic* graphic = item.Picture().Graphic();
        if (graphic != nullptr && !graphic->Empty()) DrawPicture(canvas, *ti, *graphic, value);
        return;
    }
    if (ti->ItemType() == TFineCardItemType::itProgressBar) {
        if (s_.progress != nullptr) {
            DrawProgress(canvas, value, item.AsInteger(), ti->ProgressMax(), ti->ProgressMin(),
                         s_.progress->Style() == TProgressStyle::psClassic, *s_.progress);
        }
        return;
    }
    if (s_.design_time || !ShowsRatingPictures(ti->ItemEditor())) {
        std::string text = item.AsString();
        if (text.empty() && s_.design_time) text = kEmptyItemValueText;
        text = ti->Prefix() + text + ti->Suffix();
        if (s_.item_text) s_.item_text(card_index, item_index, text);
        const TFineCardAppearance& look = card.Appearance();
        if (look.ReplaceEditFont() && card.Editing && !ti->ReadOnly()) {
            canvas.Font().Assign(&look.ItemEditFont());
        } else {
            canvas.Font().Assign(&ti->ValueFont());
            if (ti->ValueURLType() != TFineCardItemURLType::utNone) {
                canvas.Font().SetColor(s_.url_color);
                ui::TFontStyles style = canvas.Font().Style();
                canvas.Font().SetStyle(style.Include(ui::TFontStyle::fsUnderline));
            }
        }
        if (ti->ValueColor() != ui::clNone) {
            canvas.Brush().SetColor(ti->ValueColor());
            canvas.FillRect(value);
        }
        canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
        if (s_.item_prop) s_.item_prop(card, item, canvas.Font(), canvas.Brush());
        const TDrawTextFlags wrap = ti->WordWrap() ? TDrawTextFlags::dtWordBreak : TDrawTextFlags::dtSingleLine;
        ui::DrawText(
            canvas, text, value,
            wrap | TDrawTextFlags::dtEndEllipsis | Horizontal(ti->ValueAlignment()) | Vertical(ti->ValueLayout()));
        return;
    }
    // Rating pictures from the value's top-left, wrapping before the right edge.
    const int v = item.AsInteger();
    const ui::TSize cell = RatingPictureSize();
    if (cell.cx <= 0) return;
    int x = value.Left;
    int y = value.Top;
    for (int i = 1; i <= ti->RatingCount(); ++i) {
        const ui::TPicture* picture = v < i ? s_.rating_inactive : s_.rating_active;
        const ui::TGraphic* graphic = picture ? picture->Graphic() : nullptr;
        if (graphic != nullptr && !graphic->Empty()) {
            std::unique_ptr<ui::TGraphic> copy = graphic->NewOfSameClass();
            copy->Assign(graphic);
            copy->SetTransparent(true);
            canvas.Draw(x, y, *copy);
        }
        x += cell.cx;
        if (!(x < value.Right - s_.hor_spacing - 5)) {
            y += cell.cy;
            x = value.Left;
        }
    }
}

void CardPainter::DrawProgress(ui::TCanvas& canvas, const TRect& rect, int value, int max, int min, bool classic,
                               const TProgressAppearance& appearance) {
    ui::TCanvasToolsGuard guard(canvas);
    if (!classic) {
        TLevelProgressRecord r = LevelProgressRecordFrom(appearance);
        ui::TFont font;
        font.Assign(&canvas.Font());
        font.SetColor(appearance.CompleteFontColor());
        r.Font = &font;
        r.Background =
            appearance.UnCompleteColor() != ui::clNone ? appearance.UnCompleteColor() : canvas.Brush().Color();
        r.Vertical = false;
        r.Min = min;
        r.Max = max;
        DrawLevelProgress(canvas, rect, value, r);
        return;
    }
    TRect r{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    const TColor saved = canvas.Brush().Color();
    const ui::TFontStyles saved_style = canvas.Font().Style();
    canvas.Font().SetStyle({});
    r = TRect{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
    const std::string text = std::to_string(value) + "%";
    // The bar stays inside its rectangle for any value; the text shows the value as it is.
    const int capped = std::clamp(value, 0, 100);
    const int done = r.Left + static_cast<int>(ui::Round(static_cast<double>(r.Width()) * capped / 100.0));
    const int tx = r.Left + (r.Width() - canvas.TextWidth(text)) / 2;
    const int ty = r.Top + (r.Height() - canvas.TextHeight(text)) / 2;
    auto part = [&](const TRect& clip, TColor color, TColor font_color) {
        if (clip.IsEmpty()) return;
        canvas.Brush().SetColor(color);
        canvas.Pen().SetColor(color);
        canvas.Font().SetColor(font_color);
        if (color != ui::clNone) canvas.FillRect(clip);
        canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
        canvas.TextRect(clip, tx, ty, text);
    };
    part(TRect{r.Left, r.Top, done, r.Bottom}, appearance.CompleteColor(), appearance.CompleteFontColor());
    part(TRect{done, r.Top, r.Right, r.Bottom}, appearance.UnCompleteColor(), appearance.UnCompleteFontColor());
    canvas.Brush().SetColor(saved);
    canvas.Pen().SetColor(saved);
    canvas.FrameRect(TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1});
    canvas.FrameRect(TRect{r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2});
    canvas.Font().SetStyle(saved_style);
}

}  // namespace cardlist
