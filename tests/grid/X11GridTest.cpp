// The data grid in a real X11 window under a private Xvfb server: a click on a data cell
// moves the record, a wheel notch scrolls by WheelScrollRows, typed text reaches the in-place
// editor and Enter writes it to the record, which the next row posts.
#include "grid/VelDBGrids.h"
#include "platform/backends/X11Backend.h"
#include "platform/controls/Application.h"
#include "platform/controls/Forms.h"
#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/Clock.h"
#include "tests/db/DbTestUtil.h"
#include "tests/support/XvfbServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

using namespace vel;

namespace veltest {
namespace {

TEST(X11GridTest, ClickWheelAndTypingDriveTheGrid) {
    XvfbServer server;
    if (!server.Running()) GTEST_SKIP() << "Xvfb could not be started";
    ResetWindowingForTests();
    auto backend = CreateX11Backend(server.Name());
    if (!backend) GTEST_SKIP() << "cannot open " << server.Name();
    SetBackend(std::move(backend));
    vel::Screen().Reset();
    {
        auto table = MakeTable(40);
        TForm form(nullptr);
        form.SetCaption("Orders");
        form.SetBounds(20, 20, 420, 320);
        auto* source = new TDataSource(&form);
        source->SetDataSet(table.get());
        auto* grid = new TVelDBGrid(&form);
        grid->SetAlign(TAlign::alClient);
        grid->SetParent(&form);
        grid->SetDataSource(source);
        grid->SetWheelScrollRows(2);
        form.Show();
        Application().ProcessMessages();
        Display* probe = XOpenDisplay(server.Name().c_str());
        ASSERT_NE(probe, nullptr);
        const Window w = Window(Backend().NativeHandle(&form));
        ASSERT_TRUE(PumpUntil([&] {
            XWindowAttributes a{};
            XGetWindowAttributes(probe, w, &a);
            return a.map_state == IsViewable;
        }));
        auto click = [&](unsigned Button, TPoint At) { SendClick(probe, w, Button, At.X, At.Y); };

        // In coordinates of the X window, which covers the form's bounds.
        auto windowPoint = [&](int DataCol, int DataRow) {
            const TRect r = grid->CellRect(grid->DataToRawColumn(DataCol), DataRow + grid->GetTitleOffset());
            const TPoint s = grid->ClientToScreen(TPoint{r.Left + 4, r.Top + r.Height() / 2});
            return TPoint{s.X - form.GetLeft(), s.Y - form.GetTop()};
        };
        auto id = [&] { return table->FieldByName("ID")->GetAsInteger(); };
        click(Button1, windowPoint(1, 3));
        EXPECT_TRUE(PumpUntil([&] { return id() == 4; })) << id();
        EXPECT_EQ(grid->RawToDataColumn(grid->GetCol()), 1);

        click(Button5, windowPoint(1, 3));  // one notch towards the user
        EXPECT_TRUE(PumpUntil([&] { return id() == 6; })) << id();

        SendKeyStroke(probe, w, XK_z);
        SendKeyStroke(probe, w, XK_q);
        ASSERT_TRUE(PumpUntil([&] { return grid->GetEditorMode() && grid->GetInplaceEditor()->GetText() == "zq"; }));
        EXPECT_EQ(table->FieldByName("Name")->GetAsString(), "N6");
        SendKeyStroke(probe, w, XK_Return);
        EXPECT_TRUE(PumpUntil([&] { return table->FieldByName("Name")->GetAsString() == "zq"; }));
        SendKeyStroke(probe, w, XK_Down);
        EXPECT_TRUE(PumpUntil([&] { return table->GetState() == TDataSetState::dsBrowse && id() == 7; }))
            << int(table->GetState()) << " " << id() << " editor " << grid->GetEditorMode() << " focused " << grid->Focused();
        table->Prior();
        EXPECT_EQ(table->FieldByName("Name")->GetAsString(), "zq");
        XCloseDisplay(probe);
    }
    SetBackend(nullptr);
    vel::Screen().Reset();
    ResetWindowingForTests();
}

}  // namespace
}  // namespace veltest
