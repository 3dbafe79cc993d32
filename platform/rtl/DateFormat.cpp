// FormatDateTime and the StrToDate family.
#include <cctype>
#include <cstdint>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(const std::string& s, std::size_t pos, const char* word) {
    for (std::size_t i = 0; word[i]; ++i)
        if (pos + i >= s.size() || Upper(s[pos + i]) != Upper(word[i])) return false;
    return true;
}

void AppendNumber(std::string& out, int value, int digits) {
    std::string n = std::to_string(value);
    if (static_cast<int>(n.size()) < digits) out.append(digits - n.size(), '0');
    out += n;
}

struct TParts {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0, DayOfWeek = 0;
};

class TDateFormatter {
public:
    TDateFormatter(const TParts& parts, const TFormatSettings& fs) : P(parts), FS(fs) {}

    std::string Result;

    // Nested formats (c, ddddd, t …) may refer to others; two levels are enough for every
    // sensible locale and stop a format that names itself.
    void Append(const std::string& format, int level) {
        if (level > 2) return;
        char lastToken = ' ';
        bool use12Hour = false;
        std::size_t i = 0;
        const std::size_t n = format.size();
        while (i < n) {
            const char c = format[i];
            const char u = Upper(c);
            auto count = [&]() {
                std::size_t j = i + 1;
                while (j < n && Upper(format[j]) == u) ++j;
                const int k = static_cast<int>(j - i);
                i = j;
                return k;
            };
            if (u == 'D' || u == 'M' || u == 'Y' || u == 'H' || u == 'N' || u == 'S' ||
                u == 'Z' || u == 'T' || u == 'C') {
                const bool afterHour = lastToken == 'H';
                lastToken = u;
                int k = count();
                switch (u) {
                    case 'C':
                        Append(FS.ShortDateFormat, level + 1);
                        if (P.Hour || P.Min || P.Sec || P.MSec) {
                            Result += ' ';
                            Append(FS.LongTimeFormat, level + 1);
                        }
                        break;
                    case 'Y':
                        if (k <= 2)
                            AppendNumber(Result, P.Year % 100, 2);
                        else
                            AppendNumber(Result, P.Year, 4);
                        break;
                    case 'M':
                        if (afterHour) {
                            // Right after an hour, m means minutes ("hh:mm").
                            lastToken = 'N';
                            AppendNumber(Result, P.Min, k >= 2 ? 2 : 1);
                        } else if (k <= 2) {
                            AppendNumber(Result, P.Month, k);
                        } else if (k == 3) {
                            Result += FS.ShortMonthNames[P.Month - 1];
                        } else {
                            Result += FS.LongMonthNames[P.Month - 1];
                        }
                        break;
                    case 'D':
                        switch (k) {
                            case 1:
                            case 2: AppendNumber(Result, P.Day, k); break;
                            case 3: Result += FS.ShortDayNames[P.DayOfWeek - 1]; break;
                            case 4: Result += FS.LongDayNames[P.DayOfWeek - 1]; break;
                            case 5: Append(FS.ShortDateFormat, level + 1); break;
                            default: Append(FS.LongDateFormat, level + 1); break;
                        }
                        break;
                    case 'H': {
                        use12Hour = TwelveHourAhead(format, i);
                        int h = P.Hour;
                        if (use12Hour) {
                            if (h == 0)
                                h = 12;
                            else if (h > 12)
                                h -= 12;
                        }
                        AppendNumber(Result, h, k >= 2 ? 2 : 1);
                        break;
                    }
                    case 'N': AppendNumber(Result, P.Min, k >= 2 ? 2 : 1); break;
                    case 'S': AppendNumber(Result, P.Sec, k >= 2 ? 2 : 1); break;
                    case 'Z': AppendNumber(Result, P.MSec, k >= 2 ? 3 : 1); break;
                    case 'T':
                        Append(k == 1 ? FS.ShortTimeFormat : FS.LongTimeFormat, level + 1);
                        break;
                }
                continue;
            }
            if (u == 'A') {
                if (StartsWithNoCase(format, i, "AM/PM")) {
                    Result.append(format, P.Hour >= 12 ? i + 3 : i, 2);
                    i += 5;
                } else if (StartsWithNoCase(format, i, "A/P")) {
                    Result += format[P.Hour >= 12 ? i + 2 : i];
                    i += 3;
                } else if (StartsWithNoCase(format, i, "AMPM")) {
                    Result += P.Hour >= 12 ? FS.TimePMString : FS.TimeAMString;
                    i += 4;
                } else {
                    Result += c;
                    ++i;
                }
                continue;
            }
            if (c == '\'' || c == '"') {
                std::size_t j = format.find(c, i + 1);
                if (j == std::string::npos) j = n;
                Result.append(format, i + 1, j - i - 1);
                i = j < n ? j + 1 : n;
                continue;
            }
            if (c == '/') {
                if (FS.DateSeparator) Result += FS.DateSeparator;
            } else if (c == ':') {
                if (FS.TimeSeparator) Result += FS.TimeSeparator;
            } else {
                Result += c;
            }
            ++i;
        }
    }

private:
    // An hour shows on the 12-hour clock when an am/pm marker follows it before the next
    // hour (quoted text does not count).
    static bool TwelveHourAhead(const std::string& f, std::size_t from) {
        char quote = 0;
        for (std::size_t i = from; i < f.size(); ++i) {
            const char c = f[i];
            if (quote) {
                if (c == quote) quote = 0;
                continue;
            }
            if (c == '\'' || c == '"') {
                quote = c;
            } else if (Upper(c) == 'A') {
                return StartsWithNoCase(f, i, "AM/PM") || StartsWithNoCase(f, i, "A/P") ||
                       StartsWithNoCase(f, i, "AMPM");
            } else if (Upper(c) == 'H') {
                return false;
            }
        }
        return false;
    }

