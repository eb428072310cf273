#include "controls/cardlist/card_list.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "controls/cardlist/card_list_drag.h"
#include "controls/cardlist/card_list_view.h"
#include "controls/cardlist/card_painting.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/core/update_scope.h"
#include "platform/ui/graphics/draw_text.h"

namespace cardlist {

namespace {

using ui::Store;

bool PictureEmpty(const ui::TPicture& p) { return p.Graphic() == nullptr || p.Graphic()->Empty(); }

}  // namespace

TCustomFineCardList::TCustomFineCardList(ui::TComponent* owner)
    : ui::TCustomControl(owner),
      layout_cards_(std::make_unique<CardListLayoutCards>(*this)),
      pictures_(std::make_unique<CardListPictures>()) {
    auto appearance_changed = [this](ui::TPersistent* sender, bool state) { AppearanceChanged(sender, state); };
    progress_ = std::make_unique<TProgressAppearance>();
    progress_->OnChange = [this](ui::TPersistent*) { Invalidate(); };
    rating_active_ = std::make_unique<ui::TPicture>();
    rating_inactive_ = std::make_unique<ui::TPicture>();
    rating_active_->OnChange = [this](ui::TPersistent*) { Invalidate(); };
    rating_inactive_->OnChange = [this](ui::TPersistent*) { Invalidate(); };

    normal_ = std::make_unique<TFineCardAppearance>();
    hover_ = std::make_unique<TFineCardAppearance>();
    selected_ = std::make_unique<TFineCardAppearance>();
    editing_ = std::make_unique<TFineCardAppearance>();
    for (TFineCardAppearance* a : {normal_.get(), hover_.get()}) {
        a->CaptionColor().SetColor(0xFF00000F);
        a->CaptionColor().SetColorTo(ui::clNone);
        a->CaptionFont().SetColor(0);
        a->CaptionFont().SetStyle({ui::TFontStyle::fsBold});
        a->SetBevelOuter(TBevelCut::bvNone);
        a->SetBorderColor(ui::clNone);
    }
    hover_->SetBorderColor(0xC0C0C0);
    for (TFineCardAppearance* a : {selected_.get(), editing_.get()}) {
        a->CaptionColor().SetColor(0x800000);
        a->CaptionColor().SetColorTo(ui::clNone);
        a->CaptionFont().SetColor(0xFFFFFF);
        a->CaptionFont().SetStyle({ui::TFontStyle::fsBold});
        a->SetBevelOuter(TBevelCut::bvNone);
        a->SetBorderColor(0xFF00000F);
    }
    editing_->Color().SetColor(0xFF000018);
    for (TFineCardAppearance* a : {normal_.get(), hover_.get(), selected_.get(), editing_.get()}) {
        a->OnChange = appearance_changed;
    }

    timer_ = std::make_unique<ui::TTimer>(nullptr);
    timer_->SetEnabled(false);
    timer_->SetInterval(100);
    timer_->OnTimer = [this](ui::TPersistent*) { DelayedLoadTick(); };

    cards_ = std::make_unique<TFineCards>(this);
    template_ = CreateCardTemplate();
    template_->Items().SetCards(cards_.get());

    color_ = std::make_unique<TFineGradient>();
    color_->OnChange = [this](ui::TPersistent*) { Invalidate(); };
    filter_settings_ = std::make_unique<TFineCardFilterSettings>();
    filter_settings_->OnChange = [this](ui::TPersistent*) { RefreshList(kFilterRefresh); };
    sort_settings_ = std::make_unique<TFineCardSortSettings>();
    sort_settings_->OnChange = [this](ui::TPersistent*) { RefreshList(kSortRefresh); };

    scroll_bar_ = std::make_unique<ui::TScrollBar>(nullptr);
    scroll_bar_->SetName("ListHorScrollBar");
    scroll_bar_->SetShowHint(false);
    scroll_bar_->SetMin(1);
    scroll_bar_->SetPageSize(1);
    scroll_bar_->SetVisible(false);
    scroll_bar_->SetParent(this);
    scroll_bar_->SetAlign(ui::TAlign::alBottom);
    scroll_bar_->OnScroll = [this](ui::TPersistent*, ui::TScrollCode code, int& position) {
        Scrolling = code != ui::TScrollCode::scEndScroll;
        ScrollToPosition(position);
        // The layout may have limited the move (the last columns already in view).
        position = scroll_bar_->Position();
    };

    drag_ = std::make_unique<CardListDrag>();
    if (!Designing()) {
        for (std::size_t i = 0; i < drag_->arrows.size(); ++i) {
            drag_->arrows[i] = new ui::TArrowWindow(this, static_cast<ui::TArrowDirection>(i));  // owned by the list
        }
    }

    SetBounds(0, 0, 280, 320);
    SetTabStop(false);
    SetDoubleBuffered(true);
    // Made on a form in a designer, the list shows what a card looks like in each state.
    if (Designing()) AddSampleCards();
}

void TCustomFineCardList::AddSampleCards() {
    ui::WithinUpdate(*this, [&] {
        const std::pair<const char*, const TFineCardAppearance*> samples[] = {
            {"Normal", normal_.get()},
            {"Hover", hover_.get()},
            {"Selected", selected_.get()},
            {"Editing", editing_.get()},
        };
        for (const auto& [caption, look] : samples) {
            TFineCard* card = cards_->Add();
            card->SetCaption(caption);
            card->Appearance().Assign(look);
        }
    });
}

void TCustomFineCardList::SetParent(ui::TWinControl* parent) {
    const bool moved = parent != Parent();
    ui::TCustomControl::SetParent(parent);
    if (moved && parent != nullptr) CreateWnd();
}

void TCustomFineCardList::CreateWnd() {
    // A designer gets a row to see and edit on a list whose template has none yet.
    if (!Designing() || Loading() || template_->Items().Count() > 0) return;
    template_->Items().Add()->SetCaption("DefaultItem");
}

TCustomFineCardList::~TCustomFineCardList() {
    MarkDestroying();
    // A drag or an edit still running ends while the list is whole.
    drag_->session.reset();
    drag_->DragImage.reset();
    edit_.Editor.reset();
    if (drag_->DropTargetRegistered) ui::RevokeDragDrop(*this);
    timer_->SetEnabled(false);
    // The cards go first, while the template they read still exists; nothing refreshes any more.
    ++update_count_;
    template_->Items().SetCards(nullptr);
    selected_card_ = nullptr;
    cards_.reset();
    template_.reset();
    scroll_bar_.reset();
}

std::unique_ptr<TFineCardTemplate> TCustomFineCardList::CreateCardTemplate() {
    return std::make_unique<TFineCardTemplate>(this, ui::ItemClass<TFineCardTemplateItem>());
}

void TCustomFineCardList::Assign(const ui::TPersistent* source) {
    const auto* o = dynamic_cast<const TCustomFineCardList*>(source);
    if (o == nullptr) {
        ui::TCustomControl::Assign(source);
        return;
    }
    if (o == this) return;
    ui::WithinUpdate(*this, [&] {
        ClearViewCards();
        display_order_.clear();
        auto_edit_ = o->auto_edit_;
        border_color_ = o->border_color_;
        border_width_ = o->border_width_;
        card_hor_spacing_ = o->card_hor_spacing_;
        card_vert_spacing_ = o->card_vert_spacing_;
        column_sizing_ = o->column_sizing_;
        column_width_ = o->column_width_;
        filtered_ = o->filtered_;
        focus_color_ = o->focus_color_;
        grid_line_color_ = o->grid_line_color_;
        grid_line_width_ = o->grid_line_width_;
        max_column_width_ = o->max_column_width_;
        min_column_width_ = o->min_column_width_;
        multi_select_ = o->multi_select_;
        page_count_ = o->page_count_;
        read_only_ = o->read_only_;
        selected_card_ = nullptr;
        selected_count_ = 0;
        selected_card_index_ = -1;
        show_grid_line_ = o->show_grid_line_;
        show_focus_ = o->show_focus_;
        show_scroll_bar_ = o->show_scroll_bar_;
        if (o->scroll_bar_type_ != scroll_bar_type_) {
            scroll_bar_type_ = o->scroll_bar_type_;
            TurnScrollBar();
        }
        sorted_ = o->sorted_;
        color_->Assign(o->color_.get());
        normal_->Assign(o->normal_.get());
        hover_->Assign(o->hover_.get());
        selected_->Assign(o->selected_.get());
        editing_->Assign(o->editing_.get());
        cards_->Clear();
        template_->Assign(o->template_.get());
        // The template is copied first, so every new card already has the source's rows.
        for (int i = 0; i < o->cards_->Count(); ++i) cards_->Add()->Assign(o->cards_->Items(i));
        sort_settings_->Assign(o->sort_settings_.get());
        filter_settings_->Assign(o->filter_settings_.get());
    });
}

void TCustomFineCardList::SetCardTemplate(const TFineCardTemplate& v) { AssignAndRearrange(*template_, v); }
void TCustomFineCardList::SetCardNormalAppearance(const TFineCardAppearance& v) { AssignAndRearrange(*normal_, v); }
void TCustomFineCardList::SetCardHoverAppearance(const TFineCardAppearance& v) { AssignAndRearrange(*hover_, v); }
void TCustomFineCardList::SetCardSelectedAppearance(const TFineCardAppearance& v) { AssignAndRearrange(*selected_, v); }
void TCustomFineCardList::SetCardEditingAppearance(const TFineCardAppearance& v) { AssignAndRearrange(*editing_, v); }
void TCustomFineCardList::SetColor(const TFineGradient& v) { AssignAndRearrange(*color_, v); }
void TCustomFineCardList::AssignAndRearrange(ui::TPersistent& target, const ui::TPersistent& source) {
    target.Assign(&source);
    RefreshList(kRearrange);
}
void TCustomFineCardList::SetSortSettings(const TFineCardSortSettings& v) { sort_settings_->Assign(&v); }
void TCustomFineCardList::SetFilterSettings(const TFineCardFilterSettings& v) { filter_settings_->Assign(&v); }

void TCustomFineCardList::SetBorderColor(TColor v) {
    if (Store(border_color_, v)) RefreshList(kRearrange);
}
void TCustomFineCardList::SetBorderWidth(int v) {
    if (Store(border_width_, v)) RefreshList(kRearrange);
}
void TCustomFineCardList::SetCardHorSpacing(int v) {
    if (!Store(card_hor_spacing_, v)) return;
    column_width_ = template_->CardWidth() + 2 * v;
    RefreshList(kRearrange);
}
void TCustomFineCardList::SetCardVertSpacing(int v) {
    if (Store(card_vert_spacing_, v)) RefreshList(kRearrange);
}
void TCustomFineCardList::SetCardRearrange(bool v) {
    card_rearrange_ = v;
    if (v && Designing() && !Loading() && sorted_) SetSorted(false);
}
void TCustomFineCardList::SetColumnWidth(int v) {
    if (v == column_width_) return;
    v = ClampColumnWidth(v, min_column_width_, max_column_width_, card_hor_spacing_);
    if (OnColumnResizing) OnColumnResizing(this, v);
    // The handler may answer any width; the limits hold for it too.
    v = ClampColumnWidth(v, min_column_width_, max_column_width_, card_hor_spacing_);
    column_width_ = v;
    template_->SetCardWidth(v - 2 * card_hor_spacing_);
}
void TCustomFineCardList::SetMaxColumnWidth(int v) {
    if (v == max_column_width_) return;
    const ColumnWidthLimits limits =
        WithMaxColumnWidth(ColumnWidthLimits{min_column_width_, max_column_width_}, v, card_hor_spacing_);
    min_column_width_ = limits.min_width;
    max_column_width_ = limits.max_width;
    if (max_column_width_ != 0 && column_width_ > max_column_width_) SetColumnWidth(max_column_width_);
}
void TCustomFineCardList::SetMinColumnWidth(int v) {
    if (v == min_column_width_) return;
    const ColumnWidthLimits limits =
        WithMinColumnWidth(ColumnWidthLimits{min_column_width_, max_column_width_}, v, card_hor_spacing_);
    min_column_width_ = limits.min_width;
    max_column_width_ = limits.max_width;
    if (column_width_ < min_column_width_) SetColumnWidth(min_column_width_);
}
void TCustomFineCardList::SetScrollBarType(TScrollBarType v) {
    if (v == scroll_bar_type_) return;
    scroll_bar_type_ = v;
    TurnScrollBar();
    ArrangeCards(true);
    Invalidate();
}
void TCustomFineCardList::TurnScrollBar() {
    // The bar keeps its thickness when it turns: a vertical bar is as wide as the horizontal
    // one was high.
    scroll_bar_->SetAlign(ui::TAlign::alNone);
    if (scroll_bar_type_ == TScrollBarType::sbtVertical) {
        scroll_bar_->SetWidth(scroll_bar_->Height());
        scroll_bar_->SetKind(ui::TScrollBarKind::sbVertical);
        scroll_bar_->SetAlign(ui::TAlign::alRight);
    } else {
        scroll_bar_->SetHeight(scroll_bar_->Width());
        scroll_bar_->SetKind(ui::TScrollBarKind::sbHorizontal);
        scroll_bar_->SetAlign(ui::TAlign::alBottom);
    }
}
void TCustomFineCardList::SetDelayedCardLoad(bool v) {
    delayed_card_load_ = v;
    timer_->SetEnabled(v);
}
void TCustomFineCardList::SetFiltered(bool v) {
    if (Store(filtered_, v)) RefreshList(kFilterRefresh);
}
void TCustomFineCardList::SetFocusColor(TColor v) {
    if (Store(focus_color_, v)) Invalidate();
}
void TCustomFineCardList::SetGridLineColor(TColor v) {
    if (Store(grid_line_color_, v)) RefreshList(kRearrange);
}
void TCustomFineCardList::SetGridLineWidth(int v) {
    if (Store(grid_line_width_, v)) RefreshList(kRearrange);
}
void TCustomFineCardList::SetImages(ui::TImageList* v) {
    if (v == images_) return;
    images_ = v;
    if (v != nullptr) v->FreeNotification(this);
}
void TCustomFineCardList::SetMultiSelect(bool v) {
    if (!Store(multi_select_, v)) return;
    if (!v) ClearSelection();
    RefreshList(kRearrange);
}
void TCustomFineCardList::SetPageCount(int v) { page_count_ = std::max(v, 1); }
void TCustomFineCardList::SetShowGridLine(bool v) {
    if (Store(show_grid_line_, v)) RefreshList(kRearrange);
}
void TCustomFineCardList::SetShowFocus(bool v) {
    if (Store(show_focus_, v)) Invalidate();
}
void TCustomFineCardList::SetShowScrollBar(bool v) {
    if (Store(show_scroll_bar_, v)) UpdateScrollBar();
}
void TCustomFineCardList::SetSorted(bool v) {
    if (Store(sorted_, v)) RefreshList(kSortRefresh);
}
void TCustomFineCardList::SetURLColor(TColor v) {
    url_color_ = v;
    Invalidate();
}

std::string TCustomFineCardList::Version() const {
    const unsigned v = GetVersionNr();
    return std::to_string((v >> 24) & 0xFF) + "." + std::to_string((v >> 16) & 0xFF) + "." +
           std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF);
}

