// Grid geometry: row kinds and their heights, title cells of nested columns, header bands,
// the sizing setters' bounds, visual styles, scaling and the user's sizing.
#include "platform/controls/SystemProfile.h"
#include "platform/graphics/Canvas.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

class GeometryTest : public DBGridTest {
protected:
    GeometryTest() {
        Source = new TDataSource(Form.get());
        Form->Show();
    }
    void Attach(TDataSet* Data) {
        Source->SetDataSet(Data);
        Grid->SetDataSource(Source);
    }
    int TextHeight(const TFont* Font) {
        TBitmap b;
        b.SetSize(4, 4);
        b.Canvas().Font().Assign(Font);
        return b.Canvas().TextHeight("Wg");
    }
    // Every row with its line.
    int RowsHeight() const {
        int h = 0;
        for (int r = 0; r < Grid->GetRowCount(); ++r)
            h += Grid->GetRowHeights(r) + Grid->GetRowLineWidth();
        return h;
    }
    TVelColumn* AddColumn(const char* Caption, int Width, int ExpandCols = 0) {
        TVelColumn* c = Grid->GetColumns()->Add();
        c->GetTitle()->SetCaption(Caption);
        c->SetWidth(Width);
        if (ExpandCols) c->SetExpandCols(ExpandCols);
        return c;
    }
    TDataSource* Source;
};

TEST_F(GeometryTest, RowHeightsComeFromFontsAndSpacingsAndFillTheClientArea) {
    auto table = MakeTable(5);
    Attach(table.get());
    const int lh = TextHeight(&Grid->Font());
    EXPECT_EQ(Grid->GetLineHeight(), lh);
    // vsXPStyle spacings: data 4, title 8, total 8.
    EXPECT_EQ(Grid->GetDefaultRowHeight(), lh + 4 + 1);
    EXPECT_EQ(Grid->GetRowHeight(), lh + 4 + 2);
    EXPECT_EQ(Grid->GetRowHeights(0), TextHeight(Grid->GetTitleFont()) + 8);
    EXPECT_EQ(Grid->GetTitleHeight(), Grid->GetRowHeights(0) + 1);
    EXPECT_EQ(Grid->GetDataRowCount(), 5);
    EXPECT_EQ(Grid->GetDataRowsHeight(), 5 * Grid->GetRowHeight());

    // Two lines per data row.
    Grid->SetLinesCount(2);
    EXPECT_EQ(Grid->GetDefaultRowHeight(), 2 * lh + 4 + 1);
    // A bigger font, taller rows.
    const int fontHeight = Grid->Font().GetHeight();
    Grid->Font().SetHeight(-20);
    const int big = TextHeight(&Grid->Font());
    ASSERT_GT(big, lh);
    EXPECT_EQ(Grid->GetLineHeight(), big);
    EXPECT_EQ(Grid->GetDefaultRowHeight(), 2 * big + 4 + 1);
    Grid->Font().SetHeight(fontHeight);
    EXPECT_EQ(Grid->GetLineHeight(), lh);

    // Total rows share one height; the blank row takes what is left, so every row together
    // fills the client area.
    using enum TVelDBGridOptionEx;
    Grid->SwitchOptionsEx({dgTotalHeader, dgTotalFooter}, true);
    Grid->GetTotals()->SetLinesCount(2);
    EXPECT_EQ(Grid->GetTotalRowCount(), 2);
    EXPECT_EQ(Grid->GetTotalHeaderRowCount(), 1);
    EXPECT_EQ(Grid->GetTotalFooterRowCount(), 1);
    EXPECT_EQ(Grid->GetTotalFieldsRowCount(), 0);
    const int total = 2 * TextHeight(Grid->GetTotals()->GetFont()) + 8;
    const int last = Grid->GetRowCount() - 1;
    EXPECT_EQ(Grid->GetRowHeights(last), total);
    EXPECT_EQ(Grid->GetRowHeights(last - 1), total);
    EXPECT_EQ(Grid->GetTotalHeight(), 2 * (total + 1));
    const int blank = Grid->GetBlankHeight();
    ASSERT_GT(blank, 0);
    EXPECT_EQ(Grid->GetRowHeights(last - 2), blank - 1);
    EXPECT_EQ(RowsHeight(), Grid->GetClientHeight());
    EXPECT_EQ(Grid->GetDataHeight(),
              Grid->GetClientHeight() - Grid->GetTitleHeight() - Grid->GetTotalHeight());
    // A totals dataset adds one row per record, as tall as the others.
    auto totals = MakeTable(2);
    auto* totalSource = new TDataSource(Form.get());
    totalSource->SetDataSet(totals.get());
    Grid->GetTotals()->SetDataSource(totalSource);
    Grid->SwitchOptionsEx({dgTotalFields}, true);
    EXPECT_EQ(Grid->GetTotalFieldsRowCount(), 2);
    EXPECT_EQ(Grid->GetTotalRowCount(), 4);
    EXPECT_EQ(Grid->GetTotalHeight(), 4 * (total + 1));
    EXPECT_EQ(RowsHeight(), Grid->GetClientHeight());
    Grid->SwitchOptionsEx({dgTotalFields}, false);
    // Without row lines every row takes exactly its height.
    Grid->SwitchOptions({TVelDBGridOption::dgRowLines}, false);
    EXPECT_EQ(Grid->GetRowLineWidth(), 0);
    EXPECT_EQ(Grid->GetRowHeight(), Grid->GetDefaultRowHeight());
    EXPECT_EQ(RowsHeight(), Grid->GetClientHeight());
}

