// TCustomGrid: sizes, geometry, scrolling and painting.
#include "platform/controls/Grids.h"

#include <algorithm>

#include "platform/classes/TypInfo.h"
#include "platform/controls/Application.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CLASS(TCustomGrid, TCustomControl)
VEL_ENUM_INFO(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

namespace {
constexpr WPARAM kScrollTimer = 1;

int SizeAt(const std::vector<int>& v, int i, int def) {
    return std::size_t(i) < v.size() ? v[std::size_t(i)] : def;
}
}  // namespace

bool FlatSB_SetScrollInfo(TWinControl* Window, int Bar, const TScrollInfo& Info, bool Redraw) {
    Window->SetScrollInfo(Bar, Info, Redraw);
    return true;
}
bool FlatSB_GetScrollInfo(TWinControl* Window, int Bar, TScrollInfo& Info) {
    Info = Window->GetScrollInfo(Bar);
    return true;
}
int FlatSB_SetScrollPos(TWinControl* Window, int Bar, int Pos, bool Redraw) {
    TScrollInfo si = Window->GetScrollInfo(Bar);
    const int old = si.nPos;
    si.fMask = SIF_POS;
    si.nPos = Pos;
    Window->SetScrollInfo(Bar, si, Redraw);
    return old;
}
bool FlatSB_ShowScrollBar(TWinControl* Window, int Bar, bool Show) {
    Window->ShowScrollBar(Bar, Show);
    return true;
}

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(GetControlStyle() + TControlStyleFlag::csCaptureMouse +
                    TControlStyleFlag::csOpaque + TControlStyleFlag::csDoubleClicks);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    SetBounds(0, 0, 320, 120);
    FCurrent = FAnchor = FTopLeft = {FFixedCols, FFixedRows};
}

TCustomGrid::~TCustomGrid() {
    StopTimer();
}

void TCustomGrid::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_TABSTOP;
    if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth)
        Params.Style |= WS_VSCROLL;
    if (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth)
        Params.Style |= WS_HSCROLL;
}

// --- sizes -------------------------------------------------------------------------------

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
    const int oldCols = FColCount, oldRows = FRowCount;
    if (NewColCount == oldCols && NewRowCount == oldRows) return;
    HideEditor();
    FColCount = NewColCount;
    FRowCount = NewRowCount;
    if (!FColWidths.empty()) FColWidths.resize(std::size_t(FColCount), FDefaultColWidth);
    if (!FRowHeights.empty()) FRowHeights.resize(std::size_t(FRowCount), FDefaultRowHeight);
    auto clamp = [&](TGridCoord& c) {
        c.X = std::clamp(c.X, FFixedCols, std::max(FFixedCols, FColCount - 1));
        c.Y = std::clamp(c.Y, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    };
    clamp(FCurrent);
    clamp(FAnchor);
    clamp(FTopLeft);
    SizeChanged(oldCols, oldRows);
    UpdateScrollRange();
    Invalidate();
    if (FOptions.Contains(TGridOption::goAlwaysShowEditor)) ShowEditor();
}

void TCustomGrid::SetColCount(int v) {
    if (v < 1) throw EInvalidArgument("ColCount " + std::to_string(v) + " is below 1");
    if (v <= FFixedCols)
        throw EInvalidArgument("ColCount " + std::to_string(v) + " must be greater than FixedCols (" +
                               std::to_string(FFixedCols) + ")");
    ChangeSize(v, FRowCount);
}

void TCustomGrid::SetRowCount(int v) {
    if (v < 1) throw EInvalidArgument("RowCount " + std::to_string(v) + " is below 1");
    if (v <= FFixedRows)
        throw EInvalidArgument("RowCount " + std::to_string(v) + " must be greater than FixedRows (" +
                               std::to_string(FFixedRows) + ")");
    ChangeSize(FColCount, v);
}

