// The orders viewer: a TCustomGrid descendant over rows of text. The orders are made in code
// (the demo database is not there yet), from a fixed seed so every run shows the same table.
#include "OrdersViewer.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "backends/Backend.h"
#include "controls/Application.h"
#include "controls/Forms.h"
#include "controls/Grids.h"
#include "controls/Input.h"
#include "graphics/Bitmap.h"
#include "graphics/Codecs.h"
#include "rtl/SafeFile.h"
#include "rtl/SysUtils.h"

using namespace vel;

namespace veldemo {
namespace {

struct TColumnInfo {
    const char* Title;
    int Width;
    bool Right;
};

const TColumnInfo kColumns[] = {{"", 14, false},          {"Order", 64, true},
                                {"Date", 92, false},      {"Customer", 190, false},
                                {"Product", 170, false},  {"Qty", 48, true},
                                {"Price", 80, true},      {"Total", 96, true},
                                {"Status", 90, false}};
constexpr int kColCount = int(sizeof(kColumns) / sizeof(kColumns[0]));

std::vector<std::vector<std::string>> MakeOrders(int Count) {
    static const char* customers[] = {"Hartmann & Söhne", "Blue Harbor Trading", "Nordlicht AG",
                                      "Casa Verde", "Maple Leaf Supply", "Østergaard ApS",
                                      "Riverside Foods", "Kowalski i Syn", "Sunrise Bakery",
                                      "Atelier Dubois"};
    static const char* products[] = {"Espresso beans 1 kg", "Green tea 250 g", "Oat biscuits",
                                     "Olive oil 0.75 l", "Dark chocolate", "Maple syrup",
                                     "Sparkling water", "Rye bread", "Honey 500 g", "Pasta 1 kg"};
    static const double prices[] = {18.9, 6.5, 3.2, 9.8, 2.4, 12.0, 0.9, 3.6, 7.4, 2.1};
    static const char* status[] = {"Shipped", "Open", "Shipped", "Invoiced", "Shipped", "Cancelled"};
    std::vector<std::vector<std::string>> rows;
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    char buf[64];
    for (int i = 0; i < Count; ++i) {
        std::vector<std::string> r(kColCount);
        r[1] = std::to_string(10248 + i);
        std::snprintf(buf, sizeof buf, "2026-%02d-%02d", 1 + i * 12 / Count, 1 + int(next() % 28));
        r[2] = buf;
        r[3] = customers[next() % 10];
        const unsigned p = next() % 10;
        r[4] = products[p];
        const int qty = 1 + int(next() % 40);
        r[5] = std::to_string(qty);
        std::snprintf(buf, sizeof buf, "%.2f", prices[p]);
        r[6] = buf;
        std::snprintf(buf, sizeof buf, "%.2f", prices[p] * qty);
        r[7] = buf;
        r[8] = status[next() % 6];
        rows.push_back(std::move(r));
    }
    return rows;
}

class TOrdersGrid : public TCustomGrid {
public:
    explicit TOrdersGrid(TComponent* AOwner) : TCustomGrid(AOwner), FRows(MakeOrders(500)) {
        SetColCount(kColCount);
        SetRowCount(int(FRows.size()) + 1);
        SetDefaultRowHeight(22);
        for (int c = 0; c < kColCount; ++c) SetColWidths(c, kColumns[c].Width);
        SetOptions(GetOptions() + TGridOption::goColSizing + TGridOption::goColMoving +
                   TGridOption::goEditing + TGridOption::goThumbTracking - TGridOption::goRangeSelect);
        for (int c = 0; c < kColCount; ++c) FOrder.push_back(c);
    }

    std::string GetEditText(int ACol, int ARow) override { return Cell(ACol, ARow); }
    void SetEditText(int ACol, int ARow, const std::string& Value) override {
        if (ARow >= 1) FRows[std::size_t(ARow - 1)][std::size_t(FOrder[std::size_t(ACol)])] = Value;
        InvalidateCell(ACol, ARow);
    }

protected:
    std::string Cell(int ACol, int ARow) const {
        const int field = FOrder[std::size_t(ACol)];
        if (ARow == 0) return kColumns[field].Title;
        return FRows[std::size_t(ARow - 1)][std::size_t(field)];
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
            C.Font().SetColor(field == 8 && Cell(ACol, ARow) == "Cancelled" ? TColor(0x2020B0)
                                                                             : TColor(0x302820));
        }
        TRect t{ARect.Left + 5, ARect.Top, ARect.Right - 5, ARect.Bottom};
        unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
        if (kColumns[field].Right && ARow > 0) flags |= DT_RIGHT;
        C.Brush().SetStyle(TBrushStyle::bsClear);
        DrawText(C, Cell(ACol, ARow), t, flags);
        C.Brush().SetStyle(TBrushStyle::bsSolid);
    }

private:
    std::vector<std::vector<std::string>> FRows;
    std::vector<int> FOrder;  // grid column → field
};

void Snap(TForm& Form, const std::string& Dir, const std::string& Name) {
    Application().ProcessMessages();
    const std::string file = Dir + "/" + Name + ".png";
    const TBytes png = EncodePng(*Form.CaptureImage(), false);
    WriteFileAtomic(file, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
    std::printf("  wrote %s\n", file.c_str());
}

}  // namespace

int RunOrdersViewer(const std::string& OutDir) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetCaption("VelGrid demo: orders");
    form->SetBounds(80, 60, 900, 540);
    auto* grid = new TOrdersGrid(form.get());
    grid->SetAlign(TAlign::alClient);
    grid->SetParent(form.get());
    grid->Font().SetSize(10);
    if (Backend().CanReceiveInput()) {
        form->Show();
        grid->SetFocus();
        form->SetOnClose([](TObject*, TCloseAction&) { Application().Terminate(); });
        Application().Run();
        return 0;
    }
    // No display: a scripted tour, one screenshot per step.
    ForceDirectories(OutDir);
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
    // Edit a customer's name in place.
    grid->MoveColRow(4, 45, true, true);
    InjectText("Casa Azul");
    Snap(*form, OutDir, "5-editing");
    InjectKey(VK_RETURN);
    InjectKey(VK_DOWN);
    Snap(*form, OutDir, "6-edited");
    return 0;
}

}  // namespace veldemo