TEST_F(GeometryTest, EmptyOrInactiveDataStillShowsOneRowAndVisibleRowsNeverDropBelowOne) {
    auto table = MakeTable(0);
    Attach(table.get());
    EXPECT_EQ(Grid->GetDataRowCount(), 0);
    EXPECT_EQ(Grid->GetDataRowsHeight(), Grid->GetRowHeight());
    EXPECT_EQ(Grid->GetRowCount() - Grid->GetTitleOffset() - Grid->GetTotalOffset(), 1);
    table->Close();
    EXPECT_EQ(Grid->GetDataRowsHeight(), Grid->GetRowHeight());
    EXPECT_EQ(Grid->GetRowCount() - Grid->GetTitleOffset() - Grid->GetTotalOffset(), 1);

    // Total rows taller than the grid leave no room, yet one data row counts as visible.
    table->Open();
    Grid->SwitchOptionsEx({TVelDBGridOptionEx::dgTotalHeader, TVelDBGridOptionEx::dgTotalFooter},
                          true);
    Grid->GetGridStyle()->SetTotalRowSpace(400);
    EXPECT_EQ(Grid->GetGridStyle()->GetVisualStyle(), TVisualStyle::vsCustom);
    EXPECT_GT(Grid->GetTotalHeight(), Grid->GetClientHeight());
    EXPECT_EQ(Grid->GetVisibleRowCount(), 1);
}

TEST_F(GeometryTest, WithoutTitlesThereAreNoTitleRowsNorHeaderBands) {
    TVelColumn* c = AddColumn("A", 80);
    c->GetTitle()->SetHeader("Money|Q1");
    Grid->SwitchOptions({TVelDBGridOption::dgTitleHeaders}, true);
    EXPECT_GE(Grid->HeaderRow(2, c), 0);
    Grid->SwitchOptions({TVelDBGridOption::dgTitles}, false);
    EXPECT_EQ(Grid->GetTitleRowCount(), 0);
    EXPECT_EQ(Grid->GetTitleHeight(), 0);
    for (int y = 0; y < 60; y += 5) EXPECT_EQ(Grid->HeaderRow(y, c), -1);
    EXPECT_EQ(Grid->HeaderRow(2, nullptr), -1);
}

