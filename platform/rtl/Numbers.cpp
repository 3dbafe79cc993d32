// Number <-> text conversions and Currency arithmetic.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/internal/DecimalText.h"

namespace vel {

using detail::TDecimal;

namespace {

[[noreturn]] void InvalidInteger(std::string_view s) {
    throw EConvertError("'" + std::string(s) + "' is not a valid integer value.");
}

[[noreturn]] void InvalidFloat(std::string_view s) {
    throw EConvertError("'" + std::string(s) + "' is not a valid floating point value.");
}

// Reads [blanks][sign](digits | $hex | 0xhex); the magnitude must fit limit, or hexLimit for
// hex (hex may set the sign bit: "$FFFFFFFF" is -1 as a 32-bit value).
bool ParseInteger(std::string_view s, std::uint64_t limitPos, std::uint64_t limitNeg,
                  std::uint64_t hexLimit, std::uint64_t& magnitude, bool& negative, bool& hex) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    negative = false;
    hex = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size()) return false;
    std::uint64_t v = 0;
    const std::uint64_t limit = hex ? hexLimit : (negative ? limitNeg : limitPos);
    for (; i < s.size(); ++i) {
        const char c = s[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        const unsigned base = hex ? 16 : 10;
        if (v > (limit - d) / base) return false;
        v = v * base + d;
    }
    magnitude = v;
    return true;
}

bool TryInt64(std::string_view s, std::int64_t& value) {
    std::uint64_t mag;
    bool neg, hex;
    if (!ParseInteger(s, INT64_MAX, std::uint64_t{1} << 63, UINT64_MAX, mag, neg, hex))
        return false;
    const std::uint64_t bits = neg ? 0 - mag : mag;
    value = static_cast<std::int64_t>(bits);
    return true;
}

bool TryInt32(std::string_view s, std::int32_t& value) {
    std::uint64_t mag;
    bool neg, hex;
    if (!ParseInteger(s, INT32_MAX, std::uint64_t{1} << 31, UINT32_MAX, mag, neg, hex))
        return false;
    const std::uint32_t bits = static_cast<std::uint32_t>(neg ? 0 - mag : mag);
    value = static_cast<std::int32_t>(bits);
    return true;
}

bool DecimalToDouble(const TDecimal& d, double& value) {
    if (d.Kind == TDecimal::TKind::NaN) {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (d.Kind == TDecimal::TKind::Inf) {
        value = d.Negative ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    if (d.Digits.empty()) {
        value = 0;
        return true;
    }
    // Beyond a double's range either way; from_chars would refuse both.
    if (d.Exponent > 310) return false;
    if (d.Exponent < -330) {
        value = d.Negative ? -0.0 : 0.0;
        return true;
    }
    std::string text = "0." + d.Digits + "e" + std::to_string(d.Exponent);
    double v = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        if (d.Exponent <= 0) {
            v = 0;  // underflow to zero
        } else {
            // FloatToStr rounds the largest double up to 1.79769313486232E308; read that back.
            std::string digits = d.Digits, top = "179769313486232";
            digits.resize(std::max(digits.size(), top.size()), '0');
            top.resize(digits.size(), '0');
            if (d.Exponent != 309 || digits > top) return false;
            v = std::numeric_limits<double>::max();
        }
    } else if (res.ec != std::errc()) {
        return false;
    }
    value = d.Negative ? -v : v;
    return true;
}

// Exact: digits to an integer count of 1/10000, rounding the fifth decimal half away.
bool DecimalToCurrency(TDecimal d, Currency& value) {
    if (d.Kind != TDecimal::TKind::Finite) return false;
    detail::RoundToDecimals(d, 4);
    if (d.Digits.empty()) {
        value = Currency{};
        return true;
    }
    const long digitsTotal = static_cast<long>(d.Exponent) + 4;  // digits of the scaled integer
    if (digitsTotal > 19) return false;
    unsigned __int128 v = 0;
    for (long i = 0; i < digitsTotal; ++i) {
        const char c =
            i < static_cast<long>(d.Digits.size()) ? d.Digits[static_cast<std::size_t>(i)] : '0';
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    using u128 = unsigned __int128;
    const u128 limit = d.Negative ? (u128{1} << 63) : (u128{1} << 63) - 1;
    if (v > limit) return false;
    value.Value = d.Negative ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(v))
                             : static_cast<std::int64_t>(v);
    return true;
}

std::int64_t CheckedCurrency(__int128 v, const char* op) {
    if (v > INT64_MAX || v < INT64_MIN)
        throw EIntOverflow(std::string("Currency overflow in ") + op + ".");
    return static_cast<std::int64_t>(v);
}

// n / d rounded half away from zero.
__int128 DivRound(__int128 n, __int128 d) {
    __int128 q = n / d;
    __int128 r = n % d;
    if (r < 0) r = -r;
    const __int128 ad = d < 0 ? -d : d;
    if (2 * r >= ad) q += ((n < 0) != (d < 0)) ? -1 : 1;
    return q;
}

}  // namespace

// ---- integers -------------------------------------------------------------------------------

std::string IntToStr(std::int64_t value) {
    return std::to_string(value);
}
std::string UIntToStr(std::uint64_t value) {
    return std::to_string(value);
}

std::string IntToHex(std::int64_t value, int digits) {
    static const char hexDigits[] = "0123456789ABCDEF";
    std::uint64_t v = static_cast<std::uint64_t>(value);
    std::string out;
    do {
        out.insert(out.begin(), hexDigits[v & 15]);
        v >>= 4;
    } while (v);
    if (static_cast<int>(out.size()) < digits) out.insert(0, std::size_t(digits) - out.size(), '0');
    return out;
}

std::int32_t StrToInt(std::string_view s) {
    std::int32_t v;
    if (!TryInt32(s, v)) InvalidInteger(s);
    return v;
}

std::int64_t StrToInt64(std::string_view s) {
    std::int64_t v;
    if (!TryInt64(s, v)) InvalidInteger(s);
    return v;
}

std::int32_t StrToIntDef(std::string_view s, std::int32_t def) {
    std::int32_t v;
    return TryInt32(s, v) ? v : def;
}

std::int64_t StrToInt64Def(std::string_view s, std::int64_t def) {
    std::int64_t v;
    return TryInt64(s, v) ? v : def;
}

bool TryStrToInt(std::string_view s, std::int32_t& value) {
    return TryInt32(s, value);
}
bool TryStrToInt64(std::string_view s, std::int64_t& value) {
    return TryInt64(s, value);
}

// ---- floating point -------------------------------------------------------------------------

std::string FloatToStr(double value) {
    return FloatToStr(value, FormatSettings());
}

std::string FloatToStr(double value, const TFormatSettings& settings) {
    return detail::DecimalToText(detail::DecimalFromDouble(value, 15), TFloatFormat::ffGeneral, 15,
                                 0, settings);
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings) {
    // Fixed layouts never show more of a double than its 15 reliable digits.
    const bool fixed = format != TFloatFormat::ffGeneral && format != TFloatFormat::ffExponent;
    const int significant = std::min(std::max(precision, 1), fixed ? 15 : 17);
    return detail::DecimalToText(detail::DecimalFromDouble(value, significant), format, precision,
                                 digits, settings);
}

std::string FormatFloat(std::string_view format, double value) {
    return FormatFloat(format, value, FormatSettings());
}

std::string FormatFloat(std::string_view format, double value, const TFormatSettings& settings) {
    if (format.empty()) return FloatToStr(value, settings);
    return detail::DecimalToPicture(detail::DecimalFromDouble(value, 15), format, settings);
}

bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& settings) {
    TDecimal d;
    return detail::ParseDecimal(s, settings.DecimalSeparator, d) && DecimalToDouble(d, value);
}

