// Painting of fixed cells: indicator glyphs per record state, the filler, titles with sort
// markers, header bands shared by two titles, a group title scrolled half away, total boxes,
// painting while loading; the marker look and its re-coloured glyphs; the style tables.
#include <algorithm>

#include "platform/controls/SystemProfile.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageList.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

TColor Rgb(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

bool Dark(TColor c) {
    const TColorRef r = ColorToRGB(c);
    return GetRValue(r) < 0x60 && GetGValue(r) < 0x60 && GetBValue(r) < 0x60;
}

// Top-left of a 12x12 glyph centred in Rect.
TPoint GlyphAt(const TRect& R) { return {R.Left + (R.Width() - 12) / 2, R.Top + (R.Height() - 12) / 2}; }

class FixedPaintTest : public PaintedGridTest {
protected:
    std::unique_ptr<TBitmap> Shot() {
        static_cast<TWinControl*>(Grid)->Invalidate();
        Application().ProcessMessages();
        return Grid->CaptureImage();
    }
    TRect Indicator(int DataRow) const { return Grid->CellRect(0, DataRow + Grid->GetTitleOffset()); }
    TRect Title(int DataCol) const { return Grid->CellRect(Grid->DataToRawColumn(DataCol), 0); }
    TPixel Pixel(TBitmap& B, TPoint P, int DX, int DY) { return B.GetPixel(P.X + DX, P.Y + DY); }
};

TColor PixelAt(TBitmap& B, TPoint P, int DX, int DY) { return TColor(RefFromPixel(B.GetPixel(P.X + DX, P.Y + DY))); }

// ---- The indicator column.

TEST_F(FixedPaintTest, IndicatorShowsTheCurrentRecordsState) {
    // Glyph 0 is an arrow, 1 an I-beam, 2 a star; row 5 of each tells them apart.
    auto b = Shot();
    TPoint g = GlyphAt(Indicator(0));
    EXPECT_EQ(PixelAt(*b, g, 3, 5), Rgb(clBlack));
    EXPECT_EQ(PixelAt(*b, g, 7, 5), Rgb(clBlack));
    EXPECT_NE(PixelAt(*b, g, 8, 5), Rgb(clBlack));
    EXPECT_EQ(Grid->GetSelRow(), Grid->GetTitleOffset());
    // Other records show nothing.
    const TPoint other = GlyphAt(Indicator(2));
    for (int x = 0; x < 12; ++x) EXPECT_NE(PixelAt(*b, other, x, 5), Rgb(clBlack));

    Table->Next();
    Table->Edit();
    b = Shot();
    g = GlyphAt(Indicator(1));
    EXPECT_EQ(Grid->GetSelRow(), Grid->GetTitleOffset() + 1);
    EXPECT_NE(PixelAt(*b, g, 3, 5), Rgb(clBlack));
    EXPECT_EQ(PixelAt(*b, g, 5, 5), Rgb(clBlack));
    EXPECT_NE(PixelAt(*b, GlyphAt(Indicator(0)), 3, 5), Rgb(clBlack));
    Table->Cancel();

    Table->Insert();
    b = Shot();
    const int row = Grid->GetSelRow() - Grid->GetTitleOffset();
    EXPECT_EQ(row, Grid->GetDataLink()->GetActiveRecord());
    g = GlyphAt(Indicator(row));
    EXPECT_EQ(PixelAt(*b, g, 2, 5), Rgb(clBlack));
    EXPECT_EQ(PixelAt(*b, g, 8, 5), Rgb(clBlack));
    Table->Cancel();

    // The application may change the glyph (no column: the indicator); MarkOff hides it.
    Grid->SetOnCalcImageIndex([](TObject*, TVelColumn* Column, int& Index) {
        if (!Column && Index == 0) Index = 5;
    });
    b = Shot();
    g = GlyphAt(Indicator(Grid->GetSelRow() - Grid->GetTitleOffset()));
    EXPECT_EQ(PixelAt(*b, g, 1, 0), Rgb(clBlack));  // the filler's menu glyph
    EXPECT_EQ(PixelAt(*b, g, 2, 1), Rgb(clWhite));
    Grid->SetOnCalcImageIndex(nullptr);
    Grid->SwitchOptions({TVelDBGridOption::dgIndicatorMarkOff}, true);
    b = Shot();
    for (int x = 0; x < 12; ++x) EXPECT_NE(PixelAt(*b, g, x, 5), Rgb(clBlack));
}

// A grid that answers the selection questions the way the selection feature will.
class SelectingGrid : public TVelDBGrid {
public:
    using TVelDBGrid::TVelDBGrid;
    int Row() const { return GetDataLink()->GetActiveRecord(); }
    bool IsRowMultiSelected() const override { return Row() == 0 || Row() == 2 || Row() == 3; }
    bool IsSelectAnchorRow() const override { return Row() == 3 || Row() == 4; }
};

TEST_F(FixedPaintTest, IndicatorGlyphsOfASelection) {
    auto* g = new SelectingGrid(Form.get());
    g->SetBounds(0, 0, 400, 300);
    g->SetParent(Form.get());
    g->SetDataSource(Source);
    // Current and selected; selected; anchor and selected; anchor; nothing.
    EXPECT_EQ(g->IndicatorIndex(0), 4);
    EXPECT_EQ(g->IndicatorIndex(1), -1);
    EXPECT_EQ(g->IndicatorIndex(2), 3);
    EXPECT_EQ(g->IndicatorIndex(3), 7);
    EXPECT_EQ(g->IndicatorIndex(4), 6);
    EXPECT_EQ(g->IndicatorIndex(40), -1);
    // The decision reads the painted row's record and leaves the current one.
    EXPECT_EQ(g->GetDataLink()->GetActiveRecord(), 0);
    // Under a custom style the anchor has no mark.
    TSystemProfileScope profile;
    profile->CustomStyleActive = true;
    EXPECT_EQ(g->IndicatorIndex(3), 3);
    EXPECT_EQ(g->IndicatorIndex(4), -1);
}

// ---- Filler, titles, header bands, groups.

TEST_F(FixedPaintTest, FillerDrawsItsGlyphCode) {
    Grid->SetFillerColor(clYellow);
    auto b = Shot();
    TPoint g = GlyphAt(Grid->CellRect(0, 0));
    EXPECT_EQ(PixelAt(*b, g, 1, 0), Rgb(clBlack));   // glyph 5 for the default -7
    EXPECT_EQ(PixelAt(*b, g, 2, 1), Rgb(clWhite));
    EXPECT_EQ(PixelAt(*b, g, 11, 11), Rgb(clYellow));
    Grid->SetFillerIndex(-1);
    b = Shot();
    EXPECT_EQ(PixelAt(*b, g, 1, 0), Rgb(clYellow));
    // -22 is the auto-filter glyph 20; an image index needs TitleImages.
    Grid->SetFillerIndex(-22);
    auto filter = Shot();
    int ink = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) ink += PixelAt(*filter, g, x, y) != Rgb(clYellow);
    EXPECT_GT(ink, 8);
    Grid->SetFillerIndex(3);
    b = Shot();
    EXPECT_EQ(PixelAt(*b, g, 1, 0), Rgb(clYellow));
}

