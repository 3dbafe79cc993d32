// The one-way cursor: the same values as the buffered query, row by row, with nothing kept
// behind and no way back.
#include "platform/classes/TypInfo.h"
#include "platform/db/DBTypes.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/DateTime.h"
#include "tests/sqlite/SqliteTestUtil.h"

using namespace vel;
using veltest::SqliteFixture;

namespace {

// Every field of every record as text, in cursor order, read by walking forward only.
std::vector<std::string> Rows(TDataSet& ds) {
    std::vector<std::string> out;
    for (; !ds.GetEOF(); ds.Next()) {
        std::string row;
        for (int i = 0; i < ds.GetFieldCount(); ++i) {
            TField* f = ds.GetFields()[i];
            row += f->IsNull() ? "<null>" : f->GetAsString();
            row += '|';
        }
        out.push_back(row);
    }
    return out;
}

// A one-way query, or with OneWay false the buffered query it is compared with.
struct UniQuery : TQuery {
    explicit UniQuery(TSQLiteConnection* c, const std::string& sql, bool OneWay = true) {
        SetConnection(c);
        SetUniDirectional(OneWay);
        GetSQL()->SetText(sql);
    }
};

}  // namespace

TEST_F(SqliteFixture, UniDirectionalReadsWhatTheBufferedQueryReads) {
    // Declared columns, and undeclared ones whose type comes from the first rows seen.
    for (const char* sql :
         {"SELECT * FROM people ORDER BY id",
          "SELECT name, salary * 2 AS twice, NULL AS nada, 1.5 AS half, born FROM people "
          "ORDER BY name DESC"}) {
        UniQuery buffered(Conn.get(), sql, false);
        buffered.Open();
        UniQuery uni(Conn.get(), sql);
        uni.Open();
        ASSERT_EQ(uni.GetFieldCount(), buffered.GetFieldCount()) << sql;
        for (int i = 0; i < uni.GetFieldCount(); ++i) {
            EXPECT_EQ(uni.GetFields()[i]->GetDataType(), buffered.GetFields()[i]->GetDataType())
                << sql << " field " << i;
            EXPECT_EQ(uni.GetFields()[i]->GetSize(), buffered.GetFields()[i]->GetSize())
                << sql << " field " << i;
        }
        EXPECT_EQ(Rows(uni), Rows(buffered)) << sql;
    }
    UniQuery uni(Conn.get(), "SELECT * FROM people ORDER BY id");
    uni.Open();
    EXPECT_EQ(uni.FieldByName("born")->GetAsDateTime(), EncodeDate(1980, 5, 17));
    EXPECT_EQ(uni.FieldByName("salary")->GetAsCurrency(), Currency::FromScaled(12005000));
    uni.Next();
    uni.Next();
    EXPECT_EQ(uni.FieldByName("photo")->GetAsString(), std::string("\x00\xFF\x10", 3));
    EXPECT_TRUE(uni.FieldByName("salary")->IsNull());

    // A declared size is room for that many characters; a longer value is never cut: the
    // field reads Null and the text stays whole as the raw value.
    Conn->ExecSQL("INSERT INTO people (id, name) VALUES (7, 'Zoë Ångström-Øvergård')");
    Conn->ExecSQL("INSERT INTO people (id, name) VALUES (8, '" + std::string(200, 'x') + "')");
    UniQuery names(Conn.get(), "SELECT name FROM people WHERE id >= 7 ORDER BY id");
    names.Open();
    EXPECT_EQ(names.FieldByName("name")->GetAsString(), "Zoë Ångström-Øvergård");
    names.Next();
    EXPECT_TRUE(names.FieldByName("name")->IsNull());
    EXPECT_EQ(names.FieldByName("name")->GetRawValue().AsString(), std::string(200, 'x'));
}

