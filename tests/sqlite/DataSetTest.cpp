// SQL datasets over a real database file: ordering by each family's means, posting back,
// failures, and the properties the grid reads by name.
#include "platform/classes/PropAccess.h"
#include "platform/db/DBTypes.h"
#include "platform/rtl/DateTime.h"
#include "tests/sqlite/SqliteTestUtil.h"

using namespace vel;
using veltest::SqliteFixture;

namespace {
std::vector<std::string> V(std::initializer_list<const char*> l) {
    return {l.begin(), l.end()};
}
}  // namespace

TEST_F(SqliteFixture, QueryOrderByRewriteReopensInTheNewOrder) {
    TQuery q;
    q.SetConnection(Conn.get());
    q.GetSQL()->Add("SELECT id, name, salary FROM people");
    q.GetSQL()->Add("ORDER BY name");
    q.Open();
    EXPECT_EQ(Names(q), V({"Alice", "Bob", "Carol", "alice"}));
    // Replacing the clause closes the query; opening runs the new text.
    q.GetSQL()->Put(1, "ORDER BY salary DESC, id");
    EXPECT_FALSE(q.GetActive());
    q.Open();
    EXPECT_EQ(Names(q), V({"Alice", "Carol", "alice", "Bob"}));  // NULL sorts last descending
    EXPECT_EQ(q.ClassName(), "TQuery");
}

TEST_F(SqliteFixture, ColumnsGetTypesFromDeclarationsOrFromValues) {
    TQuery q;
    q.SetConnection(Conn.get());
    q.GetSQL()->SetText(
        "SELECT p.*, count(*) OVER () AS n, name || '!' AS shout, 1.5 AS half, NULL AS nada, "
        "p.id AS id FROM people p ORDER BY p.id");
    q.Open();
    using enum TFieldType;
    EXPECT_EQ(q.FieldByName("id")->GetDataType(), ftInteger);
    EXPECT_EQ(q.FieldByName("name")->GetDataType(), ftString);
    EXPECT_EQ(q.FieldByName("name")->GetSize(), 160);  // 40 characters in UTF-8
    EXPECT_EQ(q.FieldByName("born")->GetDataType(), ftDate);
    EXPECT_EQ(q.FieldByName("salary")->GetDataType(), ftBCD);
    EXPECT_EQ(q.FieldByName("active")->GetDataType(), ftBoolean);
    EXPECT_EQ(q.FieldByName("photo")->GetDataType(), ftBlob);
    EXPECT_EQ(q.FieldByName("n")->GetDataType(), ftLargeint);
    EXPECT_EQ(q.FieldByName("shout")->GetDataType(), ftString);
    EXPECT_EQ(q.FieldByName("half")->GetDataType(), ftFloat);
    EXPECT_EQ(q.FieldByName("nada")->GetDataType(), ftString);
    EXPECT_NE(q.FindField("id_1"), nullptr);  // a repeated name gets a suffix

    EXPECT_EQ(q.FieldByName("born")->GetAsDateTime(), EncodeDate(1980, 5, 17));
    EXPECT_EQ(q.FieldByName("salary")->GetAsCurrency(), Currency::FromScaled(12005000));
    EXPECT_TRUE(q.FieldByName("active")->GetAsBoolean());
    EXPECT_TRUE(q.FieldByName("note")->IsNull());
    EXPECT_EQ(q.FieldByName("shout")->GetAsString(), "Carol!");
    q.Next();
    q.Next();
    EXPECT_EQ(q.FieldByName("photo")->GetAsString(), std::string("\x00\xFF\x10", 3));
    EXPECT_TRUE(q.FieldByName("salary")->IsNull());
    // Rows come from one table with its key, so they can be edited; expressions cannot.
    EXPECT_TRUE(q.GetCanModify());
    EXPECT_TRUE(q.FieldByName("shout")->GetReadOnly());
    EXPECT_FALSE(q.FieldByName("name")->GetReadOnly());
}

