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
    explicit TVelGridDataLink(TVelCustomDBGrid* Grid);
    TVelCustomDBGrid* GetGrid() const { return FGrid; }

    // Field map: one entry per data column, -1 for a column without a field.
    bool AddMapping(const std::string& FieldName);
    void ClearMapping();
    int GetMappedIndex(int ColIndex) const;
    TField* GetFields(int ColIndex) const;
    int GetFieldCount() const { return static_cast<int>(FFieldMap.size()); }
    // The map follows customised columns and may hold -1 entries.
    bool GetSparseMap() const { return FSparseMap; }
    void SetSparseMap(bool Value) { FSparseMap = Value; }
    bool GetDefaultFields() const;
    bool GetModified() const { return FModified; }
    void Modified() { FModified = true; }
    void Reset();

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    TVelCustomDBGrid* FGrid;
    std::vector<int> FFieldMap;
    bool FModified = false;
    bool FInUpdateData = false;
    bool FSparseMap = false;
};

}  // namespace vel
