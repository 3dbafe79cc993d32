#pragma once
// The proleptic Gregorian calendar as day counts, inline for the few places that convert dates
// in bulk (loading a table reads one per row). DateTime.h is the API for everything else.
#include <cstddef>
#include <cstdint>

namespace vel::civil {

constexpr std::int64_t kEpochToUnix = 25569;  // days from 1899-12-30 to 1970-01-01

[[gnu::always_inline]] inline bool IsLeapYear(int year) {
    return (year % 4 == 0) && ((year % 100 != 0) || (year % 400 == 0));
}

[[gnu::always_inline]] inline int DaysInMonth(int year, int month) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Day count from 1970-01-01 (H. Hinnant's civil calendar algorithms).
[[gnu::always_inline]] inline std::int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// The date's TDateTime value; false for a date outside 0001-01-01..9999-12-31.
[[gnu::always_inline]] inline bool TryEncode(int year, int month, int day, double& result) {
    // DaysInMonth is 0 for a month out of range, so that day fails too.
    if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month)) return false;
    result = static_cast<double>(DaysFromCivil(year, month, day) + kEpochToUnix);
    return true;
}

// "YYYY-MM-DD" exactly (10 characters), the way databases store dates; false otherwise.
[[gnu::always_inline]] inline bool TryParseIsoDate(const char* t, std::size_t n, double& out) {
    if (n != 10 || t[4] != '-' || t[7] != '-') return false;
    auto digit = [t](int i) {
        return static_cast<unsigned>(static_cast<unsigned char>(t[i])) - '0';
    };
    const unsigned y0 = digit(0), y1 = digit(1), y2 = digit(2), y3 = digit(3);
    const unsigned m0 = digit(5), m1 = digit(6), d0 = digit(8), d1 = digit(9);
    if ((y0 > 9) | (y1 > 9) | (y2 > 9) | (y3 > 9) | (m0 > 9) | (m1 > 9) | (d0 > 9) | (d1 > 9))
        return false;
    return TryEncode(static_cast<int>(y0 * 1000 + y1 * 100 + y2 * 10 + y3),
                     static_cast<int>(m0 * 10 + m1), static_cast<int>(d0 * 10 + d1), out);
}

// "YYYY-MM-DD hh:mm:ss" or with 'T' between, exactly 19 characters; false otherwise.
inline bool TryParseIsoDateTime(const char* t, std::size_t n, double& out) {
    if (n != 19 || (t[10] != ' ' && t[10] != 'T') || t[13] != ':' || t[16] != ':') return false;
    double day;
    if (!TryParseIsoDate(t, 10, day)) return false;
    auto pair = [t](int i) {
        const unsigned a = static_cast<unsigned>(static_cast<unsigned char>(t[i])) - '0';
        const unsigned b = static_cast<unsigned>(static_cast<unsigned char>(t[i + 1])) - '0';
        return a > 9 || b > 9 ? 99u : a * 10 + b;
    };
    const unsigned h = pair(11), m = pair(14), s = pair(17);
    if (h > 23 || m > 59 || s > 59) return false;
    // As the general encoder does it: milliseconds over a day's, the time added away from
    // day zero (dates before it are negative).
    const double time = static_cast<double>((h * 3600 + m * 60 + s) * 1000LL) / 86400000.0;
    out = day >= 0 ? day + time : day - time;
    return true;
}

}  // namespace vel::civil
