#include "controls/panel/panel_group.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <memory>
#include <vector>

#include "controls/panel/control_watch_list.h"
#include "controls/panel/panel_input.h"
#include "platform/ui/controls/deferred_release.h"
#include "platform/ui/controls/redraw.h"
#include "tests/support/input.h"
#include "tests/support/render.h"

namespace panel {
namespace {

struct PanelSpec {
    int top;
    int height;
    bool visible = true;
};

class PanelGroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::EnsureApplication();
        host_ = std::make_unique<ui::TCustomControl>(nullptr);
        host_->SetBounds(0, 0, 600, 600);
    }
    void TearDown() override {
        delete group_;
        group_ = nullptr;
        ui::FreeReleasedControls();
    }
    // A group of `width` x `height` holding one panel per spec, in that child order, loaded.
    void MakeGroup(int width, int height, const std::vector<PanelSpec>& specs, int columns = 1,
                   TGroupStyle style = TGroupStyle::gsVertical) {
        group_ = new TFinePanelGroup(host_.get());
        group_->SetParent(host_.get());
        group_->SetBounds(0, 0, width, height);
        group_->BeginLoading();
        group_->SetColumns(columns);
        group_->SetGroupStyle(style);
        for (const PanelSpec& s : specs) {
            auto* p = new TFinePanel(host_.get());
            p->SetParent(group_);
            p->SetBounds(0, s.top, 100, s.height);
            p->SetVisible(s.visible);
            p->SetCollapsDelay(0);
            panels_.push_back(p);
        }
        group_->EndLoading();
    }
    std::vector<int> Tops() const {
        std::vector<int> tops;
        for (auto* p : panels_) tops.push_back(p->Top());
        return tops;
    }
    std::unique_ptr<ui::TCustomControl> host_;
    TFinePanelGroup* group_ = nullptr;
    std::vector<TFinePanel*> panels_;
};

TEST_F(PanelGroupTest, OneColumnStacksByTopAndHiddenPanelsTakeNoRoom) {
    MakeGroup(300, 400, {{50, 60}, {10, 40}, {30, 80, false}, {70, 50}});
    // Placed twice on loading: the hidden panel, level with the one before it, sorts after it.
    EXPECT_EQ(Tops(), (std::vector<int>{56, 8, 124, 124}));
    for (auto* p : panels_) {
        EXPECT_EQ(p->Left(), 8);
        EXPECT_EQ(p->Width(), 284);
    }
    EXPECT_FALSE(group_->ScrollBar().Visible());
    EXPECT_EQ(group_->PanelList().size(), 4u);
    // Padding changes place them again.
    group_->SetVertPadding(2);
    EXPECT_EQ(Tops(), (std::vector<int>{44, 2, 106, 106}));
    group_->SetHorzPadding(10);
    EXPECT_EQ(panels_[0]->BoundsRect(), (ui::TRect{10, 44, 290, 104}));
}

TEST_F(PanelGroupTest, TwoColumnsAdvanceTheRowAfterEachFirstColumnPanel) {
    MakeGroup(300, 400, {{0, 40}, {10, 40}, {20, 40}, {30, 40}}, 2);
    EXPECT_EQ(Tops(), (std::vector<int>{8, 56, 56, 104}));
    const std::vector<int> lefts{panels_[0]->Left(), panels_[1]->Left(), panels_[2]->Left(), panels_[3]->Left()};
    EXPECT_EQ(lefts, (std::vector<int>{8, 154, 8, 154}));
    EXPECT_EQ(panels_[1]->Width(), 142);
    group_->SetColumns(0);  // ignored
    EXPECT_EQ(group_->Columns(), 2);
    EXPECT_EQ(Tops(), (std::vector<int>{8, 56, 56, 104}));
}

TEST_F(PanelGroupTest, PanelsThatDoNotFitGetTheScrollBar) {
    MakeGroup(300, 150, {{50, 60}, {10, 40}, {30, 80, false}, {70, 50}});
    const ui::TScrollBar& bar = group_->ScrollBar();
    ASSERT_TRUE(bar.Visible());
    EXPECT_EQ(bar.Max(), 182);  // 8 + (40 + 8) + (60 + 8) + (50 + 8)
    EXPECT_EQ(bar.PageSize(), 150);
    EXPECT_EQ(bar.LargeChange(), 50);
    EXPECT_EQ(bar.Kind(), ui::TScrollBarKind::sbVertical);
    EXPECT_EQ(bar.BoundsRect(), (ui::TRect{284, 0, 300, 150}));
    EXPECT_EQ(panels_[1]->BoundsRect(), (ui::TRect{8, 8, 276, 48}));  // the bar's width is left free
}

