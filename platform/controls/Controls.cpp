#include "platform/controls/Controls.h"

#include <algorithm>

#include "platform/classes/TypInfo.h"
#include "platform/controls/Application.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/SystemProfile.h"
#include "platform/controls/WindowBackend.h"
#include "platform/controls/internal/WindowManager.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CLASS(TSizeConstraints, TPersistent)
VEL_DEFINE_CLASS(TControl, TComponent)
VEL_DEFINE_CLASS(TControlCanvas, TCanvas)

VEL_ENUM_INFO(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
VEL_ENUM_INFO(TAnchorKind, akLeft, akTop, akRight, akBottom)
VEL_ENUM_INFO(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)
VEL_ENUM_INFO(TDragMode, dmManual, dmAutomatic)
VEL_ENUM_INFO(TDragKind, dkDrag, dkDock)
VEL_ENUM_INFO(TStyleElement, seFont, seClient, seBorder)
VEL_ENUM_INFO(TBorderStyle, bsNone, bsSingle)

VEL_PUBLISHED(TSizeConstraints) {
    Prop("MaxHeight", &T::GetMaxHeight, &T::SetMaxHeight, 0);
    Prop("MaxWidth", &T::GetMaxWidth, &T::SetMaxWidth, 0);
    Prop("MinHeight", &T::GetMinHeight, &T::SetMinHeight, 0);
    Prop("MinWidth", &T::GetMinWidth, &T::SetMinWidth, 0);
}

VEL_PUBLISHED(TControl) {
    Prop("Left", &T::GetLeft, &T::SetLeft, 0);
    Prop("Top", &T::GetTop, &T::SetTop, 0);
    Prop("Width", &T::GetWidth, &T::SetWidth, 0);
    Prop("Height", &T::GetHeight, &T::SetHeight, 0);
    Prop("Align", &T::GetAlign, &T::SetAlign, TAlign::alNone);
    Prop("Anchors", &T::GetAnchors, &T::SetAnchors, TAnchors{TAnchorKind::akLeft, TAnchorKind::akTop});
    Prop("Constraints", &T::GetConstraintsObject, &T::SetConstraintsObject);
    Prop("Caption", &T::GetCaption, &T::SetCaption).Default(std::string());
    Prop("ParentColor", &T::GetParentColor, &T::SetParentColor, true);
    Color("Color", &T::GetColor, &T::SetColor).Stored(&T::IsColorStored);
    Prop("ParentFont", &T::GetParentFont, &T::SetParentFont, true);
    Prop("Font", &T::GetFontObject, &T::SetFontObject).Stored(&T::IsFontStored);
    Prop("Hint", &T::GetHint, &T::SetHint).Default(std::string());
    Prop("ParentShowHint", &T::GetParentShowHint, &T::SetParentShowHint, true);
    Prop("ShowHint", &T::GetShowHint, &T::SetShowHint).Stored(&T::IsShowHintStored);
    Prop("PopupMenu", &T::GetPopupMenu, &T::SetPopupMenu);
    Prop("Cursor", &T::GetCursor, &T::SetCursor, crDefault);
    Prop("ParentBiDiMode", &T::GetParentBiDiMode, &T::SetParentBiDiMode, true);
    Prop("BiDiMode", &T::GetBiDiMode, &T::SetBiDiMode).Stored(&T::IsBiDiModeStored);
    Prop("DragCursor", &T::GetDragCursor, &T::SetDragCursor, crDrag);
    Prop("DragKind", &T::GetDragKind, &T::SetDragKind, TDragKind::dkDrag);
    Prop("DragMode", &T::GetDragMode, &T::SetDragMode, TDragMode::dmManual);
    Prop("StyleElements", &T::GetStyleElements, &T::SetStyleElements,
         TStyleElements{TStyleElement::seFont, TStyleElement::seClient, TStyleElement::seBorder});
    Prop("Enabled", &T::GetEnabled, &T::SetEnabled, true);
    Prop("Visible", &T::GetVisible, &T::SetVisible, true);
}

namespace {
TPopupMenuHandler& PopupHandler() {
    static TPopupMenuHandler h;
    return h;
}

int MulDivRound(int a, int m, int d) {
    if (d == 0) return a;
    long long p = (long long)a * m;
    long long half = (d > 0 ? d : -d) / 2;
    return int(p >= 0 ? (p + half) / d : (p - half) / d);
}
}  // namespace

void SetPopupMenuHandler(TPopupMenuHandler Handler) { PopupHandler() = std::move(Handler); }

// ---- Shift states.

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(TShiftStateFlag::ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(TShiftStateFlag::ssCtrl);
    if (keyData & AltMask) s.Include(TShiftStateFlag::ssAlt);
    return s;
}

TShiftState KeysToShiftState(unsigned keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s.Include(TShiftStateFlag::ssShift);
    if (keys & MK_CONTROL) s.Include(TShiftStateFlag::ssCtrl);
    if (keys & MK_LBUTTON) s.Include(TShiftStateFlag::ssLeft);
    if (keys & MK_RBUTTON) s.Include(TShiftStateFlag::ssRight);
    if (keys & MK_MBUTTON) s.Include(TShiftStateFlag::ssMiddle);
    if ((keys & MK_ALT) || GetKeyState(VK_MENU) < 0) s.Include(TShiftStateFlag::ssAlt);
    return s;
}

TShiftState KeyboardStateToShiftState() {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(TShiftStateFlag::ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(TShiftStateFlag::ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s.Include(TShiftStateFlag::ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0) s.Include(TShiftStateFlag::ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0) s.Include(TShiftStateFlag::ssRight);
    if (GetKeyState(VK_MBUTTON) < 0) s.Include(TShiftStateFlag::ssMiddle);
    return s;
}

unsigned ShiftStateToKeys(TShiftState shift) {
    unsigned k = 0;
    if (shift.Contains(TShiftStateFlag::ssShift)) k |= MK_SHIFT;
    if (shift.Contains(TShiftStateFlag::ssCtrl)) k |= MK_CONTROL;
    if (shift.Contains(TShiftStateFlag::ssLeft)) k |= MK_LBUTTON;
    if (shift.Contains(TShiftStateFlag::ssRight)) k |= MK_RBUTTON;
    if (shift.Contains(TShiftStateFlag::ssMiddle)) k |= MK_MBUTTON;
    if (shift.Contains(TShiftStateFlag::ssAlt)) k |= MK_ALT;
    return k;
}

TMessage MakeMouseMessage(UINT msg, unsigned keys, int x, int y) {
    return TMessage{msg, WPARAM(keys), MakeLParam(x, y), 0};
}

TMessage MakeKeyMessage(UINT msg, unsigned charCode, LPARAM keyData) {
    return TMessage{msg, WPARAM(charCode), keyData, 0};
}

TMessage MakeWheelMessage(UINT msg, unsigned keys, int delta, int screenX, int screenY) {
    return TMessage{msg, MakeWParam(int(keys), delta), MakeLParam(screenX, screenY), 0};
}

// ---- TSizeConstraints.

void TSizeConstraints::SetMinWidth(int v) {
    if (v < 0 || (FMaxWidth > 0 && v > FMaxWidth))
        throw EInvalidArgument("Minimum width " + std::to_string(v) + " is out of range.");
    if (v == FMinWidth) return;
    FMinWidth = v;
    Changed();
}
void TSizeConstraints::SetMaxWidth(int v) {
    if (v < 0 || (v > 0 && v < FMinWidth))
        throw EInvalidArgument("Maximum width " + std::to_string(v) + " is below the minimum.");
    if (v == FMaxWidth) return;
    FMaxWidth = v;
    Changed();
}
void TSizeConstraints::SetMinHeight(int v) {
    if (v < 0 || (FMaxHeight > 0 && v > FMaxHeight))
        throw EInvalidArgument("Minimum height " + std::to_string(v) + " is out of range.");
    if (v == FMinHeight) return;
    FMinHeight = v;
    Changed();
}
void TSizeConstraints::SetMaxHeight(int v) {
    if (v < 0 || (v > 0 && v < FMinHeight))
        throw EInvalidArgument("Maximum height " + std::to_string(v) + " is below the minimum.");
    if (v == FMaxHeight) return;
    FMaxHeight = v;
    Changed();
}

void TSizeConstraints::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TSizeConstraints*>(Source)) {
        FMinWidth = s->FMinWidth;
        FMaxWidth = s->FMaxWidth;
        FMinHeight = s->FMinHeight;
        FMaxHeight = s->FMaxHeight;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::Constrain(int& Width, int& Height) const {
    if (FMaxWidth > 0 && Width > FMaxWidth) Width = FMaxWidth;
    if (FMinWidth > 0 && Width < FMinWidth) Width = FMinWidth;
    if (FMaxHeight > 0 && Height > FMaxHeight) Height = FMaxHeight;
    if (FMinHeight > 0 && Height < FMinHeight) Height = FMinHeight;
}

void TSizeConstraints::Changed() {
    if (FControl)
        FControl->SetBounds(FControl->GetLeft(), FControl->GetTop(), FControl->GetWidth(),
                            FControl->GetHeight());
}

// ---- TControl.

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    FControlStyle = {TControlStyleFlag::csCaptureMouse, TControlStyleFlag::csClickEvents,
                     TControlStyleFlag::csSetCaption, TControlStyleFlag::csDoubleClicks};
    FFont->SetOnChange([this](TObject* s) { FontChangeNotify(s); });
}

TControl::~TControl() {
    Destroying();
    WindowManager().ControlDestroyed(this);
    if (FParent) FParent->RemoveControl(this);
    delete FCanvas;
    FCanvas = nullptr;
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) {
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
        if (!FControlStyle.Contains(TControlStyleFlag::csDoubleClicks)) {
            switch (Message.Msg) {
                case WM_LBUTTONDBLCLK: Message.Msg = WM_LBUTTONDOWN; break;
                case WM_RBUTTONDBLCLK: Message.Msg = WM_RBUTTONDOWN; break;
                case WM_MBUTTONDBLCLK: Message.Msg = WM_MBUTTONDOWN; break;
                default: break;
            }
        }
        if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK)
            FControlState.Include(TControlStateFlag::csLButtonDown);
        else if (Message.Msg == WM_LBUTTONUP)
            FControlState.Exclude(TControlStateFlag::csLButtonDown);
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_MOUSEMOVE: WMMouse(Message); return;
        case WM_MOUSEWHEEL: WMMouseWheel(Message); return;
        case CM_MOUSEWHEEL: {
            TCMMouseWheel w(Message);
            Message.Result = 0;
            if (DoMouseWheel(w.ShiftState, w.WheelDelta, Point(w.XPos, w.YPos)))
                Message.Result = 1;
            else if (FParent)
                Message.Result = FParent->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
            return;
        }
        case WM_CONTEXTMENU: WMContextMenu(Message); return;
        case WM_CANCELMODE: WMCancelMode(Message); return;
        case CM_MOUSEENTER: MouseEnter(); return;
        case CM_MOUSELEAVE: MouseLeave(); return;
        case CM_FONTCHANGED:
        case CM_COLORCHANGED:
        case CM_TEXTCHANGED:
        case CM_STYLECHANGED:
        case CM_ENABLEDCHANGED: Invalidate(); return;
        case CM_VISIBLECHANGED: return;
        case CM_PARENTFONTCHANGED:
            if (FParentFont && FParent) {
                FSettingParentFont = true;
                FFont->Assign(&FParent->Font());
                FSettingParentFont = false;
            }
            return;
        case CM_PARENTCOLORCHANGED:
            if (FParentColor && FParent) {
                if (FColor != FParent->GetColor()) {
                    FColor = FParent->GetColor();
                    Perform(CM_COLORCHANGED);
                }
            }
            return;
        case CM_PARENTCTL3DCHANGED:
            if (FParentCtl3D && FParent && FCtl3D != FParent->GetCtl3D()) {
                FCtl3D = FParent->GetCtl3D();
                Perform(CM_CTL3DCHANGED);
            }
            return;
        case CM_PARENTBIDIMODECHANGED:
            if (FParentBiDiMode && FParent && FBiDiMode != FParent->GetBiDiMode()) {
                FBiDiMode = FParent->GetBiDiMode();
                Perform(CM_BIDIMODECHANGED);
            }
            return;
        case CM_PARENTSHOWHINTCHANGED:
            if (FParentShowHint && FParent && FShowHint != FParent->GetShowHint()) {
                FShowHint = FParent->GetShowHint();
                Perform(CM_SHOWHINTCHANGED);
            }
            return;
        case CM_PARENTSTYLEELEMENTSCHANGED: return;
        case CM_BIDIMODECHANGED: Invalidate(); return;
        case CM_HITTEST: Message.Result = HTCLIENT; return;
        case CM_HINTSHOW: Message.Result = 0; return;
        default: DefaultHandler(Message);
    }
}

void TControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
        case WM_GETTEXTLENGTH: Message.Result = LRESULT(FText.size()); break;
        default: break;
    }
}

void TControl::WMMouse(TMessage& Message) {
    TWMMouse m(Message);
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            // Whoever is in a mode (a drop-down, a drag) hears that this control took over.
            if (TCustomForm* f = GetParentForm(this)) f->SendCancelMode(this);
            if (FControlStyle.Contains(TControlStyleFlag::csCaptureMouse)) SetMouseCapture(true);
            TShiftState extra;
            if (Message.Msg == WM_LBUTTONDBLCLK) {
                extra.Include(TShiftStateFlag::ssDouble);
                if (FControlStyle.Contains(TControlStyleFlag::csClickEvents)) DblClick();
            } else if (FControlStyle.Contains(TControlStyleFlag::csClickEvents)) {
                FControlState.Include(TControlStateFlag::csClicked);
            }
            DoMouseDown(Message, TMouseButton::mbLeft, extra);
            break;
        }
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            DoMouseDown(Message, TMouseButton::mbRight,
                        Message.Msg == WM_RBUTTONDBLCLK ? TShiftState{TShiftStateFlag::ssDouble} : TShiftState{});
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            DoMouseDown(Message, TMouseButton::mbMiddle,
                        Message.Msg == WM_MBUTTONDBLCLK ? TShiftState{TShiftStateFlag::ssDouble} : TShiftState{});
            break;
        case WM_LBUTTONUP: {
            if (FControlStyle.Contains(TControlStyleFlag::csCaptureMouse)) SetMouseCapture(false);
            const bool clicked = FControlState.Contains(TControlStateFlag::csClicked);
            FControlState.Exclude(TControlStateFlag::csClicked);
            if (clicked && GetClientRect().Contains(Point(m.XPos, m.YPos))) Click();
            DoMouseUp(Message, TMouseButton::mbLeft);
            break;
        }
        case WM_RBUTTONUP: {
            DoMouseUp(Message, TMouseButton::mbRight);
            if (Message.Result == 0) {
                TPoint p = ClientToScreen(Point(m.XPos, m.YPos));
                Perform(WM_CONTEXTMENU, 0, MakeLParam(p.X, p.Y));
            }
            break;
        }
        case WM_MBUTTONUP: DoMouseUp(Message, TMouseButton::mbMiddle); break;
        case WM_MOUSEMOVE:
            if (!FControlStyle.Contains(TControlStyleFlag::csNoStdEvents))
                MouseMove(KeysToShiftState(m.Keys), m.XPos, m.YPos);
            break;
        default: break;
    }
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
    if (FControlStyle.Contains(TControlStyleFlag::csNoStdEvents)) return;
    TWMMouse m(Message);
    MouseDown(Button, KeysToShiftState(m.Keys) + Shift, m.XPos, m.YPos);
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
    if (FControlStyle.Contains(TControlStyleFlag::csNoStdEvents)) return;
    TWMMouse m(Message);
    MouseUp(Button, KeysToShiftState(m.Keys), m.XPos, m.YPos);
}

