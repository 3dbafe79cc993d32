#include "platform/controls/ExtCtrls.h"

#include <algorithm>

#include "platform/classes/Alignment.h"
#include "platform/classes/TypInfo.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CLASS(TCustomPanel, TCustomControl)
VEL_DEFINE_CREATABLE_CLASS(TPanel, TCustomPanel)
VEL_DEFINE_CREATABLE_CLASS(TBevel, TGraphicControl)
VEL_DEFINE_CREATABLE_CLASS(TShape, TGraphicControl)
VEL_DEFINE_CREATABLE_CLASS(TImage, TGraphicControl)

VEL_ENUM_INFO(TPanelBevel, bvNone, bvLowered, bvRaised, bvSpace)
VEL_ENUM_INFO(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine,
              bsSpacer)
VEL_ENUM_INFO(TBevelStyle, bsLowered, bsRaised)
VEL_ENUM_INFO(TShapeType, stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle)

VEL_PUBLISHED(TCustomPanel) {
    Prop("Alignment", &T::GetAlignment, &T::SetAlignment, TAlignment::taCenter);
    Prop("BevelInner", &T::GetBevelInner, &T::SetBevelInner, TPanelBevel::bvNone);
    Prop("BevelOuter", &T::GetBevelOuter, &T::SetBevelOuter, TPanelBevel::bvRaised);
    Prop("BevelWidth", &T::GetBevelWidth, &T::SetBevelWidth, 1);
    Prop("BorderWidth", &T::GetBorderWidth, &T::SetBorderWidth, 0);
}

VEL_PUBLISHED(TBevel) {
    Prop("Shape", &T::GetShape, &T::SetShape, TBevelShape::bsBox);
    Prop("Style", &T::GetStyle, &T::SetStyle, TBevelStyle::bsLowered);
}

VEL_PUBLISHED(TShape) {
    Prop("Shape", &T::GetShape, &T::SetShape, TShapeType::stRectangle);
    Prop("Pen", &T::GetPenObject, &T::SetPenObject);
    Prop("Brush", &T::GetBrushObject, &T::SetBrushObject);
}

VEL_PUBLISHED(TImage) {
    Prop("AutoSize", &T::GetAutoSize, &T::SetAutoSize, false);
    Prop("Center", &T::GetCenter, &T::SetCenter, false);
    Prop("Picture", &T::GetPictureObject, &T::SetPictureObject);
    Prop("Proportional", &T::GetProportional, &T::SetProportional, false);
    Prop("Stretch", &T::GetStretch, &T::SetStretch, false);
    Prop("Transparent", &T::GetTransparent, &T::SetTransparent, false);
}

namespace {

void BevelColors(TPanelBevel Bevel, TColor& TopLeft, TColor& BottomRight) {
    TopLeft = Bevel == TPanelBevel::bvLowered ? clBtnShadow : clBtnHighlight;
    BottomRight = Bevel == TPanelBevel::bvLowered ? clBtnHighlight : clBtnShadow;
}
}  // namespace

// ---- TCustomPanel.

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle += TControlStyle{TControlStyleFlag::csAcceptsControls,
                                   TControlStyleFlag::csOpaque, TControlStyleFlag::csSetCaption};
    FWidth = 185;
    FHeight = 41;
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TCustomPanel::SetBevelInner(TPanelBevel v) {
    if (v == FBevelInner) return;
    FBevelInner = v;
    FrameChanged();
}

void TCustomPanel::SetBevelOuter(TPanelBevel v) {
    if (v == FBevelOuter) return;
    FBevelOuter = v;
    FrameChanged();
}

void TCustomPanel::SetBevelWidth(int v) {
    if (v < 1) throw EInvalidArgument("Bevel width " + std::to_string(v) + " is below 1.");
    if (v == FBevelWidth) return;
    FBevelWidth = v;
    FrameChanged();
}

void TCustomPanel::SetBorderWidth(int v) {
    if (v < 0) throw EInvalidArgument("Border width " + std::to_string(v) + " is negative.");
    if (v == FBorderWidth) return;
    FBorderWidth = v;
    FrameChanged();
}

void TCustomPanel::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    Invalidate();
}

void TCustomPanel::FrameChanged() {
    Realign();
    Invalidate();
}