TEST_F(SqliteFixture, TableIndexFieldNamesBecomeTheOrderBy) {
    TTable t;
    t.SetConnection(Conn.get());
    t.SetTableName("people");
    t.SetIndexFieldNames("born;name");
    EXPECT_EQ(t.GetSelectSQL(), "SELECT * FROM \"people\" ORDER BY \"born\", \"name\"");
    t.Open();
    EXPECT_EQ(Names(t), V({"alice", "Carol", "Alice", "Bob"}));
    // Reordering an open table keeps the current record.
    t.First();
    t.Next();
    ASSERT_EQ(t.FieldByName("name")->GetAsString(), "Carol");
    t.SetIndexFieldNames("name");
    EXPECT_TRUE(t.GetActive());
    EXPECT_EQ(t.FieldByName("name")->GetAsString(), "Carol");
    EXPECT_EQ(Names(t), V({"Alice", "Bob", "Carol", "alice"}));
    EXPECT_THROW(t.SetIndexFieldNames("nosuch"), EDatabaseError);
    EXPECT_EQ(t.GetIndexFieldNames(), "name");
    // By name, as the grid's ordering does it.
    SetStrProp(&t, "IndexFieldNames", "salary");
    EXPECT_EQ(Names(t), V({"Bob", "alice", "Carol", "Alice"}));
    SetStrProp(&t, "TableName", "other");
    EXPECT_FALSE(t.GetActive());
}

TEST_F(SqliteFixture, AdoClientSortOrdersInPlaceKeepingBookmarks) {
    TADODataSet d;
    d.SetConnection(Conn.get());
    d.SetCommandText("SELECT * FROM people");
    d.Open();
    d.First();
    d.Next();  // alice
    TBookmark alice = d.GetBookmark();
    d.Last();  // Alice
    TBookmark bigAlice = d.GetBookmark();
    int opens = 0;
    d.SetAfterOpen([&](TDataSet*) { ++opens; });

    d.SetSort("active, born DESC");
    EXPECT_EQ(Names(d), V({"Alice", "alice", "Bob", "Carol"}));
    d.SetSort("[name] ASC, born DESC");
    EXPECT_EQ(Names(d), V({"Alice", "Bob", "Carol", "alice"}));
    EXPECT_EQ(opens, 0);  // sorted where the rows are
    EXPECT_TRUE(d.BookmarkValid(alice));
    d.GotoBookmark(alice);
    EXPECT_EQ(d.FieldByName("name")->GetAsString(), "alice");
    EXPECT_EQ(d.CompareBookmarks(bigAlice, alice), -1);
    EXPECT_THROW(d.SetSort("nosuch DESC"), EDatabaseError);
    EXPECT_EQ(d.GetSort(), "[name] ASC, born DESC");
    d.SetSort("");
    EXPECT_EQ(Names(d), V({"Carol", "alice", "Bob", "Alice"}));

    // Sort with a server cursor is refused; the cursor location needs a closed dataset.
    EXPECT_THROW(d.SetCursorLocation(TCursorLocation::clUseServer), EDatabaseError);
    d.Close();
    d.SetCursorLocation(TCursorLocation::clUseServer);
    d.Open();
    EXPECT_THROW(d.SetSort("name"), EDatabaseError);
}

