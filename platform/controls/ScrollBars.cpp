// The window scroll bars: their state, their look in the non-client area, and the mouse on
// them turned into WM_HSCROLL / WM_VSCROLL.
#include <algorithm>

#include "platform/controls/Application.h"
#include "platform/controls/Controls.h"
#include "platform/controls/SystemProfile.h"

namespace vel {

namespace {

int EdgeWidth(unsigned style, unsigned ex) {
    int e = 0;
    if (style & WS_BORDER) e += GetSystemMetrics(SM_CXBORDER);
    if (ex & WS_EX_CLIENTEDGE) e += GetSystemMetrics(SM_CXEDGE);
    if (ex & WS_EX_STATICEDGE) e += 1;
    return e;
}

// A held arrow or page area repeats, first after a delay, then at an interval, while the
// pointer stays on that part. One at a time: there is one mouse.
constexpr UINT kScrollRepeatDelay = 400;
constexpr UINT kScrollRepeatInterval = 100;
struct TScrollRepeat {
    HWND Wnd = 0;    // the window whose bar is held
    HWND Timer = 0;  // message-only window that gets the WM_TIMER
    int Bar = -1;
    int Part = -1;
};
TScrollRepeat& ScrollRepeat() {
    static TScrollRepeat r;
    return r;
}

void SendScroll(TWinControl* w, int bar, int code, int pos) {
    w->Perform(bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MakeWParam(code, pos), 0);
}

void StopScrollRepeat() {
    TScrollRepeat& r = ScrollRepeat();
    if (r.Timer && IsWindow(r.Timer)) KillTimer(r.Timer, 1);
    r.Wnd = 0;
    r.Bar = r.Part = -1;
}

void ScrollRepeatTick() {
    TScrollRepeat& r = ScrollRepeat();
    TWinControl* w = FindControl(r.Wnd);
    if (!w || GetCaptureControl() != w) {
        // Freed, or the capture went elsewhere (cancel mode): the press is over.
        const int bar = r.Bar;
        StopScrollRepeat();
        if (w) SendScroll(w, bar, SB_ENDSCROLL, 0);
        return;
    }
    SetTimer(r.Timer, 1, kScrollRepeatInterval);
    const TRect ins = w->GetBorderInsets();
    TPoint p = w->ScreenToClient(GetCursorPos());
    p = Point(p.X + ins.Left, p.Y + ins.Top);
    if (w->ScrollBarHitTest(r.Bar, p) == r.Part) SendScroll(w, r.Bar, r.Part, 0);
}

void StartScrollRepeat(TWinControl* w, int bar, int part) {
    TScrollRepeat& r = ScrollRepeat();
    if (!r.Timer || !IsWindow(r.Timer)) r.Timer = AllocateHWnd([](TMessage& m) {
        if (m.Msg == WM_TIMER) ScrollRepeatTick();
    });
    r.Wnd = w->GetHandle();
    r.Bar = bar;
    r.Part = part;
    SetTimer(r.Timer, 1, kScrollRepeatDelay);
}

int MaxPos(const TScrollInfo& s) { return std::max(s.nMin, s.nMax - std::max(0, int(s.nPage) - 1)); }

void RaisedBox(TCanvas& c, const TRect& r) {
    c.FillRectColor(r, clBtnFace);
    c.FillRectColor(Rect(r.Left, r.Top, r.Right - 1, r.Top + 1), cl3DLight);
    c.FillRectColor(Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1), cl3DLight);
    c.FillRectColor(Rect(r.Left + 1, r.Top + 1, r.Right - 2, r.Top + 2), clBtnHighlight);
    c.FillRectColor(Rect(r.Left + 1, r.Top + 1, r.Left + 2, r.Bottom - 2), clBtnHighlight);
    c.FillRectColor(Rect(r.Left + 1, r.Bottom - 2, r.Right - 1, r.Bottom - 1), clBtnShadow);
    c.FillRectColor(Rect(r.Right - 2, r.Top + 1, r.Right - 1, r.Bottom - 1), clBtnShadow);
    c.FillRectColor(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), cl3DDkShadow);
    c.FillRectColor(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), cl3DDkShadow);
}