bool TryStrToFloat(std::string_view s, double& value) {
    return TryStrToFloat(s, value, FormatSettings());
}

double StrToFloat(std::string_view s, const TFormatSettings& settings) {
    double v;
    if (!TryStrToFloat(s, v, settings)) InvalidFloat(s);
    return v;
}

double StrToFloat(std::string_view s) {
    return StrToFloat(s, FormatSettings());
}

double StrToFloatDef(std::string_view s, double def, const TFormatSettings& settings) {
    double v;
    return TryStrToFloat(s, v, settings) ? v : def;
}

double StrToFloatDef(std::string_view s, double def) {
    return StrToFloatDef(s, def, FormatSettings());
}

// ---- currency -------------------------------------------------------------------------------

Currency CurrFromDouble(double value) {
    const double scaled = value * 10000.0;
    if (std::isfinite(scaled) && std::fabs(scaled) < 9e15) {
        // Far from a half: the binary product rounds the same way the decimal text would.
        const double frac = std::fabs(scaled - std::trunc(scaled));
        if (std::fabs(frac - 0.5) > 1e-3) return Currency{std::llround(scaled)};
    }
    Currency c;
    if (!DecimalToCurrency(detail::DecimalFromDouble(value, 15), c))
        throw EConvertError("'" + FloatToStr(value) + "' is out of the currency range.");
    return c;
}

