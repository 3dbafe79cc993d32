#include "filter/FilterPeriods.h"

#include "filter/FilterConsts.h"
#include "graphics/PimkitUtils.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace vel {

#define VEL_FILTER_PERIOD_DEFINE(ID, Text) std::string SFilterPeriod##ID = Text;
VEL_FILTER_PERIOD_TEXTS(VEL_FILTER_PERIOD_DEFINE)
#undef VEL_FILTER_PERIOD_DEFINE

namespace {

using enum TVelDBGridFilterPeriod;
using TEntry = TVelDBGridFilterPeriodEntry;

const std::string* StaticCaption(int id) {
    switch (id) {
#define VEL_FILTER_PERIOD_CASE(ID, Text) \
    case ID: return &SFilterPeriod##ID;
        VEL_FILTER_PERIOD_TEXTS(VEL_FILTER_PERIOD_CASE)
#undef VEL_FILTER_PERIOD_CASE
        default: return nullptr;
    }
}

std::vector<TEntry> BuildTable() {
    std::vector<TEntry> t;
    t.reserve(172);
    auto add = [&](int kind, TVelDBGridFilterPeriod p, int id, int parent, bool others = false) {
        t.push_back({static_cast<std::uint8_t>(kind), p, static_cast<std::int16_t>(id),
                     static_cast<std::int16_t>(parent), StaticCaption(id),
                     static_cast<std::uint8_t>(others ? 1 : 0)});
    };
    // A group's header and its five entries; the second and fourth are the "others".
    auto five = [&](int kind, TVelDBGridFilterPeriod p, int id, int parent) {
        add(kind, p, id, parent);
        for (int k = 1; k <= 5; ++k) add(kind, p, id * 10 + k, id, k == 2 || k == 4);
    };
    auto list = [&](int kind, TVelDBGridFilterPeriod p, int id, int parent, int first, int count) {
        add(kind, p, id, parent);
        for (int i = 0; i < count; ++i) add(kind, p, first + i, id);
    };
    add(0, fpNoPeriod, 0, -1);
    add(2, fpMinute, 1, -1);
    five(2, fp10Mins, 11, 1);
    five(2, fp15Mins, 12, 1);
    five(2, fp20Mins, 13, 1);
    five(2, fp30Mins, 14, 1);
    five(2, fpHour, 2, -1);
    list(2, fpHours, 26, 2, 2600, 24);
    five(3, fpDay, 3, -1);
    list(3, fpDays, 36, 3, 3601, 15);
    five(1, fpWeek, 4, -1);
    list(1, fpWeeks, 46, 4, 4601, 11);
    five(1, fpMonth, 5, -1);
    list(1, fpMonths, 56, 5, 5601, 12);
    five(1, fpQuarter, 6, -1);
    list(1, fpQuarters, 66, 6, 661, 4);
    five(1, fpSemester, 7, -1);
    list(1, fpSemesters, 76, 7, 761, 2);
    five(1, fpYear, 8, -1);
    list(1, fpYears, 86, 8, 8601, 11);
    five(1, fpDecade, 9, -1);
    list(1, fpDecades, 96, 9, 9601, 11);
    return t;
}

int YearOfDate(TDateTime t) {
    int y, m, d;
    DecodeDate(t, y, m, d);
    return y;
}

// The minute block a 1xx ID belongs to, 0 for other IDs.
int MinuteBlock(int id) {
    switch (id / 10) {
        case 11: return 10;
        case 12: return 15;
        case 13: return 20;
        case 14: return 30;
        default: return 0;
    }
}

TDateTime StartOfBlock(int minutes, TDateTime t) {
    switch (minutes) {
        case 10: return StartOfThe10Mins(t);
        case 15: return StartOfThe15Mins(t);
        case 20: return StartOfThe20Mins(t);
        default: return StartOfThe30Mins(t);
    }
}

// The five entries of a group from its start S, its end-of-period function and a step back.
using TEndOf = TDateTime (*)(TDateTime);

}  // namespace

