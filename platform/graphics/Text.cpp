#include "platform/graphics/Text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <tuple>

#include "platform/graphics/Errors.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {

FT_Library Library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) throw EOutOfResources("FreeType could not be initialised.");
        return l;
    }();
    return lib;
}

std::string gPinned;
unsigned gGeneration = 1;

using FaceKey = std::tuple<std::string, int, bool, bool>;
std::map<FaceKey, std::unique_ptr<TFontFace>>& Faces() {
    static std::map<FaceKey, std::unique_ptr<TFontFace>> faces;
    return faces;
}
std::map<std::tuple<std::string, bool, bool>, std::string>& Resolved() {
    static std::map<std::tuple<std::string, bool, bool>, std::string> m;
    return m;
}

const char* const kDejaVuDir = "/usr/share/fonts/truetype/dejavu/";

// Classic face names to the DejaVu family that looks closest.
std::string FamilyFor(const std::string& name) {
    static const char* const serif[] = {"Times New Roman", "Times",    "Georgia",      "Serif",
                                        "MS Serif",        "Garamond", "Book Antiqua", "Cambria"};
    static const char* const mono[] = {"Courier New", "Courier",  "Consolas",  "Lucida Console",
                                       "Fixedsys",    "Terminal", "Monospace", "Mono"};
    for (const char* s : serif)
        if (Utf8SameText(name, s)) return "DejaVu Serif";
    for (const char* s : mono)
        if (Utf8SameText(name, s)) return "DejaVu Sans Mono";
    return "DejaVu Sans";
}

std::string DirectFile(const std::string& family, bool bold, bool italic) {
    std::string base = family == "DejaVu Serif"       ? "DejaVuSerif"
                       : family == "DejaVu Sans Mono" ? "DejaVuSansMono"
                                                      : "DejaVuSans";
    std::string suffix;
    if (bold && italic)
        suffix = base == "DejaVuSerif" ? "-BoldItalic" : "-BoldOblique";
    else if (bold)
        suffix = "-Bold";
    else if (italic)
        suffix = base == "DejaVuSerif" ? "-Italic" : "-Oblique";
    return std::string(kDejaVuDir) + base + suffix + ".ttf";
}

std::string FontconfigFile(const std::string& family, bool bold, bool italic) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return {};
    std::string result;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_OBLIQUE : FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res;
    if (FcPattern* match = FcFontMatch(config, pat, &res)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            result = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    FcConfigDestroy(config);
    return result;
}

bool FileIsBold(const std::string& f) {
    return f.find("Bold") != std::string::npos;
}
bool FileIsItalic(const std::string& f) {
    return f.find("Oblique") != std::string::npos || f.find("Italic") != std::string::npos;
}

}  // namespace

struct TFontFace::Impl {
    FT_Face Face = nullptr;
};

TFontFace::TFontFace(const std::string& file, int emPixels, bool bold, bool italic, bool synthBold,
                     bool synthItalic)
    : FImpl(std::make_unique<Impl>()),
      FFile(file),
      FEm(std::max(1, emPixels)),
      FBold(bold),
      FItalic(italic),
      FSynthBold(synthBold),
      FSynthItalic(synthItalic) {
    if (FT_New_Face(Library(), file.c_str(), 0, &FImpl->Face) != 0)
        throw EInvalidGraphic("Font file '" + file + "' cannot be opened.");
    FT_Face f = FImpl->Face;
    FT_Set_Pixel_Sizes(f, 0, FT_UInt(FEm));
    const double scale = double(FEm) / double(f->units_per_EM);
    // OS/2 win metrics would be the same for DejaVu; hhea is always present.
    FAscent = int(std::lround(f->ascender * scale));
    FDescent = int(std::lround(-f->descender * scale));
    FMaxCharWidth = int(std::lround(f->max_advance_width * scale));
    FUnderlinePos = std::max(1, int(std::lround(-f->underline_position * scale)));
    FLineThickness = std::max(1, int(std::lround(f->underline_thickness * scale)));
    if (FSynthBold) FMaxCharWidth += 1;
    FAveCharWidth = Advance(U'x');
}

TFontFace::~TFontFace() {
    if (FImpl && FImpl->Face) FT_Done_Face(FImpl->Face);
}

