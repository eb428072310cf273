// A card list laid out by the real measuring and the column layout, painted into a bitmap by
// the card painter: the standard fixture of the layout and painting tests.
#pragma once

#include <memory>
#include <string>

#include "controls/cardlist/card_layout.h"
#include "controls/cardlist/card_list.h"
#include "controls/cardlist/card_list_view.h"
#include "controls/cardlist/card_painting.h"
#include "platform/ui/graphics/bitmap.h"
#include "tests/support/render.h"

namespace cardlist::testing {

// Makes sure the application object exists before the list's widget is created.
struct ApplicationReady {
    ApplicationReady() { test_support::EnsureApplication(); }
};

class ListFixture : private ApplicationReady {
public:
    // `cards` cards with one template item of height 20 (no auto size) in a 280 x 320 list.
    explicit ListFixture(int cards, int width = 280, int height = 320) {
        list.SetBounds(0, 0, width, height);
        item = list.CardTemplate().Items().Add();
        item->SetAutoSize(false);
        item->SetHeight(20);
        item->SetCaption("Name");
        for (int i = 0; i < cards; ++i) list.Cards().Add()->SetCaption("Card " + std::to_string(i));
        Arrange();
    }

    void Arrange() {
        list.Cards().LayoutCard(nullptr);
        list.Cards().ApplyCardAppearance(nullptr);
        layout.metrics = LayoutMetricsOf(list, kBar);
        layout.ArrangeCards(view, true);
    }

    // The list painted for `exposed` onto `into` (a bitmap of the list's size).
    void PaintInto(ui::TBitmap& into, const ui::TRect& exposed) {
        settings = PaintSettingsOf(list, layout.state, pictures);
        settings.focused = focused;
        const CardPainter painter(settings, list.Cards());
        ui::TRect client{0, 0, list.Width(), list.Height()};
        if (layout.state.bar.visible) client.Bottom -= kBar;
        painter.Paint(into.Canvas(), client, layout.state.view_cards, exposed);
    }

    std::unique_ptr<ui::TBitmap> Render() {
        auto bmp = std::make_unique<ui::TBitmap>();
        bmp->SetSize(list.Width(), list.Height());
        PaintInto(*bmp, ui::TRect{0, 0, list.Width(), list.Height()});
        return bmp;
    }

    TFineCard& Card(int i) { return *list.Cards().Items(i); }

    static constexpr int kBar = 17;
    TFineCardList list{nullptr};
    TFineCardTemplateItem* item = nullptr;
    CardListLayoutCards view{list};
    CardLayout layout;
    CardListPictures pictures;
    CardListPaintSettings settings;
    bool focused = false;
};

}  // namespace cardlist::testing
