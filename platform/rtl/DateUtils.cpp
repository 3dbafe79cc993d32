#include "platform/rtl/DateUtils.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// A value as a straight day number and the milliseconds into that day.
struct TMoment {
    std::int64_t Day;
    std::int64_t Ms;
};

TMoment Split(TDateTime value) {
    const std::int64_t ms = DateTimeToMilliSeconds(value);
    const std::int64_t day = FloorDiv(ms, MSecsPerDay);
    return {day, ms - day * MSecsPerDay};
}

TDateTime Join(std::int64_t day, std::int64_t ms) {
    return MilliSecondsToDateTime(day * MSecsPerDay + ms);
}

TDateTime DayStart(std::int64_t day) { return Join(day, 0); }
TDateTime DayEnd(std::int64_t day) { return Join(day, MSecsPerDay - 1); }

std::int64_t DayNumber(int year, int month, int day) {
    return static_cast<std::int64_t>(EncodeDate(year, month, day));
}

// 1 = Monday … 7 = Sunday for a day number (day 0 was a Saturday).
int IsoDayOfWeek(std::int64_t day) { return static_cast<int>(((day % 7) + 7 + 5) % 7) + 1; }

TDateTime AddMonths(TDateTime value, std::int64_t months) {
    int y, m, d;
    DecodeDate(value, y, m, d);
    const TMoment t = Split(value);
    const std::int64_t total = static_cast<std::int64_t>(y) * 12 + (m - 1) + months;
    const std::int64_t ny = FloorDiv(total, 12);
    const int nm = static_cast<int>(total - ny * 12) + 1;
    if (ny < 1 || ny > 9999)
        throw EConvertError("Moving the date by " + std::to_string(months) +
                            " months leaves the years 1 to 9999.");
    const int year = static_cast<int>(ny);
    const int day = std::min(d, DaysInAMonth(year, nm));
    return Join(DayNumber(year, nm, day), t.Ms);
}

int Sign(std::int64_t v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

}  // namespace

TDateTime DateOf(TDateTime value) { return static_cast<double>(Split(value).Day); }

TDateTime TimeOf(TDateTime value) {
    return static_cast<double>(Split(value).Ms) / MSecsPerDay;
}

TDateTime Today() { return Date(); }
TDateTime Yesterday() { return IncDay(Date(), -1); }
TDateTime Tomorrow() { return IncDay(Date(), 1); }
bool IsToday(TDateTime value) { return SameDate(value, Date()); }

bool IsInLeapYear(TDateTime value) { return IsLeapYear(YearOf(value)); }
bool IsPM(TDateTime value) { return HourOf(value) >= 12; }

bool IsValidDate(int year, int month, int day) {
    TDateTime d;
    return TryEncodeDate(year, month, day, d);
}

bool IsValidTime(int hour, int min, int sec, int msec) {
    TDateTime t;
    return TryEncodeTime(hour, min, sec, msec, t);
}

bool IsValidDateTime(int year, int month, int day, int hour, int min, int sec, int msec) {
    return IsValidDate(year, month, day) && IsValidTime(hour, min, sec, msec);
}

int DaysInYear(TDateTime value) { return DaysInAYear(YearOf(value)); }

int DaysInMonth(TDateTime value) {
    int y, m, d;
    DecodeDate(value, y, m, d);
    return DaysInAMonth(y, m);
}

int WeeksInAYear(int year) {
    // A year has 53 ISO weeks when it starts on a Thursday, or on a Wednesday in a leap year.
    const int jan1 = IsoDayOfWeek(DayNumber(year, 1, 1));
    return jan1 == 4 || (jan1 == 3 && IsLeapYear(year)) ? 53 : 52;
}

int WeeksInYear(TDateTime value) { return WeeksInAYear(YearOf(value)); }

int YearOf(TDateTime value) {
    int y, m, d;
    DecodeDate(value, y, m, d);
    return y;
}

int MonthOf(TDateTime value) {
    int y, m, d;
    DecodeDate(value, y, m, d);
    return m;
}

int DayOf(TDateTime value) {
    int y, m, d;
    DecodeDate(value, y, m, d);
    return d;
}

int HourOf(TDateTime value) { return static_cast<int>(Split(value).Ms / 3600000); }
int MinuteOf(TDateTime value) { return static_cast<int>(Split(value).Ms / 60000 % 60); }
int SecondOf(TDateTime value) { return static_cast<int>(Split(value).Ms / 1000 % 60); }
int MilliSecondOf(TDateTime value) { return static_cast<int>(Split(value).Ms % 1000); }

