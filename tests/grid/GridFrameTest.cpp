// The grid frame: construction defaults, the option sets and their effects, the optional
// colours, column numbering, factories and bad values.
#include <string>
#include <vector>

#include "platform/controls/SystemProfile.h"
#include "platform/rtl/Exceptions.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

using GridFrameTest = DBGridTest;

TEST_F(GridFrameTest, ConstructionGivesTheDocumentedDefaults) {
    EXPECT_EQ(Grid->GetOptions().ToMask(), 169864445u);
    EXPECT_EQ(Grid->GetOptionsEx().ToMask(), 74949568u);
    EXPECT_EQ(Grid->GetOptionsExt().ToMask(), 24696u);
    EXPECT_EQ(Grid->GetHintOptions().ToMask(), 4119u);
    EXPECT_EQ(Grid->GetSystemStyleElements().ToMask(), 31u);
    EXPECT_EQ(Grid->GetResizeOptions().ToMask(), 15u);
    EXPECT_EQ(Grid->GetMultiSelectOptions(), TMultiSelectOptions{TMultiSelection::msRows});
    // The first seven optional colours are in use, stripes and the editor colour are not.
    EXPECT_EQ(Grid->GetDrawingOptions().ToMask(), 0x7Fu);
    EXPECT_EQ(Grid->GetSelectRowColor(), clDefault);
    EXPECT_EQ(Grid->GetStripeColor(), clNone);
    EXPECT_EQ(Grid->GetEditorColor(), clNone);

    // The base grid gets lines, sizing, moving, editing and tabs; only its horizontal bar.
    using enum TGridOption;
    EXPECT_EQ(Grid->TCustomGrid::GetOptions(),
              (TGridOptions{goVertLine, goHorzLine, goRowSizing, goColSizing, goColMoving,
                            goEditing, goTabs}));
    EXPECT_EQ(Grid->TCustomGrid::GetScrollBars(), TScrollStyle::ssHorizontal);
    EXPECT_EQ(Grid->GetScrollBars(), TScrollStyle::ssBoth);
    EXPECT_TRUE(Grid->GetDoubleBuffered());
    EXPECT_EQ(Grid->GetColor(), clWindow);
    EXPECT_FALSE(Grid->GetParentColor());
    EXPECT_EQ(Grid->GetIndicatorWidth(), 20);
    EXPECT_EQ(Grid->GetFillerIndex(), -7);
    EXPECT_EQ(Grid->GetLinesCountMax(), -1);
    EXPECT_EQ(Grid->GetHeaderColor(), clBtnFace);
    EXPECT_EQ(Grid->GetTotals()->GetDataLink()->GetGrid(), Grid);
    // Without a dataset: the indicator, one empty data column, one title and one data row.
    EXPECT_EQ(Grid->GetColCount(), 2);
    EXPECT_EQ(Grid->GetRowCount(), 2);
    EXPECT_EQ(Grid->GetColWidths(0), 20);
}

TEST_F(GridFrameTest, KoreanUserInterfaceAlwaysShowsTheEditor) {
    TSystemProfileScope profile;
    profile->UILanguage = LANG_KOREAN;
    auto* g = NewGrid("Korean");
    EXPECT_TRUE(g->GetOptions().Contains(TVelDBGridOption::dgAlwaysShowEditor));
    EXPECT_TRUE(g->TCustomGrid::GetOptions().Contains(TGridOption::goAlwaysShowEditor));
    EXPECT_FALSE(Grid->GetOptions().Contains(TVelDBGridOption::dgAlwaysShowEditor));
}

