// Posting edits, inserts and deletes back through the hooks.
#include <gtest/gtest.h>

#include "tests/data/RowsData.h"

using namespace vel;
using veltest::TRowsData;
using Log = std::vector<std::string>;

namespace {

int Id(TDataSet& ds) { return ds.FieldByName("ID")->GetAsInteger(); }

TEST(CustomDataEdit, OnlyWrittenFieldsAreHandedOverAndNullStaysNull) {
    TRowsData ds(5);
    ds.Open();
    ds.MoveBy(2);
    ds.ClearCounts();
    ds.Edit();
    ds.FieldByName("Name")->SetAsString("first");
    ds.FieldByName("ID")->Clear();
    ds.FieldByName("Name")->SetAsString("second");  // listed once, at its first write
    ds.Post();
    EXPECT_EQ(ds.Log, (Log{"set 2 Name=second", "set 2 ID=Null"}));
    EXPECT_TRUE(ds.Rows[2][0].IsNull());
    EXPECT_EQ(ds.Rows[2][2], Variant("w3"));
    // The posted row is read back from the source.
    EXPECT_EQ(ds.FieldByName("Name")->GetAsString(), "second");
    EXPECT_EQ(ds.GetRecNo(), 3);

    // A second edit starts with an empty list.
    ds.ClearCounts();
    ds.Edit();
    ds.FieldByName("Wide")->SetAsString("z");
    ds.Post();
    EXPECT_EQ(ds.Log, (Log{"set 2 Wide=z"}));
}

TEST(CustomDataEdit, InsertBeforeRowThreeOfTen) {
    TRowsData ds(10);
    ds.Open();
    ds.SetRecNo(4);  // row index 3
    ds.ClearCounts();
    ds.Insert();
    EXPECT_EQ(ds.GetRecNo(), -1);
    EXPECT_TRUE(ds.FieldByName("Name")->IsNull());  // a new record asks the source nothing
    EXPECT_EQ(ds.GetCalls, 0);
    ds.FieldByName("Name")->SetAsString("new");
    ds.Post();
    EXPECT_EQ(ds.Log, (Log{"insert 3", "set 3 Name=new"}));
    EXPECT_EQ(ds.GetRecordCount(), 11);
    EXPECT_EQ(ds.GetRecNo(), 4);
    EXPECT_EQ(ds.FieldByName("Name")->GetAsString(), "new");
    ds.Next();
    EXPECT_EQ(Id(ds), 4);  // the old row 3 moved up
}

TEST(CustomDataEdit, AppendPostsAtTheEndAndIntoAnEmptyDatasetAtZero) {
    TRowsData empty(0);
    empty.Open();
    empty.Append();
    empty.FieldByName("ID")->SetAsInteger(7);
    empty.Post();
    EXPECT_EQ(empty.Log, (Log{"insert 0", "set 0 ID=7"}));
    EXPECT_EQ(empty.GetRecordCount(), 1);
    EXPECT_EQ(Id(empty), 7);

    TRowsData ds(3);
    ds.Open();
    ds.Append();
    ds.FieldByName("ID")->SetAsInteger(4);
    ds.Post();
    EXPECT_EQ(ds.Log, (Log{"insert 3", "set 3 ID=4"}));
    EXPECT_EQ(ds.GetRecNo(), 4);

    // Insert on an empty dataset is an insert at 0 too; OnNewRecord values are posted.
    TRowsData other(0);
    other.SetOnNewRecord([](TDataSet* d) { d->FieldByName("Name")->SetAsString("default"); });
    other.Open();
    other.Insert();
    other.Post();
    EXPECT_EQ(other.Log, (Log{"insert 0", "set 0 Name=default"}));
}

TEST(CustomDataEdit, CancelForgetsTheEditAndTheNewRow) {
    TRowsData ds(5);
    ds.Open();
    ds.MoveBy(1);
    ds.Edit();
    ds.FieldByName("Name")->SetAsString("typed");
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("Name")->GetAsString(), "N2");
    ds.Insert();
    ds.FieldByName("Name")->SetAsString("typed");
    ds.Cancel();
    ds.Append();
    ds.Cancel();
    EXPECT_TRUE(ds.Log.empty());
    EXPECT_EQ(ds.GetRecordCount(), 5);
    EXPECT_EQ(ds.GetRecNo(), 5);  // Cancel of an append lands on the last row
}

