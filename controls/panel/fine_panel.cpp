#include "controls/panel/fine_panel.h"

#include <algorithm>

#include "controls/panel/panel_group.h"
#include "controls/panel/panel_styler.h"
#include "controls/panel/windows_version.h"
#include "controls/pictures/picture_container.h"
#include "platform/theme/visual_styles.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/core/filer.h"
#include "platform/ui/core/numbers.h"

namespace panel {

TCustomFinePanel::TCustomFinePanel(ui::TComponent* owner)
    : ui::TCustomPanel(owner),
      background_(std::make_unique<TFineImage>()),
      caption_(std::make_unique<TPanelCaption>()),
      position_(std::make_unique<TPanelPosition>(this)),
      auto_size_(std::make_unique<TAutoSize>(this)),
      status_bar_(std::make_unique<TPanelStatusBar>()) {
    // The picture's size places it, and the body font measures the text.
    background_->OnChange = [this](ui::TPersistent*) { InvalidateLayout(); };
    Font().OnChange = [this](ui::TPersistent*) { InvalidateLayout(); };
    caption_->OnChange = [this](ui::TPersistent*) { CaptionChanged(); };
    caption_->OnStateChange = [this](ui::TPersistent*) { CollapsExpandDone(); };
    caption_->OnShadeChange = [this](ui::TPersistent*) { RenderCaptionShade(); };
    caption_->OnPositionChange = [this](ui::TPersistent*) { CaptionPositionChanged(); };
    caption_->OnLayoutChange = [this](ui::TPersistent*) { InvalidateLayout(); };
    SetDoubleBuffered(true);
    is_winxp_ = IsWinXPOrLater();
    auto_size_->OnResize = [this](ui::TPersistent*) { DoAutoSize(); };
    expanded_color_ = Color();
    status_bar_->OnChange = [this](ui::TPersistent*) { InvalidateLayout(); };
    size_grip_ = true;
}

TCustomFinePanel::~TCustomFinePanel() {
    // The window goes with the panel, and its position is saved while it is still whole.
    if (position_->Save()) ui::Guarded([this] { SavePosition(); });
    // The owned objects go first, in the order they were made; none of them may call back.
    Font().OnChange = nullptr;
    background_->OnChange = nullptr;
    background_.reset();
    caption_->OnChange = caption_->OnStateChange = caption_->OnShadeChange = caption_->OnPositionChange =
        caption_->OnLayoutChange = nullptr;
    caption_.reset();
    position_.reset();
    auto_size_->OnResize = nullptr;
    auto_size_.reset();
    status_bar_->OnChange = nullptr;
    status_bar_.reset();
}

void TCustomFinePanel::DefineProperties(ui::TFiler& filer) {
    ui::TCustomPanel::DefineProperties(filer);
    filer.DefineIntegerProperty(
        "FullHeight", [this](std::int32_t value) { full_height_ = value; }, [this] { return full_height_; }, true);
}

std::string TCustomFinePanel::Version() const {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (!s.empty()) s += '.';
        s += std::to_string((kFinePanelVersion >> shift) & 0xFF);
    }
    return s;
}

bool TCustomFinePanel::Themed() const { return is_winxp_ && theme::CurrentVisualStyles().IsThemeActive(); }

void TCustomFinePanel::InvalidateLayout() {
    layout_valid_ = false;
    DropMarkupLayouts();
    Invalidate();
}

void TCustomFinePanel::FrameChanged() { InvalidateLayout(); }

void TCustomFinePanel::DropMarkupLayouts() {
    caption_markup_.Invalidate();
    body_markup_.Invalidate();
    status_markup_.Invalidate();
}

const PanelLayout& TCustomFinePanel::Layout() {
    // Whether a visual style is active and what the image list holds change without telling
    // the panel: the layout remembers what it read of them.
    if (layout_valid_ && layout_.outside != OutsideInputs(*this)) InvalidateLayout();
    if (!layout_valid_) {
        layout_ = ComputePanelLayout(*this, Canvas());
        layout_valid_ = true;
    }
    return layout_;
}

