#include <gtest/gtest.h>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Text.h"
#include "platform/rtl/Exceptions.h"
#include "tests/graphics/GraphicsTestUtil.h"

using namespace vel;
using veltest::InkBox;

namespace {

class Text : public veltest::GraphicsTest {
protected:
    TBitmap Surface(int w, int h) {
        TBitmap b(w, h);
        b.Fill(PixelFromColor(clWhite));
        b.Canvas().Font().SetColor(clBlack);
        b.Canvas().Brush().SetStyle(TBrushStyle::bsClear);
        return b;
    }
};

}  // namespace

TEST_F(Text, MetricsFitTheFont) {
    TBitmap b = Surface(10, 10);
    TCanvas& c = b.Canvas();
    c.Font().SetSize(8);
    const TTextMetric tm = c.GetTextMetrics();
    EXPECT_GE(tm.tmHeight, 12);
    EXPECT_LE(tm.tmHeight, 14);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GT(tm.tmAscent, 2 * tm.tmDescent);
    EXPECT_GE(tm.tmAveCharWidth, 5);
    EXPECT_LE(tm.tmAveCharWidth, 8);
    EXPECT_GT(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(c.TextHeight("Wg"), tm.tmHeight);
    EXPECT_EQ(c.TextWidth(""), 0);
    EXPECT_EQ(c.TextWidth("abc") + c.TextWidth("def"), c.TextWidth("abcdef"));
    EXPECT_GT(c.TextWidth("WWW"), c.TextWidth("iii"));
    EXPECT_GT(c.TextWidth("\xC3\xA9"), 0);  // é
    const int small = c.TextWidth("Sample");
    c.Font().SetSize(16);
    const int large = c.TextWidth("Sample");
    EXPECT_NEAR(large, 2 * small, small / 5);  // hinting rounds each size differently
    EXPECT_GT(c.TextHeight("x"), 2 * tm.tmHeight - 3);
    c.Font().SetStyle({TFontStyle::fsBold});
    EXPECT_GT(c.TextWidth("Sample"), large);
    EXPECT_EQ(c.GetTextMetrics().tmWeight, 700);
}

TEST_F(Text, ClassicNamesMapToDejaVu) {
    SetPinnedFontFile("");
    EXPECT_NE(ResolveFontFile("MS Sans Serif", false, false).find("DejaVuSans"), std::string::npos);
    EXPECT_NE(ResolveFontFile("Courier New", false, false).find("DejaVuSansMono"),
              std::string::npos);
    EXPECT_NE(ResolveFontFile("Times New Roman", true, false).find("DejaVuSerif-Bold"),
              std::string::npos);
    EXPECT_NE(ResolveFontFile("Segoe UI", false, true).find("Oblique"), std::string::npos);
    SetPinnedFontFile(veltest::kDejaVuSans);
    EXPECT_EQ(ResolveFontFile("Courier New", true, true), veltest::kDejaVuSans);
    EXPECT_THROW(SetPinnedFontFile("/no/such/font.ttf"), EInvalidArgument);
}

TEST_F(Text, TextAppearsWhereItIsDrawn) {
    TBitmap b = Surface(120, 40);
    TCanvas& c = b.Canvas();
    c.TextOut(10, 8, "Hello");
    const TRect ink = InkBox(b, clWhite);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right, 10 + c.TextWidth("Hello") + 1);
    EXPECT_GE(ink.Top, 8);
    EXPECT_LE(ink.Bottom, 8 + c.TextHeight("Hello"));
    EXPECT_GE(ink.Width(), c.TextWidth("Hello") - 3);
    // Anti-aliased: some pixels are neither black nor white.
    bool grey = false;
    for (int y = ink.Top; y < ink.Bottom; ++y)
        for (int x = ink.Left; x < ink.Right; ++x) {
            const TColor p = b.GetPixelColor(x, y);
            grey = grey || (p != clWhite && p != clBlack);
        }
    EXPECT_TRUE(grey);
    EXPECT_EQ(c.GetPenPos(), Point(10 + c.TextWidth("Hello"), 8));
    // A solid brush paints the text cell.
    TBitmap o = Surface(60, 20);
    o.Canvas().Brush().SetColor(clYellow);
    o.Canvas().TextOut(2, 2, "ab");
    EXPECT_EQ(o.GetPixelColor(2, 2), clYellow);
    EXPECT_EQ(o.GetPixelColor(2 + o.Canvas().TextWidth("ab"), 2), clWhite);
}

