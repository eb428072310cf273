#include "platform/ui/controls/scrollbar.h"

#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ui/controls/application.h"

namespace ui {

// The Qt scroll bar fills the control's widget.
class TScrollBar::Impl {
public:
    QScrollBar* bar = nullptr;  // child of the control's widget, freed with it
};

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner), impl_(std::make_unique<Impl>()) {
    auto* layout = new QVBoxLayout(Widget());  // owned by the widget
    layout->setContentsMargins(0, 0, 0, 0);
    impl_->bar = new QScrollBar(Qt::Horizontal, Widget());  // owned by the widget
    layout->addWidget(impl_->bar);
    QObject::connect(impl_->bar, &QScrollBar::actionTriggered, impl_->bar, [this](int action) {
        if (syncing_) return;
        TScrollCode code = TScrollCode::scPosition;
        switch (action) {
            case QAbstractSlider::SliderSingleStepAdd: code = TScrollCode::scLineDown; break;
            case QAbstractSlider::SliderSingleStepSub: code = TScrollCode::scLineUp; break;
            case QAbstractSlider::SliderPageStepAdd: code = TScrollCode::scPageDown; break;
            case QAbstractSlider::SliderPageStepSub: code = TScrollCode::scPageUp; break;
            case QAbstractSlider::SliderToMinimum: code = TScrollCode::scTop; break;
            case QAbstractSlider::SliderToMaximum: code = TScrollCode::scBottom; break;
            case QAbstractSlider::SliderMove: code = TScrollCode::scTrack; break;
            default: break;
        }
        const int pos = impl_->bar->sliderPosition();
        Guarded([&] { UserScroll(code, pos); });
    });
    QObject::connect(impl_->bar, &QScrollBar::sliderReleased, impl_->bar, [this] {
        Guarded([&] { UserScroll(TScrollCode::scEndScroll, impl_->bar->value()); });
    });
    SetBounds(0, 0, 121, 17);
    SyncWidget();
}

TScrollBar::~TScrollBar() = default;

void TScrollBar::SetKind(TScrollBarKind kind) {
    if (kind == kind_) return;
    kind_ = kind;
    impl_->bar->setOrientation(kind == TScrollBarKind::sbVertical ? Qt::Vertical : Qt::Horizontal);
}

void TScrollBar::SetPageSize(int value) {
    if (value == page_size_ || value < 0 || value > max_ - min_ + 1) return;
    page_size_ = value;
    SyncWidget();
}

void TScrollBar::SetSmallChange(int value) {
    small_change_ = value;
    SyncWidget();
}

void TScrollBar::SetLargeChange(int value) {
    large_change_ = value;
    SyncWidget();
}

void TScrollBar::SetParams(int position, int min, int max) {
    if (max < min) max = min;
    position = std::clamp(position, min, max);
    const bool moved = position != position_;
    min_ = min;
    max_ = max;
    if (page_size_ > max_ - min_ + 1) page_size_ = max_ - min_ + 1;
    position_ = position;
    SyncWidget();
    if (moved && OnChange) OnChange(this);
}

int TScrollBar::ScrollLimit() const { return std::max(min_, max_ - std::max(page_size_, 1) + 1); }

void TScrollBar::UserScroll(TScrollCode code, int position) {
    int pos = std::clamp(position, min_, ScrollLimit());
    if (OnScroll) OnScroll(this, code, pos);
    pos = std::clamp(pos, min_, max_);
    if (pos != position_) {
        position_ = pos;
        SyncWidget();
        if (OnChange) OnChange(this);
    }
}

void TScrollBar::SyncWidget() {
    syncing_ = true;
    impl_->bar->setRange(min_, ScrollLimit());
    impl_->bar->setPageStep(std::max(page_size_, 1));
    impl_->bar->setSingleStep(small_change_);
    impl_->bar->setValue(std::min(position_, ScrollLimit()));
    syncing_ = false;
}

}  // namespace ui
