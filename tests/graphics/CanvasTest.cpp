#include <gtest/gtest.h>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Errors.h"
#include "platform/rtl/Exceptions.h"
#include "tests/graphics/GraphicsTestUtil.h"

using namespace vel;
using veltest::At;

namespace {
class Canvas : public veltest::GraphicsTest {};

TBitmap White(int w, int h) {
    TBitmap b(w, h);
    b.Fill(0xFFFFFFFFu);
    return b;
}
}  // namespace

TEST_F(Canvas, ColorsResolveThroughTheSystemPalette) {
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(ColorToRGB(clNone), 0u);
    EXPECT_EQ(ColorToRGB(clDefault), 0u);
    EXPECT_EQ(clDefault, 536870912);
    EXPECT_EQ(clNone, 536870911);
    EXPECT_EQ(StringToColor("clBtnFace"), clBtnFace);
    EXPECT_EQ(StringToColor("$00FF0000"), clBlue);
    EXPECT_EQ(ColorToString(clHighlight), "clHighlight");
    EXPECT_EQ(StringToColor(ColorToString(0x123456)), 0x123456);
    EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
}

TEST_F(Canvas, ShadowColorsMoveLuminanceOnly) {
    const TColor base = RGB(100, 150, 200);
    int h0, l0, s0, h1, l1, s1;
    ColorRGBToHLS(TColorRef(base), h0, l0, s0);
    ColorRGBToHLS(TColorRef(GetShadowColor(base, -40)), h1, l1, s1);
    EXPECT_NEAR(l1, l0 - 40, 1);
    EXPECT_NEAR(h1, h0, 2);
    EXPECT_EQ(GetShadowColor(base, -500), clBlack);
    EXPECT_EQ(GetHighLightColor(base, 500), clWhite);
    EXPECT_EQ(GetShadowColor(clNone, -10), clNone);
    // Grey stays grey.
    const TColor g = GetShadowColor(RGB(128, 128, 128), 20);
    EXPECT_EQ(GetRValue(TColorRef(g)), GetBValue(TColorRef(g)));
    EXPECT_GT(GetRValue(TColorRef(g)), 128);
}

TEST_F(Canvas, FontSizeAndHeightFollowPixelsPerInch) {
    TFont f;
    int changes = 0;
    f.SetOnChange([&](TObject*) { ++changes; });
    EXPECT_EQ(f.GetSize(), 8);
    f.SetSize(10);
    EXPECT_EQ(f.GetHeight(), -13);
    EXPECT_EQ(changes, 1);
    f.SetSize(10);
    EXPECT_EQ(changes, 1);  // unchanged: no notification
    f.SetSize(8);
    f.SetPixelsPerInch(144);
    EXPECT_EQ(f.GetSize(), 8);
    EXPECT_EQ(f.GetHeight(), -16);
    TFont g;
    g.Assign(&f);  // a 96 DPI font keeps the size in points
    EXPECT_EQ(g.GetSize(), 8);
    EXPECT_EQ(g.GetHeight(), -11);
}

TEST_F(Canvas, FillRectAndFrameRectUseTheBrush) {
    TBitmap b = White(20, 20);
    TCanvas& c = b.Canvas();
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(2, 3, 6, 8));
    EXPECT_EQ(At(b, 2, 3), clRed);
    EXPECT_EQ(At(b, 5, 7), clRed);
    EXPECT_EQ(At(b, 6, 7), clWhite);  // right and bottom are exclusive
    EXPECT_EQ(At(b, 5, 8), clWhite);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.FillRect(Rect(10, 10, 12, 12));
    EXPECT_EQ(At(b, 10, 10), clWhite);
    c.Brush().SetColor(clBlue);  // a colour makes a clear brush solid again
    EXPECT_EQ(c.Brush().GetStyle(), TBrushStyle::bsSolid);
    c.FrameRect(Rect(10, 10, 15, 14));
    EXPECT_EQ(At(b, 10, 10), clBlue);
    EXPECT_EQ(At(b, 14, 13), clBlue);
    EXPECT_EQ(At(b, 11, 11), clWhite);
}

