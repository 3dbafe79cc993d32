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

#include <X11/Xlib.h>

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

}  // namespace veltest
