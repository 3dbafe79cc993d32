#include "graphics/PimkitUtils.h"

#include <algorithm>
#include <cstdint>

#include "platform/rtl/DateUtils.h"

namespace vel {

namespace {

// Rounds the time of day down to a whole number of minutes; blocks divide the hour.
TDateTime StartOfBlock(TDateTime t, std::int64_t minutes) {
    const std::int64_t ms = DateTimeToMilliSeconds(t);
    const std::int64_t block = minutes * 60000;
    std::int64_t r = ms % block;
    if (r < 0) r += block;
    return MilliSecondsToDateTime(ms - r);
}

// Year 0 does not exist: the first decade and century begin with year 1.
int FirstYear(int year) { return std::max(year, 1); }

TDateTime WithDate(TDateTime t, int year, int month, int day) {
    return ComposeDateTime(EncodeDate(year, month, std::min(day, DaysInAMonth(year, month))),
                           TimeOf(t));
}

}  // namespace

TDateTime StartOfTheMinute(TDateTime t) { return StartOfBlock(t, 1); }
TDateTime StartOfThe10Mins(TDateTime t) { return StartOfBlock(t, 10); }
TDateTime StartOfThe15Mins(TDateTime t) { return StartOfBlock(t, 15); }
TDateTime StartOfThe20Mins(TDateTime t) { return StartOfBlock(t, 20); }
TDateTime StartOfThe30Mins(TDateTime t) { return StartOfBlock(t, 30); }
TDateTime StartOfTheHour(TDateTime t) { return StartOfBlock(t, 60); }

TDateTime StartOfTheQuarter(TDateTime t) {
    int y, m, d;
    DecodeDate(t, y, m, d);
    return StartOfAMonth(y, (m - 1) / 3 * 3 + 1);
}

TDateTime EndOfTheQuarter(TDateTime t) {
    int y, m, d;
    DecodeDate(t, y, m, d);
    return EndOfAMonth(y, (m - 1) / 3 * 3 + 3);
}

TDateTime StartOfTheSemester(TDateTime t) {
    int y, m, d;
    DecodeDate(t, y, m, d);
    return StartOfAMonth(y, m <= 6 ? 1 : 7);
}

TDateTime EndOfTheSemester(TDateTime t) {
    int y, m, d;
    DecodeDate(t, y, m, d);
    return EndOfAMonth(y, m <= 6 ? 6 : 12);
}

int DecadeOf(TDateTime t) { return YearOf(t) / 10 * 10; }
int CenturyOf(TDateTime t) { return YearOf(t) / 100 * 100; }

TDateTime StartOfTheDecade(TDateTime t) { return StartOfAYear(FirstYear(DecadeOf(t))); }
TDateTime EndOfTheDecade(TDateTime t) { return EndOfAYear(DecadeOf(t) + 9); }
TDateTime StartOfTheCentury(TDateTime t) { return StartOfAYear(FirstYear(CenturyOf(t))); }
TDateTime EndOfTheCentury(TDateTime t) { return EndOfAYear(CenturyOf(t) + 99); }

void ReplaceMonth(TDateTime& t, TDateTime source) {
    int y, m, d, sy, sm, sd;
    DecodeDate(t, y, m, d);
    DecodeDate(source, sy, sm, sd);
    t = WithDate(t, sy, sm, d);
}

void ReplaceYear(TDateTime& t, TDateTime source) {
    int y, m, d;
    DecodeDate(t, y, m, d);
    t = WithDate(t, YearOf(source), m, d);
}

std::string ShortTimeToStr(TDateTime t, const TFormatSettings& fs) {
    return FormatDateTime("t", t, fs);
}

std::string ShortDateTimeToStr(TDateTime t, const TFormatSettings& fs) {
    // Formatted apart so that the date format's letters cannot change the time's meaning.
    return FormatDateTime("ddddd", t, fs) + ' ' + FormatDateTime("t", t, fs);
}

}  // namespace vel
