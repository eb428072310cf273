// Measuring and painting of styled items through the real menu host: sizes by the measuring
// rules, the icon-bar gradient over a whole drop-down, separators, check and radio marks, the
// sub-menu arrow, note lines, the bar gradient, and shortcut texts.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

#include "controls/menus/fine_main_menu.h"
#include "controls/menus/menu_painting.h"
#include "controls/menus/menu_util.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/forms/form.h"
#include "tests/support/render.h"

namespace {

using namespace menus;
using test_support::PixelAt;
using ui::TColor;

struct PaintFixture : ::testing::Test {
    void SetUp() override {
        test_support::EnsureApplication();
        form.SetBounds(50, 40, 420, 300);
        menu->SetMenuStyler(styler);
        file = Add(menu->Items(), "&File");
        new_item = Add(file, "&New");
        new_item->SetShortCut(ui::ShortCut('N', ui::scCtrl));
        checked = Add(file, "&Checked");
        checked->SetChecked(true);
        radio = Add(file, "&Radio");
        radio->SetRadioItem(true);
        radio->SetChecked(true);
        line = Add(file, "-");
        sub = Add(file, "&More");
        Add(sub, "&Inner");
        exit = Add(file, "E&xit");
        exit->SetShortCut(ui::ShortCut(0x74, ui::scShift | ui::scCtrl));
        Add(menu->Items(), "&Help");
        menu->HookItems(nullptr, true, true);
        form.SetMenu(menu);
        form.Show();
    }
    ui::TMenuItem* Add(ui::TMenuItem* parent, const std::string& caption) {
        auto* item = new ui::TMenuItem(menu);
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    }
    // Opens File by a press on its bar button, so that no item is selected.
    ui::TMenuWindow& OpenFile() {
        ui::TMenuWindow& bar = form.MenuBar()->Window();
        const ui::TRect r = bar.ItemRect(0);
        const ui::TRect w = bar.WindowRect();
        const QPointF global(r.Left + 2, r.Top + 2);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(global.x() - w.Left, global.y() - w.Top), global, Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(static_cast<QObject*>(bar.Widget()), &press);
        return form.MenuBar()->Popup(0);
    }
    // An item's rectangle in the drop-down's window coordinates.
    static ui::TRect Local(ui::TMenuWindow& w, int position) {
        const ui::TRect r = w.ItemRect(position);
        const ui::TRect o = w.WindowRect();
        return ui::TRect{r.Left - o.Left, r.Top - o.Top, r.Right - o.Left, r.Bottom - o.Top};
    }