void TCustomFinePanel::CaptionChanged() {
    if (ControlCount() > 0) Realign();
    InvalidateLayout();
}

void TCustomFinePanel::CaptionPositionChanged() {
    DoAutoSize();
    RenderCaptionShade();
    InvalidateLayout();
}

// --- owned and referenced objects ------------------------------------------------------------

void TCustomFinePanel::SetBackground(const TFineImage& value) {
    background_->Assign(&value);
    InvalidateLayout();
}

void TCustomFinePanel::SetAutoSize(const TAutoSize* value) {
    if (Loading() || value == nullptr) return;
    auto_size_->Assign(value);
}

void TCustomFinePanel::Watch(ui::TComponent* previous, ui::TComponent* next) {
    if (previous != nullptr && previous != next) {
        const bool still_used =
            previous == images_ || previous == picture_container_ || previous == static_cast<ui::TComponent*>(styler_);
        if (!still_used) RemoveFreeNotification(previous);
    }
    if (next != nullptr) FreeNotification(next);
}

void TCustomFinePanel::SetImages(ui::TImageList* value) {
    ui::TComponent* previous = images_;
    images_ = value;
    Watch(previous, value);
    InvalidateLayout();
}

void TCustomFinePanel::SetPictureContainer(TPictureContainer* value) {
    ui::TComponent* previous = picture_container_;
    picture_container_ = value;
    Watch(previous, value);
    InvalidateLayout();
}

void TCustomFinePanel::SetStyler(TFinePanelStyler* value) {
    ui::TComponent* previous = styler_;
    styler_ = value;
    Watch(previous, value);
    if (!Loading() && styler_ != nullptr) ApplySettings(styler_->Settings());
}

void TCustomFinePanel::Notification(ui::TComponent* component, ui::TOperation operation) {
    if (operation == ui::TOperation::opRemove && component != nullptr) {
        if (component == images_) images_ = nullptr;
        if (component == picture_container_) picture_container_ = nullptr;
        if (component == static_cast<ui::TComponent*>(styler_)) styler_ = nullptr;
        // What was drawn from them is out of date too.
        InvalidateLayout();
    }
    ui::TCustomPanel::Notification(component, operation);
}

// --- properties ------------------------------------------------------------------------------

void TCustomFinePanel::SetText(const std::string& value) {
    text_ = value;
    InvalidateLayout();
    DoAutoSize();
}

void TCustomFinePanel::StoreCollaps(bool value) {
    if (collaps_ == value) return;
    collaps_ = value;
    InvalidateLayout();
}

// A new size runs the panel's resize event, which may free it: a watch tells whether the panel
// is still there to be read afterwards.

void TCustomFinePanel::SetHeight(int value) {
    const TControlWatchList alive(this);
    ui::TCustomPanel::SetHeight(value);
    if (!alive.Contains(this)) return;
    if (!collaps_ && !collapsing_ && caption_->Position() == TCaptionPosition::cpTop) full_height_ = value;
}

void TCustomFinePanel::SetWidth(int value) {
    const TControlWatchList alive(this);
    ui::TCustomPanel::SetWidth(value);
    if (!alive.Contains(this)) return;
    if (!collaps_ && !collapsing_ && caption_->Position() == TCaptionPosition::cpLeft) full_height_ = value;
}

void TCustomFinePanel::SetCloseButtonHot(bool value) {
    if (ui::Store(close_hot_, value)) Invalidate();
}

void TCustomFinePanel::SetMinMaxButtonHot(bool value) {
    if (ui::Store(min_max_hot_, value)) Invalidate();
}

void TCustomFinePanel::SetBodyAnchorIndex(int value) {
    if (ui::Store(body_anchor_, value)) Invalidate();
}

void TCustomFinePanel::SetCaptionAnchorIndex(int value) {
    if (ui::Store(caption_anchor_, value)) Invalidate();
}

// --- lifecycle -------------------------------------------------------------------------------