TEST_F(GridFrameTest, OptionsRebuildTheBaseOptionsAndRunOnlyTheirEffects) {
    using enum TVelDBGridOption;
    // Row select drops both editing options, from the stored value and the base grid.
    Grid->SwitchOptions({dgRowSelect, dgAlwaysShowEditor}, true);
    EXPECT_TRUE(Grid->GetOptions().Contains(dgRowSelect));
    EXPECT_FALSE(Grid->GetOptions().Contains(dgEditing));
    EXPECT_FALSE(Grid->GetOptions().Contains(dgAlwaysShowEditor));
    EXPECT_TRUE(Grid->TCustomGrid::GetOptions().Contains(TGridOption::goRowSelect));
    EXPECT_FALSE(Grid->TCustomGrid::GetOptions().Contains(TGridOption::goEditing));

    // dgTabs touches nothing but the base option.
    auto before = Grid->GetWorkCounts();
    Grid->SwitchOptions({dgTabs}, false);
    EXPECT_FALSE(Grid->TCustomGrid::GetOptions().Contains(TGridOption::goTabs));
    EXPECT_EQ(Grid->GetWorkCounts().Layouts, before.Layouts);
    EXPECT_EQ(Grid->GetWorkCounts().EditorInvalidations, before.EditorInvalidations);

    // dgIndicator: layout, editor, stretch; the indicator column goes and numbering shifts.
    before = Grid->GetWorkCounts();
    EXPECT_EQ(Grid->RawToDataColumn(1), 0);
    Grid->SwitchOptions({dgIndicator}, false);
    EXPECT_EQ(Grid->GetWorkCounts().Layouts, before.Layouts + 1);
    EXPECT_EQ(Grid->GetWorkCounts().EditorInvalidations, before.EditorInvalidations + 1);
    EXPECT_EQ(Grid->GetWorkCounts().Stretches, before.Stretches + 1);
    EXPECT_EQ(Grid->GetWorkCounts().BorderChanges, before.BorderChanges);
    EXPECT_EQ(Grid->GetIndicatorOffset(), 0);
    for (int c = -1; c < 4; ++c) {
        EXPECT_EQ(Grid->RawToDataColumn(c), c);
        EXPECT_EQ(Grid->DataToRawColumn(c), c);
    }
    Grid->SwitchOptions({dgIndicator}, true);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(Grid->DataToRawColumn(Grid->RawToDataColumn(c)), c);
    EXPECT_EQ(Grid->DataToRawColumn(0), 1);

    // Lines re-frame the border; markers update the sort markers; setting the same value
    // again does nothing.
    before = Grid->GetWorkCounts();
    Grid->SwitchOptions({dgRowLines}, false);
    Grid->SwitchOptions({dgMarkerAscendOnly}, true);
    Grid->SwitchOptions({dgMarkerAscendOnly}, true);
    EXPECT_EQ(Grid->GetWorkCounts().BorderChanges, before.BorderChanges + 1);
    EXPECT_EQ(Grid->GetWorkCounts().MarkerUpdates, before.MarkerUpdates + 1);
    EXPECT_EQ(Grid->GetWorkCounts().Layouts, before.Layouts + 1);

    // Wide lines bring the fixed lines.
    EXPECT_FALSE(Grid->TCustomGrid::GetOptions().Contains(TGridOption::goFixedVertLine));
    Grid->SetGridLineWidth(2);
    EXPECT_TRUE(Grid->TCustomGrid::GetOptions().Contains(TGridOption::goFixedVertLine));
    EXPECT_FALSE(Grid->TCustomGrid::GetOptions().Contains(TGridOption::goFixedHorzLine));
}

TEST_F(GridFrameTest, SelectionIsClearedByTheOptionsThatEndIt) {
    using enum TVelDBGridOption;
    auto table = MakeTable(5);
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(table.get());
    Grid->SetDataSource(source);
    Grid->SwitchOptions({dgMultiSelect}, true);
    Grid->SetMultiSelectOptions({TMultiSelection::msRows, TMultiSelection::msCols});
    Grid->SelectAll();
    EXPECT_EQ(Grid->GetSelectedRows()->Count(), 5);
    // Row select keeps a row selection but not a column selection.
    Grid->SwitchOptions({dgRowSelect}, true);
    EXPECT_TRUE(Grid->HasSelection());
    Grid->SwitchOptions({dgRowSelect}, false);
    Grid->SetMultiSelect(TMultiSelection::msCols);
    EXPECT_FALSE(Grid->HasSelection());
    Grid->SelectAll();
    EXPECT_TRUE(Grid->GetColsSelected());
    Grid->SwitchOptions({dgRowSelect}, true);
    EXPECT_FALSE(Grid->HasSelection());
    EXPECT_EQ(Grid->GetMultiSelect(), TMultiSelection::msRows);
    Grid->SelectRow();
    EXPECT_TRUE(Grid->HasSelection());
    Grid->SwitchOptions({dgMultiSelect}, false);
    EXPECT_FALSE(Grid->HasSelection());
    Grid->SetDataSource(nullptr);
}