TEST_F(GeometryTest, NestedColumnsGiveOneTitleRowPerDepth) {
    // A | G1[ G2[ C ] D ]: three levels, so three title rows.
    TVelColumn* a = AddColumn("A", 60);
    TVelColumn* g1 = AddColumn("G1", 50, 3);
    TVelColumn* g2 = AddColumn("G2", 50, 1);
    TVelColumn* c = AddColumn("C", 70);
    TVelColumn* d = AddColumn("D", 90);
    ASSERT_EQ(c->GetDepth(), 2);
    ASSERT_EQ(d->GetDepth(), 1);
    EXPECT_EQ(Grid->GetTitleRowCount(), 3);
    EXPECT_EQ(Grid->GetVisibleColumns().size(), 3u);  // A, C, D

    EXPECT_EQ(TVelCustomDBGrid::ColumnAtDepth(c, 0), g1);
    EXPECT_EQ(TVelCustomDBGrid::ColumnAtDepth(c, 1), g2);
    EXPECT_EQ(TVelCustomDBGrid::ColumnAtDepth(c, 5), c);
    EXPECT_EQ(TVelCustomDBGrid::ColumnAtDepth(nullptr, 0), nullptr);

    TGridDrawInfo info;
    Grid->CalcFixedInfo(info);
    const int titleBottom = info.Vert.FixedBoundary - info.Vert.EffectiveLineWidth;
    const int rawA = Grid->RawColumnOf(a), rawC = Grid->RawColumnOf(c), rawD = Grid->RawColumnOf(d);
    // The leaf at depth 0 has one cell from the top down to the data, whatever the row.
    TVelColumn* master = nullptr;
    for (int row = 0; row < 3; ++row) {
        const TRect r = Grid->CalcTitleRect(a, row, master);
        EXPECT_EQ(master, a);
        EXPECT_EQ(r.Top, 0);
        EXPECT_EQ(r.Bottom, titleBottom);
        EXPECT_EQ(r.Left, Grid->CellRect(rawA, 0).Left);
        EXPECT_EQ(r.Right, Grid->CellRect(rawA, 0).Right);
    }
    // G1 spans C and D in row 0; G2 only C in row 1.
    TRect r = Grid->CalcTitleRect(c, 0, master);
    EXPECT_EQ(master, g1);
    EXPECT_EQ(r.Left, Grid->CellRect(rawC, 0).Left);
    EXPECT_EQ(r.Right, Grid->CellRect(rawD, 0).Right);
    EXPECT_EQ(r.Bottom, Grid->CellRect(rawC, 0).Bottom);
    r = Grid->CalcTitleRect(c, 1, master);
    EXPECT_EQ(master, g2);
    EXPECT_EQ(r.Right, Grid->CellRect(rawC, 1).Right);
    // D, a leaf at depth 1, reaches down to the data from row 1.
    r = Grid->CalcTitleRect(d, 1, master);
    EXPECT_EQ(master, d);
    EXPECT_EQ(r.Top, Grid->CellRect(rawD, 1).Top);
    EXPECT_EQ(r.Bottom, titleBottom);
    // Full rectangles: the group is as wide as its showing columns.
    r = Grid->FullTitleRect(c, 0, master);
    EXPECT_EQ(r.Width(), Grid->GetExpandWidth(g1) - Grid->GetColLineWidth());
    EXPECT_EQ(Grid->GetExpandWidth(g1), 70 + 90 + 2);

    // Collapsing G1 leaves one title row.
    g1->SetExpanded(false);
    EXPECT_EQ(Grid->GetTitleRowCount(), 1);
}

