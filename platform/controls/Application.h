#pragma once
// TApplication: the message queue, timers, the input state, idle and modal loops.
//
// One queue serves the process (everything runs on the GUI thread). Posted messages and
// injected input share it in order; WM_PAINT (for windows with an invalid region) and WM_TIMER
// (for due timers) are produced only when nothing else is queued, as classically. Timers run on
// the application clock (rtl/Clock.h), so under a virtual clock a timer fires only once the
// clock has been advanced past its interval and messages are processed.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/Strings.h"
#include "platform/controls/Messages.h"

namespace vel {

class TWinControl;
class TCustomForm;
class TControl;

// PeekMessage removal flags.
enum : UINT { PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001, PM_NOYIELD = 0x0002 };

using TWndMethod = std::function<void(TMessage&)>;
using TTimerProc = std::function<void()>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TMessageEvent = std::function<void(TMsg& Msg, bool& Handled)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;
// Called when a modal loop has nothing left to process and nothing can arrive (the offscreen
// backend under a virtual clock): the test's stand-in for the user. It should end the loop by
// setting the form's ModalResult; if it does not, the loop ends with mrCancel.
using TModalResponder = std::function<void(TCustomForm& Form)>;
// Units of the framework (open menus, shortcuts of popup menus) see each message taken from the
// queue before it is dispatched; a hook that returns true has consumed it. Key identifies the
// hook for removal.
using TMessageHook = std::function<bool(TMsg& Msg)>;
void AddMessageHook(const void* Key, TMessageHook Hook);
void RemoveMessageHook(const void* Key);

// ---- Windows: handles and the window procedures behind them.

// A handle whose messages go to Proc (timers, hidden notification windows).
HWND AllocateHWnd(TWndMethod Proc);
void DeallocateHWnd(HWND Wnd);
bool IsWindow(HWND Wnd);
// The windowed control behind a handle, nullptr for none or for an AllocateHWnd window.
TWinControl* FindControl(HWND Wnd);

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// False when the window does not exist. Wnd 0 posts a thread message (seen by OnMessage).
bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// Wnd 0 with Min = Max = 0 matches everything.
bool PeekMessage(TMsg& Msg, HWND Wnd, UINT MsgFilterMin, UINT MsgFilterMax, UINT RemoveMsg);
LRESULT DispatchMessage(const TMsg& Msg);
void PostQuitMessage(int ExitCode);
// Time and cursor position of the message last taken from the queue.
std::uint64_t GetMessageTime();
TMsg GetLastMessage();

// Timers: a due timer yields WM_TIMER (WParam = ID) to its window, at most once per pass, then
// waits a whole interval again from the time it was delivered.
WPARAM SetTimer(HWND Wnd, WPARAM IDEvent, UINT Elapse);
bool KillTimer(HWND Wnd, WPARAM IDEvent);

// ---- Input state.
// High bit (negative result) while down; bit 0 toggles with each press (Caps Lock...).
std::int16_t GetKeyState(int VirtKey);
std::int16_t GetAsyncKeyState(int VirtKey);
void SetKeyDown(int VirtKey, bool Down);  // for backends and tests
void ClearKeyboardState();

class TApplication : public TComponent {
    VEL_CLASS(TApplication)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // The queue.
    // Takes and dispatches one message; false when there was none.
    bool ProcessMessage();
    void ProcessMessages();
    // One message, or the idle step when there is none (which may wait for input or a timer).
    void HandleMessage();
    // Runs until Terminate. Under the offscreen backend the loop also ends when nothing is
    // left to do and nothing can arrive (virtual clock), rather than hang.
    void Run();
    void Terminate();
    bool GetTerminated() const { return FTerminated; }
    void SetTerminated(bool v) { FTerminated = v; }

    // Idle handling: OnIdle runs when the queue is empty; Done (default true) lets the loop wait.
    void Idle();
    // Waits for a message, a due timer or native input. False when nothing can ever come.
    bool WaitMessage();
    // Any message waiting (posted, input, paint or due timer)?
    bool HasPendingMessages() const;

    int GetModalLevel() const { return FModalLevel; }
    void ModalStarted() { ++FModalLevel; }
    void ModalFinished() { --FModalLevel; }
    void SetModalResponder(TModalResponder r) { FModalResponder = std::move(r); }
    const TModalResponder& GetModalResponder() const { return FModalResponder; }

    TCustomForm* GetMainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* f) { FMainForm = f; }
    // Creates a form owned by the application; the first becomes the main form.
    template <typename T>
    T* CreateForm() {
        T* f = new T(this);
        if (!FMainForm) FMainForm = f;
        return f;
    }

    // Hints: timing in milliseconds and the colour of the hint window.
    int GetHintPause() const { return FHintPause; }
    void SetHintPause(int v) { FHintPause = v; }
    int GetHintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int v) { FHintShortPause = v; }
    int GetHintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int v) { FHintHidePause = v; }
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool v) { FShowHint = v; }
    int GetHintColor() const { return FHintColor; }
    void SetHintColor(int v) { FHintColor = v; }
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& v);
    // Hides the hint window and forgets the hint control (controls/Hints.cpp).
    void CancelHint();

    std::string GetExeName() const;
    const std::string& GetTitle() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    bool GetActive() const { return FActive; }

    // Passes the exception in flight to OnException; without one it goes on to the caller of
    // ProcessMessage(s) (Run reports it with ShowException and keeps running). EAbort is silent.
    void HandleException(TObject* Sender);
    void ShowException(const std::exception& E);

    void SetOnIdle(TIdleEvent e) { FOnIdle = std::move(e); }
    const TIdleEvent& GetOnIdle() const { return FOnIdle; }
    void SetOnMessage(TMessageEvent e) { FOnMessage = std::move(e); }
    void SetOnException(TExceptionEvent e) { FOnException = std::move(e); }
    void SetOnHint(TNotifyEvent e) { FOnHint = std::move(e); }

    // Back to a fresh state between tests: empties the queue, timers, key state, capture and
    // focus, forgets the hint settings and the modal responder.
    void Reset();

    // Forms notify the application about modality and freeing.
    void FormDestroyed(TCustomForm* f);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FTerminated = false;
    int FModalLevel = 0;
    TCustomForm* FMainForm = nullptr;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
    bool FShowHint = true;
    int FHintColor;
    std::string FHint;
    std::string FTitle;
    bool FActive = true;
    TIdleEvent FOnIdle;
    TMessageEvent FOnMessage;
    TExceptionEvent FOnException;
    TNotifyEvent FOnHint;
    TModalResponder FModalResponder;
};

// The process's application object (created on first use).
TApplication& Application();

class TTimer : public TComponent {
    VEL_CLASS(TTimer)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool v);
    unsigned GetInterval() const { return FInterval; }
    void SetInterval(unsigned v);
    const TNotifyEvent& GetOnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent e);

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& Msg);
    HWND FWindowHandle = 0;
    unsigned FInterval = 1000;
    bool FEnabled = true;
    TNotifyEvent FOnTimer;
};

}  // namespace vel
