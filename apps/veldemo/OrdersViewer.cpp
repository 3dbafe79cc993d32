// The orders viewer: a TCustomGrid descendant over a TQuery on the demo database's orders.
// The query holds every order in memory; a row of the grid is a record number of the query,
// and the texts of the rows on screen are cached until the data changes.
#include "apps/veldemo/OrdersViewer.h"

#include <cstdio>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/controls/Application.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Input.h"
#include "platform/controls/WindowBackend.h"
#include "platform/db/sqlite/SQLDataSets.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Codecs.h"
#include "platform/rtl/CommandLine.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/SysUtils.h"

using namespace vel;

namespace veldemo {
namespace {

struct TColumnInfo {
    const char* Field;  // "" = the indicator column
    const char* Title;
    int Width;
};

const TColumnInfo kColumns[] = {{"", "", 14},
                                {"id", "Order", 64},
                                {"order_date", "Date", 170},
                                {"customer", "Customer", 200},
                                {"ship_via", "Ship via", 120},
                                {"shipped_date", "Shipped", 92},
                                {"freight", "Freight", 80},
                                {"total", "Total", 96},
                                {"paid", "Paid", 50},
                                {"status", "Status", 80}};
constexpr int kColCount = int(sizeof(kColumns) / sizeof(kColumns[0]));

// The customer comes from a subquery cast to text: an expression column, read-only and of no
// table, so the rows stay those of the orders table and can be posted.
const char* const kOrdersSQL =
    "SELECT o.id, o.order_date,\n"
    "  CAST((SELECT company FROM customers c WHERE c.id = o.customer_id) AS TEXT) AS customer,\n"
    "  o.ship_via, o.shipped_date, o.freight, o.total, o.paid, o.status\n"
    "FROM orders o\n"
    "ORDER BY o.id";

class TOrdersGrid : public TCustomGrid {
public:
    TOrdersGrid(TComponent* AOwner, TDataSet& Orders) : TCustomGrid(AOwner), FOrders(Orders) {
        for (int c = 1; c < kColCount; ++c) FFields.push_back(Orders.FieldByName(kColumns[c].Field));
        SetColCount(kColCount);
        SetRowCount(Orders.GetRecordCount() + 1);
        SetDefaultRowHeight(22);
        for (int c = 0; c < kColCount; ++c) SetColWidths(c, kColumns[c].Width);
        SetOptions(GetOptions() + TGridOption::goColSizing + TGridOption::goColMoving +
                   TGridOption::goEditing + TGridOption::goThumbTracking - TGridOption::goRangeSelect);
        for (int c = 0; c < kColCount; ++c) FOrder.push_back(c);
    }

