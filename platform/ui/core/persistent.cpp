#include "platform/ui/core/persistent.h"

namespace ui {

void TPersistent::Assign(const TPersistent* source) {
    if (source != nullptr) {
        source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) const { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
    const std::string from = source ? source->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

}  // namespace ui
