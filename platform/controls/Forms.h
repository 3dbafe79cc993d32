#pragma once
// Forms, the screen and popup windows.
//
// A form is a top-level window: its Left/Top are desktop coordinates and its client area lies
// inside the border and caption that BorderStyle gives it. Show/Close/ShowModal follow the
// classic rules; Release frees the form through a posted CM_RELEASE, so the handler that
// released it finishes first. TPopupWindow is a borderless, topmost top-level window placed on
// the desktop (the drop-down hosts' lists): a mouse press anywhere outside it sends it
// CM_CANCELMODE, which closes it.
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Application.h"
#include "platform/controls/Controls.h"

namespace vel {

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                       mrYes = 6, mrNo = 7, mrClose = 8, mrHelp = 9, mrTryAgain = 10,
                       mrContinue = 11, mrAll = 12, mrNoToAll = 13, mrYesToAll = 14;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                       poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
VEL_DECLARE_ENUM_INFO(TFormBorderStyle)
VEL_DECLARE_ENUM_INFO(TPosition)
VEL_DECLARE_ENUM_INFO(TFormStyle)
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TFormStateFlag { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateFlag>;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
    VEL_CLASS(TCustomForm)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    void Dispatch(TMessage& Message) override;

    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v);
    TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition v) { FPosition = v; }
    TFormStyle GetFormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle v);
    bool GetKeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool v) { FKeyPreview = v; }
    TFormState GetFormState() const { return FFormState; }

    // The control that has (or will get, once the form is active) the focus.
    TWinControl* GetActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    // Streaming form of ActiveControl: set once loading has ended, when the control can be checked.
    void SetActiveControlRef(TWinControl* Control);
    bool GetActive() const { return FActive; }
    void FocusControl(TWinControl* Control);
    // Moves the focus bookkeeping: exits, window focus, enters. False when an OnExit refused.
    bool SetFocusedControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    // Cancel mode: the active control and the capture holder hear that Sender took over.
    void SendCancelMode(TControl* Sender);

    void Show();
    void Hide();
    void Close();
    bool CloseQuery();
    TModalResult ShowModal();
    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    // Makes this the active form: the focus goes to ActiveControl (or the first tab stop).
    void Activate();
    void Deactivate(bool ActivateNext);

    bool IsShowing() const override { return GetVisible() && HandleAllocated(); }
    TRect GetBorderInsets() const override;
    void SetFocus() override;

    void SetOnShow(TNotifyEvent e) { FOnShow = std::move(e); }
    void SetOnHide(TNotifyEvent e) { FOnHide = std::move(e); }
    void SetOnClose(TCloseEvent e) { FOnClose = std::move(e); }
    void SetOnCloseQuery(TCloseQueryEvent e) { FOnCloseQuery = std::move(e); }
    void SetOnActivate(TNotifyEvent e) { FOnActivate = std::move(e); }
    void SetOnDeactivate(TNotifyEvent e) { FOnDeactivate = std::move(e); }
    void SetOnDestroy(TNotifyEvent e) { FOnDestroy = std::move(e); }

protected:
    void CreateParams(TCreateParams& Params) override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    void PaintWindow(TCanvas& Canvas) override;
    void PaintBorder(TCanvas& Canvas) override;
    void VisibleChanging() override;
    virtual void Paint() {}

private:
    void ApplyPosition();
    void SetWindowFocus();
    void CloseModal();

    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    TPosition FPosition = TPosition::poDesigned;
    TFormStyle FFormStyle = TFormStyle::fsNormal;
    TFormState FFormState;
    bool FKeyPreview = false;
    bool FActive = false;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    // The innermost control that got CM_ENTER and no CM_EXIT yet (the form while a control
    // is being left): a focus change nested in OnExit exits nothing twice.
    TWinControl* FEnteredControl = nullptr;
    TModalResult FModalResult = mrNone;
    TNotifyEvent FOnShow, FOnHide, FOnActivate, FOnDeactivate, FOnDestroy;
    TCloseEvent FOnClose;
    TCloseQueryEvent FOnCloseQuery;
};