TEST_F(SqliteFixture, AdoFamilyReadsCommandsAndTables) {
    TADOConnection c;
    c.SetConnectionString("Provider=SQLite;Data Source=" + Path + ";Mode=Read");
    EXPECT_EQ(c.GetFileName(), Path);
    EXPECT_TRUE(c.GetReadOnly());
    TADOTable t;
    t.SetConnection(&c);
    t.SetTableName("people");
    t.SetIndexFieldNames("name");
    t.Open();
    EXPECT_EQ(Names(t), V({"Alice", "Bob", "Carol", "alice"}));
    EXPECT_EQ(t.ClassName(), "TADOTable");
    TADOQuery q;
    q.SetConnection(&c);
    q.GetSQL()->SetText("SELECT name FROM people WHERE salary > :min ORDER BY salary");
    q.GetParameters().ParamByName("min").SetAsFloat(1000);
    q.Open();
    EXPECT_EQ(Names(q), V({"Carol", "Alice"}));
    q.SetSort("name DESC");
    EXPECT_EQ(Names(q), V({"Carol", "Alice"}));
    // A read-only connection refuses the post with SQLite's message.
    TADODataSet d;
    d.SetConnection(&c);
    d.SetCommandType(TCommandType::cmdTable);
    d.SetCommandText("people");
    d.Open();
    d.Edit();
    d.FieldByName("name")->SetAsString("Caroline");
    EXPECT_THROW(d.Post(), EDatabaseError);
    EXPECT_EQ(d.GetState(), TDataSetState::dsEdit);
}

TEST_F(SqliteFixture, PublishedPropertiesAnswerByName) {
    TQuery q;
    TTable t;
    TADODataSet d;
    TADOQuery aq;
    TADOTable at;
    for (TObject* o : std::initializer_list<TObject*>{&q, &aq}) {
        auto* sql = dynamic_cast<TStrings*>(GetObjectProp(o, "SQL"));
        ASSERT_NE(sql, nullptr) << o->ClassName();
        EXPECT_TRUE(IsPublishedProp(o, "Connection"));
    }
    for (TObject* o : std::initializer_list<TObject*>{&t, &at}) {
        EXPECT_TRUE(IsPublishedProp(o, "IndexFieldNames")) << o->ClassName();
        EXPECT_TRUE(IsPublishedProp(o, "TableName")) << o->ClassName();
    }
    // What the ADO validity tests read.
    EXPECT_EQ(GetEnumProp(&d, "CursorLocation"), "clUseClient");
    EXPECT_EQ(GetEnumProp(&d, "CommandType"), "cmdText");
    EXPECT_EQ(GetStrProp(&d, "CommandText"), "");
    EXPECT_EQ(GetEnumProp(&aq, "CursorLocation"), "clUseClient");
    EXPECT_TRUE(IsPublishedProp(&aq, "Sort"));
    EXPECT_FALSE(IsPublishedProp(&t, "SQL"));
    // Only the classic names: the in-memory table's own stay with its faces.
    for (TObject* o : std::initializer_list<TObject*>{&q, &t, &d, &aq, &at})
        for (const char* p : {"IndexName", "IndexDefs", "FileName"})
            EXPECT_FALSE(IsPublishedProp(o, p)) << o->ClassName() << "." << p;
    for (TObject* o : std::initializer_list<TObject*>{&q, &t, &aq})
        EXPECT_FALSE(IsPublishedProp(o, "CommandText")) << o->ClassName();
    EXPECT_FALSE(IsPublishedProp(&q, "IndexFieldNames"));
    EXPECT_FALSE(IsPublishedProp(&aq, "MasterFields"));
    SetEnumProp(&d, "CursorLocation", "clUseServer");
    EXPECT_EQ(d.GetCursorLocation(), TCursorLocation::clUseServer);
    SetEnumProp(&d, "CommandType", "cmdTable");
    EXPECT_EQ(GetEnumProp(&d, "CommandType"), "cmdTable");

    // Writing the command of an open dataset by name closes it; reopening runs the new text.
    SetObjectProp(&d, "Connection", Conn.get());
    SetEnumProp(&d, "CommandType", "cmdText");
    SetStrProp(&d, "CommandText", "SELECT name FROM people ORDER BY id");
    d.Open();
    SetStrProp(&d, "CommandText", "SELECT name FROM people ORDER BY id DESC");
    EXPECT_FALSE(d.GetActive());
    d.Open();
    EXPECT_EQ(Names(d), V({"Alice", "Bob", "alice", "Carol"}));
    EXPECT_EQ(q.ClassName(), "TQuery");
    EXPECT_EQ(t.ClassName(), "TTable");
    EXPECT_EQ(d.ClassName(), "TADODataSet");
    EXPECT_EQ(aq.ClassName(), "TADOQuery");
    EXPECT_TRUE(aq.InheritsFrom("TCustomADODataSet"));
}

