#include "grid/GridColumns.h"

#include "grid/DBGrid.h"
#include "platform/classes/Strings.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Menus.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace vel {

VEL_ENUM_INFO(TVelColumnValue, cvColor, cvWidth, cvFont, cvAlignment, cvReadOnly, cvTitleColor,
              cvTitleCaption, cvTitleAlignment, cvTitleFont, cvImeMode, cvImeName, cvTotalColor,
              cvTotalCaption, cvTotalAlignment, cvTotalFont)
VEL_ENUM_INFO(TDBGridColumnsState, csDefault, csCustomized)
VEL_ENUM_INFO(TVelColumnButtonStyle, cbsAuto, cbsEllipsis, cbsNone, cbsDropDown, cbsDropDownMenu,
              cbsCalendar, cbsCalculator)
VEL_ENUM_INFO(TVelColumnExpandStyle, cesAuto, cesNone, cesDropDown, cesDropDownMenu, cesFilterList,
              cesFilterForm)
VEL_ENUM_INFO(TVAlignment, tvTopJustify, tvBottomJustify, tvCenter)
VEL_ENUM_INFO(TCheckBoxStyle, cbAuto, cbAutoGray, cbAutoLowered, cbDefault, cbSoft, cbLoweredDark,
              cbLoweredGray, cbLoweredMild, cbFlat, cbGray, cbMild)
VEL_ENUM_INFO(TMarker, tmNone, tmAscend, tmDescend)
VEL_ENUM_INFO(TDialogOption, doShowColumn, doItemEnabled)
VEL_ENUM_INFO(TImageDraw, idAlignment, idOpposite, idCenter, idScaled, idStretch, idTileCell,
              idTileGrid, idTileCol, idTileRow)
VEL_ENUM_INFO(TCheckBoxKind, ckCheck, ckCross, cbBox)
VEL_ENUM_INFO(TCheckBoxToggle, ctCustomToggle, ctKeyPressOnly, ctOnCellClick, ctSelectClick)
VEL_ENUM_INFO(TExpandBoxToggle, etCustomToggle, etKeyPressOnly, etOnCellClick, etSelectClick)
VEL_ENUM_INFO(TExpandBoxSize, ebSmall, ebMedium, ebLarge)
VEL_ENUM_INFO(TToolTipsWidth, ttAutoWidth, ttFixedWidth)
VEL_ENUM_INFO(TCalendarDepth, cdMonth, cdYear, cdDecade, cdCentury)
VEL_ENUM_INFO(TMultiSelectText, mstDefault, mstEllipsis)
VEL_ENUM_INFO(TVelListOption, loAutoComplete, loAutoDropDown, loAutoCloseEditor, loSelectNextValue,
              loAllowClearValue, loShowToday, loShowTodayCircle, loShowWeekNumbers,
              loAutoTodayClose, loBoldSundays, loShowImages, loShowLookupListTitles,
              loAllowAdjustOrder, loAllowChangeOrder, loAllowColumnResize, loAllowColumnMoving,
              loExpandFirstColumn, loFirstColumnExpanded, loMultiSelectList, loAutoApplyList,
              loTreeViewCellExpand, loIncrementalList)
VEL_ENUM_INFO(TVelPickOption, poDropDownList, poListItemsOnly, poSelectPickText, poStoreItemIndex,
              poAcceptPickList, poAcceptItemIndex, poAutoLoadList, poAppendToList, poSortedByText,
              poFormatPickText, poFormatListOnly)

TVelListOptions DefaultListOptions() {
    using enum TVelListOption;
    return {loAutoComplete, loAutoCloseEditor,  loSelectNextValue,  loAllowClearValue,
            loShowToday,    loAllowChangeOrder, loAllowColumnResize};
}

TVelPickOptions DefaultPickOptions() {
    return {TVelPickOption::poSelectPickText, TVelPickOption::poAcceptPickList};
}

