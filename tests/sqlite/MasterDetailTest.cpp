// Detail datasets following a master's current record: orders and their lines.
#include <gtest/gtest.h>

#include "platform/classes/PropAccess.h"
#include "platform/db/DBTypes.h"
#include "platform/db/DataSource.h"
#include "platform/db/sqlite/ADODB.h"
#include "platform/db/sqlite/SQLDataSets.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace {

using V = std::vector<std::string>;

class MasterDetail : public ::testing::Test {
protected:
    void SetUp() override {
        Conn.SetFileName(Dir.File("shop.db"));
        Conn.SetCreateIfMissing(true);
        Conn.ExecSQL(
            "CREATE TABLE orders (id INTEGER PRIMARY KEY, customer VARCHAR(20));"
            "CREATE TABLE order_lines (order_id INTEGER NOT NULL REFERENCES orders(id), "
            "line INTEGER NOT NULL, product VARCHAR(20), qty INTEGER, "
            "PRIMARY KEY (order_id, line));"
            "INSERT INTO orders VALUES (1, 'Ann'), (2, 'Ben'), (3, 'Cid');"
            "INSERT INTO order_lines VALUES (1, 1, 'tea', 2), (1, 2, 'cake', 1), "
            "(2, 1, 'coffee', 5), (2, 2, 'milk', 1), (2, 3, 'sugar', 9);");
        Orders.SetConnection(&Conn);
        Orders.SetTableName("orders");
        Orders.SetIndexFieldNames("id");
        Source.SetDataSet(&Orders);
    }

    static V Products(TDataSet& ds) {
        V out;
        for (ds.First(); !ds.GetEOF(); ds.Next())
            out.push_back(ds.FieldByName("product")->GetAsString());
        return out;
    }

    std::string ReadBack(const std::string& sql) {
        TSQLiteStatement st(Conn, sql);
        return st.Step() ? std::string(st.ColumnText(0)) : "<no row>";
    }

    veltest::TempDir Dir;
    TSQLiteConnection Conn;
    TTable Orders;
    TDataSource Source;
};

TEST_F(MasterDetail, QueryParametersFollowTheMasterAndReopenOnlyWhenTheKeyChanges) {
    TQuery lines;
    lines.SetConnection(&Conn);
    lines.GetSQL()->SetText(
        "SELECT product FROM order_lines WHERE order_id = :id AND qty >= :least ORDER BY line");
    lines.ParamByName("least").SetAsInteger(2);
    lines.SetDataSource(&Source);
    Orders.Open();
    lines.Open();
    EXPECT_EQ(Products(lines), V({"tea"}));  // :least keeps its own value
    int opens = 0;
    lines.SetAfterOpen([&](TDataSet*) { ++opens; });
    Orders.Next();
    EXPECT_EQ(Products(lines), V({"coffee", "sugar"}));
    Orders.Next();
    EXPECT_TRUE(lines.IsEmpty());  // an order without lines
    EXPECT_EQ(opens, 2);
    // Editing another master field and posting keeps the key: no new query.
    Orders.Edit();
    Orders.FieldByName("customer")->SetAsString("Cyd");
    Orders.Post();
    EXPECT_EQ(opens, 2);
    // A closed master selects nothing.
    Orders.Close();
    EXPECT_TRUE(lines.GetActive());
    EXPECT_TRUE(lines.IsEmpty());
    EXPECT_EQ(GetObjectProp(&lines, "DataSource"), &Source);
}

TEST_F(MasterDetail, CircularLinksAreRefusedAndTheOldLinkStays) {
    TQuery a, b;
    TDataSource srcA, srcB;
    srcA.SetDataSet(&a);
    srcB.SetDataSet(&b);
    b.SetDataSource(&srcA);
    EXPECT_THROW(a.SetDataSource(&srcA), EDatabaseError);  // itself
    a.SetDataSource(&Source);
    EXPECT_THROW(a.SetDataSource(&srcB), EDatabaseError);  // through b
    EXPECT_EQ(a.GetDataSource(), &Source);
    {
        TDataSource gone;
        a.SetDataSource(&gone);
    }
    EXPECT_EQ(a.GetDataSource(), nullptr);  // a freed source is let go
}

TEST_F(MasterDetail, TableMasterFieldsSelectLinesAndNewLinesTakeTheMasterKey) {
    TTable lines;
    lines.SetConnection(&Conn);
    lines.SetTableName("order_lines");
    lines.SetIndexFieldNames("order_id;line");
    lines.SetMasterSource(&Source);
    lines.SetMasterFields("id");
    Orders.Open();
    lines.Open();
    EXPECT_EQ(Products(lines), V({"tea", "cake"}));
    Orders.Last();
    EXPECT_TRUE(lines.IsEmpty());
    lines.Append();
    EXPECT_EQ(lines.FieldByName("order_id")->GetAsInteger(), 3);
    lines.FieldByName("line")->SetAsInteger(1);
    lines.FieldByName("product")->SetAsString("jam");
    lines.Post();
    EXPECT_EQ(ReadBack("SELECT product FROM order_lines WHERE order_id = 3"), "jam");
    Orders.First();
    EXPECT_EQ(Products(lines), V({"tea", "cake"}));

    // A master field the master lacks is refused and the link stays.
    EXPECT_THROW(lines.SetMasterFields("nosuch"), EDatabaseError);
    EXPECT_EQ(lines.GetMasterFields(), "id");
    EXPECT_EQ(GetStrProp(&lines, "MasterFields"), "id");
    EXPECT_EQ(GetObjectProp(&lines, "MasterSource"), &Source);
    // Dropping the master shows every line.
    lines.SetMasterSource(nullptr);
    EXPECT_EQ(lines.GetRecordCount(), 6);
}

TEST_F(MasterDetail, AdoDatasetsLinkByMasterFieldsAndParameters) {
    TADOTable table;
    table.SetConnection(&Conn);
    table.SetTableName("order_lines");
    table.SetIndexFieldNames("order_id;line");
    SetObjectProp(&table, "MasterSource", &Source);
    SetStrProp(&table, "MasterFields", "id");

    // A command is filtered as a subquery; its rows can still be posted.
    TADODataSet command;
    command.SetConnection(&Conn);
    command.SetCommandText("SELECT order_id, line, product FROM order_lines ORDER BY line DESC;");
    command.SetIndexFieldNames("order_id");
    command.SetDataSource(&Source);
    command.SetMasterFields("id");

    TADOQuery query;
    query.SetConnection(&Conn);
    query.GetSQL()->SetText("SELECT product FROM order_lines WHERE order_id = :id");
    SetObjectProp(&query, "DataSource", &Source);

    Orders.Open();
    table.Open();
    command.Open();
    query.Open();
    Orders.Next();
    EXPECT_EQ(Products(table), V({"coffee", "milk", "sugar"}));
    EXPECT_EQ(Products(command), V({"sugar", "milk", "coffee"}));
    EXPECT_EQ(query.GetRecordCount(), 3);
    command.First();
    command.Edit();
    command.FieldByName("product")->SetAsString("salt");
    command.Post();
    EXPECT_EQ(ReadBack("SELECT product FROM order_lines WHERE order_id = 2 AND line = 3"), "salt");
}

}  // namespace
