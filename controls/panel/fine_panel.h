// TCustomFinePanel: a panel with a caption bar (markup text, shades, shapes, close and
// collapse buttons), a markup body over a solid, gradient or two-part gradient background
// with an optional picture, an optional status bar and a size grip. TFinePanel is the panel
// the forms use. Painting reads one cached layout of the panel's rectangles (panel_layout.h),
// which the mouse handling reads too. Its markup texts are laid out, kept, hit-tested and painted
// by controls/markup/ and its pictures are those of controls/pictures/: the panel holds a kept
// layout per text and its cache of loaded pictures, so this header includes their public
// headers and nothing else of them. The parts the panel owns and hands out (background,
// caption, status bar, position, auto size) come with this header; the components it only
// refers to (image list, picture container, styler, group, a styler's settings) are declared
// here and included by whoever makes them.
//
// User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/markup/markup_renderer.h"
#include "controls/panel/control_watch_list.h"
#include "controls/panel/panel_auto_size.h"
#include "controls/panel/panel_caption.h"
#include "controls/panel/panel_input.h"
#include "controls/panel/panel_layout.h"
#include "controls/panel/panel_position.h"
#include "controls/panel/panel_status_bar.h"
#include "controls/panel/panel_types.h"
#include "controls/pictures/fine_image.h"
#include "controls/pictures/html_picture.h"
#include "platform/ui/forms/custom_panel.h"
#include "platform/ui/graphics/bitmap.h"

namespace ui {
class TImageList;
}  // namespace ui

namespace panel {

class TFinePanelStyler;    // panel_styler.h
class TFinePanelGroup;     // the group container the panels of a group sit in
class TFinePanelSettings;  // panel_settings.h
class TPictureContainer;   // controls/pictures/picture_container.h

enum class TBackGroundPosition : std::uint8_t {
    bpTopLeft,
    bpTopRight,
    bpBottomLeft,
    bpBottomRight,
    bpTiled,
    bpStretched,
    bpCenter
};

using TAnchorEvent = std::function<void(ui::TPersistent* sender, const std::string& anchor)>;
using TAnchorHintEvent = std::function<void(ui::TPersistent* sender, std::string& anchor)>;
using TPaintEvent = std::function<void(ui::TPersistent* sender, ui::TCanvas& canvas, const ui::TRect& rect)>;

// The version number the panel reports, most significant byte first.
inline constexpr std::uint32_t kFinePanelVersion = 0x02000100;

class TCustomFinePanel : public ui::TCustomPanel {
public:
    explicit TCustomFinePanel(ui::TComponent* owner);
    ~TCustomFinePanel() override;
    std::string ClassName() const override { return "TCustomFinePanel"; }
    // "FullHeight" is always written, so a panel saved collapsed, or with FullHeight 0, restores
    // exactly that extent.
    void DefineProperties(ui::TFiler& filer) override;

    // From another panel, property by property; raises EInvalidCast for any other source.
    void Assign(const ui::TPersistent* source) override;
    // The shared settings of a styler, without Collaps, the size, hints, Text and Position.
    // The panel keeps its own close and min/max buttons.
    virtual void ApplySettings(const TFinePanelSettings& settings);
    // Rebuilds the caption's pre-rendered background.
    virtual void RenderCaptionShade();
    // Called when the caption's visibility changes and when a collapse or expand ends; the
    // group container overrides it.
    virtual void CollapsExpandDone() {}

    void SetBounds(int left, int top, int width, int height) override;
    // The panel's window is made anew under each new parent: CreateWnd follows.
    void SetParent(ui::TWinControl* parent) override;
    // Height and Width also keep FullHeight while the panel is expanded, not collapsing and
    // the caption lies along that side.
    void SetHeight(int value);
    void SetWidth(int value);

    // "2.0.1.0"; setting it does nothing.
    std::string Version() const;
    void SetVersion(const std::string&) {}

