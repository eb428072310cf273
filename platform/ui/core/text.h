// Case conversion, case-insensitive comparison and trimming of UTF-8 texts.
#pragma once

#include <string>

namespace ui {

// --- case and blanks -------------------------------------------------------------------------------------
std::string UpperCase(const std::string& text);      // ASCII letters only
std::string LowerCase(const std::string& text);      // ASCII letters only
std::string AnsiUpperCase(const std::string& text);  // every letter of the UTF-8 text
std::string AnsiLowerCase(const std::string& text);
// Compares two UTF-8 texts ignoring case; <0, 0, >0.
int AnsiCompareText(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);  // ASCII case-insensitive
std::string Trim(const std::string& text);

}  // namespace ui
