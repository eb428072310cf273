// The appearance objects a menu styler owns: plain settings with their defaults, copying, index
// checks and telling the menu that something changed (StyleChanged; with no menu nothing
// happens). How they are painted is menu_painting.h.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/controls/controls.h"
#include "platform/ui/core/persistent.h"
#include "platform/ui/forms/menus.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/colors.h"
#include "platform/ui/graphics/graphics.h"
#include "platform/ui/graphics/picture.h"

namespace menus {

enum class TGradientDirection : std::uint8_t { gdVertical, gdHorizontal };
enum class TGradientType : std::uint8_t { gtLeft, gtRight, gtBoth };
enum class TSideBarVisibleIn : std::uint8_t { viFirstVisible, viFirstLevel, viAnyLevel };
enum class TDirection : std::uint8_t { dDownToUp, dUpToDown };
enum class TBackgroundPosition : std::uint8_t {
    bpTopLeft,
    bpTopRight,
    bpBottomLeft,
    bpBottomRight,
    bpTopCenter,
    bpBottomCenter,
    bpTiled,
    bpStretched,
    bpCenter,
    bpXY
};

// Copies a font's values into a new one (the screen's menu font, for the defaults).
void CopyFont(ui::TFont& target, const ui::TFont& source);

class TGradientBar : public ui::TPersistent {
public:
    explicit TGradientBar(ui::TMainMenu* menu);
    std::string ClassName() const override { return "TGradientBar"; }
    void Assign(const ui::TPersistent* source) override;

    // Index 0 is Color, 1 ColorTo; any other raises EInvalidPropertyIndex. Nobody is told.
    ui::TColor GetColor(int index) const;
    void SetColor(int index, ui::TColor value);
    ui::TColor Color() const { return colors_[0]; }
    void SetColor(ui::TColor value) { SetColor(0, value); }
    ui::TColor ColorTo() const { return colors_[1]; }
    void SetColorTo(ui::TColor value) { SetColor(1, value); }
    TGradientDirection GradientDirection() const { return direction_; }
    void SetGradientDirection(TGradientDirection value) { direction_ = value; }
    ui::TMainMenu* Menu() const { return menu_; }
    void SetMenu(ui::TMainMenu* menu) { menu_ = menu; }

protected:
    void Changed(bool rebuild) const;

private:
    TGradientDirection direction_ = TGradientDirection::gdVertical;
    ui::TMainMenu* menu_;
    std::array<ui::TColor, 2> colors_{0xD8BDAF, ui::clNone};
};

class TSeparator : public TGradientBar {
public:
    explicit TSeparator(ui::TMainMenu* menu);
    std::string ClassName() const override { return "TSeparator"; }
    void Assign(const ui::TPersistent* source) override;

    TGradientType GradientType() const { return gradient_type_; }
    void SetGradientType(TGradientType v) { gradient_type_ = v; }
    int GradientWidth() const { return gradient_width_; }
    void SetGradientWidth(int v) { gradient_width_ = v; }
    int Margin() const { return margin_; }
    void SetMargin(int v) { margin_ = v; }
    int Width() const { return width_; }
    void SetWidth(int v) { width_ = v; }

private:
    TGradientType gradient_type_ = TGradientType::gtBoth;
    int gradient_width_ = 0;
    int margin_ = 2;
    int width_ = 1;
};

class TBackground : public TGradientBar {
public:
    explicit TBackground(ui::TMainMenu* menu);
    ~TBackground() override;
    std::string ClassName() const override { return "TBackground"; }
    void Assign(const ui::TPersistent* source) override;

