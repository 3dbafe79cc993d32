#pragma once
// Date period arithmetic beyond the run-time library's: starts of minute blocks, quarters,
// semesters, decades and centuries with their ends, month and year replacement that keeps
// the day valid, and the short date/time texts the filter periods print.
//
// Ends are the last millisecond of their last day, like EndOfTheDay, so an end plus one
// millisecond is the next period's start. Years have no year 0: the first decade and the
// first century start on 0001-01-01.
#include <string>

#include "platform/rtl/DateTime.h"

namespace vel {

TDateTime StartOfTheMinute(TDateTime t);
TDateTime StartOfThe10Mins(TDateTime t);
TDateTime StartOfThe15Mins(TDateTime t);
TDateTime StartOfThe20Mins(TDateTime t);
TDateTime StartOfThe30Mins(TDateTime t);
TDateTime StartOfTheHour(TDateTime t);

TDateTime StartOfTheQuarter(TDateTime t);
TDateTime EndOfTheQuarter(TDateTime t);
// January to June, July to December.
TDateTime StartOfTheSemester(TDateTime t);
TDateTime EndOfTheSemester(TDateTime t);

// The year rounded down to a multiple of 10 or 100.
int DecadeOf(TDateTime t);
int CenturyOf(TDateTime t);
TDateTime StartOfTheDecade(TDateTime t);
TDateTime EndOfTheDecade(TDateTime t);
TDateTime StartOfTheCentury(TDateTime t);
TDateTime EndOfTheCentury(TDateTime t);

// t takes the year and month of source and keeps its day (clipped to that month) and time.
void ReplaceMonth(TDateTime& t, TDateTime source);
// t takes the year of source and keeps its month, day (clipped, for 29 February) and time.
void ReplaceYear(TDateTime& t, TDateTime source);

// t in the locale's short time format.
std::string ShortTimeToStr(TDateTime t, const TFormatSettings& fs = FormatSettings());
// The short date, one blank, the short time.
std::string ShortDateTimeToStr(TDateTime t, const TFormatSettings& fs = FormatSettings());

}  // namespace vel
