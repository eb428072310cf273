#include "controls/panel/caption_shade.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/core/numbers.h"

namespace panel {

using ui::TColor;

TColor ShadeColor(int intensity, TColor rgb) {
    auto channel = [intensity](std::uint8_t c) { return static_cast<std::uint8_t>((intensity * c / 255) & 0xFF); };
    return ui::MakeColor(channel(ui::RedOf(rgb)), channel(ui::GreenOf(rgb)), channel(ui::BlueOf(rgb)));
}

namespace {

// All divisions are integer divisions truncating toward zero, as in the formulas.
int Cube(int t) { return t * t * t / 128 / 128; }
int Bump(int t) { return Cube(t) * 120 / 128 + 128; }

class ShadePainter {
public:
    ShadePainter(ui::TBitmap& bitmap, int w, int h, const CaptionShadeSpec& spec, std::mt19937& random)
        : canvas_(bitmap.Canvas()),
          w_(w),
          h_(h),
          rgb_(ui::ColorToRGB(spec.color)),
          light_(spec.light & 0xFF),
          grain_(spec.grain),
          random_(random) {}

    void Paint(TShadeType type);

private:
    // Pixels outside the bitmap are ignored by the canvas; the loops run to w and h inclusive.
    void Put(int x, int y, int intensity) { canvas_.SetPixels(x, y, ShadeColor(intensity, rgb_)); }
    int Random(int range) {
        if (range <= 0) return 0;
        return std::uniform_int_distribution<int>(0, range - 1)(random_);
    }
    void FillCaptionColour() {
        canvas_.Brush().SetStyle(ui::TBrushStyle::bsSolid);
        canvas_.Brush().SetColor(rgb_);
        canvas_.FillRect(ui::TRect{0, 0, canvas_.Width(), canvas_.Height()});
    }
    // U = L - b + x * k div w + y * k div h over the blue channel b of the pixel there.
    void Diagonal(int k) {
        for (int x = 0; x <= w_; ++x) {
            for (int y = 0; y <= h_; ++y) {
                const int b = ui::BlueOf(canvas_.Pixels(x, y));
                const int u = light_ - b + x * k / w_ + y * k / h_;
                Put(x, y, light_ - u / 2);
            }
        }
    }
    void Metal(bool left);
    void HardBump();
    void Radial(bool inner);

