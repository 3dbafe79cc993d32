#pragma once
// The grid's columns: TVelColumn (one column bound to a field by name, or to none),
// TVelColumnTitle (its title cell) and TVelDBGridColumns (the grid's collection).
//
// Properties that default from the field or the grid keep a bit in the column's assigned
// values: such a property reads its own value only while its bit is set, so the default
// follows later changes of the field or the grid.
#include <cstdint>
#include <string>
#include <vector>

#include "grid/GridFilter.h"
#include "grid/GridOptions.h"
#include "platform/classes/Alignment.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/PropAccess.h"
#include "platform/controls/StdEdit.h"
#include "platform/db/DBTypes.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/TSet.h"

namespace vel {

class TField;
class TPopupMenu;
class TDataSet;
class TStrings;
class TStringList;
class TStream;
class TCustomImageList;
class TVelCustomDBGrid;
class TVelDBGridColumns;

enum class TVelColumnValue {
    cvColor,
    cvWidth,
    cvFont,
    cvAlignment,
    cvReadOnly,
    cvTitleColor,
    cvTitleCaption,
    cvTitleAlignment,
    cvTitleFont,
    cvImeMode,
    cvImeName,
    cvTotalColor,
    cvTotalCaption,
    cvTotalAlignment,
    cvTotalFont
};
VEL_DECLARE_ENUM_INFO(TVelColumnValue)
using TVelColumnValues = TSet<TVelColumnValue>;

enum class TDBGridColumnsState { csDefault, csCustomized };
VEL_DECLARE_ENUM_INFO(TDBGridColumnsState)

enum class TVelColumnButtonStyle {
    cbsAuto,
    cbsEllipsis,
    cbsNone,
    cbsDropDown,
    cbsDropDownMenu,
    cbsCalendar,
    cbsCalculator
};
VEL_DECLARE_ENUM_INFO(TVelColumnButtonStyle)

enum class TVelColumnExpandStyle {
    cesAuto,
    cesNone,
    cesDropDown,
    cesDropDownMenu,
    cesFilterList,
    cesFilterForm
};
VEL_DECLARE_ENUM_INFO(TVelColumnExpandStyle)

enum class TVAlignment { tvTopJustify, tvBottomJustify, tvCenter };
VEL_DECLARE_ENUM_INFO(TVAlignment)

enum class TCheckBoxStyle {
    cbAuto,
    cbAutoGray,
    cbAutoLowered,
    cbDefault,
    cbSoft,
    cbLoweredDark,
    cbLoweredGray,
    cbLoweredMild,
    cbFlat,
    cbGray,
    cbMild
};
VEL_DECLARE_ENUM_INFO(TCheckBoxStyle)

enum class TMarker { tmNone, tmAscend, tmDescend };
VEL_DECLARE_ENUM_INFO(TMarker)

enum class TDialogOption { doShowColumn, doItemEnabled };
VEL_DECLARE_ENUM_INFO(TDialogOption)
using TDialogOptions = TSet<TDialogOption>;

enum class TImageDraw {
    idAlignment,
    idOpposite,
    idCenter,
    idScaled,
    idStretch,
    idTileCell,
    idTileGrid,
    idTileCol,
    idTileRow
};
VEL_DECLARE_ENUM_INFO(TImageDraw)
enum class TCheckBoxKind { ckCheck, ckCross, cbBox };
VEL_DECLARE_ENUM_INFO(TCheckBoxKind)
enum class TCheckBoxToggle { ctCustomToggle, ctKeyPressOnly, ctOnCellClick, ctSelectClick };
VEL_DECLARE_ENUM_INFO(TCheckBoxToggle)
enum class TExpandBoxToggle { etCustomToggle, etKeyPressOnly, etOnCellClick, etSelectClick };
VEL_DECLARE_ENUM_INFO(TExpandBoxToggle)
enum class TExpandBoxSize { ebSmall, ebMedium, ebLarge };
VEL_DECLARE_ENUM_INFO(TExpandBoxSize)
enum class TToolTipsWidth { ttAutoWidth, ttFixedWidth };
VEL_DECLARE_ENUM_INFO(TToolTipsWidth)
enum class TCalendarDepth { cdMonth, cdYear, cdDecade, cdCentury };
VEL_DECLARE_ENUM_INFO(TCalendarDepth)
enum class TMultiSelectText { mstDefault, mstEllipsis };
VEL_DECLARE_ENUM_INFO(TMultiSelectText)

enum class TVelListOption {
    loAutoComplete,
    loAutoDropDown,
    loAutoCloseEditor,
    loSelectNextValue,
    loAllowClearValue,
    loShowToday,
    loShowTodayCircle,
    loShowWeekNumbers,
    loAutoTodayClose,
    loBoldSundays,
    loShowImages,
    loShowLookupListTitles,
    loAllowAdjustOrder,
    loAllowChangeOrder,
    loAllowColumnResize,
    loAllowColumnMoving,
    loExpandFirstColumn,
    loFirstColumnExpanded,
    loMultiSelectList,
    loAutoApplyList,
    loTreeViewCellExpand,
    loIncrementalList
};
VEL_DECLARE_ENUM_INFO(TVelListOption)
using TVelListOptions = TSet<TVelListOption>;
enum class TVelPickOption {
    poDropDownList,
    poListItemsOnly,
    poSelectPickText,
    poStoreItemIndex,
    poAcceptPickList,
    poAcceptItemIndex,
    poAutoLoadList,
    poAppendToList,
    poSortedByText,
    poFormatPickText,
    poFormatListOnly
};
VEL_DECLARE_ENUM_INFO(TVelPickOption)
using TVelPickOptions = TSet<TVelPickOption>;
TVelListOptions DefaultListOptions();
TVelPickOptions DefaultPickOptions();

// Column and title properties that are stored as set and only change what is drawn or how
// an editor or list behaves (Type, Name, default).
#define VEL_COLUMN_PLAIN_PROPS(X)                                         \
    X(TVAlignment, VAlignment, TVAlignment::tvCenter)                     \
    X(bool, WordWrap, true)                                               \
    X(bool, Ellipsis, true)                                               \
    X(bool, QuickDraw, true)                                              \
    X(bool, ShowBlob, true)                                               \
    X(bool, ShowEdit, true)                                               \
    X(bool, EditMemo, true)                                               \
    X(bool, SuppressRTL, false)                                           \
    X(bool, Transparent, false)                                           \
    X(bool, Wallpaper, false)                                             \
    X(TImageDraw, ImageDraw, TImageDraw::idCenter)                        \
    X(int, ImageMargin, 0)                                                \
    X(int, ImageOffsetX, 0)                                               \
    X(int, ImageOffsetY, 0)                                               \
    X(std::string, EditorHint, "")                                        \
    X(bool, ToolTips, true)                                               \
    X(TToolTipsWidth, ToolTipsWidth, TToolTipsWidth::ttAutoWidth)         \
    X(bool, CheckBox, false)                                              \
    X(TCheckBoxKind, CheckBoxKind, TCheckBoxKind::ckCheck)                \
    X(TCheckBoxStyle, CheckBoxStyle, TCheckBoxStyle::cbAuto)              \
    X(bool, CheckBoxThemed, false)                                        \
    X(TCheckBoxToggle, CheckBoxToggle, TCheckBoxToggle::ctOnCellClick)    \
    X(bool, ExpandBox, false)                                             \
    X(TExpandBoxSize, ExpandBoxSize, TExpandBoxSize::ebLarge)             \
    X(bool, ExpandBoxThemed, false)                                       \
    X(TExpandBoxToggle, ExpandBoxToggle, TExpandBoxToggle::etOnCellClick) \
    X(bool, ExpandBoxTree, false)                                         \
    X(int, DropDownRows, 0)                                               \
    X(int, DropDownWidth, 0)                                              \
    X(TCalendarDepth, CalendarDepth, TCalendarDepth::cdDecade)            \
    X(TVelListOptions, ListOptions, DefaultListOptions())                 \
    X(TVelPickOptions, PickOptions, DefaultPickOptions())                 \
    X(std::string, PickTextFormat, "")                                    \
    X(TMultiSelectText, MultiSelectText, TMultiSelectText::mstEllipsis)   \
    X(bool, DelimiterLine, false)                                         \
    X(std::string, DelimiterText, "")                                     \
    X(std::string, LookupParentField, "")                                 \
    X(std::string, LookupTreeViewField, "")                               \
    X(std::string, LookupListTitles, "")                                  \
    X(std::string, LookupListWidths, "")                                  \
    X(std::string, FilterText, "")                                        \
    X(TEditCharCase, CharCase, TEditCharCase::ecNormal)

#define VEL_TITLE_PLAIN_PROPS(X)                      \
    X(TVAlignment, VAlignment, TVAlignment::tvCenter) \
    X(bool, WordWrap, true)                           \
    X(bool, Ellipsis, true)                           \
    X(bool, Button, true)                             \
    X(bool, AutoToggle, true)                         \
    X(int, MarkerIndex, -1)                           \
    X(int, ImageIndex, -1)                            \
    X(std::string, Header, "")                        \
    X(std::string, HeaderHint, "")                    \
    X(bool, AutoFilter, true)                         \
    X(TFilterStyles, AutoFilters,                     \
      (TFilterStyles{TFilterStyle::fsFilterList, TFilterStyle::fsFilterForm}))

#define VEL_PLAIN_PROP_DECLARE(Type, Name, Default) \
public:                                             \
    Type Get##Name() const {                        \
        return F##Name;                             \
    }                                               \
    void Set##Name(Type Value);                     \
                                                    \
