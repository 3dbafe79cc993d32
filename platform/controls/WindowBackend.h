#pragma once
// The window backend: what shows top-level windows and feeds native input. The offscreen
// backend (default, here) keeps everything in memory on a virtual desktop; backends that open
// real windows live in platform/backends and register themselves by name. The backend is
// chosen on first use from VEL_BACKEND (a registered name, e.g. x11, with DISPLAY set).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/Geometry.h"

namespace vel {

class TWinControl;

class IWindowBackend {
public:
    virtual ~IWindowBackend() = default;
    virtual std::string Name() const = 0;
    // A top-level window got its handle / lost it.
    virtual void WindowCreated(TWinControl* Window) = 0;
    virtual void WindowDestroyed(TWinControl* Window) = 0;
    // Shown or hidden, moved or resized, raised.
    virtual void WindowShown(TWinControl* Window, bool Visible) = 0;
    virtual void WindowBoundsChanged(TWinControl* Window) = 0;
    virtual void WindowRaised(TWinControl* Window) { (void)Window; }
    // Pixels of the window's surface changed in Dirty (surface coordinates).
    virtual void SurfaceChanged(TWinControl* Window, const TRect& Dirty) = 0;
    // Turns native events into queued input; waits up to TimeoutMs for one when asked.
    // Returns whether anything was queued.
    virtual bool PumpEvents(int TimeoutMs) = 0;
    // Waits until the display has carried out every request sent so far.
    virtual void Flush() {}
    // Whether an event can arrive from outside while the process waits (false offscreen).
    virtual bool CanReceiveInput() const = 0;
    // Whether a window manager draws the frames and captions of top-level windows; forms then
    // draw no border of their own.
    virtual bool FramesWindows() const { return false; }
    // The desktop when the backend knows it (X11: the root window); empty to keep TScreen's.
    virtual TRect DesktopRect() const { return TRect{}; }
    // The native window of a top-level window (X11: the Window id), 0 offscreen.
    virtual std::uintptr_t NativeHandle(TWinControl* Window) const {
        (void)Window;
        return 0;
    }
};

IWindowBackend& Backend();
// Replaces the backend (tests); nullptr returns to the one chosen from the environment.
void SetBackend(std::unique_ptr<IWindowBackend> Backend);
std::unique_ptr<IWindowBackend> CreateOffscreenBackend();

// A backend that opens windows on a display; returns nullptr when the display cannot be opened.
using TWindowBackendFactory = std::unique_ptr<IWindowBackend> (*)(const std::string& Display);
// Makes a backend choosable through VEL_BACKEND; a later registration of a name replaces it.
void RegisterWindowBackend(const std::string& Name, TWindowBackendFactory Factory);
TWindowBackendFactory FindWindowBackend(const std::string& Name);

}  // namespace vel