    ui::TCanvas& canvas_;
    const int w_;
    const int h_;
    const TColor rgb_;
    const int light_;
    const int grain_;
    std::mt19937& random_;
};

void ShadePainter::Metal(bool left) {
    for (int stroke = 0; stroke < 251; ++stroke) {
        const int x0 = Random(w_);
        const int y0 = Random(h_);
        const int n = Random(std::min(w_, h_) / 2);
        const int intensity = light_ - Random(40);
        for (int k = 0; k < n; ++k) {
            if (x0 - k > 0 && y0 + k < h_) Put(left ? x0 + k : x0 - k, y0 + k, intensity);
            if (x0 + k < w_ && y0 - k > 0) Put(left ? x0 - k : x0 + k, y0 - k, intensity);
        }
    }
    Diagonal(120);
}

void ShadePainter::HardBump() {
    const int d = std::min(w_ / 6, 16);
    const int q = h_ * h_ / 4;
    if (d == 0 || q == 0) {
        FillCaptionColour();
        return;
    }
    for (int y = 0; y <= h_; ++y) {
        const int intensity = light_ - (Cube(y * 255 / h_ - 127) * 112 / 128 + 128) / 2;
        for (int x = 0; x <= w_; ++x) Put(x, y, intensity);
    }
    for (int y = 0; y <= h_; ++y) {
        for (int x = 0; x <= w_; ++x) {
            const int dy = y - h_ / 2;
            const int dx = x - w_ / 2;
            const int e = dy * dy * d / q + w_ / 2 - d;
            if (dx > e) Put(x, y, light_ - ((w_ - x) * 128 / d + 8) / 2);
            if (dx + e < 0) Put(x, y, light_ - (247 - x * 128 / d) / 2);
        }
    }
}

void ShadePainter::Radial(bool inner) {
    // The distance between the points (0, w) and (0, h): |w - h|. A square caption has none.
    const int d0 = static_cast<int>(ui::Round(std::hypot(0.0, static_cast<double>(w_ - h_))));
    if (d0 == 0) {
        FillCaptionColour();
        return;
    }
    const int cx = w_ / 2;
    const int cy = h_ / 2;
    for (int x = 0; x <= cx; ++x) {
        for (int y = 0; y <= cy; ++y) {
            const int d =
                static_cast<int>(ui::Round(std::hypot(static_cast<double>(x - cx), static_cast<double>(y - cy))));
            const int v = inner ? d0 - d : d;
            const int intensity = static_cast<int>(ui::Round(static_cast<double>(v) / d0 * light_));
            Put(x, y, intensity);
            Put(w_ - x, h_ - y, intensity);
            Put(w_ - x, y, intensity);
            Put(x, h_ - y, intensity);
        }
    }
}

void ShadePainter::Paint(TShadeType type) {
    switch (type) {
    case TShadeType::stNormal:
    case TShadeType::stXPCaption:
    case TShadeType::stBitmap:
    case TShadeType::stBitmapRStretch:
    case TShadeType::stBitmapLStretch:
        FillCaptionColour();
        break;
    case TShadeType::stNoise:
        for (int x = 0; x <= w_; ++x) {
            for (int y = 0; y <= h_; ++y) Put(x, y, light_ - (Random(grain_) + 128) / 2);
        }
        break;
    case TShadeType::stDiagShade:
        Diagonal(129);
        break;
    case TShadeType::stHShade:
    case TShadeType::stHShadeInv:
        for (int x = 0; x <= w_; ++x) {
            const int intensity = light_ - (239 * (w_ - x) / w_ + 8) / 2;
            const int column = type == TShadeType::stHShade ? x : w_ - x;
            for (int y = 0; y <= h_; ++y) Put(column, y, intensity);
        }
        break;
    case TShadeType::stVShade:
    case TShadeType::stVShadeInv:
        for (int y = 0; y <= h_; ++y) {
            const int intensity = light_ - (239 * y / h_ + 8) / 4;
            for (int x = 0; x <= w_; ++x) {
                if (type == TShadeType::stVShade) {
                    Put(w_ - x, y, intensity);
                } else {
                    Put(x, h_ - y, intensity);
                }
            }
        }
        break;
    case TShadeType::stHBump:
        for (int x = 0; x <= w_; ++x) {
            const int intensity = light_ - Bump((w_ - x) * 255 / w_ - 127) / 2;
            for (int y = 0; y <= h_; ++y) Put(x, y, intensity);
        }
        break;
    case TShadeType::stVBump:
        for (int y = 0; y <= h_; ++y) {
            const int intensity = light_ - Bump(y * 255 / h_ - 127) / 2;
            for (int x = 0; x <= w_; ++x) Put(x, y, intensity);
        }
        break;
    case TShadeType::stSoftBump:
        for (int x = 0; x <= w_; ++x) {
            for (int y = 0; y <= h_; ++y) {
                int v = (Cube(y * 255 / h_ - 127) + Cube((w_ - x) * 255 / w_ - 127)) * 120 / 128 + 128;
                v = std::clamp(v, 8, 247);
                Put(x, y, light_ - v / 2);
            }
        }
        break;
    case TShadeType::stHardBump:
        HardBump();
        break;
    case TShadeType::stLMetal:
        Metal(true);
        break;
    case TShadeType::stRMetal:
        Metal(false);
        break;
    case TShadeType::stIRadial:
        Radial(true);
        break;
    case TShadeType::stORadial:
        Radial(false);
        break;
    }
}

}  // namespace

void RenderShade(ui::TBitmap& bitmap, int width, int height, const CaptionShadeSpec& spec, std::mt19937& random) {
    bitmap.SetSize(std::max(width, 0), std::max(height, 0));
    const int w = width > 0 ? width : (spec.caption_on_left ? 20 : 100);
    const int h = height > 0 ? height : (spec.caption_on_left ? 100 : 20);
    ui::TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetStyle(ui::TBrushStyle::bsSolid);
    canvas.Brush().SetColor(ui::clWhite);
    canvas.FillRect(ui::TRect{0, 0, w, h});
    ShadePainter(bitmap, w, h, spec, random).Paint(spec.type);
}

}  // namespace panel