    const TParts& P;
    const TFormatSettings& FS;
};

// ---- parsing ----

enum class TDateOrder { MDY, DMY, YMD };

TDateOrder GetDateOrder(const std::string& format) {
    char quote = 0;
    for (char c : format) {
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        switch (Upper(c)) {
            case 'Y': return TDateOrder::YMD;
            case 'M': return TDateOrder::MDY;
            case 'D': return TDateOrder::DMY;
            default: break;
        }
    }
    return TDateOrder::MDY;
}

class TScanner {
public:
    TScanner(const std::string& s, const TFormatSettings& fs) : S(s), FS(fs) {}

    bool AtEnd() {
        SkipBlanks();
        return Pos >= S.size();
    }

    void SkipBlanks() {
        while (Pos < S.size() && (S[Pos] == ' ' || S[Pos] == '\t')) ++Pos;
    }

    // Up to four digits (a year); digits tells how many were read.
    bool Number(int& value, int& digits, int maxDigits = 4) {
        SkipBlanks();
        value = 0;
        digits = 0;
        while (Pos < S.size() && std::isdigit(static_cast<unsigned char>(S[Pos]))) {
            if (digits == maxDigits) return false;
            value = value * 10 + (S[Pos] - '0');
            ++digits;
            ++Pos;
        }
        return digits > 0;
    }

    bool Char(char c) {
        SkipBlanks();
        if (c && Pos < S.size() && S[Pos] == c) {
            ++Pos;
            return true;
        }
        return false;
    }

    // Returns 0 for AM, 1 for PM, -1 for neither.
    int AmPm() {
        SkipBlanks();
        const auto match = [&](const std::string& w) {
            if (w.empty() || !StartsWithNoCase(S, Pos, w.c_str())) return false;
            Pos += w.size();
            return true;
        };
        if (match(FS.TimeAMString) || match("AM")) return 0;
        if (match(FS.TimePMString) || match("PM")) return 1;
        if (match("A")) return 0;
        if (match("P")) return 1;
        return -1;
    }

