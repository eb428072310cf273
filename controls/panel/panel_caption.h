// TPanelCaption: everything about a panel's caption bar (markup text, colours and gradient,
// shade, shape, the close and minimise/maximise buttons with their glyphs, height, indents,
// position and visibility). Its owner (a panel or a settings object) hooks the events:
//   OnChange          any change that needs a repaint
//   OnShadeChange     the pre-rendered caption background is out of date (OnChange follows)
//   OnStateChange     Visible was set
//   OnPositionChange  the caption moved between the top and the left edge (no OnChange)
//   OnLayoutChange    the buttons' side or the min/max glyphs changed (no OnChange): what shows
//                     looks the same, but the buttons and the caption text take other places
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/panel/panel_types.h"
#include "platform/ui/core/persistent.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/graphics.h"

namespace panel {

using ui::TColor;

enum class TCaptionButtonPosition : std::uint8_t { cbpRight, cbpLeft };
enum class TCaptionPosition : std::uint8_t { cpTop, cpLeft };
enum class TCaptionShape : std::uint8_t { csRectangle, csRounded, csSemiRounded };
enum class TShadeType : std::uint8_t {
    stNormal,
    stNoise,
    stDiagShade,
    stHShade,
    stVShade,
    stHBump,
    stVBump,
    stSoftBump,
    stHardBump,
    stLMetal,
    stRMetal,
    stIRadial,
    stORadial,
    stHShadeInv,
    stVShadeInv,
    stXPCaption,
    stBitmap,
    stBitmapRStretch,
    stBitmapLStretch
};

// ShadeLight never goes below this.
inline constexpr int kMinShadeLight = 200;

class TPanelCaption : public ui::TPersistent {
public:
    TPanelCaption();
    ~TPanelCaption() override;
    TPanelCaption(const TPanelCaption&) = delete;
    TPanelCaption& operator=(const TPanelCaption&) = delete;

    std::string ClassName() const override { return "TPanelCaption"; }
    // Copies the looks through the setters; Text, Visible, Position, TopIndent and MinMaxCaption
    // stay. Raises EInvalidCast for a source that is not a TPanelCaption.
    void Assign(const ui::TPersistent* source) override;

    const ui::TBitmap& Background() const { return *background_; }
    void SetBackground(const ui::TBitmap& value);
    TCaptionButtonPosition ButtonPosition() const { return button_position_; }
    void SetButtonPosition(TCaptionButtonPosition value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TColor ColorTo() const { return color_to_; }
    void SetColorTo(TColor value);
    TColor CloseColor() const { return close_color_; }
    void SetCloseColor(TColor value);
    bool CloseButton() const { return close_button_; }
    void SetCloseButton(bool value);
    TColor CloseButtonColor() const { return close_button_color_; }
    void SetCloseButtonColor(TColor value);
    TColor CloseButtonHoverColor() const { return close_button_hover_color_; }
    void SetCloseButtonHoverColor(TColor value) { close_button_hover_color_ = value; }
    const ui::TBitmap& CloseMinGlyph() const { return *close_min_glyph_; }
    void SetCloseMinGlyph(const ui::TBitmap& value);
    const ui::TBitmap& CloseMaxGlyph() const { return *close_max_glyph_; }
    void SetCloseMaxGlyph(const ui::TBitmap& value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    // Changes made to the font itself notify as well.
    ui::TFont& Font() { return *font_; }
    const ui::TFont& Font() const { return *font_; }
    void SetFont(const ui::TFont& value);
    TGradientDirection GradientDirection() const { return gradient_direction_; }
    void SetGradientDirection(TGradientDirection value);
    int Height() const { return height_; }
    void SetHeight(int value);
    // Stores the height without telling anyone; for writers that notify once at the end.
    void StoreHeight(int value) { height_ = value; }
    int Indent() const { return indent_; }
    void SetIndent(int value);
    int TopIndent() const { return top_indent_; }
    void SetTopIndent(int value);
    const ui::TBitmap& MaxGlyph() const { return *max_glyph_; }
    void SetMaxGlyph(const ui::TBitmap& value);
    const ui::TBitmap& MinGlyph() const { return *min_glyph_; }
    void SetMinGlyph(const ui::TBitmap& value);
    bool MinMaxButton() const { return min_max_button_; }
    void SetMinMaxButton(bool value);
    TColor MinMaxButtonColor() const { return min_max_button_color_; }
    void SetMinMaxButtonColor(TColor value);
    TColor MinMaxButtonHoverColor() const { return min_max_button_hover_color_; }
    void SetMinMaxButtonHoverColor(TColor value) { min_max_button_hover_color_ = value; }
    bool MinMaxCaption() const { return min_max_caption_; }
    void SetMinMaxCaption(bool value) { min_max_caption_ = value; }
    TCaptionPosition Position() const { return position_; }
    void SetPosition(TCaptionPosition value);
    int ShadeLight() const { return shade_light_; }
    // Values below kMinShadeLight store kMinShadeLight.
    void SetShadeLight(int value);
    std::uint8_t ShadeGrain() const { return shade_grain_; }
    void SetShadeGrain(std::uint8_t value);
    TShadeType ShadeType() const { return shade_type_; }
    void SetShadeType(TShadeType value);
    TCaptionShape Shape() const { return shape_; }
    void SetShape(TCaptionShape value);
    // Markup.
    const std::string& Text() const { return text_; }
    void SetText(const std::string& value);
    bool Visible() const { return visible_; }
    // Always stores and notifies, also for the current value.
    void SetVisible(bool value);

    ui::TNotifyEvent OnChange;
    ui::TNotifyEvent OnStateChange;
    ui::TNotifyEvent OnShadeChange;
    ui::TNotifyEvent OnPositionChange;
    ui::TNotifyEvent OnLayoutChange;

private:
    void Changed();
    void LayoutChanged();
    void ShadeChanged();

    std::unique_ptr<ui::TBitmap> background_;
    TCaptionButtonPosition button_position_ = TCaptionButtonPosition::cbpRight;
    TColor color_ = ui::clHighlight;
    TColor color_to_ = ui::clNone;
    TColor close_color_ = ui::clBtnFace;
    bool close_button_ = false;
    TColor close_button_color_ = ui::clWhite;
    TColor close_button_hover_color_ = ui::clNone;
    std::unique_ptr<ui::TBitmap> close_min_glyph_;
    std::unique_ptr<ui::TBitmap> close_max_glyph_;
    bool flat_ = false;
    std::unique_ptr<ui::TFont> font_;
    TGradientDirection gradient_direction_ = TGradientDirection::gdHorizontal;
    int height_ = 20;
    int indent_ = 0;
    int top_indent_ = 0;
    std::unique_ptr<ui::TBitmap> max_glyph_;
    std::unique_ptr<ui::TBitmap> min_glyph_;
    bool min_max_button_ = false;
    TColor min_max_button_color_ = ui::clWhite;
    TColor min_max_button_hover_color_ = ui::clNone;
    bool min_max_caption_ = false;
    TCaptionPosition position_ = TCaptionPosition::cpTop;
    int shade_light_ = kMinShadeLight;
    std::uint8_t shade_grain_ = 32;
    TShadeType shade_type_ = TShadeType::stNormal;
    TCaptionShape shape_ = TCaptionShape::csRectangle;
    std::string text_;
    bool visible_ = false;
};

}  // namespace panel
