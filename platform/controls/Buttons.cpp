#include "platform/controls/Buttons.h"

#include <algorithm>

#include "platform/classes/TypInfo.h"
#include "platform/controls/Application.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CREATABLE_CLASS(TSpeedButton, TGraphicControl)
VEL_ENUM_INFO(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)

VEL_PUBLISHED(TSpeedButton) {
    Prop("AllowAllUp", &T::GetAllowAllUp, &T::SetAllowAllUp, false);
    Prop("GroupIndex", &T::GetGroupIndex, &T::SetGroupIndex, 0);
    Prop("Down", &T::GetDown, &T::SetDown, false);
    Prop("Flat", &T::GetFlat, &T::SetFlat, false);
    Prop("Glyph", &T::GetGlyphObject, &T::SetGlyphObject);
    Prop("Layout", &T::GetLayout, &T::SetLayout, TButtonLayout::blGlyphLeft);
    Prop("Margin", &T::GetMargin, &T::SetMargin, -1);
    Prop("NumGlyphs", &T::GetNumGlyphs, &T::SetNumGlyphs, 1);
    Prop("Spacing", &T::GetSpacing, &T::SetSpacing, 4);
    Prop("Transparent", &T::GetTransparent, &T::SetTransparent, true);
}

namespace {

// Sent by a button going down to the others of its parent: WParam the group, LParam the button.
constexpr UINT CM_GROUPDOWN = CM_BUTTONPRESSED;

bool IsPressedState(TButtonState s) {
    return s == TButtonState::bsDown || s == TButtonState::bsExclusive;
}
}  // namespace

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    FControlStyle -=
        TControlStyle{TControlStyleFlag::csDoubleClicks, TControlStyleFlag::csClickEvents};
    FWidth = 23;
    FHeight = 22;
    SetParentColor(true);
    FGlyph->SetOnChange([this](TObject*) { Invalidate(); });
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGroupIndex(int v) {
    if (v == FGroupIndex) return;
    FGroupIndex = v;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool v) {
    if (FGroupIndex == 0) v = false;
    if (v == FDown) return;
    // The one button down in a group stays down unless all may be up.
    if (FDown && !FAllowAllUp) return;
    FDown = v;
    FState = v ? TButtonState::bsExclusive : TButtonState::bsUp;
    Invalidate();
    if (v) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
    if (v == FAllowAllUp) return;
    FAllowAllUp = v;
    UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !GetParent()) return;
    TMessage m{CM_GROUPDOWN, WPARAM(FGroupIndex), LPARAM(this), 0};
    GetParent()->Broadcast(m);
}

void TSpeedButton::SetFlat(bool v) {
    if (v == FFlat) return;
    FFlat = v;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    if (v)
        FControlStyle.Exclude(TControlStyleFlag::csOpaque);
    else
        FControlStyle.Include(TControlStyleFlag::csOpaque);
    Invalidate();
}

void TSpeedButton::SetGlyphObject(TBitmap* v) {
    if (v)
        FGlyph->Assign(v);
    else
        FGlyph->SetSize(0, 0);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int v) {
    if (v < 1 || v > 4)
        throw EInvalidArgument("Number of glyphs " + std::to_string(v) +
                               " is out of range (1..4).");
    if (v == FNumGlyphs) return;
    FNumGlyphs = v;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout v) {
    if (v == FLayout) return;
    FLayout = v;
    Invalidate();
}

void TSpeedButton::SetMargin(int v) {
    if (v < -1) throw EInvalidArgument("Margin " + std::to_string(v) + " is below -1.");
    if (v == FMargin) return;
    FMargin = v;
    Invalidate();
}

void TSpeedButton::SetSpacing(int v) {
    if (v < -1) throw EInvalidArgument("Spacing " + std::to_string(v) + " is below -1.");
    if (v == FSpacing) return;
    FSpacing = v;
    Invalidate();
}

void TSpeedButton::SetRepeatDelay(unsigned v) {
    if (v == 0) throw EInvalidArgument("Repeat delay 0 is not allowed.");
    FRepeatDelay = v;
}

void TSpeedButton::SetRepeatInterval(unsigned v) {
    if (v == 0) throw EInvalidArgument("Repeat interval 0 is not allowed.");
    FRepeatInterval = v;
}

// ---- Mouse.

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != TMouseButton::mbLeft || !GetEnabled()) return;
    if (!FDown) {
        FState = TButtonState::bsDown;
        Invalidate();
    }
    FDragging = true;
    if (FRepeating) {
        if (!FRepeatTimer) {
            FRepeatTimer = std::make_unique<TTimer>(nullptr);
            FRepeatTimer->SetOnTimer([this](TObject*) { RepeatTimer(); });
        }
        FRepeatTimer->SetEnabled(false);
        FRepeatTimer->SetInterval(FRepeatDelay);
        FRepeatTimer->SetEnabled(true);
        Click();
    }
}