TFontFace::Glyph TFontFace::Render(char32_t cp) {
    Glyph g;
    FT_Face f = FImpl->Face;
    FT_UInt index = FT_Get_Char_Index(f, cp);
    if (index == 0 && cp != U' ') index = FT_Get_Char_Index(f, 0xFFFD);
    if (FT_Load_Glyph(f, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0) return g;
    if (FSynthItalic) FT_GlyphSlot_Oblique(f->glyph);
    if (FSynthBold) FT_GlyphSlot_Embolden(f->glyph);
    g.Advance = int((f->glyph->advance.x + 32) >> 6);
    if (FT_Render_Glyph(f->glyph, FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_Bitmap& bm = f->glyph->bitmap;
    g.Left = f->glyph->bitmap_left;
    g.Top = f->glyph->bitmap_top;
    g.Width = int(bm.width);
    g.Height = int(bm.rows);
    g.Coverage.resize(std::size_t(g.Width) * std::size_t(g.Height));
    for (int y = 0; y < g.Height; ++y) {
        const unsigned char* row = bm.buffer + std::ptrdiff_t(y) * bm.pitch;
        std::copy(row, row + g.Width, g.Coverage.begin() + std::ptrdiff_t(y) * g.Width);
    }
    return g;
}

const TFontFace::Glyph& TFontFace::GetGlyph(char32_t cp) {
    if (cp < 128) {
        if (!FAsciiDone[cp]) {
            FAscii[cp] = Render(cp);
            FAsciiDone[cp] = true;
        }
        return FAscii[cp];
    }
    auto it = FOthers.find(cp);
    if (it == FOthers.end()) it = FOthers.emplace(cp, Render(cp)).first;
    return it->second;
}

int TFontFace::TextWidth(std::string_view s) {
    int w = 0;
    for (std::size_t p = 0; p < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[p]);
        if (c < 0x80) {
            w += GetGlyph(c).Advance;
            ++p;
        } else {
            w += GetGlyph(Utf8Decode(s, p)).Advance;
        }
    }
    return w;
}

void SetPinnedFontFile(const std::string& path) {
    if (path == gPinned) return;
    if (!path.empty() && !std::filesystem::exists(path))
        throw EInvalidArgument("Font file '" + path + "' does not exist.");
    gPinned = path;
    ++gGeneration;
}

unsigned FontCacheGeneration() {
    return gGeneration;
}

const std::string& GetPinnedFontFile() {
    return gPinned;
}

std::string ResolveFontFile(const std::string& name, bool bold, bool italic) {
    if (!gPinned.empty()) return gPinned;
    auto key = std::make_tuple(name, bold, italic);
    auto& cache = Resolved();
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    const std::string family = FamilyFor(name);
    std::string file = FontconfigFile(family, bold, italic);
    // Fontconfig may answer with another family when DejaVu is missing one style.
    if (file.empty() || file.find("DejaVu") == std::string::npos) {
        std::string direct = DirectFile(family, bold, italic);
        if (std::filesystem::exists(direct)) file = direct;
    }
    if (file.empty()) file = std::string(kDejaVuDir) + "DejaVuSans.ttf";
    cache[key] = file;
    return file;
}

TFontFace& GetFontFace(const std::string& name, int emPixels, TFontStyles style) {
    const bool bold = style.Contains(TFontStyle::fsBold);
    const bool italic = style.Contains(TFontStyle::fsItalic);
    const std::string file = ResolveFontFile(name, bold, italic);
    auto key = std::make_tuple(file, emPixels, bold, italic);
    auto& faces = Faces();
    auto it = faces.find(key);
    if (it == faces.end()) {
        auto face = std::make_unique<TFontFace>(
            file, emPixels, bold, italic, bold && !FileIsBold(file), italic && !FileIsItalic(file));
        it = faces.emplace(key, std::move(face)).first;
    }
    return *it->second;
}

TFontFace& GetFontFace(const TFont& font) {
    return GetFontFace(font.GetName(), font.EmPixels(), font.GetStyle());
}

void ClearFontCache() {
    Faces().clear();
    Resolved().clear();
    ++gGeneration;
}

}  // namespace vel
