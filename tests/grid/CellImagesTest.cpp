// Data cells beyond their text: line colours, gradient backgrounds, check boxes in every frame
// style, expand boxes, column images by ImageDraw mode, image and text rectangles, the
// multi-selected colour and the search match, read back as pixels.
#include <vector>

#include "graphics/PimkitGraph.h"
#include "grid/GridTextWriter.h"
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

// Rows 2 and 4 are multi-selected.
class TSelectingGrid : public TVelDBGrid {
public:
    using TVelDBGrid::TVelDBGrid;
    bool IsRowMultiSelected() const override {
        TField* id = GetDataSet() ? GetDataSet()->FindField("ID") : nullptr;
        return id && id->GetAsInteger() % 2 == 0;
    }
};

class CellImagesTest : public DBGridTest {
protected:
    CellImagesTest() {
        Form->Show();
        Table = std::make_unique<TClientDataSet>();
        Table->GetFieldDefs().Add("ID", TFieldType::ftInteger);
        Table->GetFieldDefs().Add("Name", TFieldType::ftString, 20);
        Table->GetFieldDefs().Add("Done", TFieldType::ftBoolean);
        Table->CreateDataSet();
        for (int i = 1; i <= 6; ++i) {
            Table->Append();
            Table->FieldByName("ID")->SetAsInteger(i);
            Table->FieldByName("Name")->SetAsString("N" + std::to_string(i));
            if (i != 3) Table->FieldByName("Done")->SetAsBoolean(i % 2 == 0);  // row 3: null
            Table->Post();
        }
        Table->First();
        Source = new TDataSource(Form.get());
        Source->SetDataSet(Table.get());
        Grid->SetDataSource(Source);
        Grid->GetGradient()->SetActive(false);
        // Plain cells unless a test wants the current row's colours.
        Grid->SetSelectCellColor(clNone);
        Grid->SetSelectRowColor(clNone);
    }
    std::unique_ptr<TBitmap> Shot() {
        Application().ProcessMessages();
        return Grid->CaptureImage();
    }
    TRect Cell(int DataCol, int DataRow) const {
        return Grid->CellRect(Grid->DataToRawColumn(DataCol), DataRow + Grid->GetTitleOffset());
    }
    void Redraw() { static_cast<TControl*>(Grid)->Invalidate(); }
    TVelColumn* Column(int I) const { return Grid->GetColumns()->GetColumn(I); }
    // The 13x13 box a centred glyph takes in a cell.
    static TRect GlyphBox(const TRect& R) {
        return Bounds(R.Left + (R.Width() - 13) / 2, R.Top + (R.Height() - 13) / 2, 13, 13);
    }
    std::unique_ptr<TClientDataSet> Table;
    TDataSource* Source;
};

TEST_F(CellImagesTest, DataLinesTakeTheirColours) {
    Grid->SetDataColLineColor(clRed);
    Grid->SetDataRowLineColor(clBlue);
    auto b = Shot();
    const TRect r = Cell(0, 1);
    EXPECT_EQ(b->GetPixelColor(r.Right, r.Top + 3), Rgb(clRed));
    EXPECT_EQ(b->GetPixelColor(r.Left + 3, r.Bottom), Rgb(clBlue));
    // Defaults: silver, or gray on a silver grid; clNone keeps the base grid's line.
    Grid->SetDataColLineColor(clDefault);
    Grid->SetDataRowLineColor(clNone);
    b = Shot();
    EXPECT_EQ(b->GetPixelColor(r.Right, r.Top + 3), Rgb(clSilver));
    EXPECT_EQ(b->GetPixelColor(r.Left + 3, r.Bottom), Rgb(clSilver));
    Grid->SetColor(clSilver);
    b = Shot();
    EXPECT_EQ(b->GetPixelColor(r.Right, r.Top + 3), Rgb(clGray));
}

