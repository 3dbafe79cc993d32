// TVelCustomDBGrid: the selection gestures. Shift with a navigation key and Shift+click select
// the rows from the anchor to the current record; Ctrl+click toggles; a plain click starts a
// new selection that a drag extends, scrolling on a timer while the mouse stays outside the
// data area; a title dragged sideways selects whole columns.
#include <algorithm>
#include <cstdlib>

#include "grid/DBGrid.h"
#include "grid/GridColumns.h"
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
// Pixels a pressed title moves sideways before it becomes a column selection.
constexpr int kColumnSelectThreshold = 5;
}  // namespace

void TVelCustomDBGrid::SelectRangeToAnchor() {
    BeginSelect();
    TScopeExit end([&] { EndSelect(); });
    if (GetRowsSelection()) {
        if (FScrollTracking && FOptions.Contains(O::dgAutoUnselectOff)) {
            // The rows passed are added to (or taken from) what was selected before.
            if (FScrollUnselect)
                UnselectRows();
            else
                SelectRows();
        } else {
            FBookmarks->Clear();
            SelectRows();
        }
    }
    if (GetColsSelection() && FSelectionBegCol >= 0) SetSelectionEndCol(RawToDataColumn(GetCol()));
}

bool TVelCustomDBGrid::ExtendSelectionByKey(unsigned Key, TShiftState Shift) {
    if (!GetRowsSelection()) return false;
    TDataSet* ds = GetDataSet();
    const bool ctrl = Shift.Contains(TShiftStateFlag::ssCtrl);
    const bool rowSelect = FOptions.Contains(O::dgRowSelect);
    const bool rowScroll = rowSelect && FOptions.Contains(O::dgRowScroll);
    const bool oneColumn = GetColCount() - 1 == FIndicatorOffset;
    const int page = std::max(1, GetDataRowCount());
    std::function<void()> move;
    switch (Key) {
        case VK_UP: move = [&] { MoveBy(-1); }; break;
        case VK_DOWN: move = [&] { MoveBy(1); }; break;
        case VK_PRIOR:
            if (!ctrl) move = [&] { MoveBy(-page); };
            break;
        case VK_NEXT:
            if (!ctrl) move = [&] { MoveBy(page); };
            break;
        case VK_HOME:
        case VK_END:
            if (ctrl || oneColumn || rowSelect)
                move = [&, Key] {
                    ds->CheckBrowseMode();
                    HideEditor();
                    if (Key == VK_HOME)
                        ds->First();
                    else
                        ds->Last();
                    AlwaysShowEditor();
                };
            break;
        case VK_LEFT:
        case VK_RIGHT:
            if (rowSelect && !rowScroll && !ctrl) move = [&, Key] { MoveBy(Key == VK_LEFT ? -1 : 1); };
            break;
        default: break;
    }
    if (!move) return false;
    BeginSelect();
    TScopeExit end([&] { EndSelect(); });
    if (FSelectionAnchor.empty()) SetSelectionAnchor(ds->GetBookmark());
    move();
    SelectRangeToAnchor();
    return true;
}

