// Painting of the grid's cells: the colour rules, the look queries and the data cells.
// Title, header, total, indicator and filler cells get only their background here.
#include <algorithm>

#include "grid/DBGrid.h"
#include "grid/GridTextWriter.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Canvas.h"

namespace vel {

namespace {

using O = TVelDBGridOption;

}  // namespace

TColor TVelCustomDBGrid::GetTrueColor(TColor Color, TColor Default, TColor Current) {
    if (Color == clDefault) return Default;
    if (Color != clNone) return Color;
    return Current == clDefault ? Default : Current;
}

// The newer generations' colours apply where the system's themes paint the grid.
TVelCustomDBGrid::TColorGeneration TVelCustomDBGrid::ColorGeneration() const {
    const TSystemProfile& p = SystemProfile();
    if (!IsGridThemed() || !p.CheckWin32Version(6)) return TColorGeneration::Classic;
    return FGradient->GetActive() ? TColorGeneration::VistaGradient : TColorGeneration::Vista;
}

TColor TVelCustomDBGrid::DefaultSelectCellColor() const {
    switch (ColorGeneration()) {
    case TColorGeneration::VistaGradient: return RGB(0, 104, 232);
    case TColorGeneration::Vista: return RGB(19, 125, 255);
    default: return clHighlight;
    }
}

TColor TVelCustomDBGrid::DefaultSelectRowColor() const {
    switch (ColorGeneration()) {
    case TColorGeneration::VistaGradient: return RGB(120, 158, 228);
    case TColorGeneration::Vista: return RGB(157, 185, 235);
    default: return clGradientInactiveCaption;
    }
}

TColor TVelCustomDBGrid::DefaultSelectionColor() const {
    switch (ColorGeneration()) {
    case TColorGeneration::VistaGradient: return RGB(19, 125, 255);
    case TColorGeneration::Vista: return RGB(61, 149, 255);
    default: return clGradientActiveCaption;
    }
}

TColor TVelCustomDBGrid::DefaultDataLineColor() const {
    return ColorToRGB(GetColor()) == ColorToRGB(clSilver) ? clGray : clSilver;
}

bool TVelCustomDBGrid::IsCustomStyle(TStyleElements Elements) const {
    return SystemProfile().CustomStyleActive && (GetStyleElements() * Elements) == Elements;
}

bool TVelCustomDBGrid::IsSystemTheme() const {
    const TSystemProfile& p = SystemProfile();
    return IsGridThemed() && FFixedTheme == TFixedTheme::ftDefault &&
           (p.CheckWin32Version(6, 2) ||
            (p.CheckWin32Version(6) && FOptionsExt.Contains(TVelDBGridOptionExt::dgForceSystemTheme)));
}

bool TVelCustomDBGrid::IsThemeTransparent() const {
    const TSystemProfile& p = SystemProfile();
    return FFixedTheme == TFixedTheme::ftDefault && p.CheckWin32Version(6) &&
           !p.CheckWin32Version(6, 2) && !FOptionsExt.Contains(TVelDBGridOptionExt::dgForceSystemTheme);
}

TFocusRect TVelCustomDBGrid::FocusRectStyle() const {
    return FFocusRect == TFocusRect::frAuto ? TFocusRect::frDefault : FFocusRect;
}

THotButtons TVelCustomDBGrid::HotButtonsStyle() const {
    if (FHotButtons != THotButtons::hbAuto) return FHotButtons;
    static constexpr THotButtons byStyle[] = {THotButtons::hbBump,    THotButtons::hbBump,
                                              THotButtons::hbRaised,  THotButtons::hbRaised,
                                              THotButtons::hbLowered, THotButtons::hbLowered,
                                              THotButtons::hbTile,    THotButtons::hbTile};
    return byStyle[static_cast<int>(FFixedStyle)];
}

TColor TVelCustomDBGrid::GetFixedLineColor() const {
    if (IsSystemTheme()) return clBtnFace;
    if (IsGridThemed()) return DefaultDataLineColor();
    static constexpr TColor byStyle[] = {clBlack, cl3DDkShadow, clBlack,     clBlack,
                                         cl3DDkShadow, cl3DDkShadow, clBtnShadow, clBtnShadow};
    return byStyle[static_cast<int>(FFixedStyle)];
}

TCheckBoxStyle TVelCustomDBGrid::CheckBoxStyle(TCheckBoxStyle Style) const {
    using S = TCheckBoxStyle;
    static constexpr S autoStyle[] = {S::cbDefault, S::cbSoft, S::cbLoweredDark, S::cbFlat,
                                      S::cbLoweredGray, S::cbGray, S::cbLoweredMild, S::cbMild};
    static constexpr S autoGray[] = {S::cbSoft, S::cbSoft, S::cbLoweredGray, S::cbGray,
                                     S::cbLoweredGray, S::cbGray, S::cbLoweredGray, S::cbGray};
    static constexpr S autoLowered[] = {S::cbDefault, S::cbSoft, S::cbLoweredDark, S::cbLoweredDark,
                                        S::cbLoweredGray, S::cbLoweredGray, S::cbLoweredMild,
                                        S::cbLoweredMild};
    const int f = static_cast<int>(FFixedStyle);
    switch (Style) {
    case S::cbAuto: return autoStyle[f];
    case S::cbAutoGray: return autoGray[f];
    case S::cbAutoLowered: return autoLowered[f];
    default: return Style;
    }
}

bool TVelCustomDBGrid::HighlightCell(int ACol, int ARow, const std::string& Value, TGridDrawState State) {
    (void)Value;
    const bool fixed = State.Contains(TGridDrawStateFlag::gdFixed);
    if (IsCellMultiSelected(ACol, ARow) &&
        (!fixed || FMultiSelectOptions.Contains(TMultiSelection::msFixed)))
        return true;
    return State.Contains(TGridDrawStateFlag::gdSelected) && ShowsSelection() &&
           (FUpdateLock == 0 || FOptions.Contains(O::dgRowSelect));
}

bool TVelCustomDBGrid::ShowsSelection() const {
    return FOptions.Contains(O::dgAlwaysShowSelection) || FSearch->GetPanelVisible() || Focused();
}

// ---- The cell painter.

void TVelCustomDBGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (ARect.IsEmpty()) return;
    TCanvas& C = Canvas();
    if (IsLoading()) {
        C.FillRectColor(ARect, GetColor());
        return;
    }
    FPaintCell = TGridCoord{ACol, ARow};
    const int dataCol = ACol - FIndicatorOffset;
    const int dataRow = ARow - FTitleOffset;
    const bool dataRowKind = ARow >= FTitleOffset && dataRow < GetDataRowCount();
    if (AState.Contains(TGridDrawStateFlag::gdFixed) || !dataRowKind || dataCol < 0 ||
        dataCol >= static_cast<int>(FVisibleColumns.size())) {
        // Fixed, total and blank cells: their own painting comes with the fixed cells.
        C.FillRectColor(ARect, AState.Contains(TGridDrawStateFlag::gdFixed) ? GetFixedColor() : GetColor());
        return;
    }
    TVelColumn* column = FVisibleColumns[static_cast<std::size_t>(dataCol)];
    if (!FDataLink->GetActive() || dataRow >= FDataLink->GetRecordCount()) {
        C.FillRectColor(ARect, column->GetColor());
        return;
    }
    const int active = FDataLink->GetActiveRecord();
    TScopeExit back([&] { FDataLink->SetActiveRecord(active); });
    FDataLink->SetActiveRecord(dataRow);
    const std::string text = column->GetDisplayText();

