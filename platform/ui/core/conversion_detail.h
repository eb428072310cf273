// Pieces the run-time helpers' parsers share; not for use outside them.
#pragma once

#include <string>

#include "platform/ui/core/format_settings.h"

namespace ui::conversion_detail {

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A text as the class library's conversion messages quote it.
inline std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// Digits with the thousand separator between each group of three, from the right.
inline std::string GroupThousands(const std::string& digits) {
    std::string out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out.push_back(FormatSettings().ThousandSeparator);
        out.push_back(digits[i]);
    }
    return out;
}

}  // namespace ui::conversion_detail