// --- updates and refresh ---------------------------------------------------------------------

void TCustomFineCardList::BeginUpdate() {
    ++update_count_;
    timer_->SetEnabled(false);
}

void TCustomFineCardList::EndUpdate() {
    if (update_count_ == 0) return;
    if (--update_count_ != 0) return;
    RefreshList(kFullRefresh);
    timer_->SetEnabled(delayed_card_load_);
    if (!Designing()) cards_->ApplyCardAppearance(nullptr);
}

void TCustomFineCardList::RefreshList(const RefreshSteps& steps) {
    if (cards_ == nullptr) return;
    if (Editing()) CancelEdit();
    if (update_count_ > 0) return;
    if (steps.sort) SortCards(sorted_ && !Designing());
    if (steps.filter) ApplyFilter(filtered_ && !Designing());
    if (steps.measure) cards_->LayoutCard(nullptr);
    if (steps.arrange) ArrangeCards(true);
    if ((steps.sort || steps.filter) && !(goto_selected_automatic_ && ScrollToSelected())) Invalidate();
}

void TCustomFineCardList::ArrangeCards(bool updateBar) {
    if (Editing()) EndEdit();
    SetHoverCard(-1);
    // The order is rebuilt here when the cards changed during an update; as every sort pass,
    // it does not sort at design time.
    if (display_order_.size() != static_cast<std::size_t>(cards_->Count())) SortCards(sorted_ && !Designing());
    PrepareLayout();
    const ArrangeAnchor anchor{sizing_.AnchorCard(), selected_card_index_, std::exchange(kept_first_row_, 0)};
    layout_.ArrangeCards(*layout_cards_, updateBar, anchor, Selection());
    ApplyLayout();
}

