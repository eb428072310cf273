#include <gtest/gtest.h>

#include "controls/cardlist/card_list.h"
#include "tests/support/render.h"

namespace cardlist {
namespace {

class CardListTest : public ::testing::Test {
protected:
    CardListTest() {
        test_support::EnsureApplication();
        list_ = std::make_unique<TFineCardList>(nullptr);
    }
    std::unique_ptr<TFineCardList> list_;
};

TEST_F(CardListTest, FreshListValues) {
    TFineCardList& l = *list_;
    EXPECT_TRUE(l.AutoEdit());
    EXPECT_EQ(l.BorderColor(), 0xB99D7Fu);
    EXPECT_EQ(l.BorderWidth(), 1);
    EXPECT_EQ(l.CardHorSpacing(), 20);
    EXPECT_EQ(l.CardVertSpacing(), 20);
    EXPECT_FALSE(l.CardRearrange());
    EXPECT_TRUE(l.ColumnSizing());
    EXPECT_EQ(l.ColumnWidth(), 240);
    EXPECT_FALSE(l.DelayedCardLoad());
    EXPECT_EQ(l.DelayedCardLoadInterval(), 100);
    EXPECT_FALSE(l.DelayedLoadTimer().Enabled());
    EXPECT_FALSE(l.Filtered());
    EXPECT_EQ(l.FocusColor(), 0x808080u);
    EXPECT_TRUE(l.GotoSelectedAutomatic());
    EXPECT_EQ(l.GridLineColor(), 0xFF00000Fu);
    EXPECT_EQ(l.GridLineWidth(), 2);
    EXPECT_EQ(l.Images(), nullptr);
    EXPECT_EQ(l.MaxColumnWidth(), 0);
    EXPECT_EQ(l.MinColumnWidth(), 150);
    EXPECT_FALSE(l.MultiSelect());
    EXPECT_TRUE(l.ShowDragImage());
    EXPECT_EQ(l.PageCount(), 4);
    EXPECT_FALSE(l.ReadOnly());
    EXPECT_EQ(l.ScrollBarType(), TScrollBarType::sbtHorizontal);
    EXPECT_TRUE(l.ShowGridLine());
    EXPECT_TRUE(l.ShowFocus());
    EXPECT_TRUE(l.ShowScrollBar());
    EXPECT_TRUE(l.Sorted());
    EXPECT_EQ(l.URLColor(), 0xFF0000u);
    EXPECT_EQ(l.Version(), "2.0.1.0");
    EXPECT_EQ(l.Width(), 280);
    EXPECT_EQ(l.Height(), 320);
    EXPECT_FALSE(l.TabStop());
    EXPECT_TRUE(l.DoubleBuffered());
    EXPECT_EQ(l.SelectedCard(), nullptr);
    EXPECT_EQ(l.SelectedCardIndex(), -1);
    EXPECT_EQ(l.SelectedCount(), 0);
    EXPECT_EQ(l.ScrollBar().Name(), "ListHorScrollBar");
    EXPECT_FALSE(l.ScrollBar().Visible());
    EXPECT_EQ(l.ScrollBar().Min(), 1);
    EXPECT_EQ(l.ScrollBar().Align(), ui::TAlign::alBottom);
    // Appearances.
    EXPECT_EQ(l.CardNormalAppearance().CaptionColor().Color(), 0xFF00000Fu);
    EXPECT_EQ(l.CardNormalAppearance().BevelOuter(), TBevelCut::bvNone);
    EXPECT_EQ(l.CardHoverAppearance().BorderColor(), 0xC0C0C0u);
    EXPECT_EQ(l.CardSelectedAppearance().CaptionColor().Color(), 0x800000u);
    EXPECT_EQ(l.CardSelectedAppearance().CaptionFont().Color(), 0xFFFFFFu);
    EXPECT_TRUE(l.CardSelectedAppearance().CaptionFont().Style().Contains(ui::TFontStyle::fsBold));
    EXPECT_EQ(l.CardEditingAppearance().Color().Color(), 0xFF000018u);
    EXPECT_EQ(l.CardEditingAppearance().BorderColor(), 0xFF00000Fu);
}

TEST_F(CardListTest, SetterRules) {
    for (int v : {0, -3}) {
        list_->SetPageCount(v);
        EXPECT_EQ(list_->PageCount(), 1);
    }
    list_->SetVersion("9.9");
    EXPECT_EQ(list_->Version(), "2.0.1.0");
    list_->CardNormalAppearance().SetEnabled(false);
    EXPECT_TRUE(list_->CardNormalAppearance().Enabled());
    list_->SetCardHorSpacing(30);
    EXPECT_EQ(list_->ColumnWidth(), 260);
    list_->CardTemplate().SetCardWidth(150);
    EXPECT_EQ(list_->ColumnWidth(), 210);
    list_->SetDelayedCardLoad(true);
    EXPECT_TRUE(list_->DelayedLoadTimer().Enabled());
}

TEST_F(CardListTest, FreeingTheSelectedCardAfterAnInsertLeavesNoDanglingSelection) {
    list_->CardTemplate().Items().Add()->SetName("Picture");
    for (int i = 0; i < 3; ++i) list_->Cards().Add()->SetCaption("card " + std::to_string(i));
    list_->SelectCardIndex(1);
    TFineCard* selected = list_->SelectedCard();
    ASSERT_EQ(selected, list_->Cards().Items(1));
    // The main window inserts before the selected card, which moves it to index 2 while the
    // index stays 1 and names the new card ...
    list_->Cards().Insert(selected->Index())->SetCaption("new");
    EXPECT_EQ(list_->SelectedCard(), selected);
    EXPECT_EQ(list_->SelectedCardIndex(), 1);
    // ... and then frees it.
    delete selected;
    EXPECT_EQ(list_->SelectedCard(), nullptr);
    EXPECT_EQ(list_->SelectedCardIndex(), -1);
    EXPECT_EQ(list_->SelectedCount(), 0);
    EXPECT_EQ(list_->Cards().Count(), 3);
    // The list keeps working on what is left.
    list_->SelectCardIndex(0);
    EXPECT_EQ(list_->SelectedCard(), list_->Cards().Items(0));
    list_->Cards().Delete(0);
    EXPECT_EQ(list_->SelectedCard(), nullptr);
}

TEST_F(CardListTest, SelectionBookkeeping) {
    for (int i = 0; i < 4; ++i) list_->Cards().Add()->SetCaption("c" + std::to_string(i));
    list_->SelectCardIndex(2);
    EXPECT_EQ(list_->SelectedCount(), 1);
    EXPECT_TRUE(list_->SelectShownCard(1, false, false));
    EXPECT_EQ(list_->SelectedCardIndex(), 3);
    EXPECT_TRUE(list_->SelectShownCard(0, true, false));
    EXPECT_EQ(list_->SelectedCardIndex(), 0);
    list_->Cards().Items(1)->Visible = false;
    EXPECT_TRUE(list_->SelectShownCard(1, false, false));
    EXPECT_EQ(list_->SelectedCardIndex(), 2);
    EXPECT_EQ(list_->FindShownCardByCaption("C3"), list_->Cards().Items(3));
    EXPECT_EQ(list_->FindShownCardByCaption(""), list_->Cards().Items(0));
    EXPECT_EQ(list_->FindShownCardByCaption("c1"), nullptr);  // hidden
    list_->ClearSelection();
    EXPECT_EQ(list_->SelectedCount(), 0);
    EXPECT_EQ(list_->SelectedCard(), nullptr);
}

TEST_F(CardListTest, AssignCopiesTemplateCardsAndSettingsOnly) {
    TFineCardList source(nullptr);
    source.CardTemplate().Items().Add()->SetName("Picture");
    source.CardTemplate().SetCardWidth(120);
    source.Cards().Add()->SetCaption("one");
    source.Cards().Add()->SetCaption("two");
    source.Cards().Items(1)->Items().Items(0)->SetAsString("v");
    source.SetBorderWidth(4);
    source.SetURLColor(0x123456);
    source.SetDelayedCardLoad(true);
    list_->Assign(&source);
    ASSERT_EQ(list_->Cards().Count(), 2);
    EXPECT_EQ(list_->Cards().Items(1)->Caption(), "two");
    // Template rows copy their look and content but not their names; values travel by position.
    ASSERT_EQ(list_->Cards().Items(1)->Items().Count(), 1);
    EXPECT_EQ(list_->Cards().Items(1)->Items().Items(0)->AsString(), "v");
    EXPECT_EQ(list_->CardTemplate().CardWidth(), 120);
    EXPECT_EQ(list_->BorderWidth(), 4);
    EXPECT_EQ(list_->URLColor(), 0xFF0000u);
    EXPECT_FALSE(list_->DelayedCardLoad());
}

TEST_F(CardListTest, FreedImageListIsForgotten) {
    auto images = std::make_unique<ui::TImageList>(nullptr);
    list_->SetImages(images.get());
    images.reset();
    EXPECT_EQ(list_->Images(), nullptr);
}

}  // namespace
}  // namespace cardlist
