#pragma once
// TControl, TWinControl, TGraphicControl and TCustomControl: the control tree, bounds with
// Align and Anchors, fonts and colours with their parent-inherited forms, focus, capture,
// mouse and keyboard messages turned into the classic events, and painting.
//
// Every message reaches a control through the virtual WndProc, which handles the mouse and
// key preprocessing and then calls the virtual Dispatch. Dispatch is the per-message switch: a
// descendant overrides it, handles the messages it cares about and passes the rest to its base
// class's Dispatch; what nobody handles ends in DefaultHandler.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/PropAccess.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Graphics.h"

namespace vel {

class TWinControl;
class TCustomForm;
class TControlCanvas;
class TBitmap;
class TPopupMenu;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum class TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum class TStyleElement { seFont, seClient, seBorder };
using TStyleElements = TSet<TStyleElement>;
enum class TBorderStyle { bsNone, bsSingle };
VEL_DECLARE_ENUM_INFO(TAlign)
VEL_DECLARE_ENUM_INFO(TAnchorKind)
VEL_DECLARE_ENUM_INFO(TBiDiMode)
// How a drag starts, and whether it drags data or docks the control.
enum class TDragMode { dmManual, dmAutomatic };
enum class TDragKind { dkDrag, dkDock };
VEL_DECLARE_ENUM_INFO(TDragMode)
VEL_DECLARE_ENUM_INFO(TDragKind)
VEL_DECLARE_ENUM_INFO(TStyleElement)
VEL_DECLARE_ENUM_INFO(TBorderStyle)

enum class TControlStyleFlag {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
    csNeedsBorderPaint,
    csParentBackground,
    csPannable,
    csAlignWithMargins,
    csGestures,
    csPaintBlackOpaqueOnGlass,
    csOverrideStylePaint
};
using TControlStyle = TSet<TControlStyleFlag>;

enum class TControlStateFlag {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking,
    csDesignerHide,
    csPanning,
    csRecreating,
    csAligning,
    csGlassPaint,
    csPrintClient
};
using TControlState = TSet<TControlStateFlag>;

// Cursors: negative numbers are the standard shapes.
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9,
                  crUpArrow = -10, crHourGlass = -11, crDrag = -12, crNoDrop = -13,
                  crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17,
                  crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22;

// Window styles (CreateParams). WS_POPUP windows are top-level: their position is on the
// desktop whatever their Parent.
enum : unsigned {
    WS_OVERLAPPED = 0x00000000,
    WS_TABSTOP = 0x00010000,
    WS_GROUP = 0x00020000,
    WS_THICKFRAME = 0x00040000,
    WS_SYSMENU = 0x00080000,
    WS_HSCROLL = 0x00100000,
    WS_VSCROLL = 0x00200000,
    WS_DLGFRAME = 0x00400000,
    WS_BORDER = 0x00800000,
    WS_CAPTION = 0x00C00000,
    WS_CLIPCHILDREN = 0x02000000,
    WS_CLIPSIBLINGS = 0x04000000,
    WS_DISABLED = 0x08000000,
    WS_VISIBLE = 0x10000000,
    WS_CHILD = 0x40000000,
    WS_POPUP = 0x80000000,
};
enum : unsigned {
    WS_EX_DLGMODALFRAME = 0x00000001,
    WS_EX_TOPMOST = 0x00000008,
    WS_EX_TRANSPARENT = 0x00000020,  // the mouse passes through (hint windows)
    WS_EX_TOOLWINDOW = 0x00000080,
    WS_EX_WINDOWEDGE = 0x00000100,
    WS_EX_CLIENTEDGE = 0x00000200,
    WS_EX_RIGHT = 0x00001000,
    WS_EX_RTLREADING = 0x00002000,
    WS_EX_LEFTSCROLLBAR = 0x00004000,
    WS_EX_STATICEDGE = 0x00020000,
};
enum : unsigned { CS_DBLCLKS = 0x0008, CS_SAVEBITS = 0x0800, CS_DROPSHADOW = 0x00020000 };

// Scroll bars of a window (WS_HSCROLL / WS_VSCROLL).
enum : int { SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3 };
enum : unsigned {
    SIF_RANGE = 0x1,
    SIF_PAGE = 0x2,
    SIF_POS = 0x4,
    SIF_DISABLENOSCROLL = 0x8,
    SIF_TRACKPOS = 0x10,
    SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS
};
struct TScrollInfo {
    unsigned fMask = SIF_ALL;
    int nMin = 0;
    int nMax = 100;
    unsigned nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

struct TCreateParams {
    std::string Caption;
    unsigned Style = 0;
    unsigned ExStyle = 0;
    unsigned WindowClassStyle = CS_DBLCLKS;
    int X = 0, Y = 0, Width = 0, Height = 0;
};

// Hint information passed with CM_HINTSHOW.
struct THintInfo {
    TControl* HintControl = nullptr;
    // A creatable THintWindow class (controls/Hints.h); nullptr for the default one.
    const TClassInfo* HintWindowClass = nullptr;
    TPoint HintPos;                          // screen
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;  // client coordinates of HintControl
    TPoint CursorPos;  // client coordinates of HintControl
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;
    void* HintData = nullptr;
};

// Minimum and maximum sizes; 0 means no limit.
class TSizeConstraints : public TPersistent {
    VEL_CLASS(TSizeConstraints)
public:
    explicit TSizeConstraints(TControl* Control) : FControl(Control) {}
    int GetMinWidth() const { return FMinWidth; }
    int GetMaxWidth() const { return FMaxWidth; }
    int GetMinHeight() const { return FMinHeight; }
    int GetMaxHeight() const { return FMaxHeight; }
    // A maximum below the minimum raises EInvalidArgument and keeps the old values.
    void SetMinWidth(int v);
    void SetMaxWidth(int v);
    void SetMinHeight(int v);
    void SetMaxHeight(int v);
    void Assign(const TPersistent* Source) override;
    // Applies the limits to a size.
    void Constrain(int& Width, int& Height) const;

private:
    void Changed();
    TControl* FControl;
    int FMinWidth = 0, FMaxWidth = 0, FMinHeight = 0, FMaxHeight = 0;
};

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta,
                                            TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, unsigned& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// The menus unit installs this so that a control can pop up its PopupMenu (a component of
// that unit) without the controls core knowing menus. Returns whether a menu was shown.
using TPopupMenuHandler = std::function<bool(TComponent* Menu, TControl* Control, TPoint ScreenPos)>;
void SetPopupMenuHandler(TPopupMenuHandler Handler);

class TControl : public TComponent {
    VEL_CLASS(TControl)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // Messages.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // Tree.
    TWinControl* GetParent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    bool HasParent() const override { return FParent != nullptr; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    // Bounds, relative to the parent's client area (to the desktop for top-level windows).
    int GetLeft() const { return FLeft; }
    int GetTop() const { return FTop; }
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    TRect GetBoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    virtual TRect GetClientRect() const;
    int GetClientWidth() const { return GetClientRect().Width(); }
    int GetClientHeight() const { return GetClientRect().Height(); }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    // Screen position of the client area's top-left corner.
    virtual TPoint GetClientOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    TRect ClientToScreen(const TRect& r) const;
    TPoint ClientToParent(TPoint p, TWinControl* AParent = nullptr) const;
    TPoint ParentToClient(TPoint p, TWinControl* AParent = nullptr) const;

    TAlign GetAlign() const { return FAlign; }
    void SetAlign(TAlign v);
    TAnchors GetAnchors() const { return FAnchors; }
    void SetAnchors(TAnchors v);
    TSizeConstraints& Constraints() { return FConstraints; }
    const TSizeConstraints& Constraints() const { return FConstraints; }

    // Visibility and state.
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible together with every parent up to a visible top-level window.
    virtual bool IsShowing() const;
    bool GetEnabled() const { return FEnabled; }
    virtual void SetEnabled(bool v);
    TControlStyle GetControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle v) { FControlStyle = v; }
    TControlState GetControlState() const { return FControlState; }
    void SetControlState(TControlState v) { FControlState = v; }

