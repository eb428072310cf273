#include "controls/cardlist/card_fill_painting.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/ui/core/sysutils.h"

namespace cardlist {

namespace {

// Keeps a band inside the rectangle it belongs to: the last bands of a fill are longer than the
// space left, and pixels outside the rectangle belong to someone else.
ui::TRect Clip(const ui::TRect& r, const ui::TRect& bounds) {
    return ui::TRect{std::max(r.Left, bounds.Left), std::max(r.Top, bounds.Top), std::min(r.Right, bounds.Right),
                     std::min(r.Bottom, bounds.Bottom)};
}

void FillSolid(ui::TCanvas& canvas, const ui::TRect& r, TColor color) {
    if (r.IsEmpty()) return;
    canvas.Brush().SetStyle(ui::TBrushStyle::bsSolid);
    canvas.Brush().SetColor(color);
    canvas.FillRect(r);
}

}  // namespace

void PaintGradient(ui::TCanvas& canvas, const TFineGradient& gradient, const ui::TRect& rect) {
    if (gradient.Color() == ui::clNone) return;
    const TColor from = ui::ColorToRGB(gradient.Color());
    if (gradient.ColorTo() == ui::clNone) {
        FillSolid(canvas, rect, from);
        return;
    }
    const TColor to = ui::ColorToRGB(gradient.ColorTo());
    const bool horizontal = gradient.Direction() == TFineGradientDirection::gdHorizontal;
    const int span = horizontal ? rect.Width() : rect.Height();
    if (span <= 0 || rect.IsEmpty()) return;
    const double step = span / 256.0;
    const int band = static_cast<int>(ui::Round(step)) + 1;
    auto channel = [](int a, int b, int i) { return a + ((b - a) * i) / 256; };  // C++ '/' truncates toward zero
    for (int i = 0; i < 256; ++i) {
        const TColor c = ui::MakeColor(static_cast<std::uint8_t>(channel(ui::RedOf(from), ui::RedOf(to), i)),
                                       static_cast<std::uint8_t>(channel(ui::GreenOf(from), ui::GreenOf(to), i)),
                                       static_cast<std::uint8_t>(channel(ui::BlueOf(from), ui::BlueOf(to), i)));
        const int start = static_cast<int>(ui::Trunc(i * step));
        ui::TRect r = horizontal ? ui::TRect{rect.Left + start, rect.Top, rect.Left + start + band, rect.Bottom}
                                 : ui::TRect{rect.Left, rect.Top + start, rect.Right, rect.Top + start + band};
        FillSolid(canvas, Clip(r, rect), c);
    }
}

TLevelProgressRecord LevelProgressRecordFrom(const TProgressAppearance& a) {
    TLevelProgressRecord r;
    r.Level0Color = a.Level0Color();
    r.Level0ColorTo = a.Level0ColorTo();
    r.Level1Color = a.Level1Color();
    r.Level1ColorTo = a.Level1ColorTo();
    r.Level2Color = a.Level2Color();
    r.Level2ColorTo = a.Level2ColorTo();
    r.Level3Color = a.Level3Color();
    r.Level3ColorTo = a.Level3ColorTo();
    r.Level1Perc = a.Level1Perc();
    r.Level2Perc = a.Level2Perc();
    r.BorderColor = a.BorderColor();
    r.ShowBorder = a.ShowBorder();
    r.Stacked = a.Stacked();
    r.ShowPercentage = a.ShowPercentage();
    r.CompletionSmooth = a.CompletionSmooth();
    r.ShowGradient = a.ShowGradient();
    r.Steps = a.Steps();
    return r;
}

void DrawSteppedGradient(ui::TCanvas& canvas, TColor a, TColor b, bool alongX, const ui::TRect& rect, int steps) {
    if (rect.IsEmpty()) return;
    const int n_steps = steps <= 0 ? 1 : steps;
    const TColor ca = ui::ColorToRGB(a);
    const TColor cb = ui::ColorToRGB(b);
    const double t = ((alongX ? rect.Width() : rect.Height()) - 1) / static_cast<double>(n_steps);
    const int thickness = static_cast<int>(ui::Round(t)) + 1;
    auto channel = [n_steps](int from, int to, int n) {
        return static_cast<std::uint8_t>(from + ui::Round(static_cast<double>(n) * (to - from) / n_steps));
    };
    for (int n = 0; n < n_steps; ++n) {
        const TColor c =
            ui::MakeColor(channel(ui::RedOf(ca), ui::RedOf(cb), n), channel(ui::GreenOf(ca), ui::GreenOf(cb), n),
                          channel(ui::BlueOf(ca), ui::BlueOf(cb), n));
        const int start = static_cast<int>(ui::Round(n * t));
        const ui::TRect band = alongX
                                   ? ui::TRect{rect.Left + start, rect.Top, rect.Left + start + thickness, rect.Bottom}
                                   : ui::TRect{rect.Left, rect.Top + start, rect.Right, rect.Top + start + thickness};
        FillSolid(canvas, Clip(band, rect), c);
    }
}

namespace {

struct LevelColors {
    TColor color;
    TColor color_to;
};

LevelColors Level(const TLevelProgressRecord& r, int level) {
    switch (level) {
    case 0:
        return {r.Level0Color, r.Level0ColorTo};
    case 1:
        return {r.Level1Color, r.Level1ColorTo};
    case 2:
        return {r.Level2Color, r.Level2ColorTo};
    default:
        return {r.Level3Color, r.Level3ColorTo};
    }
}

// One filled run of the bar: solid, or two halves across the run, each stepped across it.
void FillSegment(ui::TCanvas& canvas, const ui::TRect& seg, const LevelColors& c, const TLevelProgressRecord& r) {
    if (seg.IsEmpty()) return;
    if (!r.ShowGradient) {
        FillSolid(canvas, seg, ui::ColorToRGB(c.color));
        return;
    }
    if (r.Vertical) {
        const int mid = seg.Left + seg.Width() / 2;
        DrawSteppedGradient(canvas, c.color_to, c.color, true, ui::TRect{seg.Left, seg.Top, mid, seg.Bottom}, r.Steps);
        DrawSteppedGradient(canvas, c.color, c.color_to, true, ui::TRect{mid, seg.Top, seg.Right, seg.Bottom}, r.Steps);
    } else {
        const int mid = seg.Top + seg.Height() / 2;
        DrawSteppedGradient(canvas, c.color_to, c.color, false, ui::TRect{seg.Left, seg.Top, seg.Right, mid}, r.Steps);
        DrawSteppedGradient(canvas, c.color, c.color_to, false, ui::TRect{seg.Left, mid, seg.Right, seg.Bottom},
                            r.Steps);
    }
}

}  // namespace

std::vector<ui::TRect> LevelProgressBlocks(const ui::TRect& rect, int filled, bool vertical) {
    std::vector<ui::TRect> blocks;
    auto block = [&](int from, int length) {
        if (vertical) {
            // A vertical bar grows from the bottom edge upwards.
            blocks.push_back(ui::TRect{rect.Left + 2, rect.Bottom - from - length, rect.Right - 2, rect.Bottom - from});
        } else {
            blocks.push_back(ui::TRect{rect.Left + from, rect.Top + 2, rect.Left + from + length, rect.Bottom - 2});
        }
    };
    if (filled < 10) {
        if (filled > 1) block(2, filled - 1);
        return blocks;
    }
    int pos = 2;
    block(pos, 7);
    for (int k = 1; k < filled / 9; ++k) {
        pos += 9;
        block(pos, 7);
    }
    if (filled % 9 > 2) block(pos + 9, filled % 9 - 1);
    return blocks;
}

void DrawLevelProgress(ui::TCanvas& canvas, const ui::TRect& rect, int position, const TLevelProgressRecord& r) {
    const int along = r.Vertical ? rect.Height() : rect.Width();
    const int inner = along - 2;
    // 64-bit so that extreme Min/Max values cannot overflow.
    const long long range = static_cast<long long>(r.Max) - r.Min;
    const TColor background = ui::ColorToRGB(r.Background);
    const TColor pen = r.ShowBorder ? ui::ColorToRGB(r.BorderColor) : background;

    canvas.Pen().SetStyle(ui::TPenStyle::psSolid);
    canvas.Pen().SetColor(pen);
    canvas.Brush().SetStyle(ui::TBrushStyle::bsSolid);
    canvas.Brush().SetColor(background);
    canvas.Rectangle(rect);

    // A range of zero or less has no filled part: nothing to divide by.
    if (range > 0 && r.Min < position && inner > 0) {
        const long long clamped = std::clamp<long long>(position, r.Min, r.Max);
        const long long e = std::llabs(clamped - r.Min);
        auto part = [&](double value) {
            return static_cast<int>(ui::Round(value / static_cast<double>(range) * inner));
        };
        // A run of `length` pixels starting `from` pixels after the start edge, inset by `inset`.
        auto run = [&](int from, int length, int inset) {
            if (r.Vertical)
                return ui::TRect{rect.Left + inset, rect.Bottom - from - length, rect.Right - inset,
                                 rect.Bottom - from};
            return ui::TRect{rect.Left + from, rect.Top + inset, rect.Left + from + length, rect.Bottom - inset};
        };
        const ui::TRect inside{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
        if (r.Stacked) {
            int done = 0;
            const int first = position < r.Level1Perc ? part(static_cast<double>(e)) : part(r.Level1Perc);
            FillSegment(canvas, Clip(run(1, first, 1), inside), Level(r, 0), r);
            done += first;
            if (position >= r.Level1Perc) {
                const int second = position < r.Level2Perc ? part(static_cast<double>(e - r.Level1Perc))
                                                           : part(r.Level2Perc - r.Level1Perc);
                FillSegment(canvas, Clip(run(1 + done, second, 1), inside), Level(r, 1), r);
                done += second;
                if (position >= r.Level2Perc) {
                    const int third = position == range ? inner - done : part(static_cast<double>(e - r.Level2Perc));
                    FillSegment(canvas, Clip(run(1 + done, third, 1), inside), Level(r, 3), r);
                }
            }
        } else {
            const int level = position < r.Level1Perc ? 0 : position < r.Level2Perc ? 1 : position < range ? 2 : 3;
            if (r.CompletionSmooth) {
                FillSegment(canvas, Clip(run(1, part(static_cast<double>(e)), 1), inside), Level(r, level), r);
            } else {
                const int filled =
                    static_cast<int>(ui::Round(static_cast<double>(e) * inner / static_cast<double>(range)));
                for (const ui::TRect& b : LevelProgressBlocks(rect, filled, r.Vertical)) {
                    FillSegment(canvas, Clip(b, inside), Level(r, level), r);
                }
            }
        }
    }

    if (r.ShowPercentage) {
        if (r.Font != nullptr) canvas.SetFont(*r.Font);
        canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
        const std::string text = ui::IntToStr(position) + "%";
        const ui::TSize size = canvas.TextExtent(text);
        // The canvas draws no turned text; a vertical bar centres the text the same way.
        canvas.TextOut(rect.Left + rect.Width() / 2 - size.cx / 2, rect.Top + rect.Height() / 2 - size.cy / 2, text);
    }

    canvas.Pen().SetStyle(ui::TPenStyle::psSolid);
    canvas.Pen().SetColor(pen);
    canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
    canvas.Rectangle(rect);
}

}  // namespace cardlist
