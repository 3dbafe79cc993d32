#include <gtest/gtest.h>

#include "grid/GridTextWriter.h"
#include "platform/graphics/Bitmap.h"

using namespace vel;

namespace {

class TextWriterTest : public ::testing::Test {
protected:
    TextWriterTest() : Bmp(200, 120) {
        Bmp.Canvas().Brush().SetColor(clWhite);
        Bmp.Canvas().FillRect(TRect{0, 0, 200, 120});
        Bmp.Canvas().Font().SetColor(clBlack);
        LH = C().TextHeight("Wg");
    }
    TCanvas& C() { return Bmp.Canvas(); }
    std::vector<TWrittenLine> Lay(TRect R, std::string_view Text, TAlignment A = TAlignment::taLeftJustify,
                                  bool Ellipsis = true, bool Wrap = false,
                                  TVAlignment V = TVAlignment::tvTopJustify) {
        return LayoutText(C(), R, 2, 2, Text, A, Ellipsis, Wrap, V);
    }
    static std::vector<std::string> Texts(const std::vector<TWrittenLine>& L) {
        std::vector<std::string> out;
        for (const auto& l : L) out.push_back(l.Text);
        return out;
    }
    // Columns of the bitmap holding any dark pixel inside R.
    std::pair<int, int> InkSpan(const TRect& R) {
        int lo = -1, hi = -1;
        for (int x = R.Left; x < R.Right; ++x)
            for (int y = R.Top; y < R.Bottom; ++y)
                if (Bmp.GetPixelColor(x, y) != clWhite) {
                    if (lo < 0) lo = x;
                    hi = x;
                    break;
                }
        return {lo, hi};
    }
    TBitmap Bmp;
    int LH = 0;
};

TEST_F(TextWriterTest, MarginsPlaceTheLineByAlignment) {
    const TRect r{10, 10, 110, 10 + LH + 4};
    const int tw = C().TextWidth("abc");
    auto left = Lay(r, "abc", TAlignment::taLeftJustify);
    auto right = Lay(r, "abc", TAlignment::taRightJustify);
    auto centre = Lay(r, "abc", TAlignment::taCenter);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].X, 12);
    EXPECT_EQ(left[0].Y, 12);
    EXPECT_EQ(right[0].X, 110 - tw - 2 - 1);
    EXPECT_EQ(centre[0].X, 10 + 50 - tw / 2);
    // A text narrower than its cell is never cut.
    EXPECT_EQ(left[0].Text, "abc");
    EXPECT_EQ(right[0].Text, "abc");
}

TEST_F(TextWriterTest, OnlyTheLinesThatFitAreDrawnAndAlignedVertically) {
    // Room for two lines: (height - 2*DY + 1) div LH = 2.
    const TRect r{0, 0, 150, 2 * LH + 4 + LH / 2};
    auto top = Lay(r, "one\ntwo\nthree");
    EXPECT_EQ(Texts(top), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(top[0].Y, 2);
    EXPECT_EQ(top[1].Y, 2 + LH);
    const int spare = r.Height() - 4 - 2 * LH;
    auto bottom = Lay(r, "one\ntwo\nthree", TAlignment::taLeftJustify, true, false,
                      TVAlignment::tvBottomJustify);
    EXPECT_EQ(bottom[0].Y, 2 + spare);
    auto centre = Lay(r, "one", TAlignment::taLeftJustify, true, false, TVAlignment::tvCenter);
    ASSERT_EQ(centre.size(), 1u);
    EXPECT_EQ(centre[0].Y, 2 + (r.Height() - 4 - LH) / 2);
    // Carriage returns with line feeds count as one break.
    EXPECT_EQ(Texts(Lay(r, "a\r\nb")), (std::vector<std::string>{"a", "b"}));
}

TEST_F(TextWriterTest, ACellLowerThanALineDrawsOneLineAtTheTop) {
    const TRect r{0, 0, 150, LH / 2};
    for (TVAlignment v : {TVAlignment::tvCenter, TVAlignment::tvBottomJustify}) {
        auto l = Lay(r, "one\ntwo", TAlignment::taLeftJustify, true, true, v);
        ASSERT_EQ(l.size(), 1u);
        EXPECT_EQ(l[0].Y, 2);
    }
}

TEST_F(TextWriterTest, WordWrapBreaksAtSpacesAndAfterHyphens) {
    const int room = C().TextWidth("alpha beta") + 2;  // the left margin is DX = 2
    const TRect tall{0, 0, room, 5 * LH + 4};
    EXPECT_EQ(Texts(Lay(tall, "alpha beta gamma", TAlignment::taLeftJustify, false, true)),
              (std::vector<std::string>{"alpha beta", "gamma"}));
    EXPECT_EQ(Texts(Lay(tall, "alpha-beta-gamma", TAlignment::taLeftJustify, false, true)),
              (std::vector<std::string>{"alpha-beta-", "gamma"}));
    // A word wider than the room is kept whole on its line, then cut by the ellipsis.
    auto wide = Lay(tall, "abcdefghijklmnopqrstuvwxyz end", TAlignment::taLeftJustify, false, true);
    EXPECT_EQ(Texts(wide), (std::vector<std::string>{"abcdefghijklmnopqrstuvwxyz", "end"}));
    // With ellipsis the last line that fits takes the rest and is cut.
    const TRect two{0, 0, room, 2 * LH + 4};
    auto cut = Lay(two, "alpha beta gamma delta epsilon zeta", TAlignment::taLeftJustify, true, true);
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[0].Text, "alpha beta");
    EXPECT_EQ(cut[1].Text.substr(0, 5), "gamma");
    EXPECT_EQ(cut[1].Text.substr(cut[1].Text.size() - 3), "...");
    EXPECT_LE(C().TextWidth(cut[1].Text), room - 2);
    // Without ellipsis every wrapped line is produced, but only those that fit are drawn.
    auto all = Lay(two, "alpha beta gamma delta epsilon zeta", TAlignment::taLeftJustify, false, true);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].Text.rfind("gamma", 0), 0u);
    EXPECT_EQ(all[1].Text.find("..."), std::string::npos);
}

