// The X11 backend: every top-level window is a real X window showing its surface; X input
// becomes queued input (the same path tests use), exposure re-puts the surface.
#include <sys/select.h>

#include <algorithm>
#include <unordered_map>

#include "platform/backends/X11Backend.h"
#include "platform/controls/Application.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Input.h"
#include "platform/graphics/Bitmap.h"

// Xlib's macros (KeyPress, None, Status...) must not meet the framework's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace vel {

namespace {

unsigned KeySymToVk(KeySym ks) {
    if (ks >= XK_a && ks <= XK_z) return unsigned('A' + (ks - XK_a));
    if (ks >= XK_A && ks <= XK_Z) return unsigned('A' + (ks - XK_A));
    if (ks >= XK_0 && ks <= XK_9) return unsigned('0' + (ks - XK_0));
    if (ks >= XK_F1 && ks <= XK_F12) return unsigned(VK_F1 + (ks - XK_F1));
    if (ks >= XK_KP_0 && ks <= XK_KP_9) return unsigned(VK_NUMPAD0 + (ks - XK_KP_0));
    switch (ks) {
        case XK_Return:
        case XK_KP_Enter: return VK_RETURN;
        case XK_Escape: return VK_ESCAPE;
        case XK_Tab:
        case XK_ISO_Left_Tab: return VK_TAB;
        case XK_BackSpace: return VK_BACK;
        case XK_space: return VK_SPACE;
        case XK_Left: return VK_LEFT;
        case XK_Right: return VK_RIGHT;
        case XK_Up: return VK_UP;
        case XK_Down: return VK_DOWN;
        case XK_Home: return VK_HOME;
        case XK_End: return VK_END;
        case XK_Prior: return VK_PRIOR;
        case XK_Next: return VK_NEXT;
        case XK_Insert: return VK_INSERT;
        case XK_Delete: return VK_DELETE;
        case XK_Shift_L: return VK_LSHIFT;
        case XK_Shift_R: return VK_RSHIFT;
        case XK_Control_L: return VK_LCONTROL;
        case XK_Control_R: return VK_RCONTROL;
        case XK_Alt_L: return VK_LMENU;
        case XK_Alt_R: return VK_RMENU;
        case XK_Menu: return VK_APPS;
        default: return 0;
    }
}

TShiftState StateToShift(unsigned state) {
    TShiftState s;
    if (state & ShiftMask) s.Include(TShiftStateFlag::ssShift);
    if (state & ControlMask) s.Include(TShiftStateFlag::ssCtrl);
    if (state & Mod1Mask) s.Include(TShiftStateFlag::ssAlt);
    return s;
}

class TX11Backend : public IWindowBackend {
public:
    explicit TX11Backend(Display* d) : FDisplay(d) {
        FScreen = DefaultScreen(d);
        FDeleteAtom = XInternAtom(d, "WM_DELETE_WINDOW", False);
    }
    ~TX11Backend() override {
        for (auto& [w, x] : FWindows) XDestroyWindow(FDisplay, x);
        XCloseDisplay(FDisplay);
    }

    std::string Name() const override { return "x11"; }

    void WindowCreated(TWinControl* w) override {
        XSetWindowAttributes a{};
        unsigned long mask = CWEventMask | CWBackPixel;
        a.background_pixel = BlackPixel(FDisplay, FScreen);
        a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                       KeyReleaseMask | StructureNotifyMask | FocusChangeMask;
        const bool popup = (w->GetStyle() & WS_POPUP) != 0;
        if (popup) {
            a.override_redirect = True;
            a.save_under = True;
            mask |= CWOverrideRedirect | CWSaveUnder;
        }
        Window x = XCreateWindow(FDisplay, RootWindow(FDisplay, FScreen), w->GetLeft(), w->GetTop(),
                                 unsigned(std::max(1, w->GetWidth())), unsigned(std::max(1, w->GetHeight())), 0,
                                 CopyFromParent, InputOutput, CopyFromParent, mask, &a);
        if (!popup) {
            XSetWMProtocols(FDisplay, x, &FDeleteAtom, 1);
            XSizeHints hints{};
            hints.flags = PPosition | USPosition;
            hints.x = w->GetLeft();
            hints.y = w->GetTop();
            XSetWMNormalHints(FDisplay, x, &hints);
            XStoreName(FDisplay, x, w->GetText().c_str());
            // The class lets window managers and desktops group and remember the program's
            // windows: the program's name, and the library's.
            std::string name = Application().GetExeName();
            name = name.substr(name.find_last_of('/') + 1);
            if (name.empty()) name = "vel";
            XClassHint hint{};
            hint.res_name = name.data();
            hint.res_class = const_cast<char*>("VelGrid");
            XSetClassHint(FDisplay, x, &hint);
        }
        FWindows[w] = x;
        FByX[x] = w;
        XFlush(FDisplay);
    }