// A small solid triangle pointing in direction d (0 up, 1 down, 2 left, 3 right).
void Arrow(TCanvas& c, const TRect& r, int d, TColor color) {
    const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    for (int i = 0; i < 4; ++i) {
        switch (d) {
            case 0: c.FillRectColor(Rect(cx - i, cy - 2 + i, cx + i + 1, cy - 1 + i), color); break;
            case 1: c.FillRectColor(Rect(cx - 3 + i, cy - 1 + i, cx + 4 - i, cy + i), color); break;
            case 2: c.FillRectColor(Rect(cx - 2 + i, cy - i, cx - 1 + i, cy + i + 1), color); break;
            default: c.FillRectColor(Rect(cx - 1 + i, cy - 3 + i, cx + i, cy + 4 - i), color); break;
        }
    }
}

}  // namespace

TRect TWinControl::ScrollBarRect(int Bar) const {
    const unsigned style = FParams.Style, ex = FParams.ExStyle;
    const int e = EdgeWidth(style, ex);
    const int vw = GetSystemMetrics(SM_CXVSCROLL), hh = GetSystemMetrics(SM_CYHSCROLL);
    const bool v = style & WS_VSCROLL, h = style & WS_HSCROLL;
    if (Bar == SB_VERT && v) {
        const int bottom = FHeight - e - (h ? hh : 0);
        if (ex & WS_EX_LEFTSCROLLBAR) return Rect(e, e, e + vw, bottom);
        return Rect(FWidth - e - vw, e, FWidth - e, bottom);
    }
    if (Bar == SB_HORZ && h) {
        int left = e, right = FWidth - e;
        if (v) {
            if (ex & WS_EX_LEFTSCROLLBAR) left += vw;
            else right -= vw;
        }
        return Rect(left, FHeight - e - hh, right, FHeight - e);
    }
    return TRect{};
}

TRect TWinControl::ThumbRect(int Bar) const {
    TRect r = ScrollBarRect(Bar);
    if (r.IsEmpty() || !GetEnabled()) return TRect{};
    const TScrollInfo& s = FScroll[Bar];
    const bool vert = Bar == SB_VERT;
    const int box = vert ? r.Width() : r.Height();
    const int start = (vert ? r.Top : r.Left) + box;
    const int len = (vert ? r.Height() : r.Width()) - 2 * box;
    const int maxPos = MaxPos(s);
    if (len <= 8 || maxPos <= s.nMin) return TRect{};
    const long long range = (long long)s.nMax - s.nMin + 1;
    int thumb = s.nPage ? int(std::max<long long>(8, (long long)len * s.nPage / range)) : box;
    thumb = std::min(thumb, len);
    const int pos = FScrollDragBar == Bar ? s.nTrackPos : s.nPos;
    const int at = start + int((long long)(len - thumb) * (pos - s.nMin) / (maxPos - s.nMin));
    return vert ? Rect(r.Left, at, r.Right, at + thumb) : Rect(at, r.Top, at + thumb, r.Bottom);
}

int TWinControl::ScrollBarHitTest(int Bar, TPoint P) const {
    TRect r = ScrollBarRect(Bar);
    if (r.IsEmpty() || !r.Contains(P)) return -1;
    const bool vert = Bar == SB_VERT;
    const int box = vert ? r.Width() : r.Height();
    const int v = vert ? P.Y : P.X;
    const int lo = vert ? r.Top : r.Left, hi = vert ? r.Bottom : r.Right;
    if (v < lo + box) return SB_LINEUP;
    if (v >= hi - box) return SB_LINEDOWN;
    TRect t = ThumbRect(Bar);
    if (t.IsEmpty()) return -1;
    if (t.Contains(P)) return SB_THUMBTRACK;
    return v < (vert ? t.Top : t.Left) ? SB_PAGEUP : SB_PAGEDOWN;
}