TEST_F(SqliteFixture, EditsInsertsAndDeletesSurviveReopening) {
    const std::string tricky = "O'Brien \"Bob\"; DROP TABLE people; --";  // fits VARCHAR(40)
    const std::string trickier =
        "x' OR '1'='1'; DELETE FROM people WHERE ''=''; /* :name ? %_\\ */ SELECT";
    {
        TTable t;
        t.SetConnection(Conn.get());
        t.SetTableName("people");
        t.SetIndexFieldNames("id");
        t.Open();
        t.Edit();
        t.FieldByName("name")->SetAsString(tricky);
        t.FieldByName("note")->SetAsString(trickier);
        t.FieldByName("salary")->SetAsCurrency(Currency::FromScaled(77775000));
        t.FieldByName("born")->SetAsDateTime(EncodeDate(2001, 9, 9));
        t.Post();
        t.Append();
        t.FieldByName("name")->SetAsString("Dora");
        t.FieldByName("active")->SetAsBoolean(false);
        t.Post();
        EXPECT_EQ(t.FieldByName("id")->GetAsInteger(), 5);  // the row id came back
        t.First();
        t.Next();
        ASSERT_EQ(t.FieldByName("name")->GetAsString(), "alice");
        t.Delete();
        EXPECT_EQ(t.GetRecordCount(), 4);
    }
    EXPECT_EQ(ReadBack("SELECT name FROM people WHERE id = 1"), tricky);
    EXPECT_EQ(ReadBack("SELECT note FROM people WHERE id = 1"), trickier);
    EXPECT_EQ(ReadBack("SELECT born FROM people WHERE id = 1"), "2001-09-09");
    EXPECT_EQ(ReadBack("SELECT salary FROM people WHERE id = 1"), "7777.5");
    EXPECT_EQ(ReadBack("SELECT count(*) FROM people WHERE id = 2"), "0");
    TQuery q;
    q.SetConnection(Conn.get());
    q.GetSQL()->SetText("SELECT id, name, active FROM people ORDER BY id");
    q.Open();
    EXPECT_EQ(q.GetRecordCount(), 4);
    EXPECT_EQ(Names(q), (std::vector<std::string>{tricky, "Bob", "Alice", "Dora"}));
    q.Last();
    EXPECT_FALSE(q.FieldByName("active")->GetAsBoolean());
    EXPECT_FALSE(q.FieldByName("active")->IsNull());
}

