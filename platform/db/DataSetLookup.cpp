// TDataSet: field values by name, Locate, Lookup and lookup fields.
#include "platform/db/DataSet.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"

namespace vel {

std::vector<TField*> TDataSet::FieldsOf(const std::string& names) const {
    std::vector<TField*> out;
    for (const std::string& n : SplitFieldNames(names)) out.push_back(FieldByName(n));
    if (out.empty()) DatabaseError("Field name missing", GetName());
    return out;
}

std::vector<Variant> TDataSet::KeyList(std::size_t count, const Variant& values) {
    if (count == 1) {
        if (values.IsArray() && values.AsArray().size() == 1) return {values.AsArray()[0]};
        return {values};
    }
    if (!values.IsArray() || values.AsArray().size() != count)
        DatabaseError("Expected " + std::to_string(count) + " key values in an array");
    return values.AsArray();
}

Variant TDataSet::GetFieldValue(const std::string& fieldNames) const {
    std::vector<TField*> fields = FieldsOf(fieldNames);
    if (fields.size() == 1) return fields[0]->GetAsVariant();
    std::vector<Variant> items;
    for (TField* f : fields) items.push_back(f->GetAsVariant());
    return VarArrayOf(std::move(items));
}

void TDataSet::SetFieldValue(const std::string& fieldNames, const Variant& v) {
    std::vector<TField*> fields = FieldsOf(fieldNames);
    std::vector<Variant> values = KeyList(fields.size(), v);
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->SetAsVariant(values[i]);
}

bool TDataSet::KeysMatch(const std::vector<TField*>& fields, const std::vector<Variant>& keys,
                         TLocateOptions options) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        TField* f = fields[i];
        const Variant& k = keys[i];
        bool fieldNull = f->IsNull();
        if (k.IsNull() || k.IsEmpty()) {
            if (!fieldNull) return false;
            continue;
        }
        if (fieldNull) return false;
        bool partial = options.Contains(TLocateOption::loPartialKey) && i + 1 == fields.size();
        bool ci = options.Contains(TLocateOption::loCaseInsensitive);
        if ((partial || ci) && VarIsStr(k) && IsStringType(f->GetDataType())) {
            std::string s = f->GetAsString(), key = k.AsString();
            if (ci) {
                s = Utf8LowerCase(s);
                key = Utf8LowerCase(key);
            }
            if (partial) s = s.substr(0, key.size());
            if (s != key) return false;
            continue;
        }
        if (!(f->GetAsVariant() == k)) return false;
    }
    return true;
}

bool TDataSet::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) {
    CheckBrowseMode();
    CheckBiDirectional();
    std::vector<TField*> fields = FieldsOf(keyFields);
    std::vector<Variant> keys = KeyList(fields.size(), keyValues);
    TBookmark saved = GetBookmark();
    bool found = false;
    DisableControls();
    {
        TScopeExit cleanup([&] { EnableControls(); });
        First();
        while (!GetEOF()) {
            if (KeysMatch(fields, keys, options)) {
                found = true;
                break;
            }
            Next();
        }
        if (!found && !saved.empty() && BookmarkValid(saved)) GotoBookmark(saved);
    }
    return found;
}

Variant TDataSet::Lookup(const std::string& keyFields, const Variant& keyValues,
                         const std::string& resultFields) {
    CheckBrowseMode();
    CheckBiDirectional();
    std::vector<TField*> fields = FieldsOf(keyFields);
    std::vector<TField*> results = FieldsOf(resultFields);
    std::vector<Variant> keys = KeyList(fields.size(), keyValues);
    TBookmark saved = GetBookmark();
    Variant result = Variant::Null();
    DisableControls();
    {
        TScopeExit cleanup([&] { EnableControls(); });
        First();
        while (!GetEOF()) {
            if (KeysMatch(fields, keys, {})) {
                result = ReadFromBuffer(ActiveBuffer(), results);
                break;
            }
            Next();
        }
        if (!saved.empty() && BookmarkValid(saved)) GotoBookmark(saved);
    }
    return result;
}

Variant TDataSet::ReadFromBuffer(TRecordBuffer buffer, const std::vector<TField*>& fields) {
    TDataSetState saved = SetTempState(TDataSetState::dsCalcFields);
    TRecordBuffer savedCalc = FCalcBuffer;
    FCalcBuffer = buffer;
    Variant out;
    {
        TScopeExit cleanup([&] {
            FCalcBuffer = savedCalc;
            RestoreState(saved);
        });
        std::vector<Variant> items;
        for (TField* f : fields) items.push_back(f->GetAsVariant());
        out = fields.size() == 1 ? items[0] : VarArrayOf(std::move(items));
    }
    return out;
}

void TDataSet::CalcLookupValue(TField* field) {
    TDataSet* look = field->GetLookupDataSet();
    if (!look || !look->GetActive() || look == this || field->GetKeyFields().empty() ||
        field->GetLookupKeyFields().empty() || field->GetLookupResultField().empty())
        return;
    Variant keys = GetFieldValue(field->GetKeyFields());
    if (keys.IsNull()) return;
    Variant v = look->Lookup(field->GetLookupKeyFields(), keys, field->GetLookupResultField());
    field->SetAsVariant(v);
}

}  // namespace vel
