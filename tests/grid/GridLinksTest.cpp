// The grid among other components: form streaming, the data source rules, linked grids and
// the removal of everything the grid refers to. Run under AddressSanitizer, the lifecycle
// cases also prove that no dangling reference is left behind.
#include <string>

#include "platform/classes/Errors.h"
#include "platform/classes/PropAccess.h"
#include "platform/classes/Streaming.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Hints.h"
#include "platform/controls/Menus.h"
#include "platform/db/DBTypes.h"
#include "platform/db/sqlite/SQLDataSets.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/Exceptions.h"
#include "tests/grid/GridTestUtil.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace veltest {
namespace {

using GridLinksTest = DBGridTest;

TEST_F(GridLinksTest, FormWithAGridRoundTripsWritingOnlyChanges) {
    auto* source = new TDataSource(Form.get());
    source->SetName("Source1");
    auto* images = new TImageList(Form.get());
    images->SetName("Images1");
    auto* master = NewGrid("Master");
    Grid->SetDataSource(source);
    Grid->SetTitleImages(images);
    Grid->SetMasterGrid(master);
    Grid->SwitchOptions({TVelDBGridOption::dgRowSelect}, true);
    Grid->SwitchOptionsEx({TVelDBGridOptionEx::dgTotalFooter}, true);
    Grid->SetStripeColor(clYellow);
    Grid->SetSelectRowColor(clNone);
    Grid->GetTitleFont()->SetStyle(TFontStyles{TFontStyle::fsBold});
    Grid->GetTitleFont()->SetColor(clNavy);
    Grid->SetIndicatorWidth(12);
    Grid->SetFillerHint("Menu");
    Grid->GetSearch()->SetIncremental(true);
    Grid->GetTotals()->SetDataMaxRow(7);
    Grid->GetScrollProp()->SetColor(clRed);
    TVelColumn* col = Grid->GetColumns()->Add();
    col->SetFieldName("Name");
    col->SetWidth(120);
    col->GetTitle()->SetCaption("Customer");
    const std::string text = ComponentToText(Form.get());

    for (const char* expected :
         {"DataSource = Source1", "TitleImages = Images1", "MasterGrid = Master", "dgRowSelect",
          "dgTotalFooter", "dgBlankRow", "StripeColor = clYellow", "SelectRowColor = clNone",
          "TitleFont.Style = [fsBold]", "TitleFont.Color = clNavy", "IndicatorWidth = 12",
          "FillerHint = 'Menu'", "Search.Incremental = True", "Totals.DataMaxRow = 7",
          "ScrollProp.ParentColor = False", "ScrollProp.Color = clRed", "FieldName = 'Name'",
          "Width = 120", "Title.Caption = 'Customer'"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    // Defaults stay out, and so does what follows from other values.
    for (const char* absent :
         {"DrawingOptions", "HighlightText", "TitleFont.Name", "TitleFont.Height", "HeaderFont",
          "OptionsExt", "ResizeOptions", "DoubleBuffered", "FillerIndex", "ToolMenuItems", "Ctl3D ",
          "ScrollBars", "EditorColor", "Totals.LinesCount", "BiDiMode"})
        EXPECT_EQ(text.find(absent), std::string::npos) << absent << "\n" << text;
    // The master grid has nothing of its own to say but its columns (it drives a grid now).
    const auto masterAt = text.find("object Master");
    ASSERT_NE(masterAt, std::string::npos);

    TForm read(nullptr);
    ReadComponentText(text, &read);
    auto* grid = static_cast<TVelDBGrid*>(read.FindComponent("Grid1"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetDataSource(), read.FindComponent("Source1"));
    EXPECT_EQ(grid->GetTitleImages(), read.FindComponent("Images1"));
    EXPECT_EQ(grid->GetMasterGrid(), read.FindComponent("Master"));
    EXPECT_EQ(grid->GetOptions(), Grid->GetOptions());
    EXPECT_EQ(grid->GetOptionsEx(), Grid->GetOptionsEx());
    EXPECT_EQ(grid->GetDrawingOptions(), Grid->GetDrawingOptions());
    EXPECT_TRUE(grid->GetTitleFont()->SameAs(*Grid->GetTitleFont()));
    EXPECT_EQ(grid->GetIndicatorWidth(), 12);
    EXPECT_EQ(grid->GetScrollProp()->GetColor(), clRed);
    ASSERT_EQ(grid->GetColumns()->Count(), 1);
    EXPECT_EQ(grid->GetColumns()->GetColumn(0)->GetWidth(), 120);
    EXPECT_EQ(grid->GetColumns()->GetColumn(0)->GetTitle()->GetCaption(), "Customer");
    // Loaded ran the layout: one column besides the indicator.
    EXPECT_EQ(grid->GetColCount(), 2);
    EXPECT_EQ(ComponentToText(&read), text);

    // A text that breaks a rule reads with the rule applied.
    TForm strict(nullptr);
    std::string edited = text;
    const auto at = edited.find("dgRowSelect");
    edited.insert(at, "dgEditing, ");
    ReadComponentText(edited, &strict);
    auto* g2 = static_cast<TVelDBGrid*>(strict.FindComponent("Grid1"));
    ASSERT_NE(g2, nullptr);
    EXPECT_FALSE(g2->GetOptions().Contains(TVelDBGridOption::dgEditing));
}

TEST_F(GridLinksTest, BadFormTextRaisesAndNamesTheValue) {
    const std::string text =
        "object Form1: TForm\n"
        "  object Grid1: TVelDBGrid\n"
        "    Options = [dgEditing, dgWobble]\n"
        "  end\n"
        "end\n";
    TForm read(nullptr);
    try {
        ReadComponentText(text, &read);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("dgWobble"), std::string::npos) << e.what();
    }
    EXPECT_EQ(read.FindComponent("Grid1"), nullptr);
}

TEST_F(GridLinksTest, AUniDirectionalDataSetIsRefused) {
    veltest::TempDir dir;
    TSQLiteConnection db;
    db.SetFileName(dir.File("one.db"));
    db.SetCreateIfMissing(true);
    db.ExecSQL("CREATE TABLE t (id INTEGER PRIMARY KEY); INSERT INTO t VALUES (1)");
    TQuery q;
    q.SetConnection(&db);
    q.SetUniDirectional(true);
    q.GetSQL()->SetText("SELECT id FROM t");
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(&q);
    auto table = MakeTable(2);
    auto* kept = new TDataSource(Form.get());
    kept->SetDataSet(table.get());
    Grid->SetDataSource(kept);
    EXPECT_THROW(Grid->SetDataSource(source), EDatabaseError);
    EXPECT_EQ(Grid->GetDataSource(), kept);
    EXPECT_THROW(Grid->GetTotals()->SetDataSource(source), EDatabaseError);
    // A source whose dataset turns one-way later is refused when the link activates.
    Grid->SetDataSource(nullptr);
    q.SetUniDirectional(false);
    Grid->SetDataSource(source);
    q.SetUniDirectional(true);
    EXPECT_THROW(q.Open(), EDatabaseError);
    Grid->SetDataSource(nullptr);
}

TEST_F(GridLinksTest, DataSourceRulesAndFreeingTheSourceFirst) {
    auto table = MakeTable(2);
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(table.get());
    auto* totalsSource = new TDataSource(Form.get());
    totalsSource->SetName("Totals1");
    Grid->GetTotals()->SetDataSource(totalsSource);
    // The totals' source cannot feed the grid, nor the grid's the totals.
    EXPECT_THROW(Grid->SetDataSource(totalsSource), EInvalidGridOperation);
    EXPECT_EQ(Grid->GetDataSource(), nullptr);
    Grid->SetDataSource(source);
    EXPECT_THROW(Grid->GetTotals()->SetDataSource(source), EInvalidGridOperation);
    EXPECT_EQ(Grid->GetTotals()->GetDataSource(), totalsSource);
    EXPECT_EQ(Grid->GetColumns()->Count(), 3);
    TField* name = table->FieldByName("Name");
    EXPECT_EQ(Grid->GetColumns()->GetColumn(1)->GetField(), name);

    // Freeing the sources clears both links; the columns forget the fields with the dataset.
    delete source;
    EXPECT_EQ(Grid->GetDataSource(), nullptr);
    delete totalsSource;
    EXPECT_EQ(Grid->GetTotals()->GetDataSource(), nullptr);
    // Without fields the grid shows one empty column.
    ASSERT_EQ(Grid->GetColumns()->Count(), 1);
    EXPECT_EQ(Grid->GetColumns()->GetColumn(0)->GetFieldName(), "");
    table.reset();
    Grid->LayoutChanged();
}

TEST_F(GridLinksTest, FreedFieldsLeaveCustomisedColumns) {
    auto table = MakeTable(2);
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(table.get());
    Grid->SetDataSource(source);
    TVelColumn* col = Grid->GetColumns()->Add();
    col->SetFieldName("Price");
    ASSERT_EQ(col->GetField(), table->FieldByName("Price"));
    const int layouts = Grid->GetLayoutCount();
    // The dataset goes while the grid still shows it: the fields go first, then the source
    // loses its dataset. Nothing may keep pointing at a freed field.
    table.reset();
    EXPECT_EQ(col->GetField(), nullptr);
    EXPECT_GT(Grid->GetLayoutCount(), layouts);
    EXPECT_EQ(Grid->GetColumns()->GetState(), TDBGridColumnsState::csCustomized);
}

TEST_F(GridLinksTest, ReferencesAreClearedWhenTheirComponentGoes) {
    auto* images = new TImageList(Form.get());
    auto* markers = new TImageList(Form.get());
    auto* menu = new TPopupMenu(Form.get());
    auto* hint = new TCustomHint(Form.get());
    Grid->SetTitleImages(images);
    Grid->SetTitleMarkers(markers);
    Grid->SetIndicatorImages(images);
    Grid->SetFillerPopupMenu(menu);
    Grid->SetIndicatorPopupMenu(menu);
    Grid->SetCustomHint(hint);
    EXPECT_FALSE(Grid->GetParentCustomHint());
    Grid->GetTotals()->SetImages(markers);
    TVelColumn* col = Grid->GetColumns()->Add();
    col->SetPopupMenu(menu);
    col->SetImages(images);
    col->GetTitle()->SetDropDownMenu(menu);
    EXPECT_EQ(col->GetExpandStyle(), TVelColumnExpandStyle::cesDropDownMenu);
    delete images;
    EXPECT_EQ(Grid->GetTitleImages(), nullptr);
    EXPECT_EQ(Grid->GetIndicatorImages(), nullptr);
    EXPECT_EQ(col->GetImages(), nullptr);
    EXPECT_EQ(Grid->GetTitleMarkers(), markers);
    delete menu;
    EXPECT_EQ(Grid->GetFillerPopupMenu(), nullptr);
    EXPECT_EQ(Grid->GetIndicatorPopupMenu(), nullptr);
    EXPECT_EQ(col->GetPopupMenu(), nullptr);
    EXPECT_EQ(col->GetTitle()->GetDropDownMenu(), nullptr);
    delete markers;
    EXPECT_EQ(Grid->GetTitleMarkers(), nullptr);
    EXPECT_EQ(Grid->GetTotals()->GetImages(), nullptr);
    delete hint;
    EXPECT_EQ(Grid->GetCustomHint(), nullptr);
}

TEST_F(GridLinksTest, MenuAndHintReferencesTakeOnlyTheirKind) {
    // A form naming a component of another kind in a menu property is refused when read.
    const char* text =
        "object Form1: TForm\n"
        "  object Source1: TDataSource\n"
        "  end\n"
        "  object Grid1: TVelDBGrid\n"
        "    FillerPopupMenu = Source1\n"
        "  end\n"
        "end\n";
    TForm read(nullptr);
    try {
        ReadComponentText(text, &read);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("FillerPopupMenu"), std::string::npos) << e.what();
    }
    auto* menu = new TPopupMenu(Form.get());
    menu->SetName("Menu1");
    Grid->SetIndicatorPopupMenu(menu);
    EXPECT_THROW(SetObjectProp(Grid, "IndicatorPopupMenu", Form.get()), EPropertyError);
    EXPECT_EQ(Grid->GetIndicatorPopupMenu(), menu);
    EXPECT_EQ(GetObjectProp(Grid, "IndicatorPopupMenu"), menu);
}

TEST_F(GridLinksTest, DragSettingsAndTheThreeDLookStreamAndFollowTheParent) {
    auto* panel = new TPanel(Form.get());
    panel->SetParent(Form.get());
    Grid->SetParent(panel);
    // The look follows the parent until the grid is given its own.
    panel->SetCtl3D(false);
    EXPECT_FALSE(Grid->GetCtl3D());
    EXPECT_TRUE(Grid->GetParentCtl3D());
    Grid->SetCtl3D(true);
    EXPECT_FALSE(Grid->GetParentCtl3D());
    EXPECT_FALSE(Grid->GetCtl3DAuto());
    panel->SetCtl3D(true);
    panel->SetCtl3D(false);
    EXPECT_TRUE(Grid->GetCtl3D());
    Grid->SetParentCtl3D(true);
    EXPECT_FALSE(Grid->GetCtl3D());

    Grid->SetDragMode(TDragMode::dmAutomatic);
    Grid->SetDragKind(TDragKind::dkDock);
    Grid->SetDragCursor(crNoDrop);
    const std::string text = ComponentToText(Form.get());
    for (const char* expected : {"DragMode = dmAutomatic", "DragKind = dkDock"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_EQ(text.find("ParentCtl3D"), std::string::npos) << text;
    EXPECT_EQ(text.find("Ctl3D ="), std::string::npos) << text;
    TForm read(nullptr);
    ReadComponentText(text, &read);
    auto* grid = static_cast<TVelDBGrid*>(read.FindComponent("Grid1"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetDragMode(), TDragMode::dmAutomatic);
    EXPECT_EQ(grid->GetDragKind(), TDragKind::dkDock);
    EXPECT_EQ(grid->GetDragCursor(), crNoDrop);
    EXPECT_TRUE(grid->GetParentCtl3D());
}

TEST_F(GridLinksTest, AFollowerTakesItsMastersSettingsAndNeverPushesItsOwnBack) {
    auto* follower = NewGrid("F");
    for (auto* g : {static_cast<TVelCustomDBGrid*>(Grid), static_cast<TVelCustomDBGrid*>(follower)})
        for (int i = 0; i < 4; ++i) g->GetColumns()->Add()->SetWidth(40 + i);
    Grid->SetFixedCols(1);
    Grid->SetIndicatorWidth(11);
    follower->SetFixedCols(2);
    follower->SetIndicatorWidth(20);
    follower->SetBiDiMode(TBiDiMode::bdRightToLeft);
    follower->GetColumns()->GetColumn(0)->SetWidth(90);

    // Taking the indicator width makes the follower synchronise in the middle of the pass;
    // it must not send its own fixed columns and reading order back to the master.
    follower->SetMasterGrid(Grid);
    for (auto* g : {static_cast<TVelCustomDBGrid*>(Grid), static_cast<TVelCustomDBGrid*>(follower)}) {
        SCOPED_TRACE(g->GetName());
        EXPECT_EQ(g->GetFixedCols(), 1);
        EXPECT_EQ(g->GetIndicatorWidth(), 11);
        EXPECT_EQ(g->GetBiDiMode(), TBiDiMode::bdLeftToRight);
        EXPECT_EQ(g->GetColumns()->GetColumn(0)->GetWidth(), 40);
    }
    // A later change on either side still reaches the other one.
    follower->SetIndicatorWidth(15);
    EXPECT_EQ(Grid->GetIndicatorWidth(), 15);
    Grid->GetColumns()->GetColumn(2)->SetWidth(70);
    EXPECT_EQ(follower->GetColumns()->GetColumn(2)->GetWidth(), 70);
}

TEST_F(GridLinksTest, LinkedGridsFormARingAndFollowTheirMaster) {
    auto* b = NewGrid("B");
    auto* c = NewGrid("C");
    for (auto* g : {static_cast<TVelCustomDBGrid*>(Grid), static_cast<TVelCustomDBGrid*>(b),
                    static_cast<TVelCustomDBGrid*>(c)})
        for (int i = 0; i < 3; ++i) g->GetColumns()->Add();
    Grid->SetStretchMode(true);
    b->SetStretchMode(true);
    b->SetMasterGrid(Grid);
    EXPECT_FALSE(b->GetStretchMode());
    c->SetMasterGrid(Grid);
    // Grid drives C, C drives B, B closes the ring.
    EXPECT_EQ(Grid->GetManageGrid(), c);
    EXPECT_EQ(c->GetManageGrid(), b);
    EXPECT_EQ(b->GetManageGrid(), Grid);
    EXPECT_EQ(b->GetMasterGrid(), c);
    EXPECT_EQ(c->GetMasterGrid(), Grid);

    // A change on the master passes once round the ring.
    Grid->GetColumns()->GetColumn(1)->SetWidth(99);
    Grid->GetColumns()->GetColumn(2)->SetVisible(false);
    Grid->SetIndicatorWidth(14);
    Grid->Synchronize();
    for (auto* g : {static_cast<TVelCustomDBGrid*>(b), static_cast<TVelCustomDBGrid*>(c)}) {
        EXPECT_EQ(g->GetColumns()->GetColumn(1)->GetWidth(), 99);
        EXPECT_FALSE(g->GetColumns()->GetColumn(2)->GetVisible());
        EXPECT_EQ(g->GetIndicatorWidth(), 14);
    }

    // Following a follower of this grid is circular.
    EXPECT_THROW(Grid->SetMasterGrid(b), EInvalidGridOperation);
    EXPECT_THROW(c->SetMasterGrid(b), EInvalidGridOperation);
    EXPECT_EQ(Grid->GetMasterGrid(), nullptr);
    EXPECT_EQ(c->GetMasterGrid(), Grid);
    // While loading the assignment is ignored.
    Grid->SetComponentStateFlag(TComponentStateFlag::csLoading, true);
    Grid->SetMasterGrid(b);
    Grid->SetComponentStateFlag(TComponentStateFlag::csLoading, false);
    EXPECT_EQ(Grid->GetMasterGrid(), nullptr);

    // C leaves with its follower B; the master stays alone.
    c->SetMasterGrid(nullptr);
    EXPECT_EQ(Grid->GetManageGrid(), nullptr);
    EXPECT_EQ(c->GetManageGrid(), b);
    EXPECT_EQ(b->GetManageGrid(), c);
    EXPECT_EQ(b->GetMasterGrid(), c);
    // B leaves C; both end up alone.
    b->SetMasterGrid(nullptr);
    EXPECT_EQ(b->GetManageGrid(), nullptr);
    EXPECT_EQ(c->GetManageGrid(), nullptr);
}

TEST_F(GridLinksTest, GridsOfARingCanBeFreedInAnyOrder) {
    for (int order = 0; order < 3; ++order) {
        auto* a = NewGrid("A");
        auto* b = NewGrid("B");
        auto* c = NewGrid("C");
        b->SetMasterGrid(a);
        c->SetMasterGrid(a);
        TVelDBGrid* grids[] = {a, b, c};
        delete grids[order];
        // The survivors still link to each other and synchronise without the freed grid.
        for (TVelDBGrid* g : grids)
            if (g != grids[order]) {
                EXPECT_NE(g->GetManageGrid(), grids[order]);
                EXPECT_NE(g->GetMasterGrid(), grids[order]);
                g->SetIndicatorWidth(9);
                g->Synchronize();
            }
        for (TVelDBGrid* g : grids)
            if (g != grids[order]) delete g;
    }
}

TEST_F(GridLinksTest, AcquireFocusTakesTheFocusWhenAllowed) {
    Form->Show();
    EXPECT_TRUE(Grid->AcquireFocus());
    EXPECT_TRUE(Grid->Focused());
    auto* other = NewGrid("Other");
    other->SetAcquireFocusFlag(false);
    EXPECT_TRUE(other->AcquireFocus());
    EXPECT_FALSE(other->Focused());
    other->SetEnabled(false);
    other->SetAcquireFocusFlag(true);
    EXPECT_TRUE(other->AcquireFocus());
    EXPECT_TRUE(Grid->Focused());
}

}  // namespace
}  // namespace veltest
