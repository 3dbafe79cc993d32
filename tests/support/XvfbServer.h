#pragma once
// A private Xvfb server for tests of the X11 backend: started on a free display number and
// stopped with the object. Running() is false when no server could be started.
#include <string>

#include <sys/types.h>

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

}  // namespace veltest
