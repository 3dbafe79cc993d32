#include "platform/controls/Forms.h"

#include <algorithm>

#include "platform/classes/TypInfo.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/SystemProfile.h"
#include "platform/controls/WindowBackend.h"
#include "platform/controls/internal/WindowManager.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

VEL_DEFINE_CREATABLE_CLASS(TCustomForm, TWinControl)
VEL_DEFINE_CREATABLE_CLASS(TForm, TCustomForm)
VEL_DEFINE_CREATABLE_CLASS(TPopupWindow, TCustomControl)
VEL_DEFINE_CLASS(TScreen, TComponent)

VEL_ENUM_INFO(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
VEL_ENUM_INFO(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
              poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
VEL_ENUM_INFO(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)

VEL_PUBLISHED(TCustomForm) {
    Prop("BorderStyle", &T::GetBorderStyle, &T::SetBorderStyle, TFormBorderStyle::bsSizeable);
    Prop("Position", &T::GetPosition, &T::SetPosition, TPosition::poDesigned);
    Prop("FormStyle", &T::GetFormStyle, &T::SetFormStyle, TFormStyle::fsNormal);
    Prop("KeyPreview", &T::GetKeyPreview, &T::SetKeyPreview, false);
    Prop("ClientWidth", &T::GetClientWidth, &T::SetClientWidth).NoDefault();
    Prop("ClientHeight", &T::GetClientHeight, &T::SetClientHeight).NoDefault();
    Prop("ActiveControl", &T::GetActiveControl, &T::SetActiveControlRef);
}

namespace {
const char* const CannotFocus = "Cannot focus a disabled or invisible window.";
}

// ---- TCustomForm.

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle += TControlStyle{TControlStyleFlag::csAcceptsControls};
    FCanvas = new TControlCanvas(this);
    SetColor(clBtnFace);
    SetVisibleSilently(false);
    FLeft = 0;
    FTop = 0;
    FWidth = 320;
    FHeight = 240;
    Screen().AddForm(this);
}

TCustomForm::~TCustomForm() {
    if (FOnDestroy) {
        try {
            FOnDestroy(this);
        } catch (...) {
        }
    }
    Destroying();
    if (GetVisible() && HandleAllocated()) Backend().WindowShown(this, false);
    Screen().RemoveForm(this);
    Application().FormDestroyed(this);
    DestroyComponents();
    FActiveControl = nullptr;
    FFocusedControl = nullptr;
    FEnteredControl = nullptr;
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (FParent && !GetDesktopParent()) return;  // embedded in another control
    Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.ExStyle = 0;
    switch (FBorderStyle) {
        case TFormBorderStyle::bsNone: Params.Style |= WS_POPUP; break;
        case TFormBorderStyle::bsSingle:
        case TFormBorderStyle::bsToolWindow: Params.Style |= WS_CAPTION | WS_BORDER | WS_SYSMENU; break;
        case TFormBorderStyle::bsSizeable:
        case TFormBorderStyle::bsSizeToolWin: Params.Style |= WS_CAPTION | WS_THICKFRAME | WS_SYSMENU; break;
        case TFormBorderStyle::bsDialog:
            Params.Style |= WS_CAPTION | WS_SYSMENU;
            Params.ExStyle |= WS_EX_DLGMODALFRAME;
            break;
    }
    if (FBorderStyle == TFormBorderStyle::bsToolWindow || FBorderStyle == TFormBorderStyle::bsSizeToolWin)
        Params.ExStyle |= WS_EX_TOOLWINDOW;
    if (FFormStyle == TFormStyle::fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
}

TRect TCustomForm::GetBorderInsets() const {
    if (FParent && !GetDesktopParent()) return TWinControl::GetBorderInsets();
    if (Backend().FramesWindows()) return TRect{};
    int frame = 0, caption = 0;
    const bool tool = FBorderStyle == TFormBorderStyle::bsToolWindow || FBorderStyle == TFormBorderStyle::bsSizeToolWin;
    switch (FBorderStyle) {
        case TFormBorderStyle::bsNone: return TRect{};
        case TFormBorderStyle::bsSizeable:
        case TFormBorderStyle::bsSizeToolWin: frame = GetSystemMetrics(SM_CXFRAME); break;
        default: frame = GetSystemMetrics(SM_CXDLGFRAME); break;
    }
    caption = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
    return Rect(frame, frame + caption, frame, frame);
}

void TCustomForm::PaintWindow(TCanvas&) { Paint(); }

void TCustomForm::PaintBorder(TCanvas& Canvas) {
    TRect ins = GetBorderInsets();
    if (ins == TRect{}) return;
    const int w = FWidth, h = FHeight;
    const int frame = ins.Left;
    // Frame: the classic raised edge around a button-face band.
    Canvas.FillRectColor(Rect(0, 0, w, frame), clBtnFace);
    Canvas.FillRectColor(Rect(0, h - frame, w, h), clBtnFace);
    Canvas.FillRectColor(Rect(0, 0, frame, h), clBtnFace);
    Canvas.FillRectColor(Rect(w - frame, 0, w, h), clBtnFace);
    Canvas.FillRectColor(Rect(0, 0, w - 1, 1), cl3DLight);
    Canvas.FillRectColor(Rect(0, 0, 1, h - 1), cl3DLight);
    Canvas.FillRectColor(Rect(0, h - 1, w, h), cl3DDkShadow);
    Canvas.FillRectColor(Rect(w - 1, 0, w, h), cl3DDkShadow);
    TRect cap = Rect(frame, frame, w - frame, ins.Top - 1);
    Canvas.FillRectColor(cap, FActive ? clActiveCaption : clInactiveCaption);
    Canvas.FillRectColor(Rect(frame, ins.Top - 1, w - frame, ins.Top), clBtnFace);
    if (!GetCaption().empty()) {
        Canvas.Font().Assign(&Screen().CaptionFont());
        Canvas.Font().SetColor(FActive ? clCaptionText : clInactiveCaptionText);
        Canvas.Brush().SetStyle(TBrushStyle::bsClear);
        TRect tr = cap;
        tr.Left += 4;
        Canvas.DrawText(GetCaption(), tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
    if (v == FBorderStyle) return;
    const TRect oldClient = GetClientRect();
    FBorderStyle = v;
    RecreateWnd();
    // The client size stays; the window grows or shrinks around it.
    TRect ins = GetBorderInsets();
    SetBounds(FLeft, FTop, oldClient.Width() + ins.Left + ins.Right, oldClient.Height() + ins.Top + ins.Bottom);
}

void TCustomForm::SetFormStyle(TFormStyle v) {
    if (v == FFormStyle) return;
    FFormStyle = v;
    RecreateWnd();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove) {
        if (AComponent == FActiveControl) FActiveControl = nullptr;
        if (AComponent == FFocusedControl) FFocusedControl = nullptr;
        if (AComponent == FEnteredControl) FEnteredControl = nullptr;
    }
}

void TCustomForm::VisibleChanging() {
    if (!GetVisible()) {
        if (!FFormState.Contains(TFormStateFlag::fsShowing)) {
            FFormState.Include(TFormStateFlag::fsShowing);
            ApplyPosition();
        }
        DoShow();
    } else {
        DoHide();
    }
}

void TCustomForm::ApplyPosition() {
    if (FParent && !GetDesktopParent()) return;
    TRect area = Screen().GetWorkAreaRect();
    TRect within;
    switch (FPosition) {
        case TPosition::poScreenCenter:
        case TPosition::poDesktopCenter: within = area; break;
        case TPosition::poMainFormCenter:
            within = Application().GetMainForm() && Application().GetMainForm() != this
                         ? Application().GetMainForm()->GetBoundsRect()
                         : area;
            break;
        case TPosition::poOwnerFormCenter: {
            auto* owner = dynamic_cast<TCustomForm*>(GetOwner());
            within = owner ? owner->GetBoundsRect() : area;
            break;
        }
        case TPosition::poDefault:
        case TPosition::poDefaultPosOnly:
            SetBounds(area.Left + 20, area.Top + 20, FWidth, FHeight);
            return;
        default: return;
    }
    SetBounds(within.Left + (within.Width() - FWidth) / 2, within.Top + (within.Height() - FHeight) / 2, FWidth,
              FHeight);
}

void TCustomForm::DoShow() {
    if (FOnShow) FOnShow(this);
}

void TCustomForm::DoHide() {
    if (FOnHide) FOnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (FOnClose) FOnClose(this, Action);
}

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
    Activate();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_VISIBLECHANGED:
            if (Message.WParam) {
                Activate();
            } else {
                if (FActive) Deactivate(true);
            }
            return;
        case CM_DIALOGKEY: {
            TWMKey k(Message);
            if (GetKeyState(VK_MENU) >= 0) {
                if (k.CharCode == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
                    SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
                    Message.Result = 1;
                    return;
                }
                if (k.CharCode == VK_LEFT || k.CharCode == VK_RIGHT || k.CharCode == VK_UP || k.CharCode == VK_DOWN) {
                    if (FActiveControl && FActiveControl->GetParent()) {
                        FActiveControl->GetParent()->SelectNext(FActiveControl,
                                                                k.CharCode == VK_RIGHT || k.CharCode == VK_DOWN, false);
                        Message.Result = 1;
                        return;
                    }
                }
            }
            TWinControl::Dispatch(Message);
            return;
        }
        case CM_ACTIVATE:
            if (FOnActivate) FOnActivate(this);
            return;
        case CM_DEACTIVATE:
            if (FOnDeactivate) FOnDeactivate(this);
            return;
        case WM_CLOSE: Close(); return;
        case WM_SETFOCUS:
            if (!FFocusedControl || FFocusedControl == this) SetFocusedControl(this);
            return;
        default: TWinControl::Dispatch(Message);
    }
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (Control == FActiveControl) return;
    if (Control) {
        // The form itself may still be hidden: it is the way to say what gets the focus on showing.
        bool can = Control != this && GetParentForm(Control) == this;
        for (TControl* c = Control; can && c && c != this; c = c->GetParent())
            can = IsLoading() || (c->GetVisible() && c->GetEnabled());
        if (!can) throw EInvalidOperation(CannotFocus);
    }
    FActiveControl = Control;
    if (!IsLoading() && FActive) SetWindowFocus();
}

void TCustomForm::SetActiveControlRef(TWinControl* Control) {
    if (IsLoading()) FActiveControl = Control;  // checked when loading ends
    else SetActiveControl(Control);
}

void TCustomForm::Loaded() {
    TWinControl::Loaded();
    TWinControl* c = FActiveControl;
    FActiveControl = nullptr;
    if (c && GetParentForm(c) == this) FActiveControl = c;
}

void TCustomForm::SetWindowFocus() {
    TWinControl* target = FActiveControl ? FActiveControl : this;
    if (!target->CanFocus()) target = this;
    vel::SetFocus(target->GetHandle());
}

void TCustomForm::FocusControl(TWinControl* Control) {
    if (!Control->CanFocus()) throw EInvalidOperation(CannotFocus);
    const bool wasActive = FActive;
    FActiveControl = Control;
    if (wasActive) SetWindowFocus();
    else Activate();
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    TWinControl* screenControl = Control == this ? nullptr : Control;
    if (FFocusedControl == Control) {
        Screen().SetFocusedControl(this, screenControl);
        return true;
    }
    // A change nested in an OnExit starts from what is still entered, so the control being
    // left is not exited again and the one that was about to be entered is not exited at all.
    TWinControl* old = FEnteredControl;
    FFocusedControl = Control;
    if (Control != this) FActiveControl = Control;
    // Exits: from the old control up to (not including) what also contains the new one.
    for (TWinControl* c = old; c && c != this && !c->ContainsControl(Control); c = c->GetParent()) {
        FEnteredControl = c->GetParent();
        c->Perform(CM_EXIT);
        if (FFocusedControl != Control) return false;  // an OnExit moved the focus itself
    }
    Screen().SetFocusedControl(this, screenControl);
    Perform(CM_FOCUSCHANGED, 0, LPARAM(Control));
    // Enters: from the outermost newly entered control down to the new one.
    std::vector<TWinControl*> chain;
    for (TWinControl* c = Control; c && c != this && !(old && c->ContainsControl(old)); c = c->GetParent())
        chain.push_back(c);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        FEnteredControl = *it;
        (*it)->Perform(CM_ENTER);
        if (FFocusedControl != Control) return false;
    }
    FEnteredControl = Control;
    return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->GetParent();
    if (Removing && Control->ContainsControl(FEnteredControl))
        FEnteredControl = Control->GetParent();
    if (Control->ContainsControl(FActiveControl)) {
        FActiveControl = nullptr;
        if (Screen().GetActiveControl() && Control->ContainsControl(Screen().GetActiveControl()))
            Screen().SetFocusedControl(this, nullptr);
    }
    TWinControl* focused = FindControl(GetFocus());
    if (focused && Control->ContainsControl(focused)) {
        if (Removing) {
            WindowManager().Focus = 0;
            if (HandleAllocated() && !IsDestroying()) vel::SetFocus(GetHandle());
        } else if (HandleAllocated()) {
            vel::SetFocus(GetHandle());
        }
    }
}

