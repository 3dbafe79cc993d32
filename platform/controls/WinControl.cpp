// TWinControl: handles, the child list, alignment, tab order, keys and the window functions.
#include <algorithm>

#include "platform/classes/TypInfo.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/SystemProfile.h"
#include "platform/controls/WindowBackend.h"
#include "platform/controls/internal/WindowManager.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

VEL_DEFINE_CLASS(TWinControl, TControl)
VEL_DEFINE_CLASS(TGraphicControl, TControl)
VEL_DEFINE_CLASS(TCustomControl, TWinControl)

VEL_PUBLISHED(TWinControl) {
    Prop("TabOrder", &T::GetTabOrder, &T::SetTabOrder).NoDefault();
    Prop("TabStop", &T::GetTabStop, &T::SetTabStop, false);
    Prop("ParentDoubleBuffered", &T::GetParentDoubleBuffered, &T::SetParentDoubleBuffered, true);
    Prop("DoubleBuffered", &T::GetDoubleBuffered, &T::SetDoubleBuffered)
        .Stored(&T::IsDoubleBufferedStored);
}

void TWindowManager::ControlDestroyed(TControl* c) {
    if (CaptureControl == c) CaptureControl = nullptr;
    if (MouseControl == c) MouseControl = nullptr;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    Destroying();
    if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, true);
    // ~TControl takes it out of the parent's controls, but no longer knows it is windowed.
    if (FParent) std::erase(FParent->FTabList, this);
    // Children go with their parent whoever owns them; each leaves its owner on the way.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        RemoveControl(c);
        delete c;
    }
    DestroyHandle();
}

// ---- Handles.

HWND TWinControl::GetHandle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (FParent && !IsTopLevel()) FParent->HandleNeeded();
    if (!FHandle) CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = GetText();
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(TControlStyleFlag::csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
    if (!GetEnabled()) Params.Style |= WS_DISABLED;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    Params.ExStyle = 0;
    Params.WindowClassStyle = CS_DBLCLKS;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
}

void TWinControl::CreateHandle() {
    FParams = TCreateParams{};
    CreateParams(FParams);
    CreateWnd();
    // Children get their windows with their parent.
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->FHandle) w->CreateHandle();
}

void TWinControl::CreateWnd() {
    auto& wm = WindowManager();
    FHandle = wm.NextHandle++;
    wm.Windows[FHandle] = TWindowEntry{this, nullptr};
    if (IsTopLevel()) {
        wm.TopLevels.push_back(this);
        wm.BringTopLevelToFront(this);
        UpdateSurfaceSize();
        Backend().WindowCreated(this);
    }
}

void TWinControl::DestroyWnd() {
    auto& wm = WindowManager();
    if (IsTopLevel() || std::find(wm.TopLevels.begin(), wm.TopLevels.end(), this) != wm.TopLevels.end()) {
        Backend().WindowDestroyed(this);
        wm.TopLevels.erase(std::remove(wm.TopLevels.begin(), wm.TopLevels.end(), this), wm.TopLevels.end());
    }
    wm.RemovePaintPending(this);
    if (wm.Focus == FHandle) wm.Focus = 0;
    wm.Windows.erase(FHandle);
    wm.Timers.erase(std::remove_if(wm.Timers.begin(), wm.Timers.end(),
                                   [this](const TTimerEntry& t) { return t.Wnd == FHandle; }),
                    wm.Timers.end());
    if (wm.LastClickWnd == FHandle) wm.LastClickWnd = 0;
    FHandle = 0;
    FSurface.reset();
    FInvalid.clear();
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    DestroyWnd();
}

void TWinControl::RecreateWnd() {
    if (!FHandle) {
        FParams = TCreateParams{};
        CreateParams(FParams);
        return;
    }
    const bool wasTop = IsTopLevel();
    const bool showing = wasTop && GetVisible();
    DestroyHandle();
    HandleNeeded();
    if (IsTopLevel() && showing) Backend().WindowShown(this, true);
    InvalidateRect(nullptr, true);
    if (FParent && !wasTop) {
        TRect r = GetBoundsRect();
        FParent->InvalidateRect(&r, true);
    }
}

bool TWinControl::IsTopLevel() const {
    return !FParent || FDesktopParent || (FParams.Style & WS_POPUP) != 0;
}