const std::vector<TVelDBGridFilterPeriodEntry>& FilterPeriodTable() {
    static const std::vector<TEntry> table = BuildTable();
    return table;
}

const TVelDBGridFilterPeriodEntry* FindFilterPeriod(int id) {
    for (const TEntry& e : FilterPeriodTable())
        if (e.ID == id) return &e;
    return nullptr;
}

bool FilterPeriodVisible(const TVelDBGridFilterPeriodEntry& entry, TFieldType fieldType,
                         TVelDBGridFilterPeriods periods) {
    if (entry.Others && !periods.Contains(fpOthers)) return false;
    for (const TEntry* e = &entry; e; e = e->ParentID < 0 ? nullptr : FindFilterPeriod(e->ParentID))
        if (!periods.Contains(e->Period)) return false;
    switch (entry.Kind) {
        case 1: return fieldType != TFieldType::ftTime;
        case 2: return fieldType != TFieldType::ftDate;
        case 3: return fieldType != TFieldType::ftDate && fieldType != TFieldType::ftTime;
        default: return true;
    }
}

std::string FilterPeriodCaption(const TVelDBGridFilterPeriodEntry& entry) {
    if (entry.Caption) return *entry.Caption;
    const int id = entry.ID;
    const TDateTime today = Date();
    const TFormatSettings& fs = FormatSettings();
    if (id >= 2600 && id <= 2623) return ShortTimeToStr(EncodeTime(id - 2600, 0, 0, 0));
    if (id >= 3601 && id <= 3615) return DateToStr(IncDay(today, id - 3601 - 7));
    if (id >= 4601 && id <= 4611) {
        const TDateTime s = IncDay(StartOfTheWeek(today), 7 * (id - 4601 - 5));
        int y, m, d;
        DecodeDate(EndOfTheWeek(s), y, m, d);
        return DateToStr(s) + SPeriodDivider + Format("%.2d", {d});
    }
    if (id >= 5601 && id <= 5612) {
        const std::string& name = fs.LongMonthNames[static_cast<std::size_t>(id - 5601)];
        return Utf8UpperCase(Utf8Copy(name, 0, 1)) + Utf8Copy(name, 1);
    }
    if (id >= 8601 && id <= 8611) return std::to_string(YearOfDate(today) + id - 8601 - 5);
    if (id >= 9601 && id <= 9611) {
        const int d = YearOfDate(today) / 10 * 10 + 10 * (id - 9601 - 5);
        return std::to_string(d) + SPeriodDivider + std::to_string(d + 9);
    }
    return {};
}

