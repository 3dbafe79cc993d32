#include "grid/GridFilter.h"

#include "platform/classes/TypInfo.h"

namespace vel {

VEL_ENUM_INFO(TVelDBGridFilterClause, fcNoFilter, fcContains, fcDoesNotContain, fcStartsFrom,
              fcDoesNotStartFrom, fcEndsWith, fcDoesNotEndWith, fcIsEqual, fcIsNotEqual,
              fcIsGreaterThen, fcIsGreaterThenOrEqual, fcIsLessThen, fcIsLessThenOrEqual,
              fcIsOnTheList, fcIsNotOnTheList, fcIsEmpty, fcIsNotEmpty)
VEL_ENUM_INFO(TVelDBGridFilterPeriod, fpNoPeriod, fpMinute, fpHour, fpDay, fpWeek, fpMonth,
              fpQuarter, fpSemester, fpYear, fpDecade, fpOther, fp10Mins, fp15Mins, fp20Mins,
              fp30Mins, fpHours, fpDays, fpWeeks, fpMonths, fpQuarters, fpSemesters, fpYears,
              fpDecades, fpOthers)
VEL_ENUM_INFO(TVelDBGridFilterOption, foAutoApplyList, foListAnimation, foListAlignment,
              foOverlayedList, foLoadAllItems, foCheckedFirst, foAddSelected, foIncrementalList)
VEL_ENUM_INFO(TFilterStyle, fsFilterList, fsFilterForm)

VEL_DEFINE_CLASS(TVelDBGridFilter, TPersistent)

VEL_PUBLISHED(TVelDBGridFilter) {
    Prop("AutoFilter", &T::GetAutoFilter, &T::SetAutoFilter, false);
    Prop("AutoFilters", &T::GetAutoFilters, &T::SetAutoFilters,
         TVelDBGridFilter::DefaultAutoFilters());
    Prop("AutoUpdate", &T::GetAutoUpdate, &T::SetAutoUpdate, true);
    Prop("Clauses", &T::GetClauses, &T::SetClauses, TVelDBGridFilter::DefaultClauses());
    Prop("DecimalSeparator", &T::GetDecimalSeparator, &T::SetDecimalSeparator, false);
    Prop("DropDownRows", &T::GetDropDownRows, &T::SetDropDownRows, 0);
    Prop("DropDownWidth", &T::GetDropDownWidth, &T::SetDropDownWidth, 0);
    Prop("Filtered", &T::GetFiltered, &T::SetFiltered, true);
    Prop("Options", &T::GetOptions, &T::SetOptions, TVelDBGridFilter::DefaultOptions());
    Prop("Periods", &T::GetPeriods, &T::SetPeriods, TVelDBGridFilter::DefaultPeriods());
}

TVelDBGridFilterOptions TVelDBGridFilter::DefaultOptions() {
    using enum TVelDBGridFilterOption;
    return {foAutoApplyList, foListAnimation, foListAlignment, foOverlayedList};
}

TVelDBGridFilterClauses TVelDBGridFilter::DefaultClauses() {
    return TVelDBGridFilterClauses::FromMask((1u << 17) - 1);
}

TVelDBGridFilterPeriods TVelDBGridFilter::DefaultPeriods() {
    return TVelDBGridFilterPeriods::FromMask((1u << 24) - 1) - TVelDBGridFilterPeriod::fpOthers;
}

TFilterStyles TVelDBGridFilter::DefaultAutoFilters() {
    return {TFilterStyle::fsFilterList, TFilterStyle::fsFilterForm};
}

TVelDBGridFilter::TVelDBGridFilter(TComponent* AGrid)
    : FGrid(AGrid),
      FOptions(DefaultOptions()),
      FClauses(DefaultClauses()),
      FPeriods(DefaultPeriods()),
      FAutoFilters(DefaultAutoFilters()) {}

TVelDBGridFilter::~TVelDBGridFilter() { delete FSettings; }

void TVelDBGridFilter::Assign(const TPersistent* Source) {
    if (auto* f = dynamic_cast<const TVelDBGridFilter*>(Source)) {
        FAutoFilter = f->FAutoFilter;
        FAutoUpdate = f->FAutoUpdate;
        FDropDownRows = f->FDropDownRows;
        FDropDownWidth = f->FDropDownWidth;
        FOptions = f->FOptions;
        FClauses = f->FClauses;
        FPeriods = f->FPeriods;
        FAutoFilters = f->FAutoFilters;
        FDecimalSeparator = f->FDecimalSeparator;
        SetFiltered(f->FFiltered);
        return;
    }
    TPersistent::Assign(Source);
}

void TVelDBGridFilter::SetFiltered(bool Value) {
    if (FFiltered == Value) return;
    FFiltered = Value;
    FilterChanged();
}

void TVelDBGridFilter::SetClauses(TVelDBGridFilterClauses Value) {
    FClauses = Value + TVelDBGridFilterClause::fcNoFilter;
}

void TVelDBGridFilter::SetPeriods(TVelDBGridFilterPeriods Value) {
    FPeriods = Value + TVelDBGridFilterPeriod::fpNoPeriod;
}

TStringList* TVelDBGridFilter::GetSettings() {
    if (!FSettings) FSettings = new TStringList;
    return FSettings;
}

void TVelDBGridFilter::EndFilterChange() {
    if (FChangeLock > 0) --FChangeLock;
    FilterChanged();
}

void TVelDBGridFilter::FilterChanged() {
    if (FChangeLock != 0) return;
    if (FOnFilterChanged) FOnFilterChanged(this);
}

}  // namespace vel

namespace vel {

void TVelDBGridFilter::SwitchAutoFilters(TFilterStyles Value, bool On) {
    SetAutoFilters(On ? FAutoFilters + Value : FAutoFilters - Value);
}
void TVelDBGridFilter::SwitchClauses(TVelDBGridFilterClauses Value, bool On) {
    SetClauses(On ? FClauses + Value : FClauses - Value);
}
void TVelDBGridFilter::SwitchOptions(TVelDBGridFilterOptions Value, bool On) {
    SetOptions(On ? FOptions + Value : FOptions - Value);
}
void TVelDBGridFilter::SwitchPeriods(TVelDBGridFilterPeriods Value, bool On) {
    SetPeriods(On ? FPeriods + Value : FPeriods - Value);
}

std::string TVelDBGridFilter::JoinFilter(bool Filtered, const std::string& Filter) const {
    std::string result = FFilterText;
    if (Filtered) {
        if (!result.empty() && !Filter.empty())
            result = "(" + Filter + ") AND " + result;
        else if (result.empty())
            result = Filter;
    }
    return result;
}

}  // namespace vel
