// The cards and the template against a stand-in for their list: what they measure, which
// appearance they take and which items they hide is decided through CardListHost alone.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/cardlist/fake_card_list_host.h"

namespace cardlist {
namespace {

using testing::FakeCardListHost;
using D = TFineCardItemDataType;

TFineCardTemplateItem* AddRow(FakeCardListHost& host, const std::string& name, D type) {
    TFineCardTemplateItem* ti = host.card_template.Items().Add();
    ti->SetName(name);
    ti->SetDataType(type);
    return ti;
}

TEST(CardsThroughTheirHost, AutoSizedRowsAreMeasuredThroughTheHost) {
    FakeCardListHost host;
    host.rating_cell = ui::TSize{15, 12};
    // With the default geometry the label column is 100 wide, the value column 75.
    TFineCardTemplateItem* name = AddRow(host, "Name", D::idtString);
    name->SetCaption("Name");
    name->SetPrefix("<");
    name->SetSuffix(">");
    AddRow(host, "Notes", D::idtString)->SetWordWrap(true);
    TFineCardTemplateItem* stars = AddRow(host, "Stars", D::idtInteger);
    stars->SetItemEditor(TFineCardItemEditor::ieRating);
    stars->SetRatingCount(7);
    AddRow(host, "Value", D::idtString)->SetItemType(TFineCardItemType::itItem);
    TFineCardTemplateItem* fixed = AddRow(host, "Fixed", D::idtString);
    fixed->SetAutoSize(false);
    fixed->SetHeight(30);
    TFineCard* card = host.cards.Add();
    card->Items().ItemByName("Name")->SetAsString("hello");
    card->Items().ItemByName("Value")->SetAsString("x");

    host.measured.clear();
    host.cards.LayoutCard(card);

    struct Row {
        const char* name;
        int top, label_width, value_left, value_width, height;
    };
    const std::vector<Row> rows = {
        {"Name", 32, 100, 115, 75, 17},    // caption 14, value "<hello>" 17
        {"Notes", 54, 100, 115, 75, 66},   // wrapped "A" 111, cut at MaxHeight 66
        {"Stars", 125, 100, 115, 75, 24},  // 5 pictures a row: 2 rows of 12
        {"Value", 154, 0, 10, 180, 11},    // no label: its caption is not measured
        {"Fixed", 170, 100, 115, 75, 30},  // not auto-sized: its Height
    };
    for (const Row& r : rows) {
        const TFineCardItem& item = *card->Items().ItemByName(r.name);
        EXPECT_EQ(item.LabelCardRect, ui::Bounds(10, r.top, r.label_width, r.height)) << r.name;
        EXPECT_EQ(item.ValueCardRect, ui::Bounds(r.value_left, r.top, r.value_width, r.height)) << r.name;
    }
    EXPECT_EQ(card->CardHeight, 210);
    EXPECT_EQ(card->CardRect, (ui::TRect{0, 0, 200, 210}));

    const std::vector<std::tuple<std::string, int, bool>> expected = {
        {"Name", 0, false}, {"<hello>", 75, false}, {"A", 0, false},
        {"A", 75, true},    {"A", 0, false},        {"x", 180, false},
    };
    ASSERT_EQ(host.measured.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(host.measured[i].text, std::get<0>(expected[i])) << i;
        EXPECT_EQ(host.measured[i].width, std::get<1>(expected[i])) << i;
        EXPECT_EQ(host.measured[i].word_wrap, std::get<2>(expected[i])) << i;
    }
}

TEST(CardsThroughTheirHost, ACardTakesItsFirstEnabledStateAndTheUserSeesIt) {
    using S = TCardState;
    struct Case {
        bool editing, selected, hovered;
        S disabled;  // the one state whose appearance is off (csNormal: none, it is used anyway)
        S expected;
    };
    const std::vector<Case> cases = {
        {false, false, false, S::csNormal, S::csNormal},  {false, false, true, S::csNormal, S::csHover},
        {false, true, true, S::csNormal, S::csSelected},  {true, true, true, S::csNormal, S::csEditing},
        {true, true, false, S::csEditing, S::csSelected}, {false, false, true, S::csHover, S::csNormal},
        {false, true, false, S::csSelected, S::csNormal},
    };
    for (const Case& c : cases) {
        FakeCardListHost host;
        for (int s = 0; s < 4; ++s) host.appearances[static_cast<std::size_t>(s)].SetBorderColor(0x100 + s);
        if (c.disabled != S::csNormal) host.appearances[static_cast<std::size_t>(c.disabled)].SetEnabled(false);
        TFineCard* card = host.cards.Add();
        card->Editing = c.editing;
        card->Hovered = c.hovered;
        card->SetSelected(c.selected);
        host.states.clear();
        host.cards.ApplyCardAppearance(card);
        const int expected = static_cast<int>(c.expected);
        EXPECT_EQ(card->Appearance().BorderColor(), static_cast<TColor>(0x100 + expected)) << "case " << &c - &cases[0];
        EXPECT_EQ(host.states, std::vector<S>{c.expected}) << "case " << &c - &cases[0];
    }
}

TEST(CardsThroughTheirHost, TheUserHidesAnItemExceptAtDesignTime) {
    for (bool design_time : {false, true}) {
        FakeCardListHost host;
        host.design_time = design_time;
        host.hidden_by_user = 1;
        AddRow(host, "A", D::idtString);
        AddRow(host, "B", D::idtString);
        TFineCard* card = host.cards.Add();
        EXPECT_FALSE(card->Items().Items(0)->Hidden);
        EXPECT_EQ(card->Items().Items(1)->Hidden, !design_time) << "design time " << design_time;
        EXPECT_EQ(host.cards.EvaluateItemVisibility(card, 1), false);
    }
}

}  // namespace
}  // namespace cardlist
