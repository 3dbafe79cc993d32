#include <gtest/gtest.h>

#include "platform/graphics/ImageList.h"
#include "platform/rtl/Exceptions.h"
#include "tests/graphics/GraphicsTestUtil.h"

using namespace vel;
using veltest::At;

namespace {

class ImageLists : public veltest::GraphicsTest {
protected:
    // Two 4x4 images side by side: a red square with an olive (mask) border, and blue.
    static TBitmap Strip() {
        TBitmap b(8, 4);
        b.Fill(PixelFromColor(RGB(128, 128, 0)));
        for (int y = 1; y < 3; ++y)
            for (int x = 1; x < 3; ++x) b.SetPixel(x, y, PixelFromColor(clRed));
        for (int y = 0; y < 4; ++y)
            for (int x = 4; x < 8; ++x) b.SetPixel(x, y, PixelFromColor(clBlue));
        return b;
    }
    static TBitmap Back() {
        TBitmap b(6, 6);
        b.Fill(PixelFromColor(clWhite));
        return b;
    }
};

}  // namespace

TEST_F(ImageLists, MaskedAddCutsTheStripAndKeepsTheBackground) {
    TImageList list(nullptr, 4, 4);
    int changes = 0;
    list.SetOnChange([&](TObject*) { ++changes; });
    EXPECT_EQ(list.AddMasked(Strip(), RGB(128, 128, 0)), 0);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(changes, 1);
    TBitmap b = Back();
    list.Draw(b.Canvas(), 1, 1, 0);
    EXPECT_EQ(At(b, 1, 1), clWhite);  // masked corner
    EXPECT_EQ(At(b, 2, 2), clRed);
    list.Draw(b.Canvas(), 1, 1, 1);
    EXPECT_EQ(At(b, 1, 1), clBlue);
    EXPECT_EQ(At(b, 5, 5), clWhite);  // image is 4x4
    // clDefault takes the bottom-left pixel as the mask colour.
    TImageList auto4(nullptr, 4, 4);
    auto4.AddMasked(Strip(), clDefault);
    TBitmap a = Back();
    auto4.Draw(a.Canvas(), 0, 0, 0);
    EXPECT_EQ(At(a, 0, 0), clWhite);
    // Out-of-range indexes draw nothing and Delete refuses them.
    list.Draw(b.Canvas(), 0, 0, 7);
    EXPECT_THROW(list.Delete(5), EInvalidOperation);
    list.Delete(0);
    EXPECT_EQ(list.GetCount(), 1);
    list.SetSize(8, 8);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(ImageLists, MaskBitmapAndBackgroundColour) {
    TImageList list(nullptr, 4, 4);
    TBitmap image = Strip();
    TBitmap mask(4, 4);
    mask.Fill(PixelFromColor(clBlack));
    mask.SetPixel(0, 0, PixelFromColor(clWhite));  // white = transparent
    list.Add(image, &mask);
    EXPECT_EQ(list.GetCount(), 2);
    TBitmap b = Back();
    list.Draw(b.Canvas(), 0, 0, 0);
    EXPECT_EQ(At(b, 0, 0), clWhite);
    EXPECT_EQ(At(b, 1, 0), RGB(128, 128, 0));
    list.SetBkColor(clYellow);
    list.Draw(b.Canvas(), 0, 0, 0);
    EXPECT_EQ(At(b, 0, 0), clYellow);
    TBitmap t = Back();
    list.Draw(t.Canvas(), 0, 0, 0, TDrawingStyle::dsTransparent, TImageType::itImage);
    EXPECT_EQ(At(t, 0, 0), clWhite);
    list.Draw(t.Canvas(), 0, 0, 0, TDrawingStyle::dsNormal, TImageType::itMask);
    EXPECT_EQ(At(t, 0, 0), clWhite);
    EXPECT_EQ(At(t, 1, 1), clBlack);
}

TEST_F(ImageLists, BlendingWithTheHighlightColour) {
    TImageList list(nullptr, 4, 4);
    list.AddMasked(Strip(), RGB(128, 128, 0));
    const TColorRef hl = ColorToRGB(clHighlight);
    auto drawn = [&](unsigned style, TColor fg) {
        TBitmap b = Back();
        list.DrawEx(b.Canvas(), 1, 0, 0, 0, 0, clNone, fg, style);
        return TColorRef(At(b, 2, 2));
    };
    const TColorRef normal = drawn(ILD_NORMAL, clDefault);
    EXPECT_EQ(normal, TColorRef(clBlue));
    const TColorRef half = drawn(ILD_BLEND50, clDefault);
    EXPECT_NEAR(GetRValue(half), GetRValue(hl) / 2, 2);
    EXPECT_NEAR(GetBValue(half), (255 + GetBValue(hl)) / 2, 2);
    const TColorRef quarter = drawn(ILD_BLEND25, clDefault);
    EXPECT_NEAR(GetBValue(quarter), (3 * 255 + GetBValue(hl)) / 4, 2);
    const TColorRef red = drawn(ILD_SELECTED, clRed);
    EXPECT_NEAR(GetRValue(red), 128, 2);
    // With no blend colour the image half shows what is below.
    const TColorRef through = drawn(ILD_BLEND50, clNone);
    EXPECT_NEAR(GetRValue(through), 128, 2);
    EXPECT_EQ(GetBValue(through), 255);
    // Only part of the image.
    TBitmap part = Back();
    list.DrawEx(part.Canvas(), 1, 0, 0, 2, 2, clNone, clNone, ILD_NORMAL);
    EXPECT_EQ(At(part, 1, 1), clBlue);
    EXPECT_EQ(At(part, 2, 2), clWhite);
}

TEST_F(ImageLists, DisabledImagesAreEmbossed) {
    TImageList list(nullptr, 4, 4);
    list.AddMasked(Strip(), RGB(128, 128, 0));
    TBitmap b = Back();
    list.Draw(b.Canvas(), 0, 0, 0, false);
    EXPECT_EQ(At(b, 1, 1), Sys(clBtnShadow));
    EXPECT_EQ(At(b, 3, 3), Sys(clBtnHighlight));  // the lit copy below-right
    EXPECT_EQ(At(b, 0, 0), clWhite);
}

TEST_F(ImageLists, AlphaImagesKeepTheirAlpha) {
    TImageList list(nullptr, 2, 1);
    TBitmap img(2, 1);
    img.SetPixel(0, 0, 0xFF00FF00u);
    img.SetPixel(1, 0, 0x00FF0000u);
    img.SetAlphaFormat(TAlphaFormat::afDefined);
    list.Add(img);
    TBitmap b = Back();
    list.Draw(b.Canvas(), 0, 0, 0);
    EXPECT_EQ(At(b, 0, 0), clLime);
    EXPECT_EQ(At(b, 1, 0), clWhite);
}