TEST_F(GridFrameTest, TotalOptionsKeepTheirRules) {
    using enum TVelDBGridOptionEx;
    auto before = Grid->GetWorkCounts();
    Grid->SwitchOptionsEx({dgTotalValues}, true);
    EXPECT_TRUE(Grid->GetOptionsEx().Contains(dgBlankRow));
    EXPECT_TRUE(Grid->GetTotals()->GetVisible());
    EXPECT_EQ(Grid->GetWorkCounts().Layouts, before.Layouts + 1);
    EXPECT_EQ(Grid->GetWorkCounts().TotalsUpdates, before.TotalsUpdates + 1);
    // Blank row and one value row below the data row.
    EXPECT_EQ(Grid->GetTotalOffset(), 2);
    EXPECT_EQ(Grid->GetRowCount(), 4);

    // A "selected" row drops dgCalcSelectedRows; auto-hidden rows follow the selection.
    Grid->SetOptionsEx(DefaultVelDBGridOptionsEx() + dgTotalFooterSelected);
    EXPECT_FALSE(Grid->GetOptionsEx().Contains(dgCalcSelectedRows));
    EXPECT_FALSE(Grid->GetOptionsEx().Contains(dgTotalFooter));
    EXPECT_TRUE(Grid->GetTotals()->GetActive());
    EXPECT_FALSE(Grid->GetTotals()->GetVisible());
    auto table = MakeTable(3);
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(table.get());
    Grid->SetDataSource(source);
    Grid->SelectRow();
    Grid->SetOptionsEx(Grid->GetOptionsEx());
    EXPECT_TRUE(Grid->GetOptionsEx().Contains(dgTotalFooter));
    EXPECT_TRUE(Grid->GetOptionsEx().Contains(dgBlankRow));
    Grid->ClearSelection();
    Grid->SetOptionsEx(Grid->GetOptionsEx());
    EXPECT_FALSE(Grid->GetOptionsEx().Contains(dgTotalFooter));
    Grid->SetDataSource(nullptr);

    // Order and numbering options reach their updates.
    before = Grid->GetWorkCounts();
    Grid->SwitchOptionsEx({dgAutoUpdateOrder}, true);
    Grid->SwitchOptionsEx({dgAutoUpdateSequence}, false);
    EXPECT_EQ(Grid->GetWorkCounts().OrderUpdates, before.OrderUpdates + 1);
    EXPECT_EQ(Grid->GetWorkCounts().SequenceUpdates, before.SequenceUpdates + 1);
    EXPECT_EQ(Grid->GetWorkCounts().Layouts, before.Layouts);

    using enum TVelDBGridOptionExt;
    before = Grid->GetWorkCounts();
    Grid->SwitchOptionsExt({dgScrollPageMode}, true);
    Grid->SwitchOptionsExt({dgAutoNumberColumn}, true);
    Grid->SwitchOptionsExt({dgAutoUpdateListItems}, false);
    // The layout updates the scroll bar too.
    EXPECT_EQ(Grid->GetWorkCounts().ScrollBarUpdates, before.ScrollBarUpdates + 2);
    EXPECT_EQ(Grid->GetWorkCounts().Layouts, before.Layouts + 1);
    EXPECT_EQ(Grid->GetWorkCounts().ListItemUpdates, before.ListItemUpdates + 1);
}

