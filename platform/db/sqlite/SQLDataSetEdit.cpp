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
    // The rest of the rows are read before the record is written, not while it is being
    // typed in (TSQLiteConnection::FinishReads).
    if (!FCachedUpdates) FetchAll();
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

// ---------------------------------------------------------------- statements

TSQLiteDataSet::TWrite TSQLiteDataSet::BuildWrite(bool insert, std::vector<TField*>& nullFields) {
    const bool editing = GetState() == TDataSetState::dsEdit;
    std::vector<std::string> names;
    TWrite w;
    w.Insert = insert;
    for (int i = 0; i < GetFieldDefs().Count(); ++i) {
        if (FFieldOrigins[static_cast<std::size_t>(i)].empty()) continue;
        TField* f = FindField(GetFieldDefs()[i]->GetName());
        if (!f) continue;
        Variant v = FieldValue(f);
        if (insert) {
            if (v.IsNull()) {
                nullFields.push_back(f);
                continue;
            }
        } else {
            // A value the field could not hold stays in the table until the user sets the
            // field.
            const bool replacesRaw =
                editing && std::find(FTouched.begin(), FTouched.end(), i) != FTouched.end();
            if (!replacesRaw && SameValue(v, FEditValues[static_cast<std::size_t>(i)])) continue;
        }
        names.push_back(FFieldOrigins[static_cast<std::size_t>(i)]);
        w.Values.push_back(std::move(v));
        w.Types.push_back(f->GetDataType());
    }
    if (insert) {
        if (names.empty()) {
            w.SQL = "INSERT INTO " + QuoteIdent(FUpdateTable) + " DEFAULT VALUES";
        } else {
            std::string cols, marks;
            for (std::size_t i = 0; i < names.size(); ++i) {
                cols += (i ? ", " : "") + QuoteIdent(names[i]);
                marks += i ? ", ?" : "?";
            }
            w.SQL = "INSERT INTO " + QuoteIdent(FUpdateTable) + " (" + cols + ") VALUES (" + marks +
                    ")";
        }
        return w;
    }
    if (names.empty()) return w;  // nothing changed: nothing to write
    w.SQL = "UPDATE " + QuoteIdent(FUpdateTable) + " SET ";
    for (std::size_t i = 0; i < names.size(); ++i)
        w.SQL += (i ? ", " : "") + QuoteIdent(names[i]) + " = ?";
    AddRowCondition(w, FEditRowId, FEditKeys);
    return w;
}

void TSQLiteDataSet::AddRowCondition(TWrite& w, std::int64_t rowId,
                                     const std::vector<Variant>& keys) const {
    w.SQL += " WHERE ";
    if (FRowIdKey) {
        w.SQL += "_rowid_ = ?";
        w.Values.push_back(Variant(static_cast<long long>(rowId)));
        w.Types.push_back(TFieldType::ftLargeint);
    }
    auto& defs = const_cast<TSQLiteDataSet*>(this)->GetFieldDefs();
    for (std::size_t k = 0; k < FKeyFields.size(); ++k) {
        const int fi = FKeyFields[k];
        w.SQL +=
            (k ? " AND " : "") + QuoteIdent(FFieldOrigins[static_cast<std::size_t>(fi)]) + " IS ?";
        w.Values.push_back(k < keys.size() ? keys[k] : Variant::Null());
        w.Types.push_back(defs[fi]->GetDataType());
    }
}

void TSQLiteDataSet::RunWrite(TSQLiteConnection& conn, const TWrite& w) const {
    TSQLiteStatement st(conn, w.SQL);
    for (std::size_t i = 0; i < w.Values.size(); ++i)
        st.Bind(static_cast<int>(i + 1), w.Values[i], w.Types[i]);
    if (st.Execute() == 0 && !w.Insert)
        DatabaseError(
            "The record was changed or deleted by another user: nothing matched '" + w.SQL + "'",
            GetName());
}

std::uint32_t TSQLiteDataSet::ActiveRow() const {
    std::uint32_t id;
    GetBookmarkData(ActiveBuffer(), reinterpret_cast<std::uint8_t*>(&id));
    return id;
}

int TSQLiteDataSet::PendingWriteOf(std::uint32_t row) const {
    for (std::size_t i = 0; i < FPending.size(); ++i)
        if (FPending[i].Row == row && !FPending[i].Delete) return static_cast<int>(i);
    return -1;
}

