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

// Input sent from a second connection, as another client (or a test driver) would.
class TProbe {
public:
    TProbe(const std::string& Display, Window W) : FDisplay(XOpenDisplay(Display.c_str())), FWindow(W) {}
    ~TProbe() {
        if (FDisplay) XCloseDisplay(FDisplay);
    }
    bool Open() const { return FDisplay != nullptr; }
    void Button(unsigned B, TPoint At) {
        for (int type : {ButtonPress, ButtonRelease}) {
            XEvent e{};
            e.xbutton.type = type;
            e.xbutton.display = FDisplay;
            e.xbutton.window = FWindow;
            e.xbutton.root = DefaultRootWindow(FDisplay);
            e.xbutton.x = At.X;
            e.xbutton.y = At.Y;
            e.xbutton.button = B;
            e.xbutton.same_screen = True;
            XSendEvent(FDisplay, FWindow, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
        }
        XSync(FDisplay, False);
    }
    void Key(KeySym Sym) {
        for (int type : {KeyPress, KeyRelease}) {
            XEvent e{};
            e.xkey.type = type;
            e.xkey.display = FDisplay;
            e.xkey.window = FWindow;
            e.xkey.root = DefaultRootWindow(FDisplay);
            e.xkey.keycode = XKeysymToKeycode(FDisplay, Sym);
            e.xkey.same_screen = True;
            XSendEvent(FDisplay, FWindow, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
        }
        XSync(FDisplay, False);
    }
    bool Viewable() {
        XWindowAttributes a{};
        XSync(FDisplay, False);
        XGetWindowAttributes(FDisplay, FWindow, &a);
        return a.map_state == IsViewable;
    }

private:
    Display* FDisplay;
    Window FWindow;
};

// Pumps the backend until Done() holds (at most two seconds).
template <class F>
bool PumpUntil(F Done) {
    for (int i = 0; i < 100; ++i) {
        if (Done()) return true;
        Backend().PumpEvents(20);
        Application().ProcessMessages();
    }
    return Done();
}

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
        TProbe probe(server.Name(), Window(Backend().NativeHandle(&form)));
        ASSERT_TRUE(probe.Open());
        ASSERT_TRUE(PumpUntil([&] { return probe.Viewable(); }));

        // In coordinates of the X window, which covers the form's bounds.
        auto windowPoint = [&](int DataCol, int DataRow) {
            const TRect r = grid->CellRect(grid->DataToRawColumn(DataCol), DataRow + grid->GetTitleOffset());
            const TPoint s = grid->ClientToScreen(TPoint{r.Left + 4, r.Top + r.Height() / 2});
            return TPoint{s.X - form.GetLeft(), s.Y - form.GetTop()};
        };
        auto id = [&] { return table->FieldByName("ID")->GetAsInteger(); };
        probe.Button(Button1, windowPoint(1, 3));
        EXPECT_TRUE(PumpUntil([&] { return id() == 4; })) << id();
        EXPECT_EQ(grid->RawToDataColumn(grid->GetCol()), 1);

        probe.Button(Button5, windowPoint(1, 3));  // one notch towards the user
        EXPECT_TRUE(PumpUntil([&] { return id() == 6; })) << id();

        probe.Key(XK_z);
        probe.Key(XK_q);
        ASSERT_TRUE(PumpUntil([&] { return grid->GetEditorMode() && grid->GetInplaceEditor()->GetText() == "zq"; }));
        EXPECT_EQ(table->FieldByName("Name")->GetAsString(), "N6");
        probe.Key(XK_Return);
        EXPECT_TRUE(PumpUntil([&] { return table->FieldByName("Name")->GetAsString() == "zq"; }));
        probe.Key(XK_Down);
        EXPECT_TRUE(PumpUntil([&] { return table->GetState() == TDataSetState::dsBrowse && id() == 7; }))
            << int(table->GetState()) << " " << id() << " editor " << grid->GetEditorMode() << " focused " << grid->Focused();
        table->Prior();
        EXPECT_EQ(table->FieldByName("Name")->GetAsString(), "zq");
    }
    SetBackend(nullptr);
    vel::Screen().Reset();
    ResetWindowingForTests();
}

}  // namespace
}  // namespace veltest
