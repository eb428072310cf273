// Measuring and painting of styled items through the real menu host: sizes by the measuring
// rules, the icon-bar gradient over a whole drop-down, separators, check and radio marks, the
// sub-menu arrow, note lines, the bar gradient, and shortcut texts.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/menus/fine_main_menu.h"
#include "controls/menus/gdip.h"
#include "controls/menus/menu_gradients.h"
#include "controls/menus/menu_measuring.h"
#include "controls/menus/menu_shortcuts.h"
#include "controls/menus/menu_util.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/forms/form.h"
#include "platform/ui/forms/menu_bar.h"
#include "platform/ui/graphics/draw_text.h"
#include "platform/ui/graphics/picture.h"
#include "tests/support/render.h"

namespace {

using namespace menus;
using test_support::PixelAt;
using ui::TColor;

// Where pixels of one colour lie within an area of an image, and how many there are.
struct Ink {
    ui::TRect box{0, 0, 0, 0};
    int count = 0;
};
template <typename Match>
Ink InkWhere(const QImage& image, const ui::TRect& area, Match match) {
    Ink ink;
    ink.box = ui::TRect{area.Right, area.Bottom, area.Left, area.Top};
    for (int y = area.Top; y < area.Bottom; ++y) {
        for (int x = area.Left; x < area.Right; ++x) {
            if (!match(PixelAt(image, x, y))) continue;
            ++ink.count;
            ink.box = ui::TRect{std::min(ink.box.Left, x), std::min(ink.box.Top, y), std::max(ink.box.Right, x + 1),
                                std::max(ink.box.Bottom, y + 1)};
        }
    }
    return ink;
}
Ink InkOf(const QImage& image, const ui::TRect& area, TColor colour) {
    return InkWhere(image, area, [colour](TColor c) { return c == colour; });
}

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
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(global.x() - w.Left, global.y() - w.Top), global,
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(static_cast<QObject*>(bar.Widget()), &press);
        return form.MenuBar()->Popup(0);
    }
    // An item's rectangle in the drop-down's window coordinates.
    static ui::TRect Local(ui::TMenuWindow& w, int position) {
        const ui::TRect r = w.ItemRect(position);
        const ui::TRect o = w.WindowRect();
        return ui::TRect{r.Left - o.Left, r.Top - o.Top, r.Right - o.Left, r.Bottom - o.Top};
    }

    // The side bar's band left of the items, less its splitter, in window coordinates.
    ui::TRect SideBarArea(ui::TMenuWindow& popup) const {
        const ui::TRect first = Local(popup, 0);
        return ui::TRect{first.Left, first.Top, first.Left + styler->SideBar().Size(),
                         Local(popup, popup.ItemCount() - 1).Bottom};
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

// With notes shown, a caption's first line measures as an item's text and each note line adds a
// line of the notes font; the item is as wide as its first line or as its widest note beside the
// icon bar and a margin, whichever is wider. Without notes the whole caption is one line.
TEST_F(PaintFixture, NoteLinesCountOnlyWithShowNotes) {
    ui::TCanvas canvas;
    ui::TCanvas notes;
    notes.SetFont(styler->NotesFont());
    const int size = styler->IconBar().Size();
    const auto item_width = [&](const std::string& text) {
        ui::TCanvas item;
        item.SetFont(ui::Screen().MenuFont());
        return size + 15 + item.TextWidth(text) + 7 + 17;
    };
    const struct {
        const char* first;
        const char* note;
    } captions[] = {
        {"First", "A note much longer than the line above it"},  // the note sets the width
        {"A first line much longer than its note", "Note"},      // the first line does
    };
    new_item->SetShortCut(ui::scNone);
    for (const auto& c : captions) {
        SCOPED_TRACE(c.first);
        const std::string caption = std::string(c.first) + "\\n" + c.note;
        new_item->SetCaption(caption);
        menu->SetShowNotes(true);
        canvas.SetFont(ui::Screen().MenuFont());
        int w = 0, h = 16;
        MeasureItem(new_item, canvas, w, h, false);
        const int with_notes = h;
        EXPECT_EQ(w, std::max(item_width(c.first), notes.TextWidth(c.note) + size + 32));
        menu->SetShowNotes(false);
        canvas.SetFont(ui::Screen().MenuFont());  // measuring notes leaves the notes font selected
        MeasureItem(new_item, canvas, w = 0, h = 16, false);
        EXPECT_EQ(w, item_width(caption));
        EXPECT_EQ(with_notes, h + notes.TextHeight("gh"));
    }
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
        for (int xx = exit_rect.Right - 27; xx < exit_rect.Right - 20; ++xx)
            none += PixelAt(image, xx, yy) == 0 ? 1 : 0;
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

TEST_F(PaintFixture, BarTextsKeepThePlatformsRoomAroundThem) {
    ui::TMenuWindow& bar = form.MenuBar()->Window();
    const QImage& image = bar.Render();
    ui::TCanvas canvas;
    canvas.SetFont(ui::Screen().MenuFont());
    const int room = ui::OwnerDrawBarItemSpacing();
    const ui::TRect origin = bar.WindowRect();
    auto dark = [](TColor c) { return (c & 0xFF) < 0x80 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80; };
    std::vector<Ink> texts;
    for (int i = 0; i < 2; ++i) {
        const ui::TRect r = ui::TRect{bar.ItemRect(i).Left - origin.Left, 0, bar.ItemRect(i).Right - origin.Left,
                                      bar.ItemRect(i).Height()};
        // The measure is the text's width; the platform adds its room.
        EXPECT_EQ(r.Width(), canvas.TextWidth(ui::StripHotkey(bar.ItemAt(i)->Caption())) + room) << i;
        texts.push_back(InkWhere(image, r, dark));
        ASSERT_GT(texts.back().count, 10) << i;
        // The text stands centred, with room on both sides.
        EXPECT_GE(texts.back().box.Left - r.Left, room / 2 - 2) << i;
        EXPECT_GE(r.Right - texts.back().box.Right, room / 2 - 2) << i;
    }
    EXPECT_GE(texts[1].box.Left - texts[0].box.Right, room - 3);
}

TEST_F(PaintFixture, SideBarCaptionIsRotatedInItsFontAndColour) {
    TSideBar& side = styler->SideBar();
    side.SetVisible(true);
    side.SetSize(30);
    side.SetCaption("Album");
    side.Background().SetColor(0x202020);
    side.Background().SetColorTo(ui::clNone);
    side.SetBorderColor(ui::clNone);
    ui::TFont font;
    font.SetName("Tahoma");
    font.SetHeight(-19);
    font.SetStyle(ui::TFontStyles{ui::TFontStyle::fsBold, ui::TFontStyle::fsItalic});
    font.SetColor(0x0000FF);
    side.SetFont(font);
    ui::TCanvas measure;
    measure.SetFont(font);
    const int length = measure.TextWidth("Album");
    const int thickness = measure.TextHeight("Album");
    const int margin = side.CaptionMargin();
    enum class Place { kFromBottom, kFromTop, kCentred };
    const struct {
        TDirection direction;
        ui::TAlignment alignment;
        Place place;
    } rows[] = {
        {TDirection::dDownToUp, ui::TAlignment::taLeftJustify, Place::kFromBottom},
        {TDirection::dUpToDown, ui::TAlignment::taLeftJustify, Place::kFromTop},
        {TDirection::dDownToUp, ui::TAlignment::taRightJustify, Place::kFromTop},
        {TDirection::dUpToDown, ui::TAlignment::taRightJustify, Place::kFromBottom},
        {TDirection::dDownToUp, ui::TAlignment::taCenter, Place::kCentred},
        {TDirection::dUpToDown, ui::TAlignment::taCenter, Place::kCentred},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.direction) * 10 + static_cast<int>(row.alignment));
        side.SetDirection(row.direction);
        side.SetAlignment(row.alignment);
        ui::TMenuWindow& popup = OpenFile();
        const QImage& image = popup.Render();
        const ui::TRect bar = SideBarArea(popup);
        // Only the caption's colour over the bar's background, its smoothed edges in steps
        // between the two (red rising from the background's, green and blue falling together).
        const Ink text = InkWhere(image, bar, [](TColor c) { return c != 0x202020u; });
        const Ink foreign = InkWhere(image, bar, [](TColor c) {
            return ui::GreenOf(c) != ui::BlueOf(c) || ui::GreenOf(c) > 0x20 || ui::RedOf(c) < 0x20;
        });
        EXPECT_EQ(foreign.count, 0);
        EXPECT_GT(InkOf(image, bar, 0x0000FF).count, 0);
        // Turned upright: as long as the text is wide, as thick as it is high, across the bar.
        EXPECT_NEAR(text.box.Height(), length, 4);
        EXPECT_LE(text.box.Width(), thickness);
        EXPECT_GE(text.box.Width(), thickness / 2);
        EXPECT_GE(text.box.Left, bar.Left);
        EXPECT_LE(text.box.Right, bar.Right);
        switch (row.place) {
        case Place::kFromBottom:
            EXPECT_NEAR(text.box.Bottom, bar.Bottom - margin, 3);
            break;
        case Place::kFromTop:
            EXPECT_NEAR(text.box.Top, bar.Top + margin, 3);
            break;
        case Place::kCentred:
            EXPECT_NEAR(text.box.Top + text.box.Bottom, bar.Top + bar.Bottom, 5);
            break;
        }
        form.MenuBar()->EndTracking();
    }
    // The splitter stands right of the band; the icon bar starts after it.
    {
        ui::TMenuWindow& popup = OpenFile();
        const QImage& image = popup.Render();
        const ui::TRect bar = SideBarArea(popup);
        const int middle = (bar.Top + bar.Bottom) / 2;
        EXPECT_EQ(PixelAt(image, bar.Right, middle), side.SplitterColor());
        styler->IconBar().SetColor(0x123456);
        styler->IconBar().SetColorTo(ui::clNone);
        popup.Invalidate();
        EXPECT_EQ(PixelAt(popup.Render(), bar.Right + 2, middle), 0x123456u);
        form.MenuBar()->EndTracking();
    }
    // A shadow copy stands Depth pixels right of and above the text, under it.
    side.SetDirection(TDirection::dDownToUp);
    side.SetAlignment(ui::TAlignment::taLeftJustify);
    side.SetShadowColor(0x00FF00);
    side.SetDepth(2);
    ui::TMenuWindow& popup = OpenFile();
    const QImage& image = popup.Render();
    const ui::TRect bar = SideBarArea(popup);
    const Ink text = InkOf(image, bar, 0x0000FF);
    const Ink shadow = InkOf(image, bar, 0x00FF00);
    EXPECT_GT(shadow.count, 10);
    EXPECT_EQ(shadow.box.Right, text.box.Right + 2);
    EXPECT_EQ(shadow.box.Top, text.box.Top - 2);
}