    void WindowDestroyed(TWinControl* w) override {
        auto it = FWindows.find(w);
        if (it == FWindows.end()) return;
        FByX.erase(it->second);
        XDestroyWindow(FDisplay, it->second);
        FWindows.erase(it);
        XFlush(FDisplay);
    }

    void WindowShown(TWinControl* w, bool visible) override {
        auto it = FWindows.find(w);
        if (it == FWindows.end()) return;
        if (visible) {
            XMoveResizeWindow(FDisplay, it->second, w->GetLeft(), w->GetTop(), unsigned(std::max(1, w->GetWidth())),
                              unsigned(std::max(1, w->GetHeight())));
            XMapRaised(FDisplay, it->second);
        } else {
            XUnmapWindow(FDisplay, it->second);
        }
        XFlush(FDisplay);
    }

    void WindowBoundsChanged(TWinControl* w) override {
        auto it = FWindows.find(w);
        if (it == FWindows.end() || FConfiguring == w) return;
        XMoveResizeWindow(FDisplay, it->second, w->GetLeft(), w->GetTop(), unsigned(std::max(1, w->GetWidth())),
                          unsigned(std::max(1, w->GetHeight())));
        XFlush(FDisplay);
    }

    void WindowRaised(TWinControl* w) override {
        auto it = FWindows.find(w);
        if (it == FWindows.end()) return;
        XRaiseWindow(FDisplay, it->second);
        XFlush(FDisplay);
    }

    void SurfaceChanged(TWinControl* w, const TRect& dirty) override {
        auto it = FWindows.find(w);
        if (it == FWindows.end() || !w->GetSurface()) return;
        Put(w, it->second, dirty);
        XFlush(FDisplay);
    }

    bool PumpEvents(int timeoutMs) override {
        if (XPending(FDisplay) == 0 && timeoutMs > 0) {
            int fd = ConnectionNumber(FDisplay);
            fd_set set;
            FD_ZERO(&set);
            FD_SET(fd, &set);
            timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
            select(fd + 1, &set, nullptr, nullptr, &tv);
        }
        bool any = false;
        while (XPending(FDisplay) > 0) {
            XEvent e;
            XNextEvent(FDisplay, &e);
            any = Handle(e) || any;
        }
        return any;
    }

    bool CanReceiveInput() const override { return true; }
    bool FramesWindows() const override { return true; }
    void Flush() override { XSync(FDisplay, False); }

    std::uintptr_t NativeHandle(TWinControl* w) const override {
        auto it = FWindows.find(w);
        return it == FWindows.end() ? 0 : std::uintptr_t(it->second);
    }

    TRect DesktopRect() const override {
        return Rect(0, 0, DisplayWidth(FDisplay, FScreen), DisplayHeight(FDisplay, FScreen));
    }

private:
    void Put(TWinControl* w, Window x, TRect r) {
        TBitmap* s = w->GetSurface();
        r = Intersection(r, Rect(0, 0, s->GetWidth(), s->GetHeight()));
        if (r.IsEmpty()) return;
        Visual* visual = DefaultVisual(FDisplay, FScreen);
        XImage* img = XCreateImage(FDisplay, visual, unsigned(DefaultDepth(FDisplay, FScreen)), ZPixmap, 0,
                                   reinterpret_cast<char*>(s->Bits()), unsigned(s->GetWidth()),
                                   unsigned(s->GetHeight()), 32, s->GetWidth() * 4);
        if (!img) return;
        GC gc = DefaultGC(FDisplay, FScreen);
        XPutImage(FDisplay, x, gc, img, r.Left, r.Top, r.Left, r.Top, unsigned(r.Width()), unsigned(r.Height()));
        img->data = nullptr;  // the surface owns the pixels
        XDestroyImage(img);
    }

