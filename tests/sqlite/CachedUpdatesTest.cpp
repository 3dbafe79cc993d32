// Cached updates: changes wait in memory, are written all at once or not at all, and are never
// forgotten before they are written.
#include "tests/sqlite/SqliteTestUtil.h"

using namespace vel;
using veltest::SqliteFixture;

namespace {

struct CachedTable : TTable {
    explicit CachedTable(TSQLiteConnection* c, const char* table = "people") {
        SetConnection(c);
        SetTableName(table);
        SetIndexFieldNames("id");
        SetCachedUpdates(true);
        Open();
    }
};

}  // namespace

TEST_F(SqliteFixture, CachedChangesWaitAndAreWrittenTogether) {
    CachedTable t(Conn.get());
    t.Edit();
    t.FieldByName("name")->SetAsString("Caroline");
    t.Post();
    t.Next();
    t.Delete();  // alice
    t.Append();
    t.FieldByName("name")->SetAsString("Dave");
    t.Post();
    EXPECT_EQ(t.GetPendingUpdateCount(), 3);
    EXPECT_EQ(Names(t), std::vector<std::string>({"Caroline", "Bob", "Alice", "Dave"}));
    // Nothing reached the table yet.
    EXPECT_EQ(ReadBack("SELECT name FROM people WHERE id = 1"), "Carol");
    EXPECT_EQ(ReadBack("SELECT count(*) FROM people"), "4");

    t.ApplyUpdates();
    EXPECT_FALSE(t.GetUpdatesPending());
    EXPECT_EQ(ReadBack("SELECT name FROM people WHERE id = 1"), "Caroline");
    EXPECT_EQ(ReadBack("SELECT count(*) FROM people WHERE id = 2"), "0");
    EXPECT_EQ(ReadBack("SELECT id FROM people WHERE name = 'Dave'"), "5");
    // The new row now has the id the table gave it.
    ASSERT_TRUE(t.Locate("name", Variant("Dave"), {}));
    EXPECT_EQ(t.FieldByName("id")->GetAsInteger(), 5);
}

TEST_F(SqliteFixture, ARecordInsertedAndChangedBeforeApplyingIsOneInsert) {
    CachedTable t(Conn.get());
    t.Append();
    t.FieldByName("name")->SetAsString("Eve");
    t.Post();
    t.Edit();
    t.FieldByName("note")->SetAsString("changed her mind");
    t.Post();
    t.Append();
    t.FieldByName("name")->SetAsString("Mallory");
    t.Post();
    t.Delete();  // never written, so nothing to delete
    EXPECT_EQ(t.GetPendingUpdateCount(), 1);
    t.ApplyUpdates();
    EXPECT_EQ(ReadBack("SELECT note FROM people WHERE name = 'Eve'"), "changed her mind");
    EXPECT_EQ(ReadBack("SELECT count(*) FROM people"), "5");
}

TEST_F(SqliteFixture, AFailedApplyWritesNothingAndKeepsEveryChange) {
    CachedTable t(Conn.get());
    t.Edit();
    t.FieldByName("name")->SetAsString("Caroline");
    t.Post();
    t.Last();
    t.Edit();
    t.FieldByName("salary")->SetAsFloat(-5);  // refused by the CHECK constraint
    t.Post();
    try {
        t.ApplyUpdates();
        FAIL() << "the apply went through";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("CHECK constraint failed"), std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("UPDATE \"people\""), std::string::npos) << e.what();
    }
    // The first change, though it went through, was undone with the rest.
    EXPECT_EQ(ReadBack("SELECT name FROM people WHERE id = 1"), "Carol");
    EXPECT_EQ(t.GetPendingUpdateCount(), 2);
    EXPECT_FALSE(Conn->InTransaction());

    // Fixing the value and applying again writes both.
    t.Edit();
    t.FieldByName("salary")->SetAsFloat(5);
    t.Post();
    t.ApplyUpdates();
    EXPECT_EQ(ReadBack("SELECT name FROM people WHERE id = 1"), "Caroline");
    EXPECT_EQ(ReadBack("SELECT salary FROM people WHERE id = 4"), "5");
}

TEST_F(SqliteFixture, ARowChangedByAnotherProgramStopsTheApply) {
    CachedTable t(Conn.get());
    t.Next();
    t.Edit();
    t.FieldByName("note")->SetAsString("mine");
    t.Post();
    Conn->ExecSQL("DELETE FROM people WHERE id = 2");  // someone else
    try {
        t.ApplyUpdates();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("changed or deleted by another user"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_TRUE(t.GetUpdatesPending());
    // Giving up reads the rows as the table holds them.
    t.CancelUpdates();
    EXPECT_FALSE(t.GetUpdatesPending());
    EXPECT_EQ(Names(t), std::vector<std::string>({"Carol", "Bob", "Alice"}));
}

TEST_F(SqliteFixture, PendingChangesAreNotDroppedByAnythingButCancelOrClose) {
    CachedTable t(Conn.get());
    t.Edit();
    t.FieldByName("name")->SetAsString("Caroline");
    t.Post();
    EXPECT_THROW(t.SetIndexFieldNames("name"), EDatabaseError);  // would read the rows again
    EXPECT_EQ(t.GetIndexFieldNames(), "id");
    EXPECT_THROW(t.SetCachedUpdates(false), EDatabaseError);
    EXPECT_TRUE(t.GetCachedUpdates());
    EXPECT_EQ(t.FieldByName("name")->GetAsString(), "Caroline");
    // A record still being edited is posted into the cache by the apply.
    t.Next();
    t.Edit();
    t.FieldByName("name")->SetAsString("Alicia");
    t.ApplyUpdates();
    EXPECT_EQ(ReadBack("SELECT name FROM people WHERE id = 2"), "Alicia");
    t.SetCachedUpdates(false);
    t.Edit();
    t.FieldByName("name")->SetAsString("Al");
    t.Post();
    EXPECT_EQ(ReadBack("SELECT name FROM people WHERE id = 2"), "Al");
}
