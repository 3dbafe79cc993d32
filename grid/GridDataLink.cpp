#include "grid/GridDataLink.h"

#include <algorithm>

#include "grid/DBGrid.h"
#include "platform/controls/Grids.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace vel {

VEL_DEFINE_CLASS(TVelGridDataLink, TDataLink)

TVelGridDataLink::TVelGridDataLink(TVelCustomDBGrid* Grid) : FGrid(Grid) {
    SetVisualControl(true);
}

bool TVelGridDataLink::AddMapping(const std::string& FieldName) {
    if (FFieldCount >= MaxMapCount) throw EInvalidGridOperation("Too many columns");
    TDataSet* ds = GetDataSet();
    TField* f = nullptr;
    if (ds) f = FSparseMap ? ds->FindField(FieldName) : ds->FieldByName(FieldName);
    if (FFieldCount == GetMapCapacity()) {
        const std::size_t len = FFieldMap.size();
        std::size_t grown = len == 0 ? 8 : len * 2;
        grown = std::max<std::size_t>(grown, std::size_t(FFieldCount) + 1);
        FFieldMap.resize(std::min<std::size_t>(grown, MaxMapCount), -1);
    }
    int index = -1;
    if (f) {
        // Entries index the flat field list, which holds the fields of object fields too.
        const auto& list = ds->GetFieldList();
        index = int(std::find(list.begin(), list.end(), f) - list.begin());
    }
    FFieldMap[std::size_t(FFieldCount++)] = index;
    if (f) f->FreeNotification(FGrid);
    return f != nullptr;
}

void TVelGridDataLink::ClearMapping() {
    FFieldMap.clear();
    FFieldCount = 0;
}

int TVelGridDataLink::GetMappedIndex(int ColIndex) const {
    return ColIndex >= 0 && ColIndex < FFieldCount ? FFieldMap[std::size_t(ColIndex)] : -1;
}

TField* TVelGridDataLink::GetFields(int ColIndex) const {
    const int i = GetMappedIndex(ColIndex);
    TDataSet* ds = GetDataSet();
    if (i < 0 || !ds) return nullptr;
    const auto& list = ds->GetFieldList();
    return i < int(list.size()) ? list[std::size_t(i)] : nullptr;
}

bool TVelGridDataLink::GetDefaultFields() const {
    TDataSet* ds = GetDataSet();
    if (!ds || !ds->GetDefaultFields()) return false;
    if (FSparseMap)
        for (int i = 0; i < FFieldCount; ++i)
            if (FFieldMap[std::size_t(i)] < 0) return false;
    return true;
}

void TVelGridDataLink::Reset() {
    if (FModified)
        RecordChanged(nullptr);
    else
        Cancel();
}

void TVelGridDataLink::Cancel() {
    TDataSet* ds = GetDataSet();
    if (!ds) return;
    auto lock = FGrid->HoldChangeLock();
    ds->Cancel();
}

void TVelGridDataLink::ActiveChanged() {
    if (GetActive()) {
        TDataSet* ds = GetDataSet();
        if (ds && ds->IsUniDirectional()) {
            FModified = false;
            ds->CheckBiDirectional();
        }
    }
    FGrid->LinkActive(GetActive());
    FModified = false;
}

void TVelGridDataLink::DataSetChanged() {
    FGrid->DataChanged();
    FModified = false;
}

void TVelGridDataLink::DataSetScrolled(int Distance) {
    FGrid->Scroll(Distance);
}

void TVelGridDataLink::EditingChanged() {
    FGrid->EditingChanged();
}

void TVelGridDataLink::FocusControl(TField** Field) {
    if (!Field || !*Field) return;
    FGrid->SetSelectedField(*Field);
    if (FGrid->GetSelectedField() == *Field && FGrid->AcquireFocus()) {
        *Field = nullptr;
        FGrid->ShowEditor();
    }
}

void TVelGridDataLink::LayoutChanged() {
    {
        TRestore<bool> fromDataSet(FGrid->FLayoutFromDataSet, true);
        FGrid->LayoutChanged();
    }
    TDataLink::LayoutChanged();
}

void TVelGridDataLink::RecordChanged(TField* Field) {
    if (FModified && Field && Field->GetFieldKind() == TFieldKind::fkData &&
        Field != FGrid->GetSelectedField() && !FInUpdateData) {
        TVelColumn* c = FGrid->GetColumns()->FindColumn(Field->GetFieldName());
        if (!c || !FGrid->IsFixedColumn(c)) UpdateData();
    }
    FGrid->RecordChanged(Field);
    FModified = false;
}

void TVelGridDataLink::UpdateData() {
    FInUpdateData = true;
    TScopeExit clear([&] {
        FInUpdateData = false;
        FModified = false;
    });
    if (FModified) FGrid->UpdateData();
}

}  // namespace vel
