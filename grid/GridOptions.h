#pragma once
// The grid's option sets: bit i of a set is the i-th value, so the masks match what forms
// and settings texts store.
#include "platform/classes/PropAccess.h"
#include "platform/rtl/TSet.h"

namespace vel {

enum class TVelDBGridOption {
    dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines,
    dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit,
    dgMultiSelect, dgExtendedSelect, dgInternalSelect, dgRowResize, dgRowScroll, dgHotButtons,
    dgTitleButtons, dgTitleHeaders, dgTitleWidthOff, dgAllowDeleteOff, dgAllowInsertOff,
    dgAutoUnselectOff, dgIndicatorMarkOff, dgMarkerAutoAlign, dgMarkerAutoSwitch,
    dgMarkerAutoToggle, dgMarkerAscendOnly, dgForceSequence, dgThumbTracking, dgRightMoving
};
VEL_DECLARE_ENUM_INFO(TVelDBGridOption)
using TVelDBGridOptions = TSet<TVelDBGridOption>;

enum class TVelDBGridOptionEx {
    dgBlankRow, dgTotalHeader, dgTotalValues, dgTotalFields, dgTotalFooter, dgTotalColLines,
    dgTotalHeaderBox, dgTotalValuesBox, dgTotalFieldsBox, dgTotalFooterBox, dgTotalDataBoxOnly,
    dgLoadCurrentOrder, dgAutoUpdateOrder, dgAutoAscendOrder, dgAutoKeepSelection,
    dgAutoUpdateSequence, dgDelayUpdateSequence, dgAutoUpdateTotals, dgDelayUpdateTotals,
    dgCalcInvisibleRows, dgCalcWholeDataSet, dgCalcSelectedRows, dgDelaySelectedRows,
    dgTotalHeaderSelected, dgTotalValuesSelected, dgTotalFooterSelected, dgSelectedAutoHidden,
    dgClickSelectOff, dgShowEditorByCharOff
};
VEL_DECLARE_ENUM_INFO(TVelDBGridOptionEx)
using TVelDBGridOptionsEx = TSet<TVelDBGridOptionEx>;

enum class TVelDBGridOptionExt {
    dgAutoNumberColumn, dgAutoSelectColumn, dgAutoExpandColumn, dgAutoUpdateListItems,
    dgDelayUpdateListItems, dgGridStyleLists, dgMouseScrolling, dgMouseTracking,
    dgMarkerClearAllowed, dgScrollGridMode, dgScrollPageMode, dgScrollRowsMode,
    dgForceSystemTheme, dgForceSystemButton, dgForceSystemMarker, dgForceCustomized,
    dgScaleByParentFont, dgIncrementalList
};
VEL_DECLARE_ENUM_INFO(TVelDBGridOptionExt)
using TVelDBGridOptionsExt = TSet<TVelDBGridOptionExt>;

// Each value mirrors one optional colour: on exactly when that colour is not clNone.
enum class TGridDrawingOption {
    gdoHighlightText, gdoDataColLines, gdoDataRowLines, gdoSelectedCell, gdoSelectedRow,
    gdoMultiSelected, gdoTotalSelected, gdoStripedRows, gdoEditorColor
};
VEL_DECLARE_ENUM_INFO(TGridDrawingOption)
using TGridDrawingOptions = TSet<TGridDrawingOption>;

enum class TVelHintOption {
    hoTitleHints, hoShowTitleHints, hoEditorHints, hoShowEditorHints, hoShowToolTips,
    hoKeepShowToolTips, hoAlwaysShowToolTips, hoDataHints, hoShowDataHints,
    hoAllowForGraphics, hoTotalHints, hoShowTotalHints, hoShowTotalToolTips
};
VEL_DECLARE_ENUM_INFO(TVelHintOption)
using TVelHintOptions = TSet<TVelHintOption>;

enum class TVelResizeOption { roColumnResize, roOptimalWidth, roDefaultWidth, roColumnMoving };
VEL_DECLARE_ENUM_INFO(TVelResizeOption)
using TVelResizeOptions = TSet<TVelResizeOption>;

// TMultiSelect (the current mode) uses msNone..msCells; TMultiSelectOption all five.
enum class TMultiSelection { msNone, msRows, msCols, msCells, msFixed };
VEL_DECLARE_ENUM_INFO(TMultiSelection)
using TMultiSelect = TMultiSelection;
using TMultiSelectOption = TMultiSelection;
using TMultiSelectOptions = TSet<TMultiSelectOption>;

enum class TSystemStyleElement {
    sseFixed, sseText, sseButton, sseMarker, sseData, sseFont, sseClient, sseSearch
};
VEL_DECLARE_ENUM_INFO(TSystemStyleElement)
using TSystemStyleElements = TSet<TSystemStyleElement>;

TVelDBGridOptions DefaultVelDBGridOptions();
TVelDBGridOptionsEx DefaultVelDBGridOptionsEx();
TVelDBGridOptionsExt DefaultVelDBGridOptionsExt();
// The drawing bits of the colours that start as clDefault (the first seven values).
TGridDrawingOptions DefaultGridDrawingOptions();
TVelHintOptions DefaultVelHintOptions();
TVelResizeOptions DefaultVelResizeOptions();
TMultiSelectOptions DefaultMultiSelectOptions();
TSystemStyleElements DefaultSystemStyleElements();

// Option values that run a layout, invalidate the editor, re-stretch, re-frame the border or
// update the sort markers when they change.
TVelDBGridOptions LayoutOptions();
TVelDBGridOptions EditorOptions();
TVelDBGridOptions StretchOptions();
TVelDBGridOptions BorderOptions();
TVelDBGridOptions MarkerOptions();

// Rules that hold for every stored value of the sets, whatever the grid's state.
TVelDBGridOptions NormalizeOptions(TVelDBGridOptions Value);
TVelDBGridOptionsEx NormalizeOptionsEx(TVelDBGridOptionsEx Value);
TVelResizeOptions NormalizeResizeOptions(TVelResizeOptions Value);

}  // namespace vel