TEST_F(CellImagesTest, GradientBackgroundsForTheChosenKinds) {
    TVelDBGridGradient* g = Grid->GetGradient();
    g->SetActive(true);
    Grid->SetSelectRowColor(clRed);
    Grid->SetStripeColor(clLime);
    auto b = Shot();
    const TRect row = Cell(1, 0), stripe = Cell(1, 1);
    // From the start colour at the top to the shaded colour at the bottom.
    EXPECT_EQ(b->GetPixelColor(row.Left + 1, row.Top), Rgb(clWindow));
    const TColorRef bottom = TColorRef(b->GetPixelColor(row.Left + 1, row.Bottom - 1));
    const TColorRef shade = ColorToRGB(ShadowColor(clRed, -25));
    EXPECT_NEAR(GetRValue(bottom), GetRValue(shade), 20);
    EXPECT_EQ(b->GetPixelColor(stripe.Left + 1, stripe.Top), Rgb(clWindow));
    // Kinds left out of Cells, and an inactive gradient, fill flat.
    g->SetCells({TPimGradientCell::gcSelectedCell});
    b = Shot();
    EXPECT_EQ(b->GetPixelColor(row.Left + 1, row.Top), Rgb(clRed));
    EXPECT_EQ(b->GetPixelColor(stripe.Left + 1, stripe.Top), Rgb(clLime));
    g->SetCells(TPimGradient::DefaultCells());
    SetGradientsEnabled(false);
    b = Shot();
    SetGradientsEnabled(true);
    EXPECT_EQ(b->GetPixelColor(row.Left + 1, row.Top), Rgb(clRed));
}

TEST_F(CellImagesTest, Windows11AndSystemStyleDecisions) {
    TSystemProfileScope profile;
    profile->ThemesEnabled = true;
    profile->OSMajorVersion = 10;
    profile->OSBuildNumber = 22000;
    EXPECT_EQ(Grid->DefaultSelectCellColor(), ShadowColor(clHighlight, -10));
    EXPECT_EQ(Grid->DefaultSelectRowColor(), ShadowColor(clHighlight, 20));
    EXPECT_EQ(Grid->DefaultSelectionColor(), clHighlight);
    profile->OSBuildNumber = 19045;
    EXPECT_EQ(Grid->DefaultSelectCellColor(), RGB(19, 125, 255));
    // The system look needs every one of its conditions.
    using enum TSystemStyleElement;
    EXPECT_TRUE(Grid->IsSystemStyle({sseData}));
    Grid->SetFixedTheme(TFixedTheme::ftNone);
    EXPECT_FALSE(Grid->IsSystemStyle({sseData}));
    Grid->SetFixedTheme(TFixedTheme::ftDefault);
    TVelCustomDBGrid::SetSystemStylesEnabled(false);
    EXPECT_FALSE(Grid->IsSystemStyle({sseData}));
    TVelCustomDBGrid::SetSystemStylesEnabled(true);
    profile->OSMajorVersion = 5;
    EXPECT_FALSE(Grid->IsSystemStyle({sseData}));
    EXPECT_FALSE(Grid->IsSystemStyle({sseFont}));
}

TEST_F(CellImagesTest, CheckBoxFramesByStyle) {
    TVelColumn* done = Column(2);
    done->SetCheckBox(true);
    done->SetImageDraw(TImageDraw::idCenter);
    using S = TCheckBoxStyle;
    // Left outer, left inner and right outer pixels of the box's middle row.
    struct Expect {
        S Style;
        TColor Left, Inner, Right;
    };
    const std::vector<Expect> cases = {
        {S::cbDefault, clBtnShadow, clWindowFrame, clBtnHighlight},
        {S::cbSoft, clBtnShadow, cl3DDkShadow, clBtnHighlight},
        {S::cbLoweredDark, clWindowFrame, clWindow, cl3DLight},
        {S::cbLoweredGray, cl3DDkShadow, clWindow, cl3DLight},
        {S::cbLoweredMild, clBtnShadow, clWindow, cl3DLight},
        {S::cbFlat, clWindowFrame, clWindow, clWindowFrame},
        {S::cbGray, cl3DDkShadow, clWindow, cl3DDkShadow},
        {S::cbMild, clBtnShadow, clWindow, clBtnShadow},
    };
    const TRect box = GlyphBox(Cell(2, 0));  // row 1: unchecked, white inside
    const int y = box.Top + 6;
    for (const Expect& e : cases) {
        done->SetCheckBoxStyle(e.Style);
        auto b = Shot();
        EXPECT_EQ(b->GetPixelColor(box.Left, y), Rgb(e.Left)) << int(e.Style);
        EXPECT_EQ(b->GetPixelColor(box.Left + 1, y), Rgb(e.Inner)) << int(e.Style);
        EXPECT_EQ(b->GetPixelColor(box.Right - 1, y), Rgb(e.Right)) << int(e.Style);
    }
    // The automatic style resolves by FixedStyle before it is drawn.
    done->SetCheckBoxStyle(S::cbAuto);
    Grid->SetFixedStyle(TFixedStyle::fsFlat);
    auto flat = Shot();
    EXPECT_EQ(flat->GetPixelColor(box.Right - 1, y), Rgb(clWindowFrame));
}

