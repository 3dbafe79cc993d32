// TDataSet: filter text, Filtered, filter options and OnFilterRecord.
#include <cmath>

#include "platform/db/DataSet.h"
#include "platform/db/FilterExpr.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

namespace {

// Reads the record under test through the fields (any dataset).
class TFieldFilterRow : public TFilterRow {
public:
    explicit TFieldFilterRow(const std::vector<TField*>& fields)
        : FFields(fields), FStrings(fields.size()) {}

    TFilterValue Get(int slot) const override {
        TField* f = FFields[slot];
        if (f->IsNull()) return TFilterValue::Null();
        TFieldType t = f->GetDataType();
        if (IsIntegerType(t)) return TFilterValue::FromInt(f->GetAsLargeInt());
        if (IsFloatType(t)) return TFilterValue::FromFloat(f->GetAsFloat());
        if (IsDateTimeType(t)) return TFilterValue::FromFloat(f->GetAsDateTime());
        if (t == TFieldType::ftBoolean) return TFilterValue::FromBool(f->GetAsBoolean());
        FStrings[slot] = f->GetAsString();
        return TFilterValue::FromStr(FStrings[slot]);
    }

private:
    const std::vector<TField*>& FFields;
    mutable std::vector<std::string> FStrings;
};

}  // namespace

void TDataSet::CompileFilter() {
    if (!FFilterExpr) return;
    const std::vector<TField*>& list = GetFieldList();
    FFilterExpr->Bind(
        [&](const std::string& name, int& slot, TFieldType& type) {
            TField* f = FindField(name);
            if (!f) return false;
            for (std::size_t i = 0; i < list.size(); ++i)
                if (list[i] == f) slot = static_cast<int>(i);
            type = f->GetDataType();
            return true;
        },
        FFilterOptions);
}

void TDataSet::SetFilter(const std::string& v) {
    if (v == FFilterText && (FFilterExpr || v.empty())) return;
    std::unique_ptr<TFilterExpression> parsed;
    bool blank = v.find_first_not_of(" \t\r\n") == std::string::npos;
    if (!blank) parsed = TFilterExpression::Parse(v);
    std::swap(parsed, FFilterExpr);
    std::string oldText = FFilterText;
    FFilterText = v;
    if (GetActive() && FFiltered) {
        try {
            CompileFilter();
        } catch (...) {
            std::swap(parsed, FFilterExpr);
            FFilterText = oldText;
            throw;
        }
        FilterChanged();
    }
}

void TDataSet::SetFiltered(bool v) {
    if (v == FFiltered) return;
    if (v && GetActive() && FFilterExpr) CompileFilter();
    FFiltered = v;
    if (GetActive()) FilterChanged();
}

void TDataSet::SetFilterOptions(TFilterOptions v) {
    if (v == FFilterOptions) return;
    TFilterOptions old = FFilterOptions;
    FFilterOptions = v;
    if (GetActive() && FFiltered && FFilterExpr) {
        try {
            CompileFilter();
        } catch (...) {
            FFilterOptions = old;
            CompileFilter();
            throw;
        }
        FilterChanged();
    }
}

void TDataSet::SetOnFilterRecord(TFilterRecordEvent v) {
    bool had = static_cast<bool>(FOnFilterRecord);
    FOnFilterRecord = std::move(v);
    if (GetActive() && FFiltered && (had || FOnFilterRecord)) FilterChanged();
}

void TDataSet::FilterChanged() {
    CheckBrowseMode();
    First();
}

bool TDataSet::FilterAccepts(TRecordBuffer buffer) {
    if (!HasFilter()) return true;
    TDataSetState saved = FState;
    TRecordBuffer savedCalc = FCalcBuffer;
    FState = TDataSetState::dsFilter;
    FCalcBuffer = buffer;
    bool accept = true;
    {
        TScopeExit cleanup([&] {
            FState = saved;
            FCalcBuffer = savedCalc;
        });
        if (FFilterExpr && FFilterExpr->IsBound()) {
            TFieldFilterRow row(GetFieldList());
            accept = FFilterExpr->Evaluate(row);
        }
        if (accept && FOnFilterRecord) FOnFilterRecord(this, accept);
    }
    return accept;
}

}  // namespace vel
