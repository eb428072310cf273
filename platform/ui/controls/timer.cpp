#include "platform/ui/controls/timer.h"

#include <QTimer>

#include "platform/ui/controls/application.h"

namespace ui {

class TTimer::Impl {
public:
    QTimer timer;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner), impl_(std::make_unique<Impl>()) {
    QObject::connect(&impl_->timer, &QTimer::timeout, &impl_->timer, [this] { Guarded([this] { Tick(); }); });
    Restart();
}

TTimer::~TTimer() { impl_->timer.stop(); }

void TTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Restart();
}

void TTimer::SetInterval(int interval_ms) {
    if (interval_ms == interval_ms_) return;
    interval_ms_ = interval_ms;
    Restart();
}

void TTimer::Tick() {
    if (OnTimer) OnTimer(this);
}

void TTimer::Restart() {
    impl_->timer.stop();
    if (enabled_ && interval_ms_ > 0) impl_->timer.start(std::chrono::milliseconds(interval_ms_));
}

}  // namespace ui
