// The mouse without a pressed button (hot titles and check boxes, mouse tracking), title drags
// of columns and groups, expand buttons, the grid dragged by its corner, the automatic
// drop-down's refusals, the release margin of a tree column and clicks on a grid that cannot
// take the focus.
#include <map>
#include <string>
#include <vector>

#include "platform/controls/Input.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Bitmap.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

// Counts the title and data cells painted, per grid column.
class TCountingGrid : public TVelDBGrid {
public:
    using TVelDBGrid::TVelDBGrid;
    std::map<int, int> TitlePaints;
    std::map<std::pair<int, int>, int> CellPaints;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
        if (ARow < GetTitleOffset())
            ++TitlePaints[ACol];
        else
            ++CellPaints[{ACol, ARow}];
        TVelDBGrid::DrawCell(ACol, ARow, ARect, AState);
    }
};

class MouseTrackingTest : public DBGridTest {
protected:
    MouseTrackingTest() {
        delete Grid;
        Grid = new TCountingGrid(Form.get());
        Grid->SetBounds(0, 0, 360, 260);
        Grid->SetParent(Form.get());
        Grid->GetGradient()->SetActive(false);
        Table = std::make_unique<TClientDataSet>();
        for (const char* f : {"A", "B", "C", "D", "E"}) Table->GetFieldDefs().Add(f, TFieldType::ftInteger);
        Table->GetFieldDefs().Add("Paid", TFieldType::ftBoolean);
        Table->CreateDataSet();
        for (int i = 1; i <= 30; ++i) {
            Table->Append();
            Table->FieldByName("A")->SetAsInteger(i);
            Table->FieldByName("Paid")->SetAsBoolean(i % 2 == 0);
            Table->Post();
        }
        Table->First();
        Source = new TDataSource(Form.get());
        Source->SetDataSet(Table.get());
        Grid->SetDataSource(Source);
        Grid->GetColumns()->SetState(TDBGridColumnsState::csCustomized);
        for (int i = 0; i < Grid->GetColumns()->Count(); ++i) Grid->GetColumns()->GetColumn(i)->SetWidth(45);
        Form->Show();
        Grid->SetFocus();
        Paint();
    }
    TCountingGrid* G() { return static_cast<TCountingGrid*>(Grid); }
    TVelDBGridColumns* Cols() { return Grid->GetColumns(); }
    // Runs the queued input and the paint it causes.
    void Paint() {
        Application().ProcessMessages();
        Grid->CaptureImage();
    }
    void ResetCounts() {
        G()->TitlePaints.clear();
        G()->CellPaints.clear();
    }
    TPoint Client(TPoint P) { return ScreenPointOf(Grid, P); }
    // A point in data column DataCol's title row Row, Dx from its left.
    TPoint TitleAt(int DataCol, int Row = 0, int Dx = 8) {
        const TRect r = Grid->CellRect(Grid->DataToRawColumn(DataCol), Row);
        return Client(TPoint{r.Left + Dx, r.Bottom - 4});
    }
    TPoint CellAt(int DataCol, int DataRow) {
        const TRect r = Grid->CellRect(Grid->DataToRawColumn(DataCol), DataRow + Grid->GetTitleOffset());
        return Client(TPoint{r.Left + r.Width() / 2, r.Top + r.Height() / 2});
    }
    void Move(TPoint P) {
        InjectMouseMove(P);
        Paint();
    }
    // Press, a few moves and the release, as a person drags.
    void Drag(TPoint From, TPoint To) {
        FClock->Advance(1000);
        InjectMouseMove(From);
        InjectMouseDown(TMouseButton::mbLeft, From);
        for (int i = 1; i <= 4; ++i)
            InjectMouseMove(TPoint{From.X + (To.X - From.X) * i / 4, From.Y + (To.Y - From.Y) * i / 4});
        InjectMouseUp(TMouseButton::mbLeft, To);
        Paint();
    }
    void Click(TPoint P) {
        FClock->Advance(1000);
        InjectClick(P);
        Paint();
    }
    std::string Order() {
        std::string s;
        for (int i = 0; i < Cols()->Count(); ++i) {
            TVelColumn* c = Cols()->GetColumn(i);
            s += (s.empty() ? "" : " ") + (c->GetFieldName().empty() ? c->GetTitle()->GetCaption() : c->GetFieldName());
        }
        return s;
    }
    // Groups: A, G1 (B, C), D, G2 (E, Paid).
    void MakeGroups() {
        for (auto [name, at, owns] : {std::tuple{"G1", 1, 2}, std::tuple{"G2", 5, 2}}) {
            TVelColumn* g = Cols()->Add();
            g->GetTitle()->SetCaption(name);
            g->SetIndex(at);
            g->SetExpandCols(owns);
        }
        Paint();
        ASSERT_EQ(Order(), "A G1 B C D G2 E Paid");
        ASSERT_EQ(Grid->GetTitleOffset(), 2);
    }
    TColor Pixel(TPoint Screen) {
        auto b = Grid->CaptureImage();
        const TPoint p = Grid->ScreenToClient(Screen);
        return TColor(RefFromPixel(b->GetPixel(p.X, p.Y)));
    }
    std::unique_ptr<TClientDataSet> Table;
    TDataSource* Source;
};