void TCustomForm::SendCancelMode(TControl* Sender) {
    if (FActiveControl && FActiveControl != Sender) FActiveControl->Perform(CM_CANCELMODE, 0, LPARAM(Sender));
    TControl* cap = GetCaptureControl();
    if (cap && cap != Sender && cap != FActiveControl) cap->Perform(CM_CANCELMODE, 0, LPARAM(Sender));
}

void TCustomForm::Activate() {
    if (FActive || !GetVisible() || !HandleAllocated()) return;
    if (TCustomForm* prev = Screen().GetActiveForm(); prev && prev != this) prev->Deactivate(false);
    FActive = true;
    Screen().SetActiveForm(this);
    Invalidate();
    Perform(CM_ACTIVATE);
    if (!FActiveControl) {
        if (TWinControl* first = FindNextControl(nullptr, true, true, false)) FActiveControl = first;
    }
    SetWindowFocus();
}

void TCustomForm::Deactivate(bool ActivateNext) {
    if (!FActive) return;
    FActive = false;
    if (HandleAllocated()) {
        TWinControl* focused = FindControl(GetFocus());
        if (focused && (focused == this || ContainsControl(focused))) vel::SetFocus(0);
    }
    if (Screen().GetActiveForm() == this) Screen().SetActiveForm(nullptr);
    Invalidate();
    Perform(CM_DEACTIVATE);
    if (ActivateNext) {
        // The topmost other visible, enabled form takes over.
        for (TWinControl* w : GetTopLevelWindows()) {
            auto* f = dynamic_cast<TCustomForm*>(w);
            if (f && f != this && f->GetVisible() && f->GetEnabled()) {
                f->Activate();
                break;
            }
        }
    }
}

