// What a dataset and its connection do when SQLite ends the application's transaction on its
// own (a full disk, a failing device).
#include "tests/sqlite/FaultTestUtil.h"

using namespace vel;
using veltest::Contains;
using veltest::FaultFixture;
using veltest::FaultOp;

namespace {

void OpenItems(TTable& t, TSQLiteConnection* conn) {
    t.SetConnection(conn);
    t.SetTableName("items");
    t.SetIndexFieldNames("id");
    t.Open();
}

}  // namespace

TEST_F(FaultFixture, FullDiskInsideATransactionCommitsNothingLater) {
    TTable t;
    OpenItems(t, Conn.get());
    Conn->StartTransaction();
    t.Edit();
    t.FieldByName("name")->SetAsString("first, typed");
    t.Post();

    // A row far down lives on a page the transaction has not touched: its journal write fails.
    ASSERT_TRUE(t.Locate("id", Variant(280), {}));
    Vfs->Arm(FaultOp::Write, 1, SQLITE_FULL);
    t.Edit();
    t.FieldByName("qty")->SetAsInteger(-1);
    try {
        t.Post();
        FAIL() << "the post went through";
    } catch (const EDatabaseError& e) {
        const std::string m = e.what();
        EXPECT_TRUE(Contains(m, "database or disk is full")) << m;
        EXPECT_TRUE(Contains(m, "UPDATE \"items\"")) << m;
        EXPECT_TRUE(Contains(m, "rolled back")) << m;
    }
    EXPECT_TRUE(Vfs->Fired());
    // The typed value is still in the record, which is still being edited.
    EXPECT_EQ(t.GetState(), TDataSetState::dsEdit);
    EXPECT_EQ(t.FieldByName("qty")->GetAsInteger(), -1);
    EXPECT_FALSE(Conn->InTransaction());
    EXPECT_TRUE(Conn->GetTransactionLost());

    // Space comes back: the post is still refused, because it would be committed on its own
    // while the application believes it is inside its transaction.
    Vfs->Disarm();
    try {
        t.Post();
        FAIL() << "a post outside the application's transaction went through";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(Contains(e.what(), "rolled back")) << e.what();
    }
    EXPECT_EQ(t.GetState(), TDataSetState::dsEdit);
    EXPECT_EQ(t.FieldByName("qty")->GetAsInteger(), -1);
    EXPECT_THROW(Conn->ExecSQL("DELETE FROM items"), EDatabaseError);

    // Rolling back is what SQLite already did: no error, and nothing of the transaction stays.
    Conn->Rollback();
    EXPECT_FALSE(Conn->GetTransactionLost());
    EXPECT_EQ(Reread("SELECT name FROM items WHERE id = 1"), "item 1");
    EXPECT_EQ(Reread("SELECT qty FROM items WHERE id = 280"), "2800");
    EXPECT_EQ(Reread("SELECT count(*) FROM items"), "300");

    // Afterwards the record can be posted for good.
    t.Post();
    EXPECT_EQ(Reread("SELECT qty FROM items WHERE id = 280"), "-1");
}

TEST_F(FaultFixture, CommitAfterALostTransactionSaysNothingWasCommitted) {
    TTable t;
    OpenItems(t, Conn.get());
    Conn->StartTransaction();
    t.Edit();
    t.FieldByName("name")->SetAsString("kept only if committed");
    t.Post();
    ASSERT_TRUE(t.Locate("id", Variant(250), {}));
    Vfs->Arm(FaultOp::Write, 1, SQLITE_IOERR_WRITE);
    try {
        t.Delete();
        FAIL() << "the delete went through";
    } catch (const EDatabaseError& e) {
        const std::string m = e.what();
        EXPECT_TRUE(Contains(m, "disk I/O error")) << m;
        EXPECT_TRUE(Contains(m, "DELETE FROM \"items\"")) << m;
        EXPECT_TRUE(Contains(m, "rolled back")) << m;
    }
    EXPECT_EQ(t.FieldByName("id")->GetAsInteger(), 250);  // the record is still there
    EXPECT_EQ(t.GetRecordCount(), 300);
    Vfs->Disarm();
    try {
        Conn->Commit();
        FAIL() << "a lost transaction was committed";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(Contains(e.what(), "nothing was committed")) << e.what();
    }
    EXPECT_FALSE(Conn->InTransaction());
    EXPECT_FALSE(Conn->GetTransactionLost());
    EXPECT_EQ(Reread("SELECT name FROM items WHERE id = 1"), "item 1");
    EXPECT_EQ(Reread("SELECT count(*) FROM items"), "300");
}
