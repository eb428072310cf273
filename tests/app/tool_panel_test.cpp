// The main window's tool panel: its stored colours on screen with the caption hidden, and the
// double-buffering step that reaches it with the window's other controls.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/main_form.h"
#include "tests/app/window_fixture.h"

namespace {

using test_support::PixelAt;

int Channel(ui::TColor c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

class ToolPanel : public ::testing::Test {
protected:
    void SetUp() override { test_support::EnsureApplication(); }
    app_test::SettingsFolder scratch_;
};

TEST_F(ToolPanel, ShowsSilverDownToTheMenuColourWithoutItsCaption) {
    app::TQuillbookForm form(nullptr);
    form.Show();
    panel::TFinePanel& tool = *form.FinePanel1;
    EXPECT_FALSE(tool.Caption().Visible());
    const QImage window = test_support::RenderControl(form);
    const int left = tool.Left();
    const int top = tool.Top();
    const int bottom = tool.Top() + tool.Height();
    ASSERT_LE(bottom, window.height());
    const ui::TColor from = ui::ColorToRGB(ui::clSilver);
    const ui::TColor to = ui::ColorToRGB(ui::clMenu);
    ASSERT_NE(from, to);
    // A column left of the buttons: silver at the top, the menu colour at the bottom, every row
    // grey and in between, getting lighter downwards.
    const int x = left + 3;
    int previous = -1;
    for (int y = top + 2; y < bottom - 2; ++y) {
        const ui::TColor c = PixelAt(window, x, y);
        ASSERT_EQ(Channel(c, 0), Channel(c, 8)) << y;
        ASSERT_EQ(Channel(c, 0), Channel(c, 16)) << y;
        ASSERT_GE(Channel(c, 0), Channel(from, 0)) << y;
        ASSERT_LE(Channel(c, 0), Channel(to, 0)) << y;
        ASSERT_GE(Channel(c, 0), previous) << y;
        previous = Channel(c, 0);
    }
    EXPECT_LE(std::abs(Channel(PixelAt(window, x, top + 2), 0) - Channel(from, 0)), 4);
    EXPECT_LE(std::abs(Channel(PixelAt(window, x, bottom - 3), 0) - Channel(to, 0)), 4);
    // The hidden caption's highlight colour shows nowhere on the panel.
    const ui::TColor caption = ui::ColorToRGB(ui::clHighlight);
    int shown = 0;
    for (int y = top; y < bottom; ++y) {
        for (int xx = left; xx < left + tool.Width(); ++xx) shown += PixelAt(window, xx, y) == caption ? 1 : 0;
    }
    EXPECT_EQ(shown, 0);
}

TEST_F(ToolPanel, DoubleBufferingReachesThePanelWithTheWindowedControls) {
    app::TQuillbookForm form(nullptr);
    EXPECT_TRUE(form.FinePanel1->OwnerDoubleBuffered());
    for (int i = 0; i < form.ComponentCount(); ++i) {
        if (auto* control = dynamic_cast<ui::TWinControl*>(form.Components(i))) {
            EXPECT_TRUE(control->DoubleBuffered()) << control->Name();
        }
    }
}

// The panel paints itself and takes no focus, yet Tab still goes through its buttons in their
// stored order, between the device choice above and the picture area beside it.
TEST_F(ToolPanel, TabGoesThroughItsButtonsInTheirStoredOrder) {
    app::TQuillbookForm form(nullptr);
    form.Show();
    auto widget = [](ui::TWinControl* c) {
        auto* standard = dynamic_cast<ui::TStdWinControl*>(c);
        return standard != nullptr && standard->NativeWidget() != nullptr ? standard->NativeWidget() : c->Widget();
    };
    const std::vector<ui::TWinControl*> expected = {
        form.V2EDRadioButton,    form.AddPicButton,    form.RemovePicButton,   form.UploadPicsButton,
        form.DownloadPicsButton, form.InsertPicButton, form.RenamePhotoButton, form.PicCardList};
    // Where each stands in the toolkit's focus chain, counted from the window.
    std::vector<int> places;
    for (ui::TWinControl* c : expected) {
        int place = 0;
        QWidget* w = form.Window();
        while ((w = w->nextInFocusChain()) != widget(c) && w != form.Window()) ++place;
        ASSERT_EQ(w, widget(c)) << c->Name() << " is not in the focus chain";
        places.push_back(place);
    }
    for (std::size_t i = 0; i + 1 < places.size(); ++i) {
        EXPECT_LT(places[i], places[i + 1]) << expected[i]->Name() << " before " << expected[i + 1]->Name();
    }
}

}  // namespace