#define VEL_PLAIN_PROP_PUBLISH(Type, Name, Default) \
    Prop(#Name, &T::Get##Name, &T::Set##Name, Default);
#define VEL_PLAIN_PROP_COPY(Type, Name, Default) F##Name = Source->F##Name;
#define VEL_PLAIN_PROP_RESET(Type, Name, Default) F##Name = Default;

VEL_DEFINE_CLASS(TVelColumnTitle, TPersistent)
VEL_DEFINE_ITEM_CLASS(TVelColumn, TCollectionItem)
VEL_DEFINE_CLASS(TVelDBGridColumns, TCollection)

VEL_PUBLISHED(TVelColumnTitle) {
    Prop("Alignment", &T::GetAlignment, &T::SetAlignment).Stored(&T::IsAlignmentStored);
    Prop("Caption", &T::GetCaption, &T::SetCaption).Stored(&T::IsCaptionStored);
    Color("Color", &T::GetColor, &T::SetColor).Stored(&T::IsColorStored);
    Prop("DropDownMenu", &T::GetDropDownMenu, &T::SetDropDownMenu);
    Prop("Font", &T::GetFont, &T::SetFont).Stored(&T::IsFontStored);
    Prop("Hint", &T::GetHint, &T::SetHint);
    Prop("Marker", &T::GetMarker, &T::SetMarker, TMarker::tmNone);
    Prop("PopupMenu", &T::GetPopupMenu, &T::SetPopupMenu);
    VEL_TITLE_PLAIN_PROPS(VEL_PLAIN_PROP_PUBLISH)
}

VEL_PUBLISHED(TVelColumn) {
    Prop("Alignment", &T::GetAlignment, &T::SetAlignment).Stored(&T::IsAlignmentStored);
    Prop("AutoNumber", &T::GetAutoNumber, &T::SetAutoNumber, false);
    Prop("ButtonStyle", &T::GetButtonStyle, &T::SetButtonStyle, TVelColumnButtonStyle::cbsAuto);
    Color("Color", &T::GetColor, &T::SetColor).Stored(&T::IsColorStored);
    Prop("DialogOptions", &T::GetDialogOptions, &T::SetDialogOptions,
         TDialogOptions{TDialogOption::doShowColumn, TDialogOption::doItemEnabled});
    Prop("DropDownMenu", &T::GetDropDownMenu, &T::SetDropDownMenu);
    Prop("Expanded", &T::GetExpanded, &T::SetExpanded, true);
    Prop("ExpandCols", &T::GetExpandCols, &T::SetExpandCols, 0);
    Prop("ExpandStyle", &T::GetExpandStyle, &T::SetExpandStyle, TVelColumnExpandStyle::cesAuto);
    Prop("FieldName", &T::GetFieldName, &T::SetFieldName);
    Prop("Font", &T::GetFont, &T::SetFont).Stored(&T::IsFontStored);
    Prop("Hint", &T::GetHint, &T::SetHint);
    Prop("Images", &T::GetImages, &T::SetImages);
    Prop("LookupDataSet", &T::GetLookupDataSet, &T::SetLookupDataSet);
    Prop("PopupMenu", &T::GetPopupMenu, &T::SetPopupMenu);
    Prop("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored(&T::IsReadOnlyStored);
    Prop("Title", &T::GetTitle, &T::SetTitle);
    Prop("Visible", &T::GetVisible, &T::SetVisible).NoDefault();
    Prop("Width", &T::GetWidth, &T::SetWidth).Stored(&T::IsWidthStored);
    Prop("WidthMax", &T::GetWidthMax, &T::SetWidthMax, -1);
    Prop("WidthMin", &T::GetWidthMin, &T::SetWidthMin, -1);
    Color("TransparentColor", &T::GetTransparentColor, &T::SetTransparentColor, clNone);
    Prop("CheckBoxValues", &T::GetCheckBoxValues, &T::SetCheckBoxValues)
        .Stored(&T::IsCheckBoxValuesStored);
    Prop("PickList", &T::GetPickList, &T::SetPickList);
    Prop("PickText", &T::GetPickText, &T::SetPickText);
    Prop("FilterList", &T::GetFilterList, &T::SetFilterList);
    VEL_COLUMN_PLAIN_PROPS(VEL_PLAIN_PROP_PUBLISH)
}

#define VEL_TITLE_PLAIN_SETTER(Type, Name, Default) \
    void TVelColumnTitle::Set##Name(Type Value) {   \
        if (Value == F##Name) return;               \
        F##Name = Value;                            \
        FColumn->ColumnChanged();                   \
    }
VEL_TITLE_PLAIN_PROPS(VEL_TITLE_PLAIN_SETTER)

#define VEL_COLUMN_PLAIN_SETTER(Type, Name, Default) \
    void TVelColumn::Set##Name(Type Value) {         \
        if (Value == F##Name) return;                \
        F##Name = Value;                             \
        ColumnChanged();                             \
    }
VEL_COLUMN_PLAIN_PROPS(VEL_COLUMN_PLAIN_SETTER)

// ---- Title.

TVelColumnTitle::TVelColumnTitle(TVelColumn* Column) : FColumn(Column), FFont(new TFont) {
    if (TVelCustomDBGrid* g = Column ? Column->GetGrid() : nullptr)
        FFont->Assign(g->GetTitleFont());
    FFont->SetOnChange([this](TObject*) { FontChanged(); });
}

TVelColumnTitle::~TVelColumnTitle() {
    delete FFont;
}

TPersistent* TVelColumnTitle::GetOwner() const {
    return FColumn;
}

void TVelColumnTitle::Assign(const TPersistent* Source) {
    auto* t = dynamic_cast<const TVelColumnTitle*>(Source);
    if (!t) {
        TPersistent::Assign(Source);
        return;
    }
    if (t->IsAlignmentStored()) SetAlignment(t->GetAlignment());
    if (t->IsColorStored()) SetColor(t->GetColor());
    if (t->IsCaptionStored()) SetCaption(t->GetCaption());
    if (t->IsFontStored()) SetFont(t->GetFont());
    FMarker = t->FMarker;
    FHint = t->FHint;
    {
        const TVelColumnTitle* Source = t;
        VEL_TITLE_PLAIN_PROPS(VEL_PLAIN_PROP_COPY)
    }
    SetPopupMenu(t->FPopupMenu);
    SetDropDownMenu(t->FDropDownMenu);
}

std::string TVelColumnTitle::GetCaption() const {
    if (FColumn->IsAssigned(TVelColumnValue::cvTitleCaption)) return FCaption;
    if (TField* f = FColumn->GetField()) return f->GetDisplayLabel();
    return FColumn->GetFieldName();
}

void TVelColumnTitle::SetCaption(const std::string& Value) {
    if (FColumn->IsAssigned(TVelColumnValue::cvTitleCaption) && Value == FCaption) return;
    FCaption = Value;
    FColumn->Assigned(TVelColumnValue::cvTitleCaption);
    FColumn->ColumnChanged();
}

bool TVelColumnTitle::IsCaptionStored() const {
    return FColumn->IsAssigned(TVelColumnValue::cvTitleCaption);
}

TColor TVelColumnTitle::GetColor() const {
    if (FColumn->IsAssigned(TVelColumnValue::cvTitleColor)) return FColor;
    TVelCustomDBGrid* g = FColumn->GetGrid();
    return g ? g->GetFixedColor() : clBtnFace;
}

void TVelColumnTitle::SetColor(TColor Value) {
    if (FColumn->IsAssigned(TVelColumnValue::cvTitleColor) && Value == FColor) return;
    FColor = Value;
    FColumn->Assigned(TVelColumnValue::cvTitleColor);
    FColumn->ColumnChanged();
}

bool TVelColumnTitle::IsColorStored() const {
    return FColumn->IsAssigned(TVelColumnValue::cvTitleColor) && FColor != [this] {
        TVelCustomDBGrid* g = FColumn->GetGrid();
        return g ? g->GetFixedColor() : clBtnFace;
    }();
}

TAlignment TVelColumnTitle::DefaultAlignment() const {
    return TAlignment::taLeftJustify;
}

TAlignment TVelColumnTitle::GetAlignment() const {
    return FColumn->IsAssigned(TVelColumnValue::cvTitleAlignment) ? FAlignment : DefaultAlignment();
}

void TVelColumnTitle::SetAlignment(TAlignment Value) {
    if (FColumn->IsAssigned(TVelColumnValue::cvTitleAlignment) && Value == FAlignment) return;
    FAlignment = Value;
    FColumn->Assigned(TVelColumnValue::cvTitleAlignment);
    FColumn->ColumnChanged();
}

bool TVelColumnTitle::IsAlignmentStored() const {
    return FColumn->IsAssigned(TVelColumnValue::cvTitleAlignment) &&
           FAlignment != DefaultAlignment();
}

TFont* TVelColumnTitle::GetFont() const {
    // Until assigned the font follows the grid's title font.
    if (!FColumn->IsAssigned(TVelColumnValue::cvTitleFont)) {
        if (TVelCustomDBGrid* g = FColumn->GetGrid(); g && !FFont->SameAs(*g->GetTitleFont())) {
            auto save = FFont->GetOnChange();
            FFont->SetOnChange(nullptr);
            FFont->Assign(g->GetTitleFont());
            FFont->SetOnChange(save);
        }
    }
    return FFont;
}

void TVelColumnTitle::SetFont(TFont* Value) {
    FFont->Assign(Value);
}

bool TVelColumnTitle::IsFontStored() const {
    return FColumn->IsAssigned(TVelColumnValue::cvTitleFont);
}

void TVelColumnTitle::FontChanged() {
    FColumn->Assigned(TVelColumnValue::cvTitleFont);
    FColumn->ColumnChanged();
}

void TVelColumnTitle::SetMarker(TMarker Value) {
    if (Value == FMarker) return;
    FMarker = Value;
    FColumn->ColumnChanged();
}

void TVelColumnTitle::SetPopupMenu(TPopupMenu* Value) {
    FPopupMenu = Value;
    if (Value)
        if (TVelCustomDBGrid* g = FColumn->GetGrid()) Value->FreeNotification(g);
}

void TVelColumnTitle::SetDropDownMenu(TPopupMenu* Value) {
    if (Value == FDropDownMenu) return;
    FDropDownMenu = Value;
    if (Value)
        if (TVelCustomDBGrid* g = FColumn->GetGrid()) Value->FreeNotification(g);
    // A drop-down menu on the title makes the column's expand button drop it.
    if (Value)
        FColumn->SetExpandStyle(TVelColumnExpandStyle::cesDropDownMenu);
    else if (FColumn->GetExpandStyle() == TVelColumnExpandStyle::cesDropDownMenu)
        FColumn->SetExpandStyle(TVelColumnExpandStyle::cesAuto);
}

void TVelColumnTitle::RestoreDefaults() {
    FColumn->FAssignedValues -=
        TVelColumnValues{TVelColumnValue::cvTitleColor, TVelColumnValue::cvTitleCaption,
                         TVelColumnValue::cvTitleAlignment, TVelColumnValue::cvTitleFont};
    FCaption.clear();
    VEL_TITLE_PLAIN_PROPS(VEL_PLAIN_PROP_RESET)
    FColumn->ColumnChanged();
}

// ---- Column.

TVelColumn::TVelColumn(TCollection* Collection)
    : TCollectionItem(nullptr),
      FFont(new TFont),
      FPickList(new TStringList),
      FPickText(new TStringList),
      FFilterList(new TStringList) {
    // Joined to the collection only once built, so the grid's layout sees a whole column.
    FTitle = CreateTitle();
    auto* columns = dynamic_cast<TVelDBGridColumns*>(Collection);
    if (TVelCustomDBGrid* g = columns ? columns->GetGrid() : nullptr) {
        FFont->Assign(&g->Font());
        FColor = g->GetColor();
    }
    FFont->SetOnChange([this](TObject*) { FontChanged(); });
    if (Collection) SetCollection(Collection);
}

TVelColumn::~TVelColumn() {
    // Leave the collection first: its update runs while the column is still whole.
    SetCollection(nullptr);
    delete FTitle;
    delete FFont;
    delete FPickList;
    delete FPickText;
    delete FFilterList;
}

TVelColumnTitle* TVelColumn::CreateTitle() {
    return new TVelColumnTitle(this);
}

TVelCustomDBGrid* TVelColumn::GetGrid() const {
    auto* c = dynamic_cast<TVelDBGridColumns*>(GetCollection());
    return c ? c->GetGrid() : nullptr;
}

void TVelColumn::ColumnChanged(bool AllItems) {
    if (GetCollection()) Changed(AllItems);
}

std::string TVelColumn::GetDisplayName() const {
    std::string s = FTitle->GetCaption();
    return s.empty() ? TCollectionItem::GetDisplayName() : s;
}

void TVelColumn::Assign(const TPersistent* Source) {
    auto* c = dynamic_cast<const TVelColumn*>(Source);
    if (!c) {
        TCollectionItem::Assign(Source);
        return;
    }
    auto* coll = GetCollection();
    if (coll) coll->BeginUpdate();
    try {
        RestoreDefaults();
        FFieldName = c->FFieldName;
        FField = nullptr;
        if (c->IsAssigned(TVelColumnValue::cvColor)) SetColor(c->GetColor());
        if (c->IsAssigned(TVelColumnValue::cvWidth)) SetWidth(c->GetWidth());
        if (c->IsAssigned(TVelColumnValue::cvFont)) SetFont(c->GetFont());
        if (c->IsAssigned(TVelColumnValue::cvAlignment)) SetAlignment(c->GetAlignment());
        if (c->IsAssigned(TVelColumnValue::cvReadOnly)) SetReadOnly(c->GetReadOnly());
        FTitle->Assign(c->FTitle);
        FVisible = c->FVisible;
        FExpanded = c->FExpanded;
        FWidthMin = c->FWidthMin;
        FWidthMax = c->FWidthMax;
        FButtonStyle = c->FButtonStyle;
        FExpandStyle = c->FExpandStyle;
        FExpandCols = c->FExpandCols;
        FAutoNumber = c->FAutoNumber;
        FDialogOptions = c->FDialogOptions;
        FHint = c->FHint;
        SetPopupMenu(c->FPopupMenu);
        SetDropDownMenu(c->FDropDownMenu);
        SetImages(c->FImages);
        SetLookupDataSet(c->FLookupDataSet);
        FTransparentColor = c->FTransparentColor;
        FCheckBoxValues = c->FCheckBoxValues;
        FPickList->Assign(c->FPickList);
        FPickText->Assign(c->FPickText);
        FFilterList->Assign(c->FFilterList);
        const TVelColumn* Source = c;
        VEL_COLUMN_PLAIN_PROPS(VEL_PLAIN_PROP_COPY)
    } catch (...) {
        if (coll) coll->EndUpdate();
        throw;
    }
    if (coll) coll->EndUpdate();
}

void TVelColumn::SetFieldName(const std::string& Value) {
    if (Value == FFieldName) return;
    FFieldName = Value;
    FField = nullptr;
    ColumnChanged();
}

TField* TVelColumn::GetField() const {
    if (!FField && !FFieldName.empty()) {
        TVelCustomDBGrid* g = GetGrid();
        TDataSet* ds = g ? g->GetDataSet() : nullptr;
        if (ds && ds->GetActive()) {
            FField = ds->FindField(FFieldName);
            if (FField) FField->FreeNotification(g);
        }
    }
    return FField;
}

void TVelColumn::SetField(TField* Value) {
    if (Value == FField) return;
    FField = Value;
    if (Value) {
        FFieldName = Value->GetFullName();
        if (TVelCustomDBGrid* g = GetGrid()) Value->FreeNotification(g);
    }
    ColumnChanged();
}

bool TVelColumn::GetVisible() const {
    return FVisible && (!FParentColumn || FParentColumn->GetVisible());
}

void TVelColumn::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    ColumnChanged(true);
}

void TVelColumn::SetExpanded(bool Value) {
    if (Value == FExpanded) return;
    FExpanded = Value;
    ColumnChanged(true);
}

int TVelColumn::DefaultWidth() const {
    TField* f = GetField();
    if (!f) return 64;
    TVelCustomDBGrid* g = GetGrid();
    // Display width in average characters of the column font, plus the text margins.
    const int chars = f->GetDisplayWidth();
    const int avg = std::max(1, -GetFont()->GetHeight() * 5 / 9);
    int w = chars * avg + 4;
    if (g) {
        if (g->GetDefaultWidthMin() >= 0 && w < g->GetDefaultWidthMin())
            w = g->GetDefaultWidthMin();
        if (g->GetDefaultWidthMax() >= 0 && w > g->GetDefaultWidthMax())
            w = g->GetDefaultWidthMax();
    }
    return w;
}

int TVelColumn::GetWidth() const {
    return IsAssigned(TVelColumnValue::cvWidth) ? FWidth : DefaultWidth();
}

void TVelColumn::SetWidth(int Value) {
    if (Value < 0)
        throw EInvalidArgument("Column width " + std::to_string(Value) + " is negative.");
    if (FWidthMin >= 0 && Value < FWidthMin) Value = FWidthMin;
    if (FWidthMax >= 0 && Value > FWidthMax) Value = FWidthMax;
    if (IsAssigned(TVelColumnValue::cvWidth) && Value == FWidth) return;
    FWidth = Value;
    Assigned(TVelColumnValue::cvWidth);
    ColumnChanged();
}

bool TVelColumn::IsWidthStored() const {
    return IsAssigned(TVelColumnValue::cvWidth) && FWidth != DefaultWidth();
}

void TVelColumn::SetWidthMin(int Value) {
    if (Value < -1) Value = -1;
    if (Value == FWidthMin) return;
    FWidthMin = Value;
    if (IsAssigned(TVelColumnValue::cvWidth) && Value >= 0 && FWidth < Value) SetWidth(Value);
}

void TVelColumn::SetWidthMax(int Value) {
    if (Value < -1) Value = -1;
    if (Value == FWidthMax) return;
    FWidthMax = Value;
    if (IsAssigned(TVelColumnValue::cvWidth) && Value >= 0 && FWidth > Value) SetWidth(Value);
}

TColor TVelColumn::GetColor() const {
    if (IsAssigned(TVelColumnValue::cvColor)) return FColor;
    TVelCustomDBGrid* g = GetGrid();
    return g ? g->GetColor() : clWindow;
}

void TVelColumn::SetColor(TColor Value) {
    if (IsAssigned(TVelColumnValue::cvColor) && Value == FColor) return;
    FColor = Value;
    Assigned(TVelColumnValue::cvColor);
    ColumnChanged();
}

bool TVelColumn::IsColorStored() const {
    if (!IsAssigned(TVelColumnValue::cvColor)) return false;
    TVelCustomDBGrid* g = GetGrid();
    return !g || FColor != g->GetColor();
}

TFont* TVelColumn::GetFont() const {
    if (!IsAssigned(TVelColumnValue::cvFont)) {
        if (TVelCustomDBGrid* g = GetGrid(); g && !FFont->SameAs(g->Font())) {
            auto save = FFont->GetOnChange();
            FFont->SetOnChange(nullptr);
            FFont->Assign(&g->Font());
            FFont->SetOnChange(save);
        }
    }
    return FFont;
}

void TVelColumn::SetFont(TFont* Value) {
    FFont->Assign(Value);
}

bool TVelColumn::IsFontStored() const {
    return IsAssigned(TVelColumnValue::cvFont);
}

void TVelColumn::FontChanged() {
    Assigned(TVelColumnValue::cvFont);
    ColumnChanged();
}

TAlignment TVelColumn::GetAlignment() const {
    if (IsAssigned(TVelColumnValue::cvAlignment)) return FAlignment;
    TField* f = GetField();
    return f ? f->GetAlignment() : TAlignment::taLeftJustify;
}

void TVelColumn::SetAlignment(TAlignment Value) {
    if (IsAssigned(TVelColumnValue::cvAlignment) && Value == FAlignment) return;
    FAlignment = Value;
    Assigned(TVelColumnValue::cvAlignment);
    ColumnChanged();
}

bool TVelColumn::IsAlignmentStored() const {
    if (!IsAssigned(TVelColumnValue::cvAlignment)) return false;
    TField* f = GetField();
    return !f || FAlignment != f->GetAlignment();
}

bool TVelColumn::GetReadOnly() const {
    if (IsAssigned(TVelColumnValue::cvReadOnly)) return FReadOnly;
    TVelCustomDBGrid* g = GetGrid();
    TField* f = GetField();
    return (g && g->GetReadOnly()) || (f && f->GetReadOnly());
}

void TVelColumn::SetReadOnly(bool Value) {
    if (IsAssigned(TVelColumnValue::cvReadOnly) && Value == FReadOnly) return;
    FReadOnly = Value;
    Assigned(TVelColumnValue::cvReadOnly);
    ColumnChanged();
}

bool TVelColumn::IsReadOnlyStored() const {
    return IsAssigned(TVelColumnValue::cvReadOnly) && FReadOnly;
}

void TVelColumn::SetButtonStyle(TVelColumnButtonStyle Value) {
    if (Value == FButtonStyle) return;
    FButtonStyle = Value;
    ColumnChanged();
}

void TVelColumn::SetExpandCols(int Value) {
    if (Value < 0) throw EInvalidArgument("ExpandCols " + std::to_string(Value) + " is negative.");
    if (Value == FExpandCols) return;
    FExpandCols = Value;
    ColumnChanged(true);
}

void TVelColumn::SetAutoNumber(bool Value) {
    if (Value == FAutoNumber) return;
    FAutoNumber = Value;
    ColumnChanged();
}

void TVelColumn::SetPopupMenu(TPopupMenu* Value) {
    FPopupMenu = Value;
    if (Value)
        if (TVelCustomDBGrid* g = GetGrid()) Value->FreeNotification(g);
}

void TVelColumn::SetDropDownMenu(TPopupMenu* Value) {
    FDropDownMenu = Value;
    if (Value)
        if (TVelCustomDBGrid* g = GetGrid()) Value->FreeNotification(g);
}

void TVelColumn::SetImages(TCustomImageList* Value) {
    if (Value == FImages) return;
    FImages = Value;
    if (Value)
        if (TVelCustomDBGrid* g = GetGrid()) Value->FreeNotification(g);
    ColumnChanged();
}

void TVelColumn::SetLookupDataSet(TDataSet* Value) {
    FLookupDataSet = Value;
    if (Value)
        if (TVelCustomDBGrid* g = GetGrid()) Value->FreeNotification(g);
}

bool TVelColumn::RemoveReference(TComponent* AComponent) {
    bool held = false;
    auto drop = [&](auto*& ref) {
        if (ref && static_cast<TComponent*>(ref) == AComponent) {
            ref = nullptr;
            held = true;
        }
    };
    drop(FPopupMenu);
    drop(FDropDownMenu);
    drop(FImages);
    drop(FLookupDataSet);
    drop(FTitle->FPopupMenu);
    drop(FTitle->FDropDownMenu);
    if (FField && static_cast<TComponent*>(FField) == AComponent) {
        FField = nullptr;
        held = true;
    }
    return held;
}

void TVelColumn::SetTransparentColor(TColor Value) {
    if (Value == FTransparentColor) return;
    FTransparentColor = Value;
    ColumnChanged();
}

void TVelColumn::SetCheckBoxValues(const std::string& Value) {
    // Two texts: the checked one, then the unchecked one.
    if (Value.find(';') == std::string::npos)
        throw EInvalidArgument("CheckBoxValues '" + Value +
                               "' needs a checked and an unchecked text separated by ';'.");
    if (Value == FCheckBoxValues) return;
    FCheckBoxValues = Value;
    ColumnChanged();
}

void TVelColumn::SetPickList(TStrings* Value) {
    FPickList->Assign(Value);
}
void TVelColumn::SetPickText(TStrings* Value) {
    FPickText->Assign(Value);
}
void TVelColumn::SetFilterList(TStrings* Value) {
    FFilterList->Assign(Value);
}

void TVelColumn::RestoreDefaults() {
    VEL_COLUMN_PLAIN_PROPS(VEL_PLAIN_PROP_RESET)
    FTransparentColor = clNone;
    FCheckBoxValues = DefaultCheckBoxValues();
    FAssignedValues -= TVelColumnValues{TVelColumnValue::cvColor, TVelColumnValue::cvWidth,
                                        TVelColumnValue::cvFont, TVelColumnValue::cvAlignment,
                                        TVelColumnValue::cvReadOnly};
    FTitle->RestoreDefaults();
}

// ---- Collection.

TVelDBGridColumns::TVelDBGridColumns(TVelCustomDBGrid* Grid, const TClassInfo* ColumnClass)
    : TCollection(ColumnClass, Grid), FGrid(Grid) {
    if (!ColumnClass || !ColumnClass->InheritsFrom(TVelColumn::StaticClass()))
        throw EInvalidArgument(std::string("Column class ") +
                               (ColumnClass ? ColumnClass->Name : "(none)") +
                               " does not descend from TVelColumn.");
}

TDBGridColumnsState TVelDBGridColumns::GetState() const {
    for (int i = 0; i < Count(); ++i)
        if (GetColumn(i)->IsStored()) return TDBGridColumnsState::csCustomized;
    return TDBGridColumnsState::csDefault;
}

void TVelDBGridColumns::SetState(TDBGridColumnsState Value) {
    if (Value == GetState()) return;
    if (Value == TDBGridColumnsState::csDefault) {
        BeginUpdate();
        Clear();
        EndUpdate();
        if (FGrid) FGrid->LayoutChanged();
    } else {
        for (int i = 0; i < Count(); ++i) GetColumn(i)->SetStored(true);
    }
}

void TVelDBGridColumns::RestoreDefaults() {
    BeginUpdate();
    for (int i = 0; i < Count(); ++i) GetColumn(i)->RestoreDefaults();
    EndUpdate();
}

TVelColumn* TVelDBGridColumns::FindColumn(const std::string& FieldName) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(GetColumn(i)->GetFieldName(), FieldName)) return GetColumn(i);
    return nullptr;
}

void TVelDBGridColumns::Update(TCollectionItem* Item) {
    (void)Item;
    if (FGrid && !FGrid->IsDestroying()) FGrid->LayoutChanged();
}

}  // namespace vel