    // Created on first access; a bitmap in it is made transparent (automatic colour).
    ui::TPicture& Image();
    // Copies `picture` into the owned one; null clears and frees it. Then StyleChanged.
    void SetImage(const ui::TPicture* picture);
    // Whether a picture with a non-empty graphic is held (without creating one).
    bool HasImage() const;
    const ui::TPicture* ImageOrNull() const { return image_.get(); }
    // Counts the changes of the picture (set, replaced, cleared or changed in place).
    unsigned ImageRevision() const { return image_revision_; }
    int OffsetX() const { return offset_x_; }
    void SetOffsetX(int v) { offset_x_ = v; }
    int OffsetY() const { return offset_y_; }
    void SetOffsetY(int v) { offset_y_ = v; }
    TBackgroundPosition Position() const { return position_; }
    void SetPosition(TBackgroundPosition v) { position_ = v; }
    int MarginX() const { return margin_x_; }
    void SetMarginX(int v) { margin_x_ = v; }
    int MarginY() const { return margin_y_; }
    void SetMarginY(int v) { margin_y_ = v; }
    // The off-screen picture of the painting, created on first use.
    ui::TBitmap& Buffer();

private:
    std::unique_ptr<ui::TPicture> image_;
    unsigned image_revision_ = 0;
    int offset_x_ = 0;
    int offset_y_ = 0;
    TBackgroundPosition position_ = TBackgroundPosition::bpCenter;
    int margin_x_ = 0;
    int margin_y_ = 0;
    std::unique_ptr<ui::TBitmap> buffer_;
};

// A check or radio mark's colours: an indexed pair (0 Color, 1 ColorTo), border and direction.
struct TMarkColors {
    std::array<ui::TColor, 2> colors;
    ui::TColor border;
    TGradientDirection direction = TGradientDirection::gdVertical;
};

// The check and radio mark colours the icon bar and the selected item share: indexed pairs
// (0 Color, 1 ColorTo) whose setters tell the menu (no rebuild), borders and directions.
class TCheckRadioColors {
public:
    TCheckRadioColors(ui::TColor fill, ui::TColor border)
        : radio_{{fill, ui::clNone}, border}, check_{{fill, ui::clNone}, border} {}
    ui::TColor GetCheckColor(int index) const;
    void SetCheckColor(int index, ui::TColor value);
    ui::TColor GetRadioColor(int index) const;
    void SetRadioColor(int index, ui::TColor value);
    ui::TColor CheckColor() const { return GetCheckColor(0); }
    ui::TColor CheckColorTo() const { return GetCheckColor(1); }
    ui::TColor RadioColor() const { return GetRadioColor(0); }
    ui::TColor RadioColorTo() const { return GetRadioColor(1); }
    ui::TColor CheckBorder() const { return check_.border; }
    void SetCheckBorder(ui::TColor v) { check_.border = v; }
    ui::TColor RadioBorder() const { return radio_.border; }
    void SetRadioBorder(ui::TColor v) { radio_.border = v; }
    TGradientDirection CheckGradientDirection() const { return check_.direction; }
    void SetCheckGradientDirection(TGradientDirection v) { check_.direction = v; }
    TGradientDirection RadioGradientDirection() const { return radio_.direction; }
    void SetRadioGradientDirection(TGradientDirection v) { radio_.direction = v; }

protected:
    ~TCheckRadioColors() = default;
    virtual void MarkChanged() = 0;
    TMarkColors radio_;
    TMarkColors check_;
};

class TIconBar : public TGradientBar, public TCheckRadioColors {
public:
    explicit TIconBar(ui::TMainMenu* menu);
    std::string ClassName() const override { return "TIconBar"; }
    void Assign(const ui::TPersistent* source) override;

    // At least 16; setting it rebuilds the menu.
    int Size() const { return size_; }
    void SetSize(int value);
    ui::TColor SeparatorColor() const { return separator_color_; }
    void SetSeparatorColor(ui::TColor v) { separator_color_ = v; }

protected:
    void MarkChanged() override { Changed(false); }

private:
    int size_ = 24;
    ui::TColor separator_color_ = ui::clNone;
};

class TSelectedItem : public TGradientBar, public TCheckRadioColors {
public:
    explicit TSelectedItem(ui::TMainMenu* menu);
    std::string ClassName() const override { return "TSelectedItem"; }
    void Assign(const ui::TPersistent* source) override;

