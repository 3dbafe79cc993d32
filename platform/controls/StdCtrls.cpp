#include "platform/controls/StdCtrls.h"

#include <algorithm>

#include "platform/classes/Alignment.h"
#include "platform/classes/TypInfo.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CLASS(TCustomLabel, TGraphicControl)
VEL_DEFINE_CREATABLE_CLASS(TLabel, TCustomLabel)
VEL_DEFINE_CREATABLE_CLASS(TBoundLabel, TCustomLabel)
VEL_DEFINE_CLASS(TButtonControl, TCustomControl)
VEL_DEFINE_CREATABLE_CLASS(TButton, TButtonControl)
VEL_DEFINE_CLASS(TCustomCheckBox, TButtonControl)
VEL_DEFINE_CREATABLE_CLASS(TCheckBox, TCustomCheckBox)
VEL_DEFINE_CREATABLE_CLASS(TRadioButton, TButtonControl)
VEL_DEFINE_CLASS(TCustomGroupBox, TCustomControl)
VEL_DEFINE_CREATABLE_CLASS(TGroupBox, TCustomGroupBox)

VEL_ENUM_INFO(TTextLayout, tlTop, tlCenter, tlBottom)
VEL_ENUM_INFO(TLabelPosition, lpAbove, lpBelow, lpLeft, lpRight)
VEL_ENUM_INFO(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)

VEL_PUBLISHED(TCustomLabel) {
    Prop("Alignment", &T::GetAlignment, &T::SetAlignment, TAlignment::taLeftJustify);
    Prop("Layout", &T::GetLayout, &T::SetLayout, TTextLayout::tlTop);
    Prop("AutoSize", &T::GetAutoSize, &T::SetAutoSize, true);
    Prop("WordWrap", &T::GetWordWrap, &T::SetWordWrap, false);
    Prop("Transparent", &T::GetTransparent, &T::SetTransparent, false);
    Prop("ShowAccelChar", &T::GetShowAccelChar, &T::SetShowAccelChar, true);
    Prop("FocusControl", &T::GetFocusControl, &T::SetFocusControl);
}

VEL_PUBLISHED(TBoundLabel) {
    Prop("LabelPosition", &T::GetLabelPosition, &T::SetLabelPosition, TLabelPosition::lpAbove);
    Prop("LabelSpacing", &T::GetLabelSpacing, &T::SetLabelSpacing, 3);
}

VEL_PUBLISHED(TButton) {
    Prop("Default", &T::GetDefault, &T::SetDefault, false);
    Prop("Cancel", &T::GetCancel, &T::SetCancel, false);
    Prop("ModalResult", &T::GetModalResult, &T::SetModalResult, mrNone);
}

VEL_PUBLISHED(TCustomCheckBox) {
    Prop("Alignment", &T::GetAlignment, &T::SetAlignment, TAlignment::taRightJustify);
    Prop("AllowGrayed", &T::GetAllowGrayed, &T::SetAllowGrayed, false);
    Prop("State", &T::GetState, &T::SetState, TCheckBoxState::cbUnchecked);
}

VEL_PUBLISHED(TRadioButton) {
    Prop("Alignment", &T::GetAlignment, &T::SetAlignment, TAlignment::taRightJustify);
    Prop("Checked", &T::GetChecked, &T::SetChecked, false);
}

TCanvas& TextMeasureCanvas() {
    static TBitmap b(1, 1);
    return b.Canvas();
}

void DrawEmbossedText(TCanvas& Canvas, const std::string& Text, TRect R, unsigned Flags) {
    Canvas.Brush().SetStyle(TBrushStyle::bsClear);
    R.Offset(1, 1);
    Canvas.Font().SetColor(clBtnHighlight);
    Canvas.DrawText(Text, R, Flags);
    R.Offset(-1, -1);
    Canvas.Font().SetColor(clBtnShadow);
    Canvas.DrawText(Text, R, Flags);
}

char32_t GetAccelChar(const std::string& Caption) {
    std::size_t pos = 0;
    while (pos < Caption.size()) {
        if (Utf8Decode(Caption, pos) != U'&' || pos >= Caption.size()) continue;
        const char32_t c = Utf8Decode(Caption, pos);
        if (c != U'&') return UnicodeToLower(c);
    }
    return 0;
}

bool IsAccel(char32_t Key, const std::string& Caption) {
    return Key != 0 && GetAccelChar(Caption) == UnicodeToLower(Key);
}

// ---- TCustomLabel.

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle += TControlStyle{TControlStyleFlag::csOpaque, TControlStyleFlag::csReplicatable};
    FWidth = 65;
    FHeight = 17;
}