int DayOfTheWeek(TDateTime value) { return IsoDayOfWeek(Split(value).Day); }
int DayOfTheMonth(TDateTime value) { return DayOf(value); }
int MonthOfTheYear(TDateTime value) { return MonthOf(value); }

int DayOfTheYear(TDateTime value) {
    const std::int64_t day = Split(value).Day;
    return static_cast<int>(day - DayNumber(YearOf(value), 1, 1)) + 1;
}

int WeekOfTheYear(TDateTime value, int& year) {
    // The ISO week belongs to the year of its Thursday.
    const std::int64_t day = Split(value).Day;
    const std::int64_t thursday = day + 4 - IsoDayOfWeek(day);
    int m, d;
    DecodeDate(static_cast<double>(thursday), year, m, d);
    return static_cast<int>((thursday - DayNumber(year, 1, 1)) / 7) + 1;
}

int WeekOfTheYear(TDateTime value) {
    int year;
    return WeekOfTheYear(value, year);
}

int WeekOf(TDateTime value) { return WeekOfTheYear(value); }

TDateTime StartOfTheDay(TDateTime value) { return DayStart(Split(value).Day); }
TDateTime EndOfTheDay(TDateTime value) { return DayEnd(Split(value).Day); }

TDateTime StartOfTheWeek(TDateTime value) {
    const std::int64_t day = Split(value).Day;
    return DayStart(day - (IsoDayOfWeek(day) - 1));
}

TDateTime EndOfTheWeek(TDateTime value) {
    const std::int64_t day = Split(value).Day;
    return DayEnd(day + (7 - IsoDayOfWeek(day)));
}

TDateTime StartOfAMonth(int year, int month) { return DayStart(DayNumber(year, month, 1)); }

TDateTime EndOfAMonth(int year, int month) {
    return DayEnd(DayNumber(year, month, DaysInAMonth(year, month)));
}

TDateTime StartOfAYear(int year) { return StartOfAMonth(year, 1); }
TDateTime EndOfAYear(int year) { return EndOfAMonth(year, 12); }

TDateTime StartOfTheMonth(TDateTime value) {
    int y, m, d;
    DecodeDate(value, y, m, d);
    return StartOfAMonth(y, m);
}

TDateTime EndOfTheMonth(TDateTime value) {
    int y, m, d;
    DecodeDate(value, y, m, d);
    return EndOfAMonth(y, m);
}

TDateTime StartOfTheYear(TDateTime value) { return StartOfAYear(YearOf(value)); }
TDateTime EndOfTheYear(TDateTime value) { return EndOfAYear(YearOf(value)); }

TDateTime IncMonth(TDateTime value, int months) { return AddMonths(value, months); }

TDateTime IncYear(TDateTime value, int years) {
    return AddMonths(value, static_cast<std::int64_t>(years) * 12);
}

TDateTime IncWeek(TDateTime value, int weeks) {
    return IncMilliSecond(value, static_cast<std::int64_t>(weeks) * 7 * MSecsPerDay);
}

TDateTime IncDay(TDateTime value, int days) {
    return IncMilliSecond(value, static_cast<std::int64_t>(days) * MSecsPerDay);
}

TDateTime IncHour(TDateTime value, std::int64_t hours) {
    return IncMilliSecond(value, hours * 3600000);
}

TDateTime IncMinute(TDateTime value, std::int64_t minutes) {
    return IncMilliSecond(value, minutes * 60000);
}

TDateTime IncSecond(TDateTime value, std::int64_t seconds) {
    return IncMilliSecond(value, seconds * 1000);
}

TDateTime IncMilliSecond(TDateTime value, std::int64_t milliSeconds) {
    return MilliSecondsToDateTime(DateTimeToMilliSeconds(value) + milliSeconds);
}

TDateTime RecodeDateTime(TDateTime value, int year, int month, int day, int hour, int min,
                         int sec, int msec) {
    int p[7];
    DecodeDateTime(value, p[0], p[1], p[2], p[3], p[4], p[5], p[6]);
    const int given[7] = {year, month, day, hour, min, sec, msec};
    for (int i = 0; i < 7; ++i)
        if (given[i] != RecodeLeaveFieldAsIs) p[i] = given[i];
    TDateTime r;
    if (!TryEncodeDateTime(p[0], p[1], p[2], p[3], p[4], p[5], p[6], r)) {
        char buf[160];
        std::snprintf(buf, sizeof buf,
                      "Cannot recode the date and time to year %d, month %d, day %d, "
                      "%d:%02d:%02d.%03d.",
                      p[0], p[1], p[2], p[3], p[4], p[5], p[6]);
        throw EConvertError(buf);
    }
    return r;
}

TDateTime RecodeDate(TDateTime value, int year, int month, int day) {
    constexpr int k = RecodeLeaveFieldAsIs;
    return RecodeDateTime(value, year, month, day, k, k, k, k);
}

