#include "platform/ui/core/text.h"

#include <QCollator>
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

struct LocaleCollator::Impl {
    QCollator collator;  // the application's default locale, which is the user's unless set
};

LocaleCollator::LocaleCollator(bool case_sensitive) : impl_(std::make_unique<Impl>()) {
    impl_->collator.setCaseSensitivity(case_sensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

LocaleCollator::~LocaleCollator() = default;

int LocaleCollator::Compare(const std::string& a, const std::string& b) const {
    const int r = impl_->collator.compare(QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size())),
                                          QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())));
    return (r > 0) - (r < 0);
}

std::string Trim(const std::string& text) {
    std::size_t start = 0;
    std::size_t end = text.size();
    while (start < end && static_cast<unsigned char>(text[start]) <= ' ') ++start;
    while (end > start && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    return text.substr(start, end - start);
}

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        std::size_t n = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c >> 5) == 6 && i + 1 < text.size()) {
            cp = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
            n = 2;
        } else if ((c >> 4) == 14 && i + 2 < text.size()) {
            cp = (c & 0x0Fu) << 12 | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6 |
                 (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
            n = 3;
        } else if ((c >> 3) == 30 && i + 3 < text.size()) {
            cp = (c & 0x07u) << 18 | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 12 |
                 (static_cast<unsigned char>(text[i + 2]) & 0x3Fu) << 6 |
                 (static_cast<unsigned char>(text[i + 3]) & 0x3Fu);
            n = 4;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += n;
    }
    return out;
}

}  // namespace ui
