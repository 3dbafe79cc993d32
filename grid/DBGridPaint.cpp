// Painting of the grid's cells: the colour rules, the look queries and the data cells.
// Title, header, total, indicator and filler cells are painted in DBGridFixedPaint.cpp.
#include <algorithm>

#include "graphics/PimkitGraph.h"
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
    if (!IsGridThemed() || !IsVista()) return TColorGeneration::Classic;
    if (IsWin11()) return TColorGeneration::Win11;
    return FGradient->IsActive(true) ? TColorGeneration::VistaGradient : TColorGeneration::Vista;
}

TColor TVelCustomDBGrid::DefaultSelectCellColor() const {
    switch (ColorGeneration()) {
    case TColorGeneration::Win11: return ShadowColor(clHighlight, -10);
    case TColorGeneration::VistaGradient: return RGB(0, 104, 232);
    case TColorGeneration::Vista: return RGB(19, 125, 255);
    default: return clHighlight;
    }
}

TColor TVelCustomDBGrid::DefaultSelectRowColor() const {
    switch (ColorGeneration()) {
    case TColorGeneration::Win11: return ShadowColor(clHighlight, 20);
    case TColorGeneration::VistaGradient: return RGB(120, 158, 228);
    case TColorGeneration::Vista: return RGB(157, 185, 235);
    default: return clGradientInactiveCaption;
    }
}

TColor TVelCustomDBGrid::DefaultSelectionColor() const {
    switch (ColorGeneration()) {
    case TColorGeneration::Win11: return clHighlight;
    case TColorGeneration::VistaGradient: return RGB(19, 125, 255);
    case TColorGeneration::Vista: return RGB(61, 149, 255);
    default: return clGradientActiveCaption;
    }
}

TColor TVelCustomDBGrid::DefaultDataLineColor() const {
    return ColorToRGB(GetColor()) == ColorToRGB(clSilver) ? clGray : clSilver;
}

TColor TVelCustomDBGrid::GetLineColor(bool Fixed, bool Vertical) const {
    const TColor base = TCustomGrid::GetLineColor(Fixed, Vertical);
    if (Fixed) return base;
    return GetTrueColor(Vertical ? FDataColLineColor : FDataRowLineColor, DefaultDataLineColor(), base);
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

bool TVelCustomDBGrid::IsCellMultiSelected(int ACol, int ARow) const {
    (void)ARow;
    if (!FOptions.Contains(O::dgMultiSelect) && !FOptions.Contains(O::dgInternalSelect)) return false;
    const int dataCol = ACol - FIndicatorOffset;
    switch (FMultiSelect) {
    case TMultiSelection::msRows: return IsRowMultiSelected();
    case TMultiSelection::msCols: return IsColMultiSelected(dataCol);
    case TMultiSelection::msCells: return IsRowMultiSelected() && IsColMultiSelected(dataCol);
    default: return false;
    }
}

bool TVelCustomDBGrid::ShowsSelection() const {
    return FOptions.Contains(O::dgAlwaysShowSelection) || FSearch->GetPanelVisible() || Focused();
}

// ---- The cell painter.

void TVelCustomDBGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (ARect.IsEmpty()) return;
    TCanvas& C = Canvas();
    // The custom look: by the system style's elements, or by the active custom style's.
    using SE = TSystemStyleElement;
    const bool systemLook = IsSystemStyle({SE::sseData});
    const bool styleLook = systemLook || StylesEnabled();
    const bool styleClient = styleLook && (systemLook ? FSystemStyleElements.Contains(SE::sseClient)
                                                      : GetStyleElements().Contains(TStyleElement::seClient));
    const bool styleFont = styleLook && (systemLook ? FSystemStyleElements.Contains(SE::sseFont)
                                                    : GetStyleElements().Contains(TStyleElement::seFont));
    if (IsLoading()) {
        C.FillRectColor(ARect, styleClient ? StyleServices().GetStyleColor(TStyleColor::scWindow) : GetColor());
        return;
    }
    FPaintCell = TGridCoord{ACol, ARow};
    const int dataCol = ACol - FIndicatorOffset;
    const int dataRow = ARow - FTitleOffset;
    const bool dataRowKind = ARow >= FTitleOffset && dataRow < GetDataRowCount();
    // Titles, the indicator, total and blank rows; frozen data columns are data cells.
    if (ARow < FTitleOffset || !dataRowKind || dataCol < 0 || dataCol >= static_cast<int>(FVisibleColumns.size())) {
        DrawFixedCell(ACol, ARow, ARect, AState);
        return;
    }
    TVelColumn* column = FVisibleColumns[static_cast<std::size_t>(dataCol)];
    if (!FDataLink->GetActive() || dataRow >= FDataLink->GetRecordCount()) {
        C.FillRectColor(ARect, column->GetColor());
        return;
    }
    const int active = FDataLink->GetActiveRecord();
    TScopeExit back([&] {
        FDataLink->SetActiveRecord(active);
        FPaintColumn = nullptr;
    });
    FDataLink->SetActiveRecord(dataRow);
    FPaintColumn = column;
    FPaintText = column->GetDisplayText();
    const std::string& text = FPaintText;

    C.Font().Assign(column->GetFont());
    if (styleFont && C.Font().GetColor() == clWindowText)
        C.Font().SetColor(StyleServices().GetStyleFontColor(TStyleFont::sfGridItemNormal));
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
    if (styleClient && ColorToRGB(color) == 0xFFFFFF) color = StyleServices().GetStyleColor(TStyleColor::scWindow);
    FCellGradient = special && FGradient->IsActive(true) && FGradient->GetCells().Contains(kind);
    FPaintImage = FDefaultDrawing ? CellImageOf(column) : TCellImage{};
    int image = FPaintImage.Index;
    PaintColumnCell(ARect, dataCol, column, FHighlight, FSelections, color, &C.Font(), image);
    FPaintImage.Index = image;
    if (image < 0) FPaintImage.Kind = TCellImage::TKind::None;
    C.Brush().SetColor(color);
    if (FDefaultDrawing)
        DefaultDrawColumnCell(ARect, dataCol, column, AState);
    else
        C.FillRectColor(ARect, GetColor());  // the events draw on a cleared cell
    DrawColumnCell(ARect, dataCol, column, AState);
    if (TField* field = column->GetField()) DrawDataCell(ARect, field, AState);
}

