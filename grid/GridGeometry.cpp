// TVelCustomDBGrid: row kinds and their heights, title cells and header bands, and the
// sizing setters with their bounds.
//
// Grid rows from the top: title rows (one per depth of the column tree), data rows (one per
// buffered record, at least one), the blank row and the total rows. Every data row has the
// default row height; title, header, total and blank heights are measured here from the
// fonts and the grid style's spacings.
#include <algorithm>
#include <vector>

#include "grid/DBGrid.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/DataSet.h"
#include "platform/graphics/Canvas.h"

namespace vel {

namespace {
// A group title is drawn: the column is expanded, visible and so is every ancestor.
bool IsGroupShown(const TVelColumn* Column) {
    if (!Column->GetExpanded() || !Column->GetVisible()) return false;
    for (TVelColumn* p = Column->GetParentColumn(); p; p = p->GetParentColumn())
        if (!p->GetExpanded()) return false;
    return true;
}

bool IsDescendant(const TVelColumn* Column, const TVelColumn* Ancestor) {
    for (TVelColumn* p = Column->GetParentColumn(); p; p = p->GetParentColumn())
        if (p == Ancestor) return true;
    return false;
}
}  // namespace

// ---- Lines and rows.

int TVelCustomDBGrid::GetRowLineWidth() const {
    return FOptions.Contains(TVelDBGridOption::dgRowLines) ? GetGridLineWidth() : 0;
}

int TVelCustomDBGrid::GetColLineWidth() const {
    return FOptions.Contains(TVelDBGridOption::dgColLines) ? GetGridLineWidth() : 0;
}

int TVelCustomDBGrid::GetRowHeight() const {
    return GetDefaultRowHeight() + GetRowLineWidth();
}

int TVelCustomDBGrid::GetTotalRowCount() const {
    return FTotalOffset - (FOptionsEx.Contains(TVelDBGridOptionEx::dgBlankRow) ? 1 : 0);
}

int TVelCustomDBGrid::GetTotalFieldsRowCount() const {
    return GetTotalRowCount() - FTotalHeader - FTotalValues - FTotalFooter;
}

int TVelCustomDBGrid::GetDataRowCount() const {
    return FDataLink->GetActive() ? FDataLink->GetRecordCount() : 0;
}

int TVelCustomDBGrid::GetTitleHeight() const {
    int h = 0;
    for (int r = 0; r < FTitleOffset && r < GetRowCount(); ++r)
        h += GetRowHeights(r) + GetRowLineWidth();
    return h;
}

int TVelCustomDBGrid::GetTotalHeight() const {
    // Every total row has the same height, so this holds while the record window still has
    // stand-in rows where the bottom block will be.
    int h = GetTotalRowCount() * (GetTotalRowHeight() + GetRowLineWidth());
    if (FTotalOffset > 1 && GetAlignTotalsToBorder()) h -= 1;
    return h;
}

int TVelCustomDBGrid::GetDataRowsHeight() const {
    return std::max(1, GetDataRowCount()) * GetRowHeight();
}

int TVelCustomDBGrid::GetDataHeight() const {
    return GetClientHeight() - GetTitleHeight() - GetTotalHeight();
}

int TVelCustomDBGrid::GetBlankHeight() const {
    int h = GetClientHeight() - GetTitleHeight() - GetTotalHeight() - GetDataRowsHeight();
    if (FTotalOffset == 1 && FOptionsEx.Contains(TVelDBGridOptionEx::dgBlankRow) &&
        GetAlignTotalsToBorder())
        h += 1;
    return h;
}

namespace {
bool SingleBorder3D(TBorderStyle Style, bool Ctl3D) {
    return Style == TBorderStyle::bsSingle && Ctl3D;
}
}  // namespace

bool TVelCustomDBGrid::GetAlignTotalsToBorder() const {
    return FTotalOffset > 0 && ScrollBarRect(SB_HORZ).IsEmpty() && !IsGridThemed() &&
           !SingleBorder3D(FBorderStyle, GetCtl3D());
}

bool TVelCustomDBGrid::GetAlignStretchToBorder() const {
    return FStretchActive && ScrollBarRect(SB_VERT).IsEmpty() && !IsGridThemed() &&
           !SingleBorder3D(FBorderStyle, GetCtl3D());
}

bool TVelCustomDBGrid::IsGridThemed(bool Force) const {
    const TSystemProfile& p = SystemProfile();
    if (p.CustomStyleActive) return true;
    if (!p.ThemesEnabled) return false;
    return FFixedTheme != TFixedTheme::ftNone || Force;
}

// ---- Measuring.

int TVelCustomDBGrid::TextHeightOf(const TFont* Font) {
    TCanvas& canvas = Canvas();
    TFont saved;
    saved.Assign(&canvas.Font());
    canvas.Font().Assign(Font);
    const int h = canvas.TextHeight("Wg");
    canvas.Font().Assign(&saved);
    return h;
}

int TVelCustomDBGrid::TotalTextHeight(TVelColumn* Column) {
    (void)Column;
    using enum TVelDBGridOptionEx;
    const bool shown = !(FOptionsEx * TVelDBGridOptionsEx{dgTotalHeader, dgTotalValues,
                                                          dgTotalFields, dgTotalFooter})
                            .Empty();
    return shown ? TextHeightOf(FTotals->GetFont()) : 0;
}

int TVelCustomDBGrid::GetTotalRowHeight() const {
    return FRowCalculated ? FTotalRowHeight : GetDefaultRowHeight();
}

int TVelCustomDBGrid::GetBlankRowHeight() const {
    return FRowCalculated ? GetBlankHeight() : 0;
}

void TVelCustomDBGrid::CalcRowHeights() {
    using enum TVelDBGridOption;
    const int rowLine = GetRowLineWidth();
    FLineHeight = TextHeightOf(&Font());
    const int rowHeight = FLinesCount * FLineHeight + FGridStyle->GetDataRowSpace() + rowLine;
    if (rowHeight != GetDefaultRowHeight()) SetDefaultRowHeight(std::max(0, rowHeight));
    // The height the user's row sizing is compared with.
    if (FLastRowHeight == 0) FLastRowHeight = GetDefaultRowHeight();

    FHeaderRowHeight = 0;
    FHeaderRowCount = 0;
    if (FOptions.Contains(dgTitles)) {
        if (FOptions.Contains(dgTitleHeaders)) {
            FHeaderRowHeight = FHeaderLinesCount * TextHeightOf(FHeaderFont) +
                               FGridStyle->GetHeaderRowSpace() + rowLine;
            for (TVelColumn* c : FVisibleColumns)
                FHeaderRowCount = std::max(FHeaderRowCount, c->GetTitle()->HeaderRowCount());
        }
        auto need = [&](TVelColumn* c) {
            return FTitleLinesCount * TextHeightOf(c->GetTitle()->GetFont()) +
                   FGridStyle->GetTitleRowSpace() +
                   c->GetTitle()->HeaderRowCount() * FHeaderRowHeight;
        };
        const int last = FTitleOffset - 1;
        std::vector<int> h(std::size_t(FTitleOffset), 0);
        // Group titles fill the row of their depth.
        for (int i = 0; i < FColumns->Count(); ++i) {
            TVelColumn* c = FColumns->GetColumn(i);
            const int d = c->GetDepth();
            if (d < FTitleOffset && IsGroupShown(c)) h[std::size_t(d)] = std::max(h[std::size_t(d)], need(c));
        }
        // A leaf title spans from its depth down to the last title row; what the rows above
        // the last do not give it, the last row must.
        for (TVelColumn* c : FVisibleColumns) {
            int rest = need(c);
            for (int r = c->GetDepth(); r < last; ++r) rest -= h[std::size_t(r)];
            h[std::size_t(last)] = std::max(h[std::size_t(last)], rest);
        }
        if (h[0] == 0)
            h[0] = FTitleLinesCount * TextHeightOf(FTitleFont) + FGridStyle->GetTitleRowSpace();
        for (int r = 0; r < FTitleOffset && r < GetRowCount(); ++r)
            SetRowHeights(r, h[std::size_t(r)]);
    }

    FTotalRowHeight = 0;
    const bool blank = FOptionsEx.Contains(TVelDBGridOptionEx::dgBlankRow);
    if (FTotalOffset > (blank ? 1 : 0)) {
        const int lines = FTotals->GetLinesCount();
        const int space = FGridStyle->GetTotalRowSpace();
        for (TVelColumn* c : FVisibleColumns)
            FTotalRowHeight = std::max(FTotalRowHeight, lines * TotalTextHeight(c) + space);
        if (FTotalRowHeight == 0) FTotalRowHeight = lines * TextHeightOf(FTotals->GetFont()) + space;
    }
    FRowCalculated = true;
}

// ---- Title cells.

TVelColumn* TVelCustomDBGrid::ColumnAtDepth(TVelColumn* Column, int ADepth) {
    if (!Column) return nullptr;
    int depth = Column->GetDepth();
    TVelColumn* c = Column;
    while (c && depth > ADepth) {
        c = c->GetParentColumn();
        --depth;
    }
    return c;
}

int TVelCustomDBGrid::RawColumnOf(const TVelColumn* Column) const {
    if (!Column) return -1;
    for (std::size_t i = 0; i < FVisibleColumns.size(); ++i) {
        const TVelColumn* c = FVisibleColumns[i];
        if (c == Column || IsDescendant(c, Column)) return DataToRawColumn(int(i));
    }
    return -1;
}

int TVelCustomDBGrid::GetExpandWidth(TVelColumn* Column) const {
    const int line = GetColLineWidth();
    int w = 0;
    for (TVelColumn* c : FVisibleColumns)
        if (c == Column || IsDescendant(c, Column)) w += c->GetWidth() + line;
    return w;
}

TRect TVelCustomDBGrid::CalcTitleRect(TVelColumn* Column, int ARow, TVelColumn*& MasterCol) const {
    MasterCol = ColumnAtDepth(Column, ARow);
    if (!MasterCol) return TRect{};
    const int fixed = TCustomGrid::GetFixedCols();
    int raw = RawColumnOf(MasterCol);
    if (raw < 0) return TRect{};
    int row = MasterCol->GetDepth();
    if (raw >= fixed && raw < GetLeftCol()) {
        // The group starts off screen: its title starts at the first column shown.
        raw = GetLeftCol();
        row = std::min(Column->GetDepth(), ARow);
    }
    TRect r = CellRect(raw, row);
    const bool rtl = UseRightToLeftAlignment();
    const int from = RawColumnOf(Column);
    for (int i = from < 0 ? int(FVisibleColumns.size()) : RawToDataColumn(from);
         i < int(FVisibleColumns.size()); ++i) {
        if (ColumnAtDepth(FVisibleColumns[std::size_t(i)], ARow) != MasterCol) break;
        const TRect cell = CellRect(DataToRawColumn(i), ARow);
        if (cell.IsEmpty()) break;
        if (rtl)
            r.Left = cell.Left;
        else
            r.Right = std::max(r.Right, cell.Right);
    }
    const int depth = Column->GetDepth();
    if (!MasterCol->GetExpanded() && depth <= ARow && depth < FTitleOffset - 1) {
        TGridDrawInfo info;
        CalcFixedInfo(info);
        r.Bottom = info.Vert.FixedBoundary - info.Vert.EffectiveLineWidth;
    }
    return r;
}

TRect TVelCustomDBGrid::FullTitleRect(TVelColumn* Column, int ARow, TVelColumn*& MasterCol) const {
    TRect r = CalcTitleRect(Column, ARow, MasterCol);
    if (!MasterCol) return r;
    const bool rtl = UseRightToLeftAlignment();
    const int line = GetColLineWidth();
    if (MasterCol->GetExpanded()) {
        const int width = GetExpandWidth(MasterCol) - line;
        const int fixed = TCustomGrid::GetFixedCols();
        int hidden = 0;
        if (RawColumnOf(MasterCol) >= fixed)
            for (std::size_t i = 0; i < FVisibleColumns.size(); ++i) {
                const int raw = DataToRawColumn(int(i));
                if (raw >= fixed && raw < GetLeftCol() && IsDescendant(FVisibleColumns[i], MasterCol))
                    hidden += FVisibleColumns[i]->GetWidth() + line;
            }
        if (rtl) {
            r.Right += hidden;
            r.Left = r.Right - width;
        } else {
            r.Left -= hidden;
            r.Right = r.Left + width;
        }
    } else {
        const int width = MasterCol->GetWidth();
        if (rtl)
            r.Left = std::min(r.Left, r.Right - width);
        else
            r.Right = std::max(r.Right, r.Left + width);
    }
    if (ARow >= 0 && ARow < GetRowCount()) r.Bottom = std::max(r.Bottom, r.Top + GetRowHeights(ARow));
    return r;
}

int TVelCustomDBGrid::HeaderRow(int Y, TVelColumn* Column) const {
    if (!Column || FTitleOffset == 0 || !FOptions.Contains(TVelDBGridOption::dgTitleHeaders) ||
        FHeaderRowHeight <= 0)
        return -1;
    TVelColumn* master;
    const TRect cell = CalcTitleRect(Column, Column->GetDepth(), master);
    if (!master || Y < cell.Top) return -1;
    const int bands = Column->GetTitle()->HeaderRowCount();
    if (Y >= cell.Top + bands * FHeaderRowHeight) return -1;
    return (Y - cell.Top) / FHeaderRowHeight;
}

TRect TVelCustomDBGrid::HeaderRect(TVelColumn* Column, int Index, const TRect& ACellRect,
                                   TRect& FullRect) const {
    TRect r = ACellRect;
    r.Top = ACellRect.Top + Index * FHeaderRowHeight;
    r.Bottom = r.Top + FHeaderRowHeight;
    FullRect = r;
    if (!Column) return r;
    const int fixed = TCustomGrid::GetFixedCols();
    const bool frozen = RawColumnOf(Column) < fixed;
    auto sameSide = [&](TVelColumn* n) { return (RawColumnOf(n) < fixed) == frozen; };
    int before = 0, after = 0;
    for (TVelColumn* n = Column->GetTitle()->HeaderLeft(Index); n && sameSide(n);
         n = n->GetTitle()->HeaderLeft(Index))
        before += GetExpandWidth(n);
    for (TVelColumn* n = Column->GetTitle()->HeaderRight(Index); n && sameSide(n);
         n = n->GetTitle()->HeaderRight(Index))
        after += GetExpandWidth(n);
    if (UseRightToLeftAlignment()) {
        FullRect.Right += before;
        FullRect.Left -= after;
    } else {
        FullRect.Left -= before;
        FullRect.Right += after;
    }
    return r;
}

// ---- Sizing setters. Out-of-range values are brought into range, as a designer would
// expect of a count; values below -1 for a bound are ignored.

void TVelCustomDBGrid::SetLinesCount(int Value) {
    if (Value < 0) return;
    if (Value == 0) Value = 1;
    if (Value < FLinesCountMin) Value = FLinesCountMin;
    if (FLinesCountMax != -1 && Value > FLinesCountMax) Value = FLinesCountMax;
    if (Value == FLinesCount) return;
    FLinesCount = Value;
    LayoutChanged();
    InvalidateGridEditor();
}

void TVelCustomDBGrid::SetLinesCountMax(int Value) {
    if (Value < -1) return;
    if (Value != -1 && Value < FLinesCountMin) Value = FLinesCountMin;
    if (Value == FLinesCountMax) return;
    FLinesCountMax = Value;
    if (Value != -1 && FLinesCount > Value) SetLinesCount(Value);
}

void TVelCustomDBGrid::SetLinesCountMin(int Value) {
    if (Value < 0) return;
    if (Value == 0) Value = 1;
    if (FLinesCountMax != -1 && Value > FLinesCountMax) Value = FLinesCountMax;
    if (Value == FLinesCountMin) return;
    FLinesCountMin = Value;
    if (FLinesCount < Value) SetLinesCount(Value);
}

void TVelCustomDBGrid::SetTitleLinesCount(int Value) {
    Value = std::max(1, Value);
    if (Value == FTitleLinesCount) return;
    FTitleLinesCount = Value;
    if (FOptions.Contains(TVelDBGridOption::dgTitles)) LayoutChanged();
}

void TVelCustomDBGrid::SetHeaderLinesCount(int Value) {
    Value = std::max(1, Value);
    if (Value == FHeaderLinesCount) return;
    FHeaderLinesCount = Value;
    using enum TVelDBGridOption;
    if (FOptions.Contains(dgTitles) && FOptions.Contains(dgTitleHeaders)) LayoutChanged();
}

void TVelCustomDBGrid::SetIndicatorWidth(int Value) {
    // The indicator glyphs need 11 pixels.
    Value = std::max(11, Value);
    if (Value == FIndicatorWidth) return;
    FIndicatorWidth = Value;
    Synchronize();
    if (FOptions.Contains(TVelDBGridOption::dgIndicator)) LayoutChanged();
}

void TVelCustomDBGrid::SetFixedCols(int Value) {
    Value = std::max(0, Value);
    if (Value == FFixedCols) return;
    FFixedCols = Value;
    LayoutChanged();
    InvalidateGridEditor();
    Synchronize();
}

void TVelCustomDBGrid::SetDefaultWidthMax(int Value) {
    if (Value < -1) return;
    if (Value != -1 && Value < FDefaultWidthMin) Value = FDefaultWidthMin;
    if (Value == FDefaultWidthMax) return;
    FDefaultWidthMax = Value;
    if (FColumns->GetState() == TDBGridColumnsState::csDefault) LayoutChanged();
}

void TVelCustomDBGrid::SetDefaultWidthMin(int Value) {
    if (Value < -1) return;
    if (Value != -1 && FDefaultWidthMax != -1 && Value > FDefaultWidthMax) Value = FDefaultWidthMax;
    if (Value == FDefaultWidthMin) return;
    FDefaultWidthMin = Value;
    if (FColumns->GetState() == TDBGridColumnsState::csDefault) LayoutChanged();
}

}  // namespace vel
