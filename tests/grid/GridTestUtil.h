#pragma once
// A form with data-aware grids and a small table for the grid frame tests.
#include <gtest/gtest.h>

#include <memory>

#include "controls/Application.h"
#include "controls/Forms.h"
#include "db/ClientDataSet.h"
#include "db/DataSource.h"
#include "grid/VelDBGrids.h"
#include "rtl/Clock.h"

namespace veltest {

// ID (integer), Name (string 20), Price (float); ID = 1..n.
inline std::unique_ptr<vel::TClientDataSet> MakeGridTable(int n) {
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

class DBGridTest : public ::testing::Test {
protected:
    DBGridTest() {
        vel::ResetWindowingForTests();
        Form = std::make_unique<vel::TForm>(nullptr);
        Form->SetName("Form1");
        Form->SetBorderStyle(vel::TFormBorderStyle::bsNone);
        Form->SetBounds(0, 0, 400, 300);
        Grid = NewGrid("Grid1");
    }
    ~DBGridTest() override {
        vel::Application().ProcessMessages();
        Form.reset();
        vel::ResetWindowingForTests();
    }
    vel::TVelDBGrid* NewGrid(const char* Name) {
        auto* g = new vel::TVelDBGrid(Form.get());
        g->SetName(Name);
        g->SetBounds(0, 0, 400, 300);
        g->SetParent(Form.get());
        return g;
    }
    vel::TVirtualClockScope FClock;
    std::unique_ptr<vel::TForm> Form;
    vel::TVelDBGrid* Grid;
};

}  // namespace veltest