TEST_F(GridFrameTest, ResizeAndMultiSelectOptions) {
    using enum TVelResizeOption;
    Grid->SwitchResizeOptions({roColumnResize}, false);
    EXPECT_EQ(Grid->GetResizeOptions(), TVelResizeOptions{roColumnMoving});
    Grid->SwitchResizeOptions({roColumnResize, roOptimalWidth}, true);
    EXPECT_EQ(Grid->GetResizeOptions(),
              (TVelResizeOptions{roColumnResize, roOptimalWidth, roColumnMoving}));

    // Without msRows there is no mode until a column or cell range starts.
    Grid->SetMultiSelectOptions({TMultiSelection::msCols, TMultiSelection::msCells});
    EXPECT_EQ(Grid->GetMultiSelect(), TMultiSelection::msNone);
    Grid->SetMultiSelect(TMultiSelection::msCols);
    EXPECT_EQ(Grid->GetMultiSelect(), TMultiSelection::msCols);
    Grid->SetMultiSelectOptions({});
    EXPECT_EQ(Grid->GetMultiSelect(), TMultiSelection::msNone);

    // System look: the system's themes paint the elements that are switched on.
    TSystemProfileScope profile;
    profile->ThemesEnabled = true;
    Grid->SwitchSystemStyleElements({TSystemStyleElement::sseData}, false);
    EXPECT_FALSE(Grid->IsSystemStyle({TSystemStyleElement::sseData}));
    EXPECT_TRUE(Grid->IsSystemStyle({TSystemStyleElement::sseFixed, TSystemStyleElement::sseText}));
    profile->CustomStyleActive = true;
    EXPECT_FALSE(Grid->IsSystemStyle({TSystemStyleElement::sseFixed}));
}

TEST_F(GridFrameTest, DrawingOptionsMirrorTheOptionalColours) {
    using enum TGridDrawingOption;
    Grid->SetSelectRowColor(clRed);
    EXPECT_TRUE(Grid->GetDrawingOptions().Contains(gdoSelectedRow));
    Grid->SetSelectRowColor(clNone);
    EXPECT_FALSE(Grid->GetDrawingOptions().Contains(gdoSelectedRow));
    // The bit back gives the built-in colour, not the former red.
    Grid->SwitchDrawingOptions({gdoSelectedRow}, true);
    EXPECT_EQ(Grid->GetSelectRowColor(), clDefault);

    Grid->SetStripeColor(clYellow);
    Grid->SetEditorColor(clAqua);
    EXPECT_TRUE(Grid->GetDrawingOptions().Contains(gdoStripedRows));
    EXPECT_TRUE(Grid->GetDrawingOptions().Contains(gdoEditorColor));
    Grid->SetDrawingOptions({gdoHighlightText});
    EXPECT_EQ(Grid->GetHighlightText(), clDefault);
    for (TColor c :
         {Grid->GetDataColLineColor(), Grid->GetDataRowLineColor(), Grid->GetSelectCellColor(),
          Grid->GetSelectRowColor(), Grid->GetSelectionColor(), Grid->GetStripeColor(),
          Grid->GetEditorColor(), Grid->GetTotals()->GetSelectedColor()})
        EXPECT_EQ(c, clNone);

    // The totals' selected colour is the seventh pair, in both directions.
    Grid->GetTotals()->SetSelectedColor(clLime);
    EXPECT_TRUE(Grid->GetDrawingOptions().Contains(gdoTotalSelected));
    Grid->SwitchDrawingOptions({gdoTotalSelected}, false);
    EXPECT_EQ(Grid->GetTotals()->GetSelectedColor(), clNone);

    // A single bit leaves its colour alone.
    Grid->SetDrawingOption(gdoDataColLines, true);
    EXPECT_EQ(Grid->GetDataColLineColor(), clNone);
}