void TWinControl::SetDesktopParent(bool v) {
    if (v == FDesktopParent) return;
    // Keep the window where it is on the screen.
    TPoint screen = FParent && !IsTopLevel() ? FParent->ClientToScreen(Point(FLeft, FTop)) : Point(FLeft, FTop);
    const bool wasTop = FHandle && IsTopLevel();
    if (FParent && !wasTop) {
        TRect r = GetBoundsRect();
        FParent->InvalidateRect(&r, true);
    }
    FDesktopParent = v;
    if (v) {
        FLeft = screen.X;
        FTop = screen.Y;
    } else if (FParent) {
        TPoint p = FParent->ScreenToClient(screen);
        FLeft = p.X;
        FTop = p.Y;
    }
    if (!FHandle) return;
    // The handle stays: only the window's place in the window tree changes.
    auto& wm = WindowManager();
    const bool nowTop = IsTopLevel();
    if (nowTop && !wasTop) {
        wm.TopLevels.push_back(this);
        wm.BringTopLevelToFront(this);
        UpdateSurfaceSize();
        Backend().WindowCreated(this);
        if (GetVisible()) Backend().WindowShown(this, true);
        InvalidateRect(nullptr, true);
    } else if (!nowTop && wasTop) {
        Backend().WindowDestroyed(this);
        wm.TopLevels.erase(std::remove(wm.TopLevels.begin(), wm.TopLevels.end(), this), wm.TopLevels.end());
        FSurface.reset();
        InvalidateRect(nullptr, true);
    }
}

void TWinControl::UpdateSurfaceSize() {
    if (!IsTopLevel() || !FHandle) return;
    const int w = std::max(1, FWidth), h = std::max(1, FHeight);
    if (FSurface && FSurface->GetWidth() == w && FSurface->GetHeight() == h) return;
    if (!FSurface) FSurface = std::make_unique<TBitmap>(w, h);
    else FSurface->SetSize(w, h);
    FInvalid.clear();
    InvalidateRect(nullptr, true);
}

// ---- Children.

void TWinControl::InsertControl(TControl* AControl) {
    AControl->FParent = this;
    FControls.push_back(AControl);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        FTabList.push_back(w);
        if (FHandle && !w->FHandle) w->CreateHandle();
    }
    AControl->Invalidate();
    Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
    auto it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it == FControls.end()) return;
    if (TCustomForm* f = GetParentForm(this)) {
        if (auto* w = dynamic_cast<TWinControl*>(AControl)) f->DefocusControl(w, true);
    }
    if (GetCaptureControl() == AControl) SetCaptureControl(nullptr);
    if (AControl->GetVisible()) AControl->Invalidate();
    FControls.erase(it);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
        if (!IsDestroying()) w->DestroyHandle();
    }
    AControl->FParent = nullptr;
    if (!IsDestroying()) {
        Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), 0);
        if (AControl->GetAlign() != TAlign::alNone) Realign();
    }
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* c = Control; c; c = c->GetParent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!AllowWinControls && dynamic_cast<TWinControl*>(c)) continue;
        if (!c->GetVisible() || (!AllowDisabled && !c->GetEnabled())) continue;
        if (c->GetBoundsRect().Contains(Pos)) {
            if (auto* w = dynamic_cast<TWinControl*>(c); w && w->IsTopLevel()) continue;
            return c;
        }
    }
    return nullptr;
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    // As the root of a form, the non-visual components it owns (data sources, image lists)
    // come first, so the controls that refer to them read after them.
    if (Root == this) TComponent::GetChildren(Proc, Root);
    for (TControl* c : FControls)
        if (c->GetOwner() == Root) Proc(c);
}

