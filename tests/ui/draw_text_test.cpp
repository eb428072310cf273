// DrawText on a bitmap: where the glyphs land for each alignment, clipping, word breaks,
// the end ellipsis and measuring.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/draw_text.h"

namespace ui {
namespace {

using F = TDrawTextFlags;

// The bounding box of pixels that differ from `background`; empty when none.
TRect InkBox(TCanvas& c, TColor background) {
    TRect box{c.Width(), c.Height(), 0, 0};
    for (int y = 0; y < c.Height(); ++y) {
        for (int x = 0; x < c.Width(); ++x) {
            if (c.Pixels(x, y) != background) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
        }
    }
    return box.IsEmpty() ? TRect{} : box;
}

class DrawTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        bmp.SetSize(200, 100);
        Clear();
        canvas().Font().SetName("Arial");
        canvas().Font().SetHeight(-12);
        canvas().Font().SetColor(clBlack);
        canvas().Brush().SetStyle(TBrushStyle::bsClear);
    }
    TCanvas& canvas() { return bmp.Canvas(); }
    void Clear() {
        canvas().Brush().SetColor(clWhite);
        canvas().FillRect(TRect{0, 0, 200, 100});
        canvas().Brush().SetStyle(TBrushStyle::bsClear);
    }

    TBitmap bmp;
};

TEST_F(DrawTextTest, SingleLineAlignmentTable) {
    const TRect area{20, 10, 180, 90};
    const int w = canvas().TextWidth("Hello");
    const int h = canvas().TextHeight("Hello");
    struct Case {
        const char* name;
        F flags;
        int cell_left;  // where the text cell starts
        int cell_top;
    };
    const Case cases[] = {
        {"left top", F::dtSingleLine, 20, 10},
        {"right", F::dtSingleLine | F::dtRight, 180 - w, 10},
        {"centre", F::dtSingleLine | F::dtCenter, 20 + (160 - w) / 2, 10},
        {"vcentre", F::dtSingleLine | F::dtVCenter, 20, 10 + (80 - h) / 2},
        {"bottom", F::dtSingleLine | F::dtBottom, 20, 90 - h},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        TRect r = area;
        EXPECT_EQ(DrawText(canvas(), "Hello", r, c.flags), h);
        const TRect ink = InkBox(canvas(), clWhite);
        ASSERT_FALSE(ink.IsEmpty());
        // Glyph ink lies within the text cell, close to its left and top edges.
        EXPECT_GE(ink.Left, c.cell_left);
        EXPECT_LE(ink.Left, c.cell_left + 2);
        EXPECT_GE(ink.Top, c.cell_top);
        EXPECT_LE(ink.Bottom, c.cell_top + h);
        EXPECT_LE(ink.Right, c.cell_left + w);
    }
}

TEST_F(DrawTextTest, ClipsToTheRectangleUnlessNoClip) {
    TRect r{10, 10, 30, 30};
    DrawText(canvas(), "WWWWWWWWWW", r, F::dtSingleLine);
    TRect ink = InkBox(canvas(), clWhite);
    EXPECT_LE(ink.Right, 30);
    EXPECT_GT(ink.Right, 25);

    Clear();
    r = TRect{10, 10, 30, 30};
    DrawText(canvas(), "WWWWWWWWWW", r, F::dtSingleLine | F::dtNoClip);
    ink = InkBox(canvas(), clWhite);
    EXPECT_GT(ink.Right, 60);
}

TEST_F(DrawTextTest, SolidBrushFillsTheTextCellOnly) {
    canvas().Brush().SetColor(clYellow);
    TRect r{10, 10, 190, 90};
    DrawText(canvas(), "ab", r, F::dtSingleLine);
    const int w = canvas().TextWidth("ab");
    EXPECT_EQ(canvas().Pixels(10, 10), clYellow);
    EXPECT_EQ(canvas().Pixels(10 + w - 1, 10), clYellow);
    EXPECT_EQ(canvas().Pixels(10 + w + 1, 10), clWhite);
}

TEST_F(DrawTextTest, EndEllipsisShortensToFit) {
    const std::string text = "The quick brown fox jumps";
    const int width = canvas().TextWidth("The quick...") + 2;
    const auto lines = BreakTextLines(canvas(), text, width, F::dtSingleLine | F::dtEndEllipsis);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(lines[0].size() - 3), "...");
    EXPECT_LE(canvas().TextWidth(lines[0]), width);
    EXPECT_EQ(text.rfind(lines[0].substr(0, lines[0].size() - 3), 0), 0u);
    // Text that fits is left alone.
    EXPECT_EQ(BreakTextLines(canvas(), "Fox", 200, F::dtSingleLine | F::dtEndEllipsis)[0], "Fox");
    // Never cuts inside a character.
    const auto utf = BreakTextLines(canvas(), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9",
                                    canvas().TextWidth("\xC3\xA9..."), F::dtSingleLine | F::dtEndEllipsis);
    EXPECT_EQ(utf[0], "\xC3\xA9...");
}

TEST_F(DrawTextTest, WordBreakWrapsAtSpacesAndMeasures) {
    const int width = std::max(canvas().TextWidth("alpha beta"), canvas().TextWidth("gamma delta")) + 1;
    ASSERT_LT(width, canvas().TextWidth("alpha beta gamma"));
    const auto lines = BreakTextLines(canvas(), "alpha beta gamma delta", width, F::dtWordBreak);
    EXPECT_EQ(lines, (std::vector<std::string>{"alpha beta", "gamma delta"}));
    // Explicit breaks always break; a single line ignores them.
    EXPECT_EQ(BreakTextLines(canvas(), "a\r\nb\nc", 200, F::dtWordBreak).size(), 3u);
    EXPECT_EQ(BreakTextLines(canvas(), "a\r\nb", 200, F::dtSingleLine), (std::vector<std::string>{"ab"}));
    // A word wider than the rectangle stays whole.
    EXPECT_EQ(BreakTextLines(canvas(), "extraordinarily", 10, F::dtWordBreak).size(), 1u);

    TRect r{0, 0, width, 0};
    const int h = DrawText(canvas(), "alpha beta gamma delta", r, F::dtWordBreak | F::dtCalcRect);
    EXPECT_EQ(h, 2 * canvas().TextHeight("Wg"));
    EXPECT_EQ(r.Bottom, h);
    EXPECT_LE(r.Right, width);
    EXPECT_EQ(InkBox(canvas(), clWhite), TRect{});  // measuring draws nothing
}

TEST_F(DrawTextTest, WrappedLinesBelowTheRectangleAreCut) {
    const int lh = canvas().TextHeight("Wg");
    TRect r{0, 0, 200, lh};
    DrawText(canvas(), "first\nsecond", r, F::dtWordBreak);
    const TRect ink = InkBox(canvas(), clWhite);
    EXPECT_LE(ink.Bottom, lh);
    EXPECT_FALSE(ink.IsEmpty());
}

}  // namespace
}  // namespace ui