    C.Font().Assign(column->GetFont());
    FHighlight = HighlightCell(ACol, ARow, text, AState);
    if (FHighlight) C.Font().SetColor(GetTrueColor(FHighlightText, clHighlightText, C.Font().GetColor()));
    if (!DrawEnabled()) C.Font().SetColor(clGrayText);

    FSelections = TSelections{};
    if (AState.Contains(TGridDrawStateFlag::gdSelected) && ShowsSelection() &&
        (FUpdateLock == 0 || FOptions.Contains(O::dgRowSelect)))
        FSelections.Include(TSelection::slCellSelected);
    if (dataRow == active) FSelections.Include(TSelection::slRowSelected);
    if (IsCellMultiSelected(ACol, ARow)) FSelections.Include(TSelection::slMultiSelected);
    if (FStripeColor != clNone && dataRow % 2 == 1) FSelections.Include(TSelection::slRowStriped);

    TColor color = column->GetColor();
    TPimGradientCell kind = TPimGradientCell::gcStripedRows;
    bool special = true;
    // A colour switched off (clNone) leaves the cell to the next rule.
    if (FSelections.Contains(TSelection::slCellSelected) && FSelectCellColor != clNone) {
        color = GetTrueColor(FSelectCellColor, DefaultSelectCellColor(), color);
        kind = TPimGradientCell::gcSelectedCell;
    } else if (FSelections.Contains(TSelection::slRowSelected) && FSelectRowColor != clNone) {
        color = GetTrueColor(FSelectRowColor, DefaultSelectRowColor(), color);
        kind = TPimGradientCell::gcSelectedRow;
    } else if (FSelections.Contains(TSelection::slMultiSelected) && FSelectionColor != clNone) {
        color = GetTrueColor(FSelectionColor, DefaultSelectionColor(), color);
        kind = TPimGradientCell::gcMultiSelected;
    } else if (FSelections.Contains(TSelection::slRowStriped)) {
        color = GetTrueColor(FStripeColor, cl3DLight, color);
    } else {
        special = false;
    }
    FCellGradient = special && FGradient->GetActive() && FGradient->GetCells().Contains(kind);
    int image = -1;
    PaintColumnCell(ARect, dataCol, column, FHighlight, FSelections, color, &C.Font(), image);
    C.Brush().SetColor(color);
    if (FDefaultDrawing) DefaultDrawColumnCell(ARect, dataCol, column, AState);
    DrawColumnCell(ARect, dataCol, column, AState);
    if (TField* field = column->GetField()) DrawDataCell(ARect, field, AState);
}

