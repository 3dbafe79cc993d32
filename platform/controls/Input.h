#pragma once
// Input injection: how tests and the backends feed the mouse and the keyboard. Each call
// queues raw input; when it reaches the front of the queue it is turned into the message a
// window gets (capture, hit test, focus, double clicks, key state, cancel mode, activation),
// so a test posts input and then runs Application().ProcessMessages().
#include <string_view>

#include "platform/controls/Controls.h"

namespace vel {

void InjectMouseMove(TPoint ScreenPos, TShiftState Shift = {});
void InjectMouseDown(TMouseButton Button, TPoint ScreenPos, TShiftState Shift = {});
void InjectMouseUp(TMouseButton Button, TPoint ScreenPos, TShiftState Shift = {});
// Move, press and release.
void InjectClick(TPoint ScreenPos, TMouseButton Button = TMouseButton::mbLeft, TShiftState Shift = {});
// Delta in wheel units (120 per notch), positive away from the user.
void InjectMouseWheel(int Delta, TPoint ScreenPos, TShiftState Shift = {});
// Key down with its modifiers held (WM_SYSKEYDOWN when Alt is among them).
void InjectKeyDown(unsigned VirtKey, TShiftState Shift = {});
void InjectKeyUp(unsigned VirtKey, TShiftState Shift = {});
// Down, the character it types (if any), up.
void InjectKey(unsigned VirtKey, TShiftState Shift = {});
// One WM_CHAR per code point of a UTF-8 text.
void InjectText(std::string_view Utf8);
// A typed character with the modifiers held (WM_SYSCHAR when Alt is among them).
void InjectChar(char32_t Ch, TShiftState Shift = {});
// The character a key types with a shift state (0 for none), as a US keyboard does.
char32_t VirtualKeyToChar(unsigned VirtKey, TShiftState Shift);

// Screen point of a control's client point (its centre by default), for clicks in tests.
TPoint ScreenPointOf(const TControl* Control);
TPoint ScreenPointOf(const TControl* Control, TPoint ClientPos);

}  // namespace vel
