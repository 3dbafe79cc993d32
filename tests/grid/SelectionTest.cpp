// Multi-selection: the bookmark and column lists, the selection bracket and its events, saving
// across a reorder or a reopening, the walks over cells and rows, and the gestures (Shift with keys, clicks with modifiers, dragging over
// rows and titles with the scroll timer), Ctrl+Delete of the selected rows and their colour.
#include <algorithm>
#include <string>
#include <vector>

#include "grid/ResStrings.h"
#include "platform/classes/Errors.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Input.h"
#include "platform/controls/StdCtrls.h"
#include "platform/db/Fields.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

TColor Rgb(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

class SelectionTest : public DBGridTest {
protected:
    SelectionTest() {
        Table = MakeTable(40);
        Source = new TDataSource(Form.get());
        Source->SetDataSet(Table.get());
        Grid->SetDataSource(Source);
        Grid->SetOptions(Grid->GetOptions() + TVelDBGridOption::dgMultiSelect);
        Form->Show();
        Grid->SetFocus();
        Process();
        Grid->SetOnSelectionChanged([this](TObject*) { ++Announced; });
        Grid->SetOnRowSelect([this](TObject*, TSelectAction A) { Actions.push_back(A); });
        // Announcements come at once; the delayed ones have a test of their own.
        Grid->SwitchOptionsEx({TVelDBGridOptionEx::dgDelaySelectedRows}, false);
    }
    ~SelectionTest() override { Grid->SetDataSource(nullptr); }
    int Id() { return Table->FieldByName("ID")->GetAsInteger(); }
    void GoTo(int ID) { ASSERT_TRUE(Table->Locate("ID", Variant(ID), {})); }
    // IDs of the selected rows in list order; the current record and the window stay.
    std::vector<int> Selected() {
        std::vector<int> ids;
        Grid->WithPositionKept([&] {
            for (const TBookmark& b : *Grid->GetSelectedRows()) {
                Table->GotoBookmark(b);
                ids.push_back(Id());
            }
        });
        return ids;
    }
    static std::vector<int> Range(int From, int To) {
        std::vector<int> r;
        for (int i = From; i <= To; ++i) r.push_back(i);
        return r;
    }
    std::unique_ptr<TClientDataSet> Table;
    TDataSource* Source;
    int Announced = 0;
    std::vector<TSelectAction> Actions;
};

TEST_F(SelectionTest, RowsStayInDatasetOrderAndABracketAnnouncesOnce) {
    TVelBookmarkList& rows = *Grid->GetSelectedRows();
    int rowsChanged = 0, colsChanged = 0;
    Grid->SetOnSelectedRowsChanged([&](TObject*) { ++rowsChanged; });
    Grid->SetOnSelectedColsChanged([&](TObject*) { ++colsChanged; });
    Grid->BeginSelect();
    for (int id : {3, 1, 2, 7}) {
        GoTo(id);
        Grid->SelectRow();
    }
    GoTo(3);
    Grid->SelectRow();  // already selected: nothing happens
    EXPECT_EQ(Announced, 0);
    Grid->EndSelect();
    EXPECT_EQ(Announced, 1);
    EXPECT_EQ(rowsChanged, 1);
    EXPECT_EQ(colsChanged, 0);
    EXPECT_EQ(Actions.size(), 4u);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3, 7}));
    // Find answers with the insertion point for a record that is not selected, and the cached
    // answer does not outlive a change of the list.
    GoTo(5);
    int index = -1;
    EXPECT_FALSE(rows.Find(Table->GetBookmark(), index));
    EXPECT_EQ(index, 3);
    Grid->SelectRow();
    EXPECT_TRUE(rows.Find(Table->GetBookmark(), index));
    EXPECT_EQ(index, 3);
    EXPECT_TRUE(rows.GetCurrentRowSelected());
    EXPECT_EQ(Announced, 2);
    Grid->UnselectRow();
    EXPECT_EQ(rows.IndexOf(Table->GetBookmark()), -1);
    EXPECT_THROW(rows.DeleteItem(4), EListError);
    EXPECT_THROW(rows.InsertItem(-1, Table->GetBookmark()), EListError);
    // A record deleted by another path leaves the list on Refresh.
    GoTo(2);
    Table->Delete();
    Actions.clear();
    rows.Refresh();
    EXPECT_EQ(Actions, (std::vector<TSelectAction>{TSelectAction::saRefresh}));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3, 7}));
    // A closed dataset empties the list and refuses the questions that need it.
    Table->Close();
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_THROW(rows.CurrentRow(), EDatabaseError);
    EXPECT_THROW(rows.Save("ID"), EDatabaseError);
}