TEST_F(Canvas, LinesExcludeTheirEndPoint) {
    TBitmap b = White(20, 20);
    TCanvas& c = b.Canvas();
    c.Pen().SetColor(clBlack);
    c.MoveTo(2, 5);
    c.LineTo(10, 5);
    EXPECT_EQ(At(b, 2, 5), clBlack);
    EXPECT_EQ(At(b, 9, 5), clBlack);
    EXPECT_EQ(At(b, 10, 5), clWhite);
    c.MoveTo(3, 15);
    c.LineTo(3, 10);  // upwards
    EXPECT_EQ(At(b, 3, 15), clBlack);
    EXPECT_EQ(At(b, 3, 11), clBlack);
    EXPECT_EQ(At(b, 3, 10), clWhite);
    c.MoveTo(10, 10);
    c.LineTo(14, 14);
    EXPECT_EQ(At(b, 12, 12), clBlack);
    EXPECT_EQ(At(b, 14, 14), clWhite);
    EXPECT_EQ(c.GetPenPos(), Point(14, 14));
    // Dotted pens leave gaps; XOR pens undo themselves.
    TBitmap d = White(30, 3);
    d.Canvas().Pen().SetStyle(TPenStyle::psDot);
    d.Canvas().MoveTo(0, 1);
    d.Canvas().LineTo(30, 1);
    EXPECT_EQ(At(d, 0, 1), clBlack);
    EXPECT_EQ(At(d, 4, 1), clWhite);
    d.Canvas().Pen().SetStyle(TPenStyle::psSolid);
    d.Canvas().Pen().SetMode(TPenMode::pmNot);
    d.Canvas().MoveTo(0, 0);
    d.Canvas().LineTo(5, 0);
    EXPECT_EQ(At(d, 1, 0), clBlack);
    d.Canvas().MoveTo(0, 0);
    d.Canvas().LineTo(5, 0);
    EXPECT_EQ(At(d, 1, 0), clWhite);
}

TEST_F(Canvas, ShapesFillInsideTheirOutline) {
    TBitmap b = White(40, 40);
    TCanvas& c = b.Canvas();
    c.Brush().SetColor(clYellow);
    c.Pen().SetColor(clBlack);
    c.Rectangle(2, 2, 10, 8);
    EXPECT_EQ(At(b, 2, 2), clBlack);
    EXPECT_EQ(At(b, 9, 7), clBlack);
    EXPECT_EQ(At(b, 5, 5), clYellow);
    EXPECT_EQ(At(b, 10, 5), clWhite);
    c.Polygon({Point(20, 2), Point(30, 12), Point(20, 12)});
    EXPECT_EQ(At(b, 22, 10), clYellow);
    EXPECT_EQ(At(b, 28, 4), clWhite);
    c.Ellipse(2, 20, 18, 36);
    EXPECT_EQ(At(b, 10, 28), clYellow);
    EXPECT_EQ(At(b, 2, 20), clWhite);  // corners stay outside
    EXPECT_EQ(At(b, 17, 35), clWhite);
    EXPECT_EQ(At(b, 2, 28), clBlack);
    c.RoundRect(20, 20, 36, 36, 8, 8);
    EXPECT_EQ(At(b, 20, 20), clWhite);
    EXPECT_EQ(At(b, 20, 28), clBlack);
    EXPECT_EQ(At(b, 28, 28), clYellow);
}

TEST_F(Canvas, FocusRectIsDottedAndUndoesItself) {
    TBitmap b = White(12, 8);
    TCanvas& c = b.Canvas();
    c.DrawFocusRect(Rect(0, 0, 12, 8));
    EXPECT_EQ(At(b, 0, 0), clBlack);
    EXPECT_EQ(At(b, 1, 0), clWhite);
    EXPECT_EQ(At(b, 2, 0), clBlack);
    EXPECT_EQ(At(b, 0, 1), clWhite);
    EXPECT_EQ(At(b, 0, 2), clBlack);
    EXPECT_EQ(At(b, 11, 7), clBlack);
    EXPECT_EQ(At(b, 4, 4), clWhite);  // inside untouched
    c.DrawFocusRect(Rect(0, 0, 12, 8));
    EXPECT_EQ(veltest::InkBox(b, clWhite), TRect{});
    // The dots follow the surface, not the rectangle: a frame one pixel over starts blank.
    c.DrawFocusRect(Rect(1, 0, 6, 3));
    EXPECT_EQ(At(b, 1, 0), clWhite);
    EXPECT_EQ(At(b, 2, 0), clBlack);
}

