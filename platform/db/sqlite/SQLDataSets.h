#pragma once
// Datasets over an SQLite connection. Opening prepares the statement and reads a first packet
// of rows into the in-memory table's row store; further packets are read as the cursor needs
// them (PacketRecords, FetchOnDemand). Navigation, bookmarks, filters and client-side ordering
// are the in-memory table's. Rows that come from one table whose key is in the result are
// posted back with parameterised statements before the store changes, so a refused post leaves
// the record in edit with the user's values.
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/classes/Strings.h"
#include "platform/db/ClientDataSet.h"
#include "platform/db/DBTypes.h"
#include "platform/db/sqlite/SQLite.h"

namespace vel {

// One named parameter of a statement (":Name" in the text).
class TParam {
public:
    explicit TParam(std::string name) : FName(std::move(name)) {}
    const std::string& GetName() const { return FName; }
    const Variant& GetValue() const { return FValue; }
    void SetValue(const Variant& v) { FValue = v; }
    TFieldType GetDataType() const { return FDataType; }
    void SetDataType(TFieldType v) { FDataType = v; }
    bool IsNull() const { return FValue.IsNull() || FValue.IsEmpty(); }
    void Clear() { FValue = Variant::Null(); }
    void SetAsString(const std::string& v) { FValue = v; }
    void SetAsInteger(std::int32_t v) { FValue = v; }
    void SetAsFloat(double v) { FValue = v; }
    void SetAsCurrency(Currency v) { FValue = v; }
    void SetAsBoolean(bool v) { FValue = v; }
    void SetAsDateTime(TDateTime v);
    void SetAsDate(TDateTime v);

private:
    std::string FName;
    Variant FValue = Variant::Null();
    TFieldType FDataType = TFieldType::ftUnknown;
};

class TParams {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TParam& operator[](int i) const { return *FItems.at(static_cast<std::size_t>(i)); }
    TParam* FindParam(const std::string& name) const;
    // Raises EDatabaseError naming a missing parameter.
    TParam& ParamByName(const std::string& name) const;
    // Rebuilds the list from the statement's ":name" markers, keeping values of names kept.
    void ParseSQL(const std::string& sql);
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TParam>> FItems;
};

// The ":name" parameter markers of a statement, outside quotes and comments, in order.
std::vector<std::string> ParseParamNames(const std::string& sql);

class TDataSource;
class TSQLMasterLink;

// Master-detail: a dataset may follow the current record of a master dataset (through a data
// source). Its rows are selected again, by reopening, whenever the values of the master fields
// it reads change.
class TSQLiteDataSet : public TMemDataSet {
    VEL_CLASS(TSQLiteDataSet)
public:
    explicit TSQLiteDataSet(TComponent* owner = nullptr);
    ~TSQLiteDataSet() override;

    TSQLiteConnection* GetConnection() const { return FConnection; }
    void SetConnection(TSQLiteConnection* v);

    // The table edits go to (empty when the rows cannot be posted back) and its key fields.
    const std::string& GetUpdateTableName() const { return FUpdateTable; }
    std::string GetKeyFieldNames() const;
    // The statement the dataset ran (or will run) when opened.
    virtual std::string GetSelectSQL() const = 0;

    void Notification(TComponent* component, TOperation operation) override;

    // A unidirectional dataset reads the statement's rows one at a time as the cursor moves
    // forward, holding none but the current one: the fastest way through a large result,
    // for reports and exports. It cannot be edited, go back, or be shown in a grid.
    void SetUniDirectional(bool v);
    bool GetUniDirectional() const { return IsUniDirectional(); }
    // -1 when unidirectional: the count is not known before the end. Otherwise every row is
    // read first.
    int GetRecordCount() const override;
    int GetRecNo() const override;
    // Not while rows remain to be read (nor ever for a one-way cursor): a record number is
    // then known but not how many there are.
    bool IsSequenced() const override;

