#pragma once
// TVelDBGridFilter: the grid's auto-filter settings, and the clause and period sets the
// filter form offers.
#include <functional>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/PropAccess.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/TSet.h"

namespace vel {

enum class TVelDBGridFilterClause {
    fcNoFilter, fcContains, fcDoesNotContain, fcStartsFrom, fcDoesNotStartFrom, fcEndsWith,
    fcDoesNotEndWith, fcIsEqual, fcIsNotEqual, fcIsGreaterThen, fcIsGreaterThenOrEqual,
    fcIsLessThen, fcIsLessThenOrEqual, fcIsOnTheList, fcIsNotOnTheList, fcIsEmpty, fcIsNotEmpty
};
VEL_DECLARE_ENUM_INFO(TVelDBGridFilterClause)
using TVelDBGridFilterClauses = TSet<TVelDBGridFilterClause>;

enum class TVelDBGridFilterPeriod {
    fpNoPeriod, fpMinute, fpHour, fpDay, fpWeek, fpMonth, fpQuarter, fpSemester, fpYear,
    fpDecade, fpOther, fp10Mins, fp15Mins, fp20Mins, fp30Mins, fpHours, fpDays, fpWeeks,
    fpMonths, fpQuarters, fpSemesters, fpYears, fpDecades, fpOthers
};
VEL_DECLARE_ENUM_INFO(TVelDBGridFilterPeriod)
using TVelDBGridFilterPeriods = TSet<TVelDBGridFilterPeriod>;

enum class TVelDBGridFilterOption {
    foAutoApplyList, foListAnimation, foListAlignment, foOverlayedList, foLoadAllItems,
    foCheckedFirst, foAddSelected, foIncrementalList
};
VEL_DECLARE_ENUM_INFO(TVelDBGridFilterOption)
using TVelDBGridFilterOptions = TSet<TVelDBGridFilterOption>;

enum class TFilterStyle { fsFilterList, fsFilterForm };
VEL_DECLARE_ENUM_INFO(TFilterStyle)
using TFilterStyles = TSet<TFilterStyle>;

class TVelDBGridFilter : public TPersistent {
    VEL_CLASS(TVelDBGridFilter)
public:
    explicit TVelDBGridFilter(TComponent* AGrid = nullptr);
    ~TVelDBGridFilter() override;
    void Assign(const TPersistent* Source) override;

    TComponent* GetGrid() const { return FGrid; }
    bool GetFiltered() const { return FFiltered; }
    void SetFiltered(bool Value);
    bool GetAutoFilter() const { return FAutoFilter; }
    void SetAutoFilter(bool Value) { FAutoFilter = Value; }
    bool GetAutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool Value) { FAutoUpdate = Value; }
    const std::string& GetFilterText() const { return FFilterText; }
    // The joined column filters; columns rebuild it (the grid calls this for now).
    void SetFilterText(const std::string& Value) { FFilterText = Value; }
    int GetDropDownRows() const { return FDropDownRows; }
    void SetDropDownRows(int Value) { FDropDownRows = Value < 0 ? 0 : Value; }
    int GetDropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = Value < 0 ? 0 : Value; }
    TVelDBGridFilterOptions GetOptions() const { return FOptions; }
    void SetOptions(TVelDBGridFilterOptions Value) { FOptions = Value; }
    TVelDBGridFilterClauses GetClauses() const { return FClauses; }
    // fcNoFilter is always offered.
    void SetClauses(TVelDBGridFilterClauses Value);
    TVelDBGridFilterPeriods GetPeriods() const { return FPeriods; }
    // fpNoPeriod is always offered.
    void SetPeriods(TVelDBGridFilterPeriods Value);
    TFilterStyles GetAutoFilters() const { return FAutoFilters; }
    void SetAutoFilters(TFilterStyles Value) { FAutoFilters = Value; }
    bool GetDecimalSeparator() const { return FDecimalSeparator; }
    void SetDecimalSeparator(bool Value) { FDecimalSeparator = Value; }
    bool GetTakeover() const { return FTakeover; }
    // The persistence lines, created on first use.
    TStringList* GetSettings();

    // Changes inside a bracket are applied once, when the outermost bracket ends.
    void BeginFilterChange() { ++FChangeLock; }
    void CancelFilterChange() {
        if (FChangeLock > 0) --FChangeLock;
    }
    void EndFilterChange();
    int GetChangeLock() const { return FChangeLock; }
    // Outside a bracket: the grid rebuilds the filter (through OnFilterChanged until the
    // grid connects directly).
    virtual void FilterChanged();
    void SetOnFilterChanged(TNotifyEvent Value) { FOnFilterChanged = std::move(Value); }

    // The title buttons show: AutoFilter and Filtered.
    bool GetVisible() const { return FAutoFilter && FFiltered; }
    void SwitchAutoFilters(TFilterStyles Value, bool On);
    void SwitchClauses(TVelDBGridFilterClauses Value, bool On);
    void SwitchOptions(TVelDBGridFilterOptions Value, bool On);
    void SwitchPeriods(TVelDBGridFilterPeriods Value, bool On);
    // The column filters joined with the dataset's own filter when that is in force.
    std::string JoinFilter(bool Filtered, const std::string& Filter) const;

    static TVelDBGridFilterOptions DefaultOptions();
    static TVelDBGridFilterClauses DefaultClauses();
    static TVelDBGridFilterPeriods DefaultPeriods();
    static TFilterStyles DefaultAutoFilters();

private:
    TComponent* FGrid;
    bool FTakeover = false;
    bool FFiltered = true;
    bool FAutoFilter = false;
    bool FAutoUpdate = true;
    std::string FFilterText;
    int FDropDownRows = 0;
    int FDropDownWidth = 0;
    TVelDBGridFilterOptions FOptions;
    TVelDBGridFilterClauses FClauses;
    TVelDBGridFilterPeriods FPeriods;
    TFilterStyles FAutoFilters;
    bool FDecimalSeparator = false;
    int FChangeLock = 0;
    TStringList* FSettings = nullptr;
    TNotifyEvent FOnFilterChanged;
};

}  // namespace vel