TEST_F(SqliteFixture, RefusedPostRaisesAndKeepsTheUsersValues) {
    TADODataSet d;
    d.SetConnection(Conn.get());
    d.SetCommandText("SELECT * FROM people ORDER BY id");
    d.Open();
    d.Edit();
    d.FieldByName("name")->SetAsString("Bob");  // taken by another row
    d.FieldByName("salary")->SetAsFloat(10.25);
    try {
        d.Post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("UNIQUE constraint failed"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(d.GetState(), TDataSetState::dsEdit);
    EXPECT_EQ(d.FieldByName("name")->GetAsString(), "Bob");
    EXPECT_EQ(d.FieldByName("salary")->GetAsCurrency(), Currency::FromScaled(102500));
    // Fixing the value lets the same edit through.
    d.FieldByName("name")->SetAsString("Caro");
    d.FieldByName("salary")->SetAsFloat(-1);
    EXPECT_THROW(d.Post(), EDatabaseError);  // CHECK constraint
    EXPECT_EQ(d.FieldByName("name")->GetAsString(), "Caro");
    d.FieldByName("salary")->SetAsFloat(5);
    d.Post();
    EXPECT_EQ(ReadBack("SELECT name || '/' || salary FROM people WHERE id = 1"), "Caro/5");

    // Another connection holding the write lock: the post fails, nothing is lost.
    TSQLiteConnection other;
    other.SetFileName(Path);
    other.StartTransaction();
    Conn->SetBusyTimeout(0);
    d.Edit();
    d.FieldByName("note")->SetAsString("typed while locked");
    try {
        d.Post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("locked"), std::string::npos) << e.what();
    }
    EXPECT_EQ(d.FieldByName("note")->GetAsString(), "typed while locked");
    other.Rollback();
    d.Post();
    EXPECT_EQ(ReadBack("SELECT note FROM people WHERE id = 1"), "typed while locked");

    // An insert missing a NOT NULL column is refused before SQLite sees it.
    d.Append();
    EXPECT_THROW(d.Post(), EDatabaseError);
    EXPECT_EQ(d.GetState(), TDataSetState::dsInsert);
    d.Cancel();
}

TEST_F(SqliteFixture, ReadOnlyResultsRefuseEditing) {
    TQuery q;
    q.SetConnection(Conn.get());
    q.GetSQL()->SetText("SELECT name, count(*) AS n FROM people GROUP BY name");
    q.Open();
    EXPECT_FALSE(q.GetCanModify());
    EXPECT_THROW(q.Edit(), EDatabaseError);
    q.Close();
    Conn->ExecSQL("CREATE TABLE other (k INTEGER PRIMARY KEY, v TEXT)");
    q.GetSQL()->SetText("SELECT p.name, o.v FROM people p JOIN other o ON o.k = p.id");
    q.Open();
    EXPECT_FALSE(q.GetCanModify());
}

TEST_F(SqliteFixture, FailuresLeaveTheDatasetClosed) {
    TQuery q;
    EXPECT_THROW(q.Open(), EDatabaseError);  // no connection
    q.SetConnection(Conn.get());
    q.GetSQL()->SetText("SELECT * FROM peple");
    try {
        q.Open();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("SELECT * FROM peple"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(q.GetActive());
    q.GetSQL()->SetText("SELECT * FROM people WHERE id = :id");
    EXPECT_EQ(q.GetParams().Count(), 1);
    q.ParamByName("id").SetAsInteger(3);
    q.Open();
    EXPECT_EQ(Names(q), V({"Bob"}));

    TSQLiteConnection missing;
    missing.SetFileName(Dir.File("nowhere.db"));
    TTable t;
    t.SetConnection(&missing);
    t.SetTableName("people");
    try {
        t.Open();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("nowhere.db"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(t.GetActive());
}

TEST_F(SqliteFixture, ClosingTheConnectionClosesItsDatasets) {
    TQuery q;
    q.SetConnection(Conn.get());
    q.GetSQL()->SetText("SELECT * FROM people");
    q.Open();
    Conn->Close();
    EXPECT_FALSE(q.GetActive());
    {
        auto c = std::make_unique<TSQLiteConnection>();
        c->SetFileName(Path);
        q.SetConnection(c.get());
        q.Open();
    }
    EXPECT_EQ(q.GetConnection(), nullptr);
    EXPECT_FALSE(q.GetActive());
}

TEST_F(SqliteFixture, FiltersWorkOnSqlRows) {
    TADOQuery q;
    q.SetConnection(Conn.get());
    q.GetSQL()->SetText("SELECT * FROM people ORDER BY id");
    q.Open();
    q.SetFilter("salary > 1000");
    q.SetFiltered(true);
    EXPECT_EQ(Names(q), V({"Carol", "Alice"}));
    q.SetFilter("");
    q.SetOnFilterRecord(
        [](TDataSet* ds, bool& accept) { accept = ds->FieldByName("note")->IsNull(); });
    EXPECT_EQ(Names(q), V({"Carol", "Bob"}));
}
