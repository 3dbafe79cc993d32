#include "grid/GridTreeView.h"

#include <algorithm>

#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

namespace vel {

VEL_DEFINE_CLASS(TVelDBGridTreeView, TPersistent)

VEL_PUBLISHED(TVelDBGridTreeView) {
    Prop("AutoActive", &T::GetAutoActive, &T::SetAutoActive, true);
    Prop("AutoUpdate", &T::GetAutoUpdate, &T::SetAutoUpdate, true);
    Prop("CellExpand", &T::GetCellExpand, &T::SetCellExpand, false);
    Prop("ColumnNames", &T::GetColumnNames, &T::SetColumnNames);
    Prop("OpenToLevel", &T::GetOpenToLevel, &T::SetOpenToLevel, -1);
    Prop("ParentFields", &T::GetParentFields, &T::SetParentFields);
    Prop("RowLevelFieldName", &T::GetRowLevelFieldName, &T::SetRowLevelFieldName)
        .Stored(&T::IsRowLevelFieldNameStored);
    Prop("RowOrderFieldName", &T::GetRowOrderFieldName, &T::SetRowOrderFieldName)
        .Stored(&T::IsRowOrderFieldNameStored);
    Prop("RowOrderFieldSize", &T::GetRowOrderFieldSize, &T::SetRowOrderFieldSize)
        .Stored(&T::IsRowOrderFieldSizeStored);
    Prop("RowStateFieldName", &T::GetRowStateFieldName, &T::SetRowStateFieldName)
        .Stored(&T::IsRowStateFieldNameStored);
}

std::string NormalizeFieldList(const std::string& Value) {
    std::string result = Value;
    std::replace(result.begin(), result.end(), ',', ';');
    return result;
}

TVelDBGridTreeView::TVelDBGridTreeView(TComponent* AGrid) : FGrid(AGrid) {}

void TVelDBGridTreeView::Assign(const TPersistent* Source) {
    if (auto* t = dynamic_cast<const TVelDBGridTreeView*>(Source)) {
        FRowLevelFieldName = t->FRowLevelFieldName;
        FRowOrderFieldName = t->FRowOrderFieldName;
        FRowOrderFieldSize = t->FRowOrderFieldSize;
        FRowStateFieldName = t->FRowStateFieldName;
        FAutoActive = t->FAutoActive;
        FAutoUpdate = t->FAutoUpdate;
        FCellExpand = t->FCellExpand;
        FOpenToLevel = t->FOpenToLevel;
        FColumnNames = t->FColumnNames;
        FParentFields = t->FParentFields;
        return;
    }
    TPersistent::Assign(Source);
}

std::string TVelDBGridTreeView::GetRowLevelFieldName() const {
    return FRowLevelFieldName.empty() ? DefaultRowLevelFieldName() : FRowLevelFieldName;
}
void TVelDBGridTreeView::SetRowLevelFieldName(const std::string& Value) {
    FRowLevelFieldName = Value;
}
bool TVelDBGridTreeView::IsRowLevelFieldNameStored() const {
    return !FRowLevelFieldName.empty() && !SameText(FRowLevelFieldName, DefaultRowLevelFieldName());
}

std::string TVelDBGridTreeView::GetRowOrderFieldName() const {
    return FRowOrderFieldName.empty() ? DefaultRowOrderFieldName() : FRowOrderFieldName;
}
void TVelDBGridTreeView::SetRowOrderFieldName(const std::string& Value) {
    FRowOrderFieldName = Value;
}
bool TVelDBGridTreeView::IsRowOrderFieldNameStored() const {
    return !FRowOrderFieldName.empty() && !SameText(FRowOrderFieldName, DefaultRowOrderFieldName());
}

std::string TVelDBGridTreeView::GetRowStateFieldName() const {
    return FRowStateFieldName.empty() ? DefaultRowStateFieldName() : FRowStateFieldName;
}
void TVelDBGridTreeView::SetRowStateFieldName(const std::string& Value) {
    FRowStateFieldName = Value;
}
bool TVelDBGridTreeView::IsRowStateFieldNameStored() const {
    return !FRowStateFieldName.empty() && !SameText(FRowStateFieldName, DefaultRowStateFieldName());
}

void TVelDBGridTreeView::SetRowOrderFieldSize(int Value) {
    if (Value < 1)
        Value = DefaultRowOrderFieldSize();
    else if (Value < 20)
        Value = 20;
    FRowOrderFieldSize = Value;
}

}  // namespace vel