void TCustomGrid::SetFixedCols(int v) {
    if (v < 0) throw EInvalidArgument("FixedCols " + std::to_string(v) + " is negative");
    if (v >= FColCount)
        throw EInvalidArgument("FixedCols " + std::to_string(v) + " must be less than ColCount (" +
                               std::to_string(FColCount) + ")");
    if (v == FFixedCols) return;
    HideEditor();
    FFixedCols = v;
    FTopLeft.X = std::max(FTopLeft.X, v);
    FCurrent.X = std::max(FCurrent.X, v);
    FAnchor.X = std::max(FAnchor.X, v);
    UpdateScrollRange();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int v) {
    if (v < 0) throw EInvalidArgument("FixedRows " + std::to_string(v) + " is negative");
    if (v >= FRowCount)
        throw EInvalidArgument("FixedRows " + std::to_string(v) + " must be less than RowCount (" +
                               std::to_string(FRowCount) + ")");
    if (v == FFixedRows) return;
    HideEditor();
    FFixedRows = v;
    FTopLeft.Y = std::max(FTopLeft.Y, v);
    FCurrent.Y = std::max(FCurrent.Y, v);
    FAnchor.Y = std::max(FAnchor.Y, v);
    UpdateScrollRange();
    Invalidate();
}

int TCustomGrid::GetColWidths(int Index) const {
    return SizeAt(FColWidths, Index, FDefaultColWidth);
}
int TCustomGrid::GetRowHeights(int Index) const {
    return SizeAt(FRowHeights, Index, FDefaultRowHeight);
}

void TCustomGrid::SetColWidths(int Index, int Value) {
    if (Index < 0 || Index >= FColCount)
        throw EInvalidArgument("Column " + std::to_string(Index) + " is out of range");
    if (GetColWidths(Index) == Value) return;
    if (FColWidths.empty()) FColWidths.assign(std::size_t(FColCount), FDefaultColWidth);
    FColWidths[std::size_t(Index)] = Value;
    ColWidthsChanged();
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    if (Index < 0 || Index >= FRowCount)
        throw EInvalidArgument("Row " + std::to_string(Index) + " is out of range");
    if (GetRowHeights(Index) == Value) return;
    if (FRowHeights.empty()) FRowHeights.assign(std::size_t(FRowCount), FDefaultRowHeight);
    FRowHeights[std::size_t(Index)] = Value;
    RowHeightsChanged();
}

