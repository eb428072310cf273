#include "imaging/custom_map.h"

#include <algorithm>

namespace imaging {

bool TCustomMap::SetSize(int NewWidth, int NewHeight) {
    NewWidth = std::max(NewWidth, 0);
    NewHeight = std::max(NewHeight, 0);
    if (NewWidth == width_ && NewHeight == height_) return false;
    ResizeBuffer(width_, height_, NewWidth, NewHeight);
    Changed();
    NotifyResize();
    return true;
}

void TCustomMap::MakeEmpty() { SetSize(0, 0); }

bool TCustomMap::Empty() const { return width_ == 0 || height_ == 0; }

void TCustomMap::ResizeBuffer(int& Width, int& Height, int NewWidth, int NewHeight) {
    Width = NewWidth;
    Height = NewHeight;
}

void TCustomMap::NotifyResize() {
    if (OnResize) OnResize(this);
}

}  // namespace imaging
