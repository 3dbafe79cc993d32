#pragma once
// The system profile: what the code would otherwise ask the operating system (themes, the
// active custom style, OS generation, UI language, metrics, wheel lines, double-click time and
// distance). One object, set by tests; the default is the classic unthemed look.
// StyleServices() and TStyleManager answer from it.
#include <map>
#include <string>

#include "platform/graphics/Colors.h"

namespace vel {

// GetSystemMetrics indices.
enum : int {
    SM_CXSCREEN = 0,
    SM_CYSCREEN = 1,
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CXDLGFRAME = 7,
    SM_CYDLGFRAME = 8,
    SM_CYVTHUMB = 9,
    SM_CXHTHUMB = 10,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CXCURSOR = 13,
    SM_CYCURSOR = 14,
    SM_CYMENU = 15,
    SM_CXFULLSCREEN = 16,
    SM_CYFULLSCREEN = 17,
    SM_CYVSCROLL = 20,
    SM_CXHSCROLL = 21,
    SM_SWAPBUTTON = 23,
    SM_CXMIN = 28,
    SM_CYMIN = 29,
    SM_CXFRAME = 32,
    SM_CYFRAME = 33,
    SM_CXDOUBLECLK = 36,
    SM_CYDOUBLECLK = 37,
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
    SM_CYSMCAPTION = 51,
    SM_CXMENUCHECK = 71,
    SM_CYMENUCHECK = 72,
    SM_MIDEASTENABLED = 74,
    SM_MOUSEWHEELPRESENT = 75,
    SM_XVIRTUALSCREEN = 76,
    SM_YVIRTUALSCREEN = 77,
    SM_CXVIRTUALSCREEN = 78,
    SM_CYVIRTUALSCREEN = 79,
    SM_CMONITORS = 80,
    SM_CXDRAG = 68,
    SM_CYDRAG = 69,
};

// Primary language identifiers (the low 10 bits of a language id).
enum : int {
    LANG_NEUTRAL = 0x00,
    LANG_ARABIC = 0x01,
    LANG_CHINESE = 0x04,
    LANG_GERMAN = 0x07,
    LANG_ENGLISH = 0x09,
    LANG_SPANISH = 0x0A,
    LANG_FRENCH = 0x0C,
    LANG_HEBREW = 0x0D,
    LANG_ITALIAN = 0x10,
    LANG_JAPANESE = 0x11,
    LANG_KOREAN = 0x12,
    LANG_DUTCH = 0x13,
    LANG_POLISH = 0x15,
    LANG_PORTUGUESE = 0x16,
    LANG_RUSSIAN = 0x19,
};

struct TSystemProfile {
    bool ThemesEnabled = false;      // visual styles of the OS in use
    bool CustomStyleActive = false;  // a custom (non-system) style is active
    std::string StyleName = "Windows";
    int OSMajorVersion = 10;  // 5.1 is the first generation with drop shadows and themes
    int OSMinorVersion = 0;
    // The system's build number (0: not known); 22000 and later is the Windows 11 generation.
    int OSBuildNumber = 0;
    int UILanguage = LANG_ENGLISH;  // primary language of the user interface
    bool MiddleEast = true;         // right-to-left support present (SysLocale.MiddleEast)
    int WheelScrollLines = 3;
    unsigned DoubleClickTime = 500;  // ms
    int DoubleClickWidth = 4;        // pixels: the rectangle around the first click
    int DoubleClickHeight = 4;
    unsigned CaretBlinkTime = 530;
    // GetSystemMetrics overrides by index; the rest have classic values.
    std::map<int, int> Metrics;

    bool CheckWin32Version(int Major, int Minor = 0) const {
        return OSMajorVersion > Major || (OSMajorVersion == Major && OSMinorVersion >= Minor);
    }
};

TSystemProfile& SystemProfile();
// Back to the defaults.
void ResetSystemProfile();

// Installs a copy of the profile for its lifetime, to be changed by the test.
class TSystemProfileScope {
public:
    TSystemProfileScope() : FSaved(SystemProfile()) {}
    ~TSystemProfileScope() { SystemProfile() = FSaved; }
    TSystemProfile* operator->() { return &SystemProfile(); }
    TSystemProfileScope(const TSystemProfileScope&) = delete;
    TSystemProfileScope& operator=(const TSystemProfileScope&) = delete;

private:
    TSystemProfile FSaved;
};

int GetSystemMetrics(int Index);
unsigned GetDoubleClickTime();
int GetWheelScrollLines();
bool CheckWin32Version(int Major, int Minor = 0);

// Style colours a themed control asks for.
enum class TStyleColor { scBorder, scButtonNormal, scButtonHot, scButtonPressed, scButtonDisabled,
                         scEdit, scEditDisabled, scGrid, scGenericBackground, scGenericGradientBase,
                         scGenericGradientEnd, scListBox, scPanel, scWindow };
enum class TStyleFont { sfButtonTextNormal, sfButtonTextDisabled, sfEditBoxTextNormal,
                        sfEditBoxTextDisabled, sfGridItemNormal, sfGridItemSelected,
                        sfHeaderSectionTextNormal, sfListItemTextNormal, sfPanelTextNormal,
                        sfWindowTextNormal };

// The style services: with the default profile it reports no styles, and the system colours.
class TCustomStyleServices {
public:
    // Themes or a custom style paint controls.
    bool Enabled() const;
    bool Available() const { return Enabled(); }
    // The system (OS) style rather than a custom one.
    bool IsSystemStyle() const;
    std::string Name() const;
    // The colour a style gives a system colour (clBtnFace...); plain colours pass unchanged.
    TColor GetSystemColor(TColor Color) const;
    TColor GetStyleColor(TStyleColor Color) const;
    TColor GetStyleFontColor(TStyleFont Font) const;
};

TCustomStyleServices& StyleServices();

class TStyleManager {
public:
    static bool IsCustomStyleActive();
    static std::string ActiveStyleName();
    static void SetStyle(const std::string& Name);  // "Windows" returns to the system style
};

}  // namespace vel
