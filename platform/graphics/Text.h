#pragma once
// Text through FreeType: faces resolved from classic names, real metrics, a glyph cache.
// Classic face names map to DejaVu Sans, Serif or Mono; tests pin one font file instead.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/graphics/Graphics.h"

namespace vel {

class TFontFace {
public:
    struct Glyph {
        int Left = 0;  // bitmap offset from the pen position
        int Top = 0;   // bitmap top above the baseline
        int Width = 0;
        int Height = 0;
        int Advance = 0;  // whole pixels
        std::vector<std::uint8_t> Coverage;
    };

    TFontFace(const std::string& file, int emPixels, bool bold, bool italic, bool synthBold,
              bool synthItalic);
    ~TFontFace();
    TFontFace(const TFontFace&) = delete;
    TFontFace& operator=(const TFontFace&) = delete;

    int Ascent() const { return FAscent; }
    int Descent() const { return FDescent; }
    int Height() const { return FAscent + FDescent; }
    int EmPixels() const { return FEm; }
    int AveCharWidth() const { return FAveCharWidth; }
    int MaxCharWidth() const { return FMaxCharWidth; }
    int UnderlinePosition() const { return FUnderlinePos; }  // below the baseline
    int LineThickness() const { return FLineThickness; }
    bool Bold() const { return FBold; }
    bool Italic() const { return FItalic; }
    const std::string& FileName() const { return FFile; }

    const Glyph& GetGlyph(char32_t cp);
    int Advance(char32_t cp) { return GetGlyph(cp).Advance; }
    int TextWidth(std::string_view utf8);

private:
    Glyph Render(char32_t cp);

    struct Impl;
    std::unique_ptr<Impl> FImpl;
    std::string FFile;
    int FEm = 0;
    int FAscent = 0;
    int FDescent = 0;
    int FAveCharWidth = 0;
    int FMaxCharWidth = 0;
    int FUnderlinePos = 1;
    int FLineThickness = 1;
    bool FBold = false;
    bool FItalic = false;
    bool FSynthBold = false;
    bool FSynthItalic = false;
    Glyph FAscii[128];
    bool FAsciiDone[128] = {};
    std::unordered_map<char32_t, Glyph> FOthers;
};

// The face for a font (cached; lives until the process ends or ClearFontCache).
TFontFace& GetFontFace(const TFont& font);
TFontFace& GetFontFace(const std::string& name, int emPixels, TFontStyles style);

// Every face then comes from this one file (bold and italic synthesised); empty restores the
// fontconfig lookup.
void SetPinnedFontFile(const std::string& path);
const std::string& GetPinnedFontFile();
// The file a classic face name resolves to.
std::string ResolveFontFile(const std::string& name, bool bold, bool italic);
void ClearFontCache();
// Bumped whenever cached faces may have been dropped or re-resolved.
unsigned FontCacheGeneration();

// Glyph coverage composited onto a scanline pixel; shared by text and image drawing. Inline:
// it runs once per covered pixel of every glyph.
inline std::uint32_t BlendPixel(std::uint32_t dst, std::uint32_t src, unsigned a) {
    if (a >= 255) return src;
    if (a == 0) return dst;
    const unsigned ia = 255 - a;
    // Exact division by 255 in two lanes at once.
    unsigned rb = (src & 0xFF00FF) * a + (dst & 0xFF00FF) * ia + 0x800080;
    rb = (rb + ((rb >> 8) & 0xFF00FF)) >> 8;
    unsigned g = (src & 0x00FF00) * a + (dst & 0x00FF00) * ia + 0x008000;
    g = (g + ((g >> 8) & 0x00FF00)) >> 8;
    return 0xFF000000u | (rb & 0xFF00FF) | (g & 0x00FF00);
}

}  // namespace vel