    // Text (Caption for most controls); CM_TEXTCHANGED follows a change.
    const std::string& GetText() const { return FText; }
    void SetText(const std::string& v);
    const std::string& GetCaption() const { return FText; }
    void SetCaption(const std::string& v) { SetText(v); }

    // Font and colour, with the parent-inherited forms.
    TFont& Font() { return *FFont; }
    const TFont& Font() const { return *FFont; }
    void SetFont(const TFont& f) { FFont->Assign(&f); }
    // Streaming: a value inherited from the parent is not written.
    bool IsColorStored() const { return !FParentColor; }
    bool IsFontStored() const { return !FParentFont; }
    bool IsShowHintStored() const { return !FParentShowHint; }
    bool IsBiDiModeStored() const { return !FParentBiDiMode; }
    bool IsCtl3DStored() const { return !FParentCtl3D; }
    // The same as an object property (streaming: "Font.Name").
    TFont* GetFontObject() const { return FFont.get(); }
    void SetFontObject(TFont* f) { FFont->Assign(f); }
    TSizeConstraints* GetConstraintsObject() const { return const_cast<TSizeConstraints*>(&FConstraints); }
    void SetConstraintsObject(TSizeConstraints* c) { FConstraints.Assign(c); }
    bool GetParentFont() const { return FParentFont; }
    void SetParentFont(bool v);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor v);
    bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool v);