// Item texts go through the anti-aliasing layer when the styler asks for smoothing, and keep
// their places: caption after the icon bar, shortcut at the right, both centred in the row.
TEST_F(PaintFixture, SmoothedTextsGoThroughTheTextLayerAtTheirPlaces) {
    const struct {
        TAntiAlias anti_alias;
        bool smoothed;
    } rows[] = {{TAntiAlias::aaNone, false}, {TAntiAlias::aaAntiAlias, true}, {TAntiAlias::aaClearType, true}};
    const TColor text_colour = ui::ColorToRGB(ui::Screen().MenuFont().Color());
    const TColor background = ui::ColorToRGB(styler->Background().Color());
    auto dark = [](TColor c) { return (c & 0xFF) < 0x80 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80; };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.anti_alias));
        styler->SetAntiAlias(row.anti_alias);
        // The text layer's objects start it when it is not running: unsmoothed menus make none.
        GdipShutdown();
        ui::TMenuWindow& popup = OpenFile();
        const QImage& image = popup.Render();
        void* block = gdiplus::GdipAlloc(16);
        EXPECT_EQ(block != nullptr, row.smoothed);
        gdiplus::GdipFree(block);
        ui::TRect r = Local(popup, 0);  // "&New", Ctrl+N
        r.Right -= 17;
        const ui::TRect text_area{r.Left + styler->IconBar().Size() + 8, r.Top, r.Right, r.Bottom};
        // Through the text layer or not, the text is smoothed.
        const Ink between = InkWhere(image, text_area, [&](TColor c) { return c != text_colour && c != background; });
        EXPECT_GT(between.count, 5);
        const int middle = (r.Left + r.Right) / 2;
        const Ink caption = InkWhere(image, ui::TRect{text_area.Left, r.Top, middle, r.Bottom}, dark);
        const Ink shortcut = InkWhere(image, ui::TRect{middle, r.Top, r.Right, r.Bottom}, dark);
        ASSERT_GT(caption.count, 10);
        ASSERT_GT(shortcut.count, 10);
        EXPECT_NEAR(caption.box.Left, text_area.Left, 2);
        EXPECT_NEAR(shortcut.box.Right, r.Right - 10, 2);
        EXPECT_NEAR(caption.box.Top + caption.box.Bottom, r.Top + r.Bottom, 3);
        EXPECT_NEAR(shortcut.box.Top + shortcut.box.Bottom, r.Top + r.Bottom, 3);
        form.MenuBar()->EndTracking();
    }
    // A caption with a note: the first line from the top in the item's font, the note 20 pixels
    // lower in the notes font's grey.
    new_item->SetCaption("First\\nA note");
    new_item->SetShortCut(ui::scNone);
    styler->SetAntiAlias(TAntiAlias::aaAntiAlias);
    ui::TMenuWindow& popup = OpenFile();
    const QImage& image = popup.Render();
    ui::TRect r = Local(popup, 0);
    r.Right -= 17;
    const int left = r.Left + styler->IconBar().Size() + 8;
    const Ink first_line = InkWhere(image, ui::TRect{left, r.Top, r.Right, r.Top + 20}, dark);
    const Ink note =
        InkWhere(image, ui::TRect{left, r.Top + 20, r.Right, r.Bottom}, [&](TColor c) { return c != background; });
    ASSERT_GT(first_line.count, 10);
    ASSERT_GT(note.count, 10);
    EXPECT_LT(first_line.box.Top, r.Top + 8);
    const Ink dark_in_note =
        InkWhere(image, ui::TRect{left, r.Top + 20, r.Right, r.Bottom}, [](TColor c) { return (c & 0xFF) < 0x70; });
    EXPECT_EQ(dark_in_note.count, 0);
}

