#include <climits>

#include <gtest/gtest.h>

#include "tests/db/DbTestUtil.h"

using namespace vel;
using veltest::MakeTable;
using veltest::TRecordingLink;

namespace {

struct LinkFixture : ::testing::Test {
    std::unique_ptr<TClientDataSet> ds = MakeTable(10);
    TDataSource src;
    TRecordingLink link;
    void SetUp() override {
        src.SetDataSet(ds.get());
        link.SetDataSource(&src);
        link.SetBufferCount(5);
        ds->First();
        link.Clear();
    }
    int Id() { return ds->FieldByName("ID")->GetAsInteger(); }
};

TEST_F(LinkFixture, NextScrollsOnlyWhenLeavingTheWindow) {
    for (int i = 0; i < 5; ++i) ds->Next();
    EXPECT_EQ(link.Scrolls, (std::vector<int>{0, 0, 0, 0, 1}));
    EXPECT_EQ(link.GetActiveRecord(), 4);
    EXPECT_EQ(link.GetRecordCount(), 5);
    EXPECT_EQ(Id(), 6);
    // The window now starts at record 2.
    link.SetActiveRecord(0);
    EXPECT_EQ(Id(), 2);
}

TEST_F(LinkFixture, LastIsOneChangeAndPriorShiftsAfterLeavingTheBottom) {
    ds->Last();
    EXPECT_EQ(link.Events, std::vector<std::string>{"change"});
    EXPECT_EQ(link.GetActiveRecord(), 4);
    EXPECT_TRUE(ds->GetEOF());
    link.Clear();
    for (int i = 0; i < 5; ++i) ds->Prior();
    EXPECT_EQ(link.Scrolls, (std::vector<int>{0, 0, 0, 0, -1}));
    EXPECT_EQ(link.GetActiveRecord(), 0);
    EXPECT_EQ(Id(), 5);
}

TEST_F(LinkFixture, MoveByTheLargestIntegerReturnsTheTrueDistance) {
    ds->MoveBy(2);  // record 3
    ASSERT_EQ(Id(), 3);
    EXPECT_EQ(ds->MoveBy(INT_MAX), 7);
    EXPECT_TRUE(ds->GetEOF());
    EXPECT_EQ(Id(), 10);
    EXPECT_EQ(ds->MoveBy(INT_MAX), 0);
    EXPECT_EQ(ds->MoveBy(INT_MIN), -9);
    EXPECT_TRUE(ds->GetBOF());
    EXPECT_EQ(Id(), 1);
}

TEST_F(LinkFixture, WritingActiveRecordReadsAnotherRowWithoutEventOrMove) {
    ds->MoveBy(2);
    link.Clear();
    link.SetActiveRecord(4);
    EXPECT_EQ(Id(), 5);
    link.SetActiveRecord(2);
    EXPECT_EQ(Id(), 3);
    EXPECT_TRUE(link.Events.empty());
    ds->Next();  // the cursor was still on record 3
    EXPECT_EQ(Id(), 4);
}

TEST_F(LinkFixture, SmallerLinkFollowsItsOwnWindow) {
    TRecordingLink small;
    small.SetDataSource(&src);
    small.SetBufferCount(2);
    ds->First();
    small.Clear();
    ds->Next();
    ds->Next();
    EXPECT_EQ(small.Scrolls, (std::vector<int>{0, 1}));
    EXPECT_EQ(small.GetActiveRecord(), 1);
    EXPECT_EQ(link.GetActiveRecord(), 2);
}

TEST_F(LinkFixture, NestedDisableControlsSendsOneChangeAtTheEnd) {
    ds->DisableControls();
    ds->DisableControls();
    ds->Next();
    ds->Last();
    ds->EnableControls();
    EXPECT_TRUE(link.Events.empty());
    EXPECT_TRUE(ds->ControlsDisabled());
    ds->EnableControls();
    EXPECT_EQ(link.Events, std::vector<std::string>{"change"});
    EXPECT_EQ(link.GetActiveRecord(), 4);
}

TEST_F(LinkFixture, FieldMovedWhileDisabledGivesOneLayoutChange) {
    ds->DisableControls();
    ds->FieldByName("Price")->SetIndex(0);
    ds->Next();
    ds->EnableControls();
    EXPECT_EQ(link.Events, std::vector<std::string>{"layout"});
    EXPECT_EQ(ds->GetFields()[0]->GetFieldName(), "Price");
}

TEST_F(LinkFixture, AppendInsertsAtTheEndAndPostGrowsTheCount) {
    ds->Append();
    EXPECT_EQ(ds->GetState(), TDataSetState::dsInsert);
    EXPECT_TRUE(ds->GetEOF());
    EXPECT_TRUE(link.GetEditing());
    EXPECT_EQ(link.GetActiveRecord(), 4);
    ds->FieldByName("ID")->SetAsInteger(11);
    ds->Post();
    EXPECT_EQ(ds->GetRecordCount(), 11);
    EXPECT_EQ(Id(), 11);
    EXPECT_FALSE(link.GetEditing());
    ds->Prior();
    EXPECT_EQ(Id(), 10);
}

TEST_F(LinkFixture, EditEventsAndCancelRestoresTheValue) {
    ds->Next();
    link.Clear();
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("changed");
    EXPECT_EQ(link.Events, (std::vector<std::string>{"editing", "record", "field"}));
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName("Name")->GetAsString(), "N2");
    EXPECT_EQ(ds->GetState(), TDataSetState::dsBrowse);
}