TEST_F(GeometryTest, GroupTitlesFollowScrollingFrozenColumnsAndRightToLeft) {
    Grid->SetBounds(0, 0, 240, 200);
    TVelColumn* a = AddColumn("A", 60);
    TVelColumn* g = AddColumn("G", 50, 3);
    TVelColumn* x = AddColumn("X", 100);
    TVelColumn* y = AddColumn("Y", 100);
    TVelColumn* z = AddColumn("Z", 100);
    (void)z;
    const int line = Grid->GetColLineWidth();
    const int rawX = Grid->RawColumnOf(x), rawY = Grid->RawColumnOf(y);
    // Scrolled so that X is off screen: the group title starts at the first column shown and
    // the full rectangle reaches left over X.
    Grid->SetLeftCol(rawY);
    ASSERT_EQ(Grid->GetLeftCol(), rawY);
    TVelColumn* master = nullptr;
    TRect vis = Grid->CalcTitleRect(y, 0, master);
    EXPECT_EQ(master, g);
    EXPECT_EQ(vis.Left, Grid->CellRect(rawY, 0).Left);
    TRect full = Grid->FullTitleRect(y, 0, master);
    EXPECT_EQ(full.Left, vis.Left - (100 + line));
    EXPECT_EQ(full.Width(), Grid->GetExpandWidth(g) - line);

    // A frozen column stays where it is.
    Grid->SetFixedCols(1);
    Grid->SetLeftCol(rawY);
    vis = Grid->CalcTitleRect(a, 0, master);
    EXPECT_EQ(master, a);
    EXPECT_EQ(vis.Left, Grid->CellRect(Grid->RawColumnOf(a), 0).Left);
    EXPECT_FALSE(vis.IsEmpty());

    // Right to left: the same cell mirrored; the hidden part lies to the right.
    Grid->SetFixedCols(0);
    Grid->SetBiDiMode(TBiDiMode::bdRightToLeft);
    ASSERT_TRUE(Grid->UseRightToLeftAlignment());
    Grid->SetLeftCol(rawY);
    vis = Grid->CalcTitleRect(y, 0, master);
    EXPECT_EQ(vis.Right, Grid->CellRect(rawY, 0).Right);
    full = Grid->FullTitleRect(y, 0, master);
    EXPECT_EQ(full.Right, vis.Right + 100 + line);
    EXPECT_EQ(full.Width(), Grid->GetExpandWidth(g) - line);
    EXPECT_EQ(Grid->RTLPosX(10), Grid->GetClientWidth() - 10);
    (void)rawX;
}

TEST_F(GeometryTest, HeaderBandsFromTheHeaderText) {
    Grid->SwitchOptions({TVelDBGridOption::dgTitleHeaders}, true);
    TVelColumn* q1 = AddColumn("Q1", 80);
    TVelColumn* q2 = AddColumn("Q2", 90);
    TVelColumn* plain = AddColumn("Plain", 70);
    q1->GetTitle()->SetHeader("Money|Q");
    q2->GetTitle()->SetHeader("Money|Q");
    EXPECT_EQ(q1->GetTitle()->HeaderRowCount(), 2);
    EXPECT_EQ(plain->GetTitle()->HeaderRowCount(), 0);
    const int hh = Grid->GetHeaderRowHeight();
    EXPECT_EQ(hh, TextHeight(Grid->GetHeaderFont()) + 8 + 1);
    EXPECT_EQ(Grid->GetHeaderRowCount(), 2);
    // The title row holds the bands above the caption.
    EXPECT_EQ(Grid->GetRowHeights(0), TextHeight(Grid->GetTitleFont()) + 8 + 2 * hh);

    const TRect cell = Grid->CellRect(Grid->RawColumnOf(q1), 0);
    EXPECT_EQ(Grid->HeaderRow(cell.Top, q1), 0);
    EXPECT_EQ(Grid->HeaderRow(cell.Top + hh - 1, q1), 0);
    EXPECT_EQ(Grid->HeaderRow(cell.Top + hh, q1), 1);
    EXPECT_EQ(Grid->HeaderRow(cell.Top + 2 * hh, q1), -1);  // the caption below the bands
    EXPECT_EQ(Grid->HeaderRow(cell.Top + 1, plain), -1);

    // Band 0 is shared by both columns: the full rectangle spans them, the clipped one is
    // the cell's own.
    TRect full;
    TRect band = Grid->HeaderRect(q1, 0, cell, full);
    EXPECT_EQ(band.Top, cell.Top);
    EXPECT_EQ(band.Bottom, cell.Top + hh);
    EXPECT_EQ(band.Left, cell.Left);
    EXPECT_EQ(band.Right, cell.Right);
    EXPECT_EQ(full.Left, cell.Left);
    EXPECT_EQ(full.Right, cell.Right + 90 + Grid->GetColLineWidth());
    const TRect cell2 = Grid->CellRect(Grid->RawColumnOf(q2), 0);
    Grid->HeaderRect(q2, 1, cell2, full);
    EXPECT_EQ(full.Left, cell2.Left - 80 - Grid->GetColLineWidth());
    EXPECT_EQ(full.Top, cell2.Top + hh);
    // The frozen boundary splits a band.
    Grid->SetFixedCols(1);
    Grid->HeaderRect(q1, 0, Grid->CellRect(Grid->RawColumnOf(q1), 0), full);
    EXPECT_EQ(full.Width(), 80);
}

