#pragma once
// Window messages with their classic numbers, the records that decode them, virtual-key codes
// and the shift state. Controls dispatch TMessage; a handler decodes it with the record of its
// message (TWMKey key(msg)) and writes its answer into msg.Result.
#include <cstdint>

#include "platform/rtl/TSet.h"

namespace vel {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
// A window handle: 0 is "none" (and the desktop where a parent is expected).
using HWND = std::uintptr_t;
using UINT = unsigned;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    int WParamLo() const { return int(WParam & 0xFFFF); }
    int WParamHi() const { return int((WParam >> 16) & 0xFFFF); }
    int LParamLo() const { return int(LParam & 0xFFFF); }
    int LParamHi() const { return int((std::uintptr_t(LParam) >> 16) & 0xFFFF); }
};

// A queued message as PeekMessage hands it out.
struct TMsg {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::uint64_t time = 0;  // tick count when it was queued
    int ptX = 0, ptY = 0;    // cursor position in screen coordinates
};

constexpr LPARAM MakeLParam(int lo, int hi) {
    return LPARAM(std::uint32_t((std::uint32_t(hi) & 0xFFFF) << 16 | (std::uint32_t(lo) & 0xFFFF)));
}
constexpr WPARAM MakeWParam(int lo, int hi) { return WPARAM(MakeLParam(lo, hi)); }
// Signed halves, as coordinates packed into a parameter are.
constexpr int GetXLParam(LPARAM l) { return std::int16_t(std::uint16_t(l & 0xFFFF)); }
constexpr int GetYLParam(LPARAM l) { return std::int16_t(std::uint16_t((std::uint64_t(l) >> 16) & 0xFFFF)); }

// Window messages.
enum : UINT {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    WM_SETREDRAW = 0x000B,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_GETTEXTLENGTH = 0x000E,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_SYSCOLORCHANGE = 0x0015,
    WM_SHOWWINDOW = 0x0018,
    WM_SETTINGCHANGE = 0x001A,
    WM_ACTIVATEAPP = 0x001C,
    WM_CANCELMODE = 0x001F,
    WM_SETCURSOR = 0x0020,
    WM_MOUSEACTIVATE = 0x0021,
    WM_GETMINMAXINFO = 0x0024,
    WM_NEXTDLGCTL = 0x0028,
    WM_SETFONT = 0x0030,
    WM_GETFONT = 0x0031,
    WM_WINDOWPOSCHANGING = 0x0046,
    WM_WINDOWPOSCHANGED = 0x0047,
    WM_NOTIFY = 0x004E,
    WM_HELP = 0x0053,
    WM_CONTEXTMENU = 0x007B,
    WM_STYLECHANGED = 0x007D,
    WM_NCCALCSIZE = 0x0083,
    WM_NCHITTEST = 0x0084,
    WM_NCPAINT = 0x0085,
    WM_NCACTIVATE = 0x0086,
    WM_GETDLGCODE = 0x0087,
    WM_NCMOUSEMOVE = 0x00A0,
    WM_NCLBUTTONDOWN = 0x00A1,
    WM_NCLBUTTONUP = 0x00A2,
    WM_NCLBUTTONDBLCLK = 0x00A3,
    WM_KEYFIRST = 0x0100,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_SYSCHAR = 0x0106,
    WM_KEYLAST = 0x0109,
    WM_IME_STARTCOMPOSITION = 0x010D,
    WM_IME_ENDCOMPOSITION = 0x010E,
    WM_IME_COMPOSITION = 0x010F,
    WM_COMMAND = 0x0111,
    WM_SYSCOMMAND = 0x0112,
    WM_TIMER = 0x0113,
    WM_HSCROLL = 0x0114,
    WM_VSCROLL = 0x0115,
    WM_INITMENUPOPUP = 0x0117,
    WM_MENUSELECT = 0x011F,
    WM_ENTERIDLE = 0x0121,
    WM_MOUSEFIRST = 0x0200,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209,
    WM_MOUSEWHEEL = 0x020A,
    WM_MOUSEHWHEEL = 0x020E,
    WM_MOUSELAST = 0x020E,
    WM_PARENTNOTIFY = 0x0210,
    WM_ENTERMENULOOP = 0x0211,
    WM_EXITMENULOOP = 0x0212,
    WM_SIZING = 0x0214,
    WM_CAPTURECHANGED = 0x0215,
    WM_MOUSEHOVER = 0x02A1,
    WM_MOUSELEAVE = 0x02A3,
    WM_CUT = 0x0300,
    WM_COPY = 0x0301,
    WM_PASTE = 0x0302,
    WM_CLEAR = 0x0303,
    WM_UNDO = 0x0304,
    WM_THEMECHANGED = 0x031A,
    WM_USER = 0x0400,
    WM_APP = 0x8000,
};

