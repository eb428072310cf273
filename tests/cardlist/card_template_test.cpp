#include <gtest/gtest.h>

#include "controls/cardlist/card_list.h"
#include "tests/support/render.h"

namespace cardlist {
namespace {

using E = TFineCardItemEditor;
using D = TFineCardItemDataType;

TEST(CardTemplate, EditorDataTypeCompatibility) {
    // One row per editor: the data types it may edit (S F I B D T P).
    struct Row {
        E editor;
        const char* accepted;  // "x" refused, "." accepted
    };
    const std::vector<Row> table = {
        {E::ieText, "...x..x"},    {E::ieNumber, "...xxxx"},       {E::ieFloat, "...xxxx"},
        {E::ieBoolean, "xxx.xxx"}, {E::ieDropDownList, "......x"}, {E::ieDropDownEdit, "......x"},
        {E::ieDate, ".xxx.xx"},    {E::ieTime, ".xxxx.x"},         {E::iePictureDialog, "xxxxxx."},
        {E::ieCustom, "......."},  {E::ieRating, "...xxxx"},
    };
    ASSERT_EQ(table.size(), 11u);
    for (const Row& row : table) {
        for (int t = 0; t < 7; ++t) {
            const auto type = static_cast<D>(t);
            TFineCardTemplateItem item(nullptr);
            item.SetDataType(type);
            const bool refused = row.accepted[t] == 'x';
            EXPECT_EQ(EditorFitsDataType(row.editor, type), !refused)
                << EditorName(row.editor) << "/" << DataTypeName(type);
            const E before = item.ItemEditor();
            if (before == row.editor) continue;  // the type's own editor: nothing to check
            if (refused) {
                try {
                    item.SetItemEditor(row.editor);
                    ADD_FAILURE() << "accepted " << EditorName(row.editor) << " for " << DataTypeName(type);
                } catch (const ECardTemplateError& e) {
                    EXPECT_EQ(std::string(e.what()), "Can not assign " + EditorName(row.editor) + " editor for " +
                                                         DataTypeName(type) + " data type");
                }
                EXPECT_EQ(item.ItemEditor(), before);
            } else {
                item.SetItemEditor(row.editor);
                EXPECT_EQ(item.ItemEditor(), row.editor);
            }
        }
    }
}

TEST(CardTemplate, DataTypeSwitchesToItsEditor) {
    TFineCardTemplateItem item(nullptr);
    item.SetDataType(D::idtImage);
    EXPECT_EQ(item.ItemEditor(), E::iePictureDialog);
    EXPECT_THROW(item.SetItemEditor(E::ieText), ECardTemplateError);
    item.SetDataType(D::idtInteger);
    EXPECT_EQ(item.ItemEditor(), E::ieNumber);
}

TEST(CardTemplate, HeightAndMaxHeightRules) {
    TFineCardTemplateItem item(nullptr);
    item.SetHeight(100);
    EXPECT_EQ(item.Height(), 66);
    item.SetMaxHeight(0);
    item.SetHeight(100);
    EXPECT_EQ(item.Height(), 100);
    item.SetMaxHeight(-3);
    EXPECT_EQ(item.MaxHeight(), 0);
    item.SetMaxHeight(50);
    EXPECT_EQ(item.Height(), 50);
    item.SetHeight(-7);
    EXPECT_EQ(item.Height(), 0);
}

TEST(CardTemplate, AssignCopiesEveryValidProgressPair) {
    // Each source pair is valid; copying must not depend on the target's earlier pair.
    const std::vector<std::pair<int, int>> pairs = {{200, 300}, {-50, -10}, {0, 100}, {99, 100}, {-1000, 1000}};
    for (const auto& [min, max] : pairs) {
        TFineCardTemplateItem source(nullptr), target(nullptr);
        source.SetProgressMax(max);
        source.SetProgressMin(min);
        source.SetProgressMax(max);
        ASSERT_EQ(source.ProgressMin(), min);
        ASSERT_EQ(source.ProgressMax(), max);
        target.Assign(&source);
        EXPECT_EQ(target.ProgressMin(), min);
        EXPECT_EQ(target.ProgressMax(), max);
    }
    TFineCardTemplateItem item(nullptr);
    item.SetProgressMin(100);  // not below the maximum: ignored
    item.SetProgressMax(0);
    EXPECT_EQ(item.ProgressMin(), 0);
    EXPECT_EQ(item.ProgressMax(), 100);
}

TEST(CardTemplate, ColumnWidthsFollowTheAlgorithm) {
    TFineCardTemplate t(nullptr, ui::ItemClass<TFineCardTemplateItem>());
    EXPECT_EQ(t.EffectiveLabelWidth(), 100);
    EXPECT_EQ(t.ItemValueWidth(), 75);
    // 30 - 2 x 10 - 5 leaves 5 pixels: the label takes them, the value gets none.
    t.SetCardWidth(30);
    EXPECT_EQ(t.EffectiveLabelWidth(), 5);
    EXPECT_EQ(t.ItemValueWidth(), 0);
    EXPECT_EQ(t.ItemLabelWidth(), 100);
    t.SetCardWidth(200);
    EXPECT_EQ(t.EffectiveLabelWidth(), 100);
    EXPECT_EQ(t.ItemValueWidth(), 75);
    t.SetItemValueWidth(500);  // more than there is: limited, the label takes the rest
    EXPECT_EQ(t.ItemValueWidth(), 175);
    EXPECT_EQ(t.ItemLabelWidth(), 0);
}

class TemplateWithList : public ::testing::Test {
protected:
    TemplateWithList() {
        test_support::EnsureApplication();
        list_ = std::make_unique<TFineCardList>(nullptr);
    }
    TFineCardTemplateItems& Items() { return list_->CardTemplate().Items(); }
    std::unique_ptr<TFineCardList> list_;
};

TEST_F(TemplateWithList, GeneratedNamesSkipTakenNumbers) {
    TFineCardTemplateItem* a = Items().Add();
    EXPECT_EQ(a->Name(), "FineCardTemplateItem0");
    a->SetName("FineCardTemplateItem1");
    Items().Add()->SetName("FineCardTemplateItem2");
    TFineCardTemplateItem* third = Items().Add();  // id 2, taken; 3 is free
    EXPECT_EQ(third->ID(), 2);
    EXPECT_EQ(third->Name(), "FineCardTemplateItem3");
}

TEST_F(TemplateWithList, InvalidNamesAreRefusedEverywhere) {
    TFineCardTemplateItem* a = Items().Add();
    a->SetName("A");
    TFineCardTemplateItem* b = Items().Add();
    b->SetName("B");
    for (const std::string& bad : {std::string(), std::string("A")}) {
        try {
            b->SetName(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const ECardTemplateError& e) {
            EXPECT_EQ(std::string(e.what()), "''" + bad + "'' is not a valid item name");
        }
        // The collection editors' path must not let a duplicate in either.
        EXPECT_THROW(b->SetDisplayName(bad), ECardTemplateError);
        EXPECT_EQ(b->Name(), "B");
    }
    b->SetDisplayName("C");
    EXPECT_EQ(b->Name(), "C");
}

TEST_F(TemplateWithList, RenameFollowsCaptionAndCards) {
    TFineCardTemplateItem* same = Items().Add();
    same->SetName("Title");
    same->SetCaption("Title");
    TFineCardTemplateItem* other = Items().Add();
    other->SetName("Size");
    other->SetCaption("Size in bytes");
    TFineCard* card = list_->Cards().Add();
    card->Items().ItemByName("Title")->SetAsString("hello");
    card->Items().ItemByName("Size")->SetAsString("42");

    same->SetName("Heading");
    other->SetName("Bytes");
    EXPECT_EQ(same->Caption(), "Heading");
    EXPECT_EQ(other->Caption(), "Size in bytes");
    ASSERT_NE(card->Items().ItemByName("Heading"), nullptr);
    ASSERT_NE(card->Items().ItemByName("Bytes"), nullptr);
    EXPECT_EQ(card->Items().ItemByName("Title"), nullptr);
    EXPECT_EQ(card->Items().ItemByName("Heading")->AsString(), "hello");
    EXPECT_EQ(card->Items().ItemByName("Bytes")->AsString(), "42");
}

TEST_F(TemplateWithList, ReorderInsertAndDeleteKeepCardValues) {
    for (const char* name : {"A", "B", "C"}) Items().Add()->SetName(name);
    std::vector<TFineCard*> cards;
    for (int c = 0; c < 3; ++c) {
        TFineCard* card = list_->Cards().Add();
        for (const char* name : {"A", "B", "C"})
            card->Items().ItemByName(name)->SetAsString(std::string(name) + std::to_string(c));
        cards.push_back(card);
    }
    auto names_and_values = [](TFineCard* card) {
        std::vector<std::string> out;
        for (int i = 0; i < card->Items().Count(); ++i) {
            out.push_back(card->Items().Items(i)->Name() + "=" + card->Items().Items(i)->AsString());
        }
        return out;
    };
    Items().Items(2)->SetIndex(0);  // [A,B,C] -> [C,A,B]
    for (int c = 0; c < 3; ++c) {
        const std::string n = std::to_string(c);
        EXPECT_EQ(names_and_values(cards[c]), (std::vector<std::string>{"C=C" + n, "A=A" + n, "B=B" + n}));
    }
    TFineCardTemplateItem* d = Items().Insert(1);
    d->SetName("D");
    for (int c = 0; c < 3; ++c) {
        const std::string n = std::to_string(c);
        EXPECT_EQ(names_and_values(cards[c]), (std::vector<std::string>{"C=C" + n, "D=", "A=A" + n, "B=B" + n}));
    }
    Items().Delete(2);  // A goes
    for (int c = 0; c < 3; ++c) {
        const std::string n = std::to_string(c);
        EXPECT_EQ(names_and_values(cards[c]), (std::vector<std::string>{"C=C" + n, "D=", "B=B" + n}));
    }
}

}  // namespace
}  // namespace cardlist
