// The vertical scroll bar over the dataset: its range, page and position for sequenced and
// unsequenced datasets and under forced numbering (page, grid and row mode, with a stand-in
// record count), its messages, the grid's MoveBy and the mouse's row scrolling.
#include "grid/GridScrollBar.h"
#include "platform/controls/SystemProfile.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

TEST(VertScrollBar, FiveMappings) {
    using enum TVertScrollMode;
    TVertScrollInput in;
    in.VisibleRows = 10;
    in.Count = 95;
    in.Number = 37;
    in.ActiveRecord = 3;
    auto calc = [&](TVertScrollMode Mode, bool Proportional) {
        TVertScrollInput i = in;
        i.Mode = Mode;
        i.Proportional = Proportional;
        return TVelVertScrollBar::Calc(i);
    };
    // Min, page, max, position.
    EXPECT_EQ(calc(vsmForcedPage, true), (TVertScrollState{1, 10, 19, 5}));
    EXPECT_EQ(calc(vsmForcedPage, false), (TVertScrollState{1, 0, 10, 5}));
    EXPECT_EQ(calc(vsmForcedGrid, true), (TVertScrollState{1, 10, 95, 34}));
    EXPECT_EQ(calc(vsmForcedGrid, false), (TVertScrollState{1, 0, 86, 34}));
    EXPECT_EQ(calc(vsmForcedRow, true), (TVertScrollState{1, 10, 104, 37}));
    EXPECT_EQ(calc(vsmForcedRow, false), (TVertScrollState{1, 0, 95, 37}));
    EXPECT_EQ(calc(vsmSequenced, true), (TVertScrollState{1, 10, 104, 37}));
    EXPECT_EQ(calc(vsmSequenced, false), (TVertScrollState{1, 0, 95, 37}));
    EXPECT_EQ(calc(vsmUnsequenced, true), (TVertScrollState{0, 2, 5, 2}));
    EXPECT_EQ(calc(vsmUnsequenced, false), (TVertScrollState{0, 0, 4, 2}));
    // The unsequenced thumb sits at the top at the first record, at the bottom at the last.
    in.Bof = true;
    EXPECT_EQ(calc(vsmUnsequenced, true).Pos, 0);
    in.Bof = false;
    in.Eof = true;
    EXPECT_EQ(calc(vsmUnsequenced, true).Pos, 5);
    EXPECT_EQ(calc(vsmUnsequenced, false).Pos, 4);
}

TEST(VertScrollBar, ForcedNumberIsPutAtTheEdges) {
    TVertScrollInput in;
    in.Mode = TVertScrollMode::vsmForcedRow;
    in.VisibleRows = 5;
    in.Count = 30;
    in.Number = 17;
    in.Eof = true;
    EXPECT_EQ(TVelVertScrollBar::Calc(in).Pos, 30);
    EXPECT_EQ(in.Number, 30);
    in.Eof = false;
    in.Bof = true;
    EXPECT_EQ(TVelVertScrollBar::Calc(in).Pos, 1);
    // An empty dataset has no first record.
    in.Count = 0;
    TVelVertScrollBar::Calc(in);
    EXPECT_EQ(in.Number, 0);
}

// The bar's update is protected: the tests call it after setting the stand-in numbers.
class TProbeGrid : public TVelDBGrid {
public:
    using TVelDBGrid::TVelDBGrid;
    using TVelCustomDBGrid::UpdateScrollBar;
};

// A dataset that numbers nothing.
class TUnsequencedData : public TClientDataSet {
public:
    bool IsSequenced() const override { return false; }
    int GetRecordCount() const override { return -1; }
};

class ScrollBarTest : public DBGridTest {
protected:
    ScrollBarTest() {
        Source = new TDataSource(Form.get());
        Probe = new TProbeGrid(Form.get());
        Probe->SetName("Probe");
        Probe->SetBounds(0, 0, 400, 300);
        Probe->SetParent(Form.get());
        Form->Show();
    }
    void Attach(TDataSet* Data) {
        Source->SetDataSet(Data);
        Probe->SetDataSource(Source);
    }
    TScrollInfo Bar() const { return Probe->GetScrollInfo(SB_VERT); }
    void Expect(int Min, int Page, int Max, int Pos) {
        const TScrollInfo si = Bar();
        EXPECT_EQ(si.nMin, Min);
        EXPECT_EQ(int(si.nPage), Page);
        EXPECT_EQ(si.nMax, Max);
        EXPECT_EQ(si.nPos, Pos);
    }
    void Scroll(unsigned Code, int Pos = 0) {
        Probe->Perform(WM_VSCROLL, MakeWParam(int(Code), Pos), 0);
    }
    int RecNo(TDataSet* Data) const { return Data->FieldByName("ID")->GetAsInteger(); }
    TDataSource* Source;
    TProbeGrid* Probe;
};

