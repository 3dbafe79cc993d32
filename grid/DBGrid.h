#pragma once
// TVelCustomDBGrid: the data-aware grid on TCustomGrid, and TVelDBGrid, which publishes it.
//
// The grid owns its columns, data links and settings objects and creates each through a
// virtual factory so a descendant can substitute its own class. Everything it only refers to
// (data source, image lists, menus, linked grids) is a plain pointer cleared by Notification.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/PimkitGraph.h"
#include "grid/GridColumns.h"
#include "grid/GridDataLink.h"
#include "grid/GridFilter.h"
#include "grid/GridOptions.h"
#include "grid/GridScroll.h"
#include "grid/GridScrollBar.h"
#include "grid/GridSearch.h"
#include "grid/GridSelection.h"
#include "grid/GridSettings.h"
#include "grid/GridStyle.h"
#include "grid/GridTotals.h"
#include "grid/GridTreeView.h"
#include "platform/controls/Grids.h"
#include "platform/db/DBTypes.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Variant.h"

namespace vel {

class TBitmap;
class TCustomHint;
class TCustomImageList;
class TStrings;
class TTimer;

enum class TFixedStyle { fsDefault, fsSoft, fsNice, fsFlat, fsGreat, fsGray, fsFine, fsMild };
VEL_DECLARE_ENUM_INFO(TFixedStyle)
enum class TFixedTheme { ftNone, ftDefault, ftButtons, ftTabs };
VEL_DECLARE_ENUM_INFO(TFixedTheme)
enum class TFocusRect { frAuto, frDefault, frGray, frMild, frNone };
VEL_DECLARE_ENUM_INFO(TFocusRect)
enum class THotButtons { hbAuto, hbNone, hbBump, hbTile, hbLowered, hbRaised };
VEL_DECLARE_ENUM_INFO(THotButtons)
enum class TListBorder { lbAuto, lbDefault, lbGray, lbMild };
VEL_DECLARE_ENUM_INFO(TListBorder)
enum class TMarkerStyle {
    msAuto,
    msAutoGray,
    msDefault,
    msSoft,
    msRaisedDark,
    msRaisedGray,
    msRaisedMild,
    msLoweredDark,
    msLoweredGray,
    msLoweredMild,
    msFlat,
    msGray,
    msMild
};
VEL_DECLARE_ENUM_INFO(TMarkerStyle)
enum class TMarkerTransparent { mtAuto, mtFalse, mtTrue };
VEL_DECLARE_ENUM_INFO(TMarkerTransparent)
enum class TGridDrawingStyle { gdsClassic, gdsThemed, gdsGradient };
VEL_DECLARE_ENUM_INFO(TGridDrawingStyle)

enum class TVelDBGridToolMenuItem {
    tmOpen,
    tmRefresh,
    tmShowColumns,
    tmColumns,
    tmShowAutoFilter,
    tmAutoFilter,
    tmShowMultiSelect,
    tmMultiSelect,
    tmSelectedRow,
    tmStripedRows,
    tmTreeView,
    tmSettings,
    tmClose
};
VEL_DECLARE_ENUM_INFO(TVelDBGridToolMenuItem)
using TVelDBGridToolMenuItems = TSet<TVelDBGridToolMenuItem>;
enum class TVelDBGridToolMenuSubItem {
    tmColumnsShow,
    tmColumnsStretch,
    tmColumnsDefaultWidth,
    tmColumnsOptimalWidth,
    tmColumnsIncludeTitles,
    tmColumnsIncludeButtons,
    tmColumnsLoad,
    tmColumnsSave,
    tmColumnsLoadFromFile,
    tmColumnsSaveToFile,
    tmAutoFilterActive,
    tmAutoFilterFiltered,
    tmAutoFilterClear,
    tmAutoFilterLoad,
    tmAutoFilterSave,
    tmAutoFilterLoadFromFile,
    tmAutoFilterSaveToFile,
    tmMultiSelectActive,
    tmMultiSelectRows,
    tmMultiSelectCols,
    tmMultiSelectCells,
    tmMultiSelectFixed
};
VEL_DECLARE_ENUM_INFO(TVelDBGridToolMenuSubItem)
using TVelDBGridToolMenuSubItems = TSet<TVelDBGridToolMenuSubItem>;
enum class TVelDBGridToolMenuSubItemEx {
    tmSettingsLoadLayout,
    tmSettingsSaveLayout,
    tmSettingsLoad,
    tmSettingsSave,
    tmSettingsEraseFromFile,
    tmSettingsLoadFromFile,
    tmSettingsSaveToFile,
    tmSettingsEraseFromRegistry,
    tmSettingsLoadFromRegistry,
    tmSettingsSaveToRegistry
};
VEL_DECLARE_ENUM_INFO(TVelDBGridToolMenuSubItemEx)
using TVelDBGridToolMenuSubItemsEx = TSet<TVelDBGridToolMenuSubItemEx>;

TVelDBGridToolMenuItems DefaultToolMenuItems();
TVelDBGridToolMenuSubItems DefaultToolMenuSubItems();
TVelDBGridToolMenuSubItemsEx DefaultToolMenuSubItemsEx();

enum class TTotalResult { trNone, trCaption, trDataField, trTotalField, trCalcValue };
enum class TTextKind { tkEdit, tkDisplay, tkReport };
enum class TSelectAction { saUnselect, saSelect, saClear, saDelete, saRefresh };
enum class THintCell { hcTitle, hcHeader, hcFiller, hcEditor, hcData, hcIndicator, hcTotal };

// Event types of the grid; each is raised by the dispatch method named like it without "On".
using TDBGridClickEvent = std::function<void(TVelColumn* Column)>;
using TColGetTextEvent = std::function<void(TVelColumn* Column, std::string& Text, TTextKind Kind)>;
using TColSetTextEvent = std::function<void(TVelColumn* Column, std::string& Text)>;
using TColumnMovingEvent =
    std::function<void(TObject* Sender, int FromIndex, int ToIndex, bool& Accept)>;
using TColumnScrollEvent = std::function<void(TObject* Sender, int LeftIndex)>;
using THeaderClickEvent = std::function<void(TVelColumn* Column, int Index)>;
using TRowSelectEvent = std::function<void(TObject* Sender, TSelectAction Action)>;
using TRowExpandEvent = std::function<void(TObject* Sender, bool Expand)>;
using TRowExpandingEvent = std::function<void(TObject* Sender, bool Expand, bool& Allow)>;
using TTotalClickEvent = std::function<void(TVelColumn* Column, int Index)>;
using TTotalGetTextEvent =
    std::function<void(TVelColumn* Column, int Index, std::string& Text, TTextKind Kind)>;
using TTotalCalcQueryEvent = std::function<void(TObject* Sender, TDataSet* DataSet, bool& Accept)>;
using TCellHintEvent = std::function<void(TObject* Sender, TVelColumn* Column, int Index,
                                          THintCell HintCell, std::string& HintStr)>;
using TCalcImageIndexEvent = std::function<void(TObject* Sender, TVelColumn* Column, int& Index)>;
using TCalcBoldDaysEvent = std::function<void(TObject* Sender, double Date, bool& BoldDay)>;
using TDrawColumnCellEvent = std::function<void(TObject* Sender, const TRect& Rect, int DataCol,
                                                TVelColumn* Column, TGridDrawState State)>;
// Selection state of a painted data cell.
enum class TSelection { slCellSelected, slRowSelected, slMultiSelected, slCellFixed, slRowStriped };
using TSelections = TSet<TSelection>;
using TDrawDataCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State)>;
using TPaintColumnCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, int DataCol, TVelColumn* Column,
                       bool Highlight, TSelections Selections, TColor& Color, TFont* Font, int& Image)>;
using TFilterRecordEventGrid = std::function<void(TDataSet* DataSet, bool& Accept)>;
using TVelDBGridLayoutEvent = std::function<void(TObject* Sender, TStrings* Layout, bool Apply)>;
using TListDropDownEvent = std::function<void(TVelColumn* Column, TObject* List)>;
using TListCloseUpEvent =
    std::function<void(TVelColumn* Column, TObject* List, Variant& Value, bool& Accept)>;

// Declares GetOnX / SetOnX and the field FOnX.
#define VEL_GRID_EVENT(Type, Name)    \
public:                               \
    const Type& GetOn##Name() const { \
        return FOn##Name;             \
    }                                 \
    void SetOn##Name(Type Value) {    \
        FOn##Name = std::move(Value); \
    }                                 \
                                      \
