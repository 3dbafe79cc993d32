// The demo in a real window under a private Xvfb server: the window appears with its class for
// the window manager, takes a click and a key, follows a resize, and closes through the window
// manager's close message, after which the run returns exit code 0 and the database is as
// generated. Once in-process, once as the veldemo program itself.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A demo database of 200 orders in Dir.
std::string SmallDemoDatabase(veltest::TempDir& Dir) {
    TDemoDatabaseOptions small;
    small.Orders = 200;
    small.Customers = 40;
    const std::string file = Dir.File("demo.db");
    BuildDemoDatabase(file, small);
    return file;
}

TEST(DemoWindow, AppearsTakesAClickAndAKeyAndClosesThroughTheWindowManager) {
    veltest::XvfbServer server;
    if (!server.Running()) GTEST_SKIP() << "Xvfb could not be started";
    auto backend = CreateX11Backend(server.Name());
    if (!backend) GTEST_SKIP() << "cannot open " << server.Name();
    veltest::TempDir dir;
    const std::string file = SmallDemoDatabase(dir);
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

// The top-level window whose class is Class, or 0.
Window FindByClass(Display* D, const char* Class) {
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    Window found = 0;
    if (!XQueryTree(D, DefaultRootWindow(D), &root, &parent, &children, &n)) return 0;
    for (unsigned i = 0; i < n && !found; ++i) {
        XClassHint hint{};
        if (XGetClassHint(D, children[i], &hint)) {
            if (hint.res_class && std::string(hint.res_class) == Class) found = children[i];
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
    }
    if (children) XFree(children);
    return found;
}

// The program as a child process with its standard output in a pipe.
struct TChild {
    pid_t Pid = -1;
    int Out = -1;
    std::string Text;
    // Reads what the child wrote so far, waiting at most Ms milliseconds for more.
    void Read(int Ms) {
        pollfd p{Out, POLLIN, 0};
        char buf[4096];
        while (poll(&p, 1, Ms) > 0) {
            const ssize_t n = read(Out, buf, sizeof buf);
            if (n <= 0) break;
            Text.append(buf, std::size_t(n));
            Ms = 0;
        }
    }
    // The exit code, or -1 when the child did not end within Seconds (it is killed then).
    int Wait(int Seconds) {
        for (int i = 0; i < Seconds * 10; ++i) {
            int status = 0;
            if (waitpid(Pid, &status, WNOHANG) == Pid) {
                Read(0);
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            Read(0);
            usleep(100 * 1000);
        }
        kill(Pid, SIGKILL);
        waitpid(Pid, nullptr, 0);
        return -1;
    }
};

// The veldemo program of the same build: build/<preset>/apps/veldemo beside build/<preset>/tests.
std::string DemoProgram() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (self.parent_path().parent_path() / "apps" / "veldemo").string();
}

TChild Spawn(const std::string& Program, const std::string& Arg, const std::string& Display) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    TChild c;
    c.Pid = fork();
    if (c.Pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        setenv("DISPLAY", Display.c_str(), 1);
        setenv("VEL_BACKEND", "x11", 1);
        execl(Program.c_str(), Program.c_str(), Arg.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    c.Out = fds[0];
    return c;
}

TEST(DemoWindow, TheProgramTakesAKeyAndAClickFollowsAResizeAndExitsWithZeroOnClose) {
    veltest::XvfbServer server;
    if (!server.Running()) GTEST_SKIP() << "Xvfb could not be started";
    Display* probe = XOpenDisplay(server.Name().c_str());
    if (!probe) GTEST_SKIP() << "cannot open " << server.Name();
    veltest::TempDir dir;
    const std::string file = SmallDemoDatabase(dir);
    const std::string before = veltest::ReadFileText(file);

    const std::string program = DemoProgram();
    ASSERT_TRUE(std::filesystem::exists(program)) << program;
    TChild demo = Spawn(program, file, server.Name());
    ASSERT_GT(demo.Pid, 0);
    Window w = 0;
    XWindowAttributes attrs{};
    for (int i = 0; i < 600 && attrs.map_state != IsViewable; ++i) {
        demo.Read(50);
        XSync(probe, False);
        if (!w) w = FindByClass(probe, "VelGrid");
        if (w) XGetWindowAttributes(probe, w, &attrs);
    }
    ASSERT_EQ(attrs.map_state, IsViewable) << demo.Text;
    EXPECT_NE(demo.Text.find("Orders: 200 in the data-aware grid"), std::string::npos) << demo.Text;

    // Ctrl+End goes to the last order; a click on a row near the top of the grid, which then
    // shows the last page, leaves it for an earlier one. Only both together end there.
    veltest::SendKeyStroke(probe, w, XK_End, ControlMask);
    veltest::SendClick(probe, w, Button1, 300, 150);
    // A window manager's resize.
    XResizeWindow(probe, w, 1100, 700);
    XSync(probe, False);
    demo.Read(300);
    veltest::SendClose(probe, w);
    EXPECT_EQ(demo.Wait(30), 0) << demo.Text;
    const std::size_t at = demo.Text.find("Closed on order ");
    ASSERT_NE(at, std::string::npos) << demo.Text;
    const int order = std::atoi(demo.Text.c_str() + at + 16);
    EXPECT_GT(order, 170) << demo.Text;
    EXPECT_LT(order, 200) << demo.Text;
    EXPECT_NE(demo.Text.find("window 1100x700"), std::string::npos) << demo.Text;
    close(demo.Out);
    XCloseDisplay(probe);
    EXPECT_EQ(veltest::ReadFileText(file), before);
}

}  // namespace
