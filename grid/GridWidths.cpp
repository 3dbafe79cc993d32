// TVelCustomDBGrid: column widths. Optimal and designed widths, stretching the columns over
// the client width, scaling, and the user's sizing of rows and columns.
//
// While stretching is active each column keeps its unstretched width (FBaseWidth) and shows
// the share TVelStretchLayout gives it; leaving stretching puts the base widths back.
#include <algorithm>
#include <cmath>

#include "grid/DBGrid.h"
#include "grid/GridStretch.h"
#include "grid/GridTextWriter.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/DataSet.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

namespace {
int MulDiv(int Value, int M, int D) {
    return int(std::llround(double(Value) * M / D));
}
}  // namespace

int TVelCustomDBGrid::GetColsWidth(int Count) const {
    const int line = GetColLineWidth();
    int w = FOptions.Contains(TVelDBGridOption::dgIndicator) ? FIndicatorWidth + line : 0;
    const int n = std::clamp(Count, 0, int(FVisibleColumns.size()));
    for (int i = 0; i < n; ++i) w += FVisibleColumns[std::size_t(i)]->GetWidth() + line;
    return w;
}

int TVelCustomDBGrid::GetOptimalWidth(TVelColumn* Column) {
    if (!Column) return 0;
    TCanvas& canvas = Canvas();
    TFont saved;
    saved.Assign(&canvas.Font());
    TScopeExit restoreFont([&] { canvas.Font().Assign(&saved); });
    int w = 0;
    if (FOptions.Contains(TVelDBGridOption::dgTitles)) {
        canvas.Font().Assign(Column->GetTitle()->GetFont());
        const std::string caption = Column->GetTitle()->GetCaption();
        const int t = WidestLineWidth(canvas, caption);
        w = t + 4 + 2 * FGridStyle->GetTitleColMargin();
    }
    canvas.Font().Assign(Column->GetFont());
    if (FDataLink->GetActive()) {
        // The rows on screen: each buffered record in turn becomes the active one.
        const int active = FDataLink->GetActiveRecord();
        TScopeExit back([&] { FDataLink->SetActiveRecord(active); });
        for (int r = 0; r < FDataLink->GetRecordCount(); ++r) {
            FDataLink->SetActiveRecord(r);
            w = std::max(w, canvas.TextWidth(Column->GetDisplayText()) + 4);
        }
    }
    return std::max(w, 1);
}

void TVelCustomDBGrid::AdjustColumnsWidth(bool OptimalWidth, bool ButtonPlace) {
    BeginLayout();
    TScopeExit end([&] { EndLayout(); });
    const int extra = ButtonPlace ? GetSystemMetrics(SM_CXVSCROLL) + 1 : 0;
    for (int i = 0; i < FColumns->Count(); ++i) {
        TVelColumn* c = FColumns->GetColumn(i);
        c->SetWidth((OptimalWidth ? GetOptimalWidth(c) : c->GetDesignedWidth()) + extra);
    }
}

// ---- Stretching.

void TVelCustomDBGrid::SetStretchMode(bool Value) {
    // A linked grid takes its widths from its master.
    if (FMasterGrid && Value) return;
    if (Value == FStretchMode) return;
    FStretchMode = Value;
    const int first = TCustomGrid::GetFixedCols();
    if (Value && FScrollProp->GetAutoStretch() && GetLeftCol() > first) SetLeftCol(first);
    if (!Value) UpdateFlatScrollBar();
    StretchColumns();
    InvalidateGridEditor();
    if (!IsLoading()) UpdateRowCount();
}

void TVelCustomDBGrid::SetStretchWidthMin(int Value) {
    if (Value < -1) return;
    if (Value != -1 && FStretchWidthMax != -1 && Value > FStretchWidthMax) Value = FStretchWidthMax;
    if (Value == FStretchWidthMin) return;
    FStretchWidthMin = Value;
    StretchColumns();
    if (FStretchActive) LayoutChanged();
}

