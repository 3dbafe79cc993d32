// The grid's built-in glyph lists: the sort markers re-coloured for the marker look in effect,
// the indicator and title button glyphs, and the indicator glyph of a row.
#include <map>

#include "grid/DBGrid.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/DataSet.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Resources.h"

namespace vel {

namespace {

using MS = TMarkerStyle;

// The source colours of the glyph strips (resources/glyphs).
constexpr TColorRef kLit = 0xFFFFFF, kShade = 0x606060, kFace = 0xA0A0A0, kInk = 0x000000;

struct TMarkerPalette {
    TColor Lit, Shade, Face, Ink;
};

TMarkerPalette PaletteOf(MS Style) {
    switch (Style) {
    case MS::msSoft: return {cl3DLight, clBtnShadow, clBtnFace, clBtnText};
    case MS::msRaisedDark: return {clBtnHighlight, cl3DDkShadow, clBtnFace, clBtnText};
    case MS::msRaisedGray: return {clBtnHighlight, clGray, clSilver, clBtnText};
    case MS::msRaisedMild: return {clBtnHighlight, clBtnShadow, cl3DLight, clBtnText};
    case MS::msLoweredDark: return {cl3DDkShadow, clBtnHighlight, clBtnFace, clBtnText};
    case MS::msLoweredGray: return {clGray, clBtnHighlight, clSilver, clBtnText};
    case MS::msLoweredMild: return {clBtnShadow, clBtnHighlight, cl3DLight, clBtnText};
    case MS::msFlat: return {clBlack, clBlack, clBlack, clBlack};
    case MS::msGray: return {clGray, clGray, clGray, clGray};
    case MS::msMild: return {clBtnShadow, clBtnShadow, clBtnShadow, clBtnShadow};
    default: return {clBtnHighlight, clBtnShadow, clBtnFace, clBtnText};
    }
}

TColorRef Resolve(TColor Color) { return ColorToRGB(StyleServices().GetSystemColor(Color)); }

// The colour the system look draws markers and the indicator ink with.
TColor SystemInk() {
    return SystemProfile().CustomStyleActive
               ? StyleServices().GetStyleFontColor(TStyleFont::sfHeaderSectionTextNormal)
               : clBtnShadow;
}

// Replaces the strip's source colours; pixels of other colours stay.
void Recolour(TBitmap& Strip, const std::map<TColorRef, TColorRef>& Map) {
    for (int y = 0; y < Strip.GetHeight(); ++y) {
        TPixel* line = Strip.ScanLine(y);
        for (int x = 0; x < Strip.GetWidth(); ++x) {
            const auto it = Map.find(RefFromPixel(line[x]));
            if (it != Map.end()) line[x] = PixelFromRef(it->second);
        }
    }
}

// Re-coloured strips are shared by every grid of the process: most grids share one look.
const TBitmap& CachedStrip(const std::string& Resource, const std::string& Key,
                           const std::map<TColorRef, TColorRef>& Map) {
    static std::map<std::string, TBitmap> cache;
    const std::string id = Resource + "|" + Key;
    auto it = cache.find(id);
    if (it != cache.end()) return it->second;
    if (cache.size() > 64) cache.clear();
    auto strip = LoadBitmapResource(Resource);
    Recolour(*strip, Map);
    return cache.emplace(id, *strip).first->second;
}

std::unique_ptr<TCustomImageList> MakeList(const TBitmap& Strip) {
    auto list = std::make_unique<TCustomImageList>(nullptr, Strip.GetHeight(), Strip.GetHeight());
    list->AddMasked(Strip, kGlyphMaskColor);
    return list;
}

}  // namespace

TVelCustomDBGrid::TMarkerLook TVelCustomDBGrid::MarkerLook() const {
    static constexpr MS autoStyle[] = {MS::msDefault,    MS::msSoft, MS::msRaisedDark,
                                       MS::msFlat,       MS::msRaisedGray, MS::msGray,
                                       MS::msRaisedMild, MS::msMild};
    static constexpr MS autoGray[] = {MS::msSoft,       MS::msSoft, MS::msRaisedGray,
                                      MS::msGray,       MS::msRaisedGray, MS::msGray,
                                      MS::msRaisedGray, MS::msGray};
    const int f = static_cast<int>(FFixedStyle);
    TMarkerLook look;
    switch (FMarkerStyle) {
    case MS::msAuto: look.Style = IsGridThemed() ? MS::msRaisedMild : autoStyle[f]; break;
    case MS::msAutoGray: look.Style = IsGridThemed() ? MS::msRaisedGray : autoGray[f]; break;
    default: look.Style = FMarkerStyle; break;
    }
    switch (FMarkerTransparent) {
    case TMarkerTransparent::mtTrue: look.Transparent = true; break;
    case TMarkerTransparent::mtFalse: look.Transparent = false; break;
    default: look.Transparent = look.Style < MS::msLoweredDark; break;
    }
    look.Forced = FOptionsExt.Contains(TVelDBGridOptionExt::dgForceSystemMarker);
    using enum TSystemStyleElement;
    if (SystemProfile().CustomStyleActive || IsSystemStyle({sseFixed})) {
        look.Style = MS::msRaisedMild;
        look.Transparent = true;
        if (IsSystemStyle({sseFixed, sseMarker})) look.Forced = true;
    }
    // Without themes there is no system look to force.
    if (!StyleServices().Enabled()) look.Forced = false;
    return look;
}

void TVelCustomDBGrid::RecreateMarkers() {
    const TMarkerLook look = MarkerLook();
    const int key = static_cast<int>(look.Style) | (look.Transparent ? 0x100 : 0) | (look.Forced ? 0x200 : 0);
    const std::string name = StyleServices().Name();
    if (key == FLoadedStyle && name == FLoadedStyleName && FMarkerList && FIndicatorList) return;

    const TMarkerPalette p = PaletteOf(look.Style);
    std::map<TColorRef, TColorRef> markers;
    if (look.Forced) {
        const TColorRef ink = Resolve(SystemInk());
        markers = {{kLit, ink}, {kShade, ink}, {kFace, ink}, {kInk, ink}};
    } else {
        markers = {{kLit, Resolve(p.Lit)}, {kShade, Resolve(p.Shade)}, {kFace, Resolve(p.Face)},
                   {kInk, Resolve(p.Ink)}};
        if (look.Transparent) markers[kFace] = ColorToRGB(kGlyphMaskColor);
    }
    const std::string id = std::to_string(key) + "|" + name;
    FMarkerList = MakeList(CachedStrip("VELDBMARKERS", id + "|" + std::to_string(ColorToRGB(clBtnFace)), markers));
    // Indicators: flat, transparent and in the system's ink, which only differs under a style.
    const TColorRef ink = Resolve(SystemProfile().CustomStyleActive ? SystemInk() : clBtnText);
    FIndicatorList = MakeList(CachedStrip("VELDBINDICATORS", name + "|" + std::to_string(ink), {{kInk, ink}}));
    FLoadedStyle = key;
    FLoadedStyleName = name;
    ++FWork.MarkerRebuilds;
}

TCustomImageList* TVelCustomDBGrid::GetIndicators() {
    if (FIndicatorImages) return FIndicatorImages;
    if (!FIndicatorList) RecreateMarkers();
    return FIndicatorList.get();
}

TCustomImageList* TVelCustomDBGrid::GetMarkers() {
    if (FTitleMarkers) return FTitleMarkers;
    if (!FMarkerList) RecreateMarkers();
    return FMarkerList.get();
}

int TVelCustomDBGrid::IndicatorIndex(int DataRow) {
    if (!FDataLink->GetActive() || DataRow < 0 || DataRow >= FDataLink->GetRecordCount()) return -1;
    const int active = FDataLink->GetActiveRecord();
    int index = -1;
    {
        TScopeExit back([&] { FDataLink->SetActiveRecord(active); });
        FDataLink->SetActiveRecord(DataRow);
        const bool selected = IsRowMultiSelected();
        if (DataRow == active) {
            switch (FDataLink->GetDataSet()->GetState()) {
            case TDataSetState::dsEdit: index = 1; break;
            case TDataSetState::dsInsert: index = 2; break;
            default: index = selected ? 4 : 0; break;
            }
        } else if (selected) {
            index = 3;
        }
        // The anchor of an extended selection keeps a mark of its own.
        if (!SystemProfile().CustomStyleActive && IsSelectAnchorRow()) {
            if (index < 0)
                index = 6;
            else if (index == 3)
                index = 7;
        }
    }
    CalcImageIndex(nullptr, index);
    return index;
}

}  // namespace vel