TEST_F(GridFrameTest, CountsAndBoundsAreBroughtIntoRange) {
    // Counts are clamped into range rather than refused; nonsense is ignored.
    Grid->SetLinesCount(3);
    Grid->SetLinesCount(-2);
    EXPECT_EQ(Grid->GetLinesCount(), 3);
    Grid->SetLinesCount(0);
    EXPECT_EQ(Grid->GetLinesCount(), 1);
    Grid->SetIndicatorWidth(-4);
    EXPECT_EQ(Grid->GetIndicatorWidth(), 11);
    Grid->SetDefaultWidthMax(-2);
    EXPECT_EQ(Grid->GetDefaultWidthMax(), -1);
    EXPECT_THROW(Grid->GetTotals()->SetLinesCount(0), EInvalidArgument);
    Grid->SetTitleLinesCount(-5);
    EXPECT_EQ(Grid->GetTitleLinesCount(), 1);
    // Line bounds clamp the count.
    Grid->SetLinesCount(3);
    Grid->SetLinesCountMax(2);
    EXPECT_EQ(Grid->GetLinesCount(), 2);
    Grid->SetLinesCountMin(2);
    Grid->SetLinesCount(1);
    EXPECT_EQ(Grid->GetLinesCount(), 2);
}

TEST_F(GridFrameTest, BracketsNestAndRunTheLayoutOnce) {
    const int start = Grid->GetLayoutCount();
    Grid->BeginLayout();
    Grid->BeginLayout();
    Grid->SetFixedCols(1);
    Grid->SetHeaderLinesCount(2);
    EXPECT_FALSE(Grid->AcquireLayoutLock());
    Grid->EndLayout();
    EXPECT_EQ(Grid->GetLayoutCount(), start);
    Grid->EndLayout();
    EXPECT_EQ(Grid->GetLayoutCount(), start + 1);
    // Extra ends never go below zero.
    Grid->EndLayout();
    Grid->EndUpdate();
    EXPECT_EQ(Grid->GetLayoutLock(), 0);
    EXPECT_EQ(Grid->GetUpdateLock(), 0);
    Grid->BeginLayout();
    Grid->CancelLayout();
    EXPECT_EQ(Grid->GetLayoutCount(), start + 1);
    // A deferred layout runs when the posted message arrives.
    Grid->DeferLayout();
    EXPECT_EQ(Grid->GetLayoutCount(), start + 1);
    Application().ProcessMessages();
    EXPECT_EQ(Grid->GetLayoutCount(), start + 2);
}

// A descendant substitutes its own classes through the factories.
class TMyColumn : public TVelColumn {
    VEL_CLASS(TMyColumn)
public:
    using TVelColumn::TVelColumn;
};
VEL_DEFINE_ITEM_CLASS(TMyColumn, TVelColumn)

class TMyTotals : public TVelDBGridTotals {
    VEL_CLASS(TMyTotals)
public:
    using TVelDBGridTotals::TVelDBGridTotals;
};
VEL_DEFINE_CLASS(TMyTotals, TVelDBGridTotals)

class TMyGrid : public TVelCustomDBGrid {
public:
    explicit TMyGrid(TComponent* AOwner) : TVelCustomDBGrid(AOwner) { RecreateOwnedObjects(); }
    std::vector<std::string> Made;
    TVelDBGridColumns* CreateColumns() override {
        Made.push_back("Columns");
        return new TVelDBGridColumns(this, TMyColumn::StaticClass());
    }
    TVelGridDataLink* CreateDataLink() override {
        Made.push_back("DataLink");
        return TVelCustomDBGrid::CreateDataLink();
    }
    TVelDBGridSettings* CreateSettings() override {
        Made.push_back("Settings");
        return TVelCustomDBGrid::CreateSettings();
    }
    TVelTotalDataLink* CreateTotalDataLink() override {
        Made.push_back("TotalDataLink");
        return TVelCustomDBGrid::CreateTotalDataLink();
    }
    TVelDBGridTotals* CreateTotals() override {
        Made.push_back("Totals");
        return new TMyTotals(this);
    }
    TVelDBGridTreeView* CreateTreeView() override {
        Made.push_back("TreeView");
        return TVelCustomDBGrid::CreateTreeView();
    }
};

