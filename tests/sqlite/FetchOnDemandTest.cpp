// Reading on demand: packets read as the cursor needs them, counts and record numbers that are
// true at every moment, writing into a partly read set, and one rule for the column types.
#include <sqlite3.h>

#include "platform/classes/PropAccess.h"
#include "platform/db/DBTypes.h"
#include "platform/db/DataSource.h"
#include "tests/sqlite/SqliteTestUtil.h"

using namespace vel;

namespace {

class FetchTest : public veltest::SqliteFixture {
protected:
    void SetUp() override {
        SqliteFixture::SetUp();
        Conn->ExecSQL(
            "CREATE TABLE items (id INTEGER PRIMARY KEY, name TEXT NOT NULL, grp INTEGER);"
            "CREATE TABLE notes (body TEXT, n INTEGER);"
            "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 1000) "
            "INSERT INTO items SELECT i, printf('item %04d', i), i % 7 FROM k;"
            "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 1000) "
            "INSERT INTO notes SELECT 'note ' || i, i FROM k;");
        // stepped(x) is x, counting the rows SQLite produced.
        sqlite3_create_function(
            Conn->Handle(), "stepped", 1, SQLITE_UTF8, &Stepped,
            [](sqlite3_context* c, int, sqlite3_value** v) {
                ++*static_cast<int*>(sqlite3_user_data(c));
                sqlite3_result_value(c, v[0]);
            },
            nullptr, nullptr);
    }

    // A query over items whose rows count themselves as SQLite produces them.
    void Counted(TQuery& q) {
        q.SetConnection(Conn.get());
        q.GetSQL()->SetText("SELECT id, name, grp FROM items WHERE stepped(id)");
    }
    static int Id(TDataSet& ds) { return ds.FieldByName("id")->GetAsInteger(); }

