// TVelCustomDBGrid: the layout lock, the deferred layout and the layout run that brings
// columns, field map and grid geometry in line with the options and the dataset.
#include <algorithm>
#include <cstdint>

#include "grid/DBGrid.h"
#include "platform/controls/Application.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

void TVelCustomDBGrid::BeginUpdate() {
    ++FUpdateLock;
}

void TVelCustomDBGrid::EndUpdate() {
    if (FUpdateLock > 0) --FUpdateLock;
    // A layout asked for inside a plain update bracket runs once, now.
    if (FUpdateLock == 0 && FLayoutLock == 0 && FLayoutPending && !IsLoading()) LayoutChanged();
}

bool TVelCustomDBGrid::GetUpdateInProgress() const {
    return FInUpdateListItems || FInUpdateSequence || FInUpdateTotals;
}

void TVelCustomDBGrid::BeginLayout() {
    BeginUpdate();
    if (FLayoutLock == 0) {
        FLayoutPending = false;
        FColumns->BeginUpdate();
    }
    ++FLayoutLock;
}

void TVelCustomDBGrid::EndLayout() {
    if (FLayoutLock == 0) return;
    if (FLayoutLock == 1) {
        // The counters and the collection's bracket are released even when the layout fails.
        TScopeExit release([&] {
            FColumns->EndUpdate();
            // The collection reports its bracket's end as a change; the layout just ran.
            FLayoutPending = false;
            --FLayoutLock;
            EndUpdate();
        });
        InternalLayout();
        return;
    }
    --FLayoutLock;
    EndUpdate();
}

void TVelCustomDBGrid::CancelLayout() {
    if (FLayoutLock == 0) return;
    if (FLayoutLock == 1) {
        FColumns->EndUpdate();
        FLayoutPending = false;
    }
    --FLayoutLock;
    EndUpdate();
}

bool TVelCustomDBGrid::AcquireLayoutLock() {
    if (FUpdateLock != 0 || FLayoutLock != 0) return false;
    BeginLayout();
    return true;
}

namespace {
bool TakeQueuedLayout(TWinControl* Grid, bool Remove) {
    if (!Grid->HandleAllocated()) return false;
    TMsg msg{};
    return PeekMessage(msg, Grid->GetHandle(), CM_DEFERLAYOUT, CM_DEFERLAYOUT,
                       Remove ? PM_REMOVE : PM_NOREMOVE);
}
}  // namespace

void TVelCustomDBGrid::DeferLayout() {
    if (!TakeQueuedLayout(this, false) && (HandleAllocated() || GetParent()))
        PostMessage(GetHandle(), CM_DEFERLAYOUT);
    CancelLayout();
}

void TVelCustomDBGrid::LayoutChanged() {
    if (IsDestroying()) return;
    if (IsLoading()) {
        FLayoutPending = true;
        return;
    }
    if (AcquireLayoutLock())
        EndLayout();
    else
        FLayoutPending = true;
}

void TVelCustomDBGrid::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_DEFERLAYOUT) {
        if (AcquireLayoutLock())
            EndLayout();
        else
            DeferLayout();
        return;
    }
    if (Message.Msg == WM_VSCROLL) {
        // The vertical bar maps the dataset: the base grid's row scrolling does not apply.
        TWMScroll s(Message);
        // The message carries 16 bits of the position; the bar keeps all of it.
        int pos = GetScrollInfo(SB_VERT).nTrackPos;
        if (std::int16_t(pos) != s.Pos) pos = s.Pos;
        WMVScroll(s.ScrollCode, pos);
        Message.Result = 0;
        return;
    }
    if (Message.Msg == CM_CTL3DCHANGED) InvalidateBorder();
    TCustomGrid::Dispatch(Message);
    // Row heights are measured from the font.
    if (Message.Msg == CM_FONTCHANGED && !IsDestroying()) LayoutChanged();
    if (Message.Msg == WM_SIZE) ClientResized();
}

void TVelCustomDBGrid::DefineFieldMap() {
    TDataSet* ds = GetDataSet();
    if (FColumns->GetState() == TDBGridColumnsState::csCustomized) {
        FDataLink->SetSparseMap(true);
        for (int i = 0; i < FColumns->Count(); ++i)
            FDataLink->AddMapping(FColumns->GetColumn(i)->GetFieldName());
        return;
    }
    FDataLink->SetSparseMap(false);
    if (!ds) return;
    for (TField* f : ds->GetFieldList())
        if (f->GetVisible()) FDataLink->AddMapping(f->GetFullName());
}

