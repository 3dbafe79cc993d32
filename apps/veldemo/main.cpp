// veldemo: the run-time layer at work, then the orders in the data-aware grid.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "apps/veldemo/DemoProgram.h"
#include "apps/veldemo/OrdersWindow.h"
#include "platform/controls/WindowBackend.h"
#include "platform/db/sqlite/SQLDataSets.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TSet.h"
#include "platform/rtl/Utf8.h"

using namespace vel;

namespace {

// A short look at the demo database through the SQL datasets.
void ShowDatabase(const char* fileName) {
    TSQLiteConnection db;
    db.SetFileName(fileName);
    db.SetReadOnly(true);
    std::printf("Demo database %s\n", fileName);
    for (const std::string& table : db.GetTableNames()) {
        TSQLiteStatement count(db, "SELECT count(*) FROM " + QuoteIdent(table));
        count.Step();
        std::printf("  %-12s %8lld rows\n", table.c_str(),
                    static_cast<long long>(count.ColumnInt64(0)));
    }
    TQuery q;
    q.SetConnection(&db);
    q.GetSQL()->SetText(
        "SELECT o.id, o.order_date, c.company, o.total, o.paid FROM orders o "
        "JOIN customers c ON c.id = o.customer_id ORDER BY o.id LIMIT 5");
    q.Open();
    std::printf("  first orders:\n");
    for (q.First(); !q.GetEOF(); q.Next())
        std::printf("    %5s  %-19s  %-32s %10s  %s\n",
                    q.FieldByName("id")->GetDisplayText().c_str(),
                    q.FieldByName("order_date")->GetDisplayText().c_str(),
                    q.FieldByName("company")->GetDisplayText().c_str(),
                    q.FieldByName("total")->GetDisplayText().c_str(),
                    q.FieldByName("paid")->GetDisplayText().c_str());

    // A report pass: every order read once, forward only, nothing kept.
    TQuery all;
    all.SetConnection(&db);
    all.SetUniDirectional(true);
    all.GetSQL()->SetText("SELECT order_date, total, paid FROM orders");
    all.Open();
    struct Year {
        long Orders = 0;
        double Total = 0;
    };
    std::map<int, Year> years;
    TField* date = all.FieldByName("order_date");
    TField* total = all.FieldByName("total");
    for (; !all.GetEOF(); all.Next()) {
        Year& y = years[YearOf(date->GetAsDateTime())];
        ++y.Orders;
        y.Total += total->GetAsFloat();
    }
    if (years.empty()) return;
    std::printf("  orders per year (one forward pass):\n");
    for (const auto& [year, y] : years)
        std::printf("    %d  %7ld orders  %16s\n", year, y.Orders,
                    FormatFloat("#,##0.00", y.Total).c_str());
    // Filters with calculations run as the rows go by; a new filter runs the query again.
    all.SetFilter("NOT paid AND total > 1000 AND YEAR(order_date) = " +
                  std::to_string(years.rbegin()->first));
    all.SetFiltered(true);
    long unpaid = 0;
    for (; !all.GetEOF(); all.Next()) ++unpaid;
    std::printf("  unpaid orders over 1,000 in %d: %ld\n", years.rbegin()->first, unpaid);
}

}  // namespace

int main(int argc, char** argv) {
    // Line by line even into a pipe, so an interrupted run still shows what it did.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return RunProgram(veldemo::ProgramInfo(), argc, argv, [](const std::vector<std::string>& args) {
        const veldemo::TArguments a = veldemo::ParseArguments(args);
        veldemo::CheckDatabaseFile(a.Database);
        std::printf("VelGrid demo: the run-time layer\n");
        const std::string word =
            "\xC3\xA4rger \xC3\xBC"
            "ber stra\xC3\x9F"
            "en";
        std::printf("  '%s' has %zu code points, upper case '%s'\n", word.c_str(),
                    Utf8Length(word), Utf8UpperCase(word).c_str());
        for (const char* loc : {"en-US", "de-DE", "fr-FR"}) {
            const TFormatSettings fs = TFormatSettings::Create(loc);
            std::printf("  %-6s short date '%s', decimal '%c', thousands '%c'\n", loc,
                        fs.ShortDateFormat.c_str(), fs.DecimalSeparator, fs.ThousandSeparator);
        }
        ShowDatabase(a.Database.c_str());
        veldemo::TOrdersWindow window(a.Database);
        std::printf("Orders: %d in the data-aware grid\n", window.Orders().GetRecordCount());
        if (Backend().CanReceiveInput()) return veldemo::RunOrdersWindow(window);
        std::printf("No display: a scripted tour, screenshots in %s\n", a.OutDir.c_str());
        veldemo::RunTour(window, a.OutDir);
        return 0;
    });
}
