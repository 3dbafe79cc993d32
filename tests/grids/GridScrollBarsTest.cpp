// The grid's own scroll bars: a bar shows only while cells lie beyond the window on its axis,
// and hiding one bar can make the other unneeded (and showing one can make the other needed).
#include "tests/grids/GridBaseTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

class GridScrollBarsTest : public GridTest {
protected:
    bool Horz() const { return (Grid->GetStyle() & WS_HSCROLL) != 0; }
    bool Vert() const { return (Grid->GetStyle() & WS_VSCROLL) != 0; }
};

TEST_F(GridScrollBarsTest, ABarShowsOnlyWhileCellsLieBeyondTheWindow) {
    Form->Show();
    Grid->SetColCount(3);
    Grid->SetRowCount(4);
    Grid->SetScrollBars(TScrollStyle::ssBoth);
    Process();
    EXPECT_FALSE(Horz());
    EXPECT_FALSE(Vert());
    EXPECT_EQ(Grid->GetClientWidth(), 400);
    EXPECT_EQ(Grid->GetClientHeight(), 300);

    // Columns past the right edge: only the horizontal bar.
    Grid->SetColCount(10);
    EXPECT_TRUE(Horz());
    EXPECT_FALSE(Vert());
    const int bar = 300 - Grid->GetClientHeight();
    EXPECT_GT(bar, 0);

    // Rows that fill the whole height fit only without the horizontal bar: with it, both show.
    const int step = Grid->GetDefaultRowHeight() + Grid->GetGridLineWidth();
    Grid->SetRowCount(300 / step);
    ASSERT_GT(300 / step * step, 300 - bar) << "rows must need the bar's height";
    EXPECT_TRUE(Horz());
    EXPECT_TRUE(Vert());

    // Columns that fit again: the horizontal bar goes, the rows then fit and the vertical goes.
    Grid->SetColCount(3);
    EXPECT_FALSE(Horz());
    EXPECT_FALSE(Vert());

    // A column widened past the edge brings the bar back; a grid scrolled away keeps it while
    // scrolled, so the first columns can be reached again.
    Grid->SetColWidths(2, 500);
    EXPECT_TRUE(Horz());
    Grid->SetLeftCol(2);
    Grid->SetColWidths(2, 100);
    EXPECT_TRUE(Horz());
    Grid->SetLeftCol(1);
    Grid->SetColWidths(2, 101);
    EXPECT_FALSE(Horz());

    // Bars the grid was not given never show.
    Grid->SetScrollBars(TScrollStyle::ssVertical);
    Grid->SetColCount(20);
    EXPECT_FALSE(Horz());
}

}  // namespace
}  // namespace veltest