TEST_F(PanelGroupTest, TheWheelScrollsTheArrangementAndStopsAtTheEnd) {
    MakeGroup(300, 150, {{50, 60}, {10, 40}, {30, 80, false}, {70, 50}});
    const ui::TPoint inside{100, 100};
    EXPECT_TRUE(test_support::Wheel(*group_, inside, -1));
    EXPECT_EQ(group_->ScrollBar().Position(), 4);  // 2 x SmallChange
    EXPECT_EQ(Tops(), (std::vector<int>{52, 4, 120, 120}));
    for (int i = 0; i < 20; ++i) test_support::Wheel(*group_, inside, -1);
    EXPECT_EQ(group_->ScrollBar().Position(), 32);  // Max - PageSize
    EXPECT_EQ(Tops(), (std::vector<int>{24, -24, 92, 92}));
    for (int i = 0; i < 20; ++i) test_support::Wheel(*group_, inside, 1);
    EXPECT_EQ(group_->ScrollBar().Position(), 0);
    EXPECT_EQ(Tops(), (std::vector<int>{56, 8, 124, 124}));

    // A drag of the thumb to the end is held to the last page when it ends.
    group_->ScrollBar().UserScroll(ui::TScrollCode::scTrack, 33);
    group_->ScrollBar().UserScroll(ui::TScrollCode::scEndScroll, 33);
    EXPECT_EQ(group_->ScrollBar().Position(), 32);
    EXPECT_EQ(panels_[1]->Top(), -24);
}

// The toolkit's scroll bar inside the group's, on the screen (where it is laid out at the size
// the group gave it).
QScrollBar* ToolkitBar(ui::TScrollBar& bar) {
    bar.Widget()->window()->show();
    return bar.Widget()->findChild<QScrollBar*>();
}

