// The interactive side of TCustomFinePanel: anchors under the mouse, the caption's buttons and
// clicks, moving by the caption and sizing at the edges through the platform's move/size loop,
// anchor hints, the animated collapse and expand, sizing to the text, and the saved position.
#include "controls/panel/panel_input.h"

#include <algorithm>
#include <memory>

#include "controls/markup/markup_renderer.h"
#include "controls/panel/control_watch_list.h"
#include "controls/panel/fine_panel.h"
#include "controls/panel/panel_group.h"
#include "platform/kernel/thread.h"
#include "platform/settings/ini_file.h"
#include "platform/ui/controls/application.h"
#include "platform/ui/controls/deferred_release.h"
#include "platform/ui/controls/screen.h"
#include "platform/ui/controls/services.h"
#include "platform/ui/controls/size_move.h"

namespace panel {
namespace {

bool CaptionOnLeft(const TCustomFinePanel& panel) { return panel.Caption().Position() == TCaptionPosition::cpLeft; }

bool InCaptionArea(const TCustomFinePanel& panel, int x, int y) {
    if (!panel.Caption().Visible()) return false;
    return CaptionOnLeft(panel) ? x < panel.Caption().Height() : y < panel.Caption().Height();
}

// The shell opens web and mail addresses; every other anchor is the program's own.
bool OpensWithShell(const std::string& anchor) {
    return anchor.find("://") != std::string::npos || anchor.find("mailto:") != std::string::npos;
}

std::unique_ptr<settings::TCustomIniFile> OpenPositionStore(const TPanelPosition& position) {
    if (position.Location() == TPanelPositionLocation::clInifile)
        return std::make_unique<settings::TIniFile>(position.Key());
    return std::make_unique<settings::TRegistryIniFile>(position.Key());
}

}  // namespace

ui::TRect CloseButtonRect(TCustomFinePanel& panel) { return panel.Layout().close_button_click; }

ui::TRect MinMaxButtonRect(TCustomFinePanel& panel) { return panel.Layout().min_max_button_click; }

// --- anchors ---------------------------------------------------------------------------------

std::string TCustomFinePanel::GetAnchorAt(int x, int y, ui::TRect& anchor_rect) {
    const PanelLayout& layout = Layout();
    ui::TCanvas& canvas = Canvas();
    MarkupHit hit;
    const bool in_caption = InCaptionArea(*this, x, y);
    if (in_caption) {
        // Only a caption on top holds text that can be hit.
        if (CaptionOnLeft(*this)) return {};
        canvas.SetFont(Caption().Font());
        // The inputs and rectangles the painting uses, so that what is hit is what is drawn.
        hit = caption_markup_.Get(canvas, MarkupInputs(Caption().Text(), layout.caption_text, false)).HitTest({x, y});
        caption_anchor_ = hit.anchor;
    } else {
        canvas.SetFont(Font());
        hit = body_markup_.Get(canvas, MarkupInputs(Text(), layout.text, !Ellipsis())).HitTest({x, y});
        body_anchor_ = hit.anchor;
    }
    if (!hit.hit) return {};
    anchor_rect = hit.hover_rect;
    return hit.value;
}

void TCustomFinePanel::InvalidateAnchor(const ui::TRect& rect) {
    if (DoubleBuffered()) {
        Invalidate();
    } else if (Hover()) {
        InvalidateRect(rect);
    }
}

void TCustomFinePanel::DropBodyAnchor() {
    if (body_anchor_ == -1) return;
    body_anchor_ = -1;
    pointer_.previous_body_anchor = -1;
    pointer_.body_anchor_rect = ui::InflateRect(pointer_.body_anchor_rect, 1);
    InvalidateAnchor(pointer_.body_anchor_rect);
}

void TCustomFinePanel::DropCaptionAnchor() {
    if (caption_anchor_ == -1) return;
    caption_anchor_ = -1;
    InvalidateAnchor(pointer_.caption_anchor_rect);
}

bool TCustomFinePanel::AnchorEntered(const std::string& anchor, const ui::TRect& rect) {
    if (Cursor() == pointer_.restore_cursor || anchor != pointer_.hovered_anchor) {
        if (AnchorHint()) ui::Application().CancelHint();
        SetCursor(ui::crHandPoint);
        if (OnAnchorEnter) {
            const TControlWatchList alive(this);
            OnAnchorEnter(this, anchor);
            if (!alive.Contains(this)) return false;
        }
        InvalidateAnchor(rect);
    }
    pointer_.hovered_anchor = anchor;
    return true;
}

// --- mouse -----------------------------------------------------------------------------------

// Every user handler may free the panel: where more follows one, a watch tells whether the panel
// is still there, and nothing of it is read when it is gone.

void TCustomFinePanel::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
    const TControlWatchList alive(this);
    ui::TCustomPanel::MouseDown(button, shift, x, y);
    if (!alive.Contains(this)) return;
    ui::TRect rect;
    const std::string anchor = GetAnchorAt(x, y, rect);
    if (anchor.empty()) return;
    if (OpensWithShell(anchor)) {
        // The address goes to the desktop's opener whole, never through a command line.
        ui::OpenUrl(anchor);
    } else if (OnAnchorClick) {
        OnAnchorClick(this, anchor);
    }
}

