#include <gtest/gtest.h>

#include "graphics/PimkitUtils.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"

using namespace vel;

namespace {
TDateTime DT(int y, int m, int d, int h = 0, int n = 0, int s = 0, int z = 0) {
    return EncodeDateTime(y, m, d, h, n, s, z);
}
}  // namespace

TEST(Period, MinuteBlocks) {
    const TDateTime t = DT(2026, 3, 7, 10, 59, 30, 250);
    EXPECT_EQ(StartOfTheMinute(t), DT(2026, 3, 7, 10, 59));
    EXPECT_EQ(StartOfThe10Mins(t), DT(2026, 3, 7, 10, 50));
    EXPECT_EQ(StartOfThe15Mins(t), DT(2026, 3, 7, 10, 45));
    EXPECT_EQ(StartOfThe20Mins(t), DT(2026, 3, 7, 10, 40));
    EXPECT_EQ(StartOfThe30Mins(t), DT(2026, 3, 7, 10, 30));
    EXPECT_EQ(StartOfTheHour(t), DT(2026, 3, 7, 10, 0));
    // Before the epoch the blocks still follow the clock.
    const TDateTime old = DT(1850, 5, 1, 23, 44, 59, 999);
    EXPECT_EQ(StartOfThe20Mins(old), DT(1850, 5, 1, 23, 40));
    EXPECT_EQ(StartOfTheHour(old), DT(1850, 5, 1, 23, 0));
    // Every minute of a day on both sides of the epoch, at a few seconds into it.
    for (const TDateTime day : {DT(1899, 12, 29), DT(1899, 12, 30), DT(2024, 2, 29)}) {
        for (int minute = 0; minute < 24 * 60; ++minute) {
            for (int ms : {0, 29999, 59999}) {
                const TDateTime v = IncMilliSecond(day, minute * 60000LL + ms);
                const std::pair<TDateTime (*)(TDateTime), int> blocks[] = {
                    {StartOfTheMinute, 1}, {StartOfThe10Mins, 10}, {StartOfThe15Mins, 15},
                    {StartOfThe20Mins, 20}, {StartOfThe30Mins, 30}, {StartOfTheHour, 60}};
                for (const auto& [start, n] : blocks) {
                    const TDateTime s = start(v);
                    ASSERT_TRUE(SameDate(s, v));
                    ASSERT_EQ(HourOf(s), minute / 60);
                    ASSERT_EQ(MinuteOf(s), minute % 60 / n * n) << n;
                    ASSERT_EQ(SecondOf(s) + MilliSecondOf(s), 0);
                }
            }
        }
    }
}

TEST(Period, QuartersSemestersDecadesCenturies) {
    const TDateTime t = DT(2026, 8, 15, 9, 30);
    EXPECT_EQ(StartOfTheQuarter(t), DT(2026, 7, 1));
    EXPECT_EQ(EndOfTheQuarter(t), DT(2026, 9, 30, 23, 59, 59, 999));
    EXPECT_EQ(StartOfTheQuarter(DT(2026, 3, 31, 23)), DT(2026, 1, 1));
    EXPECT_EQ(EndOfTheQuarter(DT(2026, 12, 1)), DT(2026, 12, 31, 23, 59, 59, 999));
    EXPECT_EQ(StartOfTheSemester(t), DT(2026, 7, 1));
    EXPECT_EQ(EndOfTheSemester(DT(2026, 6, 30, 23, 59, 59, 999)), DT(2026, 6, 30, 23, 59, 59, 999));
    EXPECT_EQ(StartOfTheSemester(DT(2026, 6, 30, 23)), DT(2026, 1, 1));
    for (int y = 2000; y <= 2009; ++y) EXPECT_EQ(DecadeOf(DT(y, 6, 1)), 2000);
    EXPECT_EQ(DecadeOf(DT(2010, 1, 1)), 2010);
    EXPECT_EQ(CenturyOf(DT(1999, 12, 31, 23, 59)), 1900);
    EXPECT_EQ(CenturyOf(DT(2000, 1, 1)), 2000);
    EXPECT_EQ(StartOfTheDecade(DT(2009, 12, 31, 23)), DT(2000, 1, 1));
    EXPECT_EQ(EndOfTheDecade(DT(2000, 1, 1)), DT(2009, 12, 31, 23, 59, 59, 999));
    EXPECT_EQ(StartOfTheCentury(DT(1999, 5, 5)), DT(1900, 1, 1));
    EXPECT_EQ(EndOfTheCentury(DT(1900, 1, 1)), DT(1999, 12, 31, 23, 59, 59, 999));
    // The far ends of the calendar: no year 0, no year 10000.
    EXPECT_EQ(StartOfTheDecade(DT(5, 3, 3)), DT(1, 1, 1));
    EXPECT_EQ(StartOfTheCentury(DT(99, 3, 3)), DT(1, 1, 1));
    EXPECT_EQ(EndOfTheCentury(DT(9999, 1, 1)), MaxDateTime);
    EXPECT_EQ(StartOfTheDecade(DT(1000, 1, 1)), -328716.0);
    EXPECT_EQ(EndOfTheDecade(DT(8995, 1, 1)), DT(8999, 12, 31, 23, 59, 59, 999));
}

