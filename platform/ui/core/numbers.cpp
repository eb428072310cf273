#include "platform/ui/core/numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "platform/ui/core/conversion_detail.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/format_settings.h"

namespace ui {

namespace {

[[noreturn]] void InvalidFloatOperation() { throw EInvalidOperation("Invalid floating point operation"); }

}  // namespace

// --- integers ---------------------------------------------------------------------------------

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

std::string IntToHex(std::uint64_t value, int digits) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), hex[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    while (static_cast<int>(out.size()) < digits) out.insert(out.begin(), '0');
    return out;
}

bool TryStrToInt(const std::string& text, int& value) {
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && conversion_detail::IsBlank(text[i])) ++i;
    while (end > i && conversion_detail::IsBlank(text[end - 1])) --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < end && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < end && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= end) return false;
    std::int64_t magnitude = 0;
    for (; i < end; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > 0x100000000LL) return false;
    }
    std::int64_t result = negative ? -magnitude : magnitude;
    // Hexadecimal texts name a bit pattern: "$FFFFFFFF" is -1, as the class library reads it.
    if (base == 16 && !negative && result > std::numeric_limits<int>::max() && result <= 0xFFFFFFFFLL) {
        result -= 0x100000000LL;
    }
    if (result < std::numeric_limits<int>::min() || result > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(result);
    return true;
}

int StrToInt(const std::string& text) {
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(conversion_detail::Quoted(text) + " is not a valid integer value");
    return value;
}

int StrToIntDef(const std::string& text, int fallback) {
    int value = 0;
    return TryStrToInt(text, value) ? value : fallback;
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;
    long long half = static_cast<long long>(denominator) / 2;
    if (half < 0) half = -half;
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude = (product < 0 ? -product : product);
    const long long d = denominator < 0 ? -static_cast<long long>(denominator) : denominator;
    const long long result = (magnitude + half) / d;
    if (result > 0x7FFFFFFFLL) return -1;
    return static_cast<int>(negative ? -result : result);
}

// --- floating point ---------------------------------------------------------------------------

namespace {

// Decimal digits (no trailing zeros, at least one) and the exponent of the first digit.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Decimal ToDecimal(double value, int significant) {
    Decimal d;
    d.negative = std::signbit(value) && value != 0.0;
    if (value == 0.0) {
        d.digits = "0";
        return d;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, std::fabs(value));
    const std::string text(buffer);
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.') d.digits.push_back(text[i]);
    }
    d.exponent = std::atoi(text.c_str() + e + 1);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

std::string ExponentText(int exponent, bool forceSign, int minDigits) {
    std::string digits = std::to_string(std::abs(exponent));
    while (static_cast<int>(digits.size()) < minDigits) digits.insert(digits.begin(), '0');
    if (exponent < 0) return "-" + digits;
    return (forceSign ? "+" : "") + digits;
}

}  // namespace

std::string FloatToStr(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    const Decimal d = ToDecimal(value, 15);
    std::string out = d.negative ? "-" : "";
    if (d.digits == "0") return "0";
    const char point = FormatSettings().DecimalSeparator;
    // Fixed notation while the point lies within the 15 digits and the value is at least 1E-4.
    if (d.exponent >= -4 && d.exponent < 15) {
        if (d.exponent >= 0) {
            std::string whole = d.digits.substr(0, std::min<std::size_t>(d.digits.size(), d.exponent + 1));
            while (static_cast<int>(whole.size()) < d.exponent + 1) whole.push_back('0');
            out += whole;
            if (d.digits.size() > whole.size()) out += point + d.digits.substr(whole.size());
        } else {
            out += "0";
            out += point;
            out += std::string(-d.exponent - 1, '0') + d.digits;
        }
        return out;
    }
    out += d.digits.substr(0, 1);
    if (d.digits.size() > 1) out += point + d.digits.substr(1);
    return out + "E" + ExponentText(d.exponent, false, 1);
}

