#include "platform/graphics/Colors.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {

constexpr TColorRef Ref(int r, int g, int b) {
    return TColorRef(RGB(r, g, b));
}

// The classic grey scheme.
constexpr std::array<TColorRef, COLOR_COUNT> kClassicScheme = {
    Ref(212, 208, 200),  // scroll bar
    Ref(58, 110, 165),   // desktop
    Ref(10, 36, 106),    // active caption
    Ref(128, 128, 128),  // inactive caption
    Ref(212, 208, 200),  // menu
    Ref(255, 255, 255),  // window
    Ref(0, 0, 0),        // window frame
    Ref(0, 0, 0),        // menu text
    Ref(0, 0, 0),        // window text
    Ref(255, 255, 255),  // caption text
    Ref(212, 208, 200),  // active border
    Ref(212, 208, 200),  // inactive border
    Ref(128, 128, 128),  // application workspace
    Ref(10, 36, 106),    // highlight
    Ref(255, 255, 255),  // highlight text
    Ref(212, 208, 200),  // button face
    Ref(128, 128, 128),  // button shadow
    Ref(128, 128, 128),  // grey text
    Ref(0, 0, 0),        // button text
    Ref(212, 208, 200),  // inactive caption text
    Ref(255, 255, 255),  // button highlight
    Ref(64, 64, 64),     // 3D dark shadow
    Ref(212, 208, 200),  // 3D light
    Ref(0, 0, 0),        // info text
    Ref(255, 255, 225),  // info background
    Ref(181, 181, 181),  // (unused slot 25)
    Ref(0, 0, 128),      // hot light
    Ref(166, 202, 240),  // gradient active caption
    Ref(192, 192, 192),  // gradient inactive caption
    Ref(49, 106, 197),   // menu highlight
    Ref(212, 208, 200),  // menu bar
};

std::array<TColorRef, COLOR_COUNT> gSysColors = kClassicScheme;

constexpr int kHlsMax = 240;
constexpr int kRgbMax = 255;
constexpr int kUndefinedHue = kHlsMax * 2 / 3;

int HueToRgb(int n1, int n2, int hue) {
    if (hue < 0) hue += kHlsMax;
    if (hue > kHlsMax) hue -= kHlsMax;
    if (hue < kHlsMax / 6) return n1 + ((n2 - n1) * hue + kHlsMax / 12) / (kHlsMax / 6);
    if (hue < kHlsMax / 2) return n2;
    if (hue < kHlsMax * 2 / 3)
        return n1 + ((n2 - n1) * (kHlsMax * 2 / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6);
    return n1;
}

}  // namespace

TColorRef GetSysColor(int index) {
    if (index < 0 || index >= COLOR_COUNT) return 0;
    return gSysColors[std::size_t(index)];
}

void SetSysColor(int index, TColorRef rgb) {
    if (index < 0 || index >= COLOR_COUNT)
        throw EInvalidArgument("System colour index " + std::to_string(index) +
                               " is out of range.");
    gSysColors[std::size_t(index)] = rgb & 0xFFFFFF;
}

void ResetSysColors() {
    gSysColors = kClassicScheme;
}

TColorRef ColorToRGB(TColor color) {
    if (color == clNone || color == clDefault) return 0;
    if (color < 0) return GetSysColor(int(color & 0xFF));
    return TColorRef(color) & 0xFFFFFF;
}

std::string ColorToString(TColor color) {
    std::string name;
    if (FindColorName(color, name)) return name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", unsigned(color));
    return buf;
}

bool IdentToColor(const std::string& ident, TColor& color) {
    return FindColorValue(ident, color);
}

TColor StringToColor(const std::string& text) {
    TColor c;
    if (IdentToColor(text, c)) return c;
    std::string digits = text;
    int base = 10;
    if (!digits.empty() && digits[0] == '$') {
        digits.erase(0, 1);
        base = 16;
    } else if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.erase(0, 2);
        base = 16;
    }
    char* end = nullptr;
    if (!digits.empty() && (digits[0] != '-' || base == 10)) {
        const long long v = std::strtoll(digits.c_str(), &end, base);
        if (end && *end == 0 && v >= INT32_MIN && v <= UINT32_MAX) return TColor(std::uint32_t(v));
    }
    throw EConvertError("'" + text + "' is not a valid colour.");
}

void ColorRGBToHLS(TColorRef rgb, int& hue, int& luminance, int& saturation) {
    const int r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
    const int cMax = std::max({r, g, b}), cMin = std::min({r, g, b});
    luminance = ((cMax + cMin) * kHlsMax + kRgbMax) / (2 * kRgbMax);
    if (cMax == cMin) {
        saturation = 0;
        hue = kUndefinedHue;
        return;
    }
    const int d = cMax - cMin;
    if (luminance <= kHlsMax / 2)
        saturation = (d * kHlsMax + (cMax + cMin) / 2) / (cMax + cMin);
    else
        saturation = (d * kHlsMax + (2 * kRgbMax - cMax - cMin) / 2) / (2 * kRgbMax - cMax - cMin);
    const int rd = ((cMax - r) * (kHlsMax / 6) + d / 2) / d;
    const int gd = ((cMax - g) * (kHlsMax / 6) + d / 2) / d;
    const int bd = ((cMax - b) * (kHlsMax / 6) + d / 2) / d;
    if (r == cMax)
        hue = bd - gd;
    else if (g == cMax)
        hue = kHlsMax / 3 + rd - bd;
    else
        hue = 2 * kHlsMax / 3 + gd - rd;
    if (hue < 0) hue += kHlsMax;
    if (hue > kHlsMax) hue -= kHlsMax;
}

TColorRef ColorHLSToRGB(int hue, int luminance, int saturation) {
    luminance = std::clamp(luminance, 0, kHlsMax);
    saturation = std::clamp(saturation, 0, kHlsMax);
    if (saturation == 0) {
        const int v = luminance * kRgbMax / kHlsMax;
        return TColorRef(RGB(v, v, v));
    }
    int m2;
    if (luminance <= kHlsMax / 2)
        m2 = (luminance * (kHlsMax + saturation) + kHlsMax / 2) / kHlsMax;
    else
        m2 = luminance + saturation - (luminance * saturation + kHlsMax / 2) / kHlsMax;
    const int m1 = 2 * luminance - m2;
    auto chan = [&](int h) {
        return std::clamp((HueToRgb(m1, m2, h) * kRgbMax + kHlsMax / 2) / kHlsMax, 0, 255);
    };
    return TColorRef(RGB(chan(hue + kHlsMax / 3), chan(hue), chan(hue - kHlsMax / 3)));
}

TColorRef ColorAdjustLuma(TColorRef rgb, int n, bool relative) {
    int h, l, s;
    ColorRGBToHLS(rgb, h, l, s);
    l = relative ? l + l * n / 1000 : l + n;
    return ColorHLSToRGB(h, l, s);
}

TColor GetShadowColor(TColor color, int luminance) {
    if (color == clNone || color == clDefault) return color;
    return TColor(ColorAdjustLuma(ColorToRGB(color), luminance, false));
}

TColor GetHighLightColor(TColor color, int luminance) {
    if (color == clNone || color == clDefault) return color;
    return TColor(ColorAdjustLuma(ColorToRGB(color), luminance, false));
}

}  // namespace vel
