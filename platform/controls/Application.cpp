#include "platform/controls/Application.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <thread>

#include "platform/controls/Forms.h"
#include "platform/controls/Hints.h"
#include "platform/controls/WindowBackend.h"
#include "platform/controls/internal/WindowManager.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CLASS(TApplication, TComponent)
VEL_DEFINE_CREATABLE_CLASS(TTimer, TComponent)

TWindowManager& WindowManager() {
    static TWindowManager wm;
    return wm;
}

void TWindowManager::AddPaintPending(TWinControl* w) {
    if (std::find(PaintPending.begin(), PaintPending.end(), w) == PaintPending.end())
        PaintPending.push_back(w);
}

void TWindowManager::RemovePaintPending(TWinControl* w) {
    auto it = std::find(PaintPending.begin(), PaintPending.end(), w);
    if (it != PaintPending.end()) PaintPending.erase(it);
}

void TWindowManager::BringTopLevelToFront(TWinControl* w) {
    auto it = std::find(TopLevels.begin(), TopLevels.end(), w);
    if (it == TopLevels.end()) return;
    TopLevels.erase(it);
    // Topmost windows stay above the others.
    if (w->GetExStyle() & WS_EX_TOPMOST) {
        TopLevels.push_back(w);
    } else {
        auto pos = std::find_if(TopLevels.begin(), TopLevels.end(),
                                [](TWinControl* t) { return (t->GetExStyle() & WS_EX_TOPMOST) != 0; });
        TopLevels.insert(pos, w);
    }
}

// ---- Handles.

HWND AllocateHWnd(TWndMethod Proc) {
    auto& wm = WindowManager();
    HWND h = wm.NextHandle++;
    wm.Windows[h] = TWindowEntry{nullptr, std::move(Proc)};
    return h;
}

void DeallocateHWnd(HWND Wnd) {
    auto& wm = WindowManager();
    wm.Windows.erase(Wnd);
    wm.Timers.erase(std::remove_if(wm.Timers.begin(), wm.Timers.end(),
                                   [Wnd](const TTimerEntry& t) { return t.Wnd == Wnd; }),
                    wm.Timers.end());
}

bool IsWindow(HWND Wnd) { return Wnd != 0 && WindowManager().Windows.count(Wnd) != 0; }

TWinControl* FindControl(HWND Wnd) {
    auto& wm = WindowManager();
    auto it = wm.Windows.find(Wnd);
    return it == wm.Windows.end() ? nullptr : it->second.Control;
}

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto& wm = WindowManager();
    auto it = wm.Windows.find(Wnd);
    if (it == wm.Windows.end()) return 0;
    TMessage m{Msg, WParam, LParam, 0};
    if (it->second.Control) {
        it->second.Control->WndProc(m);
    } else if (it->second.Proc) {
        TWndMethod proc = it->second.Proc;  // the window may go away inside
        proc(m);
    }
    return m.Result;
}

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto& wm = WindowManager();
    if (Wnd != 0 && !IsWindow(Wnd)) return false;
    TQueuedMessage q;
    q.Msg.hwnd = Wnd;
    q.Msg.message = Msg;
    q.Msg.wParam = WParam;
    q.Msg.lParam = LParam;
    q.Msg.time = GetTickCount();
    q.Msg.ptX = wm.CursorPos.X;
    q.Msg.ptY = wm.CursorPos.Y;
    wm.Queue.push_back(q);
    return true;
}

void PostQuitMessage(int ExitCode) { PostMessage(0, WM_QUIT, WPARAM(ExitCode), 0); }

std::uint64_t GetMessageTime() { return WindowManager().LastMsg.time; }
TMsg GetLastMessage() { return WindowManager().LastMsg; }

static bool InRange(UINT msg, UINT lo, UINT hi) {
    return (lo == 0 && hi == 0) || (msg >= lo && msg <= hi);
}