namespace {
TVelColumn* GroupOf(TVelColumn* c) {
    while (TVelColumn* p = c->GetParentColumn()) c = p;
    return c;
}
}  // namespace

void TVelCustomDBGrid::InternalLayout() {
    if (IsDestroying() || IsLoading() || !FColumns) return;
    TakeQueuedLayout(this, true);
    ++FLayoutCount;
    ++FWork.Layouts;
    using enum TVelDBGridOption;
    FIndicatorOffset = FOptions.Contains(dgIndicator) ? 1 : 0;
    FDataLink->ClearMapping();
    if (FDataLink->GetActive()) DefineFieldMap();

    // Default columns follow the dataset's visible fields; columns made or moved here must
    // not lay out again.
    {
        TRestore<int> lock(FLayoutLock, FLayoutLock + 1);
        FColumns->BeginUpdate();
        TScopeExit endUpdate([&] { FColumns->EndUpdate(); });
        FColumns->BuildLayoutColumns();
    }

    FVisibleColumns.clear();
    for (int i = 0; i < FColumns->Count(); ++i) {
        TVelColumn* c = FColumns->GetColumn(i);
        if (c->GetShowing()) FVisibleColumns.push_back(c);
    }

    // Fixed columns never split a group and never cover every column.
    const int shown = int(FVisibleColumns.size());
    int fixed = std::min(FFixedCols, std::max(0, shown - 1));
    while (fixed > 0 && fixed < shown &&
           GroupOf(FVisibleColumns[std::size_t(fixed)]) ==
               GroupOf(FVisibleColumns[std::size_t(fixed - 1)]))
        ++fixed;
    fixed = std::min(fixed, std::max(0, shown - 1));

    int depth = 0;
    for (TVelColumn* c : FVisibleColumns) depth = std::max(depth, c->GetDepth());
    FTitleOffset = FOptions.Contains(dgTitles) ? 1 + depth : 0;
    UpdateTotalRowOffsets();

    const int cols = std::max(FIndicatorOffset + shown, FIndicatorOffset + 1);
    TCustomGrid::SetFixedCols(0);
    TCustomGrid::SetFixedRows(0);
    SetColCount(cols);
    SetRowCount(std::max(GetRowCount(), FTitleOffset + FTotalOffset + 1));
    TCustomGrid::SetFixedCols(std::min(FIndicatorOffset + fixed, cols - 1));

    CalcRowHeights();
    RecreateMarkers();
    UpdateRowCount();
    if (FIndicatorOffset > 0) SetColWidths(0, FIndicatorWidth);
    for (std::size_t i = 0; i < FVisibleColumns.size(); ++i)
        SetColWidths(FIndicatorOffset + int(i), FVisibleColumns[i]->GetWidth());
    if (FStretchActive) StretchGrid();
    UpdateRowCount();
    if (GetCol() < TCustomGrid::GetFixedCols() && TCustomGrid::GetFixedCols() < GetColCount())
        MoveColRow(TCustomGrid::GetFixedCols(), GetRow(), true, false);
    UpdateScrollBar();
    UpdateActive();
    UpdateRowCount();
    if (FLastLeftCol < 0) FLastLeftCol = GetLeftCol();
    // Whatever this run asked for itself is done.
    FLayoutPending = false;
    Invalidate();
}

void TVelCustomDBGrid::UpdateTotalRowOffsets() {
    using enum TVelDBGridOptionEx;
    FTotalHeader = FOptionsEx.Contains(dgTotalHeader) ? 1 : 0;
    FTotalValues = FOptionsEx.Contains(dgTotalValues) ? 1 : 0;
    FTotalFooter = FOptionsEx.Contains(dgTotalFooter) ? 1 : 0;
    int fields = 0;
    if (FOptionsEx.Contains(dgTotalFields) && FTotals && FTotals->GetDataLink()->GetActive())
        fields = std::max(0, FTotals->GetDataLink()->GetDataSet()->GetRecordCount());
    FTotalOffset = (FOptionsEx.Contains(dgBlankRow) ? 1 : 0) + FTotalHeader + FTotalValues +
                   fields + FTotalFooter;
}

}  // namespace vel
