#include "platform/graphics/Graphics.h"

#include <algorithm>
#include <cmath>

#include "platform/classes/TypInfo.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CLASS(TGraphicsObject, TPersistent)
VEL_DEFINE_CLASS(TFont, TGraphicsObject)
VEL_DEFINE_CLASS(TPen, TGraphicsObject)
VEL_DEFINE_CLASS(TBrush, TGraphicsObject)

VEL_ENUM_INFO(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
VEL_ENUM_INFO(TFontPitch, fpDefault, fpVariable, fpFixed)
VEL_ENUM_INFO(TFontQuality, fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased,
              fqClearType, fqClearTypeNatural)
// Only the registrations below name these tables; declared here to spare the rebuild of
// everything that includes Graphics.h. Move the declarations there when another class
// publishes one of these types.
VEL_DECLARE_ENUM_INFO(TPenStyle)
VEL_DECLARE_ENUM_INFO(TPenMode)
VEL_DECLARE_ENUM_INFO(TBrushStyle)
VEL_ENUM_INFO(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame,
              psUserStyle, psAlternate)
VEL_ENUM_INFO(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot,
              pmMaskPenNot, pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask,
              pmXor, pmNotXor)
VEL_ENUM_INFO(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal,
              bsCross, bsDiagCross)

// The defaults are those of a new font, so a form writes only what was changed. Height
// carries the size; Size is for code and is never written (it would fight Height).
VEL_PUBLISHED(TFont) {
    Prop("Charset", &T::GetCharset, &T::SetCharset, DEFAULT_CHARSET);
    Color("Color", &T::GetColor, &T::SetColor, clWindowText);
    Prop("Height", &T::GetHeight, &T::SetHeight, -11);
    Prop("Name", &T::GetName, &T::SetName).Default(std::string("Tahoma"));
    Prop("Orientation", &T::GetOrientation, &T::SetOrientation, 0);
    Prop("Pitch", &T::GetPitch, &T::SetPitch, TFontPitch::fpDefault);
    Prop("Size", &T::GetSize, &T::SetSize).Stored(false);
    Prop("Style", &T::GetStyle, &T::SetStyle, TFontStyles{});
    Prop("Quality", &T::GetQuality, &T::SetQuality, TFontQuality::fqDefault);
}

VEL_PUBLISHED(TPen) {
    Color("Color", &T::GetColor, &T::SetColor, clBlack);
    Prop("Mode", &T::GetMode, &T::SetMode, TPenMode::pmCopy);
    Prop("Style", &T::GetStyle, &T::SetStyle, TPenStyle::psSolid);
    Prop("Width", &T::GetWidth, &T::SetWidth, 1);
}

// Color before Style: setting a colour makes a clear brush solid, so a clear brush read back
// must get its style last.
VEL_PUBLISHED(TBrush) {
    Color("Color", &T::GetColor, &T::SetColor, clWhite);
    Prop("Style", &T::GetStyle, &T::SetStyle, TBrushStyle::bsSolid);
}

void TGraphicsObject::Changed() {
    if (FOnChange) FOnChange(this);
}

namespace {
int MulDiv(int a, int b, int c) {
    return int(std::lround(double(a) * double(b) / double(c)));
}
}  // namespace

TFont::TFont() = default;

void TFont::Assign(const TPersistent* source) {
    if (auto* f = dynamic_cast<const TFont*>(source)) {
        if (SameAs(*f)) return;
        FName = f->FName;
        FStyle = f->FStyle;
        FColor = f->FColor;
        FPitch = f->FPitch;
        FCharset = f->FCharset;
        FOrientation = f->FOrientation;
        FQuality = f->FQuality;
        // The size in points carries over when the resolutions differ.
        FHeight = f->FPixelsPerInch == FPixelsPerInch ? f->FHeight
                                                      : -MulDiv(f->GetSize(), FPixelsPerInch, 72);
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

bool TFont::SameAs(const TFont& o) const {
    return FName == o.FName && FHeight == o.FHeight && FStyle == o.FStyle && FColor == o.FColor &&
           FPixelsPerInch == o.FPixelsPerInch && FPitch == o.FPitch && FCharset == o.FCharset &&
           FOrientation == o.FOrientation && FQuality == o.FQuality;
}

void TFont::SetName(const std::string& v) {
    if (v == FName) return;
    FName = v;
    Changed();
}

void TFont::SetHeight(int v) {
    if (v == FHeight) return;
    FHeight = v;
    Changed();
}

int TFont::GetSize() const {
    return -MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int points) {
    SetHeight(-MulDiv(points, FPixelsPerInch, 72));
}

void TFont::SetStyle(TFontStyles v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}

void TFont::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    Changed();
}

void TFont::SetPixelsPerInch(int v) {
    if (v <= 0)
        throw EInvalidArgument("Pixels per inch must be positive, not " + std::to_string(v) + ".");
    if (v == FPixelsPerInch) return;
    const int size = GetSize();
    FPixelsPerInch = v;
    FHeight = -MulDiv(size, v, 72);
    Changed();
}

void TFont::SetPitch(TFontPitch v) {
    if (v == FPitch) return;
    FPitch = v;
    Changed();
}

void TFont::SetCharset(int v) {
    if (v == FCharset) return;
    FCharset = v;
    Changed();
}

void TFont::SetOrientation(int v) {
    if (v == FOrientation) return;
    FOrientation = v;
    Changed();
}

void TFont::SetQuality(TFontQuality v) {
    if (v == FQuality) return;
    FQuality = v;
    Changed();
}

int TFont::EmPixels() const {
    // A positive height is the cell height (em plus internal leading); DejaVu's cell is about
    // 1.164 em.
    if (FHeight < 0) return -FHeight;
    if (FHeight == 0) return MulDiv(8, FPixelsPerInch, 72);
    return std::max(1, int(std::lround(FHeight / 1.164)));
}

void TPen::Assign(const TPersistent* source) {
    if (auto* p = dynamic_cast<const TPen*>(source)) {
        if (FColor == p->FColor && FWidth == p->FWidth && FStyle == p->FStyle && FMode == p->FMode)
            return;
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TPen::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    Changed();
}

void TPen::SetWidth(int v) {
    if (v < 0) v = 0;
    if (v == FWidth) return;
    FWidth = v;
    Changed();
}

void TPen::SetStyle(TPenStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}

void TPen::SetMode(TPenMode v) {
    if (v == FMode) return;
    FMode = v;
    Changed();
}

void TBrush::Assign(const TPersistent* source) {
    if (auto* b = dynamic_cast<const TBrush*>(source)) {
        if (FColor == b->FColor && FStyle == b->FStyle) return;
        FColor = b->FColor;
        FStyle = b->FStyle;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TBrush::SetColor(TColor v) {
    if (v == FColor && FStyle != TBrushStyle::bsClear) return;
    FColor = v;
    if (FStyle == TBrushStyle::bsClear) FStyle = TBrushStyle::bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}

}  // namespace vel