using O = TVelDBGridOption;

// ---- Hot buttons and cells.

TEST_F(MouseTrackingTest, HotTitleFollowsTheMouseAndIsRepaintedOnlyWithHotButtons) {
    Grid->SetOptions(Grid->GetOptions() + O::dgTitleButtons - O::dgHotButtons);
    Paint();
    const int b = Grid->DataToRawColumn(1), c = Grid->DataToRawColumn(2);
    const TColor face = Pixel(TitleAt(1));
    ResetCounts();
    Move(TitleAt(1));
    EXPECT_EQ(Grid->GetHotButton(), b);
    EXPECT_FALSE(Grid->GetHotButtonShown());
    EXPECT_EQ(G()->TitlePaints[b], 0);
    EXPECT_EQ(Pixel(TitleAt(1)), face);

    Grid->SetOptions(Grid->GetOptions() + O::dgHotButtons);
    Move(TitleAt(1, 0, 12));
    ResetCounts();
    Move(TitleAt(2));
    EXPECT_EQ(Grid->GetHotButton(), c);
    EXPECT_TRUE(Grid->GetHotButtonShown());
    EXPECT_GT(G()->TitlePaints[b], 0);
    EXPECT_GT(G()->TitlePaints[c], 0);
    EXPECT_EQ(G()->TitlePaints[Grid->DataToRawColumn(3)], 0);
    EXPECT_NE(Pixel(TitleAt(2)), face);
    EXPECT_EQ(Pixel(TitleAt(1)), face);

    // A column border is where sizing starts: never hot.
    const TRect title = Grid->CellRect(c, 0);
    Move(Client(TPoint{title.Right, title.Top + 5}));
    EXPECT_EQ(Grid->GetHotButton(), -1);
    // The filler is a button too; data cells are not.
    Move(Client(TPoint{3, 3}));
    EXPECT_EQ(Grid->GetHotButton(), 0);
    Move(CellAt(2, 2));
    EXPECT_EQ(Grid->GetHotButton(), -1);
    EXPECT_EQ(Pixel(TitleAt(2)), face);

    // Leaving the grid clears the hot title, and so does a release.
    Move(TitleAt(2));
    ASSERT_EQ(Grid->GetHotButton(), c);
    Move(ScreenPointOf(Form.get(), TPoint{390, 290}));
    EXPECT_EQ(Grid->GetHotButton(), -1);
    EXPECT_EQ(Pixel(TitleAt(2)), face);
    Move(TitleAt(2));
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, TitleAt(2));
    InjectMouseUp(TMouseButton::mbLeft, TitleAt(2));
    Paint();
    EXPECT_EQ(Grid->GetHotButton(), -1);
    EXPECT_FALSE(Grid->GetHotButtonShown());
}

TEST_F(MouseTrackingTest, HeaderBandsAreNeverHotButLookPressedWhilePressed) {
    Grid->SetOptions(Grid->GetOptions() + O::dgTitleButtons + O::dgHotButtons);
    Grid->SetHeaderColor(clYellow);
    Cols()->GetColumn(1)->GetTitle()->SetHeader("Band");
    Cols()->GetColumn(2)->GetTitle()->SetHeader("Band");
    Paint();
    const TRect cell = Grid->CellRect(Grid->DataToRawColumn(1), 0);
    const TPoint band = Client(TPoint{cell.Left + 8, cell.Top + 4});
    Move(band);
    EXPECT_EQ(Grid->GetHotButton(), -1);
    Move(TitleAt(1));
    EXPECT_EQ(Grid->GetHotButton(), Grid->DataToRawColumn(1));
    // Pressed, the whole band takes the pressed look, over the second title as well.
    const TRect second = Grid->CellRect(Grid->DataToRawColumn(2), 0);
    const TPoint otherHalf = Client(TPoint{second.Left + 8, second.Top + 4});
    EXPECT_EQ(Pixel(otherHalf), TColor(ColorToRGB(clYellow)));
    int clicks = 0;
    Grid->SetOnHeaderClick([&](TVelColumn*, int) { ++clicks; });
    FClock->Advance(1000);
    InjectMouseMove(band);
    InjectMouseDown(TMouseButton::mbLeft, band);
    Paint();
    EXPECT_EQ(Grid->GetHotButton(), -1);
    EXPECT_NE(Pixel(otherHalf), TColor(ColorToRGB(clYellow)));
    InjectMouseUp(TMouseButton::mbLeft, band);
    Paint();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Pixel(otherHalf), TColor(ColorToRGB(clYellow)));
}