TEST_F(SelectionTest, DelayedAnnouncementsComeOnceAfterTheInterval) {
    Grid->SwitchOptionsEx({TVelDBGridOptionEx::dgDelaySelectedRows}, true);
    Grid->SelectRow();
    FClock->Advance(150);
    Process();
    Table->Next();
    Grid->SelectRow();
    // Each change starts the wait again.
    FClock->Advance(199);
    Process();
    EXPECT_EQ(Announced, 0);
    EXPECT_FALSE(Grid->GetTotals()->GetSelected());
    FClock->Advance(1);
    Process();
    EXPECT_EQ(Announced, 1);
    EXPECT_TRUE(Grid->GetTotals()->GetSelected());
    // PerformDelayed runs a pending announcement at once, and only once.
    Grid->ClearSelection();
    Grid->PerformDelayed();
    EXPECT_EQ(Announced, 2);
    EXPECT_FALSE(Grid->GetTotals()->GetSelected());
    FClock->Advance(1000);
    Process();
    EXPECT_EQ(Announced, 2);
}

TEST_F(SelectionTest, ModesFollowOptionsAndAllowedModes) {
    using M = TMultiSelection;
    Grid->SetMultiSelectOptions({M::msRows, M::msCols, M::msCells, M::msNone});
    EXPECT_FALSE(Grid->GetMultiSelectOptions().Contains(M::msNone));
    EXPECT_EQ(Grid->GetMultiSelect(), M::msRows);
    Grid->SelectAll();
    EXPECT_EQ(Grid->GetSelectedRows()->Count(), 40);
    // Inverting in rows mode takes every row out again; the current record is the anchor.
    Grid->InvertAll();
    EXPECT_EQ(Grid->GetSelectedRows()->Count(), 0);
    // Cells: a column range crossed with rows; InvertAll does nothing there.
    Grid->SetMultiSelect(M::msCells);
    EXPECT_EQ(Grid->GetMultiSelect(), M::msCells);
    Grid->SetSelectionEndCol(1);
    Grid->SelectRow();
    Grid->InvertAll();
    EXPECT_EQ(Grid->GetSelectedRows()->Count(), 1);
    EXPECT_TRUE(Grid->IsColMultiSelected(1));
    EXPECT_FALSE(Grid->IsColMultiSelected(2));
    EXPECT_TRUE(Grid->IsCellMultiSelected(Grid->DataToRawColumn(0), Grid->GetRow()));
    EXPECT_FALSE(Grid->IsCellMultiSelected(Grid->DataToRawColumn(2), Grid->GetRow()));
    // Columns: whole columns; toggling one edits the list built from the range.
    Grid->SetMultiSelect(M::msCols);
    EXPECT_EQ(Grid->GetSelectedRows()->Count(), 0);
    Grid->SetSelectionEndCol(2);
    EXPECT_EQ(Grid->GetSelectedCols()->Count(), 3);
    Grid->GetSelectedCols()->SetColumns(1, false);
    EXPECT_FALSE(Grid->IsColMultiSelected(1));
    EXPECT_TRUE(Grid->IsColMultiSelected(2));
    Grid->InvertAll();
    EXPECT_EQ(Grid->GetSelectedCols()->Count(), 1);
    EXPECT_TRUE(Grid->IsColMultiSelected(1));
    // Row select allows rows only, and ends a column selection.
    Grid->SwitchOptions({TVelDBGridOption::dgRowSelect}, true);
    EXPECT_EQ(Grid->GetMultiSelect(), M::msRows);
    EXPECT_FALSE(Grid->HasSelection());
    Grid->SetMultiSelect(M::msCols);
    EXPECT_EQ(Grid->GetMultiSelect(), M::msRows);
    // A mode not allowed is none.
    Grid->SwitchOptions({TVelDBGridOption::dgRowSelect}, false);
    Grid->SetMultiSelectOptions({M::msCols});
    EXPECT_EQ(Grid->GetMultiSelect(), M::msNone);
    Grid->SelectRow();
    EXPECT_FALSE(Grid->GetRowsSelected());
}

