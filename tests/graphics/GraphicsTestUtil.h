#pragma once
// Shared helpers of the graphics tests: a pinned font and system colours that differ from
// each other, so that a pixel tells which colour was meant.
#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Text.h"

namespace veltest {

constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        vel::SetPinnedFontFile(kDejaVuSans);
        // One distinct value per system colour.
        for (int i = 0; i < vel::COLOR_COUNT; ++i)
            vel::SetSysColor(i, vel::TColorRef(vel::RGB(10 + i * 7, 200 - i * 5, 30 + i * 3)));
    }
    void TearDown() override {
        vel::ResetSysColors();
        vel::SetPinnedFontFile("");
    }
    static vel::TColor Sys(vel::TColor c) { return vel::TColor(vel::ColorToRGB(c)); }
};

inline vel::TColor At(const vel::TBitmap& b, int x, int y) {
    return b.GetPixelColor(x, y);
}

// Bounding box of pixels that differ from the background colour.
inline vel::TRect InkBox(const vel::TBitmap& b, vel::TColor background) {
    vel::TRect box{1 << 20, 1 << 20, -1, -1};
    for (int y = 0; y < b.GetHeight(); ++y)
        for (int x = 0; x < b.GetWidth(); ++x)
            if (b.GetPixelColor(x, y) != background) {
                box.Left = std::min(box.Left, x), box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1), box.Bottom = std::max(box.Bottom, y + 1);
            }
    if (box.Right < 0) return {};
    return box;
}

inline bool SamePixels(const vel::TBitmap& a, const vel::TBitmap& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
    return true;
}

}  // namespace veltest