private:                                            \
    Type F##Name = Default;

class TVelColumn;

// How a column relates to a lookup (first match wins, see TVelColumn::GetLookupColumn).
enum class TVelLookupColumn {
    lcNotDefined,
    lcLookupField,
    lcLookupKeyField,
    lcLookupResultField,
    lcLookupValueField
};
VEL_DECLARE_ENUM_INFO(TVelLookupColumn)

// Widths of the automatic columns while the grid shows data.
extern int DefAutoNumberWidth;
extern int DefAutoSelectWidth;
extern int DefAutoExpandWidth;

class TVelColumnTitle : public TPersistent {
    VEL_CLASS(TVelColumnTitle)
public:
    explicit TVelColumnTitle(TVelColumn* Column);
    ~TVelColumnTitle() override;
    void Assign(const TPersistent* Source) override;

    TVelColumn* GetColumn() const { return FColumn; }
    // The display field's label (or the column's field name) until a caption is assigned.
    std::string GetCaption() const;
    virtual void SetCaption(const std::string& Value);
    bool IsCaptionStored() const;
    std::string DefaultCaption() const;
    // The grid's FixedColor until assigned.
    TColor GetColor() const;
    void SetColor(TColor Value);
    bool IsColorStored() const;
    TColor DefaultColor() const;
    TAlignment GetAlignment() const;
    void SetAlignment(TAlignment Value);
    bool IsAlignmentStored() const;
    TAlignment DefaultAlignment() const { return TAlignment::taLeftJustify; }
    // The grid's TitleFont (the column's font without a grid) until assigned.
    TFont* GetFont() const;
    void SetFont(TFont* Value);
    bool IsFontStored() const;
    TFont* DefaultFont() const;
    TMarker GetMarker() const { return FMarker; }
    void SetMarker(TMarker Value);
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    // Menus: references cleared when the menu goes.
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TPopupMenu* GetDropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);
    void SwitchAutoFilters(TFilterStyles Styles, bool On);

    // Header band: one text per header row above the title, separated by "|".
    int HeaderRowCount() const;
    std::string HeaderRows(int Row) const;
    std::string HeaderHintRows(int Row) const;
    // The nearest visible neighbour in the same group and on the same side of the fixed
    // columns whose header rows 0..Row are this title's; painting merges them into one cell.
    TVelColumn* HeaderLeft(int Row) const;
    TVelColumn* HeaderRight(int Row) const;

    virtual void RestoreDefaults();

    VEL_TITLE_PLAIN_PROPS(VEL_PLAIN_PROP_DECLARE)

