// The card list's display order and filter: sorting fills DisplayOrder and never moves a card
// in the collection; filtering sets each card's PassesFilter.
#include <cmath>
#include <numeric>
#include <utility>

#include "controls/cardlist/card_list.h"
#include "platform/ui/core/sysutils.h"

namespace cardlist {

namespace {

int Sign(double d) { return (d > 0) - (d < 0); }

// The whole-day and the time-of-day parts of a date-time value.
double DayPart(ui::TDateTime v) { return std::trunc(v); }
double TimePart(ui::TDateTime v) { return v - std::trunc(v); }

}  // namespace

void TCustomFineCardList::SortCards(bool sorted) {
    const int n = cards_->Count();
    display_order_.resize(static_cast<std::size_t>(n));
    std::iota(display_order_.begin(), display_order_.end(), 0);
    if (!sorted) return;
    const TFineCardSortSettings& settings = *sort_settings_;
    const int key = settings.SortIndex();
    const TFineCardTemplateItems& items = template_->Items();
    switch (settings.SortType()) {
    case TSortType::stNone:
        return;
    case TSortType::stItem:
        if (key < 0 || key >= items.Count() || items.Items(key)->DataType() == TFineCardItemDataType::idtImage) return;
        break;
    case TSortType::stCaption:
    case TSortType::stCustom:
        break;
    }
    const ui::LocaleCollator collator(settings.CaseSensitive());
    // A card without the sort item (its row not yet made) sorts as an empty value.
    auto item_of = [&](TFineCard* card) -> const TFineCardItem* {
        return key < card->Items().Count() ? card->Items().Items(key) : nullptr;
    };
    // -1 when `a` sorts before `b`, 0 alike, 1 after; `res` is the previous result, which a
    // custom comparison receives and may keep.
    auto compare = [&](TFineCard* a, TFineCard* b, int res) {
        switch (settings.SortType()) {
        case TSortType::stNone:
            return 0;
        case TSortType::stCaption:
            return collator.Compare(a->Caption(), b->Caption());
        case TSortType::stCustom:
            if (OnCardCompare) OnCardCompare(this, a, b, res);
            return res;
        case TSortType::stItem:
            break;
        }
        const TFineCardItem* ia = item_of(a);
        const TFineCardItem* ib = item_of(b);
        if (ia == nullptr || ib == nullptr) return (ia != nullptr) - (ib != nullptr);
        switch (items.Items(key)->DataType()) {
        case TFineCardItemDataType::idtString:
            return collator.Compare(ia->AsString(), ib->AsString());
        case TFineCardItemDataType::idtFloat:
            return Sign(ia->AsFloat() - ib->AsFloat());
        case TFineCardItemDataType::idtInteger:
            return (ia->AsInteger() > ib->AsInteger()) - (ia->AsInteger() < ib->AsInteger());
        case TFineCardItemDataType::idtBoolean:
            return static_cast<int>(ia->AsBoolean()) - static_cast<int>(ib->AsBoolean());
        case TFineCardItemDataType::idtDate:
            return Sign(DayPart(ia->AsDate()) - DayPart(ib->AsDate()));
        case TFineCardItemDataType::idtTime:
            return Sign(TimePart(ia->AsTime()) - TimePart(ib->AsTime()));
        case TFineCardItemDataType::idtImage:
            return 0;
        }
        return 0;
    };
    // An exchange sort over positions; ties stay in the order the exchanges leave them.
    const bool ascending = settings.SortDirection() == TSortDirection::sdAscending;
    int res = 0;
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            auto& pi = display_order_[static_cast<std::size_t>(i)];
            auto& pj = display_order_[static_cast<std::size_t>(j)];
            res = compare(cards_->Items(pj), cards_->Items(pi), res);
            if (ascending ? res < 0 : res > 0) std::swap(pi, pj);
        }
    }
}

void TCustomFineCardList::ApplyFilter(bool filtered) {
    const int key = filter_settings_->FilterIndex();
    if (!filtered || key < 0 || key >= template_->Items().Count()) {
        for (int i = 0; i < cards_->Count(); ++i) {
            cards_->Items(i)->PassesFilter = true;
            cards_->LayoutCard(cards_->Items(i));
        }
        return;
    }
    // Deselecting a card must not refresh the list while the filter runs.
    ++update_count_;
    struct UpdateLowered {
        int& count;
        ~UpdateLowered() { --count; }
    } lowered{update_count_};
    const std::string condition = ui::AnsiUpperCase(filter_settings_->FilterCondition());
    for (int i = 0; i < cards_->Count(); ++i) {
        TFineCard* card = cards_->Items(i);
        const std::string text =
            key < card->Items().Count() ? ui::AnsiUpperCase(card->Items().Items(key)->AsString()) : std::string();
        // An empty condition is found in no text.
        card->PassesFilter = !condition.empty() && text.find(condition) != std::string::npos;
        cards_->LayoutCard(card);
        if (!card->PassesFilter && card->Selected()) card->SetSelected(false);
    }
}

}  // namespace cardlist
