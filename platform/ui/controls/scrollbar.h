// TScrollBar with the class library's semantics over a Qt scroll bar: Max includes the page,
// so the user can scroll Position up to Max - PageSize + 1. PageSize sizes the thumb; a click in
// the page area (or a page key) moves by LargeChange. OnScroll reports every move with
// its scroll code, and scEndScroll when the steps end: when the mouse press on an arrow, the page
// area or the thumb is released, and right after a step made otherwise (the wheel, a key).
// OnChange follows every Position change.
#pragma once

#include <functional>

#include "platform/ui/controls/controls.h"

namespace ui {

enum class TScrollBarKind { sbHorizontal, sbVertical };
enum class TScrollCode {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll
};

class TScrollBar : public TWinControl {
public:
    using TScrollEvent = std::function<void(TPersistent* sender, TScrollCode code, int& position)>;

    explicit TScrollBar(TComponent* owner);
    ~TScrollBar() override;
    std::string ClassName() const override { return "TScrollBar"; }

    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind kind);
    int Min() const { return min_; }
    void SetMin(int value) { SetParams(position_, value, max_); }
    int Max() const { return max_; }
    void SetMax(int value) { SetParams(position_, min_, value); }
    int Position() const { return position_; }
    void SetPosition(int value) { SetParams(value, min_, max_); }
    int PageSize() const { return page_size_; }
    // Ignored when larger than the range Max - Min + 1.
    void SetPageSize(int value);
    int SmallChange() const { return small_change_; }
    void SetSmallChange(int value);
    int LargeChange() const { return large_change_; }
    void SetLargeChange(int value);
    // Position clamped to Min..Max; Max below Min is raised to Min.
    void SetParams(int position, int min, int max);

    // The highest position the user reaches: the page ends at Max.
    int ScrollLimit() const;
    // Platform side and tests: the user moved the thumb (as Qt reports it).
    void UserScroll(TScrollCode code, int position);

    TScrollEvent OnScroll;
    TNotifyEvent OnChange;

private:
    void SyncWidget();
    class Impl;
    std::unique_ptr<Impl> impl_;
    TScrollBarKind kind_ = TScrollBarKind::sbHorizontal;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int page_size_ = 0;
    int small_change_ = 1;
    int large_change_ = 1;
    bool syncing_ = false;
};

}  // namespace ui
