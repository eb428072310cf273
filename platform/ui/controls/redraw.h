// Suspending a window's redrawing while many of its bounds change (the redraw switch message):
// paints asked for meanwhile are dropped.
#pragma once

#include "platform/ui/controls/controls.h"

namespace ui {

void SetRedraw(TControl& control, bool enabled);
bool RedrawEnabled(const TControl& control);

}  // namespace ui