// A font given by its cell height (a positive height) has no size in points the text layer can
// make a font of: with smoothing asked for, such texts come out as the plain text drawing draws
// them, and a caption's note lines still stand below its first line.
TEST_F(PaintFixture, TextsTheTextLayerCannotDrawComeOutPlain) {
    ui::TFont cell_font;
    cell_font.Assign(&ui::Screen().MenuFont());
    cell_font.SetHeight(16);
    ASSERT_LE(cell_font.Size(), 0);
    styler->SetUseSystemFont(false);
    styler->SetFont(cell_font);
    auto render = [&](TAntiAlias anti_alias) {
        styler->SetAntiAlias(anti_alias);
        ui::TMenuWindow& popup = OpenFile();
        QImage image = popup.Render().copy();
        const ui::TRect first = Local(popup, 0), last = Local(popup, popup.ItemCount() - 1);
        form.MenuBar()->EndTracking();
        return std::pair{image,
                         ui::TRect{first.Left + styler->IconBar().Size(), first.Top, first.Right - 17, last.Bottom}};
    };
    const auto [plain, texts] = render(TAntiAlias::aaNone);
    const auto [smoothed, same_texts] = render(TAntiAlias::aaAntiAlias);
    ASSERT_EQ(texts, same_texts);
    const TColor background = ui::ColorToRGB(styler->Background().Color());
    EXPECT_GT(InkWhere(plain, texts, [&](TColor c) { return c != background; }).count, 50);
    int differing = 0;
    for (int y = texts.Top; y < texts.Bottom; ++y) {
        for (int x = texts.Left; x < texts.Right; ++x) differing += PixelAt(plain, x, y) != PixelAt(smoothed, x, y);
    }
    EXPECT_EQ(differing, 0);
    // A note line in a notes font of the same kind.
    new_item->SetCaption("First\\nA note");
    new_item->SetShortCut(ui::scNone);
    ui::TFont notes_font;
    notes_font.Assign(&cell_font);
    notes_font.SetHeight(14);
    notes_font.SetColor(0x0000FF);
    styler->SetNotesFont(notes_font);
    ui::TMenuWindow& popup = OpenFile();
    const QImage& image = popup.Render();
    ui::TRect r = Local(popup, 0);
    r.Right -= 17;
    const int left = r.Left + styler->IconBar().Size() + 8;
    const Ink first_line = InkWhere(image, ui::TRect{left, r.Top, r.Right, r.Top + 20},
                                    [](TColor c) { return (c & 0xFF) < 0x80 && (c >> 16) < 0x80; });
    const Ink note = InkWhere(image, ui::TRect{left, r.Top, r.Right, r.Bottom},
                              [](TColor c) { return (c & 0xFF) > 0xC0 && ((c >> 16) & 0xFF) < 0x80; });
    EXPECT_GT(first_line.count, 10);
    EXPECT_GT(note.count, 10);
    EXPECT_GE(note.box.Top, r.Top + 20);
}

