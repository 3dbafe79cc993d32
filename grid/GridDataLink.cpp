#include "grid/GridDataLink.h"

#include "grid/DBGrid.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

VEL_DEFINE_CLASS(TVelGridDataLink, TDataLink)

TVelGridDataLink::TVelGridDataLink(TVelCustomDBGrid* Grid) : FGrid(Grid) {
    SetVisualControl(true);
}

bool TVelGridDataLink::AddMapping(const std::string& FieldName) {
    TDataSet* ds = GetDataSet();
    TField* f = ds && !FieldName.empty() ? ds->FindField(FieldName) : nullptr;
    if (!f && !FSparseMap && !FieldName.empty()) return false;
    FFieldMap.push_back(f ? ds->GetFields().IndexOf(f) : -1);
    return true;
}

void TVelGridDataLink::ClearMapping() {
    FFieldMap.clear();
}

int TVelGridDataLink::GetMappedIndex(int ColIndex) const {
    return ColIndex >= 0 && ColIndex < GetFieldCount() ? FFieldMap[std::size_t(ColIndex)] : -1;
}

TField* TVelGridDataLink::GetFields(int ColIndex) const {
    const int i = GetMappedIndex(ColIndex);
    TDataSet* ds = GetDataSet();
    return i >= 0 && ds && i < ds->GetFieldCount() ? ds->GetFields()[i] : nullptr;
}

bool TVelGridDataLink::GetDefaultFields() const {
    TDataSet* ds = GetDataSet();
    return ds && ds->GetDefaultFields();
}

void TVelGridDataLink::Reset() {
    FModified = false;
}

void TVelGridDataLink::ActiveChanged() {
    FGrid->LinkActive(GetActive());
}

void TVelGridDataLink::DataSetChanged() {
    FGrid->DataChanged();
}

void TVelGridDataLink::DataSetScrolled(int Distance) {
    FGrid->Scroll(Distance);
}

void TVelGridDataLink::EditingChanged() {
    FGrid->EditingChanged();
}

void TVelGridDataLink::LayoutChanged() {
    FGrid->LayoutChanged();
}

void TVelGridDataLink::RecordChanged(TField* Field) {
    FGrid->RecordChanged(Field);
}

void TVelGridDataLink::UpdateData() {
    if (FInUpdateData) return;
    TRestore<bool> inUpdate(FInUpdateData, true);
    if (FModified) FGrid->UpdateData();
    FModified = false;
}

}  // namespace vel
