// The scripted tour: the steps a new user would try, each ending in a screenshot. The column
// drags are injected mouse input and the typing goes through the in-place editor; record moves,
// posting and cancelling still go through the dataset (injected keys did not move the record
// in this headless run yet).
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
    // Types Text over the whole of the selected cell's text in the in-place editor.
    void Type(const char* Field, const std::string& Text) {
        TVelDBGrid& grid = W.OrdersGrid();
        grid.SetSelectedField(W.Orders().FieldByName(Field));
        grid.SetFocus();
        grid.ShowEditor();
        if (TInplaceEdit* editor = grid.GetInplaceEditor()) editor->SelectAll();
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

    orders.MoveBy(40);
    std::printf("  scrolled to order %s\n", t.Order().c_str());
    t.Snap("2-scrolled");
    orders.MoveBy(grid.GetVisibleRowCount());
    std::printf("  a page further: order %s\n", t.Order().c_str());
    t.Snap("3-paged");
    orders.Last();
    std::printf("  the last order: %s\n", t.Order().c_str());
    t.Snap("4-end");

    // Back to the top; widen Customer by its title's right border, drag Total before it.
    orders.First();
    orders.MoveBy(44);
    TVelColumn* customer = t.Column("customer");
    const int width = customer->GetWidth();
    const TPoint border = t.TitleOf(customer, grid.CellRect(grid.DataToRawColumn(customer->GetIndex()), 0).Width() - 1);
    t.Drag(border, TPoint{border.X + 60, border.Y});
    TVelColumn* total = t.Column("total");
    t.Drag(t.TitleOf(total, 20), t.TitleOf(customer, 10));
    std::printf("  Customer %d -> %d pixels wide; Total is column %d, Customer %d\n", width,
                customer->GetWidth(), total->GetIndex(), customer->GetIndex());
    t.Snap("5-columns");

    // Type over the shipper and post.
    t.Type("ship_via", "Courier");
    t.Snap("6-editing");
    orders.Post();
    std::printf("  posted order %s: ship via '%s'\n", t.Order().c_str(), t.Value("ship_via").c_str());
    t.Snap("7-posted");

    // Type over the next order's status, then Escape: the text, then the edit, are undone.
    orders.Next();
    const std::string before = t.Value("status");
    t.Type("status", "lost");
    InjectKey(VK_ESCAPE);
    if (orders.GetState() == TDataSetState::dsEdit) orders.Cancel();
    std::printf("  Escape on order %s: status '%s' (was '%s')\n", t.Order().c_str(),
                t.Value("status").c_str(), before.c_str());
    t.Snap("8-cancelled");
    return t.Files;
}

}  // namespace veldemo