void TCustomFinePanel::MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
    // The mouse-up handler, the close handler and the collapse animation run other code (the
    // animation lets pending events run), and any of it may free this panel: the watch tells,
    // and nothing of the panel is read after that.
    const TControlWatchList alive(this);
    ui::TCustomPanel::MouseUp(button, shift, x, y);
    if (!alive.Contains(this) || Designing() || !Caption().Visible()) return;
    const ui::TPoint p{x, y};
    bool toggle_by_caption = Caption().MinMaxCaption();
    if (Caption().CloseButton() && CloseButtonRect(*this).Contains(p)) {
        SetVisible(false);
        if (OnClose) OnClose(this);
        if (!alive.Contains(this)) return;
        NotifyGroup();
        toggle_by_caption = false;
        if (FreeOnClose()) {
            // The mouse-up is still running on this panel: it leaves the screen, its parent and
            // its owner now and is freed once the event is over. A panel without an owner belongs
            // to the code that made it (by value or in its own holder), which frees it: freeing
            // it here would free it twice, so it is only hidden. Either way the click ends here.
            if (Owner() != nullptr) ui::ReleaseLater(std::unique_ptr<ui::TControl>(this));
            return;
        }
    }
    if (Caption().MinMaxButton() && MinMaxButtonRect(*this).Contains(p)) {
        toggle_by_caption = false;
        SetCollaps(!Collaps());
        if (!alive.Contains(this)) return;
    }
    if (Layout().caption_click.Contains(p)) {
        if (toggle_by_caption) SetCollaps(!Collaps());
        if (!alive.Contains(this)) return;
        if (OnCaptionClick) OnCaptionClick(this);
    }
}

void TCustomFinePanel::MouseMove(ui::TShiftState shift, int x, int y) {
    const TControlWatchList alive(this);
    ui::TCustomPanel::MouseMove(shift, x, y);
    if (!alive.Contains(this)) return;
    ui::TRect rect;
    const std::string anchor = GetAnchorAt(x, y, rect);
    pointer_.moving_by_caption = false;
    const ui::TPoint p{x, y};

    if (Caption().Visible() && !Designing()) {
        bool close_hot = close_hot_, min_max_hot = min_max_hot_;
        if (Caption().CloseButtonHoverColor() != ui::clNone)
            close_hot = Caption().CloseButton() && CloseButtonRect(*this).Contains(p);
        if (Caption().MinMaxButtonHoverColor() != ui::clNone)
            min_max_hot = Caption().MinMaxButton() && MinMaxButtonRect(*this).Contains(p);
        if (close_hot != close_hot_ || min_max_hot != min_max_hot_) {
            close_hot_ = close_hot;
            min_max_hot_ = min_max_hot;
            Invalidate();
        }
    }

    if (InCaptionArea(*this, x, y)) {
        DropBodyAnchor();
        if (!anchor.empty()) {
            if (anchor != pointer_.hovered_anchor || rect != pointer_.caption_anchor_rect || caption_anchor_ == -1) {
                if (!pointer_.hovered_anchor.empty()) InvalidateAnchor(pointer_.caption_anchor_rect);
                InvalidateAnchor(rect);
            }
            if (!AnchorEntered(anchor, rect)) return;
            pointer_.caption_anchor_rect = rect;
        } else if (Cursor() == ui::crHandPoint) {
            SetCursor(pointer_.restore_cursor);
            if (OnAnchorExit) OnAnchorExit(this, pointer_.hovered_anchor);
            if (!alive.Contains(this)) return;
            caption_anchor_ = -1;
            InvalidateAnchor(pointer_.caption_anchor_rect);
        }
        return;
    }

    DropCaptionAnchor();
    if (!anchor.empty()) {
        if (anchor != pointer_.hovered_anchor || rect != pointer_.body_anchor_rect || body_anchor_ == -1 ||
            body_anchor_ != pointer_.previous_body_anchor) {
            if (Hover()) {
                InvalidateAnchor(ui::InflateRect(pointer_.body_anchor_rect, 1));
                InvalidateAnchor(rect);
            }
        }
        if (!AnchorEntered(anchor, rect)) return;
        pointer_.body_anchor_rect = rect;
        pointer_.previous_body_anchor = body_anchor_;
    } else if (Cursor() == ui::crHandPoint) {
        SetCursor(pointer_.restore_cursor);
        if (OnAnchorExit) OnAnchorExit(this, pointer_.hovered_anchor);
        if (!alive.Contains(this)) return;
        pointer_.body_anchor_rect = ui::InflateRect(pointer_.body_anchor_rect, 1);
        body_anchor_ = -1;
        pointer_.previous_body_anchor = -1;
        InvalidateAnchor(pointer_.body_anchor_rect);
    }
}

