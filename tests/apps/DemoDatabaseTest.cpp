// The demo database generator: deterministic, complete, and readable through the datasets.
#include <filesystem>
#include <map>

#include "apps/veldemodb/DemoDatabase.h"
#include "platform/db/DBTypes.h"
#include "tests/sqlite/SqliteTestUtil.h"

using namespace vel;
using veltest::Scalar;

TEST(DemoDatabase, IsDeterministicAndComplete) {
    veltest::TempDir dir;
    TDemoDatabaseOptions small;
    small.Orders = 3000;
    small.Customers = 200;
    const std::string a = dir.File("a.db"), b = dir.File("b.db");
    BuildDemoDatabase(a, small);
    BuildDemoDatabase(b, small);
    EXPECT_EQ(veltest::ReadFileText(a), veltest::ReadFileText(b));
    EXPECT_FALSE(std::filesystem::exists(a + ".building"));

    TSQLiteConnection db;
    db.SetFileName(a);
    EXPECT_EQ(Scalar(db, "SELECT count(*) FROM orders"), "3000");
    EXPECT_EQ(Scalar(db, "SELECT count(*) FROM customers"), "200");
    // Every order has lines and its total is theirs.
    EXPECT_EQ(Scalar(db,
                     "SELECT count(*) FROM orders o WHERE NOT EXISTS "
                     "(SELECT 1 FROM order_lines l WHERE l.order_id = o.id)"),
              "0");
    // One root; every other employee reports to someone who exists, two levels deep at least.
    EXPECT_EQ(Scalar(db, "SELECT count(*) FROM employees WHERE manager_id IS NULL"), "1");
    EXPECT_EQ(
        Scalar(db,
               "SELECT count(*) FROM employees e LEFT JOIN employees m ON m.id = e.manager_id "
               "WHERE e.manager_id IS NOT NULL AND m.id IS NULL"),
        "0");
    EXPECT_EQ(Scalar(db,
                     "SELECT count(*) FROM employees e JOIN employees m ON m.id = e.manager_id "
                     "JOIN employees d ON d.id = m.manager_id WHERE d.manager_id IS NOT NULL"),
              Scalar(db,
                     "SELECT count(*) FROM employees WHERE title NOT IN ('Sales Director', "
                     "'Regional Manager', 'Team Lead')"));
    // NULLs where the data has gaps.
    EXPECT_NE(Scalar(db, "SELECT count(*) FROM orders WHERE shipped_date IS NULL"), "0");
    EXPECT_NE(Scalar(db, "SELECT count(*) FROM customers WHERE credit_limit IS NULL"), "0");

    // Pictures in each stored form, recognisable by their first bytes.
    TSQLiteStatement pics(db,
                          "SELECT picture_format, picture FROM products WHERE picture IS NOT NULL");
    std::map<std::string, int> seen;
    while (pics.Step()) {
        std::string format(pics.ColumnText(0));
        std::string_view data = pics.ColumnBlob(1);
        ASSERT_GT(data.size(), 16u) << format;
        auto u = [&](std::size_t i) { return static_cast<unsigned char>(data[i]); };
        if (format == "PNG")
            EXPECT_EQ(data.substr(0, 4), "\x89PNG");
        else if (format == "JPEG")
            EXPECT_TRUE(u(0) == 0xFF && u(1) == 0xD8 && u(2) == 0xFF &&
                        (u(3) == 0xE0 || u(3) == 0xE1));
        else if (format == "BMP")
            EXPECT_EQ(data.substr(0, 2), "BM");
        else {
            EXPECT_EQ(format, "Header+BMP");
            EXPECT_TRUE(u(0) == 1 && u(1) == 0 && u(2) == 0 && u(3) == 1);
            EXPECT_EQ(u(4) | (u(5) << 8) | (u(6) << 16), static_cast<int>(data.size() - 8));
            EXPECT_EQ(data.substr(8, 2), "BM");
        }
        ++seen[format];
    }
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_NE(Scalar(db, "SELECT count(*) FROM products WHERE picture IS NULL"), "0");

    // The datasets read every table with the declared types.
    TTable t;
    t.SetConnection(&db);
    for (const std::string& name : db.GetTableNames()) {
        t.SetTableName(name);
        EXPECT_NO_THROW(t.Open()) << name;
        t.Close();
    }
    t.SetTableName("orders");
    t.Open();
    EXPECT_EQ(t.FieldByName("order_date")->GetDataType(), TFieldType::ftDateTime);
    EXPECT_EQ(t.FieldByName("total")->GetDataType(), TFieldType::ftBCD);
    EXPECT_EQ(t.FieldByName("paid")->GetDataType(), TFieldType::ftBoolean);
    EXPECT_EQ(t.GetRecordCount(), 3000);
}

TEST(DemoDatabase, FailureLeavesNoFileBehind) {
    veltest::TempDir dir;
    std::string target = dir.File("missing-folder/demo.db");
    EXPECT_THROW(BuildDemoDatabase(target), EDatabaseError);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_FALSE(std::filesystem::exists(target + ".building"));
}
