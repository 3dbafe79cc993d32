// Hot tracking of title, header band and filler buttons and of check-box cells; the expand
// button hit test; the grid dragged away by its top-left corner; the automatic drop-down's
// press and release bookkeeping; column moves refined for groups and scrolling.
#include <algorithm>

#include "grid/DBGrid.h"
#include "grid/GridColumns.h"
#include "grid/GridDataLink.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Grids.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/DataSet.h"

namespace vel {

using O = TVelDBGridOption;

namespace {

// The last showing leaf of Column's block (itself for a leaf).
int LastRawOf(const std::vector<TVelColumn*>& Shown, int IndicatorOffset, const TVelColumn* Column) {
    int last = -1;
    for (std::size_t i = 0; i < Shown.size(); ++i)
        for (const TVelColumn* c = Shown[i]; c; c = c->GetParentColumn())
            if (c == Column) {
                last = int(i) + IndicatorOffset;
                break;
            }
    return last;
}

}  // namespace

// ---- Hot buttons and cells.

bool TVelCustomDBGrid::HotTrackingBlocked() const {
    const TGridState s = GetGridState();
    return IsDesigning() || FTracking || FCellTracking || FDockDragging || s == TGridState::gsColSizing ||
           s == TGridState::gsColMoving || s == TGridState::gsRowSizing || s == TGridState::gsRowMoving;
}

void TVelCustomDBGrid::InvalidateTitle(int Raw, int Row) {
    if (Raw < 0 || Raw >= GetColCount() || FTitleOffset <= 0) return;
    if (Raw < FIndicatorOffset) {
        for (int r = 0; r < FTitleOffset; ++r) InvalidateCell(Raw, r);
        return;
    }
    const int dataCol = RawToDataColumn(Raw);
    if (dataCol >= int(FVisibleColumns.size())) return;
    TVelColumn* master = ColumnAtDepth(FVisibleColumns[std::size_t(dataCol)], Row);
    // A group title spans the title cells of all its columns.
    for (std::size_t i = 0; i < FVisibleColumns.size(); ++i)
        if (ColumnAtDepth(FVisibleColumns[i], Row) == master)
            for (int r = 0; r < FTitleOffset; ++r) InvalidateCell(DataToRawColumn(int(i)), r);
}

void TVelCustomDBGrid::InvalidatePressedButton() {
    if (FTracked < 0) return;
    if (FTrackHeader >= 0) {
        for (int r = 0; r < FTitleOffset; ++r) InvalidateRow(r);
        return;
    }
    InvalidateTitle(FTracked, FTrackCol ? FTrackCol->GetDepth() : 0);
}

void TVelCustomDBGrid::UpdateHotButtons(int X, int Y) {
    if (HotTrackingBlocked()) return;
    int hot = -1, row = -1;
    bool expand = false;
    if (X >= 0 && FOptions.Contains(O::dgTitleButtons)) {
        const TInputHit h = HitAt(X, Y);
        int border = -1;
        if (h.Kind == TInputHit::TKind::Title && !OverColumnBorder(X, Y, border)) {
            TVelColumn* expandColumn = nullptr;
            if (h.Indicator) {
                if (FFillerButton) hot = h.Cell.X, row = 0;
            } else if (h.Column && h.Header < 0) {
                expand = PtInExpandButton(X, Y, expandColumn);
                if (expand || h.Column->GetTitle()->GetButton()) hot = h.Cell.X, row = h.Cell.Y;
            }
        }
    }
    const int oldHot = FHotButton, oldRow = FHotRow;
    const bool changed = hot != FHotButton || row != FHotRow || expand != FHotExpand;
    FHotButton = hot;
    FHotRow = row;
    FHotExpand = expand;
    if (!FOptions.Contains(O::dgHotButtons)) return;
    const bool shown = hot >= 0;
    if (!changed && shown == FHotButtonShown) return;
    FHotButtonShown = shown;
    InvalidateTitle(oldHot, oldRow);
    InvalidateTitle(hot, row);
}

bool TVelCustomDBGrid::CellBoxThemed(int Raw) const {
    const int dataCol = RawToDataColumn(Raw);
    if (dataCol < 0 || dataCol >= int(FVisibleColumns.size())) return false;
    TVelColumn* c = FVisibleColumns[std::size_t(dataCol)];
    return IsGridThemed(true) && c->GetCheckBox() && c->GetCheckBoxThemed();
}

void TVelCustomDBGrid::UpdateHotCells(int X, int Y) {
    if (HotTrackingBlocked()) return;
    TGridCoord cell{-1, -1};
    if (X >= 0) {
        const TInputHit h = HitAt(X, Y);
        if (h.Kind == TInputHit::TKind::Data && !h.Indicator && h.Column && h.Column->CanCellTrack() &&
            FDataLink->GetActive() && h.DataRow < FDataLink->GetRecordCount())
            cell = h.Cell;
    }
    const bool state = cell.X >= 0;
    if (state == FHotCellShown && cell == FHotCell) return;
    const TGridCoord old = FHotCell;
    FHotCell = cell;
    FHotCellShown = state;
    // Only the themed box has a hot look.
    if (old.X >= 0 && CellBoxThemed(old.X)) InvalidateCell(old.X, old.Y);
    if (state && CellBoxThemed(cell.X)) InvalidateCell(cell.X, cell.Y);
}

void TVelCustomDBGrid::ClearHotTracking() {
    // Unlike a move, a release or a leave clears even while a column was being moved: the
    // grid column kept would name another column after the move.
    if (FHotButton >= 0 && FHotButtonShown) InvalidateTitle(FHotButton, FHotRow);
    FHotButton = FHotRow = -1;
    FHotExpand = FHotButtonShown = false;
    if (FHotCellShown && CellBoxThemed(FHotCell.X)) InvalidateCell(FHotCell.X, FHotCell.Y);
    FHotCell = TGridCoord{-1, -1};
    FHotCellShown = false;
}

void TVelCustomDBGrid::MouseLeave() {
    ClearHotTracking();
    TCustomGrid::MouseLeave();
}

bool TVelCustomDBGrid::IsTitleHot(TVelColumn* Master) const {
    if (!FHotButtonShown || !FOptions.Contains(O::dgHotButtons) || FHotButton < FIndicatorOffset) return false;
    const int dataCol = RawToDataColumn(FHotButton);
    if (dataCol >= int(FVisibleColumns.size())) return false;
    return ColumnAtDepth(FVisibleColumns[std::size_t(dataCol)], FHotRow) == Master;
}

bool TVelCustomDBGrid::IsFillerHot() const {
    return FHotButtonShown && FOptions.Contains(O::dgHotButtons) && FHotButton >= 0 &&
           FHotButton < FIndicatorOffset;
}

bool TVelCustomDBGrid::IsBandPressed(TVelColumn* Master, int Band) const {
    if (!FTracking || !FPressed || FTrackHeader != Band || !FTrackCol) return false;
    // A shared band is pressed along its whole length.
    for (TVelColumn* c = Master; c; c = c->GetTitle()->HeaderLeft(Band))
        if (c == FTrackCol) return true;
    for (TVelColumn* c = Master->GetTitle()->HeaderRight(Band); c; c = c->GetTitle()->HeaderRight(Band))
        if (c == FTrackCol) return true;
    return false;
}

// ---- The expand button in a title.

int TVelCustomDBGrid::TitleButtonGlyph(TVelColumn* Master) const {
    TVelColumnTitle* title = Master->GetTitle();
    if (FFilterGrid->GetAutoFilter() && title->GetAutoFilter() && Master->GetField())
        return !Master->GetFilterText().empty() || Master->GetFilterList()->Count() > 0 ? 21 : 20;
    if (Master->GetExpandable() && Master->GetExpandStyle() == TVelColumnExpandStyle::cesAuto)
        return Master->GetExpanded() != UseRightToLeftAlignment() ? 10 : 11;
    if (Master->GetExpandStyle() != TVelColumnExpandStyle::cesAuto &&
        Master->GetExpandStyle() != TVelColumnExpandStyle::cesNone)
        return 9;
    return -1;
}

bool TVelCustomDBGrid::PtInExpandButton(int X, int Y, TVelColumn*& Column) {
    Column = nullptr;
    const TInputHit h = HitAt(X, Y);
    if (h.Kind != TInputHit::TKind::Title || h.Indicator || !h.Column || h.Header >= 0) return false;
    TVelColumn* master = nullptr;
    TRect r = FullTitleRect(FVisibleColumns[std::size_t(RawToDataColumn(h.Cell.X))], h.Cell.Y, master);
    const int strip = GetSystemMetrics(SM_CXVSCROLL) + 2;
    if (!master || r.Width() < strip || TitleButtonGlyph(master) < 0) return false;
    r.Inflate(1, 1);
    const TRect button = UseRightToLeftAlignment() ? TRect{r.Left, r.Top, r.Left + strip, r.Bottom}
                                                   : TRect{r.Right - strip, r.Top, r.Right, r.Bottom};
    if (!PtInRect(button, TPoint{X, Y})) return false;
    Column = master;
    return true;
}

// ---- Dragging the grid away by its top-left corner (DragKind dkDock).

void TVelCustomDBGrid::BeginDockDrag(int X, int Y) {
    FDockDragging = true;
    FDockDragFrom = ClientToScreen(TPoint{X, Y});
    SetMouseCapture(true);
}

void TVelCustomDBGrid::DockDragTo(int X, int Y) {
    // The grid's window moves with the mouse: a floating grid is its form's only client.
    TCustomForm* form = GetParentForm(this);
    if (!form) return;
    const TPoint now = ClientToScreen(TPoint{X, Y});
    const int dx = now.X - FDockDragFrom.X, dy = now.Y - FDockDragFrom.Y;
    if (dx == 0 && dy == 0) return;
    FDockDragFrom = now;
    form->SetBounds(form->GetLeft() + dx, form->GetTop() + dy, form->GetWidth(), form->GetHeight());
}

void TVelCustomDBGrid::EndDockDrag() {
    if (!FDockDragging) return;
    FDockDragging = false;
    SetMouseCapture(false);
}

// ---- The automatic drop-down of the editor's lists.

TVelCustomDBGrid::TAutoDropCell TVelCustomDBGrid::CurrentAutoDropCell() const {
    TDataSet* ds = GetDataSet();
    return TAutoDropCell{GetCol(), FDataLink->GetActive() && ds ? ds->GetRecNo() : -1};
}

void TVelCustomDBGrid::AutoDropDownReleased(bool Consumed) {
    FAutoDropPressed = false;
    if (Consumed) FAutoDropCell = CurrentAutoDropCell();
}

bool TVelCustomDBGrid::AllowAutoDropDown() {
    if (FAutoDropPressed || FUpdateLock > 1) return false;
    if (FSelectClickPending && FOptionsEx.Contains(TVelDBGridOptionEx::dgClickSelectOff)) return false;
    const TAutoDropCell cell = CurrentAutoDropCell();
    if (cell == FAutoDropCell) return false;
    FAutoDropCell = cell;
    return true;
}

// ---- Column moves by dragging a title.

bool TVelCustomDBGrid::BeginColumnDrag(int& Origin, int& Destination, TPoint MousePt) {
    FDragCol = nullptr;
    FMovingCol = nullptr;
    if (!FResizeOptions.Contains(TVelResizeOption::roColumnMoving) ||
        !TCustomGrid::BeginColumnDrag(Origin, Destination, MousePt) || Origin < FIndicatorOffset)
        return false;
    const int d = RawToDataColumn(Origin);
    if (d >= int(FVisibleColumns.size())) return false;
    // The title row the press was on decides what moves: a group title takes its group along.
    const TGridCoord pressed = MouseCoord(FPressXY.X, FPressXY.Y);
    const int depth = pressed.Y >= 0 && pressed.Y < FTitleOffset ? pressed.Y : 0;
    TVelColumn* column = ColumnAtDepth(FVisibleColumns[std::size_t(d)], depth);
    if (!column || HeaderRow(FPressXY.Y, column) >= 0) return false;
    // Default columns exist only for fields.
    if (FColumns->GetState() == TDBGridColumnsState::csDefault && !column->GetField()) return false;
    FDragCol = column;
    Origin = Destination = RawColumnOf(column);
    InvalidateEditor();
    return true;
}

bool TVelCustomDBGrid::CheckColumnDrag(int& Origin, int& Destination, TPoint MousePt) {
    if (!TCustomGrid::CheckColumnDrag(Origin, Destination, MousePt) || !FDragCol) return false;
    const int d = RawToDataColumn(Destination);
    if (d < 0 || d >= int(FVisibleColumns.size())) return false;
    TVelColumn* target = FVisibleColumns[std::size_t(d)];
    if (FColumns->GetState() == TDBGridColumnsState::csDefault && !target->GetField()) return false;
    const bool right = Destination > Origin;
    const int depth = FDragCol->GetDepth();
    TVelColumn* parent = FDragCol->GetParentColumn();
    TVelColumn* dest = ColumnAtDepth(target, depth);
    if (dest == FDragCol) {
        // Over its own columns a group stays where it is.
        Destination = Origin;
    } else if (!dest || dest->GetParentColumn() != parent) {
        // Columns stay inside their group.
        if (!parent) return false;
        Destination = right ? LastRawOf(FVisibleColumns, FIndicatorOffset, parent) : RawColumnOf(parent);
    } else {
        // Onto a group from its left: the column lands after the whole group.
        Destination = right ? LastRawOf(FVisibleColumns, FIndicatorOffset, dest) : RawColumnOf(dest);
    }
    if (Destination < 0) return false;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const int x = MirrorX(MousePt.X);
    const bool beforeView = Destination >= TCustomGrid::GetFixedCols() && Destination < GetLeftCol();
    const bool afterView = Destination > info.Horz.LastFullVisibleCell;
    const bool outside = Destination == Origin && (x < info.Horz.FixedBoundary || x > info.Horz.GridBoundary);
    if (beforeView || afterView || outside) {
        // The view follows the mouse one column at a time; the move waits for the next step.
        const bool left = beforeView || (outside && x < info.Horz.FixedBoundary);
        Perform(WM_HSCROLL, left ? SB_LINELEFT : SB_LINERIGHT, 0);
        return false;
    }
    return true;
}

bool TVelCustomDBGrid::EndColumnDrag(int& Origin, int& Destination, TPoint MousePt) {
    TVelColumn* dragged = FDragCol;
    FDragCol = nullptr;
    if (!TCustomGrid::EndColumnDrag(Origin, Destination, MousePt)) return false;
    bool accept = true;
    if (Origin != Destination) ColumnMoving(Origin, Destination, accept);
    // The base grid's move follows: it moves the dragged column with its group.
    if (accept) FMovingCol = dragged;
    return accept;
}

void TVelCustomDBGrid::ColumnMoved(int FromIndex, int ToIndex) {
    TVelColumn* moving = FMovingCol;
    FMovingCol = nullptr;
    const int from = RawToDataColumn(FromIndex), to = RawToDataColumn(ToIndex);
    if (from < 0 || to < 0 || from >= int(FVisibleColumns.size()) || to >= int(FVisibleColumns.size())) return;
    // The base grid has moved its widths; the column moves in the collection and the layout
    // rebuilds the grid columns from it.
    TVelColumn* moved = moving ? moving : FVisibleColumns[std::size_t(from)];
    TVelColumn* dest = ColumnAtDepth(FVisibleColumns[std::size_t(to)], moved->GetDepth());
    if (dest && dest != moved)
        moved->SetIndex(ToIndex > FromIndex ? dest->GetExpandIndex() : dest->GetIndex());
    if (FOnColumnMoved) FOnColumnMoved(this, from, to);
}

}  // namespace vel
