#include "platform/db/sqlite/SQLDataSets.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/db/DBTypes.h"
#include "platform/db/DataSource.h"
#include "platform/db/MemStore.h"
#include "platform/db/sqlite/internal/SQLCells.h"
#include "platform/rtl/CivilDate.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace vel {

using namespace sqlcells;

// ---------------------------------------------------------------- parameters

void TParam::SetAsDateTime(TDateTime v) {
    FValue = Variant::FromDateTime(v);
    FDataType = TFieldType::ftDateTime;
}
void TParam::SetAsDate(TDateTime v) {
    FValue = Variant::FromDateTime(v);
    FDataType = TFieldType::ftDate;
}

TParam* TParams::FindParam(const std::string& name) const {
    for (const auto& p : FItems)
        if (Utf8SameText(p->GetName(), name)) return p.get();
    return nullptr;
}

TParam& TParams::ParamByName(const std::string& name) const {
    TParam* p = FindParam(name);
    if (!p) DatabaseError("Parameter '" + name + "' not found");
    return *p;
}

void TParams::ParseSQL(const std::string& sql) {
    std::vector<std::unique_ptr<TParam>> items;
    for (const std::string& n : ParseParamNames(sql)) {
        auto it = std::find_if(FItems.begin(), FItems.end(),
                               [&](const auto& p) { return p && Utf8SameText(p->GetName(), n); });
        items.push_back(it != FItems.end() ? std::move(*it) : std::make_unique<TParam>(n));
    }
    FItems = std::move(items);
}

std::vector<std::string> ParseParamNames(const std::string& sql) {
    std::vector<std::string> names;
    auto identChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
               (static_cast<unsigned char>(c) & 0x80);
    };
    std::size_t i = 0, n = sql.size();
    while (i < n) {
        char c = sql[i];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            char close = c == '[' ? ']' : c;
            for (++i; i < n && sql[i] != close; ++i) {
            }
            ++i;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n') ++i;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            std::size_t e = sql.find("*/", i + 2);
            i = e == std::string::npos ? n : e + 2;
        } else if (c == ':' && i + 1 < n && identChar(sql[i + 1]) &&
                   !std::isdigit(static_cast<unsigned char>(sql[i + 1])) &&
                   (i == 0 || sql[i - 1] != ':')) {
            std::size_t s = ++i;
            while (i < n && identChar(sql[i])) ++i;
            std::string name = sql.substr(s, i - s);
            if (std::none_of(names.begin(), names.end(),
                             [&](const std::string& x) { return Utf8SameText(x, name); }))
                names.push_back(name);
        } else {
            ++i;
        }
    }
    return names;
}

// ---------------------------------------------------------------- dataset

namespace {
// Bytes of a text field without a declared size.
constexpr int kUnsizedTextBytes = 8192;
}  // namespace

struct TSQLiteDataSet::Column {
    std::string Name;
    TSQLiteColumnType Decl;
    TFieldType Type = TFieldType::ftUnknown;
    std::string Table, Origin;
    bool Key = false;
    bool Required = false;
    std::size_t MaxLen = 0;
    int Size = 0;  // of a text field, in bytes
};

// Tells the detail when the master's current record (or its state) changed.
class TSQLMasterLink : public TDataLink {
public:
    explicit TSQLMasterLink(TSQLiteDataSet& detail) : FDetail(detail) {}

protected:
    void ActiveChanged() override { FDetail.MasterRecordChanged(); }
    // Scrolls and dataset changes arrive here with no field; typing into a master field does
    // not reselect until the record is posted.
    void RecordChanged(TField* field) override {
        if (!field) FDetail.MasterRecordChanged();
    }

private:
    TSQLiteDataSet& FDetail;
};

TSQLiteDataSet::TSQLiteDataSet(TComponent* owner)
    : TMemDataSet(owner), FMasterLink(std::make_unique<TSQLMasterLink>(*this)) {}

TSQLiteDataSet::~TSQLiteDataSet() {
    try {
        if (GetActive()) Close();
    } catch (...) {
    }
    FMasterLink->SetDataSource(nullptr);  // closed first, so this reopens nothing
    if (FConnection) FConnection->UnRegisterClient(this);
}

// ---------------------------------------------------------------- master-detail

TDataSource* TSQLiteDataSet::GetMasterDataSource() const {
    return FMasterLink->GetDataSource();
}

void TSQLiteDataSet::SetMasterDataSource(TDataSource* v) {
    if (v == GetMasterDataSource()) return;
    for (TDataSource* src = v; src;) {
        TDataSet* ds = src->GetDataSet();
        if (ds == this) DatabaseError("Circular datalinks are not allowed", GetName());
        auto* sql = dynamic_cast<TSQLiteDataSet*>(ds);
        src = sql ? sql->GetMasterDataSource() : nullptr;
    }
    if (TDataSource* old = GetMasterDataSource()) old->RemoveFreeNotification(this);
    FMasterLink->SetDataSource(v);
    if (v) v->FreeNotification(this);
}

bool TSQLiteDataSet::MasterValue(const std::string& name, Variant& value, TFieldType& type) const {
    TDataSet* master = FMasterLink->GetDataSet();
    if (!master) return false;
    TField* f = master->GetActive() ? master->FindField(name) : nullptr;
    if (!f) {
        if (master->GetActive() || master->GetFieldDefs().IndexOf(name) < 0) return false;
        value = Variant::Null();
        type = master->GetFieldDefs()[master->GetFieldDefs().IndexOf(name)]->GetDataType();
        return true;
    }
    type = f->GetDataType();
    value = master->IsEmpty() ? Variant::Null() : FieldValue(f);
    return true;
}

std::vector<std::string> TSQLiteDataSet::MasterLinkFields() const {
    std::vector<std::string> names;
    for (const auto& p : MasterDetailPairs()) names.push_back(p.second);
    return names;
}

std::string TSQLiteDataSet::MasterWhere() const {
    if (!GetMasterDataSource()) return "";
    std::string where;
    for (const auto& p : MasterDetailPairs())
        where += (where.empty() ? " WHERE " : " AND ") + QuoteIdent(p.first) + " = ?";
    return where;
}

int TSQLiteDataSet::MasterWhereParams() const {
    return GetMasterDataSource() ? static_cast<int>(MasterDetailPairs().size()) : 0;
}

void TSQLiteDataSet::BindMasterValues(TSQLiteStatement& st) const {
    auto pairs = MasterDetailPairs();
    if (!GetMasterDataSource() || pairs.empty()) return;
    int first = st.ParamCount() - static_cast<int>(pairs.size()) + 1;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        Variant v;
        TFieldType t = TFieldType::ftUnknown;
        TDataSet* master = FMasterLink->GetDataSet();
        if (!MasterValue(pairs[k].second, v, t)) {
            if (master && master->GetActive())
                DatabaseError("Master field '" + pairs[k].second + "' not found", GetName());
            v = Variant::Null();  // a closed master selects no rows
        }
        st.Bind(first + static_cast<int>(k), v, t);
    }
}