void TCustomFinePanel::Loaded() {
    ui::TCustomPanel::Loaded();
    if (position_->Save()) LoadPosition();
    pointer_.size_move_origin = ClientToScreen(ui::TPoint{0, 0});
    pointer_.size_move_width = Width();
    pointer_.size_move_height = Height();
    pointer_.restore_cursor = Cursor();
    expanded_color_ = Color();
    if (styler_ != nullptr) ApplySettings(styler_->Settings());
    RenderCaptionShade();
    // Streaming fills some parts without telling (a background's stored data).
    InvalidateLayout();
}

void TCustomFinePanel::SetBounds(int left, int top, int width, int height) {
    const TControlWatchList alive(this);
    ui::TCustomPanel::SetBounds(left, top, width, height);
    if (!alive.Contains(this)) return;
    // A designer's move has no move/size loop to end: the group hears of it here.
    if (Designing()) NotifyGroup();
    if (Width() != last_width_ || Height() != last_height_) {
        for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
        InvalidateLayout();
    }
    last_width_ = Width();
    last_height_ = Height();
}

void TCustomFinePanel::SetParent(ui::TWinControl* parent) {
    const bool moved = parent != Parent();
    ui::TCustomPanel::SetParent(parent);
    if (moved && parent != nullptr) CreateWnd();
}

void TCustomFinePanel::CreateWnd() {
    if (!Designing()) return;
    const auto* group = dynamic_cast<const TFinePanelGroup*>(Parent());
    if (group == nullptr) return;
    const int h = group->HorzPadding();
    const int v = group->VertPadding();
    if (group->GroupStyle() == TGroupStyle::gsVertical) {
        SetBounds(h, std::max(Top(), v), group->Width() - 2 * h, Height());
    } else {
        SetBounds(std::max(Left(), h), v, Width(), group->Height() - 2 * v);
    }
}

void TCustomFinePanel::Resize() {
    InvalidateLayout();
    // The shade is as wide as a caption on top and as high as a caption on the left.
    const bool on_top = caption_->Position() == TCaptionPosition::cpTop;
    if ((on_top && shade_.Width() != Width()) || (!on_top && shade_.Height() != Height())) RenderCaptionShade();
    if (!owner_double_buffered_) Repaint();
    const TControlWatchList alive(this);
    ui::TCustomPanel::Resize();
    if (!alive.Contains(this)) return;
    DoAutoSize();
}

void TCustomFinePanel::AlignControls(ui::TRect& rect) {
    const bool on_top = caption_->Position() == TCaptionPosition::cpTop;
    if (caption_->Visible()) {
        int& edge = on_top ? rect.Top : rect.Left;
        if (edge >= 0 && edge < caption_->Height()) edge = caption_->Height() - 2;
    }
    if (status_bar_->Visible()) {
        if (on_top) {
            rect.Bottom = std::min(rect.Bottom, Height() - status_bar_->Height());
        } else {
            rect.Right = std::min(rect.Right, Width() - status_bar_->Height());
        }
    }
}

void TCustomFinePanel::ChangeScale(int m, int d) {
    const TControlWatchList alive(this);
    SetBounds(ui::MulDiv(Left(), m, d), ui::MulDiv(Top(), m, d), ui::MulDiv(Width(), m, d), ui::MulDiv(Height(), m, d));
    if (!alive.Contains(this)) return;
    Font().SetSize(ui::MulDiv(Font().Size(), m, d));
    caption_->SetHeight(ui::MulDiv(caption_->Height(), m, d));
    caption_->Font().SetSize(ui::MulDiv(caption_->Font().Size(), m, d));
}

// --- copying ---------------------------------------------------------------------------------

