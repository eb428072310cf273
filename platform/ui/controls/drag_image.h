// The picture that follows the cursor during a drag: a borderless, half-transparent window
// above all others that the mouse passes through (so the drag loop sees the window below it).
// Its owner frees it like any component; a drag frees it at its end, whatever the end.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/controls/controls.h"
#include "platform/ui/graphics/bitmap.h"

namespace ui {

class TDragImageWindow : public TCustomControl {
public:
    explicit TDragImageWindow(TComponent* owner);
    ~TDragImageWindow() override;
    std::string ClassName() const override { return "TDragImageWindow"; }

    // The picture shown; the window takes its size.
    void SetPicture(const TBitmap& picture);
    const TBitmap& Picture() const { return *picture_; }
    // 0 (invisible) .. 255 (opaque).
    int AlphaBlendValue() const { return alpha_; }
    void SetAlphaBlendValue(int value);

    // Places the window's top-left at a screen point and shows it there.
    void ShowAt(TPoint screen);
    void MoveTo(TPoint screen);
    void BringToFront();
    bool Showing() const;

protected:
    void Paint() override;

private:
    std::unique_ptr<TBitmap> picture_;
    int alpha_ = 255;
};

// Paints `control` as it is on the screen into `bitmap` (32 bits, the control's size).
void PaintControlTo(TControl& control, TBitmap& bitmap);

}  // namespace ui