int TCustomPanel::FrameWidth() const {
    int w = FBorderWidth;
    if (FBevelOuter != TPanelBevel::bvNone) w += FBevelWidth;
    if (FBevelInner != TPanelBevel::bvNone) w += FBevelWidth;
    return w;
}

void TCustomPanel::AdjustClientRect(TRect& Rect) const {
    const int w = FrameWidth();
    Rect.Inflate(-w, -w);
}

void TCustomPanel::Paint() {
    TCanvas& c = Canvas();
    TRect r = GetClientRect();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(GetColor());
    c.FillRect(r);
    TColor tl, br;
    if (FBevelOuter != TPanelBevel::bvNone) {
        BevelColors(FBevelOuter, tl, br);
        if (FBevelOuter == TPanelBevel::bvSpace)
            r.Inflate(-FBevelWidth, -FBevelWidth);
        else
            Frame3D(c, r, tl, br, FBevelWidth);
    }
    r.Inflate(-FBorderWidth, -FBorderWidth);
    if (FBevelInner != TPanelBevel::bvNone) {
        BevelColors(FBevelInner, tl, br);
        if (FBevelInner == TPanelBevel::bvSpace)
            r.Inflate(-FBevelWidth, -FBevelWidth);
        else
            Frame3D(c, r, tl, br, FBevelWidth);
    }
    if (GetCaption().empty()) return;
    unsigned flags = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS;
    TAlignment a = FAlignment;
    if (UseRightToLeftAlignment() && a != TAlignment::taCenter)
        a = a == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
    if (a == TAlignment::taCenter)
        flags |= DT_CENTER;
    else if (a == TAlignment::taRightJustify)
        flags |= DT_RIGHT;
    if (UseRightToLeftReading()) flags |= DT_RTLREADING;
    c.SetFont(Font());
    c.Brush().SetStyle(TBrushStyle::bsClear);
    if (GetEnabled())
        c.DrawText(GetCaption(), r, flags);
    else
        DrawEmbossedText(c, GetCaption(), r, flags);
}

// ---- TBevel.

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle += TControlStyle{TControlStyleFlag::csReplicatable};
    FWidth = 50;
    FHeight = 50;
}

void TBevel::SetShape(TBevelShape v) {
    if (v == FShape) return;
    FShape = v;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas& c = Canvas();
    TColor c1 = FStyle == TBevelStyle::bsLowered ? clBtnShadow : clBtnHighlight;
    TColor c2 = FStyle == TBevelStyle::bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = FWidth, h = FHeight;
    auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(color);
        c.FillRect(TRect{x1, y1, std::max(x2, x1 + 1), std::max(y2, y1 + 1)});
    };
    // Top and left in the first colour, bottom and right in the second.
    auto box = [&](TRect r, TColor a, TColor b) {
        line(a, r.Left, r.Top, r.Right, r.Top + 1);
        line(a, r.Left, r.Top, r.Left + 1, r.Bottom);
        line(b, r.Left, r.Bottom - 1, r.Right, r.Bottom);
        line(b, r.Right - 1, r.Top, r.Right, r.Bottom);
    };
    switch (FShape) {
        case TBevelShape::bsBox:
            box({0, 0, w, h}, c1, c2);
            break;
        case TBevelShape::bsFrame:
            // Two offset rings: the groove of an etched frame.
            box({1, 1, w, h}, c2, c2);
            box({0, 0, w - 1, h - 1}, c1, c1);
            break;
        case TBevelShape::bsTopLine:
            line(c1, 0, 0, w, 1);
            line(c2, 0, 1, w, 2);
            break;
        case TBevelShape::bsBottomLine:
            line(c1, 0, h - 2, w, h - 1);
            line(c2, 0, h - 1, w, h);
            break;
        case TBevelShape::bsLeftLine:
            line(c1, 0, 0, 1, h);
            line(c2, 1, 0, 2, h);
            break;
        case TBevelShape::bsRightLine:
            line(c1, w - 2, 0, w - 1, h);
            line(c2, w - 1, 0, w, h);
            break;
        case TBevelShape::bsSpacer:
            break;
    }
}