private:                              \
    Type FOn##Name;

class TVelCustomDBGrid : public TCustomGrid {
    VEL_CLASS(TVelCustomDBGrid)
public:
    explicit TVelCustomDBGrid(TComponent* AOwner);
    ~TVelCustomDBGrid() override;

    // ---- Data and sub-objects.
    TDataSource* GetDataSource() const;
    // A unidirectional dataset's source raises EDatabaseError; the totals' own source raises
    // EInvalidGridOperation (ignored while loading).
    void SetDataSource(TDataSource* Value);
    TDataSet* GetDataSet() const;
    TVelGridDataLink* GetDataLink() const { return FDataLink; }
    TVelDBGridColumns* GetColumns() const { return FColumns; }
    void SetColumns(TVelDBGridColumns* Value);
    // Default columns are rebuilt from the fields, so only customised ones are written.
    bool IsColumnsStored() const;
    const std::vector<TVelColumn*>& GetVisibleColumns() const { return FVisibleColumns; }
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    const std::string& GetDetailFields() const { return FDetailFields; }
    void SetDetailFields(const std::string& Value);
    const std::string& GetKeyFields() const { return FKeyFields; }
    void SetKeyFields(const std::string& Value);
    TVelCustomDBGrid* GetMasterGrid() const { return FMasterGrid; }
    void SetMasterGrid(TVelCustomDBGrid* Value);
    TVelCustomDBGrid* GetManageGrid() const { return FManageGrid; }
    const std::string& GetOrderFields() const { return FOrderFields; }
    void SetOrderFields(const std::string& Value);
    const std::string& GetFilter() const { return FFilter; }
    void SetFilter(const std::string& Value);
    bool GetFiltered() const { return FFiltered; }
    void SetFiltered(bool Value);
    TVelDBGridFilter* GetFilterGrid() const { return FFilterGrid; }
    void SetFilterGrid(TVelDBGridFilter* Value) { FFilterGrid->Assign(Value); }
    TVelDBGridSearch* GetSearch() const { return FSearch; }
    void SetSearch(TVelDBGridSearch* Value) { FSearch->Assign(Value); }
    TVelDBGridSettings* GetSettings() const { return FSettings; }
    void SetSettings(TVelDBGridSettings* Value);
    TVelDBGridTotals* GetTotals() const { return FTotals; }
    void SetTotals(TVelDBGridTotals* Value) { FTotals->Assign(Value); }
    TVelDBGridTreeView* GetTreeView() const { return FTreeView; }
    void SetTreeView(TVelDBGridTreeView* Value);
    TVelDBGridGradient* GetGradient() const { return FGradient; }
    void SetGradient(TVelDBGridGradient* Value) { FGradient->Assign(Value); }
    TVelGridStyle* GetGridStyle() const { return FGridStyle; }
    void SetGridStyle(TVelGridStyle* Value) { FGridStyle->Assign(Value); }
    TVelScrollProp* GetScrollProp() const { return FScrollProp; }
    void SetScrollProp(TVelScrollProp* Value) { FScrollProp->Assign(Value); }
    bool GetDragRows() const { return FDragRows; }
    void SetDragRows(bool Value) { FDragRows = Value; }

