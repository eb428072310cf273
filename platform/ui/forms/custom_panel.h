// TCustomPanel: the base of self-painting panels. It owns the panel properties of the class
// library (bevels, their width, the border width and style) and paints them: the outer bevel,
// the border in the panel colour, the inner bevel, the inside in the panel colour.
#pragma once

#include <string>

#include "platform/ui/controls/controls.h"
#include "platform/ui/controls/edit_controls.h"
#include "platform/ui/forms/stdctrls.h"

namespace ui {

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* owner) : TCustomControl(owner) {}
    std::string ClassName() const override { return "TCustomPanel"; }

    TBevelCut BevelOuter() const { return bevel_outer_; }
    void SetBevelOuter(TBevelCut cut);
    TBevelCut BevelInner() const { return bevel_inner_; }
    void SetBevelInner(TBevelCut cut);
    int BevelWidth() const { return bevel_width_; }
    void SetBevelWidth(int width);  // values below 1 become 1
    int BorderWidth() const { return border_width_; }
    void SetBorderWidth(int width);  // negative values become 0
    TBorderStyle BorderStyle() const { return border_style_; }
    void SetBorderStyle(TBorderStyle style);

protected:
    void Paint() override;
    // A bevel, the bevel width or a border setting changed. It repaints; a panel that lays its
    // parts out inside the frame also drops that layout.
    virtual void FrameChanged() { Invalidate(); }

private:
    TBevelCut bevel_outer_ = TBevelCut::bvRaised;
    TBevelCut bevel_inner_ = TBevelCut::bvNone;
    int bevel_width_ = 1;
    int border_width_ = 0;
    TBorderStyle border_style_ = TBorderStyle::bsNone;
};

}  // namespace ui
