#include "platform/ui/controls/imagelist.h"

namespace ui {

void TImageList::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    images_.clear();
}

int TImageList::Add(const TBitmap& bitmap) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(&bitmap);
    images_.push_back(std::move(copy));
    return Count() - 1;
}

namespace {

TColor PaleGrey(TColor colour) {
    const int r = static_cast<int>(colour & 0xFF), g = static_cast<int>((colour >> 8) & 0xFF),
              b = static_cast<int>((colour >> 16) & 0xFF);
    const int v = 128 + (r * 77 + g * 150 + b * 29) / 512;
    return static_cast<TColor>(v | v << 8 | v << 16);
}

// Pixels of the transparent colour stay as they are, and no other pixel may take that colour,
// so that the greyed image keeps its outline.
void Grey(TBitmap& bitmap) {
    const TColor key = bitmap.Transparent() ? ColorToRGB(bitmap.TransparentColor()) : clNone;
    TCanvas& canvas = bitmap.Canvas();
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor c = canvas.Pixels(x, y);
            if (c == key) continue;
            TColor grey = PaleGrey(c);
            if (grey == key) grey ^= 0x010101;
            canvas.SetPixels(x, y, grey);
        }
    }
}

}  // namespace

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count()) return;
    const TBitmap& image = *images_[static_cast<std::size_t>(index)];
    if (enabled) {
        canvas.Draw(x, y, image);
        return;
    }
    TBitmap greyed;
    greyed.Assign(&image);
    Grey(greyed);
    canvas.Draw(x, y, greyed);
}

}  // namespace ui
