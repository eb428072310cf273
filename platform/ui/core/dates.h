// Dates and times as the class library keeps them (days since 1899-12-30 with the time of day as
// the fraction), their encoding, decoding, formatting and parsing. Failures raise EConvertError
// with the class library's messages; the Try* forms report them as a false result instead.
#pragma once

#include <string>

#include "platform/ui/core/exceptions.h"

namespace ui {

// Days since 1899-12-30; the fraction is the time of day (its absolute value for negative dates).
using TDateTime = double;

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

}  // namespace ui
