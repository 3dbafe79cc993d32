#pragma once
// A database large enough that edits touch several pages, opened through the fault file
// system, and the checks every fault test makes afterwards.
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tests/sqlite/FaultVfs.h"
#include "tests/sqlite/SqliteTestUtil.h"

namespace veltest {

class FaultFixture : public ::testing::Test {
protected:
    static constexpr int kRows = 300;

    void SetUp() override {
        Path = Dir.File("stock.db");
        {
            vel::TSQLiteConnection c;
            c.SetFileName(Path);
            c.SetCreateIfMissing(true);
            // Rows of about 200 bytes: an edit far down the table lands on another page.
            c.ExecSQL(
                "CREATE TABLE items (id INTEGER PRIMARY KEY, name TEXT NOT NULL, qty INTEGER, "
                "pad TEXT);"
                "CREATE TABLE notes (body TEXT, pad TEXT);"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                "INSERT INTO items SELECT i, 'item ' || i, i * 10, printf('%.200c', 'x') FROM n;"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                "INSERT INTO notes SELECT 'note ' || i, printf('%.200c', 'y') FROM n;");
        }
        Pristine = ReadFileText(Path);
        Vfs = std::make_unique<FaultVfs>();
        Conn = std::make_unique<vel::TSQLiteConnection>();
        Conn->SetFileName(Path);
        Conn->SetBusyTimeout(0);  // a refused lock is reported at once, not waited for
        Conn->Open();
    }

    void TearDown() override {
        Vfs->Disarm();
        Conn.reset();
        Vfs.reset();
    }

    // Back to the file as SetUp made it, with no journal left by a failed run.
    void Restore() {
        Vfs->Disarm();
        Conn->Close();
        std::filesystem::remove(Path + "-journal");
        WriteFileText(Path, Pristine);
        Conn->Open();
    }

    // The file as another program finds it after the fault: SQLite's own check, then one value.
    std::string Reread(const std::string& sql) {
        Vfs->Disarm();
        vel::TSQLiteConnection other;
        other.SetFileName(Path);
        {
            vel::TSQLiteStatement check(other, "PRAGMA integrity_check");
            EXPECT_TRUE(check.Step());
            EXPECT_EQ(std::string(check.ColumnText(0)), "ok");
        }
        vel::TSQLiteStatement st(other, sql);
        if (!st.Step()) return "<no row>";
        return st.IsNull(0) ? "<null>" : std::string(st.ColumnText(0));
    }

    TempDir Dir;
    std::string Path, Pristine;
    std::unique_ptr<FaultVfs> Vfs;
    std::unique_ptr<vel::TSQLiteConnection> Conn;
};

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace veltest
