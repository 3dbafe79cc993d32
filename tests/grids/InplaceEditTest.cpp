// The grid's in-place editor as an edit control: masks from the grid, caret keys that stay in
// the cell or leave it, clipboard, read-only cells and the formatting rectangle.
#include "tests/grids/GridBaseTestUtil.h"

#include "platform/controls/Clipbrd.h"

using namespace vel;

namespace veltest {
namespace {

class TMaskGrid : public TTextGrid {
public:
    using TTextGrid::TTextGrid;
    std::string Mask;
    bool ReadOnly = false;
    std::string GetEditMask(int, int) override { return Mask; }
    bool CanEditModify() override { return !ReadOnly; }
};

class InplaceEditTest : public ::testing::Test {
protected:
    InplaceEditTest() {
        ResetWindowingForTests();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBorderStyle(TFormBorderStyle::bsNone);
        Form->SetBounds(0, 0, 400, 300);
        Grid = new TMaskGrid(Form.get());
        Grid->SetScrollBars(TScrollStyle::ssNone);
        Grid->SetBounds(0, 0, 400, 300);
        Grid->SetParent(Form.get());
        Grid->SetOptions(Grid->GetOptions() + TGridOption::goEditing);
        Form->Show();
        Grid->MoveColRow(2, 2, true, true);
        Grid->SetFocus();
        Process();
    }
    ~InplaceEditTest() override {
        Process();
        Form.reset();
        ResetWindowingForTests();
    }
    void Process() { Application().ProcessMessages(); }
    void Keys(std::initializer_list<unsigned> keys, TShiftState shift = {}) {
        for (unsigned k : keys) InjectKey(k, shift);
        Process();
    }
    TInplaceEdit* Editor() const { return Grid->GetInplaceEditor(); }
    TVirtualClockScope FClock;
    std::unique_ptr<TForm> Form;
    TMaskGrid* Grid;
};

TEST_F(InplaceEditTest, TheGridsMaskIsEnforcedWhileTyping) {
    Grid->Mask = "00:00;1;_";
    Grid->Cell(2, 2) = "12:30";
    InjectText("0x7");
    Process();
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->GetEditMask(), "00:00;1;_");
    // The first character replaced the whole text; the letter was refused; the caret jumped
    // over the separator.
    EXPECT_EQ(Editor()->GetEditText(), "07:__");
    EXPECT_EQ(Editor()->GetCaretPos(), 3);
    InjectText("45");
    Process();
    EXPECT_EQ(Grid->Cell(2, 2), "07:45");
    EXPECT_NO_THROW(Editor()->ValidateEdit());
    Keys({VK_BACK});
    EXPECT_THROW(Editor()->ValidateEdit(), EDBEditError);
    // Escape gives the cell its old value back.
    Keys({VK_ESCAPE});
    EXPECT_EQ(Grid->Cell(2, 2), "12:30");
    EXPECT_FALSE(Grid->GetEditorMode());
    // Another cell without a mask edits freely.
    Grid->Mask.clear();
    Keys({VK_DOWN});
    InjectText("free text");
    Process();
    EXPECT_FALSE(Editor()->IsMasked());
    EXPECT_EQ(Grid->Cell(2, 3), "free text");
}

TEST_F(InplaceEditTest, CaretKeysStayInTheTextUnlessTheEditorAlwaysShows) {
    Grid->Cell(2, 2) = "one two";
    Keys({VK_F2});
    ASSERT_TRUE(Editor()->Focused());
    EXPECT_EQ(Editor()->GetCaretPos(), 7);
    Keys({VK_LEFT}, TShiftState{TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Editor()->GetCaretPos(), 4);
    Keys({VK_HOME}, TShiftState{TShiftStateFlag::ssShift});
    Keys({'X'}, TShiftState{TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Clipboard().GetAsText(), "one ");
    EXPECT_EQ(Grid->Cell(2, 2), "two");
    Keys({VK_END});
    Keys({'V'}, TShiftState{TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Grid->Cell(2, 2), "twoone ");
    Keys({'Z'}, TShiftState{TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Grid->Cell(2, 2), "two");
    EXPECT_EQ(Grid->GetCol(), 2);

    // With goAlwaysShowEditor, Right at the end of the text moves to the next cell.
    Grid->SetOptions(Grid->GetOptions() + TGridOption::goAlwaysShowEditor);
    Grid->Cell(3, 2) = "ab";
    EXPECT_EQ(Editor()->GetCaretPos(), 3);
    Keys({VK_LEFT});
    Keys({VK_RIGHT});
    EXPECT_EQ(Grid->GetCol(), 2);
    Keys({VK_RIGHT});
    EXPECT_EQ(Grid->GetCol(), 3);
    EXPECT_EQ(Editor()->GetText(), "ab");
    EXPECT_TRUE(Editor()->GetVisible());
}

TEST_F(InplaceEditTest, ReadOnlyCellsShowTheEditorButRefuseChanges) {
    Grid->ReadOnly = true;
    Grid->Cell(2, 2) = "keep";
    Keys({VK_F2});
    ASSERT_TRUE(Grid->GetEditorMode());
    InjectText("x");
    Keys({VK_BACK});
    Keys({VK_DELETE});
    Clipboard().SetAsText("pasted");
    Keys({VK_INSERT}, TShiftState{TShiftStateFlag::ssShift});
    EXPECT_EQ(Editor()->GetText(), "keep");
    EXPECT_EQ(Grid->Cell(2, 2), "keep");
    Editor()->SelectAll();
    Keys({'C'}, TShiftState{TShiftStateFlag::ssCtrl});
    EXPECT_EQ(Clipboard().GetAsText(), "keep");
}

TEST_F(InplaceEditTest, TheTextIsLaidOutInsideTheCellWithAMargin) {
    Grid->Cell(2, 2) = "x";
    Keys({VK_F2});
    const TRect cell = Grid->CellRect(2, 2);
    EXPECT_EQ(Editor()->GetBoundsRect(), cell);
    EXPECT_EQ(Editor()->GetFormatRect(), (TRect{2, 2, cell.Width() - 2, cell.Height()}));
    EXPECT_EQ(Editor()->CharPosX(0), 2);
    Grid->SetColWidths(2, 120);
    EXPECT_EQ(Editor()->GetFormatRect().Right, 118);
    EXPECT_EQ(Grid->GetEditLimit(), 0);
    EXPECT_EQ(Editor()->GetMaxLength(), 0);
}

}  // namespace
}  // namespace veltest
