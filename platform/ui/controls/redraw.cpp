#include "platform/ui/controls/redraw.h"

#include <QWidget>

namespace ui {

void SetRedraw(TControl& control, bool enabled) { control.Widget()->setUpdatesEnabled(enabled); }

bool RedrawEnabled(const TControl& control) { return control.Widget()->updatesEnabled(); }

}  // namespace ui