void TControl::WMMouseWheel(TMessage& Message) {
    TWMMouseWheel w(Message);
    TShiftState s = KeysToShiftState(w.Keys);
    Message.Result = Perform(CM_MOUSEWHEEL, MakeWParam(int(s.ToMask()), w.WheelDelta), Message.LParam);
}

void TControl::WMContextMenu(TMessage& Message) {
    TWMContextMenu c(Message);
    TPoint pt = Point(c.XPos, c.YPos);
    TPoint client = (c.XPos == -1 && c.YPos == -1) ? Point(-1, -1) : ScreenToClient(pt);
    bool handled = false;
    DoContextPopup(client, handled);
    if (handled) {
        Message.Result = 1;
        return;
    }
    if (FPopupMenu && PopupHandler()) {
        if (c.XPos == -1 && c.YPos == -1) pt = ClientToScreen(Point(0, 0));
        if (PopupHandler()(FPopupMenu, this, pt)) {
            Message.Result = 1;
            return;
        }
    }
    if (FParent) Message.Result = FParent->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
}

void TControl::WMCancelMode(TMessage&) {
    FControlState.Exclude(TControlStateFlag::csClicked);
    FControlState.Exclude(TControlStateFlag::csLButtonDown);
    if (GetCaptureControl() == this) SetCaptureControl(nullptr);
}