void TCustomForm::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation(CannotFocus);
    if (!FActive) Activate();
    else vel::SetFocus(GetHandle());
}

bool TCustomForm::CloseQuery() {
    bool can = true;
    if (FOnCloseQuery) FOnCloseQuery(this, can);
    return can;
}

void TCustomForm::Close() {
    if (FFormState.Contains(TFormStateFlag::fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    switch (action) {
        case TCloseAction::caNone: return;
        case TCloseAction::caHide:
        case TCloseAction::caMinimize:
            if (Application().GetMainForm() == this) Application().Terminate();
            Hide();
            return;
        case TCloseAction::caFree:
            if (Application().GetMainForm() == this) Application().Terminate();
            Hide();
            Release();
            return;
    }
}

void TCustomForm::CloseModal() {
    TCloseAction action = TCloseAction::caNone;
    if (CloseQuery()) {
        action = TCloseAction::caHide;
        DoClose(action);
    }
    switch (action) {
        case TCloseAction::caNone: FModalResult = mrNone; break;
        case TCloseAction::caFree: Release(); break;
        default: break;
    }
}

TModalResult TCustomForm::ShowModal() {
    if (GetVisible() || !GetEnabled() || FFormState.Contains(TFormStateFlag::fsModal))
        throw EInvalidOperation("Cannot make a visible window modal.");
    if (TControl* cap = GetCaptureControl()) {
        cap->Perform(WM_CANCELMODE);
        SetCaptureControl(nullptr);
    }
    TCustomForm* previous = Screen().GetActiveForm();
    // Every other form is disabled while this one is up.
    std::vector<TCustomForm*> disabled;
    for (int i = 0; i < Screen().FormCount(); ++i) {
        TCustomForm* f = Screen().GetForm(i);
        if (f != this && f->GetEnabled() && f->GetVisible()) {
            f->SetEnabled(false);
            disabled.push_back(f);
        }
    }
    FFormState.Include(TFormStateFlag::fsModal);
    Application().ModalStarted();
    FModalResult = mrNone;
    TScopeExit restore([&] {
        Application().ModalFinished();
        FFormState.Exclude(TFormStateFlag::fsModal);
        for (TCustomForm* f : disabled)
            if (Screen().IndexOfForm(f) >= 0) f->SetEnabled(true);
        if (GetVisible()) Hide();
        if (previous && previous != this && Screen().IndexOfForm(previous) >= 0 && previous->GetVisible())
            previous->Activate();
    });
    Show();
    while (FModalResult == mrNone) {
        TApplication& app = Application();
        if (!app.ProcessMessage()) {
            app.Idle();
            if (FModalResult == mrNone && !app.HasPendingMessages() && !app.WaitMessage()) {
                // Nothing can come: the responder (a test's user) answers, or Cancel.
                if (app.GetModalResponder()) app.GetModalResponder()(*this);
                if (FModalResult == mrNone && !app.HasPendingMessages()) FModalResult = mrCancel;
            }
        }
        if (app.GetTerminated()) FModalResult = mrCancel;
        if (FModalResult != mrNone) CloseModal();
    }
    return FModalResult;
}

// ---- TForm.

TCanvas& TForm::Canvas() {
    if (!FControlState.Contains(TControlStateFlag::csCustomPaint)) FCanvas->Bind();
    return *FCanvas;
}

void TForm::Paint() {
    if (FOnPaint) FOnPaint(this);
}

// ---- TPopupWindow.

TPopupWindow::TPopupWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisibleSilently(false);
    SetColor(clWindow);
}

void TPopupWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClassStyle |= CS_SAVEBITS;
}

