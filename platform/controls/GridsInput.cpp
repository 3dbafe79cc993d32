// TCustomGrid: mouse, keyboard, messages and the editor protocol.
#include "platform/controls/Application.h"
#include "platform/controls/Grids.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

#include <algorithm>

namespace vel {

namespace {
constexpr int kDragThreshold = 5;  // pixels before a press on a title becomes a move
constexpr int kSizeHotZone = 3;    // pixels around a line that start sizing
}  // namespace

void TCustomGrid::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_VSCROLL:
        case WM_HSCROLL: {
            TWMScroll s(Message);
            if (!Focused() && CanFocus()) SetFocus();
            ModifyScrollBar(Message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, s.ScrollCode,
                            GetScrollInfo(Message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ).nTrackPos);
            Message.Result = 0;
            return;
        }
        case WM_TIMER: {
            if (FGridState != TGridState::gsSelecting) {
                StopTimer();
                return;
            }
            TGridDrawInfo info;
            CalcDrawInfo(info);
            TGridScrollDirections dir;
            const int x = MirrorX(FLastMouse.X), y = FLastMouse.Y;
            if (x < info.Horz.FixedBoundary) dir += TGridScrollDirection::sdLeft;
            else if (x >= info.Horz.FullVisBoundary) dir += TGridScrollDirection::sdRight;
            if (y < info.Vert.FixedBoundary) dir += TGridScrollDirection::sdUp;
            else if (y >= info.Vert.FullVisBoundary) dir += TGridScrollDirection::sdDown;
            if (!(dir == TGridScrollDirections{})) TimedScroll(dir);
            return;
        }
        case WM_GETDLGCODE:
            Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
            if (FOptions.Contains(TGridOption::goTabs)) Message.Result |= DLGC_WANTTAB;
            if (FOptions.Contains(TGridOption::goEditing)) Message.Result |= DLGC_WANTALLKEYS;
            return;
        case WM_CANCELMODE:
        case CM_CANCELMODE:
            StopTimer();
            if (FGridState != TGridState::gsNormal) {
                FGridState = TGridState::gsNormal;
                Invalidate();
            }
            FMovePending = false;
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateCell(FCurrent.X, FCurrent.Y);
            break;
        default: break;
    }
    TCustomControl::Dispatch(Message);
}

void TCustomGrid::DoEnter() {
    TCustomControl::DoEnter();
    if (FOptions.Contains(TGridOption::goAlwaysShowEditor) && !FEditorMode) ShowEditor();
}

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    if (!FOptions.Contains(TGridOption::goAlwaysShowEditor) && FEditorMode &&
        !(FInplaceEdit && FInplaceEdit->Focused()))
        HideEditor();
}

// --- mouse -------------------------------------------------------------------------------

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                                  int& SizingOfs, const TGridDrawInfo& Info) {
    State = TGridState::gsNormal;
    Index = -1;
    const int x = MirrorX(X);
    auto find = [&](const TGridAxisDrawInfo& A, int N, int first) {
        // Lines after the fixed cells and after the visible scrollable ones.
        int s = 0;
        for (int i = 0; i < A.GridCellCount; ++i) {
            if (i == A.FixedCellCount) {
                s = A.FixedBoundary;
                i = first;
                if (i >= A.GridCellCount) break;
            }
            const int e = A.GetExtent(i);
            if (e < 0) continue;
            const int line = s + e + A.EffectiveLineWidth / 2;
            if (N >= line - kSizeHotZone && N <= line + kSizeHotZone) {
                Index = i;
                SizingPos = line;
                SizingOfs = line - N;
                return true;
            }
            s += e + A.EffectiveLineWidth;
            if (s > A.GridBoundary) break;
        }
        return false;
    };
    if (FOptions.Contains(TGridOption::goColSizing) && Y < Info.Vert.FixedBoundary &&
        find(Info.Horz, x, FTopLeft.X)) {
        State = TGridState::gsColSizing;
        return;
    }
    if (FOptions.Contains(TGridOption::goRowSizing) && x < Info.Horz.FixedBoundary &&
        find(Info.Vert, Y, FTopLeft.Y)) {
        State = TGridState::gsRowSizing;
    }
}

