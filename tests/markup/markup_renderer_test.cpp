// The markup renderer: a corpus of texts measured and hit-tested, and the pixels it draws.
#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/markup/markup_renderer.h"
#include "controls/pictures/picture_container.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/graphics/bitmap.h"
#include "tests/pictures/picture_fixture.h"
#include "tests/support/render.h"

namespace {

using panel::MarkupHit;
using panel::MarkupLayout;
using panel::MarkupLayoutInputs;
using panel::MarkupPaintInputs;

// A white 32-bit picture whose canvas draws the markup, and the height of one line of its font.
class MarkupRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::EnsureApplication();
        bitmap_.SetPixelFormat(ui::TPixelFormat::pf32bit);
        bitmap_.SetSize(200, 120);
        Clear();
        Canvas().Font().SetColor(ui::clBlack);
        gh_ = Canvas().TextHeight("gh");
    }
    void Clear() {
        Canvas().Brush().SetColor(ui::clWhite);
        Canvas().FillRect(ui::Rect(0, 0, 200, 120));
    }
    ui::TCanvas& Canvas() { return bitmap_.Canvas(); }
    ui::TColor Pixel(int x, int y) { return Canvas().Pixels(x, y); }
    // Whether any pixel of `r` shows `color`: fills show it exactly, smoothed glyphs come within
    // a few steps of it in their strokes.
    bool AnyPixel(const ui::TRect& r, ui::TColor color) {
        const ui::TColor want = ui::ColorToRGB(color);
        for (int y = r.Top; y < r.Bottom; ++y) {
            for (int x = r.Left; x < r.Right; ++x) {
                const ui::TColor p = Pixel(x, y);
                bool close = true;
                for (int shift : {0, 8, 16}) {
                    close = close && std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                              static_cast<int>((want >> shift) & 0xFF)) < 0x60;
                }
                if (close) return true;
            }
        }
        return false;
    }
    MarkupLayout Layout(const std::string& text, const ui::TRect& rect, MarkupLayoutInputs inputs = {}) {
        inputs.text = text;
        inputs.rect = rect;
        return panel::LayoutMarkup(Canvas(), inputs);
    }
    // Lays the text out and paints it, as a panel does.
    MarkupLayout Paint(const std::string& text, const ui::TRect& rect, const MarkupLayoutInputs& inputs = {},
                       const MarkupPaintInputs& paint = {}) {
        MarkupLayout layout = Layout(text, rect, inputs);
        layout.Paint(Canvas(), paint);
        return layout;
    }
    MarkupHit Hit(const std::string& text, const ui::TRect& rect, ui::TPoint point,
                  const MarkupLayoutInputs& inputs = {}) {
        return Layout(text, rect, inputs).HitTest(point);
    }
    // The whole text measured.
    MarkupLayout Measure(const std::string& text, const ui::TRect& rect, bool wrap = true) {
        MarkupLayoutInputs inputs;
        inputs.word_wrap = wrap;
        inputs.all_lines = true;
        return Layout(text, rect, inputs);
    }
    // The operations as painted with `paint`.
    std::vector<panel::MarkupOp> Painted(const MarkupLayout& layout, const MarkupPaintInputs& paint = {}) {
        return layout.PaintedOps(paint, Canvas().Brush().Color());
    }
    int WidthIn(const std::string& text, ui::TFontStyles style = {}) {
        const ui::TFontStyles saved = Canvas().Font().Style();
        Canvas().Font().SetStyle(style);
        const int w = Canvas().TextWidth(text);
        Canvas().Font().SetStyle(saved);
        return w;
    }

    ui::TBitmap bitmap_;
    int gh_ = 0;
};

const ui::TRect kWide = ui::Rect(0, 0, 200, 120);

// Adds an image of the list's size in one colour.
void AddSquare(ui::TImageList& images, ui::TColor color) {
    ui::TBitmap square;
    square.SetSize(images.Width(), images.Height());
    square.Canvas().Brush().SetColor(color);
    square.Canvas().FillRect(ui::Rect(0, 0, images.Width(), images.Height()));
    images.Add(square);
}

TEST_F(MarkupRendererTest, CorpusOfPlainTextsLineCountsAndAnchors) {
    struct Case {
        const char* markup;
        const char* plain;
        int lines;
        int anchors;
    };
    const Case cases[] = {
        {"", "", 1, 0},
        {"Hello <b>world</b>", "Hello world", 1, 0},
        {"Hello <B>world</b>", "Hello world", 1, 0},
        {"one<br>two", "one\rtwo", 2, 0},
        {"one\r\ntwo", "one\rtwo", 2, 0},
        {"<x>unknown</x> tag", "unknown tag", 1, 0},
        {"<b><i>nested</i> and</b> <u>unclosed", "nested and unclosed", 1, 0},
        {"cut <b", "cut ", 1, 0},
        {"a &amp; b", "a && b", 1, 0},
        {"x&lt;b&gt;z&nbsp;!", "x<b>z !", 1, 0},
        {"<z>hidden</z>shown", "hiddenshown", 1, 0},
        {"<a href=\"one\">1</a> <a href=\"two\">2</a>", "1 2", 1, 2},
        {"a<hr>b", "ab", 2, 0},
        {"<p>para</p>next", "paranext", 2, 0},
        {"<ul><li>one</li><li>two</li></ul>", "onetwo", 4, 0},
        {"<li>a<li>b", "ab", 2, 0},
        {"<#tag>", "#tag", 1, 0},
    };
    for (const Case& c : cases) {
        const MarkupLayout r = Measure(c.markup, kWide);
        EXPECT_EQ(r.plain_text, c.plain) << c.markup;
        EXPECT_EQ(r.height, c.lines * gh_) << c.markup;
        EXPECT_EQ(r.anchor_count, c.anchors) << c.markup;
    }
}