class TForm : public TCustomForm {
    VEL_CLASS(TForm)
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
    // Paints with this canvas during OnPaint.
    TCanvas& Canvas();
    void SetOnPaint(TNotifyEvent e) { FOnPaint = std::move(e); }

protected:
    void Paint() override;

private:
    TNotifyEvent FOnPaint;
};

// A top-level, topmost, borderless tool window on the desktop.
class TPopupWindow : public TCustomControl {
    VEL_CLASS(TPopupWindow)
public:
    explicit TPopupWindow(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    // Shows the window at a desktop point without taking the focus.
    void Popup(TPoint ScreenPos);
    // Hides it and raises OnCloseUp (Accept is false for a click outside or cancel mode).
    virtual void CloseUp(bool Accept);
    bool GetPopupVisible() const { return GetVisible(); }
    // The control the popup belongs to (a drop-down button): presses on it do not close the
    // popup, since the owner itself opens and closes it.
    TControl* GetPopupOwner() const { return FPopupOwner; }
    void SetPopupOwner(TControl* v);
    void SetOnCloseUp(std::function<void(TObject*, bool Accept)> e) { FOnCloseUp = std::move(e); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::function<void(TObject*, bool)> FOnCloseUp;
    TControl* FPopupOwner = nullptr;
};

class TScreen : public TComponent {
    VEL_CLASS(TScreen)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // The virtual desktop (all monitors) and its work area (without task bars).
    TRect GetDesktopRect() const { return FDesktop; }
    TRect GetWorkAreaRect() const { return FWorkArea; }
    // The work area is clipped to the desktop; an empty desktop raises EInvalidArgument.
    void SetDesktop(const TRect& Desktop, const TRect& WorkArea);
    int GetWidth() const { return FDesktop.Width(); }
    int GetHeight() const { return FDesktop.Height(); }
    int GetDesktopLeft() const { return FDesktop.Left; }
    int GetDesktopTop() const { return FDesktop.Top; }
    int GetDesktopWidth() const { return FDesktop.Width(); }
    int GetDesktopHeight() const { return FDesktop.Height(); }
    int GetPixelsPerInch() const { return 96; }

    // Cursor: crDefault lets each control's cursor show.
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor v) { FCursor = v; }
    // The shape currently shown (the screen cursor, or that of the control under the mouse).
    TCursor GetCurrentCursor() const { return FCurrentCursor; }
    void SetCurrentCursor(TCursor v) { FCurrentCursor = v; }

    TCustomForm* GetActiveForm() const { return FActiveForm; }
    TWinControl* GetActiveControl() const { return FActiveControl; }
    TCustomForm* GetFocusedForm() const { return FFocusedForm; }
    int FormCount() const { return int(FForms.size()); }
    TCustomForm* GetForm(int i) const { return FForms.at(std::size_t(i)); }
    int IndexOfForm(TCustomForm* f) const;

    TFont& IconFont() { return *FIconFont; }
    TFont& MenuFont() { return *FMenuFont; }
    TFont& MessageFont() { return *FMessageFont; }
    TFont& HintFont() { return *FHintFont; }
    TFont& CaptionFont() { return *FCaptionFont; }

    void SetOnActiveControlChange(TNotifyEvent e) { FOnActiveControlChange = std::move(e); }
    void SetOnActiveFormChange(TNotifyEvent e) { FOnActiveFormChange = std::move(e); }

    // Back to the default desktop, cursor and fonts.
    void Reset();

    // Bookkeeping for forms.
    void AddForm(TCustomForm* f);
    void RemoveForm(TCustomForm* f);
    void SetActiveForm(TCustomForm* f);
    void SetFocusedControl(TCustomForm* Form, TWinControl* Control);

private:
    TRect FDesktop;
    TRect FWorkArea;
    TCursor FCursor = crDefault;
    TCursor FCurrentCursor = crDefault;
    TCustomForm* FActiveForm = nullptr;
    TCustomForm* FFocusedForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    std::vector<TCustomForm*> FForms;
    std::unique_ptr<TFont> FIconFont, FMenuFont, FMessageFont, FHintFont, FCaptionFont;
    TNotifyEvent FOnActiveControlChange, FOnActiveFormChange;
};

TScreen& Screen();

// Every platform window setting back to defaults between tests: closes nothing, but empties the
// queue and resets the application, screen and system profile.
void ResetWindowingForTests();

}  // namespace vel