    // Hints.
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    bool GetParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool v);

    // A TPopupMenu of the menus unit (kept as a component: cleared when it is freed).
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* v);
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor v);

    // Right-to-left.
    TBiDiMode GetBiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode v);
    bool GetParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool v);
    bool IsRightToLeft() const;
    bool UseRightToLeftAlignment() const;
    bool UseRightToLeftReading() const;
    bool UseRightToLeftScrollBar() const;

    // Dragging: the cursor shown, what a drag does and whether a press starts it.
    TCursor GetDragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor v) { FDragCursor = v; }
    TDragKind GetDragKind() const { return FDragKind; }
    void SetDragKind(TDragKind v) { FDragKind = v; }
    TDragMode GetDragMode() const { return FDragMode; }
    void SetDragMode(TDragMode v) { FDragMode = v; }

    // The 3-D border look, inherited from the parent until set (CM_CTL3DCHANGED follows).
    bool GetCtl3D() const { return FCtl3D; }
    void SetCtl3D(bool v);
    bool GetParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool v);

    TStyleElements GetStyleElements() const { return FStyleElements; }
    void SetStyleElements(TStyleElements v);

    // Scaling: bounds and font size times M / D.
    void ScaleBy(int M, int D);

    // Mouse capture: while set, every mouse message goes to this control.
    bool GetMouseCapture() const;
    void SetMouseCapture(bool v);

    // Painting.
    virtual void Invalidate();
    void Repaint();
    void Refresh() { Repaint(); }
    virtual void Update();
    void BringToFront();
    void SendToBack();
    // Renders the control as it is on screen (painting what is invalid first).
    std::unique_ptr<TBitmap> CaptureImage();

    // Events.
    void SetOnClick(TNotifyEvent e) { FOnClick = std::move(e); }
    const TNotifyEvent& GetOnClick() const { return FOnClick; }
    void SetOnDblClick(TNotifyEvent e) { FOnDblClick = std::move(e); }
    void SetOnMouseDown(TMouseEvent e) { FOnMouseDown = std::move(e); }
    void SetOnMouseUp(TMouseEvent e) { FOnMouseUp = std::move(e); }
    void SetOnMouseMove(TMouseMoveEvent e) { FOnMouseMove = std::move(e); }
    void SetOnMouseWheel(TMouseWheelEvent e) { FOnMouseWheel = std::move(e); }
    void SetOnMouseWheelUp(TMouseWheelUpDownEvent e) { FOnMouseWheelUp = std::move(e); }
    void SetOnMouseWheelDown(TMouseWheelUpDownEvent e) { FOnMouseWheelDown = std::move(e); }
    void SetOnMouseEnter(TNotifyEvent e) { FOnMouseEnter = std::move(e); }
    void SetOnMouseLeave(TNotifyEvent e) { FOnMouseLeave = std::move(e); }
    void SetOnResize(TNotifyEvent e) { FOnResize = std::move(e); }
    void SetOnContextPopup(TContextPopupEvent e) { FOnContextPopup = std::move(e); }

    // Called by the parent when its client size changed (anchors) or when the bounds were set
    // by the user (the anchor distances are remembered then).
    void UpdateAnchorRules();
    void AnchorToParent(int ParentClientWidth, int ParentClientHeight);

    // Public so that the framework's routing (and the grid) can raise them.
    virtual void Click();
    virtual void DblClick();
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);