    // ---- Option sets.
    TVelDBGridOptions GetOptions() const { return FOptions; }
    void SetOptions(TVelDBGridOptions Value);
    TVelDBGridOptionsEx GetOptionsEx() const { return FOptionsEx; }
    void SetOptionsEx(TVelDBGridOptionsEx Value);
    TVelDBGridOptionsExt GetOptionsExt() const { return FOptionsExt; }
    void SetOptionsExt(TVelDBGridOptionsExt Value);
    TGridDrawingOptions GetDrawingOptions() const { return FDrawingOptions; }
    // Each changed bit sets its colour to clDefault (on) or clNone (off).
    void SetDrawingOptions(TGridDrawingOptions Value);
    // One bit, leaving the colour alone.
    void SetDrawingOption(TGridDrawingOption Option, bool On);
    TVelHintOptions GetHintOptions() const { return FHintOptions; }
    void SetHintOptions(TVelHintOptions Value) { FHintOptions = Value; }
    TVelResizeOptions GetResizeOptions() const { return FResizeOptions; }
    void SetResizeOptions(TVelResizeOptions Value);
    TMultiSelectOptions GetMultiSelectOptions() const { return FMultiSelectOptions; }
    void SetMultiSelectOptions(TMultiSelectOptions Value);
    TMultiSelect GetMultiSelect() const { return FMultiSelect; }
    // Ignored unless the mode is allowed (msCols and msCells not with dgRowSelect); the
    // selection is cleared and a column or cell range starts at the current column.
    void SetMultiSelect(TMultiSelect Value);
    TSystemStyleElements GetSystemStyleElements() const { return FSystemStyleElements; }
    void SetSystemStyleElements(TSystemStyleElements Value);
    // Elements keep the system's own look: the system styles are switched on, the system
    // themes the grid (no custom style, Vista or later, FixedTheme not ftNone) and
    // SystemStyleElements hold all of Elements.
    bool IsSystemStyle(TSystemStyleElements Elements) const;
    TVelDBGridToolMenuItems GetToolMenuItems() const { return FToolMenuItems; }
    void SetToolMenuItems(TVelDBGridToolMenuItems Value) { FToolMenuItems = Value; }
    TVelDBGridToolMenuSubItems GetToolMenuSubItems() const { return FToolMenuSubItems; }
    void SetToolMenuSubItems(TVelDBGridToolMenuSubItems Value) { FToolMenuSubItems = Value; }
    TVelDBGridToolMenuSubItemsEx GetToolMenuSubItemsEx() const { return FToolMenuSubItemsEx; }
    void SetToolMenuSubItemsEx(TVelDBGridToolMenuSubItemsEx Value) { FToolMenuSubItemsEx = Value; }
    bool GetDefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }

    void SwitchOptions(TVelDBGridOptions Value, bool On);
    void SwitchOptionsEx(TVelDBGridOptionsEx Value, bool On);
    void SwitchOptionsExt(TVelDBGridOptionsExt Value, bool On);
    void SwitchDrawingOptions(TGridDrawingOptions Value, bool On);
    void SwitchHintOptions(TVelHintOptions Value, bool On);
    void SwitchResizeOptions(TVelResizeOptions Value, bool On);
    void SwitchMultiSelectOptions(TMultiSelectOptions Value, bool On);
    void SwitchSystemStyleElements(TSystemStyleElements Value, bool On);
    void SwitchStyleElements(TStyleElements Value, bool On);

    // ---- Layout and sizing.
    // Data columns frozen at the left (the indicator column is not counted).
    int GetFixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int GetIndicatorWidth() const { return FIndicatorWidth; }
    void SetIndicatorWidth(int Value);
    int GetHeaderLinesCount() const { return FHeaderLinesCount; }
    void SetHeaderLinesCount(int Value);
    int GetTitleLinesCount() const { return FTitleLinesCount; }
    void SetTitleLinesCount(int Value);
    int GetLinesCount() const { return FLinesCount; }
    void SetLinesCount(int Value);
    int GetLinesCountMin() const { return FLinesCountMin; }
    void SetLinesCountMin(int Value);
    int GetLinesCountMax() const { return FLinesCountMax; }
    void SetLinesCountMax(int Value);
    int GetDefaultWidthMin() const { return FDefaultWidthMin; }
    void SetDefaultWidthMin(int Value);
    int GetDefaultWidthMax() const { return FDefaultWidthMax; }
    void SetDefaultWidthMax(int Value);
    bool GetStretchMode() const { return FStretchMode; }
    void SetStretchMode(bool Value);
    int GetStretchWidthMin() const { return FStretchWidthMin; }
    void SetStretchWidthMin(int Value);
    int GetStretchWidthMax() const { return FStretchWidthMax; }
    void SetStretchWidthMax(int Value);
    // The grid's own scroll bar choice; the base grid keeps only the horizontal bar.
    TScrollStyle GetScrollBars() const { return FScrollBarsOwn; }
    void SetScrollBars(TScrollStyle Value);
    int GetWheelScrollRows() const { return FWheelScrollRows; }
    void SetWheelScrollRows(int Value);
    int GetGridLineWidth() const { return TCustomGrid::GetGridLineWidth(); }
    void SetGridLineWidth(int Value);

    // ---- Colours, fonts, looks.
    TFont* GetTitleFont() const { return FTitleFont; }
    void SetTitleFont(TFont* Value) { FTitleFont->Assign(Value); }
    TFont* GetHeaderFont() const { return FHeaderFont; }
    void SetHeaderFont(TFont* Value) { FHeaderFont->Assign(Value); }
    TColor GetHeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor Value);
    TColor GetDataColLineColor() const { return FDataColLineColor; }
    void SetDataColLineColor(TColor Value);
    TColor GetDataRowLineColor() const { return FDataRowLineColor; }
    void SetDataRowLineColor(TColor Value);
    TColor GetHighlightText() const { return FHighlightText; }
    void SetHighlightText(TColor Value);
    TColor GetSelectCellColor() const { return FSelectCellColor; }
    void SetSelectCellColor(TColor Value);
    TColor GetSelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor Value);
    TColor GetSelectRowColor() const { return FSelectRowColor; }
    void SetSelectRowColor(TColor Value);
    TColor GetStripeColor() const { return FStripeColor; }
    void SetStripeColor(TColor Value);
    TColor GetEditorColor() const { return FEditorColor; }
    void SetEditorColor(TColor Value);
    TFixedStyle GetFixedStyle() const { return FFixedStyle; }
    void SetFixedStyle(TFixedStyle Value);
    TFixedTheme GetFixedTheme() const { return FFixedTheme; }
    void SetFixedTheme(TFixedTheme Value);
    TFocusRect GetFocusRect() const { return FFocusRect; }
    void SetFocusRect(TFocusRect Value);
    THotButtons GetHotButtons() const { return FHotButtons; }
    void SetHotButtons(THotButtons Value);
    TListBorder GetListBorder() const { return FListBorder; }
    void SetListBorder(TListBorder Value) { FListBorder = Value; }
    TMarkerStyle GetMarkerStyle() const { return FMarkerStyle; }
    void SetMarkerStyle(TMarkerStyle Value);
    TMarkerTransparent GetMarkerTransparent() const { return FMarkerTransparent; }
    void SetMarkerTransparent(TMarkerTransparent Value);
    TCustomImageList* GetTitleImages() const { return FTitleImages; }
    void SetTitleImages(TCustomImageList* Value);
    TCustomImageList* GetTitleMarkers() const { return FTitleMarkers; }
    void SetTitleMarkers(TCustomImageList* Value);
    TGridDrawingStyle GetDrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TGridDrawingStyle Value);
    void SetCtl3D(bool Value);
    bool IsCtl3DStored() const { return !FCtl3DAuto && !GetParentCtl3D(); }
    bool GetCtl3DAuto() const { return FCtl3DAuto; }
    void SetCtl3DAuto(bool Value);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    // ---- Filler and indicator cells, menus.
    bool GetFillerButton() const { return FFillerButton; }
    void SetFillerButton(bool Value);
    TColor GetFillerColor() const { return FFillerColor; }
    void SetFillerColor(TColor Value);
    const std::string& GetFillerHint() const { return FFillerHint; }
    void SetFillerHint(const std::string& Value) { FFillerHint = Value; }
    int GetFillerIndex() const { return FFillerIndex; }
    void SetFillerIndex(int Value);
    TPopupMenu* GetFillerPopupMenu() const { return FFillerPopupMenu; }
    void SetFillerPopupMenu(TPopupMenu* Value);
    bool GetFillerToolMenu() const { return FFillerToolMenu; }
    void SetFillerToolMenu(bool Value) { FFillerToolMenu = Value; }
    const std::string& GetIndicatorHint() const { return FIndicatorHint; }
    void SetIndicatorHint(const std::string& Value) { FIndicatorHint = Value; }
    TCustomImageList* GetIndicatorImages() const { return FIndicatorImages; }
    void SetIndicatorImages(TCustomImageList* Value);
    TPopupMenu* GetIndicatorPopupMenu() const { return FIndicatorPopupMenu; }
    void SetIndicatorPopupMenu(TPopupMenu* Value);
    bool GetPopupToolMenu() const { return FPopupToolMenu; }
    void SetPopupToolMenu(bool Value) { FPopupToolMenu = Value; }
    TCustomHint* GetCustomHint() const { return FCustomHint; }
    void SetCustomHint(TCustomHint* Value);
    bool GetParentCustomHint() const { return FParentCustomHint; }
    void SetParentCustomHint(bool Value) { FParentCustomHint = Value; }
    void SetEnabled(bool Value) override;

    // ---- Geometry (GridGeometry.cpp): row kinds and heights, title cells, widths.
    int GetRowLineWidth() const;
    int GetColLineWidth() const;
    // Height of one data row with its line.
    int GetRowHeight() const;
    int GetLineHeight() const { return FLineHeight; }
    int GetHeaderRowHeight() const { return FHeaderRowHeight; }
    int GetHeaderRowCount() const { return FHeaderRowCount; }
    bool GetRowCalculated() const { return FRowCalculated; }
    int GetTitleRowCount() const { return FTitleOffset; }
    int GetTotalRowCount() const;
    int GetTotalHeaderRowCount() const { return FTotalHeader; }
    int GetTotalValuesRowCount() const { return FTotalValues; }
    int GetTotalFooterRowCount() const { return FTotalFooter; }
    int GetTotalFieldsRowCount() const;
    int GetDataRowCount() const;
    // Data rows that fit on screen, at least 1.
    int GetVisibleRowCount() const { return GetDataRowCapacity(); }
    int GetTitleHeight() const;
    int GetTotalHeight() const;
    int GetDataRowsHeight() const;
    int GetDataHeight() const;
    int GetBlankHeight() const;
    bool GetAlignTotalsToBorder() const;
    bool GetAlignStretchToBorder() const;
    // A custom style is active, or themes are on and FixedTheme is not ftNone (or Force).
    bool IsGridThemed(bool Force = false) const;
    // The title cell of Column in title row ARow: MasterCol is the column whose title shows
    // there (Column or its ancestor at that depth); empty without one.
    TRect CalcTitleRect(TVelColumn* Column, int ARow, TVelColumn*& MasterCol) const;
    // The same cell at its full size, including what is scrolled away or clipped.
    TRect FullTitleRect(TVelColumn* Column, int ARow, TVelColumn*& MasterCol) const;
    static TVelColumn* ColumnAtDepth(TVelColumn* Column, int ADepth);
    // The header band of Column's title under client Y; -1 outside the bands.
    int HeaderRow(int Y, TVelColumn* Column) const;
    // Band Index of a title cell: the returned rectangle keeps the cell's width, FullRect
    // spans every neighbour sharing the band.
    TRect HeaderRect(TVelColumn* Column, int Index, const TRect& CellRect, TRect& FullRect) const;
    // Width of the showing columns of Column's group (with their lines); its own for a leaf.
    int GetExpandWidth(TVelColumn* Column) const;
    // Grid column of Column, or of the first showing column of its group; -1 when none.
    int RawColumnOf(const TVelColumn* Column) const;
    int GetColsWidth(int Count) const;
    int GetColumnsWidth() const { return GetColsWidth(int(FVisibleColumns.size())); }
    int GetFixedColsWidth() const { return GetColsWidth(FFixedCols); }
    // The width that fits the title and the texts of the rows on screen.
    int GetOptimalWidth(TVelColumn* Column);
    void AdjustColumnsWidth(bool OptimalWidth, bool ButtonPlace);
    // Shares the client width among the showing columns (only while stretching is active).
    void StretchGrid();
    bool GetStretchActive() const { return FStretchActive; }
    bool GetStretching() const { return FStretching; }
    int GetStretchGridWidth() const { return FGridWidth; }
    int GetStretchColsWidth() const { return FColsWidth; }
    void ScaleColumnsBy(int M, int D, bool ScaleFont);
    void ChangeScale(int M, int D) override;
    int GetLastResizedCol() const { return FLastResizedCol; }
    void SetLastResizedCol(int Value) { FLastResizedCol = Value; }
    int GetLastRowHeight() const { return FLastRowHeight; }

    // ---- Cell painting (DBGridPaint.cpp).
    // Default for clDefault; for clNone Current, or Default when Current is clDefault.
    static TColor GetTrueColor(TColor Color, TColor Default, TColor Current);
    TColor DefaultSelectCellColor() const;
    TColor DefaultSelectRowColor() const;
    TColor DefaultSelectionColor() const;
    TColor DefaultDataLineColor() const;
    bool IsCustomStyle(TStyleElements Elements) const;
    bool IsSystemTheme() const;
    bool IsThemeTransparent() const;
    virtual TFocusRect FocusRectStyle() const;
    virtual THotButtons HotButtonsStyle() const;
    TColor GetFixedLineColor() const;
    bool DrawEnabled() const { return GetEnabled(); }
    // Resolves cbAuto, cbAutoGray and cbAutoLowered by FixedStyle.
    virtual TCheckBoxStyle CheckBoxStyle(TCheckBoxStyle Style) const;
    virtual bool HighlightCell(int ACol, int ARow, const std::string& Value, TGridDrawState State);
    // By the selection mode (only with dgMultiSelect or dgInternalSelect): msRows the painted
    // (active) record's row, msCols the column, msCells both.
    virtual bool IsCellMultiSelected(int ACol, int ARow) const;
    // The active record is among the selected rows.
    virtual bool IsRowMultiSelected() const;
    // True while column selection is off; else DataCol lies in the selected column range.
    virtual bool IsColMultiSelected(int DataCol) const;
    // The frame of a check box, by a resolved style (see CheckBoxStyle), with DrawEdge.
    virtual void DrawCheckBox(TCanvas& ACanvas, const TRect& Rect, TCheckBoxStyle Style);
    // What a data cell shows beside its text: an image of the column's Images, a check box or
    // an expand box, with its glyph index (DBGridCellImages.cpp).
    struct TCellImage {
        enum class TKind { None, Column, CheckBox, ExpandBox, Graphic };
        TKind Kind = TKind::None;
        int Index = -1;
        // Drawn as the framework's element (by Index mod 3) rather than a glyph.
        bool Themed = false;
        // The picture a graphic blob field holds (Kind Graphic, Index 0).
        std::shared_ptr<TGraphic> Picture;
    };
    // The image of the active record's cell in Column (CalcImageIndex applied).
    TCellImage CellImageOf(TVelColumn* Column);
    // Tree level of the active record for Column's image and text (0 outside a tree column).
    int ImageLevel(TVelColumn* Column) const;
    // The image box and the text rectangle of a data cell (ImageMargin M, level L).
    static TRect CellImageRect(const TRect& Cell, int Margin, int Level, bool RightToLeft);
    static TRect CellTextRect(const TRect& Cell, int Margin, int Level, bool RightToLeft);
    // The class-wide switch for the system look (IsSystemStyle); on at start.
    static bool GetSystemStylesEnabled();
    static void SetSystemStylesEnabled(bool Value);
    // State of the cell being painted.
    TSelections GetSelections() const { return FSelections; }
    bool GetHighlight() const { return FHighlight; }
    TGridCoord GetPaintCell() const { return FPaintCell; }
    // Background (brush colour), text and focus frame of a data cell.
    void DefaultDrawColumnCell(const TRect& Rect, int DataCol, TVelColumn* Column, TGridDrawState State);
    void DefaultDrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State);
    virtual void DrawColumnCell(const TRect& Rect, int DataCol, TVelColumn* Column, TGridDrawState State);
    virtual void DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State);
    virtual void PaintColumnCell(const TRect& Rect, int DataCol, TVelColumn* Column, bool Highlight,
                                 TSelections Selections, TColor& Color, TFont* Font, int& Image);
    virtual void CalcImageIndex(TVelColumn* Column, int& Index);

    // ---- Fixed cells (DBGridFixedPaint.cpp): titles with header bands, the filler, the
    // indicator, total and blank cells.
    // The style switches of a painted cell: whether it takes the custom look, and whether
    // its fonts and client colours come from the style.
    struct TCellLook {
        bool Custom = false, Fonts = false, Client = false;
    };
    TCellLook CellLook() const;
    // Glyph of the indicator cell of data row DataRow; -1 for none. Moves the link's active
    // record to the row for the decision.
    int IndicatorIndex(int DataRow);
    // Grid row of the current record's indicator, kept for the editing-state repaint.
    int GetSelRow() const { return FSelRow; }
    // Text of a total cell: the total object's text passed through TotalGetText. Row counts
    // from the first total row below the blank row.
    std::string GetTotalText(TVelColumn* Column, int Row, TTextKind Kind);
    virtual void TotalGetText(TVelColumn* Column, int Index, std::string& Text, TTextKind Kind);
    // The active record is the anchor of an extended selection (extended selection on, an
    // anchor set and equal).
    virtual bool IsSelectAnchorRow() const;

    // ---- Marker and indicator glyphs (DBGridMarkers.cpp).
    // IndicatorImages when set, else the built-in indicator and title button glyphs.
    TCustomImageList* GetIndicators();
    // TitleMarkers when set, else the built-in sort markers.
    TCustomImageList* GetMarkers();
    // Rebuilds the built-in lists for the marker look in effect; nothing when that look is
    // the one they were built for.
    void RecreateMarkers();
    // The marker look RecreateMarkers builds: the style with msAuto and msAutoGray resolved,
    // transparency and the forced system look.
    struct TMarkerLook {
        TMarkerStyle Style = TMarkerStyle::msDefault;
        bool Transparent = false;
        bool Forced = false;
    };
    TMarkerLook MarkerLook() const;
    int GetLoadedStyle() const { return FLoadedStyle; }
    const std::string& GetLoadedStyleName() const { return FLoadedStyleName; }

    // ---- Class-wide style tables, keyed by the framework style name (DBGridStyleTables.cpp).
    // A missing name reads as 0; the "Active" forms use the active style's name.
    static int GetCellFrameStyle(const std::string& Name);
    static void SetCellFrameStyle(const std::string& Name, int Value);
    static int GetActiveCellFrameStyle();
    // Rect inflated by the active style's cell-frame value.
    static TRect GetCellFrameRect(const TRect& Rect);
    static int GetFixedTextStyle(const std::string& Name);
    static void SetFixedTextStyle(const std::string& Name, int Value);
    static int GetActiveFixedTextStyle();
    static int GetFlatStyle(const std::string& Name);
    static void SetFlatStyle(const std::string& Name, int Value);
    static int GetActiveFlatStyle();
    static bool IsFlatStyle() { return GetActiveFlatStyle() != 0; }
    static int GetSelectRowStyle(const std::string& Name);
    static void SetSelectRowStyle(const std::string& Name, int Value);
    static int GetActiveSelectRowStyle();
    // The style's highlight colour shaded by the fixed-text (selected-row) value.
    static TColor GetFixedTextSelected();
    static TColor GetSelectRowSelected();
    // The built-in style names the tables start with, in their two groups.
    static const std::vector<std::string>& BuiltInStyleNames(int Group);

    // ---- Scrolling (DBGridScroll.cpp).
    // Moves the current record; returns the distance actually moved.
    int MoveBy(int Distance, bool Select = true);
    void ScrollToCellAt(int X, int Y, bool Selecting);
    void ScrollToColAt(int X, int Y);
    void ScrollToRowAt(int X, int Y);
    void ScrollToRowBy(int Rows);
    int RTLPosX(int X) const;
    // The real flat scroll bars are in use (decided when the window is made).
    bool GetFlatSBMode() const { return FFlatSBMode; }
    // Whether the vertical bar hides itself because every record fits.
    bool GetVertScrollHidden() const { return FVertScroll.GetHidden(); }

    // ---- Record count and number the scroll bar works with. Under dgForceSequence the grid
    // keeps them itself (row numbering fills them in); otherwise the dataset's own.
    bool ForcedSequence() const;
    int GetRecCount() const;
    int GetRecNumber() const;
    void SetRecNumber(int Value);
    void SetupRecCount(int Value);
    void SetupRecNumber(int Value);

    // ---- Column numbers: grid ("raw") columns count the indicator column.
    int RawToDataColumn(int ACol) const { return ACol - FIndicatorOffset; }
    int DataToRawColumn(int ACol) const { return ACol + FIndicatorOffset; }
    int GetTitleOffset() const { return FTitleOffset; }
    int GetIndicatorOffset() const { return FIndicatorOffset; }
    int GetTotalOffset() const { return FTotalOffset; }

    // ---- Brackets; counters never go below 0 and the held work runs once at the end.
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateLock() const { return FUpdateLock; }
    // A list-item, numbering or totals update is running.
    bool GetUpdateInProgress() const;
    void BeginLayout();
    void EndLayout();
    // Leaves the layout bracket without running the layout.
    void CancelLayout();
    // Runs the layout later, through a posted message.
    void DeferLayout();
    bool AcquireLayoutLock();
    int GetLayoutLock() const { return FLayoutLock; }
    int GetLayoutCount() const { return FLayoutCount; }
    virtual void LayoutChanged();

    // ---- Data link news and the record window: the link's buffer holds exactly the data
    // rows that fit on screen.
    virtual void LinkActive(bool Value);
    void DataChanged();
    void RecordChanged(TField* Field);
    void EditingChanged();
    // Writes the in-place editor's pending text to the selected column's field.
    void UpdateData();
    // The dataset moved its window by Distance records.
    virtual void Scroll(int Distance);
    void UpdateRowCount();
    void UpdateActive();
    // Data rows that fit below the titles and above the bottom block (at least 1).
    int GetDataRowCapacity() const;
    // The current column's field; setting it moves to the first showing column bound to it.
    TField* GetSelectedField() const;
    void SetSelectedField(TField* Value);
    TVelColumn* GetSelectedColumn() const;
    bool IsFixedColumn(const TVelColumn* Column) const;
    const std::string& GetEditTextBuffer() const { return FEditText; }
    // Held while the grid itself cancels or changes the dataset: its news is not grid work.
    TRestore<int> HoldChangeLock() { return TRestore<int>(FChangeLock, FChangeLock + 1); }
    int GetChangeLock() const { return FChangeLock; }
    // The single entry by which data and scroll news tell the totals they may be stale.
    virtual void TotalsChanged(TTotalResult Result, TField* Field);

    // ---- Focus and linked grids.
    bool GetAcquireFocusFlag() const { return FAcquireFocus; }
    void SetAcquireFocusFlag(bool Value) { FAcquireFocus = Value; }
    // Takes the focus when allowed; true when the grid (or its editor) has it afterwards.
    bool AcquireFocus();
    // Passes column visibility, widths, expansion and the horizontal position to the grid
    // this one manages, and on round the ring.
    void Synchronize();

    // ---- Column text and editing (the events' dispatch methods).
    virtual void ColGetText(TVelColumn* Column, std::string& Text, TTextKind Kind);
    virtual void ColSetText(TVelColumn* Column, std::string& Text);
    virtual void ColTextChanged(TVelColumn* Column);
    virtual void ColExpand(TVelColumn* Column);
    // A record's expand box in Column opened or closed.
    virtual void CellExpand(TVelColumn* Column);
    // The column's field may be changed now: an active, modifiable dataset and column.
    virtual bool CanColumnModify(TVelColumn* Column) const;

    // While a column file is read or written, widths are taken as they are (see TVelColumn).
    enum class TColumnsStream { None, Reading, Writing };
    TColumnsStream GetColumnsStream() const { return FColumnsStream; }
    void SetColumnsStream(TColumnsStream Value) { FColumnsStream = Value; }
    // Loading from a form or reading a column file.
    bool IsReadingColumns() const;
    // Writing a form that holds the grid, or a column file.
    bool IsWritingColumns() const;

    // ---- Input: the events' dispatch methods (each raises its event when assigned).
    virtual void CellClick(TVelColumn* Column);
    // Without a handler: the control's double click.
    virtual void CellDblClick(TVelColumn* Column);
    virtual void TitleClick(TVelColumn* Column);
    virtual void HeaderClick(TVelColumn* Column, int Index);
    virtual void TotalClick(TVelColumn* Column, int Index);
    virtual void IndicatorClick();
    virtual void FillerClick();
    virtual void ExpandClick(TVelColumn* Column);
    // FromIndex and ToIndex are grid columns; the event receives data indexes.
    virtual void ColumnMoving(int FromIndex, int ToIndex, bool& Accept);
    virtual void EditButtonClick();
    // Rows one wheel notch moves: 1 with Ctrl, a page with Shift, else WheelScrollRows (the
    // system's lines for 0, the record window for a negative value).
    int MouseWheelScrollRows(TShiftState Shift) const;
    TShiftState GetLastShiftState() const { return FLastShiftState; }
    // The release point lay in the indentation and image box of a data cell.
    bool GetClickInMargin() const { return FClickInMargin; }
    bool MouseInMargin(int X, int Y);

    // ---- Hot tracking (DBGridTracking.cpp). Without a pressed button the title, header band
    // or filler button and the check-box cell under the mouse become hot; (-1, -1) clears them.
    void UpdateHotButtons(int X, int Y);
    void UpdateHotCells(int X, int Y);
    // Grid column and title row of the hot button (-1 for none), whether the point is over the
    // title's expand button, and whether the hot look shows (only with dgHotButtons).
    int GetHotButton() const { return FHotButton; }
    int GetHotButtonRow() const { return FHotRow; }
    bool GetHotExpandButton() const { return FHotExpand; }
    bool GetHotButtonShown() const { return FHotButtonShown; }
    TGridCoord GetHotCell() const { return FHotCellShown ? FHotCell : TGridCoord{-1, -1}; }
    // The expand (drop-down, filter) button at the end of a title; Column: that title's column.
    bool PtInExpandButton(int X, int Y, TVelColumn*& Column);
    // The in-place editor asks before opening its list by itself: not while the mouse is
    // pressed, inside nested updates, while a click with dgClickSelectOff only re-anchored the
    // selection, nor twice for the same cell.
    bool AllowAutoDropDown();

    // ---- Multi-select (DBGridSelection.cpp; the gestures in DBGridSelect.cpp).
    // The "Select" column toggles the current row's selection through this.
    virtual void ToggleRowSelection();
    TVelBookmarkList* GetSelectedRows() const { return FBookmarks.get(); }
    TVelColumnList* GetSelectedCols() const { return FSelectedCols.get(); }
    // Row selection is active in msRows and msCells, column selection in msCols and msCells.
    bool GetRowsSelection() const;
    bool GetColsSelection() const;
    bool GetRowsSelected() const;
    bool GetColsSelected() const;
    bool GetMultiSelected() const { return GetRowsSelected() || GetColsSelected(); }
    bool HasSelection() const { return GetMultiSelected(); }
    // First selectable data column: 0 with msFixed, else the frozen columns.
    int GetSelectionOffset() const;
    // The column range (data columns, -1 for none) and whether it means whole columns.
    int GetSelectionBegCol() const { return FSelectionBegCol; }
    int GetSelectionEndCol() const { return FSelectionEndCol; }
    int GetSelectionMinCol() const { return FSelectionMinCol; }
    int GetSelectionMaxCol() const { return FSelectionMaxCol; }
    bool GetSelectionColumn() const { return FSelectionColumn; }
    void SetSelectionBegCol(int Value);
    void SetSelectionEndCol(int Value);
    void SetSelectionColumn(bool Value);
    // The row a Shift range starts from (empty for none).
    const TBookmark& GetSelectionAnchor() const { return FSelectionAnchor; }
    void SetSelectionAnchor(const TBookmark& Value);
    void SelectAll();
    void UnselectAll() { ClearSelection(); }
    // Not in msCells.
    void InvertAll();
    void SelectRow();
    void UnselectRow();
    void InvertRow();
    // From the current record to the anchor, both included.
    void SelectRows();
    void UnselectRows();
    void InvertRows();
    void ClearSelection();
    // Changes are collected inside the bracket and announced once when the outermost closes.
    void BeginSelect();
    void EndSelect();
    void CancelSelect() { EndSelect(); }
    int GetSelectLock() const { return FSelectLock; }
    // Rows by key values (the grid's KeyFields when empty), columns by ID, and the mode.
    void SaveSelection(const std::string& KeyFields = {});
    void RestoreSelection(const std::string& KeyFields = {});
    virtual void SelectionChanged(TSelectAction Action);
    // Runs held-back work (the delayed end of a selection) now.
    virtual void PerformDelayed();
    // Closes and opens the dataset again, keeping the current record (and with
    // dgAutoKeepSelection the selection) by key values; empty KeyFields take the grid's.
    void RefreshDataSet(const std::string& KeyFields = {});
    // Walks cells, rows or columns (DBGridForEach.cpp); the current record and the window
    // stay where they were.
    void ForEachDataCell(const TForEachCellProc& Proc, TForEachCellScope Scope = TForEachCellScope::fsAutoSelect);
    void ForEachDataCell(TDataRowEnum RowEnum, TDataColEnum ColEnum, const TForEachCellProc& Proc);
    void ForEachDataRow(TDataRowEnum RowEnum, const TForEachRowProc& Proc);
    void ForEachDataCol(TDataColEnum ColEnum, const TForEachColProc& Proc);
    TVelDataRowEnumerator GetDataRowEnum(TDataRowEnum Kind) { return TVelDataRowEnumerator(this, Kind); }
    std::vector<TVelColumn*> GetDataColEnum(TDataColEnum Kind);
    // Runs Walk with the dataset's controls disabled and gives back the current record and
    // the window position afterwards.
    void WithPositionKept(const std::function<void()>& Walk);
    // A drag selection is running; its scroll timer exists while the mouse is outside.
    bool GetScrollTracking() const { return FScrollTracking; }
    TTimer* GetScrollTimer() const { return FScrollTimer; }

    void Loaded() override;
    // The columns (only when customised) and OrderFields are the grid's own stream data;
    // OrderFields read from a form is dropped: the titles' markers bring the order back.
    void DefineProperties(TFiler& Filer) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // ---- Events.
    VEL_GRID_EVENT(TCalcBoldDaysEvent, CalcBoldDays)
    VEL_GRID_EVENT(TCalcImageIndexEvent, CalcImageIndex)
    VEL_GRID_EVENT(TDBGridClickEvent, CellClick)
    VEL_GRID_EVENT(TDBGridClickEvent, CellDblClick)
    VEL_GRID_EVENT(TDBGridClickEvent, CellExpand)
    VEL_GRID_EVENT(TCellHintEvent, CellHint)
    VEL_GRID_EVENT(TNotifyEvent, ColEnter)
    VEL_GRID_EVENT(TNotifyEvent, ColExit)
    VEL_GRID_EVENT(TDBGridClickEvent, ColExpand)
    VEL_GRID_EVENT(TColGetTextEvent, ColGetText)
    VEL_GRID_EVENT(TColSetTextEvent, ColSetText)
    VEL_GRID_EVENT(TNotifyEvent, ColTextChanged)
    VEL_GRID_EVENT(TMovedEvent, ColumnMoved)
    VEL_GRID_EVENT(TColumnMovingEvent, ColumnMoving)
    VEL_GRID_EVENT(TNotifyEvent, ColumnResize)
    VEL_GRID_EVENT(TColumnScrollEvent, ColumnScroll)
    VEL_GRID_EVENT(TDrawColumnCellEvent, DrawColumnCell)
    VEL_GRID_EVENT(TDrawDataCellEvent, DrawDataCell)
    VEL_GRID_EVENT(TNotifyEvent, EditButtonClick)
    VEL_GRID_EVENT(TDBGridClickEvent, ExpandClick)
    VEL_GRID_EVENT(TNotifyEvent, FillerClick)
    VEL_GRID_EVENT(TNotifyEvent, FilterChanged)
    VEL_GRID_EVENT(TFilterRecordEventGrid, FilterRecord)
    VEL_GRID_EVENT(TNotifyEvent, FilterUpdated)
    VEL_GRID_EVENT(THeaderClickEvent, HeaderClick)
    VEL_GRID_EVENT(TNotifyEvent, IndicatorClick)
    VEL_GRID_EVENT(TVelDBGridLayoutEvent, Layout)
    VEL_GRID_EVENT(TListCloseUpEvent, ListCloseUp)
    VEL_GRID_EVENT(TListDropDownEvent, ListDropDown)
    VEL_GRID_EVENT(TNotifyEvent, ListItemsUpdated)
    VEL_GRID_EVENT(TNotifyEvent, OrderChanged)
    VEL_GRID_EVENT(TNotifyEvent, OrderUpdated)
    VEL_GRID_EVENT(TPaintColumnCellEvent, PaintColumnCell)
    VEL_GRID_EVENT(TRowExpandEvent, RowExpand)
    VEL_GRID_EVENT(TRowExpandingEvent, RowExpanding)
    VEL_GRID_EVENT(TNotifyEvent, RowResize)
    VEL_GRID_EVENT(TRowSelectEvent, RowSelect)
    VEL_GRID_EVENT(TNotifyEvent, SelectedColsChanged)
    VEL_GRID_EVENT(TNotifyEvent, SelectedRowsChanged)
    VEL_GRID_EVENT(TNotifyEvent, SelectionChanged)
    VEL_GRID_EVENT(TNotifyEvent, SequenceUpdated)
    VEL_GRID_EVENT(TDBGridClickEvent, TitleClick)
    VEL_GRID_EVENT(TNotifyEvent, ToolMenuClick)
    VEL_GRID_EVENT(TNotifyEvent, ToolMenuCreate)
    VEL_GRID_EVENT(TNotifyEvent, ToolMenuPopup)
    VEL_GRID_EVENT(TNotifyEvent, ToolMenuUpdate)
    VEL_GRID_EVENT(TTotalCalcQueryEvent, TotalCalcQuery)
    VEL_GRID_EVENT(TTotalClickEvent, TotalClick)
    VEL_GRID_EVENT(TTotalGetTextEvent, TotalGetText)
    VEL_GRID_EVENT(TNotifyEvent, TotalsUpdated)

