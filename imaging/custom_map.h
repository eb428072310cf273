// TCustomMap: a width and height (never negative) with resize notification. Derived classes
// own the storage behind the size and replace it in ResizeBuffer.
#pragma once

#include <string>

#include "imaging/thread_persistent.h"

namespace imaging {

class TCustomMap : public TThreadPersistent {
public:
    std::string ClassName() const override { return "TCustomMap"; }

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Negative sizes become 0. Returns false and does nothing when the size does not change;
    // otherwise ResizeBuffer, Changed, NotifyResize, and true.
    virtual bool SetSize(int NewWidth, int NewHeight);
    // SetSize(0, 0).
    virtual void MakeEmpty();
    // Width or height is 0.
    virtual bool Empty() const;

    ui::TNotifyEvent OnResize;

protected:
    // Replaces the storage and stores the new size into Width and Height (the base only stores).
    // An override that raises must leave Width and Height describing what it kept.
    virtual void ResizeBuffer(int& Width, int& Height, int NewWidth, int NewHeight);
    // Fires OnResize.
    virtual void NotifyResize();

private:
    int width_ = 0;
    int height_ = 0;
};

}  // namespace imaging
