#include "platform/ui/core/sysutils.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace ui {

namespace {

constexpr double kMsecsPerDay = 86400000.0;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

[[noreturn]] void InvalidFloatOperation() { throw EInvalidOperation("Invalid floating point operation"); }

}  // namespace

const TFormatSettings& FormatSettings() {
    static const TFormatSettings settings;
    return settings;
}

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
    while (i < end && IsBlank(text[i])) ++i;
    while (end > i && IsBlank(text[end - 1])) --end;
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
    if (!TryStrToInt(text, value)) throw EConvertError(Quoted(text) + " is not a valid integer value");
    return value;
}

int StrToIntDef(const std::string& text, int fallback) {
    int value = 0;
    return TryStrToInt(text, value) ? value : fallback;
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
    while (i < end && IsBlank(text[i])) ++i;
    while (end > i && IsBlank(text[end - 1])) --end;
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
    if (!TryStrToFloat(text, value)) throw EConvertError(Quoted(text) + " is not a valid floating point value");
    return value;
}

namespace {

struct PictureSection {
    std::string prefix;      // literal text before the first placeholder
    std::string suffix;      // literal text after it (and any literal between placeholders)
    int minInteger = 0;      // '0' placeholders before the point
    int integerPlaces = 0;   // all placeholders before the point
    int minFraction = 0;     // '0' placeholders after the point
    int maxFraction = 0;     // all placeholders after the point
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

std::string GroupThousands(const std::string& digits) {
    std::string out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out.push_back(FormatSettings().ThousandSeparator);
        out.push_back(digits[i]);
    }
    return out;
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
    if (s.thousands) whole = GroupThousands(whole);
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

// --- dates and times --------------------------------------------------------------------------

namespace {

// Days from 1970-01-01 in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0));
}

const std::int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

// Milliseconds into the day; a fraction that rounds up to a whole day stays in the last millisecond.
int TimeMilliseconds(TDateTime value) {
    const double fraction = std::fabs(value - std::trunc(value));
    const auto ms = static_cast<int>(std::llround(fraction * kMsecsPerDay));
    return std::min(ms, static_cast<int>(kMsecsPerDay) - 1);
}

std::string Padded(int value, int width) {
    std::string text = std::to_string(value);
    while (static_cast<int>(text.size()) < width) text.insert(text.begin(), '0');
    return text;
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        return false;
    }
    value = static_cast<double>(DaysFromCivil(year, month, day) - kEpochDays);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime value = 0;
    if (!TryEncodeDate(year, month, day, value)) throw EConvertError("Invalid argument to date encode");
    return value;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999) {
        return false;
    }
    value = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMsecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    TDateTime value = 0;
    if (!TryEncodeTime(hour, minute, second, millisecond, value)) {
        throw EConvertError("Invalid argument to time encode");
    }
    return value;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    CivilFromDays(kEpochDays + Trunc(value), year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
    int ms = TimeMilliseconds(value);
    hour = ms / 3600000;
    ms %= 3600000;
    minute = ms / 60000;
    ms %= 60000;
    second = ms / 1000;
    millisecond = ms % 1000;
}

TDateTime Now() {
    using namespace std::chrono;
    const auto since = system_clock::now().time_since_epoch();
    const double ms = static_cast<double>(duration_cast<milliseconds>(since).count());
    return static_cast<double>(DaysFromCivil(1970, 1, 1) - kEpochDays) + ms / kMsecsPerDay;
}

std::string FormatDateTime(const std::string& format, TDateTime value) {
    int year, month, day, hour, minute, second, ms;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, ms);
    std::string out;
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '\'' || c == '"') {
            const std::size_t close = format.find(c, i + 1);
            out += format.substr(i + 1, (close == std::string::npos ? format.size() : close) - i - 1);
            i = close == std::string::npos ? format.size() : close + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < format.size() &&
               std::tolower(static_cast<unsigned char>(format[i + run])) == static_cast<unsigned char>(lower)) {
            ++run;
        }
        switch (lower) {
            case 'd': out += Padded(day, run >= 2 ? 2 : 1); break;
            case 'm': out += Padded(month, run >= 2 ? 2 : 1); break;
            case 'y': out += run <= 2 ? Padded(year % 100, 2) : Padded(year, 4); break;
            case 'h': out += Padded(hour, run >= 2 ? 2 : 1); break;
            case 'n': out += Padded(minute, run >= 2 ? 2 : 1); break;
            case 's': out += Padded(second, run >= 2 ? 2 : 1); break;
            case 'z': out += Padded(ms, run >= 3 ? 3 : 1); break;
            case '/': out += std::string(run, FormatSettings().DateSeparator); break;
            case ':': out += std::string(run, FormatSettings().TimeSeparator); break;
            default: out += format.substr(i, run); break;
        }
        i += run;
    }
    return out;
}

