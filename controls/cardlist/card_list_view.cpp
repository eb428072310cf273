#include "controls/cardlist/card_list_view.h"

#include <numeric>

#include "controls/cardlist/card_bitmaps.h"

namespace cardlist {

int CardListLayoutCards::Count() const { return list_.Cards().Count(); }

const std::vector<int>& CardListLayoutCards::DisplayOrder() const {
    if (static_cast<int>(list_.DisplayOrder().size()) == Count()) return list_.DisplayOrder();
    order_.resize(static_cast<std::size_t>(Count()));
    std::iota(order_.begin(), order_.end(), 0);
    return order_;
}

bool CardListLayoutCards::Shown(int card) const { return list_.Cards().Items(card)->Shown(); }
int CardListLayoutCards::Height(int card) const { return list_.Cards().Items(card)->CardHeight; }
ui::TRect CardListLayoutCards::Bounds(int card) const { return list_.Cards().Items(card)->ListRect; }
int CardListLayoutCards::Column(int card) const { return list_.Cards().Items(card)->ColumnIndex; }
int CardListLayoutCards::Row(int card) const { return list_.Cards().Items(card)->RowIndex; }
int CardListLayoutCards::CaptionRight(int card) const { return list_.Cards().Items(card)->CaptionClientRect.Right; }

bool CardListLayoutCards::ItemPlaced(const TFineCard& card, int item) const {
    const TFineCardTemplateItems& items = list_.CardTemplate().Items();
    if (item >= items.Count()) return false;
    return items.Items(item)->Visible() && !card.Items().Items(item)->Hidden;
}

void CardListLayoutCards::Place(int index, const ui::TRect& bounds, int column, int row) {
    TFineCard& card = *list_.Cards().Items(index);
    card.ListRect = bounds;
    card.ColumnIndex = column;
    card.RowIndex = row;
    card.CaptionClientRect = ui::OffsetRect(card.CaptionRect2, bounds.Left, bounds.Top);
    for (int i = 0; i < card.Items().Count(); ++i) {
        if (!ItemPlaced(card, i)) continue;
        TFineCardItem& item = *card.Items().Items(i);
        item.LabelClientRect = ui::OffsetRect(item.LabelCardRect, bounds.Left, bounds.Top);
        item.ValueClientRect = ui::OffsetRect(item.ValueCardRect, bounds.Left, bounds.Top);
        item.ItemClientRect = item.LabelClientRect;
        item.ItemClientRect.Right = item.ValueClientRect.Right;
    }
}

void CardListLayoutCards::Move(int index, int dx, int dy) {
    TFineCard& card = *list_.Cards().Items(index);
    card.ListRect = ui::OffsetRect(card.ListRect, dx, dy);
    card.CaptionClientRect = ui::OffsetRect(card.CaptionClientRect, dx, dy);
    for (int i = 0; i < card.Items().Count(); ++i) {
        if (!ItemPlaced(card, i)) continue;
        TFineCardItem& item = *card.Items().Items(i);
        item.LabelClientRect = ui::OffsetRect(item.LabelClientRect, dx, dy);
        item.ValueClientRect = ui::OffsetRect(item.ValueClientRect, dx, dy);
        item.ItemClientRect = ui::OffsetRect(item.ItemClientRect, dx, dy);
    }
}

CardLayoutMetrics LayoutMetricsOf(TCustomFineCardList& list, int bar_thickness) {
    CardLayoutMetrics m;
    m.flow = list.ScrollBarType() == TScrollBarType::sbtVertical ? CardFlow::Rows : CardFlow::Columns;
    m.client_width = list.ClientWidth();
    m.client_height = list.ClientHeight();
    m.card_width = list.CardTemplate().CardWidth();
    m.column_width = list.ColumnWidth();
    m.hor_spacing = list.CardHorSpacing();
    m.vert_spacing = list.CardVertSpacing();
    m.bar_thickness = bar_thickness;
    m.show_scroll_bar = list.ShowScrollBar();
    return m;
}

CardListPictures::CardListPictures() {
    MakeCheckBoxBitmap(checked, true);
    MakeCheckBoxBitmap(unchecked, false);
}

CardListPaintSettings PaintSettingsOf(TCustomFineCardList& list, const CardLayoutState& state,
                                      const CardListPictures& pictures) {
    CardListPaintSettings s;
    s.card_template = &list.CardTemplate();
    s.color = &list.Color();
    s.show_grid_line = list.ShowGridLine();
    s.grid_line_width = list.GridLineWidth();
    s.grid_line_color = list.GridLineColor();
    s.border_color = list.BorderColor();
    s.border_width = list.BorderWidth();
    s.column_count = state.column_count;
    s.column_width = list.ColumnWidth();
    s.scroll_offset = state.scroll_offset;
    s.hor_spacing = list.CardHorSpacing();
    s.show_focus = list.ShowFocus();
    s.design_time = list.Designing();
    s.focused = list.Focused();
    s.editor_open = list.Editing();
    s.focus_color = list.FocusColor();
    s.url_color = list.URLColor();
    s.rating_active = &list.RatingActive();
    s.rating_inactive = &list.RatingInactive();
    s.progress = &list.ProgressAppearance();
    s.checked = &pictures.checked;
    s.unchecked = &pictures.unchecked;
    s.check_box_size = list.CheckBoxSize();
    s.images = list.Images();
    TCustomFineCardList* sender = &list;
    if (list.OnCardCaptionGetDisplText) {
        s.caption_text = [sender](int card, std::string& text) {
            sender->OnCardCaptionGetDisplText(sender, card, text);
        };
    }
    if (list.OnCardItemGetDisplText) {
        s.item_text = [sender](int card, int item, std::string& text) {
            sender->OnCardItemGetDisplText(sender, card, item, text);
        };
    }
    if (list.OnDrawCardItem) {
        s.draw_item = [sender](TFineCard& card, TFineCardItem& item, ui::TCanvas& canvas, const ui::TRect& r) {
            sender->OnDrawCardItem(sender, &card, &item, canvas, r);
        };
    }
    if (list.OnDrawCardItemProp) {
        s.item_prop = [sender](TFineCard& card, TFineCardItem& item, ui::TFont& font, ui::TBrush& brush) {
            sender->OnDrawCardItemProp(sender, &card, &item, font, brush);
        };
    }
    return s;
}

}  // namespace cardlist
