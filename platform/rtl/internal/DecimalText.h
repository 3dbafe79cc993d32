#pragma once
// Internal to the rtl: a number as decimal digits, the common ground of double and Currency
// formatting. Only the rtl's own sources include this.
#include <string>
#include <string_view>

#include "platform/rtl/SysUtils.h"

namespace vel::detail {

struct TDecimal {
    enum class TKind { Finite, NaN, Inf };
    TKind Kind = TKind::Finite;
    bool Negative = false;
    std::string Digits;  // no leading or trailing zeros; empty for zero
    int Exponent = 0;    // value = 0.Digits x 10^Exponent

    bool IsZero() const { return Kind == TKind::Finite && Digits.empty(); }
};

// significant: 1..17 digits, correctly rounded from the binary value.
TDecimal DecimalFromDouble(double value, int significant);
TDecimal DecimalFromCurrency(Currency value);
TDecimal DecimalFromInteger(bool negative, std::uint64_t magnitude);
// Both round halves away from zero; a result of zero loses its sign.
void RoundToDecimals(TDecimal& d, int decimals);
void RoundToSignificant(TDecimal& d, int significant);

// The FloatToStrF layouts. precision bounds the significant digits and, for fixed, number
// and currency, the integer digits before the general format takes over.
std::string DecimalToText(TDecimal d, TFloatFormat format, int precision, int digits,
                          const TFormatSettings& fs);
// The FormatFloat picture language.
std::string DecimalToPicture(const TDecimal& d, std::string_view picture,
                             const TFormatSettings& fs);

// Parses [sign] digits [sep digits] [E [sign] digits] with surrounding blanks into digits
// and exponent; false when malformed. Used by StrToFloat and StrToCurr.
bool ParseDecimal(std::string_view s, char decimalSeparator, TDecimal& out);

}  // namespace vel::detail