TEST_F(MarkupRendererTest, WidthsComeFromTheTextMeasure) {
    EXPECT_EQ(Measure("", kWide).width, 0);
    EXPECT_EQ(Measure("Hello", kWide).width, WidthIn("Hello") + 2);
    EXPECT_EQ(Measure("<b>Hello</b>", kWide).width, WidthIn("Hello", {ui::TFontStyle::fsBold}) + 2);
    // Word runs keep their blank; the last blank of a line does not count.
    EXPECT_EQ(Measure("ab cd", kWide).width, WidthIn("ab ") + WidthIn("cd") + 2);
    EXPECT_EQ(Measure("ab <b></b>", kWide).width, WidthIn("ab ") - WidthIn(" ") + 2);
    EXPECT_EQ(Measure("<ind x=\"50\">x", kWide).width, 50 + WidthIn("x") + 2);
    // The hidden text takes no width but its line.
    EXPECT_EQ(Measure("a<z>hidden</z>", kWide).width, WidthIn("a") + 2);
}

TEST_F(MarkupRendererTest, HeightsAreWholeLinesPlusSpacingAndScripts) {
    const int narrow = WidthIn("aaa ") + WidthIn("b") / 2;
    EXPECT_EQ(Measure("aaa bbb", ui::Rect(0, 0, narrow, 100)).height, 2 * gh_);
    EXPECT_EQ(Measure("aaa bbb", ui::Rect(0, 0, narrow, 100), false).height, gh_);
    // A word wider than the rectangle stands alone on its line.
    EXPECT_EQ(Measure("a wwwwwwwwwwwwwww b", ui::Rect(0, 0, WidthIn("a ww"), 100)).height, 3 * gh_);
    MarkupLayoutInputs spaced;
    spaced.all_lines = true;
    spaced.line_spacing = 3;
    EXPECT_EQ(Layout("a<br>b", kWide, spaced).height, 2 * (gh_ + 3));
    EXPECT_EQ(Measure("a<sup>2</sup>", kWide).height, gh_ + gh_ / 4);
    EXPECT_EQ(Measure("a<sub>2</sub>b<sup>3</sup>", kWide).height, gh_ + 2 * (gh_ / 4));
    EXPECT_EQ(Measure("<font size=\"7\">big</font>", kWide).height, gh_);  // 7 points is smaller than 8
}

TEST_F(MarkupRendererTest, LinesThatConsumeNothingStillEnd) {
    // Indents and offsets beyond the rectangle, and a picture wider than what the indents leave.
    panel::TPictureContainer container(nullptr);
    panel::TPictureItem* item = container.Items().Add();
    item->SetName("big");
    panel_test::LoadPicture(item->Picture(), panel_test::PngFile(90, 10, ui::clRed));
    MarkupLayoutInputs inputs;
    inputs.word_wrap = true;
    inputs.all_lines = true;
    inputs.pictures.container = &container;
    for (const char* text : {"<ul><ul><ul><li><img src=\"big\"> text</li></ul></ul></ul>",
                             "<of x=\"500\">far words here", "<ind x=\"400\">x y z", "<li><li><li>"}) {
        EXPECT_GT(Layout(text, ui::Rect(0, 0, 100, 100), inputs).height, 0) << text;
    }
}

TEST_F(MarkupRendererTest, AnchorUnderThePoint) {
    const int w = WidthIn("link");
    struct Case {
        const char* markup;
        ui::TPoint point;
        bool hit;
        int number;
        const char* value;
    };
    const Case cases[] = {
        {"<a href=\"x\">link</a>", {2, gh_ / 2}, true, 1, "x"},
        {"<a href=\"x\">link</a>", {w - 1, gh_ / 2}, true, 1, "x"},
        {"link", {2, gh_ / 2}, false, -1, ""},
        {"<a href=\"x\">link</a>", {w + 5, gh_ / 2}, false, -1, ""},
        {"<a href=\"x\">link</a>", {2, gh_ + 3}, false, -1, ""},
        // An anchor on the line above the point is not hit and writes nothing.
        {"<a href=\"up\">link</a><br>below", {2, gh_ + gh_ / 2}, false, -1, ""},
        {"first <a href=\"a\">one</a> <a href=\"b\">two</a>",
         {WidthIn("first ") + WidthIn("one") + WidthIn(" ") + 2, gh_ / 2},
         true,
         2,
         "b"},
        {"<a href=\"q\"><b>bold</b> link</a>", {2, gh_ / 2}, true, 1, "q"},
    };
    MarkupLayoutInputs wrap;
    wrap.word_wrap = true;
    for (const Case& c : cases) {
        const MarkupHit r = Hit(c.markup, kWide, c.point, wrap);
        EXPECT_EQ(r.hit, c.hit) << c.markup;
        EXPECT_EQ(r.anchor, c.number) << c.markup;
        EXPECT_EQ(r.value, c.value) << c.markup;
    }
}

