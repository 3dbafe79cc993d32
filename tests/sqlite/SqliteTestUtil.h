#pragma once
// A small people table in a real database file inside the test's temporary folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/db/sqlite/ADODB.h"
#include "platform/db/sqlite/SQLDataSets.h"
#include "tests/support/TempDir.h"

namespace veltest {

// The first column of the first row as text ("<null>" for Null or no row).
inline std::string Scalar(vel::TSQLiteConnection& db, const std::string& sql) {
    vel::TSQLiteStatement st(db, sql);
    if (!st.Step() || st.IsNull(0)) return "<null>";
    return std::string(st.ColumnText(0));
}

class SqliteFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Path = Dir.File("people.db");
        Conn = std::make_unique<vel::TSQLiteConnection>();
        Conn->SetFileName(Path);
        Conn->SetCreateIfMissing(true);
        Conn->ExecSQL(
            "CREATE TABLE people (id INTEGER PRIMARY KEY, name VARCHAR(40) NOT NULL UNIQUE, "
            "born DATE, salary DECIMAL(10,2) CHECK (salary >= 0), active BOOLEAN, note TEXT, photo "
            "BLOB);"
            "INSERT INTO people VALUES (1, 'Carol', '1980-05-17', 1200.50, 1, NULL, NULL);"
            "INSERT INTO people VALUES (2, 'alice', '1975-01-02', 900, 0, 'first', NULL);"
            "INSERT INTO people VALUES (3, 'Bob', '1990-12-31', NULL, 1, NULL, x'00FF10');"
            "INSERT INTO people VALUES (4, 'Alice', '1990-12-31', 3000.25, NULL, 'twin', NULL);");
    }

    // Names in cursor order.
    static std::vector<std::string> Names(vel::TDataSet& ds, const char* field = "name") {
        std::vector<std::string> out;
        ds.First();
        while (!ds.GetEOF()) {
            out.push_back(ds.FieldByName(field)->GetAsString());
            ds.Next();
        }
        return out;
    }

    // A value read through a fresh connection, as another program would see it.
    std::string ReadBack(const std::string& sql) {
        vel::TSQLiteConnection other;
        other.SetFileName(Path);
        vel::TSQLiteStatement st(other, sql);
        if (!st.Step()) return "<no row>";
        return st.IsNull(0) ? "<null>" : std::string(st.ColumnText(0));
    }

    TempDir Dir;
    std::string Path;
    std::unique_ptr<vel::TSQLiteConnection> Conn;
};

}  // namespace veltest
