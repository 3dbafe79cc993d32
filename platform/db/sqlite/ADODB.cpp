#include "platform/db/sqlite/ADODB.h"

#include "platform/classes/TypInfo.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_ENUM_INFO(TCursorLocation, clUseServer, clUseClient)
VEL_ENUM_INFO(TCommandType, cmdUnknown, cmdText, cmdTable, cmdStoredProc, cmdFile, cmdTableDirect)

// Class identities and published properties of every SQLite component live here together, so
// the linker keeps the registrations with the classes.
VEL_DEFINE_CREATABLE_CLASS(TSQLiteConnection, TComponent)
VEL_DEFINE_CLASS(TSQLiteDataSet, TMemDataSet)
VEL_DEFINE_CREATABLE_CLASS(TQuery, TSQLiteDataSet)
VEL_DEFINE_CREATABLE_CLASS(TTable, TSQLiteDataSet)
VEL_DEFINE_CREATABLE_CLASS(TADOConnection, TSQLiteConnection)
VEL_DEFINE_CLASS(TCustomADODataSet, TSQLiteDataSet)
VEL_DEFINE_CREATABLE_CLASS(TADODataSet, TCustomADODataSet)
VEL_DEFINE_CREATABLE_CLASS(TADOQuery, TCustomADODataSet)
VEL_DEFINE_CREATABLE_CLASS(TADOTable, TCustomADODataSet)

VEL_PUBLISHED(TSQLiteConnection) {
    Prop("FileName", &T::GetFileName, &T::SetFileName);
    Prop("CreateIfMissing", &T::GetCreateIfMissing, &T::SetCreateIfMissing, false);
    Prop("ReadOnly", &T::GetReadOnly, &T::SetReadOnly, false);
    Prop("BusyTimeout", &T::GetBusyTimeout, &T::SetBusyTimeout, 2000);
    Prop("Connected", &T::GetConnected, &T::SetConnected, false);
}

VEL_PUBLISHED(TADOConnection) {
    Prop("ConnectionString", &T::GetConnectionString, &T::SetConnectionString);
    Prop("LoginPrompt", &T::GetLoginPrompt, &T::SetLoginPrompt, false);
}

VEL_PUBLISHED(TSQLiteDataSet) {
    Prop("Connection", &T::GetConnection, &T::SetConnection);
    Prop("PacketRecords", &T::GetPacketRecords, &T::SetPacketRecords, 50);
    Prop("FetchOnDemand", &T::GetFetchOnDemand, &T::SetFetchOnDemand, true);
}

VEL_PUBLISHED(TQuery) {
    Prop("SQL", &T::GetSQL, &T::SetSQL);
    Prop("DataSource", &T::GetDataSource, &T::SetDataSource);
    Prop("UniDirectional", &T::GetUniDirectional, &T::SetUniDirectional, false);
}

VEL_PUBLISHED(TTable) {
    Prop("TableName", &T::GetTableName, &T::SetTableName);
    Prop("IndexFieldNames", &T::GetIndexFieldNames, &T::SetIndexFieldNames);
    Prop("MasterSource", &T::GetMasterSource, &T::SetMasterSource);
    Prop("MasterFields", &T::GetMasterFields, &T::SetMasterFields);
}

VEL_PUBLISHED(TCustomADODataSet) {
    Prop("CursorLocation", &T::GetCursorLocation, &T::SetCursorLocation,
         TCursorLocation::clUseClient);
}

VEL_PUBLISHED(TADODataSet) {
    Prop("CommandText", &T::GetCommandText, &T::SetCommandText);
    Prop("CommandType", &T::GetCommandType, &T::SetCommandType, TCommandType::cmdText);
    Prop("DataSource", &T::GetDataSource, &T::SetDataSource);
    Prop("IndexFieldNames", &T::GetIndexFieldNames, &T::SetIndexFieldNames);
    Prop("MasterFields", &T::GetMasterFields, &T::SetMasterFields);
    Prop("Sort", &T::GetSort, &T::SetSort);
}

VEL_PUBLISHED(TADOQuery) {
    Prop("SQL", &T::GetSQL, &T::SetSQL);
    Prop("DataSource", &T::GetDataSource, &T::SetDataSource);
    Prop("Sort", &T::GetSort, &T::SetSort);
}

VEL_PUBLISHED(TADOTable) {
    Prop("TableName", &T::GetTableName, &T::SetTableName);
    Prop("IndexFieldNames", &T::GetIndexFieldNames, &T::SetIndexFieldNames);
    Prop("MasterSource", &T::GetMasterSource, &T::SetMasterSource);
    Prop("MasterFields", &T::GetMasterFields, &T::SetMasterFields);
    Prop("Sort", &T::GetSort, &T::SetSort);
}

// ---------------------------------------------------------------- connection

TADOConnection::TADOConnection(TComponent* owner) : TSQLiteConnection(owner) {}

void TADOConnection::SetConnectionString(const std::string& v) {
    if (v == FConnectionString) return;
    std::string file;
    bool readOnly = false;
    for (const std::string& part : SplitString(v, ";")) {
        std::size_t eq = part.find('=');
        if (eq == std::string::npos) continue;
        std::string key = Trim(part.substr(0, eq)), value = Trim(part.substr(eq + 1));
        if (SameText(key, "Data Source") || SameText(key, "Database") || SameText(key, "FileName"))
            file = value;
        else if (SameText(key, "Mode"))
            readOnly = SameText(value, "Read");
    }
    Close();
    FConnectionString = v;
    SetFileName(file);
    SetReadOnly(readOnly);
}

// ---------------------------------------------------------------- datasets

TCustomADODataSet::TCustomADODataSet(TComponent* owner) : TSQLiteDataSet(owner) {}