TEST_F(CellImagesTest, CheckBoxGlyphsFollowTheValueAndTheGrid) {
    TVelColumn* done = Column(2);
    done->SetCheckBox(true);
    done->SetCheckBoxKind(TCheckBoxKind::ckCross);
    // What the built-in glyphs look like on the cell colour.
    TCustomImageList glyphs(nullptr, 13, 13);
    glyphs.AddResource("VELDBCHECKBOXES");
    auto matches = [&](TBitmap& Shot, const TRect& Box, int Index, bool Enabled) {
        TBitmap ref(13, 13);
        ref.Fill(PixelFromColor(clWindow));
        glyphs.Draw(ref.Canvas(), 0, 0, Index, Enabled);
        // The frame is the style's; compare the inside.
        for (int y = 2; y < 11; ++y)
            for (int x = 2; x < 11; ++x)
                if (Shot.GetPixelColor(Box.Left + x, Box.Top + y) != ref.GetPixelColor(x, y)) return false;
        return true;
    };
    auto b = Shot();
    EXPECT_TRUE(matches(*b, GlyphBox(Cell(2, 0)), 3, true));  // unchecked cross
    EXPECT_TRUE(matches(*b, GlyphBox(Cell(2, 1)), 4, true));  // checked
    EXPECT_TRUE(matches(*b, GlyphBox(Cell(2, 2)), 5, true));  // null: neither
    // No text beside a box without a margin: the cell's left part stays blank.
    for (int x = Cell(2, 1).Left + 1; x < GlyphBox(Cell(2, 1)).Left; ++x)
        EXPECT_EQ(b->GetPixelColor(x, Cell(2, 1).Top + 8), Rgb(clWindow));
    Grid->SetEnabled(false);
    b = Shot();
    EXPECT_TRUE(matches(*b, GlyphBox(Cell(2, 1)), 4, false));
    EXPECT_FALSE(matches(*b, GlyphBox(Cell(2, 1)), 4, true));
    // Themed boxes draw the element instead, once themes are on.
    Grid->SetEnabled(true);
    done->SetCheckBoxThemed(true);
    b = Shot();
    EXPECT_TRUE(matches(*b, GlyphBox(Cell(2, 1)), 4, true));
    TSystemProfileScope profile;
    profile->ThemesEnabled = true;
    Redraw();
    b = Shot();
    EXPECT_FALSE(matches(*b, GlyphBox(Cell(2, 1)), 4, true));
}

TEST_F(CellImagesTest, ExpandBoxesAndTheirIndex) {
    TVelColumn* name = Column(1);
    name->SetExpandBox(true);
    name->SetExpandBoxSize(TExpandBoxSize::ebMedium);
    TCustomImageList glyphs(nullptr, 13, 13);
    glyphs.AddResource("VELDBEXPANDBOXES");
    auto shows = [&](int DataRow, int Index) {
        auto b = Shot();
        TBitmap ref(13, 13);
        ref.Fill(PixelFromColor(clWindow));
        glyphs.Draw(ref.Canvas(), 0, 0, Index);
        const TRect box = GlyphBox(Cell(1, DataRow));
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x)
                if (b->GetPixelColor(box.Left + x, box.Top + y) != ref.GetPixelColor(x, y)) return false;
        return true;
    };
    EXPECT_TRUE(shows(0, 3));  // closed, medium
    name->ToggleExpandBox();    // the current record, row 0
    EXPECT_TRUE(shows(0, 4));
    EXPECT_TRUE(shows(1, 3));
    // Without images of its own the column's state may be changed by the grid's event.
    Grid->SetOnCalcImageIndex([](TObject*, TVelColumn*, int& Index) { Index = 2; });
    Redraw();
    EXPECT_TRUE(shows(1, 5));
    Grid->SetOnCalcImageIndex([](TObject*, TVelColumn*, int& Index) { Index = 7; });  // out of range
    Redraw();
    EXPECT_TRUE(shows(1, 3));
}