    // --- owned settings objects ---
    TFineImage& Background() { return *background_; }
    const TFineImage& Background() const { return *background_; }
    void SetBackground(const TFineImage& value);
    TPanelCaption& Caption() { return *caption_; }
    const TPanelCaption& Caption() const { return *caption_; }
    void SetCaption(const TPanelCaption& value) { caption_->Assign(&value); }
    TPanelPosition& Position() { return *position_; }
    const TPanelPosition& Position() const { return *position_; }
    void SetPosition(const TPanelPosition& value) { position_->Assign(&value); }
    TAutoSize& AutoSize() { return *auto_size_; }
    const TAutoSize& AutoSize() const { return *auto_size_; }
    // Ignored while loading and for null.
    void SetAutoSize(const TAutoSize* value);
    TPanelStatusBar& StatusBar() { return *status_bar_; }
    const TPanelStatusBar& StatusBar() const { return *status_bar_; }
    void SetStatusBar(const TPanelStatusBar& value) { status_bar_->Assign(&value); }
    THTMLPictureCache& PictureCache() { return picture_cache_; }

    // --- referenced components: cleared when they are freed ---
    ui::TImageList* Images() const { return images_; }
    void SetImages(ui::TImageList* value);
    TPictureContainer* PictureContainer() const { return picture_container_; }
    void SetPictureContainer(TPictureContainer* value);
    TFinePanelStyler* Styler() const { return styler_; }
    // Stores; outside loading, a styler applies its settings at once.
    virtual void SetStyler(TFinePanelStyler* value);