TEST_F(GridFrameTest, DescendantsSupplyTheirOwnClassesInDeclaredOrder) {
    auto* g = new TMyGrid(Form.get());
    EXPECT_EQ(g->Made, (std::vector<std::string>{"Columns", "DataLink", "Settings", "Totals",
                                                 "TotalDataLink", "TreeView"}));
    EXPECT_TRUE(g->GetColumns()->Add()->InheritsFrom(TMyColumn::StaticClass()));
    EXPECT_TRUE(g->GetTotals()->InheritsFrom(TMyTotals::StaticClass()));
    EXPECT_EQ(g->GetColumns()->GetState(), TDBGridColumnsState::csCustomized);
    // The new objects are connected: the gradient still repaints, the fonts still relayout.
    const int layouts = g->GetLayoutCount();
    g->GetTitleFont()->SetSize(14);
    EXPECT_EQ(g->GetLayoutCount(), layouts + 1);
    EXPECT_THROW(TVelDBGridColumns(g, TVelDBGridTotals::StaticClass()), EInvalidArgument);
}

TEST_F(GridFrameTest, ColumnsFollowTheFieldsUntilCustomised) {
    auto table = MakeTable(3);
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(table.get());
    table->FieldByName("Price")->SetVisible(false);
    Grid->SetDataSource(source);
    ASSERT_EQ(Grid->GetColumns()->Count(), 2);
    EXPECT_EQ(Grid->GetColumns()->GetState(), TDBGridColumnsState::csDefault);
    EXPECT_EQ(Grid->GetColumns()->GetColumn(1)->GetTitle()->GetCaption(), "Name");
    EXPECT_EQ(Grid->GetColCount(), 3);
    EXPECT_EQ(Grid->GetDataLink()->GetFields(1), table->FieldByName("Name"));

    // A column's defaults follow the grid until assigned.
    TVelColumn* name = Grid->GetColumns()->GetColumn(1);
    Grid->SetColor(clYellow);
    EXPECT_EQ(name->GetColor(), clYellow);
    EXPECT_FALSE(name->IsColorStored());
    name->SetColor(clRed);
    Grid->SetColor(clAqua);
    EXPECT_EQ(name->GetColor(), clRed);
    Grid->SetReadOnly(true);
    EXPECT_TRUE(name->GetReadOnly());
    Grid->SetReadOnly(false);
    EXPECT_FALSE(name->GetReadOnly());

    // A hand-made column customises the set, replacing the field-made columns; the next
    // layout keeps it.
    TVelColumn* own = Grid->GetColumns()->Add();
    own->SetFieldName("Price");
    EXPECT_EQ(Grid->GetColumns()->GetState(), TDBGridColumnsState::csCustomized);
    Grid->LayoutChanged();
    EXPECT_EQ(Grid->GetColumns()->Count(), 1);
    EXPECT_EQ(Grid->GetColCount(), 2);
    EXPECT_EQ(own->GetField(), table->FieldByName("Price"));
    Grid->GetColumns()->Add()->SetFieldName("ID");
    EXPECT_EQ(Grid->GetColCount(), 3);
    own->SetVisible(false);
    EXPECT_EQ(Grid->GetColCount(), 2);
    Grid->GetColumns()->SetState(TDBGridColumnsState::csDefault);
    EXPECT_EQ(Grid->GetColumns()->Count(), 2);

    // Field lists keep the fields that exist, commas become semicolons.
    Grid->SetKeyFields(" ID , Nope,Name");
    EXPECT_EQ(Grid->GetKeyFields(), "ID;Name");
    const int orderUpdates = Grid->GetWorkCounts().OrderUpdates;
    Grid->SetDetailFields("Price,ID");
    EXPECT_EQ(Grid->GetDetailFields(), "Price;ID");
    EXPECT_EQ(Grid->GetWorkCounts().OrderUpdates, orderUpdates + 1);
    Grid->SetDetailFields("Price;ID");
    EXPECT_EQ(Grid->GetWorkCounts().OrderUpdates, orderUpdates + 1);
    Grid->SetDataSource(nullptr);
    table.reset();
}

}  // namespace
}  // namespace veltest