void TSQLiteDataSet::CheckMasterFields(const std::string& names) const {
    TDataSet* master = FMasterLink->GetDataSet();
    for (const std::string& n : SplitFieldNames(names))
        if (master && master->GetActive() && !master->FindField(n))
            DatabaseError("Master field '" + n + "' not found", GetName());
}

std::vector<Variant> TSQLiteDataSet::CurrentMasterValues() const {
    std::vector<Variant> values;
    for (const std::string& n : MasterLinkFields()) {
        Variant v;
        TFieldType t;
        values.push_back(MasterValue(n, v, t) ? v : Variant());
    }
    return values;
}

void TSQLiteDataSet::MasterRecordChanged() {
    if (!GetActive() || IsDestroying()) return;
    std::vector<Variant> now = CurrentMasterValues();
    bool same = now.size() == FMasterValues.size();
    for (std::size_t i = 0; same && i < now.size(); ++i) {
        const Variant &a = now[i], &b = FMasterValues[i];
        same = (a.IsNull() || a.IsEmpty() || b.IsNull() || b.IsEmpty())
                   ? (a.IsNull() || a.IsEmpty()) == (b.IsNull() || b.IsEmpty())
                   : VarCompare(a, b) == 0;
    }
    if (same) return;
    MasterLinkChanged();
}

void TSQLiteDataSet::MasterLinkChanged() {
    if (!GetActive()) return;
    CheckBrowseMode();
    CheckNoPendingUpdates();
    Close();
    Open();
}

void TSQLiteDataSet::DoOnNewRecord() {
    // A new detail record belongs to the master's current record.
    if (GetMasterDataSource()) {
        for (const auto& p : MasterDetailPairs()) {
            Variant v;
            TFieldType t;
            TField* f = FindField(p.first);
            if (f && MasterValue(p.second, v, t) && !v.IsNull()) f->SetAsVariant(v);
        }
    }
    TMemDataSet::DoOnNewRecord();
}

void TSQLiteDataSet::SetConnection(TSQLiteConnection* v) {
    if (v == FConnection) return;
    if (GetActive()) Close();
    if (FConnection) {
        FConnection->UnRegisterClient(this);
        FConnection->RemoveFreeNotification(this);
    }
    FConnection = v;
    if (v) {
        v->RegisterClient(this);
        v->FreeNotification(this);
    }
}

void TSQLiteDataSet::Notification(TComponent* component, TOperation operation) {
    TMemDataSet::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FConnection) {
        if (GetActive()) Close();
        FConnection = nullptr;
    }
    if (operation == TOperation::opRemove && component == GetMasterDataSource())
        FMasterLink->SetDataSource(nullptr);
}

TSQLiteConnection& TSQLiteDataSet::CheckConnection() const {
    if (!FConnection) DatabaseError("No connection is assigned", GetName());
    return *FConnection;
}

void TSQLiteDataSet::StatementChanged() {
    if (GetActive()) Close();
}

std::string TSQLiteDataSet::GetKeyFieldNames() const {
    std::string r;
    for (int k : FKeyFields) {
        if (!r.empty()) r += ";";
        r += const_cast<TSQLiteDataSet*>(this)->GetFieldDefs()[k]->GetName();
    }
    return r;
}

bool TSQLiteDataSet::DoGetCanModify() const {
    return TMemDataSet::DoGetCanModify() && !FUpdateTable.empty();
}

void TSQLiteDataSet::ReadKeys(const std::string& table, std::vector<Column>& cols) {
    TSQLiteStatement info(
        CheckConnection(),
        "SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?)");
    info.Bind(1, Variant(table));
    std::vector<std::pair<int, std::string>> keys;
    std::string keyType;
    while (info.Step()) {
        std::string name(info.ColumnText(0));
        int pk = static_cast<int>(info.ColumnInt64(4));
        if (pk > 0) {
            keys.emplace_back(pk, name);
            keyType = Utf8UpperCase(std::string(info.ColumnText(1)));
        }
        bool required = info.ColumnInt64(2) != 0 && info.IsNull(3);
        for (Column& c : cols)
            if (c.Table == table && Utf8SameText(c.Origin, name)) c.Required = required && pk == 0;
    }
    std::sort(keys.begin(), keys.end());
    FIntegerKeyAlias = keys.size() == 1 && keyType == "INTEGER";
    FKeyFields.clear();
    for (const auto& k : keys) {
        auto it = std::find_if(cols.begin(), cols.end(), [&](const Column& c) {
            return c.Table == table && Utf8SameText(c.Origin, k.second);
        });
        if (it == cols.end()) {
            FKeyFields.clear();  // the key is not in the result: the rows cannot be found again
            return;
        }
        it->Key = true;
        FKeyFields.push_back(static_cast<int>(it - cols.begin()));
    }
}

