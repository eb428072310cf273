#include "platform/ui/controls/scrollbar.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <utility>

#include "platform/ui/controls/application.h"

namespace ui {

namespace {

// A Qt scroll bar that tells when a press of the mouse on it ends: the end of the steps an arrow
// or the page area made while held, or of a drag of the thumb.
class PressReportingBar : public QScrollBar {
public:
    PressReportingBar(QWidget* parent, std::function<void()> released)
        : QScrollBar(Qt::Horizontal, parent), released_(std::move(released)) {}
    // A press of the mouse on the bar is under way: its steps end with the release.
    bool Pressed() const { return pressed_; }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if ((e->button() & (Qt::LeftButton | Qt::MiddleButton)) != 0) pressed_ = true;
        QScrollBar::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        QScrollBar::mouseReleaseEvent(e);
        if (pressed_ && e->buttons() == Qt::NoButton) {
            pressed_ = false;
            released_();
        }
    }

private:
    std::function<void()> released_;
    bool pressed_ = false;
};

}  // namespace

// The Qt scroll bar fills the control's widget.
class TScrollBar::Impl {
public:
    PressReportingBar* bar = nullptr;  // child of the control's widget, freed with it
};

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner), impl_(std::make_unique<Impl>()) {
    auto* layout = new QVBoxLayout(Widget());  // owned by the widget
    layout->setContentsMargins(0, 0, 0, 0);
    // Owned by the widget.
    impl_->bar = new PressReportingBar(
        Widget(), [this] { Guarded([&] { UserScroll(TScrollCode::scEndScroll, impl_->bar->value()); }); });
    layout->addWidget(impl_->bar);
    QObject::connect(impl_->bar, &QScrollBar::actionTriggered, impl_->bar, [this](int action) {
        if (syncing_) return;
        TScrollCode code = TScrollCode::scPosition;
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            code = TScrollCode::scLineDown;
            break;
        case QAbstractSlider::SliderSingleStepSub:
            code = TScrollCode::scLineUp;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = TScrollCode::scPageDown;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = TScrollCode::scPageUp;
            break;
        case QAbstractSlider::SliderToMinimum:
            code = TScrollCode::scTop;
            break;
        case QAbstractSlider::SliderToMaximum:
            code = TScrollCode::scBottom;
            break;
        case QAbstractSlider::SliderMove:
            code = TScrollCode::scTrack;
            break;
        default:
            break;
        }
        if (code == TScrollCode::scPageDown || code == TScrollCode::scPageUp) {
            // The toolkit pages by its page step, which is also the thumb's length (PageSize);
            // a page here moves by LargeChange. The position is not yet taken, so it can still
            // be changed.
            const int step = code == TScrollCode::scPageDown ? large_change_ : -large_change_;
            impl_->bar->setSliderPosition(std::clamp(impl_->bar->value() + step, min_, ScrollLimit()));
        }
        const int pos = impl_->bar->sliderPosition();
        Guarded([&] {
            UserScroll(code, pos);
            // A step made without a press of the mouse on the bar (the wheel, a key, the bar's
            // own menu) ends where it is made.
            if (!impl_->bar->Pressed()) UserScroll(TScrollCode::scEndScroll, position_);
        });
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
