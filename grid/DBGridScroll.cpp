// TVelCustomDBGrid: scrolling. The vertical bar is the grid's own and maps the dataset, not
// grid rows (TVelVertScrollBar); its messages move the dataset's cursor. The horizontal bar is
// the base grid's, with the grid's column-scroll news on top.
#include <algorithm>

#include "grid/DBGrid.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

namespace {
bool HasVert(TScrollStyle S) {
    return S == TScrollStyle::ssVertical || S == TScrollStyle::ssBoth;
}
bool HasHorz(TScrollStyle S) {
    return S == TScrollStyle::ssHorizontal || S == TScrollStyle::ssBoth;
}
}  // namespace

// ---- Record count and number.

bool TVelCustomDBGrid::ForcedSequence() const {
    return FOptions.Contains(TVelDBGridOption::dgForceSequence) && FDataLink->GetActive();
}

int TVelCustomDBGrid::GetRecCount() const {
    if (ForcedSequence()) return FRecCount;
    TDataSet* ds = GetDataSet();
    return FDataLink->GetActive() && ds ? ds->GetRecordCount() : 0;
}

int TVelCustomDBGrid::GetRecNumber() const {
    if (ForcedSequence()) return FRecNumber;
    TDataSet* ds = GetDataSet();
    return FDataLink->GetActive() && ds ? ds->GetRecNo() : -1;
}

void TVelCustomDBGrid::SetRecNumber(int Value) {
    if (!FDataLink->GetActive()) return;
    if (ForcedSequence()) {
        const int moved = FDataLink->MoveBy(Value - FRecNumber);
        SetupRecNumber(FRecNumber + moved);
    } else if (TDataSet* ds = GetDataSet()) {
        ds->SetRecNo(Value);
    }
}

void TVelCustomDBGrid::SetupRecCount(int Value) {
    if (ForcedSequence()) FRecCount = Value;
}

void TVelCustomDBGrid::SetupRecNumber(int Value) {
    if (ForcedSequence()) FRecNumber = Value;
}

// ---- The window and its bars.

void TVelCustomDBGrid::CreateParams(TCreateParams& Params) {
    TCustomGrid::CreateParams(Params);
    if (HasVert(FScrollBarsOwn)) Params.Style |= WS_VSCROLL;
}

void TVelCustomDBGrid::CreateWnd() {
    // Real flat bars only where the system draws them as such: an old, unthemed system with
    // bars on the right.
    const TSystemProfile& p = SystemProfile();
    FFlatSBMode = !UseRightToLeftScrollBar() && !p.ThemesEnabled && !p.CheckWin32Version(6) &&
                  (!FScrollProp->GetWinXPMode() || !p.CheckWin32Version(5, 1));
    TCustomGrid::CreateWnd();
    // A grid attached to its data before it had a window builds its record window now.
    UpdateRowCount();
    UpdateActive();
    FVertScroll.Reset();
    FVertScroll.SetHidden(false);
    UpdateScrollBar();
    // Columns stretched before there was a window fitted a client area without the bars.
    ClientResized();
}

bool TVelCustomDBGrid::InGridScrollMode() const {
    return FOptionsExt.Contains(TVelDBGridOptionExt::dgScrollGridMode) && ForcedSequence();
}

TVertScrollInput TVelCustomDBGrid::VertScrollInput() {
    using enum TVelDBGridOptionExt;
    TDataSet* ds = GetDataSet();
    TVertScrollInput in;
    in.VisibleRows = GetVisibleRowCount();
    in.ActiveRecord = FDataLink->GetActiveRecord();
    in.Proportional = HasVert(FScrollProp->GetThumbBar());
    in.Bof = ds->GetBOF();
    in.Eof = ds->GetEOF();
    if (ForcedSequence()) {
        in.Mode = FOptionsExt.Contains(dgScrollGridMode)
                      ? (FOptionsExt.Contains(dgScrollPageMode) ? TVertScrollMode::vsmForcedPage
                                                                : TVertScrollMode::vsmForcedGrid)
                      : TVertScrollMode::vsmForcedRow;
        in.Count = FRecCount;
        in.Number = FRecNumber;
    } else if (ds->IsSequenced()) {
        in.Mode = TVertScrollMode::vsmSequenced;
        in.Count = ds->GetRecordCount();
        in.Number = ds->GetRecNo();
    } else {
        in.Mode = TVertScrollMode::vsmUnsequenced;
        // Counting an unsequenced dataset may read all of it (a query reading on demand); only
        // the auto-hidden flat bar asks whether everything fits.
        const bool autoHide = FFlatSBMode && HasVert(FScrollProp->GetAutoHidden());
        in.Count = autoHide ? ds->GetRecordCount() : -1;
    }
    return in;
}