void TCustomLabel::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v) {
    if (v == FLayout) return;
    FLayout = v;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool v) {
    if (v == FAutoSize) return;
    FAutoSize = v;
    AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool v) {
    if (v == FWordWrap) return;
    FWordWrap = v;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    if (v)
        FControlStyle.Exclude(TControlStyleFlag::csOpaque);
    else
        FControlStyle.Include(TControlStyleFlag::csOpaque);
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
    if (v == FShowAccelChar) return;
    FShowAccelChar = v;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
    if (v == FFocusControl) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = v;
    if (v) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

unsigned TCustomLabel::TextFlags() const {
    unsigned f = DT_EXPANDTABS;
    if (FWordWrap) f |= DT_WORDBREAK;
    if (!FShowAccelChar) f |= DT_NOPREFIX;
    TAlignment a = FAlignment;
    if (UseRightToLeftAlignment() && a != TAlignment::taCenter)
        a = a == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
    if (a == TAlignment::taRightJustify)
        f |= DT_RIGHT;
    else if (a == TAlignment::taCenter)
        f |= DT_CENTER;
    if (UseRightToLeftReading()) f |= DT_RTLREADING;
    return f;
}

void TCustomLabel::DoDrawText(TCanvas& Canvas, TRect& R, unsigned Flags) {
    std::string text = GetCaption();
    // An empty caption still measures one line high.
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
    Canvas.SetFont(Font());
    Canvas.Brush().SetStyle(TBrushStyle::bsClear);
    if (Flags & DT_CALCRECT) {
        Canvas.DrawText(text, R, Flags);
        return;
    }
    if (!GetEnabled()) {
        DrawEmbossedText(Canvas, text, R, Flags);
        return;
    }
    Canvas.DrawText(text, R, Flags);
}

void TCustomLabel::Paint() {
    TCanvas& c = Canvas();
    const TRect client = GetClientRect();
    if (!FTransparent) {
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(GetColor());
        c.FillRect(client);
    }
    TRect r = client;
    const unsigned flags = TextFlags();
    if (FLayout != TTextLayout::tlTop) {
        TRect calc = client;
        DoDrawText(c, calc, flags | DT_CALCRECT);
        const int h = calc.Height();
        r.Top = FLayout == TTextLayout::tlBottom ? client.Bottom - h
                                                 : client.Top + (client.Height() - h) / 2;
        r.Bottom = r.Top + h;
    }
    DoDrawText(c, r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize || FControlState.Contains(TControlStateFlag::csReadingState) ||
        GetComponentState().Contains(TComponentStateFlag::csLoading))
        return;
    TRect r = GetClientRect();
    if (!FWordWrap) r.Right = r.Left + 0x3FFF;
    DoDrawText(TextMeasureCanvas(), r, TextFlags() | DT_CALCRECT);
    int left = FLeft;
    int width = FWordWrap ? FWidth : r.Width();
    TAlignment a = FAlignment;
    if (UseRightToLeftAlignment() && a != TAlignment::taCenter)
        a = a == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
    if (a == TAlignment::taRightJustify)
        left = FLeft + FWidth - width;
    else if (a == TAlignment::taCenter)
        left = FLeft + (FWidth - width) / 2;
    SetBounds(left, FTop, width, r.Height());
}

void TCustomLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_TEXTCHANGED:
            AdjustBounds();
            Invalidate();
            return;
        case CM_DIALOGCHAR:
            // The label hands the focus to its control.
            if (TWinControl* target = AccelControl();
                target && GetEnabled() && GetVisible() && FShowAccelChar &&
                IsAccel(char32_t(Message.WParam), GetCaption()) && target->CanFocus()) {
                target->SetFocus();
                Message.Result = 1;
            }
            return;
        default:
            TGraphicControl::Dispatch(Message);
    }
}

// ---- TBoundLabel.

TBoundLabel::TBoundLabel(TComponent* AOwner) : TCustomLabel(AOwner) {
    SetSubComponent(true);
    // Usually the label of the control that owns it.
    if (auto* c = dynamic_cast<TControl*>(AOwner)) SetBoundControl(c);
}

void TBoundLabel::SetLabelPosition(TLabelPosition v) {
    if (v == FLabelPosition) return;
    FLabelPosition = v;
    UpdatePosition();
}

void TBoundLabel::SetLabelSpacing(int v) {
    if (v < 0) throw EInvalidArgument("Label spacing " + std::to_string(v) + " is negative.");
    if (v == FLabelSpacing) return;
    FLabelSpacing = v;
    UpdatePosition();
}

