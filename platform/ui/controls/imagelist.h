// TImageList: pictures of one size, drawn by index.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/core/component.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

namespace ui {

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner) : TComponent(owner) {}
    std::string ClassName() const override { return "TImageList"; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size empties the list, as the class library does.
    void SetSize(int width, int height);
    int Count() const { return static_cast<int>(images_.size()); }
    // Adds a copy of `bitmap`; returns its index.
    int Add(const TBitmap& bitmap);
    // Draws image `index` with its top-left at (x, y); an index outside the list draws nothing.
    // A disabled image is drawn greyed: each pixel it shows in a pale grey of its brightness.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;

private:
    int width_ = 16;
    int height_ = 16;
    std::vector<std::unique_ptr<TBitmap>> images_;
};

}  // namespace ui