protected:
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Resize();
    virtual void ChangeScale(int M, int D);
    virtual void Changed();
    // Called before Visible changes (to the opposite of GetVisible()).
    virtual void VisibleChanging() {}
    // For constructors of classes that start hidden (forms, popups).
    void SetVisibleSilently(bool v) { FVisible = v; }
    virtual void FontChanged();
    // The parent's font, colour, bidi mode, style elements or show-hint changed.
    virtual void ParentFontChanged();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

    // Message handlers shared by every control.
    void WMMouse(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void WMCancelMode(TMessage& Message);

    // Paints this control through its parent's window (graphic controls) or its own.
    TControlCanvas* FCanvas = nullptr;

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TControlStyle FControlStyle;
    TControlState FControlState;
    TNotifyEvent FOnClick;
    TNotifyEvent FOnDblClick;
    TMouseEvent FOnMouseDown;
    TMouseEvent FOnMouseUp;
    TMouseMoveEvent FOnMouseMove;
    TMouseWheelEvent FOnMouseWheel;
    TMouseWheelUpDownEvent FOnMouseWheelUp;
    TMouseWheelUpDownEvent FOnMouseWheelDown;
    TNotifyEvent FOnMouseEnter;
    TNotifyEvent FOnMouseLeave;
    TNotifyEvent FOnResize;
    TContextPopupEvent FOnContextPopup;

private:
    friend class TWinControl;
    void FontChangeNotify(TObject* Sender);
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TMessage& Message, TMouseButton Button);

    bool FVisible = true;
    bool FEnabled = true;
    TAlign FAlign = TAlign::alNone;
    TAnchors FAnchors{TAnchorKind::akLeft, TAnchorKind::akTop};
    TSizeConstraints FConstraints{this};
    // Anchor rules: the bounds and the parent's client size when they were last set by hand.
    TRect FAnchorBounds;
    TSize FAnchorParentSize;
    bool FAnchorValid = false;
    std::string FText;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    bool FSettingParentFont = false;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    TCursor FCursor = crDefault;
    TBiDiMode FBiDiMode = TBiDiMode::bdLeftToRight;
    bool FParentBiDiMode = true;
    TCursor FDragCursor = crDrag;
    TDragKind FDragKind = TDragKind::dkDrag;
    TDragMode FDragMode = TDragMode::dmManual;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    TStyleElements FStyleElements{TStyleElement::seFont, TStyleElement::seClient,
                                  TStyleElement::seBorder};
};

// The canvas of a control: bound to the top-level window's surface, its origin on the
// control's client area and clipped to the part of it that can be seen.
class TControlCanvas : public TCanvas {
    VEL_CLASS(TControlCanvas)
public:
    explicit TControlCanvas(TControl* Control) : FControl(Control) {}
    TControl* GetControl() const { return FControl; }
    // Binds to the surface as it is now (outside painting: the whole visible client area).
    void Bind();
    void Unbind();

private:
    TControl* FControl;
};

// The part of a control's client area that can be seen on its top-level surface, in surface
// coordinates (empty when it cannot be seen), and the offset of its client origin there.
struct TSurfaceArea {
    TWinControl* TopLevel = nullptr;
    TPoint Origin;  // client (0,0) on the surface
    TRect Visible;  // on the surface
};
TSurfaceArea GetSurfaceArea(const TControl* Control);