protected:
    TPersistent* GetOwner() const override;

private:
    friend class TVelColumn;
    void FontChanged();
    TVelColumn* HeaderNeighbour(int Row, int Step) const;

    TVelColumn* FColumn;
    std::string FCaption;
    TFont* FFont;
    TColor FColor = clBtnFace;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TMarker FMarker = TMarker::tmNone;
    std::string FHint;
    TPopupMenu* FPopupMenu = nullptr;
    TPopupMenu* FDropDownMenu = nullptr;
};

class TVelColumn : public TCollectionItem {
    VEL_CLASS(TVelColumn)
public:
    explicit TVelColumn(TCollection* Collection);
    ~TVelColumn() override;
    void Assign(const TPersistent* Source) override;
    std::string GetDisplayName() const override;
    // Moves the column with its expansion group; a default column moves its field.
    void SetIndex(int Value) override;

    TVelCustomDBGrid* GetGrid() const;
    TVelDBGridColumns* GetColumns() const;
    TVelColumnValues GetAssignedValues() const { return FAssignedValues; }
    // A persistent column (added by hand or read); false for a column built from a field.
    bool IsStored() const { return FStored; }
    void SetStored(bool Value) { FStored = Value; }

    // ---- Field binding.
    const std::string& GetFieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    // The bound field, looked up in the grid's dataset on first use; not owned.
    TField* GetField() const;
    virtual void SetField(TField* Value);
    // The field whose text and alignment the column shows: the lookup result field for an
    // lcLookupValueField column, else the bound field.
    TField* GetDisplayField() const;

