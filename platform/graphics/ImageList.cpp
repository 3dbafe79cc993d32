#include "platform/graphics/ImageList.h"

#include <algorithm>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Errors.h"
#include "platform/graphics/Resources.h"
#include "platform/graphics/Text.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CLASS(TCustomImageList, TComponent)
VEL_DEFINE_CREATABLE_CLASS(TImageList, TCustomImageList)

TCustomImageList::TCustomImageList(TComponent* owner, int width, int height)
    : TComponent(owner), FWidth(width), FHeight(height) {
    if (width <= 0 || height <= 0)
        throw EInvalidOperation("Invalid image size " + std::to_string(width) + "x" +
                                std::to_string(height) + ".");
}

void TCustomImageList::Assign(const TPersistent* source) {
    if (auto* l = dynamic_cast<const TCustomImageList*>(source)) {
        FWidth = l->FWidth;
        FHeight = l->FHeight;
        FImages = l->FImages;
        FBkColor = l->FBkColor;
        FBlendColor = l->FBlendColor;
        FDrawingStyle = l->FDrawingStyle;
        FImageType = l->FImageType;
        Change();
        return;
    }
    TComponent::Assign(source);
}

void TCustomImageList::Change() {
    if (FOnChange) FOnChange(this);
}

void TCustomImageList::SetSize(int width, int height) {
    if (width <= 0 || height <= 0)
        throw EInvalidOperation("Invalid image size " + std::to_string(width) + "x" +
                                std::to_string(height) + ".");
    if (width == FWidth && height == FHeight) return;
    FWidth = width;
    FHeight = height;
    FImages.clear();
    Change();
}

void TCustomImageList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount())
        throw EInvalidOperation("Image list index " + std::to_string(index) + " is out of bounds.");
}

TBitmap TCustomImageList::Cut(const TBitmap& image, const TBitmap* mask, int col, TPixel key,
                              bool keyed) const {
    TBitmap out(FWidth, FHeight);
    out.SetAlphaFormat(TAlphaFormat::afDefined);
    const bool alpha = image.GetAlphaFormat() != TAlphaFormat::afIgnored && !keyed && !mask;
    for (int y = 0; y < FHeight; ++y) {
        TPixel* dst = out.ScanLine(y);
        for (int x = 0; x < FWidth; ++x) {
            const int sx = col * FWidth + x;
            TPixel p = image.GetPixel(sx, y);
            if (sx >= image.GetWidth() || y >= image.GetHeight())
                p = 0;
            else if (keyed)
                p = (p & 0xFFFFFF) == (key & 0xFFFFFF) ? 0 : (p | 0xFF000000u);
            else if (mask)
                p = (mask->GetPixel(sx, y) & 0xFFFFFF) != 0 ? 0 : (p | 0xFF000000u);
            else if (!alpha)
                p |= 0xFF000000u;
            dst[x] = p;
        }
    }
    return out;
}

int TCustomImageList::Add(const TBitmap& image, const TBitmap* mask) {
    const int first = GetCount();
    const int n = std::max(1, image.GetWidth() / FWidth);
    for (int i = 0; i < n; ++i) FImages.push_back(Cut(image, mask, i, 0, false));
    Change();
    return first;
}

int TCustomImageList::AddMasked(const TBitmap& image, TColor maskColor) {
    const int first = GetCount();
    TColorRef key =
        maskColor == clDefault
            ? (image.GetEmpty() ? 0 : RefFromPixel(image.GetPixel(0, image.GetHeight() - 1)))
            : ColorToRGB(maskColor);
    const int n = std::max(1, image.GetWidth() / FWidth);
    for (int i = 0; i < n; ++i) FImages.push_back(Cut(image, nullptr, i, PixelFromRef(key), true));
    Change();
    return first;
}

int TCustomImageList::AddResource(const std::string& name) {
    const TGlyphResource* res = FindGlyphResource(name);
    if (!res) throw EInvalidGraphic("Resource \"" + name + "\" not found.");
    auto strip = LoadBitmapResource(name);
    if (GetCount() == 0 && (FWidth != res->GlyphWidth || FHeight != res->Height))
        SetSize(res->GlyphWidth, res->Height);
    return AddMasked(*strip, kGlyphMaskColor);
}

void TCustomImageList::Replace(int index, const TBitmap& image, const TBitmap* mask) {
    CheckIndex(index);
    FImages[std::size_t(index)] = Cut(image, mask, 0, 0, false);
    Change();
}

