// Every way of writing through the SQL datasets, with the 1st, 2nd, 3rd … write, sync, lock or
// read failing in turn until the operation runs past the last one. After each failure the file
// passes SQLite's integrity check and holds the old state, the error names the statement and
// what happened, and what the user typed is still there to be posted again; after each success
// the file holds the new state.
#include <algorithm>
#include <vector>

#include "tests/sqlite/FaultTestUtil.h"

using namespace vel;
using veltest::Contains;
using veltest::FaultFixture;
using veltest::FaultOp;

namespace {

struct Fault {
    const char* Name;
    FaultOp Op;
    int Rc;
    bool Persistent;
    const char* Says;
};

const Fault kFaults[] = {
    {"FullDisk", FaultOp::Write, SQLITE_FULL, true, "database or disk is full"},
    {"WriteError", FaultOp::Write, SQLITE_IOERR_WRITE, false, "disk I/O error"},
    {"SyncError", FaultOp::Sync, SQLITE_IOERR_FSYNC, false, "disk I/O error"},
    {"LockRefused", FaultOp::Lock, SQLITE_BUSY, false, "database is locked"},
    {"ReadError", FaultOp::Read, SQLITE_IOERR_READ, false, "disk I/O error"},
};

void PrintTo(const Fault& f, std::ostream* os) {
    *os << f.Name;
}

class FaultMatrix : public FaultFixture, public ::testing::WithParamInterface<Fault> {
protected:
    // Runs `step` with the nth operation of the fault's kind failing, for n = 1, 2, … until a
    // run no longer meets the fault. Each run starts from the file as SetUp made it. The
    // operation must meet at least one fault of the kinds in `reached`.
    template <class Step>
    void ForEachFault(std::initializer_list<FaultOp> reached, Step&& step) {
        int fired = 0;
        for (int n = 1; n <= 400; ++n) {
            Restore();
            SCOPED_TRACE(std::string(GetParam().Name) + " at operation " + std::to_string(n));
            step([&] { Vfs->Arm(GetParam().Op, n, GetParam().Rc, GetParam().Persistent); });
            const bool hit = Vfs->Fired();
            Vfs->Disarm();
            if (HasFatalFailure()) return;
            if (!hit) {
                if (std::find(reached.begin(), reached.end(), GetParam().Op) != reached.end()) {
                    EXPECT_GT(fired, 0) << "no fault reached the operation";
                }
                return;
            }
            ++fired;
        }
        FAIL() << "the fault never stopped firing";
    }

    void ExpectNames(const EDatabaseError& e, const std::string& statement) {
        const std::string m = e.what();
        EXPECT_TRUE(Contains(m, GetParam().Says)) << m;
        // A dataset still reading on demand reads its remaining rows before it writes; a read
        // fault may meet that statement instead.
        const bool readFirst = !ReadsFirst.empty() && GetParam().Op == FaultOp::Read &&
                               Contains(m, ReadsFirst);
        EXPECT_TRUE(Contains(m, statement) || readFirst) << m;
    }
    std::string ReadsFirst;

    // A post or delete outside any transaction of the application: it happened entirely or
    // not at all, and after a failure the same call, once the fault is gone, goes through.
    template <class Act, class Before, class After>
    void WriteOrKeep(TDataSet& ds, Act&& act, const std::string& statement, Before&& before,
                     After&& after, std::function<void()> arm) {
        const TDataSetState state = ds.GetState();
        arm();
        try {
            act();
        } catch (const EDatabaseError& e) {
            ExpectNames(e, statement);
            EXPECT_EQ(ds.GetState(), state);
            EXPECT_FALSE(Conn->InTransaction());
            EXPECT_FALSE(Conn->GetTransactionLost());
            before();
            act();  // the fault is gone
        }
        after();
    }
};

std::string Items(const std::string& where, const std::string& what = "qty") {
    return "SELECT " + what + " FROM items WHERE " + where;
}

}  // namespace