// An image in one colour inside a two-pixel frame of its transparent colour (lime).
void PaintFramed(ui::TBitmap& image, TColor colour) {
    image.SetSize(16, 16);
    image.Canvas().Brush().SetColor(0x00FF00);
    image.Canvas().FillRect(ui::TRect{0, 0, 16, 16});
    image.Canvas().Brush().SetColor(colour);
    image.Canvas().FillRect(ui::TRect{2, 2, 14, 14});
    image.SetTransparentColor(0x00FF00);
    image.SetTransparent(true);
}

// The drop-down's background picture is composed once per drop-down size; what it is made of
// changing after a paint shows on the next paint, also for a styler that changed while another
// one served the menu.
TEST_F(PaintFixture, BackgroundPictureChangesShowOnTheNextPaint) {
    auto picture = [](TColor colour) {
        auto p = std::make_unique<ui::TPicture>();
        PaintFramed(p->Bitmap(), colour);
        return p;
    };
    const TColor red = 0x0000FF, blue = 0xFF0000, green = 0x008000, yellow = 0x00FFFF;
    auto shown = [&](TColor colour) {
        ui::TMenuWindow& popup = OpenFile();
        const QImage& image = popup.Render();
        const int count = InkOf(image, ui::TRect{0, 0, image.width(), image.height()}, colour).count;
        form.MenuBar()->EndTracking();
        return count;
    };
    styler->Background().SetPosition(TBackgroundPosition::bpCenter);
    styler->Background().SetImage(picture(red).get());
    ASSERT_GT(shown(red), 0);
    TFineMenuStyler other(nullptr);
    other.Background().SetPosition(TBackgroundPosition::bpCenter);
    other.Background().SetImage(picture(green).get());
    const struct {
        const char* change;
        std::function<void()> make;
        TColor now, before;
    } rows[] = {
        {"another picture", [&] { styler->Background().SetImage(picture(blue).get()); }, blue, red},
        {"the settings of another styler", [&] { styler->Assign(&other); }, green, blue},
        {"a change while another styler serves the menu",
         [&] {
             TFineMenuStyler elsewhere(nullptr);
             elsewhere.Background().SetPosition(TBackgroundPosition::bpCenter);
             elsewhere.Background().SetImage(picture(blue).get());
             menu->SetMenuStyler(&elsewhere);
             EXPECT_GT(shown(blue), 0);
             styler->Background().SetImage(picture(yellow).get());
             menu->SetMenuStyler(styler);
         },
         yellow, blue},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.change);
        row.make();
        EXPECT_GT(shown(row.now), 0);
        EXPECT_EQ(shown(row.before), 0);
    }
}

