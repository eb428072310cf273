// A stand-in for the list that shows the cards: it owns a template and the cards, measures text
// by a rule the tests can compute (10 pixels plus 1 per character, 100 more when wrapped), and
// records what the cards measured and asked of it. No control, no fonts.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "controls/cardlist/card_list_host.h"
#include "controls/cardlist/card_template.h"
#include "controls/cardlist/cards.h"

namespace cardlist::testing {

class FakeCardListHost final : public CardListHost {
public:
    struct Measured {
        std::string text;
        int width;
        bool word_wrap;
    };

    FakeCardListHost() { card_template.Items().SetCards(&cards); }
    ~FakeCardListHost() { card_template.Items().SetCards(nullptr); }
    FakeCardListHost(const FakeCardListHost&) = delete;
    FakeCardListHost& operator=(const FakeCardListHost&) = delete;

    static int HeightOf(const std::string& text, bool wordWrap) {
        return 10 + static_cast<int>(text.size()) + (wordWrap ? 100 : 0);
    }

    bool DesignTime() const override { return design_time; }
    bool FormLoading() const override { return false; }
    const TFineCardTemplate& CardTemplate() const override { return card_template; }
    const TFineCardAppearance& StateAppearance(TCardState state) const override {
        return appearances[static_cast<std::size_t>(state)];
    }
    int MeasureTextHeight(const ui::TFont&, const std::string& text, int width, bool wordWrap) override {
        measured.push_back({text, width, wordWrap});
        return HeightOf(text, wordWrap);
    }
    ui::TSize RatingPictureSize() const override { return rating_cell; }
    bool RatingPicturesLoaded() const override { return rating_cell.cx > 0; }
    int CardHorSpacing() const override { return 20; }
    void DoCardAppearance(TFineCard*, TCardState state, TFineCardAppearance*) override { states.push_back(state); }
    void DoShowCardItem(int, int itemIndex, bool& shown) override {
        if (itemIndex == hidden_by_user) shown = false;
    }
    void BeginUpdate() override {}
    void EndUpdate() override {}
    void RefreshList(const RefreshSteps&) override {}
    void RequestPaint() override {}
    void TemplateChanged() override {}
    void TemplateItemChanged(TFineCardTemplateItem*) override {}
    void CardChanged(TFineCard*, TFineCardItem*, bool) override {}
    void SelectionChanged() override {}
    void CardSelected(TFineCard*) override {}
    void CardDeselected(TFineCard*) override {}
    void CardsChanged() override {}
    void CardLeaving(TFineCard*) override {}
    void CardRemoved(const void*) override {}
    void ClearViewCards() override {}

    bool design_time = false;
    ui::TSize rating_cell{0, 0};  // 0 x 0: no rating pictures loaded
    int hidden_by_user = -1;      // the item index the OnShowCardItem stand-in hides
    std::vector<Measured> measured;
    std::vector<TCardState> states;  // the states handed to the OnCardAppearance stand-in
    std::array<TFineCardAppearance, 4> appearances;
    TFineCardTemplate card_template{this, ui::ItemClass<TFineCardTemplateItem>()};
    TFineCards cards{this};
};

}  // namespace cardlist::testing
