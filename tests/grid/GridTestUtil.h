#pragma once
// A form with data-aware grids and a small table for the grid frame tests.
#include <gtest/gtest.h>

#include <memory>

#include "grid/VelDBGrids.h"
#include "platform/controls/Application.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Input.h"
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
    // Injected input, as a person at the grid gives it.
    static void Process() { vel::Application().ProcessMessages(); }
    void Key(unsigned K, vel::TShiftState S = {}) {
        // Some settings recreate the window, which takes the focus away.
        if (!Grid->Focused() && !(Grid->GetInplaceEditor() && Grid->GetInplaceEditor()->Focused()))
            Grid->SetFocus();
        vel::InjectKey(K, S);
        Process();
    }
    // Screen points of a data cell (DataRow counted from the first data row) and of a title.
    vel::TPoint At(int DataCol, int DataRow, int Dx = 5, int Dy = 5) {
        const vel::TRect r = Grid->CellRect(Grid->DataToRawColumn(DataCol), DataRow + Grid->GetTitleOffset());
        return vel::ScreenPointOf(Grid, vel::TPoint{r.Left + Dx, r.Top + Dy});
    }
    vel::TPoint TitleAt(int DataCol, int Dx = 5) {
        const vel::TRect r = Grid->CellRect(Grid->DataToRawColumn(DataCol), 0);
        return vel::ScreenPointOf(Grid, vel::TPoint{r.Left + Dx, r.Top + r.Height() / 2});
    }
    // Clicks a second apart, so that two in a row are no double click.
    void Click(vel::TPoint P, vel::TMouseButton B = vel::TMouseButton::mbLeft, vel::TShiftState S = {}) {
        FClock->Advance(1000);
        vel::InjectClick(P, B, S);
        Process();
    }
    void Click(vel::TPoint P, vel::TShiftState S) { Click(P, vel::TMouseButton::mbLeft, S); }
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
