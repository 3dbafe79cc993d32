// The scripted tour: the steps a new user would try, each ending in a screenshot. Every step is
// injected input (wheel, keys, mouse drags, typing), as a person at the window would give it.
#include <cstdio>

#include "apps/veldemo/OrdersWindow.h"
#include "platform/controls/Application.h"
#include "platform/controls/Input.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Codecs.h"
#include "platform/rtl/CommandLine.h"
#include "platform/rtl/SafeFile.h"

using namespace vel;

namespace veldemo {
namespace {

class TTour {
public:
    TTour(TOrdersWindow& Window, const std::string& OutDir) : W(Window), FDir(OutDir) {}

    void Snap(const std::string& Name) {
        Application().ProcessMessages();
        const std::string file = FDir + "/" + Name + ".png";
        const TBytes png = EncodePng(*W.Form().CaptureImage(), false);
        WriteFileAtomic(file, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
        std::printf("  wrote %s\n", file.c_str());
        Files.push_back(file);
    }
    std::string Order() { return W.Orders().FieldByName("id")->GetDisplayText(); }
    std::string Value(const char* Field) { return W.Orders().FieldByName(Field)->GetDisplayText(); }
    TVelColumn* Column(const char* Field) {
        TVelDBGridColumns* cols = W.OrdersGrid().GetColumns();
        for (int i = 0; i < cols->Count(); ++i)
            if (cols->GetColumn(i)->GetFieldName() == Field) return cols->GetColumn(i);
        throw Exception(std::string("the demo has no column for ") + Field);
    }
    // The screen point of a grid's client point.
    TPoint At(TControl& C, int X, int Y) { return ScreenPointOf(&C, TPoint{X, Y}); }
    // A point inside the title of the column bound to Field, below any header band.
    TPoint TitleOf(TVelColumn* Column, int DX) {
        TVelDBGrid& g = W.OrdersGrid();
        const TRect r = g.CellRect(g.DataToRawColumn(Column->GetIndex()), 0);
        return At(g, r.Left + DX, r.Bottom - 6);
    }
    void Drag(TPoint From, TPoint To) {
        InjectMouseMove(From);
        InjectMouseDown(TMouseButton::mbLeft, From);
        for (int i = 1; i <= 4; ++i)
            InjectMouseMove(TPoint{From.X + (To.X - From.X) * i / 4, From.Y + (To.Y - From.Y) * i / 4});
        InjectMouseUp(TMouseButton::mbLeft, To);
        Application().ProcessMessages();
    }
    void Key(unsigned VirtKey, TShiftState Shift = {}) {
        InjectKey(VirtKey, Shift);
        Application().ProcessMessages();
    }
    // Moves to Field's column with Home and Tab and types Text over the cell: the first key typed
    // opens the editor with the text selected, so the text replaces the cell's.
    void Type(const char* Field, const std::string& Text) {
        TVelDBGrid& grid = W.OrdersGrid();
        const TField* target = W.Orders().FieldByName(Field);
        Key(VK_HOME);
        for (int i = 0; i < grid.GetColumns()->Count() && grid.GetSelectedField() != target; ++i)
            Key(VK_TAB);
        if (grid.GetSelectedField() != target)
            throw Exception(std::string("the tour cannot reach the column of ") + Field);
        InjectText(Text);
        Application().ProcessMessages();
    }

    TOrdersWindow& W;
    std::string FDir;
    std::vector<std::string> Files;
};

}  // namespace

std::vector<std::string> RunTour(TOrdersWindow& Window, const std::string& OutDir) {
    ForceOutputFolder(OutDir);
    TTour t(Window, OutDir);
    TQuery& orders = Window.Orders();
    TVelDBGrid& grid = Window.OrdersGrid();
    Window.Form().Show();
    grid.SetFocus();
    t.Snap("1-orders");

    // Three wheel notches, a page, and the end of the 100,000 orders.
    const TPoint middle = t.At(grid, grid.GetClientWidth() / 2, grid.GetClientHeight() / 2);
    for (int i = 0; i < 3; ++i) InjectMouseWheel(-WHEEL_DELTA, middle);
    Application().ProcessMessages();
    std::printf("  the wheel scrolled to order %s\n", t.Order().c_str());
    t.Snap("2-scrolled");
    t.Key(VK_NEXT);
    std::printf("  Page Down: order %s\n", t.Order().c_str());
    t.Snap("3-paged");
    t.Key(VK_END, {TShiftStateFlag::ssCtrl});
    std::printf("  Ctrl+End: the last order, %s\n", t.Order().c_str());
    t.Snap("4-end");

    // Back to the top and down to order 45; widen Customer by its title's right border and
    // drag Total before it.
    t.Key(VK_HOME, {TShiftStateFlag::ssCtrl});
    while (orders.GetRecNo() < 45 && !orders.GetEOF()) t.Key(VK_DOWN);
    TVelColumn* customer = t.Column("customer");
    const int width = customer->GetWidth();
    const TPoint border = t.TitleOf(customer, grid.CellRect(grid.DataToRawColumn(customer->GetIndex()), 0).Width() - 1);
    t.Drag(border, TPoint{border.X + 60, border.Y});
    TVelColumn* total = t.Column("total");
    t.Drag(t.TitleOf(total, 20), t.TitleOf(customer, 10));
    std::printf("  Customer %d -> %d pixels wide; Total is column %d, Customer %d\n", width,
                customer->GetWidth(), total->GetIndex(), customer->GetIndex());
    t.Snap("5-columns");

    // Type over the shipper; Enter writes the text to the record and Up posts it.
    t.Type("ship_via", "Courier");
    t.Snap("6-editing");
    const std::string edited = t.Order();
    t.Key(VK_RETURN);
    t.Key(VK_UP);
    t.Key(VK_DOWN);
    std::printf("  posted order %s: ship via '%s'\n", edited.c_str(), t.Value("ship_via").c_str());
    t.Snap("7-posted");

    // Type over the next order's status; the first Escape takes back the text, the second
    // the edit.
    t.Key(VK_DOWN);
    const std::string before = t.Value("status");
    t.Type("status", "lost");
    t.Key(VK_ESCAPE);
    t.Key(VK_ESCAPE);
    std::printf("  Escape twice on order %s: status '%s' (was '%s'), %s\n", t.Order().c_str(),
                t.Value("status").c_str(), before.c_str(),
                orders.GetState() == TDataSetState::dsBrowse ? "browsing" : "still editing");
    t.Snap("8-cancelled");

    // A wider window: the columns stretch with it.
    TForm& form = Window.Form();
    form.SetBounds(form.GetLeft(), form.GetTop(), form.GetWidth() + 240, form.GetHeight() + 80);
    std::printf("  the window widened to %d pixels; the grid's columns fill %d of %d\n",
                form.GetWidth(), grid.GetColumnsWidth(), grid.GetClientWidth());
    t.Snap("9-resized");
    return t.Files;
}

}  // namespace veldemo