TEST_F(MarkupRendererTest, HoverRectangleIsWhereTheAnchorIsPainted) {
    // Centred, so the geometry differs from the unplaced line: the hit and the painted text agree.
    const std::string text = "<p align=\"center\"><a href=\"c\">middle</a></p>";
    const int w = WidthIn("middle");
    const int left = (200 - w) / 2;
    MarkupLayoutInputs wrap;
    wrap.word_wrap = true;
    const MarkupHit hit = Hit(text, kWide, {left + 2, gh_ / 2}, wrap);
    ASSERT_TRUE(hit.hit);
    EXPECT_EQ(hit.hover_rect, ui::Rect(left, 0, left + w, gh_));
    EXPECT_FALSE(Hit(text, kWide, {2, gh_ / 2}, wrap).hit);

    MarkupPaintInputs paint;
    paint.url_color = ui::clRed;
    Paint(text, kWide, wrap, paint);
    EXPECT_TRUE(AnyPixel(hit.hover_rect, ui::clRed));
    EXPECT_FALSE(AnyPixel(ui::Rect(0, 0, left, gh_), ui::clRed));
    EXPECT_FALSE(AnyPixel(ui::Rect(left + w, 0, 200, gh_), ui::clRed));
}

TEST_F(MarkupRendererTest, FillsRulesZigZagAndBullets) {
    const ui::TRect rect = ui::Rect(10, 4, 150, 110);
    MarkupLayoutInputs options;
    options.word_wrap = true;

    Paint("<body bgcolor=\"#00FF00\">x", rect, options);
    EXPECT_EQ(Pixel(8, 4), ui::clLime);  // from 2 pixels left of the rectangle
    EXPECT_EQ(Pixel(149, 109), ui::clLime);
    EXPECT_NE(Pixel(7, 4), ui::clLime);
    EXPECT_NE(Pixel(150, 4), ui::clLime);
    EXPECT_NE(Pixel(10, 110), ui::clLime);
    Clear();

    Paint("<body bgcolor=\"#000000\" bgcolorto=\"#FF0000\">", ui::Rect(0, 0, 128, 20), options);
    EXPECT_EQ(Pixel(0, 5), ui::clBlack);
    EXPECT_EQ(Pixel(2, 5), ui::MakeColor(4, 0, 0));
    EXPECT_EQ(Pixel(127, 19), ui::MakeColor(251, 0, 0));
    Clear();

    Paint("<body bgcolor=\"#000000\" bgcolorto=\"#FF0000\" dir=\"v\">", ui::Rect(0, 0, 20, 128), options);
    EXPECT_EQ(Pixel(19, 2), ui::MakeColor(4, 0, 0));
    Clear();

    Paint("<hi>x</hi>", rect, options);
    EXPECT_EQ(Pixel(10, 4), ui::SystemColor(13));  // the highlighted cell's corner
    Clear();

    Paint("<p bgcolor=\"#FFFF00\">x</p>after", rect, options);
    EXPECT_EQ(Pixel(149, 4), ui::clYellow);
    EXPECT_EQ(Pixel(149, 4 + gh_ - 1), ui::clYellow);
    EXPECT_NE(Pixel(149, 4 + gh_), ui::clYellow);
    Clear();

    Paint("a<hr>b", rect, options);
    const int rule = 4 + gh_ + 1;
    EXPECT_EQ(Pixel(10, rule), ui::clBlack);
    EXPECT_EQ(Pixel(149, rule), ui::clBlack);
    EXPECT_NE(Pixel(150, rule), ui::clBlack);
    EXPECT_NE(Pixel(100, rule - 1), ui::clBlack);
    Clear();

    // The error marking: 2 pixels apart, below the run's bottom where x is a multiple of 4.
    Paint("<e>word</e>", ui::Rect(0, 0, 150, 100), options);
    const int b = gh_;
    EXPECT_EQ(Pixel(0, b + 1), ui::clRed);
    EXPECT_EQ(Pixel(1, b), ui::clRed);
    EXPECT_EQ(Pixel(2, b - 1), ui::clRed);
    EXPECT_EQ(Pixel(4, b + 1), ui::clRed);
    EXPECT_EQ(Pixel(6, b - 1), ui::clRed);
    EXPECT_NE(Pixel(2, b + 1), ui::clRed);
    EXPECT_FALSE(AnyPixel(ui::Rect(WidthIn("word") + 2, b - 1, 150, b + 2), ui::clRed));
    Clear();

    // A square bullet of 8 x 8 at the pen, 2 below the line's top; the list starts on line 2.
    Paint("<ul><li type=\"square\" color=\"#0000FF\">item</li></ul>", ui::Rect(0, 0, 150, 100), options);
    EXPECT_EQ(Pixel(0, gh_ + 2), ui::clBlue);
    EXPECT_EQ(Pixel(7, gh_ + 9), ui::clBlue);
    EXPECT_NE(Pixel(8, gh_ + 2), ui::clBlue);
    EXPECT_NE(Pixel(0, gh_ + 10), ui::clBlue);
    EXPECT_NE(Pixel(0, gh_ + 1), ui::clBlue);
    Clear();

    Paint("<ul><ul><li type=\"circle\" color=\"#FF0000\">item</li></ul></ul>", ui::Rect(0, 0, 150, 100), options);
    EXPECT_EQ(Pixel(12 + 4, 2 * gh_ + 2 + 4), ui::clRed);  // level 2: 12 in
    EXPECT_NE(Pixel(12, 2 * gh_ + 2), ui::clRed);          // round: the corner stays
}