    // ---- Visibility and expansion groups.
    // Reads false while the parent column is invisible.
    bool GetVisible() const;
    void SetVisible(bool Value);
    // Reads true only for an expandable column whose own flag is set.
    bool GetExpanded() const;
    void SetExpanded(bool Value);
    // The field is an ADT or array field, or ExpandCols is set.
    bool GetExpandable() const;
    // Visible, not expanded and every ancestor expanded.
    bool GetShowing() const;
    // The last column of this column's group (itself when it has none).
    int GetExpandIndex() const;
    TVelColumn* GetParentColumn() const;
    int GetDepth() const;

    // ---- Width.
    // Negative (minus the grid's line width) while not showing, except when the grid writes
    // its columns; the assigned width, else DefaultWidth.
    int GetWidth() const;
    virtual void SetWidth(int Value);
    bool IsWidthStored() const;
    int DefaultWidth() const;
    // The width read from a form, else DefaultWidth.
    int GetDesignedWidth() const;
    // Sets the width that fits the title and the texts of the rows on screen.
    void OptimalWidth();
    // The unstretched width; outside stretching the true width (ignoring visibility).
    int GetWidthBase() const;
    void SetWidthBase(int Value);
    int GetWidthMin() const { return FWidthMin; }
    void SetWidthMin(int Value);
    int GetWidthMax() const { return FWidthMax; }
    void SetWidthMax(int Value);

    // ---- Values that default from the field or the grid.
    TColor GetColor() const;
    void SetColor(TColor Value);
    bool IsColorStored() const;
    TColor DefaultColor() const;
    TFont* GetFont() const;
    void SetFont(TFont* Value);
    bool IsFontStored() const;
    TFont* DefaultFont() const;
    TAlignment GetAlignment() const;
    virtual void SetAlignment(TAlignment Value);
    bool IsAlignmentStored() const;
    TAlignment DefaultAlignment() const;
    bool GetReadOnly() const;
    virtual void SetReadOnly(bool Value);
    bool IsReadOnlyStored() const;
    bool DefaultReadOnly() const;