void TSpeedButton::RepeatTimer() {
    FRepeatTimer->SetInterval(FRepeatInterval);
    // Only while the pointer is still on the pressed button.
    if (FDragging && FState == TButtonState::bsDown && GetMouseCapture()) Click();
}

void TSpeedButton::StopRepeat() {
    if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    TButtonState s = TButtonState::bsUp;
    if (GetClientRect().Contains(Point(X, Y)))
        s = TButtonState::bsDown;
    else if (FDown)
        s = TButtonState::bsExclusive;
    if (s != FState) {
        FState = s;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != TMouseButton::mbLeft || !FDragging) return;
    FDragging = false;
    StopRepeat();
    const bool doClick = GetClientRect().Contains(Point(X, Y));
    if (FGroupIndex == 0) {
        FState = TButtonState::bsUp;
        Invalidate();
    } else if (doClick) {
        SetDown(!FDown);
        // A down button that may not come up: back to its stay-down look.
        FState = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
        Invalidate();
    } else {
        FState = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
        Invalidate();
    }
    if (doClick && !FRepeating) Click();
}

void TSpeedButton::MouseEnter() {
    TGraphicControl::MouseEnter();
    if (!FMouseInControl && GetEnabled() && !GetCaptureControl()) {
        FMouseInControl = true;
        if (FFlat) Invalidate();
    }
}

void TSpeedButton::MouseLeave() {
    TGraphicControl::MouseLeave();
    if (FMouseInControl) {
        FMouseInControl = false;
        if (FFlat) Invalidate();
    }
}

void TSpeedButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_GROUPDOWN: {
            auto* sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
            if (sender != this && int(Message.WParam) == FGroupIndex && FGroupIndex != 0) {
                if (sender->GetDown() && FDown) {
                    FDown = false;
                    FState = TButtonState::bsUp;
                    Invalidate();
                }
                FAllowAllUp = sender->GetAllowAllUp();
            }
            return;
        }
        case CM_DIALOGCHAR:
            if (GetEnabled() && GetVisible() && GetParent() && GetParent()->IsShowing() &&
                IsAccel(char32_t(Message.WParam), GetCaption())) {
                Click();
                Message.Result = 1;
            }
            return;
        case CM_ENABLEDCHANGED:
            if (!GetEnabled()) {
                FDragging = false;
                FMouseInControl = false;
                StopRepeat();
            }
            Invalidate();
            return;
        case WM_CANCELMODE:
        case CM_CANCELMODE:
            if (FDragging) {
                FDragging = false;
                StopRepeat();
                FState = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
                Invalidate();
            }
            TGraphicControl::Dispatch(Message);
            return;
        default:
            TGraphicControl::Dispatch(Message);
    }
}

// ---- Painting.

void TSpeedButton::CalcLayout(const TRect& Client, TRect& GlyphRect, TRect& TextRect) {
    const int gw = FGlyph->GetEmpty() ? 0 : FGlyph->GetWidth() / FNumGlyphs;
    const int gh = FGlyph->GetEmpty() ? 0 : FGlyph->GetHeight();
    TSize text{0, 0};
    if (!GetCaption().empty()) {
        TRect r{0, 0, Client.Width(), 0};
        TCanvas& c = TextMeasureCanvas();
        c.SetFont(Font());
        c.DrawText(GetCaption(), r, DT_CALCRECT | DT_SINGLELINE);
        text = TSize{r.Width(), r.Height()};
    }
    const bool horizontal =
        FLayout == TButtonLayout::blGlyphLeft || FLayout == TButtonLayout::blGlyphRight;
    const int cw = Client.Width(), ch = Client.Height();
    TPoint g, t;
    if (horizontal) {
        g.Y = (ch - gh + 1) / 2;
        t.Y = (ch - text.cy + 1) / 2;
    } else {
        g.X = (cw - gw + 1) / 2;
        t.X = (cw - text.cx + 1) / 2;
    }
    int spacing = FSpacing, margin = FMargin;
    if (text.cx == 0 || gw == 0) spacing = 0;
    const int room = horizontal ? cw : ch;
    const int gs = horizontal ? gw : gh, ts = horizontal ? text.cx : text.cy;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (room - (gs + ts)) / 3;
            spacing = margin;
        } else {
            margin = (room - (gs + spacing + ts) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (room - (margin + gs) - ts) / 2;
    }
    switch (FLayout) {
        case TButtonLayout::blGlyphLeft:
            g.X = margin;
            t.X = g.X + gw + spacing;
            break;
        case TButtonLayout::blGlyphRight:
            g.X = cw - margin - gw;
            t.X = g.X - spacing - text.cx;
            break;
        case TButtonLayout::blGlyphTop:
            g.Y = margin;
            t.Y = g.Y + gh + spacing;
            break;
        case TButtonLayout::blGlyphBottom:
            g.Y = ch - margin - gh;
            t.Y = g.Y - spacing - text.cy;
            break;
    }
    GlyphRect = Bounds(Client.Left + g.X, Client.Top + g.Y, gw, gh);
    TextRect = Bounds(Client.Left + t.X, Client.Top + t.Y, text.cx, text.cy);
}