TEST_F(Text, TextRectClipsAndFills) {
    TBitmap b = Surface(100, 30);
    TCanvas& c = b.Canvas();
    c.Brush().SetColor(clAqua);
    c.TextRect(Rect(5, 5, 25, 20), 5, 5, "Clipped text that is long");
    const TRect ink = InkBox(b, clWhite);
    EXPECT_EQ(ink, Rect(5, 5, 25, 20));
}

TEST_F(Text, DrawTextAlignment) {
    const TRect cell = Rect(10, 10, 150, 40);
    auto inkOf = [&](unsigned flags) {
        TBitmap b = Surface(160, 50);
        TRect r = cell;
        b.Canvas().DrawText("Mid", r, flags);
        return InkBox(b, clWhite);
    };
    const TRect left = inkOf(DT_LEFT | DT_SINGLELINE);
    const TRect right = inkOf(DT_RIGHT | DT_SINGLELINE);
    const TRect center = inkOf(DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    const TRect bottom = inkOf(DT_LEFT | DT_SINGLELINE | DT_BOTTOM);
    EXPECT_LE(left.Left, cell.Left + 2);
    EXPECT_GE(right.Right, cell.Right - 2);
    EXPECT_LE(right.Right, cell.Right);
    EXPECT_NEAR((center.Left + center.Right) / 2.0, (cell.Left + cell.Right) / 2.0, 2);
    EXPECT_NEAR((center.Top + center.Bottom) / 2.0, (cell.Top + cell.Bottom) / 2.0, 3);
    EXPECT_GT(bottom.Top, left.Top + 10);
    EXPECT_LE(bottom.Bottom, cell.Bottom);
    // Vertical flags only act on single lines.
    EXPECT_EQ(inkOf(DT_LEFT | DT_VCENTER).Top, left.Top);
}

TEST_F(Text, WordBreakAndCalculate) {
    TBitmap b = Surface(200, 200);
    TCanvas& c = b.Canvas();
    const int lh = c.TextHeight("Wg");
    const int room = c.TextWidth("alpha beta") + 2;
    TRect r = Rect(0, 0, room, 0);
    const int h = c.DrawText("alpha beta alpha beta", r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(h, 2 * lh);
    EXPECT_EQ(r.Bottom, 2 * lh);
    EXPECT_LE(r.Right, room);
    EXPECT_GE(r.Right, c.TextWidth("alpha beta"));
    // A word wider than the room stays whole on its own line.
    TRect narrow = Rect(0, 0, 10, 0);
    EXPECT_EQ(c.DrawText("extraordinary x", narrow, DT_WORDBREAK | DT_CALCRECT), 2 * lh);
    EXPECT_EQ(narrow.Right, c.TextWidth("extraordinary"));
    // Line breaks count without DT_WORDBREAK too, but not on a single line.
    TRect lines = Rect(0, 0, 100, 0);
    EXPECT_EQ(c.DrawText("one\ntwo\r\nthree", lines, DT_CALCRECT), 3 * lh);
    TRect one = Rect(0, 0, 100, 0);
    EXPECT_EQ(c.DrawText("one\ntwo", one, DT_CALCRECT | DT_SINGLELINE), lh);
    EXPECT_EQ(one.Right, c.TextWidth("onetwo"));
    // The drawn lines really stack.
    TRect draw = Rect(0, 0, room, 200);
    c.DrawText("alpha beta alpha beta", draw, DT_WORDBREAK);
    const TRect ink = InkBox(b, clWhite);
    EXPECT_GT(ink.Bottom, lh + 2);
    EXPECT_LE(ink.Bottom, 2 * lh);
    EXPECT_LE(ink.Right, room);
}

TEST_F(Text, EllipsisKeepsAtLeastOneCharacter) {
    TBitmap b = Surface(200, 20);
    TCanvas& c = b.Canvas();
    const int dots = c.TextWidth("...");
    // Room for "Abc..." only.
    TRect r = Rect(0, 0, c.TextWidth("Abc") + dots + 1, 20);
    TRect calc = r;
    c.DrawText("Abcdefghijkl", calc, DT_END_ELLIPSIS | DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(calc.Right, c.TextWidth("Abc..."));
    c.DrawText("Abcdefghijkl", r, DT_END_ELLIPSIS | DT_SINGLELINE);
    TBitmap expected = Surface(200, 20);
    TRect e = r;
    expected.Canvas().DrawText("Abc...", e, DT_SINGLELINE);
    EXPECT_TRUE(veltest::SamePixels(b, expected));
    // A cell too small even for the dots keeps the first character.
    TRect tiny = Rect(0, 0, 3, 20);
    c.DrawText("Wide", tiny, DT_END_ELLIPSIS | DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(tiny.Right, c.TextWidth("W..."));
    // Text that fits is never cut.
    TRect fits = Rect(0, 0, 200, 20);
    c.DrawText("Short", fits, DT_END_ELLIPSIS | DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(fits.Right, c.TextWidth("Short"));
}

TEST_F(Text, PrefixCharacters) {
    TBitmap b = Surface(100, 20);
    TCanvas& c = b.Canvas();
    TRect r = Rect(0, 0, 100, 20);
    c.DrawText("&File && more", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Right, c.TextWidth("File & more"));
    TRect raw = Rect(0, 0, 100, 20);
    c.DrawText("&File", raw, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(raw.Right, c.TextWidth("&File"));
    // The prefixed letter is underlined: more ink below the baseline than without.
    TBitmap plain = Surface(100, 20), marked = Surface(100, 20);
    TRect r1 = Rect(0, 0, 100, 20), r2 = r1;
    plain.Canvas().DrawText("File", r1, DT_SINGLELINE);
    marked.Canvas().DrawText("&File", r2, DT_SINGLELINE);
    EXPECT_GT(InkBox(marked, clWhite).Bottom, InkBox(plain, clWhite).Bottom);
}

TEST_F(Text, RightToLeftReadingOrder) {
    const char* aleph = "\xD7\x90";  // U+05D0
    const std::string mixed = std::string("a") + aleph;
    auto render = [&](auto&& draw) {
        TBitmap b = Surface(80, 20);
        draw(b.Canvas());
        return b;
    };
    TBitmap ltr = render([&](TCanvas& c) {
        TRect r = Rect(0, 0, 80, 20);
        c.DrawText(mixed, r, DT_SINGLELINE);
    });
    TBitmap rtl = render([&](TCanvas& c) {
        TRect r = Rect(0, 0, 80, 20);
        c.DrawText(mixed, r, DT_SINGLELINE | DT_RTLREADING);
    });
    TBitmap aFirst = render([&](TCanvas& c) {
        c.TextOut(0, 0, "a");
        c.TextOut(c.TextWidth("a"), 0, aleph);
    });
    TBitmap alephFirst = render([&](TCanvas& c) {
        c.TextOut(0, 0, aleph);
        c.TextOut(c.TextWidth(aleph), 0, "a");
    });
    EXPECT_TRUE(veltest::SamePixels(ltr, aFirst));
    EXPECT_TRUE(veltest::SamePixels(rtl, alephFirst));
    // A right-to-left run inside left-to-right text is reversed in place.
    const std::string two = std::string(aleph) + "\xD7\x91";  // aleph, bet
    TBitmap word = render([&](TCanvas& c) {
        TRect r = Rect(0, 0, 80, 20);
        c.DrawText(two, r, DT_SINGLELINE);
    });
    TBitmap reversed = render([&](TCanvas& c) {
        c.TextOut(0, 0, "\xD7\x91");
        c.TextOut(c.TextWidth("\xD7\x91"), 0, aleph);
    });
    EXPECT_TRUE(veltest::SamePixels(word, reversed));
    // Numbers keep their own order inside right-to-left text: "aleph 12" shows as "12 aleph".
    TBitmap number = render([&](TCanvas& c) {
        TRect r = Rect(0, 0, 80, 20);
        c.DrawText(std::string(aleph) + " 12", r, DT_SINGLELINE | DT_RTLREADING);
    });
    TBitmap expectedNumber = render([&](TCanvas& c) {
        c.TextOut(0, 0, "12 ");
        c.TextOut(c.TextWidth("12 "), 0, aleph);
    });
    EXPECT_TRUE(veltest::SamePixels(number, expectedNumber));
    // Left-to-right text keeps digits after words in place.
    TBitmap latin = render([&](TCanvas& c) {
        TRect r = Rect(0, 0, 80, 20);
        c.DrawText("ab 12", r, DT_SINGLELINE);
    });
    TBitmap latinExpected = render([&](TCanvas& c) { c.TextOut(0, 0, "ab 12"); });
    EXPECT_TRUE(veltest::SamePixels(latin, latinExpected));
}

TEST_F(Text, UnderlineAndStrikeOutAddLines) {
    TBitmap plain = Surface(80, 20), styled = Surface(80, 20);
    plain.Canvas().TextOut(0, 0, "ooo");
    styled.Canvas().Font().SetStyle({TFontStyle::fsUnderline});
    styled.Canvas().TextOut(0, 0, "ooo");
    EXPECT_GT(InkBox(styled, clWhite).Bottom, InkBox(plain, clWhite).Bottom);
}
