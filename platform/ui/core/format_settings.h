// The class library's format settings, fixed on Linux so that a program behaves the same on every
// machine: decimal separator '.', thousand separator ',', short date "dd/mm/yyyy", long time
// "hh:nn:ss". Every conversion of the run-time helpers uses this one set.
#pragma once

#include <string>

namespace ui {

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "dd/mm/yyyy";
    std::string LongTimeFormat = "hh:nn:ss";
};
// The one fixed set every conversion here uses.
const TFormatSettings& FormatSettings();

}  // namespace ui