void TCustomFinePanel::DblClick() {
    const TControlWatchList alive(this);
    ui::TCustomPanel::DblClick();
    if (!alive.Contains(this) || !Caption().Visible()) return;
    const ui::TPoint p = ScreenToClient(ui::Mouse().CursorPos());
    if (Layout().caption_click.Contains(p) && OnCaptionDBlClick) OnCaptionDBlClick(this);
}

void TCustomFinePanel::CMMouseEnter() {
    const TControlWatchList alive(this);
    if (OnMouseEnter) OnMouseEnter(this);
    if (!alive.Contains(this)) return;
    ui::TCustomPanel::CMMouseEnter();
}

void TCustomFinePanel::CMMouseLeave() {
    DropBodyAnchor();
    if (caption_anchor_ != -1) {
        caption_anchor_ = -1;
        pointer_.caption_anchor_rect = ui::InflateRect(pointer_.caption_anchor_rect, 1);
        if (Hover()) InvalidateRect(pointer_.caption_anchor_rect);
    }
    if (OnMouseLeave) {
        const TControlWatchList alive(this);
        OnMouseLeave(this);
        if (!alive.Contains(this)) return;
    }
    if (close_hot_ || min_max_hot_) {
        close_hot_ = false;
        min_max_hot_ = false;
        Invalidate();
    }
    ui::TCustomPanel::CMMouseLeave();
}

void TCustomFinePanel::CMHintShowAt(std::string& hint, int x, int y, ui::TPoint& screen_pos) {
    ui::TCustomPanel::CMHintShowAt(hint, x, y, screen_pos);
    if (!AnchorHint()) return;
    ui::TRect rect;
    std::string anchor = GetAnchorAt(x, y, rect);
    if (anchor.empty()) return;
    if (OnAnchorHint) {
        const TControlWatchList alive(this);
        OnAnchorHint(this, anchor);
        if (!alive.Contains(this)) return;
    }
    const ui::TPoint at = ClientToScreen(ui::TPoint{x, y});
    screen_pos = ui::TPoint{at.X + 10, at.Y - 10};
    hint = anchor;
}

// --- the move/size loop ----------------------------------------------------------------------

int TCustomFinePanel::NCHitTest(ui::TPoint screen_pos) {
    int result = ui::TCustomPanel::NCHitTest(screen_pos);
    if (Designing()) return result;
    const ui::TPoint p = ScreenToClient(screen_pos);
    const ui::TRect strip = Layout().caption_move_strip;
    const int h = Caption().Height();
    const bool in_strip = CaptionOnLeft(*this) ? p.X < h && strip.Top < p.Y && p.Y < strip.Bottom
                                               : p.Y < h && strip.Left < p.X && p.X < strip.Right;
    if (Caption().Visible() && in_strip) {
        ui::TRect rect;
        if (GetAnchorAt(p.X, p.Y, rect).empty() && result == ui::HTCLIENT && CanMove()) {
            const TControlWatchList alive(this);
            MouseMove(0, p.X, p.Y);
            // Gone with the move's handlers: the point is nobody's to move.
            if (!alive.Contains(this)) return ui::HTNOWHERE;
            result = ui::HTCAPTION;
            pointer_.moving_by_caption = true;
        }
    }
    if (result == ui::HTCLIENT && CanSize() && !Collaps()) {
        const int fw = ui::SizingFrameWidth(), fh = ui::SizingFrameHeight();
        int sizing = ui::HTCLIENT;
        if (!FixedHeight() && !FixedWidth() && p.Y > Height() - fh - 2 && p.X > Width() - fw - 2) {
            sizing = ui::HTBOTTOMRIGHT;
        } else if (!FixedHeight() && p.Y > Height() - fh) {
            sizing = ui::HTBOTTOM;
        } else if (!FixedWidth() && p.X > Width() - fw) {
            sizing = ui::HTRIGHT;
        }
        if (sizing != ui::HTCLIENT) {
            ui::BringWindowToTop(*this);
            result = sizing;
        }
    }
    return result;
}