TEST_F(CellImagesTest, ColumnImagesByDrawMode) {
    // Image 1 (the ID of row 0): 6x6, left half red, right half blue; image 0 plain green.
    TImageList images(Form.get(), 6, 6);
    TBitmap green(6, 6), halves(6, 6);
    green.Fill(PixelFromColor(clLime));
    halves.Fill(PixelFromColor(clBlue));
    halves.Canvas().FillRectColor(TRect{0, 0, 3, 6}, clRed);
    images.Add(green);
    images.Add(halves);
    TVelColumn* id = Column(0);
    id->SetImages(&images);
    Table->Next();  // row 0 without the focus frame
    id->SetWidth(60);
    // No text in the way: the index still comes from the field (row 0 has ID 1).
    Grid->SetOnColGetText([&](TVelColumn* Col, std::string& Text, TTextKind) {
        if (Col == id) Text.clear();
    });
    const TRect r = Cell(0, 0);
    const int midY = r.Top + r.Height() / 2;
    auto count = [&](TBitmap& B, TColor C) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += B.GetPixelColor(x, y) == Rgb(C);
        return n;
    };

    id->SetImageDraw(TImageDraw::idCenter);
    auto b = Shot();
    const int cx = r.Left + (r.Width() - 6) / 2;
    EXPECT_EQ(b->GetPixelColor(cx, midY), Rgb(clRed));
    EXPECT_EQ(b->GetPixelColor(cx + 3, midY), Rgb(clBlue));
    EXPECT_EQ(count(*b, clRed), 18);

    id->SetAlignment(TAlignment::taRightJustify);
    id->SetImageDraw(TImageDraw::idAlignment);
    b = Shot();
    EXPECT_EQ(b->GetPixelColor(r.Right - 1, midY), Rgb(clBlue));
    EXPECT_EQ(b->GetPixelColor(r.Right - 4, midY), Rgb(clRed));
    id->SetImageDraw(TImageDraw::idOpposite);
    b = Shot();
    EXPECT_EQ(b->GetPixelColor(r.Left, midY), Rgb(clRed));
    id->SetAlignment(TAlignment::taLeftJustify);

    // Tiles repeat from the cell's corner, cut at its edges.
    id->SetImageDraw(TImageDraw::idTileCell);
    b = Shot();
    EXPECT_EQ(b->GetPixelColor(r.Left, r.Top), Rgb(clRed));
    EXPECT_EQ(b->GetPixelColor(r.Left + 3, r.Top), Rgb(clBlue));
    EXPECT_EQ(b->GetPixelColor(r.Left + 6, r.Top + 6), Rgb(clRed));
    EXPECT_EQ(b->GetPixelColor(r.Right, r.Top), Rgb(clSilver));  // the line is left alone

    // Stretched over the whole cell: the left half red.
    id->SetImageDraw(TImageDraw::idStretch);
    b = Shot();
    EXPECT_EQ(b->GetPixelColor(r.Left, r.Bottom - 1), Rgb(clRed));
    EXPECT_EQ(b->GetPixelColor(r.Right - 1, r.Top), Rgb(clBlue));

    // Scaled keeps the square: as high as the cell, centred.
    id->SetImageDraw(TImageDraw::idScaled);
    b = Shot();
    EXPECT_EQ(b->GetPixelColor(r.Left, midY), Rgb(clWindow));
    EXPECT_EQ(b->GetPixelColor(r.Left + r.Width() / 2 - 2, r.Top), Rgb(clRed));
    // An index outside the list draws nothing.
    Grid->SetOnCalcImageIndex([](TObject*, TVelColumn*, int& Index) { Index = 9; });
    Redraw();
    b = Shot();
    EXPECT_EQ(count(*b, clRed), 0);
}

