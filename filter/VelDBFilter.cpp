#include "filter/VelDBFilter.h"

#include "graphics/PimkitUtils.h"
#include "grid/DBGrid.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {

using enum TVelDBGridFilterClause;
using enum TFieldType;

bool IsTextType(TFieldType t) {
    return t == ftString || t == ftFixedChar || t == ftWideString || t == ftGuid ||
           t == ftFixedWideChar;
}

bool IsQuotedType(TFieldType t) {
    return IsTextType(t) || t == ftDate || t == ftTime || t == ftDateTime || t == ftTimeStamp ||
           t == ftTimeStampOffset;
}

bool IsDecimalType(TFieldType t) {
    return t == ftFloat || t == ftCurrency || t == ftBCD || t == ftFMTBcd || t == ftExtended ||
           t == ftSingle;
}

bool IsListClause(TVelDBGridFilterClause c) { return c == fcIsOnTheList || c == fcIsNotOnTheList; }

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = s.find(from, pos)) != std::string::npos; pos = hit + from.size())
        out.append(s, pos, hit - pos).append(to);
    out.append(s, pos);
    s = std::move(out);
}

// Replaces until the pattern no longer occurs (the replacement is shorter).
bool ReplaceRepeatedly(std::string& s, std::string_view from, std::string_view to) {
    bool any = false;
    while (s.find(from) != std::string::npos) {
        ReplaceAll(s, from, to);
        any = true;
    }
    return any;
}

TVelDBGridFilterClause ClauseOf(const std::string& key) {
    const int v = StrToIntDef(Trim(key), 0);
    return v >= 0 && v <= 16 ? static_cast<TVelDBGridFilterClause>(v) : fcNoFilter;
}

}  // namespace

TVelDBGridFilterForm::TVelDBGridFilterForm(TVelColumn* Column) : FColumn(Column) {
    if (!Column) throw EDatabaseError("The filter form needs a column");
}

TDataSet* TVelDBGridFilterForm::GetDataSet() const {
    TVelCustomDBGrid* grid = FColumn->GetGrid();
    TDataSource* src = grid ? grid->GetDataSource() : nullptr;
    TDataSet* ds = src ? src->GetDataSet() : nullptr;
    if (!ds) DatabaseError("The column's grid has no dataset to filter");
    return ds;
}

TField* TVelDBGridFilterForm::GetFilterField() const {
    return GetDataSet()->FieldByName(FColumn->GetKeyField());
}

std::string TVelDBGridFilterForm::GetFilterFieldName() const {
    const std::string& name = GetFilterField()->GetFieldName();
    return name.find(' ') == std::string::npos ? name : "[" + name + "]";
}

TFilterFamily TVelDBGridFilterForm::GetFamily() const {
    TField* f = GetFilterField();
    TDataSet* ds = f->GetDataSet();
    return FilterFamilyOf(ds ? ds->ClassName() : std::string());
}

TVelDBGridFilterClauses TVelDBGridFilterForm::GetFilterClauses() const {
    TVelDBGridFilterClauses result = FColumn->GetGrid()->GetFilterGrid()->GetClauses();
    switch (GetFamily()) {
        case TFilterFamily::ffADO:
            result -= TVelDBGridFilterClauses{fcDoesNotContain, fcDoesNotStartFrom, fcEndsWith,
                                              fcDoesNotEndWith, fcIsOnTheList, fcIsNotOnTheList};
            break;
        case TFilterFamily::ffBDE:
            result -= TVelDBGridFilterClauses{fcContains,       fcDoesNotContain, fcStartsFrom,
                                              fcDoesNotStartFrom, fcEndsWith,   fcDoesNotEndWith,
                                              fcIsOnTheList,    fcIsNotOnTheList};
            break;
        default: break;
    }
    return result;
}

char TVelDBGridFilterForm::GetDecimalSeparator() const {
    const char fixed = SFilterDecimalSeparator.empty() ? '.' : SFilterDecimalSeparator[0];
    switch (GetFamily()) {
        case TFilterFamily::ffBDE:
        case TFilterFamily::ffCDS: return FormatSettings().DecimalSeparator;
        case TFilterFamily::ffADO:
        case TFilterFamily::ffFDX: return fixed;
        default:
            return FColumn->GetGrid()->GetFilterGrid()->GetDecimalSeparator()
                       ? FormatSettings().DecimalSeparator
                       : fixed;
    }
}

char32_t TVelDBGridFilterForm::GetDelimiterChar() const {
    const TFieldType t = GetFilterField()->GetDataType();
    if (IsTextType(t)) return FColumn->GetDelimiterChar();
    if (IsDecimalType(t) && FormatSettings().DecimalSeparator == ',') return U' ';
    return U',';
}