TEST_F(MouseTrackingTest, HotCheckBoxCellIsRepaintedOnlyWhenThemed) {
    TSystemProfileScope profile;
    profile->ThemesEnabled = true;
    TVelColumn* paid = Cols()->GetColumn(5);
    paid->SetCheckBox(true);
    Paint();
    const int raw = Grid->DataToRawColumn(5);
    const std::pair<int, int> cell{raw, 1 + Grid->GetTitleOffset()};
    ResetCounts();
    Move(CellAt(5, 1));
    EXPECT_EQ(Grid->GetHotCell(), (TGridCoord{cell.first, cell.second}));
    EXPECT_EQ(G()->CellPaints[cell], 0);
    Move(CellAt(4, 1));
    EXPECT_EQ(Grid->GetHotCell(), (TGridCoord{-1, -1}));
    EXPECT_EQ(G()->CellPaints[cell], 0);

    // Themed: the box is repainted with its hot frame when the mouse comes and goes.
    paid->SetCheckBoxThemed(true);
    Paint();
    const TRect r = Grid->CellRect(cell.first, cell.second);
    // The box's outer ring, centred in the cell.
    const TPoint ring = Client(TPoint{r.Left + (r.Width() - 13) / 2, r.Top + (r.Height() - 13) / 2 + 6});
    const TColor normal = Pixel(ring);
    ResetCounts();
    Move(CellAt(5, 1));
    EXPECT_GT(G()->CellPaints[cell], 0);
    EXPECT_EQ(Pixel(ring), TColor(ColorToRGB(clHotLight)));
    ResetCounts();
    Move(CellAt(4, 2));
    EXPECT_GT(G()->CellPaints[cell], 0);
    EXPECT_EQ(Pixel(ring), normal);
}

// The margin of a tree column is the released row's: its own level's indentation and box.
TEST_F(MouseTrackingTest, TheReleaseMarginFollowsTheReleasedRowsLevel) {
    Table->First();
    while (!Table->GetEOF()) {
        Table->Edit();
        Table->FieldByName("E")->SetAsInteger((Table->FieldByName("A")->GetAsInteger() - 1) % 3);
        Table->Post();
        Table->Next();
    }
    Table->First();
    Grid->GetTreeView()->SetRowLevelFieldName("E");
    Grid->GetTreeView()->SetActive(true);
    TVelColumn* a = Cols()->GetColumn(0);
    a->SetExpandBoxTree(true);
    a->SetImageMargin(10);
    a->SetWidth(80);
    Paint();
    auto at = [&](int DataRow) {
        const TRect r = Grid->CellRect(Grid->DataToRawColumn(0), DataRow + Grid->GetTitleOffset());
        return Client(TPoint{r.Left + 25, r.Top + 4});
    };
    // Pressed on a row of level 0, released on one of level 2: 25 pixels in lie inside the
    // three boxes of that row.
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, at(0));
    InjectMouseMove(at(2));
    InjectMouseUp(TMouseButton::mbLeft, at(2));
    Paint();
    EXPECT_TRUE(Grid->GetClickInMargin());
    // Level 1: two boxes, 20 pixels.
    Click(at(1));
    EXPECT_FALSE(Grid->GetClickInMargin());
}

// ---- Title drags.