TEST_F(CellImagesTest, ImageMarginIndentsImageAndText) {
    const TRect cell{10, 0, 110, 20};
    // Level 2 with a 16-pixel margin: the box at 32..48, the text from 59.
    EXPECT_EQ(TVelCustomDBGrid::CellImageRect(cell, 16, 2, false), (TRect{42, 0, 58, 20}));
    EXPECT_EQ(TVelCustomDBGrid::CellTextRect(cell, 16, 2, false), (TRect{59, 0, 110, 20}));
    EXPECT_EQ(TVelCustomDBGrid::CellImageRect(cell, 16, 2, true), (TRect{62, 0, 78, 20}));
    EXPECT_EQ(TVelCustomDBGrid::CellTextRect(cell, 16, 2, true), (TRect{10, 0, 61, 20}));
    // Never past the other side; no margin means the whole cell.
    EXPECT_EQ(TVelCustomDBGrid::CellImageRect(cell, 40, 3, false), (TRect{110, 0, 110, 20}));
    EXPECT_EQ(TVelCustomDBGrid::CellTextRect(cell, 40, 3, false), (TRect{110, 0, 110, 20}));
    EXPECT_EQ(TVelCustomDBGrid::CellTextRect(cell, 0, 3, false), cell);

    // In a painted cell: the check box sits in the margin box and the text follows it.
    TVelColumn* done = Column(2);
    done->SetCheckBox(true);
    done->SetImageMargin(16);
    done->SetWidth(80);
    auto b = Shot();
    const TRect r = Cell(2, 1);
    const TRect box = GlyphBox(TRect{r.Left, r.Top, r.Left + 16, r.Bottom});
    EXPECT_EQ(b->GetPixelColor(box.Left, box.Top + 6), Rgb(clBtnShadow));
    bool ink = false;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left + 17; x < r.Right; ++x) ink |= b->GetPixelColor(x, y) == Rgb(clWindowText);
    EXPECT_TRUE(ink);  // "True" beside the box
}

TEST_F(CellImagesTest, MultiSelectedRowsTakeTheSelectionColour) {
    auto* grid = new TSelectingGrid(Form.get());
    grid->SetBounds(0, 0, 400, 300);
    grid->SetParent(Form.get());
    grid->SetDataSource(Source);
    grid->SetSelectCellColor(clNone);
    grid->SetSelectRowColor(clNone);
    grid->SetSelectionColor(clYellow);
    Grid->SetVisible(false);
    auto shot = [&] {
        Application().ProcessMessages();
        return grid->CaptureImage();
    };
    auto cell = [&](int DataRow) { return grid->CellRect(grid->DataToRawColumn(1), DataRow + grid->GetTitleOffset()); };
    grid->GetGradient()->SetActive(false);
    using enum TVelDBGridOption;
    grid->SetOptions(grid->GetOptions() - TVelDBGridOptions{dgMultiSelect, dgInternalSelect});
    auto b = shot();
    EXPECT_EQ(b->GetPixelColor(cell(1).Left + 1, cell(1).Bottom - 2), Rgb(clWindow));
    grid->SetOptions(grid->GetOptions() + dgMultiSelect);
    b = shot();
    EXPECT_EQ(b->GetPixelColor(cell(1).Left + 1, cell(1).Bottom - 2), Rgb(clYellow));
    EXPECT_EQ(b->GetPixelColor(cell(2).Left + 1, cell(2).Bottom - 2), Rgb(clWindow));
    // Cells mode needs a column range: without one no mode is in force and no cell shows.
    grid->SetMultiSelectOptions({TMultiSelection::msCells});
    EXPECT_EQ(grid->GetMultiSelect(), TMultiSelection::msNone);
    b = shot();
    EXPECT_EQ(b->GetPixelColor(cell(1).Left + 1, cell(1).Bottom - 2), Rgb(clWindow));
}

TEST_F(CellImagesTest, TheSearchTextReachesTheTextWriter) {
    Grid->GetSearch()->SetText("3");
    std::vector<std::string> found;
    Grid->SetOnDrawColumnCell([&](TObject*, const TRect&, int, TVelColumn* Col, TGridDrawState) {
        if (WriteTextMatch().Found) found.push_back(Col->GetFieldName() + ":" + Col->GetDisplayText());
    });
    Shot();
    EXPECT_EQ(found, (std::vector<std::string>{"ID:3", "Name:N3"}));
    // Only the current column's cells with soCurrentCol.
    found.clear();
    Grid->GetSearch()->SetOptions({TVelSearchOption::soCurrentCol});
    Redraw();
    Shot();
    EXPECT_EQ(found, (std::vector<std::string>{"ID:3"}));
}

}  // namespace
}  // namespace veltest

