// Painting of data cells: colours of the current cell and row, stripes, the focus
// frame, the painting events, clipped text and a disabled grid, read back as pixels.
#include <vector>

#include "grid/GridTextWriter.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

TColor Rgb(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

class CellPaintTest : public PaintedGridTest {
protected:
    std::unique_ptr<TBitmap> Shot() {
        Application().ProcessMessages();
        return Grid->CaptureImage();
    }
    // Raw cell of data column DataCol in data row DataRow.
    TRect Cell(int DataCol, int DataRow) const {
        return Grid->CellRect(Grid->DataToRawColumn(DataCol), DataRow + Grid->GetTitleOffset());
    }
    // A pixel near the cell's bottom-left corner, away from text and frames.
    static TColor Corner(TBitmap& B, const TRect& R) { return B.GetPixelColor(R.Left + 1, R.Bottom - 2); }
};

TEST_F(CellPaintTest, CurrentCellAndRowTakeTheirColours) {
    Grid->SetSelectCellColor(clRed);
    Grid->SetSelectRowColor(clLime);
    Grid->SetOptions(Grid->GetOptions() + TVelDBGridOption::dgAlwaysShowSelection);
    auto b = Shot();
    EXPECT_EQ(Corner(*b, Cell(0, 0)), Rgb(clRed));
    EXPECT_EQ(Corner(*b, Cell(1, 0)), Rgb(clLime));
    // The current row follows the record; defaults come from the table of the classic look.
    Table->Next();
    Grid->SetSelectCellColor(clDefault);
    Grid->SetSelectRowColor(clDefault);
    b = Shot();
    EXPECT_EQ(Corner(*b, Cell(0, 0)), Rgb(clWindow));
    EXPECT_EQ(Corner(*b, Cell(0, 1)), Rgb(clHighlight));
    EXPECT_EQ(Corner(*b, Cell(2, 1)), Rgb(clGradientInactiveCaption));
    // A highlighted cell writes in the highlight text colour.
    bool highlightInk = false;
    const TRect r = Cell(0, 1);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) highlightInk |= b->GetPixelColor(x, y) == Rgb(clHighlightText);
    EXPECT_TRUE(highlightInk);
}

TEST_F(CellPaintTest, StripesAndSwitchedOffColours) {
    Grid->SetStripeColor(clYellow);
    Grid->SetSelectRowColor(clLime);
    auto b = Shot();
    EXPECT_EQ(Corner(*b, Cell(1, 0)), Rgb(clLime));  // current row before stripes
    EXPECT_EQ(Corner(*b, Cell(1, 1)), Rgb(clYellow));
    EXPECT_EQ(Corner(*b, Cell(1, 2)), Rgb(clWindow));
    EXPECT_EQ(Corner(*b, Cell(1, 3)), Rgb(clYellow));
    // A switched-off row colour leaves the striped current row to its stripe.
    Table->Next();
    Grid->SetSelectRowColor(clNone);
    b = Shot();
    EXPECT_EQ(Corner(*b, Cell(1, 1)), Rgb(clYellow));
    // The stripe's default colour.
    Grid->SetStripeColor(clDefault);
    b = Shot();
    EXPECT_EQ(Corner(*b, Cell(1, 3)), Rgb(cl3DLight));
}

TEST_F(CellPaintTest, FocusFrameByStyle) {
    Grid->SetSelectCellColor(clRed);
    ASSERT_TRUE(Grid->AcquireFocus());
    const TRect r = Cell(0, 0);
    Grid->SetFocusRect(TFocusRect::frNone);
    auto plain = Shot();
    EXPECT_EQ(plain->GetPixelColor(r.Left, r.Top + 4), Rgb(clRed));
    Grid->SetFocusRect(TFocusRect::frGray);
    auto gray = Shot();
    EXPECT_EQ(gray->GetPixelColor(r.Left, r.Top + 4), Rgb(clGray));
    Grid->SetFocusRect(TFocusRect::frAuto);
    auto dotted = Shot();
    int changed = 0;
    for (int x = r.Left; x < r.Right; ++x) changed += dotted->GetPixelColor(x, r.Top) != Rgb(clRed);
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, r.Width());  // dotted, not solid
}