TEST_F(GeometryTest, SizingSettersKeepTheirBounds) {
    Grid->SetLinesCount(0);
    EXPECT_EQ(Grid->GetLinesCount(), 1);
    Grid->SetLinesCountMin(3);
    EXPECT_EQ(Grid->GetLinesCount(), 3);
    Grid->SetLinesCountMax(2);  // below the minimum: raised to it
    EXPECT_EQ(Grid->GetLinesCountMax(), 3);
    Grid->SetLinesCountMin(0);
    EXPECT_EQ(Grid->GetLinesCountMin(), 1);
    Grid->SetLinesCount(7);
    EXPECT_EQ(Grid->GetLinesCount(), 3);
    Grid->SetLinesCountMax(-1);
    Grid->SetLinesCount(7);
    EXPECT_EQ(Grid->GetLinesCount(), 7);
    Grid->SetLinesCountMin(9);
    Grid->SetLinesCountMax(4);
    EXPECT_EQ(Grid->GetLinesCountMax(), 9);

    Grid->SetIndicatorWidth(5);
    EXPECT_EQ(Grid->GetIndicatorWidth(), 11);
    EXPECT_EQ(Grid->GetColWidths(0), 11);
    Grid->SetFixedCols(-3);
    EXPECT_EQ(Grid->GetFixedCols(), 0);

    Grid->SetDefaultWidthMin(40);
    Grid->SetDefaultWidthMax(30);
    EXPECT_EQ(Grid->GetDefaultWidthMax(), 40);
    Grid->SetDefaultWidthMin(70);
    EXPECT_EQ(Grid->GetDefaultWidthMin(), 40);
    Grid->SetDefaultWidthMax(-1);
    Grid->SetDefaultWidthMin(70);
    EXPECT_EQ(Grid->GetDefaultWidthMin(), 70);
    Grid->SetDefaultWidthMin(-7);
    EXPECT_EQ(Grid->GetDefaultWidthMin(), 70);

    // Title and header line counts only re-lay the rows that show.
    Grid->SwitchOptions({TVelDBGridOption::dgTitleHeaders}, false);
    const int layouts = Grid->GetLayoutCount();
    Grid->SetHeaderLinesCount(3);
    EXPECT_EQ(Grid->GetLayoutCount(), layouts);
    Grid->SetTitleLinesCount(2);
    EXPECT_EQ(Grid->GetLayoutCount(), layouts + 1);
    EXPECT_EQ(Grid->GetRowHeights(0), 2 * TextHeight(Grid->GetTitleFont()) + 8);
}