void TCustomFinePanel::WMSetCursor(int hit_code) {
    ui::TCustomPanel::WMSetCursor(hit_code);
    if (pointer_.moving_by_caption && ShowMoveCursor()) {
        SetCursor(ui::crSizeAll);
        pointer_.restore_cursor = ui::crSizeAll;
    }
}

void TCustomFinePanel::WMEnterSizeMove() {
    pointer_.size_move_origin = ClientToScreen(ui::TPoint{0, 0});
    pointer_.size_move_width = Width();
    pointer_.size_move_height = Height();
}

void TCustomFinePanel::WMMoving(ui::TRect& proposed) {
    pointer_.size_move_origin = ClientToScreen(ui::TPoint{0, 0});
    if (pointer_.moving_by_caption) ui::BringWindowToTop(*this);
    if (Designing()) {
        ui::TCustomPanel::WMMoving(proposed);
        return;
    }
    if (FixedLeft()) {
        const int w = proposed.Width();
        proposed.Left = pointer_.size_move_origin.X;
        proposed.Right = proposed.Left + w;
    }
    if (FixedTop()) {
        const int h = proposed.Height();
        proposed.Top = pointer_.size_move_origin.Y;
        proposed.Bottom = proposed.Top + h;
    }
}

void TCustomFinePanel::WMSizing(int edge, ui::TRect& proposed) {
    if (Designing()) {
        ui::TCustomPanel::WMSizing(edge, proposed);
        return;
    }
    if (FixedWidth()) proposed.Right = proposed.Left + pointer_.size_move_width;
    if (FixedHeight()) proposed.Bottom = proposed.Top + pointer_.size_move_height;
    SetFullHeight(CaptionOnLeft(*this) ? proposed.Width() : proposed.Height());
    if (proposed.Width() != Width()) RenderCaptionShade();
}

void TCustomFinePanel::WMExitSizeMove() {
    ui::TCustomPanel::WMExitSizeMove();
    const TControlWatchList alive(this);
    if (OnEndMoveSize) OnEndMoveSize(this);
    if (!alive.Contains(this)) return;
    NotifyGroup();
}

void TCustomFinePanel::NotifyGroup() {
    if (auto* group = dynamic_cast<TFinePanelGroup*>(Parent())) group->UpdateGroup();
}

// --- collapsing ------------------------------------------------------------------------------

void TCustomFinePanel::SetCollaps(bool value) {
    // The events, the resizing (its own event) and the steps of the animation (which let pending
    // events run) run other code, and any of it may free this panel: the watch tells, and nothing
    // of the panel is touched after that.
    const TControlWatchList alive(this);
    if (Collaps() && !value) {
        if (OnMaximize) OnMaximize(this);
    } else if (!Collaps() && value && OnMinimize) {
        OnMinimize(this);
    }
    if (!alive.Contains(this) || Collapsing()) return;
    const int extra = BorderWidth() != 0 && BorderShadow() ? BorderWidth() + 4 : 0;
    const int status = StatusBar().Visible() ? StatusBar().Height() : 0;
    const int caption = Caption().Height();
    const bool on_left = CaptionOnLeft(*this);
    const auto extent = [&] { return on_left ? Width() : Height(); };
    // False when the panel is gone.
    const auto set_extent = [&](int v) {
        if (on_left)
            SetWidth(v);
        else
            SetHeight(v);
        return alive.Contains(this);
    };
    const auto notify_group = [&] {
        NotifyGroup();
        return alive.Contains(this);
    };

    if (value != Collaps()) {
        SetCollapsing(true);
        StoreCollaps(value);
        if (!Loading()) {
            const auto animate = [&](int step) {
                for (int i = 0; i < CollapsSteps(); ++i) {
                    if (!set_extent(extent() + step)) return false;
                    ui::Application().ProcessMessages();
                    if (!alive.Contains(this) || !notify_group()) return false;
                    kernel::Sleep(static_cast<std::uint32_t>(std::max(0, CollapsDelay())));
                }
                return true;
            };
            if (!value) {
                if (CollapsSteps() > 0) {
                    if (CollapsColor() != ui::clNone) SetColor(ExpandedColor());
                    if (!animate((FullHeight() - caption - status) / CollapsSteps())) return;
                }
                if (!set_extent(FullHeight())) return;
                if (AutoHideChildren()) ShowChildren(true);
            } else {
                SetFullHeight(extent());
                if (AutoHideChildren()) ShowChildren(false);
                SetExpandedColor(Color());
                if (CollapsSteps() > 0) {
                    if (CollapsColor() != ui::clNone) SetColor(CollapsColor());
                    const int room =
                        on_left ? Width() - caption - status : Height() - caption - status - 2 * BorderWidth();
                    if (!animate(-(room / CollapsSteps()))) return;
                }
                if (!set_extent(on_left ? extra + caption + status : extra + caption + status - 2)) return;
            }
            if (!notify_group()) return;
        }
        SetCollapsing(false);
    }
    CollapsExpandDone();
    if (!alive.Contains(this)) return;
    if (OnEndCollapsExpand) OnEndCollapsExpand(this);
}

