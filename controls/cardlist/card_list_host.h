// The card list as its cards and its template see it. The model (cards.cpp, card_template.cpp)
// never includes the control: what it needs of the list that shows it (its state and looks,
// measuring text and rating pictures, the user's say through the list's events, a refresh or a
// repaint) and what it tells the list (a card selected, changed, leaving) go through
// CardListHost. TCustomFineCardList is its one implementation; a test may give the cards another.
#pragma once

#include <string>

#include "controls/cardlist/card_settings.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/graphics.h"

namespace cardlist {

class TFineCard;
class TFineCardItem;
class TFineCardTemplate;
class TFineCardTemplateItem;

// The steps of one refresh of the list; RefreshList runs those chosen in the order sort,
// filter, measure, arrange.
struct RefreshSteps {
    bool measure = false;
    bool arrange = false;
    bool filter = false;
    bool sort = false;
};
// Places the cards again (after a property or look change).
inline constexpr RefreshSteps kRearrange{.arrange = true};
// Measures every card again and places them (after a template change).
inline constexpr RefreshSteps kRemeasure{.measure = true, .arrange = true};
// Filters and places the cards again (the filter settings changed).
inline constexpr RefreshSteps kFilterRefresh{.arrange = true, .filter = true};
// Sorts and places the cards again (the sort settings changed).
inline constexpr RefreshSteps kSortRefresh{.arrange = true, .sort = true};
// Sorts, filters and places the cards (the card collection changed).
inline constexpr RefreshSteps kCollectionRefresh{.arrange = true, .filter = true, .sort = true};
// Every step (an update ended).
inline constexpr RefreshSteps kFullRefresh{.measure = true, .arrange = true, .filter = true, .sort = true};

class CardListHost {
public:
    // --- the list's state and looks ---
    // The list is being designed on a form: values show as they are, rows are not hidden.
    virtual bool DesignTime() const = 0;
    // The list's form is being read: an editor is taken as stored, without the fit check.
    virtual bool FormLoading() const = 0;
    virtual const TFineCardTemplate& CardTemplate() const = 0;
    // The list's appearance for a card state.
    virtual const TFineCardAppearance& StateAppearance(TCardState state) const = 0;

    // --- measuring (LayoutCard, the rating pictures' places) ---
    // The height of `text` in `font`; with wordWrap, wrapped to `width` pixels.
    virtual int MeasureTextHeight(const ui::TFont& font, const std::string& text, int width, bool wordWrap) = 0;
    // The cell one rating picture takes.
    virtual ui::TSize RatingPictureSize() const = 0;
    // Both rating pictures hold a graphic: rating items are measured by them.
    virtual bool RatingPicturesLoaded() const = 0;
    virtual int CardHorSpacing() const = 0;

    // --- the user's say, through the list's events ---
    // OnCardAppearance: the user may change the appearance the card just took for `state`.
    virtual void DoCardAppearance(TFineCard* card, TCardState state, TFineCardAppearance* appearance) = 0;
    // OnShowCardItem: the user may change whether the item is shown.
    virtual void DoShowCardItem(int cardIndex, int itemIndex, bool& shown) = 0;

    // --- asking for layout and paint ---
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual void RefreshList(const RefreshSteps& steps) = 0;
    virtual void RequestPaint() = 0;
    // The template's geometry changed: the column width follows, every card is measured again.
    virtual void TemplateChanged() = 0;
    // A template item's look or content changed.
    virtual void TemplateItemChanged(TFineCardTemplateItem* item) = 0;

    // --- what happened to the cards ---
    // The caption (item nullptr) or an item value (valueChanged) of a card changed.
    virtual void CardChanged(TFineCard* card, TFineCardItem* item, bool valueChanged) = 0;
    // A card's selection or selected item changed.
    virtual void SelectionChanged() = 0;
    virtual void CardSelected(TFineCard* card) = 0;
    virtual void CardDeselected(TFineCard* card) = 0;
    // Cards were added, removed or moved.
    virtual void CardsChanged() = 0;
    // A card is about to leave the collection, still whole and at its index.
    virtual void CardLeaving(TFineCard* card) = 0;
    // A card left the collection (only its address is used).
    virtual void CardRemoved(const void* card) = 0;
    // The cards are about to be cleared: the list forgets the cards in view.
    virtual void ClearViewCards() = 0;

protected:
    ~CardListHost() = default;
};

}  // namespace cardlist
