// A column's value lists: pick lists loaded from data, the formatted pick texts, and which
// kind of list (lookup, calendar) the column's cell offers.
#include <algorithm>
#include <numeric>
#include <unordered_set>
#include <vector>

#include "grid/DBGrid.h"
#include "platform/classes/Strings.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {
// Visits every record of DataSet in cursor order without the links seeing the moves. A closed
// dataset is opened for the walk and closed again; an open one gets its record back.
template <class F>
void WalkRecords(TDataSet* DataSet, F&& Visit) {
    const bool wasActive = DataSet->GetActive();
    if (!wasActive) DataSet->Open();
    TScopeExit close([&] {
        if (!wasActive) DataSet->Close();
    });
    DataSet->CheckBrowseMode();
    DataSet->DisableControls();
    TScopeExit enable([&] { DataSet->EnableControls(); });
    const TBookmark mark = wasActive && !DataSet->IsEmpty() ? DataSet->GetBookmark() : TBookmark();
    TScopeExit back([&] {
        if (!mark.empty() && DataSet->BookmarkValid(mark)) DataSet->GotoBookmark(mark);
    });
    for (DataSet->First(); !DataSet->GetEOF(); DataSet->Next()) Visit();
}
}  // namespace

void TVelColumn::ClearPickLists() {
    FPickList->BeginUpdate();
    FPickText->BeginUpdate();
    TScopeExit end([this] {
        FPickText->EndUpdate();
        FPickList->EndUpdate();
    });
    FPickList->Clear();
    FPickText->Clear();
    delete FPickData;
    FPickData = nullptr;
}

void TVelColumn::LoadPickList(TField* Field, bool Sorted) {
    if (!Field) Field = GetField();
    TDataSet* ds = Field ? Field->GetDataSet() : nullptr;
    if (!ds) {
        ClearPickLists();
        return;
    }
    // The list is built aside: a walk that fails leaves the old one.
    TStringList items;
    std::unordered_set<std::string> seen;
    auto add = [&](const std::string& Text) {
        if (!Text.empty() && seen.insert(Text).second) items.Add(Text);
    };
    if (FPickOptions.Contains(TVelPickOption::poAppendToList))
        for (int i = 0; i < FPickList->Count(); ++i) add(FPickList->Strings(i));
    WalkRecords(ds, [&] { add(Field->GetEditText()); });
    if (Sorted) items.Sort();
    FPickList->BeginUpdate();
    TScopeExit end([this] { FPickList->EndUpdate(); });
    FPickList->Assign(&items);
    FPickText->Clear();
}

void TVelColumn::LoadPickText(TField* KeyField, TField* TextField, bool Sorted) {
    TDataSet* ds = KeyField ? KeyField->GetDataSet() : nullptr;
    if (!ds || !TextField) {
        ClearPickLists();
        return;
    }
    if (TextField->GetDataSet() != ds)
        throw EDatabaseError("Pick texts need a key field and a text field of one dataset: " +
                             KeyField->GetFullName() + " and " + TextField->GetFullName() +
                             " belong to different datasets");
    std::vector<std::pair<std::string, std::string>> pairs;
    std::unordered_set<std::string> seen;
    auto add = [&](const std::string& Key, const std::string& Text) {
        if ((Key.empty() && Text.empty()) || !seen.insert(Key).second) return;
        pairs.emplace_back(Key, Text);
    };
    if (FPickOptions.Contains(TVelPickOption::poAppendToList))
        for (int i = 0; i < FPickList->Count(); ++i)
            add(FPickList->Strings(i), i < FPickText->Count() ? FPickText->Strings(i) : "");
    WalkRecords(ds, [&] { add(KeyField->GetEditText(), TextField->GetEditText()); });
    if (Sorted) {
        const bool byText = FPickOptions.Contains(TVelPickOption::poSortedByText);
        std::stable_sort(pairs.begin(), pairs.end(), [byText](const auto& A, const auto& B) {
            return byText ? Utf8CompareText(A.second, B.second) < 0
                          : Utf8CompareText(A.first, B.first) < 0;
        });
    }
    FPickList->BeginUpdate();
    FPickText->BeginUpdate();
    TScopeExit end([this] {
        FPickText->EndUpdate();
        FPickList->EndUpdate();
    });
    FPickList->Clear();
    FPickText->Clear();
    for (const auto& [key, text] : pairs) {
        FPickList->Add(key);
        FPickText->Add(text);
    }
}

void TVelColumn::UpdatePickData() const {
    auto* data = new TStringList;
    for (int i = 0; i < FPickText->Count(); ++i) data->Add(FormatPickText(i));
    delete FPickData;
    FPickData = data;
}

TStrings* TVelColumn::FormattedPickTexts() const {
    if (!FPickData) UpdatePickData();
    return FPickData;
}

bool TVelColumn::GetPickListActive() const {
    return FPickList->Count() > 0;
}

bool TVelColumn::GetCalendarActive() const {
    TField* f = GetField();
    if (!f) return false;
    using enum TFieldType;
    const TFieldType t = f->GetDataType();
    return t == ftDate || t == ftDateTime || t == ftTimeStamp;
}

bool TVelColumn::GetLookupActive() const {
    return GetLookupColumn() != TVelLookupColumn::lcNotDefined && GetLookupDataSet();
}

}  // namespace vel
