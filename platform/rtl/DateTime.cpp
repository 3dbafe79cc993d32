#include "platform/rtl/DateTime.h"

#include <cmath>
#include <cstdio>

#include "platform/rtl/CivilDate.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

namespace {

constexpr std::int64_t kMinDay = -693593;  // 0001-01-01
constexpr std::int64_t kMaxDay = 2958465;  // 9999-12-31
using civil::DaysFromCivil;
using civil::kEpochToUnix;

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

std::string ValueText(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

[[noreturn]] void OutOfRange(double v) {
    throw EConvertError("Date and time value " + ValueText(v) +
                        " is outside the years 1 to 9999.");
}

// Day number since the epoch and milliseconds into that day.
void Split(TDateTime value, std::int64_t& day, std::int64_t& msOfDay) {
    const std::int64_t ms = DateTimeToMilliSeconds(value);
    day = FloorDiv(ms, MSecsPerDay);
    msOfDay = ms - day * MSecsPerDay;
}

}  // namespace

std::int64_t DateTimeToMilliSeconds(TDateTime value) {
    // Generous bound first so the casts below stay defined; the exact check follows.
    if (!std::isfinite(value) || value < MinDateTime - 2 || value > MaxDateTime + 2)
        OutOfRange(value);
    const double day = std::trunc(value);
    const double frac = std::fabs(value - day);
    const std::int64_t ms =
        static_cast<std::int64_t>(day) * MSecsPerDay + std::llround(frac * MSecsPerDay);
    const std::int64_t d = FloorDiv(ms, MSecsPerDay);
    if (d < kMinDay || d > kMaxDay) OutOfRange(value);
    return ms;
}

TDateTime MilliSecondsToDateTime(std::int64_t ms) {
    const std::int64_t day = FloorDiv(ms, MSecsPerDay);
    if (day < kMinDay || day > kMaxDay)
        throw EConvertError("Date and time value of " + std::to_string(ms) +
                            " ms since 1899-12-30 is outside the years 1 to 9999.");
    const double frac = static_cast<double>(ms - day * MSecsPerDay) / MSecsPerDay;
    const double d = static_cast<double>(day);
    return day >= 0 ? d + frac : d - frac;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
    const double d = std::trunc(date);
    const double t = std::fabs(time - std::trunc(time));
    return d >= 0 ? d + t : d - t;
}

bool IsLeapYear(int year) {
    return civil::IsLeapYear(year);
}

int DaysInAMonth(int year, int month) {
    return civil::DaysInMonth(year, month);
}

int DaysInAYear(int year) { return IsLeapYear(year) ? 366 : 365; }

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    return civil::TryEncode(year, month, day, result);
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r;
    if (!TryEncodeDate(year, month, day, r))
        throw EConvertError("Invalid date: year " + std::to_string(year) + ", month " +
                            std::to_string(month) + ", day " + std::to_string(day) + ".");
    return r;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    std::int64_t d, ms;
    Split(value, d, ms);
    CivilFromDays(d - kEpochToUnix, year, month, day);
}

bool DecodeDateFully(TDateTime value, int& year, int& month, int& day, int& dayOfWeek) {
    DecodeDate(value, year, month, day);
    dayOfWeek = DayOfWeek(value);
    return IsLeapYear(year);
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& result) {
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 ||
        msec > 999)
        return false;
    const std::int64_t ms = ((hour * 60LL + min) * 60 + sec) * 1000 + msec;
    result = static_cast<double>(ms) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime r;
    if (!TryEncodeTime(hour, min, sec, msec, r))
        throw EConvertError("Invalid time: hour " + std::to_string(hour) + ", minute " +
                            std::to_string(min) + ", second " + std::to_string(sec) +
                            ", millisecond " + std::to_string(msec) + ".");
    return r;
}

void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec) {
    std::int64_t d, ms;
    Split(value, d, ms);
    msec = static_cast<int>(ms % 1000);
    ms /= 1000;
    sec = static_cast<int>(ms % 60);
    ms /= 60;
    min = static_cast<int>(ms % 60);
    hour = static_cast<int>(ms / 60);
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec,
                       TDateTime& result) {
    TDateTime d, t;
    if (!TryEncodeDate(year, month, day, d) || !TryEncodeTime(hour, min, sec, msec, t))
        return false;
    result = ComposeDateTime(d, t);
    return true;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec) {
    return ComposeDateTime(EncodeDate(year, month, day), EncodeTime(hour, min, sec, msec));
}

void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& min,
                    int& sec, int& msec) {
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, min, sec, msec);
}

int DayOfWeek(TDateTime value) {
    std::int64_t d, ms;
    Split(value, d, ms);
    // Day 0, 1899-12-30, was a Saturday.
    return static_cast<int>(((d % 7) + 7 + 6) % 7) + 1;
}

}  // namespace vel