TEST_F(Canvas, GradientEndPointsAndMiddle) {
    TBitmap b = White(101, 10);
    GradientFillRect(b.Canvas(), Rect(0, 0, 100, 10), clRed, clBlue, true);
    EXPECT_EQ(At(b, 0, 5), clRed);
    const TColorRef last = TColorRef(At(b, 99, 5));
    EXPECT_LE(GetRValue(last), 3);
    EXPECT_GE(GetBValue(last), 252);
    const TColorRef mid = TColorRef(At(b, 50, 5));
    EXPECT_NEAR(GetRValue(mid), 127, 2);
    EXPECT_NEAR(GetBValue(mid), 127, 2);
    EXPECT_EQ(At(b, 100, 5), clWhite);

    TBitmap v = White(4, 50);
    // Vertices given lower-right first still run from the first colour at the top.
    const TTriVertex verts[2] = {MakeVertex(0, 0, clBlack), MakeVertex(4, 50, clWhite)};
    const TGradientRect mesh{1, 0};
    ASSERT_TRUE(GradientFill(v.Canvas(), verts, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
    EXPECT_EQ(At(v, 2, 0), clBlack);
    EXPECT_GE(GetRValue(TColorRef(At(v, 2, 49))), 245);
    EXPECT_NEAR(GetGValue(TColorRef(At(v, 2, 25))), 127, 3);
    const TGradientRect bad{0, 7};
    EXPECT_FALSE(GradientFill(v.Canvas(), verts, 2, &bad, 1, GRADIENT_FILL_RECT_V));
    // System colours resolve.
    GradientFillRect(v.Canvas(), Rect(0, 0, 4, 50), clBtnFace, clBtnFace, false);
    EXPECT_EQ(At(v, 1, 30), Sys(clBtnFace));
}

TEST_F(Canvas, NestedSaveAndRestoreOfTheClip) {
    TBitmap b = White(30, 30);
    TCanvas& c = b.Canvas();
    EXPECT_EQ(c.SaveDC(), 1);
    c.IntersectClipRect(Rect(5, 5, 20, 20));
    EXPECT_EQ(c.SaveDC(), 2);
    c.ExcludeClipRect(Rect(8, 8, 12, 12));
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(0, 0, 30, 30));
    EXPECT_EQ(At(b, 4, 4), clWhite);
    EXPECT_EQ(At(b, 5, 5), clRed);
    EXPECT_EQ(At(b, 10, 10), clWhite);  // the hole
    EXPECT_EQ(At(b, 19, 19), clRed);
    EXPECT_EQ(At(b, 20, 20), clWhite);
    EXPECT_EQ(c.ClipRect(), Rect(5, 5, 20, 20));
    ASSERT_TRUE(c.RestoreDC());
    c.Brush().SetColor(clBlue);
    c.FillRect(Rect(0, 0, 30, 30));
    EXPECT_EQ(At(b, 10, 10), clBlue);  // the hole is gone
    EXPECT_EQ(At(b, 4, 4), clWhite);   // the outer clip is still there
    ASSERT_TRUE(c.RestoreDC(1));
    c.Brush().SetColor(clGreen);
    c.FillRect(Rect(0, 0, 30, 30));
    EXPECT_EQ(At(b, 4, 4), clGreen);
    EXPECT_FALSE(c.RestoreDC());
    EXPECT_FALSE(c.RestoreDC(5));
    // A clip emptied by intersection paints nothing.
    c.IntersectClipRect(Rect(0, 0, 5, 5));
    c.IntersectClipRect(Rect(10, 10, 15, 15));
    c.Brush().SetColor(clBlack);
    c.FillRect(Rect(0, 0, 30, 30));
    EXPECT_EQ(veltest::InkBox(b, clGreen), TRect{});
    EXPECT_FALSE(c.RectVisible(Rect(0, 0, 30, 30)));
}

TEST_F(Canvas, OriginAndDeviceClipPlaceAControl) {
    TBitmap surface = White(40, 40);
    TCanvas c(&surface);
    c.SetDeviceOrigin(Point(10, 5));
    c.SetDeviceClip(Bounds(10, 5, 8, 6));
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(-5, -5, 100, 100));
    EXPECT_EQ(veltest::InkBox(surface, clWhite), Bounds(10, 5, 8, 6));
    EXPECT_EQ(c.ClipRect(), Rect(0, 0, 8, 6));
    c.SetPixel(1, 1, clBlue);
    EXPECT_EQ(At(surface, 11, 6), clBlue);
    EXPECT_EQ(c.GetPixel(1, 1), clBlue);
    // An excluded rectangle is in logical coordinates too.
    c.ExcludeClipRect(Rect(0, 0, 2, 2));
    c.Brush().SetColor(clGreen);
    c.FillRect(Rect(0, 0, 8, 6));
    EXPECT_EQ(At(surface, 10, 5), clRed);
    EXPECT_EQ(At(surface, 12, 7), clGreen);
}

