#include "classes/ColorNames.h"

#include <charconv>
#include <cstdio>

#include "classes/PropAccess.h"
#include "rtl/Exceptions.h"
#include "rtl/Utf8.h"

namespace vel {

namespace {

struct TColorName {
    TColor Value;
    const char* Name;
};

// The classic table, in its classic order (the first name of a value wins when writing).
const TColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

bool ToIdent(std::int64_t v, std::string& ident) {
    if (v < INT32_MIN || v > INT32_MAX) return false;
    return ColorToIdent(static_cast<TColor>(v), ident);
}

bool FromIdent(std::string_view ident, std::int64_t& v) {
    TColor c;
    if (!IdentToColor(ident, c)) return false;
    v = c;
    return true;
}

const TIdentMapInfo kColorIdentMap{ToIdent, FromIdent};

}  // namespace

bool ColorToIdent(TColor Color, std::string& Ident) {
    for (const auto& n : kColorNames)
        if (n.Value == Color) {
            Ident = n.Name;
            return true;
        }
    return false;
}

bool IdentToColor(std::string_view Ident, TColor& Color) {
    for (const auto& n : kColorNames)
        if (Utf8SameText(n.Name, Ident)) {
            Color = n.Value;
            return true;
        }
    return false;
}

std::string ColorToString(TColor Color) {
    std::string s;
    if (ColorToIdent(Color, s)) return s;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%.8X", static_cast<unsigned>(Color));
    return buf;
}

TColor StringToColor(std::string_view Text) {
    TColor c;
    if (IdentToColor(Text, c)) return c;
    std::string_view t = Text;
    int base = 10;
    if (!t.empty() && t[0] == '$') {
        t.remove_prefix(1);
        base = 16;
    }
    bool neg = base == 10 && !t.empty() && t[0] == '-';
    if (neg) t.remove_prefix(1);
    std::uint64_t v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, base);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || v > 0xFFFFFFFFull ||
        (neg && v > 0x80000000ull))
        throw EConvertError("'" + std::string(Text) + "' is not a valid colour.");
    if (neg) return static_cast<TColor>(-static_cast<std::int64_t>(v));
    return static_cast<TColor>(static_cast<std::uint32_t>(v));
}

const TIdentMapInfo* ColorIdentMap() { return &kColorIdentMap; }

}  // namespace vel