void TVelCustomDBGrid::SelectionMouseDown(TShiftState Shift, int DataCol, bool Title) {
    if (!FOptions.Contains(O::dgMultiSelect) || !FDataLink->GetActive() || FCellTracking) return;
    const bool alt = Shift.Contains(TShiftStateFlag::ssAlt);
    const bool ctrl = Shift.Contains(TShiftStateFlag::ssCtrl);
    const bool shift = Shift.Contains(TShiftStateFlag::ssShift);
    const bool extended = FOptions.Contains(O::dgExtendedSelect);
    TDataSet* ds = GetDataSet();
    BeginSelect();
    TScopeExit end([&] { EndSelect(); });
    if (Title) {
        // A Shift press on a title anchors (or extends) a whole-column selection.
        if (!FMultiSelectOptions.Contains(M::msCols) || FOptions.Contains(O::dgRowSelect)) return;
        if (FSelectionColumn && FSelectionBegCol >= 0) {
            SetSelectionEndCol(DataCol);
        } else {
            ClearSelection();
            SetSelectionColumn(true);
            SetSelectionBegCol(DataCol);
            SetSelectionEndCol(DataCol);
        }
        StartScrollTracking();
        return;
    }
    if (extended && alt) {
        if (shift)
            SelectAll();
        else if (ctrl)
            InvertAll();
        else
            UnselectAll();
        return;
    }
    const bool autoUnselectOff = FOptions.Contains(O::dgAutoUnselectOff);
    const bool toggles = ctrl || (!shift && autoUnselectOff && FMultiSelect == M::msRows &&
                                  !FMultiSelectOptions.Contains(M::msCells));
    if (toggles) {
        if (FMultiSelect == M::msRows) {
            InvertRow();
            SetSelectionAnchor(ds->GetBookmark());
            // Without automatic unselecting a drag goes on from the toggled row.
            if (!ctrl) StartScrollTracking();
        } else if (FMultiSelect == M::msCols) {
            FSelectedCols->SetColumns(DataCol, !FSelectedCols->GetColumns(DataCol));
        } else {
            ClearSelection();
        }
        return;
    }
    if (shift && extended) {
        if (FSelectionAnchor.empty()) SetSelectionAnchor(ds->GetBookmark());
        if (GetRowsSelection()) {
            FBookmarks->Clear();
            SelectRows();
        }
        SetSelectionEndCol(DataCol);
        StartScrollTracking();
        return;
    }
    // A plain click starts a new selection at the clicked cell.
    ClearSelection();
    SetSelectionBegCol(DataCol);
    SetSelectionAnchor(ds->GetBookmark());
    if (!FOptionsEx.Contains(OEx::dgClickSelectOff)) {
        SetSelectionEndCol(DataCol);
        if (GetRowsSelection()) SelectRow();
    } else if (FMultiSelect == M::msCells) {
        SelectRow();
    }
    StartScrollTracking();
}

// ---- Drag selection.

void TVelCustomDBGrid::StartScrollTracking() {
    SetMouseCapture(true);
    FScrollTracking = true;
    FScrollUnselect = FOptions.Contains(O::dgAutoUnselectOff) && FDataLink->GetActive() && GetRowsSelected() &&
                      !FBookmarks->GetCurrentRowSelected();
    // The data area starts at the first scrollable column and the first data row.
    const TRect r = CellRect(GetLeftCol(), GetTopRow());
    FScrollStartPos = TPoint{UseRightToLeftAlignment() ? GetClientWidth() - r.Right : r.Left, r.Top};
    FScrollMousePos = TPoint{-1, -1};
}

void TVelCustomDBGrid::StopScrollTracking() {
    StopScrollTimer();
    if (!FScrollTracking) return;
    FScrollTracking = false;
    SetMouseCapture(false);
}

void TVelCustomDBGrid::StopScrollTimer() {
    delete FScrollTimer;
    FScrollTimer = nullptr;
}

void TVelCustomDBGrid::TimedScroll(TObject* Sender) {
    (void)Sender;
    if (FScrollTracking)
        StartScrollTimer();
    else
        StopScrollTimer();
}

void TVelCustomDBGrid::DragSelectionMove(int X, int Y) {
    const bool moved = X != FScrollMousePos.X || Y != FScrollMousePos.Y;
    FScrollMousePos = TPoint{X, Y};
    // The point is kept inside the data area; past its edges the timer scrolls.
    int x = RTLPosX(X);
    x = std::max(x, FScrollStartPos.X);
    x = RTLPosX(x);
    int y = std::max(Y, FScrollStartPos.Y);
    if (!GetRowsSelection()) {
        // Whole columns: the record stays where it is.
        const TRect r = CellRect(GetCol(), GetRow());
        y = r.Top + r.Height() / 2;
    }
    {
        BeginSelect();
        TScopeExit end([&] { EndSelect(); });
        const TGridCoord before{GetCol(), GetRow()};
        const TBookmark current = GetDataSet()->GetBookmark();
        ScrollToCellAt(x, y, true);
        if (TGridCoord{GetCol(), GetRow()} != before || GetDataSet()->GetBookmark() != current)
            SelectRangeToAnchor();
    }
    if (moved) StartScrollTimer();
}

