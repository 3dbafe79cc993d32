#include "platform/controls/Input.h"

#include <cstdlib>

#include "platform/controls/Forms.h"
#include "platform/controls/SystemProfile.h"
#include "platform/controls/internal/WindowManager.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {

void QueueRaw(TRawKind kind, UINT msg, WPARAM w, LPARAM l, TPoint pt, TShiftState mods) {
    auto& wm = WindowManager();
    TQueuedMessage q;
    q.Raw = kind;
    q.Msg.message = msg;
    q.Msg.wParam = w;
    q.Msg.lParam = l;
    q.Msg.time = GetTickCount();
    q.Msg.ptX = pt.X;
    q.Msg.ptY = pt.Y;
    q.Modifiers = mods;
    wm.Queue.push_back(q);
}

void ApplyModifiers(TShiftState s) {
    SetKeyDown(VK_SHIFT, s.Contains(TShiftStateFlag::ssShift));
    SetKeyDown(VK_CONTROL, s.Contains(TShiftStateFlag::ssCtrl));
    SetKeyDown(VK_MENU, s.Contains(TShiftStateFlag::ssAlt));
}

UINT ButtonDownMsg(TMouseButton b) {
    return b == TMouseButton::mbLeft ? WM_LBUTTONDOWN : b == TMouseButton::mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
}
UINT ButtonUpMsg(TMouseButton b) {
    return b == TMouseButton::mbLeft ? WM_LBUTTONUP : b == TMouseButton::mbRight ? WM_RBUTTONUP : WM_MBUTTONUP;
}
int ButtonVk(UINT msg) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP: return VK_LBUTTON;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP: return VK_RBUTTON;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP: return VK_MBUTTON;
        default: return 0;
    }
}

bool IsPopupWindow(TWinControl* w) { return (w->GetStyle() & WS_POPUP) && !dynamic_cast<TCustomForm*>(w); }

TWinControl* TopLevelOf(TControl* c) {
    for (; c; c = c->GetParent()) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->IsTopLevel()) return w;
    }
    return nullptr;
}

// A window that is disabled, or inside a disabled one, takes no input.
bool AcceptsInput(TWinControl* w) {
    for (TControl* c = w; c; c = c->GetParent()) {
        if (!c->GetEnabled()) return false;
        auto* x = dynamic_cast<TWinControl*>(c);
        if (x && x->IsTopLevel()) break;
    }
    return true;
}

void TrackMouseControl(TControl* now) {
    auto& wm = WindowManager();
    if (wm.MouseControl == now) return;
    TControl* old = wm.MouseControl;
    wm.MouseControl = now;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (now && wm.MouseControl == now) now->Perform(CM_MOUSEENTER);
    // Off every window the pointer's moves reach nobody: the hint ends here.
    if (!now) Application().CancelHint();
}

// A press anywhere: popups that do not contain it close, forms get activated.
void PressOutsideAndActivate(TWinControl* hit) {
    TControl* sender = hit;
    if (hit) {
        if (TControl* g = hit->ControlAtPos(hit->ScreenToClient(GetCursorPos()), true)) sender = g;
    }
    for (TWinControl* top : GetTopLevelWindows()) {
        if (!top->GetVisible() || !IsPopupWindow(top)) continue;
        if (hit && top->ContainsControl(hit)) continue;
        top->Perform(CM_CANCELMODE, 0, LPARAM(sender));
    }
    TWinControl* top = hit ? TopLevelOf(hit) : nullptr;
    if (!top) {
        // The desktop: the application loses the focus.
        if (TControl* cap = GetCaptureControl()) cap->Perform(WM_CANCELMODE);
        if (TCustomForm* f = Screen().GetActiveForm()) f->Deactivate(false);
        SetFocus(HWND(0));
        return;
    }
    if (auto* form = dynamic_cast<TCustomForm*>(top); form && !form->GetActive() && form->GetEnabled())
        form->Activate();
}

}  // namespace

