// TDataSet: lookup fields.
#include <cstring>

#include "db/DataSet.h"
#include "rtl/Utf8.h"

namespace vel {

namespace {

// Compares the values of two fields of possibly different datasets by their value class.
bool SameValue(const TField* a, const TField* b) {
    bool na = a->IsNull(), nb = b->IsNull();
    if (na || nb) return na && nb;
    TFieldType ta = a->GetDataType(), tb = b->GetDataType();
    if (IsIntegerType(ta) && IsIntegerType(tb)) return a->GetAsLargeInt() == b->GetAsLargeInt();
    if ((IsIntegerType(ta) || IsFloatType(ta) || IsDateTimeType(ta)) &&
        (IsIntegerType(tb) || IsFloatType(tb) || IsDateTimeType(tb)))
        return a->GetAsFloat() == b->GetAsFloat();
    if (ta == TFieldType::ftBoolean && tb == TFieldType::ftBoolean) return a->GetAsBoolean() == b->GetAsBoolean();
    return a->GetAsString() == b->GetAsString();
}

}  // namespace

void TDataSet::CalcLookupValue(TField* field) {
    TDataSet* look = field->GetLookupDataSet();
    std::vector<std::string> keys = SplitFieldNames(field->GetKeyFields());
    std::vector<std::string> lookKeys = SplitFieldNames(field->GetLookupKeyFields());
    if (!look || !look->GetActive() || keys.empty() || keys.size() != lookKeys.size() ||
        field->GetLookupResultField().empty())
        return;
    std::vector<TField*> mine, theirs;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        mine.push_back(FieldByName(keys[i]));
        theirs.push_back(look->FieldByName(lookKeys[i]));
    }
    for (TField* f : mine)
        if (f->IsNull()) return;
    TField* result = look->FieldByName(field->GetLookupResultField());
    TBookmark saved = look->GetBookmark();
    bool found = false, resultNull = true;
    bool asText = IsStringType(field->GetDataType()) || field->GetDataSize() != result->GetDataSize();
    std::vector<std::uint8_t> value;
    std::string text;
    look->DisableControls();
    try {
        look->First();
        while (!look->GetEOF() && !found) {
            found = true;
            for (std::size_t i = 0; i < mine.size() && found; ++i) found = SameValue(mine[i], theirs[i]);
            if (!found) look->Next();
        }
        if (found) {
            resultNull = result->IsNull();
            if (asText) {
                text = result->GetAsString();
            } else {
                value.resize(result->GetDataSize());
                result->GetData(value.data());
            }
        }
        if (!saved.empty() && look->BookmarkValid(saved)) look->GotoBookmark(saved);
    } catch (...) {
        look->EnableControls();
        throw;
    }
    look->EnableControls();
    if (!found || resultNull) return;
    if (asText)
        field->SetAsString(text);
    else
        field->SetData(value.data());
}

}  // namespace vel