TEST_F(CellPaintTest, PaintingEventsRunInOrderAndMayRecolour) {
    std::vector<std::string> calls;
    TRect lastRect;
    TVelColumn* name = Grid->GetColumns()->GetColumn(1);
    Grid->SetOnPaintColumnCell([&](TObject*, const TRect&, int DataCol, TVelColumn* Column, bool,
                                   TSelections, TColor& Color, TFont*, int&) {
        if (Column == name) {
            calls.push_back("paint " + std::to_string(DataCol));
            Color = clAqua;
        }
    });
    Grid->SetOnDrawColumnCell([&](TObject*, const TRect& Rect, int DataCol, TVelColumn* Column, TGridDrawState) {
        if (Column == name) {
            calls.push_back("column " + std::to_string(DataCol));
            lastRect = Rect;
        }
    });
    Grid->SetOnDrawDataCell([&](TObject*, const TRect&, TField* Field, TGridDrawState) {
        if (Field == name->GetField()) calls.push_back("field " + Field->GetAsString());
    });
    auto b = Shot();
    EXPECT_EQ(Corner(*b, Cell(1, 3)), Rgb(clAqua));
    calls.clear();
    Grid->InvalidateCell(Grid->DataToRawColumn(1), 3 + Grid->GetTitleOffset());
    Shot();
    // The field read in the event is the painted row's, and the current record is kept.
    EXPECT_EQ(calls, (std::vector<std::string>{"paint 1", "column 1", "field N4"}));
    EXPECT_EQ(lastRect, Cell(1, 3));
    EXPECT_EQ(Table->FieldByName("ID")->GetAsInteger(), 1);
    // Without default drawing the cell is left to the events.
    Grid->SetDefaultDrawing(false);
    Grid->InvalidateCell(Grid->DataToRawColumn(1), 3 + Grid->GetTitleOffset());
    b = Shot();
    EXPECT_NE(Corner(*b, Cell(1, 3)), Rgb(clAqua));
}

TEST_F(CellPaintTest, ClippedTextEndsInAnEllipsis) {
    Table->Edit();
    Table->FieldByName("Name")->SetAsString("Wonderfully long");
    Table->Post();
    TVelColumn* name = Grid->GetColumns()->GetColumn(1);
    name->SetWidth(40);
    Grid->SetSelectRowColor(clNone);
    Grid->SetSelectCellColor(clNone);
    auto b = Shot();
    const TRect r = Cell(1, 0);
    // What the cell should show, written on the cell's colour by itself.
    TBitmap expect(r.Width(), r.Height());
    expect.Canvas().Brush().SetColor(clWindow);
    expect.Canvas().FillRect(TRect{0, 0, r.Width(), r.Height()});
    expect.Canvas().Font().Assign(name->GetFont());
    const TRect local{0, 0, r.Width(), r.Height()};
    auto lines = LayoutText(expect.Canvas(), local, 2, 2, "Wonderfully long", TAlignment::taLeftJustify,
                            true, true, TVAlignment::tvCenter);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Text.substr(lines[0].Text.size() - 3), "...");
    EXPECT_GE(lines[0].Text.size(), 4u);
    WriteText(expect.Canvas(), local, 2, 2, "Wonderfully long", TAlignment::taLeftJustify, false, true,
              true, TVAlignment::tvCenter);
    int ink = 0;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x) {
            ASSERT_EQ(b->GetPixelColor(r.Left + x, r.Top + y), expect.GetPixelColor(x, y)) << x << "," << y;
            ink += expect.GetPixelColor(x, y) != Rgb(clWindow);
        }
    EXPECT_GT(ink, 0);
}

