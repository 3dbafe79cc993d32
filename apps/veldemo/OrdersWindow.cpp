// The demo's window: two data-aware grids over queries on the demo database.
#include "apps/veldemo/OrdersWindow.h"

#include <cstdio>
#include <tuple>

#include "platform/controls/Application.h"
#include "platform/db/Fields.h"

using namespace vel;

namespace veldemo {
namespace {

const char* const kOrdersSQL =
    "SELECT id, customer_id, order_date, ship_via, shipped_date, freight, total, paid, status\n"
    "FROM orders ORDER BY id";

// The lines follow the current order through the :id parameter, named like the master field.
const char* const kLinesSQL =
    "SELECT l.line_no, p.name AS product, l.quantity, l.unit_price, l.discount,\n"
    "  round(l.quantity * l.unit_price * (1 - l.discount), 2) AS amount\n"
    "FROM order_lines l JOIN products p ON p.id = l.product_id\n"
    "WHERE l.order_id = :id ORDER BY l.line_no";

const char* const kMoney = "#,##0.00";

void SetFormat(TDataSet& DataSet, const char* FieldName, const std::string& Format) {
    TField* f = DataSet.FieldByName(FieldName);
    if (auto* n = dynamic_cast<TNumericField*>(f))
        n->SetDisplayFormat(Format);
    else if (auto* d = dynamic_cast<TDateTimeField*>(f))
        d->SetDisplayFormat(Format);
}

TVelColumn* AddColumn(TVelDBGrid& Grid, const char* FieldName, const char* Caption, int Width) {
    TVelColumn* c = Grid.GetColumns()->Add();
    c->SetFieldName(FieldName);
    c->GetTitle()->SetCaption(Caption);
    c->SetWidth(Width);
    return c;
}

}  // namespace

TOrdersWindow::TOrdersWindow(const std::string& DatabaseFile)
    : FDb(std::make_unique<TSQLiteConnection>()),
      FCustomers(std::make_unique<TQuery>()),
      FOrders(std::make_unique<TQuery>()),
      FLines(std::make_unique<TQuery>()),
      FOrdersSource(std::make_unique<TDataSource>()),
      FLinesSource(std::make_unique<TDataSource>()) {
    FDb->SetFileName(DatabaseFile);
    FDb->StartTransaction();

    FCustomers->SetConnection(FDb.get());
    FCustomers->GetSQL()->SetText("SELECT id, company FROM customers ORDER BY id");
    FCustomers->Open();

    // The customer's name is a lookup field beside the table's own fields, so the rows stay
    // those of the orders table and can be posted.
    FOrders->SetConnection(FDb.get());
    FOrders->GetSQL()->SetText(kOrdersSQL);
    FOrders->SetAutoCreateMode(TAutoCreateMode::acCombineAlways);
    auto* customer = new TStringField(FOrders.get());
    customer->SetFieldName("customer");
    customer->SetSize(60);
    customer->SetFieldKind(TFieldKind::fkLookup);
    customer->SetLookupDataSet(FCustomers.get());
    customer->SetKeyFields("customer_id");
    customer->SetLookupKeyFields("id");
    customer->SetLookupResultField("company");
    customer->SetDataSet(FOrders.get());
    FOrders->Open();
    SetFormat(*FOrders, "order_date", "yyyy-mm-dd hh:nn");
    SetFormat(*FOrders, "shipped_date", "yyyy-mm-dd");
    SetFormat(*FOrders, "freight", kMoney);
    SetFormat(*FOrders, "total", kMoney);
    FOrdersSource->SetDataSet(FOrders.get());

    FLines->SetConnection(FDb.get());
    FLines->GetSQL()->SetText(kLinesSQL);
    FLines->SetDataSource(FOrdersSource.get());
    // The query runs again for every order and makes its fields anew.
    FLines->SetAfterOpen([](TDataSet* Lines) {
        SetFormat(*Lines, "unit_price", kMoney);
        SetFormat(*Lines, "amount", kMoney);
        SetFormat(*Lines, "discount", "0.00");
    });
    FLines->Open();
    FLinesSource->SetDataSet(FLines.get());

    FForm = std::make_unique<TForm>(nullptr);
    FForm->SetCaption("VelGrid demo: orders");
    FForm->SetBounds(80, 60, 980, 640);

    FLinesGrid = new TVelDBGrid(FForm.get());
    FLinesGrid->SetName("LinesGrid");
    FLinesGrid->SetAlign(TAlign::alBottom);
    FLinesGrid->SetHeight(170);
    FLinesGrid->SetParent(FForm.get());
    FLinesGrid->SetStretchMode(true);
    AddColumn(*FLinesGrid, "line_no", "Line", 50);
    AddColumn(*FLinesGrid, "product", "Product", 260);
    AddColumn(*FLinesGrid, "quantity", "Quantity", 80);
    AddColumn(*FLinesGrid, "unit_price", "Unit price", 100);
    AddColumn(*FLinesGrid, "discount", "Discount", 80);
    AddColumn(*FLinesGrid, "amount", "Amount", 110);
    FLinesGrid->SetDataSource(FLinesSource.get());

    FOrdersGrid = new TVelDBGrid(FForm.get());
    FOrdersGrid->SetName("OrdersGrid");
    FOrdersGrid->SetAlign(TAlign::alClient);
    FOrdersGrid->SetParent(FForm.get());
    FOrdersGrid->SetStretchMode(true);
    AddColumn(*FOrdersGrid, "id", "Order", 64);
    AddColumn(*FOrdersGrid, "order_date", "Date", 130);
    AddColumn(*FOrdersGrid, "customer", "Customer", 200)->SetReadOnly(true);
    for (auto [field, caption, width] : {std::tuple{"ship_via", "Via", 110},
                                         std::tuple{"shipped_date", "Date", 90},
                                         std::tuple{"freight", "Freight", 80}})
        AddColumn(*FOrdersGrid, field, caption, width)->GetTitle()->SetHeader("Shipping");
    AddColumn(*FOrdersGrid, "total", "Total", 100);
    AddColumn(*FOrdersGrid, "paid", "Paid", 50)->SetCheckBox(true);
    AddColumn(*FOrdersGrid, "status", "Status", 90);
    FOrdersGrid->SetDataSource(FOrdersSource.get());
}

TOrdersWindow::~TOrdersWindow() {
    // The grids go first so that no link outlives its source; then the demo's edits are undone.
    FForm.reset();
    if (FDb->InTransaction() || FDb->GetTransactionLost()) FDb->Rollback();
}

int RunOrdersWindow(TOrdersWindow& Window) {
    TForm& form = Window.Form();
    form.SetOnClose([](TObject*, TCloseAction&) { Application().Terminate(); });
    form.Show();
    Window.OrdersGrid().SetFocus();
    Application().Run();
    // Where the user left off, so that a run from a terminal ends with what it did.
    std::printf("Closed on order %s, window %dx%d\n",
                Window.Orders().FieldByName("id")->GetDisplayText().c_str(), form.GetWidth(),
                form.GetHeight());
    return 0;
}

}  // namespace veldemo
