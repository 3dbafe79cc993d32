#pragma once
// The ready-made date and time periods of the filter form: the constant period table, which
// entries suit a field type and a period set, the captions of the generated list items and
// the range [start, end) each entry yields at the clock's current time.
#include <cstdint>
#include <string>
#include <vector>

#include "filter/FilterPeriodTexts.inc"
#include "grid/GridFilter.h"
#include "platform/db/DBTypes.h"
#include "platform/rtl/DateTime.h"

namespace vel {

#define VEL_FILTER_PERIOD_DECLARE(ID, Text) extern std::string SFilterPeriod##ID;
VEL_FILTER_PERIOD_TEXTS(VEL_FILTER_PERIOD_DECLARE)
#undef VEL_FILTER_PERIOD_DECLARE

struct TVelDBGridFilterPeriodEntry {
    // 0 every field; 1 not for ftTime; 2 not for ftDate; 3 for neither.
    std::uint8_t Kind;
    TVelDBGridFilterPeriod Period;
    std::int16_t ID;
    std::int16_t ParentID;  // -1 for a root
    // Null for the generated list items (hours, days, weeks, ...), captioned on loading.
    const std::string* Caption;
    // Admitted only with fpOthers.
    std::uint8_t Others;
};

// The 172 entries in list order.
const std::vector<TVelDBGridFilterPeriodEntry>& FilterPeriodTable();
const TVelDBGridFilterPeriodEntry* FindFilterPeriod(int id);

// Whether the entry is listed for a field of this type under this period set.
bool FilterPeriodVisible(const TVelDBGridFilterPeriodEntry& entry, TFieldType fieldType,
                         TVelDBGridFilterPeriods periods);

// The entry's caption: its constant, or for a list item the text built from today's date
// and the locale.
std::string FilterPeriodCaption(const TVelDBGridFilterPeriodEntry& entry);

struct TFilterPeriodRange {
    std::string Start, End;  // both empty for headers and unknown IDs
};
// The range texts for a field of this type, at the clock's current time.
TFilterPeriodRange FilterPeriodRange(int id, TFieldType fieldType);

}  // namespace vel
