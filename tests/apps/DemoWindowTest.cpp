// The demo in a real window under a private Xvfb server: the window appears with its class for
// the window manager, takes a click and a key, and closes through the window manager's close
// message, after which the run returns exit code 0 and the database is as generated.
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "apps/veldemo/OrdersWindow.h"
#include "apps/veldemodb/DemoDatabase.h"
#include "platform/backends/X11Backend.h"
#include "platform/controls/Application.h"
#include "platform/controls/WindowBackend.h"
#include "tests/sqlite/SqliteTestUtil.h"
#include "tests/support/XvfbServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

using namespace vel;

namespace {

TEST(DemoWindow, AppearsTakesAClickAndAKeyAndClosesThroughTheWindowManager) {
    veltest::XvfbServer server;
    if (!server.Running()) GTEST_SKIP() << "Xvfb could not be started";
    auto backend = CreateX11Backend(server.Name());
    if (!backend) GTEST_SKIP() << "cannot open " << server.Name();
    veltest::TempDir dir;
    TDemoDatabaseOptions small;
    small.Orders = 200;
    small.Customers = 40;
    const std::string file = dir.File("demo.db");
    BuildDemoDatabase(file, small);
    const std::string before = veltest::ReadFileText(file);

    ResetWindowingForTests();
    SetBackend(std::move(backend));
    vel::Screen().Reset();
    Display* probe = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(probe, nullptr);
    int exitCode = -1;
    {
        veldemo::TOrdersWindow window(file);
        TForm& form = window.Form();
        TVelDBGrid& grid = window.OrdersGrid();
        int clicks = 0, keys = 0;
        grid.SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, int, int) { ++clicks; });
        grid.SetOnKeyDown([&](TObject*, unsigned& Key, TShiftState) { keys += Key == VK_DOWN; });
        form.Show();
        grid.SetFocus();
        const Window w = Window(Backend().NativeHandle(&form));
        ASSERT_NE(w, 0u);
        XWindowAttributes attrs{};
        veltest::PumpUntil([&] {
            XSync(probe, False);
            XGetWindowAttributes(probe, w, &attrs);
            return attrs.map_state == IsViewable;
        });
        ASSERT_EQ(attrs.map_state, IsViewable);
        EXPECT_EQ(attrs.width, form.GetWidth());
        // The window manager draws the frame: the form's client area is the whole window.
        EXPECT_EQ(form.GetClientWidth(), form.GetWidth());
        XClassHint hint{};
        ASSERT_TRUE(XGetClassHint(probe, w, &hint));
        EXPECT_STREQ(hint.res_class, "VelGrid");
        EXPECT_STRNE(hint.res_name, "");
        XFree(hint.res_name);
        XFree(hint.res_class);

        const TRect cell = grid.CellRect(grid.DataToRawColumn(1), grid.GetTitleOffset() + 2);
        const TPoint at = grid.ClientToScreen(TPoint{cell.Left + 5, cell.Top + 5});
        veltest::SendClick(probe, w, Button1, at.X - form.GetLeft(), at.Y - form.GetTop());
        veltest::PumpUntil([&] { return clicks > 0; });
        EXPECT_EQ(clicks, 1);
        veltest::SendKeyStroke(probe, w, XK_Down);
        veltest::PumpUntil([&] { return keys > 0; });
        EXPECT_EQ(keys, 1);

        // The close message ends the run the program makes; a watchdog guards the test.
        veltest::SendClose(probe, w);
        std::atomic<bool> returned{false};
        std::thread watchdog([&] {
            for (int i = 0; i < 300 && !returned; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!returned) {
                std::fprintf(stderr, "the demo's window did not close on WM_DELETE_WINDOW\n");
                std::_Exit(3);
            }
        });
        exitCode = veldemo::RunOrdersWindow(window);
        returned = true;
        watchdog.join();
        EXPECT_FALSE(form.GetVisible());
    }
    EXPECT_EQ(exitCode, 0);
    XCloseDisplay(probe);
    SetBackend(nullptr);
    ResetWindowingForTests();
    vel::Screen().Reset();
    EXPECT_EQ(veltest::ReadFileText(file), before);
}

}  // namespace
