#include "platform/ui/core/dates.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/ui/core/conversion_detail.h"
#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/format_settings.h"
#include "platform/ui/core/numbers.h"
#include "platform/ui/core/text.h"

namespace ui {

namespace {

constexpr double kMsecsPerDay = 86400000.0;

}  // namespace

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
        case 'd':
            out += Padded(day, run >= 2 ? 2 : 1);
            break;
        case 'm':
            out += Padded(month, run >= 2 ? 2 : 1);
            break;
        case 'y':
            out += run <= 2 ? Padded(year % 100, 2) : Padded(year, 4);
            break;
        case 'h':
            out += Padded(hour, run >= 2 ? 2 : 1);
            break;
        case 'n':
            out += Padded(minute, run >= 2 ? 2 : 1);
            break;
        case 's':
            out += Padded(second, run >= 2 ? 2 : 1);
            break;
        case 'z':
            out += Padded(ms, run >= 3 ? 3 : 1);
            break;
        case '/':
            out += std::string(run, FormatSettings().DateSeparator);
            break;
        case ':':
            out += std::string(run, FormatSettings().TimeSeparator);
            break;
        default:
            out += format.substr(i, run);
            break;
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
    while (i < text.size() && conversion_detail::IsBlank(text[i])) ++i;
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
        if (numbers.size() != 3 || rest[0] != FormatSettings().DecimalSeparator || rest.size() < 2 || rest.size() > 4 ||
            !std::all_of(rest.begin() + 1, rest.end(),
                         [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
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
    if (!TryStrToDate(text, value)) throw EConvertError(conversion_detail::Quoted(text) + " is not a valid date");
    return value;
}

TDateTime StrToTime(const std::string& text) {
    TDateTime value = 0;
    if (!TryStrToTime(text, value)) throw EConvertError(conversion_detail::Quoted(text) + " is not a valid time");
    return value;
}

}  // namespace ui