TEST_F(SqliteFixture, UniDirectionalGoesOnlyForward) {
    UniQuery q(Conn.get(), "SELECT id, name FROM people ORDER BY id");
    int opens = 0;
    q.SetAfterOpen([&](TDataSet*) { ++opens; });
    q.Open();
    EXPECT_TRUE(q.IsUniDirectional());
    EXPECT_EQ(GetOrdProp(&q, "UniDirectional"), 1);
    EXPECT_EQ(q.GetRecordCount(), -1);
    EXPECT_EQ(q.GetRecNo(), 1);
    q.Next();
    EXPECT_EQ(q.GetRecNo(), 2);
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "alice");

    EXPECT_THROW(q.Prior(), EDatabaseError);
    EXPECT_THROW(q.Last(), EDatabaseError);
    EXPECT_THROW(q.MoveBy(-1), EDatabaseError);
    EXPECT_THROW(q.Locate("id", Variant(1), {}), EDatabaseError);
    EXPECT_THROW(q.Lookup("id", Variant(1), "name"), EDatabaseError);
    EXPECT_THROW(q.SetRecNo(1), EDatabaseError);
    EXPECT_THROW(q.Refresh(), EDatabaseError);
    EXPECT_TRUE(q.GetBookmark().empty());
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "alice");  // nothing moved

    // Not editable, and the error says why.
    EXPECT_FALSE(q.GetCanModify());
    try {
        q.Edit();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("unidirectional"), std::string::npos) << e.what();
    }

    // Past the end the last record stays readable.
    EXPECT_EQ(q.MoveBy(10), 2);
    EXPECT_TRUE(q.GetEOF());
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "Alice");

    // First runs the statement again and so sees rows added meanwhile; on the first record
    // it does nothing.
    Conn->ExecSQL("INSERT INTO people (id, name) VALUES (0, 'Zero')");
    q.First();
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "Zero");
    EXPECT_EQ(q.GetRecNo(), 1);
    q.First();
    EXPECT_EQ(opens, 2);

    // The mode is chosen before opening.
    EXPECT_THROW(q.SetUniDirectional(false), EDatabaseError);
    q.Close();
    q.SetUniDirectional(false);
    q.Open();
    EXPECT_EQ(q.GetRecordCount(), 5);
    q.Last();
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "Alice");
}

TEST_F(SqliteFixture, UniDirectionalFiltersAsItReads) {
    UniQuery q(Conn.get(), "SELECT id, name, note FROM people ORDER BY id");
    q.SetFilter("note IS NULL");
    q.SetFiltered(true);
    q.Open();
    // Carol and Bob pass; Alice, the last row, does not, so Bob stays on show with his text.
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "Carol");
    q.Next();
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "Bob");
    EXPECT_EQ(q.GetRecNo(), 2);  // counts the records passed
    q.Next();
    EXPECT_TRUE(q.GetEOF());
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "Bob");

    // A new filter runs the statement again from the start.
    q.SetFilter("name = 'Alice' OR name = 'alice'");
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "alice");
    q.SetOnFilterRecord(
        [](TDataSet* ds, bool& accept) { accept = ds->FieldByName("id")->GetAsInteger() > 2; });
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "Alice");
    q.SetFiltered(false);
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "Carol");
}

TEST_F(SqliteFixture, UniDirectionalKeepsTextRightOverALongScan) {
    // More text than the cursor keeps before it moves the current row's text to the front.
    Conn->ExecSQL("CREATE TABLE notes (n INTEGER, body TEXT, tag VARCHAR(8))");
    Conn->StartTransaction();
    TSQLiteStatement ins(*Conn, "INSERT INTO notes VALUES (?, ?, ?)");
    auto body = [](int n) {
        return std::string(200 + n % 97, static_cast<char>('a' + n % 26)) + std::to_string(n);
    };
    const int rows = 3000;
    for (int n = 0; n < rows; ++n) {
        ins.Bind(1, Variant(n));
        ins.Bind(2, Variant(body(n)));
        ins.Bind(3, n % 5 == 0 ? Variant::Null() : Variant("t" + std::to_string(n % 7)));
        ins.Execute();
    }
    Conn->Commit();
    UniQuery q(Conn.get(), "SELECT n, body, tag FROM notes ORDER BY n");
    q.SetFilter("n <> 1500");  // a refused row in the middle leaves nothing behind either
    q.SetFiltered(true);
    q.Open();
    int seen = 0;
    for (; !q.GetEOF(); q.Next(), ++seen) {
        const int n = q.FieldByName("n")->GetAsInteger();
        ASSERT_EQ(q.FieldByName("body")->GetAsString(), body(n)) << n;
        ASSERT_EQ(q.FieldByName("tag")->IsNull(), n % 5 == 0) << n;
        if (n % 5) {
            ASSERT_EQ(q.FieldByName("tag")->GetAsString(), "t" + std::to_string(n % 7));
        }
    }
    EXPECT_EQ(seen, rows - 1);
    EXPECT_EQ(q.FieldByName("body")->GetAsString(), body(rows - 1));
}