void TVelCustomDBGrid::UpdateScrollBar() {
    ++FWork.ScrollBarUpdates;
    if (!HandleAllocated() || IsDestroying() || IsLoading() || !FDataLink) return;
    const bool wanted = HasVert(FScrollBarsOwn);
    if (!wanted) {
        ShowScrollBar(SB_VERT, false);
        return;
    }
    // At design time the bar has no data to show.
    if (IsDesigning()) return;
    if (!FDataLink->GetActive() || !GetDataSet()) {
        ShowScrollBar(SB_VERT, !FVertScroll.GetHidden());
        return;
    }
    TVertScrollInput in = VertScrollInput();
    const int oldNumber = in.Number;
    TVertScrollState s = TVelVertScrollBar::Calc(in);
    const bool forced = in.Mode == TVertScrollMode::vsmForcedPage ||
                        in.Mode == TVertScrollMode::vsmForcedGrid ||
                        in.Mode == TVertScrollMode::vsmForcedRow;
    if (forced && in.Number != oldNumber) SetupRecNumber(in.Number);
    const bool autoHide = FFlatSBMode && HasVert(FScrollProp->GetAutoHidden());
    if (autoHide && in.Count >= 0 && TVelVertScrollBar::AllFit(in)) {
        FVertScroll.SetHidden(true);
        ShowScrollBar(SB_VERT, false);
        return;
    }
    FVertScroll.SetHidden(false);
    ShowScrollBar(SB_VERT, true);
    if (!autoHide && s.Min >= s.Max) s.Max = s.Min + 1;
    if (forced) {
        // An inserted or edited-in-a-state-not-browsing record has no number yet: the thumb
        // stays where it was.
        const TDataSetState st = GetDataSet()->GetState();
        if (st != TDataSetState::dsInactive && st != TDataSetState::dsBrowse &&
            st != TDataSetState::dsEdit)
            s.Pos = FVertScroll.GetState().Pos;
    }
    // The bar is drawn from its state, so unchanged values need nothing.
    if (!FVertScroll.Apply(s)) return;
    TScrollInfo si;
    si.fMask = SIF_ALL;
    si.nMin = s.Min;
    si.nMax = s.Max;
    si.nPage = unsigned(s.Page);
    si.nPos = s.Pos;
    FlatSB_SetScrollInfo(this, SB_VERT, si, true);
}

void TVelCustomDBGrid::UpdateFlatScrollBar() {
    if (!HandleAllocated() || !FFlatSBMode || !HasHorz(FScrollBarsOwn)) return;
    // An auto-hiding horizontal bar goes when every column fits.
    const bool fits = GetColumnsWidth() <= GetClientWidth() && GetLeftCol() <= TCustomGrid::GetFixedCols();
    ShowScrollBar(SB_HORZ, !(HasHorz(FScrollProp->GetAutoHidden()) && fits));
    if (!HasHorz(FScrollProp->GetThumbBar())) {
        TScrollInfo si = GetScrollInfo(SB_HORZ);
        si.fMask = SIF_PAGE;
        si.nPage = 0;
        FlatSB_SetScrollInfo(this, SB_HORZ, si, true);
    }
}

// ---- Vertical scroll messages.

void TVelCustomDBGrid::WMVScroll(unsigned Code, int Pos) {
    if (!AcquireFocus() || !FDataLink->GetActive()) return;
    TDataSet* ds = GetDataSet();
    if (!ds) return;
    if (Code == SB_THUMBTRACK && !FOptions.Contains(TVelDBGridOption::dgThumbTracking)) return;
    auto lock = HoldChangeLock();
    const int vr = GetVisibleRowCount();
    const int a = FDataLink->GetActiveRecord();
    auto linkMove = [&](int Distance) {
        const int moved = FDataLink->MoveBy(Distance);
        SetupRecNumber(FRecNumber + moved);
    };
    auto first = [&] {
        ds->First();
        SetupRecNumber(std::min(FRecCount, 1));
    };
    auto last = [&] {
        ds->Last();
        SetupRecNumber(FRecCount);
    };
    if (InGridScrollMode()) {
        const int n = FRecCount, p = FRecNumber;
        switch (Code) {
            case SB_LINEUP: MoveBy(-1); break;
            case SB_LINEDOWN: MoveBy(1); break;
            case SB_PAGEUP: MoveBy(-vr); break;
            case SB_PAGEDOWN: MoveBy(vr); break;
            case SB_THUMBPOSITION:
            case SB_THUMBTRACK:
                if (Pos <= 1)
                    MoveBy(1 - p);
                else if (Pos >= n - vr + 1)
                    MoveBy(n - p);
                else if (FOptionsExt.Contains(TVelDBGridOptionExt::dgScrollPageMode))
                    MoveBy(Pos * vr - vr + a - p + 1);
                else
                    MoveBy(Pos + a - p);
                break;
            case SB_TOP: MoveBy(1 - p); break;
            case SB_BOTTOM: MoveBy(n - p); break;
            default: return;
        }
    } else {
        switch (Code) {
            case SB_LINEUP: linkMove(-a - 1); break;
            case SB_LINEDOWN: linkMove(FDataLink->GetRecordCount() - a); break;
            case SB_PAGEUP: linkMove(-vr); break;
            case SB_PAGEDOWN: linkMove(vr); break;
            case SB_THUMBPOSITION:
            case SB_THUMBTRACK:
                if (ForcedSequence() || ds->IsSequenced()) {
                    const int count = ForcedSequence() ? FRecCount : ds->GetRecordCount();
                    if (Pos <= 1)
                        first();
                    else if (Pos >= count)
                        last();
                    else
                        SetRecNumber(Pos);
                } else {
                    switch (Pos) {
                        case 0: first(); break;
                        case 1: linkMove(-vr); break;
                        case 3: linkMove(vr); break;
                        case 4: last(); break;
                        default: break;
                    }
                }
                break;
            case SB_TOP: first(); break;
            case SB_BOTTOM: last(); break;
            default: return;
        }
    }
    UpdateScrollBar();
}

