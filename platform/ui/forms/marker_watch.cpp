#include "platform/ui/forms/marker_watch.h"

#include <QSocketNotifier>

#include "platform/ui/controls/application.h"

namespace ui {

struct TMarkerWatch::Impl {
    Impl(kernel::NamedMarker& m, Handler h)
        : marker(m), handler(std::move(h)), notifier(m.Handle(), QSocketNotifier::Read) {
        QObject::connect(&notifier, &QSocketNotifier::activated, [this] {
            for (const auto& request : marker.TakeRequests()) {
                if (handler) Guarded([&] { handler(request); });
            }
        });
    }
    kernel::NamedMarker& marker;
    Handler handler;
    QSocketNotifier notifier;
};

TMarkerWatch::TMarkerWatch(kernel::NamedMarker& marker, Handler handler)
    : impl_(std::make_unique<Impl>(marker, std::move(handler))) {}

TMarkerWatch::~TMarkerWatch() = default;

}  // namespace ui
