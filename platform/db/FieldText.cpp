#include "platform/db/FieldText.h"

#include <cmath>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

namespace vel::fieldtext {

std::string FloatText(double v, const std::string& format, bool currency, int precision) {
    if (!format.empty()) return FormatFloat(format, v);
    if (currency) return FloatToStrF(v, TFloatFormat::ffCurrency, precision, FormatSettings().CurrencyDecimals);
    return FloatToStrF(v, TFloatFormat::ffGeneral, precision, 0);
}

std::string CurrencyText(Currency v, const std::string& format, bool currency) {
    if (!format.empty()) return FormatCurr(format, v);
    if (currency) return CurrToStrF(v, TFloatFormat::ffCurrency, FormatSettings().CurrencyDecimals);
    return CurrToStr(v);
}

std::string DateTimeText(TDateTime v, const std::string& format, TFieldType type) {
    if (!format.empty()) return FormatDateTime(format, v);
    if (type == TFieldType::ftDate) return DateToStr(v);
    if (type == TFieldType::ftTime) return TimeToStr(v);
    // "c": the date, and the time when there is one.
    return FormatDateTime("c", v);
}

double TextToFloat(const std::string& text) { return StrToFloat(Trim(text)); }

std::int64_t TextToInt(const std::string& text) { return StrToInt64(Trim(text)); }

Currency TextToCurrency(const std::string& text) { return StrToCurr(Trim(text)); }

TDateTime TextToDateTime(const std::string& text, TFieldType type) {
    std::string t = Trim(text);
    if (type == TFieldType::ftDate) return StrToDate(t);
    if (type == TFieldType::ftTime) return StrToTime(t);
    return StrToDateTime(t);
}

Currency FloatToCurrency(double v) { return CurrFromDouble(v); }

double CurrencyToFloat(Currency v) { return CurrToDouble(v); }

}  // namespace vel::fieldtext
