#include "platform/db/FieldDefs.h"

#include "platform/classes/Errors.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CLASS(TFieldDef, TPersistent)
VEL_DEFINE_CLASS(TFieldDefs, TPersistent)
VEL_DEFINE_CLASS(TIndexDef, TPersistent)
VEL_DEFINE_CLASS(TIndexDefs, TPersistent)

namespace {
void CheckSize(const std::string& name, TFieldType type, int size) {
    if (size < 0 || ((IsStringType(type) && size == 0)))
        DatabaseError("Invalid field size " + std::to_string(size) + " for field '" + name + "'");
}
}  // namespace

TFieldDef::TFieldDef(TFieldDefs* owner, std::string name, TFieldType type, int size, bool required)
    : FOwner(owner), FName(std::move(name)), FDataType(type), FSize(size) {
    if (required) FAttributes.Include(TFieldAttribute::faRequired);
}

TFieldDef::~TFieldDef() = default;

void TFieldDef::Changed() {
    if (FOwner) FOwner->Changed();
}
void TFieldDef::SetName(const std::string& v) {
    if (FOwner) {
        TFieldDef* other = FOwner->FindDef(v);
        if (other && other != this) DatabaseError("Duplicate name '" + v + "' in field definitions");
    }
    FName = v;
    Changed();
}
void TFieldDef::SetDataType(TFieldType v) {
    FDataType = v;
    Changed();
}
void TFieldDef::SetSize(int v) {
    FSize = v;
    Changed();
}
void TFieldDef::SetRequired(bool v) {
    if (v) FAttributes.Include(TFieldAttribute::faRequired);
    else FAttributes.Exclude(TFieldAttribute::faRequired);
    Changed();
}
void TFieldDef::SetAttributes(TFieldAttributes v) {
    FAttributes = v;
    Changed();
}
void TFieldDef::SetInternalCalcField(bool v) {
    FInternalCalcField = v;
    Changed();
}
TFieldDefs& TFieldDef::GetChildDefs() {
    if (!FChildDefs) FChildDefs = std::make_unique<TFieldDefs>(FOwner ? FOwner->GetDataSet() : nullptr, this);
    return *FChildDefs;
}
bool TFieldDef::HasChildDefs() const { return FChildDefs && FChildDefs->Count() > 0; }
TFieldDef* TFieldDef::GetParentDef() const { return FOwner ? FOwner->GetParentDef() : nullptr; }

TField* TFieldDef::CreateField(TDataSet* dataSet, TField* parentField) const {
    CheckSize(FName, FDataType, FSize);
    TField* f = CreateFieldForType(FDataType, dataSet);
    if (!f)
        DatabaseError("Unsupported field type (" + FieldTypeName(FDataType) + ") in field " + FName);
    try {
        f->SetFieldName(FName);
        if (IsStringType(FDataType)) f->SetSize(FSize);
        f->SetRequired(GetRequired());
        f->SetReadOnly(FAttributes.Contains(TFieldAttribute::faReadonly));
        if (FAttributes.Contains(TFieldAttribute::faHiddenCol)) f->SetVisible(false);
        f->SetFieldNo(FFieldNo);
        if (FInternalCalcField) f->SetFieldKind(TFieldKind::fkInternalCalc);
        if (auto* bcd = dynamic_cast<TFloatField*>(f); bcd && FPrecision > 0) bcd->SetPrecision(FPrecision);
        if (auto* parent = dynamic_cast<TObjectField*>(parentField)) {
            f->SetDataSet(dataSet);
            f->SetParentField(parent);
        } else {
            f->SetDataSet(dataSet);
        }
        if (auto* obj = dynamic_cast<TObjectField*>(f); obj && FChildDefs)
            for (int i = 0; i < FChildDefs->Count(); ++i)
                (*FChildDefs)[i]->CreateField(dataSet, obj)->SetAutomatic(true);
    } catch (...) {
        delete f;
        throw;
    }
    return f;
}

