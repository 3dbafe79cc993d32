// The grid over its dataset: the field map, the layout lock and its deferral, the record
// window that buffers exactly one screen of rows, and the in-place editor's text, which
// reaches the field only when the edit is posted.
#include <stdexcept>

#include "platform/classes/Errors.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Input.h"
#include "platform/db/ClientDataSet.h"
#include "platform/db/DBTypes.h"
#include "platform/db/Fields.h"
#include "platform/db/sqlite/SQLDataSets.h"
#include "tests/grid/ColumnTestUtil.h"
#include "tests/grid/GridTestUtil.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace veltest {
namespace {

class RecordWindowTest : public DBGridTest {
protected:
    RecordWindowTest() {
        Source = new TDataSource(Form.get());
        Form->Show();
    }
    void Attach(TDataSet* Data) {
        Source->SetDataSet(Data);
        Grid->SetDataSource(Source);
    }
    int DataRows() const {
        return Grid->GetRowCount() - Grid->GetTitleOffset() - Grid->GetTotalOffset();
    }
    TDataSource* Source;
};

TEST_F(RecordWindowTest, WithoutDataTheGridShowsTitlesOneEmptyRowAndTheBottomBlock) {
    Grid->SwitchOptionsEx({TVelDBGridOptionEx::dgTotalHeader, TVelDBGridOptionEx::dgTotalFooter},
                          true);
    // No data source, no fields, no columns: still one empty column and one empty row.
    EXPECT_EQ(Grid->GetColumns()->Count(), 1);
    EXPECT_EQ(Grid->GetColCount(), Grid->GetIndicatorOffset() + 1);
    EXPECT_EQ(Grid->GetTotalOffset(), 3);  // blank row, header, footer
    EXPECT_EQ(Grid->GetRowCount(), Grid->GetTitleOffset() + 1 + 3);
    EXPECT_EQ(Grid->TCustomGrid::GetFixedRows(), Grid->GetTitleOffset());

    auto table = MakeTable(5);
    Attach(table.get());
    EXPECT_EQ(Grid->GetColumns()->Count(), 3);
    EXPECT_EQ(DataRows(), 5);
    // Closing the dataset: default columns over automatic fields go, one empty row is left.
    table->Close();
    EXPECT_EQ(DataRows(), 1);
    for (int i = 0; i < Grid->GetColumns()->Count(); ++i)
        EXPECT_EQ(Grid->GetColumns()->GetColumn(i)->GetFieldName(), "");
    EXPECT_EQ(Grid->GetDataLink()->GetFieldCount(), 0);
}

TEST(RecordWindowBeforeShow, ASourceAttachedBeforeTheWindowFillsAndStretchesOnceItIsShown) {
    ResetWindowingForTests();
    {
        TForm form(nullptr);
        form.SetBorderStyle(TFormBorderStyle::bsNone);
        form.SetBounds(0, 0, 400, 300);
        auto* grid = new TVelDBGrid(&form);
        grid->SetAlign(TAlign::alClient);
        grid->SetParent(&form);
        grid->SetStretchMode(true);
        auto table = MakeTable(50);
        TDataSource source(nullptr);
        source.SetDataSet(table.get());
        grid->SetDataSource(&source);
        form.Show();
        Application().ProcessMessages();
        EXPECT_GT(grid->GetDataLink()->GetBufferCount(), 5);
        EXPECT_EQ(grid->GetDataLink()->GetBufferCount(), grid->GetDataRowCapacity());
        EXPECT_EQ(grid->GetRowCount() - grid->GetTitleOffset(), grid->GetDataRowCapacity());
        // The columns fill the client area the vertical bar leaves, so no horizontal bar.
        EXPECT_NE(grid->GetStyle() & WS_VSCROLL, 0u);
        EXPECT_EQ(grid->GetColumnsWidth(), grid->GetClientWidth());
        EXPECT_EQ(grid->GetStyle() & WS_HSCROLL, 0u);
        grid->SetDataSource(nullptr);
    }
    ResetWindowingForTests();
}

TEST_F(RecordWindowTest, FieldMapFollowsFieldsOrCustomisedColumns) {
    auto table = MakeTable(3);
    table->FieldByName("Name")->SetVisible(false);
    Attach(table.get());
    TVelGridDataLink* link = Grid->GetDataLink();
    // Default columns: the visible fields, in field order.
    EXPECT_FALSE(link->GetSparseMap());
    ASSERT_EQ(link->GetFieldCount(), 2);
    EXPECT_EQ(link->GetFields(0), table->FieldByName("ID"));
    EXPECT_EQ(link->GetFields(1), table->FieldByName("Price"));
    EXPECT_EQ(link->GetMappedIndex(1), 2);
    EXPECT_EQ(link->GetFields(2), nullptr);
    EXPECT_EQ(link->GetMappedIndex(-1), -1);
    EXPECT_TRUE(link->GetDefaultFields());
    // A full map raises the dataset's own error for a field it does not have.
    EXPECT_THROW(link->AddMapping("Missing"), EDatabaseError);

    // Customised columns: a sparse map with -1 for a column whose field is missing.
    Grid->GetColumns()->SetState(TDBGridColumnsState::csCustomized);
    Grid->GetColumns()->Add()->SetFieldName("Missing");
    EXPECT_TRUE(link->GetSparseMap());
    ASSERT_EQ(link->GetFieldCount(), Grid->GetColumns()->Count());
    const int last = link->GetFieldCount() - 1;
    EXPECT_EQ(link->GetMappedIndex(last), -1);
    EXPECT_EQ(link->GetFields(last), nullptr);
    EXPECT_FALSE(link->GetDefaultFields());
}

TEST_F(RecordWindowTest, FieldMapGrowsByDoubling) {
    auto table = MakeTable(1);
    Attach(table.get());
    TVelGridDataLink* link = Grid->GetDataLink();
    link->ClearMapping();
    EXPECT_EQ(link->GetMapCapacity(), 0);
    link->SetSparseMap(true);
    link->AddMapping("ID");
    EXPECT_EQ(link->GetMapCapacity(), 8);
    for (int i = 1; i < 9; ++i) link->AddMapping("Name");
    EXPECT_EQ(link->GetFieldCount(), 9);
    EXPECT_EQ(link->GetMapCapacity(), 16);
    EXPECT_EQ(link->GetFields(8), table->FieldByName("Name"));
}

class FailingLayoutGrid : public TVelDBGrid {
public:
    using TVelDBGrid::TVelDBGrid;
    bool Fail = false;

protected:
    void DefineFieldMap() override {
        if (Fail) throw std::runtime_error("map failed");
        TVelDBGrid::DefineFieldMap();
    }
};

TEST_F(RecordWindowTest, LayoutRequestsFoldIntoOneAndAFailedLayoutReleasesTheLock) {
    auto table = MakeTable(3);
    Attach(table.get());
    int before = Grid->GetLayoutCount();
    Grid->BeginUpdate();
    Grid->LayoutChanged();
    Grid->LayoutChanged();
    EXPECT_EQ(Grid->GetLayoutCount(), before);
    Grid->EndUpdate();
    EXPECT_EQ(Grid->GetLayoutCount(), before + 1);

    before = Grid->GetLayoutCount();
    Grid->BeginLayout();
    Grid->BeginLayout();
    Grid->LayoutChanged();
    Grid->EndLayout();
    EXPECT_EQ(Grid->GetLayoutCount(), before);
    Grid->EndLayout();
    EXPECT_EQ(Grid->GetLayoutCount(), before + 1);
    EXPECT_EQ(Grid->GetLayoutLock(), 0);
    EXPECT_EQ(Grid->GetUpdateLock(), 0);

    // Deferred twice: one message, one layout.
    before = Grid->GetLayoutCount();
    Grid->BeginLayout();
    Grid->DeferLayout();
    Grid->BeginLayout();
    Grid->DeferLayout();
    EXPECT_EQ(Grid->GetLayoutLock(), 0);
    Application().ProcessMessages();
    EXPECT_EQ(Grid->GetLayoutCount(), before + 1);
    // A layout that runs first takes the queued message with it.
    Grid->BeginLayout();
    Grid->DeferLayout();
    Grid->LayoutChanged();
    EXPECT_EQ(Grid->GetLayoutCount(), before + 2);
    Application().ProcessMessages();
    EXPECT_EQ(Grid->GetLayoutCount(), before + 2);

    auto* failing = new FailingLayoutGrid(Form.get());
    failing->SetParent(Form.get());
    failing->SetDataSource(Source);
    failing->Fail = true;
    EXPECT_THROW(failing->LayoutChanged(), std::runtime_error);
    EXPECT_EQ(failing->GetLayoutLock(), 0);
    EXPECT_EQ(failing->GetUpdateLock(), 0);
    EXPECT_EQ(failing->GetColumns()->UpdateCount(), 0);
    failing->Fail = false;
    failing->LayoutChanged();
    EXPECT_EQ(failing->GetColumns()->Count(), 3);
}

TEST_F(RecordWindowTest, BufferHoldsOneScreenOfRowsAndFollowsTheCurrentRecord) {
    auto table = MakeTable(200);
    Grid->SwitchOptionsEx({TVelDBGridOptionEx::dgTotalFooter}, true);
    Attach(table.get());
    // Title and footer rows take their room; the blank row takes none yet.
    const int step = Grid->GetDefaultRowHeight() + Grid->GetGridLineWidth();
    const int screen = (Grid->GetClientHeight() - 2 * step) / step;
    EXPECT_GT(screen, 3);
    EXPECT_EQ(Grid->GetDataLink()->GetBufferCount(), screen);
    EXPECT_EQ(DataRows(), screen);
    // The bottom block takes its room: one more row would not fit above it.
    const TRect footer = Grid->CellRect(1, Grid->GetRowCount() - 1);
    EXPECT_LE(footer.Bottom, Grid->GetClientHeight());
    EXPECT_GT(footer.Bottom + step, Grid->GetClientHeight());
    EXPECT_EQ(Grid->GetRow(), Grid->GetTitleOffset());

    table->MoveBy(2);
    EXPECT_EQ(Grid->GetRow(), Grid->GetTitleOffset() + 2);
    table->Last();
    EXPECT_EQ(Grid->GetRow(), Grid->GetTitleOffset() + screen - 1);
    EXPECT_EQ(Grid->GetDataLink()->GetBufferCount(), screen);

    // A taller grid buffers more rows.
    Grid->SetHeight(Grid->GetHeight() + 5 * step);
    Grid->LayoutChanged();
    EXPECT_EQ(Grid->GetDataLink()->GetBufferCount(), screen + 5);
}

TEST_F(RecordWindowTest, AllowInsertOffEditsOnlyANonEmptyDataset) {
    auto table = MakeTable(0);
    Grid->SwitchOptions({TVelDBGridOption::dgEditing, TVelDBGridOption::dgAllowInsertOff}, true);
    Attach(table.get());
    EXPECT_FALSE(Grid->TCustomGrid::GetOptions().Contains(TGridOption::goEditing));
    // Added through another route than the grid.
    table->Append();
    table->FieldByName("ID")->SetAsInteger(1);
    table->Post();
    EXPECT_TRUE(Grid->TCustomGrid::GetOptions().Contains(TGridOption::goEditing));
    table->Delete();
    EXPECT_FALSE(Grid->TCustomGrid::GetOptions().Contains(TGridOption::goEditing));
}

TEST_F(RecordWindowTest, FixedColumnsAreClippedAndNeverSplitAGroup) {
    auto table = MakeTable(2);
    Attach(table.get());
    Grid->SetFixedCols(10);
    // Three columns: at most two fixed, plus the indicator.
    EXPECT_EQ(Grid->TCustomGrid::GetFixedCols(), 1 + 2);
    Grid->SetFixedCols(0);
    EXPECT_EQ(Grid->TCustomGrid::GetFixedCols(), 1);

    auto addresses = MakeAddressTable();
    Source->SetDataSet(addresses.get());
    // Expanded, Addr's sub-fields show in its place: ID, Addr.City, Addr.Zip, Name.
    Grid->GetColumns()->GetColumn(1)->SetExpanded(true);
    ASSERT_EQ(Grid->GetVisibleColumns().size(), 4u);
    Grid->SetFixedCols(2);  // would end between City and Zip
    EXPECT_EQ(Grid->TCustomGrid::GetFixedCols(), 1 + 3);
    Grid->SetFixedCols(1);
    EXPECT_EQ(Grid->TCustomGrid::GetFixedCols(), 1 + 1);
}

TEST_F(RecordWindowTest, ScrollingMovesPixelsForAFewRowsAndRepaintsForMany) {
    auto table = MakeTable(300);
    Attach(table.get());
    const int screen = Grid->GetDataLink()->GetBufferCount();
    table->MoveBy(screen - 1);  // the last row on screen
    Form->PaintPending();
    // The grid paints at once after a scroll unless updates are held: hold them to see
    // what the move left to paint.
    auto dirtyAfter = [&](auto&& Move) {
        Grid->BeginUpdate();
        Move();
        TRect r;
        const int height = Grid->GetUpdateRect(r) ? r.Height() : 0;
        Grid->EndUpdate();
        Form->PaintPending();
        return height;
    };
    const int rowStep = Grid->GetDefaultRowHeight() + Grid->GetGridLineWidth();
    // The window moves one row: pixels move, about one row is painted.
    const int oneRow = dirtyAfter([&] { table->Next(); });
    EXPECT_GT(oneRow, 0);
    EXPECT_LE(oneRow, 3 * rowStep);
    // More than a screen: every data cell is repainted.
    EXPECT_GE(dirtyAfter([&] { table->MoveBy(screen + 5); }), (screen - 1) * rowStep);
    // Stripes depend on the position: no pixel scroll.
    Grid->SetStripeColor(clYellow);
    Form->PaintPending();
    EXPECT_GE(dirtyAfter([&] { table->Next(); }), (screen - 1) * rowStep);
    // Without held updates the window is painted before the move returns.
    Grid->SetStripeColor(clNone);
    Form->PaintPending();
    table->Next();
    TRect r;
    EXPECT_FALSE(Grid->GetUpdateRect(r));
}

TEST_F(RecordWindowTest, EditorTextReachesTheFieldOnlyWhenPosted) {
    auto table = MakeTable(3);
    Grid->SwitchOptions({TVelDBGridOption::dgEditing}, true);
    Attach(table.get());
    int changes = 0;
    table->FieldByName("Name")->SetOnChange([&](TField*) { ++changes; });
    Grid->SetSelectedField(table->FieldByName("Name"));
    Grid->SetFocus();
    Grid->ShowEditor();
    ASSERT_TRUE(Grid->GetInplaceEditor());
    TInplaceEdit* editor = Grid->GetInplaceEditor();
    auto type = [&](const std::string& Text) {
        for (char ch : Text) editor->Perform(WM_CHAR, WPARAM(ch));
    };
    editor->SetSelStart(editor->GetTextLen());
    type("xyz");
    EXPECT_EQ(Grid->GetEditTextBuffer(), "N1xyz");
    EXPECT_TRUE(Grid->GetDataLink()->GetModified());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(table->FieldByName("Name")->GetAsString(), "N1");
    EXPECT_EQ(table->GetState(), TDataSetState::dsEdit);

    // A change of another field posts the pending text first.
    table->FieldByName("Price")->SetAsFloat(9);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(table->FieldByName("Name")->GetAsString(), "N1xyz");

    editor->SetSelStart(editor->GetTextLen());
    type("!");
    EXPECT_EQ(changes, 1);
    // Moving to another row posts the record, and the edit with it.
    table->Next();
    EXPECT_EQ(changes, 2);
    table->First();
    EXPECT_EQ(table->FieldByName("Name")->GetAsString(), "N1xyz!");
    EXPECT_FALSE(Grid->GetDataLink()->GetModified());
}


TEST_F(RecordWindowTest, ForceCustomizedKeepsTheColumnsTheFieldsMadeAtActivation) {
    auto table = MakeTable(3);
    Grid->SwitchOptionsExt({TVelDBGridOptionExt::dgForceCustomized}, true);
    Attach(table.get());
    // The columns are built from the fields first, then become the grid's own.
    EXPECT_EQ(Grid->GetColumns()->GetState(), TDBGridColumnsState::csCustomized);
    ASSERT_EQ(Grid->GetColumns()->Count(), 3);
    EXPECT_EQ(Grid->GetColumns()->GetColumn(2)->GetFieldName(), "Price");
    EXPECT_TRUE(Grid->GetDataLink()->GetSparseMap());
    // Customised columns outlive the dataset's fields.
    table->Close();
    EXPECT_EQ(Grid->GetColumns()->Count(), 3);
    EXPECT_EQ(Grid->GetColumns()->GetColumn(1)->GetFieldName(), "Name");
}

TEST_F(RecordWindowTest, FloatingNestedGridsGoWhenTheLinkChanges) {
    auto table = MakeTable(2);
    auto* floating = new TVelDBGrid(Grid);
    floating->SetName("Floating");
    floating->SetDragKind(TDragKind::dkDock);
    auto* kept = new TVelDBGrid(Grid);
    kept->SetName("Kept");
    Attach(table.get());
    EXPECT_EQ(Grid->FindComponent("Floating"), nullptr);
    EXPECT_EQ(Grid->FindComponent("Kept"), kept);
}

// A dataset that counts the rows it reads into record buffers.
template <class Base>
struct TCountingDataSet : Base {
    using Base::Base;
    int Fetches = 0;
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode Mode, bool DoCheck) override {
        ++Fetches;
        return Base::GetRecord(Buffer, Mode, DoCheck);
    }
};

