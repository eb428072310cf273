// Freeing a control after the event that asked for it has finished. A control closed from
// inside one of its own events (an in-place editor closed by the Enter key it is handling) must
// not be freed under that event's feet: it is taken off the screen and out of its parent at
// once, and freed when the event loop next runs deferred deletions.
#pragma once

#include <memory>

#include "platform/ui/controls/controls.h"

namespace ui {

// Hides `control`, takes it out of its parent and out of its owner's list, and frees it once the
// running event is over. Without an application object it is freed at once.
void ReleaseLater(std::unique_ptr<TControl> control);

// Whether `control` was handed to ReleaseLater (it is still alive until the deferred deletion).
bool IsReleased(const TControl& control);

// Frees every control waiting for its deferred deletion now; for tests and shutdown.
void FreeReleasedControls();

}  // namespace ui