void TFieldDef::Assign(const TPersistent* source) {
    if (auto* d = dynamic_cast<const TFieldDef*>(source)) {
        FName = d->FName;
        FDataType = d->FDataType;
        FSize = d->FSize;
        FPrecision = d->FPrecision;
        FAttributes = d->FAttributes;
        FInternalCalcField = d->FInternalCalcField;
        if (d->FChildDefs) GetChildDefs().Assign(d->FChildDefs.get());
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

TFieldDefs::TFieldDefs(TDataSet* dataSet, TFieldDef* parentDef) : FDataSet(dataSet), FParentDef(parentDef) {}
TFieldDefs::~TFieldDefs() = default;

void TFieldDefs::Changed() {
    if (FDataSet && !FDataSet->GetActive()) FUpdated = false;
}

TFieldDef* TFieldDefs::GetItem(int i) const {
    if (i < 0 || i >= Count()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return FItems[i].get();
}
TFieldDef* TFieldDefs::AddFieldDef() {
    FItems.push_back(std::make_unique<TFieldDef>(this, "", TFieldType::ftUnknown, 0, false));
    FItems.back()->FFieldNo = Count();
    Changed();
    return FItems.back().get();
}
TFieldDef* TFieldDefs::Add(const std::string& name, TFieldType type, int size, bool required) {
    if (name.empty()) DatabaseError("Field name missing");
    if (IndexOf(name) >= 0) DatabaseError("Duplicate name '" + name + "' in field definitions");
    CheckSize(name, type, size);
    FItems.push_back(std::make_unique<TFieldDef>(this, name, type, size, required));
    FItems.back()->FFieldNo = Count();
    Changed();
    return FItems.back().get();
}
void TFieldDefs::Delete(int i) {
    GetItem(i);
    FItems.erase(FItems.begin() + i);
    Changed();
}
void TFieldDefs::Clear() {
    FItems.clear();
    Changed();
}
int TFieldDefs::IndexOf(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (Utf8SameText(FItems[i]->GetName(), name)) return i;
    return -1;
}
TFieldDef* TFieldDefs::Find(const std::string& name) const {
    int i = IndexOf(name);
    if (i < 0) DatabaseError("Field '" + name + "' not found");
    return FItems[i].get();
}
void TFieldDefs::Update() {
    if (FUpdated || !FDataSet) return;
    FDataSet->InternalInitFieldDefs();
    FUpdated = true;
}
void TFieldDefs::Assign(const TPersistent* source) {
    if (auto* d = dynamic_cast<const TFieldDefs*>(source)) {
        if (d == this) return;
        FItems.clear();
        for (const auto& item : d->FItems) {
            FItems.push_back(std::make_unique<TFieldDef>(this, "", TFieldType::ftUnknown, 0, false));
            FItems.back()->Assign(item.get());
            FItems.back()->FFieldNo = Count();
        }
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

// ---------------------------------------------------------------- indexes

TIndexDef::TIndexDef(TIndexDefs* owner, std::string name, std::string fields, TIndexOptions options)
    : FOwner(owner), FName(std::move(name)), FFields(std::move(fields)), FOptions(options) {}

void TIndexDef::Assign(const TPersistent* source) {
    if (auto* d = dynamic_cast<const TIndexDef*>(source)) {
        FName = d->FName;
        FFields = d->FFields;
        FDescFields = d->FDescFields;
        FCaseInsFields = d->FCaseInsFields;
        FExpression = d->FExpression;
        FOptions = d->FOptions;
        return;
    }
    TPersistent::Assign(source);
}

TIndexDefs::TIndexDefs(TDataSet* dataSet) : FDataSet(dataSet) {}
TIndexDefs::~TIndexDefs() = default;

TIndexDef* TIndexDefs::GetItem(int i) const {
    if (i < 0 || i >= Count()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return FItems[i].get();
}
TIndexDef* TIndexDefs::AddIndexDef() {
    FItems.push_back(std::make_unique<TIndexDef>(this, "", "", TIndexOptions{}));
    FUpdated = false;
    return FItems.back().get();
}
TIndexDef* TIndexDefs::Add(const std::string& name, const std::string& fields, TIndexOptions options) {
    if (!name.empty() && IndexOf(name) >= 0) DatabaseError("Duplicate name '" + name + "' in index definitions");
    FItems.push_back(std::make_unique<TIndexDef>(this, name, fields, options));
    FUpdated = false;
    return FItems.back().get();
}
void TIndexDefs::Delete(int i) {
    GetItem(i);
    FItems.erase(FItems.begin() + i);
}
void TIndexDefs::Clear() { FItems.clear(); }
int TIndexDefs::IndexOf(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (Utf8SameText(FItems[i]->GetName(), name)) return i;
    return -1;
}
TIndexDef* TIndexDefs::Find(const std::string& name) const {
    int i = IndexOf(name);
    if (i < 0) DatabaseError("Index '" + name + "' not found");
    return FItems[i].get();
}
TIndexDef* TIndexDefs::GetIndexForFields(const std::string& fields, bool caseInsensitive) const {
    std::vector<std::string> want = SplitFieldNames(fields);
    if (want.empty()) return nullptr;
    for (const auto& d : FItems) {
        if (d->GetOptions().Contains(TIndexOption::ixExpression)) continue;
        if (caseInsensitive != d->GetOptions().Contains(TIndexOption::ixCaseInsensitive)) continue;
        std::vector<std::string> have = SplitFieldNames(d->GetFields());
        if (have.size() < want.size()) continue;
        bool ok = true;
        for (std::size_t i = 0; i < want.size() && ok; ++i) ok = Utf8SameText(want[i], have[i]);
        if (ok) return d.get();
    }
    return nullptr;
}
TIndexDef* TIndexDefs::FindIndexForFields(const std::string& fields) const {
    TIndexDef* d = GetIndexForFields(fields, false);
    if (!d) d = GetIndexForFields(fields, true);
    if (!d) DatabaseError("No index for fields '" + fields + "'");
    return d;
}
void TIndexDefs::Update() {
    if (FDataSet) FDataSet->UpdateIndexDefs();
    FUpdated = true;
}
void TIndexDefs::Assign(const TPersistent* source) {
    if (auto* d = dynamic_cast<const TIndexDefs*>(source)) {
        if (d == this) return;
        FItems.clear();
        for (const auto& item : d->FItems) {
            FItems.push_back(std::make_unique<TIndexDef>(this, "", "", TIndexOptions{}));
            FItems.back()->Assign(item.get());
        }
        return;
    }
    TPersistent::Assign(source);
}

}  // namespace vel
