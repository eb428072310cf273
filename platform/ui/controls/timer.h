// TTimer: fires OnTimer every Interval milliseconds on the user-interface thread while Enabled
// and an Interval above 0 is set. Exceptions of the handler go to the default error report.
#pragma once

#include <chrono>
#include <memory>

#include "platform/ui/core/component.h"

namespace ui {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    std::string ClassName() const override { return "TTimer"; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int Interval() const { return interval_ms_; }  // milliseconds
    void SetInterval(int interval_ms);

    TNotifyEvent OnTimer;
    // Platform side and tests: one tick, as the timer would deliver it.
    void Tick();

private:
    void Restart();
    class Impl;
    std::unique_ptr<Impl> impl_;
    bool enabled_ = true;
    int interval_ms_ = 1000;
};

}  // namespace ui