void TCustomImageList::Delete(int index) {
    CheckIndex(index);
    FImages.erase(FImages.begin() + index);
    Change();
}

void TCustomImageList::Clear() {
    if (FImages.empty()) return;
    FImages.clear();
    Change();
}

const TBitmap& TCustomImageList::GetImage(int index) const {
    CheckIndex(index);
    return FImages[std::size_t(index)];
}

void TCustomImageList::GetBitmap(int index, TBitmap& bitmap) const {
    bitmap = GetImage(index);
}

void TCustomImageList::SetBkColor(TColor v) {
    if (v == FBkColor) return;
    FBkColor = v;
    Change();
}

void TCustomImageList::SetBlendColor(TColor v) {
    if (v == FBlendColor) return;
    FBlendColor = v;
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle v) {
    if (v == FDrawingStyle) return;
    FDrawingStyle = v;
    Change();
}

void TCustomImageList::SetImageType(TImageType v) {
    if (v == FImageType) return;
    FImageType = v;
    Change();
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    Draw(canvas, x, y, index, FDrawingStyle, FImageType, enabled);
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, TDrawingStyle style,
                            TImageType type, bool enabled) const {
    if (index < 0 || index >= GetCount()) return;
    static const unsigned kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    unsigned s = kStyles[int(style)];
    if (type == TImageType::itMask) s |= ILD_MASK;
    DrawEx(canvas, index, x, y, 0, 0, FBkColor, FBlendColor, s, enabled);
}

void TCustomImageList::DrawEx(TCanvas& canvas, int index, int x, int y, int dx, int dy, TColor bk,
                              TColor fg, unsigned style, bool enabled) const {
    if (index < 0 || index >= GetCount() || !canvas.GetTarget()) return;
    const TBitmap& img = FImages[std::size_t(index)];
    const int w = dx > 0 ? std::min(dx, FWidth) : FWidth;
    const int h = dy > 0 ? std::min(dy, FHeight) : FHeight;
    if (bk == clDefault) bk = FBkColor;
    const bool fillBack = !(style & ILD_TRANSPARENT) && bk != clNone;
    const TPixel back = fillBack ? PixelFromColor(bk) : 0;
    unsigned blend = 0;  // out of 256
    if (style & ILD_BLEND50)
        blend = 128;
    else if (style & ILD_BLEND25)
        blend = 64;
    const bool blendBelow = blend && fg == clNone;
    const TPixel fgPixel =
        fg == clDefault || fg == clNone ? PixelFromColor(clHighlight) : PixelFromColor(fg);
    const TPixel hi = PixelFromColor(clBtnHighlight), sh = PixelFromColor(clBtnShadow);
    TBitmap* target = canvas.GetTarget();
    const TRect d = canvas.ToDevice(Bounds(x, y, w, h));
    for (const TRect& c : canvas.DeviceClipRects()) {
        TRect i;
        if (!IntersectRect(i, c, d)) continue;
        for (int yy = i.Top; yy < i.Bottom; ++yy) {
            TPixel* row = target->ScanLine(yy);
            const int sy = yy - d.Top;
            for (int xx = i.Left; xx < i.Right; ++xx) {
                const int sx = xx - d.Left;
                const TPixel p = img.GetPixel(sx, sy);
                const unsigned a = p >> 24;
                if (style & ILD_MASK) {
                    row[xx] = a >= 128 ? 0xFF000000u : 0xFFFFFFFFu;
                    continue;
                }
                if (fillBack) row[xx] = back;
                if (!enabled) {
                    // Embossed: a lit copy one pixel down-right, the shadow on top.
                    auto ink = [&](int ix, int iy) {
                        const TPixel q = img.GetPixel(ix, iy);
                        if ((q >> 24) < 128 || ix < 0 || iy < 0) return false;
                        const unsigned lum =
                            (((q >> 16) & 0xFF) * 30 + ((q >> 8) & 0xFF) * 59 + (q & 0xFF) * 11) /
                            100;
                        return lum < 192;
                    };
                    if (ink(sx, sy))
                        row[xx] = sh;
                    else if (ink(sx - 1, sy - 1))
                        row[xx] = hi;
                    continue;
                }
                if (a == 0) continue;
                TPixel color = p | 0xFF000000u;
                if (blend && !blendBelow) color = BlendPixel(color, fgPixel, blend);
                unsigned alpha = a;
                if (blendBelow) alpha = alpha * (256 - blend) / 256;
                row[xx] = BlendPixel(row[xx], color, alpha);
            }
        }
    }
}

}  // namespace vel