// ---- TShape.

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    FControlStyle += TControlStyle{TControlStyleFlag::csReplicatable};
    FWidth = 65;
    FHeight = 65;
    FPen->SetOnChange([this](TObject*) { Invalidate(); });
    FBrush->SetOnChange([this](TObject*) { Invalidate(); });
}

void TShape::SetShape(TShapeType v) {
    if (v == FShape) return;
    FShape = v;
    Invalidate();
}

void TShape::Paint() {
    TCanvas& c = Canvas();
    c.SetPen(*FPen);
    c.SetBrush(*FBrush);
    const int pw = FPen->GetWidth();
    int x = pw / 2, y = x;
    int w = FWidth - pw + 1, h = FHeight - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    const int s = std::min(w, h);
    if (FShape == TShapeType::stSquare || FShape == TShapeType::stRoundSquare ||
        FShape == TShapeType::stCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (FShape) {
        case TShapeType::stRectangle:
        case TShapeType::stSquare:
            c.Rectangle(x, y, x + w, y + h);
            break;
        case TShapeType::stRoundRect:
        case TShapeType::stRoundSquare:
            c.RoundRect(x, y, x + w, y + h, s / 4, s / 4);
            break;
        case TShapeType::stEllipse:
        case TShapeType::stCircle:
            c.Ellipse(x, y, x + w, y + h);
            break;
    }
}

// ---- TImage.

TImage::TImage(TComponent* AOwner)
    : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    FControlStyle += TControlStyle{TControlStyleFlag::csReplicatable};
    FWidth = 105;
    FHeight = 105;
    FPicture->SetOnChange([this](TObject*) { PictureChanged(); });
}

void TImage::SetStretch(bool v) {
    if (v == FStretch) return;
    FStretch = v;
    Invalidate();
}

void TImage::SetCenter(bool v) {
    if (v == FCenter) return;
    FCenter = v;
    Invalidate();
}

void TImage::SetProportional(bool v) {
    if (v == FProportional) return;
    FProportional = v;
    Invalidate();
}

void TImage::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    PictureChanged();  // decides csOpaque
}

void TImage::SetAutoSize(bool v) {
    if (v == FAutoSize) return;
    FAutoSize = v;
    PictureChanged();
}

void TImage::PictureChanged() {
    if (FSyncing) return;
    // The graphic carries the transparency it is drawn with.
    if (TGraphic* g = FPicture->GetGraphic(); g && g->GetTransparent() != FTransparent) {
        FSyncing = true;
        g->SetTransparent(FTransparent);
        FSyncing = false;
    }
    if (FAutoSize && FPicture->GetWidth() > 0 && FPicture->GetHeight() > 0)
        SetBounds(FLeft, FTop, FPicture->GetWidth(), FPicture->GetHeight());
    // An opaque picture covering the whole control saves erasing the parent below it.
    const TRect d = DestRect();
    const bool covers = FPicture->GetGraphic() && !FTransparent && d.Left <= 0 && d.Top <= 0 &&
                        d.Right >= GetClientWidth() && d.Bottom >= GetClientHeight();
    if (covers)
        FControlStyle.Include(TControlStyleFlag::csOpaque);
    else
        FControlStyle.Exclude(TControlStyleFlag::csOpaque);
    Invalidate();
}

TRect TImage::DestRect() const {
    int w = FPicture->GetWidth(), h = FPicture->GetHeight();
    const int cw = GetClientWidth(), ch = GetClientHeight();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            const double aspect = double(w) / h;
            if (w > h) {
                w = cw;
                h = int(cw / aspect);
                if (h > ch) {
                    h = ch;
                    w = int(ch * aspect);
                }
            } else {
                h = ch;
                w = int(ch * aspect);
                if (w > cw) {
                    w = cw;
                    h = int(cw / aspect);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r{0, 0, w, h};
    if (FCenter) r.Offset((cw - w) / 2, (ch - h) / 2);
    return r;
}

void TImage::Paint() {
    TGraphic* g = FPicture->GetGraphic();
    if (!g || g->GetEmpty()) return;
    const TRect d = DestRect();
    TCanvas& c = Canvas();
    if (d.Width() == g->GetWidth() && d.Height() == g->GetHeight())
        c.Draw(d.Left, d.Top, *g);
    else
        c.StretchDraw(d, *g);
}

}  // namespace vel