TEST_F(LinkFixture, CheckBrowseModePostsAModifiedRecordAndAsksTheLinks) {
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("kept");
    link.Clear();
    link.RecordCheckBrowse = true;
    ds->CheckBrowseMode();
    EXPECT_EQ(ds->GetState(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds->FieldByName("Name")->GetAsString(), "kept");
    ASSERT_FALSE(link.Events.empty());
    EXPECT_EQ(link.Events[0], "checkbrowse");
    EXPECT_NE(std::find(link.Events.begin(), link.Events.end(), "update"), link.Events.end());
}

TEST_F(LinkFixture, InsertOnEmptyAndDeleteKeepTheWindowConsistent) {
    ds->Last();
    ds->Delete();
    EXPECT_EQ(ds->GetRecordCount(), 9);
    EXPECT_EQ(Id(), 9);
    ds->First();
    ds->Insert();
    ds->FieldByName("ID")->SetAsInteger(0);
    ds->Post();
    EXPECT_EQ(ds->GetRecordCount(), 10);
}

TEST(DataLink, ClosingDeactivatesAndDataSourceDisableStopsEvents) {
    auto ds = MakeTable(3);
    TDataSource src;
    src.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetDataSource(&src);
    EXPECT_TRUE(link.GetActive());
    src.SetEnabled(false);
    EXPECT_FALSE(link.GetActive());
    link.Clear();
    ds->Next();
    EXPECT_TRUE(link.Events.empty());
    src.SetEnabled(true);
    ds->Close();
    EXPECT_FALSE(link.GetActive());
    EXPECT_EQ(link.Events.back(), "inactive");
}

TEST(DataLink, SwitchingBetweenOpenDataSetsDeactivatesFirst) {
    auto a = MakeTable(3);
    auto b = MakeTable(5);
    TDataSource src;
    src.SetDataSet(a.get());
    TRecordingLink link;
    link.SetDataSource(&src);
    link.Clear();
    // A control bound to the link rebuilds itself for the new dataset only on these news.
    src.SetDataSet(b.get());
    EXPECT_EQ(link.Events, (std::vector<std::string>{"inactive", "active"}));
    EXPECT_EQ(link.GetDataSet(), b.get());
    link.Clear();
    a->Next();
    EXPECT_TRUE(link.Events.empty());
}

TEST(DataLink, SetTempStateSilencesAndRestores) {
    auto ds = MakeTable(2);
    TDataSource src;
    src.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetDataSource(&src);
    link.Clear();
    TDataSetState old = ds->SetTempState(TDataSetState::dsCalcFields);
    EXPECT_EQ(ds->GetState(), TDataSetState::dsCalcFields);
    EXPECT_TRUE(ds->ControlsDisabled());
    ds->RestoreState(old);
    EXPECT_EQ(ds->GetState(), TDataSetState::dsBrowse);
    EXPECT_FALSE(ds->ControlsDisabled());
    EXPECT_TRUE(link.Events.empty());
}

}  // namespace
