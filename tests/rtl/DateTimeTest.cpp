#include <gtest/gtest.h>

#include "platform/rtl/CivilDate.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"

#include <limits>
#include <string_view>
#include <tuple>

using namespace vel;

namespace {
struct TYmd {
    int Y, M, D;
};

// A calendar kept by hand, one day at a time, to check the arithmetic against.
void NextDay(TYmd& d) {
    static const int kLen[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (d.Y % 4 == 0 && d.Y % 100 != 0) || d.Y % 400 == 0;
    const int len = d.M == 2 && leap ? 29 : kLen[d.M - 1];
    if (++d.D > len) {
        d.D = 1;
        if (++d.M > 12) {
            d.M = 1;
            ++d.Y;
        }
    }
}
}  // namespace

TEST(DateTime, KnownDayNumbers) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(1800, 7, 4), -36338.0);
    EXPECT_EQ(EncodeDate(1000, 1, 1), -328716.0);
    EXPECT_EQ(EncodeDate(8999, 12, 31), 2593223.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), MinDateTime);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
    EXPECT_EQ(EndOfTheDay(EncodeDate(9999, 12, 31)), MaxDateTime);
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 29)), 6);
    EXPECT_EQ(DayOfTheWeek(EncodeDate(1, 1, 1)), 1);  // a Monday
}

TEST(DateTime, EveryDayFromYear1To9999MatchesAHandKeptCalendar) {
    TYmd d{1, 1, 1};
    int dow = 1;  // ISO weekday of 0001-01-01
    for (std::int64_t n = -693593; n <= 2958465; ++n) {
        const TDateTime v = static_cast<double>(n);
        int y, m, day;
        DecodeDate(v, y, m, day);
        ASSERT_TRUE(y == d.Y && m == d.M && day == d.D) << n;
        ASSERT_EQ(EncodeDate(d.Y, d.M, d.D), v);
        ASSERT_EQ(DayOfTheWeek(v), dow) << n;
        ASSERT_EQ(DayOfWeek(v), dow % 7 + 1) << n;
        NextDay(d);
        dow = dow % 7 + 1;
    }
}

TEST(DateTime, TimesRoundTripToTheMillisecondOnBothSidesOfTheEpoch) {
    const int years[] = {1, 1000, 1752, 1899, 1900, 1970, 2038, 2400, 9999};
    for (int year : years) {
        for (int month : {1, 2, 12}) {
            for (int ms = 0; ms < 86400000; ms += 997) {
                const int h = ms / 3600000, n = ms / 60000 % 60, s = ms / 1000 % 60,
                          z = ms % 1000;
                const TDateTime v = EncodeDateTime(year, month, 28, h, n, s, z);
                int y2, m2, d2, h2, n2, s2, z2;
                DecodeDateTime(v, y2, m2, d2, h2, n2, s2, z2);
                ASSERT_TRUE(y2 == year && m2 == month && d2 == 28 && h2 == h && n2 == n &&
                            s2 == s && z2 == z)
                    << year << " " << ms;
            }
        }
    }
    int h, n, s, z;
    DecodeTime(EndOfTheDay(EncodeDate(2020, 5, 5)), h, n, s, z);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + z, 235959999);
    // A fraction that rounds up to midnight belongs to the next day.
    int y, m, d;
    DecodeDateTime(EncodeDate(2020, 5, 5) + 0.9999999999, y, m, d, h, n, s, z);
    EXPECT_EQ(d, 6);
    EXPECT_EQ(h + n + s + z, 0);
}

TEST(DateTime, NegativeValuesCountDaysBackAndTimeForward) {
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    int y, m, d, h, n, s, z;
    DecodeDateTime(-1.25, y, m, d, h, n, s, z);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(DateOf(-1.25), -1.0);
    EXPECT_EQ(TimeOf(-1.25), 0.25);
    // Stepping must follow the clock, not the number.
    EXPECT_EQ(IncHour(-1.25, 6), -1.5);
    EXPECT_EQ(IncDay(-1.25, 2), 1.25);
    EXPECT_EQ(IncMinute(EncodeDateTime(1899, 12, 29, 23, 59, 0, 0)), 0.0);
    EXPECT_EQ(IncMilliSecond(0.0, -1), EncodeDateTime(1899, 12, 29, 23, 59, 59, 999));
    EXPECT_EQ(CompareDateTime(-1.25, -1.5), -1);  // 06:00 before 12:00 on the same day
    EXPECT_EQ(CompareDate(-1.25, -1.5), 0);
    EXPECT_EQ(MilliSecondsBetween(-1.25, 1.25), 2 * MSecsPerDay);
    EXPECT_EQ(StartOfTheDay(-1.75), -1.0);
    EXPECT_EQ(EndOfTheDay(-36338.5), EncodeDateTime(1800, 7, 4, 23, 59, 59, 999));
    const TDateTime old = EncodeDateTime(1800, 7, 4, 18, 30, 15, 250);
    EXPECT_LT(old, -36338.0);
    EXPECT_EQ(HourOf(old), 18);
    EXPECT_EQ(MinuteOf(old), 30);
    EXPECT_EQ(SecondOf(old), 15);
    EXPECT_EQ(MilliSecondOf(old), 250);
    EXPECT_EQ(ComposeDateTime(EncodeDate(1800, 7, 4), EncodeTime(18, 30, 15, 250)), old);
}

