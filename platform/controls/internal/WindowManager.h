#pragma once
// Internal: the process-wide window state behind the API functions (handles, queue, timers,
// focus, capture, key state, top-level z-order). Not for use outside platform/controls and
// platform/backends.
#include <array>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <vector>

#include "platform/controls/Application.h"
#include "platform/controls/Controls.h"

namespace vel {

struct TWindowEntry {
    TWinControl* Control = nullptr;
    TWndMethod Proc;  // for AllocateHWnd windows
};

enum class TRawKind { None, Mouse, Key };

struct TQueuedMessage {
    TMsg Msg;
    TRawKind Raw = TRawKind::None;
    TShiftState Modifiers;  // raw input: the modifier keys held with it
};

struct TTimerEntry {
    HWND Wnd = 0;
    WPARAM ID = 0;
    unsigned Interval = 0;
    std::uint64_t Due = 0;
};

struct TWindowManager {
    std::unordered_map<HWND, TWindowEntry> Windows;
    HWND NextHandle = 0x1000;
    std::deque<TQueuedMessage> Queue;
    std::vector<TTimerEntry> Timers;
    // Top-level windows in z-order, back() is the topmost.
    std::vector<TWinControl*> TopLevels;
    // Windows with a non-empty invalid region.
    std::vector<TWinControl*> PaintPending;
    std::array<std::uint8_t, 256> KeyState{};
    HWND Focus = 0;
    TControl* CaptureControl = nullptr;
    TPoint CursorPos;
    TMsg LastMsg;
    // Double-click detection.
    HWND LastClickWnd = 0;
    UINT LastClickMsg = 0;
    std::uint64_t LastClickTime = 0;
    TPoint LastClickPos;
    bool LastClickWasDouble = false;
    // The control under the mouse (CM_MOUSEENTER / CM_MOUSELEAVE).
    TControl* MouseControl = nullptr;
    bool Quit = false;

    void AddPaintPending(TWinControl* w);
    void RemovePaintPending(TWinControl* w);
    void ControlDestroyed(TControl* c);
    void BringTopLevelToFront(TWinControl* w);
};

TWindowManager& WindowManager();

// Turns queued raw input into a message for its window (capture, hit test, focus, double
// clicks, key state, cancel mode). Returns false when nobody can take it.
bool ResolveRawInput(TQueuedMessage& Q);

}  // namespace vel
