// Run-time helpers of the class library: number, date and time conversion and formatting,
// rounding, upper-case conversion, Format, and the Windows-1252 boundary conversion.
//
// The format settings are fixed on Linux so that a program behaves the same on every machine:
// decimal separator '.', thousand separator ',', short date "dd/mm/yyyy", long time "hh:nn:ss".
// Conversion failures raise EConvertError with the class library's messages; the Try* forms
// report them as a false result instead.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/ui/core/exceptions.h"

namespace ui {

// Days since 1899-12-30; the fraction is the time of day (its absolute value for negative dates).
using TDateTime = double;

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

// --- integers ---------------------------------------------------------------------------------
std::string IntToStr(std::int64_t value);
std::string IntToHex(std::uint64_t value, int digits);
// Decimal with optional sign, or hexadecimal with "$" or "0x"; surrounding blanks are allowed.
// Raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const std::string& text);
int StrToIntDef(const std::string& text, int fallback);
bool TryStrToInt(const std::string& text, int& value);

// --- floating point ---------------------------------------------------------------------------
// The class library's shortest general form with 15 significant digits ("0.1", "1E20", "-2.5E-6").
std::string FloatToStr(double value);
// Raises EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(const std::string& text);
bool TryStrToFloat(const std::string& text, double& value);
// Picture formats: sections "positive;negative;zero", placeholders '0' and '#', '.', ',' for
// thousands, "E+"/"E-"/"e+"/"e-" exponents, quoted literals. An empty format gives FloatToStr.
// Raises EConvertError on a malformed format.
std::string FormatFloat(const std::string& format, double value);

// Round half to even, as the class library's Round does. Raises EInvalidOperation
// "Invalid floating point operation" for values outside the 64-bit range and for NaN.
std::int64_t Round(double value);
// Truncation toward zero, with the same range rule.
std::int64_t Trunc(double value);

// --- dates and times --------------------------------------------------------------------------
// Raise EConvertError "Invalid argument to date encode" / "Invalid argument to time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
TDateTime Now();

// Format letters: d dd m mm yy yyyy h hh n nn s ss z zzz, "/" and ":" for the separators,
// text in quotes verbatim; anything else is copied.
std::string FormatDateTime(const std::string& format, TDateTime value);
std::string DateToStr(TDateTime value);      // short date format
std::string TimeToStr(TDateTime value);      // long time format
std::string DateTimeToStr(TDateTime value);  // date, then the time when it is not midnight
// Raise EConvertError "'<text>' is not a valid date" / "... time".
TDateTime StrToDate(const std::string& text);
TDateTime StrToTime(const std::string& text);
bool TryStrToDate(const std::string& text, TDateTime& value);
bool TryStrToTime(const std::string& text, TDateTime& value);

// --- text -------------------------------------------------------------------------------------
std::string UpperCase(const std::string& text);      // ASCII letters only
std::string LowerCase(const std::string& text);      // ASCII letters only
std::string AnsiUpperCase(const std::string& text);  // every letter of the UTF-8 text
std::string AnsiLowerCase(const std::string& text);
// Compares two UTF-8 texts ignoring case; <0, 0, >0.
int AnsiCompareText(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);  // ASCII case-insensitive
std::string Trim(const std::string& text);

// Windows-1252 at the byte boundaries (files, device payloads). A character 1252 cannot hold,
// and every byte of malformed UTF-8, becomes "?".
std::string Utf8ToCp1252(const std::string& utf8);
std::string Cp1252ToUtf8(const std::string& bytes);
// UTF-8 as UTF-16 code units, for APIs that take wide strings; broken sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& utf8);

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