void TControl::Click() {
    if (FOnClick) FOnClick(this);
}
void TControl::DblClick() {
    if (FOnDblClick) FOnDblClick(this);
}
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FOnMouseDown) FOnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FOnMouseUp) FOnMouseUp(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (FOnMouseMove) FOnMouseMove(this, Shift, X, Y);
}
void TControl::MouseEnter() {
    if (FOnMouseEnter) FOnMouseEnter(this);
}
void TControl::MouseLeave() {
    if (FOnMouseLeave) FOnMouseLeave(this);
}
void TControl::Resize() {
    if (FOnResize) FOnResize(this);
}
void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (FOnContextPopup) FOnContextPopup(this, MousePos, Handled);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (FOnMouseWheel) FOnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (!handled) {
        // Whole notches only; a fine wheel's fractions are dropped.
        for (int n = WheelDelta / WHEEL_DELTA; n != 0 && !handled; n += (n > 0 ? -1 : 1))
            handled = n < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (FOnMouseWheelDown) FOnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (FOnMouseWheelUp) FOnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
    if (auto* w = dynamic_cast<TWinControl*>(Value)) SetParent(w);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot be its own parent.");
    if (auto* self = dynamic_cast<TWinControl*>(this); self && AParent && self->ContainsControl(AParent))
        throw EInvalidOperation("Control '" + GetName() + "' cannot be the parent of its own parent.");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) {
        AParent->InsertControl(this);
        if (FParentFont) Perform(CM_PARENTFONTCHANGED);
        if (FParentColor) Perform(CM_PARENTCOLORCHANGED);
        if (FParentBiDiMode) Perform(CM_PARENTBIDIMODECHANGED);
        if (FParentCtl3D) Perform(CM_PARENTCTL3DCHANGED);
        if (FParentShowHint) Perform(CM_PARENTSHOWHINTCHANGED);
        UpdateAnchorRules();
        if (FAlign != TAlign::alNone) AParent->Realign();
    }
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    FConstraints.Constrain(AWidth, AHeight);
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    const bool sized = AWidth != FWidth || AHeight != FHeight;
    InvalidateControl(FVisible, false);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    InvalidateControl(FVisible, false);
    if (!FParent || !FParent->FControlState.Contains(TControlStateFlag::csAligning)) {
        UpdateAnchorRules();
        if (FParent && FAlign != TAlign::alNone) FParent->Realign();
    }
    if (sized && !IsLoading()) Resize();
}