void TCustomGrid::SetDefaultColWidth(int v) {
    if (v < 0) throw EInvalidArgument("DefaultColWidth " + std::to_string(v) + " is negative");
    FDefaultColWidth = v;
    FColWidths.clear();
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
    if (v < 0) throw EInvalidArgument("DefaultRowHeight " + std::to_string(v) + " is negative");
    FDefaultRowHeight = v;
    FRowHeights.clear();
    RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(int v) {
    if (v < 0) throw EInvalidArgument("GridLineWidth " + std::to_string(v) + " is negative");
    if (v == FGridLineWidth) return;
    FGridLineWidth = v;
    UpdateScrollRange();
    InvalidateEditor();
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions v) {
    if (v == FOptions) return;
    if (v.Contains(TGridOption::goRowSelect)) v.Exclude(TGridOption::goAlwaysShowEditor);
    FOptions = v;
    if (!FEditorMode) {
        if (v.Contains(TGridOption::goAlwaysShowEditor)) ShowEditor();
    } else if (!v.Contains(TGridOption::goEditing)) {
        HideEditor();
    }
    if (v.Contains(TGridOption::goRowSelect)) {
        FCurrent.X = FFixedCols;
        FAnchor = {FColCount - 1, FCurrent.Y};
    } else if (FAnchor.X == FColCount - 1 && FAnchor.Y == FCurrent.Y) {
        FAnchor = FCurrent;  // leaving row select: the selection is the current cell again
    }
    Invalidate();
    UpdateScrollRange();
}

void TCustomGrid::SetScrollBars(TScrollStyle v) {
    if (v == FScrollBars) return;
    FScrollBars = v;
    if (HandleAllocated()) {
        ShowScrollBar(SB_VERT, v == TScrollStyle::ssVertical || v == TScrollStyle::ssBoth);
        ShowScrollBar(SB_HORZ, v == TScrollStyle::ssHorizontal || v == TScrollStyle::ssBoth);
    }
    UpdateScrollRange();
}

void TCustomGrid::SetFixedColor(TColor v) {
    if (v == FFixedColor) return;
    FFixedColor = v;
    Invalidate();
}

void TCustomGrid::ColWidthsChanged() {
    UpdateScrollRange();
    UpdateEdit();
    Invalidate();
}

void TCustomGrid::RowHeightsChanged() {
    UpdateScrollRange();
    UpdateEdit();
    Invalidate();
}

void TCustomGrid::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TCustomGrid::Resize() {
    TCustomControl::Resize();
    UpdateScrollRange();
    UpdateEdit();
}

// --- geometry ----------------------------------------------------------------------------

void TCustomGrid::CalcAxis(TGridAxisDrawInfo& A, bool Horizontal) const {
    const TRect cr = GetClientRect();
    A.GridExtent = Horizontal ? cr.Width() : cr.Height();
    A.Extents = Horizontal ? &FColWidths : &FRowHeights;
    A.DefaultExtent = Horizontal ? FDefaultColWidth : FDefaultRowHeight;
    A.FixedCellCount = Horizontal ? FFixedCols : FFixedRows;
    A.FirstGridCell = Horizontal ? FTopLeft.X : FTopLeft.Y;
    A.GridCellCount = Horizontal ? FColCount : FRowCount;
    int b = 0;
    for (int i = 0; i < A.FixedCellCount; ++i) b += A.Step(i);
    A.FixedBoundary = b;
    A.GridBoundary = b;
    A.FullVisBoundary = b;
    A.LastFullVisibleCell = A.FirstGridCell - 1;
    for (int i = A.FirstGridCell; i < A.GridCellCount; ++i) {
        b += A.Step(i);
        if (b <= A.GridExtent + A.EffectiveLineWidth) {
            A.FullVisBoundary = std::min(b, A.GridExtent);
            A.LastFullVisibleCell = i;
        }
        if (b >= A.GridExtent) {
            A.GridBoundary = A.GridExtent;
            return;
        }
        A.GridBoundary = b;
    }
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& Info) const {
    const bool anyVert = FOptions.Contains(TGridOption::goVertLine) ||
                         FOptions.Contains(TGridOption::goFixedVertLine);
    const bool anyHorz = FOptions.Contains(TGridOption::goHorzLine) ||
                         FOptions.Contains(TGridOption::goFixedHorzLine);
    Info.Horz.EffectiveLineWidth = anyVert ? FGridLineWidth : 0;
    Info.Vert.EffectiveLineWidth = anyHorz ? FGridLineWidth : 0;
    CalcAxis(Info.Horz, true);
    CalcAxis(Info.Vert, false);
}

void TCustomGrid::CalcFixedInfo(TGridDrawInfo& Info) const {
    CalcDrawInfo(Info);
    // The fixed layout: as if nothing were scrolled.
    Info.Horz.FirstGridCell = FFixedCols;
    Info.Vert.FirstGridCell = FFixedRows;
}

TRect TCustomGrid::MirrorRect(const TRect& R) const {
    if (!UseRightToLeftAlignment() || R.IsEmpty()) return R;
    const int w = GetClientWidth();
    return TRect{w - R.Right, R.Top, w - R.Left, R.Bottom};
}

namespace {
// Start and end (exclusive, before the line) of a cell along one axis; false when it is not
// on screen.
bool AxisSpan(const TGridAxisDrawInfo& A, int Index, int& Start, int& End) {
    if (Index < 0 || Index >= A.GridCellCount) return false;
    int s = 0;
    if (Index < A.FixedCellCount) {
        for (int i = 0; i < Index; ++i) s += A.Step(i);
    } else {
        if (Index < A.FirstGridCell) return false;
        s = A.FixedBoundary;
        for (int i = A.FirstGridCell; i < Index && s < A.GridExtent; ++i) s += A.Step(i);
        if (s >= A.GridExtent) return false;
    }
    const int e = A.GetExtent(Index);
    if (e <= 0) return false;
    Start = s;
    End = s + e;
    return true;
}
}  // namespace

TRect TCustomGrid::BoxRect(int ALeft, int ATop, int ARight, int ABottom) const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    if (ARight < ALeft) std::swap(ALeft, ARight);
    if (ABottom < ATop) std::swap(ATop, ABottom);
    int l = 0, r = 0, t = 0, b = 0, s = 0, e = 0;
    bool any = false;
    for (int c = ALeft; c <= ARight; ++c)
        if (AxisSpan(info.Horz, c, s, e)) {
            l = any ? std::min(l, s) : s;
            r = any ? std::max(r, e) : e;
            any = true;
        }
    if (!any) return TRect{};
    any = false;
    for (int rr = ATop; rr <= ABottom; ++rr)
        if (AxisSpan(info.Vert, rr, s, e)) {
            t = any ? std::min(t, s) : s;
            b = any ? std::max(b, e) : e;
            any = true;
        }
    if (!any) return TRect{};
    return MirrorRect(TRect{l, t, r, b});
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
    return BoxRect(ACol, ARow, ACol, ARow);
}