int TCustomFineCardList::ScrollBarThickness() const {
    if (scroll_bar_ == nullptr) return 0;
    return scroll_bar_type_ == TScrollBarType::sbtVertical ? scroll_bar_->Width() : scroll_bar_->Height();
}

void TCustomFineCardList::PrepareLayout() {
    layout_.metrics = LayoutMetricsOf(*this, ScrollBarThickness());
    layout_.metrics.design_time = Designing();
}

void TCustomFineCardList::ApplyLayout() {
    const CardLayoutState& st = layout_.state;
    view_cards_ = st.view_cards;
    if (scroll_bar_ == nullptr || layout_.metrics.design_time) return;
    scroll_bar_->SetParams(std::min(st.bar.position, std::max(st.bar.max, 1)), 1, std::max(st.bar.max, 1));
    scroll_bar_->SetVisible(st.bar.visible);
}

void TCustomFineCardList::UpdateScrollBar() {
    if (cards_ == nullptr) return;
    PrepareLayout();
    layout_.UpdateScrollBar(*layout_cards_, Selection());
    ApplyLayout();
    Invalidate();
}

bool TCustomFineCardList::ScrollToSelected() {
    if (cards_ == nullptr || update_count_ > 0) return false;
    PrepareLayout();
    // As every scroll: one that moves nothing leaves an open edit as it is; one that moves the
    // cards stores and closes it first, so that the editor does not stay behind over a card that
    // moved away.
    const std::optional<int> target = layout_.SelectedScrollTarget(*layout_cards_, Selection());
    if (!target || !layout_.Scrolls(*target)) return false;
    if (Editing()) {
        EndEdit();
        PrepareLayout();
    }
    if (!layout_.ScrollToSelected(*layout_cards_, Selection())) return false;
    SetHoverCard(-1);
    ApplyLayout();
    Invalidate();
    return true;
}

