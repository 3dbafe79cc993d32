#pragma once
// Text conversions of field values, in one place so that every field class formats and parses
// the same way (through the run-time library's locale-aware routines).
#include <string>

#include "platform/db/DBTypes.h"
#include "platform/rtl/Types.h"

namespace vel::fieldtext {

std::string FloatText(double v, const std::string& format, bool currency, int precision);
std::string CurrencyText(Currency v, const std::string& format, bool currency);
std::string DateTimeText(TDateTime v, const std::string& format, TFieldType type);
// Raise EConvertError naming the text when it is not a number / date.
double TextToFloat(const std::string& text);
std::int64_t TextToInt(const std::string& text);
Currency TextToCurrency(const std::string& text);
TDateTime TextToDateTime(const std::string& text, TFieldType type);
// Double to Currency rounding half away from zero.
Currency FloatToCurrency(double v);
double CurrencyToFloat(Currency v);

}  // namespace vel::fieldtext