void TCustomFinePanel::ShowChildren(bool show) {
    if (show) {
        for (int i = 0; i < ControlCount(); ++i) {
            ui::TControl* child = Controls(i);
            if (!hidden_children_.Contains(child)) child->SetVisible(true);
        }
        hidden_children_.Clear();
        return;
    }
    for (int i = 0; i < ControlCount(); ++i) {
        ui::TControl* child = Controls(i);
        if (!child->Visible()) hidden_children_.Add(child);
        child->SetVisible(false);
    }
}

// --- sizing to the text ----------------------------------------------------------------------

void TCustomFinePanel::DoAutoSize() {
    if (!AutoSize().Enabled() || Loading()) return;
    const int bw2 = 2 * BevelWidth();
    const ui::TRect measure{0, 0, AutoSize().Width() ? 0xFFFF : Width() - bw2,
                            AutoSize().Height() ? 0xFFFF : Height() - bw2};
    ui::TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    MarkupLayoutInputs inputs = MarkupInputs(Text(), measure, !Ellipsis());
    inputs.all_lines = true;
    const MarkupLayout result = LayoutMarkup(canvas, inputs);
    const int frame = 2 * BorderWidth() + (BorderShadow() ? 2 : 0);
    const int tw = result.width + frame;
    const int th = result.height + frame;
    const int status = StatusBar().Visible() ? StatusBar().Height() : 0;
    const int caption = Caption().Height();
    const bool on_left = CaptionOnLeft(*this);
    // Each new size runs the panel's resize event, which may free it.
    const TControlWatchList alive(this);
    if (AutoSize().Width()) {
        if (!on_left)
            SetWidth(bw2 + tw + Indent());
        else if (Caption().Visible())
            SetWidth(caption + tw + status + bw2 + Indent());
        else
            SetWidth(status + tw + bw2 + Indent());
        if (!alive.Contains(this)) return;
    }
    if (AutoSize().Height()) {
        if (on_left) {
            SetHeight(bw2 + th + TopIndent());
        } else if (Caption().Visible()) {
            SetHeight(caption + th + bw2 + TopIndent() + (StatusBar().Visible() ? status + 2 * BorderWidth() : 0));
        } else {
            SetHeight(status + th + bw2 + TopIndent());
        }
        if (!alive.Contains(this)) return;
    }
    NotifyGroup();
}

// --- the saved position ----------------------------------------------------------------------

void TCustomFinePanel::SavePosition() {
    const TPanelPosition& position = Position();
    if (position.Key().empty() || position.Section().empty() || Designing()) return;
    const auto store = OpenPositionStore(position);
    const std::string& section = position.Section();
    store->WriteInteger(section, "Top", Top());
    store->WriteInteger(section, "Left", Left());
    store->WriteInteger(section, "Height", Height());
    store->WriteInteger(section, "FullHeight", FullHeight());
    store->WriteInteger(section, "Width", Width());
    store->WriteInteger(section, "Collaps", Collaps() ? 1 : 0);
}

void TCustomFinePanel::LoadPosition() {
    const TPanelPosition& position = Position();
    if (position.Key().empty() || position.Section().empty() || Designing()) return;
    const auto store = OpenPositionStore(position);
    const std::string& section = position.Section();
    // Sizing and collapsing run the panel's events, which may free it.
    const TControlWatchList alive(this);
    SetTop(store->ReadInteger(section, "Top", Top()));
    SetLeft(store->ReadInteger(section, "Left", Left()));
    SetHeight(store->ReadInteger(section, "Height", Height()));
    if (!alive.Contains(this)) return;
    SetWidth(store->ReadInteger(section, "Width", Width()));
    if (!alive.Contains(this)) return;
    SetCollaps(store->ReadInteger(section, "Collaps", 0) == 1);
    if (!alive.Contains(this)) return;
    SetFullHeight(store->ReadInteger(section, "FullHeight", Height()));
}

}  // namespace panel
