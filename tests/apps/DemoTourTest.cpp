// The demo's scripted tour over a small demo database: it writes one screenshot per step of
// the window it shows (the data-aware grids with formatted money, check boxes, the shipping
// band and the order lines), and the database is as generated afterwards.
#include <cctype>
#include <filesystem>

#include "apps/veldemo/OrdersWindow.h"
#include "apps/veldemodb/DemoDatabase.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Codecs.h"
#include "tests/sqlite/SqliteTestUtil.h"

using namespace vel;

namespace {

std::string Scalar(TSQLiteConnection& db, const std::string& sql) {
    TSQLiteStatement st(db, sql);
    if (!st.Step() || st.IsNull(0)) return "<null>";
    return std::string(st.ColumnText(0));
}

// "1,234.50": groups of three digits separated by commas, two decimals.
bool IsMoney(const std::string& Text) {
    const std::size_t dot = Text.find('.');
    if (dot == std::string::npos || dot == 0 || Text.size() != dot + 3) return false;
    for (std::size_t i = dot + 1; i < Text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(Text[i]))) return false;
    for (std::size_t i = 0; i < dot; ++i) {
        const bool comma = (dot - i) % 4 == 0;
        if (comma ? Text[i] != ',' : !std::isdigit(static_cast<unsigned char>(Text[i]))) return false;
    }
    return Text[0] != ',';
}

TVelColumn* ColumnOf(TVelDBGrid& Grid, const std::string& Field) {
    for (int i = 0; i < Grid.GetColumns()->Count(); ++i)
        if (Grid.GetColumns()->GetColumn(i)->GetFieldName() == Field)
            return Grid.GetColumns()->GetColumn(i);
    return nullptr;
}

class DemoTourTest : public ::testing::Test {
protected:
    DemoTourTest() { ResetWindowingForTests(); }
    ~DemoTourTest() override { ResetWindowingForTests(); }
};

TEST_F(DemoTourTest, WritesScreenshotsOfTheDataGridsAndLeavesTheDatabaseAsItWas) {
    veltest::TempDir dir;
    TDemoDatabaseOptions small;
    small.Orders = 400;
    small.Customers = 60;
    const std::string file = dir.File("demo.db");
    BuildDemoDatabase(file, small);
    const std::string before = veltest::ReadFileText(file);
    {
        veldemo::TOrdersWindow window(file);
        const std::vector<std::string> shots = veldemo::RunTour(window, dir.File("out/demo"));
        ASSERT_EQ(shots.size(), 8u);
        for (const std::string& shot : shots) {
            const std::string png = veltest::ReadFileText(shot);
            const TDecodedImage img =
                DecodePng(reinterpret_cast<const std::uint8_t*>(png.data()), png.size());
            EXPECT_EQ(img.Width, window.Form().GetWidth()) << shot;
            EXPECT_EQ(img.Height, window.Form().GetHeight()) << shot;
        }
        EXPECT_EQ(std::filesystem::path(shots.front()).filename(), "1-orders.png");

        // What the screenshots show: money with two decimals and thousands, Paid as a check
        // box, the customer's name looked up, a band over the shipping columns.
        TVelDBGrid& grid = window.OrdersGrid();
        TQuery& orders = window.Orders();
        EXPECT_TRUE(IsMoney("1,234.50") && IsMoney("0.05") && !IsMoney("1234.50") && !IsMoney("155.4"));
        orders.First();
        for (int i = 0; i < 30; ++i, orders.Next()) {
            EXPECT_TRUE(IsMoney(orders.FieldByName("total")->GetDisplayText()))
                << orders.FieldByName("total")->GetDisplayText();
            EXPECT_TRUE(IsMoney(orders.FieldByName("freight")->GetDisplayText()));
        }
        ASSERT_TRUE(ColumnOf(grid, "paid"));
        EXPECT_TRUE(ColumnOf(grid, "paid")->GetCheckBox());
        EXPECT_EQ(orders.FieldByName("customer")->GetAsString(),
                  Scalar(window.Connection(),
                         "SELECT company FROM customers WHERE id = " +
                             orders.FieldByName("customer_id")->GetAsString()));
        for (const char* f : {"ship_via", "shipped_date", "freight"})
            EXPECT_EQ(ColumnOf(grid, f)->GetTitle()->GetHeader(), "Shipping") << f;
        EXPECT_EQ(grid.GetHeaderRowCount(), 1);  // the band sits in the title row, above the titles
        // Every column fits: the columns stretch to the window and no horizontal bar shows.
        EXPECT_LE(grid.GetColumnsWidth(), grid.GetClientWidth());
        EXPECT_EQ(grid.GetStyle() & WS_HSCROLL, 0u);

        // The lines follow the current order.
        orders.Last();
        EXPECT_EQ(std::to_string(window.Lines().GetRecordCount()),
                  Scalar(window.Connection(), "SELECT count(*) FROM order_lines WHERE order_id = " +
                                                  orders.FieldByName("id")->GetAsString()));
        EXPECT_GT(window.LinesGrid().GetDataLink()->GetRecordCount(), 0);

        // The edit was posted to the database inside the demo's transaction.
        EXPECT_EQ(Scalar(window.Connection(), "SELECT ship_via FROM orders WHERE id = 45"), "Courier");
    }
    EXPECT_EQ(veltest::ReadFileText(file), before);
    TSQLiteConnection db;
    db.SetFileName(file);
    EXPECT_NE(Scalar(db, "SELECT ship_via FROM orders WHERE id = 45"), "Courier");
}

}  // namespace