int TWinControl::SetScrollInfo(int Bar, const TScrollInfo& Info, bool Redraw) {
    if (Bar != SB_HORZ && Bar != SB_VERT) return 0;
    TScrollInfo& s = FScroll[Bar];
    const TScrollInfo old = s;
    if (Info.fMask & SIF_RANGE) {
        s.nMin = Info.nMin;
        s.nMax = std::max(Info.nMin, Info.nMax);
    }
    if (Info.fMask & SIF_PAGE) s.nPage = std::min<unsigned>(Info.nPage, unsigned(s.nMax - s.nMin + 1));
    if (Info.fMask & SIF_POS) s.nPos = Info.nPos;
    s.nPos = std::clamp(s.nPos, s.nMin, MaxPos(s));
    if (FScrollDragBar != Bar) s.nTrackPos = s.nPos;
    const bool changed = old.nMin != s.nMin || old.nMax != s.nMax || old.nPage != s.nPage || old.nPos != s.nPos;
    if (Redraw && changed) InvalidateNonClient();
    return s.nPos;
}

TScrollInfo TWinControl::GetScrollInfo(int Bar) const {
    if (Bar != SB_HORZ && Bar != SB_VERT) return TScrollInfo{};
    TScrollInfo s = FScroll[Bar];
    s.fMask = SIF_ALL;
    return s;
}

void TWinControl::ShowScrollBar(int Bar, bool Show) {
    unsigned bits = 0;
    if (Bar == SB_HORZ || Bar == SB_BOTH) bits |= WS_HSCROLL;
    if (Bar == SB_VERT || Bar == SB_BOTH) bits |= WS_VSCROLL;
    const unsigned style = Show ? (FParams.Style | bits) : (FParams.Style & ~bits);
    if (style == FParams.Style) return;
    const TRect oldClient = GetClientRect();
    FParams.Style = style;
    InvalidateNonClient();
    InvalidateRect(nullptr, false);
    TRect c = GetClientRect();
    if (c != oldClient) Perform(WM_SIZE, SIZE_RESTORED, MakeLParam(c.Width(), c.Height()));
}

void TWinControl::InvalidateNonClient() {
    if (!FHandle) return;
    if (IsTopLevel() || !FParent) {
        InvalidateRect(nullptr, false);
        return;
    }
    TRect r = GetBoundsRect();
    FParent->AddInvalid(r);
}

void TWinControl::PaintScrollBar(TCanvas& Canvas, int Bar) {
    TRect r = ScrollBarRect(Bar);
    if (r.IsEmpty()) return;
    const bool vert = Bar == SB_VERT;
    const int box = vert ? r.Width() : r.Height();
    Canvas.FillRectColor(r, clScrollBar);
    TRect a = vert ? Rect(r.Left, r.Top, r.Right, r.Top + box) : Rect(r.Left, r.Top, r.Left + box, r.Bottom);
    TRect b = vert ? Rect(r.Left, r.Bottom - box, r.Right, r.Bottom) : Rect(r.Right - box, r.Top, r.Right, r.Bottom);
    const bool active = !ThumbRect(Bar).IsEmpty();
    const TColor arrow = active ? clBtnText : clGrayText;
    RaisedBox(Canvas, a);
    Arrow(Canvas, a, vert ? 0 : 2, arrow);
    RaisedBox(Canvas, b);
    Arrow(Canvas, b, vert ? 1 : 3, arrow);
    if (active) RaisedBox(Canvas, ThumbRect(Bar));
}