void TVelCustomDBGrid::FillCellBackground(const TRect& Rect) {
    TCanvas& C = Canvas();
    const TColor color = C.Brush().GetColor();
    if (FCellGradient)
        FGradient->FillRect(C, Rect, color, false, false);
    else
        C.FillRectColor(Rect, color);
}

void TVelCustomDBGrid::DefaultDrawColumnCell(const TRect& Rect, int DataCol, TVelColumn* Column,
                                             TGridDrawState State) {
    (void)DataCol;
    TCanvas& C = Canvas();
    FillCellBackground(Rect);
    // Inside DrawCell the image and text are the ones already chosen for the painted cell.
    const bool painted = Column == FPaintColumn;
    const TCellImage image = painted && FDefaultDrawing ? FPaintImage : CellImageOf(Column);
    const bool rtlAlign = UseRightToLeftAlignment() && !Column->GetSuppressRTL();
    const int margin = Column->GetImageMargin();
    const bool hasImage = image.Kind != TCellImage::TKind::None;
    const bool box = image.Kind == TCellImage::TKind::CheckBox || image.Kind == TCellImage::TKind::ExpandBox;
    const int level = hasImage || margin >= 1 ? ImageLevel(Column) : 0;
    if (hasImage) {
        // A wallpaper lies under the whole cell.
        const TRect imageRect = Column->GetWallpaper() && !box ? Rect : CellImageRect(Rect, margin, level, rtlAlign);
        const TColor brush = C.Brush().GetColor();
        DrawCellImage(imageRect, Column, image);
        C.Brush().SetColor(brush);
    }
    // A box or a blob's picture without a margin of its own takes the place of the text.
    if (!((box || image.Kind == TCellImage::TKind::Graphic) && margin < 1)) {
        TAlignment align = Column->GetAlignment();
        if (rtlAlign && align != TAlignment::taCenter)
            align = align == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
        const std::string text = painted ? std::string() : Column->GetDisplayText();
        const std::string& shown = painted ? FPaintText : text;
        std::string_view search;
        TVelSearchOptions searchOptions;
        if (FSearch->GetVisible() &&
            (!FSearch->GetOptions().Contains(TVelSearchOption::soCurrentCol) || Column == GetSelectedColumn())) {
            search = FSearch->GetText();
            searchOptions = FSearch->GetOptions();
        }
        WriteText(C, CellTextRect(Rect, margin, level, rtlAlign), 2, 2, shown, align,
                  UseRightToLeftReading() && !Column->GetSuppressRTL(), Column->GetEllipsis(),
                  Column->GetWordWrap(), Column->GetVAlignment(), search, searchOptions);
    }
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