    // ---- Other settings.
    TVelColumnButtonStyle GetButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TVelColumnButtonStyle Value);
    TVelColumnExpandStyle GetExpandStyle() const { return FExpandStyle; }
    void SetExpandStyle(TVelColumnExpandStyle Value) { FExpandStyle = Value; }
    int GetExpandCols() const { return FExpandCols; }
    void SetExpandCols(int Value);
    bool GetAutoNumber() const { return FAutoNumber; }
    void SetAutoNumber(bool Value);
    TDialogOptions GetDialogOptions() const { return FDialogOptions; }
    void SetDialogOptions(TDialogOptions Value) { FDialogOptions = Value; }
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    TVelColumnTitle* GetTitle() const { return FTitle; }
    void SetTitle(TVelColumnTitle* Value) { FTitle->Assign(Value); }
    char32_t GetDelimiterChar() const { return FDelimiterChar; }
    void SetDelimiterChar(char32_t Value);
    void SwitchListOptions(TVelListOptions Options, bool On);
    void SwitchPickOptions(TVelPickOptions Options, bool On);

    // References cleared by the grid's removal notification.
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TPopupMenu* GetDropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // Drops every reference to a component that goes away; true when one was held.
    virtual bool RemoveReference(TComponent* AComponent);

    // ---- Lookup settings: a lookup field supplies them; otherwise they derive from each
    // other (see the getters). Each is stored only when assigned to the column.
    TDataSet* GetLookupDataSet() const;
    void SetLookupDataSet(TDataSet* Value);
    bool IsLookupDataSetStored() const { return FLookupDataSet != nullptr; }
    std::string GetKeyField() const;
    void SetKeyField(const std::string& Value);
    bool IsKeyFieldStored() const { return !FKeyField.empty(); }
    std::string GetLookupKeyField() const;
    void SetLookupKeyField(const std::string& Value);
    bool IsLookupKeyFieldStored() const { return !FLookupKeyField.empty(); }
    std::string GetLookupResultField() const;
    void SetLookupResultField(const std::string& Value);
    bool IsLookupResultFieldStored() const { return !FLookupResultField.empty(); }
    std::string GetLookupListFields() const;
    void SetLookupListFields(const std::string& Value);
    bool IsLookupListFieldsStored() const { return !FLookupListFields.empty(); }
    TVelLookupColumn GetLookupColumn() const;

    virtual void RestoreDefaults();
    // Moves the column and the partner column of the linked grid.
    void MoveTo(int NewIndex);
    // Pushes Visible, Expanded and the width to the partner column of the linked grid.
    void Synchronize();

    // ---- Check boxes, images and editing gates.
    // Image colour treated as transparent; clNone: none.
    TColor GetTransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor Value);
    // The checked text, ";", the unchecked text. An empty value restores the default.
    const std::string& GetCheckBoxValues() const { return FCheckBoxValues; }
    void SetCheckBoxValues(const std::string& Value);
    bool IsCheckBoxValuesStored() const { return FCheckBoxValues != DefaultCheckBoxValues(); }
    static std::string DefaultCheckBoxValues();
    std::string GetCheckedText() const;
    std::string GetUncheckedText() const;
    // The current record's field text equals the checked (or unchecked) text, any case.
    bool IsCheckBoxValue(bool Checked) const;
    void ToggleCheckBoxValue();
    // Glyph or image of the current record; -1 for none.
    int GetImageIndex() const;
    virtual bool CanEditShow() const;
    virtual bool CanCellTrack() const { return GetCheckBox(); }

    // ---- Pick lists and multiple values.
    TStrings* GetPickList() const { return FPickList; }
    void SetPickList(TStrings* Value);
    TStrings* GetPickText() const { return FPickText; }
    void SetPickText(TStrings* Value);
    TStrings* GetFilterList() const { return FFilterList; }
    void SetFilterList(TStrings* Value);
    bool GetPickTextActive() const;
    // The texts the cell works with, and the texts its drop-down shows.
    TStrings* GetPickData() const;
    TStrings* GetPickDataList() const;
    bool GetPickDataActive() const;
    std::string FormatPickText(int Index) const;
    // Position of the current record's value in the pick data list; -1 when absent.
    int GetPickIndex() const;
    bool GetPickListActive() const;
    // Rebuilds the formatted pick texts (one per PickText item); a change of either list or
    // of the format drops them, and the next read rebuilds them.
    void UpdatePickData() const;
    // Every non-empty edit text of Field (the column's field when null) once, in record
    // order or sorted; with poAppendToList after the items there were. Replaces PickList and
    // drops PickText. Without a field or dataset the pick lists are dropped.
    void LoadPickList(TField* Field = nullptr, bool Sorted = false);
    // Key and text pairs of two fields of one dataset, the first pair of each key; sorted by
    // key, or by text with poSortedByText. Replaces PickList (keys) and PickText (texts).
    void LoadPickText(TField* KeyField, TField* TextField, bool Sorted = false);
    // The cell offers a calendar: a date, date-time or time-stamp field.
    bool GetCalendarActive() const;
    // The cell offers a lookup list: a lookup kind with a lookup dataset.
    bool GetLookupActive() const;

    // ---- Expand boxes: one open/closed state per record (by record number) while the box
    // is not the tree view's.
    virtual bool IsExpandableBox() const;
    virtual bool IsExpandedBox() const;
    // Opens or closes the current record's box and tells the grid (CellExpand).
    virtual void ToggleExpandBox();
    // Glyph indexes: state (0 off, 1 on, 2 neither) + 3 x kind or size.
    int GetCheckBoxImageIndex() const;
    int GetExpandBoxImageIndex() const;
    // Line break with DelimiterLine, else DelimiterText when set, else DelimiterChar.
    virtual std::string GetDelimiter() const;
    virtual bool GetMultiSelectList() const;
    // The multi-value display rule: "..." for empty, first value + " ..." for several.
    virtual std::string FormatText(const std::string& Text) const;
    // The current record's text as a cell shows it (lookup values, pick texts, the grid's
    // ColGetText, then FormatText).
    std::string GetDisplayText() const;

    VEL_COLUMN_PLAIN_PROPS(VEL_PLAIN_PROP_DECLARE)