TEST_F(MouseTrackingTest, ColumnsMoveInsideTheirGroupAndPastWholeGroups) {
    Grid->SetResizeOptions(Grid->GetResizeOptions() + TVelResizeOption::roColumnMoving);
    MakeGroups();
    std::vector<std::pair<int, int>> asked;
    Grid->SetOnColumnMoving([&](TObject*, int From, int To, bool&) { asked.emplace_back(From, To); });
    // B dragged right as far as D stops at the end of its group.
    Drag(TitleAt(1, 1), TitleAt(3, 1, 20));
    EXPECT_EQ(Order(), "A G1 C B D G2 E Paid");
    // The title hot before the press is no longer hot: after the move it would be another.
    EXPECT_EQ(Grid->GetHotButton(), -1);
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{1, 2}}));
    // A dragged onto G1 lands after the whole group; D dragged left onto it lands before it.
    Drag(TitleAt(0, 1), TitleAt(1, 1, 10));
    EXPECT_EQ(Order(), "G1 C B A D G2 E Paid");
    Drag(TitleAt(3, 1), TitleAt(1, 1, 10));
    EXPECT_EQ(Order(), "D G1 C B A G2 E Paid");
    // G2's title drags the group with its columns; its own row is the group's depth.
    Drag(TitleAt(4, 0), TitleAt(0, 0, 10));
    EXPECT_EQ(Order(), "G2 E Paid D G1 C B A");
    // A press on a group's header band moves nothing.
    Cols()->FindColumn("D")->GetTitle()->SetHeader("Top");
    Paint();
    const TRect d = Grid->CellRect(Grid->DataToRawColumn(2), 0);
    Drag(Client(TPoint{d.Left + 8, d.Top + 3}), TitleAt(5, 1, 10));
    EXPECT_EQ(Order(), "G2 E Paid D G1 C B A");
}

TEST_F(MouseTrackingTest, DraggingPastTheLastFullColumnScrollsOneColumn) {
    Grid->SetResizeOptions(Grid->GetResizeOptions() + TVelResizeOption::roColumnMoving);
    for (int i = 0; i < Cols()->Count(); ++i) Cols()->GetColumn(i)->SetWidth(100);
    Paint();
    const int left = Grid->GetLeftCol();
    TGridDrawInfo info;
    Grid->CalcDrawInfo(info);
    const int partly = info.Horz.LastFullVisibleCell + 1;
    ASSERT_LT(partly, Grid->GetColCount());
    const TRect last = Grid->CellRect(partly, 0);
    std::vector<std::pair<int, int>> asked;
    Grid->SetOnColumnMoving([&](TObject*, int From, int To, bool&) { asked.emplace_back(From, To); });
    const TPoint from = TitleAt(0);
    FClock->Advance(1000);
    InjectMouseMove(from);
    InjectMouseDown(TMouseButton::mbLeft, from);
    InjectMouseMove(TPoint{from.X + 20, from.Y});
    InjectMouseMove(Client(TPoint{last.Left + 3, last.Top + 5}));
    Paint();
    EXPECT_EQ(Grid->GetLeftCol(), left + 1);
    InjectMouseUp(TMouseButton::mbLeft, Client(TPoint{last.Left + 3, last.Top + 5}));
    Paint();
    EXPECT_EQ(Grid->GetLeftCol(), left + 1);
    // The step that scrolled moved nothing.
    EXPECT_TRUE(asked.empty() || asked.back().second <= partly);
}

// ---- Expand buttons.

TEST_F(MouseTrackingTest, ExpandButtonsToggleOnClickOrInTheDesigner) {
    MakeGroups();
    TVelColumn* g1 = Cols()->GetColumn(1);
    const TRect t = Grid->CellRect(Grid->DataToRawColumn(1), 0);
    const TRect t2 = Grid->CellRect(Grid->DataToRawColumn(2), 0);
    const TPoint button = Client(TPoint{std::max(t.Right, t2.Right) - 4, t.Top + t.Height() / 2});
    TVelColumn* hit = nullptr;
    ASSERT_TRUE(Grid->PtInExpandButton(Grid->ScreenToClient(button).X, Grid->ScreenToClient(button).Y, hit));
    EXPECT_EQ(hit, g1);
    // Without title buttons a run-time press does nothing.
    Grid->SetOptions(Grid->GetOptions() - O::dgTitleButtons);
    Click(button);
    EXPECT_TRUE(g1->GetExpanded());
    // With them the release on the button expands or collapses; a release elsewhere does not.
    Grid->SetOptions(Grid->GetOptions() + O::dgTitleButtons);
    Paint();
    Move(button);
    EXPECT_TRUE(Grid->GetHotExpandButton());
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, button);
    InjectMouseMove(TPoint{button.X - 30, button.Y});
    InjectMouseUp(TMouseButton::mbLeft, TPoint{button.X - 30, button.Y});
    Paint();
    EXPECT_TRUE(g1->GetExpanded());
    Click(button);
    EXPECT_FALSE(g1->GetExpanded());
}

// ---- Mouse tracking, the corner drag, the automatic drop-down, focus.