    // Rows read at a time: Open reads the first packet, the cursor the next ones as it passes
    // the last row read. -1 reads every row at Open, a stable snapshot that frees the
    // statement at once. Takes effect with the next packet.
    int GetPacketRecords() const { return FPacketRecords; }
    void SetPacketRecords(int v);
    // Off: only GetNextPacket reads further rows, and the dataset is what was read so far.
    bool GetFetchOnDemand() const { return FFetchOnDemand; }
    void SetFetchOnDemand(bool v);
    // Reads the next packet now; the records added (0 when every row is read).
    int GetNextPacket();
    // Reads every remaining row and frees the statement.
    void FetchAll();
    // Whether rows remain to be read (the statement is still open).
    bool GetRowsPending() const { return FFetchStatement != nullptr; }

    // SQLite keeps any value in any column. One that the column's field cannot hold (text in
    // a number or date column, a number too large) reads as Null, keeps the row readable and
    // editable, and stays available as TField::GetRawValue; editing other fields of the row
    // leaves it in the table.
    bool GetRawFieldValue(const TField* field, Variant& value) override;

    // Cached updates: posts and deletes change only the rows in memory and are kept, in order,
    // until ApplyUpdates writes them all as one unit (a savepoint inside the application's
    // transaction, else a transaction of its own). A failure undoes the unit and keeps every
    // change pending, so it can be applied again; nothing is forgotten before it is written.
    // CancelUpdates reads the rows again as the table holds them; closing drops the changes.
    bool GetCachedUpdates() const { return FCachedUpdates; }
    // Switching off with changes pending raises.
    void SetCachedUpdates(bool v);
    bool GetUpdatesPending() const { return !FPending.empty(); }
    int GetPendingUpdateCount() const { return static_cast<int>(FPending.size()); }
    void ApplyUpdates();
    void CancelUpdates();
    void SetFieldData(TField* field, const void* buffer) override;
    void SetBlobFieldData(TField* field, const std::string& value) override;

protected:
    bool MoreToFetch() const override { return FFetchOnDemand && FFetchStatement; }
    void FetchNextRows() override;
    TGetResult GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) override;
    bool CanStepInline() const override { return !FCursorStatement; }
    bool StepInPlace(TRecordBuffer active) override;
    void ColumnsReconciled() override;
    void InternalFirst() override;
    void FilterChanged() override;
    void InternalOpen() override;
    void InternalClose() override;
    void DoOnNewRecord() override;
    void InternalEdit() override;
    void InternalInsert() override;
    void InternalCancel() override;
    void InternalPost() override;
    void InternalDelete() override;
    bool DoGetCanModify() const override;
    std::string ReadOnlyReason() const override;

    // Binds parameter values before the statement runs.
    virtual void BindParams(TSQLiteStatement&) {}
    // Runs the statement without opening (ExecSQL); the number of rows changed.
    int ExecStatement();
    // Closes an open dataset (its statement text changed).
    void StatementChanged();
    TSQLiteConnection& CheckConnection() const;
    // Opens again on the same statement and returns to the record with the same key, when
    // there is one (the ORDER BY changed).
    void ReopenKeepingRecord();
    // Raises while cached changes are pending: reading the rows again would drop them.
    void CheckNoPendingUpdates() const;