void TVelCustomDBGrid::FillCellBackground(const TRect& Rect) {
    TCanvas& C = Canvas();
    const TColor color = C.Brush().GetColor();
    if (FCellGradient)
        GradientFillRect(C, Rect, color, GetShadowColor(color, FGradient->GetShadowFactor()),
                         FGradient->GetDirection() == TGradientDirection::gdHorizontal);
    else
        C.FillRectColor(Rect, color);
}

void TVelCustomDBGrid::DefaultDrawColumnCell(const TRect& Rect, int DataCol, TVelColumn* Column,
                                             TGridDrawState State) {
    (void)DataCol;
    TCanvas& C = Canvas();
    FillCellBackground(Rect);
    const bool rtlAlign = UseRightToLeftAlignment() && !Column->GetSuppressRTL();
    TAlignment align = Column->GetAlignment();
    if (rtlAlign && align != TAlignment::taCenter)
        align = align == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
    const std::string text = Column->GetDisplayText();
    WriteText(C, Rect, 2, 2, text, align, UseRightToLeftReading() && !Column->GetSuppressRTL(),
              Column->GetEllipsis(), Column->GetWordWrap(), Column->GetVAlignment());
    if (State.Contains(TGridDrawStateFlag::gdFocused) && !FOptions.Contains(O::dgRowSelect))
        DrawFocusFrame(Rect);
}

void TVelCustomDBGrid::DrawFocusFrame(const TRect& Rect) {
    TCanvas& C = Canvas();
    switch (FocusRectStyle()) {
    case TFocusRect::frDefault: C.DrawFocusRect(Rect); break;
    case TFocusRect::frGray:
        C.Brush().SetColor(clGray);
        C.FrameRect(Rect);
        break;
    case TFocusRect::frMild:
        C.Brush().SetColor(clBtnShadow);
        C.FrameRect(Rect);
        break;
    default: break;
    }
}

void TVelCustomDBGrid::DefaultDrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State) {
    (void)State;
    if (!Field) return;
    WriteText(Canvas(), Rect, 2, 2, Field->GetDisplayText(), Field->GetAlignment(),
              UseRightToLeftReading(), true, true, TVAlignment::tvCenter);
}

void TVelCustomDBGrid::DrawColumnCell(const TRect& Rect, int DataCol, TVelColumn* Column,
                                      TGridDrawState State) {
    if (FOnDrawColumnCell) FOnDrawColumnCell(this, Rect, DataCol, Column, State);
}

void TVelCustomDBGrid::DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State) {
    if (FOnDrawDataCell) FOnDrawDataCell(this, Rect, Field, State);
}

void TVelCustomDBGrid::PaintColumnCell(const TRect& Rect, int DataCol, TVelColumn* Column,
                                       bool Highlight, TSelections Selections, TColor& Color,
                                       TFont* Font, int& Image) {
    if (FOnPaintColumnCell)
        FOnPaintColumnCell(this, Rect, DataCol, Column, Highlight, Selections, Color, Font, Image);
}

void TVelCustomDBGrid::CalcImageIndex(TVelColumn* Column, int& Index) {
    if (FOnCalcImageIndex) FOnCalcImageIndex(this, Column, Index);
}

}  // namespace vel
