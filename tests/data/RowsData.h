#pragma once
// Test descendants of TVelDBCustomData: TRowsData keeps its rows in a vector and records
// every hook call; TCountingData makes up a million rows and counts which it was asked for.
#include <set>
#include <string>
#include <vector>

#include "data/VelDBCustData.h"
#include "platform/db/DataSource.h"

namespace veltest {

// ID (integer), Name (string of 8), Wide (wide string of 4) unless fields are defined by hand.
class TRowsData : public vel::TVelDBCustomData {
public:
    using Row = std::vector<vel::Variant>;
    std::vector<std::string> Columns{"ID", "Name", "Wide"};
    std::vector<Row> Rows;
    std::vector<std::string> Log;  // "insert 3", "set 3 Name=x", "delete 2"
    int CountCalls = 0;
    int GetCalls = 0;
    std::vector<std::pair<int, std::string>> Fetched;  // (row, field) per DoOnGetFieldData
    bool DefineFields = true;
    std::string RefuseName;  // DoOnSetFieldData throws for this Name value

    explicit TRowsData(int rows = 0) {
        for (int i = 0; i < rows; ++i)
            Rows.push_back({vel::Variant(i + 1), vel::Variant("N" + std::to_string(i + 1)),
                            vel::Variant("w" + std::to_string(i + 1))});
    }
    ~TRowsData() override {
        if (GetActive()) Close();
    }
    int Column(const vel::TField* f) const {
        for (std::size_t i = 0; i < Columns.size(); ++i)
            if (Columns[i] == f->GetFieldName()) return static_cast<int>(i);
        throw vel::Exception("no column " + f->GetFieldName());
    }
    void ClearCounts() {
        Log.clear();
        Fetched.clear();
        GetCalls = CountCalls = 0;
    }
    using vel::TVelDBCustomData::SetReadOnly;
    using vel::TVelDBCustomData::SetRecordCount;

protected:
    void InternalInitFieldDefs() override {
        if (DefineFields && GetFieldDefs().Count() == 0) {
            GetFieldDefs().Add("ID", vel::TFieldType::ftInteger);
            GetFieldDefs().Add("Name", vel::TFieldType::ftString, 8);
            GetFieldDefs().Add("Wide", vel::TFieldType::ftWideString, 4);
        }
        vel::TVelDBCustomData::InternalInitFieldDefs();
    }
    void DoOnCountRecords(int& count) override {
        ++CountCalls;
        count = static_cast<int>(Rows.size());
    }
    void DoOnGetFieldData(int index, vel::TField* field, vel::Variant& value) override {
        ++GetCalls;
        Fetched.emplace_back(index, field->GetFieldName());
        value = Rows.at(static_cast<std::size_t>(index)).at(static_cast<std::size_t>(Column(field)));
    }
    void DoOnInsertRecord(int index) override {
        Log.push_back("insert " + std::to_string(index));
        Rows.insert(Rows.begin() + index, Row(Columns.size(), vel::Variant::Null()));
    }
    void DoOnSetFieldData(int index, vel::TField* field, const vel::Variant& value) override {
        if (!RefuseName.empty() && field->GetFieldName() == "Name" && vel::VarToStr(value) == RefuseName)
            throw vel::Exception("refused " + RefuseName);
        Log.push_back("set " + std::to_string(index) + " " + field->GetFieldName() + "=" +
                      (value.IsNull() ? std::string("Null") : vel::VarToStr(value)));
        Rows.at(static_cast<std::size_t>(index)).at(static_cast<std::size_t>(Column(field))) = value;
    }
    void DoOnDeleteRecord(int index) override {
        Log.push_back("delete " + std::to_string(index));
        Rows.erase(Rows.begin() + index);
    }
};

// Rows 0 .. Count-1 with ID = row and Name = "R<row>", made up when asked for.
class TCountingData : public vel::TVelDBCustomData {
public:
    int Count = 0;
    int CountCalls = 0;
    std::set<int> RowsAsked;
    int GetCalls = 0;

    explicit TCountingData(int count) : Count(count) {}
    ~TCountingData() override {
        if (GetActive()) Close();
    }

protected:
    void InternalInitFieldDefs() override {
        if (GetFieldDefs().Count() == 0) {
            GetFieldDefs().Add("ID", vel::TFieldType::ftInteger);
            GetFieldDefs().Add("Name", vel::TFieldType::ftString, 12);
        }
        vel::TVelDBCustomData::InternalInitFieldDefs();
    }
    void DoOnCountRecords(int& count) override {
        ++CountCalls;
        count = Count;
    }
    void DoOnGetFieldData(int index, vel::TField* field, vel::Variant& value) override {
        ++GetCalls;
        RowsAsked.insert(index);
        if (field->GetFieldName() == "ID")
            value = index;
        else
            value = "R" + std::to_string(index);
    }
};

// A data link that only gives the dataset its window size.
struct TWindowLink : vel::TDataLink {};

}  // namespace veltest
