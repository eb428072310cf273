// Sorting and filtering of the card list: exact display orders with ties for every sort type,
// the filter's locale-aware containment test, and what either does to the selection and the
// collection.
#include <gtest/gtest.h>

#include <QLocale>
#include <memory>
#include <string>
#include <vector>

#include "controls/cardlist/card_list.h"
#include "tests/support/render.h"

namespace cardlist {
namespace {

using D = TFineCardItemDataType;

// The template rows every card of these tests has, by index.
enum Row { kText, kInteger, kFloat, kBoolean, kDate, kTime, kPicture, kRows };

// One card's caption and values.
struct CardValues {
    std::string caption = {};
    std::string text = {};
    int integer = 0;
    double number = 0;
    bool flag = false;
    double date = 0;
    double time = 0;
};

class CardOrder : public ::testing::Test {
protected:
    CardOrder() : saved_locale_(QLocale()) {
        test_support::EnsureApplication();
        // The collation of one known locale, so that the expected orders hold on any machine.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        list_ = std::make_unique<TFineCardList>(nullptr);
        const D types[kRows] = {D::idtString, D::idtInteger, D::idtFloat, D::idtBoolean,
                                D::idtDate,   D::idtTime,    D::idtImage};
        for (D type : types) list_->CardTemplate().Items().Add()->SetDataType(type);
    }
    ~CardOrder() override {
        list_.reset();
        QLocale::setDefault(saved_locale_);
    }

    void Fill(const std::vector<CardValues>& cards) {
        list_->BeginUpdate();
        for (const CardValues& v : cards) {
            TFineCard* card = list_->Cards().Add();
            card->SetCaption(v.caption);
            card->Items().Items(kText)->SetAsString(v.text);
            card->Items().Items(kInteger)->SetAsInteger(v.integer);
            card->Items().Items(kFloat)->SetAsFloat(v.number);
            card->Items().Items(kBoolean)->SetAsBoolean(v.flag);
            card->Items().Items(kDate)->SetAsDate(v.date);
            card->Items().Items(kTime)->SetAsTime(v.time);
        }
        list_->EndUpdate();
    }

    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (int i = 0; i < list_->Cards().Count(); ++i) out.push_back(list_->Cards().Items(i)->Caption());
        return out;
    }
    std::vector<int> Shown() const {
        std::vector<int> out;
        for (int i = 0; i < list_->Cards().Count(); ++i) {
            if (list_->Cards().Items(i)->Shown()) out.push_back(i);
        }
        return out;
    }

    QLocale saved_locale_;
    std::unique_ptr<TFineCardList> list_;
};

TEST_F(CardOrder, ExactOrdersWithTiesForEverySortType) {
    // Ties are on purpose: the exchange sort leaves equal cards in an order of its own.
    Fill({
        {"banana", "banana", 3, 2.5, true, 45000.75, 1.5},
        {"Apple", "Apple", 1, -1.0, false, 45000.25, 0.25},
        {"apple", "apple", 2, 2.5, true, 44999.9, 2.25},
        {"cherry", "cherry", 1, 0.25, false, 45001.0, 0.75},
        {"Banana", "Banana", 5, 9.0, true, 45002.0, 0.9},
    });
    const std::vector<std::string> collection = Captions();
    struct Case {
        const char* name;
        TSortType type;
        int index;
        TSortDirection direction;
        bool case_sensitive;
        std::vector<int> order;
    };
    const auto asc = TSortDirection::sdAscending;
    const auto desc = TSortDirection::sdDescending;
    const Case cases[] = {
        {"none", TSortType::stNone, 0, asc, false, {0, 1, 2, 3, 4}},
        // Case-insensitive: "Apple" and "apple", "banana" and "Banana" are ties.
        {"caption", TSortType::stCaption, 0, asc, false, {1, 2, 0, 4, 3}},
        {"caption descending", TSortType::stCaption, 0, desc, false, {3, 0, 4, 1, 2}},
        // The locale's case-sensitive order puts lower case first within a letter.
        {"caption case-sensitive", TSortType::stCaption, 0, asc, true, {2, 1, 0, 4, 3}},
        {"text item", TSortType::stItem, kText, asc, false, {1, 2, 0, 4, 3}},
        {"integer item", TSortType::stItem, kInteger, asc, false, {1, 3, 2, 0, 4}},
        {"integer item descending", TSortType::stItem, kInteger, desc, false, {4, 0, 2, 3, 1}},
        {"float item", TSortType::stItem, kFloat, asc, false, {1, 3, 2, 0, 4}},
        {"boolean item", TSortType::stItem, kBoolean, asc, false, {1, 3, 2, 0, 4}},
        // Only the whole days count: the first two cards share a day.
        {"date item", TSortType::stItem, kDate, asc, false, {2, 1, 0, 3, 4}},
        // Only the time of day counts: 0.25 and 2.25 are the same time.
        {"time item", TSortType::stItem, kTime, asc, false, {1, 2, 0, 3, 4}},
        {"picture item", TSortType::stItem, kPicture, asc, false, {0, 1, 2, 3, 4}},
        {"no such item", TSortType::stItem, -1, asc, false, {0, 1, 2, 3, 4}},
        {"custom without a handler", TSortType::stCustom, 0, asc, false, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list_->SortSettings().SetSortType(TSortType::stNone);
        list_->SortSettings().SetSortIndex(c.index);
        list_->SortSettings().SetSortDirection(c.direction);
        list_->SortSettings().SetCaseSensitive(c.case_sensitive);
        list_->SortSettings().SetSortType(c.type);
        EXPECT_EQ(list_->DisplayOrder(), c.order);
        EXPECT_EQ(Captions(), collection);  // the collection keeps its order
        // The layout follows the display order: its first card opens the first column.
        const TFineCard* first = list_->Cards().Items(c.order.front());
        EXPECT_EQ(first->ColumnIndex, 1);
        EXPECT_EQ(first->ListRect.Top, list_->CardVertSpacing());
    }
    // Sorting off gives the collection order whatever the settings say.
    list_->SetSorted(false);
    EXPECT_EQ(list_->DisplayOrder(), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(CardOrder, CustomComparisonGetsThePreviousResultAndDecides) {
    Fill({{"ccc"}, {"a"}, {"bb"}, {"dddd"}});
    std::vector<int> seen;
    list_->OnCardCompare = [&](TCustomFineCardList*, TFineCard* a, TFineCard* b, int& res) {
        seen.push_back(res);
        const auto la = a->Caption().size();
        const auto lb = b->Caption().size();
        res = (la > lb) - (la < lb);
    };
    list_->SortSettings().SetSortType(TSortType::stCustom);
    EXPECT_EQ(list_->DisplayOrder(), (std::vector<int>{1, 2, 0, 3}));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0);  // the first comparison starts from 0
    EXPECT_EQ(seen[1], -1);      // then each one receives the result before it ("a" < "ccc")
}

TEST_F(CardOrder, FilterIsALocaleAwareContainmentTest) {
    Fill({{"1", "Mars"}, {"2", "ARCH"}, {"3", "Venus"}, {"4", "Straße"}, {"5", "café"}, {"6", "Pluto"}});
    list_->FilterSettings().SetFilterIndex(kText);
    list_->FilterSettings().SetFilterCondition("ar");
    list_->SetFiltered(true);
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1}));
    struct Case {
        const char* condition;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {"AR", {0, 1}}, {"ss", {3}},            // upper-cased, the sharp s is "SS"
        {"É", {4}},                             // accented letters change case too
        {"us", {2}},    {"xyz", {}}, {"", {}},  // an empty condition is found in no text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.condition);
        list_->FilterSettings().SetFilterCondition(c.condition);
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(static_cast<int>(list_->ViewCards().size()), static_cast<int>(c.shown.size()));
    }
    // An empty condition hides every card: nothing is laid out.
    EXPECT_EQ(list_->LayoutState().column_count, 0);
    // A filter row that is not a template row filters nothing.
    list_->FilterSettings().SetFilterIndex(kRows);
    EXPECT_EQ(Shown().size(), 6u);
    list_->FilterSettings().SetFilterIndex(kText);
    list_->FilterSettings().SetFilterCondition("ar");
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1}));
    list_->SetFiltered(false);
    EXPECT_EQ(Shown().size(), 6u);
    EXPECT_EQ(list_->DisplayOrder().size(), 6u);
}

