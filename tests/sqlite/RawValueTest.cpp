// Values a column's field cannot hold (SQLite stores whatever it is given): the row is read,
// the field is Null, the stored value stays reachable and in the table.
#include "platform/rtl/DateTime.h"
#include "tests/sqlite/SqliteTestUtil.h"

using namespace vel;
using veltest::SqliteFixture;

namespace {

class RawValues : public SqliteFixture {
protected:
    void SetUp() override {
        SqliteFixture::SetUp();
        // Text in a date, a number and a Boolean column, a fraction and an overflow in integer
        // columns, bytes in a decimal one.
        Conn->ExecSQL(
            "CREATE TABLE odd (id INTEGER PRIMARY KEY, name TEXT, born DATE, qty INTEGER, "
            "small SMALLINT, price DECIMAL(10,2), ok BOOLEAN);"
            "INSERT INTO odd VALUES (1, 'fine', '2001-02-03', 5, 1, 2.5, 1);"
            "INSERT INTO odd VALUES (2, 'bad date', 'someday', 6, 2, 3, 0);"
            "INSERT INTO odd VALUES (3, 'bad numbers', NULL, 'many', 70000, x'0102', 'perhaps');"
            "INSERT INTO odd VALUES (4, 'fraction', NULL, 1.5, NULL, NULL, NULL);");
    }
};

}  // namespace

TEST_F(RawValues, OneBadValueDoesNotKeepTheOtherRowsFromOpening) {
    for (int kind = 0; kind < 2; ++kind) {
        TTable t;
        TQuery q;
        TSQLiteDataSet& ds = kind == 0 ? static_cast<TSQLiteDataSet&>(t) : q;
        t.SetTableName("odd");
        t.SetIndexFieldNames("id");
        q.GetSQL()->SetText("SELECT * FROM odd ORDER BY id");
        ds.SetConnection(Conn.get());
        ds.Open();
        EXPECT_EQ(ds.GetRecordCount(), 4);

        TField* born = ds.FieldByName("born");
        EXPECT_EQ(born->GetAsDateTime(), EncodeDate(2001, 2, 3));
        EXPECT_FALSE(born->HasRawValue());
        EXPECT_EQ(born->GetRawValue().AsDateTime(), EncodeDate(2001, 2, 3));  // typed = stored

        ds.Next();
        EXPECT_TRUE(born->IsNull());
        EXPECT_TRUE(born->HasRawValue());
        EXPECT_EQ(born->GetRawValue().AsString(), "someday");
        EXPECT_EQ(ds.FieldByName("qty")->GetAsInteger(), 6);
        EXPECT_FALSE(ds.FieldByName("qty")->HasRawValue());

        ds.Next();
        EXPECT_EQ(ds.FieldByName("qty")->GetRawValue().AsString(), "many");
        EXPECT_TRUE(ds.FieldByName("qty")->IsNull());
        EXPECT_EQ(ds.FieldByName("small")->GetRawValue().AsInt64(), 70000);  // out of range
        EXPECT_TRUE(ds.FieldByName("small")->IsNull());
        EXPECT_EQ(ds.FieldByName("price")->GetRawValue().AsBytes(),
                  (std::vector<std::uint8_t>{1, 2}));
        EXPECT_EQ(ds.FieldByName("ok")->GetRawValue().AsString(), "perhaps");
        EXPECT_FALSE(born->HasRawValue());  // a stored NULL is just Null

        ds.Next();
        EXPECT_DOUBLE_EQ(ds.FieldByName("qty")->GetRawValue().AsFloat(), 1.5);
        // Going back finds each row's own values.
        ds.First();
        EXPECT_FALSE(born->HasRawValue());
        ds.Next();
        EXPECT_EQ(born->GetRawValue().AsString(), "someday");
    }
}

TEST_F(RawValues, TheRowStaysEditableAndTheStoredValueStaysUntilReplaced) {
    TTable t;
    t.SetConnection(Conn.get());
    t.SetTableName("odd");
    t.SetIndexFieldNames("id");
    t.Open();
    t.Next();
    // Editing another field leaves the unreadable value in the table.
    t.Edit();
    EXPECT_EQ(t.FieldByName("born")->GetRawValue().AsString(), "someday");
    t.FieldByName("name")->SetAsString("renamed");
    t.Post();
    EXPECT_EQ(ReadBack("SELECT born FROM odd WHERE id = 2"), "someday");
    EXPECT_EQ(ReadBack("SELECT name FROM odd WHERE id = 2"), "renamed");
    EXPECT_EQ(t.FieldByName("born")->GetRawValue().AsString(), "someday");

    // Cancelling an edit that set it brings the stored value back.
    t.Edit();
    t.FieldByName("born")->SetAsDateTime(EncodeDate(1999, 9, 9));
    EXPECT_FALSE(t.FieldByName("born")->HasRawValue());
    t.Cancel();
    EXPECT_EQ(t.FieldByName("born")->GetRawValue().AsString(), "someday");

    // Setting the field replaces it; so does clearing it, though the field read Null before.
    t.Edit();
    t.FieldByName("born")->SetAsDateTime(EncodeDate(1999, 9, 9));
    t.Post();
    EXPECT_FALSE(t.FieldByName("born")->HasRawValue());
    EXPECT_EQ(ReadBack("SELECT born FROM odd WHERE id = 2"), "1999-09-09");
    t.Next();
    t.Edit();
    t.FieldByName("qty")->Clear();
    t.Post();
    EXPECT_EQ(ReadBack("SELECT qty FROM odd WHERE id = 3"), "<null>");
    EXPECT_EQ(ReadBack("SELECT small FROM odd WHERE id = 3"), "70000");
    EXPECT_FALSE(t.FieldByName("qty")->HasRawValue());
    EXPECT_TRUE(t.FieldByName("small")->HasRawValue());

    // Reopening reads what is stored now; deleting the row takes its stored values along.
    t.Close();
    t.Open();
    ASSERT_TRUE(t.Locate("id", Variant(3), {}));
    EXPECT_FALSE(t.FieldByName("qty")->HasRawValue());
    EXPECT_EQ(t.FieldByName("ok")->GetRawValue().AsString(), "perhaps");
    t.Delete();
    EXPECT_EQ(ReadBack("SELECT count(*) FROM odd WHERE id = 3"), "0");
    EXPECT_FALSE(t.FieldByName("ok")->HasRawValue());
}

