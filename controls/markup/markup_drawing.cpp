#include "controls/markup/markup_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/ui/controls/shell_icons.h"
#include "platform/ui/core/sysutils.h"

namespace panel {

namespace {

// The whole text as a non-negative decimal number.
bool WholeNumber(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

ui::TSize DrawShellIcon(ui::TCanvas& canvas, int x, int y, bool large, bool draw, bool print, double factor,
                        const std::string& name) {
    const ui::TSize size = ui::ShellIconSize(large);
    if (!draw) return size;
    int index = 0;
    const bool stock = WholeNumber(name, index);
    auto draw_on = [&](ui::TCanvas& target, int tx, int ty) {
        if (stock)
            ui::DrawShellStockIcon(target, tx, ty, large, index);
        else
            ui::DrawShellFileIcon(target, tx, ty, large, name);
    };
    if (!print) {
        draw_on(canvas, x, y);
        return size;
    }
    ui::TBitmap bitmap;
    bitmap.SetSize(size.cx, size.cy);
    bitmap.Canvas().Brush().SetColor(ui::clWhite);
    bitmap.Canvas().FillRect(ui::Rect(0, 0, size.cx, size.cy));
    draw_on(bitmap.Canvas(), 0, 0);
    DrawScaledBitmap(canvas,
                     ui::Bounds(x, y, static_cast<int>(std::lround(size.cx * factor)),
                                static_cast<int>(std::lround(size.cy * factor))),
                     bitmap);
    return size;
}

void GradientFill(ui::TCanvas& canvas, ui::TColor start, ui::TColor end, bool horizontal, const ui::TRect& rect,
                  int steps, ui::TColor border) {
    if (steps <= 0) steps = 1;
    const ui::TColor from = ui::ColorToRGB(start);
    const ui::TColor to = ui::ColorToRGB(end);
    const int origin = horizontal ? rect.Left : rect.Top;
    const int far_edge = horizontal ? rect.Right : rect.Bottom;
    const double stripe = static_cast<double>(far_edge - origin) / steps;
    const int whole = static_cast<int>(stripe);
    auto channel = [&](std::uint8_t a, std::uint8_t b, int i) {
        return static_cast<std::uint8_t>(a + ui::Round(static_cast<double>(i) * (b - a) / steps));
    };
    for (int i = 0; i < steps; ++i) {
        const ui::TColor colour =
            ui::MakeColor(channel(ui::RedOf(from), ui::RedOf(to), i), channel(ui::GreenOf(from), ui::GreenOf(to), i),
                          channel(ui::BlueOf(from), ui::BlueOf(to), i));
        const int a = origin + static_cast<int>(ui::Round(i * stripe));
        const int b = std::min(far_edge, a + whole + 1);
        if (b <= a) continue;
        canvas.Pen().SetColor(colour);
        canvas.Brush().SetColor(colour);
        if (horizontal)
            canvas.Rectangle(a, rect.Top, b, rect.Bottom);
        else
            canvas.Rectangle(rect.Left, a, rect.Right, b);
    }
    if (border != ui::clNone) {
        canvas.Brush().SetColor(border);
        canvas.FrameRect(rect);
    }
}

void DrawScaledBitmap(ui::TCanvas& canvas, const ui::TRect& dest, const ui::TBitmap& bitmap) {
    canvas.CopyImage(dest, bitmap.Image(), ui::Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

}  // namespace panel
