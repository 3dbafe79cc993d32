// Cell rectangles and hit testing, visible counts, hidden rows, and the paint loop.
#include "tests/grids/GridBaseTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

class GridGeometryTest : public GridTest {};

// Every pixel of every visible cell maps back to that cell.
void ExpectRectsAndCoordsAgree(TTextGrid& g) {
    int seen = 0;
    for (int r = 0; r < g.GetRowCount(); ++r)
        for (int c = 0; c < g.GetColCount(); ++c) {
            const TRect rc = g.CellRect(c, r);
            if (rc.IsEmpty()) continue;
            ++seen;
            for (const TPoint p : {TPoint{rc.Left, rc.Top}, TPoint{rc.Right - 1, rc.Bottom - 1},
                                   TPoint{(rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2}}) {
                if (p.X < 0 || p.X >= g.GetClientWidth() || p.Y >= g.GetClientHeight()) continue;
                EXPECT_EQ(g.MouseCoord(p.X, p.Y), (TGridCoord{c, r}))
                    << "cell " << c << "," << r << " at " << p.X << "," << p.Y;
            }
        }
    EXPECT_GT(seen, 10);
}

TEST_F(GridGeometryTest, CellRectAndMouseCoordAgree) {
    Grid->SetColCount(12);
    Grid->SetRowCount(30);
    Grid->SetFixedCols(2);
    Grid->SetColWidths(3, 90);
    Grid->SetColWidths(5, 17);
    Grid->SetRowHeights(4, 40);
    for (int lw : {1, 2})
        for (bool rtl : {false, true})
            for (bool scrolled : {false, true}) {
                SCOPED_TRACE("line " + std::to_string(lw) + (rtl ? " rtl" : "") + (scrolled ? " scrolled" : ""));
                Grid->SetGridLineWidth(lw);
                Grid->SetBiDiMode(rtl ? TBiDiMode::bdRightToLeft : TBiDiMode::bdLeftToRight);
                Grid->SetLeftCol(scrolled ? 4 : 2);
                Grid->SetTopRow(scrolled ? 6 : 1);
                ExpectRectsAndCoordsAgree(*Grid);
                // Scrolled-away cells have no rectangle; fixed ones always do.
                EXPECT_EQ(Grid->CellRect(3, 3).IsEmpty(), scrolled);
                EXPECT_FALSE(Grid->CellRect(1, 0).IsEmpty());
            }
}

TEST_F(GridGeometryTest, CellRectsFollowWidthsLinesAndMirroring) {
    Grid->SetGridLineWidth(2);
    Grid->SetColWidths(0, 30);
    // Fixed column 0 (30 + 2), then LeftCol.
    EXPECT_EQ(Grid->CellRect(1, 1), Rect(32, 26, 96, 50));
    Grid->SetLeftCol(2);
    EXPECT_EQ(Grid->CellRect(2, 1), Rect(32, 26, 96, 50));
    EXPECT_TRUE(Grid->CellRect(1, 1).IsEmpty());
    Grid->SetBiDiMode(TBiDiMode::bdRightToLeft);
    const int w = Grid->GetClientWidth();
    EXPECT_EQ(Grid->CellRect(0, 0), Rect(w - 30, 0, w, 24));
    EXPECT_EQ(Grid->CellRect(2, 1), Rect(w - 96, 26, w - 32, 50));
    EXPECT_EQ(Grid->MouseCoord(w - 1, 0), (TGridCoord{0, 0}));
    // Beyond the last cell there is nothing.
    Grid->SetColCount(3);
    EXPECT_EQ(Grid->MouseCoord(0, 10), (TGridCoord{-1, -1}));
}

TEST_F(GridGeometryTest, NegativeRowHeightTakesNoSpace) {
    Grid->SetDefaultRowHeight(19);  // 20 with the line
    Grid->SetHeight(101);
    Grid->SetRowCount(20);
    EXPECT_EQ(Grid->GetVisibleRowCount(), 4);
    Grid->SetRowHeights(2, -1);
    EXPECT_EQ(Grid->GetVisibleRowCount(), 5);
    EXPECT_TRUE(Grid->CellRect(1, 2).IsEmpty());
    EXPECT_EQ(Grid->CellRect(1, 3).Top, 40);
    EXPECT_EQ(Grid->MouseCoord(70, 45), (TGridCoord{1, 3}));
    // Scrolling past it: the hidden row still counts once in the window.
    Grid->SetTopRow(3);
    EXPECT_EQ(Grid->GetVisibleRowCount(), 4);
}

TEST_F(GridGeometryTest, SizeErrorsKeepTheGrid) {
    EXPECT_THROW(Grid->SetFixedCols(5), EInvalidArgument);
    EXPECT_THROW(Grid->SetRowCount(1), EInvalidArgument);
    EXPECT_THROW(Grid->SetColCount(0), EInvalidArgument);
    EXPECT_THROW(Grid->SetFixedRows(-1), EInvalidArgument);
    EXPECT_THROW(Grid->MoveColRow(9, 1, true, true), EInvalidArgument);
    EXPECT_EQ(Grid->GetFixedCols(), 1);
    EXPECT_EQ(Grid->GetRowCount(), 5);
    // Shrinking keeps the current cell inside.
    Grid->MoveColRow(4, 4, true, true);
    Grid->SetColCount(3);
    Grid->SetRowCount(2);
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetRow(), 1);
}