TEST_F(SelectionTest, RestoreByKeyFieldsAfterAReorder) {
    for (int id : {2, 10, 30}) {
        GoTo(id);
        Grid->SelectRow();
    }
    GoTo(5);
    // Without key fields nothing is saved and the selection stays.
    try {
        Grid->SaveSelection();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "KeyFields property cannot be blank");
    }
    EXPECT_EQ(Selected(), (std::vector<int>{2, 10, 30}));
    Grid->SetKeyFields("ID");
    Grid->SaveSelection();
    EXPECT_EQ(Id(), 5);
    // By name the order is N1, N10, ..., N2, ..., N30: the old bookmarks no longer sort.
    Table->SetIndexFieldNames("Name");
    GoTo(5);
    Grid->RestoreSelection();
    EXPECT_EQ(Selected(), (std::vector<int>{10, 2, 30}));
    EXPECT_EQ(Id(), 5);
    // Each restored row is found by its key: the list agrees with the new order.
    for (int id : {10, 2, 30}) {
        GoTo(id);
        EXPECT_TRUE(Grid->GetSelectedRows()->GetCurrentRowSelected()) << id;
    }
}

TEST_F(SelectionTest, WalksVisitTheSelectionOrEverything) {
    using enum TForEachCellFlag;
    GoTo(7);
    const int top = Grid->GetDataLink()->GetActiveRecord();
    // Nothing selected: every cell, with the edges flagged.
    int cells = 0;
    std::vector<std::string> edges;
    auto name = [&](TVelColumn* c) { return c->GetFieldName() + std::to_string(Id()); };
    Grid->ForEachDataCell([&](TVelColumn* c, TForEachCellFlags f) {
        ++cells;
        if (f.Contains(feFirstRow) && f.Contains(feFirstCol)) edges.push_back("first " + name(c));
        if (f.Contains(feLastRow) && f.Contains(feLastCol)) edges.push_back("last " + name(c));
    });
    EXPECT_EQ(cells, 120);
    EXPECT_EQ(edges, (std::vector<std::string>{"first ID1", "last Price40"}));
    EXPECT_EQ(Id(), 7);
    EXPECT_EQ(Grid->GetDataLink()->GetActiveRecord(), top);
    // Only the selection, when there is none, visits nothing.
    Grid->ForEachDataCell([&](TVelColumn*, TForEachCellFlags) { ++cells; }, TForEachCellScope::fsSelectedOnly);
    EXPECT_EQ(cells, 120);
    // Selected rows in list order, the columns from the first selectable one on.
    Grid->SetFixedCols(1);
    for (int id : {9, 4}) {
        GoTo(id);
        Grid->SelectRow();
    }
    GoTo(7);
    std::vector<std::string> seen;
    Grid->ForEachDataCell([&](TVelColumn* c, TForEachCellFlags f) {
        seen.push_back(name(c) + (f.Contains(feLastRow) ? "!" : ""));
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"Name4", "Price4", "Name9!", "Price9!"}));
    // Row and column enumerations.
    std::vector<int> ids;
    Grid->ForEachDataRow(TDataRowEnum::reSelectedRowsOrCurrent, [&] { ids.push_back(Id()); });
    EXPECT_EQ(ids, (std::vector<int>{4, 9}));
    Grid->ClearSelection();
    ids.clear();
    Grid->ForEachDataRow(TDataRowEnum::reSelectedRowsOrCurrent, [&] { ids.push_back(Id()); });
    EXPECT_EQ(ids, (std::vector<int>{7}));
    ids.clear();
    Grid->ForEachDataRow(TDataRowEnum::reSelectedRows, [&] { ids.push_back(Id()); });
    EXPECT_TRUE(ids.empty());
    // The lists' views move the dataset as they go.
    TVelBookmarkList& rows = *Grid->GetSelectedRows();
    int visited = 0;
    for (const TBookmark& b : rows.OrAllRows()) {
        EXPECT_EQ(Table->GetBookmark(), b);
        ++visited;
    }
    EXPECT_EQ(visited, 40);
    EXPECT_EQ(Id(), 40);
    GoTo(5);
    Grid->SelectRow();
    GoTo(7);
    ids.clear();
    for (const TBookmark& b : rows.OrCurrent()) {
        (void)b;
        ids.push_back(Id());
    }
    EXPECT_EQ(ids, (std::vector<int>{5}));
    Grid->ClearSelection();
    GoTo(7);
    EXPECT_EQ(Grid->GetSelectedCols()->OrAllCols().size(), 3u);
    EXPECT_EQ(Grid->GetDataColEnum(TDataColEnum::ceSelectedColsOrAllCols).size(), 3u);
    EXPECT_EQ(Grid->GetDataColEnum(TDataColEnum::ceSelectedColsOrCurrent),
              (std::vector<TVelColumn*>{Grid->GetSelectedColumn()}));
    EXPECT_EQ(Id(), 7);
}