void TSQLiteDataSet::InternalOpen() {
    TSQLiteConnection& conn = CheckConnection();
    const std::string sql = GetSelectSQL();
    if (Trim(sql).empty()) DatabaseError("No SQL statement is given", GetName());
    auto statement = std::make_unique<TSQLiteStatement>(conn, sql);
    TSQLiteStatement& st = *statement;
    if (st.ColumnCount() == 0)
        DatabaseError("The statement returns no rows: '" + Trim(sql) + "'", GetName());
    BindParams(st);
    BindMasterValues(st);
    FMasterValues = CurrentMasterValues();

    const int n = st.ColumnCount();
    std::vector<Column> cols(static_cast<std::size_t>(n));
    std::vector<std::string> tables;
    bool allFromTables = true;
    for (int i = 0; i < n; ++i) {
        Column& c = cols[static_cast<std::size_t>(i)];
        std::string base = st.ColumnName(i);
        if (base.empty()) base = "Column" + std::to_string(i + 1);
        c.Name = base;
        for (int k = 1; std::any_of(cols.begin(), cols.begin() + i,
                                    [&](const Column& o) { return Utf8SameText(o.Name, c.Name); });
             ++k)
            c.Name = base + "_" + std::to_string(k);
        c.Decl = MapDeclaredType(st.ColumnDeclType(i));
        c.Type = c.Decl.Type;
        c.Table = st.ColumnTableName(i);
        c.Origin = st.ColumnOriginName(i);
        if (c.Table.empty()) allFromTables = false;
        if (!c.Table.empty() && std::find(tables.begin(), tables.end(), c.Table) == tables.end())
            tables.push_back(c.Table);
    }
    FUpdateTable.clear();
    FKeyFields.clear();
    FRowIdKey = false;
    FRowIds.clear();
    FReadOnlyReason.clear();
    std::unique_ptr<TSQLiteStatement> withRowId;
    if (IsUniDirectional()) {
        FReadOnlyReason = "the dataset is unidirectional";
    } else if (tables.size() == 1) {
        ReadKeys(tables[0], cols);
        if (!FKeyFields.empty()) {
            FUpdateTable = tables[0];
        } else {
            // No declared key in the result: the row id finds the rows again, selected as a
            // hidden first column.
            withRowId = PrepareWithRowId(sql, tables[0], n);
            if (withRowId) {
                BindParams(*withRowId);
                BindMasterValues(*withRowId);
                FUpdateTable = tables[0];
                FRowIdKey = true;
            } else {
                FReadOnlyReason =
                    TableHasRowId(tables[0])
                        ? "the rows of '" + tables[0] + "' cannot be told apart (no key or row id)"
                        : "table '" + tables[0] +
                              "' has no row id and its primary key is not in the "
                              "result";
            }
        }
    } else {
        FReadOnlyReason =
            tables.empty() ? "the result has no table columns" : "the result joins several tables";
    }
    (void)allFromTables;
    FFieldOrigins.clear();
    for (const Column& c : cols)
        FFieldOrigins.push_back(!FUpdateTable.empty() && c.Table == FUpdateTable ? c.Origin : "");
    // A failed open leaves no statement behind: the cursor is not open, so no Close follows.
    TScopeExit dropStatement([&] {
        FCursorStatement.reset();
        FFetchStatement.reset();
    });
    if (IsUniDirectional())
        OpenCursorStatement(std::move(statement), cols);
    else if (withRowId)
        OpenFetch(std::move(withRowId), cols, 1);
    else
        OpenFetch(std::move(statement), cols, 0);
    TMemDataSet::InternalOpen();
    dropStatement.Release();

    // Automatic fields: expressions cannot be written, text columns show what they hold.
    for (std::size_t i = 0; i < cols.size(); ++i) {
        TField* f = FindField(cols[i].Name);
        if (!f || !f->GetAutomatic()) continue;
        if (!FUpdateTable.empty() && FFieldOrigins[i].empty()) f->SetReadOnly(true);
        if (IsStringType(f->GetDataType())) {
            int w = static_cast<int>(std::max(cols[i].MaxLen, cols[i].Name.size()));
            f->SetDisplayWidth(std::clamp(w, 4, 60));
        }
    }
}

bool TSQLiteDataSet::TableHasRowId(const std::string& table) {
    TSQLiteStatement st(CheckConnection(), "SELECT wr FROM pragma_table_list(?)");
    st.Bind(1, Variant(table));
    return st.Step() && st.ColumnInt64(0) == 0;
}

std::unique_ptr<TSQLiteStatement> TSQLiteDataSet::PrepareWithRowId(const std::string& sql,
                                                                   const std::string& table,
                                                                   int columns) {
    if (!TableHasRowId(table)) return nullptr;
    // Only a plain SELECT of rows: DISTINCT, grouping and compounds have no row per row id.
    std::string text = TrimLeft(sql);
    std::string upper = Utf8UpperCase(text);
    if (upper.compare(0, 6, "SELECT") != 0 || text.size() < 7 ||
        !std::isspace(static_cast<unsigned char>(text[6])))
        return nullptr;
    std::string rest = TrimLeft(upper.substr(6));
    if (rest.compare(0, 8, "DISTINCT") == 0) return nullptr;
    for (const char* word : {"GROUP BY", " UNION ", " INTERSECT ", " EXCEPT "})
        if (upper.find(word) != std::string::npos) return nullptr;
    std::unique_ptr<TSQLiteStatement> st;
    try {
        st = std::make_unique<TSQLiteStatement>(
            CheckConnection(), "SELECT _rowid_ AS \"vel$rowid\", " + text.substr(7));
    } catch (const EDatabaseError&) {
        return nullptr;
    }
    if (st->ColumnCount() != columns + 1 || st->ColumnTableName(0) != table) return nullptr;
    return st;
}

std::int64_t TSQLiteDataSet::CurrentRowId() {
    std::uint8_t bm[4];
    GetBookmarkData(ActiveBuffer(), bm);
    std::uint32_t id;
    std::memcpy(&id, bm, 4);
    if (id >= FRowIds.size()) DatabaseError("Record not found", GetName());
    return FRowIds[id];
}

std::string TSQLiteDataSet::ReadOnlyReason() const {
    return FUpdateTable.empty() ? FReadOnlyReason : "";
}

namespace {
// Years 1 to 9999: what a date field can show and convert.
bool InDateRange(double t) {
    return t >= MinDateTime && t <= MaxDateTime;
}
}  // namespace

// Turns statement cells into row images of the store; what each column is and where it goes
// is looked up once, not per cell.
struct TSQLiteDataSet::Decoder {
    // The usual pairs of column kind and storage class, chosen once per column; anything else
    // goes through Put.
    enum class Op : std::uint8_t { Int64, Int32, Bool, Float, Money, Cur, Date, Text, Other, Skip };
    struct Slot {
        int Offset, NullBit;
        TMemColKind Kind;
        bool Date;
        bool Money;  // a double that must stay within the currency range
        Op Fast;
    };
    TMemStore& Store;
    std::vector<std::string> Names;
    std::vector<TFieldType> Types;
    std::vector<Slot> Slots;
    // The longest text of each column, kept while TrackLength is on (the rows that decide the
    // fields' display widths).
    std::vector<std::size_t> MaxLen;
    bool TrackLength = true;
    // Bytes a text field holds when it cannot grow (0: no limit).
    std::vector<std::size_t> Limits;
    std::vector<std::uint8_t> Img;
    // Where rows are decoded: Img, or a record buffer's image (the one-way cursor).
    std::uint8_t* Target = nullptr;
    std::size_t RowSize = 0;
    // Bytes cleared before each row: the whole image for rows the store keeps, only the null
    // bitmap for the cursor's buffer (a null cell's slot is never read).
    std::size_t ClearBytes = 0;
    // Values of the last row that their fields could not hold: column and stored value.
    std::vector<std::pair<int, Variant>> Raw;

    Decoder(TMemStore& store, const std::vector<Column>& cols)
        : Store(store),
          MaxLen(cols.size(), 0),
          Limits(cols.size(), 0),
          Img(static_cast<std::size_t>(store.RowSize())),
          Target(Img.data()),
          RowSize(Img.size()),
          ClearBytes(Img.size()) {
        for (std::size_t i = 0; i < cols.size(); ++i) {
            Names.push_back(cols[i].Name);
            Types.push_back(cols[i].Type);
        }
        Bind(false);
    }