TEST_F(GridGeometryTest, SelectCellVetoKeepsTheCurrentCell) {
    Grid->SetOnSelectCell([](TObject*, int c, int, bool& ok) { ok = c != 3; });
    Grid->SetCol(3);
    EXPECT_EQ(Grid->GetCol(), 1);
    Grid->SetCol(4);
    EXPECT_EQ(Grid->GetCol(), 4);
}

TEST_F(GridGeometryTest, PaintCallsDrawCellForTheVisibleCellsWithTheirStates) {
    Grid->SetColCount(20);
    Grid->SetRowCount(50);
    Grid->SetOptions(Grid->GetOptions() + TGridOption::goRowSelect);
    Grid->SetOptions(Grid->GetOptions() - TGridOption::goRowSelect);
    Form->Show();
    Grid->SetFocus();
    Grid->MoveColRow(2, 3, false, true);  // anchor stays at 1,1: a range
    Grid->Draws.clear();
    Grid->Invalidate();
    Process();
    // 400 / 65 → 7 columns (the last one partly), 300 / 25 → 12 rows.
    ASSERT_EQ(Grid->Draws.size(), std::size_t(7 * 12));
    for (const TDrawCall& d : Grid->Draws) {
        SCOPED_TRACE(std::to_string(d.Col) + "," + std::to_string(d.Row));
        EXPECT_EQ(d.Rect, Grid->CellRect(d.Col, d.Row));
        const bool fixed = d.Col == 0 || d.Row == 0;
        EXPECT_EQ(d.State.Contains(TGridDrawStateFlag::gdFixed), fixed);
        EXPECT_EQ(d.State.Contains(TGridDrawStateFlag::gdSelected),
                  !fixed && d.Col <= 2 && d.Row <= 3);
        EXPECT_EQ(d.State.Contains(TGridDrawStateFlag::gdFocused), d.Col == 2 && d.Row == 3);
        EXPECT_FALSE(d.State.Contains(TGridDrawStateFlag::gdRowSelected));
    }
    // Row select marks the whole current row.
    Grid->SetOptions(Grid->GetOptions() + TGridOption::goRowSelect);
    Grid->Draws.clear();
    Process();
    int rowSelected = 0;
    for (const TDrawCall& d : Grid->Draws)
        if (d.State.Contains(TGridDrawStateFlag::gdRowSelected)) {
            EXPECT_EQ(d.Row, 3);
            ++rowSelected;
        }
    EXPECT_EQ(rowSelected, 6);
}

TEST_F(GridGeometryTest, ScrollingOneRowRepaintsOneRow) {
    Grid->SetColCount(20);
    Grid->SetRowCount(50);
    Grid->DrawText = true;
    for (int r = 0; r < 50; ++r)
        for (int c = 0; c < 20; ++c) Grid->Cell(c, r) = std::to_string(r * 100 + c);
    Form->Show();
    Process();
    Grid->Draws.clear();
    Grid->SetTopRow(2);
    Process();
    ASSERT_EQ(Grid->Draws.size(), 7u);
    for (const TDrawCall& d : Grid->Draws) EXPECT_EQ(d.Row, 12);
    Grid->Draws.clear();
    Grid->SetTopRow(1);
    Process();
    ASSERT_EQ(Grid->Draws.size(), 7u);
    for (const TDrawCall& d : Grid->Draws) EXPECT_EQ(d.Row, 1);
    // The pixels moved with it: a full repaint draws the same picture.
    auto before = Form->CaptureImage();
    Grid->Invalidate();
    auto after = Form->CaptureImage();
    for (int y = 0; y < 300; y += 7)
        for (int x = 0; x < 400; x += 5)
            ASSERT_EQ(before->GetPixelColor(x, y), after->GetPixelColor(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace veltest
