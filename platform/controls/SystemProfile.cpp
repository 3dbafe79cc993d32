#include "platform/controls/SystemProfile.h"

#include "platform/controls/Forms.h"

namespace vel {

TSystemProfile& SystemProfile() {
    static TSystemProfile profile;
    return profile;
}

void ResetSystemProfile() { SystemProfile() = TSystemProfile{}; }

int GetSystemMetrics(int Index) {
    const TSystemProfile& p = SystemProfile();
    auto it = p.Metrics.find(Index);
    if (it != p.Metrics.end()) return it->second;
    switch (Index) {
        case SM_CXSCREEN: return Screen().GetWidth();
        case SM_CYSCREEN: return Screen().GetHeight();
        case SM_CXFULLSCREEN: return Screen().GetWorkAreaRect().Width();
        case SM_CYFULLSCREEN: return Screen().GetWorkAreaRect().Height() - 23;
        case SM_XVIRTUALSCREEN: return Screen().GetDesktopRect().Left;
        case SM_YVIRTUALSCREEN: return Screen().GetDesktopRect().Top;
        case SM_CXVIRTUALSCREEN: return Screen().GetDesktopRect().Width();
        case SM_CYVIRTUALSCREEN: return Screen().GetDesktopRect().Height();
        case SM_CMONITORS: return 1;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVSCROLL:
        case SM_CXHSCROLL: return 17;
        case SM_CYVTHUMB:
        case SM_CXHTHUMB: return 17;
        case SM_CYCAPTION: return 23;
        case SM_CYSMCAPTION: return 17;
        case SM_CXBORDER:
        case SM_CYBORDER: return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME: return 3;
        case SM_CXFRAME:
        case SM_CYFRAME: return 4;
        case SM_CXEDGE:
        case SM_CYEDGE: return 2;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR: return 32;
        case SM_CXSMICON:
        case SM_CYSMICON: return 16;
        case SM_CYMENU: return 19;
        case SM_CXMIN: return 112;
        case SM_CYMIN: return 27;
        case SM_CXDOUBLECLK: return p.DoubleClickWidth;
        case SM_CYDOUBLECLK: return p.DoubleClickHeight;
        case SM_CXDRAG:
        case SM_CYDRAG: return 4;
        case SM_CXMENUCHECK:
        case SM_CYMENUCHECK: return 13;
        case SM_MIDEASTENABLED: return p.MiddleEast ? 1 : 0;
        case SM_MOUSEWHEELPRESENT: return 1;
        case SM_SWAPBUTTON: return 0;
        default: return 0;
    }
}

unsigned GetDoubleClickTime() { return SystemProfile().DoubleClickTime; }
int GetWheelScrollLines() { return SystemProfile().WheelScrollLines; }
bool CheckWin32Version(int Major, int Minor) { return SystemProfile().CheckWin32Version(Major, Minor); }

bool TCustomStyleServices::Enabled() const {
    const TSystemProfile& p = SystemProfile();
    return p.ThemesEnabled || p.CustomStyleActive;
}

bool TCustomStyleServices::IsSystemStyle() const { return !SystemProfile().CustomStyleActive; }

std::string TCustomStyleServices::Name() const {
    return SystemProfile().CustomStyleActive ? SystemProfile().StyleName : std::string("Windows");
}

// A custom style is a dark one: every custom style answers from the same small palette.
TColor TCustomStyleServices::GetSystemColor(TColor Color) const {
    if (!SystemProfile().CustomStyleActive || (Color & clSystemColor) != clSystemColor) return Color;
    if (Color == clBtnFace || Color == clWindow) return TColor(0x3C3C3C);
    if (Color == clWindowText || Color == clBtnText) return TColor(0xF0F0F0);
    if (Color == clHighlight) return TColor(0x9A6B2E);
    if (Color == clHighlightText) return clWhite;
    if (Color == clGrayText) return TColor(0x909090);
    if (Color == clBtnShadow) return TColor(0x202020);
    if (Color == clBtnHighlight) return TColor(0x5A5A5A);
    return Color;
}

TColor TCustomStyleServices::GetStyleColor(TStyleColor Color) const {
    const bool custom = SystemProfile().CustomStyleActive;
    switch (Color) {
        case TStyleColor::scGrid: return custom ? TColor(0x505050) : clBtnFace;
        case TStyleColor::scBorder: return custom ? TColor(0x202020) : clWindowFrame;
        case TStyleColor::scEdit:
        case TStyleColor::scListBox:
        case TStyleColor::scWindow: return custom ? TColor(0x2B2B2B) : clWindow;
        case TStyleColor::scEditDisabled: return custom ? TColor(0x3C3C3C) : clBtnFace;
        default: return custom ? TColor(0x3C3C3C) : clBtnFace;
    }
}

TColor TCustomStyleServices::GetStyleFontColor(TStyleFont Font) const {
    const bool custom = SystemProfile().CustomStyleActive;
    switch (Font) {
        case TStyleFont::sfButtonTextDisabled:
        case TStyleFont::sfEditBoxTextDisabled: return custom ? TColor(0x909090) : clGrayText;
        case TStyleFont::sfGridItemSelected: return custom ? clWhite : clHighlightText;
        default: return custom ? TColor(0xF0F0F0) : clWindowText;
    }
}

TCustomStyleServices& StyleServices() {
    static TCustomStyleServices services;
    return services;
}

bool TStyleManager::IsCustomStyleActive() { return SystemProfile().CustomStyleActive; }

std::string TStyleManager::ActiveStyleName() { return StyleServices().Name(); }

void TStyleManager::SetStyle(const std::string& Name) {
    TSystemProfile& p = SystemProfile();
    p.CustomStyleActive = !(Name.empty() || Name == "Windows");
    p.StyleName = p.CustomStyleActive ? Name : std::string("Windows");
}

}  // namespace vel
