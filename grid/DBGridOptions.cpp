// TVelCustomDBGrid: the option sets, what a change of each does, and the optional colours
// that DrawingOptions mirrors.
#include "graphics/PimkitGraph.h"
#include "grid/DBGrid.h"
#include "platform/controls/SystemProfile.h"

namespace vel {

namespace {
template <class S>
S Switched(S Current, S Value, bool On) {
    return On ? Current + Value : Current - Value;
}
template <class S>
bool Touches(S Old, S New, S Group) {
    return !((Old * Group) == (New * Group));
}
}  // namespace

void TVelCustomDBGrid::ApplyBaseOptions() {
    using enum TVelDBGridOption;
    using enum TGridOption;
    // Fixed lines show only where plain lines would vanish into a custom style or a wide line.
    const bool fixedLines = SystemProfile().CustomStyleActive || GetGridLineWidth() > 1;
    TGridOptions o;
    if (FOptions.Contains(dgColLines)) {
        o += goVertLine;
        if (fixedLines) o += goFixedVertLine;
    }
    if (FOptions.Contains(dgRowLines)) {
        o += goHorzLine;
        if (fixedLines) o += goFixedHorzLine;
    }
    if (FOptions.Contains(dgColumnResize)) o += TGridOptions{goColSizing, goColMoving};
    if (FOptions.Contains(dgRowResize)) o += goRowSizing;
    if (FOptions.Contains(dgTabs)) o += goTabs;
    if (FOptions.Contains(dgRowSelect)) o += goRowSelect;
    if (FOptions.Contains(dgEditing)) o += goEditing;
    if (FOptions.Contains(dgAlwaysShowEditor)) o += goAlwaysShowEditor;
    if (FOptions.Contains(dgThumbTracking)) o += goThumbTracking;
    TCustomGrid::SetOptions(o);
}

void TVelCustomDBGrid::SetOptions(TVelDBGridOptions Value) {
    using enum TVelDBGridOption;
    Value = NormalizeOptions(Value);
    if (Value == FOptions) return;
    const TVelDBGridOptions old = FOptions;
    if (old.Contains(dgMultiSelect) && !Value.Contains(dgMultiSelect))
        ClearSelection();
    else if (!old.Contains(dgRowSelect) && Value.Contains(dgRowSelect) && GetColsSelected())
        ClearSelection();
    FOptions = Value;
    UpdateMultiSelect();
    ApplyBaseOptions();
    if (Touches(old, Value, TVelDBGridOptions{dgForceSequence}) && !IsLoading())
        UpdateSequenceValues(false);
    if (Touches(old, Value, LayoutOptions())) LayoutChanged();
    if (Touches(old, Value, EditorOptions())) InvalidateGridEditor();
    if (Touches(old, Value, StretchOptions())) StretchColumns();
    if (Touches(old, Value, MarkerOptions())) UpdateMarkers();
    if (Touches(old, Value, BorderOptions())) InvalidateBorder();
}

void TVelCustomDBGrid::SetOptionsEx(TVelDBGridOptionsEx Value) {
    using enum TVelDBGridOptionEx;
    // "Selected" total rows show exactly while there is a selection.
    if (!IsDesigning() && Value.Contains(dgSelectedAutoHidden)) {
        const bool selected = FTotals && FTotals->GetSelected();
        auto follow = [&](TVelDBGridOptionEx Companion, TVelDBGridOptionEx Row) {
            if (Value.Contains(Companion)) {
                if (selected)
                    Value += Row;
                else
                    Value -= Row;
            }
        };
        follow(dgTotalHeaderSelected, dgTotalHeader);
        follow(dgTotalValuesSelected, dgTotalValues);
        follow(dgTotalFooterSelected, dgTotalFooter);
    }
    if (Value == FOptionsEx) return;
    Value = NormalizeOptionsEx(Value);
    if (Value == FOptionsEx) return;
    const TVelDBGridOptionsEx old = FOptionsEx;
    FOptionsEx = Value;
    const TVelDBGridOptionsEx turnedOn = Value - old;
    const TVelDBGridOptionsEx selectedRows{dgTotalHeaderSelected, dgTotalValuesSelected,
                                           dgTotalFooterSelected};
    if (Touches(old, Value, {dgLoadCurrentOrder, dgAutoUpdateOrder, dgAutoAscendOrder}) &&
        !IsLoading())
        UpdateOrder();
    if (Touches(old, Value, {dgAutoUpdateSequence}) && !IsLoading()) UpdateSequenceValues(true);
    if (!(turnedOn *
          TVelDBGridOptionsEx{dgTotalHeader, dgTotalValues, dgTotalFooter, dgCalcInvisibleRows})
             .Empty() ||
        Touches(old, Value,
                TVelDBGridOptionsEx{dgAutoUpdateTotals, dgCalcWholeDataSet, dgCalcSelectedRows} +
                    selectedRows))
        TotalsChanged(TTotalResult::trCalcValue, nullptr);
    const TVelDBGridOptionsEx layout{dgBlankRow,       dgTotalHeader,     dgTotalValues,
                                     dgTotalFields,    dgTotalFooter,     dgTotalColLines,
                                     dgTotalHeaderBox, dgTotalValuesBox,  dgTotalFieldsBox,
                                     dgTotalFooterBox, dgTotalDataBoxOnly};
    if (Touches(old, Value, layout)) LayoutChanged();
    if (Touches(old, Value,
                {dgBlankRow, dgTotalHeader, dgTotalValues, dgTotalFields, dgTotalFooter}))
        InvalidateGridEditor();
}

void TVelCustomDBGrid::SetOptionsExt(TVelDBGridOptionsExt Value) {
    using enum TVelDBGridOptionExt;
    if (Value == FOptionsExt) return;
    const TVelDBGridOptionsExt old = FOptionsExt;
    FOptionsExt = Value;
    if (Touches(old, Value, {dgAutoUpdateListItems}) && !IsLoading()) UpdateListItems();
    // An automatic column goes with the option that made it; while a form is read the
    // columns that come with it are the form's own.
    if (!IsLoading()) FColumns->RemoveAutoColumns(old - Value);
    if (Touches(old, Value,
                {dgAutoNumberColumn, dgAutoSelectColumn, dgAutoExpandColumn, dgForceSystemTheme,
                 dgForceSystemButton, dgForceSystemMarker}))
        LayoutChanged();
    if (Touches(old, Value, {dgScrollGridMode, dgScrollPageMode})) UpdateScrollBar();
}

void TVelCustomDBGrid::SetResizeOptions(TVelResizeOptions Value) {
    FResizeOptions = NormalizeResizeOptions(Value);
}

void TVelCustomDBGrid::SetSystemStyleElements(TSystemStyleElements Value) {
    if (Value == FSystemStyleElements) return;
    FSystemStyleElements = Value;
    Invalidate();
}

namespace {
bool SystemStylesEnabled = true;
}

bool TVelCustomDBGrid::GetSystemStylesEnabled() { return SystemStylesEnabled; }
void TVelCustomDBGrid::SetSystemStylesEnabled(bool Value) { SystemStylesEnabled = Value; }

bool TVelCustomDBGrid::IsSystemStyle(TSystemStyleElements Elements) const {
    return SystemStylesEnabled && !StylesEnabled() && ThemesEnabled() && IsVista() &&
           FFixedTheme != TFixedTheme::ftNone && (FSystemStyleElements * Elements) == Elements;
}

void TVelCustomDBGrid::SwitchOptions(TVelDBGridOptions Value, bool On) {
    SetOptions(Switched(FOptions, Value, On));
}
void TVelCustomDBGrid::SwitchOptionsEx(TVelDBGridOptionsEx Value, bool On) {
    SetOptionsEx(Switched(FOptionsEx, Value, On));
}
void TVelCustomDBGrid::SwitchOptionsExt(TVelDBGridOptionsExt Value, bool On) {
    SetOptionsExt(Switched(FOptionsExt, Value, On));
}
void TVelCustomDBGrid::SwitchDrawingOptions(TGridDrawingOptions Value, bool On) {
    SetDrawingOptions(Switched(FDrawingOptions, Value, On));
}
void TVelCustomDBGrid::SwitchHintOptions(TVelHintOptions Value, bool On) {
    FHintOptions = Switched(FHintOptions, Value, On);
}
void TVelCustomDBGrid::SwitchResizeOptions(TVelResizeOptions Value, bool On) {
    SetResizeOptions(Switched(FResizeOptions, Value, On));
}
void TVelCustomDBGrid::SwitchMultiSelectOptions(TMultiSelectOptions Value, bool On) {
    SetMultiSelectOptions(Switched(FMultiSelectOptions, Value, On));
}
void TVelCustomDBGrid::SwitchSystemStyleElements(TSystemStyleElements Value, bool On) {
    SetSystemStyleElements(Switched(FSystemStyleElements, Value, On));
}
void TVelCustomDBGrid::SwitchStyleElements(TStyleElements Value, bool On) {
    SetStyleElements(Switched(GetStyleElements(), Value, On));
}

// ---- Optional colours: a drawing bit is on exactly while its colour is not clNone.

TColor* TVelCustomDBGrid::ColorOfDrawingOption(TGridDrawingOption Option) {
    switch (Option) {
        case TGridDrawingOption::gdoHighlightText:
            return &FHighlightText;
        case TGridDrawingOption::gdoDataColLines:
            return &FDataColLineColor;
        case TGridDrawingOption::gdoDataRowLines:
            return &FDataRowLineColor;
        case TGridDrawingOption::gdoSelectedCell:
            return &FSelectCellColor;
        case TGridDrawingOption::gdoSelectedRow:
            return &FSelectRowColor;
        case TGridDrawingOption::gdoMultiSelected:
            return &FSelectionColor;
        case TGridDrawingOption::gdoTotalSelected:
            return nullptr;  // the totals' colour
        case TGridDrawingOption::gdoStripedRows:
            return &FStripeColor;
        case TGridDrawingOption::gdoEditorColor:
            return &FEditorColor;
    }
    return nullptr;
}

void TVelCustomDBGrid::SetDrawingOption(TGridDrawingOption Option, bool On) {
    TGridDrawingOptions v = FDrawingOptions;
    if (On)
        v += Option;
    else
        v -= Option;
    if (v == FDrawingOptions) return;
    FDrawingOptions = v;
    Invalidate();
}

void TVelCustomDBGrid::SetTotalSelectedColor(TColor Value) {
    if (FTotals) FTotals->FSelectedColor = Value;
}

void TVelCustomDBGrid::SetDrawingOptions(TGridDrawingOptions Value) {
    if (Value == FDrawingOptions) return;
    const TGridDrawingOptions changed = (Value - FDrawingOptions) + (FDrawingOptions - Value);
    FDrawingOptions = Value;
    for (int i = 0; i <= int(TGridDrawingOption::gdoEditorColor); ++i) {
        const auto o = static_cast<TGridDrawingOption>(i);
        if (!changed.Contains(o)) continue;
        const TColor c = Value.Contains(o) ? clDefault : clNone;
        if (TColor* field = ColorOfDrawingOption(o))
            *field = c;
        else
            SetTotalSelectedColor(c);
    }
    if (changed.Contains(TGridDrawingOption::gdoEditorColor)) InvalidateGridEditor();
    Invalidate();
}

void TVelCustomDBGrid::SetColorBit(TColor& Field, TColor Value, TGridDrawingOption Bit) {
    if (Value == Field) return;
    Field = Value;
    SetDrawingOption(Bit, Value != clNone);
    Invalidate();
}

void TVelCustomDBGrid::SetDataColLineColor(TColor Value) {
    SetColorBit(FDataColLineColor, Value, TGridDrawingOption::gdoDataColLines);
}
void TVelCustomDBGrid::SetDataRowLineColor(TColor Value) {
    SetColorBit(FDataRowLineColor, Value, TGridDrawingOption::gdoDataRowLines);
}
void TVelCustomDBGrid::SetHighlightText(TColor Value) {
    SetColorBit(FHighlightText, Value, TGridDrawingOption::gdoHighlightText);
}
void TVelCustomDBGrid::SetSelectCellColor(TColor Value) {
    SetColorBit(FSelectCellColor, Value, TGridDrawingOption::gdoSelectedCell);
}
void TVelCustomDBGrid::SetSelectionColor(TColor Value) {
    SetColorBit(FSelectionColor, Value, TGridDrawingOption::gdoMultiSelected);
}
void TVelCustomDBGrid::SetSelectRowColor(TColor Value) {
    SetColorBit(FSelectRowColor, Value, TGridDrawingOption::gdoSelectedRow);
}
void TVelCustomDBGrid::SetStripeColor(TColor Value) {
    SetColorBit(FStripeColor, Value, TGridDrawingOption::gdoStripedRows);
}
void TVelCustomDBGrid::SetEditorColor(TColor Value) {
    const bool changed = Value != FEditorColor;
    SetColorBit(FEditorColor, Value, TGridDrawingOption::gdoEditorColor);
    if (changed) InvalidateGridEditor();
}

}  // namespace vel
