#include "graphics/PimkitGraph.h"

#include "platform/classes/TypInfo.h"
#include "platform/controls/Controls.h"
#include "platform/controls/SystemProfile.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

// ---- Module state and the look queries.

namespace {
TGradientFillProc BoundGradientFill = &GradientFill;
bool GradientsEnabled = true;
constexpr TColorRef White = 0xFFFFFF;
}  // namespace

TGradientFillProc GetGradientFillProc() { return BoundGradientFill; }

TGradientFillProc SetGradientFillProc(TGradientFillProc Proc) {
    const TGradientFillProc old = BoundGradientFill;
    BoundGradientFill = Proc;
    return old;
}

bool GetGradientsEnabled() { return GradientsEnabled; }
void SetGradientsEnabled(bool Value) { GradientsEnabled = Value; }

TColor ShadowColor(TColor Color, int Factor) {
    if (Factor == 0) return Color;
    const TColor c = GetShadowColor(Color, Factor);
    if (Factor < 0 && ColorToRGB(c) == White) return clBlack;
    if (Factor > 0 && ColorToRGB(c) == 0) return clWhite;
    return c;
}

void FillCanvas(TCanvas& Canvas, TColor Color1, TColor Color2, const TRect& Rect,
                TGradientDirection Direction) {
    if (!BoundGradientFill) return;
    const TTriVertex v[2] = {MakeVertex(Rect.Left, Rect.Top, TColor(ColorToRGB(Color1))),
                             MakeVertex(Rect.Right, Rect.Bottom, TColor(ColorToRGB(Color2)))};
    const TGradientRect mesh{0, 1};
    BoundGradientFill(Canvas, v, 2, &mesh, 1,
                      Direction == TGradientDirection::gdHorizontal ? GRADIENT_FILL_RECT_H
                                                                    : GRADIENT_FILL_RECT_V);
}

// The profile is the system here, and tests switch it, so these are read each time.
bool IsVista() { return CheckWin32Version(6); }
bool IsWin08() { return CheckWin32Version(6, 2); }
bool IsWin11() { return IsWin08() && SystemProfile().OSBuildNumber >= 22000; }
bool StylesEnabled() { return TStyleManager::IsCustomStyleActive(); }

bool ThemesEnabled(const TComponent* Control) {
    if (Control && !dynamic_cast<const TControl*>(Control)) return false;
    return StyleServices().Enabled();
}

bool ClearBackground(TWinControl* Control, TCanvas& Canvas) {
    if (!Control) return false;
    const TRect r = Control->GetClientRect();
    TWinControl* parent = Control->GetParent();
    Canvas.FillRectColor(r, ThemesEnabled(Control) && parent ? parent->GetColor() : Control->GetColor());
    return true;
}

void SetupParentBackground(TControl* Control, bool On) {
    if (!Control) return;
    TControlStyle style = Control->GetControlStyle();
    if (On)
        style.Include(TControlStyleFlag::csParentBackground);
    else
        style.Exclude(TControlStyleFlag::csParentBackground);
    Control->SetControlStyle(style);
}

bool ControlNeedsInvalidate(const TComponent* Control) {
    if (!Control || ThemesEnabled()) return false;
    if (IsPublishedProp(Control, "Transparent")) return GetOrdProp(Control, "Transparent") != 0;
    if (IsPublishedProp(Control, "Gradient") && IsPublishedProp(Control, "ParentBackground"))
        return GetOrdProp(Control, "ParentBackground") != 0;
    return false;
}

VEL_ENUM_INFO(TGradientDirection, gdHorizontal, gdVertical)
VEL_ENUM_INFO(TPimGradientOption, goGradient, goHotButton, goHotTrack, goHotColor)
VEL_ENUM_INFO(TPimGradientCell, gcSelectedCell, gcSelectedRow, gcMultiSelected, gcStripedRows)
VEL_ENUM_INFO(TButtonDrawingStyle, bdsClassic, bdsThemed, bdsGradient)
VEL_ENUM_INFO(TFineTheme, ftNoChange, ftBorder, ftUnderline)

VEL_DEFINE_CLASS(TPimGradient, TPersistent)