// Edit and button control messages.
enum : UINT {
    EM_GETSEL = 0x00B0,
    EM_SETSEL = 0x00B1,
    EM_GETRECT = 0x00B2,
    EM_SETRECT = 0x00B3,
    EM_SETRECTNP = 0x00B4,
    EM_SCROLLCARET = 0x00B7,
    EM_GETMODIFY = 0x00B8,
    EM_SETMODIFY = 0x00B9,
    EM_GETLINECOUNT = 0x00BA,
    EM_REPLACESEL = 0x00C2,
    EM_LIMITTEXT = 0x00C5,
    EM_CANUNDO = 0x00C6,
    EM_UNDO = 0x00C7,
    EM_SETPASSWORDCHAR = 0x00CC,
    EM_EMPTYUNDOBUFFER = 0x00CD,
    EM_SETREADONLY = 0x00CF,
    EM_SETMARGINS = 0x00D3,
    BM_GETCHECK = 0x00F0,
    BM_SETCHECK = 0x00F1,
    BM_GETSTATE = 0x00F2,
    BM_SETSTATE = 0x00F3,
    BM_CLICK = 0x00F5,
};

// The framework's own notifications.
constexpr UINT CM_BASE = 0xB000;
enum : UINT {
    CM_ACTIVATE = CM_BASE + 0,
    CM_DEACTIVATE = CM_BASE + 1,
    CM_GOTFOCUS = CM_BASE + 2,
    CM_LOSTFOCUS = CM_BASE + 3,
    CM_CANCELMODE = CM_BASE + 4,  // LParam: the control that caused it (TControl*)
    CM_DIALOGKEY = CM_BASE + 5,
    CM_DIALOGCHAR = CM_BASE + 6,
    CM_FOCUSCHANGED = CM_BASE + 7,  // LParam: the newly focused control
    CM_PARENTFONTCHANGED = CM_BASE + 8,
    CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_HITTEST = CM_BASE + 10,
    CM_VISIBLECHANGED = CM_BASE + 11,
    CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 13,
    CM_FONTCHANGED = CM_BASE + 14,
    CM_CURSORCHANGED = CM_BASE + 15,
    CM_CTL3DCHANGED = CM_BASE + 16,
    CM_PARENTCTL3DCHANGED = CM_BASE + 17,
    CM_TEXTCHANGED = CM_BASE + 18,
    CM_MOUSEENTER = CM_BASE + 19,
    CM_MOUSELEAVE = CM_BASE + 20,
    CM_MENUCHANGED = CM_BASE + 21,
    CM_APPKEYDOWN = CM_BASE + 22,
    CM_APPSYSCOMMAND = CM_BASE + 23,
    CM_BUTTONPRESSED = CM_BASE + 24,
    CM_SHOWINGCHANGED = CM_BASE + 25,
    CM_ENTER = CM_BASE + 26,
    CM_EXIT = CM_BASE + 27,
    CM_DESIGNHITTEST = CM_BASE + 28,
    CM_ICONCHANGED = CM_BASE + 29,
    CM_WANTSPECIALKEY = CM_BASE + 30,
    CM_INVOKEHELP = CM_BASE + 31,
    CM_WINDOWHOOK = CM_BASE + 32,
    CM_RELEASE = CM_BASE + 33,
    CM_SHOWHINTCHANGED = CM_BASE + 34,
    CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
    CM_SYSCOLORCHANGE = CM_BASE + 36,
    CM_WININICHANGE = CM_BASE + 37,
    CM_FONTCHANGE = CM_BASE + 38,
    CM_TIMECHANGE = CM_BASE + 39,
    CM_TABSTOPCHANGED = CM_BASE + 40,
    CM_UIACTIVATE = CM_BASE + 41,
    CM_UIDEACTIVATE = CM_BASE + 42,
    CM_DOCWINDOWACTIVATE = CM_BASE + 43,
    CM_CONTROLLISTCHANGE = CM_BASE + 44,
    CM_GETDATALINK = CM_BASE + 45,
    CM_CHILDKEY = CM_BASE + 46,
    CM_DRAG = CM_BASE + 47,
    CM_HINTSHOW = CM_BASE + 48,  // LParam: THintInfo*
    CM_DIALOGHANDLE = CM_BASE + 49,
    CM_ISTOOLCONTROL = CM_BASE + 50,
    CM_RECREATEWND = CM_BASE + 51,
    CM_INVALIDATE = CM_BASE + 52,
    CM_SYSFONTCHANGED = CM_BASE + 53,
    CM_CONTROLCHANGE = CM_BASE + 54,
    CM_CHANGED = CM_BASE + 55,
    CM_DOCKCLIENT = CM_BASE + 56,
    CM_UNDOCKCLIENT = CM_BASE + 57,
    CM_FLOAT = CM_BASE + 58,
    CM_BORDERCHANGED = CM_BASE + 59,
    CM_BIDIMODECHANGED = CM_BASE + 60,
    CM_PARENTBIDIMODECHANGED = CM_BASE + 61,
    CM_ALLCHILDRENFLIPPED = CM_BASE + 62,
    CM_ACTIONUPDATE = CM_BASE + 63,
    CM_ACTIONEXECUTE = CM_BASE + 64,
    CM_HINTSHOWPAUSE = CM_BASE + 65,
    CM_DOCKNOTIFICATION = CM_BASE + 66,
    CM_MOUSEWHEEL = CM_BASE + 67,  // WParam: shift mask | delta << 16, LParam: screen point
    CM_ISSHORTCUT = CM_BASE + 68,
    CM_INVALIDATEDOCKHOST = CM_BASE + 70,
    CM_SETACTIVECONTROL = CM_BASE + 71,
    CM_POPUPHWNDDESTROY = CM_BASE + 72,
    CM_CREATEPOPUP = CM_BASE + 73,
    CM_DESTROYHANDLE = CM_BASE + 74,
    CM_MOUSEACTIVATE = CM_BASE + 75,
    CM_CONTROLLISTCHANGING = CM_BASE + 76,
    CM_BUFFEREDPRINTCLIENT = CM_BASE + 77,
    CM_UNTHEMECONTROL = CM_BASE + 78,
    CM_DOUBLEBUFFEREDCHANGED = CM_BASE + 79,
    CM_PARENTDOUBLEBUFFEREDCHANGED = CM_BASE + 80,
    CM_STYLECHANGED = CM_BASE + 81,
    CM_PARENTSTYLEELEMENTSCHANGED = CM_BASE + 82,
};