TEST_P(FaultMatrix, PostAnEditByKey) {
    ForEachFault({FaultOp::Write, FaultOp::Sync, FaultOp::Lock, FaultOp::Read}, [&](auto arm) {
        TTable t;
        t.SetConnection(Conn.get());
        t.SetTableName("items");
        t.Open();
        ASSERT_TRUE(t.Locate("id", Variant(280), {}));
        t.Edit();
        t.FieldByName("qty")->SetAsInteger(-1);
        WriteOrKeep(
            t, [&] { t.Post(); }, "UPDATE \"items\"",
            [&] {
                EXPECT_EQ(t.FieldByName("qty")->GetAsInteger(), -1);  // still typed in
                EXPECT_EQ(Reread(Items("id = 280")), "2800");
            },
            [&] { EXPECT_EQ(Reread(Items("id = 280")), "-1"); }, arm);
    });
}

TEST_P(FaultMatrix, PostAnInsertAndReadBackItsKey) {
    ForEachFault({FaultOp::Write, FaultOp::Sync, FaultOp::Lock, FaultOp::Read}, [&](auto arm) {
        TTable t;
        t.SetConnection(Conn.get());
        t.SetTableName("items");
        t.Open();
        t.Append();
        t.FieldByName("name")->SetAsString("new one");
        WriteOrKeep(
            t, [&] { t.Post(); }, "\"items\"",
            [&] {
                EXPECT_EQ(t.FieldByName("name")->GetAsString(), "new one");
                EXPECT_EQ(Reread("SELECT count(*) FROM items"), "300");
            },
            [&] {
                EXPECT_EQ(t.FieldByName("id")->GetAsInteger(), 301);
                EXPECT_EQ(Reread(Items("name = 'new one'", "count(*)")), "1");
            },
            arm);
    });
}

TEST_P(FaultMatrix, PostAnEditByRowId) {
    ForEachFault({FaultOp::Write, FaultOp::Sync, FaultOp::Lock, FaultOp::Read}, [&](auto arm) {
        TQuery q;
        q.SetConnection(Conn.get());
        q.GetSQL()->SetText("SELECT body FROM notes");
        q.Open();
        ASSERT_TRUE(q.Locate("body", Variant("note 280"), {}));
        q.Edit();
        q.FieldByName("body")->SetAsString("changed");
        WriteOrKeep(
            q, [&] { q.Post(); }, "UPDATE \"notes\"",
            [&] {
                EXPECT_EQ(q.FieldByName("body")->GetAsString(), "changed");
                EXPECT_EQ(Reread("SELECT body FROM notes WHERE rowid = 280"), "note 280");
            },
            [&] { EXPECT_EQ(Reread("SELECT body FROM notes WHERE rowid = 280"), "changed"); }, arm);
    });
}

TEST_P(FaultMatrix, DeleteByKeyAndByRowId) {
    ForEachFault({FaultOp::Write, FaultOp::Sync, FaultOp::Lock, FaultOp::Read}, [&](auto arm) {
        TADOTable t;  // the ADO-style family posts the same way
        t.SetConnection(Conn.get());
        t.SetTableName("items");
        t.Open();
        ASSERT_TRUE(t.Locate("id", Variant(150), {}));  // rows after 150 are not read yet
        ReadsFirst = "SELECT * FROM \"items\"";
        WriteOrKeep(
            t, [&] { t.Delete(); }, "DELETE FROM \"items\"",
            [&] {
                EXPECT_EQ(t.FieldByName("id")->GetAsInteger(), 150);  // still there
                EXPECT_EQ(t.GetRecordCount(), 300);
                EXPECT_EQ(Reread("SELECT count(*) FROM items"), "300");
            },
            [&] {
                EXPECT_EQ(t.GetRecordCount(), 299);
                EXPECT_EQ(Reread(Items("id = 150", "count(*)")), "0");
            },
            arm);
    });
    ForEachFault({FaultOp::Write, FaultOp::Sync, FaultOp::Lock, FaultOp::Read}, [&](auto arm) {
        TTable t;
        t.SetConnection(Conn.get());
        t.SetTableName("notes");
        t.Open();
        ASSERT_TRUE(t.Locate("body", Variant("note 150"), {}));
        ReadsFirst = "FROM \"notes\"";
        WriteOrKeep(
            t, [&] { t.Delete(); }, "DELETE FROM \"notes\"",
            [&] { EXPECT_EQ(Reread("SELECT count(*) FROM notes"), "300"); },
            [&] { EXPECT_EQ(Reread("SELECT count(*) FROM notes WHERE rowid = 150"), "0"); }, arm);
    });
}

