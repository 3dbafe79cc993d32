#include "platform/rtl/internal/DecimalText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

namespace vel::detail {

namespace {

void StripTrailingZeros(TDecimal& d) {
    std::size_t n = d.Digits.size();
    while (n > 0 && d.Digits[n - 1] == '0') --n;
    d.Digits.resize(n);
    std::size_t lead = 0;
    while (lead < d.Digits.size() && d.Digits[lead] == '0') ++lead;
    if (lead > 0) {
        d.Digits.erase(0, lead);
        d.Exponent -= static_cast<int>(lead);
    }
    if (d.Digits.empty()) {
        d.Exponent = 0;
        d.Negative = false;
    }
}

// Keeps the first keep digits, rounding half away from zero.
void RoundAt(TDecimal& d, long keep) {
    if (d.Kind != TDecimal::TKind::Finite || d.Digits.empty()) return;
    if (keep >= static_cast<long>(d.Digits.size())) return;
    if (keep < 0) {
        d.Digits.clear();
        StripTrailingZeros(d);
        return;
    }
    const bool up = d.Digits[static_cast<std::size_t>(keep)] >= '5';
    d.Digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        long i = keep - 1;
        while (i >= 0 && d.Digits[static_cast<std::size_t>(i)] == '9') {
            d.Digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        } else {
            ++d.Digits[static_cast<std::size_t>(i)];
        }
    }
    StripTrailingZeros(d);
}

std::string SpecialText(const TDecimal& d) {
    if (d.Kind == TDecimal::TKind::NaN) return "NAN";
    return d.Negative ? "-INF" : "INF";
}

// Digit i (0-based from the first significant digit), '0' beyond the stored ones.
char DigitAt(const TDecimal& d, long i) {
    return i >= 0 && i < static_cast<long>(d.Digits.size()) ? d.Digits[static_cast<std::size_t>(i)]
                                                            : '0';
}

void AppendExponent(std::string& out, int exponent, bool plusSign, int minDigits) {
    if (exponent < 0) {
        out += '-';
        exponent = -exponent;
    } else if (plusSign) {
        out += '+';
    }
    std::string e = std::to_string(exponent);
    if (static_cast<int>(e.size()) < minDigits) out.append(minDigits - e.size(), '0');
    out += e;
}

// Integer digits of a value already rounded to its decimals, grouped when sep is non-zero.
void AppendIntegerPart(std::string& out, const TDecimal& d, char sep) {
    if (d.Exponent <= 0) {
        out += '0';
        return;
    }
    for (long i = 0; i < d.Exponent; ++i) {
        out += DigitAt(d, i);
        const long left = d.Exponent - 1 - i;
        if (sep && left > 0 && left % 3 == 0) out += sep;
    }
}

void AppendFraction(std::string& out, const TDecimal& d, int decimals, char decimalSep) {
    if (decimals <= 0) return;
    out += decimalSep;
    for (int k = 0; k < decimals; ++k) out += DigitAt(d, d.Exponent + k);
}

std::string GeneralText(TDecimal d, int precision, int digits, const TFormatSettings& fs) {
    RoundToSignificant(d, precision);
    if (d.Digits.empty()) return "0";
    std::string out;
    if (d.Negative) out += '-';
    if (d.Exponent > precision || d.Exponent < -3) {
        out += d.Digits[0];
        if (d.Digits.size() > 1) {
            out += fs.DecimalSeparator;
            out.append(d.Digits, 1);
        }
        out += 'E';
        AppendExponent(out, d.Exponent - 1, false, std::clamp(digits, 0, 4));
        return out;
    }
    if (d.Exponent <= 0) {
        out += '0';
        out += fs.DecimalSeparator;
        out.append(static_cast<std::size_t>(-d.Exponent), '0');
        out += d.Digits;
        return out;
    }
    for (long i = 0; i < d.Exponent; ++i) out += DigitAt(d, i);
    if (static_cast<long>(d.Digits.size()) > d.Exponent) {
        out += fs.DecimalSeparator;
        out.append(d.Digits, static_cast<std::size_t>(d.Exponent));
    }
    return out;
}

std::string CurrencyLayout(const std::string& number, bool negative, const TFormatSettings& fs) {
    const std::string& c = fs.CurrencyString;
    if (!negative) {
        switch (fs.CurrencyFormat) {
            case 1:
                return number + c;
            case 2:
                return c + " " + number;
            case 3:
                return number + " " + c;
            default:
                return c + number;
        }
    }
    switch (fs.NegCurrFormat) {
        case 1:
            return "-" + c + number;
        case 2:
            return c + "-" + number;
        case 3:
            return c + number + "-";
        case 4:
            return "(" + number + c + ")";
        case 5:
            return "-" + number + c;
        case 6:
            return number + "-" + c;
        case 7:
            return number + c + "-";
        case 8:
            return "-" + number + " " + c;
        case 9:
            return "-" + c + " " + number;
        case 10:
            return number + " " + c + "-";
        case 11:
            return c + " " + number + "-";
        case 12:
            return c + " -" + number;
        case 13:
            return number + "- " + c;
        case 14:
            return "(" + c + " " + number + ")";
        case 15:
            return "(" + number + " " + c + ")";
        default:
            return "(" + c + number + ")";
    }
}

}  // namespace