// Notifications reflected back to the control that caused them.
constexpr UINT CN_BASE = 0xBC00;
enum : UINT {
    CN_COMMAND = CN_BASE + WM_COMMAND,
    CN_NOTIFY = CN_BASE + WM_NOTIFY,
    CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
    CN_KEYUP = CN_BASE + WM_KEYUP,
    CN_CHAR = CN_BASE + WM_CHAR,
    CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
    CN_SYSCHAR = CN_BASE + WM_SYSCHAR,
};

// Mouse key flags of mouse messages.
enum : unsigned {
    MK_LBUTTON = 0x0001,
    MK_RBUTTON = 0x0002,
    MK_SHIFT = 0x0004,
    MK_CONTROL = 0x0008,
    MK_MBUTTON = 0x0010,
    MK_ALT = 0x0020,  // ours: Alt has no flag classically, but the backends know it
};

// WM_SIZE kinds, WM_GETDLGCODE answers, hit-test codes, scroll codes, WM_ACTIVATE states.
enum : unsigned { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };
enum : unsigned {
    DLGC_WANTARROWS = 0x0001,
    DLGC_WANTTAB = 0x0002,
    DLGC_WANTALLKEYS = 0x0004,
    DLGC_WANTMESSAGE = 0x0004,
    DLGC_HASSETSEL = 0x0008,
    DLGC_DEFPUSHBUTTON = 0x0010,
    DLGC_UNDEFPUSHBUTTON = 0x0020,
    DLGC_RADIOBUTTON = 0x0040,
    DLGC_WANTCHARS = 0x0080,
    DLGC_STATIC = 0x0100,
    DLGC_BUTTON = 0x2000,
};
enum : int {
    HTERROR = -2,
    HTTRANSPARENT = -1,
    HTNOWHERE = 0,
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTHSCROLL = 6,
    HTVSCROLL = 7,
    HTBORDER = 18,
};
enum : unsigned {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
};
enum : unsigned { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };
constexpr int WHEEL_DELTA = 120;