TEST_F(MouseTrackingTest, MouseTrackingMovesTheCurrentCellWithoutAButton) {
    Grid->SetOptionsExt(Grid->GetOptionsExt() + TVelDBGridOptionExt::dgMouseTracking);
    Move(CellAt(3, 4));
    EXPECT_EQ(Table->FieldByName("A")->GetAsInteger(), 5);
    EXPECT_EQ(Grid->RawToDataColumn(Grid->GetCol()), 3);
    // Over the titles it keeps to the top row; not while a title is pressed.
    Grid->SetOptions(Grid->GetOptions() + O::dgTitleButtons);
    Move(TitleAt(1));
    EXPECT_EQ(Table->FieldByName("A")->GetAsInteger(), 1);
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, TitleAt(1));
    InjectMouseMove(CellAt(1, 2));
    Paint();
    EXPECT_EQ(Table->FieldByName("A")->GetAsInteger(), 1);
    InjectMouseUp(TMouseButton::mbLeft, CellAt(1, 2));
    Paint();
}

TEST_F(MouseTrackingTest, ADockingGridIsDraggedByItsCorner) {
    Grid->SetDragKind(TDragKind::dkDock);
    int fillerClicks = 0;
    Grid->SetOnFillerClick([&](TObject*) { ++fillerClicks; });
    Grid->SetOptions(Grid->GetOptions() + O::dgTitleButtons);
    const int left = Form->GetLeft(), top = Form->GetTop();
    const TPoint corner = Client(TPoint{4, 4});
    Drag(corner, TPoint{corner.X + 40, corner.Y + 20});
    EXPECT_EQ(Form->GetLeft(), left + 40);
    EXPECT_EQ(Form->GetTop(), top + 20);
    EXPECT_EQ(fillerClicks, 0);
    // Elsewhere, and for other drag kinds, the corner is the filler button.
    Grid->SetDragKind(TDragKind::dkDrag);
    Click(Client(TPoint{4, 4}));
    EXPECT_EQ(fillerClicks, 1);
}

TEST_F(MouseTrackingTest, AutomaticDropDownIsRefusedWhilePressedNestedOrForTheSameCell) {
    std::vector<bool> onPress;
    Grid->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, int, int) {
        onPress.push_back(Grid->AllowAutoDropDown());
    });
    Click(CellAt(2, 3));
    EXPECT_EQ(onPress, std::vector<bool>{false});
    // Released: once for the cell, then no more.
    EXPECT_TRUE(Grid->AllowAutoDropDown());
    EXPECT_FALSE(Grid->AllowAutoDropDown());
    Click(CellAt(2, 4));
    Grid->BeginUpdate();
    Grid->BeginUpdate();
    EXPECT_FALSE(Grid->AllowAutoDropDown());
    Grid->EndUpdate();
    EXPECT_TRUE(Grid->AllowAutoDropDown());
    Grid->EndUpdate();
    // With dgClickSelectOff a click on another cell only selects; the next one on it may drop
    // down (without editing: a click on the editor would be the editor's).
    Grid->SetOptions(Grid->GetOptions() + O::dgMultiSelect - O::dgEditing);
    Grid->SetOptionsEx(Grid->GetOptionsEx() + TVelDBGridOptionEx::dgClickSelectOff);
    Click(CellAt(1, 1));
    EXPECT_FALSE(Grid->AllowAutoDropDown());
    Click(CellAt(1, 1));
    EXPECT_TRUE(Grid->AllowAutoDropDown());
}

TEST_F(MouseTrackingTest, AClickOnAGridThatCannotTakeTheFocusDoesNothing) {
    // An edit that keeps the focus: its exit takes the focus straight back.
    auto* edit = new TEdit(Form.get());
    edit->SetBounds(0, 270, 80, 20);
    edit->SetParent(Form.get());
    edit->SetFocus();
    Paint();
    edit->SetOnExit([&](TObject*) { edit->SetFocus(); });
    int events = 0;
    Grid->SetOnCellClick([&](TVelColumn*) { ++events; });
    Grid->SetOnTitleClick([&](TVelColumn*) { ++events; });
    Grid->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, int, int) { ++events; });
    Grid->SetOptions(Grid->GetOptions() + O::dgTitleButtons);
    Click(CellAt(2, 5));
    Click(TitleAt(1));
    EXPECT_FALSE(Grid->Focused());
    EXPECT_EQ(Table->FieldByName("A")->GetAsInteger(), 1);
    EXPECT_EQ(Grid->RawToDataColumn(Grid->GetCol()), 0);
    EXPECT_EQ(events, 0);
    // Once the edit lets go, the same click moves.
    edit->SetOnExit(nullptr);
    Click(CellAt(2, 5));
    EXPECT_EQ(Table->FieldByName("A")->GetAsInteger(), 6);
    EXPECT_EQ(events, 2);
}

}  // namespace
}  // namespace veltest