TEST_F(MarkupRendererTest, ShadowRotationAndPictures) {
    MarkupLayoutInputs options;
    options.word_wrap = true;
    MarkupPaintInputs shadow;
    shadow.shadow_color = ui::clRed;
    shadow.shadow_offset = 2;
    Paint("<shad>W</shad>", ui::Rect(0, 0, 100, 40), options, shadow);
    EXPECT_TRUE(AnyPixel(ui::Rect(0, 0, 100, 40), ui::clRed));
    EXPECT_TRUE(AnyPixel(ui::Rect(0, 0, 100, 40), ui::clBlack));
    Clear();

    // Turned a quarter left, the text rises from its start point instead of running right.
    Paint("<r a=\"90\">Turned</r>", ui::Rect(20, 80, 200, 120), options, shadow);
    EXPECT_TRUE(AnyPixel(ui::Rect(20, 0, 20 + gh_, 80), ui::clBlack));
    EXPECT_FALSE(AnyPixel(ui::Rect(20 + gh_ + 2, 80, 200, 120), ui::clBlack));
    Clear();

    // A GIF's second frame at the pen plus the frame's offset.
    panel::TPictureContainer container(nullptr);
    panel::TPictureItem* item = container.Items().Add();
    item->SetName("anim");
    panel_test::LoadPicture(item->Picture(), panel_test::GifFile(8, 6, panel_test::kThreeFrames));
    item->Picture().SetFrame(2);
    options.pictures.container = &container;
    const int width = Paint("<img src=\"anim\">", ui::Rect(30, 10, 200, 120), options, shadow).width;
    EXPECT_EQ(Pixel(32, 11), ui::clLime);
    EXPECT_EQ(Pixel(34, 12), ui::clLime);
    EXPECT_EQ(Pixel(31, 11), ui::clWhite);
    EXPECT_EQ(width, 8 + 2);  // its animation size
    Clear();
    // Stretched into WIDTH x HEIGHT.
    item->Picture().SetFrame(1);
    const int height =
        Paint("<img src=\"anim\" width=\"20\" height=\"12\">", ui::Rect(0, 0, 200, 120), options, shadow).height;
    EXPECT_EQ(Pixel(19, 11), ui::clRed);
    EXPECT_EQ(Pixel(20, 5), ui::clWhite);
    EXPECT_EQ(height, std::max(12, gh_));
    // An anchor picture is hit strictly inside.
    const std::string anchor = "<a href=\"p\"><img src=\"anim\" width=\"20\" height=\"12\"></a>";
    const MarkupHit hit = Hit(anchor, kWide, {5, 5}, options);
    EXPECT_TRUE(hit.hit);
    EXPECT_EQ(hit.value, "p");
    EXPECT_FALSE(Hit(anchor, kWide, {20, 5}, options).hit);
}

TEST_F(MarkupRendererTest, FontSizesPrefixesAndFocus) {
    auto first_text = [&](const std::string& markup) {
        for (const panel::MarkupOp& op : Painted(Layout(markup, kWide))) {
            if (op.kind == panel::MarkupOpKind::Text) return op;
        }
        return panel::MarkupOp{};
    };
    // SIZE 1 to 5 are the steps 8 to 16 points, any other number points (0 too: the font
    // engine's own size); a value is read as its leading digits, none giving 0.
    struct Size {
        const char* markup;
        int points;
    };
    const Size sizes[] = {
        {"<font size=\"3\">x</font>", 12},      {"<font size=\"7\">x</font>", 7},
        {"<font size=\"5000\">x</font>", 1000}, {"<font size=\"0\">x</font>", 0},
        {"<font size=\"12pt\">x</font>", 12},   {"<font size=\"big\">x</font>", 0},
        {"<font size=\"\">x</font>", 0},        {"<font color=\"clred\">x</font>", 8},
    };
    for (const Size& size : sizes) {
        ui::TFont expected;
        expected.SetSize(size.points);
        EXPECT_EQ(first_text(size.markup).font.height, expected.Height()) << size.markup;
    }
    EXPECT_EQ(first_text("<font face=\"Courier New\" color=\"clred\">x</font>").font.name, "Courier New");
    EXPECT_EQ(first_text("<font color=\"clred\">x</font>").font.color, ui::clRed);
    EXPECT_EQ(first_text("a&amp;b").text, "a&b");
    EXPECT_EQ(first_text("a&amp;b x & y").text, "a&&b x & y");
    EXPECT_EQ(Canvas().Font().Height(), ui::TFont().Height());  // the canvas font is back

    // The focused anchor counts from 0.
    EXPECT_EQ(Layout("<a href=\"one\">1</a> <a href=\"two\">2</a>", kWide).FocusAnchorValue(1), "two");
}

}  // namespace

