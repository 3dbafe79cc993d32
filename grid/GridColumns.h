#pragma once
// The grid's columns: TVelColumn (one column bound to a field by name, or to none),
// TVelColumnTitle (its title cell) and TVelDBGridColumns (the grid's collection).
//
// Properties that default from the field or the grid keep a bit in the column's assigned
// values: such a property reads its own value only while its bit is set, so the default
// follows later changes of the field or the grid.
#include <string>

#include "grid/GridFilter.h"
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

class TVelColumnTitle : public TPersistent {
    VEL_CLASS(TVelColumnTitle)
public:
    explicit TVelColumnTitle(TVelColumn* Column);
    ~TVelColumnTitle() override;
    void Assign(const TPersistent* Source) override;

    TVelColumn* GetColumn() const { return FColumn; }
    // The field's display label (or the field name) until a caption is assigned.
    std::string GetCaption() const;
    virtual void SetCaption(const std::string& Value);
    bool IsCaptionStored() const;
    // The grid's FixedColor until assigned.
    TColor GetColor() const;
    void SetColor(TColor Value);
    bool IsColorStored() const;
    TAlignment GetAlignment() const;
    void SetAlignment(TAlignment Value);
    bool IsAlignmentStored() const;
    // The grid's TitleFont until assigned.
    TFont* GetFont() const;
    void SetFont(TFont* Value);
    bool IsFontStored() const;
    TMarker GetMarker() const { return FMarker; }
    void SetMarker(TMarker Value);
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    // Menus: references cleared when the menu goes.
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TPopupMenu* GetDropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);

    virtual void RestoreDefaults();

    VEL_TITLE_PLAIN_PROPS(VEL_PLAIN_PROP_DECLARE)

protected:
    TPersistent* GetOwner() const override;

private:
    friend class TVelColumn;
    void FontChanged();
    TAlignment DefaultAlignment() const;

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

    TVelCustomDBGrid* GetGrid() const;
    TVelColumnValues GetAssignedValues() const { return FAssignedValues; }
    bool IsStored() const { return FStored; }
    void SetStored(bool Value) { FStored = Value; }

    const std::string& GetFieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    // The bound field, looked up in the grid's dataset on first use; not owned.
    TField* GetField() const;
    virtual void SetField(TField* Value);
    // Reads false while the parent column is invisible.
    bool GetVisible() const;
    void SetVisible(bool Value);
    bool GetExpanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    // The field's display width in pixels (64 without a field) until assigned.
    int GetWidth() const;
    virtual void SetWidth(int Value);
    bool IsWidthStored() const;
    int DefaultWidth() const;
    int GetWidthMin() const { return FWidthMin; }
    void SetWidthMin(int Value);
    int GetWidthMax() const { return FWidthMax; }
    void SetWidthMax(int Value);
    // The grid's Color until assigned.
    TColor GetColor() const;
    void SetColor(TColor Value);
    bool IsColorStored() const;
    // The grid's Font until assigned.
    TFont* GetFont() const;
    void SetFont(TFont* Value);
    bool IsFontStored() const;
    TAlignment GetAlignment() const;
    virtual void SetAlignment(TAlignment Value);
    bool IsAlignmentStored() const;
    // The field's read-only flag (or the grid's) until assigned.
    bool GetReadOnly() const;
    virtual void SetReadOnly(bool Value);
    bool IsReadOnlyStored() const;
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
    TVelColumn* GetParentColumn() const { return FParentColumn; }

    // References cleared by the grid's removal notification.
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TPopupMenu* GetDropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TDataSet* GetLookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* Value);
    // Drops every reference to a component that goes away; true when one was held.
    virtual bool RemoveReference(TComponent* AComponent);

    virtual void RestoreDefaults();

    // Image colour treated as transparent; clNone: none.
    TColor GetTransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor Value);
    // The checked and the unchecked field text, "True;False" style.
    const std::string& GetCheckBoxValues() const { return FCheckBoxValues; }
    void SetCheckBoxValues(const std::string& Value);
    bool IsCheckBoxValuesStored() const { return FCheckBoxValues != DefaultCheckBoxValues(); }
    static std::string DefaultCheckBoxValues() { return "True;False"; }
    // Owned lists: fixed values, their display texts and the auto-filter's values.
    TStrings* GetPickList() const { return FPickList; }
    void SetPickList(TStrings* Value);
    TStrings* GetPickText() const { return FPickText; }
    void SetPickText(TStrings* Value);
    TStrings* GetFilterList() const { return FFilterList; }
    void SetFilterList(TStrings* Value);

    VEL_COLUMN_PLAIN_PROPS(VEL_PLAIN_PROP_DECLARE)

protected:
    virtual TVelColumnTitle* CreateTitle();
    // Tells the grid (relayout) unless the grid is being built.
    void ColumnChanged(bool AllItems = false);

private:
    friend class TVelColumnTitle;
    friend class TVelCustomDBGrid;
    void FontChanged();
    void Assigned(TVelColumnValue Value) { FAssignedValues.Include(Value); }
    bool IsAssigned(TVelColumnValue Value) const { return FAssignedValues.Contains(Value); }

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
    std::string FHint;
    TCustomImageList* FImages = nullptr;
    bool FAutoNumber = false;
    int FExpandCols = 0;
    TVelColumnExpandStyle FExpandStyle = TVelColumnExpandStyle::cesAuto;
    TVelColumn* FParentColumn = nullptr;
    TDialogOptions FDialogOptions{TDialogOption::doShowColumn, TDialogOption::doItemEnabled};
    TDataSet* FLookupDataSet = nullptr;
    TColor FTransparentColor = clNone;
    std::string FCheckBoxValues = DefaultCheckBoxValues();
    TStringList* FPickList;
    TStringList* FPickText;
    TStringList* FFilterList;
};

class TVelDBGridColumns : public TCollection {
    VEL_CLASS(TVelDBGridColumns)
public:
    TVelDBGridColumns(TVelCustomDBGrid* Grid, const TClassInfo* ColumnClass);
    TVelCustomDBGrid* GetGrid() const { return FGrid; }
    TVelColumn* GetColumn(int Index) const { return static_cast<TVelColumn*>(GetItem(Index)); }
    TVelColumn* operator[](int Index) const { return GetColumn(Index); }
    TVelColumn* Add() { return static_cast<TVelColumn*>(TCollection::Add()); }
    // csCustomized while any column is persistent (added by hand or read from a form).
    TDBGridColumnsState GetState() const;
    // csDefault drops the columns (the next layout rebuilds them from the fields);
    // csCustomized keeps the current columns and makes them persistent.
    void SetState(TDBGridColumnsState Value);
    void RestoreDefaults();
    // First column bound to the field name (case-insensitive), or nullptr.
    TVelColumn* FindColumn(const std::string& FieldName) const;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TVelCustomDBGrid* FGrid;
};

}  // namespace vel