void TVelCustomDBGrid::SetStretchWidthMax(int Value) {
    if (Value < -1) return;
    if (Value != -1 && FStretchWidthMin != -1 && Value < FStretchWidthMin) Value = FStretchWidthMin;
    if (Value == FStretchWidthMax) return;
    FStretchWidthMax = Value;
    StretchColumns();
    if (FStretchActive) LayoutChanged();
}

void TVelCustomDBGrid::StretchColumns() {
    ++FWork.Stretches;
    if (IsLoading() || IsDestroying() || !FColumns) return;
    const bool wasActive = FStretchActive;
    SetStretchActive();
    if (wasActive && FStretchActive) StretchGrid();
}

void TVelCustomDBGrid::SetStretchActive() {
    const bool active = FStretchMode && !FMasterGrid && FDataLink->GetActive();
    if (active == FStretchActive) return;
    FStretchActive = active;
    if (active) {
        for (int i = 0; i < FColumns->Count(); ++i) {
            TVelColumn* c = FColumns->GetColumn(i);
            c->FBaseWidth = c->TrueWidth();
        }
        StretchGrid();
    } else {
        ReleaseStretch();
    }
}

void TVelCustomDBGrid::ReleaseStretch() {
    TRestore<bool> guard(FStretching, true);
    for (int i = 0; i < FColumns->Count(); ++i) {
        TVelColumn* c = FColumns->GetColumn(i);
        if (!c->IsAssigned(TVelColumnValue::cvWidth)) continue;
        AssignStretchWidth(c, RawColumnOf(c), c->FBaseWidth);
    }
}

void TVelCustomDBGrid::AssignStretchWidth(TVelColumn* Column, int Raw, int Width) {
    if (!Column->IsAssigned(TVelColumnValue::cvWidth) || Column->FWidth != Width) {
        Column->FWidth = Width;
        Column->Assigned(TVelColumnValue::cvWidth);
    }
    if (Raw >= FIndicatorOffset && Raw < GetColCount() && FVisibleColumns.size() > std::size_t(Raw - FIndicatorOffset) &&
        FVisibleColumns[std::size_t(Raw - FIndicatorOffset)] == Column && GetColWidths(Raw) != Width)
        TCustomGrid::SetColWidths(Raw, Width);
}

void TVelCustomDBGrid::StretchGrid() {
    if (!FStretchActive || FStretching) return;
    TRestore<bool> guard(FStretching, true);
    const int line = GetColLineWidth();
    int space = GetClientWidth() - FIndicatorOffset * (FIndicatorWidth + line) +
                (GetAlignStretchToBorder() ? 1 : 0);
    std::vector<TStretchItem> items;
    items.reserve(FVisibleColumns.size());
    for (TVelColumn* c : FVisibleColumns) {
        space -= line;
        items.push_back({c->FBaseWidth, c->GetWidthMin(), c->GetWidthMax()});
    }
    TVelStretchLayout layout(FStretchWidthMin, FStretchWidthMax);
    layout.Stretch(items, space);
    FGridWidth = layout.GetGridWidth();
    FColsWidth = layout.GetColsWidth();
    for (std::size_t i = 0; i < FVisibleColumns.size(); ++i)
        AssignStretchWidth(FVisibleColumns[i], DataToRawColumn(int(i)), items[i].Width);
    const int first = TCustomGrid::GetFixedCols();
    if (GetLeftCol() > first && GetColumnsWidth() <= GetClientWidth()) SetLeftCol(first);
}

// ---- Scaling.

void TVelCustomDBGrid::ChangeScale(int M, int D) {
    TCustomGrid::ChangeScale(M, D);
    if (!(GetParentFont() && FOptionsExt.Contains(TVelDBGridOptionExt::dgScaleByParentFont)))
        ScaleColumnsBy(M, D, false);
}

