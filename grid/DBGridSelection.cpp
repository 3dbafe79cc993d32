// TVelCustomDBGrid: the multi-selection model. The mode follows the options and the column
// range; changes happen inside a selection bracket and are announced once when the outermost
// bracket closes (or DelayInterval later with dgDelaySelectedRows).
#include <algorithm>

#include "grid/DBGrid.h"
#include "grid/GridColumns.h"
#include "grid/GridConsts.h"
#include "grid/GridDataLink.h"
#include "grid/GridSelection.h"
#include "platform/controls/Application.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

using O = TVelDBGridOption;
using OEx = TVelDBGridOptionEx;
using M = TMultiSelection;

namespace {
enum TWalkAct { waSelect, waUnselect, waInvert };
}

// ---- Mode and column range.

void TVelCustomDBGrid::UpdateMultiSelect() {
    M candidate;
    if (FOptions.Contains(O::dgRowSelect))
        candidate = M::msRows;
    else if (FSelectionColumn)
        candidate = M::msCols;
    else if (FSelectionBegCol < 0)
        candidate = M::msRows;
    else if (FMultiSelectOptions.Contains(M::msCells))
        candidate = M::msCells;
    else if (FMultiSelectOptions.Contains(M::msRows))
        candidate = M::msRows;
    else
        candidate = M::msCols;
    const M mode = FMultiSelectOptions.Contains(candidate) ? candidate : M::msNone;
    if (mode == FMultiSelect) return;
    FMultiSelect = mode;
    Invalidate();
}

bool TVelCustomDBGrid::GetRowsSelection() const {
    return FMultiSelect == M::msRows || FMultiSelect == M::msCells;
}

bool TVelCustomDBGrid::GetColsSelection() const {
    return FMultiSelect == M::msCols || FMultiSelect == M::msCells;
}

bool TVelCustomDBGrid::GetRowsSelected() const {
    return GetRowsSelection() && FBookmarks->Count() > 0;
}

bool TVelCustomDBGrid::GetColsSelected() const {
    if (!GetColsSelection()) return false;
    if (FSelectedCols->GetBuilt() && !FSelectedCols->GetAutoRefresh()) return FSelectedCols->Count() > 0;
    return FSelectionMinCol >= 0;
}

int TVelCustomDBGrid::GetSelectionOffset() const {
    return FMultiSelectOptions.Contains(M::msFixed) ? 0 : FFixedCols;
}

void TVelCustomDBGrid::ReorderSelectionCols() {
    if (FSelectionBegCol < 0 || FSelectionEndCol < 0) {
        FSelectionMinCol = FSelectionMaxCol = -1;
    } else {
        FSelectionMinCol = std::min(FSelectionBegCol, FSelectionEndCol);
        FSelectionMaxCol = std::max(FSelectionBegCol, FSelectionEndCol);
    }
    // A list built from the range follows it.
    if (FSelectedCols->GetAutoRefresh()) FSelectedCols->NeedRefresh();
}

void TVelCustomDBGrid::ColsChanged() { FColsChanged = true; }

void TVelCustomDBGrid::SetSelectionBegCol(int Value) {
    if (Value < GetSelectionOffset()) Value = -1;
    if (Value == FSelectionBegCol) return;
    const bool wasComplete = GetColsSelection() && FSelectionMinCol >= 0;
    FSelectionBegCol = Value;
    if (Value < 0) FSelectionColumn = false;
    ReorderSelectionCols();
    UpdateMultiSelect();
    if (wasComplete || (GetColsSelection() && FSelectionMinCol >= 0)) ColsChanged();
}

void TVelCustomDBGrid::SetSelectionEndCol(int Value) {
    if (FSelectionBegCol < 0)
        Value = -1;
    else if (Value >= 0 && Value < FFixedCols)
        Value = FFixedCols;
    if (Value == FSelectionEndCol) return;
    FSelectionEndCol = Value;
    ReorderSelectionCols();
    if (GetColsSelection()) ColsChanged();
}

void TVelCustomDBGrid::SetSelectionColumn(bool Value) {
    if (Value == FSelectionColumn) return;
    FSelectionColumn = Value;
    if (FSelectionBegCol < 0) FSelectionBegCol = std::max(GetSelectionOffset(), RawToDataColumn(GetCol()));
    ReorderSelectionCols();
    UpdateMultiSelect();
    ColsChanged();
}

