// TVelCustomDBGrid: walks over the records and columns of the selection or of the whole
// dataset, with the current record and the window put back afterwards.
#include "grid/DBGrid.h"
#include "grid/GridColumns.h"
#include "grid/GridDataLink.h"
#include "grid/GridSelection.h"
#include "platform/db/DataSet.h"

namespace vel {

using M = TMultiSelection;

// ---- TVelDataRowEnumerator.

TVelDataRowEnumerator::TVelDataRowEnumerator(TVelCustomDBGrid* Grid, TDataRowEnum Kind) : FGrid(Grid) {
    if (!Grid->GetDataLink()->GetActive()) return;
    const bool selected = Grid->GetSelectedRows()->Count() > 0;
    switch (Kind) {
        case TDataRowEnum::reAllRows: FSource = TSource::AllRows; break;
        case TDataRowEnum::reSelectedRows: FSource = TSource::Selected; break;
        case TDataRowEnum::reSelectedRowsOrAllRows: FSource = selected ? TSource::Selected : TSource::AllRows; break;
        case TDataRowEnum::reSelectedRowsOrCurrent: FSource = selected ? TSource::Selected : TSource::Current; break;
        case TDataRowEnum::reCurrentRow: FSource = TSource::Current; break;
    }
}

bool TVelDataRowEnumerator::MoveNext() {
    TDataSet* ds = FGrid->GetDataSet();
    ++FIndex;
    switch (FSource) {
        case TSource::AllRows:
            if (FIndex == 0)
                ds->First();
            else
                ds->Next();
            return !ds->GetEOF();
        case TSource::Selected: {
            TVelBookmarkList& rows = *FGrid->GetSelectedRows();
            if (FIndex >= rows.Count()) return false;
            ds->GotoBookmark(rows[FIndex]);
            return true;
        }
        case TSource::Current: return FIndex == 0 && !ds->IsEmpty();
        case TSource::None: break;
    }
    return false;
}

TBookmark TVelDataRowEnumerator::GetCurrent() const { return FGrid->GetDataSet()->GetBookmark(); }

bool TVelDataRowEnumerator::IsLast() {
    switch (FSource) {
        case TSource::AllRows: {
            TDataSet* ds = FGrid->GetDataSet();
            ds->Next();
            const bool last = ds->GetEOF();
            if (!last) ds->Prior();
            return last;
        }
        case TSource::Selected: return FIndex >= FGrid->GetSelectedRows()->Count() - 1;
        default: return true;
    }
}

// ---- The walks.

std::vector<TVelColumn*> TVelCustomDBGrid::GetDataColEnum(TDataColEnum Kind) {
    std::vector<TVelColumn*> selected;
    if (GetColsSelection())
        for (int i = 0; i < FSelectedCols->Count(); ++i) selected.push_back(FSelectedCols->GetItem(i));
    std::vector<TVelColumn*> current;
    if (TVelColumn* c = GetSelectedColumn()) current.push_back(c);
    switch (Kind) {
        case TDataColEnum::ceAllCols: return FVisibleColumns;
        case TDataColEnum::ceSelectedCols: return selected;
        case TDataColEnum::ceSelectedColsOrAllCols: return selected.empty() ? FVisibleColumns : selected;
        case TDataColEnum::ceSelectedColsOrCurrent: return selected.empty() ? current : selected;
        case TDataColEnum::ceCurrentCol: return current;
    }
    return {};
}

namespace {
void WalkCells(TVelDataRowEnumerator& Rows, const std::vector<TVelColumn*>& Cols, const TForEachCellProc& Proc) {
    bool firstRow = true;
    while (Rows.MoveNext()) {
        const bool lastRow = Rows.IsLast();
        for (std::size_t i = 0; i < Cols.size(); ++i) {
            TForEachCellFlags flags;
            if (i == 0) flags.Include(TForEachCellFlag::feFirstCol);
            if (i + 1 == Cols.size()) flags.Include(TForEachCellFlag::feLastCol);
            if (firstRow) flags.Include(TForEachCellFlag::feFirstRow);
            if (lastRow) flags.Include(TForEachCellFlag::feLastRow);
            Proc(Cols[i], flags);
        }
        firstRow = false;
    }
}
}  // namespace

void TVelCustomDBGrid::ForEachDataCell(const TForEachCellProc& Proc, TForEachCellScope Scope) {
    if (!FDataLink->GetActive()) return;
    if (Scope == TForEachCellScope::fsAutoSelect)
        Scope = GetMultiSelected() ? TForEachCellScope::fsSelectedOnly : TForEachCellScope::fsWholeDataSet;
    if (Scope == TForEachCellScope::fsSelectedOnly && !GetMultiSelected()) return;
    const bool whole = Scope == TForEachCellScope::fsWholeDataSet;
    std::vector<TVelColumn*> cols;
    if (whole)
        cols = FVisibleColumns;
    else if (FMultiSelect == M::msRows)
        cols.assign(FVisibleColumns.begin() + std::min<std::ptrdiff_t>(GetSelectionOffset(), FVisibleColumns.size()),
                    FVisibleColumns.end());
    else
        cols = GetDataColEnum(TDataColEnum::ceSelectedCols);
    if (cols.empty()) return;
    TVelDataRowEnumerator rows(this, whole || FMultiSelect == M::msCols ? TDataRowEnum::reAllRows
                                                                         : TDataRowEnum::reSelectedRows);
    WithPositionKept([&] { WalkCells(rows, cols, Proc); });
}

void TVelCustomDBGrid::ForEachDataCell(TDataRowEnum RowEnum, TDataColEnum ColEnum, const TForEachCellProc& Proc) {
    if (!FDataLink->GetActive()) return;
    const std::vector<TVelColumn*> cols = GetDataColEnum(ColEnum);
    if (cols.empty()) return;
    TVelDataRowEnumerator rows(this, RowEnum);
    WithPositionKept([&] { WalkCells(rows, cols, Proc); });
}

void TVelCustomDBGrid::ForEachDataRow(TDataRowEnum RowEnum, const TForEachRowProc& Proc) {
    if (!FDataLink->GetActive()) return;
    TVelDataRowEnumerator rows(this, RowEnum);
    WithPositionKept([&] {
        while (rows.MoveNext()) Proc();
    });
}

void TVelCustomDBGrid::ForEachDataCol(TDataColEnum ColEnum, const TForEachColProc& Proc) {
    for (TVelColumn* c : GetDataColEnum(ColEnum)) Proc(c);
}

}  // namespace vel
