#pragma once
// TVelGridDataLink: the grid's view of its dataset. It turns the dataset's news into grid
// work (record window, row count, repaint, layout) and keeps the map from grid columns to
// dataset fields.
#include <vector>

#include "platform/db/DataSource.h"

namespace vel {

class TField;
class TVelCustomDBGrid;

class TVelGridDataLink : public TDataLink {
    VEL_CLASS(TVelGridDataLink)
public:
    // The most fields one map can hold.
    static constexpr int MaxMapCount = 0x0FFFFFFF;

    explicit TVelGridDataLink(TVelCustomDBGrid* Grid);
    TVelCustomDBGrid* GetGrid() const { return FGrid; }

    // Field map: one entry per data column, -1 for a column without a field. A sparse map
    // looks fields up leniently (a missing one maps to -1); a full map raises the dataset's
    // error for a missing field.
    bool AddMapping(const std::string& FieldName);
    void ClearMapping();
    int GetMappedIndex(int ColIndex) const;
    TField* GetFields(int ColIndex) const;
    int GetFieldCount() const { return FFieldCount; }
    // Entries the map has room for before it grows.
    int GetMapCapacity() const { return static_cast<int>(FFieldMap.size()); }
    bool GetSparseMap() const { return FSparseMap; }
    void SetSparseMap(bool Value) { FSparseMap = Value; }
    // The dataset's fields are made automatically and (for a sparse map) every entry found.
    bool GetDefaultFields() const;
    bool GetModified() const { return FModified; }
    bool GetInUpdateData() const { return FInUpdateData; }
    // The in-place editor holds a change the field does not have yet.
    void Modified() { FModified = true; }
    // Posts a pending edit, or cancels the dataset's edit when there is none.
    void Reset();
    void Cancel();

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void EditingChanged() override;
    void FocusControl(TField** Field) override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    TVelCustomDBGrid* FGrid;
    int FFieldCount = 0;
    std::vector<int> FFieldMap;
    bool FModified = false;
    bool FInUpdateData = false;
    bool FSparseMap = false;
};

}  // namespace vel