void TVelCustomDBGrid::StartScrollTimer() {
    if (!FScrollTracking || !FDataLink->GetActive()) {
        StopScrollTimer();
        return;
    }
    int d = 0;
    {
        BeginSelect();
        TScopeExit end([&] { EndSelect(); });
        const TGridCoord before{GetCol(), GetRow()};
        const TBookmark current = GetDataSet()->GetBookmark();
        const int x = RTLPosX(FScrollMousePos.X), y = FScrollMousePos.Y;
        const int lastCol = GetColCount() - 1;
        const int firstScroll = std::max(FIndicatorOffset, TCustomGrid::GetFixedCols());
        const bool rowSelect = FOptions.Contains(O::dgRowSelect);
        if (x >= GetClientWidth()) {
            d = x - GetClientWidth() + 1;
            if (rowSelect)
                SetLeftCol(std::min(lastCol, GetLeftCol() + 1));
            else if (GetCol() < lastCol)
                MoveColRow(GetCol() + 1, GetRow(), true, true);
        } else if (x < FScrollStartPos.X) {
            d = FScrollStartPos.X - x;
            if (rowSelect)
                SetLeftCol(std::max(firstScroll, GetLeftCol() - 1));
            else if (GetCol() > firstScroll)
                MoveColRow(GetCol() - 1, GetRow(), true, true);
        }
        if (GetRowsSelection()) {
            const int bottom = GetClientHeight() - GetTotalHeight();
            if (y >= bottom) {
                d = y - bottom + 1;
                ScrollToRowBy(d / 5 + 1);
            } else if (y < FScrollStartPos.Y) {
                d = FScrollStartPos.Y - y;
                ScrollToRowBy(-(d / 5) - 1);
            }
        }
        if (TGridCoord{GetCol(), GetRow()} != before || GetDataSet()->GetBookmark() != current)
            SelectRangeToAnchor();
    }
    if (d == 0) {
        StopScrollTimer();
        return;
    }
    if (!FScrollTimer) {
        FScrollTimer = new TTimer(nullptr);
        FScrollTimer->SetOnTimer([this](TObject* Sender) { TimedScroll(Sender); });
    }
    FScrollTimer->SetInterval(unsigned(std::max(5, 200 - 15 * d)));
    FScrollTimer->SetEnabled(true);
}

// ---- Column selection by dragging a title.

bool TVelCustomDBGrid::TrackColumnSelection(int X, int Y) {
    if (!FTracking || X < 0 || !FOptions.Contains(O::dgMultiSelect) || FOptions.Contains(O::dgRowSelect) ||
        !FMultiSelectOptions.Contains(M::msCols) || FTracked < FIndicatorOffset + GetSelectionOffset() ||
        FExpandButton || !FDataLink->GetActive())
        return false;
    const bool leftTitles = Y < 0 || Y >= GetTitleHeight();
    if (!leftTitles && std::abs(X - FPressXY.X) <= kColumnSelectThreshold) return false;
    const int dataCol = RawToDataColumn(FTracked);
    StopTracking();
    UpdateHotButtons(-1, -1);
    BeginSelect();
    TScopeExit end([&] { EndSelect(); });
    ClearSelection();
    // As a Shift press on the title where the drag began.
    SelectionMouseDown(TShiftState{TShiftStateFlag::ssShift, TShiftStateFlag::ssLeft}, dataCol, true);
    return true;
}

}  // namespace vel