    // Where each column goes in the store: column i of the statement is the store's column i
    // until the table keeps only the columns of its fields (persistent fields may leave some
    // out), then the store's column of the same name; a column no field keeps is skipped.
    // The image is cleared whole before each row, or only its null bitmap (the one-way
    // cursor's buffer: a null cell's slot is never read).
    void Bind(bool byName, bool clearNullsOnly = false) {
        Slots.clear();
        const auto& columns = Store.Columns();
        for (std::size_t i = 0; i < Names.size(); ++i) {
            const TMemColumn* found = nullptr;
            if (!byName) {
                found = &columns[i];
            } else {
                for (const TMemColumn& c : columns)
                    if (!found && Utf8SameText(c.Name, Names[i])) found = &c;
            }
            if (!found) {
                Slots.push_back({0, 0, TMemColKind::I32, false, false, Op::Skip});
                continue;
            }
            const TMemColumn& mc = *found;
            const bool date = IsDateType(Types[i]);
            const bool money = Types[i] == TFieldType::ftCurrency;
            Op op = Op::Other;
            if (date) op = Op::Date;
            else if (mc.Kind == TMemColKind::I64) op = Op::Int64;
            else if (mc.Kind == TMemColKind::I32) op = Op::Int32;
            else if (mc.Kind == TMemColKind::Bool) op = Op::Bool;
            else if (mc.Kind == TMemColKind::F64) op = money ? Op::Money : Op::Float;
            else if (mc.Kind == TMemColKind::Cur) op = Op::Cur;
            else if (mc.Kind == TMemColKind::Str || mc.Kind == TMemColKind::Blob) op = Op::Text;
            Slots.push_back({mc.Offset, mc.NullBit, mc.Kind, date, money, op});
        }
        const bool own = Target == Img.data();
        Img.assign(static_cast<std::size_t>(Store.RowSize()), 0);
        if (own) Target = Img.data();
        RowSize = Img.size();
        ClearBytes = RowSize;
        if (clearNullsOnly) {
            ClearBytes = 0;
            for (const TMemColumn& c : columns)
                ClearBytes = std::max(ClearBytes, static_cast<std::size_t>(c.NullBit / 8 + 1));
        }
    }

    // Text of a field that cannot grow with what it holds: one rule for every field that is
    // not a memo.
    void LimitText() {
        const auto& columns = Store.Columns();
        for (std::size_t i = 0; i < Types.size(); ++i)
            if (IsStringType(Types[i])) Limits[i] = static_cast<std::size_t>(columns[i].Size);
    }

    // The row of the statement, its columns from `base` on. This runs for every cell of a
    // load and of a one-way scan: one switch per cell on what was decided per column.
    void Row(sqlite3_stmt* h, int base) {
        // The cursor's null bitmap is a byte or two: one word clears it, and the slots it
        // reaches into are written or never read.
        if (ClearBytes <= 8 && RowSize >= 8) {
            const std::uint64_t zero = 0;
            std::memcpy(Target, &zero, 8);
        } else {
            std::memset(Target, 0, ClearBytes);
        }
        Raw.clear();
        // Held in registers across the library calls, which could otherwise change members.
        const Slot* const slots = Slots.data();
        std::uint8_t* const target = Target;
        const int n = static_cast<int>(Slots.size());
        for (int i = 0; i < n; ++i) {
            const Slot& mc = slots[i];
            if (mc.Fast == Op::Skip) continue;
            sqlite3_value* v = sqlite3_column_value(h, i + base);
            std::uint8_t* p = target + mc.Offset;
            const int storage = sqlite3_value_type(v);
            switch (mc.Fast) {
                case Op::Int64:
                    if (storage == SQLITE_INTEGER) {
                        const std::int64_t x = sqlite3_value_int64(v);
                        std::memcpy(p, &x, 8);
                        continue;
                    }
                    break;
                case Op::Int32:
                    if (storage == SQLITE_INTEGER) {
                        const std::int64_t x = sqlite3_value_int64(v);
                        if (x >= INT32_MIN && x <= INT32_MAX) {
                            const auto y = static_cast<std::int32_t>(x);
                            std::memcpy(p, &y, 4);
                            continue;
                        }
                    }
                    break;
                case Op::Bool:
                    if (storage == SQLITE_INTEGER) {
                        p[0] = sqlite3_value_int64(v) != 0;
                        continue;
                    }
                    break;
                case Op::Float:
                case Op::Money:
                    if (storage == SQLITE_FLOAT) {
                        const double x = sqlite3_value_double(v);
                        if (mc.Fast == Op::Float || std::fabs(x) < 9.2e14) {
                            std::memcpy(p, &x, 8);
                            continue;
                        }
                    }
                    break;
                case Op::Cur:
                    if (storage == SQLITE_FLOAT) {
                        const double x = sqlite3_value_double(v);
                        if (std::fabs(x) < 9.2e14) {
                            // Half away from zero, as llround, without the library call.
                            const double scaled = x * 10000.0;
                            const auto c = static_cast<std::int64_t>(scaled + (scaled < 0 ? -0.5 : 0.5));
                            std::memcpy(p, &c, 8);
                            continue;
                        }
                    }
                    break;
                case Op::Date:
                    // Dates are stored as text (read as text, a blob too); numbers and
                    // everything else go through Put.
                    if (storage == SQLITE_TEXT || storage == SQLITE_BLOB) {
                        const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
                        const auto len = static_cast<std::size_t>(sqlite3_value_bytes(v));
                        double d;
                        // Both forms only take years 1 to 9999, the dates a field can hold.
                        if (t && (civil::TryParseIsoDate(t, len, d) || civil::TryParseIsoDateTime(t, len, d))) {
                            std::memcpy(p, &d, 8);
                            continue;
                        }
                    }
                    break;
                case Op::Text:
                    if (storage == SQLITE_TEXT) {
                        const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
                        PutText(i, p, std::string_view(t, static_cast<std::size_t>(sqlite3_value_bytes(v))));
                        continue;
                    }
                    break;
                case Op::Other:
                    break;
                case Op::Skip:
                    continue;
            }
            Put(i, CellOf(v));
        }
    }

    // Text of a field that cannot grow (the one-way cursor) and is too long for it reads as
    // Null with the text kept raw, like any other value the field cannot hold.
    [[gnu::always_inline]] void PutText(int i, std::uint8_t* slot, std::string_view text) {
        const auto k = static_cast<std::size_t>(i);
        if (Limits[k] && text.size() > Limits[k]) {
            Cell c;
            c.Storage = SQLITE_TEXT;
            c.S = text;
            Bad(i, c);
            return;
        }
        Store.PutTextAt(slot, text);
        if (TrackLength && text.size() > MaxLen[k]) MaxLen[k] = text.size();
    }

    // A row held back while column types were decided.
    void Row(const std::vector<Variant>& row) {
        std::memset(Target, 0, RowSize);
        Raw.clear();
        for (std::size_t i = 0; i < Slots.size(); ++i) {
            if (Slots[i].Fast == Op::Skip) continue;
            const Variant& v = row[i];
            Cell c = CellOf(v);
            std::string text;
            if (c.Storage == SQLITE_TEXT) {
                text = v.AsString();
                c.S = text;
            }
            Put(static_cast<int>(i), c);
        }
    }