void TVelCustomDBGrid::SetSelectionAnchor(const TBookmark& Value) {
    if (Value == FSelectionAnchor) return;
    FSelectionAnchor = Value;
    // The indicator marks the anchor.
    if (FIndicatorOffset > 0 && FOptions.Contains(O::dgExtendedSelect)) InvalidateCol(0);
}

void TVelCustomDBGrid::SetMultiSelect(TMultiSelect Value) {
    if (Value == FMultiSelect) return;
    const bool allowed = Value == M::msRows ? FMultiSelectOptions.Contains(M::msRows)
                         : Value == M::msCols || Value == M::msCells
                             ? FMultiSelectOptions.Contains(Value) && !FOptions.Contains(O::dgRowSelect)
                             : false;
    if (!allowed) return;
    BeginSelect();
    TScopeExit end([&] { EndSelect(); });
    ClearSelection();
    if (Value == M::msCols || Value == M::msCells) {
        SetSelectionColumn(Value == M::msCols);
        SetSelectionBegCol(RawToDataColumn(GetCol()));
    }
}

void TVelCustomDBGrid::SetMultiSelectOptions(TMultiSelectOptions Value) {
    Value.Exclude(M::msNone);
    if (Value == FMultiSelectOptions) return;
    ClearSelection();
    PerformDelayed();
    FMultiSelectOptions = Value;
    UpdateMultiSelect();
    Invalidate();
}

bool TVelCustomDBGrid::IsRowMultiSelected() const { return FBookmarks->GetCurrentRowSelected(); }

bool TVelCustomDBGrid::IsSelectAnchorRow() const {
    if (!FOptions.Contains(O::dgMultiSelect) || !FOptions.Contains(O::dgExtendedSelect) ||
        FSelectionAnchor.empty() || !FDataLink->GetActive())
        return false;
    const TBookmark current = GetDataSet()->GetBookmark();
    return !current.empty() && GetDataSet()->CompareBookmarks(current, FSelectionAnchor) == 0;
}

bool TVelCustomDBGrid::IsColMultiSelected(int DataCol) const {
    if (!GetColsSelection()) return true;
    TVelColumnList& cols = *FSelectedCols;
    if (!cols.GetBuilt() || cols.GetAutoRefresh())
        return FSelectionMinCol >= 0 && DataCol >= FSelectionMinCol && DataCol <= FSelectionMaxCol;
    return cols.GetColumns(DataCol);
}

// ---- The bracket.

void TVelCustomDBGrid::BeginSelect() {
    ++FSelectLock;
    BeginUpdate();
}

void TVelCustomDBGrid::EndSelect() {
    EndUpdate();
    if (FSelectLock > 0) --FSelectLock;
    if (FSelectLock > 0 || (!FRowsChanged && !FColsChanged) || IsDestroying()) return;
    if (FColsChanged) Invalidate();
    if (FOptionsEx.Contains(OEx::dgDelaySelectedRows) && !IsDesigning() && HandleAllocated()) {
        if (!FSelectTimer) {
            FSelectTimer = new TTimer(nullptr);
            FSelectTimer->SetOnTimer([this](TObject*) { DelayEndSelect(); });
        }
        // Each change starts the wait again.
        FSelectTimer->SetEnabled(false);
        FSelectTimer->SetInterval(unsigned(DelayInterval));
        FSelectTimer->SetEnabled(true);
        return;
    }
    DoEndSelect();
}

void TVelCustomDBGrid::DelayEndSelect() {
    delete FSelectTimer;
    FSelectTimer = nullptr;
    DoEndSelect();
}

void TVelCustomDBGrid::PerformDelayed() {
    if (FSelectTimer) DelayEndSelect();
}

void TVelCustomDBGrid::DoEndSelect() {
    const bool rows = FRowsChanged, cols = FColsChanged;
    FRowsChanged = FColsChanged = false;
    if (!rows && !cols) return;
    FTotals->SetSelection(GetRowsSelected(), GetColsSelected());
    if (rows) SelectedRowsChanged();
    if (cols) SelectedColsChanged();
    SelectedChanged();
}

void TVelCustomDBGrid::SelectionChanged(TSelectAction Action) {
    FRowsChanged = true;
    if (FOnRowSelect) FOnRowSelect(this, Action);
}