// Virtual-key codes.
enum : unsigned {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_CANCEL = 0x03,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SELECT = 0x29,
    VK_EXECUTE = 0x2B,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_HELP = 0x2F,
    // '0'..'9' and 'A'..'Z' are their ASCII codes.
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F2 = 0x71,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F5 = 0x74,
    VK_F6 = 0x75,
    VK_F7 = 0x76,
    VK_F8 = 0x77,
    VK_F9 = 0x78,
    VK_F10 = 0x79,
    VK_F11 = 0x7A,
    VK_F12 = 0x7B,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1,
    VK_LCONTROL = 0xA2,
    VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4,
    VK_RMENU = 0xA5,
};

// Bit 29 of a key message's key data: Alt was held.
constexpr LPARAM AltMask = 0x20000000;

enum class TShiftStateFlag {
    ssShift,
    ssAlt,
    ssCtrl,
    ssLeft,
    ssRight,
    ssMiddle,
    ssDouble,
    ssTouch,
    ssPen,
    ssCommand,
    ssHorizontal
};
using TShiftState = TSet<TShiftStateFlag>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state of a key message: Shift and Ctrl from the key state, Alt from the key data.
TShiftState KeyDataToShiftState(LPARAM keyData);
// Shift state of a mouse message's key flags (Alt from the key state).
TShiftState KeysToShiftState(unsigned keys);
// The current shift state from the key state (GetKeyState).
TShiftState KeyboardStateToShiftState();
unsigned ShiftStateToKeys(TShiftState shift);

class TControl;
class TWinControl;

// ---- Message records. Each decodes a TMessage; a handler writes its answer into Result of
// the TMessage it was given.

struct TWMKey {  // WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYS*, CN_*, CM_DIALOGKEY, CM_DIALOGCHAR
    UINT Msg;
    unsigned CharCode;  // virtual key, or the character's code point for WM_CHAR
    LPARAM KeyData;
    explicit TWMKey(const TMessage& m) : Msg(m.Msg), CharCode(unsigned(m.WParam)), KeyData(m.LParam) {}
};
using TWMChar = TWMKey;
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TCMDialogKey = TWMKey;

struct TWMMouse {  // WM_MOUSEMOVE, WM_xBUTTONDOWN/UP/DBLCLK
    UINT Msg;
    unsigned Keys;
    int XPos, YPos;  // client coordinates
    explicit TWMMouse(const TMessage& m)
        : Msg(m.Msg), Keys(unsigned(m.WParam)), XPos(GetXLParam(m.LParam)), YPos(GetYLParam(m.LParam)) {}
};
using TWMLButtonDown = TWMMouse;
using TWMMouseMove = TWMMouse;

