// The connection, statements and the mapping of declared types.
#include <filesystem>

#include "platform/db/DBTypes.h"
#include "platform/rtl/DateTime.h"
#include "tests/sqlite/SqliteTestUtil.h"

using namespace vel;
using veltest::SqliteFixture;

TEST(SqliteConnection, MissingFileIsAnErrorAndIsNotCreated) {
    veltest::TempDir dir;
    std::string path = dir.File("absent.db");
    TSQLiteConnection c;
    c.SetFileName(path);
    try {
        c.Open();
        FAIL() << "opened a missing file";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("does not exist"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(c.GetConnected());
    EXPECT_FALSE(std::filesystem::exists(path));
    c.SetCreateIfMissing(true);
    c.Open();
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(SqliteConnection, FileThatIsNotADatabaseIsRefused) {
    veltest::TempDir dir;
    std::string path = dir.File("text.db");
    veltest::WriteFileText(path,
                           "this is plainly not a database file, but long enough to look like one");
    TSQLiteConnection c;
    c.SetFileName(path);
    EXPECT_THROW(c.Open(), EDatabaseError);
    EXPECT_FALSE(c.GetConnected());
    EXPECT_FALSE(c.GetLastError().empty());
}

TEST_F(SqliteFixture, BadSqlNamesTheStatement) {
    try {
        Conn->ExecSQL("SELEKT * FROM people");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("SELEKT * FROM people"), std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("syntax error"), std::string::npos) << e.what();
    }
    EXPECT_NE(Conn->GetLastError().find("SELEKT"), std::string::npos);
    EXPECT_THROW(TSQLiteStatement(*Conn, "SELECT nothing FROM nowhere"), EDatabaseError);
    EXPECT_THROW(TSQLiteStatement(*Conn, "   "), EDatabaseError);
}

TEST_F(SqliteFixture, TransactionsCommitAndRollBack) {
    Conn->StartTransaction();
    EXPECT_TRUE(Conn->InTransaction());
    EXPECT_THROW(Conn->StartTransaction(), EDatabaseError);
    Conn->ExecSQL("DELETE FROM people WHERE id = ?", {Variant(1)});
    Conn->Rollback();
    EXPECT_EQ(ReadBack("SELECT count(*) FROM people"), "4");

    Conn->StartTransaction();
    EXPECT_EQ(Conn->ExecSQL("DELETE FROM people WHERE id > ?", {Variant(2)}), 2);
    EXPECT_EQ(ReadBack("SELECT count(*) FROM people"), "4");  // not visible outside yet
    Conn->Commit();
    EXPECT_FALSE(Conn->InTransaction());
    EXPECT_THROW(Conn->Commit(), EDatabaseError);
    EXPECT_EQ(ReadBack("SELECT count(*) FROM people"), "2");

    // Closing with an open transaction rolls it back.
    Conn->StartTransaction();
    Conn->ExecSQL("DELETE FROM people");
    Conn->Close();
    EXPECT_EQ(ReadBack("SELECT count(*) FROM people"), "2");
}

TEST_F(SqliteFixture, StatementBindsEveryKindOfValue) {
    Conn->ExecSQL("CREATE TABLE v (a, b, c, d, e, f, g)");
    TSQLiteStatement ins(*Conn, "INSERT INTO v VALUES (:a, :b, :c, :d, :e, :f, :g)");
    EXPECT_EQ(ins.ParamCount(), 7);
    EXPECT_EQ(ins.ParamName(2), "b");
    ins.Bind("a", Variant(true));
    ins.Bind("b", Variant(static_cast<long long>(1) << 40));
    ins.Bind("c", Variant(Currency::FromScaled(12345)));
    ins.Bind("d", Variant::FromDateTime(EncodeDateTime(2024, 2, 29, 13, 5, 9, 0)),
             TFieldType::ftDateTime);
    ins.Bind("e", Variant::FromDateTime(EncodeDate(2024, 2, 29)), TFieldType::ftDate);
    ins.Bind("f", Variant::FromBytes({0, 1, 2}));
    ins.Bind("g", Variant::Null());
    EXPECT_THROW(ins.Bind("nope", Variant(1)), EDatabaseError);
    EXPECT_EQ(ins.Execute(), 1);
    TSQLiteStatement sel(*Conn, "SELECT a, b, c, d, e, length(f), g, typeof(c) FROM v");
    ASSERT_TRUE(sel.Step());
    EXPECT_EQ(sel.ColumnInt64(0), 1);
    EXPECT_EQ(sel.ColumnInt64(1), 1LL << 40);
    EXPECT_DOUBLE_EQ(sel.ColumnDouble(2), 1.2345);
    EXPECT_EQ(sel.ColumnText(3), "2024-02-29 13:05:09");
    EXPECT_EQ(sel.ColumnText(4), "2024-02-29");
    EXPECT_EQ(sel.ColumnInt64(5), 3);
    EXPECT_TRUE(sel.IsNull(6));
    EXPECT_EQ(sel.ColumnValue(1).VarType(), TVarType::varInt64);
    EXPECT_FALSE(sel.Step());
}

TEST(SqliteTypes, DeclaredTypesMapToFieldTypes) {
    using enum TFieldType;
    struct Case {
        const char* Decl;
        TFieldType Type;
        int Size;
    } cases[] = {
        {"INTEGER", ftInteger, 0},
        {"bigint", ftLargeint, 0},
        {"SMALLINT", ftSmallint, 0},
        {"REAL", ftFloat, 0},
        {"DOUBLE PRECISION", ftFloat, 0},
        {"NUMERIC(10,2)", ftBCD, 2},
        {"DECIMAL(18, 4)", ftBCD, 4},
        {"DECIMAL(20,6)", ftFloat, 0},
        {"NUMERIC", ftFloat, 0},
        {"TEXT", ftString, 0},
        {"VARCHAR(30)", ftString, 30},
        {"CHAR(2)", ftFixedChar, 2},
        {"DATE", ftDate, 0},
        {"DATETIME", ftDateTime, 0},
        {"TIMESTAMP", ftDateTime, 0},
        {"TIME", ftTime, 0},
        {"BOOLEAN", ftBoolean, 0},
        {"BLOB", ftBlob, 0},
        {"IMAGE", ftGraphic, 0},
        {"MEMO", ftMemo, 0},
        {"", ftUnknown, 0},
        {"MONEY", ftCurrency, 0},
    };
    for (const Case& c : cases) {
        TSQLiteColumnType t = MapDeclaredType(c.Decl);
        EXPECT_EQ(t.Type, c.Type) << c.Decl;
        EXPECT_EQ(t.Size, c.Size) << c.Decl;
    }
}

TEST(SqliteTypes, DateTextRoundTripsAndRejectsGarbage) {
    TDateTime dt = EncodeDateTime(1999, 12, 31, 23, 59, 58, 250);
    EXPECT_EQ(SQLiteDateText(dt, TFieldType::ftDateTime), "1999-12-31 23:59:58.250");
    EXPECT_EQ(SQLiteDateText(dt, TFieldType::ftDate), "1999-12-31");
    EXPECT_EQ(SQLiteDateText(dt, TFieldType::ftTime), "23:59:58.250");
    EXPECT_DOUBLE_EQ(SQLiteTextToDateTime("1999-12-31 23:59:58.250"), dt);
    EXPECT_DOUBLE_EQ(SQLiteTextToDateTime("1999-12-31T23:59:58.250"), dt);
    EXPECT_DOUBLE_EQ(SQLiteTextToDateTime("07:30"), EncodeTime(7, 30, 0, 0));
    EXPECT_DOUBLE_EQ(SQLiteTextToDateTime("07:30:15.5"), EncodeTime(7, 30, 15, 500));
    for (const char* bad : {"", "yesterday", "25:00", "1999-13-01", "07:30:xx"})
        EXPECT_THROW(SQLiteTextToDateTime(bad), EConvertError) << bad;
}

TEST(SqliteTypes, ParameterNamesSkipQuotesAndComments) {
    EXPECT_EQ(ParseParamNames("SELECT * FROM t WHERE a = :A AND b = ':x' AND \"c:y\" = :b -- :z\n"
                              "AND d = :a /* :w */ AND e::text = :c_1"),
              (std::vector<std::string>{"A", "b", "c_1"}));
    EXPECT_TRUE(ParseParamNames("SELECT '12:30'").empty());
}
