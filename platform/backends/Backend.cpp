#include "platform/backends/Backend.h"

#include <cstdlib>
#include <cstring>

namespace vel {

namespace {

class TOffscreenBackend : public IWindowBackend {
public:
    std::string Name() const override { return "offscreen"; }
    void WindowCreated(TWinControl*) override {}
    void WindowDestroyed(TWinControl*) override {}
    void WindowShown(TWinControl*, bool) override {}
    void WindowBoundsChanged(TWinControl*) override {}
    void SurfaceChanged(TWinControl*, const TRect&) override {}
    bool PumpEvents(int) override { return false; }
    bool CanReceiveInput() const override { return false; }
};

std::unique_ptr<IWindowBackend>& Current() {
    static std::unique_ptr<IWindowBackend> backend;
    return backend;
}

std::unique_ptr<IWindowBackend> FromEnvironment() {
    const char* choice = std::getenv("VEL_BACKEND");
    const char* display = std::getenv("DISPLAY");
    if (choice && std::strcmp(choice, "x11") == 0 && display && *display) {
        if (auto x = CreateX11Backend(display)) return x;
    }
    return CreateOffscreenBackend();
}

}  // namespace

std::unique_ptr<IWindowBackend> CreateOffscreenBackend() { return std::make_unique<TOffscreenBackend>(); }

IWindowBackend& Backend() {
    auto& b = Current();
    if (!b) b = FromEnvironment();
    return *b;
}

void SetBackend(std::unique_ptr<IWindowBackend> Backend) { Current() = std::move(Backend); }

}  // namespace vel
