// Sizing and moving columns with the mouse, keyboard navigation and the in-place editor.
#include "tests/grids/GridBaseTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

class GridMouseTest : public GridTest {
protected:
    GridMouseTest() {
        Form->Show();
        Process();
    }
    void Drag(TPoint from, std::initializer_list<TPoint> path) {
        InjectMouseMove(Screen(from.X, from.Y));
        InjectMouseDown(TMouseButton::mbLeft, Screen(from.X, from.Y));
        TPoint last = from;
        for (TPoint p : path) {
            InjectMouseMove(Screen(p.X, p.Y));
            last = p;
        }
        InjectMouseUp(TMouseButton::mbLeft, Screen(last.X, last.Y));
        Process();
    }
};

TEST_F(GridMouseTest, DraggingAColumnBorderSizesTheColumn) {
    Grid->SetOptions(Grid->GetOptions() + TGridOption::goColSizing);
    const TRect title = Grid->CellRect(2, 0);
    // Without the option nothing happens; with it, the border of column 2 follows the mouse.
    Drag({title.Right, 10}, {{title.Right + 15, 10}, {title.Right + 30, 12}});
    EXPECT_EQ(Grid->GetColWidths(2), 64 + 30);
    EXPECT_EQ(Grid->ColWidthsChanges, 1);
    EXPECT_EQ(Grid->GetGridState(), TGridState::gsNormal);
    // Narrower, in right-to-left mode: the border is on the left there.
    Grid->SetBiDiMode(TBiDiMode::bdRightToLeft);
    const TRect r = Grid->CellRect(2, 0);
    Drag({r.Left - 1, 10}, {{r.Left + 40, 10}});
    EXPECT_EQ(Grid->GetColWidths(2), 94 - 41);
    EXPECT_EQ(Grid->ColWidthsChanges, 2);
    // A press on a data cell border does not size.
    const TRect d = Grid->CellRect(2, 2);
    Drag({d.Left - 1, d.Top + 5}, {{d.Left + 40, d.Top + 5}});
    EXPECT_EQ(Grid->ColWidthsChanges, 2);
}

TEST_F(GridMouseTest, DraggingATitlePastTheThresholdMovesTheColumn) {
    Grid->SetOptions(Grid->GetOptions() + TGridOption::goColMoving);
    Grid->SetColWidths(2, 50);
    const TRect from = Grid->CellRect(2, 0);
    const TRect to = Grid->CellRect(4, 0);
    const int y = from.Top + 5, x = from.Left + 20;
    // Within the threshold it is a click.
    Drag({x, y}, {{x + 3, y}});
    EXPECT_TRUE(Grid->Log.empty());
    Drag({x, y}, {{x + 10, y}, {to.Left + 10, y}});
    const std::vector<std::string> want{"begin 2", "check 4", "end 2->4", "moved 2->4"};
    EXPECT_EQ(Grid->Log, want);
    // The width went with the column.
    EXPECT_EQ(Grid->GetColWidths(4), 50);
    EXPECT_EQ(Grid->GetColWidths(2), 64);
}

TEST_F(GridMouseTest, KeyboardMovesTheCurrentCellAndScrolls) {
    Grid->SetRowCount(100);
    Grid->SetFocus();
    Process();
    InjectKey(VK_DOWN);
    InjectKey(VK_RIGHT);
    Process();
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetRow(), 2);
    InjectKey(VK_NEXT);
    Process();
    EXPECT_EQ(Grid->GetRow(), 2 + Grid->GetVisibleRowCount());
    EXPECT_GT(Grid->GetTopRow(), 1);
    EXPECT_FALSE(Grid->CellRect(2, Grid->GetRow()).IsEmpty());
    InjectKey(VK_END, TShiftState{TShiftStateFlag::ssCtrl});
    Process();
    EXPECT_EQ(Grid->GetRow(), 99);
    EXPECT_EQ(Grid->GetCol(), 4);
    InjectKey(VK_HOME, TShiftState{TShiftStateFlag::ssCtrl});
    Process();
    EXPECT_EQ(Grid->GetRow(), 1);
    EXPECT_EQ(Grid->GetTopRow(), 1);
}

TEST_F(GridMouseTest, TimedScrollExtendsTheSelection) {
    Grid->SetRowCount(100);
    Grid->SetFocus();
    Grid->TimedScroll(TGridScrollDirections{TGridScrollDirection::sdDown});
    EXPECT_EQ(Grid->GetTopRow(), 2);
    Grid->TimedScroll(TGridScrollDirections{TGridScrollDirection::sdUp});
    Grid->TimedScroll(TGridScrollDirections{TGridScrollDirection::sdUp});
    EXPECT_EQ(Grid->GetTopRow(), 1);
}

TEST_F(GridMouseTest, TypingALetterOpensTheEditorAndEscapeRestores) {
    Grid->SetOptions(Grid->GetOptions() + TGridOption::goEditing);
    Grid->Cell(3, 2) = "abc";
    Grid->MoveColRow(3, 2, true, true);
    Grid->SetFocus();
    Process();
    EXPECT_EQ(Grid->GetInplaceEditor(), nullptr);
    InjectText("x");
    InjectText("y");
    Process();
    TInplaceEdit* ed = Grid->GetInplaceEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_TRUE(Grid->GetEditorMode());
    EXPECT_TRUE(ed->GetVisible());
    EXPECT_TRUE(ed->Focused());
    EXPECT_EQ(ed->GetBoundsRect(), Grid->CellRect(3, 2));
    EXPECT_EQ(ed->GetText(), "xy");
    EXPECT_EQ(Grid->Cell(3, 2), "xy");
    InjectKey(VK_ESCAPE);
    Process();
    EXPECT_FALSE(ed->GetVisible());
    EXPECT_FALSE(Grid->GetEditorMode());
    EXPECT_EQ(Grid->Cell(3, 2), "abc");
    EXPECT_TRUE(Grid->Focused());
    // F2 edits the text as it is; moving away hides the editor.
    InjectKey(VK_F2);
    InjectKey(VK_BACK);
    Process();
    EXPECT_EQ(Grid->Cell(3, 2), "ab");
    InjectKey(VK_DOWN);
    Process();
    EXPECT_FALSE(ed->GetVisible());
    EXPECT_EQ(Grid->GetRow(), 3);
}

TEST_F(GridMouseTest, EditorFollowsItsCellAndHidesWhenItScrollsAway) {
    Grid->SetOptions(Grid->GetOptions() + TGridOption::goEditing + TGridOption::goAlwaysShowEditor);
    Grid->SetRowCount(100);
    Grid->SetFocus();
    Process();
    TInplaceEdit* ed = Grid->GetInplaceEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_TRUE(ed->GetVisible());
    Grid->SetColWidths(0, 100);
    EXPECT_EQ(ed->GetBoundsRect(), Grid->CellRect(1, 1));
    Grid->SetTopRow(5);
    EXPECT_FALSE(ed->GetVisible());
    Grid->SetTopRow(1);
    EXPECT_TRUE(ed->GetVisible());
    EXPECT_EQ(ed->GetBoundsRect(), Grid->CellRect(1, 1));
    // The limit holds.
    ed->SetMaxLength(2);
    InjectText("abc");
    Process();
    EXPECT_EQ(ed->GetText(), "ab");
}

}  // namespace
}  // namespace veltest