// The middle of one part of a scroll bar (an arrow, the page area after the thumb), where the
// toolkit's style draws it.
QPoint PartOf(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    if (bar->orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

// Clicks on the bar's arrows and page area, as the user makes them: the panels follow each
// step, once its press is released. The panels reach far enough below the group that a page
// (LargeChange, a third of the group) and the thumb's length (PageSize, the whole group) end in
// different places.
TEST_F(PanelGroupTest, ClicksOnTheArrowsAndThePageAreaMoveThePanels) {
    MakeGroup(300, 150, {{0, 60}, {10, 60}, {20, 60}, {30, 60}, {40, 60}, {50, 60}});
    const ui::TScrollBar& scroll = group_->ScrollBar();
    ASSERT_EQ(scroll.Max(), 416);  // 8 + 6 x (60 + 8)
    ASSERT_EQ(scroll.PageSize(), 150);
    ASSERT_EQ(scroll.LargeChange(), 50);
    QScrollBar* bar = ToolkitBar(group_->ScrollBar());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->height(), 150);  // laid out along the whole group
    const auto click = [&](QStyle::SubControl part) {
        const QPoint at = PartOf(bar, part);
        test_support::SendMouse(bar, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        test_support::SendMouse(bar, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    };
    const struct {
        QStyle::SubControl part;
        int position;  // of the scroll bar after the click
    } steps[] = {
        {QStyle::SC_ScrollBarAddLine, 2},  // SmallChange
        {QStyle::SC_ScrollBarAddLine, 4},   {QStyle::SC_ScrollBarSubLine, 2},
        {QStyle::SC_ScrollBarAddPage, 52},  // LargeChange
        {QStyle::SC_ScrollBarAddPage, 102}, {QStyle::SC_ScrollBarSubPage, 52},
        {QStyle::SC_ScrollBarAddPage, 102}, {QStyle::SC_ScrollBarAddPage, 152},
        {QStyle::SC_ScrollBarAddPage, 202}, {QStyle::SC_ScrollBarAddPage, 252},
        {QStyle::SC_ScrollBarAddPage, 266},  // held to Max - PageSize
        {QStyle::SC_ScrollBarSubPage, 216},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.position);
        click(step.part);
        EXPECT_EQ(scroll.Position(), step.position);
        const int d = step.position;
        EXPECT_EQ(Tops(), (std::vector<int>{8 - d, 76 - d, 144 - d, 212 - d, 280 - d, 348 - d}));
    }
}

// The group's own wheel event comes first, also while the bar shows, and may keep the step.
TEST_F(PanelGroupTest, TheGroupsWheelEventComesBeforeItsScrolling) {
    MakeGroup(300, 150, {{50, 60}, {10, 40}, {30, 80, false}, {70, 50}});
    int wheels = 0, downs = 0;
    bool keep = false;
    group_->OnMouseWheel = [&](ui::TPersistent*, ui::TShiftState, int, ui::TPoint, bool& handled) {
        ++wheels;
        handled = keep;
    };
    group_->OnMouseWheelDown = [&](ui::TPersistent*, ui::TShiftState, ui::TPoint, bool&) { ++downs; };
    const ui::TPoint inside{100, 100};
    EXPECT_TRUE(test_support::Wheel(*group_, inside, -1));
    EXPECT_EQ(wheels, 1);
    EXPECT_EQ(downs, 0);  // the group scrolled instead
    EXPECT_EQ(group_->ScrollBar().Position(), 4);
    keep = true;
    EXPECT_TRUE(test_support::Wheel(*group_, inside, -1));
    EXPECT_EQ(wheels, 2);
    EXPECT_EQ(group_->ScrollBar().Position(), 4);
    EXPECT_EQ(panels_[1]->Top(), 4);
}

TEST_F(PanelGroupTest, WithoutTheScrollBarTheWheelGoesOn) {
    MakeGroup(300, 400, {{0, 40}});
    EXPECT_FALSE(test_support::Wheel(*group_, ui::TPoint{100, 100}, -1));
    EXPECT_EQ(panels_[0]->Top(), 8);
}

TEST_F(PanelGroupTest, CollapsingAPanelMovesTheNextOneUp) {
    MakeGroup(300, 400, {{0, 100}, {200, 50}});
    panels_[0]->Caption().SetVisible(true);
    panels_[0]->Caption().SetHeight(20);
    EXPECT_EQ(Tops(), (std::vector<int>{8, 116}));
    panels_[0]->SetCollaps(true);
    EXPECT_EQ(Tops(), (std::vector<int>{8, 34}));
    panels_[0]->SetCollaps(false);
    EXPECT_EQ(Tops(), (std::vector<int>{8, 116}));
}

TEST_F(PanelGroupTest, APanelMovedInTheDesignerIsPlacedBackAtOnce) {
    MakeGroup(300, 400, {{0, 40}, {50, 40}});
    panels_[0]->SetDesigning(true);
    panels_[0]->SetTop(200);  // dropped below the second one
    EXPECT_EQ(Tops(), (std::vector<int>{56, 8}));
}

// Arranging switches the redrawing of each shown windowed child without children of its own
// off and on (it comes back on, and the child is redrawn); the others are left as they were.
TEST_F(PanelGroupTest, ArrangingRedrawsTheShownWindowedChildrenWithoutChildren) {
    MakeGroup(300, 400, {{0, 100}});
    TFinePanel& panel = *panels_[0];
    const auto child = [&](bool visible) {
        auto* c = new ui::TCustomControl(host_.get());
        c->SetParent(&panel);
        c->SetBounds(4, 30, 40, 20);
        c->SetVisible(visible);
        ui::SetRedraw(*c, false);
        return c;
    };
    ui::TCustomControl* plain = child(true);
    ui::TCustomControl* hidden = child(false);
    ui::TCustomControl* parent = child(true);
    auto* grandchild = new ui::TCustomControl(host_.get());
    grandchild->SetParent(parent);
    group_->ArrangePanels();
    EXPECT_TRUE(ui::RedrawEnabled(*plain));
    EXPECT_FALSE(ui::RedrawEnabled(*hidden));
    EXPECT_FALSE(ui::RedrawEnabled(*parent));
    EXPECT_EQ(plain->Width(), 40);  // nudged and back
}

// A panel put into a group in the designer is fitted to it across the stacking direction, less
// the padding, and kept at least a padding from the group's edge along it; outside the designer
// it keeps its bounds. The group is being read (a form opened in the designer), so that it does
// not arrange its panels: what the cases see is the fitting alone.
TEST_F(PanelGroupTest, APanelPutIntoAGroupInTheDesignerIsFittedToIt) {
    const struct {
        TGroupStyle style;
        bool designing;
        int top;
        ui::TRect bounds;
    } cases[] = {
        {TGroupStyle::gsVertical, true, 2, {8, 8, 292, 68}},      // as wide as the group less padding
        {TGroupStyle::gsVertical, true, 30, {8, 30, 292, 90}},    // further down: left where it is
        {TGroupStyle::gsHorizontal, true, 2, {50, 8, 150, 392}},  // as high as the group less padding
        {TGroupStyle::gsVertical, false, 2, {50, 2, 150, 62}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style) * 100 + c.top * 2 + (c.designing ? 1 : 0));
        MakeGroup(300, 400, {}, 1, c.style);
        group_->BeginLoading();
        auto* p = new TFinePanel(host_.get());
        p->SetDesigning(c.designing);
        p->SetBounds(50, c.top, 100, 60);
        p->SetParent(group_);
        EXPECT_EQ(p->BoundsRect(), c.bounds);
        delete group_;
        group_ = nullptr;
        delete p;
    }
}

TEST_F(PanelGroupTest, HorizontalGroupsPlacePanelsSideBySide) {
    MakeGroup(300, 200, {{0, 50}, {0, 50}}, 1, TGroupStyle::gsHorizontal);
    panels_[0]->SetLeft(200);
    group_->UpdateGroup();
    EXPECT_EQ(panels_[1]->BoundsRect(), (ui::TRect{8, 8, 108, 192}));
    EXPECT_EQ(panels_[0]->BoundsRect(), (ui::TRect{116, 8, 216, 192}));
    EXPECT_FALSE(group_->ScrollBar().Visible());
    panels_[1]->SetWidth(250);  // 8 + 258 + 108 > 300
    group_->UpdateGroup();
    const ui::TScrollBar& bar = group_->ScrollBar();
    ASSERT_TRUE(bar.Visible());
    EXPECT_EQ(bar.Kind(), ui::TScrollBarKind::sbHorizontal);
    EXPECT_EQ(bar.Max(), 374);
    EXPECT_EQ(bar.PageSize(), 300);
    EXPECT_EQ(panels_[1]->Height(), 168);  // less the bar's 16
}

// A panel whose resize event frees it while the group places it is left out of the rest of the
// arrangement: the panels after it close up, and nothing reads the freed one (the sanitizer build
// sees any touch).
TEST_F(PanelGroupTest, APanelFreedByItsResizeWhileArrangedIsLeftOut) {
    for (const TGroupStyle style : {TGroupStyle::gsVertical, TGroupStyle::gsHorizontal}) {
        SCOPED_TRACE(static_cast<int>(style));
        MakeGroup(300, 400, {{0, 40}, {50, 40}, {100, 40}}, 1, style);
        TFinePanel* doomed = panels_[1];
        const TControlWatchList alive(doomed);
        doomed->OnResize = [&](ui::TPersistent*) { delete doomed; };
        if (style == TGroupStyle::gsVertical)
            group_->SetHorzPadding(10);  // narrower panels
        else
            group_->SetVertPadding(10);  // lower panels
        EXPECT_FALSE(alive.Contains(doomed));
        if (style == TGroupStyle::gsVertical)
            EXPECT_EQ(panels_[2]->Top(), 8 + 40 + 8);
        else
            EXPECT_EQ(panels_[2]->Left(), 8 + 100 + 8);
        panels_.clear();
        delete group_;
        group_ = nullptr;
    }
}

TEST_F(PanelGroupTest, PanelsFreedWhileListedAreFreedOnce) {
    MakeGroup(300, 400, {{0, 40}, {50, 40}, {100, 40}});
    std::vector<std::unique_ptr<TControlWatchList>> alive;
    for (auto* p : panels_) alive.push_back(std::make_unique<TControlWatchList>(p));

    delete panels_[0];  // by its owner's hand
    EXPECT_EQ(group_->PanelList().size(), 2u);
    EXPECT_EQ(panels_[2]->Top(), 104);
    group_->UpdateGroup();
    EXPECT_EQ(panels_[1]->Top(), 8);

    // Closed with FreeOnClose: waits for its deferred deletion, which the group leaves to it.
    panels_[1]->Caption().SetVisible(true);
    panels_[1]->Caption().SetCloseButton(true);
    panels_[1]->SetFreeOnClose(true);
    test_support::Click(*panels_[1],
                        ui::TPoint{(CloseButtonRect(*panels_[1]).Left + CloseButtonRect(*panels_[1]).Right) / 2, 8});
    EXPECT_EQ(panels_[2]->Top(), 8);  // the group was told

    delete group_;
    group_ = nullptr;
    EXPECT_FALSE(alive[2]->Contains(panels_[2]));  // freed by the group
    EXPECT_TRUE(alive[1]->Contains(panels_[1]));
    ui::FreeReleasedControls();
    EXPECT_FALSE(alive[1]->Contains(panels_[1]));
}

}  // namespace
}  // namespace panel