TEST_F(SelectionTest, RefreshDataSetKeepsTheRecordAndTheSelectionByKey) {
    Grid->SwitchOptionsEx({TVelDBGridOptionEx::dgAutoKeepSelection}, true);
    for (int id : {3, 8}) {
        GoTo(id);
        Grid->SelectRow();
    }
    GoTo(12);
    Grid->RefreshDataSet("ID");
    EXPECT_TRUE(Table->GetActive());
    EXPECT_EQ(Id(), 12);
    EXPECT_EQ(Selected(), (std::vector<int>{3, 8}));
    // Without key fields the dataset opens at its first record, nothing selected.
    Grid->RefreshDataSet();
    EXPECT_EQ(Id(), 1);
    EXPECT_FALSE(Grid->HasSelection());
}

TEST_F(SelectionTest, ShiftWithKeysSelectsFromTheAnchor) {
    Key(VK_DOWN);
    Announced = 0;
    Key(VK_DOWN, {TShiftStateFlag::ssShift});
    EXPECT_EQ(Announced, 1);
    Key(VK_DOWN, {TShiftStateFlag::ssShift});
    Key(VK_DOWN, {TShiftStateFlag::ssShift});
    EXPECT_EQ(Id(), 5);
    EXPECT_EQ(Selected(), Range(2, 5));
    EXPECT_EQ(Announced, 3);
    Key(VK_UP, {TShiftStateFlag::ssShift});
    EXPECT_EQ(Selected(), Range(2, 4));
    // Crossing the anchor turns the range round.
    Key(VK_UP, {TShiftStateFlag::ssShift});
    Key(VK_UP, {TShiftStateFlag::ssShift});
    Key(VK_UP, {TShiftStateFlag::ssShift});
    EXPECT_EQ(Selected(), Range(1, 2));
    // A plain move clears the selection and drops the anchor; Ctrl+A selects all, Ctrl+Z
    // and Escape clear.
    Key(VK_DOWN);
    EXPECT_FALSE(Grid->HasSelection());
    EXPECT_TRUE(Grid->GetSelectionAnchor().empty());
    Key(VK_NEXT, {TShiftStateFlag::ssShift});
    EXPECT_EQ(Selected().size(), std::size_t(Grid->GetDataRowCount() + 1));
    Key('A', {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Grid->GetSelectedRows()->Count(), 40);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Grid->HasSelection());
    // Without extended selection Shift moves without selecting.
    Grid->SwitchOptions({TVelDBGridOption::dgExtendedSelect}, false);
    Key(VK_DOWN, {TShiftStateFlag::ssShift});
    EXPECT_FALSE(Grid->HasSelection());
}

