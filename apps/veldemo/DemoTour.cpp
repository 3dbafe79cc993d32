// The scripted tour: the steps a new user would try, each ending in a screenshot. Input the
// data-aware grid does not take yet (navigation keys, the wheel, title drags) is driven
// through the dataset and the columns; typing goes through the in-place editor.
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
    // Types Text over the whole of the selected cell's text in the in-place editor.
    void Type(const char* Field, const std::string& Text) {
        TVelDBGrid& grid = W.OrdersGrid();
        grid.SetSelectedField(W.Orders().FieldByName(Field));
        grid.SetFocus();
        grid.ShowEditor();
        if (TInplaceEdit* editor = grid.GetInplaceEditor()) editor->SelectAll();
        InjectText(Text);
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
    Window.Form().Show();
    Window.OrdersGrid().SetFocus();
    t.Snap("1-orders");

    orders.MoveBy(40);
    std::printf("  scrolled to order %s\n", t.Order().c_str());
    t.Snap("2-scrolled");
    orders.MoveBy(Window.OrdersGrid().GetVisibleRowCount());
    std::printf("  a page further: order %s\n", t.Order().c_str());
    t.Snap("3-paged");
    orders.Last();
    std::printf("  the last order: %s\n", t.Order().c_str());
    t.Snap("4-end");

    orders.First();
    orders.MoveBy(44);
    t.Column("customer")->SetWidth(t.Column("customer")->GetWidth() + 60);
    t.Column("total")->SetIndex(t.Column("customer")->GetIndex());
    std::printf("  widened Customer, moved Total in front of it\n");
    t.Snap("5-columns");

    t.Type("ship_via", "Courier");
    t.Snap("6-editing");
    orders.Post();
    std::printf("  posted order %s: ship via '%s'\n", t.Order().c_str(), t.Value("ship_via").c_str());
    t.Snap("7-posted");

    orders.Next();
    const std::string before = t.Value("status");
    t.Type("status", "lost");
    InjectKey(VK_ESCAPE);
    if (orders.GetState() == TDataSetState::dsEdit) orders.Cancel();
    std::printf("  Escape on order %s: status still '%s' (was '%s')\n", t.Order().c_str(),
                t.Value("status").c_str(), before.c_str());
    t.Snap("8-cancelled");
    return t.Files;
}

}  // namespace veldemo
