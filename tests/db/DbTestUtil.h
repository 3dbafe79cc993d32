#pragma once
// Shared fixtures for the database tests: a small in-memory table and a recording data link.
#include <memory>
#include <string>
#include <vector>

#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"

namespace veltest {

// ID (integer), Name (string 20), Price (float); ID = 1..n, Name = "N<i>", Price = i * 1.5.
inline std::unique_ptr<vel::TClientDataSet> MakeTable(int n) {
    auto ds = std::make_unique<vel::TClientDataSet>();
    ds->GetFieldDefs().Add("ID", vel::TFieldType::ftInteger);
    ds->GetFieldDefs().Add("Name", vel::TFieldType::ftString, 20);
    ds->GetFieldDefs().Add("Price", vel::TFieldType::ftFloat);
    ds->CreateDataSet();
    for (int i = 1; i <= n; ++i) {
        ds->Append();
        ds->FieldByName("ID")->SetAsInteger(i);
        ds->FieldByName("Name")->SetAsString("N" + std::to_string(i));
        ds->FieldByName("Price")->SetAsFloat(i * 1.5);
        ds->Post();
    }
    ds->First();
    return ds;
}

inline std::vector<int> Ids(vel::TDataSet& ds, const char* field = "ID") {
    std::vector<int> out;
    ds.First();
    while (!ds.GetEOF()) {
        out.push_back(ds.FieldByName(field)->GetAsInteger());
        ds.Next();
    }
    return out;
}

struct TRecordingLink : vel::TDataLink {
    std::vector<std::string> Events;
    std::vector<int> Scrolls;
    void ActiveChanged() override { Events.push_back(GetActive() ? "active" : "inactive"); }
    void DataSetChanged() override { Events.push_back("change"); }
    void DataSetScrolled(int d) override {
        Events.push_back("scroll");
        Scrolls.push_back(d);
    }
    void LayoutChanged() override { Events.push_back("layout"); }
    void RecordChanged(vel::TField* f) override { Events.push_back(f ? "field" : "record"); }
    void EditingChanged() override { Events.push_back("editing"); }
    bool RecordCheckBrowse = false;
    void CheckBrowseMode() override {
        if (RecordCheckBrowse) Events.push_back("checkbrowse");
    }
    void UpdateData() override { Events.push_back("update"); }
    void Clear() {
        Events.clear();
        Scrolls.clear();
    }
};

}  // namespace veltest