    // Rare: a value the column cannot take. SQLite stores whatever it is given, so one such
    // value must not keep the other rows from being read: the field reads Null and the value
    // is kept as it was stored.
    [[gnu::noinline]] void Bad(int i, const Cell& v) {
        TMemStore::SetNullBit(Target, Slots[static_cast<std::size_t>(i)].NullBit, true);
        Raw.emplace_back(i, CellVariant(v));
    }

    [[gnu::noinline]] void Put(int i, const Cell& v) {
        const Slot& mc = Slots[static_cast<std::size_t>(i)];
        std::uint8_t* p = Target + mc.Offset;
        if (v.Storage == SQLITE_NULL) {
            TMemStore::SetNullBit(Target, mc.NullBit, true);
            return;
        }
        if (mc.Date) {
            double t = 0;
            try {
                if (v.Storage == SQLITE_TEXT)
                    t = SQLiteTextToDateTime(v.S);
                else if (v.Storage == SQLITE_INTEGER)
                    t = UnixToDateTime(v.I);
                else if (v.Storage == SQLITE_FLOAT)
                    t = v.D - 2415018.5;  // Julian day number
                else
                    return Bad(i, v);
            } catch (const EConvertError&) {
                return Bad(i, v);
            }
            if (!InDateRange(t)) return Bad(i, v);
            std::memcpy(p, &t, 8);
            return;
        }
        switch (mc.Kind) {
            case TMemColKind::I16:
            case TMemColKind::U16:
            case TMemColKind::I32:
            case TMemColKind::I64: {
                std::int64_t x = 0;
                if (v.Storage == SQLITE_INTEGER)
                    x = v.I;
                else if (v.Storage == SQLITE_FLOAT && v.D == std::floor(v.D) &&
                         std::fabs(v.D) < 9.2e18)
                    x = static_cast<std::int64_t>(v.D);
                else if (!(v.Storage == SQLITE_TEXT && ParseInt(v.S, x)))
                    return Bad(i, v);
                if (mc.Kind == TMemColKind::I64) {
                    std::memcpy(p, &x, 8);
                } else if (mc.Kind == TMemColKind::I32) {
                    if (x < INT32_MIN || x > INT32_MAX) return Bad(i, v);
                    auto y = static_cast<std::int32_t>(x);
                    std::memcpy(p, &y, 4);
                } else {
                    if (mc.Kind == TMemColKind::I16 ? (x < INT16_MIN || x > INT16_MAX)
                                                    : (x < 0 || x > UINT16_MAX))
                        return Bad(i, v);
                    auto y = static_cast<std::int16_t>(x);
                    std::memcpy(p, &y, 2);
                }
                break;
            }
            case TMemColKind::F64:
            case TMemColKind::Cur: {
                double x = 0;
                if (v.Storage == SQLITE_INTEGER)
                    x = static_cast<double>(v.I);
                else if (v.Storage == SQLITE_FLOAT)
                    x = v.D;
                else if (!(v.Storage == SQLITE_TEXT && ParseDouble(v.S, x)))
                    return Bad(i, v);
                if (mc.Money && !(std::fabs(x) < 9.2e14)) return Bad(i, v);
                if (mc.Kind == TMemColKind::F64) {
                    std::memcpy(p, &x, 8);
                } else {
                    if (!(std::fabs(x) < 9.2e14)) return Bad(i, v);
                    std::int64_t s =
                        v.Storage == SQLITE_INTEGER ? v.I * 10000 : std::llround(x * 10000.0);
                    std::memcpy(p, &s, 8);
                }
                break;
            }
            case TMemColKind::Bool: {
                bool b = false;
                if (v.Storage == SQLITE_INTEGER)
                    b = v.I != 0;
                else if (v.Storage == SQLITE_FLOAT)
                    b = v.D != 0;
                else if (!TryStrToBool(Trim(std::string(v.S)), b))
                    return Bad(i, v);
                p[0] = b ? 1 : 0;
                break;
            }
            case TMemColKind::Str:
            case TMemColKind::Blob: {
                if (v.Storage == SQLITE_TEXT || v.Storage == SQLITE_BLOB)
                    PutText(i, p, v.S);
                else
                    PutText(i, p, CellText(v));
                break;
            }
        }
    }
};

namespace {
// The type of an undeclared column that showed values of both types.
TFieldType WidenInferred(TFieldType seen, TFieldType next) {
    using enum TFieldType;
    if (seen == ftUnknown || seen == next) return next;
    const bool numbers =
        (seen == ftLargeint || seen == ftFloat) && (next == ftLargeint || next == ftFloat);
    if (numbers) return ftFloat;
    return seen == ftBlob || next == ftBlob ? ftBlob : ftString;
}
}  // namespace

bool TSQLiteDataSet::DefineColumns(TSQLiteStatement& st, std::vector<Column>& cols, int base,
                                   std::vector<std::vector<Variant>>& held) {
    const int n = static_cast<int>(cols.size());
    // Columns without a declared type take the type of their values in the first rows (an
    // expression may give integers first and fractions later); those rows are held back.
    bool done = false;
    auto undeclared = [&] {
        return std::any_of(cols.begin(), cols.end(),
                           [](const Column& c) { return c.Decl.Type == TFieldType::ftUnknown; });
    };
    while (undeclared() && held.size() < 256) {
        if (!st.Step()) {
            done = true;
            break;
        }
        std::vector<Variant> row;
        for (int i = 0; i < n; ++i) {
            row.push_back(st.ColumnValue(i + base));
            Column& c = cols[static_cast<std::size_t>(i)];
            if (c.Decl.Type == TFieldType::ftUnknown && !row.back().IsNull())
                c.Type = WidenInferred(c.Type, InferFieldType(st.ColumnStorage(i + base)));
        }
        if (base) FRowIds.push_back(st.ColumnInt64(0));
        held.push_back(std::move(row));
    }
    for (Column& c : cols)
        if (c.Type == TFieldType::ftUnknown) c.Type = TFieldType::ftString;
    // Text fields are sized before the rows are read, by one rule for every way of reading:
    // a declared size is room for that many characters in UTF-8, text without one gets
    // kUnsizedTextBytes. A longer value is never cut: the field reads Null and the text stays
    // whole as the raw value.
    for (Column& c : cols)
        if (IsStringType(c.Type))
            c.Size = c.Decl.Size > 0 ? std::min(c.Decl.Size, kUnsizedTextBytes / 4) * 4
                                     : kUnsizedTextBytes;

    GetFieldDefs().Clear();
    for (const Column& c : cols) {
        int size = IsStringType(c.Type) ? c.Size
                                        : (c.Type == TFieldType::ftBCD ? c.Decl.Size : 0);
        TFieldDef* d = GetFieldDefs().Add(c.Name, c.Type, size, c.Required);
        d->SetPrecision(c.Decl.Precision);
    }
    DefineStoreFromFieldDefs();
    return done;
}

