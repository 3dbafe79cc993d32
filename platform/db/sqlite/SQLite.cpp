#include "platform/db/sqlite/SQLite.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/db/DBTypes.h"
#include "platform/db/DataSet.h"
#include "platform/db/sqlite/SQLDataSets.h"
#include "platform/rtl/CivilDate.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {

// Statement text in messages is kept short enough to read.
std::string Abbrev(const std::string& sql) {
    std::string s = sql;
    for (char& c : s)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    if (s.size() > 300) s = s.substr(0, 297) + "...";
    return s;
}

std::string Upper(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

}  // namespace

// ---------------------------------------------------------------- statement

TSQLiteStatement::TSQLiteStatement(TSQLiteConnection& connection, const std::string& sql)
    : FConnection(connection), FSQL(sql) {
    sqlite3* db = connection.Handle();
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &FStmt, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(FStmt);
        FStmt = nullptr;
        connection.RaiseError(sql);
    }
    if (!FStmt) {
        connection.SetLastError("The statement is empty: '" + Abbrev(sql) + "'");
        throw EDatabaseError(connection.GetLastError());
    }
}

TSQLiteStatement::~TSQLiteStatement() {
    sqlite3_finalize(FStmt);
}

void TSQLiteStatement::Fail(int) const {
    FConnection.RaiseError(FSQL);
}

int TSQLiteStatement::ParamCount() const {
    return sqlite3_bind_parameter_count(FStmt);
}

std::string TSQLiteStatement::ParamName(int index) const {
    const char* n = sqlite3_bind_parameter_name(FStmt, index);
    if (!n || !*n || n[0] == '?') return {};
    return n + 1;
}

