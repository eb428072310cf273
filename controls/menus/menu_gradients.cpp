// The gradient primitives the menus paint with.
#include "controls/menus/menu_gradients.h"

#include <algorithm>

#include "controls/menus/menu_util.h"

namespace menus {

namespace {

ui::TColor EndColour(ui::TColor color_to, ui::TColor color) { return color_to == ui::clNone ? color : color_to; }

void Channels(ui::TColor c, int& r, int& g, int& b) {
    const ui::TColor rgb = ui::ColorToRGB(c);
    r = static_cast<int>(rgb & 0xFF);
    g = static_cast<int>((rgb >> 8) & 0xFF);
    b = static_cast<int>((rgb >> 16) & 0xFF);
}

ui::TColor Between(ui::TColor from, ui::TColor to, int step, int steps) {
    int r0, g0, b0, r1, g1, b1;
    Channels(from, r0, g0, b0);
    Channels(to, r1, g1, b1);
    // Per channel, integer division toward zero.
    const int r = r0 + step * (r1 - r0) / steps;
    const int g = g0 + step * (g1 - g0) / steps;
    const int b = b0 + step * (b1 - b0) / steps;
    return static_cast<ui::TColor>(r | g << 8 | b << 16);
}

void Fill(ui::TCanvas& canvas, const ui::TRect& r, ui::TColor colour) {
    canvas.Brush().SetColor(colour);
    canvas.FillRect(r);
}

}  // namespace

void GradientFill(ui::TBitmap* bitmap, ui::TCanvas& canvas, const ui::TRect& rect, TGradientDirection direction,
                  ui::TColor color_to, ui::TColor color) {
    ui::TCanvas& target = bitmap != nullptr ? bitmap->Canvas() : canvas;
    if (bitmap != nullptr) bitmap->SetPixelFormat(ui::TPixelFormat::pf32bit);
    const ui::TColor end = EndColour(color_to, color);
    if (ui::ColorToRGB(end) == ui::ColorToRGB(color)) {
        Fill(target, rect, color);
        return;
    }
    if (RectHeight(rect) <= 0) return;
    if (direction == TGradientDirection::gdVertical) {
        const int steps = RectHeight(rect);
        for (int y = rect.Top; y < rect.Bottom; ++y) {
            Fill(target, ui::TRect{rect.Left, y, rect.Right, y + 1}, Between(color, end, y - rect.Top, steps));
        }
    } else {
        const int steps = RectWidth(rect);
        for (int x = rect.Left; x < rect.Right; ++x) {
            Fill(target, ui::TRect{x, rect.Top, x + 1, rect.Bottom}, Between(color, end, x - rect.Left, steps));
        }
    }
}

void GradientRectClipped(ui::TBitmap* bitmap, ui::TCanvas& canvas, const ui::TRect& rect, TGradientDirection direction,
                         ui::TColor color_to, ui::TColor color, const ui::TRect& clip) {
    const ui::TRect part{std::max(rect.Left, clip.Left), std::max(rect.Top, clip.Top), std::min(rect.Right, clip.Right),
                         std::min(rect.Bottom, clip.Bottom)};
    if (part.IsEmpty() || color == ui::clNone) return;
    ui::TCanvas& target = bitmap != nullptr ? bitmap->Canvas() : canvas;
    const ui::TColor end = EndColour(color_to, color);
    // Every line gets the colour it has in the whole rectangle, so separately painted pieces join.
    if (direction == TGradientDirection::gdVertical) {
        const int steps = std::max(1, RectHeight(rect));
        for (int y = part.Top; y < part.Bottom; ++y) {
            Fill(target, ui::TRect{part.Left, y, part.Right, y + 1}, Between(color, end, y - rect.Top, steps));
        }
    } else {
        const int steps = std::max(1, RectWidth(rect));
        for (int x = part.Left; x < part.Right; ++x) {
            Fill(target, ui::TRect{x, part.Top, x + 1, part.Bottom}, Between(color, end, x - rect.Left, steps));
        }
    }
}

void GradientRect(ui::TCanvas& canvas, const ui::TRect& rect, bool fill, ui::TColor border,
                  TGradientDirection direction, ui::TColor color_to, ui::TColor color) {
    if (fill && color != ui::clNone) GradientFill(nullptr, canvas, rect, direction, color_to, color);
    if (border != ui::clNone) {
        canvas.Brush().SetColor(border);
        canvas.FrameRect(rect);
    }
}

void MirrorGradientRect(ui::TCanvas& canvas, const ui::TRect& rect, bool fill, ui::TColor border,
                        TGradientDirection direction, ui::TColor mirror_to, ui::TColor mirror, ui::TColor color_to,
                        ui::TColor color) {
    if (fill && color != ui::clNone) {
        if (mirror != ui::clNone) {
            const int half = rect.Top + RectHeight(rect) / 2;
            GradientFill(nullptr, canvas, ui::TRect{rect.Left, rect.Top, rect.Right, half}, direction, color_to, color);
            GradientFill(nullptr, canvas, ui::TRect{rect.Left, half, rect.Right, rect.Bottom}, direction, mirror_to,
                         mirror);
        } else {
            GradientFill(nullptr, canvas, rect, direction, color_to, color);
        }
    }
    if (border != ui::clNone) {
        canvas.Brush().SetColor(border);
        canvas.FrameRect(rect);
    }
}

void GradientLine(ui::TCanvas& canvas, ui::TRect rect, int margin, int width, TGradientType type,
                  TGradientDirection direction, ui::TColor color_to, ui::TColor color) {
    const ui::TColor to = EndColour(color_to, color);
    auto fade = [&](ui::TRect r, ui::TColor from, ui::TColor end, TGradientDirection dir) {
        if (!r.IsEmpty()) GradientFill(nullptr, canvas, r, dir, end, from);
    };
    if (direction == TGradientDirection::gdHorizontal) {
        rect.Left += margin;
        rect.Right -= margin;
        const int w = RectWidth(rect);
        if (width < w) {
            switch (type) {
            case TGradientType::gtLeft:
                Fill(canvas, ui::TRect{rect.Left + width, rect.Top, rect.Right, rect.Bottom}, to);
                break;
            case TGradientType::gtRight:
                Fill(canvas, ui::TRect{rect.Left, rect.Top, rect.Right - width, rect.Bottom}, to);
                break;
            case TGradientType::gtBoth:
                Fill(canvas, ui::TRect{rect.Left + width / 2, rect.Top, rect.Right - width / 2, rect.Bottom}, color);
                break;
            }
        } else {
            width = w;
        }
        if (width <= 0) return;
        const auto h = TGradientDirection::gdHorizontal;
        switch (type) {
        case TGradientType::gtLeft:
            fade(ui::TRect{rect.Left, rect.Top, rect.Left + width, rect.Bottom}, color, to, h);
            break;
        case TGradientType::gtRight:
            fade(ui::TRect{rect.Right - width, rect.Top, rect.Right, rect.Bottom}, to, color, h);
            break;
        case TGradientType::gtBoth:
            fade(ui::TRect{rect.Left, rect.Top, rect.Left + width / 2, rect.Bottom}, to, color, h);
            fade(ui::TRect{rect.Right - width / 2, rect.Top, rect.Right, rect.Bottom}, color, to, h);
            break;
        }
        return;
    }
    rect.Top += margin;
    rect.Bottom -= margin;
    if (type == TGradientType::gtBoth) width *= 2;
    const int hgt = RectHeight(rect);
    if (width < hgt) {
        switch (type) {
        case TGradientType::gtLeft:
            Fill(canvas, ui::TRect{rect.Left, rect.Top, rect.Right, rect.Bottom - width}, to);
            break;
        case TGradientType::gtRight:
            Fill(canvas, ui::TRect{rect.Left, rect.Top + width, rect.Right, rect.Bottom}, to);
            break;
        case TGradientType::gtBoth:
            Fill(canvas, ui::TRect{rect.Left, rect.Top + width / 2, rect.Right, rect.Bottom - width / 2}, color);
            break;
        }
    } else {
        width = hgt;
    }
    if (width <= 0) return;
    const auto v = TGradientDirection::gdVertical;
    switch (type) {
    case TGradientType::gtLeft:
        fade(ui::TRect{rect.Left, rect.Bottom - width, rect.Right, rect.Bottom}, to, color, v);
        break;
    case TGradientType::gtRight:
        fade(ui::TRect{rect.Left, rect.Top, rect.Right, rect.Top + width}, color, to, v);
        break;
    case TGradientType::gtBoth:
        fade(ui::TRect{rect.Left, rect.Top, rect.Right, rect.Top + width / 2}, to, color, v);
        fade(ui::TRect{rect.Left, rect.Bottom - width / 2, rect.Right, rect.Bottom}, color, to, v);
        break;
    }
}

}  // namespace menus
