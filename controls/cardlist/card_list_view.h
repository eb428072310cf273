// The card list as the layout and the painter see it: the layout's per-card access over the
// list's cards (bounds, columns, client rectangles) and the painting settings taken from the
// list's properties. The list calls these from its layout and paint paths.
#pragma once

#include <vector>

#include "controls/cardlist/card_layout.h"
#include "controls/cardlist/card_list.h"
#include "controls/cardlist/card_painting.h"

namespace cardlist {

class CardListLayoutCards final : public CardLayoutCards {
public:
    explicit CardListLayoutCards(TCustomFineCardList& list) : list_(list) {}

    int Count() const override;
    const std::vector<int>& DisplayOrder() const override;
    bool Shown(int card) const override;
    int Height(int card) const override;
    ui::TRect Bounds(int card) const override;
    int Column(int card) const override;
    int Row(int card) const override;
    int CaptionRight(int card) const override;
    void Place(int card, const ui::TRect& bounds, int column, int row) override;
    void Move(int card, int dx, int dy) override;

private:
    // Items that get client rectangles: their template item is visible and they are not hidden.
    bool ItemPlaced(const TFineCard& card, int item) const;

    TCustomFineCardList& list_;
    mutable std::vector<int> order_;  // collection order when the list has no display order yet
};

// Layout metrics of the list at its current size and settings.
CardLayoutMetrics LayoutMetricsOf(TCustomFineCardList& list, int bar_thickness);

// The pictures the painter draws with that the list itself does not keep.
struct CardListPictures {
    CardListPictures();
    ui::TBitmap checked;
    ui::TBitmap unchecked;
};

// Painting settings from the list's properties; `state` gives the columns and the offset.
CardListPaintSettings PaintSettingsOf(TCustomFineCardList& list, const CardLayoutState& state,
                                      const CardListPictures& pictures);

}  // namespace cardlist
