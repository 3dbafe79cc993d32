#pragma once
// Resolving framework colours: the system palette behind the system colours, RGB
// conversion and luminance shades. The colour values and names live in classes/ColorNames.h.
#include <cstdint>
#include <string>

#include "classes/ColorNames.h"  // TColor, the named colours, colour names

namespace vel {

using TColorRef = std::uint32_t;  // 0x00BBGGRR

constexpr TColor RGB(int r, int g, int b) {
    return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColorRef c) { return int(c & 0xFF); }
constexpr int GetGValue(TColorRef c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(TColorRef c) { return int((c >> 16) & 0xFF); }

constexpr TColor clSystemColor = TColor(0xFF000000u);

// Windows system colour indices.
enum : int {
    COLOR_SCROLLBAR = 0, COLOR_BACKGROUND, COLOR_ACTIVECAPTION, COLOR_INACTIVECAPTION, COLOR_MENU,
    COLOR_WINDOW, COLOR_WINDOWFRAME, COLOR_MENUTEXT, COLOR_WINDOWTEXT, COLOR_CAPTIONTEXT,
    COLOR_ACTIVEBORDER, COLOR_INACTIVEBORDER, COLOR_APPWORKSPACE, COLOR_HIGHLIGHT,
    COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_GRAYTEXT, COLOR_BTNTEXT,
    COLOR_INACTIVECAPTIONTEXT, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT,
    COLOR_INFOTEXT, COLOR_INFOBK, COLOR_25, COLOR_HOTLIGHT, COLOR_GRADIENTACTIVECAPTION,
    COLOR_GRADIENTINACTIVECAPTION, COLOR_MENUHILIGHT, COLOR_MENUBAR,
    COLOR_COUNT
};

// The system palette. It starts as the classic scheme; the system profile may change it.
TColorRef GetSysColor(int index);
void SetSysColor(int index, TColorRef rgb);
void ResetSysColors();

// Resolves system colours; RGB values pass through (the top byte cleared). clNone and
// clDefault resolve to black, as the classic conversion does.
TColorRef ColorToRGB(TColor color);

// Hue, luminance and saturation in 0..240, and the shades built on them.
void ColorRGBToHLS(TColorRef rgb, int& hue, int& luminance, int& saturation);
TColorRef ColorHLSToRGB(int hue, int luminance, int saturation);
// Moves the luminance by n (Relative: by n per mille of the current luminance).
TColorRef ColorAdjustLuma(TColorRef rgb, int n, bool relative);
// Darker (negative luminance) or lighter (positive) shade of a colour; clNone / clDefault
// come back unchanged.
TColor GetShadowColor(TColor color, int luminance = -50);
TColor GetHighLightColor(TColor color, int luminance = 19);

}  // namespace vel
