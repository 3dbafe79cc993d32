// A table whose declared column types are ordinary but whose values are anything SQLite will
// store (integers, doubles, text that need not be UTF-8, bytes, NULL) opens in every SQL
// dataset: buffered, one-way and ADO-style. Every field of every row reads without crashing;
// a value its field cannot hold reads as Null and is still there as the raw value; the one-way
// cursor sees what the buffered open sees.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/db/sqlite/ADODB.h"
#include "platform/db/sqlite/SQLDataSets.h"

namespace {

const char* const kTypes[] = {"INTEGER", "SMALLINT",   "BIGINT",  "REAL",     "DECIMAL(10,2)",
                              "NUMERIC", "MONEY",      "DATE",    "DATETIME", "TIME",
                              "BOOLEAN", "VARCHAR(3)", "CHAR(2)", "TEXT",     "MEMO",
                              "BLOB",    "IMAGE",      ""};

struct Reader {
    const std::uint8_t* P;
    std::size_t N;
    std::uint8_t Byte() {
        if (!N) return 0;
        --N;
        return *P++;
    }
    std::string Bytes(std::size_t n) {
        n = std::min(n, N);
        std::string s(reinterpret_cast<const char*>(P), n);
        P += n;
        N -= n;
        return s;
    }
};

vel::Variant Value(Reader& r) {
    switch (r.Byte() % 6) {
        case 0:
            return vel::Variant::Null();
        case 1: {
            std::int64_t v = 0;
            const std::string b = r.Bytes(r.Byte() % 9);
            std::memcpy(&v, b.data(), b.size());
            return vel::Variant(static_cast<long long>(v));
        }
        case 2: {
            double v = 0;
            const std::string b = r.Bytes(8);
            std::memcpy(&v, b.data(), b.size());
            return vel::Variant(v);
        }
        case 3:
        case 4:
            return vel::Variant(r.Bytes(r.Byte() % 32));
        default: {
            const std::string b = r.Bytes(r.Byte() % 16);
            return vel::Variant::FromBytes(std::vector<std::uint8_t>(b.begin(), b.end()));
        }
    }
}

struct Cell {
    bool Null, Raw;
    vel::Variant Value;
};

// Every field of the current record, checking what the raw value promises.
std::vector<Cell> ReadRecord(vel::TDataSet& ds) {
    std::vector<Cell> row;
    for (int i = 0; i < ds.GetFieldCount(); ++i) {
        vel::TField* f = ds.GetFields()[i];
        Cell c{f->IsNull(), f->HasRawValue(), f->GetAsVariant()};
        (void)f->GetDisplayText();
        (void)f->GetText();
        if (!c.Null) (void)f->GetAsString();
        const vel::Variant raw = f->GetRawValue();
        if (c.Raw && (!c.Null || raw.IsNull())) std::abort();  // Null typed, something stored
        if (!c.Raw && raw.IsNull() != c.Null) std::abort();
        row.push_back(std::move(c));
    }
    return row;
}

// Text fields are the exception: the one-way cursor cannot widen a declared size to fit.
bool Same(vel::TDataSet& ds, const std::vector<Cell>& a, const std::vector<Cell>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (vel::IsStringType(ds.GetFields()[static_cast<int>(i)]->GetDataType())) continue;
        if (a[i].Null != b[i].Null || a[i].Raw != b[i].Raw) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader r{data, size};
    const int columns = 1 + r.Byte() % 5;
    std::string create = "CREATE TABLE t (";
    for (int c = 0; c < columns; ++c)
        create += (c ? ", c" : "c") + std::to_string(c) + " " +
                  kTypes[r.Byte() % (sizeof kTypes / sizeof *kTypes)];
    create += ")";

    vel::TSQLiteConnection conn;
    conn.SetFileName(":memory:");
    conn.SetCreateIfMissing(true);
    conn.ExecSQL(create);
    std::string insert = "INSERT INTO t VALUES (?";
    for (int c = 1; c < columns; ++c) insert += ", ?";
    insert += ")";
    int rows = 0;
    {
        vel::TSQLiteStatement st(conn, insert);
        for (; rows < 12 && r.N; ++rows) {
            for (int c = 1; c <= columns; ++c) st.Bind(c, Value(r));
            st.Execute();
        }
    }

    // Values never keep a dataset from opening: these opens must not raise.
    std::vector<std::vector<Cell>> seen;
    vel::TTable table;
    table.SetConnection(&conn);
    table.SetTableName("t");
    table.Open();
    if (table.GetRecordCount() != rows) std::abort();
    for (table.First(); !table.GetEOF(); table.Next()) seen.push_back(ReadRecord(table));

    vel::TQuery once;
    once.SetConnection(&conn);
    once.SetUniDirectional(true);
    once.GetSQL()->SetText("SELECT * FROM t");
    once.Open();
    std::size_t n = 0;
    for (; !once.GetEOF(); once.Next(), ++n)
        if (n >= seen.size() || !Same(once, ReadRecord(once), seen[n])) std::abort();
    if (n != seen.size()) std::abort();

    vel::TADOQuery ado;
    ado.SetConnection(&conn);
    ado.GetSQL()->SetText("SELECT * FROM t");
    ado.Open();
    try {
        ado.SetSort("c0 DESC");
    } catch (const vel::Exception&) {
        // not every field type can be sorted on
    }
    for (ado.First(); !ado.GetEOF(); ado.Next()) ReadRecord(ado);

    // A row with an unreadable value can still be edited; the value stays where it was.
    table.First();
    if (!table.IsEmpty()) {
        try {
            table.Edit();
            table.GetFields()[columns - 1]->Clear();
            table.Post();
        } catch (const vel::Exception&) {
            table.Cancel();  // a refused value (a NOT NULL column …) is an answer too
        }
    }
    return 0;
}
