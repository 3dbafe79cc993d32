#pragma once
// Datasets over an SQLite connection. Opening runs the statement and keeps every row in the
// in-memory table's row store, so navigation, bookmarks, filters and client-side ordering are
// the in-memory table's. Rows that come from one table whose key is in the result are posted
// back with parameterised statements before the store changes, so a refused post leaves the
// record in edit with the user's values.
#include <memory>
#include <string>
#include <vector>

#include "db/ClientDataSet.h"
#include "db/sqlite/SQLite.h"
#include "rtl/Strings.h"

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
    TParam& operator[](int i) { return *FItems.at(static_cast<std::size_t>(i)); }
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

protected:
    void InternalOpen() override;
    void InternalClose() override;
    void InternalEdit() override;
    void InternalPost() override;
    void InternalDelete() override;
    bool DoGetCanModify() const override;

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

private:
    struct Column;
    void ReadKeys(const std::string& table, std::vector<Column>& cols);
    void LoadRows(TSQLiteStatement& st, std::vector<Column>& cols);
    Variant FieldValue(TField* f) const;
    std::vector<Variant> CurrentKeyValues() const;
    void WriteRowValues(TSQLiteStatement& st, int rowColumnBase);

    TSQLiteConnection* FConnection = nullptr;
    std::string FUpdateTable;
    std::vector<std::string> FFieldOrigins;  // origin column per field ("" = not writable)
    std::vector<int> FKeyFields;             // field numbers of the key
    bool FIntegerKeyAlias = false;           // the single key is the table's row id
    std::vector<Variant> FEditValues;        // values when the edit began
    // Record to return to after a reopen: key values, and the row id found while loading.
    std::vector<Variant> FSeekKeys;
    std::int64_t FSeekRow = -1;
    // Rows of the last open: a reopen (new ORDER BY) reserves that much at once.
    std::size_t FLastRowCount = 0;
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

protected:
    void BindParams(TSQLiteStatement& st) override;
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

private:
    std::string FTableName;
    std::string FTableIndexFields;
};

}  // namespace vel