// ---------------------------------------------------------------- reading on demand

void TSQLiteDataSet::OpenFetch(std::unique_ptr<TSQLiteStatement> st, std::vector<Column>& cols,
                               int base) {
    std::vector<std::vector<Variant>> held;
    const bool done = DefineColumns(*st, cols, base, held);
    TMemStore& store = Store();
    if (FPacketRecords < 0 && FLastRowCount > 0)
        store.ReserveRows(FLastRowCount + FLastRowCount / 16);
    FFetchDecoder = std::make_unique<Decoder>(store, cols);
    Decoder& dec = *FFetchDecoder;
    dec.LimitText();
    FSeekRow = -1;
    FStatementRows = held.size();
    FSkipRows = 0;
    FFetchRestart = false;
    FSeenActive = false;
    FSeen.clear();
    FFetchBase = base;
    // Rows held back while the column types were decided come first.
    for (const auto& row : held) {
        dec.Row(row);
        if (FSeekRow < 0 && !FSeekKeys.empty() && FSeekKeys.size() == FKeyFields.size()) {
            bool same = true;
            for (std::size_t k = 0; same && k < FKeyFields.size(); ++k)
                same = row[static_cast<std::size_t>(FKeyFields[k])] == FSeekKeys[k];
            if (same) FSeekRow = store.RowCapacityUsed();
        }
        const std::uint32_t id = store.AppendRow(dec.Img.data());
        for (auto& [col, value] : dec.Raw) FRaw[RawKey(id, col)] = std::move(value);
    }
    FFetchStatement = std::move(st);
    if (done) {
        EndFetch();
    } else {
        const auto packet = FPacketRecords < 0 ? std::numeric_limits<std::size_t>::max()
                                               : static_cast<std::size_t>(FPacketRecords);
        if (held.size() < packet) ReadRows(packet - held.size());
        // Reopened to return to a record: read on until it is found.
        while (FFetchStatement && !FSeekKeys.empty() && FSeekRow < 0) ReadRows(packet);
    }
    FLastRowCount = store.RowCapacityUsed();
    for (std::size_t i = 0; i < cols.size(); ++i) cols[i].MaxLen = dec.MaxLen[i];
}

void TSQLiteDataSet::ReadRows(std::size_t limit) {
    if (FFetchRestart) {
        // A failed step reset the statement: it runs again from its first row, and the rows
        // already read are passed over, by key when the rows have one, else by count.
        FFetchRestart = false;
        if (!FUpdateTable.empty())
            RememberRowsRead();
        else
            FSkipRows = FStatementRows;
    }
    TSQLiteStatement& st = *FFetchStatement;
    sqlite3_stmt* h = st.Handle();
    Decoder& dec = *FFetchDecoder;
    TMemStore& store = Store();
    const int base = FFetchBase;
    const bool seeking = !FSeekKeys.empty() && FSeekKeys.size() == FKeyFields.size();
    for (std::size_t added = 0; added < limit;) {
        const int rc = sqlite3_step(h);
        if (rc != SQLITE_ROW) {
            if (rc != SQLITE_DONE) {
                FFetchRestart = true;
                st.RaiseStepError(rc);
            }
            EndFetch();
            return;
        }
        if (FSkipRows > 0) {
            --FSkipRows;
            continue;
        }
        ++FStatementRows;
        const std::size_t mark = store.TextBytes();
        dec.Row(h, base);
        const std::int64_t rowId = base ? sqlite3_column_int64(h, 0) : 0;
        if (FSeenActive && !FSeen.insert(ImageRowKey(dec.Img.data(), dec.Raw, rowId)).second) {
            store.TruncateText(mark);  // read before, or written by this dataset
            continue;
        }
        if (seeking && FSeekRow < 0) {
            bool same = true;
            for (std::size_t k = 0; same && k < FKeyFields.size(); ++k)
                same = st.ColumnValue(FKeyFields[k] + base) == FSeekKeys[k];
            if (same) FSeekRow = store.RowCapacityUsed();
        }
        const std::uint32_t id = store.AppendRow(dec.Img.data());
        if (base) {
            if (FRowIds.size() <= id) FRowIds.resize(std::size_t(id) + 1, 0);
            FRowIds[id] = rowId;
        }
        for (auto& [col, value] : dec.Raw) FRaw[RawKey(id, col)] = std::move(value);
        ++added;
    }
}

void TSQLiteDataSet::EndFetch() {
    // Finalised at once: an open statement keeps the database's read lock.
    FFetchStatement.reset();
    FSeen.clear();
    FSeenActive = false;
}

void TSQLiteDataSet::FetchNextRows() {
    if (!FFetchStatement) return;
    ReadRows(FPacketRecords < 0 ? std::numeric_limits<std::size_t>::max()
                                : static_cast<std::size_t>(FPacketRecords));
}

void TSQLiteDataSet::SetPacketRecords(int v) {
    if (v == 0 || v < -1)
        DatabaseError("PacketRecords must be -1 (every row at once) or at least 1, not " +
                          std::to_string(v),
                      GetName());
    FPacketRecords = v;
}

void TSQLiteDataSet::SetFetchOnDemand(bool v) {
    if (v == FFetchOnDemand) return;
    FFetchOnDemand = v;
    // An ordered table places rows read on demand only if all are there.
    if (v && IsOrdered()) FetchAll();
}

int TSQLiteDataSet::GetNextPacket() {
    CheckActive();
    if (!FFetchStatement) return 0;
    CheckBrowseMode();
    const TBookmark current = IsEmpty() ? TBookmark{} : GetBookmark();
    const std::size_t added = FetchPacket();
    if (added == 0) return 0;
    // The window shows the rows read now; an ordered table may have placed them anywhere.
    if (current.empty()) {
        First();
    } else {
        InternalGotoBookmark(current.data());
        Resync({});
    }
    return static_cast<int>(added);
}

std::string TSQLiteDataSet::ImageRowKey(const std::uint8_t* image,
                                        const std::vector<std::pair<int, Variant>>& raw,
                                        std::int64_t rowId) const {
    std::string key;
    if (FRowIdKey) {
        key.assign(reinterpret_cast<const char*>(&rowId), sizeof rowId);
        return key;
    }
    const TMemStore& store = const_cast<TSQLiteDataSet*>(this)->Store();
    for (int col : FKeyFields) {
        auto r = std::find_if(raw.begin(), raw.end(), [&](const auto& x) { return x.first == col; });
        const TMemColumn& c = store.Columns()[static_cast<std::size_t>(col)];
        if (r != raw.end()) {
            key += 'R';
            key += VarToStr(r->second);
        } else if (store.IsNull(image, col)) {
            key += 'N';
        } else if (c.Kind == TMemColKind::Str || c.Kind == TMemColKind::Blob) {
            std::string_view t = store.Text(image, col);
            key += 'T';
            key += std::to_string(t.size());
            key += ':';
            key += t;
        } else {
            key += 'V';
            key.append(reinterpret_cast<const char*>(image + c.Offset),
                       static_cast<std::size_t>(MemSlotSize(c.Kind)));
        }
    }
    return key;
}

