#include "platform/controls/WindowBackend.h"

#include <cstdlib>
#include <map>

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

std::map<std::string, TWindowBackendFactory>& Factories() {
    static std::map<std::string, TWindowBackendFactory> factories;
    return factories;
}

std::unique_ptr<IWindowBackend> FromEnvironment() {
    const char* choice = std::getenv("VEL_BACKEND");
    const char* display = std::getenv("DISPLAY");
    if (choice && display && *display) {
        if (TWindowBackendFactory factory = FindWindowBackend(choice)) {
            if (auto backend = factory(display)) return backend;
        }
    }
    return CreateOffscreenBackend();
}

}  // namespace

std::unique_ptr<IWindowBackend> CreateOffscreenBackend() {
    return std::make_unique<TOffscreenBackend>();
}

IWindowBackend& Backend() {
    auto& b = Current();
    if (!b) b = FromEnvironment();
    return *b;
}

void SetBackend(std::unique_ptr<IWindowBackend> Backend) {
    Current() = std::move(Backend);
}

void RegisterWindowBackend(const std::string& Name, TWindowBackendFactory Factory) {
    Factories()[Name] = Factory;
}

TWindowBackendFactory FindWindowBackend(const std::string& Name) {
    auto it = Factories().find(Name);
    return it == Factories().end() ? nullptr : it->second;
}

}  // namespace vel
