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

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const {
    if (index < 0 || index >= Count()) return;
    canvas.Draw(x, y, *images_[static_cast<std::size_t>(index)]);
}

}  // namespace ui