std::string TSQLiteDataSet::StoredRowKey(std::uint32_t id) const {
    const TMemStore& store = const_cast<TSQLiteDataSet*>(this)->Store();
    std::vector<std::pair<int, Variant>> raw;
    for (int col : FKeyFields) {
        auto it = FRaw.find(RawKey(id, col));
        if (it != FRaw.end()) raw.emplace_back(col, it->second);
    }
    return ImageRowKey(store.Row(id), raw, id < FRowIds.size() ? FRowIds[id] : 0);
}

void TSQLiteDataSet::RememberRowsRead() {
    if (FSeenActive || !FFetchStatement) return;
    const TMemStore& store = Store();
    FSeen.reserve(store.RowCapacityUsed() * 2);
    for (std::uint32_t id = 0; id < store.RowCapacityUsed(); ++id)
        if (store.IsLive(id)) FSeen.insert(StoredRowKey(id));
    FSeenActive = true;
}

void TSQLiteDataSet::FetchAll() {
    if (!GetActive() || !FFetchStatement) return;
    const bool browsing = GetState() == TDataSetState::dsBrowse;
    const TBookmark current = browsing && !IsEmpty() ? GetBookmark() : TBookmark{};
    while (FFetchStatement) FetchPacket();
    // Rows of packets asked for explicitly while ordered may land before the current record.
    if (browsing && IsOrdered() && !current.empty()) {
        InternalGotoBookmark(current.data());
        Resync({});
    }
}

// ---------------------------------------------------------------- one-way cursor

namespace {
// Text the one-way cursor lets pile up before moving the current row's down: small enough to
// stay in the first-level cache, large enough that the move is rare.
constexpr std::size_t kCursorTextKept = 8 * 1024;
}  // namespace

void TSQLiteDataSet::SetUniDirectional(bool v) {
    if (v == IsUniDirectional()) return;
    CheckInactive();
    TMemDataSet::SetUniDirectional(v);
}

void TSQLiteDataSet::OpenCursorStatement(std::unique_ptr<TSQLiteStatement> st,
                                         std::vector<Column>& cols) {
    FCursorHeld.clear();
    FCursorHeldPos = 0;
    FCursorDone = DefineColumns(*st, cols, 0, FCursorHeld);
    FCursorDecoder = std::make_unique<Decoder>(Store(), cols);
    FCursorDecoder->Bind(false, true);
    FCursorDecoder->LimitText();
    FCursorDecoder->TrackLength = false;  // the cursor's widths come from the declarations
    for (std::size_t i = 0; i < cols.size(); ++i)
        cols[i].MaxLen = static_cast<std::size_t>(std::max(cols[i].Decl.Size, 0));
    FCursorStatement = std::move(st);
    FCursorRowNo = 0;
    SetStepInPlace(true);
}

bool TSQLiteDataSet::FetchCursorRow() {
    Decoder& dec = *FCursorDecoder;
    if (FCursorHeldPos < FCursorHeld.size()) {
        dec.Row(FCursorHeld[FCursorHeldPos++]);
        return true;
    }
    if (FCursorDone) return false;
    sqlite3_stmt* h = FCursorStatement->Handle();
    const int rc = sqlite3_step(h);
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE) FCursorStatement->RaiseStepError(rc);
        FCursorDone = true;
        return false;
    }
    dec.Row(h, 0);
    return true;
}

TGetResult TSQLiteDataSet::GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) {
    if (!FCursorStatement) return TMemDataSet::GetRecord(buffer, mode, doCheck);
    TMemStore& store = Store();
    switch (mode) {
        case TGetMode::gmPrior:
            return TGetResult::grBOF;
        case TGetMode::gmCurrent: {
            // The current row lives only in the active buffer.
            TRecordBuffer active = ActiveBuffer();
            if (FCursorRowNo == 0 || GetBufferedRecordCount() == 0 || !active)
                return TGetResult::grError;
            if (active != buffer) CopyRecordBuffer(buffer, active);
            return TGetResult::grOK;
        }
        case TGetMode::gmNext:
            break;
    }
    // Rows are decoded straight into the buffer; the record on show keeps its text until
    // another row is taken.
    std::uint8_t* image = RecordImage(buffer);
    FCursorDecoder->Target = image;
    for (;;) {
        const std::size_t mark = store.TextBytes();
        bool got;
        try {
            got = FetchCursorRow();
        } catch (...) {
            store.TruncateText(mark);
            throw;
        }
        if (!got) {
            store.TruncateText(mark);
            return TGetResult::grEOF;
        }
        const std::uint32_t id = FCursorRowNo + 1;
        if (!ImageInView(image, id)) {
            store.TruncateText(mark);
            continue;
        }
        // Earlier rows' text is dropped now and then, not per row.
        if (mark > kCursorTextKept) store.KeepTextFrom(mark, image);
        FCursorRaw = std::move(FCursorDecoder->Raw);
        FCursorRowNo = id;
        FinishRecordBuffer(buffer, id);
        return TGetResult::grOK;
    }
}

// The table keeps the columns of its fields only: rows read from now on go there.
void TSQLiteDataSet::ColumnsReconciled() {
    if (FCursorDecoder) FCursorDecoder->Bind(true, true);
    if (FFetchDecoder) FFetchDecoder->Bind(true);
}

// The one-way step without a filter: the row is decoded straight into the buffer on show once
// the statement has it, so at the end the last row stays as it was.
bool TSQLiteDataSet::StepInPlace(TRecordBuffer active) {
    if (!FCursorStatement || FCursorDone || FCursorHeldPos < FCursorHeld.size() || HasFilter())
        return false;
    sqlite3_stmt* h = FCursorStatement->Handle();
    const int rc = sqlite3_step(h);
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE) FCursorStatement->RaiseStepError(rc);
        FCursorDone = true;
        return false;  // the classic step finds the end
    }
    TMemStore& store = Store();
    const std::size_t mark = store.TextBytes();
    Decoder& dec = *FCursorDecoder;
    std::uint8_t* image = RecordImage(active);
    dec.Target = image;
    dec.Row(h, 0);
    if (mark > kCursorTextKept) store.KeepTextFrom(mark, image);
    FCursorRaw.swap(dec.Raw);
    FCursorRowNo = FCursorRowNo + 1;
    FinishRecordBuffer(active, FCursorRowNo);
    return true;
}

