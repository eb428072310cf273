// Colour values, entities, the plain-text form, the stepped gradient and picture sources.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <QImage>

#include "controls/markup/markup_colors.h"
#include "controls/markup/markup_drawing.h"
#include "controls/markup/markup_pictures.h"
#include "controls/markup/markup_text.h"
#include "controls/pictures/html_picture.h"
#include "controls/pictures/picture_container.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/controls/shell_icons.h"
#include "platform/ui/core/sysutils.h"
#include "platform/ui/graphics/bitmap.h"
#include "tests/pictures/picture_fixture.h"
#include "tests/support/render.h"

namespace {

TEST(MarkupColors, NamesSystemColoursAndHexValues) {
    struct Case {
        const char* value;
        ui::TColor color;
    };
    const Case cases[] = {
        {"clred", 0x0000FF},
        {"CLRED", 0x0000FF},
        {"clnavy", 0x800000},
        {"clolive", 0x008080},
        {"claqua", 0xFFFF00},
        {"clbackground", 0xFF000001},
        {"clinfobk", 0xFF000018},
        {"clinfotext", 0xFF000017},
        {"clbtnface", 0xFF00000F},
        {"cl3ddkshadow", 0xFF000015},
        {"clorange", 0},
        {"#FF0000", 0x0000FF},
        {"#ff0000", 0x0000FF},
        {"#0080C0", 0xC08000},
        {"#12345", 0},
        {"#GG0000", 0},
        {"#", 0},
        {"#FF00001", 0},
        {"", ui::clNone},
    };
    for (const Case& c : cases) EXPECT_EQ(panel::MarkupColor(c.value), c.color) << c.value;
    EXPECT_EQ(panel::ColorFromMarkupName("clred"), panel::ColorFromMarkupHex("#FF0000"));
    EXPECT_EQ(panel::ColorFromMarkupName("CLRED"), 0u);  // the caller lower-cases
}

TEST(MarkupText, PlainTextDropsTagsAndHiddenParts) {
    struct Case {
        const char* markup;
        const char* plain;
    };
    const Case cases[] = {
        {"one<BR>two<Z>hidden</Z>", "one\r\ntwo"},
        {"a<br>b<hr>c", "a\r\nb\r\nc"},
        {"<b>bold <i>nested</i></b> end", "bold nested end"},
        {"<unknown attr=\"1\">x</unknown>", "x"},
        {"<b>unclosed", "unclosed"},
        {"a<z>hide</z>b<Z>hide</Z>c", "abc"},
        {"a<z>no close", "ano close"},
        {"lone < and more", "lone < and more"},
        {"<b>x</b> < tail <i> end", "x  end"},  // "<" to the next ">" is a tag
        {"&amp; stays", "&amp; stays"},
    };
    for (const Case& c : cases) EXPECT_EQ(panel::MarkupToPlainText(c.markup), c.plain) << c.markup;
}

TEST(MarkupText, EntitiesBeforeLayoutAndInsideRuns) {
    std::string text = "a&amp;b &quot;q&quot; &copy;&euro;&trade;&sect;&permil;&reg;&para;";
    EXPECT_TRUE(panel::ReplaceMarkupEntities(text));
    EXPECT_EQ(text, "a&&b \"q\" \xC2\xA9\xE2\x82\xAC\xE2\x84\xA2\xC2\xA7\xE2\x80\xB0\xC2\xAE\xC2\xB6");
    EXPECT_FALSE(panel::ReplaceMarkupEntities(text));
    EXPECT_EQ(panel::ReplaceRunEntities("&lt;b&gt;&nbsp;x"), "<b> x");
}

TEST(MarkupGradient, SixtyFourStripesOfRoundedColours) {
    test_support::EnsureApplication();
    ui::TBitmap bitmap;
    bitmap.SetSize(140, 80);
    bitmap.Canvas().Brush().SetColor(ui::clWhite);
    bitmap.Canvas().FillRect(ui::Rect(0, 0, 140, 80));
    // 128 pixels in 64 stripes of 2: stripe i has red round(i * 255 / 64).
    panel::GradientFill(bitmap.Canvas(), ui::clBlack, ui::clRed, true, ui::Rect(4, 2, 132, 10), 64, ui::clNone);
    for (int i : {0, 1, 2, 31, 63}) {
        const auto red = static_cast<std::uint8_t>(ui::Round(i * 255.0 / 64));
        EXPECT_EQ(bitmap.Canvas().Pixels(4 + 2 * i, 2), ui::MakeColor(red, 0, 0)) << i;
        EXPECT_EQ(bitmap.Canvas().Pixels(4 + 2 * i + 1, 9), ui::MakeColor(red, 0, 0)) << i;
    }
    EXPECT_EQ(bitmap.Canvas().Pixels(132, 5), ui::clWhite);
    EXPECT_EQ(bitmap.Canvas().Pixels(3, 5), ui::clWhite);
    // Top to bottom, and no steps at all meaning one.
    panel::GradientFill(bitmap.Canvas(), ui::clBlue, ui::clLime, false, ui::Rect(0, 20, 10, 84), 64, ui::clNone);
    EXPECT_EQ(bitmap.Canvas().Pixels(5, 20), ui::clBlue);
    // Row 79 is stripe 59 (one row each): green round(59 * 255 / 64), blue 255 less that.
    EXPECT_EQ(bitmap.Canvas().Pixels(5, 79), ui::MakeColor(0, 235, 20));
    panel::GradientFill(bitmap.Canvas(), ui::clNavy, ui::clRed, true, ui::Rect(20, 20, 30, 30), 0, ui::clYellow);
    EXPECT_EQ(bitmap.Canvas().Pixels(25, 25), ui::clNavy);
    EXPECT_EQ(bitmap.Canvas().Pixels(20, 20), ui::clYellow);  // the border
}

TEST(MarkupPictures, SourcesResolveInOrder) {
    test_support::EnsureApplication();
    ui::TImageList images(nullptr);
    images.SetSize(10, 7);
    ui::TBitmap image;
    image.SetSize(10, 7);
    images.Add(image);
    images.Add(image);
    panel::TPictureContainer container(nullptr);
    panel::TPictureItem* item = container.Items().Add();
    item->SetName("Logo");
    panel_test::LoadPicture(item->Picture(), panel_test::PngFile(6, 4, ui::clRed));
    container.Items().Add()->SetName("Blank");
    panel::THTMLPictureCache cache;
    const panel::MarkupPictureSources sources{&images, &container, &cache};

    struct Case {
        const char* source;
        panel::MarkupPictureKind kind;
        ui::TSize size;
        int image_index = 0;
    };
    using K = panel::MarkupPictureKind;
    // An image number is its leading digits, 0 when there are none.
    const Case cases[] = {
        {"IDX:1", K::ImageList, {10, 7}, 1},
        {"idx:0", K::ImageList, {10, 7}},
        {"IDX:2", K::None, {0, 0}},
        {"IDX:x", K::ImageList, {10, 7}},
        {"IDX:", K::ImageList, {10, 7}},
        {"IDX:1x", K::ImageList, {10, 7}, 1},
        {"IDX:01", K::ImageList, {10, 7}, 1},
        {"IDX:-1", K::ImageList, {10, 7}},
        {"IDX:2x", K::None, {0, 0}},
        {"IDX:99999999999", K::None, {0, 0}},
        {"SSYS:a.txt", K::ShellIcon, {16, 16}},
        {"LSYS:3", K::ShellIcon, {32, 32}},
        {"LOGO", K::Picture, {6, 4}},
        {"Blank", K::None, {0, 0}},
        {"Missing", K::None, {0, 0}},
        {"RES://A", K::Picture, {5, 3}},
        {"http://x/y.png", K::None, {0, 0}},
        {"C:pic", K::None, {0, 0}},
    };
    for (const Case& c : cases) {
        const panel::MarkupPicture p = panel::ResolveMarkupPicture(c.source, sources);
        EXPECT_EQ(p.kind, c.kind) << c.source;
        EXPECT_EQ(p.size, c.size) << c.source;
        if (c.kind == K::ImageList) {
            EXPECT_EQ(p.image_index, c.image_index) << c.source;
        }
    }
    EXPECT_EQ(cache.Count(), 2);  // the resource and the internet address, each loaded once
    EXPECT_EQ(panel::ResolveMarkupPicture("IDX:0", {}).kind, K::None);
}

// The pixels a drawing puts on a white 40 x 40 picture.
QImage Drawn(const std::function<void(ui::TCanvas&)>& draw) {
    ui::TBitmap bitmap;
    bitmap.SetPixelFormat(ui::TPixelFormat::pf32bit);
    bitmap.SetSize(40, 40);
    bitmap.Canvas().Brush().SetColor(ui::clWhite);
    bitmap.Canvas().FillRect(ui::Rect(0, 0, 40, 40));
    draw(bitmap.Canvas());
    return bitmap.Image().copy();
}

// The smallest rectangle holding every pixel that is not white; empty when there is none.
ui::TRect InkBounds(const QImage& image) {
    ui::TRect r = ui::Rect(image.width(), image.height(), 0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (test_support::PixelAt(image, x, y) == ui::clWhite) continue;
            r.Left = std::min(r.Left, x);
            r.Top = std::min(r.Top, y);
            r.Right = std::max(r.Right, x + 1);
            r.Bottom = std::max(r.Bottom, y + 1);
        }
    }
    return r.IsEmpty() ? ui::TRect{} : r;
}