TEST_P(FaultMatrix, ApplyPendingUpdates) {
    ForEachFault({FaultOp::Write, FaultOp::Sync, FaultOp::Lock, FaultOp::Read}, [&](auto arm) {
        TTable t;
        t.SetConnection(Conn.get());
        t.SetTableName("items");
        t.SetIndexFieldNames("id");
        t.SetCachedUpdates(true);
        t.Open();
        t.Edit();
        t.FieldByName("qty")->SetAsInteger(-1);
        t.Post();
        ASSERT_TRUE(t.Locate("id", Variant(280), {}));
        t.Edit();
        t.FieldByName("qty")->SetAsInteger(-280);
        t.Post();
        ASSERT_TRUE(t.Locate("id", Variant(150), {}));
        t.Delete();
        t.Append();
        t.FieldByName("name")->SetAsString("new one");
        t.Post();
        arm();
        try {
            t.ApplyUpdates();
        } catch (const EDatabaseError& e) {
            const std::string m = e.what();
            EXPECT_TRUE(Contains(m, GetParam().Says)) << m;
            if (Contains(m, "were applied")) {
                // Written; only reading the rows again met the fault.
                EXPECT_TRUE(Contains(m, "SELECT")) << m;
                EXPECT_FALSE(t.GetActive());
            } else {
                EXPECT_TRUE(Contains(m, "\"items\"")) << m;
                EXPECT_EQ(t.GetPendingUpdateCount(), 4);  // nothing forgotten
                EXPECT_EQ(Reread(Items("id IN (1, 280)", "sum(qty)")), "2810");
                EXPECT_EQ(Reread("SELECT count(*) FROM items"), "300");
                EXPECT_FALSE(Conn->InTransaction());
                Vfs->Disarm();
                t.ApplyUpdates();
                EXPECT_TRUE(t.GetActive());
            }
        }
        EXPECT_FALSE(t.GetUpdatesPending());
        EXPECT_EQ(Reread(Items("id IN (1, 280)", "sum(qty)")), "-281");
        EXPECT_EQ(Reread(Items("id = 150", "count(*)")), "0");
        EXPECT_EQ(Reread(Items("name = 'new one'", "count(*)")), "1");
    });
}

TEST_P(FaultMatrix, CommitTellsWhetherAnythingWasCommitted) {
    ForEachFault({FaultOp::Write, FaultOp::Sync, FaultOp::Lock, FaultOp::Read}, [&](auto arm) {
        TTable t;
        t.SetConnection(Conn.get());
        t.SetTableName("items");
        t.SetIndexFieldNames("id");
        t.Open();
        Conn->StartTransaction();
        t.Edit();
        t.FieldByName("qty")->SetAsInteger(-1);
        t.Post();
        ASSERT_TRUE(t.Locate("id", Variant(280), {}));
        t.Edit();
        t.FieldByName("qty")->SetAsInteger(-280);
        t.Post();
        arm();
        bool committed = true;
        try {
            Conn->Commit();
        } catch (const EDatabaseError& e) {
            ExpectNames(e, "COMMIT");
            Vfs->Disarm();
            if (Conn->InTransaction()) {
                EXPECT_TRUE(Contains(e.what(), "still open")) << e.what();
                Conn->Commit();
            } else {
                EXPECT_TRUE(Contains(e.what(), "rolled back")) << e.what();
                EXPECT_TRUE(Conn->GetTransactionLost());
                committed = false;
                Conn->Rollback();
            }
        }
        EXPECT_FALSE(Conn->InTransaction());
        EXPECT_FALSE(Conn->GetTransactionLost());
        // Both or neither.
        EXPECT_EQ(Reread(Items("id IN (1, 280)", "sum(qty)")), committed ? "-281" : "2810");
    });
}