TEST_F(Canvas, BlitsCopyOverlappingAreasAndCombine) {
    TBitmap b = White(20, 4);
    for (int x = 0; x < 20; ++x) b.SetPixel(x, 0, 0xFF000000u | TPixel(x));
    TCanvas& c = b.Canvas();
    // Scrolling right by 3 within the same surface.
    ASSERT_TRUE(BitBlt(c, 3, 0, 17, 1, c, 0, 0, SRCCOPY));
    EXPECT_EQ(b.GetPixel(3, 0) & 0xFF, 0u);
    EXPECT_EQ(b.GetPixel(19, 0) & 0xFF, 16u);
    TBitmap src = White(2, 1);
    src.SetPixel(0, 0, PixelFromColor(clRed));
    TBitmap dst = White(2, 1);
    dst.SetPixel(0, 0, PixelFromColor(clBlue));
    BitBlt(dst.Canvas(), 0, 0, 2, 1, src.Canvas(), 0, 0, SRCINVERT);
    EXPECT_EQ(At(dst, 0, 0), TColor(clRed ^ clBlue));
    EXPECT_EQ(At(dst, 1, 0), clBlack);
    BitBlt(dst.Canvas(), 0, 0, 2, 1, src.Canvas(), 0, 0, SRCAND);
    EXPECT_EQ(At(dst, 0, 0), clRed);
    dst.Canvas().Brush().SetColor(clLime);
    PatBlt(dst.Canvas(), 0, 0, 1, 1, PATCOPY);
    EXPECT_EQ(At(dst, 0, 0), clLime);
    PatBlt(dst.Canvas(), 0, 0, 2, 1, DSTINVERT);
    EXPECT_EQ(At(dst, 0, 0), TColor(clLime ^ 0xFFFFFF));
    PatBlt(dst.Canvas(), 0, 0, 2, 1, BLACKNESS);
    EXPECT_EQ(At(dst, 1, 0), clBlack);
    // CopyRect stretches.
    TBitmap big = White(8, 2);
    big.Canvas().CopyRect(Rect(0, 0, 8, 2), src.Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(At(big, 3, 1), clRed);
    EXPECT_EQ(At(big, 4, 0), clWhite);
}

TEST_F(Canvas, TransparentBitmapsLetTheBackgroundThrough) {
    TBitmap glyph(3, 3);
    glyph.Fill(PixelFromColor(RGB(128, 128, 0)));
    glyph.SetPixel(1, 1, PixelFromColor(clRed));
    TBitmap b = White(6, 6);
    b.Canvas().Draw(1, 1, glyph);
    EXPECT_EQ(At(b, 1, 1), RGB(128, 128, 0));
    glyph.SetTransparent(true);  // automatic key: the bottom-left pixel
    EXPECT_EQ(glyph.GetTransparentColor(), RGB(128, 128, 0));
    TBitmap t = White(6, 6);
    t.Canvas().Draw(1, 1, glyph);
    EXPECT_EQ(At(t, 1, 1), clWhite);
    EXPECT_EQ(At(t, 2, 2), clRed);
    glyph.SetTransparentColor(clRed);
    EXPECT_EQ(glyph.GetTransparentMode(), TTransparentMode::tmFixed);
    t.Canvas().Draw(3, 3, glyph);
    EXPECT_EQ(At(t, 3, 3), RGB(128, 128, 0));
    EXPECT_EQ(At(t, 4, 4), clWhite);
    // Alpha pictures blend.
    TBitmap a(1, 1);
    a.SetPixel(0, 0, 0x80000000u);  // half-transparent black
    a.SetAlphaFormat(TAlphaFormat::afDefined);
    TBitmap w = White(1, 1);
    w.Canvas().Draw(0, 0, a);
    EXPECT_NEAR(GetRValue(TColorRef(At(w, 0, 0))), 127, 1);
}

TEST_F(Canvas, BitmapResizeKeepsPixelsAndRejectsAbsurdSizes) {
    TBitmap b(2, 2);
    b.SetPixel(1, 1, PixelFromColor(clRed));
    b.SetSize(4, 3);
    EXPECT_EQ(At(b, 1, 1), clRed);
    EXPECT_EQ(At(b, 3, 2), clWhite);
    EXPECT_EQ(At(b, 4, 0), clNone);
    EXPECT_THROW(b.SetSize(-1, 3), EInvalidGraphicOperation);
    EXPECT_THROW(b.SetSize(100000, 100000), EInvalidGraphicOperation);
    EXPECT_EQ(b.GetWidth(), 4);
}
