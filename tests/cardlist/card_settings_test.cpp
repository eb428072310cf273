#include <gtest/gtest.h>

#include <vector>

#include "controls/cardlist/card_settings.h"

namespace cardlist {
namespace {

TEST(FineGradient, SettersNotifyOnlyOnChange) {
    TFineGradient g;
    int fired = 0;
    g.OnChange = [&](ui::TPersistent*) { ++fired; };
    g.SetColor(ui::clWindow);  // the default
    EXPECT_EQ(fired, 0);
    g.SetColor(ui::clRed);
    g.SetDirection(TFineGradientDirection::gdVertical);
    EXPECT_EQ(fired, 2);
    TFineGradient other;
    other.Assign(&g);  // Assign always fires the target's event
    EXPECT_EQ(other.Color(), ui::clRed);
    EXPECT_EQ(other.Direction(), TFineGradientDirection::gdVertical);
}

TEST(FineCardAppearance, FrameWidthFollowsBevelsAndBorderFromTheStart) {
    TFineCardAppearance a;
    EXPECT_EQ(a.TotalFrameWidth(), 2);  // raised outer bevel 1 + border 1
    a.SetBorderWidth(3);
    EXPECT_EQ(a.TotalFrameWidth(), 4);
    a.SetBevelInner(TBevelCut::bvLowered);
    EXPECT_EQ(a.TotalFrameWidth(), 5);
    TFineCardAppearance b;
    b.SetBevelOuter(TBevelCut::bvNone);
    b.Assign(&a);
    EXPECT_EQ(b.TotalFrameWidth(), 5);
}

TEST(FineCardAppearance, AssignFiresOnceWithStateChanged) {
    TFineCardAppearance source;
    source.SetBorderColor(ui::clRed);
    source.CaptionFont().SetColor(ui::clBlue);
    source.Color().SetColor(ui::clYellow);
    source.SetEnabled(false);
    TFineCardAppearance target;
    std::vector<bool> calls;
    target.OnChange = [&](ui::TPersistent*, bool state) { calls.push_back(state); };
    target.Assign(&source);
    EXPECT_EQ(calls, std::vector<bool>{true});
    EXPECT_EQ(target.BorderColor(), ui::clRed);
    EXPECT_EQ(target.CaptionFont().Color(), ui::clBlue);
    EXPECT_EQ(target.Color().Color(), ui::clYellow);
    EXPECT_FALSE(target.Enabled());
    calls.clear();
    target.Color().SetColorTo(ui::clWhite);  // owned gradient reports through the appearance
    target.SetEnabled(true);
    EXPECT_EQ(calls, (std::vector<bool>{false, true}));
}

TEST(SortAndFilterSettings, AssignCopiesTheirOwnSubsets) {
    TFineCardSortSettings a, b;
    a.SetSortDirection(TSortDirection::sdDescending);
    a.SetSortIndex(3);
    a.SetSortType(TSortType::stItem);
    a.SetCaseSensitive(true);
    b.Assign(&a);
    EXPECT_EQ(b.SortDirection(), TSortDirection::sdDescending);
    EXPECT_EQ(b.SortIndex(), 3);
    EXPECT_EQ(b.SortType(), TSortType::stNone);
    EXPECT_FALSE(b.CaseSensitive());
    TFineCardFilterSettings f, g;
    f.SetFilterCondition("abc");
    f.SetFilterIndex(2);
    int fired = 0;
    g.OnChange = [&](ui::TPersistent*) { ++fired; };
    g.Assign(&f);
    EXPECT_EQ(g.FilterCondition(), "abc");
    EXPECT_EQ(g.FilterIndex(), 2);
    EXPECT_EQ(fired, 1);
}

}  // namespace
}  // namespace cardlist
