#include <gtest/gtest.h>

#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"

using namespace vel;

namespace {
// Saturday, 7 March 2026, 14:05:09.045
const TDateTime kSat = EncodeDateTime(2026, 3, 7, 14, 5, 9, 45);

class DateFormat : public ::testing::Test {
protected:
    TVirtualClockScope FClock{EncodeDateTime(2024, 6, 15, 12, 0, 0, 0)};
    TFormatSettings US = TFormatSettings::Create("en-US");
    TFormatSettings DE = TFormatSettings::Create("de-DE");
};
}  // namespace

TEST_F(DateFormat, LocaleTextsInTwoLocales) {
    EXPECT_EQ(DateTimeToStr(kSat), "3/7/2026 2:05:09 PM");
    EXPECT_EQ(DateToStr(kSat), "3/7/2026");
    EXPECT_EQ(TimeToStr(kSat), "2:05:09 PM");
    EXPECT_EQ(FormatDateTime("t", kSat), "2:05 PM");
    EXPECT_EQ(FormatDateTime("dddddd", kSat), "Saturday, March 7, 2026");
    {
        TFormatSettingsScope scope(DE);
        EXPECT_EQ(DateTimeToStr(kSat), "07.03.2026 14:05:09");
        EXPECT_EQ(FormatDateTime("dddddd", kSat), "Samstag, 7. M\xC3\xA4rz 2026");
        EXPECT_EQ(FormatDateTime("ddd d/mmm/yy", kSat), "Sa 7.Mrz.26");
    }
    // Explicit settings win over the process default.
    EXPECT_EQ(DateToStr(kSat, DE), "07.03.2026");
    // Midnight prints the date alone.
    EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 12, 24)), "12/24/2026");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 12, 24), DE), "24.12.2026");
}

TEST_F(DateFormat, Directives) {
    EXPECT_EQ(FormatDateTime("yy-mm-dd hh:nn:ss.zzz", kSat), "26-03-07 14:05:09.045");
    EXPECT_EQ(FormatDateTime("yyyy/m/d h:n:s z", kSat), "2026/3/7 14:5:9 45");
    EXPECT_EQ(FormatDateTime("yyyy/m/d", kSat, DE), "2026.3.7");
    EXPECT_EQ(FormatDateTime("ddd dddd mmm mmmm", kSat), "Sat Saturday Mar March");
    EXPECT_EQ(FormatDateTime("ddddd", kSat), "3/7/2026");
    EXPECT_EQ(FormatDateTime("tt", kSat), "2:05:09 PM");
    // "m" right after an hour is minutes, in either case; elsewhere it is the month.
    EXPECT_EQ(FormatDateTime("yyyy-MM-dd'T'HH:mm:ss", kSat), "2026-03-07T14:05:09");
    EXPECT_EQ(FormatDateTime("hh:mm m", kSat), "14:05 3");
    EXPECT_EQ(FormatDateTime("HH:MM", kSat), "14:05");
    // 12-hour clock when an am/pm marker follows the hour.
    EXPECT_EQ(FormatDateTime("h:mm am/pm", kSat), "2:05 pm");
    EXPECT_EQ(FormatDateTime("hh AM/PM", kSat), "02 PM");
    EXPECT_EQ(FormatDateTime("h a/p", kSat), "2 p");
    EXPECT_EQ(FormatDateTime("h A/P", EncodeTime(0, 30, 0, 0)), "12 A");
    EXPECT_EQ(FormatDateTime("h:nn ampm", EncodeTime(12, 0, 0, 0)), "12:00 PM");
    EXPECT_EQ(FormatDateTime("h:nn ampm", EncodeTime(0, 0, 0, 0)), "12:00 AM");
    EXPECT_EQ(FormatDateTime("h 'am/pm'", kSat), "14 am/pm");  // quoted marker does not count
    EXPECT_EQ(FormatDateTime("h \"h\" h", kSat), "14 h 14");
    EXPECT_EQ(FormatDateTime("'Today is' dddd", kSat), "Today is Saturday");
    EXPECT_EQ(FormatDateTime("'unclosed", kSat), "unclosed");
    EXPECT_EQ(FormatDateTime("", kSat), "3/7/2026 2:05:09 PM");
    EXPECT_EQ(FormatDateTime("ab", kSat), "ab");
    // A locale format that names itself stops instead of recursing forever.
    TFormatSettings odd = US;
    odd.ShortDateFormat = "c";
    odd.LongTimeFormat = "tt";
    EXPECT_NO_THROW(FormatDateTime("c", kSat, odd));
}