public:
    // ---- Factories, in declared order; a descendant returns its own classes.
    virtual TVelDBGridColumns* CreateColumns();
    virtual TVelGridDataLink* CreateDataLink();
    virtual TVelDBGridFilter* CreateFilter();
    virtual TVelDBGridGradient* CreateGradient();
    virtual TVelGridStyle* CreateGridStyle();
    virtual TVelScrollProp* CreateScrollProp();
    virtual TVelDBGridSearch* CreateSearch();
    virtual TVelDBGridSettings* CreateSettings();
    virtual TVelTotalDataLink* CreateTotalDataLink();
    virtual TVelDBGridTotals* CreateTotals();
    virtual TVelDBGridTreeView* CreateTreeView();

    // How often each piece of held-back work was asked for. Work the grid does not do yet
    // (sort markers, numbering, totals, order, lists, tree) is only counted here, so tests
    // can check which effects a change triggers; MarkerRebuilds counts the glyph lists
    // RecreateMarkers really rebuilt.
    struct TWorkCounts {
        int Layouts = 0, EditorInvalidations = 0, Stretches = 0, BorderChanges = 0,
            MarkerUpdates = 0, SequenceUpdates = 0, TotalsUpdates = 0, OrderUpdates = 0,
            ListItemUpdates = 0, ScrollBarUpdates = 0, TreeViewRefreshes = 0, MarkerRebuilds = 0;
    };
    const TWorkCounts& GetWorkCounts() const { return FWork; }