TEST_F(TextWriterTest, EllipsisKeepsAtLeastOneCharacter) {
    const TRect narrow{0, 0, 6, LH + 4};
    EXPECT_EQ(Texts(Lay(narrow, "Wonderful")), (std::vector<std::string>{"W..."}));
    const int room = C().TextWidth("Wond...") + 2;
    auto l = Lay(TRect{0, 0, room, LH + 4}, "Wonderful");
    EXPECT_EQ(l[0].Text, "Wond...");
    // Multi-byte characters are cut whole.
    auto u = Lay(narrow, "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(u[0].Text, "\xC3\xA9...");
}

TEST_F(TextWriterTest, RecordsTheFirstSearchMatch) {
    const TRect r{10, 0, 190, 2 * LH + 4};
    LayoutText(C(), r, 2, 2, "no hit\nFind the Word", TAlignment::taLeftJustify, false, false,
               TVAlignment::tvTopJustify, "word");
    const TWriteTextMatch& m = WriteTextMatch();
    ASSERT_TRUE(m.Found);
    EXPECT_EQ(m.Text, "Word");
    const int left = 12 + C().TextWidth("Find the ");
    EXPECT_EQ(m.Rect, (TRect{left, 2 + LH, left + C().TextWidth("Word") - 1, 2 + 2 * LH}));
    LayoutText(C(), r, 2, 2, "Find the Word", TAlignment::taLeftJustify, false, false,
               TVAlignment::tvTopJustify, "word", TVelSearchOptions{TVelSearchOption::soCaseSensitive});
    EXPECT_FALSE(WriteTextMatch().Found);
    LayoutText(C(), r, 2, 2, "Swordfish word", TAlignment::taLeftJustify, false, false,
               TVAlignment::tvTopJustify, "word", TVelSearchOptions{TVelSearchOption::soWholeWords});
    ASSERT_TRUE(WriteTextMatch().Found);
    EXPECT_EQ(WriteTextMatch().Rect.Left, 12 + C().TextWidth("Swordfish "));
    // Every call starts with a cleared record.
    LayoutText(C(), r, 2, 2, "nothing", TAlignment::taLeftJustify, false, false, TVAlignment::tvTopJustify);
    EXPECT_FALSE(WriteTextMatch().Found);
}

TEST_F(TextWriterTest, DrawsClippedToTheRectangleWithoutBackground) {
    const TRect r{20, 20, 60, 20 + LH + 4};
    C().Brush().SetColor(clRed);
    WriteText(C(), r, 2, 2, "Wonderful", TAlignment::taLeftJustify, false, false, false,
              TVAlignment::tvTopJustify);
    // No fill: the white around the glyphs stays; nothing outside the rectangle.
    EXPECT_EQ(Bmp.GetPixelColor(21, 21), clWhite);
    EXPECT_EQ(InkSpan(TRect{60, 0, 200, 120}).first, -1);
    const auto span = InkSpan(r);
    EXPECT_GE(span.first, 22);
    EXPECT_EQ(C().Brush().GetStyle(), TBrushStyle::bsSolid);
    // With ellipsis the dots are drawn inside the room.
    const TRect r2{20, 60, 60, 60 + LH + 4};
    WriteText(C(), r2, 2, 2, "Wonderful", TAlignment::taRightJustify, true, false, false,
              TVAlignment::tvTopJustify);
    const auto span2 = InkSpan(r2);
    EXPECT_LE(span2.second, 60 - 2 - 1);
}

TEST_F(TextWriterTest, RightToLeftReversesTheReadingOrder) {
    // A Latin letter, a space and a Hebrew letter swap places in right-to-left reading.
    const std::string text = "a \xD7\x91";
    TBitmap ltr(100, 40), rtl(100, 40);
    for (TBitmap* bm : {&ltr, &rtl}) {
        bm->Canvas().Brush().SetColor(clWhite);
        bm->Canvas().FillRect(TRect{0, 0, 100, 40});
        WriteText(bm->Canvas(), TRect{0, 0, 100, 40}, 2, 2, text, TAlignment::taLeftJustify,
                  bm == &rtl, false, false, TVAlignment::tvTopJustify);
        // The canvas's reading order is put back.
        EXPECT_EQ(bm->Canvas().GetCanvasOrientation(), TCanvasOrientation::coLeftToRight);
    }
    int differing = 0;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 40; ++y) differing += ltr.GetPixelColor(x, y) != rtl.GetPixelColor(x, y);
    EXPECT_GT(differing, 0);
}

}  // namespace