    // --- properties ---
    const std::string& Text() const { return text_; }
    void SetText(const std::string& value);
    TBackGroundPosition BackgroundPosition() const { return background_position_; }
    void SetBackgroundPosition(TBackGroundPosition value) { Set(background_position_, value); }
    ui::TColor URLColor() const { return url_color_; }
    void SetURLColor(ui::TColor value) { Set(url_color_, value); }
    bool Collaps() const { return collaps_; }
    // The state itself; the animated collapse and expand build on it.
    void StoreCollaps(bool value);
    int FullHeight() const { return full_height_; }
    void SetFullHeight(int value) { full_height_ = value; }
    ui::TColor ExpandedColor() const { return expanded_color_; }
    void SetExpandedColor(ui::TColor value) { expanded_color_ = value; }
    bool AnchorHint() const { return anchor_hint_; }
    void SetAnchorHint(bool value) { anchor_hint_ = value; }
    bool Hover() const { return hover_; }
    void SetHover(bool value) { hover_ = value; }
    ui::TColor HoverColor() const { return hover_color_; }
    void SetHoverColor(ui::TColor value) { hover_color_ = value; }
    ui::TColor HoverFontColor() const { return hover_font_color_; }
    void SetHoverFontColor(ui::TColor value) { hover_font_color_ = value; }
    int ShadowOffset() const { return shadow_offset_; }
    void SetShadowOffset(int value) { Set(shadow_offset_, value); }
    ui::TColor ShadowColor() const { return shadow_color_; }
    void SetShadowColor(ui::TColor value) { Set(shadow_color_, value); }
    bool CanSize() const { return can_size_; }
    void SetCanSize(bool value) { Set(can_size_, value); }
    bool CanMove() const { return can_move_; }
    void SetCanMove(bool value) { can_move_ = value; }
    bool SizeGrip() const { return size_grip_; }
    TTextVAlignment TextVAlign() const { return text_valign_; }
    void SetTextVAlign(TTextVAlignment value) { Set(text_valign_, value); }
    bool FixedHeight() const { return fixed_height_; }
    void SetFixedHeight(bool value) { fixed_height_ = value; }
    bool FixedLeft() const { return fixed_left_; }
    void SetFixedLeft(bool value) { fixed_left_ = value; }
    bool FixedWidth() const { return fixed_width_; }
    void SetFixedWidth(bool value) { fixed_width_ = value; }
    bool FixedTop() const { return fixed_top_; }
    void SetFixedTop(bool value) { fixed_top_ = value; }
    bool ShowMoveCursor() const { return show_move_cursor_; }
    void SetShowMoveCursor(bool value) { show_move_cursor_ = value; }
    bool FreeOnClose() const { return free_on_close_; }
    void SetFreeOnClose(bool value) { free_on_close_ = value; }
    int CollapsDelay() const { return collaps_delay_; }
    void SetCollapsDelay(int value) { collaps_delay_ = value; }
    int CollapsSteps() const { return collaps_steps_; }
    void SetCollapsSteps(int value) { collaps_steps_ = value; }
    ui::TColor CollapsColor() const { return collaps_color_; }
    void SetCollapsColor(ui::TColor value) { collaps_color_ = value; }
    bool AutoHideChildren() const { return auto_hide_children_; }
    void SetAutoHideChildren(bool value) { auto_hide_children_ = value; }
    ui::TColor ColorTo() const { return color_to_; }
    void SetColorTo(ui::TColor value) { SetWhenDifferent(color_to_, value); }
    ui::TColor ColorMirror() const { return color_mirror_; }
    void SetColorMirror(ui::TColor value) { SetWhenDifferent(color_mirror_, value); }
    ui::TColor ColorMirrorTo() const { return color_mirror_to_; }
    void SetColorMirrorTo(ui::TColor value) { SetWhenDifferent(color_mirror_to_, value); }
    ui::TColor BorderColor() const { return border_color_; }
    void SetBorderColor(ui::TColor value) { Set(border_color_, value); }
    bool Buffered() const { return buffered_; }
    void SetBuffered(bool value) { buffered_ = value; }
    bool BorderShadow() const { return border_shadow_; }
    void SetBorderShadow(bool value) { Set(border_shadow_, value); }
    int Indent() const { return indent_; }
    void SetIndent(int value) { Set(indent_, value); }
    int TopIndent() const { return top_indent_; }
    void SetTopIndent(int value) { Set(top_indent_, value); }
    int LineSpacing() const { return line_spacing_; }
    void SetLineSpacing(int value) { Set(line_spacing_, value); }
    bool Ellipsis() const { return ellipsis_; }
    void SetEllipsis(bool value) { Set(ellipsis_, value); }
    TGradientDirection GradientDirection() const { return gradient_direction_; }
    void SetGradientDirection(TGradientDirection value) { Set(gradient_direction_, value); }
    // Set by the owning window when it double-buffers all its controls: the panel then does
    // not paint at once on a resize.
    bool OwnerDoubleBuffered() const { return owner_double_buffered_; }
    void SetOwnerDoubleBuffered(bool value) { owner_double_buffered_ = value; }
    bool Collapsing() const { return collapsing_; }
    void SetCollapsing(bool value) { collapsing_ = value; }
    // Whether the system is of the generation with visual styles (set at creation).
    bool IsWinXP() const { return is_winxp_; }
    // The caption is drawn through the visual styles: the system has them and one is active.
    bool Themed() const;

    // --- mouse state the painting shows ---
    bool CloseButtonHot() const { return close_hot_; }
    void SetCloseButtonHot(bool value);
    bool MinMaxButtonHot() const { return min_max_hot_; }
    void SetMinMaxButtonHot(bool value);
    // The hovered anchor numbers passed to the renderer (-1 for none).
    int BodyAnchorIndex() const { return body_anchor_; }
    void SetBodyAnchorIndex(int value);
    int CaptionAnchorIndex() const { return caption_anchor_; }
    void SetCaptionAnchorIndex(int value);

    // The rectangles of the panel's parts, shared by painting and hit-testing: laid out when
    // first asked for after a change (InvalidateLayout) and kept until the next one.
    const PanelLayout& Layout();
    // The pre-rendered caption background.
    const ui::TBitmap& CaptionShade() const { return shade_; }