// Opening, scrolling by a row and a page and jumping to the end each read about one screen
// of rows at most, however many rows the dataset has.
void CheckOneScreenWindow(TVelDBGrid* Grid, TDataSet* Data, int& Fetches) {
    TVelGridDataLink* link = Grid->GetDataLink();
    const int screen = link->GetBufferCount();
    ASSERT_GT(screen, 5);
    EXPECT_EQ(Data->GetBufferCount(), screen);
    EXPECT_LE(Fetches, screen + 2) << "open";

    Data->MoveBy(screen - 1);  // to the last row on screen: nothing to read
    Fetches = 0;
    Data->Next();  // one row scrolls in
    EXPECT_GE(Fetches, 1);
    EXPECT_LE(Fetches, 2) << "one row";
    EXPECT_EQ(Data->GetBufferCount(), screen);

    Fetches = 0;
    Data->MoveBy(screen);  // a page
    EXPECT_LE(Fetches, screen + 1) << "a page";
    EXPECT_EQ(Data->GetBufferCount(), screen);

    Fetches = 0;
    Data->Last();
    EXPECT_LE(Fetches, screen + 2) << "last";
    EXPECT_EQ(Data->GetBufferCount(), screen);
    EXPECT_EQ(Grid->GetRow(), Grid->GetTitleOffset() + screen - 1);
    EXPECT_TRUE(Data->GetEOF() || Data->GetRecNo() == Data->GetRecordCount());
}

