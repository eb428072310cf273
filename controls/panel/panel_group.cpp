#include "controls/panel/panel_group.h"

#include <algorithm>

#include "controls/panel/windows_version.h"
#include "platform/ui/controls/deferred_release.h"
#include "platform/ui/controls/redraw.h"

namespace panel {

TFinePanelGroup::TFinePanelGroup(ui::TComponent* owner)
    : TFinePanel(owner),
      scroll_bar_(std::make_unique<ui::TScrollBar>(nullptr)),
      default_panel_(std::make_unique<TFinePanelSettings>()) {
    scroll_bar_->SetParent(this);
    scroll_bar_->SetVisible(false);
    scroll_bar_->SetKind(ui::TScrollBarKind::sbVertical);
    scroll_bar_->SetWidth(16);
    scroll_bar_->SetAlign(ui::TAlign::alRight);
    scroll_bar_->SetPosition(0);
    scroll_bar_->SetLargeChange(20);
    scroll_bar_->SetSmallChange(2);
    scroll_bar_->SetTabStop(false);
    scroll_bar_->OnScroll = [this](ui::TPersistent*, ui::TScrollCode code, int& position) {
        ScrollBarScroll(code, position);
    };
    // Double buffering only where the platform does not compose windows itself.
    SetDoubleBuffered(!IsVistaOrLater());
}

TFinePanelGroup::~TFinePanelGroup() {
    MarkDestroying();
    // A panel handed to its deferred release (closed with FreeOnClose) is freed there.
    const std::vector<ui::TControl*> panels = panel_list_.Items();
    for (ui::TControl* p : panels) {
        if (panel_list_.Contains(p) && !ui::IsReleased(*p)) delete p;
    }
    panel_list_.Clear();
}

void TFinePanelGroup::Loaded() {
    TFinePanel::Loaded();
    // A width change and back realigns the children.
    SetWidth(Width() + 1);
    SetWidth(Width() - 1);
    UpdateScrollRange();
    ArrangePanels();
    BuildPanelList();
}

void TFinePanelGroup::BuildPanelList() {
    panel_list_.Clear();
    for (int i = 0; i < ControlCount(); ++i) {
        if (dynamic_cast<TCustomFinePanel*>(Controls(i)) != nullptr) panel_list_.Add(Controls(i));
    }
}

void TFinePanelGroup::SetGroupStyle(TGroupStyle value) {
    if (value == group_style_) return;
    group_style_ = value;
    UpdateScrollRange();
    ArrangePanels();
}

void TFinePanelGroup::SetHorzPadding(int value) {
    if (value == horz_padding_) return;
    horz_padding_ = value;
    ArrangePanels();
}

void TFinePanelGroup::SetVertPadding(int value) {
    if (value == vert_padding_) return;
    vert_padding_ = value;
    ArrangePanels();
}

void TFinePanelGroup::SetColumns(int value) {
    if (value <= 0) return;
    columns_ = value;
    UpdateScrollRange();
    ArrangePanels();
    UpdateScrollRange();
}

void TFinePanelGroup::SetBounds(int left, int top, int width, int height) {
    const bool changed = width != group_last_width_ || height != group_last_height_;
    // The group's own resize event may free it.
    const TControlWatchList alive(this);
    TFinePanel::SetBounds(left, top, width, height);
    if (!alive.Contains(this)) return;
    if (changed) ArrangePanels();
    group_last_width_ = width;
    group_last_height_ = height;
}

void TFinePanelGroup::AlignControls(ui::TRect& rect) {
    TFinePanel::AlignControls(rect);
    UpdateScrollRange();
}

void TFinePanelGroup::Resize() {
    const TControlWatchList alive(this);
    TFinePanel::Resize();
    if (!alive.Contains(this)) return;
    UpdateScrollRange();
}

void TFinePanelGroup::CollapsExpandDone() {
    ArrangePanels();
    UpdateScrollRange();
}

void TFinePanelGroup::UpdateGroup() {
    UpdateScrollRange();
    ArrangePanels();
}

// --- scrolling -------------------------------------------------------------------------------

bool TFinePanelGroup::DoMouseWheelDown(ui::TShiftState shift, ui::TPoint mouse_pos) {
    if (!scroll_bar_->Visible()) return TFinePanel::DoMouseWheelDown(shift, mouse_pos);
    ScrollTo(scroll_bar_->Position() + 2 * scroll_bar_->SmallChange());
    return true;
}

bool TFinePanelGroup::DoMouseWheelUp(ui::TShiftState shift, ui::TPoint mouse_pos) {
    if (!scroll_bar_->Visible()) return TFinePanel::DoMouseWheelUp(shift, mouse_pos);
    ScrollTo(scroll_bar_->Position() - 2 * scroll_bar_->SmallChange());
    return true;
}

void TFinePanelGroup::ScrollBarScroll(ui::TScrollCode code, int& position) {
    if (code != ui::TScrollCode::scEndScroll) return;
    // The scroll bar takes the position handed back, so the limited one goes back too.
    ScrollTo(position);
    position = scroll_bar_->Position();
}

void TFinePanelGroup::ScrollTo(int position) {
    const int last = std::max(scroll_bar_->Min(), scroll_bar_->Max() - scroll_bar_->PageSize());
    scroll_bar_->SetPosition(std::clamp(position, scroll_bar_->Min(), last));
    ArrangePanels();
}

void TFinePanelGroup::UpdateScrollRange() {
    // While the group is taken apart its children leave it, the scroll bar among them.
    if (arrange_lock_ > 0 || Destroying()) return;
    ui::TScrollBar& bar = *scroll_bar_;
    int total = 0;
    int extent = 0;
    if (group_style_ == TGroupStyle::gsHorizontal) {
        bar.SetKind(ui::TScrollBarKind::sbHorizontal);
        if (bar.Align() == ui::TAlign::alRight) bar.SetAlign(ui::TAlign::alBottom);
        bar.SetHeight(16);
        total = horz_padding_;
        for (int p = 0; p < ControlCount(); ++p) {
            ui::TControl* c = Controls(p);
            if (dynamic_cast<TCustomFinePanel*>(c) != nullptr && c->Visible()) total += c->Width() + horz_padding_;
        }
        extent = Width();
    } else {
        bar.SetKind(ui::TScrollBarKind::sbVertical);
        if (bar.Align() == ui::TAlign::alBottom) bar.SetAlign(ui::TAlign::alRight);
        bar.SetWidth(16);
        total = vert_padding_;
        // Positions count every child, the scroll bar among them: one panel a row.
        for (int p = 0; p < ControlCount(); ++p) {
            ui::TControl* c = Controls(p);
            if (dynamic_cast<TCustomFinePanel*>(c) != nullptr && c->Visible() && (p + 1) % columns_ == 0)
                total += c->Height() + vert_padding_;
        }
        extent = Height();
    }
    if (extent < total && total > 0) {
        if (bar.Position() > total) bar.SetPosition(total);
        // The range first: a page larger than the range it replaces would be refused.
        bar.SetMax(total);
        bar.SetPageSize(extent);
        bar.SetLargeChange(extent / 3);
    }
    bar.SetVisible(extent < total);
    bar.Invalidate();
}

// --- arranging -------------------------------------------------------------------------------

void TFinePanelGroup::ArrangePanels() {
    if (Loading() || Destroying() || arranging_ || arrange_lock_ > 0) return;
    arranging_ = true;
    if (group_style_ == TGroupStyle::gsHorizontal)
        ArrangeHorizontal();
    else
        ArrangeVertical();
    arranging_ = false;
}

std::vector<TCustomFinePanel*> TFinePanelGroup::SortedPanels(bool by_left) const {
    std::vector<TCustomFinePanel*> panels;
    for (int i = 0; i < ControlCount(); ++i) {
        if (auto* p = dynamic_cast<TCustomFinePanel*>(Controls(i))) panels.push_back(p);
    }
    // Neighbours swap only when the first lies strictly further on: equal ones keep child order.
    std::stable_sort(panels.begin(), panels.end(), [by_left](const TCustomFinePanel* a, const TCustomFinePanel* b) {
        return by_left ? a->Left() < b->Left() : a->Top() < b->Top();
    });
    return panels;
}

void TFinePanelGroup::ArrangeVertical() {
    if (arrange_lock_ > 0) return;
    ++arrange_lock_;
    const std::vector<TCustomFinePanel*> panels = SortedPanels(false);
    // Placing a panel runs its resize event, which may free it: freed panels are left out.
    TControlWatchList listed;
    for (TCustomFinePanel* p : panels) listed.Add(p);
    int y = vert_padding_ - ScrollOffset();
    if (Caption().Visible()) y += Caption().Height();
    if (scroll_smooth_) {
        for (TCustomFinePanel* p : panels)
            if (p->Visible()) ui::SetRedraw(*p, false);
    }
    const int w = Width();
    const int bar = scroll_bar_->Visible() ? scroll_bar_->Width() : 0;
    for (std::size_t i = 0; i < panels.size(); ++i) {
        TCustomFinePanel* p = panels[i];
        const int column = static_cast<int>(i) % columns_;
        p->SetTop(y);
        p->SetLeft(((w - bar - horz_padding_) / columns_) * column + horz_padding_);
        p->SetWidth((w - 2 * horz_padding_ - bar) / columns_);
        if (!listed.Contains(p)) continue;
        if (p->Visible() && column == 0) y += p->Height() + vert_padding_;
    }
    for (TCustomFinePanel* p : panels) {
        if (!listed.Contains(p)) continue;
        if (scroll_smooth_ && p->Visible()) {
            ui::SetRedraw(*p, true);
            p->Repaint();
        }
        p->Invalidate();
        // A shown windowed child without children of its own has its redrawing switched off and
        // on, which redraws it; every child is nudged a pixel wider and back, so that its own
        // children realign.
        for (int c = 0; c < p->ControlCount(); ++c) {
            ui::TControl* child = p->Controls(c);
            const auto* windowed = dynamic_cast<ui::TWinControl*>(child);
            if (windowed != nullptr && child->Visible() && windowed->ControlCount() == 0) {
                ui::SetRedraw(*child, false);
                ui::SetRedraw(*child, true);
            }
            child->SetWidth(child->Width() + 1);
            child->SetWidth(child->Width() - 1);
            if (!listed.Contains(p)) break;
        }
    }
    --arrange_lock_;
    Invalidate();
}

void TFinePanelGroup::ArrangeHorizontal() {
    const std::vector<TCustomFinePanel*> panels = SortedPanels(true);
    TControlWatchList listed;
    for (TCustomFinePanel* p : panels) listed.Add(p);
    int x = horz_padding_ - ScrollOffset();
    const int height = Height() - 2 * vert_padding_ - (scroll_bar_->Visible() ? scroll_bar_->Height() : 0);
    for (TCustomFinePanel* p : panels) {
        p->SetLeft(x);
        p->SetTop(vert_padding_);
        p->SetHeight(height);
        if (!listed.Contains(p)) continue;
        if (p->Visible()) x += p->Width() + horz_padding_;
    }
}

}  // namespace panel
