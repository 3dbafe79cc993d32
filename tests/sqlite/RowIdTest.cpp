// Tables without a declared key are edited through their row ids; tables without row ids whose
// key is not in the result stay read-only.
#include <gtest/gtest.h>

#include "platform/db/DBTypes.h"
#include "tests/sqlite/SqliteTestUtil.h"

using namespace vel;
using veltest::SqliteFixture;

namespace {

using V = std::vector<std::string>;

class RowIds : public SqliteFixture {
protected:
    void SetUp() override {
        SqliteFixture::SetUp();
        // Two identical rows: only a row id tells them apart.
        Conn->ExecSQL(
            "CREATE TABLE notes (body VARCHAR(20), n INTEGER DEFAULT 7);"
            "INSERT INTO notes VALUES ('same', 1), ('same', 1), ('other', 2);"
            "CREATE TABLE kv (k VARCHAR(10) PRIMARY KEY, v VARCHAR(10)) WITHOUT ROWID;"
            "INSERT INTO kv VALUES ('a', 'x');");
    }
    std::string All() {
        TSQLiteStatement st(*Conn,
                            "SELECT group_concat(body, ',') FROM "
                            "(SELECT body FROM notes ORDER BY rowid)");
        return st.Step() ? std::string(st.ColumnText(0)) : "";
    }
};

TEST_F(RowIds, UpdatesAndDeletesReachExactlyOneOfIdenticalRows) {
    TTable t;
    t.SetConnection(Conn.get());
    t.SetTableName("notes");
    t.Open();
    EXPECT_EQ(t.GetFieldCount(), 2);  // the row id stays hidden
    EXPECT_TRUE(t.GetCanModify());
    t.First();
    t.Next();
    t.Edit();
    t.FieldByName("body")->SetAsString("changed");
    t.Post();
    EXPECT_EQ(All(), "same,changed,other");
    t.First();
    t.Delete();
    EXPECT_EQ(All(), "changed,other");

    // A new row gets its row id, so it can be edited and deleted at once; defaults come back.
    t.Append();
    t.FieldByName("body")->SetAsString("new");
    t.Post();
    EXPECT_EQ(t.FieldByName("n")->GetAsInteger(), 7);
    t.Edit();
    t.FieldByName("body")->SetAsString("newer");
    t.Post();
    EXPECT_EQ(All(), "changed,other,newer");
    t.Delete();
    EXPECT_EQ(All(), "changed,other");
}

TEST_F(RowIds, QueriesOfOneTableAreEditableUnlessRowsCannotBeToldApart) {
    TQuery q;
    q.SetConnection(Conn.get());
    q.GetSQL()->SetText("  select body from notes where n = :n");
    q.ParamByName("n").SetAsInteger(2);
    q.Open();
    q.Edit();
    q.FieldByName("body")->SetAsString("two");
    q.Post();
    EXPECT_EQ(All(), "same,same,two");

    q.GetSQL()->SetText("SELECT DISTINCT body FROM notes");
    q.Open();
    EXPECT_FALSE(q.GetCanModify());

    // Without row ids and without the key the error says why; nothing changes.
    q.GetSQL()->SetText("SELECT v FROM kv");
    q.Open();
    EXPECT_FALSE(q.GetCanModify());
    try {
        q.Edit();
        FAIL();
    } catch (const EDatabaseError& e) {
        std::string m = e.what();
        EXPECT_NE(m.find("'kv'"), std::string::npos) << m;
        EXPECT_NE(m.find("primary key"), std::string::npos) << m;
    }
    EXPECT_EQ(q.GetState(), TDataSetState::dsBrowse);
    // With the key in the result the same table is editable.
    q.GetSQL()->SetText("SELECT k, v FROM kv");
    q.Open();
    q.Edit();
    q.FieldByName("v")->SetAsString("y");
    q.Post();
    EXPECT_EQ(ReadBack("SELECT v FROM kv"), "y");
}

}  // namespace