TEST_F(RawValues, AKeyTheFieldCannotHoldStillFindsItsRow) {
    Conn->ExecSQL(
        "CREATE TABLE days (day DATE PRIMARY KEY, what TEXT);"
        "INSERT INTO days VALUES ('2020-01-01', 'new year'), ('soon', 'unknown');");
    TTable t;
    t.SetConnection(Conn.get());
    t.SetTableName("days");
    t.SetIndexFieldNames("what");
    t.Open();
    ASSERT_EQ(t.FieldByName("what")->GetAsString(), "new year");
    t.Next();
    ASSERT_EQ(t.FieldByName("day")->GetRawValue().AsString(), "soon");
    t.Edit();
    t.FieldByName("what")->SetAsString("some day");
    t.Post();
    EXPECT_EQ(ReadBack("SELECT what FROM days WHERE day = 'soon'"), "some day");
    t.Delete();
    EXPECT_EQ(ReadBack("SELECT count(*) FROM days"), "1");
}

TEST_F(RawValues, TheOneWayCursorAndTheAdoClassesReadOnToo) {
    TQuery q;
    q.SetConnection(Conn.get());
    q.SetUniDirectional(true);
    // A declared length the cursor cannot widen: longer text is kept raw like any other.
    Conn->ExecSQL(
        "CREATE TABLE tags (id INTEGER PRIMARY KEY, tag VARCHAR(2));"
        "INSERT INTO tags VALUES (1, 'ab'), (2, 'far too long'), (3, 'cd');");
    q.GetSQL()->SetText("SELECT o.id, o.born, t.tag FROM odd o JOIN tags t USING (id) ORDER BY 1");
    q.Open();
    EXPECT_FALSE(q.FieldByName("born")->HasRawValue());
    q.Next();
    EXPECT_EQ(q.FieldByName("born")->GetRawValue().AsString(), "someday");
    EXPECT_EQ(q.FieldByName("tag")->GetRawValue().AsString(), "far too long");
    EXPECT_TRUE(q.FieldByName("tag")->IsNull());
    q.Next();
    EXPECT_EQ(q.FieldByName("id")->GetAsInteger(), 3);
    EXPECT_FALSE(q.FieldByName("born")->HasRawValue());
    EXPECT_EQ(q.FieldByName("tag")->GetAsString(), "cd");

    TADOQuery a;
    a.SetConnection(Conn.get());
    a.GetSQL()->SetText("SELECT * FROM odd");
    a.SetSort("id DESC");
    a.Open();
    a.Last();
    a.Prior();
    a.Prior();
    EXPECT_EQ(a.FieldByName("id")->GetAsInteger(), 3);
    EXPECT_EQ(a.FieldByName("qty")->GetRawValue().AsString(), "many");
}

TEST_F(RawValues, ADefaultTheFieldCannotHoldIsKeptAfterAnInsert) {
    Conn->ExecSQL("CREATE TABLE due (id INTEGER PRIMARY KEY, what TEXT, day DATE DEFAULT 'tbd')");
    TTable t;
    t.SetConnection(Conn.get());
    t.SetTableName("due");
    t.Open();
    t.Append();
    t.FieldByName("what")->SetAsString("dentist");
    t.Post();
    EXPECT_EQ(t.FieldByName("id")->GetAsInteger(), 1);
    EXPECT_TRUE(t.FieldByName("day")->IsNull());
    EXPECT_EQ(t.FieldByName("day")->GetRawValue().AsString(), "tbd");
}

TEST_F(RawValues, ValuesBeyondWhatTheFieldCanShowAreKeptRaw) {
    // Found by fuzzing: such values used to load and then raise whenever the field was read.
    Conn->ExecSQL(
        "CREATE TABLE far (id INTEGER PRIMARY KEY, cost MONEY, day DATE, stamp DATETIME);"
        "INSERT INTO far VALUES (1, 1e300, 1000000000000000, '12345-01-01');"
        "INSERT INTO far VALUES (2, 12.5, 0, '9999-12-31 23:59:59');");
    TQuery q;
    q.SetConnection(Conn.get());
    q.GetSQL()->SetText("SELECT * FROM far ORDER BY id");
    q.Open();
    for (const char* name : {"cost", "day", "stamp"}) {
        TField* f = q.FieldByName(name);
        EXPECT_TRUE(f->IsNull()) << name;
        EXPECT_TRUE(f->GetAsVariant().IsNull()) << name;
        EXPECT_TRUE(f->HasRawValue()) << name;
        EXPECT_NO_THROW(f->GetDisplayText()) << name;
    }
    EXPECT_DOUBLE_EQ(q.FieldByName("cost")->GetRawValue().AsFloat(), 1e300);
    q.Next();
    EXPECT_DOUBLE_EQ(q.FieldByName("cost")->GetAsFloat(), 12.5);
    EXPECT_EQ(q.FieldByName("day")->GetAsDateTime(), EncodeDate(1970, 1, 1));
    EXPECT_FALSE(q.FieldByName("stamp")->HasRawValue());
}