TEST_F(FixedPaintTest, SortMarkerFollowsTheCaptionOrKeepsToTheEdge) {
    Grid->SetMarkerStyle(TMarkerStyle::msFlat);  // solid black glyphs
    TVelColumn* name = Grid->GetColumns()->GetColumn(1);
    name->SetWidth(160);
    name->GetTitle()->SetMarkerIndex(1);
    // The start of the marker's widest row: a run of nine black pixels.
    auto markerStart = [&](TBitmap& B) {
        const TRect r = Title(1);
        for (int y = r.Top; y < r.Bottom; ++y) {
            int run = 0;
            for (int x = r.Left; x < r.Right - 1; ++x) {
                run = PixelAt(B, {x, y}, 0, 0) == Rgb(clBlack) ? run + 1 : 0;
                if (run == 9) return x - 8;
            }
        }
        return -1;
    };
    auto b = Shot();
    const TRect r = Title(1);
    TCanvas& c = b->Canvas();
    c.Font().Assign(name->GetTitle()->GetFont());
    const int caption = c.TextWidth("Name");
    const int follow = markerStart(*b);
    ASSERT_GT(follow, 0);
    EXPECT_GT(follow, r.Left + caption + 2);
    EXPECT_LT(follow, r.Left + caption + 12);
    // Without auto alignment the marker keeps to the right end.
    Grid->SwitchOptions({TVelDBGridOption::dgMarkerAutoAlign}, false);
    b = Shot();
    EXPECT_EQ(markerStart(*b), r.Right - 12);
    // A right-aligned caption leaves the marker at the end as well.
    Grid->SwitchOptions({TVelDBGridOption::dgMarkerAutoAlign}, true);
    name->GetTitle()->SetAlignment(TAlignment::taRightJustify);
    b = Shot();
    EXPECT_EQ(markerStart(*b), r.Right - 12);
    // An index outside the list draws nothing.
    name->GetTitle()->SetMarkerIndex(99);
    b = Shot();
    EXPECT_EQ(markerStart(*b), -1);
}