bool PeekMessage(TMsg& Msg, HWND Wnd, UINT MsgFilterMin, UINT MsgFilterMax, UINT RemoveMsg) {
    auto& wm = WindowManager();
    Backend().PumpEvents(0);
    const bool remove = (RemoveMsg & PM_REMOVE) != 0;
    for (auto it = wm.Queue.begin(); it != wm.Queue.end();) {
        if (it->Raw != TRawKind::None) {
            // Raw input is resolved when it reaches the front of the queue, so that capture
            // and focus are those of the moment it is taken.
            if (it != wm.Queue.begin() && (Wnd != 0 || MsgFilterMin != 0 || MsgFilterMax != 0)) {
                ++it;
                continue;
            }
            if (!ResolveRawInput(*it)) {
                it = wm.Queue.erase(it);
                continue;
            }
        }
        const TMsg& m = it->Msg;
        if ((Wnd == 0 || m.hwnd == Wnd) && InRange(m.message, MsgFilterMin, MsgFilterMax)) {
            Msg = m;
            if (remove) {
                wm.Queue.erase(it);
                wm.LastMsg = Msg;
            }
            return true;
        }
        ++it;
    }
    // Paint, then timers, only when nothing is queued for the filter.
    if (InRange(WM_PAINT, MsgFilterMin, MsgFilterMax)) {
        for (TWinControl* w : wm.PaintPending) {
            if (Wnd != 0 && w->GetHandle() != Wnd) continue;
            Msg = TMsg{};
            Msg.hwnd = w->GetHandle();
            Msg.message = WM_PAINT;
            Msg.time = GetTickCount();
            if (remove) wm.LastMsg = Msg;
            return true;
        }
    }
    if (InRange(WM_TIMER, MsgFilterMin, MsgFilterMax)) {
        const std::uint64_t now = GetTickCount();
        TTimerEntry* best = nullptr;
        for (auto& t : wm.Timers)
            if (t.Due <= now && (Wnd == 0 || t.Wnd == Wnd) && (!best || t.Due < best->Due)) best = &t;
        if (best) {
            Msg = TMsg{};
            Msg.hwnd = best->Wnd;
            Msg.message = WM_TIMER;
            Msg.wParam = best->ID;
            Msg.time = now;
            if (remove) {
                best->Due = now + std::max(1u, best->Interval);
                wm.LastMsg = Msg;
            }
            return true;
        }
    }
    return false;
}

LRESULT DispatchMessage(const TMsg& Msg) {
    if (Msg.hwnd == 0) return 0;
    // A window freed before its message came is simply skipped.
    if (!IsWindow(Msg.hwnd)) return 0;
    LRESULT r = SendMessage(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
    if (Msg.message == WM_PAINT) {
        // A handler that did not paint must not get WM_PAINT forever.
        if (TWinControl* w = FindControl(Msg.hwnd)) {
            w->ValidateRect(nullptr);
        }
    }
    return r;
}

// ---- Timers.

WPARAM SetTimer(HWND Wnd, WPARAM IDEvent, UINT Elapse) {
    auto& wm = WindowManager();
    const std::uint64_t due = GetTickCount() + std::max(1u, Elapse);
    for (auto& t : wm.Timers) {
        if (t.Wnd == Wnd && t.ID == IDEvent) {
            t.Interval = Elapse;
            t.Due = due;
            return IDEvent;
        }
    }
    wm.Timers.push_back(TTimerEntry{Wnd, IDEvent, Elapse, due});
    return IDEvent;
}

bool KillTimer(HWND Wnd, WPARAM IDEvent) {
    auto& wm = WindowManager();
    auto it = std::find_if(wm.Timers.begin(), wm.Timers.end(),
                           [&](const TTimerEntry& t) { return t.Wnd == Wnd && t.ID == IDEvent; });
    if (it == wm.Timers.end()) return false;
    wm.Timers.erase(it);
    return true;
}

// ---- Key state.

std::int16_t GetKeyState(int VirtKey) {
    if (VirtKey < 0 || VirtKey > 255) return 0;
    std::uint8_t s = WindowManager().KeyState[std::size_t(VirtKey)];
    return std::int16_t(((s & 0x80) ? 0x8000 : 0) | (s & 1));
}

std::int16_t GetAsyncKeyState(int VirtKey) { return GetKeyState(VirtKey); }

void SetKeyDown(int VirtKey, bool Down) {
    if (VirtKey < 0 || VirtKey > 255) return;
    auto& s = WindowManager().KeyState[std::size_t(VirtKey)];
    if (Down && !(s & 0x80)) s ^= 1;  // a press toggles
    s = std::uint8_t(Down ? (s | 0x80) : (s & ~0x80));
    auto side = [&](int l, int r, int both) {
        if (VirtKey == l || VirtKey == r) SetKeyDown(both, (GetKeyState(l) < 0) || (GetKeyState(r) < 0));
    };
    side(VK_LSHIFT, VK_RSHIFT, VK_SHIFT);
    side(VK_LCONTROL, VK_RCONTROL, VK_CONTROL);
    side(VK_LMENU, VK_RMENU, VK_MENU);
}

void ClearKeyboardState() { WindowManager().KeyState.fill(0); }

// ---- TApplication.

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FHintColor(clInfoBk) {}

TApplication::~TApplication() { DestroyComponents(); }

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FMainForm) FMainForm = nullptr;
}