    TAnchorEvent OnAnchorClick;
    TAnchorEvent OnAnchorEnter;
    TAnchorEvent OnAnchorExit;
    TAnchorHintEvent OnAnchorHint;
    ui::TNotifyEvent OnClose;
    ui::TNotifyEvent OnMinimize;
    ui::TNotifyEvent OnMaximize;
    ui::TNotifyEvent OnCaptionClick;
    ui::TNotifyEvent OnCaptionDBlClick;
    ui::TNotifyEvent OnEndMoveSize;
    ui::TNotifyEvent OnEndCollapsExpand;
    ui::TNotifyEvent OnMouseEnter;
    ui::TNotifyEvent OnMouseLeave;
    TPaintEvent OnPaint;

    // --- input, collapsing and the saved position (panel_input.cpp) ---
    // Collapses or expands, in CollapsSteps steps; a change while one is under way only fires
    // OnMinimize or OnMaximize.
    void SetCollaps(bool value);
    // The anchor under (x, y), empty for none, with its rectangle; notes its number as the body
    // or caption anchor.
    std::string GetAnchorAt(int x, int y, ui::TRect& anchor_rect);
    // Writes or reads Top, Left, Height, FullHeight, Width and Collaps under Position's key and
    // section; nothing without both.
    void SavePosition();
    void LoadPosition();
    // The group the panel sits in, if any, arranges its panels again.
    void NotifyGroup();
    const PanelPointerState& PointerState() const { return pointer_; }

protected:
    void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
    void MouseMove(ui::TShiftState shift, int x, int y) override;
    void MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
    void DblClick() override;
    void CMMouseEnter() override;
    void CMMouseLeave() override;
    void CMHintShowAt(std::string& hint, int x, int y, ui::TPoint& screen_pos) override;
    int NCHitTest(ui::TPoint screen_pos) override;
    void WMSetCursor(int hit_code) override;
    void WMEnterSizeMove() override;
    void WMMoving(ui::TRect& proposed) override;
    void WMSizing(int edge, ui::TRect& proposed) override;
    void WMExitSizeMove() override;
    // Shows the children that were not hidden before the panel collapsed, or hides them all.
    void ShowChildren(bool show);
    void Loaded() override;
    void Notification(ui::TComponent* component, ui::TOperation operation) override;
    void Paint() override;
    void Resize() override;
    void AlignControls(ui::TRect& rect) override;
    // The panel's window was made under its parent. In a designer, a panel put into a panel
    // group is fitted to the group across its stacking direction, less the group's padding.
    virtual void CreateWnd();
    // Scales the caption height and the caption font size by m / d after the inherited scaling.
    virtual void ChangeScale(int m, int d);
    // Every change that may move a part of the panel comes here: the layout is dropped and the
    // panel repainted; the next paint or hit test lays it out again.
    void InvalidateLayout();
    // The bevels or the border changed.
    void FrameChanged() override;
    // Sizes the panel to its text when AutoSize asks for it.
    void DoAutoSize();

private:
    template <typename T>
    void Set(T& field, const T& value) {
        field = value;
        InvalidateLayout();
    }
    template <typename T>
    void SetWhenDifferent(T& field, const T& value) {
        if (ui::Store(field, value)) InvalidateLayout();
    }
    void CaptionChanged();
    void CaptionPositionChanged();
    void ReferenceFreed(ui::TComponent* component);
    void PaintPanel(ui::TCanvas& canvas);
    void PaintBody(ui::TCanvas& canvas, const PanelLayout& layout);
    void PaintCaption(ui::TCanvas& canvas, const PanelLayout& layout);
    void PaintCaptionBar(ui::TCanvas& canvas, ui::TRect rect);
    void PaintCaptionButtons(ui::TCanvas& canvas, const PanelLayout& layout);
    void PaintStatusBar(ui::TCanvas& canvas, const PanelLayout& layout);
    void PaintSizeGrip(ui::TCanvas& canvas, const PanelLayout& layout);
    // What the panel's markup texts are laid out from and painted with.
    MarkupLayoutInputs MarkupInputs(const std::string& text, const ui::TRect& rect, bool word_wrap);
    MarkupPaintInputs MarkupPaint(int hover_anchor) const;
    // The kept markup layouts are dropped: the next paint or hit test lays the texts out again.
    void DropMarkupLayouts();
    void Watch(ui::TComponent* previous, ui::TComponent* next);