// A styler the menu owns, freed by someone else (its internal styler, or one assigned to it),
// gives way to a new internal styler: the bar and a drop-down are measured and drawn with that
// one, and nothing reads the freed styler (the sanitizer build sees any touch of it).
TEST_F(PaintFixture, AStylerOfItsOwnFreedFromOutsideGivesWayToAnInternalOne) {
    const struct {
        const char* name;
        std::function<TCustomFineMenuStyler*()> bind;  // the styler that is then freed
    } cases[] = {
        {"its internal styler",
         [&] {
             menu->SetMenuStyler(nullptr);
             return menu->InternalStyler();
         }},
        {"a styler assigned to it",
         [&] {
             auto* own = new TFineMenuStyler(menu);
             menu->SetMenuStyler(own);
             return own;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TCustomFineMenuStyler* freed = c.bind();
        ASSERT_EQ(menu->CurrentStyler(), freed);
        delete freed;
        TCustomFineMenuStyler* now = menu->CurrentStyler();
        ASSERT_NE(now, nullptr);
        EXPECT_EQ(now, menu->InternalStyler());
        EXPECT_EQ(menu->MenuStyler(), nullptr);
        EXPECT_EQ(now->Name(), "InternalMenuStyler");
        now->Separator().SetColor(0x123456);
        EXPECT_FALSE(form.MenuBar()->Window().Render().isNull());
        ui::TMenuWindow& popup = OpenFile();
        const QImage& image = popup.Render();
        const ui::TRect sep = Local(popup, 3);
        const int x = sep.Left + now->IconBar().Size() + 10;
        const int y = sep.Top + sep.Height() / 2;
        EXPECT_EQ(PixelAt(image, x, y), 0x123456);
        EXPECT_EQ(PixelAt(image, x, y + 1), ui::ColorToRGB(now->Background().Color()));
        form.MenuBar()->EndTracking();
        menu->SetMenuStyler(styler);  // the next case starts from the fixture's styler
    }
}

// An item moved from another styled menu is drawn for the menu that holds it now: the first
// menu updating, or gone, makes no difference to it.
TEST_F(PaintFixture, AnItemMovedFromAnotherMenuIsDrawnForItsNewMenu) {
    ui::TComponent elsewhere{nullptr};
    auto* first = new TFineMainMenu(&elsewhere);
    auto* root = new ui::TMenuItem(first);
    root->SetCaption("&Other");
    first->Items()->Add(root);
    auto* moved = new ui::TMenuItem(first);
    moved->SetCaption("&Moved");
    root->Add(moved);
    first->HookItems(nullptr, true, true);
    first->BeginUpdate();  // the first menu draws none of its items now
    root->Remove(moved);
    file->Add(moved);
    const auto dark = [](TColor c) {
        return (c & 0xFF) < 0x80 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80;
    };
    const auto caption_ink = [&] {
        ui::TMenuWindow& popup = OpenFile();
        const QImage& image = popup.Render();
        const ui::TRect r = Local(popup, popup.ItemCount() - 1);
        const int count =
            InkWhere(image, ui::TRect{r.Left + styler->IconBar().Size() + 8, r.Top, r.Right - 17, r.Bottom}, dark)
                .count;
        form.MenuBar()->EndTracking();
        return count;
    };
    EXPECT_GT(caption_ink(), 10);
    delete first;
    EXPECT_GT(caption_ink(), 10);
}

// An item's image: as it is when enabled; greyed when disabled, its outline kept; and from the
// menu's images for disabled items, when it has them, in their own look.
TEST_F(PaintFixture, DisabledItemsShowTheirImagesGreyed) {
    ui::TImageList images(nullptr), disabled_images(nullptr);
    ui::TBitmap red, blue;
    PaintFramed(red, 0x0000FF);
    PaintFramed(blue, 0xFF0000);
    images.Add(red);
    disabled_images.Add(blue);
    menu->SetImages(&images);
    new_item->SetImageIndex(0);
    const TColor icon_bar = ui::ColorToRGB(styler->IconBar().Color());
    styler->IconBar().SetColorTo(ui::clNone);
    enum class Look { kOwn, kGreyed, kDisabledImage };
    const struct {
        bool enabled;
        bool with_disabled_images;
        Look look;
    } rows[] = {
        {true, false, Look::kOwn},
        {false, false, Look::kGreyed},
        {true, true, Look::kOwn},
        {false, true, Look::kDisabledImage},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.look) * 10 + (row.with_disabled_images ? 1 : 0));
        new_item->SetEnabled(row.enabled);
        menu->SetDisabledImages(row.with_disabled_images ? &disabled_images : nullptr);
        ui::TMenuWindow& popup = OpenFile();
        const QImage& image = popup.Render();
        const ui::TRect r = Local(popup, 0);
        ui::TRect glyph{r.Left, r.Top + 1, r.Left + styler->IconBar().Size(), r.Bottom - 1};
        CenterRect(glyph, std::min(glyph.Width(), glyph.Height()), std::min(glyph.Width(), glyph.Height()));
        CenterRect(glyph, 16, 16);
        const TColor middle = PixelAt(image, glyph.Left + 8, glyph.Top + 8);
        switch (row.look) {
        case Look::kOwn:
            EXPECT_EQ(middle, 0x0000FFu);
            break;
        case Look::kDisabledImage:
            EXPECT_EQ(middle, 0xFF0000u);
            break;
        case Look::kGreyed:
            EXPECT_EQ(middle, (middle & 0xFF) * 0x010101u);  // three equal channels
            EXPECT_NE(middle, icon_bar);
            break;
        }
        // The frame stays transparent: the icon bar shows through it.
        EXPECT_EQ(PixelAt(image, glyph.Left, glyph.Top), icon_bar);
        EXPECT_EQ(InkOf(image, glyph, 0x00FF00).count, 0);
        form.MenuBar()->EndTracking();
    }
    menu->SetDisabledImages(nullptr);
    menu->SetImages(nullptr);
}