    bool Date(TDateTime& value) {
        int n1, n2, n3, l1, l2, l3 = 0;
        if (!Number(n1, l1) || !Char(FS.DateSeparator) || !Number(n2, l2)) return false;
        const bool three = Char(FS.DateSeparator);
        if (three && !Number(n3, l3)) return false;
        int y, m, d, yDigits;
        const TDateOrder order = GetDateOrder(FS.ShortDateFormat);
        if (!three) {
            int dummy;
            DecodeDate(vel::Now(), y, m, dummy);
            yDigits = 4;
            if (order == TDateOrder::DMY) {
                d = n1;
                m = n2;
            } else {
                m = n1;
                d = n2;
            }
        } else {
            switch (order) {
                case TDateOrder::MDY: m = n1, d = n2, y = n3, yDigits = l3; break;
                case TDateOrder::DMY: d = n1, m = n2, y = n3, yDigits = l3; break;
                default: y = n1, m = n2, d = n3, yDigits = l1; break;
            }
            // A dotted date may end with the separator ("24.12.2020.").
            if (Pos < S.size() && S[Pos] == FS.DateSeparator) ++Pos;
            if (yDigits <= 2) {
                int cy, cm, cd;
                DecodeDate(vel::Now(), cy, cm, cd);
                cy -= FS.TwoDigitYearCenturyWindow > 0 ? FS.TwoDigitYearCenturyWindow : 0;
                y += cy / 100 * 100;
                if (FS.TwoDigitYearCenturyWindow > 0 && y < cy) y += 100;
            }
        }
        return TryEncodeDate(y, m, d, value);
    }

    bool Time(TDateTime& value) {
        int h, m = 0, s = 0, ms = 0, l;
        if (!Number(h, l, 2)) return false;
        bool hasMinutes = false;
        if (Char(FS.TimeSeparator)) {
            hasMinutes = true;
            if (!Number(m, l, 2)) return false;
            if (Char(FS.TimeSeparator)) {
                if (!Number(s, l, 2)) return false;
                if (Pos < S.size() && (S[Pos] == FS.DecimalSeparator || S[Pos] == '.')) {
                    ++Pos;
                    int frac;
                    if (!Number(frac, l, 3)) return false;
                    ms = frac * (l == 1 ? 100 : l == 2 ? 10 : 1);
                }
            }
        }
        const int ampm = AmPm();
        if (!hasMinutes && ampm < 0) return false;  // a lone number is not a time
        if (ampm >= 0) {
            if (h > 12 || h == 0) return false;
            if (h == 12) h = 0;
            if (ampm == 1) h += 12;
        }
        return TryEncodeTime(h, m, s, ms, value);
    }

    std::size_t Pos = 0;

private:
    const std::string& S;
    const TFormatSettings& FS;
};

}  // namespace

std::string FormatDateTime(const std::string& format, TDateTime value,
                           const TFormatSettings& fs) {
    TParts p;
    DecodeDateTime(value, p.Year, p.Month, p.Day, p.Hour, p.Min, p.Sec, p.MSec);
    p.DayOfWeek = DayOfWeek(value);
    TDateFormatter f(p, fs);
    f.Append(format.empty() ? std::string("c") : format, 0);
    return std::move(f.Result);
}

std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs) {
    return FormatDateTime("c", value, fs);
}

std::string DateToStr(TDateTime value, const TFormatSettings& fs) {
    return FormatDateTime("ddddd", value, fs);
}

std::string TimeToStr(TDateTime value, const TFormatSettings& fs) {
    return FormatDateTime("tt", value, fs);
}

bool TryStrToDate(const std::string& s, TDateTime& value, const TFormatSettings& fs) {
    TScanner sc(s, fs);
    TDateTime d;
    if (!sc.Date(d) || !sc.AtEnd()) return false;
    value = d;
    return true;
}