TRect TControl::GetClientRect() const { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientWidth(int v) {
    SetWidth(v + FWidth - GetClientWidth());
}
void TControl::SetClientHeight(int v) {
    SetHeight(v + FHeight - GetClientHeight());
}

TPoint TControl::GetClientOrigin() const {
    if (!FParent) return Point(FLeft, FTop);
    TPoint p = FParent->GetClientOrigin();
    return Point(p.X + FLeft, p.Y + FTop);
}

TPoint TControl::ClientToScreen(TPoint p) const {
    TPoint o = GetClientOrigin();
    return Point(p.X + o.X, p.Y + o.Y);
}

TPoint TControl::ScreenToClient(TPoint p) const {
    TPoint o = GetClientOrigin();
    return Point(p.X - o.X, p.Y - o.Y);
}

TRect TControl::ClientToScreen(const TRect& r) const {
    TPoint o = GetClientOrigin();
    TRect x = r;
    x.Offset(o.X, o.Y);
    return x;
}

TPoint TControl::ClientToParent(TPoint p, TWinControl* AParent) const {
    if (!AParent) AParent = FParent;
    if (!AParent) throw EInvalidOperation("Control '" + GetName() + "' has no parent window.");
    TPoint s = ClientToScreen(p);
    return AParent->ScreenToClient(s);
}

TPoint TControl::ParentToClient(TPoint p, TWinControl* AParent) const {
    if (!AParent) AParent = FParent;
    if (!AParent) throw EInvalidOperation("Control '" + GetName() + "' has no parent window.");
    return ScreenToClient(AParent->ClientToScreen(p));
}

void TControl::SetAlign(TAlign v) {
    if (v == FAlign) return;
    FAlign = v;
    if (v != TAlign::alNone && v != TAlign::alCustom) {
        // Aligned edges follow the parent: anchors say so too.
        switch (v) {
            case TAlign::alTop: FAnchors = {TAnchorKind::akLeft, TAnchorKind::akTop, TAnchorKind::akRight}; break;
            case TAlign::alBottom: FAnchors = {TAnchorKind::akLeft, TAnchorKind::akRight, TAnchorKind::akBottom}; break;
            case TAlign::alLeft: FAnchors = {TAnchorKind::akLeft, TAnchorKind::akTop, TAnchorKind::akBottom}; break;
            case TAlign::alRight: FAnchors = {TAnchorKind::akTop, TAnchorKind::akRight, TAnchorKind::akBottom}; break;
            default: FAnchors = {TAnchorKind::akLeft, TAnchorKind::akTop, TAnchorKind::akRight, TAnchorKind::akBottom}; break;
        }
    }
    if (FParent) FParent->Realign();
}

void TControl::SetAnchors(TAnchors v) {
    if (v == FAnchors) return;
    FAnchors = v;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    if (!FParent) {
        FAnchorValid = false;
        return;
    }
    TRect pc = FParent->GetClientRect();
    FAnchorBounds = GetBoundsRect();
    FAnchorParentSize = TSize{pc.Width(), pc.Height()};
    FAnchorValid = true;
}

void TControl::AnchorToParent(int ParentClientWidth, int ParentClientHeight) {
    if (!FAnchorValid || FAlign != TAlign::alNone) return;
    const TRect& b = FAnchorBounds;
    int l = b.Left, t = b.Top, w = b.Width(), h = b.Height();
    const int dx = ParentClientWidth - FAnchorParentSize.cx;
    const int dy = ParentClientHeight - FAnchorParentSize.cy;
    const bool L = FAnchors.Contains(TAnchorKind::akLeft), R = FAnchors.Contains(TAnchorKind::akRight);
    const bool T = FAnchors.Contains(TAnchorKind::akTop), B = FAnchors.Contains(TAnchorKind::akBottom);
    if (L && R) {
        w += dx;
    } else if (R) {
        l += dx;
    } else if (!L && FAnchorParentSize.cx > 0) {
        // Neither edge: the centre keeps its proportional place.
        l = MulDivRound(b.Left + w / 2, ParentClientWidth, FAnchorParentSize.cx) - w / 2;
    }
    if (T && B) {
        h += dy;
    } else if (B) {
        t += dy;
    } else if (!T && FAnchorParentSize.cy > 0) {
        t = MulDivRound(b.Top + h / 2, ParentClientHeight, FAnchorParentSize.cy) - h / 2;
    }
    if (l == FLeft && t == FTop && w == FWidth && h == FHeight) return;
    // Keep the rules: they are relative to the size the parent had when they were made.
    TRect keepBounds = FAnchorBounds;
    TSize keepSize = FAnchorParentSize;
    SetBounds(l, t, std::max(0, w), std::max(0, h));
    FAnchorBounds = keepBounds;
    FAnchorParentSize = keepSize;
    FAnchorValid = true;
}

void TControl::SetVisible(bool v) {
    if (v == FVisible) return;
    VisibleChanging();
    if (!v) InvalidateControl(true, false);
    FVisible = v;
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        if (!v) {
            if (TCustomForm* f = GetParentForm(this); f && f != this) f->DefocusControl(w, false);
            if (GetCaptureControl() && w->ContainsControl(GetCaptureControl())) SetCaptureControl(nullptr);
        }
        if (w->IsTopLevel()) {
            if (v) {
                w->HandleNeeded();
                WindowManager().BringTopLevelToFront(w);
                w->InvalidateRect(nullptr, true);
                Backend().WindowShown(w, true);
            } else if (w->HandleAllocated()) {
                w->ClearInvalid();
                Backend().WindowShown(w, false);
            }
        } else if (v && w->HandleAllocated()) {
            w->InvalidateRect(nullptr, true);
        }
    } else if (!v && GetCaptureControl() == this) {
        SetCaptureControl(nullptr);
    }
    if (v) InvalidateControl(true, false);
    Perform(CM_VISIBLECHANGED, v ? 1 : 0);
    if (FParent && FAlign != TAlign::alNone) FParent->Realign();
}

