// Keys, mouse and wheel through injected input: record and column moves, appending and
// cancelling records, Escape's two levels, confirmed deletes, editing, clicks on the special
// cells, check boxes, column sizing and moving.
#include <string>
#include <vector>

#include "grid/GridConsts.h"
#include "grid/ResStrings.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Input.h"
#include "platform/controls/StdCtrls.h"
#include "platform/db/Fields.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

// Records the hooks that later features fill.
class TInputGrid : public TVelDBGrid {
public:
    using TVelDBGrid::TVelDBGrid;
    std::vector<std::string> Markers;

protected:
    void ToggleTitleMarker(TVelColumn* Column, bool Descending) override {
        Markers.push_back(Column->GetFieldName() + (Descending ? " desc" : " asc"));
    }
};

class InputTest : public DBGridTest {
protected:
    InputTest() {
        delete Grid;
        Grid = new TInputGrid(Form.get());
        Grid->SetBounds(0, 0, 400, 300);
        Grid->SetParent(Form.get());
        Table = MakeTable(40);
        Source = new TDataSource(Form.get());
        Source->SetDataSet(Table.get());
        Grid->SetDataSource(Source);
        Form->Show();
        Grid->SetFocus();
        Process();
    }
    TInputGrid* G() { return static_cast<TInputGrid*>(Grid); }
    int Id() { return Table->FieldByName("ID")->GetAsInteger(); }
    int DataCol() { return Grid->RawToDataColumn(Grid->GetCol()); }
    std::unique_ptr<TClientDataSet> Table;
    TDataSource* Source;
};