void TCustomFineCardList::ScrollToPosition(int position) {
    if (cards_ == nullptr) return;
    PrepareLayout();
    // A request that moves nothing (the position the view has, a wheel turned at either end)
    // leaves an open edit as it is.
    if (!layout_.Scrolls(position)) return;
    // The editor would stay behind while its card moves away: it is stored and closed first.
    if (Editing()) EndEdit();
    const int column = layout_.state.first_column;
    const int row = layout_.state.first_row;
    PrepareLayout();
    layout_.ScrollToPosition(*layout_cards_, position);
    if (layout_.state.first_column == column && layout_.state.first_row == row) return;
    SetHoverCard(-1);
    ApplyLayout();
    Invalidate();
}

void TCustomFineCardList::ClearViewCards() {
    view_cards_.clear();
    layout_.state.view_cards.clear();
}

// --- template and card notifications ---------------------------------------------------------

void TCustomFineCardList::TemplateChanged() {
    column_width_ = template_->CardWidth() + 2 * card_hor_spacing_;
    RefreshList(kRemeasure);
    Invalidate();
}

void TCustomFineCardList::TemplateItemChanged(TFineCardTemplateItem* item) {
    if (!Designing() && selected_card_ != nullptr && item != nullptr && selected_card_->ItemIndex() == item->Index()) {
        cards_->SetRepaintOnChange(false);
        selected_card_->SetItemIndex(-1);
        cards_->SetRepaintOnChange(true);
    }
    RefreshList(kRemeasure);
    Invalidate();
}

