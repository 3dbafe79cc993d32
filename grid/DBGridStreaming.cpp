// TVelDBGrid's published properties with their defaults, and the value names of the grid's
// enumerations, so a form holding a grid writes only what differs and reads it back.
#include "grid/DBGrid.h"
#include "platform/classes/Streaming.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Hints.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/ImageList.h"

namespace vel {

VEL_ENUM_INFO(TFixedStyle, fsDefault, fsSoft, fsNice, fsFlat, fsGreat, fsGray, fsFine, fsMild)
VEL_ENUM_INFO(TFixedTheme, ftNone, ftDefault, ftButtons, ftTabs)
VEL_ENUM_INFO(TFocusRect, frAuto, frDefault, frGray, frMild, frNone)
VEL_ENUM_INFO(THotButtons, hbAuto, hbNone, hbBump, hbTile, hbLowered, hbRaised)
VEL_ENUM_INFO(TListBorder, lbAuto, lbDefault, lbGray, lbMild)
VEL_ENUM_INFO(TMarkerStyle, msAuto, msAutoGray, msDefault, msSoft, msRaisedDark, msRaisedGray,
              msRaisedMild, msLoweredDark, msLoweredGray, msLoweredMild, msFlat, msGray, msMild)
VEL_ENUM_INFO(TMarkerTransparent, mtAuto, mtFalse, mtTrue)
VEL_ENUM_INFO(TGridDrawingStyle, gdsClassic, gdsThemed, gdsGradient)
VEL_ENUM_INFO(TVelDBGridToolMenuItem, tmOpen, tmRefresh, tmShowColumns, tmColumns, tmShowAutoFilter,
              tmAutoFilter, tmShowMultiSelect, tmMultiSelect, tmSelectedRow, tmStripedRows,
              tmTreeView, tmSettings, tmClose)
VEL_ENUM_INFO(TVelDBGridToolMenuSubItem, tmColumnsShow, tmColumnsStretch, tmColumnsDefaultWidth,
              tmColumnsOptimalWidth, tmColumnsIncludeTitles, tmColumnsIncludeButtons, tmColumnsLoad,
              tmColumnsSave, tmColumnsLoadFromFile, tmColumnsSaveToFile, tmAutoFilterActive,
              tmAutoFilterFiltered, tmAutoFilterClear, tmAutoFilterLoad, tmAutoFilterSave,
              tmAutoFilterLoadFromFile, tmAutoFilterSaveToFile, tmMultiSelectActive,
              tmMultiSelectRows, tmMultiSelectCols, tmMultiSelectCells, tmMultiSelectFixed)
VEL_ENUM_INFO(TVelDBGridToolMenuSubItemEx, tmSettingsLoadLayout, tmSettingsSaveLayout,
              tmSettingsLoad, tmSettingsSave, tmSettingsEraseFromFile, tmSettingsLoadFromFile,
              tmSettingsSaveToFile, tmSettingsEraseFromRegistry, tmSettingsLoadFromRegistry,
              tmSettingsSaveToRegistry)

TVelDBGridToolMenuItems DefaultToolMenuItems() {
    using enum TVelDBGridToolMenuItem;
    return {tmOpen,        tmRefresh,     tmColumns,  tmAutoFilter, tmMultiSelect,
            tmSelectedRow, tmStripedRows, tmTreeView, tmSettings,   tmClose};
}

TVelDBGridToolMenuSubItems DefaultToolMenuSubItems() {
    return TVelDBGridToolMenuSubItems::FromMask((1u << 22) - 1);
}

TVelDBGridToolMenuSubItemsEx DefaultToolMenuSubItemsEx() {
    return TVelDBGridToolMenuSubItemsEx::FromMask((1u << 10) - 1);
}

// Registration order is reading order: the option sets come before the colours (whose
// setters keep DrawingOptions in step), the data source before the field lists.
VEL_PUBLISHED(TVelDBGrid) {
    // Data and sub-objects.
    Prop("DataSource", &T::GetDataSource, &T::SetDataSource);
    Prop("ReadOnly", &T::GetReadOnly, &T::SetReadOnly, false);
    Prop("DetailFields", &T::GetDetailFields, &T::SetDetailFields);
    Prop("KeyFields", &T::GetKeyFields, &T::SetKeyFields);
    Prop("MasterGrid", &T::GetMasterGrid, &T::SetMasterGrid);
    // Columns and OrderFields are written by DefineProperties.
    Prop("OrderFields", &T::GetOrderFields, &T::SetOrderFields).Stored(false);
    Prop("Filter", &T::GetFilter, &T::SetFilter);
    Prop("Filtered", &T::GetFiltered, &T::SetFiltered).NoDefault();
    Prop("FilterGrid", &T::GetFilterGrid, &T::SetFilterGrid);
    Prop("Search", &T::GetSearch, &T::SetSearch);
    Prop("Settings", &T::GetSettings, &T::SetSettings);
    Prop("Totals", &T::GetTotals, &T::SetTotals);
    Prop("TreeView", &T::GetTreeView, &T::SetTreeView);
    Prop("DragRows", &T::GetDragRows, &T::SetDragRows, false);

    // Options.
    Prop("Options", &T::GetOptions, &T::SetOptions, DefaultVelDBGridOptions());
    Prop("OptionsEx", &T::GetOptionsEx, &T::SetOptionsEx, DefaultVelDBGridOptionsEx());
    Prop("OptionsExt", &T::GetOptionsExt, &T::SetOptionsExt, DefaultVelDBGridOptionsExt());
    // Follows from the colours; never written.
    Prop("DrawingOptions", &T::GetDrawingOptions, &T::SetDrawingOptions).Stored(false);
    Prop("HintOptions", &T::GetHintOptions, &T::SetHintOptions, DefaultVelHintOptions());
    Prop("ResizeOptions", &T::GetResizeOptions, &T::SetResizeOptions, DefaultVelResizeOptions());
    Prop("MultiSelectOptions", &T::GetMultiSelectOptions, &T::SetMultiSelectOptions,
         DefaultMultiSelectOptions());
    Prop("SystemStyleElements", &T::GetSystemStyleElements, &T::SetSystemStyleElements,
         DefaultSystemStyleElements());
    Prop("ToolMenuItems", &T::GetToolMenuItems, &T::SetToolMenuItems, DefaultToolMenuItems());
    Prop("ToolMenuSubItems", &T::GetToolMenuSubItems, &T::SetToolMenuSubItems,
         DefaultToolMenuSubItems());
    Prop("ToolMenuSubItemsEx", &T::GetToolMenuSubItemsEx, &T::SetToolMenuSubItemsEx,
         DefaultToolMenuSubItemsEx());
    Prop("DefaultDrawing", &T::GetDefaultDrawing, &T::SetDefaultDrawing, true);

    // Layout and sizing.
    Prop("FixedCols", &T::GetFixedCols, &T::SetFixedCols, 0);
    Prop("IndicatorWidth", &T::GetIndicatorWidth, &T::SetIndicatorWidth, 20);
    Prop("HeaderLinesCount", &T::GetHeaderLinesCount, &T::SetHeaderLinesCount, 1);
    Prop("TitleLinesCount", &T::GetTitleLinesCount, &T::SetTitleLinesCount, 1);
    Prop("LinesCountMin", &T::GetLinesCountMin, &T::SetLinesCountMin, 1);
    Prop("LinesCountMax", &T::GetLinesCountMax, &T::SetLinesCountMax, -1);
    Prop("LinesCount", &T::GetLinesCount, &T::SetLinesCount, 1);
    Prop("DefaultWidthMin", &T::GetDefaultWidthMin, &T::SetDefaultWidthMin, -1);
    Prop("DefaultWidthMax", &T::GetDefaultWidthMax, &T::SetDefaultWidthMax, -1);
    Prop("StretchMode", &T::GetStretchMode, &T::SetStretchMode, false);
    Prop("StretchWidthMin", &T::GetStretchWidthMin, &T::SetStretchWidthMin, -1);
    Prop("StretchWidthMax", &T::GetStretchWidthMax, &T::SetStretchWidthMax, -1);
    Prop("GridLineWidth", &T::GetGridLineWidth, &T::SetGridLineWidth, 1);
    Prop("ScrollBars", &T::GetScrollBars, &T::SetScrollBars, TScrollStyle::ssBoth);
    Prop("ScrollProp", &T::GetScrollProp, &T::SetScrollProp);
    Prop("WheelScrollRows", &T::GetWheelScrollRows, &T::SetWheelScrollRows, 0);

    // Colours, fonts and looks. The inherited Color and ParentColor get the grid's defaults.
    Prop("ParentColor", &T::GetParentColor, &T::SetParentColor, false);
    Color("Color", &T::GetColor, &T::SetColor, clWindow);
    Color("FixedColor", &T::GetFixedColor, &T::SetFixedColor, clBtnFace);
    Prop("TitleFont", &T::GetTitleFont, &T::SetTitleFont);
    Color("HeaderColor", &T::GetHeaderColor, &T::SetHeaderColor);
    Prop("HeaderFont", &T::GetHeaderFont, &T::SetHeaderFont);
    Color("DataColLineColor", &T::GetDataColLineColor, &T::SetDataColLineColor, clDefault);
    Color("DataRowLineColor", &T::GetDataRowLineColor, &T::SetDataRowLineColor, clDefault);
    Color("HighlightText", &T::GetHighlightText, &T::SetHighlightText, clDefault);
    Color("SelectCellColor", &T::GetSelectCellColor, &T::SetSelectCellColor, clDefault);
    Color("SelectionColor", &T::GetSelectionColor, &T::SetSelectionColor, clDefault);
    Color("SelectRowColor", &T::GetSelectRowColor, &T::SetSelectRowColor, clDefault);
    Color("StripeColor", &T::GetStripeColor, &T::SetStripeColor, clNone);
    Color("EditorColor", &T::GetEditorColor, &T::SetEditorColor, clNone);
    Prop("FixedStyle", &T::GetFixedStyle, &T::SetFixedStyle, TFixedStyle::fsDefault);
    Prop("FixedTheme", &T::GetFixedTheme, &T::SetFixedTheme, TFixedTheme::ftDefault);
    Prop("FocusRect", &T::GetFocusRect, &T::SetFocusRect, TFocusRect::frAuto);
    Prop("HotButtons", &T::GetHotButtons, &T::SetHotButtons, THotButtons::hbAuto);
    Prop("ListBorder", &T::GetListBorder, &T::SetListBorder, TListBorder::lbAuto);
    Prop("MarkerStyle", &T::GetMarkerStyle, &T::SetMarkerStyle, TMarkerStyle::msAuto);
    Prop("MarkerTransparent", &T::GetMarkerTransparent, &T::SetMarkerTransparent,
         TMarkerTransparent::mtAuto);
    Prop("GridStyle", &T::GetGridStyle, &T::SetGridStyle);
    Prop("Gradient", &T::GetGradient, &T::SetGradient);
    Prop("TitleImages", &T::GetTitleImages, &T::SetTitleImages);
    Prop("TitleMarkers", &T::GetTitleMarkers, &T::SetTitleMarkers);
    Prop("DrawingStyle", &T::GetDrawingStyle, &T::SetDrawingStyle);
    Prop("Ctl3DAuto", &T::GetCtl3DAuto, &T::SetCtl3DAuto, true);
    Prop("ParentCtl3D", &T::GetParentCtl3D, &T::SetParentCtl3D, true);
    Prop("Ctl3D", &T::GetCtl3D, &T::SetCtl3D).Stored(&T::IsCtl3DStored);
    Prop("BorderStyle", &T::GetBorderStyle, &T::SetBorderStyle, TBorderStyle::bsSingle);

    // Filler and indicator cells, menus.
    Prop("FillerButton", &T::GetFillerButton, &T::SetFillerButton, true);
    Color("FillerColor", &T::GetFillerColor, &T::SetFillerColor);
    Prop("FillerHint", &T::GetFillerHint, &T::SetFillerHint);
    Prop("FillerIndex", &T::GetFillerIndex, &T::SetFillerIndex, -7);
    Prop("FillerPopupMenu", &T::GetFillerPopupMenu, &T::SetFillerPopupMenu);
    Prop("FillerToolMenu", &T::GetFillerToolMenu, &T::SetFillerToolMenu, false);
    Prop("IndicatorHint", &T::GetIndicatorHint, &T::SetIndicatorHint);
    Prop("IndicatorImages", &T::GetIndicatorImages, &T::SetIndicatorImages);
    Prop("IndicatorPopupMenu", &T::GetIndicatorPopupMenu, &T::SetIndicatorPopupMenu);
    Prop("PopupToolMenu", &T::GetPopupToolMenu, &T::SetPopupToolMenu, false);
    Prop("ParentCustomHint", &T::GetParentCustomHint, &T::SetParentCustomHint, true);
    Prop("CustomHint", &T::GetCustomHint, &T::SetCustomHint);

    // Inherited control properties with the grid's own defaults.
    Prop("ParentDoubleBuffered", &T::GetParentDoubleBuffered, &T::SetParentDoubleBuffered)
        .Stored(false);
    Prop("DoubleBuffered", &T::GetDoubleBuffered, &T::SetDoubleBuffered, true);
    Prop("TabStop", &T::GetTabStop, &T::SetTabStop, true);

    Prop("Columns", &T::GetColumns, &T::SetColumns).Stored(false);
}

// Defined properties follow the published ones, so the columns come last: their defaults read
// the grid's colours and fonts.
void TVelCustomDBGrid::DefineProperties(TFiler& Filer) {
    TCustomGrid::DefineProperties(Filer);
    Filer.DefineProperty(
        "Columns", [this](TReader& Reader) { Reader.ReadCollection(FColumns); },
        [this](TWriter& Writer) { Writer.WriteCollection(FColumns); }, IsColumnsStored());
    Filer.DefineProperty(
        "OrderFields", [](TReader& Reader) { Reader.ReadString(); },
        [this](TWriter& Writer) { Writer.WriteString(FOrderFields); }, !FOrderFields.empty());
}

}  // namespace vel
