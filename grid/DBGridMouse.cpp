// The mouse: presses, moves and releases over titles, header bands, the filler, the indicator,
// data cells with their check and expand boxes, and total cells; column sizing goes to the
// base grid.
#include <algorithm>
#include <cstdlib>

#include "grid/DBGrid.h"
#include "grid/GridColumns.h"
#include "grid/GridDataLink.h"
#include "platform/controls/Grids.h"
#include "platform/db/DataSet.h"

namespace vel {

using O = TVelDBGridOption;

// Pixels a pressed title moves sideways before it becomes a column move.
constexpr int kTitleDragThreshold = 5;

TVelCustomDBGrid::TInputHit TVelCustomDBGrid::HitAt(int X, int Y) const {
    TInputHit h;
    h.Cell = MouseCoord(X, Y);
    if (h.Cell.X < 0 || h.Cell.Y < 0) return h;
    const int dataCol = RawToDataColumn(h.Cell.X);
    TVelColumn* leaf =
        dataCol >= 0 && dataCol < int(FVisibleColumns.size()) ? FVisibleColumns[std::size_t(dataCol)] : nullptr;
    h.Indicator = h.Cell.X < FIndicatorOffset;
    const int records = GetDataRowCount();
    const int blank = FOptionsEx.Contains(TVelDBGridOptionEx::dgBlankRow) ? 1 : 0;
    if (h.Cell.Y < FTitleOffset) {
        h.Kind = TInputHit::TKind::Title;
        if (leaf) {
            TVelColumn* master = nullptr;
            CalcTitleRect(leaf, h.Cell.Y, master);
            h.Column = master ? master : leaf;
            h.Header = HeaderRow(Y, h.Column);
        }
    } else if (h.Cell.Y < FTitleOffset + records) {
        h.Kind = TInputHit::TKind::Data;
        h.DataRow = h.Cell.Y - FTitleOffset;
        h.Column = leaf;
    } else if (h.Cell.Y >= FTitleOffset + records + blank && h.Cell.Y < FTitleOffset + records + FTotalOffset) {
        h.Kind = TInputHit::TKind::Total;
        h.TotalRow = h.Cell.Y - FTitleOffset - records - blank;
        h.Column = leaf;
    }
    return h;
}

bool TVelCustomDBGrid::OverColumnBorder(int X, int Y, int& Index) {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    TGridState state;
    int pos = 0, ofs = 0;
    CalcSizingState(X, Y, state, Index, pos, ofs, info);
    return state == TGridState::gsColSizing;
}

bool TVelCustomDBGrid::MouseInMargin(int X, int Y) {
    const TInputHit h = HitAt(X, Y);
    if (h.Kind != TInputHit::TKind::Data || !h.Column || h.Indicator) return false;
    const int m = h.Column->GetImageMargin();
    if (m < 1) return false;
    const TRect cell = CellRect(h.Cell.X, h.Cell.Y);
    const int level = ImageLevel(h.Column);
    const bool rtl = UseRightToLeftAlignment() && !h.Column->GetSuppressRTL();
    const int from = rtl ? cell.Right - X : X - cell.Left;
    return from >= 0 && from < (level + 1) * m;
}

void TVelCustomDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!AcquireFocus()) return;
    FLastShiftState = Shift;
    const TInputHit h = HitAt(X, Y);
    const bool left = Button == TMouseButton::mbLeft;
    const bool designing = IsDesigning();
    int border = -1;
    const bool overBorder = OverColumnBorder(X, Y, border);
    TVelColumn* borderColumn = nullptr;
    if (overBorder) {
        const int d = RawToDataColumn(border);
        if (d >= 0 && d < int(FVisibleColumns.size())) borderColumn = FVisibleColumns[std::size_t(d)];
    }

    // 1: double clicks.
    if (left && Shift.Contains(TShiftStateFlag::ssDouble)) {
        if (overBorder && borderColumn && FResizeOptions.Contains(TVelResizeOption::roOptimalWidth))
            borderColumn->OptimalWidth();
        else if (h.Kind == TInputHit::TKind::Data && !h.Indicator)
            CellDblClick(h.Column);
        else
            DblClick();
        return;
    }
    // 2: the middle button restores the default width.
    if (Button == TMouseButton::mbMiddle && overBorder && borderColumn &&
        FResizeOptions.Contains(TVelResizeOption::roDefaultWidth)) {
        borderColumn->SetWidth(borderColumn->DefaultWidth());
        return;
    }
    // 3: sizing, or a press outside all cells.
    if (left && (overBorder || h.Cell.X < 0)) {
        FDataLink->UpdateRecord();
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        InvalidateEditor();
        return;
    }
    // 6: title, header band and filler buttons are tracked until the release.
    if (left && h.Kind == TInputHit::TKind::Title && FOptions.Contains(O::dgTitleButtons) && !designing) {
        FTracked = h.Cell.X;
        FTrackCol = h.Column;
        FTrackHeader = h.Header;
        const bool button = h.Indicator ? FFillerButton
                                        : h.Header >= 0 || (h.Column && h.Column->GetTitle()->GetButton());
        if (FOptions.Contains(O::dgMultiSelect) && FOptions.Contains(O::dgExtendedSelect) &&
            Shift.Contains(TShiftStateFlag::ssShift) && FDataLink->GetActive() && !h.Indicator) {
            SelectionMouseDown(Shift, RawToDataColumn(h.Cell.X), true);
            return;
        }
        if (button && !FOptions.Contains(O::dgRightMoving)) {
            SetMouseCapture(true);
            FTracking = true;
            FPressXY = TPoint{X, Y};
            TrackButton(X, Y);
            FDataLink->UpdateRecord();
            InvalidateEditor();
            TCustomControl::MouseDown(Button, Shift, X, Y);
            return;
        }
    }
    // 7: titles start column moves in the base grid.
    if (h.Kind == TInputHit::TKind::Title && (designing || FOptions.Contains(O::dgColumnResize))) {
        if (FOptions.Contains(O::dgRightMoving)) {
            if (Button == TMouseButton::mbRight) {
                SetMouseCapture(true);
                TCustomGrid::MouseDown(TMouseButton::mbLeft, Shift, X, Y);
            }
            return;
        }
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (!left || h.Kind != TInputHit::TKind::Data || !FDataLink->GetActive() ||
        h.DataRow >= FDataLink->GetRecordCount()) {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    // 8: a check box or expand box is pressed until the release.
    FClickOnSelected = h.Cell.X == GetCol() && h.DataRow == FDataLink->GetActiveRecord();
    if (!designing && h.Column && (h.Column->CanCellTrack() || h.Column->GetExpandBox())) {
        SetMouseCapture(true);
        FCellTracking = true;
        FTrackCell = h.Cell;
        TrackCell(X, Y);
    }
    // 9: the clicked record and column become current; a click on the current cell opens
    // the editor as in the base grid.
    if (FClickOnSelected && !FCellTracking) {
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        SelectionMouseDown(Shift, RawToDataColumn(h.Cell.X), false);
        return;
    }
    FDataLink->UpdateRecord();
    HideEditor();
    for (int i = 0; i < 2 && FDataLink->GetActiveRecord() != h.DataRow; ++i)
        MoveBy(h.DataRow - FDataLink->GetActiveRecord());
    const bool rowScroll = FOptions.Contains(O::dgRowSelect) && FOptions.Contains(O::dgRowScroll);
    if (!rowScroll && !h.Indicator && h.Cell.X >= FIndicatorOffset && h.Cell.X != GetCol())
        MoveColRow(h.Cell.X, GetRow(), true, true);
    // 10: the selection gestures.
    SelectionMouseDown(Shift, RawToDataColumn(h.Cell.X), false);
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TVelCustomDBGrid::TrackButton(int X, int Y) {
    bool pressed = false;
    if (TrackColumnSelection(X, Y)) return;
    // A title dragged sideways becomes a column move in the base grid, replayed from the
    // press point.
    if (FTracking && X >= 0 && FTrackHeader < 0 && FOptions.Contains(O::dgColumnResize) &&
        !FOptions.Contains(O::dgRightMoving) && FResizeOptions.Contains(TVelResizeOption::roColumnMoving) &&
        FTracked >= std::max(FIndicatorOffset, GetFixedCols()) && !FExpandButton &&
        std::abs(X - FPressXY.X) > kTitleDragThreshold) {
        StopTracking();
        SetMouseCapture(true);
        TCustomGrid::MouseDown(TMouseButton::mbLeft, FLastShiftState, FPressXY.X, FPressXY.Y);
        return;
    }
    if (FTracking && X >= 0) {
        const TInputHit h = HitAt(X, Y);
        pressed = h.Kind == TInputHit::TKind::Title && h.Cell.X == FTracked && h.Header == FTrackHeader;
    }
    if (pressed != FPressed) {
        FPressed = pressed;
        if (FTracked >= 0) InvalidateCol(FTracked);
    }
}

void TVelCustomDBGrid::TrackCell(int X, int Y) {
    bool pressed = false;
    if (FCellTracking && X >= 0) pressed = MouseCoord(X, Y) == FTrackCell;
    if (pressed != FCellPressed) {
        FCellPressed = pressed;
        if (FTrackCell.X >= 0) InvalidateCell(FTrackCell.X, FTrackCell.Y);
    }
}

void TVelCustomDBGrid::StopTracking() {
    if (!FTracking) return;
    TrackButton(-1, -1);
    FTracking = false;
    SetMouseCapture(false);
}

void TVelCustomDBGrid::StopCellTracking() {
    if (!FCellTracking) return;
    TrackCell(-1, -1);
    FCellTracking = false;
    SetMouseCapture(false);
}

void TVelCustomDBGrid::MouseMove(TShiftState Shift, int X, int Y) {
    FLastShiftState = Shift;
    if (FTracking) TrackButton(X, Y);
    if (FCellTracking) TrackCell(X, Y);
    if (FScrollTracking) {
        if (Shift.Contains(TShiftStateFlag::ssLeft))
            DragSelectionMove(X, Y);
        else
            StopScrollTracking();
    }
    if (FOptionsExt.Contains(TVelDBGridOptionExt::dgMouseTracking) && !IsDesigning() &&
        GetGridState() == TGridState::gsNormal && !FTracking && !FCellTracking && !FScrollTracking &&
        !(GetEditorMode() && GetInplaceEditor() && GetInplaceEditor()->Focused()))
        ScrollToCellAt(X, Y, false);
    TCustomGrid::MouseMove(Shift, X, Y);
}

void TVelCustomDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FLastShiftState = Shift;
    FClickInMargin = MouseInMargin(X, Y);
    const TInputHit h = HitAt(X, Y);
    const bool buttonPressed = FTracking && FPressed;
    const bool wasTracking = FTracking;
    const bool cellTracked = FCellTracking;
    const TGridCoord trackCell = FTrackCell;
    const int tracked = FTracked, trackHeader = FTrackHeader;
    TVelColumn* trackCol = FTrackCol;
    StopTracking();
    StopCellTracking();
    const bool dragEnded = FScrollTracking && Button == TMouseButton::mbLeft;
    if (dragEnded) {
        DragSelectionMove(X, Y);
        StopScrollTracking();
    }
    const TGridState state = GetGridState();
    if (FOptions.Contains(O::dgRightMoving) && Button == TMouseButton::mbRight &&
        state == TGridState::gsColMoving) {
        SetMouseCapture(false);
        TCustomGrid::MouseUp(TMouseButton::mbLeft, Shift, X, Y);
        return;
    }
    TCustomGrid::MouseUp(Button, Shift, X, Y);
    if (state == TGridState::gsColSizing || state == TGridState::gsRowSizing || Button != TMouseButton::mbLeft)
        return;
    if (dragEnded && (h.Kind == TInputHit::TKind::Title || h.Kind == TInputHit::TKind::Total)) return;
    switch (h.Kind) {
        case TInputHit::TKind::Data:
            if (cellTracked) {
                if (h.Cell == trackCell) CellClick(h.Column);
            } else if (h.Indicator) {
                IndicatorClick();
            } else {
                CellClick(GetSelectedColumn());
            }
            break;
        case TInputHit::TKind::Total:
            if (h.Indicator)
                IndicatorClick();
            else
                TotalClick(h.Column, h.TotalRow);
            break;
        case TInputHit::TKind::Title:
            if (!wasTracking || !FOptions.Contains(O::dgTitleButtons) || h.Cell.X != tracked) break;
            if (trackHeader >= 0) {
                if (h.Header == trackHeader) HeaderClick(trackCol, trackHeader);
            } else if (buttonPressed) {
                if (h.Indicator) {
                    FillerClick();
                } else if (trackCol) {
                    if (FOptions.Contains(O::dgMarkerAutoToggle) && trackCol->GetTitle()->GetAutoToggle())
                        ToggleTitleMarker(trackCol, Shift.Contains(TShiftStateFlag::ssCtrl));
                    TitleClick(trackCol);
                }
            }
            break;
        case TInputHit::TKind::None: break;
    }
}

// ---- The events.

void TVelCustomDBGrid::CellClick(TVelColumn* Column) {
    if (Column && Column->GetCheckBox()) {
        const TCheckBoxToggle t = Column->GetCheckBoxToggle();
        if ((!Column->GetField() || FOptions.Contains(O::dgEditing)) &&
            (t == TCheckBoxToggle::ctOnCellClick || (t == TCheckBoxToggle::ctSelectClick && FClickOnSelected)))
            Column->ToggleCheckBoxValue();
    } else if (Column && Column->GetExpandBox()) {
        const TExpandBoxToggle t = Column->GetExpandBoxToggle();
        if (t == TExpandBoxToggle::etOnCellClick || (t == TExpandBoxToggle::etSelectClick && FClickOnSelected)) {
            Column->ToggleExpandBox();
            return;
        }
    }
    if (FOnCellClick) FOnCellClick(Column);
}

void TVelCustomDBGrid::CellDblClick(TVelColumn* Column) {
    if (FOnCellDblClick)
        FOnCellDblClick(Column);
    else
        DblClick();
}

void TVelCustomDBGrid::TitleClick(TVelColumn* Column) {
    if (FOnTitleClick) FOnTitleClick(Column);
}

void TVelCustomDBGrid::HeaderClick(TVelColumn* Column, int Index) {
    if (FOnHeaderClick) FOnHeaderClick(Column, Index);
}

void TVelCustomDBGrid::TotalClick(TVelColumn* Column, int Index) {
    if (FOnTotalClick) FOnTotalClick(Column, Index);
}

void TVelCustomDBGrid::IndicatorClick() {
    if (FOnIndicatorClick) FOnIndicatorClick(this);
}

void TVelCustomDBGrid::FillerClick() {
    if (FOnFillerClick) FOnFillerClick(this);
}

void TVelCustomDBGrid::ExpandClick(TVelColumn* Column) {
    if (Column && Column->GetExpandStyle() == TVelColumnExpandStyle::cesAuto) {
        Column->SetExpanded(!Column->GetExpanded());
        return;
    }
    if (!FOnExpandClick) return;
    HideEditor();
    FOnExpandClick(Column);
    if (FOptions.Contains(O::dgAlwaysShowEditor)) ShowEditor();
}

void TVelCustomDBGrid::ColumnMoving(int FromIndex, int ToIndex, bool& Accept) {
    if (FOnColumnMoving) FOnColumnMoving(this, RawToDataColumn(FromIndex), RawToDataColumn(ToIndex), Accept);
}

// ---- Column moves by dragging a title.

bool TVelCustomDBGrid::BeginColumnDrag(int& Origin, int& Destination, TPoint MousePt) {
    if (!FResizeOptions.Contains(TVelResizeOption::roColumnMoving) ||
        !TCustomGrid::BeginColumnDrag(Origin, Destination, MousePt) || Origin < FIndicatorOffset)
        return false;
    const int d = RawToDataColumn(Origin);
    if (d >= int(FVisibleColumns.size())) return false;
    // Default columns exist only for fields.
    if (FColumns->GetState() == TDBGridColumnsState::csDefault && !FVisibleColumns[std::size_t(d)]->GetField()) return false;
    Destination = Origin;
    InvalidateEditor();
    return true;
}

bool TVelCustomDBGrid::EndColumnDrag(int& Origin, int& Destination, TPoint MousePt) {
    if (!TCustomGrid::EndColumnDrag(Origin, Destination, MousePt)) return false;
    bool accept = true;
    if (Origin != Destination) ColumnMoving(Origin, Destination, accept);
    return accept;
}

void TVelCustomDBGrid::ColumnMoved(int FromIndex, int ToIndex) {
    const int from = RawToDataColumn(FromIndex), to = RawToDataColumn(ToIndex);
    if (from < 0 || to < 0 || from >= int(FVisibleColumns.size()) || to >= int(FVisibleColumns.size())) return;
    // The base grid has moved its widths; the column moves in the collection and the layout
    // rebuilds the grid columns from it.
    TVelColumn* moved = FVisibleColumns[std::size_t(from)];
    moved->SetIndex(FVisibleColumns[std::size_t(to)]->GetIndex());
    if (FOnColumnMoved) FOnColumnMoved(this, from, to);
}

void TVelCustomDBGrid::EditButtonClick() {
    // Without a handler the popup editor of nested datasets would open; the platform has none.
    if (FOnEditButtonClick) FOnEditButtonClick(this);
}

}  // namespace vel