bool TCustomGrid::BeginColumnDrag(int& Origin, int& Destination, TPoint MousePt) {
    (void)Destination;
    (void)MousePt;
    return Origin >= FFixedCols;
}

bool TCustomGrid::CheckColumnDrag(int& Origin, int& Destination, TPoint MousePt) {
    (void)Origin;
    (void)MousePt;
    return Destination >= FFixedCols;
}

bool TCustomGrid::EndColumnDrag(int& Origin, int& Destination, TPoint MousePt) {
    (void)Origin;
    (void)Destination;
    (void)MousePt;
    return true;
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FLastMouse = {X, Y};
    if (Button != TMouseButton::mbLeft) {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (CanFocus() && !Focused() && !(FInplaceEdit && FInplaceEdit->Focused())) SetFocus();
    TGridDrawInfo info;
    CalcDrawInfo(info);
    CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs, info);
    if (FGridState != TGridState::gsNormal) {
        HideEditor();
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.X < 0) {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (cell.X < FFixedCols || cell.Y < FFixedRows) {
        if (FOptions.Contains(TGridOption::goFixedHotTrack)) {
            FHotTrackCell = cell;
            FHotTrackPressed = true;
            InvalidateCell(cell.X, cell.Y);
        }
        if (FOptions.Contains(TGridOption::goColMoving) && cell.Y < FFixedRows && cell.X >= FFixedCols) {
            FMovePending = true;
            FMoveIndex = cell.X;
            FMovePos = cell.X;
            FHitTest = {X, Y};
        } else if (FOptions.Contains(TGridOption::goRowMoving) && cell.X < FFixedCols &&
                   cell.Y >= FFixedRows) {
            FGridState = TGridState::gsRowMoving;
            FMoveIndex = FMovePos = cell.Y;
            HideEditor();
        }
    } else {
        const bool wasCurrent = cell == FCurrent;
        if (wasCurrent && FOptions.Contains(TGridOption::goEditing) && !FEditorMode) {
            ShowEditor();
        } else {
            const bool extend = Shift.Contains(TShiftStateFlag::ssShift) &&
                                FOptions.Contains(TGridOption::goRangeSelect);
            if (!wasCurrent) HideEditor();
            MoveColRow(cell.X, cell.Y, !extend, true);
            if (FOptions.Contains(TGridOption::goRangeSelect)) FGridState = TGridState::gsSelecting;
            if (FOptions.Contains(TGridOption::goAlwaysShowEditor)) ShowEditor();
            InvalidateEditor();
            Click();
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    FLastMouse = {X, Y};
    TGridDrawInfo info;
    CalcDrawInfo(info);
    switch (FGridState) {
        case TGridState::gsSelecting: {
            const TGridCoord c = MouseCoord(X, Y);
            if (c.X >= FFixedCols && c.Y >= FFixedRows && !(c == FCurrent))
                MoveColRow(c.X, c.Y, false, false);
            const int x = MirrorX(X);
            if (x < info.Horz.FixedBoundary || x >= info.Horz.FullVisBoundary ||
                Y < info.Vert.FixedBoundary || Y >= info.Vert.FullVisBoundary)
                StartTimer();
            else
                StopTimer();
            break;
        }
        case TGridState::gsColSizing: {
            const int pos = MirrorX(X) + FSizingOfs;
            Sizing(FSizingIndex, pos);
            break;
        }
        case TGridState::gsRowSizing: Sizing(FSizingIndex, Y + FSizingOfs); break;
        case TGridState::gsColMoving: {
            int target = MouseCoord(X, FHitTest.Y).X;
            if (target >= 0) {
                int origin = FMoveIndex;
                if (CheckColumnDrag(origin, target, TPoint{X, Y}) && target != FMovePos) {
                    FMovePos = target;
                    Invalidate();
                }
            }
            break;
        }
        case TGridState::gsRowMoving: {
            const int target = MouseCoord(X, Y).Y;
            if (target >= FFixedRows && target != FMovePos) {
                FMovePos = target;
                Invalidate();
            }
            break;
        }
        default:
            if (FMovePending && std::abs(X - FHitTest.X) > kDragThreshold) {
                FMovePending = false;
                int origin = FMoveIndex, dest = FMoveIndex;
                if (BeginColumnDrag(origin, dest, TPoint{X, Y})) {
                    FMoveIndex = origin;
                    FMovePos = dest;
                    FGridState = TGridState::gsColMoving;
                    HideEditor();
                    Invalidate();
                }
            } else if (FOptions.Contains(TGridOption::goFixedHotTrack) && !FHotTrackPressed) {
                TGridCoord c = MouseCoord(X, Y);
                if (!(c.X >= 0 && (c.X < FFixedCols || c.Y < FFixedRows))) c = {-1, -1};
                if (!(c == FHotTrackCell)) {
                    InvalidateCell(FHotTrackCell.X, FHotTrackCell.Y);
                    FHotTrackCell = c;
                    InvalidateCell(c.X, c.Y);
                }
            }
            // The cursor tells where a press would size.
            if (!FMovePending) {
                TGridState st;
                int idx, pos, ofs;
                CalcSizingState(X, Y, st, idx, pos, ofs, info);
                SetCursor(st == TGridState::gsColSizing ? crHSplit
                          : st == TGridState::gsRowSizing ? crVSplit
                                                          : crDefault);
            }
            break;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    StopTimer();
    FMovePending = false;
    if (FHotTrackPressed) {
        FHotTrackPressed = false;
        InvalidateCell(FHotTrackCell.X, FHotTrackCell.Y);
    }
    const TGridState st = FGridState;
    FGridState = TGridState::gsNormal;
    switch (st) {
        case TGridState::gsColSizing: {
            const int start = FSizingPos - GetColWidths(FSizingIndex) - FGridLineWidth / 2;
            const int w = std::max(1, MirrorX(X) + FSizingOfs - start - FGridLineWidth / 2);
            SetColWidths(FSizingIndex, w);
            break;
        }
        case TGridState::gsRowSizing: {
            const int start = FSizingPos - GetRowHeights(FSizingIndex) - FGridLineWidth / 2;
            SetRowHeights(FSizingIndex, std::max(1, Y + FSizingOfs - start - FGridLineWidth / 2));
            break;
        }
        case TGridState::gsColMoving: {
            int origin = FMoveIndex, dest = FMovePos;
            if (EndColumnDrag(origin, dest, TPoint{X, Y}) && origin != dest) MoveColumn(origin, dest);
            Invalidate();
            break;
        }
        case TGridState::gsRowMoving:
            if (FMoveIndex != FMovePos) MoveRow(FMoveIndex, FMovePos);
            Invalidate();
            break;
        case TGridState::gsSelecting:
            if (FOptions.Contains(TGridOption::goAlwaysShowEditor)) ShowEditor();
            break;
        default: break;
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::MouseLeave() {
    if (FHotTrackCell.X >= 0 && !FHotTrackPressed) {
        InvalidateCell(FHotTrackCell.X, FHotTrackCell.Y);
        FHotTrackCell = {-1, -1};
    }
    TCustomControl::MouseLeave();
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelDown(Shift, MousePos)) return true;
    if (FCurrent.Y < FRowCount - 1) FocusCell(FCurrent.X, FCurrent.Y + 1, true);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelUp(Shift, MousePos)) return true;
    if (FCurrent.Y > FFixedRows) FocusCell(FCurrent.X, FCurrent.Y - 1, true);
    return true;
}

// --- moving rows and columns ----------------------------------------------------------------

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    if (FromIndex < 0 || FromIndex >= FColCount || ToIndex < 0 || ToIndex >= FColCount)
        throw EInvalidArgument("Cannot move column " + std::to_string(FromIndex) + " to " +
                               std::to_string(ToIndex));
    if (FromIndex == ToIndex) return;
    HideEditor();
    if (!FColWidths.empty()) {
        const int w = FColWidths[std::size_t(FromIndex)];
        FColWidths.erase(FColWidths.begin() + FromIndex);
        FColWidths.insert(FColWidths.begin() + ToIndex, w);
    }
    // The current column follows the moved one.
    if (FCurrent.X == FromIndex)
        FCurrent.X = ToIndex;
    else if (FromIndex < FCurrent.X && ToIndex >= FCurrent.X)
        --FCurrent.X;
    else if (FromIndex > FCurrent.X && ToIndex <= FCurrent.X)
        ++FCurrent.X;
    FAnchor.X = FOptions.Contains(TGridOption::goRowSelect) ? FColCount - 1 : FCurrent.X;
    ColumnMoved(FromIndex, ToIndex);
    Invalidate();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    if (FromIndex < 0 || FromIndex >= FRowCount || ToIndex < 0 || ToIndex >= FRowCount)
        throw EInvalidArgument("Cannot move row " + std::to_string(FromIndex) + " to " +
                               std::to_string(ToIndex));
    if (FromIndex == ToIndex) return;
    HideEditor();
    if (!FRowHeights.empty()) {
        const int h = FRowHeights[std::size_t(FromIndex)];
        FRowHeights.erase(FRowHeights.begin() + FromIndex);
        FRowHeights.insert(FRowHeights.begin() + ToIndex, h);
    }
    RowMoved(FromIndex, ToIndex);
    Invalidate();
}

void TCustomGrid::ColumnMoved(int FromIndex, int ToIndex) {
    if (FOnColumnMoved) FOnColumnMoved(this, FromIndex, ToIndex);
}

void TCustomGrid::RowMoved(int FromIndex, int ToIndex) {
    if (FOnRowMoved) FOnRowMoved(this, FromIndex, ToIndex);
}

// --- keyboard ----------------------------------------------------------------------------

void TCustomGrid::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    const bool ctrl = Shift.Contains(TShiftStateFlag::ssCtrl);
    const bool shift = Shift.Contains(TShiftStateFlag::ssShift);
    const bool rtl = UseRightToLeftAlignment();
    TGridCoord c = FCurrent;
    const int page = std::max(1, GetVisibleRowCount());
    switch (Key) {
        case VK_UP: --c.Y; break;
        case VK_DOWN: ++c.Y; break;
        case VK_LEFT: c.X += rtl ? 1 : -1; break;
        case VK_RIGHT: c.X += rtl ? -1 : 1; break;
        case VK_PRIOR: c.Y -= page; break;
        case VK_NEXT: c.Y += page; break;
        case VK_HOME:
            if (ctrl) c.Y = FFixedRows;
            c.X = FFixedCols;
            break;
        case VK_END:
            if (ctrl) c.Y = FRowCount - 1;
            c.X = FColCount - 1;
            break;
        case VK_TAB:
            if (!FOptions.Contains(TGridOption::goTabs) || Shift.Contains(TShiftStateFlag::ssAlt)) return;
            if (shift) {
                if (--c.X < FFixedCols) {
                    c.X = FColCount - 1;
                    if (--c.Y < FFixedRows) c.Y = FRowCount - 1;
                }
            } else if (++c.X >= FColCount) {
                c.X = FFixedCols;
                if (++c.Y >= FRowCount) c.Y = FFixedRows;
            }
            break;
        case VK_F2:
            // F2 edits the text as it is: the caret goes to its end.
            if (FOptions.Contains(TGridOption::goEditing)) SetEditorMode(true);
            if (FEditorMode && FInplaceEdit) FInplaceEdit->Deselect();
            Key = 0;
            return;
        default: return;
    }
    c.X = std::clamp(c.X, FFixedCols, FColCount - 1);
    c.Y = std::clamp(c.Y, FFixedRows, FRowCount - 1);
    Key = 0;
    if (c == FCurrent) return;
    const bool extend = shift && Key != VK_TAB && FOptions.Contains(TGridOption::goRangeSelect);
    HideEditor();
    MoveColRow(c.X, c.Y, !extend, true);
    if (FOptions.Contains(TGridOption::goAlwaysShowEditor)) ShowEditor();
    Click();
}

void TCustomGrid::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 0) return;
    if (Key == U'\r') {
        if (FOptions.Contains(TGridOption::goEditing)) SetEditorMode(!FEditorMode);
        Key = 0;
        return;
    }
    if (Key >= U' ' && Key != 0x7F && FOptions.Contains(TGridOption::goEditing) && !FEditorMode) {
        ShowEditorChar(Key);
        Key = 0;
    }
}