void TBoundLabel::SetBoundControl(TControl* v) {
    if (v == FBoundControl) return;
    if (FBoundControl) FBoundControl->RemoveFreeNotification(this);
    FBoundControl = v;
    if (v) {
        v->FreeNotification(this);
        UpdatePosition();
    }
}

void TBoundLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomLabel::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FBoundControl) FBoundControl = nullptr;
}

TWinControl* TBoundLabel::AccelControl() const {
    if (TWinControl* c = TCustomLabel::AccelControl()) return c;
    return dynamic_cast<TWinControl*>(FBoundControl);
}

void TBoundLabel::AdjustBounds() {
    TCustomLabel::AdjustBounds();
    UpdatePosition();
}

void TBoundLabel::UpdatePosition() {
    if (!FBoundControl || FPositioning) return;
    FPositioning = true;
    if (GetParent() != FBoundControl->GetParent()) SetParent(FBoundControl->GetParent());
    const TRect b = FBoundControl->GetBoundsRect();
    TPoint p;
    switch (FLabelPosition) {
        case TLabelPosition::lpAbove:
            p = {b.Left, b.Top - FHeight - FLabelSpacing};
            break;
        case TLabelPosition::lpBelow:
            p = {b.Left, b.Bottom + FLabelSpacing};
            break;
        case TLabelPosition::lpLeft:
            p = {b.Left - FWidth - FLabelSpacing, b.Top + (b.Height() - FHeight) / 2};
            break;
        case TLabelPosition::lpRight:
            p = {b.Right + FLabelSpacing, b.Top + (b.Height() - FHeight) / 2};
            break;
    }
    SetBounds(p.X, p.Y, FWidth, FHeight);
    FPositioning = false;
}

// ---- TButtonControl.

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
    // Clicks come from UserClick (mouse released over the button, space, accelerator).
    FControlStyle -=
        TControlStyle{TControlStyleFlag::csDoubleClicks, TControlStyleFlag::csClickEvents};
    FControlStyle += TControlStyle{TControlStyleFlag::csOpaque};
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TButtonControl::SetPressed(bool v) {
    if (v == FPressed) return;
    FPressed = v;
    Invalidate();
}

void TButtonControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft) {
        if (CanFocus() && !Focused()) SetFocus();
        FMouseHeld = true;
        SetPressed(true);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButtonControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (FMouseHeld) SetPressed(GetClientRect().Contains(Point(X, Y)));
    TCustomControl::MouseMove(Shift, X, Y);
}

void TButtonControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft && FMouseHeld) {
        FMouseHeld = false;
        SetPressed(FSpaceHeld);
        if (GetClientRect().Contains(Point(X, Y))) UserClick();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TButtonControl::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE && !FMouseHeld) {
        FSpaceHeld = true;
        SetPressed(true);
    }
}

void TButtonControl::KeyUp(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyUp(Key, Shift);
    if (Key == VK_SPACE && FSpaceHeld) {
        FSpaceHeld = false;
        SetPressed(false);
        UserClick();
    }
}

void TButtonControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (Message.Msg == WM_KILLFOCUS) {
                FSpaceHeld = false;
                if (!FMouseHeld) SetPressed(false);
            }
            Invalidate();
            TCustomControl::Dispatch(Message);
            return;
        case WM_CANCELMODE:
        case CM_CANCELMODE:
            if (Message.Msg == WM_CANCELMODE || TCMCancelMode(Message).Sender != this) {
                FMouseHeld = false;
                FSpaceHeld = false;
                SetPressed(false);
            }
            TCustomControl::Dispatch(Message);
            return;
        case CM_ENABLEDCHANGED:
            FMouseHeld = false;
            FSpaceHeld = false;
            FPressed = false;
            Invalidate();
            return;
        case CM_DIALOGCHAR:
            // Check boxes and radio buttons take the focus, then click; the click is lost
            // when the focus could not move (the control being left kept it).
            if (IsAccel(char32_t(Message.WParam), GetCaption()) && CanFocus()) {
                SetFocus();
                if (Focused()) UserClick();
                Message.Result = 1;
            }
            return;
        default:
            TCustomControl::Dispatch(Message);
    }
}

void TButtonControl::DrawCaption(TCanvas& Canvas, TRect R, unsigned Flags, bool Disabled) {
    Canvas.SetFont(Font());
    Canvas.Brush().SetStyle(TBrushStyle::bsClear);
    if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
    if (Disabled)
        DrawEmbossedText(Canvas, GetCaption(), R, Flags);
    else
        Canvas.DrawText(GetCaption(), R, Flags);
}