    ui::TColor BorderColor() const { return border_color_; }
    void SetBorderColor(ui::TColor v) { border_color_ = v; }
    ui::TColor ColorMirror() const { return color_mirror_; }
    void SetColorMirror(ui::TColor v) { color_mirror_ = v; }
    ui::TColor ColorMirrorTo() const { return color_mirror_to_; }
    void SetColorMirrorTo(ui::TColor v) { color_mirror_to_ = v; }
    // Font, NotesFont and UseSystemFont rebuild the menu.
    const ui::TFont& Font() const { return font_; }
    void SetFont(const ui::TFont& font);
    const ui::TFont& NotesFont() const { return notes_font_; }
    void SetNotesFont(const ui::TFont& font);
    bool UseSystemFont() const { return use_system_font_; }
    void SetUseSystemFont(bool value);

protected:
    void MarkChanged() override { Changed(false); }

private:
    ui::TColor border_color_ = 0x6F4B4B;
    ui::TFont font_;
    bool use_system_font_ = true;
    ui::TColor color_mirror_ = ui::clNone;
    ui::TColor color_mirror_to_ = ui::clNone;
    ui::TFont notes_font_;
};

class TRootItem : public TGradientBar {
public:
    explicit TRootItem(ui::TMainMenu* menu);
    std::string ClassName() const override { return "TRootItem"; }
    void Assign(const ui::TPersistent* source) override;

    // Indexes 0-3: Color, ColorTo, ColorMirror, ColorMirrorTo of the selected and the hover look;
    // any other raises EInvalidPropertyIndex. The setters rebuild the menu.
    ui::TColor GetSelectedColor(int index) const;
    void SetSelectedColor(int index, ui::TColor value);
    ui::TColor GetHoverColor(int index) const;
    void SetHoverColor(int index, ui::TColor value);
    ui::TColor SelectedColor() const { return GetSelectedColor(0); }
    ui::TColor SelectedColorTo() const { return GetSelectedColor(1); }
    ui::TColor SelectedColorMirror() const { return GetSelectedColor(2); }
    ui::TColor SelectedColorMirrorTo() const { return GetSelectedColor(3); }
    ui::TColor HoverColor() const { return GetHoverColor(0); }
    ui::TColor HoverColorTo() const { return GetHoverColor(1); }
    ui::TColor HoverColorMirror() const { return GetHoverColor(2); }
    ui::TColor HoverColorMirrorTo() const { return GetHoverColor(3); }
    const ui::TFont& Font() const { return font_; }
    void SetFont(const ui::TFont& font);
    bool UseSystemFont() const { return use_system_font_; }
    void SetUseSystemFont(bool value);
    ui::TColor SelectedBorderColor() const { return selected_border_color_; }
    void SetSelectedBorderColor(ui::TColor v) { selected_border_color_ = v; }
    ui::TColor SelectedTextColor() const { return selected_text_color_; }
    void SetSelectedTextColor(ui::TColor v) { selected_text_color_ = v; }
    ui::TColor HoverTextColor() const { return hover_text_color_; }
    void SetHoverTextColor(ui::TColor v) { hover_text_color_ = v; }
    ui::TColor HoverBorderColor() const { return hover_border_color_; }
    void SetHoverBorderColor(ui::TColor v) { hover_border_color_ = v; }
    TGradientDirection HoverGradientDirection() const { return hover_direction_; }
    void SetHoverGradientDirection(TGradientDirection v) { hover_direction_ = v; }
    TGradientDirection SelectedGradientDirection() const { return selected_direction_; }
    void SetSelectedGradientDirection(TGradientDirection v) { selected_direction_ = v; }

private:
    ui::TFont font_;
    ui::TColor selected_border_color_ = 0x947C7C;
    ui::TColor selected_text_color_ = ui::clWindowText;
    bool use_system_font_ = true;
    ui::TColor hover_text_color_ = ui::clWindowText;
    ui::TColor hover_border_color_ = 0x6F4B4B;
    std::array<ui::TColor, 4> selected_{0xF2E8E8, 0xCDB8B9, ui::clNone, ui::clNone};
    std::array<ui::TColor, 4> hover_{0xCFF6FF, 0x9DD8FF, ui::clNone, ui::clNone};
    TGradientDirection hover_direction_ = TGradientDirection::gdVertical;
    TGradientDirection selected_direction_ = TGradientDirection::gdVertical;
};

class TBarCaption : public ui::TPersistent {
public:
    explicit TBarCaption(ui::TMainMenu* menu);
    std::string ClassName() const override { return "TBarCaption"; }
    void Assign(const ui::TPersistent* source) override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v) { caption_ = v; }
    // Copies and tells the caption's own menu (the side bar of a styler keeps none).
    const ui::TFont& Font() const { return font_; }
    void SetFont(const ui::TFont& font);
    int CaptionMargin() const { return caption_margin_; }
    void SetCaptionMargin(int v) { caption_margin_ = v; }
    TDirection Direction() const { return direction_; }
    void SetDirection(TDirection v) { direction_ = v; }
    ui::TColor ShadowColor() const { return shadow_color_; }
    void SetShadowColor(ui::TColor v) { shadow_color_ = v; }
    ui::TColor HighlightColor() const { return highlight_color_; }
    void SetHighlightColor(ui::TColor v) { highlight_color_ = v; }
    int Depth() const { return depth_; }
    void SetDepth(int v) { depth_ = v; }
    ui::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(ui::TAlignment v) { alignment_ = v; }

private:
    std::string caption_;
    ui::TFont font_;
    int caption_margin_ = 6;
    TDirection direction_ = TDirection::dDownToUp;
    ui::TColor shadow_color_ = ui::clNone;
    ui::TColor highlight_color_ = ui::clNone;
    int depth_ = 1;
    ui::TAlignment alignment_ = ui::TAlignment::taLeftJustify;
    ui::TMainMenu* caption_menu_;
};

