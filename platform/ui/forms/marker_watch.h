// Hands the requests that arrive through a named marker to a handler on the user-interface
// thread, from the event loop, as they come.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/kernel/named_marker.h"

namespace ui {

class TMarkerWatch {
public:
    using Handler = std::function<void(const std::string& request)>;
    // `marker` must outlive the watch.
    TMarkerWatch(kernel::NamedMarker& marker, Handler handler);
    ~TMarkerWatch();
    TMarkerWatch(const TMarkerWatch&) = delete;
    TMarkerWatch& operator=(const TMarkerWatch&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ui
