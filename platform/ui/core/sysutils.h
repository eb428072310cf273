// The class library's run-time helpers, one header per purpose: format settings, numbers, dates
// and times, text, the Windows-1252 boundary and Format. Include the one a file needs; this
// header gathers them for code that uses several.
#pragma once

#include "platform/ui/core/cp1252.h"
#include "platform/ui/core/dates.h"
#include "platform/ui/core/format.h"
#include "platform/ui/core/format_settings.h"
#include "platform/ui/core/numbers.h"
#include "platform/ui/core/text.h"
