#include "platform/ui/core/format_settings.h"

namespace ui {

const TFormatSettings& FormatSettings() {
    static const TFormatSettings settings;
    return settings;
}

}  // namespace ui
