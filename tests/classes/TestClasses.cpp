#include "tests/classes/TestClasses.h"

#include <algorithm>

#include "platform/classes/Alignment.h"
#include "platform/classes/Streaming.h"
#include "platform/classes/TypInfo.h"

namespace vel::testcls {

VEL_ENUM_INFO(TCommandType, cmdText, cmdTable, cmdStoredProc)
VEL_ENUM_INFO(TGridOption, dgEditing, dgTitles, dgIndicator, dgColLines, dgRowLines)

// ---- TTestFont ----

VEL_DEFINE_CLASS(TTestFont, TPersistent)

VEL_PUBLISHED(TTestFont) {
    Prop("Name", &T::GetName, &T::SetName).Default("Tahoma");
    Prop("Size", &T::GetSize, &T::SetSize, 8);
    Color("Color", &T::GetColor, &T::SetColor, clWindowText);
}

void TTestFont::Assign(const TPersistent* Source) {
    if (auto* f = dynamic_cast<const TTestFont*>(Source)) {
        FName = f->FName;
        FSize = f->FSize;
        FColor = f->FColor;
        return;
    }
    TPersistent::Assign(Source);
}

// ---- TTestDataSet ----

VEL_DEFINE_CREATABLE_CLASS(TTestDataSet, TComponent)

VEL_PUBLISHED(TTestDataSet) {
    Prop("CommandText", &T::GetCommandText, &T::SetCommandText);
    Prop("CommandType", &T::GetCommandType, &T::SetCommandType, TCommandType::cmdText);
    Prop("Active", &T::GetActive, &T::SetActive, false);
    Prop("Ratio", &T::GetRatio, &T::SetRatio);
    Prop("MaxRows", &T::GetMaxRows, &T::SetMaxRows, std::int64_t{0});
    Prop("SQL", &T::GetSQL, &T::SetSQL);
    Prop("MasterSource", &T::GetMasterSource, &T::SetMasterSource);
    Prop("RecordCount", &T::GetRecordCount).Stored(false);
}

TTestDataSet::TTestDataSet(TComponent* AOwner) : TComponent(AOwner), FSQL(new TStringList) {}

TTestDataSet::~TTestDataSet() { delete FSQL; }

void TTestDataSet::SetMasterSource(TComponent* v) {
    if (FMasterSource == v) return;
    if (FMasterSource) FMasterSource->RemoveFreeNotification(this);
    FMasterSource = v;
    if (v) v->FreeNotification(this);
}

void TTestDataSet::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FMasterSource) FMasterSource = nullptr;
}

// ---- TTestDataSource ----

VEL_DEFINE_CREATABLE_CLASS(TTestDataSource, TComponent)

VEL_PUBLISHED(TTestDataSource) {
    Prop("DataSet", &T::GetDataSet, &T::SetDataSet);
    Prop("Enabled", &T::GetEnabled, &T::SetEnabled, true);
}

void TTestDataSource::SetDataSet(TTestDataSet* v) {
    if (FDataSet == v) return;
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
    FDataSet = v;
    if (v) v->FreeNotification(this);
}

void TTestDataSource::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FDataSet) FDataSet = nullptr;
}

// ---- TTestControl / TTestPanel ----

VEL_DEFINE_CREATABLE_CLASS(TTestControl, TComponent)

VEL_PUBLISHED(TTestControl) { Prop("Left", &T::GetLeft, &T::SetLeft, 0); }

TTestControl::~TTestControl() { SetParent(nullptr); }

TComponent* TTestControl::GetParentComponent() const { return FParent; }

void TTestControl::SetParentComponent(TComponent* Value) {
    if (auto* p = dynamic_cast<TTestPanel*>(Value)) SetParent(p);
}

void TTestControl::SetParent(TTestPanel* Value) {
    if (FParent == Value) return;
    if (FParent) {
        auto& c = FParent->Children;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
    FParent = Value;
    if (Value) Value->Children.push_back(this);
}

void TTestControl::Loaded() {
    TComponent::Loaded();
    ++LoadedCount;
}

VEL_DEFINE_CREATABLE_CLASS(TTestPanel, TTestControl)

VEL_PUBLISHED(TTestPanel) {
    Prop("Caption", &T::GetCaption, &T::SetCaption);
    Prop("Mark", &T::GetMark, &T::SetMark);
}

TTestPanel::~TTestPanel() {
    while (!Children.empty()) Children.back()->SetParent(nullptr);
}

void TTestPanel::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TTestControl* c : Children)
        if (c->GetOwner() == Root) Proc(c);
}

// ---- TTestTitle / TTestColumn ----

VEL_DEFINE_CLASS(TTestTitle, TPersistent)

VEL_PUBLISHED(TTestTitle) {
    Prop("Caption", &T::GetCaption, &T::SetCaption);
    Prop("Font", &T::GetFont, &T::SetFont);
}

void TTestTitle::Assign(const TPersistent* Source) {
    if (auto* t = dynamic_cast<const TTestTitle*>(Source)) {
        FCaption = t->FCaption;
        FFont.Assign(&t->FFont);
        return;
    }
    TPersistent::Assign(Source);
}