TEST(CustomDataEdit, DeleteRemovesTheCurrentRow) {
    TRowsData ds(5);
    ds.Open();
    ds.MoveBy(1);
    ds.Delete();
    EXPECT_EQ(ds.Log, (Log{"delete 1"}));
    EXPECT_EQ(ds.GetRecordCount(), 4);
    EXPECT_EQ(Id(ds), 3);
    ds.Last();
    ds.Delete();
    EXPECT_EQ(Id(ds), 4);  // the last row gone, the cursor goes back
    EXPECT_EQ(ds.GetRecNo(), 3);
    ds.First();
    while (!ds.IsEmpty()) ds.Delete();
    EXPECT_EQ(ds.GetRecordCount(), 0);
    EXPECT_THROW(ds.Delete(), EDatabaseError);
}

TEST(CustomDataEdit, ARefusedValueKeepsTheInsertPending) {
    TRowsData ds(3);
    ds.Open();
    ds.RefuseName = "bad";
    ds.Insert();
    ds.FieldByName("ID")->SetAsInteger(9);
    ds.FieldByName("Name")->SetAsString("bad");
    EXPECT_THROW(ds.Post(), Exception);
    EXPECT_EQ(ds.GetState(), TDataSetState::dsInsert);
    EXPECT_EQ(ds.Rows.size(), 3u);
    EXPECT_EQ(ds.GetRecordCount(), 3);
    EXPECT_EQ(ds.FieldByName("ID")->GetAsInteger(), 9);
    ds.FieldByName("Name")->SetAsString("good");
    ds.Post();
    EXPECT_EQ(ds.Rows.size(), 4u);
    EXPECT_EQ(ds.GetRecordCount(), 4);
    EXPECT_EQ(ds.Rows[0][1], Variant("good"));
}

TEST(CustomDataEdit, ReadOnlyDatasetsAndFieldsRefuseWrites) {
    TRowsData ds(2);
    ds.SetReadOnly(true);
    ds.Open();
    EXPECT_FALSE(ds.GetCanModify());
    EXPECT_THROW(ds.Edit(), EDatabaseError);
    EXPECT_THROW(ds.Append(), EDatabaseError);
    EXPECT_THROW(ds.Delete(), EDatabaseError);
    EXPECT_EQ(ds.GetState(), TDataSetState::dsBrowse);
    ds.SetReadOnly(false);
    ds.FieldByName("Name")->SetReadOnly(true);
    ds.Edit();
    try {
        ds.FieldByName("Name")->SetAsString("x");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Field 'Name' cannot be modified");
    }
    ds.Cancel();
    // Outside edit states nothing can be written.
    try {
        ds.FieldByName("ID")->SetAsInteger(3);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Dataset not in edit or insert mode");
    }
    EXPECT_TRUE(ds.Log.empty());
}

TEST(CustomDataEdit, MovingAFieldWhileEditingPostsToTheRightField) {
    TRowsData ds(3);
    ds.Open();
    ds.Edit();
    ds.FieldByName("Name")->SetAsString("kept");
    ds.FieldByName("Wide")->SetIndex(0);  // the cells follow the old order until posted
    EXPECT_EQ(ds.GetState(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds.Log, (Log{"set 0 Name=kept"}));
    EXPECT_EQ(ds.GetFields()[0]->GetFieldName(), "Wide");
    EXPECT_EQ(ds.FieldByName("Wide")->GetAsString(), "w1");
    EXPECT_EQ(ds.FieldByName("Name")->GetAsString(), "kept");
    EXPECT_EQ(ds.FieldByName("ID")->GetAsInteger(), 1);
    // A layout change that moves nothing keeps the cached values.
    ds.ClearCounts();
    ds.FieldByName("ID")->SetDisplayWidth(30);
    EXPECT_EQ(ds.FieldByName("ID")->GetAsInteger(), 1);
    EXPECT_EQ(ds.GetCalls, 0);
}

}  // namespace