namespace {

TEST_F(MarkupRendererTest, HoverStyleFocusBlinkAndAlternativePictures) {
    const int w = WidthIn("link");
    // In hover style only the hovered anchor takes the hover colours.
    MarkupPaintInputs options;
    options.hover_style = true;
    options.hover_anchor = 2;
    options.hover_color = ui::clYellow;
    options.url_color = ui::clBlue;
    Paint("<a href=\"1\">link</a> <a href=\"2\">link</a>", kWide, {}, options);
    EXPECT_FALSE(AnyPixel(ui::Rect(0, 0, w, gh_), ui::clYellow));
    EXPECT_TRUE(AnyPixel(ui::Rect(0, 0, w, gh_), ui::clBlue));
    const int second = w + WidthIn(" ");
    EXPECT_EQ(Pixel(second, 0), ui::clYellow);
    Clear();

    // The focused anchor (from 0) gets the focus outline, one pixel wider on each side.
    MarkupPaintInputs focus;
    focus.focus_anchor = 0;
    EXPECT_EQ(Paint("<a href=\"f\">link</a>", ui::Rect(10, 0, 200, 100), {}, focus).FocusAnchorValue(0), "f");
    EXPECT_EQ(Pixel(9, 0), ui::clBlack);
    EXPECT_EQ(Pixel(10, 0), ui::clWhite);  // every second pixel
    Clear();

    // Blinking text that is off takes the brush colour the call began with.
    Canvas().Brush().SetColor(ui::clWhite);
    MarkupPaintInputs blink;
    Paint("<blink>WWW</blink>", kWide, {}, blink);
    EXPECT_FALSE(AnyPixel(ui::Rect(0, 0, 100, gh_), ui::clBlack));
    blink.blink = true;
    Paint("<blink>WWW</blink>", kWide, {}, blink);
    EXPECT_TRUE(AnyPixel(ui::Rect(0, 0, 100, gh_), ui::clBlack));
    Clear();

    // A picture under the point shows its alternative; the image list draws at the pen.
    ui::TImageList images(nullptr);
    images.SetSize(6, 6);
    AddSquare(images, ui::clLime);
    AddSquare(images, ui::clBlue);
    MarkupLayoutInputs pictures;
    pictures.pictures.images = &images;
    const std::string text = "x<a href=\"i\"><img src=\"IDX:0\" alt=\"IDX:1\"></a>";
    const int x = WidthIn("x");
    const MarkupLayout layout = Paint(text, kWide, pictures);
    EXPECT_EQ(Pixel(x + 2, 2), ui::clLime);
    MarkupPaintInputs over;
    over.point = {x + 2, 2};
    layout.Paint(Canvas(), over);
    EXPECT_EQ(Pixel(x + 2, 2), ui::clBlue);
    const MarkupHit hit = layout.HitTest(over.point);
    EXPECT_TRUE(hit.hit);
    EXPECT_EQ(hit.value, "i");
}

TEST_F(MarkupRendererTest, BodyPicturesTileAndStandInTheCorners) {
    panel::THTMLPictureCache cache;  // "RES://A" is a red 5 x 3 picture
    MarkupLayoutInputs options;
    options.pictures.cache = &cache;
    Paint("<body background=\"RES://A\">", ui::Rect(10, 10, 22, 17), options);
    EXPECT_EQ(Pixel(10, 10), ui::clRed);
    EXPECT_EQ(Pixel(21, 16), ui::clRed);  // the third tile, cut at the edge
    EXPECT_EQ(Pixel(22, 16), ui::clWhite);
    EXPECT_EQ(Pixel(21, 17), ui::clWhite);
    Clear();
    Paint("<body bgtopright=\"RES://A\">", ui::Rect(10, 10, 50, 40), options);
    EXPECT_EQ(Pixel(45, 10), ui::clRed);
    EXPECT_EQ(Pixel(44, 10), ui::clWhite);
    EXPECT_EQ(Pixel(49, 12), ui::clRed);
    EXPECT_EQ(cache.Count(), 1);
}

// The text operations, in drawing order.
std::vector<panel::MarkupOp> TextOps(const std::vector<panel::MarkupOp>& ops) {
    std::vector<panel::MarkupOp> texts;
    for (const panel::MarkupOp& op : ops) {
        if (op.kind == panel::MarkupOpKind::Text) texts.push_back(op);
    }
    return texts;
}

TEST_F(MarkupRendererTest, AnchorColoursWithAndWithoutHoverStyle) {
    // Without hover style every anchor is underlined on the hover background in the URL colour;
    // in hover style only the hovered one, in the hover font colour.
    struct Look {
        ui::TColor background;
        ui::TColor color;
        bool underline;
    };
    struct Case {
        bool hover_style;
        int hovered;
        Look first, second;
    };
    const Look plain{ui::clNone, ui::clBlue, false};
    const Look decorated{ui::clYellow, ui::clBlue, true};
    const Look hovered{ui::clYellow, ui::clRed, true};
    const Case cases[] = {
        {false, -1, decorated, decorated},
        {false, 2, decorated, decorated},
        {true, 2, plain, hovered},
        {true, -1, plain, plain},
    };
    const std::string text = "<a href=\"1\">one</a> <a href=\"2\">two</a>";
    const MarkupLayout layout = Layout(text, kWide);  // one layout paints every case
    for (const Case& c : cases) {
        MarkupPaintInputs options;
        options.hover_style = c.hover_style;
        options.hover_anchor = c.hovered;
        options.hover_color = ui::clYellow;
        options.hover_font_color = ui::clRed;
        options.url_color = ui::clBlue;
        const std::vector<panel::MarkupOp> texts = TextOps(Painted(layout, options));
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_EQ(texts[1].text, " ");
        EXPECT_EQ(texts[1].background, ui::clNone);  // between the anchors: as before them
        EXPECT_EQ(texts[1].font.color, ui::clBlack);
        const std::pair<const panel::MarkupOp*, Look> anchors[] = {{&texts[0], c.first}, {&texts[2], c.second}};
        for (const auto& [op, look] : anchors) {
            const std::string where = std::string(c.hover_style ? "hover style" : "plain") + ", hovered " +
                                      std::to_string(c.hovered) + ": " + op->text;
            EXPECT_EQ(op->background, look.background) << where;
            EXPECT_EQ(op->font.color, look.color) << where;
            EXPECT_EQ(op->font.style.Contains(ui::TFontStyle::fsUnderline), look.underline) << where;
        }
    }
    // Painted: the first anchor's cell takes the hover background without hover style.
    MarkupPaintInputs options;
    options.hover_color = ui::clYellow;
    layout.Paint(Canvas(), options);
    EXPECT_EQ(Pixel(0, 0), ui::clYellow);
    EXPECT_EQ(Pixel(WidthIn("one") + 1, 0), ui::clWhite);  // the blank between them
}

TEST_F(MarkupRendererTest, BodyIconsStandWhereTheirAttributeSays) {
    // An image-list picture (6 x 6) and a small desktop icon (16 x 16) with the pen 20 to the right:
    // in the top-right corner both stand at right - width; in the top-left corner the image-list
    // picture stands at the pen and the icon in the corner; as a background both once at the pen.
    ui::TImageList images(nullptr);
    images.SetSize(6, 6);
    AddSquare(images, ui::clLime);
    MarkupLayoutInputs options;
    options.pictures.images = &images;
    const ui::TRect rect = ui::Rect(10, 10, 150, 90);
    struct Case {
        const char* markup;
        ui::TRect at;
    };
    const Case cases[] = {
        {"<of x=\"20\"><body bgtopright=\"IDX:0\">", ui::Rect(144, 10, 150, 16)},
        {"<of x=\"20\"><body bgtopright=\"SSYS:3\">", ui::Rect(134, 10, 150, 26)},
        {"<of x=\"20\"><body bgtopleft=\"IDX:0\">", ui::Rect(30, 10, 36, 16)},
        {"<of x=\"20\"><body bgtopleft=\"SSYS:3\">", ui::Rect(10, 10, 26, 26)},
        {"<of x=\"20\"><body background=\"IDX:0\">", ui::Rect(30, 10, 36, 16)},
        {"<of x=\"20\"><body background=\"SSYS:3\">", ui::Rect(30, 10, 46, 26)},
    };
    for (const Case& c : cases) {
        const MarkupLayout layout = Layout(c.markup, rect, options);
        ASSERT_EQ(layout.ops.size(), 1u) << c.markup;
        EXPECT_EQ(layout.ops[0].kind, panel::MarkupOpKind::Picture) << c.markup;
        EXPECT_EQ(layout.ops[0].rect, c.at) << c.markup;
    }
    Paint("<body bgtopright=\"IDX:0\">", rect, options);
    EXPECT_EQ(Pixel(144, 10), ui::clLime);
    EXPECT_EQ(Pixel(149, 15), ui::clLime);
    EXPECT_EQ(Pixel(143, 10), ui::clWhite);
    EXPECT_EQ(Pixel(10, 10), ui::clWhite);
}

TEST_F(MarkupRendererTest, ListItemsIndentsTypesAndBulletColours) {
    // A second item on a line starts the next one, and its indent counts in the line it ends.
    EXPECT_EQ(Measure("<ul><li>aaaa<li>b", kWide).width, 2 * 12 + WidthIn("aaaa") + 2);
    EXPECT_EQ(Measure("<ul><ul><li>aaaa<li>b", kWide).width, 2 * 24 + WidthIn("aaaa") + 2);
    EXPECT_EQ(Measure("<li>aaaa<li>b", kWide).width, WidthIn("aaaa") + 2);  // level 0: no indent

    // Each item draws its bullet once, on its own line.
    const MarkupLayout two =
        Layout("<ul><li type=\"square\" color=\"clred\">a<li type=\"square\" color=\"clred\">b", kWide);
    std::vector<ui::TRect> bullets;
    for (const panel::MarkupOp& op : two.ops) {
        if (op.kind == panel::MarkupOpKind::Bullet) bullets.push_back(op.rect);
    }
    EXPECT_EQ(bullets,
              (std::vector<ui::TRect>{ui::Rect(0, gh_ + 2, 8, gh_ + 10), ui::Rect(0, 2 * gh_ + 2, 8, 2 * gh_ + 10)}));

    // Without TYPE (or with an empty one) the bullet is a character, in COLOR or else the text's
    // colour; a square or circle has only COLOR, so without it nothing is filled; other types
    // draw no bullet.
    enum class Mark { None, Character, Shape };
    struct Case {
        const char* markup;
        Mark mark;
        ui::TColor color;
    };
    const Case cases[] = {
        {"<li>x", Mark::Character, ui::clBlack},
        {"<li type=\"\">x", Mark::Character, ui::clBlack},
        {"<li color=\"clred\">x", Mark::Character, ui::clRed},
        {"<li type=\"\" color=\"clred\">x", Mark::Character, ui::clRed},
        {"<li type=\"square\">x", Mark::Shape, ui::clNone},
        {"<li type=\"circle\">x", Mark::Shape, ui::clNone},
        {"<li type=\"square\" color=\"clred\">x", Mark::Shape, ui::clRed},
        {"<li type=\"disc\">x", Mark::None, ui::clNone},
    };
    for (const Case& c : cases) {
        Mark mark = Mark::None;
        ui::TColor color = ui::clNone;
        for (const panel::MarkupOp& op : Painted(Layout(c.markup, kWide))) {
            if (op.kind == panel::MarkupOpKind::Bullet) {
                mark = Mark::Shape;
                color = op.color;
            } else if (op.kind == panel::MarkupOpKind::Text && op.text != "x") {
                mark = Mark::Character;
                color = op.font.color;
            }
        }
        EXPECT_EQ(mark, c.mark) << c.markup;
        EXPECT_EQ(color, c.color) << c.markup;
    }
    Paint("<ul><li type=\"square\">x", kWide);
    EXPECT_FALSE(AnyPixel(ui::Rect(0, gh_ + 2, 8, gh_ + 10), ui::clBlack));
    bool text_drawn = false;  // its text still stands
    for (int y = gh_; y < 2 * gh_; ++y) {
        for (int x = 12; x < 40; ++x) text_drawn = text_drawn || Pixel(x, y) != ui::clWhite;
    }
    EXPECT_TRUE(text_drawn);
}

TEST_F(MarkupRendererTest, NaturalSizeLeavesThePicturesStretch) {
    panel::TPictureContainer container(nullptr);
    panel::TPictureItem* item = container.Items().Add();
    item->SetName("red");
    panel_test::LoadPicture(item->Picture(), panel_test::PngFile(8, 6, ui::clRed));
    MarkupLayoutInputs options;
    options.pictures.container = &container;
    for (const bool stretch : {true, false}) {
        for (const char* text : {"<img src=\"red\">", "<body background=\"red\">"}) {
            Clear();
            item->Picture().SetStretch(stretch);
            Paint(text, ui::Rect(0, 0, 12, 9), options);
            EXPECT_EQ(item->Picture().Stretch(), stretch) << text;
            EXPECT_EQ(Pixel(7, 5), ui::clRed) << text;
        }
    }
    EXPECT_EQ(Pixel(8, 5), ui::clRed);     // the second tile
    EXPECT_EQ(Pixel(12, 5), ui::clWhite);  // beyond the rectangle
    // WIDTH and HEIGHT stretch it, and say so.
    Clear();
    Paint("<img src=\"red\" width=\"16\" height=\"12\">", kWide, options);
    EXPECT_TRUE(item->Picture().Stretch());
    EXPECT_EQ(Pixel(15, 11), ui::clRed);
    EXPECT_EQ(Pixel(16, 11), ui::clWhite);
}

// A resource or a stored picture whose bytes do not decode shows nothing and takes no room, even
// where WIDTH and HEIGHT give it a size: the text after it starts where the picture would have.
TEST_F(MarkupRendererTest, PicturesThatDoNotDecodeTakeNoRoom) {
    panel::TPictureContainer container(nullptr);
    panel::TPictureItem* item = container.Items().Add();
    item->SetName("garbled");
    ui::TMemoryStream garbage;
    const std::string bytes = "no picture here";
    garbage.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    EXPECT_THROW(item->Picture().LoadFromStream(garbage), ui::Exception);
    EXPECT_TRUE(item->Picture().Empty());
    EXPECT_EQ(item->Picture().Data().Size(), static_cast<std::int64_t>(bytes.size()));  // kept as given
    panel::THTMLPictureCache cache;
    MarkupLayoutInputs options;
    options.pictures.container = &container;
    options.pictures.cache = &cache;
    options.all_lines = true;
    const MarkupLayout plain = Layout("x", kWide, options);
    for (const char* source : {"RES://BROKEN", "garbled"}) {
        SCOPED_TRACE(source);
        const std::string img = std::string("<img src=\"") + source + "\" width=\"50\" height=\"40\">";
        const MarkupLayout layout = Layout(img + "x", kWide, options);
        EXPECT_EQ(layout.width, plain.width);
        EXPECT_EQ(layout.height, plain.height);
    }
    ASSERT_NE(cache.FindById("RES://BROKEN"), nullptr);
    EXPECT_TRUE(cache.FindById("RES://BROKEN")->Empty());
}

}  // namespace

