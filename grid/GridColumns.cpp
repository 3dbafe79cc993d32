#include "grid/GridColumns.h"

#include "grid/DBGrid.h"
#include "grid/GridTextWriter.h"

#include <algorithm>
#include <string_view>

#include "platform/classes/Alignment.h"
#include "platform/classes/Strings.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Menus.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

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

VEL_ENUM_INFO(TVelLookupColumn, lcNotDefined, lcLookupField, lcLookupKeyField, lcLookupResultField,
              lcLookupValueField)

int DefAutoNumberWidth = 48;
int DefAutoSelectWidth = 48;
int DefAutoExpandWidth = 48;

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
    // The field first: the defaults the other values are compared with follow from it.
    Prop("FieldName", &T::GetFieldName, &T::SetFieldName);
    Prop("Alignment", &T::GetAlignment, &T::SetAlignment).Stored(&T::IsAlignmentStored);
    Prop("AutoNumber", &T::GetAutoNumber, &T::SetAutoNumber, false);
    Prop("ButtonStyle", &T::GetButtonStyle, &T::SetButtonStyle, TVelColumnButtonStyle::cbsAuto);
    Color("Color", &T::GetColor, &T::SetColor).Stored(&T::IsColorStored);
    Prop("DialogOptions", &T::GetDialogOptions, &T::SetDialogOptions,
         TDialogOptions{TDialogOption::doShowColumn, TDialogOption::doItemEnabled});
    Prop("DropDownMenu", &T::GetDropDownMenu, &T::SetDropDownMenu);
    Prop("ExpandCols", &T::GetExpandCols, &T::SetExpandCols, 0);
    Prop("Expanded", &T::GetExpanded, &T::SetExpanded, true);
    Prop("ExpandStyle", &T::GetExpandStyle, &T::SetExpandStyle, TVelColumnExpandStyle::cesAuto);
    Prop("Font", &T::GetFont, &T::SetFont).Stored(&T::IsFontStored);
    Prop("Hint", &T::GetHint, &T::SetHint);
    Prop("Images", &T::GetImages, &T::SetImages);
    Prop("LookupDataSet", &T::GetLookupDataSet, &T::SetLookupDataSet)
        .Stored(&T::IsLookupDataSetStored);
    Prop("KeyField", &T::GetKeyField, &T::SetKeyField).Stored(&T::IsKeyFieldStored);
    Prop("LookupKeyField", &T::GetLookupKeyField, &T::SetLookupKeyField)
        .Stored(&T::IsLookupKeyFieldStored);
    Prop("LookupResultField", &T::GetLookupResultField, &T::SetLookupResultField)
        .Stored(&T::IsLookupResultFieldStored);
    Prop("LookupListFields", &T::GetLookupListFields, &T::SetLookupListFields)
        .Stored(&T::IsLookupListFieldsStored);
    Prop("PopupMenu", &T::GetPopupMenu, &T::SetPopupMenu);
    Prop("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored(&T::IsReadOnlyStored);
    Prop("Title", &T::GetTitle, &T::SetTitle);
    Prop("Visible", &T::GetVisible, &T::SetVisible).NoDefault();
    Prop("WidthMax", &T::GetWidthMax, &T::SetWidthMax, -1);
    Prop("WidthMin", &T::GetWidthMin, &T::SetWidthMin, -1);
    Prop("Width", &T::GetWidth, &T::SetWidth).Stored(&T::IsWidthStored);
    Color("TransparentColor", &T::GetTransparentColor, &T::SetTransparentColor, clNone);
    Prop("CheckBoxValues", &T::GetCheckBoxValues, &T::SetCheckBoxValues)
        .Stored(&T::IsCheckBoxValuesStored);
    Prop("DelimiterChar", &T::GetDelimiterChar, &T::SetDelimiterChar, U',');
    Prop("PickList", &T::GetPickList, &T::SetPickList);
    Prop("PickText", &T::GetPickText, &T::SetPickText);
    Prop("FilterList", &T::GetFilterList, &T::SetFilterList);
    VEL_COLUMN_PLAIN_PROPS(VEL_PLAIN_PROP_PUBLISH)
}

