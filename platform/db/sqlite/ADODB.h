#pragma once
// The ADO-style family over SQLite: a connection with a connection string, and datasets with
// CommandText/CommandType, a cursor location and the client-side Sort.
#include <memory>
#include <string>

#include "platform/classes/PropAccess.h"
#include "platform/db/sqlite/SQLDataSets.h"

namespace vel {

enum class TCursorLocation { clUseServer, clUseClient };
VEL_DECLARE_ENUM_INFO(TCursorLocation)
enum class TCommandType { cmdUnknown, cmdText, cmdTable, cmdStoredProc, cmdFile, cmdTableDirect };
VEL_DECLARE_ENUM_INFO(TCommandType)

// "Data Source=<file>" in the connection string names the database file; "Mode=Read" opens it
// read-only.
class TADOConnection : public TSQLiteConnection {
    VEL_CLASS(TADOConnection)
public:
    explicit TADOConnection(TComponent* owner = nullptr);
    const std::string& GetConnectionString() const { return FConnectionString; }
    void SetConnectionString(const std::string& v);
    bool GetLoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool v) { FLoginPrompt = v; }
    void BeginTrans() { StartTransaction(); }
    void CommitTrans() { Commit(); }
    void RollbackTrans() { Rollback(); }

private:
    std::string FConnectionString;
    bool FLoginPrompt = false;
};

class TCustomADODataSet : public TSQLiteDataSet {
    VEL_CLASS(TCustomADODataSet)
public:
    explicit TCustomADODataSet(TComponent* owner = nullptr);

    // Client-side by default. Changing it needs a closed dataset.
    TCursorLocation GetCursorLocation() const { return FCursorLocation; }
    void SetCursorLocation(TCursorLocation v);
    const std::string& GetCommandText() const { return FCommandText; }
    // Changing the command of an open dataset closes it.
    void SetCommandText(const std::string& v);
    TCommandType GetCommandType() const { return FCommandType; }
    void SetCommandType(TCommandType v);
    // "Name, Date DESC": orders the rows in place (client cursor only); bookmarks stay valid.
    const std::string& GetSort() const { return FSort; }
    void SetSort(const std::string& v);
    // "A;B": the same in-place ordering, ascending.
    const std::string& GetIndexFieldNames() const { return FIndexFields; }
    void SetIndexFieldNames(const std::string& v);
    TParams& GetParameters() { return FParams; }
    std::string GetSelectSQL() const override;

    // Master-detail, published per class: DataSource (parameters named like master fields
    // take their values; with MasterFields, rows whose detail fields equal the master's) and
    // MasterSource. Detail fields are the first of IndexFieldNames, else the same names.
    TDataSource* GetDataSource() const { return GetMasterDataSource(); }
    void SetDataSource(TDataSource* v);
    const std::string& GetMasterFields() const { return FMasterFields; }
    void SetMasterFields(const std::string& v);

protected:
    std::vector<TMemSortKey> ParseIndexFieldNames(const std::string& names) const override;
    void BindParams(TSQLiteStatement& st) override;
    void InternalOpen() override;
    std::vector<std::pair<std::string, std::string>> MasterDetailPairs() const override;
    std::vector<std::string> MasterLinkFields() const override;

private:
    TCursorLocation FCursorLocation = TCursorLocation::clUseClient;
    std::string FCommandText;
    TCommandType FCommandType = TCommandType::cmdText;
    std::string FSort, FIndexFields, FMasterFields;
    TParams FParams;
};

class TADODataSet : public TCustomADODataSet {
    VEL_CLASS(TADODataSet)
public:
    explicit TADODataSet(TComponent* owner = nullptr);
};

// SQL is kept as the command text.
class TADOQuery : public TCustomADODataSet {
    VEL_CLASS(TADOQuery)
public:
    explicit TADOQuery(TComponent* owner = nullptr);
    ~TADOQuery() override;
    TStrings* GetSQL() const { return FSQL.get(); }
    void SetSQL(TStrings* v);
    int ExecSQL();

private:
    std::unique_ptr<TStringList> FSQL;
};

class TADOTable : public TCustomADODataSet {
    VEL_CLASS(TADOTable)
public:
    explicit TADOTable(TComponent* owner = nullptr);
    const std::string& GetTableName() const { return GetCommandText(); }
    void SetTableName(const std::string& v) { SetCommandText(v); }
    TDataSource* GetMasterSource() const { return GetDataSource(); }
    void SetMasterSource(TDataSource* v) { SetDataSource(v); }
};

}  // namespace vel