namespace veltest {
namespace {

TEST_F(CellImagesTest, LoweredAutoStyleAndLoading) {
    TVelColumn* done = Column(2);
    done->SetCheckBox(true);
    done->SetCheckBoxStyle(TCheckBoxStyle::cbAutoLowered);
    Grid->SetFixedStyle(TFixedStyle::fsFlat);
    auto b = Shot();
    const TRect box = GlyphBox(Cell(2, 0));
    // cbLoweredDark: a mono edge top and left, the light inner edge bottom and right.
    EXPECT_EQ(b->GetPixelColor(box.Left, box.Top + 6), Rgb(clWindowFrame));
    EXPECT_EQ(b->GetPixelColor(box.Right - 1, box.Top + 6), Rgb(cl3DLight));
    // While loading a data cell shows only its background.
    Grid->SetSelectRowColor(clRed);
    Grid->SetComponentStateFlag(TComponentStateFlag::csLoading, true);
    Redraw();
    b = Shot();
    Grid->SetComponentStateFlag(TComponentStateFlag::csLoading, false);
    const TRect r = Cell(1, 0);
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) ASSERT_EQ(b->GetPixelColor(x, y), Rgb(clWindow)) << x << "," << y;
}

}  // namespace
}  // namespace veltest

namespace veltest {
namespace {

TEST_F(CellImagesTest, OpaqueBoxesAndTheSelectColumn) {
    // On a gradient row an opaque box shows the row's own colour around its glyph.
    Grid->GetGradient()->SetActive(true);
    Grid->SetSelectRowColor(clRed);
    TVelColumn* name = Column(1);
    name->SetExpandBox(true);
    name->SetExpandBoxSize(TExpandBoxSize::ebMedium);
    const TRect box = GlyphBox(Cell(1, 0));
    auto b = Shot();
    EXPECT_EQ(b->GetPixelColor(box.Left, box.Top), Rgb(clRed));
    name->SetTransparent(true);
    b = Shot();
    EXPECT_NE(b->GetPixelColor(box.Left, box.Top), Rgb(clRed));

    // A check box without a field shows whether its row is selected.
    auto* grid = new TSelectingGrid(Form.get());
    grid->SetBounds(0, 0, 400, 300);
    grid->SetParent(Form.get());
    grid->SetDataSource(Source);
    Grid->SetVisible(false);
    TVelColumn* select = grid->GetColumns()->Add();
    select->SetCheckBox(true);
    select->SetImageDraw(TImageDraw::idCenter);
    Application().ProcessMessages();
    b = grid->CaptureImage();
    auto ink = [&](int DataRow) {
        const TRect r = grid->CellRect(grid->DataToRawColumn(0), DataRow + grid->GetTitleOffset());
        const TRect g = GlyphBox(r);
        return b->GetPixelColor(g.Left + 3, g.Top + 5);
    };
    EXPECT_EQ(ink(0), Rgb(clWindow));       // ID 1
    EXPECT_EQ(ink(1), Rgb(clWindowText));   // ID 2, selected
    EXPECT_EQ(ink(3), Rgb(clWindowText));   // ID 4
}

}  // namespace
}  // namespace veltest