TFilterPeriodRange FilterPeriodRange(int id, TFieldType fieldType) {
    const TDateTime now = StartOfTheMinute(Now());
    const TDateTime today = Date();
    auto T = [&](TDateTime x) {
        if (fieldType == TFieldType::ftDate) return DateToStr(x);
        if (fieldType == TFieldType::ftTime) return ShortTimeToStr(x);
        return ShortDateTimeToStr(x);
    };
    auto D = [](TDateTime x) { return DateToStr(x); };
    // Groups of five from the start of the current period and the period's end function.
    auto five = [&](int k, TDateTime start, TDateTime (*startOf)(TDateTime),
                    TEndOf endOf) -> TFilterPeriodRange {
        const TDateTime next = endOf(today) + 1;
        switch (k) {
            case 1: return {D(startOf(start - 1)), D(start)};
            case 2: return {D(start), D(today + 1)};
            case 3: return {D(start), D(next)};
            case 4: return {D(today), D(next)};
            case 5: return {D(next), D(endOf(next) + 1)};
            default: return {};
        }
    };
    if (const int n = MinuteBlock(id); n && id % 10 >= 1 && id % 10 <= 5) {
        const TDateTime s = StartOfBlock(n, now);
        switch (id % 10) {
            case 1: return {T(IncMinute(s, -n)), T(s)};
            case 2: return {T(s), T(IncMinute(now, 1))};
            case 3: return {T(s), T(IncMinute(s, n))};
            case 4: return {T(now), T(IncMinute(s, n))};
            default: return {T(IncMinute(s, n)), T(IncMinute(s, 2 * n))};
        }
    }
    if (id >= 21 && id <= 25) {
        const TDateTime h = StartOfTheHour(now);
        switch (id) {
            case 21: return {T(IncHour(h, -1)), T(h)};
            case 22: return {T(h), T(IncMinute(now, 1))};
            case 23: return {T(h), T(IncHour(h, 1))};
            case 24: return {T(now), T(IncHour(h, 1))};
            default: return {T(IncHour(h, 1)), T(IncHour(h, 2))};
        }
    }
    if (id >= 2600 && id <= 2623) {
        const TDateTime s = IncHour(today, id - 2600);
        return {T(s), T(IncHour(s, 1))};
    }
    if (id >= 31 && id <= 35) {
        switch (id) {
            case 31: return {D(today - 1), D(today)};
            case 32: return {D(today), T(IncMinute(now, 1))};
            case 33: return {D(today), D(today + 1)};
            case 34: return {T(now), D(today + 1)};
            default: return {D(today + 1), D(today + 2)};
        }
    }
    if (id >= 3601 && id <= 3615) {
        const int i = id - 3601;
        return {D(IncDay(today, i - 7)), D(IncDay(today, i - 6))};
    }
    if (id >= 41 && id <= 45) {
        const TDateTime w = StartOfTheWeek(today);
        switch (id) {
            case 41: return {D(StartOfTheWeek(today - 7)), D(w)};
            case 42: return {D(w), D(today + 1)};
            case 43: return {D(w), D(StartOfTheWeek(today + 7))};
            case 44: return {D(today), D(StartOfTheWeek(today + 7))};
            default: return {D(StartOfTheWeek(today + 7)), D(StartOfTheWeek(today + 14))};
        }
    }
    if (id >= 4601 && id <= 4611) {
        const TDateTime s = IncDay(StartOfTheWeek(today), 7 * (id - 4601 - 5));
        return {D(s), D(EndOfTheWeek(s) + 1)};
    }
    int year, month, day;
    DecodeDate(today, year, month, day);
    if (id >= 51 && id <= 55) return five(id - 50, StartOfTheMonth(today), StartOfTheMonth, EndOfTheMonth);
    if (id >= 5601 && id <= 5612) {
        const TDateTime s = EncodeDate(year, id - 5600, 1);
        return {D(s), D(EndOfTheMonth(s) + 1)};
    }
    if (id >= 61 && id <= 65)
        return five(id - 60, StartOfTheQuarter(today), StartOfTheQuarter, EndOfTheQuarter);
    if (id >= 661 && id <= 664) {
        const TDateTime s = EncodeDate(year, 3 * (id - 661) + 1, 1);
        return {D(s), D(EndOfTheQuarter(s) + 1)};
    }
    if (id >= 71 && id <= 75)
        return five(id - 70, StartOfTheSemester(today), StartOfTheSemester, EndOfTheSemester);
    if (id >= 761 && id <= 762) {
        const TDateTime s = EncodeDate(year, 6 * (id - 761) + 1, 1);
        return {D(s), D(EndOfTheSemester(s) + 1)};
    }
    if (id >= 81 && id <= 85) return five(id - 80, StartOfTheYear(today), StartOfTheYear, EndOfTheYear);
    if (id >= 8601 && id <= 8611) {
        const TDateTime s = IncYear(StartOfTheYear(today), id - 8601 - 5);
        return {D(s), D(EndOfTheYear(s) + 1)};
    }
    if (id >= 91 && id <= 95)
        return five(id - 90, StartOfTheDecade(today), StartOfTheDecade, EndOfTheDecade);
    if (id >= 9601 && id <= 9611) {
        const TDateTime s = IncYear(StartOfTheDecade(today), 10 * (id - 9601 - 5));
        return {D(s), D(EndOfTheDecade(s) + 1)};
    }
    return {};
}

}  // namespace vel