TEST_F(DateFormat, DatesBeforeTheEpoch) {
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
    EXPECT_EQ(DateTimeToStr(-1.25), "12/29/1899 6:00:00 AM");
    EXPECT_EQ(StrToDateTime("12/29/1899 6:00 AM"), -1.25);
    EXPECT_EQ(StrToDateTime("29.12.1899 18:00", DE), -1.75);
    const TDateTime old = EncodeDateTime(1066, 10, 14, 9, 15, 0, 0);
    EXPECT_EQ(DateTimeToStr(old, DE), "14.10.1066 09:15:00");
    EXPECT_EQ(StrToDateTime(DateTimeToStr(old)), old);
    EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(5, 1, 1)), "0005");
}

TEST_F(DateFormat, ParsingFollowsTheLocaleOrder) {
    EXPECT_EQ(StrToDate("3/7/2026"), EncodeDate(2026, 3, 7));
    EXPECT_EQ(StrToDate("07.03.2026", DE), EncodeDate(2026, 3, 7));
    EXPECT_EQ(StrToDate(" 24.12.2020. ", DE), EncodeDate(2020, 12, 24));
    EXPECT_EQ(StrToDate("2026-03-07", TFormatSettings::Create("ko-KR")), EncodeDate(2026, 3, 7));
    // No year: the current one (from the clock).
    EXPECT_EQ(StrToDate("3/7"), EncodeDate(2024, 3, 7));
    EXPECT_EQ(StrToDate("3.7", DE), EncodeDate(2024, 7, 3));
    // Two-digit years fall within the window around the current year (2024, 50 years).
    EXPECT_EQ(StrToDate("1/1/74"), EncodeDate(1974, 1, 1));
    EXPECT_EQ(StrToDate("1/1/73"), EncodeDate(2073, 1, 1));
    EXPECT_EQ(StrToDate("1.1.26", DE), EncodeDate(2026, 1, 1));
    TFormatSettings noWindow = US;
    noWindow.TwoDigitYearCenturyWindow = 0;
    EXPECT_EQ(StrToDate("1/1/99", noWindow), EncodeDate(2099, 1, 1));
    EXPECT_EQ(StrToDate("1/1/0099"), EncodeDate(99, 1, 1));  // four digits are literal
    FClock->SetNow(EncodeDate(2090, 1, 1));
    EXPECT_EQ(StrToDate("1/1/39"), EncodeDate(2139, 1, 1));
    EXPECT_EQ(StrToDate("1/1/40"), EncodeDate(2040, 1, 1));
}

