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
    int level = 0;
    if (FDataLink->GetActive() && h.DataRow < FDataLink->GetRecordCount()) {
        // The level is the released row's, not the current record's.
        const int active = FDataLink->GetActiveRecord();
        TScopeExit back([&] { FDataLink->SetActiveRecord(active); });
        FDataLink->SetActiveRecord(h.DataRow);
        level = ImageLevel(h.Column);
    }
    const bool rtl = UseRightToLeftAlignment() && !h.Column->GetSuppressRTL();
    const int from = rtl ? cell.Right - X : X - cell.Left;
    return from >= 0 && from < (level + 1) * m;
}

void TVelCustomDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // A grid that cannot take the focus ignores the click, its release included.
    FPressIgnored = !AcquireFocus();
    if (FPressIgnored) return;
    FLastShiftState = Shift;
    FAutoDropPressed = true;
    const TInputHit h = HitAt(X, Y);
    const bool left = Button == TMouseButton::mbLeft;
    const bool designing = IsDesigning();
    FSelectClickPending = false;
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
    // 4: a docking grid is dragged away by its top-left corner.
    if (left && GetDragKind() == TDragKind::dkDock && !designing && h.Indicator &&
        h.Kind == TInputHit::TKind::Title) {
        BeginDockDrag(X, Y);
        return;
    }
    // 5: without title buttons the expand buttons only work in the designer.
    TVelColumn* expandColumn = nullptr;
    const bool onExpand = h.Kind == TInputHit::TKind::Title && PtInExpandButton(X, Y, expandColumn);
    if (onExpand && (designing || !FOptions.Contains(O::dgTitleButtons))) {
        if (designing) expandColumn->SetExpanded(!expandColumn->GetExpanded());
        return;
    }
    // 6: title, header band and filler buttons are tracked until the release.
    if (left && h.Kind == TInputHit::TKind::Title && FOptions.Contains(O::dgTitleButtons) && !designing) {
        FTracked = h.Cell.X;
        FTrackCol = h.Column;
        FTrackHeader = h.Header;
        FExpandButton = onExpand;
        const bool button = h.Indicator ? FFillerButton
                                        : h.Header >= 0 || onExpand || (h.Column && h.Column->GetTitle()->GetButton());
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
        FPressXY = TPoint{X, Y};
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
    // With dgClickSelectOff a click on another cell only selects: lists wait for the next one.
    FSelectClickPending = FOptions.Contains(O::dgMultiSelect) &&
                          FOptionsEx.Contains(TVelDBGridOptionEx::dgClickSelectOff) && !FClickOnSelected;
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
        // A press on an expand button holds only over that button.
        TVelColumn* expand = nullptr;
        if (pressed && FExpandButton) pressed = PtInExpandButton(X, Y, expand) && expand == FTrackCol;
    }
    if (pressed != FPressed) {
        FPressed = pressed;
        InvalidatePressedButton();
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
    if (FDockDragging) {
        DockDragTo(X, Y);
        return;
    }
    if (FTracking) TrackButton(X, Y);
    if (!Shift.Contains(TShiftStateFlag::ssLeft)) {
        UpdateHotButtons(X, Y);
        UpdateHotCells(X, Y);
    }
    if (FCellTracking) TrackCell(X, Y);
    if (FScrollTracking) {
        if (Shift.Contains(TShiftStateFlag::ssLeft))
            DragSelectionMove(X, Y);
        else
            StopScrollTracking();
    }
    if (FOptionsExt.Contains(TVelDBGridOptionExt::dgMouseTracking) && !IsDesigning() &&
        !Shift.Contains(TShiftStateFlag::ssLeft) &&
        GetGridState() == TGridState::gsNormal && !FTracking && !FCellTracking && !FScrollTracking &&
        !(GetEditorMode() && GetInplaceEditor() && GetInplaceEditor()->Focused())) {
        ScrollToCellAt(X, Y, false);
        SetSelectionAnchor(TBookmark{});
    }
    TCustomGrid::MouseMove(Shift, X, Y);
}

void TVelCustomDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FPressIgnored) {
        FPressIgnored = false;
        return;
    }
    FLastShiftState = Shift;
    if (FDockDragging) {
        EndDockDrag();
        AutoDropDownReleased(false);
        return;
    }
    FClickInMargin = MouseInMargin(X, Y);
    const TInputHit h = HitAt(X, Y);
    const bool buttonPressed = FTracking && FPressed;
    const bool wasTracking = FTracking;
    const bool expandPressed = FExpandButton;
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
    FExpandButton = false;
    if (Button == TMouseButton::mbLeft) ClearHotTracking();
    // The release is the automatic drop-down's news, whatever the click does next.
    TScopeExit released([&] { FAutoDropPressed = false; });
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
    // A drag selection ended over the titles or totals, or a release on the editor: the
    // automatic drop-down hears of it and nothing is clicked.
    if (dragEnded && (h.Kind == TInputHit::TKind::Title || h.Kind == TInputHit::TKind::Total)) {
        AutoDropDownReleased(true);
        return;
    }
    if (TInplaceEdit* editor = GetInplaceEditor(); editor && editor->GetVisible() &&
                                                   PtInRect(editor->GetBoundsRect(), TPoint{X, Y})) {
        AutoDropDownReleased(true);
        return;
    }
    switch (h.Kind) {
        case TInputHit::TKind::Data:
            if (cellTracked) {
                if (h.Cell == trackCell) CellClick(h.Column);
            } else if (h.Indicator) {
                IndicatorClick();
            } else {
                CellClick(GetSelectedColumn());
                AutoDropDownReleased(false);
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
                } else if (trackCol && expandPressed) {
                    ExpandClick(trackCol);
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

void TVelCustomDBGrid::EditButtonClick() {
    // Without a handler the popup editor of nested datasets would open; the platform has none.
    if (FOnEditButtonClick) FOnEditButtonClick(this);
}

}  // namespace vel