protected:
    virtual TVelColumnTitle* CreateTitle();
    // Tells the collection (and through it the grid) unless the column is not in one yet.
    void ColumnChanged(bool AllItems = false);

private:
    friend class TVelColumnTitle;
    friend class TVelDBGridColumns;
    friend class TVelCustomDBGrid;
    void FontChanged();
    void Assigned(TVelColumnValue Value) { FAssignedValues.Include(Value); }
    bool IsAssigned(TVelColumnValue Value) const { return FAssignedValues.Contains(Value); }
    // Default columns pass a few settings through to their field.
    bool PassesToField() const;
    int TrueWidth() const;
    int TextWidthToDisplayWidth(int Width) const;
    void InternalMove(int NewIndex);
    TVelColumn* Partner() const;
    void RefreshFont(TFont* Font, const TFont* Default) const;
    void PickDataChanged();
    void ClearPickLists();
    TStrings* FormattedPickTexts() const;
    std::string FieldText() const;
    // The current record's index in FExpandedRow; -1 when there is none.
    int ExpandRecord() const;

    mutable TField* FField = nullptr;
    std::string FFieldName;
    TColor FColor = clWindow;
    int FWidth = 64;
    TVelColumnTitle* FTitle = nullptr;
    TFont* FFont;
    TPopupMenu* FPopupMenu = nullptr;
    TPopupMenu* FDropDownMenu = nullptr;
    TVelColumnButtonStyle FButtonStyle = TVelColumnButtonStyle::cbsAuto;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FReadOnly = false;
    TVelColumnValues FAssignedValues;
    bool FVisible = true;
    bool FExpanded = true;
    bool FStored = true;
    int FWidthMin = -1;
    int FWidthMax = -1;
    int FDesignedWidth = -1;
    int FBaseWidth = 64;
    std::string FHint;
    TCustomImageList* FImages = nullptr;
    bool FAutoNumber = false;
    int FExpandCols = 0;
    TVelColumnExpandStyle FExpandStyle = TVelColumnExpandStyle::cesAuto;
    TDialogOptions FDialogOptions{TDialogOption::doShowColumn, TDialogOption::doItemEnabled};
    TDataSet* FLookupDataSet = nullptr;
    std::string FKeyField, FLookupKeyField, FLookupResultField, FLookupListFields;
    TColor FTransparentColor = clNone;
    std::string FCheckBoxValues = DefaultCheckBoxValues();
    char32_t FDelimiterChar = U',';
    TStringList* FPickList;
    TStringList* FPickText;
    // The formatted pick texts, built on demand.
    mutable TStringList* FPickData = nullptr;
    TStringList* FFilterList;
    std::vector<std::uint8_t> FExpandedRow;
};

// Enumerates a column list from the start; Restart goes back before the first column.
class TVelColumnEnumerator {
public:
    virtual ~TVelColumnEnumerator() = default;
    virtual bool MoveNext() = 0;
    virtual TVelColumn* GetCurrent() const = 0;
    void Restart() { FIndex = -1; }

protected:
    int FIndex = -1;
};

class TVelDBGridColumnsEnumerator : public TVelColumnEnumerator {
public:
    explicit TVelDBGridColumnsEnumerator(const TVelDBGridColumns* Columns) : FColumns(Columns) {}
    bool MoveNext() override;
    TVelColumn* GetCurrent() const override;

private:
    const TVelDBGridColumns* FColumns;
};