    std::string text_;
    std::unique_ptr<TFineImage> background_;
    TBackGroundPosition background_position_ = TBackGroundPosition::bpTopLeft;
    std::unique_ptr<TPanelCaption> caption_;
    ui::TImageList* images_ = nullptr;
    ui::TColor url_color_ = ui::clBlue;
    ui::TColor expanded_color_ = ui::clBtnFace;
    bool collaps_ = false;
    int full_height_ = 0;
    int body_anchor_ = -1;
    int caption_anchor_ = -1;
    bool anchor_hint_ = false;
    bool hover_ = false;
    ui::TColor hover_color_ = ui::clNone;
    ui::TColor hover_font_color_ = ui::clNone;
    int shadow_offset_ = 2;
    ui::TColor shadow_color_ = ui::clGray;
    bool can_size_ = false;
    bool can_move_ = false;
    bool size_grip_ = false;
    TTextVAlignment text_valign_ = TTextVAlignment::tvaTop;
    std::unique_ptr<TPanelPosition> position_;
    bool fixed_height_ = false;
    bool fixed_left_ = false;
    bool fixed_width_ = false;
    bool fixed_top_ = false;
    TPictureContainer* picture_container_ = nullptr;
    THTMLPictureCache picture_cache_;
    bool show_move_cursor_ = false;
    ui::TBitmap shade_;
    bool is_winxp_ = false;
    bool free_on_close_ = false;
    bool collapsing_ = false;
    int collaps_delay_ = 20;
    int collaps_steps_ = 0;
    ui::TColor collaps_color_ = ui::clGray;
    std::unique_ptr<TAutoSize> auto_size_;
    bool auto_hide_children_ = true;
    ui::TColor color_to_ = ui::clNone;
    ui::TColor border_color_ = ui::clBlack;
    bool buffered_ = true;
    bool border_shadow_ = false;
    int indent_ = 0;
    int top_indent_ = 0;
    int line_spacing_ = 0;
    bool ellipsis_ = false;
    TFinePanelStyler* styler_ = nullptr;
    int last_width_ = -1;
    int last_height_ = -1;
    TGradientDirection gradient_direction_ = TGradientDirection::gdVertical;
    bool close_hot_ = false;
    bool min_max_hot_ = false;
    std::unique_ptr<TPanelStatusBar> status_bar_;
    ui::TColor color_mirror_ = ui::clNone;
    ui::TColor color_mirror_to_ = ui::clNone;
    bool owner_double_buffered_ = false;
    PanelLayout layout_;
    bool layout_valid_ = false;
    // The off-screen picture of a buffered paint, kept while the panel's size holds.
    ui::TBitmap buffer_;
    // The laid-out caption, body and status bar texts, shared by painting, hit-testing and
    // measuring: hovering repaints from them without laying a text out again.
    MarkupLayoutCache caption_markup_;
    MarkupLayoutCache body_markup_;
    MarkupLayoutCache status_markup_;

    // Input state (panel_input.cpp).
    void InvalidateAnchor(const ui::TRect& rect);
    void DropBodyAnchor();
    void DropCaptionAnchor();
    // False when the panel is gone after the anchor's event.
    bool AnchorEntered(const std::string& anchor, const ui::TRect& rect);
    PanelPointerState pointer_;
    TControlWatchList hidden_children_;  // hidden already when the panel collapsed
};

class TFinePanel : public TCustomFinePanel {
public:
    explicit TFinePanel(ui::TComponent* owner) : TCustomFinePanel(owner) {}
    std::string ClassName() const override { return "TFinePanel"; }
};

}  // namespace panel