TEST_F(GeometryTest, VisualStyleFollowsTheThemedLook) {
    TSystemProfileScope profile;
    TVelGridStyle* style = Grid->GetGridStyle();
    profile->ThemesEnabled = false;
    EXPECT_FALSE(Grid->IsGridThemed());
    style->SetVisualStyle(TVisualStyle::vsDefault);
    EXPECT_EQ(style->GetDataRowSpace(), 3);
    EXPECT_EQ(style->GetTitleRowSpace(), 4);
    EXPECT_EQ(style->GetTitleColMargin(), 0);
    const int lh = Grid->GetLineHeight();
    EXPECT_EQ(Grid->GetDefaultRowHeight(), lh + 3 + 1);
    // vsDefault is applied again even when already set.
    profile->ThemesEnabled = true;
    EXPECT_TRUE(Grid->IsGridThemed());
    style->SetVisualStyle(TVisualStyle::vsDefault);
    EXPECT_EQ(style->GetDataRowSpace(), 4);
    EXPECT_EQ(Grid->GetDefaultRowHeight(), lh + 4 + 1);
    // Themes on but no fixed theme: themed only when forced; a custom style always.
    Grid->SetFixedTheme(TFixedTheme::ftNone);
    EXPECT_FALSE(Grid->IsGridThemed());
    EXPECT_TRUE(Grid->IsGridThemed(true));
    profile->ThemesEnabled = false;
    profile->CustomStyleActive = true;
    EXPECT_TRUE(Grid->IsGridThemed());
    // A spacing of its own makes the style custom and re-lays the grid.
    style->SetDataRowSpace(10);
    EXPECT_EQ(style->GetVisualStyle(), TVisualStyle::vsCustom);
    EXPECT_EQ(Grid->GetDefaultRowHeight(), lh + 10 + 1);
}

TEST_F(GeometryTest, ScalingMultipliesWidthsBoundsAndFontsButKeepsNoBound) {
    TVelColumn* c = AddColumn("A", 80);
    c->SetWidthMin(20);
    Grid->SetStretchWidthMax(300);
    Grid->SetIndicatorWidth(20);
    const int titleHeight = Grid->GetTitleFont()->GetHeight();
    Grid->ScaleColumnsBy(3, 3, true);
    EXPECT_EQ(c->GetWidth(), 80);
    EXPECT_EQ(Grid->GetIndicatorWidth(), 20);
    EXPECT_EQ(Grid->GetTitleFont()->GetHeight(), titleHeight);

    Grid->ScaleColumnsBy(3, 2, false);
    EXPECT_EQ(c->GetWidth(), 120);
    EXPECT_EQ(c->GetWidthMin(), 30);
    EXPECT_EQ(c->GetWidthMax(), -1);
    EXPECT_EQ(Grid->GetIndicatorWidth(), 30);
    EXPECT_EQ(Grid->GetStretchWidthMax(), 450);
    EXPECT_EQ(Grid->GetStretchWidthMin(), -1);
    EXPECT_EQ(Grid->GetDefaultWidthMin(), -1);
    EXPECT_EQ(Grid->GetDefaultWidthMax(), -1);
    // The grid has its own font (not the parent's): titles scale with it.
    Grid->SetParentFont(false);
    const int before = Grid->GetTitleFont()->GetHeight();
    Grid->ScaleColumnsBy(2, 1, false);
    EXPECT_EQ(Grid->GetTitleFont()->GetHeight(), before * 2);
    EXPECT_EQ(Grid->GetColWidths(Grid->RawColumnOf(c)), 240);
}