    int Stepped = 0;
};

TEST_F(FetchTest, ScrollingToTheEndAndBackReadsPacketByPacket) {
    TQuery q;
    Counted(q);
    q.SetPacketRecords(100);
    q.Open();
    EXPECT_EQ(Stepped, 100);
    EXPECT_TRUE(q.GetRowsPending());
    EXPECT_FALSE(q.IsSequenced());  // how many there are is not known yet
    EXPECT_EQ(q.GetRecNo(), 1);

    // Passing the last row read reads the next packet, once.
    EXPECT_EQ(q.MoveBy(149), 149);
    EXPECT_EQ(Id(q), 150);
    EXPECT_EQ(q.GetRecNo(), 150);
    EXPECT_EQ(Stepped, 200);
    q.Prior();
    q.Next();
    EXPECT_EQ(Stepped, 200);

    q.Last();
    EXPECT_EQ(Stepped, 1000);
    EXPECT_FALSE(q.GetRowsPending());
    EXPECT_TRUE(q.IsSequenced());
    EXPECT_EQ(q.GetRecNo(), 1000);
    EXPECT_EQ(q.GetRecordCount(), 1000);
    EXPECT_TRUE(q.GetEOF());

    // Back to the start: every record once, in order, numbered by its place.
    int id = 1000;
    for (;;) {
        ASSERT_EQ(Id(q), id);
        ASSERT_EQ(q.GetRecNo(), id);
        q.Prior();
        if (q.GetBOF()) break;
        --id;
    }
    EXPECT_EQ(id, 1);
    EXPECT_EQ(Stepped, 1000);
}

TEST_F(FetchTest, RecNoLocateAndFiltersReadOnlyAsFarAsTheyMust) {
    TQuery q;
    Counted(q);
    q.Open();
    EXPECT_EQ(q.GetPacketRecords(), 50);
    EXPECT_EQ(Stepped, 50);
    q.SetRecNo(120);
    EXPECT_EQ(Id(q), 120);
    EXPECT_EQ(q.GetRecNo(), 120);
    EXPECT_EQ(Stepped, 150);
    ASSERT_TRUE(q.Locate("name", Variant("item 0321"), {}));
    EXPECT_EQ(q.GetRecNo(), 321);
    EXPECT_EQ(Stepped, 350);
    // Finding nothing takes every row; the cursor stays.
    EXPECT_FALSE(q.Locate("name", Variant("nothing"), {}));
    EXPECT_EQ(Stepped, 1000);
    EXPECT_EQ(q.GetRecNo(), 321);

    // A filter applies to rows read later as they arrive; record numbers count what passes.
    TQuery f;
    Counted(f);
    f.Open();
    f.SetFilter("grp = 3");
    f.SetFiltered(true);
    EXPECT_EQ(Id(f), 3);
    EXPECT_EQ(f.MoveBy(19), 19);
    EXPECT_EQ(Id(f), 3 + 7 * 19);
    EXPECT_EQ(f.GetRecNo(), 20);
    EXPECT_TRUE(f.GetRowsPending());
    EXPECT_EQ(f.GetRecordCount(), 143);
    EXPECT_EQ(f.GetRecNo(), 20);
    f.Last();
    EXPECT_EQ(Id(f), 997);
    EXPECT_EQ(f.GetRecNo(), 143);

    // RecordCount reads everything and leaves the cursor where it was.
    TQuery c;
    Counted(c);
    c.Open();
    c.Next();
    EXPECT_EQ(c.GetRecordCount(), 1000);
    EXPECT_EQ(c.GetRecNo(), 2);
    EXPECT_TRUE(c.IsSequenced());
}

TEST_F(FetchTest, RecordsOfALaterPacketAreEditedPostedAndDeleted) {
    // By key: the rest is read before the record is written, so the write is committed at
    // once (SQLite commits it only when no statement of the connection is running).
    TQuery q;
    Counted(q);
    q.Open();
    q.MoveBy(119);
    ASSERT_EQ(Id(q), 120);
    q.Edit();
    EXPECT_FALSE(q.GetRowsPending());
    q.FieldByName("name")->SetAsString("changed");
    q.Post();
    EXPECT_EQ(ReadBack("SELECT name FROM items WHERE id = 120"), "changed");
    EXPECT_EQ(q.GetRecNo(), 120);
    EXPECT_EQ(q.GetRecordCount(), 1000);  // no row twice

    // By row id (no key in the table): edit, insert and delete.
    TQuery n;
    n.SetConnection(Conn.get());
    n.GetSQL()->SetText("SELECT body, n FROM notes");
    n.Open();
    ASSERT_TRUE(n.Locate("n", Variant(170), {}));
    EXPECT_TRUE(n.GetRowsPending());
    n.Edit();
    n.FieldByName("body")->SetAsString("edited");
    n.Post();
    EXPECT_EQ(ReadBack("SELECT body FROM notes WHERE n = 170"), "edited");
    n.Next();
    n.Delete();
    EXPECT_EQ(ReadBack("SELECT count(*) FROM notes WHERE n = 171"), "0");
    EXPECT_EQ(n.FieldByName("n")->GetAsInteger(), 172);
    n.Append();
    n.FieldByName("body")->SetAsString("appended");
    n.FieldByName("n")->SetAsInteger(2000);
    n.Post();
    EXPECT_EQ(ReadBack("SELECT count(*) FROM notes WHERE body = 'appended'"), "1");
    EXPECT_EQ(n.GetRecordCount(), 1000);

    // Cached: posts stay in memory, so nothing more is read until the changes are applied.
    TTable t;
    t.SetConnection(Conn.get());
    t.SetTableName("items");
    t.SetCachedUpdates(true);
    t.Open();
    t.MoveBy(129);
    t.Edit();
    t.FieldByName("grp")->SetAsInteger(100);
    t.Post();
    EXPECT_TRUE(t.GetRowsPending());
    EXPECT_EQ(t.GetRecNo(), 130);
    t.MoveBy(60);
    EXPECT_EQ(Id(t), 190);
    t.ApplyUpdates();
    EXPECT_EQ(ReadBack("SELECT grp FROM items WHERE id = 130"), "100");
    EXPECT_EQ(t.GetRecordCount(), 1000);
    EXPECT_EQ(Id(t), 190);
}

TEST_F(FetchTest, OrderingAPartlyReadSet) {
    // A rewritten ORDER BY reads only as far as the record that stays current.
    TTable t;
    t.SetConnection(Conn.get());
    t.SetTableName("items");
    t.Open();
    t.MoveBy(129);
    ASSERT_EQ(Id(t), 130);
    t.SetIndexFieldNames("grp;id");
    EXPECT_EQ(Id(t), 130);
    // grp 0 to 3 come first (142 + 3 * 143 rows), then 4, 11, … 130 in grp 4.
    EXPECT_EQ(t.GetRecNo(), 142 + 3 * 143 + 19);
    EXPECT_TRUE(t.GetRowsPending());
    t.Last();
    EXPECT_EQ(Id(t), 1000);  // 1000 % 7 = 6
    EXPECT_EQ(t.GetRecordCount(), 1000);

    // A client-side order needs every row.
    TADOQuery a;
    a.SetConnection(Conn.get());
    a.GetSQL()->SetText("SELECT id, name, grp FROM items");
    a.Open();
    a.MoveBy(9);
    ASSERT_EQ(Id(a), 10);
    a.SetSort("grp DESC, id");
    EXPECT_FALSE(a.GetRowsPending());
    EXPECT_TRUE(a.IsSequenced());
    EXPECT_EQ(Id(a), 10);  // still the current record
    a.First();
    EXPECT_EQ(Id(a), 6);
    a.Last();
    EXPECT_EQ(Id(a), 994);
}

TEST_F(FetchTest, AStatementStillReadingIsFinishedBeforeAnythingIsWritten) {
    TQuery q;
    Counted(q);
    q.Open();
    EXPECT_NE(sqlite3_next_stmt(Conn->Handle(), nullptr), nullptr);
    // The running statement keeps the file's read lock: another program cannot write.
    TSQLiteConnection other;
    other.SetFileName(Path);
    other.SetBusyTimeout(0);
    EXPECT_THROW(other.ExecSQL("UPDATE items SET grp = 0 WHERE id = 1"), EDatabaseError);
    // Closing a partly read query finalises its statement.
    q.Close();
    EXPECT_EQ(sqlite3_next_stmt(Conn->Handle(), nullptr), nullptr);
    other.ExecSQL("UPDATE items SET grp = 0 WHERE id = 1");
    other.Close();

    // A statement of the connection's own reads the rest first, and is committed at once.
    q.Open();
    Conn->ExecSQL("UPDATE items SET grp = 9 WHERE id = 2");
    EXPECT_FALSE(q.GetRowsPending());
    EXPECT_EQ(sqlite3_next_stmt(Conn->Handle(), nullptr), nullptr);
    EXPECT_EQ(ReadBack("SELECT grp FROM items WHERE id = 2"), "9");
    EXPECT_EQ(q.GetRecordCount(), 1000);
}

TEST_F(FetchTest, PacketSettings) {
    TQuery q;
    Counted(q);
    EXPECT_THROW(q.SetPacketRecords(0), EDatabaseError);
    EXPECT_THROW(q.SetPacketRecords(-2), EDatabaseError);
    EXPECT_EQ(q.GetPacketRecords(), 50);
    SetOrdProp(&q, "PacketRecords", -1);  // every row at Open: a snapshot
    q.Open();
    EXPECT_EQ(Stepped, 1000);
    EXPECT_FALSE(q.GetRowsPending());
    EXPECT_TRUE(q.IsSequenced());
    q.Close();

    // Without reading on demand the dataset is what was read; GetNextPacket reads more.
    Stepped = 0;
    q.SetPacketRecords(100);
    SetOrdProp(&q, "FetchOnDemand", 0);
    q.Open();
    q.Last();
    EXPECT_EQ(Id(q), 100);
    EXPECT_EQ(q.GetRecordCount(), 100);
    EXPECT_TRUE(q.IsSequenced());
    EXPECT_TRUE(q.GetRowsPending());
    EXPECT_EQ(q.GetNextPacket(), 100);
    EXPECT_EQ(Id(q), 100);  // the current record stays
    EXPECT_EQ(q.GetRecordCount(), 200);
    q.SetFetchOnDemand(true);
    EXPECT_FALSE(q.IsSequenced());
    q.Last();
    EXPECT_EQ(q.GetRecNo(), 1000);
    EXPECT_EQ(q.GetNextPacket(), 0);
    EXPECT_EQ(Stepped, 1000);
}

TEST_F(FetchTest, ADetailReadsOnDemandForEachMasterRecord) {
    TQuery master;
    master.SetConnection(Conn.get());
    master.GetSQL()->SetText("SELECT DISTINCT grp FROM items ORDER BY grp");
    master.Open();
    TDataSource src;
    src.SetDataSet(&master);
    TQuery detail;
    detail.SetConnection(Conn.get());
    detail.GetSQL()->SetText("SELECT id, grp FROM items WHERE grp = :grp ORDER BY id");
    detail.SetDataSource(&src);
    detail.Open();
    EXPECT_TRUE(detail.GetRowsPending());
    EXPECT_EQ(detail.GetRecordCount(), 142);  // grp 0: 7, 14, … 994
    master.Next();
    EXPECT_TRUE(detail.GetRowsPending());
    EXPECT_EQ(Id(detail), 1);
    detail.MoveBy(99);
    EXPECT_EQ(Id(detail), 1 + 7 * 99);
    detail.Edit();
    detail.FieldByName("id")->SetAsInteger(5000);
    detail.Post();
    EXPECT_EQ(ReadBack("SELECT grp FROM items WHERE id = 5000"), "1");
    EXPECT_EQ(detail.GetRecordCount(), 143);
}

TEST_F(FetchTest, TextColumnsGetOneTypeWhateverTheCursor) {
    const std::string longText(9000, 'x');
    Conn->ExecSQL(
        "CREATE TABLE kinds (a TEXT, b VARCHAR(5), c, d MEMO, e BLOB);"
        "INSERT INTO kinds VALUES ('text', 'h\xC3\xA9llo', 'undeclared', 'memo', x'01');"
        "INSERT INTO kinds VALUES ('" + longText + "', '1234567890123456789012', 42, 'm', NULL);"
        // Columns without a declared type are typed from the first 256 rows; more follow.
        "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 300) "
        "INSERT INTO kinds SELECT 'f', 'f', i, 'f', NULL FROM k;");
    for (const std::string sql :
         {"SELECT * FROM kinds", "SELECT a || '' AS s, upper(b) AS u, c FROM kinds"}) {
        SCOPED_TRACE(sql);
        const bool declared = sql == "SELECT * FROM kinds";
        TQuery snapshot, partly, uni;
        for (TQuery* q : {&snapshot, &partly, &uni}) {
            q->SetConnection(Conn.get());
            q->GetSQL()->SetText(sql);
        }
        snapshot.SetPacketRecords(-1);
        partly.SetPacketRecords(1);
        uni.SetUniDirectional(true);
        for (TQuery* q : {&snapshot, &partly, &uni}) q->Open();
        EXPECT_TRUE(partly.GetRowsPending());
        ASSERT_EQ(uni.GetFieldCount(), snapshot.GetFieldCount());
        for (int i = 0; i < snapshot.GetFieldCount(); ++i) {
            TField* f = snapshot.GetFields()[i];
            for (TQuery* q : {&partly, &uni}) {
                EXPECT_EQ(q->GetFields()[i]->GetDataType(), f->GetDataType()) << f->GetFieldName();
                EXPECT_EQ(q->GetFields()[i]->GetSize(), f->GetSize()) << f->GetFieldName();
            }
        }
        // Text, declared or not, is a string field; a declared size is room for that many
        // characters.
        TField* first = snapshot.GetFields()[0];
        EXPECT_EQ(first->GetDataType(), TFieldType::ftString);
        EXPECT_EQ(first->GetDisplayText(), "text");
        EXPECT_EQ(snapshot.GetFields()[1]->GetDataType(), TFieldType::ftString);
        EXPECT_EQ(snapshot.GetFields()[1]->GetSize(), declared ? 20 : 8192);
        EXPECT_EQ(snapshot.GetFields()[2]->GetDataType(), TFieldType::ftString);
        if (declared) {
            EXPECT_EQ(snapshot.GetFields()[3]->GetDataType(), TFieldType::ftMemo);
            EXPECT_EQ(snapshot.GetFields()[4]->GetDataType(), TFieldType::ftBlob);
        }
        // Longer text than the field holds reads Null and stays whole as the raw value, in
        // every cursor.
        for (TQuery* q : {&snapshot, &partly, &uni}) {
            q->Next();
            TField* a = q->GetFields()[0];
            EXPECT_TRUE(a->IsNull());
            EXPECT_EQ(a->GetRawValue().AsString(), longText);
            EXPECT_EQ(q->GetFields()[1]->IsNull(), declared);
            EXPECT_EQ(q->GetFields()[2]->GetAsString(), "42");
        }
    }
}

TEST_F(FetchTest, PersistentFieldsForSomeColumnsReadEveryPacketIntoTheirOwnColumns) {
    // Fields for two of the three columns, in another order: the rows of later packets go
    // where the fields read them, as the first packet's do.
    for (bool oneWay : {false, true}) {
        TQuery q;
        q.SetConnection(Conn.get());
        q.SetUniDirectional(oneWay);
        q.SetPacketRecords(10);
        q.GetSQL()->SetText("SELECT id, name, grp FROM items ORDER BY id");
        auto* grp = new TIntegerField(&q);
        grp->SetFieldName("grp");
        grp->SetDataSet(&q);
        auto* name = new TStringField(&q);
        name->SetFieldName("name");
        name->SetSize(20);
        name->SetDataSet(&q);
        q.Open();
        int n = 0;
        for (; !q.GetEOF(); q.Next()) {
            ++n;
            ASSERT_EQ(name->GetAsString(), "item " + std::string(n < 10 ? "000" : n < 100 ? "00" : n < 1000 ? "0" : "") +
                                                std::to_string(n))
                << oneWay;
            ASSERT_EQ(grp->GetAsInteger(), n % 7) << oneWay;
        }
        EXPECT_EQ(n, 1000) << oneWay;
        EXPECT_EQ(q.FindField("id"), nullptr);
    }
}

}  // namespace