// ---------------------------------------------------------------- post and delete

void TSQLiteDataSet::InternalPost() {
    TDataSet::InternalPost();  // required fields first, as the classic layer does
    if (FUpdateTable.empty()) DatabaseError("Cannot modify a read-only dataset", GetName());
    TSQLiteConnection& conn = CheckConnection();
    const bool inserting = GetState() == TDataSetState::dsInsert;
    std::vector<TField*> nullFields;
    if (FCachedUpdates) {
        // One statement per record: a record inserted since the last apply is still one
        // INSERT with its values now, one edited again one UPDATE from its stored values, so
        // a value corrected before applying replaces the wrong one.
        const int pending = inserting ? -1 : PendingWriteOf(ActiveRow());
        const bool insert =
            inserting || (pending >= 0 && FPending[static_cast<std::size_t>(pending)].Insert);
        if (pending >= 0 && !insert) {
            const TWrite& first = FPending[static_cast<std::size_t>(pending)];
            FEditValues = first.Original;
            FEditKeys = first.Keys;
            for (int col : first.Touched)
                if (std::find(FTouched.begin(), FTouched.end(), col) == FTouched.end())
                    FTouched.push_back(col);
        }
        TWrite w = BuildWrite(insert, nullFields);
        TMemDataSet::InternalPost();
        const std::uint32_t row = ActiveRow();
        w.Row = row;
        if (!insert) {
            w.Original = FEditValues;
            w.Keys = FEditKeys;
            w.Touched = FTouched;
        }
        if (pending >= 0 && w.SQL.empty())
            FPending.erase(FPending.begin() + pending);  // edited back to what is stored
        else if (pending >= 0)
            FPending[static_cast<std::size_t>(pending)] = std::move(w);
        else if (!w.SQL.empty())
            FPending.push_back(std::move(w));
        FinishPost(row);
        return;
    }
    TWrite w = BuildWrite(inserting, nullFields);
    std::int64_t insertedRowId = 0;
    std::vector<std::pair<int, Variant>> insertedRaw;
    // The statement and the reading back are one unit: a failure in between would leave a
    // row in the table while the record is still being inserted (and posted again).
    if (!w.SQL.empty())
        conn.RunAtomically(w.SQL, [&] {
            RunWrite(conn, w);
            if (!inserting) return;
            insertedRowId = conn.LastInsertRowId();
            if ((FIntegerKeyAlias || FRowIdKey) && !nullFields.empty())
                ReadBackDefaults(conn, insertedRowId, nullFields, insertedRaw);
        });
    TMemDataSet::InternalPost();
    const std::uint32_t id = ActiveRow();
    if (inserting && FRowIdKey) {
        if (FRowIds.size() <= id) FRowIds.resize(std::size_t(id) + 1, 0);
        FRowIds[id] = insertedRowId;
    }
    for (auto& [col, value] : insertedRaw) FRaw[RawKey(id, col)] = std::move(value);
    FinishPost(id);
}

void TSQLiteDataSet::FinishPost(std::uint32_t row) {
    for (int col : FTouched) FRaw.erase(RawKey(row, col));
    FTouched.clear();
    FEditValues.clear();
    FEditKeys.clear();
}

void TSQLiteDataSet::ReadBackDefaults(TSQLiteConnection& conn, std::int64_t rowId,
                                      const std::vector<TField*>& nullFields,
                                      std::vector<std::pair<int, Variant>>& raw) {
    // What the database filled in: the row id and column defaults.
    std::string list;
    for (TField* f : nullFields) {
        std::size_t i = static_cast<std::size_t>(GetFieldDefs().IndexOf(f->GetFieldName()));
        list += (list.empty() ? "" : ", ") + QuoteIdent(FFieldOrigins[i]);
    }
    TSQLiteStatement back(
        conn, "SELECT " + list + " FROM " + QuoteIdent(FUpdateTable) + " WHERE rowid = ?");
    back.Bind(1, Variant(static_cast<long long>(rowId)));
    if (!back.Step()) return;
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
                f->SetAsFloat(c.Storage == SQLITE_INTEGER ? static_cast<double>(c.I) : c.D);
            else if (t == TFieldType::ftBoolean && c.Storage == SQLITE_INTEGER)
                f->SetAsBoolean(c.I != 0);
            else
                f->SetAsString(CellText(c));
        } catch (const EConvertError&) {
            // A default the field cannot hold is kept as stored.
            f->Clear();
            raw.emplace_back(GetFieldDefs().IndexOf(f->GetFieldName()), CellVariant(c));
        }
    }
}