TEST(DateTime, InvalidPartsAndValuesAreRejected) {
    TDateTime v = 123;
    EXPECT_FALSE(TryEncodeDate(2021, 2, 29, v));
    EXPECT_EQ(v, 123);
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, v));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, v));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, v));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, v));
    EXPECT_FALSE(TryEncodeDate(2020, 13, 1, v));
    EXPECT_FALSE(TryEncodeDate(2020, 4, 31, v));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, v));
    EXPECT_FALSE(TryEncodeTime(1, 60, 0, 0, v));
    EXPECT_FALSE(TryEncodeTime(1, 0, 0, 1000, v));
    try {
        EncodeDate(2021, 2, 29);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message().find("2021"), std::string::npos);
        EXPECT_NE(e.Message().find("29"), std::string::npos);
    }
    EXPECT_THROW(EncodeTime(25, 0, 0, 0), EConvertError);
    int y, m, d;
    EXPECT_THROW(DecodeDate(MinDateTime - 1, y, m, d), EConvertError);
    EXPECT_THROW(DecodeDate(MaxDateTime + 1, y, m, d), EConvertError);
    EXPECT_THROW(DecodeDate(std::numeric_limits<double>::quiet_NaN(), y, m, d), EConvertError);
    EXPECT_THROW(DecodeDate(1e300, y, m, d), EConvertError);
    EXPECT_THROW(IncDay(EncodeDate(9999, 12, 31)), EConvertError);
    EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1)), EConvertError);
    EXPECT_THROW(IncYear(EncodeDate(1, 6, 1), -1), EConvertError);
}

TEST(DateTime, IsoWeeksAtYearEdges) {
    struct {
        int Y, M, D, Week, WeekYear;
    } const cases[] = {
        {2020, 12, 31, 53, 2020}, {2021, 1, 1, 53, 2020}, {2021, 1, 3, 53, 2020},
        {2021, 1, 4, 1, 2021},    {2024, 12, 30, 1, 2025}, {2008, 12, 29, 1, 2009},
        {2010, 1, 3, 53, 2009},   {2005, 1, 1, 53, 2004},  {2006, 1, 1, 52, 2005},
        {1899, 12, 29, 52, 1899}, {1, 1, 1, 1, 1},         {9999, 12, 31, 52, 9999},
    };
    for (const auto& c : cases) {
        int wy = 0;
        EXPECT_EQ(WeekOfTheYear(EncodeDateTime(c.Y, c.M, c.D, 23, 0, 0, 0), wy), c.Week)
            << c.Y << "-" << c.M << "-" << c.D;
        EXPECT_EQ(wy, c.WeekYear);
    }
    EXPECT_EQ(WeeksInAYear(2020), 53);  // starts on a Wednesday, leap
    EXPECT_EQ(WeeksInAYear(2015), 53);  // starts on a Thursday
    EXPECT_EQ(WeeksInAYear(2021), 52);
    // Weeks run 1..WeeksInAYear without gaps, changing on Mondays only.
    TDateTime t = EncodeDate(1890, 1, 1);
    int prevWeek = WeekOfTheYear(t), prevYear = 0;
    WeekOfTheYear(t, prevYear);
    for (t += 1; t < EncodeDate(2110, 1, 1); t += 1) {
        int wy;
        const int w = WeekOfTheYear(t, wy);
        if (DayOfTheWeek(t) != 1) {
            ASSERT_TRUE(w == prevWeek && wy == prevYear) << t;
        } else if (wy == prevYear) {
            ASSERT_EQ(w, prevWeek + 1) << t;
        } else {
            ASSERT_EQ(prevWeek, WeeksInAYear(prevYear)) << t;
            ASSERT_TRUE(w == 1 && wy == prevYear + 1) << t;
        }
        prevWeek = w;
        prevYear = wy;
    }
}

