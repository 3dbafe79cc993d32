#pragma once
// TVelDBGridTreeView: the grid's tree view settings. The settings are kept and streamed; the
// grid does not yet show a tree.
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/PropAccess.h"

namespace vel {

// Commas become semicolons: field lists are ";"-separated everywhere.
std::string NormalizeFieldList(const std::string& Value);

class TVelDBGridTreeView : public TPersistent {
    VEL_CLASS(TVelDBGridTreeView)
public:
    explicit TVelDBGridTreeView(TComponent* AGrid = nullptr);
    void Assign(const TPersistent* Source) override;

    TComponent* GetGrid() const { return FGrid; }
    std::string GetRowLevelFieldName() const;
    void SetRowLevelFieldName(const std::string& Value);
    bool IsRowLevelFieldNameStored() const;
    std::string GetRowOrderFieldName() const;
    void SetRowOrderFieldName(const std::string& Value);
    bool IsRowOrderFieldNameStored() const;
    std::string GetRowStateFieldName() const;
    void SetRowStateFieldName(const std::string& Value);
    bool IsRowStateFieldNameStored() const;
    int GetRowOrderFieldSize() const { return FRowOrderFieldSize; }
    // Below 1: the default; 1 to 19: 20.
    void SetRowOrderFieldSize(int Value);
    bool IsRowOrderFieldSizeStored() const { return FRowOrderFieldSize != DefaultRowOrderFieldSize(); }
    bool GetActive() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    bool GetAutoActive() const { return FAutoActive; }
    void SetAutoActive(bool Value) { FAutoActive = Value; }
    bool GetAutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool Value) { FAutoUpdate = Value; }
    bool GetCellExpand() const { return FCellExpand; }
    void SetCellExpand(bool Value) { FCellExpand = Value; }
    int GetOpenToLevel() const { return FOpenToLevel; }
    // Below -1 means -1 (leave the rows as they are).
    void SetOpenToLevel(int Value) { FOpenToLevel = Value < -1 ? -1 : Value; }
    const std::string& GetColumnNames() const { return FColumnNames; }
    void SetColumnNames(const std::string& Value) { FColumnNames = NormalizeFieldList(Value); }
    const std::string& GetParentFields() const { return FParentFields; }
    void SetParentFields(const std::string& Value) { FParentFields = NormalizeFieldList(Value); }
    int GetDeepestLevel() const { return FDeepestLevel; }

    virtual std::string DefaultRowLevelFieldName() const { return "RowLevel"; }
    virtual std::string DefaultRowOrderFieldName() const { return "RowOrder"; }
    virtual int DefaultRowOrderFieldSize() const { return 80; }
    virtual std::string DefaultRowStateFieldName() const { return "RowState"; }

private:
    TComponent* FGrid;
    std::string FRowLevelFieldName;
    std::string FRowOrderFieldName;
    int FRowOrderFieldSize = 80;
    std::string FRowStateFieldName;
    bool FActive = false;
    bool FAutoActive = true;
    bool FAutoUpdate = true;
    bool FUpdatePending = false;
    bool FUpdating = false;
    bool FCellExpand = false;
    int FDeepestLevel = 0;
    int FOpenToLevel = -1;
    std::string FColumnNames;
    std::string FParentFields;
};

}  // namespace vel