void TWinControl::Broadcast(TMessage& Message) {
    for (TControl* c : std::vector<TControl*>(FControls)) {
        c->WndProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage m{Msg, 0, 0, 0};
    for (TControl* c : std::vector<TControl*>(FControls)) c->WndProc(m);
}

// ---- Layout.

TRect TWinControl::GetBorderInsets() const {
    TRect r;
    const unsigned style = FParams.Style, ex = FParams.ExStyle;
    int edge = 0;
    if (style & WS_BORDER) edge += GetSystemMetrics(SM_CXBORDER);
    if (ex & WS_EX_CLIENTEDGE) edge += GetSystemMetrics(SM_CXEDGE);
    if (ex & WS_EX_STATICEDGE) edge += 1;
    r = Rect(edge, edge, edge, edge);
    if (style & WS_VSCROLL) {
        if (ex & WS_EX_LEFTSCROLLBAR) r.Left += GetSystemMetrics(SM_CXVSCROLL);
        else r.Right += GetSystemMetrics(SM_CXVSCROLL);
    }
    if (style & WS_HSCROLL) r.Bottom += GetSystemMetrics(SM_CYHSCROLL);
    return r;
}

TRect TWinControl::GetClientRect() const {
    TRect ins = GetBorderInsets();
    return Rect(0, 0, std::max(0, FWidth - ins.Left - ins.Right), std::max(0, FHeight - ins.Top - ins.Bottom));
}

TPoint TWinControl::GetClientOrigin() const {
    TRect ins = GetBorderInsets();
    if (IsTopLevel()) return Point(FLeft + ins.Left, FTop + ins.Top);
    TPoint p = FParent->GetClientOrigin();
    return Point(p.X + FLeft + ins.Left, p.Y + FTop + ins.Top);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const TRect oldClient = GetClientRect();
    const TRect oldBounds = GetBoundsRect();
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (GetBoundsRect() == oldBounds) return;
    if (IsTopLevel()) {
        UpdateSurfaceSize();
        if (FHandle) Backend().WindowBoundsChanged(this);
    } else if (FHandle && (oldBounds.Width() != FWidth || oldBounds.Height() != FHeight)) {
        InvalidateRect(nullptr, true);
    }
    if (GetClientRect() != oldClient) {
        TRect c = GetClientRect();
        Perform(WM_SIZE, SIZE_RESTORED, MakeLParam(c.Width(), c.Height()));
    }
    if (oldBounds.Left != FLeft || oldBounds.Top != FTop) Perform(WM_MOVE, 0, MakeLParam(FLeft, FTop));
}

void TWinControl::WMSize(TMessage&) { Realign(); }

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
    if (--FAlignLevel == 0 && FControlState.Contains(TControlStateFlag::csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() {
    if (FAlignLevel > 0 || IsLoading() || IsDestroying()) {
        FControlState.Include(TControlStateFlag::csAlignmentNeeded);
        return;
    }
    FControlState.Exclude(TControlStateFlag::csAlignmentNeeded);
    TRect r = GetClientRect();
    AdjustClientRect(r);
    AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
    if (FControlState.Contains(TControlStateFlag::csAligning)) return;
    FControlState.Include(TControlStateFlag::csAligning);
    TScopeExit cleanup([&] { FControlState.Exclude(TControlStateFlag::csAligning); });
    DoAlign(Rect);
}

void TWinControl::DoAlign(TRect& Rect) {
    AlignOne(TAlign::alTop, Rect);
    AlignOne(TAlign::alBottom, Rect);
    AlignOne(TAlign::alLeft, Rect);
    AlignOne(TAlign::alRight, Rect);
    AlignOne(TAlign::alClient, Rect);
    const TRect c = GetClientRect();
    for (TControl* ctl : FControls)
        if (ctl->GetAlign() == TAlign::alNone && ctl->FAnchors != TAnchors{TAnchorKind::akLeft, TAnchorKind::akTop})
            ctl->AnchorToParent(c.Width(), c.Height());
}

void TWinControl::AlignOne(TAlign Kind, TRect& R) {
    std::vector<TControl*> list;
    for (TControl* c : FControls)
        if (c->GetAlign() == Kind && c->GetVisible()) list.push_back(c);
    if (list.empty()) return;
    // Placed in the order of their current positions: that is how the user arranged them.
    std::stable_sort(list.begin(), list.end(), [Kind](TControl* a, TControl* b) {
        switch (Kind) {
            case TAlign::alTop: return a->GetTop() < b->GetTop();
            case TAlign::alBottom: return a->GetTop() + a->GetHeight() > b->GetTop() + b->GetHeight();
            case TAlign::alLeft: return a->GetLeft() < b->GetLeft();
            case TAlign::alRight: return a->GetLeft() + a->GetWidth() > b->GetLeft() + b->GetWidth();
            default: return false;
        }
    });
    for (TControl* c : list) {
        const int w = std::max(0, R.Width()), h = std::max(0, R.Height());
        switch (Kind) {
            case TAlign::alTop:
                c->SetBounds(R.Left, R.Top, w, c->GetHeight());
                R.Top += c->GetHeight();
                break;
            case TAlign::alBottom:
                c->SetBounds(R.Left, R.Bottom - c->GetHeight(), w, c->GetHeight());
                R.Bottom -= c->GetHeight();
                break;
            case TAlign::alLeft:
                c->SetBounds(R.Left, R.Top, c->GetWidth(), h);
                R.Left += c->GetWidth();
                break;
            case TAlign::alRight:
                c->SetBounds(R.Right - c->GetWidth(), R.Top, c->GetWidth(), h);
                R.Right -= c->GetWidth();
                break;
            case TAlign::alClient: c->SetBounds(R.Left, R.Top, w, h); break;
            default: break;
        }
    }
}

void TWinControl::ChangeScale(int M, int D) {
    DisableAlign();
    for (TControl* c : std::vector<TControl*>(FControls)) c->ChangeScale(M, D);
    TControl::ChangeScale(M, D);
    EnableAlign();
}

void TWinControl::ParentFontChanged() {}

void TWinControl::Loaded() {
    TControl::Loaded();
    Realign();
}

// ---- Focus and tab order.

bool TWinControl::IsShowing() const {
    if (!GetVisible()) return false;
    if (IsTopLevel()) return FHandle != 0;
    return FParent && FParent->IsShowing();
}

bool TWinControl::CanFocus() const {
    TCustomForm* form = GetParentForm(this);
    if (form && !(form->GetVisible() && form->GetEnabled())) return false;
    for (const TControl* c = this; c; c = c->GetParent()) {
        if (!c->GetVisible() || !c->GetEnabled()) return false;
        if (c == form) break;
        if (auto* w = dynamic_cast<const TWinControl*>(c); w && w->IsTopLevel()) break;
    }
    return true;
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm(this);
    if (form) {
        form->FocusControl(this);
    } else if (CanFocus()) {
        vel::SetFocus(GetHandle());
    } else {
        throw EInvalidOperation("Cannot focus a disabled or invisible window.");
    }
}

bool TWinControl::Focused() const { return FHandle != 0 && WindowManager().Focus == FHandle; }

int TWinControl::GetTabOrder() const {
    if (!FParent) return -1;
    auto& l = FParent->FTabList;
    return int(std::find(l.begin(), l.end(), this) - l.begin());
}

void TWinControl::SetTabOrder(int v) {
    if (!FParent) return;
    auto& l = FParent->FTabList;
    l.erase(std::find(l.begin(), l.end(), this));
    v = std::clamp(v, 0, int(l.size()));
    l.insert(l.begin() + v, this);
}

void TWinControl::SetTabStop(bool v) {
    if (v == FTabStop) return;
    FTabStop = v;
    Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* w : FTabList) {
        if (w->IsTopLevel()) continue;
        List.push_back(w);
        w->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    const int n = int(list.size());
    int start = int(std::find(list.begin(), list.end(), CurControl) - list.begin());
    if (start == n) start = GoForward ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[std::size_t(i)];
        if ((!CheckTabStop || c->GetTabStop()) && (!CheckParent || c->GetParent() == this) && c->CanFocus())
            return c;
        if (i == start) break;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) c->SetFocus();
}

void TWinControl::SetEnabled(bool v) {
    if (v == GetEnabled()) return;
    if (!v) {
        if (TCustomForm* f = GetParentForm(this); f && f != this) f->DefocusControl(this, false);
        if (GetCaptureControl() && ContainsControl(GetCaptureControl())) SetCaptureControl(nullptr);
    }
    if (v) FParams.Style &= ~unsigned(WS_DISABLED);
    else FParams.Style |= WS_DISABLED;
    TControl::SetEnabled(v);
}

void TWinControl::Release() {
    PostMessage(GetHandle(), CM_RELEASE);
}

// ---- Messages.

void TWinControl::WndProc(TMessage& Message) {
    // Mouse messages over (or captured by) a graphic child go to that child.
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
        Message.Msg != WM_MOUSEHWHEEL) {
        if (ScrollBarMouse(Message)) return;
        TControl* target = nullptr;
        TControl* cap = GetCaptureControl();
        TWMMouse m(Message);
        if (cap) {
            if (cap != this && cap->GetParent() == this && !dynamic_cast<TWinControl*>(cap)) target = cap;
        } else {
            target = ControlAtPos(Point(m.XPos, m.YPos), false);
        }
        if (target) {
            TMessage sub = Message;
            sub.LParam = MakeLParam(m.XPos - target->GetLeft(), m.YPos - target->GetTop());
            target->WndProc(sub);
            Message.Result = sub.Result;
            return;
        }
    }
    TControl::WndProc(Message);
}

bool TWinControl::GetWantsKey(unsigned Mask) { return (Perform(WM_GETDLGCODE) & LRESULT(Mask)) != 0; }

void TWinControl::CNKeyDown(TMessage& Message) {
    TWMKey k(Message);
    Message.Result = 1;
    if (Perform(CM_CHILDKEY, k.CharCode, LPARAM(this)) != 0) return;
    unsigned mask = 0;
    switch (k.CharCode) {
        case VK_TAB: mask = DLGC_WANTTAB; break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: mask = DLGC_WANTARROWS; break;
        case VK_RETURN:
        case VK_EXECUTE:
        case VK_ESCAPE:
        case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
        default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, k.CharCode, k.KeyData) == 0 && !GetWantsKey(mask)) {
        if (TCustomForm* f = GetParentForm(this)) {
            if (f->Perform(CM_DIALOGKEY, k.CharCode, k.KeyData) != 0) return;
        }
    }
    Message.Result = 0;
}