TDateTime RecodeTime(TDateTime value, int hour, int min, int sec, int msec) {
    constexpr int k = RecodeLeaveFieldAsIs;
    return RecodeDateTime(value, k, k, k, hour, min, sec, msec);
}

TDateTime RecodeYear(TDateTime value, int year) {
    return RecodeDate(value, year, RecodeLeaveFieldAsIs, RecodeLeaveFieldAsIs);
}

TDateTime RecodeMonth(TDateTime value, int month) {
    return RecodeDate(value, RecodeLeaveFieldAsIs, month, RecodeLeaveFieldAsIs);
}

TDateTime RecodeDay(TDateTime value, int day) {
    return RecodeDate(value, RecodeLeaveFieldAsIs, RecodeLeaveFieldAsIs, day);
}

TDateTime RecodeHour(TDateTime value, int hour) {
    constexpr int k = RecodeLeaveFieldAsIs;
    return RecodeTime(value, hour, k, k, k);
}

TDateTime RecodeMinute(TDateTime value, int min) {
    constexpr int k = RecodeLeaveFieldAsIs;
    return RecodeTime(value, k, min, k, k);
}

TDateTime RecodeSecond(TDateTime value, int sec) {
    constexpr int k = RecodeLeaveFieldAsIs;
    return RecodeTime(value, k, k, sec, k);
}

TDateTime RecodeMilliSecond(TDateTime value, int msec) {
    constexpr int k = RecodeLeaveFieldAsIs;
    return RecodeTime(value, k, k, k, msec);
}

int CompareDateTime(TDateTime a, TDateTime b) {
    return Sign(DateTimeToMilliSeconds(a) - DateTimeToMilliSeconds(b));
}

int CompareDate(TDateTime a, TDateTime b) { return Sign(Split(a).Day - Split(b).Day); }
int CompareTime(TDateTime a, TDateTime b) { return Sign(Split(a).Ms - Split(b).Ms); }
bool SameDateTime(TDateTime a, TDateTime b) { return CompareDateTime(a, b) == 0; }
bool SameDate(TDateTime a, TDateTime b) { return CompareDate(a, b) == 0; }
bool SameTime(TDateTime a, TDateTime b) { return CompareTime(a, b) == 0; }
bool IsSameDay(TDateTime value, TDateTime basis) { return SameDate(value, basis); }

std::int64_t MilliSecondsBetween(TDateTime a, TDateTime b) {
    const std::int64_t d = DateTimeToMilliSeconds(a) - DateTimeToMilliSeconds(b);
    return d < 0 ? -d : d;
}

std::int64_t SecondsBetween(TDateTime a, TDateTime b) { return MilliSecondsBetween(a, b) / 1000; }
std::int64_t MinutesBetween(TDateTime a, TDateTime b) {
    return MilliSecondsBetween(a, b) / 60000;
}
std::int64_t HoursBetween(TDateTime a, TDateTime b) {
    return MilliSecondsBetween(a, b) / 3600000;
}
int DaysBetween(TDateTime a, TDateTime b) {
    return static_cast<int>(MilliSecondsBetween(a, b) / MSecsPerDay);
}
int WeeksBetween(TDateTime a, TDateTime b) { return DaysBetween(a, b) / 7; }

double DaySpan(TDateTime a, TDateTime b) {
    return static_cast<double>(MilliSecondsBetween(a, b)) / MSecsPerDay;
}

int MonthsBetween(TDateTime a, TDateTime b) {
    if (CompareDateTime(a, b) > 0) std::swap(a, b);
    int ay, am, ad, by, bm, bd;
    DecodeDate(a, ay, am, ad);
    DecodeDate(b, by, bm, bd);
    int n = (by - ay) * 12 + (bm - am);
    const std::int64_t later = DateTimeToMilliSeconds(b);
    while (n > 0 && DateTimeToMilliSeconds(AddMonths(a, n)) > later) --n;
    return n;
}

int YearsBetween(TDateTime a, TDateTime b) { return MonthsBetween(a, b) / 12; }

std::int64_t DateTimeToUnix(TDateTime value) {
    return FloorDiv(DateTimeToMilliSeconds(value) - UnixDateDelta * MSecsPerDay, 1000);
}

TDateTime UnixToDateTime(std::int64_t seconds) {
    if (seconds < -1000000000000LL || seconds > 1000000000000LL)
        throw EConvertError("Unix time " + std::to_string(seconds) +
                            " is outside the years 1 to 9999.");
    return MilliSecondsToDateTime(seconds * 1000 + UnixDateDelta * MSecsPerDay);
}

}  // namespace vel