// Where the ink of a text drawn at the top of a rectangle begins, in a font: the offset the
// lines of a note caption keep from the tops they stand at.
int InkTopOf(const ui::TFont& font, const std::string& text, bool (*ink)(TColor)) {
    ui::TBitmap bitmap;
    bitmap.SetSize(200, 40);
    bitmap.Canvas().Brush().SetColor(ui::clWhite);
    bitmap.Canvas().FillRect(ui::TRect{0, 0, 200, 40});
    bitmap.Canvas().SetFont(font);
    bitmap.Canvas().Brush().SetStyle(ui::TBrushStyle::bsClear);
    ui::TRect r{0, 0, 200, 40};
    ui::DrawText(bitmap.Canvas(), text, r, ui::TDrawTextFlags::dtSingleLine);
    return InkWhere(bitmap.Image(), ui::TRect{0, 0, 200, 40}, ink).box.Top;
}

// A caption with a note stands from the item's top: the first line at the top in the item's
// font, each note one line of that font lower, and the mnemonic's underline under the first line,
// both with plain and with smoothed text.
TEST_F(PaintFixture, NoteCaptionsStandFromTheItemsTop) {
    new_item->SetCaption("&First\\nA note");
    new_item->SetShortCut(ui::scNone);
    const TColor background = ui::ColorToRGB(styler->Background().Color());
    static constexpr auto dark = [](TColor c) {
        return (c & 0xFF) < 0x70 && ((c >> 8) & 0xFF) < 0x70 && ((c >> 16) & 0xFF) < 0x70;
    };
    static constexpr auto any_ink = [](TColor c) { return c != ui::clWhite; };
    const ui::TFont& font = ui::Screen().MenuFont();
    ui::TCanvas measure;
    measure.SetFont(font);
    const int first_height = measure.TextHeight("gh");
    for (TAntiAlias anti_alias : {TAntiAlias::aaNone, TAntiAlias::aaAntiAlias}) {
        SCOPED_TRACE(static_cast<int>(anti_alias));
        styler->SetAntiAlias(anti_alias);
        ui::TMenuWindow& popup = OpenFile();
        const QImage& image = popup.Render();
        ui::TRect r = Local(popup, 0);
        r.Right -= 17;
        const int left = r.Left + styler->IconBar().Size() + 8;
        const int note_top = r.Top + first_height;
        const Ink first_line = InkWhere(image, ui::TRect{left, r.Top, r.Right, note_top}, dark);
        const Ink note =
            InkWhere(image, ui::TRect{left, note_top, r.Right, r.Bottom}, [&](TColor c) { return c != background; });
        ASSERT_GT(first_line.count, 10);
        if (anti_alias == TAntiAlias::aaNone) {
            EXPECT_EQ(first_line.box.Top, r.Top + InkTopOf(font, "First", dark));
            ASSERT_GT(note.count, 10);
            EXPECT_EQ(note.box.Top, note_top + InkTopOf(styler->NotesFont(), "A note", any_ink));
        } else {
            EXPECT_LE(first_line.box.Top, r.Top + InkTopOf(font, "First", dark) + 1);
        }
        // Nothing dark below the first line: the underline stays with its letter.
        EXPECT_EQ(InkWhere(image, ui::TRect{left, note_top, r.Right, r.Bottom}, dark).count, 0);
        form.MenuBar()->EndTracking();
    }
}