TDecimal DecimalFromDouble(double value, int significant) {
    TDecimal d;
    if (std::isnan(value)) {
        d.Kind = TDecimal::TKind::NaN;
        return d;
    }
    d.Negative = std::signbit(value);
    if (std::isinf(value)) {
        d.Kind = TDecimal::TKind::Inf;
        return d;
    }
    if (value == 0) {
        d.Negative = false;
        return d;
    }
    significant = std::clamp(significant, 1, 17);
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific, significant - 1);
    // d.ddddde+XX
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.') d.Digits += *p;
    int exp = 0;
    if (p < res.ptr) std::from_chars(p + (p[1] == '+' ? 2 : 1), res.ptr, exp);
    d.Exponent = exp + 1;
    StripTrailingZeros(d);
    return d;
}

TDecimal DecimalFromCurrency(Currency value) {
    TDecimal d;
    d.Negative = value.Value < 0;
    // The magnitude of INT64_MIN does not fit an int64.
    std::uint64_t mag = d.Negative ? 0 - static_cast<std::uint64_t>(value.Value)
                                   : static_cast<std::uint64_t>(value.Value);
    d.Digits = std::to_string(mag);
    d.Exponent = static_cast<int>(d.Digits.size()) - 4;
    StripTrailingZeros(d);
    return d;
}

TDecimal DecimalFromInteger(bool negative, std::uint64_t magnitude) {
    TDecimal d;
    d.Negative = negative;
    d.Digits = std::to_string(magnitude);
    d.Exponent = static_cast<int>(d.Digits.size());
    StripTrailingZeros(d);
    return d;
}

void RoundToDecimals(TDecimal& d, int decimals) {
    RoundAt(d, static_cast<long>(d.Exponent) + decimals);
}

void RoundToSignificant(TDecimal& d, int significant) {
    RoundAt(d, significant);
}

std::string DecimalToText(TDecimal d, TFloatFormat format, int precision, int digits,
                          const TFormatSettings& fs) {
    if (d.Kind != TDecimal::TKind::Finite) return SpecialText(d);
    precision = std::clamp(precision, 1, 20);
    switch (format) {
        case TFloatFormat::ffGeneral:
            return GeneralText(std::move(d), precision, digits, fs);
        case TFloatFormat::ffExponent: {
            RoundToSignificant(d, precision);
            std::string out;
            if (d.Negative) out += '-';
            out += DigitAt(d, 0);
            if (precision > 1) {
                out += fs.DecimalSeparator;
                for (int i = 1; i < precision; ++i) out += DigitAt(d, i);
            }
            out += 'E';
            AppendExponent(out, d.Digits.empty() ? 0 : d.Exponent - 1, true,
                           std::clamp(digits, 0, 4));
            return out;
        }
        case TFloatFormat::ffFixed:
        case TFloatFormat::ffNumber:
        case TFloatFormat::ffCurrency: {
            RoundToSignificant(d, precision);
            if (d.Exponent > precision) return GeneralText(std::move(d), precision, 0, fs);
            digits = std::clamp(digits, 0, 18);
            RoundToDecimals(d, digits);
            std::string number;
            const bool grouped = format != TFloatFormat::ffFixed;
            AppendIntegerPart(number, d, grouped ? fs.ThousandSeparator : '\0');
            AppendFraction(number, d, digits, fs.DecimalSeparator);
            if (format == TFloatFormat::ffCurrency) return CurrencyLayout(number, d.Negative, fs);
            return d.Negative ? "-" + number : number;
        }
    }
    return {};
}

// ---- picture formats ------------------------------------------------------------------------