bool TWinControl::ScrollBarMouse(TMessage& Message) {
    if (FHandle && ScrollRepeat().Wnd == FHandle && GetCaptureControl() != this) {
        StopScrollRepeat();  // the capture was taken away: that press is over
    } else if (FHandle && ScrollRepeat().Wnd == FHandle) {
        // A held arrow or page area: the bar keeps the mouse until the button goes up.
        if (Message.Msg == WM_LBUTTONUP) {
            const int bar = ScrollRepeat().Bar;
            StopScrollRepeat();
            if (GetCaptureControl() == this) SetCaptureControl(nullptr);
            SendScroll(this, bar, SB_ENDSCROLL, 0);
        }
        return true;
    }
    if (!(FParams.Style & (WS_HSCROLL | WS_VSCROLL)) && FScrollDragBar < 0) return false;
    TWMMouse m(Message);
    const TRect ins = GetBorderInsets();
    const TPoint p = Point(m.XPos + ins.Left, m.YPos + ins.Top);  // window coordinates
    auto send = [this](int bar, int code, int pos) {
        Perform(bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MakeWParam(code, pos), 0);
    };
    if (FScrollDragBar >= 0) {
        const int bar = FScrollDragBar;
        TScrollInfo& s = FScroll[bar];
        if (Message.Msg == WM_MOUSEMOVE) {
            TRect r = ScrollBarRect(bar);
            TRect t = ThumbRect(bar);
            const bool vert = bar == SB_VERT;
            const int box = vert ? r.Width() : r.Height();
            const int start = (vert ? r.Top : r.Left) + box;
            const int len = (vert ? r.Height() : r.Width()) - 2 * box - (vert ? t.Height() : t.Width());
            const int at = (vert ? p.Y : p.X) - FScrollDragOffset - start;
            const int maxPos = MaxPos(s);
            int pos = len > 0 ? s.nMin + int((long long)at * (maxPos - s.nMin) / len) : s.nMin;
            pos = std::clamp(pos, s.nMin, maxPos);
            if (pos != s.nTrackPos) {
                s.nTrackPos = pos;
                send(bar, SB_THUMBTRACK, pos);
            }
        } else if (Message.Msg == WM_LBUTTONUP) {
            FScrollDragBar = -1;
            if (GetCaptureControl() == this) SetCaptureControl(nullptr);
            send(bar, SB_THUMBPOSITION, s.nTrackPos);
            send(bar, SB_ENDSCROLL, 0);
            InvalidateNonClient();
        }
        return true;
    }
    if (GetClientRect().Contains(Point(m.XPos, m.YPos))) return false;
    if (GetCaptureControl() == this && Message.Msg != WM_LBUTTONDOWN) return false;
    for (int bar : {SB_VERT, SB_HORZ}) {
        const int part = ScrollBarHitTest(bar, p);
        if (part < 0) continue;
        if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
            if (part == SB_THUMBTRACK) {
                TRect t = ThumbRect(bar);
                FScrollDragBar = bar;
                FScrollDragOffset = bar == SB_VERT ? p.Y - t.Top : p.X - t.Left;
                FScroll[bar].nTrackPos = FScroll[bar].nPos;
                SetCaptureControl(this);
            } else {
                send(bar, part, 0);
                StartScrollRepeat(this, bar, part);
                SetCaptureControl(this);
            }
        }
        return true;
    }
    return false;
}

int SetScrollInfo(HWND Wnd, int Bar, const TScrollInfo& Info, bool Redraw) {
    TWinControl* w = FindControl(Wnd);
    return w ? w->SetScrollInfo(Bar, Info, Redraw) : 0;
}

bool GetScrollInfo(HWND Wnd, int Bar, TScrollInfo& Info) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return false;
    const unsigned mask = Info.fMask;
    TScrollInfo s = w->GetScrollInfo(Bar);
    if (mask & SIF_RANGE) {
        Info.nMin = s.nMin;
        Info.nMax = s.nMax;
    }
    if (mask & SIF_PAGE) Info.nPage = s.nPage;
    if (mask & SIF_POS) Info.nPos = s.nPos;
    if (mask & SIF_TRACKPOS) Info.nTrackPos = s.nTrackPos;
    return true;
}

int SetScrollPos(HWND Wnd, int Bar, int Pos, bool Redraw) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return 0;
    const int old = w->GetScrollInfo(Bar).nPos;
    TScrollInfo s;
    s.fMask = SIF_POS;
    s.nPos = Pos;
    w->SetScrollInfo(Bar, s, Redraw);
    return old;
}

int GetScrollPos(HWND Wnd, int Bar) {
    TWinControl* w = FindControl(Wnd);
    return w ? w->GetScrollInfo(Bar).nPos : 0;
}

bool SetScrollRange(HWND Wnd, int Bar, int Min, int Max, bool Redraw) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return false;
    TScrollInfo s;
    s.fMask = SIF_RANGE;
    s.nMin = Min;
    s.nMax = Max;
    w->SetScrollInfo(Bar, s, Redraw);
    return true;
}

bool ShowScrollBar(HWND Wnd, int Bar, bool Show) {
    TWinControl* w = FindControl(Wnd);
    if (!w) return false;
    w->ShowScrollBar(Bar, Show);
    return true;
}

}  // namespace vel