class TSideBar : public TBarCaption {
public:
    explicit TSideBar(ui::TMainMenu* menu);
    std::string ClassName() const override { return "TSideBar"; }
    void Assign(const ui::TPersistent* source) override;

    // Rebuilds only a styled menu that already shows in a window.
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    TBackground& Background() { return *background_; }
    const TBackground& Background() const { return *background_; }
    void SetBackground(const TBackground& value);
    TBackground& Image() { return *image_; }
    const TBackground& Image() const { return *image_; }
    void SetImage(const TBackground& value);
    int SplitterWidth() const { return splitter_width_; }
    void SetSplitterWidth(int v) { splitter_width_ = v; }
    // 0: at the left of the drop-down, 1: at the right.
    std::uint8_t Side() const { return side_; }
    void SetSide(std::uint8_t v) { side_ = v; }
    int Size() const { return size_; }
    void SetSize(int v) { size_ = v; }
    int SplitterMargin() const { return splitter_margin_; }
    void SetSplitterMargin(int v) { splitter_margin_ = v; }
    int SplitterGradientWidth() const { return splitter_gradient_width_; }
    void SetSplitterGradientWidth(int v) { splitter_gradient_width_ = v; }
    TGradientType SplitterGradientType() const { return splitter_gradient_type_; }
    void SetSplitterGradientType(TGradientType v) { splitter_gradient_type_ = v; }
    ui::TColor BorderColor() const { return border_color_; }
    void SetBorderColor(ui::TColor v) { border_color_ = v; }
    ui::TColor SplitterColor() const { return splitter_color_; }
    void SetSplitterColor(ui::TColor v) { splitter_color_ = v; }
    ui::TColor SplitterColorTo() const { return splitter_color_to_; }
    void SetSplitterColorTo(ui::TColor v) { splitter_color_to_ = v; }
    TSideBarVisibleIn VisibleIn() const { return visible_in_; }
    void SetVisibleIn(TSideBarVisibleIn v) { visible_in_ = v; }
    ui::TMainMenu* Menu() const { return menu_; }
    void SetMenu(ui::TMainMenu* menu) { menu_ = menu; }

private:
    bool visible_ = false;
    std::unique_ptr<TBackground> background_;
    std::unique_ptr<TBackground> image_;
    int splitter_width_ = 1;
    std::uint8_t side_ = 0;
    int size_ = 24;
    int splitter_margin_ = 0;
    int splitter_gradient_width_ = 0;
    TGradientType splitter_gradient_type_ = TGradientType::gtBoth;
    ui::TColor border_color_ = 0xA19D9D;
    ui::TColor splitter_color_ = 0x808080;
    ui::TColor splitter_color_to_ = 0;  // black, although the published default is clNone
    TSideBarVisibleIn visible_in_ = TSideBarVisibleIn::viFirstVisible;
    ui::TMainMenu* menu_;
};