bool TControl::IsShowing() const { return FVisible && FParent && FParent->IsShowing(); }

void TControl::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    if (!v && GetCaptureControl() == this) SetCaptureControl(nullptr);
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& v) {
    if (v == FText) return;
    FText = v;
    Perform(CM_TEXTCHANGED);
}

void TControl::FontChangeNotify(TObject*) {
    if (!FSettingParentFont) FParentFont = false;
    FontChanged();
}

void TControl::FontChanged() { Perform(CM_FONTCHANGED); }

void TControl::SetParentFont(bool v) {
    if (v == FParentFont) return;
    FParentFont = v;
    if (v && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor v) {
    FParentColor = false;
    if (v == FColor) return;
    FColor = v;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
    if (v == FParentColor) return;
    FParentColor = v;
    if (v && FParent) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::ParentFontChanged() {}

void TControl::SetShowHint(bool v) {
    FParentShowHint = false;
    if (v == FShowHint) return;
    FShowHint = v;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
    if (v == FParentShowHint) return;
    FParentShowHint = v;
    if (v && FParent) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* v) {
    if (v == FPopupMenu) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = v;
    if (v) v->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::Loaded() {
    TComponent::Loaded();
    // Bounds read from a form are where the user placed the control.
    UpdateAnchorRules();
    if (FParent && FAlign != TAlign::alNone) FParent->Realign();
}

void TControl::SetCursor(TCursor v) {
    if (v == FCursor) return;
    FCursor = v;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode v) {
    FParentBiDiMode = false;
    if (v == FBiDiMode) return;
    FBiDiMode = v;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetCtl3D(bool v) {
    FParentCtl3D = false;
    if (v == FCtl3D) return;
    FCtl3D = v;
    Perform(CM_CTL3DCHANGED);
}

void TControl::SetParentCtl3D(bool v) {
    if (v == FParentCtl3D) return;
    FParentCtl3D = v;
    if (v && FParent) Perform(CM_PARENTCTL3DCHANGED);
}

void TControl::SetParentBiDiMode(bool v) {
    if (v == FParentBiDiMode) return;
    FParentBiDiMode = v;
    if (v && FParent) Perform(CM_PARENTBIDIMODECHANGED);
}

bool TControl::IsRightToLeft() const {
    return SystemProfile().MiddleEast && FBiDiMode != TBiDiMode::bdLeftToRight;
}
bool TControl::UseRightToLeftAlignment() const {
    return SystemProfile().MiddleEast && FBiDiMode == TBiDiMode::bdRightToLeft;
}
bool TControl::UseRightToLeftReading() const {
    return SystemProfile().MiddleEast && FBiDiMode != TBiDiMode::bdLeftToRight;
}
bool TControl::UseRightToLeftScrollBar() const {
    return SystemProfile().MiddleEast &&
           (FBiDiMode == TBiDiMode::bdRightToLeft || FBiDiMode == TBiDiMode::bdRightToLeftNoAlign);
}

void TControl::SetStyleElements(TStyleElements v) {
    if (v == FStyleElements) return;
    FStyleElements = v;
    Perform(CM_STYLECHANGED);
}

void TControl::ScaleBy(int M, int D) {
    if (M == D || D == 0) return;
    SetBounds(FLeft, FTop, MulDivRound(FWidth, M, D), MulDivRound(FHeight, M, D));
    if (!FParentFont) FFont->SetHeight(MulDivRound(FFont->GetHeight(), M, D));
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        w->DisableAlign();
        for (TControl* c : std::vector<TControl*>(w->Controls())) c->ChangeScale(M, D);
        w->EnableAlign();
    }
}

void TControl::ChangeScale(int M, int D) {
    SetBounds(MulDivRound(FLeft, M, D), MulDivRound(FTop, M, D), MulDivRound(FWidth, M, D),
              MulDivRound(FHeight, M, D));
    if (!FParentFont) FFont->SetHeight(MulDivRound(FFont->GetHeight(), M, D));
}

void TControl::Changed() { Perform(CM_CHANGED); }

bool TControl::GetMouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool v) {
    if (v == GetMouseCapture()) return;
    SetCaptureControl(v ? this : nullptr);
}

void TControl::InvalidateControl(bool IsVisible, bool) {
    if (!IsVisible || !FParent) return;
    if (dynamic_cast<TWinControl*>(this) && static_cast<TWinControl*>(this)->IsTopLevel()) return;
    TRect r = GetBoundsRect();
    FParent->InvalidateRect(&r, true);
}

void TControl::Invalidate() { InvalidateControl(FVisible, false); }

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::BringToFront() {
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->IsTopLevel()) {
        WindowManager().BringTopLevelToFront(w);
        if (w->HandleAllocated()) Backend().WindowRaised(w);
        return;
    }
    if (!FParent) return;
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.push_back(this);
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.insert(list.begin(), this);
    Invalidate();
}

// ---- Surface areas.

TSurfaceArea GetSurfaceArea(const TControl* Control) {
    TSurfaceArea a;
    // Walk up to the top-level window, intersecting with each client area on the way.
    const TControl* c = Control;
    TPoint origin = Point(0, 0);
    TRect visible = Control->GetClientRect();
    if (auto* w = dynamic_cast<const TWinControl*>(Control)) {
        TRect ins = w->GetBorderInsets();
        origin = Point(ins.Left, ins.Top);
    }
    visible.Offset(origin.X, origin.Y);
    // visible and origin are now relative to the control's window rectangle (its bounds).
    while (true) {
        if (!c->GetVisible()) return TSurfaceArea{};
        auto* w = dynamic_cast<const TWinControl*>(c);
        if (w && w->IsTopLevel()) {
            a.TopLevel = const_cast<TWinControl*>(w);
            break;
        }
        TWinControl* p = c->GetParent();
        if (!p) return TSurfaceArea{};
        // Into the parent's client coordinates, clipped to it.
        origin.X += c->GetLeft();
        origin.Y += c->GetTop();
        visible.Offset(c->GetLeft(), c->GetTop());
        visible = Intersection(visible, p->GetClientRect());
        TRect ins = p->GetBorderInsets();
        origin.X += ins.Left;
        origin.Y += ins.Top;
        visible.Offset(ins.Left, ins.Top);
        c = p;
    }
    visible = Intersection(visible, Rect(0, 0, c->GetWidth(), c->GetHeight()));
    a.Origin = origin;
    a.Visible = visible;
    return a;
}

// ---- TControlCanvas.

void TControlCanvas::Bind() {
    TSurfaceArea a = GetSurfaceArea(FControl);
    SetTarget(a.TopLevel ? a.TopLevel->GetSurface() : nullptr);
    SetDeviceOrigin(a.Origin);
    SetDeviceClip(a.Visible);
    SelectClipNone();
}

void TControlCanvas::Unbind() { SetTarget(nullptr); }

// ---- Free functions.

TCustomForm* GetParentForm(const TControl* Control, bool TopForm) {
    const TControl* c = Control;
    TCustomForm* found = nullptr;
    while (c) {
        if (auto* f = dynamic_cast<const TCustomForm*>(c)) {
            found = const_cast<TCustomForm*>(f);
            if (!TopForm) return found;
        }
        if (auto* w = dynamic_cast<const TWinControl*>(c); w && w->IsTopLevel()) break;
        c = c->GetParent();
    }
    return found;
}

TControl* GetCaptureControl() { return WindowManager().CaptureControl; }

void SetCaptureControl(TControl* Control) {
    auto& wm = WindowManager();
    TControl* old = wm.CaptureControl;
    if (old == Control) return;
    wm.CaptureControl = Control;
    if (old) {
        HWND newWnd = 0;
        if (Control) {
            auto* w = dynamic_cast<TWinControl*>(Control);
            if (!w) w = Control->GetParent();
            if (w) newWnd = w->GetHandle();
        }
        old->Perform(WM_CAPTURECHANGED, 0, LPARAM(newWnd));
    }
}

HWND GetCapture() {
    TControl* c = GetCaptureControl();
    if (!c) return 0;
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w) w = c->GetParent();
    return w && w->HandleAllocated() ? w->GetHandle() : 0;
}

HWND SetCapture(HWND Wnd) {
    HWND old = GetCapture();
    SetCaptureControl(FindControl(Wnd));
    return old;
}

bool ReleaseCapture() {
    SetCaptureControl(nullptr);
    return true;
}

HWND GetFocus() { return WindowManager().Focus; }

TControl* GetMouseControl() { return WindowManager().MouseControl; }

}  // namespace vel