VEL_PUBLISHED(TPimGradient) {
    Prop("Active", &T::GetActive, &T::SetActive, true);
    Prop("Direction", &T::GetDirection, &T::SetDirection, TGradientDirection::gdVertical);
    Color("EndColor", &T::GetEndColor, &T::SetEndColor, clDefault);
    Color("HotColor", &T::GetHotColor, &T::SetHotColor, clDefault);
    Prop("Options", &T::GetOptions, &T::SetOptions,
         TPimGradientOptions{TPimGradientOption::goGradient});
    Prop("ShadowFactor", &T::GetShadowFactor, &T::SetShadowFactor, -25);
    Color("StartColor", &T::GetStartColor, &T::SetStartColor, clWindow);
    Prop("SwapColors", &T::GetSwapColors, &T::SetSwapColors, false);
}

TPimGradient::TPimGradient(TComponent* AControl)
    : FOptions{TPimGradientOption::goGradient}, FControl(AControl), FCells(DefaultCells()) {}

TPimGradientCells TPimGradient::DefaultCells() {
    using enum TPimGradientCell;
    return {gcSelectedCell, gcSelectedRow, gcMultiSelected, gcStripedRows};
}

void TPimGradient::Assign(const TPersistent* Source) {
    if (auto* g = dynamic_cast<const TPimGradient*>(Source)) {
        FActive = g->FActive;
        FDirection = g->FDirection;
        FOptions = g->FOptions;
        FSwapColors = g->FSwapColors;
        FStartColor = g->FStartColor;
        FEndColor = g->FEndColor;
        FHotColor = g->FHotColor;
        FStepColor = g->FStepColor;
        FCells = g->FCells;
        FShadowFactor = g->FShadowFactor;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TPimGradient::Changed() {
    if (FOnChange) FOnChange(this);
}

bool TPimGradient::Change(const TPimGradient* Other) {
    if (!Other) return false;
    const TPimGradient& o = *Other;
    if (FActive == o.FActive && FDirection == o.FDirection && FOptions == o.FOptions &&
        FSwapColors == o.FSwapColors && FStartColor == o.FStartColor && FEndColor == o.FEndColor &&
        FHotColor == o.FHotColor && FStepColor == o.FStepColor && FCells == o.FCells &&
        FShadowFactor == o.FShadowFactor)
        return false;
    Assign(Other);
    return true;
}

void TPimGradient::SwitchOptions(TPimGradientOptions Value, bool On) {
    SetOptions(On ? FOptions + Value : FOptions - Value);
}

bool TPimGradient::IsAvailable() { return BoundGradientFill != nullptr; }

bool TPimGradient::IsActive(bool IgnoreThemes) const {
    return GradientsEnabled && IsAvailable() && FActive && (IgnoreThemes || !ThemesEnabled(FControl));
}

bool TPimGradient::IsHotActive(bool IgnoreThemes) const {
    using enum TPimGradientOption;
    return IsActive(IgnoreThemes) &&
           (FOptions.Contains(goHotButton) || FOptions.Contains(goHotTrack) || FOptions.Contains(goHotColor));
}

TColor TPimGradient::DefaultHotColor() const { return RGB(198, 211, 239); }

void TPimGradient::FillRect(TCanvas& Canvas, const TRect& Rect, TColor Color, bool Hot, bool Down) {
    using enum TPimGradientOption;
    const bool hotButton = FOptions.Contains(goHotButton), hotTrack = FOptions.Contains(goHotTrack);
    const bool hotColor = FOptions.Contains(goHotColor), gradient = FOptions.Contains(goGradient);
    const bool hotOn = Hot && (hotButton || hotTrack || hotColor);
    TColor base = FEndColor != clDefault ? FEndColor : Color;
    if (hotColor && hotOn) base = FHotColor != clDefault ? FHotColor : DefaultHotColor();
    TRect r = Rect;
    if (hotOn && hotTrack) {
        Canvas.FillRectColor(r, ShadowColor(base, -50));  // the frame
        if (Down) base = ShadowColor(base, -25);
        r.Inflate(-1, -1);
        if (!hotButton) {
            if (!r.IsEmpty()) Canvas.FillRectColor(r, base);
            return;
        }
    }
    if (r.IsEmpty()) return;
    if (!gradient && !(hotOn && hotButton)) {
        Canvas.FillRectColor(r, base);
        return;
    }
    const TColor shade = ShadowColor(base, FShadowFactor);
    const bool rtl = Canvas.GetCanvasOrientation() == TCanvasOrientation::coRightToLeft &&
                     FDirection == TGradientDirection::gdHorizontal;
    const bool reverse = FSwapColors ^ (hotOn && hotButton) ^ (!gradient || (hotOn && hotTrack)) ^ rtl;
    if (reverse)
        FillCanvas(Canvas, shade, FStartColor, r, FDirection);
    else
        FillCanvas(Canvas, FStartColor, shade, r, FDirection);
}

const TPimGradient::TCellColors& TPimGradient::CellColors(TColor Color) {
    auto it = FCellColors.find(Color);
    if (it != FCellColors.end()) return it->second;
    auto white = [](TColor c) { return ColorToRGB(GetShadowColor(c, 10)) == White; };
    TCellColors e;
    const TColor c10 = GetShadowColor(Color, 10);
    e.Solid = GetShadowColor(Color, 20);
    if (white(e.Solid)) e.Solid = white(c10) ? Color : c10;
    e.From = GetShadowColor(Color, 35);
    e.To = white(c10) ? Color : c10;
    return FCellColors.emplace(Color, e).first->second;
}

void TPimGradient::FillCell(TCanvas& Canvas, const TRect& Rect, TColor Color, bool Solid) {
    if (Rect.IsEmpty()) return;
    const TCellColors& c = CellColors(Color);
    if (Solid)
        Canvas.FillRectColor(Rect, c.Solid);
    else
        FillCanvas(Canvas, c.From, c.To, Rect, TGradientDirection::gdVertical);
}

template <class F>
void TPimGradient::FillBackWith(TCanvas& Canvas, const TRect& Rect, TColor Color, int OuterInset,
                                int InnerInset, bool Hot, bool Down, bool Flat, F&& Fill) {
    const bool track = Hot && FOptions.Contains(TPimGradientOption::goHotTrack);
    TRect paint = Rect;
    paint.Inflate(-OuterInset, -OuterInset);
    if (Flat) {
        if (Down || track) ++paint.Right, ++paint.Bottom;
        if (!Down || track) --paint.Left, --paint.Top;
    }
    TRect target = Rect;
    target.Inflate(-(OuterInset + InnerInset), -(OuterInset + InnerInset));
    if (target.IsEmpty()) return;
    if (!FScratch) FScratch = std::make_unique<TBitmap>();
    TBitmap& b = *FScratch;
    if (b.GetWidth() != target.Width() || b.GetHeight() != target.Height())
        b.SetSize(target.Width(), target.Height());
    TCanvas& bc = b.Canvas();
    bc.SetCanvasOrientation(Canvas.GetCanvasOrientation());
    BitBlt(bc, 0, 0, target.Width(), target.Height(), Canvas, target.Left, target.Top, SRCCOPY);
    paint.Offset(-target.Left, -target.Top);
    Fill(bc, paint);
    const TRect all{0, 0, target.Width(), target.Height()};
    TransparentBlt(Canvas, target, b, all, ColorToRGB(Color));
}

void TPimGradient::FillBack(TCanvas& Canvas, const TRect& Rect, TColor Color, int OuterInset,
                            int InnerInset, bool Hot, bool Down, bool Flat) {
    FillBackWith(Canvas, Rect, Color, OuterInset, InnerInset, Hot, Down, Flat,
                 [&](TCanvas& C, const TRect& R) { FillRect(C, R, Color, Hot, Down); });
}

void TPimGradient::FillStep(TCanvas& Canvas, const TRect& Rect, TColor Color, int OuterInset,
                            int InnerInset, bool Hot, bool Down, bool Flat) {
    TRestore<TColor> end(FEndColor, FStepColor);
    FillBack(Canvas, Rect, Color, OuterInset, InnerInset, Hot, Down, Flat);
}

void TPimGradient::FillStyleBack(TCanvas& Canvas, const TRect& Rect, TColor Color, int OuterInset,
                                 int InnerInset, bool Hot, bool Down, bool Flat) {
    const TCustomStyleServices& s = StyleServices();
    const TStyleColor state = Down  ? TStyleColor::scButtonPressed
                              : Hot ? TStyleColor::scButtonHot
                                    : TStyleColor::scButtonNormal;
    const TColor face = s.GetStyleColor(state);
    const bool gradient = IsActive(true) && FOptions.Contains(TPimGradientOption::goGradient);
    // The normal face runs between the style's gradient colours; hot and pressed from a
    // lighter shade of their face to the face.
    const TColor from = state == TStyleColor::scButtonNormal
                            ? s.GetStyleColor(TStyleColor::scGenericGradientBase)
                            : ShadowColor(face, 12);
    const TColor to = state == TStyleColor::scButtonNormal
                          ? s.GetStyleColor(TStyleColor::scGenericGradientEnd)
                          : face;
    FillBackWith(Canvas, Rect, Color, OuterInset, InnerInset, Hot, Down, Flat,
                 [&](TCanvas& C, const TRect& R) {
                     if (R.IsEmpty()) return;
                     if (gradient)
                         FillCanvas(C, FSwapColors ? to : from, FSwapColors ? from : to, R, FDirection);
                     else
                         C.FillRectColor(R, face);
                 });
}

void TPimGradient::FillStyleRect(TCanvas& Canvas, const TRect& Rect, TColor Color) {
    if (Rect.IsEmpty()) return;
    if (!IsActive(true) || !FOptions.Contains(TPimGradientOption::goGradient)) {
        Canvas.FillRectColor(Rect, Color);
        return;
    }
    const TColor light = ShadowColor(Color, 12), dark = ShadowColor(Color, -12);
    if (FSwapColors)
        FillCanvas(Canvas, dark, light, Rect, FDirection);
    else
        FillCanvas(Canvas, light, dark, Rect, FDirection);
}

namespace {
template <class V>
bool Store(V& Field, const V& Value) {
    if (Field == Value) return false;
    Field = Value;
    return true;
}
}  // namespace

void TPimGradient::SetActive(bool Value) {
    if (Store(FActive, Value)) Changed();
}
void TPimGradient::SetDirection(TGradientDirection Value) {
    if (Store(FDirection, Value)) Changed();
}
void TPimGradient::SetOptions(TPimGradientOptions Value) {
    if (Store(FOptions, Value)) Changed();
}
void TPimGradient::SetSwapColors(bool Value) {
    if (Store(FSwapColors, Value)) Changed();
}
void TPimGradient::SetStartColor(TColor Value) {
    if (Store(FStartColor, Value)) Changed();
}
void TPimGradient::SetEndColor(TColor Value) {
    if (Store(FEndColor, Value)) Changed();
}
void TPimGradient::SetHotColor(TColor Value) {
    if (Store(FHotColor, Value)) Changed();
}
void TPimGradient::SetStepColor(TColor Value) {
    if (Store(FStepColor, Value)) Changed();
}
void TPimGradient::SetCells(TPimGradientCells Value) {
    if (Store(FCells, Value)) Changed();
}
void TPimGradient::SetShadowFactor(int Value) {
    if (Store(FShadowFactor, Value)) Changed();
}

VEL_DEFINE_CLASS(TPimGradientButton, TPimGradient)

VEL_PUBLISHED(TPimGradientButton) {
    using enum TPimGradientOption;
    Prop("Options", &T::GetOptions, &T::SetOptions, TPimGradientOptions{goGradient, goHotButton});
}

TPimGradientButton::TPimGradientButton(TComponent* AControl) : TPimGradient(AControl) {
    FOptions = {TPimGradientOption::goGradient, TPimGradientOption::goHotButton};
}

VEL_DEFINE_CLASS(TVelDBGridGradient, TPimGradientButton)

VEL_PUBLISHED(TVelDBGridGradient) {
    Prop("Cells", &T::GetCells, &T::SetCells, TPimGradient::DefaultCells());
}

}  // namespace vel
