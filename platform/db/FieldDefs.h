#pragma once
// Field and index definitions: what a dataset's fields and indexes are made from.
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/db/DBTypes.h"

namespace vel {

class TDataSet;
class TField;
class TFieldDefs;

class TFieldDef : public TPersistent {
    VEL_CLASS(TFieldDef)
public:
    TFieldDef(TFieldDefs* owner, std::string name, TFieldType type, int size, bool required);
    ~TFieldDef() override;

    const std::string& GetName() const { return FName; }
    void SetName(const std::string& v);
    TFieldType GetDataType() const { return FDataType; }
    void SetDataType(TFieldType v);
    int GetSize() const { return FSize; }
    void SetSize(int v);
    int GetPrecision() const { return FPrecision; }
    void SetPrecision(int v) { FPrecision = v; }
    bool GetRequired() const { return FAttributes.Contains(TFieldAttribute::faRequired); }
    void SetRequired(bool v);
    TFieldAttributes GetAttributes() const { return FAttributes; }
    void SetAttributes(TFieldAttributes v);
    // The field made from this definition is an internal calculated field (stored in the row).
    bool GetInternalCalcField() const { return FInternalCalcField; }
    void SetInternalCalcField(bool v);
    int GetFieldNo() const { return FFieldNo; }
    void SetFieldNo(int v) { FFieldNo = v; }
    // Children of an ADT definition.
    TFieldDefs& GetChildDefs();
    bool HasChildDefs() const;
    TFieldDefs* GetCollection() const { return FOwner; }
    TFieldDef* GetParentDef() const;

    // Creates the field object for this definition on the owning dataset.
    TField* CreateField(TDataSet* dataSet, TField* parentField = nullptr) const;

    void Assign(const TPersistent* source) override;

private:
    friend class TFieldDefs;
    void Changed();
    TFieldDefs* FOwner;
    std::string FName;
    TFieldType FDataType;
    int FSize;
    int FPrecision = 0;
    int FFieldNo = 0;
    TFieldAttributes FAttributes;
    bool FInternalCalcField = false;
    std::unique_ptr<TFieldDefs> FChildDefs;
};

class TFieldDefs : public TPersistent {
    VEL_CLASS(TFieldDefs)
public:
    explicit TFieldDefs(TDataSet* dataSet, TFieldDef* parentDef = nullptr);
    ~TFieldDefs() override;

    int Count() const { return static_cast<int>(FItems.size()); }
    std::size_t size() const { return FItems.size(); }
    TFieldDef* GetItem(int i) const;
    TFieldDef* operator[](int i) const { return GetItem(i); }
    TFieldDef* AddFieldDef();
    // Raises EDatabaseError for an empty or duplicate name, or a size the type refuses.
    TFieldDef* Add(const std::string& name, TFieldType type, int size = 0, bool required = false);
    void Delete(int i);
    void Clear();
    int IndexOf(const std::string& name) const;    // case-insensitive; -1 when absent
    TFieldDef* Find(const std::string& name) const;  // raises "Field 'X' not found"
    TFieldDef* FindDef(const std::string& name) const { int i = IndexOf(name); return i < 0 ? nullptr : FItems[i].get(); }
    TDataSet* GetDataSet() const { return FDataSet; }
    TFieldDef* GetParentDef() const { return FParentDef; }
    bool GetUpdated() const { return FUpdated; }
    void SetUpdated(bool v) { FUpdated = v; }
    // Brings the definitions up to date with the dataset (asks it to describe its fields).
    void Update();
    void Assign(const TPersistent* source) override;

private:
    friend class TFieldDef;
    void Changed();
    TDataSet* FDataSet;
    TFieldDef* FParentDef;
    bool FUpdated = false;
    std::vector<std::unique_ptr<TFieldDef>> FItems;
};

class TIndexDefs;

class TIndexDef : public TPersistent {
    VEL_CLASS(TIndexDef)
public:
    TIndexDef(TIndexDefs* owner, std::string name, std::string fields, TIndexOptions options);

    const std::string& GetName() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    // Field lists are ";"-separated names.
    const std::string& GetFields() const { return FFields; }
    void SetFields(const std::string& v) { FFields = v; }
    const std::string& GetDescFields() const { return FDescFields; }
    void SetDescFields(const std::string& v) { FDescFields = v; }
    const std::string& GetCaseInsFields() const { return FCaseInsFields; }
    void SetCaseInsFields(const std::string& v) { FCaseInsFields = v; }
    TIndexOptions GetOptions() const { return FOptions; }
    void SetOptions(TIndexOptions v) { FOptions = v; }
    const std::string& GetExpression() const { return FExpression; }
    void SetExpression(const std::string& v) { FExpression = v; }
    TIndexDefs* GetCollection() const { return FOwner; }

    void Assign(const TPersistent* source) override;

private:
    TIndexDefs* FOwner;
    std::string FName, FFields, FDescFields, FCaseInsFields, FExpression;
    TIndexOptions FOptions;
};

class TIndexDefs : public TPersistent {
    VEL_CLASS(TIndexDefs)
public:
    explicit TIndexDefs(TDataSet* dataSet);
    ~TIndexDefs() override;

    int Count() const { return static_cast<int>(FItems.size()); }
    TIndexDef* GetItem(int i) const;
    TIndexDef* operator[](int i) const { return GetItem(i); }
    TIndexDef* AddIndexDef();
    TIndexDef* Add(const std::string& name, const std::string& fields, TIndexOptions options);
    void Delete(int i);
    void Clear();
    int IndexOf(const std::string& name) const;  // case-insensitive
    TIndexDef* Find(const std::string& name) const;  // raises "Index 'X' not found"
    // The index whose leading fields are `fields` (case-insensitive); null when none.
    TIndexDef* GetIndexForFields(const std::string& fields, bool caseInsensitive) const;
    TIndexDef* FindIndexForFields(const std::string& fields) const;  // raises when none
    TDataSet* GetDataSet() const { return FDataSet; }
    bool GetUpdated() const { return FUpdated; }
    void SetUpdated(bool v) { FUpdated = v; }
    // Refreshes the list from the dataset's own indexes.
    void Update();
    void Assign(const TPersistent* source) override;

private:
    TDataSet* FDataSet;
    bool FUpdated = false;
    std::vector<std::unique_ptr<TIndexDef>> FItems;
};

}  // namespace vel