class TWinControl : public TControl {
    VEL_CLASS(TWinControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    void Dispatch(TMessage& Message) override;
    void WndProc(TMessage& Message) override;

    // Handle.
    HWND GetHandle();
    bool HandleAllocated() const { return FHandle != 0; }
    void HandleNeeded();
    void DestroyHandle();
    void RecreateWnd();
    unsigned GetStyle() const { return FParams.Style; }
    unsigned GetExStyle() const { return FParams.ExStyle; }
    unsigned GetWindowClassStyle() const { return FParams.WindowClassStyle; }
    // Top-level: no parent, or a popup window placed on the desktop.
    bool IsTopLevel() const;
    // Re-parents the window to the desktop (SetParent(Handle, 0)) while keeping the control
    // tree: the control becomes a top-level window at its current screen position.
    void SetDesktopParent(bool v);
    bool GetDesktopParent() const { return FDesktopParent; }

    // Children.
    int ControlCount() const { return int(FControls.size()); }
    TControl* GetControl(int Index) const { return FControls.at(std::size_t(Index)); }
    const std::vector<TControl*>& Controls() const { return FControls; }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* Control) const;
    // The child at a client point (the topmost visible one), nullptr for none.
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false) const;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    // Sends a message to every child.
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);

    // Layout.
    void DisableAlign();
    void EnableAlign();
    void Realign();
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void AdjustClientRect(TRect& Rect) const { (void)Rect; }
    TRect GetClientRect() const override;
    TPoint GetClientOrigin() const override;
    // Non-client border widths (border, edges, caption, scroll bars).
    virtual TRect GetBorderInsets() const;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Focus and tab order.
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    int GetTabOrder() const;
    void SetTabOrder(int v);
    bool GetTabStop() const { return FTabStop; }
    void SetTabStop(bool v);
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    void SetEnabled(bool v) override;
    bool IsShowing() const override;

    // Painting.
    void Invalidate() override;
    void Update() override;
    void InvalidateRect(const TRect* R, bool IncludeChildren = false);
    void ValidateRect(const TRect* R);
    bool GetUpdateRect(TRect& R) const;
    bool GetDoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool v);
    bool GetParentDoubleBuffered() const { return FParentDoubleBuffered; }
    bool IsDoubleBufferedStored() const { return !FParentDoubleBuffered; }
    void SetParentDoubleBuffered(bool v);
    // Moves the pixels of (part of) the client area by Dx, Dy and invalidates what is
    // uncovered. Returns the uncovered rectangle's bounds in UpdateRect when given.
    void ScrollWindowEx(int Dx, int Dy, const TRect* ScrollRect, const TRect* ClipRect,
                        TRect* UpdateRect, bool Invalidate = true);
    // Paints the invalid part of this window's children too (top-level only).
    void PaintPending();
    // The window's surface (top-level windows only; nullptr otherwise or before showing).
    TBitmap* GetSurface() const { return FSurface.get(); }
    // Scroll bars: the window's own WS_HSCROLL / WS_VSCROLL bars. Positions are clamped to
    // [nMin, nMax - nPage + 1] as classically; a change redraws the bar when asked.
    int SetScrollInfo(int Bar, const TScrollInfo& Info, bool Redraw);
    TScrollInfo GetScrollInfo(int Bar) const;
    // Shows or hides a bar (changes the client size and sends WM_SIZE).
    void ShowScrollBar(int Bar, bool Show);
    // Parts of a bar under a window point (window coordinates): SB_LINEUP, SB_PAGEUP, SB_THUMBTRACK,
    // SB_PAGEDOWN, SB_LINEDOWN, or -1 outside.
    int ScrollBarHitTest(int Bar, TPoint WindowPos) const;
    TRect ScrollBarRect(int Bar) const;  // window coordinates, empty when hidden
    // Control-specific data the backend keeps with a top-level window.
    void* BackendData = nullptr;

    // Keyboard events.
    void SetOnEnter(TNotifyEvent e) { FOnEnter = std::move(e); }
    void SetOnExit(TNotifyEvent e) { FOnExit = std::move(e); }
    void SetOnKeyDown(TKeyEvent e) { FOnKeyDown = std::move(e); }
    void SetOnKeyPress(TKeyPressEvent e) { FOnKeyPress = std::move(e); }
    void SetOnKeyUp(TKeyEvent e) { FOnKeyUp = std::move(e); }

    // Frees the control from a posted CM_RELEASE, after the current handler has returned.
    void Release();

    // Keyboard handling: the form's KeyPreview first, then the control's own.
    bool DoKeyDown(TMessage& Message);
    bool DoKeyPress(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    virtual void KeyDown(unsigned& Key, TShiftState Shift);
    virtual void KeyUp(unsigned& Key, TShiftState Shift);
    virtual void KeyPress(char32_t& Key);
    virtual void DoEnter();
    virtual void DoExit();

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    virtual void CreateHandle();
    // Paints the client area: TCustomControl calls Paint here.
    virtual void PaintWindow(TCanvas& Canvas);
    // Erases the background (the control's colour) unless csOpaque.
    virtual void EraseBackground(TCanvas& Canvas, const TRect& R);
    void PaintControls(TCanvas& Canvas, TControl* First);
    virtual void PaintHandler(TMessage& Message);
    // Draws the non-client part (border, edges, scroll bar area) in window coordinates.
    virtual void PaintBorder(TCanvas& Canvas);
    void ChangeScale(int M, int D) override;
    void ParentFontChanged() override;
    void Loaded() override;
    bool GetWantsKey(unsigned Mask);

    TNotifyEvent FOnEnter;
    TNotifyEvent FOnExit;
    TKeyEvent FOnKeyDown;
    TKeyPressEvent FOnKeyPress;
    TKeyEvent FOnKeyUp;

private:
    friend class TControl;
    friend class TCustomForm;
    friend class TApplication;
    friend struct TWindowManager;
    void DoAlign(TRect& Rect);
    void AlignOne(TAlign Kind, TRect& Rect);
    void WMPaint(TMessage& Message);
    void WMSize(TMessage& Message);
    void CNKeyDown(TMessage& Message);
    void UpdateSurfaceSize();
    void InvalidateNonClient();
    bool ScrollBarMouse(TMessage& Message);
    void PaintScrollBar(TCanvas& Canvas, int Bar);
    TRect ThumbRect(int Bar) const;
    void ClipChildrenAndSiblings(TCanvas& Canvas, const TSurfaceArea& Area);
    void AddInvalid(const TRect& R);
    void ClearInvalid();

    HWND FHandle = 0;
    TCreateParams FParams;
    bool FDesktopParent = false;
    std::vector<TControl*> FControls;   // z-order: last is topmost
    std::vector<TWinControl*> FTabList;  // tab order
    bool FTabStop = false;
    int FAlignLevel = 0;
    bool FDoubleBuffered = false;
    bool FParentDoubleBuffered = true;
    // Invalid region in client coordinates: a few rectangles, merged into their bounds when
    // there would be too many.
    std::vector<TRect> FInvalid;
    std::unique_ptr<TBitmap> FSurface;
    bool FInPaint = false;
    TScrollInfo FScroll[2];
    int FScrollDragBar = -1;  // the bar whose thumb is being dragged
    int FScrollDragOffset = 0;
};