bool TWinControl::DoKeyDown(TMessage& Message) {
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    if (!FControlStyle.Contains(TControlStyleFlag::csNoStdEvents)) {
        TCustomForm* f = GetParentForm(this);
        if (f && f != this && f->GetKeyPreview() && f->DoKeyDown(Message)) return true;
        unsigned key = unsigned(Message.WParam);
        if (key != 0) {
            KeyDown(key, shift);
            Message.WParam = key;
            if (key == 0) return true;
        }
    }
    return false;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    if (!FControlStyle.Contains(TControlStyleFlag::csNoStdEvents)) {
        TCustomForm* f = GetParentForm(this);
        if (f && f != this && f->GetKeyPreview() && f->DoKeyUp(Message)) return true;
        unsigned key = unsigned(Message.WParam);
        if (key != 0) {
            KeyUp(key, shift);
            Message.WParam = key;
            if (key == 0) return true;
        }
    }
    return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
    if (!FControlStyle.Contains(TControlStyleFlag::csNoStdEvents)) {
        TCustomForm* f = GetParentForm(this);
        if (f && f != this && f->GetKeyPreview() && f->DoKeyPress(Message)) return true;
        char32_t ch = char32_t(Message.WParam);
        if (ch != 0) {
            KeyPress(ch);
            Message.WParam = WPARAM(ch);
            if (ch == 0) return true;
        }
    }
    return false;
}