void TCustomFineCardList::CardChanged(TFineCard* card, TFineCardItem* item, bool valueChanged) {
    (void)card;
    (void)item;
    (void)valueChanged;
}

void TCustomFineCardList::CardsChanged() {
    if (cards_ == nullptr) return;
    selected_count_ = 0;
    for (int i = 0; i < cards_->Count(); ++i) {
        if (cards_->Items(i)->Selected()) ++selected_count_;
    }
    // The index is not moved with the card: after an insert at or before it, it names the card
    // now at that position while SelectedCard still is the card that was selected. A card that
    // left took the selection with it (CardLeaving).
    if (selected_card_index_ >= cards_->Count()) {
        selected_card_ = nullptr;
        selected_card_index_ = -1;
    }
    if (hover_card_index_ >= cards_->Count()) hover_card_index_ = -1;
    // An emptied list (a new album) starts again from the top.
    if (cards_->Count() == 0) kept_first_row_ = 0;
    display_order_.clear();
    RefreshList(kCollectionRefresh);
}

void TCustomFineCardList::CardRemoved(const void* card) {
    if (card == selected_card_) {
        selected_card_ = nullptr;
        selected_card_index_ = -1;
    }
    // A drag armed on a card that left has nothing to start (the card is no longer found).
    if (drag_ != nullptr && drag_->DragArmed && DragCard() == nullptr) drag_->DragArmed = false;
}

namespace {

// Drops `index` from a list of card indexes and moves the later cards' indexes down by one.
void ForgetCardIndex(std::vector<int>& indexes, int index) {
    std::erase(indexes, index);
    for (int& i : indexes) {
        if (i > index) --i;
    }
}

}  // namespace