    std::string GetEditText(int ACol, int ARow) override {
        TField* f = FieldAt(ACol);
        if (!f || ARow < 1) return Cell(ACol, ARow);
        GoToRow(ARow);
        return f->GetText();
    }
    // Every change of the editor's text goes into the record, which is put into edit; the
    // record is posted (through the query, to the database) when the grid leaves its row.
    void SetEditText(int ACol, int ARow, const std::string& Value) override {
        TField* f = FieldAt(ACol);
        if (!f || ARow < 1) return;
        if (FOrders.GetState() == TDataSetState::dsEdit && FOrders.GetRecNo() != ARow)
            PostEdits();
        if (FOrders.GetState() != TDataSetState::dsEdit && Value == GetEditText(ACol, ARow))
            return;
        GoToRow(ARow);
        try {
            FOrders.Edit();
            f->SetText(Value);
        } catch (const Exception&) {
            // Text that is not a value yet (half a number or date): the field keeps the last one.
        }
        FTexts.erase(ARow);
        InvalidateCell(ACol, ARow);
    }

protected:
    bool SelectCell(int ACol, int ARow) override {
        if (ARow != GetRow()) PostEdits();
        return TCustomGrid::SelectCell(ACol, ARow);
    }
    // A refused record (a value the table does not take) is reported and dropped.
    void PostEdits() {
        if (FOrders.GetState() != TDataSetState::dsEdit) return;
        const int row = FOrders.GetRecNo();
        try {
            FOrders.Post();
            std::printf("  posted order %s: ship via '%s', status '%s'\n",
                        FOrders.FieldByName("id")->GetDisplayText().c_str(),
                        FOrders.FieldByName("ship_via")->GetDisplayText().c_str(),
                        FOrders.FieldByName("status")->GetDisplayText().c_str());
        } catch (const Exception& e) {
            FOrders.Cancel();
            std::printf("  not posted: %s\n", e.what());
        }
        FTexts.erase(row);
        InvalidateRow(row);
    }
    bool CanEditModify() override {
        TField* f = FieldAt(GetCol());
        return f && f->GetCanModify() && TCustomGrid::CanEditModify();
    }
    TField* FieldAt(int ACol) const {
        const int field = FOrder[std::size_t(ACol)];
        return field == 0 ? nullptr : FFields[std::size_t(field - 1)];
    }
    void GoToRow(int ARow) {
        if (FOrders.GetRecNo() != ARow) FOrders.SetRecNo(ARow);
    }
    // The texts of one row, read once while it is on screen.
    const std::vector<std::string>& RowTexts(int ARow) {
        auto it = FTexts.find(ARow);
        if (it != FTexts.end()) return it->second;
        if (FTexts.size() > 400) FTexts.clear();
        GoToRow(ARow);
        std::vector<std::string> texts;
        for (TField* f : FFields) texts.push_back(f->GetDisplayText());
        return FTexts.emplace(ARow, std::move(texts)).first->second;
    }
    std::string Cell(int ACol, int ARow) {
        const int field = FOrder[std::size_t(ACol)];
        if (ARow == 0) return kColumns[field].Title;
        if (field == 0) return "";
        return RowTexts(ARow)[std::size_t(field - 1)];
    }
    void ColumnMoved(int FromIndex, int ToIndex) override {
        const int f = FOrder[std::size_t(FromIndex)];
        FOrder.erase(FOrder.begin() + FromIndex);
        FOrder.insert(FOrder.begin() + ToIndex, f);
        TCustomGrid::ColumnMoved(FromIndex, ToIndex);
    }
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
        TCanvas& C = Canvas();
        const int field = FOrder[std::size_t(ACol)];
        const std::string text = Cell(ACol, ARow);
        if (AState.Contains(TGridDrawStateFlag::gdFixed)) {
            GradientFillRect(C, ARect, TColor(0xFAF6F2), TColor(0xE6DCD2), false);
            C.Font().SetStyle(TFontStyles{TFontStyle::fsBold});
            C.Font().SetColor(TColor(0x503C2D));
            if (ACol == 0 && ARow == GetRow()) {
                C.Brush().SetColor(TColor(0x8C5A2E));
                const int cy = (ARect.Top + ARect.Bottom) / 2;
                C.Pen().SetColor(TColor(0x8C5A2E));
                C.Polygon({{ARect.Left + 4, cy - 4}, {ARect.Left + 8, cy}, {ARect.Left + 4, cy + 4}});
            }
        } else if (AState.Contains(TGridDrawStateFlag::gdSelected)) {
            C.Brush().SetColor(TColor(0xD77800));  // a calm blue
            C.FillRect(ARect);
            C.Font().SetColor(clWhite);
        } else {
            C.Brush().SetColor(ARow % 2 ? clWhite : TColor(0xF7F3EF));
            C.FillRect(ARect);
            const bool flagged = field == kColCount - 1 && text == "returned";
            C.Font().SetColor(flagged ? TColor(0x2020B0) : TColor(0x302820));
        }
        TRect t{ARect.Left + 5, ARect.Top, ARect.Right - 5, ARect.Bottom};
        unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
        TField* f = field == 0 ? nullptr : FFields[std::size_t(field - 1)];
        if (f && ARow > 0 && f->GetAlignment() == TAlignment::taRightJustify) flags |= DT_RIGHT;
        C.Brush().SetStyle(TBrushStyle::bsClear);
        DrawText(C, text, t, flags);
        C.Brush().SetStyle(TBrushStyle::bsSolid);
    }

private:
    TDataSet& FOrders;
    std::vector<TField*> FFields;  // field per kColumns entry after the indicator
    std::vector<int> FOrder;       // grid column → kColumns entry
    std::unordered_map<int, std::vector<std::string>> FTexts;
};

void Snap(TForm& Form, const std::string& Dir, const std::string& Name) {
    Application().ProcessMessages();
    const std::string file = Dir + "/" + Name + ".png";
    const TBytes png = EncodePng(*Form.CaptureImage(), false);
    WriteFileAtomic(file, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
    std::printf("  wrote %s\n", file.c_str());
}

}  // namespace

int RunOrdersViewer(const std::string& OutDir, const std::string& DatabaseFile) {
    TSQLiteConnection db;
    db.SetFileName(DatabaseFile);
    TQuery orders;
    orders.SetConnection(&db);
    orders.GetSQL()->SetText(kOrdersSQL);
    // Edits are posted for real but inside a transaction that is rolled back at the end, so
    // the demo database stays as generated.
    db.StartTransaction();
    orders.Open();
    std::printf("  %d orders from %s\n", orders.GetRecordCount(), DatabaseFile.c_str());

    auto form = std::make_unique<TForm>(nullptr);
    form->SetCaption("VelGrid demo: orders");
    form->SetBounds(80, 60, 900, 540);
    auto* grid = new TOrdersGrid(form.get(), orders);
    grid->SetAlign(TAlign::alClient);
    grid->SetParent(form.get());
    grid->Font().SetSize(10);
    if (Backend().CanReceiveInput()) {
        form->Show();
        grid->SetFocus();
        form->SetOnClose([](TObject*, TCloseAction&) { Application().Terminate(); });
        Application().Run();
        db.Rollback();
        return 0;
    }
    // No display: a scripted tour, one screenshot per step.
    ForceOutputFolder(OutDir);
    form->Show();
    grid->SetFocus();
    Snap(*form, OutDir, "1-orders");
    grid->SetTopRow(40);
    grid->MoveColRow(3, 44, true, true);
    Snap(*form, OutDir, "2-scrolled");
    // Widen "Customer" by dragging its title border.
    TRect r = grid->CellRect(3, 0);
    InjectMouseMove(ScreenPointOf(grid, {r.Right, 10}));
    InjectMouseDown(TMouseButton::mbLeft, ScreenPointOf(grid, {r.Right, 10}));
    InjectMouseMove(ScreenPointOf(grid, {r.Right + 40, 10}));
    InjectMouseUp(TMouseButton::mbLeft, ScreenPointOf(grid, {r.Right + 40, 10}));
    Snap(*form, OutDir, "3-column-resized");
    // Drag "Total" in front of "Customer".
    const TRect from = grid->CellRect(7, 0), to = grid->CellRect(3, 0);
    InjectMouseMove(ScreenPointOf(grid, {from.Left + 20, 10}));
    InjectMouseDown(TMouseButton::mbLeft, ScreenPointOf(grid, {from.Left + 20, 10}));
    InjectMouseMove(ScreenPointOf(grid, {from.Left, 10}));
    InjectMouseMove(ScreenPointOf(grid, {to.Left + 10, 10}));
    InjectMouseUp(TMouseButton::mbLeft, ScreenPointOf(grid, {to.Left + 10, 10}));
    Snap(*form, OutDir, "4-column-moved");
    // Edit an order's shipper in place; Enter posts it to the query and the database.
    grid->MoveColRow(5, 45, true, true);
    InjectText("Courier");
    Snap(*form, OutDir, "5-editing");
    InjectKey(VK_RETURN);
    InjectKey(VK_DOWN);
    Snap(*form, OutDir, "6-edited");
    TSQLiteStatement check(db, "SELECT ship_via FROM orders WHERE id = 45");
    if (check.Step())
        std::printf("  the database, before the rollback: order 45 ships via '%s'\n",
                    std::string(check.ColumnText(0)).c_str());
    db.Rollback();
    return 0;
}

}  // namespace veldemo