protected:
    // Factories are virtual, but a constructor only reaches its own class's versions: a
    // descendant that overrides factories calls this first thing in its constructor, and the
    // owned objects are created again, in declared order, by its factories.
    void RecreateOwnedObjects();
    virtual void InternalLayout();
    void GradientChanged();
    virtual void UpdateSequenceValues(bool Delayed) {
        (void)Delayed;
        ++FWork.SequenceUpdates;
    }
    virtual void UpdateCalcValues() { ++FWork.TotalsUpdates; }
    virtual void UpdateScrollBar();
    virtual void UpdateListItems() { ++FWork.ListItemUpdates; }
    virtual void UpdateOrder() { ++FWork.OrderUpdates; }
    virtual void UpdateMarkers() { ++FWork.MarkerUpdates; }
    // Re-stretches after a change that moves widths, switching stretching on or off first
    // when StretchMode or the link changed.
    virtual void StretchColumns();
    virtual void InvalidateBorder() { ++FWork.BorderChanges; }
    void InvalidateGridEditor();
    void Dispatch(TMessage& Message) override;
    std::string GetEditText(int ACol, int ARow) override;
    // Repaint requests are dropped while the record window is rebuilt.
    void Invalidate() override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    // Before the editor takes a key: the record enters edit state, so that the change the
    // key makes is not overwritten by the record's own news.
    bool CanEditModify() override { return CanColumnModify(GetSelectedColumn()); }
    virtual bool CanColumnModify(TVelColumn* Column);
    // Height shared by the total rows (the default row height until measured).
    virtual int GetTotalRowHeight() const;
    // The blank row takes the space the data rows leave.
    virtual int GetBlankRowHeight() const;
    // Measures row heights: data rows, title rows, header bands and total rows.
    void CalcRowHeights();
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void TopLeftChanged() override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    // The client area changed size (bounds or a scroll bar came or went).
    void ClientResized();
    // Text height of a total cell of Column (the totals font until per-column totals exist).
    virtual int TotalTextHeight(TVelColumn* Column);
    virtual void DefineFieldMap();
    void AlwaysShowEditor();
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;

    // ---- Input (DBGridKeys.cpp, DBGridMouse.cpp).
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    bool CanEditShow() override;
    TInplaceEdit* CreateEditor() override;
    void ColEnter() override;
    void ColExit() override;
    void MouseLeave() override;
    // The dragged column is the one whose title was pressed, a group with all its columns; it
    // moves among its siblings only, and the view scrolls when the target is out of sight.
    bool BeginColumnDrag(int& Origin, int& Destination, TPoint MousePt) override;
    bool CheckColumnDrag(int& Origin, int& Destination, TPoint MousePt) override;
    // The move is asked of ColumnMoving first.
    bool EndColumnDrag(int& Origin, int& Destination, TPoint MousePt) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    // A pressed title, header band or filler button follows the mouse; (-1, -1) releases it.
    void TrackButton(int X, int Y);
    void TrackCell(int X, int Y);
    void StopTracking();
    void StopCellTracking();
    // Hooks of the features that own these keys (search panel, clipboard, selection, filter
    // drop-downs); the grid alone does nothing for them.
    virtual void SearchKey(unsigned Key, TShiftState Shift) {
        (void)Key;
        (void)Shift;
    }
    virtual void CopyToClipboard(bool WithTitles) { (void)WithTitles; }
    // Ctrl+Delete with selected rows.
    virtual void DeleteSelectedRows();
    virtual void SelectedRowsChanged();
    virtual void SelectedColsChanged();
    virtual void SelectedChanged();
    // Drag selection (DBGridSelect.cpp): the mouse is captured and a timer keeps scrolling
    // while it stays outside the data area.
    void StartScrollTracking();
    void StopScrollTracking();
    void StartScrollTimer();
    void StopScrollTimer();
    void TimedScroll(TObject* Sender);
    virtual void DropDownFilter(bool Form) { (void)Form; }
    // A title's sort marker toggles on its click (ascending unless Descending).
    virtual void ToggleTitleMarker(TVelColumn* Column, bool Descending) {
        (void)Column;
        (void)Descending;
    }
    // Data lines take DataColLineColor and DataRowLineColor.
    TColor GetLineColor(bool Fixed, bool Vertical) const override;