TEST_F(RecordWindowTest, AMillionRowClientDataSetIsReadOneScreenAtATime) {
    TCountingDataSet<TClientDataSet> table;
    table.GetFieldDefs().Add("ID", TFieldType::ftInteger);
    table.GetFieldDefs().Add("Name", TFieldType::ftString, 12);
    table.CreateDataSet();
    table.DisableControls();
    for (int i = 1; i <= 1000000; ++i) {
        table.Append();
        table.GetFields()[0]->SetAsInteger(i);
        table.GetFields()[1]->SetAsString("R" + std::to_string(i));
        table.Post();
    }
    table.First();
    table.EnableControls();
    table.Fetches = 0;
    Attach(&table);
    CheckOneScreenWindow(Grid, &table, table.Fetches);
    EXPECT_EQ(table.FieldByName("ID")->GetAsInteger(), 1000000);
}

TEST_F(RecordWindowTest, AMillionRowQueryIsReadOneScreenAtATime) {
    TempDir dir;
    TSQLiteConnection conn;
    conn.SetFileName(dir.File("big.db"));
    conn.SetCreateIfMissing(true);
    conn.ExecSQL(
        "CREATE TABLE big (id INTEGER PRIMARY KEY, name VARCHAR(12));"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
        "INSERT INTO big SELECT i, 'R' || i FROM n;");
    TCountingDataSet<TQuery> query;
    query.SetConnection(&conn);
    query.GetSQL()->SetText("SELECT id, name FROM big ORDER BY id");
    Source->SetDataSet(&query);
    Grid->SetDataSource(Source);
    query.Open();
    CheckOneScreenWindow(Grid, &query, query.Fetches);
    EXPECT_EQ(query.FieldByName("id")->GetAsInteger(), 1000000);
    query.Close();
}