// ---- TButton.

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 75;
    FHeight = 25;
}

void TButton::SetDefault(bool v) {
    if (v == FDefault) return;
    FDefault = v;
    // Without a focused button the default one is the active one.
    TCustomForm* f = GetParentForm(this);
    TWinControl* focused = f ? f->GetActiveControl() : nullptr;
    if (!dynamic_cast<TButton*>(focused) || focused == this) FActive = v || focused == this;
    Invalidate();
}

void TButton::Click() {
    if (FModalResult != mrNone) {
        if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
    }
    TButtonControl::Click();
}

void TButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_DIALOGCHAR:
            // A push button clicks where the focus is.
            if (IsAccel(char32_t(Message.WParam), GetCaption()) && CanFocus()) {
                Click();
                Message.Result = 1;
            }
            return;
        case CM_DIALOGKEY: {
            TWMKey k(Message);
            const bool enter = k.CharCode == VK_RETURN && FActive;
            const bool escape = k.CharCode == VK_ESCAPE && FCancel;
            if ((enter || escape) && KeyDataToShiftState(k.KeyData).Empty() && CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
            TButtonControl::Dispatch(Message);
            return;
        }
        case CM_FOCUSCHANGED: {
            TWinControl* sender = TCMFocusChanged(Message).Sender;
            const bool active = dynamic_cast<TButton*>(sender) ? sender == this : FDefault;
            if (active != FActive) {
                FActive = active;
                Invalidate();
            }
            return;
        }
        case WM_GETDLGCODE:
            Message.Result = DLGC_BUTTON | (FActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
            return;
        default:
            TButtonControl::Dispatch(Message);
    }
}

void TButton::Paint() {
    TCanvas& c = Canvas();
    TRect r = GetClientRect();
    const bool enabled = GetEnabled();
    if (FActive && enabled) {
        // The button Enter would press carries a black frame.
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(clWindowFrame);
        c.FrameRect(r);
        r.Inflate(-1, -1);
    }
    unsigned state = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (IsPressed()) state |= DFCS_PUSHED;
    if (!enabled) state |= DFCS_INACTIVE;
    DrawFrameControl(c, r, DFC_BUTTON, state);
    TRect text = GetClientRect();
    text.Inflate(-4, -4);
    if (IsPressed()) text.Offset(1, 1);
    DrawCaption(c, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE, !enabled);
    if (Focused() && enabled) {
        TRect f = GetClientRect();
        f.Inflate(-4, -4);
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.DrawFocusRect(f);
    }
}

void TButtonControl::PaintCheckLayout(TCanvas& Canvas, unsigned FrameState, TAlignment Alignment) {
    const TRect client = GetClientRect();
    const int box = 13;
    bool boxRight = Alignment == TAlignment::taLeftJustify;
    if (UseRightToLeftAlignment()) boxRight = !boxRight;
    TRect b = Bounds(boxRight ? client.Right - box : client.Left,
                     client.Top + (client.Height() - box) / 2, box, box);
    if (!GetEnabled()) FrameState |= DFCS_INACTIVE;
    if (IsPressed()) FrameState |= DFCS_PUSHED;
    DrawFrameControl(Canvas, b, DFC_BUTTON, FrameState);
    TRect text = client;
    if (boxRight)
        text.Right -= box + 4;
    else
        text.Left += box + 4;
    unsigned flags = DT_SINGLELINE | DT_VCENTER | (boxRight ? DT_RIGHT : DT_LEFT);
    DrawCaption(Canvas, text, flags, !GetEnabled());
    if (Focused() && !GetCaption().empty()) {
        // The focus rectangle hugs the caption.
        TRect calc = text;
        Canvas.DrawText(GetCaption(), calc, flags | DT_CALCRECT);
        const int w = std::min(calc.Width(), text.Width()), h = calc.Height();
        TRect f =
            Bounds(boxRight ? text.Right - w : text.Left, text.Top + (text.Height() - h) / 2, w, h);
        f.Inflate(1, 1);
        f.Left = std::max(f.Left, client.Left);
        f.Right = std::min(f.Right, client.Right);
        Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        Canvas.DrawFocusRect(f);
    }
}

// ---- TCustomCheckBox.

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 97;
    FHeight = 17;
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
    if (v == FState) return;
    FState = v;
    Invalidate();
    Click();
}

