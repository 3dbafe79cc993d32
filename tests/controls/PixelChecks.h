#pragma once
// Checks on captured pixels that do not depend on the exact glyph shapes of the font.
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Colors.h"

namespace veltest {

inline vel::TColor Rgb(vel::TColor c) {
    return vel::TColor(vel::ColorToRGB(c));
}

inline int Luminance(vel::TColor c) {
    const auto rgb = vel::TColorRef(c);
    return (vel::GetRValue(rgb) * 30 + vel::GetGValue(rgb) * 59 + vel::GetBValue(rgb) * 11) / 100;
}

// The darkest and the lightest pixel of a region.
struct TInkRange {
    int Darkest = 255;
    int Lightest = 0;
};
inline TInkRange InkRange(const vel::TBitmap& b, const vel::TRect& r) {
    TInkRange ink;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            const int l = Luminance(b.GetPixelColor(x, y));
            ink.Darkest = std::min(ink.Darkest, l);
            ink.Lightest = std::max(ink.Lightest, l);
        }
    return ink;
}

// Text drawn as a disabled control draws it: nothing darker than the shadow, something
// lighter than the face (the highlight copy).
inline bool LooksEmbossed(const vel::TBitmap& b, const vel::TRect& r) {
    const TInkRange ink = InkRange(b, r);
    return ink.Darkest >= Luminance(Rgb(vel::clBtnShadow)) - 8 &&
           ink.Lightest > Luminance(Rgb(vel::clBtnFace));
}
// Text in the normal colour: close to black somewhere.
inline bool HasDarkText(const vel::TBitmap& b, const vel::TRect& r) {
    return InkRange(b, r).Darkest < 64;
}

}  // namespace veltest