TEST_F(SqliteFixture, DataLinksCannotBrowseAUniDirectionalDataSet) {
    UniQuery q(Conn.get(), "SELECT id, name FROM people ORDER BY id");
    q.Open();
    // A source asks for many buffers; a one-way cursor keeps one.
    TDataSource source;
    source.SetDataSet(&q);
    TDataLink link;
    link.SetBufferCount(10);
    link.SetDataSource(&source);
    EXPECT_EQ(q.GetBufferCount(), 1);
    q.Next();
    EXPECT_EQ(q.FieldByName("name")->GetAsString(), "alice");
    link.SetDataSource(nullptr);
}

TEST_F(SqliteFixture, UniDirectionalReadsFieldsInAnyOrderAndAsOftenAsAsked) {
    const char* sql = "SELECT id, name, born, salary, active, note, photo FROM people ORDER BY id";
    UniQuery buffered(Conn.get(), sql, false);
    buffered.Open();
    UniQuery uni(Conn.get(), sql);
    uni.Open();
    const int n = uni.GetFieldCount();
    for (; !uni.GetEOF(); uni.Next(), buffered.Next()) {
        // Backwards, then forwards twice, typed and as Variants: always the buffered values.
        for (int i = n - 1; i >= 0; --i)
            EXPECT_EQ(uni.GetFields()[i]->GetAsVariant(), buffered.GetFields()[i]->GetAsVariant())
                << i;
        for (int pass = 0; pass < 2; ++pass)
            for (int i = 0; i < n; ++i) {
                TField* u = uni.GetFields()[i];
                TField* b = buffered.GetFields()[i];
                EXPECT_EQ(u->IsNull(), b->IsNull()) << i;
                EXPECT_EQ(u->GetAsString(), b->GetAsString()) << i;
                EXPECT_EQ(u->GetDisplayText(), b->GetDisplayText()) << i;
            }
    }
    EXPECT_TRUE(buffered.GetEOF());
    // Past the end, the last row's values, whichever were read before.
    EXPECT_EQ(uni.FieldByName("photo")->GetAsVariant(), Variant::Null());
    EXPECT_EQ(uni.FieldByName("salary")->GetAsCurrency(), Currency::FromScaled(30002500));

    // A Null between values read, and text holding a NUL, which a string field ends at.
    UniQuery mixed(Conn.get(),
                   "SELECT 1 AS a, NULL AS b, 'ab' || char(0) || 'cd' AS c, 'tail' AS d");
    mixed.Open();
    EXPECT_EQ(mixed.FieldByName("a")->GetAsInteger(), 1);
    EXPECT_TRUE(mixed.FieldByName("b")->IsNull());
    EXPECT_TRUE(mixed.FieldByName("b")->GetAsVariant().IsNull());
    EXPECT_EQ(mixed.FieldByName("c")->GetAsString(), "ab");
    EXPECT_EQ(mixed.FieldByName("d")->GetAsString(), "tail");
    EXPECT_EQ(mixed.FieldByName("a")->GetAsVariant().AsInt64(), 1);
}