std::string DateToStr(TDateTime value) { return FormatDateTime(FormatSettings().ShortDateFormat, value); }
std::string TimeToStr(TDateTime value) { return FormatDateTime(FormatSettings().LongTimeFormat, value); }

std::string DateTimeToStr(TDateTime value) {
    std::string text = DateToStr(value);
    if (TimeMilliseconds(value) != 0) text += " " + TimeToStr(value);
    return text;
}

namespace {

// Splits "12/3/2024" into its numbers; false when anything but digits and separators appears.
bool SplitNumbers(const std::string& text, char separator, std::vector<int>& numbers, std::string& rest) {
    numbers.clear();
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    while (i < text.size()) {
        std::size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        if (i == start || i - start > 4) return false;
        numbers.push_back(std::stoi(text.substr(start, i - start)));
        if (i < text.size() && text[i] == separator) {
            ++i;
            continue;
        }
        break;
    }
    rest = Trim(text.substr(i));
    return !numbers.empty();
}

}  // namespace

bool TryStrToDate(const std::string& text, TDateTime& value) {
    std::vector<int> numbers;
    std::string rest;
    if (!SplitNumbers(text, FormatSettings().DateSeparator, numbers, rest) || !rest.empty() || numbers.size() != 3) {
        return false;
    }
    // The order of day, month and year follows the short date format.
    int day = 0, month = 0, year = 0;
    std::string order;
    for (const char c : FormatSettings().ShortDateFormat) {
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if ((lower == 'd' || lower == 'm' || lower == 'y') && order.find(lower) == std::string::npos) {
            order.push_back(lower);
        }
    }
    for (std::size_t k = 0; k < order.size() && k < 3; ++k) {
        if (order[k] == 'd') day = numbers[k];
        if (order[k] == 'm') month = numbers[k];
        if (order[k] == 'y') year = numbers[k];
    }
    // Two-digit years fall into 1950..2049.
    if (year < 100) year += year < 50 ? 2000 : 1900;
    return TryEncodeDate(year, month, day, value);
}

bool TryStrToTime(const std::string& text, TDateTime& value) {
    std::string body = Trim(text);
    int addHours = 0;
    bool twelveHour = false;
    if (body.size() >= 2) {
        const std::string tail = UpperCase(body.substr(body.size() - 2));
        if (tail == "AM" || tail == "PM") {
            twelveHour = true;
            addHours = tail == "PM" ? 12 : 0;
            body = Trim(body.substr(0, body.size() - 2));
        }
    }
    std::vector<int> numbers;
    std::string rest;
    if (!SplitNumbers(body, FormatSettings().TimeSeparator, numbers, rest) || numbers.size() < 2 ||
        numbers.size() > 3) {
        return false;
    }
    int ms = 0;
    if (!rest.empty()) {
        // Milliseconds after the seconds: ".zzz".
        if (numbers.size() != 3 || rest[0] != FormatSettings().DecimalSeparator || rest.size() < 2 ||
            rest.size() > 4 || !std::all_of(rest.begin() + 1, rest.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
            return false;
        }
        ms = std::stoi(rest.substr(1));
    }
    int hour = numbers[0];
    if (twelveHour) {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + addHours;
    }
    return TryEncodeTime(hour, numbers[1], numbers.size() > 2 ? numbers[2] : 0, ms, value);
}

TDateTime StrToDate(const std::string& text) {
    TDateTime value = 0;
    if (!TryStrToDate(text, value)) throw EConvertError(Quoted(text) + " is not a valid date");
    return value;
}

TDateTime StrToTime(const std::string& text) {
    TDateTime value = 0;
    if (!TryStrToTime(text, value)) throw EConvertError(Quoted(text) + " is not a valid time");
    return value;
}

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

// --- Windows-1252 -----------------------------------------------------------------------------

namespace {

// Code points of the bytes 0x80..0x9F; the five bytes 1252 leaves undefined map to the C1
// controls of the same number, so that they survive a round trip.
constexpr std::array<char32_t, 32> kCp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at `i`; returns its length, 0 for a malformed byte.
std::size_t DecodeUtf8(const std::string& s, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t length;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string Utf8ToCp1252(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        const std::size_t length = DecodeUtf8(utf8, i, cp);
        if (length == 0) {
            out.push_back('?');
            ++i;
            continue;
        }
        i += length;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        char byte = '?';
        for (std::size_t k = 0; k < kCp1252High.size(); ++k) {
            if (kCp1252High[k] == cp) byte = static_cast<char>(0x80 + k);
        }
        out.push_back(byte);
    }
    return out;
}

std::string Cp1252ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        AppendUtf8(out, b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : static_cast<char32_t>(b));
    }
    return out;
}