TEST_F(GeometryTest, TheUserSizesRowsToWholeLinesAndColumnsToTheirWidth) {
    auto table = MakeTable(4);
    Attach(table.get());
    Grid->GetColumns()->SetState(TDBGridColumnsState::csCustomized);
    int rowResizes = 0, colResizes = 0;
    Grid->SetOnRowResize([&](TObject*) { ++rowResizes; });
    Grid->SetOnColumnResize([&](TObject*) { ++colResizes; });
    const int lh = Grid->GetLineHeight();
    const int first = Grid->GetTitleOffset();
    // Dragged to a bit more than two and a half lines: snaps to three.
    Grid->SetRowHeights(first, 3 * lh + 2);
    EXPECT_EQ(Grid->GetLinesCount(), 3);
    EXPECT_EQ(rowResizes, 1);
    for (int r = first; r < Grid->GetRowCount() - Grid->GetTotalOffset(); ++r)
        EXPECT_EQ(Grid->GetRowHeights(r), Grid->GetDefaultRowHeight());
    // A move within a line changes nothing and reports nothing.
    Grid->SetRowHeights(first, Grid->GetDefaultRowHeight() - 2);
    EXPECT_EQ(Grid->GetLinesCount(), 3);
    EXPECT_EQ(rowResizes, 1);

    Grid->SetColWidths(Grid->DataToRawColumn(1), 150);
    EXPECT_EQ(Grid->GetColumns()->GetColumn(1)->GetWidth(), 150);
    EXPECT_EQ(colResizes, 1);
    // The user's resize is taken in whole: no column stays marked as the last resized one.
    EXPECT_EQ(Grid->GetLastResizedCol(), -1);
    // The grid setting its own widths is no resize, but the column is remembered.
    Grid->GetColumns()->GetColumn(2)->SetWidth(77);
    EXPECT_EQ(colResizes, 1);
    EXPECT_EQ(Grid->GetLastResizedCol(), 2);
}

TEST_F(GeometryTest, AdjustColumnsWidthAndOptimalWidth) {
    auto table = MakeTable(3);
    Attach(table.get());
    TVelDBGridColumns* cols = Grid->GetColumns();
    cols->SetState(TDBGridColumnsState::csCustomized);
    table->Edit();
    table->FieldByName("Name")->SetAsString("A much longer name!!");
    table->Post();
    TVelColumn* name = cols->FindColumn("Name");
    TVelColumn* id = cols->FindColumn("ID");
    const int optimal = Grid->GetOptimalWidth(name);
    EXPECT_GT(optimal, Grid->GetOptimalWidth(id));
    EXPECT_GT(optimal, Grid->Canvas().TextWidth("A much longer name"));
    Grid->AdjustColumnsWidth(true, false);
    EXPECT_EQ(name->GetWidth(), optimal);
    id->SetWidth(300);
    id->OptimalWidth();
    EXPECT_EQ(id->GetWidth(), Grid->GetOptimalWidth(id));
    Grid->AdjustColumnsWidth(false, true);
    EXPECT_EQ(id->GetWidth(), id->GetDesignedWidth() + GetSystemMetrics(SM_CXVSCROLL) + 1);
}

TEST_F(GeometryTest, TotalsAlignToAFlatBorderWithoutAHorizontalBar) {
    auto table = MakeTable(3);
    Attach(table.get());
    using enum TVelDBGridOptionEx;
    Grid->SwitchOptionsEx({dgTotalFooter}, true);
    const int total = Grid->GetTotalHeight();
    EXPECT_FALSE(Grid->GetAlignTotalsToBorder());  // a 3-D single border
    Grid->SetBorderStyle(TBorderStyle::bsNone);
    // A column past the right edge brings the horizontal bar.
    TVelColumn* wide = Grid->GetColumns()->GetColumn(0);
    const int width = wide->GetWidth();
    wide->SetWidth(Grid->GetClientWidth());
    ASSERT_FALSE(Grid->ScrollBarRect(SB_HORZ).IsEmpty());
    EXPECT_FALSE(Grid->GetAlignTotalsToBorder());  // the horizontal bar is showing
    wide->SetWidth(width);
    Grid->SetScrollBars(TScrollStyle::ssVertical);
    ASSERT_TRUE(Grid->ScrollBarRect(SB_HORZ).IsEmpty());
    EXPECT_TRUE(Grid->GetAlignTotalsToBorder());
    // The last line of the totals lies on the border: one pixel less.
    EXPECT_EQ(Grid->GetTotalHeight(), total - 1);
    // Only the blank row at the bottom: it reaches the border instead.
    Grid->SwitchOptionsEx({dgTotalFooter}, false);
    Grid->SwitchOptionsEx({dgBlankRow}, true);
    ASSERT_EQ(Grid->GetTotalOffset(), 1);
    EXPECT_EQ(Grid->GetBlankHeight(), Grid->GetClientHeight() - Grid->GetTitleHeight() -
                                          Grid->GetDataRowsHeight() + 1);
    // Stretching aligns to the right edge likewise, unless a vertical bar shows.
    Grid->SetStretchMode(true);
    EXPECT_FALSE(Grid->GetAlignStretchToBorder());
    Grid->SetScrollBars(TScrollStyle::ssNone);
    EXPECT_TRUE(Grid->GetAlignStretchToBorder());
    EXPECT_EQ(Grid->GetColumnsWidth(), Grid->GetClientWidth() + 1);
}