TEST_F(DateFormat, ParsingTimes) {
    EXPECT_EQ(StrToTime("14:05"), EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(StrToTime("2:05:09 pm"), EncodeTime(14, 5, 9, 0));
    EXPECT_EQ(StrToTime("12:00 AM"), 0.0);
    EXPECT_EQ(StrToTime("12:00 PM"), 0.5);
    EXPECT_EQ(StrToTime("3 PM"), EncodeTime(15, 0, 0, 0));
    EXPECT_EQ(StrToTime("14:05:09.045"), EncodeTime(14, 5, 9, 45));
    EXPECT_EQ(StrToTime("14:05:09,5", DE), EncodeTime(14, 5, 9, 500));
    EXPECT_EQ(StrToDateTime("10:30"), EncodeTime(10, 30, 0, 0));
    EXPECT_EQ(StrToDateTime("3/7/2026 2:05 PM"), EncodeDateTime(2026, 3, 7, 14, 5, 0, 0));
    EXPECT_EQ(StrToDateTime("07.03.2026 14:05:09", DE), EncodeDateTime(2026, 3, 7, 14, 5, 9, 0));
    EXPECT_EQ(StrToDateTime("07.03.2026", DE), EncodeDate(2026, 3, 7));
    EXPECT_EQ(StrToDateTimeDef("nonsense", 42.0), 42.0);
    EXPECT_EQ(StrToDateDef("1/2/2003", 42.0), EncodeDate(2003, 1, 2));
}

TEST_F(DateFormat, TextRoundTripsInEveryLocale) {
    for (const char* name : {"en-US", "en-GB", "de-DE", "fr-FR", "nl-NL", "ko-KR", "ja-JP",
                             "invariant"}) {
        const TFormatSettings fs = TFormatSettings::Create(name);
        for (TDateTime d = EncodeDate(1890, 1, 1); d < EncodeDate(2110, 1, 1); d += 37.3) {
            const TDateTime sec = RecodeMilliSecond(d, 0);
            ASSERT_EQ(StrToDateTime(DateTimeToStr(sec, fs), fs), sec)
                << name << " " << DateTimeToStr(sec, fs);
            ASSERT_EQ(StrToDate(DateToStr(sec, fs), fs), DateOf(sec)) << name;
            ASSERT_EQ(StrToTime(TimeToStr(sec, fs), fs), TimeOf(sec)) << name;
        }
    }
}

TEST_F(DateFormat, MalformedTextRaisesNamingIt) {
    try {
        StrToDate("32/13/2020");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'32/13/2020' is not a valid date");
    }
    try {
        StrToTime("25:00");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'25:00' is not a valid time");
    }
    try {
        StrToDateTime("3/7/2026 10:00 XM");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'3/7/2026 10:00 XM' is not a valid date and time");
    }
    for (const char* bad : {"", " ", "abc", "1/2/3/4", "2/30/2021", "1//2020", "13/1/2020",
                            "1/1/10000", "1/1/2020x", "3/7/2026 10", "0/1/2020", "-1/2/2020",
                            "1.2.2020", "99999/1/1"}) {
        TDateTime v = 7;
        EXPECT_FALSE(TryStrToDateTime(bad, v)) << bad;
        EXPECT_EQ(v, 7);
        EXPECT_THROW(StrToDate(bad), EConvertError) << bad;
    }
    for (const char* bad : {"10", "10:", "10:60", "24:00", "13:00 PM", "0:30 AM", "1:2:3:4",
                            "10:00:00.", "10:00:00.1234", "10:00 PMx", "3/7/2026"}) {
        EXPECT_THROW(StrToTime(bad), EConvertError) << bad;
    }
    EXPECT_THROW(StrToDate("07.03.2026"), EConvertError);      // not the US separator
    EXPECT_THROW(StrToDate("3/7/2026", DE), EConvertError);    // not the German one
    EXPECT_THROW(StrToDate("31.04.2026", DE), EConvertError);  // no such day
}

TEST_F(DateFormat, Iso8601IgnoresTheLocale) {
    TFormatSettingsScope de(DE);
    EXPECT_EQ(DateToISO8601(kSat), "2026-03-07T14:05:09.045");
    EXPECT_EQ(DateToISO8601(-1.25), "1899-12-29T06:00:00.000");
    EXPECT_EQ(ISO8601ToDate("2026-03-07T14:05:09.045"), kSat);
    EXPECT_EQ(ISO8601ToDate("2026-03-07 14:05:09.0451999Z"), kSat);
    EXPECT_EQ(ISO8601ToDate("2026-03-07T14:05:09.5"), EncodeDateTime(2026, 3, 7, 14, 5, 9, 500));
    EXPECT_EQ(ISO8601ToDate("2026-03-07"), EncodeDate(2026, 3, 7));
    EXPECT_EQ(ISO8601ToDate("1899-12-29T18:00"), -1.75);
    for (TDateTime d = EncodeDate(1, 1, 1); d < EncodeDate(9999, 12, 31); d += 3001.123457)
        ASSERT_EQ(DateTimeToMilliSeconds(ISO8601ToDate(DateToISO8601(d))),
                  DateTimeToMilliSeconds(d))
            << DateToISO8601(d);
    for (const char* bad : {"", "2026", "2026-3-07", "2026-03-07T", "2026-03-07T14",
                            "2026-03-07T14:5", "2026-02-30", "2026-03-07T24:00",
                            "2026-03-07T14:05:09.", "2026-03-07X", "2026-03-07T14:05+01:00",
                            " 2026-03-07"}) {
        EXPECT_THROW(ISO8601ToDate(bad), EConvertError) << bad;
    }
    try {
        ISO8601ToDate("2026-13-01");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'2026-13-01' is not a valid ISO 8601 date");
    }
}