TEST_F(SelectionTest, ClicksWithModifiers) {
    Click(At(0, 2));
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    // Ctrl toggles rows in and out; the toggled row becomes the anchor.
    Click(At(0, 4), {TShiftStateFlag::ssCtrl});
    Click(At(0, 6), {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Selected(), (std::vector<int>{3, 5, 7}));
    Click(At(0, 4), {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Selected(), (std::vector<int>{3, 7}));
    // Shift: from the anchor (row 4) to the clicked row.
    Click(At(0, 1), {TShiftStateFlag::ssShift});
    EXPECT_EQ(Selected(), Range(2, 5));
    // A plain click starts again at the clicked row.
    Click(At(1, 3));
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    Click(At(0, 5), {TShiftStateFlag::ssShift});
    EXPECT_EQ(Selected(), Range(4, 6));
    // Alt+Ctrl inverts, Alt+Shift selects all, Alt clears.
    Click(At(0, 0), {TShiftStateFlag::ssAlt, TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Grid->GetSelectedRows()->Count(), 37);
    EXPECT_EQ(Selected()[3], 7);
    Click(At(1, 0), {TShiftStateFlag::ssAlt, TShiftStateFlag::ssShift});
    EXPECT_EQ(Grid->GetSelectedRows()->Count(), 40);
    Click(At(2, 0), {TShiftStateFlag::ssAlt});
    EXPECT_FALSE(Grid->HasSelection());
    // With dgClickSelectOff a click anchors without selecting.
    Grid->SwitchOptionsEx({TVelDBGridOptionEx::dgClickSelectOff}, true);
    Click(At(0, 3));
    EXPECT_FALSE(Grid->HasSelection());
    EXPECT_FALSE(Grid->GetSelectionAnchor().empty());
}

TEST_F(SelectionTest, DraggingPastTheBottomScrollsOnTheTimer) {
    const int rows = Grid->GetDataRowCount();
    const TPoint start = At(0, 1);
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, start);
    Process();
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    EXPECT_EQ(GetCaptureControl(), Grid);
    // 11 pixels below the data area: 3 rows a tick, every 35 ms.
    const TRect cell = Grid->CellRect(Grid->DataToRawColumn(0), Grid->GetTitleOffset());
    const TPoint below = ScreenPointOf(Grid, TPoint{cell.Left + 5, Grid->GetClientHeight() + 10});
    InjectMouseMove(below);
    Process();
    ASSERT_NE(Grid->GetScrollTimer(), nullptr);
    EXPECT_EQ(Grid->GetScrollTimer()->GetInterval(), 35u);
    const int first = Id();
    EXPECT_GE(first, rows + 1);
    FClock->Advance(35);
    Process();
    EXPECT_EQ(Id(), first + 3);
    FClock->Advance(35);
    Process();
    EXPECT_EQ(Id(), first + 6);
    EXPECT_EQ(Selected(), Range(2, first + 6));
    // Back inside the data area the scrolling stops and the timer goes.
    InjectMouseMove(At(0, rows - 1));
    Process();
    EXPECT_EQ(Grid->GetScrollTimer(), nullptr);
    FClock->Advance(500);
    Process();
    const int stopped = Id();
    EXPECT_EQ(Selected(), Range(2, stopped));
    InjectMouseUp(TMouseButton::mbLeft, At(0, rows - 1));
    Process();
    EXPECT_FALSE(Grid->GetScrollTracking());
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(Id(), stopped);
    EXPECT_EQ(Selected(), Range(2, stopped));
}

TEST_F(SelectionTest, DraggingATitleSelectsColumns) {
    Grid->SetMultiSelectOptions({TMultiSelection::msRows, TMultiSelection::msCols});
    // A title dragged sideways would move the column with roColumnMoving.
    Grid->SwitchResizeOptions({TVelResizeOption::roColumnMoving}, false);
    for (int c = 0; c < 3; ++c) Grid->GetColumns()->GetColumn(c)->SetWidth(60);
    std::vector<std::string> titles;
    Grid->SetOnTitleClick([&](TVelColumn* c) { titles.push_back(c->GetFieldName()); });
    Process();
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, TitleAt(0, 10));
    InjectMouseMove(TitleAt(1, 10));
    InjectMouseMove(TitleAt(2, 10));
    InjectMouseUp(TMouseButton::mbLeft, TitleAt(2, 10));
    Process();
    EXPECT_EQ(Grid->GetMultiSelect(), TMultiSelection::msCols);
    EXPECT_TRUE(Grid->GetColsSelected());
    ASSERT_EQ(Grid->GetSelectedCols()->Count(), 3);
    EXPECT_EQ(Grid->GetSelectedCols()->GetItem(2)->GetFieldName(), "Price");
    EXPECT_TRUE(titles.empty());
    EXPECT_FALSE(Grid->GetScrollTracking());
    // Ctrl+Delete refuses while columns are selected; a plain click goes back to rows.
    Key(VK_DELETE, {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Table->GetRecordCount(), 40);
    Click(At(0, 1));
    EXPECT_EQ(Grid->GetMultiSelect(), TMultiSelection::msRows);
    EXPECT_FALSE(Grid->GetColsSelected());
}

TEST_F(SelectionTest, DraggingATitlePastTheRightEdgeScrollsColumnsIn) {
    Grid->SetMultiSelectOptions({TMultiSelection::msRows, TMultiSelection::msCols});
    Grid->SwitchResizeOptions({TVelResizeOption::roColumnMoving}, false);
    for (int c = 0; c < 3; ++c) Grid->GetColumns()->GetColumn(c)->SetWidth(250);
    Process();
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, TitleAt(0, 10));
    // 4 pixels past the right edge: a column a tick, every 140 ms.
    const TRect title = Grid->CellRect(Grid->DataToRawColumn(0), 0);
    InjectMouseMove(ScreenPointOf(Grid, TPoint{Grid->GetClientWidth() + 3, title.Top + 5}));
    Process();
    ASSERT_NE(Grid->GetScrollTimer(), nullptr);
    EXPECT_EQ(Grid->GetScrollTimer()->GetInterval(), 140u);
    const int reached = Grid->GetSelectionMaxCol();
    EXPECT_GE(reached, 1);
    FClock->Advance(140 * (3 - reached));
    for (int i = 0; i < 3; ++i) Process();
    EXPECT_EQ(Grid->GetSelectionMaxCol(), 2);
    EXPECT_EQ(Grid->GetSelectionMinCol(), 0);
    InjectMouseUp(TMouseButton::mbLeft, ScreenPointOf(Grid, TPoint{Grid->GetClientWidth() + 3, title.Top + 5}));
    Process();
    EXPECT_EQ(Grid->GetScrollTimer(), nullptr);
    EXPECT_EQ(Grid->GetSelectedCols()->Count(), 3);
    // Whole columns: the record did not move.
    EXPECT_EQ(Id(), 1);
}

TEST_F(SelectionTest, WithAutoUnselectOffClicksAndDragsAddUp) {
    Grid->SwitchOptions({TVelDBGridOption::dgAutoUnselectOff}, true);
    Click(At(0, 1));
    Click(At(0, 3));
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4}));
    // Moving keeps the selection; Ctrl+Z clears it even so.
    Key(VK_DOWN);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4}));
    // A drag from a selected row adds the rows passed; one from a row it unselects takes them.
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, At(0, 6));
    InjectMouseMove(At(0, 8));
    InjectMouseUp(TMouseButton::mbLeft, At(0, 8));
    Process();
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4, 7, 8, 9}));
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, At(0, 7));
    InjectMouseMove(At(0, 8));
    InjectMouseUp(TMouseButton::mbLeft, At(0, 8));
    Process();
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4, 7}));
    Key('Z', {TShiftStateFlag::ssCtrl});
    EXPECT_FALSE(Grid->HasSelection());
}

