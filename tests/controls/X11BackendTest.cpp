// The X11 backend under a private Xvfb server: a real window appears, a click and an
// Alt+letter sent to it reach the controls, and the window's pixels are what the offscreen
// surface holds.
#include "platform/backends/X11Backend.h"
#include "platform/controls/StdCtrls.h"
#include "tests/controls/ControlsTestUtil.h"
#include "tests/support/XvfbServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

using namespace vel;

namespace veltest {
namespace {

class X11BackendTest : public ControlsTest {};

TEST_F(X11BackendTest, RealWindowTakesAClickAndShowsTheSurface) {
    XvfbServer server;
    if (!server.Running()) GTEST_SKIP() << "Xvfb could not be started";
    auto backend = CreateX11Backend(server.Name());
    if (!backend) GTEST_SKIP() << "cannot open " << server.Name();
    SetBackend(std::move(backend));
    vel::Screen().Reset();
    EXPECT_EQ(vel::Screen().GetDesktopRect(), Rect(0, 0, 800, 600));
    Display* probe = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(probe, nullptr);
    {
        TForm form(nullptr);
        form.SetCaption("Probe");
        form.SetBounds(50, 40, 300, 200);
        auto* target = new TLogControl(&form);
        target->Fill = clRed;
        target->SetBounds(40, 30, 120, 60);
        target->SetParent(&form);
        int clicks = 0;
        target->SetOnClick([&](TObject*) { ++clicks; });
        auto* ok = new TButton(&form);
        ok->SetCaption("&OK");
        ok->SetBounds(180, 30, 75, 25);
        ok->SetParent(&form);
        int okClicks = 0;
        ok->SetOnClick([&](TObject*) { ++okClicks; });
        form.Show();
        Process();
        Window w = Window(Backend().NativeHandle(&form));
        ASSERT_NE(w, 0u);

        XWindowAttributes attrs{};
        for (int i = 0; i < 50; ++i) {
            XSync(probe, False);
            XGetWindowAttributes(probe, w, &attrs);
            if (attrs.map_state == IsViewable) break;
            Backend().PumpEvents(20);
        }
        ASSERT_EQ(attrs.map_state, IsViewable);
        EXPECT_EQ(attrs.width, 300);
        EXPECT_EQ(attrs.height, 200);

        // A synthetic click from another connection, in window coordinates.
        TPoint c = target->ClientToScreen(Point(10, 10));
        SendClick(probe, w, Button1, c.X - form.GetLeft(), c.Y - form.GetTop());
        PumpUntil([&] { return clicks > 0; });
        EXPECT_EQ(clicks, 1);

        // Alt+O typed on the window is the button's accelerator.
        SendKeyStroke(probe, w, XK_o, Mod1Mask);
        PumpUntil([&] { return okClicks > 0; });
        EXPECT_EQ(okClicks, 1);

        // The window's pixels are the surface's.
        Process();
        auto expected = form.CaptureImage();
        Backend().Flush();
        XSync(probe, False);
        XImage* img = XGetImage(probe, w, 0, 0, 300, 200, AllPlanes, ZPixmap);
        ASSERT_NE(img, nullptr);
        int mismatches = 0;
        TRect where;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                if ((XGetPixel(img, x, y) & 0xFFFFFF) != (expected->GetPixel(x, y) & 0xFFFFFF)) {
                    ++mismatches;
                    where = UnionRect(where, Rect(x, y, x + 1, y + 1));
                }
        EXPECT_EQ(mismatches, 0) << where.Left << "," << where.Top << "-" << where.Right << "," << where.Bottom;
        // The red control is really there.
        TPoint inside = Point(c.X - form.GetLeft(), c.Y - form.GetTop());
        EXPECT_EQ(XGetPixel(img, inside.X, inside.Y) & 0xFFFFFF, 0xFF0000u);
        XDestroyImage(img);
    }
    XCloseDisplay(probe);
    SetBackend(nullptr);
    vel::Screen().Reset();
}

}  // namespace
}  // namespace veltest
