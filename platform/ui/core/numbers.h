// Integer and floating-point conversion, picture formats and the class library's rounding.
// Conversion failures raise EConvertError with the class library's messages; the Try* forms
// report them as a false result instead.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/core/exceptions.h"

namespace ui {

// --- integers ---------------------------------------------------------------------------------
std::string IntToStr(std::int64_t value);
std::string IntToHex(std::uint64_t value, int digits);
// Decimal with optional sign, or hexadecimal with "$" or "0x"; surrounding blanks are allowed.
// Raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const std::string& text);
int StrToIntDef(const std::string& text, int fallback);
bool TryStrToInt(const std::string& text, int& value);
// number * numerator / denominator with a 64-bit product, rounded half away from zero; -1 for a
// zero denominator or a result outside 32 bits, as the platform's MulDiv answers.
int MulDiv(int number, int numerator, int denominator);

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

}  // namespace ui
