// TPanelStatusBar: the look and text of the strip a panel can show at its bottom (or at its
// right edge when the caption is on the left). Every real change, the font's own included,
// goes to OnChange, which the owning panel hooks.
#pragma once

#include <memory>
#include <string>

#include "controls/panel/panel_types.h"
#include "platform/ui/controls/edit_controls.h"
#include "platform/ui/core/persistent.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/graphics.h"

namespace panel {

using ui::TColor;

// Index of the status bar's image in the panel's image list when it shows none.
inline constexpr int kNoImage = -1;

class TPanelStatusBar : public ui::TPersistent {
public:
    TPanelStatusBar();
    ~TPanelStatusBar() override;
    TPanelStatusBar(const TPanelStatusBar&) = delete;
    TPanelStatusBar& operator=(const TPanelStatusBar&) = delete;

    std::string ClassName() const override { return "TPanelStatusBar"; }
    // From another status bar: Color, ColorTo, GradientDirection, BorderStyle, BorderColor and
    // the font; Text, Visible, Height, ImageIndex and BevelInner stay. Other sources are ignored.
    void Assign(const ui::TPersistent* source) override;

    bool BevelInner() const { return bevel_inner_; }
    void SetBevelInner(bool value);
    TColor BorderColor() const { return border_color_; }
    void SetBorderColor(TColor value);
    ui::TBorderStyle BorderStyle() const { return border_style_; }
    void SetBorderStyle(ui::TBorderStyle value);
    int ImageIndex() const { return image_index_; }
    void SetImageIndex(int value);
    ui::TFont& Font() { return *font_; }
    const ui::TFont& Font() const { return *font_; }
    void SetFont(const ui::TFont& value) { font_->Assign(&value); }
    // Markup.
    const std::string& Text() const { return text_; }
    void SetText(const std::string& value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TColor ColorTo() const { return color_to_; }
    void SetColorTo(TColor value);
    TGradientDirection GradientDirection() const { return gradient_direction_; }
    void SetGradientDirection(TGradientDirection value);
    int Height() const { return height_; }
    void SetHeight(int value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);

    ui::TNotifyEvent OnChange;

private:
    void Changed();

    bool bevel_inner_ = false;
    TColor border_color_ = ui::clBlack;
    ui::TBorderStyle border_style_ = ui::TBorderStyle::bsNone;
    int image_index_ = kNoImage;
    std::unique_ptr<ui::TFont> font_;
    std::string text_;
    TColor color_ = ui::clBtnFace;
    TColor color_to_ = ui::clNone;
    TGradientDirection gradient_direction_ = TGradientDirection::gdHorizontal;
    int height_ = 18;
    bool visible_ = false;
};

}  // namespace panel