void TApplication::FormDestroyed(TCustomForm* f) {
    if (f == FMainForm) FMainForm = nullptr;
}

namespace {
std::vector<std::pair<const void*, TMessageHook>>& MessageHooks() {
    static std::vector<std::pair<const void*, TMessageHook>> hooks;
    return hooks;
}

bool RunMessageHooks(TMsg& msg) {
    if (MessageHooks().empty()) return false;
    // A hook may add or remove hooks while it runs.
    auto hooks = MessageHooks();
    for (auto& h : hooks)
        if (h.second(msg)) return true;
    return false;
}
}  // namespace

void AddMessageHook(const void* Key, TMessageHook Hook) {
    RemoveMessageHook(Key);
    MessageHooks().emplace_back(Key, std::move(Hook));
}

void RemoveMessageHook(const void* Key) {
    auto& hooks = MessageHooks();
    hooks.erase(std::remove_if(hooks.begin(), hooks.end(), [&](const auto& h) { return h.first == Key; }),
                hooks.end());
}

bool TApplication::ProcessMessage() {
    TMsg msg;
    if (!PeekMessage(msg, 0, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    bool handled = false;
    try {
        if (FOnMessage) FOnMessage(msg, handled);
        if (!handled) handled = RunMessageHooks(msg);
        if (!handled) HintProcessMessage(msg);
        if (!handled) {
            // Keys go to the focused control through its CN_ preprocessing first.
            if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
                if (TWinControl* c = FindControl(msg.hwnd)) {
                    if (c->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0) return true;
                }
            } else if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
                if (TWinControl* c = FindControl(msg.hwnd)) {
                    if (c->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0) return true;
                }
            }
            DispatchMessage(msg);
        }
    } catch (...) {
        HandleException(this);
    }
    return true;
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

bool TApplication::HasPendingMessages() const {
    auto& wm = WindowManager();
    if (!wm.Queue.empty() || !wm.PaintPending.empty()) return true;
    const std::uint64_t now = GetTickCount();
    for (const auto& t : wm.Timers)
        if (t.Due <= now) return true;
    return false;
}

void TApplication::Idle() {
    bool done = true;
    if (FOnIdle) FOnIdle(this, done);
    (void)done;
}

bool TApplication::WaitMessage() {
    auto& wm = WindowManager();
    if (HasPendingMessages()) return true;
    const bool realClock = dynamic_cast<const TRealClock*>(&Clock()) != nullptr;
    if (!Backend().CanReceiveInput() && (!realClock || wm.Timers.empty())) return false;
    std::uint64_t wait = 100;
    if (realClock && !wm.Timers.empty()) {
        std::uint64_t now = GetTickCount();
        std::uint64_t next = UINT64_MAX;
        for (const auto& t : wm.Timers) next = std::min(next, t.Due);
        wait = next > now ? std::min<std::uint64_t>(next - now, 100) : 0;
    }
    if (Backend().CanReceiveInput()) {
        Backend().PumpEvents(int(wait));
    } else if (wait > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    }
    return true;
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) {
        Idle();
        if (!HasPendingMessages() && !WaitMessage()) FTerminated = true;
    }
}