namespace veltest {
namespace {

TEST_F(DBGridTest, TreeColumnsIndentByTheRowLevel) {
    Form->Show();
    auto table = std::make_unique<TClientDataSet>();
    table->GetFieldDefs().Add("Name", TFieldType::ftString, 20);
    table->GetFieldDefs().Add("RowLevel", TFieldType::ftInteger);
    table->CreateDataSet();
    for (int level : {0, 2}) {
        table->Append();
        table->FieldByName("Name")->SetAsString("L" + std::to_string(level));
        table->FieldByName("RowLevel")->SetAsInteger(level);
        table->Post();
    }
    table->First();
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(table.get());
    Grid->SetDataSource(source);
    Grid->GetGradient()->SetActive(false);
    Grid->SetSelectCellColor(clNone);
    Grid->SetSelectRowColor(clNone);
    TVelColumn* name = Grid->GetColumns()->GetColumn(0);
    name->SetExpandBox(true);
    name->SetExpandBoxTree(true);
    name->SetImageMargin(16);
    name->SetWidth(100);
    Grid->GetTreeView()->SetActive(true);
    Application().ProcessMessages();
    auto b = Grid->CaptureImage();
    // A tree column's box is the tree's (a leaf dot until the tree view runs), its 13x13
    // glyph centred in the 16-pixel box of its level.
    auto dotAt = [&](int DataRow, int Level) {
        const TRect r = Grid->CellRect(Grid->DataToRawColumn(0), DataRow + Grid->GetTitleOffset());
        const int x = r.Left + Level * 16 + 1, y = r.Top + (r.Height() - 13) / 2;
        return b->GetPixelColor(x + 5, y + 5) == RGB(128, 128, 128);
    };
    EXPECT_TRUE(dotAt(0, 0));
    EXPECT_FALSE(dotAt(1, 0));
    EXPECT_TRUE(dotAt(1, 2));
}

}  // namespace
}  // namespace veltest

namespace veltest {
namespace {

TEST_F(DBGridTest, GraphicBlobsShowTheirPicture) {
    Form->Show();
    auto table = std::make_unique<TClientDataSet>();
    table->GetFieldDefs().Add("Pic", TFieldType::ftGraphic);
    table->CreateDataSet();
    TBitmap red(6, 6);
    red.Fill(PixelFromColor(clRed));
    const TBytes bmp = red.SaveToBuffer();
    const TBytes header = {1, 0, 0, 1, 0, 0, 0, 0};
    TBytes headed = header;
    headed.insert(headed.end(), bmp.begin(), bmp.end());
    const TBytes garbage = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (const TBytes* b : std::vector<const TBytes*>{&bmp, &headed, &garbage}) {
        table->Append();
        static_cast<TBlobField*>(table->FieldByName("Pic"))->SetAsBytes(*b);
        table->Post();
    }
    table->Append();
    table->Post();  // null
    table->First();
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(table.get());
    Grid->SetDataSource(source);
    Grid->GetGradient()->SetActive(false);
    Grid->SetSelectCellColor(clNone);
    Grid->SetSelectRowColor(clNone);
    auto center = [&](TBitmap& B, int DataRow) {
        const TRect r = Grid->CellRect(Grid->DataToRawColumn(0), DataRow + Grid->GetTitleOffset());
        return B.GetPixelColor(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
    };
    Application().ProcessMessages();
    auto b = Grid->CaptureImage();
    EXPECT_EQ(center(*b, 0), Rgb(clRed));
    EXPECT_EQ(center(*b, 1), Rgb(clRed));
    EXPECT_NE(center(*b, 2), Rgb(clRed));
    EXPECT_NE(center(*b, 3), Rgb(clRed));
    // ShowBlob off: the field's text instead.
    Grid->GetColumns()->GetColumn(0)->SetShowBlob(false);
    Application().ProcessMessages();
    b = Grid->CaptureImage();
    EXPECT_NE(center(*b, 0), Rgb(clRed));
}

}  // namespace
}  // namespace veltest

namespace veltest {
namespace {

TEST_F(CellImagesTest, TheDrawingEventMayDrawAnyColumnByDefault) {
    TVelColumn* done = Column(2);
    done->SetCheckBox(true);
    Grid->SetDefaultDrawing(false);
    Grid->GetSearch()->SetText("N");
    bool nameMatched = false;
    // The name cells are drawn with the ID column's look; the box column with its own.
    Grid->SetOnDrawColumnCell([&](TObject*, const TRect& Rect, int DataCol, TVelColumn* Col, TGridDrawState State) {
        Grid->DefaultDrawColumnCell(Rect, DataCol, Col == Column(1) ? Column(0) : Col, State);
        if (Col == Column(1)) nameMatched |= WriteTextMatch().Found;
    });
    auto b = Shot();
    EXPECT_FALSE(nameMatched);
    const TRect box = GlyphBox(Cell(2, 1));
    EXPECT_EQ(b->GetPixelColor(box.Left + 3, box.Top + 5), Rgb(clWindowText));  // checked
}

}  // namespace
}  // namespace veltest