TEST_F(RecordWindowTest, AOneWayQueryIsRefusedAndEverythingStaysUsable) {
    TempDir dir;
    TSQLiteConnection conn;
    conn.SetFileName(dir.File("one.db"));
    conn.SetCreateIfMissing(true);
    conn.ExecSQL("CREATE TABLE t (id INTEGER); INSERT INTO t VALUES (1), (2), (3);");
    TQuery query;
    query.SetConnection(&conn);
    query.GetSQL()->SetText("SELECT id FROM t ORDER BY id");
    query.SetUniDirectional(true);
    query.Open();
    Source->SetDataSet(&query);
    // Given the source of an open one-way query: refused, the grid keeps no source.
    EXPECT_THROW(Grid->SetDataSource(Source), EDatabaseError);
    EXPECT_EQ(Grid->GetDataSource(), nullptr);
    query.Next();
    EXPECT_EQ(query.FieldByName("id")->GetAsInteger(), 2);

    // A closed one refused when its opening activates the grid's link.
    query.Close();
    query.SetUniDirectional(false);
    Grid->SetDataSource(Source);
    query.SetUniDirectional(true);
    EXPECT_THROW(query.Open(), EDatabaseError);
    // The query opened; the grid stays empty and reads nothing from it.
    EXPECT_TRUE(query.GetActive());
    EXPECT_EQ(DataRows(), 1);
    query.Next();
    EXPECT_EQ(query.FieldByName("id")->GetAsInteger(), 2);
    query.Close();

    // The same query with a scrolling cursor is shown.
    query.SetUniDirectional(false);
    query.Open();
    EXPECT_EQ(DataRows(), 3);
    EXPECT_EQ(Grid->GetColumns()->GetColumn(0)->GetFieldName(), "id");
}

}  // namespace
}  // namespace veltest