TEST_F(SqliteFixture, UniDirectionalStepsWithoutListenersReadEachRowOnceAndKeepTheLastAtTheEnd) {
    // Rows of every storage class in every kind of column, Nulls among them; text that piles
    // up past what the cursor keeps before it moves the current row's text down.
    Conn->ExecSQL(
        "CREATE TABLE mix (n INTEGER, big BIGINT, r REAL, m DECIMAL(10,2), d DATE, f BOOLEAN, "
        "t VARCHAR(12), body TEXT)");
    Conn->StartTransaction();
    TSQLiteStatement ins(*Conn, "INSERT INTO mix VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    const int rows = 2000;
    auto body = [](int n) { return std::string(50 + n % 13, static_cast<char>('a' + n % 26)); };
    for (int n = 0; n < rows; ++n) {
        const bool null = n % 7 == 3;
        ins.Bind(1, Variant(n));
        ins.Bind(2, null ? Variant::Null() : Variant(static_cast<long long>(n) << 33));
        ins.Bind(3, null ? Variant::Null() : Variant(n / 4.0));
        ins.Bind(4, null ? Variant::Null() : Variant(n + 0.25));
        ins.Bind(5, null ? Variant::Null() : Variant("2020-02-" + std::string(n % 2 ? "01" : "29")));
        ins.Bind(6, null ? Variant::Null() : Variant(n % 2 == 0));
        ins.Bind(7, null ? Variant::Null() : Variant("t" + std::to_string(n)));
        ins.Bind(8, Variant(body(n)));
        ins.Execute();
    }
    Conn->Commit();
    const char* sql = "SELECT * FROM mix ORDER BY n";
    UniQuery buffered(Conn.get(), sql, false);
    buffered.Open();
    UniQuery uni(Conn.get(), sql);
    uni.Open();
    int seen = 0;
    for (; !uni.GetEOF(); uni.Next(), buffered.Next(), ++seen) {
        ASSERT_FALSE(buffered.GetEOF());
        EXPECT_EQ(uni.GetRecNo(), seen + 1);
        const int n = uni.FieldByName("n")->GetAsInteger();
        ASSERT_EQ(n, seen);
        ASSERT_EQ(uni.FieldByName("body")->GetAsString(), body(n)) << n;
        for (int i = 0; i < uni.GetFieldCount(); ++i) {
            TField* u = uni.GetFields()[i];
            TField* b = buffered.GetFields()[i];
            ASSERT_EQ(u->IsNull(), b->IsNull()) << n << " " << u->GetFieldName();
            ASSERT_EQ(u->GetAsVariant(), b->GetAsVariant()) << n << " " << u->GetFieldName();
        }
        if (n % 7 != 3) {
            EXPECT_EQ(uni.FieldByName("big")->GetAsLargeInt(), static_cast<long long>(n) << 33);
            EXPECT_EQ(uni.FieldByName("m")->GetAsCurrency(), Currency::FromScaled(n * 10000LL + 2500));
            EXPECT_EQ(uni.FieldByName("d")->GetAsDateTime(), EncodeDate(2020, 2, n % 2 ? 1 : 29));
            EXPECT_EQ(uni.FieldByName("f")->GetAsBoolean(), n % 2 == 0);
            EXPECT_EQ(uni.FieldByName("t")->GetAsString(), "t" + std::to_string(n));
        }
    }
    EXPECT_EQ(seen, rows);
    EXPECT_TRUE(buffered.GetEOF());
    // Past the end: still the last row, every field of it.
    EXPECT_EQ(uni.FieldByName("n")->GetAsInteger(), rows - 1);
    EXPECT_EQ(uni.FieldByName("body")->GetAsString(), body(rows - 1));
    EXPECT_EQ(uni.FieldByName("t")->GetAsString(), "t" + std::to_string(rows - 1));
    EXPECT_EQ(uni.GetRecNo(), rows);
    uni.Next();
    EXPECT_EQ(uni.FieldByName("r")->GetAsFloat(), (rows - 1) / 4.0);
}

TEST_F(SqliteFixture, UniDirectionalStepsHeardByEventsOrCalculatingFieldsGoTheClassicWay) {
    UniQuery q(Conn.get(), "SELECT id, name, salary FROM people ORDER BY id");
    auto* id = new TIntegerField(&q);
    id->SetFieldName("id");
    id->SetDataSet(&q);
    auto* name = new TStringField(&q);
    name->SetFieldName("name");
    name->SetSize(40);
    name->SetDataSet(&q);
    auto* twice = new TIntegerField(&q);
    twice->SetFieldName("twice");
    twice->SetFieldKind(TFieldKind::fkCalculated);
    twice->SetDataSet(&q);
    int calcs = 0;
    q.SetOnCalcFields([&](TDataSet* d) {
        ++calcs;
        d->FieldByName("twice")->SetAsInteger(d->FieldByName("id")->GetAsInteger() * 2);
    });
    q.Open();
    EXPECT_EQ(twice->GetAsInteger(), 2);
    q.Next();
    EXPECT_EQ(twice->GetAsInteger(), 4);
    EXPECT_EQ(name->GetAsString(), "alice");
    int scrolls = 0;
    q.SetAfterScroll([&](TDataSet*) { ++scrolls; });
    q.Next();
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(twice->GetAsInteger(), 6);
    q.SetAfterScroll(nullptr);
    q.Next();
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(name->GetAsString(), "Alice");
    EXPECT_GE(calcs, 4);
    q.Next();
    EXPECT_TRUE(q.GetEOF());
    EXPECT_EQ(twice->GetAsInteger(), 8);
    EXPECT_EQ(name->GetAsString(), "Alice");
}
