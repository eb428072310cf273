// Case conversion, case-insensitive comparison and trimming of UTF-8 texts.
#pragma once

#include <memory>
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

// Orders UTF-8 texts as the user's locale does (its collation), with or without regard to
// case. One object serves a whole sort.
class LocaleCollator {
public:
    explicit LocaleCollator(bool case_sensitive);
    ~LocaleCollator();
    LocaleCollator(const LocaleCollator&) = delete;
    LocaleCollator& operator=(const LocaleCollator&) = delete;
    // -1 when `a` sorts before `b`, 0 when they sort alike, 1 when after.
    int Compare(const std::string& a, const std::string& b) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
std::string Trim(const std::string& text);

// UTF-8 as UTF-16 code units, for APIs that take wide strings; broken sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& utf8);

}  // namespace ui