// Some ink, all of it inside `box`.
bool InkOnlyIn(const QImage& image, const ui::TRect& box) {
    const ui::TRect ink = InkBounds(image);
    return !ink.IsEmpty() && ink.Left >= box.Left && ink.Top >= box.Top && ink.Right <= box.Right &&
           ink.Bottom <= box.Bottom;
}

TEST(MarkupPictures, ShellIconSizesAndNumbersNeedNoFile) {
    test_support::EnsureApplication();
    // A number is a stock icon of the system image list, never a file of that name: the icon of a
    // missing file "3" is a document's, stock icon 3 is a folder.
    const QImage folder = Drawn([](ui::TCanvas& c) { ui::DrawShellStockIcon(c, 0, 0, true, 3); });
    const QImage document = Drawn([](ui::TCanvas& c) { ui::DrawShellFileIcon(c, 0, 0, true, "3"); });
    ASSERT_TRUE(InkOnlyIn(folder, ui::Rect(0, 0, 32, 32)));
    ASSERT_NE(folder, document);  // else the cases below could not tell them apart

    ui::TSize size;
    EXPECT_EQ(Drawn([&](ui::TCanvas& c) { size = panel::DrawShellIcon(c, 0, 0, true, true, false, 1.0, "3"); }),
              folder);
    EXPECT_EQ(size, (ui::TSize{32, 32}));
    // Asked only for its size, nothing is drawn.
    const QImage measured =
        Drawn([&](ui::TCanvas& c) { size = panel::DrawShellIcon(c, 0, 0, false, false, false, 1.0, "x.txt"); });
    EXPECT_EQ(size, (ui::TSize{16, 16}));
    EXPECT_TRUE(InkBounds(measured).IsEmpty());
    // A small icon at its place and within its 16 x 16.
    const QImage small =
        Drawn([&](ui::TCanvas& c) { size = panel::DrawShellIcon(c, 5, 7, false, true, false, 1.0, "4"); });
    EXPECT_EQ(size, (ui::TSize{16, 16}));
    EXPECT_EQ(small, Drawn([](ui::TCanvas& c) { ui::DrawShellStockIcon(c, 5, 7, false, 4); }));
    EXPECT_TRUE(InkOnlyIn(small, ui::Rect(5, 7, 21, 23)));
    // Printing draws the large icon through a bitmap scaled by the factor: 16 x 16 at (4, 4).
    const QImage printed =
        Drawn([&](ui::TCanvas& c) { size = panel::DrawShellIcon(c, 4, 4, true, true, true, 0.5, "/"); });
    EXPECT_EQ(size, (ui::TSize{32, 32}));
    EXPECT_TRUE(InkOnlyIn(printed, ui::Rect(4, 4, 20, 20)));
}

}  // namespace