TEST(Period, EveryDayLiesInsideItsPeriodsAndPeriodsTile) {
    using Fn = TDateTime (*)(TDateTime);
    const std::pair<Fn, Fn> periods[] = {
        {StartOfTheDay, EndOfTheDay},         {StartOfTheMonth, EndOfTheMonth},
        {StartOfTheQuarter, EndOfTheQuarter}, {StartOfTheSemester, EndOfTheSemester},
        {StartOfTheDecade, EndOfTheDecade},   {StartOfTheCentury, EndOfTheCentury}};
    for (TDateTime d = DT(1890, 1, 1); d < DT(2110, 1, 1); d += 1) {
        for (int ms : {0, 1, 45000000, 86399999}) {
            const TDateTime t = IncMilliSecond(d, ms);
            for (std::size_t i = 0; i < std::size(periods); ++i) {
                const auto [start, end] = periods[i];
                const TDateTime s = start(t), e = end(t);
                ASSERT_LE(CompareDateTime(s, t), 0) << i << " " << t;
                ASSERT_GE(CompareDateTime(e, t), 0) << i << " " << t;
                ASSERT_EQ(TimeOf(s), 0.0);
                ASSERT_EQ(e, EndOfTheDay(e));
                // The next period starts one millisecond after this one ends, and a period
                // starting at s ends at e.
                const TDateTime next = IncMilliSecond(e, 1);
                ASSERT_EQ(start(next), next) << i << " " << t;
                ASSERT_EQ(end(s), e) << i << " " << t;
                ASSERT_EQ(start(e), s) << i << " " << t;
            }
            ASSERT_EQ(MonthOf(StartOfTheQuarter(t)) % 3, 1);
            ASSERT_EQ(YearOf(StartOfTheQuarter(t)), YearOf(t));
            ASSERT_EQ(YearOf(StartOfTheDecade(t)), DecadeOf(t));
            ASSERT_EQ(YearOf(EndOfTheCentury(t)) % 100, 99);
        }
    }
}

TEST(Period, ReplaceMonthAndYearClipTheDayAndKeepTheTime) {
    TDateTime t = DT(2021, 3, 31, 17, 45, 1, 2);
    ReplaceMonth(t, DT(2020, 2, 10, 8));
    EXPECT_EQ(t, DT(2020, 2, 29, 17, 45, 1, 2));
    t = DT(2021, 3, 31, 17, 45);
    ReplaceMonth(t, DT(2021, 2, 1));
    EXPECT_EQ(t, DT(2021, 2, 28, 17, 45));
    t = DT(2021, 1, 15, 6);
    ReplaceMonth(t, DT(1850, 7, 31, 23));
    EXPECT_EQ(t, DT(1850, 7, 15, 6));
    t = DT(2020, 2, 29, 12);
    ReplaceYear(t, DT(2021, 12, 31));
    EXPECT_EQ(t, DT(2021, 2, 28, 12));
    t = DT(2020, 2, 29, 12);
    ReplaceYear(t, DT(2024, 1, 1));
    EXPECT_EQ(t, DT(2024, 2, 29, 12));
    t = DT(1899, 12, 29, 6);
    ReplaceYear(t, DT(1999, 1, 1));
    EXPECT_EQ(t, DT(1999, 12, 29, 6));
    t = DT(2000, 8, 31, 1);
    ReplaceYear(t, DT(1800, 1, 1));
    EXPECT_EQ(t, DT(1800, 8, 31, 1));
    // A source out of range leaves t as it was.
    t = DT(2000, 8, 31, 1);
    EXPECT_THROW(ReplaceYear(t, 1e12), EConvertError);
    EXPECT_EQ(t, DT(2000, 8, 31, 1));
}

TEST(Period, ShortTexts) {
    const TDateTime t = DT(2026, 3, 7, 14, 5, 9);
    EXPECT_EQ(ShortTimeToStr(t), "2:05 PM");
    EXPECT_EQ(ShortDateTimeToStr(t), "3/7/2026 2:05 PM");
    EXPECT_EQ(ShortDateTimeToStr(DT(2026, 3, 7)), "3/7/2026 12:00 AM");
    TFormatSettingsScope de(TFormatSettings::Create("de-DE"));
    EXPECT_EQ(ShortTimeToStr(t), "14:05");
    EXPECT_EQ(ShortDateTimeToStr(t), "07.03.2026 14:05");
    EXPECT_EQ(ShortDateTimeToStr(DT(1899, 12, 29, 6)), "29.12.1899 06:00");
    EXPECT_EQ(ShortTimeToStr(t, TFormatSettings::Create("en-GB")), "14:05");
}
