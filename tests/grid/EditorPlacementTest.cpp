// The in-place editor over a data cell: its text starts where the cell's own text was drawn,
// so starting an edit does not make the text jump.
#include "platform/controls/Grids.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Bitmap.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

class EditorPlacementTest : public PaintedGridTest {
protected:
    EditorPlacementTest() : PaintedGridTest(4) {
        Grid->SwitchOptions({TVelDBGridOption::dgEditing}, true);
    }
    // The box of pixels inside R (less its lines) whose colour differs from R's corner.
    static TRect Ink(TBitmap& B, const TRect& R) {
        const TColor back = B.GetPixelColor(R.Left + 1, R.Bottom - 2);
        TRect box{R.Right, R.Bottom, R.Left, R.Top};
        for (int y = R.Top + 1; y < R.Bottom - 1; ++y)
            for (int x = R.Left + 1; x < R.Right - 1; ++x)
                if (B.GetPixelColor(x, y) != back) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box;
    }
};

TEST_F(EditorPlacementTest, EditorTextStartsWhereTheCellTextWas) {
    Grid->SetSelectedField(Table->FieldByName("Name"));
    Grid->SetFocus();
    Application().ProcessMessages();
    const TRect cell = Grid->CellRect(Grid->GetCol(), Grid->GetRow());
    auto shot = Form->CaptureImage();
    const TColor cellBack = shot->GetPixelColor(cell.Left + 1, cell.Bottom - 2);
    const TRect drawn = Ink(*shot, cell);
    ASSERT_LT(drawn.Left, drawn.Right) << "the cell shows no text";

    Grid->ShowEditor();
    TInplaceEdit* editor = Grid->GetInplaceEditor();
    ASSERT_TRUE(editor && editor->GetVisible());
    editor->Deselect();
    Application().ProcessMessages();
    shot = Form->CaptureImage();
    // The editor is really what the picture shows over the cell: its own background.
    EXPECT_NE(shot->GetPixelColor(cell.Left + 1, cell.Bottom - 2), cellBack);
    const TRect edited = Ink(*shot, cell);
    ASSERT_LT(edited.Left, edited.Right) << "the editor shows no text";
    EXPECT_EQ(edited.Left, drawn.Left);
    EXPECT_EQ(editor->GetText(), "N1");
}

}  // namespace
}  // namespace veltest