namespace {

// One ';' section split off a picture, quotes respected.
std::vector<std::string_view> SplitSections(std::string_view picture) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < picture.size(); ++i) {
        const char c = picture[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(picture.substr(start, i - start));
            start = i + 1;
            if (sections.size() == 2) break;
        }
    }
    sections.push_back(picture.substr(start));
    if (sections.size() == 3) {
        // A third section ends at a further ';', if any.
        std::string_view& z = sections[2];
        quote = 0;
        for (std::size_t i = 0; i < z.size(); ++i) {
            const char c = z[i];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '\'' || c == '"') {
                quote = c;
            } else if (c == ';') {
                z = z.substr(0, i);
                break;
            }
        }
    }
    return sections;
}

struct TPictureInfo {
    int IntPlaces = 0;      // placeholders before the decimal point
    int FirstIntZero = -1;  // index of the first '0' among them
    int DecPlaces = 0;      // placeholders after the decimal point
    int LastDecZero = 0;    // 1-based index of the last '0' after the point
    bool HasPoint = false;
    bool Thousands = false;
    bool Scientific = false;
    int ExpDigits = 0;
};

bool IsExponentAt(std::string_view s, std::size_t i) {
    return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

TPictureInfo Analyse(std::string_view s) {
    TPictureInfo info;
    char quote = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '0' || c == '#') {
            if (info.HasPoint) {
                ++info.DecPlaces;
                if (c == '0') info.LastDecZero = info.DecPlaces;
            } else {
                if (c == '0' && info.FirstIntZero < 0) info.FirstIntZero = info.IntPlaces;
                ++info.IntPlaces;
            }
        } else if (c == '.') {
            info.HasPoint = true;
        } else if (c == ',') {
            info.Thousands = true;
        } else if (IsExponentAt(s, i)) {
            info.Scientific = true;
            i += 2;
            while (i < s.size() && s[i] == '0') {
                ++info.ExpDigits;
                ++i;
            }
            break;  // everything after the exponent is literal
        }
    }
    return info;
}

// Builds the text of one section for the magnitude in d (already rounded as info requires).
std::string RenderSection(std::string_view s, const TPictureInfo& info, const TDecimal& d,
                          int exponentShown, const TFormatSettings& fs) {
    std::string out;
    // Integer digits: how many the value has (a scientific mantissa has exactly IntPlaces).
    const long intDigits = info.Scientific ? info.IntPlaces : std::max(0, d.Exponent);
    const long firstFrac = info.Scientific ? info.IntPlaces : d.Exponent;  // digit index
    // Decimals shown: trailing zeros beyond the last '0' placeholder are dropped.
    int decShown = info.DecPlaces;
    while (decShown > info.LastDecZero && DigitAt(d, firstFrac + decShown - 1) == '0') --decShown;
    const char group = info.Thousands && !info.Scientific ? fs.ThousandSeparator : '\0';
    // Number of integer positions printed, counting forced zeros, for grouping.
    const long forced = info.FirstIntZero < 0 ? 0 : info.IntPlaces - info.FirstIntZero;
    const long width = std::max(intDigits, forced);
    auto emitInt = [&](long pos) {  // pos counts from the left of the printed width
        const long fromRight = width - 1 - pos;
        const long digitIndex = intDigits - 1 - fromRight;
        out += digitIndex >= 0 ? DigitAt(d, digitIndex) : '0';
        if (group && fromRight > 0 && fromRight % 3 == 0) out += group;
    };
    long placeholder = 0;  // integer placeholders met so far
    long decIndex = 0;
    bool afterPoint = false;
    bool pointWritten = false;
    auto writeLeading = [&]() {  // digits beyond the placeholders go before the first one
        for (long pos = 0; pos < width - info.IntPlaces; ++pos) emitInt(pos);
    };
    auto writePoint = [&]() {
        if (pointWritten) return;
        pointWritten = true;
        if (info.IntPlaces == 0) writeLeading();
        if (decShown > 0) out += fs.DecimalSeparator;
    };
    char quote = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '0' || c == '#') {
            if (!afterPoint) {
                if (placeholder == 0) writeLeading();
                const long pos = width - info.IntPlaces + placeholder;
                if (pos >= 0) emitInt(pos);
                ++placeholder;
            } else {
                if (decIndex < decShown) out += DigitAt(d, firstFrac + decIndex);
                ++decIndex;
            }
        } else if (c == '.') {
            if (!afterPoint) {
                afterPoint = true;
                writePoint();
            } else {
                out += c;
            }
        } else if (c == ',') {
            // only switches grouping on
        } else if (IsExponentAt(s, i)) {
            if (!pointWritten && info.IntPlaces == 0) writeLeading();
            out += c;
            if (exponentShown < 0 || s[i + 1] == '+') out += exponentShown < 0 ? '-' : '+';
            i += 2;
            while (i < s.size() && s[i] == '0') ++i;
            std::string e = std::to_string(std::abs(exponentShown));
            if (static_cast<int>(e.size()) < info.ExpDigits)
                out.append(info.ExpDigits - e.size(), '0');
            out += e;
            out.append(s.substr(i));  // the rest is literal
            break;
        } else {
            out += c;
        }
    }
    if (!afterPoint && !info.Scientific && info.IntPlaces == 0 && intDigits > 0) writeLeading();
    return out;
}

}  // namespace

