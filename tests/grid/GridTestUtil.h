#pragma once
// A form with data-aware grids and a small table for the grid frame tests.
#include <gtest/gtest.h>

#include <memory>

#include "grid/VelDBGrids.h"
#include "platform/controls/Application.h"
#include "platform/controls/Forms.h"
#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/Clock.h"
#include "tests/db/DbTestUtil.h"

namespace veltest {

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

// A shown grid over a small table, painted without gradients, for pixel checks.
class PaintedGridTest : public DBGridTest {
protected:
    explicit PaintedGridTest(int Rows = 6) {
        Form->Show();
        Table = MakeTable(Rows);
        Source = new vel::TDataSource(Form.get());
        Source->SetDataSet(Table.get());
        Grid->SetDataSource(Source);
        Grid->GetGradient()->SetActive(false);
    }
    std::unique_ptr<vel::TClientDataSet> Table;
    vel::TDataSource* Source;
};

}  // namespace veltest