TEST_F(FixedPaintTest, HeaderBandSpansTwoColumns) {
    Grid->SetHeaderColor(clYellow);
    Grid->GetColumns()->GetColumn(0)->GetTitle()->SetHeader("Both columns");
    Grid->GetColumns()->GetColumn(1)->GetTitle()->SetHeader("Both columns");
    Grid->GetColumns()->GetColumn(2)->GetTitle()->SetHeader("Own");
    auto b = Shot();
    const TRect id = Title(0), name = Title(1);
    const int band = Grid->GetHeaderRowHeight();
    ASSERT_GT(band, 0);
    // The line between the two titles stops under the band they share, but not elsewhere.
    const int gap = id.Right;
    EXPECT_EQ(PixelAt(*b, {gap, id.Top + 2}, 0, 0), Rgb(clYellow));
    EXPECT_EQ(PixelAt(*b, {gap, id.Top + band + 3}, 0, 0), Rgb(Grid->GetFixedLineColor()));
    EXPECT_EQ(PixelAt(*b, {name.Right, name.Top + 2}, 0, 0), Rgb(Grid->GetFixedLineColor()));
    // The band's text is centred over both: it has ink on each side of the line.
    int left = 0, right = 0;
    for (int y = id.Top; y < id.Top + band; ++y)
        for (int x = id.Left; x < name.Right; ++x)
            if (Dark(PixelAt(*b, {x, y}, 0, 0))) (x < gap ? left : right)++;
    EXPECT_GT(left, 5);
    EXPECT_GT(right, 5);
    // The caption area below keeps the title colour.
    Grid->GetColumns()->GetColumn(1)->GetTitle()->SetColor(clAqua);
    b = Shot();
    EXPECT_EQ(PixelAt(*b, {name.Left + 2, name.Bottom - 3}, 0, 0), Rgb(clAqua));
    EXPECT_EQ(PixelAt(*b, {name.Left + 2, name.Top + 2}, 0, 0), Rgb(clYellow));
}

// The window keeps what was painted before: a row that no title paints shows the old titles.
TEST_F(FixedPaintTest, TheRowUnderABandIsRepaintedWhenTitlesMove) {
    TVelDBGridColumns* cols = Grid->GetColumns();
    cols->GetColumn(0)->GetTitle()->SetColor(clRed);
    cols->GetColumn(1)->GetTitle()->SetHeader("Pair");
    cols->GetColumn(2)->GetTitle()->SetHeader("Pair");
    Shot();
    // ID moves behind the pair, as a title drag does: the pair's band takes its place.
    cols->GetColumn(0)->SetIndex(2);
    auto b = Shot();
    ASSERT_EQ(cols->GetColumn(0)->GetFieldName(), "Name");
    const TRect first = Title(0), last = Title(1);
    const int lineRow = first.Top + Grid->GetHeaderRowHeight() - 1;
    for (int x = first.Left; x < last.Right; ++x)
        ASSERT_EQ(PixelAt(*b, {x, lineRow}, 0, 0), Rgb(Grid->GetFixedLineColor())) << "x " << x;
}