    bool Handle(XEvent& e) {
        auto it = FByX.find(e.xany.window);
        if (it == FByX.end()) return false;
        TWinControl* w = it->second;
        switch (e.type) {
            case Expose: {
                TRect r = Bounds(e.xexpose.x, e.xexpose.y, e.xexpose.width, e.xexpose.height);
                if (w->GetSurface()) Put(w, e.xany.window, r);
                XFlush(FDisplay);
                return false;
            }
            case ButtonPress:
            case ButtonRelease: {
                TPoint p = Point(e.xbutton.x_root, e.xbutton.y_root);
                // Synthetic events may carry no root position: derive it from the window.
                if (e.xbutton.send_event) p = Point(w->GetLeft() + e.xbutton.x, w->GetTop() + e.xbutton.y);
                TShiftState s = StateToShift(e.xbutton.state);
                const bool down = e.type == ButtonPress;
                switch (e.xbutton.button) {
                    case Button1:
                        down ? InjectMouseDown(TMouseButton::mbLeft, p, s) : InjectMouseUp(TMouseButton::mbLeft, p, s);
                        break;
                    case Button2:
                        down ? InjectMouseDown(TMouseButton::mbMiddle, p, s)
                             : InjectMouseUp(TMouseButton::mbMiddle, p, s);
                        break;
                    case Button3:
                        down ? InjectMouseDown(TMouseButton::mbRight, p, s) : InjectMouseUp(TMouseButton::mbRight, p, s);
                        break;
                    case Button4:
                        if (down) InjectMouseWheel(WHEEL_DELTA, p, s);
                        break;
                    case Button5:
                        if (down) InjectMouseWheel(-WHEEL_DELTA, p, s);
                        break;
                    default: return false;
                }
                return true;
            }
            case MotionNotify: {
                TPoint p = Point(e.xmotion.x_root, e.xmotion.y_root);
                if (e.xmotion.send_event) p = Point(w->GetLeft() + e.xmotion.x, w->GetTop() + e.xmotion.y);
                InjectMouseMove(p, StateToShift(e.xmotion.state));
                return true;
            }
            case KeyPress:
            case KeyRelease: {
                char buf[16] = {};
                KeySym ks = 0;
                int n = XLookupString(&e.xkey, buf, sizeof buf, &ks, nullptr);
                unsigned vk = KeySymToVk(ks);
                TShiftState s = StateToShift(e.xkey.state);
                if (e.type == KeyPress) {
                    if (vk) InjectKeyDown(vk, s);
                    // Alt+letter arrives as WM_SYSCHAR (accelerators).
                    if (n == 1) InjectChar(char32_t(static_cast<unsigned char>(buf[0])), s);
                } else if (vk) {
                    InjectKeyUp(vk, s);
                }
                return true;
            }
            case ConfigureNotify: {
                if (e.xconfigure.send_event || !(w->GetStyle() & WS_POPUP)) {
                    FConfiguring = w;
                    int x = e.xconfigure.x, y = e.xconfigure.y;
                    if (!e.xconfigure.send_event) {
                        // Relative to a window manager frame: ask for the root position.
                        Window child;
                        XTranslateCoordinates(FDisplay, e.xany.window, RootWindow(FDisplay, FScreen), 0, 0, &x, &y,
                                              &child);
                    }
                    w->SetBounds(x, y, e.xconfigure.width, e.xconfigure.height);
                    FConfiguring = nullptr;
                }
                return false;
            }
            case ClientMessage:
                if (Atom(e.xclient.data.l[0]) == FDeleteAtom) {
                    PostMessage(w->GetHandle(), WM_CLOSE);
                    return true;
                }
                return false;
            default: return false;
        }
    }

    Display* FDisplay;
    int FScreen = 0;
    Atom FDeleteAtom;
    std::unordered_map<TWinControl*, Window> FWindows;
    std::unordered_map<Window, TWinControl*> FByX;
    TWinControl* FConfiguring = nullptr;
};

}  // namespace

std::unique_ptr<IWindowBackend> CreateX11Backend(const std::string& DisplayName) {
    Display* d = XOpenDisplay(DisplayName.c_str());
    if (!d) return nullptr;
    return std::make_unique<TX11Backend>(d);
}

namespace {
// The backends library is linked whole into every program (platform/CMakeLists.txt), so this
// registration always runs.
[[maybe_unused]] const bool x11Registered = (RegisterWindowBackend("x11", &CreateX11Backend), true);
}  // namespace

}  // namespace vel