    // The master's data source; raises on a link that leads back to this dataset and keeps
    // the previous one.
    TDataSource* GetMasterDataSource() const;
    void SetMasterDataSource(TDataSource* v);
    // The value of the master's field `name` and its type: false when there is no master or the
    // master has no such field; Null when the master is closed or empty.
    bool MasterValue(const std::string& name, Variant& value, TFieldType& type) const;
    // Detail field / master field pairs that select the rows ("d = ?" conditions, in order).
    virtual std::vector<std::pair<std::string, std::string>> MasterDetailPairs() const {
        return {};
    }
    // Master fields whose values decide the rows (a change reopens the dataset).
    virtual std::vector<std::string> MasterLinkFields() const;
    // " WHERE d1 = ? AND …" for the pairs, or "" without a master; its parameters are the last
    // of the statement.
    std::string MasterWhere() const;
    int MasterWhereParams() const;
    void BindMasterValues(TSQLiteStatement& st) const;
    // Master fields named in a MasterFields text, checked against an open master.
    void CheckMasterFields(const std::string& names) const;
    // Selects the rows again after the link changed (open datasets only).
    void MasterLinkChanged();

private:
    friend class TSQLMasterLink;
    void MasterRecordChanged();
    std::vector<Variant> CurrentMasterValues() const;
    struct Column;
    struct Decoder;
    void ReadKeys(const std::string& table, std::vector<Column>& cols);
    // Decides the column types (holding back rows of undeclared columns until each has shown
    // a value), defines the fields and the store; true when the statement is done.
    bool DefineColumns(TSQLiteStatement& st, std::vector<Column>& cols, int base,
                       std::vector<std::vector<Variant>>& held);
    // Keeps the statement to read its rows in packets, reads the first (columns base.. of each
    // row; column 0 is the hidden row id when base is 1).
    void OpenFetch(std::unique_ptr<TSQLiteStatement> st, std::vector<Column>& cols, int base);
    // Appends up to `limit` rows of the statement to the store; finalises it at the end.
    void ReadRows(std::size_t limit);
    void EndFetch();
    // A row's identity for telling whether it was read already: its row id or key values.
    std::string StoredRowKey(std::uint32_t id) const;
    std::string ImageRowKey(const std::uint8_t* image,
                            const std::vector<std::pair<int, Variant>>& raw,
                            std::int64_t rowId) const;
    // From now on rows are told apart from those read already by key (the statement runs
    // again after a failed step).
    void RememberRowsRead();
    void OpenCursorStatement(std::unique_ptr<TSQLiteStatement> st, std::vector<Column>& cols);
    bool FetchCursorRow();
    bool TableHasRowId(const std::string& table);
    // The statement with the row id as its first column, or null when it cannot have one.
    std::unique_ptr<TSQLiteStatement> PrepareWithRowId(const std::string& sql,
                                                       const std::string& table, int columns);
    std::int64_t CurrentRowId();
    Variant FieldValue(TField* f) const;
    std::vector<Variant> CurrentKeyValues() const;
    // One statement that writes a record back, with its values; Row is the row in memory.
    // A pending UPDATE keeps the values and keys the row had in the table, and the columns
    // whose unreadable values it replaces, so that another edit of the row rebuilds it.
    struct TWrite {
        std::string SQL;
        std::vector<Variant> Values;
        std::vector<TFieldType> Types;
        bool Insert = false, Delete = false;
        std::uint32_t Row = 0;
        std::vector<Variant> Original, Keys;
        std::vector<int> Touched;
    };
    // An INSERT of the record's values, or an UPDATE of what the edit changed (empty SQL when
    // nothing did); fields left Null by an insert go to nullFields.
    TWrite BuildWrite(bool insert, std::vector<TField*>& nullFields);
    void AddRowCondition(TWrite& w, std::int64_t rowId, const std::vector<Variant>& keys) const;
    void RunWrite(TSQLiteConnection& conn, const TWrite& w) const;
    void ReadBackDefaults(TSQLiteConnection& conn, std::int64_t rowId,
                          const std::vector<TField*>& nullFields,
                          std::vector<std::pair<int, Variant>>& raw);
    void FinishPost(std::uint32_t row);
    std::uint32_t ActiveRow() const;
    // The pending INSERT or UPDATE of a row in memory, or -1.
    int PendingWriteOf(std::uint32_t row) const;
    static std::uint64_t RawKey(std::uint32_t row, int col) {
        return (std::uint64_t(row) << 32) | static_cast<std::uint32_t>(col);
    }
    void NoteTouched(TField* field);