std::string DecimalToPicture(const TDecimal& value, std::string_view picture,
                             const TFormatSettings& fs) {
    if (value.Kind != TDecimal::TKind::Finite) return SpecialText(value);
    const std::vector<std::string_view> sections = SplitSections(picture);
    // Section by sign; an empty negative or zero section falls back to the first.
    std::size_t index = 0;
    if (value.Negative && sections.size() > 1 && !sections[1].empty()) index = 1;
    if (value.IsZero() && sections.size() > 2 && !sections[2].empty()) index = 2;

    const bool hasZeroSection = sections.size() > 2 && !sections[2].empty();
    // nullopt: the section cannot show the value (too large, or zero after rounding).
    auto format = [&](std::size_t idx, TDecimal d) -> std::optional<std::string> {
        const TPictureInfo info = Analyse(sections[idx]);
        int exponentShown = 0;
        if (info.Scientific) {
            RoundToSignificant(d, std::max(1, info.IntPlaces + info.DecPlaces));
            if (!d.IsZero()) exponentShown = d.Exponent - info.IntPlaces;
        } else {
            if (d.Exponent > 18) return std::nullopt;
            RoundToDecimals(d, info.DecPlaces);
        }
        if (d.IsZero() && !value.IsZero() && idx != 2 && (hasZeroSection || idx == 1))
            return std::nullopt;
        std::string text = RenderSection(sections[idx], info, d, exponentShown, fs);
        if (idx == 0 && d.Negative) text.insert(text.begin(), '-');
        return text;
    };
    TDecimal magnitude = value;
    if (index == 1) magnitude.Negative = false;
    if (auto text = format(index, magnitude)) return *text;
    // More integer digits than a double holds: the general format says it better.
    if (!Analyse(sections[index]).Scientific && value.Exponent > 18)
        return DecimalToText(value, TFloatFormat::ffGeneral, 15, 0, fs);
    // The value rounds to zero: the zero section shows it, else the first one.
    return format(hasZeroSection ? 2 : 0, TDecimal()).value_or(std::string());
}

bool ParseDecimal(std::string_view s, char decimalSeparator, TDecimal& out) {
    out = TDecimal();
    std::size_t i = 0;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (i < s.size() && blank(s[i])) ++i;
    std::size_t end = s.size();
    while (end > i && blank(s[end - 1])) --end;
    s = s.substr(i, end - i);
    i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) out.Negative = s[i++] == '-';
    const std::string_view rest = s.substr(i);
    auto same = [&](std::string_view word) {
        return rest.size() == word.size() &&
               std::equal(rest.begin(), rest.end(), word.begin(),
                          [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 32 : a) == b; });
    };
    if (same("INF")) {
        out.Kind = TDecimal::TKind::Inf;
        return true;
    }
    if (same("NAN") && !out.Negative && i == 0) {
        out.Kind = TDecimal::TKind::NaN;
        return true;
    }
    int digitCount = 0;
    long exponent = 0;
    bool seenPoint = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            ++digitCount;
            if (c == '0' && out.Digits.empty()) {
                if (seenPoint) --exponent;  // leading zeros after the point
                continue;
            }
            out.Digits += c;
            if (!seenPoint) ++exponent;
        } else if (c == decimalSeparator && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (digitCount == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negExp = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negExp = s[i++] == '-';
        if (i >= s.size()) return false;
        long e = 0;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
            if (e < 100000) e = e * 10 + (s[i] - '0');
        exponent += negExp ? -e : e;
    }
    if (i != s.size()) return false;
    out.Exponent = static_cast<int>(std::clamp(exponent, -200000L, 200000L));
    StripTrailingZeros(out);
    return true;
}

}  // namespace vel::detail