class TGraphicControl : public TControl {
    VEL_CLASS(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas& Canvas();

protected:
    void Dispatch(TMessage& Message) override;
    virtual void Paint() {}
    friend class TWinControl;
};

class TCustomControl : public TWinControl {
    VEL_CLASS(TCustomControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas& Canvas();

protected:
    void PaintWindow(TCanvas& Canvas) override;
    virtual void Paint() {}
};

// Free functions in the classic style.
TCustomForm* GetParentForm(const TControl* Control, bool TopForm = true);
// The control holding the mouse capture (a graphic control can hold it through its parent).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
HWND GetCapture();
HWND SetCapture(HWND Wnd);
bool ReleaseCapture();
HWND GetFocus();
// Focuses the window directly (no enter/exit bookkeeping), as the API call does.
HWND SetFocus(HWND Wnd);
// The windowed control under a screen point, honouring top-level z-order and visibility;
// WS_EX_TRANSPARENT windows are passed through.
TWinControl* FindVCLWindow(TPoint ScreenPos);
TControl* FindDragTarget(TPoint ScreenPos, bool AllowDisabled);
HWND WindowFromPoint(TPoint ScreenPos);
bool InvalidateRect(HWND Wnd, const TRect* R, bool Erase);
bool ValidateRect(HWND Wnd, const TRect* R);
bool UpdateWindow(HWND Wnd);
bool GetClientRect(HWND Wnd, TRect& R);
bool GetWindowRect(HWND Wnd, TRect& R);
bool ClientToScreen(HWND Wnd, TPoint& P);
bool ScreenToClient(HWND Wnd, TPoint& P);
bool IsWindowVisible(HWND Wnd);
bool IsWindowEnabled(HWND Wnd);
bool EnableWindow(HWND Wnd, bool Enable);
HWND SetParent(HWND Child, HWND NewParent);
HWND GetParent(HWND Wnd);
TPoint GetCursorPos();
void SetCursorPos(TPoint P);
// The control under the mouse (the last one sent CM_MOUSEENTER).
TControl* GetMouseControl();
int SetScrollInfo(HWND Wnd, int Bar, const TScrollInfo& Info, bool Redraw);
bool GetScrollInfo(HWND Wnd, int Bar, TScrollInfo& Info);
int SetScrollPos(HWND Wnd, int Bar, int Pos, bool Redraw);
int GetScrollPos(HWND Wnd, int Bar);
bool SetScrollRange(HWND Wnd, int Bar, int Min, int Max, bool Redraw);
bool ShowScrollBar(HWND Wnd, int Bar, bool Show);
// Top-level windows in z-order, topmost first.
std::vector<TWinControl*> GetTopLevelWindows();

}  // namespace vel