namespace {

TEST_F(MarkupRendererTest, OneLayoutPaintsSelectedTextsAndSavedBackgroundsAsEachPaintAsks) {
    // A text's colours follow the paint inputs through the tags that save and restore them: the
    // FONT tag inside an anchor saves the anchor's hover background, which its closing tag brings
    // back after the anchor has ended.
    const std::string text = "<a href=\"1\"><font bgcolor=\"#FF0000\">x</a>y</font>z";
    struct Run {
        ui::TColor color;
        ui::TColor background;
    };
    struct Case {
        const char* what;
        bool hover_style;
        bool selected;
        Run x, y, z;
    };
    const Case cases[] = {
        {"every anchor decorated",
         false,
         false,
         {ui::clBlue, ui::clRed},
         {ui::clBlack, ui::clNone},
         {ui::clBlack, ui::clYellow}},
        {"anchor not hovered",
         true,
         false,
         {ui::clBlue, ui::clRed},
         {ui::clBlack, ui::clRed},
         {ui::clBlack, ui::clNone}},
        {"selected", false, true, {ui::clBlack, ui::clYellow}, {ui::clBlack, ui::clNone}, {ui::clBlack, ui::clNone}},
    };
    Canvas().Font().SetColor(ui::clBlack);
    const MarkupLayout layout = Layout(text, kWide);
    for (const Case& c : cases) {
        MarkupPaintInputs paint;
        paint.hover_color = ui::clYellow;
        paint.url_color = ui::clBlue;
        paint.hover_style = c.hover_style;
        paint.selected = c.selected;
        const std::vector<panel::MarkupOp> texts = TextOps(Painted(layout, paint));
        ASSERT_EQ(texts.size(), 3u) << c.what;
        const Run runs[] = {c.x, c.y, c.z};
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(texts[i].font.color, runs[i].color) << c.what << ": " << texts[i].text;
            EXPECT_EQ(texts[i].background, runs[i].background) << c.what << ": " << texts[i].text;
        }
    }
    // A paragraph's colour is its text cells' background too.
    const std::vector<panel::MarkupOp> paragraph = TextOps(Painted(Layout("<p bgcolor=\"#FFFF00\">x</p>", kWide)));
    ASSERT_EQ(paragraph.size(), 1u);
    EXPECT_EQ(paragraph[0].background, ui::clYellow);
    // Selected, the FONT colour stays unused and the BODY background is not painted.
    const MarkupLayout body = Layout("<body bgcolor=\"#00FF00\"><font color=\"clred\">x</font>", kWide);
    MarkupPaintInputs selected;
    selected.selected = true;
    for (const bool is_selected : {false, true}) {
        const std::vector<panel::MarkupOp> ops = Painted(body, is_selected ? selected : MarkupPaintInputs{});
        ASSERT_EQ(ops.size(), is_selected ? 1u : 2u);
        EXPECT_EQ(ops.back().font.color, is_selected ? ui::clBlack : ui::clRed);
    }
}