void TVelCustomDBGrid::ScaleColumnsBy(int M, int D, bool ScaleFont) {
    if (M == D || D == 0) return;
    BeginLayout();
    TScopeExit end([&] { EndLayout(); });
    auto scale = [&](int v) { return MulDiv(v, M, D); };
    auto bound = [&](int& v) {
        if (v != -1) v = scale(v);
    };
    auto font = [&](TFont* f) { f->SetHeight(scale(f->GetHeight())); };
    TCustomGrid::SetGridLineWidth(scale(GetGridLineWidth()));
    ApplyBaseOptions();
    FIndicatorWidth = std::max(11, scale(FIndicatorWidth));
    bound(FDefaultWidthMax);
    bound(FDefaultWidthMin);
    bound(FStretchWidthMax);
    bound(FStretchWidthMin);
    if (ScaleFont || !GetParentFont()) {
        font(FTitleFont);
        font(FHeaderFont);
        font(FTotals->GetFont());
    }
    if (ScaleFont) font(&Font());
    for (int i = 0; i < FColumns->Count(); ++i) {
        TVelColumn* c = FColumns->GetColumn(i);
        bound(c->FWidthMin);
        bound(c->FWidthMax);
        bound(c->FDesignedWidth);
        c->FBaseWidth = scale(c->FBaseWidth);
        if (c->IsAssigned(TVelColumnValue::cvWidth)) c->FWidth = scale(c->FWidth);
        if (c->IsAssigned(TVelColumnValue::cvFont)) font(c->GetFont());
        if (c->IsAssigned(TVelColumnValue::cvTitleFont)) font(c->GetTitle()->GetFont());
    }
    if (FStretchActive) StretchGrid();
}

// ---- The user sizes rows and columns.

void TVelCustomDBGrid::ColWidthsChanged() {
    const bool takeWidths =
        !FStretching && FColumns &&
        (FDataLink->GetActive() || FColumns->GetState() == TDBGridColumnsState::csCustomized);
    // The grid setting a column's own width in its grid column is no resize.
    bool differs = false;
    for (int raw = FIndicatorOffset; takeWidths && !differs && raw < GetColCount(); ++raw) {
        const std::size_t i = std::size_t(raw - FIndicatorOffset);
        differs = i < FVisibleColumns.size() && FVisibleColumns[i]->GetWidth() != GetColWidths(raw);
    }
    bool took = false;
    if (differs && AcquireLayoutLock()) {
        took = true;
        TScopeExit end([&] { EndLayout(); });
        for (int raw = FIndicatorOffset; raw < GetColCount(); ++raw) {
            const std::size_t i = std::size_t(raw - FIndicatorOffset);
            if (i < FVisibleColumns.size()) FVisibleColumns[i]->SetWidth(GetColWidths(raw));
        }
    }
    TCustomGrid::ColWidthsChanged();
    if (!took) return;
    UpdateFlatScrollBar();
    InvalidateGridEditor();
    if (FOnColumnResize) FOnColumnResize(this);
    FLastResizedCol = -1;
}

void TVelCustomDBGrid::RowHeightsChanged() {
    TCustomGrid::RowHeightsChanged();
    // The record window and the layout set heights themselves.
    if (FInvalidateLock > 0 || FStretching || !FRowCalculated || FLineHeight <= 0) return;
    if (!AcquireLayoutLock()) return;
    {
        TScopeExit end([&] { EndLayout(); });
        const int rowLine = GetRowLineWidth();
        for (int r = FTitleOffset; r < GetRowCount() - FTotalOffset; ++r) {
            const int h = GetRowHeights(r);
            if (h == GetDefaultRowHeight()) continue;
            // Every data row snaps to whole text lines.
            SetLinesCount(std::max(0, h - rowLine - FLineHeight / 2 - 3) / FLineHeight + 1);
            break;
        }
    }
    if (std::abs(GetDefaultRowHeight() - FLastRowHeight) > GetGridLineWidth()) {
        FLastRowHeight = GetDefaultRowHeight();
        if (FOnRowResize) FOnRowResize(this);
    }
}

void TVelCustomDBGrid::ClientResized() {
    if (FClientResizing || IsLoading() || IsDestroying() || !FColumns) return;
    TRestore<bool> guard(FClientResizing, true);
    if (FStretchActive) StretchGrid();
    if (FRowCalculated) UpdateRowCount();
    UpdateScrollBar();
}

}  // namespace vel