bool TryStrToFloat(const std::string& text, double& value) {
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && conversion_detail::IsBlank(text[i])) ++i;
    while (end > i && conversion_detail::IsBlank(text[end - 1])) --end;
    // Only the fixed grammar: sign, digits, one decimal separator, optional exponent.
    std::string plain;
    std::size_t p = i;
    if (p < end && (text[p] == '+' || text[p] == '-')) plain.push_back(text[p++]);
    int mantissaDigits = 0;
    bool point = false;
    for (; p < end; ++p) {
        const char c = text[p];
        if (c >= '0' && c <= '9') {
            plain.push_back(c);
            ++mantissaDigits;
        } else if (c == FormatSettings().DecimalSeparator && !point) {
            plain.push_back('.');
            point = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return false;
    if (p < end && (text[p] == 'e' || text[p] == 'E')) {
        plain.push_back('e');
        ++p;
        if (p < end && (text[p] == '+' || text[p] == '-')) plain.push_back(text[p++]);
        int exponentDigits = 0;
        for (; p < end && text[p] >= '0' && text[p] <= '9'; ++p, ++exponentDigits) plain.push_back(text[p]);
        if (exponentDigits == 0) return false;
    }
    if (p != end) return false;
    char* stop = nullptr;
    const double parsed = std::strtod(plain.c_str(), &stop);
    if (stop == nullptr || *stop != '\0' || std::isinf(parsed)) return false;
    value = parsed;
    return true;
}

double StrToFloat(const std::string& text) {
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError(conversion_detail::Quoted(text) + " is not a valid floating point value");
    return value;
}

namespace {

struct PictureSection {
    std::string prefix;     // literal text before the first placeholder
    std::string suffix;     // literal text after it (and any literal between placeholders)
    int minInteger = 0;     // '0' placeholders before the point
    int integerPlaces = 0;  // all placeholders before the point
    int minFraction = 0;    // '0' placeholders after the point
    int maxFraction = 0;    // all placeholders after the point
    bool thousands = false;
    bool scientific = false;
    bool exponentSign = false;  // "E+": the sign is always written
    char exponentLetter = 'E';
    int exponentDigits = 0;
};

std::vector<std::string> SplitSections(const std::string& format) {
    std::vector<std::string> sections(1);
    char quote = 0;
    for (const char c : format) {
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            sections.emplace_back();
            continue;
        }
        sections.back().push_back(c);
    }
    if (quote != 0) throw EConvertError("Format '" + format + "' invalid or incompatible with argument");
    return sections;
}

PictureSection ParseSection(const std::string& text) {
    PictureSection s;
    bool seenPlaceholder = false;
    bool afterPoint = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& literal = seenPlaceholder ? s.suffix : s.prefix;
        if (c == '\'' || c == '"') {
            const std::size_t close = text.find(c, i + 1);
            literal += text.substr(i + 1, close - i - 1);
            i = close;
        } else if (c == '0' || c == '#') {
            seenPlaceholder = true;
            if (afterPoint) {
                ++s.maxFraction;
                if (c == '0') s.minFraction = s.maxFraction;
            } else {
                ++s.integerPlaces;
                if (c == '0' || s.minInteger > 0) ++s.minInteger;
            }
        } else if (c == '.') {
            afterPoint = true;
        } else if (c == ',') {
            s.thousands = true;
        } else if ((c == 'E' || c == 'e') && i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-')) {
            s.scientific = true;
            s.exponentLetter = c;
            s.exponentSign = text[i + 1] == '+';
            i += 2;
            while (i < text.size() && text[i] == '0') {
                ++s.exponentDigits;
                ++i;
            }
            --i;
        } else {
            literal.push_back(c);
        }
    }
    return s;
}

// Formats |value| by the section; the caller adds a minus sign.
std::string FormatMagnitude(const PictureSection& s, double magnitude) {
    const char point = FormatSettings().DecimalSeparator;
    int exponent = 0;
    if (s.scientific && magnitude != 0.0) {
        const int leading = std::max(1, s.integerPlaces);
        exponent = static_cast<int>(std::floor(std::log10(magnitude))) - (leading - 1);
        magnitude /= std::pow(10.0, exponent);
        // Rounding may carry into one more integer digit.
        const double limit = std::pow(10.0, leading) - 0.5 * std::pow(10.0, -s.maxFraction);
        if (magnitude >= limit) {
            magnitude /= 10.0;
            ++exponent;
        }
    }
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", s.maxFraction, magnitude);
    std::string text(buffer);
    std::string whole = text;
    std::string fraction;
    if (const std::size_t dot = text.find('.'); dot != std::string::npos) {
        whole = text.substr(0, dot);
        fraction = text.substr(dot + 1);
    }
    while (static_cast<int>(fraction.size()) > s.minFraction && fraction.back() == '0') fraction.pop_back();
    // Leading zeros beyond the '0' placeholders go away ("#.##" of 0.5 is ".5").
    while (!whole.empty() && whole.front() == '0' && static_cast<int>(whole.size()) > s.minInteger) {
        whole.erase(whole.begin());
    }
    while (static_cast<int>(whole.size()) < s.minInteger) whole.insert(whole.begin(), '0');
    if (s.thousands) whole = conversion_detail::GroupThousands(whole);
    std::string out = whole;
    if (!fraction.empty()) out += point + fraction;
    if (s.scientific) out += s.exponentLetter + ExponentText(exponent, s.exponentSign, s.exponentDigits);
    return out;
}

}  // namespace

std::string FormatFloat(const std::string& format, double value) {
    if (format.empty()) return FloatToStr(value);
    if (std::isnan(value) || std::isinf(value)) return FloatToStr(value);
    const std::vector<std::string> sections = SplitSections(format);
    std::size_t index = 0;
    bool writeMinus = false;
    if (value < 0) {
        if (sections.size() > 1 && !sections[1].empty()) {
            index = 1;
        } else {
            writeMinus = true;
        }
    }
    PictureSection section = ParseSection(sections[index]);
    // A value that rounds to zero uses the zero section when there is one.
    const std::string probe = FormatMagnitude(section, std::fabs(value));
    const bool roundsToZero = probe.find_first_of("123456789") == std::string::npos;
    if (roundsToZero && sections.size() > 2 && !sections[2].empty()) {
        section = ParseSection(sections[2]);
        return section.prefix + FormatMagnitude(section, 0.0) + section.suffix;
    }
    if (roundsToZero) writeMinus = false;
    return (writeMinus ? "-" : "") + section.prefix + probe + section.suffix;
}

std::int64_t Round(double value) {
    if (std::isnan(value) || std::fabs(value) >= 9.2233720368547758e18) InvalidFloatOperation();
    const double floor = std::floor(value);
    const double diff = value - floor;
    double result = floor;
    if (diff > 0.5) {
        result = floor + 1.0;
    } else if (diff == 0.5) {
        // Halfway: to the even neighbour.
        result = std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
    }
    return static_cast<std::int64_t>(result);
}

std::int64_t Trunc(double value) {
    if (std::isnan(value) || std::fabs(value) >= 9.2233720368547758e18) InvalidFloatOperation();
    return static_cast<std::int64_t>(std::trunc(value));
}

}  // namespace ui
