#include "grid/GridOptions.h"

namespace vel {

VEL_ENUM_INFO(TVelDBGridOption, dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator,
              dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect,
              dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgMultiSelect,
              dgExtendedSelect, dgInternalSelect, dgRowResize, dgRowScroll, dgHotButtons,
              dgTitleButtons, dgTitleHeaders, dgTitleWidthOff, dgAllowDeleteOff,
              dgAllowInsertOff, dgAutoUnselectOff, dgIndicatorMarkOff, dgMarkerAutoAlign,
              dgMarkerAutoSwitch, dgMarkerAutoToggle, dgMarkerAscendOnly, dgForceSequence,
              dgThumbTracking, dgRightMoving)

VEL_ENUM_INFO(TVelDBGridOptionEx, dgBlankRow, dgTotalHeader, dgTotalValues, dgTotalFields,
              dgTotalFooter, dgTotalColLines, dgTotalHeaderBox, dgTotalValuesBox,
              dgTotalFieldsBox, dgTotalFooterBox, dgTotalDataBoxOnly, dgLoadCurrentOrder,
              dgAutoUpdateOrder, dgAutoAscendOrder, dgAutoKeepSelection, dgAutoUpdateSequence,
              dgDelayUpdateSequence, dgAutoUpdateTotals, dgDelayUpdateTotals,
              dgCalcInvisibleRows, dgCalcWholeDataSet, dgCalcSelectedRows, dgDelaySelectedRows,
              dgTotalHeaderSelected, dgTotalValuesSelected, dgTotalFooterSelected,
              dgSelectedAutoHidden, dgClickSelectOff, dgShowEditorByCharOff)

VEL_ENUM_INFO(TVelDBGridOptionExt, dgAutoNumberColumn, dgAutoSelectColumn, dgAutoExpandColumn,
              dgAutoUpdateListItems, dgDelayUpdateListItems, dgGridStyleLists,
              dgMouseScrolling, dgMouseTracking, dgMarkerClearAllowed, dgScrollGridMode,
              dgScrollPageMode, dgScrollRowsMode, dgForceSystemTheme, dgForceSystemButton,
              dgForceSystemMarker, dgForceCustomized, dgScaleByParentFont, dgIncrementalList)

VEL_ENUM_INFO(TGridDrawingOption, gdoHighlightText, gdoDataColLines, gdoDataRowLines,
              gdoSelectedCell, gdoSelectedRow, gdoMultiSelected, gdoTotalSelected,
              gdoStripedRows, gdoEditorColor)

VEL_ENUM_INFO(TVelHintOption, hoTitleHints, hoShowTitleHints, hoEditorHints,
              hoShowEditorHints, hoShowToolTips, hoKeepShowToolTips, hoAlwaysShowToolTips,
              hoDataHints, hoShowDataHints, hoAllowForGraphics, hoTotalHints,
              hoShowTotalHints, hoShowTotalToolTips)

VEL_ENUM_INFO(TVelResizeOption, roColumnResize, roOptimalWidth, roDefaultWidth, roColumnMoving)

VEL_ENUM_INFO(TMultiSelection, msNone, msRows, msCols, msCells, msFixed)

VEL_ENUM_INFO(TSystemStyleElement, sseFixed, sseText, sseButton, sseMarker, sseData, sseFont,
              sseClient, sseSearch)

TVelDBGridOptions DefaultVelDBGridOptions() {
    using enum TVelDBGridOption;
    return {dgEditing,         dgTitles,          dgIndicator,      dgColumnResize,
            dgColLines,        dgRowLines,        dgTabs,           dgConfirmDelete,
            dgCancelOnExit,    dgExtendedSelect,  dgInternalSelect, dgRowResize,
            dgRowScroll,       dgHotButtons,      dgTitleButtons,   dgTitleHeaders,
            dgTitleWidthOff,   dgMarkerAutoAlign, dgMarkerAutoToggle};
}

TVelDBGridOptionsEx DefaultVelDBGridOptionsEx() {
    using enum TVelDBGridOptionEx;
    return {dgTotalHeaderBox,      dgTotalValuesBox,      dgTotalFieldsBox,
            dgTotalFooterBox,      dgAutoAscendOrder,     dgAutoUpdateSequence,
            dgDelayUpdateSequence, dgAutoUpdateTotals,    dgDelayUpdateTotals,
            dgCalcWholeDataSet,    dgCalcSelectedRows,    dgDelaySelectedRows,
            dgSelectedAutoHidden};
}

TVelDBGridOptionsExt DefaultVelDBGridOptionsExt() {
    using enum TVelDBGridOptionExt;
    return {dgAutoUpdateListItems, dgDelayUpdateListItems, dgGridStyleLists,
            dgMouseScrolling,      dgForceSystemButton,    dgForceSystemMarker};
}

TGridDrawingOptions DefaultGridDrawingOptions() {
    using enum TGridDrawingOption;
    return {gdoHighlightText, gdoDataColLines,  gdoDataRowLines, gdoSelectedCell,
            gdoSelectedRow,   gdoMultiSelected, gdoTotalSelected};
}

TVelHintOptions DefaultVelHintOptions() {
    using enum TVelHintOption;
    return {hoTitleHints, hoShowTitleHints, hoEditorHints, hoShowToolTips, hoShowTotalToolTips};
}

TVelResizeOptions DefaultVelResizeOptions() {
    using enum TVelResizeOption;
    return {roColumnResize, roOptimalWidth, roDefaultWidth, roColumnMoving};
}

TMultiSelectOptions DefaultMultiSelectOptions() { return {TMultiSelection::msRows}; }

TSystemStyleElements DefaultSystemStyleElements() {
    using enum TSystemStyleElement;
    return {sseFixed, sseText, sseButton, sseMarker, sseData};
}

TVelDBGridOptions LayoutOptions() {
    using enum TVelDBGridOption;
    return {dgEditing,          dgAlwaysShowEditor, dgTitles,           dgIndicator,
            dgColLines,         dgRowLines,         dgRowSelect,        dgAlwaysShowSelection,
            dgMultiSelect,      dgInternalSelect,   dgTitleHeaders,     dgTitleWidthOff,
            dgIndicatorMarkOff, dgMarkerAutoAlign,  dgForceSequence};
}

TVelDBGridOptions EditorOptions() {
    using enum TVelDBGridOption;
    return {dgTitles, dgIndicator, dgColLines, dgRowLines, dgTitleHeaders, dgTitleWidthOff};
}

TVelDBGridOptions StretchOptions() {
    using enum TVelDBGridOption;
    return {dgIndicator, dgColLines, dgTitleWidthOff};
}

TVelDBGridOptions BorderOptions() {
    using enum TVelDBGridOption;
    return {dgColLines, dgRowLines};
}

TVelDBGridOptions MarkerOptions() {
    using enum TVelDBGridOption;
    return {dgMarkerAutoSwitch, dgMarkerAutoToggle, dgMarkerAscendOnly};
}

TVelDBGridOptions NormalizeOptions(TVelDBGridOptions Value) {
    using enum TVelDBGridOption;
    // A selected row has no current cell to edit.
    if (Value.Contains(dgRowSelect)) Value -= TVelDBGridOptions{dgEditing, dgAlwaysShowEditor};
    return Value;
}

TVelDBGridOptionsEx NormalizeOptionsEx(TVelDBGridOptionsEx Value) {
    using enum TVelDBGridOptionEx;
    // Total rows sit below the blank row.
    if (!(Value * TVelDBGridOptionsEx{dgTotalHeader, dgTotalValues, dgTotalFields,
                                      dgTotalFooter})
             .Empty())
        Value += dgBlankRow;
    // Rows shown only for a selection cannot also count the selection into the whole totals.
    if (!(Value * TVelDBGridOptionsEx{dgTotalHeaderSelected, dgTotalValuesSelected,
                                      dgTotalFooterSelected})
             .Empty())
        Value -= dgCalcSelectedRows;
    return Value;
}

TVelResizeOptions NormalizeResizeOptions(TVelResizeOptions Value) {
    using enum TVelResizeOption;
    if (!Value.Contains(roColumnResize))
        Value -= TVelResizeOptions{roOptimalWidth, roDefaultWidth};
    return Value;
}

}  // namespace vel