namespace {
int AxisCoord(const TGridAxisDrawInfo& A, int N) {
    if (N < 0) return -1;
    if (N < A.FixedBoundary) {
        int s = 0;
        for (int i = 0; i < A.FixedCellCount; ++i) {
            s += A.Step(i);
            if (N < s) return i;
        }
        return -1;
    }
    if (N >= A.GridBoundary) return -1;
    int s = A.FixedBoundary;
    for (int i = A.FirstGridCell; i < A.GridCellCount; ++i) {
        s += A.Step(i);
        if (N < s) return i;
    }
    return -1;
}
}  // namespace

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    TGridCoord c{AxisCoord(info.Horz, MirrorX(X)), AxisCoord(info.Vert, Y)};
    if (c.X < 0 || c.Y < 0) return {-1, -1};
    return c;
}

int TCustomGrid::GetVisibleColCount() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return info.Horz.LastFullVisibleCell - FTopLeft.X + 1;
}

int TCustomGrid::GetVisibleRowCount() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    return info.Vert.LastFullVisibleCell - FTopLeft.Y + 1;
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
    const TRect r = BoxRect(ACol, ARow, ACol, ARow);
    if (r.IsEmpty() || !HandleAllocated()) return;
    TRect withLines{r.Left - FGridLineWidth, r.Top, r.Right + FGridLineWidth, r.Bottom + FGridLineWidth};
    InvalidateRect(&withLines);
}

void TCustomGrid::InvalidateRow(int ARow) {
    for (int c = 0; c < FColCount; ++c) InvalidateCell(c, ARow);
}

void TCustomGrid::InvalidateCol(int ACol) {
    for (int r = 0; r < FRowCount; ++r) InvalidateCell(ACol, r);
}

// --- current cell, selection and scrolling --------------------------------------------------

TGridRect TCustomGrid::GetSelection() const {
    TGridRect s{std::min(FCurrent.X, FAnchor.X), std::min(FCurrent.Y, FAnchor.Y),
                std::max(FCurrent.X, FAnchor.X), std::max(FCurrent.Y, FAnchor.Y)};
    if (FOptions.Contains(TGridOption::goRowSelect)) {
        s.Left = FFixedCols;
        s.Right = FColCount - 1;
    }
    return s;
}

void TCustomGrid::SetSelection(const TGridRect& v) {
    const TGridRect old = GetSelection();
    FAnchor = {v.Left, v.Top};
    FCurrent = {v.Right, v.Bottom};
    SelectionMoved(old);
}

void TCustomGrid::SelectionMoved(const TGridRect& Old) {
    if (!HandleAllocated()) return;
    const TGridRect n = GetSelection();
    auto inval = [&](const TGridRect& g) {
        TRect r = BoxRect(g.Left, g.Top, g.Right, g.Bottom);
        if (r.IsEmpty()) return;
        r.Left -= FGridLineWidth;
        r.Right += FGridLineWidth;
        r.Bottom += FGridLineWidth;
        InvalidateRect(&r);
    };
    if (!(Old == n)) {
        inval(Old);
        inval(n);
    }
}

void TCustomGrid::SetCol(int v) {
    if (v != FCurrent.X) FocusCell(v, FCurrent.Y, true);
}
void TCustomGrid::SetRow(int v) {
    if (v != FCurrent.Y) FocusCell(FCurrent.X, v, true);
}

bool TCustomGrid::SelectCell(int ACol, int ARow) {
    bool ok = true;
    if (FOnSelectCell) FOnSelectCell(this, ACol, ARow, ok);
    return ok;
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveColRow(ACol, ARow, MoveAnchor, true);
    InvalidateEditor();
    Click();
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        throw EInvalidArgument("Cell (" + std::to_string(ACol) + ", " + std::to_string(ARow) +
                               ") is outside the grid");
    if (!SelectCell(ACol, ARow)) return;
    const TGridRect old = GetSelection();
    const bool colChange = ACol != FCurrent.X;
    if (colChange) ColExit();
    FCurrent = {ACol, ARow};
    if (MoveAnchor || !FOptions.Contains(TGridOption::goRangeSelect)) {
        FAnchor = FCurrent;
        if (FOptions.Contains(TGridOption::goRowSelect)) FAnchor.X = FColCount - 1;
    }
    if (FOptions.Contains(TGridOption::goRowSelect)) FCurrent.X = FFixedCols;
    if (Show) ClampInView(FCurrent);
    SelectionMoved(old);
    // Fixed cells of the rows often mark the current one.
    if (old.Top != FCurrent.Y || old.Bottom != FCurrent.Y)
        for (int c = 0; c < FFixedCols; ++c) {
            InvalidateCell(c, old.Top);
            InvalidateCell(c, FCurrent.Y);
        }
    if (colChange) ColEnter();
}