// The mnemonic's underline, through the platform's text drawing and through the text layer:
// under its own letter only ("x" of "E&xit", "E" of "&Exit", a letter of two bytes), as wide as
// the letter's advance,
// below the glyphs with a clear row between, on the row the font's own underline takes.
TEST_F(PaintFixture, MnemonicUnderlineStandsUnderItsLetterBelowTheBaseline) {
    auto dark = [](TColor c) { return (c & 0xFF) < 0x80 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80; };
    ui::TCanvas measure;
    measure.SetFont(ui::Screen().MenuFont());
    const ui::TTextMetric metric = measure.TextMetric();
    const struct {
        const char* caption;
        const char* before;  // the text left of the mnemonic
        const char* letter;
    } captions[] = {{"E&xit", "E", "x"}, {"&Exit", "", "E"}, {"\u00dc&\u00c4mter", "\u00dc", "\u00c4"}};
    for (TAntiAlias anti_alias : {TAntiAlias::aaNone, TAntiAlias::aaAntiAlias}) {
        styler->SetAntiAlias(anti_alias);
        for (const auto& c : captions) {
            SCOPED_TRACE(std::string(c.caption) + " " + std::to_string(static_cast<int>(anti_alias)));
            exit->SetCaption(c.caption);
            exit->SetShortCut(ui::scNone);
            ui::TMenuWindow& popup = OpenFile();
            const QImage& image = popup.Render();
            ui::TRect r = Local(popup, 5);
            const ui::TRect text_area{r.Left + styler->IconBar().Size() + 8, r.Top, r.Right - 17, r.Bottom};
            const Ink text = InkWhere(image, text_area, dark);
            ASSERT_GT(text.count, 10);
            // No caption has descenders: its lowest dark row is the underline, one row thick.
            const int row = text.box.Bottom - 1;
            const Ink line = InkWhere(image, ui::TRect{text_area.Left, row, text_area.Right, row + 1}, dark);
            EXPECT_EQ(line.count, line.box.Width());  // one unbroken run
            EXPECT_NEAR(line.box.Width(), measure.TextWidth(c.letter), 1);
            EXPECT_NEAR(line.box.Left, text_area.Left + measure.TextWidth(c.before), 1);
            // A clear row between the glyphs and the line, the baseline as far above the line as
            // the font puts its underline.
            EXPECT_EQ(InkWhere(image, ui::TRect{line.box.Left, row - 1, line.box.Right, row}, dark).count, 0);
            const Ink glyphs = InkWhere(image, ui::TRect{text_area.Left, text_area.Top, text_area.Right, row}, dark);
            EXPECT_EQ(row - glyphs.box.Bottom, metric.UnderlinePosition);
            form.MenuBar()->EndTracking();
        }
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
    GradientLine(c, ui::TRect{0, 0, 60, 1}, 0, 20, TGradientType::gtBoth, TGradientDirection::gdHorizontal, 0xFFFFFF,
                 0x000000);
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
