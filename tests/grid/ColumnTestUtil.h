#pragma once
// Tables for the column tests: one with an ADT field, one with every field type the
// in-memory dataset stores, and a lookup table.
#include <memory>

#include "platform/db/ClientDataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/DateTime.h"

namespace veltest {

// ID, Addr (ADT: City, Zip), Name; two records.
inline std::unique_ptr<vel::TClientDataSet> MakeAddressTable() {
    using enum vel::TFieldType;
    auto ds = std::make_unique<vel::TClientDataSet>();
    ds->GetFieldDefs().Add("ID", ftInteger);
    vel::TFieldDef* addr = ds->GetFieldDefs().Add("Addr", ftADT);
    addr->GetChildDefs().Add("City", ftString, 20);
    addr->GetChildDefs().Add("Zip", ftString, 10);
    ds->GetFieldDefs().Add("Name", ftString, 20);
    ds->CreateDataSet();
    for (int i = 1; i <= 2; ++i) {
        ds->Append();
        ds->FieldByName("ID")->SetAsInteger(i);
        ds->FieldByName("Addr.City")->SetAsString(i == 1 ? "Oslo" : "Rome");
        ds->FieldByName("Name")->SetAsString("N" + std::to_string(i));
        ds->Post();
    }
    ds->First();
    return ds;
}

// Code (string key), Title; codes "a".."c" with titles "Alpha".."Gamma".
inline std::unique_ptr<vel::TClientDataSet> MakeLookupTable() {
    using enum vel::TFieldType;
    auto ds = std::make_unique<vel::TClientDataSet>();
    ds->GetFieldDefs().Add("Code", ftString, 5);
    ds->GetFieldDefs().Add("Title", ftString, 20);
    ds->CreateDataSet();
    const char* titles[] = {"Alpha", "Beta", "Gamma"};
    for (int i = 0; i < 3; ++i) {
        ds->Append();
        ds->FieldByName("Code")->SetAsString(std::string(1, char('a' + i)));
        ds->FieldByName("Title")->SetAsString(titles[i]);
        ds->Post();
    }
    ds->First();
    return ds;
}

}  // namespace veltest
