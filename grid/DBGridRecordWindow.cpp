// TVelCustomDBGrid: the record window. The data link's buffer holds exactly the data rows
// that fit on screen; grid rows are the title rows, one row per buffered record and the
// bottom block (blank row, then the total rows). Also the data link's news and the in-place
// editor's text, which reaches the field only when the edit is posted.
#include <algorithm>
#include <cstdlib>

#include "grid/DBGrid.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace vel {

namespace {
// More rows than any screen holds, so the base grid's count of visible rows is not limited
// by the row count.
constexpr int ManyRows = 1000;
}  // namespace

int TVelCustomDBGrid::GetDataRowCapacity() const {
    return std::max(1, TCustomGrid::GetVisibleRowCount() - FTotalOffset);
}

void TVelCustomDBGrid::SetBottomRowHeights() {
    const int rows = GetRowCount();
    const int first = rows - FTotalOffset;
    for (int r = first; r < rows; ++r) {
        if (r < FTitleOffset) continue;
        const bool blank = r == first && FOptionsEx.Contains(TVelDBGridOptionEx::dgBlankRow);
        SetRowHeights(r, blank ? std::max(GetBlankRowHeight(), 0) - GetRowLineWidth()
                               : GetTotalRowHeight());
    }
}

void TVelCustomDBGrid::UpdateRowCount() {
    const int oldRows = GetRowCount();
    {
    TRestore<int> quiet(FInvalidateLock, FInvalidateLock + 1);
    SetRowCount(std::max(GetRowCount(), FTitleOffset + FTotalOffset + 1));
    TCustomGrid::SetFixedRows(FTitleOffset);
    // Rows that held the bottom block are data rows again.
    for (int r = std::max(FTitleOffset, oldRows - FTotalOffset); r < GetRowCount(); ++r)
        SetRowHeights(r, GetDefaultRowHeight());
    TDataSet* ds = GetDataSet();
    if (FDataLink->GetActive() && ds && !ds->IsEmpty() && HandleAllocated()) {
        // The first rows below the titles stand in for the bottom block, so that the base
        // grid's count of visible rows leaves room for it.
        for (int i = 0; i < FTotalOffset; ++i)
            SetRowHeights(FTitleOffset + i, i == 0 && FOptionsEx.Contains(TVelDBGridOptionEx::dgBlankRow)
                                                ? -GetGridLineWidth()
                                                : GetTotalRowHeight());
        SetRowCount(ManyRows);
        SetTopRow(FTitleOffset);
        FDataLink->SetBufferCount(GetDataRowCapacity());
        SetRowCount(FDataLink->GetRecordCount() + FTitleOffset + FTotalOffset);
        for (int i = 0; i < FTotalOffset; ++i) SetRowHeights(FTitleOffset + i, GetDefaultRowHeight());
        SetBottomRowHeights();
        SetTopRow(FTitleOffset);
        UpdateActive();
    } else {
        SetRowCount(FTitleOffset + FTotalOffset + 1);
        SetBottomRowHeights();
    }
    }
    if (GetRowCount() != oldRows) {
        Invalidate();
    } else if (!GetDoubleBuffered() && FOptions.Contains(TVelDBGridOption::dgRowLines) &&
               FTotalOffset == 0 && HandleAllocated()) {
        // Data rows that exactly fill the area: the last one may have lost its line.
        const TRect last = CellRect(0, GetRowCount() - 1);
        if (last.Bottom + GetGridLineWidth() == GetClientHeight()) InvalidateRow(GetRowCount() - 1);
    }
}

void TVelCustomDBGrid::Invalidate() {
    if (FInvalidateLock == 0) TCustomGrid::Invalidate();
}

void TVelCustomDBGrid::MoveToDataRow(int Row) {
    if (Row < 0 || Row >= GetRowCount() || Row == GetRow()) return;
    if (!FOptions.Contains(TVelDBGridOption::dgAlwaysShowEditor)) HideEditor();
    MoveColRow(GetCol(), Row, true, false);
    InvalidateGridEditor();
}

void TVelCustomDBGrid::UpdateActive() {
    if (!FDataLink->GetActive() || !HandleAllocated() || IsLoading()) return;
    const int row = FDataLink->GetActiveRecord() + FTitleOffset;
    if (row != GetRow()) MoveToDataRow(row);
    FSelRow = GetRow();
    if (TVelColumn* c = GetSelectedColumn(); c && c->GetField() &&
                                             c->GetField()->GetEditText() != FEditText)
        InvalidateGridEditor();
    if (FOptions.Contains(TVelDBGridOption::dgEditing) &&
        FOptions.Contains(TVelDBGridOption::dgAllowInsertOff)) {
        TGridOptions o = TCustomGrid::GetOptions();
        TDataSet* ds = GetDataSet();
        if (ds && !ds->IsEmpty())
            o.Include(TGridOption::goEditing);
        else
            o.Exclude(TGridOption::goEditing);
        TCustomGrid::SetOptions(o);
    }
}

