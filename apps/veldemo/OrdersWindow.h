#pragma once
// The demo's window: the orders of the demo database in a data-aware grid with persistent
// columns (formatted money, a check box for Paid, the customer's name looked up, a header band
// over the shipping columns) and below it a grid of the current order's lines.
#include <memory>
#include <string>
#include <vector>

#include "grid/VelDBGrids.h"
#include "platform/controls/Forms.h"
#include "platform/db/DataSource.h"
#include "platform/db/sqlite/SQLDataSets.h"

namespace veldemo {

class TOrdersWindow {
public:
    // Opens DatabaseFile inside a transaction that the destructor rolls back, so edits made in
    // the demo are posted for real yet the file stays as generated. Raises when the database
    // cannot be read.
    explicit TOrdersWindow(const std::string& DatabaseFile);
    ~TOrdersWindow();
    TOrdersWindow(const TOrdersWindow&) = delete;
    TOrdersWindow& operator=(const TOrdersWindow&) = delete;

    vel::TForm& Form() { return *FForm; }
    vel::TVelDBGrid& OrdersGrid() { return *FOrdersGrid; }
    vel::TVelDBGrid& LinesGrid() { return *FLinesGrid; }
    vel::TQuery& Orders() { return *FOrders; }
    vel::TQuery& Lines() { return *FLines; }
    vel::TSQLiteConnection& Connection() { return *FDb; }

private:
    std::unique_ptr<vel::TSQLiteConnection> FDb;
    std::unique_ptr<vel::TQuery> FCustomers, FOrders, FLines;
    std::unique_ptr<vel::TDataSource> FOrdersSource, FLinesSource;
    std::unique_ptr<vel::TForm> FForm;
    vel::TVelDBGrid* FOrdersGrid = nullptr;
    vel::TVelDBGrid* FLinesGrid = nullptr;
};

// Shows the window and runs until it is closed (by the window manager too), then prints the
// order and window size it was closed on. Returns the process exit code.
int RunOrdersWindow(TOrdersWindow& Window);

// Without a display: a scripted tour through the window, one PNG screenshot per step written
// to OutDir. Returns the files written, in order.
std::vector<std::string> RunTour(TOrdersWindow& Window, const std::string& OutDir);

}  // namespace veldemo