void TCustomGrid::ClampInView(TGridCoord Coord) {
    if (!HandleAllocated() && GetClientWidth() <= 0) return;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    int left = FTopLeft.X, top = FTopLeft.Y;
    if (Coord.X >= FFixedCols && (Coord.X < left || Coord.X > info.Horz.LastFullVisibleCell)) {
        if (Coord.X < left) {
            left = Coord.X;
        } else {
            // Scroll so that Coord.X is the last fully visible column.
            int room = info.Horz.GridExtent - info.Horz.FixedBoundary;
            left = Coord.X;
            room -= info.Horz.Step(Coord.X);
            while (left > FFixedCols && room - info.Horz.Step(left - 1) >= 0) {
                --left;
                room -= info.Horz.Step(left);
            }
        }
    }
    if (Coord.Y >= FFixedRows && (Coord.Y < top || Coord.Y > info.Vert.LastFullVisibleCell)) {
        if (Coord.Y < top) {
            top = Coord.Y;
        } else {
            int room = info.Vert.GridExtent - info.Vert.FixedBoundary;
            top = Coord.Y;
            room -= info.Vert.Step(Coord.Y);
            while (top > FFixedRows && room - info.Vert.Step(top - 1) >= 0) {
                --top;
                room -= info.Vert.Step(top);
            }
        }
    }
    SetTopLeft(left, top);
}

void TCustomGrid::SetLeftCol(int v) {
    SetTopLeft(v, FTopLeft.Y);
}
void TCustomGrid::SetTopRow(int v) {
    SetTopLeft(FTopLeft.X, v);
}

