#include "platform/classes/ColorNames.h"

#include "platform/classes/PropAccess.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {

struct TColorName {
    TColor Value;
    const char* Name;
};

// The classic table, in its classic order (the first name of a value wins when writing).
constexpr TColor Sys(unsigned index) { return static_cast<TColor>(0xFF000000u | index); }

const TColorName kColorNames[] = {
    {0x000000, "clBlack"},
    {0x000080, "clMaroon"},
    {0x008000, "clGreen"},
    {0x008080, "clOlive"},
    {0x800000, "clNavy"},
    {0x800080, "clPurple"},
    {0x808000, "clTeal"},
    {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"},
    {0x00FF00, "clLime"},
    {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},
    {0xFF00FF, "clFuchsia"},
    {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},
    {0xC0DCC0, "clMoneyGreen"},
    {0xF0CAA6, "clSkyBlue"},
    {0xF0FBFF, "clCream"},
    {0xA4A0A0, "clMedGray"},
    {Sys(10), "clActiveBorder"},
    {Sys(2), "clActiveCaption"},
    {Sys(12), "clAppWorkSpace"},
    {Sys(1), "clBackground"},
    {Sys(15), "clBtnFace"},
    {Sys(20), "clBtnHighlight"},
    {Sys(16), "clBtnShadow"},
    {Sys(18), "clBtnText"},
    {Sys(9), "clCaptionText"},
    {0x20000000, "clDefault"},
    {Sys(27), "clGradientActiveCaption"},
    {Sys(28), "clGradientInactiveCaption"},
    {Sys(17), "clGrayText"},
    {Sys(13), "clHighlight"},
    {Sys(14), "clHighlightText"},
    {Sys(26), "clHotLight"},
    {Sys(11), "clInactiveBorder"},
    {Sys(3), "clInactiveCaption"},
    {Sys(19), "clInactiveCaptionText"},
    {Sys(24), "clInfoBk"},
    {Sys(23), "clInfoText"},
    {Sys(4), "clMenu"},
    {Sys(30), "clMenuBar"},
    {Sys(29), "clMenuHighlight"},
    {Sys(7), "clMenuText"},
    {0x1FFFFFFF, "clNone"},
    {Sys(0), "clScrollBar"},
    {Sys(21), "cl3DDkShadow"},
    {Sys(22), "cl3DLight"},
    {Sys(5), "clWindow"},
    {Sys(6), "clWindowFrame"},
    {Sys(8), "clWindowText"},
};

bool ToIdent(std::int64_t v, std::string& ident) {
    if (v < INT32_MIN || v > INT32_MAX) return false;
    return FindColorName(static_cast<TColor>(v), ident);
}

bool FromIdent(std::string_view ident, std::int64_t& v) {
    TColor c;
    if (!FindColorValue(ident, c)) return false;
    v = c;
    return true;
}

const TIdentMapInfo kColorIdentMap{ToIdent, FromIdent};

}  // namespace

bool FindColorName(TColor Color, std::string& Name) {
    for (const auto& n : kColorNames)
        if (n.Value == Color) {
            Name = n.Name;
            return true;
        }
    return false;
}

bool FindColorValue(std::string_view Name, TColor& Color) {
    for (const auto& n : kColorNames)
        if (Utf8SameText(n.Name, Name)) {
            Color = n.Value;
            return true;
        }
    return false;
}

const TIdentMapInfo* ColorIdentMap() { return &kColorIdentMap; }

}  // namespace vel
