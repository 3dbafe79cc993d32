#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/graphics/Errors.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Resources.h"
#include "platform/rtl/Exceptions.h"
#include "tests/graphics/GraphicsTestUtil.h"

using namespace vel;

namespace {

std::string SourceDir() {
    // ctest passes the source folder; run by hand, the folder comes from this file's path.
    if (const char* dir = std::getenv("VEL_SOURCE_DIR")) return dir;
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

// Glyphs with ink: at least one pixel that is not the mask colour.
bool HasInk(const TBitmap& strip, int glyphWidth, int index) {
    for (int y = 0; y < strip.GetHeight(); ++y)
        for (int x = 0; x < glyphWidth; ++x)
            if (strip.GetPixelColor(index * glyphWidth + x, y) != kGlyphMaskColor) return true;
    return false;
}

}  // namespace

TEST(Resources, CompiledTableMatchesTheSources) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(SourceDir()) / "resources" / "glyphs";
    ASSERT_TRUE(fs::exists(dir)) << dir;
    int seen = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().extension() != ".txt") continue;
        std::ifstream in(e.path());
        std::stringstream text;
        text << in.rdbuf();
        const TGlyphSource src = ParseGlyphSource(text.str());
        SCOPED_TRACE(src.Name);
        auto compiled = LoadBitmapResource(src.Name);
        EXPECT_TRUE(veltest::SamePixels(*compiled, src.Strip)) << "run velglyphc to regenerate";
        EXPECT_EQ(FindGlyphResource(src.Name)->GlyphWidth, src.GlyphWidth);
        ++seen;
    }
    EXPECT_EQ(seen, int(GlyphResourceNames().size()));
}

TEST(Resources, EveryGlyphTheGridUsesIsThere) {
    struct Need {
        const char* Name;
        int Count;
    };
    // Indicators: row states 0-7, title buttons 9-11, filter list commands 12-17, filter
    // buttons 20-21. Markers: two single plus nine numbered pairs. Check and expand boxes:
    // three kinds or sizes of three states.
    const Need needs[] = {{"VELDBINDICATORS", 22}, {"VELDBMARKERS", 20},   {"VELDBCHECKBOXES", 9},
                          {"VELDBEXPANDBOXES", 9}, {"VELDBCALCULATOR", 1}, {"VELDBCALENDAR", 1},
                          {"VELDBNAVIGATOR", 12}};
    for (const Need& n : needs) {
        SCOPED_TRACE(n.Name);
        const TGlyphResource* res = FindGlyphResource(n.Name);
        ASSERT_NE(res, nullptr);
        EXPECT_EQ(res->Width / res->GlyphWidth, n.Count);
        auto strip = LoadBitmapResource(n.Name);
        for (int i = 0; i < n.Count; ++i) {
            // The leaf state of the expand boxes is deliberately almost empty, but not blank.
            EXPECT_TRUE(HasInk(*strip, res->GlyphWidth, i)) << "glyph " << i;
        }
    }
    // Square marker and indicator glyphs as high as the bitmap, as the image lists cut them.
    for (const char* name : {"VELDBINDICATORS", "VELDBMARKERS"}) {
        const TGlyphResource* res = FindGlyphResource(name);
        EXPECT_EQ(res->GlyphWidth, res->Height) << name;
    }
    EXPECT_NE(FindGlyphResource("veldbmarkers"), nullptr);  // names are case-insensitive
    EXPECT_EQ(FindGlyphResource("NOSUCHGLYPHS"), nullptr);
    TBitmap b;
    EXPECT_THROW(b.LoadFromResourceName("NOSUCHGLYPHS"), EInvalidGraphic);
}

TEST(Resources, ImageListFromAResourceUsesTheMask) {
    TImageList list(nullptr, 1, 1);
    EXPECT_EQ(list.AddResource("VELDBINDICATORS"), 0);
    EXPECT_EQ(list.GetWidth(), 12);
    EXPECT_EQ(list.GetCount(), 22);
    TBitmap back(12, 12);
    back.Fill(PixelFromColor(clWhite));
    list.Draw(back.Canvas(), 0, 0, 0);
    // The current-record arrow is ink on an untouched background.
    EXPECT_EQ(back.GetPixelColor(0, 0), clWhite);
    EXPECT_NE(veltest::InkBox(back, clWhite), TRect{});
}

TEST(Resources, GlyphSourceErrorsNameTheLine) {
    const std::string good = "name X\nsize 2 1\ncolors\n. 808000\nk 000000\nglyph 0 a\n.k\n";
    const TGlyphSource s = ParseGlyphSource(good);
    EXPECT_EQ(s.Strip.GetWidth(), 2);
    EXPECT_EQ(s.Strip.GetPixelColor(1, 0), clBlack);
    EXPECT_EQ(s.Captions, std::vector<std::string>{"a"});
    try {
        ParseGlyphSource("name X\nsize 2 1\ncolors\n. 808000\nglyph 0 a\n.kk\n");
        FAIL() << "a row of the wrong width was accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(e.Message().find("line 6"), std::string::npos) << e.Message();
    }
    EXPECT_THROW(ParseGlyphSource("name X\nsize 2 1\ncolors\n. 808000\nglyph 0 a\n.z\n"),
                 EInvalidGraphic);
    EXPECT_THROW(ParseGlyphSource("name X\nsize 2 1\ncolors\n. 808000\nglyph 1 a\n..\n"),
                 EInvalidGraphic);
    EXPECT_THROW(ParseGlyphSource("size 2 1\n"), EInvalidGraphic);
    EXPECT_THROW(ParseGlyphSource("name X\nsize 2 2\ncolors\n. 808000\nglyph 0 a\n..\n"),
                 EInvalidGraphic);
}
