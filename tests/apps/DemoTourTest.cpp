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
using veltest::Scalar;

namespace {

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
        ASSERT_EQ(shots.size(), 9u);
        // Each shot is the whole window; the last comes after the window was made larger.
        for (std::size_t i = 0; i < shots.size(); ++i) {
            const std::string png = veltest::ReadFileText(shots[i]);
            const TDecodedImage img =
                DecodePng(reinterpret_cast<const std::uint8_t*>(png.data()), png.size());
            const bool last = i + 1 == shots.size();
            EXPECT_EQ(img.Width, last ? window.Form().GetWidth() : 980) << shots[i];
            EXPECT_EQ(img.Height, last ? window.Form().GetHeight() : 640) << shots[i];
        }
        EXPECT_GT(window.Form().GetWidth(), 980);
        EXPECT_EQ(std::filesystem::path(shots.front()).filename(), "1-orders.png");

        // The keys and the wheel moved the record: the tour ends on order 46 after cancelling
        // its edit with two Escapes.
        TVelDBGrid& grid = window.OrdersGrid();
        TQuery& orders = window.Orders();
        EXPECT_EQ(orders.FieldByName("id")->GetAsInteger(), 46);
        EXPECT_EQ(orders.GetState(), TDataSetState::dsBrowse);
        EXPECT_NE(orders.FieldByName("status")->GetAsString(), "lost");
        EXPECT_TRUE(grid.Focused());

        // What the screenshots show: money with two decimals and thousands, Paid as a check
        // box, the customer's name looked up, a band over the shipping columns.
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
        // The columns stretch to the widened window and no horizontal bar shows.
        EXPECT_EQ(grid.GetColumnsWidth(), grid.GetClientWidth());
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