TEST_F(InputTest, KeysMoveTheRecordAndTheColumn) {
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(Id(), 3);
    Key(VK_UP);
    EXPECT_EQ(Id(), 2);
    const int page = Grid->GetDataRowCount();
    Key(VK_NEXT);
    EXPECT_EQ(Id(), 2 + page);
    Key(VK_PRIOR);
    EXPECT_EQ(Id(), 2);
    Key(VK_END, {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Id(), 40);
    Key(VK_HOME, {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Id(), 1);
    // Columns: Right, End, Home, Left; the record stays.
    Key(VK_RIGHT);
    EXPECT_EQ(DataCol(), 1);
    Key(VK_END);
    EXPECT_EQ(DataCol(), 2);
    Key(VK_HOME);
    EXPECT_EQ(DataCol(), 0);
    Key(VK_LEFT);
    EXPECT_EQ(DataCol(), 0);
    EXPECT_EQ(Id(), 1);
    // Right-to-left: Left goes on to the next column.
    Grid->SetBiDiMode(TBiDiMode::bdRightToLeft);
    Key(VK_LEFT);
    EXPECT_EQ(DataCol(), 1);
    Grid->SetBiDiMode(TBiDiMode::bdLeftToRight);
    // Rows selected whole: Left and Right step through the records.
    Grid->SetOptions(Grid->GetOptions() + TVelDBGridOption::dgRowSelect - TVelDBGridOption::dgRowScroll);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(Id(), 3);
    Key(VK_LEFT);
    EXPECT_EQ(Id(), 2);
    // Tab past the last column goes on in the next record.
    Grid->SetOptions(Grid->GetOptions() - TVelDBGridOption::dgRowSelect - TVelDBGridOption::dgRowScroll + TVelDBGridOption::dgTabs);
    Key(VK_END);
    Key(VK_TAB);
    EXPECT_EQ(Id(), 3);
    EXPECT_EQ(DataCol(), 0);
    Key(VK_TAB, {TShiftStateFlag::ssShift});
    EXPECT_EQ(Id(), 2);
    EXPECT_EQ(DataCol(), 2);
}

TEST_F(InputTest, DownPastTheLastRecordAppendsAndUpCancelsTheUntouchedOne) {
    Table->Last();
    Process();
    Key(VK_DOWN);
    EXPECT_EQ(Table->GetState(), TDataSetState::dsInsert);
    // Down again stays on the new record; Up cancels it.
    Key(VK_DOWN);
    EXPECT_EQ(Table->GetState(), TDataSetState::dsInsert);
    Key(VK_UP);
    EXPECT_EQ(Table->GetState(), TDataSetState::dsBrowse);
    EXPECT_EQ(Table->GetRecordCount(), 40);
    EXPECT_EQ(Id(), 40);
    // Insert puts a new record before the current one, unless inserting is switched off.
    Key(VK_INSERT);
    EXPECT_EQ(Table->GetState(), TDataSetState::dsInsert);
    Key(VK_ESCAPE);
    EXPECT_EQ(Table->GetState(), TDataSetState::dsBrowse);
    Grid->SetOptions(Grid->GetOptions() + TVelDBGridOption::dgAllowInsertOff);
    Key(VK_INSERT);
    Key(VK_DOWN);
    EXPECT_EQ(Table->GetState(), TDataSetState::dsBrowse);
    EXPECT_EQ(Table->GetRecordCount(), 40);
}

TEST_F(InputTest, TypedTextReachesTheFieldOnEnterAndEscapeUndoesInTwoSteps) {
    Key(VK_RIGHT);  // Name
    InjectText("Zed");
    Process();
    ASSERT_TRUE(Grid->GetEditorMode());
    EXPECT_EQ(Grid->GetInplaceEditor()->GetText(), "Zed");
    EXPECT_EQ(Table->FieldByName("Name")->GetAsString(), "N1");
    Key(VK_RETURN);
    EXPECT_EQ(Table->FieldByName("Name")->GetAsString(), "Zed");
    Key(VK_DOWN);
    EXPECT_EQ(Table->GetState(), TDataSetState::dsBrowse);
    Table->First();
    EXPECT_EQ(Table->FieldByName("Name")->GetAsString(), "Zed");
    Process();

    // The first Escape takes back what was typed, the second cancels the record's edit. The
    // hidden editor hands the focus to the grid, not to the form's next control.
    auto* next = new TEdit(Form.get());
    next->SetBounds(0, 310, 80, 20);
    next->SetParent(Form.get());
    InjectText("Q");
    Process();
    EXPECT_EQ(Table->GetState(), TDataSetState::dsEdit);
    Key(VK_ESCAPE);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->GetInplaceEditor()->GetText(), "Zed");
    EXPECT_EQ(Table->GetState(), TDataSetState::dsEdit);
    Key(VK_ESCAPE);
    EXPECT_EQ(Table->GetState(), TDataSetState::dsBrowse);
    EXPECT_EQ(Table->FieldByName("Name")->GetAsString(), "Zed");
}

TEST_F(InputTest, CtrlDeleteAsksFirstAndKeepsTheRecordOnCancel) {
    std::vector<std::string> asked;
    const char* answer = "Cancel";
    Application().SetModalResponder([&](TCustomForm& f) {
        asked.push_back(static_cast<TLabel*>(f.FindComponent("Message"))->GetCaption());
        static_cast<TButton*>(f.FindComponent(answer))->Click();
    });
    Grid->SetOptions(Grid->GetOptions() + TVelDBGridOption::dgConfirmDelete);
    Key(VK_DELETE, {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Table->GetRecordCount(), 40);
    answer = "OK";
    Key(VK_DELETE, {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Table->GetRecordCount(), 39);
    EXPECT_EQ(Id(), 2);
    EXPECT_EQ(asked, (std::vector<std::string>{SDeleteRecordQuestion.Get(), SDeleteRecordQuestion.Get()}));
    // Switched off, or without confirmation: nothing asked.
    Grid->SetOptions(Grid->GetOptions() + TVelDBGridOption::dgAllowDeleteOff);
    Key(VK_DELETE, {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Table->GetRecordCount(), 39);
    Grid->SetOptions(Grid->GetOptions() - TVelDBGridOption::dgAllowDeleteOff - TVelDBGridOption::dgConfirmDelete);
    Key(VK_DELETE, {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Table->GetRecordCount(), 38);
    EXPECT_EQ(asked.size(), 2u);
}

TEST_F(InputTest, TheWheelScrollsByWheelScrollRows) {
    const TPoint p = At(0, 2);
    Grid->SetWheelScrollRows(2);
    InjectMouseWheel(-120, p);
    Process();
    EXPECT_EQ(Id(), 3);
    InjectMouseWheel(120, p);
    Process();
    EXPECT_EQ(Id(), 1);
    // -1: a page; Ctrl: one row.
    Grid->SetWheelScrollRows(-1);
    InjectMouseWheel(-120, p);
    Process();
    EXPECT_EQ(Id(), 1 + Grid->GetDataLink()->GetBufferCount());
    InjectMouseWheel(-120, p, {TShiftStateFlag::ssCtrl});
    Process();
    EXPECT_EQ(Id(), 2 + Grid->GetDataLink()->GetBufferCount());
}

TEST_F(InputTest, ClicksMoveToTheCellAndRaiseTheirEvents) {
    std::vector<std::string> log;
    Grid->SetOnCellClick([&](TVelColumn* c) { log.push_back("cell " + c->GetFieldName()); });
    Grid->SetOnTitleClick([&](TVelColumn* c) { log.push_back("title " + c->GetFieldName()); });
    Grid->SetOnIndicatorClick([&](TObject*) { log.push_back("indicator"); });
    Grid->SetOptions(Grid->GetOptions() + TVelDBGridOption::dgTitleButtons - TVelDBGridOption::dgMarkerAutoToggle);
    Process();
    Click(At(2, 3));
    EXPECT_EQ(Id(), 4);
    EXPECT_EQ(DataCol(), 2);
    Click(TitleAt(1));
    const TRect ind = Grid->CellRect(0, 1 + Grid->GetTitleOffset());
    Click(ScreenPointOf(Grid, TPoint{ind.Left + 3, ind.Top + 3}));
    EXPECT_EQ(Id(), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"cell Price", "title Name", "indicator"}));
    EXPECT_TRUE(G()->Markers.empty());
    // The marker toggles before the click event, descending with Ctrl.
    Grid->SetOptions(Grid->GetOptions() + TVelDBGridOption::dgMarkerAutoToggle);
    log.clear();
    Grid->SetOnTitleClick([&](TVelColumn* c) { log.push_back(std::to_string(G()->Markers.size()) + c->GetFieldName()); });
    Click(TitleAt(1));
    Click(TitleAt(1), TMouseButton::mbLeft, {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(log, (std::vector<std::string>{"1Name", "2Name"}));
    EXPECT_EQ(G()->Markers, (std::vector<std::string>{"Name asc", "Name desc"}));
    // A press that leaves the title before the release is no title click; without title
    // buttons titles are not clicked at all.
    Grid->SetOnCellClick(nullptr);
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, TitleAt(1));
    InjectMouseMove(At(1, 4));
    InjectMouseUp(TMouseButton::mbLeft, At(1, 4));
    Process();
    Grid->SetOptions(Grid->GetOptions() - TVelDBGridOption::dgTitleButtons);
    Click(TitleAt(1));
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(InputTest, ACheckBoxTogglesOnClickAndSpace) {
    Table->Close();
    Table->GetFieldDefs().Add("Paid", TFieldType::ftBoolean);
    Table->CreateDataSet();
    for (int i = 1; i <= 5; ++i) {
        Table->Append();
        Table->FieldByName("ID")->SetAsInteger(i);
        Table->FieldByName("Paid")->SetAsBoolean(false);
        Table->Post();
    }
    Table->First();
    Process();
    TVelColumn* paid = Grid->GetColumns()->GetColumn(3);
    paid->SetCheckBox(true);
    Process();
    // All columns in view, so that selecting one does not scroll it.
    for (int c = 0; c < 3; ++c) Grid->GetColumns()->GetColumn(c)->SetWidth(60);
    Process();
    Click(At(3, 2));
    EXPECT_EQ(Id(), 3);
    EXPECT_TRUE(Table->FieldByName("Paid")->GetAsBoolean());
    // Space on the current check box toggles back.
    Key(VK_SPACE);
    EXPECT_FALSE(Table->FieldByName("Paid")->GetAsBoolean());
    // Without editing the click only selects.
    Grid->SetOptions(Grid->GetOptions() - TVelDBGridOption::dgEditing);
    Click(At(3, 0));
    EXPECT_EQ(Id(), 1);
    EXPECT_FALSE(Table->FieldByName("Paid")->GetAsBoolean());
}

TEST_F(InputTest, BordersFitAndRestoreWidthsAndTitlesMoveColumns) {
    TVelColumn* name = Grid->GetColumns()->GetColumn(1);
    name->SetWidth(150);
    Process();
    const TRect t = Grid->CellRect(Grid->DataToRawColumn(1), 0);
    const TPoint border = ScreenPointOf(Grid, TPoint{t.Right, t.Top + 5});
    Grid->SetResizeOptions(Grid->GetResizeOptions() + TVelResizeOption::roOptimalWidth +
                           TVelResizeOption::roDefaultWidth + TVelResizeOption::roColumnMoving);
    FClock->Advance(1000);
    InjectClick(border);
    InjectClick(border);  // a double click
    Process();
    EXPECT_EQ(name->GetWidth(), Grid->GetOptimalWidth(name));
    name->SetWidth(150);
    Process();
    Click(border, TMouseButton::mbMiddle);
    EXPECT_EQ(name->GetWidth(), name->DefaultWidth());

    // Dragging a title moves the column, unless OnColumnMoving says no.
    bool accept = false;
    std::vector<std::pair<int, int>> asked;
    Grid->SetOnColumnMoving([&](TObject*, int From, int To, bool& Accept) {
        asked.emplace_back(From, To);
        Accept = accept;
    });
    auto drag = [&] {
        FClock->Advance(1000);
        const TPoint from = TitleAt(0, 10), to = TitleAt(2, 20);
        InjectMouseDown(TMouseButton::mbLeft, from);
        InjectMouseMove(TPoint{from.X + 12, from.Y});
        InjectMouseMove(to);
        InjectMouseUp(TMouseButton::mbLeft, to);
        Process();
    };
    drag();
    EXPECT_EQ(Grid->GetColumns()->GetColumn(0)->GetFieldName(), "ID");
    accept = true;
    drag();
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{0, 2}, {0, 2}}));
    EXPECT_EQ(Grid->GetColumns()->GetColumn(2)->GetFieldName(), "ID");
    EXPECT_EQ(Grid->GetColumns()->GetColumn(0)->GetFieldName(), "Name");
}

}  // namespace
}  // namespace veltest