bool ResolveRawInput(TQueuedMessage& Q) {
    auto& wm = WindowManager();
    TMsg& m = Q.Msg;
    Q.Raw = TRawKind::None;
    ApplyModifiers(Q.Modifiers);
    if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) {
        if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
            const bool wasDown = GetKeyState(int(m.wParam)) < 0;
            if (wasDown) m.lParam |= LPARAM(1) << 30;
            SetKeyDown(int(m.wParam), true);
        } else if (m.message == WM_KEYUP || m.message == WM_SYSKEYUP) {
            SetKeyDown(int(m.wParam), false);
            m.lParam |= LPARAM(0xC0000000u);
        }
        HWND target = IsWindow(wm.Focus) ? wm.Focus : 0;
        if (!target)
            if (TCustomForm* f = Screen().GetActiveForm(); f && f->HandleAllocated()) target = f->GetHandle();
        if (!target) return false;
        TWinControl* w = FindControl(target);
        if (w && !AcceptsInput(w)) return false;
        m.hwnd = target;
        return true;
    }
    // Mouse.
    const TPoint screen = Point(m.ptX, m.ptY);
    wm.CursorPos = screen;
    if (int vk = ButtonVk(m.message)) SetKeyDown(vk, m.message == WM_LBUTTONDOWN || m.message == WM_RBUTTONDOWN ||
                                                         m.message == WM_MBUTTONDOWN);
    unsigned keys = ShiftStateToKeys(Q.Modifiers) & ~unsigned(MK_ALT);
    if (GetKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
    if (GetKeyState(VK_MBUTTON) < 0) keys |= MK_MBUTTON;
    TWinControl* hit = FindVCLWindow(screen);
    const bool press = m.message == WM_LBUTTONDOWN || m.message == WM_RBUTTONDOWN || m.message == WM_MBUTTONDOWN;
    if (press) PressOutsideAndActivate(hit);

    if (m.message == WM_MOUSEWHEEL || m.message == WM_MOUSEHWHEEL) {
        // The wheel goes to the focused window.
        TWinControl* target = FindControl(wm.Focus);
        if (!target) target = hit;
        if (!target || !AcceptsInput(target)) return false;
        m.hwnd = target->GetHandle();
        m.wParam = MakeWParam(int(keys), int(std::int16_t(std::uint16_t(m.wParam >> 16))));
        m.lParam = MakeLParam(screen.X, screen.Y);
        return true;
    }

    TWinControl* target = nullptr;
    if (TControl* cap = GetCaptureControl()) {
        target = dynamic_cast<TWinControl*>(cap);
        if (!target) target = cap->GetParent();
    } else {
        target = hit;
        if (target && !AcceptsInput(target)) target = nullptr;
    }
    // Mouse enter / leave follow the control under the pointer, capture or not.
    TControl* under = hit;
    if (hit) {
        if (TControl* g = hit->ControlAtPos(hit->ScreenToClient(screen), false)) under = g;
    }
    TrackMouseControl(under);
    if (!target || !target->HandleAllocated()) return false;
    const TPoint client = target->ScreenToClient(screen);
    m.hwnd = target->GetHandle();
    m.wParam = keys;
    m.lParam = MakeLParam(client.X, client.Y);
    if (press) {
        const std::uint64_t dt = m.time - wm.LastClickTime;
        const int cx = GetSystemMetrics(SM_CXDOUBLECLK), cy = GetSystemMetrics(SM_CYDOUBLECLK);
        const bool near = std::abs(screen.X - wm.LastClickPos.X) <= cx / 2 &&
                          std::abs(screen.Y - wm.LastClickPos.Y) <= cy / 2;
        if (!wm.LastClickWasDouble && wm.LastClickWnd == m.hwnd && wm.LastClickMsg == m.message &&
            dt <= GetDoubleClickTime() && near && (target->GetWindowClassStyle() & CS_DBLCLKS)) {
            m.message += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
            wm.LastClickWasDouble = true;
        } else {
            wm.LastClickWasDouble = false;
        }
        wm.LastClickWnd = m.hwnd;
        wm.LastClickMsg = press ? (m.message >= WM_LBUTTONDBLCLK && (m.message - WM_LBUTTONDOWN) % 3 == 2
                                       ? m.message - (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN)
                                       : m.message)
                                : m.message;
        wm.LastClickTime = m.time;
        wm.LastClickPos = screen;
    }
    if (m.message == WM_MOUSEMOVE) SendMessage(m.hwnd, WM_SETCURSOR, WPARAM(m.hwnd), MakeLParam(HTCLIENT, int(WM_MOUSEMOVE)));
    return true;
}

void InjectMouseMove(TPoint ScreenPos, TShiftState Shift) {
    QueueRaw(TRawKind::Mouse, WM_MOUSEMOVE, 0, 0, ScreenPos, Shift);
}

