#include <gtest/gtest.h>

#include "controls/cardlist/card_list.h"
#include "tests/cardlist/counted_object.h"
#include "tests/support/render.h"

namespace cardlist {
namespace {

using D = TFineCardItemDataType;

class CardsTest : public ::testing::Test {
protected:
    CardsTest() {
        test_support::EnsureApplication();
        list_ = std::make_unique<TFineCardList>(nullptr);
    }
    TFineCardTemplateItem* AddRow(const std::string& name, D type) {
        TFineCardTemplateItem* ti = list_->CardTemplate().Items().Add();
        ti->SetName(name);
        ti->SetDataType(type);
        return ti;
    }
    TFineCardItem* ItemOfType(D type) {
        list_->CardTemplate().Items().Clear();
        AddRow("V", type);
        return list_->Cards().Add()->Items().Items(0);
    }
    std::unique_ptr<TFineCardList> list_;
};

TEST_F(CardsTest, ReadingTextAs) {
    struct Row {
        std::string text;
        bool as_boolean;
        int as_integer;
        double as_float;
    };
    const std::vector<Row> rows = {
        {"false", false, 0, 0.0}, {"FALSE", false, 0, 0.0}, {"False", false, 0, 0.0}, {"no", true, 0, 0.0},
        {"", false, 0, 0.0},      {"12", true, 12, 12.0},   {"2.5", true, 0, 2.5},    {"abc", true, 0, 0.0},
    };
    TFineCardItem* item = ItemOfType(D::idtString);
    for (const Row& r : rows) {
        item->SetAsString(r.text);
        EXPECT_EQ(item->AsBoolean(), r.as_boolean) << "'" << r.text << "'";
        EXPECT_EQ(item->AsInteger(), r.as_integer) << "'" << r.text << "'";
        EXPECT_DOUBLE_EQ(item->AsFloat(), r.as_float) << "'" << r.text << "'";
    }
}

TEST_F(CardsTest, ReadingEachTypeAsTheOthers) {
    struct Row {
        D type;
        std::string as_string;
        int as_integer;
        bool as_boolean;
    };
    const std::vector<Row> rows = {
        {D::idtFloat, "2.5", 2, true},  // rounded half to even
        {D::idtInteger, "7", 7, true},        {D::idtBoolean, "True", 1, true},
        {D::idtDate, "01/01/1900", 2, false},  // day 2 after 30 Dec 1899; dates are never true
        {D::idtImage, "", 0, false},
    };
    for (const Row& r : rows) {
        TFineCardItem* item = ItemOfType(r.type);
        switch (r.type) {
        case D::idtFloat:
            item->SetAsFloat(2.5);
            break;
        case D::idtInteger:
            item->SetAsInteger(7);
            break;
        case D::idtBoolean:
            item->SetAsBoolean(true);
            break;
        case D::idtDate:
            item->SetAsDate(2.0);
            break;
        default:
            item->SetAsString("ignored");
            break;
        }
        EXPECT_EQ(item->AsString(), r.as_string) << DataTypeName(r.type);
        EXPECT_EQ(item->AsInteger(), r.as_integer) << DataTypeName(r.type);
        EXPECT_EQ(item->AsBoolean(), r.as_boolean) << DataTypeName(r.type);
    }
}

TEST_F(CardsTest, WritesNotifyByTheirRules) {
    TFineCardItem* item = ItemOfType(D::idtInteger);
    int changes = 0;
    list_->OnShowCardItem = [&](TCustomFineCardList*, int, int, bool&) { ++changes; };  // runs once per item change
    item->SetAsInteger(5);
    EXPECT_EQ(changes, 1);
    item->SetAsInteger(5);  // unchanged: quiet
    EXPECT_EQ(changes, 1);
    item->SetAsString("abc");  // does not convert: value kept, still notified
    EXPECT_EQ(item->AsInteger(), 5);
    EXPECT_EQ(changes, 2);
    TFineCardItem* date = ItemOfType(D::idtDate);
    changes = 0;
    date->SetAsBoolean(true);  // leaves the date, notifies anyway
    EXPECT_EQ(date->AsDate(), 0.0);
    EXPECT_EQ(changes, 1);
}

TEST_F(CardsTest, FixedHeightLayout) {
    TFineCardTemplate& t = list_->CardTemplate();
    for (int h : {22, 30, 40}) {
        TFineCardTemplateItem* ti = t.Items().Add();
        ti->SetAutoSize(false);
        ti->SetHeight(h);
    }
    TFineCard* card = list_->Cards().Add();
    EXPECT_EQ(card->CardHeight, 144);
    EXPECT_EQ(card->CardRect, (ui::TRect{0, 0, 200, 144}));
    EXPECT_EQ(card->Items().Items(0)->LabelCardRect, ui::Bounds(10, 32, 100, 22));
    EXPECT_EQ(card->Items().Items(0)->ValueCardRect, ui::Bounds(115, 32, 75, 22));
    EXPECT_EQ(card->Items().Items(2)->ValueCardRect, ui::Bounds(115, 94, 75, 40));
    card->Items().Items(0)->Hidden = true;
    list_->Cards().LayoutCard(card);
    EXPECT_EQ(card->CardHeight, 122);
    EXPECT_EQ(card->Items().Items(1)->LabelCardRect.Top, 37);  // item 1 still adds its spacing
}

TEST_F(CardsTest, HideConditionsAndAddVersusInsert) {
    TFineCardTemplateItem* ti = AddRow("Text", D::idtString);
    ti->SetHideStringCondition(TFineCardStringHideCondition::shcEmpty);
    TFineCard* added = list_->Cards().Add();
    EXPECT_TRUE(added->Items().Items(0)->Hidden);
    TFineCard* inserted = list_->Cards().Insert(0);
    EXPECT_FALSE(inserted->Items().Items(0)->Hidden);  // Insert does not evaluate
    added->Items().Items(0)->SetAsString("x");
    EXPECT_FALSE(added->Items().Items(0)->Hidden);
    ti->SetHideStringCondition(TFineCardStringHideCondition::shcNotEmpty);
    EXPECT_TRUE(added->Items().Items(0)->Hidden);
    EXPECT_FALSE(inserted->Items().Items(0)->Hidden);

    TFineCardTemplateItem* pic = AddRow("Picture", D::idtImage);
    pic->SetHidePictureCondition(TFineCardPictureHideCondition::phcEmpty);
    EXPECT_TRUE(added->Items().ItemByName("Picture")->Hidden);
    pic->SetHidePictureCondition(TFineCardPictureHideCondition::phcNotEmpty);
    EXPECT_FALSE(added->Items().ItemByName("Picture")->Hidden);
    EXPECT_EQ(added->Items().ItemByName("picture"), nullptr);
}

TEST_F(CardsTest, ItemListRefusesOutsideEdits) {
    AddRow("A", D::idtString);
    TFineCard* card = list_->Cards().Add();
    struct Op {
        const char* name;
        std::function<void()> run;
    };
    const std::vector<Op> ops = {
        {"Add", [&] { card->Items().Add(); }},
        {"Insert", [&] { card->Items().Insert(0); }},
        {"Delete", [&] { card->Items().Delete(0); }},
        {"Clear", [&] { card->Items().Clear(); }},
        {"BeginUpdate", [&] { card->Items().BeginUpdate(); }},
        {"EndUpdate", [&] { card->Items().EndUpdate(); }},
    };
    for (const Op& op : ops) {
        try {
            op.run();
            ADD_FAILURE() << op.name << " allowed";
        } catch (const ECardItemListError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("''") + op.name + "'' operation is not allowed");
        }
        EXPECT_EQ(card->Items().Count(), 1);
    }
}

TEST_F(CardsTest, SelectedItemFollowsItemIndex) {
    for (const char* n : {"A", "B", "C"}) AddRow(n, D::idtString);
    TFineCard* card = list_->Cards().Add();
    card->SetSelected(true);
    card->SetItemIndex(0);
    EXPECT_TRUE(card->Items().Items(0)->Selected);
    card->SetItemIndex(2);
    EXPECT_FALSE(card->Items().Items(0)->Selected);
    EXPECT_TRUE(card->Items().Items(2)->Selected);
    card->SetItemIndex(3);  // past the end: ignored
    EXPECT_EQ(card->ItemIndex(), 2);
}

using testing::Counted;

TEST_F(CardsTest, AssignMovesTheAttachedObjectWithItsOwnership) {
    AddRow("A", D::idtString);
    int ends = 0;
    {
        TFineCard* a = list_->Cards().Add();
        TFineCard* b = list_->Cards().Add();
        TFineCardItem* source = a->Items().Items(0);
        source->SetItemObject(new Counted(ends));
        source->SetOwnsItemObject(true);
        source->SetAsString("v");
        b->Items().Items(0)->Assign(source);
        EXPECT_EQ(b->Items().Items(0)->ItemObject(), source->ItemObject());
        EXPECT_TRUE(b->Items().Items(0)->OwnsItemObject());
        EXPECT_FALSE(source->OwnsItemObject());
        EXPECT_EQ(b->Items().Items(0)->AsString(), "v");
        list_->Cards().Clear();
    }
    EXPECT_EQ(ends, 1);
}

TEST_F(CardsTest, SwappingRowNamesKeepsEachValueWithItsName) {
    AddRow("A", D::idtString);
    AddRow("B", D::idtString);
    TFineCard* card = list_->Cards().Add();
    card->Items().ItemByName("A")->SetAsString("a");
    card->Items().ItemByName("B")->SetAsString("b");
    TFineCardTemplateItems& rows = list_->CardTemplate().Items();
    rows.Items(0)->SetName("T");
    rows.Items(1)->SetName("A");
    rows.Items(0)->SetName("B");
    list_->Cards().SyncItems(nullptr);
    ASSERT_EQ(card->Items().Count(), 2);
    EXPECT_EQ(card->Items().Items(0)->Name(), "B");
    EXPECT_EQ(card->Items().Items(0)->AsString(), "a");
    EXPECT_EQ(card->Items().Items(1)->Name(), "A");
    EXPECT_EQ(card->Items().Items(1)->AsString(), "b");
}

}  // namespace
}  // namespace cardlist
