// The grid over its dataset: the field map, the layout lock and its deferral, the record
// window that buffers exactly one screen of rows, and the in-place editor's text, which
// reaches the field only when the edit is posted.
#include <stdexcept>

#include "platform/classes/Errors.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Input.h"
#include "platform/db/DBTypes.h"
#include "platform/db/Fields.h"
#include "tests/grid/ColumnTestUtil.h"
#include "tests/grid/GridTestUtil.h"

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

}  // namespace
}  // namespace veltest