TEST_F(CellPaintTest, ADisabledGridWritesInGrayText) {
    Grid->SetSelectRowColor(clNone);
    Grid->SetSelectCellColor(clNone);
    auto darkest = [&](TBitmap& B) {
        const TRect r = Cell(1, 2);
        int best = 1 << 30;
        TColor found = clNone;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) {
                const TColor c = B.GetPixelColor(x, y);
                const int l = (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF);
                if (l < best) best = l, found = c;
            }
        return found;
    };
    auto on = Shot();
    EXPECT_EQ(darkest(*on), Rgb(clWindowText));
    Grid->SetEnabled(false);
    EXPECT_FALSE(Grid->DrawEnabled());
    auto off = Shot();
    EXPECT_EQ(darkest(*off), Rgb(clGrayText));
}

TEST_F(CellPaintTest, LookQueriesResolveTheAutomaticValues) {
    EXPECT_EQ(TVelCustomDBGrid::GetTrueColor(clDefault, clRed, clBlue), clRed);
    EXPECT_EQ(TVelCustomDBGrid::GetTrueColor(clLime, clRed, clBlue), clLime);
    EXPECT_EQ(TVelCustomDBGrid::GetTrueColor(clNone, clRed, clBlue), clBlue);
    EXPECT_EQ(TVelCustomDBGrid::GetTrueColor(clNone, clRed, clDefault), clRed);
    Grid->SetFixedStyle(TFixedStyle::fsFlat);
    EXPECT_EQ(Grid->CheckBoxStyle(TCheckBoxStyle::cbAuto), TCheckBoxStyle::cbFlat);
    EXPECT_EQ(Grid->CheckBoxStyle(TCheckBoxStyle::cbAutoLowered), TCheckBoxStyle::cbLoweredDark);
    EXPECT_EQ(Grid->CheckBoxStyle(TCheckBoxStyle::cbAutoGray), TCheckBoxStyle::cbGray);
    EXPECT_EQ(Grid->CheckBoxStyle(TCheckBoxStyle::cbSoft), TCheckBoxStyle::cbSoft);
    EXPECT_EQ(Grid->GetFixedLineColor(), clBlack);
    Grid->SetFixedStyle(TFixedStyle::fsGreat);
    EXPECT_EQ(Grid->HotButtonsStyle(), THotButtons::hbLowered);
    EXPECT_EQ(Grid->GetFixedLineColor(), cl3DDkShadow);
    Grid->SetHotButtons(THotButtons::hbTile);
    EXPECT_EQ(Grid->HotButtonsStyle(), THotButtons::hbTile);
    EXPECT_EQ(Grid->FocusRectStyle(), TFocusRect::frDefault);

    // The generation of the default colours follows the system profile.
    TSystemProfileScope profile;
    EXPECT_EQ(Grid->DefaultSelectCellColor(), clHighlight);
    profile->ThemesEnabled = true;
    profile->OSMajorVersion = 6;
    profile->OSMinorVersion = 1;
    EXPECT_EQ(Grid->DefaultSelectCellColor(), RGB(19, 125, 255));
    EXPECT_EQ(Grid->DefaultSelectionColor(), RGB(61, 149, 255));
    EXPECT_TRUE(Grid->IsThemeTransparent());
    EXPECT_FALSE(Grid->IsSystemTheme());
    Grid->GetGradient()->SetActive(true);
    EXPECT_EQ(Grid->DefaultSelectRowColor(), RGB(120, 158, 228));
    // Windows 8 and later: the system theme, not transparent.
    profile->OSMinorVersion = 2;
    EXPECT_TRUE(Grid->IsSystemTheme());
    EXPECT_FALSE(Grid->IsThemeTransparent());
    EXPECT_EQ(Grid->GetFixedLineColor(), clBtnFace);
}

}  // namespace
}  // namespace veltest