void TWinControl::KeyDown(unsigned& Key, TShiftState Shift) {
    if (FOnKeyDown) FOnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(unsigned& Key, TShiftState Shift) {
    if (FOnKeyUp) FOnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char32_t& Key) {
    if (FOnKeyPress) FOnKeyPress(this, Key);
}
void TWinControl::DoEnter() {
    if (FOnEnter) FOnEnter(this);
}
void TWinControl::DoExit() {
    if (FOnExit) FOnExit(this);
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_PAINT: WMPaint(Message); return;
        case WM_SIZE: WMSize(Message); return;
        case WM_ERASEBKGND: Message.Result = 1; return;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (!DoKeyDown(Message)) DefaultHandler(Message);
            return;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (!DoKeyUp(Message)) DefaultHandler(Message);
            return;
        case WM_CHAR:
            if (!DoKeyPress(Message)) DefaultHandler(Message);
            return;
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN: CNKeyDown(Message); return;
        case CN_CHAR:
        case CN_SYSCHAR: {
            // Alt+letter, or a plain letter the focused control does not type, goes to the
            // form as an accelerator; a taken one goes no further.
            Message.Result = 0;
            const char32_t ch = char32_t(Message.WParam);
            if (ch < 0x20 || (Message.Msg == CN_CHAR && GetWantsKey(DLGC_WANTCHARS))) return;
            if (TCustomForm* f = GetParentForm(this))
                Message.Result = f->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0;
            return;
        }
        case CM_CHILDKEY:
            Message.Result = FParent ? FParent->Perform(CM_CHILDKEY, Message.WParam, Message.LParam) : 0;
            return;
        case CM_DIALOGKEY:
            Broadcast(Message);
            return;
        case CM_DIALOGCHAR:
            // Offered to the labels and speed buttons first, then to the windowed children in
            // tab order (each to its own children); hidden and disabled ones never take it.
            for (TControl* c : std::vector<TControl*>(FControls)) {
                if (dynamic_cast<TWinControl*>(c) || !c->GetVisible() || !c->GetEnabled()) continue;
                c->WndProc(Message);
                if (Message.Result != 0) return;
            }
            for (TWinControl* w : std::vector<TWinControl*>(FTabList)) {
                if (w->IsTopLevel() || !w->GetVisible() || !w->GetEnabled()) continue;
                w->WndProc(Message);
                if (Message.Result != 0) return;
            }
            return;
        case CM_FOCUSCHANGED: Broadcast(Message); Message.Result = 0; return;
        case CM_ENTER: DoEnter(); return;
        case CM_EXIT: DoExit(); return;
        case WM_GETDLGCODE: Message.Result = 0; return;
        case WM_SETFOCUS:
            if (TCustomForm* f = GetParentForm(this)) f->SetFocusedControl(this);
            return;
        case WM_KILLFOCUS: return;
        case WM_NCHITTEST: Message.Result = HTCLIENT; return;
        case WM_SETCURSOR: {
            TPoint p = ScreenToClient(GetCursorPos());
            TCursor cur = Screen().GetCursor();
            if (cur == crDefault) {
                TControl* c = ControlAtPos(p, false);
                cur = c ? c->GetCursor() : GetCursor();
                if (cur == crDefault) cur = crArrow;
            }
            Screen().SetCurrentCursor(cur);
            Message.Result = 1;
            return;
        }
        case CM_RELEASE:
            // The last thing this window does.
            delete this;
            return;
        case CM_FONTCHANGED:
            NotifyControls(CM_PARENTFONTCHANGED);
            Invalidate();
            return;
        case CM_COLORCHANGED:
            NotifyControls(CM_PARENTCOLORCHANGED);
            Invalidate();
            return;
        case CM_CTL3DCHANGED:
            NotifyControls(CM_PARENTCTL3DCHANGED);
            Invalidate();
            return;
        case CM_BIDIMODECHANGED:
            NotifyControls(CM_PARENTBIDIMODECHANGED);
            Invalidate();
            return;
        case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); return;
        case CM_STYLECHANGED:
            Broadcast(Message);
            Message.Result = 0;
            Invalidate();
            return;
        case CM_DOUBLEBUFFEREDCHANGED: NotifyControls(CM_PARENTDOUBLEBUFFEREDCHANGED); return;
        case CM_PARENTDOUBLEBUFFEREDCHANGED:
            if (FParentDoubleBuffered && FParent) {
                FDoubleBuffered = FParent->GetDoubleBuffered();
                NotifyControls(CM_PARENTDOUBLEBUFFEREDCHANGED);
            }
            return;
        case CM_CONTROLLISTCHANGE: return;
        case CM_ENABLEDCHANGED:
            Invalidate();
            return;
        default: TControl::Dispatch(Message);
    }
}