namespace {
// Totals that depend on the selection are computed again (or repainted) when it changes.
bool TotalsFollowSelection(TVelDBGridOptionsEx Ex, TVelDBGridTotals* Totals) {
    return Ex.Contains(OEx::dgAutoUpdateTotals) && Totals->GetCalcValues() &&
           (Totals->GetVisible() || Ex.Contains(OEx::dgCalcInvisibleRows) ||
            Ex.Contains(OEx::dgSelectedAutoHidden));
}
bool AnySelectedTotals(TVelDBGridOptionsEx Ex) {
    return Ex.Contains(OEx::dgTotalHeaderSelected) || Ex.Contains(OEx::dgTotalValuesSelected) ||
           Ex.Contains(OEx::dgTotalFooterSelected);
}
}  // namespace

void TVelCustomDBGrid::SelectedRowsChanged() {
    if (TotalsFollowSelection(FOptionsEx, FTotals) &&
        (FOptionsEx.Contains(OEx::dgCalcSelectedRows) || AnySelectedTotals(FOptionsEx)))
        UpdateCalcValues();
    if (FOnSelectedRowsChanged) FOnSelectedRowsChanged(this);
}

void TVelCustomDBGrid::SelectedColsChanged() {
    if (TotalsFollowSelection(FOptionsEx, FTotals)) {
        if (!FOptionsEx.Contains(OEx::dgCalcSelectedRows) && AnySelectedTotals(FOptionsEx) &&
            FOptionsEx.Contains(OEx::dgSelectedAutoHidden))
            UpdateCalcValues();
        else
            Invalidate();
    }
    if (FOnSelectedColsChanged) FOnSelectedColsChanged(this);
}

void TVelCustomDBGrid::SelectedChanged() {
    if (FOnSelectionChanged) FOnSelectionChanged(this);
}

// ---- Walking the dataset.

void TVelCustomDBGrid::WithPositionKept(const std::function<void()>& Walk) {
    TDataSet* ds = GetDataSet();
    const TBookmark current = ds->GetBookmark();
    const int active = FDataLink->GetActiveRecord();
    TBookmark top;
    {
        TScopeExit back([&] { FDataLink->SetActiveRecord(active); });
        FDataLink->SetActiveRecord(0);
        top = ds->GetBookmark();
    }
    ds->DisableControls();
    TScopeExit enable([&] { ds->EnableControls(); });
    TScopeExit restore([&] {
        if (current.empty() || !ds->BookmarkValid(current)) return;
        if (!top.empty() && ds->BookmarkValid(top)) {
            // The top record comes back to the first row: it is placed, then the cursor goes
            // down to the last row of the window and up again to the current record's row.
            const int last = FDataLink->GetBufferCount() - 1;
            ds->GotoBookmark(top);
            ds->MoveBy(last);
            ds->MoveBy(active - last);
        }
        if (ds->GetBookmark() != current) ds->GotoBookmark(current);
    });
    Walk();
}

void TVelCustomDBGrid::RowsDeleted() {
    ++FWork.TreeViewRefreshes;
    if (FOptionsExt.Contains(TVelDBGridOptionExt::dgAutoUpdateListItems)) UpdateListItems();
    if (FOptionsEx.Contains(OEx::dgAutoUpdateSequence)) UpdateSequenceValues(false);
    TotalsChanged(TTotalResult::trCalcValue, nullptr);
}

// ---- Operations.

void TVelCustomDBGrid::ToggleRowSelection() {
    if (!FDataLink->GetActive() || GetDataSet()->IsEmpty()) return;
    FBookmarks->SetCurrentRowSelected(!FBookmarks->GetCurrentRowSelected());
}

void TVelCustomDBGrid::ClearSelection() {
    BeginSelect();
    TScopeExit end([&] { EndSelect(); });
    FBookmarks->Clear();
    SetSelectionAnchor({});
    FSelectedCols->Clear();
    FSelectionColumn = false;
    SetSelectionEndCol(-1);
    SetSelectionBegCol(-1);
    UpdateMultiSelect();
}

void TVelCustomDBGrid::SelectAll() {
    if (!FDataLink->GetActive() || (!GetRowsSelection() && !GetColsSelection())) return;
    BeginSelect();
    TScopeExit end([&] { EndSelect(); });
    TDataSet* ds = GetDataSet();
    ds->CheckBrowseMode();
    if (GetRowsSelection()) {
        FBookmarks->Clear();
        WithPositionKept([&] {
            ds->First();
            while (!ds->GetEOF()) {
                FBookmarks->InsertItem(FBookmarks->Count(), ds->GetBookmark());
                SelectionChanged(TSelectAction::saSelect);
                ds->Next();
            }
        });
        SetSelectionAnchor(ds->GetBookmark());
        Invalidate();
    }
    if (GetColsSelection())
        for (int c = GetSelectionOffset(); c < int(FVisibleColumns.size()); ++c)
            FSelectedCols->SetColumns(c, true);
}

