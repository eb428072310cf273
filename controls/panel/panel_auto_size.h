// TAutoSize: a panel's switches for sizing itself to its text. Switching Enabled on resizes the
// panel at once, through OnResize, which the owning panel hooks to its auto-size.
#pragma once

#include <string>

#include "platform/ui/core/persistent.h"

namespace panel {

class TCustomFinePanel;

class TAutoSize : public ui::TPersistent {
public:
    explicit TAutoSize(TCustomFinePanel* panel = nullptr) : panel_(panel) {}

    std::string ClassName() const override { return "TAutoSize"; }
    // Sets Enabled through its setter and copies Height and Width; raises EInvalidCast for any
    // other source.
    void Assign(const ui::TPersistent* source) override;

    bool Enabled() const { return enabled_; }
    // Stores; true also resizes the panel now. False leaves its size as it is.
    void SetEnabled(bool value);
    bool Height() const { return height_; }
    void SetHeight(bool value) { height_ = value; }
    bool Width() const { return width_; }
    void SetWidth(bool value) { width_ = value; }

    TCustomFinePanel* Panel() const { return panel_; }

    ui::TNotifyEvent OnResize;

private:
    TCustomFinePanel* panel_;
    bool enabled_ = false;
    bool height_ = true;
    bool width_ = true;
};

}  // namespace panel
