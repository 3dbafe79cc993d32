// Starting and stopping a private Xvfb server.
#include "tests/support/XvfbServer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/controls/Application.h"
#include "platform/controls/WindowBackend.h"

extern char** environ;

namespace veltest {

XvfbServer::XvfbServer() {
    for (int n = 91; n < 140 && FPid == 0; ++n) {
        if (std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
        if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n))) continue;
        Start(n);
    }
}

XvfbServer::~XvfbServer() {
    if (FPid > 0) {
        kill(FPid, SIGTERM);
        int status = 0;
        waitpid(FPid, &status, 0);
    }
}

void XvfbServer::Start(int n) {
    std::string display = ":" + std::to_string(n);
    const char* argv[] = {"Xvfb", display.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp", "-noreset", nullptr};
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, "Xvfb", &fa, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return;
    // Wait (bounded) until the server takes connections.
    for (int i = 0; i < 100; ++i) {
        if (Display* d = XOpenDisplay(display.c_str())) {
            XCloseDisplay(d);
            FPid = pid;
            FName = display;
            return;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return;  // it gave up (display taken)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

void SendClick(Display* D, Window W, unsigned Button, int X, int Y) {
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent e{};
        e.xbutton.type = type;
        e.xbutton.display = D;
        e.xbutton.window = W;
        e.xbutton.root = DefaultRootWindow(D);
        e.xbutton.x = X;
        e.xbutton.y = Y;
        e.xbutton.button = Button;
        e.xbutton.same_screen = True;
        e.xbutton.state = type == ButtonRelease && Button == Button1 ? Button1Mask : 0;
        XSendEvent(D, W, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
    }
    XSync(D, False);
}

void SendKeyStroke(Display* D, Window W, KeySym Key, unsigned State) {
    for (int type : {KeyPress, KeyRelease}) {
        XEvent e{};
        e.xkey.type = type;
        e.xkey.display = D;
        e.xkey.window = W;
        e.xkey.root = DefaultRootWindow(D);
        e.xkey.keycode = XKeysymToKeycode(D, Key);
        e.xkey.state = State;
        e.xkey.same_screen = True;
        XSendEvent(D, W, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
    }
    XSync(D, False);
}

void SendClose(Display* D, Window W) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = W;
    e.xclient.message_type = XInternAtom(D, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(D, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(D, W, False, NoEventMask, &e);
    XSync(D, False);
}

bool PumpUntil(const std::function<bool()>& Done) {
    for (int i = 0; i < 200; ++i) {
        if (Done()) return true;
        vel::Backend().PumpEvents(20);
        vel::Application().ProcessMessages();
    }
    return Done();
}

}  // namespace veltest