TEST_F(ScrollBarTest, SequencedDataSetMapsRecordNumbers) {
    auto table = MakeTable(40);
    Attach(table.get());
    const int vr = Probe->GetVisibleRowCount();
    ASSERT_GT(vr, 3);
    ASSERT_LT(vr, 40);
    EXPECT_FALSE(Probe->ScrollBarRect(SB_VERT).IsEmpty());
    Expect(1, vr, 40 + vr - 1, 1);
    table->MoveBy(19);
    Expect(1, vr, 40 + vr - 1, 20);
    // Without a proportional thumb the range is the record count.
    Probe->GetScrollProp()->SetThumbBar(TScrollStyle::ssHorizontal);
    Expect(1, 0, 40, 20);
}

TEST_F(ScrollBarTest, UnsequencedDataSetHasFivePositionsOrFour) {
    TUnsequencedData data;
    data.GetFieldDefs().Add("ID", TFieldType::ftInteger);
    data.CreateDataSet();
    for (int i = 1; i <= 40; ++i) {
        data.Append();
        data.FieldByName("ID")->SetAsInteger(i);
        data.Post();
    }
    data.First();
    Attach(&data);
    Expect(0, 2, 5, 0);
    data.MoveBy(10);
    Expect(0, 2, 5, 2);
    // The thumb at the bottom goes to the last record, at the top to the first.
    Scroll(SB_THUMBPOSITION, 4);
    EXPECT_EQ(RecNo(&data), 40);
    Expect(0, 2, 5, 4);  // the last position a page of 2 allows
    Scroll(SB_THUMBPOSITION, 0);
    EXPECT_EQ(RecNo(&data), 1);
    Expect(0, 2, 5, 0);
    Scroll(SB_THUMBPOSITION, 3);
    EXPECT_EQ(RecNo(&data), 1 + Probe->GetVisibleRowCount());
    Probe->GetScrollProp()->SetThumbBar(TScrollStyle::ssNone);
    Expect(0, 0, 4, 2);
    data.Last();
    Expect(0, 0, 4, 4);
}

TEST_F(ScrollBarTest, ForcedNumberingInRowGridAndPageMode) {
    auto table = MakeTable(40);
    Attach(table.get());
    Probe->SwitchOptions({TVelDBGridOption::dgForceSequence}, true);
    ASSERT_TRUE(Probe->ForcedSequence());
    // Row numbering will count the records; here a stand-in count does.
    Probe->SetupRecCount(40);
    const int vr = Probe->GetVisibleRowCount();
    table->MoveBy(vr + 5);  // the window has scrolled; the record is not on its first row
    Probe->SetupRecNumber(vr + 6);
    const int p = vr + 6;
    const int a = Probe->GetDataLink()->GetActiveRecord();
    ASSERT_GT(a, 0);
    Probe->UpdateScrollBar();
    Expect(1, vr, 40 + vr - 1, p);
    Probe->GetScrollProp()->SetThumbBar(TScrollStyle::ssHorizontal);
    Expect(1, 0, 40, p);

    using enum TVelDBGridOptionExt;
    Probe->SwitchOptionsExt({dgScrollGridMode}, true);
    Expect(1, 0, 40 - vr + 1, p - a);
    Probe->GetScrollProp()->SetThumbBar(TScrollStyle::ssBoth);
    Expect(1, vr, 40, p - a);

    Probe->SwitchOptionsExt({dgScrollPageMode}, true);
    Expect(1, vr, (40 + vr - 1) / vr + vr - 1, (p - a + vr + vr - 2) / vr);
    Probe->GetScrollProp()->SetThumbBar(TScrollStyle::ssNone);
    Expect(1, 0, (40 + vr - 1) / vr, (p - a + vr + vr - 2) / vr);

    // At the edges the number is put right.
    Probe->SwitchOptionsExt({dgScrollGridMode, dgScrollPageMode}, false);
    table->Last();
    Probe->UpdateScrollBar();
    EXPECT_EQ(Probe->GetRecNumber(), 40);
    Expect(1, 0, 40, 40);
    table->First();
    Probe->UpdateScrollBar();
    EXPECT_EQ(Probe->GetRecNumber(), 1);
    Expect(1, 0, 40, 1);
}

TEST_F(ScrollBarTest, MessagesInRecordModeMoveTheCursor) {
    auto table = MakeTable(40);
    Attach(table.get());
    const int vr = Probe->GetVisibleRowCount();
    // Line down: to the record just below the window.
    Scroll(SB_LINEDOWN);
    EXPECT_EQ(RecNo(table.get()), Probe->GetDataLink()->GetRecordCount() + 1);
    Scroll(SB_TOP);
    EXPECT_EQ(RecNo(table.get()), 1);
    Scroll(SB_PAGEDOWN);
    EXPECT_EQ(RecNo(table.get()), 1 + vr);
    Scroll(SB_THUMBPOSITION, 30);
    EXPECT_EQ(RecNo(table.get()), 30);
    EXPECT_EQ(Bar().nPos, 30);
    // Line up: to the record just above the window.
    const int top = RecNo(table.get()) - Probe->GetDataLink()->GetActiveRecord();
    Scroll(SB_LINEUP);
    EXPECT_EQ(RecNo(table.get()), top - 1);
    Scroll(SB_BOTTOM);
    EXPECT_EQ(RecNo(table.get()), 40);
    // Tracking moves only with dgThumbTracking.
    Scroll(SB_THUMBTRACK, 5);
    EXPECT_EQ(RecNo(table.get()), 40);
    Probe->SwitchOptions({TVelDBGridOption::dgThumbTracking}, true);
    Scroll(SB_THUMBTRACK, 5);
    EXPECT_EQ(RecNo(table.get()), 5);
}