void TCustomFineCardList::CardLeaving(TFineCard* card) {
    if (cards_ == nullptr || Destroying()) return;
    const int index = card->Index();
    if (index < 0) return;
    if (card == selected_card_) {
        selected_card_ = nullptr;
        selected_card_index_ = -1;
    }
    // The hover look goes with the hover index; a later hover card keeps both under its new index.
    if (hover_card_index_ == index) {
        SetHoverCard(-1);
    } else if (hover_card_index_ > index) {
        --hover_card_index_;
    }
    // The cards in view keep anchoring the next layout (columns) and the first row is kept
    // (rows), so a scrolled list stays where it is.
    if (kept_first_row_ == 0) kept_first_row_ = layout_.state.first_row;
    ForgetCardIndex(view_cards_, index);
    ForgetCardIndex(layout_.state.view_cards, index);
    ForgetCardIndex(display_order_, index);
}

void TCustomFineCardList::CardSelected(TFineCard* card) {
    if (selected_card_ != nullptr && selected_card_ != card) selected_card_->item_index_ = -1;
    selected_card_ = card;
    selected_card_index_ = card->Index();
    ++selected_count_;
    ScrollToSelected();
}

void TCustomFineCardList::CardDeselected(TFineCard* card) {
    if (selected_card_ == card) {
        selected_card_ = nullptr;
        selected_card_index_ = -1;
    }
    selected_count_ = std::max(selected_count_ - 1, 0);
}

void TCustomFineCardList::AppearanceChanged(ui::TPersistent* sender, bool stateChanged) {
    if (sender == normal_.get() && !normal_->Enabled()) normal_->SetEnabled(true);
    if (stateChanged && !Designing() && cards_ != nullptr && update_count_ == 0) cards_->ApplyCardAppearance(nullptr);
    Invalidate();
}

int TCustomFineCardList::MeasureTextHeight(const ui::TFont& font, const std::string& text, int width, bool wordWrap) {
    measure_canvas_.SetFont(font);
    if (!wordWrap) return measure_canvas_.TextHeight(text);
    ui::TRect r{0, 0, std::max(width, 1), 0};
    return ui::DrawText(measure_canvas_, text, r, ui::TDrawTextFlags::dtWordBreak | ui::TDrawTextFlags::dtCalcRect);
}

ui::TSize TCustomFineCardList::RatingPictureSize() const {
    return RatingCellSize(rating_active_.get(), rating_inactive_.get());
}

bool TCustomFineCardList::RatingPicturesLoaded() const {
    return !PictureEmpty(*rating_active_) && !PictureEmpty(*rating_inactive_);
}

const TFineCardAppearance& TCustomFineCardList::StateAppearance(TCardState state) const {
    switch (state) {
    case TCardState::csNormal:
        return *normal_;
    case TCardState::csHover:
        return *hover_;
    case TCardState::csSelected:
        return *selected_;
    case TCardState::csEditing:
        return *editing_;
    }
    return *normal_;
}

void TCustomFineCardList::DoCardAppearance(TFineCard* card, TCardState state, TFineCardAppearance* appearance) {
    if (OnCardAppearance) OnCardAppearance(this, card, state, appearance);
}

void TCustomFineCardList::DoShowCardItem(int cardIndex, int itemIndex, bool& shown) {
    if (OnShowCardItem) OnShowCardItem(this, cardIndex, itemIndex, shown);
}

// --- selection -------------------------------------------------------------------------------

bool TCustomFineCardList::SelectShownCard(int step, bool toFirst, bool toLast) {
    auto shown = [&](int pos) { return cards_->Items(display_order_[static_cast<std::size_t>(pos)])->Shown(); };
    const int n = static_cast<int>(display_order_.size());
    auto select_at = [&](int pos) {
        TFineCard* card = cards_->Items(display_order_[static_cast<std::size_t>(pos)]);
        if (card == selected_card_) return false;
        SelectCardIndex(card->Index());
        return true;
    };
    auto first = [&] {
        for (int p = 0; p < n; ++p) {
            if (shown(p)) return select_at(p);
        }
        return false;
    };
    auto last = [&] {
        for (int p = n - 1; p >= 0; --p) {
            if (shown(p)) return select_at(p);
        }
        return false;
    };
    if (toFirst) return first();
    if (toLast) return last();
    if (selected_card_ == nullptr) return false;
    const auto it = std::find(display_order_.begin(), display_order_.end(), selected_card_->Index());
    if (it == display_order_.end()) return false;
    const int p = static_cast<int>(it - display_order_.begin());
    if (p + step >= n - 1) return last();
    if (p + step < 1) return first();
    const int dir = step > 0 ? 1 : -1;
    int count = 0;
    for (int q = p + dir; q >= 0 && q < n; q += dir) {
        if (shown(q) && ++count == std::abs(step)) return select_at(q);
    }
    return false;
}