    // The application comes first: the form's window is made with the fixture.
    bool application_ = (test_support::EnsureApplication(), true);
    ui::TForm form{nullptr};
    TFineMainMenu* menu = new TFineMainMenu(&form);
    TFineMenuStyler* styler = new TFineMenuStyler(&form);
    ui::TMenuItem *file, *new_item, *checked, *radio, *line, *sub, *exit;
};

TEST_F(PaintFixture, DropDownItemsMeasureByTheRules) {
    ui::TMenuWindow& popup = OpenFile();
    ui::TCanvas canvas;
    canvas.SetFont(ui::Screen().MenuFont());
    const int size = styler->IconBar().Size();
    auto width_of = [&](const std::string& text) { return size + 15 + canvas.TextWidth(text) + 7 + 17; };
    auto height = [&] {
        const int h = std::max(16 - 3 + 2, canvas.TextHeight("NewCtrl+N") + 6);
        return h + h % 2;
    }();
    // Caption and shortcut text side by side, without the mnemonic marker.
    int w = 0, h = 16;
    MeasureItem(new_item, canvas, w, h, false);
    EXPECT_EQ(w, width_of("NewCtrl+N"));
    EXPECT_EQ(h, height);
    MeasureItem(line, canvas, w = 0, h = 16, false);
    EXPECT_EQ(w, -2);
    EXPECT_EQ(h, styler->Separator().Width() + 2);
    MeasureItem(exit, canvas, w = 0, h = 16, false);
    EXPECT_EQ(w, width_of("ExitShift+Ctrl+F5"));
    // The drop-down's column is as wide as its widest item, each item as high as measured.
    EXPECT_EQ(popup.ItemRect(0).Height(), height);
    EXPECT_EQ(popup.ItemRect(3).Height(), 3);
    EXPECT_EQ(popup.ItemRect(0).Width(), width_of("ExitShift+Ctrl+F5"));
    // A side bar widens the items beside it.
    styler->SideBar().SetVisible(true);
    MeasureItem(exit, canvas, w = 0, h = 16, true);
    EXPECT_EQ(w, width_of("ExitShift+Ctrl+F5") + styler->SideBar().Size() + styler->SideBar().SplitterWidth());
    // A bar item is as wide as its text.
    MeasureItem(file, canvas, w = 0, h = 0, false);
    EXPECT_EQ(w, canvas.TextWidth("File"));
    EXPECT_EQ(h, std::max(19, canvas.TextHeight("File") + 6));
}

TEST_F(PaintFixture, NoteLinesCountOnlyWithShowNotes) {
    ui::TCanvas canvas;
    canvas.SetFont(ui::Screen().MenuFont());
    new_item->SetCaption("First\\nA note");
    new_item->SetShortCut(ui::scNone);
    int w = 0, h = 16;
    MeasureItem(new_item, canvas, w, h, false);
    const int with_notes = h;
    menu->SetShowNotes(false);
    canvas.SetFont(ui::Screen().MenuFont());  // measuring notes leaves the notes font selected
    MeasureItem(new_item, canvas, w = 0, h = 16, false);
    EXPECT_GT(with_notes, h);
    ui::TCanvas notes;
    notes.SetFont(styler->NotesFont());
    EXPECT_EQ(with_notes, h + notes.TextHeight("gh"));
    const int one_line_width = w;
    menu->SetShowNotes(true);
    canvas.SetFont(ui::Screen().MenuFont());
    MeasureItem(new_item, canvas, w = 0, h = 16, false);
    EXPECT_LT(w, one_line_width);  // the note is narrower than the whole caption as one line
    EXPECT_GT(canvas.TextWidth("First\\nA note"), canvas.TextWidth("First"));
}

TEST_F(PaintFixture, IconBarGradientRunsOverTheWholeDropDown) {
    styler->IconBar().SetGradientDirection(TGradientDirection::gdVertical);
    styler->IconBar().SetColor(0x000000);
    styler->IconBar().SetColorTo(0x0000FF);
    ui::TMenuWindow& popup = OpenFile();
    const QImage& image = popup.Render();
    const ui::TRect first = Local(popup, 0);
    const ui::TRect last = Local(popup, popup.ItemCount() - 1);
    const int height = last.Bottom - first.Top;
    int rows = 0;
    for (int y = first.Top; y < last.Bottom; ++y) {
        // Column 1 of the strip is left of every item's icon square.
        const TColor expected = static_cast<TColor>((y - first.Top) * 0xFF / height);
        ASSERT_EQ(PixelAt(image, first.Left + 1, y), expected) << y;
        ++rows;
    }
    EXPECT_EQ(rows, height);
}

TEST_F(PaintFixture, SeparatorMarksAndArrowStandAtTheirPlaces) {
    ui::TMenuWindow& popup = OpenFile();
    const QImage& image = popup.Render();
    const int size = styler->IconBar().Size();
    // The separator: one line across the middle, right of the icon bar.
    const ui::TRect sep = Local(popup, 3);
    const int y = sep.Top + sep.Height() / 2;
    EXPECT_EQ(PixelAt(image, sep.Left + size + 10, y), styler->Separator().Color());
    EXPECT_EQ(PixelAt(image, sep.Left + size + 10, y + 1), ui::ColorToRGB(styler->Background().Color()));
    // Check and radio marks: a square in the check colours with the glyph on it.
    for (int position : {1, 2}) {
        const ui::TRect r = Local(popup, position);
        ui::TRect square{r.Left, r.Top + 1, r.Left + size, r.Bottom - 1};
        CenterRect(square, std::min(square.Width(), square.Height()), std::min(square.Width(), square.Height()));
        const bool is_radio = position == 2;
        const TColor border = is_radio ? styler->IconBar().RadioBorder() : styler->IconBar().CheckBorder();
        const TColor fill = is_radio ? styler->IconBar().RadioColor() : styler->IconBar().CheckColor();
        EXPECT_EQ(PixelAt(image, square.Left, square.Top + 3), border) << position;
        EXPECT_EQ(PixelAt(image, square.Left + 1, square.Top + 1), fill) << position;
        int black = 0;
        for (int yy = square.Top; yy < square.Bottom; ++yy) {
            for (int xx = square.Left; xx < square.Right; ++xx) black += PixelAt(image, xx, yy) == 0 ? 1 : 0;
        }
        EXPECT_GT(black, 8) << position;
    }
    // The sub-menu arrow: black pixels in its box near the item's right edge (less 17).
    const ui::TRect more = Local(popup, 4);
    const int right = more.Right - 17;
    const int ay = (more.Top + more.Bottom - 5) / 2;
    int arrow = 0;
    for (int yy = ay - 2; yy < ay + 8; ++yy) {
        for (int xx = right - 10; xx < right - 3; ++xx) arrow += PixelAt(image, xx, yy) == 0 ? 1 : 0;
    }
    EXPECT_GE(arrow, 10);
    // No arrow on an item without sub-items.
    const ui::TRect exit_rect = Local(popup, 5);
    int none = 0;
    for (int yy = exit_rect.Top; yy < exit_rect.Bottom; ++yy) {
        for (int xx = exit_rect.Right - 27; xx < exit_rect.Right - 20; ++xx) none += PixelAt(image, xx, yy) == 0 ? 1 : 0;
    }
    EXPECT_EQ(none, 0);
}

TEST_F(PaintFixture, BarGradientIsOneBandOverAllButtonsToTheRightEdge) {
    styler->RootItem().SetColor(0x000000);
    styler->RootItem().SetColorTo(0xFF0000);
    const QImage& image = form.MenuBar()->Window().Render();
    const int width = image.width();
    for (int x : {1, 10, 40, width / 2, width - 1}) {
        const TColor expected = static_cast<TColor>((x * 0xFF / (width + 100)) << 16);
        EXPECT_EQ(PixelAt(image, x, 0), expected) << x;
    }
}

TEST(ShortCutTexts, PlainAndFromKeyNames) {
    const struct {
        ui::TShortCut shortcut;
        bool international;
        const char* text;
    } rows[] = {
        {ui::ShortCut('N', ui::scCtrl), false, "Ctrl+N"},
        {ui::ShortCut(0x74, ui::scShift | ui::scCtrl), false, "Shift+Ctrl+F5"},
        {static_cast<ui::TShortCut>(ui::ShortCut('E', ui::scCtrl) | 0x200), false, "Win+Ctrl+E"},
        {ui::ShortCut(0x74, ui::scShift | ui::scCtrl), true, "Ctrl+Shift+F5"},
        {ui::ShortCut(0x2E, ui::scAlt), true, "Alt+Delete"},
        {ui::ShortCut(0x21, 0), true, "Page up"},
        {ui::ShortCut('Q', ui::scAlt | ui::scCtrl | ui::scShift), true, "Alt+Ctrl+Shift+Q"},
    };
    for (const auto& row : rows) EXPECT_EQ(ShortCutText(row.shortcut, row.international), row.text) << row.text;
}

TEST(Gradients, LinesFadeAndClippedPiecesJoin) {
    test_support::EnsureApplication();
    ui::TBitmap bitmap;
    bitmap.SetPixelFormat(ui::TPixelFormat::pf32bit);
    bitmap.SetSize(60, 10);
    ui::TCanvas& c = bitmap.Canvas();
    c.Brush().SetColor(ui::clWhite);
    c.FillRect(ui::TRect{0, 0, 60, 10});
    // gtBoth over 20 pixels fades 10 at each end: ColorTo at the ends, Color in the middle.
    GradientLine(c, ui::TRect{0, 0, 60, 1}, 0, 20, TGradientType::gtBoth, TGradientDirection::gdHorizontal, 0xFFFFFF, 0x000000);
    EXPECT_EQ(c.Pixels(0, 0), 0xFFFFFFu);
    EXPECT_EQ(c.Pixels(10, 0), 0x000000u);
    EXPECT_EQ(c.Pixels(30, 0), 0x000000u);
    EXPECT_EQ(c.Pixels(49, 0), 0x000000u);
    EXPECT_NE(c.Pixels(5, 0), 0x000000u);
    EXPECT_NE(c.Pixels(55, 0), 0x000000u);
    // Two clipped halves give the same pixels as one gradient.
    GradientRectClipped(nullptr, c, ui::TRect{0, 2, 60, 3}, TGradientDirection::gdHorizontal, 0x00FF00, 0x000000,
                        ui::TRect{0, 0, 25, 10});
    GradientRectClipped(nullptr, c, ui::TRect{0, 2, 60, 3}, TGradientDirection::gdHorizontal, 0x00FF00, 0x000000,
                        ui::TRect{25, 0, 60, 10});
    GradientFill(nullptr, c, ui::TRect{0, 3, 60, 4}, TGradientDirection::gdHorizontal, 0x00FF00, 0x000000);
    for (int x = 0; x < 60; ++x) EXPECT_EQ(c.Pixels(x, 2), c.Pixels(x, 3)) << x;
    EXPECT_EQ(c.Pixels(30, 3), static_cast<TColor>((30 * 0xFF / 60) << 8));
}

}  // namespace