// --- editor protocol ---------------------------------------------------------------------

std::string TCustomGrid::GetEditText(int ACol, int ARow) {
    (void)ACol;
    (void)ARow;
    return {};
}
void TCustomGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    (void)ACol;
    (void)ARow;
    (void)Value;
}
std::string TCustomGrid::GetEditMask(int ACol, int ARow) {
    (void)ACol;
    (void)ARow;
    return {};
}
int TCustomGrid::GetEditLimit() {
    return 0;
}

bool TCustomGrid::CanEditShow() {
    return FOptions.Contains(TGridOption::goEditing) && !FOptions.Contains(TGridOption::goRowSelect) &&
           (FEditorMode || FOptions.Contains(TGridOption::goAlwaysShowEditor)) &&
           FCurrent.X >= FFixedCols && FCurrent.Y >= FFixedRows &&
           !IsDesigning();
}

TInplaceEdit* TCustomGrid::CreateEditor() {
    return new TInplaceEdit(this);
}

void TCustomGrid::SetEditorMode(bool v) {
    if (v == FEditorMode) return;
    if (v)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor() {
    FEditorMode = true;
    if (!CanEditShow()) {
        FEditorMode = false;
        return;
    }
    UpdateEdit();
}

void TCustomGrid::ShowEditorChar(char32_t Ch) {
    ShowEditor();
    if (!FEditorMode || !FInplaceEdit) return;
    // The typed character replaces the whole text.
    FInplaceEdit->SelectAll();
    FInplaceEdit->Perform(WM_CHAR, WPARAM(Ch));
}

void TCustomGrid::HideEditor() {
    FEditorMode = false;
    if (FInplaceEdit && FInplaceEdit->GetVisible()) {
        const bool hadFocus = FInplaceEdit->Focused();
        FInplaceEdit->Hide();
        if (hadFocus && CanFocus()) SetFocus();
        InvalidateCell(FCurrent.X, FCurrent.Y);
    }
}

void TCustomGrid::UpdateEdit() {
    if (!FEditorMode) return;
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->SetGrid(this);
        FInplaceEdit->SetParent(this);
    }
    const TRect r = CellRect(FCurrent.X, FCurrent.Y);
    if (r.IsEmpty()) {
        FInplaceEdit->Hide();
        return;
    }
    if (!FInplaceEdit->GetVisible()) FInplaceEdit->UpdateContents();
    FInplaceEdit->Move(r);
    if (Focused() && FInplaceEdit->CanFocus()) FInplaceEdit->SetFocus();
}

void TCustomGrid::InvalidateEditor() {
    if (FEditorMode && FInplaceEdit && FInplaceEdit->GetVisible()) {
        FInplaceEdit->Hide();
        UpdateEdit();
    } else if (FEditorMode) {
        UpdateEdit();
    }
}

}  // namespace vel
