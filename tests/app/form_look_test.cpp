// The windows look as their definitions say: radio buttons and labels show their parent's
// background wherever they draw nothing (the group box's frame stays whole, the about box's
// labels sit on its panel), and the tool panel's bevel is a lowered line, not a box.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "app/about_form.h"
#include "app/main_form.h"
#include "tests/app/window_fixture.h"

namespace {

using test_support::PixelAt;
using test_support::RenderControl;

// Pixels of `parent` that `child` covers although its own widget draws nothing there, compared
// with the parent rendered without the child; returns the count and the first such pixel.
struct Covered {
    int count = 0;
    std::string first;
};

Covered CoveredByNothing(ui::TWinControl& parent, ui::TControl& child, QWidget* native) {
    child.SetVisible(false);
    const QImage without = RenderControl(parent);
    child.SetVisible(true);
    const QImage with = RenderControl(parent);
    // What the toolkit's own widget inside the child paints, on nothing.
    QImage own(native->size(), QImage::Format_ARGB32);
    own.fill(Qt::transparent);
    native->render(&own, QPoint(), QRegion(), QWidget::DrawChildren);
    Covered covered;
    for (int y = 0; y < child.Height(); ++y) {
        for (int x = 0; x < child.Width(); ++x) {
            if (x < own.width() && y < own.height() && qAlpha(own.pixel(x, y)) != 0) continue;
            const int px = child.Left() + x;
            const int py = child.Top() + y;
            if (px >= with.width() || py >= with.height()) continue;
            if (with.pixel(px, py) != without.pixel(px, py)) {
                if (covered.count++ == 0) covered.first = "(" + std::to_string(px) + ", " + std::to_string(py) + ")";
            }
        }
    }
    return covered;
}

class FormLook : public ::testing::Test {
protected:
    void SetUp() override { test_support::EnsureApplication(); }
    app_test::SettingsFolder scratch_;
};

TEST_F(FormLook, RadioButtonsShowTheGroupBoxAroundThemselves) {
    app::TQuillbookForm form(nullptr);
    for (ui::TRadioButton* b : {form.HCRadioButton, form.EDRadioButton, form.V2HCRadioButton, form.V2EDRadioButton}) {
        SCOPED_TRACE(b->Caption());
        const Covered c = CoveredByNothing(*form.GroupBox1, *b, b->NativeWidget());
        EXPECT_EQ(c.count, 0) << "first at " << c.first;
    }
}

TEST_F(FormLook, AboutBoxLabelsSitOnThePanel) {
    app::TAboutBox box(nullptr);
    for (ui::TLabel* label : {box.ProductName, box.Version, box.Copyright, box.Comments}) {
        SCOPED_TRACE(label->Name());
        const Covered c = CoveredByNothing(*box.Panel1, *label, label->NativeWidget());
        EXPECT_EQ(c.count, 0) << "first at " << c.first;
    }
}

TEST_F(FormLook, BevelIsALoweredTopLineOnThePanel) {
    app::TQuillbookForm form(nullptr);
    // Below its line the bevel leaves the panel's own gradient.
    form.Bevel1->SetVisible(false);
    const QImage bare = RenderControl(*form.FinePanel1);
    form.Bevel1->SetVisible(true);
    const QImage panel = RenderControl(*form.FinePanel1);
    const ui::TRect r = form.Bevel1->BoundsRect();
    const ui::TColor shadow = ui::ColorToRGB(ui::clBtnShadow);
    const ui::TColor highlight = ui::ColorToRGB(ui::clBtnHighlight);
    ASSERT_NE(shadow, highlight);
    ASSERT_NE(PixelAt(bare, r.Left, r.Top + 1), highlight);
    for (int x = r.Left; x < r.Right; ++x) {
        ASSERT_EQ(PixelAt(panel, x, r.Top), shadow) << x;
        ASSERT_EQ(PixelAt(panel, x, r.Top + 1), highlight) << x;
        for (int y = r.Top + 2; y < r.Bottom; ++y) {
            ASSERT_EQ(PixelAt(panel, x, y), PixelAt(bare, x, y)) << x << ", " << y;
        }
    }
    // A raised line swaps the colours.
    form.Bevel1->SetStyle(ui::TBevelStyle::bsRaised);
    const QImage raised = RenderControl(*form.FinePanel1);
    EXPECT_EQ(PixelAt(raised, r.Left, r.Top), highlight);
    EXPECT_EQ(PixelAt(raised, r.Left, r.Top + 1), shadow);
}

}  // namespace