TEST_F(FixedPaintTest, GroupTitleScrolledHalfAwayIsCentredOverItsColumns) {
    TVelDBGridColumns* cols = Grid->GetColumns();
    cols->SetState(TDBGridColumnsState::csCustomized);
    // Group owns Name and Price; ID follows.
    TVelColumn* group = cols->Add();
    group->GetTitle()->SetCaption("Group");
    group->SetIndex(0);
    group->SetExpandCols(2);
    cols->FindColumn("Name")->SetIndex(1);
    cols->FindColumn("Price")->SetIndex(2);
    for (const char* f : {"Name", "Price", "ID"}) cols->FindColumn(f)->SetWidth(200);
    ASSERT_EQ(Grid->GetTitleOffset(), 2);

    auto b = Shot();
    // The filler spans both title rows.
    const TRect corner{0, 0, Grid->CellRect(0, 1).Right, Grid->CellRect(0, 1).Bottom};
    TPoint g = GlyphAt(corner);
    EXPECT_EQ(PixelAt(*b, g, 1, 0), Rgb(clBlack));
    EXPECT_EQ(PixelAt(*b, g, 2, 1), Rgb(clWhite));

    TCanvas& c = b->Canvas();
    c.Font().Assign(group->GetTitle()->GetFont());
    const int width = c.TextWidth("Group");
    auto inkRange = [&](TBitmap& B, const TRect& R) {
        int lo = 1 << 30, hi = -1;
        for (int y = R.Top + 2; y < R.Bottom - 2; ++y)
            for (int x = R.Left; x < std::min(R.Right - 2, Grid->GetClientWidth()); ++x)
                if (Dark(PixelAt(B, {x, y}, 0, 0))) lo = std::min(lo, x), hi = std::max(hi, x);
        return std::pair<int, int>{lo, hi};
    };
    // Whole: centred over both columns, less the expand button's strip at the end.
    const int strip = GetSystemMetrics(SM_CXVSCROLL);
    TRect title = Grid->CellRect(1, 0);
    title.Right = Grid->CellRect(2, 0).Right;
    auto [lo, hi] = inkRange(*b, TRect{title.Left, title.Top, title.Right - strip, title.Bottom});
    EXPECT_NEAR((lo + hi) / 2, (title.Left + title.Right - strip) / 2, 3);

    // Name scrolled away: the caption stays where the full title would put it, clipped.
    Grid->SetLeftCol(2);
    b = Shot();
    const TRect visible = Grid->CellRect(2, 0);
    const int fullLeft = visible.Left - 200 - 1;
    std::tie(lo, hi) = inkRange(*b, TRect{visible.Left, visible.Top, visible.Right - strip, visible.Bottom});
    EXPECT_LE(lo, visible.Left + 2);
    EXPECT_NEAR(hi, (fullLeft + visible.Right - strip) / 2 + width / 2, 4);
    // Nothing spills over the filler.
    EXPECT_EQ(PixelAt(*b, g, 2, 1), Rgb(clWhite));
    EXPECT_EQ(PixelAt(*b, {corner.Right - 3, 4}, 0, 0), Rgb(Grid->GetFillerColor()));
}

// ---- Totals, loading.