// The names of the program's bitmap resources of the three glyphs.
inline constexpr const char* kSubMenuGlyphResource = "FINESUBMENUITEM";
inline constexpr const char* kCheckGlyphResource = "FINECHECKITEM";
inline constexpr const char* kRadioGlyphResource = "FINERADIOITEM";

class TMenuGlyphs : public ui::TPersistent {
public:
    // Loads the three glyphs from the program's resources and makes them transparent.
    explicit TMenuGlyphs(ui::TMainMenu* menu);
    std::string ClassName() const override { return "TMenuGlyphs"; }
    void Assign(const ui::TPersistent* source) override;

    const ui::TBitmap& SubMenu() const { return sub_menu_; }
    void SetSubMenu(const ui::TBitmap& value);
    const ui::TBitmap& Check() const { return check_; }
    void SetCheck(const ui::TBitmap& value);
    const ui::TBitmap& Radio() const { return radio_; }
    void SetRadio(const ui::TBitmap& value);
    ui::TMainMenu* Menu() const { return menu_; }
    void SetMenu(ui::TMainMenu* menu) { menu_ = menu; }

private:
    void Store(ui::TBitmap& target, const ui::TBitmap& value);
    ui::TBitmap sub_menu_;
    ui::TBitmap check_;
    ui::TBitmap radio_;
    ui::TMainMenu* menu_;
};

class TButtonAppearance : public ui::TPersistent {
public:
    // `kernel_exports` tells whether the kernel library exports a function by that name; the
    // caption font is "Segoe UI" where the newer locale query exists, else "Tahoma".
    explicit TButtonAppearance(std::function<bool(const std::string&)> kernel_exports = nullptr);
    std::string ClassName() const override { return "TButtonAppearance"; }
    // Copies the colours and the direction from another button appearance; any other source
    // changes nothing.
    void Assign(const ui::TPersistent* source) override;

    ui::TNotifyEvent OnChange;

#define QBK_BUTTON_COLOR(Name, field)         \
    ui::TColor Name() const { return field; } \
    void Set##Name(ui::TColor v) {            \
        if (v == field) return;               \
        field = v;                            \
        Change();                             \
    }
    QBK_BUTTON_COLOR(HoverColor, hover_color_)
    QBK_BUTTON_COLOR(ColorTo, color_to_)
    QBK_BUTTON_COLOR(Color, color_)
    QBK_BUTTON_COLOR(HoverColorTo, hover_color_to_)
    QBK_BUTTON_COLOR(DownColorTo, down_color_to_)
    QBK_BUTTON_COLOR(DownColor, down_color_)
    QBK_BUTTON_COLOR(DownBorderColor, down_border_color_)
    QBK_BUTTON_COLOR(BorderColor, border_color_)
    QBK_BUTTON_COLOR(HoverBorderColor, hover_border_color_)
#undef QBK_BUTTON_COLOR
    TGradientDirection GradientDirection() const { return direction_; }
    void SetGradientDirection(TGradientDirection v);
    const ui::TFont& CaptionFont() const { return caption_font_; }
    void SetCaptionFont(const ui::TFont& font);
    bool UseSystemFont() const { return use_system_font_; }
    void SetUseSystemFont(bool value);

private:
    void Change();
    void SetCaptionFontName();
    std::function<bool(const std::string&)> kernel_exports_;
    ui::TColor hover_color_ = 0xD2BDB6;
    ui::TColor color_to_ = ui::clNone;
    ui::TColor color_ = ui::clNone;
    ui::TColor hover_color_to_ = ui::clNone;
    ui::TColor down_color_to_ = ui::clNone;
    ui::TColor down_color_ = 0xB59285;
    ui::TColor down_border_color_;
    ui::TColor border_color_ = ui::clNone;
    ui::TColor hover_border_color_;
    TGradientDirection direction_ = TGradientDirection::gdVertical;
    ui::TFont caption_font_;
    bool use_system_font_ = true;
};

}  // namespace menus
