// The grid's class-wide style tables: small integers per framework style name that tune how
// cells look under that style (cell frame inset, shading of fixed text and of the selected
// row, flat look). Applications change them at run time for styles of their own.
#include <map>

#include "graphics/PimkitGraph.h"
#include "grid/DBGrid.h"
#include "platform/controls/SystemProfile.h"

namespace vel {

namespace {

// Styles with light surfaces.
const std::vector<std::string> kLightStyles = {
    "Windows", "Iceberg Classico", "Lavender Classico", "Slate Classico", "Amakrits", "Auric",
    "Carbon", "Metro Green", "Metro Blue", "Metro Black", "Light", "Silver", "Luna",
    "Metropolis UI Blue", "Sterling", "Coral", "Emerald", "Glow", "Tablet Light", "Radiant",
    "Vapor", "Windows10", "Blizzard Blue", "Blizzard Blue 2", "Calypso", "Calypso LE",
    "Calypso SE", "Calypso SLE", "CornflowerBlue Expressive", "Fiord", "Fiord Flat",
    "Flat UI Light", "Gainsboro Sky Light", "Gainsboro Sky Light 2", "Lovender", "Madang",
    "Madison Dark", "Material Black Pearl", "Material Black Pearl 2", "Material Oxford Blue",
    "Material Oxford Blue 2", "Material Oxford Blue SE", "Material Patterns Blue",
    "Material White Smoke", "Material White Smoke 2", "Material White Texture", "Paradiso",
    "Puerto Rico", "Quartz", "Quartz Flat", "Regal Blue LE", "Sienna Green Light",
    "Sienna Green Light LB", "Sky 2", "Solitude", "Solitude DB", "Stellar", "Stellar Dark",
    "Wedgewood Light", "Windows10 Blue Whale", "Windows10 Blue Whale LE", "Windows10 Clear Day",
    "Windows10 Malibu", "Windows10 Office Light", "Windows10 Office Light 2",
    "Windows10 OxfordBlue", "Windows10 Solitude", "Windows10 WhiteSmoke", "Windows10 Zodiac",
    "Windows10 Zodiac 2", "Zircon", "Zircon SE", "Zodiac", "Zodiac LE"};

// Styles with dark surfaces.
const std::vector<std::string> kDarkStyles = {
    "Aqua Light Slate", "Emerald Light Slate", "Aqua Graphite", "Golden Graphite", "Ruby Graphite",
    "Amethyst Kamri", "Sapphire Kamri", "Smokey Quartz Kamri", "Cyan Dusk", "Cyan Night",
    "Charcoal Dark Slate", "Obsidian", "Metropolis UI Green", "Metropolis UI Dark",
    "Metropolis UI Black", "Glossy", "TabletDark", "Jet", "Diamond", "Sky", "Aqua Light Slate 2",
    "Black Rock", "Charcoal Expressive", "Cloud Burst", "Dark Outlet", "Dark Outlet 2",
    "Dark Outlet LE", "Dark Outlet LE 2", "Glossy 2", "Lucky Point", "Night Rider",
    "Night Rider 2", "Regal Blue", "Windows10 BlackPearl", "Windows10 Media", "Windows10 Media 2",
    "Windows10 Office Dark", "Windows10 Office Dark2", "Windows10 Vulcan", "Windows10 Vulcan LE"};

using TStyleTable = std::map<std::string, int>;

struct TStyleTables {
    TStyleTable CellFrame, FixedText, Flat, SelectRow;
    TStyleTables() {
        // Every custom style draws flat fixed cells; the selected row is lightened on light
        // styles and darkened on dark ones, so it stays apart from the current cell.
        for (const std::string& n : kLightStyles) {
            CellFrame[n] = 0;
            FixedText[n] = 0;
            Flat[n] = n == "Windows" ? 0 : 1;
            SelectRow[n] = n == "Windows" ? 0 : 20;
        }
        for (const std::string& n : kDarkStyles) {
            CellFrame[n] = 0;
            FixedText[n] = 0;
            Flat[n] = 1;
            SelectRow[n] = -20;
        }
    }
};

TStyleTables& Tables() {
    static TStyleTables tables;
    return tables;
}

int Read(const TStyleTable& Table, const std::string& Name) {
    const auto it = Table.find(Name);
    return it == Table.end() ? 0 : it->second;
}

std::string ActiveName() { return StyleServices().Name(); }

}  // namespace

const std::vector<std::string>& TVelCustomDBGrid::BuiltInStyleNames(int Group) {
    return Group == 0 ? kLightStyles : kDarkStyles;
}

int TVelCustomDBGrid::GetCellFrameStyle(const std::string& Name) { return Read(Tables().CellFrame, Name); }
void TVelCustomDBGrid::SetCellFrameStyle(const std::string& Name, int Value) { Tables().CellFrame[Name] = Value; }
int TVelCustomDBGrid::GetActiveCellFrameStyle() { return GetCellFrameStyle(ActiveName()); }

TRect TVelCustomDBGrid::GetCellFrameRect(const TRect& Rect) {
    TRect r = Rect;
    const int v = GetActiveCellFrameStyle();
    r.Inflate(v, v);
    return r;
}

int TVelCustomDBGrid::GetFixedTextStyle(const std::string& Name) { return Read(Tables().FixedText, Name); }
void TVelCustomDBGrid::SetFixedTextStyle(const std::string& Name, int Value) { Tables().FixedText[Name] = Value; }
int TVelCustomDBGrid::GetActiveFixedTextStyle() { return GetFixedTextStyle(ActiveName()); }

int TVelCustomDBGrid::GetFlatStyle(const std::string& Name) { return Read(Tables().Flat, Name); }
void TVelCustomDBGrid::SetFlatStyle(const std::string& Name, int Value) { Tables().Flat[Name] = Value; }
int TVelCustomDBGrid::GetActiveFlatStyle() { return GetFlatStyle(ActiveName()); }

int TVelCustomDBGrid::GetSelectRowStyle(const std::string& Name) { return Read(Tables().SelectRow, Name); }
void TVelCustomDBGrid::SetSelectRowStyle(const std::string& Name, int Value) { Tables().SelectRow[Name] = Value; }
int TVelCustomDBGrid::GetActiveSelectRowStyle() { return GetSelectRowStyle(ActiveName()); }

TColor TVelCustomDBGrid::GetFixedTextSelected() {
    const int v = GetActiveFixedTextStyle();
    const TColor highlight = StyleServices().GetSystemColor(clHighlight);
    if (v != 0) return ShadowColor(highlight, v);
    // These styles' highlight does not read well on their fixed cells.
    static const std::map<std::string, TColor> fixed = {
        {"Aqua Graphite", RGB(0, 172, 255)},  {"Golden Graphite", RGB(255, 172, 0)},
        {"Ruby Graphite", RGB(255, 0, 0)},    {"Amakrits", RGB(84, 194, 177)},
        {"Cobalt XEMedia", RGB(39, 119, 184)}, {"Auric", RGB(215, 196, 85)},
        {"Turquoise Gray", RGB(38, 174, 223)}, {"Sterling", RGB(137, 158, 177)},
        {"Black Rock", RGB(106, 163, 178)}};
    const auto it = fixed.find(ActiveName());
    return it == fixed.end() ? highlight : it->second;
}

TColor TVelCustomDBGrid::GetSelectRowSelected() {
    return ShadowColor(StyleServices().GetSystemColor(clHighlight), GetActiveSelectRowStyle());
}

}  // namespace vel