TEST_F(GeometryTest, ChangeScaleScalesColumnsUnlessTheParentFontRules) {
    TVelColumn* c = AddColumn("A", 80);
    // The form scales its controls.
    Form->ScaleBy(2, 1);
    EXPECT_EQ(c->GetWidth(), 160);
    EXPECT_EQ(Grid->GetWidth(), 800);
    // Scaled by the parent's font instead: the columns stay.
    Grid->SwitchOptionsExt({TVelDBGridOptionExt::dgScaleByParentFont}, true);
    ASSERT_TRUE(Grid->GetParentFont());
    Form->ScaleBy(1, 2);
    EXPECT_EQ(c->GetWidth(), 160);
    EXPECT_EQ(Grid->GetWidth(), 400);
}

TEST_F(GeometryTest, HorizontalScrollingReportsTheFirstDataColumn) {
    Grid->SetBounds(0, 0, 200, 150);
    for (int i = 0; i < 6; ++i) AddColumn("C", 90);
    std::vector<int> scrolled;
    Grid->SetOnColumnScroll([&](TObject*, int Left) { scrolled.push_back(Left); });
    Grid->SetLeftCol(Grid->DataToRawColumn(3));
    Grid->SetLeftCol(Grid->DataToRawColumn(3));
    Grid->SetLeftCol(Grid->DataToRawColumn(1));
    EXPECT_EQ(scrolled, (std::vector<int>{3, 1}));

    // A linked grid follows the horizontal position.
    auto* linked = NewGrid("Linked");
    linked->SetBounds(0, 0, 200, 150);
    for (int i = 0; i < 6; ++i) linked->GetColumns()->Add()->SetWidth(90);
    linked->SetMasterGrid(Grid);
    Grid->SetLeftCol(Grid->DataToRawColumn(4));
    EXPECT_EQ(linked->GetLeftCol(), Grid->GetLeftCol());

    // The mouse over a scrollable column makes it current; over the frozen ones it brings
    // back the columns scrolled away, one at a time.
    Grid->SetFixedCols(1);
    Grid->SetLeftCol(Grid->DataToRawColumn(3));
    const int left = Grid->GetLeftCol();
    const TRect cell = Grid->CellRect(left, Grid->GetTitleOffset());
    Grid->ScrollToColAt(cell.Left + 3, cell.Top + 3);
    EXPECT_EQ(Grid->GetCol(), left);
    const TRect frozen = Grid->CellRect(Grid->DataToRawColumn(0), Grid->GetTitleOffset());
    Grid->ScrollToColAt(frozen.Left + 3, frozen.Top + 3);
    EXPECT_EQ(Grid->GetLeftCol(), left - 1);
    EXPECT_EQ(Grid->GetCol(), left - 1);
    // Not with whole rows selected.
    Grid->SwitchOptions({TVelDBGridOption::dgRowSelect}, true);
    Grid->ScrollToColAt(frozen.Left + 3, frozen.Top + 3);
    EXPECT_EQ(Grid->GetLeftCol(), left - 1);
}

}  // namespace
}  // namespace veltest