void TVelDBGridFilterForm::CheckFilterText(TVelDBGridFilterClause Clause, std::string& Text) const {
    const TFieldType type = GetFilterField()->GetDataType();
    const std::string d = Utf8Encode(GetDelimiterChar());
    const bool list = IsListClause(Clause);
    if (list) {
        bool again = true;
        while (again) {
            again = ReplaceRepeatedly(Text, d + " ", d);
            again = ReplaceRepeatedly(Text, " " + d, d) || again;
        }
    }
    if (IsQuotedType(type)) {
        if (list) ReplaceAll(Text, d, "','");
        const int c = static_cast<int>(Clause);
        if (c >= static_cast<int>(fcIsEqual) && c <= static_cast<int>(fcIsNotOnTheList))
            Text = "'" + Text + "'";
        return;
    }
    if (!IsDecimalType(type)) return;
    const char s = FormatSettings().DecimalSeparator;
    const char e = GetDecimalSeparator();
    auto fix = [&] {
        if (s != e) ReplaceAll(Text, std::string(1, s), std::string(1, e));
        return e != ',';
    };
    if (list && (s != ',' || d != " ")) {
        fix();
        ReplaceAll(Text, d, ",");
    } else if (list) {
        ReplaceRepeatedly(Text, " ,", " ");
        ReplaceRepeatedly(Text, ", ", " ");
        ReplaceRepeatedly(Text, "  ", " ");
        ReplaceAll(Text, " ", fix() ? "," : ", ");
    } else {
        fix();
    }
}

std::string TVelDBGridFilterForm::GetFilterFormat(TVelDBGridFilterClause Clause) const {
    if (GetFamily() == TFilterFamily::ffADO) {
        if (Clause == fcIsEmpty) return SADOFilterFormat15;
        if (Clause == fcIsNotEmpty) return SADOFilterFormat16;
    }
    return FilterFormat(Clause);
}

std::string TVelDBGridFilterForm::ComposeFilterText() {
    TVelDBGridFilterClause c1 = ClauseOf(Clause1), c2 = ClauseOf(Clause2);
    Value1 = Trim(Value1);
    Value2 = Trim(Value2);
    auto settle = [](TVelDBGridFilterClause& c, std::string& v) {
        const bool valueless = c == fcNoFilter || c == fcIsEmpty || c == fcIsNotEmpty;
        if (!valueless && v.empty()) c = fcNoFilter;
        if (c == fcNoFilter || c == fcIsEmpty || c == fcIsNotEmpty) v.clear();
    };
    settle(c1, Value1);
    settle(c2, Value2);
    std::string v1 = Value1, v2 = Value2;
    CheckFilterText(c1, v1);
    CheckFilterText(c2, v2);
    const std::string name = GetFilterFieldName();
    auto condition = [&](TVelDBGridFilterClause c, const std::string& v) {
        return Format(GetFilterFormat(c), {name, v, SWildcardCharacter2});
    };
    std::string expr;
    if (c1 != fcNoFilter) expr = condition(c1, v1);
    if (c1 != fcNoFilter && c2 != fcNoFilter) expr += AndSelected ? SFilterAnd : SFilterOr;
    if (c2 != fcNoFilter) expr += condition(c2, v2);
    if (!expr.empty() && Reverse && GetReverseAllowed()) expr = Format(SFilterReverse, {expr});
    return expr;
}

void TVelDBGridFilterForm::SaveFilterForm() {
    const std::string expr = ComposeFilterText();
    InstallColumnFilterText(FColumn, GetDataSet(), expr);
    // A form filter and a list filter exclude each other.
    if (!expr.empty()) FColumn->GetFilterList()->Clear();
}

std::vector<TVelDBGridFilterPeriodItem> TVelDBGridFilterForm::LoadPeriodData() const {
    const TFieldType type = GetFilterField()->GetDataType();
    const TVelDBGridFilterPeriods periods = FColumn->GetGrid()->GetFilterGrid()->GetPeriods();
    std::vector<TVelDBGridFilterPeriodItem> items;
    for (const TVelDBGridFilterPeriodEntry& e : FilterPeriodTable())
        if (FilterPeriodVisible(e, type, periods))
            items.push_back({e.ID, e.ParentID, FilterPeriodCaption(e)});
    return items;
}

void TVelDBGridFilterForm::SavePeriodData() {
    const TFieldType type = GetFilterField()->GetDataType();
    const TFilterPeriodRange r = FilterPeriodRange(StrToIntDef(Trim(PeriodText), 0), type);
    SetClause1(fcIsGreaterThenOrEqual);
    Value1 = r.Start;
    SetClause2(fcIsLessThen);
    Value2 = r.End;
    AndSelected = true;
    if (type == ftTime && !r.End.empty() && r.End == ShortTimeToStr(0)) {
        SetClause2(fcNoFilter);
        Value2.clear();
    }
}

void InstallColumnFilterText(TVelColumn* Column, TDataSet* DataSet, const std::string& Text) {
    const std::string previous = Column->GetFilterText();
    const std::string previousFilter = DataSet->GetFilter();
    const bool previousFiltered = DataSet->GetFiltered();
    try {
        Column->SetFilterText(Text);
        DataSet->SetFilter(Text);
        DataSet->SetFiltered(!Text.empty());
    } catch (const EDatabaseError&) {
        Column->SetFilterText(previous);
        try {
            DataSet->SetFiltered(false);
            DataSet->SetFilter(previousFilter);
            DataSet->SetFiltered(previousFiltered);
        } catch (const EDatabaseError&) {
            // The previous text was in force a moment ago; should it fail now, the dataset
            // stays unfiltered rather than half-filtered.
        }
        DatabaseErrorFmt(SInvalidFilterExpression, {Text});
    }
}

}  // namespace vel