void TCustomADODataSet::SetCursorLocation(TCursorLocation v) {
    if (v == FCursorLocation) return;
    CheckInactive();
    FCursorLocation = v;
}

void TCustomADODataSet::SetCommandText(const std::string& v) {
    if (v == FCommandText) return;
    StatementChanged();
    FCommandText = v;
    FParams.ParseSQL(
        FCommandType == TCommandType::cmdText || FCommandType == TCommandType::cmdUnknown ? v : "");
}

void TCustomADODataSet::SetCommandType(TCommandType v) {
    if (v == FCommandType) return;
    StatementChanged();
    FCommandType = v;
    FParams.ParseSQL(v == TCommandType::cmdText || v == TCommandType::cmdUnknown ? FCommandText
                                                                                 : "");
}

std::string TCustomADODataSet::GetSelectSQL() const {
    switch (FCommandType) {
        case TCommandType::cmdTable:
        case TCommandType::cmdTableDirect:
            if (Trim(FCommandText).empty()) DatabaseError("No table name is given", GetName());
            return "SELECT * FROM " + QuoteIdent(Trim(FCommandText)) + MasterWhere();
        case TCommandType::cmdStoredProc:
        case TCommandType::cmdFile:
            DatabaseError("Command type " +
                              EnumTypeInfo(static_cast<TCommandType*>(nullptr))
                                  ->GetName(static_cast<int>(FCommandType)) +
                              " is not supported by SQLite",
                          GetName());
        default: {
            std::string where = MasterWhere();
            if (where.empty()) return FCommandText;
            // The command becomes a subquery; its columns keep their table of origin, so the
            // detail rows can still be posted.
            std::string cmd = TrimRight(FCommandText);
            while (!cmd.empty() && cmd.back() == ';') cmd = TrimRight(cmd.substr(0, cmd.size() - 1));
            return "SELECT * FROM (" + cmd + "\n)" + where;
        }
    }
}

void TCustomADODataSet::SetDataSource(TDataSource* v) {
    SetMasterDataSource(v);
    MasterLinkChanged();
}

void TCustomADODataSet::SetMasterFields(const std::string& v) {
    if (v == FMasterFields) return;
    CheckMasterFields(v);
    FMasterFields = v;
    MasterLinkChanged();
}

std::vector<std::pair<std::string, std::string>> TCustomADODataSet::MasterDetailPairs() const {
    return PairMasterFields(FMasterFields, FIndexFields);
}

std::vector<std::string> TCustomADODataSet::MasterLinkFields() const {
    std::vector<std::string> names = TSQLiteDataSet::MasterLinkFields();
    Variant v;
    TFieldType t;
    for (int i = 0; i < FParams.Count(); ++i)
        if (MasterValue(FParams[i].GetName(), v, t)) names.push_back(FParams[i].GetName());
    return names;
}

void TCustomADODataSet::BindParams(TSQLiteStatement& st) {
    // The master conditions' parameters come last and are bound by the base.
    for (int i = 1; i <= st.ParamCount() - MasterWhereParams(); ++i) {
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

void TCustomADODataSet::InternalOpen() {
    if (!FSort.empty() && FCursorLocation != TCursorLocation::clUseClient) FSort.clear();
    TSQLiteDataSet::InternalOpen();
}

// Items "Name", "Name ASC", "Name DESC", "[Unit Price] DESC", separated by "," or ";".
std::vector<TMemSortKey> TCustomADODataSet::ParseIndexFieldNames(const std::string& names) const {
    std::vector<TMemSortKey> keys;
    for (std::string item : SplitFieldNames(names)) {
        TMemSortKey k;
        std::string upper = UpperCase(item);
        if (upper.size() > 5 && EndsStr(" DESC", upper)) {
            k.Descending = true;
            item = Trim(item.substr(0, item.size() - 5));
        } else if (upper.size() > 4 && EndsStr(" ASC", upper)) {
            item = Trim(item.substr(0, item.size() - 4));
        }
        if (item.size() >= 2 && item.front() == '[' && item.back() == ']')
            item = item.substr(1, item.size() - 2);
        k.Column = ColumnOf(item);
        keys.push_back(k);
    }
    return keys;
}

void TCustomADODataSet::SetSort(const std::string& v) {
    if (GetActive()) {
        if (FCursorLocation != TCursorLocation::clUseClient)
            DatabaseError("Sort needs a client-side cursor (CursorLocation clUseClient)",
                          GetName());
        TMemDataSet::SetIndexFieldNames(v);  // raises on an unknown field, nothing changed
    } else {
        TMemDataSet::SetIndexFieldNames(v);
    }
    FSort = v;
    FIndexFields.clear();
}

void TCustomADODataSet::SetIndexFieldNames(const std::string& v) {
    TMemDataSet::SetIndexFieldNames(v);
    FIndexFields = v;
    FSort.clear();
}

TADODataSet::TADODataSet(TComponent* owner) : TCustomADODataSet(owner) {}

TADOQuery::TADOQuery(TComponent* owner)
    : TCustomADODataSet(owner), FSQL(std::make_unique<TStringList>()) {
    FSQL->SetOnChange([this](TObject*) { SetCommandText(FSQL->GetText()); });
}

TADOQuery::~TADOQuery() {
    try {
        if (GetActive()) Close();
    } catch (...) {
    }
    FSQL->SetOnChange(nullptr);
}

void TADOQuery::SetSQL(TStrings* v) {
    if (v)
        FSQL->Assign(v);
    else
        FSQL->Clear();
}

int TADOQuery::ExecSQL() {
    return ExecStatement();
}

TADOTable::TADOTable(TComponent* owner) : TCustomADODataSet(owner) {
    SetCommandType(TCommandType::cmdTable);
}

}  // namespace vel