TEST_P(FaultMatrix, RollbackLeavesNothingOfTheTransaction) {
    ForEachFault({FaultOp::Write, FaultOp::Sync, FaultOp::Read}, [&](auto arm) {
        TTable t;
        t.SetConnection(Conn.get());
        t.SetTableName("items");
        t.SetIndexFieldNames("id");
        t.Open();
        // A transaction too big for the page cache: changed pages reach the file before the
        // end, and rolling back has to write the old ones back.
        Conn->ExecSQL("PRAGMA cache_size = 4");
        Conn->StartTransaction();
        t.Edit();
        t.FieldByName("qty")->SetAsInteger(-1);
        t.Post();
        ASSERT_TRUE(t.Locate("id", Variant(280), {}));
        t.Delete();
        Conn->ExecSQL("UPDATE items SET pad = upper(pad)");
        arm();
        try {
            Conn->Rollback();
        } catch (const EDatabaseError& e) {
            ExpectNames(e, "ROLLBACK");
            Vfs->Disarm();
            if (Conn->InTransaction()) Conn->Rollback();
        }
        EXPECT_FALSE(Conn->InTransaction());
        EXPECT_EQ(Reread(Items("id IN (1, 280)", "sum(qty)")), "2810");
        EXPECT_EQ(Reread("SELECT count(*) FROM items"), "300");
        EXPECT_EQ(Reread(Items("pad <> lower(pad)", "count(*)")), "0");
    });
}

TEST_P(FaultMatrix, OpeningAndReadingFailCleanly) {
    ForEachFault({FaultOp::Lock, FaultOp::Read}, [&](auto arm) {
        TTable t;
        t.SetConnection(Conn.get());
        t.SetTableName("items");
        arm();
        try {
            t.Open();
        } catch (const EDatabaseError& e) {
            EXPECT_TRUE(Contains(e.what(), GetParam().Says)) << e.what();
            EXPECT_FALSE(t.GetActive());
            Vfs->Disarm();
            t.Open();
        }
        // Rows past the first packet are read later; a failure there keeps the dataset open
        // with the rows read so far, and reading again goes on where it stopped.
        try {
            EXPECT_EQ(t.GetRecordCount(), 300);
        } catch (const EDatabaseError& e) {
            EXPECT_TRUE(Contains(e.what(), GetParam().Says)) << e.what();
            EXPECT_TRUE(t.GetActive());
            EXPECT_FALSE(t.IsSequenced());
            EXPECT_EQ(t.GetRecNo(), 1);
            Vfs->Disarm();
            EXPECT_EQ(t.GetRecordCount(), 300);
        }
        EXPECT_TRUE(t.IsSequenced());
        std::vector<int> ids;
        for (t.First(); !t.GetEOF(); t.Next()) ids.push_back(t.FieldByName("id")->GetAsInteger());
        ASSERT_EQ(ids.size(), 300u);
        for (int i = 0; i < 300; ++i) EXPECT_EQ(ids[static_cast<std::size_t>(i)], i + 1);
    });
    ForEachFault({FaultOp::Lock, FaultOp::Read}, [&](auto arm) {
        TQuery q;
        q.SetConnection(Conn.get());
        q.SetUniDirectional(true);
        q.GetSQL()->SetText("SELECT id, name FROM items ORDER BY id");
        auto scan = [&] {
            int rows = 0;
            for (q.Open(); !q.GetEOF(); q.Next()) ++rows;
            return rows;
        };
        arm();
        int rows = 0;
        try {
            rows = scan();
        } catch (const EDatabaseError& e) {
            ExpectNames(e, "SELECT id, name FROM items");
            Vfs->Disarm();
            q.Close();
            rows = scan();
        }
        EXPECT_EQ(rows, 300);
    });
}

INSTANTIATE_TEST_SUITE_P(, FaultMatrix, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.Name); });