void TPopupWindow::Popup(TPoint ScreenPos) {
    HandleNeeded();
    SetBounds(ScreenPos.X, ScreenPos.Y, GetWidth(), GetHeight());
    SetVisible(true);
    BringToFront();
}

void TPopupWindow::CloseUp(bool Accept) {
    if (!GetVisible()) return;
    if (GetCaptureControl() && ContainsControl(GetCaptureControl())) SetCaptureControl(nullptr);
    SetVisible(false);
    if (FOnCloseUp) FOnCloseUp(this, Accept);
}

void TPopupWindow::SetPopupOwner(TControl* v) {
    if (v == FPopupOwner) return;
    if (FPopupOwner) FPopupOwner->RemoveFreeNotification(this);
    FPopupOwner = v;
    if (v) v->FreeNotification(this);
}

void TPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FPopupOwner) FPopupOwner = nullptr;
}

void TPopupWindow::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_CANCELMODE) {
        TCMCancelMode c(Message);
        auto* owner = dynamic_cast<TWinControl*>(FPopupOwner);
        const bool fromOwner =
            c.Sender && (c.Sender == FPopupOwner || (owner && owner->ContainsControl(c.Sender)));
        if (!c.Sender || (!ContainsControl(c.Sender) && !fromOwner)) CloseUp(false);
        return;
    }
    TCustomControl::Dispatch(Message);
}

