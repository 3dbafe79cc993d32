#pragma once
// Encoding, decoding and text conversion of TDateTime values (days since 1899-12-30, the
// time of day as the fraction; see rtl/Types.h for the rule before the epoch).
//
// Decoding rounds to the nearest millisecond, so encode/decode round-trip exactly. Values
// outside 0001-01-01 … 9999-12-31 (and NaN) raise EConvertError when decoded.
#include <cstdint>
#include <string>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Types.h"

namespace vel {

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerHour = 60;
inline constexpr int SecsPerMin = 60;
inline constexpr int MSecsPerSec = 1000;
inline constexpr int MinsPerDay = 24 * 60;
inline constexpr int SecsPerDay = 24 * 60 * 60;
inline constexpr std::int64_t MSecsPerDay = 86400000;
inline constexpr double OneHour = 1.0 / 24;
inline constexpr double OneMinute = 1.0 / MinsPerDay;
inline constexpr double OneSecond = 1.0 / SecsPerDay;
inline constexpr double OneMillisecond = 1.0 / MSecsPerDay;
// 0001-01-01 and the last millisecond of 9999-12-31.
inline constexpr TDateTime MinDateTime = -693593.0;
inline constexpr TDateTime MaxDateTime = 2958465.0 + 86399999.0 / 86400000.0;
// Days from 1899-12-30 to 1970-01-01.
inline constexpr int UnixDateDelta = 25569;

bool IsLeapYear(int year);
// 28..31; 0 for a month outside 1..12.
int DaysInAMonth(int year, int month);
int DaysInAYear(int year);

bool TryEncodeDate(int year, int month, int day, TDateTime& result);
// Raises EConvertError naming the values when they are not a date of years 1..9999.
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
// Like DecodeDate; returns whether the year is a leap year.
bool DecodeDateFully(TDateTime value, int& year, int& month, int& day, int& dayOfWeek);

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& result);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec);

bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec,
                       TDateTime& result);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& min,
                    int& sec, int& msec);

// 1 = Sunday … 7 = Saturday.
int DayOfWeek(TDateTime value);

// The value as a straight count of milliseconds since 1899-12-30 00:00 (negative before),
// and back. Arithmetic across the epoch must go through these because of the negative rule.
std::int64_t DateTimeToMilliSeconds(TDateTime value);
TDateTime MilliSecondsToDateTime(std::int64_t ms);
// Combines a date with a time of day following the negative rule (date - time before 0).
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

// Text with the classic format letters: c d dd ddd dddd ddddd dddddd m mm mmm mmmm (minutes
// right after an hour) yy yyyy h hh n nn s ss z zzz t tt am/pm a/p ampm / : and "…" or '…'
// literals; letters are case-insensitive. An empty format means "c".
std::string FormatDateTime(const std::string& format, TDateTime value,
                           const TFormatSettings& fs = FormatSettings());
// Short date, and the long time when the time of day is not midnight.
std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs = FormatSettings());
std::string DateToStr(TDateTime value, const TFormatSettings& fs = FormatSettings());
std::string TimeToStr(TDateTime value, const TFormatSettings& fs = FormatSettings());

// Parsing follows the order of day, month and year in ShortDateFormat, the DateSeparator and
// TimeSeparator; a missing year is the current one; two-digit years fall in the window of
// TwoDigitYearCenturyWindow around the current year; AM/PM (or the locale's strings) may
// follow a time. Malformed text raises EConvertError naming it.
bool TryStrToDate(const std::string& s, TDateTime& value,
                  const TFormatSettings& fs = FormatSettings());
bool TryStrToTime(const std::string& s, TDateTime& value,
                  const TFormatSettings& fs = FormatSettings());
bool TryStrToDateTime(const std::string& s, TDateTime& value,
                      const TFormatSettings& fs = FormatSettings());
TDateTime StrToDate(const std::string& s, const TFormatSettings& fs = FormatSettings());
TDateTime StrToTime(const std::string& s, const TFormatSettings& fs = FormatSettings());
TDateTime StrToDateTime(const std::string& s, const TFormatSettings& fs = FormatSettings());
TDateTime StrToDateDef(const std::string& s, TDateTime def,
                       const TFormatSettings& fs = FormatSettings());
TDateTime StrToDateTimeDef(const std::string& s, TDateTime def,
                           const TFormatSettings& fs = FormatSettings());

}  // namespace vel
