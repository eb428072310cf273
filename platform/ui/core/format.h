// The class library's Format: printf-like directives over a list of integers, floats and texts.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/ui/core/exceptions.h"

namespace ui {

// --- Format -----------------------------------------------------------------------------------
using TVarRec = std::variant<std::int64_t, double, std::string>;

// Directives "%[index:][-][width][.precision]type" with types d u x X s f e g n and "%%".
// A directive without a fitting argument raises EConvertError
// "Format '<format>' invalid or incompatible with argument".
std::string FormatV(const std::string& format, const std::vector<TVarRec>& args);

namespace detail {
template <typename T>
TVarRec ToVarRec(const T& value) {
    if constexpr (std::is_same_v<T, bool>) {
        return TVarRec(static_cast<std::int64_t>(value));
    } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
        return TVarRec(static_cast<std::int64_t>(value));
    } else if constexpr (std::is_floating_point_v<T>) {
        return TVarRec(static_cast<double>(value));
    } else {
        return TVarRec(std::string(value));
    }
}
}  // namespace detail

template <typename... Args>
std::string Format(const std::string& format, const Args&... args) {
    return FormatV(format, std::vector<TVarRec>{detail::ToVarRec(args)...});
}

}  // namespace ui