void TWinControl::SetDoubleBuffered(bool v) {
    FParentDoubleBuffered = false;
    if (v == FDoubleBuffered) return;
    FDoubleBuffered = v;
    Perform(CM_DOUBLEBUFFEREDCHANGED);
}

void TWinControl::SetParentDoubleBuffered(bool v) {
    if (v == FParentDoubleBuffered) return;
    FParentDoubleBuffered = v;
    if (v) Perform(CM_PARENTDOUBLEBUFFEREDCHANGED);
}

// ---- TGraphicControl / TCustomControl.

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
    FCanvas = new TControlCanvas(this);
}
TGraphicControl::~TGraphicControl() = default;

TCanvas& TGraphicControl::Canvas() {
    if (!FControlState.Contains(TControlStateFlag::csCustomPaint)) FCanvas->Bind();
    return *FCanvas;
}

void TGraphicControl::Dispatch(TMessage& Message) { TControl::Dispatch(Message); }

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
    FCanvas = new TControlCanvas(this);
}
TCustomControl::~TCustomControl() = default;

TCanvas& TCustomControl::Canvas() {
    if (!FControlState.Contains(TControlStateFlag::csCustomPaint)) FCanvas->Bind();
    return *FCanvas;
}

void TCustomControl::PaintWindow(TCanvas&) { Paint(); }

// ---- Window functions.

std::vector<TWinControl*> GetTopLevelWindows() {
    auto& t = WindowManager().TopLevels;
    return std::vector<TWinControl*>(t.rbegin(), t.rend());
}

