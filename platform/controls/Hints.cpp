#include "platform/controls/Hints.h"

#include <algorithm>

#include "platform/controls/Application.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CREATABLE_CLASS(THintWindow, TCustomControl)
VEL_DEFINE_CREATABLE_CLASS(TCustomHint, TComponent)
VEL_DEFINE_CREATABLE_CLASS(TBalloonHint, TCustomHint)

const TClassInfo* HintWindowClass = THintWindow::StaticClass();

std::string GetShortHint(const std::string& Hint) {
    const std::size_t bar = Hint.find('|');
    return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

std::string GetLongHint(const std::string& Hint) {
    const std::size_t bar = Hint.find('|');
    return bar == std::string::npos ? Hint : Hint.substr(bar + 1);
}

namespace {
// Text is measured on a canvas of its own: the window may have no surface yet.
TCanvas& MeasureCanvas() {
    static TBitmap* bmp = [] {
        auto* b = new TBitmap();
        b->SetSize(1, 1);
        return b;
    }();
    return bmp->Canvas();
}

// Keeps a window of the given size on the desktop.
TRect KeepOnDesktop(TRect r) {
    const TRect desk = Screen().GetDesktopRect();
    if (r.Right > desk.Right) r.Offset(desk.Right - r.Right, 0);
    if (r.Bottom > desk.Bottom) r.Offset(0, desk.Bottom - r.Bottom);
    if (r.Left < desk.Left) r.Offset(desk.Left - r.Left, 0);
    if (r.Top < desk.Top) r.Offset(0, desk.Top - r.Top);
    return r;
}

void ShowTopmost(TWinControl* w, const TRect& r) {
    w->HandleNeeded();
    w->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    w->SetVisible(true);
    w->BringToFront();
    w->Invalidate();
}
}  // namespace

// ---- THintWindow.

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisibleSilently(false);
    SetColor(Application().GetHintColor());
    FControlStyle.Exclude(TControlStyleFlag::csCaptureMouse);
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_TRANSPARENT;
    Params.WindowClassStyle |= CS_SAVEBITS | CS_DROPSHADOW;
}