int TSQLiteDataSet::GetRecordCount() const {
    return FCursorStatement ? -1 : TMemDataSet::GetRecordCount();
}

bool TSQLiteDataSet::IsSequenced() const {
    return !FCursorStatement && TMemDataSet::IsSequenced();
}

int TSQLiteDataSet::GetRecNo() const {
    if (!FCursorStatement) return TMemDataSet::GetRecNo();
    return IsEmpty() ? -1 : static_cast<int>(FCursorRowNo);
}

void TSQLiteDataSet::InternalFirst() {
    if (!FCursorStatement) TMemDataSet::InternalFirst();
}

void TSQLiteDataSet::FilterChanged() {
    if (!FCursorStatement) return TMemDataSet::FilterChanged();
    // The rows already passed cannot be looked at again: run the statement anew.
    CheckBrowseMode();
    DisableControls();
    TScopeExit cleanup([&] { EnableControls(); });
    Close();
    Open();
}

int TSQLiteDataSet::ExecStatement() {
    std::string sql = GetSelectSQL();
    if (Trim(sql).empty()) DatabaseError("No SQL statement is given", GetName());
    TSQLiteConnection& conn = CheckConnection();
    conn.FinishReads();
    TSQLiteStatement st(conn, sql);
    BindParams(st);
    const int changed = st.Execute();
    conn.SyncTransaction();
    return changed;
}

void TSQLiteDataSet::InternalClose() {
    TMemDataSet::InternalClose();
    FCursorStatement.reset();
    FCursorDecoder.reset();
    SetStepInPlace(false);
    EndFetch();
    FFetchDecoder.reset();
    FFetchRestart = false;
    FCursorHeld.clear();
    FCursorRaw.clear();
    Store() = TMemStore();  // the rows go with the cursor
    FRaw.clear();
    FEditValues.clear();
    FEditKeys.clear();
    FTouched.clear();
    FPending.clear();  // closing drops what was not applied
}

void TSQLiteDataSet::ReopenKeepingRecord() {
    if (!GetActive()) return;
    CheckBrowseMode();
    CheckNoPendingUpdates();
    FSeekKeys = IsEmpty() ? std::vector<Variant>{} : CurrentKeyValues();
    FSeekRow = -1;
    DisableControls();
    TScopeExit cleanup([&] {
        FSeekKeys.clear();
        EnableControls();
    });
    Close();
    Open();
    if (FSeekRow >= 0 && FSeekRow <= UINT32_MAX) {
        // Rows of a fresh store are numbered in load order, which is the bookmark.
        auto id = static_cast<std::uint32_t>(FSeekRow);
        TBookmark bm(4);
        std::memcpy(bm.data(), &id, 4);
        GotoBookmark(bm);
    }
}

// ---------------------------------------------------------------- TQuery

TQuery::TQuery(TComponent* owner) : TSQLiteDataSet(owner), FSQL(std::make_unique<TStringList>()) {
    FSQL->SetOnChange([this](TObject*) { SQLChanged(); });
}

TQuery::~TQuery() {
    try {
        if (GetActive()) Close();
    } catch (...) {
    }
    FSQL->SetOnChange(nullptr);
}

void TQuery::SetSQL(TStrings* v) {
    if (v)
        FSQL->Assign(v);
    else
        FSQL->Clear();
}

void TQuery::SQLChanged() {
    StatementChanged();
    FParams.ParseSQL(FSQL->GetText());
}

std::string TQuery::GetSelectSQL() const {
    return FSQL->GetText();
}

void TQuery::BindParams(TSQLiteStatement& st) {
    for (int i = 1; i <= st.ParamCount(); ++i) {
        std::string name = st.ParamName(i);
        Variant v;
        TFieldType t = TFieldType::ftUnknown;
        if (!name.empty() && MasterValue(name, v, t)) {
            st.Bind(i, v, t);
            continue;
        }
        TParam* p = name.empty() ? nullptr : FParams.FindParam(name);
        if (!p)
            DatabaseError(
                "No value for parameter " + (name.empty() ? std::to_string(i) : "'" + name + "'"),
                GetName());
        st.Bind(i, p->GetValue(), p->GetDataType());
    }
}

void TQuery::SetDataSource(TDataSource* v) {
    SetMasterDataSource(v);
    MasterLinkChanged();
}

std::vector<std::string> TQuery::MasterLinkFields() const {
    std::vector<std::string> names;
    Variant v;
    TFieldType t;
    for (int i = 0; i < FParams.Count(); ++i)
        if (MasterValue(FParams[i].GetName(), v, t)) names.push_back(FParams[i].GetName());
    return names;
}

int TQuery::ExecSQL() {
    FRowsAffected = ExecStatement();
    return FRowsAffected;
}

// ---------------------------------------------------------------- TTable

TTable::TTable(TComponent* owner) : TSQLiteDataSet(owner) {}

void TTable::SetTableName(const std::string& v) {
    if (v == FTableName) return;
    StatementChanged();
    FTableName = v;
}

void TTable::SetIndexFieldNames(const std::string& v) {
    if (v == FTableIndexFields) return;
    if (GetActive()) {
        for (const std::string& n : SplitFieldNames(v)) FieldByName(n);  // raises, nothing changed
        CheckBrowseMode();
        CheckNoPendingUpdates();
    }
    FTableIndexFields = v;
    ReopenKeepingRecord();
}

void TTable::SetMasterSource(TDataSource* v) {
    SetMasterDataSource(v);
    MasterLinkChanged();
}

void TTable::SetMasterFields(const std::string& v) {
    if (v == FMasterFields) return;
    CheckMasterFields(v);  // raises before anything changed
    FMasterFields = v;
    MasterLinkChanged();
}

std::vector<std::pair<std::string, std::string>> PairMasterFields(const std::string& masterFields,
                                                                  const std::string& indexFields) {
    std::vector<std::string> master = SplitFieldNames(masterFields);
    std::vector<std::string> index = SplitFieldNames(indexFields);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i < master.size(); ++i)
        pairs.emplace_back(index.size() >= master.size() ? index[i] : master[i], master[i]);
    return pairs;
}

std::vector<std::pair<std::string, std::string>> TTable::MasterDetailPairs() const {
    return PairMasterFields(FMasterFields, FTableIndexFields);
}

std::string TTable::GetSelectSQL() const {
    if (FTableName.empty()) DatabaseError("No table name is given", GetName());
    std::string sql = "SELECT * FROM " + QuoteIdent(FTableName) + MasterWhere();
    std::vector<std::string> names = SplitFieldNames(FTableIndexFields);
    for (std::size_t i = 0; i < names.size(); ++i)
        sql += (i ? ", " : " ORDER BY ") + QuoteIdent(names[i]);
    return sql;
}

}  // namespace vel
