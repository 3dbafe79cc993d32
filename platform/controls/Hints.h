#pragma once
// Hint windows, balloon hints and the application's hint machinery.
//
// The machinery follows the mouse through the application's queue: when the pointer rests on a
// control with ShowHint for HintPause (or HintShortPause while hints are being shown), the
// control gets CM_HINTSHOWPAUSE and then CM_HINTSHOW with a THintInfo it may change or refuse
// (non-zero result); the hint window is then shown at HintPos and hidden after HideTimeout. It
// shows again once the pointer leaves CursorRect, which is how a grid gives each cell its own
// hint. A key or button press hides it until the pointer leaves the control. Timers run on the
// application clock.
#include <string>

#include "platform/controls/Forms.h"

namespace vel {

class TCustomImageList;

// "Short|Long": the part before the first '|', and the part after it (the whole text when there
// is no '|').
std::string GetShortHint(const std::string& Hint);
std::string GetLongHint(const std::string& Hint);

// The classic tool tip: a bordered, topmost window in the application's hint colour that the
// mouse passes through.
class THintWindow : public TCustomControl {
    VEL_CLASS(THintWindow)
public:
    explicit THintWindow(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    // Shows the text in Rect (desktop coordinates), moved so that it stays on the desktop.
    virtual void ActivateHint(TRect Rect, const std::string& AHint);
    virtual void ActivateHintData(TRect Rect, const std::string& AHint, void* AData);
    // The bounds the text needs (word-wrapped at MaxWidth), at (0, 0).
    virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
    void ReleaseHandle();
    const std::string& GetHintText() const { return GetCaption(); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
};

// The class the machinery creates when a CM_HINTSHOW answer names none.
extern const TClassInfo* HintWindowClass;

enum class TBalloonHintStyle { bhsBalloon, bhsStandard };

// A hint with a title, a description and an optional image, shown on request at a point
// (balloon style: a rounded box whose stem points there). Delay is waited before showing;
// HideAfter (milliseconds, -1 for never) hides it again.
class TCustomHint : public TComponent {
    VEL_CLASS(TCustomHint)
public:
    explicit TCustomHint(TComponent* AOwner);
    ~TCustomHint() override;

    const std::string& GetTitle() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    const std::string& GetDescription() const { return FDescription; }
    void SetDescription(const std::string& v) { FDescription = v; }
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* v);
    int GetDelay() const { return FDelay; }
    // A negative delay raises EInvalidArgument.
    void SetDelay(int v);
    int GetHideAfter() const { return FHideAfter; }
    void SetHideAfter(int v) { FHideAfter = v < 0 ? -1 : v; }
    TBalloonHintStyle GetStyle() const { return FStyle; }
    void SetStyle(TBalloonHintStyle v) { FStyle = v; }

    // Shows (after Delay) with the stem at a desktop point, below the middle of a desktop
    // rectangle, or below the middle of a control.
    virtual void ShowHint(TPoint ScreenPos);
    void ShowHint(const TRect& ScreenRect);
    void ShowHint(TControl* Control);
    virtual void HideHint();
    // Shown now, or waiting for its delay.
    bool GetShowing() const;
    bool GetPending() const { return FPending; }
    // The window once shown (nullptr before).
    THintWindow* GetWindow() const { return FWindow; }
    TPoint GetShowPoint() const { return FPoint; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void TimerProc(TMessage& Msg);
    void ShowNow();

    std::string FTitle, FDescription;
    int FImageIndex = -1;
    TCustomImageList* FImages = nullptr;
    int FDelay = 500;
    int FHideAfter = -1;
    TBalloonHintStyle FStyle = TBalloonHintStyle::bhsBalloon;
    THintWindow* FWindow = nullptr;
    HWND FTimerWnd = 0;
    bool FPending = false;
    TPoint FPoint;
};

class TBalloonHint : public TCustomHint {
    VEL_CLASS(TBalloonHint)
public:
    explicit TBalloonHint(TComponent* AOwner) : TCustomHint(AOwner) {}
};

// The machinery's state, for the framework and tests.
THintWindow* GetHintWindow();  // the window last used (nullptr before the first)
bool IsHintShowing();          // the machinery's window is visible
TControl* GetHintControl();    // the control the pointer rests on, if it shows hints

// Called by the application: every message taken from the queue, and a reset between tests.
void HintProcessMessage(const TMsg& Msg);
void CancelHintMachinery();
void ResetHintMachinery();

}  // namespace vel