TEST_F(FixedPaintTest, TotalCellsAreBoxedByTheirRowsOption) {
    using enum TVelDBGridOptionEx;
    Grid->GetTotals()->SetColor(clAqua);
    Grid->SetOnTotalGetText([](TVelColumn* Column, int, std::string& Text, TTextKind) {
        if (Column->GetFieldName() == "Name") Text = "Sum";
    });
    Grid->SwitchOptionsEx({dgTotalFooter, dgTotalFooterBox, dgTotalDataBoxOnly}, true);
    auto b = Shot();
    const int row = Grid->GetRowCount() - 1;
    const TRect id = Grid->CellRect(Grid->DataToRawColumn(0), row);
    const TRect name = Grid->CellRect(Grid->DataToRawColumn(1), row);
    ASSERT_FALSE(name.IsEmpty());
    // The cell with text is a raised box; the empty one is a plain fill.
    EXPECT_EQ(PixelAt(*b, {name.Left, name.Top}, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(PixelAt(*b, {name.Left + 1, name.Bottom - 2}, 0, 0), Rgb(clAqua));
    EXPECT_EQ(PixelAt(*b, {id.Left, id.Top}, 0, 0), Rgb(clAqua));
    int ink = 0;
    for (int y = name.Top; y < name.Bottom; ++y)
        for (int x = name.Left; x < name.Right; ++x) ink += Dark(PixelAt(*b, {x, y}, 0, 0));
    EXPECT_GT(ink, 5);
    // Without DataBoxOnly every footer cell is a box.
    Grid->SwitchOptionsEx({dgTotalDataBoxOnly}, false);
    b = Shot();
    EXPECT_EQ(PixelAt(*b, {id.Left, id.Top}, 0, 0), Rgb(clBtnHighlight));
}

TEST_F(FixedPaintTest, WhileLoadingOnlyTheBackgroundIsPainted) {
    Grid->SetColor(clYellow);
    Grid->SetComponentStateFlag(TComponentStateFlag::csLoading, true);
    auto b = Shot();
    Grid->SetComponentStateFlag(TComponentStateFlag::csLoading, false);
    for (const TRect& r : {Grid->CellRect(0, 0), Title(1), Indicator(0)})
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) ASSERT_EQ(PixelAt(*b, {x, y}, 0, 0), Rgb(clYellow));
    b = Shot();
    EXPECT_EQ(PixelAt(*b, GlyphAt(Indicator(0)), 3, 5), Rgb(clBlack));
}

// ---- Marker look and glyph lists.

TEST_F(FixedPaintTest, MarkerLookResolvesTheAutomaticStyles) {
    using MS = TMarkerStyle;
    const MS autoLook[] = {MS::msDefault, MS::msSoft, MS::msRaisedDark, MS::msFlat,
                           MS::msRaisedGray, MS::msGray, MS::msRaisedMild, MS::msMild};
    const MS grayLook[] = {MS::msSoft, MS::msSoft, MS::msRaisedGray, MS::msGray,
                           MS::msRaisedGray, MS::msGray, MS::msRaisedGray, MS::msGray};
    for (int f = 0; f < 8; ++f) {
        Grid->SetFixedStyle(TFixedStyle(f));
        Grid->SetMarkerStyle(MS::msAuto);
        EXPECT_EQ(Grid->MarkerLook().Style, autoLook[f]) << f;
        // Styles before the lowered ones are transparent by default.
        EXPECT_EQ(Grid->MarkerLook().Transparent, autoLook[f] < MS::msLoweredDark) << f;
        Grid->SetMarkerStyle(MS::msAutoGray);
        EXPECT_EQ(Grid->MarkerLook().Style, grayLook[f]) << f;
    }
    Grid->SetMarkerStyle(MS::msLoweredMild);
    EXPECT_EQ(Grid->MarkerLook().Style, MS::msLoweredMild);
    EXPECT_FALSE(Grid->MarkerLook().Transparent);
    Grid->SetMarkerTransparent(TMarkerTransparent::mtTrue);
    EXPECT_TRUE(Grid->MarkerLook().Transparent);
    // Forcing the system look needs a system that has one.
    EXPECT_FALSE(Grid->MarkerLook().Forced);

    TSystemProfileScope profile;
    profile->ThemesEnabled = true;
    Grid->SetFixedTheme(TFixedTheme::ftNone);
    Grid->SetMarkerStyle(MS::msAuto);
    EXPECT_EQ(Grid->MarkerLook().Style, MS::msMild);  // fsMild, not themed
    EXPECT_TRUE(Grid->MarkerLook().Forced);
    Grid->SetFixedTheme(TFixedTheme::ftButtons);
    Grid->SwitchOptionsExt({TVelDBGridOptionExt::dgForceSystemMarker}, false);
    Grid->SetMarkerTransparent(TMarkerTransparent::mtFalse);
    // Themed (and the system's fixed elements keep their look): raised mild and transparent.
    EXPECT_EQ(Grid->MarkerLook().Style, MS::msRaisedMild);
    EXPECT_TRUE(Grid->MarkerLook().Transparent);
    EXPECT_TRUE(Grid->MarkerLook().Forced);  // sseMarker is among the system elements
    Grid->SwitchSystemStyleElements({TSystemStyleElement::sseMarker}, false);
    EXPECT_FALSE(Grid->MarkerLook().Forced);
    profile->ThemesEnabled = false;
    profile->CustomStyleActive = true;
    EXPECT_EQ(Grid->MarkerLook().Style, MS::msRaisedMild);
    EXPECT_TRUE(Grid->MarkerLook().Transparent);
}

TEST_F(FixedPaintTest, MarkersAreRebuiltOnlyWhenTheirLookChanges) {
    Grid->SetMarkerStyle(TMarkerStyle::msFlat);
    const int built = Grid->GetWorkCounts().MarkerRebuilds;
    Grid->LayoutChanged();
    Grid->SetMarkerTransparent(TMarkerTransparent::mtFalse);  // msFlat is opaque anyway
    EXPECT_EQ(Grid->GetWorkCounts().MarkerRebuilds, built);
    // Glyph 1's face (row 5, column 3) is solid for msFlat, see-through when transparent.
    const TBitmap& solid = Grid->GetMarkers()->GetImage(1);
    EXPECT_EQ(solid.GetPixel(3, 5), PixelFromColor(clBlack));
    Grid->SetMarkerTransparent(TMarkerTransparent::mtTrue);
    EXPECT_EQ(Grid->GetWorkCounts().MarkerRebuilds, built + 1);
    EXPECT_EQ(Grid->GetMarkers()->GetImage(1).GetPixel(3, 5) >> 24, 0u);
    EXPECT_EQ(Grid->GetMarkers()->GetImage(1).GetPixel(2, 5), PixelFromColor(clBlack));
    // Raised styles light the upper edge.
    Grid->SetMarkerStyle(TMarkerStyle::msRaisedDark);
    EXPECT_EQ(Grid->GetMarkers()->GetImage(1).GetPixel(2, 4), PixelFromColor(clBtnHighlight));
    EXPECT_EQ(Grid->GetMarkers()->GetImage(1).GetPixel(5, 8), PixelFromColor(cl3DDkShadow));
    EXPECT_EQ(Grid->GetMarkers()->GetWidth(), 12);
    EXPECT_EQ(Grid->GetMarkers()->GetCount(), 20);
    EXPECT_GE(Grid->GetIndicators()->GetCount(), 22);
    // A different style name is a different look, even with the same settings.
    const int before = Grid->GetWorkCounts().MarkerRebuilds;
    TSystemProfileScope profile;
    profile->CustomStyleActive = true;
    profile->StyleName = "Carbon";
    Grid->LayoutChanged();
    EXPECT_EQ(Grid->GetWorkCounts().MarkerRebuilds, before + 1);
    EXPECT_EQ(Grid->GetLoadedStyleName(), "Carbon");
    profile->StyleName = "Jet";
    Grid->LayoutChanged();
    EXPECT_EQ(Grid->GetWorkCounts().MarkerRebuilds, before + 2);
    // Lists set by the application win over the built-in ones.
    TImageList own(nullptr, 8, 8);
    Grid->SetTitleMarkers(&own);
    Grid->SetIndicatorImages(&own);
    EXPECT_EQ(Grid->GetMarkers(), &own);
    EXPECT_EQ(Grid->GetIndicators(), &own);
    Grid->SetTitleMarkers(nullptr);
    Grid->SetIndicatorImages(nullptr);
}

// ---- Class-wide style tables.

TEST(GridStyleTables, NamesValuesAndSelectedColours) {
    using G = TVelCustomDBGrid;
    EXPECT_EQ(G::BuiltInStyleNames(0).size(), 74u);
    EXPECT_EQ(G::BuiltInStyleNames(1).size(), 40u);
    EXPECT_EQ(G::BuiltInStyleNames(0).front(), "Windows");
    EXPECT_EQ(G::BuiltInStyleNames(1).back(), "Windows10 Vulcan LE");
    EXPECT_EQ(G::GetFlatStyle("No such style"), 0);
    EXPECT_EQ(G::GetFlatStyle("Windows"), 0);
    EXPECT_NE(G::GetFlatStyle("Carbon"), 0);

    TSystemProfileScope profile;
    EXPECT_FALSE(G::IsFlatStyle());
    EXPECT_EQ(G::GetFixedTextSelected(), clHighlight);
    EXPECT_EQ(G::GetSelectRowSelected(), clHighlight);
    profile->CustomStyleActive = true;
    profile->StyleName = "Ruby Graphite";
    const TColor highlight = StyleServices().GetSystemColor(clHighlight);
    // Nine styles whose highlight does not suit fixed text have a colour of their own.
    EXPECT_EQ(G::GetFixedTextSelected(), RGB(255, 0, 0));
    profile->StyleName = "Turquoise Gray";
    EXPECT_EQ(G::GetFixedTextSelected(), RGB(38, 174, 223));
    G::SetFixedTextStyle("Turquoise Gray", 30);
    EXPECT_EQ(G::GetFixedTextSelected(), GetShadowColor(highlight, 30));
    G::SetFixedTextStyle("Turquoise Gray", 0);
    // The selected row is shaded by its table value, unshaded for 0.
    profile->StyleName = "Jet";
    EXPECT_EQ(G::GetSelectRowSelected(), GetShadowColor(highlight, G::GetSelectRowStyle("Jet")));
    profile->StyleName = "Mine";
    EXPECT_EQ(G::GetSelectRowSelected(), highlight);
    G::SetCellFrameStyle("Mine", 2);
    EXPECT_EQ(G::GetActiveCellFrameStyle(), 2);
    EXPECT_EQ(G::GetCellFrameRect(TRect{10, 10, 20, 20}), (TRect{8, 8, 22, 22}));
    G::SetCellFrameStyle("Mine", 0);
}

}  // namespace
}  // namespace veltest