void TSQLiteStatement::Bind(int index, const Variant& v, TFieldType type) {
    int rc = SQLITE_OK;
    switch (v.VarType()) {
        case TVarType::varEmpty:
        case TVarType::varNull:
            rc = sqlite3_bind_null(FStmt, index);
            break;
        case TVarType::varBoolean:
            rc = sqlite3_bind_int(FStmt, index, v.AsBoolean() ? 1 : 0);
            break;
        case TVarType::varInteger:
        case TVarType::varInt64:
            rc = sqlite3_bind_int64(FStmt, index, v.AsInt64());
            break;
        case TVarType::varDouble:
            rc = sqlite3_bind_double(FStmt, index, v.AsFloat());
            break;
        case TVarType::varCurrency: {
            // Whole amounts stay integers so that comparisons in SQL are exact.
            Currency c = v.AsCurrency();
            if (c.Value % 10000 == 0)
                rc = sqlite3_bind_int64(FStmt, index, c.Value / 10000);
            else
                rc = sqlite3_bind_double(FStmt, index, static_cast<double>(c.Value) / 10000.0);
            break;
        }
        case TVarType::varDate: {
            std::string t = SQLiteDateText(v.AsDateTime(), type);
            rc = sqlite3_bind_text(FStmt, index, t.data(), static_cast<int>(t.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        case TVarType::varString: {
            const std::string s = v.AsString();
            rc = sqlite3_bind_text(FStmt, index, s.data(), static_cast<int>(s.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        case TVarType::varBytes: {
            const auto& b = v.AsBytes();
            rc =
                sqlite3_bind_blob(FStmt, index, b.empty() ? "" : static_cast<const void*>(b.data()),
                                  static_cast<int>(b.size()), SQLITE_TRANSIENT);
            break;
        }
        case TVarType::varArray:
            throw EDatabaseError("An array cannot be bound to parameter " + std::to_string(index) +
                                 " of '" + Abbrev(FSQL) + "'");
    }
    if (rc == SQLITE_RANGE)
        throw EDatabaseError("Parameter " + std::to_string(index) + " does not exist in '" +
                             Abbrev(FSQL) + "'");
    if (rc != SQLITE_OK) Fail(rc);
}

void TSQLiteStatement::Bind(const std::string& name, const Variant& v, TFieldType type) {
    int i = 0;
    for (const char* prefix : {":", "@", "$"}) {
        i = sqlite3_bind_parameter_index(FStmt, (prefix + name).c_str());
        if (i > 0) break;
    }
    if (i == 0)
        throw EDatabaseError("Parameter '" + name + "' does not exist in '" + Abbrev(FSQL) + "'");
    Bind(i, v, type);
}

void TSQLiteStatement::ClearBindings() {
    sqlite3_clear_bindings(FStmt);
}

bool TSQLiteStatement::Step() {
    if (FConnection.GetTransactionLost() && !sqlite3_stmt_readonly(FStmt))
        FConnection.CheckTransaction(FSQL);
    int rc = sqlite3_step(FStmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    RaiseStepError(rc);
}

void TSQLiteStatement::RaiseStepError(int rc) {
    sqlite3_reset(FStmt);
    Fail(rc);
}

void TSQLiteStatement::Reset() {
    sqlite3_reset(FStmt);
}

int TSQLiteStatement::Execute() {
    while (Step()) {
    }
    int n = sqlite3_changes(FConnection.Handle());
    sqlite3_reset(FStmt);
    return n;
}

int TSQLiteStatement::ColumnCount() const {
    return sqlite3_column_count(FStmt);
}
std::string TSQLiteStatement::ColumnName(int col) const {
    const char* n = sqlite3_column_name(FStmt, col);
    return n ? n : "";
}
std::string TSQLiteStatement::ColumnDeclType(int col) const {
    const char* n = sqlite3_column_decltype(FStmt, col);
    return n ? n : "";
}
std::string TSQLiteStatement::ColumnTableName(int col) const {
    const char* n = sqlite3_column_table_name(FStmt, col);
    return n ? n : "";
}
std::string TSQLiteStatement::ColumnOriginName(int col) const {
    const char* n = sqlite3_column_origin_name(FStmt, col);
    return n ? n : "";
}
int TSQLiteStatement::ColumnStorage(int col) const {
    return sqlite3_column_type(FStmt, col);
}
bool TSQLiteStatement::IsNull(int col) const {
    return sqlite3_column_type(FStmt, col) == SQLITE_NULL;
}
std::int64_t TSQLiteStatement::ColumnInt64(int col) const {
    return sqlite3_column_int64(FStmt, col);
}
double TSQLiteStatement::ColumnDouble(int col) const {
    return sqlite3_column_double(FStmt, col);
}
std::string_view TSQLiteStatement::ColumnText(int col) const {
    const unsigned char* t = sqlite3_column_text(FStmt, col);
    int n = sqlite3_column_bytes(FStmt, col);
    return t ? std::string_view(reinterpret_cast<const char*>(t), static_cast<std::size_t>(n))
             : std::string_view();
}
std::string_view TSQLiteStatement::ColumnBlob(int col) const {
    const void* b = sqlite3_column_blob(FStmt, col);
    int n = sqlite3_column_bytes(FStmt, col);
    return b ? std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(n))
             : std::string_view();
}

Variant TSQLiteStatement::ColumnValue(int col) const {
    switch (sqlite3_column_type(FStmt, col)) {
        case SQLITE_INTEGER:
            return Variant(static_cast<long long>(ColumnInt64(col)));
        case SQLITE_FLOAT:
            return Variant(ColumnDouble(col));
        case SQLITE_TEXT:
            return Variant(std::string(ColumnText(col)));
        case SQLITE_BLOB: {
            std::string_view b = ColumnBlob(col);
            return Variant::FromBytes(std::vector<std::uint8_t>(b.begin(), b.end()));
        }
        default:
            return Variant::Null();
    }
}

// ---------------------------------------------------------------- connection

TSQLiteConnection::TSQLiteConnection(TComponent* owner) : TComponent(owner) {}

TSQLiteConnection::~TSQLiteConnection() {
    try {
        Close();
    } catch (...) {
    }
    // Datasets still pointing here are told through the removal notification.
}

void TSQLiteConnection::SetFileName(const std::string& v) {
    if (v == FFileName) return;
    Close();
    FFileName = v;
}

void TSQLiteConnection::SetReadOnly(bool v) {
    if (v == FReadOnly) return;
    Close();
    FReadOnly = v;
}

void TSQLiteConnection::SetBusyTimeout(int v) {
    FBusyTimeout = std::max(0, v);
    if (FDb) sqlite3_busy_timeout(FDb, FBusyTimeout);
}

void TSQLiteConnection::SetConnected(bool v) {
    if (v == GetConnected()) return;
    if (v)
        DoConnect();
    else
        DoDisconnect();
}

void TSQLiteConnection::DoConnect() {
    if (FFileName.empty()) DatabaseError("No database file name is set", GetName());
    int flags = FReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (FCreateIfMissing && !FReadOnly) flags |= SQLITE_OPEN_CREATE;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(FFileName.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string why = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        if (rc == SQLITE_CANTOPEN && !FCreateIfMissing)
            FLastError = "Cannot open database file '" + FFileName +
                         "': the file does not exist or is not accessible";
        else
            FLastError = "Cannot open database file '" + FFileName + "': " + why;
        DatabaseError(FLastError, GetName());
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, FBusyTimeout);
    // Reading the schema proves the file is a database (sqlite opens anything lazily).
    char* err = nullptr;
    rc = sqlite3_exec(db, "PRAGMA foreign_keys = ON; SELECT count(*) FROM sqlite_master", nullptr,
                      nullptr, &err);
    if (rc != SQLITE_OK) {
        FLastError =
            "Cannot open database file '" + FFileName + "': " + (err ? err : sqlite3_errstr(rc));
        sqlite3_free(err);
        sqlite3_close(db);
        DatabaseError(FLastError, GetName());
    }
    FDb = db;
    FLastError.clear();
    if (FAfterConnect) FAfterConnect(this);
}

void TSQLiteConnection::DoDisconnect() {
    if (FBeforeDisconnect) FBeforeDisconnect(this);
    std::vector<TDataSet*> clients = FClients;
    for (TDataSet* d : clients)
        if (d->GetActive()) d->Close();
    if (InTransaction()) sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(FDb);
    FDb = nullptr;
    FAppTransaction = false;
    FLostReason.clear();
}

sqlite3* TSQLiteConnection::Handle() {
    if (!FDb) Open();
    return FDb;
}

void TSQLiteConnection::RaiseError(const std::string& statement, const char* stage) {
    std::string msg = FDb ? sqlite3_errmsg(FDb) : "not connected";
    FLastError = msg + " in '" + Abbrev(statement) + "'";
    if (stage) FLastError += std::string(" ") + stage;
    if (FAppTransaction && FDb && sqlite3_get_autocommit(FDb)) {
        // SQLite gave up the whole transaction (a full disk, an I/O error).
        FAppTransaction = false;
        FLostReason = FLastError;
        FLastError +=
            "; SQLite rolled back the transaction, so every change made since it "
            "started is undone and nothing more is written until Rollback";
    }
    DatabaseError(FLastError, GetName());
}

void TSQLiteConnection::CheckTransaction(const std::string& statement) const {
    if (FLostReason.empty()) return;
    DatabaseError("'" + Abbrev(statement) +
                      "' is refused: SQLite rolled back the transaction after " + FLostReason +
                      "; call Rollback before making more changes",
                  GetName());
}

void TSQLiteConnection::SyncTransaction() {
    if (FLostReason.empty()) FAppTransaction = InTransaction();
}

void TSQLiteConnection::StartTransaction() {
    if (!FLostReason.empty())
        DatabaseError("SQLite rolled back the previous transaction after " + FLostReason +
                          "; call Rollback before starting another",
                      GetName());
    if (InTransaction()) DatabaseError("A transaction is already active", GetName());
    ExecSQL("BEGIN IMMEDIATE");
}

void TSQLiteConnection::Commit() {
    if (!FLostReason.empty()) {
        std::string why = std::move(FLostReason);
        FLostReason.clear();
        DatabaseError("SQLite rolled back the transaction after " + why + "; nothing was committed",
                      GetName());
    }
    if (!InTransaction()) DatabaseError("No transaction is active", GetName());
    try {
        ExecSQL("COMMIT");
    } catch (const EDatabaseError& e) {
        // A refused COMMIT (a lock, a full disk) may leave the transaction open; say which.
        if (!InTransaction()) throw;
        FLastError =
            std::string(e.what()) + "; the transaction is still open: commit again or roll back";
        DatabaseError(FLastError, GetName());
    }
}

void TSQLiteConnection::Rollback() {
    if (!FLostReason.empty()) {
        FLostReason.clear();  // SQLite has already undone it
        return;
    }
    if (!InTransaction()) DatabaseError("No transaction is active", GetName());
    ExecSQL("ROLLBACK");
}

bool TSQLiteConnection::InTransaction() const {
    return FDb && !sqlite3_get_autocommit(FDb);
}

namespace {
// Statements of our own bracket: they neither count as the application's nor are refused.
int ExecPlain(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}
}  // namespace

void TSQLiteConnection::RunAtomically(const std::string& statement,
                                      const std::function<void()>& work) {
    CheckTransaction(statement);
    FinishReads();
    sqlite3* db = Handle();
    const bool own = !InTransaction();
    if (ExecPlain(db, "SAVEPOINT vel_unit") != SQLITE_OK)
        RaiseError(statement, "while starting it");
    try {
        work();
        if (ExecPlain(db, "RELEASE vel_unit") != SQLITE_OK)
            RaiseError(statement, own ? "while committing it" : "while ending it");
    } catch (...) {
        // Whatever the unit wrote goes; when SQLite already ended the transaction there is
        // nothing left to undo.
        if (InTransaction()) {
            if (own)
                ExecPlain(db, "ROLLBACK");
            else
                ExecPlain(db, "ROLLBACK TO vel_unit; RELEASE vel_unit");
        }
        throw;
    }
}

int TSQLiteConnection::ExecSQL(const std::string& sql, const std::vector<Variant>& params) {
    sqlite3* db = Handle();
    CheckTransaction(sql);
    FinishReads();
    int changed = 0;
    if (params.empty()) {
        char* err = nullptr;
        int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
        sqlite3_free(err);
        if (rc != SQLITE_OK) RaiseError(sql);
        changed = sqlite3_changes(db);
    } else {
        TSQLiteStatement st(*this, sql);
        for (std::size_t i = 0; i < params.size(); ++i) st.Bind(static_cast<int>(i + 1), params[i]);
        changed = st.Execute();
    }
    SyncTransaction();
    return changed;
}

std::int64_t TSQLiteConnection::LastInsertRowId() const {
    return FDb ? sqlite3_last_insert_rowid(FDb) : 0;
}

std::vector<std::string> TSQLiteConnection::GetTableNames() {
    TSQLiteStatement st(*this,
                        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                        "'sqlite\\_%' ESCAPE '\\' ORDER BY name");
    std::vector<std::string> names;
    while (st.Step()) names.emplace_back(st.ColumnText(0));
    return names;
}

void TSQLiteConnection::FinishReads() {
    for (TDataSet* d : std::vector<TDataSet*>(FClients))
        if (auto* sql = dynamic_cast<TSQLiteDataSet*>(d)) sql->FetchAll();
}

void TSQLiteConnection::RegisterClient(TDataSet* d) {
    if (std::find(FClients.begin(), FClients.end(), d) == FClients.end()) FClients.push_back(d);
}

void TSQLiteConnection::UnRegisterClient(TDataSet* d) {
    FClients.erase(std::remove(FClients.begin(), FClients.end(), d), FClients.end());
}

// ---------------------------------------------------------------- types

TSQLiteColumnType MapDeclaredType(std::string_view declared) {
    using enum TFieldType;
    std::string d = Upper(declared);
    TSQLiteColumnType r;
    int args[2] = {0, 0};
    int nargs = 0;
    std::size_t paren = d.find('(');
    if (paren != std::string::npos) {
        const char* p = d.c_str() + paren + 1;
        while (nargs < 2) {
            char* end = nullptr;
            long v = std::strtol(p, &end, 10);
            if (end == p) break;
            args[nargs++] = static_cast<int>(std::clamp(v, 0L, 1L << 20));
            p = end;
            while (*p == ' ') ++p;
            if (*p != ',') break;
            ++p;
        }
        d.resize(paren);
    }
    while (!d.empty() && d.back() == ' ') d.pop_back();
    auto has = [&](const char* s) { return d.find(s) != std::string::npos; };
    if (d.empty()) return r;
    if (has("BOOL")) {
        r.Type = ftBoolean;
    } else if (has("DATETIME") || has("TIMESTAMP")) {
        r.Type = ftDateTime;
    } else if (d == "DATE") {
        r.Type = ftDate;
    } else if (d == "TIME") {
        r.Type = ftTime;
    } else if (has("BIGINT") || has("INT8") || has("LARGEINT")) {
        r.Type = ftLargeint;
    } else if (has("SMALLINT") || has("TINYINT") || has("INT2")) {
        r.Type = ftSmallint;
    } else if (has("INT")) {
        r.Type = ftInteger;
    } else if (has("MEMO") || has("CLOB") || d == "LONGTEXT" || d == "MEDIUMTEXT") {
        r.Type = ftMemo;
    } else if (has("CHAR") || has("TEXT") || has("STRING")) {
        r.Type = (d == "CHAR" || d == "NCHAR" || d == "CHARACTER") ? ftFixedChar : ftString;
        r.Size = args[0];
    } else if (has("IMAGE") || has("GRAPHIC") || has("PICTURE")) {
        r.Type = ftGraphic;
    } else if (has("BLOB") || has("BINARY")) {
        r.Type = ftBlob;
    } else if (has("MONEY") || has("CURRENCY")) {
        r.Type = ftCurrency;
    } else if (has("REAL") || has("FLOA") || has("DOUB")) {
        r.Type = ftFloat;
    } else if (has("DEC") || has("NUMERIC")) {
        // Up to four decimals fit the exact currency slot; wider scales fall back to doubles.
        if (nargs >= 1 && args[1] <= 4 && args[0] <= 18) {
            r.Type = ftBCD;
            r.Precision = args[0];
            r.Size = args[1];
        } else {
            r.Type = ftFloat;
        }
    } else {
        r.Type = ftFloat;  // numeric affinity
    }
    return r;
}

TFieldType InferFieldType(int storage) {
    switch (storage) {
        case SQLITE_INTEGER:
            return TFieldType::ftLargeint;
        case SQLITE_FLOAT:
            return TFieldType::ftFloat;
        case SQLITE_BLOB:
            return TFieldType::ftBlob;
        default:
            return TFieldType::ftString;
    }
}

std::string SQLiteDateText(TDateTime v, TFieldType type) {
    std::string iso = DateToISO8601(v);  // yyyy-mm-ddThh:nn:ss.zzz
    std::string date = iso.substr(0, 10);
    std::string time = iso.substr(11, 8);
    if (iso.compare(19, 4, ".000") != 0) time += iso.substr(19, 4);
    if (type == TFieldType::ftDate) return date;
    if (type == TFieldType::ftTime) return time;
    return date + " " + time;
}

TDateTime SQLiteTextToDateTime(std::string_view text) {
    // The common cases, a bare date and a date with a time in seconds, are read without the
    // general parser.
    TDateTime v;
    if (civil::TryParseIsoDate(text.data(), text.size(), v) ||
        civil::TryParseIsoDateTime(text.data(), text.size(), v))
        return v;
    std::string s(text);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    v = 0;
    if (TryISO8601ToDate(s, v)) return v;
    // A time alone: hh:nn[:ss[.zzz]].
    int h = 0, n = 0, sec = 0, consumed = 0;
    char frac[8] = {0};
    int got = std::sscanf(s.c_str(), "%2d:%2d%n", &h, &n, &consumed);
    if (got == 2) {
        std::size_t pos = static_cast<std::size_t>(consumed);
        if (pos < s.size() && s[pos] == ':') {
            int c2 = 0;
            if (std::sscanf(s.c_str() + pos, ":%2d%n", &sec, &c2) != 1)
                pos = std::string::npos;
            else
                pos += static_cast<std::size_t>(c2);
        }
        int ms = 0;
        if (pos != std::string::npos && pos < s.size() && s[pos] == '.') {
            std::size_t k = 0;
            ++pos;
            while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos])) && k < 7)
                frac[k++] = s[pos++];
            while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))) ++pos;
            std::string f(frac);
            f.resize(3, '0');
            ms = std::stoi(f);
        }
        if (pos == s.size() && TryEncodeTime(h, n, sec, ms, v)) return v;
    }
    throw EConvertError("'" + s + "' is not a valid ISO 8601 date or time");
}

std::string QuoteIdent(std::string_view name) {
    std::string r = "\"";
    for (char c : name) {
        if (c == '"') r += '"';
        r += c;
    }
    return r + "\"";
}

}  // namespace vel