void TCustomFineCardList::ShownItemIndexes(TFineCard* card, std::vector<int>& out) const {
    out.clear();
    const TFineCardTemplateItems& tis = template_->Items();
    for (int i = 0; i < card->Items().Count() && i < tis.Count(); ++i) {
        if (tis.Items(i)->Visible() && !card->Items().Items(i)->Hidden) out.push_back(i);
    }
}

bool TCustomFineCardList::SelectItem(int step, bool toFirst, bool toLast) {
    TFineCard* card = selected_card_;
    if (card == nullptr) return false;
    std::vector<int> counting;
    ShownItemIndexes(card, counting);
    if (counting.empty()) return false;
    auto focus = [&](int index) {
        card->SetItemIndex(index);
        return true;
    };
    if (toFirst) return focus(counting.front());
    if (toLast) return focus(counting.back());
    if (step == 0) return false;
    const int current = card->ItemIndex();
    if ((step < 0 && current == counting.front()) || (step > 0 && current == counting.back())) return false;
    if (current + step >= card->Items().Count() - 1) return focus(counting.back());
    if (current + step < 1) return focus(counting.front());
    const int dir = step > 0 ? 1 : -1;
    int count = 0;
    for (int i = current + dir; i >= 0 && i < card->Items().Count(); i += dir) {
        if (std::find(counting.begin(), counting.end(), i) != counting.end() && ++count == std::abs(step))
            return focus(i);
    }
    return false;
}

TFineCard* TCustomFineCardList::FindShownCardByCaption(const std::string& text) const {
    const std::string key = ui::AnsiUpperCase(text);
    for (int index : display_order_) {
        if (index >= cards_->Count()) continue;
        TFineCard* card = cards_->Items(index);
        if (!card->Shown()) continue;
        if (key.empty() || ui::AnsiUpperCase(card->Caption()).rfind(key, 0) == 0) return card;
    }
    return nullptr;
}

TFineCard* TCustomFineCardList::CardAt(int x, int y, bool viewOnly) const {
    const ui::TPoint p{x, y};
    if (viewOnly) {
        for (int index : view_cards_) {
            if (index < cards_->Count() && cards_->Items(index)->Shown() &&
                cards_->Items(index)->ListRect.Contains(p)) {
                return cards_->Items(index);
            }
        }
        return nullptr;
    }
    for (int i = 0; i < cards_->Count(); ++i) {
        if (cards_->Items(i)->Shown() && cards_->Items(i)->ListRect.Contains(p)) return cards_->Items(i);
    }
    return nullptr;
}

int TCustomFineCardList::ItemAt(int x, int y, TFineCard* card) const {
    if (card == nullptr) return -1;
    const TFineCardTemplateItems& tis = template_->Items();
    for (int i = 0; i < card->Items().Count() && i < tis.Count(); ++i) {
        const TFineCardItem* item = card->Items().Items(i);
        if (tis.Items(i)->Visible() && !item->Hidden && item->ItemClientRect.Contains(ui::Point(x, y))) return i;
    }
    return -1;
}

void TCustomFineCardList::SelectCardIndex(int index) {
    if (index == selected_card_index_ && (index < 0 || selected_card_ != nullptr)) return;
    if (index >= 0 && index < cards_->Count()) {
        ClearSelection();
        cards_->Items(index)->SetSelected(true);
    } else {
        selected_card_index_ = -1;
        selected_card_ = nullptr;
    }
}

void TCustomFineCardList::SetCardSelected(int index, bool value) {
    if (index >= 0 && index < cards_->Count()) cards_->Items(index)->SetSelected(value);
}

void TCustomFineCardList::SelectAll() {
    if (cards_->Count() == 0) return;
    cards_->SetRepaintOnChange(false);
    for (int i = 0; i < cards_->Count(); ++i) {
        if (cards_->Items(i)->Shown()) cards_->Items(i)->SetSelected(true);
    }
    cards_->SetRepaintOnChange(true);
}

void TCustomFineCardList::ClearSelection() {
    cards_->SetRepaintOnChange(false);
    for (int i = 0; i < cards_->Count(); ++i) cards_->Items(i)->SetSelected(false);
    selected_card_index_ = -1;
    selected_card_ = nullptr;
    cards_->SetRepaintOnChange(true);
}

void TCustomFineCardList::InvalidateHoverRect(int index) {
    const CardListPaintSettings none;
    InvalidateRect(CardPainter(none, *cards_).HoverRect(index));
}

