// Format: the classic printf-like directives over a list of tagged arguments.
#include <algorithm>
#include <limits>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/rtl/Variant.h"
#include "platform/rtl/internal/DecimalText.h"

namespace vel {

using detail::TDecimal;
using TKind = TFormatArg::TKind;

namespace {

class TFormatter {
public:
    TFormatter(std::string_view fmt, std::span<const TFormatArg> args, const TFormatSettings& fs)
        : FFmt(fmt), FArgs(args), FSettings(fs) {}

    std::string Run() {
        std::string out;
        out.reserve(FFmt.size() + 16);
        std::size_t i = 0;
        while (i < FFmt.size()) {
            const std::size_t pct = FFmt.find('%', i);
            if (pct == std::string_view::npos) {
                out.append(FFmt.substr(i));
                break;
            }
            out.append(FFmt.substr(i, pct - i));
            i = pct + 1;
            if (i < FFmt.size() && FFmt[i] == '%') {
                out += '%';
                ++i;
                continue;
            }
            Directive(i, out);
        }
        return out;
    }

private:
    [[noreturn]] void Invalid() const {
        throw EConvertError("Format '" + std::string(FFmt) +
                            "' invalid or incompatible with argument.");
    }
    [[noreturn]] void Missing() const {
        throw EConvertError("No argument for format '" + std::string(FFmt) + "'.");
    }

    const TFormatArg& Next() {
        if (FIndex >= FArgs.size()) Missing();
        return FArgs[FIndex++];
    }