void THintWindow::Dispatch(TMessage& Message) {
    // Presses elsewhere are the machinery's business, not a reason to close by itself.
    if (Message.Msg == CM_CANCELMODE) return;
    TCustomControl::Dispatch(Message);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void*) {
    TCanvas& c = MeasureCanvas();
    c.Font().Assign(&Screen().HintFont());
    TRect r = Rect(0, 0, std::max(1, MaxWidth), 0);
    c.DrawText(AHint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    r.Right += 6;
    r.Bottom += 4;
    return r;
}

void THintWindow::ActivateHint(TRect Rect, const std::string& AHint) {
    ActivateHintData(Rect, AHint, nullptr);
}

void THintWindow::ActivateHintData(TRect Rect, const std::string& AHint, void*) {
    SetCaption(AHint);
    ShowTopmost(this, KeepOnDesktop(Rect));
}

void THintWindow::ReleaseHandle() {
    if (GetVisible()) SetVisible(false);
}

void THintWindow::Paint() {
    TCanvas& c = Canvas();
    TRect r = GetClientRect();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(GetColor());
    c.FillRect(r);
    c.Font().Assign(&Screen().HintFont());
    c.Brush().SetStyle(TBrushStyle::bsClear);
    r.Left += 2;
    r.Top += 2;
    r.Right -= 2;
    c.DrawText(GetCaption(), r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
}

// ---- The machinery.

namespace {

enum : WPARAM { ShowTimer = 1, HideTimer = 2, ReshowTimer = 3 };

class THintMachine : public TComponent {
public:
    THintMachine() : TComponent(nullptr) {}

    void MouseMoved(TPoint Pos) {
        if (!Application().GetShowHint()) return;
        TControl* ctl = HintControlAt(Pos);
        if (!ctl) {
            Cancel();
            return;
        }
        if (ctl == FControl && FCursorRect.Contains(Pos)) return;
        const bool wasShowing = IsShowing();
        HideWindow();
        KillTimer(Wnd(), HideTimer);
        KillTimer(Wnd(), ReshowTimer);
        int pause = FActive ? Application().GetHintShortPause() : Application().GetHintPause();
        ctl->Perform(CM_HINTSHOWPAUSE, WPARAM(FActive), LPARAM(&pause));
        SetControl(ctl);
        // Until the hint shows, moving inside the control does not restart the wait.
        FCursorRect = ctl->ClientToScreen(ctl->GetClientRect());
        FActive = FActive || wasShowing;
        SetTimer(Wnd(), ShowTimer, UINT(std::max(1, pause)));
    }

    // A press or a key: hidden until the pointer leaves the control.
    void Suppress() {
        KillTimers();
        HideWindow();
        FActive = false;
        if (FControl) FCursorRect = FControl->ClientToScreen(FControl->GetClientRect());
    }

    void Cancel() {
        KillTimers();
        HideWindow();
        SetControl(nullptr);
        FActive = false;
        FCursorRect = TRect{};
    }

    void Activate(TPoint Pos) {
        TControl* ctl = FControl;
        if (!ctl) return;
        if (HintControlAt(Pos) != ctl) {
            Cancel();
            return;
        }
        THintInfo info;
        info.HintControl = ctl;
        info.HintWindowClass = HintWindowClass;
        info.HintPos = Point(Pos.X, Pos.Y + CursorHeight);
        info.HintMaxWidth = Screen().GetWidth();
        info.HintColor = Application().GetHintColor();
        info.CursorRect = ctl->GetClientRect();
        info.CursorPos = ctl->ScreenToClient(Pos);
        info.HideTimeout = Application().GetHintHidePause();
        info.HintStr = GetShortHint(ctl->GetHint());
        const bool canShow = ctl->Perform(CM_HINTSHOW, 0, LPARAM(&info)) == 0;
        if (FControl != ctl) return;  // the handler moved things on
        FCursorRect = ctl->ClientToScreen(info.CursorRect);
        if (!canShow || info.HintStr.empty()) {
            HideWindow();
            return;
        }
        THintWindow* w = WindowOf(info.HintWindowClass);
        w->SetColor(info.HintColor);
        TRect r = w->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
        r.Offset(info.HintPos.X, info.HintPos.Y);
        w->ActivateHintData(r, info.HintStr, info.HintData);
        FActive = true;
        if (info.HideTimeout > 0) SetTimer(Wnd(), HideTimer, UINT(info.HideTimeout));
        if (info.ReshowTimeout > 0) SetTimer(Wnd(), ReshowTimer, UINT(info.ReshowTimeout));
    }

    bool IsShowing() const { return FWindow && FWindow->GetVisible(); }
    THintWindow* Window() const { return FWindow; }
    TControl* Control() const { return FControl; }

    void Reset() {
        Cancel();
        if (FTimerWnd) {
            DeallocateHWnd(FTimerWnd);
            FTimerWnd = 0;
        }
        delete FWindow;
        FWindow = nullptr;
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != TOperation::opRemove) return;
        if (AComponent == FControl) Cancel();
        if (AComponent == FWindow) FWindow = nullptr;
    }

private:
    static constexpr int CursorHeight = 20;

    static TControl* HintControlAt(TPoint Pos) {
        TControl* c = FindDragTarget(Pos, true);
        while (c && !c->GetShowHint()) c = c->GetParent();
        return c;
    }

    HWND Wnd() {
        if (!FTimerWnd) FTimerWnd = AllocateHWnd([this](TMessage& m) { TimerProc(m); });
        return FTimerWnd;
    }

    void TimerProc(TMessage& m) {
        if (m.Msg != WM_TIMER) return;
        switch (m.WParam) {
            case ShowTimer:
            case ReshowTimer:
                KillTimer(Wnd(), m.WParam);
                Activate(GetCursorPos());
                break;
            case HideTimer:
                // Gone until the pointer leaves the cursor rectangle.
                KillTimers();
                HideWindow();
                FActive = false;
                break;
            default:
                break;
        }
    }

    void KillTimers() {
        if (!FTimerWnd) return;
        KillTimer(FTimerWnd, ShowTimer);
        KillTimer(FTimerWnd, HideTimer);
        KillTimer(FTimerWnd, ReshowTimer);
    }

    void HideWindow() {
        if (FWindow) FWindow->ReleaseHandle();
    }

    void SetControl(TControl* c) {
        if (c == FControl) return;
        if (FControl) FControl->RemoveFreeNotification(this);
        FControl = c;
        if (c) c->FreeNotification(this);
    }

    THintWindow* WindowOf(const TClassInfo* cls) {
        if (!cls) cls = HintWindowClass;
        if (FWindow && FWindow->ClassType() == cls) return FWindow;
        if (!cls->InheritsFrom(THintWindow::StaticClass()) || !cls->Factory)
            throw EInvalidArgument("Hint window class " + std::string(cls->Name) +
                                   " is not a creatable hint window class.");
        delete FWindow;
        FWindow = static_cast<THintWindow*>(cls->Factory(nullptr));
        FWindow->FreeNotification(this);
        return FWindow;
    }

    TControl* FControl = nullptr;
    THintWindow* FWindow = nullptr;
    TRect FCursorRect;  // screen
    HWND FTimerWnd = 0;
    bool FActive = false;  // hints are being shown: the next one waits the short pause
};

THintMachine& Machine() {
    static THintMachine* m = new THintMachine();  // lives as long as the process
    return *m;
}

}  // namespace

THintWindow* GetHintWindow() {
    return Machine().Window();
}
bool IsHintShowing() {
    return Machine().IsShowing();
}
TControl* GetHintControl() {
    return Machine().Control();
}

void HintProcessMessage(const TMsg& Msg) {
    switch (Msg.message) {
        case WM_MOUSEMOVE:
            Machine().MouseMoved(Point(Msg.ptX, Msg.ptY));
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_MOUSEWHEEL:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            Machine().Suppress();
            break;
        default:
            break;
    }
}

void CancelHintMachinery() {
    Machine().Cancel();
}
void ResetHintMachinery() {
    Machine().Reset();
}

// ---- TCustomHint.

namespace {
constexpr int StemHeight = 10;

// The balloon: a rounded box in the hint colour with a stem up to the point it belongs to, a
// bold title over the description and the image at the left.
class TBalloonWindow : public THintWindow {
public:
    explicit TBalloonWindow(TCustomHint* Hint) : THintWindow(nullptr), FHint(Hint) {}

    TRect Measure() {
        TCanvas& c = MeasureCanvas();
        c.Font().Assign(&Screen().HintFont());
        c.Font().SetStyle({TFontStyle::fsBold});
        const TSize title = FHint->GetTitle().empty() ? TSize{} : c.TextExtent(FHint->GetTitle());
        c.Font().SetStyle({});
        TRect d = Rect(0, 0, 300, 0);
        if (!FHint->GetDescription().empty())
            c.DrawText(FHint->GetDescription(), d,
                       DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        const int image = ImageWidth();
        const int w = image + std::max(title.cx, d.Width()) + 16;
        const int h = std::max(title.cy + d.Height() + 12, image ? ImageHeight() + 12 : 0);
        return Rect(0, 0, w, h + (Balloon() ? StemHeight : 0));
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        THintWindow::CreateParams(Params);
        Params.Style &= ~unsigned(WS_BORDER);
    }

    void Paint() override {
        TCanvas& c = Canvas();
        const TRect all = GetClientRect();
        c.Brush().SetColor(Screen().GetActiveForm() ? Screen().GetActiveForm()->GetColor()
                                                    : clBtnFace);
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.FillRect(all);
        TRect box = all;
        if (Balloon()) box.Top += StemHeight;
        c.Pen().SetStyle(TPenStyle::psSolid);
        c.Pen().SetColor(clInfoText);
        c.Brush().SetColor(Application().GetHintColor());
        if (Balloon()) {
            c.RoundRect(box.Left, box.Top, box.Right, box.Bottom, 9, 9);
            const int x = std::clamp(FStemX, box.Left + 8, box.Right - 16);
            c.Polygon({Point(x, box.Top + 1), Point(FStemX, 0), Point(x + 10, box.Top + 1)});
        } else {
            c.Rectangle(box);
        }
        int left = box.Left + 8;
        if (TCustomImageList* images = FHint->GetImages(); images && FHint->GetImageIndex() >= 0) {
            images->Draw(c, left, box.Top + 6, FHint->GetImageIndex());
            left += images->GetWidth() + 6;
        }
        c.Brush().SetStyle(TBrushStyle::bsClear);
        c.Font().Assign(&Screen().HintFont());
        int top = box.Top + 6;
        if (!FHint->GetTitle().empty()) {
            c.Font().SetStyle({TFontStyle::fsBold});
            c.TextOut(left, top, FHint->GetTitle());
            top += c.TextHeight(FHint->GetTitle());
            c.Font().SetStyle({});
        }
        TRect d = Rect(left, top, box.Right - 6, box.Bottom - 4);
        c.DrawText(FHint->GetDescription(), d, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        c.Brush().SetStyle(TBrushStyle::bsSolid);
    }

public:
    int FStemX = 0;

private:
    bool Balloon() const { return FHint->GetStyle() == TBalloonHintStyle::bhsBalloon; }
    int ImageWidth() const {
        TCustomImageList* images = FHint->GetImages();
        return images && FHint->GetImageIndex() >= 0 ? images->GetWidth() + 6 : 0;
    }
    int ImageHeight() const { return FHint->GetImages() ? FHint->GetImages()->GetHeight() : 0; }
    TCustomHint* FHint;
};
}  // namespace

TCustomHint::TCustomHint(TComponent* AOwner) : TComponent(AOwner) {}

TCustomHint::~TCustomHint() {
    if (FTimerWnd) DeallocateHWnd(FTimerWnd);
    delete FWindow;
}

void TCustomHint::SetImages(TCustomImageList* v) {
    if (v == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = v;
    if (v) v->FreeNotification(this);
}

void TCustomHint::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) FImages = nullptr;
}

void TCustomHint::SetDelay(int v) {
    if (v < 0) throw EInvalidArgument("Hint delay " + std::to_string(v) + " is negative.");
    FDelay = v;
}

void TCustomHint::ShowHint(TPoint ScreenPos) {
    HideHint();
    FPoint = ScreenPos;
    if (FDelay == 0) {
        ShowNow();
        return;
    }
    if (!FTimerWnd) FTimerWnd = AllocateHWnd([this](TMessage& m) { TimerProc(m); });
    FPending = true;
    SetTimer(FTimerWnd, ShowTimer, UINT(FDelay));
}

void TCustomHint::ShowHint(const TRect& ScreenRect) {
    ShowHint(Point((ScreenRect.Left + ScreenRect.Right) / 2, ScreenRect.Bottom));
}

void TCustomHint::ShowHint(TControl* Control) {
    if (!Control) throw EInvalidArgument("Cannot show a hint for no control.");
    ShowHint(Control->ClientToScreen(Control->GetClientRect()));
}

void TCustomHint::ShowNow() {
    FPending = false;
    auto* w = static_cast<TBalloonWindow*>(FWindow);
    if (!w) {
        w = new TBalloonWindow(this);
        FWindow = w;
    }
    TRect r = w->Measure();
    // The stem's tip is the point; the box hangs below it, shifted left to stay on screen.
    r.Offset(FPoint.X - 20, FPoint.Y);
    const TRect placed = KeepOnDesktop(r);
    w->FStemX = FPoint.X - placed.Left;
    w->SetCaption(FTitle);
    ShowTopmost(w, placed);
    if (FHideAfter > 0) {
        if (!FTimerWnd) FTimerWnd = AllocateHWnd([this](TMessage& m) { TimerProc(m); });
        SetTimer(FTimerWnd, HideTimer, UINT(FHideAfter));
    }
}

void TCustomHint::HideHint() {
    FPending = false;
    if (FTimerWnd) {
        KillTimer(FTimerWnd, ShowTimer);
        KillTimer(FTimerWnd, HideTimer);
    }
    if (FWindow) FWindow->ReleaseHandle();
}

bool TCustomHint::GetShowing() const {
    return FPending || (FWindow && FWindow->GetVisible());
}

void TCustomHint::TimerProc(TMessage& Msg) {
    if (Msg.Msg != WM_TIMER) return;
    KillTimer(FTimerWnd, Msg.WParam);
    if (Msg.WParam == ShowTimer)
        ShowNow();
    else if (Msg.WParam == HideTimer)
        HideHint();
}

}  // namespace vel