TEST(DateTime, StartsAndEndsOfDaysWeeksMonthsYears) {
    const TDateTime sun = EncodeDateTime(2026, 3, 8, 17, 45, 0, 0);
    EXPECT_EQ(StartOfTheWeek(sun), EncodeDate(2026, 3, 2));
    EXPECT_EQ(EndOfTheWeek(sun), EncodeDateTime(2026, 3, 8, 23, 59, 59, 999));
    EXPECT_EQ(StartOfTheWeek(EncodeDate(2026, 3, 2)), EncodeDate(2026, 3, 2));
    EXPECT_EQ(StartOfTheMonth(sun), EncodeDate(2026, 3, 1));
    EXPECT_EQ(EndOfTheMonth(EncodeDate(2024, 2, 10)), EncodeDateTime(2024, 2, 29, 23, 59, 59, 999));
    EXPECT_EQ(StartOfTheYear(sun), EncodeDate(2026, 1, 1));
    EXPECT_EQ(EndOfTheYear(sun), EncodeDateTime(2026, 12, 31, 23, 59, 59, 999));
    EXPECT_EQ(DayOfTheYear(EncodeDate(2024, 12, 31)), 366);
    EXPECT_EQ(DayOfTheYear(EncodeDate(2023, 3, 1)), 60);
    EXPECT_EQ(DaysInMonth(EncodeDate(1900, 2, 3)), 28);
    EXPECT_EQ(DaysInYear(EncodeDate(2000, 7, 3)), 366);
    EXPECT_TRUE(IsPM(EncodeTime(12, 0, 0, 0)));
    EXPECT_FALSE(IsPM(EncodeTime(11, 59, 59, 999)));
    // Every day 1890..2110 at several times lies inside its day, week, month and year, and
    // each end plus a millisecond is the next start.
    for (TDateTime d = EncodeDate(1890, 1, 1); d < EncodeDate(2110, 1, 1); d += 1) {
        for (int ms : {0, 1, 43200000, 86399999}) {
            const TDateTime t = IncMilliSecond(d, ms);
            using Fn = TDateTime (*)(TDateTime);
            const std::pair<Fn, Fn> units[] = {{StartOfTheDay, EndOfTheDay},
                                               {StartOfTheWeek, EndOfTheWeek},
                                               {StartOfTheMonth, EndOfTheMonth},
                                               {StartOfTheYear, EndOfTheYear}};
            for (const auto& [start, end] : units) {
                ASSERT_LE(CompareDateTime(start(t), t), 0) << t;
                ASSERT_GE(CompareDateTime(end(t), t), 0) << t;
                const TDateTime next = IncMilliSecond(end(t), 1);
                ASSERT_EQ(start(next), next) << t;
                ASSERT_EQ(TimeOf(start(t)), 0.0);
            }
        }
    }
}

TEST(DateTime, MonthAndYearStepsClipTheDayAndKeepTheTime) {
    const TDateTime jan31 = EncodeDateTime(2021, 1, 31, 13, 14, 15, 16);
    EXPECT_EQ(IncMonth(jan31), EncodeDateTime(2021, 2, 28, 13, 14, 15, 16));
    EXPECT_EQ(IncMonth(EncodeDate(2020, 1, 31)), EncodeDate(2020, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2021, 3, 31), -1), EncodeDate(2021, 2, 28));
    EXPECT_EQ(IncMonth(EncodeDate(2020, 12, 31), 2), EncodeDate(2021, 2, 28));
    EXPECT_EQ(IncMonth(EncodeDate(2021, 1, 15), -13), EncodeDate(2019, 12, 15));
    EXPECT_EQ(IncMonth(jan31, 0), jan31);
    EXPECT_EQ(IncYear(EncodeDate(2020, 2, 29)), EncodeDate(2021, 2, 28));
    EXPECT_EQ(IncYear(EncodeDate(2020, 2, 29), 4), EncodeDate(2024, 2, 29));
    EXPECT_EQ(IncYear(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -100),
              EncodeDateTime(1799, 12, 29, 6, 0, 0, 0));
    EXPECT_EQ(IncWeek(EncodeDate(2020, 12, 28)), EncodeDate(2021, 1, 4));
    EXPECT_EQ(MonthsBetween(EncodeDate(2021, 1, 31), EncodeDate(2021, 2, 28)), 1);
    EXPECT_EQ(MonthsBetween(EncodeDateTime(2021, 2, 15, 9, 59, 0, 0),
                            EncodeDateTime(2021, 1, 15, 10, 0, 0, 0)),
              0);
    EXPECT_EQ(YearsBetween(EncodeDate(2020, 2, 29), EncodeDate(2021, 2, 28)), 1);
    EXPECT_EQ(YearsBetween(EncodeDate(1850, 6, 1), EncodeDate(2021, 5, 31)), 170);
    EXPECT_EQ(DaysBetween(EncodeDateTime(2021, 1, 1, 12, 0, 0, 0), EncodeDate(2021, 1, 3)), 1);
    EXPECT_EQ(WeeksBetween(EncodeDate(2021, 1, 1), EncodeDate(2021, 1, 15)), 2);
}