void TSpeedButton::DrawGlyph(TCanvas& Canvas, TPoint Pos) {
    if (FGlyph->GetEmpty()) return;
    const int gw = FGlyph->GetWidth() / FNumGlyphs, gh = FGlyph->GetHeight();
    int index = 0;
    switch (FState) {
        case TButtonState::bsDisabled:
            index = 1;
            break;
        case TButtonState::bsDown:
            index = 2;
            break;
        case TButtonState::bsExclusive:
            index = 3;
            break;
        default:
            break;
    }
    const bool own = index < FNumGlyphs;
    if (!own) index = 0;
    const TColor transparent = FGlyph->GetPixelColor(0, gh - 1);
    const bool emboss = FState == TButtonState::bsDisabled && !own;
    // A disabled button without its own image: the dark pixels embossed.
    for (int pass = emboss ? 0 : 1; pass < 2; ++pass)
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x) {
                const TColor c = FGlyph->GetPixelColor(index * gw + x, y);
                if (c == transparent) continue;
                if (emboss) {
                    const TColorRef rgb = TColorRef(c);
                    const int lum =
                        (GetRValue(rgb) * 30 + GetGValue(rgb) * 59 + GetBValue(rgb) * 11) / 100;
                    if (lum >= 192) continue;
                    if (pass == 0)
                        Canvas.SetPixel(Pos.X + x + 1, Pos.Y + y + 1, clBtnHighlight);
                    else
                        Canvas.SetPixel(Pos.X + x, Pos.Y + y, clBtnShadow);
                } else {
                    Canvas.SetPixel(Pos.X + x, Pos.Y + y, c);
                }
            }
}

void TSpeedButton::Paint() {
    TCanvas& c = Canvas();
    if (!GetEnabled()) {
        FState = TButtonState::bsDisabled;
        FDragging = false;
    } else if (FState == TButtonState::bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? TButtonState::bsExclusive : TButtonState::bsUp;
    }
    const bool pressed = IsPressedState(FState);
    TRect r = GetClientRect();
    if (!FFlat) {
        unsigned flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
        if (pressed) flags |= DFCS_PUSHED;
        DrawFrameControl(c, r, DFC_BUTTON, flags);
    } else {
        if (pressed || (FMouseInControl && FState != TButtonState::bsDisabled)) {
            if (!FTransparent) {
                c.Brush().SetStyle(TBrushStyle::bsSolid);
                c.Brush().SetColor(GetColor());
            }
            DrawEdge(c, r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                     BF_RECT | (FTransparent ? 0u : BF_MIDDLE));
        } else if (!FTransparent) {
            c.Brush().SetStyle(TBrushStyle::bsSolid);
            c.Brush().SetColor(GetColor());
            c.FillRect(r);
        }
        r.Inflate(-1, -1);
    }
    TPoint offset{0, 0};
    if (pressed) {
        if (FState == TButtonState::bsExclusive && (!FFlat || !FMouseInControl)) {
            // The stay-down look: a checkerboard of face and highlight.
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x)
                    c.SetPixel(x, y, ((x + y) & 1) ? clBtnHighlight : clBtnFace);
        }
        offset = {1, 1};
    }
    TRect glyph, text;
    CalcLayout(r, glyph, text);
    DrawGlyph(c, Point(glyph.Left + offset.X, glyph.Top + offset.Y));
    if (!GetCaption().empty()) {
        text.Offset(offset.X, offset.Y);
        c.SetFont(Font());
        c.Brush().SetStyle(TBrushStyle::bsClear);
        unsigned flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (UseRightToLeftReading()) flags |= DT_RTLREADING;
        if (FState == TButtonState::bsDisabled)
            DrawEmbossedText(c, GetCaption(), text, flags);
        else
            c.DrawText(GetCaption(), text, flags);
    }
}

}  // namespace vel
