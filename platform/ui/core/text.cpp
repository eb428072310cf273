#include "platform/ui/core/text.h"

#include <QString>

#include <cctype>

namespace ui {

// --- text -------------------------------------------------------------------------------------

std::string UpperCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string LowerCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string AnsiUpperCase(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUpper().toStdString();
}

std::string AnsiLowerCase(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLower().toStdString();
}

int AnsiCompareText(const std::string& a, const std::string& b) {
    return QString::compare(QString::fromStdString(a), QString::fromStdString(b), Qt::CaseInsensitive);
}

bool SameText(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

std::string Trim(const std::string& text) {
    std::size_t start = 0;
    std::size_t end = text.size();
    while (start < end && static_cast<unsigned char>(text[start]) <= ' ') ++start;
    while (end > start && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    return text.substr(start, end - start);
}

}  // namespace ui