void TCustomGrid::SetTopLeft(int ALeft, int ATop) {
    ALeft = std::clamp(ALeft, FFixedCols, std::max(FFixedCols, FColCount - 1));
    ATop = std::clamp(ATop, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
    const TGridCoord old = FTopLeft;
    FTopLeft = {ALeft, ATop};
    ScrollBy(old.X, old.Y);
    TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {
    UpdateScrollRange();
    if (FEditorMode && FInplaceEdit) {
        if (CellRect(FCurrent.X, FCurrent.Y).IsEmpty()) {
            // Scrolled away: the editor hides, the grid keeps the focus.
            const bool hadFocus = FInplaceEdit->Focused();
            FInplaceEdit->Hide();
            if (hadFocus && CanFocus()) SetFocus();
        } else {
            UpdateEdit();
        }
    }
    if (FOnTopLeftChanged) FOnTopLeftChanged(this);
}

// Moves the pixels of the scrollable part when the move is small; only what is uncovered is
// painted again.
void TCustomGrid::ScrollBy(int OldLeft, int OldTop) {
    if (!HandleAllocated() || !IsShowing()) {
        Invalidate();
        return;
    }
    TGridDrawInfo info;
    CalcDrawInfo(info);
    auto delta = [&](const TGridAxisDrawInfo& A, int oldFirst, int newFirst) {
        int d = 0;
        for (int i = std::min(oldFirst, newFirst); i < std::max(oldFirst, newFirst); ++i)
            d += A.Step(i);
        return oldFirst < newFirst ? -d : d;
    };
    const int dx = delta(info.Horz, OldLeft, FTopLeft.X);
    const int dy = delta(info.Vert, OldTop, FTopLeft.Y);
    const TRect cr = GetClientRect();
    if ((dx != 0 && dy != 0) || std::abs(dx) >= cr.Width() - info.Horz.FixedBoundary ||
        std::abs(dy) >= cr.Height() - info.Vert.FixedBoundary) {
        Invalidate();
        return;
    }
    if (dy != 0) {
        TRect area{0, info.Vert.FixedBoundary, cr.Width(), cr.Height()};
        ScrollWindowEx(0, dy, &area, &area, nullptr, true);
    } else if (dx != 0) {
        TRect area{info.Horz.FixedBoundary, 0, cr.Width(), cr.Height()};
        area = MirrorRect(area);
        ScrollWindowEx(UseRightToLeftAlignment() ? -dx : dx, 0, &area, &area, nullptr, true);
    }
}

void TCustomGrid::UpdateScrollRange() {
    if (!HandleAllocated()) return;
    const bool vert = FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth;
    const bool horz = FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth;
    // Hiding one bar gives the other axis room and showing one takes it, so decide until the
    // choice holds (it only moves one way per bar, two passes settle it).
    for (int pass = 0; pass < 3; ++pass) {
        bool changed = false;
        auto show = [&](int Bar, bool Wanted) {
            const unsigned bit = Bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
            if (((GetStyle() & bit) != 0) == Wanted) return;
            ShowScrollBar(Bar, Wanted);
            changed = true;
        };
        if (vert) show(SB_VERT, FTopLeft.Y > FFixedRows || MaxTopLeft(false) > FFixedRows);
        if (horz) show(SB_HORZ, FTopLeft.X > FFixedCols || MaxTopLeft(true) > FFixedCols);
        if (!changed) break;
    }
    TGridDrawInfo info;
    CalcDrawInfo(info);
    if (vert) {
        TScrollInfo si;
        si.fMask = SIF_ALL;
        si.nMin = FFixedRows;
        si.nMax = std::max(FFixedRows, FRowCount - 1);
        si.nPage = unsigned(std::max(1, info.Vert.LastFullVisibleCell - FTopLeft.Y + 1));
        si.nPos = FTopLeft.Y;
        FlatSB_SetScrollInfo(this, SB_VERT, si, true);
    }
    if (horz) {
        TScrollInfo si;
        si.fMask = SIF_ALL;
        si.nMin = FFixedCols;
        si.nMax = std::max(FFixedCols, FColCount - 1);
        si.nPage = unsigned(std::max(1, info.Horz.LastFullVisibleCell - FTopLeft.X + 1));
        si.nPos = FTopLeft.X;
        FlatSB_SetScrollInfo(this, SB_HORZ, si, true);
    }
}

int TCustomGrid::MaxTopLeft(bool Horizontal) const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const TGridAxisDrawInfo& A = Horizontal ? info.Horz : info.Vert;
    const int last = (Horizontal ? FColCount : FRowCount) - 1;
    const int fixed = Horizontal ? FFixedCols : FFixedRows;
    if (last < fixed) return fixed;
    int maxFirst = last, room = A.GridExtent - A.FixedBoundary - A.Step(last);
    while (maxFirst > fixed && room - A.Step(maxFirst - 1) >= 0) {
        --maxFirst;
        room -= A.Step(maxFirst);
    }
    return std::max(fixed, maxFirst);
}

void TCustomGrid::ModifyScrollBar(int Bar, unsigned ScrollCode, int Pos) {
    const bool horz = Bar == SB_HORZ;
    const int page = std::max(1, horz ? GetVisibleColCount() : GetVisibleRowCount());
    int first = horz ? FTopLeft.X : FTopLeft.Y;
    const int last = (horz ? FColCount : FRowCount) - 1;
    const int fixed = horz ? FFixedCols : FFixedRows;
    switch (ScrollCode) {
        case SB_LINEUP: --first; break;
        case SB_LINEDOWN: ++first; break;
        case SB_PAGEUP: first -= page; break;
        case SB_PAGEDOWN: first += page; break;
        case SB_THUMBTRACK:
            if (!FOptions.Contains(TGridOption::goThumbTracking)) return;
            first = Pos;
            break;
        case SB_THUMBPOSITION: first = Pos; break;
        case SB_TOP: first = fixed; break;
        case SB_BOTTOM: first = last; break;
        default: return;
    }
    // Never scroll past the point where the last cell is the last visible one.
    first = std::clamp(first, fixed, MaxTopLeft(horz));
    if (horz)
        SetTopLeft(first, FTopLeft.Y);
    else
        SetTopLeft(FTopLeft.X, first);
}

void TCustomGrid::TimedScroll(TGridScrollDirections Direction) {
    if (Direction.Contains(TGridScrollDirection::sdLeft)) ModifyScrollBar(SB_HORZ, SB_LINEUP, 0);
    if (Direction.Contains(TGridScrollDirection::sdRight)) ModifyScrollBar(SB_HORZ, SB_LINEDOWN, 0);
    if (Direction.Contains(TGridScrollDirection::sdUp)) ModifyScrollBar(SB_VERT, SB_LINEUP, 0);
    if (Direction.Contains(TGridScrollDirection::sdDown)) ModifyScrollBar(SB_VERT, SB_LINEDOWN, 0);
    // Selecting follows the scroll to the new edge.
    if (FGridState == TGridState::gsSelecting) {
        TGridCoord c = FCurrent;
        if (Direction.Contains(TGridScrollDirection::sdLeft)) c.X = FTopLeft.X;
        if (Direction.Contains(TGridScrollDirection::sdRight)) c.X = std::min(FColCount - 1, FTopLeft.X + GetVisibleColCount() - 1);
        if (Direction.Contains(TGridScrollDirection::sdUp)) c.Y = FTopLeft.Y;
        if (Direction.Contains(TGridScrollDirection::sdDown)) c.Y = std::min(FRowCount - 1, FTopLeft.Y + GetVisibleRowCount() - 1);
        if (!(c == FCurrent)) MoveColRow(c.X, c.Y, false, false);
    }
}

void TCustomGrid::StartTimer() {
    if (FTimerActive || !HandleAllocated()) return;
    SetTimer(GetHandle(), kScrollTimer, 60);
    FTimerActive = true;
}

void TCustomGrid::StopTimer() {
    if (!FTimerActive) return;
    if (HandleAllocated()) KillTimer(GetHandle(), kScrollTimer);
    FTimerActive = false;
}

// --- painting ----------------------------------------------------------------------------

void TCustomGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    (void)ACol;
    (void)ARow;
    (void)ARect;
    (void)AState;
}