TRect TVelCustomDBGrid::CurrentRowRect() const {
    const int first = FIndicatorOffset > 0 ? 0 : TCustomGrid::GetFixedCols();
    TRect r = BoxRect(first, GetRow(), GetColCount() - 1, GetRow());
    if (FOptions.Contains(TVelDBGridOption::dgRowLines) && FDataRowLineColor == clNone)
        r.Bottom += GetGridLineWidth();
    return r;
}

void TVelCustomDBGrid::Scroll(int Distance) {
    if (!HandleAllocated()) return;
    const TRect oldRect = CurrentRowRect();
    if (FDataLink->GetActiveRecord() >= GetRowCount() - FTitleOffset - FTotalOffset)
        UpdateRowCount();
    UpdateActive();
    UpdateSequenceValues(false);
    UpdateScrollBar();
    const TRect newRect = CurrentRowRect();
    ValidateRect(&oldRect);
    InvalidateRect(&oldRect);
    InvalidateRect(&newRect);
    if (Distance != 0) {
        HideEditor();
        const int dataRows = GetRowCount() - FTitleOffset - FTotalOffset;
        if (std::abs(Distance) > dataRows || FStripeColor != clNone) {
            const TRect data = BoxRect(0, FTitleOffset, GetColCount() - 1,
                                       GetRowCount() - FTotalOffset - 1);
            InvalidateRect(&data);
            TotalsChanged(TTotalResult::trDataField, nullptr);
            return;
        }
        const int lastRow = FTotalOffset > 0 ? GetRowCount() - FTotalOffset - 1 : ManyRows;
        TRect area = BoxRect(0, FTitleOffset, GetColCount() - 1,
                             std::min(lastRow, GetRowCount() - 1));
        if (FTotalOffset == 0) area.Bottom = GetClientHeight();
        const int dy = -Distance * (GetDefaultRowHeight() + GetGridLineWidth());
        ScrollWindowEx(0, dy, &area, &area, nullptr, true);
        if (FIndicatorOffset > 0) {
            InvalidateCell(0, GetRow() + Distance);
            InvalidateCell(0, GetRow());
        }
        AlwaysShowEditor();
    }
    TotalsChanged(TTotalResult::trDataField, nullptr);
    if (FUpdateLock == 0) Update();
}

void TVelCustomDBGrid::AlwaysShowEditor() {
    if (FOptions.Contains(TVelDBGridOption::dgAlwaysShowEditor) && Focused()) ShowEditor();
}

void TVelCustomDBGrid::DataChanged() {
    if (!HandleAllocated() || GetUpdateInProgress()) return;
    TDataSet* ds = GetDataSet();
    if (ds && ds->GetState() == TDataSetState::dsBrowse && FChangeLock == 0 &&
        !HasSelection()) {
        ++FWork.TreeViewRefreshes;
        if (FOptionsExt.Contains(TVelDBGridOptionExt::dgAutoUpdateListItems)) UpdateListItems();
        if (FOptionsEx.Contains(TVelDBGridOptionEx::dgAutoUpdateSequence))
            UpdateSequenceValues(FOptionsEx.Contains(TVelDBGridOptionEx::dgDelayUpdateSequence));
        TotalsChanged(TTotalResult::trDataField, nullptr);
    }
    UpdateRowCount();
    UpdateScrollBar();
    UpdateActive();
    InvalidateGridEditor();
    ValidateRect(nullptr);
    Invalidate();
}

void TVelCustomDBGrid::RecordChanged(TField* Field) {
    if (!HandleAllocated()) return;
    if (Field) {
        ++FWork.TreeViewRefreshes;
        for (std::size_t i = 0; i < FVisibleColumns.size(); ++i) {
            TVelColumn* c = FVisibleColumns[i];
            TField* f = c->GetField();
            const bool bound = f == Field || (f && f->GetLookup() &&
                                              SameText(f->GetKeyFields(), Field->GetFieldName()));
            if (bound) InvalidateCol(DataToRawColumn(int(i)));
        }
    } else {
        const TRect data = BoxRect(0, FTitleOffset, GetColCount() - 1,
                                   GetRowCount() - FTotalOffset - 1);
        InvalidateRect(&data);
    }
    TotalsChanged(TTotalResult::trDataField, Field);
    TField* selected = GetSelectedField();
    if ((!Field || Field == selected) && selected && selected->GetEditText() != FEditText) {
        FEditText = selected->GetEditText();
        InvalidateGridEditor();
    }
    if (!Field) return;
    // Columns that show a lookup's result for this key get the result written back.
    for (int i = 0; i < FColumns->Count(); ++i) {
        TVelColumn* c = FColumns->GetColumn(i);
        TField* own = c->GetField();
        if (c->GetLookupColumn() != TVelLookupColumn::lcLookupResultField || !own ||
            !SameText(c->GetLookupKeyField(), Field->GetFieldName()) || !own->GetCanModify())
            continue;
        if (!FDataLink->Edit()) continue;
        if (Field->IsNull()) {
            own->Clear();
            continue;
        }
        TDataSet* lookup = c->GetLookupDataSet();
        if (!lookup) continue;
        const bool wasActive = lookup->GetActive();
        if (!wasActive) lookup->Open();
        TScopeExit close([&] {
            if (!wasActive) lookup->Close();
        });
        if (lookup->Locate(c->GetLookupKeyField(), Field->GetValue(), {}))
            own->SetValue(lookup->FieldByName(c->GetLookupResultField())->GetValue());
        else
            own->Clear();
    }
}

