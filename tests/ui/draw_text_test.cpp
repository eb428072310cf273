// DrawText on a bitmap: where the glyphs land for each alignment, clipping, word breaks,
// the end ellipsis and measuring.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

// Text as the desktop draws it: smoothed in grey steps, every character at its font's whole
// advance, so a text drawn in pieces at the measured widths (as markup and word wrap do) is the
// same text drawn whole, and a space keeps its room between words.
TEST_F(DrawTextTest, TextIsSmoothedInGreyAndDrawnPiecewiseAsWhole) {
    const struct {
        const char* name;
        TFontStyles style;
        std::vector<std::string> pieces;
    } rows[] = {
        {"menu caption", {}, {"New ", "Photo ", "Album"}},
        {"bold card caption", TFontStyles{TFontStyle::fsBold}, {"gray", "_", "400x300"}},
        {"kerning pairs", {}, {"AV", "AW", "AT ", "To", "ffi"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        canvas().Font().SetName("Tahoma");
        canvas().Font().SetHeight(-11);
        canvas().Font().SetStyle(row.style);
        std::string whole;
        for (const std::string& piece : row.pieces) whole += piece;
        Clear();
        TRect r{4, 4, 200, 40};
        DrawText(canvas(), whole, r, F::dtSingleLine);
        TBitmap pieces;
        pieces.SetSize(200, 100);
        pieces.Canvas().SetFont(canvas().Font());
        pieces.Canvas().Brush().SetStyle(TBrushStyle::bsClear);
        int x = 4;
        int summed = 0;
        for (const std::string& piece : row.pieces) {
            TRect p{x, 4, 200, 40};
            DrawText(pieces.Canvas(), piece, p, F::dtSingleLine | F::dtNoClip);
            x += canvas().TextWidth(piece);
            summed += canvas().TextWidth(piece);
        }
        EXPECT_EQ(canvas().TextWidth(whole), summed);
        int grey = 0;
        int differing = 0;
        for (int y = 0; y < 100; ++y) {
            for (int xx = 0; xx < 200; ++xx) {
                const TColor p = canvas().Pixels(xx, y);
                differing += p != pieces.Canvas().Pixels(xx, y);
                if (p == clWhite || p == clBlack) continue;
                EXPECT_TRUE(RedOf(p) == GreenOf(p) && GreenOf(p) == BlueOf(p))
                    << xx << "," << y << std::hex << " " << p;
                ++grey;
            }
        }
        EXPECT_EQ(differing, 0);
        EXPECT_GT(grey, 20);  // smoothed edges in grey steps
        const TRect ink = InkBox(canvas(), clWhite);
        EXPECT_GE(ink.Left, 4);
        EXPECT_LE(ink.Right, 4 + canvas().TextWidth(whole));
    }
    // The space of "New Photo Album" leaves a clear column between "New" and "Photo".
    canvas().Font().SetStyle({});
    Clear();
    TRect r{4, 4, 200, 40};
    DrawText(canvas(), "New", r, F::dtSingleLine);
    const int new_right = InkBox(canvas(), clWhite).Right;
    Clear();
    r = TRect{4 + canvas().TextWidth("New "), 4, 200, 40};
    DrawText(canvas(), "Photo", r, F::dtSingleLine);
    const int photo_left = InkBox(canvas(), clWhite).Left;
    EXPECT_GE(photo_left - new_right, 1);
    Clear();
    r = TRect{4, 4, 200, 40};
    DrawText(canvas(), "New Photo", r, F::dtSingleLine);
    bool blank_column = false;
    for (int xx = new_right; xx < photo_left && !blank_column; ++xx) {
        bool blank = true;
        for (int y = 0; y < 40; ++y) blank = blank && canvas().Pixels(xx, y) == clWhite;
        blank_column = blank;
    }
    EXPECT_TRUE(blank_column);
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