void TCustomGrid::Paint() {
    TCanvas& C = Canvas();
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const TRect clip = C.ClipRect();
    const TGridRect sel = GetSelection();
    const bool focused = Focused() || (FInplaceEdit && FInplaceEdit->Focused());
    const bool rowSelect = FOptions.Contains(TGridOption::goRowSelect);
    const int lw = FGridLineWidth;

    auto paintRows = [&](int firstRow, int lastRow, int top) {
        int y = top;
        for (int r = firstRow; r <= lastRow && y < info.Vert.GridBoundary; ++r) {
            const int h = info.Vert.GetExtent(r);
            if (h < 0) continue;
            auto paintCols = [&](int firstCol, int lastCol, int left) {
                int x = left;
                for (int c = firstCol; c <= lastCol && x < info.Horz.GridBoundary; ++c) {
                    const int w = info.Horz.GetExtent(c);
                    if (w < 0) continue;
                    const TRect cell = MirrorRect(TRect{x, y, x + w, y + h});
                    x += w + info.Horz.EffectiveLineWidth;
                    if (w == 0 || h == 0 || !C.RectVisible(cell)) continue;
                    TGridDrawState st;
                    const bool fixed = c < FFixedCols || r < FFixedRows;
                    if (fixed) {
                        st += TGridDrawStateFlag::gdFixed;
                        if (FOptions.Contains(TGridOption::goFixedHotTrack) &&
                            FHotTrackCell == TGridCoord{c, r})
                            st += FHotTrackPressed ? TGridDrawStateFlag::gdPressed
                                                   : TGridDrawStateFlag::gdHotTrack;
                    } else {
                        if (c == FCurrent.X && r == FCurrent.Y && focused) st += TGridDrawStateFlag::gdFocused;
                        if (c >= sel.Left && c <= sel.Right && r >= sel.Top && r <= sel.Bottom)
                            st += TGridDrawStateFlag::gdSelected;
                        if (rowSelect && r == FCurrent.Y) st += TGridDrawStateFlag::gdRowSelected;
                    }
                    if (FDefaultDrawing) {
                        TColor bk = fixed ? FFixedColor : GetColor();
                        if (!fixed && st.Contains(TGridDrawStateFlag::gdSelected) &&
                            (!st.Contains(TGridDrawStateFlag::gdFocused) ||
                             FOptions.Contains(TGridOption::goDrawFocusSelected) || rowSelect))
                            bk = clHighlight;
                        C.Brush().SetColor(bk);
                        C.Font().Assign(&Font());
                        if (bk == clHighlight) C.Font().SetColor(clHighlightText);
                        C.FillRect(cell);
                    }
                    DrawCell(c, r, cell, st);
                    if (FDefaultDrawing && fixed && lw > 0) {
                        TRect e = cell;
                        DrawEdge(C, e, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
                        DrawEdge(C, e, BDR_RAISEDINNER, BF_TOPLEFT);
                    }
                    if (FDefaultDrawing && st.Contains(TGridDrawStateFlag::gdFocused) && !rowSelect &&
                        !(FEditorMode && FInplaceEdit && FInplaceEdit->GetVisible()))
                        C.DrawFocusRect(cell);
                }
            };
            paintCols(0, FFixedCols - 1, 0);
            paintCols(FTopLeft.X, FColCount - 1, info.Horz.FixedBoundary);
            y += h + info.Vert.EffectiveLineWidth;
        }
    };
    paintRows(0, FFixedRows - 1, 0);
    paintRows(FTopLeft.Y, FRowCount - 1, info.Vert.FixedBoundary);
    PaintLines(C, info);
    // Beyond the last cells.
    C.Brush().SetColor(GetColor());
    const TRect cr = GetClientRect();
    if (info.Horz.GridBoundary < cr.Width())
        C.FillRect(MirrorRect(TRect{info.Horz.GridBoundary, 0, cr.Width(), cr.Height()}));
    if (info.Vert.GridBoundary < cr.Height())
        C.FillRect(TRect{0, info.Vert.GridBoundary, cr.Width(), cr.Height()});
    (void)clip;
    if (FGridState == TGridState::gsColMoving || FGridState == TGridState::gsRowMoving) DrawMove();
}

void TCustomGrid::PaintLines(TCanvas& C, const TGridDrawInfo& info) {
    const int lw = FGridLineWidth;
    if (lw <= 0) return;
    const TColor fixedVert = GetLineColor(true, true), fixedHorz = GetLineColor(true, false);
    const TColor vertLine = GetLineColor(false, true), horzLine = GetLineColor(false, false);
    auto vLine = [&](int x, int top, int bottom, TColor col) {
        C.Brush().SetColor(col);
        C.FillRect(MirrorRect(TRect{x, top, x + lw, bottom}));
    };
    auto hLine = [&](int y, int left, int right, TColor col) {
        C.Brush().SetColor(col);
        C.FillRect(MirrorRect(TRect{left, y, right, y + lw}));
    };
    const bool fv = FOptions.Contains(TGridOption::goFixedVertLine);
    const bool fh = FOptions.Contains(TGridOption::goFixedHorzLine);
    const bool v = FOptions.Contains(TGridOption::goVertLine);
    const bool h = FOptions.Contains(TGridOption::goHorzLine);
    const int gb = info.Vert.GridBoundary, gr = info.Horz.GridBoundary;
    // Vertical lines.
    auto walkCols = [&](int first, int last, int x, bool isFixed) {
        for (int c = first; c <= last && x < gr; ++c) {
            const int w = info.Horz.GetExtent(c);
            if (w < 0) continue;
            x += w;
            if (fv) vLine(x, 0, info.Vert.FixedBoundary, fixedVert);
            if (isFixed ? fv : v) vLine(x, info.Vert.FixedBoundary, gb, isFixed ? fixedVert : vertLine);
            x += info.Horz.EffectiveLineWidth;
        }
    };
    if (info.Horz.EffectiveLineWidth > 0) {
        walkCols(0, FFixedCols - 1, 0, true);
        walkCols(FTopLeft.X, FColCount - 1, info.Horz.FixedBoundary, false);
    }
    auto walkRows = [&](int first, int last, int y, bool isFixed) {
        for (int r = first; r <= last && y < gb; ++r) {
            const int hh = info.Vert.GetExtent(r);
            if (hh < 0) continue;
            y += hh;
            if (fh) hLine(y, 0, info.Horz.FixedBoundary, fixedHorz);
            if (isFixed ? fh : h) hLine(y, info.Horz.FixedBoundary, gr, isFixed ? fixedHorz : horzLine);
            y += info.Vert.EffectiveLineWidth;
        }
    };
    if (info.Vert.EffectiveLineWidth > 0) {
        walkRows(0, FFixedRows - 1, 0, true);
        walkRows(FTopLeft.Y, FRowCount - 1, info.Vert.FixedBoundary, false);
    }
}

// The drop position of a column being moved: a thick line at the left of the target.
void TCustomGrid::DrawMove() {
    const TRect r = CellRect(FMovePos, 0);
    if (r.IsEmpty()) return;
    TCanvas& C = Canvas();
    C.Brush().SetColor(clHighlight);
    const bool rtl = UseRightToLeftAlignment();
    const int x = (FMovePos > FMoveIndex) != rtl ? r.Right : r.Left - 2;
    C.FillRect(TRect{x, 0, x + 2, GetClientHeight()});
}

}  // namespace vel
