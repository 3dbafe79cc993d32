// A grid over a query that reads its rows on demand: the record window crosses packets, goes
// to the end and back, and follows edits and a new order.
#include <vector>

#include "platform/db/sqlite/SQLDataSets.h"
#include "tests/grid/GridTestUtil.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace {

class GridFetchTest : public veltest::DBGridTest {
protected:
    GridFetchTest() {
        Conn.SetFileName(Dir.File("grid.db"));
        Conn.SetCreateIfMissing(true);
        Conn.ExecSQL(
            "CREATE TABLE items (id INTEGER PRIMARY KEY, name TEXT NOT NULL, grp INTEGER);"
            "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 1000) "
            "INSERT INTO items SELECT i, printf('item %04d', i), i % 7 FROM k;");
        Source = new TDataSource(Form.get());
        Form->Show();
    }
    ~GridFetchTest() override { Grid->SetDataSource(nullptr); }

    void Attach(TDataSet& ds) {
        Source->SetDataSet(&ds);
        Grid->SetDataSource(Source);
    }
    // The ids of the records in the grid's window, top to bottom.
    std::vector<int> Window(TDataSet& ds) {
        TVelGridDataLink* link = Grid->GetDataLink();
        const int active = link->GetActiveRecord();
        std::vector<int> ids;
        for (int i = 0; i < link->GetRecordCount(); ++i) {
            link->SetActiveRecord(i);
            ids.push_back(ds.FieldByName("id")->GetAsInteger());
        }
        link->SetActiveRecord(active);
        return ids;
    }
    static std::vector<int> Ids(int from, int count) {
        std::vector<int> v;
        for (int i = 0; i < count; ++i) v.push_back(from + i);
        return v;
    }
    int TopRow() const { return Grid->GetTitleOffset(); }

    veltest::TempDir Dir;
    TSQLiteConnection Conn;
    TDataSource* Source;
};

TEST_F(GridFetchTest, TheGridScrollsAPartlyReadQueryToTheEndAndBack) {
    TQuery q;
    q.SetConnection(&Conn);
    q.GetSQL()->SetText("SELECT id, name, grp FROM items");
    q.SetPacketRecords(4);
    q.Open();
    Attach(q);
    const int screen = Grid->GetDataLink()->GetBufferCount();
    ASSERT_GT(screen, 4);  // the first screen takes more than one packet
    EXPECT_EQ(Window(q), Ids(1, screen));
    EXPECT_TRUE(q.GetRowsPending());
    EXPECT_FALSE(q.IsSequenced());

    // Down past several packets, record by record: the window slides over rows as they come.
    for (int i = 0; i < 3 * screen; ++i) q.Next();
    EXPECT_EQ(q.FieldByName("id")->GetAsInteger(), 3 * screen + 1);
    EXPECT_EQ(q.GetRecNo(), 3 * screen + 1);
    EXPECT_EQ(Grid->GetRow(), TopRow() + screen - 1);
    EXPECT_EQ(Window(q), Ids(2 * screen + 2, screen));
    EXPECT_TRUE(q.GetRowsPending());

    q.Last();
    EXPECT_TRUE(q.IsSequenced());
    EXPECT_EQ(q.GetRecordCount(), 1000);
    EXPECT_EQ(Window(q), Ids(1001 - screen, screen));
    EXPECT_EQ(Grid->GetRow(), TopRow() + screen - 1);

    // Back up a page and to the start.
    EXPECT_EQ(q.MoveBy(-screen), -screen);
    EXPECT_EQ(q.GetRecNo(), 1000 - screen);
    EXPECT_EQ(Grid->GetRow(), TopRow());
    EXPECT_EQ(Window(q), Ids(1000 - screen, screen));
    q.First();
    EXPECT_EQ(Window(q), Ids(1, screen));
    EXPECT_EQ(Grid->GetRow(), TopRow());
}

TEST_F(GridFetchTest, ARecordOfALaterPacketIsEditedAndTheRowsReordered) {
    TTable t;
    t.SetConnection(&Conn);
    t.SetTableName("items");
    t.SetPacketRecords(4);
    t.Open();
    Attach(t);
    const int screen = Grid->GetDataLink()->GetBufferCount();
    t.MoveBy(149);
    ASSERT_EQ(t.FieldByName("id")->GetAsInteger(), 150);
    EXPECT_TRUE(t.GetRowsPending());
    t.Edit();
    t.FieldByName("name")->SetAsString("edited");
    t.Post();
    EXPECT_EQ(Window(t), Ids(151 - screen, screen));
    EXPECT_EQ(t.GetRecNo(), 150);
    {
        TSQLiteStatement back(Conn, "SELECT name FROM items WHERE id = 150");
        ASSERT_TRUE(back.Step());
        EXPECT_EQ(back.ColumnText(0), "edited");
    }

    // A new ORDER BY: read again as far as the record, which stays current and on show.
    t.SetIndexFieldNames("grp;id");
    EXPECT_EQ(t.FieldByName("id")->GetAsInteger(), 150);
    EXPECT_EQ(t.FieldByName("name")->GetAsString(), "edited");
    EXPECT_TRUE(t.GetRowsPending());
    const std::vector<int> window = Window(t);
    ASSERT_EQ(static_cast<int>(window.size()), screen);
    const int row = Grid->GetRow() - TopRow();
    EXPECT_EQ(window[static_cast<std::size_t>(row)], 150);
    // grp 3 (150 % 7) in id order around it.
    for (std::size_t i = 1; i < window.size(); ++i) {
        if (window[i - 1] % 7 == window[i] % 7) {
            EXPECT_EQ(window[i] - window[i - 1], 7);
        }
    }
    t.Last();
    EXPECT_EQ(t.FieldByName("id")->GetAsInteger(), 1000);
    EXPECT_EQ(t.GetRecordCount(), 1000);
}

}  // namespace
