#pragma once
// Calendar arithmetic on TDateTime: parts, starts and ends, increments, recoding, comparison
// and spans. Weeks follow ISO 8601 (Monday first; week 1 holds the year's first Thursday).
// Everything that moves a value goes through milliseconds, so it is right before the epoch
// too, where the fraction counts forwards while the day counts backwards.
#include <cstdint>
#include <string>

#include "platform/rtl/DateTime.h"

namespace vel {

inline constexpr int RecodeLeaveFieldAsIs = 65535;
inline constexpr int DaysPerWeek = 7;
inline constexpr int MonthsPerYear = 12;

TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);
TDateTime Today();
TDateTime Yesterday();
TDateTime Tomorrow();
bool IsToday(TDateTime value);

bool IsInLeapYear(TDateTime value);
bool IsPM(TDateTime value);
bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int min, int sec, int msec);
bool IsValidDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
int DaysInYear(TDateTime value);
int DaysInMonth(TDateTime value);
// 52 or 53 ISO weeks.
int WeeksInAYear(int year);
int WeeksInYear(TDateTime value);

int YearOf(TDateTime value);
int MonthOf(TDateTime value);
int DayOf(TDateTime value);
int HourOf(TDateTime value);
int MinuteOf(TDateTime value);
int SecondOf(TDateTime value);
int MilliSecondOf(TDateTime value);

// 1 = Monday … 7 = Sunday.
int DayOfTheWeek(TDateTime value);
int DayOfTheMonth(TDateTime value);
// 1 … 366.
int DayOfTheYear(TDateTime value);
int MonthOfTheYear(TDateTime value);
// ISO week number 1 … 53; the overload also gives the ISO year the week belongs to (31
// December may be in week 1 of the next year, 1 January in week 52 or 53 of the previous).
int WeekOfTheYear(TDateTime value);
int WeekOfTheYear(TDateTime value, int& year);
int WeekOf(TDateTime value);

TDateTime StartOfTheDay(TDateTime value);
// The day's last millisecond, 23:59:59.999.
TDateTime EndOfTheDay(TDateTime value);
TDateTime StartOfTheWeek(TDateTime value);  // Monday 00:00
TDateTime EndOfTheWeek(TDateTime value);    // Sunday 23:59:59.999
TDateTime StartOfTheMonth(TDateTime value);
TDateTime EndOfTheMonth(TDateTime value);
TDateTime StartOfTheYear(TDateTime value);
TDateTime EndOfTheYear(TDateTime value);
TDateTime StartOfAMonth(int year, int month);
TDateTime EndOfAMonth(int year, int month);
TDateTime StartOfAYear(int year);
TDateTime EndOfAYear(int year);

// Month and year steps keep the time and clip the day to the new month's length.
TDateTime IncMonth(TDateTime value, int months = 1);
TDateTime IncYear(TDateTime value, int years = 1);
TDateTime IncWeek(TDateTime value, int weeks = 1);
TDateTime IncDay(TDateTime value, int days = 1);
TDateTime IncHour(TDateTime value, std::int64_t hours = 1);
TDateTime IncMinute(TDateTime value, std::int64_t minutes = 1);
TDateTime IncSecond(TDateTime value, std::int64_t seconds = 1);
TDateTime IncMilliSecond(TDateTime value, std::int64_t milliSeconds = 1);

// Replace parts; RecodeLeaveFieldAsIs keeps a part. An impossible result raises
// EConvertError naming the parts.
TDateTime RecodeDateTime(TDateTime value, int year, int month, int day, int hour, int min,
                         int sec, int msec);
TDateTime RecodeDate(TDateTime value, int year, int month, int day);
TDateTime RecodeTime(TDateTime value, int hour, int min, int sec, int msec);
TDateTime RecodeYear(TDateTime value, int year);
TDateTime RecodeMonth(TDateTime value, int month);
TDateTime RecodeDay(TDateTime value, int day);
TDateTime RecodeHour(TDateTime value, int hour);
TDateTime RecodeMinute(TDateTime value, int min);
TDateTime RecodeSecond(TDateTime value, int sec);
TDateTime RecodeMilliSecond(TDateTime value, int msec);

// -1, 0 or 1, to the millisecond.
int CompareDateTime(TDateTime a, TDateTime b);
int CompareDate(TDateTime a, TDateTime b);
int CompareTime(TDateTime a, TDateTime b);
bool SameDateTime(TDateTime a, TDateTime b);
bool SameDate(TDateTime a, TDateTime b);
bool SameTime(TDateTime a, TDateTime b);
bool IsSameDay(TDateTime value, TDateTime basis);

// Whole units between two moments, whichever comes first (never negative). Years and months
// count calendar steps: the largest n with IncMonth(earlier, n) <= later.
int YearsBetween(TDateTime a, TDateTime b);
int MonthsBetween(TDateTime a, TDateTime b);
int WeeksBetween(TDateTime a, TDateTime b);
int DaysBetween(TDateTime a, TDateTime b);
std::int64_t HoursBetween(TDateTime a, TDateTime b);
std::int64_t MinutesBetween(TDateTime a, TDateTime b);
std::int64_t SecondsBetween(TDateTime a, TDateTime b);
std::int64_t MilliSecondsBetween(TDateTime a, TDateTime b);
// Fractional days between, never negative.
double DaySpan(TDateTime a, TDateTime b);

// "yyyy-mm-ddThh:nn:ss.zzz", whatever the locale.
std::string DateToISO8601(TDateTime value);
// Reads "yyyy-mm-dd", optionally followed by 'T' or a blank and "hh:nn", then ":ss" and a
// fraction of a second (digits past the millisecond are dropped), and an optional final 'Z'
// (no time-zone conversion). Malformed text raises EConvertError naming it.
bool TryISO8601ToDate(const std::string& s, TDateTime& value);
TDateTime ISO8601ToDate(const std::string& s);

std::int64_t DateTimeToUnix(TDateTime value);
TDateTime UnixToDateTime(std::int64_t seconds);

}  // namespace vel