bool TryStrToTime(const std::string& s, TDateTime& value, const TFormatSettings& fs) {
    TScanner sc(s, fs);
    TDateTime t;
    if (!sc.Time(t) || !sc.AtEnd()) return false;
    value = t;
    return true;
}

bool TryStrToDateTime(const std::string& s, TDateTime& value, const TFormatSettings& fs) {
    TScanner sc(s, fs);
    TDateTime d, t = 0;
    if (sc.Date(d)) {
        if (sc.AtEnd() || (sc.Time(t) && sc.AtEnd())) {
            value = ComposeDateTime(d, t);
            return true;
        }
        return false;
    }
    return TryStrToTime(s, value, fs);
}

TDateTime StrToDate(const std::string& s, const TFormatSettings& fs) {
    TDateTime v;
    if (!TryStrToDate(s, v, fs)) throw EConvertError("'" + s + "' is not a valid date");
    return v;
}

TDateTime StrToTime(const std::string& s, const TFormatSettings& fs) {
    TDateTime v;
    if (!TryStrToTime(s, v, fs)) throw EConvertError("'" + s + "' is not a valid time");
    return v;
}

TDateTime StrToDateTime(const std::string& s, const TFormatSettings& fs) {
    TDateTime v;
    if (!TryStrToDateTime(s, v, fs))
        throw EConvertError("'" + s + "' is not a valid date and time");
    return v;
}

TDateTime StrToDateDef(const std::string& s, TDateTime def, const TFormatSettings& fs) {
    TDateTime v;
    return TryStrToDate(s, v, fs) ? v : def;
}

TDateTime StrToDateTimeDef(const std::string& s, TDateTime def, const TFormatSettings& fs) {
    TDateTime v;
    return TryStrToDateTime(s, v, fs) ? v : def;
}

namespace {
// Exactly n digits at pos.
bool Digits(const std::string& s, std::size_t& pos, int n, int& value) {
    value = 0;
    for (int i = 0; i < n; ++i, ++pos) {
        if (pos >= s.size() || !std::isdigit(static_cast<unsigned char>(s[pos]))) return false;
        value = value * 10 + (s[pos] - '0');
    }
    return true;
}
}  // namespace

std::string DateToISO8601(TDateTime value) {
    return FormatDateTime("yyyy'-'mm'-'dd'T'hh':'nn':'ss'.'zzz", value, TFormatSettings());
}

bool TryISO8601ToDate(const std::string& s, TDateTime& value) {
    std::size_t p = 0;
    int y, m, d, h = 0, n = 0, sec = 0, ms = 0;
    if (!Digits(s, p, 4, y) || p >= s.size() || s[p++] != '-' || !Digits(s, p, 2, m) ||
        p >= s.size() || s[p++] != '-' || !Digits(s, p, 2, d))
        return false;
    if (p < s.size() && (s[p] == 'T' || s[p] == ' ')) {
        ++p;
        if (!Digits(s, p, 2, h) || p >= s.size() || s[p++] != ':' || !Digits(s, p, 2, n))
            return false;
        if (p < s.size() && s[p] == ':') {
            ++p;
            if (!Digits(s, p, 2, sec)) return false;
            if (p < s.size() && (s[p] == '.' || s[p] == ',')) {
                ++p;
                int digits = 0;
                while (p < s.size() && std::isdigit(static_cast<unsigned char>(s[p]))) {
                    if (digits < 3) ms = ms * 10 + (s[p] - '0');
                    ++digits;
                    ++p;
                }
                if (digits == 0) return false;
                for (int i = digits; i < 3; ++i) ms *= 10;
            }
        }
    }
    if (p < s.size() && s[p] == 'Z') ++p;
    if (p != s.size()) return false;
    return TryEncodeDateTime(y, m, d, h, n, sec, ms, value);
}

TDateTime ISO8601ToDate(const std::string& s) {
    TDateTime v;
    if (!TryISO8601ToDate(s, v)) throw EConvertError("'" + s + "' is not a valid ISO 8601 date");
    return v;
}

}  // namespace vel