void InjectMouseDown(TMouseButton Button, TPoint ScreenPos, TShiftState Shift) {
    QueueRaw(TRawKind::Mouse, ButtonDownMsg(Button), 0, 0, ScreenPos, Shift);
}

void InjectMouseUp(TMouseButton Button, TPoint ScreenPos, TShiftState Shift) {
    QueueRaw(TRawKind::Mouse, ButtonUpMsg(Button), 0, 0, ScreenPos, Shift);
}

void InjectClick(TPoint ScreenPos, TMouseButton Button, TShiftState Shift) {
    InjectMouseMove(ScreenPos, Shift);
    InjectMouseDown(Button, ScreenPos, Shift);
    InjectMouseUp(Button, ScreenPos, Shift);
}

void InjectMouseWheel(int Delta, TPoint ScreenPos, TShiftState Shift) {
    QueueRaw(TRawKind::Mouse, WM_MOUSEWHEEL, MakeWParam(0, Delta), 0, ScreenPos, Shift);
}

void InjectKeyDown(unsigned VirtKey, TShiftState Shift) {
    const bool alt = Shift.Contains(TShiftStateFlag::ssAlt);
    QueueRaw(TRawKind::Key, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, VirtKey, alt ? AltMask | 1 : 1, GetCursorPos(), Shift);
}

void InjectKeyUp(unsigned VirtKey, TShiftState Shift) {
    const bool alt = Shift.Contains(TShiftStateFlag::ssAlt);
    QueueRaw(TRawKind::Key, alt ? WM_SYSKEYUP : WM_KEYUP, VirtKey, alt ? AltMask | 1 : 1, GetCursorPos(), Shift);
}

void InjectChar(char32_t Ch, TShiftState Shift) {
    const bool alt = Shift.Contains(TShiftStateFlag::ssAlt);
    QueueRaw(TRawKind::Key, alt ? WM_SYSCHAR : WM_CHAR, WPARAM(Ch), alt ? AltMask | 1 : 1,
             GetCursorPos(), Shift);
}

void InjectKey(unsigned VirtKey, TShiftState Shift) {
    InjectKeyDown(VirtKey, Shift);
    if (char32_t ch = VirtualKeyToChar(VirtKey, Shift)) InjectChar(ch, Shift);
    InjectKeyUp(VirtKey, Shift);
}

void InjectText(std::string_view Utf8) {
    std::size_t i = 0;
    while (i < Utf8.size()) {
        char32_t cp = Utf8Decode(Utf8, i);
        InjectChar(cp);
    }
}

char32_t VirtualKeyToChar(unsigned VirtKey, TShiftState Shift) {
    const bool shift = Shift.Contains(TShiftStateFlag::ssShift);
    const bool ctrl = Shift.Contains(TShiftStateFlag::ssCtrl);
    if (VirtKey >= 'A' && VirtKey <= 'Z') {
        if (ctrl) return char32_t(VirtKey - 'A' + 1);
        return char32_t(shift ? VirtKey : VirtKey + 32);
    }
    if (ctrl) return 0;
    if (VirtKey >= '0' && VirtKey <= '9') {
        static const char shifted[] = ")!@#$%^&*(";
        return char32_t(shift ? shifted[VirtKey - '0'] : char(VirtKey));
    }
    if (VirtKey >= VK_NUMPAD0 && VirtKey <= VK_NUMPAD0 + 9) return char32_t('0' + (VirtKey - VK_NUMPAD0));
    switch (VirtKey) {
        case VK_SPACE: return U' ';
        case VK_RETURN: return U'\r';
        case VK_ESCAPE: return 0x1B;
        case VK_BACK: return 0x08;
        case VK_TAB: return U'\t';
        case VK_ADD: return U'+';
        case VK_SUBTRACT: return U'-';
        case VK_MULTIPLY: return U'*';
        case VK_DIVIDE: return U'/';
        case VK_DECIMAL: return U'.';
        default: return 0;
    }
}

TPoint ScreenPointOf(const TControl* Control) {
    TRect r = Control->GetClientRect();
    return ScreenPointOf(Control, Point(r.Width() / 2, r.Height() / 2));
}

TPoint ScreenPointOf(const TControl* Control, TPoint ClientPos) { return Control->ClientToScreen(ClientPos); }

}  // namespace vel