VEL_DEFINE_ITEM_CLASS(TTestColumn, TCollectionItem)

VEL_PUBLISHED(TTestColumn) {
    Prop("FieldName", &T::GetFieldName, &T::SetFieldName);
    Prop("Width", &T::GetWidth, &T::SetWidth).Stored(&T::IsWidthStored);
    Prop("Visible", &T::GetVisible, &T::SetVisible, true);
    Color("Color", &T::GetColor, &T::SetColor, clWindow);
    Prop("Alignment", &T::GetAlignment, &T::SetAlignment, TAlignment::taLeftJustify);
    Prop("Title", &T::GetTitle);
    Prop("PopupMenu", &T::GetPopupMenu, &T::SetPopupMenu);
}

void TTestColumn::SetPopupMenu(TComponent* v) {
    FPopupMenu = v;
    auto* grid = GetCollection() ? dynamic_cast<TComponent*>(GetCollection()->Owner()) : nullptr;
    if (v && grid) v->FreeNotification(grid);
}

void TTestColumn::Assign(const TPersistent* Source) {
    if (auto* c = dynamic_cast<const TTestColumn*>(Source)) {
        FFieldName = c->FFieldName;
        FWidth = c->FWidth;
        FVisible = c->FVisible;
        FColor = c->FColor;
        FAlignment = c->FAlignment;
        FTitle.Assign(&c->FTitle);
        FPopupMenu = c->FPopupMenu;
        return;
    }
    TCollectionItem::Assign(Source);
}

// ---- TTestGrid ----

VEL_DEFINE_CREATABLE_CLASS(TTestGrid, TTestControl)

VEL_PUBLISHED(TTestGrid) {
    Prop("DataSource", &T::GetDataSource, &T::SetDataSource);
    Prop("Columns", &T::GetColumns, &T::SetColumns);
    Prop("Options", &T::GetOptions, &T::SetOptions,
         TGridOptions{TGridOption::dgEditing, TGridOption::dgTitles});
    Color("Color", &T::GetColor, &T::SetColor, clWindow);
    Color("FixedColor", &T::GetFixedColor, &T::SetFixedColor, clBtnFace);
    Prop("Font", &T::GetFont, &T::SetFont);
    Prop("ReadOnly", &T::GetReadOnly, &T::SetReadOnly, false);
    Prop("LinesCount", &T::GetLinesCount, &T::SetLinesCount, 1);
    Prop("Items", &T::GetItems, &T::SetItems);
    Prop("MasterGrid", &T::GetMasterGrid, &T::SetMasterGrid);
}

TTestGrid::TTestGrid(TComponent* AOwner)
    : TTestControl(AOwner),
      FColumns(new TCollection(TTestColumn::StaticClass(), this)),
      FFont(new TTestFont),
      FItems(new TStringList) {}

TTestGrid::~TTestGrid() {
    delete FColumns;
    delete FFont;
    delete FItems;
}

void TTestGrid::DefineProperties(TFiler& Filer) {
    TTestControl::DefineProperties(Filer);
    Filer.DefineProperty(
        "OrderFields", [this](TReader& r) { OrderFields = r.ReadString(); },
        [this](TWriter& w) { w.WriteString(OrderFields); }, !OrderFields.empty());
    Filer.DefineProperty(
        "Blob", [this](TReader& r) { Blob = r.ReadBinary(); },
        [this](TWriter& w) { w.WriteBinary(Blob.data(), Blob.size()); }, !Blob.empty());
}

void TTestGrid::SetDataSource(TTestDataSource* v) {
    if (FDataSource == v) return;
    if (FDataSource) FDataSource->RemoveFreeNotification(this);
    FDataSource = v;
    if (v) v->FreeNotification(this);
}

void TTestGrid::SetMasterGrid(TTestGrid* v) {
    if (FMasterGrid == v) return;
    if (FMasterGrid) FMasterGrid->RemoveFreeNotification(this);
    FMasterGrid = v;
    if (v) v->FreeNotification(this);
}

void TTestGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TTestControl::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FDataSource) FDataSource = nullptr;
    if (AComponent == FMasterGrid) FMasterGrid = nullptr;
    for (int i = 0; i < FColumns->Count(); ++i)
        if (Column(i)->GetPopupMenu() == AComponent) Column(i)->SetPopupMenu(nullptr);
}

void TTestGrid::Loaded() {
    TTestControl::Loaded();
    DataSourceSetAtLoaded = FDataSource != nullptr;
}

// ---- TTestForm ----

VEL_DEFINE_CREATABLE_CLASS(TTestForm, TComponent)

VEL_PUBLISHED(TTestForm) {
    Prop("Caption", &T::GetCaption, &T::SetCaption);
    Color("Color", &T::GetColor, &T::SetColor, clBtnFace);
}

void TTestForm::Loaded() {
    TComponent::Loaded();
    ++LoadedCount;
}

}  // namespace vel::testcls