// --- Format -----------------------------------------------------------------------------------

std::string FormatV(const std::string& format, const std::vector<TVarRec>& args) {
    auto fail = [&]() -> void { throw EConvertError("Format '" + format + "' invalid or incompatible with argument"); };
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out.push_back(format[i]);
            continue;
        }
        if (++i >= format.size()) fail();
        if (format[i] == '%') {
            out.push_back('%');
            continue;
        }
        auto number = [&]() {
            int n = -1;
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) {
                n = (n < 0 ? 0 : n * 10) + (format[i] - '0');
                ++i;
            }
            return n;
        };
        int first = number();
        if (i < format.size() && format[i] == ':') {
            if (first < 0) fail();
            next = static_cast<std::size_t>(first);
            ++i;
            first = -1;
        }
        bool left = false;
        if (first < 0 && i < format.size() && format[i] == '-') {
            left = true;
            ++i;
        }
        const int width = first >= 0 ? first : number();
        int precision = -1;
        if (i < format.size() && format[i] == '.') {
            ++i;
            precision = std::max(0, number());
        }
        if (i >= format.size() || next >= args.size()) fail();
        const char type = static_cast<char>(std::tolower(static_cast<unsigned char>(format[i])));
        const TVarRec& arg = args[next++];
        const auto* integer = std::get_if<std::int64_t>(&arg);
        const auto* real = std::get_if<double>(&arg);
        const auto* text = std::get_if<std::string>(&arg);
        std::string piece;
        char buffer[512];
        switch (type) {
            case 'd':
            case 'u': {
                if (integer == nullptr) fail();
                const std::int64_t v = type == 'u' ? static_cast<std::int64_t>(static_cast<std::uint32_t>(*integer)) : *integer;
                std::string digits = std::to_string(v < 0 ? -v : v);
                while (precision > 0 && static_cast<int>(digits.size()) < precision) digits.insert(digits.begin(), '0');
                piece = (v < 0 ? "-" : "") + digits;
                break;
            }
            case 'x':
                if (integer == nullptr) fail();
                // Negative values print as their 32-bit pattern, as the class library's integers do.
                piece = IntToHex(*integer < 0 ? static_cast<std::uint32_t>(*integer) : static_cast<std::uint64_t>(*integer),
                                 std::max(precision, 0));
                break;
            case 's':
                if (text == nullptr) fail();
                piece = precision >= 0 ? text->substr(0, static_cast<std::size_t>(precision)) : *text;
                break;
            case 'f':
            case 'e':
            case 'g':
            case 'n': {
                if (text != nullptr) fail();
                const double v = real != nullptr ? *real : static_cast<double>(*integer);
                if (type == 'f' || type == 'n') {
                    std::snprintf(buffer, sizeof buffer, "%.*f", precision < 0 ? 2 : precision, v);
                    piece = buffer;
                    if (type == 'n') {
                        const bool negative = !piece.empty() && piece[0] == '-';
                        if (negative) piece.erase(piece.begin());
                        const std::size_t dot = piece.find('.');
                        piece = (negative ? "-" : "") + GroupThousands(piece.substr(0, dot)) +
                                (dot == std::string::npos ? "" : piece.substr(dot));
                    }
                } else if (type == 'e') {
                    std::snprintf(buffer, sizeof buffer, "%.*E", (precision < 0 ? 15 : std::max(precision, 1)) - 1, v);
                    piece = buffer;
                    // Three exponent digits, as the class library writes them.
                    const std::size_t e = piece.find('E');
                    std::string exp = piece.substr(e + 2);
                    while (exp.size() < 3) exp.insert(exp.begin(), '0');
                    piece = piece.substr(0, e + 2) + exp;
                } else {
                    piece = FloatToStr(v);
                }
                break;
            }
            default:
                fail();
        }
        if (width > 0 && static_cast<int>(piece.size()) < width) {
            const std::string pad(static_cast<std::size_t>(width) - piece.size(), ' ');
            piece = left ? piece + pad : pad + piece;
        }
        out += piece;
    }
    return out;
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
                 (static_cast<unsigned char>(text[i + 2]) & 0x3Fu) << 6 | (static_cast<unsigned char>(text[i + 3]) & 0x3Fu);
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