    // A decimal number or '*' (the next argument, which must be an integer); -1 when absent.
    long Number(std::size_t& i) {
        if (i < FFmt.size() && FFmt[i] == '*') {
            ++i;
            const TFormatArg& a = Next();
            if (a.Kind() != TKind::Int && a.Kind() != TKind::Int64) Invalid();
            return std::clamp<std::int64_t>(a.IntValue(), 0, 65'535);
        }
        if (i >= FFmt.size() || FFmt[i] < '0' || FFmt[i] > '9') return -1;
        long v = 0;
        for (; i < FFmt.size() && FFmt[i] >= '0' && FFmt[i] <= '9'; ++i)
            v = std::min(v * 10 + (FFmt[i] - '0'), 65'535L);
        return v;
    }

    void Directive(std::size_t& i, std::string& out) {
        long width = Number(i);
        if (i < FFmt.size() && FFmt[i] == ':') {
            ++i;
            if (width < 0) Invalid();
            FIndex = static_cast<std::size_t>(width);
            width = -1;
        }
        bool left = false;
        if (width < 0 && i < FFmt.size() && FFmt[i] == '-') {
            left = true;
            ++i;
        }
        if (width < 0) width = Number(i);
        long precision = -1;
        if (i < FFmt.size() && FFmt[i] == '.') {
            ++i;
            precision = Number(i);
            if (precision < 0) precision = 0;
        }
        if (i >= FFmt.size()) Invalid();
        const char type =
            static_cast<char>(FFmt[i] >= 'A' && FFmt[i] <= 'Z' ? FFmt[i] + 32 : FFmt[i]);
        ++i;
        std::string text = Convert(type, precision, Next());
        if (width > 0) {
            const std::size_t len = Utf8Length(text);
            if (len < static_cast<std::size_t>(width)) {
                const std::size_t pad = static_cast<std::size_t>(width) - len;
                if (left)
                    text.append(pad, ' ');
                else
                    text.insert(0, pad, ' ');
            }
        }
        out += text;
    }

    static bool IsInteger(TKind k) {
        return k == TKind::Int || k == TKind::UInt || k == TKind::Int64 || k == TKind::UInt64 ||
               k == TKind::Bool;
    }

    std::string Convert(char type, long precision, const TFormatArg& a) {
        if (a.Kind() == TKind::Variant) return ConvertVariant(type, precision, a.VariantValue());
        switch (type) {
            case 'd':
            case 'u':
            case 'x': {
                if (!IsInteger(a.Kind())) Invalid();
                bool negative = false;
                std::uint64_t mag = a.UIntValue();
                const bool signedKind = a.Kind() == TKind::Int || a.Kind() == TKind::Int64;
                if (signedKind && a.IntValue() < 0) {
                    if (type == 'd') {
                        negative = true;
                        mag = 0 - static_cast<std::uint64_t>(a.IntValue());
                    } else if (a.Kind() == TKind::Int) {
                        mag = static_cast<std::uint32_t>(a.IntValue());  // 32-bit pattern
                    }
                }
                std::string digits =
                    type == 'x' ? IntToHex(static_cast<std::int64_t>(mag)) : std::to_string(mag);
                if (precision > 0 && digits.size() < static_cast<std::size_t>(precision))
                    digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
                return negative ? "-" + digits : digits;
            }
            case 'e':
            case 'f':
            case 'g':
            case 'n':
            case 'm':
                return FloatText(type, precision, a);
            case 's': {
                std::string_view s;
                if (a.Kind() == TKind::String)
                    s = a.StringValue();
                else if (a.Kind() == TKind::Bool)
                    s = a.IntValue() ? "True" : "False";
                else
                    Invalid();
                if (precision >= 0) return Utf8Copy(s, 0, static_cast<std::size_t>(precision));
                return std::string(s);
            }
            case 'p': {
                if (a.Kind() != TKind::Pointer) Invalid();
                return IntToHex(
                    static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(a.PointerValue())),
                    static_cast<int>(sizeof(void*) * 2));
            }
            default:
                Invalid();
        }
    }

    // A variant is read as the kind the directive needs; what cannot be read that way is a
    // mismatch like any other.
    std::string ConvertVariant(char type, long precision, const Variant& v) {
        try {
            switch (type) {
                case 's': {
                    const std::string s = VarToStr(v);
                    return Convert(type, precision, TFormatArg(s));
                }
                case 'd':
                case 'u':
                case 'x':
                    return Convert(type, precision, TFormatArg(v.AsInt64()));
                case 'e':
                case 'f':
                case 'g':
                case 'n':
                case 'm':
                    if (v.VarType() == TVarType::varCurrency)
                        return Convert(type, precision, TFormatArg(v.AsCurrency()));
                    if (v.VarType() == TVarType::varInteger || v.VarType() == TVarType::varInt64)
                        return Convert(type, precision, TFormatArg(v.AsInt64()));
                    return Convert(type, precision, TFormatArg(v.AsFloat()));
                default:
                    Invalid();
            }
        } catch (const EVariantError&) {
            Invalid();
        } catch (const EConvertError& e) {
            if (e.Message().starts_with("Format '")) throw;
            Invalid();
        }
    }

    std::string FloatText(char type, long precision, const TFormatArg& a) {
        TDecimal d;
        bool exact = true;
        switch (a.Kind()) {
            case TKind::Float: {
                exact = false;
                const int significant =
                    type == 'e' || type == 'g'
                        ? static_cast<int>(std::clamp(precision < 0 ? 15L : precision, 1L, 17L))
                        : 15;
                d = detail::DecimalFromDouble(a.FloatValue(), significant);
                break;
            }
            case TKind::Currency:
                d = detail::DecimalFromCurrency(Currency{a.IntValue()});
                break;
            case TKind::Int:
            case TKind::Int64:
                d = detail::DecimalFromInteger(a.IntValue() < 0,
                                               a.IntValue() < 0
                                                   ? 0 - static_cast<std::uint64_t>(a.IntValue())
                                                   : a.UIntValue());
                break;
            case TKind::UInt:
            case TKind::UInt64:
                d = detail::DecimalFromInteger(false, a.UIntValue());
                break;
            default:
                Invalid();
        }
        switch (type) {
            case 'e':
                return detail::DecimalToText(
                    std::move(d), TFloatFormat::ffExponent,
                    precision < 0 ? 15 : static_cast<int>(std::min(precision, 20L)), 3, FSettings);
            case 'g':
                return detail::DecimalToText(
                    std::move(d), TFloatFormat::ffGeneral,
                    precision < 0 ? 15 : static_cast<int>(std::min(precision, 20L)), 0, FSettings);
            default: {
                const TFloatFormat f = type == 'f'   ? TFloatFormat::ffFixed
                                       : type == 'n' ? TFloatFormat::ffNumber
                                                     : TFloatFormat::ffCurrency;
                const int decimals = precision >= 0 ? static_cast<int>(std::min(precision, 18L))
                                     : type == 'm'  ? FSettings.CurrencyDecimals
                                                    : 2;
                return detail::DecimalToText(std::move(d), f, exact ? 20 : 18, decimals, FSettings);
            }
        }
    }

    std::string_view FFmt;
    std::span<const TFormatArg> FArgs;
    const TFormatSettings& FSettings;
    std::size_t FIndex = 0;
};

}  // namespace

std::string FormatArgs(std::string_view fmt, std::span<const TFormatArg> args,
                       const TFormatSettings& settings) {
    return TFormatter(fmt, args, settings).Run();
}

std::string Format(const std::string& fmt, std::initializer_list<TFormatArg> args) {
    return FormatArgs(fmt, std::span<const TFormatArg>(args.begin(), args.size()),
                      FormatSettings());
}

std::string Format(const std::string& fmt, std::initializer_list<TFormatArg> args,
                   const TFormatSettings& settings) {
    return FormatArgs(fmt, std::span<const TFormatArg>(args.begin(), args.size()), settings);
}

}  // namespace vel
