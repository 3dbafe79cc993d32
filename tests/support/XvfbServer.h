#pragma once
// A private Xvfb server for tests of the X11 backend: started on a free display number and
// stopped with the object. Running() is false when no server could be started.
#include <functional>
#include <string>

#include <sys/types.h>

#include <X11/Xlib.h>

namespace veltest {

class XvfbServer {
public:
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    bool Running() const { return FPid > 0; }
    const std::string& Name() const { return FName; }

private:
    void Start(int n);
    pid_t FPid = 0;
    std::string FName;
};

// Input sent to window W from a second connection, as another client would; each call syncs.
// A click is a press and a release of Button at window point (X, Y); a key stroke a press and
// a release with the modifier State held.
void SendClick(Display* D, Window W, unsigned Button, int X, int Y);
void SendKeyStroke(Display* D, Window W, KeySym Key, unsigned State = 0);
// What a window manager sends when the user closes the window from its frame.
void SendClose(Display* D, Window W);
// Pumps the backend and the message queue until Done holds (at most four seconds).
bool PumpUntil(const std::function<bool()>& Done);

}  // namespace veltest