TEST(DateTime, RecodeReplacesPartsOrRefuses) {
    const TDateTime t = EncodeDateTime(2020, 2, 29, 8, 30, 0, 0);
    EXPECT_EQ(RecodeYear(t, 2024), EncodeDateTime(2024, 2, 29, 8, 30, 0, 0));
    EXPECT_EQ(RecodeMonth(t, 3), EncodeDateTime(2020, 3, 29, 8, 30, 0, 0));
    EXPECT_EQ(RecodeHour(t, 23), EncodeDateTime(2020, 2, 29, 23, 30, 0, 0));
    EXPECT_EQ(RecodeMilliSecond(t, 7), EncodeDateTime(2020, 2, 29, 8, 30, 0, 7));
    EXPECT_EQ(RecodeTime(t, 0, 0, 0, 0), EncodeDate(2020, 2, 29));
    EXPECT_EQ(RecodeDate(-1.25, 1800, RecodeLeaveFieldAsIs, 1),
              EncodeDateTime(1800, 12, 1, 6, 0, 0, 0));
    EXPECT_THROW(RecodeYear(t, 2021), EConvertError);
    EXPECT_THROW(RecodeDay(t, 30), EConvertError);
    EXPECT_THROW(RecodeMinute(t, 60), EConvertError);
}

TEST(DateTime, UnixSeconds) {
    EXPECT_EQ(DateTimeToUnix(EncodeDate(1970, 1, 1)), 0);
    EXPECT_EQ(DateTimeToUnix(EncodeDateTime(1969, 12, 31, 23, 59, 59, 0)), -1);
    EXPECT_EQ(UnixToDateTime(1700000000), EncodeDateTime(2023, 11, 14, 22, 13, 20, 0));
    EXPECT_EQ(UnixToDateTime(-2209248000LL), -1.0);  // 1899-12-29
}

TEST(CivilDate, EveryDayRoundTripsAndIsoTextParses) {
    // The bulk-load encoder against the general decoder, over the whole supported range.
    int y = 0, m = 0, d = 0;
    double v = 0;
    for (double day = EncodeDate(1, 1, 1); day <= EncodeDate(9999, 12, 31); day += 1) {
        DecodeDate(day, y, m, d);
        ASSERT_TRUE(civil::TryEncode(y, m, d, v)) << y << '-' << m << '-' << d;
        ASSERT_EQ(v, day) << y << '-' << m << '-' << d;
    }
    for (auto [y2, m2, d2] : {std::tuple{0, 1, 1},
                              {10000, 1, 1},
                              {2023, 2, 29},
                              {1900, 2, 29},
                              {2024, 13, 1},
                              {2024, 0, 1},
                              {2024, 4, 31},
                              {2024, 1, 0}})
        EXPECT_FALSE(civil::TryEncode(y2, m2, d2, v)) << y2 << '-' << m2 << '-' << d2;
    EXPECT_TRUE(civil::TryEncode(2000, 2, 29, v));

    auto parse = [&](std::string_view s) { return civil::TryParseIsoDate(s.data(), s.size(), v); };
    EXPECT_TRUE(parse("2024-02-29"));
    EXPECT_EQ(v, EncodeDate(2024, 2, 29));
    for (std::string_view bad : {"2024-02-30", "2024/02/01", "2024-2-01", "20a4-02-01",
                                 "2024-02-01 ", "2024-02-0", "0000-01-01", "2024-02-:1"})
        EXPECT_FALSE(parse(bad)) << bad;

    // Date and time: the same value as the general ISO reader, also before day zero.
    auto parseDT = [&](std::string_view s) {
        return civil::TryParseIsoDateTime(s.data(), s.size(), v);
    };
    for (std::string_view s : {"2024-02-29 23:59:59", "1899-12-30 00:00:01", "1899-12-29 12:00:00",
                               "0001-01-01 06:07:08", "9999-12-31T23:59:59", "2000-03-01 00:00:00"}) {
        TDateTime general = 0;
        ASSERT_TRUE(TryISO8601ToDate(std::string(s), general)) << s;
        ASSERT_TRUE(parseDT(s)) << s;
        EXPECT_EQ(v, general) << s;
    }
    for (std::string_view bad : {"2024-02-29 24:00:00", "2024-02-29 23:60:00", "2024-02-29 23:59:5x",
                                 "2024-02-30 10:00:00", "2024-02-29_10:00:00", "2024-02-29 10:00",
                                 "2024-02-29 10:00:00.5"})
        EXPECT_FALSE(parseDT(bad)) << bad;
}