TEST_F(SelectionTest, CtrlDeleteDeletesOnlyTheSelectedRows) {
    std::vector<std::string> asked;
    Application().SetModalResponder([&](TCustomForm& f) {
        asked.push_back(static_cast<TLabel*>(f.FindComponent("Message"))->GetCaption());
        static_cast<TButton*>(f.FindComponent("OK"))->Click();
    });
    Click(At(0, 1), {TShiftStateFlag::ssCtrl});
    Click(At(0, 3), {TShiftStateFlag::ssCtrl});
    Actions.clear();
    Key(VK_DELETE, {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(asked, (std::vector<std::string>{SDeleteMultipleRecordsQuestion.Get()}));
    EXPECT_EQ(Table->GetRecordCount(), 38);
    EXPECT_EQ(Actions, (std::vector<TSelectAction>{TSelectAction::saDelete}));
    EXPECT_FALSE(Grid->HasSelection());
    std::vector<int> left = Ids(*Table);
    EXPECT_EQ(std::count(left.begin(), left.end(), 2) + std::count(left.begin(), left.end(), 4), 0);
    EXPECT_EQ(left.front(), 1);
    EXPECT_EQ(left.size(), 38u);
    // One selected row is asked for as one record.
    Click(At(0, 2), {TShiftStateFlag::ssCtrl});
    Key(VK_DELETE, {TShiftStateFlag::ssCtrl});
    EXPECT_EQ(asked.back(), SDeleteRecordQuestion.Get());
    EXPECT_EQ(Table->GetRecordCount(), 37);
}

TEST_F(SelectionTest, SelectedRowsTakeTheSelectionColour) {
    Grid->GetGradient()->SetActive(false);
    Grid->SetSelectionColor(clLime);
    GoTo(3);
    Grid->SelectRow();
    GoTo(1);
    Process();
    auto shot = Grid->CaptureImage();
    auto corner = [&](int DataCol, int DataRow) {
        const TRect r = Grid->CellRect(Grid->DataToRawColumn(DataCol), DataRow + Grid->GetTitleOffset());
        return shot->GetPixelColor(r.Left + 1, r.Bottom - 2);
    };
    EXPECT_EQ(corner(1, 2), Rgb(clLime));
    EXPECT_EQ(corner(2, 2), Rgb(clLime));
    EXPECT_EQ(corner(1, 3), Rgb(clWindow));
    // Cleared, the row is painted plain again.
    Grid->ClearSelection();
    Process();
    shot = Grid->CaptureImage();
    EXPECT_EQ(corner(1, 2), Rgb(clWindow));
}

}  // namespace
}  // namespace veltest