void TSQLiteDataSet::InternalInsert() {
    if (!FCachedUpdates) FetchAll();
    TMemDataSet::InternalInsert();
}

void TSQLiteDataSet::InternalDelete() {
    if (FUpdateTable.empty()) DatabaseError("Cannot modify a read-only dataset", GetName());
    TSQLiteConnection& conn = CheckConnection();
    if (!FCachedUpdates) FetchAll();
    const std::uint32_t row = ActiveRow();
    const int pending = FCachedUpdates ? PendingWriteOf(row) : -1;
    if (pending >= 0 && FPending[static_cast<std::size_t>(pending)].Insert) {
        // Never written: forgetting the INSERT is the whole delete.
        FPending.erase(FPending.begin() + pending);
    } else {
        TWrite w;
        w.SQL = "DELETE FROM " + QuoteIdent(FUpdateTable);
        // A row with a pending UPDATE is found by what the table holds now.
        if (pending >= 0) {
            w = FPending[static_cast<std::size_t>(pending)];
            FPending.erase(FPending.begin() + pending);
            w.SQL = "DELETE FROM " + QuoteIdent(FUpdateTable);
            w.Values.clear();
            w.Types.clear();
            AddRowCondition(w, FRowIdKey ? CurrentRowId() : 0, w.Keys);
        } else {
            AddRowCondition(w, FRowIdKey ? CurrentRowId() : 0, CurrentKeyValues());
        }
        w.Delete = true;
        w.Row = row;
        if (FCachedUpdates) {
            FPending.push_back(std::move(w));
        } else {
            conn.RunAtomically(w.SQL, [&] { RunWrite(conn, w); });
        }
    }
    for (int col = 0; col < GetFieldDefs().Count(); ++col) FRaw.erase(RawKey(row, col));
    TMemDataSet::InternalDelete();
}

// ---------------------------------------------------------------- cached updates

void TSQLiteDataSet::SetCachedUpdates(bool v) {
    if (v == FCachedUpdates) return;
    if (!v && !FPending.empty())
        DatabaseError("Cached updates cannot be switched off while " +
                          std::to_string(FPending.size()) +
                          " changes are pending: apply or cancel them first",
                      GetName());
    FCachedUpdates = v;
}

void TSQLiteDataSet::CheckNoPendingUpdates() const {
    if (!FPending.empty())
        DatabaseError(std::to_string(FPending.size()) +
                          " cached changes are pending: apply or cancel them before the rows "
                          "are read again",
                      GetName());
}

void TSQLiteDataSet::ApplyUpdates() {
    CheckActive();
    CheckBrowseMode();  // the record being edited joins the others
    if (FPending.empty()) return;
    TSQLiteConnection& conn = CheckConnection();
    FetchAll();  // before anything is written (TSQLiteConnection::FinishReads)
    // All or nothing: a failure undoes what went before it and every change stays pending.
    conn.RunAtomically("ApplyUpdates of " + std::to_string(FPending.size()) + " changes to " +
                           QuoteIdent(FUpdateTable),
                       [&] {
                           for (const TWrite& w : FPending) RunWrite(conn, w);
                       });
    const bool inserted =
        std::any_of(FPending.begin(), FPending.end(), [](const TWrite& w) { return w.Insert; });
    const std::size_t count = FPending.size();
    FPending.clear();
    // New rows get their row ids and defaults from the table.
    if (!inserted) return;
    try {
        ReopenKeepingRecord();
    } catch (const EDatabaseError& e) {
        DatabaseError("The " + std::to_string(count) +
                          " changes were applied, but reading the rows again failed: " + e.what(),
                      GetName());
    }
}

void TSQLiteDataSet::CancelUpdates() {
    if (GetActive()) Cancel();
    if (FPending.empty()) return;
    FPending.clear();
    ReopenKeepingRecord();  // the rows as the table holds them
}

}  // namespace vel