// ---- TScreen.

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
    FIconFont = std::make_unique<TFont>();
    FMenuFont = std::make_unique<TFont>();
    FMessageFont = std::make_unique<TFont>();
    FHintFont = std::make_unique<TFont>();
    FCaptionFont = std::make_unique<TFont>();
    Reset();
}

TScreen::~TScreen() = default;

void TScreen::Reset() {
    FDesktop = Rect(0, 0, 1280, 1024);
    FWorkArea = Rect(0, 0, 1280, 984);
    TRect native = Backend().DesktopRect();
    if (!native.IsEmpty()) {
        FDesktop = native;
        FWorkArea = native;
    }
    FCursor = crDefault;
    FCurrentCursor = crDefault;
    TFont def;
    FIconFont->Assign(&def);
    FMenuFont->Assign(&def);
    FMessageFont->Assign(&def);
    FHintFont->Assign(&def);
    FHintFont->SetColor(clInfoText);
    FCaptionFont->Assign(&def);
    FCaptionFont->SetStyle(TFontStyles{TFontStyle::fsBold});
}

void TScreen::SetDesktop(const TRect& Desktop, const TRect& WorkArea) {
    if (Desktop.IsEmpty())
        throw EInvalidArgument("The desktop rectangle (" + std::to_string(Desktop.Left) + ", " +
                               std::to_string(Desktop.Top) + ", " + std::to_string(Desktop.Right) + ", " +
                               std::to_string(Desktop.Bottom) + ") is empty.");
    FDesktop = Desktop;
    FWorkArea = Intersection(WorkArea, Desktop);
    if (FWorkArea.IsEmpty()) FWorkArea = Desktop;
}

void TScreen::AddForm(TCustomForm* f) { FForms.push_back(f); }

int TScreen::IndexOfForm(TCustomForm* f) const {
    auto it = std::find(FForms.begin(), FForms.end(), f);
    return it == FForms.end() ? -1 : int(it - FForms.begin());
}

void TScreen::RemoveForm(TCustomForm* f) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), f), FForms.end());
    if (FActiveForm == f) FActiveForm = nullptr;
    if (FFocusedForm == f) {
        FFocusedForm = nullptr;
        FActiveControl = nullptr;
    }
}

void TScreen::SetActiveForm(TCustomForm* f) {
    if (f == FActiveForm) return;
    FActiveForm = f;
    if (FOnActiveFormChange) FOnActiveFormChange(this);
}

void TScreen::SetFocusedControl(TCustomForm* Form, TWinControl* Control) {
    FFocusedForm = Form;
    if (Control == FActiveControl) return;
    FActiveControl = Control;
    if (FOnActiveControlChange) FOnActiveControlChange(this);
}

TScreen& Screen() {
    static TScreen* screen = new TScreen(nullptr);  // lives as long as the process
    return *screen;
}

void ResetWindowingForTests() {
    Application().Reset();
    Clipboard().Clear();
    ResetSystemProfile();
    Screen().Reset();
}

}  // namespace vel
