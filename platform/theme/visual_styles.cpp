#include "platform/theme/visual_styles.h"

namespace theme {

namespace {

// The binding is process-wide by design (one visual-styles library per process); only the
// guard below changes which one is in force.
VisualStyles*& Slot() {
    static NoVisualStyles none;
    static VisualStyles* current = &none;
    return current;
}

}  // namespace

VisualStyles& CurrentVisualStyles() { return *Slot(); }

ScopedVisualStyles::ScopedVisualStyles(VisualStyles& styles) : previous_(Slot()) { Slot() = &styles; }

ScopedVisualStyles::~ScopedVisualStyles() { Slot() = previous_; }

}  // namespace theme