void TCustomFineCardList::SetHoverCard(int index) {
    if (index == hover_card_index_) return;
    // A look change can shrink or grow the frame: the area before and after both repaint.
    if (hover_card_index_ >= 0 && hover_card_index_ < cards_->Count()) {
        TFineCard* old = cards_->Items(hover_card_index_);
        InvalidateHoverRect(hover_card_index_);
        old->Hovered = false;
        cards_->ApplyCardAppearance(old);
        InvalidateHoverRect(hover_card_index_);
    }
    if (index >= 0 && index < cards_->Count()) {
        hover_card_index_ = index;
        InvalidateHoverRect(index);
        cards_->Items(index)->Hovered = true;
        cards_->ApplyCardAppearance(cards_->Items(index));
        InvalidateHoverRect(index);
    } else {
        hover_card_index_ = -1;
    }
}

// --- component and window messages -----------------------------------------------------------

void TCustomFineCardList::Notification(ui::TComponent* component, ui::TOperation operation) {
    ui::TCustomControl::Notification(component, operation);
    if (operation != ui::TOperation::opRemove || Destroying() || template_ == nullptr) return;
    if (component == images_) images_ = nullptr;
    for (int i = 0; i < template_->Items().Count(); ++i) {
        if (template_->Items().Items(i)->ItemEditLink() == component)
            template_->Items().Items(i)->SetItemEditLink(nullptr);
    }
}

void TCustomFineCardList::Loaded() {
    ui::TCustomControl::Loaded();
    SetAcceptDrops(drag_->AcceptDrops);
}

bool TCustomFineCardList::MouseOverViewCard() const {
    const ui::TPoint p = ScreenToClient(ui::Mouse().CursorPos());
    return CardAt(p.X, p.Y, true) != nullptr;
}

void TCustomFineCardList::DoEnter() {
    ui::TCustomControl::DoEnter();
    if (cards_->Count() > 0 && selected_card_ == nullptr && !MouseOverViewCard()) {
        SelectCardIndex(0);
        TFineCard* card = cards_->Items(0);
        if (card->Items().Count() > 0 && card->ItemIndex() < 0) card->SetItemIndex(0);
    }
    Invalidate();
}

void TCustomFineCardList::DoExit() {
    ui::TCustomControl::DoExit();
    Invalidate();
}

void TCustomFineCardList::CMMouseLeave() {
    if (hover_card_index_ >= 0) {
        SetHoverCard(-1);
        Invalidate();
    }
    if (!sizing_.ColumnSizingActive) {
        sizing_.OverGridLine = false;
        ui::Screen().SetCursor(ui::crDefault);
    }
    ui::TCustomControl::CMMouseLeave();
}

void TCustomFineCardList::CMHintShow(std::string& hint, int x, int y) {
    (void)x;
    (void)y;
    if (hover_card_index_ < 0 || hover_card_index_ >= cards_->Count()) return;
    TFineCard* card = cards_->Items(hover_card_index_);
    if (HintItemIndex == -2) {
        hint = card->Hint;
    } else if (HintItemIndex >= 0 && HintItemIndex < card->Items().Count() &&
               HintItemIndex < template_->Items().Count() && template_->Items().Items(HintItemIndex)->ShowHint()) {
        hint = card->Items().Items(HintItemIndex)->Hint;
    }
}

void TCustomFineCardList::Resize() {
    ui::TCustomControl::Resize();
    if (cards_ != nullptr) {
        ArrangeCards(true);
        if (goto_selected_automatic_) ScrollToSelected();
    }
    Invalidate();
}

void TCustomFineCardList::Paint() {
    const CardListPaintSettings settings = PaintSettingsOf(*this, layout_.state, *pictures_);
    const CardPainter painter(settings, *cards_);
    const ui::TRect client{0, 0, layout_.FreeWidth(), layout_.FreeHeight()};
    painter.Paint(Canvas(), client, view_cards_, PaintRect());
}

void TCustomFineCardList::DelayedLoadTick() {
    if (Scrolling || !OnDelayedCardLoad) return;
    // The handler and the events run after it may free the list (a window closed meanwhile):
    // then nothing of it is read again. The cards in view may change too: the length is read
    // anew each time.
    const std::weak_ptr<const bool> alive = alive_;
    for (std::size_t i = 0; i < view_cards_.size(); ++i) {
        const int index = view_cards_[i];
        if (index < cards_->Count()) OnDelayedCardLoad(this, cards_->Items(index));
        ui::Application().ProcessMessages();
        if (alive.expired()) return;
    }
}

}  // namespace cardlist