double CurrToDouble(Currency value) {
    return static_cast<double>(value.Value) / 10000.0;
}

Currency CurrFromInt(std::int64_t value) {
    return Currency{CheckedCurrency(static_cast<__int128>(value) * 10000, "conversion")};
}

Currency operator+(Currency a, Currency b) {
    return Currency{CheckedCurrency(static_cast<__int128>(a.Value) + b.Value, "addition")};
}

Currency operator-(Currency a, Currency b) {
    return Currency{CheckedCurrency(static_cast<__int128>(a.Value) - b.Value, "subtraction")};
}

Currency operator-(Currency a) {
    return Currency{CheckedCurrency(-static_cast<__int128>(a.Value), "negation")};
}

Currency operator*(Currency a, Currency b) {
    const __int128 p = static_cast<__int128>(a.Value) * b.Value;
    return Currency{CheckedCurrency(DivRound(p, 10000), "multiplication")};
}

Currency operator*(Currency a, std::int64_t b) {
    return Currency{CheckedCurrency(static_cast<__int128>(a.Value) * b, "multiplication")};
}

Currency operator/(Currency a, Currency b) {
    if (b.Value == 0) throw EZeroDivide("Currency division by zero.");
    return Currency{
        CheckedCurrency(DivRound(static_cast<__int128>(a.Value) * 10000, b.Value), "division")};
}

std::string CurrToStr(Currency value) {
    return CurrToStr(value, FormatSettings());
}

std::string CurrToStr(Currency value, const TFormatSettings& settings) {
    return detail::DecimalToText(detail::DecimalFromCurrency(value), TFloatFormat::ffGeneral, 19, 0,
                                 settings);
}

std::string CurrToStrF(Currency value, TFloatFormat format, int digits) {
    return CurrToStrF(value, format, digits, FormatSettings());
}

std::string CurrToStrF(Currency value, TFloatFormat format, int digits,
                       const TFormatSettings& settings) {
    return detail::DecimalToText(detail::DecimalFromCurrency(value), format, 19, digits, settings);
}

std::string FormatCurr(std::string_view format, Currency value) {
    return FormatCurr(format, value, FormatSettings());
}

std::string FormatCurr(std::string_view format, Currency value, const TFormatSettings& settings) {
    if (format.empty()) return CurrToStr(value, settings);
    return detail::DecimalToPicture(detail::DecimalFromCurrency(value), format, settings);
}

bool TryStrToCurr(std::string_view s, Currency& value, const TFormatSettings& settings) {
    TDecimal d;
    return detail::ParseDecimal(s, settings.DecimalSeparator, d) && DecimalToCurrency(d, value);
}

bool TryStrToCurr(std::string_view s, Currency& value) {
    return TryStrToCurr(s, value, FormatSettings());
}

Currency StrToCurr(std::string_view s, const TFormatSettings& settings) {
    Currency c;
    if (!TryStrToCurr(s, c, settings)) InvalidFloat(s);
    return c;
}

Currency StrToCurr(std::string_view s) {
    return StrToCurr(s, FormatSettings());
}

Currency StrToCurrDef(std::string_view s, Currency def) {
    Currency c;
    return TryStrToCurr(s, c) ? c : def;
}

// ---- booleans -------------------------------------------------------------------------------

std::string BoolToStr(bool value, bool useBoolStrs) {
    if (useBoolStrs) return value ? "True" : "False";
    return value ? "-1" : "0";
}

bool TryStrToBool(std::string_view s, bool& value) {
    if (SameText(s, "True")) {
        value = true;
        return true;
    }
    if (SameText(s, "False")) {
        value = false;
        return true;
    }
    double d;
    if (TryStrToFloat(s, d) && !std::isnan(d)) {
        value = d != 0;
        return true;
    }
    return false;
}

bool StrToBool(std::string_view s) {
    bool b;
    if (!TryStrToBool(s, b))
        throw EConvertError("'" + std::string(s) + "' is not a valid boolean value.");
    return b;
}

bool StrToBoolDef(std::string_view s, bool def) {
    bool b;
    return TryStrToBool(s, b) ? b : def;
}

}  // namespace vel