class TVelDBGridColumns : public TCollection {
    VEL_CLASS(TVelDBGridColumns)
public:
    TVelDBGridColumns(TVelCustomDBGrid* Grid, const TClassInfo* ColumnClass);
    ~TVelDBGridColumns() override;
    // Copies a column collection inside a layout bracket of the grid, stretching off.
    void Assign(const TPersistent* Source) override;
    TVelCustomDBGrid* GetGrid() const { return FGrid; }
    TVelColumn* GetColumn(int Index) const { return static_cast<TVelColumn*>(GetItem(Index)); }
    TVelColumn* operator[](int Index) const { return GetColumn(Index); }
    // Writing assigns Value to the column at Index.
    void SetColumn(int Index, const TVelColumn* Value) { SetItem(Index, Value); }
    // A persistent column; it replaces the default columns there were.
    TVelColumn* Add() { return static_cast<TVelColumn*>(TCollection::Add()); }
    // The automatic number, select and expand columns, each inserted first.
    TVelColumn* AddAutoNumber();
    TVelColumn* AddAutoSelect();
    TVelColumn* AddAutoExpand();
    // Drops the automatic columns of those of dgAutoNumberColumn, dgAutoSelectColumn and
    // dgAutoExpandColumn that Options holds.
    void RemoveAutoColumns(TVelDBGridOptionsExt Options);
    // csDefault while empty or while the last column was built from a field.
    TDBGridColumnsState GetState() const;
    // csCustomized rebuilds the columns as persistent ones from the fields; csDefault drops
    // them, so the next layout builds default columns.
    void SetState(TDBGridColumnsState Value);
    // One persistent column per field (sub-fields after their ADT or array field), then the
    // automatic columns the grid's options ask for.
    void RebuildColumns();
    void RestoreDefaults();
    // First column from StartIndex on bound to the field name (case-insensitive).
    TVelColumn* FindColumn(const std::string& FieldName, int StartIndex = 0) const;

    // Layout text: "Columns=n", "Column<i>=name,WidthBase,Visible,Expanded" and, with
    // soStretchMode, "StretchMode=0|1". Reading builds it; writing applies it line by line.
    TStrings* GetSettings();
    void SetSettings(const TStrings* Value);
    void SetSettingsText(const std::string& Text);
    // Applies the last layout text again.
    void ApplySettings();

    // Column files: the columns and the grid's OrderFields as form text. A file or stream
    // that cannot be read raises and leaves the columns as they were.
    void SaveToStream(TStream* Stream);
    void LoadFromStream(TStream* Stream);
    void SaveToFile(const std::string& FileName);
    void LoadFromFile(const std::string& FileName);

    void BeginDesignUpdate();
    void EndDesignUpdate();
    int GetDesignUpdate() const { return FDesignUpdate; }

    TVelDBGridColumnsEnumerator GetEnumerator() const { return TVelDBGridColumnsEnumerator(this); }

protected:
    void Update(TCollectionItem* Item) override;
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
    // A column built from a field by the grid's layout.
    TVelColumn* InternalAdd(TField* Field);

private:
    friend class TVelCustomDBGrid;
    friend class TVelColumn;
    bool IsGridColumns() const;
    TVelColumn* AddAuto(const std::string& Caption);
    // 0 number, 1 select, 2 expand.
    TVelColumn* FindAuto(int Kind) const;
    void AddAutoColumns();
    // The grid's layout of default columns (csDefault) or the unbinding of persistent ones.
    void BuildLayoutColumns();
    void ApplySettingsLines(const TStrings* Lines);

    TVelCustomDBGrid* FGrid;
    int FDesignUpdate = 0;
    TStringList* FSettings = nullptr;
    // Set while the collection builds its own columns (default and automatic ones).
    bool FBuilding = false;
};

// Holds a column set and the grid's OrderFields while a column file is written or read.
class TVelColumnsWrapper : public TComponent {
    VEL_CLASS(TVelColumnsWrapper)
public:
    explicit TVelColumnsWrapper(TComponent* AOwner);
    // The columns are not owned.
    TVelDBGridColumns* GetColumns() const { return FColumns; }
    void SetColumns(TVelDBGridColumns* Value);
    void UseColumns(TVelDBGridColumns* Value) { FColumns = Value; }
    const std::string& GetOrderFields() const { return FOrderFields; }
    void SetOrderFields(const std::string& Value) { FOrderFields = Value; }

private:
    TVelDBGridColumns* FColumns = nullptr;
    std::string FOrderFields;
};

}  // namespace vel