#define VEL_TITLE_PLAIN_SETTER(Type, Name, Default)                  \
    void TVelColumnTitle::Set##Name(Type Value) {                    \
        if (Value == F##Name) return;                                \
        F##Name = Value;                                             \
        /* A header band spans several columns. */                   \
        FColumn->ColumnChanged(#Name == std::string_view("Header")); \
    }
VEL_TITLE_PLAIN_PROPS(VEL_TITLE_PLAIN_SETTER)

#define VEL_COLUMN_PLAIN_SETTER(Type, Name, Default)       \
    void TVelColumn::Set##Name(Type Value) {               \
        if (Value == F##Name) return;                      \
        F##Name = Value;                                   \
        /* Formatted pick texts follow the format. */      \
        if (#Name == std::string_view("PickTextFormat")) { \
            delete FPickData;                         \
            FPickData = nullptr;                      \
        }                                                  \
        ColumnChanged();                                   \
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
    if (t->FColumn->IsAssigned(TVelColumnValue::cvTitleAlignment)) SetAlignment(t->FAlignment);
    if (t->FColumn->IsAssigned(TVelColumnValue::cvTitleColor)) SetColor(t->FColor);
    if (t->FColumn->IsAssigned(TVelColumnValue::cvTitleCaption)) SetCaption(t->FCaption);
    if (t->FColumn->IsAssigned(TVelColumnValue::cvTitleFont)) SetFont(t->FFont);
    SetMarker(t->FMarker);
    FHint = t->FHint;
    {
        const TVelColumnTitle* Source = t;
        VEL_TITLE_PLAIN_PROPS(VEL_PLAIN_PROP_COPY)
    }
    SetPopupMenu(t->FPopupMenu);
    SetDropDownMenu(t->FDropDownMenu);
}

std::string TVelColumnTitle::DefaultCaption() const {
    if (TField* f = FColumn->GetDisplayField()) return f->GetDisplayName();
    return FColumn->GetFieldName();
}

std::string TVelColumnTitle::GetCaption() const {
    return FColumn->IsAssigned(TVelColumnValue::cvTitleCaption) ? FCaption : DefaultCaption();
}

void TVelColumnTitle::SetCaption(const std::string& Value) {
    if (FColumn->PassesToField()) {
        FColumn->GetField()->SetDisplayLabel(Value);
        return;
    }
    if (FColumn->IsAssigned(TVelColumnValue::cvTitleCaption) && Value == FCaption) return;
    FCaption = Value;
    FColumn->Assigned(TVelColumnValue::cvTitleCaption);
    FColumn->ColumnChanged();
}

bool TVelColumnTitle::IsCaptionStored() const {
    return FColumn->IsAssigned(TVelColumnValue::cvTitleCaption) && FCaption != DefaultCaption();
}

TColor TVelColumnTitle::DefaultColor() const {
    TVelCustomDBGrid* g = FColumn->GetGrid();
    return g ? g->GetFixedColor() : clBtnFace;
}

TColor TVelColumnTitle::GetColor() const {
    return FColumn->IsAssigned(TVelColumnValue::cvTitleColor) ? FColor : DefaultColor();
}

void TVelColumnTitle::SetColor(TColor Value) {
    if (FColumn->IsAssigned(TVelColumnValue::cvTitleColor) && Value == FColor) return;
    FColor = Value;
    FColumn->Assigned(TVelColumnValue::cvTitleColor);
    FColumn->ColumnChanged();
}

bool TVelColumnTitle::IsColorStored() const {
    return FColumn->IsAssigned(TVelColumnValue::cvTitleColor) && FColor != DefaultColor();
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

TFont* TVelColumnTitle::DefaultFont() const {
    TVelCustomDBGrid* g = FColumn->GetGrid();
    return g ? g->GetTitleFont() : FColumn->GetFont();
}

TFont* TVelColumnTitle::GetFont() const {
    if (!FColumn->IsAssigned(TVelColumnValue::cvTitleFont))
        FColumn->RefreshFont(FFont, DefaultFont());
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

void TVelColumnTitle::SwitchAutoFilters(TFilterStyles Styles, bool On) {
    SetAutoFilters(On ? FAutoFilters + Styles : FAutoFilters - Styles);
}

void TVelColumnTitle::RestoreDefaults() {
    FColumn->FAssignedValues -=
        TVelColumnValues{TVelColumnValue::cvTitleColor, TVelColumnValue::cvTitleCaption,
                         TVelColumnValue::cvTitleAlignment, TVelColumnValue::cvTitleFont};
    FCaption.clear();
    FHint.clear();
    FPopupMenu = nullptr;
    FDropDownMenu = nullptr;
    FMarker = TMarker::tmNone;
    VEL_TITLE_PLAIN_PROPS(VEL_PLAIN_PROP_RESET)
    SetMarkerIndex(-1);
    FColumn->ColumnChanged();
}

// ---- Column: construction, assignment, defaults.

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
        // Quietly: the title's font is watched already, and a change would mark it assigned.
        RefreshFont(FTitle->FFont, g->GetTitleFont());
    }
    FFont->SetOnChange([this](TObject*) { FontChanged(); });
    FPickList->SetOnChange([this](TObject*) { PickDataChanged(); });
    FPickText->SetOnChange([this](TObject*) { PickDataChanged(); });
    if (!Collection) return;
    TVelCustomDBGrid* g = columns && columns->IsGridColumns() ? columns->GetGrid() : nullptr;
    if (g) g->BeginLayout();
    SetCollection(Collection);
    if (g) g->EndLayout();
}

TVelColumn::~TVelColumn() {
    // Leave the collection first: its update runs while the column is still whole.
    SetCollection(nullptr);
    delete FTitle;
    delete FFont;
    delete FPickList;
    delete FPickText;
    delete FPickData;
    delete FFilterList;
}

TVelColumnTitle* TVelColumn::CreateTitle() {
    return new TVelColumnTitle(this);
}

TVelDBGridColumns* TVelColumn::GetColumns() const {
    return dynamic_cast<TVelDBGridColumns*>(GetCollection());
}

TVelCustomDBGrid* TVelColumn::GetGrid() const {
    TVelDBGridColumns* c = GetColumns();
    return c ? c->GetGrid() : nullptr;
}

void TVelColumn::ColumnChanged(bool AllItems) {
    if (GetCollection()) Changed(AllItems);
}

bool TVelColumn::PassesToField() const {
    if (FStored) return false;
    TVelCustomDBGrid* g = GetGrid();
    return g && g->GetDataLink()->GetActive() && GetField();
}

std::string TVelColumn::GetDisplayName() const {
    std::string name = FFieldName;
    if (TField* f = GetField(); f && f->GetParentField()) name = f->GetFieldName();
    if (!name.empty() && GetLookupColumn() == TVelLookupColumn::lcLookupValueField)
        name = GetLookupResultField() + "[" + name + "]";
    if (name.empty()) {
        const std::string caption = FTitle->GetCaption();
        if (caption.empty()) return TCollectionItem::GetDisplayName();
        name = "(" + Utf8Copy(caption, 0, 20) + (Utf8Length(caption) > 20 ? "...)" : ")");
    }
    if (TVelColumn* p = GetParentColumn()) return p->GetDisplayName() + "." + name;
    return name;
}

void TVelColumn::Assign(const TPersistent* From) {
    auto* c = dynamic_cast<const TVelColumn*>(From);
    if (!c) {
        TCollectionItem::Assign(From);
        return;
    }
    TCollection* coll = GetCollection();
    if (coll) coll->BeginUpdate();
    TScopeExit endUpdate([&] {
        if (coll) coll->EndUpdate();
    });
    RestoreDefaults();
    FFieldName = c->FFieldName;
    FField = nullptr;
    using enum TVelColumnValue;
    if (c->IsAssigned(cvColor)) SetColor(c->FColor);
    if (c->IsAssigned(cvWidth)) {
        FWidth = c->GetWidthBase();
        Assigned(cvWidth);
    }
    if (c->IsAssigned(cvFont)) SetFont(c->FFont);
    if (c->IsAssigned(cvAlignment)) SetAlignment(c->FAlignment);
    if (c->IsAssigned(cvReadOnly)) SetReadOnly(c->FReadOnly);
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
    FKeyField = c->FKeyField;
    FLookupKeyField = c->FLookupKeyField;
    FLookupResultField = c->FLookupResultField;
    FLookupListFields = c->FLookupListFields;
    FTransparentColor = c->FTransparentColor;
    FCheckBoxValues = c->FCheckBoxValues;
    FDelimiterChar = c->FDelimiterChar;
    FPickList->Assign(c->FPickList);
    FPickText->Assign(c->FPickText);
    FFilterList->Assign(c->FFilterList);
    {
        const TVelColumn* Source = c;
        VEL_COLUMN_PLAIN_PROPS(VEL_PLAIN_PROP_COPY)
    }
    ColumnChanged(true);
}

void TVelColumn::RestoreDefaults() {
    const bool hadFont = IsAssigned(TVelColumnValue::cvFont);
    FAssignedValues -= TVelColumnValues{TVelColumnValue::cvColor,    TVelColumnValue::cvWidth,
                                        TVelColumnValue::cvFont,     TVelColumnValue::cvAlignment,
                                        TVelColumnValue::cvReadOnly, TVelColumnValue::cvImeMode,
                                        TVelColumnValue::cvImeName};
    FTitle->RestoreDefaults();
    GetFont();
    FPickList->Clear();
    FPickText->Clear();
    delete FPickData;
    FPickData = nullptr;
    FFilterList->Clear();
    FExpandedRow.clear();
    VEL_COLUMN_PLAIN_PROPS(VEL_PLAIN_PROP_RESET)
    FVisible = FExpanded = true;
    FWidthMin = FWidthMax = -1;
    FDesignedWidth = -1;
    FBaseWidth = 64;
    FButtonStyle = TVelColumnButtonStyle::cbsAuto;
    FExpandCols = 0;
    FExpandStyle = TVelColumnExpandStyle::cesAuto;
    FAutoNumber = false;
    FDialogOptions = {TDialogOption::doShowColumn, TDialogOption::doItemEnabled};
    FHint.clear();
    FPopupMenu = FDropDownMenu = nullptr;
    FImages = nullptr;
    FLookupDataSet = nullptr;
    FKeyField.clear();
    FLookupKeyField.clear();
    FLookupResultField.clear();
    FLookupListFields.clear();
    FTransparentColor = clNone;
    FCheckBoxValues = DefaultCheckBoxValues();
    FDelimiterChar = U',';
    ColumnChanged(hadFont);
}

// ---- Field binding.

void TVelColumn::SetFieldName(const std::string& Value) {
    TVelCustomDBGrid* g = GetGrid();
    TField* f = nullptr;
    if (g && g->GetDataSet() && !g->IsLoading() && !Value.empty())
        f = g->GetDataSet()->FindField(Value);
    if (Value == FFieldName && f == FField) return;
    FFieldName = Value;
    if (f) {
        SetField(f);
        return;
    }
    FField = nullptr;
    ColumnChanged();
}

TField* TVelColumn::GetField() const {
    if (!FField && !FFieldName.empty()) {
        TVelCustomDBGrid* g = GetGrid();
        TDataSet* ds = g ? g->GetDataSet() : nullptr;
        if (ds && (ds->GetActive() || !ds->GetDefaultFields())) {
            FField = ds->FindField(FFieldName);
            if (FField) FField->FreeNotification(g);
        }
    }
    return FField;
}

void TVelColumn::SetField(TField* Value) {
    if (Value && Value->IsDestroying()) Value = nullptr;
    if (Value == FField) return;
    TVelCustomDBGrid* g = GetGrid();
    if (TField* old = FField; old && g) {
        // The grid keeps the notification while another column still shows the field.
        bool used = false;
        for (int i = 0; i < GetCollection()->Count() && !used; ++i) {
            auto* c = static_cast<TVelColumn*>(GetCollection()->GetItem(i));
            used = c != this && c->FField == old;
        }
        if (!used) old->RemoveFreeNotification(g);
    }
    FField = Value;
    if (Value) {
        FFieldName = Value->GetFullName();
        if (g) Value->FreeNotification(g);
    }
    if (!FStored) {
        if (!Value) FFieldName.clear();
        RestoreDefaults();
    }
    ColumnChanged();
}

TField* TVelColumn::GetDisplayField() const {
    if (GetLookupColumn() == TVelLookupColumn::lcLookupValueField)
        return GetLookupDataSet()->FindField(GetLookupResultField());
    return GetField();
}

// ---- Width.

int TVelColumn::DefaultWidth() const {
    TVelCustomDBGrid* g = GetGrid();
    if (!g) return 64;
    TField* f = GetDisplayField();
    if (!f) return g->GetDefaultColWidth();
    TCanvas& canvas = g->Canvas();
    TFont saved;
    saved.Assign(&canvas.Font());
    canvas.Font().Assign(GetFont());
    int w = f->GetDisplayWidth() * canvas.TextWidth("0") + 4;
    using enum TVelDBGridOption;
    if (g->GetOptions().Contains(dgTitles) && !g->GetOptions().Contains(dgTitleWidthOff)) {
        canvas.Font().Assign(FTitle->GetFont());
        const int t = WidestLineWidth(canvas, FTitle->GetCaption());
        w = std::max(w, t + 4 + 2 * g->GetGridStyle()->GetTitleColMargin());
    }
    canvas.Font().Assign(&saved);
    if (g->GetDefaultWidthMin() > -1 && g->GetDefaultWidthMin() > w) w = g->GetDefaultWidthMin();
    if (g->GetDefaultWidthMax() > -1 && g->GetDefaultWidthMax() < w) w = g->GetDefaultWidthMax();
    return w;
}

int TVelColumn::TextWidthToDisplayWidth(int Width) const {
    TCanvas& canvas = GetGrid()->Canvas();
    TFont saved;
    saved.Assign(&canvas.Font());
    canvas.Font().Assign(GetFont());
    const int c = canvas.TextWidth("0");
    const int avg = std::max(1, canvas.GetTextMetrics().tmAveCharWidth);
    canvas.Font().Assign(&saved);
    return c != 0 ? (Width + c / 2 - 4) / c : (Width + avg / 2 - 3) / avg;
}

void TVelColumn::OptimalWidth() {
    if (TVelCustomDBGrid* g = GetGrid()) SetWidth(g->GetOptimalWidth(this));
}

int TVelColumn::GetDesignedWidth() const {
    return FDesignedWidth >= 0 ? FDesignedWidth : DefaultWidth();
}

int TVelColumn::TrueWidth() const {
    return IsAssigned(TVelColumnValue::cvWidth) ? FWidth : DefaultWidth();
}

int TVelColumn::GetWidth() const {
    TVelCustomDBGrid* g = GetGrid();
    const bool writing = g && g->IsWritingColumns();
    if (!writing && !GetShowing()) return g ? -g->GetGridLineWidth() : -1;
    if (IsAssigned(TVelColumnValue::cvWidth))
        return g && g->GetStretchMode() && writing ? FBaseWidth : FWidth;
    return DefaultWidth();
}

void TVelColumn::SetWidth(int Value) {
    TVelCustomDBGrid* g = GetGrid();
    if (!FStored) {
        if (g && g->HandleAllocated() && GetField() && g->FUpdateFields)
            GetField()->SetDisplayWidth(TextWidthToDisplayWidth(Value));
        if (g && g->FColumns == GetColumns() &&
            GetColumns()->GetState() == TDBGridColumnsState::csDefault &&
            !IsAssigned(TVelColumnValue::cvWidth))
            return;
    }
    if (Value > -1) {
        if (FWidthMin != -1 && Value < FWidthMin)
            Value = FWidthMin;
        else if (FWidthMax != -1 && Value > FWidthMax)
            Value = FWidthMax;
    }
    const bool reading = g && g->IsReadingColumns();
    if (!IsAssigned(TVelColumnValue::cvWidth) && !reading && Value == DefaultWidth()) {
        ColumnChanged();
        return;
    }
    const bool colLines = !g || g->GetOptions().Contains(TVelDBGridOption::dgColLines);
    if (Value < (colLines ? 0 : 1)) {
        ColumnChanged();
        return;
    }
    if (g && g->IsLoading()) FDesignedWidth = Value;
    const int before = GetWidth();
    if (IsAssigned(TVelColumnValue::cvWidth) && Value == FWidth) return;
    if (g && g->GetStretchActive()) {
        // A width set while stretching becomes a base width at the current scale.
        if (!g->GetStretching() && Value != FWidth && g->GetStretchColsWidth() > 0 &&
            g->GetStretchGridWidth() > 0)
            FBaseWidth = int((long long)Value * g->GetStretchColsWidth() / g->GetStretchGridWidth());
    } else if (!(g && g->GetStretchMode())) {
        FBaseWidth = Value;
    }
    FWidth = Value;
    Assigned(TVelColumnValue::cvWidth);
    if (g && before != GetWidth()) {
        const int raw = g->RawColumnOf(this);
        if (raw >= 0) g->SetLastResizedCol(g->RawToDataColumn(raw));
    }
    if (g && before != GetWidth() && g->GetStretchMode() && !g->IsLoading()) g->StretchColumns();
    Synchronize();
    ColumnChanged();
}

bool TVelColumn::IsWidthStored() const {
    if (!IsAssigned(TVelColumnValue::cvWidth)) return false;
    TVelCustomDBGrid* g = GetGrid();
    const int v = g && g->GetStretchMode() ? FBaseWidth : FWidth;
    return v == 64 || v != DefaultWidth();
}

int TVelColumn::GetWidthBase() const {
    TVelCustomDBGrid* g = GetGrid();
    if (g && g->GetStretchMode()) return FBaseWidth;
    return TrueWidth();
}

void TVelColumn::SetWidthBase(int Value) {
    TVelCustomDBGrid* g = GetGrid();
    if (g && g->GetStretchMode()) {
        if (Value < 0 || Value == FBaseWidth) return;
        FBaseWidth = Value;
        if (!g->IsLoading()) g->StretchColumns();
        return;
    }
    SetWidth(Value);
}

void TVelColumn::SetWidthMin(int Value) {
    if (Value < -1 || Value == FWidthMin) return;
    if (Value != -1 && FWidthMax != -1 && Value > FWidthMax) Value = FWidthMax;
    FWidthMin = Value;
    if (Value != -1 && TrueWidth() < Value) SetWidth(Value);
}

void TVelColumn::SetWidthMax(int Value) {
    if (Value < -1 || Value == FWidthMax) return;
    if (Value != -1 && FWidthMin != -1 && Value < FWidthMin) Value = FWidthMin;
    FWidthMax = Value;
    if (Value != -1 && TrueWidth() > Value) SetWidth(Value);
}

// ---- Values that default from the field or the grid.

TColor TVelColumn::DefaultColor() const {
    TVelCustomDBGrid* g = GetGrid();
    return g ? g->GetColor() : clWindow;
}

TColor TVelColumn::GetColor() const {
    return IsAssigned(TVelColumnValue::cvColor) ? FColor : DefaultColor();
}

void TVelColumn::SetColor(TColor Value) {
    if (IsAssigned(TVelColumnValue::cvColor) && Value == FColor) return;
    FColor = Value;
    Assigned(TVelColumnValue::cvColor);
    ColumnChanged();
}

bool TVelColumn::IsColorStored() const {
    return IsAssigned(TVelColumnValue::cvColor) && FColor != DefaultColor();
}

void TVelColumn::RefreshFont(TFont* Font, const TFont* Default) const {
    if (!Default || Default == Font || Font->SameAs(*Default)) return;
    auto save = Font->GetOnChange();
    Font->SetOnChange(nullptr);
    Font->Assign(Default);
    Font->SetOnChange(save);
}

TFont* TVelColumn::DefaultFont() const {
    TVelCustomDBGrid* g = GetGrid();
    return g ? &g->Font() : FFont;
}

TFont* TVelColumn::GetFont() const {
    if (!IsAssigned(TVelColumnValue::cvFont)) RefreshFont(FFont, DefaultFont());
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
    // A title without its own font follows the column's font when there is no grid.
    if (!IsAssigned(TVelColumnValue::cvTitleFont)) FTitle->GetFont();
    if (TVelCustomDBGrid* g = GetGrid()) g->InvalidateGridEditor();
    ColumnChanged();
}

TAlignment TVelColumn::DefaultAlignment() const {
    TField* f = GetDisplayField();
    return f ? f->GetAlignment() : TAlignment::taLeftJustify;
}

TAlignment TVelColumn::GetAlignment() const {
    return IsAssigned(TVelColumnValue::cvAlignment) ? FAlignment : DefaultAlignment();
}

void TVelColumn::SetAlignment(TAlignment Value) {
    if (PassesToField()) {
        GetField()->SetAlignment(Value);
        return;
    }
    if (IsAssigned(TVelColumnValue::cvAlignment) && Value == FAlignment) return;
    FAlignment = Value;
    Assigned(TVelColumnValue::cvAlignment);
    ColumnChanged();
}

bool TVelColumn::IsAlignmentStored() const {
    return IsAssigned(TVelColumnValue::cvAlignment) && FAlignment != DefaultAlignment();
}

bool TVelColumn::DefaultReadOnly() const {
    TVelCustomDBGrid* g = GetGrid();
    if (g && g->GetReadOnly()) return true;
    TField* f = GetField();
    return f && f->GetReadOnly();
}

bool TVelColumn::GetReadOnly() const {
    return IsAssigned(TVelColumnValue::cvReadOnly) ? FReadOnly : DefaultReadOnly();
}

void TVelColumn::SetReadOnly(bool Value) {
    if (PassesToField()) {
        GetField()->SetReadOnly(Value);
        return;
    }
    if (IsAssigned(TVelColumnValue::cvReadOnly) && Value == FReadOnly) return;
    FReadOnly = Value;
    Assigned(TVelColumnValue::cvReadOnly);
    ColumnChanged();
}

bool TVelColumn::IsReadOnlyStored() const {
    return IsAssigned(TVelColumnValue::cvReadOnly) && FReadOnly != DefaultReadOnly();
}

// ---- Other settings.

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

void TVelColumn::SetDelimiterChar(char32_t Value) {
    if (Value == FDelimiterChar) return;
    FDelimiterChar = Value;
    ColumnChanged();
}

void TVelColumn::SwitchListOptions(TVelListOptions Options, bool On) {
    SetListOptions(On ? FListOptions + Options : FListOptions - Options);
}

void TVelColumn::SwitchPickOptions(TVelPickOptions Options, bool On) {
    SetPickOptions(On ? FPickOptions + Options : FPickOptions - Options);
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

// ---- Lookup settings.

TDataSet* TVelColumn::GetLookupDataSet() const {
    TField* f = GetField();
    return f && f->GetLookup() ? f->GetLookupDataSet() : FLookupDataSet;
}

void TVelColumn::SetLookupDataSet(TDataSet* Value) {
    if (Value == FLookupDataSet) return;
    FLookupDataSet = Value;
    if (Value)
        if (TVelCustomDBGrid* g = GetGrid()) Value->FreeNotification(g);
    ColumnChanged();
}

std::string TVelColumn::GetKeyField() const {
    TField* f = GetField();
    if (f && f->GetLookup()) return f->GetKeyFields();
    return FKeyField.empty() ? FFieldName : FKeyField;
}

void TVelColumn::SetKeyField(const std::string& Value) {
    if (Value == FKeyField) return;
    FKeyField = Value;
    ColumnChanged();
}

std::string TVelColumn::GetLookupKeyField() const {
    TField* f = GetField();
    return f && f->GetLookup() ? f->GetLookupKeyFields() : FLookupKeyField;
}

void TVelColumn::SetLookupKeyField(const std::string& Value) {
    if (Value == FLookupKeyField) return;
    FLookupKeyField = Value;
    ColumnChanged();
}

std::string TVelColumn::GetLookupResultField() const {
    TField* f = GetField();
    if (f && f->GetLookup()) return f->GetLookupResultField();
    if (!FLookupResultField.empty()) return FLookupResultField;
    return SameText(GetKeyField(), FFieldName) ? GetLookupKeyField() : std::string();
}

void TVelColumn::SetLookupResultField(const std::string& Value) {
    if (Value == FLookupResultField) return;
    FLookupResultField = Value;
    ColumnChanged();
}

std::string TVelColumn::GetLookupListFields() const {
    return FLookupListFields.empty() ? GetLookupResultField() : FLookupListFields;
}

void TVelColumn::SetLookupListFields(const std::string& Value) {
    if (Value == FLookupListFields) return;
    FLookupListFields = Value;
    ColumnChanged();
}

TVelLookupColumn TVelColumn::GetLookupColumn() const {
    using enum TVelLookupColumn;
    TField* f = GetField();
    if (!f) return lcNotDefined;
    if (f->GetLookup()) return lcLookupField;
    if (!GetLookupDataSet() || GetLookupKeyField().empty()) return lcNotDefined;
    if (SameText(GetKeyField(), FFieldName))
        return SameText(GetLookupKeyField(), GetLookupResultField()) ? lcLookupKeyField
                                                                     : lcLookupValueField;
    return GetLookupResultField().empty() ? lcNotDefined : lcLookupResultField;
}

}  // namespace vel