    TSQLiteConnection* FConnection = nullptr;
    std::string FUpdateTable;
    std::vector<std::string> FFieldOrigins;  // origin column per field ("" = not writable)
    std::vector<int> FKeyFields;             // field numbers of the key
    bool FIntegerKeyAlias = false;           // the single key is the table's row id
    std::vector<Variant> FEditValues;        // values when the edit began
    std::vector<Variant> FEditKeys;          // key values as stored, to find the row
    // Stored values their fields could not hold, by row and column; the one-way cursor's are
    // those of its current row. Columns of such values the pending edit has set.
    std::unordered_map<std::uint64_t, Variant> FRaw;
    std::vector<std::pair<int, Variant>> FCursorRaw;
    std::vector<int> FTouched;
    bool FCachedUpdates = false;
    std::vector<TWrite> FPending;
    // Record to return to after a reopen: key values, and the row id found while loading.
    std::vector<Variant> FSeekKeys;
    std::int64_t FSeekRow = -1;
    // Rows of the last open: a reopen (new ORDER BY) reserves that much at once.
    std::size_t FLastRowCount = 0;
    // Tables without a declared key in the result are posted by row id: one per stored row.
    bool FRowIdKey = false;
    std::vector<std::int64_t> FRowIds;
    std::int64_t FEditRowId = 0;
    std::string FReadOnlyReason;
    std::unique_ptr<TSQLMasterLink> FMasterLink;
    // The one-way cursor: its statement, rows held back while typing columns, the current
    // row's number.
    std::unique_ptr<TSQLiteStatement> FCursorStatement;
    std::unique_ptr<Decoder> FCursorDecoder;
    std::vector<std::vector<Variant>> FCursorHeld;
    std::size_t FCursorHeldPos = 0;
    bool FCursorDone = false;
    std::uint32_t FCursorRowNo = 0;
    std::vector<Variant> FMasterValues;  // what the rows were selected with
    // Reading on demand: the statement while rows remain, how its cells become row images,
    // whether column 0 is the row id, the rows taken from it, and, after a failed step reset
    // it, how to pass over the rows read already when it runs again: a count, or their keys.
    int FPacketRecords = 50;
    bool FFetchOnDemand = true;
    std::unique_ptr<TSQLiteStatement> FFetchStatement;
    std::unique_ptr<Decoder> FFetchDecoder;
    int FFetchBase = 0;
    std::size_t FStatementRows = 0;
    std::size_t FSkipRows = 0;
    bool FFetchRestart = false;
    bool FSeenActive = false;
    std::unordered_set<std::string> FSeen;
};

// Runs the SQL text; SQL may hold ":name" parameters (Params).
class TQuery : public TSQLiteDataSet {
    VEL_CLASS(TQuery)
public:
    explicit TQuery(TComponent* owner = nullptr);
    ~TQuery() override;

    // Changing the text of an open query closes it.
    TStrings* GetSQL() const { return FSQL.get(); }
    void SetSQL(TStrings* v);
    TParams& GetParams() { return FParams; }
    TParam& ParamByName(const std::string& name) { return FParams.ParamByName(name); }
    // Runs a statement that returns no rows; the number of rows changed.
    int ExecSQL();
    int GetRowsAffected() const { return FRowsAffected; }
    std::string GetSelectSQL() const override;
    // Parameters named like a field of this data source's dataset take that field's value;
    // the query is run again when the master moves to a record with other values.
    TDataSource* GetDataSource() const { return GetMasterDataSource(); }
    void SetDataSource(TDataSource* v);

protected:
    void BindParams(TSQLiteStatement& st) override;
    std::vector<std::string> MasterLinkFields() const override;
    void SQLChanged();

private:
    std::unique_ptr<TStringList> FSQL;
    TParams FParams;
    int FRowsAffected = -1;
};

// A whole table; IndexFieldNames ("A;B") becomes the ORDER BY of the statement.
class TTable : public TSQLiteDataSet {
    VEL_CLASS(TTable)
public:
    explicit TTable(TComponent* owner = nullptr);

    const std::string& GetTableName() const { return FTableName; }
    void SetTableName(const std::string& v);
    const std::string& GetIndexFieldNames() const { return FTableIndexFields; }
    // On an open table the rows are fetched again in the new order; the record stays current.
    void SetIndexFieldNames(const std::string& v);
    std::string GetSelectSQL() const override;
    // Rows whose detail fields equal the master's MasterFields ("A;B"); the detail fields are
    // the first fields of IndexFieldNames, or fields of the same names when it is shorter.
    TDataSource* GetMasterSource() const { return GetMasterDataSource(); }
    void SetMasterSource(TDataSource* v);
    const std::string& GetMasterFields() const { return FMasterFields; }
    void SetMasterFields(const std::string& v);

protected:
    std::vector<std::pair<std::string, std::string>> MasterDetailPairs() const override;

private:
    std::string FTableName;
    std::string FTableIndexFields;
    std::string FMasterFields;
};

// Detail fields for master fields: the first fields of the index, else the same names.
std::vector<std::pair<std::string, std::string>> PairMasterFields(const std::string& masterFields,
                                                                  const std::string& indexFields);

}  // namespace vel