void TCustomCheckBox::SetAlignment(TAlignment v) {
    if (v == TAlignment::taCenter)
        throw EInvalidArgument("A check box caption cannot be centred (taCenter).");
    if (v == FAlignment) return;
    FAlignment = v;
    Invalidate();
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
        case TCheckBoxState::cbUnchecked:
            SetState(FAllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
            break;
        case TCheckBoxState::cbChecked:
            SetState(TCheckBoxState::cbUnchecked);
            break;
        case TCheckBoxState::cbGrayed:
            SetState(TCheckBoxState::cbChecked);
            break;
    }
}

void TCustomCheckBox::Paint() {
    TCanvas& c = Canvas();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(GetColor());
    c.FillRect(GetClientRect());
    unsigned state = DFCS_BUTTONCHECK;
    if (FState == TCheckBoxState::cbChecked)
        state |= DFCS_CHECKED;
    else if (FState == TCheckBoxState::cbGrayed)
        state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    PaintCheckLayout(c, state, FAlignment);
}

// ---- TRadioButton.

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 113;
    FHeight = 17;
}

void TRadioButton::SetChecked(bool v) {
    if (v == FChecked) return;
    FChecked = v;
    Invalidate();
    if (!v) return;
    if (TWinControl* p = GetParent()) {
        for (TControl* c : std::vector<TControl*>(p->Controls()))
            if (auto* r = dynamic_cast<TRadioButton*>(c); r && r != this) r->SetChecked(false);
    }
    Click();
}

void TRadioButton::SetAlignment(TAlignment v) {
    if (v == TAlignment::taCenter)
        throw EInvalidArgument("A radio button caption cannot be centred (taCenter).");
    if (v == FAlignment) return;
    FAlignment = v;
    Invalidate();
}

void TRadioButton::Dispatch(TMessage& Message) {
    TButtonControl::Dispatch(Message);
    // Reached with the arrow keys (not Tab or the mouse): checked, as a radio group walks.
    if (Message.Msg == WM_SETFOCUS && (GetKeyState(VK_UP) < 0 || GetKeyState(VK_DOWN) < 0 ||
                                       GetKeyState(VK_LEFT) < 0 || GetKeyState(VK_RIGHT) < 0))
        SetChecked(true);
}

void TRadioButton::Paint() {
    TCanvas& c = Canvas();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(GetColor());
    c.FillRect(GetClientRect());
    PaintCheckLayout(c, DFCS_BUTTONRADIO | (FChecked ? DFCS_CHECKED : 0u), FAlignment);
}

// ---- TCustomGroupBox.

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle +=
        TControlStyle{TControlStyleFlag::csAcceptsControls, TControlStyleFlag::csSetCaption};
    FWidth = 185;
    FHeight = 105;
    SetParentColor(true);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) const {
    TCanvas& c = TextMeasureCanvas();
    c.SetFont(Font());
    const int h = c.TextHeight("0");
    Rect.Top += h;
    Rect.Inflate(-2, -2);
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR && IsAccel(char32_t(Message.WParam), GetCaption()) &&
        CanFocus()) {
        TWinControl* first = FindNextControl(nullptr, true, true, false);
        if (!first) first = FindNextControl(nullptr, true, false, false);
        if (first) {
            first->SetFocus();
            Message.Result = 1;
            return;
        }
    }
    TCustomControl::Dispatch(Message);
}

void TCustomGroupBox::FontChanged() {
    TCustomControl::FontChanged();
    Realign();
}

void TCustomGroupBox::Paint() {
    TCanvas& c = Canvas();
    const TRect client = GetClientRect();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(GetColor());
    c.FillRect(client);
    c.SetFont(Font());
    const int h = c.TextHeight("0");
    TRect frame{client.Left, client.Top + h / 2, client.Right, client.Bottom};
    DrawEdge(c, frame, EDGE_ETCHED, BF_RECT);
    if (GetCaption().empty()) return;
    // The caption interrupts the top edge, 8 pixels from the side.
    TRect t{0, 0, 0, 0};
    c.DrawText(GetCaption(), t, DT_SINGLELINE | DT_CALCRECT);
    const int w = std::min(t.Width(), client.Width() - 16);
    TRect r = UseRightToLeftAlignment() ? Bounds(client.Right - 8 - w - 2, client.Top, w + 2, h)
                                        : Bounds(client.Left + 8, client.Top, w + 2, h);
    c.FillRect(r);
    r.Left += 1;
    if (GetEnabled()) {
        c.Brush().SetStyle(TBrushStyle::bsClear);
        c.DrawText(GetCaption(), r, DT_SINGLELINE | DT_LEFT);
    } else {
        DrawEmbossedText(c, GetCaption(), r, DT_SINGLELINE | DT_LEFT);
    }
}

}  // namespace vel