struct TWMMouseWheel {  // WM_MOUSEWHEEL, WM_MOUSEHWHEEL
    UINT Msg;
    unsigned Keys;
    int WheelDelta;
    int XPos, YPos;  // screen coordinates
    explicit TWMMouseWheel(const TMessage& m)
        : Msg(m.Msg), Keys(unsigned(m.WParam & 0xFFFF)),
          WheelDelta(std::int16_t(std::uint16_t((m.WParam >> 16) & 0xFFFF))),
          XPos(GetXLParam(m.LParam)), YPos(GetYLParam(m.LParam)) {}
};

struct TCMMouseWheel {  // CM_MOUSEWHEEL: the framework's form, with a shift state
    TShiftState ShiftState;
    int WheelDelta;
    int XPos, YPos;  // screen coordinates
    explicit TCMMouseWheel(const TMessage& m)
        : ShiftState(TShiftState::FromMask(m.WParam & 0xFFFF)),
          WheelDelta(std::int16_t(std::uint16_t((m.WParam >> 16) & 0xFFFF))),
          XPos(GetXLParam(m.LParam)), YPos(GetYLParam(m.LParam)) {}
};

struct TWMSize {
    unsigned SizeType;
    int Width, Height;  // client size
    explicit TWMSize(const TMessage& m)
        : SizeType(unsigned(m.WParam)), Width(m.LParamLo()), Height(m.LParamHi()) {}
};

struct TWMMove {
    int XPos, YPos;
    explicit TWMMove(const TMessage& m) : XPos(GetXLParam(m.LParam)), YPos(GetYLParam(m.LParam)) {}
};

struct TWMSetFocus {  // WM_SETFOCUS and WM_KILLFOCUS: the other window of the change
    HWND FocusedWnd;
    explicit TWMSetFocus(const TMessage& m) : FocusedWnd(HWND(m.WParam)) {}
};
using TWMKillFocus = TWMSetFocus;

struct TWMTimer {
    WPARAM TimerID;
    explicit TWMTimer(const TMessage& m) : TimerID(m.WParam) {}
};

struct TWMScroll {  // WM_HSCROLL, WM_VSCROLL
    unsigned ScrollCode;
    int Pos;
    HWND ScrollBar;
    explicit TWMScroll(const TMessage& m)
        : ScrollCode(unsigned(m.WParamLo())), Pos(std::int16_t(m.WParamHi())), ScrollBar(HWND(m.LParam)) {}
};

struct TWMSetCursor {
    HWND CursorWnd;
    int HitTest;
    UINT MouseMsg;
    explicit TWMSetCursor(const TMessage& m)
        : CursorWnd(HWND(m.WParam)), HitTest(std::int16_t(m.LParamLo())), MouseMsg(UINT(m.LParamHi())) {}
};

struct TWMContextMenu {  // screen position; -1,-1 when raised from the keyboard
    HWND hWnd;
    int XPos, YPos;
    explicit TWMContextMenu(const TMessage& m)
        : hWnd(HWND(m.WParam)), XPos(GetXLParam(m.LParam)), YPos(GetYLParam(m.LParam)) {}
};

struct TWMNCHitTest {  // screen position
    int XPos, YPos;
    explicit TWMNCHitTest(const TMessage& m) : XPos(GetXLParam(m.LParam)), YPos(GetYLParam(m.LParam)) {}
};

struct TCMCancelMode {
    TControl* Sender;
    explicit TCMCancelMode(const TMessage& m) : Sender(reinterpret_cast<TControl*>(m.LParam)) {}
};

struct TCMFocusChanged {
    TWinControl* Sender;
    explicit TCMFocusChanged(const TMessage& m) : Sender(reinterpret_cast<TWinControl*>(m.LParam)) {}
};

struct TWMActivate {
    unsigned Active;  // WA_*
    HWND ActiveWindow;
    explicit TWMActivate(const TMessage& m) : Active(unsigned(m.WParamLo())), ActiveWindow(HWND(m.LParam)) {}
};

// Builders for the messages input produces.
TMessage MakeMouseMessage(UINT msg, unsigned keys, int x, int y);
TMessage MakeKeyMessage(UINT msg, unsigned charCode, LPARAM keyData = 0);
TMessage MakeWheelMessage(UINT msg, unsigned keys, int delta, int screenX, int screenY);

}  // namespace vel