void TCustomFinePanel::ApplySettings(const TFinePanelSettings& s) {
    SetAnchorHint(s.AnchorHint());
    SetAutoHideChildren(s.AutoHideChildren());
    SetBevelInner(s.BevelInner());
    SetBevelOuter(s.BevelOuter());
    SetBevelWidth(s.BevelWidth());
    SetBorderColor(s.BorderColor());
    SetBorderShadow(s.BorderShadow());
    SetBorderStyle(s.BorderStyle());
    SetBorderWidth(s.BorderWidth());
    SetCanMove(s.CanMove());
    SetCanSize(s.CanSize());
    // The panel's own caption buttons stay: a styler sets looks, not what the panel offers.
    const bool min_max = caption_->MinMaxButton();
    const bool close = caption_->CloseButton();
    caption_->Assign(&s.Caption());
    caption_->SetMinMaxButton(min_max);
    caption_->SetCloseButton(close);
    SetCollapsColor(s.CollapsColor());
    SetCollapsDelay(s.CollapsDelay());
    SetCollapsSteps(s.CollapsSteps());
    SetColor(s.Color());
    SetColorTo(s.ColorTo());
    SetColorMirror(s.ColorMirror());
    SetColorMirrorTo(s.ColorMirrorTo());
    SetCursor(s.Cursor());
    Font().Assign(&s.Font());
    SetFixedTop(s.FixedTop());
    SetFixedLeft(s.FixedLeft());
    SetFixedHeight(s.FixedHeight());
    SetFixedWidth(s.FixedWidth());
    SetHover(s.Hover());
    SetHoverColor(s.HoverColor());
    SetHoverFontColor(s.HoverFontColor());
    SetIndent(s.Indent());
    SetShadowColor(s.ShadowColor());
    SetShadowOffset(s.ShadowOffset());
    SetShowMoveCursor(s.ShowMoveCursor());
    SetStatusBar(s.StatusBar());
    SetTextVAlign(s.TextVAlign());
    SetTopIndent(s.TopIndent());
    SetURLColor(s.URLColor());
    InvalidateLayout();
}

void TCustomFinePanel::Assign(const ui::TPersistent* source) {
    const TCustomFinePanel& p = ui::CheckedCast<TCustomFinePanel>(source);
    if (&p == this) return;
    SetAnchorHint(p.AnchorHint());
    SetAutoHideChildren(p.AutoHideChildren());
    SetBackground(p.Background());
    SetBackgroundPosition(p.BackgroundPosition());
    SetBevelInner(p.BevelInner());
    SetBevelOuter(p.BevelOuter());
    SetBevelWidth(p.BevelWidth());
    SetBorderColor(p.BorderColor());
    SetBorderShadow(p.BorderShadow());
    SetBorderStyle(p.BorderStyle());
    SetCanMove(p.CanMove());
    SetCanSize(p.CanSize());
    SetCaption(p.Caption());
    SetCollapsColor(p.CollapsColor());
    SetCollapsDelay(p.CollapsDelay());
    SetCollapsSteps(p.CollapsSteps());
    SetColor(p.Color());
    SetColorTo(p.ColorTo());
    SetColorMirror(p.ColorMirror());
    SetColorMirrorTo(p.ColorMirrorTo());
    SetCursor(p.Cursor());
    SetEnabled(p.Enabled());
    Font().Assign(&const_cast<TCustomFinePanel&>(p).Font());
    SetFixedTop(p.FixedTop());
    SetFixedLeft(p.FixedLeft());
    SetFixedHeight(p.FixedHeight());
    SetFixedWidth(p.FixedWidth());
    SetFreeOnClose(p.FreeOnClose());
    SetHeight(p.Height());
    SetHint(p.Hint());
    SetHover(p.Hover());
    SetHoverColor(p.HoverColor());
    SetHoverFontColor(p.HoverFontColor());
    SetImages(p.Images());
    SetPictureContainer(p.PictureContainer());
    SetPosition(p.Position());
    SetStatusBar(p.StatusBar());
    SetShadowColor(p.ShadowColor());
    SetShadowOffset(p.ShadowOffset());
    SetShowHint(p.ShowHint());
    SetShowMoveCursor(p.ShowMoveCursor());
    SetTabStop(p.TabStop());
    SetText(p.Text());
    SetTextVAlign(p.TextVAlign());
    SetURLColor(p.URLColor());
    SetVisible(p.Visible());
}

}  // namespace panel