TEST_F(MarkupRendererTest, TheFocusOutlineFollowsTheFocusedAnchorOverItsLines) {
    // The second anchor runs over two lines: each line gets its part, one pixel wider on each
    // side, the second line's from the line's left; the first anchor gets none.
    const int narrow = WidthIn("aa bb ") + WidthIn("c") / 2;
    MarkupLayoutInputs wrap;
    wrap.word_wrap = true;
    const MarkupLayout layout =
        Layout("<a href=\"1\">aa</a> <a href=\"2\">bb cc</a>", ui::Rect(0, 0, narrow, 100), wrap);
    auto outlines = [&](int focus) {
        MarkupPaintInputs paint;
        paint.focus_anchor = focus;
        std::vector<ui::TRect> rects;
        for (const panel::MarkupOp& op : Painted(layout, paint)) {
            if (op.kind == panel::MarkupOpKind::FocusRect) rects.push_back(op.rect);
        }
        return rects;
    };
    EXPECT_TRUE(outlines(-1).empty());
    EXPECT_EQ(outlines(0), (std::vector<ui::TRect>{ui::Rect(-1, 0, WidthIn("aa") + 1, gh_)}));
    const int b = WidthIn("aa ");
    EXPECT_EQ(outlines(1), (std::vector<ui::TRect>{ui::Rect(b - 1, 0, b + WidthIn("bb ") + 1, gh_),
                                                   ui::Rect(0, gh_, WidthIn("cc") + 1, 2 * gh_)}));
    EXPECT_TRUE(outlines(2).empty());
}

}  // namespace
