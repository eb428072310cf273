// TFinePanelGroup: a panel that holds other panels and arranges them, stacked top to bottom in
// one or more columns (gsVertical) or side by side (gsHorizontal), with paddings, and scrolls
// them with its own scroll bar when they do not fit. Its panels tell it when they collapse,
// expand, close, are moved or sized by the user or size themselves to their text.
//
// User-interface thread only. Placing a panel changes its bounds, which calls back into the
// group; the arrange lock and the arranging flag make those calls return at once.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "controls/panel/control_watch_list.h"
#include "controls/panel/fine_panel.h"
#include "controls/panel/panel_settings.h"
#include "platform/ui/controls/scrollbar.h"

namespace panel {

enum class TGroupStyle : std::uint8_t { gsVertical, gsHorizontal };

class TFinePanelGroup : public TFinePanel {
public:
    explicit TFinePanelGroup(ui::TComponent* owner);
    // Frees the panels it found at the end of loading, each once: a panel freed meanwhile (by
    // its owner, or by its close button) has left the list.
    ~TFinePanelGroup() override;
    std::string ClassName() const override { return "TFinePanelGroup"; }

    int HorzPadding() const { return horz_padding_; }
    void SetHorzPadding(int value);
    int VertPadding() const { return vert_padding_; }
    void SetVertPadding(int value);
    TGroupStyle GroupStyle() const { return group_style_; }
    void SetGroupStyle(TGroupStyle value);
    int Columns() const { return columns_; }
    // Values of 0 or less are ignored.
    void SetColumns(int value);
    bool ScrollSmooth() const { return scroll_smooth_; }
    void SetScrollSmooth(bool value) { scroll_smooth_ = value; }
    // Kept and streamed with the group; the group applies it to no panel.
    TFinePanelSettings& DefaultPanel() { return *default_panel_; }
    void SetDefaultPanel(const TFinePanelSettings& value) { default_panel_->Assign(&value); }

    ui::TScrollBar& ScrollBar() { return *scroll_bar_; }
    // The panels found when loading finished, less those freed since.
    const std::vector<ui::TControl*>& PanelList() const { return panel_list_.Items(); }

    void ArrangePanels();
    void UpdateScrollRange();
    // A panel of the group changed: the scroll range, then the arrangement.
    void UpdateGroup();
    // The child panels, in child order.
    void BuildPanelList();

    void SetBounds(int left, int top, int width, int height) override;
    void CollapsExpandDone() override;

protected:
    void Loaded() override;
    void AlignControls(ui::TRect& rect) override;
    void Resize() override;
    // With the scroll bar showing, a wheel step the group's OnMouseWheel left scrolls the panels
    // by 2 x SmallChange; without it the step goes its inherited way.
    bool DoMouseWheelDown(ui::TShiftState shift, ui::TPoint mouse_pos) override;
    bool DoMouseWheelUp(ui::TShiftState shift, ui::TPoint mouse_pos) override;

private:
    // The child panels sorted by Top (or by Left), keeping the child order of equal ones.
    std::vector<TCustomFinePanel*> SortedPanels(bool by_left) const;
    void ArrangeVertical();
    void ArrangeHorizontal();
    void ScrollBarScroll(ui::TScrollCode code, int& position);
    // Moves the scroll position, never past Max - PageSize, and places the panels there.
    void ScrollTo(int position);
    int ScrollOffset() const { return scroll_bar_->Visible() ? scroll_bar_->Position() : 0; }

    int arrange_lock_ = 0;
    int horz_padding_ = 8;
    int vert_padding_ = 8;
    TGroupStyle group_style_ = TGroupStyle::gsVertical;
    bool arranging_ = false;
    std::unique_ptr<ui::TScrollBar> scroll_bar_;
    TControlWatchList panel_list_;
    std::unique_ptr<TFinePanelSettings> default_panel_;
    int columns_ = 1;
    bool scroll_smooth_ = false;
    int group_last_width_ = 0;
    int group_last_height_ = 0;
};

}  // namespace panel