static TWinControl* ChildWindowAt(TWinControl* w, TPoint screen) {
    TPoint p = w->ScreenToClient(screen);
    if (!w->GetClientRect().Contains(p)) return w;
    const auto& list = w->Controls();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        auto* c = dynamic_cast<TWinControl*>(*it);
        if (!c || !c->GetVisible() || c->IsTopLevel()) continue;
        if (c->GetBoundsRect().Contains(p)) return ChildWindowAt(c, screen);
    }
    return w;
}

TWinControl* FindVCLWindow(TPoint ScreenPos) {
    auto& tops = WindowManager().TopLevels;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        TWinControl* w = *it;
        if (!w->GetVisible() || !w->HandleAllocated() || (w->GetExStyle() & WS_EX_TRANSPARENT)) continue;
        if (w->GetBoundsRect().Contains(ScreenPos)) return ChildWindowAt(w, ScreenPos);
    }
    return nullptr;
}

TControl* FindDragTarget(TPoint ScreenPos, bool AllowDisabled) {
    TWinControl* w = FindVCLWindow(ScreenPos);
    if (!w) return nullptr;
    if (TControl* c = w->ControlAtPos(w->ScreenToClient(ScreenPos), AllowDisabled)) return c;
    return w;
}

HWND WindowFromPoint(TPoint ScreenPos) {
    TWinControl* w = FindVCLWindow(ScreenPos);
    return w ? w->GetHandle() : 0;
}

bool InvalidateRect(HWND Wnd, const TRect* R, bool) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return false;
    w->InvalidateRect(R, false);
    return true;
}

bool ValidateRect(HWND Wnd, const TRect* R) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return false;
    w->ValidateRect(R);
    return true;
}

bool UpdateWindow(HWND Wnd) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return false;
    w->Update();
    return true;
}

bool GetClientRect(HWND Wnd, TRect& R) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return false;
    R = w->GetClientRect();
    return true;
}

bool GetWindowRect(HWND Wnd, TRect& R) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return false;
    TPoint o = w->IsTopLevel() || !w->GetParent() ? Point(w->GetLeft(), w->GetTop())
                                                  : w->GetParent()->ClientToScreen(Point(w->GetLeft(), w->GetTop()));
    R = Bounds(o.X, o.Y, w->GetWidth(), w->GetHeight());
    return true;
}

bool ClientToScreen(HWND Wnd, TPoint& P) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return false;
    P = w->ClientToScreen(P);
    return true;
}

bool ScreenToClient(HWND Wnd, TPoint& P) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return false;
    P = w->ScreenToClient(P);
    return true;
}

bool IsWindowVisible(HWND Wnd) {
    TWinControl* w = FindControl(Wnd);
    return w && w->IsShowing();
}

bool IsWindowEnabled(HWND Wnd) {
    TWinControl* w = FindControl(Wnd);
    return w && w->GetEnabled();
}

bool EnableWindow(HWND Wnd, bool Enable) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return false;
    const bool was = !w->GetEnabled();
    w->SetEnabled(Enable);
    return was;
}

HWND SetParent(HWND Child, HWND NewParent) {
    TWinControl* c = FindControl(Child);
    if (!c) return 0;
    HWND old = c->GetParent() && !c->IsTopLevel() ? c->GetParent()->GetHandle() : 0;
    if (NewParent == 0) {
        c->SetDesktopParent(true);
    } else if (TWinControl* p = FindControl(NewParent)) {
        c->SetDesktopParent(false);
        if (c->GetParent() != p) c->SetParent(p);
    }
    return old;
}

HWND GetParent(HWND Wnd) {
    TWinControl* w = FindControl(Wnd);
    if (!w || w->IsTopLevel() || !w->GetParent()) return 0;
    return w->GetParent()->GetHandle();
}

TPoint GetCursorPos() { return WindowManager().CursorPos; }
void SetCursorPos(TPoint P) { WindowManager().CursorPos = P; }

HWND SetFocus(HWND Wnd) {
    auto& wm = WindowManager();
    HWND old = wm.Focus;
    if (Wnd == old) return old;
    if (Wnd != 0 && !IsWindow(Wnd)) return old;
    wm.Focus = Wnd;
    if (old && IsWindow(old)) SendMessage(old, WM_KILLFOCUS, WPARAM(Wnd));
    if (Wnd && wm.Focus == Wnd) SendMessage(Wnd, WM_SETFOCUS, WPARAM(old));
    return old;
}

}  // namespace vel
