// Writing back from the SQL datasets: posts and deletes, values their fields cannot hold, and
// cached updates.
#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "platform/db/sqlite/SQLDataSets.h"
#include "platform/db/sqlite/internal/SQLCells.h"

namespace vel {

using namespace sqlcells;

// ---------------------------------------------------------------- posting

Variant TSQLiteDataSet::FieldValue(TField* f) const {
    if (f->IsNull()) return Variant::Null();
    TFieldType t = f->GetDataType();
    if (t == TFieldType::ftBoolean) return Variant(f->GetAsBoolean());
    if (IsIntegerType(t)) return Variant(static_cast<long long>(f->GetAsLargeInt()));
    if (t == TFieldType::ftBCD || t == TFieldType::ftFMTBcd) return Variant(f->GetAsCurrency());
    if (IsFloatType(t)) return Variant(f->GetAsFloat());
    if (IsDateTimeType(t)) return Variant::FromDateTime(f->GetAsDateTime());
    if (IsBlobType(t) && t != TFieldType::ftMemo && t != TFieldType::ftWideMemo) {
        std::string b = f->GetAsString();
        return Variant::FromBytes(std::vector<std::uint8_t>(b.begin(), b.end()));
    }
    return Variant(f->GetAsString());
}

std::vector<Variant> TSQLiteDataSet::CurrentKeyValues() const {
    std::vector<Variant> keys;
    for (int k : FKeyFields) {
        TField* f = FindField(const_cast<TSQLiteDataSet*>(this)->GetFieldDefs()[k]->GetName());
        if (!f) return {};
        // A key the field cannot hold still finds its row by what is stored.
        Variant raw;
        keys.push_back(const_cast<TSQLiteDataSet*>(this)->GetRawFieldValue(f, raw) ? raw
                                                                                   : FieldValue(f));
    }
    return keys;
}

// ---------------------------------------------------------------- raw values

bool TSQLiteDataSet::GetRawFieldValue(const TField* field, Variant& value) {
    if (FRaw.empty() && FCursorRaw.empty()) return false;
    const int col = GetFieldDefs().IndexOf(field->GetFieldName());
    if (col < 0) return false;
    const TDataSetState state = GetState();
    if (state == TDataSetState::dsInsert) return false;
    if (state == TDataSetState::dsEdit &&
        std::find(FTouched.begin(), FTouched.end(), col) != FTouched.end())
        return false;  // the user replaced it
    if (FCursorStatement) {
        for (const auto& [c, v] : FCursorRaw)
            if (c == col) return value = v, true;
        return false;
    }
    TRecordBuffer b = GetFieldAccessBuffer();
    if (!b || GetBookmarkFlag(b) == TBookmarkFlag::bfInserted) return false;
    std::uint32_t id;
    GetBookmarkData(b, reinterpret_cast<std::uint8_t*>(&id));
    auto it = FRaw.find(RawKey(id, col));
    if (it == FRaw.end()) return false;
    value = it->second;
    return true;
}

void TSQLiteDataSet::NoteTouched(TField* field) {
    if (GetState() != TDataSetState::dsEdit || FRaw.empty()) return;
    const int col = GetFieldDefs().IndexOf(field->GetFieldName());
    if (col >= 0 && std::find(FTouched.begin(), FTouched.end(), col) == FTouched.end())
        FTouched.push_back(col);
}

void TSQLiteDataSet::SetFieldData(TField* field, const void* buffer) {
    TMemDataSet::SetFieldData(field, buffer);
    NoteTouched(field);
}

void TSQLiteDataSet::SetBlobFieldData(TField* field, const std::string& value) {
    TMemDataSet::SetBlobFieldData(field, value);
    NoteTouched(field);
}

void TSQLiteDataSet::InternalCancel() {
    FTouched.clear();
    FEditValues.clear();
    FEditKeys.clear();
    TMemDataSet::InternalCancel();
}

void TSQLiteDataSet::InternalEdit() {
    FEditValues.clear();
    FTouched.clear();
    if (FRowIdKey) FEditRowId = CurrentRowId();
    for (int i = 0; i < GetFieldDefs().Count(); ++i) {
        TField* f = FindField(GetFieldDefs()[i]->GetName());
        FEditValues.push_back(f ? FieldValue(f) : Variant());
    }
    FEditKeys = CurrentKeyValues();
    TMemDataSet::InternalEdit();
}

namespace {
bool SameValue(const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull();
    return a.VarType() == b.VarType() && VarCompare(a, b) == 0;
}
}  // namespace

void TSQLiteDataSet::InternalPost() {
    TDataSet::InternalPost();  // required fields first, as the classic layer does
    if (FUpdateTable.empty()) DatabaseError("Cannot modify a read-only dataset", GetName());
    TSQLiteConnection& conn = CheckConnection();
    const bool inserting = GetState() == TDataSetState::dsInsert;
    std::vector<std::string> names;
    std::vector<Variant> values;
    std::vector<TFieldType> types;
    std::vector<TField*> nullFields;
    for (int i = 0; i < GetFieldDefs().Count(); ++i) {
        if (FFieldOrigins[static_cast<std::size_t>(i)].empty()) continue;
        TField* f = FindField(GetFieldDefs()[i]->GetName());
        if (!f) continue;
        Variant v = FieldValue(f);
        // A value the field could not hold stays in the table until the user sets the field.
        const bool replacesRaw =
            !inserting && std::find(FTouched.begin(), FTouched.end(), i) != FTouched.end();
        if (inserting ? v.IsNull()
                      : !replacesRaw && SameValue(v, FEditValues[static_cast<std::size_t>(i)])) {
            if (inserting) nullFields.push_back(f);
            continue;
        }
        names.push_back(FFieldOrigins[static_cast<std::size_t>(i)]);
        values.push_back(std::move(v));
        types.push_back(f->GetDataType());
    }
    std::string sql;
    if (inserting) {
        if (names.empty()) {
            sql = "INSERT INTO " + QuoteIdent(FUpdateTable) + " DEFAULT VALUES";
        } else {
            std::string cols, marks;
            for (std::size_t i = 0; i < names.size(); ++i) {
                cols += (i ? ", " : "") + QuoteIdent(names[i]);
                marks += i ? ", ?" : "?";
            }
            sql = "INSERT INTO " + QuoteIdent(FUpdateTable) + " (" + cols + ") VALUES (" + marks +
                  ")";
        }
    } else if (!names.empty()) {
        sql = "UPDATE " + QuoteIdent(FUpdateTable) + " SET ";
        for (std::size_t i = 0; i < names.size(); ++i)
            sql += (i ? ", " : "") + QuoteIdent(names[i]) + " = ?";
        sql += " WHERE ";
        if (FRowIdKey) {
            sql += "_rowid_ = ?";
            values.push_back(Variant(static_cast<long long>(FEditRowId)));
            types.push_back(TFieldType::ftLargeint);
        }
        for (std::size_t k = 0; k < FKeyFields.size(); ++k) {
            int fi = FKeyFields[k];
            sql += (k ? " AND " : "") + QuoteIdent(FFieldOrigins[static_cast<std::size_t>(fi)]) +
                   " IS ?";
            values.push_back(FEditKeys.size() == FKeyFields.size()
                                 ? FEditKeys[k]
                                 : FEditValues[static_cast<std::size_t>(fi)]);
            types.push_back(GetFieldDefs()[fi]->GetDataType());
        }
    }
    std::int64_t insertedRowId = 0;
    std::vector<std::pair<int, Variant>> insertedRaw;
    // The statement and the reading back are one unit: a failure in between would leave a
    // row in the table while the record is still being inserted (and posted again).
    if (!sql.empty())
        conn.RunAtomically(sql, [&] {
            TSQLiteStatement st(conn, sql);
            for (std::size_t i = 0; i < values.size(); ++i)
                st.Bind(static_cast<int>(i + 1), values[i], types[i]);
            if (st.Execute() == 0 && !inserting)
                DatabaseError("The record was changed or deleted by another user", GetName());
            if (inserting) insertedRowId = conn.LastInsertRowId();
            if (inserting && (FIntegerKeyAlias || FRowIdKey)) {
                // Read back what the database filled in: the row id and column defaults.
                std::int64_t rowId = conn.LastInsertRowId();
                if (!nullFields.empty()) {
                    std::string list;
                    for (TField* f : nullFields) {
                        std::size_t i =
                            static_cast<std::size_t>(GetFieldDefs().IndexOf(f->GetFieldName()));
                        list += (list.empty() ? "" : ", ") + QuoteIdent(FFieldOrigins[i]);
                    }
                    TSQLiteStatement back(conn, "SELECT " + list + " FROM " +
                                                    QuoteIdent(FUpdateTable) + " WHERE rowid = ?");
                    back.Bind(1, Variant(static_cast<long long>(rowId)));
                    if (back.Step()) {
                        for (std::size_t k = 0; k < nullFields.size(); ++k) {
                            TField* f = nullFields[k];
                            Cell c = CellOf(back, static_cast<int>(k));
                            if (c.Storage == SQLITE_NULL) continue;
                            TFieldType t = f->GetDataType();
                            try {
                                if (IsDateType(t) && c.Storage == SQLITE_TEXT)
                                    f->SetAsDateTime(SQLiteTextToDateTime(c.S));
                                else if (IsIntegerType(t) && c.Storage == SQLITE_INTEGER)
                                    f->SetAsLargeInt(c.I);
                                else if (IsFloatType(t) && c.Storage != SQLITE_TEXT)
                                    f->SetAsFloat(c.Storage == SQLITE_INTEGER
                                                      ? static_cast<double>(c.I)
                                                      : c.D);
                                else if (t == TFieldType::ftBoolean && c.Storage == SQLITE_INTEGER)
                                    f->SetAsBoolean(c.I != 0);
                                else
                                    f->SetAsString(CellText(c));
                            } catch (const EConvertError&) {
                                // A default the field cannot hold is kept as stored.
                                f->Clear();
                                insertedRaw.emplace_back(GetFieldDefs().IndexOf(f->GetFieldName()),
                                                         CellVariant(c));
                            }
                        }
                    }
                }
            }
        });
    TMemDataSet::InternalPost();
    std::uint32_t id;
    GetBookmarkData(ActiveBuffer(), reinterpret_cast<std::uint8_t*>(&id));
    if (inserting && FRowIdKey) {
        if (FRowIds.size() <= id) FRowIds.resize(std::size_t(id) + 1, 0);
        FRowIds[id] = insertedRowId;
    }
    for (auto& [col, value] : insertedRaw) FRaw[RawKey(id, col)] = std::move(value);
    for (int col : FTouched) FRaw.erase(RawKey(id, col));
    FTouched.clear();
    FEditValues.clear();
    FEditKeys.clear();
}

void TSQLiteDataSet::InternalDelete() {
    if (FUpdateTable.empty()) DatabaseError("Cannot modify a read-only dataset", GetName());
    std::vector<Variant> keys = CurrentKeyValues();
    std::string sql = "DELETE FROM " + QuoteIdent(FUpdateTable) + " WHERE ";
    if (FRowIdKey) sql += "_rowid_ = ?";
    for (std::size_t k = 0; k < FKeyFields.size(); ++k)
        sql += (k ? " AND " : "") +
               QuoteIdent(FFieldOrigins[static_cast<std::size_t>(FKeyFields[k])]) + " IS ?";
    TSQLiteConnection& conn = CheckConnection();
    const std::int64_t rowId = FRowIdKey ? CurrentRowId() : 0;
    conn.RunAtomically(sql, [&] {
        TSQLiteStatement st(conn, sql);
        if (FRowIdKey) st.Bind(1, Variant(static_cast<long long>(rowId)));
        for (std::size_t k = 0; k < keys.size(); ++k)
            st.Bind(static_cast<int>(k + 1), keys[k], GetFieldDefs()[FKeyFields[k]]->GetDataType());
        if (st.Execute() == 0)
            DatabaseError("The record was changed or deleted by another user", GetName());
    });
    if (!FRaw.empty()) {
        std::uint32_t id;
        GetBookmarkData(ActiveBuffer(), reinterpret_cast<std::uint8_t*>(&id));
        for (int col = 0; col < GetFieldDefs().Count(); ++col) FRaw.erase(RawKey(id, col));
    }
    TMemDataSet::InternalDelete();
}

}  // namespace vel
