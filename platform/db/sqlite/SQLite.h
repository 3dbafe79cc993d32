#pragma once
// The SQLite access layer: a prepared statement, the connection component, and the mapping
// from declared column types to field types.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/db/DBTypes.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/Variant.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vel {

class TSQLiteConnection;
class TDataSet;

// A compiled statement; finalised with the object. Errors raise EDatabaseError carrying
// SQLite's message and the statement text.
class TSQLiteStatement {
public:
    TSQLiteStatement(TSQLiteConnection& connection, const std::string& sql);
    ~TSQLiteStatement();
    TSQLiteStatement(const TSQLiteStatement&) = delete;
    TSQLiteStatement& operator=(const TSQLiteStatement&) = delete;

    const std::string& GetSQL() const { return FSQL; }
    sqlite3_stmt* Handle() const { return FStmt; }

    int ParamCount() const;
    // "name" for ":name"; empty for a positional parameter.
    std::string ParamName(int index) const;  // 1-based
    // 1-based; dates go in as ISO 8601 text, currency as a number, booleans as 0/1.
    void Bind(int index, const Variant& value, TFieldType type = TFieldType::ftUnknown);
    void Bind(const std::string& name, const Variant& value,
              TFieldType type = TFieldType::ftUnknown);
    void ClearBindings();

    // True while a row is available.
    bool Step();
    // For loops that call sqlite3_step themselves: resets and raises what a step returned.
    [[noreturn]] void RaiseStepError(int rc);
    void Reset();
    // Runs to completion and returns the number of rows changed.
    int Execute();

    int ColumnCount() const;
    std::string ColumnName(int col) const;
    std::string ColumnDeclType(int col) const;
    // The table and column a result column comes from (empty for expressions).
    std::string ColumnTableName(int col) const;
    std::string ColumnOriginName(int col) const;
    int ColumnStorage(int col) const;  // SQLITE_INTEGER, SQLITE_FLOAT, …
    bool IsNull(int col) const;
    std::int64_t ColumnInt64(int col) const;
    double ColumnDouble(int col) const;
    std::string_view ColumnText(int col) const;
    std::string_view ColumnBlob(int col) const;
    // The value as a Variant (integers as Int64, text as strings, blobs as bytes).
    Variant ColumnValue(int col) const;

private:
    [[noreturn]] void Fail(int rc) const;
    TSQLiteConnection& FConnection;
    sqlite3_stmt* FStmt = nullptr;
    std::string FSQL;
};

using TConnectionNotifyEvent = std::function<void(TSQLiteConnection* sender)>;

// A connection to one database file. A missing file is an error unless CreateIfMissing is set.
class TSQLiteConnection : public TComponent {
    VEL_CLASS(TSQLiteConnection)
public:
    explicit TSQLiteConnection(TComponent* owner = nullptr);
    ~TSQLiteConnection() override;

    const std::string& GetFileName() const { return FFileName; }
    // Changing the file of an open connection closes it first.
    void SetFileName(const std::string& v);
    bool GetCreateIfMissing() const { return FCreateIfMissing; }
    void SetCreateIfMissing(bool v) { FCreateIfMissing = v; }
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    // Milliseconds to wait for a lock held by another connection.
    int GetBusyTimeout() const { return FBusyTimeout; }
    void SetBusyTimeout(int v);

    bool GetConnected() const { return FDb != nullptr; }
    void SetConnected(bool v);
    void Open() { SetConnected(true); }
    // Closes every dataset using the connection, rolls back an open transaction.
    void Close() { SetConnected(false); }

    // SQLite may end a transaction on its own: a full disk or an I/O error while writing rolls
    // the whole of it back. The failing statement's error says so, and from then on the
    // transaction is "lost": InTransaction is false, statements that write are refused (they
    // would be committed one by one, outside what the application will roll back), Rollback
    // succeeds without doing anything and Commit raises saying nothing was committed.
    void StartTransaction();
    void Commit();
    void Rollback();
    // Whether SQLite holds a transaction open now.
    bool InTransaction() const;
    bool GetTransactionLost() const { return !FLostReason.empty(); }
    // Raises while the transaction is lost, naming the statement that would have run.
    void CheckTransaction(const std::string& statement) const;
    // After an application's own statement ran: a BEGIN or COMMIT in it opened or closed the
    // application's transaction.
    void SyncTransaction();
    // Runs `work` (which runs `statement`) as one unit: a savepoint inside the application's
    // transaction, else a transaction of its own. When it raises, whatever it wrote is undone
    // (unless SQLite already undid the whole transaction) and the error goes on.
    void RunAtomically(const std::string& statement, const std::function<void()>& work);

    // Runs statements with positional parameters (?); returns the rows changed by the last.
    int ExecSQL(const std::string& sql, const std::vector<Variant>& params = {});
    std::int64_t LastInsertRowId() const;
    // The message of the last failure (empty when none since the connection opened).
    const std::string& GetLastError() const { return FLastError; }
    // Names of the user tables, in name order.
    std::vector<std::string> GetTableNames();

    // Raises EDatabaseError for the connection's current SQLite error, adding the statement
    // and, when given, what was being done with it ("while committing it").
    [[noreturn]] void RaiseError(const std::string& statement, const char* stage = nullptr);
    void SetLastError(const std::string& v) { FLastError = v; }
    sqlite3* Handle();

    void SetAfterConnect(TConnectionNotifyEvent v) { FAfterConnect = std::move(v); }
    void SetBeforeDisconnect(TConnectionNotifyEvent v) { FBeforeDisconnect = std::move(v); }

    // Datasets using the connection (closed with it).
    // SQLite commits a statement's own transaction only once no other statement of the
    // connection is running, and a running one keeps the file's read lock: before anything is
    // written, datasets still reading on demand read the rest of their rows.
    void FinishReads();
    void RegisterClient(TDataSet* dataSet);
    void UnRegisterClient(TDataSet* dataSet);

protected:
    virtual void DoConnect();
    virtual void DoDisconnect();

private:
    std::string FFileName;
    bool FCreateIfMissing = false;
    bool FReadOnly = false;
    int FBusyTimeout = 2000;
    sqlite3* FDb = nullptr;
    std::string FLastError;
    // The application's transaction is open (StartTransaction, or BEGIN through ExecSQL);
    // when SQLite ended it, the error that did.
    bool FAppTransaction = false;
    std::string FLostReason;
    std::vector<TDataSet*> FClients;
    TConnectionNotifyEvent FAfterConnect, FBeforeDisconnect;
};

// What a declared column type maps to. Type is ftUnknown when nothing is declared (the values
// decide); Size is the declared length of text or the scale of a decimal.
struct TSQLiteColumnType {
    TFieldType Type = TFieldType::ftUnknown;
    int Size = 0;
    int Precision = 0;
};
TSQLiteColumnType MapDeclaredType(std::string_view declared);
// The field type for a value of the given SQLite storage class (no declared type).
TFieldType InferFieldType(int storageClass);

// Text forms dates are stored in: "yyyy-mm-dd", "yyyy-mm-dd hh:nn:ss[.zzz]", "hh:nn:ss[.zzz]".
std::string SQLiteDateText(TDateTime v, TFieldType type);
// Reads ISO 8601 text (date, date and time, or time alone); raises EConvertError naming it.
TDateTime SQLiteTextToDateTime(std::string_view text);

// "name" quoted as an SQL identifier.
std::string QuoteIdent(std::string_view name);

}  // namespace vel