TEST_F(CardOrder, AtDesignTimeNoPassSortsOrFilters) {
    list_->SetDesigning(true);
    list_->SortSettings().SetSortType(TSortType::stCaption);
    list_->SortSettings().SetSortDirection(TSortDirection::sdDescending);
    list_->FilterSettings().SetFilterIndex(kText);
    list_->FilterSettings().SetFilterCondition("xyz");
    list_->SetFiltered(true);
    ASSERT_TRUE(list_->Sorted());
    Fill({{"a"}, {"b"}, {"c"}});
    EXPECT_EQ(list_->DisplayOrder(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2}));
    // Laid out while an update is open (as a resize does), the new card's order is rebuilt
    // without sorting too.
    list_->BeginUpdate();
    list_->Cards().Add()->SetCaption("d");
    list_->ArrangeCards(true);
    EXPECT_EQ(list_->DisplayOrder(), (std::vector<int>{0, 1, 2, 3}));
    list_->EndUpdate();
    EXPECT_EQ(list_->DisplayOrder(), (std::vector<int>{0, 1, 2, 3}));
    // At run time the same list sorts.
    list_->SetDesigning(false);
    list_->RefreshList(kSortRefresh);
    EXPECT_EQ(list_->DisplayOrder(), (std::vector<int>{3, 2, 1, 0}));
}

TEST_F(CardOrder, ACardTheFilterHidesIsDeselectedAndStaysSo) {
    Fill({{"1", "Mars"}, {"2", "Venus"}, {"3", "ARCH"}});
    list_->SelectCardIndex(1);
    ASSERT_EQ(list_->SelectedCard(), list_->Cards().Items(1));
    list_->FilterSettings().SetFilterIndex(kText);
    list_->FilterSettings().SetFilterCondition("ar");
    list_->SetFiltered(true);
    EXPECT_FALSE(list_->Cards().Items(1)->Selected());
    EXPECT_EQ(list_->SelectedCard(), nullptr);
    EXPECT_EQ(list_->SelectedCardIndex(), -1);
    EXPECT_EQ(list_->SelectedCount(), 0);
    // A card that passes keeps its selection.
    list_->SelectCardIndex(2);
    list_->FilterSettings().SetFilterCondition("a");
    EXPECT_EQ(list_->SelectedCard(), list_->Cards().Items(2));
    list_->SetFiltered(false);
    EXPECT_FALSE(list_->Cards().Items(1)->Selected());
    EXPECT_TRUE(list_->Cards().Items(1)->Shown());
}

}  // namespace
}  // namespace cardlist
