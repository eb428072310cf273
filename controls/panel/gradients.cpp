#include "controls/panel/gradients.h"

#include <algorithm>
#include <cstdint>

#include "platform/ui/core/numbers.h"

namespace panel {

using ui::TColor;

TColor MixColors(TColor a, TColor b, int percent) {
    if (percent == 100) return a;
    const TColor ra = ui::ColorToRGB(a);
    const TColor rb = ui::ColorToRGB(b);
    const double p = percent / 100.0;
    auto mix = [p](std::uint8_t ca, std::uint8_t cb) {
        // Ties go to the even neighbour: 0.5 becomes 0, 1.5 becomes 2.
        return static_cast<std::uint8_t>(ui::Round(p * ca + (1.0 - p) * cb) & 0xFF);
    };
    return ui::MakeColor(mix(ui::RedOf(ra), ui::RedOf(rb)), mix(ui::GreenOf(ra), ui::GreenOf(rb)),
                         mix(ui::BlueOf(ra), ui::BlueOf(rb)));
}

void DrawGradient(ui::TCanvas& canvas, TColor from, TColor to, bool horizontal, const ui::TRect& rect, int steps) {
    steps = std::clamp(steps, 1, 32);
    const TColor f = ui::ColorToRGB(from);
    const TColor t = ui::ColorToRGB(to);
    const int start = horizontal ? rect.Left : rect.Top;
    const int end = horizontal ? rect.Right : rect.Bottom;
    const double band = static_cast<double>(end - start) / steps;
    auto channel = [&](int i, std::uint8_t cf, std::uint8_t ct) {
        return static_cast<std::uint8_t>((cf + ui::Round(static_cast<double>(i) * (ct - cf) / steps)) & 0xFF);
    };
    for (int i = 0; i < steps; ++i) {
        const TColor c =
            ui::MakeColor(channel(i, ui::RedOf(f), ui::RedOf(t)), channel(i, ui::GreenOf(f), ui::GreenOf(t)),
                          channel(i, ui::BlueOf(f), ui::BlueOf(t)));
        canvas.Pen().SetColor(c);
        canvas.Brush().SetColor(c);
        const int a = start + static_cast<int>(ui::Round(i * band));
        // Each band overlaps the next by a pixel, so rounding never leaves a gap between them.
        const int b = std::min(a + static_cast<int>(ui::Trunc(band)) + 1, end);
        if (horizontal) {
            canvas.Rectangle(a, rect.Top, b, rect.Bottom);
        } else {
            canvas.Rectangle(rect.Left, a, rect.Right, b);
        }
    }
}

void DrawMirrorGradient(ui::TCanvas& canvas, const ui::TRect& rect, TColor color, TColor color_to, TColor color_mirror,
                        TColor color_mirror_to, bool horizontal, TColor frame_color) {
    ui::TRect first = rect;
    ui::TRect second = rect;
    if (horizontal) {
        first.Right = rect.Left + rect.Width() / 2;
        second.Left = first.Right;
    } else {
        first.Bottom = rect.Top + rect.Height() / 2;
        second.Top = first.Bottom;
    }
    DrawGradient(canvas, color, color_to, horizontal, first, 32);
    DrawGradient(canvas, color_mirror, color_mirror_to, horizontal, second, 32);
    if (frame_color != ui::clNone) {
        canvas.Brush().SetColor(ui::ColorToRGB(frame_color));
        canvas.FrameRect(rect);
    }
}

}  // namespace panel