void TVelCustomDBGrid::EditingChanged() {
    if (FOptions.Contains(TVelDBGridOption::dgIndicator) && HandleAllocated())
        InvalidateCell(0, FSelRow);
}

void TVelCustomDBGrid::UpdateData() {
    TVelColumn* c = GetSelectedColumn();
    TField* f = c ? c->GetField() : nullptr;
    if (!f) return;
    std::string text = FEditText;
    ColSetText(c, text);
    f->SetEditText(text);
}

// ---- The in-place editor's text.

std::string TVelCustomDBGrid::GetEditText(int ACol, int ARow) {
    (void)ARow;
    const int i = RawToDataColumn(ACol);
    FEditText.clear();
    if (i >= 0 && i < int(FVisibleColumns.size()) && FDataLink->GetActive()) {
        TVelColumn* c = FVisibleColumns[std::size_t(i)];
        if (TField* f = c->GetField()) FEditText = f->GetEditText();
        ColGetText(c, FEditText, TTextKind::tkEdit);
    }
    return FEditText;
}

void TVelCustomDBGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    (void)ACol;
    (void)ARow;
    // Kept until the edit is posted: the field sees one change, not one per keystroke.
    if (Value == FEditText && FDataLink->GetModified()) return;
    FEditText = Value;
    if (!FDataLink->GetActive()) return;
    if (!FDataLink->GetEditing()) FDataLink->Edit();
    FDataLink->Modified();
}

bool TVelCustomDBGrid::CanColumnModify(TVelColumn* Column) {
    if (!Column || FReadOnly || !FDataLink->GetActive() || FDataLink->GetReadOnly() ||
        Column->GetReadOnly())
        return false;
    TField* f = Column->GetField();
    if (!f || !f->GetCanModify()) return false;
    FDataLink->Edit();
    if (!FDataLink->GetEditing()) return false;
    FDataLink->Modified();
    return true;
}

TVelColumn* TVelCustomDBGrid::GetSelectedColumn() const {
    const int i = RawToDataColumn(GetCol());
    return i >= 0 && i < int(FVisibleColumns.size()) ? FVisibleColumns[std::size_t(i)] : nullptr;
}

TField* TVelCustomDBGrid::GetSelectedField() const {
    TVelColumn* c = GetSelectedColumn();
    return c ? c->GetField() : nullptr;
}

void TVelCustomDBGrid::SetSelectedField(TField* Value) {
    if (!Value) return;
    for (std::size_t i = 0; i < FVisibleColumns.size(); ++i)
        if (FVisibleColumns[i]->GetField() == Value) {
            const int raw = DataToRawColumn(int(i));
            if (raw < GetColCount() && raw != GetCol()) MoveColRow(raw, GetRow(), true, true);
            return;
        }
}

bool TVelCustomDBGrid::IsFixedColumn(const TVelColumn* Column) const {
    for (std::size_t i = 0; i < FVisibleColumns.size(); ++i)
        if (FVisibleColumns[i] == Column) return DataToRawColumn(int(i)) < TCustomGrid::GetFixedCols();
    return false;
}

// ---- Link state.

void TVelCustomDBGrid::LinkActive(bool Value) {
    if (IsDestroying()) return;
    // Fields are looked up again in the dataset as it is now; records are numbered afresh, so
    // the records' expand boxes start closed.
    for (int i = 0; i < FColumns->Count(); ++i) {
        FColumns->GetColumn(i)->FField = nullptr;
        FColumns->GetColumn(i)->FExpandedRow.clear();
    }
    const bool defaultColumns = FColumns->GetState() == TDBGridColumnsState::csDefault;
    if (Value && !IsDesigning() && defaultColumns &&
        FOptionsExt.Contains(TVelDBGridOptionExt::dgForceCustomized)) {
        // The fields make the columns first; only then do they become the grid's own.
        LayoutChanged();
        FColumns->SetState(TDBGridColumnsState::csCustomized);
    }
    if (!Value) {
        HideEditor();
        if (FTitleOffset < GetRowCount() && GetRow() != FTitleOffset)
            MoveColRow(GetCol(), FTitleOffset, true, false);
    }
    ClearSelection();
    FBookmarks->LinkActive(Value);
    LayoutChanged();
    // Floating grids showing a nested dataset of the old link go with it.
    for (int i = ComponentCount() - 1; i >= 0; --i)
        if (auto* g = dynamic_cast<TVelCustomDBGrid*>(GetComponent(i));
            g && g->GetDragKind() == TDragKind::dkDock)
            delete g;
    UpdateScrollBar();
    UpdateRowCount();
    StretchColumns();
    if (FMasterGrid) FMasterGrid->Synchronize();
    if (Value) AlwaysShowEditor();
    TotalsChanged(TTotalResult::trDataField, nullptr);
}

}  // namespace vel
