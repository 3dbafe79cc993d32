#pragma once
// Glyph bitmaps compiled into the library. Sources are the text pixel-art files under
// resources/glyphs; tools/glyphc turns them into GlyphData.cpp.
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Errors.h"

namespace vel {

struct TGlyphResource {
    const char* Name;
    int Width;  // whole strip
    int Height;
    int GlyphWidth;  // one glyph (the strip holds Width / GlyphWidth glyphs)
    const TPixel* Pixels;
};

// Mask colour of every glyph strip: RGB(128, 128, 0).
constexpr TColor kGlyphMaskColor = RGB(128, 128, 0);

const TGlyphResource* FindGlyphResource(const std::string& name);
std::vector<std::string> GlyphResourceNames();

}  // namespace vel

namespace vel {

// A glyph strip parsed from its text source (see resources/glyphs/README.md).
struct TGlyphSource {
    std::string Name;
    int GlyphWidth = 0;
    int GlyphHeight = 0;
    std::vector<std::string> Captions;  // one per glyph, by index
    TBitmap Strip;                      // glyphs side by side
};
// Raises EInvalidGraphic naming the line that is wrong.
TGlyphSource ParseGlyphSource(const std::string& text);
// C++ source defining the compiled-in table for the given strips.
std::string GenerateGlyphData(const std::vector<TGlyphSource>& sources);

}  // namespace vel
