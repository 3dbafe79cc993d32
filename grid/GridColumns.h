#pragma once
// The grid's columns: TVelColumn (one column bound to a field by name, or to none),
// TVelColumnTitle (its title cell) and TVelDBGridColumns (the grid's collection).
//
// Properties that default from the field or the grid keep a bit in the column's assigned
// values: such a property reads its own value only while its bit is set, so the default
// follows later changes of the field or the grid.
#include <string>

#include "classes/Collection.h"
#include "classes/Component.h"
#include "classes/PropAccess.h"
#include "db/DBTypes.h"
#include "graphics/Colors.h"
#include "graphics/Graphics.h"
#include "rtl/TSet.h"

namespace vel {

class TField;
class TDataSet;
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
    TComponent* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TComponent* Value);
    TComponent* GetDropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TComponent* Value);

    virtual void RestoreDefaults();

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
    TComponent* FPopupMenu = nullptr;
    TComponent* FDropDownMenu = nullptr;
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
    TComponent* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TComponent* Value);
    TComponent* GetDropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TComponent* Value);
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TDataSet* GetLookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* Value);
    // Drops every reference to a component that goes away; true when one was held.
    virtual bool RemoveReference(TComponent* AComponent);

    virtual void RestoreDefaults();

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
    TComponent* FPopupMenu = nullptr;
    TComponent* FDropDownMenu = nullptr;
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