private:
    friend class TVelInplaceEdit;
    friend class TVelColumn;
    friend class TVelDBGridColumns;
    friend class TVelDBGridTotals;
    friend class TVelGridDataLink;
    friend class TVelBookmarkList;
    friend class TVelColumnList;
    // What lies under a client point, for the mouse rules.
    struct TInputHit {
        enum class TKind { None, Title, Data, Total };
        TKind Kind = TKind::None;
        TGridCoord Cell{-1, -1};
        TVelColumn* Column = nullptr;  // for titles, the column whose title shows there
        bool Indicator = false;
        int Header = -1;    // header band under the point
        int DataRow = -1;   // record window row
        int TotalRow = -1;  // total row from the first below the blank row
    };
    TInputHit HitAt(int X, int Y) const;
    bool OverColumnBorder(int X, int Y, int& Index);
    // Hot tracking and its looks.
    bool HotTrackingBlocked() const;
    void ClearHotTracking();
    void InvalidateTitle(int Raw, int Row);
    // The pressed title, band (all of a shared one) or filler changed its look.
    void InvalidatePressedButton();
    bool CellBoxThemed(int Raw) const;
    bool IsTitleHot(TVelColumn* Master) const;
    bool IsFillerHot() const;
    bool IsBandPressed(TVelColumn* Master, int Band) const;
    // Glyph of the button at the end of Master's title; -1 without one.
    int TitleButtonGlyph(TVelColumn* Master) const;
    void BeginDockDrag(int X, int Y);
    void DockDragTo(int X, int Y);
    void EndDockDrag();
    struct TAutoDropCell {
        int Col = -1;
        int RecNo = -1;
        bool operator==(const TAutoDropCell&) const = default;
    };
    TAutoDropCell CurrentAutoDropCell() const;
    // The release ended: Consumed when it ended on the editor or nothing else took it.
    void AutoDropDownReleased(bool Consumed);
    void SetBottomRowHeights();
    void SetStretchActive();
    void AssignStretchWidth(TVelColumn* Column, int Raw, int Width);
    void ReleaseStretch();
    void WMVScroll(unsigned Code, int Pos);
    int TextHeightOf(const TFont* Font);
    bool InGridScrollMode() const;
    TVertScrollInput VertScrollInput();
    void UpdateFlatScrollBar();
    void MoveToDataRow(int Row);
    TRect CurrentRowRect() const;
    void ApplyBaseOptions();
    void SetColorBit(TColor& Field, TColor Value, TGridDrawingOption Bit);
    TColor* ColorOfDrawingOption(TGridDrawingOption Option);
    void SetTotalSelectedColor(TColor Value);
    void SetManageGrid(TVelCustomDBGrid* Value);
    TVelCustomDBGrid* ChainEnd();
    void LeaveLinkedGrids();
    std::string NormalizeFields(const std::string& Value) const;
    void UpdateTotalRowOffsets();
    void ConnectSubObjects();
    enum class TColorGeneration { Classic, Vista, VistaGradient, Win11 };
    TColorGeneration ColorGeneration() const;
    bool ShowsSelection() const;
    void FillCellBackground(const TRect& Rect);
    // Fixed cells.
    void DrawFixedCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    void DrawFillerCell(const TRect& ARect, TGridDrawState AState);
    void DrawIndicatorCell(int ARow, const TRect& ARect);
    void DrawTitleCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    void DrawHeaderBands(TVelColumn* Master, const TRect& Full, const TRect& Clip);
    void DrawTotalCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    // Background and frame of a fixed cell; Hot and Down give a button its state.
    void FillFixed(const TRect& Rect, TColor Color, bool Hot, bool Down);
    void DrawFixedFrame(const TRect& Rect, bool Hot, bool Down);
    // VertTop: where the line after the cell starts, below the cell's top.
    void DrawFixedLines(const TRect& Rect, int VertTop = 0);
    void DrawGlyph(TCustomImageList* List, int Index, const TRect& Rect, bool Greyed);
    TRect CornerRect() const;
    int TitleMargin() const;
    void DrawFocusFrame(const TRect& Rect);

    // Owned.
    TVelDBGridColumns* FColumns = nullptr;
    TVelGridDataLink* FDataLink = nullptr;
    TVelDBGridFilter* FFilterGrid = nullptr;
    TVelDBGridSearch* FSearch = nullptr;
    TVelDBGridTreeView* FTreeView = nullptr;
    TVelDBGridSettings* FSettings = nullptr;
    TVelDBGridGradient* FGradient = nullptr;
    TVelDBGridTotals* FTotals = nullptr;
    TVelGridStyle* FGridStyle = nullptr;
    TVelScrollProp* FScrollProp = nullptr;
    TFont* FTitleFont = nullptr;
    TFont* FHeaderFont = nullptr;
    TBitmap* FIndicators = nullptr;
    TBitmap* FCheckBoxes = nullptr;
    TBitmap* FExpandBoxes = nullptr;
    std::vector<TVelColumn*> FVisibleColumns;

    bool FReadOnly = false;
    TVelDBGridOptions FOptions;
    TVelDBGridOptionsEx FOptionsEx;
    TVelDBGridOptionsExt FOptionsExt;
    TGridDrawingOptions FDrawingOptions;
    TVelHintOptions FHintOptions;
    TVelResizeOptions FResizeOptions;
    TMultiSelectOptions FMultiSelectOptions;
    TMultiSelect FMultiSelect = TMultiSelection::msRows;
    TSystemStyleElements FSystemStyleElements;
    TVelDBGridToolMenuItems FToolMenuItems;
    TVelDBGridToolMenuSubItems FToolMenuSubItems;
    TVelDBGridToolMenuSubItemsEx FToolMenuSubItemsEx;
    int FTitleOffset = 1;
    int FIndicatorOffset = 1;
    int FUpdateLock = 0;
    int FLayoutLock = 0;
    int FLayoutCount = 0;
    bool FLayoutPending = false;
    bool FLayoutFromDataSet = false;
    int FChangeLock = 0;
    int FInvalidateLock = 0;
    int FSelRow = 0;
    std::string FEditText;
    bool FDefaultDrawing = true;
    bool FInUpdateListItems = false, FInUpdateSequence = false, FInUpdateTotals = false;
    bool FUpdateFields = true;
    bool FAcquireFocus = true;
    TVelCustomDBGrid* FManageGrid = nullptr;
    TVelCustomDBGrid* FMasterGrid = nullptr;
    bool FManagement = false;
    int FTotalOffset = 0;
    int FTotalHeader = 0, FTotalValues = 0, FTotalFooter = 0;
    std::string FDetailFields, FKeyFields, FOrderFields, FFilter;
    bool FFiltered = false;
    bool FDragRows = false;
    // Multi-select state.
    std::unique_ptr<TVelBookmarkList> FBookmarks = std::make_unique<TVelBookmarkList>(this);
    std::unique_ptr<TVelColumnList> FSelectedCols = std::make_unique<TVelColumnList>(this);
    TMultiSelect FSavedSelect = TMultiSelection::msNone;
    int FSelectionBegCol = -1, FSelectionEndCol = -1, FSelectionMinCol = -1, FSelectionMaxCol = -1;
    bool FSelectionColumn = false;
    bool FRowsChanged = false, FColsChanged = false;
    TBookmark FSelectionAnchor;
    int FSelectLock = 0;
    TTimer* FSelectTimer = nullptr;
    void UpdateMultiSelect();
    // Selected records were deleted: the work a data change asks for.
    void RowsDeleted();
    void ReorderSelectionCols();
    void ColsChanged();
    void DelayEndSelect();
    void DoEndSelect();
    // Walks from the current record to the anchor; Act decides what each record becomes.
    void WalkToAnchor(int Act);
    // Drag selection and the selection gestures (DBGridSelect.cpp).
    bool FScrollTracking = false;
    // With dgAutoUnselectOff a drag that began on an unselected row unselects.
    bool FScrollUnselect = false;
    TPoint FScrollMousePos{}, FScrollStartPos{};
    TTimer* FScrollTimer = nullptr;
    // Shift with a navigation key: the selection becomes the rows from the anchor on.
    bool ExtendSelectionByKey(unsigned Key, TShiftState Shift);
    // The rows from the anchor to the current record replace the row selection.
    void SelectRangeToAnchor();
    // MouseDown's selection rules for a press on a data row or (Shift) on a title.
    void SelectionMouseDown(TShiftState Shift, int DataCol, bool Title);
    void DragSelectionMove(int X, int Y);
    bool TrackColumnSelection(int X, int Y);

    int FFixedCols = 0;
    int FIndicatorWidth = 20;
    int FHeaderLinesCount = 1, FTitleLinesCount = 1, FLinesCount = 1;
    int FLinesCountMin = 1, FLinesCountMax = -1;
    int FDefaultWidthMin = -1, FDefaultWidthMax = -1;
    bool FStretchMode = false;
    int FStretchWidthMin = -1, FStretchWidthMax = -1;
    TScrollStyle FScrollBarsOwn = TScrollStyle::ssBoth;
    int FWheelScrollRows = 0;

    TColor FHeaderColor = clBtnFace;
    TColor FDataColLineColor = clDefault, FDataRowLineColor = clDefault;
    TColor FHighlightText = clDefault, FSelectCellColor = clDefault;
    TColor FSelectionColor = clDefault, FSelectRowColor = clDefault;
    TColor FStripeColor = clNone, FEditorColor = clNone;
    TFixedStyle FFixedStyle = TFixedStyle::fsDefault;
    TFixedTheme FFixedTheme = TFixedTheme::ftDefault;
    TFocusRect FFocusRect = TFocusRect::frAuto;
    THotButtons FHotButtons = THotButtons::hbAuto;
    TListBorder FListBorder = TListBorder::lbAuto;
    TMarkerStyle FMarkerStyle = TMarkerStyle::msAuto;
    TMarkerTransparent FMarkerTransparent = TMarkerTransparent::mtAuto;
    TCustomImageList* FTitleImages = nullptr;
    TCustomImageList* FTitleMarkers = nullptr;
    TGridDrawingStyle FDrawingStyle = TGridDrawingStyle::gdsClassic;
    bool FCtl3DAuto = true;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;

    bool FFillerButton = true;
    TColor FFillerColor = clBtnFace;
    std::string FFillerHint;
    int FFillerIndex = -7;
    TPopupMenu* FFillerPopupMenu = nullptr;
    bool FFillerToolMenu = false;
    std::string FIndicatorHint;
    TCustomImageList* FIndicatorImages = nullptr;
    TPopupMenu* FIndicatorPopupMenu = nullptr;
    bool FPopupToolMenu = false;
    TCustomHint* FCustomHint = nullptr;
    bool FParentCustomHint = true;

    TColumnsStream FColumnsStream = TColumnsStream::None;
    TWorkCounts FWork;

    // Geometry state.
    int FLineHeight = 0;
    int FHeaderRowHeight = 0;
    int FHeaderRowCount = 0;
    int FTotalRowHeight = 0;
    bool FRowCalculated = false;
    bool FStretchActive = false;
    bool FStretching = false;
    int FGridWidth = 0, FColsWidth = 0;
    int FLastLeftCol = -1;
    int FLastRowHeight = 0;
    int FLastResizedCol = -1;
    bool FFlatSBMode = false;
    bool FTopLeftChanging = false;
    bool FClientResizing = false;
    TVelVertScrollBar FVertScroll;

    // Input state.
    TShiftState FLastShiftState;
    bool FTracking = false;      // a title, header band or filler button is pressed
    int FTracked = -1;           // its grid column
    TVelColumn* FTrackCol = nullptr;
    int FTrackHeader = -1;       // the pressed header band, -1 for the caption
    bool FPressed = false;
    TPoint FPressXY{};
    bool FExpandButton = false;  // the press was on a title's expand button
    bool FCellTracking = false;  // a check box or expand box is pressed
    TGridCoord FTrackCell{-1, -1};
    bool FCellPressed = false;
    bool FClickInMargin = false;
    bool FIsESCKey = false;
    bool FClickOnSelected = false;  // the press was on the current cell
    int FHotButton = -1;            // grid column of the hot button
    int FHotRow = -1;               // its title row
    bool FHotExpand = false;        // the mouse is over its expand button
    bool FHotButtonShown = false;   // painted hot (dgHotButtons)
    TGridCoord FHotCell{-1, -1};
    bool FHotCellShown = false;
    TVelColumn* FDragCol = nullptr;    // the column a title drag moves
    TVelColumn* FMovingCol = nullptr;  // the same, from the drag's end to the base grid's move
    bool FDockDragging = false;
    TPoint FDockDragFrom{};
    bool FAutoDropPressed = false;
    TAutoDropCell FAutoDropCell;
    bool FSelectClickPending = false;
    bool FPressIgnored = false;  // the last press found the grid unable to take the focus

    // Painting state of the cell being drawn.
    TGridCoord FPaintCell{-1, -1};
    TSelections FSelections;
    bool FHighlight = false;
    bool FCellGradient = false;
    // The column of the cell being drawn (null outside DrawCell), its image and text.
    TVelColumn* FPaintColumn = nullptr;
    TCellImage FPaintImage;
    std::string FPaintText;
    // Built-in glyphs as image lists (masked, greyed on demand), made on first use.
    std::unique_ptr<TCustomImageList> FCheckGlyphs, FExpandGlyphs;
    const TCustomImageList& GlyphList(bool Expand);
    void DrawCellImage(const TRect& Box, TVelColumn* Column, const TCellImage& Image);
    // Calls Draw with each place an image of W x H takes in Box by the column's ImageDraw.
    void PlaceImage(const TRect& Box, TVelColumn* Column, int W, int H,
                    const std::function<void(const TRect&)>& Draw) const;
    void DrawBoxGlyph(const TRect& Box, TVelColumn* Column, const TCellImage& Image);
    int FRecCount = 0, FRecNumber = 0;

    // Built-in glyph lists and the look they were built for.
    std::unique_ptr<TCustomImageList> FMarkerList;
    std::unique_ptr<TCustomImageList> FIndicatorList;
    int FLoadedStyle = -1;
    std::string FLoadedStyleName;
};

#undef VEL_GRID_EVENT

// The grid as placed on forms: publishes the properties and events of TVelCustomDBGrid.
class TVelDBGrid : public TVelCustomDBGrid {
    VEL_CLASS(TVelDBGrid)
public:
    explicit TVelDBGrid(TComponent* AOwner) : TVelCustomDBGrid(AOwner) {}
};

// The message number of the deferred layout.
constexpr unsigned CM_DEFERLAYOUT = 0x400 + 100;

}  // namespace vel