void TVelCustomDBGrid::InvertAll() {
    if (!FDataLink->GetActive() || GetRowsSelection() == GetColsSelection()) return;
    BeginSelect();
    TScopeExit end([&] { EndSelect(); });
    TDataSet* ds = GetDataSet();
    ds->CheckBrowseMode();
    if (GetRowsSelection()) {
        WithPositionKept([&] {
            ds->First();
            while (!ds->GetEOF()) {
                FBookmarks->SetCurrentRowSelected(!FBookmarks->GetCurrentRowSelected());
                ds->Next();
            }
        });
        Invalidate();
    } else {
        for (int c = GetSelectionOffset(); c < int(FVisibleColumns.size()); ++c)
            FSelectedCols->SetColumns(c, !FSelectedCols->GetColumns(c));
    }
}

void TVelCustomDBGrid::SelectRow() {
    if (FDataLink->GetActive()) FBookmarks->SetCurrentRowSelected(true);
}

void TVelCustomDBGrid::UnselectRow() {
    if (FDataLink->GetActive()) FBookmarks->SetCurrentRowSelected(false);
}

void TVelCustomDBGrid::InvertRow() {
    if (FDataLink->GetActive()) FBookmarks->SetCurrentRowSelected(!FBookmarks->GetCurrentRowSelected());
}

void TVelCustomDBGrid::WalkToAnchor(int Act) {
    if (!FDataLink->GetActive() || !GetRowsSelection()) return;
    TDataSet* ds = GetDataSet();
    auto apply = [&] {
        switch (Act) {
            case waSelect: FBookmarks->SetCurrentRowSelected(true); break;
            case waUnselect: FBookmarks->SetCurrentRowSelected(false); break;
            default: FBookmarks->SetCurrentRowSelected(!FBookmarks->GetCurrentRowSelected()); break;
        }
    };
    BeginSelect();
    TScopeExit end([&] { EndSelect(); });
    ds->CheckBrowseMode();
    if (FSelectionAnchor.empty() || !ds->BookmarkValid(FSelectionAnchor)) SetSelectionAnchor(ds->GetBookmark());
    const TBookmark anchor = FSelectionAnchor;
    WithPositionKept([&] {
        const int dir = ds->CompareBookmarks(ds->GetBookmark(), anchor) > 0 ? -1 : 1;
        while (true) {
            apply();
            if (ds->CompareBookmarks(ds->GetBookmark(), anchor) == 0) break;
            if (ds->MoveBy(dir) == 0) break;
        }
    });
    Invalidate();
}

void TVelCustomDBGrid::SelectRows() { WalkToAnchor(waSelect); }
void TVelCustomDBGrid::UnselectRows() { WalkToAnchor(waUnselect); }
void TVelCustomDBGrid::InvertRows() { WalkToAnchor(waInvert); }

void TVelCustomDBGrid::DeleteSelectedRows() { FBookmarks->Delete(); }

// ---- Across a reorder.

void TVelCustomDBGrid::SaveSelection(const std::string& KeyFields) {
    FSavedSelect = FMultiSelect;
    if (FDataLink->GetActive()) FBookmarks->Save(KeyFields);
    FSelectedCols->Save();
}

void TVelCustomDBGrid::RestoreSelection(const std::string& KeyFields) {
    if (FSavedSelect == M::msNone) return;
    BeginSelect();
    TScopeExit end([&] { EndSelect(); });
    SetMultiSelect(FSavedSelect);
    if (FDataLink->GetActive()) FBookmarks->Restore(KeyFields);
    FSelectedCols->Restore();
}

// ---- Reopening.

void TVelCustomDBGrid::RefreshDataSet(const std::string& KeyFields) {
    if (!FDataLink->GetActive()) return;
    const std::string keys = KeyFields.empty() ? FKeyFields : KeyFields;
    const bool keep = !keys.empty() && FOptionsEx.Contains(OEx::dgAutoKeepSelection);
    TDataSet* ds = GetDataSet();
    Variant current;
    if (!keys.empty()) current = ds->GetFieldValues(keys);
    if (keep) SaveSelection(keys);
    ClearSelection();
    ds->Close();
    ++FWork.TreeViewRefreshes;
    ds->Open();
    if (keys.empty()) return;
    if (keep) RestoreSelection(keys);
    ds->Locate(keys, current, {});
}

}  // namespace vel