TEST_F(ScrollBarTest, GridModeKeepsTheWindowInsideTheDataSet) {
    auto table = MakeTable(40);
    Attach(table.get());
    Probe->SwitchOptions({TVelDBGridOption::dgForceSequence}, true);
    Probe->SwitchOptionsExt({TVelDBGridOptionExt::dgScrollGridMode}, true);
    Probe->SetupRecCount(40);
    Probe->SetupRecNumber(1);
    const int vr = Probe->GetVisibleRowCount();
    // At the top nothing moves up.
    EXPECT_EQ(Probe->MoveBy(-3), 0);
    EXPECT_EQ(RecNo(table.get()), 1);
    // Down only until the window's last row shows the last record.
    EXPECT_EQ(Probe->MoveBy(1000), 40 - vr);
    EXPECT_EQ(Probe->GetRecNumber(), 41 - vr);
    EXPECT_EQ(RecNo(table.get()), 41 - vr);
    // The window is at the bottom; the cursor still steps towards the last record.
    table->Last();
    Probe->SetupRecNumber(40);
    table->MoveBy(-2);
    Probe->SetupRecNumber(38);
    EXPECT_EQ(Probe->MoveBy(5), 1);
    EXPECT_EQ(RecNo(table.get()), 39);
    // The thumb in grid mode: at 1 the window goes back to the start.
    Scroll(SB_THUMBPOSITION, 1);
    EXPECT_LE(Probe->GetRecNumber(), vr);
    EXPECT_EQ(RecNo(table.get()), Probe->GetRecNumber());
}

TEST_F(ScrollBarTest, ARangeWithNothingToScrollStaysUsableOrHidesInFlatMode) {
    auto table = MakeTable(1);
    Attach(table.get());
    Probe->GetScrollProp()->SetThumbBar(TScrollStyle::ssNone);
    Probe->GetScrollProp()->SetAutoHidden(TScrollStyle::ssBoth);
    // Not flat: the bar stays, with a range of at least one step.
    EXPECT_FALSE(Probe->GetFlatSBMode());
    Expect(1, 0, 2, 1);
    EXPECT_FALSE(Probe->ScrollBarRect(SB_VERT).IsEmpty());

    // An old unthemed system gets the flat bars, which hide when every record fits.
    TSystemProfileScope profile;
    profile->OSMajorVersion = 5;
    profile->OSMinorVersion = 0;
    profile->ThemesEnabled = false;
    auto* flat = new TProbeGrid(Form.get());
    flat->SetBounds(0, 0, 300, 200);
    flat->GetScrollProp()->SetAutoHidden(TScrollStyle::ssBoth);
    flat->SetParent(Form.get());
    flat->SetDataSource(Source);
    EXPECT_TRUE(flat->GetFlatSBMode());
    EXPECT_TRUE(flat->GetVertScrollHidden());
    EXPECT_TRUE(flat->ScrollBarRect(SB_VERT).IsEmpty());
    for (int i = 2; i <= 30; ++i) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(i);
        table->Post();
    }
    flat->UpdateScrollBar();
    EXPECT_FALSE(flat->GetVertScrollHidden());
    EXPECT_FALSE(flat->ScrollBarRect(SB_VERT).IsEmpty());

    // On the first themed generation a grid that asks for the new look keeps standard bars.
    profile->OSMinorVersion = 1;
    auto* xp = new TProbeGrid(Form.get());
    xp->GetScrollProp()->SetWinXPMode(true);
    xp->SetParent(Form.get());
    EXPECT_FALSE(xp->GetFlatSBMode());
    auto* plain = new TProbeGrid(Form.get());
    plain->SetParent(Form.get());
    EXPECT_TRUE(plain->GetFlatSBMode());
}

TEST_F(ScrollBarTest, TheMouseScrollsToTheRowUnderIt) {
    auto table = MakeTable(40);
    Attach(table.get());
    const int y = Probe->GetTitleHeight() + 3 * Probe->GetRowHeight() + 2;
    Probe->ScrollToRowAt(10, y);
    EXPECT_EQ(RecNo(table.get()), 4);
    // Below the data the mouse counts as on the last row shown.
    Probe->ScrollToRowAt(10, Probe->GetClientHeight() + 50);
    EXPECT_EQ(Probe->GetRow(), Probe->GetRowCount() - 1 - Probe->GetTotalOffset());
    // Selecting in the same row moves nothing.
    const int row = RecNo(table.get());
    const TRect cell = Probe->CellRect(Probe->GetCol(), Probe->GetRow());
    Probe->ScrollToCellAt(cell.Left + 2, cell.Top + 2, true);
    EXPECT_EQ(RecNo(table.get()), row);
}

}  // namespace
}  // namespace veltest