void TApplication::Run() {
    FTerminated = false;
    if (FMainForm && !FMainForm->GetVisible()) FMainForm->Show();
    while (!FTerminated) {
        // A running program reports an error no handler took and goes on, as users expect;
        // ProcessMessages callers (tests, modal loops) still get the exception.
        try {
            HandleMessage();
        } catch (const EAbort&) {
        } catch (const std::exception& e) {
            ShowException(e);
        }
    }
}

void TApplication::Terminate() { FTerminated = true; }

void TApplication::SetHint(const std::string& v) {
    if (v == FHint) return;
    FHint = v;
    if (FOnHint) FOnHint(this);
}

void TApplication::CancelHint() {
    CancelHintMachinery();
    SetHint("");
}

std::string TApplication::GetExeName() const {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return std::string();
    return std::string(buf, std::size_t(n));
}

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr e = std::current_exception();
    if (!e) return;
    try {
        std::rethrow_exception(e);
    } catch (const EAbort&) {
        // Silent by design.
    } catch (const std::exception& ex) {
        if (FOnException) {
            FOnException(Sender, ex);
        } else {
            throw;
        }
    }
}

void TApplication::ShowException(const std::exception& E) {
    std::fprintf(stderr, "%s: %s\n", GetTitle().empty() ? "Error" : GetTitle().c_str(), E.what());
}

void TApplication::Reset() {
    auto& wm = WindowManager();
    wm.Queue.clear();
    wm.Timers.erase(std::remove_if(wm.Timers.begin(), wm.Timers.end(),
                                   [](const TTimerEntry& t) { return FindControl(t.Wnd) != nullptr; }),
                    wm.Timers.end());
    wm.KeyState.fill(0);
    SetCaptureControl(nullptr);
    wm.Focus = 0;
    wm.LastClickWnd = 0;
    wm.LastClickTime = 0;
    wm.MouseControl = nullptr;
    wm.CursorPos = TPoint{};
    FTerminated = false;
    FHintPause = 500;
    FHintShortPause = 50;
    FHintHidePause = 2500;
    FShowHint = true;
    FHint.clear();
    FTitle.clear();
    ResetHintMachinery();
    FModalResponder = nullptr;
    FOnIdle = nullptr;
    FOnMessage = nullptr;
    FOnException = nullptr;
    FOnHint = nullptr;
}

TApplication& Application() {
    static TApplication* app = new TApplication(nullptr);  // lives as long as the process
    return *app;
}

// ---- TTimer.

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    FWindowHandle = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TTimer::~TTimer() {
    FEnabled = false;
    DeallocateHWnd(FWindowHandle);
}

void TTimer::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned v) {
    if (v == FInterval) return;
    FInterval = v;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent e) {
    FOnTimer = std::move(e);
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    KillTimer(FWindowHandle, 1);
    if (FInterval != 0 && FEnabled && FOnTimer && !IsDesigning())
        SetTimer(FWindowHandle, 1, FInterval);
}

void TTimer::WndProc(TMessage& Msg) {
    if (Msg.Msg == WM_TIMER) {
        Timer();
    }
}

void TTimer::Timer() {
    if (FOnTimer) FOnTimer(this);
}

}  // namespace vel