int TVelCustomDBGrid::MoveBy(int Distance, bool Select) {
    if (!FDataLink->GetActive() || Distance == 0) return 0;
    if (InGridScrollMode()) {
        // The window stays inside the dataset: up to the records above it, down until its
        // last row shows the last record.
        const int n = FRecCount, p = FRecNumber, a = FDataLink->GetActiveRecord();
        const int vr = GetVisibleRowCount();
        const int up = std::min(0, -(p - a - 1));
        const int down = std::max(0, n - vr + a - p + 1);
        int d = std::clamp(Distance, up, down);
        // The window is at an edge, the cursor is not: it moves one record towards it.
        if (d == 0) d = Distance < 0 ? (p > 1 ? -1 : 0) : (p < n ? 1 : 0);
        if (d == 0) return 0;
        Distance = d;
        Select = true;
    }
    if (!Select) return FDataLink->MoveBy(Distance);
    TDataSet* ds = GetDataSet();
    ds->CheckBrowseMode();
    HideEditor();
    int moved;
    {
        auto lock = HoldChangeLock();
        moved = FDataLink->MoveBy(Distance);
    }
    SetupRecNumber(FRecNumber + moved);
    AlwaysShowEditor();
    return moved;
}

// ---- Scrolling by the mouse.

int TVelCustomDBGrid::RTLPosX(int X) const {
    return UseRightToLeftAlignment() ? GetClientWidth() - X : X;
}

void TVelCustomDBGrid::ScrollToRowBy(int Rows) {
    if (Rows != 0) MoveBy(Rows, true);
}

void TVelCustomDBGrid::ScrollToRowAt(int X, int Y) {
    (void)X;
    const int top = GetTitleHeight();
    const int bottom =
        GetClientHeight() - GetTotalHeight() - std::max(0, GetBlankHeight()) - 1;
    Y = std::max(top, std::min(Y, bottom));
    const int rowHeight = std::max(1, GetRowHeight());
    const int row = (Y - top) / rowHeight + FTitleOffset;
    ScrollToRowBy(row - GetRow());
}

void TVelCustomDBGrid::ScrollToColAt(int X, int Y) {
    if (FOptions.Contains(TVelDBGridOption::dgRowSelect)) return;
    const TGridCoord c = MouseCoord(X, Y);
    const int fixed = TCustomGrid::GetFixedCols();
    if (c.X >= fixed && c.X < GetColCount()) {
        if (c.X != GetCol()) MoveColRow(c.X, GetRow(), true, true);
    } else if (c.X >= 0 && c.X < fixed && GetLeftCol() > fixed) {
        // Over the frozen columns: the scrolled ones come back one at a time.
        SetLeftCol(GetLeftCol() - 1);
        MoveColRow(GetLeftCol(), GetRow(), true, true);
    }
}

void TVelCustomDBGrid::ScrollToCellAt(int X, int Y, bool Selecting) {
    const TGridCoord c = MouseCoord(X, Y);
    if (!(Selecting && c.X == GetCol())) ScrollToColAt(X, Y);
    if (!(Selecting && c.Y == GetRow())) ScrollToRowAt(X, Y);
}

// ---- Horizontal scrolling.

void TVelCustomDBGrid::TopLeftChanged() {
    if (FTopLeftChanging) return;
    TRestore<bool> guard(FTopLeftChanging, true);
    UpdateFlatScrollBar();
    for (TVelColumn* c : FVisibleColumns)
        if (c->GetImageDraw() == TImageDraw::idTileRow) {
            Invalidate();
            break;
        }
    TCustomGrid::TopLeftChanged();
    if (GetLeftCol() != FLastLeftCol) {
        // Only a horizontal move concerns the linked grid; rows scroll with the data.
        Synchronize();
        FLastLeftCol = GetLeftCol();
        if (FOnColumnScroll) FOnColumnScroll(this, RawToDataColumn(FLastLeftCol));
    }
}

}  // namespace vel
